#pragma once
// Window messages as the controls see them: one record, the numbers of the
// messages the class library adds (reflected notifications), and the
// decoders that turn wParam/lParam into typed values once.
#include <exception>
#include <utility>

#include "rtl/Types.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Classes.h"

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// Notifications a parent reflects back to the child that sent them:
// CN_BASE + the original message number, same wParam and lParam.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
// A key press offered to the focused control before translation; a control
// that does not use the key leaves Result 0 and the form may take it as a
// dialog key (Tab, Enter, Escape, arrows).
inline constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;

// The private messages of the dispatcher and of vcl/ itself.
inline constexpr UINT WM_QUORVEL_FIRST = WM_APP + 0x3000;
inline constexpr UINT CM_RELEASE = WM_QUORVEL_FIRST + 1;
// The class library's own drag and drop between controls of the program:
// wParam a TDragMessage, lParam a TDragRec* (vcl/Controls.h).
inline constexpr UINT CM_DRAG = WM_QUORVEL_FIRST + 2;
// Asked of a control while its form is designed, with the mouse at lParam
// (client coordinates) and the key state in wParam: Result 1 claims the
// mouse for the control instead of the designer.
inline constexpr UINT CM_DESIGNHITTEST = WM_QUORVEL_FIRST + 3;

// Decoders.
inline Integer MessageX(LPARAM L) { return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(L))); }
inline Integer MessageY(LPARAM L) { return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(L))); }
inline TPoint MessagePoint(LPARAM L) { return {MessageX(L), MessageY(L)}; }
inline LPARAM PointToLParam(Integer X, Integer Y) {
  return static_cast<LPARAM>(
      MAKELONG(static_cast<WORD>(static_cast<short>(X)), static_cast<WORD>(static_cast<short>(Y))));
}
// Shift state of a mouse message's wParam, with Alt from the keyboard.
TShiftState MouseShiftState(WPARAM WParam);
// Shift state of the keyboard now (keys and mouse buttons).
TShiftState KeyboardShiftState();
// Shift state of a key message: Shift/Ctrl from the keyboard, Alt from the
// context bit of lParam.
TShiftState KeyDataToShiftState(LPARAM KeyData);

// The boundary of a Win32 callback (font and window enumerations, stream
// callbacks): an exception must not unwind through the system's frames, so
// Run keeps it and answers false (the callback then stops the enumeration),
// and RaiseIfAny raises it again once the Win32 call has returned. From
// there it travels as any other: out of a window procedure it reaches
// Application->OnException.
class TCallbackGuard {
public:
  template <class F>
  bool Run(F&& Work) noexcept {
    if (FError) return false;
    try {
      Work();
      return true;
    } catch (...) {
      FError = std::current_exception();
      return false;
    }
  }
  bool Failed() const noexcept { return FError != nullptr; }
  void RaiseIfAny() {
    if (FError) std::rethrow_exception(std::exchange(FError, nullptr));
  }

private:
  std::exception_ptr FError;
};

#include <functional>

// A hidden message-only window whose messages go to a callback, for objects
// that are not controls but need a window's messages: timers, the
// dispatcher, the hint machinery.
// Create and use it on one thread; exceptions from the callback go to the
// application's handler.
class TUtilityWindow {
public:
  using THandler = std::function<void(TMessage& Message)>;
  explicit TUtilityWindow(THandler Handler);
  ~TUtilityWindow();
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;
  HWND Handle() const { return FHandle.Get(); }

private:
  static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  TWindowHandle FHandle;
  THandler FHandler;
};
