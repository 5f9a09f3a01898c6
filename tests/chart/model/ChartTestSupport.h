#pragma once
// A chart with fixed text metrics and English number formatting.
#include "chart/model/ChartRecordingCanvas.h"
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
