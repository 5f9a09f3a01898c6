#include "vcl/Forms.h"

#include <objbase.h>

#include <algorithm>

#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "vcl/WinDispatcher.h"

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

String FromUtf8(const char* Text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, Text, -1, nullptr, 0);
  if (n <= 1) return String();
  String out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, Text, -1, reinterpret_cast<wchar_t*>(out.data()), n);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

// The text before '|': the short hint a control shows, the rest of the text
// going to the status bar.
String ShortHint(const String& Hint) {
  const auto bar = Hint.find(u'|');
  return bar == String::npos ? Hint : Hint.substr(0, bar);
}

}  // namespace

// ---------------------------------------------------------------- globals

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;

namespace {
struct TGlobals {
  TGlobals() {
    Mouse = new TMouse;
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
  }
  ~TGlobals() {
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
    delete Mouse;
    Mouse = nullptr;
  }
} gGlobals;
}  // namespace

// ---------------------------------------------------------------- TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FControlStyle.Include(csAcceptsControls);
  StoreBounds(0, 0, 320, 240);
  if (Screen) Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() = default;

void TCustomForm::BeforeDestruction() {
  GuardedCall(this, [this] { DoDestroy(); });
  if (Screen) {
    auto& forms = Screen->FForms;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->FActiveForm == this) Screen->FActiveForm = nullptr;
  }
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  TWinControl::BeforeDestruction();
}

void TCustomForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  const Integer ppi = Screen ? Screen->PixelsPerInch() : 96;
  if (FScaled && ppi != FPixelsPerInch && FPixelsPerInch > 0) {
    const TRect client = ClientRect();
    const Integer m = ppi, d = FPixelsPerInch;
    DisableAlign();
    for (Integer i = 0; i < ControlCount(); ++i) Controls(i)->ScaleBy(m, d);
    if (!ParentFont()) Font()->SetHeight(::MulDiv(Font()->Height(), m, d));
    EnableAlign();
    SetClientSize(::MulDiv(client.Width(), m, d), ::MulDiv(client.Height(), m, d));
    FPixelsPerInch = ppi;
  }
  DoCreate();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}
void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}
void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

DWORD TCustomForm::FrameStyle() const {
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const bool sysMenu = FBorderIcons.Contains(biSystemMenu);
  switch (FBorderStyle) {
    case bsNone:
      return style | WS_POPUP;
    case bsDialog:
      return style | WS_POPUP | WS_CAPTION | (sysMenu ? WS_SYSMENU : 0);
    case bsToolWindow:
      return style | WS_CAPTION | (sysMenu ? WS_SYSMENU : 0);
    case bsSizeToolWin:
      return style | WS_CAPTION | WS_THICKFRAME | (sysMenu ? WS_SYSMENU : 0);
    case bsSingle:
    case bsSizeable:
      style |= WS_CAPTION | (FBorderStyle == bsSizeable ? WS_THICKFRAME : WS_BORDER);
      if (sysMenu) {
        style |= WS_SYSMENU;
        if (FBorderIcons.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
        if (FBorderIcons.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
      }
      return style;
  }
  return style;
}

DWORD TCustomForm::FrameExStyle() const {
  DWORD ex = 0;
  if (FBorderStyle == bsDialog) ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) ex |= WS_EX_TOOLWINDOW;
  if (FFormStyle == fsStayOnTop) ex |= WS_EX_TOPMOST;
  if (Application && Application->MainForm() == this) ex |= WS_EX_APPWINDOW;
  return ex;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style = FrameStyle();
  Params.ExStyle = FrameExStyle();
  Params.WndParent = nullptr;
  // Secondary forms stay above the main form and go with it.
  if (Application && Application->MainForm() && Application->MainForm() != this &&
      Application->MainForm()->HandleAllocated())
    Params.WndParent = Application->MainForm()->Handle();
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (FWindowState == wsMaximized) ShowWindow(FHandle, SW_HIDE);
}

TRect TCustomForm::ClientRect() const {
  if (FHandle) return TWinControl::ClientRect();
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, FrameStyle(), FALSE, FrameExStyle());
  return {0, 0, std::max<Integer>(0, FWidth - (frame.right - frame.left)),
          std::max<Integer>(0, FHeight - (frame.bottom - frame.top))};
}

void TCustomForm::SetClientSize(Integer AWidth, Integer AHeight) { TControl::SetClientSize(AWidth, AHeight); }

TPoint TCustomForm::ClientOrigin() const {
  if (FHandle) return TWinControl::ClientOrigin();
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, FrameStyle(), FALSE, FrameExStyle());
  return {FLeft - frame.left, FTop - frame.top};
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (Value == FFormStyle) return;
  FFormStyle = Value;
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
  if (FHandle) {
    if (IsIconic(FHandle)) return wsMinimized;
    if (IsZoomed(FHandle)) return wsMaximized;
    if (IsWindowVisible(FHandle)) return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  FWindowState = Value;
  if (FHandle && FVisible)
    ShowWindow(FHandle, Value == wsMinimized ? SW_MINIMIZE : Value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  if (Control && (Control == this || !ContainsControl(Control))) throw EInvalidOperation(u"Invalid active control");
  FActiveControl = Control;
  if (Control && FHandle && FVisible && Control->CanFocus()) ::SetFocus(Control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control != this) FActiveControl = Control;
}

void TCustomForm::PlaceOnFirstShow() {
  if (FShown) return;
  FShown = true;
  const TRect area = Screen ? Screen->WorkAreaRect() : TRect{};
  const TSize size{FWidth, FHeight};
  TCustomForm* around = nullptr;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poMainFormCenter:
      around = Application ? Application->MainForm() : nullptr;
      break;
    case poOwnerFormCenter:
      around = dynamic_cast<TCustomForm*>(Owner());
      if (!around && Application) around = Application->MainForm();
      break;
    default:
      return;
  }
  if (around == this || (around && !around->Visible())) around = nullptr;
  const TRect outer = around ? around->BoundsRect() : area;
  const TPoint p = CenterIn(outer, size, area);
  SetBounds(p.X, p.Y, FWidth, FHeight);
}

void TCustomForm::SetVisible(bool Value) {
  if (Value == FVisible && (!FHandle || (IsWindowVisible(FHandle) != 0) == Value)) return;
  if (Value) {
    HandleNeeded();
    PlaceOnFirstShow();
    FVisible = true;
    DoShow();
    const int cmd = FWindowState == wsMaximized   ? SW_SHOWMAXIMIZED
                    : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                                                  : SW_SHOWNORMAL;
    ShowWindow(FHandle, cmd);
    if (FActiveControl && FActiveControl->CanFocus())
      ::SetFocus(FActiveControl->Handle());
    else if (TWinControl* first = FindNextControl(nullptr, true, true))
      first->SetFocus();
  } else {
    FVisible = false;
    DoHide();
    if (FHandle) ShowWindow(FHandle, SW_HIDE);
  }
  VisibleChanged();
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::BringToFront() {
  if (FHandle) SetForegroundWindow(FHandle);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Hide();
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    default:
      break;
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) FModalResult = mrNone;
}

namespace {
struct TDisabledWindows {
  HWND Self;
  std::vector<HWND> Windows;
  TCallbackGuard Guard;
};

BOOL CALLBACK DisableWindow(HWND Wnd, LPARAM Data) {
  auto* d = reinterpret_cast<TDisabledWindows*>(Data);
  return d->Guard.Run([&] {
    if (Wnd != d->Self && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
      d->Windows.push_back(Wnd);  // first: a window that could not be noted stays enabled
      EnableWindow(Wnd, FALSE);
    }
  });
}
}  // namespace

Integer TCustomForm::ShowModal() {
  if (FVisible || !Enabled() || FModal) throw EInvalidOperation(u"Cannot make a visible window modal");
  if (Application) {
    Application->Initialize();
    Application->CancelHint();
  }
  if (GetCaptureControl()) SetCaptureControl(nullptr);
  ReleaseCapture();
  HandleNeeded();
  // The other windows of this thread are disabled for the time of the loop.
  TDisabledWindows disabled{FHandle, {}, {}};
  EnumThreadWindows(GetCurrentThreadId(), &DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  FModal = true;
  if (Application) ++Application->FModalLevel;
  const TScopeExit restore([&] {
    for (HWND wnd : disabled.Windows)
      if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
    if (FHandle) Hide();
    FModal = false;
    if (Application) --Application->FModalLevel;
  });
  disabled.Guard.RaiseIfAny();
  FModalResult = mrNone;
  Show();
  do {
    if (Application) Application->HandleMessage();
    if (Application && Application->Terminated())
      FModalResult = mrCancel;
    else if (FModalResult != mrNone)
      CloseModal();
  } while (FModalResult == mrNone);
  return FModalResult;
}

void TCustomForm::Release() {
  if (FHandle) PostMessageW(FHandle, CM_RELEASE, 0, 0);
}

void TCustomForm::DialogKey(Word& Key, TShiftState Shift, bool& Handled) {
  if (!Shift.Intersects({ssAlt, ssCtrl})) {
    switch (Key) {
      case VK_TAB:
        SelectNext(FActiveControl, !Shift.Contains(ssShift), true);
        Handled = true;
        return;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(FActiveControl, Key == VK_RIGHT || Key == VK_DOWN, false);
          Handled = true;
          return;
        }
        break;
      default:
        break;
    }
  }
  TWinControl::DialogKey(Key, Shift, Handled);
}

void TCustomForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      Close();
      Message.Result = 0;
      return;
    case CM_RELEASE:
      delete this;  // nothing of the object may be touched after this
      return;
    case WM_ACTIVATE: {
      DefaultHandler(Message);
      const bool active = LOWORD(Message.WParam) != WA_INACTIVE;
      FActive = active;
      if (active) {
        if (Screen) Screen->FActiveForm = this;
        if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
          ::SetFocus(FActiveControl->Handle());
        if (OnActivate) OnActivate(this);
      } else {
        if (Screen && Screen->FActiveForm == this) Screen->FActiveForm = nullptr;
        if (OnDeactivate) OnDeactivate(this);
      }
      return;
    }
    case WM_GETMINMAXINFO: {
      DefaultHandler(Message);
      auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
      const TSizeConstraints& c = *Constraints();
      if (c.MinWidth() > 0) info->ptMinTrackSize.x = c.MinWidth();
      if (c.MinHeight() > 0) info->ptMinTrackSize.y = c.MinHeight();
      if (c.MaxWidth() > 0) info->ptMaxTrackSize.x = c.MaxWidth();
      if (c.MaxHeight() > 0) info->ptMaxTrackSize.y = c.MaxHeight();
      return;
    }
    case WM_SHOWWINDOW:
      // The window manager hides or shows a form (its owner was minimised).
      DefaultHandler(Message);
      return;
    default:
      break;
  }
  TWinControl::WndProc(Message);
}

int TCustomForm::AddShortCutHandler(TShortCutHandler Handler) {
  const int id = FNextShortCutId++;
  FShortCutHandlers.emplace(id, std::move(Handler));
  return id;
}

void TCustomForm::RemoveShortCutHandler(int Id) { FShortCutHandlers.erase(Id); }

bool TCustomForm::IsShortCut(Word Key, TShiftState Shift) {
  const auto handlers = FShortCutHandlers;  // a handler may unregister
  for (const auto& [id, handler] : handlers)
    if (handler(Key, Shift)) return true;
  return false;
}

// ---------------------------------------------------------------- THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  SetColor(clInfoBk);
  if (Screen) SetFont(Screen->HintFont());
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WindowClassStyle |= CS_SAVEBITS | CS_DROPSHADOW;
  Params.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const String& Hint) {
  TRect r{0, 0, MaxWidth, 0};
  Canvas()->SetFont(Font());
  Canvas()->TextRect(r, Hint, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  if (auto* canvas = dynamic_cast<TControlCanvas*>(Canvas())) canvas->FreeHandle();
  r.Right += 6;
  r.Bottom += 4;
  return r;
}

void THintWindow::ActivateHint(const TRect& Rect, const String& Hint) {
  SetText(Hint);
  HandleNeeded();
  StoreBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
  SetWindowPos(FHandle, HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FVisible = true;
  FShowing = true;
  Invalidate();
}

void THintWindow::ReleaseHint() {
  if (FHandle) ShowWindow(FHandle, SW_HIDE);
  FVisible = false;
  FShowing = false;
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  r.Left += 2;
  r.Top += 2;
  Canvas()->Font()->SetColor(clInfoText);
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->TextRect(r, Text(), DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void THintWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  DestroyComponents();
  FHintTimers.reset();
  if (FInitialized) SetUnhandledExceptionHandler(nullptr);
  FDispatcher.reset();
  if (FComInitialized) CoUninitialize();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FHintWindow) FHintWindow = nullptr;
}

void TApplication::Initialize() {
  if (FInitialized) return;
  FInitialized = true;
  FComInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  FDispatcher = std::make_unique<TWinDispatcher>();
  SetMainDispatcher(FDispatcher.get());
  SetUnhandledExceptionHandler([this](std::exception_ptr E) {
    try {
      std::rethrow_exception(E);
    } catch (...) {
      HandleException(this);
    }
  });
  FHintTimers = std::make_unique<TUtilityWindow>([this](TMessage& M) {
    if (M.Msg == WM_TIMER) HintTimerFired(M.WParam);
  });
}

void TApplication::Run() {
  Initialize();
  if (FMainForm && ShowMainForm) FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
  HWND wnd = Msg.hwnd;
  TWinControl* control = nullptr;
  while (wnd && !(control = TWinControl::FindControl(wnd))) wnd = GetParent(wnd);
  if (!control) return false;
  return control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  switch (Msg.message) {
    case WM_MOUSEMOVE: {
      POINT p;
      GetCursorPos(&p);
      HintMouseMessage(FindDragTarget({p.x, p.y}, false));
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      CancelHint();
      break;
    default:
      break;
  }
  bool handled = false;
  GuardedCall(this, [&] { handled = IsKeyMsg(Msg); });
  if (!handled) {
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
  return true;
}

void TApplication::Idle() {
  bool done = true;
  GuardedCall(this, [&] {
    if (OnIdle) OnIdle(this, done);
  });
  const auto handlers = FIdleHandlers;
  for (const auto& [id, handler] : handlers) GuardedCall(this, handler);
  if (done) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

int TApplication::AddIdleHandler(std::function<void()> Handler) {
  const int id = FNextIdleId++;
  FIdleHandlers.emplace(id, std::move(Handler));
  return id;
}

void TApplication::RemoveIdleHandler(int Id) { FIdleHandlers.erase(Id); }

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr error = std::current_exception();
  if (!error) return;
  auto report = [this, Sender](Exception& E) {
    if (OnException)
      OnException(Sender, E);
    else
      ShowException(E);
  };
  try {
    std::rethrow_exception(error);
  } catch (EAbort&) {
  } catch (Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    Exception wrapped(FromUtf8(e.what()));
    report(wrapped);
  } catch (...) {
    Exception wrapped(u"Unknown exception");
    report(wrapped);
  }
}

void TApplication::ShowException(const Exception& E) {
  String text = E.Message();
  if (!text.empty() && text.back() > u'.') text += u'.';
  String title = FTitle.empty() ? String(u"Error") : FTitle;
  MessageBoxW(GetActiveWindow(), WideCStr(text), WideCStr(title), MB_OK | MB_ICONSTOP);
}

void TApplication::SetShowHint(bool Value) {
  if (Value == FShowHint) return;
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::SetHint(const String& Value) {
  if (Value == FHint) return;
  FHint = Value;
  if (OnHint) GuardedCall(this, [this] { OnHint(this); });
}

void TApplication::StartHintTimer(UINT_PTR Id, Integer Ms) {
  if (FHintTimers) SetTimer(FHintTimers->Handle(), Id, static_cast<UINT>(std::max(Ms, 1)), nullptr);
}

void TApplication::StopHintTimer(UINT_PTR Id) {
  if (FHintTimers) KillTimer(FHintTimers->Handle(), Id);
}

void TApplication::HintMouseMessage(TControl* Control) {
  // The hint belongs to the nearest control that has one to show.
  while (Control && !Control->HasHint()) Control = Control->Parent();
  if (Control && !Control->ShowHint()) Control = nullptr;
  if (Control == FHintControl) return;
  const bool wasShowing = FHintActive && FHintWindow && FHintWindow->IsHintShowing();
  if (FHintWindow) FHintWindow->ReleaseHint();
  StopHintTimer(kHintHideTimer);
  FHintControl = Control;
  SetHint(Control ? ShortHint(Control->Hint()) : String());
  if (!FShowHint || !Control) {
    StopHintTimer(kHintShowTimer);
    FHintActive = false;
    return;
  }
  Integer pause = wasShowing ? HintShortPause : HintPause;
  Control->NotifyHintShowPause(wasShowing, pause);
  StartHintTimer(kHintShowTimer, pause);
}

void TApplication::HintTimerFired(UINT_PTR Id) {
  StopHintTimer(Id);
  if (Id == kHintShowTimer) {
    POINT p;
    GetCursorPos(&p);
    ActivateHint({p.x, p.y});
  } else if (Id == kHintHideTimer) {
    if (FHintWindow) FHintWindow->ReleaseHint();
    FHintActive = false;
  }
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  TControl* control = FHintControl;
  if (!control) {
    control = FindDragTarget(CursorPos, false);
    while (control && !control->HasHint()) control = control->Parent();
    FHintControl = control;
  }
  if (!control || !FShowHint) return;
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = control->ScreenToClient(CursorPos);
  info.CursorRect = control->ClientRect();
  info.HintPos = {CursorPos.X, CursorPos.Y + 20};
  info.HintMaxWidth = Screen ? Screen->Width() : 640;
  info.HintColor = HintColor;
  info.HideTimeout = HintHidePause;
  info.HintStr = ShortHint(control->Hint());
  bool canShow = true;
  control->NotifyHintShow(info);
  if (OnShowHint) OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) return;
  // A control's own hint window lives until the next hint.
  if (FHintWindow && FHintWindowIsControls) {
    delete FHintWindow;
    FHintWindow = nullptr;
  }
  FHintWindowIsControls = false;
  if (info.HintWindowClass) {
    FHintWindow = info.HintWindowClass(this);
    FHintWindow->FreeNotification(this);
    FHintWindowIsControls = true;
  }
  if (!FHintWindow) {
    FHintWindow = new THintWindow(this);
    FHintWindow->FreeNotification(this);
  }
  FHintCursorRect = info.CursorRect;
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  if (r.Width() <= 0 || r.Height() <= 0) return;
  r.Offset(info.HintPos.X, info.HintPos.Y);
  FHintWindow->ActivateHint(r, info.HintStr);
  FHintActive = true;
  if (info.HideTimeout > 0) StartHintTimer(kHintHideTimer, info.HideTimeout);
}

void TApplication::CancelHint() {
  StopHintTimer(kHintShowTimer);
  StopHintTimer(kHintHideTimer);
  if (FHintWindow) FHintWindow->ReleaseHint();
  FHintActive = false;
  FHintControl = nullptr;
}

// ---------------------------------------------------------------- TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), FHintFont(std::make_unique<TFont>()) {
  FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

namespace {
struct TFontFamilies {
  TStringList* List;
  TCallbackGuard Guard;
};

int CALLBACK AddFontFamily(const LOGFONTW* Font, const TEXTMETRICW*, DWORD, LPARAM Data) {
  auto* families = reinterpret_cast<TFontFamilies*>(Data);
  const auto* face = reinterpret_cast<const Char*>(Font->lfFaceName);
  return families->Guard.Run([&] {
    if (face[0] != u'@') families->List->Add(face);
  });
}
}  // namespace

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    auto list = std::make_unique<TStringList>(dupIgnore, true, false);
    // DEFAULT_CHARSET with an empty face: one call per family and charset;
    // the sorted list drops the repeats.
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    TFontFamilies families{list.get(), {}};
    {
      const TWindowDC screen(nullptr);
      EnumFontFamiliesExW(screen.Get(), &query, AddFontFamily, reinterpret_cast<LPARAM>(&families), 0);
    }
    families.Guard.RaiseIfAny();
    FFonts = std::move(list);
  }
  return FFonts.get();
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  if (Value != crDefault) {
    ::SetCursor(Cursors(Value));
  } else {
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(p.x, p.y);  // makes the window under the mouse choose again
  }
}

HCURSOR TScreen::Cursors(TCursor Index) const {
  auto it = FCustomCursors.find(Index);
  if (it != FCustomCursors.end()) return it->second.Get();
  const wchar_t* id = IDC_ARROW;
  switch (Index) {
    case crNone:
      return nullptr;
    case crCross:
      id = IDC_CROSS;
      break;
    case crIBeam:
      id = IDC_IBEAM;
      break;
    case crSizeNESW:
      id = IDC_SIZENESW;
      break;
    case crSizeNS:
    case crVSplit:
      id = IDC_SIZENS;
      break;
    case crSizeNWSE:
      id = IDC_SIZENWSE;
      break;
    case crSizeWE:
    case crHSplit:
      id = IDC_SIZEWE;
      break;
    case crUpArrow:
      id = IDC_UPARROW;
      break;
    case crHourGlass:
    case crSQLWait:
      id = IDC_WAIT;
      break;
    case crNo:
    case crNoDrop:
      id = IDC_NO;
      break;
    case crAppStart:
      id = IDC_APPSTARTING;
      break;
    case crHelp:
      id = IDC_HELP;
      break;
    case crHandPoint:
      id = IDC_HAND;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    default:
      break;
  }
  return LoadCursorW(nullptr, id);
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
  auto it = FCustomCursors.find(Index);
  if (it != FCustomCursors.end()) {
    if (it->second.Get() == Handle) return;
    FCustomCursors.erase(it);
  }
  if (Handle) FCustomCursors.emplace(Index, TCursorHandle(Handle));
}

Integer TScreen::PixelsPerInch() const {
  const TWindowDC screen(nullptr);
  const Integer ppi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return ppi > 0 ? ppi : 96;
}

Integer TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
Integer TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{0, 0, Width(), Height()};
  return {r.left, r.top, r.right, r.bottom};
}

TRect TScreen::DesktopRect() const {
  const Integer x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TWinControl* TScreen::ActiveControl() const { return FActiveForm ? FActiveForm->ActiveControl() : nullptr; }

// ---------------------------------------------------------------- TMouse

TPoint TMouse::CursorPos() const {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

void TMouse::SetCursorPos(const TPoint& P) { ::SetCursorPos(P.X, P.Y); }

Integer TMouse::WheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<Integer>(lines);
}

// ---------------------------------------------------------------- command line

namespace {
// One parameter from P; answers where the next one starts.
const Char* NextParam(const Char* P, String& Param) {
  Param.clear();
  for (;;) {
    while (*P && *P <= u' ') ++P;
    if (P[0] == u'"' && P[1] == u'"')
      P += 2;
    else
      break;
  }
  while (*P > u' ') {
    if (*P == u'"') {
      ++P;
      while (*P && *P != u'"') Param += *P++;
      if (*P) ++P;
    } else {
      Param += *P++;
    }
  }
  return P;
}

String CommandLine() { return String(reinterpret_cast<const Char*>(GetCommandLineW())); }
}  // namespace

Integer ParamCountOf(const String& CommandLine) {
  String param;
  const Char* p = NextParam(CommandLine.c_str(), param);
  Integer count = 0;
  for (;;) {
    p = NextParam(p, param);
    if (param.empty()) break;
    ++count;
  }
  return count;
}

String ParamStrOf(const String& CommandLine, Integer Index) {
  if (Index < 0) return String();
  String param;
  const Char* p = CommandLine.c_str();
  for (;;) {
    p = NextParam(p, param);
    if (Index == 0 || param.empty()) break;
    --Index;
  }
  return param;
}

Integer ParamCount() { return ParamCountOf(CommandLine()); }

String ParamStr(Integer Index) {
  if (Index == 0) {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    return String(reinterpret_cast<const Char*>(buffer), n);
  }
  return ParamStrOf(CommandLine(), Index);
}
