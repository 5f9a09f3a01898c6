// The extension bases' hooks, driven by the window messages that raise
// them: each probe records what it hears and, unless told otherwise, calls
// the inherited hook, so the tests see both the hook and the class
// library's own handling behind it.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "controls/win/OxExComCtrls.h"
#include "controls/win/OxExControls.h"
#include "controls/win/OxExMask.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

namespace {

// A windowless probe: takes one Alt+character, is hit only on its left half.
class TProbeGraphic : public TOxExGraphicControl {
public:
  using TOxExGraphicControl::TOxExGraphicControl;

  Char TakesChar = 0;
  std::vector<std::pair<Word, TShiftState>> DialogChars;
  std::vector<TWinControl*> FocusNews;
  int MouseDowns = 0;
  TColor Fill = clWhite;

protected:
  bool WantsDialogChar(Word Key, TShiftState Shift) override {
    DialogChars.emplace_back(Key, Shift);
    return (TakesChar && Key == TakesChar) || TOxExGraphicControl::WantsDialogChar(Key, Shift);
  }
  bool IsHitAt(Integer X, Integer Y) override { return X < Width() / 2 && TOxExGraphicControl::IsHitAt(X, Y); }
  void NotifyFocusChanged(TWinControl* Control) override {
    FocusNews.push_back(Control);
    TOxExGraphicControl::NotifyFocusChanged(Control);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    ++MouseDowns;
    TOxExGraphicControl::MouseDown(Button, Shift, X, Y);
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect({0, 0, Width(), Height()});
  }
};

// A windowed probe; with PassOn false its hooks keep the news to themselves.
class TProbeBar : public TOxExStatusBar {
public:
  using TOxExStatusBar::TOxExStatusBar;

  bool PassOn = true;
  std::vector<std::string> Heard;
  // For each list hook: which one, the control, Inserting, and whether the
  // control was among the children at that moment.
  struct TListNews {
    std::string Hook;
    TControl* Control;
    bool Inserting;
    bool Listed;
    bool operator==(const TListNews&) const = default;
  };
  std::vector<TListNews> ListNews;

protected:
  bool WantsDialogChar(Word Key, TShiftState Shift) override {
    Heard.push_back("dialog char");
    return PassOn && TOxExStatusBar::WantsDialogChar(Key, Shift);
  }
  void NotifyFocusChanged(TWinControl* Control) override {
    Heard.push_back("focus");
    if (PassOn) TOxExStatusBar::NotifyFocusChanged(Control);
  }
  void NotifyCursorChanged() override {
    Heard.push_back("cursor");
    if (PassOn) TOxExStatusBar::NotifyCursorChanged();
  }
  void NotifyShowingChanged() override {
    Heard.push_back("showing");
    if (PassOn) TOxExStatusBar::NotifyShowingChanged();
  }
  void NotifyControlListChanging(TControl* Control, bool Inserting) override {
    ListNews.push_back({"changing", Control, Inserting, Control->Parent() == this});
    TOxExStatusBar::NotifyControlListChanging(Control, Inserting);
  }
  void NotifyControlListChanged(TControl* Control, bool Inserting) override {
    ListNews.push_back({"changed", Control, Inserting, Control->Parent() == this});
    TOxExStatusBar::NotifyControlListChanged(Control, Inserting);
  }
};

class TProbeEdit : public TOxExCustomMaskEdit {
public:
  using TOxExCustomMaskEdit::TOxExCustomMaskEdit;
  void SetRaiseException(bool Value) { FRaiseException = Value; }
  void Reject() { ValidateError(); }
};

// The hint window a control names for its own hints.
class TProbeHintWindow : public THintWindow {
public:
  using THintWindow::THintWindow;
};

class TProbeForm : public TForm {
public:
  explicit TProbeForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(u"Extension bases");
    SetPosition(poScreenCenter);
    SetClientSize(320, 140);
    Edit1 = new TEdit(this);
    Edit1->SetBounds(8, 8, 120, 21);
    Edit1->SetParent(this);
    Edit2 = new TProbeEdit(this);
    Edit2->SetBounds(8, 40, 120, 21);
    Edit2->SetParent(this);
    // Two windowless probes on the same spot; Over is on top.
    Under = new TProbeGraphic(this);
    Under->Fill = clYellow;
    Under->SetBounds(160, 8, 120, 60);
    Under->SetParent(this);
    Over = new TProbeGraphic(this);
    Over->Fill = clAqua;
    Over->SetBounds(160, 8, 120, 60);
    Over->SetParent(this);
    Bar = new TProbeBar(this);
    Bar->SetParent(this);
    Inner = new TProbeGraphic(this);
    Inner->Fill = clLime;
    Inner->SetBounds(200, 2, 60, 14);
    Inner->SetParent(Bar);
  }

  TEdit* Edit1;
  TProbeEdit* Edit2;
  TProbeGraphic* Under;
  TProbeGraphic* Over;
  TProbeBar* Bar;
  TProbeGraphic* Inner;
};

class ExtensionBasesTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Errors.clear();
    Application->OnException = [this](TObject*, Exception& E) { Errors.push_back(E.Message()); };
    Form = TCustomForm::Create<TProbeForm>(Application);
    Form->Show();
    Form->Edit1->SetFocus();
    testsupport::PumpMessagesFor(50);
    Form->Bar->Heard.clear();
    for (TProbeGraphic* p : {Form->Under, Form->Over, Form->Inner}) p->FocusNews.clear();
  }
  void TearDown() override {
    Application->CancelHint();
    delete Form;
    Form = nullptr;
    Application->ProcessMessages();
    Application->OnException = nullptr;
  }
  // Alt+C as the focused window receives it once the key is translated.
  static LRESULT SysChar(HWND Window, Char C) { return SendMessageW(Window, WM_SYSCHAR, C, 0x20000001); }
  // Moves the mouse to the control's client point X, Y.
  static void MoveMouseTo(TControl* Control, Integer X, Integer Y) {
    const TPoint p = Control->ClientToScreen({X, Y});
    SetCursorPos(p.X, p.Y);
  }

  TProbeForm* Form = nullptr;
  std::vector<String> Errors;
};

TEST_F(ExtensionBasesTest, AltCharactersReachEveryControlUntilOneTakesIt) {
  Form->Inner->TakesChar = u'k';
  EXPECT_EQ(SysChar(Form->Edit1->Handle(), u'k'), 0);
  // The bar passed it on to the control it holds, which took it: the
  // windowless controls after the bar never heard it.
  EXPECT_EQ(Form->Bar->Heard, std::vector<std::string>{"dialog char"});
  ASSERT_EQ(Form->Inner->DialogChars.size(), 1u);
  EXPECT_EQ(Form->Inner->DialogChars[0].first, u'k');
  EXPECT_EQ(Form->Inner->DialogChars[0].second, TShiftState{ssAlt});
  EXPECT_EQ(Form->Under->DialogChars.size(), 1u);  // before the bar in the list
  EXPECT_EQ(Form->Over->DialogChars.size(), 1u);

  // A bar that keeps the news to itself: its child never hears it.
  Form->Bar->PassOn = false;
  SysChar(Form->Edit1->Handle(), u'k');
  EXPECT_EQ(Form->Inner->DialogChars.size(), 1u);
  EXPECT_EQ(Form->Under->DialogChars.size(), 2u);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(ExtensionBasesTest, AnAltKeyPressReachesThemThroughTheMessageLoop) {
  // Alt+K as the keyboard sends it: the loop translates it to a character.
  Form->Inner->TakesChar = u'k';
  PostMessageW(Form->Edit1->Handle(), WM_SYSKEYDOWN, 'K', 0x20000001);
  EXPECT_TRUE(testsupport::PumpMessagesUntil([this] { return !Form->Inner->DialogChars.empty(); }, 2000));
  ASSERT_EQ(Form->Inner->DialogChars.size(), 1u);
  EXPECT_EQ(Form->Inner->DialogChars[0].first, u'k');
  EXPECT_TRUE(Form->Inner->DialogChars[0].second.Contains(ssAlt));
}

TEST_F(ExtensionBasesTest, TheMouseGoesThroughWhereAControlIsNotHit) {
  struct Case {
    Integer X;
    int OverDowns, UnderDowns;
  };
  // Both probes are hit on their left half only: the right half of the top
  // one belongs to the one below, whose right half belongs to the form.
  const Case cases[] = {{20, 1, 0}, {100, 0, 0}};
  int formDowns = 0;
  Form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++formDowns; };
  for (const Case& c : cases) {
    Form->Over->MouseDowns = Form->Under->MouseDowns = 0;
    formDowns = 0;
    const LPARAM at = PointToLParam(Form->Over->Left() + c.X, Form->Over->Top() + 10);
    SendMessageW(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(Form->Over->MouseDowns, c.OverDowns) << c.X;
    EXPECT_EQ(Form->Under->MouseDowns, c.UnderDowns) << c.X;
    EXPECT_EQ(formDowns, c.OverDowns + c.UnderDowns == 0 ? 1 : 0) << c.X;
  }
  // Shift the top probe right: its right half now uncovers the left half
  // of the one below, which is hit there.
  Form->Over->SetLeft(Form->Under->Left() - 60);
  const LPARAM at = PointToLParam(Form->Under->Left() + 20, Form->Under->Top() + 10);
  Form->Under->MouseDowns = Form->Over->MouseDowns = 0;
  SendMessageW(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(Form->Under->MouseDowns, 1);
  EXPECT_EQ(Form->Over->MouseDowns, 0);
  Form->OnMouseDown = nullptr;
}

TEST_F(ExtensionBasesTest, EveryControlHearsWhichControlGainedTheFocus) {
  Form->Edit2->SetFocus();
  testsupport::PumpMessagesFor(20);
  ASSERT_EQ(GetFocus(), Form->Edit2->Handle());
  for (TProbeGraphic* p : {Form->Under, Form->Over, Form->Inner})
    EXPECT_EQ(p->FocusNews, std::vector<TWinControl*>{Form->Edit2});
  EXPECT_EQ(Form->Bar->Heard, std::vector<std::string>{"focus"});
  EXPECT_EQ(Form->ActiveControl(), Form->Edit2);

  Form->Bar->PassOn = false;
  Form->Edit1->SetFocus();
  testsupport::PumpMessagesFor(20);
  EXPECT_EQ(Form->Under->FocusNews.size(), 2u);
  EXPECT_EQ(Form->Inner->FocusNews.size(), 1u);  // the bar kept it
}

TEST_F(ExtensionBasesTest, ANewCursorShowsAtOnceUnderTheMouse) {
  // A point of the bar that none of its children covers.
  MoveMouseTo(Form->Bar, 20, Form->Bar->ClientHeight() / 2);
  testsupport::PumpMessagesFor(20);
  POINT p;
  GetCursorPos(&p);
  if (WindowFromPoint(p) != Form->Bar->Handle()) GTEST_SKIP() << "the mouse cannot be moved on this display";
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  ::SetCursor(arrow);

  Form->Bar->PassOn = false;
  Form->Bar->SetCursor(crHandPoint);
  EXPECT_EQ(Form->Bar->Heard, std::vector<std::string>{"cursor"});
  EXPECT_EQ(GetCursor(), arrow);

  Form->Bar->PassOn = true;
  Form->Bar->SetCursor(crIBeam);
  EXPECT_EQ(Form->Bar->Heard.size(), 2u);
  EXPECT_EQ(GetCursor(), Screen->Cursors(crIBeam));
  Form->Bar->SetCursor(crIBeam);  // no change, no news
  EXPECT_EQ(Form->Bar->Heard.size(), 2u);
}

TEST_F(ExtensionBasesTest, ShowingAndHidingGoThroughTheHook) {
  const HWND bar = Form->Bar->Handle();
  Form->Bar->SetVisible(false);
  EXPECT_EQ(Form->Bar->Heard, std::vector<std::string>{"showing"});
  EXPECT_FALSE(IsWindowVisible(bar));
  // A hook that does not call the inherited one keeps the window as it was.
  Form->Bar->PassOn = false;
  Form->Bar->SetVisible(true);
  EXPECT_EQ(Form->Bar->Heard.size(), 2u);
  EXPECT_FALSE(IsWindowVisible(bar));
  Form->Bar->PassOn = true;
  Form->Bar->SetVisible(false);
  Form->Bar->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(bar));
}

TEST_F(ExtensionBasesTest, ChildrenComingAndGoingAreAnnouncedAndConfirmed) {
  using News = TProbeBar::TListNews;
  auto* extra = new TProbeGraphic(Form);
  extra->SetBounds(4, 2, 20, 14);
  Form->Bar->ListNews.clear();
  extra->SetParent(Form->Bar);
  EXPECT_EQ(Form->Bar->ListNews, (std::vector<News>{{"changing", extra, true, false}, {"changed", extra, true, true}}));

  Form->Bar->ListNews.clear();
  extra->SetParent(nullptr);
  EXPECT_EQ(Form->Bar->ListNews,
            (std::vector<News>{{"changing", extra, false, true}, {"changed", extra, false, false}}));

  // Freeing a child removes it the same way.
  extra->SetParent(Form->Bar);
  Form->Bar->ListNews.clear();
  delete extra;
  ASSERT_EQ(Form->Bar->ListNews.size(), 2u);
  EXPECT_EQ(Form->Bar->ListNews[0].Hook, "changing");
  EXPECT_FALSE(Form->Bar->ListNews[0].Inserting);
  EXPECT_EQ(Form->Bar->ListNews[1].Hook, "changed");
  EXPECT_FALSE(Form->Bar->ListNews[1].Listed);
}

TEST_F(ExtensionBasesTest, HintsShowInTheControlsWindowInTheColourItsParentsChoose) {
  struct Case {
    TColor BarColor, InnerColor, Shown;
  };
  Application->HintColor = clInfoBk;
  const Case cases[] = {
      {clYellow, clDefault, clYellow},   // asked of the parent
      {clDefault, clDefault, clInfoBk},  // nobody chose: the application's
      {clYellow, clLime, clLime},        // its own
      {clYellow, clNone, clInfoBk},      // the application's, whatever the parent says
  };
  int made = 0;
  Form->Inner->SetHint(u"Inner probe");
  Form->Inner->SetShowHint(true);
  Form->Inner->SetHintWindowClass([&made](TComponent* Owner) -> THintWindow* {
    ++made;
    return new TProbeHintWindow(Owner);
  });
  const Integer pause = Application->HintPause;
  Application->HintPause = 10;
  for (const Case& c : cases) {
    Application->CancelHint();
    Form->Bar->SetHintColor(c.BarColor);
    Form->Inner->SetHintColor(c.InnerColor);
    // The mouse arrives over the probe: the hint timer does the rest.
    MoveMouseTo(Form->Inner, 10, 7);
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) != Form->Bar->Handle()) {
      Application->HintPause = pause;
      GTEST_SKIP() << "the mouse cannot be moved on this display";
    }
    PostMessageW(Form->Bar->Handle(), WM_MOUSEMOVE, 0, PointToLParam(Form->Inner->Left() + 10, Form->Inner->Top() + 7));
    const bool shown = testsupport::PumpMessagesUntil(
        [] { return Application->HintWindow() && Application->HintWindow()->IsHintShowing(); }, 3000);
    ASSERT_TRUE(shown) << "hint did not show";
    EXPECT_NE(dynamic_cast<TProbeHintWindow*>(Application->HintWindow()), nullptr);
    EXPECT_EQ(Application->HintWindow()->Caption(), u"Inner probe");
    EXPECT_EQ(Application->HintWindow()->Color(), c.Shown) << c.BarColor << " " << c.InnerColor;
    // Away and back, so that the next case is a new hint.
    MoveMouseTo(Form->Edit1, 5, 5);
    PostMessageW(Form->Edit1->Handle(), WM_MOUSEMOVE, 0, PointToLParam(5, 5));
    testsupport::PumpMessagesFor(30);
  }
  Application->HintPause = pause;
  EXPECT_EQ(made, static_cast<int>(std::size(cases)));
}

TEST_F(ExtensionBasesTest, TheEditsValidationErrorIsRaisedOnlyWhileAllowed) {
  EXPECT_THROW(Form->Edit2->Reject(), EOXCLException);
  Form->Edit2->SetRaiseException(false);
  EXPECT_NO_THROW(Form->Edit2->Reject());
}

TEST_F(ExtensionBasesTest, Screenshot) {
  Form->Update();
  auto shot = testsupport::ClientSurfaceImage(Form);
  shot->SaveToFile(u"extension_bases.png");
  EXPECT_GT(shot->Width(), 0);
}

}  // namespace
