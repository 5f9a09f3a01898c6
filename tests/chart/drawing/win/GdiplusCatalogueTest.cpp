// The rest of the GDI+ wrapper family, driven through the drawing layer's
// binding under Wine: status keeping of fonts and pens, the guards that
// answer without calling GDI+, regions, paths, clipping, containers and
// gradients, and a picture drawn with them (saved for a person to look at).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <vector>

#include "chart/drawing/win/VivIzudeGDIPlusClasses.h"
#include "tests/chart/drawing/win/GdiplusTestSupport.h"
#include "imaging/PngCodec.h"
#include "rtl/Win32Handles.h"

using gdiplus_test::SavePicture;

namespace {
ARGB PixelAt(TGPBitmap& Bitmap, INT X, INT Y) {
  ARGB C = 0;
  Bitmap.GetPixel(X, Y, C);
  return C;
}
}  // namespace

TEST(GdiplusCatalogue, AFontOfAMissingFamilyFallsBackAndKeepsItsStatusWhenRead) {
  TVivGdiplusScope Scope;
  TGPFont Font(u"No Such Family Anywhere", 12, FontStyleBold, UnitPixel);
  ASSERT_TRUE(Font.IsAvailable());
  EXPECT_EQ(Font.GetLastStatus(), Ok);
  EXPECT_EQ(Font.GetLastStatus(), Ok);  // reading does not reset, and there is nothing to reset
  EXPECT_FALSE(Font.FamilyName().empty());
  EXPECT_EQ(Font.GetUnit(), UnitPixel);
  EXPECT_GT(Font.GetHeight(96.0f), 12.0f);

  TGPFontFamily Family;
  EXPECT_EQ(Font.GetFamily(nullptr), InvalidParameter);
  EXPECT_EQ(Font.GetLastStatus(), InvalidParameter);  // kept, and read without a reset
  EXPECT_EQ(Font.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(Font.GetFamily(&Family), Ok);
  String Name;
  EXPECT_EQ(Family.GetFamilyName(Name, LANG_NEUTRAL), Ok);
  EXPECT_EQ(Name, Font.FamilyName());
  EXPECT_GT(Family.GetEmHeight(0), 0);
  EXPECT_GT(Family.GetLineSpacing(0), 0);

  // A font from a system font handle, and from a device context alone.
  const TWindowDC Screen(nullptr);
  LOGFONTW Log{};
  Log.lfHeight = -16;
  wcscpy(Log.lfFaceName, L"Arial");
  const TGdiObject Handle(CreateFontIndirectW(&Log));
  TGPFont FromHandle(Screen.Get(), static_cast<HFONT>(Handle.Get()));
  EXPECT_EQ(FromHandle.GetLastStatus(), Ok);
  LOGFONTW Back{};
  TGPGraphics OnScreen(Screen.Get());
  EXPECT_EQ(FromHandle.GetLogFontW(&OnScreen, Back), Ok);
  EXPECT_NEAR(Back.lfHeight, -16, 1);  // Wine rounds the em size its own way
  TGPFont FromDC(Screen.Get(), static_cast<HFONT>(nullptr));
  EXPECT_TRUE(FromDC.IsAvailable());
}

TEST(GdiplusCatalogue, PenColourAnswersThisCallAndNotAnEarlierFailure) {
  TVivGdiplusScope Scope;
  TGPPen Pen(MakeARGB(255, 10, 20, 30), 2);
  EXPECT_EQ(Pen.GetCompoundArray(nullptr, 0), InvalidParameter);  // a guard: kept, no call
  ARGB C = 0;
  EXPECT_EQ(Pen.GetColor(C), Ok);  // the earlier failure is not this read's
  EXPECT_EQ(C, MakeARGB(255, 10, 20, 30));
  EXPECT_EQ(Pen.GetLastStatus(), InvalidParameter);  // still kept until read
  EXPECT_EQ(Pen.GetLastStatus(), Ok);

  TGPLinearGradientBrush Gradient(MakePointF(0, 0), MakePointF(10, 0), MakeARGB(255, 255, 0, 0),
                                  MakeARGB(255, 0, 0, 255));
  TGPPen Graded(Gradient, 1);
  C = 0x12345678;
  EXPECT_EQ(Graded.GetColor(C), WrongState);
  EXPECT_EQ(C, 0x12345678u);
  const auto Brush = Graded.GetBrush();
  EXPECT_NE(dynamic_cast<TGPLinearGradientBrush*>(Brush.get()), nullptr);
  EXPECT_NE(dynamic_cast<TGPSolidBrush*>(Pen.GetBrush().get()), nullptr);

  // Pen settings round-trip.
  EXPECT_EQ(Pen.SetLineJoin(LineJoinRound), Ok);
  EXPECT_EQ(Pen.GetLineJoin(), LineJoinRound);
  EXPECT_EQ(Pen.SetMiterLimit(3), Ok);
  EXPECT_FLOAT_EQ(Pen.GetMiterLimit(), 3);
  const REAL Dashes[] = {2, 1, 4, 1};
  EXPECT_EQ(Pen.SetDashPattern(Dashes, 4), Ok);
  ASSERT_EQ(Pen.GetDashPatternCount(), 4);
  REAL Read[4] = {};
  EXPECT_EQ(Pen.GetDashPattern(Read, 4), Ok);
  EXPECT_FLOAT_EQ(Read[2], 4);
  EXPECT_EQ(Pen.SetStartCap(2), Ok);  // LineCapRound
  EXPECT_EQ(Pen.GetStartCap(), 2);
  const auto Copy = Pen.Clone();
  ASSERT_NE(Copy, nullptr);
  EXPECT_FLOAT_EQ(Copy->GetWidth(), 2);
  EXPECT_EQ(Copy->GetLineJoin(), LineJoinRound);
}

TEST(GdiplusCatalogue, GuardsAnswerInvalidParameterWithoutCallingIn) {
  TVivGdiplusScope Scope;
  TGPFontCollection Collection;
  TGPFontFamily Families[2];
  INT Found = 77;
  EXPECT_EQ(Collection.GetFamilies(0, Families, Found), InvalidParameter);
  EXPECT_EQ(Found, 77);  // untouched
  EXPECT_EQ(Collection.GetFamilies(2, nullptr, Found), InvalidParameter);
  EXPECT_EQ(Collection.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(Collection.GetLastStatus(), InvalidParameter);  // not reset by reading

  TGPBitmap Bitmap(20, 20, PixelFormat32bppARGB);
  TGPGraphics G(&Bitmap);
  EXPECT_EQ(G.MeasureCharacterRanges(u"abc", -1, nullptr, MakeRect(0, 0, 50, 20), nullptr, 0, nullptr),
            InvalidParameter);
  EXPECT_EQ(G.GetLastStatus(), Ok);  // that guard keeps nothing
  const TGPPointF Two[] = {{0, 0}, {5, 5}};
  EXPECT_EQ(G.DrawImage(&Bitmap, Two, 2), InvalidParameter);
  EXPECT_EQ(G.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(G.DrawImage(&Bitmap, Two, 2, 0.0f, 0.0f, 5.0f, 5.0f, UnitPixel), InvalidParameter);
  EXPECT_EQ(G.DrawImage(&Bitmap, static_cast<const TGPPointF*>(nullptr), 3, 0.0f, 0.0f, 5.0f, 5.0f, UnitPixel),
            InvalidParameter);
  // Three points (a parallelogram) draw.
  TGPBitmap Source(4, 4, PixelFormat32bppARGB);
  const TGPPoint Three[] = {{0, 0}, {4, 0}, {0, 4}};
  EXPECT_EQ(G.DrawImage(&Source, Three, 3, 0, 0, 4, 4, UnitPixel), Ok);
  EXPECT_EQ(G.DrawImage(&Source, TGPRect{4, 4, 8, 8}, 0, 0, 4, 4, UnitPixel), Ok);

  TGPLinearGradientBrush Gradient(MakeRect(0, 0, 10, 10), MakeARGB(255, 0, 0, 0), MakeARGB(255, 255, 255, 255),
                                  LinearGradientModeHorizontal);
  REAL Factors[2] = {}, Positions[2] = {};
  EXPECT_EQ(Gradient.GetBlend(Factors, nullptr, 2), InvalidParameter);
  EXPECT_EQ(Gradient.GetBlend(Factors, Positions, 0), InvalidParameter);
  ARGB Colors[2] = {};
  EXPECT_EQ(Gradient.GetInterpolationColors(Colors, Positions, 0), InvalidParameter);

  TGPPen Pen(MakeARGB(255, 0, 0, 0));
  EXPECT_EQ(Pen.GetCustomEndCap(nullptr), InvalidParameter);
}

TEST(GdiplusCatalogue, FailedVisibilityQuestionsAnswerTheirSafeSide) {
  TVivGdiplusScope Scope;
  TGPGraphics Nothing(static_cast<TGPImage*>(nullptr));
  ASSERT_EQ(Nothing.Native(), nullptr);
  EXPECT_TRUE(Nothing.IsVisible(0.0f, 0.0f, 5.0f, 5.0f));  // a rectangle: drawn rather than lost
  EXPECT_TRUE(Nothing.IsVisible(0, 0, 5, 5));
  EXPECT_FALSE(Nothing.IsVisible(1.0f, 1.0f));
  EXPECT_FALSE(Nothing.IsVisible(1, 1));
  EXPECT_EQ(Nothing.GetInterpolationMode(), -1);
  EXPECT_EQ(Nothing.GetPixelOffsetMode(), -1);
  EXPECT_EQ(Nothing.BeginContainer(), 0u);
  TGPRegion Region(MakeRect(0, 0, 10, 10));
  EXPECT_FALSE(Region.IsVisible(100.0f, 100.0f, &Nothing));
  TGPGraphicsPath NoPath(static_cast<GpPath*>(nullptr));
  EXPECT_FALSE(NoPath.IsVisible(5.0f, 5.0f));
  EXPECT_FALSE(NoPath.IsOutlineVisible(5, 5, nullptr));
  EXPECT_EQ(NoPath.GetFillMode(), FillModeAlternate);
  EXPECT_NE(NoPath.GetLastStatus(), Ok);
}

TEST(GdiplusCatalogue, PathsCloneWidenAndAnswerTheirFillMode) {
  TVivGdiplusScope Scope;
  TGPGraphicsPath Winding(FillModeWinding);
  EXPECT_EQ(Winding.GetFillMode(), FillModeWinding);
  EXPECT_EQ(Winding.SetFillMode(FillModeAlternate), Ok);
  EXPECT_EQ(Winding.GetFillMode(), FillModeAlternate);

  TGPGraphicsPath Path;
  const TGPPointF Line[] = {{0, 0}, {10, 0}, {10, 10}};
  EXPECT_EQ(Path.AddLines(Line, 3), Ok);
  TGPPointF Last{};
  EXPECT_EQ(Path.GetLastPoint(Last), Ok);
  EXPECT_FLOAT_EQ(Last.Y, 10);
  EXPECT_EQ(Path.Reverse(), Ok);
  EXPECT_EQ(Path.GetLastPoint(Last), Ok);
  EXPECT_FLOAT_EQ(Last.X, 0);
  EXPECT_FLOAT_EQ(Last.Y, 0);
  const auto Copy = Path.Clone();
  ASSERT_NE(Copy, nullptr);
  EXPECT_EQ(Copy->GetPointCount(), 3);
  TGPGraphicsPath Constructed(*Copy);
  EXPECT_EQ(Constructed.GetPointCount(), 3);

  TGPPen Thick(MakeARGB(255, 0, 0, 0), 4);
  EXPECT_FALSE(Path.IsOutlineVisible(10.0f, 5.0f, nullptr));
  EXPECT_TRUE(Path.IsOutlineVisible(10.0f, 5.0f, &Thick));
  EXPECT_EQ(Path.Widen(Thick), Ok);
  TGPRect Bounds{};
  EXPECT_EQ(Path.GetBounds(Bounds), Ok);
  EXPECT_GE(Bounds.Width, 12);

  TGPGraphicsPath Pieces;
  const TGPRect Boxes[] = {{0, 0, 4, 4}, {10, 10, 4, 4}};
  EXPECT_EQ(Pieces.AddRectangles(Boxes, 2), Ok);
  EXPECT_EQ(Pieces.GetPointCount(), 8);
  BYTE Types[8] = {};
  EXPECT_EQ(Pieces.GetPathTypes(Types, 8), Ok);
  EXPECT_EQ(Types[0], 0);  // start of a figure
  TGPPoint Points[8] = {};
  EXPECT_EQ(Pieces.GetPathPoints(Points, 8), Ok);
  EXPECT_EQ(Points[4].X, 10);
  EXPECT_TRUE(Pieces.IsVisible(12, 12));
  EXPECT_FALSE(Pieces.IsVisible(7, 7));
}

TEST(GdiplusCatalogue, RegionsCombineCloneAndComeFromSystemRegions) {
  TVivGdiplusScope Scope;
  TGPBitmap Bitmap(50, 50, PixelFormat32bppARGB);
  TGPGraphics G(&Bitmap);
  TGPRegion Region(TGPRect{0, 0, 20, 20});
  EXPECT_EQ(Region.Union(TGPRect{30, 30, 10, 10}), Ok);
  EXPECT_TRUE(Region.IsVisible(35, 35));
  EXPECT_FALSE(Region.IsVisible(25, 25));
  EXPECT_EQ(Region.Exclude(MakeRect(0, 0, 10, 10)), Ok);
  EXPECT_FALSE(Region.IsVisible(5.0f, 5.0f));
  TGPRectF Bounds{};
  EXPECT_EQ(Region.GetBounds(Bounds, G), Ok);
  EXPECT_FLOAT_EQ(Bounds.Width, 40);
  const auto Copy = Region.Clone();
  EXPECT_TRUE(Copy->IsEqual(Region, G));
  EXPECT_EQ(Copy->MakeEmpty(), Ok);
  EXPECT_TRUE(Copy->IsEmpty(G));
  TGPRegion Infinite;
  EXPECT_TRUE(Infinite.IsInfinite(G));
  EXPECT_GT(Region.GetDataSize(), 0u);

  const TGdiObject System(CreateRectRgn(5, 5, 15, 15));
  const auto FromSystem = TGPRegion::FromHRGN(static_cast<HRGN>(System.Get()));
  ASSERT_NE(FromSystem, nullptr);
  EXPECT_TRUE(FromSystem->IsVisible(10, 10));
  const TGdiObject Back(FromSystem->GetHRGN(G));
  ASSERT_TRUE(Back);
  EXPECT_TRUE(PtInRegion(static_cast<HRGN>(Back.Get()), 10, 10));
}

TEST(GdiplusCatalogue, ClipsContainersAndPageSettings) {
  TVivGdiplusScope Scope;
  TGPBitmap Bitmap(100, 100, PixelFormat32bppARGB);
  TGPGraphics A(&Bitmap), B(&Bitmap);
  // IntersectClip with a rectangle is SetClip with the intersect mode.
  EXPECT_EQ(A.SetClip(MakeRect(10, 10, 50, 50)), Ok);
  EXPECT_EQ(B.SetClip(MakeRect(10, 10, 50, 50)), Ok);
  EXPECT_EQ(A.IntersectClip(MakeRect(30, 30, 50, 50)), Ok);
  EXPECT_EQ(B.SetClip(MakeRect(30, 30, 50, 50), CombineModeIntersect), Ok);
  TGPRectF BoundsA{}, BoundsB{};
  EXPECT_EQ(A.GetClipBounds(BoundsA), Ok);
  EXPECT_EQ(B.GetClipBounds(BoundsB), Ok);
  EXPECT_FLOAT_EQ(BoundsA.X, 30);
  EXPECT_FLOAT_EQ(BoundsA.Width, 30);
  EXPECT_FLOAT_EQ(BoundsA.X, BoundsB.X);
  EXPECT_FLOAT_EQ(BoundsA.Width, BoundsB.Width);
  EXPECT_EQ(A.TranslateClip(5, 5), Ok);
  TGPRect Whole{};
  EXPECT_EQ(A.GetClipBounds(Whole), Ok);
  EXPECT_EQ(Whole.X, 35);
  EXPECT_FALSE(A.IsClipEmpty());
  EXPECT_EQ(A.ExcludeClip(TGPRect{0, 0, 100, 100}), Ok);
  EXPECT_TRUE(A.IsClipEmpty());

  TGPGraphics G(&Bitmap);
  EXPECT_EQ(G.SetPageUnit(UnitPixel), Ok);
  EXPECT_EQ(G.GetPageUnit(), UnitPixel);
  EXPECT_EQ(G.SetPageScale(2), Ok);
  EXPECT_FLOAT_EQ(G.GetPageScale(), 2);
  TGPPointF P[] = {{10, 10}};
  EXPECT_EQ(G.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, P, 1), Ok);
  EXPECT_FLOAT_EQ(P[0].X, 20);
  EXPECT_EQ(G.SetPageScale(1), Ok);
  EXPECT_GT(G.GetDpiX(), 0);
  EXPECT_EQ(G.SetRenderingOrigin(3, 4), Ok);
  INT X = -1, Y = -1;
  EXPECT_EQ(G.GetRenderingOrigin(X, Y), Ok);
  EXPECT_EQ(X, 3);
  EXPECT_EQ(Y, 4);
  EXPECT_EQ(G.SetCompositingMode(CompositingModeSourceCopy), Ok);
  EXPECT_EQ(G.GetCompositingMode(), CompositingModeSourceCopy);
  EXPECT_EQ(G.SetInterpolationMode(5), Ok);  // nearest neighbour
  EXPECT_EQ(G.GetInterpolationMode(), 5);

  const UINT State = G.BeginContainer();
  EXPECT_NE(State, 0u);
  EXPECT_EQ(G.TranslateTransform(50, 0), Ok);
  EXPECT_EQ(G.EndContainer(State), Ok);
  TGPPointF Q[] = {{1, 1}};
  EXPECT_EQ(G.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, Q, 1), Ok);
  EXPECT_FLOAT_EQ(Q[0].X, 1);  // the container's transform ended with it
}

TEST(GdiplusCatalogue, BrushClonesAreOfThePlainKindAndGradientsReadBack) {
  TVivGdiplusScope Scope;
  TGPSolidBrush Solid(MakeARGB(255, 1, 2, 3));
  const auto Clone = Solid.Clone();
  ASSERT_NE(Clone, nullptr);
  EXPECT_EQ(dynamic_cast<TGPSolidBrush*>(Clone.get()), nullptr);
  EXPECT_NE(Clone->Native(), nullptr);
  EXPECT_NE(Clone->Native(), Solid.Native());
  EXPECT_EQ(Clone->GetType(), BrushTypeSolidColor);

  TGPLinearGradientBrush Gradient(MakeRect(0, 0, 100, 10), MakeARGB(255, 255, 0, 0), MakeARGB(255, 0, 0, 255),
                                  LinearGradientModeHorizontal);
  EXPECT_EQ(Gradient.GetType(), BrushTypeLinearGradient);
  ARGB C1 = 0, C2 = 0;
  EXPECT_EQ(Gradient.GetLinearColors(C1, C2), Ok);
  EXPECT_EQ(C1, MakeARGB(255, 255, 0, 0));
  EXPECT_EQ(C2, MakeARGB(255, 0, 0, 255));
  EXPECT_EQ(Gradient.SetLinearColors(MakeARGB(255, 0, 255, 0), MakeARGB(255, 0, 0, 0)), Ok);
  EXPECT_EQ(Gradient.GetLinearColors(C1, C2), Ok);
  EXPECT_EQ(C1, MakeARGB(255, 0, 255, 0));
  TGPRectF R{};
  EXPECT_EQ(Gradient.GetRectangle(R), Ok);
  EXPECT_FLOAT_EQ(R.Width, 100);
  const REAL Factors[] = {0, 1, 0}, Positions[] = {0, 0.5f, 1};
  EXPECT_EQ(Gradient.SetBlend(Factors, Positions, 3), Ok);
  EXPECT_EQ(Gradient.GetBlendCount(), 3);
  EXPECT_EQ(Gradient.SetWrapMode(WrapModeTileFlipX), Ok);
  EXPECT_EQ(Gradient.GetWrapMode(), WrapModeTileFlipX);
}

TEST(GdiplusCatalogue, APictureDrawnWithTheCatalogue) {
  TVivGdiplusScope Scope;
  TGPBitmap Bitmap(200, 120, PixelFormat32bppARGB);
  TGPGraphics G(&Bitmap);
  G.SetSmoothingMode(SmoothingModeAntiAlias);
  TGPSolidBrush White(MakeARGB(255, 255, 255, 255));
  EXPECT_EQ(G.FillRectangle(White, TGPRect{0, 0, 200, 120}), Ok);
  TGPSolidBrush Orange(MakeARGB(255, 240, 140, 20));
  EXPECT_EQ(G.FillPie(Orange, MakeRect(10, 10, 60, 60), 0, 270), Ok);
  TGPPen Navy(MakeARGB(255, 20, 30, 120), 2);
  EXPECT_EQ(G.DrawPie(Navy, 10, 10, 60, 60, 0.0f, 270.0f), Ok);
  const TGPPointF Wave[] = {{80, 60}, {100, 20}, {120, 60}, {140, 100}, {160, 60}, {180, 20}};
  EXPECT_EQ(G.DrawCurve(Navy, Wave, 6, 0.5f), Ok);
  EXPECT_EQ(G.DrawBezier(Navy, 80, 100, 110, 80, 150, 120, 190, 100), Ok);
  const TGPRect Boxes[] = {{20, 85, 15, 15}, {45, 85, 15, 15}};
  TGPLinearGradientBrush Green(MakeRect(20, 85, 40, 15), MakeARGB(255, 0, 160, 60), MakeARGB(255, 200, 255, 200),
                               LinearGradientModeVertical);
  EXPECT_EQ(G.FillRectangles(Green, Boxes, 2), Ok);
  EXPECT_EQ(G.DrawRectangles(Navy, Boxes, 2), Ok);
  TGPRegion Corner(TGPRect{185, 0, 15, 15});
  TGPSolidBrush Red(MakeARGB(255, 220, 30, 30));
  EXPECT_EQ(G.FillRegion(Red, Corner), Ok);

  EXPECT_EQ(PixelAt(Bitmap, 55, 55), MakeARGB(255, 240, 140, 20));   // inside the pie
  EXPECT_EQ(PixelAt(Bitmap, 58, 22), MakeARGB(255, 255, 255, 255));  // the missing quarter
  EXPECT_EQ(PixelAt(Bitmap, 192, 7), MakeARGB(255, 220, 30, 30));
  SavePicture(Bitmap, "drawing_gdiplus_catalogue.png");
}

TEST(GdiplusCatalogue, BitmapsCloneLockAndTravelThroughIcons) {
  TVivGdiplusScope Scope;
  TGPBitmap Bitmap(16, 8, PixelFormat32bppARGB);
  {
    TGPGraphics G(&Bitmap);
    TGPSolidBrush Teal(MakeARGB(255, 0, 128, 128));
    G.FillRectangle(Teal, TGPRect{8, 0, 8, 8});
  }
  TGPSizeF Size{};
  EXPECT_EQ(Bitmap.GetPhysicalDimension(Size), Ok);
  EXPECT_FLOAT_EQ(Size.Width, 16);
  EXPECT_EQ(Bitmap.SetResolution(144, 72), Ok);
  EXPECT_FLOAT_EQ(Bitmap.GetHorizontalResolution(), 144);
  EXPECT_FLOAT_EQ(Bitmap.GetVerticalResolution(), 72);

  const auto Image = Bitmap.Clone();  // a plain image wrapper, even of a bitmap
  ASSERT_NE(Image, nullptr);
  EXPECT_EQ(dynamic_cast<TGPBitmap*>(Image.get()), nullptr);
  EXPECT_EQ(Image->GetWidth(), 16u);

  const auto Right = Bitmap.Clone(TGPRect{8, 0, 8, 8}, PixelFormat32bppARGB);
  ASSERT_NE(Right, nullptr);
  EXPECT_EQ(Right->GetWidth(), 8u);
  EXPECT_EQ(PixelAt(*Right, 0, 0), MakeARGB(255, 0, 128, 128));
  EXPECT_EQ(Bitmap.Clone(TGPRect{10, 0, 100, 8}, PixelFormat32bppARGB), nullptr);  // outside the bitmap
  EXPECT_NE(Bitmap.GetLastStatus(), Ok);                                           // the clone's failure

  BitmapData Data{};
  ASSERT_EQ(Bitmap.LockBits(TGPRect{0, 0, 16, 8}, 1 /* read */, PixelFormat32bppARGB, Data), Ok);
  const auto* Row = static_cast<const ARGB*>(Data.Scan0);
  EXPECT_EQ(Row[12], MakeARGB(255, 0, 128, 128));
  EXPECT_EQ(Bitmap.UnlockBits(Data), Ok);

  HICON Icon = nullptr;
  ASSERT_EQ(Bitmap.GetHICON(Icon), Ok);
  const TIconHandle Owned(Icon);
  const auto Back = TGPBitmap::FromHICON(Icon);
  EXPECT_EQ(Back->GetLastStatus(), Ok);
  EXPECT_EQ(Back->GetWidth(), 16u);

  TGPImage Missing(u"Z:\\no\\such\\picture.png");
  EXPECT_NE(Missing.GetLastStatus(), Ok);
  Size = {5, 5};
  EXPECT_NE(Missing.GetPhysicalDimension(Size), Ok);
  EXPECT_FLOAT_EQ(Size.Width, 0);  // written even on failure
  EXPECT_EQ(Missing.GetFrameDimensionsCount(), 0u);
}

namespace {
// Every pixel of a fresh white Size x Size bitmap after Draw ran on it.
std::vector<ARGB> PixelsDrawnBy(const std::function<void(TGPGraphics&)>& Draw, INT Size = 40) {
  TGPBitmap Bitmap(Size, Size, PixelFormat32bppARGB);
  {
    TGPGraphics G(&Bitmap);
    G.Clear(MakeARGB(255, 255, 255, 255));
    Draw(G);
  }
  std::vector<ARGB> Pixels;
  for (INT y = 0; y < Size; ++y)
    for (INT x = 0; x < Size; ++x) Pixels.push_back(PixelAt(Bitmap, x, y));
  return Pixels;
}

// A 8x8 picture of four coloured quarters, so that a shifted or scaled copy
// shows.
std::unique_ptr<TGPBitmap> Quarters() {
  auto Picture = std::make_unique<TGPBitmap>(8, 8, PixelFormat32bppARGB);
  TGPGraphics G(Picture.get());
  const ARGB Colours[] = {MakeARGB(255, 200, 0, 0), MakeARGB(255, 0, 150, 0), MakeARGB(255, 0, 0, 200),
                          MakeARGB(255, 220, 200, 0)};
  for (INT i = 0; i < 4; ++i) {
    TGPSolidBrush B(Colours[i]);
    G.FillRectangle(B, TGPRect{(i % 2) * 4, (i / 2) * 4, 4, 4});
  }
  return Picture;
}
}  // namespace

// Forms that only restate another (integer coordinates, point records, a
// matrix instead of a translation, a colour set later instead of at
// creation) draw exactly what their counterpart draws.
TEST(GdiplusCatalogue, RestatedFormsDrawTheSamePixelsAsTheirCounterparts) {
  TVivGdiplusScope Scope;
  const auto Picture = Quarters();
  const ARGB Plum = MakeARGB(255, 140, 40, 120);
  struct TCase {
    const char* Name;
    std::function<void(TGPGraphics&)> Form, Counterpart;
  };
  const TCase Cases[] = {
      {"image into integer x, y, width, height",
       [&](TGPGraphics& G) { EXPECT_EQ(G.DrawImage(Picture.get(), 3, 5, 24, 16), Ok); },
       [&](TGPGraphics& G) { EXPECT_EQ(G.DrawImage(Picture.get(), 3.0f, 5.0f, 24.0f, 16.0f), Ok); }},
      {"texture moved by a matrix",
       [&](TGPGraphics& G) {
         TGPTextureBrush Brush(*Picture);
         TGPMatrix Shift(2, 0, 0, 2, 3, 5);
         EXPECT_EQ(Brush.SetTransform(Shift), Ok);
         G.FillRectangle(Brush, TGPRect{0, 0, 40, 40});
       },
       [&](TGPGraphics& G) {
         TGPTextureBrush Brush(*Picture);
         Brush.TranslateTransform(3, 5);
         Brush.ScaleTransform(2, 2);
         G.FillRectangle(Brush, TGPRect{0, 0, 40, 40});
       }},
      {"texture multiplied by a matrix",
       [&](TGPGraphics& G) {
         TGPTextureBrush Brush(*Picture);
         Brush.ScaleTransform(2, 2);
         TGPMatrix Shift(1, 0, 0, 1, 7, 1);
         EXPECT_EQ(Brush.MultiplyTransform(Shift, MatrixOrderAppend), Ok);
         G.FillRectangle(Brush, TGPRect{0, 0, 40, 40});
       },
       [&](TGPGraphics& G) {
         TGPTextureBrush Brush(*Picture);
         Brush.ScaleTransform(2, 2);
         Brush.TranslateTransform(7, 1, MatrixOrderAppend);
         G.FillRectangle(Brush, TGPRect{0, 0, 40, 40});
       }},
      {"solid colour set after creation",
       [&](TGPGraphics& G) {
         TGPSolidBrush Brush(MakeARGB(255, 0, 0, 0));
         EXPECT_EQ(Brush.SetColor(Plum), Ok);
         G.FillEllipse(Brush, 4, 4, 30, 20);
       },
       [&](TGPGraphics& G) {
         TGPSolidBrush Brush(Plum);
         G.FillEllipse(Brush, 4, 4, 30, 20);
       }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const auto Form = PixelsDrawnBy(C.Form), Counterpart = PixelsDrawnBy(C.Counterpart);
    EXPECT_EQ(Form, Counterpart);
    // Something was drawn: not every pixel is still white.
    EXPECT_NE(std::count(Form.begin(), Form.end(), MakeARGB(255, 255, 255, 255)), std::ptrdiff_t(Form.size()));
  }
}

// The restated forms answer what their counterparts answer, and the read-back
// operations answer what was set.
TEST(GdiplusCatalogue, RestatedFormsAnswerWhatTheirCounterpartsAnswer) {
  TVivGdiplusScope Scope;
  TGPGraphicsPath Ring;
  Ring.AddEllipse(10, 10, 40, 40);
  TGPPen Thick(MakeARGB(255, 0, 0, 0), 6);
  const TGPPoint Points[] = {{30, 30}, {11, 30}, {2, 2}, {49, 30}, {30, 8}, {60, 60}};
  INT Inside = 0, OnOutline = 0;
  for (const TGPPoint& P : Points) {
    SCOPED_TRACE(::testing::Message() << P.X << "," << P.Y);
    const TGPPointF F{REAL(P.X), REAL(P.Y)};
    const bool In = Ring.IsVisible(P.X, P.Y);
    EXPECT_EQ(Ring.IsVisible(P), In);
    EXPECT_EQ(Ring.IsVisible(F), Ring.IsVisible(F.X, F.Y));
    const bool Outline = Ring.IsOutlineVisible(P.X, P.Y, &Thick);
    EXPECT_EQ(Ring.IsOutlineVisible(P, &Thick), Outline);
    EXPECT_EQ(Ring.IsOutlineVisible(F, &Thick), Ring.IsOutlineVisible(F.X, F.Y, &Thick));
    Inside += In;
    OnOutline += Outline;
  }
  // The points mean something: some inside, some not, some on the outline.
  EXPECT_GT(Inside, 0);
  EXPECT_LT(Inside, 6);
  EXPECT_GT(OnOutline, 0);
  EXPECT_LT(OnOutline, 6);

  TGPBitmap Bitmap(50, 50, PixelFormat32bppARGB);
  TGPGraphics G(&Bitmap);
  TGPFont Font(u"Arial", 12, 0, UnitPixel);
  TGPRectF Plain{}, WithoutFormat{}, AsRect{};
  EXPECT_EQ(G.MeasureString(u"Folders", -1, &Font, TGPPointF{4, 6}, WithoutFormat), Ok);
  EXPECT_EQ(G.MeasureString(u"Folders", -1, &Font, TGPPointF{4, 6}, nullptr, Plain), Ok);
  EXPECT_EQ(G.MeasureString(u"Folders", -1, &Font, TGPRectF{4, 6, 0, 0}, AsRect), Ok);
  EXPECT_GT(Plain.Width, 10);
  EXPECT_FLOAT_EQ(WithoutFormat.X, 4);
  EXPECT_FLOAT_EQ(WithoutFormat.Width, Plain.Width);
  EXPECT_FLOAT_EQ(WithoutFormat.Height, Plain.Height);
  EXPECT_FLOAT_EQ(WithoutFormat.Width, AsRect.Width);

  TGPSolidBrush Solid(MakeARGB(255, 1, 2, 3));
  ARGB Colour = 0;
  EXPECT_EQ(Solid.SetColor(MakeARGB(128, 10, 20, 30)), Ok);
  EXPECT_EQ(Solid.GetColor(Colour), Ok);
  EXPECT_EQ(Colour, MakeARGB(128, 10, 20, 30));
  Solid.KeepStatus(WrongState);  // an earlier failure is not this read's, and stays kept
  Colour = 0;
  EXPECT_EQ(Solid.GetColor(Colour), Ok);
  EXPECT_EQ(Colour, MakeARGB(128, 10, 20, 30));
  EXPECT_EQ(Solid.GetLastStatus(), WrongState);
  TGPSolidBrush NoBrush(static_cast<GpBrush*>(nullptr), Ok);
  Colour = 0x12345678;
  EXPECT_NE(NoBrush.GetColor(Colour), Ok);  // a failed read leaves the colour as it was
  EXPECT_EQ(Colour, 0x12345678u);
  EXPECT_NE(NoBrush.GetLastStatus(), Ok);

  const auto Picture = Quarters();
  TGPTextureBrush Texture(*Picture);
  TGPMatrix Set(1, 0.5f, 0, 1, 4, 2), Read;
  EXPECT_EQ(Texture.SetTransform(Set), Ok);
  EXPECT_EQ(Texture.GetTransform(Read), Ok);
  EXPECT_TRUE(Read.IsEqual(Set));
  TGPMatrix Twice(2, 0, 0, 2, 0, 0);
  EXPECT_EQ(Texture.MultiplyTransform(Twice), Ok);  // prepended: scale first, then the set transform
  EXPECT_EQ(Texture.GetTransform(Read), Ok);
  TMatrixArray M{};
  Read.GetElements(M);
  EXPECT_FLOAT_EQ(M[0], 2);
  EXPECT_FLOAT_EQ(M[1], 1);
  EXPECT_FLOAT_EQ(M[4], 4);
}
