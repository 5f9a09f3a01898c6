#include <gtest/gtest.h>

#include "ChartTestSupport.h"

TEST(ChartPointStore, AddPiePointsFields) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.ClearPoints();
  for (int I = 0; I < 3; ++I) S.AddPiePoints(10.0 * (I + 1), u"Slice", clBlue, clNone, 4, true);
  ASSERT_EQ(S.GetPointsCount(), 3);
  TChartPoint P = S.GetPoint(1);
  EXPECT_EQ(P.SingleValue, 20);
  EXPECT_EQ(P.ValueType, cpvSingle);
  EXPECT_EQ(P.PixelValue1, 4);
  EXPECT_EQ(P.LegendValue, u"Slice");
  EXPECT_EQ(P.TextColor, 0);
  EXPECT_EQ(P.BorderColor, 0);
  EXPECT_EQ(P.ColorTo, clNone);
  TChartPoint Out = S.GetPoint(3);
  EXPECT_TRUE(Out.Defined);
  EXPECT_EQ(Out.SingleValue, 0);
  EXPECT_FALSE(S.GetChartPoint(-1).Defined);
}

TEST(ChartPointStore, MaximumPointsWindow) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.SetMaximumPoints(3);
  for (int I = 1; I <= 5; ++I) S.AddSinglePoint(I);
  ASSERT_EQ(S.GetPointsCount(), 3);
  EXPECT_EQ(S.GetPoint(0).SingleValue, 3);
  EXPECT_EQ(S.GetPoint(2).SingleValue, 5);
  S.SetMaximumPoints(0);
  S.AddSinglePoint(9);
  S.SetMaximumPoints(-1);
  S.ClearPoints();
  for (int I = 0; I < 10; ++I) S.AddSinglePoint(I);
  S.SetMaximumPoints(2);
  EXPECT_EQ(S.GetPointsCount(), 10);
  S.AddSinglePoint(10);
  EXPECT_EQ(S.GetPointsCount(), 10);
  EXPECT_EQ(S.GetPoint(0).SingleValue, 1);
  TChartSerie& Z = F.Chart.Series().Add();
  Z.SetMaximumPoints(0);
  Z.AddSinglePoint(1);
  EXPECT_EQ(Z.GetPointsCount(), 0);
}

TEST(ChartPointStore, RemovePointKeepsTheAppendPosition) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  for (int I = 0; I < 3; ++I) S.AddSinglePoint(I);
  S.RemovePoint(5);
  S.RemovePoint(-1);
  EXPECT_EQ(S.GetPointsCount(), 3);
  S.RemovePoint(0);
  EXPECT_EQ(S.LastPoint(), 2);
  S.AddSinglePoint(7);  // lands right after the remaining points, no gap
  ASSERT_EQ(S.GetPointsCount(), 3);
  EXPECT_EQ(S.GetPoint(0).SingleValue, 1);
  EXPECT_EQ(S.GetPoint(2).SingleValue, 7);
  EXPECT_TRUE(S.GetPoint(2).Defined);
}

TEST(ChartPointStore, CountHookDoesNotMoveTheAppendPosition) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.AddSinglePoint(1);
  S.AddSinglePoint(2);
  F.Chart.OnGetNumberOfPoints = [](TObject*, Integer, Integer& N) { N = 50; };
  F.Chart.OnGetPoint = [](TObject*, Integer, Integer I, TChartPoint& P) {
    if (I >= 2) P.SingleValue = 100 + I;
  };
  EXPECT_EQ(S.GetPointsCount(), 50);
  EXPECT_EQ(S.GetPoint(10).SingleValue, 110);
  EXPECT_EQ(S.LastPoint(), 2);
  S.AddSinglePoint(3);
  EXPECT_EQ(S.Points().size(), 3u);
  EXPECT_EQ(S.Points()[2].SingleValue, 3);
}

TEST(ChartPointStore, SettersCheckTheirIndex) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.AddSinglePoint(1);
  S.SetSinglePoint(5, 3);
  S.SetSinglePoint(5, -1);
  S.SetMultiPoints(1, 2, 3, 4, 1);
  S.SetSingleDateTime(TChartDate(44000), 9);
  EXPECT_EQ(S.Points().size(), 1u);
  S.SetSinglePoint(5, 0);
  EXPECT_EQ(S.GetPoint(0).SingleValue, 5);
}

TEST(ChartPointStore, AppendFamilyFields) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.AddMultiPoints(10, 1, 4, 6);
  S.AddMultiPoints(10, 1, 4, 6, clRed);
  S.AddBoxPlotPoints(1, 2, 3, 4, 5, true);
  S.AddSinglePoint(u"Task", TChartDate(44000), TChartDate(44010), clRed, clNone, clBlack, clWhite, cgdVertical);
  S.AddSingleXYPoint(2.5, 7, TChartDate(44000), clGreen, false, u"x");
  S.SetArraySize(6);
  EXPECT_EQ(S.GetPoint(0).SingleValue, 6);
  EXPECT_EQ(S.GetPoint(1).SingleValue, 10);
  TChartPoint Box = S.GetPoint(2);
  EXPECT_EQ(Box.LowValue, 1);
  EXPECT_EQ(Box.SingleValue, 2);
  EXPECT_EQ(Box.MedValue, 3);
  EXPECT_EQ(Box.OpenValue, 4);
  EXPECT_EQ(Box.HighValue, 5);
  TChartPoint Gantt = S.GetPoint(3);
  EXPECT_EQ(Gantt.SingleValue, 0);
  EXPECT_EQ(Gantt.TimeXStamp, 44010);
  EXPECT_EQ(Gantt.GradientDirection, cgdVertical);
  TChartPoint XY = S.GetPoint(4);
  EXPECT_EQ(XY.SingleXValue, 2.5);
  EXPECT_EQ(XY.TimeStamp, 44000);
  EXPECT_FALSE(XY.Defined);
  EXPECT_FALSE(S.GetPoint(5).Defined);
}

TEST(ChartPointStore, AssignSharesPointsUntilACountChanges) {
  TChartFixture F;
  TChartSerie& A = F.Chart.Series().Add();
  TChartSerie& B = F.Chart.Series().Add();
  A.AddSinglePoint(1);
  A.AddSinglePoint(2);
  B.Assign(&A);
  EXPECT_EQ(B.GetPointsCount(), 2);
  A.SetSinglePoint(9, 0);
  EXPECT_EQ(B.GetPoint(0).SingleValue, 9);
  B.AddSinglePoint(3);
  EXPECT_EQ(A.GetPointsCount(), 2);
  EXPECT_EQ(B.GetPointsCount(), 3);
}

// A date, a colour and a Boolean are told apart by type, never by a number's
// value: a double where a colour or a Boolean goes does not compile.
template <class S, class A>
concept AppendsSingle = requires(S& Serie, A Arg) {
  Serie.AddSinglePoint(1.0, Arg);
};
template <class S, class A>
concept AppendsDouble = requires(S& Serie, A Arg) {
  Serie.AddDoublePoint(1.0, 2.0, Arg);
};
static_assert(AppendsSingle<TChartSerie, TChartDate>);
static_assert(AppendsSingle<TChartSerie, TColor>);
static_assert(AppendsSingle<TChartSerie, bool>);
static_assert(!AppendsSingle<TChartSerie, double>);
static_assert(!AppendsDouble<TChartSerie, double>);
