// The rest of the wrapper family's operations: those the chart itself does
// not call, kept so that the family covers the flat API for any user (the
// drawing layer above all). Each forwards to its entry point by the
// family's rules: native handles for wrappers, a failing status kept.
#include <algorithm>
#include <new>
#include <vector>

#include "chart/view/VivIzudeGDIP.h"

namespace {
template <class T>
auto* NativeOf(const T* Wrapper) {
  return Wrapper ? Wrapper->Native() : nullptr;
}
const WCHAR* WideText(const String& Text) { return reinterpret_cast<const WCHAR*>(Text.c_str()); }
INT LengthOf(const String& Text, INT Length) { return Length < 0 ? static_cast<INT>(Text.size()) : Length; }
}  // namespace

// ---------------------------------------------------------------- region
TGPRegion::TGPRegion() { lastResult = Api().GdipCreateRegion(&nativeRegion); }
TGPRegion::TGPRegion(const TGPRect& Rect) { lastResult = Api().GdipCreateRegionRectI(&Rect, &nativeRegion); }
TGPRegion::TGPRegion(const BYTE* RegionData, INT Size) {
  lastResult = Api().GdipCreateRegionRgnData(RegionData, Size, &nativeRegion);
}
TGPRegion::TGPRegion(HRGN Region) { lastResult = Api().GdipCreateRegionHrgn(Region, &nativeRegion); }
std::unique_ptr<TGPRegion> TGPRegion::FromHRGN(HRGN Region) {
  GpRegion* R = nullptr;
  if (CurrentGdiPlusApi().GdipCreateRegionHrgn(Region, &R) != Ok) return nullptr;
  return std::make_unique<TGPRegion>(R);
}
std::unique_ptr<TGPRegion> TGPRegion::Clone() {
  GpRegion* R = nullptr;
  Keep(Api().GdipCloneRegion(nativeRegion, &R));
  return std::make_unique<TGPRegion>(R);
}
Status TGPRegion::MakeInfinite() { return Keep(Api().GdipSetInfinite(nativeRegion)); }
Status TGPRegion::MakeEmpty() { return Keep(Api().GdipSetEmpty(nativeRegion)); }
UINT TGPRegion::GetDataSize() {
  UINT Size = 0;
  Keep(Api().GdipGetRegionDataSize(nativeRegion, &Size));
  return Size;
}
Status TGPRegion::GetData(BYTE* Buffer, UINT BufferSize, UINT* SizeFilled) {
  return Keep(Api().GdipGetRegionData(nativeRegion, Buffer, BufferSize, SizeFilled));
}
Status TGPRegion::Intersect(const TGPRect& R) {
  return Keep(Api().GdipCombineRegionRectI(nativeRegion, &R, CombineModeIntersect));
}
Status TGPRegion::Intersect(const TGPRectF& R) {
  return Keep(Api().GdipCombineRegionRect(nativeRegion, &R, CombineModeIntersect));
}
Status TGPRegion::Intersect(const TGPGraphicsPath& P) {
  return Keep(Api().GdipCombineRegionPath(nativeRegion, P.Native(), CombineModeIntersect));
}
Status TGPRegion::Intersect(const TGPRegion& R) {
  return Keep(Api().GdipCombineRegionRegion(nativeRegion, R.Native(), CombineModeIntersect));
}
Status TGPRegion::Union(const TGPRect& R) {
  return Keep(Api().GdipCombineRegionRectI(nativeRegion, &R, CombineModeUnion));
}
Status TGPRegion::Union(const TGPRectF& R) {
  return Keep(Api().GdipCombineRegionRect(nativeRegion, &R, CombineModeUnion));
}
Status TGPRegion::Union(const TGPGraphicsPath& P) {
  return Keep(Api().GdipCombineRegionPath(nativeRegion, P.Native(), CombineModeUnion));
}
Status TGPRegion::Xor_(const TGPRect& R) {
  return Keep(Api().GdipCombineRegionRectI(nativeRegion, &R, CombineModeXor));
}
Status TGPRegion::Xor_(const TGPRectF& R) {
  return Keep(Api().GdipCombineRegionRect(nativeRegion, &R, CombineModeXor));
}
Status TGPRegion::Xor_(const TGPGraphicsPath& P) {
  return Keep(Api().GdipCombineRegionPath(nativeRegion, P.Native(), CombineModeXor));
}
Status TGPRegion::Xor_(const TGPRegion& R) {
  return Keep(Api().GdipCombineRegionRegion(nativeRegion, R.Native(), CombineModeXor));
}
Status TGPRegion::Exclude(const TGPRect& R) {
  return Keep(Api().GdipCombineRegionRectI(nativeRegion, &R, CombineModeExclude));
}
Status TGPRegion::Exclude(const TGPRectF& R) {
  return Keep(Api().GdipCombineRegionRect(nativeRegion, &R, CombineModeExclude));
}
Status TGPRegion::Exclude(const TGPRegion& R) {
  return Keep(Api().GdipCombineRegionRegion(nativeRegion, R.Native(), CombineModeExclude));
}
Status TGPRegion::Complement(const TGPRect& R) {
  return Keep(Api().GdipCombineRegionRectI(nativeRegion, &R, CombineModeComplement));
}
Status TGPRegion::Complement(const TGPRectF& R) {
  return Keep(Api().GdipCombineRegionRect(nativeRegion, &R, CombineModeComplement));
}
Status TGPRegion::Complement(const TGPGraphicsPath& P) {
  return Keep(Api().GdipCombineRegionPath(nativeRegion, P.Native(), CombineModeComplement));
}
Status TGPRegion::Complement(const TGPRegion& R) {
  return Keep(Api().GdipCombineRegionRegion(nativeRegion, R.Native(), CombineModeComplement));
}
Status TGPRegion::Translate(REAL Dx, REAL Dy) { return Keep(Api().GdipTranslateRegion(nativeRegion, Dx, Dy)); }
Status TGPRegion::Translate(INT Dx, INT Dy) { return Keep(Api().GdipTranslateRegionI(nativeRegion, Dx, Dy)); }
Status TGPRegion::Transform(const TGPMatrix& M) { return Keep(Api().GdipTransformRegion(nativeRegion, M.Native())); }
Status TGPRegion::GetBounds(TGPRect& R, const TGPGraphics& G) {
  return Keep(Api().GdipGetRegionBoundsI(nativeRegion, G.Native(), &R));
}
Status TGPRegion::GetBounds(TGPRectF& R, const TGPGraphics& G) {
  return Keep(Api().GdipGetRegionBounds(nativeRegion, G.Native(), &R));
}
HRGN TGPRegion::GetHRGN(const TGPGraphics& G) {
  HRGN R = nullptr;
  Keep(Api().GdipGetRegionHRgn(nativeRegion, G.Native(), &R));
  return R;
}
bool TGPRegion::IsEmpty(const TGPGraphics& G) {
  BOOL B = FALSE;
  Keep(Api().GdipIsEmptyRegion(nativeRegion, G.Native(), &B));
  return B != FALSE;
}
bool TGPRegion::IsInfinite(const TGPGraphics& G) {
  BOOL B = FALSE;
  Keep(Api().GdipIsInfiniteRegion(nativeRegion, G.Native(), &B));
  return B != FALSE;
}
bool TGPRegion::IsEqual(const TGPRegion& R, const TGPGraphics& G) {
  BOOL B = FALSE;
  Keep(Api().GdipIsEqualRegion(nativeRegion, R.Native(), G.Native(), &B));
  return B != FALSE;
}
bool TGPRegion::IsVisible(REAL X, REAL Y, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisibleRegionPoint(nativeRegion, X, Y, NativeOf(G), &B)) == Ok && B;
}
bool TGPRegion::IsVisible(INT X, INT Y, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisibleRegionPointI(nativeRegion, X, Y, NativeOf(G), &B)) == Ok && B;
}
bool TGPRegion::IsVisible(const TGPPointF& P, const TGPGraphics* G) { return IsVisible(P.X, P.Y, G); }
bool TGPRegion::IsVisible(const TGPPoint& P, const TGPGraphics* G) { return IsVisible(P.X, P.Y, G); }
bool TGPRegion::IsVisible(REAL X, REAL Y, REAL W, REAL H, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisibleRegionRect(nativeRegion, X, Y, W, H, NativeOf(G), &B)) == Ok && B;
}
bool TGPRegion::IsVisible(INT X, INT Y, INT W, INT H, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisibleRegionRectI(nativeRegion, X, Y, W, H, NativeOf(G), &B)) == Ok && B;
}
bool TGPRegion::IsVisible(const TGPRectF& R, const TGPGraphics* G) { return IsVisible(R.X, R.Y, R.Width, R.Height, G); }
bool TGPRegion::IsVisible(const TGPRect& R, const TGPGraphics* G) { return IsVisible(R.X, R.Y, R.Width, R.Height, G); }
UINT TGPRegion::GetRegionScansCount(const TGPMatrix& M) {
  UINT Count = 0;
  Keep(Api().GdipGetRegionScansCount(nativeRegion, &Count, M.Native()));
  return Count;
}
Status TGPRegion::GetRegionScans(const TGPMatrix& M, TGPRectF* Rects, INT& Count) {
  return Keep(Api().GdipGetRegionScans(nativeRegion, Rects, &Count, M.Native()));
}
Status TGPRegion::GetRegionScans(const TGPMatrix& M, TGPRect* Rects, INT& Count) {
  return Keep(Api().GdipGetRegionScansI(nativeRegion, Rects, &Count, M.Native()));
}
Status TGPRegion::GetLastStatus() { return std::exchange(lastResult, Ok); }

// ---------------------------------------------------------------- matrix
bool TGPMatrix::IsEqual(const TGPMatrix& M) const {
  BOOL B = FALSE;
  return const_cast<TGPMatrix*>(this)->Keep(Api().GdipIsMatrixEqual(nativeMatrix, M.Native(), &B)) == Ok && B;
}

// ---------------------------------------------------------------- string format
std::unique_ptr<TGPStringFormat> TGPStringFormat::Clone() {
  GpStringFormat* F = nullptr;
  lastResult = Api().GdipCloneStringFormat(nativeFormat, &F);
  if (lastResult != Ok) return nullptr;
  return std::make_unique<TGPStringFormat>(F, lastResult);
}
Status TGPStringFormat::SetTabStops(REAL FirstTabOffset, INT Count, const REAL* TabStops) {
  return Keep(Api().GdipSetStringFormatTabStops(nativeFormat, FirstTabOffset, Count, TabStops));
}
INT TGPStringFormat::GetTabStopCount() {
  INT Count = 0;
  Keep(Api().GdipGetStringFormatTabStopCount(nativeFormat, &Count));
  return Count;
}
Status TGPStringFormat::GetTabStops(INT Count, REAL& FirstTabOffset, REAL* TabStops) {
  return Keep(Api().GdipGetStringFormatTabStops(nativeFormat, Count, &FirstTabOffset, TabStops));
}
Status TGPStringFormat::SetDigitSubstitution(LANGID Language, StringDigitSubstitute Substitute) {
  return Keep(Api().GdipSetStringFormatDigitSubstitution(nativeFormat, Language, Substitute));
}
LANGID TGPStringFormat::GetDigitSubstitutionLanguage() {
  LANGID Language = 0;
  Keep(Api().GdipGetStringFormatDigitSubstitution(nativeFormat, &Language, nullptr));
  return Language;
}
StringDigitSubstitute TGPStringFormat::GetDigitSubstitutionMethod() {
  StringDigitSubstitute Method = StringDigitSubstituteUser;
  Keep(Api().GdipGetStringFormatDigitSubstitution(nativeFormat, nullptr, &Method));
  return Method;
}
Status TGPStringFormat::SetMeasurableCharacterRanges(INT Count, const CharacterRange* Ranges) {
  return Keep(Api().GdipSetStringFormatMeasurableCharacterRanges(nativeFormat, Count, Ranges));
}
INT TGPStringFormat::GetMeasurableCharacterRangeCount() {
  INT Count = 0;
  Keep(Api().GdipGetStringFormatMeasurableCharacterRangeCount(nativeFormat, &Count));
  return Count;
}
Status TGPStringFormat::GetLastStatus() { return std::exchange(lastResult, Ok); }

// ---------------------------------------------------------------- fonts
INT TGPFontCollection::GetFamilyCount() {
  INT Count = 0;
  lastResult = Api().GdipGetFontCollectionFamilyCount(nativeFontCollection, &Count);
  return lastResult == Ok ? Count : 0;
}
Status TGPFontCollection::GetFamilies(INT NumSought, TGPFontFamily* Families, INT& NumFound) {
  if (NumSought < 1 || !Families) return lastResult = InvalidParameter;
  NumFound = 0;
  std::vector<GpFontFamily*> Found;
  try {
    Found.assign(static_cast<std::size_t>(NumSought), nullptr);
  } catch (const std::bad_alloc&) {
    return lastResult = OutOfMemory;
  }
  lastResult = Api().GdipGetFontCollectionFamilyList(nativeFontCollection, NumSought, Found.data(), &NumFound);
  if (lastResult == Ok)
    for (INT i = 0; i < std::min(NumFound, NumSought); ++i)
      Api().GdipCloneFontFamily(Found[static_cast<std::size_t>(i)], &Families[i].nativeFamily);
  return lastResult;
}

Status TGPFontFamily::GetFamilyName(String& Name, LANGID Language) {
  WCHAR Buffer[33] = {};
  const Status S = Keep(Api().GdipGetFamilyName(nativeFamily, Buffer, Language));
  Buffer[32] = 0;
  Name = S == Ok ? String(reinterpret_cast<const Char*>(Buffer)) : String();
  return S;
}
std::unique_ptr<TGPFontFamily> TGPFontFamily::Clone() {
  GpFontFamily* F = nullptr;
  Keep(Api().GdipCloneFontFamily(nativeFamily, &F));
  return std::make_unique<TGPFontFamily>(F, lastResult);
}
bool TGPFontFamily::IsStyleAvailable(INT Style) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsStyleAvailable(nativeFamily, Style, &B)) == Ok && B;
}
UINT16 TGPFontFamily::GetEmHeight(INT Style) {
  UINT16 V = 0;
  return Keep(Api().GdipGetEmHeight(nativeFamily, Style, &V)) == Ok ? V : 0;
}
UINT16 TGPFontFamily::GetCellAscent(INT Style) {
  UINT16 V = 0;
  return Keep(Api().GdipGetCellAscent(nativeFamily, Style, &V)) == Ok ? V : 0;
}
UINT16 TGPFontFamily::GetCellDescent(INT Style) {
  UINT16 V = 0;
  return Keep(Api().GdipGetCellDescent(nativeFamily, Style, &V)) == Ok ? V : 0;
}
UINT16 TGPFontFamily::GetLineSpacing(INT Style) {
  UINT16 V = 0;
  return Keep(Api().GdipGetLineSpacing(nativeFamily, Style, &V)) == Ok ? V : 0;
}
Status TGPFontFamily::GetLastStatus() { return std::exchange(lastResult, Ok); }

TGPFont::TGPFont(HDC DC) { lastResult = Api().GdipCreateFontFromDC(DC, &nativeFont); }
TGPFont::TGPFont(HDC DC, const LOGFONTA* LogFont) {
  lastResult = LogFont ? Api().GdipCreateFontFromLogfontA(DC, LogFont, &nativeFont)
                       : Api().GdipCreateFontFromDC(DC, &nativeFont);
}
TGPFont::TGPFont(HDC DC, const LOGFONTW* LogFont) {
  lastResult = LogFont ? Api().GdipCreateFontFromLogfontW(DC, LogFont, &nativeFont)
                       : Api().GdipCreateFontFromDC(DC, &nativeFont);
}
TGPFont::TGPFont(HDC DC, HFONT Font) {
  LOGFONTA LogFont{};
  if (Font && ::GetObjectA(Font, sizeof(LogFont), &LogFont) != 0)
    lastResult = Api().GdipCreateFontFromLogfontA(DC, &LogFont, &nativeFont);
  else
    lastResult = Api().GdipCreateFontFromDC(DC, &nativeFont);
}
Status TGPFont::GetLogFontA(const TGPGraphics* G, LOGFONTA& LogFont) {
  LogFont.lfHeight = 0;
  return Keep(Api().GdipGetLogFontA(nativeFont, NativeOf(G), &LogFont));
}
Status TGPFont::GetLogFontW(const TGPGraphics* G, LOGFONTW& LogFont) {
  LogFont.lfHeight = 0;
  return Keep(Api().GdipGetLogFontW(nativeFont, NativeOf(G), &LogFont));
}
std::unique_ptr<TGPFont> TGPFont::Clone() {
  GpFont* F = nullptr;
  Keep(Api().GdipCloneFont(nativeFont, &F));
  return std::make_unique<TGPFont>(F, lastResult);
}
Unit_ TGPFont::GetUnit() {
  Unit_ U = UnitWorld;
  Keep(Api().GdipGetFontUnit(nativeFont, &U));
  return U;
}
REAL TGPFont::GetHeight(const TGPGraphics* G) {
  REAL H = 0;
  Keep(Api().GdipGetFontHeight(nativeFont, NativeOf(G), &H));
  return H;
}
REAL TGPFont::GetHeight(REAL Dpi) {
  REAL H = 0;
  Keep(Api().GdipGetFontHeightGivenDPI(nativeFont, Dpi, &H));
  return H;
}
Status TGPFont::GetFamily(TGPFontFamily* Family) {
  if (!Family) return Keep(InvalidParameter);
  const Status S = Api().GdipGetFamily(nativeFont, &Family->nativeFamily);
  Family->KeepStatus(S);
  return Keep(S);
}

// ---------------------------------------------------------------- brushes
std::unique_ptr<TGPBrush> TGPBrush::Clone() {
  GpBrush* B = nullptr;
  Keep(Api().GdipCloneBrush(nativeBrush, &B));
  return std::make_unique<TGPBrush>(B, lastResult);
}
BrushType TGPBrush::GetType() {
  BrushType T = static_cast<BrushType>(-1);
  Keep(Api().GdipGetBrushType(nativeBrush, &T));
  return T;
}
Status TGPBrush::GetLastStatus() { return std::exchange(lastResult, Ok); }

Status TGPSolidBrush::SetColor(ARGB Color) { return Keep(Api().GdipSetSolidFillColor(nativeBrush, Color)); }
Status TGPSolidBrush::GetColor(ARGB& Color) {
  // This call's status, as the pen and gradient colour reads answer: a
  // failure kept from an earlier call says nothing about this read.
  ARGB C = 0;
  const Status S = Keep(Api().GdipGetSolidFillColor(nativeBrush, &C));
  if (S == Ok) Color = C;
  return S;
}

Status TGPTextureBrush::SetTransform(const TGPMatrix& M) {
  return Keep(Api().GdipSetTextureTransform(nativeBrush, M.Native()));
}
Status TGPTextureBrush::GetTransform(TGPMatrix& M) {
  return Keep(Api().GdipGetTextureTransform(nativeBrush, M.Native()));
}
Status TGPTextureBrush::MultiplyTransform(const TGPMatrix& M, MatrixOrder Order) {
  return Keep(Api().GdipMultiplyTextureTransform(nativeBrush, M.Native(), Order));
}

Status TGPLinearGradientBrush::SetLinearColors(ARGB Color1, ARGB Color2) {
  return Keep(Api().GdipSetLineColors(nativeBrush, Color1, Color2));
}
Status TGPLinearGradientBrush::GetLinearColors(ARGB& Color1, ARGB& Color2) {
  ARGB Colors[2] = {};
  const Status S = Keep(Api().GdipGetLineColors(nativeBrush, Colors));
  if (S == Ok) {
    Color1 = Colors[0];
    Color2 = Colors[1];
  }
  return S;
}
Status TGPLinearGradientBrush::GetRectangle(TGPRectF& R) { return Keep(Api().GdipGetLineRect(nativeBrush, &R)); }
Status TGPLinearGradientBrush::GetRectangle(TGPRect& R) { return Keep(Api().GdipGetLineRectI(nativeBrush, &R)); }
bool TGPLinearGradientBrush::GetGammaCorrection() {
  BOOL B = FALSE;
  Keep(Api().GdipGetLineGammaCorrection(nativeBrush, &B));
  return B != FALSE;
}
INT TGPLinearGradientBrush::GetBlendCount() {
  INT Count = 0;
  return Keep(Api().GdipGetLineBlendCount(nativeBrush, &Count)) == Ok ? Count : 0;
}
Status TGPLinearGradientBrush::SetBlend(const REAL* Factors, const REAL* Positions, INT Count) {
  return Keep(Api().GdipSetLineBlend(nativeBrush, Factors, Positions, Count));
}
Status TGPLinearGradientBrush::GetBlend(REAL* Factors, REAL* Positions, INT Count) {
  if (Count <= 0 || !Factors || !Positions) return Keep(InvalidParameter);
  return Keep(Api().GdipGetLineBlend(nativeBrush, Factors, Positions, Count));
}
INT TGPLinearGradientBrush::GetInterpolationColorCount() {
  INT Count = 0;
  return Keep(Api().GdipGetLinePresetBlendCount(nativeBrush, &Count)) == Ok ? Count : 0;
}
Status TGPLinearGradientBrush::GetInterpolationColors(ARGB* Colors, REAL* Positions, INT Count) {
  if (Count <= 0) return Keep(InvalidParameter);
  return Keep(Api().GdipGetLinePresetBlend(nativeBrush, Colors, Positions, Count));
}
Status TGPLinearGradientBrush::SetBlendBellShape(REAL Focus, REAL Scale) {
  return Keep(Api().GdipSetLineSigmaBlend(nativeBrush, Focus, Scale));
}
Status TGPLinearGradientBrush::SetBlendTriangularShape(REAL Focus, REAL Scale) {
  return Keep(Api().GdipSetLineLinearBlend(nativeBrush, Focus, Scale));
}
Status TGPLinearGradientBrush::SetTransform(const TGPMatrix& M) {
  return Keep(Api().GdipSetLineTransform(nativeBrush, M.Native()));
}
Status TGPLinearGradientBrush::GetTransform(TGPMatrix& M) {
  return Keep(Api().GdipGetLineTransform(nativeBrush, M.Native()));
}
Status TGPLinearGradientBrush::ResetTransform() { return Keep(Api().GdipResetLineTransform(nativeBrush)); }
Status TGPLinearGradientBrush::MultiplyTransform(const TGPMatrix& M, MatrixOrder Order) {
  return Keep(Api().GdipMultiplyLineTransform(nativeBrush, M.Native(), Order));
}
Status TGPLinearGradientBrush::TranslateTransform(REAL Dx, REAL Dy, MatrixOrder Order) {
  return Keep(Api().GdipTranslateLineTransform(nativeBrush, Dx, Dy, Order));
}
Status TGPLinearGradientBrush::ScaleTransform(REAL Sx, REAL Sy, MatrixOrder Order) {
  return Keep(Api().GdipScaleLineTransform(nativeBrush, Sx, Sy, Order));
}
Status TGPLinearGradientBrush::RotateTransform(REAL Angle, MatrixOrder Order) {
  return Keep(Api().GdipRotateLineTransform(nativeBrush, Angle, Order));
}
Status TGPLinearGradientBrush::SetWrapMode(WrapMode Wrap) { return Keep(Api().GdipSetLineWrapMode(nativeBrush, Wrap)); }
WrapMode TGPLinearGradientBrush::GetWrapMode() {
  WrapMode W = WrapModeTile;
  Keep(Api().GdipGetLineWrapMode(nativeBrush, &W));
  return W;
}

// ---------------------------------------------------------------- pen
std::unique_ptr<TGPPen> TGPPen::Clone() {
  GpPen* P = nullptr;
  lastResult = Api().GdipClonePen(nativePen, &P);
  return std::make_unique<TGPPen>(P, lastResult);
}
Status TGPPen::SetLineCap(INT StartCap, INT EndCap, INT DashCap) {
  return Keep(Api().GdipSetPenLineCap197819(nativePen, StartCap, EndCap, DashCap));
}
Status TGPPen::SetStartCap(INT StartCap) { return Keep(Api().GdipSetPenStartCap(nativePen, StartCap)); }
INT TGPPen::GetStartCap() {
  INT Cap = 0;
  Keep(Api().GdipGetPenStartCap(nativePen, &Cap));
  return Cap;
}
INT TGPPen::GetEndCap() {
  INT Cap = 0;
  Keep(Api().GdipGetPenEndCap(nativePen, &Cap));
  return Cap;
}
Status TGPPen::SetDashCap(INT DashCap) { return Keep(Api().GdipSetPenDashCap197819(nativePen, DashCap)); }
INT TGPPen::GetDashCap() {
  INT Cap = 0;
  Keep(Api().GdipGetPenDashCap197819(nativePen, &Cap));
  return Cap;
}
Status TGPPen::SetLineJoin(LineJoin Join) { return Keep(Api().GdipSetPenLineJoin(nativePen, Join)); }
LineJoin TGPPen::GetLineJoin() {
  LineJoin J = LineJoinMiter;
  Keep(Api().GdipGetPenLineJoin(nativePen, &J));
  return J;
}
Status TGPPen::SetMiterLimit(REAL MiterLimit) { return Keep(Api().GdipSetPenMiterLimit(nativePen, MiterLimit)); }
REAL TGPPen::GetMiterLimit() {
  REAL M = 0;
  Keep(Api().GdipGetPenMiterLimit(nativePen, &M));
  return M;
}
Status TGPPen::SetAlignment(PenAlignment Alignment) { return Keep(Api().GdipSetPenMode(nativePen, Alignment)); }
PenAlignment TGPPen::GetAlignment() {
  PenAlignment A = PenAlignmentCenter;
  Keep(Api().GdipGetPenMode(nativePen, &A));
  return A;
}
Status TGPPen::SetTransform(const TGPMatrix& M) { return Keep(Api().GdipSetPenTransform(nativePen, M.Native())); }
Status TGPPen::GetTransform(TGPMatrix& M) { return Keep(Api().GdipGetPenTransform(nativePen, M.Native())); }
Status TGPPen::ResetTransform() { return Keep(Api().GdipResetPenTransform(nativePen)); }
Status TGPPen::MultiplyTransform(const TGPMatrix& M, MatrixOrder Order) {
  return Keep(Api().GdipMultiplyPenTransform(nativePen, M.Native(), Order));
}
Status TGPPen::TranslateTransform(REAL Dx, REAL Dy, MatrixOrder Order) {
  return Keep(Api().GdipTranslatePenTransform(nativePen, Dx, Dy, Order));
}
Status TGPPen::ScaleTransform(REAL Sx, REAL Sy, MatrixOrder Order) {
  return Keep(Api().GdipScalePenTransform(nativePen, Sx, Sy, Order));
}
Status TGPPen::RotateTransform(REAL Angle, MatrixOrder Order) {
  return Keep(Api().GdipRotatePenTransform(nativePen, Angle, Order));
}
REAL TGPPen::GetDashOffset() {
  REAL Offset = 0;
  Keep(Api().GdipGetPenDashOffset(nativePen, &Offset));
  return Offset;
}
Status TGPPen::SetDashOffset(REAL Offset) { return Keep(Api().GdipSetPenDashOffset(nativePen, Offset)); }
Status TGPPen::SetDashPattern(const REAL* DashArray, INT Count) {
  return Keep(Api().GdipSetPenDashArray(nativePen, DashArray, Count));
}
INT TGPPen::GetDashPatternCount() {
  INT Count = 0;
  Keep(Api().GdipGetPenDashCount(nativePen, &Count));
  return Count;
}
Status TGPPen::GetDashPattern(REAL* DashArray, INT Count) {
  return Keep(Api().GdipGetPenDashArray(nativePen, DashArray, Count));
}
Status TGPPen::SetCompoundArray(const REAL* CompoundArray, INT Count) {
  return Keep(Api().GdipSetPenCompoundArray(nativePen, CompoundArray, Count));
}
INT TGPPen::GetCompoundArrayCount() {
  INT Count = 0;
  Keep(Api().GdipGetPenCompoundCount(nativePen, &Count));
  return Count;
}
Status TGPPen::GetCompoundArray(REAL* CompoundArray, INT Count) {
  if (Count <= 0) return Keep(InvalidParameter);
  return Keep(Api().GdipGetPenCompoundArray(nativePen, CompoundArray, Count));
}

// ---------------------------------------------------------------- path
TGPGraphicsPath::TGPGraphicsPath(const TGPPointF* Points, const BYTE* Types, INT Count, FillMode Mode) {
  lastResult = Api().GdipCreatePath2(Points, Types, Count, Mode, &nativePath);
}
TGPGraphicsPath::TGPGraphicsPath(const TGPPoint* Points, const BYTE* Types, INT Count, FillMode Mode) {
  lastResult = Api().GdipCreatePath2I(Points, Types, Count, Mode, &nativePath);
}
TGPGraphicsPath::TGPGraphicsPath(const TGPGraphicsPath& Path) { Keep(Api().GdipClonePath(Path.Native(), &nativePath)); }
std::unique_ptr<TGPGraphicsPath> TGPGraphicsPath::Clone() {
  GpPath* P = nullptr;
  Keep(Api().GdipClonePath(nativePath, &P));
  return std::make_unique<TGPGraphicsPath>(P);
}
FillMode TGPGraphicsPath::GetFillMode() {
  FillMode Mode = FillModeAlternate;
  return Keep(Api().GdipGetPathFillMode(nativePath, &Mode)) == Ok ? Mode : FillModeAlternate;
}
Status TGPGraphicsPath::SetFillMode(FillMode Mode) { return Keep(Api().GdipSetPathFillMode(nativePath, Mode)); }
Status TGPGraphicsPath::CloseAllFigures() { return Keep(Api().GdipClosePathFigures(nativePath)); }
Status TGPGraphicsPath::SetMarker() { return Keep(Api().GdipSetPathMarker(nativePath)); }
Status TGPGraphicsPath::ClearMarkers() { return Keep(Api().GdipClearPathMarkers(nativePath)); }
Status TGPGraphicsPath::Reverse() { return Keep(Api().GdipReversePath(nativePath)); }
Status TGPGraphicsPath::GetLastPoint(TGPPointF& LastPoint) {
  return Keep(Api().GdipGetPathLastPoint(nativePath, &LastPoint));
}
Status TGPGraphicsPath::AddLines(const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipAddPathLine2(nativePath, Points, Count));
}
Status TGPGraphicsPath::AddLine(INT X1, INT Y1, INT X2, INT Y2) {
  return Keep(Api().GdipAddPathLineI(nativePath, X1, Y1, X2, Y2));
}
Status TGPGraphicsPath::AddArc(INT X, INT Y, INT W, INT H, REAL Start, REAL Sweep) {
  return Keep(Api().GdipAddPathArcI(nativePath, X, Y, W, H, Start, Sweep));
}
Status TGPGraphicsPath::AddArc(const TGPRect& R, REAL Start, REAL Sweep) {
  return AddArc(R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphicsPath::AddBezier(INT X1, INT Y1, INT X2, INT Y2, INT X3, INT Y3, INT X4, INT Y4) {
  return Keep(Api().GdipAddPathBezierI(nativePath, X1, Y1, X2, Y2, X3, Y3, X4, Y4));
}
Status TGPGraphicsPath::AddBeziers(const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipAddPathBeziers(nativePath, Points, Count));
}
Status TGPGraphicsPath::AddBeziers(const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipAddPathBeziersI(nativePath, Points, Count));
}
Status TGPGraphicsPath::AddCurve(const TGPPointF* Points, INT Count, REAL Tension) {
  return Keep(Api().GdipAddPathCurve2(nativePath, Points, Count, Tension));
}
Status TGPGraphicsPath::AddCurve(const TGPPointF* Points, INT Count, INT Offset, INT Segments, REAL Tension) {
  return Keep(Api().GdipAddPathCurve3(nativePath, Points, Count, Offset, Segments, Tension));
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* Points, INT Count, INT Offset, INT Segments, REAL Tension) {
  return Keep(Api().GdipAddPathCurve3I(nativePath, Points, Count, Offset, Segments, Tension));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipAddPathClosedCurve(nativePath, Points, Count));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPointF* Points, INT Count, REAL Tension) {
  return Keep(Api().GdipAddPathClosedCurve2(nativePath, Points, Count, Tension));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipAddPathClosedCurveI(nativePath, Points, Count));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPoint* Points, INT Count, REAL Tension) {
  return Keep(Api().GdipAddPathClosedCurve2I(nativePath, Points, Count, Tension));
}
Status TGPGraphicsPath::AddRectangles(const TGPRectF* Rects, INT Count) {
  return Keep(Api().GdipAddPathRectangles(nativePath, Rects, Count));
}
Status TGPGraphicsPath::AddRectangles(const TGPRect* Rects, INT Count) {
  return Keep(Api().GdipAddPathRectanglesI(nativePath, Rects, Count));
}
Status TGPGraphicsPath::AddEllipse(INT X, INT Y, INT W, INT H) {
  return Keep(Api().GdipAddPathEllipseI(nativePath, X, Y, W, H));
}
Status TGPGraphicsPath::AddPie(INT X, INT Y, INT W, INT H, REAL Start, REAL Sweep) {
  return Keep(Api().GdipAddPathPieI(nativePath, X, Y, W, H, Start, Sweep));
}
Status TGPGraphicsPath::AddPie(const TGPRect& R, REAL Start, REAL Sweep) {
  return AddPie(R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphicsPath::AddPath(const TGPGraphicsPath* AddingPath, bool Connect) {
  return Keep(Api().GdipAddPathPath(nativePath, NativeOf(AddingPath), Connect ? TRUE : FALSE));
}
Status TGPGraphicsPath::AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                                  const TGPPointF& Origin, const TGPStringFormat* Format) {
  const TGPRectF Layout{Origin.X, Origin.Y, 0, 0};
  return Keep(Api().GdipAddPathString(nativePath, WideText(Text), LengthOf(Text, Length), NativeOf(Family), Style,
                                      EmSize, &Layout, NativeOf(Format)));
}
Status TGPGraphicsPath::AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                                  const TGPPoint& Origin, const TGPStringFormat* Format) {
  const TGPRect Layout{Origin.X, Origin.Y, 0, 0};
  return AddString(Text, Length, Family, Style, EmSize, Layout, Format);
}
Status TGPGraphicsPath::AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                                  const TGPRect& LayoutRect, const TGPStringFormat* Format) {
  return Keep(Api().GdipAddPathStringI(nativePath, WideText(Text), LengthOf(Text, Length), NativeOf(Family), Style,
                                       EmSize, &LayoutRect, NativeOf(Format)));
}
Status TGPGraphicsPath::Transform(const TGPMatrix* M) { return Keep(Api().GdipTransformPath(nativePath, NativeOf(M))); }
Status TGPGraphicsPath::GetBounds(TGPRect& Bounds, const TGPMatrix* M, const TGPPen* Pen) {
  return Keep(Api().GdipGetPathWorldBoundsI(nativePath, &Bounds, NativeOf(M), NativeOf(Pen)));
}
Status TGPGraphicsPath::Flatten(const TGPMatrix* M, REAL Flatness) {
  return Keep(Api().GdipFlattenPath(nativePath, NativeOf(M), Flatness));
}
Status TGPGraphicsPath::Widen(const TGPPen& Pen, const TGPMatrix* M, REAL Flatness) {
  return Keep(Api().GdipWidenPath(nativePath, Pen.Native(), NativeOf(M), Flatness));
}
Status TGPGraphicsPath::Outline(const TGPMatrix* M, REAL Flatness) {
  return Keep(Api().GdipWindingModeOutline(nativePath, NativeOf(M), Flatness));
}
Status TGPGraphicsPath::Warp(const TGPPointF* DestPoints, INT Count, const TGPRectF& Src, const TGPMatrix* M,
                             WarpMode Mode, REAL Flatness) {
  return Keep(Api().GdipWarpPath(nativePath, NativeOf(M), DestPoints, Count, Src.X, Src.Y, Src.Width, Src.Height, Mode,
                                 Flatness));
}
Status TGPGraphicsPath::GetPathTypes(BYTE* Types, INT Count) {
  return Keep(Api().GdipGetPathTypes(nativePath, Types, Count));
}
Status TGPGraphicsPath::GetPathPoints(TGPPointF* Points, INT Count) {
  return Keep(Api().GdipGetPathPoints(nativePath, Points, Count));
}
Status TGPGraphicsPath::GetPathPoints(TGPPoint* Points, INT Count) {
  return Keep(Api().GdipGetPathPointsI(nativePath, Points, Count));
}
bool TGPGraphicsPath::IsVisible(REAL X, REAL Y, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisiblePathPoint(nativePath, X, Y, NativeOf(G), &B)) == Ok && B;
}
bool TGPGraphicsPath::IsVisible(INT X, INT Y, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisiblePathPointI(nativePath, X, Y, NativeOf(G), &B)) == Ok && B;
}
bool TGPGraphicsPath::IsOutlineVisible(REAL X, REAL Y, const TGPPen* Pen, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsOutlineVisiblePathPoint(nativePath, X, Y, NativeOf(Pen), NativeOf(G), &B)) == Ok && B;
}
bool TGPGraphicsPath::IsOutlineVisible(INT X, INT Y, const TGPPen* Pen, const TGPGraphics* G) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsOutlineVisiblePathPointI(nativePath, X, Y, NativeOf(Pen), NativeOf(G), &B)) == Ok && B;
}
Status TGPGraphicsPath::GetLastStatus() { return std::exchange(lastResult, Ok); }

// ---------------------------------------------------------------- graphics
TGPGraphics::TGPGraphics(HDC DC, HANDLE Device) { lastResult = Api().GdipCreateFromHDC2(DC, Device, &nativeGraphics); }
TGPGraphics::TGPGraphics(HWND Wnd, bool UseICM) {
  lastResult =
      UseICM ? Api().GdipCreateFromHWNDICM(Wnd, &nativeGraphics) : Api().GdipCreateFromHWND(Wnd, &nativeGraphics);
}
Status TGPGraphics::SetRenderingOrigin(INT X, INT Y) {
  return Keep(Api().GdipSetRenderingOrigin(nativeGraphics, X, Y));
}
Status TGPGraphics::GetRenderingOrigin(INT& X, INT& Y) {
  X = 0;
  Y = 0;
  return Keep(Api().GdipGetRenderingOrigin(nativeGraphics, &X, &Y));
}
Status TGPGraphics::SetCompositingMode(CompositingMode Mode) {
  return Keep(Api().GdipSetCompositingMode(nativeGraphics, Mode));
}
CompositingMode TGPGraphics::GetCompositingMode() {
  CompositingMode Mode = CompositingModeSourceOver;
  Keep(Api().GdipGetCompositingMode(nativeGraphics, &Mode));
  return Mode;
}
Status TGPGraphics::SetTextContrast(UINT Contrast) { return Keep(Api().GdipSetTextContrast(nativeGraphics, Contrast)); }
UINT TGPGraphics::GetTextContrast() {
  UINT Contrast = 0;
  Keep(Api().GdipGetTextContrast(nativeGraphics, &Contrast));
  return Contrast;
}
Status TGPGraphics::SetInterpolationMode(INT Mode) {
  return Keep(Api().GdipSetInterpolationMode(nativeGraphics, Mode));
}
INT TGPGraphics::GetInterpolationMode() {
  INT Mode = -1;
  return Keep(Api().GdipGetInterpolationMode(nativeGraphics, &Mode)) == Ok ? Mode : -1;
}
Status TGPGraphics::SetPixelOffsetMode(INT Mode) { return Keep(Api().GdipSetPixelOffsetMode(nativeGraphics, Mode)); }
INT TGPGraphics::GetPixelOffsetMode() {
  INT Mode = -1;
  return Keep(Api().GdipGetPixelOffsetMode(nativeGraphics, &Mode)) == Ok ? Mode : -1;
}
Status TGPGraphics::SetPageUnit(Unit_ U) { return Keep(Api().GdipSetPageUnit(nativeGraphics, U)); }
Unit_ TGPGraphics::GetPageUnit() {
  Unit_ U = UnitWorld;
  Keep(Api().GdipGetPageUnit(nativeGraphics, &U));
  return U;
}
Status TGPGraphics::SetPageScale(REAL Scale) { return Keep(Api().GdipSetPageScale(nativeGraphics, Scale)); }
REAL TGPGraphics::GetPageScale() {
  REAL Scale = 0;
  Keep(Api().GdipGetPageScale(nativeGraphics, &Scale));
  return Scale;
}
REAL TGPGraphics::GetDpiX() {
  REAL Dpi = 0;
  Keep(Api().GdipGetDpiX(nativeGraphics, &Dpi));
  return Dpi;
}
REAL TGPGraphics::GetDpiY() {
  REAL Dpi = 0;
  Keep(Api().GdipGetDpiY(nativeGraphics, &Dpi));
  return Dpi;
}
Status TGPGraphics::TransformPoints(CoordinateSpace Dst, CoordinateSpace Src, TGPPointF* Points, INT Count) {
  return Keep(Api().GdipTransformPoints(nativeGraphics, Dst, Src, Points, Count));
}
Status TGPGraphics::TransformPoints(CoordinateSpace Dst, CoordinateSpace Src, TGPPoint* Points, INT Count) {
  return Keep(Api().GdipTransformPointsI(nativeGraphics, Dst, Src, Points, Count));
}
Status TGPGraphics::GetNearestColor(ARGB& Color) { return Keep(Api().GdipGetNearestColor(nativeGraphics, &Color)); }
Status TGPGraphics::DrawLine(const TGPPen& Pen, INT X1, INT Y1, INT X2, INT Y2) {
  return Keep(Api().GdipDrawLineI(nativeGraphics, Pen.Native(), X1, Y1, X2, Y2));
}
Status TGPGraphics::DrawLines(const TGPPen& Pen, const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipDrawLinesI(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawArc(const TGPPen& Pen, INT X, INT Y, INT W, INT H, REAL Start, REAL Sweep) {
  return Keep(Api().GdipDrawArcI(nativeGraphics, Pen.Native(), X, Y, W, H, Start, Sweep));
}
Status TGPGraphics::DrawArc(const TGPPen& Pen, const TGPRect& R, REAL Start, REAL Sweep) {
  return DrawArc(Pen, R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphics::DrawBezier(const TGPPen& Pen, REAL X1, REAL Y1, REAL X2, REAL Y2, REAL X3, REAL Y3, REAL X4,
                               REAL Y4) {
  return Keep(Api().GdipDrawBezier(nativeGraphics, Pen.Native(), X1, Y1, X2, Y2, X3, Y3, X4, Y4));
}
Status TGPGraphics::DrawBezier(const TGPPen& Pen, INT X1, INT Y1, INT X2, INT Y2, INT X3, INT Y3, INT X4, INT Y4) {
  return Keep(Api().GdipDrawBezierI(nativeGraphics, Pen.Native(), X1, Y1, X2, Y2, X3, Y3, X4, Y4));
}
Status TGPGraphics::DrawBezier(const TGPPen& Pen, const TGPPointF& P1, const TGPPointF& P2, const TGPPointF& P3,
                               const TGPPointF& P4) {
  return DrawBezier(Pen, P1.X, P1.Y, P2.X, P2.Y, P3.X, P3.Y, P4.X, P4.Y);
}
Status TGPGraphics::DrawBezier(const TGPPen& Pen, const TGPPoint& P1, const TGPPoint& P2, const TGPPoint& P3,
                               const TGPPoint& P4) {
  return DrawBezier(Pen, P1.X, P1.Y, P2.X, P2.Y, P3.X, P3.Y, P4.X, P4.Y);
}
Status TGPGraphics::DrawBeziers(const TGPPen& Pen, const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipDrawBeziers(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawBeziers(const TGPPen& Pen, const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipDrawBeziersI(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawRectangle(const TGPPen& Pen, INT X, INT Y, INT W, INT H) {
  return Keep(Api().GdipDrawRectangleI(nativeGraphics, Pen.Native(), X, Y, W, H));
}
Status TGPGraphics::DrawRectangle(const TGPPen& Pen, const TGPRect& R) {
  return DrawRectangle(Pen, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::DrawRectangles(const TGPPen& Pen, const TGPRectF* Rects, INT Count) {
  return Keep(Api().GdipDrawRectangles(nativeGraphics, Pen.Native(), Rects, Count));
}
Status TGPGraphics::DrawRectangles(const TGPPen& Pen, const TGPRect* Rects, INT Count) {
  return Keep(Api().GdipDrawRectanglesI(nativeGraphics, Pen.Native(), Rects, Count));
}
Status TGPGraphics::DrawPie(const TGPPen& Pen, REAL X, REAL Y, REAL W, REAL H, REAL Start, REAL Sweep) {
  return Keep(Api().GdipDrawPie(nativeGraphics, Pen.Native(), X, Y, W, H, Start, Sweep));
}
Status TGPGraphics::DrawPie(const TGPPen& Pen, INT X, INT Y, INT W, INT H, REAL Start, REAL Sweep) {
  return Keep(Api().GdipDrawPieI(nativeGraphics, Pen.Native(), X, Y, W, H, Start, Sweep));
}
Status TGPGraphics::DrawPie(const TGPPen& Pen, const TGPRectF& R, REAL Start, REAL Sweep) {
  return DrawPie(Pen, R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphics::DrawPie(const TGPPen& Pen, const TGPRect& R, REAL Start, REAL Sweep) {
  return DrawPie(Pen, R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphics::DrawPolygon(const TGPPen& Pen, const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipDrawPolygonI(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipDrawCurve(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count, REAL Tension) {
  return Keep(Api().GdipDrawCurve2(nativeGraphics, Pen.Native(), Points, Count, Tension));
}
Status TGPGraphics::DrawCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count, INT Offset, INT Segments,
                              REAL Tension) {
  return Keep(Api().GdipDrawCurve3(nativeGraphics, Pen.Native(), Points, Count, Offset, Segments, Tension));
}
Status TGPGraphics::DrawCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipDrawCurveI(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count, REAL Tension) {
  return Keep(Api().GdipDrawCurve2I(nativeGraphics, Pen.Native(), Points, Count, Tension));
}
Status TGPGraphics::DrawCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count, INT Offset, INT Segments,
                              REAL Tension) {
  return Keep(Api().GdipDrawCurve3I(nativeGraphics, Pen.Native(), Points, Count, Offset, Segments, Tension));
}
Status TGPGraphics::DrawClosedCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipDrawClosedCurve(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawClosedCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count, REAL Tension) {
  return Keep(Api().GdipDrawClosedCurve2(nativeGraphics, Pen.Native(), Points, Count, Tension));
}
Status TGPGraphics::DrawClosedCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipDrawClosedCurveI(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawClosedCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count, REAL Tension) {
  return Keep(Api().GdipDrawClosedCurve2I(nativeGraphics, Pen.Native(), Points, Count, Tension));
}
Status TGPGraphics::FillRectangle(const TGPBrush& Brush, INT X, INT Y, INT W, INT H) {
  return Keep(Api().GdipFillRectangleI(nativeGraphics, Brush.Native(), X, Y, W, H));
}
Status TGPGraphics::FillRectangle(const TGPBrush& Brush, const TGPRect& R) {
  return FillRectangle(Brush, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::FillRectangles(const TGPBrush& Brush, const TGPRectF* Rects, INT Count) {
  return Keep(Api().GdipFillRectangles(nativeGraphics, Brush.Native(), Rects, Count));
}
Status TGPGraphics::FillRectangles(const TGPBrush& Brush, const TGPRect* Rects, INT Count) {
  return Keep(Api().GdipFillRectanglesI(nativeGraphics, Brush.Native(), Rects, Count));
}
Status TGPGraphics::FillPie(const TGPBrush& Brush, REAL X, REAL Y, REAL W, REAL H, REAL Start, REAL Sweep) {
  return Keep(Api().GdipFillPie(nativeGraphics, Brush.Native(), X, Y, W, H, Start, Sweep));
}
Status TGPGraphics::FillPie(const TGPBrush& Brush, INT X, INT Y, INT W, INT H, REAL Start, REAL Sweep) {
  return Keep(Api().GdipFillPieI(nativeGraphics, Brush.Native(), X, Y, W, H, Start, Sweep));
}
Status TGPGraphics::FillPie(const TGPBrush& Brush, const TGPRectF& R, REAL Start, REAL Sweep) {
  return FillPie(Brush, R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphics::FillPie(const TGPBrush& Brush, const TGPRect& R, REAL Start, REAL Sweep) {
  return FillPie(Brush, R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphics::FillClosedCurve(const TGPBrush& Brush, const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipFillClosedCurve(nativeGraphics, Brush.Native(), Points, Count));
}
Status TGPGraphics::FillClosedCurve(const TGPBrush& Brush, const TGPPointF* Points, INT Count, FillMode Mode,
                                    REAL Tension) {
  return Keep(Api().GdipFillClosedCurve2(nativeGraphics, Brush.Native(), Points, Count, Tension, Mode));
}
Status TGPGraphics::FillClosedCurve(const TGPBrush& Brush, const TGPPoint* Points, INT Count) {
  return Keep(Api().GdipFillClosedCurveI(nativeGraphics, Brush.Native(), Points, Count));
}
Status TGPGraphics::FillClosedCurve(const TGPBrush& Brush, const TGPPoint* Points, INT Count, FillMode Mode,
                                    REAL Tension) {
  return Keep(Api().GdipFillClosedCurve2I(nativeGraphics, Brush.Native(), Points, Count, Tension, Mode));
}
Status TGPGraphics::FillRegion(const TGPBrush& Brush, const TGPRegion& Region) {
  return Keep(Api().GdipFillRegion(nativeGraphics, Brush.Native(), Region.Native()));
}
Status TGPGraphics::SetClip(const TGPGraphics& G, CombineMode Mode) {
  return Keep(Api().GdipSetClipGraphics(nativeGraphics, G.Native(), Mode));
}
Status TGPGraphics::SetClip(const TGPRect& R, CombineMode Mode) {
  return Keep(Api().GdipSetClipRectI(nativeGraphics, R.X, R.Y, R.Width, R.Height, Mode));
}
Status TGPGraphics::SetClip(HRGN Region, CombineMode Mode) {
  return Keep(Api().GdipSetClipHrgn(nativeGraphics, Region, Mode));
}
Status TGPGraphics::IntersectClip(const TGPRegion& Region) {
  return Keep(Api().GdipSetClipRegion(nativeGraphics, Region.Native(), CombineModeIntersect));
}
Status TGPGraphics::TranslateClip(REAL Dx, REAL Dy) { return Keep(Api().GdipTranslateClip(nativeGraphics, Dx, Dy)); }
Status TGPGraphics::TranslateClip(INT Dx, INT Dy) { return Keep(Api().GdipTranslateClipI(nativeGraphics, Dx, Dy)); }
Status TGPGraphics::GetClip(TGPRegion& Region) { return Keep(Api().GdipGetClip(nativeGraphics, Region.Native())); }
Status TGPGraphics::GetClipBounds(TGPRectF& R) { return Keep(Api().GdipGetClipBounds(nativeGraphics, &R)); }
Status TGPGraphics::GetClipBounds(TGPRect& R) { return Keep(Api().GdipGetClipBoundsI(nativeGraphics, &R)); }
Status TGPGraphics::GetVisibleClipBounds(TGPRectF& R) {
  return Keep(Api().GdipGetVisibleClipBounds(nativeGraphics, &R));
}
Status TGPGraphics::GetVisibleClipBounds(TGPRect& R) {
  return Keep(Api().GdipGetVisibleClipBoundsI(nativeGraphics, &R));
}
bool TGPGraphics::IsClipEmpty() {
  BOOL B = FALSE;
  Keep(Api().GdipIsClipEmpty(nativeGraphics, &B));
  return B != FALSE;
}
bool TGPGraphics::IsVisibleClipEmpty() {
  BOOL B = FALSE;
  Keep(Api().GdipIsVisibleClipEmpty(nativeGraphics, &B));
  return B != FALSE;
}
bool TGPGraphics::IsVisible(REAL X, REAL Y) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisiblePoint(nativeGraphics, X, Y, &B)) == Ok && B;
}
bool TGPGraphics::IsVisible(INT X, INT Y) {
  BOOL B = FALSE;
  return Keep(Api().GdipIsVisiblePointI(nativeGraphics, X, Y, &B)) == Ok && B;
}
bool TGPGraphics::IsVisible(REAL X, REAL Y, REAL W, REAL H) {
  BOOL B = TRUE;
  return Keep(Api().GdipIsVisibleRect(nativeGraphics, X, Y, W, H, &B)) != Ok || B;
}
bool TGPGraphics::IsVisible(INT X, INT Y, INT W, INT H) {
  BOOL B = TRUE;
  return Keep(Api().GdipIsVisibleRectI(nativeGraphics, X, Y, W, H, &B)) != Ok || B;
}
UINT TGPGraphics::BeginContainer(const TGPRectF& Dst, const TGPRectF& Src, Unit_ U) {
  UINT State = 0;
  return Keep(Api().GdipBeginContainer(nativeGraphics, &Dst, &Src, U, &State)) == Ok ? State : 0;
}
UINT TGPGraphics::BeginContainer(const TGPRect& Dst, const TGPRect& Src, Unit_ U) {
  UINT State = 0;
  return Keep(Api().GdipBeginContainerI(nativeGraphics, &Dst, &Src, U, &State)) == Ok ? State : 0;
}
UINT TGPGraphics::BeginContainer() {
  UINT State = 0;
  return Keep(Api().GdipBeginContainer2(nativeGraphics, &State)) == Ok ? State : 0;
}
Status TGPGraphics::EndContainer(UINT State) { return Keep(Api().GdipEndContainer(nativeGraphics, State)); }
Status TGPGraphics::AddMetafileComment(const BYTE* Data, UINT SizeData) {
  return Keep(Api().GdipComment(nativeGraphics, SizeData, Data));
}
Status TGPGraphics::MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPSizeF& LayoutSize,
                                  const TGPStringFormat* Format, TGPSizeF& Size, INT* CodepointsFitted,
                                  INT* LinesFilled) {
  const TGPRectF Layout{0, 0, LayoutSize.Width, LayoutSize.Height};
  TGPRectF Box{};
  const Status S = Keep(Api().GdipMeasureString(nativeGraphics, WideText(Text), LengthOf(Text, Length), NativeOf(Font),
                                                &Layout, NativeOf(Format), &Box, CodepointsFitted, LinesFilled));
  if (S == Ok) Size = {Box.Width, Box.Height};
  return S;
}
Status TGPGraphics::MeasureCharacterRanges(const String& Text, INT Length, const TGPFont* Font,
                                           const TGPRectF& LayoutRect, const TGPStringFormat* Format, INT RegionCount,
                                           TGPRegion* const* Regions) {
  if (RegionCount <= 0 || !Regions) return InvalidParameter;
  std::vector<GpRegion*> Natives(static_cast<std::size_t>(RegionCount));
  for (INT i = 0; i < RegionCount; ++i) Natives[static_cast<std::size_t>(i)] = NativeOf(Regions[i]);
  return Keep(Api().GdipMeasureCharacterRanges(nativeGraphics, WideText(Text), LengthOf(Text, Length), NativeOf(Font),
                                               &LayoutRect, NativeOf(Format), RegionCount, Natives.data()));
}
Status TGPGraphics::DrawDriverString(const UINT16* Text, INT Length, const TGPFont* Font, const TGPBrush* Brush,
                                     const TGPPointF* Positions, INT Flags, const TGPMatrix* Matrix) {
  return Keep(Api().GdipDrawDriverString(nativeGraphics, Text, Length, NativeOf(Font), NativeOf(Brush), Positions,
                                         Flags, NativeOf(Matrix)));
}
Status TGPGraphics::MeasureDriverString(const UINT16* Text, INT Length, const TGPFont* Font, const TGPPointF* Positions,
                                        INT Flags, const TGPMatrix* Matrix, TGPRectF& BoundingBox) {
  return Keep(Api().GdipMeasureDriverString(nativeGraphics, Text, Length, NativeOf(Font), Positions, Flags,
                                            NativeOf(Matrix), &BoundingBox));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, REAL X, REAL Y) {
  return Keep(Api().GdipDrawImage(nativeGraphics, NativeOf(Image), X, Y));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, const TGPRect& R) {
  return Keep(Api().GdipDrawImageRectI(nativeGraphics, NativeOf(Image), R.X, R.Y, R.Width, R.Height));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, const TGPPointF* DestPoints, INT Count) {
  if ((Count != 3 && Count != 4) || !DestPoints) return Keep(InvalidParameter);
  return Keep(Api().GdipDrawImagePoints(nativeGraphics, NativeOf(Image), DestPoints, Count));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, const TGPPoint* DestPoints, INT Count) {
  if ((Count != 3 && Count != 4) || !DestPoints) return Keep(InvalidParameter);
  return Keep(Api().GdipDrawImagePointsI(nativeGraphics, NativeOf(Image), DestPoints, Count));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, REAL X, REAL Y, REAL SrcX, REAL SrcY, REAL SrcWidth,
                              REAL SrcHeight, Unit_ SrcUnit) {
  return Keep(
      Api().GdipDrawImagePointRect(nativeGraphics, NativeOf(Image), X, Y, SrcX, SrcY, SrcWidth, SrcHeight, SrcUnit));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, INT X, INT Y, INT SrcX, INT SrcY, INT SrcWidth, INT SrcHeight,
                              Unit_ SrcUnit) {
  return Keep(
      Api().GdipDrawImagePointRectI(nativeGraphics, NativeOf(Image), X, Y, SrcX, SrcY, SrcWidth, SrcHeight, SrcUnit));
}

// ---------------------------------------------------------------- images
std::unique_ptr<TGPImage> TGPImage::Clone() {
  GpImage* I = nullptr;
  Keep(Api().GdipCloneImage(nativeImage, &I));
  return std::make_unique<TGPImage>(I, lastResult);
}
Status TGPImage::SaveAdd(const EncoderParameters* Params) { return Keep(Api().GdipSaveAdd(nativeImage, Params)); }
Status TGPImage::GetPhysicalDimension(TGPSizeF& Size) {
  REAL W = 0, H = 0;
  const Status S = Keep(Api().GdipGetImageDimension(nativeImage, &W, &H));
  Size = S == Ok ? TGPSizeF{W, H} : TGPSizeF{0, 0};
  return S;
}
Status TGPImage::GetBounds(TGPRectF& Rect, Unit_& U) { return Keep(Api().GdipGetImageBounds(nativeImage, &Rect, &U)); }
REAL TGPImage::GetHorizontalResolution() {
  REAL R = 0;
  return Keep(Api().GdipGetImageHorizontalResolution(nativeImage, &R)) == Ok ? R : 0;
}
REAL TGPImage::GetVerticalResolution() {
  REAL R = 0;
  return Keep(Api().GdipGetImageVerticalResolution(nativeImage, &R)) == Ok ? R : 0;
}
UINT TGPImage::GetFlags() {
  UINT Flags = 0;
  Keep(Api().GdipGetImageFlags(nativeImage, &Flags));
  return Flags;
}
Status TGPImage::GetRawFormat(GUID& Format) { return Keep(Api().GdipGetImageRawFormat(nativeImage, &Format)); }
INT TGPImage::GetPaletteSize() {
  INT Size = 0;
  return Keep(Api().GdipGetImagePaletteSize(nativeImage, &Size)) == Ok ? Size : 0;
}
Status TGPImage::GetPalette(ColorPalette* Palette, INT Size) {
  return Keep(Api().GdipGetImagePalette(nativeImage, Palette, Size));
}
Status TGPImage::SetPalette(const ColorPalette* Palette) {
  return Keep(Api().GdipSetImagePalette(nativeImage, Palette));
}
UINT TGPImage::GetFrameDimensionsCount() {
  UINT Count = 0;
  return Keep(Api().GdipImageGetFrameDimensionsCount(nativeImage, &Count)) == Ok ? Count : 0;
}
Status TGPImage::GetFrameDimensionsList(GUID* DimensionIDs, UINT Count) {
  return Keep(Api().GdipImageGetFrameDimensionsList(nativeImage, DimensionIDs, Count));
}
UINT TGPImage::GetFrameCount(const GUID& DimensionID) {
  UINT Count = 0;
  return Keep(Api().GdipImageGetFrameCount(nativeImage, &DimensionID, &Count)) == Ok ? Count : 0;
}
Status TGPImage::SelectActiveFrame(const GUID& DimensionID, UINT FrameIndex) {
  return Keep(Api().GdipImageSelectActiveFrame(nativeImage, &DimensionID, FrameIndex));
}
UINT TGPImage::GetPropertyCount() {
  UINT Count = 0;
  return Keep(Api().GdipGetPropertyCount(nativeImage, &Count)) == Ok ? Count : 0;
}
Status TGPImage::GetPropertyIdList(UINT NumOfProperty, PROPID* List) {
  return Keep(Api().GdipGetPropertyIdList(nativeImage, NumOfProperty, List));
}
UINT TGPImage::GetPropertyItemSize(PROPID PropId) {
  UINT Size = 0;
  return Keep(Api().GdipGetPropertyItemSize(nativeImage, PropId, &Size)) == Ok ? Size : 0;
}
Status TGPImage::GetPropertyItem(PROPID PropId, UINT PropSize, PropertyItem* Buffer) {
  return Keep(Api().GdipGetPropertyItem(nativeImage, PropId, PropSize, Buffer));
}
Status TGPImage::GetPropertySize(UINT& TotalBufferSize, UINT& NumProperties) {
  TotalBufferSize = 0;
  NumProperties = 0;
  return Keep(Api().GdipGetPropertySize(nativeImage, &TotalBufferSize, &NumProperties));
}
Status TGPImage::GetAllPropertyItems(UINT TotalBufferSize, UINT NumProperties, PropertyItem* AllItems) {
  return Keep(Api().GdipGetAllPropertyItems(nativeImage, TotalBufferSize, NumProperties, AllItems));
}
Status TGPImage::RemovePropertyItem(PROPID PropId) { return Keep(Api().GdipRemovePropertyItem(nativeImage, PropId)); }
Status TGPImage::SetPropertyItem(const PropertyItem& Item) {
  return Keep(Api().GdipSetPropertyItem(nativeImage, &Item));
}
UINT TGPImage::GetEncoderParameterListSize(const CLSID& Encoder) {
  UINT Size = 0;
  return Keep(Api().GdipGetEncoderParameterListSize(nativeImage, &Encoder, &Size)) == Ok ? Size : 0;
}
Status TGPImage::GetEncoderParameterList(const CLSID& Encoder, UINT Size, EncoderParameters* Buffer) {
  return Keep(Api().GdipGetEncoderParameterList(nativeImage, &Encoder, Size, Buffer));
}
Status TGPImage::GetLastStatus() { return std::exchange(lastResult, Ok); }

TGPBitmap::TGPBitmap(const String& FileName, bool UseICM) {
  GpBitmap* B = nullptr;
  lastResult = UseICM ? Api().GdipCreateBitmapFromFileICM(WideText(FileName), &B)
                      : Api().GdipCreateBitmapFromFile(WideText(FileName), &B);
  nativeImage = B;
}
TGPBitmap::TGPBitmap(INT Width, INT Height, INT Stride, PixelFormat Format, BYTE* Scan0) {
  GpBitmap* B = nullptr;
  lastResult = Api().GdipCreateBitmapFromScan0(Width, Height, Stride, Format, Scan0, &B);
  nativeImage = B;
}
TGPBitmap::TGPBitmap(INT Width, INT Height, const TGPGraphics& Target) {
  GpBitmap* B = nullptr;
  lastResult = Api().GdipCreateBitmapFromGraphics(Width, Height, Target.Native(), &B);
  nativeImage = B;
}
TGPBitmap::TGPBitmap(const BITMAPINFO* Info, void* Data) {
  GpBitmap* B = nullptr;
  lastResult = Api().GdipCreateBitmapFromGdiDib(Info, Data, &B);
  nativeImage = B;
}
TGPBitmap::TGPBitmap(HICON Icon) {
  GpBitmap* B = nullptr;
  lastResult = Api().GdipCreateBitmapFromHICON(Icon, &B);
  nativeImage = B;
}
TGPBitmap::TGPBitmap(HINSTANCE Instance, const String& BitmapName) {
  GpBitmap* B = nullptr;
  lastResult = Api().GdipCreateBitmapFromResource(Instance, WideText(BitmapName), &B);
  nativeImage = B;
}
std::unique_ptr<TGPBitmap> TGPBitmap::Clone(const TGPRect& R, PixelFormat Format) {
  return Clone(R.X, R.Y, R.Width, R.Height, Format);
}
std::unique_ptr<TGPBitmap> TGPBitmap::Clone(INT X, INT Y, INT Width, INT Height, PixelFormat Format) {
  GpBitmap* B = nullptr;
  lastResult = Api().GdipCloneBitmapAreaI(X, Y, Width, Height, Format, static_cast<GpBitmap*>(nativeImage), &B);
  if (lastResult != Ok) return nullptr;
  return std::make_unique<TGPBitmap>(B);
}
std::unique_ptr<TGPBitmap> TGPBitmap::Clone(const TGPRectF& R, PixelFormat Format) {
  return Clone(R.X, R.Y, R.Width, R.Height, Format);
}
std::unique_ptr<TGPBitmap> TGPBitmap::Clone(REAL X, REAL Y, REAL Width, REAL Height, PixelFormat Format) {
  GpBitmap* B = nullptr;
  lastResult = Api().GdipCloneBitmapArea(X, Y, Width, Height, Format, static_cast<GpBitmap*>(nativeImage), &B);
  if (lastResult != Ok) return nullptr;
  return std::make_unique<TGPBitmap>(B);
}
Status TGPBitmap::LockBits(const TGPRect& Rect, UINT Flags, PixelFormat Format, BitmapData& LockedData) {
  return Keep(Api().GdipBitmapLockBits(static_cast<GpBitmap*>(nativeImage), &Rect, Flags, Format, &LockedData));
}
Status TGPBitmap::UnlockBits(BitmapData& LockedData) {
  return Keep(Api().GdipBitmapUnlockBits(static_cast<GpBitmap*>(nativeImage), &LockedData));
}
Status TGPBitmap::SetResolution(REAL XDpi, REAL YDpi) {
  return Keep(Api().GdipBitmapSetResolution(static_cast<GpBitmap*>(nativeImage), XDpi, YDpi));
}
Status TGPBitmap::GetHICON(HICON& Icon) {
  return Keep(Api().GdipCreateHICONFromBitmap(static_cast<GpBitmap*>(nativeImage), &Icon));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, const TGPRect& R, INT SrcX, INT SrcY, INT SrcWidth, INT SrcHeight,
                              Unit_ SrcUnit, const TGPImageAttributes* Attributes, DrawImageAbort Callback,
                              void* CallbackData) {
  return Keep(Api().GdipDrawImageRectRectI(nativeGraphics, NativeOf(Image), R.X, R.Y, R.Width, R.Height, SrcX, SrcY,
                                           SrcWidth, SrcHeight, SrcUnit, NativeOf(Attributes), Callback, CallbackData));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, const TGPPointF* DestPoints, INT Count, REAL SrcX, REAL SrcY,
                              REAL SrcWidth, REAL SrcHeight, Unit_ SrcUnit, const TGPImageAttributes* Attributes,
                              DrawImageAbort Callback, void* CallbackData) {
  if ((Count != 3 && Count != 4) || !DestPoints) return Keep(InvalidParameter);
  return Keep(Api().GdipDrawImagePointsRect(nativeGraphics, NativeOf(Image), DestPoints, Count, SrcX, SrcY, SrcWidth,
                                            SrcHeight, SrcUnit, NativeOf(Attributes), Callback, CallbackData));
}
Status TGPGraphics::DrawImage(const TGPImage* Image, const TGPPoint* DestPoints, INT Count, INT SrcX, INT SrcY,
                              INT SrcWidth, INT SrcHeight, Unit_ SrcUnit, const TGPImageAttributes* Attributes,
                              DrawImageAbort Callback, void* CallbackData) {
  if ((Count != 3 && Count != 4) || !DestPoints) return Keep(InvalidParameter);
  return Keep(Api().GdipDrawImagePointsRectI(nativeGraphics, NativeOf(Image), DestPoints, Count, SrcX, SrcY, SrcWidth,
                                             SrcHeight, SrcUnit, NativeOf(Attributes), Callback, CallbackData));
}
