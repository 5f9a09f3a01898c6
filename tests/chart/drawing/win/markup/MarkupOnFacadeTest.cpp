// The markup engine through the drawing facade, whose back end records what
// it is asked (7 pixels a character, 13 a line; the facade measures plain
// text one pixel taller): the facade's text operations reach the engine,
// which draws with the facade's font and colours and gives them back.
#include <gtest/gtest.h>

#include "RecordingGraphicsContext.h"
#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeHTMLEngine.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "vcl/Graphics.h"

namespace {
TRecordingGraphicsContext* Last = nullptr;
std::unique_ptr<TVivIzudeGraphicsContext> MakeRecording(TVivIzudeGraphics* AGraphics) {
  auto C = std::make_unique<TRecordingGraphicsContext>(AGraphics);
  Last = C.get();
  return C;
}
}  // namespace

TVivIzudeGraphicsContextClass GetGeneralContextClass() { return &MakeRecording; }
TVivIzudeGraphicsContextClass GetNativeContextClass() { return &MakeRecording; }

namespace {
struct MarkupOnFacade : testing::Test {
  std::unique_ptr<TVivIzudeGraphics> G = std::make_unique<TVivIzudeGraphics>(nullptr, false);
  TRecordingGraphicsContext& Ctx() { return *Last; }
  std::vector<TRecordedCall> Texts() {
    std::vector<TRecordedCall> R;
    for (const auto& C : Ctx().Named("DrawText"))
      if (!C.Text.empty()) R.push_back(C);
    return R;
  }
};
}  // namespace

TEST_F(MarkupOnFacade, MeasuresAndDrawsMarkedUpText) {
  const TRectF Area{10, 20, 410, 220};
  // Measured by the engine: two lines of 14 pixels, "bold " the wider one.
  const TRectF Size = G->CalculateText(u"<B>bold</B> one<BR>two", Area, false, true);
  EXPECT_EQ(Size.Right - Size.Left, 56 + 2);
  EXPECT_EQ(Size.Bottom - Size.Top, 28 + 1);

  Ctx().Calls.clear();
  G->DrawText(Area, u"<B>bold</B> one<BR>two", false, gtaLeading, gtaLeading);
  const auto T = Texts();
  ASSERT_EQ(T.size(), 3u);
  EXPECT_EQ(T[0].Text, String(u"bold"));
  EXPECT_EQ(T[0].Rect.Left, 10);
  EXPECT_EQ(T[0].Rect.Top, 20);
  EXPECT_EQ(T[1].Text, String(u" one"));
  EXPECT_EQ(T[1].Rect.Left, 10 + 28);
  EXPECT_EQ(T[2].Rect.Top, 20 + 14);
  // Bold was set for the first run and taken off again.
  EXPECT_FALSE(G->Font()->Style().Contains(fsBold));
}

TEST_F(MarkupOnFacade, ColoursAndFontComeBack) {
  G->SetFontColor(0x112233);
  G->SetFillColor(0x00FF00);
  G->SetStrokeColor(0x0000FF);
  const String Name = G->Font()->Name();
  const Integer Size = G->Font()->Size();
  G->DrawText(TRectF{0, 0, 300, 100},
              u"<FONT FACE=\"Courier\" SIZE=\"5\" COLOR=\"red\" BGCOLOR=\"yellow\">x</FONT><E>e</E><BR><HR>", false);
  EXPECT_EQ(G->Font()->Color(), 0x112233);
  EXPECT_EQ(G->Font()->Name(), Name);
  EXPECT_EQ(G->Font()->Size(), Size);
  EXPECT_EQ(G->Fill()->Color(), 0x00FF00);
  EXPECT_EQ(G->Stroke()->Color(), 0x0000FF);
  // The run background and the error zigzag were drawn on the way.
  EXPECT_FALSE(Ctx().Named("FillRect").empty());
  EXPECT_FALSE(Ctx().Named("DrawLine").empty());
}

TEST_F(MarkupOnFacade, HitTestReturnsTheAnchorWithoutPainting) {
  const TRectF Area{0, 0, 300, 100};
  const String Text = u"see <A HREF=\"http://q/\">this</A>";
  Ctx().Calls.clear();
  // "see " is 28 pixels wide; "this" follows.
  EXPECT_EQ(G->DrawText(Area, Text, false, gtaLeading, gtaLeading, gttNone, 0, -1, -1, true, true, 35, 7),
            String(u"http://q/"));
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(G->DrawText(Area, Text, false, gtaLeading, gtaLeading, gttNone, 0, -1, -1, true, true, 5, 7), String());

  // The engine entry itself: the anchor's rectangle in the area's coordinates.
  String Anchor, Plain, Focus, ID, Value, Type;
  float XSize = 0, YSize = 0;
  Integer Count = 0, Hit = -1, Lines = 0;
  TRectF AnchorRect, ControlRect;
  EXPECT_TRUE(RenderMarkup(G.get(), Text, TRectF{100, 50, 400, 150}, 135, 57, -1, -1, 0, true, false, false, false,
                           false, false, false, false, u"", 1.0, 0xFF0000, -1, -1, -1, Anchor, Plain, Focus, XSize,
                           YSize, Count, Hit, AnchorRect, ControlRect, ID, Value, Type, Lines, 0, nullptr, true,
                           nullptr, 0xFF0000, 0xFFFFFF, {}));
  EXPECT_EQ(Anchor, String(u"http://q/"));
  EXPECT_EQ(Hit, 1);
  EXPECT_EQ(AnchorRect.Left, 128);
  EXPECT_EQ(AnchorRect.Right, 156);
  EXPECT_EQ(Text, String(u"see <A HREF=\"http://q/\">this</A>"));
  EXPECT_EQ(Plain, String(u"see this"));
}

TEST_F(MarkupOnFacade, OwnDrawnControlsAndFilePicturesNeedNoDisk) {
  G->DrawText(TRectF{0, 0, 300, 100},
              u"<CONTROL TYPE=\"CHECK\" ID=\"a\" VALUE=\"TRUE\"><IMG SRC=\"FILE://C:/windows/win.ini\">x<BR>", false);
  // The check box is own-drawn through the facade's shapes; the file is not read.
  EXPECT_FALSE(Ctx().Calls.empty());
  EXPECT_TRUE(Ctx().Named("DrawBitmap").empty());
}
