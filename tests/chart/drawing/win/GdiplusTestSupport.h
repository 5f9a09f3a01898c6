#pragma once
// What the GDI+ wrapper tests share.
#include <fstream>

#include "chart/drawing/win/VivIzudeGDIPlusClasses.h"
#include "imaging/PngCodec.h"

namespace gdiplus_test {

// The picture a test drew, as a PNG beside the test program.
inline void SavePicture(TGPBitmap& Bitmap, const char* Name) {
  const UINT W = Bitmap.GetWidth(), H = Bitmap.GetHeight();
  TRasterImage Img;
  Img.SetSize(static_cast<Integer>(W), static_cast<Integer>(H));
  for (UINT y = 0; y < H; ++y)
    for (UINT x = 0; x < W; ++x) {
      ARGB C = 0;
      Bitmap.GetPixel(static_cast<INT>(x), static_cast<INT>(y), C);
      Byte* P = Img.Row(static_cast<Integer>(y)) + x * 4;
      P[0] = Byte(C);
      P[1] = Byte(C >> 8);
      P[2] = Byte(C >> 16);
      P[3] = Byte(C >> 24);
    }
  const TBytes Png = EncodePng(Img);
  std::ofstream(Name, std::ios::binary)
      .write(reinterpret_cast<const char*>(Png.data()), static_cast<std::streamsize>(Png.size()));
}

}  // namespace gdiplus_test
