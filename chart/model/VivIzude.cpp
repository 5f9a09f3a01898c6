#include "chart/model/VivIzude.h"

#include <cmath>

#include "chart/model/ChartHelpers.h"

TVivIzude::TVivIzude(TObject* AOwner) : FOwner(AOwner) {
  FRange = std::make_unique<TChartRange>(this);
  Wire(*FRange);
  FSeries = std::make_unique<TChartSeries>(this);
  Wire(*FSeries);
  FBackground = std::make_unique<TChartBackground>(this);
  Wire(*FBackground);
  FBands = std::make_unique<TChartBands>(this);
  Wire(*FBands);
  FMargin = std::make_unique<TChartMargin>(this);
  Wire(*FMargin);
  FXAxis = std::make_unique<TChartXAxis>(this);
  Wire(*FXAxis);
  FYAxis = std::make_unique<TChartYAxis>(this);
  Wire(*FYAxis);
  FTitle = std::make_unique<TChartTitle>(this);
  Wire(*FTitle);
  FXGrid = std::make_unique<TChartXGrid>(this);
  Wire(*FXGrid);
  FYGrid = std::make_unique<TChartYGrid>(this);
  Wire(*FYGrid);
  FCrossHair = std::make_unique<TChartCrossHair>(this);
  Wire(*FCrossHair);
  FNavigator = std::make_unique<TChartNavigator>(this);
  Wire(*FNavigator);
  FLegend = std::make_unique<TChartLegend>(this);
  Wire(*FLegend);
}

TVivIzude::~TVivIzude() {
  // Series first: their destruction may still read the chart's elements.
  FSeries.reset();
}

void TVivIzude::Wire(TChartPersistent& Element) {
  Element.OnChange = [this](TObject*) { Changed(); };
}

void TVivIzude::ReplaceLegend(std::unique_ptr<TChartLegend> V) {
  FLegend = std::move(V);
  Wire(*FLegend);
}
void TVivIzude::ReplaceBackground(std::unique_ptr<TChartBackground> V) {
  FBackground = std::move(V);
  Wire(*FBackground);
}
void TVivIzude::ReplaceSeries(std::unique_ptr<TChartSeries> V) {
  FSeries = std::move(V);
  Wire(*FSeries);
}

void TVivIzude::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TVivIzude*>(Source);
  if (!S || S == this) return;
  FXScaleOffset = S->FXScaleOffset;
  FAxisMode = S->FAxisMode;
  FBackground->Assign(S->FBackground.get());
  FCrossHair->Assign(S->FCrossHair.get());
  FNavigator->Assign(S->FNavigator.get());
  FBands->Assign(S->FBands.get());
  FXAxis->Assign(S->FXAxis.get());
  FYAxis->Assign(S->FYAxis.get());
  FTitle->Assign(S->FTitle.get());
  FSeries->Assign(S->FSeries.get());
  FSeries->SetMode(S->FSeries->Mode());
  FXGrid->Assign(S->FXGrid.get());
  FYGrid->Assign(S->FYGrid.get());
  FRange->Assign(S->FRange.get());
  FMargin->Assign(S->FMargin.get());
  FLegend->Assign(S->FLegend.get());
}

void TVivIzude::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TVivIzude::EndUpdate(TChartCanvas& Canvas, TRect R) {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FSeries->Count() > 0) InitializeChart(Canvas, R, 1, 1);
}

void TVivIzude::DoGetNumberOfPoints(Integer Serie, Integer& Count) const {
  if (OnGetNumberOfPoints) OnGetNumberOfPoints(const_cast<TVivIzude*>(this), Serie, Count);
}

void TVivIzude::DoGetPoint(Integer Serie, Integer AIndex, TChartPoint& APoint) const {
  if (OnGetPoint) OnGetPoint(const_cast<TVivIzude*>(this), Serie, AIndex, APoint);
}

TChartIntersection TVivIzude::SegmentIntersection(TPoint A1, TPoint A2, TPoint B1, TPoint B2) const {
  TChartIntersection R;
  Int64 X1 = A1.X, Y1 = A1.Y, X2 = A2.X, Y2 = A2.Y, X3 = B1.X, Y3 = B1.Y, X4 = B2.X, Y4 = B2.Y;
  Int64 D = (X2 - X1) * (Y4 - Y3) - (Y2 - Y1) * (X4 - X3);
  if (D == 0) return R;
  double UA = double((Y1 - Y3) * (X4 - X3) - (X1 - X3) * (Y4 - Y3)) / D;
  double UB = double((Y1 - Y3) * (X2 - X1) - (X1 - X3) * (Y2 - Y1)) / D;
  if (UA >= 0 && UA <= 1 && UB >= 0 && UB <= 1) {
    R.X = RoundI(X1 + UA * (X2 - X1));
    R.Y = RoundI(Y1 + UA * (Y2 - Y1));
    R.Found = true;
  }
  return R;
}

// ---------------------------------------------------------------- layout
TVivIzude::TBands TVivIzude::GetBands() const {
  if (!FSeries->IsHorizontal())
    return {FYAxis->LeftSize(), FYAxis->RightSize(), FXAxis->TopSize(), FXAxis->BottomSize()};
  return {FXAxis->BottomSize(), FXAxis->TopSize(), FYAxis->LeftSize(), FYAxis->RightSize()};
}

TRect TVivIzude::LayoutSeriesArea(TRect R, double SX, double SY) const {
  TBands B = GetBands();
  Integer TT = FTitle->TopSize(), TB = FTitle->BottomSize(), N = FNavigator->BottomSize();
  return {R.Left + RoundI((FMargin->LeftMargin() + B.L) * SX), R.Top + RoundI((TT + B.T + FMargin->TopMargin()) * SY),
          R.Right - RoundI(B.Rt * SX) - RoundI(FMargin->RightMargin() * SX),
          R.Bottom - RoundI(B.B * SY) - RoundI(TB * SY) - RoundI(FMargin->BottomMargin() * SY) - RoundI(N * SY)};
}

void TVivIzude::InitializeChart(TChartCanvas& Canvas, TRect R, double SX, double SY) {
  SetMinMax();
  TRect S = LayoutSeriesArea(R, SX, SY);
  if (S.Left < S.Right && S.Top < S.Bottom) Initialize(Canvas, S, SX, SY);
}

void TVivIzude::Initialize(TChartCanvas&, TRect S, double SX, double SY) {
  double Steps = double(FRange->RangeTo()) - FRange->RangeFrom() + (FXScaleOffset ? 1 : 0);
  if (Steps <= 0) {
    SetXScale(1);
  } else {
    double Length = FSeries->IsHorizontal() ? S.Height() : S.Width();
    Length -= GetMax3DOffset();
    if (FXAxis->Enable3D()) Length -= FXAxis->Offset3D();
    SetXScale(Length / Steps);
  }
  if (FRange->ForceMaxRangeTo()) {
    FRange->SetMaxRangeTo(FRange->RangeTo());
    FRange->SetForceMaxRangeTo(false);
  }
  CalculateYScale(S, SX, SY);
}

void TVivIzude::CalculateYScale(TRect S, double, double) {
  if (FForceInitYScale) return;
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    TChartSerie& Se = FSeries->Items(I);
    if (Se.SerieType() == stZoomControl || !Se.Visible()) continue;
    double Scale;
    if (Se.MaximumValue() == Se.MinimumValue()) {
      Scale = 1;
    } else {
      double Span = FSeries->IsHorizontal() ? S.Width() : S.Height();
      if (FYAxis->Enable3D()) Span -= FYAxis->Offset3D();
      Scale = Span / (Se.MaximumValue() - Se.MinimumValue());
    }
    if (std::isnan(Scale) || Scale >= 1e12) Scale = 1e12;
    if (Scale <= 1e-12) Scale = 1e-12;
    Se.FYScale = Scale;
    Se.SetOriginalYScale(Scale);
  }
}

Integer TVivIzude::GetMax3DOffset() const {
  Integer M = 0;
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    const TChartSerie& S = FSeries->Items(I);
    if (S.Enable3D()) M = std::max(M, S.Offset3D());
  }
  return M;
}

void TVivIzude::SetMinMax() {
  auto Counted = [](const TChartSerie& S) { return S.SerieType() != stZoomControl && S.Visible(); };
  auto Common = [](const TChartSerie& S) { return S.AutoRange() == arCommon || S.AutoRange() == arCommonZeroBased; };
  Integer NB = FSeries->GetCountChartType(ctStackedBar), NA = FSeries->GetCountChartType(ctStackedArea);
  Integer From = FRange->RangeFrom(), To = FRange->RangeTo();
  for (Integer I = 0; I < FSeries->Count(); ++I)
    if (Counted(FSeries->Items(I))) FSeries->Items(I).SetMinMax(From, To);
  bool Init = FSeries->Mode() == cmInit;
  if (Init) {
    double Max = -2147483647.0, Min = 2147483647.0;
    for (Integer I = 0; I < FSeries->Count(); ++I) {
      TChartSerie& S = FSeries->Items(I);
      if (!Counted(S) || !Common(S)) continue;
      TChartType T = S.ChartType();
      if ((T == ctStackedBar || T == ctStackedArea) && (NB > 1 || NA > 1)) {
        Integer Count = S.GetPointsCount();
        Integer First = S.UseFullRange() ? 0 : std::max(From, 0);
        Integer Last = S.UseFullRange() ? Count - 1 : std::min(To, Count - 1);
        for (Integer P = First; P <= Last; ++P) {
          double Sum = 0;
          for (Integer J = 0; J < FSeries->Count(); ++J) {
            const TChartSerie& O = FSeries->Items(J);
            if (Counted(O) && Common(O) && O.GroupIndex() == S.GroupIndex() && O.GetPointsCount() > P)
              Sum += O.GetPoint(P).SingleValue;
          }
          if (Sum > Max) {
            Max = Sum;
            S.SetSerieMax(Sum);
          }
        }
        S.SetSerieMax(Max);
        S.SetSerieMin(0);
        Min = 0;
      } else if (T == ctStackedPercArea || T == ctStackedPercBar) {
        Max = 100;
        Min = 0;
      } else {
        if (S.SerieMax() > Max || std::isnan(S.SerieMax())) Max = S.SerieMax();
        if (S.SerieMin() < Min) Min = S.SerieMin();
      }
    }
    for (Integer I = 0; I < FSeries->Count(); ++I) {
      TChartSerie& S = FSeries->Items(I);
      if (!Counted(S)) continue;
      if (S.AutoRange() == arCommonZeroBased) Min = 0;
      if (!Common(S)) continue;
      double SMax = Max, SMin = Min;
      double M = S.RangePercentMargin() * std::fabs(SMax - SMin) / 100;
      SMax += M;
      if (S.AutoRange() == arCommon) SMin -= M;
      S.SetSerieMax(SMax);
      S.SetSerieMin(SMin);
      S.SetMaximumValue(SMax);
      S.SetMinimumValue(SMin);
    }
  }
  double L = 0;
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    TChartSerie& S = FSeries->Items(I);
    if (!S.Logarithmic() || S.AutoRange() == arDisabled) continue;
    double E = std::trunc(SafeLog10(S.GetMaximumValue())) + 1;
    S.SetMaximumValue(E + E * S.RangePercentMargin() / 100);
    S.SetMinimumValue(0);
    L = std::max(L, S.MaximumValue());
  }
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    TChartSerie& S = FSeries->Items(I);
    if (S.Logarithmic() && Common(S)) S.SetMaximumValue(L);
  }
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    TChartSerie& S = FSeries->Items(I);
    if (S.AutoRange() == arDisabled || S.MaximumValue() != S.MinimumValue()) continue;
    S.SetMaximumValue(S.Maximum());
    S.SetSerieMax(S.Maximum());
    S.SetMinimumValue(S.Minimum());
    S.SetSerieMin(S.Minimum());
    FSerieMaxValue = S.Maximum();
    FSerieMinValue = S.Minimum();
  }
}

Integer TVivIzude::GetTotalXAxisSize(TRect, bool Bottom) const {
  TMeasuringCanvas Canvas(TextMeasurer());
  Integer Sum = 0, XY = 0;
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    TChartSerie& S = FSeries->Items(I);
    if (S.ChartType() == ctNone || S.SerieType() == stZoomControl || !S.Visible()) continue;
    TChartXAxisPosition P = S.XAxis().Position();
    if (Bottom ? (P == xBottom || P == xBoth) : (P == xTop || P == xBoth))
      Sum += S.GetXAxisValuesSize(Canvas, XY, 1, 1);
  }
  Canvas.Font = FXAxis->Font();
  Integer TextH = FXAxis->Text().empty() ? 0 : Canvas.TextHeight(FXAxis->Text());
  return std::max(FXAxis->Size(), Sum) + TextH;
}

Integer TVivIzude::GetTotalYAxisSize(TRect R, bool Right) const {
  TMeasuringCanvas Canvas(TextMeasurer());
  Integer Sum = 0;
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    TChartSerie& S = FSeries->Items(I);
    TChartYAxisPosition P = S.YAxis().Position();
    if (Right ? (P == yRight || P == yBoth) : (P == yLeft || P == yBoth)) Sum += S.GetYAxisValuesSize(R, Canvas, 1, 1);
  }
  Canvas.Font = FYAxis->Font();
  Integer TextH = FYAxis->Text().empty() ? 0 : Canvas.TextHeight(FYAxis->Text());
  return std::max(FYAxis->Size(), Sum) + TextH + 10;
}

Integer TVivIzude::GetTotalYAxisLeftSize() const {
  if (!GetPaneRectangle) return FYAxis->Size();
  TRect R;
  GetPaneRectangle(const_cast<TVivIzude*>(this), R);
  return GetTotalYAxisSize(R, false);
}

Integer TVivIzude::GetTotalYAxisRightSize() const {
  if (!GetPaneRectangle) return FYAxis->Size();
  TRect R;
  GetPaneRectangle(const_cast<TVivIzude*>(this), R);
  return GetTotalYAxisSize(R, true);
}
