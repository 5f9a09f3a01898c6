#pragma once
// The size of a picture read from its file header, without decoding it: the
// chart's pictures know their size as soon as they are loaded. One reader
// per format (JPEG, PNG, BMP, TIFF, GIF), each on a stream positioned at the
// start of the file or on a file name. Sizes are the full 32-bit values the
// formats store; a reader that cannot find them says why.
#include "rtl/Streams.h"
#include "rtl/Types.h"

enum TImageHeaderResult : Byte {
  ihOk,
  ihCannotOpen,      // the file could not be opened
  ihReadError,       // the file ends (or fails) before the size
  ihWrongSignature,  // the file is not of the reader's format
  ihNoSize,          // the format's structure holds no size (or a broken one)
};

struct TImageHeaderSize {
  Cardinal Width = 0;
  Cardinal Height = 0;
};

// Two bytes, the first the high one.
Word ReadBigEndianWord(TStream& Stream);

// Readers on a stream at the file's first byte. Width and Height stay 0
// unless the answer is ihOk.
TImageHeaderResult ReadJPEGImageSize(TStream& Stream, TImageHeaderSize& Size);
TImageHeaderResult ReadPNGImageSize(TStream& Stream, TImageHeaderSize& Size);
TImageHeaderResult ReadBMPImageSize(TStream& Stream, TImageHeaderSize& Size);
TImageHeaderResult ReadTIFFImageSize(TStream& Stream, TImageHeaderSize& Size);
TImageHeaderResult ReadGIFImageSize(TStream& Stream, TImageHeaderSize& Size);

// The same on a file (ihCannotOpen when it cannot be opened).
TImageHeaderResult GetJPEGImageSize(const String& FileName, TImageHeaderSize& Size);
TImageHeaderResult GetPNGImageSize(const String& FileName, TImageHeaderSize& Size);
TImageHeaderResult GetBMPImageSize(const String& FileName, TImageHeaderSize& Size);
TImageHeaderResult GetTIFFImageSize(const String& FileName, TImageHeaderSize& Size);
TImageHeaderResult GetGIFImageSize(const String& FileName, TImageHeaderSize& Size);

enum TImageFileKind : Byte { ikUnknown, ikJPEG, ikPNG, ikBMP, ikTIFF, ikGIF };
// By the extension: .JPG/.JPEG, .PNG, .BMP, .TIF/.TIFF, .GIF (any case).
TImageFileKind ImageKindFromExtension(const String& FileName);
// By the first bytes of the content (at least 4 are needed).
TImageFileKind ImageKindFromSignature(const Byte* Data, std::size_t Count);
TImageHeaderResult ReadImageSize(TImageFileKind Kind, TStream& Stream, TImageHeaderSize& Size);
// The size of a picture file: by its content's signature, else by its
// extension (a file named .jpg that holds a PNG reports its PNG size).
TImageHeaderResult GetImageFileSize(const String& FileName, TImageHeaderSize& Size, TImageFileKind* Kind = nullptr);

// A short English text for a result ("" for ihOk).
String ImageHeaderResultText(TImageHeaderResult Result);
