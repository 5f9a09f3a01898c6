// The GDI+ back end on a real bitmap under Wine: scenes that end and start
// again, the base state that anti-aliasing and text quality return to,
// clips, the object builders, turned text and the picture cache.
#include "chart/drawing/win/VivIzudeGraphicsWin.h"

#include <gtest/gtest.h>

#include "BackendTestSupport.h"

using namespace backendtest;

namespace {

struct GdiPlusBackEnd : testing::Test {
  std::unique_ptr<TVivIzudeGraphics> G = TVivIzudeGraphics::CreateBitmapCanvas(120, 100, true);
  TVivIzudeGraphicsContextWin& Ctx() { return *dynamic_cast<TVivIzudeGraphicsContextWin*>(G->Context()); }
  TColor Px(Integer X, Integer Y) { return G->Bitmap()->Canvas()->Pixel(X, Y); }
  void SetUp() override {
    ASSERT_NE(dynamic_cast<TVivIzudeGraphicsContextWin*>(G->Context()), nullptr);
    ASSERT_NE(Ctx().GPGraphics(), nullptr) << "GDI+ is not running";
    G->BeginScene();
    SolidFill(*G, 0x0000FF);
    SolidStroke(*G, 0x000000);
  }
  // Hands the scene's drawing to the bitmap.
  void Finish() { G->EndScene(); }
};

}  // namespace

TEST_F(GdiPlusBackEnd, ASceneAfterTheFirstIsDrawnToo) {
  G->DrawRectangle(10, 10, 30, 30);
  Finish();
  EXPECT_EQ(Ctx().GPGraphics(), nullptr);
  EXPECT_EQ(Px(20, 20), 0x0000FF);
  // Drawing after the end: a new scene, not dropped and not raising.
  SolidFill(*G, 0x00FF00);
  G->DrawRectangle(50, 10, 70, 30);
  Finish();
  EXPECT_EQ(Px(60, 20), 0x00FF00);
  G->BeginScene();
  G->DrawRectangle(90, 10, 110, 30);
  Finish();
  EXPECT_EQ(Px(100, 20), 0x00FF00);
  Save(*G->Bitmap(), "gdiplus-scenes");
}

TEST_F(GdiPlusBackEnd, AntiAliasingAndTextQualityDropTransformsAndClips) {
  Ctx().TranslateTransform(10, 0);
  Ctx().SetAntiAliasing(true);
  G->DrawRectangle(0, 0, 10, 10);
  Ctx().ClipRect({50, 0, 60, 100});
  Ctx().SetTextQuality(gtqAntiAliasing);
  G->DrawRectangle(0, 20, 10, 30);
  Ctx().ScaleTransform(2, 2);
  Ctx().ResetTransform();
  G->DrawRectangle(0, 40, 10, 50);
  Finish();
  EXPECT_EQ(Px(5, 5), 0x0000FF);  // not moved
  EXPECT_EQ(Px(15, 5), 0xFFFFFF);
  EXPECT_EQ(Px(5, 25), 0x0000FF);  // not clipped
  EXPECT_EQ(Px(5, 45), 0x0000FF);  // not scaled
  EXPECT_EQ(Px(15, 45), 0xFFFFFF);
}

TEST_F(GdiPlusBackEnd, ClipRectReplacesClipPathIntersects) {
  G->Stroke()->SetKind(gskNone);
  Ctx().ClipRect({0, 0, 50, 100});
  Ctx().ClipRect({40, 0, 120, 100});  // replaces the first
  G->DrawRectangle(0, 0, 120, 10);
  Ctx().ResetClip();
  G->DrawRectangle(0, 20, 120, 30);
  Ctx().ClipRect({0, 0, 60, 100});
  TVivIzudeGraphicsPath Disc;
  Disc.AddEllipse({20, 40, 100, 100});
  Ctx().ClipPath(&Disc);  // within the rectangle
  G->DrawRectangle(0, 40, 120, 100);
  Finish();
  EXPECT_EQ(Px(20, 5), 0xFFFFFF);
  EXPECT_EQ(Px(45, 5), 0x0000FF);
  EXPECT_EQ(Px(100, 5), 0x0000FF);
  EXPECT_EQ(Px(5, 25), 0x0000FF);
  EXPECT_EQ(Px(100, 25), 0x0000FF);
  EXPECT_EQ(Px(50, 80), 0x0000FF);
  EXPECT_EQ(Px(22, 42), 0xFFFFFF);  // outside the disc
  EXPECT_EQ(Px(80, 80), 0xFFFFFF);  // inside the disc, outside the rectangle
  Save(*G->Bitmap(), "gdiplus-clips");
}

TEST_F(GdiPlusBackEnd, ObjectBuilders) {
  TVivIzudeGraphicsStroke Half(gskDash, 0x0000FF);
  Half.SetOpacity(0.5f);
  const auto Pen = CreateGraphicsPen(Half);
  ARGB Color = 0;
  ASSERT_EQ(Pen->GetColor(Color), Ok);
  EXPECT_EQ(Color, 0x80FF0000u);  // alpha Round(127.5) = 128, red
  EXPECT_EQ(Pen->GetDashStyle(), DashStyleDash);
  EXPECT_EQ(MakeGraphicsColor(0x123456, 0), 0x00563412u);
  struct TFontCase {
    const char16_t* Name;
    Integer Size;
    const char16_t* Family;
    REAL Points;
  } Fonts[] = {{u"default", 0, u"Arial", 8}, {u"", 12, u"Arial", 12}, {u"Courier New", 10, nullptr, 10}};
  for (const TFontCase& F : Fonts) {
    TVivIzudeGraphicsFont Font;
    Font.SetName(F.Name);
    Font.SetSize(F.Size);
    const auto Made = CreateGraphicsFont(Font);
    ASSERT_NE(Made->Native(), nullptr);
    // The family GDI+ resolves the name to (Wine maps Arial to another).
    if (F.Family) {
      TVivGdiplusScope Scope;
      EXPECT_EQ(Made->FamilyName(), TGPFont(String(F.Family), 8).FamilyName());
    }
    EXPECT_EQ(Made->GetSize(), F.Points);
  }
  // A fill that is a texture (or none) paints nothing through the brush.
  TVivIzudeGraphicsFill Texture(gfkTexture, 0x0000FF);
  Ctx().SetFill(&Texture);
  Ctx().FillRect(&Texture, {0, 0, 50, 50});
  Finish();
  EXPECT_EQ(Px(25, 25), 0xFFFFFF);
}

TEST_F(GdiPlusBackEnd, TurnedText) {
  EXPECT_EQ(Ctx().SetTextAngle({0, 0, 20, 100}, 90), (TRectF{-50, -10, 50, 10}));
  Ctx().ResetTextAngle(90);
  EXPECT_EQ(Ctx().SetTextAngle({5, 5, 25, 105}, 0), (TRectF{5, 5, 25, 105}));
  G->Font()->SetName(u"Arial");
  G->Font()->SetSize(12);
  G->Font()->SetColor(0x000000);
  G->DrawText(TRectF{10, 0, 40, 100}, u"Quorvel", false, gtaCenter, gtaCenter, gttNone, 90);
  G->DrawRectangle(60, 0, 70, 10);  // the transform is back: drawn where asked
  Finish();
  EXPECT_GT(InkedPixels(*G->Bitmap(), {10, 0, 40, 100}), 30);
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {10, 0, 40, 15}), 0) << "centred along the rectangle";
  EXPECT_EQ(Px(65, 5), 0x0000FF);
  Save(*G->Bitmap(), "gdiplus-text");
}

// Text without trimming is not trimmed: GDI+ itself trims by character
// unless the format says otherwise.
TEST_F(GdiPlusBackEnd, StringFormatsTrimOnlyWhenAsked) {
  const std::pair<TVivIzudeGraphicsTextTrimming, StringTrimming> Cases[] = {
      {gttNone, StringTrimmingNone}, {gttCharacter, StringTrimmingCharacter}, {gttWord, StringTrimmingWord}};
  for (const auto& [Asked, Expected] : Cases)
    for (bool Wrapping : {false, true})
      EXPECT_EQ(CreateGraphicsStringFormat(gtaLeading, gtaLeading, Wrapping, false, Asked)->GetTrimming(), Expected)
          << int(Asked) << " wrapping " << Wrapping;
  Finish();
}

// A picture drawn many times in a scene is converted once; a different
// picture, even one made where the last one was freed, is converted anew.
TEST_F(GdiPlusBackEnd, PicturesAreConvertedOncePerContents) {
  TBitmap Red(4, 4);
  Red.Canvas()->Brush()->SetColor(0x0000FF);
  Red.Canvas()->FillRect({0, 0, 4, 4});
  for (Integer I = 0; I < 20; ++I)
    Ctx().DrawBitmap(&Red, {0, 0, 4, 4}, {static_cast<float>(I * 5), 0, static_cast<float>(I * 5 + 4), 4}, 1);
  EXPECT_EQ(Ctx().ImagesConverted(), 1);
  Red.Canvas()->Brush()->SetColor(0x00FF00);
  Red.Canvas()->FillRect({0, 0, 4, 4});
  Ctx().DrawBitmap(&Red, {0, 0, 4, 4}, {0, 10, 4, 14}, 1);
  EXPECT_EQ(Ctx().ImagesConverted(), 2);
  // A part of a picture: its right half, stretched.
  TBitmap Halves(8, 4);
  Halves.Canvas()->Brush()->SetColor(0x000000);
  Halves.Canvas()->FillRect({0, 0, 4, 4});
  Halves.Canvas()->Brush()->SetColor(0xFF0000);
  Halves.Canvas()->FillRect({4, 0, 8, 4});
  Ctx().DrawBitmap(&Halves, {4, 0, 8, 4}, {0, 40, 40, 80}, 1);
  Finish();
  EXPECT_EQ(Px(2, 2), 0x0000FF);
  EXPECT_EQ(Px(2, 12), 0x00FF00);
  EXPECT_EQ(Px(20, 60), 0xFF0000);
  EXPECT_EQ(Px(2, 60), 0xFF0000);
}

TEST_F(GdiPlusBackEnd, AGradientPolygonSpansThePolygonItself) {
  // A polygon reached without a path: its gradient still runs from its own
  // left edge to its own right edge, not across the whole bitmap.
  G->Stroke()->SetKind(gskNone);
  G->Fill()->BeginUpdate();
  G->Fill()->SetKind(gfkGradient);
  G->Fill()->SetColor(0xFF0000);
  G->Fill()->SetColorTo(0x0000FF);
  G->Fill()->SetOrientation(gfoHorizontal);
  G->Fill()->EndUpdate();
  G->DrawPolygon(TVivIzudeGraphicsPathPolygon{{60, 10}, {110, 10}, {110, 90}, {60, 90}});
  Finish();
  EXPECT_LE(ChannelDistance(Px(61, 50), 0xFF0000), 24) << std::hex << Px(61, 50);
  EXPECT_LE(ChannelDistance(Px(108, 50), 0x0000FF), 24) << std::hex << Px(108, 50);
}
