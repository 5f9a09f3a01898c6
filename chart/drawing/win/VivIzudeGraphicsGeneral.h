#pragma once
// The canvas back end of the drawing facade: every request carried out with
// the class library's TCanvas on a GDI device context. It has no transforms,
// anti-aliasing or text quality settings (those requests do nothing) and
// approximates what GDI+ does natively: arcs from centre, radius and
// angles, rectangles with chosen sides, rounded rectangles with chosen
// corners, two-colour and mirrored gradients, text turned by the font's
// orientation, dotted focus lines with an alternate-pixel pen.
//
// It works on the facade's active canvas and keeps no other drawing state:
// its pen, brush and font are the canvas's own, as the facade last set them.
#include <vector>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeGraphicsTypes.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Graphics.h"

class TVivIzudeGraphicsContextGeneral : public TVivIzudeGraphicsContext {
public:
  explicit TVivIzudeGraphicsContextGeneral(TVivIzudeGraphics* AGraphics);
  ~TVivIzudeGraphicsContextGeneral() override;

  void* GetNativeCanvas() override;
  // A new TVivIzudeGraphicsPath.
  void* CreatePath() override;
  TColor GetFillColor() override;
  TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) override;
  TRectF SetTextAngle(const TRectF& ARect, float AAngle) override;
  void Render() override {}
  void PathOpen(void*) override {}
  void PathMoveTo(void* APath, const TPointF& APoint) override;
  void PathLineTo(void* APath, const TPointF& APoint) override;
  void PathClose(void* APath) override;
  // A clip ends with RestoreState.
  void ResetClip() override {}
  void ResetTransform() override {}
  void ScaleTransform(float, float) override {}
  void RotateTransform(float) override {}
  void TranslateTransform(float, float) override {}
  void SetTextQuality(TVivIzudeGraphicsTextQuality) override {}
  void SetAntiAliasing(bool) override {}
  void SetShowAcceleratorChar(bool AShowAcceleratorChar) override { FShowAcceleratorChar = AShowAcceleratorChar; }
  void SetSize(float, float) override {}
  void ResetTextAngle(float) override {}
  void BeginScene() override {}
  void EndScene() override {}
  void StartSpecialPen() override;
  void StopSpecialPen() override;
  void RestoreState(TVivIzudeGraphicsSaveState* AState) override;
  void SaveState(TVivIzudeGraphicsSaveState* AState) override;
  void SetFontSize(Integer ASize) override;
  void SetFontColor(TColor AColor) override;
  void SetFontName(const String& AName) override;
  void SetFont(TVivIzudeGraphicsFont* AFont) override;
  void SetFontStyles(TFontStyles AStyle) override;
  void SetFill(TVivIzudeGraphicsFill* AFill) override;
  void SetFillKind(TVivIzudeGraphicsFillKind AKind) override;
  void SetFillColor(TColor AColor) override;
  void SetStroke(TVivIzudeGraphicsStroke* AStroke) override;
  void SetStrokeKind(TVivIzudeGraphicsStrokeKind AKind) override;
  void SetStrokeColor(TColor AColor) override;
  void SetStrokeWidth(float AWidth) override;
  void DrawLine(TVivIzudeGraphicsStroke* AStroke, const TPointF& AFromPoint, const TPointF& AToPoint,
                TVivIzudeGraphicsModifyPointMode AModifyPointModeFrom = gcpmRightDown,
                TVivIzudeGraphicsModifyPointMode AModifyPointModeTo = gcpmRightDown) override;
  void DrawPolygon(TVivIzudeGraphicsStroke* AStroke, const TVivIzudeGraphicsPathPolygon& APolygon) override;
  void FillPolygon(TVivIzudeGraphicsFill* AFill, const TVivIzudeGraphicsPathPolygon& APolygon) override;
  void DrawPolyline(TVivIzudeGraphicsStroke* AStroke, const TVivIzudeGraphicsPathPolygon& APolyline) override;
  void FillPolyline(TVivIzudeGraphicsFill* AFill, const TVivIzudeGraphicsPathPolygon& APolyline) override;
  void FillArc(TVivIzudeGraphicsFill* AFill, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
               float ASweepAngle) override;
  void DrawArc(TVivIzudeGraphicsStroke* AStroke, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
               float ASweepAngle) override;
  void FillRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect,
                TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) override;
  void DrawRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, TVivIzudeGraphicsSides ASides,
                TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) override;
  void FillRoundRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect, float ARounding,
                     TVivIzudeGraphicsCorners ACorners,
                     TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) override;
  void DrawRoundRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, float ARounding,
                     TVivIzudeGraphicsCorners ACorners,
                     TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) override;
  void FillEllipse(TVivIzudeGraphicsFill* AFill, const TRectF& ARect,
                   TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) override;
  void DrawEllipse(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect,
                   TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) override;
  // The part ASrcRect of the picture, stretched into ADstRect; the opacity
  // is not used (the canvas has none).
  void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) override;
  // Both intersect the clip in force, until RestoreState returns to an
  // earlier saved state.
  void ClipRect(const TRectF& ARect) override;
  void ClipPath(TVivIzudeGraphicsPath* APath) override;
  void DrawFocusPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath, TColor AColor) override;
  void DrawFocusRectangle(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
                          TVivIzudeGraphicsModifyRectMode AModifyRectMode = gcrmNone) override;
  void DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping,
                TVivIzudeGraphicsTextAlign AHorizontalAlign, TVivIzudeGraphicsTextAlign AVerticalAlign,
                TVivIzudeGraphicsTextTrimming ATrimming, float AAngle) override;
  void DrawPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath,
                TVivIzudeGraphicsPathDrawMode APathMode = pdmPolygon) override;
  void FillPath(TVivIzudeGraphicsFill* AFill, TVivIzudeGraphicsPath* APath,
                TVivIzudeGraphicsPathDrawMode APathMode = pdmPolygon) override;

private:
  TCanvas& C() const { return *Canvas(); }
  void DrawRotatedText(const TRect& ARect, const String& AText, float AAngle,
                       TVivIzudeGraphicsTextAlign AHorizontalAlign, TVivIzudeGraphicsTextAlign AVerticalAlign);

  bool FShowAcceleratorChar = false;
  // Between StartSpecialPen and StopSpecialPen: the focus pen (owned) and
  // the pen it replaced in the DC (not owned).
  TGdiObject FSpecialPen;
  HGDIOBJ FOldPenHandle = nullptr;
};

// The figures of a flattened path: the polygon cut at its figure separator
// vertices, empty figures left out. A polygon without separators is one figure.
std::vector<TVivIzudeGraphicsPathPolygon> PolygonFigures(const TVivIzudeGraphicsPathPolygon& APolygon);
bool HasFigureSeparator(const TVivIzudeGraphicsPathPolygon& APolygon);

// A quarter (or any) arc on integer centre, radii and angles, each end point
// rounded; the rounded corners of the canvas back end.
void DrawCanvasArc(TCanvas& ACanvas, const TPoint& ACenter, const TPoint& ARadius, Integer AStartAngle,
                   Integer ASweepAngle);
