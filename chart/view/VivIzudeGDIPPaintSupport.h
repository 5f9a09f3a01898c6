#pragma once
// What the GDI+ serie painters share: the device context behind a chart
// canvas and a serie's fill settings as the fill record of FillGDIPShape.
#include "chart/view/VivIzudeViewGDIP.h"

namespace gdip_paint {

inline constexpr INT AntiAlias = SmoothingModeAntiAlias;

// The device context behind a chart canvas, nullptr for canvases that have
// none (recording and measuring canvases): the canvas painters run there.
inline HDC CanvasDC(TChartCanvas& Canvas) {
  auto* V = dynamic_cast<TVclChartCanvas*>(&Canvas);
  return V ? V->Handle() : nullptr;
}

inline const TVivGDIPChartSerie* GDIPSerie(const TChartSerie& S) { return dynamic_cast<const TVivGDIPChartSerie*>(&S); }

// The serie's fill settings with the given colours; the outline in the
// serie's border colour and width (none for a clear pen).
inline TGDIPFillParams SerieFill(const TChartSerie& S, TGPGraphics& G, TColor Color, TColor ColorTo) {
  TGDIPFillParams P;
  P.Graphics = &G;
  P.Color = Color;
  P.ColorTo = ColorTo;
  if (const TVivGDIPChartSerie* GS = GDIPSerie(S)) {
    P.GradientType = GS->GradientType();
    P.Opacity = GS->Opacity();
    P.OpacityTo = GS->OpacityTo();
    P.Angle = GS->Angle();
    P.Hatch = GS->Hatch();
    P.Picture = &GS->ChartPattern();
  }
  P.BorderColor = S.PenStyle() == psClear ? clNone : S.BorderColor();
  P.BorderWidth = S.BorderWidth();
  P.BorderStyle = PenStyleToDashStyle(S.PenStyle());
  return P;
}

inline TGPRectF RectF(const TRect& R) { return {REAL(R.Left), REAL(R.Top), REAL(R.Width()), REAL(R.Height())}; }

inline Integer SerieOpacity(const TChartSerie& S) {
  const TVivGDIPChartSerie* GS = GDIPSerie(S);
  return GS ? GS->Opacity() : 255;
}
inline Integer SerieLineOpacity(const TChartSerie& S) {
  const TVivGDIPChartSerie* GS = GDIPSerie(S);
  return GS ? GS->LineOpacity() : 255;
}
inline bool SerieShadow(const TChartSerie& S) {
  const TVivGDIPChartSerie* GS = GDIPSerie(S);
  return GS && GS->Shadow();
}

}  // namespace gdip_paint
