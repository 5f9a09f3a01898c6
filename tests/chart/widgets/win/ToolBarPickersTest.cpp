// The tool bar's pickers and the drop-down part of its buttons, on a real
// form under Wine, driven by mouse and key messages; pictures saved as
// pickers-*.png beside the test program for a person to look at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/widgets/win/VivIzudeToolBar.h"
#include "tests/chart/widgets/win/WidgetsTestSupport.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;

namespace {

void SaveShot(const RECT& R, const std::string& Name) {
  testsupport::PumpMessagesFor(200);
  auto Shot = testsupport::ScreenImage(R);
  testsupport::SavePng(Shot.get(), "pickers-" + Name + ".png");
}

// A click, then what it set off.
void ClickAndPump(TWinControl* C, Integer X, Integer Y) {
  widgets_test::Click(C, X, Y);
  Application->ProcessMessages();
}

// A key going down and coming up, as the keyboard sends it.
void Key(TWinControl* C, Word K) {
  ::SendMessageW(C->Handle(), WM_KEYDOWN, K, 1);
  ::SendMessageW(C->Handle(), WM_KEYUP, K, static_cast<LPARAM>(0xC0000001));
  Application->ProcessMessages();
}

void Type(TWinControl* C, Char Ch) {
  ::SendMessageW(C->Handle(), WM_CHAR, Ch, 1);
  Application->ProcessMessages();
}

// The middle of the arrow part.
void ClickArrow(TVivIzudeCustomToolBarButton* B) {
  TVivIzudeToolBarDropDownButton* D = B->GetDropDownButtonControl();
  ClickAndPump(D, D->Width() / 2, D->Height() / 2);
}

// A press and release by the system's own input, so that activation moves
// as it does for a person.
void RealClick(TWinControl* C, Integer X, Integer Y) {
  const TPoint P = C->ClientToScreen({X, Y});
  const int ScreenW = ::GetSystemMetrics(SM_CXSCREEN), ScreenH = ::GetSystemMetrics(SM_CYSCREEN);
  for (DWORD Flags : {DWORD(0), DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
    INPUT In{};
    In.type = INPUT_MOUSE;
    In.mi.dx = static_cast<LONG>((P.X * 65536 + ScreenW / 2) / ScreenW);
    In.mi.dy = static_cast<LONG>((P.Y * 65536 + ScreenH / 2) / ScreenH);
    In.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | Flags;
    ::SendInput(1, &In, sizeof(In));
    testsupport::PumpMessagesFor(100);
  }
}

void RealClickArrow(TVivIzudeCustomToolBarButton* B) {
  TVivIzudeToolBarDropDownButton* D = B->GetDropDownButtonControl();
  RealClick(D, D->Width() / 2, D->Height() / 2);
}

TColor PixelAt(TBitmap* Shot, Integer X, Integer Y) { return ::GetPixel(Shot->Canvas()->Handle(), X, Y); }

RECT ScreenRectOf(TWinControl* C, Integer ExtraBelow = 0) {
  const TPoint P = C->ClientToScreen({0, 0});
  return RECT{P.X - 4, P.Y - 4, P.X + C->Width() + 4, P.Y + C->Height() + 4 + ExtraBelow};
}

struct PickersTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(640, 300);
    Form->SetColor(0xF0F0F0);
    Form->SetLeft(40);
    Form->SetTop(40);
    Bar = new TVivIzudeToolBar(Form.get());
    Bar->SetLeft(10);
    Bar->SetTop(10);
    Bar->SetParent(Form.get());
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
  TFormPtr Form;
  TVivIzudeToolBar* Bar = nullptr;
};

// ---------------------------------------------------------------- tool bar

// A tool bar that answers a picker class of its own, as a descendant would.
struct TMarkedColorPicker : TVivIzudeToolBarColorPicker {
  using TVivIzudeToolBarColorPicker::TVivIzudeToolBarColorPicker;
};
struct TOwnPickerToolBar : TVivIzudeToolBar {
  using TVivIzudeToolBar::TVivIzudeToolBar;
  TVivIzudeToolBarElementClass<TVivIzudeToolBarColorPicker> GetColorPickerClass() const override {
    return NewToolBarElement<TMarkedColorPicker, TVivIzudeToolBarColorPicker>;
  }
};

TEST_F(PickersTest, AddOperationsMakeEveryPickerKindInPlace) {
  Bar->Appearance()->SetFlatStyle(true);
  auto* Color = Bar->AddColorPicker();
  auto* Bitmap = Bar->AddBitmapPicker();
  auto* Item = Bar->AddItemPicker();
  auto* Name = Bar->AddFontNamePicker();
  auto* Size = Bar->AddFontSizePicker(0);
  ShowForm();
  // AIndex 0 puts the font-size picker first; -1 appends.
  ASSERT_EQ(Bar->ControlCount(), 6);  // the five and the options-menu button
  EXPECT_EQ(Bar->Controls(0), Size);
  EXPECT_EQ(Bar->Controls(1), Color);
  EXPECT_EQ(Bar->Controls(4), Name);
  const std::vector<std::pair<TVivIzudeCustomToolBarButton*, std::u16string>> Made = {
      {Color, u"Color"}, {Bitmap, u"Bitmap"}, {Item, u""}, {Name, u"Font Name"}, {Size, u"Font Size"}};
  for (const auto& [Picker, MenuText] : Made) {
    EXPECT_EQ(Picker->Owner(), Bar);
    EXPECT_EQ(Picker->Parent(), Bar);
    EXPECT_EQ(Picker->DropDownKind(), ddkDropDownButton);
    EXPECT_TRUE(Picker->GetDropDownButtonControl()->Visible());
    EXPECT_TRUE(Picker->CloseOnSelection());
    EXPECT_TRUE(Picker->Appearance()->FlatStyle());
    EXPECT_EQ(Picker->AutoOptionsMenuText(), MenuText);
  }
  EXPECT_EQ(Color->Width(), 40);
  EXPECT_EQ(Bitmap->Width(), 40);
  EXPECT_EQ(Item->Width(), 100);
  EXPECT_EQ(Color->DropDownWidth(), 175);
  EXPECT_EQ(Color->DropDownHeight(), 125);
  EXPECT_EQ(Item->DropDownWidth(), 200);
  EXPECT_EQ(Item->DropDownHeight(), 150);
  SaveShot(ScreenRectOf(Bar), "toolbar");

  auto* Own = new TOwnPickerToolBar(Form.get());
  Own->SetParent(Form.get());
  EXPECT_NE(dynamic_cast<TMarkedColorPicker*>(Own->AddColorPicker()), nullptr);
}

TEST_F(PickersTest, DropDownKindsDecideWhereAPressOpensThePopup) {
  auto* B = Bar->AddButton(-1, -1, u"", u"", u"Open");
  ShowForm();
  int Opened = 0, Closed = 0, Before = 0;
  B->OnBeforeDropDown = [&](TObject*) { ++Before; };
  B->OnDropDown = [&](TObject*) { ++Opened; };
  B->OnCloseDropDown = [&](TObject*) { ++Closed; };

  // Without a drop-down part, Enter does nothing.
  B->SetFocus();
  Key(B, VK_RETURN);
  EXPECT_FALSE(B->GetPopupControl()->IsOpen());
  EXPECT_EQ(B->GetDropDownRect().Left, static_cast<float>(B->Width()));

  // The arrow part only: a press on the body does not open, the arrow does.
  B->SetDropDownKind(ddkDropDownButton);
  Application->ProcessMessages();
  EXPECT_EQ(B->GetDropDownButtonControl()->Parent(), B);
  EXPECT_EQ(B->GetDropDownButtonControl()->Width(), 17);
  EXPECT_EQ(B->GetDropDownRect().Left, static_cast<float>(B->Width() - 17));
  RealClick(B, 5, 5);
  EXPECT_FALSE(B->GetPopupControl()->IsOpen());
  RealClickArrow(B);
  EXPECT_TRUE(B->GetPopupControl()->IsOpen());
  EXPECT_TRUE(Bar->DropDownActive());
  SaveShot(ScreenRectOf(Bar, 140), "button-open");
  // Again: the press takes the activation from the popup, which closes,
  // and the click does not open it again.
  RealClickArrow(B);
  testsupport::PumpMessagesFor(200);
  EXPECT_FALSE(B->GetPopupControl()->IsOpen());
  EXPECT_FALSE(Bar->DropDownActive());
  // F4 on such a button opens its popup.
  B->SetFocus();
  Key(B, VK_F4);
  EXPECT_TRUE(B->GetPopupControl()->IsOpen());
  B->CloseDropDown();

  // The whole button: a press anywhere opens.
  B->SetDropDownKind(ddkDropDown);
  Application->ProcessMessages();
  EXPECT_FALSE(B->GetDropDownButtonControl()->Visible());
  B->Invalidate();
  SaveShot(ScreenRectOf(Bar), "button-whole-drop-down");
  ClickAndPump(B, 5, 5);
  EXPECT_TRUE(B->GetPopupControl()->IsOpen());
  B->CloseDropDown();
  Application->ProcessMessages();
  EXPECT_EQ(Before, 3);
  EXPECT_EQ(Opened, 3);
  EXPECT_EQ(Closed, 3);

  B->SetDropDownPosition(ddpBottom);
  EXPECT_EQ(B->GetDropDownRect().Top, static_cast<float>(B->Height() - 10));
  B->SetDropDownKind(ddkNormal);
  EXPECT_EQ(B->GetDropDownButtonControl()->Parent(), nullptr);
}

TEST_F(PickersTest, AnArrowThatAdaptsToAStyleTakesTheFocusColour) {
  auto* P = Bar->AddItemPicker();
  ShowForm();
  const auto ArrowHasFocusColour = [&] {
    TVivIzudeToolBarDropDownButton* D = P->GetDropDownButtonControl();
    D->Invalidate();
    D->Update();
    testsupport::PumpMessagesFor(50);
    auto Shot = testsupport::ClientSurfaceImage(D);
    for (Integer X = 0; X < D->Width(); ++X)
      for (Integer Y = 0; Y < D->Height(); ++Y)
        if (PixelAt(Shot.get(), X, Y) == DefaultFocusColor) return true;
    return false;
  };
  EXPECT_FALSE(ArrowHasFocusColour());  // the glyph
  P->SetAdaptToStyle(true);
  EXPECT_TRUE(P->GetDropDownButtonControl()->AdaptToStyle());
  EXPECT_TRUE(ArrowHasFocusColour());
  SaveShot(ScreenRectOf(Bar), "arrow-styled");
}

TEST_F(PickersTest, RenamingAButtonShowingItsNameShowsTheNewName) {
  struct TCase {
    const char* Name;
    const char16_t* Text;
    bool ApplyName;
    const char16_t* NewName;
    const char16_t* Want;
  };
  const TCase Cases[] = {
      {"text was the old name", u"", true, u"VivIzudeToolBarButtonBold", u"ButtonBold"},
      {"own text stays", u"Bold", true, u"VivIzudeToolBarButtonItalic", u"Bold"},
      {"switched off", u"", false, u"VivIzudeToolBarButtonUnder", u""},
  };
  for (const TCase& C : Cases) {
    auto* B = Bar->AddButton(-1, -1, u"", u"", C.Text);
    B->SetApplyName(C.ApplyName);
    B->SetName(C.NewName);
    EXPECT_EQ(B->Text(), C.Want) << C.Name;
  }
}

// ---------------------------------------------------------------- item pickers

TEST_F(PickersTest, FontSizePickerKeysChooseAsTheTableSays) {
  auto* P = Bar->AddFontSizePicker();
  ShowForm();
  EXPECT_EQ(P->SelectedFontSize(), -1);  // a new picker has no selection
  EXPECT_EQ(P->GetText(), u"");
  std::vector<float> Reported;
  P->OnFontSizeSelected = [&](TObject*, float S) { Reported.push_back(S); };

  struct TCase {
    const char* Name;
    Integer From;
    Word KeyDown;  // 0: a typed character instead
    Char Typed;
    Integer Want;
    bool Reports;
  };
  const TCase Cases[] = {
      {"Home", -1, VK_HOME, 0, 0, true},
      {"End", -1, VK_END, 0, 15, true},
      {"Right from none", -1, VK_RIGHT, 0, 0, true},
      {"Down", 3, VK_DOWN, 0, 4, true},
      {"Right at the last", 15, VK_RIGHT, 0, 15, true},
      {"Left from none", -1, VK_LEFT, 0, 0, true},
      {"Left at the first", 0, VK_LEFT, 0, 0, true},
      {"Up", 5, VK_UP, 0, 4, true},
      {"typed 3 selects 36", 0, 0, u'3', 13, true},
      {"typed 7 selects 72", 0, 0, u'7', 15, true},
      {"typed 5 selects nothing", 2, 0, u'5', 2, false},
      {"typed space is no choice", 2, 0, u' ', 2, false},
  };
  for (const TCase& C : Cases) {
    P->SetSelectedItemIndex(C.From);
    Reported.clear();
    P->SetFocus();
    if (C.KeyDown)
      ::SendMessageW(P->Handle(), WM_KEYDOWN, C.KeyDown, 1);
    else
      Type(P, C.Typed);
    Application->ProcessMessages();
    EXPECT_EQ(P->SelectedItemIndex(), C.Want) << C.Name;
    EXPECT_EQ(Reported.size(), C.Reports ? 1u : 0u) << C.Name;
    if (C.Reports && !Reported.empty()) {
      EXPECT_EQ(Reported[0], P->SelectedFontSize()) << C.Name;
    }
  }
  P->SetSelectedItemIndex(-1);
  Key(P, VK_HOME);
  EXPECT_EQ(P->SelectedFontSize(), 8);
  EXPECT_EQ(P->GetText(), u"8");
  Key(P, VK_END);
  EXPECT_EQ(P->SelectedFontSize(), 72);
  SaveShot(ScreenRectOf(Bar), "font-size-72");
}

TEST_F(PickersTest, SelectingByValueFindsOnlyWhatIsInTheList) {
  auto* Size = Bar->AddFontSizePicker();
  auto* Name = Bar->AddFontNamePicker();
  auto* Item = Bar->AddItemPicker();
  int Events = 0;
  Size->OnFontSizeSelected = [&](TObject*, float) { ++Events; };
  Name->OnFontNameSelected = [&](TObject*, const String&) { ++Events; };
  struct TCase {
    float Size;
    Integer Want;
  };
  for (const TCase& C : {TCase{12, 4}, TCase{13, -1}, TCase{72, 15}, TCase{8.5f, -1}, TCase{-1, -1}}) {
    Size->SetSelectedFontSize(C.Size);
    EXPECT_EQ(Size->SelectedItemIndex(), C.Want) << C.Size;
    EXPECT_EQ(Size->SelectedFontSize(), C.Want < 0 ? -1 : C.Size) << C.Size;
  }
  // The screen's fonts, sorted, each once.
  TStringList* Fonts = Name->Items();
  ASSERT_GT(Fonts->Count(), 0);
  for (Integer I = 1; I < Fonts->Count(); ++I) EXPECT_LT(CompareText(Fonts->Strings(I - 1), Fonts->Strings(I)), 0);
  const String Some = Fonts->Strings(Fonts->Count() / 2);
  Name->SetSelectedFontName(Some);
  EXPECT_EQ(Name->SelectedFontName(), Some);
  Name->SetSelectedFontName(u"No Such Font Family");
  EXPECT_EQ(Name->SelectedItemIndex(), -1);
  EXPECT_EQ(Name->SelectedFontName(), u"");
  EXPECT_EQ(Events, 0);  // selecting from code reports nothing

  // An item that is no number reads as no size, never as an error.
  TStringList Odd;
  Odd.Add(u"big");
  Size->SetItems(&Odd);
  Size->SetSelectedItemIndex(0);
  EXPECT_EQ(Size->SelectedFontSize(), -1);
  // Without items the keys leave the picker alone.
  Item->SetFocus();
  for (Word K : {VK_HOME, VK_END, VK_RIGHT, VK_LEFT}) {
    ::SendMessageW(Item->Handle(), WM_KEYDOWN, K, 1);
    EXPECT_EQ(Item->SelectedItemIndex(), -1);
  }
}

TEST_F(PickersTest, FontNamePickerChoosesAFamilyByItsFirstLetter) {
  auto* P = Bar->AddFontNamePicker();
  ShowForm();
  std::vector<String> Reported;
  P->OnFontNameSelected = [&](TObject*, const String& N) { Reported.push_back(N); };
  P->SetFocus();
  Type(P, u'l');
  ASSERT_EQ(Reported.size(), 1u);
  EXPECT_EQ(Reported[0], P->SelectedFontName());
  ASSERT_FALSE(Reported[0].empty());
  EXPECT_TRUE(Reported[0][0] == u'L' || Reported[0][0] == u'l');
  // The first family of that letter, in the sorted list.
  const Integer I = P->SelectedItemIndex();
  if (I > 0) {
    const String Before = P->Items()->Strings(I - 1);
    EXPECT_NE(UpperCase(Before.substr(0, 1)), u"L");
  }
  ClickArrow(P);
  ASSERT_TRUE(P->GetPopupControl()->IsOpen());
  EXPECT_EQ(P->ItemSelector()->ItemIndex(), I);
  SaveShot(ScreenRectOf(P, 160), "font-name-open");
  Key(P->ItemSelector(), VK_ESCAPE);
  EXPECT_FALSE(P->GetPopupControl()->IsOpen());
  EXPECT_EQ(Reported.size(), 1u);
}

TEST_F(PickersTest, EveryTypedCharacterIsSafeAsAPattern) {
  auto* P = Bar->AddItemPicker();
  TStringList L;
  for (const char16_t* S : {u"(open", u"a|b", u"=eq", u"!bang", u">10", u"*star", u"?q", u"alpha", u"Beta"}) L.Add(S);
  P->SetItems(&L);
  ShowForm();
  P->SetFocus();
  for (Char Ch = 33; Ch < 127; ++Ch) {
    P->SetSelectedItemIndex(-1);
    Type(P, Ch);
    const Integer I = P->SelectedItemIndex();
    ASSERT_GE(I, -1);
    ASSERT_LT(I, L.Count());
  }
  // Letters match ignoring case; the first match in list order wins.
  Type(P, u'b');
  EXPECT_EQ(P->GetText(), u"Beta");
  Type(P, u'A');
  EXPECT_EQ(P->GetText(), u"a|b");
}

TEST_F(PickersTest, TheListChoosesWithEnterSpaceOrAClickButNotWithArrows) {
  auto* P = Bar->AddItemPicker();
  TStringList L;
  for (const char16_t* S : {u"One", u"Two", u"Three", u"Four"}) L.Add(S);
  P->SetItems(&L);
  P->SetSelectedItemIndex(1);
  std::vector<Integer> Chosen;
  P->OnItemSelected = [&](TObject*, Integer I) { Chosen.push_back(I); };
  ShowForm();

  ClickArrow(P);
  ASSERT_TRUE(P->GetPopupControl()->IsOpen());
  TListBox* List = P->ItemSelector();
  ASSERT_EQ(List->Items()->Count(), 4);
  EXPECT_EQ(List->Items()->Strings(2), u"Three");
  EXPECT_EQ(List->ItemIndex(), 1);  // the selection shows in the list
  SaveShot(ScreenRectOf(P, 160), "item-list-open");

  Key(List, VK_DOWN);
  Key(List, VK_DOWN);
  EXPECT_EQ(List->ItemIndex(), 3);
  EXPECT_EQ(P->SelectedItemIndex(), 1);  // arrows move, they do not choose
  EXPECT_TRUE(Chosen.empty());
  Key(List, VK_RETURN);
  EXPECT_EQ(P->SelectedItemIndex(), 3);
  EXPECT_EQ(Chosen, std::vector<Integer>{3});
  EXPECT_FALSE(P->GetPopupControl()->IsOpen());  // CloseOnSelection
  EXPECT_EQ(P->GetText(), u"Four");

  // Space chooses too; without CloseOnSelection the list stays open.
  P->SetCloseOnSelection(false);
  ClickArrow(P);
  ASSERT_TRUE(P->GetPopupControl()->IsOpen());
  Key(List, VK_UP);
  Key(List, VK_SPACE);
  EXPECT_EQ(P->SelectedItemIndex(), 2);
  EXPECT_TRUE(P->GetPopupControl()->IsOpen());

  // A click on an item chooses it.
  const Integer H = List->ItemHeight();
  ClickAndPump(List, 10, H / 2);
  EXPECT_EQ(P->SelectedItemIndex(), 0);
  EXPECT_EQ(Chosen, (std::vector<Integer>{3, 2, 0}));
  P->CloseDropDown();
  Application->ProcessMessages();
  EXPECT_FALSE(P->GetPopupControl()->IsOpen());
  SaveShot(ScreenRectOf(Bar), "item-chosen");
}

TEST_F(PickersTest, AnEditablePickerSelectsWhatIsTypedAndOpensOnF4) {
  auto* P = Bar->AddFontSizePicker();
  ShowForm();
  int EditChanges = 0, Chosen = 0;
  P->OnEditChange = [&](TObject*) { ++EditChanges; };
  P->OnItemSelected = [&](TObject*, Integer) { ++Chosen; };
  EXPECT_EQ(P->Edit()->Parent(), nullptr);
  P->SetEditable(true);
  Application->ProcessMessages();
  EXPECT_EQ(P->Edit()->Parent(), P);
  EXPECT_TRUE(P->Edit()->Visible());

  // Focus on the picker goes on to the edit.
  P->SetFocus();
  EXPECT_TRUE(testsupport::PumpMessagesUntil([&] { return P->Edit()->Focused(); }, 2000));

  Type(P->Edit(), u'1');
  Type(P->Edit(), u'4');
  EXPECT_EQ(P->Edit()->Text(), u"14");
  EXPECT_EQ(P->SelectedFontSize(), 14);
  EXPECT_EQ(P->GetText(), u"14");
  Type(P->Edit(), u'5');
  EXPECT_EQ(P->SelectedItemIndex(), -1);  // "145" is no item
  EXPECT_EQ(EditChanges, 3);
  EXPECT_EQ(Chosen, 0);

  ::SendMessageW(P->Edit()->Handle(), WM_KEYDOWN, VK_F4, 1);
  Application->ProcessMessages();
  ASSERT_TRUE(P->GetPopupControl()->IsOpen());
  SaveShot(ScreenRectOf(P, 160), "editable-open");
  TListBox* List = P->ItemSelector();
  Key(List, VK_HOME);
  Key(List, VK_RETURN);
  EXPECT_EQ(P->SelectedFontSize(), 8);
  EXPECT_EQ(P->Edit()->Text(), u"8");  // the choice is written into the edit
  EXPECT_EQ(Chosen, 1);

  P->SetEditable(false);
  EXPECT_EQ(P->Edit()->Parent(), nullptr);
  EXPECT_EQ(P->GetText(), u"8");
}

// ---------------------------------------------------------------- colour picker

TEST_F(PickersTest, ColorPickerShowsItsColourAndChoosesFromTheGrid) {
  auto* P = Bar->AddColorPicker();
  std::vector<TColor> Reported;
  P->OnColorSelected = [&](TObject*, TColor C) { Reported.push_back(C); };
  ShowForm();
  EXPECT_EQ(P->SelectedColor(), 0);  // black after construction
  const Integer SwatchX = (P->Width() - 17) / 2, SwatchY = P->Height() / 2;
  {
    auto Shot = testsupport::ClientSurfaceImage(P);
    EXPECT_EQ(PixelAt(Shot.get(), SwatchX, SwatchY), 0x000000);
  }
  SaveShot(ScreenRectOf(Bar), "color-black");

  ClickArrow(P);
  ASSERT_TRUE(P->GetPopupControl()->IsOpen());
  TVivIzudeColorSelector* S = P->ColorSelector();
  SaveShot(ScreenRectOf(S), "color-open");
  const Integer Pick = 12;
  const TColor Want = S->FindColorByItem(Pick);
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(Pick, D);
  ClickAndPump(S, static_cast<Integer>((D.Rect.Left + D.Rect.Right) / 2),
               static_cast<Integer>((D.Rect.Top + D.Rect.Bottom) / 2));
  EXPECT_EQ(P->SelectedColor(), Want);
  EXPECT_EQ(Reported, std::vector<TColor>{Want});
  EXPECT_FALSE(P->GetPopupControl()->IsOpen());
  P->Update();
  {
    auto Shot = testsupport::ClientSurfaceImage(P);
    EXPECT_EQ(PixelAt(Shot.get(), SwatchX, SwatchY), Want);
  }

  // -1 shows the chequer: white and light grey squares, no colour.
  P->SetSelectedColor(-1);
  EXPECT_EQ(P->SelectedColor(), -1);
  P->Update();
  testsupport::PumpMessagesFor(50);
  {
    auto Shot = testsupport::ClientSurfaceImage(P);
    bool White = false, Grey = false;
    for (Integer X = 6; X < P->Width() - 17 - 6; ++X)
      for (Integer Y = 6; Y < P->Height() - 6; ++Y) {
        const TColor C = PixelAt(Shot.get(), X, Y);
        White |= C == 0xFFFFFF;
        Grey |= C == 0xD3D3D3;
      }
    EXPECT_TRUE(White);
    EXPECT_TRUE(Grey);
  }
  SaveShot(ScreenRectOf(Bar), "color-none");
  EXPECT_EQ(Reported.size(), 1u);  // setting from code reports nothing

  // Freed with its drop-down open: the popup, its form and the selector go
  // once each.
  ClickArrow(P);
  ASSERT_TRUE(P->GetPopupControl()->IsOpen());
  HWND PopupWindow = P->GetPopupControl()->PopupForm()->Handle();
  delete Bar;
  Bar = nullptr;
  Application->ProcessMessages();
  EXPECT_FALSE(::IsWindow(PopupWindow));
}

TEST_F(PickersTest, TheLargeStateScalesTheDropDownAndBack) {
  auto* P = Bar->AddColorPicker();
  struct TCase {
    TVivIzudeToolBarElementState State;
    float Width, Height;
  };
  for (const TCase& C : {TCase{esLarge, 218.75f, 156.25f}, TCase{esNormal, 175, 125}}) {
    Bar->SetState(C.State);
    EXPECT_FLOAT_EQ(P->DropDownWidth(), C.Width);
    EXPECT_FLOAT_EQ(P->DropDownHeight(), C.Height);
    EXPECT_FLOAT_EQ(P->GetPopupControl()->DropDownWidth(), C.Width);
  }
  EXPECT_EQ(P->Width(), 40);
}

// ---------------------------------------------------------------- bitmap picker

TEST_F(PickersTest, BitmapPickerFaceShowsThePictureChosenLast) {
  auto* P = Bar->AddBitmapPicker();
  const TColor Colors[] = {0x0000FF, 0x00FF00, 0xFF0000};
  for (TColor C : Colors) P->Items()->Add()->SetBitmap(MakePicture(16, 16, C).get());
  P->BitmapSelector()->SetColumns(3);
  P->BitmapSelector()->SetRows(1);
  std::vector<TPicture*> Reported;
  P->OnBitmapSelected = [&](TObject*, TPicture* B) { Reported.push_back(B); };
  ShowForm();
  EXPECT_FALSE(P->BitmapVisible());

  const auto FaceShows = [&](TColor C) {
    P->Update();
    testsupport::PumpMessagesFor(50);
    auto Shot = testsupport::ClientSurfaceImage(P);
    const TRectF R = P->GetBitmapRect();
    return PixelAt(Shot.get(), static_cast<Integer>((R.Left + R.Right) / 2),
                   static_cast<Integer>((R.Top + R.Bottom) / 2)) == C;
  };

  P->SetSelectedItemIndex(1);
  EXPECT_TRUE(Reported.empty());
  EXPECT_TRUE(P->BitmapVisible());
  EXPECT_TRUE(FaceShows(Colors[1]));

  ClickArrow(P);
  ASSERT_TRUE(P->GetPopupControl()->IsOpen());
  TVivIzudeBitmapSelector* S = P->BitmapSelector();
  SaveShot(ScreenRectOf(Bar, 150), "bitmap-open");
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(2, D);
  ClickAndPump(S, static_cast<Integer>((D.Rect.Left + D.Rect.Right) / 2),
               static_cast<Integer>((D.Rect.Top + D.Rect.Bottom) / 2));
  EXPECT_FALSE(P->GetPopupControl()->IsOpen());
  ASSERT_EQ(Reported.size(), 1u);
  EXPECT_EQ(Reported[0], S->Items()->Items(2)->Bitmap());
  EXPECT_EQ(P->SelectedItemIndex(), 2);
  // Every state's list holds the one picture.
  for (TVivScaledBitmaps* L : {P->Bitmaps(), P->HoverBitmaps(), P->DisabledBitmaps()}) {
    ASSERT_EQ(L->Count(), 1);
    EXPECT_EQ(L->Items(0)->Scale(), 1.0f);
  }
  EXPECT_TRUE(FaceShows(Colors[2]));
  P->SetEnabled(false);
  EXPECT_TRUE(FaceShows(Colors[2]));
  SaveShot(ScreenRectOf(Bar), "bitmap-chosen");
  // The picture stays left of the arrow part.
  EXPECT_LE(P->GetBitmapRect().Right, P->GetDropDownRect().Left - 3);
}

}  // namespace
