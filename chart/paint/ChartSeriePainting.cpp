#include "chart/paint/ChartSeriePainting.h"

#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"

void InstallCanvasPainter(TVivIzude& Chart) { Chart.SetSeriePainter(std::make_unique<TChartSeriePainter>()); }

// ---------------------------------------------------------------- pens and brushes
void TChartSeriePainter::SetBorderPen(const TChartSerie& S, TChartCanvas& C, double SX) {
  C.Pen.Width = RoundI(S.BorderWidth() * SX);
  C.Pen.Style = S.PenStyle();
  C.Pen.Color = S.BorderColor();
  if (S.BorderColor() == clNone || S.BorderWidth() == 0) C.Pen.Style = psClear;
}

void TChartSeriePainter::SetLinePen(const TChartSerie& S, TChartCanvas& C, double SX) {
  C.Pen.Width = RoundI(S.LineWidth() * SX);
  C.Pen.Style = S.PenStyle();
  C.Pen.Color = S.LineColor();
  if (S.LineColor() == clNone) C.Pen.Style = psClear;
}

void TChartSeriePainter::SetWickPen(const TChartSerie& S, TChartCanvas& C, double SX) {
  C.Pen.Width = RoundI(S.WickWidth() * SX);
  C.Pen.Style = S.PenStyle();
  C.Pen.Color = S.WickColor();
  if (S.WickColor() == clNone) C.Pen.Style = psClear;
}

void TChartSeriePainter::SetSerieBrush(const TChartSerie& S, TChartCanvas& C) {
  if (S.Color() == clNone) {
    C.Brush.SetStyle(bsClear);
    return;
  }
  C.Brush.SetColor(S.Color());
  C.Brush.SetStyle(S.BrushStyle());
}

void TChartSeriePainter::SetPieLegendBorderPen(const TChartSerie& S, TChartCanvas& C, double SX) {
  const TChartSeriePie& P = S.Pie();
  C.Pen.Width = RoundI(P.LegendBorderWidth() * SX);
  C.Pen.Style = P.LegendBorderColor() == clNone ? psClear : psSolid;
  C.Pen.Color = P.LegendBorderColor();
}

void TChartSeriePainter::SetPieLegendBrush(const TChartSerie& S, TChartCanvas& C) {
  if (S.Pie().LegendColor() == clNone)
    C.Brush.SetStyle(bsClear);
  else
    C.Brush.SetColor(S.Pie().LegendColor());
}

TColor TChartSeriePainter::SliceColor(const TChartSerie& S, const TChartPoint& P, Integer Index, Integer Count) {
  if (P.Color != clNone) return P.Color;
  if (S.Color() == clNone) return clNone;
  if (Count < 1) Count = 1;
  return ScaleColorValue(ChartColorToRGB(S.Color()), double(Index + 1) / Count);
}

// ---------------------------------------------------------------- frame
void TChartSeriePainter::Init(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  if (R.Right == S.OldRect.Right && R.Bottom == S.OldRect.Bottom && !S.ForceInit()) return;
  S.OldRect = R;
  InitializeDrawPoints(S, Canvas, R, SX, SY);
  S.SetForceInit(false);
}

void TChartSeriePainter::InitializeDrawPoints(TChartSerie& S, TChartCanvas&, TRect R, double, double) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  S.DrawPoints.clear();
  S.DrawValuesDP.clear();
  S.DrawValuesSlice.clear();
  S.DrawValuesText.clear();
  S.StackedRectsBar.clear();
  S.StackedPointsArea.clear();
  const Integer From = C->Range().RangeFrom(), To = C->Range().RangeTo();
  const TChartType T = S.ChartType();
  const Integer Count = S.GetPointsCount();
  // Date-time x values become positions on the index axis.
  if (IsXYType(T) || T == ctGantt) {
    double Start = S.ConvertDateToXDate(C->Range().StartDate());
    double Span = S.GetXTimeStamp(To) - Start;
    auto Pos = [&](TDateTime D) { return Span > 0 ? To / Span * (D - Start) : 0.0; };
    for (Integer I = 0; I < Count && I < static_cast<Integer>(S.Points().size()); ++I) {
      TChartPoint P = S.GetPoint(I);
      if (IsXYType(T) && P.TimeStamp != 0) {
        S.UpdatePoint(I, [&](TChartPoint& Q) { Q.SingleXValue = Pos(P.TimeStamp); });
      } else if (T == ctGantt && P.TimeStamp != 0 && P.TimeXStamp != 0) {
        S.UpdatePoint(I, [&](TChartPoint& Q) {
          Q.SingleValue = Pos(P.TimeStamp);
          Q.SingleXValue = Pos(P.TimeXStamp);
        });
      }
    }
  }
  if (To < From) return;
  const Integer Last = std::min(To, Count - 1);
  const bool Horz = S.IsHorizontal();
  const bool TakesAll = IsXYType(T) || T == ctGantt;
  Integer M = 0;
  if (T == ctBand) {
    for (Integer I = std::max(From, 0); I <= Last; ++I)
      if (S.GetPoint(I).Defined) ++M;
    S.DrawPoints.assign(2 * M, TPoint{});
  }
  Integer Slot = 0, J = 0, Before = 0;
  const double XScale = C->XScale(), Start = C->GetXScaleStart();
  for (Integer I = 0; I < Count; ++I) {
    bool InRange = I >= From && I <= Last;
    if (!InRange && !TakesAll) {
      if (I < From) ++Before;
      continue;
    }
    TChartPoint P = S.GetPoint(I);
    Integer Cat =
        RoundI(From >= 0 ? Start + XScale * Slot : Start + XScale * (double(Slot) - From)) + (Horz ? R.Top : R.Left);
    bool Place = P.Defined || T == ctLine || T == ctArea || T == ctCandleStick || T == ctDigitalLine || TakesAll;
    Integer Val;
    if (!P.Defined && IsStackedType(T)) {
      Val = S.ValueToY(S.ZeroReferencePoint(), R);
      Place = true;
    } else if (T == ctStackedPercArea || T == ctStackedPercBar) {
      Val = S.ValueToY(S.GetStackedPercValue(P.SingleValue, From < 0 ? I + From : I), R);
    } else {
      Val = S.ValueToY(S.Logarithmic() ? SafeLog10(P.SingleValue) : P.SingleValue, R);
    }
    if (TakesAll) Cat = S.ValueToX(P.SingleXValue, R);
    if (T == ctGantt) Val = S.ValueToX(P.SingleValue, R);
    if (Place) {
      TPoint D = Horz ? TPoint{Val, Cat} : TPoint{Cat, Val};
      if (T == ctBand) {
        if (J < M) {
          S.DrawPoints[J] = D;
          Integer Second = S.ValueToY(P.SecondValue, R);
          S.DrawPoints[2 * M - 1 - J] = Horz ? TPoint{Second, Cat} : TPoint{Cat, Second};
        }
      } else {
        S.DrawPoints.push_back(D);
      }
      ++J;
    }
    ++Slot;
  }
  S.Marker().SetDisplayIndex(S.Marker().SelectedIndex() - Before);
  for (Integer A = 0; A < S.Annotations().Count(); ++A)
    S.Annotations().Items(A).SetDisplayIndex(S.Annotations().Items(A).PointIndex() - Before);
  if ((T == ctArea || T == ctStackedArea || T == ctStackedPercArea) && Count > 0 && !S.DrawPoints.empty()) {
    Integer Z = S.ValueToY(S.ZeroReferencePoint(), R);
    TPoint First = S.DrawPoints.front(), LastP = S.DrawPoints.back();
    if (!Horz) {
      S.DrawPoints.push_back({LastP.X, Z});
      S.DrawPoints.push_back({First.X, Z});
    } else {
      S.DrawPoints.push_back({Z, LastP.Y});
      S.DrawPoints.push_back({Z, First.Y});
    }
  }
}

void TChartSeriePainter::DrawSerie(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  if (S.IsDrawing || S.SerieType() == stZoomControl || !S.Visible()) return;
  S.IsDrawing = true;
  SetLinePen(S, Canvas, SX);
  SetSerieBrush(S, Canvas);
  S.StackedRectsBar.clear();
  bool OldMode = Canvas.SetBackgroundTransparent(true);
  size_t Things = S.IsPieLike() ? 1 : S.DrawPoints.size();
  if (Things > 0) {
    Canvas.SetBackgroundTransparent(OldMode);
    switch (S.ChartType()) {
      case ctNone:
        break;
      case ctLine:
      case ctXYLine:
        DrawLine(S, Canvas, R, SX, SY);
        break;
      case ctArea:
      case ctStackedArea:
      case ctStackedPercArea:
      case ctBand:
        DrawArea(S, Canvas, R, SX, SY);
        break;
      case ctBar:
      case ctLineBar:
      case ctHistogram:
      case ctLineHistogram:
      case ctStackedBar:
      case ctStackedPercBar:
        DrawBars(S, Canvas, R, SX, SY);
        break;
      case ctCandleStick:
      case ctLineCandleStick:
      case ctBoxPlot:
        DrawCandles(S, Canvas, R, SX, SY);
        break;
      case ctOHLC:
        DrawOHLC(S, Canvas, R, SX, SY);
        break;
      // The markers pass paints these points.
      case ctMarkers:
      case ctRenko:
      case ctXYMarkers:
        S.DrawValuesDP = S.DrawPoints;
        break;
      case ctError:
        DrawErrors(S, Canvas, R, SX, SY);
        break;
      case ctArrow:
      case ctScaledArrow:
        DrawArrows(S, Canvas, R, SX, SY);
        break;
      case ctBubble:
      case ctScaledBubble:
        DrawBubbles(S, Canvas, R, SX, SY);
        break;
      case ctDigitalLine:
      case ctXYDigitalLine:
        DrawDigitalLine(S, Canvas, R, SX, SY);
        break;
      case ctGantt:
        DrawGantt(S, Canvas, R, SX, SY);
        break;
      default:
        if (S.IsPieLike()) DrawPieBranch(S, Canvas, R, SX, SY);
        break;
    }
  }
  S.IsDrawing = false;
  if (S.OnSerieDrawPoint) {
    Integer From = S.Chart() ? S.Chart()->Range().RangeFrom() : 0;
    for (size_t N = 0; N < S.DrawValuesDP.size() && N < S.DrawPoints.size(); ++N) {
      Integer K = From < 0 ? static_cast<Integer>(N) : static_cast<Integer>(N) + From;
      S.OnSerieDrawPoint(&S, Canvas, S.DrawValuesDP[N], S.GetChartPoint(K));
    }
  }
}

void TChartSeriePainter::DrawChartPattern(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  if (!S.ChartPattern().HasGraphic()) return;
  Integer B = S.BorderColor() == clNone ? 0 : S.BorderWidth();
  DrawPositionedGraphic(Canvas, S.ChartPattern(), S.ChartPatternPosition(), R, SX, SY, B, S.BorderWidth());
}

// ---------------------------------------------------------------- markers
void TChartSeriePainter::DoMarkerDrawValue(TChartSerie& S, TChartMarker& Marker, TChartCanvas& Canvas,
                                           const TChartPoint& Point, Integer Index, Integer Y, Integer X) {
  if (S.OnMarkerDrawValue) S.OnMarkerDrawValue(&Marker, &S, Canvas, X, Y, Index, Point);
}

void TChartSeriePainter::DrawMarkers(TChartSerie& S, TChartCanvas& Canvas, TRect, double SX, double SY) {
  const TChartType T = S.ChartType();
  const TPointArray& Pos = IsSpiderType(T) ? S.SpiderV : S.DrawValuesDP;
  size_t N = Pos.size();
  if (T == ctArea || T == ctStackedArea || T == ctStackedPercArea) N = N >= 2 ? N - 2 : 0;
  if (N == 0) return;
  TChartMarker& M = S.Marker();
  const bool Horz = S.IsHorizontal();
  Integer Shift = 0;
  if (T == ctBar || T == ctLineBar || T == ctStackedBar || T == ctStackedPercBar)
    Shift = RoundI(S.GetBarWidth(SX) / 2.0);
  if (T == ctHistogram || T == ctLineHistogram) Shift = RoundI(S.GetHistogramBarWidth(SX) / 2.0);
  for (size_t I = 0; I < N; ++I) {
    Integer Idx = static_cast<Integer>(I);
    TChartPoint P = IsXYType(T) ? S.GetChartPoint(Idx) : S.GetChartPointFromDrawPoint(Idx);
    TChartPoint Next = IsXYType(T) ? S.GetChartPoint(Idx + 1) : S.GetChartPointFromDrawPoint(Idx + 1);
    Integer X = Pos[I].X, Y = Pos[I].Y;
    if (Horz)
      Y += Shift;
    else
      X += Shift;
    Integer W, H;
    if (M.IncreaseDecreaseMode() || T == ctRenko) {
      if (!(P.Defined && Next.Defined)) {
        W = RoundI(SX * M.MarkerSize()), H = RoundI(SY * M.MarkerSize());
      } else {
        W = RoundI(SX * M.MarkerSize()), H = RoundI(SY * M.MarkerSize());
        TColor Fill = I == 0 ? S.CandleColorIncrease()
                             : (Next.SingleValue >= P.SingleValue ? S.CandleColorDecrease() : S.CandleColorIncrease());
        Canvas.Brush.SetColor(Fill);
        Canvas.Pen = {M.MarkerLineColor(), RoundI(SX * M.MarkerLineWidth()), psSolid};
      }
    } else {
      bool Selected = Idx == M.DisplayIndex();
      Integer Size = Selected ? M.SelectedSize() : M.MarkerSize();
      TColor Fill = Selected ? M.SelectedColor() : M.MarkerColor();
      W = RoundI(SX * Size), H = RoundI(SY * Size);
      if (Fill == clNone)
        Canvas.Brush.SetStyle(bsClear);
      else
        Canvas.Brush.SetColor(Fill);
      Canvas.Pen = {Selected ? M.SelectedLineColor() : M.MarkerLineColor(),
                    RoundI(SX * (Selected ? M.SelectedLineWidth() : M.MarkerLineWidth())), psSolid};
    }
    if (!P.Defined) continue;
    TRect Box = Bounds(X - W / 2, Y - H / 2, W, H);
    switch (M.MarkerType()) {
      case mCircle:
        Canvas.Ellipse(Box);
        break;
      case mSquare:
        Canvas.Rectangle(Box);
        break;
      case mDiamond: {
        TPoint Q[4] = {{X, Y - H / 2}, {X + W / 2, Y}, {X, Y + H / 2}, {X - W / 2, Y}};
        Canvas.Polygon(Q);
        break;
      }
      case mTriangle: {
        TPoint Q[3] = {{X, Y - H}, {X + W / 2, Y}, {X - W / 2, Y}};
        Canvas.Polygon(Q);
        break;
      }
      case mPicture:
        if (M.MarkerPicture().HasGraphic()) Canvas.StretchDraw(Box, *M.MarkerPicture().Graphic());
        break;
      case mCustom:
        DoMarkerDrawValue(S, M, Canvas, P, Idx, Y, X);
        break;
      case mNone:
        break;
    }
  }
}

// ---------------------------------------------------------------- value texts
void TChartSeriePainter::DrawChartValues(TChartSerie& S, TChartCanvas& Canvas, double SX, double) {
  if (!S.ShowValue() || S.IsPieLike()) return;
  TChartFont F = S.ValueFont();
  F.SetOrientation(S.ValueAngle() * 10);
  Canvas.Font = F;
  Canvas.Brush.SetStyle(bsClear);
  const TChartType T = S.ChartType();
  size_t N = S.DrawPoints.size();
  if (T == ctArea || T == ctStackedArea || T == ctStackedPercArea) N = N >= 2 ? N - 2 : 0;
  N = std::min(N, S.DrawValuesDP.size());
  const bool Horz = S.IsHorizontal();
  Integer BarW = 0;
  if (IsBarType(T)) BarW = (T == ctHistogram || T == ctLineHistogram) ? S.GetHistogramBarWidth(SX) : S.GetBarWidth(SX);
  for (size_t I = 0; I < N; ++I) {
    Integer Idx = static_cast<Integer>(I);
    TPoint P = S.DrawValuesDP[I];
    P.X += S.ValueOffsetX();
    P.Y += S.ValueOffsetY();
    String Text = S.GetStackedValueString(Idx);
    if (Text.empty() || !S.GetChartPointFromDrawPoint(Idx).Defined) continue;
    Integer TW = Canvas.TextWidth(Text), TH = Canvas.TextHeight(Text);
    double V = S.GetStackedValue(Idx);
    if (T == ctCandleStick || T == ctLineCandleStick || T == ctOHLC || T == ctBoxPlot) {
      // Each value of the candle at its own pixel: high, close (and the
      // median) on the upper side, open and low on the lower side.
      const TRect SR = S.Chart() ? S.Chart()->Series().SeriesRectangle() : TRect{};
      const TChartPoint CP = S.GetChartPointFromDrawPoint(Idx);
      const TFormatSettings& FS = S.Chart() ? S.Chart()->FormatSettings() : FormatSettings;
      auto Put = [&](double Value, bool Upper, Integer Nudge) {
        String T1 = FloatToStr(Value, FS);
        Integer W = Canvas.TextWidth(T1), H = Canvas.TextHeight(T1), At = S.ValueToY(Value, SR);
        if (!Horz)
          Canvas.TextOut(P.X - W / 2, Upper ? At - H - Nudge : At + Nudge, T1);
        else
          Canvas.TextOut(Upper ? At + 4 + Nudge : At - W - 2 - Nudge, P.Y - H / 2, T1);
      };
      Put(CP.HighValue, true, 0);
      Put(CP.OpenValue, false, 2);
      Put(CP.CloseValue, true, 1);
      Put(CP.LowValue, false, 0);
      if (T == ctBoxPlot) Put(CP.MedValue, true, 0);
      continue;
    }
    if ((T == ctBubble || T == ctScaledBubble) && !Horz) {
      Canvas.TextOut(P.X - TW / 2, V == 0 ? P.Y - TH : P.Y - TH / 2, Text);
      continue;
    }
    if (!Horz) {
      Integer X = P.X + RoundI(BarW / 2.0) - TW / 2;
      Canvas.TextOut(X, V >= 0 ? P.Y - TH : P.Y, Text);
    } else {
      Integer Y = P.Y + RoundI(BarW / 2.0) - TH / 2;
      Canvas.TextOut(V >= 0 ? P.X + 4 : P.X - TW - 2, Y, Text);
    }
  }
}

// ---------------------------------------------------------------- annotations
void TChartSeriePainter::DrawAnnotations(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  TVivIzude* C = S.Chart();
  const TChartType T = S.ChartType();
  const Int64 Range = C ? Int64(C->Range().RangeTo()) - C->Range().RangeFrom() : 0;
  Integer BarShift = 0;
  if (IsBarType(T))
    BarShift =
        RoundI(((T == ctHistogram || T == ctLineHistogram) ? S.GetHistogramBarWidth(SX) : S.GetBarWidth(SX)) / 2.0);
  const bool Horz = S.IsHorizontal();
  for (Integer I = 0; I < S.Annotations().Count(); ++I) {
    TChartAnnotation& A = S.Annotations().Items(I);
    Integer D = A.DisplayIndex();
    if (!A.Visible() || D < 0 || D >= static_cast<Integer>(S.DrawValuesDP.size())) continue;
    if (!IsXYType(T) && T != ctGantt && D > Range) continue;
    Canvas.Font = A.Font();
    TPoint P = S.DrawValuesDP[D];
    if (Horz)
      P.Y += BarShift;
    else
      P.X += BarShift;
    if (T == ctGantt) P.Y = R.Bottom - S.GetGanttOffset() - S.GanttSpacing() - S.GanttHeight();
    TRect Box = Bounds(P.X + RoundI(SX * A.OffsetX()), P.Y + RoundI(SY * A.OffsetY()), RoundI(SX * A.Width()),
                       RoundI(SY * A.Height()));
    TRect TextR = Box;
    if (A.AutoSize()) {
      TextR.Right = TextR.Left;
      TextR.Bottom = TextR.Top;
      Canvas.DrawText(A.Text(), TextR, TDrawTextFlags{dtCalcRect, A.WordWrap() ? dtWordBreak : dtSingleLine});
      Box = TextR;
      Integer HW = Box.Width() / 2, HH = Box.Height() / 2;
      switch (A.Shape()) {
        case asCircle: {
          Integer GV = RoundI(RoundI(std::sqrt(2.0) * HH) - HH), GH = RoundI(RoundI(std::sqrt(2.0) * HW) - HW);
          Box = {Box.Left - GV, Box.Top - GH, Box.Right + GV, Box.Bottom + GH};
          break;
        }
        case asRoundRect:
        case asBalloon: {
          Integer RX = RoundI(A.BorderRounding() * SX / 2), RY = RoundI(A.BorderRounding() * SY / 2);
          Box = {Box.Left - RX, Box.Top - RY, Box.Right + RX, Box.Bottom + RY};
          if (A.Shape() == asBalloon) Box.Bottom += TextR.Height();
          break;
        }
        default:
          break;
      }
    }
    Box.Right += 2;
    A.SetAnnotationRect(Box);
    A.SetClipRgn(S.ClipRgn);
    A.Draw(Canvas, Box, TextR, P.X, P.Y, SX, SY);
  }
}

// ---------------------------------------------------------------- date labels
void TChartSeriePainter::DrawXDateValue(TChartSerie& S, const String& Format, Integer Index, Integer X, TRect R,
                                        TChartCanvas& Canvas) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  TChartUnitType Unit = C->XAxis().UnitType();
  if (Unit == utNumber || C->Series().SeriesRectangle().Height() <= 0) return;
  Canvas.Font = S.XAxis().DateTimeFont();
  Integer LH = Canvas.TextHeight(u"gh") + 1;
  if (X < S.LastXMarker) S.LastXVal = 0;
  S.LastXMarker = X;
  if (X <= S.LastXVal) return;
  TChartPoint P = S.GetChartPoint(Index);
  if (!P.Defined || P.TimeStamp == 0) return;
  if (Index > 0) {
    TChartPoint Prev = S.GetChartPoint(Index - 1);
    Word Y1, M1, D1, Y2, M2, D2;
    DecodeDate(P.TimeStamp, Y1, M1, D1);
    DecodeDate(Prev.TimeStamp, Y2, M2, D2);
    bool Changed;
    switch (Unit) {
      case utDay:
        Changed = Y1 != Y2 || M1 != M2;
        break;
      case utMonth:
        Changed = Y1 != Y2;
        break;
      case utHour:
      case utMinute:
        Changed = Y1 != Y2 || M1 != M2 || D1 != D2;
        break;
      default:
        Changed = false;
        break;
    }
    if (!Changed) return;
  }
  String Text = FormatDateTime(Format, P.TimeStamp, C->FormatSettings());
  Canvas.TextOut(X - LH / 2, R.Top + LH, Text);
  S.LastXVal = X + Canvas.TextWidth(Text);
}
