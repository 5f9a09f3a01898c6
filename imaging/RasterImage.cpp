#include "imaging/RasterImage.h"

void TRasterImage::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth <= 0 || AHeight <= 0 || Int64(AWidth) * Int64(AHeight) > MaxPixels)
    throw EInvalidGraphic(u"Invalid picture size");
  Width = AWidth;
  Height = AHeight;
  Pixels.assign(static_cast<std::size_t>(AWidth) * static_cast<std::size_t>(AHeight) * 4, 0);
  HasAlpha = false;
}
