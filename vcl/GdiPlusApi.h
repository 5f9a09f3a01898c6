#pragma once
// The GDI+ flat API as this program uses it: its records, enumerations and
// entry points, bound by name from gdiplus.dll once per process, and the
// process's one GDI+ start-up. Every GDI+ user of the program (the class
// library's pictures, the chart view's object layer) goes through this
// binding.
//
// Each entry point is looked up on its own. One that the library does not
// export is listed by MissingFunctions() and answers NotImplemented (a
// pointer result nullptr) instead of being called; without the library or
// before a successful start-up every entry point answers
// GdiplusNotInitialized. So a machine without GDI+ draws nothing but never
// jumps through a null pointer.
#include <objidl.h>

#include <type_traits>
#include <vector>

#include "rtl/Types.h"
#include "rtl/Win32.h"

// ---------------------------------------------------------------- records
using ARGB = UINT32;
using REAL = float;
using PixelFormat = INT;

struct GpPointF {
  REAL X, Y;
};
struct GpPoint {
  INT X, Y;
};
struct GpRectF {
  REAL X, Y, Width, Height;
};
struct GpRect {
  INT X, Y, Width, Height;
};
struct GpSizeF {
  REAL Width, Height;
};
struct CharacterRange {
  INT First, Length;
};
struct GpPathData {
  INT Count;
  GpPointF* Points;
  BYTE* Types;
};
struct ColorMatrix {
  REAL m[5][5];
};
struct ColorMap {
  ARGB oldColor, newColor;
};
struct ColorPalette {
  UINT Flags;
  UINT Count;
  ARGB Entries[1];
};
struct BitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  PixelFormat Format;
  void* Scan0;
  UINT_PTR Reserved;
};
struct EncoderParameter {
  GUID Guid;
  ULONG NumberOfValues;
  ULONG Type;
  void* Value;
};
struct EncoderParameters {
  UINT Count;
  EncoderParameter Parameter[1];
};
struct PropertyItem {
  PROPID Id;
  ULONG Length;
  WORD Type;
  void* Value;
};
struct ImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  DWORD Flags;
  DWORD Version;
  DWORD SigCount;
  DWORD SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};

// ---------------------------------------------------------------- enumerations
// Same names and values as the flat API's own.
enum Status : INT {
  Ok,
  GenericError,
  InvalidParameter,
  OutOfMemory,
  ObjectBusy,
  InsufficientBuffer,
  NotImplemented,
  Win32Error,
  WrongState,
  Aborted,
  FileNotFound,
  ValueOverflow,
  AccessDenied,
  UnknownImageFormat,
  FontFamilyNotFound,
  FontStyleNotFound,
  NotTrueTypeFont,
  UnsupportedGdiplusVersion,
  GdiplusNotInitialized,
  PropertyNotFound,
  PropertyNotSupported
};
enum FillMode : INT { FillModeAlternate, FillModeWinding };
enum Unit_ : INT { UnitWorld, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };
enum HatchStyle : INT {
  HatchStyleHorizontal,
  HatchStyleVertical,
  HatchStyleForwardDiagonal,
  HatchStyleBackwardDiagonal,
  HatchStyleCross,
  HatchStyleDiagonalCross,
  HatchStyle05Percent,
  HatchStyle10Percent,
  HatchStyle20Percent,
  HatchStyle25Percent,
  HatchStyle30Percent,
  HatchStyle40Percent,
  HatchStyle50Percent,
  HatchStyle60Percent,
  HatchStyle70Percent,
  HatchStyle75Percent,
  HatchStyle80Percent,
  HatchStyle90Percent,
  HatchStyleLightDownwardDiagonal,
  HatchStyleLightUpwardDiagonal,
  HatchStyleDarkDownwardDiagonal,
  HatchStyleDarkUpwardDiagonal,
  HatchStyleWideDownwardDiagonal,
  HatchStyleWideUpwardDiagonal,
  HatchStyleLightVertical,
  HatchStyleLightHorizontal,
  HatchStyleNarrowVertical,
  HatchStyleNarrowHorizontal,
  HatchStyleDarkVertical,
  HatchStyleDarkHorizontal,
  HatchStyleDashedDownwardDiagonal,
  HatchStyleDashedUpwardDiagonal,
  HatchStyleDashedHorizontal,
  HatchStyleDashedVertical,
  HatchStyleSmallConfetti,
  HatchStyleLargeConfetti,
  HatchStyleZigZag,
  HatchStyleWave,
  HatchStyleDiagonalBrick,
  HatchStyleHorizontalBrick,
  HatchStyleWeave,
  HatchStylePlaid,
  HatchStyleDivot,
  HatchStyleDottedGrid,
  HatchStyleDottedDiamond,
  HatchStyleShingle,
  HatchStyleTrellis,
  HatchStyleSphere,
  HatchStyleSmallGrid,
  HatchStyleSmallCheckerBoard,
  HatchStyleLargeCheckerBoard,
  HatchStyleOutlinedDiamond,
  HatchStyleSolidDiamond,
  HatchStyleTotal
};
enum DashStyle : INT {
  DashStyleSolid,
  DashStyleDash,
  DashStyleDot,
  DashStyleDashDot,
  DashStyleDashDotDot,
  DashStyleCustom
};
enum WrapMode : INT { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum LinearGradientMode : INT {
  LinearGradientModeHorizontal,
  LinearGradientModeVertical,
  LinearGradientModeForwardDiagonal,
  LinearGradientModeBackwardDiagonal
};
enum CombineMode : INT {
  CombineModeReplace,
  CombineModeIntersect,
  CombineModeUnion,
  CombineModeXor,
  CombineModeExclude,
  CombineModeComplement
};
enum MatrixOrder : INT { MatrixOrderPrepend, MatrixOrderAppend };
enum ColorMatrixFlags : INT { ColorMatrixFlagsDefault, ColorMatrixFlagsSkipGrays, ColorMatrixFlagsAltGray };
enum ColorChannelFlags : INT {
  ColorChannelFlagsC,
  ColorChannelFlagsM,
  ColorChannelFlagsY,
  ColorChannelFlagsK,
  ColorChannelFlagsLast
};
enum TextRenderingHint : INT {
  TextRenderingHintSystemDefault,
  TextRenderingHintSingleBitPerPixelGridFit,
  TextRenderingHintSingleBitPerPixel,
  TextRenderingHintAntiAliasGridFit,
  TextRenderingHintAntiAlias,
  TextRenderingHintClearTypeGridFit
};
enum StringAlignment : INT { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
enum StringTrimming : INT {
  StringTrimmingNone,
  StringTrimmingCharacter,
  StringTrimmingWord,
  StringTrimmingEllipsisCharacter,
  StringTrimmingEllipsisWord,
  StringTrimmingEllipsisPath
};
enum HotkeyPrefix : INT { HotkeyPrefixNone, HotkeyPrefixShow, HotkeyPrefixHide };
enum FlushIntention : INT { FlushIntentionFlush, FlushIntentionSync };
enum RotateFlipType : INT {
  RotateNoneFlipNone,
  Rotate90FlipNone,
  Rotate180FlipNone,
  Rotate270FlipNone,
  RotateNoneFlipX,
  Rotate90FlipX,
  Rotate180FlipX,
  Rotate270FlipX
};
enum ColorAdjustType : INT {
  ColorAdjustTypeDefault,
  ColorAdjustTypeBitmap,
  ColorAdjustTypeBrush,
  ColorAdjustTypePen,
  ColorAdjustTypeText,
  ColorAdjustTypeCount,
  ColorAdjustTypeAny
};

enum CompositingMode : INT { CompositingModeSourceOver, CompositingModeSourceCopy };
enum CoordinateSpace : INT { CoordinateSpaceWorld, CoordinateSpacePage, CoordinateSpaceDevice };
enum WarpMode : INT { WarpModePerspective, WarpModeBilinear };
enum LineJoin : INT { LineJoinMiter, LineJoinBevel, LineJoinRound, LineJoinMiterClipped };
enum ImageType : INT { ImageTypeUnknown, ImageTypeBitmap, ImageTypeMetafile };
enum PenAlignment : INT { PenAlignmentCenter, PenAlignmentInset };
enum BrushType : INT {
  BrushTypeSolidColor,
  BrushTypeHatchFill,
  BrushTypeTextureFill,
  BrushTypePathGradient,
  BrushTypeLinearGradient
};
enum StringDigitSubstitute : INT {
  StringDigitSubstituteUser,
  StringDigitSubstituteNone,
  StringDigitSubstituteNational,
  StringDigitSubstituteTraditional
};

// Plain values the API takes as integers.
inline constexpr INT SmoothingModeNone = 3;
inline constexpr INT SmoothingModeAntiAlias = 4;
inline constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
inline constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;
inline constexpr UINT ImageLockModeRead = 1;
inline constexpr UINT ImageLockModeWrite = 2;
inline constexpr ULONG EncoderParameterValueTypeLong = 4;

// ---------------------------------------------------------------- handles
// Opaque native objects; the brush and image kinds share their base's handle.
struct GpGraphics;
struct GpPen;
struct GpBrush;
struct GpPath;
struct GpMatrix;
struct GpStringFormat;
struct GpRegion;
struct GpFontFamily;
struct GpFont;
struct GpFontCollection;
struct GpImage;
struct GpImageAttributes;
struct GpCustomLineCap;
struct GpCachedBitmap;
using GpSolidFill = GpBrush;
using GpHatch = GpBrush;
using GpTexture = GpBrush;
using GpLineGradient = GpBrush;
using GpPathGradient = GpBrush;
using GpBitmap = GpImage;

using DrawImageAbort = BOOL(WINAPI*)(void*);
using GetThumbnailImageAbort = BOOL(WINAPI*)(void*);

struct GdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};
struct GdiplusStartupOutput {
  Status(WINAPI* NotificationHook)(ULONG_PTR* Token) = nullptr;
  void(WINAPI* NotificationUnhook)(ULONG_PTR Token) = nullptr;
};

// ---------------------------------------------------------------- entry points
// X(name, result, (parameter types)); results are Status unless stated.
#define QUORVEL_GDIPLUS_FUNCTIONS(X)                                                                                   \
  X(GdiplusStartup, Status, (ULONG_PTR*, const GdiplusStartupInput*, GdiplusStartupOutput*))                           \
  X(GdiplusShutdown, void, (ULONG_PTR))                                                                                \
  X(GdipAlloc, void*, (SIZE_T))                                                                                        \
  X(GdipFree, void, (void*))                                                                                           \
  /* graphics */                                                                                                       \
  X(GdipCreateFromHDC, Status, (HDC, GpGraphics**))                                                                    \
  X(GdipGetImageGraphicsContext, Status, (GpImage*, GpGraphics**))                                                     \
  X(GdipDeleteGraphics, Status, (GpGraphics*))                                                                         \
  X(GdipFlush, Status, (GpGraphics*, FlushIntention))                                                                  \
  X(GdipGraphicsClear, Status, (GpGraphics*, ARGB))                                                                    \
  X(GdipGetDC, Status, (GpGraphics*, HDC*))                                                                            \
  X(GdipReleaseDC, Status, (GpGraphics*, HDC))                                                                         \
  X(GdipSetTextRenderingHint, Status, (GpGraphics*, TextRenderingHint))                                                \
  X(GdipGetTextRenderingHint, Status, (GpGraphics*, TextRenderingHint*))                                               \
  X(GdipSetSmoothingMode, Status, (GpGraphics*, INT))                                                                  \
  X(GdipGetSmoothingMode, Status, (GpGraphics*, INT*))                                                                 \
  X(GdipSetCompositingQuality, Status, (GpGraphics*, INT))                                                             \
  X(GdipGetCompositingQuality, Status, (GpGraphics*, INT*))                                                            \
  X(GdipSetWorldTransform, Status, (GpGraphics*, GpMatrix*))                                                           \
  X(GdipResetWorldTransform, Status, (GpGraphics*))                                                                    \
  X(GdipMultiplyWorldTransform, Status, (GpGraphics*, const GpMatrix*, MatrixOrder))                                   \
  X(GdipTranslateWorldTransform, Status, (GpGraphics*, REAL, REAL, MatrixOrder))                                       \
  X(GdipRotateWorldTransform, Status, (GpGraphics*, REAL, MatrixOrder))                                                \
  X(GdipScaleWorldTransform, Status, (GpGraphics*, REAL, REAL, MatrixOrder))                                           \
  X(GdipDrawPath, Status, (GpGraphics*, GpPen*, GpPath*))                                                              \
  X(GdipFillPath, Status, (GpGraphics*, GpBrush*, GpPath*))                                                            \
  X(GdipFillRectangle, Status, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL))                                        \
  X(GdipDrawRectangle, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                                          \
  X(GdipDrawLine, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                                               \
  X(GdipDrawArc, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL))                                    \
  X(GdipDrawEllipse, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                                            \
  X(GdipDrawEllipseI, Status, (GpGraphics*, GpPen*, INT, INT, INT, INT))                                               \
  X(GdipFillEllipse, Status, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL))                                          \
  X(GdipFillEllipseI, Status, (GpGraphics*, GpBrush*, INT, INT, INT, INT))                                             \
  X(GdipFillPolygon, Status, (GpGraphics*, GpBrush*, const GpPointF*, INT, FillMode))                                  \
  X(GdipFillPolygonI, Status, (GpGraphics*, GpBrush*, const GpPoint*, INT, FillMode))                                  \
  X(GdipDrawImageI, Status, (GpGraphics*, GpImage*, INT, INT))                                                         \
  X(GdipDrawImageRect, Status, (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL))                                        \
  X(GdipDrawImageRectRect, Status,                                                                                     \
    (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL, Unit_, const GpImageAttributes*,           \
     DrawImageAbort, void*))                                                                                           \
  X(GdipSetClipRegion, Status, (GpGraphics*, GpRegion*, CombineMode))                                                  \
  X(GdipSetClipPath, Status, (GpGraphics*, GpPath*, CombineMode))                                                      \
  X(GdipSetClipRect, Status, (GpGraphics*, REAL, REAL, REAL, REAL, CombineMode))                                       \
  X(GdipResetClip, Status, (GpGraphics*))                                                                              \
  X(GdipMeasureString, Status,                                                                                         \
    (GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*, const GpStringFormat*, GpRectF*, INT*, INT*))      \
  X(GdipDrawString, Status,                                                                                            \
    (GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*, const GpStringFormat*, const GpBrush*))            \
  /* pens */                                                                                                           \
  X(GdipCreatePen1, Status, (ARGB, REAL, Unit_, GpPen**))                                                              \
  X(GdipCreatePen2, Status, (GpBrush*, REAL, Unit_, GpPen**))                                                          \
  X(GdipDeletePen, Status, (GpPen*))                                                                                   \
  X(GdipSetPenBrushFill, Status, (GpPen*, GpBrush*))                                                                   \
  X(GdipGetPenBrushFill, Status, (GpPen*, GpBrush**))                                                                  \
  X(GdipSetPenDashStyle, Status, (GpPen*, DashStyle))                                                                  \
  X(GdipGetPenDashStyle, Status, (GpPen*, DashStyle*))                                                                 \
  X(GdipSetPenEndCap, Status, (GpPen*, INT))                                                                           \
  X(GdipGetPenFillType, Status, (GpPen*, INT*))                                                                        \
  /* brushes */                                                                                                        \
  X(GdipDeleteBrush, Status, (GpBrush*))                                                                               \
  X(GdipCreateSolidFill, Status, (ARGB, GpSolidFill**))                                                                \
  X(GdipSetSolidFillColor, Status, (GpSolidFill*, ARGB))                                                               \
  X(GdipGetSolidFillColor, Status, (GpSolidFill*, ARGB*))                                                              \
  X(GdipCreateHatchBrush, Status, (HatchStyle, ARGB, ARGB, GpHatch**))                                                 \
  X(GdipGetHatchStyle, Status, (GpHatch*, HatchStyle*))                                                                \
  X(GdipGetHatchForegroundColor, Status, (GpHatch*, ARGB*))                                                            \
  X(GdipGetHatchBackgroundColor, Status, (GpHatch*, ARGB*))                                                            \
  X(GdipCreateLineBrush, Status, (const GpPointF*, const GpPointF*, ARGB, ARGB, WrapMode, GpLineGradient**))           \
  X(GdipCreateLineBrushI, Status, (const GpPoint*, const GpPoint*, ARGB, ARGB, WrapMode, GpLineGradient**))            \
  X(GdipCreateLineBrushFromRect, Status, (const GpRectF*, ARGB, ARGB, LinearGradientMode, WrapMode, GpLineGradient**)) \
  X(GdipCreateLineBrushFromRectI, Status, (const GpRect*, ARGB, ARGB, LinearGradientMode, WrapMode, GpLineGradient**)) \
  X(GdipCreateLineBrushFromRectWithAngle, Status,                                                                      \
    (const GpRectF*, ARGB, ARGB, REAL, BOOL, WrapMode, GpLineGradient**))                                              \
  X(GdipCreateLineBrushFromRectWithAngleI, Status,                                                                     \
    (const GpRect*, ARGB, ARGB, REAL, BOOL, WrapMode, GpLineGradient**))                                               \
  X(GdipSetLineGammaCorrection, Status, (GpLineGradient*, BOOL))                                                       \
  X(GdipSetLinePresetBlend, Status, (GpLineGradient*, const ARGB*, const REAL*, INT))                                  \
  X(GdipCreatePathGradientFromPath, Status, (const GpPath*, GpPathGradient**))                                         \
  X(GdipSetPathGradientWrapMode, Status, (GpPathGradient*, WrapMode))                                                  \
  X(GdipSetPathGradientGammaCorrection, Status, (GpPathGradient*, BOOL))                                               \
  X(GdipSetPathGradientPresetBlend, Status, (GpPathGradient*, const ARGB*, const REAL*, INT))                          \
  X(GdipGetPathGradientCenterColor, Status, (GpPathGradient*, ARGB*))                                                  \
  X(GdipSetPathGradientCenterColor, Status, (GpPathGradient*, ARGB))                                                   \
  X(GdipGetPathGradientPointCount, Status, (GpPathGradient*, INT*))                                                    \
  X(GdipGetPathGradientCenterPoint, Status, (GpPathGradient*, GpPointF*))                                              \
  X(GdipSetPathGradientCenterPoint, Status, (GpPathGradient*, const GpPointF*))                                        \
  X(GdipGetPathGradientCenterPointI, Status, (GpPathGradient*, GpPoint*))                                              \
  X(GdipSetPathGradientCenterPointI, Status, (GpPathGradient*, const GpPoint*))                                        \
  X(GdipGetPathGradientSurroundColorCount, Status, (GpPathGradient*, INT*))                                            \
  X(GdipGetPathGradientSurroundColorsWithCount, Status, (GpPathGradient*, ARGB*, INT*))                                \
  X(GdipSetPathGradientSurroundColorsWithCount, Status, (GpPathGradient*, const ARGB*, INT*))                          \
  X(GdipCreateTexture, Status, (GpImage*, WrapMode, GpTexture**))                                                      \
  X(GdipCreateTexture2, Status, (GpImage*, WrapMode, REAL, REAL, REAL, REAL, GpTexture**))                             \
  X(GdipCreateTexture2I, Status, (GpImage*, WrapMode, INT, INT, INT, INT, GpTexture**))                                \
  X(GdipCreateTextureIA, Status, (GpImage*, const GpImageAttributes*, REAL, REAL, REAL, REAL, GpTexture**))            \
  X(GdipCreateTextureIAI, Status, (GpImage*, const GpImageAttributes*, INT, INT, INT, INT, GpTexture**))               \
  X(GdipSetTextureTransform, Status, (GpTexture*, const GpMatrix*))                                                    \
  X(GdipGetTextureTransform, Status, (GpTexture*, GpMatrix*))                                                          \
  X(GdipMultiplyTextureTransform, Status, (GpTexture*, const GpMatrix*, MatrixOrder))                                  \
  X(GdipResetTextureTransform, Status, (GpTexture*))                                                                   \
  X(GdipTranslateTextureTransform, Status, (GpTexture*, REAL, REAL, MatrixOrder))                                      \
  X(GdipScaleTextureTransform, Status, (GpTexture*, REAL, REAL, MatrixOrder))                                          \
  X(GdipRotateTextureTransform, Status, (GpTexture*, REAL, MatrixOrder))                                               \
  X(GdipSetTextureWrapMode, Status, (GpTexture*, WrapMode))                                                            \
  X(GdipGetTextureWrapMode, Status, (GpTexture*, WrapMode*))                                                           \
  X(GdipGetTextureImage, Status, (GpTexture*, GpImage**))                                                              \
  /* paths */                                                                                                          \
  X(GdipCreatePath, Status, (FillMode, GpPath**))                                                                      \
  X(GdipDeletePath, Status, (GpPath*))                                                                                 \
  X(GdipResetPath, Status, (GpPath*))                                                                                  \
  X(GdipClosePathFigure, Status, (GpPath*))                                                                            \
  X(GdipAddPathLine, Status, (GpPath*, REAL, REAL, REAL, REAL))                                                        \
  X(GdipAddPathLine2I, Status, (GpPath*, const GpPoint*, INT))                                                         \
  X(GdipAddPathRectangle, Status, (GpPath*, REAL, REAL, REAL, REAL))                                                   \
  X(GdipAddPathRectangleI, Status, (GpPath*, INT, INT, INT, INT))                                                      \
  X(GdipAddPathArc, Status, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL))                                             \
  X(GdipAddPathEllipse, Status, (GpPath*, REAL, REAL, REAL, REAL))                                                     \
  X(GdipAddPathPie, Status, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL))                                             \
  X(GdipAddPathPolygon, Status, (GpPath*, const GpPointF*, INT))                                                       \
  X(GdipAddPathPolygonI, Status, (GpPath*, const GpPoint*, INT))                                                       \
  X(GdipAddPathCurve, Status, (GpPath*, const GpPointF*, INT))                                                         \
  X(GdipAddPathCurveI, Status, (GpPath*, const GpPoint*, INT))                                                         \
  X(GdipAddPathCurve2I, Status, (GpPath*, const GpPoint*, INT, REAL))                                                  \
  X(GdipAddPathBezier, Status, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL))                              \
  X(GdipAddPathString, Status,                                                                                         \
    (GpPath*, const WCHAR*, INT, const GpFontFamily*, INT, REAL, const GpRectF*, const GpStringFormat*))               \
  /* matrices */                                                                                                       \
  X(GdipCreateMatrix, Status, (GpMatrix**))                                                                            \
  X(GdipCreateMatrix2, Status, (REAL, REAL, REAL, REAL, REAL, REAL, GpMatrix**))                                       \
  X(GdipCreateMatrix3, Status, (const GpRectF*, const GpPointF*, GpMatrix**))                                          \
  X(GdipCreateMatrix3I, Status, (const GpRect*, const GpPoint*, GpMatrix**))                                           \
  X(GdipCloneMatrix, Status, (GpMatrix*, GpMatrix**))                                                                  \
  X(GdipDeleteMatrix, Status, (GpMatrix*))                                                                             \
  X(GdipGetMatrixElements, Status, (const GpMatrix*, REAL*))                                                           \
  X(GdipSetMatrixElements, Status, (GpMatrix*, REAL, REAL, REAL, REAL, REAL, REAL))                                    \
  X(GdipMultiplyMatrix, Status, (GpMatrix*, GpMatrix*, MatrixOrder))                                                   \
  X(GdipTranslateMatrix, Status, (GpMatrix*, REAL, REAL, MatrixOrder))                                                 \
  X(GdipScaleMatrix, Status, (GpMatrix*, REAL, REAL, MatrixOrder))                                                     \
  X(GdipRotateMatrix, Status, (GpMatrix*, REAL, MatrixOrder))                                                          \
  X(GdipShearMatrix, Status, (GpMatrix*, REAL, REAL, MatrixOrder))                                                     \
  X(GdipInvertMatrix, Status, (GpMatrix*))                                                                             \
  X(GdipTransformMatrixPoints, Status, (GpMatrix*, GpPointF*, INT))                                                    \
  X(GdipTransformMatrixPointsI, Status, (GpMatrix*, GpPoint*, INT))                                                    \
  X(GdipVectorTransformMatrixPoints, Status, (GpMatrix*, GpPointF*, INT))                                              \
  X(GdipVectorTransformMatrixPointsI, Status, (GpMatrix*, GpPoint*, INT))                                              \
  X(GdipIsMatrixInvertible, Status, (const GpMatrix*, BOOL*))                                                          \
  X(GdipIsMatrixIdentity, Status, (const GpMatrix*, BOOL*))                                                            \
  /* string formats */                                                                                                 \
  X(GdipCreateStringFormat, Status, (INT, LANGID, GpStringFormat**))                                                   \
  X(GdipCloneStringFormat, Status, (const GpStringFormat*, GpStringFormat**))                                          \
  X(GdipDeleteStringFormat, Status, (GpStringFormat*))                                                                 \
  X(GdipSetStringFormatAlign, Status, (GpStringFormat*, StringAlignment))                                              \
  X(GdipGetStringFormatAlign, Status, (GpStringFormat*, StringAlignment*))                                             \
  X(GdipSetStringFormatLineAlign, Status, (GpStringFormat*, StringAlignment))                                          \
  X(GdipGetStringFormatLineAlign, Status, (GpStringFormat*, StringAlignment*))                                         \
  X(GdipSetStringFormatFlags, Status, (GpStringFormat*, INT))                                                          \
  X(GdipGetStringFormatFlags, Status, (GpStringFormat*, INT*))                                                         \
  X(GdipSetStringFormatTrimming, Status, (GpStringFormat*, StringTrimming))                                            \
  X(GdipGetStringFormatTrimming, Status, (GpStringFormat*, StringTrimming*))                                           \
  X(GdipSetStringFormatHotkeyPrefix, Status, (GpStringFormat*, INT))                                                   \
  X(GdipGetStringFormatHotkeyPrefix, Status, (GpStringFormat*, INT*))                                                  \
  /* regions */                                                                                                        \
  X(GdipCreateRegionRect, Status, (const GpRectF*, GpRegion**))                                                        \
  X(GdipCreateRegionPath, Status, (GpPath*, GpRegion**))                                                               \
  X(GdipDeleteRegion, Status, (GpRegion*))                                                                             \
  X(GdipCombineRegionPath, Status, (GpRegion*, GpPath*, CombineMode))                                                  \
  X(GdipCombineRegionRegion, Status, (GpRegion*, GpRegion*, CombineMode))                                              \
  /* fonts */                                                                                                          \
  X(GdipCreateFontFamilyFromName, Status, (const WCHAR*, GpFontCollection*, GpFontFamily**))                           \
  X(GdipCloneFontFamily, Status, (GpFontFamily*, GpFontFamily**))                                                      \
  X(GdipDeleteFontFamily, Status, (GpFontFamily*))                                                                     \
  X(GdipGetFamilyName, Status, (const GpFontFamily*, WCHAR*, LANGID))                                                  \
  X(GdipGetGenericFontFamilySansSerif, Status, (GpFontFamily**))                                                       \
  X(GdipGetGenericFontFamilySerif, Status, (GpFontFamily**))                                                           \
  X(GdipGetGenericFontFamilyMonospace, Status, (GpFontFamily**))                                                       \
  X(GdipNewInstalledFontCollection, Status, (GpFontCollection**))                                                      \
  X(GdipGetFontCollectionFamilyCount, Status, (GpFontCollection*, INT*))                                               \
  X(GdipGetFontCollectionFamilyList, Status, (GpFontCollection*, INT, GpFontFamily**, INT*))                           \
  X(GdipCreateFont, Status, (const GpFontFamily*, REAL, INT, Unit_, GpFont**))                                         \
  X(GdipDeleteFont, Status, (GpFont*))                                                                                 \
  X(GdipGetFontSize, Status, (GpFont*, REAL*))                                                                         \
  X(GdipGetFontStyle, Status, (GpFont*, INT*))                                                                         \
  X(GdipGetFamily, Status, (GpFont*, GpFontFamily**))                                                                  \
  /* images */                                                                                                         \
  X(GdipLoadImageFromFile, Status, (const WCHAR*, GpImage**))                                                          \
  X(GdipLoadImageFromFileICM, Status, (const WCHAR*, GpImage**))                                                       \
  X(GdipLoadImageFromStream, Status, (IStream*, GpImage**))                                                            \
  X(GdipLoadImageFromStreamICM, Status, (IStream*, GpImage**))                                                         \
  X(GdipDisposeImage, Status, (GpImage*))                                                                              \
  X(GdipGetImageWidth, Status, (GpImage*, UINT*))                                                                      \
  X(GdipGetImageHeight, Status, (GpImage*, UINT*))                                                                     \
  X(GdipGetImagePixelFormat, Status, (GpImage*, PixelFormat*))                                                         \
  X(GdipGetImageRawFormat, Status, (GpImage*, GUID*))                                                                  \
  X(GdipGetImageThumbnail, Status, (GpImage*, UINT, UINT, GpImage**, GetThumbnailImageAbort, void*))                   \
  X(GdipSaveImageToFile, Status, (GpImage*, const WCHAR*, const CLSID*, const EncoderParameters*))                     \
  X(GdipSaveImageToStream, Status, (GpImage*, IStream*, const CLSID*, const EncoderParameters*))                       \
  X(GdipSaveAddImage, Status, (GpImage*, GpImage*, const EncoderParameters*))                                          \
  X(GdipImageRotateFlip, Status, (GpImage*, RotateFlipType))                                                           \
  X(GdipGetImageEncodersSize, Status, (UINT*, UINT*))                                                                  \
  X(GdipGetImageEncoders, Status, (UINT, UINT, ImageCodecInfo*))                                                       \
  X(GdipCreateBitmapFromStream, Status, (IStream*, GpBitmap**))                                                        \
  X(GdipCreateBitmapFromStreamICM, Status, (IStream*, GpBitmap**))                                                     \
  X(GdipCreateBitmapFromScan0, Status, (INT, INT, INT, PixelFormat, BYTE*, GpBitmap**))                                \
  X(GdipCreateBitmapFromHBITMAP, Status, (HBITMAP, HPALETTE, GpBitmap**))                                              \
  X(GdipCreateHBITMAPFromBitmap, Status, (GpBitmap*, HBITMAP*, ARGB))                                                  \
  X(GdipBitmapGetPixel, Status, (GpBitmap*, INT, INT, ARGB*))                                                          \
  X(GdipBitmapSetPixel, Status, (GpBitmap*, INT, INT, ARGB))                                                           \
  X(GdipBitmapLockBits, Status, (GpBitmap*, const GpRect*, UINT, PixelFormat, BitmapData*))                            \
  X(GdipBitmapUnlockBits, Status, (GpBitmap*, BitmapData*))                                                            \
  /* image attributes */                                                                                               \
  X(GdipCreateImageAttributes, Status, (GpImageAttributes**))                                                          \
  X(GdipCloneImageAttributes, Status, (const GpImageAttributes*, GpImageAttributes**))                                 \
  X(GdipDisposeImageAttributes, Status, (GpImageAttributes*))                                                          \
  X(GdipSetImageAttributesToIdentity, Status, (GpImageAttributes*, ColorAdjustType))                                   \
  X(GdipResetImageAttributes, Status, (GpImageAttributes*, ColorAdjustType))                                           \
  X(GdipSetImageAttributesColorMatrix, Status,                                                                         \
    (GpImageAttributes*, ColorAdjustType, BOOL, const ColorMatrix*, const ColorMatrix*, ColorMatrixFlags))             \
  X(GdipSetImageAttributesThreshold, Status, (GpImageAttributes*, ColorAdjustType, BOOL, REAL))                        \
  X(GdipSetImageAttributesGamma, Status, (GpImageAttributes*, ColorAdjustType, BOOL, REAL))                            \
  X(GdipSetImageAttributesNoOp, Status, (GpImageAttributes*, ColorAdjustType, BOOL))                                   \
  X(GdipSetImageAttributesColorKeys, Status, (GpImageAttributes*, ColorAdjustType, BOOL, ARGB, ARGB))                  \
  X(GdipSetImageAttributesOutputChannel, Status, (GpImageAttributes*, ColorAdjustType, BOOL, ColorChannelFlags))       \
  X(GdipSetImageAttributesOutputChannelColorProfile, Status,                                                           \
    (GpImageAttributes*, ColorAdjustType, BOOL, const WCHAR*))                                                         \
  X(GdipSetImageAttributesRemapTable, Status, (GpImageAttributes*, ColorAdjustType, BOOL, UINT, const ColorMap*))      \
  X(GdipSetImageAttributesWrapMode, Status, (GpImageAttributes*, WrapMode, ARGB, BOOL))                                \
  X(GdipGetImageAttributesAdjustedPalette, Status, (GpImageAttributes*, ColorPalette*, ColorAdjustType))               \
  /* what the drawing layer's wrappers add */                                                                          \
  X(GdipGetWorldTransform, Status, (GpGraphics*, GpMatrix*))                                                           \
  X(GdipSaveGraphics, Status, (GpGraphics*, UINT*))                                                                    \
  X(GdipRestoreGraphics, Status, (GpGraphics*, UINT))                                                                  \
  X(GdipDrawLines, Status, (GpGraphics*, GpPen*, const GpPointF*, INT))                                                \
  X(GdipDrawPolygon, Status, (GpGraphics*, GpPen*, const GpPointF*, INT))                                              \
  X(GdipSetPenWidth, Status, (GpPen*, REAL))                                                                           \
  X(GdipGetPenWidth, Status, (GpPen*, REAL*))                                                                          \
  X(GdipSetPenColor, Status, (GpPen*, ARGB))                                                                           \
  X(GdipGetPenColor, Status, (GpPen*, ARGB*))                                                                          \
  X(GdipSetPenCustomStartCap, Status, (GpPen*, GpCustomLineCap*))                                                      \
  X(GdipSetPenCustomEndCap, Status, (GpPen*, GpCustomLineCap*))                                                        \
  X(GdipGetPenCustomStartCap, Status, (GpPen*, GpCustomLineCap**))                                                     \
  X(GdipGetPenCustomEndCap, Status, (GpPen*, GpCustomLineCap**))                                                       \
  X(GdipGetImageType, Status, (GpImage*, ImageType*))                                                                  \
  X(GdipStartPathFigure, Status, (GpPath*))                                                                            \
  X(GdipGetPointCount, Status, (GpPath*, INT*))                                                                        \
  X(GdipGetPathData, Status, (GpPath*, GpPathData*))                                                                   \
  X(GdipGetPathWorldBounds, Status, (GpPath*, GpRectF*, const GpMatrix*, const GpPen*))                                \
  X(GdipStringFormatGetGenericDefault, Status, (GpStringFormat**))                                                     \
  X(GdipStringFormatGetGenericTypographic, Status, (GpStringFormat**))                                                 \
  X(GdipCreateCustomLineCap, Status, (GpPath*, GpPath*, INT, REAL, GpCustomLineCap**))                                 \
  X(GdipDeleteCustomLineCap, Status, (GpCustomLineCap*))                                                               \
  X(GdipCloneCustomLineCap, Status, (GpCustomLineCap*, GpCustomLineCap**))                                             \
  X(GdipSetCustomLineCapStrokeCaps, Status, (GpCustomLineCap*, INT, INT))                                              \
  X(GdipGetCustomLineCapStrokeCaps, Status, (GpCustomLineCap*, INT*, INT*))                                            \
  X(GdipSetCustomLineCapStrokeJoin, Status, (GpCustomLineCap*, LineJoin))                                              \
  X(GdipGetCustomLineCapStrokeJoin, Status, (GpCustomLineCap*, LineJoin*))                                             \
  X(GdipSetCustomLineCapBaseCap, Status, (GpCustomLineCap*, INT))                                                      \
  X(GdipGetCustomLineCapBaseCap, Status, (GpCustomLineCap*, INT*))                                                     \
  X(GdipSetCustomLineCapBaseInset, Status, (GpCustomLineCap*, REAL))                                                   \
  X(GdipGetCustomLineCapBaseInset, Status, (GpCustomLineCap*, REAL*))                                                  \
  X(GdipSetCustomLineCapWidthScale, Status, (GpCustomLineCap*, REAL))                                                  \
  X(GdipGetCustomLineCapWidthScale, Status, (GpCustomLineCap*, REAL*))                                                 \
  X(GdipCreateCachedBitmap, Status, (GpBitmap*, GpGraphics*, GpCachedBitmap**))                                        \
  X(GdipDeleteCachedBitmap, Status, (GpCachedBitmap*))                                                                 \
  X(GdipDrawCachedBitmap, Status, (GpGraphics*, GpCachedBitmap*, INT, INT))                                            \
  /* the rest of the wrapper family */                                                                                 \
  X(GdipAddPathArcI, Status, (GpPath*, INT, INT, INT, INT, REAL, REAL))                                                \
  X(GdipAddPathBezierI, Status, (GpPath*, INT, INT, INT, INT, INT, INT, INT, INT))                                     \
  X(GdipAddPathBeziers, Status, (GpPath*, const GpPointF*, INT))                                                       \
  X(GdipAddPathBeziersI, Status, (GpPath*, const GpPoint*, INT))                                                       \
  X(GdipAddPathClosedCurve, Status, (GpPath*, const GpPointF*, INT))                                                   \
  X(GdipAddPathClosedCurve2, Status, (GpPath*, const GpPointF*, INT, REAL))                                            \
  X(GdipAddPathClosedCurve2I, Status, (GpPath*, const GpPoint*, INT, REAL))                                            \
  X(GdipAddPathClosedCurveI, Status, (GpPath*, const GpPoint*, INT))                                                   \
  X(GdipAddPathCurve2, Status, (GpPath*, const GpPointF*, INT, REAL))                                                  \
  X(GdipAddPathCurve3, Status, (GpPath*, const GpPointF*, INT, INT, INT, REAL))                                        \
  X(GdipAddPathCurve3I, Status, (GpPath*, const GpPoint*, INT, INT, INT, REAL))                                        \
  X(GdipAddPathEllipseI, Status, (GpPath*, INT, INT, INT, INT))                                                        \
  X(GdipAddPathLine2, Status, (GpPath*, const GpPointF*, INT))                                                         \
  X(GdipAddPathLineI, Status, (GpPath*, INT, INT, INT, INT))                                                           \
  X(GdipAddPathPath, Status, (GpPath*, const GpPath*, BOOL))                                                           \
  X(GdipAddPathPieI, Status, (GpPath*, INT, INT, INT, INT, REAL, REAL))                                                \
  X(GdipAddPathRectangles, Status, (GpPath*, const GpRectF*, INT))                                                     \
  X(GdipAddPathRectanglesI, Status, (GpPath*, const GpRect*, INT))                                                     \
  X(GdipAddPathStringI, Status,                                                                                        \
    (GpPath*, const WCHAR*, INT, const GpFontFamily*, INT, REAL, const GpRect*, const GpStringFormat*))                \
  X(GdipBeginContainer, Status, (GpGraphics*, const GpRectF*, const GpRectF*, Unit_, UINT*))                           \
  X(GdipBeginContainer2, Status, (GpGraphics*, UINT*))                                                                 \
  X(GdipBeginContainerI, Status, (GpGraphics*, const GpRect*, const GpRect*, Unit_, UINT*))                            \
  X(GdipClearPathMarkers, Status, (GpPath*))                                                                           \
  X(GdipCloneBrush, Status, (GpBrush*, GpBrush**))                                                                     \
  X(GdipCloneFont, Status, (GpFont*, GpFont**))                                                                        \
  X(GdipClonePath, Status, (GpPath*, GpPath**))                                                                        \
  X(GdipClonePen, Status, (GpPen*, GpPen**))                                                                           \
  X(GdipCloneRegion, Status, (GpRegion*, GpRegion**))                                                                  \
  X(GdipClosePathFigures, Status, (GpPath*))                                                                           \
  X(GdipCombineRegionRect, Status, (GpRegion*, const GpRectF*, CombineMode))                                           \
  X(GdipCombineRegionRectI, Status, (GpRegion*, const GpRect*, CombineMode))                                           \
  X(GdipComment, Status, (GpGraphics*, UINT, const BYTE*))                                                             \
  X(GdipCreateFontFromDC, Status, (HDC, GpFont**))                                                                     \
  X(GdipCreateFontFromLogfontA, Status, (HDC, const LOGFONTA*, GpFont**))                                              \
  X(GdipCreateFontFromLogfontW, Status, (HDC, const LOGFONTW*, GpFont**))                                              \
  X(GdipCreateFromHDC2, Status, (HDC, HANDLE, GpGraphics**))                                                           \
  X(GdipCreateFromHWND, Status, (HWND, GpGraphics**))                                                                  \
  X(GdipCreateFromHWNDICM, Status, (HWND, GpGraphics**))                                                               \
  X(GdipCreatePath2, Status, (const GpPointF*, const BYTE*, INT, FillMode, GpPath**))                                  \
  X(GdipCreatePath2I, Status, (const GpPoint*, const BYTE*, INT, FillMode, GpPath**))                                  \
  X(GdipCreateRegion, Status, (GpRegion**))                                                                            \
  X(GdipCreateRegionHrgn, Status, (HRGN, GpRegion**))                                                                  \
  X(GdipCreateRegionRectI, Status, (const GpRect*, GpRegion**))                                                        \
  X(GdipCreateRegionRgnData, Status, (const BYTE*, INT, GpRegion**))                                                   \
  X(GdipDrawArcI, Status, (GpGraphics*, GpPen*, INT, INT, INT, INT, REAL, REAL))                                       \
  X(GdipDrawBezier, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL))                     \
  X(GdipDrawBezierI, Status, (GpGraphics*, GpPen*, INT, INT, INT, INT, INT, INT, INT, INT))                            \
  X(GdipDrawBeziers, Status, (GpGraphics*, GpPen*, const GpPointF*, INT))                                              \
  X(GdipDrawBeziersI, Status, (GpGraphics*, GpPen*, const GpPoint*, INT))                                              \
  X(GdipDrawClosedCurve, Status, (GpGraphics*, GpPen*, const GpPointF*, INT))                                          \
  X(GdipDrawClosedCurve2, Status, (GpGraphics*, GpPen*, const GpPointF*, INT, REAL))                                   \
  X(GdipDrawClosedCurve2I, Status, (GpGraphics*, GpPen*, const GpPoint*, INT, REAL))                                   \
  X(GdipDrawClosedCurveI, Status, (GpGraphics*, GpPen*, const GpPoint*, INT))                                          \
  X(GdipDrawCurve, Status, (GpGraphics*, GpPen*, const GpPointF*, INT))                                                \
  X(GdipDrawCurve2, Status, (GpGraphics*, GpPen*, const GpPointF*, INT, REAL))                                         \
  X(GdipDrawCurve2I, Status, (GpGraphics*, GpPen*, const GpPoint*, INT, REAL))                                         \
  X(GdipDrawCurve3, Status, (GpGraphics*, GpPen*, const GpPointF*, INT, INT, INT, REAL))                               \
  X(GdipDrawCurve3I, Status, (GpGraphics*, GpPen*, const GpPoint*, INT, INT, INT, REAL))                               \
  X(GdipDrawCurveI, Status, (GpGraphics*, GpPen*, const GpPoint*, INT))                                                \
  X(GdipDrawDriverString, Status,                                                                                      \
    (GpGraphics*, const UINT16*, INT, const GpFont*, const GpBrush*, const GpPointF*, INT, const GpMatrix*))           \
  X(GdipDrawImage, Status, (GpGraphics*, GpImage*, REAL, REAL))                                                        \
  X(GdipDrawImagePointRect, Status, (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL, REAL, REAL, Unit_))                \
  X(GdipDrawImagePointRectI, Status, (GpGraphics*, GpImage*, INT, INT, INT, INT, INT, INT, Unit_))                     \
  X(GdipDrawImagePoints, Status, (GpGraphics*, GpImage*, const GpPointF*, INT))                                        \
  X(GdipDrawImagePointsI, Status, (GpGraphics*, GpImage*, const GpPoint*, INT))                                        \
  X(GdipDrawImageRectI, Status, (GpGraphics*, GpImage*, INT, INT, INT, INT))                                           \
  X(GdipDrawLineI, Status, (GpGraphics*, GpPen*, INT, INT, INT, INT))                                                  \
  X(GdipDrawLinesI, Status, (GpGraphics*, GpPen*, const GpPoint*, INT))                                                \
  X(GdipDrawPie, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL))                                    \
  X(GdipDrawPieI, Status, (GpGraphics*, GpPen*, INT, INT, INT, INT, REAL, REAL))                                       \
  X(GdipDrawPolygonI, Status, (GpGraphics*, GpPen*, const GpPoint*, INT))                                              \
  X(GdipDrawRectangleI, Status, (GpGraphics*, GpPen*, INT, INT, INT, INT))                                             \
  X(GdipDrawRectangles, Status, (GpGraphics*, GpPen*, const GpRectF*, INT))                                            \
  X(GdipDrawRectanglesI, Status, (GpGraphics*, GpPen*, const GpRect*, INT))                                            \
  X(GdipEndContainer, Status, (GpGraphics*, UINT))                                                                     \
  X(GdipFillClosedCurve, Status, (GpGraphics*, GpBrush*, const GpPointF*, INT))                                        \
  X(GdipFillClosedCurve2, Status, (GpGraphics*, GpBrush*, const GpPointF*, INT, REAL, FillMode))                       \
  X(GdipFillClosedCurve2I, Status, (GpGraphics*, GpBrush*, const GpPoint*, INT, REAL, FillMode))                       \
  X(GdipFillClosedCurveI, Status, (GpGraphics*, GpBrush*, const GpPoint*, INT))                                        \
  X(GdipFillPie, Status, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL, REAL, REAL))                                  \
  X(GdipFillPieI, Status, (GpGraphics*, GpBrush*, INT, INT, INT, INT, REAL, REAL))                                     \
  X(GdipFillRectangleI, Status, (GpGraphics*, GpBrush*, INT, INT, INT, INT))                                           \
  X(GdipFillRectangles, Status, (GpGraphics*, GpBrush*, const GpRectF*, INT))                                          \
  X(GdipFillRectanglesI, Status, (GpGraphics*, GpBrush*, const GpRect*, INT))                                          \
  X(GdipFillRegion, Status, (GpGraphics*, GpBrush*, GpRegion*))                                                        \
  X(GdipFlattenPath, Status, (GpPath*, GpMatrix*, REAL))                                                               \
  X(GdipGetBrushType, Status, (GpBrush*, BrushType*))                                                                  \
  X(GdipGetCellAscent, Status, (const GpFontFamily*, INT, UINT16*))                                                    \
  X(GdipGetCellDescent, Status, (const GpFontFamily*, INT, UINT16*))                                                   \
  X(GdipGetClip, Status, (GpGraphics*, GpRegion*))                                                                     \
  X(GdipGetClipBounds, Status, (GpGraphics*, GpRectF*))                                                                \
  X(GdipGetClipBoundsI, Status, (GpGraphics*, GpRect*))                                                                \
  X(GdipGetCompositingMode, Status, (GpGraphics*, CompositingMode*))                                                   \
  X(GdipGetDpiX, Status, (GpGraphics*, REAL*))                                                                         \
  X(GdipGetDpiY, Status, (GpGraphics*, REAL*))                                                                         \
  X(GdipGetEmHeight, Status, (const GpFontFamily*, INT, UINT16*))                                                      \
  X(GdipGetFontHeight, Status, (const GpFont*, const GpGraphics*, REAL*))                                              \
  X(GdipGetFontHeightGivenDPI, Status, (const GpFont*, REAL, REAL*))                                                   \
  X(GdipGetFontUnit, Status, (GpFont*, Unit_*))                                                                        \
  X(GdipGetInterpolationMode, Status, (GpGraphics*, INT*))                                                             \
  X(GdipGetLineBlend, Status, (GpBrush*, REAL*, REAL*, INT))                                                           \
  X(GdipGetLineBlendCount, Status, (GpBrush*, INT*))                                                                   \
  X(GdipGetLineColors, Status, (GpBrush*, ARGB*))                                                                      \
  X(GdipGetLineGammaCorrection, Status, (GpBrush*, BOOL*))                                                             \
  X(GdipGetLinePresetBlend, Status, (GpBrush*, ARGB*, REAL*, INT))                                                     \
  X(GdipGetLinePresetBlendCount, Status, (GpBrush*, INT*))                                                             \
  X(GdipGetLineRect, Status, (GpBrush*, GpRectF*))                                                                     \
  X(GdipGetLineRectI, Status, (GpBrush*, GpRect*))                                                                     \
  X(GdipGetLineSpacing, Status, (const GpFontFamily*, INT, UINT16*))                                                   \
  X(GdipGetLineTransform, Status, (GpBrush*, GpMatrix*))                                                               \
  X(GdipGetLineWrapMode, Status, (GpBrush*, WrapMode*))                                                                \
  X(GdipGetLogFontA, Status, (GpFont*, GpGraphics*, LOGFONTA*))                                                        \
  X(GdipGetLogFontW, Status, (GpFont*, GpGraphics*, LOGFONTW*))                                                        \
  X(GdipGetNearestColor, Status, (GpGraphics*, ARGB*))                                                                 \
  X(GdipGetPageScale, Status, (GpGraphics*, REAL*))                                                                    \
  X(GdipGetPageUnit, Status, (GpGraphics*, Unit_*))                                                                    \
  X(GdipGetPathFillMode, Status, (GpPath*, FillMode*))                                                                 \
  X(GdipGetPathLastPoint, Status, (GpPath*, GpPointF*))                                                                \
  X(GdipGetPathPoints, Status, (GpPath*, GpPointF*, INT))                                                              \
  X(GdipGetPathPointsI, Status, (GpPath*, GpPoint*, INT))                                                              \
  X(GdipGetPathTypes, Status, (GpPath*, BYTE*, INT))                                                                   \
  X(GdipGetPathWorldBoundsI, Status, (GpPath*, GpRect*, const GpMatrix*, const GpPen*))                                \
  X(GdipGetPenCompoundArray, Status, (GpPen*, REAL*, INT))                                                             \
  X(GdipGetPenCompoundCount, Status, (GpPen*, INT*))                                                                   \
  X(GdipGetPenDashArray, Status, (GpPen*, REAL*, INT))                                                                 \
  X(GdipGetPenDashCap197819, Status, (GpPen*, INT*))                                                                   \
  X(GdipGetPenDashCount, Status, (GpPen*, INT*))                                                                       \
  X(GdipGetPenDashOffset, Status, (GpPen*, REAL*))                                                                     \
  X(GdipGetPenEndCap, Status, (GpPen*, INT*))                                                                          \
  X(GdipGetPenLineJoin, Status, (GpPen*, LineJoin*))                                                                   \
  X(GdipGetPenMiterLimit, Status, (GpPen*, REAL*))                                                                     \
  X(GdipGetPenMode, Status, (GpPen*, PenAlignment*))                                                                   \
  X(GdipGetPenStartCap, Status, (GpPen*, INT*))                                                                        \
  X(GdipGetPenTransform, Status, (GpPen*, GpMatrix*))                                                                  \
  X(GdipGetPixelOffsetMode, Status, (GpGraphics*, INT*))                                                               \
  X(GdipGetRegionBounds, Status, (GpRegion*, GpGraphics*, GpRectF*))                                                   \
  X(GdipGetRegionBoundsI, Status, (GpRegion*, GpGraphics*, GpRect*))                                                   \
  X(GdipGetRegionData, Status, (GpRegion*, BYTE*, UINT, UINT*))                                                        \
  X(GdipGetRegionDataSize, Status, (GpRegion*, UINT*))                                                                 \
  X(GdipGetRegionHRgn, Status, (GpRegion*, GpGraphics*, HRGN*))                                                        \
  X(GdipGetRegionScans, Status, (GpRegion*, GpRectF*, INT*, GpMatrix*))                                                \
  X(GdipGetRegionScansCount, Status, (GpRegion*, UINT*, GpMatrix*))                                                    \
  X(GdipGetRegionScansI, Status, (GpRegion*, GpRect*, INT*, GpMatrix*))                                                \
  X(GdipGetRenderingOrigin, Status, (GpGraphics*, INT*, INT*))                                                         \
  X(GdipGetStringFormatDigitSubstitution, Status, (const GpStringFormat*, LANGID*, StringDigitSubstitute*))            \
  X(GdipGetStringFormatMeasurableCharacterRangeCount, Status, (const GpStringFormat*, INT*))                           \
  X(GdipGetStringFormatTabStopCount, Status, (const GpStringFormat*, INT*))                                            \
  X(GdipGetStringFormatTabStops, Status, (const GpStringFormat*, INT, REAL*, REAL*))                                   \
  X(GdipGetTextContrast, Status, (GpGraphics*, UINT*))                                                                 \
  X(GdipGetVisibleClipBounds, Status, (GpGraphics*, GpRectF*))                                                         \
  X(GdipGetVisibleClipBoundsI, Status, (GpGraphics*, GpRect*))                                                         \
  X(GdipIsClipEmpty, Status, (GpGraphics*, BOOL*))                                                                     \
  X(GdipIsEmptyRegion, Status, (GpRegion*, GpGraphics*, BOOL*))                                                        \
  X(GdipIsEqualRegion, Status, (GpRegion*, GpRegion*, GpGraphics*, BOOL*))                                             \
  X(GdipIsInfiniteRegion, Status, (GpRegion*, GpGraphics*, BOOL*))                                                     \
  X(GdipIsMatrixEqual, Status, (const GpMatrix*, const GpMatrix*, BOOL*))                                              \
  X(GdipIsOutlineVisiblePathPoint, Status, (GpPath*, REAL, REAL, GpPen*, GpGraphics*, BOOL*))                          \
  X(GdipIsOutlineVisiblePathPointI, Status, (GpPath*, INT, INT, GpPen*, GpGraphics*, BOOL*))                           \
  X(GdipIsStyleAvailable, Status, (const GpFontFamily*, INT, BOOL*))                                                   \
  X(GdipIsVisibleClipEmpty, Status, (GpGraphics*, BOOL*))                                                              \
  X(GdipIsVisiblePathPoint, Status, (GpPath*, REAL, REAL, GpGraphics*, BOOL*))                                         \
  X(GdipIsVisiblePathPointI, Status, (GpPath*, INT, INT, GpGraphics*, BOOL*))                                          \
  X(GdipIsVisiblePoint, Status, (GpGraphics*, REAL, REAL, BOOL*))                                                      \
  X(GdipIsVisiblePointI, Status, (GpGraphics*, INT, INT, BOOL*))                                                       \
  X(GdipIsVisibleRect, Status, (GpGraphics*, REAL, REAL, REAL, REAL, BOOL*))                                           \
  X(GdipIsVisibleRectI, Status, (GpGraphics*, INT, INT, INT, INT, BOOL*))                                              \
  X(GdipIsVisibleRegionPoint, Status, (GpRegion*, REAL, REAL, GpGraphics*, BOOL*))                                     \
  X(GdipIsVisibleRegionPointI, Status, (GpRegion*, INT, INT, GpGraphics*, BOOL*))                                      \
  X(GdipIsVisibleRegionRect, Status, (GpRegion*, REAL, REAL, REAL, REAL, GpGraphics*, BOOL*))                          \
  X(GdipIsVisibleRegionRectI, Status, (GpRegion*, INT, INT, INT, INT, GpGraphics*, BOOL*))                             \
  X(GdipMeasureCharacterRanges, Status,                                                                                \
    (GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*, const GpStringFormat*, INT, GpRegion**))           \
  X(GdipMeasureDriverString, Status,                                                                                   \
    (GpGraphics*, const UINT16*, INT, const GpFont*, const GpPointF*, INT, const GpMatrix*, GpRectF*))                 \
  X(GdipMultiplyLineTransform, Status, (GpBrush*, const GpMatrix*, MatrixOrder))                                       \
  X(GdipMultiplyPenTransform, Status, (GpPen*, const GpMatrix*, MatrixOrder))                                          \
  X(GdipResetLineTransform, Status, (GpBrush*))                                                                        \
  X(GdipResetPenTransform, Status, (GpPen*))                                                                           \
  X(GdipReversePath, Status, (GpPath*))                                                                                \
  X(GdipRotateLineTransform, Status, (GpBrush*, REAL, MatrixOrder))                                                    \
  X(GdipRotatePenTransform, Status, (GpPen*, REAL, MatrixOrder))                                                       \
  X(GdipScaleLineTransform, Status, (GpBrush*, REAL, REAL, MatrixOrder))                                               \
  X(GdipScalePenTransform, Status, (GpPen*, REAL, REAL, MatrixOrder))                                                  \
  X(GdipSetClipGraphics, Status, (GpGraphics*, GpGraphics*, CombineMode))                                              \
  X(GdipSetClipHrgn, Status, (GpGraphics*, HRGN, CombineMode))                                                         \
  X(GdipSetClipRectI, Status, (GpGraphics*, INT, INT, INT, INT, CombineMode))                                          \
  X(GdipSetCompositingMode, Status, (GpGraphics*, CompositingMode))                                                    \
  X(GdipSetEmpty, Status, (GpRegion*))                                                                                 \
  X(GdipSetInfinite, Status, (GpRegion*))                                                                              \
  X(GdipSetInterpolationMode, Status, (GpGraphics*, INT))                                                              \
  X(GdipSetLineBlend, Status, (GpBrush*, const REAL*, const REAL*, INT))                                               \
  X(GdipSetLineColors, Status, (GpBrush*, ARGB, ARGB))                                                                 \
  X(GdipSetLineLinearBlend, Status, (GpBrush*, REAL, REAL))                                                            \
  X(GdipSetLineSigmaBlend, Status, (GpBrush*, REAL, REAL))                                                             \
  X(GdipSetLineTransform, Status, (GpBrush*, const GpMatrix*))                                                         \
  X(GdipSetLineWrapMode, Status, (GpBrush*, WrapMode))                                                                 \
  X(GdipSetPageScale, Status, (GpGraphics*, REAL))                                                                     \
  X(GdipSetPageUnit, Status, (GpGraphics*, Unit_))                                                                     \
  X(GdipSetPathFillMode, Status, (GpPath*, FillMode))                                                                  \
  X(GdipSetPathMarker, Status, (GpPath*))                                                                              \
  X(GdipSetPenCompoundArray, Status, (GpPen*, const REAL*, INT))                                                       \
  X(GdipSetPenDashArray, Status, (GpPen*, const REAL*, INT))                                                           \
  X(GdipSetPenDashCap197819, Status, (GpPen*, INT))                                                                    \
  X(GdipSetPenDashOffset, Status, (GpPen*, REAL))                                                                      \
  X(GdipSetPenLineCap197819, Status, (GpPen*, INT, INT, INT))                                                          \
  X(GdipSetPenLineJoin, Status, (GpPen*, LineJoin))                                                                    \
  X(GdipSetPenMiterLimit, Status, (GpPen*, REAL))                                                                      \
  X(GdipSetPenMode, Status, (GpPen*, PenAlignment))                                                                    \
  X(GdipSetPenStartCap, Status, (GpPen*, INT))                                                                         \
  X(GdipSetPenTransform, Status, (GpPen*, GpMatrix*))                                                                  \
  X(GdipSetPixelOffsetMode, Status, (GpGraphics*, INT))                                                                \
  X(GdipSetRenderingOrigin, Status, (GpGraphics*, INT, INT))                                                           \
  X(GdipSetStringFormatDigitSubstitution, Status, (GpStringFormat*, LANGID, StringDigitSubstitute))                    \
  X(GdipSetStringFormatMeasurableCharacterRanges, Status, (GpStringFormat*, INT, const CharacterRange*))               \
  X(GdipSetStringFormatTabStops, Status, (GpStringFormat*, REAL, INT, const REAL*))                                    \
  X(GdipSetTextContrast, Status, (GpGraphics*, UINT))                                                                  \
  X(GdipTransformPath, Status, (GpPath*, GpMatrix*))                                                                   \
  X(GdipTransformPoints, Status, (GpGraphics*, CoordinateSpace, CoordinateSpace, GpPointF*, INT))                      \
  X(GdipTransformPointsI, Status, (GpGraphics*, CoordinateSpace, CoordinateSpace, GpPoint*, INT))                      \
  X(GdipTransformRegion, Status, (GpRegion*, GpMatrix*))                                                               \
  X(GdipTranslateClip, Status, (GpGraphics*, REAL, REAL))                                                              \
  X(GdipTranslateClipI, Status, (GpGraphics*, INT, INT))                                                               \
  X(GdipTranslateLineTransform, Status, (GpBrush*, REAL, REAL, MatrixOrder))                                           \
  X(GdipTranslatePenTransform, Status, (GpPen*, REAL, REAL, MatrixOrder))                                              \
  X(GdipTranslateRegion, Status, (GpRegion*, REAL, REAL))                                                              \
  X(GdipTranslateRegionI, Status, (GpRegion*, INT, INT))                                                               \
  X(GdipWarpPath, Status, (GpPath*, GpMatrix*, const GpPointF*, INT, REAL, REAL, REAL, REAL, WarpMode, REAL))          \
  X(GdipWidenPath, Status, (GpPath*, GpPen*, GpMatrix*, REAL))                                                         \
  X(GdipWindingModeOutline, Status, (GpPath*, GpMatrix*, REAL))                                                        \
  X(GdipBitmapSetResolution, Status, (GpBitmap*, REAL, REAL))                                                          \
  X(GdipCloneBitmapArea, Status, (REAL, REAL, REAL, REAL, PixelFormat, GpBitmap*, GpBitmap**))                         \
  X(GdipCloneBitmapAreaI, Status, (INT, INT, INT, INT, PixelFormat, GpBitmap*, GpBitmap**))                            \
  X(GdipCloneImage, Status, (GpImage*, GpImage**))                                                                     \
  X(GdipCreateBitmapFromFile, Status, (const WCHAR*, GpBitmap**))                                                      \
  X(GdipCreateBitmapFromFileICM, Status, (const WCHAR*, GpBitmap**))                                                   \
  X(GdipCreateBitmapFromGdiDib, Status, (const BITMAPINFO*, void*, GpBitmap**))                                        \
  X(GdipCreateBitmapFromGraphics, Status, (INT, INT, GpGraphics*, GpBitmap**))                                         \
  X(GdipCreateBitmapFromHICON, Status, (HICON, GpBitmap**))                                                            \
  X(GdipCreateBitmapFromResource, Status, (HINSTANCE, const WCHAR*, GpBitmap**))                                       \
  X(GdipCreateHICONFromBitmap, Status, (GpBitmap*, HICON*))                                                            \
  X(GdipGetAllPropertyItems, Status, (GpImage*, UINT, UINT, PropertyItem*))                                            \
  X(GdipGetEncoderParameterList, Status, (GpImage*, const CLSID*, UINT, EncoderParameters*))                           \
  X(GdipGetEncoderParameterListSize, Status, (GpImage*, const CLSID*, UINT*))                                          \
  X(GdipGetImageBounds, Status, (GpImage*, GpRectF*, Unit_*))                                                          \
  X(GdipGetImageDimension, Status, (GpImage*, REAL*, REAL*))                                                           \
  X(GdipGetImageFlags, Status, (GpImage*, UINT*))                                                                      \
  X(GdipGetImageHorizontalResolution, Status, (GpImage*, REAL*))                                                       \
  X(GdipGetImagePalette, Status, (GpImage*, ColorPalette*, INT))                                                       \
  X(GdipGetImagePaletteSize, Status, (GpImage*, INT*))                                                                 \
  X(GdipGetImageVerticalResolution, Status, (GpImage*, REAL*))                                                         \
  X(GdipGetPropertyCount, Status, (GpImage*, UINT*))                                                                   \
  X(GdipGetPropertyIdList, Status, (GpImage*, UINT, PROPID*))                                                          \
  X(GdipGetPropertyItem, Status, (GpImage*, PROPID, UINT, PropertyItem*))                                              \
  X(GdipGetPropertyItemSize, Status, (GpImage*, PROPID, UINT*))                                                        \
  X(GdipGetPropertySize, Status, (GpImage*, UINT*, UINT*))                                                             \
  X(GdipImageGetFrameCount, Status, (GpImage*, const GUID*, UINT*))                                                    \
  X(GdipImageGetFrameDimensionsCount, Status, (GpImage*, UINT*))                                                       \
  X(GdipImageGetFrameDimensionsList, Status, (GpImage*, GUID*, UINT))                                                  \
  X(GdipImageSelectActiveFrame, Status, (GpImage*, const GUID*, UINT))                                                 \
  X(GdipRemovePropertyItem, Status, (GpImage*, PROPID))                                                                \
  X(GdipSaveAdd, Status, (GpImage*, const EncoderParameters*))                                                         \
  X(GdipSetImagePalette, Status, (GpImage*, const ColorPalette*))                                                      \
  X(GdipSetPropertyItem, Status, (GpImage*, const PropertyItem*))                                                      \
  X(GdipDrawImagePointsRect, Status,                                                                                   \
    (GpGraphics*, GpImage*, const GpPointF*, INT, REAL, REAL, REAL, REAL, Unit_, const GpImageAttributes*,             \
     DrawImageAbort, void*))                                                                                           \
  X(GdipDrawImagePointsRectI, Status,                                                                                  \
    (GpGraphics*, GpImage*, const GpPoint*, INT, INT, INT, INT, INT, Unit_, const GpImageAttributes*, DrawImageAbort,  \
     void*))                                                                                                           \
  X(GdipDrawImageRectRectI, Status,                                                                                    \
    (GpGraphics*, GpImage*, INT, INT, INT, INT, INT, INT, INT, INT, Unit_, const GpImageAttributes*, DrawImageAbort,   \
     void*))

// A long list laid out by hand, a group a line.
// clang-format off
// Every flat-API entry point, in binding order, by group: X(name).
#define QUORVEL_GDIPLUS_ENTRY_NAMES(X) \
  /* memory and start-up */ \
  X(GdipAlloc) X(GdipFree) X(GdiplusStartup) X(GdiplusShutdown) \
  /* paths */ \
  X(GdipCreatePath) X(GdipCreatePath2) X(GdipCreatePath2I) X(GdipClonePath) X(GdipDeletePath) X(GdipResetPath) \
  X(GdipGetPointCount) X(GdipGetPathTypes) X(GdipGetPathPoints) X(GdipGetPathPointsI) X(GdipGetPathFillMode) \
  X(GdipSetPathFillMode) X(GdipGetPathData) X(GdipStartPathFigure) X(GdipClosePathFigure) \
  X(GdipClosePathFigures) X(GdipSetPathMarker) X(GdipClearPathMarkers) X(GdipReversePath) \
  X(GdipGetPathLastPoint) X(GdipAddPathLine) X(GdipAddPathLine2) X(GdipAddPathArc) X(GdipAddPathBezier) \
  X(GdipAddPathBeziers) X(GdipAddPathCurve) X(GdipAddPathCurve2) X(GdipAddPathCurve3) X(GdipAddPathClosedCurve) \
  X(GdipAddPathClosedCurve2) X(GdipAddPathRectangle) X(GdipAddPathRectangles) X(GdipAddPathEllipse) \
  X(GdipAddPathPie) X(GdipAddPathPolygon) X(GdipAddPathPath) X(GdipAddPathString) X(GdipAddPathStringI) \
  X(GdipAddPathLineI) X(GdipAddPathLine2I) X(GdipAddPathArcI) X(GdipAddPathBezierI) X(GdipAddPathBeziersI) \
  X(GdipAddPathCurveI) X(GdipAddPathCurve2I) X(GdipAddPathCurve3I) X(GdipAddPathClosedCurveI) \
  X(GdipAddPathClosedCurve2I) X(GdipAddPathRectangleI) X(GdipAddPathRectanglesI) X(GdipAddPathEllipseI) \
  X(GdipAddPathPieI) X(GdipAddPathPolygonI) X(GdipFlattenPath) X(GdipWindingModeOutline) X(GdipWidenPath) \
  X(GdipWarpPath) X(GdipTransformPath) X(GdipGetPathWorldBounds) X(GdipGetPathWorldBoundsI) \
  X(GdipIsVisiblePathPoint) X(GdipIsVisiblePathPointI) X(GdipIsOutlineVisiblePathPoint) \
  X(GdipIsOutlineVisiblePathPointI) \
  /* path iterators */ \
  X(GdipCreatePathIter) X(GdipDeletePathIter) X(GdipPathIterNextSubpath) X(GdipPathIterNextSubpathPath) \
  X(GdipPathIterNextPathType) X(GdipPathIterNextMarker) X(GdipPathIterNextMarkerPath) X(GdipPathIterGetCount) \
  X(GdipPathIterGetSubpathCount) X(GdipPathIterIsValid) X(GdipPathIterHasCurve) X(GdipPathIterRewind) \
  X(GdipPathIterEnumerate) X(GdipPathIterCopyData) \
  /* matrices */ \
  X(GdipCreateMatrix) X(GdipCreateMatrix2) X(GdipCreateMatrix3) X(GdipCreateMatrix3I) X(GdipCloneMatrix) \
  X(GdipDeleteMatrix) X(GdipSetMatrixElements) X(GdipMultiplyMatrix) X(GdipTranslateMatrix) X(GdipScaleMatrix) \
  X(GdipRotateMatrix) X(GdipShearMatrix) X(GdipInvertMatrix) X(GdipTransformMatrixPoints) \
  X(GdipTransformMatrixPointsI) X(GdipVectorTransformMatrixPoints) X(GdipVectorTransformMatrixPointsI) \
  X(GdipGetMatrixElements) X(GdipIsMatrixInvertible) X(GdipIsMatrixIdentity) X(GdipIsMatrixEqual) \
  /* regions */ \
  X(GdipCreateRegion) X(GdipCreateRegionRect) X(GdipCreateRegionRectI) X(GdipCreateRegionPath) \
  X(GdipCreateRegionRgnData) X(GdipCreateRegionHrgn) X(GdipCloneRegion) X(GdipDeleteRegion) X(GdipSetInfinite) \
  X(GdipSetEmpty) X(GdipCombineRegionRect) X(GdipCombineRegionRectI) X(GdipCombineRegionPath) \
  X(GdipCombineRegionRegion) X(GdipTranslateRegion) X(GdipTranslateRegionI) X(GdipTransformRegion) \
  X(GdipGetRegionBounds) X(GdipGetRegionBoundsI) X(GdipGetRegionHRgn) X(GdipIsEmptyRegion) \
  X(GdipIsInfiniteRegion) X(GdipIsEqualRegion) X(GdipGetRegionDataSize) X(GdipGetRegionData) \
  X(GdipIsVisibleRegionPoint) X(GdipIsVisibleRegionPointI) X(GdipIsVisibleRegionRect) \
  X(GdipIsVisibleRegionRectI) X(GdipGetRegionScansCount) X(GdipGetRegionScans) X(GdipGetRegionScansI) \
  /* brushes: common, hatch, texture, solid, linear gradient, path gradient */ \
  X(GdipCloneBrush) X(GdipDeleteBrush) X(GdipGetBrushType) X(GdipCreateHatchBrush) X(GdipGetHatchStyle) \
  X(GdipGetHatchForegroundColor) X(GdipGetHatchBackgroundColor) X(GdipCreateTexture) X(GdipCreateTexture2) \
  X(GdipCreateTextureIA) X(GdipCreateTexture2I) X(GdipCreateTextureIAI) X(GdipGetTextureTransform) \
  X(GdipSetTextureTransform) X(GdipResetTextureTransform) X(GdipMultiplyTextureTransform) \
  X(GdipTranslateTextureTransform) X(GdipScaleTextureTransform) X(GdipRotateTextureTransform) \
  X(GdipSetTextureWrapMode) X(GdipGetTextureWrapMode) X(GdipGetTextureImage) X(GdipCreateSolidFill) \
  X(GdipSetSolidFillColor) X(GdipGetSolidFillColor) X(GdipCreateLineBrush) X(GdipCreateLineBrushI) \
  X(GdipCreateLineBrushFromRect) X(GdipCreateLineBrushFromRectI) X(GdipCreateLineBrushFromRectWithAngle) \
  X(GdipCreateLineBrushFromRectWithAngleI) X(GdipSetLineColors) X(GdipGetLineColors) X(GdipGetLineRect) \
  X(GdipGetLineRectI) X(GdipSetLineGammaCorrection) X(GdipGetLineGammaCorrection) X(GdipGetLineBlendCount) \
  X(GdipGetLineBlend) X(GdipSetLineBlend) X(GdipGetLinePresetBlendCount) X(GdipGetLinePresetBlend) \
  X(GdipSetLinePresetBlend) X(GdipSetLineSigmaBlend) X(GdipSetLineLinearBlend) X(GdipSetLineWrapMode) \
  X(GdipGetLineWrapMode) X(GdipGetLineTransform) X(GdipSetLineTransform) X(GdipResetLineTransform) \
  X(GdipMultiplyLineTransform) X(GdipTranslateLineTransform) X(GdipScaleLineTransform) \
  X(GdipRotateLineTransform) X(GdipCreatePathGradient) X(GdipCreatePathGradientI) \
  X(GdipCreatePathGradientFromPath) X(GdipGetPathGradientCenterColor) X(GdipSetPathGradientCenterColor) \
  X(GdipGetPathGradientSurroundColorsWithCount) X(GdipSetPathGradientSurroundColorsWithCount) \
  X(GdipGetPathGradientPath) X(GdipSetPathGradientPath) X(GdipGetPathGradientCenterPoint) \
  X(GdipGetPathGradientCenterPointI) X(GdipSetPathGradientCenterPoint) X(GdipSetPathGradientCenterPointI) \
  X(GdipGetPathGradientRect) X(GdipGetPathGradientRectI) X(GdipGetPathGradientPointCount) \
  X(GdipGetPathGradientSurroundColorCount) X(GdipSetPathGradientGammaCorrection) \
  X(GdipGetPathGradientGammaCorrection) X(GdipGetPathGradientBlendCount) X(GdipGetPathGradientBlend) \
  X(GdipSetPathGradientBlend) X(GdipGetPathGradientPresetBlendCount) X(GdipGetPathGradientPresetBlend) \
  X(GdipSetPathGradientPresetBlend) X(GdipSetPathGradientSigmaBlend) X(GdipSetPathGradientLinearBlend) \
  X(GdipGetPathGradientWrapMode) X(GdipSetPathGradientWrapMode) X(GdipGetPathGradientTransform) \
  X(GdipSetPathGradientTransform) X(GdipResetPathGradientTransform) X(GdipMultiplyPathGradientTransform) \
  X(GdipTranslatePathGradientTransform) X(GdipScalePathGradientTransform) X(GdipRotatePathGradientTransform) \
  X(GdipGetPathGradientFocusScales) X(GdipSetPathGradientFocusScales) \
  /* pens */ \
  X(GdipCreatePen1) X(GdipCreatePen2) X(GdipClonePen) X(GdipDeletePen) X(GdipSetPenWidth) X(GdipGetPenWidth) \
  X(GdipSetPenUnit) X(GdipGetPenUnit) X(GdipSetPenLineCap197819) X(GdipSetPenStartCap) X(GdipSetPenEndCap) \
  X(GdipSetPenDashCap197819) X(GdipGetPenStartCap) X(GdipGetPenEndCap) X(GdipGetPenDashCap197819) \
  X(GdipSetPenLineJoin) X(GdipGetPenLineJoin) X(GdipSetPenCustomStartCap) X(GdipGetPenCustomStartCap) \
  X(GdipSetPenCustomEndCap) X(GdipGetPenCustomEndCap) X(GdipSetPenMiterLimit) X(GdipGetPenMiterLimit) \
  X(GdipSetPenMode) X(GdipGetPenMode) X(GdipSetPenTransform) X(GdipGetPenTransform) X(GdipResetPenTransform) \
  X(GdipMultiplyPenTransform) X(GdipTranslatePenTransform) X(GdipScalePenTransform) X(GdipRotatePenTransform) \
  X(GdipSetPenColor) X(GdipGetPenColor) X(GdipSetPenBrushFill) X(GdipGetPenBrushFill) X(GdipGetPenFillType) \
  X(GdipGetPenDashStyle) X(GdipSetPenDashStyle) X(GdipGetPenDashOffset) X(GdipSetPenDashOffset) \
  X(GdipGetPenDashCount) X(GdipSetPenDashArray) X(GdipGetPenDashArray) X(GdipGetPenCompoundCount) \
  X(GdipSetPenCompoundArray) X(GdipGetPenCompoundArray) \
  /* custom line caps and adjustable arrow caps */ \
  X(GdipCreateCustomLineCap) X(GdipDeleteCustomLineCap) X(GdipCloneCustomLineCap) X(GdipGetCustomLineCapType) \
  X(GdipSetCustomLineCapStrokeCaps) X(GdipGetCustomLineCapStrokeCaps) X(GdipSetCustomLineCapStrokeJoin) \
  X(GdipGetCustomLineCapStrokeJoin) X(GdipSetCustomLineCapBaseCap) X(GdipGetCustomLineCapBaseCap) \
  X(GdipSetCustomLineCapBaseInset) X(GdipGetCustomLineCapBaseInset) X(GdipSetCustomLineCapWidthScale) \
  X(GdipGetCustomLineCapWidthScale) X(GdipCreateAdjustableArrowCap) X(GdipSetAdjustableArrowCapHeight) \
  X(GdipGetAdjustableArrowCapHeight) X(GdipSetAdjustableArrowCapWidth) X(GdipGetAdjustableArrowCapWidth) \
  X(GdipSetAdjustableArrowCapMiddleInset) X(GdipGetAdjustableArrowCapMiddleInset) \
  X(GdipSetAdjustableArrowCapFillState) X(GdipGetAdjustableArrowCapFillState) \
  /* images and bitmaps */ \
  X(GdipLoadImageFromStream) X(GdipLoadImageFromFile) X(GdipLoadImageFromStreamICM) X(GdipLoadImageFromFileICM) \
  X(GdipCloneImage) X(GdipDisposeImage) X(GdipSaveImageToFile) X(GdipSaveImageToStream) X(GdipSaveAdd) \
  X(GdipSaveAddImage) X(GdipGetImageGraphicsContext) X(GdipGetImageBounds) X(GdipGetImageDimension) \
  X(GdipGetImageType) X(GdipGetImageWidth) X(GdipGetImageHeight) X(GdipGetImageHorizontalResolution) \
  X(GdipGetImageVerticalResolution) X(GdipGetImageFlags) X(GdipGetImageRawFormat) X(GdipGetImagePixelFormat) \
  X(GdipGetImageThumbnail) X(GdipGetEncoderParameterListSize) X(GdipGetEncoderParameterList) \
  X(GdipImageGetFrameDimensionsCount) X(GdipImageGetFrameDimensionsList) X(GdipImageGetFrameCount) \
  X(GdipImageSelectActiveFrame) X(GdipImageRotateFlip) X(GdipGetImagePalette) X(GdipSetImagePalette) \
  X(GdipGetImagePaletteSize) X(GdipGetPropertyCount) X(GdipGetPropertyIdList) X(GdipGetPropertyItemSize) \
  X(GdipGetPropertyItem) X(GdipGetPropertySize) X(GdipGetAllPropertyItems) X(GdipRemovePropertyItem) \
  X(GdipSetPropertyItem) X(GdipImageForceValidation) X(GdipCreateBitmapFromStream) X(GdipCreateBitmapFromFile) \
  X(GdipCreateBitmapFromStreamICM) X(GdipCreateBitmapFromFileICM) X(GdipCreateBitmapFromScan0) \
  X(GdipCreateBitmapFromGraphics) X(GdipCreateBitmapFromGdiDib) X(GdipCreateBitmapFromHBITMAP) \
  X(GdipCreateHBITMAPFromBitmap) X(GdipCreateBitmapFromHICON) X(GdipCreateHICONFromBitmap) \
  X(GdipCreateBitmapFromResource) X(GdipCloneBitmapArea) X(GdipCloneBitmapAreaI) X(GdipBitmapLockBits) \
  X(GdipBitmapUnlockBits) X(GdipBitmapGetPixel) X(GdipBitmapSetPixel) X(GdipBitmapSetResolution) \
  /* image attributes */ \
  X(GdipCreateImageAttributes) X(GdipCloneImageAttributes) X(GdipDisposeImageAttributes) \
  X(GdipSetImageAttributesToIdentity) X(GdipResetImageAttributes) X(GdipSetImageAttributesColorMatrix) \
  X(GdipSetImageAttributesThreshold) X(GdipSetImageAttributesGamma) X(GdipSetImageAttributesNoOp) \
  X(GdipSetImageAttributesColorKeys) X(GdipSetImageAttributesOutputChannel) \
  X(GdipSetImageAttributesOutputChannelColorProfile) X(GdipSetImageAttributesRemapTable) \
  X(GdipSetImageAttributesWrapMode) X(GdipSetImageAttributesICMMode) X(GdipGetImageAttributesAdjustedPalette) \
  /* graphics: creation, state, transforms, drawing, filling, images, clipping, containers */ \
  X(GdipFlush) X(GdipCreateFromHDC) X(GdipCreateFromHDC2) X(GdipCreateFromHWND) X(GdipCreateFromHWNDICM) \
  X(GdipDeleteGraphics) X(GdipGetDC) X(GdipReleaseDC) X(GdipSetCompositingMode) X(GdipGetCompositingMode) \
  X(GdipSetRenderingOrigin) X(GdipGetRenderingOrigin) X(GdipSetCompositingQuality) X(GdipGetCompositingQuality) \
  X(GdipSetSmoothingMode) X(GdipGetSmoothingMode) X(GdipSetPixelOffsetMode) X(GdipGetPixelOffsetMode) \
  X(GdipSetTextRenderingHint) X(GdipGetTextRenderingHint) X(GdipSetTextContrast) X(GdipGetTextContrast) \
  X(GdipSetInterpolationMode) X(GdipGetInterpolationMode) X(GdipSetWorldTransform) X(GdipResetWorldTransform) \
  X(GdipMultiplyWorldTransform) X(GdipTranslateWorldTransform) X(GdipScaleWorldTransform) \
  X(GdipRotateWorldTransform) X(GdipGetWorldTransform) X(GdipResetPageTransform) X(GdipGetPageUnit) \
  X(GdipGetPageScale) X(GdipSetPageUnit) X(GdipSetPageScale) X(GdipGetDpiX) X(GdipGetDpiY) \
  X(GdipTransformPoints) X(GdipTransformPointsI) X(GdipGetNearestColor) X(GdipCreateHalftonePalette) \
  X(GdipDrawLine) X(GdipDrawLineI) X(GdipDrawLines) X(GdipDrawLinesI) X(GdipDrawArc) X(GdipDrawArcI) \
  X(GdipDrawBezier) X(GdipDrawBezierI) X(GdipDrawBeziers) X(GdipDrawBeziersI) X(GdipDrawRectangle) \
  X(GdipDrawRectangleI) X(GdipDrawRectangles) X(GdipDrawRectanglesI) X(GdipDrawEllipse) X(GdipDrawEllipseI) \
  X(GdipDrawPie) X(GdipDrawPieI) X(GdipDrawPolygon) X(GdipDrawPolygonI) X(GdipDrawPath) X(GdipDrawCurve) \
  X(GdipDrawCurveI) X(GdipDrawCurve2) X(GdipDrawCurve2I) X(GdipDrawCurve3) X(GdipDrawCurve3I) \
  X(GdipDrawClosedCurve) X(GdipDrawClosedCurveI) X(GdipDrawClosedCurve2) X(GdipDrawClosedCurve2I) \
  X(GdipGraphicsClear) X(GdipFillRectangle) X(GdipFillRectangleI) X(GdipFillRectangles) X(GdipFillRectanglesI) \
  X(GdipFillPolygon) X(GdipFillPolygonI) X(GdipFillPolygon2) X(GdipFillPolygon2I) X(GdipFillEllipse) \
  X(GdipFillEllipseI) X(GdipFillPie) X(GdipFillPieI) X(GdipFillPath) X(GdipFillClosedCurve) \
  X(GdipFillClosedCurveI) X(GdipFillClosedCurve2) X(GdipFillClosedCurve2I) X(GdipFillRegion) X(GdipDrawImage) \
  X(GdipDrawImageI) X(GdipDrawImageRect) X(GdipDrawImageRectI) X(GdipDrawImagePoints) X(GdipDrawImagePointsI) \
  X(GdipDrawImagePointRect) X(GdipDrawImagePointRectI) X(GdipDrawImageRectRect) X(GdipDrawImageRectRectI) \
  X(GdipDrawImagePointsRect) X(GdipDrawImagePointsRectI) X(GdipSetClipGraphics) X(GdipSetClipRect) \
  X(GdipSetClipRectI) X(GdipSetClipPath) X(GdipSetClipRegion) X(GdipSetClipHrgn) X(GdipResetClip) \
  X(GdipTranslateClip) X(GdipTranslateClipI) X(GdipGetClip) X(GdipGetClipBounds) X(GdipGetClipBoundsI) \
  X(GdipIsClipEmpty) X(GdipGetVisibleClipBounds) X(GdipGetVisibleClipBoundsI) X(GdipIsVisibleClipEmpty) \
  X(GdipIsVisiblePoint) X(GdipIsVisiblePointI) X(GdipIsVisibleRect) X(GdipIsVisibleRectI) X(GdipSaveGraphics) \
  X(GdipRestoreGraphics) X(GdipBeginContainer) X(GdipBeginContainerI) X(GdipBeginContainer2) \
  X(GdipEndContainer) \
  /* metafiles */ \
  X(GdipGetMetafileHeaderFromWmf) X(GdipGetMetafileHeaderFromEmf) X(GdipGetMetafileHeaderFromFile) \
  X(GdipGetMetafileHeaderFromStream) X(GdipGetMetafileHeaderFromMetafile) X(GdipGetHemfFromMetafile) \
  X(GdipCreateStreamOnFile) X(GdipCreateMetafileFromWmf) X(GdipCreateMetafileFromEmf) \
  X(GdipCreateMetafileFromFile) X(GdipCreateMetafileFromWmfFile) X(GdipCreateMetafileFromStream) \
  X(GdipRecordMetafile) X(GdipRecordMetafileI) X(GdipRecordMetafileFileName) X(GdipRecordMetafileFileNameI) \
  X(GdipRecordMetafileStream) X(GdipRecordMetafileStreamI) X(GdipSetMetafileDownLevelRasterizationLimit) \
  X(GdipGetMetafileDownLevelRasterizationLimit) \
  /* codecs */ \
  X(GdipGetImageDecodersSize) X(GdipGetImageDecoders) X(GdipGetImageEncodersSize) X(GdipGetImageEncoders) \
  /* metafile comment */ \
  X(GdipComment) \
  /* font families, fonts and font collections */ \
  X(GdipCreateFontFamilyFromName) X(GdipDeleteFontFamily) X(GdipCloneFontFamily) \
  X(GdipGetGenericFontFamilySansSerif) X(GdipGetGenericFontFamilySerif) X(GdipGetGenericFontFamilyMonospace) \
  X(GdipGetFamilyName) X(GdipIsStyleAvailable) X(GdipFontCollectionEnumerable) X(GdipFontCollectionEnumerate) \
  X(GdipGetEmHeight) X(GdipGetCellAscent) X(GdipGetCellDescent) X(GdipGetLineSpacing) X(GdipCreateFontFromDC) \
  X(GdipCreateFontFromLogfontA) X(GdipCreateFontFromLogfontW) X(GdipCreateFont) X(GdipCloneFont) \
  X(GdipDeleteFont) X(GdipGetFamily) X(GdipGetFontStyle) X(GdipGetFontSize) X(GdipGetFontUnit) \
  X(GdipGetFontHeight) X(GdipGetFontHeightGivenDPI) X(GdipGetLogFontA) X(GdipGetLogFontW) \
  X(GdipNewInstalledFontCollection) X(GdipNewPrivateFontCollection) X(GdipDeletePrivateFontCollection) \
  X(GdipGetFontCollectionFamilyCount) X(GdipGetFontCollectionFamilyList) X(GdipPrivateAddFontFile) \
  X(GdipPrivateAddMemoryFont) \
  /* text drawing and measuring */ \
  X(GdipDrawString) X(GdipMeasureString) X(GdipMeasureCharacterRanges) X(GdipDrawDriverString) \
  X(GdipMeasureDriverString) \
  /* string formats */ \
  X(GdipCreateStringFormat) X(GdipStringFormatGetGenericDefault) X(GdipStringFormatGetGenericTypographic) \
  X(GdipDeleteStringFormat) X(GdipCloneStringFormat) X(GdipSetStringFormatFlags) X(GdipGetStringFormatFlags) \
  X(GdipSetStringFormatAlign) X(GdipGetStringFormatAlign) X(GdipSetStringFormatLineAlign) \
  X(GdipGetStringFormatLineAlign) X(GdipSetStringFormatTrimming) X(GdipGetStringFormatTrimming) \
  X(GdipSetStringFormatHotkeyPrefix) X(GdipGetStringFormatHotkeyPrefix) X(GdipSetStringFormatTabStops) \
  X(GdipGetStringFormatTabStops) X(GdipGetStringFormatTabStopCount) X(GdipSetStringFormatDigitSubstitution) \
  X(GdipGetStringFormatDigitSubstitution) X(GdipGetStringFormatMeasurableCharacterRangeCount) \
  X(GdipSetStringFormatMeasurableCharacterRanges) \
  /* cached bitmaps */ \
  X(GdipCreateCachedBitmap) X(GdipDeleteCachedBitmap) X(GdipDrawCachedBitmap) \
  /* metafile conversion */ \
  X(GdipEmfToWmfBits)
// clang-format on

// One entry point: called like the function; answers a failure status (or
// nullptr) when the function is not there.
template <class Signature>
class TGdipEntry;
template <class R, class... A>
class TGdipEntry<R(A...)> {
public:
  using Pointer = R(WINAPI*)(A...);
  R operator()(A... Args) const {
    if (FProc) return FProc(Args...);
    if constexpr (std::is_same_v<R, Status>)
      return FMissing;
    else if constexpr (!std::is_void_v<R>)
      return R{};
  }
  bool Bound() const { return FProc != nullptr; }
  void Bind(FARPROC Proc, Status Missing) {
    FProc = reinterpret_cast<Pointer>(reinterpret_cast<void*>(Proc));
    FMissing = Missing;
  }
  void Unbind(Status Missing) {
    FProc = nullptr;
    FMissing = Missing;
  }

private:
  Pointer FProc = nullptr;
  Status FMissing = GdiplusNotInitialized;
};

class TGdiPlusApi {
public:
#define QUORVEL_GDIPLUS_MEMBER(Name, Result, Params) TGdipEntry<Result Params> Name;
  QUORVEL_GDIPLUS_FUNCTIONS(QUORVEL_GDIPLUS_MEMBER)
#undef QUORVEL_GDIPLUS_MEMBER

  // Fills every typed entry point from Library (nullptr: empties them, each
  // then answering GdiplusNotInitialized). The library stays the caller's.
  void BindFrom(HMODULE Library);
  void UnbindAll();
  // Whether gdiplus.dll was found.
  bool Loaded() const { return FLibrary != nullptr; }
  // The entry points gdiplus.dll does not export (empty when all are there).
  const std::vector<const char*>& MissingFunctions() const { return FMissing; }
  // Whether GDI+ is started and may draw; the status of the start-up.
  bool Started() const { return FStarted; }
  Status StartupStatus() const { return FStartupStatus; }

private:
  friend class TGdiPlusSession;
  void Load();
  void Unload();
  HMODULE FLibrary = nullptr;
  std::vector<const char*> FMissing;
  bool FStarted = false;
  Status FStartupStatus = GdiplusNotInitialized;
};

// The binding, loaded and started on first use; shut down (with the token
// its start-up returned) when the program ends. Every entry point is usable
// through it: GdiPlus().GdipCreatePen1(...).
const TGdiPlusApi& GdiPlus();
// Whether GDI+ could be started (loads and starts it when not done yet).
inline bool GdiPlusReady() { return GdiPlus().Started(); }

// The binding the GDI+ wrapper family calls through: each wrapper keeps the
// one in force on its thread when it was made. The program's binding
// (GdiPlus()) unless a scope below names another, such as the chart drawing
// layer's own.
const TGdiPlusApi& CurrentGdiPlusApi();
class TGdiPlusApiScope {
public:
  explicit TGdiPlusApiScope(const TGdiPlusApi& Api);
  ~TGdiPlusApiScope();
  TGdiPlusApiScope(const TGdiPlusApiScope&) = delete;
  TGdiPlusApiScope& operator=(const TGdiPlusApiScope&) = delete;

private:
  const TGdiPlusApi* FPrevious;
};
