#include <gtest/gtest.h>

#include "ChartTestSupport.h"

TEST(ChartLayout, XScaleFromTheVisibleRange) {
  TChartFixture F;
  F.Chart.Series().Add().AddSinglePoint(1);
  F.Chart.YAxis().SetPosition(yNone);
  F.Chart.XAxis().SetPosition(xNone);
  F.Chart.Range().SetRangeTo(9);
  F.Chart.InitializeChart(F.Canvas, {0, 0, 500, 300}, 1, 1);
  EXPECT_DOUBLE_EQ(F.Chart.XScale(), 50);
  EXPECT_EQ(F.Chart.Range().MaxRangeTo(), 9);
  EXPECT_FALSE(F.Chart.Range().ForceMaxRangeTo());
  F.Chart.Range().SetRangeTo(40);
  F.Chart.InitializeChart(F.Canvas, {0, 0, 500, 300}, 1, 1);
  EXPECT_EQ(F.Chart.Range().MaxRangeTo(), 9);
  F.Chart.SetXScaleOffset(false);
  F.Chart.Range().SetRangeFrom(50);
  F.Chart.InitializeChart(F.Canvas, {0, 0, 500, 300}, 1, 1);
  EXPECT_DOUBLE_EQ(F.Chart.XScale(), 1);
}

TEST(ChartLayout, BandsAroundTheSeriesArea) {
  TChartFixture F;
  F.Chart.Title().SetPosition(tBoth);
  F.Chart.Title().SetSize(25);
  F.Chart.Margin().SetLeftMargin(4);
  F.Chart.Navigator().SetVisible(true);
  // Axes: y left 30, x bottom 30, line width 1 (1 pixel on the near side only).
  TRect S = F.Chart.LayoutSeriesArea({0, 0, 400, 300}, 1, 1);
  EXPECT_EQ(S, (TRect{34, 25, 400, 300 - 30 - 25 - 20}));
  F.Chart.Series().Add();
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  EXPECT_EQ(F.Chart.Series().SeriesRectangle(), (TRect{35, 25, 400, 225}));
  TRect Scaled = F.Chart.LayoutSeriesArea({0, 0, 800, 600}, 2, 2);
  EXPECT_EQ(Scaled, (TRect{68, 50, 800, 450}));
}

TEST(ChartLayout, AxisLineSizes) {
  TChartFixture F;
  TChartXAxis& X = F.Chart.XAxis();
  X.SetPosition(xBoth);
  EXPECT_EQ(X.TopLineSize(), 1);
  EXPECT_EQ(X.BottomLineSize(), 0);
  X.SetLineWidth(3);
  EXPECT_EQ(X.TopLineSize(), 1);
  EXPECT_EQ(X.BottomLineSize(), 1);
  TChartYAxis& Y = F.Chart.YAxis();
  Y.SetPosition(yRight);
  Y.SetLeftSize(50);
  EXPECT_EQ(Y.LeftSize(), 0);
  Y.SetPosition(yBoth);
  Y.SetRightSize(25);
  EXPECT_EQ(Y.RightSize(), 25);
}

TEST(ChartLayout, PieRectanglesAndCentres) {
  TChartFixture F;
  for (int I = 0; I < 3; ++I) F.Chart.Series().Add().SetChartType(ctPie);
  TChartSerie& S = F.Chart.Series()[1];
  EXPECT_EQ(S.GetPieRectangle(1, {0, 0, 300, 200}), (TRect{100, 0, 200, 200}));
  F.Chart.Series()[2].SetChartType(ctSpider);
  EXPECT_EQ(F.Chart.Series()[2].GetPieRectangle(2, {0, 0, 300, 200}), (TRect{0, 0, 300, 200}));
  S.Pie().SetSize(100);
  S.Pie().SetPosition(spTopLeft);
  EXPECT_EQ(S.GetPieCenter({0, 0, 400, 300}), (TPoint{55, 55}));
  S.Pie().SetPosition(spCustom);
  S.Pie().SetLeft(40);
  S.Pie().SetTop(30);
  EXPECT_EQ(S.GetPieCenter({0, 0, 400, 300}), (TPoint{40, 30}));
}

TEST(ChartLayout, PieSizeAndHoleAreClampedToTheirRectangle) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.SetChartType(ctDonut);
  S.Pie().SetSize(250);
  S.Pie().SetInnerSize(400);
  EXPECT_EQ(S.Pie().GetPieSize(), 250);  // no paint yet: nothing to clamp to
  F.Chart.Series().SetSeriesRectangle({0, 0, 400, 150});
  EXPECT_EQ(S.Pie().GetPieSize(), 140);
  EXPECT_EQ(S.Pie().GetPieInnerSize(), 140);
  S.Pie().SetSizeType(pstPercentage);
  S.Pie().SetSize(50);
  S.Pie().SetInnerSize(50);
  F.Chart.Series().SetSeriesRectangle({0, 0, 400, 300});
  EXPECT_EQ(S.Pie().GetPieSize(), 150);
  EXPECT_EQ(S.Pie().GetPieInnerSize(), 150);  // half the long side, but never past the pie
}

TEST(ChartLayout, LegendBoxSize) {
  TChartFixture F;
  for (int I = 0; I < 3; ++I) F.Chart.Series().Add().SetLegendText(u"abc");
  F.Chart.Legend().SetRectangleSize(12);
  F.Chart.Legend().SetRectangleSpacing(5);
  TRect Event;
  F.Chart.OnDrawLegend = [&](TObject*, TRect R, TChartCanvas&) { Event = R; };
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  EXPECT_EQ(Event.Height(), 56);  // 5 + 3 x 17
  EXPECT_EQ(Event.Width(), 21 + 12 + 15);
  EXPECT_EQ(F.Chart.Legend().GetRectangle().Height(), 56);
}

TEST(ChartLayout, XAxisGroupLevels) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  TChartSerieXAxisGroup& A = S.XAxisGroups().Add();
  A.SetCaption(u"Q1");
  TChartSerieXAxisGroup& B = S.XAxisGroups().Add();
  B.SetCaption(u"Q2");
  B.Font().SetSize(16);
  TChartSerieXAxisGroup& C = S.XAxisGroups().Add();
  C.SetLevel(1);
  C.SetSpacing(0);
  EXPECT_EQ(S.GetXAxisGroupLevelHeight(0), 26 + 6);
  EXPECT_EQ(S.GetXAxisGroupLevelHeight(1), 13);
  EXPECT_EQ(S.GetXAxisGroupLevelHeight(2), 0);
  C.SetLevel(-1);
  EXPECT_EQ(C.Level(), 1);
  int Changes = 0;
  S.OnChange = [&](TObject*) { ++Changes; };
  A.Font().SetSize(9);  // a group's font notifies its serie
  EXPECT_EQ(Changes, 1);
}
