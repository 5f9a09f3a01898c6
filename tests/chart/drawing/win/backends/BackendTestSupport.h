#pragma once
// What the back-end tests share: a scene drawn by the facade on a bitmap
// through one back end, the pictures saved for people to look at, and the
// comparison of two pictures pixel by pixel.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "vcl/Graphics.h"

namespace backendtest {

using TScene = std::function<void(TVivIzudeGraphics&)>;

inline const char* BackEndName(bool ANative) { return ANative ? "gdiplus" : "canvas"; }

// The scene drawn on a white W x H bitmap by a bitmap facade of the back
// end, between BeginScene and EndScene; a copy of the finished picture.
inline std::unique_ptr<TBitmap> Render(bool ANative, Integer W, Integer H, const TScene& AScene) {
  auto G = TVivIzudeGraphics::CreateBitmapCanvas(W, H, ANative);
  G->BeginScene();
  AScene(*G);
  G->EndScene();
  G->Context()->Render();
  auto Copy = std::make_unique<TBitmap>(W, H);
  Copy->Canvas()->CopyRect({0, 0, W, H}, G->Bitmap()->Canvas(), {0, 0, W, H});
  return Copy;
}

// The picture as a PNG beside the test program: backend-<Name>.png.
inline void Save(TBitmap& APicture, const std::string& AName) {
  const std::string File = "backend-" + AName + ".png";
  SaveBitmapToImage(APicture.Handle(), String(File.begin(), File.end()), itPNG, 100);
}

// Both pictures side by side (canvas left, GDI+ right), saved as one PNG.
inline void SaveSideBySide(TBitmap& ACanvas, TBitmap& AGdiPlus, const std::string& AName) {
  const Integer W = ACanvas.Width(), H = ACanvas.Height();
  TBitmap Both(2 * W + 10, H);
  Both.Canvas()->Brush()->SetColor(0x808080);
  Both.Canvas()->FillRect({0, 0, 2 * W + 10, H});
  Both.Canvas()->CopyRect({0, 0, W, H}, ACanvas.Canvas(), {0, 0, W, H});
  Both.Canvas()->CopyRect({W + 10, 0, 2 * W + 10, H}, AGdiPlus.Canvas(), {0, 0, W, H});
  Save(Both, AName);
}

inline Integer ChannelDistance(TColor A, TColor B) {
  Integer D = 0;
  for (int Shift = 0; Shift <= 16; Shift += 8)
    D = std::max(D, std::abs(static_cast<Integer>((A >> Shift) & 0xFF) - static_cast<Integer>((B >> Shift) & 0xFF)));
  return D;
}

// How many pixels of R differ between the pictures by more than
// AChannelTolerance in some colour channel.
inline Integer DifferingPixels(TBitmap& A, TBitmap& B, const TRect& R, Integer AChannelTolerance) {
  Integer N = 0;
  for (Integer Y = R.Top; Y < R.Bottom; ++Y)
    for (Integer X = R.Left; X < R.Right; ++X)
      if (ChannelDistance(A.Canvas()->Pixel(X, Y), B.Canvas()->Pixel(X, Y)) > AChannelTolerance) ++N;
  return N;
}

// How many pixels of R are not white.
inline Integer InkedPixels(TBitmap& A, const TRect& R) {
  Integer N = 0;
  for (Integer Y = R.Top; Y < R.Bottom; ++Y)
    for (Integer X = R.Left; X < R.Right; ++X)
      if (A.Canvas()->Pixel(X, Y) != 0xFFFFFF) ++N;
  return N;
}

// Luminance of a colour, 0 to 255.
inline Integer Luminance(TColor C) {
  return (299 * static_cast<Integer>(C & 0xFF) + 587 * static_cast<Integer>((C >> 8) & 0xFF) +
          114 * static_cast<Integer>((C >> 16) & 0xFF)) /
         1000;
}

// The lines of ink of R, top down: maximal runs of rows that hold a pixel
// darker than ALuminance, each with the bounding box of those pixels.
inline std::vector<TRect> InkLines(TBitmap& A, const TRect& R, Integer ALuminance) {
  std::vector<TRect> Lines;
  bool Open = false;
  for (Integer Y = R.Top; Y < R.Bottom; ++Y) {
    Integer Left = R.Right, Right = R.Left;
    for (Integer X = R.Left; X < R.Right; ++X)
      if (Luminance(A.Canvas()->Pixel(X, Y)) < ALuminance) {
        Left = std::min(Left, X);
        Right = std::max(Right, X + 1);
      }
    if (Left >= Right) {
      Open = false;
      continue;
    }
    if (!Open) Lines.push_back({Left, Y, Right, Y + 1});
    Open = true;
    TRect& L = Lines.back();
    L.Left = std::min(L.Left, Left);
    L.Right = std::max(L.Right, Right);
    L.Bottom = Y + 1;
  }
  return Lines;
}

inline void SolidFill(TVivIzudeGraphics& G, TColor AColor) {
  G.Fill()->BeginUpdate();
  G.Fill()->SetKind(gfkSolid);
  G.Fill()->SetColor(AColor);
  G.Fill()->EndUpdate();
}

inline void SolidStroke(TVivIzudeGraphics& G, TColor AColor, float AWidth = 1) {
  G.Stroke()->BeginUpdate();
  G.Stroke()->SetKind(gskSolid);
  G.Stroke()->SetColor(AColor);
  G.Stroke()->SetWidth(AWidth);
  G.Stroke()->EndUpdate();
}

}  // namespace backendtest
