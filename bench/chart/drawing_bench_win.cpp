// Windows: one scene of 10,000 shapes (rectangles, ellipses, rounded
// rectangles, triangles and lines, each filled and outlined, every fifth
// one with a gradient) drawn by the drawing facade on a 1000 x 800 bitmap,
// once through the canvas (GDI) back end and once through the GDI+ back
// end, the latter with and without anti-aliasing; and a 10,000-character
// marked-up text laid out and painted through each back end. Google Benchmark is not built for this toolchain,
// so the program times itself: each figure is the mean over repetitions
// lasting at least a second, after a warm-up. Run by hand (under Wine:
// tools/wine-run.sh drawing_bench.exe); the pictures are saved beside it.
#include "rtl/Win32.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench/common/SelfTiming.h"
#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "vcl/Graphics.h"

namespace {

double Measure(const std::function<void()>& Work) { return bench_timing::MeanSecondsPerCall(Work, 1, 1.0, 3) * 1e3; }

constexpr Integer kWidth = 1000, kHeight = 800;
// The number of shapes; the first argument may give another.
Integer kShapes = 10000;

void Shapes(TVivIzudeGraphics& G) {
  for (Integer I = 0; I < kShapes; ++I) {
    const float X = static_cast<float>((I * 37) % (kWidth - 24)), Y = static_cast<float>((I * 53) % (kHeight - 24));
    TVivIzudeGraphicsFill& F = *G.Fill();
    F.BeginUpdate();
    F.SetKind(I % 5 == 0 ? gfkGradient : gfkSolid);
    const unsigned U = static_cast<unsigned>(I);
    F.SetColor(static_cast<TColor>((U * 0x1F3D5Bu) & 0xFFFFFFu));
    F.SetColorTo(static_cast<TColor>((U * 0x5B3D1Fu) & 0xFFFFFFu));
    F.EndUpdate();
    G.Stroke()->SetColor(static_cast<TColor>((U * 0x0A0B0Cu) & 0x7F7F7Fu));
    switch (I % 5) {
      case 0:
      case 1:
        G.DrawRectangle(X, Y, X + 22, Y + 16);
        break;
      case 2:
        G.DrawEllipse(X, Y, X + 22, Y + 16);
        break;
      case 3:
        G.DrawRoundRectangle(TRectF{X, Y, X + 22, Y + 16}, 4);
        break;
      default:
        G.DrawPolygon({{X, Y + 16}, {X + 11, Y}, {X + 22, Y + 16}});
        G.DrawLine(TPointF{X, Y + 20}, TPointF{X + 22, Y + 20});
    }
  }
}

// About 10,000 characters of markup: paragraphs of bold, italic, coloured
// and linked words with line breaks.
String MarkupText() {
  String T;
  for (Integer I = 0; T.size() < 10000; ++I)
    T += u"Folder <b>" + String(1, static_cast<Char>(u'A' + I % 26)) + u"</b> holds <i>" +
         String(1, static_cast<Char>(u'0' + I % 10)) +
         u" MiB</i> in <font color=\"#C04000\">files</font>, "
         u"<a href=\"f" +
         String(1, static_cast<Char>(u'0' + I % 10)) + u"\">open</a>" + (I % 6 == 5 ? u"<br>" : u" ");
  return T;
}

// Mean milliseconds of one scene drawn by Scene on a fresh bitmap facade;
// the last picture is saved as drawing-<Name>.png.
double Scene(bool ANative, bool AAntiAliasing, const std::function<void(TVivIzudeGraphics&)>& Draw, const char* Name) {
  std::unique_ptr<TVivIzudeGraphics> Last;
  const double Ms = Measure([&] {
    auto G = TVivIzudeGraphics::CreateBitmapCanvas(kWidth, kHeight, ANative);
    G->BeginScene();
    G->Context()->SetAntiAliasing(AAntiAliasing);
    Draw(*G);
    G->EndScene();
    G->Context()->Render();
    Last = std::move(G);
  });
  const std::string File = std::string("drawing-") + Name + ".png";
  SaveBitmapToImage(Last->Bitmap()->Handle(), String(File.begin(), File.end()), itPNG, 100);
  return Ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) kShapes = std::atoi(argv[1]);
  std::printf("%-52s %10s\n", "one scene on 1000 x 800", "ms/scene");
  std::printf("%-52s %10.1f\n", "10,000 shapes, canvas (GDI) back end", Scene(false, false, Shapes, "shapes-canvas"));
  std::printf("%-52s %10.1f\n", "10,000 shapes, GDI+ back end", Scene(true, false, Shapes, "shapes-gdiplus"));
  std::printf("%-52s %10.1f\n", "10,000 shapes, GDI+ back end, anti-aliased",
              Scene(true, true, Shapes, "shapes-gdiplus-aa"));
  const String Text = MarkupText();
  const auto Markup = [&](TVivIzudeGraphics& G) {
    G.DrawText(TRectF{10, 10, kWidth - 10.0f, kHeight - 10.0f}, Text, true, gtaLeading, gtaLeading);
  };
  std::printf("%-52s %10.1f\n", "10,000-character markup text, canvas back end",
              Scene(false, false, Markup, "markup-canvas"));
  std::printf("%-52s %10.1f\n", "10,000-character markup text, GDI+ back end",
              Scene(true, true, Markup, "markup-gdiplus"));
  std::fflush(stdout);
  return 0;
}
