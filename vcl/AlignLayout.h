#pragma once
// The arithmetic of control alignment, apart from any window so that it can
// be tested on its own: where aligned controls go inside their parent's
// client area, how anchored ones follow a resize, and where a form is
// centred. Portable: no Win32 header here.
#include <vector>

#include "vcl/Classes.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TAnchorKind : unsigned { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind, Byte>;

struct TAlignItem {
  TAlign Align = alNone;
  TAnchors Anchors{akLeft, akTop};
  TRect Bounds;   // in: current bounds; out: the new ones
  TRect Margins;  // Left/Top/Right/Bottom widths, used when UseMargins
  bool UseMargins = false;
  bool Visible = true;
  // Size limits; 0 means none.
  Integer MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
};

// Places the visible aligned items inside Client, in this order (the one
// forms are designed for): every alTop (nearest the top first: by Top, then list order), then
// alBottom (by bottom edge, lowest first), alLeft (by Left), alRight (by
// right edge, rightmost first) and last alClient, each taking its slice of
// what the previous ones left. Margins are kept outside the item. Sizes
// never go below zero. alNone, alCustom and hidden items are not moved.
void AlignItems(const TRect& Client, std::vector<TAlignItem>& Items);

// R with By taken off every side; a side never crosses the opposite one
// (an area too small collapses to zero width or height at its left/top).
TRect InsetRect(const TRect& R, Integer By);

// Moves/stretches the alNone items after the parent's client area went from
// OldSize to NewSize: an item anchored on both sides of an axis stretches,
// one anchored on the far side only moves with that side, one anchored on
// neither side keeps its centre at the same proportion.
void AnchorItems(const TSize& OldSize, const TSize& NewSize, std::vector<TAlignItem>& Items);

// Top-left of a Size box centred on Around, then kept inside Area.
TPoint CenterIn(const TRect& Around, const TSize& Size, const TRect& Area);
