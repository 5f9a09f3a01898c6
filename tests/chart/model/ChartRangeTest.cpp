#include <gtest/gtest.h>
#include "rtl/DateUtils.h"

#include "ChartTestSupport.h"

namespace {
TChartSerie& Serie(TChartFixture& F, std::initializer_list<double> Values, TChartSerieAutoRange Auto = arEnabled) {
  TChartSerie& S = F.Chart.Series().Add();
  for (double V : Values) S.AddSinglePoint(V);
  S.SetAutoRange(Auto);
  return S;
}
}  // namespace

TEST(ChartValueRange, OwnRangesWithMargin) {
  TChartFixture F;
  TChartSerie& A = Serie(F, {10, 20, 30});
  TChartSerie& B = Serie(F, {10, 20, 30}, arEnabledZeroBased);
  TChartSerie& U = Serie(F, {10, 30});
  U.AddSinglePoint(500, false);  // undefined points take no part
  F.Chart.SetMinMax();
  EXPECT_DOUBLE_EQ(A.MinimumValue(), 9);
  EXPECT_DOUBLE_EQ(A.MaximumValue(), 31);
  EXPECT_DOUBLE_EQ(B.MinimumValue(), 0);
  EXPECT_DOUBLE_EQ(B.MaximumValue(), 31.5);
  EXPECT_DOUBLE_EQ(U.MaximumValue(), 31);
  EXPECT_DOUBLE_EQ(U.GetTotalPoints(), 540);
}

TEST(ChartValueRange, DisabledRangeFollowsModeAndCommonRangesAreShared) {
  TChartFixture F;
  TChartSerie& D = Serie(F, {1, 2}, arDisabled);
  D.SetMinimum(-5);
  D.SetMaximum(5);
  F.Chart.SetMinMax();
  EXPECT_EQ(D.MinimumValue(), -5);
  D.SetMaximum(50);
  F.Chart.Series().SetMode(cmScaling);
  F.Chart.SetMinMax();
  EXPECT_EQ(D.MaximumValue(), 5);

  TChartFixture G;
  TChartSerie& A = Serie(G, {0, 40}, arCommon);
  TChartSerie& B = Serie(G, {10, 100}, arCommon);
  G.Chart.SetMinMax();
  EXPECT_DOUBLE_EQ(A.SerieMin(), -5);
  EXPECT_DOUBLE_EQ(A.SerieMax(), 105);
  EXPECT_DOUBLE_EQ(B.SerieMin(), -5);
  B.SetAutoRange(arCommonZeroBased);
  G.Chart.SetMinMax();
  EXPECT_DOUBLE_EQ(A.SerieMin(), -5);
  EXPECT_DOUBLE_EQ(B.SerieMin(), 0);
  EXPECT_DOUBLE_EQ(B.SerieMax(), 105);
}

TEST(ChartValueRange, StackedBarsShareTheirSums) {
  TChartFixture F;
  TChartSerie& A = Serie(F, {3, 4}, arCommon);
  TChartSerie& B = Serie(F, {5, 1}, arCommon);
  A.SetChartType(ctStackedBar);
  B.SetChartType(ctStackedBar);
  A.SetRangePercentMargin(0);
  B.SetRangePercentMargin(0);
  F.Chart.SetMinMax();
  EXPECT_EQ(A.MaximumValue(), 8);
  EXPECT_EQ(A.MinimumValue(), 0);
}

TEST(ChartValueRange, EmptyRangeFallsBackAndScalesAreClamped) {
  TChartFixture F;
  TChartSerie& S = Serie(F, {7, 7, 7});
  S.SetRangePercentMargin(0);
  F.Chart.InitializeChart(F.Canvas, {0, 0, 400, 300}, 1, 1);
  EXPECT_EQ(S.MaximumValue(), 0);
  EXPECT_EQ(S.MinimumValue(), 0);
  EXPECT_EQ(S.YScale(), 1);
  TChartSerie& T = Serie(F, {0, 1e-12});
  T.SetRangePercentMargin(0);
  F.Chart.InitializeChart(F.Canvas, {0, 0, 400, 300}, 1, 1);
  EXPECT_EQ(T.YScale(), 1e12);
}

TEST(ChartValueRange, PercentagesShareTheDefinedPositiveTotal) {
  TChartFixture F;
  TChartSerie& S = Serie(F, {1, 1, 2});
  S.SetValueFormat(u"%.2n");
  EXPECT_EQ(S.GetPercentageValue(1), u"25.00");
  EXPECT_EQ(S.GetPercentageValue(2), u"50.00");
  S.AddSinglePoint(-4);
  S.AddSinglePoint(8, false);
  EXPECT_EQ(S.GetPercentageValue(1), u"25.00");
  EXPECT_EQ(S.GetPercentageValue(-4), u"0.00");
  TChartSerie& One = Serie(F, {42});
  One.SetValueFormat(u"%.2n");
  EXPECT_EQ(One.GetPercentageValue(42), u"100");
  TChartSerie& Zero = Serie(F, {0, 0});
  Zero.SetValueFormat(u"%.2n");
  EXPECT_EQ(Zero.GetPercentageValue(0), u"0.00");
  Zero.SetValueFormat(u"");
  EXPECT_EQ(Zero.GetPercentageValue(0), u"");
  F.Chart.SetFormatSettings(TFormatSettings::French());
  EXPECT_EQ(S.GetPercentageValue(1), u"25,00");
}

TEST(ChartValueRange, DatesOnTheXAxis) {
  TChartFixture F;
  TChartSerie& S = Serie(F, {1});
  F.Chart.XAxis().SetUnitType(utHour);
  TDateTime D = EncodeDateTime(2021, 1, 14, 13, 45, 30, 250);
  EXPECT_DOUBLE_EQ(S.ConvertDateToXDate(D), EncodeDateTime(2021, 1, 14, 13, 0, 0, 0));
  F.Chart.XAxis().SetUnitType(utMonth);
  EXPECT_DOUBLE_EQ(S.ConvertDateToXDate(D), EncodeDate(2021, 1, 1));
  F.Chart.XAxis().SetUnitType(utWeek);
  F.Chart.Range().SetStartDate(EncodeDateTime(2021, 1, 4, 10, 0, 0, 0));
  EXPECT_DOUBLE_EQ(S.GetXTimeStamp(3), EncodeDate(2021, 1, 25));
}

TEST(ChartValueRange, LogarithmicRangesEndAtTheDecadeAboveTheLargestValue) {
  struct Case {
    double Largest;
    Integer Margin;
    double Max;
  } Cases[] = {
      {999, 5, 3.15},                 // log 2.99..: decade 3, plus 5 %
      {1000, 5, 4.2},                 // log 3 exactly: the next decade
      {12345, 10, 5.5}, {0.5, 0, 1},  // log -0.3 truncates to 0
      {-50, 20, 1.2},                 // no positive value: the largest counts as 0
  };
  for (const Case& C : Cases) {
    TChartFixture F;
    TChartSerie& S = Serie(F, {C.Largest / 10, C.Largest});
    S.SetLogarithmic(true);
    S.SetRangePercentMargin(C.Margin);
    F.Chart.SetMinMax();
    EXPECT_DOUBLE_EQ(S.MaximumValue(), C.Max) << C.Largest;
    EXPECT_EQ(S.MinimumValue(), 0) << C.Largest;
  }
  // A decade of 0 (largest value 0.05) would leave an empty range: the
  // manual one is taken instead.
  TChartFixture Small;
  TChartSerie& Z = Serie(Small, {0.05});
  Z.SetLogarithmic(true);
  Z.SetMaximum(7);
  Small.Chart.SetMinMax();
  EXPECT_EQ(Z.MaximumValue(), 7);
  // Common logarithmic series share the highest top of all logarithmic
  // series; a serie of its own keeps its top, a disabled one its manual range.
  TChartFixture G;
  TChartSerie& A = Serie(G, {50}, arCommon);
  TChartSerie& B = Serie(G, {5000}, arCommonZeroBased);
  TChartSerie& Own = Serie(G, {9});
  TChartSerie& Off = Serie(G, {1e9}, arDisabled);
  TChartSerie& Plain = Serie(G, {0, 40});
  for (TChartSerie* S : {&A, &B, &Own, &Off}) {
    S->SetLogarithmic(true);
    S->SetRangePercentMargin(0);
  }
  Off.SetMaximum(2);
  G.Chart.SetMinMax();
  EXPECT_EQ(A.MaximumValue(), 4);
  EXPECT_EQ(B.MaximumValue(), 4);
  EXPECT_EQ(Own.MaximumValue(), 1);
  EXPECT_EQ(Off.MaximumValue(), 2);
  EXPECT_DOUBLE_EQ(Plain.MaximumValue(), 42);
}
