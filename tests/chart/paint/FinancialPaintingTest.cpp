// Candles, box plots, OHLC bars, error bars, arrows and bubbles on the
// recording canvas: plain pane 400 x 300, four slots (XScale 100, points at
// x = 50, 150, ...), fixed range 0..100 (y = 300 - 3 v).
#include <gtest/gtest.h>

#include "ChartPaintFixture.h"

namespace {
struct TFin : TChartPaintFixture {
  explicit TFin(Integer Width = 400, Integer Slots = 4) {
    Plain();
    Pane = {0, 0, Width, 300};
    Chart.Range().SetRangeTo(Slots - 1);
  }
};
}  // namespace

TEST(CandlePainting, RisingAndFallingBodiesWithTheirWicks) {
  TFin F;
  TChartSerie& S = F.AddFixed(ctCandleStick, clNone);
  S.SetValueWidthType(wtPixels);
  S.SetValueWidth(20);
  S.SetWickColor(clBlue);
  S.AddMultiPoints(15, 5, 10, 12);  // high, low, open, close: rising
  S.AddMultiPoints(15, 5, 12, 10);  // falling
  F.Paint();
  auto Up = F.Filled(coRectangle, S.CandleColorIncrease());
  auto Down = F.Filled(coRectangle, S.CandleColorDecrease());
  ASSERT_EQ(Up.size(), 1u);
  ASSERT_EQ(Down.size(), 1u);
  EXPECT_EQ(Up[0]->Rect, (TRect{40, 264, 60, 270}));  // 12 down to 10, 20 wide around x = 50
  EXPECT_EQ(Down[0]->Rect, (TRect{140, 264, 160, 270}));
  auto Wicks = F.Lines(clBlue);
  ASSERT_EQ(Wicks.size(), 4u);
  EXPECT_EQ(Wicks[0].first, (TPoint{50, 255}));   // the high
  EXPECT_EQ(Wicks[0].second, (TPoint{50, 264}));  // to the body's top
  EXPECT_EQ(Wicks[1].first, (TPoint{50, 270}));
  EXPECT_EQ(Wicks[1].second, (TPoint{50, 284}));  // one pixel short of the low (285) with a one-pixel wick
}

TEST(CandlePainting, PercentageBodyIsMadeOddForAnOddWick) {
  TFin F(279, 10);
  F.Chart.SetXScaleOffset(false);  // nine steps of 31 pixels: the points exactly 31 apart
  TChartSerie& S = F.AddFixed(ctCandleStick, clNone);
  S.SetValueWidth(50);  // 15.5 rounds to 16, made odd
  for (int I = 0; I < 10; ++I) S.AddMultiPoints(20, 10, 12, 18);
  F.Paint();
  auto Bodies = F.Filled(coRectangle, S.CandleColorIncrease());
  ASSERT_EQ(Bodies.size(), 10u);
  EXPECT_EQ(Bodies[0]->Rect.Width(), 17);
  S.SetWickWidth(2);
  F.Paint();
  EXPECT_EQ(F.Filled(coRectangle, S.CandleColorIncrease())[0]->Rect.Width(), 16);
}

TEST(CandlePainting, BoxPlotBoxAndMedian) {
  TFin F;
  TChartSerie& S = F.AddFixed(ctBoxPlot, clYellow);
  S.SetValueWidthType(wtPixels);
  S.SetValueWidth(20);
  S.SetBorderColor(clBlue);
  S.AddBoxPlotPoints(10, 20, 30, 40, 50, true);
  F.Paint();
  auto Box = F.Filled(coRoundRect, clYellow);
  ASSERT_EQ(Box.size(), 1u);
  EXPECT_EQ(Box[0]->Rect, (TRect{40, 180, 60, 240}));  // first to third quartile
  bool Median = false;
  for (auto& L : F.Lines(clBlue)) Median |= L.first == TPoint{40, 210} && L.second == TPoint{60, 210};
  EXPECT_TRUE(Median);
}

TEST(OHLCPainting, BarWithOpenTickLeftAndCloseTickRight) {
  TFin F;
  TChartSerie& S = F.AddFixed(ctOHLC, clNone);
  S.SetValueWidthType(wtPixels);
  S.SetValueWidth(6);
  S.AddMultiPoints(40, 10, 20, 30);
  F.Paint();
  auto R = F.Filled(coRectangle, S.CandleColorIncrease());
  ASSERT_EQ(R.size(), 3u);
  EXPECT_EQ(R[0]->Rect, (TRect{47, 180, 53, 270}));  // high to low, 6 wide
  EXPECT_EQ(R[1]->Rect, (TRect{44, 237, 53, 243}));  // open at 240, reaching 3 beyond the bar on the left
  EXPECT_EQ(R[2]->Rect, (TRect{47, 207, 56, 213}));  // close at 210, 3 beyond on the right
}

TEST(ErrorBarPainting, UpAndDownByTheErrorValuesWithACrossLine) {
  TFin F;
  TChartSerie& S = F.AddFixed(ctError, clRed);
  S.Marker().SetMarkerSize(8);
  S.AddPoints(10, 2, 1);
  F.Paint();
  auto L = F.Lines(clRed);
  ASSERT_EQ(L.size(), 3u);
  EXPECT_EQ(L[0].second, (TPoint{50, 264}));  // 10 + 2
  EXPECT_EQ(L[1].second, (TPoint{50, 273}));  // 10 - 1
  EXPECT_EQ(L[2].first, (TPoint{46, 270}));
  EXPECT_EQ(L[2].second, (TPoint{54, 270}));
}

TEST(ArrowPainting, PixelArrowAndScaledArrowOnTheirOwnScales) {
  TFin F;
  TChartSerie& S = F.AddFixed(ctArrow, clRed);
  S.AddPoints(50, 0, 20);
  F.Paint();
  auto L = F.Lines(clRed);
  ASSERT_EQ(L.size(), 1u);
  EXPECT_EQ(L[0].first, (TPoint{50, 150}));
  EXPECT_EQ(L[0].second, (TPoint{70, 150}));  // 20 pixels to the right, level

  // Scaled: one point along the x axis is XScale (100) pixels, ten value
  // units are 30 pixels; the y scale (3) must not size the x extent.
  S.SetChartType(ctScaledArrow);
  S.ClearPoints();
  S.AddPoints(50, 10, 1);
  F.Paint();
  L = F.Lines(clRed);
  ASSERT_EQ(L.size(), 1u);
  EXPECT_EQ(L[0].second, (TPoint{150, 120}));
}

TEST(BubblePainting, PixelBubbleAndScaledBubbleOnTheirOwnScales) {
  TFin F;
  TChartSerie& S = F.AddFixed(ctBubble, clYellow);
  S.AddPoints(50, 10, 5);
  F.Paint();
  auto E = F.Filled(coEllipse, clYellow);
  ASSERT_EQ(E.size(), 1u);
  EXPECT_EQ(E[0]->Rect, (TRect{40, 145, 60, 155}));
  S.SetChartType(ctScaledBubble);
  S.ClearPoints();
  S.AddPoints(50, 1, 10);
  F.Paint();
  E = F.Filled(coEllipse, clYellow);
  ASSERT_EQ(E.size(), 1u);
  EXPECT_EQ(E[0]->Rect, (TRect{-50, 120, 150, 180}));  // one point either side, ten units up and down
}

TEST(FinancialValueTexts, CandleWritesItsFourValuesABubbleItsValueCentred) {
  TFin F;
  TChartSerie& S = F.AddFixed(ctCandleStick, clNone);
  S.SetShowValue(true);
  S.ValueFont().SetColor(clPurple);
  S.AddMultiPoints(40, 10, 20, 30);
  F.Paint();
  std::vector<String> Texts;
  std::vector<TRect> Boxes;
  for (const TCanvasRecord* R : F.Ops(coTextOut))
    if (R->Font.Color() == clPurple) {
      Texts.push_back(R->Text);
      Boxes.push_back(R->Rect);
    }
  ASSERT_EQ(Texts, (std::vector<String>{u"40", u"20", u"30", u"10"}));
  EXPECT_EQ(Boxes[0].Bottom, 180);   // above the high
  EXPECT_EQ(Boxes[1].Top, 240 + 2);  // two pixels below the open
  EXPECT_EQ(Boxes[2].Bottom, 210 - 1);
  EXPECT_EQ(Boxes[3].Top, 270);  // below the low
  EXPECT_EQ(Boxes[0].Left + Boxes[0].Width() / 2, 50);

  TFin G;
  TChartSerie& B = G.AddFixed(ctBubble, clYellow);
  B.SetShowValue(true);
  B.SetValueFormat(u"%g");
  B.ValueFont().SetColor(clPurple);
  B.AddPoints(50, 10, 10);
  G.Paint();
  const TCanvasRecord* T = G.Text(u"50");
  ASSERT_NE(T, nullptr);
  EXPECT_EQ((T->Rect.Left + T->Rect.Right) / 2, 50);
  EXPECT_EQ((T->Rect.Top + T->Rect.Bottom) / 2, 150);
}
