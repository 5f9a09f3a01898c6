#include "vcl/Messages.h"

namespace {
bool KeyDown(int VirtualKey) { return (GetKeyState(VirtualKey) & 0x8000) != 0; }
}  // namespace

TShiftState MouseShiftState(WPARAM WParam) {
  TShiftState shift;
  if (WParam & MK_SHIFT) shift.Include(ssShift);
  if (WParam & MK_CONTROL) shift.Include(ssCtrl);
  if (WParam & MK_LBUTTON) shift.Include(ssLeft);
  if (WParam & MK_RBUTTON) shift.Include(ssRight);
  if (WParam & MK_MBUTTON) shift.Include(ssMiddle);
  if (KeyDown(VK_MENU)) shift.Include(ssAlt);
  return shift;
}

TShiftState KeyboardShiftState() {
  TShiftState shift;
  if (KeyDown(VK_SHIFT)) shift.Include(ssShift);
  if (KeyDown(VK_CONTROL)) shift.Include(ssCtrl);
  if (KeyDown(VK_MENU)) shift.Include(ssAlt);
  if (KeyDown(VK_LBUTTON)) shift.Include(ssLeft);
  if (KeyDown(VK_RBUTTON)) shift.Include(ssRight);
  if (KeyDown(VK_MBUTTON)) shift.Include(ssMiddle);
  return shift;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState shift;
  if (KeyDown(VK_SHIFT)) shift.Include(ssShift);
  if (KeyDown(VK_CONTROL)) shift.Include(ssCtrl);
  if (KeyData & 0x20000000) shift.Include(ssAlt);
  return shift;
}

#include "rtl/Dispatcher.h"

namespace {
const wchar_t kUtilityClass[] = L"Quorvel.UtilityWindow";

void RegisterUtilityClass(WNDPROC Proc) {
  static const bool registered = [Proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kUtilityClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}
}  // namespace

TUtilityWindow::TUtilityWindow(THandler Handler) : FHandler(std::move(Handler)) {
  RegisterUtilityClass(&TUtilityWindow::WindowProc);
  FHandle.Reset(
      CreateWindowExW(0, kUtilityClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr));
  if (!FHandle) throw EOSError(u"Cannot create a utility window");
  SetWindowLongPtrW(FHandle.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilityWindow::~TUtilityWindow() {
  // No message reaches the object while the window goes.
  if (FHandle) SetWindowLongPtrW(FHandle.Get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  if (!self || !self->FHandler) return DefWindowProcW(Wnd, Msg, WParam, LParam);
  TMessage message{Msg, WParam, LParam, 0};
  try {
    self->FHandler(message);
  } catch (...) {
    HandleUnhandledException(std::current_exception());
  }
  if (message.Result == 0 && Msg != WM_TIMER && Msg < WM_USER) return DefWindowProcW(Wnd, Msg, WParam, LParam);
  return message.Result;
}
