#pragma once
// Points, sizes and rectangles shared by every layer, portable or not.
#include "rtl/Types.h"

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom are exclusive, as in Win32 rectangles.
struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;
  Integer Width() const { return Right - Left; }
  Integer Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(const TPoint& P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  void Offset(Integer DX, Integer DY) {
    Left += DX;
    Right += DX;
    Top += DY;
    Bottom += DY;
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(Integer X, Integer Y) { return {X, Y}; }
inline TRect Rect(Integer Left, Integer Top, Integer Right, Integer Bottom) { return {Left, Top, Right, Bottom}; }
inline TRect Bounds(Integer Left, Integer Top, Integer Width, Integer Height) {
  return {Left, Top, Left + Width, Top + Height};
}
inline bool PtInRect(const TRect& R, const TPoint& P) { return R.Contains(P); }

// The same in 32-bit floats, for the chart drawing layer.
struct TPointF {
  float X = 0;
  float Y = 0;
  friend bool operator==(const TPointF&, const TPointF&) = default;
};

struct TSizeF {
  float cx = 0;
  float cy = 0;
  friend bool operator==(const TSizeF&, const TSizeF&) = default;
};

struct TRectF {
  float Left = 0;
  float Top = 0;
  float Right = 0;
  float Bottom = 0;
  float Width() const { return Right - Left; }
  float Height() const { return Bottom - Top; }
  // Empty when it has no area (a side not greater than its opposite).
  bool IsEmpty() const { return !(Right > Left) || !(Bottom > Top); }
  TPointF TopLeft() const { return {Left, Top}; }
  TPointF BottomRight() const { return {Right, Bottom}; }
  friend bool operator==(const TRectF&, const TRectF&) = default;
};
