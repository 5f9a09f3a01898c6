#include "rtl/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <limits>

#include "rtl/Unicode.h"
#include "tests/support/TestSupport.h"

namespace {

const String nbsp = String(1, FrenchThousandSeparator);

TEST(Format, IntegersTableEnglish) {
  const TFormatSettings en = TFormatSettings::English();
  const Int64 big = 1234567890123LL;
  const struct {
    String fmt;
    String got;
    String expected;
  } cases[] = {
      {u"%d", Format(en, u"%d", {42}), u"42"},
      {u"%5d", Format(en, u"%5d|", {42}), u"   42|"},
      {u"%-5d", Format(en, u"%-5d|", {42}), u"42   |"},
      {u"%.3d", Format(en, u"%.3d", {-5}), u"-005"},
      {u"%6.3d", Format(en, u"%6.3d", {-5}), u"  -005"},
      {u"%d int64", Format(en, u"%d", {big}), u"1234567890123"},
      {u"%d min", Format(en, u"%d", {std::numeric_limits<Int64>::min()}), u"-9223372036854775808"},
      {u"%d unsigned", Format(en, u"%d", {4000000000u}), u"4000000000"},
      {u"%u negative", Format(en, u"%u", {-1}), u"4294967295"},
      {u"%u", Format(en, u"%u", {7}), u"7"},
      {u"%x", Format(en, u"%x", {255}), u"FF"},
      {u"%.4x", Format(en, u"%.4x", {255}), u"00FF"},
      {u"%x -1", Format(en, u"%x", {-1}), u"FFFFFFFF"},
      {u"%x int64 -1", Format(en, u"%x", {Int64(-1)}), u"FFFFFFFFFFFFFFFF"},
      {u"%X", Format(en, u"%X", {0xABCD}), u"ABCD"},
      {u"%%", Format(en, u"100%%", {}), u"100%"},
      {u"mixed", Format(en, u"%s has %d files", {u"dir", 3}), u"dir has 3 files"},
  };
  for (const auto& c : cases) EXPECT_TEXT(c.got, c.expected) << UTF16ToUTF8(c.fmt);
}

TEST(Format, StringsAndIndexes) {
  TFormatSettingsScope english(TFormatSettings::English());  // whatever the machine's locale
  const String s = u"abc";
  const std::u16string_view view = u"view";
  EXPECT_TEXT(Format(u"%s", {s}), u"abc");
  EXPECT_TEXT(Format(u"%5s|", {s}), u"  abc|");
  EXPECT_TEXT(Format(u"%-5s|", {s}), u"abc  |");
  EXPECT_TEXT(Format(u"%.2s", {s}), u"ab");
  EXPECT_TEXT(Format(u"%s", {u'c'}), u"c");
  EXPECT_TEXT(Format(u"%s", {'c'}), u"c");
  EXPECT_TEXT(Format(u"%s", {view}), u"view");
  EXPECT_TEXT(Format(u"%s", {"\xC3\xA9t\xC3\xA9"}), u"\u00E9t\u00E9");  // UTF-8
  EXPECT_TEXT(Format(u"%s", {std::string("ok")}), u"ok");
  EXPECT_TEXT(Format(u"%s", {String(u"temp") + u"orary"}), u"temporary");
  EXPECT_TEXT(Format(u"%1:s %0:s", {u"a", u"b"}), u"b a");
  EXPECT_TEXT(Format(u"%1:s %s", {u"a", u"b", u"c"}), u"b c");
  EXPECT_TEXT(Format(u"%0:s-%0:s", {u"x"}), u"x-x");
  EXPECT_TEXT(Format(u"%*d|", {5, 42}), u"   42|");
  EXPECT_TEXT(Format(u"%-*d|", {5, 42}), u"42   |");
  EXPECT_TEXT(Format(u"%*.*f", {8, 2, 3.14159}), u"    3.14");
  EXPECT_TEXT(Format(u"%.*s", {2, u"abcdef"}), u"ab");
  EXPECT_TEXT(Format(u"%s", {String()}), u"");
  EXPECT_TEXT(Format(u"no args", {}), u"no args");
}

TEST(Format, FloatsTableEnglish) {
  const TFormatSettings en = TFormatSettings::English();
  const struct {
    const char* fmt;
    double value;
    String expected;
  } cases[] = {
      {"%.2f", 2.675, u"2.67"},  // 2.67499999999999982236431605997495353221893310546875
      {"%.2f", 1.005, u"1.00"},  // 1.00499999999999989341858963598497211933135986328125
      {"%.2f", 0.125, u"0.13"},  // exact half: away from zero
      {"%.1f", 0.25, u"0.3"},
      {"%.0f", 0.5, u"1"},
      {"%.0f", 2.5, u"3"},
      {"%.0f", -2.5, u"-3"},
      {"%.2f", -0.001, u"0.00"},  // rounds to zero: no sign
      {"%f", 1.0, u"1.00"},
      {"%f", -1234.5678, u"-1234.57"},
      {"%5.2f", 3.14159, u" 3.14"},
      {"%-7.2f|", 3.14159, u"3.14   |"},
      {"%.3f", 1e-10, u"0.000"},
      {"%.20f", 0.1, u"0.100000000000000006"},  // at most 18 decimals and 18 digits
      {"%.2f", 1e20, u"1E20"},                  // more integer digits than 18: general
      {"%.2n", 1234567.891, u"1,234,567.89"},
      {"%n", -1234.5, u"-1,234.50"},
      {"%.0n", 999.5, u"1,000"},
      {"%.1n", 999.0, u"999.0"},
      {"%.2n", 0.5, u"0.50"},
      {"%m", 1234.5, u"$1,234.50"},
      {"%m", -1234.5, u"($1,234.50)"},
      {"%.0m", 2.5, u"$3"},
      {"%e", 1500.0, u"1.50000000000000E+003"},
      {"%.3e", -0.00012345, u"-1.23E-004"},
      {"%e", 0.0, u"0.00000000000000E+000"},
      {"%.2e", 9.999, u"1.0E+001"},
      {"%g", 1e20, u"1E20"},
      {"%g", 0.1 + 0.2, u"0.3"},
      {"%g", 123.456, u"123.456"},
      {"%g", 1.5e-7, u"1.5E-7"},
      {"%g", 0.0001, u"0.0001"},
      {"%g", 0.00001, u"1E-5"},
      {"%g", 1e15, u"1E15"},
      {"%g", 123456789012345.0, u"123456789012345"},
      {"%.3g", 1234.5, u"1.23E3"},
      {"%g", -2.0 / 3.0, u"-0.666666666666667"},
      {"%g", 0.0, u"0"},
      {"%8.3g|", 3.14159, u"    3.14|"},
      {"%f", std::numeric_limits<double>::quiet_NaN(), u"NAN"},
      {"%g", std::numeric_limits<double>::infinity(), u"INF"},
      {"%n", -std::numeric_limits<double>::infinity(), u"-INF"},
  };
  for (const auto& c : cases) {
    EXPECT_TEXT(Format(en, UTF8ToUTF16(c.fmt), {c.value}), c.expected) << c.fmt << " of " << c.value;
  }
}

TEST(Format, FloatsFrench) {
  const TFormatSettings fr = TFormatSettings::French();
  EXPECT_TEXT(Format(fr, u"%.2n", {1234567.891}), u"1" + nbsp + u"234" + nbsp + u"567,89");
  EXPECT_TEXT(Format(fr, u"%.2f", {2.5}), u"2,50");
  EXPECT_TEXT(Format(fr, u"%g", {1.5}), u"1,5");
  EXPECT_TEXT(Format(fr, u"%m", {1234.5}), u"1" + nbsp + u"234,50 \u20AC");
  EXPECT_TEXT(Format(fr, u"%m", {-1234.5}), u"-1" + nbsp + u"234,50 \u20AC");
  EXPECT_TEXT(Format(fr, u"%e", {1500.0}), u"1,50000000000000E+003");
  // The settings may also come last.
  EXPECT_TEXT(Format(u"%.1f", {1.25}, fr), u"1,3");
}

TEST(Format, UsesProcessDefaultSettings) {
  {
    TFormatSettingsScope scope(TFormatSettings::French());
    EXPECT_TEXT(Format(u"%.1f", {1.5}), u"1,5");
    EXPECT_TEXT(FormatFloat(u"#,##0.0", 1234.5), u"1" + nbsp + u"234,5");
    EXPECT_TEXT(FloatToStr(0.25), u"0,25");
  }
  TFormatSettingsScope scope(TFormatSettings::English());
  EXPECT_TEXT(Format(u"%.1f", {1.5}), u"1.5");
}

TEST(Format, CurrencyFormats) {
  TFormatSettings fs = TFormatSettings::English();
  const char16_t* positive[4] = {u"$1.00", u"1.00$", u"$ 1.00", u"1.00 $"};
  for (int i = 0; i < 4; ++i) {
    fs.CurrencyFormat = static_cast<Byte>(i);
    EXPECT_TEXT(Format(fs, u"%m", {1.0}), positive[i]) << i;
  }
  const char16_t* negative[16] = {u"($1.00)", u"-$1.00",  u"$-1.00",   u"$1.00-",  u"(1.00$)", u"-1.00$",
                                  u"1.00-$",  u"1.00$-",  u"-1.00 $",  u"-$ 1.00", u"1.00 $-", u"$ 1.00-",
                                  u"$ -1.00", u"1.00- $", u"($ 1.00)", u"(1.00 $)"};
  for (int i = 0; i < 16; ++i) {
    fs.NegCurrFormat = static_cast<Byte>(i);
    EXPECT_TEXT(Format(fs, u"%m", {-1.0}), negative[i]) << i;
  }
}

TEST(Format, PointerIsFixedWidthHex) {
  const String zeros(sizeof(void*) * 2, u'0');
  EXPECT_TEXT(Format(u"%p", {nullptr}), zeros);
  const void* p = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0xBEEF));
  EXPECT_TEXT(Format(u"%p", {p}), zeros.substr(4) + u"BEEF");
}

TEST(Format, ErrorsUseTheFixedTexts) {
  const struct {
    const char* name;
    std::function<String()> call;
    const char* message;
  } cases[] = {
      {"float for %d", [] { return Format(u"%d", {1.5}); }, "Format '%d' invalid or incompatible with argument"},
      {"int for %f", [] { return Format(u"%f", {1}); }, "Format '%f' invalid or incompatible with argument"},
      {"int for %s", [] { return Format(u"%s", {1}); }, "Format '%s' invalid or incompatible with argument"},
      {"string for %d", [] { return Format(u"%d", {u"1"}); }, "Format '%d' invalid or incompatible with argument"},
      {"bool", [] { return Format(u"%d", {true}); }, "Format '%d' invalid or incompatible with argument"},
      {"pointer for %x", [] { return Format(u"%x", {nullptr}); }, "Format '%x' invalid or incompatible with argument"},
      {"missing", [] { return Format(u"%d %d", {1}); }, "No argument for format '%d %d'"},
      {"missing index", [] { return Format(u"%3:d", {1}); }, "No argument for format '%3:d'"},
      {"lone percent", [] { return Format(u"50%", {}); }, "Format '50%' invalid or incompatible with argument"},
      {"unknown type", [] { return Format(u"%k", {1}); }, "Format '%k' invalid or incompatible with argument"},
      {"star not int",
       [] {
         return Format(u"%*d", {1.5, 2});
       },
       "Format '%*d' invalid or incompatible with argument"},
      {"cut to 31", [] { return Format(u"0123456789012345678901234567890123456789%d", {u"x"}); },
       "Format '0123456789012345678901234567890' invalid or incompatible with argument"},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.name;
    }
  }
}

TEST(Format, SpanOverload) {
  const String name = u"n";
  const TVarRec args[] = {name, 2};
  EXPECT_TEXT(Format(u"%s=%d", std::span<const TVarRec>(args)), u"n=2");
}

TEST(FormatFloat, TableEnglish) {
  const TFormatSettings en = TFormatSettings::English();
  const struct {
    const char* fmt;
    double value;
    const char* expected;
  } cases[] = {
      {"0.00", 2.675, "2.67"},
      {"0.00", 0.125, "0.13"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.00", -1234.5, "-1,234.50"},
      {"#,##0", 0, "0"},
      {"#,##0", 999999.5, "1,000,000"},
      {"#,###", 1234, "1,234"},
      {"0", 0.5, "1"},
      {"0", -0.4, "0"},
      {"0", 1234567, "1234567"},
      {"00", 1234, "1234"},
      {"#", 0, ""},
      {"#.##", 0.5, ".5"},
      {"0.##", 1, "1"},
      {"0.##", 1.2, "1.2"},
      {"0.0#", 1.2, "1.2"},
      {"0.0#", 1, "1.0"},
      {"0.0#", 1.256, "1.26"},
      {"000", 7, "007"},
      {".00", 12.5, "12.50"},
      {"000-000", 123456, "123-456"},
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E-00", 1234.5, "1.23E03"},
      {"0.00e+00", 0.00012345, "1.23e-04"},
      {"0.###E+0", 1e10, "1E+10"},
      {"00.0E+0", 1234.5, "12.3E+2"},
      {"0.0E+0", 0, "0.0E+0"},
      {"#,##0.00;(#,##0.00)", -1234.5, "(1,234.50)"},
      {"#,##0.00;(#,##0.00)", 1234.5, "1,234.50"},
      {"0.00;(0.00);zero", 0, "zero"},
      {"0.00;(0.00);\"zero\"", -0.001, "zero"},
      {"0.00;(0.00)", -0.001, "0.00"},
      {"0.0;;nothing", -2, "-2.0"},
      {"\"$\"#,##0.00", 1234.5, "$1,234.50"},
      {"0.00 'kg'", 2, "2.00 kg"},
      {"'#'0", 5, "#5"},
      {"0.00%", 50, "50.00%"},
      {"", 1.5, "1.5"},
      {"", 1e20, "1E20"},
      {"0.00", 1e-300, "0.00"},
      {"0.000000000000000000", 0.1, "0.100000000000000006"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UTF16ToUTF8(FormatFloat(UTF8ToUTF16(c.fmt), c.value, en)), c.expected) << c.fmt << " of " << c.value;
  }
  EXPECT_TEXT(FormatFloat(u"0.0", std::numeric_limits<double>::quiet_NaN(), en), u"NAN");
  EXPECT_TEXT(FormatFloat(u"0.0", -std::numeric_limits<double>::infinity(), en), u"-INF");
}

TEST(FormatFloat, French) {
  const TFormatSettings fr = TFormatSettings::French();
  EXPECT_TEXT(FormatFloat(u"#,##0.00", 1234567.891, fr), u"1" + nbsp + u"234" + nbsp + u"567,89");
  EXPECT_TEXT(FormatFloat(u"0.0", -0.25, fr), u"-0,3");
}

TEST(FloatToStr, GeneralFifteenDigits) {
  const TFormatSettings en = TFormatSettings::English();
  const struct {
    double value;
    const char* expected;
  } cases[] = {
      {0.1 + 0.2, "0.3"},
      {1e20, "1E20"},
      {1.5e-7, "1.5E-7"},
      {-1.5e-7, "-1.5E-7"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E15"},
      {1e15, "1E15"},
      {-0.5, "-0.5"},
      {0.0, "0"},
      {-0.0, "0"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {100.0, "100"},
      {0.0001, "0.0001"},
      {1.7976931348623157e308, "1.79769313486232E308"},
      {4.9406564584124654e-324, "4.94065645841247E-324"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const auto& c : cases) EXPECT_EQ(UTF16ToUTF8(FloatToStr(c.value, en)), c.expected) << c.value;
  EXPECT_TEXT(FloatToStr(1.5, TFormatSettings::French()), u"1,5");
}

TEST(FloatToStrF, Formats) {
  const TFormatSettings en = TFormatSettings::English();
  EXPECT_TEXT(FloatToStrF(1234.5678, ffFixed, 15, 2, en), u"1234.57");
  EXPECT_TEXT(FloatToStrF(1234.5678, ffNumber, 15, 2, en), u"1,234.57");
  EXPECT_TEXT(FloatToStrF(1234.5, ffExponent, 4, 2, en), u"1.235E+03");
  EXPECT_TEXT(FloatToStrF(1234.5678, ffCurrency, 15, 2, en), u"$1,234.57");
  EXPECT_TEXT(FloatToStrF(1.23456789, ffFixed, 3, 5, en), u"1.23000");
  EXPECT_TEXT(FloatToStrF(1234.5678, ffGeneral, 6, 0, en), u"1234.57");
  EXPECT_TEXT(FloatToStrF(12345678.0, ffFixed, 6, 2, en), u"1.23457E7");
}

TEST(FloatToDecimal, RoundsExactValueHalfAway) {
  TFloatRec r = FloatToDecimal(2.675, 18, 2);
  EXPECT_EQ(r.Digits, "267");
  EXPECT_EQ(r.Exponent, 1);
  r = FloatToDecimal(-0.125, 18, 2);
  EXPECT_EQ(r.Digits, "13");
  EXPECT_EQ(r.Exponent, 0);
  EXPECT_TRUE(r.Negative);
  r = FloatToDecimal(999.96, 18, 1);
  EXPECT_EQ(r.Digits, "1");
  EXPECT_EQ(r.Exponent, 4);
  r = FloatToDecimal(-0.0004, 18, 3);
  EXPECT_EQ(r.Digits, "");
  EXPECT_EQ(r.Exponent, 0);
  EXPECT_FALSE(r.Negative);
  r = FloatToDecimal(123456.0, 2, 9999);
  EXPECT_EQ(r.Digits, "12");
  EXPECT_EQ(r.Exponent, 6);
}

}  // namespace

namespace {

TEST(FormatSettings, FactoriesAndProcessDefault) {
  const TFormatSettings fr = TFormatSettings::French();
  EXPECT_EQ(fr.ThousandSeparator, u'\u00A0');
  EXPECT_EQ(fr.DecimalSeparator, u',');
  EXPECT_EQ(UTF16ToUTF8(fr.LongMonthNames[0]), "janvier");
  EXPECT_EQ(UTF16ToUTF8(fr.LongMonthNames[7]), "ao\xC3\xBBt");
  EXPECT_EQ(UTF16ToUTF8(fr.ShortDayNames[1]), "lun.");
  const TFormatSettings en = TFormatSettings::English();
  EXPECT_EQ(UTF16ToUTF8(en.ShortDateFormat), "M/d/yyyy");
  EXPECT_EQ(UTF16ToUTF8(en.LongDayNames[0]), "Sunday");
  const TFormatSettings inv = TFormatSettings::Invariant();
  EXPECT_EQ(UTF16ToUTF8(inv.ShortDateFormat), "MM/dd/yyyy");
  EXPECT_EQ(inv.CurrencyString, u"\u00A4");

  // The process default starts as the user's locale.
  const TFormatSettings user = TFormatSettings::Create();
  EXPECT_EQ(FormatSettings.DecimalSeparator, user.DecimalSeparator);
  EXPECT_EQ(FormatSettings.ShortDateFormat, user.ShortDateFormat);
  EXPECT_EQ(FormatSettings.LongMonthNames, user.LongMonthNames);
#ifdef _WIN32
  // Read from GetLocaleInfoW: whatever the locale, every field is filled.
  EXPECT_NE(user.DecimalSeparator, 0);
  EXPECT_FALSE(user.ShortDateFormat.empty());
  EXPECT_FALSE(user.LongTimeFormat.empty());
  for (const String& name : user.LongMonthNames) EXPECT_FALSE(name.empty());
  for (const String& name : user.ShortDayNames) EXPECT_FALSE(name.empty());
  std::cout << "user locale: decimal '" << UTF16ToUTF8(String(1, user.DecimalSeparator)) << "' date '"
            << UTF16ToUTF8(user.ShortDateFormat) << "' time '" << UTF16ToUTF8(user.LongTimeFormat) << "' month 1 '"
            << UTF16ToUTF8(user.LongMonthNames[0]) << "' day 1 '" << UTF16ToUTF8(user.LongDayNames[0]) << "'\n";
  // The process default formats and parses its own output.
  const double v = 1234.5;
  EXPECT_EQ(StrToFloat(FloatToStr(v)), v);
#else
  EXPECT_EQ(user.ShortDateFormat, en.ShortDateFormat);
#endif
  SetDefaultFormatSettings(fr);
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  SetDefaultFormatSettings(user);
}

}  // namespace
