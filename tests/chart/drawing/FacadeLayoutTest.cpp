// The drawing facade's rules that need no device: line breaks of marked-up
// text, picture placement, texture tiles, progress bars, widget areas, the
// class methods, and the context's path conversion.
#include <gtest/gtest.h>

#include "RecordingGraphicsContext.h"
#include "chart/drawing/VivIzudeGraphics.h"

namespace L = VivIzudeGraphicsLayout;

TEST(FacadeLayout, LineBreaksInEverySpelling) {
  struct {
    String Text;
    std::vector<String> Lines;
  } Cases[] = {
      {u"a<BR>b", {u"a", u"b"}},
      {u"a<br>b<BR/>c", {u"a", u"b", u"c"}},
      {u"<b>a</b><Br />b<bR/>", {u"<b>a</b>", u"b", u""}},
      {u"a<br  >b<br/ >c", {u"a", u"b", u"c"}},
      {u"no breaks</b>", {u"no breaks</b>"}},
      {u"<brx>a<b r>", {u"<brx>a<b r>"}},
      {u"cut<br", {u"cut<br"}},
  };
  for (const auto& C : Cases) EXPECT_EQ(L::SplitAtLineBreaks(C.Text), C.Lines);
  EXPECT_TRUE(L::IsMarkup(u"a<br>b"));
  EXPECT_TRUE(L::IsMarkup(u"x<img/>"));
  EXPECT_FALSE(L::IsMarkup(u"a < b > c"));
}

TEST(FacadeLayout, PicturePlacementAndAspectSize) {
  // A 20 x 10 picture into (0, 0, 100, 100).
  struct {
    bool Aspect, Stretch, Center, Crop;
    TRectF Expected;
  } Cases[] = {
      {false, false, true, false, {40, 45, 60, 55}}, {true, true, false, false, {0, 0, 100, 50}},
      {true, true, true, false, {0, 25, 100, 75}},   {false, true, false, false, {0, 0, 100, 100}},
      {false, false, false, true, {40, 45, 60, 55}}, {true, false, false, false, {0, 0, 20, 10}},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(L::BitmapDrawRectangle(0, 0, 100, 100, 20, 10, C.Aspect, C.Stretch, C.Center, C.Crop), C.Expected);
  EXPECT_EQ(L::BitmapDrawRectangle(10, 20, 110, 120, 20, 10, false, false, true, false), (TRectF{50, 65, 70, 75}));

  float W = -1, H = -1;
  TVivIzudeGraphics::GetAspectSize(W, H, 200, 100, 50, 50, true, false, false);
  EXPECT_EQ(W, 50);
  EXPECT_EQ(H, 25);
  TVivIzudeGraphics::GetAspectSize(W, H, 20, 10, 50, 50, true, false, false);
  EXPECT_EQ(W, 20);
  EXPECT_EQ(H, 10);
  TVivIzudeGraphics::GetAspectSize(W, H, 20, 10, 50, 50, true, true, false);
  EXPECT_EQ(W, 50);
  EXPECT_EQ(H, 25);
  TVivIzudeGraphics::GetAspectSize(W, H, 10, 40, 50, 50, true, true, false);  // the height fills
  EXPECT_EQ(W, 12.5f);
  EXPECT_EQ(H, 50);
  TVivIzudeGraphics::GetAspectSize(W, H, 0, 10, 50, 50, true, true, false);
  EXPECT_EQ(W, 0);
  EXPECT_EQ(H, 0);
}

TEST(FacadeLayout, TextureTilesCoverTheTargetOnly) {
  const std::vector<TRectF> Tiles = L::TextureTiles({0, 0, 50, 30}, 16, 16);
  ASSERT_EQ(Tiles.size(), 8u);  // 4 columns, 2 rows
  EXPECT_EQ(Tiles.front(), (TRectF{0, 0, 16, 16}));
  EXPECT_EQ(Tiles.back(), (TRectF{48, 16, 64, 32}));
  EXPECT_TRUE(L::TextureTiles({0, 0, 50, 30}, 0, 16).empty());
  EXPECT_TRUE(L::TextureTiles({0, 0, 0, 30}, 16, 16).empty());
  // A texture far too small for its area is refused rather than run away.
  EXPECT_TRUE(L::TextureTiles({0, 0, 1e6f, 1e6f}, 0.001f, 0.001f).empty());
}

TEST(FacadeLayout, ProgressBarStaysInsideItsFrame) {
  const TRectF Frame{0, 0, 100, 10};
  // Full, over-full, half, below zero, not a number, no maximum.
  EXPECT_EQ(L::ProgressBarRect(Frame, 100, 100), (TRectF{1, 1, 99, 9}));
  EXPECT_EQ(L::ProgressBarRect(Frame, 150, 100), (TRectF{1, 1, 99, 9}));
  EXPECT_EQ(L::ProgressBarRect(Frame, 50, 100), (TRectF{1, 1, 50, 9}));
  EXPECT_EQ(L::ProgressBarRect(Frame, -5, 100), (TRectF{1, 1, 1, 9}));
  EXPECT_EQ(L::ProgressBarRect(Frame, std::nanf(""), 100), (TRectF{1, 1, 1, 9}));
  EXPECT_EQ(L::ProgressBarRect(Frame, 5, 0), TRectF{});
  EXPECT_EQ(L::ProgressValue(150, 100), 100);
  EXPECT_EQ(L::ProgressValue(-5, 100), 0);
  EXPECT_EQ(L::ProgressValue(std::nanf(""), 100), 0);
}

TEST(FacadeLayout, WidgetAreas) {
  EXPECT_EQ(L::DropDownGlyphArea({0, 0, 17, 20}, 7, false), (TRectF{0, 0, 17, 20}));
  EXPECT_EQ(L::DropDownGlyphArea({0, 0, 100, 20}, 7, false), (TRectF{83, 0, 100, 20}));
  EXPECT_EQ(L::DropDownGlyphArea({0, 0, 100, 20}, 7, true), (TRectF{0, 0, 100, 20}));
  EXPECT_EQ(L::CheckMarkRect({0, 0, 20, 10}), (TRectF{4, 2, 16, 8}));
  EXPECT_EQ(L::AlignBlock({0, 0, 100, 50}, 20, 10, gtaCenter, gtaTrailing), (TRectF{40, 40, 60, 50}));
  EXPECT_EQ(L::AlignBlock({0, 0, 100, 50}, 20, 10, gtaTrailing, gtaLeading), (TRectF{80, 0, 100, 10}));
}

TEST(FacadeClassMethods, ColoursHitTestsAndDefaults) {
  EXPECT_EQ(TVivIzudeGraphics::GetColorRed(0x123456), 0x56);
  EXPECT_EQ(TVivIzudeGraphics::GetColorGreen(0x123456), 0x34);
  EXPECT_EQ(TVivIzudeGraphics::GetColorBlue(0x123456), 0x12);
  EXPECT_EQ(TVivIzudeGraphics::ColorToHTML(0x0000FF), u"#FF0000");
  EXPECT_EQ(TVivIzudeGraphics::HTMLToColor(u"#FF0000"), 0x0000FF);

  const TVivIzudeGraphicsPathPolygon Square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(TVivIzudeGraphics::PointInPolygon(TPointF{5, 5}, Square));
  EXPECT_FALSE(TVivIzudeGraphics::PointInPolygon(TPoint{20, 5}, Square));
  EXPECT_TRUE(TVivIzudeGraphics::PointInRect(TPoint{0, 0}, TRect{0, 0, 2, 2}));
  EXPECT_FALSE(TVivIzudeGraphics::PointInRect(TPointF{2, 1}, TRectF{0, 0, 2, 2}));
  TVivIzudeGraphicsPath Path;
  Path.AddPolygon(Square);
  EXPECT_TRUE(TVivIzudeGraphics::PointInPath(TPoint{5, 5}, Path));
  EXPECT_FALSE(TVivIzudeGraphics::PointInPath(TPointF{-1, 5}, Path));

  DefaultFillColor = 1;
  TVivIzudeGraphics::SetDefaultGraphicColors();
  EXPECT_EQ(DefaultFillColor, MakeColor(225, 225, 225));
  EXPECT_EQ(DefaultActiveStrokeColor, MakeColor(60, 127, 177));
  EXPECT_EQ(DefaultDisabledFillColor, 0xD3D3D3);
  EXPECT_EQ(DefaultBackgroundStrokeColor, 0xC0C0C0);
}

TEST(GraphicsContext, ConvertToPathSamplesCurvesByFlatness) {
  TRecordingGraphicsContext C(nullptr);
  TVivIzudeGraphicsPath P;
  P.MoveTo({0, 0});
  P.LineTo({10, 0});
  P.CurveTo({10, 10}, {20, 10}, {20, 0});
  P.ClosePath();
  C.ConvertToPath(P, 1);
  ASSERT_EQ(C.Paths.size(), 1u);
  const std::vector<TPointF>& Pts = C.Paths[0];
  // Move, line, then the curve sampled at about one point per pixel.
  ASSERT_GT(Pts.size(), 10u);
  EXPECT_EQ(Pts[0], (TPointF{0, 0}));
  EXPECT_EQ(Pts[1], (TPointF{10, 0}));
  EXPECT_NEAR(Pts.back().X, 20, 1e-4);
  EXPECT_NEAR(Pts.back().Y, 0, 1e-4);

  // Flatness 0 counts as 0.05; a curve shorter than twice that is one line.
  TVivIzudeGraphicsPath Tiny;
  Tiny.MoveTo({0, 0});
  Tiny.CurveTo({0.01f, 0}, {0.02f, 0}, {0.03f, 0});
  C.ConvertToPath(Tiny, 0);
  ASSERT_EQ(C.Paths.size(), 2u);
  EXPECT_EQ(C.Paths[1], (std::vector<TPointF>{{0, 0}, {0.03f, 0}}));
}

TEST(FacadeLayout, WhatAShapeIsFilledAndStrokedWith) {
  struct {
    TVivIzudeGraphicsFillKind Kind;
    TColor Color;
    bool Fills, FillsWithoutTextures;
  } Fills[] = {
      {gfkSolid, 0xFF, true, true},     {gfkGradient, 0, true, true},
      {gfkNone, 0xFF, false, false},    {gfkSolid, -1, false, false},
      {gfkSolid, clNone, false, false}, {gfkTexture, -1, true, false},  // a texture paints whatever its colour
      {gfkTexture, 0xFF, true, true},
  };
  for (const auto& F : Fills) {
    EXPECT_EQ(L::FillsShape(F.Kind, F.Color), F.Fills) << F.Kind << " " << F.Color;
    EXPECT_EQ(L::FillsShape(F.Kind, F.Color, false), F.FillsWithoutTextures) << F.Kind << " " << F.Color;
  }
  EXPECT_TRUE(L::StrokesShape(gskDash, 0));
  EXPECT_FALSE(L::StrokesShape(gskNone, 0));
  EXPECT_FALSE(L::StrokesShape(gskSolid, -1));
  EXPECT_FALSE(L::StrokesShape(gskSolid, clNone));
}

TEST(FacadeLayout, OwnDrawnWidgetColours) {
  TVivIzudeGraphics::SetDefaultGraphicColors();
  struct {
    bool Focused, Enabled, Styled;
    TColor Frame, Fill;
  } Buttons[] = {
      {false, true, false, 0xA9A9A9, MakeColor(225, 225, 225)},
      {true, true, false, MakeColor(60, 127, 177), MakeColor(229, 241, 251)},
      {true, false, false, 0xA9A9A9, 0xD3D3D3},  // disabled wins over focused
      {false, false, false, 0xA9A9A9, 0xD3D3D3},
  };
  for (const auto& B : Buttons) {
    const L::TButtonColors C = L::ButtonColors(B.Focused, B.Enabled, B.Styled);
    EXPECT_EQ(C.Frame, B.Frame);
    EXPECT_EQ(C.Fill, B.Fill);
    // The reset default colours are the fixed ones.
    const L::TButtonColors S = L::ButtonColors(B.Focused, B.Enabled, true);
    EXPECT_EQ(S.Frame, B.Frame);
    EXPECT_EQ(S.Fill, B.Fill);
  }
  DefaultDisabledFillColor = 0x123456;
  EXPECT_EQ(L::ButtonColors(true, false, true).Fill, 0x123456);
  EXPECT_EQ(L::ButtonColors(true, false, false).Fill, 0xD3D3D3);
  TVivIzudeGraphics::SetDefaultGraphicColors();

  const L::TButtonColors Normal = L::ButtonColors(false, true, false);
  EXPECT_EQ(L::ButtonInnerFrame(Normal, true), 0xCBCBCB);  // LightenColor($A9A9A9, 40)
  EXPECT_EQ(L::ButtonInnerFrame(Normal, false), Normal.Fill);
  EXPECT_EQ(L::CheckMarkColor(true, true), 0xB48246);
  EXPECT_EQ(L::CheckMarkColor(false, true), 0);
  EXPECT_EQ(L::CheckMarkColor(true, false), 0xA9A9A9);
  EXPECT_EQ(L::CheckBoxGround(true), 0xF8F8F8);
  EXPECT_EQ(L::CheckBoxGround(false), 0xD3D3D3);
  EXPECT_EQ(L::ProgressBarGround(true), 0xF4F4F4);
  EXPECT_EQ(L::ProgressBarGround(false), 0xD3D3D3);
}
