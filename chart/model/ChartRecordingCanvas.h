#pragma once
// A canvas that records every operation with the pen, brush and font it was
// made with, and measures text with a measurer. Tests read the record to
// check painting order and geometry; the benchmark measures layout and
// painting without a display.
#include <vector>

#include "chart/model/ChartGraphics.h"

enum TCanvasOp : Byte {
  coMoveTo,
  coLineTo,
  coRectangle,
  coRoundRect,
  coEllipse,
  coPolygon,
  coPolyline,
  coPie,
  coArc,
  coFillRect,
  coFrameRect,
  coFillRegion,
  coFrameRegion,
  coTextOut,
  coDrawText,
  coDraw,
  coStretchDraw,
  coSetClip,
  coClearClip
};

struct TCanvasRecord {
  TCanvasOp Op = coMoveTo;
  TRect Rect;                  // box of the shape, text rectangle, clip bounds
  std::vector<TPoint> Points;  // line end, polygon points, pie start/finish
  String Text;
  TDrawTextFlags Flags;
  TChartPen Pen;
  TChartBrush Brush;
  TChartFont Font;
  TChartRegion Region;   // coSetClip, coFillRegion, coFrameRegion
  bool Clipped = false;  // a clip region was selected at the time
};

class TRecordingCanvas : public TChartCanvas {
public:
  explicit TRecordingCanvas(const ITextMeasurer& Measurer = TFixedTextMeasurer::Default()) : FMeasurer(Measurer) {}

  const std::vector<TCanvasRecord>& Records() const { return FRecords; }
  void Clear() { FRecords.clear(); }
  // With recording off the canvas only measures (a scratch canvas).
  void SetRecording(bool Value) { FRecording = Value; }
  // Texts written with TextOut or DrawText, in order.
  std::vector<String> Texts() const;
  const TChartRegion* ClipRegion() const { return FHasClip ? &FClip : nullptr; }
  bool BackgroundTransparent() const { return FTransparent; }

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
  TSize TextExtent(const String& Text) override { return FMeasurer.TextExtent(Font, Text); }

private:
  TCanvasRecord& Add(TCanvasOp Op);
  const ITextMeasurer& FMeasurer;
  std::vector<TCanvasRecord> FRecords;
  TCanvasRecord FScratch;
  bool FRecording = true;
  TChartRegion FClip;
  bool FHasClip = false;
  bool FTransparent = false;
  TPoint FPos;
};
