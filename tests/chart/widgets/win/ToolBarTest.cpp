// The tool bar, its buttons, options menu and compact mode, and the dock
// panel, on a real form under Wine, driven by posted mouse and key
// messages; pictures saved as toolbar-*.png beside the test program for a
// person to look at.
#include <gtest/gtest.h>

#include <string>

#include "chart/widgets/win/VivIzudeToolBar.h"
#include "tests/chart/widgets/win/WidgetsTestSupport.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;

namespace {

void SaveShot(HWND Wnd, const std::string& Name) {
  testsupport::PumpMessagesFor(200);
  auto Shot = testsupport::ScreenImageOfWindow(Wnd);
  testsupport::SavePng(Shot.get(), "toolbar-" + Name + ".png");
}

// While the options menu is open: Down pressed Steps times, then Enter.
int& MenuSteps() {
  static int N = 0;
  return N;
}
bool& MenuSeen() {
  static bool B = false;
  return B;
}
void CALLBACK PickMenuItem(HWND, UINT, UINT_PTR Id, DWORD) {
  ::KillTimer(nullptr, Id);
  HWND Menu = ::FindWindowW(L"#32768", nullptr);
  if (!Menu) return;
  MenuSeen() = true;
  for (int I = 0; I < MenuSteps(); ++I) {
    ::PostMessageW(Menu, WM_KEYDOWN, VK_DOWN, 1);
    ::PostMessageW(Menu, WM_KEYUP, VK_DOWN, static_cast<LPARAM>(0xC0000001));
  }
  ::PostMessageW(Menu, WM_KEYDOWN, VK_RETURN, 1);
  ::PostMessageW(Menu, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
}

struct ToolBarTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(640, 300);
    Form->SetColor(0xF0F0F0);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  void ShowForm() {
    Form->Show();
    Form->Update();
    testsupport::PumpMessagesFor(100);
  }
  TVivIzudeToolBar* NewToolBar(TWinControl* Parent, Integer X, Integer Y) {
    auto* T = new TVivIzudeToolBar(Form.get());
    T->SetLeft(X);
    T->SetTop(Y);
    T->SetParent(Parent);
    return T;
  }
  // Three labelled buttons, named so that the options menu lists them.
  void AddThree(TVivIzudeToolBar* T, const char16_t* Prefix) {
    for (int I = 0; I < 3; ++I) {
      auto* B = T->AddButton(-1, -1, u"", u"", String(Prefix) + char16_t(u'1' + I));
      B->SetName(String(Prefix) + char16_t(u'1' + I));
      B->SetWidth(60);
    }
  }
  TFormPtr Form;
};

}  // namespace

TEST_F(ToolBarTest, LayoutPlacesElementsAndTheOptionsButton) {
  auto* Empty = NewToolBar(Form.get(), 10, 10);
  // Default settings, no children: raised to the minimum width, 30 high,
  // the options button at (3, 3), 24 high.
  EXPECT_EQ(Empty->Width(), 30);
  EXPECT_EQ(Empty->Height(), 30);
  auto* Opt = Empty->GetOptionsMenuButtonControl();
  EXPECT_EQ(Opt->Parent(), Empty);
  EXPECT_EQ(Opt->Left(), 3);  // its own margin: no element before it
  EXPECT_EQ(Opt->Top(), 3);
  EXPECT_EQ(Opt->Height(), 24);

  auto* T = NewToolBar(Form.get(), 10, 60);
  auto* B = T->AddButton(-1, -1, u"", u"", u"Open");
  EXPECT_EQ(B->Width(), 100);
  EXPECT_EQ(B->Height(), 24);
  EXPECT_EQ(B->Text(), u"Open");
  EXPECT_TRUE(B->TextVisible());
  EXPECT_FALSE(B->BitmapVisible());
  auto* S = T->AddSeparator();
  auto* C = T->AddButton(40, 24, u"", u"", u"Cut");
  // The spacing 3 plus the grip's right edge 6: the row starts at 9.
  EXPECT_EQ(B->Left(), 9);
  EXPECT_EQ(B->Top(), 3);
  EXPECT_EQ(S->Left(), B->Left() + B->Width() + 3);
  EXPECT_EQ(C->Left(), S->Left() + S->Width() + 3);
  EXPECT_EQ(B->ControlIndex(), 0);
  EXPECT_EQ(S->ControlIndex(), 1);
  EXPECT_EQ(C->ControlIndex(), 2);
  // The options button follows the last element; the bar wraps it.
  EXPECT_EQ(T->GetOptionsMenuButtonControl()->Left(), C->Left() + C->Width() + 3 + 3);
  EXPECT_EQ(T->Width(), T->GetOptionsMenuButtonControl()->Left() + 17 + 3);
  EXPECT_EQ(T->Height(), S->Top() + S->Height() + 3);

  // A last element starts a new row at the row start.
  B->SetLastElement(true);
  EXPECT_EQ(S->Left(), 9);
  EXPECT_EQ(S->Top(), B->Top() + B->Height() + 3);

  // Hiding the options button frees its space.
  const Integer Wide = T->Width();
  T->OptionsMenu()->SetShowButton(false);
  EXPECT_EQ(T->GetOptionsMenuButtonControl()->Parent(), nullptr);
  EXPECT_EQ(T->Width(), Wide - (17 + 6));
  ShowForm();
  SaveShot(Form->Handle(), "layout");
}

TEST_F(ToolBarTest, SmallButtonsStackInColumns) {
  auto* T = NewToolBar(Form.get(), 10, 10);
  T->SetAutoHeight(false);
  T->SetHeight(70);
  TVivIzudeToolBarButton* B[3];
  for (auto*& X : B) {
    X = T->AddButton();
    X->SetLayout(bblBitmap);
  }
  // 24 pictures: 30 x 30 each; two fit one above the other in 70.
  EXPECT_EQ(B[0]->Width(), 30);
  EXPECT_EQ(B[0]->Height(), 30);
  EXPECT_EQ(B[1]->Left(), B[0]->Left());
  EXPECT_EQ(B[1]->Top(), B[0]->Top() + 30 + 3);
  EXPECT_EQ(B[2]->Left(), B[0]->Left() + 30 + 3);
  EXPECT_EQ(B[2]->Top(), B[0]->Top());
  // A label layout without picture or text is 75 x 24.
  B[2]->SetLayout(bblLabel);
  EXPECT_EQ(B[2]->Width(), 75);
  EXPECT_EQ(B[2]->Height(), 24);
}

TEST_F(ToolBarTest, ButtonStatesFollowTheMouse) {
  auto* T = NewToolBar(Form.get(), 10, 10);
  auto* B = T->AddButton(-1, -1, u"", u"", u"Press");
  int Clicks = 0;
  B->OnClick = [&](TObject*) { ++Clicks; };
  ShowForm();
  ::SendMessageW(B->Handle(), WM_MOUSEMOVE, 0, At(10, 10));
  EXPECT_TRUE(B->IsHovered());
  ::SendMessageW(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  EXPECT_TRUE(B->IsDown());
  SaveShot(Form->Handle(), "button-down");
  ::SendMessageW(B->Handle(), WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_FALSE(B->IsDown());
  EXPECT_EQ(Clicks, 1);
  ::SendMessageW(B->Handle(), WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_EQ(Clicks, 2);
}

TEST_F(ToolBarTest, OptionsMenuHidesAndShowsElements) {
  auto* T = NewToolBar(Form.get(), 10, 10);
  AddThree(T, u"Item");
  auto* Second = dynamic_cast<TVivIzudeToolBarButton*>(T->FindComponent(u"Item2"));
  ASSERT_NE(Second, nullptr);
  Second->SetAutoOptionsMenuText(u"Second item");
  T->AddSeparator(1);
  ShowForm();
  auto* Opt = T->GetOptionsMenuButtonControl();

  // The separator and the options button are not listed.
  T->BuildOptionsMenu();
  TMenuItem* Items = T->AutoOptionsMenu()->Items();
  ASSERT_EQ(Items->Count(), 3);
  EXPECT_EQ(Items->Items(0)->Caption(), u"Item1");
  EXPECT_EQ(Items->Items(1)->Caption(), u"Second item");
  EXPECT_TRUE(Items->Items(1)->Checked());

  // A click on the options button, then Down and Enter: the second entry.
  MenuSteps() = 2;
  MenuSeen() = false;
  ::SetTimer(nullptr, 0, 300, &PickMenuItem);
  Click(Opt, 5, 5);
  testsupport::PumpMessagesFor(100);
  EXPECT_TRUE(MenuSeen());
  EXPECT_EQ(Second->Parent(), nullptr);
  EXPECT_FALSE(Second->Visible());
  ASSERT_EQ(T->HiddenControls().size(), 1u);
  EXPECT_EQ(T->HiddenControls()[0]->ControlIndex, 2);
  SaveShot(Form->Handle(), "options-hidden");

  // Listed last and unchecked (the shown elements are renumbered; it keeps
  // its number); chosen again it returns to its numbered place.
  T->BuildOptionsMenu();
  ASSERT_EQ(T->AutoOptionsMenu()->Items()->Count(), 3);
  EXPECT_EQ(T->AutoOptionsMenu()->Items()->Items(2)->Caption(), u"Second item");
  EXPECT_FALSE(T->AutoOptionsMenu()->Items()->Items(2)->Checked());
  MenuSteps() = 3;
  MenuSeen() = false;
  ::SetTimer(nullptr, 0, 300, &PickMenuItem);
  Click(Opt, 5, 5);
  testsupport::PumpMessagesFor(100);
  EXPECT_TRUE(MenuSeen());
  EXPECT_EQ(Second->Parent(), T);
  EXPECT_TRUE(Second->Visible());
  EXPECT_TRUE(T->HiddenControls().empty());
  EXPECT_EQ(T->Controls(2), Second);
  EXPECT_EQ(Second->ControlIndex(), 2);

  // An item click whose handler refuses the default toggles nothing.
  T->OnOptionsMenuItemClick = [](TObject*, TControl*, TMenuItem*, bool& Execute) { Execute = false; };
  MenuSeen() = false;
  ::SetTimer(nullptr, 0, 300, &PickMenuItem);
  Click(Opt, 5, 5);
  testsupport::PumpMessagesFor(100);
  EXPECT_TRUE(MenuSeen());
  EXPECT_EQ(Second->Parent(), T);

  // All items refused: no menu opens.
  T->OnOptionsMenuItemCanShow = [](TObject*, TControl*, bool& Show) { Show = false; };
  MenuSeen() = false;
  ::SetTimer(nullptr, 0, 300, &PickMenuItem);
  Click(Opt, 5, 5);
  testsupport::PumpMessagesFor(400);
  EXPECT_FALSE(MenuSeen());
}

TEST_F(ToolBarTest, CompactModeStoresAndRestoresElements) {
  auto* T = NewToolBar(Form.get(), 10, 10);
  AddThree(T, u"Tool");
  auto* Label = dynamic_cast<TVivIzudeToolBarButton*>(T->Controls(0));
  Label->SetLayout(bblLabel);
  T->SetText(u"Edit");
  ShowForm();
  const Integer WideWidth = T->Width();
  SaveShot(Form->Handle(), "before-compact");

  T->SetCanCompact(false);
  T->SetCompact(true);
  EXPECT_FALSE(T->Compact());
  T->SetCanCompact(true);
  T->SetCompact(true);
  EXPECT_TRUE(T->Compact());
  EXPECT_EQ(T->Width(), 50);
  EXPECT_EQ(T->CompactControls().size(), 3u);
  EXPECT_EQ(T->GetOptionsMenuButtonControl()->Parent(), nullptr);
  EXPECT_EQ(Label->Parent(), nullptr);
  EXPECT_EQ(Label->CompactLayout(), bblLarge);  // its maximum, as its compact layout was none
  EXPECT_TRUE(T->CanExpand());
  SaveShot(Form->Handle(), "compact");

  // A press and release on the face: a popup holding a full copy of the
  // bar with the elements in their compact layouts.
  int Clicks = 0;
  T->OnCompactClick = [&](TObject*) { ++Clicks; };
  Click(T, 25, 20);
  testsupport::PumpMessagesFor(200);
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(T->CompactPopup()->IsOpen());
  TVivIzudeCustomToolBar* Copy = T->CompactToolBar();
  ASSERT_NE(Copy, nullptr);
  EXPECT_EQ(Label->Parent(), Copy);
  EXPECT_EQ(Label->Layout(), bblLarge);
  EXPECT_TRUE(Label->Visible());
  EXPECT_EQ(Copy->GetOptionsMenuButtonControl()->Parent(), nullptr);
  {
    testsupport::PumpMessagesFor(300);
    RECT Screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), 400};
    // The popup is a layered window: the capture must include those.
    auto Shot = testsupport::ScreenImage(Screen, SRCCOPY | CAPTUREBLT);
    testsupport::SavePng(Shot.get(), u"toolbar-compact-popup.png");
  }
  // Closing it takes the elements back out with their own layouts.
  T->CloseCompactPopup();
  testsupport::PumpMessagesFor(100);
  EXPECT_FALSE(T->CompactPopup()->IsOpen());
  EXPECT_EQ(T->CompactToolBar(), nullptr);
  EXPECT_EQ(Label->Parent(), nullptr);
  EXPECT_FALSE(Label->Visible());
  EXPECT_EQ(Label->Layout(), bblLabel);

  // Adding while compact does not resize the face.
  T->AddButton(-1, -1, u"", u"", u"Late");
  EXPECT_EQ(T->Width(), 50);

  T->SetCompact(false);
  EXPECT_EQ(Label->Parent(), T);
  EXPECT_TRUE(Label->Visible());
  EXPECT_EQ(T->GetOptionsMenuButtonControl()->Parent(), T);
  EXPECT_GE(T->Width(), WideWidth);
  EXPECT_TRUE(T->CanShrink());
  SaveShot(Form->Handle(), "after-compact");
}

TEST_F(ToolBarTest, DockPanelClampsSeparatesAndFollowsTheGrip) {
  auto* Panel = new TVivIzudeCustomDockPanel(Form.get());
  Panel->SetParent(Form.get());
  EXPECT_EQ(Panel->Height(), 30);  // empty at run time
  auto* A = Panel->AddToolBar();
  AddThree(A, u"A");
  auto* B = Panel->AddToolBar();
  AddThree(B, u"B");
  ShowForm();
  // Kept inside the margins, pushed apart: B right of A on one row.
  EXPECT_EQ(A->Left(), 3);
  EXPECT_EQ(A->Top(), 3);
  EXPECT_EQ(B->Top(), A->Top());
  EXPECT_EQ(B->Left(), A->Left() + A->Width() + 3);
  EXPECT_EQ(Panel->Height(), 3 + A->Height() + 3);
  SaveShot(Form->Handle(), "dock-one-row");

  // Dragging B's grip down by a row and a half: dropped below A's centre,
  // it moves below A and the panel grows.
  const Integer RowHeight = A->Height();
  std::vector<std::pair<double, double>> Deltas;
  B->OnDragGripMoving = [&](TObject*, double Dx, double Dy) { Deltas.emplace_back(Dx, Dy); };
  HWND W = B->Handle();
  ::SendMessageW(W, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 10));
  // The tool bar follows the mouse, so the point stays over the grip: one
  // move carries the whole offset.
  ::SendMessageW(W, WM_MOUSEMOVE, MK_LBUTTON, At(4 - 100, 10 + RowHeight / 2 + 2));
  EXPECT_TRUE(B->IsDragging());
  ::SendMessageW(W, WM_LBUTTONUP, 0, At(4, 10));
  testsupport::PumpMessagesFor(50);
  EXPECT_FALSE(B->IsDragging());
  ASSERT_EQ(Deltas.size(), 1u);
  EXPECT_EQ(Deltas[0].first, 100);
  EXPECT_EQ(Deltas[0].second, -(RowHeight / 2 + 2));
  EXPECT_EQ(B->Left(), A->Left());
  EXPECT_EQ(B->Top(), A->Top() + A->Height() + 3);
  EXPECT_EQ(Panel->Height(), B->Top() + B->Height() + 3);
  SaveShot(Form->Handle(), "dock-two-rows");

  // Dragged back up into the first row's upper half, right of A: back on
  // one row, the panel shrinks again.
  ::SendMessageW(W, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 10));
  ::SendMessageW(W, WM_MOUSEMOVE, MK_LBUTTON, At(4 + A->Width(), 10 - (B->Top() - A->Top()) - 2));
  ::SendMessageW(W, WM_LBUTTONUP, 0, At(4, 10));
  testsupport::PumpMessagesFor(50);
  EXPECT_EQ(B->Top(), A->Top());
  EXPECT_EQ(B->Left(), A->Left() + A->Width() + 3);
  EXPECT_EQ(Panel->Height(), 3 + A->Height() + 3);
  // Never left of the margin when pulled too far.
  ::SendMessageW(W, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 10));
  ::SendMessageW(W, WM_MOUSEMOVE, MK_LBUTTON, At(4 - 2000, 10));
  EXPECT_EQ(B->Left(), 3);
  ::SendMessageW(W, WM_LBUTTONUP, 0, At(4, 10));
  testsupport::PumpMessagesFor(50);
  SaveShot(Form->Handle(), "dock-back");
}
