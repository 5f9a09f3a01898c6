// The markup text engine on a surface with fixed metrics (7 x 13 pixels a
// character at size 8): text preparation, line breaking and wrapping,
// alignment, lists, fonts, anchors and their hit test, controls, pictures,
// floats, highlighting, and texts that must not cost more than their length.
#include <gtest/gtest.h>

#include "chart/drawing/VivIzudeHTMLEngine.h"
#include "chart/drawing/VivIzudeMarkupRecorder.h"
#include "tests/support/TestSupport.h"

namespace {
using U8 = std::string;
U8 Text(const String& S) { return UTF16ToUTF8(S); }

constexpr TRectF Wide{0, 0, 1000, 1000};

struct TMarkupCall {
  TVivIzudeMarkupRecorder Surface;
  TVivIzudeMarkupOptions Options;
  TVivIzudeMarkupResults Results;
  bool Hit = false;

  bool Run(const String& AText, const TRectF& ARect = Wide) {
    Surface.Clear();
    Hit = RenderMarkupOn(Surface, AText, ARect, Options, Results);
    return Hit;
  }
  std::vector<TVivIzudeMarkupRecord> Of(TVivIzudeMarkupOp AOp) const {
    std::vector<TVivIzudeMarkupRecord> R;
    for (const auto& Rec : Surface.Records())
      if (Rec.Op == AOp) R.push_back(Rec);
    return R;
  }
  // The text record that draws ARun.
  TVivIzudeMarkupRecord TextOf(const String& ARun) const {
    for (const auto& Rec : Surface.Records())
      if (Rec.Op == moText && Rec.Text == ARun) return Rec;
    ADD_FAILURE() << "no text " << Text(ARun);
    return {};
  }
};
}  // namespace

TEST(MarkupPreparation, EntitiesHashTagAndLineEnds) {
  struct TCase {
    const char16_t* In;
    const char16_t* Out;
  } Cases[] = {
      {u"a&amp;amp;amp;b", u"a&b"},    // "&amp;" collapses until none is left
      {u"&lt;B&gt;x", u"<B>x"},        // decoded brackets are real tags
      {u"&amp;lt;", u"&lt;"},          // ... but "&amp;lt;" stays an entity for the run
      {u"caf&eacute;", u"caf\u00E9"},  // named entities
      {u"x<#abc>y>z", u"x#abcy>z"},    // only the first "<#" tag loses its brackets
      {u"a<#b>c<#d>e", u"a#bc<#d>e"},  //
      {u"a\n\rb", u"a<BR>b"},          // a line feed and a carriage return: one break
      {u"a\r\nb\rc", u"a<BR>b<BR>c"},  //
      {u"plain", u"plain"},            //
  };
  for (const auto& C : Cases) EXPECT_EQ(Text(PrepareMarkupText(C.In)), Text(C.Out)) << Text(C.In);
}

TEST(MarkupLayout, EmptyPlainAndBrokenLines) {
  TMarkupCall C;
  C.Options.MeasureOnly = true;
  C.Run(u"");
  EXPECT_EQ(C.Results.YSize, 13);  // one line's height
  EXPECT_EQ(C.Results.XSize, 0);
  EXPECT_EQ(C.Results.LineCount, 0);

  C.Run(u"abc");
  EXPECT_EQ(C.Results.XSize, 21 + 2);
  EXPECT_EQ(C.Results.YSize, 13);
  EXPECT_EQ(C.Results.LineCount, 1);
  EXPECT_TRUE(C.Surface.Records().empty());  // measuring never draws

  C.Options.LineSpacing = 4;
  C.Run(u"a<BR>bb<br>ccc");
  EXPECT_EQ(C.Results.LineCount, 3);
  EXPECT_EQ(C.Results.YSize, 3 * (13 + 4));
  EXPECT_EQ(C.Results.XSize, 21 + 2);
}

TEST(MarkupLayout, WordWrappingPlacesWordsOnLines) {
  TMarkupCall C;
  C.Options.WordWrapping = true;
  // "hello " is 42 wide, "world" 35: together 77, more than 60.
  C.Run(u"hello world", {0, 0, 60, 500});
  EXPECT_EQ(C.Results.LineCount, 2);
  EXPECT_EQ(C.Results.YSize, 26);
  EXPECT_EQ(C.Results.XSize, 35 + 2);  // the first line loses its trailing space
  EXPECT_EQ(C.TextOf(u"hello ").Rect.Top, 0);
  EXPECT_EQ(C.TextOf(u"world").Rect.Left, 0);
  EXPECT_EQ(C.TextOf(u"world").Rect.Top, 13);

  // Side by side when they fit; a word wider than the line still goes in.
  C.Run(u"hello world", {0, 0, 200, 500});
  EXPECT_EQ(C.Results.LineCount, 1);
  EXPECT_EQ(C.TextOf(u"world").Rect.Left, 42);
  C.Run(u"a extraordinarily b", {0, 0, 40, 500});
  EXPECT_EQ(C.Results.LineCount, 2);
  EXPECT_EQ(C.TextOf(u"extraordinarily ").Rect.Left, 14);
  EXPECT_EQ(C.TextOf(u"b").Rect.Top, 13);

  // Without wrapping nothing moves to another line.
  C.Options.WordWrapping = false;
  C.Run(u"hello world", {0, 0, 60, 500});
  EXPECT_EQ(C.Results.LineCount, 1);
}

TEST(MarkupLayout, PaintingStopsBelowTheAreaMeasuringDoesNot) {
  TMarkupCall C;
  const String Five = u"1<BR>2<BR>3<BR>4<BR>5";
  C.Run(Five, {0, 0, 100, 30});
  EXPECT_EQ(C.Surface.Texts(), (std::vector<String>{u"1", u"2"}));
  C.Options.MeasureOnly = true;
  C.Run(Five, {0, 0, 100, 30});
  EXPECT_EQ(C.Results.LineCount, 5);
  EXPECT_EQ(C.Results.YSize, 65);
}

TEST(MarkupLayout, ParagraphAlignmentAndIndentInAnOffsetArea) {
  TMarkupCall C;
  const TRectF Area{50, 20, 150, 500};
  C.Run(u"<P ALIGN=\"RIGHT\">ab</P>cd<BR><P ALIGN=\"CENTER\">ef<BR><p align=\"left\" indent=\"5\">gh", Area);
  EXPECT_EQ(C.TextOf(u"ab").Rect.Left, 150 - 14);
  EXPECT_EQ(C.TextOf(u"ab").Rect.Top, 20);
  EXPECT_EQ(C.TextOf(u"cd").Rect.Left, 150 - 14);  // </P> does not reset the alignment
  EXPECT_EQ(C.TextOf(u"cd").Rect.Top, 33);
  EXPECT_EQ(C.TextOf(u"ef").Rect.Left, 50 + (100 - 14) / 2.0f);
  EXPECT_EQ(C.TextOf(u"gh").Rect.Left, 55);
  // An alignment tag acts on the whole line it is in.
  C.Run(u"ab<P ALIGN=\"CENTER\">cd", Area);
  EXPECT_EQ(C.TextOf(u"ab").Rect.Left, 50 + (100 - 28) / 2.0f);
  // A line wider than the area keeps its left edge.
  C.Run(u"<P ALIGN=\"RIGHT\">abcdefghijklmnopqrstuvwxyz", Area);
  EXPECT_EQ(C.TextOf(u"abcdefghijklmnopqrstuvwxyz").Rect.Left, 50);
}

TEST(MarkupLayout, ListsBreakLinesAndDrawBullets) {
  TMarkupCall C;
  C.Run(u"<UL><LI>a<LI>b</UL>");
  EXPECT_EQ(C.Results.LineCount, 3);  // <UL> ends the (empty) first line
  const auto Texts = C.Surface.Texts();
  ASSERT_EQ(Texts.size(), 4u);
  const String Dot(1, Char(0x00B7));
  EXPECT_EQ(Text(Texts[0]), Text(Dot));
  EXPECT_EQ(Text(C.Of(moText)[0].Font.Name), "Symbol");
  EXPECT_EQ(C.Of(moText)[0].Rect.Top, 13);
  EXPECT_EQ(C.TextOf(u"a").Rect.Left, 12);
  EXPECT_EQ(C.TextOf(u"a").Rect.Top, 13);
  EXPECT_EQ(C.TextOf(u"b").Rect.Top, 26);
  EXPECT_EQ(Text(C.TextOf(u"a").Font.Name), "Tahoma");

  // Level 2 draws "o", one step further right; typed bullets are shapes.
  C.Run(u"<UL><UL><LI>x</UL></UL><LI TYPE=\"square\" COLOR=\"#00FF00\">y");
  EXPECT_EQ(C.TextOf(u"o").Rect.Left, 12);
  EXPECT_EQ(C.TextOf(u"x").Rect.Left, 24);
  const auto Squares = C.Of(moRectangle);
  ASSERT_EQ(Squares.size(), 1u);
  EXPECT_EQ(Squares[0].Fill, 0x00FF00);
  EXPECT_EQ(Squares[0].Rect.Bottom - Squares[0].Rect.Top, 8);
}

TEST(MarkupFormatting, FontStylesSizesAndColours) {
  TMarkupCall C;
  C.Run(u"<b>x</B>y<I><U><S>z</S></U></I>");
  EXPECT_TRUE(C.TextOf(u"x").Font.Style.Contains(fsBold));
  EXPECT_FALSE(C.TextOf(u"y").Font.Style.Contains(fsBold));
  EXPECT_EQ(C.TextOf(u"z").Font.Style, (TFontStyles{fsItalic, fsUnderline, fsStrikeOut}));

  C.Run(u"<BX>a<FONT SIZE=\"3\" COLOR=\"#ff0000\" FACE=\"Arial\">b</FONT>c<FONT SIZE=\"20\">d</FONT>");
  EXPECT_EQ(C.TextOf(u"a").Font.Style, TFontStyles{});  // an unknown B tag does nothing
  EXPECT_EQ(C.TextOf(u"b").Font.Size, 12);
  EXPECT_EQ(C.TextOf(u"b").Font.Color, 0x0000FF);
  EXPECT_EQ(Text(C.TextOf(u"b").Font.Name), "ARIAL");
  EXPECT_EQ(C.TextOf(u"c").Font.Size, 8);
  EXPECT_EQ(C.TextOf(u"c").Font.Color, 0);
  EXPECT_EQ(Text(C.TextOf(u"c").Font.Name), "Tahoma");
  EXPECT_EQ(C.TextOf(u"d").Font.Size, 20);

  C.Options.IgnoreColors = true;
  C.Run(u"<FONT COLOR=\"red\">r</FONT>");
  EXPECT_EQ(C.TextOf(u"r").Font.Color, 0);
}

TEST(MarkupFormatting, SubscriptSuperscriptHiddenAndRuleGeometry) {
  TMarkupCall C;
  C.Options.MeasureOnly = true;
  C.Run(u"a<SUP>b</SUP>");
  EXPECT_EQ(C.Results.YSize, 13 + 13 / 4.0f);
  C.Run(u"a<Z>hidden</Z>b");
  EXPECT_EQ(C.Results.XSize, 14 + 2);
  EXPECT_EQ(Text(C.Results.PlainText), "ahiddenb");

  C.Options.MeasureOnly = false;
  C.Run(u"a<Z>hidden</Z>b<HR COLOR=\"#0000FF\">c");
  EXPECT_EQ(C.Surface.Texts(), (std::vector<String>{u"a", u"b", u"c"}));
  const auto Lines = C.Of(moLine);
  ASSERT_EQ(Lines.size(), 1u);
  EXPECT_EQ(Lines[0].From.Y, 14);
  EXPECT_EQ(Lines[0].To.X, 1000);
  EXPECT_EQ(Lines[0].Stroke, 0xFF0000);
  EXPECT_EQ(C.TextOf(u"c").Rect.Top, 13);
}

TEST(MarkupFormatting, ErrorShadowAndRunBackgrounds) {
  TMarkupCall C;
  C.Options.ShadowOffset = 2;
  C.Options.ShadowColor = 0x808080;
  C.Run(u"<E>ab</E><SH>s</SH>");
  const auto Zigzag = C.Of(moLine);
  ASSERT_EQ(Zigzag.size(), 7u);  // 14 pixels in steps of 2
  EXPECT_EQ(Zigzag[0].Stroke, 0x0000FF);
  EXPECT_EQ(Zigzag[0].From.Y, 14);  // starts below at a multiple of 4
  EXPECT_EQ(Zigzag[0].To.Y, 12);
  const auto Texts = C.Of(moText);
  ASSERT_EQ(Texts.size(), 3u);
  EXPECT_EQ(Texts[1].Font.Color, 0x808080);
  EXPECT_EQ(Texts[1].Rect.Left, Texts[2].Rect.Left + 2);

  // With wrapping a <FONT> background covers only the next word.
  C.Options.WordWrapping = true;
  C.Run(u"<FONT BGCOLOR=\"#00FF00\">one two three");
  ASSERT_EQ(C.Of(moRectangle).size(), 1u);
  EXPECT_EQ(C.Of(moRectangle)[0].Rect.Right, 28);
}

TEST(MarkupAnchors, HitTestFindsTheAnchorUnderThePoint) {
  TMarkupCall C;
  C.Options.HitTestOnly = true;
  const String T = u"go <A HREF=\"http://x/\">link</A> end";
  const TRectF Area{100, 40, 400, 200};
  C.Options.X = 100 + 21 + 10;  // inside "link", which starts after "go "
  C.Options.Y = 40 + 6;
  EXPECT_TRUE(C.Run(T, Area));
  EXPECT_EQ(Text(C.Results.AnchorValue), "http://x/");
  EXPECT_EQ(C.Results.AnchorHit, 1);
  EXPECT_EQ(C.Results.AnchorCount, 1);
  // The rectangle is in the area's coordinates, not within the line.
  EXPECT_EQ(C.Results.AnchorRect, (TRectF{121, 40, 149, 53}));
  EXPECT_TRUE(C.Surface.Records().empty());  // a hit test paints nothing

  C.Results = {};
  C.Options.X = 100 + 3;  // over "go"
  EXPECT_FALSE(C.Run(T, Area));
  EXPECT_TRUE(C.Results.AnchorValue.empty());
  EXPECT_EQ(C.Results.AnchorHit, -1);

  // An anchor that began on an earlier line: its rectangle starts at the
  // current line's left.
  C.Options.X = 100 + 7;
  C.Options.Y = 40 + 13 + 6;
  EXPECT_TRUE(C.Run(u"a<A HREF=\"u\">b<BR>cd</A>", Area));
  EXPECT_EQ(C.Results.AnchorRect, (TRectF{100, 40, 114, 66}));
}

TEST(MarkupAnchors, PaintingColoursFocusAndHover) {
  TMarkupCall C;
  C.Options.URLColor = 0x00FF00;
  C.Options.FocusIndex = 1;  // the second anchor
  C.Run(u"<A HREF=\"one\">a </A><A HREF=\"two\">b</A>c");
  const auto Texts = C.Of(moText);
  ASSERT_EQ(Texts.size(), 3u);
  EXPECT_EQ(Texts[0].Text, String(u"a \0", 3));  // a link's trailing space is drawn
  EXPECT_EQ(Texts[0].Font.Color, 0x00FF00);
  EXPECT_TRUE(Texts[0].Font.Style.Contains(fsUnderline));
  EXPECT_EQ(Texts[2].Font.Color, 0);
  EXPECT_FALSE(Texts[2].Font.Style.Contains(fsUnderline));
  EXPECT_EQ(Text(C.Results.FocusAnchor), "two");
  EXPECT_EQ(C.Results.AnchorCount, 2);

  C.Options.HoverOnly = true;
  C.Options.HoverIndex = 2;
  C.Options.HoverTextColor = 0x123456;
  C.Run(u"<A HREF=\"one\">a</A><A HREF=\"two\">b</A>");
  EXPECT_FALSE(C.TextOf(u"a").Font.Style.Contains(fsUnderline));
  EXPECT_TRUE(C.TextOf(u"b").Font.Style.Contains(fsUnderline));
  EXPECT_EQ(C.TextOf(u"b").Font.Color, 0x123456);
}

TEST(MarkupControls, DrawingSizesAndHitTestById) {
  TMarkupCall C;
  const String T =
      u"x<CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"true\"><CONTROL TYPE=\"EDIT\" ID=\"e1\" WIDTH=\"50\">"
      u"<CONTROL TYPE=\"EDIT\" ID=\"nowidth\">";
  C.Run(T);
  const auto Checks = C.Of(moCheckBox);
  ASSERT_EQ(Checks.size(), 1u);
  EXPECT_TRUE(Checks[0].Checked);
  EXPECT_EQ(Checks[0].Rect.Left, 7 + 1);
  EXPECT_EQ(Checks[0].Rect.Right - Checks[0].Rect.Left, 18 - 2);
  // x, an 18-pixel check box and a 50-pixel edit; the edit without WIDTH is ignored.
  C.Options.MeasureOnly = true;
  C.Run(T);
  EXPECT_EQ(C.Results.XSize, 7 + 18 + 50 + 2);
  EXPECT_EQ(C.Results.YSize, 23);  // text height + 10

  C.Options.MeasureOnly = false;
  C.Options.HitTestOnly = true;
  C.Results.ControlID = u"e1";
  EXPECT_TRUE(C.Run(T));
  EXPECT_EQ(Text(C.Results.AnchorValue), "ctrl");
  EXPECT_EQ(Text(C.Results.ControlType), "EDIT");
  EXPECT_EQ(Text(C.Results.ControlID), "e1");
  EXPECT_EQ(C.Results.ControlRect, (TRectF{25, 0, 75, 23}));

  // A button draws its caption; its focus look follows the point.
  C.Options.HitTestOnly = false;
  C.Options.X = 30;
  C.Options.Y = 10;
  C.Run(u"<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"80\" VALUE=\"OK\">");
  ASSERT_EQ(C.Of(moButton).size(), 1u);
  EXPECT_TRUE(C.Of(moButton)[0].Focused);
  EXPECT_EQ(C.Of(moButton)[0].Rect, (TRectF{2, 0.5f, 78, 22.5f}));  // centred in the 23-pixel line
  ASSERT_EQ(C.Of(moCaption).size(), 1u);
  EXPECT_EQ(Text(C.Of(moCaption)[0].Text), "OK");
}

TEST(MarkupPictures, SizesAndTheFileOptIn) {
  TMarkupCall C;
  C.Surface.AddPicture(u"pic", 64, 48);
  C.Surface.AddFile(u"/tmp/x.png", 10, 10);
  C.Run(u"<IMG SRC=\"pic\" WIDTH=\"32\">a<IMG SRC=\"pic\" HEIGHT=\"24\"><IMG SRC=\"missing\">b");
  const auto Pics = C.Of(moPicture);
  ASSERT_EQ(Pics.size(), 2u);
  EXPECT_EQ(Pics[0].Rect, (TRectF{0, 0, 32, 24}));
  EXPECT_EQ(Pics[1].Rect, (TRectF{39, 0, 71, 24}));
  EXPECT_EQ(C.TextOf(u"b").Rect.Left, 71);  // a missing picture takes no space

  // "FILE://" pictures are read only when the caller allows it.
  const String Files = u"<BODY BACKGROUND=\"FILE:///tmp/x.png\"><IMG SRC=\"FILE:///tmp/x.png\">";
  C.Run(Files, {0, 0, 20, 20});
  EXPECT_TRUE(C.Surface.FilesAsked().empty());
  EXPECT_TRUE(C.Of(moPicture).empty());
  C.Options.AllowFilePictures = true;
  C.Run(Files, {0, 0, 20, 20});
  EXPECT_FALSE(C.Surface.FilesAsked().empty());
  EXPECT_EQ(C.Of(moPicture).size(), 4u + 1u);  // 2 x 2 tiles and the image
}

TEST(MarkupPictures, FloatReservationEndsAtThePictureBottom) {
  TMarkupCall C;
  C.Surface.AddPicture(u"p", 20, 30);
  // The area starts at y = 100: the picture covers 100..130.
  C.Run(u"<IMG SRC=\"p\" FLOAT=\"LEFT\">a<BR>b<BR>c<BR>d", {0, 100, 200, 400});
  EXPECT_EQ(C.TextOf(u"a").Rect.Left, 20);
  EXPECT_EQ(C.TextOf(u"b").Rect.Left, 20);
  EXPECT_EQ(C.TextOf(u"c").Rect.Left, 20);  // top 126, still beside the picture
  EXPECT_EQ(C.TextOf(u"d").Rect.Left, 0);   // top 139, below it
  EXPECT_EQ(C.Of(moPicture)[0].Rect, (TRectF{0, 100, 20, 130}));

  C.Run(u"<IMG SRC=\"p\" FLOAT=\"RIGHT\">a<BR>b", {0, 100, 200, 400});
  EXPECT_EQ(C.Of(moPicture)[0].Rect.Left, 180);
}

TEST(MarkupFaults, UnclosedBracketKeepsTheRestAndPlainTextHasEachLineOnce) {
  TMarkupCall C;
  C.Run(u"a < b");
  EXPECT_EQ(C.Surface.Texts(), (std::vector<String>{u"a ", u"< b"}));
  C.Run(u"x<B>y<z");
  EXPECT_EQ(C.Surface.Texts(), (std::vector<String>{u"x", u"y", u"<z"}));
  EXPECT_TRUE(C.TextOf(u"<z").Font.Style.Contains(fsBold));
  C.Run(u"ab<BR>cd<BR>e &lt; f");
  EXPECT_EQ(Text(C.Results.PlainText), "ab\rcd\re < f");
}

TEST(MarkupFaults, SurfaceStateComesBack) {
  TMarkupCall C;
  const TVivIzudeMarkupFont Before = C.Surface.GetFont();
  C.Run(u"<BODY BGCOLOR=\"red\"><P BGCOLOR=\"blue\"><FONT SIZE=\"5\" FACE=\"X\"><B>a<E>b<HR COLOR=\"green\">");
  EXPECT_EQ(C.Surface.GetFont(), Before);
  EXPECT_EQ(C.Surface.GetFillColor(), 0xFFFFFF);
  EXPECT_EQ(C.Surface.GetStrokeColor(), 0xC0C0C0);
  // The body and the paragraph band were filled first.
  const auto Fills = C.Of(moRectangle);
  ASSERT_GE(Fills.size(), 2u);
  EXPECT_EQ(Fills[0].Fill, 0x0000FF);
  EXPECT_EQ(Fills[0].Rect.Left, -2);
  EXPECT_EQ(Fills[1].Fill, 0xFF0000);
}

namespace {
// Button captions drawn by a nested engine call, as the facade does; here
// every caption holds another button.
class TNestingSurface : public TVivIzudeMarkupRecorder {
public:
  Integer Calls = 0;
  void DrawCaption(const TRectF& ARect, const String&) override {
    ++Calls;
    TVivIzudeMarkupOptions O;
    TVivIzudeMarkupResults R;
    RenderMarkupOn(*this, u"<CONTROL TYPE=\"BUTTON\" WIDTH=\"80\" VALUE=\"v\">", ARect, O, R);
  }
};
}  // namespace

TEST(MarkupFaults, MalformedAndDeepTextsCostTheirLength) {
  TMarkupCall C;
  C.Options.WordWrapping = true;
  String Deep;
  for (int I = 0; I < 3000; ++I) Deep += u"<B><FONT SIZE=\"9\"><UL><A HREF=\"x\"><SUB>w ";
  C.Run(Deep, {0, 0, 300, 1e6f});
  EXPECT_GT(C.Results.LineCount, 3000);
  EXPECT_LT(C.Surface.Measurements(), 20 * 3000 * 2);

  String Brackets(20000, u'<');
  C.Run(Brackets, {0, 0, 300, 1e6f});
  EXPECT_GT(C.Results.LineCount, 0);

  // A caption holding a button whose caption holds a button ...: the
  // nesting stops.
  TNestingSurface S;
  TVivIzudeMarkupOptions O;
  TVivIzudeMarkupResults R;
  RenderMarkupOn(S, u"<CONTROL TYPE=\"BUTTON\" WIDTH=\"80\" VALUE=\"v\">", Wide, O, R);
  EXPECT_GT(S.Calls, 1);
  EXPECT_LE(S.Calls, 8);
}

TEST(MarkupHighlight, WrapsVisibleMatchesAndKeepsTheMarkup) {
  struct TCase {
    const char16_t* In;
    const char16_t* Search;
    bool CaseSensitive;
    const char16_t* Out;
  } Cases[] = {
      {u"<B>abc</B>abc", u"bc", false, u"<B>a<hi>bc</hi></B>a<hi>bc</hi>"},
      {u"Abc abc", u"ABC", false, u"<hi>Abc</hi> <hi>abc</hi>"},
      {u"Abc abc", u"abc", true, u"Abc <hi>abc</hi>"},
      {u"<I>x</I> none", u"q", false, u"<I>x</I> none"},
      // Stray brackets are escaped and the tags stay.
      {u"a < b", u"b", false, u"a &lt; <hi>b</hi>"},
      {u"<B>x</B> > y", u"y", false, u"<B>x</B> &gt; <hi>y</hi>"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(Text(HighlightMarkup(C.In, C.Search, u"hi", C.CaseSensitive)), Text(C.Out)) << Text(C.In);
}

TEST(MarkupFormatting, HighlightBlinkIndentOffsetAndFloatingParagraph) {
  TMarkupCall C;
  C.Options.WordWrapping = true;
  C.Options.HighlightColor = 0x00FFFF;
  C.Options.HighlightTextColor = 0x010101;
  C.Options.HighlightFontStyles = {fsBold};
  C.Run(u"a<HI>bc de</HI>f");
  // Every highlighted word gets the background, not only the first.
  const auto Backgrounds = C.Of(moRectangle);
  ASSERT_EQ(Backgrounds.size(), 2u);
  EXPECT_EQ(Backgrounds[0].Fill, 0x00FFFF);
  EXPECT_EQ(Backgrounds[1].Rect.Left, 28);
  EXPECT_EQ(C.TextOf(u"bc ").Font.Color, 0x010101);
  EXPECT_EQ(C.TextOf(u"de").Font.Style, TFontStyles{fsBold});
  EXPECT_EQ(C.TextOf(u"f").Font.Color, 0);
  EXPECT_EQ(C.TextOf(u"f").Font.Style, TFontStyles{});

  C.Options.WordWrapping = false;
  C.Run(u"<BL>z</BL>y");
  EXPECT_EQ(C.TextOf(u"z").Font.Color, 0xFFFFFF);  // vanishes into the fill
  EXPECT_EQ(C.TextOf(u"y").Font.Color, 0);
  C.Options.BlinkPhase = true;
  C.Run(u"<BL>z</BL>y");
  EXPECT_EQ(C.TextOf(u"z").Font.Color, 0);

  C.Run(u"<IND x=\"40\">a<BR>bc<IND x=\"5\">d");
  EXPECT_EQ(C.TextOf(u"a").Rect.Left, 40);
  EXPECT_EQ(C.TextOf(u"d").Rect.Left, 14);  // an indent left of the position does nothing
  C.Run(u"<OF x=\"30\">a<BR>b</OF><BR>c");
  EXPECT_EQ(C.TextOf(u"a").Rect.Left, 30);
  EXPECT_EQ(C.TextOf(u"b").Rect.Left, 30);
  EXPECT_EQ(C.TextOf(u"c").Rect.Left, 0);

  // A floating paragraph's next line starts where it started.
  C.Run(u"<P FLOAT=\"LEFT\">a<BR>b");
  EXPECT_EQ(C.TextOf(u"b").Rect.Top, 0);
  EXPECT_EQ(C.Results.YSize, 13);
}

TEST(MarkupPictures, HotAlternativeImageListAndTopAlignment) {
  TMarkupCall C;
  C.Surface.AddPicture(u"p", 10, 10);
  C.Surface.AddPicture(u"q", 30, 30);
  C.Surface.AddPicture(u"big", 20, 40);
  const String Link = u"<A HREF=\"u\"><IMG SRC=\"p\" ALT=\"q\"></A>";
  C.Options.X = 5;
  C.Options.Y = 5;
  EXPECT_TRUE(C.Run(Link));
  EXPECT_EQ(Text(C.Results.AnchorValue), "u");
  ASSERT_EQ(C.Of(moPicture).size(), 1u);
  EXPECT_EQ(Text(C.Of(moPicture)[0].Text), "q");               // the hot picture shows its ALT
  EXPECT_EQ(C.Of(moPicture)[0].Rect, (TRectF{0, 0, 10, 10}));  // in the SRC picture's box
  C.Options.X = 50;
  C.Results = {};
  EXPECT_FALSE(C.Run(Link));
  EXPECT_EQ(Text(C.Of(moPicture)[0].Text), "p");

  C.Surface.SetImageList(3, {16, 16});
  C.Run(u"<IMG SRC=\"IDX:1\">x<IMG SRC=\"IDX:5\">y");
  ASSERT_EQ(C.Of(moListPicture).size(), 1u);
  EXPECT_EQ(C.Of(moListPicture)[0].Index, 1);
  EXPECT_EQ(C.TextOf(u"x").Rect.Left, 16);
  EXPECT_EQ(C.TextOf(u"y").Rect.Left, 23);  // an index past the list takes no space
  C.Options.NoImageListPictures = true;
  C.Run(u"<IMG SRC=\"IDX:1\">x");
  EXPECT_TRUE(C.Of(moListPicture).empty());
  EXPECT_EQ(C.TextOf(u"x").Rect.Left, 16);

  // The text lines up with a tall picture's top when asked, else its bottom.
  C.Run(u"<IMG SRC=\"big\" ALIGN=\"TOP\">t");
  EXPECT_EQ(C.TextOf(u"t").Rect.Bottom, 13);
  C.Run(u"<IMG SRC=\"big\">t");
  EXPECT_EQ(C.TextOf(u"t").Rect.Bottom, 40);
}
