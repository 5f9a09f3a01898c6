#pragma once
// The chart library's basic toolkit, portable part: character tests for
// typed input, single-precision rectangle and point helpers with
// conversions to and from integer ones, and the margins object. Rounding is
// to the nearest integer with halves to even; truncation cuts towards zero.
// The picture helpers and scaled bitmaps are in win/VivIzudeTypes.h.
#include <initializer_list>

#include "rtl/Geometry.h"
#include "rtl/Types.h"

bool CharIsHex(Char AChar);
// Unicode letters (the platform's test) and decimal digits (category Nd:
// the digits of every script, not superscripts or other numbers).
bool CharIsLetter(Char AChar);
bool CharIsDigit(Char AChar);
inline bool CharIsLetterOrDigit(Char AChar) { return CharIsLetter(AChar) || CharIsDigit(AChar); }
bool CharInArray(Char AChar, std::initializer_list<Char> AChars);

void OffsetRectF(TRectF& R, float DX, float DY);
TRectF InflateRectF(TRectF& R, float DX, float DY);
// Left <= X < Right and Top <= Y < Bottom.
bool PtInRectF(const TRectF& R, const TPointF& P);
bool IntersectsRectF(const TRectF& A, const TRectF& B);
inline float RectWidthF(const TRectF& R) { return R.Right - R.Left; }
inline float RectHeightF(const TRectF& R) { return R.Bottom - R.Top; }
// Inverted, (nearly) zero-sized, or holding a value that is not a number.
bool IsRectEmptyF(const TRectF& R);
TPointF CenterPointF(const TRectF& R);
float VectorLengthF(const TPointF& V);
// Moves R so that it is centred (on whole pixels) in ABounds; returns it.
TRectF CenterRectF(TRectF& R, const TRectF& ABounds);
TRectF CenterInRectF(const TRectF& R, const TRectF& ABounds);
// R scaled to fit ABounds keeping its aspect ratio, centred; AScale is the
// divisor used (1 when ABounds has no area, R then unchanged).
TRectF FitRectF(const TRectF& R, const TRectF& ABounds, float& AScale);
TRectF FitRectF(const TRectF& R, const TRectF& ABounds);
// Aligned to the pixels of display scale AScale (1 when AScale <= 0).
TRectF SnapRectF(const TRectF& R, bool AHalfPixel, float AScale);
// R clipped to ABounds; (0, 0, 0, 0) when nothing is left.
TRectF IntersectRectF(const TRectF& R, const TRectF& ABounds);
TRect ConvertToRect(const TRectF& R);
TRectF ConvertToRectF(const TRect& R);
TPoint ConvertToPoint(const TPointF& P);
TPointF ConvertToPointF(const TPoint& P);
TSize ConvertToSize(const TSizeF& S);

// Four margins with a change event.
class TVivMargins : public TObject {
public:
  TVivMargins() = default;
  explicit TVivMargins(const TRectF& ARect);
  float Left() const { return FLeft; }
  float Top() const { return FTop; }
  float Right() const { return FRight; }
  float Bottom() const { return FBottom; }
  // Each stores and fires OnChange only when the value differs (a value
  // that is not a number always differs).
  void SetLeft(float Value) { Set(FLeft, Value); }
  void SetTop(float Value) { Set(FTop, Value); }
  void SetRight(float Value) { Set(FRight, Value); }
  void SetBottom(float Value) { Set(FBottom, Value); }
  // From other margins: the four values, without firing; anything else is ignored.
  void Assign(const TObject* Source);
  TRectF Rect() const { return {FLeft, FTop, FRight, FBottom}; }
  TRectF PaddingRect(const TRectF& R) const {
    return {R.Left + FLeft, R.Top + FTop, R.Right - FRight, R.Bottom - FBottom};
  }
  // The four read as a rectangle with no area.
  bool Empty() const { return Rect().IsEmpty(); }
  TNotifyEvent OnChange;

protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }

private:
  void Set(float& Field, float Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }
  float FRight = 0, FBottom = 0, FTop = 0, FLeft = 0;
};
