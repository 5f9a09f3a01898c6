#pragma once
// The drawing facade TVivIzudeGraphics, through which the widget kit paints,
// and the graphics context interface TVivIzudeGraphicsContext that its back
// ends (canvas, GDI+) implement; with the facade's colour services: colour
// names and "#RRGGBB" codes to colours and back, over the named-colour table
// built at start-up, and the colour mixing the widgets' default appearances
// use.
//
// This header is portable: the class-library types the facade draws with
// (canvas, bitmap, graphic, picture, image list) and the fill, stroke and
// font value objects are only named here. The facade's geometry and
// layout rules are portable (this folder); the facade object, which owns
// value objects of the class library, is built on Windows (win/). System
// colour references are resolved by the platform (the current scheme on
// Windows, Windows' default scheme elsewhere).
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "chart/drawing/VivIzudeGraphicsTypes.h"
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

class TVivIzudeGraphicsColorObject : public TObject {
public:
  explicit TVivIzudeGraphicsColorObject(TColor AColor) : FColor(AColor) {}
  TColor Color() const { return FColor; }

private:
  TColor FColor;
};

// The named colours: a lower-case name and its colour object, sorted by name.
using TVivIzudeNamedColors = std::vector<std::pair<String, std::unique_ptr<TVivIzudeGraphicsColorObject>>>;
const TVivIzudeNamedColors& NamedColors();

class TCanvas;
class TBitmap;
class TGraphic;
class TPicture;
class TCustomImageList;
class TVivIzudeGraphicsFill;
class TVivIzudeGraphicsStroke;
class TVivIzudeGraphicsFont;
class TVivIzudeGraphicsSaveState;
class TVivScaledBitmaps;
class TVivIzudeBitmapContainer;
class TVivIzudeGraphics;

inline constexpr TVivIzudeGraphicsSides AllSides{gsLeft, gsTop, gsRight, gsBottom};
inline constexpr TVivIzudeGraphicsCorners AllCorners{gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight};

// ---------------------------------------------------------------- context
// One kind of drawing device. The facade hands every request to one context;
// the widgets use a context directly only to configure it (SetSize,
// SetAntiAliasing, SetShowAcceleratorChar, SetTextQuality) and to call
// Render. Coordinates are 32-bit floats, angles degrees clockwise on screen.
// The rectangle and point modes are carried through and never move a pixel.
// Fill and stroke arguments are always the facade's own Fill and Stroke.
//
// Scenes: EndScene (or Render) finishes a scene. A BeginScene after it starts
// a new scene on the same device: a back end must draw again after it rather
// than skip the requests (the facade calls BeginScene again when drawing
// follows an EndScene without one).
//
// Pictures: DrawBitmap may be called many times with the same graphic (a
// tiled texture, a glyph per button); a back end that converts pictures into
// its own form should convert a given graphic once per context, not per call.
class TVivIzudeGraphicsContext : public TObject {
public:
  // AGraphics: the owning facade (not owned).
  explicit TVivIzudeGraphicsContext(TVivIzudeGraphics* AGraphics) : FGraphics(AGraphics) {}
  TVivIzudeGraphicsContext(const TVivIzudeGraphicsContext&) = delete;
  TVivIzudeGraphicsContext& operator=(const TVivIzudeGraphicsContext&) = delete;

  TVivIzudeGraphics* Graphics() const { return FGraphics; }
  // The facade's active canvas.
  TCanvas* Canvas() const;
  void* NativeCanvas() { return GetNativeCanvas(); }

  // The back end's own drawing object (a TCanvas, a GDI+ graphics).
  virtual void* GetNativeCanvas() = 0;
  // A new, empty back-end path that only this back end's Path* operations
  // build; the back end that made it frees it.
  virtual void* CreatePath() = 0;
  // The colour the back end currently fills with.
  virtual TColor GetFillColor() = 0;
  // The rectangle the text occupies when laid out in ARect from its
  // top-left corner.
  virtual TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) = 0;
  // Prepares text at AAngle; returns the rectangle to lay the text out in.
  virtual TRectF SetTextAngle(const TRectF& ARect, float AAngle) = 0;
  virtual void Render() = 0;
  virtual void PathOpen(void* APath) = 0;
  virtual void PathMoveTo(void* APath, const TPointF& APoint) = 0;
  virtual void PathLineTo(void* APath, const TPointF& APoint) = 0;
  virtual void PathClose(void* APath) = 0;
  virtual void ResetClip() = 0;
  virtual void ResetTransform() = 0;
  virtual void ScaleTransform(float AX, float AY) = 0;
  virtual void RotateTransform(float AAngle) = 0;
  virtual void TranslateTransform(float AX, float AY) = 0;
  virtual void SetTextQuality(TVivIzudeGraphicsTextQuality ATextQuality) = 0;
  virtual void SetAntiAliasing(bool AAntiAliasing) = 0;
  virtual void SetShowAcceleratorChar(bool AShowAcceleratorChar) = 0;
  virtual void SetSize(float AWidth, float AHeight) = 0;
  virtual void ResetTextAngle(float AAngle) = 0;
  virtual void BeginScene() = 0;
  virtual void EndScene() = 0;
  // The focus pen; always a pair around one drawing call.
  virtual void StartSpecialPen() = 0;
  virtual void StopSpecialPen() = 0;
  // Device state (clip, transforms) into and out of AState; pairs nest.
  virtual void RestoreState(TVivIzudeGraphicsSaveState* AState) = 0;
  virtual void SaveState(TVivIzudeGraphicsSaveState* AState) = 0;
  virtual void SetFontSize(Integer ASize) = 0;
  virtual void SetFontColor(TColor AColor) = 0;
  virtual void SetFontName(const String& AName) = 0;
  virtual void SetFont(TVivIzudeGraphicsFont* AFont) = 0;
  virtual void SetFontStyles(TFontStyles AStyle) = 0;
  virtual void SetFill(TVivIzudeGraphicsFill* AFill) = 0;
  virtual void SetFillKind(TVivIzudeGraphicsFillKind AKind) = 0;
  virtual void SetFillColor(TColor AColor) = 0;
  virtual void SetStroke(TVivIzudeGraphicsStroke* AStroke) = 0;
  virtual void SetStrokeKind(TVivIzudeGraphicsStrokeKind AKind) = 0;
  virtual void SetStrokeColor(TColor AColor) = 0;
  virtual void SetStrokeWidth(float AWidth) = 0;
  virtual void DrawLine(TVivIzudeGraphicsStroke* AStroke, const TPointF& AFromPoint, const TPointF& AToPoint,
                        TVivIzudeGraphicsModifyPointMode AModifyPointModeFrom = gcpmRightDown,
                        TVivIzudeGraphicsModifyPointMode AModifyPointModeTo = gcpmRightDown) = 0;
  virtual void DrawPolygon(TVivIzudeGraphicsStroke* AStroke, const TVivIzudeGraphicsPathPolygon& APolygon) = 0;
  virtual void FillPolygon(TVivIzudeGraphicsFill* AFill, const TVivIzudeGraphicsPathPolygon& APolygon) = 0;
  virtual void DrawPolyline(TVivIzudeGraphicsStroke* AStroke, const TVivIzudeGraphicsPathPolygon& APolyline) = 0;
  virtual void FillPolyline(TVivIzudeGraphicsFill* AFill, const TVivIzudeGraphicsPathPolygon& APolyline) = 0;
  virtual void FillArc(TVivIzudeGraphicsFill* AFill, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
                       float ASweepAngle) = 0;
  virtual void DrawArc(TVivIzudeGraphicsStroke* AStroke, const TPointF& ACenter, const TPointF& ARadius,
                       float AStartAngle, float ASweepAngle) = 0;
  virtual void FillRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect,
                        TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) = 0;
  virtual void DrawRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, TVivIzudeGraphicsSides ASides,
                        TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) = 0;
  virtual void FillRoundRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect, float ARounding,
                             TVivIzudeGraphicsCorners ACorners,
                             TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) = 0;
  virtual void DrawRoundRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, float ARounding,
                             TVivIzudeGraphicsCorners ACorners,
                             TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) = 0;
  virtual void FillEllipse(TVivIzudeGraphicsFill* AFill, const TRectF& ARect,
                           TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) = 0;
  virtual void DrawEllipse(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect,
                           TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) = 0;
  // ASrcRect: the part of the picture to draw (the whole picture when it
  // covers it), scaled into ADstRect.
  virtual void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) = 0;
  virtual void ClipRect(const TRectF& ARect) = 0;
  virtual void ClipPath(TVivIzudeGraphicsPath* APath) = 0;
  virtual void DrawFocusPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath, TColor AColor) = 0;
  virtual void DrawFocusRectangle(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
                                  TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) = 0;
  virtual void DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping,
                        TVivIzudeGraphicsTextAlign AHorizontalAlign, TVivIzudeGraphicsTextAlign AVerticalAlign,
                        TVivIzudeGraphicsTextTrimming ATrimming, float AAngle) = 0;
  virtual void DrawPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath,
                        TVivIzudeGraphicsPathDrawMode APathMode = pdmPolygon) = 0;
  virtual void FillPath(TVivIzudeGraphicsFill* AFill, TVivIzudeGraphicsPath* APath,
                        TVivIzudeGraphicsPathDrawMode APathMode = pdmPolygon) = 0;

  // APath as a back-end path (CreatePath) of straight segments, curves
  // sampled at about one point per Flatness pixels (at least 0.05).
  void* ConvertToPath(const TVivIzudeGraphicsPath& APath, float Flatness);

private:
  TVivIzudeGraphics* FGraphics;  // not owned
};

// Makes a back end for a facade.
using TVivIzudeGraphicsContextClass = std::unique_ptr<TVivIzudeGraphicsContext> (*)(TVivIzudeGraphics* AGraphics);
// The canvas back end and the GDI+ back end ("native"); each back-end unit
// defines its function.
TVivIzudeGraphicsContextClass GetGeneralContextClass();
TVivIzudeGraphicsContextClass GetNativeContextClass();

// ---------------------------------------------------------------- facade
// The colours of the own-drawn widgets, 0 at start; SetDefaultGraphicColors
// resets them and the control base rewrites them from the active style.
extern TColor DefaultFocusColor;
extern TColor DefaultTextColor;
extern TColor DefaultBackgroundColor;
extern TColor DefaultBackgroundStrokeColor;
extern TColor DefaultActiveStrokeColor;
extern TColor DefaultActiveFillColor;
extern TColor DefaultDisabledStrokeColor;
extern TColor DefaultDisabledFillColor;
extern TColor DefaultStrokeColor;
extern TColor DefaultFillColor;

// The device-independent drawing object of one painting: the current fill,
// stroke and font, the colours of highlighted and linked text in markup, and
// one context that does the drawing. Setting a value makes it current in the
// context and in the facade's own object; changing Fill(), Stroke() or
// Font() directly pushes the change too. User-interface thread only.
class TVivIzudeGraphics {
public:
  // Draws on ACanvas (not owned) with the canvas back end, or with the GDI+
  // back end when ANative.
  explicit TVivIzudeGraphics(TCanvas* ACanvas, bool ANative = false);
  static std::unique_ptr<TVivIzudeGraphics> CreateNative(TCanvas* ACanvas);
  // Draws on a bitmap of AWidth x AHeight that the facade owns (Bitmap());
  // AHighDPI has no effect.
  static std::unique_ptr<TVivIzudeGraphics> CreateBitmapCanvas(Integer AWidth, Integer AHeight, bool ANative = false,
                                                               bool AHighDPI = true);
  static std::unique_ptr<TVivIzudeGraphics> CreateNativeBitmapCanvas(Integer AWidth, Integer AHeight);
  virtual ~TVivIzudeGraphics();
  TVivIzudeGraphics(const TVivIzudeGraphics&) = delete;
  TVivIzudeGraphics& operator=(const TVivIzudeGraphics&) = delete;

  // Tests replace the back ends: when set, every facade made afterwards gets
  // its context from here, native or not.
  static TVivIzudeGraphicsContextClass ContextClassOverride;
  // How a bitmap container finds a picture by name (nullptr when it holds
  // none); the container unit sets it. Without it no container picture is
  // found.
  static TPicture* (*FindBitmapInContainer)(TVivIzudeBitmapContainer* AContainer, const String& AName);

  // ---- state
  TVivIzudeGraphicsFill* Fill() const { return FFill.get(); }
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  TVivIzudeGraphicsFont* Font() const { return FFont.get(); }
  TBitmap* Bitmap() const { return FBitmap.get(); }
  TCanvas* Canvas() const { return FActiveCanvas; }
  TVivIzudeGraphicsContext* Context() const { return GetContext(); }
  bool Native() const { return FNative; }
  bool OptimizedHTMLDrawing() const { return FOptimizedHTMLDrawing; }
  void SetOptimizedHTMLDrawing(bool Value) { FOptimizedHTMLDrawing = Value; }
  TColor HighlightColor() const { return FHighlightColor; }
  void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
  TColor HighlightTextColor() const { return FHighlightTextColor; }
  void SetHighlightTextColor(TColor Value) { FHighlightTextColor = Value; }
  TFontStyles HighlightFontStyle() const { return FHighlightFontStyles; }
  void SetHighlightFontStyle(TFontStyles Value) { FHighlightFontStyles = Value; }
  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value) { FImageList = Value; }
  TVivIzudeBitmapContainer* BitmapContainer() const { return FBitmapContainer; }
  void SetBitmapContainer(TVivIzudeBitmapContainer* Value) { FBitmapContainer = Value; }
  TColor URLColor() const { return FURLColor; }
  void SetURLColor(TColor Value) { FURLColor = Value; }
  bool URLUnderline() const { return FURLUnderline; }
  void SetURLUnderline(bool Value) { FURLUnderline = Value; }

  // ---- scene
  // Bracket each painting. A drawing request after EndScene without a new
  // BeginScene starts a new scene first, so it is drawn, not dropped.
  virtual void BeginScene();
  virtual void EndScene();
  // Copies Source's fill, stroke and font (one push each); nil does nothing.
  virtual void Assign(const TVivIzudeGraphics* Source);
  virtual void SetFill(TVivIzudeGraphicsFill* AFill);
  virtual void SetStroke(TVivIzudeGraphicsStroke* AStroke);
  virtual void SetFont(TVivIzudeGraphicsFont* AFont);
  virtual void SetFillKind(TVivIzudeGraphicsFillKind AKind);
  virtual void SetFillColor(TColor AColor);
  virtual void SetFontColor(TColor AColor);
  virtual void SetFontName(const String& AName);
  virtual void SetFontSize(Integer ASize);
  virtual void SetFontStyles(TFontStyles AStyle);
  virtual void SetStrokeKind(TVivIzudeGraphicsStrokeKind AKind);
  virtual void SetStrokeColor(TColor AColor);
  virtual void SetStrokeWidth(float AWidth);
  // The caller owns the result until it hands it back to RestoreState,
  // which frees it. ACanvasOnly: only the device state (clip, transforms).
  virtual std::unique_ptr<TVivIzudeGraphicsSaveState> SaveState(bool ACanvasOnly = false);
  virtual void RestoreState(std::unique_ptr<TVivIzudeGraphicsSaveState> AState, bool ACanvasOnly = false);
  void StartSpecialPen();
  void StopSpecialPen();

  // ---- shapes: filled first with Fill, then outlined with Stroke
  void DrawLine(const TPoint& AFromPoint, const TPoint& AToPoint,
                TVivIzudeGraphicsModifyPointMode AModifyPointModeFrom = gcpmRightDown,
                TVivIzudeGraphicsModifyPointMode AModifyPointModeTo = gcpmRightDown);
  virtual void DrawLine(const TPointF& AFromPoint, const TPointF& AToPoint,
                        TVivIzudeGraphicsModifyPointMode AModifyPointModeFrom = gcpmRightDown,
                        TVivIzudeGraphicsModifyPointMode AModifyPointModeTo = gcpmRightDown);
  void DrawFocusRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, TColor AColor = 0,
                          TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawFocusRectangle(const TRect& ARect, TColor AColor = 0,
                          TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawFocusRectangle(const TRectF& ARect, TColor AColor = 0,
                          TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  virtual void DrawFocusRectangle(double ALeft, double ATop, double ARight, double ABottom, TColor AColor = 0,
                                  TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  virtual void DrawFocusPath(TVivIzudeGraphicsPath* APath, TColor AColor = 0);
  virtual void DrawPolygon(const TVivIzudeGraphicsPathPolygon& APolygon);
  virtual void DrawPolyline(const TVivIzudeGraphicsPathPolygon& APolyline);
  virtual void DrawPath(TVivIzudeGraphicsPath* APath, TVivIzudeGraphicsPathDrawMode APathMode = pdmPolygon);
  virtual void DrawArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle);
  void DrawArc(const TPoint& Center, const TPoint& Radius, Integer StartAngle, Integer SweepAngle);
  void DrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
                     TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  virtual void DrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TVivIzudeGraphicsSides ASides,
                             TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRectangle(const TRectF& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRectangle(const TRectF& ARect, TVivIzudeGraphicsSides ASides,
                     TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                     TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, TVivIzudeGraphicsSides ASides,
                     TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRectangle(const TRect& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRectangle(const TRect& ARect, TVivIzudeGraphicsSides ASides,
                     TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  virtual void DrawEllipse(double ALeft, double ATop, double ARight, double ABottom,
                           TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawEllipse(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom,
                   TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawEllipse(const TRectF& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawEllipse(const TRect& ARect, TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  virtual void DrawRoundRectangle(double ALeft, double ATop, double ARight, double ABottom, float ARounding = 8,
                                  TVivIzudeGraphicsCorners ACorners = AllCorners,
                                  TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRoundRectangle(const TRectF& ARect, float ARounding = 8, TVivIzudeGraphicsCorners ACorners = AllCorners,
                          TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRoundRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, Integer ARounding = 8,
                          TVivIzudeGraphicsCorners ACorners = AllCorners,
                          TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);
  void DrawRoundRectangle(const TRect& ARect, Integer ARounding = 8, TVivIzudeGraphicsCorners ACorners = AllCorners,
                          TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone);

  // ---- pictures
  // Where the picture goes inside the rectangle; (0, 0, 0, 0) for none.
  virtual TRectF GetBitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TGraphic* ABitmap,
                                        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                                        bool ACropping = false);
  TRectF GetBitmapDrawRectangle(const TRectF& ARect, TGraphic* ABitmap, bool AAspectRatio = true, bool AStretch = false,
                                bool ACenter = true, bool ACropping = false);
  TRect GetBitmapDrawRectangle(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, TGraphic* ABitmap,
                               bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                               bool ACropping = false);
  TRect GetBitmapDrawRectangle(const TRect& ARect, TGraphic* ABitmap, bool AAspectRatio = true, bool AStretch = false,
                               bool ACenter = true, bool ACropping = false);
  virtual void DrawBitmap(double ALeft, double ATop, double ARight, double ABottom, TGraphic* ABitmap,
                          bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmap(const TRectF& ARect, TGraphic* ABitmap, bool AAspectRatio = true, bool AStretch = false,
                  bool ACenter = true, bool ACropping = false);
  void DrawBitmap(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, TGraphic* ABitmap,
                  bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmap(const TRect& ARect, TGraphic* ABitmap, bool AAspectRatio = true, bool AStretch = false,
                  bool ACenter = true, bool ACropping = false);
  // At the picture's own size with its top-left corner at (ALeft, ATop).
  void DrawBitmap(Integer ALeft, Integer ATop, TGraphic* ABitmap);
  void DrawBitmap(float ALeft, float ATop, TGraphic* ABitmap);
  void DrawBitmap(Integer ALeft, Integer ATop, TPicture* ABitmap);
  void DrawBitmap(float ALeft, float ATop, TPicture* ABitmap);
  // A part of the picture (the source sides) placed like a whole picture.
  virtual void DrawBitmapPart(double ASourceLeft, double ASourceTop, double ASourceRight, double ASourceBottom,
                              double ADestinationLeft, double ADestinationTop, double ADestinationRight,
                              double ADestinationBottom, TGraphic* ABitmap, bool AAspectRatio = true,
                              bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmapPart(const TRectF& ASourceRect, const TRectF& ADestinationRect, TGraphic* ABitmap,
                      bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmapPart(Integer ASourceLeft, Integer ASourceTop, Integer ASourceRight, Integer ASourceBottom,
                      Integer ADestinationLeft, Integer ADestinationTop, Integer ADestinationRight,
                      Integer ADestinationBottom, TGraphic* ABitmap, bool AAspectRatio = true, bool AStretch = false,
                      bool ACenter = true, bool ACropping = false);
  void DrawBitmapPart(const TRect& ASourceRect, const TRect& ADestinationRect, TGraphic* ABitmap,
                      bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
  // A picture of BitmapContainer() by name; nothing for a name it lacks.
  virtual void DrawBitmapWithName(const TRectF& ARect, const String& ABitmapName, bool AApplyScale = true,
                                  float AScale = 0, bool AAspectRatio = true, bool AStretch = false,
                                  bool ACenter = true, bool ACropping = false);
  virtual void DrawBitmapWithName(double ALeft, double ATop, double ARight, double ABottom, const String& ABitmapName,
                                  bool AApplyScale = true, float AScale = 0, bool AAspectRatio = true,
                                  bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmapWithName(const TRect& ARect, const String& ABitmapName, bool AApplyScale = true, float AScale = 0,
                          bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawBitmapWithName(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, const String& ABitmapName,
                          bool AApplyScale = true, float AScale = 0, bool AAspectRatio = true, bool AStretch = false,
                          bool ACenter = true, bool ACropping = false);
  // The picture of ABitmaps for AScale (the display scale when 0 or less).
  virtual void DrawScaledBitmap(const TRectF& ARect, TVivScaledBitmaps* ABitmaps, float AScale = 0,
                                bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                                bool ACropping = false);
  virtual void DrawScaledBitmap(double ALeft, double ATop, double ARight, double ABottom, TVivScaledBitmaps* ABitmaps,
                                float AScale = 0, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                                bool ACropping = false);
  void DrawScaledBitmap(const TRect& ARect, TVivScaledBitmaps* ABitmaps, float AScale = 0, bool AAspectRatio = true,
                        bool AStretch = false, bool ACenter = true, bool ACropping = false);
  void DrawScaledBitmap(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, TVivScaledBitmaps* ABitmaps,
                        float AScale = 0, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
                        bool ACropping = false);

  // ---- clip: until the device state saved before is restored
  virtual void ClipRect(const TRectF& ARect);
  void ClipRect(const TRect& ARect);

  // ---- text; text with markup goes to the markup engine when ASupportHTML
  // Measures one block of text laid out from ARect's top-left corner.
  virtual TRectF CalculateMarkupText(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
                                     bool ASupportHTML = true);
  // Draws (or, with ATestAnchor, only hit-tests at AX, AY) one block of
  // text; the result is the anchor value under the point ("ctrl" for an
  // embedded control), the three strings what the engine reports for the
  // control hit (emptied first).
  virtual String DrawMarkupText(const TRectF& ARect, const String& AText, String& AControlID, String& AControlValue,
                                String& AControlType, bool AWordWrapping = false,
                                TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                                TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                                TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0,
                                float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
                                bool ATestAnchor = false, float AX = -1, float AY = -1);

  virtual TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
                               bool ASupportHTML = true);
  TSizeF CalculateTextSize(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
                           bool ASupportHTML = true);
  float CalculateTextWidth(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
                           bool ASupportHTML = true);
  float CalculateTextHeight(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
                            bool ASupportHTML = true);
  // Without a rectangle: laid out in (0, 0, 10000, 10000), not wrapped,
  // markup supported.
  TRectF CalculateText(const String& AText);
  TSizeF CalculateTextSize(const String& AText);
  float CalculateTextWidth(const String& AText);
  float CalculateTextHeight(const String& AText);
  TRect CalculateText(const String& AText, const TRect& ARect, bool AWordWrapping = false, bool ASupportHTML = true);
  TSize CalculateTextSize(const String& AText, const TRect& ARect, bool AWordWrapping = false,
                          bool ASupportHTML = true);
  Integer CalculateTextWidth(const String& AText, const TRect& ARect, bool AWordWrapping = false,
                             bool ASupportHTML = true);
  Integer CalculateTextHeight(const String& AText, const TRect& ARect, bool AWordWrapping = false,
                              bool ASupportHTML = true);
  TSize CalculateTextSizeInt(const String& AText);
  Integer CalculateTextWidthInt(const String& AText);
  Integer CalculateTextHeightInt(const String& AText);
  TRect CalculateTextInt(const String& AText);

  // From APoint, not wrapped, leading both ways.
  String DrawText(const TPointF& APoint, const String& AText, float AAngle = 0, bool ASupportHTML = true,
                  bool ATestAnchor = false, float AX = -1, float AY = -1);
  String DrawText(const TRectF& ARect, const String& AText, bool AWordWrapping = false,
                  TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                  TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                  TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                  float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                  float AY = -1);
  String DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText,
                  bool AWordWrapping = false, TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                  TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                  TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                  float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                  float AY = -1);
  String DrawText(const TRect& ARect, const String& AText, bool AWordWrapping = false,
                  TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                  TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                  TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                  float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                  float AY = -1);
  String DrawText(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, const String& AText,
                  bool AWordWrapping = false, TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                  TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                  TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                  float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                  float AY = -1);
  virtual String DrawText(const TRectF& ARect, const String& AText, String& AControlID, String& AControlValue,
                          String& AControlType, bool AWordWrapping = false,
                          TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                          TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                          TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                          float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                          float AY = -1);
  String DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText, String& AControlID,
                  String& AControlValue, String& AControlType, bool AWordWrapping = false,
                  TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                  TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                  TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                  float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                  float AY = -1);
  String DrawText(const TRect& ARect, const String& AText, String& AControlID, String& AControlValue,
                  String& AControlType, bool AWordWrapping = false,
                  TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                  TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                  TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                  float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                  float AY = -1);
  String DrawText(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom, const String& AText, String& AControlID,
                  String& AControlValue, String& AControlType, bool AWordWrapping = false,
                  TVivIzudeGraphicsTextAlign AHorizontalAlign = gtaLeading,
                  TVivIzudeGraphicsTextAlign AVerticalAlign = gtaCenter,
                  TVivIzudeGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
                  float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1,
                  float AY = -1);

  // ---- own-drawn widgets; they leave Fill, Stroke and Font changed
  virtual void DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled);
  virtual void DrawButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle = false);
  virtual void DrawCloseButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled,
                               bool AAdaptToStyle = false);
  virtual void DrawExpanderButton(const TRectF& ARect, TVivIzudeGraphicsExpanderState AState, bool ADown, bool AFocused,
                                  bool AEnabled, bool AAdaptToStyle = false);
  virtual void DrawCompactButton(const TRectF& ARect, TVivIzudeGraphicsCompactState AState, bool ADown, bool AFocused,
                                 bool AEnabled, bool AAdaptToStyle = false);
  virtual void DrawDropDownButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter = false,
                                  bool AAdaptToStyle = false);
  virtual void DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled);
  // AFormat takes one floating-point argument, the percentage.
  virtual void DrawProgressBar(const TRectF& ARect, float AValue, const String& AFormat = u"%.0f%%", float AMax = 100,
                               TColor AColor = 0xB48246, TColor ATextColor = 0, bool AShowText = true,
                               bool AEnabled = true);
  void DrawCheckBox(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled);
  void DrawButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle = false);
  void DrawCloseButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle = false);
  void DrawExpanderButton(const TRect& ARect, TVivIzudeGraphicsExpanderState AState, bool ADown, bool AFocused,
                          bool AEnabled, bool AAdaptToStyle = false);
  void DrawCompactButton(const TRect& ARect, TVivIzudeGraphicsCompactState AState, bool ADown, bool AFocused,
                         bool AEnabled, bool AAdaptToStyle = false);
  void DrawDropDownButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter = false,
                          bool AAdaptToStyle = false);
  void DrawRadioButton(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled);
  void DrawProgressBar(const TRect& ARect, float AValue, const String& AFormat = u"%.0f%%", float AMax = 100,
                       TColor AColor = 0xB48246, TColor ATextColor = 0, bool AShowText = true, bool AEnabled = true);

  // ---- class methods
  // A picture of the container by name: with AApplyScale first the name
  // followed by "_" and the scale (AScale, or the display scale when 0 or
  // less); nullptr when none.
  static TPicture* GetBitmapFromBitmapContainer(TVivIzudeBitmapContainer* ABitmapContainer, const String& AName,
                                                bool AApplyScale = false, float AScale = 0);
  static TPicture* GetScaledBitmap(TVivScaledBitmaps* ABitmaps, float AScale = 0,
                                   TVivIzudeBitmapContainer* ABitmapContainer = nullptr);
  // The size at which a picture of AOriginalWidth x AOriginalHeight is drawn
  // into ANewWidth x ANewHeight.
  static void GetAspectSize(float& AWidth, float& AHeight, float AOriginalWidth, float AOriginalHeight, float ANewWidth,
                            float ANewHeight, bool AAspectRatio, bool AStretch, bool ACropping);
  static void DrawSample(TCanvas* ACanvas, const TRectF& ARect);
  static void SetDefaultGraphicColors();
  static bool PointInPath(const TPointF& APoint, const TVivIzudeGraphicsPath& APath);
  static bool PointInPath(const TPoint& APoint, const TVivIzudeGraphicsPath& APath);
  static bool PointInPolygon(const TPointF& APoint, const TVivIzudeGraphicsPathPolygon& APolygon);
  static bool PointInPolygon(const TPoint& APoint, const TVivIzudeGraphicsPathPolygon& APolygon);
  static bool PointInRect(const TPointF& APoint, const TRectF& ARect);
  static bool PointInRect(const TPoint& APoint, const TRect& ARect);
  static Byte GetColorRed(TColor AColor);
  static Byte GetColorGreen(TColor AColor);
  static Byte GetColorBlue(TColor AColor);
  // "#RRGGBB" in upper-case digits, system colours resolved.
  static String ColorToHTML(TColor AColor);
  // "#RRGGBB" (the first character is skipped); hexadecimal digits of
  // either case; a group that is missing or not hexadecimal gives 0.
  static TColor HTMLToColor(const String& AHTML);
  // A colour name ("Red", "clRed", "gcRed"), any case; 0 (black) for a name
  // the table does not hold.
  static TColor TextToColor(const String& AText);
  // AText with the matches of AHilight wrapped in ATag.
  static String ApplyHilight(const String& AText, const String& AHilight, const String& ATag, bool ADoCase);

protected:
  virtual TVivIzudeGraphicsContext* GetContext() const;
  // Re-entry guard of the setters; the value objects' change handlers.
  void FillChanged(TObject* Sender);
  void StrokeChanged(TObject* Sender);
  void FontChanged(TObject* Sender);
  void InitializeDefaults();
  // The texture fill of a shape, over ARect.
  void DrawTexture(const TRectF& ARect, TPicture* ATexture, TVivIzudeGraphicsTextureMode AMode);

private:
  struct TBitmapCanvasTag {};
  struct TGlyphLineF {
    TPointF From, To;
  };
  void FillWithTexture(const TRectF& ABounds, TVivIzudeGraphicsPath* AShape);
  void DrawStyledGlyph(const TRectF& AArea, Integer ASize, float ALineWidth, std::initializer_list<TGlyphLineF> ALines);
  void DrawResourceGlyph(const TRectF& AArea, const String& AName);
  TVivIzudeGraphics(TBitmapCanvasTag, Integer AWidth, Integer AHeight, bool ANative);
  void Construct(bool ANative, float AWidth, float AHeight);
  // Starts a new scene when drawing follows an EndScene.
  TVivIzudeGraphicsContext* DrawingContext();

  TCanvas* FActiveCanvas = nullptr;  // not owned
  Integer FBlockUpdate = 0;
  bool FNative = false;
  bool FSceneEnded = false;
  std::unique_ptr<TVivIzudeGraphicsContext> FContextNative;
  std::unique_ptr<TVivIzudeGraphicsContext> FContextGeneral;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TVivIzudeGraphicsFill> FFill;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke;
  std::unique_ptr<TVivIzudeGraphicsFont> FFont;
  TColor FHighlightColor = 0;
  bool FOptimizedHTMLDrawing = false;
  TColor FHighlightTextColor = 0;
  TFontStyles FHighlightFontStyles;
  bool FURLUnderline = true;
  TColor FURLColor = 0xFF0000;
  TVivIzudeBitmapContainer* FBitmapContainer = nullptr;  // not owned
  TCustomImageList* FImageList = nullptr;                // not owned
};

// ---------------------------------------------------------------- layout
// The facade's rules that need no device, shared by the facade and its
// tests.
namespace VivIzudeGraphicsLayout {
// Text counts as marked up when it holds "</" or "/>", or "<BR>" in any case.
bool IsMarkup(const String& AText);
// The lines of marked-up AText cut at its line-break tags ("<BR>", "<br>",
// "<Br/>", "<BR />", ... in any spelling); AText alone when it has none.
std::vector<String> SplitAtLineBreaks(const String& AText);
// The picture's rectangle inside (L, T, R, B) for a W x H picture.
TRectF BitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom, float AWidth, float AHeight,
                           bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping);
// The block of XSize x YSize placed in ARect by the alignments.
TRectF AlignBlock(const TRectF& ARect, float AXSize, float AYSize, TVivIzudeGraphicsTextAlign AHorizontalAlign,
                  TVivIzudeGraphicsTextAlign AVerticalAlign);
// The tiles of a W x H texture that overlap ATarget, row by row.
std::vector<TRectF> TextureTiles(const TRectF& ATarget, float AWidth, float AHeight);
// The value a progress bar shows: AValue limited to 0..AMax.
float ProgressValue(float AValue, float AMax);
// The bar of a progress bar inside its frame ARect; empty when AMax <= 0.
// It stays inside the frame, so a full bar leaves the right frame line.
TRectF ProgressBarRect(const TRectF& ARect, float AValue, float AMax);
// The area a drop-down glyph of AGlyphWidth is centred in.
TRectF DropDownGlyphArea(const TRectF& ARect, float AGlyphWidth, bool ACenter);
// ARect shrunk by a fifth of its width and height on each side.
TRectF CheckMarkRect(const TRectF& ABox);
// Whether a shape is filled: a colour and a kind, or a texture whatever
// its colour (ATexturesToo False: textures count only with a colour).
bool FillsShape(TVivIzudeGraphicsFillKind AKind, TColor AColor, bool ATexturesToo = true);
bool StrokesShape(TVivIzudeGraphicsStrokeKind AKind, TColor AColor);
// A button's frame and fill: disabled, focused or normal, fixed or from the
// default colour variables (AAdaptToStyle).
struct TButtonColors {
  TColor Frame, Fill;
};
TButtonColors ButtonColors(bool AFocused, bool AEnabled, bool AAdaptToStyle);
// The inner frame: light when pressed, the fill colour (unseen) when not.
TColor ButtonInnerFrame(const TButtonColors& AColors, bool ADown);
// The mark and frame of check boxes and radio buttons, and their ground.
TColor CheckMarkColor(bool AFocused, bool AEnabled);
TColor CheckBoxGround(bool AEnabled);
TColor ProgressBarGround(bool AEnabled);
}  // namespace VivIzudeGraphicsLayout

TColor MakeColor(Byte R, Byte G, Byte B);
// AColor1 over AColor2 with APercent (0..100) of AColor1.
TColor BlendColor(TColor AColor1, TColor AColor2, Byte APercent);
// APercent (0..100) of the way to white.
TColor LightenColor(TColor AColor, Byte APercent);
// A system colour reference as its RGB value; any other colour unchanged.
TColor ResolveDrawingColor(TColor AColor);

#ifdef _WIN32
class TCanvas;
// A stepped gradient over ARect on a class-library canvas, one strip per
// pixel of the gradient's direction, the strips near a rounded end (radius
// ARounding) shortened at the corners named in ACorners. The canvas's pen
// and brush come back as they were.
void DrawGradient(TCanvas& ACanvas, TColor AFromColor, TColor AToColor, bool AHorizontal,
                  TVivIzudeGraphicsCorners ACorners, float ARounding, const TRect& ARect);
#endif
