#include "ControlsTestSupport.h"

namespace {

class SpinEditTest : public ControlsTest {
protected:
  void SetUp() override {
    ControlsTest::SetUp();
    French = TFormatSettings::French();
    Port()->SetFormatSettings(&French);
    Dispo()->SetFormatSettings(&French);
    Port()->OnChange = [this](TObject*) { Changes.push_back(Port()->Value()); };
    Port()->OnTopClick = [this](TObject*) { ++TopClicks; };
    Port()->OnBottomClick = [this](TObject*) { ++BottomClicks; };
    Port()->SetFocus();
    Pump(20);
  }
  TOxSpinEdit* Port() const { return Form->sePort; }
  TOxSpinEdit* Dispo() const { return Form->seDispo; }
  static String Grouped(const char16_t* High, const char16_t* Low) {
    return String(High) + FrenchThousandSeparator + Low;
  }
  // A press on the spin button, as its window receives it, Y pixels down.
  void PressButton(Integer Y) {
    TWinControl* window = Port()->ButtonWindow();
    const TOxSpinButton* button = Port()->Button();
    const LPARAM at = MAKELPARAM(button->Left() + 5, button->Top() + Y);
    SendMessageW(window->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  }
  void ReleaseButton(Integer Y) {
    const TOxSpinButton* button = Port()->Button();
    SendMessageW(Port()->ButtonWindow()->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(button->Left() + 5, button->Top() + Y));
  }

  TFormatSettings French;
  std::vector<double> Changes;
  int TopClicks = 0;
  int BottomClicks = 0;
};

TEST_F(SpinEditTest, FormValuesWithoutChangeEvents) {
  EXPECT_EQ(Port()->Text(), u"21");
  EXPECT_EQ(Port()->AsInteger(), 21);
  EXPECT_EQ(Dispo()->AsInteger(), 10);
  EXPECT_EQ(Form->AllowanceChanges, 0);
  EXPECT_TRUE(Port()->CheckMinValue());
  EXPECT_TRUE(Port()->CheckMaxValue());
  EXPECT_EQ(Port()->ButtonKind(), bkClassic);
  EXPECT_NE(GetWindowLongW(Port()->Handle(), GWL_STYLE) & ES_RIGHT, 0);
  EXPECT_TRUE(Changes.empty());
}

TEST_F(SpinEditTest, TypingGroupsDigitsAndCropsAtTheLimit) {
  Port()->SelectAll();
  Type(Port(), u"1234");
  EXPECT_EQ(Port()->Text(), Grouped(u"1", u"234"));
  EXPECT_EQ(Port()->SelStart(), 5);  // after the 4
  EXPECT_EQ(Changes, (std::vector<double>{1, 12, 123, 1234}));
  Port()->SelectAll();
  Type(Port(), u"70000");
  EXPECT_EQ(Port()->Text(), Grouped(u"65", u"534"));
  EXPECT_EQ(Changes.back(), 65534);
  EXPECT_EQ(Port()->AsInteger(), 65534);
  // A letter and '.' are refused; the text stays.
  Type(Port(), u"a.");
  EXPECT_EQ(Port()->Text(), Grouped(u"65", u"534"));
  // Cleared, the field shows its minimum.
  Port()->SetText(u"");
  EXPECT_EQ(Port()->Text(), u"1");
}

TEST_F(SpinEditTest, ArrowKeysAndWheelSpin) {
  Port()->SetAsInteger(65533);
  Changes.clear();
  Key(Port(), VK_UP);
  EXPECT_EQ(Port()->Text(), Grouped(u"65", u"534"));
  Key(Port(), VK_UP);  // at the maximum: no change, the click still fires
  EXPECT_EQ(Changes, std::vector<double>{65534});
  EXPECT_EQ(TopClicks, 2);
  SendMessageW(Port()->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  SendMessageW(Port()->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Port()->AsInteger(), 65532);
  SendMessageW(Port()->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(Port()->AsInteger(), 65533);
  Key(Port(), VK_DOWN);
  EXPECT_EQ(Port()->AsInteger(), 65532);
  EXPECT_EQ(BottomClicks, 3);
  EXPECT_TRUE(Port()->Modified());
}

TEST_F(SpinEditTest, HoldingAButtonHalfRepeats) {
  Port()->SetAsInteger(100);
  const Integer half = Port()->Button()->Height() / 2;
  const auto start = std::chrono::steady_clock::now();
  std::vector<long> at;
  Port()->OnTopClick = [&](TObject*) {
    at.push_back(static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()));
  };
  PressButton(2);
  EXPECT_EQ(at.size(), 1u);  // at once
  EXPECT_EQ(Port()->Button()->Down(), sbTopDown);
  ASSERT_TRUE(PumpUntil([&] { return at.size() >= 4; }));
  EXPECT_GE(at[1], 380);  // the first repeat waits InitRepeatPause
  ReleaseButton(2);
  const std::size_t clicks = at.size();
  Pump(300);
  EXPECT_EQ(at.size(), clicks);  // released: no more repeats
  EXPECT_EQ(Port()->AsInteger(), 100 + static_cast<Int64>(clicks));
  EXPECT_EQ(Port()->Button()->Down(), sbNotDown);
  // The lower half spins down.
  PressButton(half + 3);
  ReleaseButton(half + 3);
  EXPECT_EQ(Port()->AsInteger(), 99 + static_cast<Int64>(clicks));
  EXPECT_EQ(BottomClicks, 1);
}

TEST_F(SpinEditTest, MovingOutOfTheButtonStopsTheRepeats) {
  Port()->SetAsInteger(100);
  int clicks = 0;
  Port()->OnTopClick = [&](TObject*) { ++clicks; };
  PressButton(2);
  const TOxSpinButton* button = Port()->Button();
  SendMessageW(Port()->ButtonWindow()->Handle(), WM_MOUSEMOVE, MK_LBUTTON,
               MAKELPARAM(button->Left() + 5, button->Top() + button->Height() + 8));
  EXPECT_EQ(Port()->Button()->Down(), sbNotDown);
  Pump(600);
  EXPECT_EQ(clicks, 1);
  // Back over the same half, the repeats resume.
  SendMessageW(Port()->ButtonWindow()->Handle(), WM_MOUSEMOVE, MK_LBUTTON,
               MAKELPARAM(button->Left() + 5, button->Top() + 2));
  EXPECT_EQ(Port()->Button()->Down(), sbTopDown);
  EXPECT_TRUE(PumpUntil([&] { return clicks >= 2; }));
  ReleaseButton(2);
}

TEST_F(SpinEditTest, LeavingWithAValueOutOfRangeKeepsTheFocus) {
  Port()->SetCheckOptions({coCheckOnExit});
  Port()->SelectAll();
  Type(Port(), u"0");
  EXPECT_EQ(Port()->Text(), u"0");  // not checked while typing
  Dispo()->SetFocus();
  Pump(50);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], u"Value must be between 1 and 65534");
  EXPECT_TRUE(Port()->Focused());
  EXPECT_EQ(Port()->SelLength(), 1);  // the text is selected
  EXPECT_EQ(Port()->Text(), u"0");
  // Cropping allowed: leaving mends the value silently.
  Errors.clear();
  Port()->SetCheckOptions({coCheckOnExit, coCropBeyondLimit});
  Dispo()->SetFocus();
  Pump(50);
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(Port()->Text(), u"1");
  EXPECT_TRUE(Dispo()->Focused());
}

TEST_F(SpinEditTest, ButtonsSitInsideTheEditAndNarrowTheText) {
  // 64 x 21 with a 3D border, classic buttons 15 wide at 96 dpi.
  ASSERT_EQ(Port()->ScaledButtonWidth(), 15);
  EXPECT_EQ(Port()->ButtonWindow()->BoundsRect(), Bounds(64 - 15 - 4, -1, 15, 18));
  EXPECT_EQ(Port()->Button()->BoundsRect(), Bounds(1, 1, 14, 17));
  EXPECT_EQ(Port()->Button()->ButtonStyle(), sbsClassic);
  // The text stops 2 pixels before the button window (its 15 columns), so
  // no digit or caret touches or slips under the buttons.
  const LRESULT margins = SendMessageW(Port()->Handle(), EM_GETMARGINS, 0, 0);
  EXPECT_EQ(HIWORD(margins), 17);
  EXPECT_LE(Port()->ClientWidth() - HIWORD(margins), Port()->ButtonWindow()->Left() - 2);
  Port()->SetShowButton(false);
  EXPECT_EQ(Port()->Button(), nullptr);
  EXPECT_EQ(HIWORD(SendMessageW(Port()->Handle(), EM_GETMARGINS, 0, 0)), 0);
  Port()->SetShowButton(true);
  EXPECT_NE(Port()->Button(), nullptr);
  // Too low for its font: back to the minimum height.
  Port()->SetHeight(6);
  EXPECT_EQ(Port()->Height(), Port()->MinimumHeight());
  EXPECT_GT(Port()->MinimumHeight(), 6);
}

// Dark pixels in a window's picture: the arrows of a spin button.
static int DarkPixels(TBitmap& Shot) {
  int n = 0;
  for (Integer y = 0; y < Shot.Height(); ++y)
    for (Integer x = 0; x < Shot.Width(); ++x) {
      const COLORREF c = GetPixel(Shot.Canvas()->Handle(), x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 90) ++n;
    }
  return n;
}

// A click moves the focus from one spin edit to the other: both keep their
// buttons on screen (the edits repaint themselves as focus comes and goes).
TEST_F(SpinEditTest, ButtonsStayDrawnWhenAClickMovesTheFocus) {
  ASSERT_TRUE(Port()->Focused());
  const int portBefore = DarkPixels(*Shoot(Port()->ButtonWindow(), L"spin-port-before.bmp"));
  const int dispoBefore = DarkPixels(*Shoot(Dispo()->ButtonWindow(), L"spin-dispo-before.bmp"));
  ASSERT_GT(portBefore, 0);
  ASSERT_GT(dispoBefore, 0);
  SendMessageW(Dispo()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 8));
  SendMessageW(Dispo()->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 8));
  Pump(50);
  ASSERT_TRUE(Dispo()->Focused());
  EXPECT_EQ(DarkPixels(*Shoot(Port()->ButtonWindow(), L"spin-port-after.bmp")), portBefore);
  EXPECT_EQ(DarkPixels(*Shoot(Dispo()->ButtonWindow(), L"spin-dispo-after.bmp")), dispoBefore);
  Shoot(Form, L"spin-focus-moved.bmp");
}

// Ctrl+A selects the whole number, so that typing replaces it.
TEST_F(SpinEditTest, CtrlASelectsEverythingAndTypingReplacesIt) {
  Port()->SetValue(34590);
  Port()->SetSelStart(2);
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
  SetKeyboardState(state);
  SendMessageW(Port()->Handle(), WM_KEYDOWN, 'A', 1);
  SendMessageW(Port()->Handle(), WM_CHAR, 1, 1);
  SendMessageW(Port()->Handle(), WM_KEYUP, 'A', 0xC0000001);
  state[VK_CONTROL] = state[VK_LCONTROL] = 0;
  SetKeyboardState(state);
  EXPECT_EQ(Port()->SelStart(), 0);
  EXPECT_EQ(Port()->SelLength(), static_cast<Integer>(Port()->Text().size()));
  Type(Port(), u"99");
  EXPECT_EQ(Port()->Value(), 99);
}

TEST_F(SpinEditTest, StandardUpDownClicksSpinOncePerClick) {
  Port()->SetButtonKind(bkStandard);
  ASSERT_NE(Port()->UpDown(), nullptr);
  EXPECT_EQ(Port()->Button(), nullptr);
  TOxUpDown* upDown = Port()->UpDown();
  const LPARAM top = MAKELPARAM(upDown->Width() / 2, 2);
  for (int i = 0; i < 2; ++i) {
    SendMessageW(upDown->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, top);
    SendMessageW(upDown->Handle(), WM_LBUTTONUP, 0, top);
  }
  EXPECT_TRUE(PumpUntil([&] { return Port()->AsInteger() == 23; }));
  EXPECT_EQ(upDown->Position(), 0);
  EXPECT_EQ(TopClicks, 2);
}

TEST_F(SpinEditTest, EnterPressesTheDefaultButton) {
  int pressed = 0;
  Form->btnConnexion->OnClick = [&](TObject*) { ++pressed; };
  Type(Port(), u"\r");
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(Port()->Text(), u"21");
}

TEST_F(SpinEditTest, ClipboardCommandsCanBeSwitchedOff) {
  Port()->SetClipboardCommands(AllClipboardCommands - TOxClipboardCommands{caPaste});
  EXPECT_EQ(SendMessageW(Port()->Handle(), WM_PASTE, 0, 0), 1);
  EXPECT_EQ(Port()->Text(), u"21");
  Port()->SetEditorEnabled(false);
  EXPECT_EQ(SendMessageW(Port()->Handle(), WM_CUT, 0, 0), 1);  // a disabled editor keeps its text
  EXPECT_EQ(Port()->Text(), u"21");
  Type(Port(), u"5");
  EXPECT_EQ(Port()->Text(), u"21");
}

}  // namespace
