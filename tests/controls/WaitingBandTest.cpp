#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "controls/OxWaitingBand.h"

namespace {

TEST(WaitingBand, SweepsRightThenLeftAndReverses) {
  TWaitingBandSweep sweep;
  sweep.Resize(11);
  EXPECT_EQ(sweep.LeftOffset(), -50);
  std::vector<Integer> offsets;
  // Moving right: -48, -46, ... 60, then the step after 60 reverses.
  for (int i = 0; i < 55; ++i) {
    EXPECT_FALSE(sweep.Step(110)) << "step " << i;
    offsets.push_back(sweep.LeftOffset());
  }
  EXPECT_EQ(offsets.front(), -48);
  EXPECT_EQ(offsets.back(), 60);
  EXPECT_TRUE(sweep.Step(110));
  EXPECT_FALSE(sweep.FromLeftToRight());
  EXPECT_EQ(sweep.LeftOffset(), 110);
  EXPECT_EQ(sweep.DestRect(), Rect(110, 0, 160, 11));
  // Moving left down to 0, then the step after 0 reverses to -50.
  for (int i = 0; i < 55; ++i) EXPECT_FALSE(sweep.Step(110));
  EXPECT_EQ(sweep.LeftOffset(), 0);
  EXPECT_TRUE(sweep.Step(110));
  EXPECT_TRUE(sweep.FromLeftToRight());
  EXPECT_EQ(sweep.LeftOffset(), -50);
  EXPECT_EQ(sweep.SourceRect(), Rect(0, 0, 50, 11));
}

TEST(WaitingBand, GradientWidthMustBePositive) {
  TWaitingBandSweep sweep;
  sweep.Step(110);
  EXPECT_FALSE(sweep.SetGradientWidth(0, 11));
  EXPECT_FALSE(sweep.SetGradientWidth(-3, 11));
  EXPECT_EQ(sweep.GradientWidth(), 50);
  EXPECT_TRUE(sweep.SetGradientWidth(30, 11));
  EXPECT_EQ(sweep.LeftOffset(), -30);
  EXPECT_EQ(sweep.DestRect(), Rect(0, 0, 30, 11));
  sweep.Step(110);
  sweep.Restart();
  EXPECT_EQ(sweep.LeftOffset(), -30);
}

TEST(WaitingBand, BandRunsFromStartToJustShortOfEnd) {
  TRecordingCanvas canvas;
  RenderWaitingBand(canvas, 0x000000, 0x0000FF, true, 4, 11, 110);
  ASSERT_EQ(canvas.Ops.size(), 4u);
  const TColor reds[] = {0, 64, 128, 191};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(canvas.Ops[i].Kind, TCanvasOp::opFillRect);
    EXPECT_EQ(canvas.Ops[i].R, Rect(i, 0, i + 1, 11));
    EXPECT_EQ(canvas.Ops[i].Brush, reds[i]);
  }
  // Moving left the colours swap: the end colour is at the left edge.
  TRecordingCanvas left;
  RenderWaitingBand(left, 0x000000, 0x0000FF, false, 4, 11, 110);
  EXPECT_EQ(left.Ops.front().Brush, 0x0000FF);
  EXPECT_EQ(left.Ops.back().Brush, 0x000040);
}

TEST(WaitingBand, NarrowControlSpreadsFewerBandsOverTheWidth) {
  TRecordingCanvas canvas;
  RenderWaitingBand(canvas, clBtnFace, clActiveCaption, true, 50, 11, 20);
  ASSERT_EQ(canvas.Ops.size(), 20u);
  // 2.5 pixels a band, rounded half to even.
  EXPECT_EQ(canvas.Ops[0].R, Rect(0, 0, 2, 11));
  EXPECT_EQ(canvas.Ops[1].R, Rect(2, 0, 5, 11));
  EXPECT_EQ(canvas.Ops[2].R, Rect(5, 0, 8, 11));
  EXPECT_EQ(canvas.Ops[19].R, Rect(48, 0, 50, 11));
  EXPECT_EQ(canvas.Ops[0].Brush, canvas.ColorToRGB(clBtnFace));
  TRecordingCanvas none;
  RenderWaitingBand(none, clBtnFace, clBlack, true, 50, 11, 0);
  EXPECT_TRUE(none.Ops.empty());
}

}  // namespace
