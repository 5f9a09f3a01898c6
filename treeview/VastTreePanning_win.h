#pragma once
// Windows only. Wheel panning's window and pictures: the small round window
// at the click point and the eleven panning cursors, and the two split
// cursors; our own artwork drawn with GDI (magenta marks the picture's
// transparent pixels).
#include <functional>

#include "treeview/VastTreeTypes.h"
#include "vcl/Messages.h"

inline constexpr Integer PanningImageSize = 32;
inline constexpr COLORREF PanningTransparent = RGB(255, 0, 255);

// The panning picture for pcMoveAll, pcMoveEW or pcMoveNS (32 x 32).
HBITMAP CreatePanningBitmap(TVTPanningCursor Kind);
// A cursor showing the directions of Kind, its hot spot in the middle.
HCURSOR CreatePanningCursor(TVTPanningCursor Kind);
// The split cursor over a column edge, or with AcrossRows over a row edge
// (the header's lower edge, a row's height), its hot spot in the middle.
HCURSOR CreateSplitCursor(bool AcrossRows);
// The "VTPanningWindow" window centred on ScreenCentre, shaped to Image's
// non-magenta pixels; Handler receives its messages. Hidden until shown.
HWND CreatePanningWindow(HWND Owner, const TPoint& ScreenCentre, HBITMAP Image,
                         std::function<void(TMessage&)> Handler);
void DestroyPanningWindow(HWND Window);
