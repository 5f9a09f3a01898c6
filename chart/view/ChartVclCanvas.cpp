#include "chart/view/ChartVclCanvas.h"

#include <vector>

TGdiObject CreateChartRegion(const TChartRegion& Region) {
  TGdiObject Result;
  for (const TRegionPart& P : Region.Parts()) {
    TGdiObject Part;
    const TRect& B = P.Bounds;
    switch (P.Shape) {
      case rsRectangle:
        Part.Reset(CreateRectRgn(B.Left, B.Top, B.Right, B.Bottom));
        break;
      case rsEllipse:
        Part.Reset(CreateEllipticRgn(B.Left, B.Top, B.Right, B.Bottom));
        break;
      case rsRoundRect:
        Part.Reset(CreateRoundRectRgn(B.Left, B.Top, B.Right, B.Bottom, P.RoundX, P.RoundY));
        break;
      case rsPolygon: {
        std::vector<POINT> Pts;
        for (const TPoint& Q : P.Points) Pts.push_back({Q.X, Q.Y});
        if (!Pts.empty()) Part.Reset(CreatePolygonRgn(Pts.data(), static_cast<int>(Pts.size()), ALTERNATE));
        break;
      }
    }
    if (!Part) continue;
    if (!Result) {
      Result = std::move(Part);
      continue;
    }
    int Mode = RGN_COPY;
    switch (P.Combine) {
      case rcCopy:
        Mode = RGN_COPY;
        break;
      case rcAnd:
        Mode = RGN_AND;
        break;
      case rcOr:
        Mode = RGN_OR;
        break;
      case rcXor:
        Mode = RGN_XOR;
        break;
      case rcDiff:
        Mode = RGN_DIFF;
        break;
    }
    if (Mode == RGN_COPY) {
      Result = std::move(Part);
    } else {
      const auto rgn = [](const TGdiObject& R) { return static_cast<HRGN>(R.Get()); };
      CombineRgn(rgn(Result), rgn(Result), rgn(Part), Mode);
    }
  }
  return Result;
}

void ChartFontToFont(const TChartFont& Source, TFont& Dest) {
  Dest.SetName(Source.Name());
  Dest.SetHeight(Source.Height());
  Dest.SetColor(Source.Color());
  Dest.SetStyle(Source.Style());
  Dest.SetOrientation(Source.Orientation());
}

TVclChartCanvas::~TVclChartCanvas() {
  if (FClipped && FCanvas.HandleAllocated()) SelectClipRgn(FCanvas.Handle(), nullptr);
}

void TVclChartCanvas::ApplyPen() {
  TPen& P = *FCanvas.Pen();
  // A pen without a colour draws nothing, like a clear pen.
  P.SetStyle(Pen.Color == clNone ? psClear : Pen.Style);
  if (Pen.Color != clNone) P.SetColor(Pen.Color);
  P.SetWidth(Pen.Width);
}

void TVclChartCanvas::ApplyBrush() {
  TBrush& B = *FCanvas.Brush();
  if (Brush.Style() == bsClear || Brush.Color() == clNone) {
    B.SetStyle(bsClear);
  } else {
    B.SetColor(Brush.Color());
    B.SetStyle(Brush.Style());
  }
}

void TVclChartCanvas::ApplyFont() { ChartFontToFont(Font, *FCanvas.Font()); }

void TVclChartCanvas::MoveTo(Integer X, Integer Y) { FCanvas.MoveTo(X, Y); }
void TVclChartCanvas::LineTo(Integer X, Integer Y) {
  ApplyPen();
  FCanvas.LineTo(X, Y);
}
void TVclChartCanvas::Rectangle(const TRect& R) {
  ApplyPen();
  ApplyBrush();
  FCanvas.Rectangle(R);
}
void TVclChartCanvas::RoundRect(const TRect& R, Integer RX, Integer RY) {
  ApplyPen();
  ApplyBrush();
  FCanvas.RoundRect(R.Left, R.Top, R.Right, R.Bottom, RX, RY);
}
void TVclChartCanvas::Ellipse(const TRect& R) {
  ApplyPen();
  ApplyBrush();
  FCanvas.Ellipse(R);
}
void TVclChartCanvas::Polygon(std::span<const TPoint> Points) {
  ApplyPen();
  ApplyBrush();
  FCanvas.Polygon(std::vector<TPoint>(Points.begin(), Points.end()));
}
void TVclChartCanvas::Polyline(std::span<const TPoint> Points) {
  ApplyPen();
  FCanvas.Polyline(std::vector<TPoint>(Points.begin(), Points.end()));
}
void TVclChartCanvas::Pie(const TRect& Box, const TPoint& S, const TPoint& F) {
  ApplyPen();
  ApplyBrush();
  FCanvas.Pie(Box.Left, Box.Top, Box.Right, Box.Bottom, S.X, S.Y, F.X, F.Y);
}
void TVclChartCanvas::Arc(const TRect& Box, const TPoint& S, const TPoint& F) {
  ApplyPen();
  FCanvas.Arc(Box.Left, Box.Top, Box.Right, Box.Bottom, S.X, S.Y, F.X, F.Y);
}
void TVclChartCanvas::FillRect(const TRect& R) {
  ApplyBrush();
  if (FCanvas.Brush()->Style() != bsClear) FCanvas.FillRect(R);
}
void TVclChartCanvas::FrameRect(const TRect& R) {
  ApplyBrush();
  FCanvas.FrameRect(R);
}
void TVclChartCanvas::FillRegion(const TChartRegion& Region) {
  ApplyBrush();
  if (FCanvas.Brush()->Style() == bsClear) return;
  if (const TGdiObject R = CreateChartRegion(Region))
    FillRgn(FCanvas.Handle(), static_cast<HRGN>(R.Get()), FCanvas.Brush()->Handle());
}
void TVclChartCanvas::FrameRegion(const TChartRegion& Region, Integer Width, Integer Height) {
  ApplyBrush();
  if (const TGdiObject R = CreateChartRegion(Region))
    FrameRgn(FCanvas.Handle(), static_cast<HRGN>(R.Get()), FCanvas.Brush()->Handle(), Width, Height);
}
void TVclChartCanvas::TextOut(Integer X, Integer Y, const String& Text) {
  ApplyFont();
  ApplyBrush();
  FCanvas.TextOut(X, Y, Text);
}
void TVclChartCanvas::DrawText(const String& Text, TRect& R, TDrawTextFlags Flags) {
  ApplyFont();
  ApplyBrush();
  UINT F = DT_LEFT | DT_TOP;
  if (Flags.Contains(dtCenter)) F |= DT_CENTER;
  if (Flags.Contains(dtRight)) F |= DT_RIGHT;
  if (Flags.Contains(dtVCenter)) F |= DT_VCENTER;
  if (Flags.Contains(dtBottom)) F |= DT_BOTTOM;
  if (Flags.Contains(dtWordBreak)) F |= DT_WORDBREAK;
  if (Flags.Contains(dtSingleLine)) F |= DT_SINGLELINE;
  if (Flags.Contains(dtNoClip)) F |= DT_NOCLIP;
  if (Flags.Contains(dtCalcRect)) F |= DT_CALCRECT;
  if (Flags.Contains(dtNoPrefix)) F |= DT_NOPREFIX;
  if (Flags.Contains(dtEndEllipsis)) F |= DT_END_ELLIPSIS;
  FCanvas.TextRect(R, Text, F);
}
void TVclChartCanvas::Draw(Integer X, Integer Y, const TChartGraphic& Graphic) {
  if (auto* G = dynamic_cast<const TVclChartGraphic*>(&Graphic); G && G->Graphic()) FCanvas.Draw(X, Y, G->Graphic());
}
void TVclChartCanvas::StretchDraw(const TRect& R, const TChartGraphic& Graphic) {
  if (auto* G = dynamic_cast<const TVclChartGraphic*>(&Graphic); G && G->Graphic())
    FCanvas.StretchDraw(R, G->Graphic());
}
void TVclChartCanvas::SetClipRegion(const TChartRegion& Region) {
  TGdiObject R = CreateChartRegion(Region);
  if (FBounds) {
    TGdiObject B(CreateRectRgn(FBounds->Left, FBounds->Top, FBounds->Right, FBounds->Bottom));
    if (R)
      CombineRgn(static_cast<HRGN>(R.Get()), static_cast<HRGN>(R.Get()), static_cast<HRGN>(B.Get()), RGN_AND);
    else
      R = std::move(B);
  }
  SelectClipRgn(FCanvas.Handle(), static_cast<HRGN>(R.Get()));
  FClipped = static_cast<bool>(R);
}
void TVclChartCanvas::ClearClipRegion() {
  if (FBounds) {
    SetClipRegion(TChartRegion());
    return;
  }
  SelectClipRgn(FCanvas.Handle(), nullptr);
  FClipped = false;
}
void TVclChartCanvas::SetClipBounds(std::optional<TRect> Bounds) {
  FBounds = Bounds;
  ClearClipRegion();
}
bool TVclChartCanvas::SetBackgroundTransparent(bool Transparent) {
  bool Old = FTransparent;
  FTransparent = Transparent;
  SetBkMode(FCanvas.Handle(), Transparent ? TRANSPARENT : OPAQUE);
  return Old;
}
TSize TVclChartCanvas::TextExtent(const String& Text) {
  ApplyFont();
  return FCanvas.TextExtent(Text);
}

// ---------------------------------------------------------------- measurer
TGdiTextMeasurer::TGdiTextMeasurer() : FCanvas(std::make_unique<TCanvas>()) { FCanvas->SetHandle(FDC.Get()); }
// The canvas lets go of the DC (its font taken out) before the DC goes.
TGdiTextMeasurer::~TGdiTextMeasurer() { FCanvas->SetHandle(nullptr); }
TSize TGdiTextMeasurer::TextExtent(const TChartFont& Font, const String& Text) const {
  ChartFontToFont(Font, *FCanvas->Font());
  return FCanvas->TextExtent(Text);
}
const TGdiTextMeasurer& TGdiTextMeasurer::Screen() {
  static TGdiTextMeasurer Measurer;
  return Measurer;
}
