#include "vcl/StdCtrls.h"

#include <algorithm>
#include <vector>

#include "rtl/SysUtils.h"
#include "vcl/Menus.h"

namespace {

// Native controls capture the mouse and report clicks themselves.
constexpr TControlStyle kNativeStyle{csSetCaption, csDoubleClicks};

std::vector<String> SplitLines(const String& Text) {
  std::vector<String> lines;
  if (Text.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = Text.find(u"\r\n", start);
    if (at == String::npos) {
      lines.push_back(Text.substr(start));
      break;
    }
    lines.push_back(Text.substr(start, at - start));
    start = at + 2;
  }
  // A line break at the very end starts no line of its own.
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

String JoinLines(const std::vector<String>& Lines) {
  String text;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (i) text += u"\r\n";
    text += Lines[i];
  }
  return text;
}

// A memo's lines, read from and written to its text.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
  String Get(Integer Index) const override {
    const std::vector<String> lines = SplitLines(FMemo->Text());
    if (Index < 0 || Index >= static_cast<Integer>(lines.size()))
      throw EStringListError(u"List index out of bounds (" + IntToStr(Index) + u")");
    return lines[static_cast<std::size_t>(Index)];
  }
  Integer GetCount() const override { return static_cast<Integer>(SplitLines(FMemo->Text()).size()); }
  void Clear() override { FMemo->SetText(String()); }
  void Delete(Integer Index) override {
    std::vector<String> lines = SplitLines(FMemo->Text());
    if (Index < 0 || Index >= static_cast<Integer>(lines.size()))
      throw EStringListError(u"List index out of bounds (" + IntToStr(Index) + u")");
    lines.erase(lines.begin() + Index);
    FMemo->SetText(JoinLines(lines));
  }
  void Insert(Integer Index, const String& S) override {
    std::vector<String> lines = SplitLines(FMemo->Text());
    if (Index < 0 || Index > static_cast<Integer>(lines.size()))
      throw EStringListError(u"List index out of bounds (" + IntToStr(Index) + u")");
    lines.insert(lines.begin() + Index, S);
    FMemo->SetText(JoinLines(lines));
  }
  void SetText(const String& Value) override { FMemo->SetText(Value); }

private:
  TCustomMemo* FMemo;  // the owner
};

}  // namespace

// ---------------------------------------------------------------- TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csOpaque);
  StoreBounds(0, 0, 65, 17);
  SetParentColor(true);
}

TCustomLabel::~TCustomLabel() = default;

void TCustomLabel::BeforeDestruction() {
  SetFocusControl(nullptr);
  TGraphicControl::BeforeDestruction();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  AdjustBounds();
}
void TCustomLabel::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}
void TCustomLabel::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout Value) {
  if (Value != FLayout) FLayout = Value, Invalidate();
}
void TCustomLabel::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool Value) {
  if (Value == FShowAccelChar) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (Value == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (FFocusControl) FFocusControl->FreeNotification(this);
  if (FShortCutId && FShortCutForm) FShortCutForm->RemoveShortCutHandler(FShortCutId);
  FShortCutId = 0;
  FShortCutForm = nullptr;
  if (!Value) return;
  // The hot key goes to the form of the focus control (the label's may not
  // be known yet while the form is being built).
  FShortCutForm = dynamic_cast<TCustomForm*>(Owner());
  if (!FShortCutForm) return;
  FShortCutId = FShortCutForm->AddShortCutHandler([this](Word Key, TShiftState Shift) {
    if (Shift != ssAlt || !FShowAccelChar || !FFocusControl || !IsShowing() || !Enabled()) return false;
    const Char hot = GetHotkey(Caption());
    if (!hot || hot != static_cast<Char>(Key) || !FFocusControl->CanFocus()) return false;
    FFocusControl->SetFocus();
    return true;
  });
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) SetFocusControl(nullptr);
}

UINT TCustomLabel::DrawFlags() const {
  UINT flags = FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  if (FAlignment == taCenter) flags |= DT_CENTER;
  return flags | DT_EXPANDTABS;
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  RECT r{0, 0, FWordWrap ? std::max(Width(), 1) : 0, 0};
  String text = Caption();
  if (text.empty() || (FShowAccelChar && text == u"&")) text = u" ";
  {
    const TWindowDC screen(nullptr);
    const TSelectGuard font(screen.Get(), Font()->Handle());
    DrawTextW(screen.Get(), WideCStr(text), static_cast<int>(text.size()), &r, DrawFlags() | DT_CALCRECT);
  }
  Integer left = Left();
  const Integer width = r.right - r.left;
  // The anchored side stays where it is.
  if (!FWordWrap && FAlignment == taRightJustify) left += Width() - width;
  if (!FWordWrap && FAlignment == taCenter) left += (Width() - width) / 2;
  SetBounds(left, Top(), width, r.bottom - r.top);
}

void TCustomLabel::TextChanged() {
  AdjustBounds();
  TGraphicControl::TextChanged();
}

void TCustomLabel::FontChanged() {
  AdjustBounds();
  TGraphicControl::FontChanged();
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetColor(Color());
    c->FillRect(r);
  }
  c->Brush()->SetStyle(bsClear);
  const UINT flags = DrawFlags();
  if (FLayout != tlTop) {
    TRect measured = r;
    c->TextRect(measured, Caption(), flags | DT_CALCRECT);
    const Integer offset = r.Height() - measured.Height();
    r.Top += FLayout == tlCenter ? offset / 2 : offset;
  }
  if (!Enabled()) {
    TRect shadow = r;
    shadow.Offset(1, 1);
    c->Font()->SetColor(clBtnHighlight);
    c->TextRect(shadow, Caption(), flags);
    c->Font()->SetColor(clBtnShadow);
  }
  c->TextRect(r, Caption(), flags);
}

// ---------------------------------------------------------------- TStaticText

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = kNativeStyle + csClickEvents;
  StoreBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TStaticText::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SubClassOf = u"STATIC";
  Params.Style |= SS_NOTIFY;
  Params.Style |= FAlignment == taRightJustify ? SS_RIGHT : FAlignment == taCenter ? SS_CENTER : SS_LEFT;
  if (!FShowAccelChar) Params.Style |= SS_NOPREFIX;
  if (FBorderStyle == sbsSingle) Params.Style |= WS_BORDER;
  if (FBorderStyle == sbsSunken) Params.Style |= SS_SUNKEN;
}

void TStaticText::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == STN_CLICKED) Click();
    if (HIWORD(Message.WParam) == STN_DBLCLK) DblClick();
    return;
  }
  TWinControl::WndProc(Message);
}

void TStaticText::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, RecreateWnd();
}
void TStaticText::SetBorderStyle(TStaticBorderStyle Value) {
  if (Value != FBorderStyle) FBorderStyle = Value, RecreateWnd();
}
void TStaticText::SetShowAccelChar(bool Value) {
  if (Value != FShowAccelChar) FShowAccelChar = Value, RecreateWnd();
}
void TStaticText::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TStaticText::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  const String text = Caption().empty() ? String(u" ") : Caption();
  RECT r{0, 0, 0, 0};
  {
    const TWindowDC screen(nullptr);
    const TSelectGuard font(screen.Get(), Font()->Handle());
    DrawTextW(screen.Get(), WideCStr(text), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | (FShowAccelChar ? 0 : DT_NOPREFIX));
  }
  const Integer border = FBorderStyle == sbsNone ? 0 : 4;
  SetBounds(Left(), Top(), r.right + border, r.bottom + border);
}

void TStaticText::TextChanged() {
  TWinControl::TextChanged();
  AdjustBounds();
}

void TStaticText::FontChanged() {
  TWinControl::FontChanged();
  AdjustBounds();
}

// ---------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = kNativeStyle;
  StoreBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SubClassOf = u"EDIT";
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_TABSTOP;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FNumbersOnly) Params.Style |= ES_NUMBER;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyTextLimit();
  ::SendMessageW(FHandle, EM_SETPASSWORDCHAR, FPasswordChar, 0);
  if (!FTextHint.empty())
    ::SendMessageW(FHandle, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(WideCStr(FTextHint)));
  ::SendMessageW(FHandle, EM_SETMODIFY, FModified, 0);
  ::SendMessageW(FHandle, EM_SETSEL, static_cast<WPARAM>(FSelStart), static_cast<LPARAM>(FSelStart + FSelLength));
}

void TCustomEdit::DestroyWnd() {
  if (FHandle) {
    // The window's state goes back into the object for the next window.
    TControl::SetTextValue(GetText());
    FModified = ::SendMessageW(FHandle, EM_GETMODIFY, 0, 0) != 0;
    DWORD start = 0, end = 0;
    ::SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    FSelStart = static_cast<Integer>(start);
    FSelLength = static_cast<Integer>(end - start);
  }
  TWinControl::DestroyWnd();
}

void TCustomEdit::ApplyTextLimit() {
  if (FHandle) ::SendMessageW(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == EN_CHANGE) Change();
    return;
  }
  TWinControl::WndProc(Message);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::SetMaxLength(Integer Value) {
  if (Value == FMaxLength) return;
  FMaxLength = std::max(0, Value);
  ApplyTextLimit();
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  if (FHandle) ::SendMessageW(FHandle, EM_SETREADONLY, Value, 0);
}

void TCustomEdit::SetPasswordChar(Char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  RecreateWnd();
}

void TCustomEdit::SetNumbersOnly(bool Value) {
  if (Value == FNumbersOnly) return;
  FNumbersOnly = Value;
  if (FHandle) {
    LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    style = Value ? (style | ES_NUMBER) : (style & ~static_cast<LONG_PTR>(ES_NUMBER));
    SetWindowLongPtrW(FHandle, GWL_STYLE, style);
  }
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  RecreateWnd();
}

void TCustomEdit::SetTextHint(const String& Value) {
  FTextHint = Value;
  if (FHandle) ::SendMessageW(FHandle, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(WideCStr(FTextHint)));
}

bool TCustomEdit::Modified() const { return FHandle ? ::SendMessageW(FHandle, EM_GETMODIFY, 0, 0) != 0 : FModified; }

void TCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (FHandle) ::SendMessageW(FHandle, EM_SETMODIFY, Value, 0);
}

Integer TCustomEdit::SelStart() {
  DWORD start = 0;
  ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<Integer>(start);
}

void TCustomEdit::SetSelStart(Integer Value) {
  ::SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), static_cast<LPARAM>(Value));
}

Integer TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(end - start);
}

void TCustomEdit::SetSelLength(Integer Value) {
  const Integer start = SelStart();
  ::SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + Value));
}

String TCustomEdit::SelText() {
  const Integer start = SelStart();
  return Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const String& Value) {
  ::SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WideCStr(Value)));
}

void TCustomEdit::SelectAll() {
  if (FHandle) ::SendMessageW(FHandle, EM_SETSEL, 0, -1);
}

// ---------------------------------------------------------------- TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  StoreBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  Params.Style |= ES_MULTILINE | ES_WANTRETURN;
  if (!FWordWrap) Params.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap) Params.Style |= WS_HSCROLL;
  if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
  if (FAlignment == taCenter) Params.Style |= ES_CENTER;
}

void TCustomMemo::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    TCustomEdit::WndProc(Message);
    // The edit asks for every key; give Tab and Enter back to the form
    // unless the memo wants them, and never keep Escape.
    Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FWantTabs) Message.Result |= DLGC_WANTTAB;
    if (FWantReturns && Message.WParam == VK_RETURN) Message.Result |= DLGC_WANTALLKEYS;
    return;
  }
  TCustomEdit::WndProc(Message);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (Value != FScrollBars) FScrollBars = Value, RecreateWnd();
}
void TCustomMemo::SetWordWrap(bool Value) {
  if (Value != FWordWrap) FWordWrap = Value, RecreateWnd();
}
void TCustomMemo::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, RecreateWnd();
}

// ---------------------------------------------------------------- TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner), FActionLink([this] { ActionChanged(); }) {
  FControlStyle = kNativeStyle;
  SetTabStop(true);
}

void TButtonControl::BeforeDestruction() {
  FActionLink.SetAction(nullptr);
  TWinControl::BeforeDestruction();
}

void TButtonControl::ActionChanged() {
  auto* action = dynamic_cast<TCustomAction*>(FActionLink.Action());
  if (!action) return;
  SetCaption(action->Caption());
  SetHint(action->Hint());
  SetEnabled(action->Enabled());
  SetVisible(action->Visible());
}

void TButtonControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FActionLink.Action())
    FActionLink.Execute(this);
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { StoreBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  Params.SubClassOf = u"BUTTON";
  Params.Style |= WS_TABSTOP | (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::SetDefault(bool Value) {
  if (Value == FDefault) return;
  FDefault = Value;
  if (FHandle) ::SendMessageW(FHandle, BM_SETSTYLE, Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::DialogKey(Word& Key, TShiftState Shift, bool& Handled) {
  if (((Key == VK_RETURN && FDefault) || (Key == VK_ESCAPE && FCancel)) && Shift.Empty() && IsShowing() && Enabled()) {
    Click();
    Handled = true;
    return;
  }
  TButtonControl::DialogKey(Key, Shift, Handled);
}

void TButton::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == BN_CLICKED) Click();
    return;
  }
  TButtonControl::WndProc(Message);
}

// ---------------------------------------------------------------- TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  StoreBounds(0, 0, 97, 17);
  SetParentColor(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  Params.SubClassOf = u"BUTTON";
  // The object decides the next state, so the box is not automatic.
  Params.Style |= WS_TABSTOP | BS_3STATE;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  ::SendMessageW(FHandle, BM_SETCHECK,
                 FState == cbChecked  ? BST_CHECKED
                 : FState == cbGrayed ? BST_INDETERMINATE
                                      : 0,
                 0);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (Value == FState) return;
  FState = Value;
  if (FHandle)
    ::SendMessageW(FHandle, BM_SETCHECK,
                   Value == cbChecked  ? BST_CHECKED
                   : Value == cbGrayed ? BST_INDETERMINATE
                                       : BST_UNCHECKED,
                   0);
  if (auto* action = dynamic_cast<TCustomAction*>(Action())) action->SetChecked(Value == cbChecked);
  Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, RecreateWnd();
}

void TCustomCheckBox::SetWordWrap(bool Value) {
  if (Value != FWordWrap) FWordWrap = Value, RecreateWnd();
}

void TCustomCheckBox::ActionChanged() {
  TButtonControl::ActionChanged();
  auto* action = dynamic_cast<TCustomAction*>(Action());
  if (action && action->Checked() != Checked()) {
    FState = action->Checked() ? cbChecked : cbUnchecked;
    if (FHandle) ::SendMessageW(FHandle, BM_SETCHECK, Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void TCustomCheckBox::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == BN_CLICKED) {
      switch (FState) {
        case cbUnchecked:
          SetState(FAllowGrayed ? cbGrayed : cbChecked);
          break;
        case cbGrayed:
          SetState(cbChecked);
          break;
        case cbChecked:
          SetState(cbUnchecked);
          break;
      }
    }
    return;
  }
  TButtonControl::WndProc(Message);
}

// ---------------------------------------------------------------- TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  StoreBounds(0, 0, 113, 17);
  SetParentColor(true);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  Params.SubClassOf = u"BUTTON";
  Params.Style |= BS_RADIOBUTTON;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  ::SendMessageW(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  SetTabStop(Value);
  if (FHandle) ::SendMessageW(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  if (Parent()) {
    for (Integer i = 0; i < Parent()->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other && other != this)
        other->SetChecked(false);
  }
  Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, RecreateWnd();
}

void TRadioButton::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == BN_CLICKED) SetChecked(true);
    if (HIWORD(Message.WParam) == BN_DOUBLECLICKED) DblClick();
    return;
  }
  TButtonControl::WndProc(Message);
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = kNativeStyle + csAcceptsControls;
  StoreBounds(0, 0, 185, 105);
}

void TGroupBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SubClassOf = u"BUTTON";
  Params.Style |= BS_GROUPBOX;
}

void TGroupBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      // The system class erases nothing: fill with the box's colour.
      RECT rc;
      GetClientRect(FHandle, &rc);
      ::FillRect(reinterpret_cast<HDC>(Message.WParam), &rc, Brush()->Handle());
      Message.Result = 1;
      return;
    }
    case WM_NCHITTEST:
      // A group box answers "transparent", which would hide it from the mouse.
      Message.Result = HTCLIENT;
      return;
    default:
      break;
  }
  TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------- list controls

TCustomListControl::TCustomListControl(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TStringList>()) {
  FControlStyle = kNativeStyle;
  SetColor(clWindow);
  SetTabStop(true);
  FItems->SetOnChange([this](TObject*) {
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    FillWindow();
  });
}

TCustomListControl::~TCustomListControl() = default;

void TCustomListControl::CreateWnd() {
  TWinControl::CreateWnd();
  FillWindow();
}

void TCustomListControl::FillWindow() {
  if (!FHandle) return;
  ::SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(FHandle, ResetMessage(), 0, 0);
  for (Integer i = 0; i < FItems->Count(); ++i) {
    const String item = FItems->Strings(i);
    ::SendMessageW(FHandle, AddMessage(), 0, reinterpret_cast<LPARAM>(WideCStr(item)));
  }
  ::SendMessageW(FHandle, SetCurSelMessage(), static_cast<WPARAM>(FItemIndex), 0);
  ::SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomListControl::SetItemIndex(Integer Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  if (FHandle) ::SendMessageW(FHandle, SetCurSelMessage(), static_cast<WPARAM>(Value), 0);
}

void TCustomListControl::ReadSelection() {
  if (!FHandle) return;
  const LRESULT index = ::SendMessageW(FHandle, GetCurSelMessage(), 0, 0);
  FItemIndex = index < 0 ? -1 : static_cast<Integer>(index);
}

// ---------------------------------------------------------------- TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomListControl(AOwner) { StoreBounds(0, 0, 145, 21); }

Integer TCustomComboBox::DropHeight() const {
  const Integer itemHeight = std::max<Integer>(-Font()->Height() + 5, 14);
  return FStyle == csSimple ? 0 : itemHeight * FDropDownCount + 2;
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  TCustomListControl::CreateParams(Params);
  Params.SubClassOf = u"COMBOBOX";
  Params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL;
  Params.Style |= FStyle == csDropDownList ? CBS_DROPDOWNLIST : FStyle == csSimple ? CBS_SIMPLE : CBS_DROPDOWN;
  // The height the system gets is the box with its list dropped.
  Params.Height += DropHeight();
}

void TCustomComboBox::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!FHandle || FStyle == csSimple) {
    TCustomListControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    return;
  }
  // The closed height follows the font; only the list's height is ours.
  if (ALeft == Left() && ATop == Top() && AWidth == Width()) return;
  SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, Height() + DropHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
  RequestAlign();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (Value != FStyle) FStyle = Value, RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(Integer Value) {
  FDropDownCount = std::max(1, Value);
  if (FHandle) ::SendMessageW(FHandle, CB_SETMINVISIBLE, static_cast<WPARAM>(FDropDownCount), 0);
}

bool TCustomComboBox::DroppedDown() { return FHandle && ::SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TCustomComboBox::SetDroppedDown(bool Value) { ::SendMessageW(Handle(), CB_SHOWDROPDOWN, Value, 0); }

void TCustomComboBox::SetItemIndex(Integer Value) {
  TCustomListControl::SetItemIndex(Value);
  if (!FHandle && FStyle != csDropDownList && FItemIndex >= 0) TControl::SetTextValue(Items()->Strings(FItemIndex));
}

String TCustomComboBox::GetText() const {
  if (!FHandle && FStyle == csDropDownList) return FItemIndex >= 0 ? Items()->Strings(FItemIndex) : String();
  return TCustomListControl::GetText();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
  Change();
}

void TCustomComboBox::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    switch (HIWORD(Message.WParam)) {
      case CBN_SELCHANGE:
        ReadSelection();
        Select();
        break;
      case CBN_EDITCHANGE:
        ReadSelection();
        Change();
        break;
      case CBN_DROPDOWN:
        if (OnDropDown) OnDropDown(this);
        break;
      case CBN_CLOSEUP:
        if (OnCloseUp) OnCloseUp(this);
        break;
      default:
        break;
    }
    return;
  }
  TCustomListControl::WndProc(Message);
}

// ---------------------------------------------------------------- TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomListControl(AOwner) { StoreBounds(0, 0, 121, 97); }

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TCustomListControl::CreateParams(Params);
  Params.SubClassOf = u"LISTBOX";
  Params.Style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == LBN_SELCHANGE) {
      ReadSelection();
      Click();
    }
    if (HIWORD(Message.WParam) == LBN_DBLCLK) DblClick();
    return;
  }
  TCustomListControl::WndProc(Message);
}

Integer TCustomListBox::TopIndex() { return static_cast<Integer>(::SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TCustomListBox::SetTopIndex(Integer Value) {
  ::SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

Integer TCustomListBox::ItemHeight() { return static_cast<Integer>(::SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0)); }
