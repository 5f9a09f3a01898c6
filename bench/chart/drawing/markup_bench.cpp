// A 10,000-character marked-up text laid out by the markup engine on fixed
// metrics: measured only, and painted into the recording surface, with and
// without word wrapping.
#include <benchmark/benchmark.h>

#include "chart/drawing/VivIzudeHTMLEngine.h"
#include "chart/drawing/VivIzudeMarkupRecorder.h"

namespace {
// Paragraphs of styled words, links, lists, pictures and controls, cut to
// 10,000 characters at a tag boundary.
String MarkupText() {
  const String Piece =
      u"<P ALIGN=\"LEFT\">Folder <B>sizes</B> on the <FONT COLOR=\"#FF0000\" SIZE=\"3\">server</FONT> are "
      u"<A HREF=\"http://example/\">listed here</A> with <I>totals</I> and <U>counts</U>.<BR>"
      u"<UL><LI>first item<LI TYPE=\"SQUARE\">second item</UL><IMG SRC=\"pic\" WIDTH=\"16\"> "
      u"<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"true\"> done &amp; checked &lt;ok&gt;<HR></P>";
  String T;
  while (T.size() + Piece.size() <= 10000) T += Piece;
  while (T.size() < 10000) T += u'x';
  return T;
}

void Layout(benchmark::State& State, bool AMeasureOnly, bool AWrap) {
  const String Text = MarkupText();
  TVivIzudeMarkupRecorder Surface;
  Surface.AddPicture(u"pic", 32, 32);
  TVivIzudeMarkupOptions O;
  O.MeasureOnly = AMeasureOnly;
  O.WordWrapping = AWrap;
  TVivIzudeMarkupResults R;
  for (auto _ : State) {
    Surface.Clear();
    RenderMarkupOn(Surface, Text, {0, 0, 600, 1e7f}, O, R);
    benchmark::DoNotOptimize(R.YSize);
  }
  State.counters["lines"] = R.LineCount;
  State.counters["records"] = static_cast<double>(Surface.Records().size());
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(Text.size()));
}
}  // namespace

static void BM_MarkupMeasure(benchmark::State& State) { Layout(State, true, false); }
static void BM_MarkupMeasureWrapped(benchmark::State& State) { Layout(State, true, true); }
static void BM_MarkupPaint(benchmark::State& State) { Layout(State, false, false); }
static void BM_MarkupPaintWrapped(benchmark::State& State) { Layout(State, false, true); }
BENCHMARK(BM_MarkupMeasure)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkupMeasureWrapped)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkupPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkupPaintWrapped)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
