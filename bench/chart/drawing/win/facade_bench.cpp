// The drawing facade's own cost: scenes of 10,000 shapes, texts and
// widgets drawn on a context that only counts the requests (fixed text
// metrics), so that the back ends' cost (measured on their own) is left out.
#include <cmath>
#include <cstdio>
#include <functional>

#include "bench/common/SelfTiming.h"
#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeHTMLEngine.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

namespace {

class TCountingContext : public TVivIzudeGraphicsContext {
public:
  using TVivIzudeGraphicsContext::TVivIzudeGraphicsContext;
  long Requests = 0;
  void* GetNativeCanvas() override { return nullptr; }
  void* CreatePath() override { return nullptr; }
  TColor GetFillColor() override { return 0; }
  TRectF CalculateText(const String& AText, const TRectF& ARect, bool) override {
    ++Requests;
    return {ARect.Left, ARect.Top, ARect.Left + 7.0f * static_cast<float>(AText.size()), ARect.Top + 13};
  }
  TRectF SetTextAngle(const TRectF& ARect, float) override { return ARect; }
  void Render() override {}
  void PathOpen(void*) override {}
  void PathMoveTo(void*, const TPointF&) override {}
  void PathLineTo(void*, const TPointF&) override {}
  void PathClose(void*) override {}
  void ResetClip() override {}
  void ResetTransform() override {}
  void ScaleTransform(float, float) override {}
  void RotateTransform(float) override {}
  void TranslateTransform(float, float) override {}
  void SetTextQuality(TVivIzudeGraphicsTextQuality) override {}
  void SetAntiAliasing(bool) override {}
  void SetShowAcceleratorChar(bool) override {}
  void SetSize(float, float) override {}
  void ResetTextAngle(float) override {}
  void BeginScene() override {}
  void EndScene() override {}
  void StartSpecialPen() override {}
  void StopSpecialPen() override {}
  void RestoreState(TVivIzudeGraphicsSaveState*) override { ++Requests; }
  void SaveState(TVivIzudeGraphicsSaveState*) override { ++Requests; }
  void SetFontSize(Integer) override { ++Requests; }
  void SetFontColor(TColor) override { ++Requests; }
  void SetFontName(const String&) override { ++Requests; }
  void SetFont(TVivIzudeGraphicsFont*) override { ++Requests; }
  void SetFontStyles(TFontStyles) override { ++Requests; }
  void SetFill(TVivIzudeGraphicsFill*) override { ++Requests; }
  void SetFillKind(TVivIzudeGraphicsFillKind) override { ++Requests; }
  void SetFillColor(TColor) override { ++Requests; }
  void SetStroke(TVivIzudeGraphicsStroke*) override { ++Requests; }
  void SetStrokeKind(TVivIzudeGraphicsStrokeKind) override { ++Requests; }
  void SetStrokeColor(TColor) override { ++Requests; }
  void SetStrokeWidth(float) override { ++Requests; }
  void DrawLine(TVivIzudeGraphicsStroke*, const TPointF&, const TPointF&, TVivIzudeGraphicsModifyPointMode,
                TVivIzudeGraphicsModifyPointMode) override {
    ++Requests;
  }
  void DrawPolygon(TVivIzudeGraphicsStroke*, const TVivIzudeGraphicsPathPolygon&) override { ++Requests; }
  void FillPolygon(TVivIzudeGraphicsFill*, const TVivIzudeGraphicsPathPolygon&) override { ++Requests; }
  void DrawPolyline(TVivIzudeGraphicsStroke*, const TVivIzudeGraphicsPathPolygon&) override { ++Requests; }
  void FillPolyline(TVivIzudeGraphicsFill*, const TVivIzudeGraphicsPathPolygon&) override { ++Requests; }
  void FillArc(TVivIzudeGraphicsFill*, const TPointF&, const TPointF&, float, float) override { ++Requests; }
  void DrawArc(TVivIzudeGraphicsStroke*, const TPointF&, const TPointF&, float, float) override { ++Requests; }
  void FillRect(TVivIzudeGraphicsFill*, const TRectF&, TVivIzudeGraphicsModifyRectMode) override { ++Requests; }
  void DrawRect(TVivIzudeGraphicsStroke*, const TRectF&, TVivIzudeGraphicsSides,
                TVivIzudeGraphicsModifyRectMode) override {
    ++Requests;
  }
  void FillRoundRect(TVivIzudeGraphicsFill*, const TRectF&, float, TVivIzudeGraphicsCorners,
                     TVivIzudeGraphicsModifyRectMode) override {
    ++Requests;
  }
  void DrawRoundRect(TVivIzudeGraphicsStroke*, const TRectF&, float, TVivIzudeGraphicsCorners,
                     TVivIzudeGraphicsModifyRectMode) override {
    ++Requests;
  }
  void FillEllipse(TVivIzudeGraphicsFill*, const TRectF&, TVivIzudeGraphicsModifyRectMode) override { ++Requests; }
  void DrawEllipse(TVivIzudeGraphicsStroke*, const TRectF&, TVivIzudeGraphicsModifyRectMode) override { ++Requests; }
  void DrawBitmap(TGraphic*, const TRectF&, const TRectF&, float) override { ++Requests; }
  void ClipRect(const TRectF&) override { ++Requests; }
  void ClipPath(TVivIzudeGraphicsPath*) override { ++Requests; }
  void DrawFocusPath(TVivIzudeGraphicsStroke*, TVivIzudeGraphicsPath*, TColor) override { ++Requests; }
  void DrawFocusRectangle(TVivIzudeGraphicsStroke*, const TRectF&, TColor, TVivIzudeGraphicsModifyRectMode) override {
    ++Requests;
  }
  void DrawText(const String&, const TRectF&, bool, TVivIzudeGraphicsTextAlign, TVivIzudeGraphicsTextAlign,
                TVivIzudeGraphicsTextTrimming, float) override {
    ++Requests;
  }
  void DrawPath(TVivIzudeGraphicsStroke*, TVivIzudeGraphicsPath*, TVivIzudeGraphicsPathDrawMode) override {
    ++Requests;
  }
  void FillPath(TVivIzudeGraphicsFill*, TVivIzudeGraphicsPath*, TVivIzudeGraphicsPathDrawMode) override { ++Requests; }
};

std::unique_ptr<TVivIzudeGraphicsContext> MakeCounting(TVivIzudeGraphics* AGraphics) {
  return std::make_unique<TCountingContext>(AGraphics);
}

constexpr int kShapes = 10000;

// Mean milliseconds per scene.
double Measure(const std::function<void()>& Work) { return bench_timing::MeanSecondsPerCall(Work, 2, 1.0, 5) * 1e3; }

TRectF Cell(int I) {
  const float X = static_cast<float>(I % 100) * 10, Y = static_cast<float>(I / 100) * 10;
  return {X, Y, X + 9, Y + 9};
}

}  // namespace

// Stand-ins for the back ends and the markup engine: the figures are the
// facade's own (no text here holds markup).
TVivIzudeGraphicsContextClass GetGeneralContextClass() { return &MakeCounting; }
TVivIzudeGraphicsContextClass GetNativeContextClass() { return &MakeCounting; }
bool RenderMarkup(TVivIzudeGraphics*, const String&, const TRectF&, Integer, Integer, Integer, Integer, Integer, bool,
                  bool, bool, bool, bool, bool, bool, bool, const String&, double, TColor, TColor, TColor, TColor,
                  String&, String&, String&, float& AXSize, float& AYSize, Integer&, Integer&, TRectF&, TRectF&,
                  String&, String&, String&, Integer& ALineCount, Integer, TVivIzudeBitmapContainer*, bool,
                  TCustomImageList*, TColor, TColor, TFontStyles, bool) {
  AXSize = 0;
  AYSize = 13;
  ALineCount = 1;
  return false;
}
String HighlightMarkup(const String& AText, const String&, const String&, bool) { return AText; }

int main() {
  TVivIzudeGraphics::ContextClassOverride = &MakeCounting;
  TVivIzudeGraphics G(nullptr, false);
  auto& Counter = static_cast<TCountingContext&>(*G.Context());
  auto Scene = [&](const std::function<void(int)>& Draw) {
    return [&, Draw] {
      G.BeginScene();
      for (int I = 0; I < kShapes; ++I) Draw(I);
      G.EndScene();
    };
  };
  TBitmap Tile(16, 16);
  TPicture Texture;
  Texture.SetGraphic(&Tile);

  std::printf("%-48s %10s %10s\n", "10,000 per scene, counting context", "ms/scene", "requests");
  auto Row = [&](const char* Name, const std::function<void(int)>& Draw) {
    Counter.Requests = 0;
    Scene(Draw)();
    const long PerScene = Counter.Requests;
    std::printf("%-48s %10.2f %10ld\n", Name, Measure(Scene(Draw)), PerScene);
  };
  Row("rectangles, solid fill and stroke", [&](int I) { G.DrawRectangle(Cell(I)); });
  Row("mixed: rectangle, ellipse, rounded, line, polygon", [&](int I) {
    const TRectF R = Cell(I);
    switch (I % 5) {
      case 0:
        G.DrawRectangle(R);
        break;
      case 1:
        G.DrawEllipse(R);
        break;
      case 2:
        G.DrawRoundRectangle(R, 3);
        break;
      case 3:
        G.DrawLine(TPointF{R.Left, R.Top}, TPointF{R.Right, R.Bottom});
        break;
      default:
        G.DrawPolygon({{R.Left, R.Top}, {R.Right, R.Top}, {R.Left, R.Bottom}});
        break;
    }
  });
  Row("colour change before each rectangle", [&](int I) {
    G.Fill()->SetColor(static_cast<TColor>(I * 997 & 0xFFFFFF));
    G.DrawRectangle(Cell(I));
  });
  Row("plain texts, centred", [&](int I) { G.DrawText(Cell(I), u"label", false, gtaCenter, gtaCenter); });
  Row("check boxes", [&](int I) { G.DrawCheckBox(Cell(I), I % 2 == 0, false, true); });
  Row("buttons", [&](int I) { G.DrawButton(Cell(I), I % 2 == 0, false, true); });
  Row("progress bars with text", [&](int I) { G.DrawProgressBar(Cell(I), static_cast<float>(I % 101)); });
  G.Fill()->BeginUpdate();
  G.Fill()->SetKind(gfkTexture);
  G.Fill()->SetTexture(&Texture);
  G.Fill()->SetTextureMode(gtmTile);
  G.Fill()->EndUpdate();
  Row("tiled texture rectangles (40 x 40, 9 tiles)", [&](int I) {
    const TRectF R = Cell(I);
    G.DrawRectangle(TRectF{R.Left, R.Top, R.Left + 40, R.Top + 40});
  });
  return 0;
}
