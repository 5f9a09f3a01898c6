// Pictures are outside data (settings documents carry them as hex text):
// any bytes are recognised by their signature or not, and a PNG or JPEG
// either decodes or fails with EInvalidGraphic. A decoded PNG written again
// reads back with the same pixels.
#include <cstddef>
#include <cstdint>

#include "chart/drawing/VivIzudeUtils.h"
#include "fuzz/common/FuzzCheck.h"
#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TVivGraphicFormat Format = gfUnknown;
  const bool Known = TVivIzudeUtils::FindGraphicClass(Data, static_cast<Int64>(Size), Format);
  FuzzCheck(Known == (Format != gfUnknown), "FindGraphicClass answers a format exactly when it says true");
  try {
    if (Format == gfPNG) {
      const TRasterImage Img = DecodePng(Data, Size);
      FuzzCheck(Img.Pixels.size() == std::size_t(Img.Width) * std::size_t(Img.Height) * 4, "pixel buffer size");
      const TBytes Again = EncodePng(Img);
      const TRasterImage Back = DecodePng(Again.data(), Again.size());
      FuzzCheck(Back.Pixels == Img.Pixels, "a decoded PNG survives writing and reading");
    } else if (Format == gfJPEG) {
      const TRasterImage Img = DecodeJpeg(Data, Size);
      FuzzCheck(Img.Pixels.size() == std::size_t(Img.Width) * std::size_t(Img.Height) * 4, "pixel buffer size");
    }
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
