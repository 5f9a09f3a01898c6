// The canvas back end on a real GDI bitmap: arcs and chords, polylines,
// chosen sides and corners, gradients with mirror colours, turned and
// wrapped text, the focus pen, clips and saved states.
#include "chart/drawing/win/VivIzudeGraphicsGeneral.h"

#include <gtest/gtest.h>

#include "BackendTestSupport.h"

using namespace backendtest;

namespace {

struct CanvasBackEnd : testing::Test {
  std::unique_ptr<TVivIzudeGraphics> G = TVivIzudeGraphics::CreateBitmapCanvas(120, 100, false);
  TVivIzudeGraphicsContextGeneral& Ctx() { return *dynamic_cast<TVivIzudeGraphicsContextGeneral*>(G->Context()); }
  TCanvas& Cv() { return *G->Bitmap()->Canvas(); }
  TColor Px(Integer X, Integer Y) { return Cv().Pixel(X, Y); }
  void SetUp() override {
    ASSERT_NE(dynamic_cast<TVivIzudeGraphicsContextGeneral*>(G->Context()), nullptr);
    G->BeginScene();
    SolidFill(*G, 0x0000FF);
    SolidStroke(*G, 0x000000);
  }
};

}  // namespace

TEST_F(CanvasBackEnd, FillArcFillsTheSegmentAndKeepsThePen) {
  Ctx().FillArc(G->Fill(), {50, 50}, {40, 40}, 0, 90);
  // The segment between the arc from 3 o'clock to 6 o'clock and its chord.
  EXPECT_EQ(Px(75, 75), 0x0000FF);
  EXPECT_EQ(Px(60, 60), 0xFFFFFF);  // beyond the chord, towards the centre
  EXPECT_EQ(Px(20, 20), 0xFFFFFF);
  EXPECT_EQ(Cv().Pen()->Style(), psSolid);
  Save(*G->Bitmap(), "canvas-fillarc");
}

TEST_F(CanvasBackEnd, PolylinesFillTheirPolygonAndDrawOnlyTheirSegments) {
  const TVivIzudeGraphicsPathPolygon Triangle{{10, 90}, {50, 10}, {90, 90}};
  Ctx().FillPolyline(G->Fill(), Triangle);
  EXPECT_EQ(Px(50, 70), 0x0000FF);
  SolidFill(*G, 0xFFFFFF);
  Ctx().FillRect(G->Fill(), {0, 0, 120, 100});
  Ctx().DrawPolyline(G->Stroke(), Triangle);
  EXPECT_EQ(Px(30, 50), 0x000000);  // the first segment
  EXPECT_EQ(Px(50, 90), 0xFFFFFF);  // no closing segment
  EXPECT_EQ(Px(50, 70), 0xFFFFFF);
}

TEST_F(CanvasBackEnd, RectangleSidesAndRoundedCorners) {
  struct TCase {
    TVivIzudeGraphicsSides Sides;
    bool Left, Top, Right, Bottom;
  } Cases[] = {{{gsLeft, gsTop}, true, true, false, false},
               {{}, false, false, false, false},
               {AllSides, true, true, true, true},
               {{gsRight, gsBottom}, false, false, true, true}};
  for (const TCase& C : Cases) {
    SolidFill(*G, 0xFFFFFF);
    Ctx().FillRect(G->Fill(), {0, 0, 120, 100});
    Ctx().DrawRect(G->Stroke(), {10, 10, 60, 50}, C.Sides);
    EXPECT_EQ(Px(10, 30) == 0, C.Left);
    EXPECT_EQ(Px(35, 10) == 0, C.Top);
    EXPECT_EQ(Px(59, 30) == 0, C.Right);
    EXPECT_EQ(Px(35, 49) == 0, C.Bottom);
    // Nothing but the sides asked for.
    const Integer Sides = C.Left + C.Top + C.Right + C.Bottom;
    EXPECT_EQ(InkedPixels(*G->Bitmap(), {11, 11, 59, 49}), 0);
    EXPECT_LE(InkedPixels(*G->Bitmap(), {0, 0, 120, 100}), Sides * 50);
    EXPECT_GE(InkedPixels(*G->Bitmap(), {0, 0, 120, 100}), Sides * 37);
  }
  // Corners: none is a plain rectangle, one a single quarter arc.
  SolidFill(*G, 0xFFFFFF);
  Ctx().FillRect(G->Fill(), {0, 0, 120, 100});
  Ctx().DrawRoundRect(G->Stroke(), {10, 10, 60, 50}, 10, {});
  EXPECT_EQ(Px(10, 10), 0x000000);
  Ctx().DrawRoundRect(G->Stroke(), {70, 10, 110, 50}, 10, {gcTopLeft});
  EXPECT_EQ(Px(70, 10), 0xFFFFFF);  // the rounded corner
  EXPECT_EQ(Px(109, 10), 0x000000);
  EXPECT_EQ(Px(70, 49), 0x000000);
  EXPECT_EQ(Px(109, 49), 0x000000);
  EXPECT_EQ(Px(70, 30), 0x000000);
  EXPECT_EQ(Px(90, 10), 0x000000);
  Save(*G->Bitmap(), "canvas-corners");
}

TEST_F(CanvasBackEnd, GradientsWithAndWithoutMirrorColours) {
  TVivIzudeGraphicsFill& F = *G->Fill();
  F.BeginUpdate();
  F.SetKind(gfkGradient);
  F.SetColor(0x000000);
  F.SetColorTo(clNone);
  F.EndUpdate();
  Ctx().FillRect(&F, {0, 0, 100, 80});
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {0, 0, 120, 100}), 0) << "no second colour: nothing drawn";
  F.BeginUpdate();
  F.SetColorTo(0x0000FF);
  F.SetColorMirror(0x00FF00);
  F.SetColorMirrorTo(0xFF0000);
  F.SetOrientation(gfoVertical);
  F.EndUpdate();
  Ctx().FillRect(&F, {0, 0, 100, 80});
  EXPECT_EQ(Px(50, 0), 0x000000);  // upper half: Color to ColorTo
  EXPECT_LE(ChannelDistance(Px(50, 39), 0x0000FF), 10);
  EXPECT_EQ(Px(50, 40), 0x00FF00);  // lower half: the mirror colours
  EXPECT_LE(ChannelDistance(Px(50, 79), 0xFF0000), 10);
  EXPECT_EQ(Px(50, 85), 0xFFFFFF);
  EXPECT_EQ(Cv().Brush()->Color(), 0x000000);  // brush back as it was
  Save(*G->Bitmap(), "canvas-mirror-gradient");
}

TEST_F(CanvasBackEnd, TurnedAndWrappedText) {
  G->Font()->SetName(u"Arial");
  G->Font()->SetSize(12);
  G->Font()->SetColor(0x000000);
  const Integer Before = Cv().Font()->Orientation();
  // Turned a quarter clockwise: the text runs downwards, centred.
  Ctx().DrawText(u"Quorvel", {10, 0, 50, 100}, false, gtaCenter, gtaCenter, gttNone, 90);
  EXPECT_EQ(Cv().Font()->Orientation(), Before);
  const Integer Down = InkedPixels(*G->Bitmap(), {10, 0, 50, 100});
  EXPECT_GT(Down, 30);
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {10, 0, 50, 15}), 0) << "centred, not from the top";
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {50, 0, 120, 100}), 0);
  // Wrapped and bottom-aligned: the last line ends at the rectangle's bottom.
  Ctx().DrawText(u"one two three four", {60, 0, 110, 90}, true, gtaLeading, gtaTrailing, gttNone, 0);
  const TRectF Extent = Ctx().CalculateText(u"one two three four", {60, 0, 110, 90}, true);
  EXPECT_GT(Extent.Height(), 20);  // more than one line
  Integer LowestInk = -1;
  for (Integer Y = 0; Y < 100; ++Y)
    if (InkedPixels(*G->Bitmap(), {60, Y, 110, Y + 1}) > 0) LowestInk = Y;
  EXPECT_GE(LowestInk, 80);
  EXPECT_LT(LowestInk, 90);
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {60, 0, 110, 90 - static_cast<Integer>(Extent.Height()) - 1}), 0);
  Save(*G->Bitmap(), "canvas-text");
}

TEST_F(CanvasBackEnd, FocusRectangleIsDottedAndLeavesItsColour) {
  G->DrawFocusRectangle(10, 10, 60, 40, 0x0000FF);
  Integer Red = 0;
  for (Integer X = 12; X < 58; ++X) Red += Px(X, 10) == 0x0000FF;
  // Every other pixel of a side.
  EXPECT_GE(Red, 21);
  EXPECT_LE(Red, 25);
  EXPECT_EQ(Cv().Pen()->Color(), 0x0000FF);
  EXPECT_EQ(Px(35, 25), 0xFFFFFF);  // not filled
  // The focus pen is gone: the next line is solid.
  SolidStroke(*G, 0x000000);
  G->DrawLine(TPointF{10, 60}, TPointF{60, 60});
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {10, 60, 60, 61}), 50);
}

TEST_F(CanvasBackEnd, ClipsHoldUntilTheStateIsRestored) {
  auto Outer = G->SaveState(true);
  Ctx().ClipRect({0, 0, 60, 100});
  auto Inner = G->SaveState(true);
  TVivIzudeGraphicsPath Disc;
  Disc.AddEllipse({20, 20, 100, 100});
  Ctx().ClipPath(&Disc);
  Ctx().FillRect(G->Fill(), {0, 0, 120, 100});
  EXPECT_EQ(Px(50, 60), 0x0000FF);  // in the disc and the rectangle
  EXPECT_EQ(Px(25, 25), 0xFFFFFF);  // outside the disc
  EXPECT_EQ(Px(80, 60), 0xFFFFFF);  // in the disc, outside the rectangle
  G->RestoreState(std::move(Inner), true);
  SolidFill(*G, 0x00FF00);
  Ctx().FillRect(G->Fill(), {0, 0, 120, 10});
  EXPECT_EQ(Px(30, 5), 0x00FF00);
  EXPECT_EQ(Px(80, 5), 0xFFFFFF);  // the outer clip still holds
  G->RestoreState(std::move(Outer), true);
  Ctx().FillRect(G->Fill(), {0, 0, 120, 10});
  EXPECT_EQ(Px(80, 5), 0x00FF00);
  // Transforms and anti-aliasing change nothing on the canvas.
  Ctx().RotateTransform(45);
  Ctx().SetAntiAliasing(true);
  SolidFill(*G, 0x0000FF);
  Ctx().FillRect(G->Fill(), {0, 90, 10, 100});
  EXPECT_EQ(Px(5, 95), 0x0000FF);
}

TEST_F(CanvasBackEnd, PathOfSeveralFiguresIsDrawnFigureByFigure) {
  TVivIzudeGraphicsPath P;
  P.AddRectangle({10, 10, 40, 40});
  P.AddRectangle({20, 20, 30, 30});  // a hole by the alternate rule
  P.AddRectangle({70, 60, 100, 90});
  Ctx().FillPath(G->Fill(), &P);
  Ctx().DrawPath(G->Stroke(), &P);
  EXPECT_EQ(Px(15, 15), 0x0000FF);
  EXPECT_EQ(Px(25, 25), 0xFFFFFF);
  EXPECT_EQ(Px(85, 75), 0x0000FF);
  // No line between the figures, nor towards the far separator point.
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {45, 0, 65, 100}), 0);
  EXPECT_EQ(InkedPixels(*G->Bitmap(), {101, 91, 120, 100}), 0);
}
