#pragma once
// A chart with the canvas painter, fixed text metrics and English numbers,
// and a pie set up as the program's folder pie.
#include <numbers>
#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/model/ChartRecordingCanvas.h"
#include "chart/paint/ChartSeriePainting.h"

struct TPieFixture {
  TFixedTextMeasurer Measurer{7, 13};
  TVivIzude Chart;
  TRecordingCanvas Canvas{Measurer};
  TChartSerie& Pie;
  TPieFixture() : Pie(Chart.Series().Add()) {
    Chart.SetTextMeasurer(&Measurer);
    Chart.SetFormatSettings(TFormatSettings::English());
    InstallCanvasPainter(Chart);
    Pie.SetChartType(ctPie);
    Pie.SetAutoRange(arDisabled);
  }
  // The folder pie of the main window.
  void FolderPie() {
    Pie.SetBorderColor(clWhite);
    Pie.SetBorderRounding(1);
    Pie.SetShowValue(true);
    Pie.SetValueFormat(u"%.2n");
    Pie.SetValueType(cvPercentage);
    Pie.Pie().SetPosition(spTopCenter);
    Pie.Pie().SetLegendPosition(spBottomCenter);
    Pie.Pie().SetSize(250);
    Pie.Pie().SetInnerSize(100);
    Pie.Pie().SetShowValues(true);
    Pie.Pie().ValueFont().SetColor(clWhite);
    Pie.Pie().ValueFont().SetHeight(-11);
    Pie.Pie().LegendFont().SetHeight(-11);
    Chart.Title().SetPosition(tTop);
    Chart.Title().SetAlignment(taCenter);
    Chart.Title().SetSize(40);
    Chart.Title().Font().SetStyle({fsBold});
    Chart.Title().SetText(u"/www\r\n1 234 KiB");
  }
  void Add(double Value, const String& Caption, TColor Color = clNone) {
    Pie.AddPiePoints(Value, Caption, Color, clNone, 0, true);
  }
  void Paint(TRect R = {0, 0, 400, 400}) {
    Canvas.Clear();
    Chart.Draw(Canvas, R, 1, 1, true);
  }
  std::vector<const TCanvasRecord*> Ops(TCanvasOp Op) const {
    std::vector<const TCanvasRecord*> Out;
    for (const TCanvasRecord& R : Canvas.Records())
      if (R.Op == Op) Out.push_back(&R);
    return Out;
  }
};

// The angle of P seen from C, degrees counter-clockwise on the screen.
inline double ScreenAngle(TPoint C, TPoint P) {
  double A = std::atan2(double(C.Y - P.Y), double(P.X - C.X)) * 180 / std::numbers::pi;
  return A < 0 ? A + 360 : A;
}

// The difference of two angles in degrees, folded into [0, 180].
inline double AngleDistance(double A, double B) {
  double D = std::fmod(std::fabs(A - B), 360.0);
  return D > 180 ? 360 - D : D;
}
