// The drawing layer's own GDI+ binding under Wine: every entry point bound by
// name from gdiplus.dll, its own start-up, the one wrapper family driven
// through it, and a picture drawn through it (saved for a person to look at).
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "chart/drawing/win/VivIzudeGDIPlusClasses.h"
#include "tests/chart/drawing/win/GdiplusTestSupport.h"
#include "imaging/PngCodec.h"

using gdiplus_test::SavePicture;

namespace {}  // namespace

TEST(GdiplusBinding, EveryExportedNameIsBoundAndStartedWithItsOwnToken) {
  ASSERT_NE(GdiplusLibrary, nullptr);
  EXPECT_TRUE(VivGdiplusStarted());
  EXPECT_FALSE(VivGdiplusInLibrary());
  EXPECT_NE(StartupToken, 0u);
  EXPECT_EQ(StartupInput.GdiplusVersion, 1u);
  EXPECT_FALSE(StartupInput.SuppressBackgroundThread);
  EXPECT_EQ(GdiplusEntryPointCount, 594u);
  // Each name holds what the library exports under it, nothing else.
  HMODULE Library = LoadLibraryW(L"gdiplus.dll");
  ASSERT_NE(Library, nullptr);
  std::size_t Bound = 0;
  for (std::size_t i = 0; i < GdiplusEntryPointCount; ++i) {
    EXPECT_EQ(GdiplusEntryPoints()[i], GetProcAddress(Library, GdiplusEntryPointNames[i])) << GdiplusEntryPointNames[i];
    Bound += GdiplusEntryPoints()[i] != nullptr;
  }
  FreeLibrary(Library);
  EXPECT_GT(Bound, 500u);
  // The program's own binding starts GDI+ apart, with a token of its own.
  EXPECT_TRUE(GdiPlusReady());
  EXPECT_NE(&VivGdiplusApi(), &GdiPlus());
}

TEST(GdiplusBinding, UnbindEmptiesEverythingAndTwiceChangesNothing) {
  // As at exit: stop, then unbind; then bound and started again for the tests after.
  StopGdiplus();
  UnbindGdiplusApi();
  EXPECT_EQ(GdiplusLibrary, nullptr);
  for (FARPROC P : GdiplusEntryPoints()) ASSERT_EQ(P, nullptr);
  {
    // Without the binding a wrapper reports a status instead of calling in.
    TVivGdiplusScope Scope;
    TGPMatrix M;
    EXPECT_EQ(M.LastResult(), GdiplusNotInitialized);
  }
  UnbindGdiplusApi();
  EXPECT_EQ(GdiplusLibrary, nullptr);
  BindGdiplusApi();
  ASSERT_NE(GdiplusLibrary, nullptr);
  EXPECT_NE(GdiplusEntryPoints()[0], nullptr);  // GdipAlloc
  StartGdiplus();
}

TEST(GdiplusBinding, TheOneWrapperFamilyDrawsThroughTheLayersBinding) {
  TVivGdiplusScope Scope;
  TGPBitmap Bitmap(120, 80, PixelFormat32bppARGB);
  ASSERT_EQ(Bitmap.LastResult(), Ok);
  EXPECT_EQ(&Bitmap.Binding(), &VivGdiplusApi());
  TGPGraphics G(&Bitmap);
  ASSERT_EQ(G.LastResult(), Ok);
  G.SetSmoothingMode(SmoothingModeAntiAlias);
  TGPSolidBrush Background(MakeARGB(255, 255, 255, 255));
  EXPECT_EQ(G.FillRectangle(Background, MakeRect(0, 0, 120, 80)), Ok);
  TGPSolidBrush Red(MakeARGB(255, 220, 30, 30));
  EXPECT_EQ(G.FillRectangle(Red, MakeRect(10, 10, 40, 30)), Ok);
  const UINT State = G.Save();
  EXPECT_NE(State, 0u);
  EXPECT_EQ(G.TranslateTransform(60, 0), Ok);
  TGPSolidBrush Blue(MakeARGB(255, 30, 60, 200));
  EXPECT_EQ(G.FillEllipse(Blue, 0.0f, 10.0f, 40.0f, 40.0f), Ok);
  EXPECT_EQ(G.Restore(State), Ok);
  TGPPen Pen(MakeARGB(255, 0, 128, 0), 3);
  const TGPPointF Zigzag[] = {{10, 70}, {40, 55}, {70, 70}, {100, 55}};
  EXPECT_EQ(G.DrawLines(Pen, Zigzag, 4), Ok);

  ARGB C = 0;
  Bitmap.GetPixel(20, 20, C);
  EXPECT_EQ(C, MakeARGB(255, 220, 30, 30));
  Bitmap.GetPixel(80, 30, C);  // the ellipse, moved right by the saved-and-restored transform
  EXPECT_EQ(C, MakeARGB(255, 30, 60, 200));
  Bitmap.GetPixel(5, 5, C);
  EXPECT_EQ(C, MakeARGB(255, 255, 255, 255));
  Bitmap.GetPixel(10, 70, C);
  EXPECT_EQ(C & 0x00FFFFFF, 0x008000u);
  SavePicture(Bitmap, "drawing_layer_binding.png");
}

TEST(GdiplusBinding, PenColourCapsAndGenericObjects) {
  TVivGdiplusScope Scope;
  TGPPen Solid(MakeARGB(255, 1, 2, 3), 2);
  ARGB C = 0;
  EXPECT_EQ(Solid.GetColor(C), Ok);
  EXPECT_EQ(C, MakeARGB(255, 1, 2, 3));
  EXPECT_EQ(Solid.SetWidth(5), Ok);
  EXPECT_FLOAT_EQ(Solid.GetWidth(), 5);

  TGPHatchBrush Hatch(HatchStyleCross, MakeARGB(255, 0, 0, 0), MakeARGB(255, 255, 255, 255));
  TGPPen Hatched(Hatch, 1);
  C = 0x12345678;
  EXPECT_EQ(Hatched.GetColor(C), WrongState);
  EXPECT_EQ(C, 0x12345678u);
  EXPECT_EQ(Hatched.GetLastStatus(), Ok);  // not kept

  TGPGraphicsPath Arrow;
  const TGPPointF Head[] = {{-2, -2}, {0, 0}, {2, -2}};
  Arrow.AddPolygon(Head, 3);
  TGPCustomLineCap Cap(&Arrow, nullptr);
  EXPECT_EQ(Cap.GetLastStatus(), Ok);
  EXPECT_EQ(Solid.SetCustomEndCap(&Cap), Ok);
  TGPCustomLineCap Copy;
  EXPECT_EQ(Solid.GetCustomEndCap(&Copy), Ok);
  EXPECT_NE(Copy.Native(), nullptr);
  EXPECT_EQ(Solid.GetCustomStartCap(nullptr), InvalidParameter);
  const auto Clone = Cap.Clone();
  ASSERT_NE(Clone, nullptr);
  EXPECT_EQ(Clone->SetWidthScale(2), Ok);
  EXPECT_FLOAT_EQ(Clone->GetWidthScale(), 2);

  TGPFontFamily* Sans = TGPFontFamily::GenericSansSerif();
  EXPECT_EQ(Sans, TGPFontFamily::GenericSansSerif());
  EXPECT_EQ(&Sans->Binding(), &VivGdiplusApi());
  TGPStringFormat* Typographic = TGPStringFormat::GenericTypographic();
  EXPECT_EQ(Typographic, TGPStringFormat::GenericTypographic());
  EXPECT_NE(Typographic, TGPStringFormat::GenericDefault());
  TGdiPlusApiScope Program(GdiPlus());
  EXPECT_NE(TGPFontFamily::GenericSansSerif(), Sans);  // each binding has its own
}

TEST(GdiplusBinding, PathDataCachedBitmapAndValueBuilders) {
  TVivGdiplusScope Scope;
  TPathData Data;
  EXPECT_EQ(Data.Count, 0);
  EXPECT_EQ(Data.Points, nullptr);
  TGPGraphicsPath Empty;
  EXPECT_EQ(GetPathData(Empty, Data), Ok);
  EXPECT_EQ(Data.Count, 0);
  TGPGraphicsPath Box;
  Box.AddRectangle(MakeRect(1, 2, 3, 4));
  ASSERT_EQ(GetPathData(Box, Data), Ok);
  ASSERT_EQ(Data.Count, 4);
  EXPECT_FLOAT_EQ(Data.Points[0].X, 1);
  EXPECT_EQ(Data.Types[0], 0);  // the start of a figure
  EXPECT_FLOAT_EQ(Data.Points[2].X, 4);
  EXPECT_FLOAT_EQ(Data.Points[2].Y, 6);
  const GpPointF* Arrays = Data.Points;
  EXPECT_EQ(GetPathData(Box, Data), Ok);
  EXPECT_EQ(Data.Points, Arrays);  // reused
  // A shorter path after a longer one reports its own count.
  TGPGraphicsPath Triangle;
  const TGPPointF Corners[] = {{0, 0}, {5, 0}, {0, 5}};
  Triangle.AddPolygon(Corners, 3);
  TGPGraphicsPath Long;
  Long.AddRectangle(MakeRect(0, 0, 1, 1));
  Long.AddRectangle(MakeRect(2, 2, 1, 1));
  ASSERT_EQ(GetPathData(Long, Data), Ok);
  EXPECT_EQ(Data.Count, 8);
  ASSERT_EQ(GetPathData(Triangle, Data), Ok);
  ASSERT_EQ(Data.Count, 3);
  EXPECT_FLOAT_EQ(Data.Points[1].X, 5);
  TGPRectF Bounds{};
  EXPECT_EQ(Box.GetBounds(Bounds), Ok);
  EXPECT_FLOAT_EQ(Bounds.Width, 3);

  TGPBitmap Bitmap(8, 8, PixelFormat32bppARGB);
  TGPGraphics G(&Bitmap);
  TGPBitmap Source(4, 4, PixelFormat32bppARGB);
  {
    TGPGraphics SG(&Source);
    TGPSolidBrush Grey(MakeARGB(255, 9, 9, 9));
    SG.FillRectangle(Grey, MakeRect(0, 0, 4, 4));
  }
  TGPCachedBitmap Cached(Source, G);
  EXPECT_EQ(Cached.GetLastStatus(), Ok);
  EXPECT_EQ(G.DrawCachedBitmap(Cached, 2, 2), Ok);
  ARGB C = 0;
  Bitmap.GetPixel(4, 4, C);
  EXPECT_EQ(C, MakeARGB(255, 9, 9, 9));

  EXPECT_EQ(MakeARGB(255, 18, 52, 86), 0xFF123456u);
  EXPECT_EQ(MakeARGB(0, 0, 0, 0), 0u);
  const TGPRectF R = MakeRect(1.5f, 2.5f, 3.5f, 4.5f);
  EXPECT_EQ((std::array<float, 4>{R.X, R.Y, R.Width, R.Height}), (std::array<float, 4>{1.5f, 2.5f, 3.5f, 4.5f}));
}
