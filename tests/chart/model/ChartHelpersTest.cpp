#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "chart/model/ChartHelpers.h"
#include "chart/model/ChartRecordingCanvas.h"

TEST(ChartHelpers, NiceAxisStepTable) {
  struct Case {
    Integer Count;
    double Min, Max, Step;
  } Cases[] = {{10, 0, 100, 10}, {5, 0, 7, 1},  {5, 0, 0.35, 0.1}, {10, 0, 2, 0.5},
               {4, 0, 1, 0.5},   {0, 0, 10, 0}, {3, 5, 5, 0},      {3, 10, 0, 0}};
  for (const Case& C : Cases)
    EXPECT_DOUBLE_EQ(NiceAxisStep(C.Count, C.Min, C.Max), C.Step) << C.Count << " " << C.Min << " " << C.Max;
}

TEST(ChartHelpers, NiceAxisStepNeverLoopsOnSpansThatAreNotNumbers) {
  const double Inf = std::numeric_limits<double>::infinity(), NaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(NiceAxisStep(10, 0, Inf), 0);
  EXPECT_EQ(NiceAxisStep(10, -Inf, Inf), 0);
  EXPECT_EQ(NiceAxisStep(10, 0, NaN), 0);
  EXPECT_EQ(NiceAxisStep(10, NaN, 1), 0);
  EXPECT_GT(NiceAxisStep(10, 0, 1e-300), 0);
  EXPECT_GT(NiceAxisStep(10, 0, 1e300), 0);
}

TEST(ChartHelpers, BoxAlignOffsetTruncatesHalvesTowardZero) {
  Integer X, Y;
  BoxAlignOffset(X, Y, 10, 20, 13, 10, laTopRight);
  EXPECT_EQ(X, -3);
  BoxAlignOffset(X, Y, 10, 20, 13, 10, laCenterCenter);
  EXPECT_EQ(X, -1);
  EXPECT_EQ(Y, 5);
  BoxAlignOffset(X, Y, 10, 20, 13, 10, laCustom);
  EXPECT_EQ(X, 0);
  EXPECT_EQ(Y, 0);
}

TEST(ChartHelpers, HsvRoundTripAndErrors) {
  double H, S, V, R, G, B;
  RGBtoHSV(128, 128, 128, H, S, V);
  EXPECT_EQ(S, 0);
  EXPECT_TRUE(std::isnan(H));
  HSVtoRGB(H, S, V, R, G, B);
  EXPECT_EQ(R, 128);
  EXPECT_EQ(G, 128);
  EXPECT_EQ(B, 128);
  EXPECT_THROW(HSVtoRGB(30, 0, 100, R, G, B), EColorError);
  EXPECT_EQ(DarkenColor(clRed, true), 204);
  EXPECT_EQ(DarkenColor(clRed, false), clRed);
  EXPECT_EQ(ScaleColorValue(clRed, 1.0 / 3), 85);
}

TEST(ChartHelpers, FillChartShapeBandsAndBorder) {
  TRecordingCanvas C;
  C.Pen = {clGreen, 3, psDash};
  FillChartShape(C, clRed, clBlue, 20, {0, 0, 100, 10}, cgdHorizontal, true, clNone, 0, csRectangle, 0, sdAll, false,
                 false);
  ASSERT_EQ(C.Records().size(), 1u);  // 20 steps count as one band; width 0 draws no outline
  EXPECT_EQ(C.Records()[0].Brush.Color(), clRed);
  EXPECT_EQ(C.Pen, (TChartPen{clGreen, 3, psDash}));  // restored
  C.Clear();
  FillChartShape(C, clBlack, clWhite, 4, {0, 0, 41, 10}, cgdHorizontal, true, clBlue, 2, csEllipse, 0, sdAll, false,
                 false);
  ASSERT_EQ(C.Records().size(), 5u);
  EXPECT_EQ(C.Records()[3].Brush.Color(), RGBToColor(191, 191, 191));  // 255 * 3 / 4 rounded
  EXPECT_EQ(C.Records()[4].Op, coEllipse);
  EXPECT_EQ(C.Records()[4].Pen.Color, clBlue);
  EXPECT_EQ(C.Records()[4].Pen.Width, 2);
}

TEST(ChartHelpers, RegionsCombine) {
  TChartRegion Ring =
      TChartRegion::FromEllipse({40, 40, 60, 60}).Combined(TChartRegion::FromRect({0, 0, 100, 100}), rcXor);
  EXPECT_FALSE(Ring.Contains({50, 50}));
  EXPECT_TRUE(Ring.Contains({5, 5}));
  TPoint Tri[3] = {{0, 0}, {10, 0}, {0, 10}};
  TChartRegion T = TChartRegion::FromRect({0, 0, 100, 100}).Combined(TChartRegion::FromPolygon(Tri), rcAnd);
  EXPECT_TRUE(T.Contains({2, 2}));
  EXPECT_FALSE(T.Contains({8, 8}));
}
