#include "chart/model/ChartRecordingCanvas.h"

TCanvasRecord& TRecordingCanvas::Add(TCanvasOp Op) {
  if (!FRecording) {
    FScratch = TCanvasRecord{};
    return FScratch;
  }
  TCanvasRecord& R = FRecords.emplace_back();
  R.Op = Op;
  R.Pen = Pen;
  R.Brush = Brush;
  R.Font = Font;
  R.Clipped = FHasClip;
  return R;
}

std::vector<String> TRecordingCanvas::Texts() const {
  std::vector<String> Result;
  for (const TCanvasRecord& R : FRecords)
    if (R.Op == coTextOut || R.Op == coDrawText) Result.push_back(R.Text);
  return Result;
}

void TRecordingCanvas::MoveTo(Integer X, Integer Y) {
  FPos = {X, Y};
  if (FRecording) Add(coMoveTo).Points = {FPos};
}

void TRecordingCanvas::LineTo(Integer X, Integer Y) {
  if (FRecording) Add(coLineTo).Points = {FPos, TPoint{X, Y}};
  FPos = {X, Y};
}

void TRecordingCanvas::Rectangle(const TRect& R) {
  if (FRecording) Add(coRectangle).Rect = R;
}

void TRecordingCanvas::RoundRect(const TRect& R, Integer RX, Integer RY) {
  if (!FRecording) return;
  TCanvasRecord& Rec = Add(coRoundRect);
  Rec.Rect = R;
  Rec.Points = {TPoint{RX, RY}};
}

void TRecordingCanvas::Ellipse(const TRect& R) {
  if (FRecording) Add(coEllipse).Rect = R;
}

void TRecordingCanvas::Polygon(std::span<const TPoint> Points) {
  if (FRecording) Add(coPolygon).Points.assign(Points.begin(), Points.end());
}

void TRecordingCanvas::Polyline(std::span<const TPoint> Points) {
  if (FRecording) Add(coPolyline).Points.assign(Points.begin(), Points.end());
}

void TRecordingCanvas::Pie(const TRect& Box, const TPoint& Start, const TPoint& Finish) {
  if (!FRecording) return;
  TCanvasRecord& Rec = Add(coPie);
  Rec.Rect = Box;
  Rec.Points = {Start, Finish};
}

void TRecordingCanvas::Arc(const TRect& Box, const TPoint& Start, const TPoint& Finish) {
  if (!FRecording) return;
  TCanvasRecord& Rec = Add(coArc);
  Rec.Rect = Box;
  Rec.Points = {Start, Finish};
}

void TRecordingCanvas::FillRect(const TRect& R) {
  if (FRecording) Add(coFillRect).Rect = R;
}

void TRecordingCanvas::FrameRect(const TRect& R) {
  if (FRecording) Add(coFrameRect).Rect = R;
}

void TRecordingCanvas::FillRegion(const TChartRegion& Region) {
  if (FRecording) Add(coFillRegion).Region = Region;
}

void TRecordingCanvas::FrameRegion(const TChartRegion& Region, Integer Width, Integer Height) {
  if (!FRecording) return;
  TCanvasRecord& Rec = Add(coFrameRegion);
  Rec.Region = Region;
  Rec.Points = {TPoint{Width, Height}};
}

void TRecordingCanvas::TextOut(Integer X, Integer Y, const String& Text) {
  if (!FRecording) return;
  TCanvasRecord& Rec = Add(coTextOut);
  TSize S = TextExtent(Text);
  Rec.Rect = {X, Y, X + S.cx, Y + S.cy};
  Rec.Points = {TPoint{X, Y}};
  Rec.Text = Text;
}

void TRecordingCanvas::DrawText(const String& Text, TRect& R, TDrawTextFlags Flags) {
  if (Flags.Contains(dtCalcRect)) {
    TSize S = TextExtent(Text);
    R.Right = R.Left + S.cx;
    R.Bottom = R.Top + S.cy;
    return;
  }
  if (!FRecording) return;
  TCanvasRecord& Rec = Add(coDrawText);
  Rec.Rect = R;
  Rec.Text = Text;
  Rec.Flags = Flags;
}

void TRecordingCanvas::Draw(Integer X, Integer Y, const TChartGraphic& Graphic) {
  if (FRecording) Add(coDraw).Rect = {X, Y, X + Graphic.Width(), Y + Graphic.Height()};
}

void TRecordingCanvas::StretchDraw(const TRect& R, const TChartGraphic&) {
  if (FRecording) Add(coStretchDraw).Rect = R;
}

void TRecordingCanvas::SetClipRegion(const TChartRegion& Region) {
  FClip = Region;
  FHasClip = true;
  if (!FRecording) return;
  TCanvasRecord& Rec = Add(coSetClip);
  Rec.Region = Region;
  if (!Region.Parts().empty()) Rec.Rect = Region.Parts().front().Bounds;
}

void TRecordingCanvas::ClearClipRegion() {
  FHasClip = false;
  FClip = {};
  if (FRecording) Add(coClearClip);
}

bool TRecordingCanvas::SetBackgroundTransparent(bool Transparent) {
  bool Old = FTransparent;
  FTransparent = Transparent;
  return Old;
}
