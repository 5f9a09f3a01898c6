// The floating tool strip: activation and its events, the extra buttons
// and their tool-bar buttons, dragging by the grip and handing the
// activation back, on real windows under Wine; pictures saved as
// toolbarpopup-*.png beside the test program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/widgets/win/VivCToolBarPopup.h"
#include "tests/chart/widgets/win/WidgetsTestSupport.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;

namespace {

void SaveShot(HWND Wnd, const std::string& Name) {
  testsupport::PumpMessagesFor(200);
  auto Shot = testsupport::ScreenImageOfWindow(Wnd);
  testsupport::SavePng(Shot.get(), "toolbarpopup-" + Name + ".png");
}

struct TClassCount {
  wchar_t Class[256];
  int N;
};

BOOL CALLBACK CountWindowOfClass(HWND W, LPARAM P) {
  auto* C = reinterpret_cast<TClassCount*>(P);
  wchar_t Name[256] = {};
  ::GetClassNameW(W, Name, 256);
  if (::IsWindowVisible(W) && wcscmp(Name, C->Class) == 0) ++C->N;
  return TRUE;
}

// The visible top-level windows of this thread with the class of Wnd.
int VisibleWindowsOfClass(HWND Wnd) {
  TClassCount C{{}, 0};
  ::GetClassNameW(Wnd, C.Class, 256);
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindowOfClass, reinterpret_cast<LPARAM>(&C));
  return C.N;
}

struct ToolBarPopupTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(400, 200);
    Form->SetColor(0xF0F0F0);
    Form->SetLeft(100);
    Form->SetTop(100);
    Form->Show();
    ::SetForegroundWindow(Form->Handle());
    testsupport::PumpMessagesFor(100);
    Popup = new TVivIzudeCustomToolBarPopup(Form.get());
    Popup->SetPlacementControl(Form.get());
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  // Three buttons with text, 60 wide.
  void AddThree() {
    for (int I = 0; I < 3; ++I) {
      auto* B = Popup->Buttons()->Add();
      B->SetText(String(u"Btn") + char16_t(u'1' + I));
      B->SetWidth(60);
    }
  }
  TFormPtr Form;
  TVivIzudeCustomToolBarPopup* Popup = nullptr;  // owned by the form
};

}  // namespace

TEST_F(ToolBarPopupTest, ConstructionSetsUpAToolBarThatNeverTakesFocus) {
  TVivIzudeToolBar* T = Popup->ToolBar();
  ASSERT_NE(T, nullptr);
  EXPECT_TRUE(Popup->StaysOpen());
  EXPECT_EQ(Popup->Placement(), ppMouse);
  EXPECT_TRUE(Popup->AutoAlign());
  EXPECT_FALSE(Popup->DragGrip());
  EXPECT_FALSE(T->AllowFocus());
  EXPECT_FALSE(T->TabStop());
  EXPECT_FALSE(T->OptionsMenu()->ShowButton());
  EXPECT_FALSE(T->AutoMoveToolBar());
  EXPECT_EQ(Popup->ContentControl(), T);
  EXPECT_FALSE(T->Visible());
  EXPECT_EQ(Popup->GetVersion(), u"1.0.0.0");
  Popup->SetDragGrip(true);
  EXPECT_TRUE(T->Appearance()->DragGrip());
  Popup->SetAdaptToStyle(true);
  EXPECT_TRUE(T->AdaptToStyle());
}

TEST_F(ToolBarPopupTest, ActivatingTwiceDeactivatesFirstAndLeavesOneForm) {
  AddThree();
  std::vector<std::string> Events;
  Popup->OnActivate = [&](TObject*) { Events.push_back("activate"); };
  Popup->OnDeactivate = [&](TObject*) { Events.push_back("deactivate"); };
  Popup->Activate();
  ASSERT_TRUE(Popup->Activated());
  Popup->Activate();
  ASSERT_TRUE(Popup->Activated());
  EXPECT_EQ(Events, (std::vector<std::string>{"activate", "deactivate", "activate"}));
  testsupport::PumpMessagesFor(100);
  HWND W = Popup->PopupForm()->Handle();
  EXPECT_EQ(VisibleWindowsOfClass(W), 1);
  // The form is the tool bar's size, and the tool bar sits in it.
  TVivIzudeToolBar* T = Popup->ToolBar();
  EXPECT_TRUE(T->Visible());
  EXPECT_EQ(T->Parent(), Popup->PopupForm());
  EXPECT_EQ(Popup->PopupForm()->Width(), T->Width());
  EXPECT_EQ(Popup->PopupForm()->Height(), T->Height());
  EXPECT_GE(T->Width(), 3 * 60);
  // The window the user works in keeps the activation.
  EXPECT_EQ(::GetActiveWindow(), Form->Handle());
  SaveShot(W, "three-buttons");

  Popup->Deactivate();
  EXPECT_FALSE(Popup->Activated());
  EXPECT_FALSE(Popup->DropDownActive());
  EXPECT_EQ(Events.back(), "deactivate");
  EXPECT_EQ(VisibleWindowsOfClass(W), 0);
  EXPECT_FALSE(T->Visible());
  EXPECT_EQ(T->Parent(), Form.get());  // parked on the placement control
}

TEST_F(ToolBarPopupTest, PopupButtonsDriveTheirToolBarButtons) {
  AddThree();
  TVivIzudeToolBar* T = Popup->ToolBar();
  auto* Item = Popup->Buttons()->Items(1);
  TVivIzudeToolBarButton* B = Item->Button();
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(B->Owner(), T);
  EXPECT_EQ(B->Parent(), T);
  EXPECT_FALSE(B->AllowFocus());
  EXPECT_EQ(B->Text(), u"Btn2");
  EXPECT_EQ(B->Width(), 60);
  // -1 means "not set": the button keeps its width and nothing is stored.
  Item->SetWidth(-1);
  EXPECT_EQ(Item->Width(), -1);
  EXPECT_FALSE(Item->IsWidthStored());
  EXPECT_EQ(B->Width(), 60);
  Item->SetWidth(80.4f);
  EXPECT_TRUE(Item->IsWidthStored());
  EXPECT_EQ(B->Width(), 80);
  Item->SetText(u"Other");
  EXPECT_EQ(B->Text(), u"Other");
  Item->SetEnabled(false);
  EXPECT_FALSE(B->Enabled());
  Item->SetLastElement(true);
  EXPECT_TRUE(B->LastElement());
  // A picture becomes the button's only one.
  auto Pic = MakePicture(16, 16, 0x0000FF);
  Item->SetBitmap(Pic.get());
  ASSERT_EQ(B->Bitmaps()->Count(), 1);
  EXPECT_EQ(B->Bitmaps()->Items(0)->Bitmap()->Width(), 16);
  // The popup follows the tool bar's size.
  Popup->Activate();
  const Integer Before = Popup->PopupForm()->Width();
  Popup->Buttons()->Items(0)->SetWidth(150);
  EXPECT_EQ(Popup->PopupForm()->Width(), T->Width());
  EXPECT_GT(Popup->PopupForm()->Width(), Before);
  // Still so once the form has placed itself again.
  testsupport::PumpMessagesFor(200);
  EXPECT_EQ(Popup->PopupForm()->Width(), T->Width());
  RECT R{};
  ::GetWindowRect(Popup->PopupForm()->Handle(), &R);
  EXPECT_EQ(R.right - R.left, T->Width());
  SaveShot(Popup->PopupForm()->Handle(), "changed-buttons");
  // Assign copies the settings, and the copy's own tool-bar button shows them.
  auto* Copy = Popup->Buttons()->Add();
  Copy->Assign(Item);
  EXPECT_EQ(Copy->Text(), u"Other");
  EXPECT_EQ(Copy->Width(), 80.4f);
  EXPECT_FALSE(Copy->Enabled());
  ASSERT_NE(Copy->Button(), B);
  EXPECT_EQ(Copy->Button()->Text(), u"Other");
  EXPECT_FALSE(Copy->Button()->Enabled());
  EXPECT_TRUE(Copy->Button()->LastElement());
  EXPECT_EQ(Copy->Button()->Bitmaps()->Count(), 1);
  Popup->Deactivate();
  // Freeing an item takes its tool-bar button off the tool bar.
  const Integer Components = T->ComponentCount();
  const Integer Controls = T->ControlCount();
  const void* Gone = B;
  delete Item;
  EXPECT_EQ(Popup->Buttons()->Count(), 3);
  EXPECT_EQ(T->ComponentCount(), Components - 1);
  EXPECT_EQ(T->ControlCount(), Controls - 1);
  for (Integer I = 0; I < T->ComponentCount(); ++I) EXPECT_NE(static_cast<const void*>(T->Components(I)), Gone);
}

TEST_F(ToolBarPopupTest, ButtonClicksReachTheHandlerAndGiveTheActivationBack) {
  AddThree();
  TVivCToolBarPopupButton* Clicked = nullptr;
  int Clicks = 0;
  Popup->OnButtonClick = [&](TObject*, TVivCToolBarPopupButton* AButton) {
    Clicked = AButton;
    ++Clicks;
  };
  Popup->Activate();
  testsupport::PumpMessagesFor(100);
  TVivIzudeToolBarButton* B = Popup->Buttons()->Items(2)->Button();
  Click(B, 10, 10);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Clicked, Popup->Buttons()->Items(2));

  // Without a handler the activation still goes back to the window that
  // had it when the popup opened.
  Popup->OnButtonClick = nullptr;
  auto Other = NewForm(120, 80);
  Other->SetLeft(600);
  Other->Show();
  ::SetActiveWindow(Other->Handle());
  testsupport::PumpMessagesFor(100);
  ASSERT_EQ(::GetActiveWindow(), Other->Handle());
  Click(Popup->Buttons()->Items(0)->Button(), 10, 10);
  testsupport::PumpMessagesFor(100);
  EXPECT_EQ(::GetActiveWindow(), Form->Handle());
  Popup->Deactivate();
}

TEST_F(ToolBarPopupTest, TheGripDragsTheForm) {
  AddThree();
  Popup->SetDragGrip(true);
  Popup->Activate();
  testsupport::PumpMessagesFor(100);
  TVivIzudeCustomPopupForm* F = Popup->PopupForm();
  const Integer L = F->Left(), T = F->Top();
  // The grip reports the press point minus the mouse: 10 and 5 when the
  // mouse moved 10 left and 5 up; the form follows the mouse.
  HWND W = Popup->ToolBar()->Handle();
  ::SendMessageW(W, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 12));
  ::SendMessageW(W, WM_MOUSEMOVE, MK_LBUTTON, At(4 - 10, 12 - 5));
  ::SendMessageW(W, WM_LBUTTONUP, 0, At(4 - 10, 12 - 5));
  testsupport::PumpMessagesFor(50);
  EXPECT_EQ(F->Left(), L - 10);
  EXPECT_EQ(F->Top(), T - 5);
  // Straight through the handler, with fractions rounded.
  Popup->ToolBarDragGripMoving(nullptr, -2.5, 3.5);
  EXPECT_EQ(F->Left(), L - 10 + 2);
  EXPECT_EQ(F->Top(), T - 5 - 4);
  SaveShot(F->Handle(), "grip");
  Popup->Deactivate();
  // No form: nothing to move, nothing fails.
  Popup->ToolBarDragGripMoving(nullptr, 10, 5);
}
