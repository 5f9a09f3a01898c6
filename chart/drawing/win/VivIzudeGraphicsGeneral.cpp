#include "chart/drawing/win/VivIzudeGraphicsGeneral.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <numbers>

#include "chart/drawing/VivIzudeTypes.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "rtl/Win32Handles.h"

namespace {

// Nearest integer, halves to even; a value that is not a number or lies
// beyond the integer range gives 0 or the nearest limit, never a fault.
Integer RoundC(double V) {
  if (!(V == V)) return 0;
  const double R = std::nearbyint(V);
  if (R >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (R <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<Integer>(R);
}
Integer FloorC(double V) { return RoundC(std::floor(V)); }

TRect IntRect(const TRectF& R) { return {RoundC(R.Left), RoundC(R.Top), RoundC(R.Right), RoundC(R.Bottom)}; }
TPoint RoundPoint(const TPointF& P) { return {RoundC(P.X), RoundC(P.Y)}; }

bool HasColor(TColor C) { return C != gcNull && C != clNone; }

std::vector<TPoint> RoundPoints(const TVivIzudeGraphicsPathPolygon& APolygon) {
  std::vector<TPoint> Result;
  Result.reserve(APolygon.size());
  for (const TPointF& P : APolygon) Result.push_back(RoundPoint(P));
  return Result;
}

TPenStyle PenStyleOf(TVivIzudeGraphicsStrokeKind AKind) {
  switch (AKind) {
    case gskNone:
      return psClear;
    case gskDash:
      return psDash;
    case gskDot:
      return psDot;
    case gskDashDot:
      return psDashDot;
    case gskDashDotDot:
      return psDashDotDot;
    case gskSolid:
      break;
  }
  return psSolid;
}

// Outlines: the brush is cleared for the call and comes back as it was (the
// colour first: a colour set on a clear brush would make it solid again).
class TOutlineScope {
public:
  explicit TOutlineScope(TCanvas& C) : FCanvas(C), FColor(C.Brush()->Color()), FStyle(C.Brush()->Style()) {
    C.Brush()->SetStyle(bsClear);
  }
  ~TOutlineScope() {
    FCanvas.Brush()->SetColor(FColor);
    FCanvas.Brush()->SetStyle(FStyle);
  }
  TOutlineScope(const TOutlineScope&) = delete;
  TOutlineScope& operator=(const TOutlineScope&) = delete;

private:
  TCanvas& FCanvas;
  TColor FColor;
  TBrushStyle FStyle;
};

// Fills: the pen is cleared for the call and comes back as it was.
class TFillScope {
public:
  explicit TFillScope(TCanvas& C) : FCanvas(C), FStyle(C.Pen()->Style()) { C.Pen()->SetStyle(psClear); }
  ~TFillScope() { FCanvas.Pen()->SetStyle(FStyle); }
  TFillScope(const TFillScope&) = delete;
  TFillScope& operator=(const TFillScope&) = delete;

private:
  TCanvas& FCanvas;
  TPenStyle FStyle;
};

// The end point of an arc at AAngle degrees (clockwise on screen).
TPoint ArcPoint(double CX, double CY, double RX, double RY, double AAngle) {
  const double A = AAngle * std::numbers::pi / 180.0;
  return {FloorC(CX + RX * std::cos(-A)), FloorC(CY - RY * std::sin(-A))};
}

UINT TextFormat(bool AWordWrapping, bool AShowAcceleratorChar, TVivIzudeGraphicsTextAlign AHorizontalAlign,
                TVivIzudeGraphicsTextAlign AVerticalAlign, TVivIzudeGraphicsTextTrimming ATrimming) {
  UINT F = AWordWrapping ? DT_WORDBREAK : DT_SINGLELINE;
  if (!AShowAcceleratorChar) F |= DT_NOPREFIX;
  F |= AHorizontalAlign == gtaCenter ? DT_CENTER : AHorizontalAlign == gtaTrailing ? DT_RIGHT : DT_LEFT;
  F |= AVerticalAlign == gtaCenter ? DT_VCENTER : AVerticalAlign == gtaTrailing ? DT_BOTTOM : DT_TOP;
  if (ATrimming == gttCharacter) F |= DT_END_ELLIPSIS;
  if (ATrimming == gttWord) F |= DT_WORD_ELLIPSIS;
  return F;
}

// Fills the figures of a flattened polygon with the brush, holes by the
// alternate rule; the pen must be clear.
void FillFigures(TCanvas& C, const TVivIzudeGraphicsPathPolygon& APolygon) {
  if (!HasFigureSeparator(APolygon)) {
    C.Polygon(RoundPoints(APolygon));
    return;
  }
  std::vector<POINT> Points;
  std::vector<INT> Counts;
  for (const auto& Figure : PolygonFigures(APolygon)) {
    for (const TPointF& P : Figure) Points.push_back({RoundC(P.X), RoundC(P.Y)});
    Counts.push_back(static_cast<INT>(Figure.size()));
  }
  if (Counts.empty()) return;
  C.SelectTools();
  SetPolyFillMode(C.Handle(), ALTERNATE);
  ::PolyPolygon(C.Handle(), Points.data(), Counts.data(), static_cast<int>(Counts.size()));
}

}  // namespace

bool HasFigureSeparator(const TVivIzudeGraphicsPathPolygon& APolygon) {
  return std::any_of(APolygon.begin(), APolygon.end(),
                     [](const TPointF& P) { return P.X == PathFigureSeparator && P.Y == PathFigureSeparator; });
}

std::vector<TVivIzudeGraphicsPathPolygon> PolygonFigures(const TVivIzudeGraphicsPathPolygon& APolygon) {
  std::vector<TVivIzudeGraphicsPathPolygon> Result(1);
  for (const TPointF& P : APolygon) {
    if (P.X == PathFigureSeparator && P.Y == PathFigureSeparator) {
      if (!Result.back().empty()) Result.emplace_back();
    } else {
      Result.back().push_back(P);
    }
  }
  if (Result.back().empty()) Result.pop_back();
  return Result;
}

void DrawCanvasArc(TCanvas& ACanvas, const TPoint& ACenter, const TPoint& ARadius, Integer AStartAngle,
                   Integer ASweepAngle) {
  const double CX = ACenter.X, CY = ACenter.Y, RX = ARadius.X, RY = ARadius.Y;
  const auto At = [&](double AAngle) {
    const double A = AAngle * std::numbers::pi / 180.0;
    return TPoint{RoundC(CX + RX * std::cos(-A)), RoundC(CY - RY * std::sin(-A))};
  };
  const TPoint From = At(static_cast<double>(AStartAngle) + ASweepAngle), To = At(AStartAngle);
  ACanvas.Arc(ACenter.X - ARadius.X, ACenter.Y - ARadius.Y, ACenter.X + ARadius.X, ACenter.Y + ARadius.Y, From.X,
              From.Y, To.X, To.Y);
}

TVivIzudeGraphicsContextGeneral::TVivIzudeGraphicsContextGeneral(TVivIzudeGraphics* AGraphics)
    : TVivIzudeGraphicsContext(AGraphics) {}

TVivIzudeGraphicsContextGeneral::~TVivIzudeGraphicsContextGeneral() {
  // A special pen left selected goes back out of the DC before it is freed.
  if (FSpecialPen) StopSpecialPen();
}

TVivIzudeGraphicsContextClass GetGeneralContextClass() {
  return [](TVivIzudeGraphics* AGraphics) -> std::unique_ptr<TVivIzudeGraphicsContext> {
    return std::make_unique<TVivIzudeGraphicsContextGeneral>(AGraphics);
  };
}

void* TVivIzudeGraphicsContextGeneral::GetNativeCanvas() { return Canvas(); }
void* TVivIzudeGraphicsContextGeneral::CreatePath() { return new TVivIzudeGraphicsPath(); }
TColor TVivIzudeGraphicsContextGeneral::GetFillColor() { return C().Brush()->Color(); }
TRectF TVivIzudeGraphicsContextGeneral::SetTextAngle(const TRectF& ARect, float) { return ARect; }

void TVivIzudeGraphicsContextGeneral::PathMoveTo(void* APath, const TPointF& APoint) {
  if (APath) static_cast<TVivIzudeGraphicsPath*>(APath)->MoveTo(APoint);
}
void TVivIzudeGraphicsContextGeneral::PathLineTo(void* APath, const TPointF& APoint) {
  if (APath) static_cast<TVivIzudeGraphicsPath*>(APath)->LineTo(APoint);
}
void TVivIzudeGraphicsContextGeneral::PathClose(void* APath) {
  if (APath) static_cast<TVivIzudeGraphicsPath*>(APath)->ClosePath();
}

// ---------------------------------------------------------------- state
void TVivIzudeGraphicsContextGeneral::SaveState(TVivIzudeGraphicsSaveState* AState) {
  if (!AState) return;
  C().Refresh();
  AState->SaveDC = ::SaveDC(C().Handle());
}

void TVivIzudeGraphicsContextGeneral::RestoreState(TVivIzudeGraphicsSaveState* AState) {
  if (!AState) return;
  // The canvas's objects leave the DC first, so that the restored DC never
  // holds one the canvas has replaced since.
  C().Refresh();
  if (AState->SaveDC != 0) ::RestoreDC(C().Handle(), AState->SaveDC);
  AState->SaveDC = 0;
  C().Refresh();
}

void TVivIzudeGraphicsContextGeneral::SetFontSize(Integer ASize) { C().Font()->SetSize(ASize); }
void TVivIzudeGraphicsContextGeneral::SetFontColor(TColor AColor) { C().Font()->SetColor(AColor); }
void TVivIzudeGraphicsContextGeneral::SetFontName(const String& AName) { C().Font()->SetName(AName); }
void TVivIzudeGraphicsContextGeneral::SetFont(TVivIzudeGraphicsFont* AFont) {
  if (AFont) C().Font()->Assign(AFont);
}
void TVivIzudeGraphicsContextGeneral::SetFontStyles(TFontStyles AStyle) { C().Font()->SetStyle(AStyle); }

void TVivIzudeGraphicsContextGeneral::SetFill(TVivIzudeGraphicsFill* AFill) {
  if (!AFill) return;
  C().Brush()->SetColor(AFill->Color());
  SetFillKind(AFill->Kind());
}

void TVivIzudeGraphicsContextGeneral::SetFillKind(TVivIzudeGraphicsFillKind AKind) {
  if (AKind == gfkNone)
    C().Brush()->SetStyle(bsClear);
  else if (AKind != gfkTexture)
    C().Brush()->SetStyle(bsSolid);
}

void TVivIzudeGraphicsContextGeneral::SetFillColor(TColor AColor) { C().Brush()->SetColor(AColor); }

void TVivIzudeGraphicsContextGeneral::SetStroke(TVivIzudeGraphicsStroke* AStroke) {
  if (!AStroke) return;
  C().Pen()->SetColor(AStroke->Color());
  C().Pen()->SetWidth(RoundC(AStroke->Width()));
  C().Pen()->SetStyle(PenStyleOf(AStroke->Kind()));
}

void TVivIzudeGraphicsContextGeneral::SetStrokeKind(TVivIzudeGraphicsStrokeKind AKind) {
  C().Pen()->SetStyle(PenStyleOf(AKind));
}
void TVivIzudeGraphicsContextGeneral::SetStrokeColor(TColor AColor) { C().Pen()->SetColor(AColor); }
void TVivIzudeGraphicsContextGeneral::SetStrokeWidth(float AWidth) { C().Pen()->SetWidth(RoundC(AWidth)); }

// ---------------------------------------------------------------- focus pen
void TVivIzudeGraphicsContextGeneral::StartSpecialPen() {
  if (FSpecialPen) StopSpecialPen();
  LOGBRUSH LB{BS_SOLID, static_cast<COLORREF>(ColorToRGB(C().Pen()->Color())), 0};
  FSpecialPen.Reset(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &LB, 0, nullptr));
  if (!FSpecialPen) return;
  // The canvas's own tools go in first; otherwise its next drawing call
  // would select its pen over the focus pen.
  C().SelectTools();
  FOldPenHandle = SelectObject(C().Handle(), FSpecialPen.Get());
}

void TVivIzudeGraphicsContextGeneral::StopSpecialPen() {
  if (!FSpecialPen) return;
  SelectObject(C().Handle(), FOldPenHandle);
  FSpecialPen.Reset();
  FOldPenHandle = nullptr;
}

void TVivIzudeGraphicsContextGeneral::DrawFocusRectangle(TVivIzudeGraphicsStroke*, const TRectF& ARect, TColor AColor,
                                                         TVivIzudeGraphicsModifyRectMode) {
  TOutlineScope Outline(C());
  C().Pen()->SetColor(AColor);
  StartSpecialPen();
  C().Rectangle(IntRect(ARect));
  StopSpecialPen();
}

void TVivIzudeGraphicsContextGeneral::DrawFocusPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath,
                                                    TColor AColor) {
  TOutlineScope Outline(C());
  C().Pen()->SetColor(AColor);
  StartSpecialPen();
  DrawPath(AStroke, APath, pdmPolygon);
  StopSpecialPen();
}

// ---------------------------------------------------------------- lines and shapes
void TVivIzudeGraphicsContextGeneral::DrawLine(TVivIzudeGraphicsStroke*, const TPointF& AFromPoint,
                                               const TPointF& AToPoint, TVivIzudeGraphicsModifyPointMode,
                                               TVivIzudeGraphicsModifyPointMode) {
  const TPoint From = RoundPoint(AFromPoint), To = RoundPoint(AToPoint);
  C().MoveTo(From.X, From.Y);
  C().LineTo(To.X, To.Y);
}

void TVivIzudeGraphicsContextGeneral::DrawRect(TVivIzudeGraphicsStroke* AStroke, const TRectF& ARect,
                                               TVivIzudeGraphicsSides ASides, TVivIzudeGraphicsModifyRectMode) {
  const TRect R = IntRect(ARect);
  const auto Line = [&](Integer X1, Integer Y1, Integer X2, Integer Y2) {
    DrawLine(AStroke, {static_cast<float>(X1), static_cast<float>(Y1)},
             {static_cast<float>(X2), static_cast<float>(Y2)}, gcpmRightDown, gcpmRightDown);
  };
  if (ASides.Contains(gsTop)) Line(R.Left, R.Top, R.Right - 1, R.Top);
  if (ASides.Contains(gsLeft)) Line(R.Left, R.Top, R.Left, R.Bottom - 1);
  if (ASides.Contains(gsBottom)) Line(R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1);
  if (ASides.Contains(gsRight)) Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom);
}

void TVivIzudeGraphicsContextGeneral::FillRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect,
                                               TVivIzudeGraphicsModifyRectMode) {
  if (!AFill) return;
  const TRect R = IntRect(ARect);
  if (AFill->Kind() == gfkSolid && HasColor(AFill->Color())) {
    // Without a pen GDI leaves out the last column and row: one more each,
    // so that the fill covers the rectangle as a GDI+ fill does.
    TFillScope Fill(C());
    C().Rectangle(R.Left, R.Top, R.Right + 1, R.Bottom + 1);
  } else if (AFill->Kind() == gfkGradient && HasColor(AFill->Color()) && HasColor(AFill->ColorTo())) {
    const bool Horizontal = AFill->Orientation() == gfoHorizontal;
    if (!HasColor(AFill->ColorMirror()) || !HasColor(AFill->ColorMirrorTo())) {
      DrawGradient(C(), AFill->Color(), AFill->ColorTo(), Horizontal, {}, 0, R);
    } else if (Horizontal) {
      const Integer Mid = R.Left + (R.Right - R.Left) / 2;
      DrawGradient(C(), AFill->Color(), AFill->ColorTo(), true, {}, 0, {R.Left, R.Top, Mid, R.Bottom});
      DrawGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), true, {}, 0, {Mid, R.Top, R.Right, R.Bottom});
    } else {
      const Integer Mid = R.Top + (R.Bottom - R.Top) / 2;
      DrawGradient(C(), AFill->Color(), AFill->ColorTo(), false, {}, 0, {R.Left, R.Top, R.Right, Mid});
      DrawGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), false, {}, 0, {R.Left, Mid, R.Right, R.Bottom});
    }
  }
}

void TVivIzudeGraphicsContextGeneral::FillRoundRect(TVivIzudeGraphicsFill* AFill, const TRectF& ARect, float ARounding,
                                                    TVivIzudeGraphicsCorners ACorners,
                                                    TVivIzudeGraphicsModifyRectMode) {
  if (!AFill) return;
  const TRect R = IntRect(ARect);
  const float Rounding = static_cast<float>(RoundC(ARounding));
  const TRect R2{R.Left, R.Top, R.Right - 1, R.Bottom - 1};
  const bool Horizontal = AFill->Orientation() == gfoHorizontal;
  if (AFill->Kind() == gfkSolid && HasColor(AFill->Color())) {
    DrawGradient(C(), AFill->Color(), AFill->Color(), Horizontal, ACorners, Rounding, R);
  } else if (AFill->Kind() == gfkGradient && HasColor(AFill->Color()) && HasColor(AFill->ColorTo())) {
    if (!HasColor(AFill->ColorMirror()) || !HasColor(AFill->ColorMirrorTo())) {
      DrawGradient(C(), AFill->Color(), AFill->ColorTo(), Horizontal, ACorners, Rounding, R2);
    } else if (Horizontal) {
      const Integer Mid = R2.Left + (R2.Right - R2.Left) / 2;
      DrawGradient(C(), AFill->Color(), AFill->ColorTo(), true,
                   ACorners * TVivIzudeGraphicsCorners{gcTopLeft, gcBottomLeft}, Rounding,
                   {R2.Left, R2.Top, Mid, R2.Bottom});
      DrawGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), true,
                   ACorners * TVivIzudeGraphicsCorners{gcTopRight, gcBottomRight}, Rounding,
                   {Mid, R2.Top, R2.Right, R2.Bottom});
    } else {
      const Integer Mid = R2.Top + (R2.Bottom - R2.Top) / 2;
      DrawGradient(C(), AFill->Color(), AFill->ColorTo(), false,
                   ACorners * TVivIzudeGraphicsCorners{gcTopLeft, gcTopRight}, Rounding,
                   {R2.Left, R2.Top, R2.Right, Mid});
      DrawGradient(C(), AFill->ColorMirror(), AFill->ColorMirrorTo(), false,
                   ACorners * TVivIzudeGraphicsCorners{gcBottomLeft, gcBottomRight}, Rounding,
                   {R2.Left, Mid, R2.Right, R2.Bottom});
    }
  }
}

void TVivIzudeGraphicsContextGeneral::DrawRoundRect(TVivIzudeGraphicsStroke*, const TRectF& ARect, float ARounding,
                                                    TVivIzudeGraphicsCorners ACorners,
                                                    TVivIzudeGraphicsModifyRectMode) {
  TOutlineScope Outline(C());
  const TRect Rc = IntRect(ARect);
  const Integer R = RoundC(ARounding);
  if (ACorners == AllCorners) {
    C().RoundRect(Rc.Left, Rc.Top, Rc.Right, Rc.Bottom, 2 * R, 2 * R);
    return;
  }
  if (ACorners.Empty()) {
    C().Rectangle(Rc);
    return;
  }
  const Integer L = Rc.Left, T = Rc.Top, Rr = Rc.Right - 1, B = Rc.Bottom - 1, E = R - 1;
  TCanvas& Cv = C();
  const TPoint Radius{E, E};
  if (ACorners.Contains(gcBottomLeft)) {
    Cv.MoveTo(L + E, B);
    DrawCanvasArc(Cv, {L + E, B - E}, Radius, -270, 90);
    Cv.MoveTo(L, B - E);
  } else {
    Cv.MoveTo(L, B);
  }
  if (ACorners.Contains(gcTopLeft)) {
    Cv.LineTo(L, T + E - 2);
    DrawCanvasArc(Cv, {L + E, T + E}, Radius, -180, 90);
    Cv.MoveTo(L + E, T);
  } else {
    Cv.LineTo(L, T);
  }
  if (ACorners.Contains(gcTopRight)) {
    Cv.LineTo(Rr - E, T);
    DrawCanvasArc(Cv, {Rr - E, T + E}, Radius, -90, 90);
    Cv.MoveTo(Rr, T + E);
  } else {
    Cv.LineTo(Rr, T);
  }
  if (ACorners.Contains(gcBottomRight)) {
    Cv.LineTo(Rr, B - E + 1);
    DrawCanvasArc(Cv, {Rr - E, B - E + 1}, Radius, 0, 90);
    Cv.MoveTo(Rr - E, B);
  } else {
    Cv.LineTo(Rr, B);
  }
  Cv.LineTo(ACorners.Contains(gcBottomLeft) ? L + E - 2 : L, B);
}

void TVivIzudeGraphicsContextGeneral::FillEllipse(TVivIzudeGraphicsFill*, const TRectF& ARect,
                                                  TVivIzudeGraphicsModifyRectMode) {
  // One more column and row, as for rectangles: the fill spans the rectangle.
  TFillScope Fill(C());
  const TRect R = IntRect(ARect);
  C().Ellipse(R.Left, R.Top, R.Right + 1, R.Bottom + 1);
}

void TVivIzudeGraphicsContextGeneral::DrawEllipse(TVivIzudeGraphicsStroke*, const TRectF& ARect,
                                                  TVivIzudeGraphicsModifyRectMode) {
  TOutlineScope Outline(C());
  C().Ellipse(IntRect(ARect));
}

void TVivIzudeGraphicsContextGeneral::FillArc(TVivIzudeGraphicsFill*, const TPointF& ACenter, const TPointF& ARadius,
                                              float AStartAngle, float ASweepAngle) {
  const double CX = ACenter.X, CY = ACenter.Y, RX = ARadius.X, RY = ARadius.Y;
  const TPoint From = ArcPoint(CX, CY, RX, RY, static_cast<double>(AStartAngle) + ASweepAngle);
  const TPoint To = ArcPoint(CX, CY, RX, RY, AStartAngle);
  TFillScope Fill(C());
  C().Chord(FloorC(CX - RX), FloorC(CY - RY), FloorC(CX + RX), FloorC(CY + RY), From.X, From.Y, To.X, To.Y);
}

void TVivIzudeGraphicsContextGeneral::DrawArc(TVivIzudeGraphicsStroke*, const TPointF& ACenter, const TPointF& ARadius,
                                              float AStartAngle, float ASweepAngle) {
  const double CX = ACenter.X, CY = ACenter.Y, RX = ARadius.X, RY = ARadius.Y;
  const TPoint From = ArcPoint(CX, CY, RX, RY, static_cast<double>(AStartAngle) + ASweepAngle);
  const TPoint To = ArcPoint(CX, CY, RX, RY, AStartAngle);
  TOutlineScope Outline(C());
  C().Arc(FloorC(CX - RX), FloorC(CY - RY), FloorC(CX + RX), FloorC(CY + RY), From.X, From.Y, To.X, To.Y);
}

// ---------------------------------------------------------------- polygons and paths
// A flattened path with several figures holds separator vertices between
// them; each figure is drawn on its own, never a line to a separator.
void TVivIzudeGraphicsContextGeneral::DrawPolygon(TVivIzudeGraphicsStroke*,
                                                  const TVivIzudeGraphicsPathPolygon& APolygon) {
  if (APolygon.empty()) return;
  TOutlineScope Outline(C());
  if (!HasFigureSeparator(APolygon)) {
    C().Polygon(RoundPoints(APolygon));
    return;
  }
  for (const auto& Figure : PolygonFigures(APolygon)) C().Polygon(RoundPoints(Figure));
}

void TVivIzudeGraphicsContextGeneral::DrawPolyline(TVivIzudeGraphicsStroke*,
                                                   const TVivIzudeGraphicsPathPolygon& APolyline) {
  if (APolyline.empty()) return;
  TOutlineScope Outline(C());
  if (!HasFigureSeparator(APolyline)) {
    C().Polyline(RoundPoints(APolyline));
    return;
  }
  for (const auto& Figure : PolygonFigures(APolyline)) C().Polyline(RoundPoints(Figure));
}

void TVivIzudeGraphicsContextGeneral::FillPolygon(TVivIzudeGraphicsFill*,
                                                  const TVivIzudeGraphicsPathPolygon& APolygon) {
  if (APolygon.empty()) return;
  TFillScope Fill(C());
  FillFigures(C(), APolygon);
}

void TVivIzudeGraphicsContextGeneral::FillPolyline(TVivIzudeGraphicsFill* AFill,
                                                   const TVivIzudeGraphicsPathPolygon& APolyline) {
  FillPolygon(AFill, APolyline);
}

void TVivIzudeGraphicsContextGeneral::DrawPath(TVivIzudeGraphicsStroke* AStroke, TVivIzudeGraphicsPath* APath,
                                               TVivIzudeGraphicsPathDrawMode APathMode) {
  if (!APath) return;
  TVivIzudeGraphicsPathPolygon Polygon;
  APath->FlattenToPolygon(Polygon, 0.25f);
  if (APathMode == pdmPolygon)
    DrawPolygon(AStroke, Polygon);
  else
    DrawPolyline(AStroke, Polygon);
}

void TVivIzudeGraphicsContextGeneral::FillPath(TVivIzudeGraphicsFill* AFill, TVivIzudeGraphicsPath* APath,
                                               TVivIzudeGraphicsPathDrawMode APathMode) {
  if (!APath) return;
  TVivIzudeGraphicsPathPolygon Polygon;
  APath->FlattenToPolygon(Polygon, 0.25f);
  if (APathMode == pdmPolygon)
    FillPolygon(AFill, Polygon);
  else
    FillPolyline(AFill, Polygon);
}

// ---------------------------------------------------------------- pictures and clip
void TVivIzudeGraphicsContextGeneral::DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect,
                                                 float) {
  if (!ABitmap || ABitmap->Empty()) return;
  const float W = static_cast<float>(ABitmap->Width()), H = static_cast<float>(ABitmap->Height());
  const TRect Dst{RoundC(ADstRect.Left), RoundC(ADstRect.Top),
                  RoundC(ADstRect.Left) + RoundC(ADstRect.Right - ADstRect.Left),
                  RoundC(ADstRect.Top) + RoundC(ADstRect.Bottom - ADstRect.Top)};
  const bool Whole = ASrcRect.Left <= 0 && ASrcRect.Top <= 0 && ASrcRect.Right >= W && ASrcRect.Bottom >= H;
  if (Whole || ASrcRect.IsEmpty()) {
    C().StretchDraw(Dst, ABitmap);
    return;
  }
  // A part: the whole picture is stretched so that the part lands on the
  // destination, and cut to the destination. Transparent pictures keep
  // their transparency that way.
  const double SX = (ADstRect.Right - ADstRect.Left) / (ASrcRect.Right - ASrcRect.Left);
  const double SY = (ADstRect.Bottom - ADstRect.Top) / (ASrcRect.Bottom - ASrcRect.Top);
  const double L = ADstRect.Left - ASrcRect.Left * SX, T = ADstRect.Top - ASrcRect.Top * SY;
  const TRect Whole2{RoundC(L), RoundC(T), RoundC(L + W * SX), RoundC(T + H * SY)};
  C().Refresh();
  const HDC DC = C().Handle();
  const TSavedDC Saved(DC);
  IntersectClipRect(DC, Dst.Left, Dst.Top, Dst.Right, Dst.Bottom);
  C().StretchDraw(Whole2, ABitmap);
  C().Refresh();
}

void TVivIzudeGraphicsContextGeneral::ClipRect(const TRectF& ARect) {
  const TRect R = IntRect(ARect);
  IntersectClipRect(C().Handle(), R.Left, R.Top, R.Right, R.Bottom);
}

// The shape as a region, cut out of the clip in force: a texture painted
// over a shape's bounding rectangle then stays inside the shape.
void TVivIzudeGraphicsContextGeneral::ClipPath(TVivIzudeGraphicsPath* APath) {
  if (!APath) return;
  TVivIzudeGraphicsPathPolygon Polygon;
  APath->FlattenToPolygon(Polygon, 0.25f);
  std::vector<POINT> Points;
  std::vector<INT> Counts;
  for (const auto& Figure : PolygonFigures(Polygon)) {
    if (Figure.size() < 3) continue;
    for (const TPointF& P : Figure) Points.push_back({RoundC(P.X), RoundC(P.Y)});
    Counts.push_back(static_cast<INT>(Figure.size()));
  }
  const HDC DC = C().Handle();
  if (Counts.empty()) {
    // A path that encloses nothing leaves nothing to draw on.
    IntersectClipRect(DC, 0, 0, 0, 0);
    return;
  }
  // The region is in device units; the DC may carry a window or viewport
  // origin, so the points are converted first.
  LPtoDP(DC, Points.data(), static_cast<int>(Points.size()));
  const TGdiObject Region(
      CreatePolyPolygonRgn(Points.data(), Counts.data(), static_cast<int>(Counts.size()), ALTERNATE));
  if (Region.Get()) ExtSelectClipRgn(DC, static_cast<HRGN>(Region.Get()), RGN_AND);
}

// ---------------------------------------------------------------- text
TRectF TVivIzudeGraphicsContextGeneral::CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) {
  TRect R = IntRect(ARect);
  UINT F = DT_CALCRECT | (AWordWrapping ? DT_WORDBREAK : DT_SINGLELINE);
  if (!FShowAcceleratorChar) F |= DT_NOPREFIX;
  C().TextRect(R, AText, F);
  return ConvertToRectF(R);
}

void TVivIzudeGraphicsContextGeneral::DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping,
                                               TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                               TVivIzudeGraphicsTextAlign AVerticalAlign,
                                               TVivIzudeGraphicsTextTrimming ATrimming, float AAngle) {
  TOutlineScope Outline(C());
  TRect R = IntRect(ARect);
  // The device centres and bottom-aligns single lines only: wrapped text is
  // placed first.
  if (AWordWrapping && (AVerticalAlign == gtaCenter || AVerticalAlign == gtaTrailing)) {
    const Integer H = RoundC(CalculateText(AText, ARect, true).Height());
    if (AVerticalAlign == gtaCenter) {
      R.Top += std::max<Integer>(0, (R.Bottom - R.Top - H) / 2);
      R.Bottom = std::max<Integer>(0, std::min<Integer>(RoundC(ARect.Bottom), R.Top + H));
    } else {
      R.Top = R.Bottom - H;
    }
  }
  if (AAngle == 0)
    C().TextRect(R, AText,
                 TextFormat(AWordWrapping, FShowAcceleratorChar, AHorizontalAlign, AVerticalAlign, ATrimming));
  else
    DrawRotatedText(R, AText, AAngle, AHorizontalAlign, AVerticalAlign);
}

void TVivIzudeGraphicsContextGeneral::DrawRotatedText(const TRect& ARect, const String& AText, float AAngle,
                                                      TVivIzudeGraphicsTextAlign AHorizontalAlign,
                                                      TVivIzudeGraphicsTextAlign AVerticalAlign) {
  TFont& F = *C().Font();
  const Integer OldOrientation = F.Orientation();
  F.SetOrientation(RoundC(-10.0 * AAngle));
  const double W = C().TextWidth(AText), H = C().TextHeight(AText);
  const double L = ARect.Left, T = ARect.Top, R = ARect.Right, B = ARect.Bottom;
  double X = 0, Y = 0;
  if (F.Orientation() < 0) {
    Y = AHorizontalAlign == gtaCenter ? T + ((B - T) - W) / 2 : AHorizontalAlign == gtaLeading ? T : B - W;
    X = AVerticalAlign == gtaCenter ? L + (R - L) / 2 + H / 2 : AVerticalAlign == gtaLeading ? R : L + H;
  } else {
    Y = AHorizontalAlign == gtaCenter ? T + ((B - T) - W) / 2 + W : AHorizontalAlign == gtaLeading ? B : T + W;
    X = AVerticalAlign == gtaCenter ? L + (R - L) / 2 - H / 2 : AVerticalAlign == gtaLeading ? L : R - H;
  }
  C().TextOut(RoundC(X), RoundC(Y), AText);
  F.SetOrientation(OldOrientation);
}
