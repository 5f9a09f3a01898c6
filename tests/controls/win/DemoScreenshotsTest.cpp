// The main window's status bar as the program shows it, for people to look
// at: the usage bar at 0, 50, 85, 95 and 100 % and the busy bar running,
// and the spin edits. Saved as BMP files in the test's working folder.
#include "ControlsTestSupport.h"

namespace {

class DemoScreenshotsTest : public ControlsTest {};

TEST_F(DemoScreenshotsTest, StatusBarAtEachLevel) {
  Form->StartScan();
  Form->SBar->Panel(3)->SetText(u"/www/images");
  // Long enough for the whole band to have entered the bar.
  PumpUntil([&] { return Form->Wait->Sweep().LeftOffset() >= 10; });
  Shoot(Form, L"controls_demo_busy.bmp");
  Shoot(Form->SBar, L"controls_status_busy.bmp");
  EXPECT_GT(Form->Wait->StepCount(), 3);

  struct {
    Integer Percent;
    const wchar_t* File;
    const wchar_t* BarFile;
  } const shots[] = {
      {0, L"controls_demo_0.bmp", L"controls_status_0.bmp"},
      {50, L"controls_demo_50.bmp", L"controls_status_50.bmp"},
      {85, L"controls_demo_85.bmp", L"controls_status_85.bmp"},
      {95, L"controls_demo_95.bmp", L"controls_status_95.bmp"},
      {100, L"controls_demo_100.bmp", L"controls_status_100.bmp"},
  };
  for (const auto& shot : shots) {
    Form->EndScan(shot.Percent);
    Pump(100);
    Shoot(Form, shot.File);
    std::unique_ptr<TBitmap> bar = Shoot(Form->SBar, shot.BarFile);
    // Left of the text the bar is in the level reached (or empty at 0).
    const TColor pixel = bar->Canvas()->Pixel(Form->pbOccupe->Left() + 8, Form->pbOccupe->Top() + 7);
    const TColor expected = shot.Percent == 0 ? Form->pbOccupe->BackgroundColor() : Form->pbOccupe->Level0Color();
    for (int s = 0; s < 24; s += 8) EXPECT_NEAR((pixel >> s) & 0xFF, (expected >> s) & 0xFF, 24) << shot.Percent;
    if (shot.Percent >= 95) {
      // The last zone: 98..103 at 95 %, to the end at 100 %.
      const Integer x = shot.Percent == 100 ? 106 : 100;
      const TColor last = bar->Canvas()->Pixel(Form->pbOccupe->Left() + x, Form->pbOccupe->Top() + 7);
      for (int s = 0; s < 24; s += 8)
        EXPECT_NEAR((last >> s) & 0xFF, (Form->pbOccupe->Level2Color() >> s) & 0xFF, 24) << shot.Percent << " at " << x;
    }
    Form->StartScan();
  }
  EXPECT_TRUE(Errors.empty());
}

}  // namespace
