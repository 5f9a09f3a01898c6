// The canvas back end's stepped gradient with rounded corners.
#include <gtest/gtest.h>

#include "chart/drawing/VivIzudeGraphics.h"
#include "vcl/Graphics.h"

TEST(DrawGradient, StepsRoundedCornersAndRestoredCanvas) {
  TBitmap Bitmap(20, 10);
  TCanvas& C = *Bitmap.Canvas();
  C.Brush()->SetColor(clBlue);
  C.FillRect({0, 0, 20, 10});
  C.Brush()->SetStyle(bsClear);
  C.Pen()->SetColor(clLime);
  DrawGradient(C, clBlack, clWhite, true, TVivIzudeGraphicsCorners{gcTopLeft}, 4, {0, 0, 20, 10});
  EXPECT_EQ(C.Pixel(0, 5), 0x000000);
  // Step 19 of 20: each channel Round(19 * 12.75) = 242.
  EXPECT_EQ(C.Pixel(19, 5), 0xF2F2F2);
  EXPECT_EQ(C.Pixel(10, 5), 0x808080);  // Round(127.5) = 128
  // The rounded top-left corner keeps the background; the bottom-left does not.
  EXPECT_EQ(C.Pixel(0, 0), clBlue);
  EXPECT_EQ(C.Pixel(0, 9), 0x000000);
  EXPECT_EQ(C.Pixel(19, 0), 0xF2F2F2);
  EXPECT_EQ(C.Brush()->Style(), bsClear);
  EXPECT_EQ(C.Pen()->Color(), clLime);

  // Vertical, and a rectangle of no height paints one step without failing.
  DrawGradient(C, clRed, clRed, false, {}, 0, {0, 0, 20, 10});
  EXPECT_EQ(C.Pixel(5, 9), clRed);
  DrawGradient(C, clBlack, clWhite, false, {}, 0, {0, 4, 20, 4});
  EXPECT_EQ(C.Pixel(5, 4), clRed);
}
