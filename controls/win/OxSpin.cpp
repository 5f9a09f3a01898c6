#include "controls/win/OxSpin.h"

#include <algorithm>
#include <utility>

#include "controls/win/OxOXCLUtils.h"
#include "rtl/ScopeExit.h"
#include "vcl/Forms.h"

namespace {

// The monitor's own resolution where the system reports one (Windows 8.1
// on), else the system's.
Integer MonitorPixelsPerInch(HWND Window) {
  using TGetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpi = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");
    FARPROC proc = shcore ? GetProcAddress(shcore, "GetDpiForMonitor") : nullptr;
    return reinterpret_cast<TGetDpiForMonitor>(reinterpret_cast<void*>(proc));
  }();
  if (Window && getDpi) {
    UINT x = 0, y = 0;
    if (SUCCEEDED(getDpi(MonitorFromWindow(Window, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && y > 0)
      return static_cast<Integer>(y);
  }
  return Screen ? Screen->PixelsPerInch() : 96;
}

}  // namespace

// Pixels between the text area and the spin buttons.
constexpr Integer SpinTextGap = 2;

Integer ScaledSpinButtonWidth(HWND Window) {
  return SpinButtonWidthForPPI(MonitorPixelsPerInch(Window), GetSystemMetrics(SM_CXVSCROLL));
}

// ---------------------------------------------------------------- TOxUpDown

TOxUpDown::TOxUpDown(TComponent* AOwner) : TUpDown(AOwner) {
  SetMin(-1);
  SetMax(1);
  SetPosition(0);
  SetOrientation(udVertical);
}

void TOxUpDown::BeforeDestruction() {
  OnClick = nullptr;
  TUpDown::BeforeDestruction();
}

void TOxUpDown::WndProc(TMessage& Message) {
  if ((Message.Msg == CN_VSCROLL || Message.Msg == CN_HSCROLL) && LOWORD(Message.WParam) == SB_THUMBPOSITION) {
    if (FChanging) return;
    FChanging = true;
    const TScopeExit Changed([this] { FChanging = false; });
    const Integer position = static_cast<Integer>(::SendMessageW(FHandle, UDM_GETPOS32, 0, 0));
    if (position > 0)
      DoClick(btNext);
    else if (position < 0)
      DoClick(btPrev);
    ::SendMessageW(FHandle, UDM_SETPOS32, 0, 0);
    return;
  }
  TUpDown::WndProc(Message);
}

void TOxUpDown::Resize() {
  const Integer wanted = ScaledSpinButtonWidth(HandleAllocated() ? FHandle : nullptr);
  if (Width() != wanted)
    SetWidth(wanted);
  else
    TUpDown::Resize();
}

// ---------------------------------------------------------------- TOxCustomSpinEdit

TOxCustomSpinEdit::TOxCustomSpinEdit(TComponent* AOwner) : TOxExCustomMaskEdit(AOwner) {
  RegisterOxCursors();
  FControlStyle.Exclude(csSetCaption);
  BuildButtons();
}

TOxCustomSpinEdit::~TOxCustomSpinEdit() = default;

void TOxCustomSpinEdit::BeforeDestruction() {
  FDestroying = true;
  FreeButtons();
  TOxExCustomMaskEdit::BeforeDestruction();
}

void TOxCustomSpinEdit::Loaded() {
  TOxExCustomMaskEdit::Loaded();
  FModel.Loaded();
}

void TOxCustomSpinEdit::SpinUp() { FModel.Spin(true); }
void TOxCustomSpinEdit::SpinDown() { FModel.Spin(false); }

void TOxCustomSpinEdit::SetArrowKeys(bool Value) {
  FModel.SetArrowKeys(Value);
  PlaceButtons();
}

void TOxCustomSpinEdit::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  RecreateWnd();
}

void TOxCustomSpinEdit::SetButtonKind(TSpinButtonKind Value) {
  if (Value == FButtonKind) return;
  FButtonKind = Value;
  BuildButtons();
  PlaceButtons();
  ApplyEditRect();
}

void TOxCustomSpinEdit::SetShowButton(bool Value) {
  if (Value == FShowButton) return;
  FShowButton = Value;
  BuildButtons();
  PlaceButtons();
  ApplyEditRect();
}

void TOxCustomSpinEdit::FreeButtons() {
  // The button first: it lives in the button window.
  if (TOxSpinButton* button = std::exchange(FButton, nullptr)) delete button;
  if (TWinControl* window = std::exchange(FBtnWindow, nullptr)) delete window;
  if (TOxUpDown* upDown = std::exchange(FUpDown, nullptr)) delete upDown;
}

void TOxCustomSpinEdit::BuildButtons() {
  if (FDestroying) return;
  FreeButtons();
  if (!FShowButton) return;
  if (FButtonKind == bkStandard) {
    FUpDown = new TOxUpDown(this);
    FUpDown->SetBounds(0, 1, ScaledButtonWidth(), Height());
    FUpDown->SetAlign(alRight);
    FUpDown->SetParent(this);
    FUpDown->OnClick = [this](TObject*, TUDBtnType Button) {
      if (HandleAllocated()) PostMessageW(FHandle, CM_OXSPINCLICK, 0, static_cast<LPARAM>(Button));
    };
    return;
  }
  FBtnWindow = new TWinControl(this);
  FBtnWindow->SetBounds(0, 0, FButtonKind == bkClassic ? Height() : ScaledButtonWidth(), Height());
  FBtnWindow->SetParent(this);
  FButton = new TOxSpinButton(this);
  if (FButtonKind == bkClassic) FButton->SetButtonStyle(sbsClassic);
  FButton->SetParent(FBtnWindow);
  FButton->SetFocusControl(this);
  FButton->OnTopClick = [this](TObject*) { SpinUp(); };
  FButton->OnBottomClick = [this](TObject*) { SpinDown(); };
  FButton->SetBounds(1, 1, FBtnWindow->Width() - 1, FBtnWindow->Height() - 1);
}

void TOxCustomSpinEdit::PlaceButtons() {
  if (FUpDown) {
    FUpDown->SetWidth(ScaledButtonWidth());
    FUpDown->SetAlign(alRight);
    return;
  }
  if (!FButton || !FBtnWindow) return;
  // Our edit has a 3D single border (WS_EX_CLIENTEDGE); text runs left to
  // right.
  FBtnWindow->SetBoundsRect(SpinButtonWindowBounds(FButtonKind, true, false, Width(), Height(), ScaledButtonWidth()));
  FButton->SetBounds(1, 1, FBtnWindow->Width() - 1, FBtnWindow->Height() - 1);
}

Integer TOxCustomSpinEdit::ButtonAreaWidth() {
  if (!FShowButton) return 0;
  if (FUpDown) return FUpDown->Width();
  // The strip of the client area the button window covers, from the right
  // edge: the spin button inside it is one pixel narrower, and text ending
  // at the button's own edge would run under the window's first column.
  if (FBtnWindow && HandleAllocated()) {
    const Integer covered = ClientWidth() - FBtnWindow->Left();
    if (covered > 0) return covered;
  }
  if (FButton) return FButton->Width();
  return ScaledButtonWidth();
}

Integer TOxCustomSpinEdit::MinimumHeight() {
  TEXTMETRICW metrics{};
  {
    const TWindowDC screen(nullptr);
    const TSelectGuard font(screen.Get(), Font()->Handle());
    GetTextMetricsW(screen.Get(), &metrics);
  }
  return 4 * GetSystemMetrics(SM_CYBORDER) + metrics.tmHeight + 1;
}

void TOxCustomSpinEdit::ApplyEditRect() {
  if (!HandleAllocated()) return;
  // A gap between the last digit (and the caret after it) and the buttons.
  const Integer area = ButtonAreaWidth() > 0 ? ButtonAreaWidth() + SpinTextGap : 0;
  ::SendMessageW(FHandle, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELONG(0, area));
  const TRect r = SpinEditTextRect(false, ClientWidth(), ClientHeight(), area);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::SendMessageW(FHandle, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rc));
}

void TOxCustomSpinEdit::CreateParams(TCreateParams& Params) {
  TOxExCustomMaskEdit::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
  if (FAlignment == taCenter) Params.Style |= ES_CENTER;
}

void TOxCustomSpinEdit::CreateWnd() {
  TOxExCustomMaskEdit::CreateWnd();
  // The window's first size came before it was ours to hear.
  NotifyBoundsChanged();
}

void TOxCustomSpinEdit::NotifyBoundsChanged() {
  TOxExCustomMaskEdit::NotifyBoundsChanged();
  const Integer minimum = MinimumHeight();
  if (Height() < minimum) {
    SetHeight(minimum);  // comes back here
    return;
  }
  PlaceButtons();
  ApplyEditRect();
}

void TOxCustomSpinEdit::NotifyFontChanged() {
  TOxExCustomMaskEdit::NotifyFontChanged();
  PlaceButtons();
  ApplyEditRect();
}

void TOxCustomSpinEdit::NotifyEnabledChanged() {
  TOxExCustomMaskEdit::NotifyEnabledChanged();
  if (FUpDown) {
    FUpDown->SetEnabled(Enabled());
    PlaceButtons();
  }
  if (FButton) FButton->SetEnabled(Enabled());
}

void TOxCustomSpinEdit::Change() { FModel.HandleTextChange(); }

void TOxCustomSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
  TOxExCustomMaskEdit::KeyDown(Key, Shift);
  if (Key != 0) FModel.KeyDown(Key);
}

void TOxCustomSpinEdit::KeyPress(Char& Key) {
  FModel.KeyPress(Key);
  if (Key == 0) return;
  TOxExCustomMaskEdit::KeyPress(Key);
  if (Key == u'\r' || Key == 0x1B) {
    // The form's default and cancel buttons.
    if (TCustomForm* form = GetParentForm(this)) {
      Word dialogKey = Key == u'\r' ? VK_RETURN : VK_ESCAPE;
      bool handled = false;
      form->DialogKey(dialogKey, KeyboardShiftState(), handled);
    }
    if (Key == u'\r') Key = 0;
  }
}

void TOxCustomSpinEdit::DoEnter() {
  FModel.Enter();
  if (FAutoSelect && !(GetKeyState(VK_LBUTTON) & 0x8000)) SelectAll();
  TOxExCustomMaskEdit::DoEnter();
}

void TOxCustomSpinEdit::DoExit() {
  try {
    FModel.Exit();
  } catch (...) {
    // Out of the limits without cropping: the value must be mended here.
    FModel.SetFocused(true);
    SelectAll();
    if (CanFocus()) SetFocus();
    throw;
  }
  TOxExCustomMaskEdit::DoExit();
}

void TOxCustomSpinEdit::HandleSetFocus(HWND PreviousWindow) {
  TOxExCustomMaskEdit::HandleSetFocus(PreviousWindow);
  RepaintButtons();
}

void TOxCustomSpinEdit::HandleKillFocus(HWND NextWindow) {
  FModel.KillFocus();
  TOxExCustomMaskEdit::HandleKillFocus(NextWindow);
  RepaintButtons();
}

void TOxCustomSpinEdit::RepaintButtons() {
  // A single-line edit repaints itself at once when the focus comes or
  // goes, through a device context that does not spare its children.
  if (FBtnWindow && FBtnWindow->HandleAllocated()) FBtnWindow->Invalidate();
  if (FUpDown && FUpDown->HandleAllocated()) FUpDown->Invalidate();
}

void TOxCustomSpinEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEWHEEL:
      if (GET_WHEEL_DELTA_WPARAM(Message.WParam) > 0)
        SpinUp();
      else
        SpinDown();
      Message.Result = 1;
      return;
    case WM_CUT:
    case WM_PASTE:
      if (!EditorEnabled() || ReadOnly()) {
        Message.Result = 1;
        return;
      }
      break;
    case CM_OXSPINCLICK:
      if (TabStop() && CanFocus()) SetFocus();
      if (static_cast<TUDBtnType>(Message.LParam) == btNext)
        SpinUp();
      else
        SpinDown();
      return;
    default:
      break;
  }
  TOxExCustomMaskEdit::WndProc(Message);
}

// ---------------------------------------------------------------- TOxSpinEdit

TOxSpinEdit::TOxSpinEdit(TComponent* AOwner) : TOxCustomSpinEdit(AOwner) { SetText(u"0"); }
