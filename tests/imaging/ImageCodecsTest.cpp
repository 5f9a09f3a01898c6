// PNG and JPEG codecs: round trips, pictures made and read by another
// implementation (Debian's python3-pil, where it is installed), and damaged
// data that must give a clear error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <array>
#include <cstring>

#include <zlib.h>

#include "tests/support/TestSupport.h"
#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"

using testsupport::MessageTextOf;
using testsupport::TTempDir;

namespace {

// A picture whose every pixel differs: a colour ramp with an alpha ramp.
TRasterImage Ramp(Integer W, Integer H, bool Alpha) {
  TRasterImage Img;
  Img.SetSize(W, H);
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) {
      Byte* P = Img.Row(y) + x * 4;
      P[0] = Byte(x * 7 + y);      // blue
      P[1] = Byte(y * 11);         // green
      P[2] = Byte(x * 3 + y * 5);  // red
      P[3] = Alpha ? Byte(255 - x - y) : 255;
    }
  return Img;
}

// A smooth picture, which JPEG keeps closely.
TRasterImage Smooth(Integer W, Integer H) {
  TRasterImage Img;
  Img.SetSize(W, H);
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) {
      Byte* P = Img.Row(y) + x * 4;
      P[0] = Byte(200 - x);
      P[1] = Byte(y * 2);
      P[2] = Byte(x * 2);
      P[3] = 255;
    }
  return Img;
}

int MaxDifference(const TRasterImage& A, const TRasterImage& B) {
  int M = 0;
  for (std::size_t i = 0; i < A.Pixels.size(); ++i)
    if (i % 4 != 3) M = std::max(M, std::abs(int(A.Pixels[i]) - int(B.Pixels[i])));
  return M;
}

bool HavePil() {
#ifdef _WIN32
  return false;
#else
  return std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") == 0;
#endif
}

int RunPython(const TTempDir& Dir, const std::string& Script) {
  testsupport::WriteAll(Dir.File("check.py"), Script);
  const std::string Cmd = "cd '" + Dir.Path.string() + "' && /usr/bin/python3 check.py";
  return std::system(Cmd.c_str());
}

TBytes BytesOf(const std::string& S) { return TBytes(S.begin(), S.end()); }

}  // namespace

TEST(PngCodec, RoundTripKeepsEveryPixelWithAndWithoutAlpha) {
  for (bool Alpha : {false, true}) {
    const TRasterImage In = Ramp(37, 23, Alpha);
    const TBytes Data = EncodePng(In);
    ASSERT_TRUE(IsPngData(Data.data(), Data.size()));
    const TRasterImage Out = DecodePng(Data.data(), Data.size());
    EXPECT_EQ(Out.Width, 37);
    EXPECT_EQ(Out.Height, 23);
    EXPECT_EQ(Out.HasAlpha, Alpha);
    EXPECT_EQ(Out.Pixels, In.Pixels) << "alpha " << Alpha;
  }
}

TEST(PngCodec, DamagedDataGivesAClearError) {
  const TBytes Good = EncodePng(Ramp(8, 8, true));
  struct TCase {
    const char* Name;
    TBytes Data;
    const char* Message;
  };
  TBytes BadCrc = Good;
  BadCrc[20] ^= 0xFF;  // inside the header chunk's body
  TBytes Truncated(Good.begin(), Good.begin() + 40);
  TBytes Huge = Good;
  // A header claiming 100000 x 100000 pixels, with a matching checksum.
  const Byte Dim[4] = {0x00, 0x01, 0x86, 0xA0};
  std::memcpy(&Huge[16], Dim, 4);
  std::memcpy(&Huge[20], Dim, 4);
  const uLong Crc = crc32(0, &Huge[12], 17);
  for (int i = 0; i < 4; ++i) Huge[29 + i] = Byte(Crc >> (24 - 8 * i));
  const TCase Cases[] = {
      {"no signature", BytesOf("GIF89a"), "Invalid PNG picture: no PNG signature"},
      {"checksum", BadCrc, "Invalid PNG picture: chunk checksum mismatch"},
      {"cut short", Truncated, "Invalid PNG picture: chunk runs past the end"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(MessageTextOf<EInvalidGraphic>([&] { DecodePng(C.Data.data(), C.Data.size()); }), C.Message) << C.Name;
  EXPECT_EQ(MessageTextOf<EInvalidGraphic>([&] { DecodePng(Huge.data(), Huge.size()); }),
            "Invalid PNG picture: picture size out of range");
  EXPECT_THROW(DecodePng(nullptr, 0), EInvalidGraphic);
}

TEST(JpegCodec, RoundTripIsCloseAndQualityShowsInSize) {
  const TRasterImage In = Smooth(64, 48);
  const TBytes High = EncodeJpeg(In, 95);
  const TBytes Low = EncodeJpeg(In, 5);
  ASSERT_TRUE(IsJpegData(High.data(), High.size()));
  EXPECT_LT(Low.size(), High.size());
  const TRasterImage Out = DecodeJpeg(High.data(), High.size());
  ASSERT_EQ(Out.Width, 64);
  ASSERT_EQ(Out.Height, 48);
  EXPECT_FALSE(Out.HasAlpha);
  EXPECT_LE(MaxDifference(In, Out), 12);
  const TBytes Progressive = EncodeJpeg(In, 90, true);
  const TRasterImage Out2 = DecodeJpeg(Progressive.data(), Progressive.size());
  EXPECT_LE(MaxDifference(In, Out2), 16);
}

TEST(JpegCodec, DamagedDataGivesAClearError) {
  const TBytes Good = EncodeJpeg(Smooth(16, 16), 80);
  EXPECT_THROW(DecodeJpeg(Good.data(), 2), EInvalidGraphic);
  TBytes NoFrame(Good.begin(), Good.begin() + 20);
  EXPECT_THROW(DecodeJpeg(NoFrame.data(), NoFrame.size()), EInvalidGraphic);
  const TBytes Text = BytesOf("not a picture");
  EXPECT_EQ(MessageTextOf<EInvalidGraphic>([&] { DecodeJpeg(Text.data(), Text.size()); }),
            "Invalid JPEG picture: no start-of-image marker");
  // A cut-off scan still decodes: the missing rows come out grey, as with
  // every other reader, instead of failing the whole picture.
  const TBytes Big = EncodeJpeg(Smooth(128, 96), 95);
  TBytes Cut(Big.begin(), Big.begin() + Big.size() * 3 / 4);
  const TRasterImage Partial = DecodeJpeg(Cut.data(), Cut.size());
  EXPECT_EQ(Partial.Width, 128);
}

TEST(ImageCodecsWithPil, PilReadsWhatWeWrite) {
  if (!HavePil()) GTEST_SKIP() << "python3-pil is not installed";
  TTempDir Dir;
  const TRasterImage Img = Ramp(20, 10, true);
  const TBytes Png = EncodePng(Img);
  const TBytes Jpg = EncodeJpeg(Smooth(32, 16), 90);
  testsupport::WriteAll(Dir.File("a.png"), std::string(Png.begin(), Png.end()));
  testsupport::WriteAll(Dir.File("a.jpg"), std::string(Jpg.begin(), Jpg.end()));
  // Pixel (5, 3) of the ramp: red 3*5+15, green 33, blue 38, alpha 247.
  EXPECT_EQ(RunPython(Dir, R"(
from PIL import Image
p = Image.open('a.png'); p.load()
assert p.mode == 'RGBA' and p.size == (20, 10), (p.mode, p.size)
assert p.getpixel((5, 3)) == (30, 33, 38, 247), p.getpixel((5, 3))
j = Image.open('a.jpg'); j.load()
assert j.format == 'JPEG' and j.size == (32, 16) and j.mode == 'RGB'
r, g, b = j.getpixel((10, 4))
assert abs(r - 20) < 10 and abs(g - 8) < 10 and abs(b - 190) < 10, (r, g, b)
)"),
            0);
}

TEST(ImageCodecsWithPil, WeReadWhatPilWrites) {
  if (!HavePil()) GTEST_SKIP() << "python3-pil is not installed";
  TTempDir Dir;
  // Palette with transparency, 16-bit grey, interlaced RGB, greyscale JPEG.
  ASSERT_EQ(RunPython(Dir, R"(
from PIL import Image
p = Image.new('P', (9, 5)); p.putpalette([255,0,0, 0,255,0, 0,0,255] + [0]*759)
for x in range(9):
    for y in range(5): p.putpixel((x, y), (x + y) % 3)
p.save('pal.png', transparency=1)
g = Image.new('I;16', (4, 4)); g.putpixel((1, 2), 0x8000); g.save('grey16.png')
r = Image.new('RGB', (13, 11), (10, 20, 30)); r.putpixel((12, 10), (200, 100, 50)); r.save('inter.png', interlace=1)
Image.new('L', (8, 8), 128).save('grey.jpg', quality=95)
)"),
            0);
  const auto load = [&](const char* Name) {
    const std::string S = testsupport::ReadAll(Dir.File(Name));
    const TBytes B(S.begin(), S.end());
    return std::string(Name).ends_with(".png") ? DecodePng(B.data(), B.size()) : DecodeJpeg(B.data(), B.size());
  };
  const TRasterImage Pal = load("pal.png");
  ASSERT_EQ(Pal.Width, 9);
  const Byte* P00 = Pal.Row(0);  // index 0: opaque red
  EXPECT_EQ((std::array<int, 4>{P00[0], P00[1], P00[2], P00[3]}), (std::array<int, 4>{0, 0, 255, 255}));
  const Byte* P10 = Pal.Row(0) + 4;  // index 1: transparent green
  EXPECT_EQ(P10[3], 0);
  EXPECT_TRUE(Pal.HasAlpha);
  const TRasterImage Grey = load("grey16.png");
  EXPECT_EQ(Grey.Row(2)[4 * 1 + 2], 0x80);
  EXPECT_EQ(Grey.Row(0)[0], 0);
  const TRasterImage Inter = load("inter.png");
  ASSERT_EQ(Inter.Width, 13);
  const Byte* Last = Inter.Row(10) + 12 * 4;
  EXPECT_EQ((std::array<int, 3>{Last[2], Last[1], Last[0]}), (std::array<int, 3>{200, 100, 50}));
  const Byte* First = Inter.Row(0);
  EXPECT_EQ((std::array<int, 3>{First[2], First[1], First[0]}), (std::array<int, 3>{10, 20, 30}));
  const TRasterImage GreyJpeg = load("grey.jpg");
  EXPECT_NEAR(GreyJpeg.Row(3)[3 * 4 + 1], 128, 2);
}
