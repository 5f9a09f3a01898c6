#include "imaging/PngCodec.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char16_t* Why) { throw EInvalidGraphic(String(u"Invalid PNG picture: ") + Why); }

Cardinal ReadBE32(const Byte* P) {
  return (Cardinal(P[0]) << 24) | (Cardinal(P[1]) << 16) | (Cardinal(P[2]) << 8) | Cardinal(P[3]);
}

void WriteBE32(TBytes& Out, Cardinal V) {
  Out.push_back(Byte(V >> 24));
  Out.push_back(Byte(V >> 16));
  Out.push_back(Byte(V >> 8));
  Out.push_back(Byte(V));
}

struct THeader {
  Cardinal Width = 0, Height = 0;
  int BitDepth = 0, ColorType = 0, Interlace = 0;
  int Channels() const {
    switch (ColorType) {
      case 0:
        return 1;
      case 2:
        return 3;
      case 3:
        return 1;
      case 4:
        return 2;
      default:
        return 4;
    }
  }
  int BitsPerPixel() const { return Channels() * BitDepth; }
  // Bytes of one filtered row of Columns pixels, without its filter byte.
  std::size_t RowBytes(Cardinal Columns) const { return (std::size_t(Columns) * BitsPerPixel() + 7) / 8; }
};

bool ValidDepth(int ColorType, int Depth) {
  switch (ColorType) {
    case 0:
      return Depth == 1 || Depth == 2 || Depth == 4 || Depth == 8 || Depth == 16;
    case 3:
      return Depth == 1 || Depth == 2 || Depth == 4 || Depth == 8;
    case 2:
    case 4:
    case 6:
      return Depth == 8 || Depth == 16;
    default:
      return false;
  }
}

int Paeth(int A, int B, int C) {
  const int P = A + B - C;
  const int PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
  if (PA <= PB && PA <= PC) return A;
  return PB <= PC ? B : C;
}

// Undoes the row filters of one pass in place (Data holds filter byte + row
// for every row).
void Unfilter(Byte* Data, std::size_t RowBytes, Cardinal Rows, int BytesPerPixel) {
  Byte* Prior = nullptr;
  for (Cardinal y = 0; y < Rows; ++y) {
    Byte* Row = Data + y * (RowBytes + 1);
    const int Filter = Row[0];
    Byte* Cur = Row + 1;
    for (std::size_t i = 0; i < RowBytes; ++i) {
      const int A = i >= std::size_t(BytesPerPixel) ? Cur[i - BytesPerPixel] : 0;
      const int B = Prior ? Prior[i] : 0;
      const int C = (Prior && i >= std::size_t(BytesPerPixel)) ? Prior[i - BytesPerPixel] : 0;
      switch (Filter) {
        case 0:
          break;
        case 1:
          Cur[i] = Byte(Cur[i] + A);
          break;
        case 2:
          Cur[i] = Byte(Cur[i] + B);
          break;
        case 3:
          Cur[i] = Byte(Cur[i] + ((A + B) >> 1));
          break;
        case 4:
          Cur[i] = Byte(Cur[i] + Paeth(A, B, C));
          break;
        default:
          Fail(u"unknown row filter");
      }
    }
    Prior = Cur;
  }
}

struct TPalette {
  Byte Rgba[256][4];
  int Count = 0;
};

// One sample of Row at pixel X, channel Ch, scaled to 8 bits (16-bit
// samples keep their high byte; small depths are stretched).
int Sample(const THeader& H, const Byte* Row, Cardinal X, int Ch) {
  const int Depth = H.BitDepth;
  if (Depth == 8) return Row[std::size_t(X) * H.Channels() + Ch];
  if (Depth == 16) return Row[(std::size_t(X) * H.Channels() + Ch) * 2];
  const std::size_t Bit = std::size_t(X) * Depth;
  const int V = (Row[Bit / 8] >> (8 - Depth - int(Bit % 8))) & ((1 << Depth) - 1);
  return V;
}

int Raw16(const THeader& H, const Byte* Row, Cardinal X, int Ch) {
  const Byte* P = Row + (std::size_t(X) * H.Channels() + Ch) * 2;
  return (P[0] << 8) | P[1];
}

void PutPixel(TRasterImage& Img, const THeader& H, const TPalette& Pal, bool HasKey, const int Key[3], const Byte* Row,
              Cardinal X, Cardinal DestX, Cardinal DestY) {
  Byte* D = Img.Row(static_cast<Integer>(DestY)) + std::size_t(DestX) * 4;
  int R = 0, G = 0, B = 0, A = 255;
  auto scale = [&H](int V) { return H.BitDepth < 8 ? V * 255 / ((1 << H.BitDepth) - 1) : V; };
  switch (H.ColorType) {
    case 0: {
      const int V = Sample(H, Row, X, 0);
      R = G = B = scale(V);
      if (HasKey) {
        const int Raw = H.BitDepth == 16 ? Raw16(H, Row, X, 0) : V;
        if (Raw == Key[0]) A = 0;
      }
      break;
    }
    case 2:
      R = Sample(H, Row, X, 0);
      G = Sample(H, Row, X, 1);
      B = Sample(H, Row, X, 2);
      if (HasKey) {
        const bool Match = H.BitDepth == 16 ? (Raw16(H, Row, X, 0) == Key[0] && Raw16(H, Row, X, 1) == Key[1] &&
                                               Raw16(H, Row, X, 2) == Key[2])
                                            : (R == Key[0] && G == Key[1] && B == Key[2]);
        if (Match) A = 0;
      }
      break;
    case 3: {
      const int I = Sample(H, Row, X, 0);
      if (I >= Pal.Count) Fail(u"palette index out of range");
      R = Pal.Rgba[I][0];
      G = Pal.Rgba[I][1];
      B = Pal.Rgba[I][2];
      A = Pal.Rgba[I][3];
      break;
    }
    case 4:
      R = G = B = Sample(H, Row, X, 0);
      A = Sample(H, Row, X, 1);
      break;
    default:
      R = Sample(H, Row, X, 0);
      G = Sample(H, Row, X, 1);
      B = Sample(H, Row, X, 2);
      A = Sample(H, Row, X, 3);
      break;
  }
  D[0] = Byte(B);
  D[1] = Byte(G);
  D[2] = Byte(R);
  D[3] = Byte(A);
  if (A != 255) Img.HasAlpha = true;
}

// Adam7: start column, start row, column step, row step of each pass.
constexpr int Adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

TBytes Inflate(const TBytes& In, std::size_t Expected) {
  TBytes Out(Expected);
  z_stream Z{};
  if (inflateInit(&Z) != Z_OK) Fail(u"zlib could not start");
  Z.next_in = const_cast<Bytef*>(In.data());
  Z.avail_in = static_cast<uInt>(In.size());
  Z.next_out = Out.data();
  Z.avail_out = static_cast<uInt>(Out.size());
  const int R = inflate(&Z, Z_FINISH);
  const std::size_t Got = Out.size() - Z.avail_out;
  inflateEnd(&Z);
  // Extra data after the image is tolerated; too little is not.
  if ((R != Z_STREAM_END && R != Z_BUF_ERROR && R != Z_OK) || Got != Expected) Fail(u"compressed data is damaged");
  return Out;
}

}  // namespace

bool IsPngData(const Byte* Data, std::size_t Size) {
  return Data && Size >= sizeof(PngSignature) && std::memcmp(Data, PngSignature, sizeof(PngSignature)) == 0;
}

TRasterImage DecodePng(const Byte* Data, std::size_t Size) {
  if (!IsPngData(Data, Size)) Fail(u"no PNG signature");
  std::size_t Pos = sizeof(PngSignature);
  THeader H;
  bool HaveHeader = false, HaveEnd = false;
  TPalette Pal;
  bool HasKey = false;
  int Key[3] = {-1, -1, -1};
  TBytes Compressed;
  while (Pos + 12 <= Size) {
    const Cardinal Len = ReadBE32(Data + Pos);
    if (Len > 0x7FFFFFFF || Len > Size - Pos - 12) Fail(u"chunk runs past the end");
    const Byte* Type = Data + Pos + 4;
    const Byte* Body = Data + Pos + 8;
    const Cardinal Crc = ReadBE32(Body + Len);
    if (static_cast<Cardinal>(crc32(crc32(0, Type, 4), Body, Len)) != Crc) Fail(u"chunk checksum mismatch");
    Pos += 12 + std::size_t(Len);
    if (std::memcmp(Type, "IHDR", 4) == 0) {
      if (HaveHeader || Len != 13) Fail(u"bad header chunk");
      H.Width = ReadBE32(Body);
      H.Height = ReadBE32(Body + 4);
      H.BitDepth = Body[8];
      H.ColorType = Body[9];
      H.Interlace = Body[12];
      if (Body[10] != 0 || Body[11] != 0 || H.Interlace > 1 || !ValidDepth(H.ColorType, H.BitDepth))
        Fail(u"unsupported header values");
      if (H.Width == 0 || H.Height == 0 || H.Width > 0x7FFFFFFF || H.Height > 0x7FFFFFFF ||
          Int64(H.Width) * Int64(H.Height) > TRasterImage::MaxPixels)
        Fail(u"picture size out of range");
      HaveHeader = true;
    } else if (!HaveHeader) {
      Fail(u"header chunk missing");
    } else if (std::memcmp(Type, "PLTE", 4) == 0) {
      if (Len % 3 != 0 || Len / 3 > 256 || Len == 0) Fail(u"bad palette");
      Pal.Count = static_cast<int>(Len / 3);
      for (int i = 0; i < Pal.Count; ++i) {
        Pal.Rgba[i][0] = Body[i * 3];
        Pal.Rgba[i][1] = Body[i * 3 + 1];
        Pal.Rgba[i][2] = Body[i * 3 + 2];
        Pal.Rgba[i][3] = 255;
      }
    } else if (std::memcmp(Type, "tRNS", 4) == 0) {
      if (H.ColorType == 3) {
        for (Cardinal i = 0; i < Len && i < 256; ++i) Pal.Rgba[i][3] = Body[i];
      } else if (H.ColorType == 0 && Len >= 2) {
        HasKey = true;
        Key[0] = (Body[0] << 8) | Body[1];
      } else if (H.ColorType == 2 && Len >= 6) {
        HasKey = true;
        for (int c = 0; c < 3; ++c) Key[c] = (Body[c * 2] << 8) | Body[c * 2 + 1];
      }
    } else if (std::memcmp(Type, "IDAT", 4) == 0) {
      if (Compressed.size() + Len > std::size_t(1) << 30) Fail(u"compressed data too large");
      Compressed.insert(Compressed.end(), Body, Body + Len);
    } else if (std::memcmp(Type, "IEND", 4) == 0) {
      HaveEnd = true;
      break;
    } else if ((Type[0] & 0x20) == 0) {
      Fail(u"unknown critical chunk");
    }
  }
  if (!HaveEnd && Pos < Size) Fail(u"chunk runs past the end");
  if (!HaveHeader) Fail(u"header chunk missing");
  if (!HaveEnd && Compressed.empty()) Fail(u"no picture data");
  if (H.ColorType == 3 && Pal.Count == 0) Fail(u"palette missing");
  // A key given with 8-bit (or smaller) samples compares raw sample values.
  if (HasKey && H.BitDepth < 16 && H.ColorType == 2)
    for (int c = 0; c < 3; ++c) Key[c] &= 0xFF;

  const int BytesPerPixel = std::max(1, H.BitsPerPixel() / 8);
  std::size_t Expected = 0;
  if (H.Interlace == 0) {
    Expected = (H.RowBytes(H.Width) + 1) * H.Height;
  } else {
    for (const auto& P : Adam7) {
      const Cardinal Cols = H.Width > Cardinal(P[0]) ? (H.Width - P[0] + P[2] - 1) / P[2] : 0;
      const Cardinal Rows = H.Height > Cardinal(P[1]) ? (H.Height - P[1] + P[3] - 1) / P[3] : 0;
      if (Cols && Rows) Expected += (H.RowBytes(Cols) + 1) * Rows;
    }
  }
  TBytes Raw = Inflate(Compressed, Expected);

  TRasterImage Img;
  Img.SetSize(static_cast<Integer>(H.Width), static_cast<Integer>(H.Height));
  if (H.Interlace == 0) {
    const std::size_t RowBytes = H.RowBytes(H.Width);
    Unfilter(Raw.data(), RowBytes, H.Height, BytesPerPixel);
    for (Cardinal y = 0; y < H.Height; ++y) {
      const Byte* Row = Raw.data() + y * (RowBytes + 1) + 1;
      for (Cardinal x = 0; x < H.Width; ++x) PutPixel(Img, H, Pal, HasKey, Key, Row, x, x, y);
    }
  } else {
    std::size_t Offset = 0;
    for (const auto& P : Adam7) {
      const Cardinal Cols = H.Width > Cardinal(P[0]) ? (H.Width - P[0] + P[2] - 1) / P[2] : 0;
      const Cardinal Rows = H.Height > Cardinal(P[1]) ? (H.Height - P[1] + P[3] - 1) / P[3] : 0;
      if (!Cols || !Rows) continue;
      const std::size_t RowBytes = H.RowBytes(Cols);
      Unfilter(Raw.data() + Offset, RowBytes, Rows, BytesPerPixel);
      for (Cardinal r = 0; r < Rows; ++r) {
        const Byte* Row = Raw.data() + Offset + r * (RowBytes + 1) + 1;
        for (Cardinal c = 0; c < Cols; ++c)
          PutPixel(Img, H, Pal, HasKey, Key, Row, c, P[0] + c * P[2], P[1] + r * P[3]);
      }
      Offset += (RowBytes + 1) * Rows;
    }
  }
  return Img;
}

namespace {
void WriteChunk(TBytes& Out, const char* Type, const Byte* Body, std::size_t Len) {
  WriteBE32(Out, static_cast<Cardinal>(Len));
  const std::size_t Start = Out.size();
  Out.insert(Out.end(), Type, Type + 4);
  if (Len) Out.insert(Out.end(), Body, Body + Len);
  WriteBE32(Out, static_cast<Cardinal>(crc32(0, Out.data() + Start, static_cast<uInt>(Len + 4))));
}
}  // namespace

TBytes EncodePng(const TRasterImage& Image, int CompressionLevel) {
  if (Image.Empty() || Image.Pixels.size() != std::size_t(Image.Width) * std::size_t(Image.Height) * 4)
    throw EInvalidGraphic(u"Cannot write an empty picture as PNG");
  bool Alpha = false;
  for (std::size_t i = 3; i < Image.Pixels.size() && !Alpha; i += 4) Alpha = Image.Pixels[i] != 255;
  const int Channels = Alpha ? 4 : 3;
  const std::size_t RowBytes = std::size_t(Image.Width) * Channels;
  // Each row is written with the Sub filter: cheap and usually smaller than none.
  TBytes Filtered((RowBytes + 1) * std::size_t(Image.Height));
  for (Integer y = 0; y < Image.Height; ++y) {
    Byte* Out = Filtered.data() + std::size_t(y) * (RowBytes + 1);
    Out[0] = 1;
    const Byte* In = Image.Row(y);
    Byte* Cur = Out + 1;
    for (Integer x = 0; x < Image.Width; ++x) {
      const Byte* P = In + std::size_t(x) * 4;
      Byte* D = Cur + std::size_t(x) * Channels;
      D[0] = P[2];
      D[1] = P[1];
      D[2] = P[0];
      if (Alpha) D[3] = P[3];
    }
    for (std::size_t i = RowBytes; i-- > std::size_t(Channels);) Cur[i] = Byte(Cur[i] - Cur[i - Channels]);
  }
  uLongf DestLen = compressBound(static_cast<uLong>(Filtered.size()));
  TBytes Compressed(DestLen);
  if (compress2(Compressed.data(), &DestLen, Filtered.data(), static_cast<uLong>(Filtered.size()),
                std::clamp(CompressionLevel, 0, 9)) != Z_OK)
    throw EInvalidGraphic(u"Cannot compress the PNG picture");
  Compressed.resize(DestLen);

  TBytes Out(PngSignature, PngSignature + sizeof(PngSignature));
  Byte Header[13];
  const Cardinal W = static_cast<Cardinal>(Image.Width), Hh = static_cast<Cardinal>(Image.Height);
  for (int i = 0; i < 4; ++i) {
    Header[i] = Byte(W >> (24 - 8 * i));
    Header[4 + i] = Byte(Hh >> (24 - 8 * i));
  }
  Header[8] = 8;
  Header[9] = Alpha ? 6 : 2;
  Header[10] = Header[11] = Header[12] = 0;
  WriteChunk(Out, "IHDR", Header, sizeof(Header));
  WriteChunk(Out, "IDAT", Compressed.data(), Compressed.size());
  WriteChunk(Out, "IEND", nullptr, 0);
  return Out;
}
