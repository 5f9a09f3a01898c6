#pragma once
// Windows only. Wheel panning's window and pictures: the small round window
// at the click point and the eleven panning cursors, and the two split
// cursors; our own artwork drawn with GDI (magenta marks the picture's
// transparent pixels).
#include <functional>

#include "rtl/Win32Handles.h"
#include "treeview/VastTreeTypes.h"
#include "vcl/Messages.h"

inline constexpr Integer PanningImageSize = 32;
inline constexpr COLORREF PanningTransparent = RGB(255, 0, 255);

// The panning picture for pcMoveAll, pcMoveEW or pcMoveNS (32 x 32).
TGdiObject CreatePanningBitmap(TVTPanningCursor Kind);
// A cursor showing the directions of Kind, its hot spot in the middle.
TCursorHandle CreatePanningCursor(TVTPanningCursor Kind);
// The split cursor over a column edge, or with AcrossRows over a row edge
// (the header's lower edge, a row's height), its hot spot in the middle.
TCursorHandle CreateSplitCursor(bool AcrossRows);

// The "VTPanningWindow" window centred on ScreenCentre, shaped to Image's
// non-magenta pixels, hidden until shown; it goes with the object. Handler
// receives its messages; an exception it raises goes to the application's
// handler and never into the system's frames.
class TPanningWindow {
public:
  using THandler = std::function<void(TMessage&)>;
  TPanningWindow(HWND Owner, const TPoint& ScreenCentre, HGDIOBJ Image, THandler Handler);
  ~TPanningWindow();
  TPanningWindow(const TPanningWindow&) = delete;
  TPanningWindow& operator=(const TPanningWindow&) = delete;
  // Null when the window could not be made.
  HWND Handle() const { return FWindow.Get(); }

private:
  static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  THandler FHandler;
  TWindowHandle FWindow;  // last: goes first, while the handler is still there
};
