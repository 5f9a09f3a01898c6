// The GDI+ painting of series: lines, areas, arrows, bubbles and digital
// lines in full, and the bars, gantt bars, markers, spider and selection
// marks that the canvas painters call back for. On a canvas without a
// device context (recording or measuring) the canvas versions run.
#include <cmath>
#include <numbers>
#include <vector>

#include "chart/model/ChartHelpers.h"
#include "chart/paint/ChartPaintSupport.h"
#include "chart/view/VivIzudeGDIPPaintSupport.h"

using namespace gdip_paint;

namespace {
constexpr double DegToRad = std::numbers::pi / 180.0;

TGPPointF PF(TPoint P) { return {REAL(P.X), REAL(P.Y)}; }

// A pen in an opacity and colour; nullptr when the colour or the style says
// there is no line.
std::unique_ptr<TGPPen> LinePen(Integer Opacity, TColor Color, double Width, TPenStyle Style) {
  if (Color == clNone || Style == psClear) return nullptr;
  auto Pen = std::make_unique<TGPPen>(MakeGDIPColor(OpacityAlpha(Opacity), Color), REAL(Width));
  Pen->SetDashStyle(PenStyleToDashStyle(Style));
  return Pen;
}

std::unique_ptr<TGPPen> ShadowPen(double Width, TPenStyle Style) {
  auto Pen = std::make_unique<TGPPen>(MakeGDIPColor(180, clGray), REAL(Width));
  Pen->SetDashStyle(PenStyleToDashStyle(Style == psClear ? psSolid : Style));
  return Pen;
}

// A path through the points; closed when asked.
void AddPolyline(TGPGraphicsPath& Path, const TPoint* P, size_t N, bool Close) {
  for (size_t I = 1; I < N; ++I) Path.AddLine(PF(P[I - 1]), PF(P[I]));
  if (N == 1) Path.AddLine(PF(P[0]), PF(P[0]));
  if (Close) Path.CloseFigure();
}

TColor Darkened(TColor C, bool Darken) { return C == clNone ? clNone : DarkenColor(ChartColorToRGB(C), Darken); }

// The 3D offset of a point: right and up on vertical charts, right and down
// on horizontal ones.
TPoint Offset3D(const TChartSerie& S) {
  const Integer O = S.Offset3D();
  return S.IsHorizontal() ? TPoint{O, O} : TPoint{O, -O};
}

TPoint Plus(TPoint A, TPoint B) { return {A.X + B.X, A.Y + B.Y}; }

// A closed polygon filled with the serie's fill settings in the given
// colours over R (no fill for a colour of clNone; the outline stays).
void FillPolygon(const TChartSerie& S, TGPGraphics& G, std::initializer_list<TPoint> Points, TColor C1, TColor C2,
                 const TGPRectF& R) {
  TGPGraphicsPath Path;
  std::vector<TPoint> V(Points);
  AddPolyline(Path, V.data(), V.size(), true);
  TGDIPFillParams F = SerieFill(S, G, C1, C2);
  if (C1 == clNone) F.GradientType = gtNone;
  F.Path = &Path;
  F.UsePath = true;
  F.R = R;
  FillGDIPShape(F);
}

// Path filled with the serie's colours and fill settings over R, without
// a border (no fill when the serie's colour is clNone).
void FillSerieArea(const TChartSerie& S, TGPGraphics& G, TGPGraphicsPath& Path, TRect R) {
  TGDIPFillParams F = SerieFill(S, G, S.Color(), S.ColorTo());
  if (S.Color() == clNone) F.GradientType = gtNone;
  F.Path = &Path;
  F.UsePath = true;
  F.R = RectF(R);
  F.BorderColor = clNone;
  F.BorderWidth = 0;
  FillGDIPShape(F);
}

// Appends a polyline point. Points of one pixel column beyond the fourth
// are merged: the column keeps its first, lowest, highest and last point in
// order, which draws the same pixels as all of them (a chart of more points
// than pixels draws a few per column instead of thousands).
void AppendThinned(std::vector<TGPPoint>& Run, TGPPoint P) {
  const size_t N = Run.size();
  if (N >= 4 && Run[N - 1].X == P.X && Run[N - 2].X == P.X && Run[N - 3].X == P.X && Run[N - 4].X == P.X) {
    // Run[N-4] first, then the lowest and highest in order, and the last.
    TGPPoint& A = Run[N - 3];
    TGPPoint& B = Run[N - 2];
    TGPPoint Last = Run[N - 1];
    const INT Lo = std::min({A.Y, B.Y, Last.Y}), Hi = std::max({A.Y, B.Y, Last.Y});
    // Keep the order of the extremes as they came: the one met first first.
    const bool LowFirst = (A.Y == Lo) || (B.Y == Lo && A.Y != Hi);
    A.Y = LowFirst ? Lo : Hi;
    B.Y = LowFirst ? Hi : Lo;
    Run[N - 1] = P;
    return;
  }
  Run.push_back(P);
}

bool IsOwnType(TChartType T) {
  switch (T) {
    case ctLine:
    case ctXYLine:
    case ctArea:
    case ctStackedArea:
    case ctStackedPercArea:
    case ctBand:
    case ctArrow:
    case ctScaledArrow:
    case ctBubble:
    case ctScaledBubble:
    case ctDigitalLine:
    case ctXYDigitalLine:
      return true;
    default:
      return false;
  }
}
}  // namespace

// ---------------------------------------------------------------- frame
void TGDIPChartSeriePainter::DrawSerie(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  HDC DC = CanvasDC(Canvas);
  if (!DC || !IsOwnType(S.ChartType())) {
    TChartSeriePainter::DrawSerie(S, Canvas, R, SX, SY);
    return;
  }
  if (S.IsDrawing || S.SerieType() == stZoomControl || !S.Visible()) return;
  S.IsDrawing = true;
  S.StackedRectsBar.clear();
  const bool OldMode = Canvas.SetBackgroundTransparent(true);
  if (!S.DrawPoints.empty()) {
    Canvas.SetBackgroundTransparent(OldMode);
    SetLinePen(S, Canvas, SX);
    SetSerieBrush(S, Canvas);
    switch (S.ChartType()) {
      case ctLine:
      case ctXYLine:
        DrawLineGP(S, Canvas, DC, R, SX, SY);
        break;
      case ctArea:
      case ctStackedArea:
      case ctStackedPercArea:
      case ctBand:
        DrawAreaGP(S, DC, R, SX, SY);
        break;
      case ctArrow:
      case ctScaledArrow:
        DrawArrowsGP(S, DC, R, SX, SY);
        break;
      case ctBubble:
      case ctScaledBubble:
        DrawBubblesGP(S, DC, R, SX, SY);
        break;
      default:
        DrawDigitalLineGP(S, DC, R, SX, SY);
        break;
    }
  } else {
    S.DrawValuesDP.clear();
  }
  S.IsDrawing = false;
  if (S.OnSerieDrawPoint) {
    const Integer From = S.Chart() ? S.Chart()->Range().RangeFrom() : 0;
    for (size_t N = 0; N < S.DrawValuesDP.size() && N < S.DrawPoints.size(); ++N) {
      const Integer K = From < 0 ? static_cast<Integer>(N) : static_cast<Integer>(N) + From;
      S.OnSerieDrawPoint(&S, Canvas, S.DrawValuesDP[N], S.GetChartPoint(K));
    }
  }
}

// ---------------------------------------------------------------- lines
void TGDIPChartSeriePainter::DrawLineGP(TChartSerie& S, TChartCanvas& Canvas, HDC DC, TRect, double SX, double) {
  TVivIzude* C = S.Chart();
  const TPointArray& P = S.DrawPoints;
  S.DrawValuesDP = P;
  if (!C) return;
  const TRect SR = C->Series().SeriesRectangle();
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  if (S.Enable3D()) {
    const TPoint O = Offset3D(S);
    for (size_t I = 1; I < P.size(); ++I)
      FillPolygon(S, G, {P[I - 1], Plus(P[I - 1], O), Plus(P[I], O), P[I]}, S.Color(), S.ColorTo(), RectF(SR));
  }
  // An end on the outer edge of an axis line is drawn one pixel inside, so
  // the line does not vanish under the axis.
  const Integer TopEdge = SR.Top - C->XAxis().TopLineSize(), BottomEdge = SR.Bottom + C->XAxis().BottomLineSize();
  const Integer LeftEdge = SR.Left - C->YAxis().LeftLineSize(), RightEdge = SR.Right + C->YAxis().RightLineSize();
  auto Nudge = [&](TPoint Q) {
    if (Q.Y == TopEdge)
      ++Q.Y;
    else if (Q.Y == BottomEdge)
      --Q.Y;
    if (Q.X == LeftEdge)
      ++Q.X;
    else if (Q.X == RightEdge)
      --Q.X;
    return Q;
  };
  if (auto Pen = LinePen(SerieOpacity(S), S.LineColor(), S.LineWidth() * SX, S.PenStyle())) {
    // Each run of defined points is one polyline: one call, and joins drawn
    // as joins rather than as overlapping segment ends. A line of more points
    // than its pixels is all steep strokes inside columns: smoothing shows
    // nothing there, and an opaque one goes through the plain canvas, many
    // times faster than GDI+ with as many points.
    const Integer Across = S.IsHorizontal() ? SR.Height() : SR.Width();
    const bool Dense = static_cast<Integer>(P.size()) > 2 * std::max<Integer>(Across, 1);
    const bool Plain = Dense && OpacityAlpha(SerieOpacity(S)) == 255;
    if (Dense) G.SetSmoothingMode(SmoothingModeNone);
    if (Plain) SetLinePen(S, Canvas, SX);
    std::vector<TGPPoint> Run;
    auto Flush = [&] {
      if (Run.size() > 1) {
        if (Plain) {
          // Segment by segment: a wide pen's polyline joins cost far more.
          Canvas.MoveTo(Run[0].X, Run[0].Y);
          for (size_t K = 1; K < Run.size(); ++K) Canvas.LineTo(Run[K].X, Run[K].Y);
        } else {
          TGPGraphicsPath Path;
          Path.AddLines(Run.data(), static_cast<INT>(Run.size()));
          G.DrawPath(Pen.get(), &Path);
        }
      }
      Run.clear();
    };
    for (size_t I = 0; I < P.size(); ++I) {
      if (!S.GetChartPointFromDrawPoint(static_cast<Integer>(I)).Defined) {
        Flush();
        continue;
      }
      const TPoint Q = Nudge(P[I]);
      AppendThinned(Run, {Q.X, Q.Y});
    }
    Flush();
    G.SetSmoothingMode(AntiAlias);
  }
  if (SerieShadow(S) && P.size() > 1) {
    std::vector<TPoint> Moved;
    for (TPoint Q : P) Moved.push_back({Q.X + 3, Q.Y + 3});
    TGPGraphicsPath Path;
    AddPolyline(Path, Moved.data(), Moved.size(), false);
    auto Pen = ShadowPen(3 * SX, S.PenStyle());
    G.DrawPath(Pen.get(), &Path);
  }
}

// ---------------------------------------------------------------- areas
void TGDIPChartSeriePainter::DrawAreaGP(TChartSerie& S, HDC DC, TRect R, double SX, double) {
  if (!S.Chart()) return;
  const TChartType T = S.ChartType();
  const bool Horz = S.IsHorizontal();
  const Integer Z = S.ValueToY(S.ZeroReferencePoint(), R);
  const TAreaOutline Area = AreaOutline(S, R);
  const TChartSerie* Prev = Area.Previous;
  const TPointArray& P = Area.Points;
  S.StackedPointsArea = P;
  S.DrawValuesDP = P;
  if (P.empty()) return;

  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  if (S.Is3D()) {
    const Integer N = static_cast<Integer>(P.size());
    Integer Last;
    if (T == ctBand)
      Last = N - 2;
    else if (T == ctArea || !Prev)
      Last = N - 3;
    else
      Last = N / 2 - 4;
    DrawArea3DGP(S, G, 0, Last, Prev, P, R);
  }
  if (SerieShadow(S) && P.size() > 2) {
    std::vector<TPoint> Moved;
    for (size_t K = 0; K + 2 < P.size(); ++K) Moved.push_back({P[K].X + 2, P[K].Y - 2});
    TGPGraphicsPath Path;
    AddPolyline(Path, Moved.data(), Moved.size(), true);
    auto Pen = ShadowPen(4 * SX, S.PenStyle());
    G.DrawPath(Pen.get(), &Path);
  }

  auto Outline = LinePen(SerieLineOpacity(S), S.LineColor(), S.LineWidth() * SX, S.PenStyle());
  const size_t Values = T == ctBand ? P.size() : AreaValueCount(S);
  bool AllDefined = true;
  for (size_t K = 0; K < Values && AllDefined; ++K)
    AllDefined = T == ctBand || S.GetChartPointFromDrawPoint(static_cast<Integer>(K)).Defined;
  if (AllDefined) {
    TGPGraphicsPath Path;
    AddPolyline(Path, P.data(), P.size(), true);
    FillSerieArea(S, G, Path, R);
    if (Outline) {
      G.DrawPath(Outline.get(), &Path);
      // The upper edge is drawn once more over the closing edges.
      if (T == ctArea && P.size() > 2) {
        TGPGraphicsPath Upper;
        AddPolyline(Upper, P.data(), P.size() - 2, false);
        G.DrawPath(Outline.get(), &Upper);
      }
    }
    return;
  }
  // Runs of defined points, each closed down to the zero line; the path
  // closes a run, so its repeated first point is left out.
  for (const TPointArray& Run : DefinedRuns(S, P, Values, Z, Horz)) {
    TGPGraphicsPath Path;
    AddPolyline(Path, Run.data(), Run.size() - 1, true);
    FillSerieArea(S, G, Path, R);
    if (Outline) G.DrawPath(Outline.get(), &Path);
  }
}

void TGDIPChartSeriePainter::DrawArea3DGP(TChartSerie& S, TGPGraphics& G, Integer First, Integer Last,
                                          const TChartSerie* Prev, const TPointArray& P, TRect R) {
  TVivIzude* C = S.Chart();
  if (!C || P.size() < 2) return;
  const TPoint O = Offset3D(S);
  const bool Horz = S.IsHorizontal();
  const TColor C1 = Darkened(S.Color(), S.Darken3D()), C2 = Darkened(S.ColorTo(), S.Darken3D());
  const TGPRectF RF = RectF(R);
  auto Face = [&](TPoint A, TPoint B) { FillPolygon(S, G, {A, Plus(A, O), Plus(B, O), B}, C1, C2, RF); };
  const Integer N = static_cast<Integer>(P.size());
  Last = std::min(Last, N - 2);
  const TChartType T = S.ChartType();
  if (T == ctArea) {
    // Faces crossing the zero line are cut there, so each part shows on its
    // own side of the line.
    const TRect SR = C->Series().SeriesRectangle();
    const Integer Zero = S.ValueToY(0, SR);
    for (Integer I = First; I <= Last; ++I) {
      const TPoint A = P[I], B = P[I + 1];
      const TPoint L1 = Horz ? TPoint{Zero, std::min(A.Y, B.Y)} : TPoint{std::min(A.X, B.X), Zero};
      const TPoint L2 = Horz ? TPoint{Zero, std::max(A.Y, B.Y)} : TPoint{std::max(A.X, B.X), Zero};
      const TChartIntersection X = C->SegmentIntersection(A, B, L1, L2);
      const TPoint XP{X.X, X.Y};
      if (X.Found && XP != A && XP != B) {
        Face(A, XP);
        Face(XP, B);
      } else {
        Face(A, B);
      }
    }
    return;
  }
  for (Integer I = First; I <= Last; ++I) Face(P[I], P[I + 1]);
  if (T != ctBand && Prev && !Prev->StackedPointsArea.empty()) {
    const Integer A = N / 2 - 3, B = static_cast<Integer>(Prev->DrawPoints.size()) - 3;
    if (A >= 0 && A < N && B >= 0 && B < static_cast<Integer>(Prev->StackedPointsArea.size()))
      Face(P[A], Prev->StackedPointsArea[B]);
  }
}

// ---------------------------------------------------------------- arrows and bubbles
void TGDIPChartSeriePainter::DrawArrowsGP(TChartSerie& S, HDC DC, TRect R, double SX, double SY) {
  const TPointArray& DP = S.DrawPoints;
  S.DrawValuesDP = DP;
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  auto Pen = LinePen(255, S.LineColor(), S.LineWidth() * SX, S.PenStyle());
  const Integer Count = S.GetPointsCount();
  for (size_t N = 0; N < DP.size(); ++N) {
    const Integer Index = PointOfDrawPoint(S, static_cast<Integer>(N));
    if (Index >= Count) break;
    const TChartPoint P = S.GetPoint(Index);
    const TPoint A = DP[N], E = ArrowEnd(S, P, A, R, SX, SY);
    if (Pen) G.DrawLine(*Pen, REAL(E.X), REAL(E.Y), REAL(A.X), REAL(A.Y));
    if (S.ArrowColor() != clNone) {
      DrawGDIPArrow(G, E, A, S.ArrowSize(), S.ArrowColor(), SX, SY);
    } else if (Pen) {
      // A head without a colour of its own is outlined in the line's.
      TGPPointF H[4];
      GDIPArrowPoints(E, A, S.ArrowSize(), SX, SY, H);
      TGPGraphicsPath Path;
      for (int I = 1; I < 4; ++I) Path.AddLine(H[I - 1], H[I]);
      Path.CloseFigure();
      G.DrawPath(Pen.get(), &Path);
    }
  }
}

void TGDIPChartSeriePainter::DrawBubblesGP(TChartSerie& S, HDC DC, TRect R, double SX, double SY) {
  const TPointArray& DP = S.DrawPoints;
  S.DrawValuesDP = DP;
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  const Integer Count = S.GetPointsCount();
  for (size_t N = 0; N < DP.size(); ++N) {
    const Integer Index = PointOfDrawPoint(S, static_cast<Integer>(N));
    if (Index >= Count) break;
    const TChartPoint P = S.GetPoint(Index);
    if (!P.Defined) continue;
    const TRect B = BubbleBox(S, P, DP[N], R, SX, SY);
    const TGPRectF BF = RectF(B);
    TGPGraphicsPath Path;
    Path.AddEllipse(BF);
    Path.CloseFigure();
    TGDIPFillParams F = SerieFill(S, G, S.Color(), S.ColorTo());
    if (S.Color() == clNone) F.GradientType = gtNone;
    F.Path = &Path;
    F.UsePath = true;
    F.R = BF;
    FillGDIPShape(F);
  }
}

// ---------------------------------------------------------------- digital lines
void TGDIPChartSeriePainter::DrawDigitalLineGP(TChartSerie& S, HDC DC, TRect R, double SX, double) {
  S.DrawValuesDP = S.DrawPoints;
  const std::vector<TDigitalLinePoint> Corners = DigitalLineCorners(S, R);
  if (Corners.empty()) return;
  TVivIzude* C = S.Chart();
  auto Defined = [&](const TDigitalLinePoint& D) { return DigitalCornerDefined(S, D); };
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  if (S.Enable3D()) {
    const TPoint O = Offset3D(S);
    const TRect SR = C->Series().SeriesRectangle();
    for (size_t I = 1; I < Corners.size(); ++I) {
      if (!Defined(Corners[I - 1]) || !Defined(Corners[I])) continue;
      const TPoint A = Corners[I - 1].pt, B = Corners[I].pt;
      FillPolygon(S, G, {A, Plus(A, O), Plus(B, O), B}, S.Color(), S.ColorTo(), RectF(SR));
    }
  }
  // Steps are drawn without anti-aliasing: their lines are axis-parallel.
  G.SetSmoothingMode(SmoothingModeNone);
  auto Pen = LinePen(SerieOpacity(S), S.LineColor(), S.LineWidth() * SX, S.PenStyle());
  TGPGraphicsPath Path;
  bool Any = false;
  std::vector<TPoint> Steps;
  for (size_t I = 1; I < Corners.size(); ++I) {
    const TPoint A = Corners[I - 1].pt, B = Corners[I].pt;
    if (!Defined(Corners[I - 1]) || !Defined(Corners[I])) {
      if (Any && Pen) G.DrawPath(Pen.get(), &Path);
      Path.Reset();
      Any = false;
      continue;
    }
    Path.AddLine(REAL(A.X), REAL(A.Y), REAL(A.X), REAL(B.Y));
    Path.AddLine(REAL(A.X), REAL(B.Y), REAL(B.X), REAL(B.Y));
    if (Steps.empty() || Steps.back() != A) Steps.push_back(A);
    Steps.push_back({A.X, B.Y});
    Steps.push_back(B);
    Any = true;
  }
  if (Any && Pen) G.DrawPath(Pen.get(), &Path);
  G.SetSmoothingMode(AntiAlias);
  if (SerieShadow(S) && Steps.size() > 1) {
    for (TPoint& Q : Steps) Q = {Q.X + 3, Q.Y + 3};
    TGPGraphicsPath Shadow;
    AddPolyline(Shadow, Steps.data(), Steps.size(), false);
    auto SPen = ShadowPen(3 * SX, S.PenStyle());
    G.DrawPath(SPen.get(), &Shadow);
  }
}

// ---------------------------------------------------------------- bars
void TGDIPChartSeriePainter::DrawBar(TChartSerie& S, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R,
                                     double SX, double SY, Integer Index, double Value) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawBar(S, Canvas, Color, ColorTo, R, SX, SY, Index, Value);
    return;
  }
  const bool BoxPlot = S.ChartType() == ctBoxPlot;
  {
    TGPGraphics G(DC);
    G.SetSmoothingMode(AntiAlias);
    if (S.BarShape() == bsCylinder && !BoxPlot) {
      DrawCylinderGP(S, G, R, Color, ColorTo);
    } else if (S.BarShape() == bsPyramid && !BoxPlot) {
      DrawPyramidGP(S, G, R, Index, Color, ColorTo);
    } else {
      const TRect N = NormalizedRect(R);
      if (SerieShadow(S)) {
        // A soft shadow 4 pixels to the side of the bar, reaching 4 pixels
        // past its end.
        if (!S.IsHorizontal()) {
          if (N.Height() > 2)
            DrawGDIPShadow(G, {REAL(N.Left + 4), REAL(N.Top - 4), REAL(N.Width()), REAL(N.Height() + 4)});
        } else if (N.Width() > 2) {
          DrawGDIPShadow(G, {REAL(N.Left), REAL(N.Top + 4), REAL(N.Width() + 4), REAL(N.Height())});
        }
      }
      TGDIPFillParams F = SerieFill(S, G, Color, ColorTo);
      if (Color == clNone) F.GradientType = gtNone;
      F.R = RectF(N);
      FillGDIPShape(F);
    }
  }
  Canvas.Brush.SetStyle(bsClear);
  if (BoxPlot) return;
  DrawBarText(S, Canvas, R, Index, Value);
}

void TGDIPChartSeriePainter::DrawCylinderGP(TChartSerie& S, TGPGraphics& G, TRect R, TColor Color, TColor ColorTo) {
  const TRect N = NormalizedRect(R);
  const REAL W = REAL(N.Width()), H = REAL(N.Height());
  auto Fill = [&](TGPGraphicsPath* Path, const TGPRectF& Over) {
    TGDIPFillParams F = SerieFill(S, G, Color, ColorTo);
    if (Color == clNone) F.GradientType = gtNone;
    F.Path = Path;
    F.UsePath = Path != nullptr;
    F.R = Over;
    FillGDIPShape(F);
  };
  auto Ellipse = [&](const TGPRectF& E) {
    TGPGraphicsPath Path;
    Path.AddEllipse(E);
    Fill(&Path, E);
  };
  if (!S.IsHorizontal()) {
    const TGPRectF B{REAL(N.Left), REAL(N.Top) - W / 6, W, H};
    const TGPRectF Bottom{B.X, B.Y + B.Height - W / 6, W, W / 3}, Top{B.X, B.Y - W / 6, W, W / 3};
    Ellipse(Bottom);
    TGPGraphicsPath Body;
    Body.AddArc(Bottom, 0, 180);
    Body.AddArc(Top, 180, -180);
    Body.AddLine(B.X + W, B.Y, B.X + W, B.Y + B.Height);
    Body.CloseFigure();
    Fill(&Body, {B.X, B.Y - W / 3, W, B.Height + W / 3});
    Ellipse(Top);
  } else {
    const TGPRectF B{REAL(N.Left) + H / 6, REAL(N.Top), REAL(N.Width()), H};
    const TGPRectF Left{B.X - H / 6, B.Y, H / 3, H}, Right{B.X + B.Width - H / 6, B.Y, H / 3, H};
    Ellipse(Left);
    TGPGraphicsPath Body;
    Body.AddArc(Left, 90, 180);
    Body.AddArc(Right, 270, -180);
    Body.AddLine(B.X + B.Width, B.Y + H, B.X, B.Y + H);
    Body.CloseFigure();
    Fill(&Body, {B.X - H / 3, B.Y, B.Width + H / 3, H});
    Ellipse(Right);
  }
}

void TGDIPChartSeriePainter::DrawPyramidGP(TChartSerie& S, TGPGraphics& G, TRect R, Integer Index, TColor Color,
                                           TColor ColorTo) {
  TPyramidFaces Faces;
  if (!PyramidFaces(S, R, Index, Faces)) return;
  const TRect N = NormalizedRect(R);
  const auto& F = Faces.Front;
  FillPolygon(S, G, {F[0], F[1], F[2], F[3]}, Color, ColorTo, RectF(N));
  if (!S.Enable3D()) return;
  const Integer O = S.Offset3D();
  const TGPRectF Over{REAL(N.Left), REAL(N.Top - O), REAL(N.Width() + (S.IsHorizontal() ? 0 : O)),
                      REAL(N.Height() + 2 * O)};
  const TColor D1 = Darkened(Color == clNone ? S.Color() : Color, S.Darken3D());
  const TColor D2 = Darkened(ColorTo, S.Darken3D());
  const auto& Side = Faces.Side;
  FillPolygon(S, G, {Side[0], Side[1], Side[2], Side[3]}, D1, D2, Over);
}

void TGDIPChartSeriePainter::DrawBar3D(TChartSerie& S, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R,
                                       double SX, double SY) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawBar3D(S, Canvas, Color, ColorTo, R, SX, SY);
    return;
  }
  const TRect N = NormalizedRect(R);
  const Integer O = S.Get3DOffset();
  const TColor D1 = Darkened(Color, S.Darken3D()), D2 = Darkened(ColorTo, S.Darken3D());
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  const TGPRectF Side{REAL(N.Right), REAL(N.Top - O), REAL(O), REAL(N.Height() + O)};
  const TGPRectF Top{REAL(N.Left - O), REAL(N.Top - O), REAL(N.Width() + 2 * O), REAL(2 * O)};
  if (!S.IsHorizontal()) {
    FillPolygon(S, G, {{N.Right, N.Top}, {N.Right + O, N.Top - O}, {N.Right + O, N.Bottom - O}, {N.Right, N.Bottom}},
                D1, D2, Side);
    FillPolygon(S, G, {{N.Left, N.Top}, {N.Right, N.Top}, {N.Right + O, N.Top - O}, {N.Left + O, N.Top - O}}, D1, D2,
                Top);
  } else {
    FillPolygon(S, G, {{N.Right, N.Top}, {N.Right + O, N.Top + O}, {N.Right + O, N.Bottom + O}, {N.Right, N.Bottom}},
                D1, D2, Side);
    FillPolygon(S, G,
                {{N.Left, N.Bottom}, {N.Right, N.Bottom}, {N.Right + O, N.Bottom + O}, {N.Left + O, N.Bottom + O}}, D1,
                D2, Top);
  }
}

void TGDIPChartSeriePainter::DrawGanttBar(TChartSerie& S, TChartCanvas& Canvas, const TChartPoint& P, TRect R) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawGanttBar(S, Canvas, P, R);
    return;
  }
  if (P.Color == clNone) return;
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  TGDIPFillParams F;
  F.Graphics = &G;
  F.R = RectF(NormalizedRect(R));
  // Without a second colour the bar is one colour, not a fade to white.
  F.GradientType = P.ColorTo == clNone ? gtSolid : (P.GradientDirection == cgdVertical ? gtVertical : gtHorizontal);
  F.Color = P.Color;
  F.ColorTo = P.ColorTo;
  if (const TVivGDIPChartSerie* GS = GDIPSerie(S)) {
    F.Opacity = GS->Opacity();
    F.OpacityTo = GS->OpacityTo();
    F.Angle = GS->Angle();
    F.Hatch = GS->Hatch();
  }
  F.BorderColor = P.BorderColor;
  F.BorderWidth = 1;
  FillGDIPShape(F);
}

// ---------------------------------------------------------------- markers
void TGDIPChartSeriePainter::DrawMarkers(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) {
    TChartSeriePainter::DrawMarkers(S, Canvas, R, SX, SY);
    return;
  }
  const TChartType T = S.ChartType();
  TChartMarker& M = S.Marker();
  if (M.MarkerType() == mNone) return;
  auto* GM = dynamic_cast<TChartGDIPMarker*>(&M);
  const TPointArray& Pos = IsSpiderType(T) ? S.SpiderV : S.DrawValuesDP;
  size_t N = Pos.size();
  if (T == ctArea || T == ctStackedArea || T == ctStackedPercArea) N = N >= 2 ? N - 2 : 0;
  if (N == 0) return;
  Integer Shift = 0;
  if (T == ctBar || T == ctLineBar || T == ctStackedBar || T == ctStackedPercBar)
    Shift = RoundI(S.GetBarWidth(SX) / 2.0);
  if (T == ctHistogram || T == ctLineHistogram) Shift = RoundI(S.GetHistogramBarWidth(SX) / 2.0);
  const bool Horz = S.IsHorizontal();
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  for (size_t I = 0; I < N; ++I) {
    const Integer Idx = static_cast<Integer>(I);
    const TChartPoint P = IsXYType(T) ? S.GetChartPoint(Idx) : S.GetChartPointFromDrawPoint(Idx);
    if (!P.Defined) continue;
    const TChartPoint Next = IsXYType(T) ? S.GetChartPoint(Idx + 1) : S.GetChartPointFromDrawPoint(Idx + 1);
    Integer X = Pos[I].X, Y = Pos[I].Y;
    (Horz ? Y : X) += Shift;
    Integer W, H, LineWidth;
    TColor Fill, FillTo, Line;
    if (M.IncreaseDecreaseMode() || T == ctRenko) {
      W = RoundI(SX * M.MarkerSize()), H = RoundI(SY * M.MarkerSize());
      Fill = I == 0 ? S.CandleColorIncrease()
                    : (Next.SingleValue >= P.SingleValue ? S.CandleColorDecrease() : S.CandleColorIncrease());
      FillTo = Fill;
      Line = M.MarkerLineColor();
      LineWidth = M.MarkerLineWidth();
    } else if (M.DisplayIndex() == Idx) {
      W = RoundI(SX * M.SelectedSize()), H = RoundI(SY * M.SelectedSize());
      Fill = M.SelectedColor();
      FillTo = GM ? GM->SelectedColorTo() : clNone;
      Line = M.SelectedLineColor();
      LineWidth = M.SelectedLineWidth();
    } else {
      W = RoundI(SX * M.MarkerSize()), H = RoundI(SY * M.MarkerSize());
      Fill = M.MarkerColor();
      FillTo = GM ? GM->MarkerColorTo() : clNone;
      Line = M.MarkerLineColor();
      LineWidth = M.MarkerLineWidth();
    }
    TGDIPFillParams F;
    F.Graphics = &G;
    F.GradientType = Fill == clNone ? gtNone : (GM ? GM->GradientType() : gtSolid);
    F.Color = Fill;
    F.ColorTo = FillTo == clNone ? Fill : FillTo;
    F.Opacity = GM ? GM->Opacity() : 255;
    F.OpacityTo = GM ? GM->OpacityTo() : 255;
    F.BorderColor = LineWidth > 0 ? Line : clNone;
    F.BorderWidth = LineWidth;
    F.R = {REAL(X - W / 2), REAL(Y - H / 2), REAL(W), REAL(H)};
    TGPGraphicsPath Path;
    switch (M.MarkerType()) {
      case mCircle:
        Path.AddEllipse(F.R);
        break;
      case mSquare:
        Path.AddRectangle(F.R);
        break;
      case mDiamond: {
        const TPoint Q[4] = {{X, Y - H / 2}, {X + W / 2, Y}, {X, Y + H / 2}, {X - W / 2, Y}};
        AddPolyline(Path, Q, 4, true);
        break;
      }
      case mTriangle: {
        const TPoint Q[3] = {{X, Y - H / 2}, {X + W / 2, Y + H / 2}, {X - W / 2, Y + H / 2}};
        AddPolyline(Path, Q, 3, true);
        break;
      }
      case mPicture:
        if (GM && !GM->GDIPMarkerPicture().Empty())
          GM->GDIPMarkerPicture().GDIPDraw(G, Bounds(X - W / 2, Y - H / 2, W, H));
        else if (!GM && M.MarkerPicture().HasGraphic())
          Canvas.StretchDraw(Bounds(X - W / 2, Y - H / 2, W, H), *M.MarkerPicture().Graphic());
        continue;
      case mCustom:
        DoMarkerDrawValue(S, M, Canvas, P, Idx, Y, X);
        continue;
      default:
        continue;
    }
    F.Path = &Path;
    F.UsePath = true;
    FillGDIPShape(F);
  }
}

void TGDIPChartSeriePainter::DrawSpider(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY,
                                        const TPointArray& Points) {
  HDC DC = CanvasDC(Canvas);
  if (!DC || Points.empty()) {
    TChartSeriePainter::DrawSpider(S, Canvas, R, SX, SY, Points);
    return;
  }
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  if (SerieShadow(S) && Points.size() > 2) {
    std::vector<TPoint> Moved;
    for (size_t K = 0; K + 2 < Points.size(); ++K) Moved.push_back({Points[K].X + 2, Points[K].Y - 2});
    TGPGraphicsPath Path;
    AddPolyline(Path, Moved.data(), Moved.size(), true);
    auto Pen = ShadowPen(4 * SX, S.PenStyle());
    G.DrawPath(Pen.get(), &Path);
  }
  TGPGraphicsPath Path;
  AddPolyline(Path, Points.data(), Points.size(), false);
  FillSerieArea(S, G, Path, R);
  if (auto Pen = LinePen(SerieLineOpacity(S), S.LineColor(), S.LineWidth() * SX, S.PenStyle()))
    G.DrawPath(Pen.get(), &Path);
}

// ---------------------------------------------------------------- selection marks
namespace {
void GDIPMarks(const TChartSerie& S, HDC DC, std::initializer_list<TPoint> Points) {
  if (!S.SelectedMark()) return;
  TGPGraphics G(DC);
  G.SetSmoothingMode(AntiAlias);
  TGPSolidBrush Brush(MakeGDIPColor(255, S.SelectedMarkColor()));
  TGPPen Pen(MakeGDIPColor(255, S.SelectedMarkBorderColor()), 1);
  const REAL D = REAL(S.SelectedMarkSize());
  for (const TPoint& P : Points) {
    const TGPRectF E{REAL(P.X) - D / 2, REAL(P.Y) - D / 2, D, D};
    if (S.SelectedMarkColor() != clNone) G.FillEllipse(Brush, E);
    if (S.SelectedMarkBorderColor() != clNone) G.DrawEllipse(Pen, E);
  }
}
}  // namespace

void TGDIPChartSeriePainter::DrawSelectedMark(TChartSerie& S, TChartCanvas& Canvas, TRect R) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) return TChartSeriePainter::DrawSelectedMark(S, Canvas, R);
  GDIPMarks(S, DC, {{R.Left, R.Top}, {R.Right, R.Top}, {R.Left, R.Bottom}, {R.Right, R.Bottom}});
}

void TGDIPChartSeriePainter::DrawSelectedFunnel(TChartSerie& S, TChartCanvas& Canvas, const TFunnelPoint& F) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) return TChartSeriePainter::DrawSelectedFunnel(S, Canvas, F);
  GDIPMarks(S, DC, {{F.X0, F.Y0}, {F.X1, F.Y1}, {F.X2, F.Y2}, {F.X3, F.Y3}});
}

void TGDIPChartSeriePainter::DrawSelectedSlice(TChartSerie& S, TChartCanvas& Canvas, const TSlicePoint& Sl) {
  HDC DC = CanvasDC(Canvas);
  if (!DC) return TChartSeriePainter::DrawSelectedSlice(S, Canvas, Sl);
  const TChartType T = S.ChartType();
  if (T < ctPie || T > ctFunnel || T == ctBand || (T >= ctDigitalLine && T <= ctGantt)) return;
  if (!IsRingType(T)) {
    GDIPMarks(S, DC, {{Sl.X0, Sl.Y0}, {Sl.X1, Sl.Y1}, {Sl.X2, Sl.Y2}});
    return;
  }
  auto AngleOf = [&](Integer X, Integer Y) {
    const double A = std::atan2(double(Sl.Y0 - Y), double(X - Sl.X0)) / DegToRad;
    return A < 0 ? A + 360 : A;
  };
  const double B1 = AngleOf(Sl.X1, Sl.Y1);
  double B2 = AngleOf(Sl.X2, Sl.Y2);
  if (B1 > B2) B2 += 360;
  const double G = S.Pie().GetPieInnerSize() / 2.0;
  auto Inner = [&](double B) {
    return TPoint{RoundI(Sl.X0 + G * std::cos(B * DegToRad)), RoundI(Sl.Y0 - G * std::sin(B * DegToRad))};
  };
  GDIPMarks(S, DC, {Inner(B1), Inner(B2), {Sl.X1, Sl.Y1}, {Sl.X2, Sl.Y2}});
}
