#include "chart/drawing/VivIzudeTypes.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
float RoundF(float V) { return std::nearbyint(V); }
Integer RoundI(float V) { return static_cast<Integer>(std::nearbyint(V)); }

// The first code point of each run of ten decimal digits (category Nd) in
// the Basic Multilingual Plane, from the Unicode Character Database. Both
// platforms answer from it: the C library's digit class holds the ASCII
// digits only, and Windows counts superscripts and other numbers as digits.
constexpr Char DecimalDigitRuns[] = {0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0BE6,
                                     0x0C66, 0x0CE6, 0x0D66, 0x0DE6, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x1090, 0x17E0,
                                     0x1810, 0x1946, 0x19D0, 0x1A80, 0x1A90, 0x1B50, 0x1BB0, 0x1C40, 0x1C50, 0xA620,
                                     0xA8D0, 0xA900, 0xA9D0, 0xA9F0, 0xAA50, 0xABF0, 0xFF10};

bool IsDecimalDigit(Char C) {
  const Char* Run = std::upper_bound(std::begin(DecimalDigitRuns), std::end(DecimalDigitRuns), C);
  return Run != std::begin(DecimalDigitRuns) && C - *(Run - 1) < 10;
}
}  // namespace

bool CharIsHex(Char C) { return (C >= u'0' && C <= u'9') || (C >= u'a' && C <= u'f') || (C >= u'A' && C <= u'F'); }

bool CharIsDigit(Char AChar) { return IsDecimalDigit(AChar); }

bool CharInArray(Char AChar, std::initializer_list<Char> AChars) {
  return std::find(AChars.begin(), AChars.end(), AChar) != AChars.end();
}

void OffsetRectF(TRectF& R, float DX, float DY) {
  R.Left += DX;
  R.Right += DX;
  R.Top += DY;
  R.Bottom += DY;
}

TRectF InflateRectF(TRectF& R, float DX, float DY) {
  R.Left -= DX;
  R.Right += DX;
  R.Top -= DY;
  R.Bottom += DY;
  return R;
}

bool PtInRectF(const TRectF& R, const TPointF& P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

bool IntersectsRectF(const TRectF& A, const TRectF& B) {
  return B.Right > A.Left && B.Left < A.Right && B.Bottom > A.Top && B.Top < A.Bottom;
}

bool IsRectEmptyF(const TRectF& R) {
  const auto Same = [](float A, float B) {
    const float Eps = std::max(std::min(std::fabs(A), std::fabs(B)) * 1E-4f, 1E-4f);
    return std::fabs(A - B) <= Eps;
  };
  if (std::isnan(R.Left) || std::isnan(R.Top) || std::isnan(R.Right) || std::isnan(R.Bottom)) return true;
  return R.Left > R.Right || R.Top > R.Bottom || Same(R.Left, R.Right) || Same(R.Top, R.Bottom);
}

TPointF CenterPointF(const TRectF& R) { return {R.Left + (R.Right - R.Left) / 2, R.Top + (R.Bottom - R.Top) / 2}; }

float VectorLengthF(const TPointF& V) { return std::sqrt(V.X * V.X + V.Y * V.Y); }

TRectF CenterRectF(TRectF& R, const TRectF& ABounds) {
  const float W = RectWidthF(R), H = RectHeightF(R);
  R.Left = ABounds.Left + RoundF((RectWidthF(ABounds) - W) / 2);
  R.Top = ABounds.Top + RoundF((RectHeightF(ABounds) - H) / 2);
  R.Right = R.Left + W;
  R.Bottom = R.Top + H;
  return R;
}

TRectF CenterInRectF(const TRectF& R, const TRectF& ABounds) {
  TRectF Copy = R;
  return CenterRectF(Copy, ABounds);
}

TRectF FitRectF(const TRectF& R, const TRectF& ABounds, float& AScale) {
  if (!(RectWidthF(ABounds) > 0 && RectHeightF(ABounds) > 0)) {
    AScale = 1;
    return R;
  }
  AScale = std::max(RectHeightF(R) / RectHeightF(ABounds), RectWidthF(R) / RectWidthF(ABounds));
  TRectF Fitted{0, 0, RectWidthF(R) / AScale, RectHeightF(R) / AScale};
  return CenterRectF(Fitted, ABounds);
}

TRectF FitRectF(const TRectF& R, const TRectF& ABounds) {
  float Scale;
  return FitRectF(R, ABounds, Scale);
}

TRectF SnapRectF(const TRectF& R, bool AHalfPixel, float AScale) {
  const float S = AScale <= 0 ? 1 : AScale;
  TRectF Out;
  Out.Left = std::trunc(R.Left * S) / S;
  Out.Top = std::trunc(R.Top * S) / S;
  Out.Right = Out.Left + RoundF((R.Right - R.Left) * S) / S;
  Out.Bottom = Out.Top + RoundF((R.Bottom - R.Top) * S) / S;
  if (AHalfPixel) OffsetRectF(Out, 1 / (2 * S), 1 / (2 * S));
  return Out;
}

TRectF IntersectRectF(const TRectF& R, const TRectF& ABounds) {
  const TRectF Out{std::max(R.Left, ABounds.Left), std::max(R.Top, ABounds.Top), std::min(R.Right, ABounds.Right),
                   std::min(R.Bottom, ABounds.Bottom)};
  return Out.IsEmpty() ? TRectF{} : Out;
}

TRect ConvertToRect(const TRectF& R) { return {RoundI(R.Left), RoundI(R.Top), RoundI(R.Right), RoundI(R.Bottom)}; }
TRectF ConvertToRectF(const TRect& R) {
  return {static_cast<float>(R.Left), static_cast<float>(R.Top), static_cast<float>(R.Right),
          static_cast<float>(R.Bottom)};
}
TPoint ConvertToPoint(const TPointF& P) { return {RoundI(P.X), RoundI(P.Y)}; }
TPointF ConvertToPointF(const TPoint& P) { return {static_cast<float>(P.X), static_cast<float>(P.Y)}; }
TSize ConvertToSize(const TSizeF& S) { return {RoundI(S.cx), RoundI(S.cy)}; }

TVivMargins::TVivMargins(const TRectF& ARect)
    : FRight(ARect.Right), FBottom(ARect.Bottom), FTop(ARect.Top), FLeft(ARect.Left) {}

void TVivMargins::Assign(const TObject* Source) {
  if (const auto* M = dynamic_cast<const TVivMargins*>(Source)) {
    FLeft = M->FLeft;
    FTop = M->FTop;
    FRight = M->FRight;
    FBottom = M->FBottom;
  }
}
