#pragma once
// The chart's GDI+ object layer: one thin wrapper per GDI+ object over the
// program's binding of the flat API (vcl/GdiPlusApi.h), the packing of
// colours into ARGB values, and the fills, shadow and arrow every GDI+ part
// of the chart draws with.
//
// Wrappers never throw: each operation returns the GDI+ status of its call,
// and a failing status is also kept as the wrapper's last status (a
// constructor keeps its call's status, Ok included). A wrapper whose native
// object could not be made holds no handle; using it gives GDI+'s own status
// for a missing object. Wrappers are neither copied nor moved; whoever makes
// one frees it, which frees the native object. Heap instances come from
// GDI+'s allocator.
#include <functional>
#include <memory>
#include <optional>

#include "chart/model/ChartGraphics.h"
#include "chart/model/ChartTypes.h"
#include "vcl/GdiPlusApi.h"
#include "vcl/Graphics.h"

// Fill kind of every GDI+ chart element.
enum TChartGradientType : INT {
  gtSolid,
  gtRadial,
  gtVertical,
  gtHorizontal,
  gtForwardDiagonal,
  gtBackwardDiagonal,
  gtAngle,
  gtHatch,
  gtPath,
  gtTexture,
  gtNone
};
enum TGPImageFormat : Byte {
  ifUndefined,
  ifMemoryBMP,
  ifBMP,
  ifEMF,
  ifWMF,
  ifJPEG,
  ifPNG,
  ifGIF,
  ifTIFF,
  ifEXIF,
  ifIcon
};

using TGPPointF = GpPointF;
using TGPPoint = GpPoint;
using TGPRectF = GpRectF;
using TGPRect = GpRect;
using TGPSizeF = GpSizeF;
using TMatrixArray = REAL[6];

// ---------------------------------------------------------------- colours
constexpr ARGB MakeARGB(Byte A, Byte R, Byte G, Byte B) {
  return (ARGB(A) << 24) | (ARGB(R) << 16) | (ARGB(G) << 8) | ARGB(B);
}
// The colour (system colours resolved) with the given alpha; clNone has no
// meaning here (it gives white), callers test it themselves.
ARGB MakeGDIPColor(Byte Alpha, TColor Color);
inline ARGB MakeGDIPOpaqueColor(TColor Color) { return MakeGDIPColor(255, Color); }
// An opacity setting as an alpha: its low byte (settings keep what they were
// given, the drawing takes the low byte).
constexpr Byte OpacityAlpha(Integer Opacity) { return static_cast<Byte>(Opacity & 0xFF); }

constexpr TGPPoint MakePoint(INT X, INT Y) { return {X, Y}; }
constexpr TGPPointF MakePointF(REAL X, REAL Y) { return {X, Y}; }
constexpr TGPRectF MakeRectF(REAL X, REAL Y, REAL Width, REAL Height) { return {X, Y, Width, Height}; }

// ---------------------------------------------------------------- the family
class TGdiplusBase {
public:
  TGdiplusBase(const TGdiplusBase&) = delete;
  TGdiplusBase& operator=(const TGdiplusBase&) = delete;
  // Instance memory from GDI+'s allocator; EOutOfMemory when there is none.
  static void* operator new(std::size_t Size);
  static void operator delete(void* Memory) noexcept;

protected:
  TGdiplusBase() = default;
  ~TGdiplusBase() = default;
  // The binding this wrapper calls through: the one in force on its thread
  // when it was made (CurrentGdiPlusApi), so that the chart view's objects
  // and the drawing layer's each stay with the binding that made them.
  const TGdiPlusApi& Api() const { return *FApi; }
  const TGdiPlusApi* FApi = &CurrentGdiPlusApi();
  // A failing status is kept; every status is answered.
  Status Keep(Status S) {
    if (S != Ok) lastResult = S;
    return S;
  }
  Status lastResult = Ok;

public:
  // The kept status, without resetting it.
  Status LastResult() const { return lastResult; }
  // The binding the wrapper calls through.
  const TGdiPlusApi& Binding() const { return *FApi; }
  // Keeps S as a failing status would be kept by an operation; answers it.
  Status KeepStatus(Status S) { return Keep(S); }
};

class TGPImage;
class TGPBitmap;
class TGPPen;
class TGPBrush;
class TGPGraphicsPath;
class TGPMatrix;
class TGPStringFormat;
class TGPRegion;
class TGPFont;
class TGPFontFamily;
class TGPImageAttributes;
class TGPCustomLineCap;
class TGPCachedBitmap;
class TGPGraphics;

class TGPRegion : public TGdiplusBase {
public:
  explicit TGPRegion(const TGPRectF& Rect);
  explicit TGPRegion(const TGPGraphicsPath& Path);
  ~TGPRegion();
  // An infinite region.
  TGPRegion();
  explicit TGPRegion(const TGPRect& Rect);
  TGPRegion(const BYTE* RegionData, INT Size);
  explicit TGPRegion(HRGN Region);
  // Adopts Native (status Ok).
  explicit TGPRegion(GpRegion* Native) : nativeRegion(Native) {}
  // nullptr when GDI+ cannot make the region.
  static std::unique_ptr<TGPRegion> FromHRGN(HRGN Region);
  // A copy (status Ok); the source keeps the copy's status.
  std::unique_ptr<TGPRegion> Clone();
  Status MakeInfinite();
  Status MakeEmpty();
  // 0 when GDI+ fails.
  UINT GetDataSize();
  Status GetData(BYTE* Buffer, UINT BufferSize, UINT* SizeFilled = nullptr);
  Status Intersect(const TGPRect& Rect);
  Status Intersect(const TGPRectF& Rect);
  Status Intersect(const TGPGraphicsPath& Path);
  Status Intersect(const TGPRegion& Region);
  Status Union(const TGPRect& Rect);
  Status Union(const TGPRectF& Rect);
  Status Union(const TGPGraphicsPath& Path);
  Status Xor_(const TGPRect& Rect);
  Status Xor_(const TGPRectF& Rect);
  Status Xor_(const TGPGraphicsPath& Path);
  Status Xor_(const TGPRegion& Region);
  Status Exclude(const TGPRect& Rect);
  Status Exclude(const TGPRectF& Rect);
  Status Exclude(const TGPRegion& Region);
  Status Complement(const TGPRect& Rect);
  Status Complement(const TGPRectF& Rect);
  Status Complement(const TGPGraphicsPath& Path);
  Status Complement(const TGPRegion& Region);
  Status Translate(REAL Dx, REAL Dy);
  Status Translate(INT Dx, INT Dy);
  Status Transform(const TGPMatrix& Matrix);
  Status GetBounds(TGPRect& Rect, const TGPGraphics& Graphics);
  Status GetBounds(TGPRectF& Rect, const TGPGraphics& Graphics);
  // The system region (the caller frees it); nullptr when GDI+ fails.
  HRGN GetHRGN(const TGPGraphics& Graphics);
  bool IsEmpty(const TGPGraphics& Graphics);
  bool IsInfinite(const TGPGraphics& Graphics);
  bool IsEqual(const TGPRegion& Region, const TGPGraphics& Graphics);
  // False when GDI+ fails.
  bool IsVisible(REAL X, REAL Y, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(INT X, INT Y, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(const TGPPointF& Point, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(const TGPPoint& Point, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(REAL X, REAL Y, REAL Width, REAL Height, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(INT X, INT Y, INT Width, INT Height, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(const TGPRectF& Rect, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(const TGPRect& Rect, const TGPGraphics* Graphics = nullptr);
  // 0 when GDI+ fails.
  UINT GetRegionScansCount(const TGPMatrix& Matrix);
  Status GetRegionScans(const TGPMatrix& Matrix, TGPRectF* Rects, INT& Count);
  Status GetRegionScans(const TGPMatrix& Matrix, TGPRect* Rects, INT& Count);
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  Status Exclude(const TGPGraphicsPath& Path);
  Status Union(const TGPRegion& Region);
  GpRegion* Native() const { return nativeRegion; }

private:
  GpRegion* nativeRegion = nullptr;
};

class TGPMatrix : public TGdiplusBase {
public:
  TGPMatrix();
  TGPMatrix(REAL M11, REAL M12, REAL M21, REAL M22, REAL Dx, REAL Dy);
  TGPMatrix(const TGPRectF& Rect, const TGPPointF* DstPlg);
  TGPMatrix(const TGPRect& Rect, const TGPPoint* DstPlg);
  ~TGPMatrix();
  // A copy; nullptr when the copy could not be made.
  std::unique_ptr<TGPMatrix> Clone();
  Status GetElements(TMatrixArray& M) const;
  Status SetElements(REAL M11, REAL M12, REAL M21, REAL M22, REAL Dx, REAL Dy);
  Status Reset() { return SetElements(1, 0, 0, 1, 0, 0); }
  REAL OffsetX() const;
  REAL OffsetY() const;
  Status Multiply(const TGPMatrix& Matrix, MatrixOrder Order = MatrixOrderPrepend);
  Status Translate(REAL OffsetX, REAL OffsetY, MatrixOrder Order = MatrixOrderPrepend);
  Status Scale(REAL ScaleX, REAL ScaleY, MatrixOrder Order = MatrixOrderPrepend);
  Status Rotate(REAL Angle, MatrixOrder Order = MatrixOrderPrepend);
  Status RotateAt(REAL Angle, const TGPPointF& Center, MatrixOrder Order = MatrixOrderPrepend);
  Status Shear(REAL ShearX, REAL ShearY, MatrixOrder Order = MatrixOrderPrepend);
  Status Invert();
  Status TransformPoints(TGPPointF* Points, INT Count = 1);
  Status TransformPoints(TGPPoint* Points, INT Count = 1);
  Status TransformVectors(TGPPointF* Points, INT Count = 1);
  Status TransformVectors(TGPPoint* Points, INT Count = 1);
  bool IsInvertible() const;
  bool IsIdentity() const;
  // False when GDI+ fails.
  bool IsEqual(const TGPMatrix& Matrix) const;
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  GpMatrix* Native() const { return nativeMatrix; }

  // Adopts Native (status Ok).
  explicit TGPMatrix(GpMatrix* Adopted) : nativeMatrix(Adopted) {}

private:
  GpMatrix* nativeMatrix = nullptr;
};

class TGPStringFormat : public TGdiplusBase {
public:
  explicit TGPStringFormat(INT FormatFlags = 0, LANGID Language = LANG_NEUTRAL);
  // A copy of Format (nullptr: GDI+ answers for a missing format).
  explicit TGPStringFormat(const TGPStringFormat* Format);
  ~TGPStringFormat();
  Status SetAlignment(StringAlignment Align);
  StringAlignment GetAlignment();
  Status SetLineAlignment(StringAlignment Align);
  StringAlignment GetLineAlignment();
  Status SetFormatFlags(INT Flags);
  INT GetFormatFlags();
  Status SetTrimming(StringTrimming Trimming);
  StringTrimming GetTrimming();
  Status SetHotkeyPrefix(HotkeyPrefix Prefix);
  HotkeyPrefix GetHotkeyPrefix();
  // nullptr when the copy cannot be made; its status replaces this one's.
  std::unique_ptr<TGPStringFormat> Clone();
  Status SetTabStops(REAL FirstTabOffset, INT Count, const REAL* TabStops);
  INT GetTabStopCount();
  Status GetTabStops(INT Count, REAL& FirstTabOffset, REAL* TabStops);
  Status SetDigitSubstitution(LANGID Language, StringDigitSubstitute Substitute);
  LANGID GetDigitSubstitutionLanguage();
  StringDigitSubstitute GetDigitSubstitutionMethod();
  Status SetMeasurableCharacterRanges(INT Count, const CharacterRange* Ranges);
  INT GetMeasurableCharacterRangeCount();
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  Status LastError() const { return lastResult; }
  GpStringFormat* Native() const { return nativeFormat; }
  // Shared formats of the binding in force, made on first request and kept
  // until that binding frees them (FreeGdiplusGenericObjects): never free them.
  static TGPStringFormat* GenericDefault();
  static TGPStringFormat* GenericTypographic();
  TGPStringFormat(GpStringFormat* Native, Status S) : nativeFormat(Native) { lastResult = S; }

private:
  friend void FreeGdiplusGenericObjects(const TGdiPlusApi& Api);
  GpStringFormat* nativeFormat = nullptr;
  bool FShared = false;
};

class TGPFontCollection : public TGdiplusBase {
public:
  // 0 when GDI+ fails.
  INT GetFamilyCount();
  // Fills the handles of the first NumFound of Families (existing empty
  // wrappers, at least NumSought of them) with copies of the collection's
  // families. InvalidParameter for NumSought < 1 or no array.
  Status GetFamilies(INT NumSought, TGPFontFamily* Families, INT& NumFound);
  // The status of the last call, Ok included; reading does not reset it.
  Status GetLastStatus() const { return lastResult; }
  TGPFontCollection() = default;
  GpFontCollection* Native() const { return nativeFontCollection; }

private:
  GpFontCollection* nativeFontCollection = nullptr;
};

class TGPFontFamily : public TGdiplusBase {
public:
  explicit TGPFontFamily(const String& Name, const TGPFontCollection* FontCollection = nullptr);
  // Adopts Native with the status of the call that made it.
  TGPFontFamily(GpFontFamily* Native, Status S) : nativeFamily(Native) { lastResult = S; }
  ~TGPFontFamily();
  // Shared families, made once and kept for the program's life: never free them.
  static TGPFontFamily* GenericSansSerif();
  static TGPFontFamily* GenericSerif();
  static TGPFontFamily* GenericMonospace();
  // An empty family (no handle, status Ok), to receive one.
  TGPFontFamily() = default;
  // The name in Language (at most 32 code units); "" when GDI+ fails.
  Status GetFamilyName(String& Name, LANGID Language);
  std::unique_ptr<TGPFontFamily> Clone();
  // False when GDI+ fails.
  bool IsStyleAvailable(INT Style);
  // Design units; 0 when GDI+ fails.
  UINT16 GetEmHeight(INT Style);
  UINT16 GetCellAscent(INT Style);
  UINT16 GetCellDescent(INT Style);
  UINT16 GetLineSpacing(INT Style);
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  // The family's name ("" when it has none).
  String GetFamilyName() const;
  bool IsAvailable() const { return nativeFamily != nullptr; }
  GpFontFamily* Native() const { return nativeFamily; }

private:
  friend void FreeGdiplusGenericObjects(const TGdiPlusApi& Api);
  friend class TGPFont;
  friend class TGPFontCollection;
  GpFontFamily* nativeFamily = nullptr;
  bool FShared = false;
};

// Frees the generic families and formats made for Api (sans-serif, serif,
// monospace family, typographic, default format, in that order), before that
// binding shuts GDI+ down; later requests make them anew.
void FreeGdiplusGenericObjects(const TGdiPlusApi& Api);

// The family of Name, else "Arial", else the generic sans-serif family, else
// the first installed family; nullptr only when GDI+ has no family at all.
// Each later choice is made only when the one before cannot be created.
std::unique_ptr<TGPFontFamily> CreateFontFamilyFallback(const String& Name);

// Makes one font of a family in a style (GdipCreateFont with a size and a
// unit); returns its status and the font through the last argument.
using TGPFontMaker = std::function<Status(GpFontFamily* Family, INT Style, GpFont** Font)>;
// The one way fonts are made: the families of CreateFontFamilyFallback in
// turn (Name looked up in Collection when one is given), each first with
// Style and then, when Style asks for more, regular (a family may lack a
// bold or italic face). The first font made is returned, owned by the
// caller; Last is the status of the last attempt. nullptr when every
// attempt failed.
GpFont* CreateFallbackFont(const String& Name, INT Style, const TGPFontMaker& Make, Status& Last,
                           const TGPFontCollection* Collection = nullptr);

// GDI+ font style bits.
inline constexpr INT FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4, FontStyleStrikeout = 8;
INT GDIPFontStyle(TFontStyles Style, bool WithStrikeOut = true);

class TGPFont : public TGdiplusBase {
public:
  TGPFont(const TGPFontFamily* Family, REAL EmSize, INT Style = 0, Unit_ U = UnitPoint);
  // A font of the named family made through CreateFallbackFont. The kept
  // status is the last creating call's.
  TGPFont(const String& FamilyName, REAL EmSize, INT Style = 0, Unit_ U = UnitPoint,
          const TGPFontCollection* FontCollection = nullptr);
  TGPFont(GpFont* Native, Status S) : nativeFont(Native) { lastResult = S; }
  ~TGPFont();
  explicit TGPFont(HDC DC);
  TGPFont(HDC DC, const LOGFONTA* LogFont);
  TGPFont(HDC DC, const LOGFONTW* LogFont);
  // From a system font handle (its 8-bit logical font), or the DC's font
  // when there is no handle or it cannot be read.
  TGPFont(HDC DC, HFONT Font);
  Status GetLogFontA(const TGPGraphics* Graphics, LOGFONTA& LogFont);
  Status GetLogFontW(const TGPGraphics* Graphics, LOGFONTW& LogFont);
  std::unique_ptr<TGPFont> Clone();
  bool IsAvailable() const { return nativeFont != nullptr; }
  Unit_ GetUnit();
  REAL GetHeight(const TGPGraphics* Graphics);
  REAL GetHeight(REAL Dpi);
  // The font's family into Family's handle; InvalidParameter without one.
  Status GetFamily(TGPFontFamily* Family);
  // This font's status: its creation's, or the last failure since; reading
  // does not reset it.
  Status GetLastStatus() const { return lastResult; }
  // The family the font was made with ("" without a font).
  String FamilyName() const;
  REAL GetSize() const;
  INT GetStyle() const;
  GpFont* Native() const { return nativeFont; }

private:
  GpFont* nativeFont = nullptr;
};

class TGPBrush : public TGdiplusBase {
public:
  // A shell without a native brush (NotImplemented).
  TGPBrush() { lastResult = NotImplemented; }
  TGPBrush(GpBrush* Native, Status S) : nativeBrush(Native) { lastResult = S; }
  // A plain brush wrapper around a copy of the native brush, carrying this
  // brush's status after the call.
  virtual std::unique_ptr<TGPBrush> Clone();
  BrushType GetType();
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  virtual ~TGPBrush();
  GpBrush* Native() const { return nativeBrush; }

protected:
  struct TEmpty {};
  explicit TGPBrush(TEmpty) {}
  GpBrush* nativeBrush = nullptr;
};

class TGPSolidBrush : public TGPBrush {
public:
  TGPSolidBrush() : TGPBrush(TEmpty{}) {}
  explicit TGPSolidBrush(ARGB Color);
  TGPSolidBrush(GpBrush* Native, Status S) : TGPBrush(Native, S) {}
  Status SetColor(ARGB Color);
  // This call's status; the colour is written only when it is Ok.
  Status GetColor(ARGB& Color);
};

class TGPHatchBrush : public TGPBrush {
public:
  TGPHatchBrush() : TGPBrush(TEmpty{}) {}
  TGPHatchBrush(HatchStyle Style, ARGB ForeColor, ARGB BackColor = MakeARGB(255, 0, 0, 0));
  TGPHatchBrush(GpBrush* Native, Status S) : TGPBrush(Native, S) {}
  HatchStyle GetHatchStyle();
  Status GetForegroundColor(ARGB& Color);
  Status GetBackgroundColor(ARGB& Color);
};

class TGPTextureBrush : public TGPBrush {
public:
  TGPTextureBrush() : TGPBrush(TEmpty{}) {}
  TGPTextureBrush(const TGPImage& Image, WrapMode Wrap = WrapModeTile);
  TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, const TGPRectF& DstRect);
  TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, REAL X, REAL Y, REAL Width, REAL Height);
  TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, const TGPRect& DstRect);
  TGPTextureBrush(const TGPImage& Image, WrapMode Wrap, INT X, INT Y, INT Width, INT Height);
  TGPTextureBrush(const TGPImage& Image, const TGPRectF& DstRect, const TGPImageAttributes* Attributes);
  TGPTextureBrush(const TGPImage& Image, const TGPRect& DstRect, const TGPImageAttributes* Attributes);
  TGPTextureBrush(GpBrush* Native, Status S) : TGPBrush(Native, S) {}
  Status SetTransform(const TGPMatrix& Matrix);
  Status GetTransform(TGPMatrix& Matrix);
  Status MultiplyTransform(const TGPMatrix& Matrix, MatrixOrder Order = MatrixOrderPrepend);
  Status ResetTransform();
  Status TranslateTransform(REAL Dx, REAL Dy, MatrixOrder Order = MatrixOrderPrepend);
  Status ScaleTransform(REAL Sx, REAL Sy, MatrixOrder Order = MatrixOrderPrepend);
  Status RotateTransform(REAL Angle, MatrixOrder Order = MatrixOrderPrepend);
  Status SetWrapMode(WrapMode Wrap);
  WrapMode GetWrapMode();
  // A new image wrapper adopting the brush's image (the caller frees it).
  std::unique_ptr<TGPImage> GetImage();
};

class TGPLinearGradientBrush : public TGPBrush {
public:
  TGPLinearGradientBrush(const TGPPointF& Point1, const TGPPointF& Point2, ARGB Color1, ARGB Color2);
  TGPLinearGradientBrush(const TGPPoint& Point1, const TGPPoint& Point2, ARGB Color1, ARGB Color2);
  TGPLinearGradientBrush(const TGPRectF& Rect, ARGB Color1, ARGB Color2, LinearGradientMode Mode);
  TGPLinearGradientBrush(const TGPRect& Rect, ARGB Color1, ARGB Color2, LinearGradientMode Mode);
  TGPLinearGradientBrush(const TGPRectF& Rect, ARGB Color1, ARGB Color2, REAL Angle, bool IsAngleScalable = false);
  TGPLinearGradientBrush(const TGPRect& Rect, ARGB Color1, ARGB Color2, REAL Angle, bool IsAngleScalable = false);
  TGPLinearGradientBrush(GpBrush* Native, Status S) : TGPBrush(Native, S) {}
  Status SetGammaCorrection(bool UseGammaCorrection);
  Status SetLinearColors(ARGB Color1, ARGB Color2);
  // This call's status; the colours are written only when it is Ok.
  Status GetLinearColors(ARGB& Color1, ARGB& Color2);
  Status GetRectangle(TGPRectF& Rect);
  Status GetRectangle(TGPRect& Rect);
  bool GetGammaCorrection();
  // 0 when GDI+ fails.
  INT GetBlendCount();
  Status SetBlend(const REAL* BlendFactors, const REAL* BlendPositions, INT Count);
  // InvalidParameter without a call unless Count > 0 and both arrays are given.
  Status GetBlend(REAL* BlendFactors, REAL* BlendPositions, INT Count);
  INT GetInterpolationColorCount();
  // InvalidParameter without a call for a count of 0 or less.
  Status GetInterpolationColors(ARGB* PresetColors, REAL* BlendPositions, INT Count);
  Status SetBlendBellShape(REAL Focus, REAL Scale = 1);
  Status SetBlendTriangularShape(REAL Focus, REAL Scale = 1);
  Status SetTransform(const TGPMatrix& Matrix);
  Status GetTransform(TGPMatrix& Matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix& Matrix, MatrixOrder Order = MatrixOrderPrepend);
  Status TranslateTransform(REAL Dx, REAL Dy, MatrixOrder Order = MatrixOrderPrepend);
  Status ScaleTransform(REAL Sx, REAL Sy, MatrixOrder Order = MatrixOrderPrepend);
  Status RotateTransform(REAL Angle, MatrixOrder Order = MatrixOrderPrepend);
  Status SetWrapMode(WrapMode Wrap);
  WrapMode GetWrapMode();
  // InvalidParameter without a call for a count of 0 or less.
  Status SetInterpolationColors(const ARGB* PresetColors, const REAL* BlendPositions, INT Count);
};

class TGPPathGradientBrush : public TGPBrush {
public:
  explicit TGPPathGradientBrush(const TGPGraphicsPath& Path);
  Status SetWrapMode(WrapMode Wrap);
  Status SetGammaCorrection(bool UseGammaCorrection);
  // InvalidParameter without a call for a count of 0 or less or no colours.
  Status SetInterpolationColors(const ARGB* PresetColors, const REAL* BlendPositions, INT Count);
  Status GetCenterColor(ARGB& Color);
  Status SetCenterColor(ARGB Color);
  INT GetPointCount();
  Status GetCenterPoint(TGPPointF& Point);
  Status GetCenterPoint(TGPPoint& Point);
  Status SetCenterPoint(const TGPPointF& Point);
  Status SetCenterPoint(const TGPPoint& Point);
  Status GetSurroundColors(ARGB* Colors, INT& Count);
  Status SetSurroundColors(const ARGB* Colors, INT& Count);
};

class TGPPen : public TGdiplusBase {
public:
  TGPPen(ARGB Color, REAL Width = 1);
  TGPPen(const TGPBrush& Brush, REAL Width = 1);
  // Adopts Native with the status of the call that made it.
  TGPPen(GpPen* Native, Status S) : nativePen(Native) { lastResult = S; }
  ~TGPPen();
  Status SetBrush(const TGPBrush& Brush);
  // A new brush wrapper of the pen's fill kind (nullptr for an unknown kind).
  std::unique_ptr<TGPBrush> GetBrush();
  Status SetDashStyle(DashStyle Style);
  DashStyle GetDashStyle();
  Status SetEndCap(INT EndCap);
  INT GetPenType();
  Status SetWidth(REAL Width);
  REAL GetWidth();
  // A copy carrying the status of the copy, which this pen keeps too.
  std::unique_ptr<TGPPen> Clone();
  Status SetLineCap(INT StartCap, INT EndCap, INT DashCap);
  Status SetStartCap(INT StartCap);
  INT GetStartCap();
  INT GetEndCap();
  Status SetDashCap(INT DashCap);
  INT GetDashCap();
  Status SetLineJoin(LineJoin Join);
  LineJoin GetLineJoin();
  Status SetMiterLimit(REAL MiterLimit);
  REAL GetMiterLimit();
  Status SetAlignment(PenAlignment Alignment);
  PenAlignment GetAlignment();
  Status SetTransform(const TGPMatrix& Matrix);
  Status GetTransform(TGPMatrix& Matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix& Matrix, MatrixOrder Order = MatrixOrderPrepend);
  Status TranslateTransform(REAL Dx, REAL Dy, MatrixOrder Order = MatrixOrderPrepend);
  Status ScaleTransform(REAL Sx, REAL Sy, MatrixOrder Order = MatrixOrderPrepend);
  Status RotateTransform(REAL Angle, MatrixOrder Order = MatrixOrderPrepend);
  REAL GetDashOffset();
  Status SetDashOffset(REAL Offset);
  Status SetDashPattern(const REAL* DashArray, INT Count);
  INT GetDashPatternCount();
  Status GetDashPattern(REAL* DashArray, INT Count);
  Status SetCompoundArray(const REAL* CompoundArray, INT Count);
  INT GetCompoundArrayCount();
  // InvalidParameter without a call for a count of 0 or less.
  Status GetCompoundArray(REAL* CompoundArray, INT Count);
  Status SetColor(ARGB Color);
  // WrongState (not kept) for a pen that is not a solid colour; else this
  // call's status, the colour written only when it is Ok.
  Status GetColor(ARGB& Color);
  Status SetCustomStartCap(const TGPCustomLineCap* Cap);
  Status SetCustomEndCap(const TGPCustomLineCap* Cap);
  // The pen's cap copied into Cap's handle (an empty wrapper); InvalidParameter without one.
  Status GetCustomStartCap(TGPCustomLineCap* Cap);
  Status GetCustomEndCap(TGPCustomLineCap* Cap);
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  GpPen* Native() const { return nativePen; }

private:
  GpPen* nativePen = nullptr;
};

class TGPGraphicsPath : public TGdiplusBase {
public:
  explicit TGPGraphicsPath(FillMode Mode = FillModeAlternate);
  explicit TGPGraphicsPath(GpPath* Adopted) : nativePath(Adopted) {}
  ~TGPGraphicsPath();
  Status Reset();
  Status CloseFigure();
  Status StartFigure();
  INT GetPointCount();
  // GDI+ fills Data's arrays, which must hold Data.Count points.
  Status GetPathData(GpPathData& Data);
  // Bounds transformed by Matrix and widened by Pen when given.
  Status GetBounds(TGPRectF& Bounds, const TGPMatrix* Matrix = nullptr, const TGPPen* Pen = nullptr);
  Status AddLine(const TGPPointF& Pt1, const TGPPointF& Pt2) { return AddLine(Pt1.X, Pt1.Y, Pt2.X, Pt2.Y); }
  Status AddLine(REAL X1, REAL Y1, REAL X2, REAL Y2);
  Status AddLines(const TGPPoint* Points, INT Count);
  Status AddRectangle(const TGPRectF& Rect);
  Status AddRectangle(const TGPRect& Rect);
  Status AddArc(const TGPRectF& Rect, REAL StartAngle, REAL SweepAngle);
  Status AddArc(REAL X, REAL Y, REAL Width, REAL Height, REAL StartAngle, REAL SweepAngle);
  Status AddEllipse(const TGPRectF& Rect);
  Status AddEllipse(REAL X, REAL Y, REAL Width, REAL Height);
  Status AddPie(const TGPRectF& Rect, REAL StartAngle, REAL SweepAngle);
  Status AddPie(REAL X, REAL Y, REAL Width, REAL Height, REAL StartAngle, REAL SweepAngle);
  Status AddPolygon(const TGPPointF* Points, INT Count);
  Status AddPolygon(const TGPPoint* Points, INT Count);
  Status AddCurve(const TGPPointF* Points, INT Count);
  Status AddCurve(const TGPPoint* Points, INT Count);
  Status AddCurve(const TGPPoint* Points, INT Count, REAL Tension);
  Status AddBezier(const TGPPoint& Pt1, const TGPPoint& Pt2, const TGPPoint& Pt3, const TGPPoint& Pt4);
  Status AddBezier(const TGPPointF& Pt1, const TGPPointF& Pt2, const TGPPointF& Pt3, const TGPPointF& Pt4);
  Status AddBezier(REAL X1, REAL Y1, REAL X2, REAL Y2, REAL X3, REAL Y3, REAL X4, REAL Y4);
  TGPGraphicsPath(const TGPPointF* Points, const BYTE* Types, INT Count, FillMode Mode = FillModeAlternate);
  TGPGraphicsPath(const TGPPoint* Points, const BYTE* Types, INT Count, FillMode Mode = FillModeAlternate);
  // A copy of Path.
  explicit TGPGraphicsPath(const TGPGraphicsPath& Path);
  // A copy (status Ok); the source keeps the copy's status.
  std::unique_ptr<TGPGraphicsPath> Clone();
  // FillModeAlternate when GDI+ fails.
  FillMode GetFillMode();
  Status SetFillMode(FillMode Mode);
  Status CloseAllFigures();
  Status SetMarker();
  Status ClearMarkers();
  Status Reverse();
  Status GetLastPoint(TGPPointF& LastPoint);
  Status AddLines(const TGPPointF* Points, INT Count);
  Status AddLine(INT X1, INT Y1, INT X2, INT Y2);
  Status AddLine(const TGPPoint& Pt1, const TGPPoint& Pt2) { return AddLine(Pt1.X, Pt1.Y, Pt2.X, Pt2.Y); }
  Status AddArc(INT X, INT Y, INT Width, INT Height, REAL StartAngle, REAL SweepAngle);
  Status AddArc(const TGPRect& Rect, REAL StartAngle, REAL SweepAngle);
  Status AddBezier(INT X1, INT Y1, INT X2, INT Y2, INT X3, INT Y3, INT X4, INT Y4);
  Status AddBeziers(const TGPPointF* Points, INT Count);
  Status AddBeziers(const TGPPoint* Points, INT Count);
  Status AddCurve(const TGPPointF* Points, INT Count, REAL Tension);
  Status AddCurve(const TGPPointF* Points, INT Count, INT Offset, INT NumberOfSegments, REAL Tension);
  Status AddCurve(const TGPPoint* Points, INT Count, INT Offset, INT NumberOfSegments, REAL Tension);
  Status AddClosedCurve(const TGPPointF* Points, INT Count);
  Status AddClosedCurve(const TGPPointF* Points, INT Count, REAL Tension);
  Status AddClosedCurve(const TGPPoint* Points, INT Count);
  Status AddClosedCurve(const TGPPoint* Points, INT Count, REAL Tension);
  Status AddRectangles(const TGPRectF* Rects, INT Count);
  Status AddRectangles(const TGPRect* Rects, INT Count);
  Status AddEllipse(INT X, INT Y, INT Width, INT Height);
  Status AddEllipse(const TGPRect& Rect) { return AddEllipse(Rect.X, Rect.Y, Rect.Width, Rect.Height); }
  Status AddPie(INT X, INT Y, INT Width, INT Height, REAL StartAngle, REAL SweepAngle);
  Status AddPie(const TGPRect& Rect, REAL StartAngle, REAL SweepAngle);
  Status AddPath(const TGPGraphicsPath* AddingPath, bool Connect);
  Status AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                   const TGPPointF& Origin, const TGPStringFormat* Format);
  Status AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                   const TGPPoint& Origin, const TGPStringFormat* Format);
  Status AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                   const TGPRect& LayoutRect, const TGPStringFormat* Format);
  Status Transform(const TGPMatrix* Matrix);
  Status GetBounds(TGPRect& Bounds, const TGPMatrix* Matrix = nullptr, const TGPPen* Pen = nullptr);
  Status Flatten(const TGPMatrix* Matrix = nullptr, REAL Flatness = 0.25f);
  Status Widen(const TGPPen& Pen, const TGPMatrix* Matrix = nullptr, REAL Flatness = 0.25f);
  Status Outline(const TGPMatrix* Matrix = nullptr, REAL Flatness = 0.25f);
  Status Warp(const TGPPointF* DestPoints, INT Count, const TGPRectF& SrcRect, const TGPMatrix* Matrix = nullptr,
              WarpMode Mode = WarpModePerspective, REAL Flatness = 0.25f);
  Status GetPathTypes(BYTE* Types, INT Count);
  Status GetPathPoints(TGPPointF* Points, INT Count);
  Status GetPathPoints(TGPPoint* Points, INT Count);
  // False when GDI+ fails.
  bool IsVisible(REAL X, REAL Y, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(INT X, INT Y, const TGPGraphics* Graphics = nullptr);
  bool IsVisible(const TGPPointF& Point, const TGPGraphics* Graphics = nullptr) {
    return IsVisible(Point.X, Point.Y, Graphics);
  }
  bool IsVisible(const TGPPoint& Point, const TGPGraphics* Graphics = nullptr) {
    return IsVisible(Point.X, Point.Y, Graphics);
  }
  bool IsOutlineVisible(REAL X, REAL Y, const TGPPen* Pen, const TGPGraphics* Graphics = nullptr);
  bool IsOutlineVisible(INT X, INT Y, const TGPPen* Pen, const TGPGraphics* Graphics = nullptr);
  bool IsOutlineVisible(const TGPPointF& Point, const TGPPen* Pen, const TGPGraphics* Graphics = nullptr) {
    return IsOutlineVisible(Point.X, Point.Y, Pen, Graphics);
  }
  bool IsOutlineVisible(const TGPPoint& Point, const TGPPen* Pen, const TGPGraphics* Graphics = nullptr) {
    return IsOutlineVisible(Point.X, Point.Y, Pen, Graphics);
  }
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  Status AddString(const String& Text, INT Length, const TGPFontFamily* Family, INT Style, REAL EmSize,
                   const TGPRectF& LayoutRect, const TGPStringFormat* Format);
  GpPath* Native() const { return nativePath; }

private:
  GpPath* nativePath = nullptr;
};

class TGPImage : public TGdiplusBase {
public:
  TGPImage(const String& FileName, bool UseEmbeddedColorManagement = false);
  TGPImage(IStream* Stream, bool UseEmbeddedColorManagement = false);
  TGPImage(GpImage* Native, Status S) : nativeImage(Native) { lastResult = S; }
  virtual ~TGPImage();
  UINT GetWidth();
  UINT GetHeight();
  PixelFormat GetPixelFormat();
  INT GetPixelDepth() { return (GetPixelFormat() >> 8) & 0xFF; }
  bool HasAlphaChannel() { return (GetPixelFormat() & 0x40000) != 0; }
  bool HasPalette() { return (GetPixelFormat() & 0x10000) != 0; }
  TGPImageFormat GetFormat();
  std::unique_ptr<TGPImage> GetThumbnailImage(UINT ThumbWidth, UINT ThumbHeight,
                                              GetThumbnailImageAbort Callback = nullptr, void* CallbackData = nullptr);
  Status Save(const String& FileName, const CLSID& Encoder, const EncoderParameters* Params = nullptr);
  Status Save(IStream* Stream, const CLSID& Encoder, const EncoderParameters* Params = nullptr);
  // InvalidParameter without a call for a missing image.
  Status SaveAdd(const TGPImage* NewImage, const EncoderParameters* Params);
  Status RotateFlip(RotateFlipType Type);
  static std::unique_ptr<TGPImage> FromFile(const String& FileName, bool UseEmbeddedColorManagement = false) {
    return std::make_unique<TGPImage>(FileName, UseEmbeddedColorManagement);
  }
  static std::unique_ptr<TGPImage> FromStream(IStream* Stream, bool UseEmbeddedColorManagement = false) {
    return std::make_unique<TGPImage>(Stream, UseEmbeddedColorManagement);
  }
  // A plain image wrapper (for bitmaps too) around a copy, carrying this
  // image's status after the call.
  std::unique_ptr<TGPImage> Clone();
  Status SaveAdd(const EncoderParameters* Params);
  // Always written: 0 by 0 when GDI+ fails.
  Status GetPhysicalDimension(TGPSizeF& Size);
  Status GetBounds(TGPRectF& Rect, Unit_& U);
  // 0 when GDI+ fails.
  REAL GetHorizontalResolution();
  REAL GetVerticalResolution();
  UINT GetFlags();
  Status GetRawFormat(GUID& Format);
  // 0 when GDI+ fails.
  INT GetPaletteSize();
  Status GetPalette(ColorPalette* Palette, INT Size);
  Status SetPalette(const ColorPalette* Palette);
  // Counts: 0 when GDI+ fails.
  UINT GetFrameDimensionsCount();
  Status GetFrameDimensionsList(GUID* DimensionIDs, UINT Count);
  UINT GetFrameCount(const GUID& DimensionID);
  Status SelectActiveFrame(const GUID& DimensionID, UINT FrameIndex);
  UINT GetPropertyCount();
  Status GetPropertyIdList(UINT NumOfProperty, PROPID* List);
  UINT GetPropertyItemSize(PROPID PropId);
  Status GetPropertyItem(PROPID PropId, UINT PropSize, PropertyItem* Buffer);
  Status GetPropertySize(UINT& TotalBufferSize, UINT& NumProperties);
  Status GetAllPropertyItems(UINT TotalBufferSize, UINT NumProperties, PropertyItem* AllItems);
  Status RemovePropertyItem(PROPID PropId);
  Status SetPropertyItem(const PropertyItem& Item);
  UINT GetEncoderParameterListSize(const CLSID& Encoder);
  Status GetEncoderParameterList(const CLSID& Encoder, UINT Size, EncoderParameters* Buffer);
  // The kept status; it is reset to Ok.
  Status GetLastStatus();
  // ImageTypeUnknown when GDI+ fails.
  ImageType GetType();
  GpImage* Native() const { return nativeImage; }

protected:
  TGPImage() = default;
  GpImage* nativeImage = nullptr;
};

class TGPBitmap : public TGPImage {
public:
  TGPBitmap(IStream* Stream, bool UseEmbeddedColorManagement = false);
  TGPBitmap(INT Width, INT Height, PixelFormat Format = PixelFormat32bppARGB);
  // Takes a copy of the pixels of a GDI bitmap.
  TGPBitmap(HBITMAP Bitmap, HPALETTE Palette);
  explicit TGPBitmap(GpBitmap* Adopted) { nativeImage = Adopted; }
  static std::unique_ptr<TGPBitmap> FromStream(IStream* Stream, bool UseEmbeddedColorManagement = false) {
    return std::make_unique<TGPBitmap>(Stream, UseEmbeddedColorManagement);
  }
  TGPBitmap(const String& FileName, bool UseEmbeddedColorManagement);
  // Over the caller's pixels, which must outlive the bitmap.
  TGPBitmap(INT Width, INT Height, INT Stride, PixelFormat Format, BYTE* Scan0);
  TGPBitmap(INT Width, INT Height, const TGPGraphics& Target);
  TGPBitmap(const BITMAPINFO* Info, void* Data);
  explicit TGPBitmap(HICON Icon);
  TGPBitmap(HINSTANCE Instance, const String& BitmapName);
  static std::unique_ptr<TGPBitmap> FromFile(const String& FileName, bool UseEmbeddedColorManagement = false) {
    return std::make_unique<TGPBitmap>(FileName, UseEmbeddedColorManagement);
  }
  static std::unique_ptr<TGPBitmap> FromBITMAPINFO(const BITMAPINFO* Info, void* Data) {
    return std::make_unique<TGPBitmap>(Info, Data);
  }
  static std::unique_ptr<TGPBitmap> FromHBITMAP(HBITMAP Bitmap, HPALETTE Palette) {
    return std::make_unique<TGPBitmap>(Bitmap, Palette);
  }
  static std::unique_ptr<TGPBitmap> FromHICON(HICON Icon) { return std::make_unique<TGPBitmap>(Icon); }
  static std::unique_ptr<TGPBitmap> FromResource(HINSTANCE Instance, const String& BitmapName) {
    return std::make_unique<TGPBitmap>(Instance, BitmapName);
  }
  // The whole picture as a plain image wrapper.
  using TGPImage::Clone;
  // A part as a new bitmap (status Ok); nullptr when it cannot be made.
  // The copy's status replaces this bitmap's.
  std::unique_ptr<TGPBitmap> Clone(const TGPRect& Rect, PixelFormat Format);
  std::unique_ptr<TGPBitmap> Clone(INT X, INT Y, INT Width, INT Height, PixelFormat Format);
  std::unique_ptr<TGPBitmap> Clone(const TGPRectF& Rect, PixelFormat Format);
  std::unique_ptr<TGPBitmap> Clone(REAL X, REAL Y, REAL Width, REAL Height, PixelFormat Format);
  Status LockBits(const TGPRect& Rect, UINT Flags, PixelFormat Format, BitmapData& LockedData);
  Status UnlockBits(BitmapData& LockedData);
  Status SetResolution(REAL XDpi, REAL YDpi);
  // The caller frees the icon.
  Status GetHICON(HICON& Icon);
  Status GetPixel(INT X, INT Y, ARGB& Color);
  Status SetPixel(INT X, INT Y, ARGB Color);
  Status GetHBITMAP(ARGB ColorBackground, HBITMAP& Result);
};

class TGPImageAttributes : public TGdiplusBase {
public:
  TGPImageAttributes();
  ~TGPImageAttributes();
  std::unique_ptr<TGPImageAttributes> Clone() const;
  Status SetToIdentity(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status Reset(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetColorMatrix(const ColorMatrix& Matrix, ColorMatrixFlags Mode = ColorMatrixFlagsDefault,
                        ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearColorMatrix(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetColorMatrices(const ColorMatrix& Matrix, const ColorMatrix& GrayMatrix,
                          ColorMatrixFlags Mode = ColorMatrixFlagsDefault,
                          ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearColorMatrices(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetThreshold(REAL Threshold, ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearThreshold(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetGamma(REAL Gamma, ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearGamma(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetNoOp(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearNoOp(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetColorKey(ARGB ColorLow, ARGB ColorHigh, ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearColorKey(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetOutputChannel(ColorChannelFlags Flags, ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearOutputChannel(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetOutputChannelColorProfile(const String& FileName, ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearOutputChannelColorProfile(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetRemapTable(UINT MapSize, const ColorMap* Map, ColorAdjustType Type = ColorAdjustTypeDefault);
  Status ClearRemapTable(ColorAdjustType Type = ColorAdjustTypeDefault);
  Status SetBrushRemapTable(UINT MapSize, const ColorMap* Map) {
    return SetRemapTable(MapSize, Map, ColorAdjustTypeBrush);
  }
  Status ClearBrushRemapTable() { return ClearRemapTable(ColorAdjustTypeBrush); }
  Status SetWrapMode(WrapMode Wrap, ARGB Color = MakeARGB(255, 0, 0, 0), bool Clamp = false);
  Status GetAdjustedPalette(ColorPalette* Palette, ColorAdjustType Type);
  Status GetLastStatus();
  GpImageAttributes* Native() const { return nativeImageAttr; }

private:
  TGPImageAttributes(GpImageAttributes* Adopted, Status S) : nativeImageAttr(Adopted) { lastResult = S; }
  GpImageAttributes* nativeImageAttr = nullptr;
};

class TGPGraphics : public TGdiplusBase {
public:
  explicit TGPGraphics(HDC DC);
  // On an image; a missing image gives a wrapper without a native object.
  explicit TGPGraphics(TGPImage* Image);
  ~TGPGraphics();
  static std::unique_ptr<TGPGraphics> FromImage(TGPImage* Image) { return std::make_unique<TGPGraphics>(Image); }
  TGPGraphics(HDC DC, HANDLE Device);
  TGPGraphics(HWND Wnd, bool UseICM);
  static std::unique_ptr<TGPGraphics> FromHDC(HDC DC) { return std::make_unique<TGPGraphics>(DC); }
  static std::unique_ptr<TGPGraphics> FromHDC(HDC DC, HANDLE Device) {
    return std::make_unique<TGPGraphics>(DC, Device);
  }
  static std::unique_ptr<TGPGraphics> FromHWND(HWND Wnd, bool UseICM = false) {
    return std::make_unique<TGPGraphics>(Wnd, UseICM);
  }
  Status SetRenderingOrigin(INT X, INT Y);
  Status GetRenderingOrigin(INT& X, INT& Y);
  Status SetCompositingMode(CompositingMode Mode);
  CompositingMode GetCompositingMode();
  Status SetTextContrast(UINT Contrast);
  UINT GetTextContrast();
  Status SetInterpolationMode(INT Mode);
  // -1 when GDI+ fails.
  INT GetInterpolationMode();
  Status SetPixelOffsetMode(INT Mode);
  // -1 when GDI+ fails.
  INT GetPixelOffsetMode();
  Status SetPageUnit(Unit_ U);
  Unit_ GetPageUnit();
  Status SetPageScale(REAL Scale);
  REAL GetPageScale();
  REAL GetDpiX();
  REAL GetDpiY();
  Status TransformPoints(CoordinateSpace DestSpace, CoordinateSpace SrcSpace, TGPPointF* Points, INT Count);
  Status TransformPoints(CoordinateSpace DestSpace, CoordinateSpace SrcSpace, TGPPoint* Points, INT Count);
  Status GetNearestColor(ARGB& Color);
  Status DrawLine(const TGPPen& Pen, INT X1, INT Y1, INT X2, INT Y2);
  Status DrawLine(const TGPPen& Pen, const TGPPointF& Pt1, const TGPPointF& Pt2) {
    return DrawLine(Pen, Pt1.X, Pt1.Y, Pt2.X, Pt2.Y);
  }
  Status DrawLine(const TGPPen& Pen, const TGPPoint& Pt1, const TGPPoint& Pt2) {
    return DrawLine(Pen, Pt1.X, Pt1.Y, Pt2.X, Pt2.Y);
  }
  Status DrawLines(const TGPPen& Pen, const TGPPoint* Points, INT Count);
  Status DrawArc(const TGPPen& Pen, INT X, INT Y, INT Width, INT Height, REAL StartAngle, REAL SweepAngle);
  Status DrawArc(const TGPPen& Pen, const TGPRect& Rect, REAL StartAngle, REAL SweepAngle);
  Status DrawBezier(const TGPPen& Pen, REAL X1, REAL Y1, REAL X2, REAL Y2, REAL X3, REAL Y3, REAL X4, REAL Y4);
  Status DrawBezier(const TGPPen& Pen, INT X1, INT Y1, INT X2, INT Y2, INT X3, INT Y3, INT X4, INT Y4);
  Status DrawBezier(const TGPPen& Pen, const TGPPointF& Pt1, const TGPPointF& Pt2, const TGPPointF& Pt3,
                    const TGPPointF& Pt4);
  Status DrawBezier(const TGPPen& Pen, const TGPPoint& Pt1, const TGPPoint& Pt2, const TGPPoint& Pt3,
                    const TGPPoint& Pt4);
  Status DrawBeziers(const TGPPen& Pen, const TGPPointF* Points, INT Count);
  Status DrawBeziers(const TGPPen& Pen, const TGPPoint* Points, INT Count);
  Status DrawRectangle(const TGPPen& Pen, INT X, INT Y, INT Width, INT Height);
  Status DrawRectangle(const TGPPen& Pen, const TGPRect& Rect);
  Status DrawRectangles(const TGPPen& Pen, const TGPRectF* Rects, INT Count);
  Status DrawRectangles(const TGPPen& Pen, const TGPRect* Rects, INT Count);
  Status DrawPie(const TGPPen& Pen, REAL X, REAL Y, REAL Width, REAL Height, REAL StartAngle, REAL SweepAngle);
  Status DrawPie(const TGPPen& Pen, INT X, INT Y, INT Width, INT Height, REAL StartAngle, REAL SweepAngle);
  Status DrawPie(const TGPPen& Pen, const TGPRectF& Rect, REAL StartAngle, REAL SweepAngle);
  Status DrawPie(const TGPPen& Pen, const TGPRect& Rect, REAL StartAngle, REAL SweepAngle);
  Status DrawPolygon(const TGPPen& Pen, const TGPPoint* Points, INT Count);
  Status DrawCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count);
  Status DrawCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count, REAL Tension);
  Status DrawCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count, INT Offset, INT NumberOfSegments,
                   REAL Tension = 0.5f);
  Status DrawCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count);
  Status DrawCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count, REAL Tension);
  Status DrawCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count, INT Offset, INT NumberOfSegments,
                   REAL Tension = 0.5f);
  Status DrawClosedCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count);
  Status DrawClosedCurve(const TGPPen& Pen, const TGPPointF* Points, INT Count, REAL Tension);
  Status DrawClosedCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count);
  Status DrawClosedCurve(const TGPPen& Pen, const TGPPoint* Points, INT Count, REAL Tension);
  Status FillRectangle(const TGPBrush& Brush, INT X, INT Y, INT Width, INT Height);
  Status FillRectangle(const TGPBrush& Brush, const TGPRect& Rect);
  Status FillRectangles(const TGPBrush& Brush, const TGPRectF* Rects, INT Count);
  Status FillRectangles(const TGPBrush& Brush, const TGPRect* Rects, INT Count);
  Status FillPie(const TGPBrush& Brush, REAL X, REAL Y, REAL Width, REAL Height, REAL StartAngle, REAL SweepAngle);
  Status FillPie(const TGPBrush& Brush, INT X, INT Y, INT Width, INT Height, REAL StartAngle, REAL SweepAngle);
  Status FillPie(const TGPBrush& Brush, const TGPRectF& Rect, REAL StartAngle, REAL SweepAngle);
  Status FillPie(const TGPBrush& Brush, const TGPRect& Rect, REAL StartAngle, REAL SweepAngle);
  Status FillClosedCurve(const TGPBrush& Brush, const TGPPointF* Points, INT Count);
  Status FillClosedCurve(const TGPBrush& Brush, const TGPPointF* Points, INT Count, FillMode Mode, REAL Tension = 0.5f);
  Status FillClosedCurve(const TGPBrush& Brush, const TGPPoint* Points, INT Count);
  Status FillClosedCurve(const TGPBrush& Brush, const TGPPoint* Points, INT Count, FillMode Mode, REAL Tension = 0.5f);
  Status FillRegion(const TGPBrush& Brush, const TGPRegion& Region);
  Status SetClip(const TGPGraphics& Graphics, CombineMode Mode = CombineModeReplace);
  Status SetClip(const TGPRect& Rect, CombineMode Mode = CombineModeReplace);
  Status SetClip(HRGN Region, CombineMode Mode = CombineModeReplace);
  Status IntersectClip(const TGPRectF& Rect) { return SetClip(Rect, CombineModeIntersect); }
  Status IntersectClip(const TGPRect& Rect) { return SetClip(Rect, CombineModeIntersect); }
  Status IntersectClip(const TGPRegion& Region);
  Status ExcludeClip(const TGPRect& Rect) { return SetClip(Rect, CombineModeExclude); }
  Status TranslateClip(REAL Dx, REAL Dy);
  Status TranslateClip(INT Dx, INT Dy);
  Status GetClip(TGPRegion& Region);
  Status GetClipBounds(TGPRectF& Rect);
  Status GetClipBounds(TGPRect& Rect);
  Status GetVisibleClipBounds(TGPRectF& Rect);
  Status GetVisibleClipBounds(TGPRect& Rect);
  bool IsClipEmpty();
  bool IsVisibleClipEmpty();
  // False when GDI+ fails.
  bool IsVisible(REAL X, REAL Y);
  bool IsVisible(INT X, INT Y);
  bool IsVisible(const TGPPointF& Point) { return IsVisible(Point.X, Point.Y); }
  bool IsVisible(const TGPPoint& Point) { return IsVisible(Point.X, Point.Y); }
  // True when GDI+ fails.
  bool IsVisible(REAL X, REAL Y, REAL Width, REAL Height);
  bool IsVisible(INT X, INT Y, INT Width, INT Height);
  bool IsVisible(const TGPRectF& Rect) { return IsVisible(Rect.X, Rect.Y, Rect.Width, Rect.Height); }
  bool IsVisible(const TGPRect& Rect) { return IsVisible(Rect.X, Rect.Y, Rect.Width, Rect.Height); }
  // The container's state (0 when GDI+ fails), for EndContainer.
  UINT BeginContainer(const TGPRectF& DstRect, const TGPRectF& SrcRect, Unit_ U);
  UINT BeginContainer(const TGPRect& DstRect, const TGPRect& SrcRect, Unit_ U);
  UINT BeginContainer();
  Status EndContainer(UINT State);
  Status AddMetafileComment(const BYTE* Data, UINT SizeData);
  Status MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPSizeF& LayoutRectSize,
                       const TGPStringFormat* Format, TGPSizeF& Size, INT* CodepointsFitted = nullptr,
                       INT* LinesFilled = nullptr);
  // InvalidParameter (nothing kept) for RegionCount <= 0; each region
  // receives its range.
  Status MeasureCharacterRanges(const String& Text, INT Length, const TGPFont* Font, const TGPRectF& LayoutRect,
                                const TGPStringFormat* Format, INT RegionCount, TGPRegion* const* Regions);
  Status DrawDriverString(const UINT16* Text, INT Length, const TGPFont* Font, const TGPBrush* Brush,
                          const TGPPointF* Positions, INT Flags, const TGPMatrix* Matrix);
  Status MeasureDriverString(const UINT16* Text, INT Length, const TGPFont* Font, const TGPPointF* Positions, INT Flags,
                             const TGPMatrix* Matrix, TGPRectF& BoundingBox);
  Status DrawImage(const TGPImage* Image, REAL X, REAL Y);
  Status DrawImage(const TGPImage* Image, const TGPPointF& Point) { return DrawImage(Image, Point.X, Point.Y); }
  Status DrawImage(const TGPImage* Image, const TGPPoint& Point) { return DrawImage(Image, Point.X, Point.Y); }
  Status DrawImage(const TGPImage* Image, const TGPRect& Rect);
  Status DrawImage(const TGPImage* Image, INT X, INT Y, INT Width, INT Height) {
    return DrawImage(Image, TGPRect{X, Y, Width, Height});
  }
  // Only 3 or 4 points draw; anything else is InvalidParameter.
  Status DrawImage(const TGPImage* Image, const TGPPointF* DestPoints, INT Count);
  Status DrawImage(const TGPImage* Image, const TGPPoint* DestPoints, INT Count);
  Status DrawImage(const TGPImage* Image, REAL X, REAL Y, REAL SrcX, REAL SrcY, REAL SrcWidth, REAL SrcHeight,
                   Unit_ SrcUnit);
  Status DrawImage(const TGPImage* Image, INT X, INT Y, INT SrcX, INT SrcY, INT SrcWidth, INT SrcHeight, Unit_ SrcUnit);
  Status DrawImage(const TGPImage* Image, const TGPRect& DestRect, INT SrcX, INT SrcY, INT SrcWidth, INT SrcHeight,
                   Unit_ SrcUnit, const TGPImageAttributes* Attributes = nullptr, DrawImageAbort Callback = nullptr,
                   void* CallbackData = nullptr);
  // Only 3 or 4 points draw; anything else is InvalidParameter.
  Status DrawImage(const TGPImage* Image, const TGPPointF* DestPoints, INT Count, REAL SrcX, REAL SrcY, REAL SrcWidth,
                   REAL SrcHeight, Unit_ SrcUnit, const TGPImageAttributes* Attributes = nullptr,
                   DrawImageAbort Callback = nullptr, void* CallbackData = nullptr);
  Status DrawImage(const TGPImage* Image, const TGPPoint* DestPoints, INT Count, INT SrcX, INT SrcY, INT SrcWidth,
                   INT SrcHeight, Unit_ SrcUnit, const TGPImageAttributes* Attributes = nullptr,
                   DrawImageAbort Callback = nullptr, void* CallbackData = nullptr);

  void Flush(FlushIntention Intention = FlushIntentionFlush);
  Status Clear(ARGB Color);
  HDC GetHDC();
  void ReleaseHDC(HDC DC);
  Status SetTextRenderingHint(TextRenderingHint Hint);
  TextRenderingHint GetTextRenderingHint();
  Status SetSmoothingMode(INT Mode);
  // -1 when the mode cannot be read.
  INT GetSmoothingMode();
  Status SetCompositingQuality(INT Quality);
  INT GetCompositingQuality();
  Status SetTransform(const TGPMatrix& Matrix);
  Status ResetTransform();
  Status MultiplyTransform(const TGPMatrix& Matrix, MatrixOrder Order = MatrixOrderPrepend);
  Status TranslateTransform(REAL Dx, REAL Dy, MatrixOrder Order = MatrixOrderPrepend);
  Status RotateTransform(REAL Angle, MatrixOrder Order = MatrixOrderPrepend);
  Status ScaleTransform(REAL Sx, REAL Sy, MatrixOrder Order = MatrixOrderPrepend);

  Status GetTransform(TGPMatrix& Matrix);
  // The state token (0 when GDI+ fails), for Restore.
  UINT Save();
  Status Restore(UINT State);
  Status SetClip(const TGPRectF& Rect, CombineMode Mode = CombineModeReplace);
  Status DrawLines(const TGPPen& Pen, const TGPPointF* Points, INT Count);
  Status DrawPolygon(const TGPPen& Pen, const TGPPointF* Points, INT Count);
  Status DrawCachedBitmap(const TGPCachedBitmap& Bitmap, INT X, INT Y);
  Status DrawPath(const TGPPen* Pen, const TGPGraphicsPath* Path);
  Status FillPath(const TGPBrush* Brush, const TGPGraphicsPath* Path);
  Status FillRectangle(const TGPBrush& Brush, const TGPRectF& Rect);
  Status FillRectangle(const TGPBrush& Brush, REAL X, REAL Y, REAL Width, REAL Height);
  Status DrawRectangle(const TGPPen& Pen, const TGPRectF& Rect);
  Status DrawRectangle(const TGPPen& Pen, REAL X, REAL Y, REAL Width, REAL Height);
  Status DrawLine(const TGPPen& Pen, REAL X1, REAL Y1, REAL X2, REAL Y2);
  Status DrawArc(const TGPPen& Pen, REAL X, REAL Y, REAL Width, REAL Height, REAL StartAngle, REAL SweepAngle);
  Status DrawArc(const TGPPen& Pen, const TGPRectF& Rect, REAL StartAngle, REAL SweepAngle);
  Status DrawEllipse(const TGPPen& Pen, const TGPRectF& Rect);
  Status DrawEllipse(const TGPPen& Pen, REAL X, REAL Y, REAL Width, REAL Height);
  Status DrawEllipse(const TGPPen& Pen, const TGPRect& Rect);
  Status DrawEllipse(const TGPPen& Pen, INT X, INT Y, INT Width, INT Height);
  Status FillEllipse(const TGPBrush& Brush, const TGPRectF& Rect);
  Status FillEllipse(const TGPBrush& Brush, REAL X, REAL Y, REAL Width, REAL Height);
  Status FillEllipse(const TGPBrush& Brush, const TGPRect& Rect);
  Status FillEllipse(const TGPBrush& Brush, INT X, INT Y, INT Width, INT Height);
  Status FillPolygon(const TGPBrush& Brush, const TGPPointF* Points, INT Count, FillMode Mode = FillModeAlternate);
  Status FillPolygon(const TGPBrush& Brush, const TGPPoint* Points, INT Count, FillMode Mode = FillModeAlternate);
  Status DrawImage(const TGPImage* Image, INT X, INT Y);
  Status DrawImage(const TGPImage* Image, REAL X, REAL Y, REAL Width, REAL Height);
  Status DrawImage(const TGPImage* Image, const TGPRectF& Rect);
  Status DrawImage(const TGPImage* Image, const TGPRectF& DestRect, REAL SrcX, REAL SrcY, REAL SrcWidth, REAL SrcHeight,
                   Unit_ SrcUnit, const TGPImageAttributes* Attributes = nullptr, DrawImageAbort Callback = nullptr,
                   void* CallbackData = nullptr);
  Status DrawImageRect(const TGPImage* Image, INT X, INT Y, INT Width, INT Height);
  // The rectangle rounded to whole pixels (halves to even) first.
  Status DrawImageRect(const TGPImage* Image, const TGPRectF& Rect);
  Status SetClip(const TGPRegion& Region, CombineMode Mode = CombineModeReplace);
  Status SetClip(const TGPGraphicsPath& Path, CombineMode Mode = CombineModeReplace);
  Status ExcludeClip(const TGPRectF& Rect);
  Status ExcludeClip(const TGPRegion& Region);
  Status ResetClip();

  // Length -1: the whole text.
  Status MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPRectF& LayoutRect,
                       const TGPStringFormat* Format, TGPRectF& BoundingBox, INT* CodepointsFitted = nullptr,
                       INT* LinesFilled = nullptr);
  Status MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPPointF& Origin,
                       const TGPStringFormat* Format, TGPRectF& BoundingBox);
  Status MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPRectF& LayoutRect,
                       TGPRectF& BoundingBox);
  // No format; the layout rectangle is the origin with no size.
  Status MeasureString(const String& Text, INT Length, const TGPFont* Font, const TGPPointF& Origin,
                       TGPRectF& BoundingBox) {
    return MeasureString(Text, Length, Font, Origin, nullptr, BoundingBox);
  }
  // The whole text is drawn whatever Length says.
  Status DrawString(const String& Text, INT Length, const TGPFont* Font, const TGPPointF& Origin,
                    const TGPStringFormat* Format, const TGPBrush* Brush);
  Status DrawString(const String& Text, INT Length, const TGPFont* Font, const TGPPointF& Origin,
                    const TGPBrush* Brush);
  Status DrawString(const String& Text, INT Length, const TGPFont* Font, const TGPRectF& LayoutRect,
                    const TGPStringFormat* Format, const TGPBrush* Brush);

  // Text helpers with the chart's fonts. MakeFont keeps every style
  // (strike-out included) and falls back as CreateFallbackFont does.
  std::unique_ptr<TGPFont> MakeFont(const TChartFont& Font);
  Integer TextWidth(const String& Text, const TChartFont& Font);
  Integer TextHeight(const String& Text, const TChartFont& Font);
  // The platform DrawText's manner: with Style 0x400 only Rect is updated to
  // the text's box; with BkColor other than clNone the box is filled first.
  // Answers the text's height.
  Integer DrawText(const String& Text, INT Length, TRect& Rect, const TChartFont& Font, UINT Style, TColor BkColor);

  Status GetLastStatus();
  GpGraphics* Native() const { return nativeGraphics; }

private:
  GpGraphics* nativeGraphics = nullptr;
};

// A line end made of a fill path and a stroke path.
class TGPCustomLineCap : public TGdiplusBase {
public:
  // An empty wrapper (no native cap, status Ok), to receive a pen's cap.
  TGPCustomLineCap() = default;
  TGPCustomLineCap(const TGPGraphicsPath* FillPath, const TGPGraphicsPath* StrokePath, INT BaseCap = 0,
                   REAL BaseInset = 0);
  TGPCustomLineCap(GpCustomLineCap* Native, Status S) : nativeCap(Native) { lastResult = S; }
  ~TGPCustomLineCap();
  // nullptr when the copy could not be made.
  std::unique_ptr<TGPCustomLineCap> Clone();
  Status SetStrokeCap(INT Cap) { return SetStrokeCaps(Cap, Cap); }
  Status SetStrokeCaps(INT StartCap, INT EndCap);
  Status GetStrokeCaps(INT& StartCap, INT& EndCap);
  Status SetStrokeJoin(LineJoin Join);
  LineJoin GetStrokeJoin();
  Status SetBaseCap(INT Cap);
  INT GetBaseCap();
  Status SetBaseInset(REAL Inset);
  REAL GetBaseInset();
  Status SetWidthScale(REAL Scale);
  REAL GetWidthScale();
  Status GetLastStatus();
  GpCustomLineCap* Native() const { return nativeCap; }

private:
  friend class TGPPen;
  GpCustomLineCap* nativeCap = nullptr;
};

// A bitmap converted once for one graphics object, for fast repeated drawing.
class TGPCachedBitmap : public TGdiplusBase {
public:
  TGPCachedBitmap(const TGPBitmap& Bitmap, const TGPGraphics& Graphics);
  ~TGPCachedBitmap();
  Status GetLastStatus();
  GpCachedBitmap* Native() const { return nativeCachedBitmap; }

private:
  GpCachedBitmap* nativeCachedBitmap = nullptr;
};

// ---------------------------------------------------------------- pictures
// The picture of the GDI+ chart elements (background, serie pattern, marker
// and zoom-slider pictures, textures): the encoded bytes of any picture GDI+
// reads, kept as they were loaded, decoded when first drawn. Its size comes
// from the file header when loaded from a file, else from GDI+.
//
// Loading never throws for a missing or unreadable picture: the Load
// operations answer false, LoadError() says why and the picture is left
// empty (LoadFromStream, the class library's graphic interface, raises
// EInvalidGraphic with that text instead).
class TChartGDIPPicture : public TGraphic {
public:
  TChartGDIPPicture();
  ~TChartGDIPPicture() override;

  Integer Width() const override { return FWidth; }
  Integer Height() const override { return FHeight; }
  bool Empty() const override { return FIsEmpty; }
  // Writing a size has no effect: the size is the picture's own.
  void SetWidth(Integer) {}
  void SetHeight(Integer) {}
  // A BMP in its own size at Rect's corner (transparent by its bottom-left
  // pixel), any other picture stretched into Rect.
  void Draw(TCanvas& ACanvas, const TRect& Rect) override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // From nullptr (empties it, OnChange then OnClear), another picture, or
  // any graphic of the class library (a TPicture: its graphic).
  void Assign(TPersistent* Source) override;
  void Assign(const TChartGDIPPicture& Source);

  bool LoadFromBytes(const TBytes& Bytes);
  bool LoadFromFile(const String& FileName);
  // An RCDATA resource of the module; false (picture unchanged) when the
  // module has none of that name.
  bool LoadFromResourceName(HINSTANCE Instance, const String& ResName);
  // EResNotFound when the module has no such RCDATA resource.
  void LoadFromResourceID(HINSTANCE Instance, Integer ResID);
  // "RES://name" (a resource of the program) or "FILE://path", the prefix in
  // any case; false for anything else.
  bool LoadFromURL(const String& Url);
  void Clear();
  const String& LoadError() const { return FLoadError; }

  // The size decoded by GDI+; false (size unchanged) when it cannot decode.
  bool GetImageSizes();
  // The size read from the file's header; false when it has none.
  bool GetImageSizesFromFileName(const String& FileName);

  // A colour-keyed transparent BMP is drawn in its own size at R's corner;
  // anything else is stretched into R.
  void GDIPDraw(TGPGraphics& Graphics, const TRect& R);
  // The same into a float rectangle (a transparent BMP scaled into it); a
  // draw from within its own drawing (a texture of itself) does nothing.
  void GDIPDraw(TGPGraphics& Graphics, const TGPRectF& R);
  // Fill with the picture tiled.
  void FillPath(TGPGraphics& Graphics, const TGPGraphicsPath& Path) const;
  void FillRect(TGPGraphics& Graphics, const TGPRectF& R) const;

  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode V) { FTransparentMode = V; }
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor V) { FTransparentColor = V; }
  const String& ID() const { return FID; }
  void SetID(const String& V) { FID = V; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool V) { FDoubleBuffered = V; }
  // Of the image at its last GDIPDraw.
  Integer PixelDepth() const { return FPixelDepth; }
  bool HasAlpha() const { return FHasAlpha; }
  bool HasPalette() const { return FHasPalette; }
  Integer PixelFormat() const { return FPixelFormat; }
  const TBytes& Bytes() const { return FBytes; }
  TNotifyEvent OnClear;

private:
  // The decoded image, made on first use (nullptr when GDI+ cannot read the bytes).
  TGPBitmap* Image() const;
  // The image about to be drawn, its format, depth, alpha, palette and size
  // noted; nullptr when there is none.
  TGPBitmap* ImageToDraw();
  // The colour drawn as transparent: for a transparent BMP the fixed colour
  // or the bottom-left pixel; none for anything else.
  std::optional<ARGB> ColorKey(TGPBitmap& Image);
  void Fire(const TNotifyEvent& Event) {
    if (Event) Event(this);
  }
  bool Fail(const String& Why);
  TBytes FBytes;
  mutable std::unique_ptr<TGPBitmap> FImage;
  mutable bool FDecoded = false;
  bool FIsEmpty = true;
  bool FDrawing = false;
  Integer FWidth = 0, FHeight = 0;
  bool FDoubleBuffered = false;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = 0xFFFFFF;
  String FID;
  Integer FPixelDepth = 0;
  bool FHasAlpha = false, FHasPalette = false;
  Integer FPixelFormat = 0;
  String FLoadError;
};

// ---------------------------------------------------------------- shared drawing
struct TGDIPFillParams {
  TGPGraphics* Graphics = nullptr;  // not owned
  TGPGraphicsPath* Path = nullptr;  // not owned
  bool UsePath = false;
  TGPRectF R{};
  TChartGradientType GradientType = gtSolid;
  TColor Color = clNone;
  TColor ColorTo = clNone;
  Integer Opacity = 255;    // low byte: alpha of Color and of the outline
  Integer OpacityTo = 255;  // low byte: alpha of ColorTo
  HatchStyle Hatch = HatchStyleHorizontal;
  Integer Angle = 0;
  const TChartGDIPPicture* Picture = nullptr;  // not owned; may be nullptr
  TColor BorderColor = clNone;                 // clNone: no outline
  Integer BorderWidth = 0;
  DashStyle BorderStyle = DashStyleSolid;
  bool TopLine = false;
};

// Fills the path (UsePath) or the rectangle by gradient type, then draws the
// outline when BorderColor is not clNone, whatever was filled.
void FillGDIPShape(const TGDIPFillParams& P);
// A grey box of alpha 180 whose outer tenth fades out.
void DrawGDIPShadow(TGPGraphics& Graphics, const TGPRectF& R);
// A filled arrow head at ToPt pointing away from FromPt.
void DrawGDIPArrow(TGPGraphics& Graphics, TPoint FromPt, TPoint ToPt, Integer ArrowSize, TColor ArrowColor,
                   double ScaleX, double ScaleY);
// The arrow head's three corners (tip first) as DrawGDIPArrow fills them.
void GDIPArrowPoints(TPoint FromPt, TPoint ToPt, Integer ArrowSize, double ScaleX, double ScaleY, TGPPointF (&Out)[4]);
// The pen style of a serie or grid as a dash style: the same ordinal,
// psClear giving DashStyleCustom.
inline DashStyle PenStyleToDashStyle(TPenStyle Style) {
  return Style <= psClear ? static_cast<DashStyle>(Style) : DashStyleSolid;
}
