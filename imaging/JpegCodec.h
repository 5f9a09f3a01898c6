#pragma once
// JPEG reading and writing on libjpeg (API version 62). Reads greyscale,
// colour and CMYK pictures; writes colour pictures at a quality of 0 to 100,
// baseline or progressive. Bad data raises EInvalidGraphic.
#include <cstddef>

#include "imaging/RasterImage.h"

// Whether the data starts with the JPEG start-of-image marker FF D8.
bool IsJpegData(const Byte* Data, std::size_t Size);
TRasterImage DecodeJpeg(const Byte* Data, std::size_t Size);
// Pixels are written opaque: alpha is dropped (callers compose the picture
// on a background first). Quality is clamped to 0..100.
TBytes EncodeJpeg(const TRasterImage& Image, int Quality = 90, bool Progressive = false);
