// The grid selector and the drop-down popup on real windows, driven by the
// mouse and key messages a user's input produces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WidgetsTestSupport.h"
#include "chart/widgets/win/VivIzudeCustomSelector.h"
#include "chart/widgets/win/VivIzudePopup.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;
using testsupport::WindowSurfaceImage;

namespace {

void SavePicture(TBitmap& Shot, const std::string& Name) { testsupport::SavePng(&Shot, Name + ".png"); }

LPARAM At(float X, float Y) { return MAKELPARAM(static_cast<int>(X), static_cast<int>(Y)); }

void Click(HWND Wnd, float X, float Y) {
  ::SendMessageW(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(X, Y));
  ::SendMessageW(Wnd, WM_LBUTTONUP, 0, At(X, Y));
}

void Key(HWND Wnd, Word VK) {
  ::SendMessageW(Wnd, WM_KEYDOWN, VK, 1);
  ::SendMessageW(Wnd, WM_KEYUP, VK, 0xC0000001);
}

TPointF Centre(const TRectF& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

struct SelectorTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(400, 300);
    Form->SetColor(0xF0F0F0);
    S = new TVivIzudeDefaultSelector(Form.get());
    S->SetParent(Form.get());
    S->SetBounds(10, 10, 135, 135);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  void AddItems(Integer N) {
    S->BeginUpdate();
    for (Integer I = 0; I < N; ++I) S->Items()->Add();
    S->EndUpdate();
  }
  void ShowForm() {
    Form->Show();
    Form->Update();
    Application->ProcessMessages();
  }
  TFormPtr Form;
  TVivIzudeDefaultSelector* S = nullptr;
};

TEST_F(SelectorTest, LaysCellsOutByTheSpacingsAndCountsPagesOfLeftoverItems) {
  AddItems(16);
  ASSERT_EQ(S->DisplayList().size(), 16u);
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(6, D);  // row 1, column 2
  EXPECT_EQ(D.Row, 1);
  EXPECT_EQ(D.Column, 2);
  EXPECT_FLOAT_EQ(D.Rect.Left, 69.5f);
  EXPECT_FLOAT_EQ(D.Rect.Top, 36.75f);
  EXPECT_FLOAT_EQ(D.Rect.Right - D.Rect.Left, 28.75f);
  EXPECT_FLOAT_EQ(D.Rect.Bottom - D.Rect.Top, 28.75f);
  EXPECT_EQ(S->PageCount(), 1);

  S->Items()->Add();
  EXPECT_EQ(S->PageCount(), 2);
  S->GetDisplayItem(16, D);
  EXPECT_EQ(D.PageIndex, 1);
  EXPECT_EQ(D.Row, 0);
  EXPECT_EQ(D.Column, 0);

  // Spans cut at the grid's edges; a separator takes the rest of its row.
  S->Items()->Clear();
  S->BeginUpdate();
  for (Integer I = 0; I < 3; ++I) S->Items()->Add();
  S->Items()->Add()->SetColumnSpan(2);  // lands at column 3
  S->EndUpdate();
  S->GetDisplayItem(3, D);
  EXPECT_EQ(D.Column, 3);
  EXPECT_EQ(D.ColumnSpan, 1);
  S->Items()->Clear();
  S->BeginUpdate();
  S->Items()->Add();
  S->Items()->Add();
  S->Items()->Add()->SetSeparator(true);
  S->Items()->Add();
  S->EndUpdate();
  S->GetDisplayItem(2, D);
  EXPECT_EQ(D.Column, 2);
  EXPECT_EQ(D.ColumnSpan, 2);
  S->GetDisplayItem(3, D);
  EXPECT_EQ(D.Row, 1);
  EXPECT_EQ(D.Column, 0);
}

TEST_F(SelectorTest, AGridWithoutRowsOrColumnsShowsNothingAndEnds) {
  AddItems(5);
  for (auto [Rows, Columns] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-1, -1}}) {
    S->SetRows(Rows);
    S->SetColumns(Columns);
    EXPECT_TRUE(S->DisplayList().empty()) << Rows << "x" << Columns;
    EXPECT_EQ(S->PageCount(), 0);
    EXPECT_EQ(S->XYToItem(20, 20), -1);
    S->SetRows(4);
    S->SetColumns(4);
    EXPECT_EQ(S->DisplayList().size(), 5u);
  }
}

TEST_F(SelectorTest, ClicksSelectAndDeselectAndAReleaseElsewhereDoesNothing) {
  AddItems(16);
  S->Items()->Items(5)->SetEnabled(false);
  ShowForm();
  std::vector<std::string> Log;
  S->OnItemSelected = [&](TObject*, Integer I) { Log.push_back("sel" + std::to_string(I)); };
  S->OnItemDeselected = [&](TObject*, Integer I) { Log.push_back("desel" + std::to_string(I)); };
  S->OnItemClick = [&](TObject*, Integer I) { Log.push_back("click" + std::to_string(I)); };
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(6, D);
  const TPointF P = Centre(D.Rect);
  Click(S->Handle(), P.X, P.Y);
  EXPECT_EQ(S->SelectedItemIndex(), 6);
  Click(S->Handle(), P.X, P.Y);
  EXPECT_EQ(S->SelectedItemIndex(), -1);
  EXPECT_EQ(Log, (std::vector<std::string>{"sel6", "click6", "desel6", "click6"}));

  // Pressed on one item, released over another: nothing.
  Log.clear();
  TVivIzudeCustomSelectorDisplayItem E;
  S->GetDisplayItem(7, E);
  ::SendMessageW(S->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(P.X, P.Y));
  ::SendMessageW(S->Handle(), WM_LBUTTONUP, 0, At(Centre(E.Rect).X, Centre(E.Rect).Y));
  EXPECT_TRUE(Log.empty());
  // A disabled item cannot be clicked.
  S->GetDisplayItem(5, E);
  Click(S->Handle(), Centre(E.Rect).X, Centre(E.Rect).Y);
  EXPECT_TRUE(Log.empty());

  // Without CanDeselect a second click keeps it selected.
  S->Items()->Items(6)->SetCanDeselect(false);
  Click(S->Handle(), P.X, P.Y);
  Click(S->Handle(), P.X, P.Y);
  EXPECT_EQ(S->SelectedItemIndex(), 6);
  EXPECT_EQ(Log, (std::vector<std::string>{"sel6", "click6", "sel6", "click6"}));
}

TEST_F(SelectorTest, KeysMoveTheFocusOnToLaterPagesWhichAreThenShown) {
  AddItems(20);
  ShowForm();
  S->SetFocus();
  Application->ProcessMessages();
  std::vector<Integer> Clicks;
  S->OnItemClick = [&](TObject*, Integer I) { Clicks.push_back(I); };
  Key(S->Handle(), VK_DOWN);  // no focus yet: the first selectable item
  EXPECT_EQ(S->FocusedItemIndex(), 0);
  Key(S->Handle(), VK_DOWN);
  EXPECT_EQ(S->FocusedItemIndex(), 4);
  Key(S->Handle(), VK_RIGHT);
  EXPECT_EQ(S->FocusedItemIndex(), 5);
  Key(S->Handle(), VK_UP);
  EXPECT_EQ(S->FocusedItemIndex(), 1);
  Key(S->Handle(), VK_RETURN);
  EXPECT_EQ(S->SelectedItemIndex(), 1);
  EXPECT_TRUE(Clicks.empty());

  // The end is on the second page: it is the page shown and clicked.
  Key(S->Handle(), VK_END);
  EXPECT_EQ(S->FocusedItemIndex(), 19);
  EXPECT_EQ(S->ActivePageIndex(), 1);
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(16, D);
  EXPECT_EQ(S->XYToItem(Centre(D.Rect).X - 135, Centre(D.Rect).Y), 16);
  Form->Repaint();
  Application->ProcessMessages();
  auto Shot = WindowSurfaceImage(Form->Handle());
  SavePicture(*Shot, "selector-second-page");
  Click(S->Handle(), Centre(D.Rect).X - 135, Centre(D.Rect).Y);
  EXPECT_EQ(S->SelectedItemIndex(), 16);
  Key(S->Handle(), VK_HOME);
  EXPECT_EQ(S->ActivePageIndex(), 0);
}

struct PopupTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(300, 200);
    Form->SetLeft(100);
    Form->SetTop(100);
    Anchor = new TPanel(Form.get());
    Anchor->SetParent(Form.get());
    Anchor->SetBounds(20, 20, 120, 24);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TFormPtr Form;
  TPanel* Anchor = nullptr;
};

TEST_F(PopupTest, OpensUnderItsControlWithASelectorAndClosesWhenItIsPicked) {
  auto* Popup = new TVivIzudeNonFocusablePopup(Form.get());
  auto* Sel = new TVivIzudeDefaultSelector(Form.get());
  Sel->SetParent(Form.get());
  Sel->SetBounds(0, 0, 135, 135);
  for (Integer I = 0; I < 16; ++I) Sel->Items()->Add()->SetText(String(1, static_cast<char16_t>(u'A' + I)));
  Popup->SetContentControl(Sel);
  Popup->SetPlacementControl(Anchor);
  Sel->OnItemClick = [&](TObject*, Integer) { Popup->Deactivate(); };
  HWND Active = ::GetActiveWindow();
  Popup->Activate();
  Application->ProcessMessages();
  ASSERT_TRUE(Popup->IsOpen());
  TVivIzudeCustomPopupForm* F = Popup->PopupForm();
  ASSERT_NE(F, nullptr);
  const TPoint Origin = Anchor->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(F->Left(), Origin.X);
  EXPECT_EQ(F->Top(), Origin.Y + 24);
  EXPECT_EQ(F->Width(), 135);
  EXPECT_EQ(F->RealPlacement(), ppBottom);
  EXPECT_EQ(::GetActiveWindow(), Active);  // the popup took no activation
  F->Repaint();
  Application->ProcessMessages();
  SavePicture(*WindowSurfaceImage(F->Handle()), "popup-selector");

  TVivIzudeCustomSelectorDisplayItem D;
  Sel->GetDisplayItem(5, D);
  Click(Sel->Handle(), Centre(D.Rect).X, Centre(D.Rect).Y);
  Application->ProcessMessages();
  EXPECT_EQ(Sel->SelectedItemIndex(), 5);
  EXPECT_FALSE(Popup->IsOpen());
  EXPECT_FALSE(Popup->HasPopupForm());
  EXPECT_FALSE(Sel->Visible());
}

TEST_F(PopupTest, NeverOpensOffEveryMonitorAndFlipsAboveNearTheBottom) {
  auto* Popup = new TVivIzudePopup(Form.get());
  Popup->SetStaysOpen(true);
  Popup->SetPopupFormSize(TSizeF{200, 150});
  const TRect WA = Screen->WorkAreaRect();
  struct TCase {
    const char* Name;
    Integer X, Y;
    TVivIzudePopupPlacement Want;
  };
  const TCase Cases[] = {{"far right and below", WA.Right + 500, WA.Bottom + 500, ppTop},
                         {"far left and above", WA.Left - 900, WA.Top - 900, ppBottom},
                         {"near the bottom", 100, WA.Bottom - 30, ppTop}};
  for (const TCase& C : Cases) {
    Form->SetLeft(C.X);
    Form->SetTop(C.Y);
    Application->ProcessMessages();
    Popup->SetPlacementControl(Anchor);
    Popup->Popup(false);
    Application->ProcessMessages();
    TVivIzudeCustomPopupForm* F = Popup->PopupForm();
    ASSERT_NE(F, nullptr) << C.Name;
    EXPECT_GE(F->Left(), WA.Left) << C.Name;
    EXPECT_GE(F->Top(), WA.Top) << C.Name;
    EXPECT_LE(F->Left() + F->Width(), WA.Right) << C.Name;
    EXPECT_LE(F->Top() + F->Height(), WA.Bottom) << C.Name;
    EXPECT_EQ(F->RealPlacement(), C.Want) << C.Name;
    Popup->SetIsOpen(false);
    Application->ProcessMessages();
    EXPECT_FALSE(Popup->IsOpen());
  }
}

TEST_F(PopupTest, EscapeClosesAFocusablePopupAndItsFormIsFreedOnce) {
  auto* Popup = new TVivIzudePopup(Form.get());
  Popup->SetPlacementControl(Anchor);
  Popup->SetPopupFormSize(TSizeF{100, 60});
  Integer Closed = 0;
  Popup->OnClosePopup = [&](TObject*) { ++Closed; };
  Popup->Popup(false);
  Application->ProcessMessages();
  ASSERT_TRUE(Popup->IsOpen());
  HWND W = Popup->PopupForm()->Handle();
  ::SendMessageW(W, WM_KEYDOWN, VK_ESCAPE, 1);
  Application->ProcessMessages();
  EXPECT_FALSE(Popup->IsOpen());
  EXPECT_FALSE(Popup->HasPopupForm());
  EXPECT_EQ(Closed, 1);
  EXPECT_FALSE(::IsWindow(W));
  // It opens again afterwards.
  Popup->Popup(false);
  Application->ProcessMessages();
  EXPECT_TRUE(Popup->IsOpen());
}

}  // namespace
