#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <limits>

#include "rtl/Unicode.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(SysUtils, Trim) {
  const struct {
    String in, both, left, right;
  } cases[] = {
      {u"", u"", u"", u""},
      {u"  a b  ", u"a b", u"a b  ", u"  a b"},
      {u"\t\r\n x \x01", u"x", u"x \x01", u"\t\r\n x"},
      {u"\u00A0x\u00A0", u"\u00A0x\u00A0", u"\u00A0x\u00A0", u"\u00A0x\u00A0"},  // only chars <= ' '
      {u"   ", u"", u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_TEXT(Trim(c.in), c.both);
    EXPECT_TEXT(TrimLeft(c.in), c.left);
    EXPECT_TEXT(TrimRight(c.in), c.right);
  }
}

TEST(SysUtils, CaseConversion) {
  EXPECT_TEXT(UpperCase(u"abc\u00E9z"), u"ABC\u00E9Z");  // ASCII only
  EXPECT_TEXT(LowerCase(u"ABC\u00C9Z"), u"abc\u00C9z");
  const struct {
    String lower, upper;
  } pairs[] = {
      {u"abcxyz", u"ABCXYZ"},
      {u"\u00E9t\u00E9 \u00E0 \u00E7a \u00FF", u"\u00C9T\u00C9 \u00C0 \u00C7A \u0178"},
      {u"\u00E6\u00F8\u00E5\u00FE", u"\u00C6\u00D8\u00C5\u00DE"},
      {u"\u0101\u0107\u010D\u0142\u0144\u0153\u0161\u017E\u017C\u017A",
       u"\u0100\u0106\u010C\u0141\u0143\u0152\u0160\u017D\u017B\u0179"},
      {u"\u03B1\u03B2\u03B3\u03AC", u"\u0391\u0392\u0393\u0386"},
      {u"\u0430\u0431\u0432\u0451", u"\u0410\u0411\u0412\u0401"},
      {u"1-2_3", u"1-2_3"},
  };
  for (const auto& p : pairs) {
    EXPECT_TEXT(AnsiUpperCase(p.lower), p.upper);
    EXPECT_TEXT(AnsiLowerCase(p.upper), p.lower);
  }
  // One-way mappings and letters without a case partner.
  EXPECT_TEXT(AnsiUpperCase(u"\u00DF\u00F7\u00D7\u0131\u017F"), u"\u00DF\u00F7\u00D7IS");
  EXPECT_TEXT(AnsiLowerCase(u"\u0130"), u"i");
  EXPECT_TEXT(AnsiUpperCase(u"\u03C2"), u"\u03A3");
}

TEST(SysUtils, Comparison) {
  EXPECT_LT(CompareStr(u"a", u"b"), 0);
  EXPECT_GT(CompareStr(u"a", u"B"), 0);
  EXPECT_EQ(CompareStr(u"abc", u"abc"), 0);
  EXPECT_LT(CompareStr(u"ab", u"abc"), 0);
  EXPECT_EQ(CompareText(u"Hello", u"hELLO"), 0);
  EXPECT_LT(CompareText(u"a", u"B"), 0);
  EXPECT_NE(CompareText(u"\u00E9", u"\u00C9"), 0);  // ASCII only
  EXPECT_TRUE(SameText(u"ABC", u"abc"));
  EXPECT_FALSE(SameText(u"ABC", u"abcd"));
  EXPECT_TRUE(AnsiSameText(u"\u00C9T\u00C9", u"\u00E9t\u00E9"));
  EXPECT_EQ(AnsiCompareText(u"\u00C9T\u00C9", u"\u00E9t\u00E9"), 0);
  EXPECT_LT(AnsiCompareText(u"\u00E9cole", u"eddy"), 0);    // accents weigh less than letters
  EXPECT_LT(AnsiCompareText(u"ete", u"\u00E9t\u00E9"), 0);  // ...but still count
  EXPECT_LT(AnsiCompareText(u"Zebra", u"\u00C4rger"), 1000);
  EXPECT_GT(AnsiCompareText(u"Zebra", u"\u00C4rger"), 0);
  EXPECT_LT(AnsiCompareText(u"a", u"B"), 0);
  EXPECT_LT(AnsiCompareText(u"file-1", u"file1"), 0);  // punctuation before digits
  EXPECT_LT(AnsiCompareText(u"9", u"a"), 0);
  EXPECT_LT(AnsiCompareStr(u"a", u"A"), 0);  // lower case first
  EXPECT_GT(AnsiCompareStr(u"b", u"A"), 0);
}

TEST(SysUtils, Searching) {
  const struct {
    String sub, s;
    Integer offset, expected;
  } cases[] = {
      {u"b", u"abcb", 1, 2}, {u"b", u"abcb", 3, 4},  {u"b", u"abcb", 5, 0}, {u"x", u"abc", 1, 0},
      {u"", u"abc", 1, 0},   {u"abc", u"abc", 1, 1}, {u"b", u"abc", 0, 0},  {u"bc", u"abcbc", 3, 4},
  };
  for (const auto& c : cases) EXPECT_EQ(Pos(c.sub, c.s, c.offset), c.expected) << UTF16ToUTF8(c.sub);
  EXPECT_EQ(Pos(u"c", u"abc"), 3);
  EXPECT_EQ(Pos(u'c', u"abcc", 4), 4);
  EXPECT_EQ(LastDelimiter(u"/\\", u"a/b\\c"), 4);
  EXPECT_EQ(LastDelimiter(u"/", u"abc"), 0);
  EXPECT_TRUE(StartsStr(u"ab", u"abc"));
  EXPECT_FALSE(StartsStr(u"AB", u"abc"));
  EXPECT_TRUE(StartsText(u"AB", u"abc"));
  EXPECT_TRUE(StartsText(u"", u"abc"));
  EXPECT_FALSE(StartsText(u"abcd", u"abc"));
  EXPECT_TRUE(EndsText(u".TXT", u"a.txt"));
  EXPECT_TRUE(EndsStr(u".txt", u"a.txt"));
  EXPECT_FALSE(EndsStr(u".TXT", u"a.txt"));
  EXPECT_TRUE(ContainsText(u"Hello World", u"WORLD"));
  EXPECT_TRUE(ContainsText(u"\u00C9T\u00C9", u"\u00E9"));
  EXPECT_FALSE(ContainsStr(u"Hello", u"hello"));
}

TEST(SysUtils, CopyDeleteInsert) {
  const struct {
    String s;
    Integer index, count;
    String expected;
  } copies[] = {
      {u"abcdef", 2, 3, u"bcd"}, {u"abcdef", 0, 2, u"ab"}, {u"abcdef", -5, 2, u"ab"}, {u"abcdef", 5, 10, u"ef"},
      {u"abcdef", 7, 1, u""},    {u"abcdef", 2, 0, u""},   {u"abcdef", 2, -1, u""},   {u"", 1, 1, u""},
  };
  for (const auto& c : copies) EXPECT_TEXT(Copy(c.s, c.index, c.count), c.expected) << c.index << "," << c.count;
  EXPECT_TEXT(Copy(u"abcdef", 3), u"cdef");
  EXPECT_TEXT(LeftStr(u"abc", 2), u"ab");
  EXPECT_TEXT(RightStr(u"abc", 2), u"bc");
  EXPECT_TEXT(RightStr(u"abc", 5), u"abc");
  EXPECT_TEXT(MidStr(u"abcdef", 2, 2), u"bc");

  const struct {
    Integer index, count;
    String expected;
  } deletes[] = {{2, 2, u"adef"},   {5, 10, u"abcd"},  {0, 2, u"abcdef"},
                 {7, 1, u"abcdef"}, {1, 0, u"abcdef"}, {1, 6, u""}};
  for (const auto& d : deletes) {
    String s = u"abcdef";
    Delete(s, d.index, d.count);
    EXPECT_TEXT(s, d.expected) << d.index << "," << d.count;
  }
  const struct {
    Integer index;
    String expected;
  } inserts[] = {{1, u"XYabc"}, {2, u"aXYbc"}, {4, u"abcXY"}, {10, u"abcXY"}, {0, u"XYabc"}};
  for (const auto& i : inserts) {
    String s = u"abc";
    Insert(u"XY", s, i.index);
    EXPECT_TEXT(s, i.expected) << i.index;
  }
  EXPECT_TEXT(StringOfChar(u'-', 3), u"---");
  EXPECT_TEXT(StringOfChar(u'-', -1), u"");
  EXPECT_TEXT(DupeString(u"ab", 3), u"ababab");
  EXPECT_TEXT(ReverseString(u"abc"), u"cba");
}

TEST(SysUtils, StringReplace) {
  const struct {
    String s, from, to;
    TReplaceFlags flags;
    String expected;
  } cases[] = {
      {u"a-b-c", u"-", u"+", {}, u"a+b-c"},
      {u"a-b-c", u"-", u"+", rfReplaceAll, u"a+b+c"},
      {u"aXbxc", u"x", u"_", rfReplaceAll, u"aXb_c"},
      {u"aXbxc", u"x", u"_", TReplaceFlags{rfReplaceAll, rfIgnoreCase}, u"a_b_c"},
      {u"aXbxc", u"x", u"_", rfIgnoreCase, u"a_bxc"},
      {u"\u00C9t\u00E9", u"\u00E9", u"e", TReplaceFlags{rfReplaceAll, rfIgnoreCase}, u"ete"},
      {u"aaa", u"aa", u"b", rfReplaceAll, u"ba"},
      {u"abc", u"", u"x", rfReplaceAll, u"abc"},
      {u"abc", u"abc", u"", rfReplaceAll, u""},
      {u"xx", u"x", u"xx", rfReplaceAll, u"xxxx"},
  };
  for (const auto& c : cases) EXPECT_TEXT(StringReplace(c.s, c.from, c.to, c.flags), c.expected) << UTF16ToUTF8(c.s);
}

TEST(SysUtils, Quoting) {
  EXPECT_TEXT(QuotedStr(u"it's"), u"'it''s'");
  EXPECT_TEXT(QuotedStr(u""), u"''");
  EXPECT_TEXT(AnsiQuotedStr(u"a\"b", u'"'), u"\"a\"\"b\"");
  const struct {
    String in, expected;
  } cases[] = {
      {u"'abc'", u"abc"}, {u"abc", u"abc"},   {u"'abc", u"'abc"}, {u"'ab''c'", u"ab'c"},
      {u"''", u""},       {u"'ab'c'", u"ab"}, {u"", u""},         {u"abc'", u"abc'"},
  };
  for (const auto& c : cases) EXPECT_TEXT(AnsiDequotedStr(c.in, u'\''), c.expected) << UTF16ToUTF8(c.in);
  EXPECT_TEXT(AnsiExtractQuotedStr(u"'a''b' rest", u'\''), u"a'b");
}

TEST(SysUtils, IntegerToText) {
  EXPECT_TEXT(IntToStr(0), u"0");
  EXPECT_TEXT(IntToStr(-42), u"-42");
  EXPECT_TEXT(IntToStr(std::numeric_limits<Integer>::min()), u"-2147483648");
  EXPECT_TEXT(IntToStr(std::numeric_limits<Int64>::min()), u"-9223372036854775808");
  EXPECT_TEXT(IntToStr(std::numeric_limits<Int64>::max()), u"9223372036854775807");
  EXPECT_TEXT(IntToStr(std::numeric_limits<UInt64>::max()), u"18446744073709551615");
  EXPECT_TEXT(IntToStr(static_cast<Byte>(200)), u"200");
  EXPECT_TEXT(IntToStr(static_cast<std::size_t>(7)), u"7");
  const struct {
    String got, expected;
  } hex[] = {
      {IntToHex(255, 2), u"FF"},
      {IntToHex(255, 4), u"00FF"},
      {IntToHex(255, 1), u"FF"},
      {IntToHex(0, 0), u"0"},
      {IntToHex(-1, 0), u"FFFFFFFF"},
      {IntToHex(Int64(-1), 0), u"FFFFFFFFFFFFFFFF"},
      {IntToHex(static_cast<Byte>(10), 2), u"0A"},
      {IntToHex(Int64(0x123456789A), 12), u"00123456789A"},
      {IntToHex(static_cast<std::int16_t>(-1), 4), u"FFFFFFFF"},
  };
  for (const auto& h : hex) EXPECT_TEXT(h.got, h.expected);
}

TEST(SysUtils, TextToInteger) {
  const struct {
    String s;
    bool ok;
    Integer value;
  } cases[] = {
      {u"123", true, 123},
      {u" 42", true, 42},
      {u"-7", true, -7},
      {u"+7", true, 7},
      {u"$FF", true, 255},
      {u"$ff", true, 255},
      {u"0x1A", true, 26},
      {u"0X1a", true, 26},
      {u"x10", true, 16},
      {u"-$10", true, -16},
      {u"$FFFFFFFF", true, -1},
      {u"$80000000", true, std::numeric_limits<Integer>::min()},
      {u"2147483647", true, 2147483647},
      {u"-2147483648", true, std::numeric_limits<Integer>::min()},
      {u"007", true, 7},
      {u"", false, 0},
      {u" ", false, 0},
      {u"12 ", false, 0},
      {u"2147483648", false, 0},
      {u"-2147483649", false, 0},
      {u"1.5", false, 0},
      {u"abc", false, 0},
      {u"+", false, 0},
      {u"$", false, 0},
      {u"0x", false, 0},
      {u"$100000000", false, 0},
      {u"1e3", false, 0},
      {u"\t1", false, 0},
  };
  for (const auto& c : cases) {
    Integer v = 999;
    EXPECT_EQ(TryStrToInt(c.s, v), c.ok) << UTF16ToUTF8(c.s);
    if (c.ok) {
      EXPECT_EQ(v, c.value) << UTF16ToUTF8(c.s);
      EXPECT_EQ(StrToInt(c.s), c.value);
    } else {
      EXPECT_EQ(StrToIntDef(c.s, -99), -99);
      EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([&] { StrToInt(c.s); }),
                "'" + UTF16ToUTF8(c.s) + "' is not a valid integer value");
    }
  }
  Int64 v64 = 0;
  EXPECT_TRUE(TryStrToInt64(u"9223372036854775807", v64));
  EXPECT_EQ(v64, std::numeric_limits<Int64>::max());
  EXPECT_TRUE(TryStrToInt64(u"-9223372036854775808", v64));
  EXPECT_EQ(v64, std::numeric_limits<Int64>::min());
  EXPECT_TRUE(TryStrToInt64(u"$FFFFFFFFFFFFFFFF", v64));
  EXPECT_EQ(v64, -1);
  EXPECT_TRUE(TryStrToInt64(u"5000000000", v64));
  EXPECT_EQ(v64, 5000000000LL);
  EXPECT_FALSE(TryStrToInt64(u"9223372036854775808", v64));
  EXPECT_EQ(StrToInt64Def(u"x", 5), 5);
  EXPECT_EQ(StrToInt64(u"-12"), -12);
  EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([] { StrToInt64(u"1x"); }), "'1x' is not a valid integer value");
  UInt64 u64 = 0;
  EXPECT_TRUE(TryStrToUInt64(u"18446744073709551615", u64));
  EXPECT_EQ(u64, std::numeric_limits<UInt64>::max());
  EXPECT_FALSE(TryStrToUInt64(u"-1", u64));

  Integer value = 0, code = 0;
  Val(u"12a", value, code);
  EXPECT_EQ(code, 3);
  Val(u"  -12", value, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(value, -12);
}

TEST(SysUtils, Booleans) {
  EXPECT_TRUE(StrToBool(u"true"));
  EXPECT_TRUE(StrToBool(u"TRUE"));
  EXPECT_FALSE(StrToBool(u"False"));
  EXPECT_TRUE(StrToBool(u"-1"));
  EXPECT_TRUE(StrToBool(u"2"));
  EXPECT_FALSE(StrToBool(u"0"));
  EXPECT_TRUE(StrToBoolDef(u"maybe", true));
  EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([] { StrToBool(u"maybe"); }),
            "'maybe' is not a valid boolean value");
  EXPECT_TEXT(BoolToStr(true), u"-1");
  EXPECT_TEXT(BoolToStr(false), u"0");
  EXPECT_TEXT(BoolToStr(true, true), u"True");
}

TEST(SysUtils, TextToFloat) {
  const TFormatSettings en = TFormatSettings::English();
  const TFormatSettings fr = TFormatSettings::French();
  const struct {
    String s;
    bool french;
    bool ok;
    double value;
  } cases[] = {
      {u"1.5", false, true, 1.5},   {u" 1.5 ", false, true, 1.5}, {u"-1.5e3", false, true, -1500},
      {u"1E-2", false, true, 0.01}, {u"+.5", false, true, 0.5},   {u"5.", false, true, 5},
      {u"0.1", false, true, 0.1},   {u"1e-400", false, true, 0},  {u"000123", false, true, 123},
      {u"1,5", false, false, 0},    {u"1e", false, false, 0},     {u"", false, false, 0},
      {u".", false, false, 0},      {u"1e400", false, false, 0},  {u"1.2.3", false, false, 0},
      {u"1 000", false, false, 0},  {u"--1", false, false, 0},    {u"$10", false, false, 0},
      {u"1,5", true, true, 1.5},    {u"1.5", true, false, 0},     {u"-0,25", true, true, -0.25},
      {u"2,5E+2", true, true, 250},
  };
  for (const auto& c : cases) {
    double v = -999;
    const TFormatSettings& fs = c.french ? fr : en;
    EXPECT_EQ(TryStrToFloat(c.s, v, fs), c.ok) << UTF16ToUTF8(c.s);
    if (c.ok) {
      EXPECT_EQ(v, c.value) << UTF16ToUTF8(c.s);
      EXPECT_EQ(StrToFloat(c.s, fs), c.value);
    } else {
      EXPECT_EQ(v, -999) << "untouched on failure";
      EXPECT_EQ(StrToFloatDef(c.s, 7.5, fs), 7.5);
      EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([&] { StrToFloat(c.s, fs); }),
                "'" + UTF16ToUTF8(c.s) + "' is not a valid floating point value");
    }
  }
  double v = 0;
  EXPECT_TRUE(TryStrToFloat(u"INF", v, en));
  EXPECT_TRUE(std::isinf(v) && v > 0);
  EXPECT_TRUE(TryStrToFloat(u"-inf", v, en));
  EXPECT_TRUE(std::isinf(v) && v < 0);
  EXPECT_TRUE(TryStrToFloat(u"NaN", v, en));
  EXPECT_TRUE(std::isnan(v));
  // Correct rounding of long inputs.
  EXPECT_EQ(StrToFloat(u"0.30000000000000004", en), 0.1 + 0.2);
  EXPECT_EQ(StrToFloat(u"2.2250738585072014e-308", en), std::numeric_limits<double>::min());
  // The process default.
  {
    TFormatSettingsScope scope(fr);
    EXPECT_EQ(StrToFloat(u"2,5"), 2.5);
    EXPECT_FALSE(TryStrToFloat(u"2.5", v));
  }
  // Val always uses '.'.
  Integer code = 0;
  Val(u"3.25", v, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(v, 3.25);
  Val(u"3,25", v, code);
  EXPECT_EQ(code, 2);
  EXPECT_EQ(v, 0);
}

TEST(SysUtils, FileNames) {
  const String d(1, PathDelim);
  const String path = d + u"home" + d + u"user.name" + d + u"file.tar.gz";
  EXPECT_TEXT(ExtractFilePath(path), d + u"home" + d + u"user.name" + d);
  EXPECT_TEXT(ExtractFileDir(path), d + u"home" + d + u"user.name");
  EXPECT_TEXT(ExtractFileDir(d + u"x"), d);
  EXPECT_TEXT(ExtractFileName(path), u"file.tar.gz");
  EXPECT_TEXT(ExtractFileExt(path), u".gz");
  EXPECT_TEXT(ExtractFileExt(d + u"a.b" + d + u"noext"), u"");
  EXPECT_TEXT(ExtractFileName(u"plain"), u"plain");
  EXPECT_TEXT(ExtractFilePath(u"plain"), u"");
  EXPECT_TEXT(ChangeFileExt(path, u".zip"), d + u"home" + d + u"user.name" + d + u"file.tar.zip");
  EXPECT_TEXT(ChangeFileExt(u"readme", u".txt"), u"readme.txt");
  EXPECT_TEXT(ChangeFileExt(d + u"a.b" + d + u"c", u".x"), d + u"a.b" + d + u"c.x");
  EXPECT_TEXT(ChangeFileExt(u"a.txt", u""), u"a");
  EXPECT_TEXT(IncludeTrailingPathDelimiter(u"dir"), u"dir" + d);
  EXPECT_TEXT(IncludeTrailingPathDelimiter(u"dir" + d), u"dir" + d);
  EXPECT_TEXT(IncludeTrailingPathDelimiter(u""), d);
  EXPECT_TEXT(ExcludeTrailingPathDelimiter(u"dir" + d), u"dir");
  EXPECT_TEXT(ExcludeTrailingPathDelimiter(u"dir"), u"dir");
#ifdef _WIN32
  EXPECT_EQ(PathDelim, u'\\');
  EXPECT_TEXT(ExtractFilePath(u"C:file.txt"), u"C:");
  EXPECT_TEXT(ExtractFileName(u"C:file.txt"), u"file.txt");
  EXPECT_TEXT(ExtractFileName(u"a/b.txt"), u"a/b.txt");  // on Windows only '\' and ':' delimit
#else
  EXPECT_EQ(PathDelim, u'/');
  EXPECT_TEXT(ExtractFileName(u"a\\b.txt"), u"a\\b.txt");
#endif
}

TEST(SysUtils, SysErrorMessage) {
#ifdef _WIN32
  const String m = SysErrorMessage(2);  // ERROR_FILE_NOT_FOUND
#else
  const String m = SysErrorMessage(ENOENT);
  EXPECT_TEXT(m, u"No such file or directory");
#endif
  ASSERT_FALSE(m.empty());
  EXPECT_NE(m.back(), u'.');
  EXPECT_GT(m.back(), u' ');
}

}  // namespace
