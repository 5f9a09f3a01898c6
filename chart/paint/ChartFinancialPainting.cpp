// The candlestick, box-plot, OHLC, error-bar, arrow and bubble painters.
#include <cmath>

#include "chart/paint/ChartPaintSupport.h"
#include "chart/paint/ChartSeriePainting.h"

namespace {
// The distance between the first two draw points along the category axis,
// or the chart's XScale with fewer than two.
Integer CategorySpacing(const TChartSerie& S) {
  const TPointArray& DP = S.DrawPoints;
  if (DP.size() < 2) return S.Chart() ? RoundI(S.Chart()->XScale()) : 0;
  return S.IsHorizontal() ? DP[1].Y - DP[0].Y : DP[1].X - DP[0].X;
}

void SetFill(TChartCanvas& Canvas, TColor Color) {
  if (Color == clNone)
    Canvas.Brush.SetStyle(bsClear);
  else {
    Canvas.Brush.SetColor(Color);
    Canvas.Brush.SetStyle(bsSolid);
  }
}
}  // namespace

void TChartSeriePainter::DrawCandles(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  TVivIzude* C = S.Chart();
  const TPointArray& DP = S.DrawPoints;
  S.DrawValuesDP = DP;
  if (!C) return;
  const TChartType T = S.ChartType();
  const bool Horz = S.IsHorizontal();
  if (T == ctLineCandleStick) {
    SetLinePen(S, Canvas, SX);
    Canvas.Polyline(DP);
  }
  const TChartSeries& Series = C->Series();
  const Integer K = std::max(1, Series.GetCountChartType(ctCandleStick) + Series.GetCountChartType(ctLineCandleStick) +
                                    Series.GetCountChartType(ctBoxPlot));
  const Integer Spacing = CategorySpacing(S);
  Integer Body;
  if (S.ValueWidthType() == wtPixels) {
    Body = RoundI(SX * S.ValueWidth());
  } else {
    Body = RoundI(Spacing * S.ValueWidth() / double(K) / 100);
    // The wick stands in the middle of the body: both odd or both even.
    if ((Body % 2 != 0) != (S.WickWidth() % 2 != 0)) ++Body;
  }
  const Integer Count = S.GetPointsCount();
  for (size_t N = 0; N < DP.size(); ++N) {
    const Integer Index = PointOfDrawPoint(S, static_cast<Integer>(N));
    if (Index >= Count) break;
    TChartPoint P = S.GetPoint(Index);
    const bool Rising = P.CloseValue >= P.OpenValue;
    SetFill(Canvas, Rising ? S.CandleColorIncrease() : S.CandleColorDecrease());
    const double BodyLow = Rising ? P.OpenValue : P.CloseValue, BodyHigh = Rising ? P.CloseValue : P.OpenValue;
    const Integer Pos = Horz ? DP[N].Y : DP[N].X;
    const Integer Left = RoundI(Pos - Body / 2.0);
    const Integer Wick = Left + Body / 2;
    const Integer High = S.ValueToY(P.HighValue, R), Top = S.ValueToY(BodyHigh, R);
    const Integer Bottom = S.ValueToY(BodyLow, R);
    Integer Low = S.ValueToY(P.LowValue, R);
    if (S.WickWidth() == 1) Low += Low > Bottom ? -1 : (Low < Bottom ? 1 : 0);
    auto Line = [&](Integer A, Integer B) {
      if (Horz)
        Canvas.Line(A, Wick, B, Wick);
      else
        Canvas.Line(Wick, A, Wick, B);
    };
    TChartBrush Fill = Canvas.Brush;
    SetWickPen(S, Canvas, SX);
    Line(High, Top);
    Line(Bottom, Low);
    SetBorderPen(S, Canvas, SX);
    Canvas.Brush = Fill;
    const TRect Box = Horz ? TRect{Bottom, Left, Top, Left + Body} : TRect{Left, Top, Left + Body, Bottom};
    if (T != ctBoxPlot) {
      Canvas.Rectangle(NormalizedRect(Box));
      continue;
    }
    TColor Color = P.Color, ColorTo = P.ColorTo;
    if (P.Color == clNone) {
      Color = S.Color();
      ColorTo = S.ColorTo();
    }
    DrawBar(S, Canvas, Color, ColorTo, Box, SX, SY, static_cast<Integer>(N), P.SingleValue);
    SetBorderPen(S, Canvas, SX);
    const Integer Med = S.ValueToY(P.MedValue, R);
    if (Horz)
      Canvas.Line(Med, Left, Med, Left + Body);
    else
      Canvas.Line(Left, Med, Left + Body, Med);
  }
}

void TChartSeriePainter::DrawOHLC(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double) {
  TVivIzude* C = S.Chart();
  const TPointArray& DP = S.DrawPoints;
  S.DrawValuesDP = DP;
  if (!C) return;
  const bool Horz = S.IsHorizontal();
  const Integer K = std::max(1, C->Series().GetCountChartType(ctOHLC));
  const Integer Spacing = CategorySpacing(S);
  Integer Tick = S.ValueWidthType() == wtPixels ? RoundI(SX * S.ValueWidth())
                                                : RoundI(double(Spacing) / K * S.ValueWidth() / 2 / 100);
  Tick = std::max(1, Tick);
  const Integer Half = RoundI(Tick / 2.0);
  const Integer Count = S.GetPointsCount();
  for (size_t N = 0; N < DP.size(); ++N) {
    const Integer Index = PointOfDrawPoint(S, static_cast<Integer>(N));
    if (Index >= Count) break;
    TChartPoint P = S.GetPoint(Index);
    TColor Color = P.CloseValue >= P.OpenValue ? S.CandleColorIncrease() : S.CandleColorDecrease();
    if (Color != clNone) {
      Canvas.Brush.SetColor(Color);
      Canvas.Pen.Color = Color;
    }
    SetBorderPen(S, Canvas, SX);
    const Integer X = Horz ? DP[N].Y : DP[N].X;
    const Integer High = S.ValueToY(P.HighValue, R), Low = S.ValueToY(P.LowValue, R);
    const Integer Open = S.ValueToY(P.OpenValue, R), Close = S.ValueToY(P.CloseValue, R);
    // Across is the category axis, Along the value axis.
    auto Box = [&](Integer Across0, Integer Across1, Integer Along0, Integer Along1) {
      TRect B = Horz ? TRect{Along0, Across0, Along1, Across1} : TRect{Across0, Along0, Across1, Along1};
      Canvas.Rectangle(NormalizedRect(B));
    };
    Box(X - Half, X - Half + Tick, High, Low);
    Box(X - Tick, X + Half, Open - Tick / 2, Open - Tick / 2 + Tick);
    Box(X - Half, X + Tick, Close - Tick / 2, Close - Tick / 2 + Tick);
  }
}

void TChartSeriePainter::DrawErrors(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double) {
  const TPointArray& DP = S.DrawPoints;
  S.DrawValuesDP = DP;
  const bool Horz = S.IsHorizontal();
  const bool Cross = S.Marker().MarkerType() == mNone;
  const Integer L = RoundI(SX * S.Marker().MarkerSize());
  const Integer Count = S.GetPointsCount();
  for (size_t N = 0; N < DP.size(); ++N) {
    const Integer Index = PointOfDrawPoint(S, static_cast<Integer>(N));
    if (Index >= Count) break;
    TChartPoint P = S.GetPoint(Index);
    const Integer X = DP[N].X, Y = DP[N].Y;
    // The error sizes are value units above and below the point.
    const Integer At = Horz ? X : Y;
    const double V = S.YToValue(At, R);
    const Integer Up = S.ValueToY(V + P.PixelValue1, R), Down = S.ValueToY(V - P.PixelValue2, R);
    if (!Horz) {
      Canvas.Line(X, Y, X, Up);
      Canvas.Line(X, Y, X, Down);
      if (Cross) Canvas.Line(X - L / 2, Y, X - L / 2 + L, Y);
    } else {
      Canvas.Line(X, Y, Up, Y);
      Canvas.Line(X, Y, Down, Y);
      if (Cross) Canvas.Line(X, Y - L / 2, X, Y - L / 2 + L);
    }
  }
}

TPoint TChartSeriePainter::ArrowEnd(const TChartSerie& S, const TChartPoint& P, TPoint A, TRect R, double SX,
                                    double SY) {
  if (S.ChartType() != ctScaledArrow) return {A.X + RoundI(SX * P.PixelValue2), A.Y - RoundI(SY * P.PixelValue1)};
  // PixelValue1 is a value on the value axis; PixelValue2 a number of points
  // along the category axis, sized by the x scale.
  const TVivIzude* C = S.Chart();
  const Integer Along = C ? RoundI(RoundI(SX * P.PixelValue2) * C->XScale()) : 0;
  const bool Horz = S.IsHorizontal();
  const Integer Value = S.ValueToY(S.YToValue(Horz ? A.X : A.Y, R) + RoundI(SY * P.PixelValue1), R);
  return Horz ? TPoint{Value, A.Y + Along} : TPoint{A.X + Along, Value};
}

TRect TChartSeriePainter::BubbleBox(const TChartSerie& S, const TChartPoint& P, TPoint A, TRect R, double SX,
                                    double SY) {
  if (S.ChartType() != ctScaledBubble)
    return Bounds(A.X - RoundI(SX * P.PixelValue1), A.Y - RoundI(SY * P.PixelValue2), RoundI(SX * 2 * P.PixelValue1),
                  RoundI(SY * 2 * P.PixelValue2));
  // PixelValue1 spans points along the category axis (the x scale),
  // PixelValue2 values along the value axis.
  const TVivIzude* C = S.Chart();
  const Integer Across = C ? RoundI(RoundI(SX * P.PixelValue1) * C->XScale()) : 0;
  const bool Horz = S.IsHorizontal();
  const double V = S.YToValue(Horz ? A.X : A.Y, R);
  const Integer D = RoundI(SY * P.PixelValue2);
  const Integer V1 = S.ValueToY(V + D, R), V2 = S.ValueToY(V - D, R);
  return NormalizedRect(Horz ? TRect{V2, A.Y - Across, V1, A.Y + Across} : TRect{A.X - Across, V1, A.X + Across, V2});
}

void TChartSeriePainter::DrawArrows(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  const TPointArray& DP = S.DrawPoints;
  S.DrawValuesDP = DP;
  if (!S.Chart()) return;
  SetLinePen(S, Canvas, SX);
  const Integer Count = S.GetPointsCount();
  for (size_t N = 0; N < DP.size(); ++N) {
    const Integer Index = PointOfDrawPoint(S, static_cast<Integer>(N));
    if (Index >= Count) break;
    const TPoint A = DP[N], E = ArrowEnd(S, S.GetPoint(Index), A, R, SX, SY);
    Canvas.Line(A.X, A.Y, E.X, E.Y);
    DrawArrowHead(Canvas, S.ArrowColor(), S.ArrowSize(), A, E, SX, SY);
  }
}

void TChartSeriePainter::DrawBubbles(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  const TPointArray& DP = S.DrawPoints;
  S.DrawValuesDP = DP;
  if (!S.Chart()) return;
  SetLinePen(S, Canvas, SX);
  SetSerieBrush(S, Canvas);
  const Integer Count = S.GetPointsCount();
  for (size_t N = 0; N < DP.size(); ++N) {
    const Integer Index = PointOfDrawPoint(S, static_cast<Integer>(N));
    if (Index >= Count) break;
    Canvas.Ellipse(BubbleBox(S, S.GetPoint(Index), DP[N], R, SX, SY));
  }
}
