#include <gtest/gtest.h>

#include "PieTestSupport.h"
#include "rtl/DateUtils.h"

TEST(Markers, SelectedMarkerAndShapes) {
  TPieFixture F;
  F.Pie.SetChartType(ctLine);
  F.Pie.SetAutoRange(arEnabled);
  for (double V : {1.0, 2.0, 3.0}) F.Pie.AddSinglePoint(V);
  F.Pie.Marker().SetMarkerType(mCircle);
  F.Pie.Marker().SetSelectedIndex(1);
  F.Pie.Marker().SetSelectedColor(clYellow);
  F.Chart.Range().SetRangeTo(2);
  F.Paint();
  auto E = F.Ops(coEllipse);
  ASSERT_EQ(E.size(), 3u);
  EXPECT_EQ(E[0]->Rect.Width(), 10);
  EXPECT_EQ(E[1]->Rect.Width(), 12);
  EXPECT_EQ(E[1]->Brush.Color(), clYellow);
  EXPECT_EQ(E[0]->Brush.Color(), clWhite);
  // The line: two segments between three points.
  auto Lines = F.Ops(coLineTo);
  int Red = 0;
  for (auto* L : Lines)
    if (L->Pen.Color == clRed) ++Red;
  EXPECT_EQ(Red, 2);
}

TEST(Markers, IncreaseDecreaseColours) {
  TPieFixture F;
  F.Pie.SetChartType(ctLine);
  F.Pie.SetAutoRange(arEnabled);
  for (double V : {5.0, 4.0, 6.0}) F.Pie.AddSinglePoint(V);
  F.Pie.Marker().SetMarkerType(mSquare);
  F.Pie.Marker().SetIncreaseDecreaseMode(true);
  F.Chart.Range().SetRangeTo(2);
  F.Paint();
  auto Sq = F.Ops(coRectangle);
  std::vector<TColor> Fill;
  for (auto* R : Sq)
    if (R->Rect.Width() == 10 && R->Rect.Height() == 10) Fill.push_back(R->Brush.Color());
  ASSERT_GE(Fill.size(), 2u);
  EXPECT_EQ(Fill[0], F.Pie.CandleColorIncrease());
  EXPECT_EQ(Fill[1], F.Pie.CandleColorDecrease());
}

TEST(PieGrid, CirclesAtMajorAndMinorValues) {
  TPieFixture F;
  F.Pie.SetChartType(ctSpider);
  F.Pie.SetAutoRange(arEnabled);
  F.Pie.SetRangePercentMargin(0);
  for (double V : {5.0, 25.0, 10.0}) F.Add(V, u"");
  F.Chart.YAxis().SetAutoUnits(false);
  F.Pie.YAxis().SetAutoUnits(false);
  F.Chart.YGrid().SetAutoUnits(false);
  F.Chart.YGrid().SetMajorDistance(10);
  F.Chart.YGrid().SetMinorDistance(5);
  F.Chart.YGrid().SetMinorLineStyle(psSolid);
  F.Paint();
  Integer R = F.Pie.Pie().GetPieSize() / 2;
  double Scale = 2.0 * R / 2 / 25;
  std::vector<Integer> Major, Minor;
  for (auto* E : F.Ops(coEllipse)) (E->Pen.Color == clSilver ? Major : Minor).push_back(E->Rect.Width() / 2);
  std::vector<Integer> WantMajor, WantMinor;
  for (double V : {0.0, 10.0, 20.0, 30.0}) WantMajor.push_back(RoundI(V * Scale));
  for (double V : {5.0, 15.0, 25.0}) WantMinor.push_back(RoundI(V * Scale));
  EXPECT_EQ(Major, WantMajor);
  EXPECT_EQ(Minor, WantMinor);
  // One radial line per slice border.
  int Radial = 0;
  for (auto* L : F.Ops(coLineTo))
    if (L->Points[0] == (TPoint{F.Pie.GetPieCenter(F.Pie.GetPieRectangle(0, F.Chart.Series().SeriesRectangle()))}))
      ++Radial;
  EXPECT_EQ(Radial, 3);
}

TEST(PieGrid, ValuesRunAlongTheStartDirection) {
  TPieFixture F;
  F.Pie.SetChartType(ctSpider);
  F.Pie.SetAutoRange(arEnabled);
  F.Pie.SetRangePercentMargin(0);
  F.Pie.SetValueFormat(u"%g");
  F.Pie.Pie().SetStartOffsetAngle(90);
  for (double V : {20.0, 20.0, 20.0}) F.Add(V, u"");
  F.Chart.YAxis().SetAutoUnits(false);
  F.Pie.YAxis().SetAutoUnits(false);
  F.Pie.YAxis().SetMajorUnit(10);
  F.Paint();
  TPoint C = F.Pie.GetPieCenter(F.Pie.GetPieRectangle(0, F.Chart.Series().SeriesRectangle()));
  const TCanvasRecord* Ten = nullptr;
  for (auto* T : F.Ops(coTextOut))
    if (T->Text == u"10") Ten = T;
  ASSERT_NE(Ten, nullptr);
  EXPECT_EQ(Ten->Points[0].X, C.X);  // straight up at 90 degrees
  EXPECT_LT(Ten->Points[0].Y, C.Y);
}

TEST(DateLabels, FirstPointAndEachChangeOfMonth) {
  TPieFixture F;
  F.Pie.SetChartType(ctLine);
  F.Chart.XAxis().SetUnitType(utDay);
  for (Integer D = 0; D < 45; ++D) F.Pie.AddSinglePoint(1, TChartDate(EncodeDate(2021, 1, 20) + D));
  F.Chart.Series().SetSeriesRectangle({0, 0, 4000, 100});
  auto& P = static_cast<TChartSeriePainter&>(*F.Chart.SeriePainter());
  for (Integer D = 0; D < 45; ++D)
    P.DrawXDateValue(F.Pie, u"yyyy-mm-dd", D, 50 + D * 100, {0, 100, 4000, 130}, F.Canvas);
  std::vector<String> T = F.Canvas.Texts();
  EXPECT_EQ(T, (std::vector<String>{u"2021-01-20", u"2021-02-01", u"2021-03-01"}));
}
