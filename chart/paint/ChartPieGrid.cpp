// The polar grid of the spider, sized and variable-radius pies.
#include <numbers>
#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/paint/ChartSeriePainting.h"
#include "rtl/SysUtils.h"

namespace {
constexpr double DegToRadF = std::numbers::pi / 180.0;

// Runs the value walk of the grid: Visit(value, major) for each value. The
// walk is bounded (a step far too small for the maximum stops after many
// screenfuls of circles instead of running for ever).
template <class F>
void WalkValues(double Max, double MinorStep, double MajorStep, F&& Visit) {
  if (!(MajorStep > 0) || !std::isfinite(MajorStep) || !std::isfinite(Max)) return;
  double VM = 0, Vm = 0;
  for (int Round = 0; Round < 10000; ++Round) {
    Visit(VM, true);
    if (MinorStep > 0)
      for (int G = 0; Vm < VM && G < 10000; ++G) {
        Visit(Vm, false);
        Vm += MinorStep;
        if (Vm == VM) Vm += MinorStep;
      }
    else
      Vm += MajorStep;
    if (MinorStep > 0 && Vm == VM) Vm += MinorStep;
    if (VM > Max) break;
    VM += MajorStep;
    if (Vm > Max + MajorStep && VM > Max + MajorStep) break;
  }
}

void Units(TChartSerie& S, TChartCanvas& Canvas, TRect R, bool ForGrid, double& Scale, double& Minor, double& Major) {
  TVivIzude* C = S.Chart();
  double Max = S.MaximumValue();
  Scale = Max > 0 ? (R.Bottom - R.Top) / 2.0 / Max : 1;
  if ((C && C->YAxis().AutoUnits()) || S.YAxis().AutoUnits()) {
    Integer Half = (R.Bottom - R.Top) / 2;
    Canvas.Font = S.YAxis().MajorFont();
    Major = NiceAxisStep(RoundI(Half / (2.0 * Canvas.TextHeight(u"gh"))), 0, Max);
    Canvas.Font = S.YAxis().MinorFont();
    Minor = NiceAxisStep(RoundI(Half / (2.0 * Canvas.TextHeight(u"gh"))), 0, Max);
  } else if (ForGrid && C) {
    Major = C->YGrid().MajorDistance();
    Minor = C->YGrid().MinorDistance();
  } else {
    Major = S.YAxis().MajorUnit();
    Minor = S.YAxis().MinorUnit();
  }
}
}  // namespace

void TChartSeriePainter::DrawPieGrid(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY,
                                     TPoint Center) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  double Scale, Minor, Major;
  Units(S, Canvas, R, true, Scale, Minor, Major);
  DrawPieGridLines(S, Canvas, Center, SX, SY, Scale, Minor, Major, C->YGrid(), R);
}

void TChartSeriePainter::DrawPieGridValues(TChartSerie& S, TChartCanvas& Canvas, TRect R, double SX, double SY,
                                           TPoint Center) {
  double Scale, Minor, Major;
  Units(S, Canvas, R, false, Scale, Minor, Major);
  DrawPieGridTexts(S, Canvas, Center, SX, SY, Scale, Minor, Major, S.YAxis(), R);
}

void TChartSeriePainter::DrawPieGridLines(TChartSerie& S, TChartCanvas& Canvas, TPoint Center, double, double,
                                          double Scale, double MinorStep, double MajorStep, const TChartYGrid& Grid,
                                          TRect R) {
  if (!S.Pie().ShowGrid()) return;
  Canvas.Brush.SetStyle(bsClear);
  double G = R.Bottom - (R.Bottom - R.Top) / 2.0;
  auto RadiusOf = [&](double V) { return RoundI(std::fabs(Center.Y - RoundI(G - V * Scale))); };
  double LastMajor = 0;
  WalkValues(S.MaximumValue(), MinorStep, MajorStep, [&](double V, bool Major) {
    if (Major) {
      LastMajor = V;
      if (Grid.MajorLineColor() != clNone && Grid.MajorLineStyle() != psClear && Grid.MajorLineWidth() != 0)
        DrawPieGridCircle(S, Canvas, Grid, true, RadiusOf(V), Center);
    } else if (Grid.MinorLineColor() != clNone && Grid.MinorLineStyle() != psClear && Grid.MinorLineWidth() != 0) {
      DrawPieGridCircle(S, Canvas, Grid, false, RadiusOf(V), Center);
    }
  });
  if (!S.Pie().ShowGridPieLines()) return;
  const TChartType T = S.ChartType();
  const double Total = S.GetPieTotal(), Full = IsHalfChartType(T) ? 180 : 360;
  const Integer N = S.GetPointsCount();
  Integer K = 0;
  for (Integer I = 0; I < N; ++I) {
    TChartPoint P = S.GetPoint(I);
    if (P.Defined && P.SingleValue > 0) ++K;
  }
  double Rho = RadiusOf(LastMajor);
  double Start = 0, Sweep = 0;
  const double SOA = S.Pie().StartOffsetAngle();
  Integer Line = 0;
  for (Integer I = 0; I < N; ++I) {
    TChartPoint P = S.GetPoint(I);
    if (!P.Defined || !(P.SingleValue > 0)) continue;
    Start += Sweep;
    Sweep = IsSizedType(T) ? Full / std::max<Integer>(K, 1) : (Total > 0 ? Full * P.SingleValue / Total : 0);
    double A = (SOA + Start) * DegToRadF;
    Integer X = RoundI(Center.X + Rho * std::cos(A)), Y = RoundI(Center.Y - Rho * std::sin(A));
    DrawPieGridLine(S, Canvas, Grid, Y, X, Center);
    DrawPieGridLineValue(S, Canvas, Grid, Y, X, Center, Sweep, Start, I);
    Line = I;
  }
  if (IsHalfChartType(T) && K > 0) {
    double A = (SOA + Start + Sweep) * DegToRadF;
    Integer X = RoundI(Center.X + Rho * std::cos(A)), Y = RoundI(Center.Y - Rho * std::sin(A));
    DrawPieGridLine(S, Canvas, Grid, Y, X, Center);
    DrawPieGridLineValue(S, Canvas, Grid, Y, X, Center, 0, Start + Sweep, Line + 1);
  }
}

void TChartSeriePainter::DrawPieGridTexts(TChartSerie& S, TChartCanvas& Canvas, TPoint Center, double, double,
                                          double Scale, double MinorStep, double MajorStep,
                                          const TChartSerieYAxis& YAxis, TRect) {
  if (!YAxis.Visible()) return;
  // The start direction of the pie, in radians.
  const double A = S.Pie().StartOffsetAngle() * DegToRadF;
  const TFormatSettings& FS = S.Chart() ? S.Chart()->FormatSettings() : FormatSettings;
  WalkValues(S.MaximumValue(), MinorStep, MajorStep, [&](double V, bool Major) {
    String Text = S.ValueFormat().empty() ? FloatToStr(V, FS) : S.FormatValue(V);
    if (S.OnYAxisGetValue) S.OnYAxisGetValue(&S, &S, V, Text);
    Canvas.Font = Major ? YAxis.MajorFont() : YAxis.MinorFont();
    if (Major ? !YAxis.MajorUnitVisible() : !YAxis.MinorUnitVisible()) return;
    TPoint At{Center.X + RoundI(std::cos(A) * V * Scale), Center.Y - RoundI(std::sin(A) * V * Scale)};
    DrawPieGridValue(S, Canvas, YAxis, Major, Text, At);
  });
}

void TChartSeriePainter::DrawPieGridCircle(TChartSerie& S, TChartCanvas& Canvas, const TChartYGrid& Grid, bool Major,
                                           Integer Radius, TPoint Center) {
  Canvas.Pen = Major ? TChartPen{Grid.MajorLineColor(), Grid.MajorLineWidth(), Grid.MajorLineStyle()}
                     : TChartPen{Grid.MinorLineColor(), Grid.MinorLineWidth(), Grid.MinorLineStyle()};
  TRect Box{Center.X - Radius, Center.Y - Radius, Center.X + Radius, Center.Y + Radius};
  if (S.IsHalfType()) {
    double A = S.Pie().StartOffsetAngle() * DegToRadF;
    TPoint P1{Center.X + RoundI(Radius * std::cos(A)), Center.Y - RoundI(Radius * std::sin(A))};
    TPoint P2{Center.X - RoundI(Radius * std::cos(A)), Center.Y + RoundI(Radius * std::sin(A))};
    Canvas.Arc(Box, P1, P2);
  } else {
    Canvas.Ellipse(Box);
  }
}

void TChartSeriePainter::DrawPieGridLine(TChartSerie&, TChartCanvas& Canvas, const TChartYGrid& Grid, Integer Y,
                                         Integer X, TPoint Center) {
  Canvas.Pen = {Grid.MajorLineColor(), Grid.MajorLineWidth(), Grid.MajorLineStyle()};
  Canvas.Line(Center.X, Center.Y, X, Y);
}

void TChartSeriePainter::DrawPieGridLineValue(TChartSerie& S, TChartCanvas& Canvas, const TChartYGrid&, Integer Y,
                                              Integer X, TPoint Center, double Sweep, double Start, Integer LineIndex) {
  TVivIzude* C = S.Chart();
  if (!C) return;
  String Text;
  if (C->OnGetGridPieLineValue) C->OnGetGridPieLineValue(&S, &S, LineIndex, Start, Sweep, Text);
  if (!Text.empty()) {
    Integer W = Canvas.TextWidth(Text), H = Canvas.TextHeight(Text);
    Integer TX, TY;
    switch (TChartSerie::GetQuadrant(Center.X, Center.Y, X, Y)) {
      case 0:
        TX = X + 5;
        TY = Y - H;
        break;
      case 1:
        TX = X - W - 5;
        TY = Y - H;
        break;
      case 2:
        TX = X - W - 5;
        TY = Y;
        break;
      default:
        TX = X + 5;
        TY = Y;
        break;
    }
    Canvas.TextOut(TX, TY, Text);
  }
  if (C->OnDrawGridPieLineValue) C->OnDrawGridPieLineValue(&S, &S, Canvas, LineIndex, Start, Sweep, Center, X, Y);
}

void TChartSeriePainter::DrawPieGridValue(TChartSerie&, TChartCanvas& Canvas, const TChartSerieYAxis& YAxis, bool Major,
                                          const String& Text, TPoint At) {
  Canvas.TextOut(At.X, At.Y + (Major ? YAxis.MajorUnitSpacing() : YAxis.MinorUnitSpacing()), Text);
}
