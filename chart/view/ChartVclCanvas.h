#pragma once
// The chart model's drawing surface over the class library's canvas: the
// chart's pen, brush and font are handed to the canvas before each
// operation, regions become GDI regions. GDI+ painters reach the device
// context through Handle(). Also a text measurer with the real font metrics
// of the screen, so that layouts and hit tests measure as the paint does.
#include <memory>
#include <optional>

#include "chart/model/ChartGraphics.h"
#include "vcl/Graphics.h"

// A graphic of the class library as the chart draws it (pictures of
// backgrounds and patterns).
class TVclChartGraphic : public TChartGraphic {
public:
  explicit TVclChartGraphic(std::shared_ptr<TGraphic> Graphic) : FGraphic(std::move(Graphic)) {}
  Integer Width() const override { return FGraphic ? FGraphic->Width() : 0; }
  Integer Height() const override { return FGraphic ? FGraphic->Height() : 0; }
  TGraphic* Graphic() const { return FGraphic.get(); }

private:
  std::shared_ptr<TGraphic> FGraphic;
};

// A GDI region made from the chart's region description (empty for an
// empty one).
TGdiObject CreateChartRegion(const TChartRegion& Region);

class TVclChartCanvas : public TChartCanvas {
public:
  // Canvas is not owned and must outlive this object.
  explicit TVclChartCanvas(TCanvas& Canvas) : FCanvas(Canvas) {}
  ~TVclChartCanvas() override;
  TVclChartCanvas(const TVclChartCanvas&) = delete;
  TVclChartCanvas& operator=(const TVclChartCanvas&) = delete;

  TCanvas& Canvas() const { return FCanvas; }
  // The device context, for GDI+ drawing on the same surface.
  HDC Handle() const { return FCanvas.Handle(); }

  void MoveTo(Integer X, Integer Y) override;
  void LineTo(Integer X, Integer Y) override;
  void Rectangle(const TRect& R) override;
  void RoundRect(const TRect& R, Integer RX, Integer RY) override;
  void Ellipse(const TRect& R) override;
  void Polygon(std::span<const TPoint> Points) override;
  void Polyline(std::span<const TPoint> Points) override;
  void Pie(const TRect& Box, const TPoint& Start, const TPoint& Finish) override;
  void Arc(const TRect& Box, const TPoint& Start, const TPoint& Finish) override;
  void FillRect(const TRect& R) override;
  void FrameRect(const TRect& R) override;
  void FillRegion(const TChartRegion& Region) override;
  void FrameRegion(const TChartRegion& Region, Integer Width, Integer Height) override;
  void TextOut(Integer X, Integer Y, const String& Text) override;
  void DrawText(const String& Text, TRect& R, TDrawTextFlags Flags) override;
  void Draw(Integer X, Integer Y, const TChartGraphic& Graphic) override;
  void StretchDraw(const TRect& R, const TChartGraphic& Graphic) override;
  void SetClipRegion(const TChartRegion& Region) override;
  void ClearClipRegion() override;
  bool SetBackgroundTransparent(bool Transparent) override;
  TSize TextExtent(const String& Text) override;
  // While bounds are set, every clip selected is narrowed to them and
  // clearing the clip comes back to them, so that a picture painted within
  // them cannot spill out, whatever clips its painters select (GDI+
  // graphics made on the device context take its clip too). Lifting them
  // (nullopt) clears the clip.
  void SetClipBounds(std::optional<TRect> Bounds);

private:
  void ApplyPen();
  void ApplyBrush();
  void ApplyFont();
  TCanvas& FCanvas;
  bool FTransparent = false;
  bool FClipped = false;
  std::optional<TRect> FBounds;
};

// The chart font as the class library's font.
void ChartFontToFont(const TChartFont& Source, TFont& Dest);

// Text extents measured on a screen-compatible memory DC.
class TGdiTextMeasurer : public ITextMeasurer {
public:
  TGdiTextMeasurer();
  ~TGdiTextMeasurer() override;
  TGdiTextMeasurer(const TGdiTextMeasurer&) = delete;
  TGdiTextMeasurer& operator=(const TGdiTextMeasurer&) = delete;
  TSize TextExtent(const TChartFont& Font, const String& Text) const override;
  static const TGdiTextMeasurer& Screen();

private:
  TMemoryDC FDC;
  std::unique_ptr<TCanvas> FCanvas;
};
