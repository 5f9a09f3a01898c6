// The texts, steps and room of a serie's axis labels. The label painter, the
// layout's band sizes and the y-axis hit test all go through these, so what
// is measured, painted and hit is the same label.
#include <cmath>
#include <initializer_list>

#include "chart/model/ChartHelpers.h"
#include "chart/model/ChartWalks.h"
#include "chart/model/VivIzude.h"
#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"

namespace {
// Two steps of a walk count as the same value when they differ by at most a
// millionth of a millionth of the smaller (or 1e-12 near zero): the walk's
// repeated additions drift in the last digits.
bool SameValue(double A, double B) {
  double E = std::max(std::min(std::fabs(A), std::fabs(B)) * 1e-12, 1e-12);
  return std::fabs(A - B) <= E;
}

bool OnXSide(TChartXAxisPosition P, bool Bottom) {
  return Bottom ? (P == xBottom || P == xBoth) : (P == xTop || P == xBoth);
}
bool OnYSide(TChartYAxisPosition P, bool Right) {
  return Right ? (P == yRight || P == yBoth) : (P == yLeft || P == yBoth);
}

// A serie whose x labels are painted (and so take room).
bool DrawsXLabels(const TChartSerie& S) {
  return S.ChartType() != ctNone && S.SerieType() != stZoomControl && S.Visible();
}

// Step doubling stops here, before an Integer step could overflow.
constexpr Integer MaxXStep = 1 << 29;

const TFormatSettings& SettingsOf(const TChartSerie& S) {
  return S.Chart() ? S.Chart()->FormatSettings() : FormatSettings;
}
}  // namespace

// ---------------------------------------------------------------- x labels
bool TChartSerie::ComputeXAxisSteps(TChartCanvas& Canvas) {
  TVivIzude* C = Chart();
  double D = C ? C->XScale() : 0;
  Mu = RoundI(FXAxis.MajorUnit());
  Mi = RoundI(FXAxis.MinorUnit());
  MinimumDistance = D;
  FirstPoint = D;
  // A scale that is not a positive number gives no labels (the step search
  // would never end on a negative one).
  if (!(D > 0) || !std::isfinite(D)) {
    Mu = Mi = 0;
    return false;
  }
  double W = Canvas.TextWidth(u"WW");
  auto Widen = [&](Integer& Step) {
    FirstPoint = D;
    NextPoint = (Step + 1.0) * D;
    if (Step == 0 || !FXAxis.AutoUnits()) return;
    while (!(NextPoint > W + FirstPoint + 4) && Step < MaxXStep) {
      FirstPoint = D;
      NextPoint = (Step + 1.0) * D;
      Step *= 2;
    }
  };
  Widen(Mi);
  Widen(Mu);
  return true;
}

String TChartSerie::GetXAxisLabelText(Integer ValueIndex, bool Major, bool DrawCustomValues, bool NearestXText) {
  TVivIzude* C = Chart();
  String Text;
  if (C && C->XAxis().UnitType() != utNumber) {
    TDateTime T = DrawCustomValues ? GetPoint(ValueIndex).TimeStamp : GetXTimeStamp(ValueIndex);
    Text = FormatDateTime(Major ? FXAxis.MajorUnitTimeFormat() : FXAxis.MinorUnitTimeFormat(), T, SettingsOf(*this));
  } else {
    Text = IntToStr(ValueIndex);
  }
  if (IsXYType(FChartType) && Major) {
    if (NearestXText) {
      String Nearest;
      GetXValueText(ValueIndex, Nearest);
      if (!Nearest.empty()) Text = Nearest;
    }
  } else if (FChartType != ctGantt) {
    const String& Legend = GetChartPoint(ValueIndex).LegendValue;
    if (!Legend.empty()) Text = Legend;
  }
  if (DrawCustomValues) {
    if (OnXAxisGetXValue) OnXAxisGetXValue(this, this, ValueIndex, Text);
  } else if (OnXAxisGetValue) {
    OnXAxisGetValue(this, this, ValueIndex, Text);
  }
  return Text;
}

Integer TChartSerie::GetXValueSize(TChartCanvas& Canvas, Integer Index, double, double ScaleY, bool DrawCustomValues) {
  DrawMajorValue = DrawMinorValue = false;
  const Integer Sp = RoundI(FXAxis.MajorUnitSpacing() * ScaleY), Sn = RoundI(ScaleY * FXAxis.MinorUnitSpacing());
  const double TS = ScaleY * FXAxis.TickMarkSize();
  const bool Rotated = FXAxis.TextBottom().Angle() != 0 || FXAxis.TextTop().Angle() != 0;
  const bool Horz = IsHorizontal();
  // Across the axis a label takes its height, or its width when it stands
  // turned by a quarter against the axis.
  auto Across = [&](const String& Text, Integer Gap) {
    TSize E = Canvas.TextExtent(Text);
    bool Height = Horz == Rotated;
    return (Height ? E.cy : E.cx) + Gap;
  };
  Integer S = 0;
  if (IsXMajorIndex(Index)) {
    Canvas.Font = FXAxis.MajorFont();
    Integer A = Across(GetXAxisLabelText(Index, true, DrawCustomValues, false), Sp);
    S = A + TS <= 0 ? 0 : RoundI(TS) + A;
  }
  if (IsXMinorIndex(Index)) {
    Canvas.Font = FXAxis.MinorFont();
    Integer A = Across(GetXAxisLabelText(Index, false, DrawCustomValues, false), Sn);
    if (A + TS > S) S = RoundI(TS) + A;
  }
  return S + 10;
}

Integer TChartSerie::GetXAxisValuesSize(TChartCanvas& Canvas, Integer& XYValuesSize, double ScaleX, double ScaleY) {
  XYValuesSize = 0;
  TVivIzude* C = Chart();
  if (!C || !ComputeXAxisSteps(Canvas)) return 0;
  if (Mu == 0 && Mi == 0) return 0;
  Integer Size = 0;
  if (FXAxis.Visible()) {
    // Only the label indices are measured, at most about one per pixel, and
    // the first index for the room that an index without a label takes.
    const Int64 From = C->Range().RangeFrom(), To = C->Range().RangeTo();
    auto Measure = [&](Int64 F) {
      Size = std::max(Size, GetXValueSize(Canvas, static_cast<Integer>(F), ScaleX, ScaleY, !FDrawFromStartDate));
    };
    if (From <= To) Measure(From);
    for (Integer Step : {Mu, Mi})
      if (Step > 0)
        for (TXIndexWalk W(From, To, Step, C->XScale()); !W.Done(); W.Next()) Measure(W.Index());
    if (IsXYType(FChartType) && FXAxis.XYValues()) {
      Integer N = GetPointsCount();
      for (Integer I = 0; I < N; ++I)
        if (GetPoint(I).Defined)
          XYValuesSize =
              std::max(XYValuesSize, GetXValueSize(Canvas, I, ScaleX, ScaleY, true) + FXAxis.XYValuesOffset());
      Size += XYValuesSize;
    }
  }
  if (FXAxisGroupsVisible && FXAxis.Visible()) {
    Integer Highest = -1;
    for (Integer I = 0; I < FXAxisGroups->Count(); ++I) {
      const TChartSerieXAxisGroup& G = FXAxisGroups->Items(I);
      if (!G.Visible() || G.Level() <= Highest) continue;
      Size += GetXAxisGroupLevelHeight(G.Level());
      Highest = G.Level();
    }
  }
  return Size;
}

void TChartSerie::GetXValueText(double X, String& Text) const {
  Text.clear();
  Integer N = GetPointsCount(), Lo = 0, Hi = N - 1;
  while (Lo <= Hi) {
    Integer Mid = Lo + (Hi - Lo) / 2;
    TChartPoint P1 = GetPoint(Mid);
    if (P1.SingleXValue <= X && Mid + 1 < N) {
      TChartPoint P2 = GetPoint(Mid + 1);
      if (X <= P2.SingleXValue) {
        Text = std::fabs(X - P2.SingleXValue) >= std::fabs(X - P1.SingleXValue) ? P1.LegendValue : P2.LegendValue;
        return;
      }
    }
    if (X >= P1.SingleXValue)
      Lo = Mid + 1;
    else
      Hi = Mid - 1;
  }
}

Integer TChartSerie::GetPreviousXAxesSize(bool Bottom) const {
  if (!FCollection || !OnXSide(FXAxis.Position(), Bottom)) return 0;
  TMeasuringCanvas Canvas(Chart() ? Chart()->TextMeasurer() : TFixedTextMeasurer::Default());
  Integer Sum = 0, Me = Index(), XY = 0;
  for (Integer J = 0; J < Me; ++J) {
    TChartSerie& S = FCollection->Items(J);
    // A serie that paints no x labels leaves no room before the next one.
    if (DrawsXLabels(S) && OnXSide(S.XAxis().Position(), Bottom)) Sum += S.GetXAxisValuesSize(Canvas, XY, 1, 1);
  }
  return Sum;
}

// ---------------------------------------------------------------- y labels
String TChartSerie::FormatYAxisValue(double Value) const {
  return FValueFormat.empty() ? FloatToStr(Value, SettingsOf(*this)) : FormatValue(Value);
}

void TChartSerie::GetYAxisUnits(TChartCanvas& Canvas, TRect R, double& Major, double& Minor) const {
  TVivIzude* C = Chart();
  if ((C && C->YAxis().AutoUnits()) || FYAxis.AutoUnits()) {
    const bool Horz = IsHorizontal();
    const double L = Horz ? R.Width() : R.Height();
    auto Unit = [&](const TChartFont& Font) {
      Canvas.Font = Font;
      Integer U = (Horz ? Canvas.TextWidth(u"WW") : Canvas.TextHeight(u"gh")) + 4;
      return NiceAxisStep(RoundI(L / (2.0 * U)), FMinimumValue, FMaximumValue);
    };
    Major = Unit(FYAxis.MajorFont());
    Minor = Unit(FYAxis.MinorFont());
  } else {
    Major = FYAxis.MajorUnit();
    Minor = FYAxis.MinorUnit();
  }
  if (FLogarithmic) Major = 1;
}

void TChartSerie::WalkYAxisLabels(double M, double O, const std::function<bool(const TYAxisLabel&)>& Visit) const {
  const double Min = FMinimumValue, Max = FMaximumValue;
  if (!(M > 0) || !std::isfinite(M) || !std::isfinite(Min) || !std::isfinite(Max)) return;
  if (!(O > 0) || !std::isfinite(O)) O = 0;
  const double Limit = Max + M;
  // Both values are counted in whole steps from their start, not summed, so
  // a long walk does not gather rounding errors into its label texts.
  // Labels of one kind that would outnumber a screen's pixels are left out
  // as the y grid leaves out its lines: minor ones as with no minor step,
  // major ones with the whole walk.
  const double T0 = std::nearbyint(Min / M) * M;
  if (TooManySteps(T0, Limit, M)) return;
  if (O > 0 && TooManySteps(std::nearbyint(Min / O) * O, Limit, O)) O = 0;
  const double V0 = O > 0 ? std::nearbyint(Min / O) * O : Min;
  Int64 TN = 0, VN = 0, VM = 0;  // major steps, minor steps, major steps added to v
  auto TAt = [&] { return T0 + TN * M; };
  auto VAt = [&] { return V0 + VN * O + VM * M; };
  double T = TAt(), V = VAt();
  Integer Step = 0;
  int Labels = 0;
  TYAxisLabel L;
  // A logarithmic label whose exponent lies outside -100..100 keeps the
  // text of the label before it.
  auto Major = [&]() {
    L.Value = L.Position = T;
    L.Major = true;
    L.Skipped = false;
    if (!FLogarithmic)
      L.Text = FormatYAxisValue(T);
    else if (T >= -100 && T <= 100)
      L.Text = FormatYAxisValue(std::pow(10.0, T));
    return Visit(L);
  };
  auto Minor = [&]() {
    L.Value = V;
    L.Major = false;
    L.Skipped = false;
    if (FLogarithmic) {
      double Shown = V - (Step - 1);
      if (Step >= -100 && Step <= 100) Shown *= static_cast<float>(std::pow(10.0, Step));
      L.Text = FormatYAxisValue(Shown);
      L.Position = SafeLog10(Shown);
      if (T >= -100 && T <= 100 && RoundI(std::pow(10.0, T) * (V - (T - 1))) == RoundI(std::pow(10.0, T - 1)))
        L.Skipped = true;
    } else {
      L.Text = FormatYAxisValue(V);
      L.Position = V;
    }
    return Visit(L);
  };
  auto NextV = [&](bool ByMajor) {
    (ByMajor ? VM : VN) += 1;
    return MoveOn(V, VAt());
  };
  // A minor step lost in the precision of the values (0.1 at 1e20) ends the
  // minor labels; the major ones go on while their own step moves.
  bool MinorMoves = O > 0;
  while (Labels < 2 * MaxAxisSteps) {
    if (V > Limit) break;
    if (T <= Limit) {
      ++Labels;
      if (!Major()) return;
    }
    if (MinorMoves && V <= Limit) {
      while (V < T && Labels < 2 * MaxAxisSteps) {
        ++Labels;
        if (!Minor()) return;
        if (!(MinorMoves = NextV(false))) break;
        if (SameValue(V, T)) NextV(false);
      }
    }
    if (O <= 0)
      NextV(true);
    else if (SameValue(V, T))
      NextV(false);
    ++TN;
    if (!MoveOn(T, TAt())) break;
    ++Step;
    if (!(T <= Limit)) break;
  }
}

Integer TChartSerie::GetYAxisValuesSize(TRect R, TChartCanvas& Canvas, double ScaleX, double ScaleY) {
  if (!FYAxis.Visible()) return 0;
  double M, O;
  GetYAxisUnits(Canvas, R, M, O);
  const bool Horz = IsHorizontal();
  const bool OnLeft = OnYSide(FYAxis.Position(), false), OnRight = OnYSide(FYAxis.Position(), true);
  const Integer GapMajor = RoundI(FYAxis.MajorUnitSpacing() * ScaleY),
                GapMinor = RoundI(FYAxis.MinorUnitSpacing() * ScaleY);
  Integer Left = 0, Right = 0;
  WalkYAxisLabels(M, O, [&](const TYAxisLabel& L) {
    if (L.Skipped || !(L.Major ? FYAxis.MajorUnitVisible() : FYAxis.MinorUnitVisible())) return true;
    String Text = L.Text;
    if (OnYAxisGetValue) OnYAxisGetValue(this, this, L.Value, Text);
    Canvas.Font = L.Major ? FYAxis.MajorFont() : FYAxis.MinorFont();
    TSize E = Canvas.TextExtent(Text);
    Integer Tick = L.Major ? FYAxis.TickMarkSize() : FYAxis.TickMarkSizeMinor();
    Integer Extent = (Horz ? E.cy : E.cx) + (L.Major ? GapMajor : GapMinor) + RoundI(ScaleX * Tick);
    if (OnLeft) Left = std::max(Left, Extent);
    if (OnRight) Right = std::max(Right, Extent);
    return true;
  });
  // The captions are measured in their own fonts, the ones they are
  // written in.
  auto CaptionHeight = [&](TChartXYAxisText& Caption) {
    if (Caption.Text().empty()) return 0;
    Canvas.Font = Caption.Font();
    return Canvas.TextHeight(Caption.Text());
  };
  Left += CaptionHeight(FYAxis.TextLeft());
  Right += CaptionHeight(FYAxis.TextRight());
  return std::max(Left, Right);
}

Integer TChartSerie::GetPreviousYAxesSize(bool RightSide) const {
  TVivIzude* C = Chart();
  if (!C || !OnYSide(FYAxis.Position(), RightSide)) return 0;
  TRect R;
  if (C->GetPaneRectangle) C->GetPaneRectangle(C, R);
  TMeasuringCanvas Canvas(C->TextMeasurer());
  Integer Sum = 0, Me = Index();
  for (Integer J = 0; J < Me; ++J) {
    TChartSerie& S = FCollection->Items(J);
    if (OnYSide(S.YAxis().Position(), RightSide)) Sum += S.GetYAxisValuesSize(R, Canvas, 1, 1);
  }
  return Sum;
}
