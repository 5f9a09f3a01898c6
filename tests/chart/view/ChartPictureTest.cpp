// The GDI+ chart picture: sizes from headers and from GDI+, loading errors,
// "RES://" and "FILE://" sources, events, and how it draws.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "ChartViewTestSupport.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "rtl/Resources.h"

using namespace chartview_test;

namespace {
TBytes BigPngHeader(Cardinal W, Cardinal H) {
  TBytes B = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (Cardinal V : {W, H})
    for (int Shift = 24; Shift >= 0; Shift -= 8) B.push_back(static_cast<Byte>(V >> Shift));
  for (int I = 0; I < 9; ++I) B.push_back(0);
  return B;
}

// A W x H bitmap of one colour, with its bottom-left pixel in Corner.
std::unique_ptr<TBitmap> Plain(Integer W, Integer H, TColor Fill, TColor Corner) {
  auto B = std::make_unique<TBitmap>(W, H);
  B->SetPixelFormat(pf24bit);
  B->Canvas()->Brush()->SetColor(Fill);
  B->Canvas()->FillRect({0, 0, W, H});
  B->Canvas()->SetPixel(0, H - 1, Corner);
  return B;
}

// Draws the picture with GDIPDraw into R of a white 60 x 60 bitmap.
std::unique_ptr<TBitmap> Drawn(TChartGDIPPicture& P, TRect R) {
  auto Out = Plain(60, 60, clWhite, clWhite);
  TGPGraphics G(Out->Canvas()->Handle());
  P.GDIPDraw(G, R);
  return Out;
}

struct ChartPictureTest : ::testing::Test {
  String Dir = TempFolder(u"chart-picture");
  String Path(const char* Name) const { return Dir + u"\\" + String(Name, Name + std::strlen(Name)); }
};
}  // namespace

TEST_F(ChartPictureTest, SizesComeFromTheHeaderOrFromGdiPlus) {
  // A header alone: the size is read, nothing is decoded.
  WriteFileBytes(Path("wide.png"), BigPngHeader(70000, 300));
  TChartGDIPPicture Wide;
  EXPECT_TRUE(Wide.LoadFromFile(Path("wide.png"))) << Narrow(Wide.LoadError());
  EXPECT_FALSE(Wide.Empty());
  EXPECT_EQ(Wide.Width(), 70000);
  EXPECT_EQ(Wide.Height(), 300);

  auto Red = Plain(6, 4, clRed, clRed);
  SaveBitmapToImage(Red->Handle(), Path("red.png"), itPNG, 100);
  CopyFileW(WideCStr(Path("red.png")), WideCStr(Path("red.jpg")), FALSE);
  CopyFileW(WideCStr(Path("red.png")), WideCStr(Path("red.ico")), FALSE);
  for (const char* Name : {"red.png", "red.jpg", "red.ico"}) {
    TChartGDIPPicture P;
    EXPECT_TRUE(P.LoadFromFile(Path(Name))) << Name;
    EXPECT_EQ(P.Width(), 6) << Name;
    EXPECT_EQ(P.Height(), 4) << Name;
    EXPECT_EQ(Drawn(P, {0, 0, 60, 60})->Canvas()->Pixel(45, 40), clRed) << Name;
  }
  // From the bytes of any class-library graphic.
  TChartGDIPPicture FromBitmap;
  FromBitmap.Assign(Red.get());
  EXPECT_EQ(FromBitmap.Width(), 6);
  EXPECT_FALSE(FromBitmap.Empty());
}

TEST_F(ChartPictureTest, LoadingErrorsAreReportedAndLeaveThePictureEmpty) {
  WriteFileBytes(Path("notes.png"), {'h', 'e', 'l', 'l', 'o'});
  WriteFileBytes(Path("empty.gif"), {});
  TChartGDIPPicture P;
  ASSERT_TRUE(P.LoadFromURL(u"res://CHARTLOGO"));
  struct Case {
    const char* What;
    std::function<bool()> Load;
  } Cases[] = {
      {"missing file", [&] { return P.LoadFromFile(Path("missing.png")); }},
      {"text named .png", [&] { return P.LoadFromFile(Path("notes.png")); }},
      {"empty file", [&] { return P.LoadFromFile(Path("empty.gif")); }},
      {"bytes no decoder reads",
       [&] {
         return P.LoadFromBytes({1, 2, 3, 4, 5, 6});
       }},
  };
  for (const Case& C : Cases) {
    ASSERT_TRUE(P.LoadFromURL(u"RES://CHARTLOGO")) << C.What;
    EXPECT_FALSE(C.Load()) << C.What;
    EXPECT_TRUE(P.Empty()) << C.What;
    EXPECT_EQ(P.Width(), 0) << C.What;
    EXPECT_FALSE(P.LoadError().empty()) << C.What;
  }
  TBytesStream Garbage(TBytes{9, 9, 9});
  EXPECT_THROW(P.LoadFromStream(Garbage), EInvalidGraphic);
}

TEST_F(ChartPictureTest, ResourceAndFileAddressesAndTheirEvents) {
  TChartGDIPPicture P;
  std::vector<std::string> Events;
  P.OnChange = [&](TObject*) { Events.push_back("change"); };
  P.OnClear = [&](TObject*) { Events.push_back("clear"); };
  EXPECT_TRUE(P.LoadFromURL(u"res://CHARTLOGO"));  // the prefix in any case
  EXPECT_EQ(P.Width(), 6);
  EXPECT_EQ(P.Height(), 4);
  SaveBitmapToImage(Plain(3, 5, clBlue, clBlue)->Handle(), Path("blue.bmp"), itBMP, 100);
  Events.clear();
  EXPECT_TRUE(P.LoadFromURL(u"FILE://" + Path("blue.bmp")));
  EXPECT_EQ((std::vector<std::string>{"clear", "change"}), Events);
  EXPECT_EQ(P.Width(), 3);
  EXPECT_EQ(P.Height(), 5);
  // Other addresses and missing names change nothing.
  for (const String& Url :
       {String(u"http://example.invalid/a.png"), String(u"RES://"), String(u"RES://NOSUCHPICTURE")}) {
    EXPECT_FALSE(P.LoadFromURL(Url));
    EXPECT_EQ(P.Width(), 3);
    EXPECT_FALSE(P.Empty());
  }
  EXPECT_THROW(P.LoadFromResourceID(reinterpret_cast<HINSTANCE>(HInstance()), 4242), EResNotFound);
  Events.clear();
  P.Assign(static_cast<TPersistent*>(nullptr));
  EXPECT_EQ((std::vector<std::string>{"change", "clear"}), Events);
  EXPECT_TRUE(P.Empty());
  // The bytes stay what was loaded.
  ASSERT_TRUE(P.LoadFromFile(Path("blue.bmp")));
  TBytesStream Saved;
  P.SaveToStream(Saved);
  TChartGDIPPicture Copy;
  TBytesStream Again(Saved.Bytes());
  Copy.LoadFromStream(Again);
  EXPECT_EQ(Copy.Bytes(), P.Bytes());
}

TEST_F(ChartPictureTest, TransparentBitmapsKeepTheirSizeOthersStretch) {
  // Blue with a white bottom-left pixel: that white is the colour key.
  auto Blue = Plain(10, 10, clBlue, clYellow);
  Blue->Canvas()->SetPixel(0, 9, clLime);
  TChartGDIPPicture P;
  P.Assign(Blue.get());
  ASSERT_FALSE(P.Empty());
  P.SetTransparent(true);
  auto Keyed = Drawn(P, {20, 20, 60, 60});
  EXPECT_EQ(Keyed->Canvas()->Pixel(25, 25), clBlue);
  EXPECT_EQ(Keyed->Canvas()->Pixel(35, 35), clWhite);  // its own size: nothing drawn there
  EXPECT_EQ(Keyed->Canvas()->Pixel(20, 29), clWhite);  // the key colour is not drawn
  P.SetTransparent(false);
  auto Stretched = Drawn(P, {20, 20, 60, 60});
  EXPECT_EQ(Stretched->Canvas()->Pixel(50, 30), clBlue);
  // A texture tiles the picture.
  auto Tiled = Plain(60, 60, clWhite, clWhite);
  {
    TGPGraphics G(Tiled->Canvas()->Handle());
    P.FillRect(G, {0, 0, 60, 60});
  }
  EXPECT_EQ(Tiled->Canvas()->Pixel(55, 15), clBlue);
  EXPECT_EQ(P.PixelDepth(), 24);
  EXPECT_FALSE(P.HasAlpha());
}
