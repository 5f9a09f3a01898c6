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
  Ok, GenericError, InvalidParameter, OutOfMemory, ObjectBusy, InsufficientBuffer, NotImplemented, Win32Error,
  WrongState, Aborted, FileNotFound, ValueOverflow, AccessDenied, UnknownImageFormat, FontFamilyNotFound,
  FontStyleNotFound, NotTrueTypeFont, UnsupportedGdiplusVersion, GdiplusNotInitialized, PropertyNotFound,
  PropertyNotSupported
};
enum FillMode : INT { FillModeAlternate, FillModeWinding };
enum Unit_ : INT { UnitWorld, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };
enum HatchStyle : INT {
  HatchStyleHorizontal, HatchStyleVertical, HatchStyleForwardDiagonal, HatchStyleBackwardDiagonal, HatchStyleCross,
  HatchStyleDiagonalCross, HatchStyle05Percent, HatchStyle10Percent, HatchStyle20Percent, HatchStyle25Percent,
  HatchStyle30Percent, HatchStyle40Percent, HatchStyle50Percent, HatchStyle60Percent, HatchStyle70Percent,
  HatchStyle75Percent, HatchStyle80Percent, HatchStyle90Percent, HatchStyleLightDownwardDiagonal,
  HatchStyleLightUpwardDiagonal, HatchStyleDarkDownwardDiagonal, HatchStyleDarkUpwardDiagonal,
  HatchStyleWideDownwardDiagonal, HatchStyleWideUpwardDiagonal, HatchStyleLightVertical, HatchStyleLightHorizontal,
  HatchStyleNarrowVertical, HatchStyleNarrowHorizontal, HatchStyleDarkVertical, HatchStyleDarkHorizontal,
  HatchStyleDashedDownwardDiagonal, HatchStyleDashedUpwardDiagonal, HatchStyleDashedHorizontal,
  HatchStyleDashedVertical, HatchStyleSmallConfetti, HatchStyleLargeConfetti, HatchStyleZigZag, HatchStyleWave,
  HatchStyleDiagonalBrick, HatchStyleHorizontalBrick, HatchStyleWeave, HatchStylePlaid, HatchStyleDivot,
  HatchStyleDottedGrid, HatchStyleDottedDiamond, HatchStyleShingle, HatchStyleTrellis, HatchStyleSphere,
  HatchStyleSmallGrid, HatchStyleSmallCheckerBoard, HatchStyleLargeCheckerBoard, HatchStyleOutlinedDiamond,
  HatchStyleSolidDiamond, HatchStyleTotal
};
enum DashStyle : INT { DashStyleSolid, DashStyleDash, DashStyleDot, DashStyleDashDot, DashStyleDashDotDot, DashStyleCustom };
enum WrapMode : INT { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum LinearGradientMode : INT {
  LinearGradientModeHorizontal, LinearGradientModeVertical, LinearGradientModeForwardDiagonal,
  LinearGradientModeBackwardDiagonal
};
enum CombineMode : INT {
  CombineModeReplace, CombineModeIntersect, CombineModeUnion, CombineModeXor, CombineModeExclude, CombineModeComplement
};
enum MatrixOrder : INT { MatrixOrderPrepend, MatrixOrderAppend };
enum ColorMatrixFlags : INT { ColorMatrixFlagsDefault, ColorMatrixFlagsSkipGrays, ColorMatrixFlagsAltGray };
enum ColorChannelFlags : INT { ColorChannelFlagsC, ColorChannelFlagsM, ColorChannelFlagsY, ColorChannelFlagsK, ColorChannelFlagsLast };
enum TextRenderingHint : INT {
  TextRenderingHintSystemDefault, TextRenderingHintSingleBitPerPixelGridFit, TextRenderingHintSingleBitPerPixel,
  TextRenderingHintAntiAliasGridFit, TextRenderingHintAntiAlias, TextRenderingHintClearTypeGridFit
};
enum StringAlignment : INT { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
enum StringTrimming : INT {
  StringTrimmingNone, StringTrimmingCharacter, StringTrimmingWord, StringTrimmingEllipsisCharacter,
  StringTrimmingEllipsisWord, StringTrimmingEllipsisPath
};
enum HotkeyPrefix : INT { HotkeyPrefixNone, HotkeyPrefixShow, HotkeyPrefixHide };
enum FlushIntention : INT { FlushIntentionFlush, FlushIntentionSync };
enum RotateFlipType : INT {
  RotateNoneFlipNone, Rotate90FlipNone, Rotate180FlipNone, Rotate270FlipNone, RotateNoneFlipX, Rotate90FlipX,
  Rotate180FlipX, Rotate270FlipX
};
enum ColorAdjustType : INT {
  ColorAdjustTypeDefault, ColorAdjustTypeBitmap, ColorAdjustTypeBrush, ColorAdjustTypePen, ColorAdjustTypeText,
  ColorAdjustTypeCount, ColorAdjustTypeAny
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
#define QUORVEL_GDIPLUS_FUNCTIONS(X)                                                                                    \
  X(GdiplusStartup, Status, (ULONG_PTR*, const GdiplusStartupInput*, GdiplusStartupOutput*))                         \
  X(GdiplusShutdown, void, (ULONG_PTR))                                                                              \
  X(GdipAlloc, void*, (SIZE_T))                                                                                      \
  X(GdipFree, void, (void*))                                                                                         \
  /* graphics */                                                                                                     \
  X(GdipCreateFromHDC, Status, (HDC, GpGraphics**))                                                                  \
  X(GdipGetImageGraphicsContext, Status, (GpImage*, GpGraphics**))                                                   \
  X(GdipDeleteGraphics, Status, (GpGraphics*))                                                                       \
  X(GdipFlush, Status, (GpGraphics*, FlushIntention))                                                                \
  X(GdipGraphicsClear, Status, (GpGraphics*, ARGB))                                                                  \
  X(GdipGetDC, Status, (GpGraphics*, HDC*))                                                                          \
  X(GdipReleaseDC, Status, (GpGraphics*, HDC))                                                                       \
  X(GdipSetTextRenderingHint, Status, (GpGraphics*, TextRenderingHint))                                              \
  X(GdipGetTextRenderingHint, Status, (GpGraphics*, TextRenderingHint*))                                             \
  X(GdipSetSmoothingMode, Status, (GpGraphics*, INT))                                                                \
  X(GdipGetSmoothingMode, Status, (GpGraphics*, INT*))                                                               \
  X(GdipSetCompositingQuality, Status, (GpGraphics*, INT))                                                           \
  X(GdipGetCompositingQuality, Status, (GpGraphics*, INT*))                                                          \
  X(GdipSetWorldTransform, Status, (GpGraphics*, GpMatrix*))                                                         \
  X(GdipResetWorldTransform, Status, (GpGraphics*))                                                                  \
  X(GdipMultiplyWorldTransform, Status, (GpGraphics*, const GpMatrix*, MatrixOrder))                                 \
  X(GdipTranslateWorldTransform, Status, (GpGraphics*, REAL, REAL, MatrixOrder))                                     \
  X(GdipRotateWorldTransform, Status, (GpGraphics*, REAL, MatrixOrder))                                              \
  X(GdipScaleWorldTransform, Status, (GpGraphics*, REAL, REAL, MatrixOrder))                                         \
  X(GdipDrawPath, Status, (GpGraphics*, GpPen*, GpPath*))                                                            \
  X(GdipFillPath, Status, (GpGraphics*, GpBrush*, GpPath*))                                                          \
  X(GdipFillRectangle, Status, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL))                                      \
  X(GdipDrawRectangle, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                                        \
  X(GdipDrawLine, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                                             \
  X(GdipDrawArc, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL))                                  \
  X(GdipDrawEllipse, Status, (GpGraphics*, GpPen*, REAL, REAL, REAL, REAL))                                          \
  X(GdipDrawEllipseI, Status, (GpGraphics*, GpPen*, INT, INT, INT, INT))                                             \
  X(GdipFillEllipse, Status, (GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL))                                        \
  X(GdipFillEllipseI, Status, (GpGraphics*, GpBrush*, INT, INT, INT, INT))                                           \
  X(GdipFillPolygon, Status, (GpGraphics*, GpBrush*, const GpPointF*, INT, FillMode))                                \
  X(GdipFillPolygonI, Status, (GpGraphics*, GpBrush*, const GpPoint*, INT, FillMode))                                \
  X(GdipDrawImageI, Status, (GpGraphics*, GpImage*, INT, INT))                                                       \
  X(GdipDrawImageRect, Status, (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL))                                      \
  X(GdipDrawImageRectRect, Status,                                                                                   \
    (GpGraphics*, GpImage*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL, Unit_, const GpImageAttributes*,         \
     DrawImageAbort, void*))                                                                                         \
  X(GdipSetClipRegion, Status, (GpGraphics*, GpRegion*, CombineMode))                                                \
  X(GdipSetClipPath, Status, (GpGraphics*, GpPath*, CombineMode))                                                    \
  X(GdipSetClipRect, Status, (GpGraphics*, REAL, REAL, REAL, REAL, CombineMode))                                     \
  X(GdipResetClip, Status, (GpGraphics*))                                                                            \
  X(GdipMeasureString, Status,                                                                                       \
    (GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*, const GpStringFormat*, GpRectF*, INT*, INT*))   \
  X(GdipDrawString, Status,                                                                                          \
    (GpGraphics*, const WCHAR*, INT, const GpFont*, const GpRectF*, const GpStringFormat*, const GpBrush*))          \
  /* pens */                                                                                                         \
  X(GdipCreatePen1, Status, (ARGB, REAL, Unit_, GpPen**))                                                            \
  X(GdipCreatePen2, Status, (GpBrush*, REAL, Unit_, GpPen**))                                                        \
  X(GdipDeletePen, Status, (GpPen*))                                                                                 \
  X(GdipSetPenBrushFill, Status, (GpPen*, GpBrush*))                                                                 \
  X(GdipGetPenBrushFill, Status, (GpPen*, GpBrush**))                                                                \
  X(GdipSetPenDashStyle, Status, (GpPen*, DashStyle))                                                                \
  X(GdipGetPenDashStyle, Status, (GpPen*, DashStyle*))                                                               \
  X(GdipSetPenEndCap, Status, (GpPen*, INT))                                                                         \
  X(GdipGetPenFillType, Status, (GpPen*, INT*))                                                                      \
  /* brushes */                                                                                                      \
  X(GdipDeleteBrush, Status, (GpBrush*))                                                                             \
  X(GdipCreateSolidFill, Status, (ARGB, GpSolidFill**))                                                              \
  X(GdipCreateHatchBrush, Status, (HatchStyle, ARGB, ARGB, GpHatch**))                                               \
  X(GdipGetHatchStyle, Status, (GpHatch*, HatchStyle*))                                                              \
  X(GdipGetHatchForegroundColor, Status, (GpHatch*, ARGB*))                                                          \
  X(GdipGetHatchBackgroundColor, Status, (GpHatch*, ARGB*))                                                          \
  X(GdipCreateLineBrush, Status, (const GpPointF*, const GpPointF*, ARGB, ARGB, WrapMode, GpLineGradient**))         \
  X(GdipCreateLineBrushI, Status, (const GpPoint*, const GpPoint*, ARGB, ARGB, WrapMode, GpLineGradient**))          \
  X(GdipCreateLineBrushFromRect, Status,                                                                             \
    (const GpRectF*, ARGB, ARGB, LinearGradientMode, WrapMode, GpLineGradient**))                                    \
  X(GdipCreateLineBrushFromRectI, Status,                                                                            \
    (const GpRect*, ARGB, ARGB, LinearGradientMode, WrapMode, GpLineGradient**))                                     \
  X(GdipCreateLineBrushFromRectWithAngle, Status,                                                                    \
    (const GpRectF*, ARGB, ARGB, REAL, BOOL, WrapMode, GpLineGradient**))                                            \
  X(GdipCreateLineBrushFromRectWithAngleI, Status,                                                                   \
    (const GpRect*, ARGB, ARGB, REAL, BOOL, WrapMode, GpLineGradient**))                                             \
  X(GdipSetLineGammaCorrection, Status, (GpLineGradient*, BOOL))                                                     \
  X(GdipSetLinePresetBlend, Status, (GpLineGradient*, const ARGB*, const REAL*, INT))                                \
  X(GdipCreatePathGradientFromPath, Status, (const GpPath*, GpPathGradient**))                                       \
  X(GdipSetPathGradientWrapMode, Status, (GpPathGradient*, WrapMode))                                                \
  X(GdipSetPathGradientGammaCorrection, Status, (GpPathGradient*, BOOL))                                             \
  X(GdipSetPathGradientPresetBlend, Status, (GpPathGradient*, const ARGB*, const REAL*, INT))                        \
  X(GdipGetPathGradientCenterColor, Status, (GpPathGradient*, ARGB*))                                                \
  X(GdipSetPathGradientCenterColor, Status, (GpPathGradient*, ARGB))                                                 \
  X(GdipGetPathGradientPointCount, Status, (GpPathGradient*, INT*))                                                  \
  X(GdipGetPathGradientCenterPoint, Status, (GpPathGradient*, GpPointF*))                                            \
  X(GdipSetPathGradientCenterPoint, Status, (GpPathGradient*, const GpPointF*))                                      \
  X(GdipGetPathGradientCenterPointI, Status, (GpPathGradient*, GpPoint*))                                            \
  X(GdipSetPathGradientCenterPointI, Status, (GpPathGradient*, const GpPoint*))                                      \
  X(GdipGetPathGradientSurroundColorCount, Status, (GpPathGradient*, INT*))                                          \
  X(GdipGetPathGradientSurroundColorsWithCount, Status, (GpPathGradient*, ARGB*, INT*))                              \
  X(GdipSetPathGradientSurroundColorsWithCount, Status, (GpPathGradient*, const ARGB*, INT*))                        \
  X(GdipCreateTexture, Status, (GpImage*, WrapMode, GpTexture**))                                                    \
  X(GdipCreateTexture2, Status, (GpImage*, WrapMode, REAL, REAL, REAL, REAL, GpTexture**))                           \
  X(GdipCreateTexture2I, Status, (GpImage*, WrapMode, INT, INT, INT, INT, GpTexture**))                              \
  X(GdipCreateTextureIA, Status, (GpImage*, const GpImageAttributes*, REAL, REAL, REAL, REAL, GpTexture**))         \
  X(GdipCreateTextureIAI, Status, (GpImage*, const GpImageAttributes*, INT, INT, INT, INT, GpTexture**))             \
  X(GdipResetTextureTransform, Status, (GpTexture*))                                                                 \
  X(GdipTranslateTextureTransform, Status, (GpTexture*, REAL, REAL, MatrixOrder))                                    \
  X(GdipScaleTextureTransform, Status, (GpTexture*, REAL, REAL, MatrixOrder))                                        \
  X(GdipRotateTextureTransform, Status, (GpTexture*, REAL, MatrixOrder))                                             \
  X(GdipSetTextureWrapMode, Status, (GpTexture*, WrapMode))                                                          \
  X(GdipGetTextureWrapMode, Status, (GpTexture*, WrapMode*))                                                         \
  X(GdipGetTextureImage, Status, (GpTexture*, GpImage**))                                                            \
  /* paths */                                                                                                        \
  X(GdipCreatePath, Status, (FillMode, GpPath**))                                                                    \
  X(GdipDeletePath, Status, (GpPath*))                                                                               \
  X(GdipResetPath, Status, (GpPath*))                                                                                \
  X(GdipClosePathFigure, Status, (GpPath*))                                                                          \
  X(GdipAddPathLine, Status, (GpPath*, REAL, REAL, REAL, REAL))                                                      \
  X(GdipAddPathLine2I, Status, (GpPath*, const GpPoint*, INT))                                                       \
  X(GdipAddPathRectangle, Status, (GpPath*, REAL, REAL, REAL, REAL))                                                 \
  X(GdipAddPathRectangleI, Status, (GpPath*, INT, INT, INT, INT))                                                    \
  X(GdipAddPathArc, Status, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL))                                           \
  X(GdipAddPathEllipse, Status, (GpPath*, REAL, REAL, REAL, REAL))                                                   \
  X(GdipAddPathPie, Status, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL))                                           \
  X(GdipAddPathPolygon, Status, (GpPath*, const GpPointF*, INT))                                                     \
  X(GdipAddPathPolygonI, Status, (GpPath*, const GpPoint*, INT))                                                     \
  X(GdipAddPathCurve, Status, (GpPath*, const GpPointF*, INT))                                                       \
  X(GdipAddPathCurveI, Status, (GpPath*, const GpPoint*, INT))                                                       \
  X(GdipAddPathCurve2I, Status, (GpPath*, const GpPoint*, INT, REAL))                                                \
  X(GdipAddPathBezier, Status, (GpPath*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL))                            \
  X(GdipAddPathString, Status,                                                                                       \
    (GpPath*, const WCHAR*, INT, const GpFontFamily*, INT, REAL, const GpRectF*, const GpStringFormat*))             \
  /* matrices */                                                                                                     \
  X(GdipCreateMatrix, Status, (GpMatrix**))                                                                          \
  X(GdipCreateMatrix2, Status, (REAL, REAL, REAL, REAL, REAL, REAL, GpMatrix**))                                     \
  X(GdipCreateMatrix3, Status, (const GpRectF*, const GpPointF*, GpMatrix**))                                        \
  X(GdipCreateMatrix3I, Status, (const GpRect*, const GpPoint*, GpMatrix**))                                         \
  X(GdipCloneMatrix, Status, (GpMatrix*, GpMatrix**))                                                                \
  X(GdipDeleteMatrix, Status, (GpMatrix*))                                                                           \
  X(GdipGetMatrixElements, Status, (const GpMatrix*, REAL*))                                                         \
  X(GdipSetMatrixElements, Status, (GpMatrix*, REAL, REAL, REAL, REAL, REAL, REAL))                                  \
  X(GdipMultiplyMatrix, Status, (GpMatrix*, GpMatrix*, MatrixOrder))                                                 \
  X(GdipTranslateMatrix, Status, (GpMatrix*, REAL, REAL, MatrixOrder))                                               \
  X(GdipScaleMatrix, Status, (GpMatrix*, REAL, REAL, MatrixOrder))                                                   \
  X(GdipRotateMatrix, Status, (GpMatrix*, REAL, MatrixOrder))                                                        \
  X(GdipShearMatrix, Status, (GpMatrix*, REAL, REAL, MatrixOrder))                                                   \
  X(GdipInvertMatrix, Status, (GpMatrix*))                                                                           \
  X(GdipTransformMatrixPoints, Status, (GpMatrix*, GpPointF*, INT))                                                  \
  X(GdipTransformMatrixPointsI, Status, (GpMatrix*, GpPoint*, INT))                                                  \
  X(GdipVectorTransformMatrixPoints, Status, (GpMatrix*, GpPointF*, INT))                                            \
  X(GdipVectorTransformMatrixPointsI, Status, (GpMatrix*, GpPoint*, INT))                                            \
  X(GdipIsMatrixInvertible, Status, (const GpMatrix*, BOOL*))                                                        \
  X(GdipIsMatrixIdentity, Status, (const GpMatrix*, BOOL*))                                                          \
  /* string formats */                                                                                               \
  X(GdipCreateStringFormat, Status, (INT, LANGID, GpStringFormat**))                                                 \
  X(GdipCloneStringFormat, Status, (const GpStringFormat*, GpStringFormat**))                                        \
  X(GdipDeleteStringFormat, Status, (GpStringFormat*))                                                               \
  X(GdipSetStringFormatAlign, Status, (GpStringFormat*, StringAlignment))                                            \
  X(GdipGetStringFormatAlign, Status, (GpStringFormat*, StringAlignment*))                                           \
  X(GdipSetStringFormatLineAlign, Status, (GpStringFormat*, StringAlignment))                                        \
  X(GdipGetStringFormatLineAlign, Status, (GpStringFormat*, StringAlignment*))                                       \
  X(GdipSetStringFormatFlags, Status, (GpStringFormat*, INT))                                                        \
  X(GdipGetStringFormatFlags, Status, (GpStringFormat*, INT*))                                                       \
  X(GdipSetStringFormatTrimming, Status, (GpStringFormat*, StringTrimming))                                          \
  X(GdipGetStringFormatTrimming, Status, (GpStringFormat*, StringTrimming*))                                         \
  X(GdipSetStringFormatHotkeyPrefix, Status, (GpStringFormat*, INT))                                                 \
  X(GdipGetStringFormatHotkeyPrefix, Status, (GpStringFormat*, INT*))                                                \
  /* regions */                                                                                                      \
  X(GdipCreateRegionRect, Status, (const GpRectF*, GpRegion**))                                                      \
  X(GdipCreateRegionPath, Status, (GpPath*, GpRegion**))                                                             \
  X(GdipDeleteRegion, Status, (GpRegion*))                                                                           \
  X(GdipCombineRegionPath, Status, (GpRegion*, GpPath*, CombineMode))                                                \
  X(GdipCombineRegionRegion, Status, (GpRegion*, GpRegion*, CombineMode))                                            \
  /* fonts */                                                                                                        \
  X(GdipCreateFontFamilyFromName, Status, (const WCHAR*, GpFontCollection*, GpFontFamily**))                         \
  X(GdipCloneFontFamily, Status, (GpFontFamily*, GpFontFamily**))                                                    \
  X(GdipDeleteFontFamily, Status, (GpFontFamily*))                                                                   \
  X(GdipGetFamilyName, Status, (const GpFontFamily*, WCHAR*, LANGID))                                                \
  X(GdipGetGenericFontFamilySansSerif, Status, (GpFontFamily**))                                                     \
  X(GdipGetGenericFontFamilySerif, Status, (GpFontFamily**))                                                         \
  X(GdipGetGenericFontFamilyMonospace, Status, (GpFontFamily**))                                                     \
  X(GdipNewInstalledFontCollection, Status, (GpFontCollection**))                                                    \
  X(GdipGetFontCollectionFamilyCount, Status, (GpFontCollection*, INT*))                                             \
  X(GdipGetFontCollectionFamilyList, Status, (GpFontCollection*, INT, GpFontFamily**, INT*))                         \
  X(GdipCreateFont, Status, (const GpFontFamily*, REAL, INT, Unit_, GpFont**))                                       \
  X(GdipDeleteFont, Status, (GpFont*))                                                                               \
  X(GdipGetFontSize, Status, (GpFont*, REAL*))                                                                       \
  X(GdipGetFontStyle, Status, (GpFont*, INT*))                                                                       \
  X(GdipGetFamily, Status, (GpFont*, GpFontFamily**))                                                                \
  /* images */                                                                                                       \
  X(GdipLoadImageFromFile, Status, (const WCHAR*, GpImage**))                                                        \
  X(GdipLoadImageFromFileICM, Status, (const WCHAR*, GpImage**))                                                     \
  X(GdipLoadImageFromStream, Status, (IStream*, GpImage**))                                                          \
  X(GdipLoadImageFromStreamICM, Status, (IStream*, GpImage**))                                                       \
  X(GdipDisposeImage, Status, (GpImage*))                                                                            \
  X(GdipGetImageWidth, Status, (GpImage*, UINT*))                                                                    \
  X(GdipGetImageHeight, Status, (GpImage*, UINT*))                                                                   \
  X(GdipGetImagePixelFormat, Status, (GpImage*, PixelFormat*))                                                       \
  X(GdipGetImageRawFormat, Status, (GpImage*, GUID*))                                                                \
  X(GdipGetImageThumbnail, Status, (GpImage*, UINT, UINT, GpImage**, GetThumbnailImageAbort, void*))                 \
  X(GdipSaveImageToFile, Status, (GpImage*, const WCHAR*, const CLSID*, const EncoderParameters*))                   \
  X(GdipSaveImageToStream, Status, (GpImage*, IStream*, const CLSID*, const EncoderParameters*))                     \
  X(GdipSaveAddImage, Status, (GpImage*, GpImage*, const EncoderParameters*))                                        \
  X(GdipImageRotateFlip, Status, (GpImage*, RotateFlipType))                                                         \
  X(GdipGetImageEncodersSize, Status, (UINT*, UINT*))                                                                \
  X(GdipGetImageEncoders, Status, (UINT, UINT, ImageCodecInfo*))                                                     \
  X(GdipCreateBitmapFromStream, Status, (IStream*, GpBitmap**))                                                      \
  X(GdipCreateBitmapFromStreamICM, Status, (IStream*, GpBitmap**))                                                   \
  X(GdipCreateBitmapFromScan0, Status, (INT, INT, INT, PixelFormat, BYTE*, GpBitmap**))                              \
  X(GdipCreateBitmapFromHBITMAP, Status, (HBITMAP, HPALETTE, GpBitmap**))                                            \
  X(GdipCreateHBITMAPFromBitmap, Status, (GpBitmap*, HBITMAP*, ARGB))                                                \
  X(GdipBitmapGetPixel, Status, (GpBitmap*, INT, INT, ARGB*))                                                        \
  X(GdipBitmapSetPixel, Status, (GpBitmap*, INT, INT, ARGB))                                                         \
  X(GdipBitmapLockBits, Status, (GpBitmap*, const GpRect*, UINT, PixelFormat, BitmapData*))                          \
  X(GdipBitmapUnlockBits, Status, (GpBitmap*, BitmapData*))                                                          \
  /* image attributes */                                                                                             \
  X(GdipCreateImageAttributes, Status, (GpImageAttributes**))                                                        \
  X(GdipCloneImageAttributes, Status, (const GpImageAttributes*, GpImageAttributes**))                               \
  X(GdipDisposeImageAttributes, Status, (GpImageAttributes*))                                                        \
  X(GdipSetImageAttributesToIdentity, Status, (GpImageAttributes*, ColorAdjustType))                                 \
  X(GdipResetImageAttributes, Status, (GpImageAttributes*, ColorAdjustType))                                         \
  X(GdipSetImageAttributesColorMatrix, Status,                                                                       \
    (GpImageAttributes*, ColorAdjustType, BOOL, const ColorMatrix*, const ColorMatrix*, ColorMatrixFlags))           \
  X(GdipSetImageAttributesThreshold, Status, (GpImageAttributes*, ColorAdjustType, BOOL, REAL))                      \
  X(GdipSetImageAttributesGamma, Status, (GpImageAttributes*, ColorAdjustType, BOOL, REAL))                          \
  X(GdipSetImageAttributesNoOp, Status, (GpImageAttributes*, ColorAdjustType, BOOL))                                 \
  X(GdipSetImageAttributesColorKeys, Status, (GpImageAttributes*, ColorAdjustType, BOOL, ARGB, ARGB))                \
  X(GdipSetImageAttributesOutputChannel, Status, (GpImageAttributes*, ColorAdjustType, BOOL, ColorChannelFlags))    \
  X(GdipSetImageAttributesOutputChannelColorProfile, Status,                                                         \
    (GpImageAttributes*, ColorAdjustType, BOOL, const WCHAR*))                                                       \
  X(GdipSetImageAttributesRemapTable, Status, (GpImageAttributes*, ColorAdjustType, BOOL, UINT, const ColorMap*))    \
  X(GdipSetImageAttributesWrapMode, Status, (GpImageAttributes*, WrapMode, ARGB, BOOL))                              \
  X(GdipGetImageAttributesAdjustedPalette, Status, (GpImageAttributes*, ColorPalette*, ColorAdjustType))

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
    if constexpr (std::is_same_v<R, Status>) return FMissing;
    else if constexpr (!std::is_void_v<R>) return R{};
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
