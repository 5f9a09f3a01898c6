// Windows: painting a 100,000-point line chart in the GDI+ chart view, as
// its paint message does (layout, draw points, every segment, axes, grid),
// all points in view and a zoomed range of 1,000; then the same chart
// through the canvas painters for comparison, and a crosshair move over it.
// Google Benchmark is not built for this toolchain here, so the program
// times itself: each figure is the mean over repetitions lasting at least
// a second, after a warm-up. Run by hand (under Wine: tools/wine-run.sh
// chart_paint_bench.exe).
#include "rtl/Win32.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "bench/common/SelfTiming.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "vcl/Forms.h"

namespace {

// Mean milliseconds per call of Work.
double Measure(const std::function<void()>& Work) { return bench_timing::MeanSecondsPerCall(Work, 2, 1.0, 5) * 1e3; }

constexpr Integer kPoints = 100000;

TVivGDIPChartView* LineView(TForm* Form) {
  auto* View = new TVivGDIPChartView(Form);
  View->SetColor(clWhite);
  View->SetParent(Form);
  View->SetAlign(alClient);
  TVivGDIPChartPane& P = *View->Panes().Add();
  P.XGrid().SetVisible(true);
  P.CrossHair().SetVisible(true);
  TVivGDIPChartSerie& S = P.Series().Add();
  S.SetChartType(ctLine);
  S.SetLineColor(clBlue);
  S.SetLineWidth(2);
  for (Integer I = 0; I < kPoints; ++I) S.AddSinglePoint(std::sin(I / 500.0) * 100 + I % 7);
  P.Range().SetRangeTo(kPoints - 1);
  return View;
}

}  // namespace

int main() {
  Application->Initialize();
  TForm* Form = TCustomForm::Create<TForm>(Application);
  Form->SetClientSize(1000, 600);
  TVivGDIPChartView* View = LineView(Form);
  Form->Show();
  Application->ProcessMessages();
  TVivGDIPChartPane& P = *View->Panes().Items(0);
  TBitmap Target(View->ClientWidth(), View->ClientHeight());
  auto Paint = [&] {
    P.Series().ForceInit(true);
    View->PaintToBitmap(Target);
  };
  std::printf("%-44s %10s\n", "100,000-point line chart, 1000 x 600", "ms/paint");
  std::printf("%-44s %10.1f\n", "GDI+ view, all points in view", Measure(Paint));
  // The picture measured, for a person to look at.
  SaveBitmapToImage(Target.Handle(), u"line-100000.png", itPNG, 100);
  P.Range().SetRangeFrom(50000);
  P.Range().SetRangeTo(50999);
  std::printf("%-44s %10.1f\n", "GDI+ view, 1,000 points in view", Measure(Paint));
  P.Range().SetRangeFrom(0);
  P.Range().SetRangeTo(kPoints - 1);
  const TRect SR = P.SeriesRect();
  Integer X = SR.Left + 1;
  std::printf("%-44s %10.1f\n", "crosshair move and repaint", Measure([&] {
                SendMessageW(View->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, SR.Top + SR.Height() / 2));
                X = X + 7 < SR.Right ? X + 7 : SR.Left + 1;
                UpdateWindow(View->Handle());
              }));
  P.Series()[0].SetLineColor(clNone);
  std::printf("%-44s %10.1f\n", "GDI+ view, the line not stroked", Measure(Paint));
  P.Series()[0].SetLineColor(clBlue);
  {
    TMeasuringCanvas Nothing(TGdiTextMeasurer::Screen());
    std::printf("%-44s %10.1f\n", "layout and painting on no surface", Measure([&] {
                  P.Series().ForceInit(true);
                  P.Chart().Draw(Nothing, P.Rectangle(), 1, 1, true);
                }));
  }
  // The same chart through the canvas painters (GDI pens, no anti-aliasing).
  InstallCanvasPainter(P.Chart());
  std::printf("%-44s %10.1f\n", "canvas painters, all points in view", Measure(Paint));
  std::fflush(stdout);
  delete Form;
  Application->ProcessMessages();
  return 0;
}
