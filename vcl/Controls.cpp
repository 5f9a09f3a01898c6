#include "vcl/Controls.h"

#include <algorithm>
#include <memory>
#include <map>
#include <optional>

#include "rtl/ScopeExit.h"

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "vcl/Themes.h"

LRESULT CALLBACK QuorvelWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

namespace {

const wchar_t kControlProp[] = L"Quorvel.Control";

TControl* gCaptureControl = nullptr;  // not owned
TControl* gMouseControl = nullptr;    // not owned
UINT gNextChildId = 100;

// The library's own window classes, one per class style.
const wchar_t* OwnWindowClass(UINT Style) {
  static std::map<UINT, std::wstring> classes;
  auto it = classes.find(Style);
  if (it != classes.end()) return it->second.c_str();
  wchar_t name[48];
  wsprintfW(name, L"Quorvel.Window.%X", Style);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = Style;
  wc.lpfnWndProc = &QuorvelWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
  return classes.emplace(Style, name).first->second.c_str();
}

bool IsMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK; }

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

}  // namespace

// ---------------------------------------------------------------- helpers

void GuardedCall(TObject* Sender, const std::function<void()>& Work) noexcept {
  try {
    Work();
  } catch (...) {
    try {
      if (Application) Application->HandleException(Sender);
    } catch (...) {
      // The handler failed too: nothing may leave a window procedure.
    }
  }
}

TCustomForm* GetParentForm(const TControl* Control) {
  const TControl* c = Control;
  while (c && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TControl* GetCaptureControl() { return gCaptureControl; }

void SetCaptureControl(TControl* Control) {
  gCaptureControl = nullptr;
  if (!Control) {
    ReleaseCapture();
    return;
  }
  if (auto* win = dynamic_cast<TWinControl*>(Control)) {
    SetCapture(win->Handle());
  } else if (Control->Parent()) {
    SetCapture(Control->Parent()->Handle());
  }
  gCaptureControl = Control;
}

TControl* MouseControl() { return gMouseControl; }

TControl* FindDragTarget(const TPoint& ScreenPos, bool AllowDisabled) {
  HWND wnd = WindowFromPoint(POINT{ScreenPos.X, ScreenPos.Y});
  TWinControl* win = nullptr;
  while (wnd && !(win = TWinControl::FindControl(wnd))) wnd = GetParent(wnd);
  if (!win) return nullptr;
  const TPoint client = win->ScreenToClient(ScreenPos);
  if (TControl* child = win->ControlAtPos(client, AllowDisabled, false)) return child;
  return win;
}

// ---------------------------------------------------------------- TMargins, TSizeConstraints

void TMargins::Assign(TPersistent* Source) {
  if (auto* m = dynamic_cast<TMargins*>(Source)) {
    SetBounds(m->FLeft, m->FTop, m->FRight, m->FBottom);
    return;
  }
  TPersistent::Assign(Source);
}

void TMargins::SetBounds(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) {
  if (ALeft == FLeft && ATop == FTop && ARight == FRight && ABottom == FBottom) return;
  FLeft = ALeft;
  FTop = ATop;
  FRight = ARight;
  FBottom = ABottom;
  if (OnChange) OnChange(this);
}

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinWidth = c->FMinWidth;
    FMinHeight = c->FMinHeight;
    FMaxWidth = c->FMaxWidth;
    FMaxHeight = c->FMaxHeight;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TSizeConstraints::Changed() {
  if (OnChange) OnChange(this);
}
void TSizeConstraints::SetMinWidth(Integer V) {
  if (V != FMinWidth) FMinWidth = V, Changed();
}
void TSizeConstraints::SetMinHeight(Integer V) {
  if (V != FMinHeight) FMinHeight = V, Changed();
}
void TSizeConstraints::SetMaxWidth(Integer V) {
  if (V != FMaxWidth) FMaxWidth = V, Changed();
}
void TSizeConstraints::SetMaxHeight(Integer V) {
  if (V != FMaxHeight) FMaxHeight = V, Changed();
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      FMargins(std::make_unique<TMargins>()),
      FConstraints(std::make_unique<TSizeConstraints>()),
      FFont(std::make_unique<TFont>()) {
  FMargins->OnChange = [this](TObject*) {
    if (FAlignWithMargins) RequestAlign();
  };
  FConstraints->OnChange = [this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); };
  FFont->OnChange = [this](TObject*) {
    if (!FFontFromParent) FParentFont = false;
    FontChanged();
  };
}

TControl::~TControl() = default;

void TControl::BeforeDestruction() {
  if (gCaptureControl == this) gCaptureControl = nullptr;
  if (gMouseControl == this) gMouseControl = nullptr;
  if (Application && Application->HintControl() == this) Application->CancelHint();
  if (FParent) FParent->RemoveControl(this);
  TComponent::BeforeDestruction();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EInvalidOperation(u"A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::ConstrainSize(Integer& AWidth, Integer& AHeight) const {
  const TSizeConstraints& c = *FConstraints;
  if (c.MaxWidth() > 0 && AWidth > c.MaxWidth()) AWidth = c.MaxWidth();
  if (c.MaxHeight() > 0 && AHeight > c.MaxHeight()) AHeight = c.MaxHeight();
  if (AWidth < c.MinWidth()) AWidth = c.MinWidth();
  if (AHeight < c.MinHeight()) AHeight = c.MinHeight();
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
}

void TControl::StoreBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
}

void TControl::InvalidateRectOfParent(const TRect& R) {
  if (FParent && FParent->HandleAllocated()) {
    const RECT rc = ToRECT(R);
    InvalidateRect(FParent->Handle(), &rc, !FControlStyle.Contains(csOpaque));
  }
}

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  ConstrainSize(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  if (FVisible) InvalidateRectOfParent(BoundsRect());
  StoreBounds(ALeft, ATop, AWidth, AHeight);
  if (FVisible) InvalidateRectOfParent(BoundsRect());
  if (resized) {
    if (auto* win = dynamic_cast<TWinControl*>(this)) win->Realign();
  }
  RequestAlign();
  if (resized) Resize();
}

TRect TControl::ClientRect() const { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(Integer AWidth, Integer AHeight) {
  const TRect client = ClientRect();
  SetBounds(FLeft, FTop, FWidth + AWidth - client.Width(), FHeight + AHeight - client.Height());
}

TPoint TControl::ClientOrigin() const {
  if (!FParent) return {FLeft, FTop};
  const TPoint p = FParent->ClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
  const TPoint o = ClientOrigin();
  return {P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
  const TPoint o = ClientOrigin();
  return {P.X - o.X, P.Y - o.Y};
}

TPoint TControl::ClientToParent(const TPoint& P, TWinControl* AParent) const {
  if (!AParent) AParent = FParent;
  if (!AParent) throw EInvalidOperation(u"Control has no parent window");
  return AParent->ScreenToClient(ClientToScreen(P));
}

void TControl::RequestAlign() {
  if (FParent && FAlign != alNone) FParent->AlignControls(this);
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  const TAlign old = FAlign;
  FAlign = Value;
  if (FParent && (old != alNone || Value != alNone)) FParent->AlignControls(this);
}

void TControl::SetAlignWithMargins(bool Value) {
  if (Value == FAlignWithMargins) return;
  FAlignWithMargins = Value;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) { FAnchors = Value; }

bool TControl::IsShowing() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  InvalidateRectOfParent(BoundsRect());
  VisibleChanged();
  if (FParent && FAlign != alNone) FParent->AlignControls(this);
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  EnabledChanged();
}

void TControl::SetColor(TColor Value) {
  FParentColor = false;
  if (Value == FColor) return;
  FColor = Value;
  ColorChanged();
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (Value && FParent) ParentColorChanged();
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value && FParent) ParentFontChanged();
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent) return;
  if (FColor != FParent->Color()) {
    FColor = FParent->Color();
    ColorChanged();
  }
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FFontFromParent = true;
  const TScopeExit done([this] { FFontFromParent = false; });
  FFont->Assign(FParent->Font());
}

void TControl::SetShowHint(bool Value) {
  FParentShowHint = false;
  if (Value == FShowHint) return;
  FShowHint = Value;
  ShowHintChanged();
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  if (Value) ParentShowHintChanged();
}

void TControl::ParentShowHintChanged() {
  if (FParentShowHint && FParent && FShowHint != FParent->ShowHint()) {
    FShowHint = FParent->ShowHint();
    ShowHintChanged();
  }
}

void TControl::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  CursorChanged();
}

void TControl::SetPopupMenu(TPopupMenuBase* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::SetText(const String& Value) {
  if (Value == GetText()) return;
  SetTextValue(Value);
  TextChanged();
}

void TControl::TextChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() {}

void TControl::NotifySysColorChange() { SysColorChange(); }

void TControl::Invalidate() {
  if (FVisible) InvalidateRectOfParent(BoundsRect());
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
  if (auto* win = dynamic_cast<TWinControl*>(this); win && win->HandleAllocated())
    SetWindowPos(win->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
  if (auto* win = dynamic_cast<TWinControl*>(this); win && win->HandleAllocated())
    SetWindowPos(win->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (IsMouseMessage(Message.Msg)) HandleMouseMessage(Message);
  if (Message.Msg == CM_DRAG) {
    HandleDragMessage(Message);
    return;
  }
  DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::HandleMouseMessage(TMessage& Message) {
  const Integer x = MessageX(Message.LParam);
  const Integer y = MessageY(Message.LParam);
  TShiftState shift = MouseShiftState(Message.WParam);
  auto down = [&](TMouseButton button, bool dbl) {
    if (dbl) {
      shift.Include(ssDouble);
      if (FControlStyle.Contains(csDoubleClicks) && button == mbLeft) DblClick();
    }
    if (button == mbLeft) {
      if (FControlStyle.Contains(csCaptureMouse)) SetCaptureControl(this);
      if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    }
    MouseDown(button, shift, x, y);
  };
  auto up = [&](TMouseButton button) {
    if (button == mbLeft) {
      if (gCaptureControl == this) SetCaptureControl(nullptr);
      if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        if (ClientRect().Contains({x, y})) Click();
      }
    }
    MouseUp(button, shift, x, y);
  };
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      break;
    case WM_LBUTTONDOWN:
      down(mbLeft, false);
      break;
    case WM_LBUTTONDBLCLK:
      down(mbLeft, true);
      break;
    case WM_RBUTTONDOWN:
      down(mbRight, false);
      break;
    case WM_RBUTTONDBLCLK:
      down(mbRight, true);
      break;
    case WM_MBUTTONDOWN:
      down(mbMiddle, false);
      break;
    case WM_MBUTTONDBLCLK:
      down(mbMiddle, true);
      break;
    case WM_LBUTTONUP:
      up(mbLeft);
      break;
    case WM_RBUTTONUP:
      up(mbRight);
      break;
    case WM_MBUTTONUP:
      up(mbMiddle);
      break;
    default:
      break;
  }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

bool TControl::ShowContextPopup(TPoint ClientPos, TPoint ScreenPos) {
  bool handled = false;
  DoContextPopup(ClientPos, handled);
  if (handled) return true;
  if (FPopupMenu) {
    FPopupMenu->PopupComponent = this;
    FPopupMenu->Popup(ScreenPos.X, ScreenPos.Y);
    return true;
  }
  return false;
}

void TControl::ScaleBy(Integer M, Integer D) {
  if (M == D || D == 0) return;
  auto scale = [M, D](Integer v) { return ::MulDiv(v, M, D); };
  FMargins->SetBounds(scale(FMargins->Left()), scale(FMargins->Top()), scale(FMargins->Right()),
                      scale(FMargins->Bottom()));
  TSizeConstraints& c = *FConstraints;
  c.SetMinWidth(scale(c.MinWidth()));
  c.SetMinHeight(scale(c.MinHeight()));
  c.SetMaxWidth(scale(c.MaxWidth()));
  c.SetMaxHeight(scale(c.MaxHeight()));
  if (!FParentFont) FFont->SetHeight(scale(FFont->Height()));
  SetBounds(scale(FLeft), scale(FTop), scale(FWidth), scale(FHeight));
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), FPadding(std::make_unique<TMargins>(0)), FBrush(std::make_unique<TBrush>()) {
  FBrush->SetColor(Color());
  FPadding->OnChange = [this](TObject*) { Realign(); };
}

TWinControl::~TWinControl() = default;

void TWinControl::BeforeDestruction() {
  // Children go first (whoever owns them), then the window: a child's
  // window must not outlive its parent's.
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    delete child;
  }
  DestroyHandle();
  TControl::BeforeDestruction();
}

TWinControl* TWinControl::FindControl(HWND Wnd) {
  if (!Wnd) return nullptr;
  return static_cast<TWinControl*>(GetPropW(Wnd, kControlProp));
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (!FHandle) CreateHandle();
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  if (Parent() && !Parent()->HandleAllocated()) {
    Parent()->CreateHandle();  // makes ours too
    if (FHandle) return;
  }
  CreateWnd();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* c : FControls)
    if (auto* win = dynamic_cast<TWinControl*>(c)) win->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = Text();
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  if (FVisible) Params.Style |= WS_VISIBLE;
  if (!Enabled()) Params.Style |= WS_DISABLED;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = Parent() ? Parent()->FHandle : nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent) throw EInvalidOperation(u"Control has no parent window");
  CreateWindowHandle(params);
  if (!FHandle) throw EOSError(u"Error creating window");
  ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  for (TControl* c : FControls)
    if (auto* win = dynamic_cast<TWinControl*>(c)) win->CreateHandle();
  UpdateBoundsFromWindow();
  Realign();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  const HMENU id = (Params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(gNextChildId++)) : nullptr;
  const auto* caption = WideCStr(Params.Caption);
  if (Params.SubClassOf.empty()) {
    FOwnClass = true;
    FDefWndProc = DefWindowProcW;
    CreateWindowExW(Params.ExStyle, OwnWindowClass(Params.WindowClassStyle), caption, Params.Style, Params.X, Params.Y,
                    Params.Width, Params.Height, Params.WndParent, id, GetModuleHandleW(nullptr),
                    static_cast<TWinControl*>(this));
  } else {
    FOwnClass = false;
    HWND wnd = CreateWindowExW(Params.ExStyle, WideCStr(Params.SubClassOf), caption, Params.Style, Params.X, Params.Y,
                               Params.Width, Params.Height, Params.WndParent, id, GetModuleHandleW(nullptr), nullptr);
    if (wnd) {
      Attach(wnd);
      FDefWndProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&QuorvelWindowProc)));
    }
  }
}

void TWinControl::DestroyWnd() {
  if (!FHandle) return;
  HWND wnd = FHandle;
  DestroyWindow(wnd);
  if (FHandle == wnd) Detach();  // a foreign window may not have passed WM_NCDESTROY to us
}

void TWinControl::Attach(HWND Wnd) {
  FHandle = Wnd;
  SetPropW(Wnd, kControlProp, this);
}

void TWinControl::Detach() {
  if (!FHandle) return;
  RemovePropW(FHandle, kControlProp);
  if (!FOwnClass && FDefWndProc) SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
  FHandle = nullptr;
  FMouseTracking = false;
}

LRESULT CALLBACK QuorvelWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWinControl* control = TWinControl::FindControl(Wnd);
  if (!control && Msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(LParam);
    control = static_cast<TWinControl*>(cs->lpCreateParams);
    if (control) control->Attach(Wnd);
  }
  if (!control) return DefWindowProcW(Wnd, Msg, WParam, LParam);
  TMessage message{Msg, WParam, LParam, 0};
  GuardedCall(control, [&] {
    // A custom style's hook sees the message first and may keep it.
    if (!control->FStyleHook || !control->FStyleHook->HandleMessage(message)) control->WndProc(message);
    if (Msg == WM_CREATE && !control->FStyleHook) control->FStyleHook = TStyleEngine::CreateHook(control);
    if (Msg == WM_DESTROY) control->FStyleHook.reset();
  });
  // After WM_NCDESTROY the window is gone; the object (if still alive) lets go.
  if (Msg == WM_NCDESTROY && TWinControl::FindControl(Wnd) == control) control->Detach();
  return message.Result;
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (FHandle && FDefWndProc)
    Message.Result = CallWindowProcW(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!FHandle || IsIconic(FHandle)) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
  StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!FHandle) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    return;
  }
  ConstrainSize(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  // WM_SIZE stores the new bounds, realigns the children and fires Resize.
  SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateBoundsFromWindow();
  RequestAlign();
}

TRect TWinControl::ClientRect() const {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() const {
  if (FHandle) {
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return {p.x, p.y};
  }
  return TControl::ClientOrigin();
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  if (AControl->FParent) AControl->FParent->RemoveControl(AControl);
  ControlListChange(AControl, true);
  FControls.push_back(AControl);
  AControl->FParent = this;
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) FTabList.push_back(win);
  AControl->ParentColorChanged();
  AControl->ParentFontChanged();
  AControl->ParentShowHintChanged();
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
    if (FHandle) {
      if (win->FHandle)
        ::SetParent(win->FHandle, FHandle);
      else
        win->CreateHandle();
    }
  } else {
    AControl->Invalidate();
  }
  AlignControls(AControl);
  ControlChange(AControl, true);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (!AControl || AControl->FParent != this) return;
  ControlChange(AControl, false);
  if (gCaptureControl == AControl) SetCaptureControl(nullptr);
  if (gMouseControl == AControl) gMouseControl = nullptr;
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) {
    if (TCustomForm* form = GetParentForm(this);
        form && form->ActiveControl() && (form->ActiveControl() == win || win->ContainsControl(form->ActiveControl())))
      form->SetActiveControl(nullptr);
    win->DestroyHandle();
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), win), FTabList.end());
  } else {
    AControl->Invalidate();
  }
  FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
  AControl->FParent = nullptr;
  ControlListChange(AControl, false);
  if (!ComponentState().Contains(csDestroying)) AlignControls(nullptr);
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& P, bool AllowDisabled, bool AllowWinControls) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!AllowWinControls && c->IsWindowed()) continue;
    if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
    if (c->BoundsRect().Contains(P) && c->HitTest(P.X - c->Left(), P.Y - c->Top())) return c;
  }
  return nullptr;
}

void TWinControl::EnableAlign() {
  if (FAlignDisabled > 0 && --FAlignDisabled == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() { AlignControls(nullptr); }

void TWinControl::Loaded() {
  TControl::Loaded();
  if (FAlignPending) Realign();
}

void TWinControl::AlignControls(TControl*) {
  if (FAligning > 0 || FAlignDisabled > 0 || ComponentState().Intersects({csLoading, csDestroying})) {
    FAlignPending = true;
    return;
  }
  // A child's resize handler may move a sibling while this pass runs (a
  // pane keeping its share of the window): the request it makes then is
  // not lost, a new pass lays the children out again from their new sizes.
  for (int pass = 0; pass < 4; ++pass) {
    FAlignPending = false;
    AlignPass();
    if (!FAlignPending) return;
  }
  FAlignPending = false;
}

void TWinControl::AlignPass() {
  ++FAligning;
  const TScopeExit aligned([this] { --FAligning; });
  const TRect client = ClientRect();
  const TSize size{client.Width(), client.Height()};
  TRect inner = client;
  AdjustClientRect(inner);
  inner.Left += FPadding->Left();
  inner.Top += FPadding->Top();
  inner.Right -= FPadding->Right();
  inner.Bottom -= FPadding->Bottom();
  std::vector<TAlignItem> items;
  items.reserve(FControls.size());
  for (TControl* c : FControls) {
    TAlignItem item;
    item.Align = c->FAlign;
    item.Anchors = c->FAnchors;
    item.Bounds = c->BoundsRect();
    item.Margins = c->FMargins->AsRect();
    item.UseMargins = c->FAlignWithMargins;
    item.Visible = c->FVisible;
    item.MinWidth = c->FConstraints->MinWidth();
    item.MinHeight = c->FConstraints->MinHeight();
    item.MaxWidth = c->FConstraints->MaxWidth();
    item.MaxHeight = c->FConstraints->MaxHeight();
    items.push_back(item);
  }
  if (FAnchorBase.cx >= 0 && !(FAnchorBase == size)) AnchorItems(FAnchorBase, size, items);
  FAnchorBase = size;
  AlignItems(inner, items);
  const std::vector<TControl*> controls = FControls;
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (!(items[i].Bounds == controls[i]->BoundsRect())) controls[i]->SetBoundsRect(items[i].Bounds);
}

void TWinControl::SetDoubleBuffered(bool Value) {
  if (Value == FDoubleBuffered) return;
  FDoubleBuffered = Value;
  Invalidate();
}

Integer TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->FTabList;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TWinControl::SetTabOrder(Integer Value) {
  if (!Parent()) return;
  auto& list = Parent()->FTabList;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  Value = std::clamp<Integer>(Value, 0, static_cast<Integer>(list.size()));
  list.insert(list.begin() + Value, this);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
  if (CanFocus()) ::SetFocus(Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const Integer n = static_cast<Integer>(list.size());
  Integer start = -1;
  for (Integer i = 0; i < n; ++i)
    if (list[static_cast<std::size_t>(i)] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  Integer i = start;
  for (Integer step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[static_cast<std::size_t>(i)];
    // Only leaves of the focus chain: a container is skipped when it has
    // focusable children of its own.
    if (c == CurControl && step + 1 < n) continue;
    if ((!CheckTabStop || c->FTabStop) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop)) next->SetFocus();
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (FHandle) {
    ShowingChanged();
  } else if (Value && Parent() && Parent()->HandleAllocated()) {
    CreateHandle();
  }
  VisibleChanged();
  if (Parent() && Align() != alNone) Parent()->AlignControls(this);
}

void TWinControl::SetEnabled(bool Value) {
  if (Value == Enabled()) return;
  TControl::SetEnabled(Value);
  if (FHandle) EnableWindow(FHandle, Value);
}

void TWinControl::FontChanged() {
  if (FHandle) ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  TControl::FontChanged();
  for (TControl* c : FControls) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
  FBrush->SetColor(Color());
  TControl::ColorChanged();
  for (TControl* c : FControls) c->ParentColorChanged();
}

void TWinControl::TextChanged() { TControl::TextChanged(); }

String TWinControl::GetText() const {
  if (!FHandle) return TControl::GetText();
  const int length = GetWindowTextLengthW(FHandle);
  String text(static_cast<std::size_t>(std::max(length, 0)) + 1, u'\0');
  const int got = GetWindowTextW(FHandle, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

void TWinControl::SetTextValue(const String& Value) {
  TControl::SetTextValue(Value);
  if (FHandle) SetWindowTextW(FHandle, WideCStr(Value));
}

void TWinControl::ScaleBy(Integer M, Integer D) {
  if (M == D || D == 0) return;
  {
    DisableAlign();
    const TScopeExit enable([this] { EnableAlign(); });
    const std::vector<TControl*> controls = FControls;
    for (TControl* c : controls) c->ScaleBy(M, D);
    TControl::ScaleBy(M, D);
    FAnchorBase = {-1, -1};
  }
  Realign();
}

void TWinControl::PaintWindow(HDC DC) {
  if (FOwnClass) return;
  TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(message);
}

void TWinControl::PaintControls(HDC DC) {
  RECT clip;
  GetClipBox(DC, &clip);
  for (TControl* c : FControls) {
    if (c->IsWindowed() || !c->Visible()) continue;
    RECT bounds = ToRECT(c->BoundsRect());
    RECT overlap;
    if (!IntersectRect(&overlap, &bounds, &clip)) continue;
    const TSavedDC saved(DC);
    POINT origin;
    GetWindowOrgEx(DC, &origin);
    SetWindowOrgEx(DC, origin.x - c->Left(), origin.y - c->Top(), nullptr);
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::PaintHandler(TMessage& Message) {
  const bool hasGraphic = std::any_of(FControls.begin(), FControls.end(), [](TControl* c) { return !c->IsWindowed(); });
  if (!FOwnClass && !FDoubleBuffered && !hasGraphic) {
    DefaultHandler(Message);
    return;
  }
  // WM_PAINT paints through BeginPaint; WM_PRINTCLIENT brings its own DC.
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  std::optional<TPaintDC> painting;
  if (!dc) dc = painting.emplace(FHandle).Get();
  auto paint = [this](HDC target) {
    PaintWindow(target);
    PaintControls(target);
  };
  if (!FDoubleBuffered) {
    paint(dc);
    return;
  }
  RECT rc;
  GetClientRect(FHandle, &rc);
  const TMemoryDC memory(dc);
  const TGdiObject bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1)));
  const TSelectGuard select(memory.Get(), bitmap.Get());
  ::FillRect(memory.Get(), &rc, FBrush->Handle());
  paint(memory.Get());
  BitBlt(dc, 0, 0, rc.right, rc.bottom, memory.Get(), 0, 0, SRCCOPY);
}

void TWinControl::PaintTo(HDC DC, Integer X, Integer Y) {
  const TSavedDC saved(DC);
  OffsetViewportOrgEx(DC, X, Y, nullptr);
  RECT rc;
  GetClientRect(Handle(), &rc);
  IntersectClipRect(DC, 0, 0, rc.right, rc.bottom);
  ::FillRect(DC, &rc, FBrush->Handle());
  TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  PaintHandler(message);
  // Windowed children in z order, bottom first.
  for (TControl* c : FControls) {
    auto* win = dynamic_cast<TWinControl*>(c);
    if (win && win->Visible() && win->FHandle) win->PaintTo(DC, c->Left(), c->Top());
  }
}

bool TWinControl::Reflect(TMessage& Message) {
  HWND child = nullptr;
  switch (Message.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(Message.LParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      if (mis->CtlType != ODT_MENU && FHandle) child = GetDlgItem(FHandle, static_cast<int>(mis->CtlID));
      break;
    }
    default:
      return false;
  }
  TWinControl* control = FindControl(child);
  if (!control || control == this) return false;
  Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
  return true;
}

bool TWinControl::RouteMouseToChild(TMessage& Message) {
  const TPoint p = MessagePoint(Message.LParam);
  TControl* target = nullptr;
  if (gCaptureControl && gCaptureControl != this) {
    if (gCaptureControl->Parent() == this && !gCaptureControl->IsWindowed()) target = gCaptureControl;
  } else if (!gCaptureControl) {
    target = ControlAtPos(p, false, false);
  }
  if (Message.Msg == WM_MOUSEMOVE) TrackMouse(target ? target : this);
  if (!target) return false;
  Message.Result =
      target->Perform(Message.Msg, Message.WParam, PointToLParam(p.X - target->Left(), p.Y - target->Top()));
  return true;
}

void TWinControl::TrackMouse(TControl* Target) {
  if (Target != gMouseControl) {
    TControl* old = gMouseControl;
    gMouseControl = Target;
    if (old) old->MouseLeave();
    if (gMouseControl == Target) Target->MouseEnter();
  }
  if (!FMouseTracking && FHandle) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
    FMouseTracking = TrackMouseEvent(&tme) != 0;
  }
}

void TWinControl::ShowContextMenu(TMessage& Message) {
  TPoint screen = MessagePoint(Message.LParam);
  if (screen.X == -1 && screen.Y == -1) screen = ClientToScreen({ClientWidth() / 2, ClientHeight() / 2});
  const TPoint client = ScreenToClient(screen);
  TControl* target = ControlAtPos(client, false, false);
  if (!target) target = this;
  if (target->ShowContextPopup(target->ScreenToClient(screen), screen)) {
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::SetCursorMessage(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT) {
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      TControl* target = ControlAtPos(ScreenToClient({p.x, p.y}), false, false);
      cursor = target ? target->Cursor() : crDefault;
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->Cursors(cursor));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

bool TWinControl::DialogChar(Word Key, TShiftState Shift) {
  // By index: a child that hears it may add or remove children.
  for (std::size_t i = 0; i < FControls.size(); ++i)
    if (FControls[i]->DialogChar(Key, Shift)) return true;
  return false;
}

void TWinControl::FocusChanged(TWinControl* Control) {
  for (std::size_t i = 0; i < FControls.size(); ++i) FControls[i]->FocusChanged(Control);
}

void TWinControl::CursorChanged() {
  if (!FHandle) return;
  POINT p;
  if (!GetCursorPos(&p) || WindowFromPoint(p) != FHandle) return;
  ::SendMessageW(FHandle, WM_SETCURSOR, reinterpret_cast<WPARAM>(FHandle), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TWinControl::ShowingChanged() {
  if (FHandle) ShowWindow(FHandle, FVisible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

bool TWinControl::WantsKey(Word Key) {
  UINT mask;
  switch (Key) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
    default:
      return true;  // not a dialog key
  }
  const LRESULT code = Perform(WM_GETDLGCODE, Key, 0);
  return (code & DLGC_WANTALLKEYS) || (code & mask);
}

void TWinControl::DialogKey(Word& Key, TShiftState Shift, bool& Handled) {
  const std::vector<TControl*> controls = FControls;
  for (TControl* c : controls) {
    if (Handled) return;
    if (auto* win = dynamic_cast<TWinControl*>(c); win && win->Visible()) win->DialogKey(Key, Shift, Handled);
  }
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyMessage(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  const bool preview = form && form != this && form->KeyPreview();
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      Word key = static_cast<Word>(Message.WParam);
      const TShiftState shift = KeyDataToShiftState(Message.LParam);
      const bool down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
      if (preview) down ? form->KeyDown(key, shift) : form->KeyUp(key, shift);
      if (key != 0) down ? KeyDown(key, shift) : KeyUp(key, shift);
      if (key == 0) return;
      Message.WParam = key;
      break;
    }
    case WM_CHAR: {
      Char c = static_cast<Char>(Message.WParam);
      if (preview) form->KeyPress(c);
      if (c != 0) KeyPress(c);
      if (c == 0) return;
      Message.WParam = c;
      break;
    }
    default:
      break;
  }
  DefaultHandler(Message);
}

void TWinControl::WndProc(TMessage& Message) {
  if (Reflect(Message)) return;
  switch (Message.Msg) {
    case WM_PAINT:
      PaintHandler(Message);
      return;
    case WM_ERASEBKGND:
      if (!FOwnClass) break;
      if (!FDoubleBuffered) {
        RECT rc;
        GetClientRect(FHandle, &rc);
        ::FillRect(reinterpret_cast<HDC>(Message.WParam), &rc, FBrush->Handle());
      }
      Message.Result = 1;
      return;
    case WM_SIZE:
      DefaultHandler(Message);
      UpdateBoundsFromWindow();
      Realign();
      Resize();
      return;
    case WM_MOVE:
      DefaultHandler(Message);
      UpdateBoundsFromWindow();
      return;
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && form != this) {
        form->SetFocusedControl(this);
        form->FocusChanged(this);
      }
      DefaultHandler(Message);
      DoEnter();
      return;
    case WM_KILLFOCUS:
      DefaultHandler(Message);
      DoExit();
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      KeyMessage(Message);
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
      Word key = static_cast<Word>(Message.WParam);
      Message.Result = 0;
      if (TCustomForm* form = GetParentForm(this); form && form->IsShortCut(key, KeyDataToShiftState(Message.LParam))) {
        Message.Result = 1;
        return;
      }
      if (!WantsKey(key)) {
        if (TCustomForm* form = GetParentForm(this)) {
          bool handled = false;
          form->DialogKey(key, KeyDataToShiftState(Message.LParam), handled);
          if (handled) Message.Result = 1;
        }
      }
      return;
    }
    case CN_BASE + WM_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_BASE + WM_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
      SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
      Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
      return;
    }
    case WM_SETCURSOR:
      SetCursorMessage(Message);
      return;
    case WM_SYSCHAR: {
      TWinControl* top = GetParentForm(this);
      if (!top) top = this;
      if (top->DialogChar(static_cast<Word>(Message.WParam), KeyDataToShiftState(Message.LParam))) {
        Message.Result = 0;
        return;
      }
      DefaultHandler(Message);
      return;
    }
    case WM_CONTEXTMENU:
      ShowContextMenu(Message);
      return;
    case WM_MOUSELEAVE:
      FMouseTracking = false;
      if (gMouseControl &&
          (gMouseControl == this || (!gMouseControl->IsWindowed() && gMouseControl->Parent() == this))) {
        TControl* old = gMouseControl;
        gMouseControl = nullptr;
        old->MouseLeave();
      }
      DefaultHandler(Message);
      return;
    case WM_SYSCOLORCHANGE:
      NotifySysColorChange();
      for (TControl* c : FControls) {
        if (auto* win = dynamic_cast<TWinControl*>(c); win && win->FHandle)
          ::SendMessageW(win->FHandle, WM_SYSCOLORCHANGE, 0, 0);
        else
          c->NotifySysColorChange();
      }
      DefaultHandler(Message);
      return;
    default:
      break;
  }
  if (Message.Msg >= CN_BASE && Message.Msg < CN_BASE + 0x400) return;  // unhandled reflections
  if (IsMouseMessage(Message.Msg) && RouteMouseToChild(Message)) return;
  TControl::WndProc(Message);
}

// ---------------------------------------------------------------- canvases

void TControlCanvas::CreateHandle() {
  if (auto* win = dynamic_cast<TWinControl*>(FControl)) {
    FOwnDC = TWindowDC(win->Handle());
    SetHandle(FOwnDC.Get());
    return;
  }
  if (FControl && FControl->Parent()) {
    FOwnDC = TWindowDC(FControl->Parent()->Handle());
    SetWindowOrgEx(FOwnDC.Get(), -FControl->Left(), -FControl->Top(), nullptr);
    IntersectClipRect(FOwnDC.Get(), 0, 0, FControl->Width(), FControl->Height());
    SetHandle(FOwnDC.Get());
  }
}

void TControlCanvas::FreeHandle() {
  if (FOwnDC && HandleAllocated()) SetHandle(nullptr);
  FOwnDC.Reset();
}

namespace {
// Paints Control on Canvas through DC, leaving the canvas without a DC.
template <class Paint>
void PaintOnCanvas(TControlCanvas& Canvas, TControl& Control, HDC DC, Paint&& Painter) {
  Canvas.FreeHandle();
  const TCanvasLock lock(Canvas);
  const TCanvasOnDC onDC(Canvas, DC);
  Canvas.SetFont(Control.Font());
  Canvas.Brush()->SetColor(Control.Color());
  Painter();
}
}  // namespace

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {
  FControlStyle.Include(csAcceptsControls);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
  PaintOnCanvas(*FCanvas, *this, DC, [this] { Paint(); });
}

void TCustomControl::DestroyWnd() {
  FCanvas->FreeHandle();
  TWinControl::DestroyWnd();
}

void TCustomControl::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && TabStop() && CanFocus() && !Focused())
    SetFocus();
  TWinControl::WndProc(Message);
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PAINT && Message.WParam) {
    PaintOnCanvas(*FCanvas, *this, reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
    return;
  }
  TControl::WndProc(Message);
}
