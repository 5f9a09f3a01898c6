// Picture sizes read from file headers: every format's layout, sizes past
// 16 bits, big-endian TIFF, GIF extensions holding the separator byte, and
// damaged or foreign files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>

#include "chart/model/ChartImageHeaders.h"
#include "rtl/SysUtils.h"

namespace {
struct TBytesBuilder {
  TBytes B;
  TBytesBuilder& Raw(std::initializer_list<int> V) {
    for (int X : V) B.push_back(static_cast<Byte>(X));
    return *this;
  }
  TBytesBuilder& Text(const char* S) {
    while (*S) B.push_back(static_cast<Byte>(*S++));
    return *this;
  }
  TBytesBuilder& LE16(Cardinal V) { return Raw({int(V & 0xFF), int(V >> 8 & 0xFF)}); }
  TBytesBuilder& LE32(Cardinal V) { return LE16(V & 0xFFFF).LE16(V >> 16); }
  TBytesBuilder& BE16(Cardinal V) { return Raw({int(V >> 8 & 0xFF), int(V & 0xFF)}); }
  TBytesBuilder& BE32(Cardinal V) { return BE16(V >> 16).BE16(V & 0xFFFF); }
  TBytesBuilder& Zeros(int N) {
    B.insert(B.end(), N, 0);
    return *this;
  }
};

TBytes Png(Cardinal W, Cardinal H) {
  return TBytesBuilder()
      .Raw({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})
      .BE32(13)
      .Text("IHDR")
      .BE32(W)
      .BE32(H)
      .Raw({8, 6, 0, 0, 0})
      .B;
}

TBytes Bmp(Integer W, Integer H, Cardinal HeaderSize = 40) {
  TBytesBuilder B;
  B.Text("BM").LE32(1000).LE32(0).LE32(54).LE32(HeaderSize);
  if (HeaderSize == 12)
    B.LE16(static_cast<Cardinal>(W)).LE16(static_cast<Cardinal>(H)).LE16(1).LE16(24);
  else
    B.LE32(static_cast<Cardinal>(W)).LE32(static_cast<Cardinal>(H)).LE16(1).LE16(24).Zeros(24);
  return B.B;
}

// A JPEG with an APP0 segment (and fill bytes) before the frame header Sof.
TBytes Jpeg(int Sof, Cardinal W, Cardinal H) {
  TBytesBuilder B;
  B.Raw({0xFF, 0xD8, 0xFF, 0xE0}).BE16(16).Text("JFIF").Zeros(10);
  B.Raw({0xFF, 0xFF, 0xFF, Sof}).BE16(11).Raw({8}).BE16(H).BE16(W).Raw({1, 1, 0x11, 0});
  B.Raw({0xFF, 0xD9});
  return B.B;
}

// One IFD with width and height in the given types (3 SHORT, 4 LONG).
TBytes Tiff(bool BigEndian, Cardinal W, Cardinal H, int Type) {
  TBytesBuilder B;
  auto U16 = [&](Cardinal V) -> TBytesBuilder& { return BigEndian ? B.BE16(V) : B.LE16(V); };
  auto U32 = [&](Cardinal V) -> TBytesBuilder& { return BigEndian ? B.BE32(V) : B.LE32(V); };
  B.Text(BigEndian ? "MM" : "II");
  U16(42);
  U32(8);
  U16(3);
  // A tag of another kind first, then width and height.
  U16(254), U16(4), U32(1), U32(0);
  for (auto [Tag, V] : {std::pair<Cardinal, Cardinal>{256, W}, {257, H}}) {
    U16(Tag), U16(Cardinal(Type)), U32(1);
    if (Type == 3)
      U16(V), U16(0);
    else
      U32(V);
  }
  U32(0);
  return B.B;
}

// A GIF of a 100 x 80 screen with a global colour table, a comment
// extension whose data holds 0x2C bytes, and a first image of W x H.
TBytes Gif(Cardinal W, Cardinal H) {
  TBytesBuilder B;
  B.Text("GIF89a").LE16(100).LE16(80).Raw({0x81, 0, 0}).Zeros(12);
  B.Raw({0x21, 0xFE, 4, 0x2C, 0x2C, 0x2C, 0x2C, 2, 0x2C, 0x01, 0});
  B.Raw({0x21, 0xF9, 4, 0, 0, 0, 0, 0});
  B.Raw({0x2C}).LE16(5).LE16(6).LE16(W).LE16(H).Raw({0, 2, 2, 0x44, 0x01, 0, 0x3B});
  return B.B;
}

TImageHeaderResult Read(TImageFileKind Kind, const TBytes& Data, TImageHeaderSize& Size) {
  TBytesStream S(Data);
  return ReadImageSize(Kind, S, Size);
}

// Temporary paths are plain ASCII.
String Ascii(const std::filesystem::path& P) {
  const std::string U8 = P.string();
  return String(U8.begin(), U8.end());
}

TBytes Cut(TBytes B, size_t N) {
  B.resize(std::min(B.size(), N));
  return B;
}
}  // namespace

TEST(ImageHeaders, EveryFormatGivesItsFullSize) {
  struct Case {
    const char* Name;
    TImageFileKind Kind;
    TBytes Data;
    Cardinal W, H;
  } Cases[] = {
      {"png past 16 bits", ikPNG, Png(70000, 300), 70000, 300},
      {"png small", ikPNG, Png(1, 2), 1, 2},
      {"baseline jpeg", ikJPEG, Jpeg(0xC0, 640, 480), 640, 480},
      {"progressive jpeg", ikJPEG, Jpeg(0xC2, 33, 44), 33, 44},
      {"lossless jpeg frame", ikJPEG, Jpeg(0xC3, 12, 13), 12, 13},
      {"bmp", ikBMP, Bmp(70000, 200), 70000, 200},
      {"top-down bmp", ikBMP, Bmp(10, -200), 10, 200},
      {"core-header bmp", ikBMP, Bmp(64, 32, 12), 64, 32},
      {"little-endian tiff", ikTIFF, Tiff(false, 70000, 90000, 4), 70000, 90000},
      {"big-endian tiff, long values", ikTIFF, Tiff(true, 1234, 567, 4), 1234, 567},
      {"big-endian tiff, short values", ikTIFF, Tiff(true, 640, 480, 3), 640, 480},
      {"little-endian tiff, short values", ikTIFF, Tiff(false, 640, 480, 3), 640, 480},
      {"gif with extensions", ikGIF, Gif(40, 30), 40, 30},
  };
  for (const Case& C : Cases) {
    TImageHeaderSize Size;
    EXPECT_EQ(Read(C.Kind, C.Data, Size), ihOk) << C.Name;
    EXPECT_EQ(Size.Width, C.W) << C.Name;
    EXPECT_EQ(Size.Height, C.H) << C.Name;
    EXPECT_EQ(ImageKindFromSignature(C.Data.data(), C.Data.size()), C.Kind) << C.Name;
  }
}

TEST(ImageHeaders, DamagedAndForeignFilesSayWhy) {
  TBytes JpegScanFirst = TBytesBuilder().Raw({0xFF, 0xD8, 0xFF, 0xDA}).BE16(2).B;
  TBytes JpegZeroLength = TBytesBuilder().Raw({0xFF, 0xD8, 0xFF, 0xE1}).BE16(0).Raw({0xFF, 0xC0}).B;
  TBytes TiffFarDirectory = TBytesBuilder().Text("II").LE16(42).LE32(100000).B;
  TBytes GifTrailerOnly = TBytesBuilder().Text("GIF89a").LE16(1).LE16(1).Raw({0, 0, 0, 0x3B}).B;
  TBytes GifEndlessExtension = TBytesBuilder().Text("GIF89a").LE16(1).LE16(1).Raw({0, 0, 0, 0x21, 0xFE, 200, 1, 2}).B;
  struct Case {
    const char* Name;
    TImageFileKind Kind;
    TBytes Data;
    TImageHeaderResult Expected;
  } Cases[] = {
      {"png cut in its header", ikPNG, Cut(Png(5, 5), 20), ihReadError},
      {"png read as a jpeg", ikJPEG, Png(5, 5), ihWrongSignature},
      {"empty jpeg", ikJPEG, {}, ihReadError},
      {"jpeg cut in its frame header", ikJPEG, Cut(Jpeg(0xC0, 9, 9), 26), ihReadError},
      {"jpeg scan before any frame", ikJPEG, JpegScanFirst, ihNoSize},
      {"jpeg segment of length 0", ikJPEG, JpegZeroLength, ihNoSize},
      {"bmp without signature", ikBMP, Png(1, 1), ihWrongSignature},
      {"bmp cut", ikBMP, Cut(Bmp(3, 3), 10), ihReadError},
      {"tiff directory past the end", ikTIFF, TiffFarDirectory, ihNoSize},
      {"tiff without its size tags", ikTIFF, Cut(Tiff(false, 1, 1, 4), 22), ihReadError},
      {"gif with only a trailer", ikGIF, GifTrailerOnly, ihNoSize},
      {"gif whose extension runs off the end", ikGIF, GifEndlessExtension, ihReadError},
      {"gif cut in its descriptor", ikGIF, Cut(Gif(4, 4), Gif(4, 4).size() - 10), ihReadError},
  };
  for (const Case& C : Cases) {
    TImageHeaderSize Size;
    EXPECT_EQ(Read(C.Kind, C.Data, Size), C.Expected) << C.Name;
    EXPECT_EQ(Size.Width, 0u) << C.Name;
    EXPECT_EQ(Size.Height, 0u) << C.Name;
    EXPECT_FALSE(ImageHeaderResultText(C.Expected).empty()) << C.Name;
  }
}

TEST(ImageHeaders, FilesAreReadByContentThenByExtension) {
  const std::filesystem::path Dir = std::filesystem::temp_directory_path() / "chart-image-headers";
  std::filesystem::create_directories(Dir);
  auto Write = [&](const char* Name, const TBytes& Data) {
    const std::filesystem::path P = Dir / Name;
    std::ofstream(P, std::ios::binary).write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
    return Ascii(P);
  };
  TImageHeaderSize Size;
  TImageFileKind Kind = ikUnknown;
  // A PNG named as a JPEG still gives its size.
  EXPECT_EQ(GetImageFileSize(Write("named.jpg", Png(70000, 300)), Size, &Kind), ihOk);
  EXPECT_EQ(Kind, ikPNG);
  EXPECT_EQ(Size.Width, 70000u);
  EXPECT_EQ(GetPNGImageSize(Write("real.png", Png(7, 8)), Size), ihOk);
  EXPECT_EQ(Size.Height, 8u);
  EXPECT_EQ(GetJPEGImageSize(Write("real.png2", Png(7, 8)), Size), ihWrongSignature);
  EXPECT_EQ(GetGIFImageSize(Write("anim.gif", Gif(40, 30)), Size), ihOk);
  EXPECT_EQ(Size.Width, 40u);
  EXPECT_EQ(GetImageFileSize(Ascii(Dir / "missing.png"), Size), ihCannotOpen);
  EXPECT_EQ(GetImageFileSize(Write("text.ico", TBytesBuilder().Text("hello").B), Size, &Kind), ihWrongSignature);
  EXPECT_EQ(Kind, ikUnknown);
  EXPECT_EQ(ImageKindFromExtension(u"a.JpEg"), ikJPEG);
  EXPECT_EQ(ImageKindFromExtension(u"a.tif"), ikTIFF);
  EXPECT_EQ(ImageKindFromExtension(u"a.ico"), ikUnknown);
  TBytesStream S(TBytes{0x12, 0x34});
  EXPECT_EQ(ReadBigEndianWord(S), 0x1234);
  std::filesystem::remove_all(Dir);
}
