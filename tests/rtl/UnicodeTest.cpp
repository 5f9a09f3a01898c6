#include "rtl/Unicode.h"

#include <gtest/gtest.h>

namespace {

struct Utf8Case {
  const char* name;
  std::string in;
  String expected;
};

TEST(Unicode, UTF8ToUTF16DecodesValidAndReplacesInvalid) {
  const Utf8Case cases[] = {
      {"ascii", "abc", u"abc"},
      {"accents", "\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
      {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
      {"astral to pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"lone continuation", "a\x80z", u"a\uFFFDz"},
      {"interrupting byte kept",
       "\xC3"
       "A",
       u"\uFFFDA"},
      {"truncated at end", "ab\xE2\x82", u"ab\uFFFD"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three", "\xE0\x80\xAF", u"\uFFFD"},
      {"surrogate encoded", "\xED\xA0\x80", u"\uFFFD"},
      {"above max", "\xF4\x90\x80\x80", u"\uFFFD"},
      {"invalid lead", "\xFF", u"\uFFFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UTF8ToUTF16(c.in), c.expected) << c.name;
  }
}

TEST(Unicode, UTF16ToUTF8RoundTripsAndReplacesLoneSurrogates) {
  const String text = u"Caf\u00E9 \u20AC \U0001F600";
  EXPECT_EQ(UTF8ToUTF16(UTF16ToUTF8(text)), text);
  EXPECT_EQ(UTF16ToUTF8(String(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(UTF16ToUTF8(u"\xDC00"), "\xEF\xBF\xBD");
}

}  // namespace
