#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "ChartTestSupport.h"

TEST(ChartNotification, SettersNotifyOnlyOnChange) {
  TChartFixture F;
  F.Chart.Title().SetText(u"Files");
  EXPECT_EQ(F.Changes, 1);
  F.Chart.Title().SetText(u"Files");
  F.Chart.Title().SetSize(-1);
  F.Chart.Legend().SetRectangleSize(-4);
  F.Chart.Margin().SetLeftMargin(-5);
  F.Chart.Bands().SetDistance(7);
  EXPECT_EQ(F.Changes, 1);
  EXPECT_EQ(F.Chart.Title().Size(), 20);
  F.Chart.Margin().SetLeftMargin(0);
  EXPECT_EQ(F.Changes, 1);
  TChartSerie& S = F.Chart.Series().Add();
  S.Pie().SetSize(250);
  S.Pie().LegendFont().SetSize(12);  // the legend font notifies in place
  S.Pie().ValueFont().SetSize(12);   // the value font does not
  S.SetColor(S.Color());
  S.SetLineWidth(-1);
  EXPECT_EQ(F.Changes, 3);
  EXPECT_EQ(S.LineWidth(), 1);
}

TEST(ChartNotification, UpdateCounting) {
  TChartFixture F;
  F.Chart.BeginUpdate();
  F.Chart.Title().SetText(u"a");
  EXPECT_EQ(F.Changes, 0);
  EXPECT_EQ(F.Chart.Title().Text(), u"a");
  F.Chart.BeginUpdate();
  F.Chart.BeginUpdate();
  F.Chart.ResetUpdate();
  F.Chart.Title().SetText(u"b");
  EXPECT_EQ(F.Changes, 1);
  F.Chart.EndUpdate(F.Canvas, {0, 0, 100, 100});
  EXPECT_EQ(F.Chart.UpdateCount(), 0);
  EXPECT_EQ(F.Chart.XScale(), 0);  // no series: no layout
  F.Chart.Series().Add();
  F.Chart.BeginUpdate();
  F.Chart.EndUpdate(F.Canvas, {0, 0, 400, 300});
  EXPECT_GT(F.Chart.XScale(), 0);
}

TEST(ChartNotification, DefaultsAndSerieNames) {
  TChartFixture F;
  for (int I = 0; I < 3; ++I) F.Chart.Series().Add();
  TChartSerie& S = F.Chart.Series()[2];
  EXPECT_EQ(S.Name(), u"Serie 2");
  EXPECT_EQ(S.LegendText(), u"Serie 2");
  S.SetName(u"");
  EXPECT_EQ(S.GetDisplayName(), u"TChartSerie2");
  EXPECT_EQ(S.ChartType(), ctLine);
  EXPECT_EQ(S.ValueFormat(), u"%g");
  EXPECT_EQ(S.Pie().Size(), 200);
  EXPECT_EQ(S.Pie().LegendPosition(), spCenterRight);
  EXPECT_EQ(F.Chart.Range().RangeTo(), 10);
  EXPECT_TRUE(F.Chart.Range().ForceMaxRangeTo());
  EXPECT_EQ(F.Chart.CrossHair().Distance(), 0);
  EXPECT_EQ(F.Chart.AxisMode(), amAxisChartWidthHeight);
  S.SetYScale(2.5);
  EXPECT_EQ(S.OldYScale(), 2.5);
  S.SetOriginalYScale(-1);
  EXPECT_EQ(S.OriginalYScale(), 0);
  S.MoveTo(-1);
  S.MoveTo(3);
  EXPECT_EQ(S.Index(), 2);
}

TEST(ChartNotification, PieTypeHidesAxesAndRenkoSquaresMarkers) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.SetForceInit(false);
  S.SetChartType(ctPie);
  EXPECT_EQ(F.Chart.XAxis().Position(), xNone);
  EXPECT_EQ(F.Chart.YAxis().Position(), yNone);
  EXPECT_TRUE(S.ForceInit());
  S.SetChartType(ctLine);
  EXPECT_EQ(F.Chart.XAxis().Position(), xNone);
  S.SetChartType(ctRenko);
  EXPECT_EQ(S.Marker().MarkerType(), mSquare);
}

TEST(ChartNotification, AssignCopiesSettingsNotHandlers) {
  TChartFixture A, B;
  A.Chart.Title().SetText(u"From A");
  TChartSerie& S = A.Chart.Series().Add();
  S.SetChartType(ctPie);
  S.AddPiePoints(3, u"x", clRed, clNone, 0, true);
  B.Chart.Assign(&A.Chart);
  EXPECT_EQ(B.Chart.Title().Text(), u"From A");
  ASSERT_EQ(B.Chart.Series().Count(), 1);
  EXPECT_EQ(B.Chart.Series()[0].ChartType(), ctPie);
  EXPECT_EQ(B.Chart.Series()[0].GetPointsCount(), 1);
  Integer Before = B.Changes;
  B.Chart.Title().SetText(u"x");
  EXPECT_EQ(B.Changes, Before + 1);  // B's handler stays
  B.Chart.Assign(&B.Chart.Title());  // another class: nothing
  EXPECT_EQ(B.Chart.Title().Text(), u"x");
}

TEST(ChartNotification, SegmentIntersection) {
  TVivIzude C;
  EXPECT_FALSE(C.SegmentIntersection({0, 0}, {10, 0}, {0, 5}, {10, 5}).Found);
  TChartIntersection I = C.SegmentIntersection({0, 0}, {10, 10}, {0, 10}, {10, 0});
  EXPECT_TRUE(I.Found);
  EXPECT_EQ(I.X, 5);
  EXPECT_EQ(I.Y, 5);
  EXPECT_TRUE(C.SegmentIntersection({0, 0}, {10, 0}, {10, 0}, {10, 10}).Found);
}

TEST(ChartNotification, CollectionsIgnoreDeletesOutsideTheirItems) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  F.Chart.Series().Add();
  S.Annotations().Add();
  S.Annotations().Add();
  S.XAxisGroups().Add();
  S.XAxisGroups().Add();
  struct Collection {
    const char* Name;
    std::function<Integer()> Count;
    std::function<void(Integer)> Delete;
  } Collections[] = {
      {"series", [&] { return F.Chart.Series().Count(); }, [&](Integer I) { F.Chart.Series().Delete(I); }},
      {"annotations", [&] { return S.Annotations().Count(); }, [&](Integer I) { S.Annotations().Delete(I); }},
      {"x-axis groups", [&] { return S.XAxisGroups().Count(); }, [&](Integer I) { S.XAxisGroups().Delete(I); }},
  };
  for (const Collection& C : Collections) {
    for (Integer I : {-1, 2, 3, std::numeric_limits<Integer>::max(), std::numeric_limits<Integer>::min()}) {
      C.Delete(I);
      EXPECT_EQ(C.Count(), 2) << C.Name << " " << I;
    }
    C.Delete(1);
    EXPECT_EQ(C.Count(), 1) << C.Name;
  }
}
