#pragma once
// The canvas painting of a serie: the painting frame with the draw points,
// every chart type (lines, areas, digital lines, bars, gantt bars, candles,
// OHLC, error bars, arrows, bubbles, the pie family), the pie legend,
// markers, value texts, annotations, the pie grid and the axis labels.
//
// A view that paints some pieces its own way (GDI+ slices, legend box,
// markers) derives from TChartSeriePainter and overrides those operations;
// the pie branch (angles, radii, colours, order) stays this class's and
// calls the overridden pieces. Every operation takes the serie first; the
// serie keeps the painting results (draw points, slice and funnel records)
// that hit tests and overrides read.
//
// A view's painter reaches its own drawing surface through the canvas it
// hands the chart (its own TChartCanvas subclass over a device context), and
// its own serie settings through the serie class its series collection
// creates; the pie branch needs neither.
#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"

class TChartSeriePainter : public IChartSeriePainter {
public:
  // ----- the frame
  void Init(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  virtual void InitializeDrawPoints(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawSerie(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  virtual void DrawChartPattern(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);

  // ----- pie family
  virtual void DrawPieBranch(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  // One slice; Start and Sweep without the pie's start offset.
  virtual void DrawPieSlice(TChartSerie& Serie, TChartCanvas& Canvas, TPoint Center, Integer Radius, Integer CX,
                            Integer CY, Integer Indent, double Start, double Sweep, Integer Index, double ScaleX,
                            double ScaleY);
  virtual void DrawSliceValue(TChartSerie& Serie, TChartCanvas& Canvas, Integer Indent, TPoint Center, double Radius,
                              double Start, double Sweep, Integer Index, double ScaleX, double ScaleY);
  virtual void DrawSpider(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY,
                          const TPointArray& Points);
  virtual void DrawFunnelSlice(TChartSerie& Serie, TChartCanvas& Canvas, const TPointArray& Points, double ScaleX,
                               double ScaleY, Integer Index);
  virtual void DrawFunnelValue(TChartSerie& Serie, TChartCanvas& Canvas, const TPointArray& Points, double ScaleX,
                               double ScaleY, Integer Index);
  void DrawSelectedMark(TChartSerie& Serie, TChartCanvas& Canvas, TRect R) override;
  void DrawSelectedSlice(TChartSerie& Serie, TChartCanvas& Canvas, const TSlicePoint& Slice) override;
  void DrawSelectedFunnel(TChartSerie& Serie, TChartCanvas& Canvas, const TFunnelPoint& Part) override;

  // ----- pie legend
  TRect DrawPieLegend(TChartSerie& Serie, TChartCanvas& Canvas, bool Draw, double ScaleX, double ScaleY,
                      bool& Measured) override;
  virtual void DrawPieLegendBox(TChartSerie& Serie, TChartCanvas& Canvas, Integer X, Integer Y, Integer HalfWidth,
                                Integer HalfHeight, double ScaleX, double ScaleY);
  // The text of legend entry Index as the box writes it.
  String PieLegendText(const TChartSerie& Serie, Integer Index) const;
  // The pie legend box's spacing: above the first entry, after each entry
  // and so below the last one.
  static constexpr Integer PieLegendSpacing = 5;
  // The box's height for entries whose heights plus one spacing each add
  // up to EntriesHeight: the spacing above the first entry comes on top,
  // so the last entry keeps the same margin below it as the first above.
  static Integer PieLegendBoxHeight(double EntriesHeight, double ScaleY) {
    return RoundI((EntriesHeight + PieLegendSpacing) * ScaleY);
  }
  // Whether a slice of Sweep degrees is the whole circle: it is drawn as a
  // circle (or a ring) without the edge of a wedge.
  static bool IsFullCircleSweep(double Sweep) { return std::abs(Sweep) >= 360; }

  // ----- markers, value texts, annotations
  void DrawMarkers(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  virtual void DoMarkerDrawValue(TChartSerie& Serie, TChartMarker& Marker, TChartCanvas& Canvas,
                                 const TChartPoint& Point, Integer Index, Integer Y, Integer X);
  void DrawChartValues(TChartSerie& Serie, TChartCanvas& Canvas, double ScaleX, double ScaleY) override;
  void DrawAnnotations(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  // The date label of point Index at X under the x axis (for date units):
  // labels never overlap, and after the first only a change of the part one
  // level above the unit (month for days, year for months, day for hours
  // and minutes) is labelled.
  virtual void DrawXDateValue(TChartSerie& Serie, const String& Format, Integer Index, Integer X, TRect R,
                              TChartCanvas& Canvas);

  // ----- pie grid
  void DrawPieGrid(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY,
                   TPoint Center) override;
  virtual void DrawPieGridValues(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY,
                                 TPoint Center);
  virtual void DrawPieGridLines(TChartSerie& Serie, TChartCanvas& Canvas, TPoint Center, double ScaleX, double ScaleY,
                                double Scale, double MinorStep, double MajorStep, const TChartYGrid& Grid, TRect R);
  virtual void DrawPieGridTexts(TChartSerie& Serie, TChartCanvas& Canvas, TPoint Center, double ScaleX, double ScaleY,
                                double Scale, double MinorStep, double MajorStep, const TChartSerieYAxis& YAxis,
                                TRect R);
  virtual void DrawPieGridCircle(TChartSerie& Serie, TChartCanvas& Canvas, const TChartYGrid& Grid, bool Major,
                                 Integer Radius, TPoint Center);
  virtual void DrawPieGridLine(TChartSerie& Serie, TChartCanvas& Canvas, const TChartYGrid& Grid, Integer Y, Integer X,
                               TPoint Center);
  virtual void DrawPieGridLineValue(TChartSerie& Serie, TChartCanvas& Canvas, const TChartYGrid& Grid, Integer Y,
                                    Integer X, TPoint Center, double Sweep, double Start, Integer LineIndex);
  virtual void DrawPieGridValue(TChartSerie& Serie, TChartCanvas& Canvas, const TChartSerieYAxis& YAxis, bool Major,
                                const String& Text, TPoint At);

  // ----- lines, areas and digital lines (ChartLinePainting.cpp)
  virtual void DrawLine(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  virtual void DrawArea(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  virtual void DrawDigitalLine(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  // The 3D side faces of an area outline (Count points of Outline); the
  // lower edge is the previous serie's outline for the stacked types.
  virtual void DrawLineSegments(TChartSerie& Serie, TChartCanvas& Canvas, double ScaleX, double ScaleY,
                                const TChartSerie* PreviousSerie, Integer PreviousIndex, const TPointArray& Outline,
                                Integer Count);

  // ----- bars and gantt bars (ChartBarPainting.cpp)
  // Lays the bars of all bar series out side by side or stacked and paints
  // this serie's.
  virtual void DrawBars(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawBar(TChartSerie& Serie, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R, double ScaleX,
               double ScaleY, Integer Index, double Value) override;
  void DrawBar3D(TChartSerie& Serie, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R, double ScaleX,
                 double ScaleY) override;
  // The value text of a bar (none for a box plot): the x value or the
  // event's text, along a vertical bar or across a horizontal one.
  virtual void DrawBarText(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, Integer Index, double Value);
  virtual void DrawPyramidBar(TChartSerie& Serie, TChartCanvas& Canvas, TColor Color, Integer Index, double ScaleX,
                              double ScaleY, TRect R);
  virtual void DrawGantt(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  virtual void DrawGanttBar(TChartSerie& Serie, TChartCanvas& Canvas, const TChartPoint& Point, TRect R);
  virtual void DrawGanttPoint(TChartSerie& Serie, TChartCanvas& Canvas, const TChartPoint& Point, double ScaleX,
                              double ScaleY, TRect R);

  // ----- financial, error, arrow and bubble types (ChartFinancialPainting.cpp)
  virtual void DrawCandles(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  virtual void DrawOHLC(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  virtual void DrawErrors(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  virtual void DrawArrows(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  virtual void DrawBubbles(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);

  // ----- axis labels (ChartAxisLabelPainting.cpp)
  // The x labels of one side: R is that side's band, Anchor the coordinate
  // of the axis line.
  void DrawXValues(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, Integer Anchor, bool Top, double ScaleX,
                   double ScaleY) override;
  // The labels and ticks of one index; DefaultDraw is the event's answer.
  virtual void XaxisDrawValue(TChartSerie& Serie, TChartCanvas& Canvas, TRect ARect, Integer XAxisY, Integer ValueIndex,
                              Integer XMarker, bool Top, double ScaleX, double ScaleY, bool DrawCustomValues,
                              bool& DefaultDraw);
  virtual void DrawXAxisTick(TChartSerie& Serie, TChartCanvas& Canvas, bool Top, TRect R, double ScaleX, double ScaleY);
  virtual void DrawXAxisGroups(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, bool Top);
  // The y labels, ticks and captions of a serie (R is the series area);
  // the pie-grid values for the polar types.
  void DrawYValues(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;

  // ----- pens and brushes
  static void SetBorderPen(const TChartSerie& Serie, TChartCanvas& Canvas, double ScaleX);
  static void SetLinePen(const TChartSerie& Serie, TChartCanvas& Canvas, double ScaleX);
  static void SetWickPen(const TChartSerie& Serie, TChartCanvas& Canvas, double ScaleX);
  static void SetSerieBrush(const TChartSerie& Serie, TChartCanvas& Canvas);
  static void SetPieLegendBorderPen(const TChartSerie& Serie, TChartCanvas& Canvas, double ScaleX);
  static void SetPieLegendBrush(const TChartSerie& Serie, TChartCanvas& Canvas);
  // The fill of point Index of a pie-like serie: its own colour, else the
  // serie's colour shaded by (Index + 1) / Count; clNone for no fill.
  static TColor SliceColor(const TChartSerie& Serie, const TChartPoint& Point, Integer Index, Integer Count);

  // ----- shapes the canvas and the GDI+ painters both draw
  // The corners of a digital line's steps through the draw points, from
  // the zero line and back to it; each holds the index of its point (of
  // the serie for the XY type, of the draw points otherwise). Empty when
  // the serie has no chart or fewer than two draw points.
  static std::vector<TDigitalLinePoint> DigitalLineCorners(const TChartSerie& Serie, TRect R);
  static bool DigitalCornerDefined(const TChartSerie& Serie, const TDigitalLinePoint& Corner);
  // The outline of an area serie within R: its draw points, or for a
  // stacked serie its draw points raised onto the previous serie's outline
  // and then back along that outline. Previous is that serie (nullptr when
  // not stacked); PreviousIndex is the index of the previous serie of the
  // type and group, stacked or not. Empty when the serie has no chart.
  struct TAreaOutline {
    TPointArray Points;
    const TChartSerie* Previous = nullptr;
    Integer PreviousIndex = -1;
  };
  static TAreaOutline AreaOutline(const TChartSerie& Serie, TRect R);
  // The number of an area's draw points that stand for values (its last
  // two close it on the zero line); all of them for the other types.
  static size_t AreaValueCount(const TChartSerie& Serie);
  // Runs of consecutive defined points among the first Count points of
  // Outline, each closed down to the zero line Zero and back to its first
  // point.
  static std::vector<TPointArray> DefinedRuns(const TChartSerie& Serie, const TPointArray& Outline, size_t Count,
                                              Integer Zero, bool Horizontal);
  // The end of an arrow starting at draw point A of point P.
  static TPoint ArrowEnd(const TChartSerie& Serie, const TChartPoint& P, TPoint A, TRect R, double ScaleX,
                         double ScaleY);
  // The bounding box of a bubble at draw point A of point P.
  static TRect BubbleBox(const TChartSerie& Serie, const TChartPoint& P, TPoint A, TRect R, double ScaleX,
                         double ScaleY);
  // The faces of bar Index of a pyramid serie within R: the front
  // (bottom left, bottom right, top right, top left) and the 3D side face
  // along its right edge. False when there is nothing to draw.
  struct TPyramidFaces {
    TPoint Front[4];
    TPoint Side[4];
  };
  static bool PyramidFaces(const TChartSerie& Serie, TRect R, Integer Index, TPyramidFaces& Faces);

private:
  // The gaps between the axis and the x labels, the same for every index of
  // one side: worked out once per DrawXValues (they measure the series
  // before this one, which would be costly per index).
  struct TXLabelGaps {
    Integer MajorTop = 0, MinorTop = 0, MajorBottom = 0, MinorBottom = 0;
  };
  TXLabelGaps XLabelGaps(const TChartSerie& Serie, double ScaleY) const;
  const TXLabelGaps* FXGaps = nullptr;  // set while DrawXValues runs
};

// Gives a chart the canvas painter.
void InstallCanvasPainter(TVivIzude& Chart);
