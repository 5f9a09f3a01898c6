// Named colours and colour helpers, and the shared helper class: markup
// entities, escaping, URL and hex coding, picture signatures, character
// sets, dates and rounding.
#include <gtest/gtest.h>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "rtl/Exceptions.h"
#include "rtl/FormatSettings.h"
#include "tests/support/TestSupport.h"

using testsupport::MessageTextOf;
using U8 = std::string;

namespace {
U8 Text(const String& S) { return UTF16ToUTF8(S); }
}  // namespace

TEST(NamedColors, TableAndNameConversions) {
  EXPECT_EQ(NamedColors().size(), 160u);
  struct TCase {
    const char16_t* Text;
    TColor Color;
  } Cases[] = {{u"Red", 0x0000FF},       {u"clRed", 0x0000FF},   {u"gcRed", 0x0000FF},  {u"WHITE", 0xFFFFFF},
               {u"clWhite", 0xFFFFFF},   {u"gcwhite", 0xFFFFFF}, {u"clAqua", 0xFFFF00}, {u"clSkyBlue", 0xEBCE87},
               {u"aliceblue", 0xFFF8F0}, {u"grey", 0x808080},    {u"nosuchcolour", 0},  {u"claRed", 0}};
  for (const auto& C : Cases) EXPECT_EQ(TVivIzudeGraphics::TextToColor(C.Text), C.Color) << Text(C.Text);
}

TEST(NamedColors, HtmlCodesBothWays) {
  EXPECT_EQ(TVivIzudeGraphics::HTMLToColor(u"#FF8000"), 0x0080FF);
  EXPECT_EQ(TVivIzudeGraphics::HTMLToColor(u"#ff8000"), 0x0080FF);
  EXPECT_EQ(TVivIzudeGraphics::HTMLToColor(u"#FF80"), 0x80FF);  // the blue group is missing
  EXPECT_EQ(TVivIzudeGraphics::HTMLToColor(u"#GG8000"), 0x8000);
  EXPECT_EQ(Text(TVivIzudeGraphics::ColorToHTML(0x0080FF)), "#FF8000");
  // A system colour is written as its current value, never as its reference.
  const U8 Face = Text(TVivIzudeGraphics::ColorToHTML(clBtnFace));
  EXPECT_EQ(Face, Text(TVivIzudeGraphics::ColorToHTML(ResolveDrawingColor(clBtnFace))));
  EXPECT_EQ(Face.size(), 7u);
}

TEST(ColorHelpers, BlendLightenAndMake) {
  EXPECT_EQ(MakeColor(1, 2, 3), 0x030201);
  EXPECT_EQ(BlendColor(0xFFFFFF, 0x000000, 50), 0x7F7F7F);
  EXPECT_EQ(BlendColor(0x000000, 0xFFFFFF, 50), 0x7F7F7F);
  EXPECT_EQ(BlendColor(0x123456, 0xABCDEF, 0), 0xABCDEF);
  // 100 % is alpha 255, not 256: the shift leaves 254 of 255.
  EXPECT_EQ(BlendColor(0x0000FF, 0x00FF00, 100), 0x0000FE);
  EXPECT_EQ(LightenColor(0x000000, 50), 0x808080);  // 127.5 rounded away from zero
  EXPECT_EQ(LightenColor(0x102030, 0), 0x102030);
  EXPECT_EQ(LightenColor(0x102030, 100), 0xFFFFFF);
}

TEST(VivIzudeUtils, MarkupEntities) {
  EXPECT_EQ(TVivIzudeUtils::MarkupNames().size(), 76u);
  EXPECT_EQ(TVivIzudeUtils::MarkupChars().size(), 76u);
  EXPECT_EQ(Text(TVivIzudeUtils::FixMarkup(u"a & b")), "a&nbsp;&amp;&nbsp;b");
  EXPECT_EQ(Text(TVivIzudeUtils::FixMarkup(u"<\u00E9>", false)), "&lt;\xC3\xA9&gt;");
  EXPECT_EQ(Text(TVivIzudeUtils::FixMarkup(u"x\u00E9\u20AC\"")), "x&eacute;&euro;&quot;");
  EXPECT_EQ(Text(TVivIzudeUtils::UnFixMarkup(u"&lt;b&gt;&amp;&nbsp;&eacute;&Eacute;")), "<b>& \xC3\xA9\xC3\x89");
  EXPECT_EQ(TVivIzudeUtils::GetMarkupIndex(u"&eacute;"), 5);  // accented names compare exactly
  EXPECT_EQ(TVivIzudeUtils::GetMarkupIndex(u"&Eacute;"), 25);
  EXPECT_EQ(TVivIzudeUtils::GetMarkupIndex(u"&COPY;"), 51);
  EXPECT_EQ(Text(TVivIzudeUtils::GetSpecialChar(1)), "&");
  EXPECT_EQ(TVivIzudeUtils::GetSpecialChar(77), u"");
  String Dest = u"One <B>two</b>";
  EXPECT_TRUE(TVivIzudeUtils::TagReplaceString(u"</B>", u"]", Dest));
  EXPECT_EQ(Text(Dest), "One <B>two]");
  EXPECT_FALSE(TVivIzudeUtils::TagReplaceString(u"<i>", u"", Dest));
  EXPECT_TRUE(TVivIzudeUtils::IsHTML(u"a<br>b"));
  EXPECT_FALSE(TVivIzudeUtils::IsHTML(u"a < b"));
  EXPECT_EQ(Text(TVivIzudeUtils::HTMLStrip(u"<b>bold</b><BR>next<hr>end <i")), "bold\r\nnext\r\nend ");
}

TEST(VivIzudeUtils, EscapingAndUrls) {
  EXPECT_EQ(Text(TVivIzudeUtils::EscapeString(u"\"\t\u00E9x")), "\\u0022\\u0009\\u00E9x");
  EXPECT_EQ(TVivIzudeUtils::UnescapeString(u"\\u00e9\\\\"), u"\u00E9\\");
  EXPECT_EQ(MessageTextOf<Exception>([] { TVivIzudeUtils::UnescapeString(u"ab\\"); }), "Unexpected end of string");
  EXPECT_EQ(MessageTextOf<Exception>([] { TVivIzudeUtils::UnescapeString(u"\\n"); }), "Invalid code at position 1");
  EXPECT_EQ(MessageTextOf<Exception>([] { TVivIzudeUtils::UnescapeString(u"x\\u12"); }), "Invalid code at position 2");
  EXPECT_EQ(Text(TVivIzudeUtils::URLEncode(u"a b~")), "a%20b%7E");
  EXPECT_EQ(Text(TVivIzudeUtils::URLEncode(u"\u00E9")), "%C3%A9");
  EXPECT_EQ(Text(TVivIzudeUtils::URLDecode(u"%41%4a")), "A");
  EXPECT_EQ(Text(TVivIzudeUtils::URLDecode(u" %C3%A9+x%")), "\xC3\xA9+x");
}

TEST(VivIzudeUtils, HexCodingAndPictureSignatures) {
  const TBytes B = TVivIzudeUtils::HexStrToBytes(u"00fFa");
  EXPECT_EQ(B, (TBytes{0x00, 0xFF}));
  EXPECT_THROW(TVivIzudeUtils::HexStrToBytes(u"0G"), EConvertError);
  TBytesStream Stream(TBytes{0, 255});
  EXPECT_EQ(Text(TVivIzudeUtils::SaveStreamToHexStr(Stream)), "00FF");
  TMemoryStream Out;
  TVivIzudeUtils::LoadStreamFromHexStr(u"4142", Out);
  EXPECT_EQ(Out.Size(), 2);

  struct TCase {
    TBytes Data;
    TVivGraphicFormat Format;
  } Cases[] = {
      {{'I', 'I', 42, 0}, gfTIFF},
      {{'M', 'M', 0, 42}, gfTIFF},
      {{'I', 'I', 43, 0}, gfUnknown},
      {{'B', 'M'}, gfBitmap},
      {{0xFF, 0xD8}, gfJPEG},
      {{0x89, 'P', 'N', 'G', 13, 10, 26, 10}, gfPNG},
      {{0xD7, 0xCD, 0xC6, 0x9A}, gfMetafile},
      {{'G', 'I', 'F'}, gfGIF},
      {{0, 0, 1, 0}, gfIcon},
      {{0x89, 'P', 'N'}, gfUnknown},
      {{}, gfUnknown},
  };
  for (const auto& C : Cases) {
    TVivGraphicFormat F = gfPNG;
    EXPECT_EQ(TVivIzudeUtils::FindGraphicClass(C.Data.data(), static_cast<Int64>(C.Data.size()), F),
              C.Format != gfUnknown);
    EXPECT_EQ(F, C.Format);
  }
}

TEST(VivIzudeUtils, CharSetsAndScanning) {
  EXPECT_EQ(TVivIzudeUtils::AlphaCharSet().size(), 52u);
  const auto Sub =
      TVivIzudeUtils::SubCharSet(TVivIzudeUtils::NumericCharSet(), TVivIzudeUtils::CreateCharSet(u"13579"));
  EXPECT_EQ(String(Sub.begin(), Sub.end()), u"02468");
  Integer P = 0;
  EXPECT_EQ(TVivIzudeUtils::FirstChar(TVivIzudeUtils::CreateCharSet(u"&|"), u"\"a&b\"|c", P), u'|');
  EXPECT_EQ(P, 6);
  EXPECT_EQ(TVivIzudeUtils::FirstChar(TVivIzudeUtils::CreateCharSet(u"#"), u"abc", P), 0);
  EXPECT_EQ(P, -1);
  EXPECT_EQ(Text(TVivIzudeUtils::StripLogicSpaces(u"a b \"c d\" e")), "ab\"c d\"e");
  EXPECT_EQ(TVivIzudeUtils::ClosingParenthesis(u"(a(b)c)d"), 7);
  EXPECT_EQ(TVivIzudeUtils::ClosingParenthesis(u"(a"), 0);
  EXPECT_EQ(TVivIzudeUtils::CharInStr(u"ab", 2), u'b');
  EXPECT_EQ(TVivIzudeUtils::CharInStr(u"ab", 3), 0);
  EXPECT_EQ(Text(TVivIzudeUtils::AddBackslash(u"c:")), "c:\\");
  EXPECT_EQ(TVivIzudeUtils::AddBackslash(u""), u"");
  EXPECT_EQ(Text(TVivIzudeUtils::AddForwardslash(u"a/")), "a/");
}

TEST(VivIzudeUtils, DatesRoundingAndSmallHelpers) {
  const TDateTime Moment = EncodeDateTime(2024, 1, 31, 12, 30, 45, 0);
  EXPECT_EQ(Text(TVivIzudeUtils::DateTimeToISO(Moment)), "20240131T123045");
  EXPECT_DOUBLE_EQ(TVivIzudeUtils::ISOToDateTime(u"2024-01-31T12:30:45"), Moment);
  EXPECT_DOUBLE_EQ(TVivIzudeUtils::ISOToDateTime(u"0000-00-00"), EncodeDate(1, 1, 1));
  EXPECT_EQ(TVivIzudeUtils::MulDivInt(7, 1, 2), 4);
  EXPECT_EQ(TVivIzudeUtils::MulDivInt(-7, 1, 2), -4);
  EXPECT_EQ(TVivIzudeUtils::MulDivInt(1, 1, 0), -1);
  EXPECT_EQ(TVivIzudeUtils::MulDivInt(2000000000, 3, 4), 1500000000);  // the product is 64-bit
  EXPECT_FLOAT_EQ(TVivIzudeUtils::MulDivSingle(2.5f, 3, 2), 3);        // 2.5 rounds to 2 first
  EXPECT_EQ(TVivIzudeUtils::EnDeCrypt(TVivIzudeUtils::EnDeCrypt(u"Secret 42")), u"Secret 42");
  EXPECT_NE(TVivIzudeUtils::EnDeCrypt(u"Secret"), u"Secret");
  EXPECT_EQ(Text(FormatVersionString(1, 0, 0, 0)), "1.0.0.0");
}

TEST(VivIzudeUtils, EpochSplitAndPositions) {
  EXPECT_DOUBLE_EQ(TVivIzudeUtils::EpochToDateTime(u"0"), EncodeDate(1970, 1, 1));
  EXPECT_DOUBLE_EQ(TVivIzudeUtils::EpochToDateTime(u"1706704245"), EncodeDateTime(2024, 1, 31, 12, 30, 45, 0));
  EXPECT_DOUBLE_EQ(TVivIzudeUtils::EpochToDateTime(u"-86400"), EncodeDate(1969, 12, 31));
  for (const char16_t* Bad : {u"", u"12x", u"1.5", u"99999999999999999999"})
    EXPECT_THROW(TVivIzudeUtils::EpochToDateTime(Bad), EConvertError) << Text(Bad);

  TStringList Parts;
  Parts.Add(u"old");
  TVivIzudeUtils::Split(u';', u"a b;c;;\"d;e\"", Parts);
  ASSERT_EQ(Parts.Count(), 4);
  EXPECT_EQ(Text(Parts.Strings(0)), "a b");  // strict: the blank does not split
  EXPECT_EQ(Text(Parts.Strings(1)), "c");
  EXPECT_EQ(Text(Parts.Strings(2)), "");
  EXPECT_EQ(Text(Parts.Strings(3)), "d;e");  // quotes group

  Integer Found = -1;
  EXPECT_EQ(TVivIzudeUtils::VarPos(u"b", u"abcb", Found), 2);
  EXPECT_EQ(Found, 2);
  EXPECT_EQ(TVivIzudeUtils::VarPos(u"B", u"abcb", Found), 0);
  EXPECT_EQ(Found, 0);
  EXPECT_EQ(TVivIzudeUtils::VarPosNoCase(u"B", u"aBcb", Found), 2);
  EXPECT_EQ(Found, 2);
}

TEST(VivIzudeUtils, FilterExpressions) {
  struct TCase {
    const char16_t* Expression;
    const char16_t* Text;
    bool Matches;
  } Cases[] = {
      {u"a*|b*", u"b12", true},
      {u"a*|b*", u"c12", false},
      {u"(a*|b*)&*2", u"b12", true},
      {u"(a*|b*)&*2", u"b13", false},
      {u">10", u"11", true},
      {u">10", u"9", false},
      {u"<=5", u"5", true},
      {u"!abc", u"abd", true},
      {u"!abc", u"abc", false},
      {u"", u"", true},
      {u"", u"x", false},
      {u"*", u"", false},
      {u"a?c", u"abc", true},
      {u"a?c", u"ac", false},
      {u"= a b ", u"ab", true},
      {u"ABC", u"abc", true},
      {u"\"a;b\"", u"a;b", true},
      {u"x*;y*", u"yes", true},
      {u"(a", u"a", true},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(TVivIzudeUtils::MatchStrEx(C.Expression, C.Text, false), C.Matches)
        << Text(C.Expression) << " / " << Text(C.Text);
  EXPECT_FALSE(TVivIzudeUtils::MatchStrEx(u"ABC", u"abc", true));
}

TEST(VivIzudeUtils, DatesByTheFormatSettings) {
  const TFormatSettings Saved = FormatSettings;
  FormatSettings.ShortDateFormat = u"dd/mm/yyyy";
  FormatSettings.DateSeparator = u'/';
  FormatSettings.TimeSeparator = u':';
  TDateTime D = 0;
  EXPECT_TRUE(TVivIzudeUtils::IsDate(u"31/12/2020 23:59", D));
  EXPECT_DOUBLE_EQ(D, EncodeDateTime(2020, 12, 31, 23, 59, 0, 0));
  EXPECT_FALSE(TVivIzudeUtils::IsDate(u"32/12/2020", D));
  EXPECT_FALSE(TVivIzudeUtils::IsDate(u"31/12/2020 24:00", D));
  EXPECT_FALSE(TVivIzudeUtils::IsDate(u"31/02/2020", D));
  EXPECT_FALSE(TVivIzudeUtils::IsDate(u"31-12-2020", D));
  EXPECT_TRUE(TVivIzudeUtils::IsDate(u"1/2/2021 10:20:30", D));
  EXPECT_DOUBLE_EQ(D, EncodeDateTime(2021, 2, 1, 10, 20, 30, 0));
  // Dates compare as dates in filter expressions.
  EXPECT_TRUE(TVivIzudeUtils::MatchStrEx(u">01/02/2021", u"02/01/2022", false));
  FormatSettings = Saved;
}
