#pragma once
// A decoded picture as the PNG and JPEG codecs hand it over: 32-bit pixels,
// blue, green, red, alpha in that byte order, top row first, alpha not
// premultiplied. Portable; the class library's pictures copy it into their
// bitmaps.
#include <cstddef>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Types.h"

// A picture that cannot be read or written: a clear message, never a crash.
QUORVEL_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

struct TRasterImage {
  Integer Width = 0;
  Integer Height = 0;
  // Width * Height * 4 bytes.
  std::vector<Byte> Pixels;
  // Whether any pixel is less than opaque.
  bool HasAlpha = false;

  bool Empty() const { return Width <= 0 || Height <= 0; }
  Byte* Row(Integer Y) { return Pixels.data() + static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width) * 4; }
  const Byte* Row(Integer Y) const {
    return Pixels.data() + static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width) * 4;
  }
  // Sizes up to this many pixels are decoded; larger headers are refused
  // before any memory is taken (outside data may claim any size).
  static constexpr Int64 MaxPixels = Int64(1) << 26;
  // Allocates Width x Height transparent black pixels; EInvalidGraphic for a
  // size of 0, a negative one or one past MaxPixels.
  void SetSize(Integer AWidth, Integer AHeight);
};
