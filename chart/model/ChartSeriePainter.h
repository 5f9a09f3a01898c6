#pragma once
// How the model reaches the per-type painting of a serie. The model lays a
// chart out and runs its painting order; every drawing of a serie's own
// pieces goes through the painter the chart holds (the canvas painter of
// chart/paint, or a view's subclass of it that replaces slices, value texts,
// legends and markers). A chart without a painter paints no series.
#include "chart/model/ChartGraphics.h"
#include "chart/model/ChartTypes.h"

class TChartSerie;

class IChartSeriePainter {
public:
  virtual ~IChartSeriePainter() = default;
  // Recomputes the draw points when the rectangle's right or bottom edge
  // moved or the serie asks for it.
  virtual void Init(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) = 0;
  virtual void DrawSerie(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) = 0;
  virtual void DrawMarkers(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) = 0;
  virtual void DrawAnnotations(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) = 0;
  virtual void DrawChartValues(TChartSerie& Serie, TChartCanvas& Canvas, double ScaleX, double ScaleY) = 0;
  // The pie legend box; Measured is false when the serie has none (hidden,
  // not pie-like, no points), and the result must then not be used.
  virtual TRect DrawPieLegend(TChartSerie& Serie, TChartCanvas& Canvas, bool Draw, double ScaleX, double ScaleY,
                              bool& Measured) = 0;
  virtual void DrawBar3D(TChartSerie& Serie, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R, double ScaleX,
                         double ScaleY) = 0;
  virtual void DrawBar(TChartSerie& Serie, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R, double ScaleX,
                       double ScaleY, Integer Index, double Value) = 0;
  virtual void DrawSelectedMark(TChartSerie& Serie, TChartCanvas& Canvas, TRect R) = 0;
  virtual void DrawSelectedSlice(TChartSerie& Serie, TChartCanvas& Canvas, const TSlicePoint& Slice) = 0;
  virtual void DrawSelectedFunnel(TChartSerie& Serie, TChartCanvas& Canvas, const TFunnelPoint& Part) = 0;
  virtual void DrawXValues(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, Integer Anchor, bool Top, double ScaleX,
                           double ScaleY) = 0;
  virtual void DrawYValues(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) = 0;
  // The polar grid of the y grid for the spider, sized and variable-radius
  // types, in the square R around Center.
  virtual void DrawPieGrid(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY,
                           TPoint Center) = 0;
};
