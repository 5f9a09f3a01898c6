// What lies under a pixel, from the geometry the last paint left.
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"
#include "rtl/SysUtils.h"

TChartSeriePoint TVivIzude::GetSerieIndexAtXY(Integer X, Integer Y, bool Hover) {
  TChartSeriePoint Result;
  TRect S = FSeries->SeriesRectangle();
  if (!S.Contains({X, Y})) return Result;
  const bool Horz = FSeries->IsHorizontal();
  const Int64 From = FRange->RangeFrom();
  Integer D = (Horz ? Y - S.Top : X - S.Left) - RoundI(GetXScaleStart());
  // Counted in 64 bits: near the ends of the Integer range an index past
  // them is no index (-1).
  auto Index = [](Int64 V) {
    return V >= std::numeric_limits<Integer>::min() && V <= std::numeric_limits<Integer>::max()
               ? static_cast<Integer>(V)
               : -1;
  };
  const Int64 P64 = FXScale > 0 ? RoundI(D / FXScale) + From : From;
  Integer P = Index(P64);
  Integer K = Index(From >= 1 ? P64 - From : P64);
  Integer Best = std::numeric_limits<Integer>::max(), F = -1;
  for (Integer J = 0; J < FSeries->Count(); ++J) FSeries->Items(J).NearestPointIndex = -1;
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    TChartSerie& Se = FSeries->Items(J);
    TChartType T = Se.ChartType();
    if (T == ctGantt) {
      Integer O = Se.GetGanttOffset(), N = Se.GetPointsCount();
      for (Integer Q = 0; Q < static_cast<Integer>(Se.DrawValuesDP.size()) && Q < N; ++Q) {
        if (!Se.GetPoint(Q).Defined) continue;
        const TPoint& DV = Se.DrawValuesDP[Q];
        TRect Bar = Bounds(DV.Y, S.Bottom - O - Se.GanttSpacing() - Se.GanttHeight(), DV.X - DV.Y, Se.GanttHeight());
        if (Bar.Contains({X, Y})) {
          F = J;
          P = Q;
          break;
        }
      }
      continue;
    }
    if (Se.DrawValuesDP.empty()) continue;
    if (IsXYType(T)) {
      P = K = Se.NearestPointIndex = Horz ? Se.GetXYPoint(Y, X) : Se.GetXYPoint(X, Y);
    }
    if (K < 0 || K >= static_cast<Integer>(Se.DrawValuesDP.size())) continue;
    if (IsBarType(T)) {
      if (K < static_cast<Integer>(Se.StackedRectsBar.size())) {
        TRect B = Se.StackedRectsBar[K].R;
        if (B.Left > B.Right) std::swap(B.Left, B.Right);
        if (B.Top > B.Bottom) std::swap(B.Top, B.Bottom);
        if (B.Contains({X, Y})) {
          F = J;
          break;
        }
      }
    } else if (!Se.IsPieLike() && !IsXYType(T)) {
      Integer V = std::abs(Y - Se.DrawValuesDP[K].Y);
      if (V < Best && V < 5) {
        Best = V;
        F = J;
      }
    }
  }
  double BestD = std::numeric_limits<double>::max();
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    TChartSerie& Se = FSeries->Items(J);
    if (!IsXYType(Se.ChartType()) || Se.NearestPointIndex == -1) continue;
    double YV = Se.ValueToY(Se.GetPoint(Se.NearestPointIndex).SingleValue, S);
    if (std::fabs(YV - Y) < BestD) {
      BestD = std::fabs(YV - Y);
      F = J;
      P = Se.NearestPointIndex;
    }
  }
  if (F != -1 && P != -1) {
    if (!Hover) FSeries->Items(F).SetSelectedIndex(P);
    Result = {F, P};
    if (!Hover) Changed();
  }
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    TChartSerie& Se = FSeries->Items(J);
    Integer Hit = -1;
    if (Se.ChartType() == ctFunnel) {
      for (Integer Q = 0; Q < static_cast<Integer>(Se.DrawValuesFunnel.size()); ++Q)
        if (Se.GetPoint(Q).SingleValue != 0 && TChartSerie::PointInFunnel(X, Y, Se.DrawValuesFunnel[Q])) {
          Hit = Q;
          break;
        }
    } else if (Se.IsPieLike()) {
      for (Integer Q = 0; Q < static_cast<Integer>(Se.DrawValuesSlice.size()); ++Q) {
        const TSlicePoint& SP = Se.DrawValuesSlice[Q];
        if (Se.GetPoint(Q).SingleValue != 0 && SP.SWA > SP.STA && Se.PointInPie(X, Y, SP.CX, SP.CY, SP.STA, SP.SWA)) {
          Hit = Q;
          break;
        }
      }
    }
    if (Hit == -1) continue;
    if (!Hover) Se.SetSelectedIndex(Hit);
    return {J, Hit};
  }
  return Result;
}

TChartSeriePoint TVivIzude::GetPieLegendItemAtXY(Integer X, Integer Y) {
  TChartSeriePoint Result;
  if (!FPainter) return Result;
  TMeasuringCanvas Canvas(TextMeasurer());
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    TChartSerie& Se = FSeries->Items(J);
    if (!Se.Pie().LegendVisible() || !Se.IsPieLike()) continue;
    bool Measured = false;
    TRect L = FPainter->DrawPieLegend(Se, Canvas, false, 1, 1, Measured);
    Integer N = Se.GetPointsCount();
    if (!Measured || L.Width() <= 0 || L.Height() <= 0 || N <= 0 || !L.Contains({X, Y})) continue;
    Integer Item = static_cast<Integer>(std::floor((Y - L.Top) / (double(L.Height()) / N)));
    return {J, std::clamp(Item, 0, N - 1)};
  }
  return Result;
}

TChartSerie* TVivIzude::GetLegendItemAtXY(Integer X, Integer Y) {
  if (!FLegend->Visible()) return nullptr;
  TRect L = FLegend->GetRectangle();
  Integer Size = FLegend->RectangleSize(), Spacing = FLegend->RectangleSpacing();
  TMeasuringCanvas Canvas(TextMeasurer());
  Integer C = 0;
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    TChartSerie& Se = FSeries->Items(J);
    if (Se.ChartType() == ctNone || Se.SerieType() == stZoomControl || !Se.ShowInLegend() || !Se.Visible()) continue;
    TSize E = Canvas.TextExtent(Se.LegendText());
    TRect Entry =
        Bounds(L.Left, L.Top + Spacing + C * (Spacing + Size) + (Size - E.cy) / 2, E.cx + 2 * Spacing + Size, E.cy);
    if (Entry.Contains({X, Y})) return &Se;
    ++C;
  }
  return nullptr;
}

TXAxisRangeValue TVivIzude::GetXAxisValue(Integer X, Integer Y, TRect R) const {
  TXAxisRangeValue Result;
  const bool Horz = FSeries->IsHorizontal();
  TBands Bd = GetBands();
  Integer TT = FTitle->TopSize(), TB = FTitle->BottomSize(), N = FNavigator->BottomSize();
  Integer ML = FMargin->LeftMargin(), MR = FMargin->RightMargin(), MT = FMargin->TopMargin(),
          MB = FMargin->BottomMargin();
  TChartXAxisPosition XP = FXAxis->Position();
  TRect Bottom, Top;
  if (!Horz) {
    if ((XP == xBottom || XP == xBoth) && FXAxis->BottomSize() > 0)
      Bottom = {R.Left + FYAxis->LeftSize() + ML, R.Bottom - TB - FXAxis->BottomSize(),
                R.Right - FYAxis->RightSize() - MR, R.Bottom - TB};
    if ((XP == xTop || XP == xBoth) && FXAxis->TopSize() > 0)
      Top = {R.Left + FYAxis->LeftSize() + ML, R.Top + TT, R.Right - FYAxis->RightSize() - MR,
             R.Top + TT + FXAxis->TopSize()};
  } else {
    Integer T0 = R.Top + TT + Bd.T + MT, B0 = R.Bottom - Bd.B - TB - MB - N;
    if ((XP == xBottom || XP == xBoth) && FXAxis->BottomSize() > 0) Bottom = {R.Left, T0, R.Left + Bd.L, B0};
    if ((XP == xTop || XP == xBoth) && FXAxis->TopSize() > 0) Top = {R.Right - Bd.Rt, T0, R.Right, B0};
  }
  Integer Count = 0;
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    const TChartSerie& Se = FSeries->Items(J);
    if (Se.ChartType() != ctNone && Se.SerieType() != stZoomControl && Se.Visible() && Se.XAxis().Visible()) ++Count;
  }
  if (Count == 0) return Result;
  const Integer Start = RoundI(GetXScaleStart()), Cell = RoundI(FXScale);
  // Cells under half a pixel have no room for the pointer.
  if (Cell <= 0) return Result;
  // The cells run along the axis from the bands' common start; only the few
  // indices whose cell may reach the pointer are tried, so a range of any
  // width costs the same. Below First every cell ends before the pointer.
  const Int64 From = FRange->RangeFrom(), To = FRange->RangeTo();
  if (Top.IsEmpty() && Bottom.IsEmpty()) return Result;
  const TRect& Along = Top.IsEmpty() ? Bottom : Top;
  const double Q = Horz ? double(Y) - Along.Top : double(X) - Along.Left;
  const double Skip = std::floor((Q - Cell - 2) / FXScale);
  const Int64 First = Skip > 0 ? From + static_cast<Int64>(std::min(Skip, double(To - From) + 1)) : From;
  Integer C = 0;
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    const TChartSerie& Se = FSeries->Items(J);
    if (!(Se.ChartType() != ctNone && Se.SerieType() != stZoomControl && Se.Visible() && Se.XAxis().Visible()))
      continue;
    for (Int64 I = First; I <= To; ++I) {
      const Integer Pos = RoundI(FXScale * double(I - From) + GetXScaleStart()) - Start;
      if (Pos > Q) break;  // this cell and every later one start past the pointer
      for (int Side = 0; Side < 2; ++Side) {
        const TRect& Band = Side == 0 ? Top : Bottom;
        if (Band.IsEmpty()) continue;
        TRect CellR;
        if (!Horz) {
          Integer Slice = Band.Height() / Count;
          Integer CT = Side == 0 ? Band.Bottom - Slice * (C + 1) : Band.Top + Slice * C;
          CellR = Bounds(Band.Left + Pos, CT, Cell, Slice);
        } else {
          Integer Slice = Band.Width() / Count;
          Integer CL = Side == 0 ? Band.Left + Slice * C : Band.Right - Slice * (C + 1);
          CellR = Bounds(CL, Band.Top + Pos, Slice, Cell);
        }
        if (CellR.Contains({X, Y})) return {static_cast<Integer>(I), J};
      }
    }
    ++C;
  }
  return Result;
}

TYAxisRangeValue TVivIzude::GetYAxisValue(Integer X, Integer Y, TRect R) {
  TYAxisRangeValue Result;
  const bool Horz = FSeries->IsHorizontal();
  TBands Bd = GetBands();
  TRect A;
  if (FUpdateCount == 0)
    A = {R.Left + Bd.L, R.Top + FTitle->TopSize() + Bd.T, R.Right - Bd.Rt,
         R.Bottom - Bd.B - FTitle->BottomSize() - FNavigator->BottomSize()};
  TMeasuringCanvas Canvas(TextMeasurer());
  TRect SR = FSeries->SeriesRectangle();
  for (Integer J = 0; J < FSeries->Count(); ++J) {
    TChartSerie& Se = FSeries->Items(J);
    TChartSerieYAxis& Ya = Se.YAxis();
    double M, O;
    Se.GetYAxisUnits(Canvas, A, M, O);
    if (!Ya.Visible()) continue;
    const bool Left = Ya.Position() == yLeft || Ya.Position() == yBoth;
    const bool Right = Ya.Position() == yRight || Ya.Position() == yBoth;
    Integer LeftMajor = Ya.MajorUnitSpacing(), LeftMinor = Ya.MinorUnitSpacing();
    Integer RightMajor = LeftMajor, RightMinor = LeftMinor;
    if (FYAxis->AutoSize()) {
      LeftMajor = LeftMinor = Se.GetPreviousYAxesSize(false);
      RightMajor = RightMinor = Se.GetPreviousYAxesSize(true);
    }
    Se.WalkYAxisLabels(M, O, [&](const TChartSerie::TYAxisLabel& L) {
      Integer P = Se.ValueToY(L.Position, SR);
      if (Horz ? (P < A.Left || P > A.Right) : (P < A.Top || P > A.Bottom)) return true;
      if (L.Skipped || !(L.Major ? Ya.MajorUnitVisible() : Ya.MinorUnitVisible())) return true;
      Canvas.Font = L.Major ? Ya.MajorFont() : Ya.MinorFont();
      // The cells the painter offers to OnYAxisDrawValue; a handler that
      // takes the default drawing away takes the label away here too.
      Integer S = Horz ? Canvas.TextWidth(L.Text) : Canvas.TextHeight(u"gh");
      Integer K0 = S / 2;
      bool DefaultDraw = true;
      if (Se.OnYAxisDrawvalue) {
        if (Left) {
          TRect Cell = Horz ? TRect{P - K0, 0, P - K0 + S, A.Top} : TRect{0, P - K0, A.Left, P - K0 + S};
          Se.OnYAxisDrawvalue(&Se, &Se, Canvas, Cell, L.Value, true, DefaultDraw);
        }
        if (Right) {
          TRect Cell = Horz ? TRect{P - K0, A.Bottom, P - K0 + S, A.Bottom + FYAxis->RightSize()}
                            : TRect{A.Right, P - K0, A.Right + FYAxis->RightSize(), P - K0 + S};
          Se.OnYAxisDrawvalue(&Se, &Se, Canvas, Cell, L.Value, true, DefaultDraw);
        }
      }
      if (!DefaultDraw) return true;
      String Text = L.Text;
      if (Se.OnYAxisGetValue) Se.OnYAxisGetValue(&Se, &Se, L.Value, Text);
      Integer W = Canvas.TextWidth(Text), H = Horz ? Canvas.TextHeight(Text) : Canvas.TextHeight(u"gh");
      Integer K = Horz ? W / 2 : H / 2;
      Integer Tick = L.Major ? Ya.TickMarkSize() : Ya.TickMarkSizeMinor();
      Integer GL = L.Major ? LeftMajor : LeftMinor, GR = L.Major ? RightMajor : RightMinor;
      TRect LeftR, RightR;
      if (!Horz) {
        LeftR = Bounds(A.Left - GL - W - Tick, P - K, W, H);
        RightR = Bounds(A.Right + GR + Tick, P - K, W, H);
      } else {
        LeftR = Bounds(P - K, A.Top - GL - H - Tick, W, H);
        RightR = Bounds(P - K, A.Bottom + GR + Tick, W, H);
      }
      if ((Left && LeftR.Contains({X, Y})) || (Right && RightR.Contains({X, Y}))) {
        Result = {J, Text, L.Major ? vmMajor : vmMinor, L.Value};
        // A minor label ends this serie's walk; a major one lets it go on.
        return L.Major;
      }
      return true;
    });
  }
  return Result;
}
