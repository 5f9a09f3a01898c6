#include <gtest/gtest.h>

#include "net/netcode.h"
#include "net/netip.h"
#include "net/netutil.h"
#include "rtl/FormatSettings.h"
#include "rtl/Streams.h"

namespace {

TEST(NetUtil, TrimmingTouchesBlanksOnly) {
  EXPECT_EQ(TrimLeadingBlanks(u"  a b "), u"a b ");
  EXPECT_EQ(TrimTrailingBlanks(u"  a b "), u"  a b");
  EXPECT_EQ(TrimBlanks(u"  a b "), u"a b");
  EXPECT_EQ(TrimBlanks(u"\ta\t"), u"\ta\t");
  EXPECT_EQ(TrimBlanks(u"   "), u"");
  EXPECT_EQ(TrimBlanks(AnsiString(" x ")), AnsiString("x"));
}

TEST(NetUtil, DelimiterHelpers) {
  EXPECT_EQ(TextAfterDelimiter(u"213 12345", u" "), u"12345");
  EXPECT_EQ(TextAfterDelimiter(u"213", u" "), u"213");
  EXPECT_EQ(TextBeforeDelimiter(u"213 12345", u" "), u"213");
  EXPECT_EQ(TextBeforeDelimiter(u"213", u" "), u"213");

  String v = u"a, b,c";
  EXPECT_EQ(SplitOffField(v, u","), u"a");
  EXPECT_EQ(v, u"b,c");
  v = u"abc";
  EXPECT_EQ(SplitOffField(v, u","), u"abc");
  EXPECT_EQ(v, u"");
  v = u" a ,b";
  EXPECT_EQ(SplitOffFieldRaw(v, u","), u" a ");
  EXPECT_EQ(v, u"b");
}

TEST(NetUtil, PositionsAndCounting) {
  EXPECT_EQ(LastPosition(u"ab", u"xxabyyab"), 7);
  EXPECT_EQ(LastPositionBefore(u"ab", u"xxabyyab", 7), 3);
  EXPECT_EQ(LastPositionBefore(u"ab", u"xxabyyab", 3), 0);
  EXPECT_EQ(LastPosition(u"zz", u"abc"), 0);
  EXPECT_EQ(CountChar(u"a:b:c", u':'), 2);
  EXPECT_EQ(ReplaceSubstring("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceSubstring("", "a", "b"), "");
  EXPECT_EQ(ReplaceSubstring("abc", "", "x"), "abc");
}

TEST(NetUtil, FindLineEnd) {
  struct Case {
    AnsiString in;
    Integer pos;
    AnsiString term;
  } cases[] = {
      {"a\r", 2, "\r"}, {"a\r\nb", 2, "\r\n"}, {"a\n\rb", 2, "\n\r"}, {"a\nb", 2, "\n"},
      {"abc", -1, ""},  {"\n", 1, "\n"},       {"a\r\r", 2, "\r"},
  };
  for (const auto& c : cases) {
    AnsiString term = "?";
    EXPECT_EQ(FindLineEnd(c.in, term), c.pos) << c.in;
    EXPECT_EQ(term, c.term) << c.in;
  }
}

TEST(NetUtil, WriteTextToStream) {
  TMemoryStream m;
  WriteTextToStream(&m, "abc");
  EXPECT_EQ(m.Size(), 3);
}

TEST(NetCode, ByteOrder) {
  EXPECT_EQ(WordToBigEndian(0x0102), AnsiString("\x01\x02", 2));
  EXPECT_EQ(BigEndianToWord(AnsiString("\x01\x02", 2), 1), 0x0102);
  EXPECT_EQ(BigEndianToWord(AnsiString("\x01", 1), 1), 0x0100);
  EXPECT_EQ(BigEndianToWord(AnsiString(""), 1), 0);
  EXPECT_EQ(IntToBigEndian(0x01020304), AnsiString("\x01\x02\x03\x04", 4));
  EXPECT_EQ(ReverseBytes(0x01020304), 0x04030201);
  EXPECT_EQ(ReverseBytes(static_cast<Integer>(0xFF000000u)), 0xFF);
}

TEST(NetCode, PercentEncoding) {
  EXPECT_EQ(PercentEncodeUrlPart(AnsiString("a b&c")), "a%20b%26c");
  EXPECT_EQ(PercentEncodeUrlPart(AnsiString("1.0_beta")), "1.0%5Fbeta");
  EXPECT_EQ(PercentEncodeUrlPart(AnsiString("\xC3\xA9~")), "%C3%A9%7E");
  EXPECT_EQ(PercentEncodeUrlPart(String(u"\u00E9")), u"%C3%A9");
  TByteSet only;
  only.set('x');
  EXPECT_EQ(PercentEncodeChars("axb", '=', only), "a=78b");
}

TEST(NetCode, Base64) {
  EXPECT_EQ(Base64EncodeText("abc"), "YWJj");
  EXPECT_EQ(Base64EncodeText("ab"), "YWI=");
  EXPECT_EQ(Base64EncodeText("a"), "YQ==");
  EXPECT_EQ(Base64EncodeText(""), "");
  EXPECT_EQ(Base64EncodeText("user:pass"), "dXNlcjpwYXNz");
  // Without a 65th symbol there is no padding.
  EXPECT_EQ(Base64EncodeWithTable("ab", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"), "YWI");
}

TEST(NetUtil, ElapsedTicks) {
  EXPECT_EQ(ElapsedTicks(0xFFFFFF00u, 0x100u), 512u);
  EXPECT_EQ(ElapsedTicks(5, 5), 0u);
  EXPECT_EQ(ElapsedTicks(100, 300), 200u);
  EXPECT_EQ(ElapsedTicks(300, 100), 200u);
  const Cardinal a = MillisecondTick();
  SleepMs(20);
  const Cardinal b = MillisecondTick();
  EXPECT_GE(ElapsedTicks(a, b), 10u);
}

TEST(NetUtil, MonthNames) {
  EXPECT_EQ(MonthNumberFromName(u"Jan"), 1);
  EXPECT_EQ(MonthNumberFromName(u"DEC"), 12);
  EXPECT_EQ(MonthNumberFromName(u"f\u00E9v"), 2);
  EXPECT_EQ(MonthNumberFromName(u"F\u00C9V"), 2);
  EXPECT_EQ(MonthNumberFromName(u"Okt"), 10);
  EXPECT_EQ(MonthNumberFromName(u"M\u00E4r"), 3);
  EXPECT_EQ(MonthNumberFromName(u"\u00D8\u00EDj"), 10);
  EXPECT_EQ(MonthNumberFromName(u"xyz"), 0);
  EXPECT_EQ(MonthNumberFromName(u""), 0);

  const TMonthNameRow saved = MonthNameRow(CustomMonthRow);
  SetCustomMonthNames({u"AAA", u"BBB", u"CCC", u"DDD", u"EEE", u"FFF", u"GGG", u"HHH", u"III", u"JJJ", u"KKK", u"LLL"});
  EXPECT_EQ(MonthNumberFromName(u"kkk"), 11);
  SetCustomMonthNames(saved);
  EXPECT_EQ(MonthNumberFromName(u"kkk"), 0);
}

TEST(NetUtil, TimeOfDay) {
  EXPECT_DOUBLE_EQ(TimeOfDayFromText(u"10:30"), 10.5 / 24);
  EXPECT_EQ(TimeOfDayFromText(u"25:00"), -1);
  EXPECT_DOUBLE_EQ(TimeOfDayFromText(u"10:30a"), 10.5 / 24);  // a third character is dropped
  EXPECT_DOUBLE_EQ(TimeOfDayFromText(u"01:02:03"), (3600 + 120 + 3) / 86400.0);
  EXPECT_DOUBLE_EQ(TimeOfDayFromText(u"12:00PM"), 0.5);
  EXPECT_EQ(TimeOfDayFromText(u"ab:cd"), -1);
  EXPECT_EQ(TimeOfDayFromText(u""), -1);
}

TEST(NetUtil, TimeOfDayReadsTheRegionalSeparator) {
  TFormatSettings fs = TFormatSettings::English();
  fs.TimeSeparator = u'.';
  TFormatSettingsScope scope(fs);
  EXPECT_DOUBLE_EQ(TimeOfDayFromText(u"10:30"), 10.5 / 24);
  EXPECT_DOUBLE_EQ(TimeOfDayFromText(u"10.30"), 10.5 / 24);
}

TEST(NetIP, IPv4Text) {
  EXPECT_TRUE(IsIPv4Text(u"1.2.3.4"));
  EXPECT_TRUE(IsIPv4Text(u" 1. 2 .3.4 "));
  EXPECT_FALSE(IsIPv4Text(u"1.2.3.256"));
  EXPECT_FALSE(IsIPv4Text(u"1.2.3.4.5"));
  EXPECT_FALSE(IsIPv4Text(u"1.2.3"));
  EXPECT_FALSE(IsIPv4Text(u"a.b.c.d"));
  EXPECT_TRUE(IsByteText(u"255"));
  EXPECT_FALSE(IsByteText(u"256"));
  EXPECT_FALSE(IsByteText(u""));
  EXPECT_EQ(IPv4TextToBytes(u"10.1.2.3"), (TIPv4Bytes{10, 1, 2, 3}));
  EXPECT_EQ(IPv4TextToBytes(u"10.x.2"), (TIPv4Bytes{10, 0, 2, 0}));
}

TEST(NetIP, IPv6Text) {
  EXPECT_TRUE(IsIPv6Text(u"::1"));
  EXPECT_TRUE(IsIPv6Text(u"::"));
  EXPECT_TRUE(IsIPv6Text(u"fe80::1%5"));
  EXPECT_TRUE(IsIPv6Text(u"2001:db8:0:0:0:0:0:1"));
  EXPECT_FALSE(IsIPv6Text(u"1"));
  EXPECT_FALSE(IsIPv6Text(u"1:2:3:4:5:6:7:8:9"));
  EXPECT_FALSE(IsIPv6Text(u"1::2::3"));
  EXPECT_FALSE(IsIPv6Text(u"fe80::"));
  EXPECT_FALSE(IsIPv6Text(u"12345::1"));
  EXPECT_FALSE(IsIPv6Text(u"1.2.3.4"));
}

TEST(NetIP, IPv6Conversions) {
  EXPECT_EQ(ExpandIPv6Text("::1"), "0:0:0:0:0:0:0:1");
  EXPECT_EQ(ExpandIPv6Text("1::"), "1:0:0:0:0:0:0:0");
  EXPECT_EQ(ExpandIPv6Text("2001:db8::1"), "2001:db8:0:0:0:0:0:1");
  EXPECT_EQ(ExpandIPv6Text("1:2:3:4:5:6:7:8:9"), "");

  TIPv6Bytes loop{};
  loop[15] = 1;
  EXPECT_EQ(IPv6TextToBytes(u"::1"), loop);
  EXPECT_EQ(IPv6BytesToText(loop), u"::1");
  EXPECT_EQ(IPv6BytesToText(TIPv6Bytes{}), u"::0");
  EXPECT_EQ(IPv6BytesToText(IPv6TextToBytes(u"2001:db8:0:0:0:0:0:1")), u"2001:db8::1");
  EXPECT_EQ(IPv6BytesToText(IPv6TextToBytes(u"1:0:0:2:0:0:0:3")), u"1:0:0:2::3");
  EXPECT_EQ(IPv6BytesToText(IPv6TextToBytes(u"1:0:0:2:3:0:0:4")), u"1::2:3:0:0:4");
  EXPECT_EQ(IPv6BytesToText(IPv6TextToBytes(u"1:2:3:4:5:6:7:8")), u"1:2:3:4:5:6:7:8");
  EXPECT_EQ(IPv6BytesToText(IPv6TextToBytes(u"1::")), u"1::");
  EXPECT_EQ(IPv6BytesToText(IPv6TextToBytes(u"FE80::ABCD")), u"fe80::abcd");
  EXPECT_EQ(IPv6TextToBytes(u"1::g"), TIPv6Bytes{});
  EXPECT_EQ(IPv6TextToBytes(u"fe80::1%5"), IPv6TextToBytes(u"fe80::1"));
}

}  // namespace
