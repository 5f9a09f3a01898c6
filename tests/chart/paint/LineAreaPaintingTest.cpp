// Lines, areas and digital lines on the recording canvas. A plain pane of
// 400 x 300 with 4 slots gives XScale 100 (points at x = 50, 150, 250) and a
// fixed range 0..100 gives y = 300 - 3 v.
#include <gtest/gtest.h>

#include "ChartPaintFixture.h"

namespace {
struct TPlain : TChartPaintFixture {
  TPlain(Integer Width = 400, Integer Height = 300, Integer Slots = 4) {
    Plain();
    Pane = {0, 0, Width, Height};
    Chart.Range().SetRangeTo(Slots - 1);
  }
};

std::vector<TPoint> Points(std::initializer_list<TPoint> P) { return P; }
}  // namespace

TEST(LinePainting, UndefinedPointBreaksTheLineButNotTheRibbon) {
  TPlain F;
  TChartSerie& S = F.AddFixed(ctLine, clRed);
  S.AddSinglePoint(10);
  S.AddSinglePoint(50, false);
  S.AddSinglePoint(30);
  S.AddSinglePoint(40);
  F.Paint();
  EXPECT_EQ(S.DrawPoints, Points({{50, 270}, {150, 150}, {250, 210}, {350, 180}}));
  auto L = F.Lines(clRed);
  ASSERT_EQ(L.size(), 1u);  // only 30 -> 40
  EXPECT_EQ(L[0].first, (TPoint{250, 210}));
  EXPECT_EQ(L[0].second, (TPoint{350, 180}));

  S.SetEnable3D(true);
  S.SetOffset3D(10);
  F.Paint();
  auto Ribbons = F.Filled(coPolygon, clRed);
  ASSERT_EQ(Ribbons.size(), 3u);  // every pair, defined or not
  const TPoint A = S.DrawPoints[0], B = S.DrawPoints[1];
  EXPECT_EQ(Ribbons[0]->Points, Points({A, {A.X + 10, A.Y - 10}, {B.X + 10, B.Y - 10}, B}));
  EXPECT_EQ(F.Lines(clRed).size(), 1u);
}

TEST(LinePainting, EndOnTheTopAxisLineMovesOnePixelDown) {
  TPlain F(400, 231);
  F.Chart.XAxis().SetPosition(xTop);  // 30 high, its line 1 pixel above the series area
  TChartSerie& S = F.AddFixed(ctLine, clRed);
  // The layout's area (without the line) is 201 high: 100 lies 201 pixels
  // above the bottom, exactly on the line's outer edge.
  S.AddSinglePoint(100);
  S.AddSinglePoint(50);
  F.Paint();
  const TRect SR = F.Chart.Series().SeriesRectangle();
  ASSERT_EQ(SR, (TRect{0, 31, 400, 231}));
  ASSERT_EQ(S.DrawPoints[0].Y, 30);
  auto L = F.Lines(clRed);
  ASSERT_EQ(L.size(), 1u);
  EXPECT_EQ(L[0].first, (TPoint{50, 31}));
}

TEST(AreaPainting, ClosesOnTheZeroLineFillsThroughItsOutlineAndDrawsItsBorder) {
  TPlain F(300, 300, 3);
  TChartSerie& S = F.AddFixed(ctArea, clRed);
  S.SetBorderColor(clBlue);
  for (double V : {20.0, 40.0, 60.0}) S.AddSinglePoint(V);
  F.Paint();
  const auto Outline = Points({{50, 240}, {150, 180}, {250, 120}, {250, 300}, {50, 300}});
  EXPECT_EQ(S.DrawPoints, Outline);
  EXPECT_EQ(S.StackedPointsArea, Outline);
  EXPECT_EQ(S.DrawValuesDP, Outline);
  auto Fills = F.Filled(coPolygon, clRed);
  ASSERT_EQ(Fills.size(), 1u);
  auto Closed = Outline;
  Closed.push_back(Outline.front());
  EXPECT_EQ(Fills[0]->Points, Closed);
  EXPECT_EQ(Fills[0]->Pen.Style, psClear);
  const TChartRegion Clip = F.ClipAt(Fills[0]);
  EXPECT_TRUE(Clip.Contains({150, 250}));
  EXPECT_FALSE(Clip.Contains({150, 170}));  // above the outline
  EXPECT_FALSE(Clip.Contains({350, 250}));  // beyond the last point
  const TCanvasRecord* Border = nullptr;
  for (const TCanvasRecord* R : F.Ops(coPolyline))
    if (R->Pen.Color == clBlue) Border = R;
  ASSERT_NE(Border, nullptr);
  EXPECT_EQ(Border->Points, Closed);
  // The markers skip the two closing points.
  S.Marker().SetMarkerType(mSquare);
  F.Paint();
  EXPECT_EQ(F.Ops(coRectangle).size(), 3u);
}

TEST(AreaPainting, SecondStackedAreaLiesOnTheFirst) {
  TPlain F(300, 300, 3);
  TChartSerie& A = F.AddFixed(ctStackedArea, clRed);
  TChartSerie& B = F.AddFixed(ctStackedArea, clBlue);
  for (double V : {10.0, 20.0, 30.0}) A.AddSinglePoint(V);
  for (int I = 0; I < 3; ++I) B.AddSinglePoint(5);
  F.Paint();
  // A: 270, 240, 210. B is lifted by A's heights: 255, 225, 195, then walks
  // back along A's outline.
  EXPECT_EQ(B.StackedPointsArea, Points({{50, 255},
                                         {150, 225},
                                         {250, 195},
                                         {250, 300},
                                         {50, 300},
                                         {50, 270},
                                         {150, 240},
                                         {250, 210},
                                         {250, 300},
                                         {50, 300}}));
  auto Fill = F.Filled(coPolygon, clBlue);
  ASSERT_EQ(Fill.size(), 1u);
  const TChartRegion Band = F.ClipAt(Fill[0]);
  EXPECT_TRUE(Band.Contains({150, 232}));   // between A's and B's upper edges
  EXPECT_FALSE(Band.Contains({150, 270}));  // inside A only
  EXPECT_FALSE(Band.Contains({150, 215}));  // above B
}

TEST(AreaPainting, UndefinedPointsCutTheFillIntoRunsClosedOnTheZeroLine) {
  TPlain F(400, 300, 4);
  TChartSerie& S = F.AddFixed(ctArea, clRed);
  S.AddSinglePoint(10);
  S.AddSinglePoint(20, false);
  S.AddSinglePoint(30);
  S.AddSinglePoint(40);
  F.Paint();
  auto Fills = F.Filled(coPolygon, clRed);
  ASSERT_EQ(Fills.size(), 2u);
  EXPECT_EQ(Fills[0]->Points, Points({{50, 270}, {50, 300}, {50, 300}, {50, 270}}));
  EXPECT_EQ(Fills[1]->Points, Points({{250, 210}, {350, 180}, {350, 300}, {250, 300}, {250, 210}}));
}

TEST(AreaPainting, BandWithAGradientFillsTheSeriesAreaThroughItsOutline) {
  TPlain F(300, 300, 3);
  TChartSerie& S = F.AddFixed(ctBand, clRed);
  S.SetColorTo(clYellow);
  S.SetGradientSteps(4);
  for (double V : {20.0, 30.0, 40.0}) S.AddDoublePoint(V + 20, V);
  F.Paint();
  ASSERT_EQ(S.DrawPoints.size(), 6u);
  EXPECT_EQ(S.DrawPoints[3], (TPoint{250, 180}));  // lower value of the third point
  std::vector<const TCanvasRecord*> Bands;
  for (const TCanvasRecord* R : F.Ops(coRectangle))
    if (R->Clipped && R->Brush.Style() != bsClear && F.ClipAt(R).Contains({150, 180})) Bands.push_back(R);
  ASSERT_EQ(Bands.size(), 4u);  // the gradient's four steps over the series area
  EXPECT_EQ(Bands.front()->Brush.Color(), clRed);
  EXPECT_EQ(Bands.front()->Rect.Top, 0);
  EXPECT_FALSE(F.ClipAt(Bands.front()).Contains({150, 220}));  // below the band's lower edge
  EXPECT_FALSE(F.ClipAt(Bands.front()).Contains({150, 100}));  // above its upper edge
}

TEST(DigitalLine, StepsFromTheZeroLineBackToIt) {
  TPlain F(30, 100, 3);
  TChartSerie& S = F.AddFixed(ctDigitalLine, clRed, 0, 10);
  for (double V : {1.0, 3.0, 2.0}) S.AddSinglePoint(V);
  F.Paint();
  ASSERT_EQ(S.DrawPoints, Points({{5, 90}, {15, 70}, {25, 80}}));
  std::vector<std::pair<TPoint, TPoint>> Drawn;
  for (auto& L : F.Lines(clRed))
    if (L.first != L.second) Drawn.push_back(L);
  ASSERT_FALSE(Drawn.empty());
  EXPECT_EQ(Drawn.front().first, (TPoint{0, 100}));   // h = 5 left of the first point, on the zero line
  EXPECT_EQ(Drawn.back().second, (TPoint{30, 100}));  // h = 5 right of the last point
  std::vector<TPoint> Path{Drawn.front().first};
  for (auto& L : Drawn) {
    EXPECT_EQ(L.first, Path.back());  // one connected staircase
    EXPECT_TRUE(L.first.X == L.second.X || L.first.Y == L.second.Y);
    Path.push_back(L.second);
  }
  EXPECT_EQ(Path, Points({{0, 100}, {0, 90}, {10, 90}, {10, 70}, {20, 70}, {20, 80}, {30, 80}, {30, 100}}));
}
