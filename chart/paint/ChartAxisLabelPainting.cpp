// The x and y axis labels of a serie: index labels with their ticks, the XY
// point labels, the x-axis groups, the value labels with logarithmic units
// and the axis captions. Texts, steps and sizes come from the serie
// (ChartSerieAxisLabels.cpp), so painting, layout and hit tests agree.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/model/ChartWalks.h"
#include "chart/paint/ChartPaintSupport.h"
#include "chart/paint/ChartSeriePainting.h"
#include "rtl/ScopeExit.h"

namespace {
bool OnXSide(TChartXAxisPosition P, bool Top) { return Top ? (P == xTop || P == xBoth) : (P == xBottom || P == xBoth); }

// The state a painting's flags must end with, whatever happens in an event
// handler.
void ResetLabelFlags(TChartSerie& S) { S.DrawMajorValue = S.DrawMinorValue = false; }
}  // namespace

// ---------------------------------------------------------------- x labels
TChartSeriePainter::TXLabelGaps TChartSeriePainter::XLabelGaps(const TChartSerie& S, double SY) const {
  TXLabelGaps G;
  TVivIzude* C = S.Chart();
  if (C && C->XAxis().AutoSize()) {
    G.MajorTop = S.GetPreviousXAxesSize(false);
    G.MinorTop = S.GetPreviousXAxesSize2(false);
    G.MajorBottom = S.GetPreviousXAxesSize(true);
    G.MinorBottom = S.GetPreviousXAxesSize2(true);
  } else {
    G.MajorTop = G.MinorTop = G.MajorBottom = G.MinorBottom = RoundI(S.XAxis().MajorUnitSpacing() * SY);
  }
  return G;
}

void TChartSeriePainter::DrawXValues(TChartSerie& S, TChartCanvas& Canvas, TRect R, Integer Anchor, bool Top, double SX,
                                     double SY) {
  TVivIzude* C = S.Chart();
  if (!C || C->XScale() == 0) return;
  const TScopeExit Reset([&S] { ResetLabelFlags(S); });
  Canvas.Brush.SetStyle(bsClear);
  // The steps are searched in the default font, as the layout measures
  // them, so the painted labels are the measured ones.
  Canvas.Font = TChartFont();
  if (!S.ComputeXAxisSteps(Canvas) || (S.Mu == 0 && S.Mi == 0) || !S.XAxis().Visible()) return;
  const TXLabelGaps Gaps = XLabelGaps(S, SY);
  FXGaps = &Gaps;
  const TScopeExit ClearGaps([this] { FXGaps = nullptr; });

  const bool Horz = S.IsHorizontal();
  const Int64 From = C->Range().RangeFrom(), To = C->Range().RangeTo();
  const double XScale = C->XScale(), Start = C->GetXScaleStart();
  const Integer Base = Horz ? R.Top : R.Left, End = Horz ? R.Bottom : R.Right;
  const double HalfTick = S.XAxis().TickMarkWidth() / 2.0;
  auto MarkerOf = [&](Int64 F) { return RoundI(std::floor(Start + double(F - From) * XScale - HalfTick) + Base); };
  auto Visit = [&](Int64 F, Integer Marker) {
    S.XMarker = Marker;
    bool DefaultDraw = true;
    if (Marker > 0)
      XaxisDrawValue(S, Canvas, R, Anchor, static_cast<Integer>(F), Marker, Top, SX, SY, !S.DrawFromStartDate(),
                     DefaultDraw);
  };
  if (To - From < Int64(End) - Base) {
    // No more indices than pixels: every index is asked, so the events and
    // the date labels see each one.
    for (Int64 F = From; F <= To; ++F) {
      const Integer Marker = MarkerOf(F);
      Visit(F, Marker);
      if (Marker > End) break;
    }
  } else {
    // More indices than pixels (a long range, or one from a damaged
    // settings file): only the indices that carry a label are walked, both
    // steps merged in increasing order and each thinned to about one per
    // pixel, from the first index whose marker is on the canvas. The walk
    // so costs the pixels of the band, not the indices of the range.
    const double Skip = std::ceil((1.0 - Base + HalfTick - Start) / XScale) - 1;
    const Int64 First = Skip <= 0 ? From : (Skip <= double(To - From) ? From + static_cast<Int64>(Skip) : To + 1);
    TXIndexWalk Major(First, To, S.Mu, XScale), Minor(First, To, S.Mi, XScale);
    while (!Major.Done() || !Minor.Done()) {
      const Int64 F = Major.Done()   ? Minor.Index()
                      : Minor.Done() ? Major.Index()
                                     : std::min(Major.Index(), Minor.Index());
      if (!Major.Done() && Major.Index() == F) Major.Next();
      if (!Minor.Done() && Minor.Index() == F) Minor.Next();
      const Integer Marker = MarkerOf(F);
      if (Marker > End) break;
      Visit(F, Marker);
    }
  }

  if (IsXYType(S.ChartType()) && S.XAxis().XYValues()) {
    // Measured on a scratch canvas in the layout's font: the point labels
    // stand beyond the index labels the layout made room for.
    TMeasuringCanvas Scratch(C->TextMeasurer());
    Integer XYSize = 0;
    Integer Off = S.XAxis().XYValuesOffset() + (S.GetXAxisValuesSize(Scratch, XYSize, SX, SY) - XYSize);
    TRect Band = R;
    Integer Y2;
    if (!Horz) {
      if (Top) {
        Band.Bottom -= Off;
        Y2 = Anchor - Off;
      } else {
        Band.Top += Off;
        Y2 = Anchor + Off;
      }
    } else if (Top) {
      Band.Left += Off;
      Y2 = Anchor + Off;
    } else {
      Band.Right -= Off;
      Y2 = Anchor - Off;
    }
    const TRect SR = C->Series().SeriesRectangle();
    const Integer Lo = Horz ? Band.Top : Band.Left, Hi = Horz ? Band.Bottom : Band.Right;
    const Integer N = S.GetPointsCount();
    for (Integer I = 0; I < N; ++I) {
      if (!S.GetPoint(I).Defined) continue;
      Integer Marker = S.ValueToX(S.GetChartPoint(I).SingleXValue, SR);
      S.XMarker = Marker;
      bool DefaultDraw = true;
      if (Lo < Marker && Marker <= Hi) XaxisDrawValue(S, Canvas, Band, Y2, I, Marker, Top, SX, SY, true, DefaultDraw);
      if (Marker > Hi) break;
    }
  }
  DrawXAxisGroups(S, Canvas, R, Top);
}

void TChartSeriePainter::XaxisDrawValue(TChartSerie& S, TChartCanvas& Canvas, TRect ARect, Integer XAxisY,
                                        Integer ValueIndex, Integer Marker, bool Top, double SX, double SY,
                                        bool DrawCustomValues, bool& DefaultDraw) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  const TRect SR = C->Series().SeriesRectangle();
  if (SR.Height() <= 0 || SR.Width() <= 0) return;
  const TXLabelGaps Gaps = FXGaps ? *FXGaps : XLabelGaps(S, SY);
  if (DrawCustomValues) {
    if (S.OnXAxisDrawXValue) S.OnXAxisDrawXValue(&S, &S, Canvas, ARect, ValueIndex, Marker, Top, DefaultDraw);
  } else if (S.OnXAxisDrawValue) {
    S.OnXAxisDrawValue(&S, &S, Canvas, ARect, ValueIndex, Marker, Top, DefaultDraw);
  }
  if (!DefaultDraw) return;
  const TScopeExit Reset([&S] { ResetLabelFlags(S); });
  S.XMarker = Marker;
  TChartSerieXAxis& Axis = S.XAxis();
  const Integer AngleMajor = Top ? -TChartSerie::GetAngle(Axis.TextTop()) : TChartSerie::GetAngle(Axis.TextBottom());
  const Integer AngleMinor = Top ? TChartSerie::GetAngle(Axis.TextTop()) : TChartSerie::GetAngle(Axis.TextBottom());
  if (!Axis.DateTimeFormat().empty()) DrawXDateValue(S, Axis.DateTimeFormat(), ValueIndex, Marker, ARect, Canvas);
  const bool Horz = S.IsHorizontal();
  // A side the serie's axis does not stand on gets no label.
  const bool Carried = OnXSide(Axis.Position(), Top);
  const TRect TickR =
      Horz ? TRect{XAxisY, ARect.Top, XAxisY, ARect.Bottom} : TRect{ARect.Left, XAxisY, ARect.Right, XAxisY};

  auto Label = [&](const String& Text, const TChartFont& Font, Integer A, Integer Gap) {
    if (!Carried) return;
    TChartFont F = Font;
    if (A != 0) F.SetOrientation(A);
    Canvas.Font = F;
    const TSize E = Canvas.TextExtent(Text);
    const Integer Wd = E.cx, Ht = E.cy;
    const Integer TS = RoundI(SY * Axis.TickMarkSize());
    Integer X, Y;
    if (!Horz) {
      X = Marker;
      Y = Top ? ARect.Bottom - Gap - TS - Ht : ARect.Top + Gap + TS;
    } else {
      X = Top ? ARect.Left + Gap + TS : ARect.Right - Gap - TS - Wd;
      Y = Marker;
    }
    const Integer W2 = Wd / 2, H2 = Ht / 2;
    if (!Horz)
      Y += H2;
    else
      X += W2;
    const double Rad = A / 10.0 * std::numbers::pi / 180;
    const bool Flat = std::abs(A) < 1;
    if (!Horz) {
      const Integer T = RoundI(std::sin(Rad) * H2 + std::cos(Rad) * W2);
      if (Flat)
        Canvas.TextOut(X - T, Y - H2, Text);
      else if (Top)
        Canvas.TextOut(X - T, A < 0 ? Y - 2 * W2 : Y, Text);
      else
        Canvas.TextOut(X - T, A < 0 ? Y : Y + 2 * W2, Text);
    } else {
      const Integer T = RoundI(std::sin(Rad) * W2 + std::cos(Rad) * H2);
      if (Flat)
        Canvas.TextOut(X - W2, Y - T, Text);
      else if (Top)
        A < 0 ? Canvas.TextOut(X, Y - W2, Text) : Canvas.TextOut(X + H2 / 2 - T, Y + W2, Text);
      else
        A < 0 ? Canvas.TextOut(X - T, Y - W2, Text) : Canvas.TextOut(X + H2 / 2, Y + W2, Text);
    }
  };

  if (S.IsXMajorIndex(ValueIndex)) {
    DrawXAxisTick(S, Canvas, Top, TickR, SX, SY);
    String Text = S.GetXAxisLabelText(ValueIndex, true, DrawCustomValues, true);
    Label(Text, Axis.MajorFont(), AngleMajor, Top ? Gaps.MajorTop : Gaps.MajorBottom);
  }
  if (S.IsXMinorIndex(ValueIndex)) {
    DrawXAxisTick(S, Canvas, Top, TickR, SX, SY);
    String Text = S.GetXAxisLabelText(ValueIndex, false, DrawCustomValues, false);
    Label(Text, Axis.MinorFont(), AngleMinor, Top ? Gaps.MinorTop : Gaps.MinorBottom);
  }
}

void TChartSeriePainter::DrawXAxisTick(TChartSerie& S, TChartCanvas& Canvas, bool Top, TRect R, double SX, double) {
  const TChartSerieXAxis& Axis = S.XAxis();
  if (Axis.TickMarkColor() == clNone || !OnXSide(Axis.Position(), Top)) return;
  Canvas.Pen = {Axis.TickMarkColor(), RoundI(Axis.TickMarkWidth() * SX), psSolid};
  const Integer L = RoundI(SX * Axis.TickMarkSize()), M = S.XMarker;
  if (!S.IsHorizontal()) {
    if (Top)
      Canvas.Line(M, R.Bottom, M, R.Bottom - L);
    else
      Canvas.Line(M, R.Top, M, R.Top + L);
  } else if (Top) {
    Canvas.Line(R.Left, M, R.Left + L, M);
  } else {
    Canvas.Line(R.Right, M, R.Right - L, M);
  }
}

void TChartSeriePainter::DrawXAxisGroups(TChartSerie& S, TChartCanvas& Canvas, TRect R, bool Top) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  const TRect SR = C->Series().SeriesRectangle();
  if (SR.IsEmpty() || !S.XAxisGroupsVisible()) return;
  TChartSerieXAxisGroups& Groups = S.XAxisGroups();
  if (Groups.Count() == 0) return;
  const bool Horz = S.IsHorizontal();
  TMeasuringCanvas Scratch(C->TextMeasurer());
  Integer XY = 0;
  const Integer LS = S.GetXAxisValuesSize(Scratch, XY, 1, 1);
  Integer HSum = LS;
  for (Integer J = 0; J < S.Index(); ++J) HSum += C->Series().Items(J).GetXAxisValuesSize(Scratch, XY, 1, 1);
  // Measuring another serie leaves its steps; this serie's are taken again.
  S.ComputeXAxisSteps(Scratch);

  const Integer From = C->Range().RangeFrom();
  const double XScale = C->XScale();
  const Integer Length = Horz ? R.Height() : R.Width();
  const Integer Tk = S.XAxis().TickMarkSize();
  for (Integer GI = 0; GI < Groups.Count(); ++GI) {
    TChartSerieXAxisGroup& G = Groups.Items(GI);
    if (!G.Visible()) continue;
    Integer Off = 0, Summed = -1;
    for (Integer K = 0; K < Groups.Count(); ++K) {
      const TChartSerieXAxisGroup& O = Groups.Items(K);
      if (!O.Visible() || O.Level() < G.Level() || O.Level() <= Summed) continue;
      Off += S.GetXAxisGroupLevelHeight(O.Level());
      Summed = O.Level();
    }
    Canvas.Font = G.Font();
    Canvas.Pen = {G.LineColor(), 1, psSolid};
    const Integer TH = Canvas.TextHeight(G.Caption()) + 2;
    const Integer TW = Canvas.TextWidth(G.Caption());
    const double StartPx = (double(G.StartIndex()) - From) * XScale, EndPx = (double(G.EndIndex()) - From) * XScale;
    const Integer U = std::clamp(RoundI(StartPx), 0, std::max(0, Length));
    const Integer V = std::clamp(RoundI(EndPx), 0, std::max(0, Length));
    if (U == V) continue;
    TRect B;
    if (!Horz) {
      Integer BTop =
          Top ? std::max(R.Bottom + Off - Tk - HSum - TH, R.Top) : std::min(R.Bottom - TH, R.Top + Tk + HSum - Off);
      B = Bounds(R.Left + U, BTop, V - U, TH);
    } else {
      Integer BLeft = Top ? std::min(R.Right - TH, R.Left + Tk + HSum - Off - 10)
                          : std::max(R.Right + Off - Tk - HSum - TH + 10, R.Left);
      B = Bounds(BLeft, R.Top + U, TH, V - U);
    }
    B.Left += 3;
    B.Right -= 3;
    const bool DrawStart = StartPx >= 0;
    const bool DrawEnd = EndPx <= (Horz ? R.Bottom - R.Top : R.Right + 1 - R.Left);
    auto Ends = [&](Integer Pos) {
      switch (G.LineType()) {
        case xgltVertical:
          if (!Horz) {
            Integer X = R.Left + Pos;
            if (Top)
              Canvas.Line(X, B.Top, X, std::min(R.Bottom, B.Bottom + LS - TH + 10));
            else
              Canvas.Line(X, std::max(R.Top, B.Top + TH - LS - 10), X, B.Bottom);
          } else {
            Integer Y = R.Top + Pos;
            if (Top)
              Canvas.Line(std::max(R.Left, B.Right - LS + 5), Y, B.Right + 2, Y);
            else
              Canvas.Line(B.Left, Y, std::min(R.Right, B.Right + LS - TH + 5), Y);
          }
          break;
        case xgltVerticalLine:
          if (!Horz) {
            Integer X = R.Left + Pos;
            if (Top)
              Canvas.Line(X, B.Top, X, R.Bottom);
            else
              Canvas.Line(X, R.Top, X, B.Bottom);
          } else {
            Integer Y = R.Top + Pos;
            if (Top)
              Canvas.Line(B.Right, Y, R.Left, Y);
            else
              Canvas.Line(B.Left, Y, R.Right, Y);
          }
          break;
        case xgltWrap:
          if (!Horz) {
            Integer X = R.Left + Pos, Y = B.Bottom - TH / 2;
            Canvas.Line(X, Top ? Y + 10 : Y - 10, X, Y);
          } else {
            Integer Y = R.Top + Pos, X = B.Right - TH / 2;
            Canvas.Line(Top ? X - 15 : X + 15, Y, X, Y);
          }
          break;
        case xgltCustom:
          break;
      }
    };
    if (DrawStart) Ends(U);
    if (DrawEnd) Ends(V);
    if (G.LineType() == xgltWrap && TW + 20 < V - U) {
      const Integer M = (V - U) / 2, Cc = TH / 2;
      auto Bracket = [&](Integer From0, Integer To0) {
        if (!Horz) {
          Integer Y = B.Bottom - Cc;
          Canvas.Line(R.Left + From0, Y, R.Left + To0, Y);
          Canvas.Line(R.Left + To0, B.Top, R.Left + To0, B.Bottom - 1);
        } else {
          Integer X = B.Right - Cc;
          Canvas.Line(X, R.Top + From0, X, R.Top + To0);
          Canvas.Line(B.Left, R.Top + To0, B.Right, R.Top + To0);
        }
      };
      Bracket(U, U + M - TW / 2 - 4);
      Bracket(V, V - M + TW / 2 + 4);
    }
    bool DrawText = true;
    if (G.LineType() == xgltCustom && C->OnSerieXAxisGroup)
      C->OnSerieXAxisGroup(C, -1, S.Index(), GI, Canvas, B, DrawText);
    if (!DrawText) continue;
    Canvas.Brush.SetStyle(bsClear);
    if (!Horz) {
      TRect T = B;
      Canvas.DrawText(G.Caption(), T, TDrawTextFlags{dtCenter, dtVCenter, dtEndEllipsis});
    } else {
      TChartFont F = G.Font();
      F.SetOrientation(Top ? -900 : 900);
      Canvas.Font = F;
      const String Text = TW < B.Height() ? G.Caption() : String(u"...");
      const Integer T = Canvas.TextWidth(Text), Bw = B.Width(), Bh = B.Height();
      if (Top)
        Canvas.TextOut(TH / 2 + B.Left + Bw / 2 + (Bw - TH) / 2, B.Top + (Bh - T) / 2, Text);
      else
        Canvas.TextOut(TH / 2 + B.Left + (Bw - TH) / 2 - Bw / 2, B.Top + T + (Bh - T) / 2, Text);
    }
  }
}

// ---------------------------------------------------------------- y labels
void TChartSeriePainter::DrawYValues(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  if (IsPolarGridType(S.ChartType())) {
    Integer E = (S.Pie().GetPieSize() / 2) * RoundI(SX);
    TRect PR = S.GetPieRectangle(S.Index(), C->Series().SeriesRectangle());
    TPoint Ctr = S.GetPieCenter(PR);
    DrawPieGridValues(S, Canvas, Bounds(Ctr.X - E, Ctr.Y - E, 2 * E, 2 * E), SX, SY, Ctr);
    return;
  }
  TChartSerieYAxis& Axis = S.YAxis();
  if (!Axis.Visible()) return;
  const bool Horz = S.IsHorizontal();
  const TRect SR = C->Series().SeriesRectangle();
  const bool Left = Axis.Position() == yLeft || Axis.Position() == yBoth;
  const bool Right = Axis.Position() == yRight || Axis.Position() == yBoth;
  double M, O;
  S.GetYAxisUnits(Canvas, R, M, O);
  Integer LeftMajor, LeftMinor, RightMajor, RightMinor;
  if (C->YAxis().AutoSize()) {
    LeftMajor = LeftMinor = S.GetPreviousYAxesSize(false);
    RightMajor = RightMinor = S.GetPreviousYAxesSize(true);
  } else {
    LeftMajor = RightMajor = RoundI(Axis.MajorUnitSpacing() * SY);
    LeftMinor = RightMinor = RoundI(Axis.MinorUnitSpacing() * SY);
  }
  const Integer RightBand = RoundI(SX * C->YAxis().RightSize());
  Canvas.Brush.SetStyle(bsClear);
  S.WalkYAxisLabels(M, O, [&](const TChartSerie::TYAxisLabel& L) {
    Canvas.Font = L.Major ? Axis.MajorFont() : Axis.MinorFont();
    const Integer Size = Horz ? Canvas.TextWidth(L.Text) : Canvas.TextHeight(u"gh");
    const Integer K = Size / 2;
    const Integer P = S.ValueToY(L.Position, SR);
    bool DefaultDraw = true;
    if (S.OnYAxisDrawvalue) {
      // Both sides report Left = True; the last event decides.
      if (Left) {
        TRect Cell = Horz ? TRect{P - K, 0, P - K + Size, R.Top} : TRect{0, P - K, R.Left, P - K + Size};
        S.OnYAxisDrawvalue(&S, &S, Canvas, Cell, L.Value, true, DefaultDraw);
      }
      if (Right) {
        TRect Cell = Horz ? TRect{P - K, R.Bottom, P - K + Size, R.Bottom + RightBand}
                          : TRect{R.Right, P - K, R.Right + RightBand, P - K + Size};
        S.OnYAxisDrawvalue(&S, &S, Canvas, Cell, L.Value, true, DefaultDraw);
      }
    }
    if (L.Skipped || !DefaultDraw) return true;
    String Text = L.Text;
    if (S.OnYAxisGetValue) S.OnYAxisGetValue(&S, &S, L.Value, Text);
    const bool Inside = Horz ? (R.Left <= P && P <= R.Right) : (R.Top <= P && P <= R.Bottom);
    if (!Inside) return true;
    const Integer TS = RoundI(SX * (L.Major ? Axis.TickMarkSize() : Axis.TickMarkSizeMinor()));
    if (L.Major ? Axis.MajorUnitVisible() : Axis.MinorUnitVisible()) {
      Canvas.Font = L.Major ? Axis.MajorFont() : Axis.MinorFont();
      const TSize E = Canvas.TextExtent(Text);
      const Integer GL = L.Major ? LeftMajor : LeftMinor, GR = L.Major ? RightMajor : RightMinor;
      if (!Horz) {
        if (Left) Canvas.TextOut(R.Left - GL - E.cx - TS, P - K, Text);
        if (Right) Canvas.TextOut(R.Right + GR + TS, P - K, Text);
      } else {
        if (Left) Canvas.TextOut(P - K, R.Top - GL - E.cy - TS, Text);
        if (Right) Canvas.TextOut(P - K, R.Bottom + GR + TS, Text);
      }
    }
    // A tick in no colour is no tick.
    if (Axis.TickMarkColor() != clNone) {
      Canvas.Pen = {Axis.TickMarkColor(), RoundI(SY * Axis.TickMarkWidth()), psSolid};
      if (!Horz) {
        if (Left) Canvas.Line(R.Left - TS, P, R.Left, P);
        if (Right) Canvas.Line(R.Right, P, R.Right + TS, P);
      } else {
        if (Left) Canvas.Line(P, R.Top - TS, P, R.Top);
        if (Right) Canvas.Line(P, R.Bottom, P, R.Bottom + TS);
      }
    }
    return true;
  });

  auto Caption = [&](TChartXYAxisText& Text, bool RightSide) {
    if (Text.Text().empty()) return;
    const Integer D = S.GetYAxisValuesSize(R, Canvas, SX, SY) + S.GetPreviousYAxesSize(RightSide) + 4;
    TChartFont F = Text.Font();
    Canvas.Font = F;
    const TSize E = Canvas.TextExtent(Text.Text());
    const Integer TH = E.cy, TW = E.cx;
    F.SetOrientation(Horz ? 0 : (RightSide ? -900 : 900));
    Canvas.Font = F;
    const TChartTextPosition Pos = Text.Position();
    const bool Start = Pos == ctRight || Pos == ctTop, Middle = Pos == ctCenter;
    Integer X, Y;
    if (!Horz) {
      X = RightSide ? R.Right + D : R.Left - D;
      const Integer Mid = R.Top + RoundI((R.Height() - TW) / 2.0);
      if (!RightSide)
        Y = Start ? R.Top + TW : (Middle ? Mid + TW : R.Bottom);
      else
        Y = Start ? R.Top : (Middle ? Mid : R.Bottom - TW);
    } else {
      Y = RightSide ? R.Bottom + D - TH : R.Top - D;
      X = Start ? R.Right - TW - 3 : (Middle ? R.Left + RoundI((R.Width() - TW) / 2.0) : R.Left + 3);
    }
    Canvas.TextOut(X, Y, Text.Text());
  };
  Caption(Axis.TextLeft(), false);
  Caption(Axis.TextRight(), true);
}
