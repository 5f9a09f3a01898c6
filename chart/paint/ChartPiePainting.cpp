// The pie family on a canvas: slices, rings, spiders, funnels, their value
// texts and selection marks, and the pie legend.
#include <algorithm>
#include <numbers>
#include <vector>
#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/paint/ChartSeriePainting.h"

namespace {
constexpr double DegToRadF = std::numbers::pi / 180.0;

// Sweep of one point: its share of the full angle; points that are not
// counted in the total (undefined, zero, negative) get none.
double SweepOf(double Value, double Total, double Full) { return (Total > 0 && Value > 0) ? Full * Value / Total : 0; }
}  // namespace

void TChartSeriePainter::DrawPieBranch(TChartSerie& S, TChartCanvas& Canvas, TRect, double SX, double SY) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  const TChartType T = S.ChartType();
  const double Total = S.GetPieTotal();
  SetBorderPen(S, Canvas, SX);
  const Integer R = (S.Pie().GetPieSize() / 2) * RoundI(SX);
  const Integer Rin = (S.Pie().GetPieInnerSize() / 2) * RoundI(SX);
  TRect PR = S.GetPieRectangle(S.Index(), C->Series().SeriesRectangle());
  TPoint Ctr = S.GetPieCenter(PR);
  const double Full = IsHalfChartType(T) ? 180 : 360;
  const Integer N = S.GetPointsCount();
  Integer K = 0;
  if (IsSizedType(T))
    for (Integer I = 0; I < N; ++I) {
      TChartPoint P = S.GetPoint(I);
      if (P.Defined && (P.SingleValue > 0 || IsSpiderType(T))) ++K;
    }
  double M = S.SerieMax() < 1 ? 1 : S.SerieMax();
  S.SpiderV.clear();
  if (T == ctFunnel) {
    Canvas.Font = S.Pie().ValueFont();
    if (N < 1) return;
    S.DrawValuesFunnel.clear();
    TRect FR = S.GetFunnelRectangle(PR);
    if (S.Enable3D()) {
      FR.Top += S.Offset3D() / 2;
      FR.Bottom -= S.Offset3D() / 2;
    }
    double W = FR.Width(), H = FR.Height();
    double Sp = std::sqrt((W / 2) * (W / 2) + H * H);
    double Alpha = Sp > 0 ? std::acos((W / 2) / Sp) / DegToRadF : 90;
    double Phi = (180 - 2 * Alpha) / 2;
    double TanPhi = std::tan(Phi * DegToRadF);
    double U = H - S.FunnelSpacing() * (N - 1);
    double Hp = U / N;
    double FunnelTotal = S.GetTotalPoints();
    double KH = FunnelTotal != 0 ? U / FunnelTotal : 0;
    double MaxP = S.GetMaxPoints();
    double KW = MaxP > 0 ? W / MaxP : 0;
    double X0 = FR.Left + FR.Width() / 2;
    double Y = FR.Bottom, Acc = 0;
    for (Integer I = 0; I < N; ++I) {
      TChartPoint P = S.GetPoint(I);
      double V = P.SingleValue;
      TColor Fill = SliceColor(S, P, I, N);
      if (Fill == clNone)
        Canvas.Brush.SetStyle(bsClear);
      else
        Canvas.Brush.SetColor(Fill);
      TPointArray Q(4);
      if (S.FunnelMode() == fmWidth) {
        double Half = V * KW / 2;
        Q[0] = {RoundI(X0 - Half), RoundI(Y - Hp)};
        Q[1] = {RoundI(X0 + Half), RoundI(Y - Hp)};
        Q[2] = {RoundI(X0 + Half), RoundI(Y)};
        Q[3] = {RoundI(X0 - Half), RoundI(Y)};
        Y = RoundI(Y - Hp - S.FunnelSpacing());
      } else {
        double Dt = (V + Acc) * KH + I * S.FunnelSpacing();
        double Db = I == 0 ? V * KH : Acc * KH + I * S.FunnelSpacing();
        Integer Qt = RoundI(TanPhi * Dt), Qb = RoundI(TanPhi * Db);
        Integer Top = RoundI(Y - KH * V), Bottom = RoundI(Y);
        if (I > 0) Top -= S.FunnelSpacing(), Bottom -= S.FunnelSpacing();
        Integer XC = RoundI(X0);
        Q[0] = {XC - Qt, Top};
        Q[1] = {XC + Qt, Top};
        Q[2] = {XC + Qb, Bottom};
        Q[3] = {XC - Qb, Bottom};
        Y = RoundI(FR.Bottom - Dt);
        Acc += V;
      }
      DrawFunnelSlice(S, Canvas, Q, SX, SY, I);
      S.DrawValuesFunnel.resize(I + 1);
      S.DrawValuesFunnel[I] = {Q[0].X, Q[0].Y, Q[1].X, Q[1].Y, Q[2].X, Q[2].Y, Q[3].X, Q[3].Y};
    }
    return;
  }
  double Start = 0, Sweep = 0;
  Integer Rr = R;
  for (Integer I = 0; I < N; ++I) {
    TChartPoint P = S.GetPoint(I);
    if (!P.Defined || !(P.SingleValue > 0)) continue;
    TColor Fill = SliceColor(S, P, I, N);
    if (Fill == clNone)
      Canvas.Brush.SetStyle(bsClear);
    else
      Canvas.Brush.SetColor(Fill);
    Start += Sweep;
    Sweep = SweepOf(P.SingleValue, Total, Full);
    if (IsSizedType(T)) {
      Sweep = Full / std::max<Integer>(K, 1);
      Rr = RoundI(R / M * P.SingleValue);
    } else if (IsVarRadiusType(T)) {
      Rr = RoundI(R / M * P.SecondValue);
    }
    if (!IsSpiderType(T)) {
      DrawPieSlice(S, Canvas, Ctr, Rr, Ctr.X, Ctr.Y, P.PixelValue1, Start, Sweep, I, SX, SY);
    } else {
      double Theta = (S.Pie().StartOffsetAngle() + Start + Sweep / 2) * DegToRadF;
      double D = P.PixelValue1 + Rr;
      S.SpiderV.push_back({RoundI(Ctr.X + D * std::cos(Theta)), RoundI(Ctr.Y - D * std::sin(Theta))});
    }
    if (IsSpiderType(T) && I == N - 1 && !S.SpiderV.empty()) S.SpiderV.push_back(S.SpiderV.front());
  }
  if (IsSpiderType(T) && !S.SpiderV.empty()) {
    if (S.SpiderV.size() > 1 && !(S.SpiderV.back() == S.SpiderV.front())) S.SpiderV.push_back(S.SpiderV.front());
    DrawSpider(S, Canvas, {Ctr.X - R, Ctr.Y - R, Ctr.X + R, Ctr.Y + R}, SX, SY, S.SpiderV);
  }
  DrawMarkers(S, Canvas, PR, SX, SY);
  Start = Sweep = 0;
  Canvas.Brush.SetStyle(bsClear);
  Canvas.Font = S.Pie().ValueFont();
  Rr = R;
  struct TValeur {
    Integer Index;
    Integer Indent;
    double Radius, Start, Sweep;
  };
  std::vector<TValeur> Valeurs;
  for (Integer I = 0; I < N; ++I) {
    TChartPoint P = S.GetPoint(I);
    if (!P.Defined) continue;
    Start += Sweep;
    Sweep = SweepOf(P.SingleValue, Total, Full);
    if (IsSizedType(T)) {
      Sweep = Full / std::max<Integer>(K, 1);
      Rr = RoundI(R / M * P.SingleValue);
    } else if (IsVarRadiusType(T)) {
      Rr = RoundI(R / M * P.SecondValue);
    }
    if (S.Pie().ShowValues()) {
      double TextR = Rr;
      if (IsRingType(T) && S.Pie().ValuePosition() == vpInsideSlice) TextR += Rin;
      Valeurs.push_back({I, P.PixelValue1, TextR, Start, Sweep});
    }
  }
  // Texts of the widest slices first: where two would overlap, the smaller
  // slice's text is the one left out (the legend still gives its value).
  std::stable_sort(Valeurs.begin(), Valeurs.end(),
                   [](const TValeur& A, const TValeur& B) { return A.Sweep > B.Sweep; });
  S.DrawValuesText.assign(static_cast<std::size_t>(std::max<Integer>(N, 0)), TRect{});
  for (const TValeur& V : Valeurs)
    DrawSliceValue(S, Canvas, V.Indent, Ctr, V.Radius, V.Start, V.Sweep, V.Index, SX, SY);
}

namespace {

// Whether point Q lies in the sector of radius Radius around Center that
// starts at angle From (degrees, counter-clockwise, y growing downwards)
// and sweeps Sweep degrees.
bool DansSecteur(TPoint Q, TPoint Center, double Radius, double From, double Sweep) {
  const double DX = Q.X - Center.X, DY = Center.Y - Q.Y;
  if (DX * DX + DY * DY > Radius * Radius) return false;
  if (Sweep >= 360) return true;
  if (DX == 0 && DY == 0) return true;
  double A = std::atan2(DY, DX) / DegToRadF - From;
  A = std::fmod(A, 360.0);
  if (A < 0) A += 360;
  return A <= Sweep;
}

}  // namespace

void TChartSeriePainter::DrawPieSlice(TChartSerie& S, TChartCanvas& Canvas, TPoint Center, Integer Radius, Integer,
                                      Integer, Integer Indent, double Start, double Sweep, Integer Index, double SX,
                                      double) {
  const double SOA = S.Pie().StartOffsetAngle();
  const bool Ring = IsRingType(S.ChartType());
  Integer Rh = RoundI((S.Pie().GetPieInnerSize() / 2) * SX);
  if (Ring) {
    TRect Hole{Center.X - Rh - Indent, Center.Y - Rh - Indent, Center.X + Rh + Indent, Center.Y + Rh + Indent};
    TChartRegion Clip = S.ClipRgn.Empty() ? TChartRegion::FromRect({-100000, -100000, 100000, 100000}) : S.ClipRgn;
    Canvas.SetClipRegion(TChartRegion::FromEllipse(Hole).Combined(Clip, rcXor));
  }
  double Theta = (SOA + Start + Sweep / 2) * DegToRadF;
  TPoint C{Center.X + RoundI(Indent * std::cos(Theta)), Center.Y - RoundI(Indent * std::sin(Theta))};
  double A1 = (SOA + Start) * DegToRadF, A2 = (SOA + Start + Sweep) * DegToRadF;
  TPoint P1, P2;
  if (Start == 0 && Sweep == 360) {
    P1 = {C.X + RoundI(Radius * std::cos(A1)), C.Y + RoundI(-Radius * std::sin(A1))};
    P2 = {C.X + RoundI(Radius * std::cos(A2)), C.Y + RoundI(-Radius * std::sin(A2))};
  } else {
    P1 = {C.X + static_cast<Integer>(std::floor(Radius * std::cos(A1))),
          C.Y + static_cast<Integer>(std::floor(-Radius * std::sin(A1)))};
    P2 = {C.X + static_cast<Integer>(std::ceil(Radius * std::cos(A2))),
          C.Y + static_cast<Integer>(std::ceil(-Radius * std::sin(A2)))};
  }
  const TRect Box{C.X - Radius, C.Y - Radius, C.X + Radius, C.Y + Radius};
  if (IsFullCircleSweep(Sweep))
    Canvas.Ellipse(Box);
  else
    Canvas.Pie(Box, P1, P2);
  if (static_cast<Integer>(S.DrawValuesSlice.size()) < Index + 1) S.DrawValuesSlice.resize(Index + 1);
  TSlicePoint& Rec = S.DrawValuesSlice[Index];
  Rec.X0 = Rec.CX = C.X;
  Rec.Y0 = Rec.CY = C.Y;
  Rec.X1 = P1.X;
  Rec.Y1 = P1.Y;
  Rec.X2 = P2.X;
  Rec.Y2 = P2.Y;
  Rec.STA = static_cast<float>(SOA + Start);
  Rec.SWA = static_cast<float>(SOA + Start + Sweep);
  if (Ring) {
    if (S.ClipRgn.Empty())
      Canvas.ClearClipRegion();
    else
      Canvas.SetClipRegion(S.ClipRgn);
  }
}

void TChartSeriePainter::DrawSliceValue(TChartSerie& S, TChartCanvas& Canvas, Integer Indent, TPoint Center,
                                        double Radius, double Start, double Sweep, Integer Index, double, double) {
  if (S.ValueType() == cvNone) return;
  const TChartType T = S.ChartType();
  const bool Outside = IsSpiderType(T) || S.Pie().ValuePosition() == vpOutSideSlice;
  double Beta = (-S.Pie().StartOffsetAngle() - Start - Sweep / 2) * DegToRadF;
  double D = Outside ? Radius + Indent : Radius / 2 + Indent;
  TPoint A{Center.X + RoundI(D * std::cos(Beta)), Center.Y + RoundI(D * std::sin(Beta))};
  TChartPoint P = S.GetPoint(Index);
  String Text;
  if (!S.ValueFormat().empty()) {
    if (S.ValueType() == cvNormal) Text = S.FormatValue(P.SingleValue);
    if (S.ValueType() == cvPercentage) Text = S.GetPercentageValue(P.SingleValue) + u"%";
  }
  if (S.Pie().ShowLegendOnSlice()) Text = P.LegendValue + u" (" + Text + u")";
  if (S.OnSerieSliceGetValue) S.OnSerieSliceGetValue(&S, S.Index(), P.LegendValue, P.SingleValue, Index, A, Text);
  if (Text.empty()) return;
  Integer W = Canvas.TextWidth(Text), H = Canvas.TextHeight(Text);
  Integer X, Y;
  if (T == ctSpider || S.Pie().ValuePosition() == vpOutSideSlice) {
    switch (TChartSerie::GetQuadrant(Center.X, Center.Y, A.X, A.Y)) {
      case 0:
        X = A.X + 5;
        Y = A.Y - H;
        break;
      case 1:
        X = A.X - W - 5;
        Y = A.Y - H;
        break;
      case 2:
        X = A.X - W - 5;
        Y = A.Y;
        break;
      default:
        X = A.X + 5;
        Y = A.Y;
        break;
    }
  } else {
    X = A.X - W / 2;
    Y = A.Y - H / 2;
  }
  const TRect Box{X, Y, X + W, Y + H};
  // A text inside its slice must fit the slice (a thin slice's text would
  // lie over its neighbours); no text may lie over another one.
  if (!Outside) {
    const TPoint Ctr{Center.X + RoundI(Indent * std::cos(Beta)), Center.Y + RoundI(Indent * std::sin(Beta))};
    const double From = S.Pie().StartOffsetAngle() + Start;
    for (TPoint Q : {TPoint{Box.Left, Box.Top}, TPoint{Box.Right, Box.Top}, TPoint{Box.Left, Box.Bottom},
                     TPoint{Box.Right, Box.Bottom}})
      if (!DansSecteur(Q, Ctr, Radius, From, Sweep)) return;
  }
  for (const TRect& Other : S.DrawValuesText)
    if (!Other.IsEmpty() && Other.Left < Box.Right && Box.Left < Other.Right && Other.Top < Box.Bottom &&
        Box.Top < Other.Bottom)
      return;
  if (Index >= 0 && static_cast<std::size_t>(Index) < S.DrawValuesText.size()) S.DrawValuesText[Index] = Box;
  Canvas.Brush.SetStyle(bsClear);
  Canvas.TextOut(X, Y, Text);
}

void TChartSeriePainter::DrawSpider(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY,
                                    const TPointArray& Points) {
  TChartRegion Poly = TChartRegion::FromPolygon(Points);
  Canvas.SetClipRegion(S.ClipRgn.Empty() ? Poly : S.ClipRgn.Combined(Poly, rcAnd));
  if (S.ColorTo() == clNone) {
    Canvas.Pen.Style = psClear;
    SetSerieBrush(S, Canvas);
    Canvas.Polygon(Points);
    Canvas.Pen.Color = S.LineColor();
    Canvas.Pen.Style = S.PenStyle();
  } else {
    FillChartShape(Canvas, S.Color(), S.ColorTo(), S.GradientSteps(), R, S.GradientDirection(), true, S.BorderColor(),
                   S.BorderWidth(), csRectangle, 0, sdAll, false, false);
  }
  DrawChartPattern(S, Canvas, R, SX, SY);
  if (S.ClipRgn.Empty())
    Canvas.ClearClipRegion();
  else
    Canvas.SetClipRegion(S.ClipRgn);
  if (S.LineWidth() != 0 && S.LineColor() != clNone) {
    SetLinePen(S, Canvas, SX);
    Canvas.Polyline(Points);
  }
}

void TChartSeriePainter::DrawFunnelSlice(TChartSerie& S, TChartCanvas& Canvas, const TPointArray& Q, double SX,
                                         double SY, Integer Index) {
  if (S.Enable3D()) {
    Integer O = S.Offset3D() / 2;
    Canvas.Ellipse({Q[3].X, Q[2].Y - O, Q[2].X, Q[2].Y + O});
    TPenStyle Old = Canvas.Pen.Style;
    Canvas.Pen.Style = psClear;
    Canvas.Polygon(Q);
    Canvas.Pen.Style = Old;
    SetBorderPen(S, Canvas, SX);
    Canvas.Line(Q[0].X, Q[0].Y, Q[3].X, Q[3].Y);
    Canvas.Line(Q[1].X, Q[1].Y, Q[2].X, Q[2].Y);
    if (S.Darken3D()) Canvas.Brush.SetColor(DarkenColor(Canvas.Brush.Color(), true));
    Canvas.Ellipse({Q[0].X, Q[0].Y - O, Q[1].X, Q[0].Y + O});
  } else {
    Canvas.Polygon(Q);
  }
  Canvas.Brush.SetStyle(bsClear);
  DrawFunnelValue(S, Canvas, Q, SX, SY, Index);
}

void TChartSeriePainter::DrawFunnelValue(TChartSerie& S, TChartCanvas& Canvas, const TPointArray& Q, double, double,
                                         Integer Index) {
  if (!S.Pie().ShowValues() || S.ValueType() == cvNone) return;
  TChartPoint P = S.GetPoint(Index);
  String Text;
  if (!S.ValueFormat().empty()) {
    if (S.ValueType() == cvNormal) Text = S.FormatValue(P.SingleValue);
    if (S.ValueType() == cvPercentage) Text = S.GetPercentageValue(P.SingleValue) + u"%";
  }
  if (S.Pie().ShowLegendOnSlice()) Text = P.LegendValue + u" (" + Text + u")";
  Integer W = Canvas.TextWidth(Text), H = Canvas.TextHeight(Text);
  if (S.Pie().ValuePosition() == vpInsideSlice)
    Canvas.TextOut(Q[0].X + (Q[1].X - Q[0].X - W) / 2, Q[0].Y + (Q[2].Y - Q[1].Y - H) / 2, Text);
  else
    Canvas.TextOut(Q[1].X + (Q[2].X - Q[1].X) / 2 + 10, Q[0].Y + (Q[2].Y - Q[1].Y - H) / 2, Text);
}

namespace {
void Marks(const TChartSerie& S, TChartCanvas& Canvas, std::initializer_list<TPoint> Points) {
  if (!S.SelectedMark()) return;
  TChartPen Pen = Canvas.Pen;
  TChartBrush Brush = Canvas.Brush;
  Canvas.Brush.SetColor(S.SelectedMarkColor());
  Canvas.Pen = {S.SelectedMarkBorderColor(), 1, psSolid};
  Integer Sz = S.SelectedMarkSize();
  for (const TPoint& P : Points) Canvas.Ellipse(Bounds(P.X - Sz / 2, P.Y - Sz / 2, Sz, Sz));
  Canvas.Pen = Pen;
  Canvas.Brush = Brush;
}
}  // namespace

void TChartSeriePainter::DrawSelectedMark(TChartSerie& S, TChartCanvas& Canvas, TRect R) {
  Marks(S, Canvas, {{R.Left, R.Top}, {R.Right, R.Top}, {R.Left, R.Bottom}, {R.Right, R.Bottom}});
}

void TChartSeriePainter::DrawSelectedFunnel(TChartSerie& S, TChartCanvas& Canvas, const TFunnelPoint& F) {
  Marks(S, Canvas, {{F.X0, F.Y0}, {F.X1, F.Y1}, {F.X2, F.Y2}, {F.X3, F.Y3}});
}

void TChartSeriePainter::DrawSelectedSlice(TChartSerie& S, TChartCanvas& Canvas, const TSlicePoint& Sl) {
  const TChartType T = S.ChartType();
  if (T == ctBand || (T >= ctDigitalLine && T <= ctGantt)) return;
  if (!IsRingType(T)) {
    Marks(S, Canvas, {{Sl.X0, Sl.Y0}, {Sl.X1, Sl.Y1}, {Sl.X2, Sl.Y2}});
    return;
  }
  auto AngleOf = [&](Integer X, Integer Y) {
    double A = std::atan2(double(Sl.Y0 - Y), double(X - Sl.X0)) / DegToRadF;
    return A < 0 ? A + 360 : A;
  };
  double B1 = AngleOf(Sl.X1, Sl.Y1), B2 = AngleOf(Sl.X2, Sl.Y2);
  if (B1 > B2) B2 += 360;
  double G = S.Pie().GetPieInnerSize() / 2.0;
  auto Inner = [&](double B) {
    return TPoint{Sl.X0 + RoundI(G * std::cos(B * DegToRadF)), Sl.Y0 - RoundI(G * std::sin(B * DegToRadF))};
  };
  Marks(S, Canvas, {{Sl.X1, Sl.Y1}, {Sl.X2, Sl.Y2}, Inner(B1), Inner(B2)});
}

// ---------------------------------------------------------------- pie legend
String TChartSeriePainter::PieLegendText(const TChartSerie& S, Integer I) const {
  TChartPoint P = S.GetPoint(I);
  if (!P.Defined) return u"Undefined";
  switch (S.ValueType()) {
    case cvNone:
      return P.LegendValue;
    case cvNormal:
      return S.ValueFormat().empty() ? String() : P.LegendValue + u" (" + S.FormatValue(P.SingleValue) + u")";
    case cvPercentage:
      return P.LegendValue + u" (" + S.GetPercentageValue(P.SingleValue) + u"%)";
  }
  return String();
}

TRect TChartSeriePainter::DrawPieLegend(TChartSerie& S, TChartCanvas& Canvas, bool Draw, double SX, double SY,
                                        bool& Measured) {
  Measured = false;
  TVivIzude* C = S.Chart();
  const Integer N = S.GetPointsCount();
  if (!C || !S.Pie().LegendVisible() || !S.IsPieLike() || N < 1) return {};
  Canvas.Font = S.Pie().LegendFont();
  Integer W = -2147483647, Ht = 0;
  for (Integer I = 0; I < N; ++I) {
    // Measured with the text the box writes, so every entry fits.
    TSize E = Canvas.TextExtent(PieLegendText(S, I));
    W = std::max(W, E.cx);
    Ht += E.cy + PieLegendSpacing;
  }
  Integer Hs = PieLegendBoxHeight(Ht, SY);
  W = std::max(W + 25, Canvas.TextWidth(S.LegendText()));
  Integer HalfW = RoundI(W / 2.0), HalfH = RoundI(Hs / 2.0);
  TRect PR = S.GetPieRectangle(S.Index(), C->Series().SeriesRectangle());
  TPoint L = S.GetLegendCenter(PR, HalfW, HalfH);
  if (HalfW > 0 && HalfH > 0 && Draw) DrawPieLegendBox(S, Canvas, L.X, L.Y, HalfW, HalfH, SX, SY);
  Measured = true;
  return {L.X - HalfW, L.Y - HalfH, L.X + HalfW, L.Y + HalfH};
}

void TChartSeriePainter::DrawPieLegendBox(TChartSerie& S, TChartCanvas& Canvas, Integer X, Integer Y, Integer HalfW,
                                          Integer HalfH, double SX, double) {
  const TChartSeriePie& Pie = S.Pie();
  TRect B{X - HalfW, Y - HalfH, X + HalfW, Y + HalfH};
  if (Pie.LegendColor() != clNone && Pie.LegendColorTo() != clNone) {
    FillChartShape(Canvas, Pie.LegendColor(), Pie.LegendColorTo(), Pie.LegendGradientSteps(), B,
                   Pie.LegendGradientDirection(), Pie.LegendBorderColor() != clNone, Pie.LegendBorderColor(),
                   Pie.LegendBorderWidth(), csRectangle, 0, sdAll, false, false);
  } else {
    SetPieLegendBrush(S, Canvas);
    SetPieLegendBorderPen(S, Canvas, SX);
    Canvas.Rectangle(B);
  }
  const Integer N = S.GetPointsCount();
  Canvas.Font = Pie.LegendFont();
  for (Integer I = 0; I < N; ++I) {
    Integer EY = RoundI(double(B.Bottom - B.Top - PieLegendSpacing) / N * I) + B.Top + PieLegendSpacing;
    Canvas.Brush.SetStyle(bsClear);
    String Text = PieLegendText(S, I);
    Canvas.TextOut(B.Left + 20, EY, Text);
    Integer A = RoundI(Canvas.TextHeight(Text) / 2.0), Sq = RoundI(5 * SX);
    TPoint Q[4] = {{B.Left + 10 - Sq, EY + A - 5},
                   {B.Left + 10 + Sq, EY + A - 5},
                   {B.Left + 10 + Sq, EY + A + 5},
                   {B.Left + 10 - Sq, EY + A + 5}};
    TColor Fill = IsSpiderType(S.ChartType()) ? S.Color() : SliceColor(S, S.GetPoint(I), I, N);
    if (Fill == clNone)
      Canvas.Brush.SetStyle(bsClear);
    else
      Canvas.Brush.SetColor(Fill);
    SetBorderPen(S, Canvas, SX);
    Canvas.Polygon(Q);
  }
  if (Pie.LegendTitleVisible()) {
    Integer TH = Canvas.TextHeight(S.LegendText());
    TRect T{B.Left, B.Top - TH, B.Right, B.Top};
    if (Pie.LegendTitleColor() != clNone && Pie.LegendTitleColorTo() != clNone) {
      FillChartShape(Canvas, Pie.LegendTitleColor(), Pie.LegendTitleColorTo(), Pie.LegendTitleGradientSteps(), T,
                     Pie.LegendTitleGradientDirection(), Pie.LegendBorderColor() != clNone, Pie.LegendBorderColor(),
                     Pie.LegendBorderWidth(), csRectangle, 0, sdAll, false, false);
    } else {
      if (Pie.LegendTitleColor() == clNone)
        Canvas.Brush.SetStyle(bsClear);
      else
        Canvas.Brush.SetColor(Pie.LegendTitleColor());
      SetPieLegendBorderPen(S, Canvas, SX);
      Canvas.Rectangle(T);
    }
    Canvas.Brush.SetStyle(bsClear);
    Canvas.TextOut(T.Left, T.Top, S.LegendText());
  }
}
