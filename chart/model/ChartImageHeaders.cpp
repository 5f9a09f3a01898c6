#include "chart/model/ChartImageHeaders.h"

#include <cstdlib>
#include <memory>

#include "rtl/SysUtils.h"

namespace {
bool ReadExact(TStream& S, void* Buffer, Integer Count) { return S.Read(Buffer, Count) == Count; }

bool ReadByte(TStream& S, Byte& B) { return ReadExact(S, &B, 1); }

bool ReadBE16(TStream& S, Cardinal& V) {
  Byte B[2];
  if (!ReadExact(S, B, 2)) return false;
  V = (Cardinal(B[0]) << 8) | B[1];
  return true;
}

Cardinal LE16(const Byte* P) { return Cardinal(P[0]) | (Cardinal(P[1]) << 8); }
Cardinal LE32(const Byte* P) { return LE16(P) | (LE16(P + 2) << 16); }
Cardinal BE16(const Byte* P) { return (Cardinal(P[0]) << 8) | P[1]; }
Cardinal BE32(const Byte* P) { return (BE16(P) << 16) | BE16(P + 2); }

// Skips Count bytes; false when the stream ends first.
bool Skip(TStream& S, Int64 Count) {
  const Int64 Target = S.Position() + Count;
  if (Target > S.Size()) return false;
  S.SetPosition(Target);
  return true;
}

// Frame headers: every SOFn marker (C0 to CF) but DHT (C4), JPG (C8) and DAC (CC).
bool IsStartOfFrame(Byte M) { return M >= 0xC0 && M <= 0xCF && M != 0xC4 && M != 0xC8 && M != 0xCC; }

template <class F>
TImageHeaderResult OnFile(const String& FileName, TImageHeaderSize& Size, F Reader) {
  Size = {};
  std::unique_ptr<TFileStream> File;
  try {
    File = std::make_unique<TFileStream>(FileName, fmOpenRead | fmShareDenyWrite);
  } catch (const Exception&) {
    return ihCannotOpen;
  }
  try {
    return Reader(*File, Size);
  } catch (const Exception&) {
    Size = {};
    return ihReadError;
  }
}
}  // namespace

Word ReadBigEndianWord(TStream& Stream) {
  Byte B[2] = {0, 0};
  Stream.ReadBuffer(B, 2);
  return static_cast<Word>((B[0] << 8) | B[1]);
}

TImageHeaderResult ReadJPEGImageSize(TStream& S, TImageHeaderSize& Size) {
  Size = {};
  Byte Sig[2];
  if (!ReadExact(S, Sig, 2)) return ihReadError;
  if (Sig[0] != 0xFF || Sig[1] != 0xD8) return ihWrongSignature;
  for (;;) {
    Byte B;
    if (!ReadByte(S, B)) return ihReadError;
    if (B != 0xFF) return ihNoSize;
    Byte M;
    do {
      if (!ReadByte(S, M)) return ihReadError;
    } while (M == 0xFF);  // fill bytes
    if (IsStartOfFrame(M)) {
      Byte Head[3];  // segment length and sample precision
      Cardinal H, W;
      if (!ReadExact(S, Head, 3) || !ReadBE16(S, H) || !ReadBE16(S, W)) return ihReadError;
      Size = {W, H};
      return ihOk;
    }
    if (M == 0x01 || (M >= 0xD0 && M <= 0xD7)) continue;  // markers without a segment
    if (M == 0xD9 || M == 0xDA) return ihNoSize;          // end of image, or scan data before any frame
    Cardinal L;
    if (!ReadBE16(S, L)) return ihReadError;
    if (L < 2) return ihNoSize;
    if (!Skip(S, L - 2)) return ihReadError;
  }
}

TImageHeaderResult ReadPNGImageSize(TStream& S, TImageHeaderSize& Size) {
  Size = {};
  static const Byte Signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  Byte Head[24];
  const Integer Got = S.Read(Head, 24);
  if (Got < 8) return ihReadError;
  for (int I = 0; I < 8; ++I)
    if (Head[I] != Signature[I]) return ihWrongSignature;
  if (Got < 24) return ihReadError;
  if (Head[12] != 'I' || Head[13] != 'H' || Head[14] != 'D' || Head[15] != 'R') return ihNoSize;
  Size = {BE32(Head + 16), BE32(Head + 20)};
  return ihOk;
}

TImageHeaderResult ReadBMPImageSize(TStream& S, TImageHeaderSize& Size) {
  Size = {};
  Byte Head[26];
  const Integer Got = S.Read(Head, 26);
  if (Got < 2) return ihReadError;
  if (Head[0] != 'B' || Head[1] != 'M') return ihWrongSignature;
  if (Got < 22) return ihReadError;
  const Cardinal HeaderSize = LE32(Head + 14);
  if (HeaderSize == 12) {
    // The old core header: 16-bit width and height.
    Size = {LE16(Head + 18), LE16(Head + 20)};
    return ihOk;
  }
  if (Got < 26) return ihReadError;
  const Integer W = static_cast<Integer>(LE32(Head + 18));
  const Integer H = static_cast<Integer>(LE32(Head + 22));
  if (W < 0 || H == INT32_MIN) return ihNoSize;
  // A negative height is a top-down picture of that many rows.
  Size = {Cardinal(W), Cardinal(H < 0 ? -H : H)};
  return ihOk;
}

TImageHeaderResult ReadTIFFImageSize(TStream& S, TImageHeaderSize& Size) {
  Size = {};
  Byte Head[8];
  const Integer Got = S.Read(Head, 8);
  if (Got < 2) return ihReadError;
  const bool Big = Head[0] == 'M' && Head[1] == 'M';
  if (!Big && !(Head[0] == 'I' && Head[1] == 'I')) return ihWrongSignature;
  if (Got < 8) return ihReadError;
  auto U16 = [Big](const Byte* P) { return Big ? BE16(P) : LE16(P); };
  auto U32 = [Big](const Byte* P) { return Big ? BE32(P) : LE32(P); };
  if (U16(Head + 2) != 42) return ihWrongSignature;
  const Cardinal Offset = U32(Head + 4);
  if (Offset < 8 || Int64(Offset) >= S.Size()) return ihNoSize;
  S.SetPosition(Offset);
  Byte CountBytes[2];
  if (!ReadExact(S, CountBytes, 2)) return ihReadError;
  const Cardinal Count = U16(CountBytes);
  bool HaveW = false, HaveH = false;
  Cardinal W = 0, H = 0;
  for (Cardinal I = 0; I < Count; ++I) {
    Byte E[12];
    if (!ReadExact(S, E, 12)) return ihReadError;
    const Cardinal Tag = U16(E), Type = U16(E + 2);
    // A SHORT value stands in the first two bytes of the value field, in
    // the file's byte order; a LONG fills it.
    Cardinal Value;
    if (Type == 3)
      Value = U16(E + 8);
    else if (Type == 4)
      Value = U32(E + 8);
    else
      continue;
    if (Tag == 256) W = Value, HaveW = true;
    if (Tag == 257) H = Value, HaveH = true;
    if (HaveW && HaveH) {
      Size = {W, H};
      return ihOk;
    }
  }
  return ihNoSize;
}

TImageHeaderResult ReadGIFImageSize(TStream& S, TImageHeaderSize& Size) {
  Size = {};
  Byte Head[13];
  const Integer Got = S.Read(Head, 13);
  if (Got < 3) return ihReadError;
  if (Head[0] != 'G' || Head[1] != 'I' || Head[2] != 'F') return ihWrongSignature;
  if (Got < 13) return ihReadError;
  if (Head[10] & 0x80) {
    if (!Skip(S, 3 * (Int64(1) << ((Head[10] & 7) + 1)))) return ihReadError;
  }
  // Blocks up to the first image descriptor; extensions are skipped by
  // their sub-blocks, so a 0x2C byte inside their data is never taken for
  // the image separator.
  for (;;) {
    Byte B;
    if (!ReadByte(S, B)) return ihReadError;
    if (B == 0x2C) {
      Byte D[9];  // left, top, width, height, flags
      if (!ReadExact(S, D, 9)) return ihReadError;
      Size = {LE16(D + 4), LE16(D + 6)};
      return ihOk;
    }
    if (B == 0x21) {
      Byte Label;
      if (!ReadByte(S, Label)) return ihReadError;
      for (;;) {
        Byte Len;
        if (!ReadByte(S, Len)) return ihReadError;
        if (Len == 0) break;
        if (!Skip(S, Len)) return ihReadError;
      }
      continue;
    }
    return ihNoSize;  // the trailer (0x3B) or a broken block
  }
}

TImageHeaderResult GetJPEGImageSize(const String& F, TImageHeaderSize& Size) {
  return OnFile(F, Size, ReadJPEGImageSize);
}
TImageHeaderResult GetPNGImageSize(const String& F, TImageHeaderSize& Size) {
  return OnFile(F, Size, ReadPNGImageSize);
}
TImageHeaderResult GetBMPImageSize(const String& F, TImageHeaderSize& Size) {
  return OnFile(F, Size, ReadBMPImageSize);
}
TImageHeaderResult GetTIFFImageSize(const String& F, TImageHeaderSize& Size) {
  return OnFile(F, Size, ReadTIFFImageSize);
}
TImageHeaderResult GetGIFImageSize(const String& F, TImageHeaderSize& Size) {
  return OnFile(F, Size, ReadGIFImageSize);
}

TImageFileKind ImageKindFromExtension(const String& FileName) {
  const String E = UpperCase(ExtractFileExt(FileName));
  if (E == u".JPG" || E == u".JPEG") return ikJPEG;
  if (E == u".PNG") return ikPNG;
  if (E == u".BMP") return ikBMP;
  if (E == u".TIF" || E == u".TIFF") return ikTIFF;
  if (E == u".GIF") return ikGIF;
  return ikUnknown;
}

TImageFileKind ImageKindFromSignature(const Byte* D, std::size_t N) {
  if (N >= 2 && D[0] == 0xFF && D[1] == 0xD8) return ikJPEG;
  if (N >= 4 && D[0] == 0x89 && D[1] == 'P' && D[2] == 'N' && D[3] == 'G') return ikPNG;
  if (N >= 2 && D[0] == 'B' && D[1] == 'M') return ikBMP;
  if (N >= 4 && ((D[0] == 'I' && D[1] == 'I' && D[2] == 42 && D[3] == 0) ||
                 (D[0] == 'M' && D[1] == 'M' && D[2] == 0 && D[3] == 42)))
    return ikTIFF;
  if (N >= 3 && D[0] == 'G' && D[1] == 'I' && D[2] == 'F') return ikGIF;
  return ikUnknown;
}

TImageHeaderResult ReadImageSize(TImageFileKind Kind, TStream& S, TImageHeaderSize& Size) {
  switch (Kind) {
    case ikJPEG:
      return ReadJPEGImageSize(S, Size);
    case ikPNG:
      return ReadPNGImageSize(S, Size);
    case ikBMP:
      return ReadBMPImageSize(S, Size);
    case ikTIFF:
      return ReadTIFFImageSize(S, Size);
    case ikGIF:
      return ReadGIFImageSize(S, Size);
    default:
      Size = {};
      return ihWrongSignature;
  }
}

TImageHeaderResult GetImageFileSize(const String& FileName, TImageHeaderSize& Size, TImageFileKind* KindOut) {
  TImageFileKind Kind = ikUnknown;
  const TImageHeaderResult R = OnFile(FileName, Size, [&](TStream& S, TImageHeaderSize& Sz) {
    Byte Sig[4] = {};
    const Integer N = S.Read(Sig, 4);
    Kind = ImageKindFromSignature(Sig, N < 0 ? 0 : static_cast<std::size_t>(N));
    if (Kind == ikUnknown) Kind = ImageKindFromExtension(FileName);
    S.SetPosition(0);
    return ReadImageSize(Kind, S, Sz);
  });
  if (KindOut) *KindOut = Kind;
  return R;
}

String ImageHeaderResultText(TImageHeaderResult R) {
  switch (R) {
    case ihOk:
      return String();
    case ihCannotOpen:
      return u"The file cannot be opened";
    case ihReadError:
      return u"The file ends before its picture size";
    case ihWrongSignature:
      return u"The file is not a picture of a known format";
    case ihNoSize:
      return u"The picture header holds no valid size";
  }
  return String();
}
