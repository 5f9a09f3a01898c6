#pragma once
// PNG reading and writing on zlib. Reads every standard colour type and bit
// depth, interlaced or not, with palette and tRNS transparency; writes 8-bit
// RGB (opaque pictures) or RGBA. Bad data raises EInvalidGraphic.
#include <cstddef>

#include "imaging/RasterImage.h"

// The 8 bytes every PNG file starts with.
inline constexpr Byte PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool IsPngData(const Byte* Data, std::size_t Size);
TRasterImage DecodePng(const Byte* Data, std::size_t Size);
// CompressionLevel: zlib's 0 (stored) to 9 (smallest).
TBytes EncodePng(const TRasterImage& Image, int CompressionLevel = 6);
