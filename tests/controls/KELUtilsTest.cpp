#include <gtest/gtest.h>

#include "controls/OxKELUtils.h"

namespace {

TEST(KELUtils, ReplaceAllNeverRescansWhatItInserted) {
  EXPECT_EQ(ReplaceAllText(u"a|b|c", u"|", u"\r\n"), u"a\r\nb\r\nc");
  EXPECT_EQ(ReplaceAllText(u"aaa", u"a", u"aa"), u"aaaaaa");
  EXPECT_EQ(ReplaceAllText(u"abc", u"", u"x"), u"abc");
  EXPECT_EQ(ReplaceAllText(u"Abc", u"a", u"x"), u"Abc");  // case-sensitive
}

TEST(KELUtils, DelimitedFields) {
  struct {
    Integer N;
    const char16_t* Text;
    const char16_t* Field;
  } const cases[] = {
      {1, u"Open~Opens a file", u"Open"},
      {2, u"Open~Opens a file", u"Opens a file"},
      {3, u"Open~Opens a file", u""},
      {2, u"a~~b", u""},
      {3, u"a~~b", u"b"},
      {0, u"a~b", u""},
      {1, u"", u""},
      {2, u"a\u017eb~c", u"c"},  // a character above 255 is never a delimiter
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractDelimitedField(c.N, c.Text, u"~"), c.Field) << c.N;
  EXPECT_EQ(ExtractDelimitedField(2, u"a\u017e~b", u"\u017e"), u"");
  EXPECT_EQ(ExtractDelimitedField(2, u"a;b,c", u";,"), u"b");
}

TEST(KELUtils, SpacesAndCharacters) {
  EXPECT_EQ(RemoveChar(u"1 234 567", u' '), u"1234567");
  EXPECT_EQ(TrimLeadingSpaces(u"  a b  "), u"a b  ");
  EXPECT_EQ(TrimTrailingSpaces(u"  a b  "), u"  a b");
  EXPECT_EQ(TrimSpaces(u"\t a \t"), u"\t a \t");  // only character 32
  EXPECT_EQ(TrimSpaces(u"   "), u"");
  EXPECT_EQ(RepeatChar(u'0', 3), u"000");
  EXPECT_EQ(RepeatChar(u'0', 0), u"");
  EXPECT_EQ(RepeatChar(u'0', -2), u"");
  EXPECT_EQ(AbsRectWidth(Rect(10, 5, 4, 9)), 6);
  EXPECT_EQ(AbsRectHeight(Rect(10, 5, 4, 9)), 4);
}

TEST(KELUtils, NumberTextForTheLocale) {
  TFormatSettings commaSpace = TFormatSettings::English();
  commaSpace.DecimalSeparator = u',';
  commaSpace.ThousandSeparator = u' ';
  struct {
    const TFormatSettings Settings;
    const char16_t* Text;
    const char16_t* Normal;
  } const cases[] = {
      {commaSpace, u" 1 234.5 ", u"1234,5"},
      {commaSpace, u"", u"0"},
      {commaSpace, u"-", u"-0"},
      {commaSpace, u"12 Mo", u"12"},
      {TFormatSettings::English(), u"1,234.5", u"1234.5"},
      {TFormatSettings::English(), u"+7e3", u"+73"},
      {TFormatSettings::French(), u"1\u00a0234,50 Mo", u"1234,50"},
      {TFormatSettings::French(), u"3.25", u"3,25"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeNumberText(c.Text, c.Settings), c.Normal);
}

}  // namespace
