// Markup text (styles, fonts and colours, lists, anchors, line breaks,
// alignment) painted by the markup engine through both back ends of the
// facade, saved as backend-markup-*.png (canvas left, GDI+ right) for a
// person to look at, and compared where the two must agree: the layout.
//
// The comparison: GDI and GDI+ shape glyphs differently (hinting, advance
// widths, anti-aliasing), so pixels of text never match one for one. What
// must match is where the engine puts things: how many lines there are and
// where each line's ink lies. Each picture is cut into lines of ink (runs of
// rows holding a pixel of luminance below 200 of 255: glyphs, rules and
// underlines, not the faintest anti-aliasing fringes nor light run
// backgrounds such as yellow), and the two back ends' lines must be as many,
// with tops and bottoms within 3 pixels. Across, GDI+ lays out with padding:
// it draws a run's glyphs about a sixth of an em right of where the run
// starts, and measures each run about 4 pixels wider than GDI at these
// sizes; the engine places runs by the back end's own measures. So a line's
// aligned edge must agree within 5 pixels (left, or the centre) or 4 (right,
// after the trailing padding), and its far edge within 8 pixels plus 4 per
// run of the line: a run misplaced by more than its padding fails.
#include <gtest/gtest.h>

#include "BackendTestSupport.h"

using namespace backendtest;

namespace {

constexpr Integer kInkLuminance = 200;
constexpr Integer kVerticalTolerance = 3;
constexpr Integer kLeftTolerance = 5;
constexpr Integer kRightTolerance = 8;
constexpr Integer kRightPerRun = 4;
constexpr Integer kAlignedRightTolerance = 4;

constexpr Integer kWidth = 360, kHeight = 200;
const TRectF kArea{10, 10, 350, 190};

struct TMarkupPictures {
  std::unique_ptr<TBitmap> Canvas, GdiPlus;
  std::vector<TRect> CanvasLines, GdiPlusLines;
};

TMarkupPictures DrawMarkup(const String& AText, const std::string& AName, bool AWordWrapping = false) {
  auto Scene = [&](TVivIzudeGraphics& G) {
    // Arial has real italic and bold faces under Wine as well.
    G.SetFontName(u"Arial");
    G.SetFontSize(10);
    G.SetFontColor(0x000000);
    G.DrawText(kArea, AText, AWordWrapping, gtaLeading, gtaLeading);
  };
  TMarkupPictures P{Render(false, kWidth, kHeight, Scene), Render(true, kWidth, kHeight, Scene), {}, {}};
  SaveSideBySide(*P.Canvas, *P.GdiPlus, "markup-" + AName);
  P.CanvasLines = InkLines(*P.Canvas, {0, 0, kWidth, kHeight}, kInkLuminance);
  P.GdiPlusLines = InkLines(*P.GdiPlus, {0, 0, kWidth, kHeight}, kInkLuminance);
  return P;
}

// A line as the scene lays it out: how many runs (stretches of one format) it
// has, and the edge it is aligned by. The aligned edge (or the centre) must
// agree closely; the far edge takes the runs' padding.
struct TLineLayout {
  Integer Runs;
  TAlignment Align = taLeftJustify;
};

void ExpectSameLayout(const TMarkupPictures& P, const std::vector<TLineLayout>& ALines) {
  ASSERT_EQ(P.CanvasLines.size(), ALines.size());
  ASSERT_EQ(P.GdiPlusLines.size(), ALines.size());
  for (size_t I = 0; I < ALines.size(); ++I) {
    const TRect &A = P.CanvasLines[I], &B = P.GdiPlusLines[I];
    SCOPED_TRACE(testing::Message() << "line " << I << ": canvas " << A.Left << "," << A.Top << "-" << A.Right << ","
                                    << A.Bottom << " GDI+ " << B.Left << "," << B.Top << "-" << B.Right << ","
                                    << B.Bottom);
    EXPECT_LE(std::abs(A.Top - B.Top), kVerticalTolerance);
    EXPECT_LE(std::abs(A.Bottom - B.Bottom), kVerticalTolerance);
    const Integer Far = kRightTolerance + kRightPerRun * ALines[I].Runs;
    switch (ALines[I].Align) {
      case taLeftJustify:
        EXPECT_LE(std::abs(A.Left - B.Left), kLeftTolerance);
        EXPECT_LE(std::abs(A.Right - B.Right), Far);
        break;
      case taRightJustify:
        EXPECT_LE(std::abs(A.Right - B.Right), kAlignedRightTolerance);
        EXPECT_LE(std::abs(A.Left - B.Left), Far);
        break;
      case taCenter:
        EXPECT_LE(std::abs((A.Left + A.Right) - (B.Left + B.Right)) / 2, kLeftTolerance);
        EXPECT_LE(std::abs(A.Left - B.Left), Far);
        EXPECT_LE(std::abs(A.Right - B.Right), Far);
        break;
    }
  }
}

// Pixels of R near AColor (each channel within ATolerance).
Integer ColoredPixels(TBitmap& B, const TRect& R, TColor AColor, Integer ATolerance) {
  Integer N = 0;
  for (Integer Y = R.Top; Y < R.Bottom; ++Y)
    for (Integer X = R.Left; X < R.Right; ++X) N += ChannelDistance(B.Canvas()->Pixel(X, Y), AColor) <= ATolerance;
  return N;
}

}  // namespace

TEST(MarkupOnBackEnds, StylesFontsAndColours) {
  auto P = DrawMarkup(
      u"plain <B>bold</B> <I>italic</I> <U>underlined</U> <S>struck</S><BR>"
      u"<FONT FACE=\"Courier\" COLOR=\"#FF0000\">Courier in red</FONT> and "
      u"<FONT COLOR=\"#0000FF\" BGCOLOR=\"#FFFF00\">blue on yellow</FONT><BR>"
      u"<FONT SIZE=\"16\">Large</FONT> then small",
      "styles");
  ExpectSameLayout(P, {{8}, {3}, {2}});
  if (HasFatalFailure()) return;
  for (TBitmap* B : {P.Canvas.get(), P.GdiPlus.get()}) {
    const TRect Second = (B == P.Canvas.get() ? P.CanvasLines : P.GdiPlusLines)[1];
    // The red run, the blue run and its yellow background on the second line.
    EXPECT_GT(ColoredPixels(*B, Second, 0x0000FF, 60), 20) << "red";
    EXPECT_GT(ColoredPixels(*B, Second, 0xFF0000, 60), 20) << "blue";
    EXPECT_GT(ColoredPixels(*B, Second, 0x00FFFF, 0), 200) << "yellow";
  }
  // The large run makes the third line the tallest.
  for (const auto* Lines : {&P.CanvasLines, &P.GdiPlusLines}) EXPECT_GT((*Lines)[2].Height(), (*Lines)[0].Height());
}

TEST(MarkupOnBackEnds, ListsAnchorsAndLineBreaks) {
  auto P = DrawMarkup(
      u"Before the list<UL><LI>first item</LI><LI>second item</LI></UL>"
      u"See <A HREF=\"http://example/\">the anchor</A> here<BR><BR>after a blank line",
      "lists");
  ExpectSameLayout(P, {{1}, {2}, {2}, {3}, {1}});
  if (HasFatalFailure()) return;
  for (const auto* Lines : {&P.CanvasLines, &P.GdiPlusLines}) {
    // The items start alike, their bullets where the text before them starts.
    EXPECT_EQ((*Lines)[1].Left, (*Lines)[2].Left);
    EXPECT_LE(std::abs((*Lines)[1].Left - (*Lines)[0].Left), 3);
    // The blank line leaves a gap taller than the one between the items.
    EXPECT_GT((*Lines)[4].Top - (*Lines)[3].Bottom, 2 * ((*Lines)[2].Top - (*Lines)[1].Bottom));
  }
  // The anchor in its own colour, underlined.
  for (TBitmap* B : {P.Canvas.get(), P.GdiPlus.get()}) {
    const TRect Line = (B == P.Canvas.get() ? P.CanvasLines : P.GdiPlusLines)[3];
    Integer Coloured = 0;
    for (Integer Y = Line.Top; Y < Line.Bottom; ++Y)
      for (Integer X = Line.Left; X < Line.Right; ++X) {
        const TColor C = B->Canvas()->Pixel(X, Y);
        const Integer R = C & 0xFF, G = (C >> 8) & 0xFF, Bl = (C >> 16) & 0xFF;
        Coloured += Bl > R + 60 && Bl > G + 60;
      }
    EXPECT_GT(Coloured, 30) << "anchor colour";
  }
}

TEST(MarkupOnBackEnds, ParagraphAlignment) {
  auto P = DrawMarkup(
      u"<P ALIGN=\"LEFT\">on the left</P><P ALIGN=\"CENTER\">in the middle</P><P ALIGN=\"RIGHT\">on the right</P>",
      "alignment", true);
  ExpectSameLayout(P, {{1, taLeftJustify}, {1, taCenter}, {1, taRightJustify}});
  if (HasFatalFailure()) return;
  const float Middle = (kArea.Left + kArea.Right) / 2;
  for (const auto* Lines : {&P.CanvasLines, &P.GdiPlusLines}) {
    const std::vector<TRect>& L = *Lines;
    EXPECT_LE(std::abs(L[0].Left - kArea.Left), kLeftTolerance);
    EXPECT_LE(std::abs((L[1].Left + L[1].Right) / 2.0f - Middle), kLeftTolerance);
    EXPECT_LE(std::abs(L[2].Right - kArea.Right), kAlignedRightTolerance);
  }
}

// The engine draws each run in a box as wide as the back end measured it:
// the run keeps its last letter there (GDI+ under Wine dropped it).
TEST(MarkupOnBackEnds, ARunInItsMeasuredBoxKeepsItsLastLetter) {
  for (bool Native : {false, true}) {
    SCOPED_TRACE(BackEndName(Native));
    auto Picture = Render(Native, 200, 60, [](TVivIzudeGraphics& G) {
      G.SetFontName(u"Arial");
      G.SetFontSize(10);
      G.SetFontColor(0x000000);
      const float W = G.CalculateText(u"right", TRectF{0, 0, 10000, 10000}, false, false).Right;
      G.DrawText(TRectF{20, 5, 20 + W, 25}, u"right", false, gtaLeading, gtaCenter, gttNone, 0, -1, -1, false);
      G.DrawText(TRectF{20, 30, 20 + W + 40, 50}, u"right", false, gtaLeading, gtaCenter, gttNone, 0, -1, -1, false);
    });
    const std::vector<TRect> Lines = InkLines(*Picture, {0, 0, 200, 60}, kInkLuminance);
    ASSERT_EQ(Lines.size(), 2u);
    EXPECT_EQ(Lines[0].Left, Lines[1].Left);
    EXPECT_EQ(Lines[0].Right, Lines[1].Right);
  }
}
