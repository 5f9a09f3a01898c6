// The drawing facade over recording contexts: creation and state, the
// setter protocol, scenes, shapes with fills, strokes and textures,
// pictures, text with and without markup, and the own-drawn widgets.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "FacadeFakes.h"
#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/drawing/win/VivIzudeTypes.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

namespace {

struct FacadeTest : testing::Test {
  void SetUp() override {
    TFakes::Reset();
    TVivIzudeGraphics::ContextClassOverride = nullptr;
  }
  // A canvas facade whose recorded calls start after its construction.
  std::unique_ptr<TVivIzudeGraphics> Make(bool ANative = false) {
    auto G = std::make_unique<TVivIzudeGraphics>(nullptr, ANative);
    Ctx().Calls.clear();
    return G;
  }
  TFakeContext& Ctx(std::size_t I = 0) { return *TFakes::Contexts.at(I); }
  // A picture holding a blank bitmap of W x H.
  static std::unique_ptr<TPicture> Picture(Integer W, Integer H) {
    TBitmap B(W, H);
    auto P = std::make_unique<TPicture>();
    P->SetGraphic(&B);
    return P;
  }
};

}  // namespace

TEST_F(FacadeTest, CreationChoosesTheBackEndAndPushesTheStartValues) {
  TVivIzudeGraphics G(nullptr, false);
  ASSERT_EQ(TFakes::Contexts.size(), 1u);
  EXPECT_EQ(G.Context(), TFakes::Contexts[0]);
  EXPECT_EQ(Ctx().Kind, "general");
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"SetSize", "SetFill", "SetStroke", "SetFont"}));
  EXPECT_EQ(Ctx().Calls[0].Rect, (TRectF{0, 0, 1, 1}));
  EXPECT_EQ(Ctx().Calls[1].Object, G.Fill());
  EXPECT_EQ(G.Fill()->Kind(), gfkSolid);
  EXPECT_EQ(G.Fill()->Color(), 0xFFFFFF);
  EXPECT_EQ(G.Stroke()->Color(), 0xC0C0C0);
  EXPECT_EQ(G.Stroke()->Width(), 1);
  EXPECT_EQ(G.HighlightColor(), 0xFF0000);
  EXPECT_EQ(G.HighlightTextColor(), 0xFFFFFF);
  EXPECT_EQ(G.URLColor(), 0xFF0000);
  EXPECT_TRUE(G.URLUnderline());
  EXPECT_FALSE(G.OptimizedHTMLDrawing());
  EXPECT_EQ(G.Bitmap(), nullptr);

  auto N = TVivIzudeGraphics::CreateNative(nullptr);
  EXPECT_EQ(static_cast<TFakeContext*>(N->Context())->Kind, "native");
  EXPECT_TRUE(N->Native());

  // A bitmap facade of 0 x 0 is valid; its highlight colours are 0.
  auto B = TVivIzudeGraphics::CreateBitmapCanvas(0, 0);
  ASSERT_NE(B->Bitmap(), nullptr);
  EXPECT_EQ(B->Canvas(), B->Bitmap()->Canvas());
  EXPECT_EQ(B->HighlightColor(), 0);
  EXPECT_EQ(B->HighlightTextColor(), 0);
  auto B2 = TVivIzudeGraphics::CreateNativeBitmapCanvas(30, 20);
  EXPECT_EQ(B2->Bitmap()->Width(), 30);
  EXPECT_EQ(TFakes::Contexts.back()->Kind, "native");
  EXPECT_EQ(TFakes::Contexts.back()->Calls[0].Rect, (TRectF{0, 0, 30, 20}));

  // Tests may replace both back ends.
  static TFakeContext* Made = nullptr;
  TVivIzudeGraphics::ContextClassOverride = [](TVivIzudeGraphics* AG) -> std::unique_ptr<TVivIzudeGraphicsContext> {
    auto C = std::make_unique<TFakeContext>(AG, "override");
    Made = C.get();
    return C;
  };
  TVivIzudeGraphics O(nullptr, true);
  EXPECT_EQ(O.Context(), Made);
  TVivIzudeGraphics::ContextClassOverride = nullptr;
}

TEST_F(FacadeTest, SettersReachTheContextAndTheOwnObjects) {
  auto G = Make();
  G->Fill()->SetColor(clRed);  // directly on the object: pushed as a whole
  ASSERT_EQ(Ctx().Names(), (std::vector<std::string>{"SetFill"}));
  EXPECT_EQ(Ctx().Calls[0].Object, G->Fill());
  EXPECT_EQ(G->Fill()->Color(), clRed);

  Ctx().Calls.clear();
  G->SetStrokeWidth(3);
  G->SetStrokeColor(clBlue);
  G->SetFontColor(clGreen);
  G->SetFontSize(11);
  G->SetFillKind(gfkGradient);
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"SetStrokeWidth", "SetStrokeColor", "SetFontColor", "SetFontSize",
                                                     "SetFillKind"}));
  EXPECT_EQ(G->Stroke()->Width(), 3);
  EXPECT_EQ(G->Stroke()->Color(), clBlue);
  EXPECT_EQ(G->Font()->Color(), clGreen);
  EXPECT_EQ(G->Font()->Size(), 11);
  EXPECT_EQ(G->Fill()->Kind(), gfkGradient);

  // A setter inside a change handler (while another setter runs) is ignored.
  Ctx().Calls.clear();
  Ctx().OnSetFill = [&] { G->SetFillColor(clYellow); };
  G->Fill()->SetColor(clAqua);
  Ctx().OnSetFill = nullptr;
  EXPECT_TRUE(Ctx().Named("SetFillColor").empty());
  EXPECT_EQ(G->Fill()->Color(), clAqua);

  // BeginUpdate/EndUpdate batch the pushes.
  Ctx().Calls.clear();
  G->Stroke()->BeginUpdate();
  G->Stroke()->SetColor(clBlack);
  G->Stroke()->SetWidth(2);
  G->Stroke()->EndUpdate();
  EXPECT_EQ(Ctx().Named("SetStroke").size(), 1u);
}

TEST_F(FacadeTest, AssignAndSavedStates) {
  auto G = Make();
  auto Other = std::make_unique<TVivIzudeGraphics>(nullptr, false);
  Other->Fill()->SetColor(clRed);
  Other->Stroke()->SetKind(gskDash);
  Other->Font()->SetName(u"Tahoma");
  Ctx().Calls.clear();
  G->Assign(nullptr);
  EXPECT_TRUE(Ctx().Calls.empty());
  G->Assign(Other.get());
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"SetFill", "SetStroke", "SetFont"}));
  EXPECT_EQ(G->Fill()->Color(), clRed);
  EXPECT_EQ(G->Stroke()->Kind(), gskDash);
  EXPECT_EQ(G->Font()->Name(), u"Tahoma");

  auto State = G->SaveState(false);
  G->SetFillColor(clBlue);
  G->SetStrokeColor(clBlue);
  G->SetFontName(u"Arial");
  Ctx().Calls.clear();
  G->RestoreState(std::move(State), false);
  EXPECT_EQ(G->Fill()->Color(), clRed);
  EXPECT_EQ(G->Stroke()->Color(), Other->Stroke()->Color());
  EXPECT_EQ(G->Font()->Name(), u"Tahoma");
  EXPECT_EQ(Ctx().Names().back(), "RestoreState");

  // Only the device state comes back with ACanvasOnly.
  State = G->SaveState(true);
  G->SetFillColor(clBlue);
  Ctx().Calls.clear();
  G->RestoreState(std::move(State), true);
  EXPECT_EQ(G->Fill()->Color(), clBlue);
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"RestoreState"}));
}

TEST_F(FacadeTest, DrawingAfterEndSceneStartsANewScene) {
  auto G = Make(true);
  G->BeginScene();
  G->DrawRectangle(0, 0, 10, 10);
  G->EndScene();
  Ctx().Calls.clear();
  G->DrawRectangle(0, 0, 10, 10);
  G->DrawLine(TPointF{0, 0}, TPointF{5, 5});
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"BeginScene", "FillRect", "DrawRect", "DrawLine"}));
  // Within one scene nothing extra is asked for.
  Ctx().Calls.clear();
  G->DrawRectangle(0, 0, 10, 10);
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"FillRect", "DrawRect"}));
}

TEST_F(FacadeTest, ShapesFillThenStrokeWhenColoursAndKindsAllow) {
  auto G = Make();
  G->DrawRectangle(TRect{0, 0, 10, 20}, TVivIzudeGraphicsSides{gsLeft, gsTop});
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"FillRect", "DrawRect"}));
  EXPECT_EQ(Ctx().Calls[1].Rect, (TRectF{0, 0, 10, 20}));
  EXPECT_EQ(Ctx().Calls[1].Value, 2);
  EXPECT_EQ(Ctx().Calls[0].Object, G->Fill());
  EXPECT_EQ(Ctx().Calls[1].Object, G->Stroke());

  struct {
    TVivIzudeGraphicsFillKind FillKind;
    TColor FillColor;
    TVivIzudeGraphicsStrokeKind StrokeKind;
    TColor StrokeColor;
    std::vector<std::string> Expected;
  } Cases[] = {
      {gfkNone, clRed, gskSolid, clRed, {"DrawEllipse"}},
      {gfkSolid, clNone, gskSolid, clRed, {"DrawEllipse"}},
      {gfkSolid, clRed, gskNone, clRed, {"FillEllipse"}},
      {gfkGradient, clRed, gskSolid, clNone, {"FillEllipse"}},
      {gfkNone, clRed, gskNone, clRed, {}},
  };
  for (const auto& C : Cases) {
    G->SetFillKind(C.FillKind);
    G->SetFillColor(C.FillColor);
    G->SetStrokeKind(C.StrokeKind);
    G->SetStrokeColor(C.StrokeColor);
    Ctx().Calls.clear();
    G->DrawEllipse(0, 0, 10, 10);
    EXPECT_EQ(Ctx().Names(), C.Expected);
  }

  // A line only strokes: nothing with no stroke kind or no stroke colour.
  G->SetStrokeKind(gskNone);
  G->SetStrokeColor(clRed);
  Ctx().Calls.clear();
  G->DrawLine(TPoint{0, 0}, TPoint{5, 5});
  G->SetStrokeKind(gskSolid);
  G->SetStrokeColor(clNone);
  G->DrawLine(TPoint{0, 0}, TPoint{5, 5});
  EXPECT_TRUE(Ctx().Named("DrawLine").empty());

  G->SetStrokeColor(clBlack);
  G->SetFillKind(gfkSolid);
  G->SetFillColor(clRed);
  Ctx().Calls.clear();
  G->DrawRoundRectangle(TRect{0, 0, 20, 20}, 4);
  G->DrawPolygon({{0, 0}, {5, 0}, {5, 5}});
  G->DrawPolyline({{0, 0}, {5, 0}, {5, 5}});
  G->DrawArc(TPoint{5, 5}, TPoint{5, 5}, 0, 90);
  TVivIzudeGraphicsPath P;
  P.AddRectangle({0, 0, 4, 4});
  G->DrawPath(&P);
  G->DrawPath(nullptr);
  G->DrawFocusRectangle(0, 0, 5, 5, clRed);
  EXPECT_EQ(Ctx().Names(), (std::vector<std::string>{"FillRoundRect", "DrawRoundRect", "FillPolygon", "DrawPolygon",
                                                     "FillPolyline", "DrawPolyline", "FillArc", "DrawArc", "FillPath",
                                                     "DrawPath", "DrawFocusRectangle"}));
  EXPECT_EQ(Ctx().Calls[0].Value, 4);
  EXPECT_EQ(Ctx().Calls.back().Color, clRed);
}

TEST_F(FacadeTest, TexturesAreCutToTheShape) {
  auto G = Make();
  auto Texture = Picture(16, 16);
  G->Fill()->BeginUpdate();
  G->Fill()->SetKind(gfkTexture);
  G->Fill()->SetColor(clNone);
  G->Fill()->SetTexture(Texture.get());
  G->Fill()->SetTextureMode(gtmTile);
  G->Fill()->EndUpdate();
  G->SetStrokeKind(gskNone);
  Ctx().Calls.clear();

  // A rectangle: 4 columns x 2 rows of whole tiles, cut to the rectangle.
  G->DrawRectangle(0, 0, 50, 30);
  std::vector<std::string> Expected{"SaveState", "ClipPath"};
  Expected.insert(Expected.end(), 8, "DrawBitmap");
  Expected.push_back("RestoreState");
  EXPECT_EQ(Ctx().Names(), Expected);
  EXPECT_EQ(Ctx().Calls[1].Rect, (TRectF{0, 0, 50, 30}));
  const TGraphic* Graphic = G->Fill()->Texture()->Graphic();
  for (const TRecordedCall& C : Ctx().Named("DrawBitmap")) EXPECT_EQ(C.Object, Graphic);
  EXPECT_EQ(Ctx().Named("DrawBitmap").back().Rect, (TRectF{48, 16, 64, 32}));

  // An ellipse, a rounded rectangle and a polygon: cut to their outline.
  for (int Shape = 0; Shape < 3; ++Shape) {
    Ctx().Calls.clear();
    if (Shape == 0) G->DrawEllipse(0, 0, 50, 30);
    if (Shape == 1) G->DrawRoundRectangle(0.0, 0.0, 50.0, 30.0, 8.0f);
    if (Shape == 2) G->DrawPolygon({{0, 0}, {50, 0}, {0, 30}});
    ASSERT_GE(Ctx().Calls.size(), 3u);
    EXPECT_EQ(Ctx().Calls[0].Name, "SaveState");
    EXPECT_EQ(Ctx().Calls[1].Name, "ClipPath");
    const TRectF B = Ctx().Calls[1].Rect;  // the outline spans the shape
    EXPECT_NEAR(B.Left, 0, 1e-3);
    EXPECT_NEAR(B.Top, 0, 1e-3);
    EXPECT_NEAR(B.Right, 50, 1e-3);
    EXPECT_NEAR(B.Bottom, 30, 1e-3);
    EXPECT_EQ(Ctx().Calls.back().Name, "RestoreState");
  }

  // An arc does not paint textures; a polyline leaves them to the context.
  Ctx().Calls.clear();
  G->DrawArc(TPointF{5, 5}, TPointF{5, 5}, 0, 90);
  EXPECT_TRUE(Ctx().Calls.empty());

  // Stretched: the whole picture once, straight into the rectangle.
  G->Fill()->SetTextureMode(gtmStretch);
  Ctx().Calls.clear();
  G->DrawRectangle(0, 0, 50, 30);
  ASSERT_EQ(Ctx().Named("DrawBitmap").size(), 1u);
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Rect, (TRectF{0, 0, 50, 30}));
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Source, (TRectF{0, 0, 16, 16}));

  // Original size, cut by a smaller target: the part goes over as a part.
  G->Fill()->SetTextureMode(gtmOriginal);
  Ctx().Calls.clear();
  G->DrawRectangle(0, 0, 10, 12);
  ASSERT_EQ(Ctx().Named("DrawBitmap").size(), 1u);
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Source, (TRectF{0, 0, 10, 12}));
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Rect, (TRectF{0, 0, 10, 12}));
}

TEST_F(FacadeTest, PicturesGoToTheContextOnceWithoutHelperBitmaps) {
  auto G = Make();
  auto P = Picture(20, 10);
  TGraphic* Graphic = P->Graphic();
  G->DrawBitmap(0.0, 0.0, 100.0, 100.0, Graphic, false, false, true, false);
  G->DrawBitmap(5, 6, P.get());
  G->DrawBitmap(TRect{0, 0, 100, 100}, nullptr);
  G->DrawBitmapPart(TRect{5, 0, 15, 10}, TRect{0, 0, 40, 40}, Graphic, true, true, true, false);
  G->DrawBitmapPart(TRect{5, 0, 5, 10}, TRect{0, 0, 40, 40}, Graphic);
  const std::vector<TRecordedCall> Draws = Ctx().Named("DrawBitmap");
  ASSERT_EQ(Draws.size(), 3u);
  EXPECT_EQ(Draws[0].Rect, (TRectF{40, 45, 60, 55}));
  EXPECT_EQ(Draws[0].Source, (TRectF{0, 0, 20, 10}));
  EXPECT_EQ(Draws[1].Rect, (TRectF{5, 6, 25, 16}));
  EXPECT_EQ(Draws[2].Source, (TRectF{5, 0, 15, 10}));
  EXPECT_EQ(Draws[2].Rect, (TRectF{0, 0, 40, 40}));
  for (const TRecordedCall& D : Draws) {
    EXPECT_EQ(D.Object, Graphic);
    EXPECT_EQ(D.Value, 1);
  }
  // No temporary facade (and so no second conversion) was made.
  EXPECT_EQ(TFakes::Contexts.size(), 1u);

  EXPECT_EQ(G->GetBitmapDrawRectangle(TRect{0, 0, 100, 100}, Graphic, true, true, true, false),
            (TRect{0, 25, 100, 75}));
  EXPECT_EQ(G->GetBitmapDrawRectangle(TRectF{0, 0, 100, 100}, nullptr), TRectF{});

  // Names: nothing without a container lookup; scaled sets pick by scale.
  Ctx().Calls.clear();
  G->DrawBitmapWithName(TRectF{0, 0, 10, 10}, u"none");
  G->DrawScaledBitmap(TRectF{0, 0, 10, 10}, nullptr);
  TVivScaledBitmaps Set;
  Set.AddBitmap(P.get(), 1);
  auto Large = Picture(40, 20);
  Set.AddBitmap(Large.get(), 2);
  G->DrawScaledBitmap(TRectF{0, 0, 100, 100}, &Set, 2, true, false, false, false);
  ASSERT_EQ(Ctx().Named("DrawBitmap").size(), 1u);
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Rect, (TRectF{0, 0, 40, 20}));
  EXPECT_EQ(TVivIzudeGraphics::GetScaledBitmap(&Set, 1), Set.Items(0)->Bitmap());
  EXPECT_EQ(TVivIzudeGraphics::GetScaledBitmap(nullptr, 1), nullptr);
}

TEST_F(FacadeTest, ContainerLookupByScaledName) {
  static std::vector<String> Asked;
  static TPicture Found;
  TVivIzudeGraphics::FindBitmapInContainer = [](TVivIzudeBitmapContainer*, const String& AName) -> TPicture* {
    Asked.push_back(AName);
    return AName == u"pic_2" || AName == u"plain" ? &Found : nullptr;
  };
  auto* Container = reinterpret_cast<TVivIzudeBitmapContainer*>(&Asked);
  EXPECT_EQ(TVivIzudeGraphics::GetBitmapFromBitmapContainer(Container, u"pic", true, 2), &Found);
  EXPECT_EQ(TVivIzudeGraphics::GetBitmapFromBitmapContainer(Container, u"plain", true, 2), &Found);
  EXPECT_EQ(TVivIzudeGraphics::GetBitmapFromBitmapContainer(Container, u"other", false, 2), nullptr);
  EXPECT_EQ(TVivIzudeGraphics::GetBitmapFromBitmapContainer(nullptr, u"pic", true, 2), nullptr);
  EXPECT_EQ(TVivIzudeGraphics::GetBitmapFromBitmapContainer(Container, u"", true, 2), nullptr);
  EXPECT_EQ(Asked, (std::vector<String>{u"pic_2", u"plain_2", u"plain", u"other"}));
  TVivIzudeGraphics::FindBitmapInContainer = nullptr;
}

TEST_F(FacadeTest, PlainTextIsMeasuredAndDrawnByTheContext) {
  auto G = Make();
  // One pixel more than the context measures.
  EXPECT_EQ(G->CalculateTextHeight(u"abc"), 14);
  EXPECT_EQ(G->CalculateTextWidth(u"abc"), 21);
  EXPECT_EQ(G->CalculateTextSizeInt(u"abcd"), (TSize{28, 14}));
  EXPECT_EQ(G->CalculateText(u"", TRectF{3, 4, 50, 60}), (TRectF{3, 4, 3, 4}));
  EXPECT_EQ(G->CalculateText(u"abc", TRectF{3, 4, 3.4f, 60}), (TRectF{3, 4, 3.4f, 4}));
  EXPECT_TRUE(TFakes::MarkupCalls.empty());

  Ctx().FillColor = clLime;
  G->SetFontColor(clNavy);
  Ctx().Calls.clear();
  EXPECT_EQ(G->DrawText(TRectF{0, 0, 100, 20}, u"abc", false, gtaCenter, gtaCenter, gttNone, 90), u"");
  EXPECT_EQ(Ctx().Names(),
            (std::vector<std::string>{"SetFillColor", "SetTextAngle", "DrawText", "ResetTextAngle", "SetFillColor"}));
  EXPECT_EQ(Ctx().Calls[0].Color, clNavy);
  EXPECT_EQ(Ctx().Calls.back().Color, clLime);
  EXPECT_EQ(Ctx().Named("DrawText")[0].Value, 90);

  // Minimum sizes grow the rectangle; a hit test never draws plain text.
  Ctx().Calls.clear();
  G->DrawText(TRectF{0, 0, 10, 10}, u"abc", false, gtaLeading, gtaLeading, gttNone, 0, 40, 30);
  EXPECT_EQ(Ctx().Named("DrawText")[0].Rect, (TRectF{0, 0, 40, 30}));
  Ctx().Calls.clear();
  String ID = u"x", Value = u"y", Type = u"z";
  EXPECT_EQ(G->DrawText(TRectF{0, 0, 10, 10}, u"abc", ID, Value, Type, false, gtaLeading, gtaLeading, gttNone, 0, -1,
                        -1, true, true, 1, 1),
            u"");
  EXPECT_TRUE(Ctx().Named("DrawText").empty());
  EXPECT_EQ(ID + Value + Type, u"");
}

TEST_F(FacadeTest, MarkupGoesToTheEngineAlignedAndClipped) {
  auto G = Make();
  EXPECT_EQ(G->CalculateText(u"<b>abc</b>", TRectF{10, 10, 200, 200}), (TRectF{10, 10, 31, 24}));
  ASSERT_EQ(TFakes::MarkupCalls.size(), 1u);
  EXPECT_TRUE(TFakes::MarkupCalls[0].MeasureOnly);

  TFakes::MarkupCalls.clear();
  Ctx().Calls.clear();
  G->DrawText(TRectF{0, 0, 100, 40}, u"<b>abc</b>", false, gtaCenter, gtaTrailing);
  ASSERT_EQ(TFakes::MarkupCalls.size(), 2u);
  EXPECT_TRUE(TFakes::MarkupCalls[0].MeasureOnly);
  EXPECT_FALSE(TFakes::MarkupCalls[1].MeasureOnly);
  // 21 x (13 + 1) centred horizontally, at the bottom.
  EXPECT_EQ(TFakes::MarkupCalls[1].Rect, (TRectF{39.5f, 26, 60.5f, 40}));
  const std::vector<std::string> Names = Ctx().Names();
  const std::vector<std::string> Clip{"SaveState", "ClipRect", "RestoreState"};
  EXPECT_TRUE(std::search(Names.begin(), Names.end(), Clip.begin(), Clip.end()) != Names.end());
  EXPECT_EQ(Ctx().Named("ClipRect")[0].Rect, (TRectF{0, 0, 100, 40}));

  // A hit test reports the anchor and the control under the point.
  String ID, Value, Type;
  EXPECT_EQ(G->DrawText(TRectF{0, 0, 100, 40}, u"<a href=\"x\">go</a>", ID, Value, Type, false, gtaLeading, gtaLeading,
                        gttNone, 0, -1, -1, true, true, 2.5f, 3.5f),
            u"link");
  EXPECT_TRUE(TFakes::MarkupCalls.back().HitTestOnly);
  EXPECT_EQ(TFakes::MarkupCalls.back().X, 2);  // rounded half to even
  EXPECT_EQ(TFakes::MarkupCalls.back().Y, 4);
  EXPECT_EQ(ID, u"id");
  EXPECT_EQ(Type, u"type");
  EXPECT_EQ(G->DrawText(TRectF{0, 0, 100, 40}, u"<a href=\"x\">go</a>", false, gtaLeading, gtaLeading, gttNone, 0, -1,
                        -1, true, true, 500, 500),
            u"");

  // Markup off: the context draws the text as it is.
  Ctx().Calls.clear();
  G->DrawText(TRectF{0, 0, 100, 40}, u"<b>abc</b>", false, gtaLeading, gtaLeading, gttNone, 0, -1, -1, false);
  EXPECT_EQ(Ctx().Named("DrawText").size(), 1u);
}

TEST_F(FacadeTest, OptimizedMarkupBreaksLinesInAnySpelling) {
  auto G = Make();
  const String Text = u"<b>one</b><br>two<BR/>three<Br />four";
  G->CalculateText(Text, TRectF{0, 0, 200, 200});
  ASSERT_EQ(TFakes::MarkupCalls.size(), 1u);  // one block when not optimised
  EXPECT_EQ(TFakes::MarkupCalls[0].Text, Text);

  G->SetOptimizedHTMLDrawing(true);
  TFakes::MarkupCalls.clear();
  // Four lines of 14 pixels each (the lines without markup go to the context).
  EXPECT_EQ(G->CalculateText(Text, TRectF{0, 0, 200, 200}), (TRectF{0, 0, 200, 56}));
  Ctx().Calls.clear();
  TFakes::MarkupCalls.clear();
  G->DrawText(TRectF{0, 0, 200, 200}, Text, false, gtaLeading, gtaLeading);
  ASSERT_EQ(TFakes::MarkupCalls.size(), 3u);  // "<b>one</b>": measure, measure, paint
  const std::vector<TRecordedCall> Plain = Ctx().Named("DrawText");
  ASSERT_EQ(Plain.size(), 3u);
  EXPECT_EQ(Plain[0].Text, u"two");
  EXPECT_EQ(Plain[0].Rect.Top, 14);
  EXPECT_EQ(Plain[1].Text, u"three");
  EXPECT_EQ(Plain[1].Rect.Top, 28);
  EXPECT_EQ(Plain[2].Text, u"four");
  EXPECT_EQ(Plain[2].Rect.Top, 42);
}

TEST_F(FacadeTest, ButtonsUseTheirColourPairs) {
  auto G = Make();
  struct {
    bool Down, Focused, Enabled;
    TColor Frame, Back, Inner;
  } Cases[] = {
      {false, false, true, 0xA9A9A9, MakeColor(225, 225, 225), MakeColor(225, 225, 225)},
      {true, false, true, 0xA9A9A9, MakeColor(225, 225, 225), 0xCBCBCB},
      {false, true, true, MakeColor(60, 127, 177), MakeColor(229, 241, 251), MakeColor(229, 241, 251)},
      {false, true, false, 0xA9A9A9, 0xD3D3D3, 0xD3D3D3},
  };
  for (const auto& C : Cases) {
    Ctx().Calls.clear();
    G->DrawButton(TRectF{0, 0, 30, 20}, C.Down, C.Focused, C.Enabled);
    const std::vector<TRecordedCall> Strokes = Ctx().Named("SetStrokeColor");
    ASSERT_EQ(Strokes.size(), 2u);
    EXPECT_EQ(Strokes[0].Color, C.Frame);
    EXPECT_EQ(Strokes[1].Color, C.Inner);
    EXPECT_EQ(Ctx().Named("SetFillColor")[0].Color, C.Back);
    const std::vector<TRecordedCall> Frames = Ctx().Named("DrawRect");
    ASSERT_EQ(Frames.size(), 2u);
    EXPECT_EQ(Frames[1].Rect, (TRectF{1, 1, 29, 19}));
    EXPECT_EQ(Ctx().Named("FillRect").size(), 1u);  // the inner frame is not filled
    EXPECT_EQ(G->Fill()->Kind(), gfkNone);
  }

  // Styled colours come from the default colour variables.
  TVivIzudeGraphics::SetDefaultGraphicColors();
  DefaultFillColor = 0x010203;
  Ctx().Calls.clear();
  G->DrawButton(TRectF{0, 0, 30, 20}, false, false, true, true);
  EXPECT_EQ(Ctx().Named("SetFillColor")[0].Color, 0x010203);
  TVivIzudeGraphics::SetDefaultGraphicColors();
}

TEST_F(FacadeTest, GlyphButtonsCentreTheirGlyph) {
  auto G = Make();
  TVivIzudeGraphics::SetDefaultGraphicColors();
  G->DrawDropDownButton(TRectF{0, 0, 100, 20}, false, false, true, false, true);
  // The styled glyph (7 x 7) centred in the right-most 17 pixels, drawn on a
  // glyph facade of its own with five lines.
  ASSERT_EQ(TFakes::Contexts.size(), 2u);
  EXPECT_EQ(Ctx(1).Named("DrawLine").size(), 5u);
  ASSERT_EQ(Ctx().Named("DrawBitmap").size(), 1u);
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Rect, (TRectF{88, 6, 95, 13}));  // Round(6.5) = 6
  Ctx().Calls.clear();
  G->DrawDropDownButton(TRectF{0, 0, 17, 20}, false, false, true, false, true);
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Rect, (TRectF{5, 6, 12, 13}));

  Ctx().Calls.clear();
  G->DrawExpanderButton(TRectF{0, 0, 20, 20}, gesCollapsed, false, false, true, true);
  EXPECT_EQ(Ctx().Named("DrawBitmap")[0].Rect, (TRectF{2, 2, 18, 18}));
  const std::vector<TRecordedCall> Lines = TFakes::Contexts.back()->Named("DrawLine");
  ASSERT_EQ(Lines.size(), 2u);
  EXPECT_EQ(Lines[0].From, (TPointF{5, 6}));
  EXPECT_EQ(Lines[1].To, (TPointF{11, 6}));
}

TEST_F(FacadeTest, CheckBoxRadioAndProgressBar) {
  auto G = Make();
  G->DrawCheckBox(TRectF{0, 0, 22, 22}, true, false, false);
  ASSERT_EQ(Ctx().Named("DrawLine").size(), 2u);
  EXPECT_EQ(Ctx().Named("SetStrokeColor").back().Color, 0xA9A9A9);
  EXPECT_EQ(Ctx().Named("DrawRect")[0].Rect, (TRectF{1, 1, 21, 21}));
  EXPECT_EQ(Ctx().Named("DrawLine")[0].From, (TPointF{5, 5}));
  EXPECT_EQ(Ctx().Named("DrawLine")[0].To, (TPointF{16, 16}));
  EXPECT_EQ(Ctx().Named("SetFillColor")[0].Color, 0xD3D3D3);

  Ctx().Calls.clear();
  G->DrawRadioButton(TRectF{0, 0, 22, 22}, true, true, true);
  ASSERT_EQ(Ctx().Named("FillEllipse").size(), 2u);
  EXPECT_EQ(Ctx().Named("FillEllipse")[1].Rect, (TRectF{5, 5, 17, 17}));
  EXPECT_EQ(Ctx().Named("SetFillColor")[0].Color, 0xF8F8F8);
  EXPECT_EQ(Ctx().Named("SetFillColor")[1].Color, 0xB48246);

  // A full bar stays inside the frame: its right edge leaves the frame's.
  Ctx().Calls.clear();
  G->DrawProgressBar(TRectF{0, 0, 100, 10}, 150, u"%.0f%%", 100, clRed, clBlack, true, true);
  const std::vector<TRecordedCall> Rects = Ctx().Named("DrawRect");
  ASSERT_EQ(Rects.size(), 2u);
  EXPECT_EQ(Rects[0].Rect, (TRectF{0, 0, 100, 10}));
  EXPECT_EQ(Rects[1].Rect, (TRectF{1, 1, 99, 9}));
  EXPECT_EQ(Ctx().Named("SetFillColor")[0].Color, 0xF4F4F4);
  ASSERT_EQ(Ctx().Named("DrawText").size(), 1u);
  EXPECT_EQ(Ctx().Named("DrawText")[0].Text, u"100%");

  Ctx().Calls.clear();
  G->DrawProgressBar(TRectF{0, 0, 100, 10}, -5, u"%.0f%%", 100, clRed, clBlack, true, false);
  EXPECT_EQ(Ctx().Named("DrawRect")[1].Rect, (TRectF{1, 1, 1, 9}));
  EXPECT_EQ(Ctx().Named("DrawText")[0].Text, u"0%");
  EXPECT_EQ(Ctx().Named("SetFillColor")[0].Color, 0xD3D3D3);

  // No maximum: only the background; a format without a number: no text.
  Ctx().Calls.clear();
  G->DrawProgressBar(TRectF{0, 0, 100, 10}, 5, u"%.0f%%", 0, clRed, clBlack, true, true);
  EXPECT_EQ(Ctx().Named("DrawRect").size(), 1u);
  Ctx().Calls.clear();
  G->DrawProgressBar(TRectF{0, 0, 100, 10}, 5, u"%d %s", 10, clRed, clBlack, true, true);
  EXPECT_EQ(Ctx().Named("DrawRect").size(), 2u);
  EXPECT_TRUE(Ctx().Named("DrawText").empty());
}

TEST_F(FacadeTest, GlyphButtonsDrawTheirResourcePictures) {
  auto G = Make();
  struct {
    std::function<void()> Draw;
    TRectF Expected;
    Integer Size;
  } Cases[] = {
      {[&] {
         G->DrawCloseButton(TRectF{0, 0, 20, 20}, false, false, true);
       },
       {2, 2, 18, 18},
       16},
      {[&] {
         G->DrawExpanderButton(TRectF{0, 0, 20, 20}, gesExpanded, false, false, true);
       },
       {2, 2, 18, 18},
       16},
      {[&] {
         G->DrawCompactButton(TRectF{10, 0, 30, 20}, gcsCollapsed, false, false, true);
       },
       {12, 2, 28, 18},
       16},
      {[&] {
         G->DrawDropDownButton(TRectF{0, 0, 100, 20}, false, false, true);
       },
       {88, 6, 95, 13},
       7},
  };
  for (const auto& C : Cases) {
    Ctx().Calls.clear();
    C.Draw();
    const std::vector<TRecordedCall> Draws = Ctx().Named("DrawBitmap");
    ASSERT_EQ(Draws.size(), 1u);
    EXPECT_EQ(Draws[0].Rect, C.Expected);
    EXPECT_EQ(Draws[0].Source, (TRectF{0, 0, static_cast<float>(C.Size), static_cast<float>(C.Size)}));
  }
  // The glyphs are pictures of their own; no glyph facade is made.
  EXPECT_EQ(TFakes::Contexts.size(), 1u);
}

TEST_F(FacadeTest, AFailingEngineLeavesTheDeviceStateAsItWas) {
  auto G = Make();
  Ctx().FillColor = clLime;
  EXPECT_THROW(G->DrawText(TRectF{0, 0, 100, 40}, u"<b>x</b><boom/>", false, gtaLeading, gtaLeading, gttNone, 30),
               std::runtime_error);
  const std::vector<std::string> Names = Ctx().Names();
  ASSERT_GE(Names.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(Names.end() - 3, Names.end()),
            (std::vector<std::string>{"RestoreState", "ResetTextAngle", "SetFillColor"}));
  EXPECT_EQ(Ctx().Calls.back().Color, clLime);
  EXPECT_EQ(Ctx().Named("SaveState").size(), Ctx().Named("RestoreState").size());
}
