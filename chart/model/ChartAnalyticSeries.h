#pragma once
// The derived series a pane adds to its chart: straight lines and bands
// between two lines, trailing moving averages, running percentages of the
// total (Pareto), least-squares trend lines and trend channels. Each call
// appends one or two new series to Series, computed once from the source
// serie's values at the same point indices (not linked to it later). The
// view's pane offers them under the same names.
#include "chart/model/ChartSeries.h"

// A line from (StartX, StartValue) to (EndX, EndValue); the indices are
// swapped when EndX < StartX. A line of one index holds StartValue.
void AddLineSerie(TChartSeries& Series, Integer StartX, Integer EndX, double StartValue, double EndValue,
                  bool UseCommonYRange, TColor SerieLineColor, Integer SerieLineWidth);
// A band between the lines (StartX, StartValue1)-(EndX, EndValue1) and
// (StartX, StartValue2)-(EndX, EndValue2), filled in SerieBandColor.
void AddBandSerie(TChartSeries& Series, Integer StartX, Integer EndX, double StartValue1, double StartValue2,
                  double EndValue1, double EndValue2, bool UseCommonYRange, TColor SerieLineColor,
                  Integer SerieLineWidth, TColor SerieBandColor);
// The mean of each Window source values, standing at the last index of its
// window. Raises Exception "Moving average window size must be 1 or higher"
// for a window below 1.
void AddMovingAverage(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, Integer Window,
                      bool UseCommonYRange, TColor SerieLineColor, Integer SerieLineWidth);
// The running percentage of the total of StartX..EndX, in point order.
// Raises Exception "End point should be larger than start point" unless
// StartX < EndX.
void AddParetoLine(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                   TColor SerieLineColor, Integer SerieLineWidth);
// The least-squares line through the source values at StartX..EndX.
void AddTrendLine(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                  TColor SerieLineColor, Integer SerieLineWidth);
// The trend line moved up and down by the standard deviation of the values
// (two line series), or the band between those two lines.
void AddTrendChannel(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                     TColor SerieLineColor, Integer SerieLineWidth);
void AddTrendChannelBand(TChartSeries& Series, Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                         TColor SerieLineColor, Integer SerieLineWidth, TColor SerieBandColor);
