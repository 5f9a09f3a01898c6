// The colour wheel, driven by real mouse and keyboard input: picks on the
// disc, drags past its rim, typed values, track bars, and every view kept in
// step with the selected colour.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "WidgetsTestSupport.h"
#include "chart/widgets/win/VivIzudeColorWheel.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;
using testsupport::PumpMessagesFor;
using testsupport::PumpMessagesUntil;

namespace {

struct ColorWheelTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(380, 200);
    // Away from the screen's edges, so that drags past the picture stay on it.
    Form->SetLeft(200);
    Form->SetTop(200);
    W = new TVivIzudeColorWheel(Form.get());
    W->SetParent(Form.get());
    W->SetLeft(10);
    W->SetTop(10);
    W->OnSelectedColorChanged = [this](TObject*, TColor C) { Events.push_back("colour " + Hex(C)); };
    W->OnRValueChanged = [this](TObject*, Integer V, TColor C) { Events.push_back(Component("R", V, C)); };
    W->OnGValueChanged = [this](TObject*, Integer V, TColor C) { Events.push_back(Component("G", V, C)); };
    W->OnBValueChanged = [this](TObject*, Integer V, TColor C) { Events.push_back(Component("B", V, C)); };
  }
  void TearDown() override {
    ReleaseButton();
    Form.reset();
    Application->ProcessMessages();
  }
  static std::string Hex(TColor C) {
    const String H = IntToHex(C, 6);
    return std::string(H.begin(), H.end());
  }
  static std::string Component(const char* Name, Integer V, TColor C) {
    return std::string(Name) + " " + std::to_string(V) + " " + Hex(C);
  }
  // Shown, in front and painted, so that the picture has been captured.
  void Show() {
    Form->Show();
    ::SetForegroundWindow(Form->Handle());
    Form->Repaint();
    PumpMessagesFor(100);
  }
  // Real input: the pointer moves to a point of the picture control.
  void MoveTo(float X, float Y, DWORD Flags = 0) {
    const TPoint S = W->Image()->ClientToScreen({static_cast<Integer>(X), static_cast<Integer>(Y)});
    const int ScreenW = ::GetSystemMetrics(SM_CXSCREEN), ScreenH = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT In{};
    In.type = INPUT_MOUSE;
    In.mi.dx = static_cast<LONG>((S.X * 65536 + ScreenW / 2) / ScreenW);
    In.mi.dy = static_cast<LONG>((S.Y * 65536 + ScreenH / 2) / ScreenH);
    In.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | Flags;
    ::SendInput(1, &In, sizeof(In));
    PumpMessagesFor(30);
  }
  void Press(float X, float Y) {
    MoveTo(X, Y);
    MoveTo(X, Y, MOUSEEVENTF_LEFTDOWN);
    ButtonDown = true;
  }
  void Release(float X, float Y) {
    MoveTo(X, Y, MOUSEEVENTF_LEFTUP);
    ButtonDown = false;
  }
  void Click(float X, float Y) {
    Press(X, Y);
    Release(X, Y);
  }
  void ReleaseButton() {
    if (!ButtonDown) return;
    INPUT In{};
    In.type = INPUT_MOUSE;
    In.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &In, sizeof(In));
    ButtonDown = false;
  }
  static void Key(WORD VirtualKey) {
    INPUT In[2]{};
    In[0].type = In[1].type = INPUT_KEYBOARD;
    In[0].ki.wVk = In[1].ki.wVk = VirtualKey;
    In[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, In, sizeof(INPUT));
    PumpMessagesFor(30);
  }
  static void Type(const std::u16string& Text) {
    for (char16_t C : Text) {
      INPUT In[2]{};
      In[0].type = In[1].type = INPUT_KEYBOARD;
      In[0].ki.wScan = In[1].ki.wScan = C;
      In[0].ki.dwFlags = KEYEVENTF_UNICODE;
      In[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
      ::SendInput(2, In, sizeof(INPUT));
    }
    PumpMessagesFor(50);
  }
  // Focus in the edit, its text selected, then typed over and Enter pressed.
  void TypeInto(TWinControl* Edit, const std::u16string& Text) {
    Edit->SetFocus();
    PumpMessagesUntil([&] { return ::GetFocus() == Edit->Handle(); }, 1000);
    ::SendMessageW(Edit->Handle(), EM_SETSEL, 0, -1);
    Type(Text);
    Key(VK_RETURN);
  }
  // The views that must agree with SelectedColor.
  void ExpectInStep() {
    const TColor C = W->SelectedColor();
    const Integer R = C & 0xFF, G = (C >> 8) & 0xFF, B = (C >> 16) & 0xFF;
    EXPECT_EQ(W->RValue(), R);
    EXPECT_EQ(W->GValue(), G);
    EXPECT_EQ(W->BValue(), B);
    EXPECT_EQ(W->REdit()->Text(), IntToStr(R));
    EXPECT_EQ(W->GEdit()->Text(), IntToStr(G));
    EXPECT_EQ(W->BEdit()->Text(), IntToStr(B));
    EXPECT_EQ(W->RTrackBar()->Position(), R);
    EXPECT_EQ(W->GTrackBar()->Position(), G);
    EXPECT_EQ(W->BTrackBar()->Position(), B);
    EXPECT_EQ(W->HEXValue(), IntToHex(R, 2) + IntToHex(G, 2) + IntToHex(B, 2));
    const TPointF M = W->Image()->MarkerPoint();
    const TPointF Expected =
        ColorWheelMarkerPoint(RGBToHueSaturation(R, G, B), W->Image()->GetCenterPoint(), W->Image()->GetRadius());
    EXPECT_FLOAT_EQ(M.X, Expected.X);
    EXPECT_FLOAT_EQ(M.Y, Expected.Y);
  }
  void SaveShot(const String& File) {
    W->Repaint();
    PumpMessagesFor(50);
    auto Shot = testsupport::ScreenImageOfWindow(W->Handle());
    testsupport::SavePng(Shot.get(), File);
  }

  TFormPtr Form;
  TVivIzudeColorWheel* W = nullptr;
  std::vector<std::string> Events;
  bool ButtonDown = false;
};

TEST_F(ColorWheelTest, StartsWhiteWithTheMarkerAtTheCentreAndItsPartsInPlace) {
  EXPECT_EQ(W->SelectedColor(), 0xFFFFFF);
  ExpectInStep();
  EXPECT_EQ(W->Image()->MarkerPoint(), (TPointF{75, 75}));
  EXPECT_EQ(W->Version(), u"1.0.0.0");
  EXPECT_EQ(W->Width(), 350);
  EXPECT_EQ(W->Height(), 175);
  EXPECT_EQ(W->Image()->BoundsRect(), (TRect{10, 12, 160, 162}));  // Round(12.5) is 12
  EXPECT_EQ(W->Image()->Bitmaps()->Count(), 5);
  EXPECT_FALSE(IsPictureEmpty(W->Image()->Bitmaps()->GetBitmapByScale(1)));
  EXPECT_EQ(W->REdit()->Left(), 300);
  EXPECT_EQ(W->BEdit()->Top(), 75);
  EXPECT_EQ(W->HEXEdit()->BoundsRect().Left, 210);
  EXPECT_EQ(W->GTrackBar()->Top(), 44);
  EXPECT_EQ(W->RTrackBar()->Max(), 255);
  const TRectF Panel = W->SelectedColorPanelRect();
  EXPECT_EQ(Panel.Left, 180);
  EXPECT_EQ(Panel.Right, 335);
  EXPECT_EQ(Panel.Top, 4 * W->REdit()->Height() + 60);
  EXPECT_EQ(Panel.Bottom, Panel.Top + 25);
  W->SetHeight(201);
  EXPECT_EQ(W->Image()->Top(), 26);  // centred again: Round(25.5)
  // The picture's ground follows the wheel's fill.
  W->Fill()->SetColor(0xE0E0E0);
  EXPECT_EQ(W->Color(), 0xE0E0E0);
  EXPECT_EQ(W->Image()->Fill()->Color(), 0xE0E0E0);
  W->ResetToDefaultStyle();
  EXPECT_EQ(W->Image()->Fill()->Color(), 0xFFFFFF);
  EXPECT_TRUE(Events.empty());
}

TEST_F(ColorWheelTest, SelectedColorSetsEveryViewAndReportsTheComponentsThatChanged) {
  struct Case {
    TColor Color;
    std::vector<std::string> Events;
    float X, Y;  // where the marker goes
  };
  const Case Cases[] = {
      {0x0000FF, {"G 0 0000FF", "B 0 0000FF", "colour 0000FF"}, 149.5f, 75},                  // red: rim, right
      {0x0000FF, {}, 149.5f, 75},                                                             // the same again: nothing
      {0xFF0000, {"R 0 FF0000", "B 255 FF0000", "colour FF0000"}, 37.75f, 10.48f},            // blue: above left
      {0x00FF00, {"G 255 00FF00", "B 0 00FF00", "colour 00FF00"}, 37.75f, 139.52f},           // green: below left
      {0x808080, {"R 128 808080", "G 128 808080", "B 128 808080", "colour 808080"}, 75, 75},  // grey: centre
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(Hex(C.Color));
    Events.clear();
    W->SetSelectedColor(C.Color);
    EXPECT_EQ(Events, C.Events);
    ExpectInStep();
    EXPECT_NEAR(W->Image()->MarkerPoint().X, C.X, 0.01);
    EXPECT_NEAR(W->Image()->MarkerPoint().Y, C.Y, 0.01);
  }
  W->SetSelectedColor(0x0000FF);
  EXPECT_EQ(W->HEXValue(), u"FF0000");
  EXPECT_DOUBLE_EQ(W->HSColor().Hue, 0);
  EXPECT_DOUBLE_EQ(W->HSColor().Saturation, 1);
}

TEST_F(ColorWheelTest, ComponentsAndHexTextEachChangeTheColour) {
  W->SetRValue(0);
  EXPECT_EQ(W->SelectedColor(), 0xFFFF00);
  EXPECT_EQ(Events, (std::vector<std::string>{"R 0 FFFF00", "colour FFFF00"}));
  ExpectInStep();
  W->SetRValue(0);  // unchanged: nothing
  W->SetBValue(128);
  EXPECT_EQ(W->SelectedColor(), 0x80FF00);
  ExpectInStep();
  Events.clear();
  W->SetHEXValue(u"12345");  // not six characters: ignored
  W->SetHEXValue(u"1234567");
  EXPECT_EQ(W->SelectedColor(), 0x80FF00);
  EXPECT_THROW(W->SetHEXValue(u"GG0000"), EConvertError);
  EXPECT_EQ(W->SelectedColor(), 0x80FF00);
  EXPECT_TRUE(Events.empty());
  W->SetHEXValue(u"4080c0");
  EXPECT_EQ(W->SelectedColor(), 0xC08040);
  ExpectInStep();
  EXPECT_EQ(W->HEXValue(), u"4080C0");
}

TEST_F(ColorWheelTest, TypedValuesAreClampedAndEnterAppliesThem) {
  Show();
  TypeInto(W->REdit(), u"300");  // clamped to 255, the current red: text rewritten
  EXPECT_EQ(W->RValue(), 255);
  EXPECT_EQ(W->REdit()->Text(), u"255");
  EXPECT_TRUE(Events.empty());
  TypeInto(W->GEdit(), u"128");
  EXPECT_EQ(W->GValue(), 128);
  EXPECT_EQ(W->SelectedColor(), 0xFF80FF);
  EXPECT_EQ(Events, (std::vector<std::string>{"G 128 FF80FF", "colour FF80FF"}));
  ExpectInStep();
  TypeInto(W->BEdit(), u"x7");  // only the digit goes in
  EXPECT_EQ(W->BValue(), 7);
  ExpectInStep();
  Events.clear();
  TypeInto(W->HEXEdit(), u"00zz4");  // five hexadecimal digits: Enter does nothing
  EXPECT_EQ(W->HEXEdit()->Text(), u"004");
  TypeInto(W->HEXEdit(), u"00ff80");
  EXPECT_EQ(W->SelectedColor(), 0x80FF00);
  ExpectInStep();
  EXPECT_EQ(Events, (std::vector<std::string>{"R 0 80FF00", "G 255 80FF00", "B 128 80FF00", "colour 80FF00"}));
}

TEST_F(ColorWheelTest, ATrackBarMovedFromTheKeyboardChangesItsComponent) {
  Show();
  W->GTrackBar()->SetFocus();
  PumpMessagesUntil([&] { return ::GetFocus() == W->GTrackBar()->Handle(); }, 1000);
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(W->GValue(), 253);
  EXPECT_EQ(W->SelectedColor(), 0xFFFDFF);
  EXPECT_EQ(Events, (std::vector<std::string>{"G 254 FFFEFF", "colour FFFEFF", "G 253 FFFDFF", "colour FFFDFF"}));
  ExpectInStep();
}

// Clicks around the disc: each picks the colour under the pointer, whose hue
// is the click's direction and whose saturation its distance, and the marker
// lands where the user clicked.
TEST_F(ColorWheelTest, AClickOnTheDiscPicksTheColourUnderThePointer) {
  Show();
  const TPointF C = W->Image()->GetCenterPoint();
  for (const double Angle : {0.0, 45.0, 120.0, 200.0, 240.0, 300.0}) {
    for (const double Distance : {30.0, 70.0}) {
      SCOPED_TRACE(std::to_string(Angle) + " deg, " + std::to_string(Distance) + " px");
      const float X = static_cast<float>(std::nearbyint(C.X + Distance * std::cos(Angle * std::numbers::pi / 180)));
      const float Y = static_cast<float>(std::nearbyint(C.Y + Distance * std::sin(Angle * std::numbers::pi / 180)));
      Events.clear();
      Click(X, Y);
      ASSERT_FALSE(Events.empty());
      EXPECT_EQ(Events.back(), "colour " + Hex(W->SelectedColor()));
      ExpectInStep();
      const double ClickAngle = std::atan2(Y - C.Y, X - C.X) * 180 / std::numbers::pi;
      double Hue = W->HSColor().Hue - ClickAngle;
      Hue = std::fmod(Hue + 540, 360) - 180;
      EXPECT_NEAR(Hue, 0, 2.5);
      EXPECT_NEAR(W->HSColor().Saturation, std::hypot(X - C.X, Y - C.Y) / 74.5, 0.03);
      const TPointF M = W->Image()->MarkerPoint();
      EXPECT_LT(std::hypot(M.X - X, M.Y - Y), 2.0);
    }
  }
  Click(C.X, C.Y);  // the centre is white
  EXPECT_EQ(W->SelectedColor(), 0xFFFFFF);
  EXPECT_EQ(W->Image()->MarkerPoint(), C);
  W->SetSelectedColor(0x0000FF);
  Events.clear();
  Click(3, 3);  // a corner, outside the disc: nothing
  Click(149, 149);
  EXPECT_TRUE(Events.empty());
  EXPECT_EQ(W->SelectedColor(), 0x0000FF);
}

TEST_F(ColorWheelTest, DraggingPastTheRimKeepsTheMarkerOnItInThePointersDirection) {
  Show();
  const TPointF C = W->Image()->GetCenterPoint();
  Press(100, 75);
  const TColor Inside = W->SelectedColor();
  EXPECT_NE(Inside, 0xFFFFFF);
  struct Case {
    float X, Y;  // in the picture control, past its rim (and its window)
  };
  const Case Cases[] = {{260, 75}, {-60, -60}, {75, 240}, {200, -30}, {-40, 120}};
  for (const Case& P : Cases) {
    SCOPED_TRACE(std::to_string(P.X) + "," + std::to_string(P.Y));
    MoveTo(P.X, P.Y);
    const TPointF M = W->Image()->MarkerPoint();
    EXPECT_NEAR(std::hypot(M.X - C.X, M.Y - C.Y), 74.5, 1.5);
    const double PointerAngle = std::atan2(P.Y - C.Y, P.X - C.X) * 180 / std::numbers::pi;
    const double MarkerAngle = std::atan2(M.Y - C.Y, M.X - C.X) * 180 / std::numbers::pi;
    EXPECT_NEAR(std::fmod(MarkerAngle - PointerAngle + 540, 360) - 180, 0, 2.5);
    EXPECT_GT(W->HSColor().Saturation, 0.97);
    ExpectInStep();
  }
  MoveTo(100, 100);  // back inside while held: picks again
  const TColor Back = W->SelectedColor();
  EXPECT_NEAR(W->HSColor().Saturation, std::hypot(25.0, 25.0) / 74.5, 0.03);
  Release(100, 100);
  MoveTo(30, 75);  // released: moves pick nothing
  EXPECT_EQ(W->SelectedColor(), Back);
  // The display's scale changes which picture is shown, not the geometry.
  SaveShot(u"color-wheel-" + IntToStr(Screen->PixelsPerInch()) + u"dpi.png");
}

TEST_F(ColorWheelTest, APickBeforeThePictureWasShownChangesNothing) {
  W->HandleNeeded();
  EXPECT_EQ(W->Image()->XYToColor(75, 75), -1);
  const LPARAM At = MAKELPARAM(75, 75);
  ::SendMessageW(W->Image()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
  ::SendMessageW(W->Image()->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 75));
  ::SendMessageW(W->Image()->Handle(), WM_LBUTTONUP, 0, At);
  EXPECT_EQ(W->SelectedColor(), 0xFFFFFF);
  EXPECT_TRUE(Events.empty());
  Show();
  EXPECT_EQ(W->Image()->XYToColor(75, 75), 0xFFFFFF);
  EXPECT_EQ(W->Image()->XYToColor(149, 75) & 0xFF, 0xFF);  // red at the right-hand rim
  EXPECT_EQ(W->Image()->XYToColor(150, 75), -1);           // outside the copy
  EXPECT_EQ(W->Image()->XYToColor(-1, 75), -1);
}

TEST_F(ColorWheelTest, ThePanelEventsCanReplaceOrSkipItsDrawing) {
  std::vector<std::string> Seen;
  bool Allow = true, DefaultDraw = true;
  W->OnBeforeDrawSelectedColorPanel = [&](TObject*, TVivIzudeGraphics*, const TRectF& R, TColor C, bool& AAllow,
                                          bool& ADefaultDraw) {
    Seen.push_back("before " + Hex(C) + " " + std::to_string(static_cast<int>(R.Left)));
    AAllow = Allow;
    ADefaultDraw = DefaultDraw;
  };
  W->OnAfterDrawSelectedColorPanel = [&](TObject*, TVivIzudeGraphics*, const TRectF&, TColor C) {
    Seen.push_back("after " + Hex(C));
  };
  W->SetSelectedColor(0x00FF00);
  Show();
  const TRectF Panel = W->SelectedColorPanelRect();
  const Integer PX = static_cast<Integer>(Panel.Left + 10), PY = static_cast<Integer>(Panel.Top + 10);
  auto PanelPixel = [&] {
    Seen.clear();
    W->Repaint();
    PumpMessagesFor(50);
    return testsupport::ClientSurfaceImage(W)->Canvas()->Pixel(PX, PY);
  };
  EXPECT_EQ(PanelPixel(), 0x00FF00);
  EXPECT_EQ(Seen, (std::vector<std::string>{"before 00FF00 180", "after 00FF00"}));
  DefaultDraw = false;  // the handler draws: the panel is left to it
  EXPECT_EQ(PanelPixel(), W->Color());
  EXPECT_EQ(Seen, (std::vector<std::string>{"before 00FF00 180", "after 00FF00"}));
  Allow = false;
  PanelPixel();
  EXPECT_EQ(Seen, (std::vector<std::string>{"before 00FF00 180"}));
}

TEST_F(ColorWheelTest, SettingsKeepTheColour) {
  W->SetSelectedColor(0x2080C0);
  TMemoryStream S;
  W->SaveSettingsToStream(&S);
  auto* Other = new TVivIzudeColorWheel(Form.get());
  S.SetPosition(0);
  Other->LoadSettingsFromStream(&S);
  EXPECT_EQ(Other->SelectedColor(), 0x2080C0);
  EXPECT_EQ(Other->HEXValue(), u"C08020");
  EXPECT_EQ(Other->BTrackBar()->Position(), 0x20);

  // A stored hexadecimal value that is not one: a clear error, and the
  // wheel keeps what it had.
  const auto Load = [&](const std::string& Json) {
    TMemoryStream Doc;
    Doc.WriteBuffer(Json.data(), static_cast<Integer>(Json.size()));
    Other->LoadSettingsFromStream(&Doc);
  };
  EXPECT_THROW(Load(R"({"$type": "TVivIzudeColorWheel", "HEXValue": "GG0000"})"), EConvertError);
  EXPECT_EQ(Other->SelectedColor(), 0x2080C0);
  Load(R"({"$type": "TVivIzudeColorWheel", "HEXValue": "ABC"})");
  EXPECT_EQ(Other->SelectedColor(), 0x2080C0);
  Load(R"({"$type": "TVivIzudeColorWheel", "HEXValue": "00FF00"})");
  EXPECT_EQ(Other->SelectedColor(), 0x00FF00);
  EXPECT_EQ(Other->GTrackBar()->Position(), 255);
}

}  // namespace
