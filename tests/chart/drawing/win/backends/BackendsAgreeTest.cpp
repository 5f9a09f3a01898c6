// The facade's shapes, gradients and own-drawn widgets through both back
// ends (GDI and GDI+ for real under Wine), compared pixel by pixel where the
// two must agree, and textures cut to their shapes. Every scene is saved as
// backend-*.png (canvas left, GDI+ right) for a person to look at.
#include <gtest/gtest.h>

#include "BackendTestSupport.h"
#include "chart/drawing/VivIzudeTypes.h"
#include "vcl/Pictures.h"

using namespace backendtest;

namespace {

// Tolerances of the comparisons. Anti-aliasing is off, so both back ends
// set whole pixels; they still differ along curved and slanted edges (GDI
// and GDI+ choose different pixels for the same outline, by up to one
// pixel). Hence: a channel difference above 64 counts as a differing
// pixel, and at most 4 % of a scene's pixels may differ.
constexpr Integer kChannelTolerance = 64;
constexpr double kShareTolerance = 0.04;

struct TCompared {
  std::unique_ptr<TBitmap> Canvas, GdiPlus;
};

TCompared DrawBoth(Integer W, Integer H, const TScene& AScene, const std::string& AName) {
  TCompared R{Render(false, W, H, AScene), Render(true, W, H, AScene)};
  SaveSideBySide(*R.Canvas, *R.GdiPlus, AName);
  return R;
}

void ExpectAgree(TCompared& C, const TRect& R, double AShare = kShareTolerance) {
  const Integer Differing = DifferingPixels(*C.Canvas, *C.GdiPlus, R, kChannelTolerance);
  const Integer All = R.Width() * R.Height();
  EXPECT_LE(Differing, static_cast<Integer>(All * AShare)) << Differing << " of " << All << " pixels differ";
}

void ExpectPixel(TCompared& C, Integer X, Integer Y, TColor Expected, Integer Tolerance = 0) {
  EXPECT_LE(ChannelDistance(C.Canvas->Canvas()->Pixel(X, Y), Expected), Tolerance)
      << "canvas at " << X << "," << Y << ": " << std::hex << C.Canvas->Canvas()->Pixel(X, Y);
  EXPECT_LE(ChannelDistance(C.GdiPlus->Canvas()->Pixel(X, Y), Expected), Tolerance)
      << "GDI+ at " << X << "," << Y << ": " << std::hex << C.GdiPlus->Canvas()->Pixel(X, Y);
}

}  // namespace

TEST(BackendsAgree, FilledAndOutlinedShapes) {
  auto C = DrawBoth(
      320, 200,
      [](TVivIzudeGraphics& G) {
        SolidFill(G, 0x0000FF);
        SolidStroke(G, 0x000000);
        G.DrawRectangle(10, 10, 90, 60);
        SolidFill(G, 0x00C000);
        G.DrawEllipse(110, 10, 190, 60);
        SolidFill(G, 0xFF0000);
        G.DrawRoundRectangle(210, 10, 310, 60, 8);
        SolidFill(G, 0x00FFFF);
        G.DrawPolygon({{10, 190}, {50, 110}, {90, 190}});
        SolidStroke(G, 0x800080, 3);
        G.DrawLine(TPointF{110, 110}, TPointF{190, 190});
        G.DrawLine(TPointF{110, 150}, TPointF{190, 150});
        SolidStroke(G, 0x000000);
        SolidFill(G, 0xFF00FF);
        TVivIzudeGraphicsPath P;
        P.AddEllipse({210, 100, 260, 150});
        P.AddRectangle({265, 100, 310, 150});
        G.DrawPath(&P);
        G.Fill()->SetKind(gfkNone);
        G.DrawRectangle(210, 160, 310, 190, TVivIzudeGraphicsSides{gsLeft, gsTop});
        // A fill alone covers its whole rectangle, the last column and row included.
        SolidFill(G, 0x0080FF);
        G.Stroke()->SetKind(gskNone);
        G.DrawRectangle(10, 195, 100, 200);
      },
      "shapes");
  ExpectAgree(C, {0, 0, 320, 200});
  // Each shape's inside has its fill colour, its frame the stroke colour.
  ExpectPixel(C, 50, 35, 0x0000FF);
  ExpectPixel(C, 10, 35, 0x000000);
  ExpectPixel(C, 89, 35, 0x000000);
  ExpectPixel(C, 150, 35, 0x00C000);
  ExpectPixel(C, 260, 35, 0xFF0000);
  ExpectPixel(C, 50, 170, 0x00FFFF);
  ExpectPixel(C, 150, 150, 0x800080);
  ExpectPixel(C, 235, 125, 0xFF00FF);
  ExpectPixel(C, 287, 125, 0xFF00FF);
  // Between the path's two figures nothing is drawn: no line joins them.
  ExpectPixel(C, 262, 140, 0xFFFFFF);
  // The rectangle with two sides has no right or bottom line.
  ExpectPixel(C, 210, 175, 0x000000);
  ExpectPixel(C, 260, 160, 0x000000);
  ExpectPixel(C, 309, 175, 0xFFFFFF);
  ExpectPixel(C, 260, 189, 0xFFFFFF);
  ExpectPixel(C, 99, 199, 0x0080FF);
  ExpectPixel(C, 100, 199, 0xFFFFFF);
  // Rounded corners leave the rectangle's corner pixel white.
  ExpectPixel(C, 210, 10, 0xFFFFFF);
}

TEST(BackendsAgree, TwoColourGradients) {
  auto C = DrawBoth(
      220, 110,
      [](TVivIzudeGraphics& G) {
        G.Stroke()->SetKind(gskNone);
        G.Fill()->BeginUpdate();
        G.Fill()->SetKind(gfkGradient);
        G.Fill()->SetColor(0x000000);
        G.Fill()->SetColorTo(0xFFFFFF);
        G.Fill()->SetOrientation(gfoVertical);
        G.Fill()->EndUpdate();
        G.DrawRectangle(0, 0, 100, 100);
        G.Fill()->BeginUpdate();
        G.Fill()->SetColor(0xFF0000);
        G.Fill()->SetColorTo(0x0000FF);
        G.Fill()->SetOrientation(gfoHorizontal);
        G.Fill()->EndUpdate();
        G.DrawRectangle(110, 0, 210, 100);
      },
      "gradients");
  // The canvas steps through the colours one pixel line at a time, GDI+
  // blends continuously over a rectangle one pixel larger on every side:
  // along the gradient they agree within 8 per channel.
  for (Integer Y = 5; Y < 95; Y += 10) {
    const TColor A = C.Canvas->Canvas()->Pixel(50, Y), B = C.GdiPlus->Canvas()->Pixel(50, Y);
    EXPECT_LE(ChannelDistance(A, B), 8) << "row " << Y << std::hex << ": " << A << " / " << B;
    EXPECT_NEAR(static_cast<double>(A & 0xFF), Y * 2.55, 8) << "row " << Y;
  }
  for (Integer X = 115; X < 205; X += 10) {
    const TColor A = C.Canvas->Canvas()->Pixel(X, 50), B = C.GdiPlus->Canvas()->Pixel(X, 50);
    EXPECT_LE(ChannelDistance(A, B), 8) << "column " << X << std::hex << ": " << A << " / " << B;
  }
  // Light at the bottom, dark at the top; blue on the left, red on the right.
  ExpectPixel(C, 50, 1, 0x000000, 10);
  ExpectPixel(C, 50, 98, 0xFFFFFF, 10);
  ExpectPixel(C, 111, 50, 0xFF0000, 10);
  ExpectPixel(C, 208, 50, 0x0000FF, 10);
}

TEST(BackendsAgree, OwnDrawnWidgets) {
  TVivIzudeGraphics::SetDefaultGraphicColors();
  auto C = DrawBoth(
      300, 150,
      [](TVivIzudeGraphics& G) {
        G.DrawCheckBox(TRectF{10, 10, 30, 30}, true, false, true);
        G.DrawCheckBox(TRectF{40, 10, 60, 30}, false, true, true);
        G.DrawCheckBox(TRectF{70, 10, 90, 30}, true, false, false);
        G.DrawRadioButton(TRectF{100, 10, 120, 30}, true, false, true);
        G.DrawRadioButton(TRectF{130, 10, 150, 30}, false, false, true);
        G.DrawButton(TRectF{160, 10, 230, 35}, false, false, true);
        G.DrawButton(TRectF{240, 10, 290, 35}, true, true, true);
        G.DrawExpanderButton(TRectF{10, 50, 34, 74}, gesCollapsed, false, false, true, true);
        G.DrawExpanderButton(TRectF{40, 50, 64, 74}, gesExpanded, false, false, true, true);
        G.DrawCloseButton(TRectF{70, 50, 94, 74}, false, false, true, true);
        // The glyph pictures of the program's resources.
        G.DrawExpanderButton(TRectF{10, 120, 34, 144}, gesCollapsed, false, false, true);
        G.DrawCloseButton(TRectF{40, 120, 64, 144}, true, false, true);
        G.DrawCompactButton(TRectF{70, 120, 94, 144}, gcsExpanded, false, false, true);
        G.DrawDropDownButton(TRectF{110, 120, 290, 144}, false, false, true);
        G.DrawProgressBar(TRectF{110, 50, 290, 74}, 40, u"%.0f%%", 100, 0xB48246, 0, false);
        G.DrawProgressBar(TRectF{10, 85, 290, 110}, 150, u"%.0f%%", 100, 0x3070E0, 0xFFFFFF, true);
      },
      "widgets");
  ExpectAgree(C, {0, 0, 300, 150});
  // Check box: light inside, black frame, a black cross when checked.
  ExpectPixel(C, 13, 13, 0xF8F8F8);
  ExpectPixel(C, 11, 20, 0x000000);
  ExpectPixel(C, 20, 20, 0x000000, 40);
  ExpectPixel(C, 50, 20, 0xF8F8F8);      // unchecked: no cross
  ExpectPixel(C, 80, 20, 0xA9A9A9, 40);  // disabled: the cross in grey
  ExpectPixel(C, 73, 13, 0xD3D3D3);
  // Radio button: a filled dot when checked, none otherwise.
  ExpectPixel(C, 110, 20, 0x000000);
  ExpectPixel(C, 140, 20, 0xF8F8F8);
  // Buttons: the normal fill, the focused fill, a pressed inner frame.
  ExpectPixel(C, 195, 22, MakeColor(225, 225, 225));
  ExpectPixel(C, 265, 22, MakeColor(229, 241, 251));
  ExpectPixel(C, 241, 22, LightenColor(MakeColor(60, 127, 177), 40));
  // Progress bars: the bar up to its value, the background after it.
  ExpectPixel(C, 140, 62, 0xB48246);
  ExpectPixel(C, 250, 62, 0xF4F4F4);
  ExpectPixel(C, 280, 97, 0x3070E0);
  // Its text "100%" in white, in the middle of the bar.
  for (TBitmap* B : {C.Canvas.get(), C.GdiPlus.get()}) {
    Integer White = 0;
    for (Integer Y = 88; Y < 108; ++Y)
      for (Integer X = 130; X < 170; ++X) White += ChannelDistance(B->Canvas()->Pixel(X, Y), 0xFFFFFF) < 60;
    EXPECT_GT(White, 20) << "progress text";
    EXPECT_EQ(InkedPixels(*B, {20, 88, 40, 108}), 400) << "no text near the ends";
  }
  // Glyph buttons: the button's fill around a dark chevron or cross.
  ExpectPixel(C, 12, 52, MakeColor(225, 225, 225));
  for (TBitmap* B : {C.Canvas.get(), C.GdiPlus.get()}) {
    Integer Dark = 0;
    for (Integer Y = 52; Y < 72; ++Y)
      for (Integer X = 12; X < 32; ++X) Dark += ChannelDistance(B->Canvas()->Pixel(X, Y), 0) < 80;
    EXPECT_GT(Dark, 6) << "expander glyph";
    EXPECT_LT(Dark, 60) << "expander glyph";
    // The resource glyphs: dark pixels inside each button, none outside.
    for (const TRect& Button : {TRect{10, 120, 34, 144}, TRect{40, 120, 64, 144}, TRect{70, 120, 94, 144}}) {
      Integer Glyph = 0;
      for (Integer Y = Button.Top + 4; Y < Button.Bottom - 4; ++Y)
        for (Integer X = Button.Left + 4; X < Button.Right - 4; ++X)
          Glyph += ChannelDistance(B->Canvas()->Pixel(X, Y), 0) < 100;
      EXPECT_GT(Glyph, 4) << "glyph in the button at " << Button.Left;
    }
  }
}

// A texture fill paints inside the shape only: the corners of an ellipse's
// or a rounded rectangle's bounding rectangle stay as they were, and a clip
// already in force still holds.
TEST(BackendsAgree, TexturesAreCutToTheShape) {
  TBitmap Red(8, 8);
  Red.Canvas()->Brush()->SetColor(0x0000FF);
  Red.Canvas()->FillRect({0, 0, 8, 8});
  Red.Canvas()->SetPixel(0, 0, 0x00FF00);
  TPicture Texture;
  Texture.SetGraphic(&Red);
  auto C = DrawBoth(
      300, 140,
      [&](TVivIzudeGraphics& G) {
        G.Stroke()->SetKind(gskNone);
        G.Fill()->BeginUpdate();
        G.Fill()->SetKind(gfkTexture);
        G.Fill()->SetTexture(&Texture);
        G.Fill()->SetTextureMode(gtmTile);
        G.Fill()->EndUpdate();
        G.DrawEllipse(10, 10, 90, 90);
        G.DrawRoundRectangle(110, 10, 190, 90, 20);
        G.DrawPolygon({{210, 90}, {250, 10}, {290, 90}});
        // The right half is clipped away before the shape is drawn.
        auto State = G.SaveState(true);
        G.ClipRect(TRectF{0, 0, 50, 100});
        G.DrawEllipse(10, 10, 90, 90);
        G.RestoreState(std::move(State), true);
        // A path of two figures: two discs, nothing between them.
        TVivIzudeGraphicsPath Discs;
        Discs.AddEllipse({10, 100, 45, 135});
        Discs.AddEllipse({55, 100, 90, 135});
        G.DrawPath(&Discs);
      },
      "texture-clip");
  for (TBitmap* B : {C.Canvas.get(), C.GdiPlus.get()}) {
    TCanvas& Cv = *B->Canvas();
    EXPECT_EQ(Cv.Pixel(53, 53), 0x0000FF);
    EXPECT_EQ(Cv.Pixel(153, 53), 0x0000FF);
    EXPECT_EQ(Cv.Pixel(253, 69), 0x0000FF);
    // Inside the bounding rectangles, outside the shapes.
    EXPECT_EQ(Cv.Pixel(13, 13), 0xFFFFFF);
    EXPECT_EQ(Cv.Pixel(87, 87), 0xFFFFFF);
    EXPECT_EQ(Cv.Pixel(111, 11), 0xFFFFFF);
    EXPECT_EQ(Cv.Pixel(188, 88), 0xFFFFFF);
    EXPECT_EQ(Cv.Pixel(215, 15), 0xFFFFFF);
    EXPECT_EQ(Cv.Pixel(285, 15), 0xFFFFFF);
    // Not a pixel outside the three bounding rectangles.
    EXPECT_EQ(InkedPixels(*B, {0, 0, 300, 10}), 0);
    EXPECT_EQ(InkedPixels(*B, {90, 0, 110, 100}), 0);
    EXPECT_EQ(InkedPixels(*B, {190, 0, 210, 100}), 0);
    EXPECT_EQ(Cv.Pixel(27, 117), 0x0000FF);
    EXPECT_EQ(Cv.Pixel(73, 117), 0x0000FF);
    EXPECT_EQ(InkedPixels(*B, {46, 100, 54, 140}), 0);
    EXPECT_EQ(InkedPixels(*B, {90, 100, 300, 140}), 0);
  }
  ExpectAgree(C, {0, 0, 300, 140});
}

// The back ends draw the shapes of one large scene the same way, and each
// stays inside its own area: a mixed scene of many small shapes.
TEST(BackendsAgree, ManySmallShapes) {
  auto C = DrawBoth(
      400, 300,
      [](TVivIzudeGraphics& G) {
        for (Integer I = 0; I < 300; ++I) {
          const float X = static_cast<float>((I % 20) * 20), Y = static_cast<float>((I / 20) * 20);
          SolidFill(G, static_cast<TColor>((static_cast<unsigned>(I) * 0x1F3D5Bu) & 0xFFFFFFu));
          SolidStroke(G, 0x202020);
          switch (I % 4) {
            case 0:
              G.DrawRectangle(X + 2, Y + 2, X + 18, Y + 18);
              break;
            case 1:
              G.DrawEllipse(X + 2, Y + 2, X + 18, Y + 18);
              break;
            case 2:
              G.DrawRoundRectangle(TRectF{X + 2, Y + 2, X + 18, Y + 18}, 4);
              break;
            default:
              G.DrawPolygon({{X + 2, Y + 18}, {X + 10, Y + 2}, {X + 18, Y + 18}});
          }
        }
      },
      "many-shapes");
  ExpectAgree(C, {0, 0, 400, 300}, 0.08);
}
