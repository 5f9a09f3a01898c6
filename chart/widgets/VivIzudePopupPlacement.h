#pragma once
// Where a drop-down popup goes: next to a control (or a rectangle, or the
// mouse) by one of fourteen placements, flipped to the opposite side when it
// does not fit, and kept on the work area of the monitor that holds what it
// is placed against. Portable: the caller hands in the monitors' work areas,
// the control's screen origin and the cursor; the popup form applies the
// answer.
#include <vector>

#include "rtl/Geometry.h"
#include "rtl/Types.h"

enum TVivIzudePopupPlacement : Byte {
  ppBottom,
  ppTop,
  ppLeft,
  ppRight,
  ppCenter,
  ppBottomCenter,
  ppTopCenter,
  ppLeftCenter,
  ppRightCenter,
  ppAbsolute,
  ppMouse,
  ppMouseCenter,
  ppAboveMouse,
  ppAboveMouseCenter,
};

// The nine placements relative to the placement control (or rectangle).
bool IsControlRelativePlacement(TVivIzudePopupPlacement Placement);
bool IsMousePlacement(TVivIzudePopupPlacement Placement);

// Everything a placement depends on.
struct TVivIzudePopupPlacementInput {
  TVivIzudePopupPlacement Placement = ppBottom;
  // Read as Left, Top, Right, Bottom: in the placement control's client
  // coordinates when there is one, else in screen coordinates.
  TRectF PlacementRectangle;
  bool HasPlacementControl = false;
  TPoint ControlScreenOrigin;  // screen position of the control's client (0, 0)
  TSizeF ControlSize;          // the control's Width and Height
  TPointF Offset;              // X horizontal, Y vertical
  TSizeF Size{320, 200};       // the popup form's
  TRectF ContentPadding;       // Left, Top, Right, Bottom: room around the content
  TPoint CursorPos;            // screen
  bool Designing = false;      // at design time the rectangle is not fitted
};

struct TVivIzudePopupPlacementResult {
  TRect Bounds;  // the form's rectangle, screen
  TVivIzudePopupPlacement RealPlacement = ppBottom;
  TRectF ScreenPlacementRect;  // the reference rectangle, screen
  TRectF ScreenContentRect;    // Bounds inset by the content padding
  Integer WorkAreaIndex = -1;  // the work area it was fitted to; -1: none
};

// The work area that holds Anchor (the one it overlaps most), else the one
// nearest to it; -1 when there are none. Anchor may have no area (a point).
Integer WorkAreaOfAnchor(const std::vector<TRect>& WorkAreas, const TRectF& Anchor);

// Moves Rect (rounded to whole pixels, size kept) inside WorkArea grown by
// Padding, flipping Placement where a side collides: answers false when it
// flipped. A rectangle larger than the area keeps its left and top edges on
// the area.
bool FitToWorkArea(TRectF& Rect, TVivIzudePopupPlacement& Placement, const TRect& WorkArea, const TRectF& Padding);

// The whole placement: at most two passes, the second with the flipped
// placement. Without work areas the rectangle is not fitted.
TVivIzudePopupPlacementResult CalculatePopupPlacement(const TVivIzudePopupPlacementInput& Input,
                                                      const std::vector<TRect>& WorkAreas);
