#include "chart/widgets/win/VivIzudeEdit.h"

#include <algorithm>

#include "chart/drawing/win/VivIzudeUtils.h"
#include "chart/widgets/VivIzudePersistence.h"
#include "chart/widgets/win/VivIzudeToolBarButton.h"
#include "rtl/ObservableMembers.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32.h"
#include "vcl/Graphics.h"

namespace {

constexpr Integer LookupItemHeight = 18;
constexpr Char CtrlV = 22;

// Registered while the program runs: the edit's observable value is its
// text, for the class library's binding framework.
struct TEditBindingRegistration {
  TEditBindingRegistration() { TObservableMembers::RegisterValuePropertyName(u"TVivIzudeEdit", u"Text", u"VCL"); }
  ~TEditBindingRegistration() { TObservableMembers::UnregisterValuePropertyName(u"TVivIzudeEdit"); }
};
const TEditBindingRegistration EditBindingRegistration;

std::vector<String> StringsOf(const TStrings* S) {
  std::vector<String> R;
  for (Integer I = 0; I < S->Count(); ++I) R.push_back(S->Strings(I));
  return R;
}

bool IsNavigationKey(Word Key) {
  return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_RIGHT ||
         Key == VK_DELETE;
}

}  // namespace

// ---------------------------------------------------------------- settings registry

void RegisterVivIzudeEditClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomControlClasses();
    using E = TVivIzudeEdit;
    VivIzudeRegisterClass<E>(u"TVivIzudeEdit")
        .Property(u"EditType", &E::EditType, &E::SetEditType)
        .Property(u"ValidChars", &E::ValidChars, &E::SetValidChars)
        .Property(u"LengthLimit", &E::LengthLimit, &E::SetLengthLimit)
        .Property(u"Precision", &E::Precision, &E::SetPrecision)
        .Property(u"PrecisionDisplay", &E::PrecisionDisplay, &E::SetPrecisionDisplay)
        .Property(u"AllowNumericNullValue", &E::AllowNumericNullValue, &E::SetAllowNumericNullValue)
        .Property(u"AutoThousandSeparator", &E::AutoThousandSeparator, &E::SetAutoThousandSeparator)
        .Property(u"FullTextSearch", &E::FullTextSearch, &E::SetFullTextSearch)
        .Property(u"AutoComplete", &E::AutoComplete, &E::SetAutoComplete)
        .Property(u"AllowFocus", &E::AllowFocus, &E::SetAllowFocus)
        .Property(u"Text", &E::Text, &E::SetText)
        .ReadOnly(u"Version", &E::Version);
    using B = TVivIzudeEditButton;
    VivIzudeRegisterClass<B>(u"TVivIzudeEditButton")
        .Inherits<TVivIzudeCustomControl>()
        .Property(u"Text", &B::Text, &B::SetText);
    return true;
  }();
  (void)Registered;
}

// ---------------------------------------------------------------- lookup settings

TVivIzudeEditLookupSettings::TVivIzudeEditLookupSettings()
    : FDisplayList(std::make_unique<TStringList>(dupIgnore, true, false)),
      FValueList(std::make_unique<TStringList>()) {}

void TVivIzudeEditLookupSettings::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TVivIzudeEditLookupSettings*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  FDisplayList->Assign(S->FDisplayList.get());
  FValueList->Assign(S->FValueList.get());
  FDisplayCount = S->FDisplayCount;
  FEnabled = S->FEnabled;
  FNumChars = S->FNumChars;
  FCaseSensitive = S->FCaseSensitive;
  FHistory = S->FHistory;
  FMulti = S->FMulti;
  FSeparator = S->FSeparator;
  FWidth = S->FWidth;
  FHeight = S->FHeight;
  FMinimumWidth = S->FMinimumWidth;
  FMinimumHeight = S->FMinimumHeight;
  FUseValueList = S->FUseValueList;
}

// ---------------------------------------------------------------- edit

TVivIzudeEdit::TVivIzudeEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  RegisterVivIzudeEditClasses();
  FLookup = std::make_unique<TVivIzudeEditLookupSettings>();
  FLookupList = new TVivIzudePopup(this);
  FLookupList->SetPlacementControl(this);
  FLookupList->SetPlacement(ppBottom);
  FLookupList->SetStaysOpen(true);
  FLookupList->SetFocusedControl(this);
  FLookupListBox = new TListBox(this);
  FLookupListBox->OnKeyUp = [this](TObject* S, Word& Key, TShiftState Shift) { LookupListKeyUp(S, Key, Shift); };
  FLookupListBox->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Shift, Integer X, Integer Y) {
    LookupListMouseUp(S, B, Shift, X, Y);
  };
  FLookupListBox->SetVisible(false);
  FLookupListBox->SetAlign(alClient);
  FLookupList->SetContentControl(FLookupListBox);
}

TVivIzudeEdit::~TVivIzudeEdit() = default;

void TVivIzudeEdit::BeforeDestruction() {
  FLookup.reset();
  delete FLookupListBox;
  FLookupListBox = nullptr;
  FLookupListBoxItems.clear();
  delete FLookupList;
  FLookupList = nullptr;
  Inherited::BeforeDestruction();
}

String TVivIzudeEdit::GetVersion() const { return u"1.0.2.6"; }

String TVivIzudeEdit::Text() const { return TControl::Text(); }

void TVivIzudeEdit::SetText(const String& Value) {
  TControl::SetText(NormalizeEditText(Value, EditFormat(), FormatSettings));
  FIsModified = false;
}

Integer TVivIzudeEdit::GetCaretPosition() { return SelStart(); }

void TVivIzudeEdit::SetCaretPosition(Integer APos) {
  SetSelStart(APos);
  SetSelLength(0);
}

bool TVivIzudeEdit::CanFocus() const { return Inherited::CanFocus() && FAllowFocus; }

TVivIzudeEditFormat TVivIzudeEdit::EditFormat() const {
  TVivIzudeEditFormat F;
  F.EditType = FEditType;
  F.Precision = FPrecision;
  F.PrecisionDisplay = FPrecisionDisplay;
  F.AllowNumericNullValue = FAllowNumericNullValue;
  F.AutoThousandSeparator = FAutoThousandSeparator;
  return F;
}

void TVivIzudeEdit::SetModified(bool Value) {
  if (Loading() || ReadOnly()) return;
  FIsModified = Value;
}

void TVivIzudeEdit::SetEditType(TVivIzudeEditType Value) {
  if (Value == FEditType) return;
  FEditType = Value;
  if (Loading()) return;
  const String S = Text();
  if (!S.empty() || !FAllowNumericNullValue) {
    const TVivIzudeTextClass K = ClassifyText(S, FormatSettings);
    if (Value == etNumeric && K != tcNumeric) SetIntValue(0);
    if (IsFloatEditType(Value) && (K == tcText || K == tcAlphaNumeric)) SetFloatValue(0);
    if (Value == etHex && K != tcNumeric && K != tcAlphaNumeric) SetIntValue(0);
  }
}

void TVivIzudeEdit::SetPrecision(SmallInt Value) {
  if (FEditType != etString && FEditType != etFloat && FEditType != etSignedFloat && FEditType != etMoney) return;
  FPrecision = Value;
  const String S = Text();
  if (S.empty() && FAllowNumericNullValue) return;
  const TVivIzudeTextClass K = ClassifyText(S, FormatSettings);
  SetFloatValue(K == tcText || K == tcAlphaNumeric ? 0 : FloatValue());
}

void TVivIzudeEdit::SetPrecisionDisplay(TVivIzudeEditPrecisionDisplay Value) {
  if (Value == FPrecisionDisplay) return;
  FPrecisionDisplay = Value;
  SetFloatValue(FloatValue());
}

void TVivIzudeEdit::SetAutoThousandSeparator(bool Value) {
  FAutoThousandSeparator = Value;
  if (IsFloatEditType(FEditType)) FormatMoney();
}

double TVivIzudeEdit::FloatValue() const { return EditFloatValue(FEditType, Text(), FormatSettings); }

void TVivIzudeEdit::SetFloatValue(double Value) {
  if (const auto S = FloatValueText(Value, EditFormat(), FormatSettings)) SetText(*S);
  SetModified(true);
}

Integer TVivIzudeEdit::IntValue() const { return EditIntValue(FEditType, Text(), FormatSettings); }

void TVivIzudeEdit::SetIntValue(Integer Value) {
  if (const auto S = IntValueText(Value, EditFormat(), FormatSettings)) SetText(*S);
  SetModified(true);
}

void TVivIzudeEdit::ReplaceControlText(const String& AText, Integer ACaret) {
  const bool M = FIsModified;
  TControl::SetText(AText);
  FIsModified = M;
  SetCaretPosition(std::clamp<Integer>(ACaret, 0, static_cast<Integer>(AText.size())));
}

void TVivIzudeEdit::FormatMoney() {
  const String S = Text();
  if (S.empty()) return;
  const Integer Caret = SelStart();
  const String Formatted = FormatMoneyText(S, FAutoThousandSeparator, FormatSettings);
  if (Formatted == S) {
    SetSelLength(0);
    return;
  }
  ReplaceControlText(Formatted, Caret + static_cast<Integer>(Formatted.size()) - static_cast<Integer>(S.size()));
}

void TVivIzudeEdit::DoLookupNeedData(const String& AValue, TStrings* AList, Integer& AItemIndex) {
  if (OnLookupNeedData) OnLookupNeedData(this, AValue, AList, AItemIndex);
}

void TVivIzudeEdit::CloseLookup() {
  if (CanFocus() && HandleAllocated() && IsShowing()) SetFocus();
  FLookupList->SetIsOpen(false);
}

void TVivIzudeEdit::DisplayLookup() {
  if (!FLookup->Enabled()) return;
  std::vector<TVivIzudeLookupMatch> All;
  for (Integer I = 0; I < FLookup->DisplayList()->Count(); ++I)
    All.push_back({StripLineBreaks(FLookup->DisplayList()->Strings(I)), I});
  ShowLookup(String(), std::move(All));
}

void TVivIzudeEdit::UpdateLookupList() {
  if (!FLookup->Enabled()) return;
  const String S = LookupFilterText(Text(), FLookup->Multi(), FLookup->Separator());
  if (static_cast<Integer>(S.size()) < FLookup->NumChars()) {
    CloseLookup();
    return;
  }
  TVivIzudeLookupOptions Options;
  Options.CaseSensitive = FLookup->CaseSensitive();
  Options.FullTextSearch = FFullTextSearch;
  ShowLookup(S, MatchLookupEntries(StringsOf(FLookup->DisplayList()), S, Options));
}

void TVivIzudeEdit::ShowLookup(const String& AValue, std::vector<TVivIzudeLookupMatch> AMatches) {
  if (!FLookupList->IsOpen()) FLookupListBox->SetParent(this);
  // The need-data handler sees the matches and may add to them; the list
  // is sorted afterwards and the chosen index follows its item.
  TStringList Offered;
  for (const auto& M : AMatches) Offered.Add(M.Text);
  Integer ItemIndex = 0;
  DoLookupNeedData(AValue, &Offered, ItemIndex);
  std::vector<TVivIzudeLookupMatch> Shown;
  for (Integer I = 0; I < Offered.Count(); ++I) {
    const Integer Idx = I < static_cast<Integer>(AMatches.size()) && AMatches[I].Text == Offered.Strings(I)
                            ? AMatches[I].Index
                            : FLookup->DisplayList()->IndexOf(Offered.Strings(I));
    Shown.push_back({Offered.Strings(I), Idx});
  }
  SortLookupMatches(Shown, ItemIndex);

  FLookupListBoxItems.clear();
  TStrings* Items = FLookupListBox->Items();
  Items->BeginUpdate();
  Items->Clear();
  for (const auto& M : Shown) {
    FLookupListBoxItems.push_back(std::make_unique<TVivLookupListBoxItem>(M.Index));
    Items->AddObject(M.Text, FLookupListBoxItems.back().get());
  }
  Items->EndUpdate();
  const Integer Count = static_cast<Integer>(Shown.size());
  if (FLookup->DisplayList()->Count() > 0 && Count > 0) FLookupListBox->SetItemIndex(ItemIndex);

  Integer Height = FLookup->DisplayCount() * LookupItemHeight + 4;
  if (Count < FLookup->DisplayCount()) Height = Count * LookupItemHeight + 4;
  Integer Width = 50;
  {
    TBitmap Measure(1, 1);
    Measure.Canvas()->Font()->Assign(Font());
    for (const auto& M : Shown) Width = std::max(Width, Measure.Canvas()->TextWidth(M.Text));
  }
  if (Count > 0) Width += 26;
  if (FLookup->Width() > 0 && FLookup->Height() > 0) {
    Width = FLookup->Width();
    Height = FLookup->Height();
  }
  if (Count == 0) {
    CloseLookup();
    return;
  }
  FLookupList->SetDropDownWidth(static_cast<float>(std::max(Width, FLookup->MinimumWidth())));
  FLookupList->SetDropDownHeight(static_cast<float>(std::max(Height, FLookup->MinimumHeight())));
  if (TVivIzudeCustomPopupForm* Form = FLookupList->PopupForm()) {
    FLookupListBox->SetParent(Form);
    FLookupListBox->SetVisible(true);
  }
  if (!FLookupList->IsOpen()) {
    const Integer Caret = SelStart(), Sel = SelLength();
    FLookupList->SetIsOpen(true);
    FLookupListBox->SetItemIndex(ItemIndex);
    // Opening moves the focus through the popup and back: the caret stays,
    // and the list is raised again over the form that took the focus back.
    SetSelStart(Caret);
    SetSelLength(Sel);
    if (TVivIzudeCustomPopupForm* Form = FLookupList->PopupForm()) {
      constexpr UINT Flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
      ::SetWindowPos(Form->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, Flags);
      ::SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, Flags);
    }
  }
  if (FLookupListBox->HandleAllocated())
    ::SendMessageW(FLookupListBox->Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(LookupItemHeight, 0));
}

void TVivIzudeEdit::SelectLookupItem() {
  const Integer Sel = FLookupListBox->ItemIndex();
  if (Sel < 0 || Sel >= FLookupListBox->Items()->Count()) return;
  const auto* Item = dynamic_cast<const TVivLookupListBoxItem*>(FLookupListBox->Items()->Objects(Sel));
  const Integer Idx = Item ? Item->Idx() : -1;
  String Value = FLookup->UseValueList() && Idx >= 0 && Idx < FLookup->ValueList()->Count()
                     ? FLookup->ValueList()->Strings(Idx)
                     : FLookupListBox->Items()->Strings(Sel);
  if (OnLookupSelect) OnLookupSelect(this, Value);
  if (OnLookupIndexSelect) OnLookupIndexSelect(this, Idx, Value);
  if (FLookup->Multi()) {
    SetText(LookupResultText(Text(), Value, true, FLookup->Separator()));
    SetCaretPosition(static_cast<Integer>(Text().size()));
  } else {
    SetText(Value);
    SelectAll();
  }
  CloseLookup();
}

void TVivIzudeEdit::MoveLookupSelection(Integer ADelta) {
  const Integer Count = FLookupListBox->Items()->Count();
  if (Count == 0) {
    FLookupListBox->SetItemIndex(-1);
    return;
  }
  FLookupListBox->SetItemIndex(std::clamp(FLookupListBox->ItemIndex() + ADelta, 0, Count - 1));
}

void TVivIzudeEdit::AutoCompleteText() {
  if (!FAutoComplete) return;
  const String S = Text();
  if (S.empty()) return;
  const auto Entry = AutoCompleteEntry(StringsOf(FLookup->DisplayList()), S, FLookup->CaseSensitive());
  if (!Entry) return;
  SetText(*Entry);
  SetSelStart(static_cast<Integer>(S.size()));
  SetSelLength(static_cast<Integer>(Entry->size() - S.size()));
}

void TVivIzudeEdit::PasteText(const String& AText) {
  if (ReadOnly()) return;
  const String S = Text();
  const Integer Start = std::clamp<Integer>(SelStart(), 0, static_cast<Integer>(S.size()));
  const Integer Length = std::clamp<Integer>(SelLength(), 0, static_cast<Integer>(S.size()) - Start);
  const String Would = S.substr(0, Start) + AText + S.substr(Start + Length);
  if (MaxLength() == 0 || static_cast<Integer>(Would.size()) <= MaxLength()) {
    SetText(Would);
    // The caret goes after the pasted text.
    SetCaretPosition(Start + static_cast<Integer>(AText.size()));
  }
  SetSelLength(0);
}

void TVivIzudeEdit::KeyDown(Word& Key, TShiftState Shift) {
  Inherited::KeyDown(Key, Shift);
  FKeyDown = Key;
  FShiftState = Shift;
  // Up and Down bring no character: the lookup moves here.
  if ((Key == VK_UP || Key == VK_DOWN) && LookupOpen()) {
    MoveLookupSelection(Key == VK_UP ? -1 : 1);
    Key = 0;
  } else if (IsNavigationKey(Key) && Key != VK_DELETE && FAutoComplete && SelLength() > 0 && LookupOpen()) {
    CloseLookup();
  }
}

void TVivIzudeEdit::KeyPress(Char& Key) {
  FAfterChar = acNone;
  const Word KD = FKeyDown;
  if (KD == VK_MENU || KD == VK_ESCAPE) CloseLookup();

  if (FLengthLimit > 0) {
    const String S = Text();
    // The decimal separator is told by the character itself: its key code
    // differs from its character code on this platform.
    if (IntegerPartLength(S, FormatSettings) > FLengthLimit && SelLength() == 0 &&
        SelStart() < DecimalSeparatorPos(S, FormatSettings) && KD != VK_BACK &&
        Key != FormatSettings.DecimalSeparator) {
      Key = 0;
      return;
    }
  }

  if (KD == VK_BACK) {
    const String S = Text();
    const Integer Start = std::clamp<Integer>(SelStart(), 0, static_cast<Integer>(S.size()));
    const Integer Length = SelLength();
    String Predicted = S;
    if (Length > 0)
      Predicted.erase(Start, Length);
    else if (Start > 0)
      Predicted.erase(Start - 1, 1);
    FBackspaceModified = Predicted != S || FIsModified;
    FIsModified = FBackspaceModified;
    Inherited::KeyPress(Key);
    FAfterChar = acBackspace;
    return;
  }

  if (KD == VK_TAB) {
    if (FAutoComplete && SelLength() > 0 && LookupOpen()) CloseLookup();
    Inherited::KeyPress(Key);
    FAfterChar = acTab;
    return;
  }

  if (KD == VK_RETURN && LookupOpen()) {
    SelectLookupItem();
    Key = 0;
    return;
  }
  if (KD == VK_RETURN || KD == VK_ESCAPE) {
    Inherited::KeyPress(Key);
    return;
  }

  if ((KD == VK_UP || KD == VK_DOWN) && LookupOpen()) return;

  if (MaxLength() > 0 && SelLength() == 0 && static_cast<Integer>(Text().size()) >= MaxLength()) return;

  if (Key == CtrlV && FShiftState == TShiftState{ssCtrl}) {
    if (const auto Accepted = AcceptPastedText(FEditType, TVivClipBoard::GetText(), FormatSettings))
      PasteText(*Accepted);
    // The platform's own paste would insert the text again, or a refused one.
    Key = 0;
    return;
  }

  if (KD != VK_UP && KD != VK_DOWN) {
    const String S = Text();
    const bool WholeSelected = !S.empty() && SelStart() == 0 && SelLength() >= static_cast<Integer>(S.size());
    Key = FilterTypedChar(FEditType, Key, S, WholeSelected, FValidChars, FormatSettings);
    if (Key == 0) return;
  }

  Inherited::KeyPress(Key);
  if (Key != 0) FAfterChar = acTyped;
}

void TVivIzudeEdit::AfterChar(TAfterChar AStep, const String& ABefore) {
  switch (AStep) {
    case acBackspace:
      if (FEditType == etMoney) FormatMoney();
      FIsModified = FBackspaceModified;
      UpdateLookupList();
      break;
    case acTab:
      if (Text() != ABefore) SetModified(true);
      break;
    case acTyped: {
      if (Text() != ABefore) SetModified(true);
      if (FEditType == etSignedNumeric || FEditType == etSignedFloat || FEditType == etMoney) {
        const String S = Text();
        const String Signed = SignToFront(S);
        if (Signed != S) ReplaceControlText(Signed, SelStart());
      }
      if (FEditType == etMoney) FormatMoney();
      if (FShiftState.Empty()) UpdateLookupList();
      break;
    }
    case acNone:
      break;
  }
}

void TVivIzudeEdit::KeyUp(Word& Key, TShiftState Shift) {
  Inherited::KeyUp(Key, Shift);
  if (FEditType == etMixedCase) {
    const String S = Text();
    const String Mixed = MixedCaseText(S);
    if (Mixed != S) {
      const Integer Caret = SelStart(), Sel = SelLength();
      ReplaceControlText(Mixed, Caret);
      SetSelLength(Sel);
    }
  }
  if (Key != 0 && Key != VK_BACK) AutoCompleteText();
}

void TVivIzudeEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_CHAR) {
    const String Before = Text();
    FAfterChar = acNone;
    Inherited::WndProc(Message);
    const TAfterChar Step = FAfterChar;
    FAfterChar = acNone;
    AfterChar(Step, Before);
    return;
  }
  if (Message.Msg == WM_PASTE) {
    // A paste from the context menu or Shift+Insert goes through the same
    // filter as Ctrl+V.
    if (const auto Accepted = AcceptPastedText(FEditType, TVivClipBoard::GetText(), FormatSettings))
      PasteText(*Accepted);
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_DELETE) {
    const String Before = Text();
    Inherited::WndProc(Message);
    if (Text() != Before) SetModified(true);
    return;
  }
  Inherited::WndProc(Message);
}

void TVivIzudeEdit::DoExit() {
  Inherited::DoExit();
  if (Loading()) return;
  const String S = Text();
  if (IsFloatEditType(FEditType) && FPrecision > 0 && (!S.empty() || !FAllowNumericNullValue)) {
    const bool M = FIsModified;
    SetFloatValue(FloatValue());
    FIsModified = M;
  }
  if (Text().empty() && !FAllowNumericNullValue) {
    if (FEditType == etNumeric)
      SetText(u"0");
    else if (IsFloatEditType(FEditType))
      SetFloatValue(0);
  }
  if (FLookup->Enabled() && FLookup->History()) {
    const String T = Trim(Text());
    if (!T.empty() && FLookup->DisplayList()->IndexOf(T) < 0) FLookup->DisplayList()->Add(T);
  }
}

void TVivIzudeEdit::LookupListKeyUp(TObject*, Word& Key, TShiftState) {
  if (Key == VK_RETURN) SelectLookupItem();
}

void TVivIzudeEdit::LookupListMouseUp(TObject*, TMouseButton, TShiftState, Integer, Integer) { SelectLookupItem(); }

// ---------------------------------------------------------------- edit button

TVivIzudeEditButton::TVivIzudeEditButton(TComponent* AOwner) : TVivIzudeCustomControl(AOwner) {
  RegisterVivIzudeEditClasses();
  FButton = new TVivIzudeToolBarDropDownButton(this);
  FButton->SetAllowFocus(false);
  FButton->SetStored(false);
  FButton->SetWidth(18);
  FButton->Appearance()->SetRounding(0);
  FButton->SetAlign(alRight);
  for (auto* L : {FButton->Bitmaps(), FButton->DisabledBitmaps()}) {
    L->AddBitmapFromResource(u"VIVIZUDETOOLBAREXPAND", 1.0f);
    L->AddBitmapFromResource(u"VIVIZUDETOOLBAREXPANDLARGE", 1.5f);
  }
  FButton->OnClick = [this](TObject* S) { ButtonClick(S); };
  FButton->OnDblClick = [this](TObject* S) { ButtonDblClick(S); };
  FButton->SetParent(this);
  FEdit = new TVivIzudeEdit(this);
  FEdit->SetAlign(alClient);
  FEdit->SetParent(this);
  FPopup = new TVivIzudePopup(this);
  FPopup->SetPlacement(ppBottom);
  FPopup->SetPlacementControl(this);
  FPopup->SetStored(false);
  FPopup->SetDragWithParent(true);
  SetWidth(118);
  SetHeight(22);
}

void TVivIzudeEditButton::SetPopupControl(TControl* Value) {
  if (FPopupControl) FPopupControl->RemoveFreeNotification(this);
  FPopupControl = Value;
  if (FPopupControl) FPopupControl->FreeNotification(this);
  FPopup->SetContentControl(Value);
}

void TVivIzudeEditButton::SetAdaptToStyle(bool Value) {
  Inherited::SetAdaptToStyle(Value);
  if (FButton) FButton->SetAdaptToStyle(Value);
}

void TVivIzudeEditButton::DropDown() {
  if (!FPopupControl) return;
  if (FPopup->IsOpen()) {
    FPopup->SetIsOpen(false);
    return;
  }
  DoBeforeDropDown();
  FPopup->Popup(FModalPopup);
}

void TVivIzudeEditButton::ButtonClick(TObject*) {
  if (!FBlockDropDown) DropDown();
  FBlockDropDown = false;
  if (OnButtonClick) OnButtonClick(this);
}

void TVivIzudeEditButton::ButtonDblClick(TObject*) { FBlockDropDown = true; }

void TVivIzudeEditButton::KeyDown(Word& Key, TShiftState Shift) {
  Inherited::KeyDown(Key, Shift);
  if (Key == VK_F4) DropDown();
}

void TVivIzudeEditButton::Notification(TComponent* AComponent, TOperation Operation) {
  Inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupControl) FPopupControl = nullptr;
  if (AComponent == FButton) FButton = nullptr;
  if (AComponent == FEdit) FEdit = nullptr;
  if (AComponent == FPopup) FPopup = nullptr;
}
