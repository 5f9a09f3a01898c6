#include "chart/drawing/VivIzudeGraphics.h"

#include <algorithm>
#include <cmath>

#include "vcl/Graphics.h"

TColor ResolveDrawingColor(TColor AColor) { return ColorToRGB(AColor); }

void DrawGradient(TCanvas& ACanvas, TColor AFromColor, TColor AToColor, bool AHorizontal,
                  TVivIzudeGraphicsCorners ACorners, float ARounding, const TRect& ARect) {
  const Integer Extent = AHorizontal ? ARect.Width() : ARect.Height();
  const Integer N = Extent == 0 ? 1 : Extent;
  const TColor From = ColorToRGB(AFromColor), To = ColorToRGB(AToColor);
  TBrush& Brush = *ACanvas.Brush();
  TPen& Pen = *ACanvas.Pen();
  const TColor SavedBrushColor = Brush.Color(), SavedPenColor = Pen.Color();
  const TBrushStyle SavedBrushStyle = Brush.Style();
  const TPenStyle SavedPenStyle = Pen.Style();
  Pen.SetStyle(psSolid);
  Brush.SetStyle(bsSolid);
  const float R = ARounding;
  const bool StartA = ACorners.Contains(gcTopLeft);
  const bool StartB = AHorizontal ? ACorners.Contains(gcBottomLeft) : ACorners.Contains(gcTopRight);
  const bool FarA = AHorizontal ? ACorners.Contains(gcTopRight) : ACorners.Contains(gcBottomLeft);
  const bool FarB = ACorners.Contains(gcBottomRight);
  const auto Cut = [R](float T) {
    const float Q = R * R - (R - T) * (R - T);
    return static_cast<Integer>(std::nearbyint(R - std::sqrt(Q > 0 ? Q : 0)));
  };
  const auto Delta = [N](int FromC, int ToC, Integer I) {
    const float Step = static_cast<float>(ToC - FromC) / static_cast<float>(N);
    return static_cast<int>(std::nearbyint(static_cast<float>(I) * Step));
  };
  const Integer Thickness = Extent / N;
  for (Integer I = 0; I < N; ++I) {
    TColor C = 0;
    for (int Shift : {0, 8, 16}) {
      const int F = (From >> Shift) & 0xFF, T = (To >> Shift) & 0xFF;
      C |= ((F + Delta(F, T, I)) & 0xFF) << Shift;
    }
    Pen.SetColor(C);
    Brush.SetColor(C);
    const Integer Offset = static_cast<Integer>(std::nearbyint(static_cast<double>(I) * Extent / N));
    Integer CutA = 0, CutB = 0;  // top/left and bottom/right ends of the strip
    if ((StartA || StartB) && I <= R) {
      const Integer V = Cut(static_cast<float>(I));
      if (StartA) CutA = V;
      if (StartB) CutB = V;
    }
    if ((FarA || FarB) && I >= N - R) {
      const Integer V = Cut(R - (R - static_cast<float>(N - I)));
      if (FarA) CutA = std::max(CutA, V);
      if (FarB) CutB = std::max(CutB, V);
    }
    if (AHorizontal) {
      const Integer X1 = ARect.Left + Offset, X2 = std::min(X1 + Thickness, ARect.Right);
      ACanvas.Rectangle(X1, ARect.Top + CutA, X2, ARect.Bottom - CutB);
    } else {
      const Integer Y1 = ARect.Top + Offset, Y2 = std::min(Y1 + Thickness, ARect.Bottom);
      ACanvas.Rectangle(ARect.Left + CutA, Y1, ARect.Right - CutB, Y2);
    }
  }
  Brush.SetColor(SavedBrushColor);
  Brush.SetStyle(SavedBrushStyle);
  Pen.SetColor(SavedPenColor);
  Pen.SetStyle(SavedPenStyle);
}
