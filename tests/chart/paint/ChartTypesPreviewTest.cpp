// Charts of every family with their axes, saved as pictures for a person to
// look at (build/<preset>/tests/chart/paint/chart-previews/), with a few
// pixel probes where a fill must be.
#include <gtest/gtest.h>

#include <cmath>

#include "ChartPaintFixture.h"
#include "ChartRasterPreview.h"
#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"

namespace {
const TColor Blue = RGBToColor(66, 133, 244), Red = RGBToColor(219, 68, 55), Yellow = RGBToColor(244, 180, 0),
             Green = RGBToColor(15, 157, 88), Grey = RGBToColor(200, 200, 200);

void Axes(TChartPaintFixture& F, const String& Title) {
  F.Chart.Title().SetPosition(tTop);
  F.Chart.Title().SetAlignment(taCenter);
  F.Chart.Title().SetText(Title);
  F.Chart.XGrid().SetVisible(true);
  F.Chart.XGrid().SetMajorLineColor(Grey);
  F.Chart.XGrid().SetMinorLineColor(clNone);
  F.Chart.YGrid().SetMajorLineColor(Grey);
  F.Chart.YGrid().SetMinorLineColor(clNone);
}

void Ticks(TChartSerie& S) {
  S.YAxis().SetTickMarkColor(clBlack);
  S.YAxis().SetMinorUnitVisible(false);
  S.YAxis().SetTickMarkSizeMinor(0);
  S.XAxis().SetMinorUnit(0);
}

TRasterPreview Save(TChartPaintFixture& F, const std::string& Name) {
  F.Paint();
  TRasterPreview P(F.Pane.Width(), F.Pane.Height());
  P.Render(F.Canvas.Records());
  P.Save(Name);
  return P;
}
}  // namespace

TEST(ChartTypesPreview, LinesAreasBarsCandlesBubbles) {
  {
    TChartPaintFixture F;
    Axes(F, u"Lines");
    TChartSerie& A = F.Add(ctLine, Blue);
    TChartSerie& B = F.Add(ctLine, Red);
    A.SetLineWidth(2);
    B.SetLineWidth(2);
    B.Marker().SetMarkerType(mCircle);
    B.Marker().SetMarkerColor(Red);
    Ticks(A);
    B.YAxis().SetVisible(false);
    B.XAxis().SetVisible(false);
    A.SetAutoRange(arCommon);
    B.SetAutoRange(arCommon);
    for (int I = 0; I < 30; ++I) {
      A.AddSinglePoint(50 + 40 * std::sin(I / 4.0));
      B.AddSinglePoint(50 + 30 * std::cos(I / 5.0), I != 12);
    }
    F.Chart.Range().SetRangeTo(29);
    F.Chart.Legend().SetVisible(true);
    Save(F, "lines");
    EXPECT_FALSE(F.Lines(Blue).empty());
  }
  {
    TChartPaintFixture F;
    Axes(F, u"Stacked areas");
    const TColor Colors[3] = {Blue, Green, Yellow};
    for (int K = 0; K < 3; ++K) {
      TChartSerie& S = F.Add(ctStackedArea, Colors[K]);
      S.SetAutoRange(arCommon);
      S.SetBorderColor(clBlack);
      if (K == 0)
        Ticks(S);
      else
        S.YAxis().SetVisible(false), S.XAxis().SetVisible(false);
      for (int I = 0; I < 12; ++I) S.AddSinglePoint(10 + 5 * K + 4 * std::sin(I / 2.0 + K));
    }
    F.Chart.Range().SetRangeTo(11);
    TRasterPreview P = Save(F, "stacked-areas");
    // Each band holds its own colour halfway between its edges.
    for (int K = 0; K < 3; ++K) {
      const TChartSerie& S = F.Chart.Series()[K];
      TPoint Top = S.StackedPointsArea[5];
      TPoint Low = K == 0 ? TPoint{Top.X, S.ValueToY(0, F.Chart.Series().SeriesRectangle())}
                          : F.Chart.Series()[K - 1].StackedPointsArea[5];
      EXPECT_EQ(P.Pixel(Top.X + 3, (Top.Y + Low.Y) / 2), Colors[K]) << "band " << K;
    }
  }
  {
    TChartPaintFixture F;
    Axes(F, u"Bars");
    TChartSerie& A = F.Add(ctBar, Blue);
    TChartSerie& B = F.Add(ctBar, Red);
    Ticks(A);
    B.YAxis().SetVisible(false);
    B.XAxis().SetVisible(false);
    A.SetAutoRange(arCommon);
    B.SetAutoRange(arCommon);
    A.SetZeroLine(true);
    A.SetZeroLineColor(clBlack);
    const char* Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun"};
    for (int I = 0; I < 6; ++I) {
      A.AddSinglePoint(10 + 7 * I - 50 * (I == 4), String(Months[I], Months[I] + 3));
      B.AddSinglePoint(30 - 4 * I);
    }
    F.Chart.Range().SetRangeTo(5);
    TRasterPreview P = Save(F, "bars");
    // Probed just inside each bar's value end, which lies in the series area.
    for (size_t I = 0; I < A.StackedRectsBar.size(); ++I) {
      const TRect& Bar = A.StackedRectsBar[I].R;
      Integer X = (Bar.Left + Bar.Right) / 2, Y = Bar.Bottom + (Bar.Bottom < Bar.Top ? 3 : -3);
      EXPECT_EQ(P.Pixel(X, Y), Blue) << "bar " << I;
    }
  }
  {
    TChartPaintFixture F;
    Axes(F, u"Horizontal stacked bars");
    F.Chart.Series().SetChartMode(dmHorizontal);
    const TColor Colors[2] = {Blue, Yellow};
    for (int K = 0; K < 2; ++K) {
      TChartSerie& S = F.Add(ctStackedBar, Colors[K]);
      S.SetAutoRange(arCommon);
      if (K == 0)
        Ticks(S);
      else
        S.YAxis().SetVisible(false), S.XAxis().SetVisible(false);
      for (int I = 0; I < 5; ++I) S.AddSinglePoint(3 + I + 2 * K);
    }
    F.Chart.Range().SetRangeTo(4);
    Save(F, "horizontal-stacked-bars");
  }
  {
    TChartPaintFixture F;
    Axes(F, u"Candles");
    TChartSerie& S = F.Add(ctCandleStick, clBlack);
    Ticks(S);
    double V = 100;
    for (int I = 0; I < 20; ++I) {
      double O = V, C = V + 6 * std::sin(I * 1.7);
      S.AddMultiPoints(std::max(O, C) + 3, std::min(O, C) - 3, O, C);
      V = C;
    }
    F.Chart.Range().SetRangeTo(19);
    Save(F, "candles");
    EXPECT_FALSE(F.Filled(coRectangle, clGreen).empty());
    EXPECT_FALSE(F.Filled(coRectangle, clRed).empty());
  }
  {
    TChartPaintFixture F;
    Axes(F, u"Bubbles");
    TChartSerie& S = F.Add(ctBubble, Yellow);
    S.SetLineColor(clBlack);
    Ticks(S);
    for (int I = 0; I < 8; ++I) S.AddPoints(20 + 9 * (I % 3) + I, 4 + 3 * I, 4 + 3 * I);
    F.Chart.Range().SetRangeTo(7);
    TRasterPreview P = Save(F, "bubbles");
    const TPoint& C = S.DrawValuesDP[5];
    EXPECT_EQ(P.Pixel(C.X + 5, C.Y), Yellow);
  }
  {
    TChartPaintFixture F;
    Axes(F, u"Logarithmic line over days");
    F.Chart.XAxis().SetUnitType(utDay);
    F.Chart.Range().SetStartDate(EncodeDate(2024, 1, 28));
    TChartSerie& S = F.Add(ctLine, Green);
    S.SetLogarithmic(true);
    S.SetLineWidth(2);
    S.YAxis().SetTickMarkColor(clBlack);
    F.Chart.YAxis().SetAutoUnits(false);
    S.YAxis().SetAutoUnits(false);
    S.YAxis().SetMinorUnit(0.1);
    S.XAxis().SetMajorUnitTimeFormat(u"dd");
    S.XAxis().SetMinorUnit(0);
    S.XAxis().SetDateTimeFormat(u"mmm yyyy");
    for (int I = 0; I < 15; ++I) S.AddSinglePoint(std::pow(10.0, I / 7.0), TChartDate(EncodeDate(2024, 1, 28) + I));
    F.Chart.Range().SetRangeTo(14);
    Save(F, "log-days");
  }
}
