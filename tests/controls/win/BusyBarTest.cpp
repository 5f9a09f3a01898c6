#include <thread>

#include "ControlsTestSupport.h"

namespace {

class BusyBarTest : public ControlsTest {
protected:
  TOxWaitingGradient* Bar() const { return Form->Wait; }
  // A click as the status bar receives it over the busy bar.
  void ClickOnBar() {
    const LPARAM at = MAKELPARAM(Bar()->Left() + 20, Bar()->Top() + 5);
    SendMessageW(Form->SBar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Form->SBar->Handle(), WM_LBUTTONUP, 0, at);
  }
};

TEST_F(BusyBarTest, FormValuesAndTheThreadStartedByLoading) {
  EXPECT_EQ(Bar()->BoundsRect(), Bounds(82, 3, 110, 11));
  EXPECT_EQ(Bar()->GradientWidth(), 50);
  EXPECT_EQ(Bar()->StartColor(), clBtnFace);
  EXPECT_EQ(Bar()->EndColor(), clActiveCaption);
  EXPECT_EQ(Bar()->Interval(), 50u);
  EXPECT_TRUE(Bar()->Active());
  ASSERT_NE(Bar()->DrawThread(), nullptr);
  EXPECT_TRUE(Bar()->DrawThread()->Started());
  // Hidden, it still sweeps: only the offset moves.
  const Integer steps = Bar()->StepCount();
  EXPECT_TRUE(PumpUntil([&] { return Bar()->StepCount() >= steps + 3; }));
}

TEST_F(BusyBarTest, SweepsWhileActiveAndStopsWhenNot) {
  Form->StartScan();
  ASSERT_TRUE(PumpUntil([&] { return Bar()->StepCount() >= 5; }));
  EXPECT_GT(Bar()->Sweep().LeftOffset(), -50);
  Bar()->SetActive(false);
  Bar()->SetActive(false);  // twice: the gate is entered once
  EXPECT_FALSE(Bar()->Active());
  Pump(120);  // a step already past the gate may still come
  const Integer paused = Bar()->StepCount();
  Pump(300);
  EXPECT_EQ(Bar()->StepCount(), paused);
  Bar()->SetActive(true);
  EXPECT_TRUE(PumpUntil([&] { return Bar()->StepCount() >= paused + 3; }));
  EXPECT_TRUE(Errors.empty());
}

TEST_F(BusyBarTest, AlwaysRestartStartsFromTheLeft) {
  Form->StartScan();
  ASSERT_TRUE(PumpUntil([&] { return Bar()->Sweep().LeftOffset() > -30; }));
  Bar()->SetActive(false);
  Bar()->SetAlwaysRestart(true);
  Bar()->SetActive(true);
  EXPECT_LE(Bar()->Sweep().LeftOffset(), -48);
}

TEST_F(BusyBarTest, AClickCancelsWhetherAnimatingOrNot) {
  Form->StartScan();
  Pump(100);
  ClickOnBar();
  EXPECT_EQ(Form->Cancelled, 1);
  EXPECT_FALSE(Bar()->Visible());
  EXPECT_FALSE(Bar()->Active());
  EXPECT_TRUE(Form->pbOccupe->Visible());
  // Shown but not animating: a click still fires.
  Bar()->Show();
  Pump(20);
  ClickOnBar();
  EXPECT_EQ(Form->Cancelled, 2);
}

TEST_F(BusyBarTest, BandRunsFromStartToEndColour) {
  Form->StartScan();
  Pump(100);
  std::unique_ptr<TBitmap> shot = Shoot(Form->SBar, L"busy_bar_running.bmp");
  // Somewhere on the bar the band's leading edge shows (near) the end
  // colour, and beside the band the bar's own colour.
  const TColor end = ColorToRGB(clActiveCaption);
  bool sawEnd = false;
  for (Integer x = Bar()->Left(); x < Bar()->Left() + Bar()->Width(); ++x) {
    const TColor c = shot->Canvas()->Pixel(x, Bar()->Top() + 5);
    int diff = 0;
    for (int s = 0; s < 24; s += 8) diff = std::max(diff, std::abs(((c >> s) & 0xFF) - ((end >> s) & 0xFF)));
    if (diff < 12) sawEnd = true;
  }
  EXPECT_TRUE(sawEnd);
}

TEST_F(BusyBarTest, FreeingAPausedBarReturns) {
  auto* bar = new TOxWaitingGradient(Form);
  bar->SetParent(Form->SBar);
  bar->SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return bar->StepCount() >= 2; }));
  bar->SetActive(false);
  delete bar;
  SUCCEED();
}

TEST_F(BusyBarTest, FreeingWhileAStepWaitsReturnsAndDrawsNothing) {
  auto* bar = new TOxWaitingGradient(Form);
  bar->SetBounds(82, 3, 110, 11);
  bar->SetInterval(1);
  bar->SetParent(Form->SBar);
  bar->SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return bar->StepCount() >= 2; }));
  // Nobody serves the worker: it waits in its synchronous step.
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  delete bar;  // serves the waiting step while it waits for the worker
  Pump(20);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(BusyBarTest, FreeingABarNeverStartedReturns) {
  auto* bar = new TOxWaitingGradient(nullptr);
  EXPECT_TRUE(bar->Active());
  EXPECT_FALSE(bar->DrawThread()->Started());
  delete bar;
  SUCCEED();
}

TEST_F(BusyBarTest, GradientWidthMustBePositive) {
  Bar()->SetGradientWidth(0);
  Bar()->SetGradientWidth(-4);
  EXPECT_EQ(Bar()->GradientWidth(), 50);
  Bar()->SetGradientWidth(30);
  EXPECT_EQ(Bar()->GradientWidth(), 30);
  EXPECT_EQ(Bar()->Sweep().LeftOffset(), -30);
}

}  // namespace
