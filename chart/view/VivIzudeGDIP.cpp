#include "chart/view/VivIzudeGDIP.h"

#include <shlwapi.h>

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "chart/model/ChartHelpers.h"
#include "rtl/SysUtils.h"
#include "vcl/Graphics.h"

namespace {
const TGdiPlusApi& Api() { return CurrentGdiPlusApi(); }
template <class T>
auto* NativeOf(const T* Wrapper) {
  return Wrapper ? Wrapper->Native() : nullptr;
}
}  // namespace

ARGB MakeGDIPColor(Byte Alpha, TColor Color) {
  const TColor C = ColorToRGB(Color);
  return MakeARGB(Alpha, static_cast<Byte>(C & 0xFF), static_cast<Byte>((C >> 8) & 0xFF),
                  static_cast<Byte>((C >> 16) & 0xFF));
}

// ---------------------------------------------------------------- base
void* TGdiplusBase::operator new(std::size_t Size) {
  // The binding starts GDI+ on first use, once; a failed allocation is not
  // retried with a second start-up (that would lose the first token).
  void* P = CurrentGdiPlusApi().GdipAlloc(Size);
  if (!P) throw std::bad_alloc();
  return P;
}

void TGdiplusBase::operator delete(void* Memory) noexcept {
  if (Memory) CurrentGdiPlusApi().GdipFree(Memory);
}

// ---------------------------------------------------------------- region
TGPRegion::TGPRegion(const TGPRectF& Rect) { lastResult = Api().GdipCreateRegionRect(&Rect, &nativeRegion); }
TGPRegion::TGPRegion(const TGPGraphicsPath& Path) {
  lastResult = Api().GdipCreateRegionPath(Path.Native(), &nativeRegion);
}
TGPRegion::~TGPRegion() {
  if (nativeRegion) Api().GdipDeleteRegion(nativeRegion);
}
Status TGPRegion::Exclude(const TGPGraphicsPath& Path) {
  return Keep(Api().GdipCombineRegionPath(nativeRegion, Path.Native(), CombineModeExclude));
}
Status TGPRegion::Union(const TGPRegion& Region) {
  return Keep(Api().GdipCombineRegionRegion(nativeRegion, Region.Native(), CombineModeUnion));
}

// ---------------------------------------------------------------- matrix
TGPMatrix::TGPMatrix() { lastResult = Api().GdipCreateMatrix(&nativeMatrix); }
TGPMatrix::TGPMatrix(REAL M11, REAL M12, REAL M21, REAL M22, REAL Dx, REAL Dy) {
  lastResult = Api().GdipCreateMatrix2(M11, M12, M21, M22, Dx, Dy, &nativeMatrix);
}
TGPMatrix::TGPMatrix(const TGPRectF& Rect, const TGPPointF* DstPlg) {
  lastResult = Api().GdipCreateMatrix3(&Rect, DstPlg, &nativeMatrix);
}
TGPMatrix::TGPMatrix(const TGPRect& Rect, const TGPPoint* DstPlg) {
  lastResult = Api().GdipCreateMatrix3I(&Rect, DstPlg, &nativeMatrix);
}
TGPMatrix::~TGPMatrix() {
  if (nativeMatrix) Api().GdipDeleteMatrix(nativeMatrix);
}
std::unique_ptr<TGPMatrix> TGPMatrix::Clone() {
  GpMatrix* M = nullptr;
  Keep(Api().GdipCloneMatrix(nativeMatrix, &M));
  if (lastResult != Ok) {
    if (M) Api().GdipDeleteMatrix(M);
    return nullptr;
  }
  return std::unique_ptr<TGPMatrix>(new TGPMatrix(M));
}
Status TGPMatrix::GetElements(TMatrixArray& M) const {
  return const_cast<TGPMatrix*>(this)->Keep(Api().GdipGetMatrixElements(nativeMatrix, M));
}
Status TGPMatrix::SetElements(REAL M11, REAL M12, REAL M21, REAL M22, REAL Dx, REAL Dy) {
  return Keep(Api().GdipSetMatrixElements(nativeMatrix, M11, M12, M21, M22, Dx, Dy));
}
REAL TGPMatrix::OffsetX() const {
  TMatrixArray M{};
  return GetElements(M) == Ok ? M[4] : 0;
}
REAL TGPMatrix::OffsetY() const {
  TMatrixArray M{};
  return GetElements(M) == Ok ? M[5] : 0;
}
Status TGPMatrix::Multiply(const TGPMatrix& Matrix, MatrixOrder Order) {
  return Keep(Api().GdipMultiplyMatrix(nativeMatrix, Matrix.Native(), Order));
}
Status TGPMatrix::Translate(REAL X, REAL Y, MatrixOrder Order) {
  return Keep(Api().GdipTranslateMatrix(nativeMatrix, X, Y, Order));
}
Status TGPMatrix::Scale(REAL X, REAL Y, MatrixOrder Order) {
  return Keep(Api().GdipScaleMatrix(nativeMatrix, X, Y, Order));
}
Status TGPMatrix::Rotate(REAL Angle, MatrixOrder Order) {
  return Keep(Api().GdipRotateMatrix(nativeMatrix, Angle, Order));
}
Status TGPMatrix::RotateAt(REAL Angle, const TGPPointF& Center, MatrixOrder Order) {
  if (Order == MatrixOrderAppend) {
    Keep(Api().GdipTranslateMatrix(nativeMatrix, -Center.X, -Center.Y, Order));
    Keep(Api().GdipRotateMatrix(nativeMatrix, Angle, Order));
    return Keep(Api().GdipTranslateMatrix(nativeMatrix, Center.X, Center.Y, Order));
  }
  Keep(Api().GdipTranslateMatrix(nativeMatrix, Center.X, Center.Y, Order));
  Keep(Api().GdipRotateMatrix(nativeMatrix, Angle, Order));
  return Keep(Api().GdipTranslateMatrix(nativeMatrix, -Center.X, -Center.Y, Order));
}
Status TGPMatrix::Shear(REAL X, REAL Y, MatrixOrder Order) {
  return Keep(Api().GdipShearMatrix(nativeMatrix, X, Y, Order));
}
Status TGPMatrix::Invert() { return Keep(Api().GdipInvertMatrix(nativeMatrix)); }
Status TGPMatrix::TransformPoints(TGPPointF* P, INT Count) {
  return Keep(Api().GdipTransformMatrixPoints(nativeMatrix, P, Count));
}
Status TGPMatrix::TransformPoints(TGPPoint* P, INT Count) {
  return Keep(Api().GdipTransformMatrixPointsI(nativeMatrix, P, Count));
}
Status TGPMatrix::TransformVectors(TGPPointF* P, INT Count) {
  return Keep(Api().GdipVectorTransformMatrixPoints(nativeMatrix, P, Count));
}
Status TGPMatrix::TransformVectors(TGPPoint* P, INT Count) {
  return Keep(Api().GdipVectorTransformMatrixPointsI(nativeMatrix, P, Count));
}
bool TGPMatrix::IsInvertible() const {
  BOOL R = FALSE;
  return const_cast<TGPMatrix*>(this)->Keep(Api().GdipIsMatrixInvertible(nativeMatrix, &R)) == Ok && R;
}
bool TGPMatrix::IsIdentity() const {
  BOOL R = FALSE;
  return const_cast<TGPMatrix*>(this)->Keep(Api().GdipIsMatrixIdentity(nativeMatrix, &R)) == Ok && R;
}
Status TGPMatrix::GetLastStatus() {
  Status S = lastResult;
  lastResult = Ok;
  return S;
}

// ---------------------------------------------------------------- string format
TGPStringFormat::TGPStringFormat(INT FormatFlags, LANGID Language) {
  lastResult = Api().GdipCreateStringFormat(FormatFlags, Language, &nativeFormat);
}
TGPStringFormat::TGPStringFormat(const TGPStringFormat* Format) {
  lastResult = Api().GdipCloneStringFormat(NativeOf(Format), &nativeFormat);
}
TGPStringFormat::~TGPStringFormat() {
  if (nativeFormat && !FShared) Api().GdipDeleteStringFormat(nativeFormat);
}
Status TGPStringFormat::SetAlignment(StringAlignment A) {
  return Keep(Api().GdipSetStringFormatAlign(nativeFormat, A));
}
StringAlignment TGPStringFormat::GetAlignment() {
  StringAlignment A = StringAlignmentNear;
  Keep(Api().GdipGetStringFormatAlign(nativeFormat, &A));
  return A;
}
Status TGPStringFormat::SetLineAlignment(StringAlignment A) {
  return Keep(Api().GdipSetStringFormatLineAlign(nativeFormat, A));
}
StringAlignment TGPStringFormat::GetLineAlignment() {
  StringAlignment A = StringAlignmentNear;
  Keep(Api().GdipGetStringFormatLineAlign(nativeFormat, &A));
  return A;
}
Status TGPStringFormat::SetFormatFlags(INT Flags) { return Keep(Api().GdipSetStringFormatFlags(nativeFormat, Flags)); }
INT TGPStringFormat::GetFormatFlags() {
  INT F = 0;
  Keep(Api().GdipGetStringFormatFlags(nativeFormat, &F));
  return F;
}
Status TGPStringFormat::SetTrimming(StringTrimming T) {
  return Keep(Api().GdipSetStringFormatTrimming(nativeFormat, T));
}
StringTrimming TGPStringFormat::GetTrimming() {
  StringTrimming T = StringTrimmingNone;
  Keep(Api().GdipGetStringFormatTrimming(nativeFormat, &T));
  return T;
}
Status TGPStringFormat::SetHotkeyPrefix(HotkeyPrefix P) {
  return Keep(Api().GdipSetStringFormatHotkeyPrefix(nativeFormat, P));
}
HotkeyPrefix TGPStringFormat::GetHotkeyPrefix() {
  INT P = 0;
  Keep(Api().GdipGetStringFormatHotkeyPrefix(nativeFormat, &P));
  return static_cast<HotkeyPrefix>(P);
}

// ---------------------------------------------------------------- fonts
TGPFontFamily::TGPFontFamily(const String& Name, const TGPFontCollection* Collection) {
  lastResult =
      Api().GdipCreateFontFamilyFromName(WideCStr(Name), Collection ? Collection->Native() : nullptr, &nativeFamily);
}
TGPFontFamily::~TGPFontFamily() {
  if (nativeFamily && !FShared) Api().GdipDeleteFontFamily(nativeFamily);
}

namespace {
// The generic families and formats, per binding.
struct TGenericObjects {
  TGPFontFamily* Families[3] = {};
  TGPStringFormat* Formats[2] = {};  // default, typographic
};
// Kept for the whole run (never destroyed), so that a binding's finaliser
// may still free its objects at exit.
std::vector<std::pair<const TGdiPlusApi*, TGenericObjects>>& GenericObjects() {
  static auto* List = new std::vector<std::pair<const TGdiPlusApi*, TGenericObjects>>;
  return *List;
}
TGenericObjects& GenericObjectsOf(const TGdiPlusApi& Binding) {
  for (auto& [b, objects] : GenericObjects())
    if (b == &Binding) return objects;
  return GenericObjects().emplace_back(&Binding, TGenericObjects{}).second;
}
}  // namespace

namespace {
template <class Entry>
TGPFontFamily* GenericFamily(int Index, const Entry TGdiPlusApi::*Getter) {
  const TGdiPlusApi& Binding = Api();
  TGPFontFamily*& Family = GenericObjectsOf(Binding).Families[Index];
  if (!Family) {
    GpFontFamily* F = nullptr;
    const Status S = (Binding.*Getter)(&F);
    Family = new TGPFontFamily(F, S);
  }
  return Family;
}
template <class Entry>
TGPStringFormat* GenericFormat(int Index, const Entry TGdiPlusApi::*Getter) {
  const TGdiPlusApi& Binding = Api();
  TGPStringFormat*& Format = GenericObjectsOf(Binding).Formats[Index];
  if (!Format) {
    GpStringFormat* F = nullptr;
    const Status S = (Binding.*Getter)(&F);
    Format = new TGPStringFormat(F, S);
  }
  return Format;
}
}  // namespace

// Generic families and formats belong to GDI+: they are marked shared so
// that freeing the wrapper leaves the native object alone.
TGPFontFamily* TGPFontFamily::GenericSansSerif() {
  TGPFontFamily* F = GenericFamily(0, &TGdiPlusApi::GdipGetGenericFontFamilySansSerif);
  F->FShared = true;
  return F;
}
TGPFontFamily* TGPFontFamily::GenericSerif() {
  TGPFontFamily* F = GenericFamily(1, &TGdiPlusApi::GdipGetGenericFontFamilySerif);
  F->FShared = true;
  return F;
}
TGPFontFamily* TGPFontFamily::GenericMonospace() {
  TGPFontFamily* F = GenericFamily(2, &TGdiPlusApi::GdipGetGenericFontFamilyMonospace);
  F->FShared = true;
  return F;
}
TGPStringFormat* TGPStringFormat::GenericDefault() {
  TGPStringFormat* F = GenericFormat(0, &TGdiPlusApi::GdipStringFormatGetGenericDefault);
  F->FShared = true;
  return F;
}
TGPStringFormat* TGPStringFormat::GenericTypographic() {
  TGPStringFormat* F = GenericFormat(1, &TGdiPlusApi::GdipStringFormatGetGenericTypographic);
  F->FShared = true;
  return F;
}

void FreeGdiplusGenericObjects(const TGdiPlusApi& Binding) {
  auto& List = GenericObjects();
  for (auto it = List.begin(); it != List.end(); ++it) {
    if (it->first != &Binding) continue;
    TGenericObjects objects = it->second;
    List.erase(it);
    const TGdiPlusApiScope scope(Binding);
    for (TGPFontFamily* F : objects.Families) delete F;
    delete objects.Formats[1];
    delete objects.Formats[0];
    return;
  }
}

String TGPFontFamily::GetFamilyName() const {
  WCHAR Name[32] = {};
  if (!nativeFamily || Api().GdipGetFamilyName(nativeFamily, Name, LANG_NEUTRAL) != Ok) return String();
  return String(reinterpret_cast<const Char*>(Name));
}

namespace {
// The families of the fallback chain in turn, each made only when the one
// before it is passed over: the family of the asked name (in the given
// collection), "Arial", the generic sans-serif family, the first installed
// family. A family that cannot be made is skipped.
class TFallbackFamilies {
public:
  TFallbackFamilies(const String& Name, const TGPFontCollection* Collection) : FName(Name), FCollection(Collection) {}
  // The next family (owned by this object, valid until the next call), or
  // nullptr after the last.
  GpFontFamily* Next() {
    FOwned.reset();
    while (FStep < 4) {
      if (GpFontFamily* F = Make(FStep++)) return F;
    }
    return nullptr;
  }

private:
  GpFontFamily* Make(int Step) {
    switch (Step) {
      case 0:
        return ByName(FName, FCollection);
      case 1:
        return ByName(u"Arial", nullptr);
      case 2:
        return Copy(TGPFontFamily::GenericSansSerif()->Native());
      default: {
        // A fresh Wine prefix may map none of the usual names: any
        // installed family still draws the text.
        GpFontCollection* Installed = nullptr;
        INT Count = 0, Found = 0;
        if (Api().GdipNewInstalledFontCollection(&Installed) != Ok || !Installed ||
            Api().GdipGetFontCollectionFamilyCount(Installed, &Count) != Ok || Count <= 0)
          return nullptr;
        std::vector<GpFontFamily*> List(static_cast<std::size_t>(Count));
        if (Api().GdipGetFontCollectionFamilyList(Installed, Count, List.data(), &Found) != Ok || Found <= 0)
          return nullptr;
        return Copy(List[0]);
      }
    }
  }
  GpFontFamily* ByName(const String& Name, const TGPFontCollection* Collection) {
    if (Name.empty()) return nullptr;
    FOwned = std::make_unique<TGPFontFamily>(Name, Collection);
    return FOwned->LastResult() == Ok ? FOwned->Native() : nullptr;
  }
  // Shared families (the generic one, the collection's) are copied so that
  // every family handed out is owned alike.
  GpFontFamily* Copy(GpFontFamily* Shared) {
    GpFontFamily* C = nullptr;
    if (!Shared || Api().GdipCloneFontFamily(Shared, &C) != Ok || !C) return nullptr;
    FOwned = std::make_unique<TGPFontFamily>(C, Ok);
    return C;
  }

  String FName;
  const TGPFontCollection* FCollection;
  int FStep = 0;
  std::unique_ptr<TGPFontFamily> FOwned;
};
}  // namespace

std::unique_ptr<TGPFontFamily> CreateFontFamilyFallback(const String& Name) {
  TFallbackFamilies Families(Name, nullptr);
  GpFontFamily* F = Families.Next();
  GpFontFamily* Copy = nullptr;
  if (!F || Api().GdipCloneFontFamily(F, &Copy) != Ok || !Copy) return nullptr;
  return std::make_unique<TGPFontFamily>(Copy, Ok);
}

GpFont* CreateFallbackFont(const String& Name, INT Style, const TGPFontMaker& Make, Status& Last,
                           const TGPFontCollection* Collection) {
  Last = FontFamilyNotFound;
  TFallbackFamilies Families(Name, Collection);
  while (GpFontFamily* F = Families.Next()) {
    for (INT S : {Style, 0}) {
      GpFont* Font = nullptr;
      Last = Make(F, S, &Font);
      if (Last == Ok && Font) return Font;
      if (Font) Api().GdipDeleteFont(Font);
      if (Last == Ok) Last = GenericError;
      if (S == 0) break;
    }
  }
  return nullptr;
}

INT GDIPFontStyle(TFontStyles Style, bool WithStrikeOut) {
  INT S = 0;
  if (Style.Contains(fsBold)) S |= FontStyleBold;
  if (Style.Contains(fsItalic)) S |= FontStyleItalic;
  if (Style.Contains(fsUnderline)) S |= FontStyleUnderline;
  if (WithStrikeOut && Style.Contains(fsStrikeOut)) S |= FontStyleStrikeout;
  return S;
}

TGPFont::TGPFont(const TGPFontFamily* Family, REAL EmSize, INT Style, Unit_ U) {
  lastResult = Api().GdipCreateFont(NativeOf(Family), EmSize, Style, U, &nativeFont);
}

TGPFont::TGPFont(const String& FamilyName, REAL EmSize, INT Style, Unit_ U, const TGPFontCollection* Collection) {
  nativeFont = CreateFallbackFont(
      FamilyName, Style,
      [&](GpFontFamily* F, INT S, GpFont** Out) { return Api().GdipCreateFont(F, EmSize, S, U, Out); }, lastResult,
      Collection);
}
TGPFont::~TGPFont() {
  if (nativeFont) Api().GdipDeleteFont(nativeFont);
}
String TGPFont::FamilyName() const {
  GpFontFamily* F = nullptr;
  if (!nativeFont || Api().GdipGetFamily(nativeFont, &F) != Ok || !F) return String();
  TGPFontFamily Family(F, Ok);
  return Family.GetFamilyName();
}
REAL TGPFont::GetSize() const {
  REAL S = 0;
  Api().GdipGetFontSize(nativeFont, &S);
  return S;
}
INT TGPFont::GetStyle() const {
  INT S = 0;
  Api().GdipGetFontStyle(nativeFont, &S);
  return S;
}

// ---------------------------------------------------------------- brushes
TGPBrush::~TGPBrush() {
  if (nativeBrush) Api().GdipDeleteBrush(nativeBrush);
}
TGPSolidBrush::TGPSolidBrush(ARGB Color) : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateSolidFill(Color, &nativeBrush);
}
TGPHatchBrush::TGPHatchBrush(HatchStyle Style, ARGB Fore, ARGB Back) : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateHatchBrush(Style, Fore, Back, &nativeBrush);
}
HatchStyle TGPHatchBrush::GetHatchStyle() {
  HatchStyle S = HatchStyleHorizontal;
  Keep(Api().GdipGetHatchStyle(nativeBrush, &S));
  return S;
}
Status TGPHatchBrush::GetForegroundColor(ARGB& C) { return Keep(Api().GdipGetHatchForegroundColor(nativeBrush, &C)); }
Status TGPHatchBrush::GetBackgroundColor(ARGB& C) { return Keep(Api().GdipGetHatchBackgroundColor(nativeBrush, &C)); }

TGPTextureBrush::TGPTextureBrush(const TGPImage& Image, WrapMode Wrap) : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateTexture(Image.Native(), Wrap, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, const TGPRectF& R) : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateTexture2(Image.Native(), Wrap, R.X, R.Y, R.Width, R.Height, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, REAL X, REAL Y, REAL Wd, REAL Ht)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateTexture2(Image.Native(), Wrap, X, Y, Wd, Ht, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, const TGPRect& R) : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateTexture2I(Image.Native(), Wrap, R.X, R.Y, R.Width, R.Height, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, INT X, INT Y, INT Wd, INT Ht)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateTexture2I(Image.Native(), Wrap, X, Y, Wd, Ht, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage& Image, const TGPRectF& R, const TGPImageAttributes* A)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateTextureIA(Image.Native(), NativeOf(A), R.X, R.Y, R.Width, R.Height, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage& Image, const TGPRect& R, const TGPImageAttributes* A)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateTextureIAI(Image.Native(), NativeOf(A), R.X, R.Y, R.Width, R.Height, &nativeBrush);
}
Status TGPTextureBrush::ResetTransform() { return Keep(Api().GdipResetTextureTransform(nativeBrush)); }
Status TGPTextureBrush::TranslateTransform(REAL Dx, REAL Dy, MatrixOrder O) {
  return Keep(Api().GdipTranslateTextureTransform(nativeBrush, Dx, Dy, O));
}
Status TGPTextureBrush::ScaleTransform(REAL Sx, REAL Sy, MatrixOrder O) {
  return Keep(Api().GdipScaleTextureTransform(nativeBrush, Sx, Sy, O));
}
Status TGPTextureBrush::RotateTransform(REAL Angle, MatrixOrder O) {
  return Keep(Api().GdipRotateTextureTransform(nativeBrush, Angle, O));
}
Status TGPTextureBrush::SetWrapMode(WrapMode Wrap) { return Keep(Api().GdipSetTextureWrapMode(nativeBrush, Wrap)); }
WrapMode TGPTextureBrush::GetWrapMode() {
  WrapMode M = WrapModeTile;
  Keep(Api().GdipGetTextureWrapMode(nativeBrush, &M));
  return M;
}
std::unique_ptr<TGPImage> TGPTextureBrush::GetImage() {
  GpImage* I = nullptr;
  Keep(Api().GdipGetTextureImage(nativeBrush, &I));
  try {
    return std::make_unique<TGPImage>(I, lastResult);
  } catch (...) {
    // Out of memory: the image is freed and the caller gets none, as from a failed call.
    if (I) Api().GdipDisposeImage(I);
    return nullptr;
  }
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& P1, const TGPPointF& P2, ARGB C1, ARGB C2)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateLineBrush(&P1, &P2, C1, C2, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& P1, const TGPPoint& P2, ARGB C1, ARGB C2)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateLineBrushI(&P1, &P2, C1, C2, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& R, ARGB C1, ARGB C2, LinearGradientMode M)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateLineBrushFromRect(&R, C1, C2, M, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& R, ARGB C1, ARGB C2, LinearGradientMode M)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateLineBrushFromRectI(&R, C1, C2, M, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& R, ARGB C1, ARGB C2, REAL Angle, bool Scalable)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateLineBrushFromRectWithAngle(&R, C1, C2, Angle, Scalable, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& R, ARGB C1, ARGB C2, REAL Angle, bool Scalable)
    : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreateLineBrushFromRectWithAngleI(&R, C1, C2, Angle, Scalable, WrapModeTile, &nativeBrush);
}
Status TGPLinearGradientBrush::SetGammaCorrection(bool Use) {
  return Keep(Api().GdipSetLineGammaCorrection(nativeBrush, Use));
}
Status TGPLinearGradientBrush::SetInterpolationColors(const ARGB* Colors, const REAL* Positions, INT Count) {
  if (Count <= 0) return Keep(InvalidParameter);
  return Keep(Api().GdipSetLinePresetBlend(nativeBrush, Colors, Positions, Count));
}

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath& Path) : TGPBrush(TEmpty{}) {
  lastResult = Api().GdipCreatePathGradientFromPath(Path.Native(), &nativeBrush);
}
Status TGPPathGradientBrush::SetWrapMode(WrapMode Wrap) {
  return Keep(Api().GdipSetPathGradientWrapMode(nativeBrush, Wrap));
}
Status TGPPathGradientBrush::SetGammaCorrection(bool Use) {
  return Keep(Api().GdipSetPathGradientGammaCorrection(nativeBrush, Use));
}
Status TGPPathGradientBrush::SetInterpolationColors(const ARGB* Colors, const REAL* Positions, INT Count) {
  if (Count <= 0 || !Colors) return Keep(InvalidParameter);
  return Keep(Api().GdipSetPathGradientPresetBlend(nativeBrush, Colors, Positions, Count));
}
Status TGPPathGradientBrush::GetCenterColor(ARGB& C) {
  Keep(Api().GdipGetPathGradientCenterColor(nativeBrush, &C));
  return lastResult;
}
Status TGPPathGradientBrush::SetCenterColor(ARGB C) {
  Keep(Api().GdipSetPathGradientCenterColor(nativeBrush, C));
  return lastResult;
}
INT TGPPathGradientBrush::GetPointCount() {
  INT N = 0;
  Keep(Api().GdipGetPathGradientPointCount(nativeBrush, &N));
  return N;
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPointF& P) {
  return Keep(Api().GdipGetPathGradientCenterPoint(nativeBrush, &P));
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPoint& P) {
  return Keep(Api().GdipGetPathGradientCenterPointI(nativeBrush, &P));
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPointF& P) {
  return Keep(Api().GdipSetPathGradientCenterPoint(nativeBrush, &P));
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPoint& P) {
  return Keep(Api().GdipSetPathGradientCenterPointI(nativeBrush, &P));
}
Status TGPPathGradientBrush::GetSurroundColors(ARGB* Colors, INT& Count) {
  if (!Colors) return Keep(InvalidParameter);
  INT N = 0;
  Status S = Keep(Api().GdipGetPathGradientSurroundColorCount(nativeBrush, &N));
  if (S != Ok) return S;
  if (Count < N || N <= 0) return Keep(InsufficientBuffer);
  S = Keep(Api().GdipGetPathGradientSurroundColorsWithCount(nativeBrush, Colors, &N));
  if (S == Ok) Count = N;
  return S;
}
Status TGPPathGradientBrush::SetSurroundColors(const ARGB* Colors, INT& Count) {
  const INT N = GetPointCount();
  if (!Colors || N <= 0 || Count > N) return Keep(InvalidParameter);
  INT C = Count;
  Status S = Keep(Api().GdipSetPathGradientSurroundColorsWithCount(nativeBrush, Colors, &C));
  if (S == Ok) Count = C;
  return S;
}

// ---------------------------------------------------------------- pen
TGPPen::TGPPen(ARGB Color, REAL Width) { lastResult = Api().GdipCreatePen1(Color, Width, UnitWorld, &nativePen); }
TGPPen::TGPPen(const TGPBrush& Brush, REAL Width) {
  lastResult = Api().GdipCreatePen2(Brush.Native(), Width, UnitWorld, &nativePen);
}
TGPPen::~TGPPen() {
  if (nativePen) Api().GdipDeletePen(nativePen);
}
Status TGPPen::SetBrush(const TGPBrush& Brush) { return Keep(Api().GdipSetPenBrushFill(nativePen, Brush.Native())); }
std::unique_ptr<TGPBrush> TGPPen::GetBrush() {
  const INT Type = GetPenType();
  GpBrush* B = nullptr;
  Status S = Keep(Api().GdipGetPenBrushFill(nativePen, &B));
  switch (Type) {
    case 0:
      return std::make_unique<TGPSolidBrush>(B, S);
    case 1:
      return std::make_unique<TGPHatchBrush>(B, S);
    case 2:
      return std::make_unique<TGPTextureBrush>(B, S);
    case 3:
      return std::make_unique<TGPBrush>(B, S);
    case 4:
      return std::make_unique<TGPLinearGradientBrush>(B, S);
    default:
      if (B) Api().GdipDeleteBrush(B);
      return nullptr;
  }
}
Status TGPPen::SetDashStyle(DashStyle D) { return Keep(Api().GdipSetPenDashStyle(nativePen, D)); }
DashStyle TGPPen::GetDashStyle() {
  DashStyle D = DashStyleSolid;
  Keep(Api().GdipGetPenDashStyle(nativePen, &D));
  return D;
}
Status TGPPen::SetEndCap(INT Cap) { return Keep(Api().GdipSetPenEndCap(nativePen, Cap)); }
INT TGPPen::GetPenType() {
  INT T = -1;
  Keep(Api().GdipGetPenFillType(nativePen, &T));
  return T;
}

// ---------------------------------------------------------------- path
TGPGraphicsPath::TGPGraphicsPath(FillMode Mode) { lastResult = Api().GdipCreatePath(Mode, &nativePath); }
TGPGraphicsPath::~TGPGraphicsPath() {
  if (nativePath) Api().GdipDeletePath(nativePath);
}
Status TGPGraphicsPath::Reset() { return Keep(Api().GdipResetPath(nativePath)); }
Status TGPGraphicsPath::CloseFigure() { return Keep(Api().GdipClosePathFigure(nativePath)); }
Status TGPGraphicsPath::AddLine(REAL X1, REAL Y1, REAL X2, REAL Y2) {
  return Keep(Api().GdipAddPathLine(nativePath, X1, Y1, X2, Y2));
}
Status TGPGraphicsPath::AddLines(const TGPPoint* P, INT Count) {
  return Keep(Api().GdipAddPathLine2I(nativePath, P, Count));
}
Status TGPGraphicsPath::AddRectangle(const TGPRectF& R) {
  return Keep(Api().GdipAddPathRectangle(nativePath, R.X, R.Y, R.Width, R.Height));
}
Status TGPGraphicsPath::AddRectangle(const TGPRect& R) {
  return Keep(Api().GdipAddPathRectangleI(nativePath, R.X, R.Y, R.Width, R.Height));
}
Status TGPGraphicsPath::AddArc(const TGPRectF& R, REAL Start, REAL Sweep) {
  return AddArc(R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphicsPath::AddArc(REAL X, REAL Y, REAL Wd, REAL Ht, REAL Start, REAL Sweep) {
  return Keep(Api().GdipAddPathArc(nativePath, X, Y, Wd, Ht, Start, Sweep));
}
Status TGPGraphicsPath::AddEllipse(const TGPRectF& R) { return AddEllipse(R.X, R.Y, R.Width, R.Height); }
Status TGPGraphicsPath::AddEllipse(REAL X, REAL Y, REAL Wd, REAL Ht) {
  return Keep(Api().GdipAddPathEllipse(nativePath, X, Y, Wd, Ht));
}
Status TGPGraphicsPath::AddPie(const TGPRectF& R, REAL Start, REAL Sweep) {
  return AddPie(R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphicsPath::AddPie(REAL X, REAL Y, REAL Wd, REAL Ht, REAL Start, REAL Sweep) {
  return Keep(Api().GdipAddPathPie(nativePath, X, Y, Wd, Ht, Start, Sweep));
}
Status TGPGraphicsPath::AddPolygon(const TGPPointF* P, INT Count) {
  return Keep(Api().GdipAddPathPolygon(nativePath, P, Count));
}
Status TGPGraphicsPath::AddPolygon(const TGPPoint* P, INT Count) {
  return Keep(Api().GdipAddPathPolygonI(nativePath, P, Count));
}
Status TGPGraphicsPath::AddCurve(const TGPPointF* P, INT Count) {
  return Keep(Api().GdipAddPathCurve(nativePath, P, Count));
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* P, INT Count) {
  return Keep(Api().GdipAddPathCurveI(nativePath, P, Count));
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* P, INT Count, REAL Tension) {
  return Keep(Api().GdipAddPathCurve2I(nativePath, P, Count, Tension));
}
Status TGPGraphicsPath::AddBezier(const TGPPoint& A, const TGPPoint& B, const TGPPoint& C, const TGPPoint& D) {
  return AddBezier(REAL(A.X), REAL(A.Y), REAL(B.X), REAL(B.Y), REAL(C.X), REAL(C.Y), REAL(D.X), REAL(D.Y));
}
Status TGPGraphicsPath::AddBezier(const TGPPointF& A, const TGPPointF& B, const TGPPointF& C, const TGPPointF& D) {
  return AddBezier(A.X, A.Y, B.X, B.Y, C.X, C.Y, D.X, D.Y);
}
Status TGPGraphicsPath::AddBezier(REAL X1, REAL Y1, REAL X2, REAL Y2, REAL X3, REAL Y3, REAL X4, REAL Y4) {
  return Keep(Api().GdipAddPathBezier(nativePath, X1, Y1, X2, Y2, X3, Y3, X4, Y4));
}
Status TGPGraphicsPath::AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                                  const TGPRectF& Layout, const TGPStringFormat* Format) {
  return Keep(Api().GdipAddPathString(nativePath, WideCStr(Text), Length, NativeOf(Family), Style, EmSize, &Layout,
                                      NativeOf(Format)));
}

// ---------------------------------------------------------------- images
TGPImage::TGPImage(const String& FileName, bool ICM) {
  lastResult = ICM ? Api().GdipLoadImageFromFileICM(WideCStr(FileName), &nativeImage)
                   : Api().GdipLoadImageFromFile(WideCStr(FileName), &nativeImage);
}
TGPImage::TGPImage(IStream* Stream, bool ICM) {
  lastResult = ICM ? Api().GdipLoadImageFromStreamICM(Stream, &nativeImage)
                   : Api().GdipLoadImageFromStream(Stream, &nativeImage);
}
TGPImage::~TGPImage() {
  if (nativeImage) Api().GdipDisposeImage(nativeImage);
}
UINT TGPImage::GetWidth() {
  UINT V = 0;
  return Keep(Api().GdipGetImageWidth(nativeImage, &V)) == Ok ? V : 0;
}
UINT TGPImage::GetHeight() {
  UINT V = 0;
  return Keep(Api().GdipGetImageHeight(nativeImage, &V)) == Ok ? V : 0;
}
PixelFormat TGPImage::GetPixelFormat() {
  PixelFormat F = 0;
  Keep(Api().GdipGetImagePixelFormat(nativeImage, &F));
  return F;
}
TGPImageFormat TGPImage::GetFormat() {
  GUID G{};
  if (Keep(Api().GdipGetImageRawFormat(nativeImage, &G)) != Ok) return ifUndefined;
  // {B96B3CAA-0728-11D3-9D7B-0000F81EF32E} and its neighbours.
  static const Byte Tail[8] = {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};
  if (G.Data2 != 0x0728 || G.Data3 != 0x11D3 || std::memcmp(G.Data4, Tail, 8) != 0) return ifUndefined;
  switch (G.Data1) {
    case 0xB96B3CAA:
      return ifMemoryBMP;
    case 0xB96B3CAB:
      return ifBMP;
    case 0xB96B3CAC:
      return ifEMF;
    case 0xB96B3CAD:
      return ifWMF;
    case 0xB96B3CAE:
      return ifJPEG;
    case 0xB96B3CAF:
      return ifPNG;
    case 0xB96B3CB0:
      return ifGIF;
    case 0xB96B3CB1:
      return ifTIFF;
    case 0xB96B3CB2:
      return ifEXIF;
    case 0xB96B3CB5:
      return ifIcon;
    default:
      return ifUndefined;
  }
}
std::unique_ptr<TGPImage> TGPImage::GetThumbnailImage(UINT Wd, UINT Ht, GetThumbnailImageAbort Cb, void* Data) {
  GpImage* I = nullptr;
  Keep(Api().GdipGetImageThumbnail(nativeImage, Wd, Ht, &I, Cb, Data));
  try {
    return std::make_unique<TGPImage>(I, lastResult);
  } catch (...) {
    // Out of memory: the image is freed and the caller gets none, as from a failed call.
    if (I) Api().GdipDisposeImage(I);
    return nullptr;
  }
}
Status TGPImage::Save(const String& FileName, const CLSID& Encoder, const EncoderParameters* Params) {
  return Keep(Api().GdipSaveImageToFile(nativeImage, WideCStr(FileName), &Encoder, Params));
}
Status TGPImage::Save(IStream* Stream, const CLSID& Encoder, const EncoderParameters* Params) {
  return Keep(Api().GdipSaveImageToStream(nativeImage, Stream, &Encoder, Params));
}
Status TGPImage::SaveAdd(const TGPImage* NewImage, const EncoderParameters* Params) {
  if (!NewImage) return Keep(InvalidParameter);
  return Keep(Api().GdipSaveAddImage(nativeImage, NewImage->Native(), Params));
}
Status TGPImage::RotateFlip(RotateFlipType Type) { return Keep(Api().GdipImageRotateFlip(nativeImage, Type)); }

TGPBitmap::TGPBitmap(IStream* Stream, bool ICM) {
  lastResult = ICM ? Api().GdipCreateBitmapFromStreamICM(Stream, &nativeImage)
                   : Api().GdipCreateBitmapFromStream(Stream, &nativeImage);
}
TGPBitmap::TGPBitmap(INT Wd, INT Ht, PixelFormat Format) {
  lastResult = Api().GdipCreateBitmapFromScan0(Wd, Ht, 0, Format, nullptr, &nativeImage);
}
TGPBitmap::TGPBitmap(HBITMAP Bitmap, HPALETTE Palette) {
  lastResult = Api().GdipCreateBitmapFromHBITMAP(Bitmap, Palette, &nativeImage);
}
Status TGPBitmap::GetPixel(INT X, INT Y, ARGB& C) { return Keep(Api().GdipBitmapGetPixel(nativeImage, X, Y, &C)); }
Status TGPBitmap::SetPixel(INT X, INT Y, ARGB C) { return Keep(Api().GdipBitmapSetPixel(nativeImage, X, Y, C)); }
Status TGPBitmap::GetHBITMAP(ARGB Background, HBITMAP& Result) {
  return Keep(Api().GdipCreateHBITMAPFromBitmap(nativeImage, &Result, Background));
}

// ---------------------------------------------------------------- image attributes
TGPImageAttributes::TGPImageAttributes() { lastResult = Api().GdipCreateImageAttributes(&nativeImageAttr); }
TGPImageAttributes::~TGPImageAttributes() {
  if (nativeImageAttr) Api().GdipDisposeImageAttributes(nativeImageAttr);
}
std::unique_ptr<TGPImageAttributes> TGPImageAttributes::Clone() const {
  GpImageAttributes* A = nullptr;
  Status S = const_cast<TGPImageAttributes*>(this)->Keep(Api().GdipCloneImageAttributes(nativeImageAttr, &A));
  return std::unique_ptr<TGPImageAttributes>(new TGPImageAttributes(A, S == Ok ? lastResult : S));
}
Status TGPImageAttributes::SetToIdentity(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesToIdentity(nativeImageAttr, T));
}
Status TGPImageAttributes::Reset(ColorAdjustType T) { return Keep(Api().GdipResetImageAttributes(nativeImageAttr, T)); }
Status TGPImageAttributes::SetColorMatrix(const ColorMatrix& M, ColorMatrixFlags F, ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesColorMatrix(nativeImageAttr, T, TRUE, &M, nullptr, F));
}
Status TGPImageAttributes::ClearColorMatrix(ColorAdjustType T) {
  return Keep(
      Api().GdipSetImageAttributesColorMatrix(nativeImageAttr, T, FALSE, nullptr, nullptr, ColorMatrixFlagsDefault));
}
Status TGPImageAttributes::SetColorMatrices(const ColorMatrix& M, const ColorMatrix& G, ColorMatrixFlags F,
                                            ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesColorMatrix(nativeImageAttr, T, TRUE, &M, &G, F));
}
Status TGPImageAttributes::ClearColorMatrices(ColorAdjustType T) { return ClearColorMatrix(T); }
Status TGPImageAttributes::SetThreshold(REAL V, ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesThreshold(nativeImageAttr, T, TRUE, V));
}
Status TGPImageAttributes::ClearThreshold(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesThreshold(nativeImageAttr, T, FALSE, 0));
}
Status TGPImageAttributes::SetGamma(REAL V, ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesGamma(nativeImageAttr, T, TRUE, V));
}
Status TGPImageAttributes::ClearGamma(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesGamma(nativeImageAttr, T, FALSE, 0));
}
Status TGPImageAttributes::SetNoOp(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesNoOp(nativeImageAttr, T, TRUE));
}
Status TGPImageAttributes::ClearNoOp(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesNoOp(nativeImageAttr, T, FALSE));
}
Status TGPImageAttributes::SetColorKey(ARGB Low, ARGB High, ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesColorKeys(nativeImageAttr, T, TRUE, Low, High));
}
Status TGPImageAttributes::ClearColorKey(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesColorKeys(nativeImageAttr, T, FALSE, 0, 0));
}
Status TGPImageAttributes::SetOutputChannel(ColorChannelFlags F, ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesOutputChannel(nativeImageAttr, T, TRUE, F));
}
Status TGPImageAttributes::ClearOutputChannel(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesOutputChannel(nativeImageAttr, T, FALSE, ColorChannelFlagsLast));
}
Status TGPImageAttributes::SetOutputChannelColorProfile(const String& FileName, ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesOutputChannelColorProfile(nativeImageAttr, T, TRUE, WideCStr(FileName)));
}
Status TGPImageAttributes::ClearOutputChannelColorProfile(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesOutputChannelColorProfile(nativeImageAttr, T, FALSE, nullptr));
}
Status TGPImageAttributes::SetRemapTable(UINT Size, const ColorMap* Map, ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesRemapTable(nativeImageAttr, T, TRUE, Size, Map));
}
Status TGPImageAttributes::ClearRemapTable(ColorAdjustType T) {
  return Keep(Api().GdipSetImageAttributesRemapTable(nativeImageAttr, T, FALSE, 0, nullptr));
}
Status TGPImageAttributes::SetWrapMode(WrapMode Wrap, ARGB Color, bool Clamp) {
  return Keep(Api().GdipSetImageAttributesWrapMode(nativeImageAttr, Wrap, Color, Clamp));
}
Status TGPImageAttributes::GetAdjustedPalette(ColorPalette* P, ColorAdjustType T) {
  return Keep(Api().GdipGetImageAttributesAdjustedPalette(nativeImageAttr, P, T));
}
Status TGPImageAttributes::GetLastStatus() {
  Status S = lastResult;
  lastResult = Ok;
  return S;
}

// ---------------------------------------------------------------- graphics
TGPGraphics::TGPGraphics(HDC DC) { lastResult = Api().GdipCreateFromHDC(DC, &nativeGraphics); }
TGPGraphics::TGPGraphics(TGPImage* Image) {
  if (Image) lastResult = Api().GdipGetImageGraphicsContext(Image->Native(), &nativeGraphics);
}
TGPGraphics::~TGPGraphics() {
  if (nativeGraphics) Api().GdipDeleteGraphics(nativeGraphics);
}
void TGPGraphics::Flush(FlushIntention I) { Api().GdipFlush(nativeGraphics, I); }
Status TGPGraphics::Clear(ARGB C) { return Keep(Api().GdipGraphicsClear(nativeGraphics, C)); }
HDC TGPGraphics::GetHDC() {
  HDC DC = nullptr;
  Keep(Api().GdipGetDC(nativeGraphics, &DC));
  return DC;
}
void TGPGraphics::ReleaseHDC(HDC DC) { Keep(Api().GdipReleaseDC(nativeGraphics, DC)); }
Status TGPGraphics::SetTextRenderingHint(TextRenderingHint H) {
  return Keep(Api().GdipSetTextRenderingHint(nativeGraphics, H));
}
TextRenderingHint TGPGraphics::GetTextRenderingHint() {
  TextRenderingHint H = TextRenderingHintSystemDefault;
  Keep(Api().GdipGetTextRenderingHint(nativeGraphics, &H));
  return H;
}
Status TGPGraphics::SetSmoothingMode(INT M) { return Keep(Api().GdipSetSmoothingMode(nativeGraphics, M)); }
INT TGPGraphics::GetSmoothingMode() {
  INT M = -1;
  Keep(Api().GdipGetSmoothingMode(nativeGraphics, &M));
  return M;
}
Status TGPGraphics::SetCompositingQuality(INT Q) { return Keep(Api().GdipSetCompositingQuality(nativeGraphics, Q)); }
INT TGPGraphics::GetCompositingQuality() {
  INT Q = 0;
  Keep(Api().GdipGetCompositingQuality(nativeGraphics, &Q));
  return Q;
}
Status TGPGraphics::SetTransform(const TGPMatrix& M) {
  return Keep(Api().GdipSetWorldTransform(nativeGraphics, M.Native()));
}
Status TGPGraphics::ResetTransform() { return Keep(Api().GdipResetWorldTransform(nativeGraphics)); }
Status TGPGraphics::MultiplyTransform(const TGPMatrix& M, MatrixOrder O) {
  return Keep(Api().GdipMultiplyWorldTransform(nativeGraphics, M.Native(), O));
}
Status TGPGraphics::TranslateTransform(REAL Dx, REAL Dy, MatrixOrder O) {
  return Keep(Api().GdipTranslateWorldTransform(nativeGraphics, Dx, Dy, O));
}
Status TGPGraphics::RotateTransform(REAL A, MatrixOrder O) {
  return Keep(Api().GdipRotateWorldTransform(nativeGraphics, A, O));
}
Status TGPGraphics::ScaleTransform(REAL Sx, REAL Sy, MatrixOrder O) {
  return Keep(Api().GdipScaleWorldTransform(nativeGraphics, Sx, Sy, O));
}
Status TGPGraphics::DrawPath(const TGPPen* Pen, const TGPGraphicsPath* Path) {
  return Keep(Api().GdipDrawPath(nativeGraphics, NativeOf(Pen), NativeOf(Path)));
}
Status TGPGraphics::FillPath(const TGPBrush* Brush, const TGPGraphicsPath* Path) {
  return Keep(Api().GdipFillPath(nativeGraphics, NativeOf(Brush), NativeOf(Path)));
}
Status TGPGraphics::FillRectangle(const TGPBrush& B, const TGPRectF& R) {
  return FillRectangle(B, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::FillRectangle(const TGPBrush& B, REAL X, REAL Y, REAL Wd, REAL Ht) {
  return Keep(Api().GdipFillRectangle(nativeGraphics, B.Native(), X, Y, Wd, Ht));
}
Status TGPGraphics::DrawRectangle(const TGPPen& P, const TGPRectF& R) {
  return DrawRectangle(P, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::DrawRectangle(const TGPPen& P, REAL X, REAL Y, REAL Wd, REAL Ht) {
  return Keep(Api().GdipDrawRectangle(nativeGraphics, P.Native(), X, Y, Wd, Ht));
}
Status TGPGraphics::DrawLine(const TGPPen& P, REAL X1, REAL Y1, REAL X2, REAL Y2) {
  return Keep(Api().GdipDrawLine(nativeGraphics, P.Native(), X1, Y1, X2, Y2));
}
Status TGPGraphics::DrawArc(const TGPPen& P, REAL X, REAL Y, REAL Wd, REAL Ht, REAL Start, REAL Sweep) {
  return Keep(Api().GdipDrawArc(nativeGraphics, P.Native(), X, Y, Wd, Ht, Start, Sweep));
}
Status TGPGraphics::DrawArc(const TGPPen& P, const TGPRectF& R, REAL Start, REAL Sweep) {
  return DrawArc(P, R.X, R.Y, R.Width, R.Height, Start, Sweep);
}
Status TGPGraphics::DrawEllipse(const TGPPen& P, const TGPRectF& R) {
  return DrawEllipse(P, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::DrawEllipse(const TGPPen& P, REAL X, REAL Y, REAL Wd, REAL Ht) {
  return Keep(Api().GdipDrawEllipse(nativeGraphics, P.Native(), X, Y, Wd, Ht));
}
Status TGPGraphics::DrawEllipse(const TGPPen& P, const TGPRect& R) {
  return DrawEllipse(P, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::DrawEllipse(const TGPPen& P, INT X, INT Y, INT Wd, INT Ht) {
  return Keep(Api().GdipDrawEllipseI(nativeGraphics, P.Native(), X, Y, Wd, Ht));
}
Status TGPGraphics::FillEllipse(const TGPBrush& B, const TGPRectF& R) {
  return FillEllipse(B, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::FillEllipse(const TGPBrush& B, REAL X, REAL Y, REAL Wd, REAL Ht) {
  return Keep(Api().GdipFillEllipse(nativeGraphics, B.Native(), X, Y, Wd, Ht));
}
Status TGPGraphics::FillEllipse(const TGPBrush& B, const TGPRect& R) {
  return FillEllipse(B, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::FillEllipse(const TGPBrush& B, INT X, INT Y, INT Wd, INT Ht) {
  return Keep(Api().GdipFillEllipseI(nativeGraphics, B.Native(), X, Y, Wd, Ht));
}
Status TGPGraphics::FillPolygon(const TGPBrush& B, const TGPPointF* P, INT Count, FillMode M) {
  return Keep(Api().GdipFillPolygon(nativeGraphics, B.Native(), P, Count, M));
}
Status TGPGraphics::FillPolygon(const TGPBrush& B, const TGPPoint* P, INT Count, FillMode M) {
  return Keep(Api().GdipFillPolygonI(nativeGraphics, B.Native(), P, Count, M));
}
Status TGPGraphics::DrawImage(const TGPImage* I, INT X, INT Y) {
  return Keep(Api().GdipDrawImageI(nativeGraphics, NativeOf(I), X, Y));
}
Status TGPGraphics::DrawImage(const TGPImage* I, REAL X, REAL Y, REAL Wd, REAL Ht) {
  return Keep(Api().GdipDrawImageRect(nativeGraphics, NativeOf(I), X, Y, Wd, Ht));
}
Status TGPGraphics::DrawImage(const TGPImage* I, const TGPRectF& R) {
  return DrawImage(I, R.X, R.Y, R.Width, R.Height);
}
Status TGPGraphics::DrawImage(const TGPImage* I, const TGPRectF& D, REAL SX, REAL SY, REAL SW, REAL SH, Unit_ U,
                              const TGPImageAttributes* A, DrawImageAbort Cb, void* Data) {
  return Keep(Api().GdipDrawImageRectRect(nativeGraphics, NativeOf(I), D.X, D.Y, D.Width, D.Height, SX, SY, SW, SH, U,
                                          NativeOf(A), Cb, Data));
}
Status TGPGraphics::DrawImageRect(const TGPImage* I, INT X, INT Y, INT Wd, INT Ht) {
  return Keep(Api().GdipDrawImageRect(nativeGraphics, NativeOf(I), REAL(X), REAL(Y), REAL(Wd), REAL(Ht)));
}
Status TGPGraphics::DrawImageRect(const TGPImage* I, const TGPRectF& R) {
  return DrawImageRect(I, RoundI(R.X), RoundI(R.Y), RoundI(R.Width), RoundI(R.Height));
}
Status TGPGraphics::SetClip(const TGPRegion& R, CombineMode M) {
  return Keep(Api().GdipSetClipRegion(nativeGraphics, R.Native(), M));
}
Status TGPGraphics::SetClip(const TGPGraphicsPath& P, CombineMode M) {
  return Keep(Api().GdipSetClipPath(nativeGraphics, P.Native(), M));
}
Status TGPGraphics::ExcludeClip(const TGPRectF& R) {
  return Keep(Api().GdipSetClipRect(nativeGraphics, R.X, R.Y, R.Width, R.Height, CombineModeExclude));
}
Status TGPGraphics::ExcludeClip(const TGPRegion& R) {
  return Keep(Api().GdipSetClipRegion(nativeGraphics, R.Native(), CombineModeExclude));
}
Status TGPGraphics::ResetClip() { return Keep(Api().GdipResetClip(nativeGraphics)); }

Status TGPGraphics::MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPRectF& Layout,
                                  const TGPStringFormat* Format, TGPRectF& Box, INT* Fitted, INT* Lines) {
  return Keep(Api().GdipMeasureString(nativeGraphics, WideCStr(Text), Length, NativeOf(Font), &Layout, NativeOf(Format),
                                      &Box, Fitted, Lines));
}
Status TGPGraphics::MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPPointF& Origin,
                                  const TGPStringFormat* Format, TGPRectF& Box) {
  const TGPRectF Layout{Origin.X, Origin.Y, 0, 0};
  return MeasureString(Text, Length, Font, Layout, Format, Box);
}
Status TGPGraphics::MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPRectF& Layout,
                                  TGPRectF& Box) {
  return MeasureString(Text, Length, Font, Layout, nullptr, Box);
}

Status TGPGraphics::DrawString(const String& Text, INT, const TGPFont* Font, const TGPRectF& Layout,
                               const TGPStringFormat* Format, const TGPBrush* Brush) {
  // The whole text, from a zero-ended copy of its own.
  std::u16string Copy(Text.c_str());
  return Keep(Api().GdipDrawString(nativeGraphics, WideCStr(Copy), static_cast<INT>(Copy.size()), NativeOf(Font),
                                   &Layout, NativeOf(Format), NativeOf(Brush)));
}
Status TGPGraphics::DrawString(const String& Text, INT Length, const TGPFont* Font, const TGPPointF& Origin,
                               const TGPStringFormat* Format, const TGPBrush* Brush) {
  return DrawString(Text, Length, Font, TGPRectF{Origin.X, Origin.Y, 0, 0}, Format, Brush);
}
Status TGPGraphics::DrawString(const String& Text, INT Length, const TGPFont* Font, const TGPPointF& Origin,
                               const TGPBrush* Brush) {
  return DrawString(Text, Length, Font, TGPRectF{Origin.X, Origin.Y, 0, 0}, nullptr, Brush);
}

std::unique_ptr<TGPFont> TGPGraphics::MakeFont(const TChartFont& Font) {
  return std::make_unique<TGPFont>(Font.Name(), static_cast<REAL>(Font.Size()), GDIPFontStyle(Font.Style()), UnitPoint);
}

Integer TGPGraphics::TextWidth(const String& Text, const TChartFont& Font) {
  auto F = MakeFont(Font);
  TGPRectF Box{};
  MeasureString(Text, -1, F.get(), TGPRectF{0, 0, 10000, 10000}, Box);
  return RoundI(Box.Width);
}

Integer TGPGraphics::TextHeight(const String& Text, const TChartFont& Font) {
  auto F = MakeFont(Font);
  TGPRectF Box{};
  MeasureString(Text, -1, F.get(), TGPRectF{0, 0, 10000, 10000}, Box);
  return RoundI(Box.Height);
}

Integer TGPGraphics::DrawText(const String& Text, INT Length, TRect& Rect, const TChartFont& Font, UINT Style,
                              TColor BkColor) {
  auto F = MakeFont(Font);
  const bool CalcRect = (Style & 0x400) != 0;
  if (CalcRect || BkColor != clNone) {
    double Trim = 2;
    if (Font.Size() > 8) Trim = 2 + RoundI((Font.Size() - 8) / 1.5);
    String M = Text;
    // A trailing space is measured as a narrow letter, or GDI+ would drop it.
    if (M.size() > 1 && M.back() == u' ') M.back() = u'i';
    TGPRectF Layout{REAL(Rect.Left), REAL(Rect.Top), REAL(Rect.Right - Rect.Left + 1000), REAL(Rect.Bottom - Rect.Top)};
    TGPRectF B{};
    MeasureString(M, Length, F.get(), Layout, nullptr, B);
    Rect.Right = Rect.Left + RoundI(B.Width - Trim);
    Rect.Bottom = Rect.Top + RoundI(B.Height);
    if (BkColor != clNone) {
      TGPSolidBrush Bk(MakeGDIPOpaqueColor(BkColor));
      FillRectangle(Bk, REAL(Rect.Left + 1), REAL(Rect.Top), REAL(B.Width - Trim + 1), B.Height);
    }
  }
  if (!CalcRect) {
    TGPSolidBrush Ink(MakeGDIPOpaqueColor(Font.Color()));
    DrawString(Text, -1, F.get(), TGPPointF{REAL(Rect.Left), REAL(Rect.Top)}, &Ink);
  }
  return Rect.Bottom - Rect.Top;
}

Status TGPGraphics::GetLastStatus() {
  Status S = lastResult;
  lastResult = Ok;
  return S;
}

// ---------------------------------------------------------------- shared drawing
void FillGDIPShape(const TGDIPFillParams& P) {
  if (!P.Graphics) return;
  TGPGraphics& G = *P.Graphics;
  auto Fill = [&](const TGPBrush& B) {
    if (P.UsePath)
      G.FillPath(&B, P.Path);
    else
      G.FillRectangle(B, P.R);
  };
  const ARGB C1 = MakeGDIPColor(OpacityAlpha(P.Opacity), P.Color);
  const ARGB C2 = MakeGDIPColor(OpacityAlpha(P.OpacityTo), P.ColorTo);
  const TGPRectF Wide{P.R.X - 1, P.R.Y - 1, P.R.Width + 2, P.R.Height + 2};
  bool Linear = false;
  switch (P.GradientType) {
    case gtSolid:
      Fill(TGPSolidBrush(C1));
      break;
    case gtVertical:
    case gtHorizontal:
    case gtForwardDiagonal:
    case gtBackwardDiagonal: {
      static const LinearGradientMode Modes[] = {LinearGradientModeVertical, LinearGradientModeHorizontal,
                                                 LinearGradientModeForwardDiagonal, LinearGradientModeBackwardDiagonal};
      TGPLinearGradientBrush B(Wide, C1, C2, Modes[P.GradientType - gtVertical]);
      B.SetGammaCorrection(true);
      Fill(B);
      Linear = true;
      break;
    }
    case gtAngle: {
      TGPLinearGradientBrush B(Wide, C1, C2, static_cast<REAL>(P.Angle), true);
      B.SetGammaCorrection(true);
      Fill(B);
      break;
    }
    case gtHatch:
      Fill(TGPHatchBrush(P.Hatch, C1, C2));
      break;
    case gtTexture:
      if (P.Picture) {
        if (P.UsePath && P.Path)
          P.Picture->FillPath(G, *P.Path);
        else
          P.Picture->FillRect(G, P.R);
      }
      break;
    default:
      break;
  }
  if (Linear && P.TopLine) G.FillRectangle(TGPSolidBrush(C1), P.R.X, P.R.Y, P.R.Width, 1.0f);
  if (P.BorderColor != clNone) {
    TGPPen Pen(MakeGDIPColor(OpacityAlpha(P.Opacity), P.BorderColor), static_cast<REAL>(P.BorderWidth));
    Pen.SetDashStyle(P.BorderStyle);
    if (P.UsePath)
      G.DrawPath(&Pen, P.Path);
    else
      G.DrawRectangle(Pen, P.R);
  }
}

void DrawGDIPShadow(TGPGraphics& Graphics, const TGPRectF& R) {
  TGPGraphicsPath Path(FillModeAlternate);
  Path.AddRectangle(R);
  TGPPathGradientBrush B(Path);
  B.SetWrapMode(WrapModeClamp);
  const ARGB Grey = MakeGDIPColor(180, 0x808080);
  // A grey centre fading to a clear edge first: a GDI+ that ignores preset
  // blends on path gradients (Wine's) still draws a soft shadow, where it
  // would otherwise fill with the default white.
  const ARGB Clear[4] = {0, 0, 0, 0};
  INT Count = 4;
  B.SetCenterColor(Grey);
  B.SetSurroundColors(Clear, Count);
  const ARGB Colors[3] = {MakeARGB(0, 0, 0, 0), Grey, Grey};
  const REAL Positions[3] = {0.0f, 0.1f, 1.0f};
  B.SetInterpolationColors(Colors, Positions, 3);
  Graphics.FillPath(&B, &Path);
}

void GDIPArrowPoints(TPoint FromPt, TPoint ToPt, Integer ArrowSize, double ScaleX, double ScaleY, TGPPointF (&Out)[4]) {
  const Integer Lx = RoundI(ArrowSize * ScaleX), Ly = RoundI(ArrowSize * ScaleY);
  const Integer Dx = ToPt.X - FromPt.X, Dy = ToPt.Y - FromPt.Y;
  Integer Len = RoundI(std::sqrt(double(Dx) * Dx + double(Dy) * Dy));
  if (Len == 0) Len = 1;
  const Integer Bx = ToPt.X - Div(Dx * Lx, Len), By = ToPt.Y - Div(Dy * Ly, Len);
  const Integer Ox = Div(Dy * Div(Lx, 2), Len), Oy = Div(Dx * Div(Ly, 2), Len);
  Out[0] = {REAL(ToPt.X), REAL(ToPt.Y)};
  Out[1] = {REAL(Bx - Ox), REAL(By + Oy)};
  Out[2] = {REAL(Bx), REAL(By)};
  Out[3] = {REAL(Bx + Ox), REAL(By - Oy)};
}

void DrawGDIPArrow(TGPGraphics& Graphics, TPoint FromPt, TPoint ToPt, Integer ArrowSize, TColor ArrowColor,
                   double ScaleX, double ScaleY) {
  TGPPointF Pts[4];
  GDIPArrowPoints(FromPt, ToPt, ArrowSize, ScaleX, ScaleY, Pts);
  TGPGraphicsPath Path(FillModeAlternate);
  Path.AddPolygon(Pts, 4);
  TGPSolidBrush B(MakeGDIPColor(255, ArrowColor));
  Graphics.FillPath(&B, &Path);
}

// ---------------------------------------------------------------- what the drawing layer adds
Status TGPPen::SetWidth(REAL Width) { return Keep(Api().GdipSetPenWidth(nativePen, Width)); }
REAL TGPPen::GetWidth() {
  REAL W = 0;
  Keep(Api().GdipGetPenWidth(nativePen, &W));
  return W;
}
Status TGPPen::SetColor(ARGB Color) { return Keep(Api().GdipSetPenColor(nativePen, Color)); }
Status TGPPen::GetColor(ARGB& Color) {
  INT Type = -1;
  Api().GdipGetPenFillType(nativePen, &Type);
  if (Type != 0) return WrongState;
  // This call's status: a failure kept from an earlier call (until
  // GetLastStatus) says nothing about this read.
  ARGB C = 0;
  const Status S = Keep(Api().GdipGetPenColor(nativePen, &C));
  if (S == Ok) Color = C;
  return S;
}
Status TGPPen::SetCustomStartCap(const TGPCustomLineCap* Cap) {
  return Keep(Api().GdipSetPenCustomStartCap(nativePen, NativeOf(Cap)));
}
Status TGPPen::SetCustomEndCap(const TGPCustomLineCap* Cap) {
  return Keep(Api().GdipSetPenCustomEndCap(nativePen, NativeOf(Cap)));
}
Status TGPPen::GetCustomStartCap(TGPCustomLineCap* Cap) {
  if (!Cap) return Keep(InvalidParameter);
  return Keep(Api().GdipGetPenCustomStartCap(nativePen, &Cap->nativeCap));
}
Status TGPPen::GetCustomEndCap(TGPCustomLineCap* Cap) {
  if (!Cap) return Keep(InvalidParameter);
  return Keep(Api().GdipGetPenCustomEndCap(nativePen, &Cap->nativeCap));
}
Status TGPPen::GetLastStatus() {
  const Status S = lastResult;
  lastResult = Ok;
  return S;
}

Status TGPGraphicsPath::GetPathData(GpPathData& Data) { return Keep(Api().GdipGetPathData(nativePath, &Data)); }
Status TGPGraphicsPath::StartFigure() { return Keep(Api().GdipStartPathFigure(nativePath)); }
INT TGPGraphicsPath::GetPointCount() {
  INT N = 0;
  Keep(Api().GdipGetPointCount(nativePath, &N));
  return N;
}
Status TGPGraphicsPath::GetBounds(TGPRectF& Bounds, const TGPMatrix* Matrix, const TGPPen* Pen) {
  return Keep(Api().GdipGetPathWorldBounds(nativePath, &Bounds, NativeOf(Matrix), NativeOf(Pen)));
}

ImageType TGPImage::GetType() {
  ImageType T = ImageTypeUnknown;
  if (Keep(Api().GdipGetImageType(nativeImage, &T)) != Ok) return ImageTypeUnknown;
  return T;
}

Status TGPGraphics::GetTransform(TGPMatrix& Matrix) {
  return Keep(Api().GdipGetWorldTransform(nativeGraphics, Matrix.Native()));
}
UINT TGPGraphics::Save() {
  UINT State = 0;
  if (Keep(Api().GdipSaveGraphics(nativeGraphics, &State)) != Ok) return 0;
  return State;
}
Status TGPGraphics::Restore(UINT State) { return Keep(Api().GdipRestoreGraphics(nativeGraphics, State)); }
Status TGPGraphics::SetClip(const TGPRectF& Rect, CombineMode Mode) {
  return Keep(Api().GdipSetClipRect(nativeGraphics, Rect.X, Rect.Y, Rect.Width, Rect.Height, Mode));
}
Status TGPGraphics::DrawLines(const TGPPen& Pen, const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipDrawLines(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawPolygon(const TGPPen& Pen, const TGPPointF* Points, INT Count) {
  return Keep(Api().GdipDrawPolygon(nativeGraphics, Pen.Native(), Points, Count));
}
Status TGPGraphics::DrawCachedBitmap(const TGPCachedBitmap& Bitmap, INT X, INT Y) {
  return Keep(Api().GdipDrawCachedBitmap(nativeGraphics, Bitmap.Native(), X, Y));
}

TGPCustomLineCap::TGPCustomLineCap(const TGPGraphicsPath* FillPath, const TGPGraphicsPath* StrokePath, INT BaseCap,
                                   REAL BaseInset) {
  lastResult = Api().GdipCreateCustomLineCap(NativeOf(FillPath), NativeOf(StrokePath), BaseCap, BaseInset, &nativeCap);
}
TGPCustomLineCap::~TGPCustomLineCap() {
  if (nativeCap) Api().GdipDeleteCustomLineCap(nativeCap);
}
std::unique_ptr<TGPCustomLineCap> TGPCustomLineCap::Clone() {
  GpCustomLineCap* C = nullptr;
  if (Keep(Api().GdipCloneCustomLineCap(nativeCap, &C)) != Ok) return nullptr;
  const TGdiPlusApiScope scope(Api());
  return std::unique_ptr<TGPCustomLineCap>(new TGPCustomLineCap(C, Ok));
}
Status TGPCustomLineCap::SetStrokeCaps(INT StartCap, INT EndCap) {
  return Keep(Api().GdipSetCustomLineCapStrokeCaps(nativeCap, StartCap, EndCap));
}
Status TGPCustomLineCap::GetStrokeCaps(INT& StartCap, INT& EndCap) {
  StartCap = 0;
  EndCap = 0;
  return Keep(Api().GdipGetCustomLineCapStrokeCaps(nativeCap, &StartCap, &EndCap));
}
Status TGPCustomLineCap::SetStrokeJoin(LineJoin Join) {
  return Keep(Api().GdipSetCustomLineCapStrokeJoin(nativeCap, Join));
}
LineJoin TGPCustomLineCap::GetStrokeJoin() {
  LineJoin J = LineJoinMiter;
  Keep(Api().GdipGetCustomLineCapStrokeJoin(nativeCap, &J));
  return J;
}
Status TGPCustomLineCap::SetBaseCap(INT Cap) { return Keep(Api().GdipSetCustomLineCapBaseCap(nativeCap, Cap)); }
INT TGPCustomLineCap::GetBaseCap() {
  INT C = 0;
  Keep(Api().GdipGetCustomLineCapBaseCap(nativeCap, &C));
  return C;
}
Status TGPCustomLineCap::SetBaseInset(REAL Inset) {
  return Keep(Api().GdipSetCustomLineCapBaseInset(nativeCap, Inset));
}
REAL TGPCustomLineCap::GetBaseInset() {
  REAL V = 0;
  Keep(Api().GdipGetCustomLineCapBaseInset(nativeCap, &V));
  return V;
}
Status TGPCustomLineCap::SetWidthScale(REAL Scale) {
  return Keep(Api().GdipSetCustomLineCapWidthScale(nativeCap, Scale));
}
REAL TGPCustomLineCap::GetWidthScale() {
  REAL V = 0;
  Keep(Api().GdipGetCustomLineCapWidthScale(nativeCap, &V));
  return V;
}
Status TGPCustomLineCap::GetLastStatus() {
  const Status S = lastResult;
  lastResult = Ok;
  return S;
}

TGPCachedBitmap::TGPCachedBitmap(const TGPBitmap& Bitmap, const TGPGraphics& Graphics) {
  lastResult = Api().GdipCreateCachedBitmap(Bitmap.Native(), Graphics.Native(), &nativeCachedBitmap);
}
TGPCachedBitmap::~TGPCachedBitmap() {
  if (nativeCachedBitmap) Api().GdipDeleteCachedBitmap(nativeCachedBitmap);
}
Status TGPCachedBitmap::GetLastStatus() {
  const Status S = lastResult;
  lastResult = Ok;
  return S;
}
