// The line, area and digital (step) line painters.
#include <cmath>

#include "chart/paint/ChartPaintSupport.h"
#include "chart/paint/ChartSeriePainting.h"

// ---------------------------------------------------------------- lines
void TChartSeriePainter::DrawLine(TChartSerie& S, TChartCanvas& Canvas, TRect, double SX, double) {
  TVivIzude* C = S.Chart();
  const TPointArray& P = S.DrawPoints;
  const bool Horz = S.IsHorizontal();
  if (S.Is3D()) {
    SetSerieBrush(S, Canvas);
    TPoint O = Horz ? TPoint{S.Offset3D(), S.Offset3D()} : TPoint{S.Offset3D(), -S.Offset3D()};
    for (size_t I = 1; I < P.size(); ++I) {
      TPoint A = P[I - 1], B = P[I];
      TPoint Quad[5] = {A, {A.X + O.X, A.Y + O.Y}, {B.X + O.X, B.Y + O.Y}, B, A};
      Canvas.Polygon(std::span<const TPoint>(Quad, 4));
      SetLinePen(S, Canvas, SX);
      Canvas.Polyline(Quad);
    }
  }
  SetLinePen(S, Canvas, SX);
  TRect SR = C ? C->Series().SeriesRectangle() : TRect{};
  Integer TopEdge = SR.Top - (C ? C->XAxis().TopLineSize() : 0),
          BottomEdge = SR.Bottom + (C ? C->XAxis().BottomLineSize() : 0);
  Integer LeftEdge = SR.Left - (C ? C->YAxis().LeftLineSize() : 0),
          RightEdge = SR.Right + (C ? C->YAxis().RightLineSize() : 0);
  auto Nudge = [&](TPoint Q) {
    if (Q.Y == TopEdge) ++Q.Y;
    if (Q.Y == BottomEdge) --Q.Y;
    if (Q.X == LeftEdge) ++Q.X;
    if (Q.X == RightEdge) --Q.X;
    return Q;
  };
  bool PrevDefined = !P.empty() && S.GetChartPointFromDrawPoint(0).Defined;
  for (size_t I = 1; I < P.size(); ++I) {
    bool Defined = S.GetChartPointFromDrawPoint(static_cast<Integer>(I)).Defined;
    if (PrevDefined && Defined) {
      TPoint A = Nudge(P[I - 1]), B = Nudge(P[I]);
      Canvas.MoveTo(A.X, A.Y);
      Canvas.LineTo(B.X, B.Y);
    }
    PrevDefined = Defined;
  }
  S.DrawValuesDP = S.DrawPoints;
}

// ---------------------------------------------------------------- areas
size_t TChartSeriePainter::AreaValueCount(const TChartSerie& S) {
  size_t N = S.DrawPoints.size();
  TChartType T = S.ChartType();
  if (T == ctArea || T == ctStackedArea || T == ctStackedPercArea) return N >= 2 ? N - 2 : 0;
  return N;
}

std::vector<TPointArray> TChartSeriePainter::DefinedRuns(const TChartSerie& S, const TPointArray& O, size_t Count,
                                                         Integer Z, bool Horz) {
  std::vector<TPointArray> Runs;
  TPointArray Run;
  auto Close = [&] {
    if (Run.empty()) return;
    TPoint First = Run.front(), Last = Run.back();
    if (!Horz) {
      Run.push_back({Last.X, Z});
      Run.push_back({First.X, Z});
    } else {
      Run.push_back({Z, Last.Y});
      Run.push_back({Z, First.Y});
    }
    Run.push_back(First);
    Runs.push_back(std::move(Run));
    Run.clear();
  };
  for (size_t K = 0; K < Count && K < O.size(); ++K) {
    if (S.GetChartPointFromDrawPoint(static_cast<Integer>(K)).Defined)
      Run.push_back(O[K]);
    else
      Close();
  }
  Close();
  return Runs;
}

TChartSeriePainter::TAreaOutline TChartSeriePainter::AreaOutline(const TChartSerie& S, TRect R) {
  TAreaOutline Result;
  TVivIzude* C = S.Chart();
  if (!C) return Result;
  TChartSeries& Series = C->Series();
  const TChartType T = S.ChartType();
  const bool Horz = S.IsHorizontal();
  const Integer NPerc = Series.GetCountChartType(ctStackedPercArea), NStacked = Series.GetCountChartType(ctStackedArea);
  const Integer Z = S.ValueToY(S.ZeroReferencePoint(), R);
  const Integer Me = S.Index();
  Result.PreviousIndex = Series.GetPreviousChartIndex(T, Me, S.GroupIndex());
  const TPointArray& DP = S.DrawPoints;
  const bool Stacked = Me > 0 && Result.PreviousIndex >= 0 &&
                       ((T == ctStackedArea && NStacked > 1) || (T == ctStackedPercArea && NPerc > 1));
  const TChartSerie* Prev = Stacked ? &Series.Items(Result.PreviousIndex) : nullptr;
  Result.Previous = Prev;

  // A stacked serie stands on the previous one's outline and walks back
  // along it, so the fill covers just the band between the two.
  TPointArray& O = Result.Points;
  if (!Prev) {
    O = DP;
  } else {
    const TPointArray& PO = Prev->StackedPointsArea;
    const size_t N = DP.size();
    const bool Topmost = T == ctStackedPercArea && Me + 1 == NPerc;
    const Integer Top = S.ValueToY(100, R);
    O.reserve(2 * N);
    for (size_t K = 0; K < N; ++K) {
      TPoint P = DP[K];
      bool Closing = K + 2 >= N;
      if (Topmost && !Closing) {
        (Horz ? P.X : P.Y) = Top;
      } else if (K < PO.size()) {
        if (Horz)
          P.X += PO[K].X - Z;
        else
          P.Y += PO[K].Y - Z;
      }
      O.push_back(P);
    }
    for (size_t K = 0; K < Prev->DrawPoints.size() && K < N && K < PO.size(); ++K)
      O.push_back(Horz ? TPoint{PO[K].X, DP[K].Y} : TPoint{DP[K].X, PO[K].Y});
  }
  return Result;
}

void TChartSeriePainter::DrawArea(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  if (!S.Chart()) return;
  const TChartType T = S.ChartType();
  const bool Horz = S.IsHorizontal();
  const Integer Z = S.ValueToY(S.ZeroReferencePoint(), R);
  const TAreaOutline Area = AreaOutline(S, R);
  const TChartSerie* Prev = Area.Previous;
  const Integer PrevIndex = Area.PreviousIndex;
  const TPointArray& O = Area.Points;
  S.StackedPointsArea = O;
  if (O.empty()) {
    S.DrawValuesDP = O;
    return;
  }

  const size_t Values = T == ctBand ? 0 : AreaValueCount(S);
  // The side faces rise from the value edge: the whole outline of a band.
  if (S.Is3D())
    DrawLineSegments(S, Canvas, SX, SY, Prev, PrevIndex, O, static_cast<Integer>(T == ctBand ? O.size() : Values));

  SetSerieBrush(S, Canvas);
  TPointArray Closed = O;
  Closed.push_back(O.front());
  bool AllDefined = true;
  for (size_t K = 0; K < Values && AllDefined; ++K)
    AllDefined = S.GetChartPointFromDrawPoint(static_cast<Integer>(K)).Defined;
  std::vector<TPointArray> Shapes;
  if (AllDefined)
    Shapes.push_back(Closed);
  else
    Shapes = DefinedRuns(S, O, Values, Z, Horz);

  for (const TPointArray& Shape : Shapes) {
    ClipToSerie(S, Canvas, TChartRegion::FromPolygon(Shape));
    if (S.ColorTo() == clNone) {
      Canvas.Pen.Style = psClear;
      Canvas.Polygon(Shape);
      Canvas.Pen.Color = S.LineColor();
      Canvas.Pen.Style = S.PenStyle();
    } else {
      FillChartShape(Canvas, S.Color(), S.ColorTo(), S.GradientSteps(), R, S.GradientDirection(), true, S.BorderColor(),
                     S.BorderWidth(), csRectangle, 0, sdAll, false, false);
    }
    DrawChartPattern(S, Canvas, R, SX, SY);
    RestoreSerieClip(S, Canvas);
  }
  S.DrawValuesDP = S.StackedPointsArea;

  if (S.BorderWidth() != 0 && S.BorderColor() != clNone) {
    SetBorderPen(S, Canvas, SX);
    for (const TPointArray& Shape : Shapes) Canvas.Polyline(Shape);
  }
}

void TChartSeriePainter::DrawLineSegments(TChartSerie& S, TChartCanvas& Canvas, double SX, double, const TChartSerie*,
                                          Integer, const TPointArray& Outline, Integer Count) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  const bool Horz = S.IsHorizontal();
  const Integer O = S.Get3DOffset();
  const TPoint Off = Horz ? TPoint{O, O} : TPoint{O, -O};
  const TRect SR = C->Series().SeriesRectangle();
  const Integer Z = S.ValueToY(S.ZeroReferencePoint(), SR);
  // The faces take the serie's colour darkened. The serie itself is not
  // changed: a change would notify the chart in the middle of a paint.
  const TColor Face = S.Color() == clNone ? clNone : DarkenColor(ChartColorToRGB(S.Color()), S.Darken3D());
  auto Quad = [&](TPoint A, TPoint B) {
    if (Face == clNone)
      Canvas.Brush.SetStyle(bsClear);
    else {
      Canvas.Brush.SetColor(Face);
      Canvas.Brush.SetStyle(S.BrushStyle());
    }
    SetBorderPen(S, Canvas, SX);
    TPoint Q[4] = {A, B, {B.X + Off.X, B.Y + Off.Y}, {A.X + Off.X, A.Y + Off.Y}};
    Canvas.Polygon(Q);
  };
  Integer N = std::min<Integer>(Count, static_cast<Integer>(Outline.size()));
  for (Integer K = 1; K < N; ++K) {
    TPoint A = Outline[K - 1], B = Outline[K];
    // A face crossing the zero line is cut there, so each part can be seen
    // on its own side of the line.
    TPoint L1 = Horz ? TPoint{Z, std::min(A.Y, B.Y)} : TPoint{std::min(A.X, B.X), Z};
    TPoint L2 = Horz ? TPoint{Z, std::max(A.Y, B.Y)} : TPoint{std::max(A.X, B.X), Z};
    TChartIntersection X = C->SegmentIntersection(A, B, L1, L2);
    TPoint XP{X.X, X.Y};
    if (X.Found && XP != A && XP != B) {
      Quad(A, XP);
      Quad(XP, B);
    } else {
      Quad(A, B);
    }
  }
}

// ---------------------------------------------------------------- digital lines
std::vector<TDigitalLinePoint> TChartSeriePainter::DigitalLineCorners(const TChartSerie& S, TRect R) {
  std::vector<TDigitalLinePoint> Corners;
  TVivIzude* C = S.Chart();
  const TPointArray& P = S.DrawPoints;
  if (!C || P.size() < 2) return Corners;
  const bool XY = S.ChartType() == ctXYDigitalLine;
  const Integer Z = S.ValueToY(S.ZeroReferencePoint(), R);
  Integer H = RoundI(C->GetXScaleStart());
  auto Add = [&](Integer X, Integer Y, size_t Idx) { Corners.push_back({{X, Y}, static_cast<Integer>(Idx)}); };
  const size_t N = P.size();
  Add(P[0].X - H, Z, 0);
  Add(P[0].X - H, P[0].Y, 0);
  Add(P[0].X + H, P[0].Y, 0);
  for (size_t I = 1; I < N; ++I) {
    Add(P[I - 1].X + H, P[I].Y, I);
    if (XY) H = (I + 1 < N ? P[I + 1].X - P[I].X : P[I].X - P[I - 1].X) / 2;
    Add(P[I].X + H, P[I].Y, I);
    if (I + 1 == N) Add(P[I].X + H, Z, I);
  }
  return Corners;
}

bool TChartSeriePainter::DigitalCornerDefined(const TChartSerie& S, const TDigitalLinePoint& Corner) {
  return S.ChartType() == ctXYDigitalLine ? S.GetChartPoint(Corner.Idx).Defined
                                          : S.GetChartPointFromDrawPoint(Corner.Idx).Defined;
}

void TChartSeriePainter::DrawDigitalLine(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double) {
  S.DrawValuesDP = S.DrawPoints;
  const std::vector<TDigitalLinePoint> Corners = DigitalLineCorners(S, R);
  if (Corners.empty()) return;
  auto Defined = [&](const TDigitalLinePoint& D) { return DigitalCornerDefined(S, D); };
  if (S.Is3D()) {
    SetSerieBrush(S, Canvas);
    const TPoint O = S.IsHorizontal() ? TPoint{S.Offset3D(), S.Offset3D()} : TPoint{S.Offset3D(), -S.Offset3D()};
    for (size_t I = 1; I < Corners.size(); ++I) {
      if (!Defined(Corners[I - 1]) || !Defined(Corners[I])) continue;
      TPoint A = Corners[I - 1].pt, B = Corners[I].pt;
      TPoint Quad[5] = {A, {A.X + O.X, A.Y + O.Y}, {B.X + O.X, B.Y + O.Y}, B, A};
      Canvas.Polygon(std::span<const TPoint>(Quad, 4));
      SetLinePen(S, Canvas, SX);
      Canvas.Polyline(Quad);
    }
  }
  SetLinePen(S, Canvas, SX);
  for (size_t I = 1; I < Corners.size(); ++I) {
    if (!Defined(Corners[I - 1]) || !Defined(Corners[I])) continue;
    TPoint A = Corners[I - 1].pt, B = Corners[I].pt;
    Canvas.Line(A.X, A.Y, A.X, B.Y);
    Canvas.Line(A.X, B.Y, B.X, B.Y);
  }
}
