// ReplaceAllText and ExtractDelimitedField, by tables.
#include <gtest/gtest.h>

#include "app/core/OxUtils.h"

namespace {

struct ReplaceCase {
  const char16_t* text;
  const char16_t* oldPattern;
  const char16_t* newPattern;
  const char16_t* expected;
};

TEST(OxUtils, ReplaceAllText) {
  const ReplaceCase cases[] = {
      {u"a|b|c", u"|", u"\r\n", u"a\r\nb\r\nc"},
      {u"aaa", u"a", u"aa", u"aaaaaa"},  // inserted text is never searched again
      {u"abc", u"", u"x", u"abc"},       // empty pattern: unchanged
      {u"abc", u"z", u"x", u"abc"},      // no occurrence
      {u"", u"a", u"b", u""},
      {u"ABab", u"ab", u"-", u"AB-"},  // case-sensitive
      {u"line\r\nline", u"\r\n", u"|", u"line|line"},
      {u"xxxx", u"xx", u"x", u"xx"},  // left to right, no overlap
      {u"été été", u"é", u"e", u"ete ete"},
      {u"abab", u"ab", u"", u""},
  };
  for (const ReplaceCase& c : cases) EXPECT_EQ(ReplaceAllText(c.text, c.oldPattern, c.newPattern), String(c.expected));
}

struct FieldCase {
  Integer n;
  const char16_t* text;
  const char16_t* delimiters;
  const char16_t* expected;
};

TEST(OxUtils, ExtractDelimitedField) {
  const FieldCase cases[] = {
      {1, u"Open~Opens a file", u"~", u"Open"},
      {2, u"Open~Opens a file", u"~", u"Opens a file"},
      {3, u"Open~Opens a file", u"~", u""},
      {2, u"a~~b", u"~", u""},
      {3, u"a~~b", u"~", u"b"},
      {0, u"a~b", u"~", u""},
      {-1, u"a~b", u"~", u""},
      {1, u"", u"~", u""},
      {1, u"abc", u"~", u"abc"},
      {2, u"abc~", u"~", u""},
      {2, u"a;b,c", u";,", u"b"},
      {3, u"a;b,c", u";,", u"c"},
      {1, u"~x", u"~", u""},
      // Characters above 255 are never delimiters.
      {1, u"a\u0100b", u"\u0100", u"a\u0100b"},
      {2, u"a\u00E9b", u"\u00E9", u"b"},
  };
  for (const FieldCase& c : cases)
    EXPECT_EQ(ExtractDelimitedField(c.n, c.text, c.delimiters), String(c.expected))
        << c.n << " of the case with expected field";
}

}  // namespace
