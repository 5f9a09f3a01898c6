#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "ChartTestSupport.h"
#include "chart/model/ChartAnalyticSeries.h"

namespace {
struct TAnalytic : TChartFixture {
  TChartSeries& Series = Chart.Series();
  TChartSerie& Source(std::initializer_list<double> Values) {
    TChartSerie& S = Series.Add();
    for (double V : Values) S.AddSinglePoint(V);
    return S;
  }
  // The points of the last serie: nullopt for an undefined one.
  std::vector<std::optional<double>> Last() const {
    const TChartSerie& S = Chart.Series().Items(Chart.Series().Count() - 1);
    std::vector<std::optional<double>> Out;
    for (Integer I = 0; I < S.GetPointsCount(); ++I) {
      TChartPoint P = S.GetPoint(I);
      Out.push_back(P.Defined ? std::optional<double>(P.SingleValue) : std::nullopt);
    }
    return Out;
  }
};
using V = std::vector<std::optional<double>>;
constexpr auto None = std::nullopt;
}  // namespace

TEST(AnalyticSeries, StraightLinesAndBands) {
  TAnalytic F;
  AddLineSerie(F.Series, 2, 5, 10, 40, false, clBlue, 2);
  EXPECT_EQ(F.Last(), (V{None, None, 10.0, 20.0, 30.0, 40.0}));
  const TChartSerie& L = F.Series[0];
  EXPECT_EQ(L.ChartType(), ctLine);
  EXPECT_FALSE(L.YAxis().Visible());
  EXPECT_FALSE(L.XAxis().Visible());
  EXPECT_FALSE(L.ShowInLegend());
  EXPECT_EQ(L.LineColor(), clBlue);
  EXPECT_EQ(L.LineWidth(), 2);
  // Indices given the wrong way round run from the smaller one, with the
  // start value there.
  AddLineSerie(F.Series, 5, 2, 10, 40, false, clBlue, 1);
  EXPECT_EQ(F.Last(), (V{None, None, 10.0, 20.0, 30.0, 40.0}));
  // One index: one point, its start value, no division by zero.
  AddLineSerie(F.Series, 3, 3, 7, 9, false, clBlue, 1);
  EXPECT_EQ(F.Last(), (V{None, None, None, 7.0}));

  AddBandSerie(F.Series, 1, 3, 0, 10, 20, 40, false, clBlack, 1, clYellow);
  const TChartSerie& B = F.Series[F.Series.Count() - 1];
  EXPECT_EQ(B.ChartType(), ctBand);
  EXPECT_EQ(B.Color(), clYellow);
  ASSERT_EQ(B.GetPointsCount(), 4);
  EXPECT_FALSE(B.GetPoint(0).Defined);
  EXPECT_DOUBLE_EQ(B.GetPoint(2).SingleValue, 10);
  EXPECT_DOUBLE_EQ(B.GetPoint(2).SecondValue, 25);
  EXPECT_DOUBLE_EQ(B.GetPoint(3).SecondValue, 40);
}

TEST(AnalyticSeries, MovingAverageTrailsItsWindow) {
  TAnalytic F;
  F.Source({1, 2, 3, 4, 5});
  AddMovingAverage(F.Series, 0, 0, 4, 2, false, clRed, 1);
  EXPECT_EQ(F.Last(), (V{None, 1.5, 2.5, 3.5}));
  AddMovingAverage(F.Series, 0, 1, 4, 3, false, clRed, 1);
  EXPECT_EQ(F.Last(), (V{None, None, 3.0}));
  Integer Before = F.Series.Count();
  try {
    AddMovingAverage(F.Series, 0, 0, 4, 0, false, clRed, 1);
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), u"Moving average window size must be 1 or higher");
  }
  EXPECT_THROW(AddMovingAverage(F.Series, 7, 0, 4, 2, false, clRed, 1), EListError);
  EXPECT_EQ(F.Series.Count(), Before);
}

TEST(AnalyticSeries, ParetoRunsToOneHundredInPointOrder) {
  TAnalytic F;
  F.Source({10, 30, 60});
  AddParetoLine(F.Series, 0, 0, 2, true, clRed, 1);
  EXPECT_EQ(F.Last(), (V{10.0, 40.0, 100.0}));
  const TChartSerie& P = F.Series[1];
  EXPECT_EQ(P.ValueFormat(), u"%.1f%%");
  EXPECT_TRUE(P.ShowValue());
  for (Integer I = 0; I < F.Series.Count(); ++I) EXPECT_EQ(F.Series[I].AutoRange(), arCommonZeroBased);
  F.Source({0, 0, 0});
  AddParetoLine(F.Series, 2, 1, 2, false, clRed, 1);
  EXPECT_EQ(F.Last(), (V{None}));  // only the gap
  Integer Before = F.Series.Count();
  for (auto [From, To] : {std::pair{2, 2}, std::pair{3, 1}}) {
    try {
      AddParetoLine(F.Series, 0, From, To, false, clRed, 1);
      FAIL();
    } catch (const Exception& E) {
      EXPECT_EQ(E.Message(), u"End point should be larger than start point");
    }
  }
  EXPECT_EQ(F.Series.Count(), Before);
}

TEST(AnalyticSeries, TrendLineAndChannel) {
  TAnalytic F;
  F.Source({1, 3, 5});
  AddTrendLine(F.Series, 0, 0, 2, true, clGreen, 1);
  EXPECT_EQ(F.Last(), (V{1.0, 3.0, 5.0}));
  EXPECT_EQ(F.Series[0].AutoRange(), arCommon);

  F.Source({0, 0, 1, 3, 5});
  AddTrendLine(F.Series, 2, 2, 4, false, clGreen, 1);
  EXPECT_EQ(F.Last(), (V{None, None, 1.0, 3.0, 5.0}));

  Integer Before = F.Series.Count();
  AddTrendChannel(F.Series, 0, 0, 2, false, clGreen, 1);
  ASSERT_EQ(F.Series.Count(), Before + 2);
  const double D = std::sqrt(8.0 / 3);
  const TChartSerie& Up = F.Series[Before];
  const TChartSerie& Down = F.Series[Before + 1];
  EXPECT_NEAR(Up.GetPoint(0).SingleValue, 1 + D, 1e-12);
  EXPECT_NEAR(Up.GetPoint(2).SingleValue, 5 + D, 1e-12);
  EXPECT_NEAR(Down.GetPoint(2).SingleValue, 5 - D, 1e-12);

  AddTrendChannelBand(F.Series, 0, 0, 2, false, clGreen, 1, clAqua);
  const TChartSerie& Band = F.Series[F.Series.Count() - 1];
  EXPECT_EQ(Band.ChartType(), ctBand);
  EXPECT_NEAR(Band.GetPoint(1).SingleValue, 3 - D, 1e-12);
  EXPECT_NEAR(Band.GetPoint(1).SecondValue, 3 + D, 1e-12);
  EXPECT_THROW(AddTrendLine(F.Series, 0, 2, 2, false, clGreen, 1), Exception);
  EXPECT_THROW(AddTrendChannelBand(F.Series, 0, 2, 2, false, clGreen, 1, clAqua), Exception);
}

TEST(AnalyticSeries, TrendOverLargeIndicesDoesNotOverflow) {
  TAnalytic F;
  TChartSerie& S = F.Series.Add();
  // 50,000 squared is past the 32-bit range; the line must still be exact.
  S.SetArraySize(50003);
  for (Integer I = 50000; I <= 50002; ++I)
    S.UpdatePoint(I, [I](TChartPoint& P) {
      P.Defined = true;
      P.SingleValue = 2.0 * (I - 50000) + 1;
    });
  AddTrendLine(F.Series, 0, 50000, 50002, false, clGreen, 1);
  const TChartSerie& T = F.Series[1];
  ASSERT_EQ(T.GetPointsCount(), 50003);
  EXPECT_NEAR(T.GetPoint(50000).SingleValue, 1, 1e-6);
  EXPECT_NEAR(T.GetPoint(50002).SingleValue, 5, 1e-6);
}
