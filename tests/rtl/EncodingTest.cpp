#include "rtl/Encoding.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>

#include "rtl/Exceptions.h"
#include "rtl/IniFiles.h"
#include "rtl/StringList.h"
#include "rtl/Streams.h"

namespace {

TEST(TEncoding, StandardInstances) {
  EXPECT_EQ(TEncoding::Default(), TEncoding::ANSI());
  EXPECT_EQ(TEncoding::UTF8()->CodePage(), 65001u);
  EXPECT_EQ(TEncoding::Unicode()->CodePage(), 1200u);
  EXPECT_EQ(TEncoding::BigEndianUnicode()->CodePage(), 1201u);
  EXPECT_EQ(TEncoding::ASCII()->CodePage(), 20127u);
  EXPECT_NE(TEncoding::ANSI()->CodePage(), 0u);
  for (TEncoding* E :
       {TEncoding::ANSI(), TEncoding::ASCII(), TEncoding::BigEndianUnicode(), TEncoding::Unicode(), TEncoding::UTF8()})
    EXPECT_TRUE(TEncoding::IsStandardEncoding(E));
  std::unique_ptr<TEncoding> Own(TEncoding::GetEncoding(65001));
  EXPECT_FALSE(TEncoding::IsStandardEncoding(Own.get()));
  EXPECT_FALSE(TEncoding::IsStandardEncoding(nullptr));
  EXPECT_TRUE(TEncoding::ANSI()->IsSingleByte());
  EXPECT_FALSE(TEncoding::UTF8()->IsSingleByte());
}

TEST(TEncoding, Preambles) {
  EXPECT_EQ(TEncoding::UTF8()->GetPreamble(), (TBytes{0xEF, 0xBB, 0xBF}));
  EXPECT_EQ(TEncoding::Unicode()->GetPreamble(), (TBytes{0xFF, 0xFE}));
  EXPECT_EQ(TEncoding::BigEndianUnicode()->GetPreamble(), (TBytes{0xFE, 0xFF}));
  EXPECT_TRUE(TEncoding::ANSI()->GetPreamble().empty());
  EXPECT_TRUE(TUTF8Encoding(false).GetPreamble().empty());
}

TEST(TEncoding, UnicodeRoundTrips) {
  const String Text = u"Caf\u00E9 \u20AC \U0001F600 z";
  EXPECT_EQ(TEncoding::UTF8()->GetBytes(u"\u00E9\u20AC"), (TBytes{0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
  EXPECT_EQ(TEncoding::Unicode()->GetBytes(u"A\u20AC"), (TBytes{0x41, 0x00, 0xAC, 0x20}));
  EXPECT_EQ(TEncoding::BigEndianUnicode()->GetBytes(u"A\u20AC"), (TBytes{0x00, 0x41, 0x20, 0xAC}));
  for (TEncoding* E : {TEncoding::UTF8(), TEncoding::Unicode(), TEncoding::BigEndianUnicode()})
    EXPECT_EQ(E->GetString(E->GetBytes(Text)), Text) << E->CodePage();
  // Broken input: UTF-8 replaces, UTF-16 drops a trailing odd byte.
  EXPECT_EQ(TEncoding::UTF8()->GetString(TBytes{'a', 0xFF, 'b'}), u"a\uFFFDb");
  EXPECT_EQ(TEncoding::Unicode()->GetString(TBytes{'a', 0, 'b'}), u"a");
  EXPECT_EQ(TEncoding::UTF8()->GetByteCount(u"\u00E9"), 2);
  EXPECT_EQ(TEncoding::Unicode()->GetCharCount(TBytes{1, 0, 2, 0}), 2);
}

TEST(TEncoding, GetStringRange) {
  TBytes Bytes{'a', 'b', 'c', 'd'};
  EXPECT_EQ(TEncoding::UTF8()->GetString(Bytes, 1, 2), u"bc");
  EXPECT_EQ(TEncoding::UTF8()->GetString(Bytes, 4, 0), u"");
  EXPECT_THROW(TEncoding::UTF8()->GetString(Bytes, 3, 2), EArgumentOutOfRangeException);
  EXPECT_THROW(TEncoding::UTF8()->GetString(Bytes, -1, 1), EArgumentOutOfRangeException);
}

TEST(TEncoding, AnsiIsWindows1252WhereTheSystemSaysSo) {
  TEncoding* Ansi = TEncoding::ANSI();
  EXPECT_EQ(Ansi->GetString(TBytes{'A', 'z'}), u"Az");
  EXPECT_EQ(Ansi->GetBytes(u"Az"), (TBytes{'A', 'z'}));
  if (Ansi->CodePage() != 1252) GTEST_SKIP() << "system ANSI code page is " << Ansi->CodePage();
  EXPECT_EQ(Ansi->GetString(TBytes{0xE9, 0x80, 0x9C, 0xFF, 0xA0}), u"\u00E9\u20AC\u0153\u00FF\u00A0");
  EXPECT_EQ(Ansi->GetBytes(u"\u00E9\u20AC\u0153\u2019"), (TBytes{0xE9, 0x80, 0x9C, 0x92}));
  // Undefined bytes come back as the C1 controls of the same value.
  EXPECT_EQ(Ansi->GetString(TBytes{0x81, 0x8D}), u"\u0081\u008D");
  // A character the code page lacks: a replacement, never a drop.
  TBytes Cyrillic = Ansi->GetBytes(u"\u0416");
  ASSERT_EQ(Cyrillic.size(), 1u);
  // Every byte decodes and encodes back to itself.
  TBytes All;
  for (int B = 0; B < 256; ++B) All.push_back(static_cast<Byte>(B));
  EXPECT_EQ(Ansi->GetBytes(Ansi->GetString(All)), All);
}

TEST(TEncoding, GetEncodingByCodePage) {
  std::unique_ptr<TEncoding> Utf8(TEncoding::GetEncoding(65001));
  EXPECT_EQ(Utf8->GetString(TBytes{0xC3, 0xA9}), u"\u00E9");
  std::unique_ptr<TEncoding> Latin1(TEncoding::GetEncoding(28591));
  EXPECT_EQ(Latin1->GetString(TBytes{0x80, 0xE9}), u"\u0080\u00E9");
  std::unique_ptr<TEncoding> Acp(TEncoding::GetEncoding(0));
  EXPECT_EQ(Acp->CodePage(), TEncoding::ANSI()->CodePage());
  std::unique_ptr<TEncoding> Clone(TEncoding::Unicode()->Clone());
  EXPECT_EQ(Clone->CodePage(), 1200u);
  EXPECT_THROW(TEncoding::GetEncoding(4), EArgumentException);
  EXPECT_EQ(TEncoding::Convert(TEncoding::UTF8(), TEncoding::Unicode(), TBytes{0xC3, 0xA9}), (TBytes{0xE9, 0x00}));
}

struct BomCase {
  const char* name;
  TBytes buffer;
  TEncoding* expected;  // nullptr: the default given
  Integer size;
};

TEST(TEncoding, GetBufferEncodingDetectsMarks) {
  std::unique_ptr<TEncoding> Fallback(TEncoding::GetEncoding(28591));
  const BomCase cases[] = {
      {"utf-8 mark", {0xEF, 0xBB, 0xBF, 'a'}, TEncoding::UTF8(), 3},
      {"utf-8 mark only", {0xEF, 0xBB, 0xBF}, TEncoding::UTF8(), 3},
      {"utf-16le mark", {0xFF, 0xFE, 'a', 0}, TEncoding::Unicode(), 2},
      {"utf-16be mark", {0xFE, 0xFF, 0, 'a'}, TEncoding::BigEndianUnicode(), 2},
      {"utf-32le reads as utf-16le", {0xFF, 0xFE, 0, 0}, TEncoding::Unicode(), 2},
      {"cut utf-8 mark", {0xEF, 0xBB}, nullptr, 0},
      {"no mark", {'a', 'b'}, nullptr, 0},
      {"empty", {}, nullptr, 0},
      {"mark not at start", {'a', 0xEF, 0xBB, 0xBF}, nullptr, 0},
  };
  for (const auto& c : cases) {
    TEncoding* Found = nullptr;
    EXPECT_EQ(TEncoding::GetBufferEncoding(c.buffer, Found, Fallback.get()), c.size) << c.name;
    EXPECT_EQ(Found, c.expected ? c.expected : Fallback.get()) << c.name;
    TEncoding* WithDefault = nullptr;
    TEncoding::GetBufferEncoding(c.buffer, WithDefault);
    EXPECT_EQ(WithDefault, c.expected ? c.expected : TEncoding::Default()) << c.name;
  }
}

TEST(TEncoding, GetBufferEncodingWithAGivenEncoding) {
  TEncoding* Given = TEncoding::UTF8();
  EXPECT_EQ(TEncoding::GetBufferEncoding(TBytes{0xEF, 0xBB, 0xBF, 'x'}, Given), 3);
  EXPECT_EQ(Given, TEncoding::UTF8());
  // Another encoding's mark is not skipped, and the encoding stays.
  EXPECT_EQ(TEncoding::GetBufferEncoding(TBytes{0xFF, 0xFE, 'x', 0}, Given), 0);
  EXPECT_EQ(Given, TEncoding::UTF8());
  TEncoding* Ansi = TEncoding::ANSI();
  EXPECT_EQ(TEncoding::GetBufferEncoding(TBytes{0xEF, 0xBB, 0xBF}, Ansi), 0);
}

// An encoding whose copy fails, as when memory runs out.
class TUncopyableEncoding : public TUTF8Encoding {
public:
  std::unique_ptr<TEncoding> Clone() const override { throw std::bad_alloc(); }
};

// Every holder of an encoding keeps its own copy of a non-standard one and,
// when copying a new one fails, keeps the old one (once freed, it would be
// freed again with the holder).
TEST(THeldEncoding, ACopyThatFailsLeavesTheOldEncoding) {
  TStringList List;
  TStringList Defaults;
  TMemIniFile Ini(u"");
  const struct {
    const char* holder;
    std::function<TEncoding*()> get;
    std::function<void(TEncoding*)> set;
  } holders[] = {
      {"string list", [&] { return List.Encoding(); },
       [&](TEncoding* E) {
         TBytesStream Text(TBytes{'a'});
         List.LoadFromStream(Text, E);  // keeps the encoding it read with
       }},
      {"string list default", [&] { return Defaults.DefaultEncoding(); },
       [&](TEncoding* E) { Defaults.SetDefaultEncoding(E); }},
      {"ini file", [&] { return Ini.Encoding(); }, [&](TEncoding* E) { Ini.SetEncoding(E); }},
  };
  for (const auto& h : holders) {
    SCOPED_TRACE(h.holder);
    std::unique_ptr<TEncoding> Latin1 = TEncoding::GetEncoding(28591);
    h.set(Latin1.get());
    TEncoding* Held = h.get();
    ASSERT_NE(Held, nullptr);
    EXPECT_NE(Held, Latin1.get());  // its own copy
    Latin1.reset();
    TUncopyableEncoding Bad;
    EXPECT_THROW(h.set(&Bad), std::bad_alloc);
    EXPECT_EQ(h.get(), Held);
    EXPECT_EQ(h.get()->GetString(TBytes{0xE9}), u"\u00E9");
    h.set(TEncoding::UTF8());  // a standard one is shared, the copy goes
    EXPECT_EQ(h.get(), TEncoding::UTF8());
  }
}

}  // namespace
