// The order of folder names.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/TriNoms.h"
#include "rtl/Unicode.h"

namespace {

String Utf16(const char* s) { return UTF8ToUTF16(s); }

TEST(TriNoms, CaseInsensitiveLocaleOrderNotCodePoints) {
  std::vector<String> noms = {Utf16("Zoé"),   Utf16("b"),  Utf16("eddy"), Utf16("A"),
                              Utf16("école"), Utf16("a2"), Utf16("E"),    Utf16("_x")};
  std::sort(noms.begin(), noms.end(), [](const String& a, const String& b) { return CompareNoms(a, b) < 0; });
  const std::vector<String> attendu = {Utf16("_x"), Utf16("A"),     Utf16("a2"),   Utf16("b"),
                                       Utf16("E"),  Utf16("école"), Utf16("eddy"), Utf16("Zoé")};
  EXPECT_EQ(noms, attendu);
  // By code point "Zoé" came before "b" and "école" after everything.
  EXPECT_LT(CompareNoms(Utf16("b"), Utf16("Zoé")), 0);
}

TEST(TriNoms, NamesEqualButForCaseStillHaveAnOrder) {
  EXPECT_EQ(CompareNomsSysteme(u"Photos", u"PHOTOS"), 0);
  EXPECT_LT(CompareNoms(u"PHOTOS", u"Photos"), 0);  // then by code point
  EXPECT_GT(CompareNoms(u"Photos", u"PHOTOS"), 0);
  EXPECT_EQ(CompareNoms(u"x", u"x"), 0);
}

}  // namespace
