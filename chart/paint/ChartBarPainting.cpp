// The bar painters: side-by-side and stacked bars, histograms, line bars,
// cylinders, pyramids, 3D faces and gantt bars.
#include <cmath>

#include "chart/paint/ChartPaintSupport.h"
#include "chart/paint/ChartSeriePainting.h"

namespace {
Integer BarSeriesCount(const TChartSeries& Series) {
  return Series.GetCountChartType(ctBar) + Series.GetCountChartType(ctHistogram) + Series.GetCountChartType(ctLineBar) +
         Series.GetCountChartType(ctLineHistogram);
}
}  // namespace

void TChartSeriePainter::DrawBars(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  TChartSeries& Series = C->Series();
  const TChartType T = S.ChartType();
  const bool Stacked = T == ctStackedBar || T == ctStackedPercBar;
  const bool Horz = S.IsHorizontal();
  const Integer N = Stacked ? Series.GetCountGroupedChartType(T) : BarSeriesCount(Series);
  if (N == 0) {
    S.DrawValuesDP.clear();
    return;
  }
  const Integer Z = S.ValueToY(S.ZeroReferencePoint(), R);
  const Integer Me = S.Index();
  const Integer PrevIndex = Series.GetPreviousChartIndex(T, Me, S.GroupIndex());
  const TChartSerie* Prev = nullptr;
  if (Me > 0 && PrevIndex >= 0 && Series.Items(PrevIndex).Visible() && Stacked && Series.GetCountChartType(T) > 1)
    Prev = &Series.Items(PrevIndex);
  const TPointArray& DP = S.DrawPoints;
  S.StackedPointsBar.assign(DP.size(), TPoint{});
  TPointArray LineBar(DP.size());
  const Integer Thick = std::max(1, S.GetBarWidth(SX));
  const double XScale = C->XScale();
  const double Spacing =
      Series.BarChartSpacingType() == wtPixels ? Series.BarChartSpacing() : Series.BarChartSpacing() * XScale / 100;
  const double Slot = (XScale - Spacing) / N;
  const Integer HalfBorder = S.BorderWidth() / 2;
  for (size_t I = 0; I < DP.size(); ++I) {
    Integer Base = Z;
    if (Prev && I < Prev->StackedPointsBar.size())
      Base = Horz ? Prev->StackedPointsBar[I].X : Prev->StackedPointsBar[I].Y;
    if (S.ZeroLine() && S.ZeroLineColor() != clNone && Me == 0) Base -= S.ZeroLineWidth() / 2;
    const Integer Value = Horz ? DP[I].X : DP[I].Y, Cat = Horz ? DP[I].Y : DP[I].X;
    const Integer D = Value - Z;
    const double S0 = Cat - XScale / 2 + Spacing / 2;
    const Integer Pos = RoundI(Series.cntBar * Slot + S0 + Slot / 2 - Thick / 2.0);
    const TRect Bar = Horz ? TRect{Base, Pos, Base + D, Pos + Thick} : TRect{Pos, Base, Pos + Thick, Base + D};
    const Integer End = Base + D - HalfBorder;
    const Integer Mid = RoundI(Series.cntBar * Slot + S0 + Slot / 2);
    S.StackedPointsBar[I] = Horz ? TPoint{End, Pos} : TPoint{Pos, End};
    LineBar[I] = Horz ? TPoint{End, Mid} : TPoint{Mid, End};
    TChartPoint P = S.GetPoint(PointOfDrawPoint(S, static_cast<Integer>(I)));
    TColor Color = P.Color, ColorTo = P.ColorTo;
    if (T != ctHistogram && T != ctLineHistogram && P.Color == clNone) {
      Color = S.Color();
      ColorTo = S.ColorTo();
    }
    if (!S.Is3D() && Value != Z)
      DrawBar(S, Canvas, Color, ColorTo, Bar, SX, SY, static_cast<Integer>(I), P.SingleValue);
    S.StackedRectsBar.push_back({Color, ColorTo, Bar});
  }
  S.DrawValuesDP = S.StackedPointsBar;
  if (Stacked) {
    if (Series.cntBar < N - 1 && Me + 1 < Series.Count() && Series.Items(Me + 1).GroupIndex() > S.GroupIndex())
      ++Series.cntBar;
  } else if (Series.GetCountChartType(T) > 1) {
    ++Series.cntBar;
  }
  if (T == ctLineBar || T == ctLineHistogram) {
    SetLinePen(S, Canvas, SX);
    Canvas.Polyline(LineBar);
  }
}

void TChartSeriePainter::DrawBar(TChartSerie& S, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R, double SX,
                                 double SY, Integer Index, double Value) {
  const TChartType T = S.ChartType();
  const bool BoxPlot = T == ctBoxPlot;
  if (S.BarShape() == bsPyramid && !BoxPlot) {
    DrawPyramidBar(S, Canvas, Color, Index, SX, SY, R);
    return;
  }
  const bool Horz = S.IsHorizontal();
  const TRect N = NormalizedRect(R);
  const Integer Across = Horz ? N.Height() : N.Width();
  if (Color == clNone)
    Canvas.Brush.SetStyle(bsClear);
  else {
    Canvas.Brush.SetColor(Color);
    Canvas.Brush.SetStyle(S.BrushStyle());
  }
  if (S.BorderWidth() < 1 || S.BorderColor() == clNone || Across < 2)
    Canvas.Pen = {Color, 1, Color == clNone ? psClear : psSolid};
  else
    SetBorderPen(S, Canvas, SX);
  const Integer H = std::max(0, S.BorderWidth() / 2);
  const Integer Rounding = S.BorderRounding();
  TRect Body = N;
  if (Color != clNone) {
    const bool Cylinder = S.BarShape() == bsCylinder && !BoxPlot;
    Integer E = 0;
    TChartRegion Cap;
    if (Cylinder) {
      // The base cap sits on the lower (vertical) or left (horizontal) end,
      // the body moved along the bar by half the cap's depth.
      E = (Across / 3) / 2;
      TRect CapBox;
      if (Horz) {
        Body.Left += E;
        Body.Right += E;
        CapBox = {Body.Left - E, Body.Top, Body.Left + E, Body.Bottom};
        Cap = TChartRegion::FromEllipse({CapBox.Left, CapBox.Top + 1, CapBox.Right, CapBox.Bottom - 1});
      } else {
        Body.Top -= E;
        Body.Bottom -= E;
        CapBox = {Body.Left, Body.Bottom - E, Body.Right, Body.Bottom + E};
        Cap = TChartRegion::FromEllipse({CapBox.Left + 1, CapBox.Top, CapBox.Right - 1, CapBox.Bottom});
      }
      Canvas.Ellipse(CapBox);
    }
    if (ColorTo == clNone) {
      if (Cylinder) {
        TChartPen Saved = Canvas.Pen;
        Canvas.Pen.Style = psClear;
        Canvas.RoundRect(Body, Rounding, Rounding);
        Canvas.Pen = {S.BorderColor(), Saved.Width, S.BorderColor() == clNone ? psClear : S.PenStyle()};
        if (Horz) {
          Canvas.Line(Body.Left, Body.Top, Body.Right, Body.Top);
          Canvas.Line(Body.Left, Body.Bottom - 1, Body.Right, Body.Bottom - 1);
        } else {
          Canvas.Line(Body.Left, Body.Top, Body.Left, Body.Bottom);
          Canvas.Line(Body.Right - 1, Body.Top, Body.Right - 1, Body.Bottom);
        }
        Canvas.Pen = Saved;
      } else {
        Canvas.RoundRect(Body, Rounding, Rounding);
      }
    } else {
      TChartRegion Clip = TChartRegion::FromRect({Body.Left - H, Body.Top - H, Body.Right + H, Body.Bottom + H});
      if (Cylinder) Clip = Clip.Combined(Cap, rcOr);
      ClipToSerie(S, Canvas, Clip);
      FillChartShape(Canvas, Color, ColorTo, S.GradientSteps(), Body, S.GradientDirection(), true, S.BorderColor(),
                     S.BorderWidth(), csRectangle, 0, Horz ? sdTop | sdBottom : sdLeft | sdRight, Horz, Cylinder);
      RestoreSerieClip(S, Canvas);
    }
    if (Cylinder) {
      if (Horz)
        Canvas.Ellipse({Body.Right - E, Body.Top, Body.Right + E, Body.Bottom});
      else
        Canvas.Ellipse({Body.Left, Body.Top - E, Body.Right, Body.Top + E});
    }
  }
  if (S.ChartPattern().HasGraphic()) {
    ClipToSerie(S, Canvas,
                TChartRegion::FromRoundRect({Body.Left + H, Body.Top + H, Body.Right - H, Body.Bottom - H}, Rounding,
                                            Rounding));
    DrawChartPattern(S, Canvas, Body, SX, SY);
    RestoreSerieClip(S, Canvas);
  }
  Canvas.Brush.SetStyle(bsClear);
  if (BoxPlot) return;
  DrawBarText(S, Canvas, R, Index, Value);
}

void TChartSeriePainter::DrawBarText(TChartSerie& S, TChartCanvas& Canvas, TRect R, Integer Index, double Value) {
  const bool Horz = S.IsHorizontal();
  const TRect N = NormalizedRect(R);
  String Text;
  if (S.BarValueTextType() == btXAxisValue) Text = S.GetChartPoint(PointOfDrawPoint(S, Index)).LegendValue;
  TChartFont Font = S.BarValueTextFont();
  TAlignment Align = S.BarValueTextAlignment();
  if (S.OnGetBarValueText) S.OnGetBarValueText(&S, S.Index(), Index, Font, Text, Align);
  Canvas.Font = Font;
  if (Text.empty()) return;
  const Integer TH = Canvas.TextHeight(Text);
  if (Horz) {
    if (TH >= N.Height()) return;
    // A bar to the left of its base writes from its far end: the
    // alignment is mirrored.
    TRect TR =
        Value >= 0 ? TRect{R.Left + 4, R.Top, R.Right - 4, R.Bottom} : TRect{R.Right + 4, R.Top, R.Left - 4, R.Bottom};
    TAlignment A = Align;
    if (Value < 0 && Align != taCenter) A = Align == taLeftJustify ? taRightJustify : taLeftJustify;
    TDrawTextFlags Flags{dtSingleLine, dtVCenter, dtEndEllipsis};
    if (A == taRightJustify) Flags.Include(dtRight);
    if (A == taCenter) Flags.Include(dtCenter);
    Canvas.DrawText(Text, TR, Flags);
    return;
  }
  if (TH >= N.Width()) return;
  TChartFont Turned = Font;
  Turned.SetOrientation(900);
  Canvas.Font = Turned;
  const Integer TW = Canvas.TextWidth(Text);
  const TRect TR{N.Left, N.Top + 4, N.Right, N.Bottom - 4};
  const Integer X = TR.Left + (TR.Width() - TH) / 2;
  TAlignment A = Align;
  if (Value < 0 && Align != taCenter) A = Align == taLeftJustify ? taRightJustify : taLeftJustify;
  Integer Y;
  switch (A) {
    case taLeftJustify:
      Y = TR.Bottom;
      break;
    case taRightJustify:
      Y = TR.Top + TW;
      break;
    default:
      Y = TR.Bottom - (TR.Height() - TW) / 2;
      break;
  }
  Canvas.TextOut(X, Y, Text);
}

void TChartSeriePainter::DrawBar3D(TChartSerie& S, TChartCanvas& Canvas, TColor Color, TColor, TRect R, double SX,
                                   double) {
  const TRect N = NormalizedRect(R);
  const Integer O = S.Get3DOffset();
  if (S.Color() == clNone || Color == clNone)
    Canvas.Brush.SetStyle(bsClear);
  else {
    Canvas.Brush.SetColor(DarkenColor(ChartColorToRGB(Color), S.Darken3D()));
    Canvas.Brush.SetStyle(S.BrushStyle());
  }
  auto Face = [&](std::initializer_list<TPoint> Pts) {
    std::vector<TPoint> P(Pts);
    Canvas.Pen.Style = psClear;
    Canvas.Polygon(std::span<const TPoint>(P.data(), P.size() - 1));
    SetBorderPen(S, Canvas, SX);
    Canvas.Polyline(P);
  };
  if (!S.IsHorizontal()) {
    Face({{N.Right, N.Top},
          {N.Right + O, N.Top - O},
          {N.Right + O, N.Bottom - O},
          {N.Right, N.Bottom},
          {N.Right, N.Top}});
    Face({{N.Left, N.Top}, {N.Right, N.Top}, {N.Right + O, N.Top - O}, {N.Left + O, N.Top - O}, {N.Left, N.Top}});
  } else {
    Face({{N.Right, N.Top},
          {N.Right + O, N.Top + O},
          {N.Right + O, N.Bottom + O},
          {N.Right, N.Bottom},
          {N.Right, N.Top}});
    Face({{N.Left, N.Bottom},
          {N.Right, N.Bottom},
          {N.Right + O, N.Bottom + O},
          {N.Left + O, N.Bottom + O},
          {N.Left, N.Bottom}});
  }
}

bool TChartSeriePainter::PyramidFaces(const TChartSerie& S, TRect R, Integer Index, TPyramidFaces& Faces) {
  TVivIzude* C = S.Chart();
  if (!C) return false;
  const double Total = S.GetTotalSeriesValuePyramid(Index);
  if (Total == 0 || !std::isfinite(Total)) return false;
  const TChartSeries& Series = C->Series();
  const bool AnyStacked = Series.GetCountChartType(ctStackedBar) + Series.GetCountChartType(ctStackedPercBar) > 0;
  const double Low = AnyStacked ? S.GetNextValuePyramid(S.Index() - 1, Index) : 0;
  const double High = S.GetNextValuePyramid(S.Index(), Index);
  const bool Horz = S.IsHorizontal();
  const TRect N = NormalizedRect(R);
  const Integer W = Horz ? N.Height() : N.Width();
  if (W <= 0) return false;
  const Integer Centre = (Horz ? N.Top : N.Left) + W / 2;
  const TRect SR = Series.SeriesRectangle();
  auto Half = [&](double V) { return RoundI((Total - V) / Total * W / 2); };
  auto At = [&](Integer Across, double V) {
    const Integer Along = S.ValueToY(V, SR);
    return Horz ? TPoint{Along, Across} : TPoint{Across, Along};
  };
  const Integer HB = Half(Low), HT = Half(High);
  const TPoint B = At(Centre + HB, Low), Tp = At(Centre + HT, High);
  Faces.Front[0] = At(Centre - HB, Low);
  Faces.Front[1] = B;
  Faces.Front[2] = Tp;
  Faces.Front[3] = At(Centre - HT, High);
  // The side face: as deep as the pyramid is wide at each end, relative to
  // the bar's width.
  auto Depth = [&](Integer HalfWidth) { return RoundI(S.Offset3D() * 2.0 * HalfWidth / W); };
  const Integer DB = Depth(HB), DT = Depth(HT);
  Faces.Side[0] = B;
  Faces.Side[1] = Horz ? TPoint{B.X + DB, B.Y + DB} : TPoint{B.X + DB, B.Y - DB};
  Faces.Side[2] = Horz ? TPoint{Tp.X + DT, Tp.Y + DT} : TPoint{Tp.X + DT, Tp.Y - DT};
  Faces.Side[3] = Tp;
  return true;
}

void TChartSeriePainter::DrawPyramidBar(TChartSerie& S, TChartCanvas& Canvas, TColor Color, Integer Index, double SX,
                                        double, TRect R) {
  TPyramidFaces Faces;
  if (!PyramidFaces(S, R, Index, Faces)) return;
  SetBorderPen(S, Canvas, SX);
  SetSerieBrush(S, Canvas);
  Canvas.Polygon(Faces.Front);
  if (S.Enable3D()) {
    TColor Base = Color == clNone ? S.Color() : Color;
    if (Base == clNone)
      Canvas.Brush.SetStyle(bsClear);
    else
      Canvas.Brush.SetColor(DarkenColor(ChartColorToRGB(Base), S.Darken3D()));
    Canvas.Polygon(Faces.Side);
  }
}

// ---------------------------------------------------------------- gantt
void TChartSeriePainter::DrawGantt(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  const Integer G = S.GetGanttOffset();
  const Integer Count = S.GetPointsCount();
  const Integer Top = R.Bottom - G - S.GanttSpacing() - S.GanttHeight();
  for (size_t I = 0; I < S.DrawPoints.size() && static_cast<Integer>(I) < Count; ++I) {
    TChartPoint P = S.GetPoint(static_cast<Integer>(I));
    if (!P.Defined) continue;
    const TPoint& D = S.DrawPoints[I];
    DrawGanttPoint(S, Canvas, P, SX, SY, {D.Y, Top, D.X, Top + S.GanttHeight()});
  }
  S.DrawValuesDP = S.DrawPoints;
}

void TChartSeriePainter::DrawGanttPoint(TChartSerie& S, TChartCanvas& Canvas, const TChartPoint& P, double, double,
                                        TRect R) {
  DrawGanttBar(S, Canvas, P, R);
  if (P.LegendValue.empty()) return;
  TChartFont Font = S.ValueFont();
  if (P.TextColor != clNone) Font.SetColor(P.TextColor);
  Canvas.Font = Font;
  Canvas.Brush.SetStyle(bsClear);
  TRect TR = NormalizedRect(R);
  TR = {TR.Left + 2, TR.Top + 2, TR.Right - 2, TR.Bottom - 2};
  Canvas.DrawText(P.LegendValue, TR, TDrawTextFlags{dtCenter, dtVCenter, dtSingleLine, dtEndEllipsis});
}

void TChartSeriePainter::DrawGanttBar(TChartSerie&, TChartCanvas& Canvas, const TChartPoint& P, TRect R) {
  if (P.Color == clNone) return;
  if (P.ColorTo != clNone) {
    FillChartShape(Canvas, P.Color, P.ColorTo, 32, R, P.GradientDirection, true, P.BorderColor, 1, csRectangle, 0,
                   sdAll, false, false);
    return;
  }
  Canvas.Brush.SetColor(P.Color);
  Canvas.Brush.SetStyle(bsSolid);
  Canvas.FillRect(NormalizedRect(R));
  if (P.BorderColor != clNone) {
    Canvas.Brush.SetStyle(bsClear);
    Canvas.Pen = {P.BorderColor, 1, psSolid};
    Canvas.Rectangle(R);
  }
}
