// The typed edit on a real form under Wine, typed into by posted key-down
// and key-up messages (the message loop turns them into characters);
// pictures saved as edit-*.png beside the test program for a person to
// look at.
#include <gtest/gtest.h>

#include <string>

#include "chart/drawing/win/VivIzudeUtils.h"
#include "chart/widgets/VivIzudePersistence.h"
#include "chart/widgets/win/VivIzudeEdit.h"
#include "chart/widgets/win/VivIzudeToolBarButton.h"
#include "rtl/ObservableMembers.h"
#include "tests/chart/widgets/win/WidgetsTestSupport.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "vcl/Pictures.h"

using namespace widgets_test;

namespace {

void SaveShot(HWND Wnd, const std::string& Name) {
  testsupport::PumpMessagesFor(150);
  auto Shot = testsupport::ScreenImageOfWindow(Wnd);
  testsupport::SavePng(Shot.get(), "edit-" + Name + ".png");
}

void SetModifierState(bool Shift, bool Ctrl) {
  BYTE State[256] = {};
  ::GetKeyboardState(State);
  State[VK_SHIFT] = State[VK_LSHIFT] = Shift ? 0x80 : 0;
  State[VK_CONTROL] = State[VK_LCONTROL] = Ctrl ? 0x80 : 0;
  ::SetKeyboardState(State);
}

// One key pressed and released on the window, as the keyboard would send it.
void PressKey(HWND Wnd, WORD Vk, bool Shift = false, bool Ctrl = false) {
  SetModifierState(Shift, Ctrl);
  const LPARAM Scan = static_cast<LPARAM>(::MapVirtualKeyW(Vk, MAPVK_VK_TO_VSC)) << 16;
  ::PostMessageW(Wnd, WM_KEYDOWN, Vk, 1 | Scan);
  testsupport::PumpMessagesFor(15);
  ::PostMessageW(Wnd, WM_KEYUP, Vk, static_cast<LPARAM>(0xC0000001) | Scan);
  testsupport::PumpMessagesFor(15);
  SetModifierState(false, false);
}

void TypeText(HWND Wnd, const String& Text) {
  for (Char C : Text) {
    const SHORT Vk = ::VkKeyScanW(static_cast<wchar_t>(C));
    ASSERT_NE(Vk, -1) << "no key types " << static_cast<int>(C);
    PressKey(Wnd, static_cast<WORD>(Vk & 0xFF), (Vk & 0x100) != 0, (Vk & 0x200) != 0);
  }
}

struct EditTest : ::testing::Test {
  void SetUp() override {
    FormatSettings.DecimalSeparator = u'.';
    FormatSettings.ThousandSeparator = u',';
    Form = NewForm(420, 260);
    Form->SetColor(0xF0F0F0);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TVivIzudeEdit* NewEdit(Integer X, Integer Y, TVivIzudeEditType T) {
    auto* E = new TVivIzudeEdit(Form.get());
    E->SetBounds(X, Y, 160, 22);
    E->SetParent(Form.get());
    E->SetEditType(T);
    return E;
  }
  void ShowForm() {
    Form->Show();
    Form->Update();
    testsupport::PumpMessagesFor(100);
  }
  TFormPtr Form;
};

}  // namespace

TEST_F(EditTest, TheTextIsRegisteredAsTheEditsObservableValue) {
  EXPECT_EQ(TObservableMembers::ValuePropertyName(u"TVivIzudeEdit", u"VCL"), u"Text");
}

TEST_F(EditTest, EachTypeKeepsOnlyTheCharactersItTakes) {
  struct Case {
    TVivIzudeEditType Type;
    const char16_t* Typed;
    const char16_t* Expected;
  };
  const Case Cases[] = {
      {etString, u"a-b c", u"a-b c"},    {etNumeric, u"12a-3", u"123"},
      {etSignedNumeric, u"12-", u"-12"},  // the sign goes in front
      {etFloat, u"1.2.3x-", u"1.23"},    {etSignedFloat, u"1.5-", u"-1.5"},
      {etUppercase, u"abC", u"ABC"},     {etMixedCase, u"john smith ii", u"John Smith II"},
      {etLowerCase, u"AbC", u"abc"},     {etMoney, u"1234567", u"1,234,567"},
      {etHex, u"fg1z", u"f1"},           {etAlphaNumeric, u"a b-1", u"ab1"},
      {etValidChars, u"xaYz", u"xYz"},
  };
  std::vector<TVivIzudeEdit*> Edits;
  Integer Row = 0;
  for (const Case& C : Cases) {
    auto* E = NewEdit(10 + (Row % 2) * 200, 10 + (Row / 2) * 30, C.Type);
    E->SetValidChars(u"XYZ");
    E->SetAllowNumericNullValue(true);
    E->SetText(u"");
    Edits.push_back(E);
    ++Row;
  }
  ShowForm();
  for (size_t I = 0; I < Edits.size(); ++I) {
    TypeText(Edits[I]->Handle(), Cases[I].Typed);
    EXPECT_EQ(Edits[I]->Text(), Cases[I].Expected) << "type " << static_cast<int>(Cases[I].Type);
    EXPECT_TRUE(Edits[I]->Modified()) << "type " << static_cast<int>(Cases[I].Type);
  }
  EXPECT_EQ(Edits[2]->FloatValue(), -12);  // signed numeric: the sign kept
  EXPECT_EQ(Edits[2]->IntValue(), -12);
  EXPECT_EQ(Edits[4]->FloatValue(), -1.5);
  EXPECT_EQ(Edits[8]->FloatValue(), 1234567);
  EXPECT_EQ(Edits[9]->IntValue(), 0xF1);
  SaveShot(Form->Handle(), "types");
}

TEST_F(EditTest, BackspaceRegroupsMoneyAndTheSignMovesAtOnce) {
  auto* Money = NewEdit(10, 10, etMoney);
  auto* Signed = NewEdit(10, 40, etSignedNumeric);
  Money->SetAllowNumericNullValue(true);
  Money->SetText(u"");  // the type change left "0"
  ShowForm();
  TypeText(Money->Handle(), u"12345");
  EXPECT_EQ(Money->Text(), u"12,345");
  PressKey(Money->Handle(), VK_BACK);
  EXPECT_EQ(Money->Text(), u"1,234");
  EXPECT_TRUE(Money->Modified());
  TypeText(Signed->Handle(), u"4-");
  EXPECT_EQ(Signed->Text(), u"-4");
  TypeText(Signed->Handle(), u"2");
  EXPECT_EQ(Signed->Text(), u"-42");  // the caret stayed at the end
  TypeText(Signed->Handle(), u"-");
  EXPECT_EQ(Signed->Text(), u"-42");  // a second sign is refused
}

TEST_F(EditTest, LengthLimitStopsTheIntegerPartButNotTheFraction) {
  auto* E = NewEdit(10, 10, etFloat);
  E->SetAllowNumericNullValue(true);
  E->SetText(u"");
  E->SetLengthLimit(3);
  ShowForm();
  TypeText(E->Handle(), u"1234");
  EXPECT_EQ(E->Text(), u"123");
  TypeText(E->Handle(), u".56");
  EXPECT_EQ(E->Text(), u"123.56");
  E->SetCaretPosition(1);
  TypeText(E->Handle(), u"9");
  EXPECT_EQ(E->Text(), u"123.56");
}

TEST_F(EditTest, CtrlVPastesOnlyWhatTheTypeAcceptsAndOnlyOnce) {
  auto* E = NewEdit(10, 10, etFloat);
  E->SetAllowNumericNullValue(true);
  E->SetText(u"");
  auto* Mixed = NewEdit(10, 40, etMixedCase);
  ShowForm();
  TVivClipBoard::SetText(u"123");
  PressKey(E->Handle(), 'V', false, true);
  EXPECT_EQ(E->Text(), u"");
  TVivClipBoard::SetText(u"1.5");
  PressKey(E->Handle(), 'V', false, true);
  EXPECT_EQ(E->Text(), u"1.5");
  EXPECT_EQ(E->SelStart(), 3);
  TVivClipBoard::SetText(u"x2");  // the context menu's paste is filtered too
  ::SendMessageW(E->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(E->Text(), u"1.5");
  TVivClipBoard::SetText(u"o'neil");
  PressKey(Mixed->Handle(), 'V', false, true);
  EXPECT_EQ(Mixed->Text(), u"O'Neil");
}

TEST_F(EditTest, TextAndNumberAssignmentsFollowTheType) {
  auto* Numeric = NewEdit(10, 10, etNumeric);
  auto* Float = NewEdit(10, 40, etFloat);
  auto* Money = NewEdit(10, 70, etMoney);
  auto* Hex = NewEdit(10, 100, etHex);
  Numeric->SetText(u"-5");
  EXPECT_EQ(Numeric->Text(), u"0");
  Numeric->SetFloatValue(123456);
  EXPECT_EQ(Numeric->Text(), u"123456");
  EXPECT_TRUE(Numeric->Modified());
  Numeric->SetText(u"7");
  EXPECT_FALSE(Numeric->Modified());
  EXPECT_EQ(Float->Precision(), 0);
  Float->SetPrecision(2);
  Float->SetText(u"3.14159");
  EXPECT_EQ(Float->Text(), u"3.14");
  Float->SetPrecisionDisplay(pdShortest);
  Float->SetText(u"3.14159");
  EXPECT_EQ(Float->Text(), u"3.14159");
  Money->SetPrecision(2);
  Money->SetFloatValue(1234567);
  EXPECT_EQ(Money->Text(), u"1,234,567.00");
  Hex->SetIntValue(255);
  EXPECT_EQ(Hex->Text(), u"FF");
  EXPECT_EQ(Hex->IntValue(), 255);
  Hex->SetText(u"xyz");
  EXPECT_EQ(Hex->Text(), u"XYZ");  // letters are alphanumeric: kept, upper-cased
  Hex->SetEditType(etNumeric);
  EXPECT_EQ(Hex->Text(), u"0");
}

TEST_F(EditTest, LeavingAFloatEditFormatsItAndEmptyNumbersBecomeZero) {
  auto* Float = NewEdit(10, 10, etFloat);
  Float->SetPrecision(2);
  Float->SetAllowNumericNullValue(true);
  Float->SetText(u"");
  Float->SetAllowNumericNullValue(false);
  auto* Numeric = NewEdit(10, 40, etNumeric);
  Numeric->SetText(u"");
  ShowForm();
  Float->SetFocus();
  TypeText(Float->Handle(), u"2.5");
  EXPECT_EQ(Float->Text(), u"2.5");
  Numeric->SetFocus();
  testsupport::PumpMessagesFor(50);
  EXPECT_EQ(Float->Text(), u"2.50");
  EXPECT_TRUE(Float->Modified());
  Numeric->SetText(u"");
  EXPECT_EQ(Numeric->Text(), u"0");

  // With a history, what was typed becomes a suggestion on leaving.
  auto* Named = NewEdit(10, 70, etString);
  Named->Lookup()->SetEnabled(true);
  Named->Lookup()->SetHistory(true);
  Named->SetFocus();
  TypeText(Named->Handle(), u" kiwi ");
  Numeric->SetFocus();
  testsupport::PumpMessagesFor(50);
  EXPECT_EQ(Named->Lookup()->DisplayList()->IndexOf(u"kiwi"), 0);
}

TEST_F(EditTest, TheLookupOpensOnMatchesIsSteeredByKeysAndClosesWithoutMatch) {
  auto* E = NewEdit(10, 10, etString);
  E->Lookup()->SetEnabled(true);
  for (const char16_t* S : {u"red", u"grey", u"green", u"blue", u"gold"}) E->Lookup()->DisplayList()->Add(S);
  ShowForm();
  E->SetFocus();
  TypeText(E->Handle(), u"g");
  EXPECT_FALSE(E->LookupList()->IsOpen());
  TypeText(E->Handle(), u"r");
  ASSERT_TRUE(E->LookupList()->IsOpen());
  ASSERT_EQ(E->LookupListbox()->Items()->Count(), 2);
  EXPECT_EQ(E->LookupListbox()->Items()->Strings(0), u"green");
  EXPECT_EQ(E->LookupListbox()->ItemIndex(), 0);
  EXPECT_EQ(E->LookupListbox()->ItemHeight(), 18);
  EXPECT_EQ(E->LookupList()->DropDownHeight(), 2 * 18 + 4);
  {
    testsupport::PumpMessagesFor(400);
    const RECT R{Form->Left(), Form->Top(), Form->Left() + 420, Form->Top() + 200};
    auto Shot = testsupport::ScreenImage(R, SRCCOPY | CAPTUREBLT);
    testsupport::SavePng(Shot.get(), u"edit-lookup-screen.png");
  }
  PressKey(E->Handle(), VK_DOWN);
  EXPECT_EQ(E->LookupListbox()->ItemIndex(), 1);
  PressKey(E->Handle(), VK_DOWN);
  EXPECT_EQ(E->LookupListbox()->ItemIndex(), 1);  // not past the last
  PressKey(E->Handle(), VK_RETURN);
  EXPECT_EQ(E->Text(), u"grey");
  EXPECT_FALSE(E->LookupList()->IsOpen());

  E->SetText(u"");
  TypeText(E->Handle(), u"gr");
  ASSERT_TRUE(E->LookupList()->IsOpen());
  TypeText(E->Handle(), u"x");
  EXPECT_FALSE(E->LookupList()->IsOpen());

  E->DisplayLookup();
  ASSERT_TRUE(E->LookupList()->IsOpen());
  EXPECT_EQ(E->LookupListbox()->Items()->Count(), 5);
  PressKey(E->Handle(), VK_ESCAPE);
  EXPECT_FALSE(E->LookupList()->IsOpen());
}

TEST_F(EditTest, AMultiLookupAppendsTheChosenValueAfterTheLastSeparator) {
  auto* E = NewEdit(10, 10, etString);
  E->Lookup()->SetEnabled(true);
  E->Lookup()->SetMulti(true);
  for (const char16_t* S : {u"red", u"green"}) E->Lookup()->DisplayList()->Add(S);
  String Chosen;
  Integer ChosenIndex = -2;
  E->OnLookupIndexSelect = [&](TObject*, Integer Index, String& Value) {
    ChosenIndex = Index;
    Chosen = Value;
  };
  ShowForm();
  E->SetFocus();
  TypeText(E->Handle(), u"red;gr");
  ASSERT_TRUE(E->LookupList()->IsOpen());
  PressKey(E->Handle(), VK_RETURN);
  EXPECT_EQ(E->Text(), u"red;green;");
  EXPECT_EQ(E->SelStart(), 10);
  EXPECT_EQ(Chosen, u"green");
  EXPECT_EQ(ChosenIndex, 0);  // "green" sorts before "red" in the display list
}

TEST_F(EditTest, TheItemChosenByTheNeedDataHandlerStaysSelectedAfterSorting) {
  auto* E = NewEdit(10, 10, etString);
  E->Lookup()->SetEnabled(true);
  for (const char16_t* S : {u"apricot", u"apple pie"}) E->Lookup()->DisplayList()->Add(S);
  E->OnLookupNeedData = [](TObject*, const String&, TStrings* List, Integer& ItemIndex) {
    ItemIndex = List->Add(u"ap extra");  // last before sorting, first after
  };
  ShowForm();
  E->SetFocus();
  TypeText(E->Handle(), u"ap");
  ASSERT_TRUE(E->LookupList()->IsOpen());
  ASSERT_EQ(E->LookupListbox()->Items()->Count(), 3);
  const Integer Sel = E->LookupListbox()->ItemIndex();
  ASSERT_GE(Sel, 0);
  EXPECT_EQ(E->LookupListbox()->Items()->Strings(Sel), u"ap extra");
  PressKey(E->Handle(), VK_RETURN);
  EXPECT_EQ(E->Text(), u"ap extra");
}

TEST_F(EditTest, TheEditButtonOpensItsControlInAPopup) {
  auto* B = new TVivIzudeEditButton(Form.get());
  B->SetBounds(10, 10, 118, 22);
  B->SetParent(Form.get());
  EXPECT_EQ(B->Width(), 118);
  auto* Content = new TListBox(Form.get());
  Content->SetBounds(0, 0, 118, 80);
  Content->Items()->Add(u"one");
  Content->Items()->Add(u"two");
  Content->SetParent(Form.get());
  B->SetPopupControl(Content);
  Integer Clicks = 0;
  B->OnButtonClick = [&](TObject*) { ++Clicks; };
  ShowForm();
  B->SetText(u"typed");
  EXPECT_EQ(B->Edit()->Text(), u"typed");
  B->Button()->Click();
  testsupport::PumpMessagesFor(100);
  EXPECT_TRUE(B->Popup()->IsOpen());
  EXPECT_EQ(Clicks, 1);
  testsupport::PumpMessagesFor(400);
  const RECT R{Form->Left(), Form->Top(), Form->Left() + 300, Form->Top() + 200};
  auto Shot = testsupport::ScreenImage(R, SRCCOPY | CAPTUREBLT);
  testsupport::SavePng(Shot.get(), u"edit-button-popup.png");
  B->DropDown();
  testsupport::PumpMessagesFor(50);
  EXPECT_FALSE(B->Popup()->IsOpen());
  delete Content;
  EXPECT_EQ(B->PopupControl(), nullptr);
}

TEST_F(EditTest, SettingsSaveAndLoadTheTypeAndItsText) {
  auto* E = NewEdit(10, 10, etMoney);
  E->SetPrecision(2);
  E->SetFloatValue(1234.5);
  TBytesStream Saved;
  TVivIzudePersistence::SaveSettingsToStream(E, &Saved);
  auto* Copy = NewEdit(10, 40, etString);
  Saved.SetPosition(0);
  TVivIzudePersistence::LoadSettingsFromStream(Copy, &Saved);
  EXPECT_EQ(Copy->EditType(), etMoney);
  EXPECT_EQ(Copy->Precision(), 2);
  EXPECT_EQ(Copy->Text(), u"1,234.50");
}

TEST_F(EditTest, AutoCompleteFillsInTheFirstEntryAndSelectsTheRest) {
  auto* E = NewEdit(10, 10, etString);
  E->SetAutoComplete(true);
  for (const char16_t* S : {u"Alpha", u"beta"}) E->Lookup()->DisplayList()->Add(S);
  ShowForm();
  E->SetFocus();
  TypeText(E->Handle(), u"al");
  EXPECT_EQ(E->Text(), u"Alpha");
  EXPECT_EQ(E->SelStart(), 2);
  EXPECT_EQ(E->SelLength(), 3);
  PressKey(E->Handle(), VK_BACK);  // Backspace takes the completion away and does not complete again
  EXPECT_EQ(E->Text(), u"Al");     // the entry's own capital stays
}
