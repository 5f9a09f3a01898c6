#include "ControlsTestSupport.h"

namespace {

// Within Tolerance on every channel: the middle rows of a gradient piece
// are one band away from the level's full colour.
::testing::AssertionResult Near(TColor Actual, TColor Expected, int Tolerance = 24) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = (Actual >> shift) & 0xFF, e = (Expected >> shift) & 0xFF;
    if (a - e > Tolerance || e - a > Tolerance)
      return ::testing::AssertionFailure() << std::hex << Actual << " is not near " << Expected;
  }
  return ::testing::AssertionSuccess();
}

class ProgressBarTest : public ControlsTest {
protected:
  void SetUp() override {
    ControlsTest::SetUp();
    Bar = Form->pbOccupe;
    Bar->Show();
    Pump(30);
  }
  TVivProgressBar* Bar = nullptr;
};

TEST_F(ProgressBarTest, FormValuesAndDefaults) {
  EXPECT_EQ(Bar->BoundsRect(), Bounds(82, 2, 110, 14));
  EXPECT_EQ(Bar->Parent(), Form->SBar);
  EXPECT_EQ(Bar->Level1Perc(), 80);
  EXPECT_EQ(Bar->Level2Perc(), 90);
  EXPECT_TRUE(Bar->Stacked());
  EXPECT_EQ(Bar->Steps(), 20);
  EXPECT_EQ(Bar->Font()->Name(), u"Verdana");
  EXPECT_EQ(Bar->Font()->Height(), -13);
  EXPECT_EQ(Bar->Min(), 0);
  EXPECT_EQ(Bar->Max(), 100);
  EXPECT_EQ(Bar->Version(), u"1.3.1.0");
  TVivProgressBar fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 128);
  EXPECT_EQ(fresh.Height(), 18);
  EXPECT_EQ(fresh.Position(), 50);
  EXPECT_EQ(fresh.Level0Color(), 0x00FF00);
  EXPECT_EQ(fresh.Level2Color(), 0x53A9FF);
  EXPECT_TRUE(fresh.Rounded());
  EXPECT_FALSE(fresh.Infinite());
  EXPECT_EQ(fresh.InfiniteInterval(), 50);
}

TEST_F(ProgressBarTest, PositionsAreClampedAndPaintAtOnce) {
  const Integer before = Bar->PaintCount();
  Bar->SetPosition(85);  // no message handled in between
  EXPECT_EQ(Bar->PaintCount(), before + 1);
  Bar->SetPosition(150);
  EXPECT_EQ(Bar->Position(), 100);
  EXPECT_EQ(Bar->PaintCount(), before + 2);
  Bar->SetPosition(-5);
  EXPECT_EQ(Bar->Position(), 0);
  // The allowance exceeded (a total of 300 %): the bar shows its maximum.
  Bar->SetPosition(300);
  EXPECT_EQ(Bar->Percentage(), 100);
  // A hidden bar ignores repaints; showing it paints the current position.
  Bar->Hide();
  const Integer hidden = Bar->PaintCount();
  Bar->SetPosition(40);
  EXPECT_EQ(Bar->PaintCount(), hidden);
  Bar->Show();
  EXPECT_TRUE(PumpUntil([&] { return Bar->PaintCount() > hidden; }));
}

TEST_F(ProgressBarTest, PercentageCountsFromMinAndStepUpWraps) {
  Bar->SetMin(50);
  Bar->SetMax(150);
  Bar->SetPosition(100);
  EXPECT_EQ(Bar->Percentage(), 50);
  Bar->SetPosition(150);
  Bar->StepUp();
  EXPECT_EQ(Bar->Position(), 50);
  Bar->StepDown();
  EXPECT_EQ(Bar->Position(), 50);
  Bar->StepUp();
  EXPECT_EQ(Bar->Position(), 51);
}

TEST_F(ProgressBarTest, PictureShowsTheLevelsReached) {
  Bar->SetPosition(85);
  std::unique_ptr<TBitmap> picture = Bar->RenderGauge();
  ASSERT_EQ(picture->Width(), 110);
  TCanvas* c = picture->Canvas();
  // The middle row of each zone is the level's full colour.
  EXPECT_TRUE(Near(c->Pixel(20, 7), Bar->Level0Color()));
  EXPECT_TRUE(Near(c->Pixel(90, 7), Bar->Level1Color()));
  EXPECT_TRUE(Near(c->Pixel(20, 1), Bar->Level0ColorTo()));  // the edge shows the tint
  EXPECT_EQ(c->Pixel(100, 7), Bar->BackgroundColor());
  EXPECT_EQ(c->Pixel(0, 0), GaugeCornerColor);  // left for transparency
  EXPECT_TRUE(picture->Transparent());
  Bar->SetPosition(95);
  picture = Bar->RenderGauge();
  EXPECT_TRUE(Near(picture->Canvas()->Pixel(100, 7), Bar->Level2Color()));
  // On screen the corners show the status bar through.
  Pump(20);
  const TPoint origin = Form->SBar->ClientToScreen({Bar->Left(), Bar->Top()});
  HDC screen = GetDC(nullptr);
  const COLORREF corner = GetPixel(screen, origin.X, origin.Y);
  const COLORREF inside = GetPixel(screen, origin.X + 100, origin.Y + 7);
  ReleaseDC(nullptr, screen);
  EXPECT_NE(static_cast<TColor>(corner), GaugeCornerColor);
  EXPECT_TRUE(Near(static_cast<TColor>(inside), Bar->Level2Color()));
}

TEST_F(ProgressBarTest, InfiniteModeSweepsOnlyWhileAnimated) {
  Bar->SetInfinite(true);
  Pump(200);
  EXPECT_EQ(Bar->InfinitePos(), 0);  // not animated: the block stays left
  Bar->SetAnimated(true);
  EXPECT_TRUE(PumpUntil([&] { return Bar->InfinitePos() >= 12; }));
  Bar->SetAnimated(false);
  const Integer stopped = Bar->InfinitePos();
  Pump(200);
  EXPECT_EQ(Bar->InfinitePos(), stopped);
  Bar->SetInfinite(false);
  Bar->SetInfinite(true);
  EXPECT_EQ(Bar->InfinitePos(), 0);
}

}  // namespace
