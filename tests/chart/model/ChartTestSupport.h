#pragma once
// A chart with fixed text metrics and English number formatting.
#include "chart/model/ChartRecordingCanvas.h"
#include "chart/model/ChartSeriePainter.h"
#include "chart/model/VivIzude.h"

struct TChartFixture {
  TFixedTextMeasurer Measurer{7, 13};
  TVivIzude Chart;
  TRecordingCanvas Canvas{Measurer};
  Integer Changes = 0;
  TChartFixture() {
    Chart.SetTextMeasurer(&Measurer);
    Chart.SetFormatSettings(TFormatSettings::English());
    Chart.OnChange = [this](TObject*) { ++Changes; };
  }
};

// A serie painter that draws nothing, so that the series passes of the
// painting order run; tests override the parts they watch.
struct TNullSeriePainter : IChartSeriePainter {
  void Init(TChartSerie&, TChartCanvas&, TRect, double, double) override {}
  void DrawSerie(TChartSerie&, TChartCanvas&, TRect, double, double) override {}
  void DrawMarkers(TChartSerie&, TChartCanvas&, TRect, double, double) override {}
  void DrawAnnotations(TChartSerie&, TChartCanvas&, TRect, double, double) override {}
  void DrawChartValues(TChartSerie&, TChartCanvas&, double, double) override {}
  TRect DrawPieLegend(TChartSerie&, TChartCanvas&, bool, double, double, bool& Measured) override {
    Measured = false;
    return {};
  }
  void DrawBar3D(TChartSerie&, TChartCanvas&, TColor, TColor, TRect, double, double) override {}
  void DrawBar(TChartSerie&, TChartCanvas&, TColor, TColor, TRect, double, double, Integer, double) override {}
  void DrawSelectedMark(TChartSerie&, TChartCanvas&, TRect) override {}
  void DrawSelectedSlice(TChartSerie&, TChartCanvas&, const TSlicePoint&) override {}
  void DrawSelectedFunnel(TChartSerie&, TChartCanvas&, const TFunnelPoint&) override {}
  void DrawXValues(TChartSerie&, TChartCanvas&, TRect, Integer, bool, double, double) override {}
  void DrawYValues(TChartSerie&, TChartCanvas&, TRect, double, double) override {}
  void DrawPieGrid(TChartSerie&, TChartCanvas&, TRect, double, double, TPoint) override {}
};
