#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "controls/VivProgressGauge.h"

namespace {

// The main window's usage bar: 110 x 14, levels at 80 and 90, bordered.
TGaugeSettings UsageBar(Integer Position) {
  TGaugeSettings s;
  s.Level1Perc = 80;
  s.Level2Perc = 90;
  s.Stacked = true;
  s.Steps = 20;
  s.Position = Position;
  s.Value = Position;
  s.Rounded = false;
  s.ShowGradient = false;  // one rectangle per piece, easy to check
  return s;
}

const TRect Frame = Rect(0, 0, 110, 14);

std::vector<TRect> Draw(const TGaugeSettings& S, TColor Color, const TRect& R = Frame) {
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, R, S, 1.0f);
  return canvas.RectsIn(Color);
}

TEST(GaugeDrawing, StackedZonesFollowTheLevels) {
  const TGaugeSettings s = UsageBar(85);
  // q(80) = 86, q(85 - 80) = 5; zone 1 is the last one.
  EXPECT_EQ(Draw(s, s.Level0Color), std::vector<TRect>{Rect(1, 1, 87, 13)});
  EXPECT_EQ(Draw(s, s.Level1Color), std::vector<TRect>{Rect(87, 1, 92, 13)});
  EXPECT_TRUE(Draw(s, s.Level2Color).empty());
  EXPECT_TRUE(Draw(UsageBar(50), s.Level1Color).empty());
}

TEST(GaugeDrawing, StackedZonesFillTheWholeBarAtOneHundredPercent) {
  const TGaugeSettings s = UsageBar(100);
  const TRect z0 = Draw(s, s.Level0Color).at(0);
  const TRect z1 = Draw(s, s.Level1Color).at(0);
  const TRect z2 = Draw(s, s.Level2Color).at(0);
  EXPECT_EQ(z0.Right, z1.Left);
  EXPECT_EQ(z1.Right, z2.Left);
  EXPECT_EQ(z0.Width() + z1.Width() + z2.Width(), 108);
  EXPECT_EQ(z2.Right, 109);
}

TEST(GaugeDrawing, BlocksInTheColourOfTheLevelReached) {
  TGaugeSettings s = UsageBar(50);
  s.Stacked = false;
  s.Level1Perc = 70;
  s.Level2Perc = 90;
  // len = 54: six blocks of 7 with gaps of 2, no partial block.
  const std::vector<TRect> blocks = {Rect(2, 2, 9, 12),   Rect(11, 2, 18, 12), Rect(20, 2, 27, 12),
                                     Rect(29, 2, 36, 12), Rect(38, 2, 45, 12), Rect(47, 2, 54, 12)};
  EXPECT_EQ(Draw(s, s.Level0Color), blocks);

  struct {
    Integer Position;
    std::vector<TRect> Bar;
    TColor TGaugeSettings::*Color;
  } const cases[] = {
      {5, {Rect(2, 2, 6, 12)}, &TGaugeSettings::Level0Color},  // 2..9: one piece of len - 1
      {1, {}, &TGaugeSettings::Level0Color},                   // len 1: nothing
      // len = 12: one block, then a partial one of 12 mod 9 - 2 = 1 pixel.
      {11, {Rect(2, 2, 9, 12), Rect(11, 2, 12, 12)}, &TGaugeSettings::Level0Color},
      {75, {}, &TGaugeSettings::Level0Color},
      {100, {}, &TGaugeSettings::Level2Color},
  };
  for (const auto& c : cases) {
    s.Position = c.Position;
    EXPECT_EQ(Draw(s, s.*(c.Color)), c.Bar) << "position " << c.Position;
  }
  s.Position = 75;
  EXPECT_EQ(Draw(s, s.Level1Color).size(), 9u);
  s.Position = 95;  // len 103: eleven blocks and a partial one
  EXPECT_EQ(Draw(s, s.Level2Color).size(), 12u);
  s.Position = 100;
  EXPECT_EQ(Draw(s, s.Level3Color).size(), 12u);
}

TEST(GaugeDrawing, SmoothBarIsOnePiece) {
  TGaugeSettings s = UsageBar(50);
  s.Stacked = false;
  s.CompletionSmooth = true;
  EXPECT_EQ(Draw(s, s.Level0Color), std::vector<TRect>{Rect(2, 2, 54, 12)});
}

TEST(GaugeDrawing, PositionZeroDrawsFrameBackgroundZonesAndText) {
  TGaugeSettings s = UsageBar(0);
  s.Level0BkColor = 0x111111;
  s.Level2BkColor = 0x222222;
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Frame, s, 1.0f);
  const std::vector<TCanvasOp> shapes = canvas.Shapes();
  ASSERT_EQ(shapes.size(), 3u);
  EXPECT_EQ(shapes[0].R, Frame);
  EXPECT_EQ(shapes[0].Pen, s.BorderColor);
  EXPECT_EQ(shapes[0].Brush, s.BackgroundColor);
  // j0 = q(80) = 86, j1 = q(10) = 11, j2 = 108 - 97 = 11; zone 1 has no colour.
  EXPECT_EQ(shapes[1].R, Rect(2, 1, 86, 13));
  EXPECT_EQ(shapes[2].R, Rect(97, 1, 108, 13));
  ASSERT_NE(canvas.LastText(), nullptr);
  EXPECT_EQ(canvas.LastText()->Text, u"0%");
}

TEST(GaugeDrawing, InfiniteModeLeavesA22PixelBlock) {
  TGaugeSettings s = UsageBar(30);
  s.Stacked = false;
  s.Infinite = true;
  s.InfinitePos = 50;
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Frame, s, 1.0f);
  const std::vector<TCanvasOp> shapes = canvas.Shapes();
  ASSERT_GE(shapes.size(), 2u);
  EXPECT_EQ(shapes[shapes.size() - 2].R, Rect(2, 1, 43, 13));
  EXPECT_EQ(shapes.back().R, Rect(65, 2, 108, 12));
  EXPECT_EQ(shapes.back().Brush, s.BackgroundColor);
  // The bar below is the full length in the level 0 colours, the text 100%.
  EXPECT_EQ(Draw(s, s.Level0Color).size(), 12u);
  EXPECT_EQ(canvas.LastText()->Text, u"100%");
}

TEST(GaugeDrawing, WithoutBorderTheFrameIsInTheBackgroundColourAndTheBarMovesOut) {
  TGaugeSettings s = UsageBar(50);
  s.Stacked = false;
  s.ShowBorder = false;
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Frame, s, 1.0f);
  EXPECT_EQ(canvas.Shapes().at(0).Pen, s.BackgroundColor);
  EXPECT_EQ(Draw(s, s.Level0Color).at(0), Rect(1, 1, 8, 13));
}

TEST(GaugeDrawing, RoundedFillsTheCornersForTransparency) {
  TGaugeSettings s = UsageBar(50);
  s.Rounded = true;
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Frame, s, 1.0f);
  ASSERT_GE(canvas.Ops.size(), 2u);
  EXPECT_EQ(canvas.Ops[0].Kind, TCanvasOp::opRectangle);
  EXPECT_EQ(canvas.Ops[0].Brush, GaugeCornerColor);
  EXPECT_EQ(canvas.Ops[0].R, Frame);
  EXPECT_EQ(canvas.Ops[1].Kind, TCanvasOp::opRoundRect);
}

TEST(GaugeDrawing, GradientBandsOverlapAndRunToTheTint) {
  TRecordingCanvas canvas;
  GaugeGradientFill(canvas, 0x000000, 0x0000FF, 4, Rect(10, 0, 18, 5), true);
  ASSERT_EQ(canvas.Ops.size(), 4u);
  const TRect bands[] = {Rect(10, 0, 13, 5), Rect(12, 0, 15, 5), Rect(14, 0, 17, 5), Rect(16, 0, 18, 5)};
  const TColor reds[] = {0, 64, 128, 191};  // 63.75, 127.5 (even), 191.25
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(canvas.Ops[i].R, bands[i]);
    EXPECT_EQ(canvas.Ops[i].Brush, reds[i]);
    EXPECT_EQ(canvas.Ops[i].Pen, reds[i]);
  }
  // No steps: one band in the start colour; system colours resolved first.
  TRecordingCanvas one;
  GaugeGradientFill(one, clBtnFace, 0xFFFFFF, 0, Rect(0, 0, 4, 6), false);
  ASSERT_EQ(one.Ops.size(), 1u);
  EXPECT_EQ(one.Ops[0].R, Rect(0, 0, 4, 6));
  EXPECT_EQ(one.Ops[0].Brush, one.ColorToRGB(clBtnFace));
}

TEST(GaugeDrawing, GradientPiecesHaveTheirFullColourInTheMiddle) {
  TGaugeSettings s = UsageBar(85);
  s.ShowGradient = true;
  s.Steps = 1;
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Frame, s, 1.0f);
  // Zone 0 (1, 1, 87, 13): an upper half starting at the tint, a lower
  // half starting at the full colour.
  const std::vector<TRect> tint = canvas.RectsIn(s.Level0ColorTo);
  const std::vector<TRect> full = canvas.RectsIn(s.Level0Color);
  ASSERT_EQ(tint.size(), 1u);
  ASSERT_EQ(full.size(), 1u);
  EXPECT_EQ(tint[0], Rect(1, 1, 87, 7));
  EXPECT_EQ(full[0], Rect(1, 7, 87, 13));
}

TEST(GaugeDrawing, TextIsCentredAndFollowsTheFormat) {
  TGaugeSettings s = UsageBar(85);
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Frame, s, 1.0f);
  const TCanvasOp* text = canvas.LastText();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text, u"85%");
  EXPECT_EQ(text->At, (TPoint{55 - 10, 7 - 6}));  // 21 x 13
  EXPECT_TRUE(text->BrushClear);
  EXPECT_EQ(text->Font.Name, u"Verdana");

  struct {
    String Format;
    bool ShowPercentage;
    String Text;
  } const cases[] = {
      {u"%d of %d", true, u"850 of 1000"},
      {u"", false, u"850"},
      {u"%s", true, u"85%"},  // not a format for two integers: the built-in text
  };
  for (const auto& c : cases) {
    s.Value = 850;
    s.Max = 1000;
    s.Format = c.Format;
    s.ShowPercentage = c.ShowPercentage;
    TRecordingCanvas again;
    DrawProgressGauge(again, Frame, s, 1.0f);
    EXPECT_EQ(again.LastText()->Text, c.Text);
  }
  s.ShowPosition = false;
  TRecordingCanvas none;
  DrawProgressGauge(none, Frame, s, 1.0f);
  EXPECT_EQ(none.LastText(), nullptr);
}

TEST(GaugeDrawing, VerticalGaugeIsTheMirrorOfTheHorizontalOne) {
  // A 14 x 110 vertical gauge must put every piece where the horizontal
  // one puts it, with the x offset from the left edge read upward from
  // the bottom edge.
  for (bool stacked : {true, false}) {
    for (Integer position : {5, 50, 85, 95, 100}) {
      TGaugeSettings h = UsageBar(position);
      h.Stacked = stacked;
      h.Level0BkColor = 0x123456;
      h.Level1BkColor = 0x234567;
      h.Level2BkColor = 0x345678;
      TGaugeSettings v = h;
      v.Orientation = goVertical;
      for (TColor color : {h.Level0Color, h.Level1Color, h.Level2Color, h.Level3Color, h.Level0BkColor, h.Level1BkColor,
                           h.Level2BkColor}) {
        const std::vector<TRect> across = Draw(h, color, Rect(0, 0, 110, 14));
        const std::vector<TRect> up = Draw(v, color, Rect(0, 0, 14, 110));
        ASSERT_EQ(across.size(), up.size()) << "position " << position << " stacked " << stacked;
        for (std::size_t i = 0; i < across.size(); ++i) {
          const TRect& a = across[i];
          EXPECT_EQ(up[i], Rect(a.Top, 110 - a.Right, a.Bottom, 110 - a.Left))
              << "position " << position << " stacked " << stacked << " piece " << i;
        }
      }
    }
  }
}

TEST(GaugeDrawing, VerticalTextReadsUpwardAndIsCentred) {
  TGaugeSettings s = UsageBar(85);
  s.Orientation = goVertical;
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Rect(0, 0, 14, 110), s, 1.0f);
  const TCanvasOp* text = canvas.LastText();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Font.Orientation, 900);
  EXPECT_EQ(text->At, (TPoint{7 - 6, 55 + 10}));
}

TEST(GaugeDrawing, ScaleWidensMarginsAndBlocks) {
  TGaugeSettings s = UsageBar(50);
  s.Stacked = false;
  // At 1.5: m = 3, n = Round(10.5) = 10 (half to even).
  TRecordingCanvas canvas;
  DrawProgressGauge(canvas, Frame, s, 1.5f);
  const std::vector<TRect> blocks = canvas.RectsIn(s.Level0Color);
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks[0], Rect(3, 3, 13, 11));
  EXPECT_EQ(blocks[1], Rect(16, 3, 26, 11));
}

// ---------------------------------------------------------------- position rule

TEST(GaugePosition, PercentageCountsFromMin) {
  struct {
    Integer Position, Min, Max, Percent;
  } const cases[] = {
      {50, 0, 200, 25},   {51, 0, 200, 26},                                     // 25.5 rounds to the even 26
      {100, 50, 150, 50}, {150, 50, 150, 100}, {50, 50, 150, 0}, {7, 5, 5, 0},  // empty range
      {300, 0, 100, 300},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GaugePercentage(c.Position, c.Min, c.Max), c.Percent) << c.Position << " in " << c.Min << ".." << c.Max;
}

TEST(GaugePosition, ValuesAreClampedIntoTheRange) {
  TGaugePosition p;
  EXPECT_EQ(p.Position(), 50);
  EXPECT_TRUE(p.SetPosition(150, false));
  EXPECT_EQ(p.Position(), 100);
  p.SetPosition(-5, false);
  EXPECT_EQ(p.Position(), 0);
  p.SetMin(10);
  EXPECT_EQ(p.Position(), 0);  // not clamped again by a range change
  p.SetPosition(p.Position(), false);
  EXPECT_EQ(p.Position(), 10);
}

TEST(GaugePosition, RepaintsWhenThePictureChanges) {
  TGaugePosition p;
  p.SetMax(200);  // granularity 2
  p.SetPosition(50, false);
  EXPECT_TRUE(p.SetPosition(51, false));  // 26 %
  EXPECT_EQ(p.Percentage(), 26);

  TGaugePosition wide;
  wide.SetMax(1000);  // granularity 10
  wide.SetPosition(10, false);
  EXPECT_FALSE(wide.SetPosition(11, false));  // 1 % and block 1 either way
  // The text shows the raw position: it changed, so the bar repaints.
  EXPECT_TRUE(wide.SetPosition(12, true));
  EXPECT_TRUE(wide.SetPosition(20, false));  // a block boundary
}

TEST(GaugePosition, StepUpPastMaxWrapsToMin) {
  TGaugePosition p;
  p.SetMin(10);
  p.SetMax(20);
  p.SetPosition(20, false);
  EXPECT_EQ(p.NextUp(), 10);
  p.SetPosition(p.NextUp(), false);
  EXPECT_EQ(p.NextUp(), 11);
  EXPECT_EQ(p.NextDown(), 10);  // at Min: stays
}

TEST(GaugePosition, SweepBouncesBetweenTheEnds) {
  TGaugeSweep sweep;
  sweep.Step();  // the first tick stays at 0 and turns upward
  EXPECT_EQ(sweep.Pos, 0);
  EXPECT_TRUE(sweep.Increasing);
  for (int i = 0; i < 25; ++i) sweep.Step();
  EXPECT_EQ(sweep.Pos, 100);
  EXPECT_FALSE(sweep.Increasing);
  sweep.Step();
  EXPECT_EQ(sweep.Pos, 96);
}

}  // namespace
