// Picture headers (files a chart's pictures are loaded from): any bytes are
// read by every reader without a crash or a read past the data, a reader
// that fails gives no size, and the same bytes always give the same answer.
#include <cstddef>
#include <cstdint>

#include "chart/model/ChartImageHeaders.h"
#include "fuzz/common/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const TBytes Bytes = FuzzBytes(Data, Size);
  for (TImageFileKind Kind : {ikJPEG, ikPNG, ikBMP, ikTIFF, ikGIF, ImageKindFromSignature(Data, Size)}) {
    TBytesStream First(Bytes), Second(Bytes);
    TImageHeaderSize A, B;
    const TImageHeaderResult RA = ReadImageSize(Kind, First, A);
    const TImageHeaderResult RB = ReadImageSize(Kind, Second, B);
    FuzzCheck(RA == RB && A.Width == B.Width && A.Height == B.Height, "the same bytes gave two answers");
    if (RA != ihOk) FuzzCheck(A.Width == 0 && A.Height == 0, "a failed read gave a size");
    FuzzCheck(First.Position() <= First.Size(), "read past the data");
  }
  return 0;
}
