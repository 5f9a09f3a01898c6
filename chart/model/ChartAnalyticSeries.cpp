#include "chart/model/ChartAnalyticSeries.h"

#include <cmath>

#include "rtl/Lists.h"

namespace {
TChartSerie& NewSerie(TChartSeries& Series, TChartType Type, TColor LineColor, Integer LineWidth) {
  TChartSerie& S = Series.Add();
  S.YAxis().SetVisible(false);
  S.XAxis().SetVisible(false);
  S.SetChartType(Type);
  S.SetLineColor(LineColor);
  S.SetLineWidth(LineWidth);
  return S;
}

void CommonRange(TChartSeries& Series, bool Use, TChartSerieAutoRange Range = arCommon) {
  if (!Use) return;
  for (Integer I = 0; I < Series.Count(); ++I) Series.Items(I).SetAutoRange(Range);
}

const TChartSerie& Source(const TChartSeries& Series, Integer Index) {
  if (Index < 0 || Index >= Series.Count()) throw EListError(ListIndexErrorText(Index));
  return Series.Items(Index);
}

double ValueAt(const TChartSerie& S, Integer Index) { return S.GetPoint(Index).SingleValue; }

// The value c steps along a line of Steps steps from A to B. A line of no
// steps is its start.
double Along(double A, double B, Integer C, Integer Steps) { return Steps == 0 ? A : A + C * (B - A) / Steps; }

void RequireRange(Integer StartX, Integer EndX) {
  if (StartX >= EndX) throw Exception(u"End point should be larger than start point");
}

struct TTrend {
  double A = 0, B = 0, D = 0;
};

// Least squares over StartX..EndX (at least two indices). The sums are
// taken in floating point: squares of large indices do not overflow.
TTrend Trend(const TChartSerie& S, Integer StartX, Integer EndX) {
  double N = double(EndX) - StartX + 1, Sx = 0, Sy = 0, Sxy = 0, Sxx = 0;
  for (Int64 X = StartX; X <= EndX; ++X) {
    double Y = ValueAt(S, static_cast<Integer>(X)), XD = double(X);
    Sx += XD;
    Sy += Y;
    Sxy += XD * Y;
    Sxx += XD * XD;
  }
  TTrend T;
  T.B = (N * Sxy - Sx * Sy) / (N * Sxx - Sx * Sx);
  T.A = (Sy - T.B * Sx) / N;
  double M = Sy / N, Sq = 0;
  for (Int64 X = StartX; X <= EndX; ++X) {
    double E = M - ValueAt(S, static_cast<Integer>(X));
    Sq += E * E;
  }
  T.D = std::sqrt(Sq / N);
  return T;
}
}  // namespace

void AddLineSerie(TChartSeries& Series, Integer StartX, Integer EndX, double StartValue, double EndValue,
                  bool UseCommonYRange, TColor LineColor, Integer LineWidth) {
  if (EndX < StartX) std::swap(StartX, EndX);
  TChartSerie& S = NewSerie(Series, ctLine, LineColor, LineWidth);
  S.SetShowInLegend(false);
  for (Integer I = 0; I < StartX; ++I) S.AddSinglePoint(0, false);
  const Integer Steps = EndX - StartX;
  for (Integer C = 0; C <= Steps; ++C) S.AddSinglePoint(Along(StartValue, EndValue, C, Steps), true);
  CommonRange(Series, UseCommonYRange);
}

void AddBandSerie(TChartSeries& Series, Integer StartX, Integer EndX, double StartValue1, double StartValue2,
                  double EndValue1, double EndValue2, bool UseCommonYRange, TColor LineColor, Integer LineWidth,
                  TColor BandColor) {
  if (EndX < StartX) std::swap(StartX, EndX);
  TChartSerie& S = NewSerie(Series, ctBand, LineColor, LineWidth);
  S.SetColor(BandColor);
  for (Integer I = 0; I < StartX; ++I) S.AddDoublePoint(0, 0, false);
  const Integer Steps = EndX - StartX;
  for (Integer C = 0; C <= Steps; ++C)
    S.AddDoublePoint(Along(StartValue1, EndValue1, C, Steps), Along(StartValue2, EndValue2, C, Steps), true);
  CommonRange(Series, UseCommonYRange);
}

void AddMovingAverage(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, Integer Window,
                      bool UseCommonYRange, TColor LineColor, Integer LineWidth) {
  if (Window < 1) throw Exception(u"Moving average window size must be 1 or higher");
  const TChartSerie& Src = Source(Series, SerieIndex);
  double Sum = 0;
  for (Int64 I = StartX; I < Int64(StartX) + Window; ++I) Sum += ValueAt(Src, static_cast<Integer>(I));
  // The source is read before the new serie is added: adding may move it.
  std::vector<double> Means;
  for (Int64 I = Int64(StartX) + Window; I <= EndX; ++I) {
    Means.push_back(Sum / Window);
    if (I < EndX) Sum += ValueAt(Src, static_cast<Integer>(I)) - ValueAt(Src, static_cast<Integer>(I - Window));
  }
  TChartSerie& S = NewSerie(Series, ctLine, LineColor, LineWidth);
  S.SetShowInLegend(false);
  for (Integer I = 0; I < Window - 1; ++I) S.AddSinglePoint(0, false);
  for (double M : Means) S.AddSinglePoint(M);
  CommonRange(Series, UseCommonYRange);
}

void AddParetoLine(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                   TColor LineColor, Integer LineWidth) {
  RequireRange(StartX, EndX);
  const TChartSerie& Src = Source(Series, SerieIndex);
  std::vector<double> Values;
  double Total = 0;
  for (Int64 X = StartX; X <= EndX; ++X) {
    Values.push_back(ValueAt(Src, static_cast<Integer>(X)));
    Total += Values.back();
  }
  TChartSerie& S = NewSerie(Series, ctLine, LineColor, LineWidth);
  S.SetShowInLegend(false);
  S.SetValueFormat(u"%.1f%%");
  S.SetShowValue(true);
  for (Integer I = 0; I < StartX; ++I) S.AddSinglePoint(0, false);
  if (Total > 0) {
    double P = 0;
    for (double V : Values) {
      P += V / Total * 100;
      S.AddSinglePoint(P);
    }
  }
  CommonRange(Series, UseCommonYRange, arCommonZeroBased);
}

void AddTrendLine(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                  TColor LineColor, Integer LineWidth) {
  RequireRange(StartX, EndX);
  TTrend T = Trend(Source(Series, SerieIndex), StartX, EndX);
  AddLineSerie(Series, StartX, EndX, T.A + T.B * StartX, T.A + T.B * EndX, UseCommonYRange, LineColor, LineWidth);
}

void AddTrendChannel(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                     TColor LineColor, Integer LineWidth) {
  RequireRange(StartX, EndX);
  TTrend T = Trend(Source(Series, SerieIndex), StartX, EndX);
  AddLineSerie(Series, StartX, EndX, T.A + T.B * StartX + T.D, T.A + T.B * EndX + T.D, UseCommonYRange, LineColor,
               LineWidth);
  AddLineSerie(Series, StartX, EndX, T.A + T.B * StartX - T.D, T.A + T.B * EndX - T.D, UseCommonYRange, LineColor,
               LineWidth);
}

void AddTrendChannelBand(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                         TColor LineColor, Integer LineWidth, TColor BandColor) {
  RequireRange(StartX, EndX);
  TTrend T = Trend(Source(Series, SerieIndex), StartX, EndX);
  AddBandSerie(Series, StartX, EndX, T.A + T.B * StartX - T.D, T.A + T.B * StartX + T.D, T.A + T.B * EndX - T.D,
               T.A + T.B * EndX + T.D, UseCommonYRange, LineColor, LineWidth, BandColor);
}
