// Layout and painting of a chart, recorded without a display: a 100,000-point
// line chart, stacked areas and side-by-side bars, and the folder pie of the
// main window.
#include <benchmark/benchmark.h>

#include <cmath>

#include "chart/model/ChartRecordingCanvas.h"
#include "chart/paint/ChartSeriePainting.h"

namespace {
void FillLine(TVivIzude& Chart, Integer Points) {
  TChartSerie& S = Chart.Series().Add();
  for (Integer I = 0; I < Points; ++I) S.AddSinglePoint(std::sin(I / 500.0) * 100 + I % 7);
  Chart.Range().SetRangeTo(Points - 1);
}
}  // namespace

// One paint: layout (value ranges, scales, draw points) and the recorded
// painting order with every segment of the line.
static void BM_LineChartLayoutAndPaint(benchmark::State& State) {
  TFixedTextMeasurer Measurer;
  TVivIzude Chart;
  Chart.SetTextMeasurer(&Measurer);
  InstallCanvasPainter(Chart);
  Integer Points = static_cast<Integer>(State.range(0));
  FillLine(Chart, Points);
  TRecordingCanvas Canvas(Measurer);
  size_t Records = 0;
  for (auto _ : State) {
    Canvas.Clear();
    Chart.Draw(Canvas, {0, 0, 1600, 900}, 1, 1, true);
    Records = Canvas.Records().size();
    benchmark::DoNotOptimize(Records);
  }
  State.counters["records"] = static_cast<double>(Records);
  State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_LineChartLayoutAndPaint)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same without recording: layout and painting logic alone.
static void BM_LineChartLayoutOnly(benchmark::State& State) {
  TFixedTextMeasurer Measurer;
  TVivIzude Chart;
  Chart.SetTextMeasurer(&Measurer);
  InstallCanvasPainter(Chart);
  FillLine(Chart, static_cast<Integer>(State.range(0)));
  TRecordingCanvas Canvas(Measurer);
  Canvas.SetRecording(false);
  for (auto _ : State) Chart.Draw(Canvas, {0, 0, 1600, 900}, 1, 1, true);
  State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_LineChartLayoutOnly)->Arg(100000)->Unit(benchmark::kMillisecond);

// Three stacked areas of Points points each: outlines lifted on the series
// below, clipped fills and borders, with the axis labels of each serie.
static void BM_StackedAreas(benchmark::State& State) {
  TFixedTextMeasurer Measurer;
  TVivIzude Chart;
  Chart.SetTextMeasurer(&Measurer);
  InstallCanvasPainter(Chart);
  Chart.GetPaneRectangle = [](TVivIzude*, TRect& R) { R = {0, 0, 1600, 900}; };
  Integer Points = static_cast<Integer>(State.range(0));
  for (int K = 0; K < 3; ++K) {
    TChartSerie& S = Chart.Series().Add();
    S.SetChartType(ctStackedArea);
    S.SetAutoRange(arCommon);
    for (Integer I = 0; I < Points; ++I) S.AddSinglePoint(10 + K + std::sin(I / 300.0 + K) * 5);
  }
  Chart.Range().SetRangeTo(Points - 1);
  TRecordingCanvas Canvas(Measurer);
  for (auto _ : State) {
    Canvas.Clear();
    Chart.Draw(Canvas, {0, 0, 1600, 900}, 1, 1, true);
  }
  State.counters["records"] = static_cast<double>(Canvas.Records().size());
  State.SetItemsProcessed(State.iterations() * Points * 3);
}
BENCHMARK(BM_StackedAreas)->Arg(100000)->Unit(benchmark::kMillisecond);

// Two bar series side by side, each bar a rounded rectangle with its value
// text, on labelled axes.
static void BM_Bars(benchmark::State& State) {
  TFixedTextMeasurer Measurer;
  TVivIzude Chart;
  Chart.SetTextMeasurer(&Measurer);
  InstallCanvasPainter(Chart);
  Chart.GetPaneRectangle = [](TVivIzude*, TRect& R) { R = {0, 0, 1600, 900}; };
  Integer Points = static_cast<Integer>(State.range(0));
  for (int K = 0; K < 2; ++K) {
    TChartSerie& S = Chart.Series().Add();
    S.SetChartType(ctBar);
    S.SetBarValueTextType(btXAxisValue);
    for (Integer I = 0; I < Points; ++I) S.AddSinglePoint(50 + 40 * std::sin(I / 10.0 + K), String(u"b"));
  }
  Chart.Range().SetRangeTo(Points - 1);
  TRecordingCanvas Canvas(Measurer);
  for (auto _ : State) {
    Canvas.Clear();
    Chart.Draw(Canvas, {0, 0, 1600, 900}, 1, 1, true);
  }
  State.counters["records"] = static_cast<double>(Canvas.Records().size());
  State.SetItemsProcessed(State.iterations() * Points * 2);
}
BENCHMARK(BM_Bars)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_FolderPie(benchmark::State& State) {
  TFixedTextMeasurer Measurer;
  TVivIzude Chart;
  Chart.SetTextMeasurer(&Measurer);
  InstallCanvasPainter(Chart);
  TChartSerie& S = Chart.Series().Add();
  S.SetChartType(ctPie);
  S.SetValueType(cvPercentage);
  S.SetValueFormat(u"%.2n");
  S.Pie().SetShowValues(true);
  for (Integer I = 0; I < 14; ++I) S.AddPiePoints(14 - I, u"Folder", clNone, clNone, 0, true);
  TRecordingCanvas Canvas(Measurer);
  for (auto _ : State) {
    Canvas.Clear();
    Chart.Draw(Canvas, {0, 0, 420, 460}, 1, 1, true);
  }
}
BENCHMARK(BM_FolderPie)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
