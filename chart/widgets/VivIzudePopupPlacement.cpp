#include "chart/widgets/VivIzudePopupPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Whole pixels, halves to even (the default rounding mode).
float RoundF(float Value) { return std::nearbyint(Value); }

// A coordinate as an Integer: NaN gives 0, and values beyond the range the
// nearest end, so that no input makes the conversion undefined.
Integer ToInteger(float Value) {
  if (std::isnan(Value)) return 0;
  const double v = std::nearbyint(static_cast<double>(Value));
  if (v <= static_cast<double>(std::numeric_limits<Integer>::min())) return std::numeric_limits<Integer>::min();
  if (v >= static_cast<double>(std::numeric_limits<Integer>::max())) return std::numeric_limits<Integer>::max();
  return static_cast<Integer>(v);
}

Integer ClampToInteger(Int64 Value) {
  return static_cast<Integer>(
      std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

// A size that is negative or not a number counts as nothing.
float SizeOrZero(float Value) { return Value > 0 ? Value : 0; }

double OverlapArea(const TRectF& A, const TRect& B) {
  const double w = std::min<double>(A.Right, B.Right) - std::max<double>(A.Left, B.Left);
  const double h = std::min<double>(A.Bottom, B.Bottom) - std::max<double>(A.Top, B.Top);
  return w > 0 && h > 0 ? w * h : 0;
}

bool HoldsPoint(const TRect& R, float X, float Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

double SquaredDistance(const TRectF& A, const TRect& B) {
  const double dx = std::max({static_cast<double>(B.Left) - A.Right, static_cast<double>(A.Left) - B.Right, 0.0});
  const double dy = std::max({static_cast<double>(B.Top) - A.Bottom, static_cast<double>(A.Top) - B.Bottom, 0.0});
  return dx * dx + dy * dy;
}

}  // namespace

bool IsControlRelativePlacement(TVivIzudePopupPlacement Placement) { return Placement <= ppRightCenter; }

bool IsMousePlacement(TVivIzudePopupPlacement Placement) {
  return Placement >= ppMouse && Placement <= ppAboveMouseCenter;
}

Integer WorkAreaOfAnchor(const std::vector<TRect>& WorkAreas, const TRectF& Anchor) {
  Integer best = -1;
  if (Anchor.IsEmpty()) {
    for (std::size_t i = 0; i < WorkAreas.size(); ++i)
      if (!WorkAreas[i].IsEmpty() && HoldsPoint(WorkAreas[i], Anchor.Left, Anchor.Top)) return static_cast<Integer>(i);
  } else {
    double most = 0;
    for (std::size_t i = 0; i < WorkAreas.size(); ++i) {
      if (WorkAreas[i].IsEmpty()) continue;
      const double area = OverlapArea(Anchor, WorkAreas[i]);
      if (area > most) {
        most = area;
        best = static_cast<Integer>(i);
      }
    }
    if (best >= 0) return best;
  }
  // Held by none (off every monitor, or NaN coordinates): the nearest.
  double nearest = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < WorkAreas.size(); ++i) {
    if (WorkAreas[i].IsEmpty()) continue;
    const double d = SquaredDistance(Anchor, WorkAreas[i]);
    if (best < 0 || d < nearest) {
      nearest = d;
      best = static_cast<Integer>(i);
    }
  }
  return best;
}

bool FitToWorkArea(TRectF& Rect, TVivIzudePopupPlacement& Placement, const TRect& WorkArea, const TRectF& Padding) {
  Rect = {RoundF(Rect.Left), RoundF(Rect.Top), RoundF(Rect.Right), RoundF(Rect.Bottom)};
  const float width = Rect.Width();
  const float height = Rect.Height();
  // The content may reach the area's edge; its padding (a shadow) may not.
  const TRectF area{WorkArea.Left - Padding.Left, WorkArea.Top - Padding.Top, WorkArea.Right + Padding.Right,
                    WorkArea.Bottom + Padding.Bottom};
  const TVivIzudePopupPlacement before = Placement;

  if (area.Left >= Rect.Left) {
    Rect.Left = area.Left;
    if (Placement == ppLeft) Placement = ppRight;
    if (Placement == ppLeftCenter) Placement = ppRightCenter;
  } else if (Rect.Left > area.Right - width) {
    // Wider than the area: its left edge stays on it.
    Rect.Left = std::max(area.Right - width, area.Left);
    if (Placement == ppRight) Placement = ppLeft;
    if (Placement == ppRightCenter) Placement = ppLeftCenter;
  }
  if (area.Top >= Rect.Top) {
    Rect.Top = area.Top;
    if (Placement == ppTop) Placement = ppBottom;
    if (Placement == ppTopCenter) Placement = ppBottomCenter;
  } else if (Rect.Top > area.Bottom - height) {
    Rect.Top = std::max(area.Bottom - height, area.Top);
    if (Placement == ppBottom) Placement = ppTop;
    if (Placement == ppBottomCenter) Placement = ppTopCenter;
  }
  Rect.Right = Rect.Left + width;
  Rect.Bottom = Rect.Top + height;
  return Placement == before;
}

TVivIzudePopupPlacementResult CalculatePopupPlacement(const TVivIzudePopupPlacementInput& Input,
                                                      const std::vector<TRect>& WorkAreas) {
  const float cx = SizeOrZero(Input.Size.cx);
  const float cy = SizeOrZero(Input.Size.cy);
  const TRectF& pad = Input.ContentPadding;
  const TRectF& given = Input.PlacementRectangle;
  const float originX = static_cast<float>(Input.ControlScreenOrigin.X);
  const float originY = static_cast<float>(Input.ControlScreenOrigin.Y);
  const float mx = static_cast<float>(Input.CursorPos.X);
  const float my = static_cast<float>(Input.CursorPos.Y);

  TVivIzudePopupPlacementResult result;
  TVivIzudePopupPlacement placement = Input.Placement;
  TRectF rect;
  for (int pass = 0; pass < 2; ++pass) {
    TRectF reference = given;
    if (Input.HasPlacementControl && reference.IsEmpty())
      reference = {0, 0, SizeOrZero(Input.ControlSize.cx), SizeOrZero(Input.ControlSize.cy)};
    result.ScreenPlacementRect = reference;
    TRectF anchor;

    if (IsControlRelativePlacement(placement)) {
      const float w = reference.Width();
      const float h = reference.Height();
      const bool above = placement == ppTop || placement == ppTopCenter;
      const bool before = placement == ppLeft || placement == ppLeftCenter;
      const float dy0 = above ? pad.Bottom - Input.Offset.Y : Input.Offset.Y - pad.Top;
      const float dx0 = before ? pad.Right - Input.Offset.X : Input.Offset.X - pad.Left;
      float dx = 0, dy = 0;
      switch (placement) {
        case ppBottom:
          dy = h;
          break;
        case ppTop:
          dy = -cy;
          break;
        case ppLeft:
          dx = -cx;
          break;
        case ppRight:
          dx = w;
          break;
        case ppCenter:
          dx = (w - cx) / 2;
          dy = (h - cy) / 2;
          break;
        case ppBottomCenter:
          dx = (w - cx) / 2;
          dy = h;
          break;
        case ppTopCenter:
          dx = (w - cx) / 2;
          dy = -cy;
          break;
        case ppLeftCenter:
          dx = -cx;
          dy = (h - cy) / 2;
          break;
        default:  // ppRightCenter
          dx = w;
          dy = (h - cy) / 2;
          break;
      }
      float x = RoundF(reference.Left + dx0 + dx);
      float y = RoundF(reference.Top + dy0 + dy);
      if (Input.HasPlacementControl) {
        x += originX;
        y += originY;
        result.ScreenPlacementRect = {reference.Left + originX, reference.Top + originY, reference.Right + originX,
                                      reference.Bottom + originY};
      }
      rect = {x, y, x + cx, y + cy};
      // The popup belongs next to what it is placed against.
      anchor = result.ScreenPlacementRect;
    } else if (placement == ppAbsolute) {
      rect = given.IsEmpty() ? TRectF{given.Left, given.Top, given.Left + cx, given.Top + cy} : given;
      anchor = rect;
    } else {
      switch (placement) {
        case ppMouseCenter:
          rect = {mx - cx / 2, my - cy / 2, 0, 0};
          break;
        case ppAboveMouse:
          rect = {mx, my - cy - 5, 0, 0};
          break;
        case ppAboveMouseCenter:
          rect = {mx - cx / 2, my - cy - 5, 0, 0};
          break;
        default:  // ppMouse
          rect = {mx, my, 0, 0};
          break;
      }
      rect.Right = rect.Left + cx;
      rect.Bottom = rect.Top + cy;
      anchor = {mx, my, mx, my};
    }

    result.WorkAreaIndex = Input.Designing ? -1 : WorkAreaOfAnchor(WorkAreas, anchor);
    if (result.WorkAreaIndex < 0) {
      rect = {RoundF(rect.Left), RoundF(rect.Top), RoundF(rect.Right), RoundF(rect.Bottom)};
      break;
    }
    if (FitToWorkArea(rect, placement, WorkAreas[static_cast<std::size_t>(result.WorkAreaIndex)], pad)) break;
  }

  result.ScreenContentRect = {rect.Left + pad.Left, rect.Top + pad.Top, rect.Right - pad.Right,
                              rect.Bottom - pad.Bottom};
  result.RealPlacement = placement;
  const Integer left = ToInteger(rect.Left);
  const Integer top = ToInteger(rect.Top);
  result.Bounds = {left, top, ClampToInteger(Int64{left} + ToInteger(rect.Right - rect.Left)),
                   ClampToInteger(Int64{top} + ToInteger(rect.Bottom - rect.Top))};
  return result;
}
