#include <gtest/gtest.h>

#include <cstring>

#include "rtl/Resources.h"
#include "rtl/Streams.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

namespace {

// A 2x2 RGBA PNG: red, green / blue, transparent white.
const Byte kPng[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
                     0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xB6, 0x0D,
                     0x24, 0x00, 0x00, 0x00, 0x13, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0,
                     0x1F, 0x0C, 0x81, 0x34, 0x08, 0x30, 0x00, 0x00, 0x48, 0xC9, 0x08, 0xF8, 0x71, 0xC5, 0x31, 0xE0,
                     0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// Blue, green, red, alpha of a 32-bit pixel.
struct TBgra {
  Byte B, G, R, A;
};
TBgra PixelAt(TBitmap& Bitmap, Integer X, Integer Y) {
  TBgra p;
  std::memcpy(&p, static_cast<Byte*>(Bitmap.ScanLine(Y)) + X * 4, 4);
  return p;
}

TEST(Font, SizeAndHeightConvertAtTheResolution) {
  TFont font;
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Height(), -11);
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);
  font.SetPixelsPerInch(144);
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -20);
  int changes = 0;
  font.OnChange = [&](TObject*) { ++changes; };
  font.SetStyle({fsBold, fsItalic});
  font.SetStyle({fsBold, fsItalic});
  font.SetColor(clRed);
  EXPECT_EQ(changes, 2);
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(font.Handle(), sizeof(lf), &lf));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(lf.lfHeight, -20);
}

TEST(Bitmap, CanvasDrawsIntoScanLines) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(20, 10);
  EXPECT_EQ(bitmap.BytesPerScanLine(), 80);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect({0, 0, 20, 10});
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect({10, 5, 20, 10});
  canvas->Pen()->SetColor(clLime);
  canvas->MoveTo(0, 0);
  canvas->LineTo(5, 0);
  EXPECT_EQ(canvas->PenPos(), (TPoint{5, 0}));
  const TBgra red = PixelAt(bitmap, 2, 3), blue = PixelAt(bitmap, 15, 8), lime = PixelAt(bitmap, 3, 0);
  EXPECT_EQ((std::array<int, 3>{red.R, red.G, red.B}), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ((std::array<int, 3>{blue.R, blue.G, blue.B}), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ((std::array<int, 3>{lime.R, lime.G, lime.B}), (std::array<int, 3>{0, 255, 0}));
  EXPECT_EQ(canvas->Pixel(15, 8), clBlue);
  // The automatic transparent colour is the bottom-left pixel.
  EXPECT_EQ(bitmap.TransparentColor(), clRed);

  // Growing keeps the picture; new pixels are white.
  bitmap.SetSize(30, 10);
  EXPECT_EQ(bitmap.Canvas()->Pixel(2, 3), clRed);
  EXPECT_EQ(bitmap.Canvas()->Pixel(25, 3), clWhite);
  EXPECT_GT(canvas->TextWidth(u"Quorvel"), canvas->TextWidth(u"Q"));
  EXPECT_GT(canvas->TextHeight(u"Q"), 0);
}

TEST(Bitmap, SavesAndLoadsBmp) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(5, 3);
  bitmap.Canvas()->Brush()->SetColor(RGBToColor(10, 20, 30));
  bitmap.Canvas()->FillRect({0, 0, 5, 3});
  bitmap.Canvas()->SetPixel(4, 2, clYellow);
  TBytesStream stream;
  bitmap.SaveToStream(stream);
  const TBytes& bytes = stream.Bytes();
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(bytes.size(), 54u + 3u * 16u);  // rows of 15 bytes padded to 16

  stream.SetPosition(0);
  TPicture picture;
  picture.LoadFromStream(stream);
  auto* loaded = dynamic_cast<TBitmap*>(picture.Graphic());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Width(), 5);
  EXPECT_EQ(loaded->Height(), 3);
  EXPECT_EQ(loaded->Canvas()->Pixel(0, 0), RGBToColor(10, 20, 30));
  EXPECT_EQ(loaded->Canvas()->Pixel(4, 2), clYellow);
}

// The colour of pixel X, Y decoded from the scan line by the bitmap's own
// format (palette formats through the bitmap's colour table).
TColor ScanLinePixel(TBitmap& Bitmap, Integer X, Integer Y) {
  const auto* row = static_cast<const Byte*>(Bitmap.ScanLine(Y));
  auto fromPalette = [&](unsigned Index) {
    RGBQUAD q{};
    EXPECT_EQ(GetDIBColorTable(Bitmap.Canvas()->Handle(), Index, 1, &q), 1u);
    return RGBToColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
  };
  auto scale = [](unsigned V, unsigned Max) { return static_cast<Byte>(V * 255 / Max); };
  Word w;
  switch (Bitmap.PixelFormat()) {
    case pf1bit:
      return fromPalette((row[X / 8] >> (7 - X % 8)) & 1);
    case pf4bit:
      return fromPalette(X % 2 ? row[X / 2] & 0x0F : row[X / 2] >> 4);
    case pf8bit:
      return fromPalette(row[X]);
    case pf15bit:
      std::memcpy(&w, row + X * 2, 2);
      return RGBToColor(scale((w >> 10) & 31, 31), scale((w >> 5) & 31, 31), scale(w & 31, 31));
    case pf16bit:
      std::memcpy(&w, row + X * 2, 2);
      return RGBToColor(scale(w >> 11, 31), scale((w >> 5) & 63, 63), scale(w & 31, 31));
    case pf24bit:
      return RGBToColor(row[X * 3 + 2], row[X * 3 + 1], row[X * 3]);
    default:
      return RGBToColor(row[X * 4 + 2], row[X * 4 + 1], row[X * 4]);
  }
}

struct TFormatCase {
  TPixelFormat Format;
  Integer BytesPerLine;  // for 10 pixels
  std::vector<TColor> Stripes;
};

TEST(Bitmap, EveryPixelFormatDrawsReadsSavesAndCopies) {
  const std::vector<TColor> colors{clRed, clBlue, clWhite, clBlack, clLime};
  const TFormatCase cases[] = {
      {pf1bit, 4, {clBlack, clWhite, clBlack, clWhite, clBlack}},
      {pf4bit, 8, colors},
      {pf8bit, 12, colors},
      {pf15bit, 20, colors},
      {pf16bit, 20, colors},
      {pf24bit, 32, colors},
      {pf32bit, 40, colors},
  };
  for (const TFormatCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.Format);
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.Format);
    bitmap.SetSize(10, 3);
    ASSERT_EQ(bitmap.PixelFormat(), c.Format);
    EXPECT_EQ(bitmap.BytesPerScanLine(), c.BytesPerLine);
    EXPECT_NE(bitmap.Handle(), nullptr);
    // New pixels are white.
    EXPECT_EQ(ScanLinePixel(bitmap, 9, 2), clWhite);
    for (std::size_t i = 0; i < c.Stripes.size(); ++i) {
      bitmap.Canvas()->Brush()->SetColor(c.Stripes[i]);
      bitmap.Canvas()->FillRect(Bounds(static_cast<Integer>(i) * 2, 0, 2, 3));
    }
    for (std::size_t i = 0; i < c.Stripes.size(); ++i) {
      const Integer x = static_cast<Integer>(i) * 2;
      EXPECT_EQ(ScanLinePixel(bitmap, x, 1), c.Stripes[i]) << "stripe " << i;
      EXPECT_EQ(ScanLinePixel(bitmap, x + 1, 2), c.Stripes[i]) << "stripe " << i;
    }

    // Drawn onto a 32-bit canvas, through a BMP file and through Assign.
    TBitmap target(10, 3);
    target.SetPixelFormat(pf32bit);
    target.Canvas()->Draw(0, 0, &bitmap);
    TBytesStream stream;
    bitmap.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    TBitmap copy;
    copy.Assign(&bitmap);
    EXPECT_EQ(copy.PixelFormat(), c.Format);
    ASSERT_EQ(loaded.Width(), 10);
    for (std::size_t i = 0; i < c.Stripes.size(); ++i) {
      const Integer x = static_cast<Integer>(i) * 2 + 1;
      EXPECT_EQ(target.Canvas()->Pixel(x, 1), c.Stripes[i]) << "drawn stripe " << i;
      EXPECT_EQ(loaded.Canvas()->Pixel(x, 1), c.Stripes[i]) << "loaded stripe " << i;
      EXPECT_EQ(ScanLinePixel(copy, x, 1), c.Stripes[i]) << "copied stripe " << i;
    }

    // Changing the format keeps the picture.
    bitmap.SetPixelFormat(pf24bit);
    EXPECT_EQ(ScanLinePixel(bitmap, 3, 0), c.Stripes[1]);
  }
  TBitmap custom;
  EXPECT_THROW(custom.SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(Bitmap, TransparentDrawLeavesTheKeyColourOut) {
  for (TPixelFormat format : {pf4bit, pf8bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(testing::Message() << "format " << format);
    // Fuchsia with a red centre: the bottom-left pixel makes fuchsia the key.
    TBitmap sprite;
    sprite.SetPixelFormat(format);
    sprite.SetSize(4, 4);
    sprite.Canvas()->Brush()->SetColor(clFuchsia);
    sprite.Canvas()->FillRect({0, 0, 4, 4});
    sprite.Canvas()->Brush()->SetColor(clRed);
    sprite.Canvas()->FillRect({1, 1, 3, 3});
    EXPECT_EQ(sprite.TransparentColor(), clFuchsia);
    sprite.SetTransparent(true);

    TBitmap scene(6, 6);
    scene.SetPixelFormat(pf32bit);
    scene.Canvas()->Brush()->SetColor(clBlue);
    scene.Canvas()->FillRect({0, 0, 6, 6});
    scene.Canvas()->Draw(1, 1, &sprite);
    EXPECT_EQ(ScanLinePixel(scene, 1, 1), clBlue);
    EXPECT_EQ(ScanLinePixel(scene, 4, 4), clBlue);
    EXPECT_EQ(ScanLinePixel(scene, 2, 2), clRed);
    EXPECT_EQ(ScanLinePixel(scene, 3, 3), clRed);

    // A fixed key: now the centre is left out and the frame drawn.
    sprite.SetTransparentColor(clRed);
    EXPECT_EQ(sprite.TransparentMode(), tmFixed);
    scene.Canvas()->FillRect({0, 0, 6, 6});
    scene.Canvas()->Draw(1, 1, &sprite);
    EXPECT_EQ(ScanLinePixel(scene, 1, 1), clFuchsia);
    EXPECT_EQ(ScanLinePixel(scene, 2, 2), clBlue);

    // Not transparent: everything is copied.
    sprite.SetTransparent(false);
    scene.Canvas()->Draw(1, 1, &sprite);
    EXPECT_EQ(ScanLinePixel(scene, 2, 2), clRed);
  }
}

// The test icon: 16x16 red then 32x32 blue, each with a transparent
// top-left quarter.
void ExpectQuarterIcon(TIcon& Icon, Integer Size, TColor Color) {
  ASSERT_NE(Icon.Handle(), nullptr);
  EXPECT_FALSE(Icon.Empty());
  EXPECT_EQ(Icon.Width(), Size);
  EXPECT_EQ(Icon.Height(), Size);
  TBitmap scene(Size, Size);
  scene.SetPixelFormat(pf32bit);
  scene.Canvas()->Brush()->SetColor(clLime);
  scene.Canvas()->FillRect({0, 0, Size, Size});
  scene.Canvas()->Draw(0, 0, &Icon);
  EXPECT_EQ(ScanLinePixel(scene, 1, 1), clLime);
  EXPECT_EQ(ScanLinePixel(scene, Size - 2, 1), Color);
  EXPECT_EQ(ScanLinePixel(scene, 1, Size - 2), Color);
  EXPECT_EQ(ScanLinePixel(scene, Size - 1, Size - 1), Color);
}

TEST(Icon, LoadsFromResourcesAndDrawsThroughItsMask) {
  TIcon icon;
  EXPECT_TRUE(icon.Empty());
  EXPECT_TRUE(icon.Transparent());
  icon.SetSize(16, 16);
  icon.LoadFromResourceName(GetModuleHandleW(nullptr), u"QUARTER");
  ExpectQuarterIcon(icon, 16, clRed);
  icon.SetSize(32, 32);
  icon.LoadFromResourceName(GetModuleHandleW(nullptr), u"QUARTER");
  ExpectQuarterIcon(icon, 32, clBlue);
  EXPECT_THROW(icon.LoadFromResourceName(GetModuleHandleW(nullptr), u"NO_SUCH_ICON"), EResNotFound);

  TIcon copy;
  copy.Assign(&icon);
  EXPECT_NE(copy.Handle(), icon.Handle());
  ExpectQuarterIcon(copy, 32, clBlue);
  HICON released = copy.ReleaseHandle();
  EXPECT_TRUE(copy.Empty());
  EXPECT_TRUE(DestroyIcon(released));
}

TEST(Icon, LoadsIcoDataPickingTheWantedSize) {
  TResourceStream data(reinterpret_cast<NativeUInt>(GetModuleHandleW(nullptr)), u"QUARTER_ICO", RT_RCDATA);
  TIcon first;
  first.LoadFromStream(data);
  ExpectQuarterIcon(first, 16, clRed);

  data.SetPosition(0);
  TIcon large;
  large.SetSize(32, 32);
  large.LoadFromStream(data);
  ExpectQuarterIcon(large, 32, clBlue);

  // Saving gives back the ICO data, all sizes included.
  TBytesStream saved;
  large.SaveToStream(saved);
  EXPECT_EQ(saved.Size(), data.Size());
  saved.SetPosition(0);
  TIcon again;
  again.LoadFromStream(saved);
  EXPECT_EQ(again.Width(), 16);

  TBytesStream garbage(TBytes{0, 0, 2, 0, 1, 0, 9, 9});
  EXPECT_THROW(again.LoadFromStream(garbage), EInvalidGraphic);
  EXPECT_EQ(again.Width(), 16);  // the old icon stays
}

TEST(Picture, DecodesPngWithAlpha) {
  TBytesStream stream(TBytes(std::begin(kPng), std::end(kPng)));
  TPicture picture;
  picture.LoadFromStream(stream);
  auto* png = dynamic_cast<TPngImage*>(picture.Graphic());
  ASSERT_NE(png, nullptr);
  ASSERT_EQ(picture.Width(), 2);
  ASSERT_EQ(picture.Height(), 2);
  TBitmap* pixels = png->Bitmap();
  const TBgra red = PixelAt(*pixels, 0, 0), green = PixelAt(*pixels, 1, 0), blue = PixelAt(*pixels, 0, 1),
              clear = PixelAt(*pixels, 1, 1);
  EXPECT_EQ((std::array<int, 4>{red.R, red.G, red.B, red.A}), (std::array<int, 4>{255, 0, 0, 255}));
  EXPECT_EQ((std::array<int, 4>{green.R, green.G, green.B, green.A}), (std::array<int, 4>{0, 255, 0, 255}));
  EXPECT_EQ((std::array<int, 4>{blue.R, blue.G, blue.B, blue.A}), (std::array<int, 4>{0, 0, 255, 255}));
  EXPECT_EQ(clear.A, 0);
  EXPECT_EQ(clear.R, 0);  // premultiplied

  // Drawn with its alpha: the transparent corner keeps the background.
  TBitmap target(4, 4);
  target.SetPixelFormat(pf32bit);
  target.Canvas()->Brush()->SetColor(clGray);
  target.Canvas()->FillRect({0, 0, 4, 4});
  target.Canvas()->Draw(1, 1, png);
  EXPECT_EQ(target.Canvas()->Pixel(1, 1), clRed);
  EXPECT_EQ(target.Canvas()->Pixel(2, 2), clGray);
  EXPECT_EQ(target.Canvas()->Pixel(1, 2), clBlue);
}

TEST(Picture, PngAndJpegSaveAndLoadBackThroughTheirCodecs) {
  TBitmap source(6, 4);
  source.SetPixelFormat(pf32bit);
  source.Canvas()->Brush()->SetColor(clBlue);
  source.Canvas()->FillRect({0, 0, 6, 4});
  source.Canvas()->Brush()->SetColor(clYellow);
  source.Canvas()->FillRect({3, 0, 6, 4});

  TPngImage png;
  png.Assign(&source);
  TBytesStream pngData;
  png.SaveToStream(pngData);
  pngData.SetPosition(0);
  TPicture fromPng;
  fromPng.LoadFromStream(pngData);
  ASSERT_NE(dynamic_cast<TPngImage*>(fromPng.Graphic()), nullptr);
  TBitmap* pixels = static_cast<TPngImage*>(fromPng.Graphic())->Bitmap();
  EXPECT_EQ(pixels->Canvas()->Pixel(1, 1), clBlue);
  EXPECT_EQ(pixels->Canvas()->Pixel(4, 2), clYellow);

  TJPEGImage jpeg;
  jpeg.Assign(&source);
  jpeg.SetCompressionQuality(100);
  TBytesStream jpegData;
  jpeg.SaveToStream(jpegData);
  jpegData.SetPosition(0);
  TPicture fromJpeg;
  fromJpeg.LoadFromStream(jpegData);
  auto* decoded = dynamic_cast<TJPEGImage*>(fromJpeg.Graphic());
  ASSERT_NE(decoded, nullptr);
  const TBgra left = PixelAt(*decoded->Bitmap(), 0, 0), right = PixelAt(*decoded->Bitmap(), 5, 3);
  EXPECT_LT(left.R + left.G, 40);
  EXPECT_GT(left.B, 215);
  EXPECT_GT(right.R + right.G, 430);
  EXPECT_LT(right.B, 40);

  TBytesStream damaged(TBytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 3, 1});
  EXPECT_THROW(TJPEGImage().LoadFromStream(damaged), EInvalidGraphic);
}

TEST(Picture, RejectsUnknownData) {
  const Byte junk[] = {1, 2, 3, 4, 5, 6, 7, 8};
  TBytesStream stream(TBytes(std::begin(junk), std::end(junk)));
  TPicture picture;
  EXPECT_THROW(picture.LoadFromStream(stream), EInvalidGraphic);
  TBitmap bitmap;
  TBytesStream again(TBytes(std::begin(junk), std::end(junk)));
  EXPECT_THROW(bitmap.LoadFromStream(again), EInvalidGraphic);
}

TEST(Canvas, KeepsItsObjectsOutOfAForeignDC) {
  // A canvas over someone else's DC must give the DC back as it found it.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ originalFont = GetCurrentObject(dc, OBJ_FONT);
  HGDIOBJ originalBrush = GetCurrentObject(dc, OBJ_BRUSH);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font()->SetName(u"Arial");
    canvas.TextWidth(u"x");
    canvas.Brush()->SetColor(clAqua);
    canvas.FillRect({0, 0, 1, 1});
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), originalFont);
    canvas.Font()->SetSize(20);  // reselected without leaking the old font
    canvas.TextWidth(u"x");
    canvas.SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), originalFont);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), originalBrush);
    EXPECT_THROW(canvas.TextOut(0, 0, u"no DC"), EInvalidOperation);
  }
  DeleteDC(dc);
}

}  // namespace
