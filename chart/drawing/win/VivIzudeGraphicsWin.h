#pragma once
// The GDI+ back end of the drawing facade: anti-aliased shapes, linear
// gradients, opacity, dash styles, world transforms, clip paths and turned
// text, through the drawing layer's own GDI+ binding. A GDI+ graphics on the
// facade canvas's device context exists from SetSize until the scene ends
// (EndScene or Render hands the drawing to the device); a BeginScene after
// that makes a new one, so a later scene is drawn as well. While there is
// no graphics, drawing requests do nothing; the fill, stroke and font still
// follow the facade.
#include <cstdint>
#include <memory>
#include <vector>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/win/VivIzudeGDIPlusClasses.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "rtl/Win32Handles.h"

// A colour with an opacity (0..1) as an ARGB value.
ARGB MakeGraphicsColor(TColor AColor, float AOpacity);

// The builders of the back end's GDI+ objects (made with the layer's binding).
std::unique_ptr<TGPPen> CreateGraphicsPen(const TVivIzudeGraphicsStroke& AStroke);
// A gradient spans ARect grown by 1 on every side; no fill and texture
// fills give a fully transparent brush.
std::unique_ptr<TGPBrush> CreateGraphicsBrush(const TVivIzudeGraphicsFill& AFill, const TGPRectF& ARect);
// "Arial" for an empty name or "DEFAULT", 8 points for size 0.
std::unique_ptr<TGPFont> CreateGraphicsFont(const TVivIzudeGraphicsFont& AFont);
std::unique_ptr<TGPStringFormat> CreateGraphicsStringFormat(TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                                            TVivIzudeGraphicsTextAlign AVerticalAlign,
                                                            bool AWordWrapping, bool AShowAcceleratorChar,
                                                            TVivIzudeGraphicsTextTrimming ATrimming);

// A picture as a GDI+ image: bitmaps become 32-bit ARGB bitmaps (a
// transparent class-library bitmap's transparent colour fully
// transparent), metafiles stay metafiles and keep the stream they read.
// Raises Exception "Could not allocate memory for image" without memory.
struct TGraphicsImage {
  std::unique_ptr<TGPImage> Image;
  TComPtr<IStream> Stream;  // a metafile's source; released after the image
  ~TGraphicsImage() { Image.reset(); }
};
std::unique_ptr<TGraphicsImage> CreateGraphicsImage(TGraphic* ABitmap);

class TVivIzudeGraphicsContextWin : public TVivIzudeGraphicsContext {
public:
  explicit TVivIzudeGraphicsContextWin(TVivIzudeGraphics* AGraphics);
  ~TVivIzudeGraphicsContextWin() override;

  // The TGPGraphics (nullptr while there is none).
  void* GetNativeCanvas() override;
  // A new TGPGraphicsPath.
  void* CreatePath() override;
  TColor GetFillColor() override;
  TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) override;
  TRectF SetTextAngle(const TRectF& ARect, float AAngle) override;
  void Render() override;
  void PathOpen(void* APath) override;
  void PathMoveTo(void* APath, const TPointF& APoint) override;
  void PathLineTo(void* APath, const TPointF& APoint) override;
  void PathClose(void* APath) override;
  void ResetClip() override;
  // Back to the base state: every transform and clip since is dropped.
  void ResetTransform() override;
  void ScaleTransform(float AX, float AY) override;
  void RotateTransform(float AAngle) override;
  void TranslateTransform(float AX, float AY) override;
  // Both return to the base state first (dropping transforms and clips).
  void SetTextQuality(TVivIzudeGraphicsTextQuality ATextQuality) override;
  void SetAntiAliasing(bool AAntiAliasing) override;
  void SetShowAcceleratorChar(bool AShowAcceleratorChar) override { FShowAcceleratorChar = AShowAcceleratorChar; }
  void SetSize(float AWidth, float AHeight) override;
  void ResetTextAngle(float AAngle) override;
  void BeginScene() override;
  void EndScene() override;
  void StartSpecialPen() override {}
  void StopSpecialPen() override {}
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
  // The part ASrcRect of the picture into ADstRect at full opacity. A
  // picture drawn again with the same contents is not converted again
  // within a scene.
  void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) override;
  // Replaces the clip.
  void ClipRect(const TRectF& ARect) override;
  // Intersects the clip with the path (a texture painted over a shape's
  // bounding rectangle then stays inside the shape and inside any clip
  // already in force).
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

  // The context's own copies of the facade's values.
  TVivIzudeGraphicsFill* Fill() const { return FFill.get(); }
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  TVivIzudeGraphicsFont* Font() const { return FFont.get(); }
  TGPPen* Pen() const { return FGPPen.get(); }
  TGPBrush* Brush() const { return FGPBrush.get(); }
  TGPGraphics* GPGraphics() const { return FGPGraphics.get(); }
  // How many pictures were converted into GDI+ images so far.
  Integer ImagesConverted() const { return FImagesConverted; }

private:
  void MakeGraphics();
  void ReleaseGraphics();
  void ApplyDeviceSettings();
  void UpdateBrush(const TGPRectF& ARect);
  void FillChanged(TObject* Sender);
  void StrokeChanged(TObject* Sender);
  void FontChanged(TObject* Sender);
  bool Dashed() const;
  template <class FDraw>
  void WithPen(FDraw Draw);
  void SaveSmoothingMode();
  void RestoreSmoothingMode();
  TGPImage* ImageOf(TGraphic* ABitmap);

  bool FShowAcceleratorChar = false;
  std::unique_ptr<TGPMatrix> FTextMatrix;
  INT FSmoothingMode = 0;
  UINT FSaveGP = 0;
  TPointF FMovePoint;
  bool FHasMovePoint = false;
  bool FNeedsRendering = true;
  bool FSized = false;
  // The device settings asked for; a new graphics gets them too.
  bool FAntiAliasing = false;
  TVivIzudeGraphicsTextQuality FTextQuality = gtqDefault;
  std::unique_ptr<TVivIzudeGraphicsFont> FFont;
  std::unique_ptr<TVivIzudeGraphicsFill> FFill;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke;
  std::unique_ptr<TGPFont> FGPFont;
  TSizeF FContextSize;
  std::unique_ptr<TGPBrush> FGPBrush;
  bool FBrushIsGradient = false;
  TGPRectF FBrushRect{};
  std::unique_ptr<TGPPen> FGPPen;
  // The facade bitmap's pixels as a GDI+ bitmap while the graphics draws
  // into them (declared first: freed after the graphics).
  std::unique_ptr<TGPBitmap> FGPBitmap;
  std::unique_ptr<TGPGraphics> FGPGraphics;
  // Converted pictures of the scene, by the contents they were made from.
  struct TImageCacheEntry {
    std::uint64_t Hash = 0;
    Integer Width = 0, Height = 0;
    std::unique_ptr<TGraphicsImage> Image;
  };
  std::vector<TImageCacheEntry> FImageCache;
  Integer FImagesConverted = 0;
};
