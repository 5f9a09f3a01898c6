#pragma once
// A chart of one pane with the canvas painter, fixed text metrics, English
// numbers and a pane rectangle, so the axis bands size themselves from the
// labels as in a view.
#include <vector>

#include "chart/model/ChartHelpers.h"
#include "chart/model/ChartRecordingCanvas.h"
#include "chart/paint/ChartSeriePainting.h"

struct TChartPaintFixture {
  TFixedTextMeasurer Measurer;
  TVivIzude Chart;
  TRecordingCanvas Canvas;
  TRect Pane{0, 0, 600, 400};
  explicit TChartPaintFixture(Integer CharWidth = 7, Integer LineHeight = 13)
      : Measurer(CharWidth, LineHeight), Canvas(Measurer) {
    Chart.SetTextMeasurer(&Measurer);
    Chart.SetFormatSettings(TFormatSettings::English());
    InstallCanvasPainter(Chart);
    Chart.GetPaneRectangle = [this](TVivIzude*, TRect& R) { R = Pane; };
  }
  TChartSerie& Add(TChartType Type, TColor Color = clRed) {
    TChartSerie& S = Chart.Series().Add();
    S.SetChartType(Type);
    S.SetColor(Color);
    S.SetLineColor(Color);
    return S;
  }
  // No axis bands, no pane hook: the series area is the whole pane, so
  // geometry can be worked out by hand.
  void Plain() {
    Chart.GetPaneRectangle = nullptr;
    Chart.XAxis().SetPosition(xNone);
    Chart.YAxis().SetPosition(yNone);
    Chart.Legend().SetVisible(false);
  }
  // A serie with the fixed value range Min..Max.
  TChartSerie& AddFixed(TChartType Type, TColor Color, double Min = 0, double Max = 100) {
    TChartSerie& S = Add(Type, Color);
    S.SetAutoRange(arDisabled);
    S.SetMinimum(Min);
    S.SetMaximum(Max);
    return S;
  }
  void Paint() {
    Canvas.Clear();
    Chart.Draw(Canvas, Pane, 1, 1, true);
  }
  std::vector<const TCanvasRecord*> Ops(TCanvasOp Op) const {
    std::vector<const TCanvasRecord*> Out;
    for (const TCanvasRecord& R : Canvas.Records())
      if (R.Op == Op) Out.push_back(&R);
    return Out;
  }
  // Shapes filled in one colour (brush solid), in painting order.
  std::vector<const TCanvasRecord*> Filled(TCanvasOp Op, TColor Color) const {
    std::vector<const TCanvasRecord*> Out;
    for (const TCanvasRecord& R : Canvas.Records())
      if (R.Op == Op && R.Brush.Style() != bsClear && R.Brush.Color() == Color) Out.push_back(&R);
    return Out;
  }
  // Lines drawn with a pen of one colour, as (from, to).
  std::vector<std::pair<TPoint, TPoint>> Lines(TColor Color) const {
    std::vector<std::pair<TPoint, TPoint>> Out;
    for (const TCanvasRecord& R : Canvas.Records())
      if (R.Op == coLineTo && R.Pen.Color == Color && R.Pen.Style != psClear) Out.push_back({R.Points[0], R.Points[1]});
    return Out;
  }
  const TCanvasRecord* Text(const String& T) const {
    for (const TCanvasRecord& R : Canvas.Records())
      if ((R.Op == coTextOut || R.Op == coDrawText) && R.Text == T) return &R;
    return nullptr;
  }
  std::vector<String> Texts() const { return Canvas.Texts(); }
  // The clip region in force when Record was painted (empty: none).
  TChartRegion ClipAt(const TCanvasRecord* Record) const {
    TChartRegion Clip;
    for (const TCanvasRecord& R : Canvas.Records()) {
      if (&R == Record) break;
      if (R.Op == coSetClip) Clip = R.Region;
      if (R.Op == coClearClip) Clip = TChartRegion();
    }
    return Clip;
  }
};
