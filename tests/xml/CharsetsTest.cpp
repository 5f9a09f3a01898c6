#include <gtest/gtest.h>

#include "rtl/Unicode.h"
#include "xml/KelCharsets.h"

namespace {

TEST(Charsets, NameToCodePageTakesTheFirstRow) {
  const struct {
    const char16_t* Name;
    Word CodePage;
  } Cases[] = {
      {u"utf-8", 65001},       {u"UTF-8", 65001}, {u"Utf-8", 65001},       {u"iso-8859-1", 28591}, {u"latin1", 28591},
      {u"us-ascii", 20127},    {u"euc-kr", 949},  {u"iso-2022-jp", 50220}, {u"ISO-8859-8", 28598}, {u"visual", 28598},
      {u"windows-1252", 1252}, {u"x-ansi", 1252}, {u"utf-16", 1200},       {u"unicodeFFFE", 1201}, {u"l3,", 28593},
      {u"latin3", 28593},      {u"ascii", 20127}, {u"ibm775", 775},        {u"koi8-r", 20866},     {u"shift_jis", 932},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(UTF16ToUTF8(C.Name));
    EXPECT_EQ(CharsetNameToCodePage(C.Name), C.CodePage);
  }
}

TEST(Charsets, CodePageToNameTakesTheFirstRow) {
  const struct {
    Word CodePage;
    const char16_t* Name;
  } Cases[] = {
      {1252, u"Windows-1252"}, {65001, u"utf-8"},      {1200, u"utf-16"},      {28591, u"iso-8859-1"},
      {20127, u"us-ascii"},    {1201, u"unicodeFFFE"}, {28593, u"iso-8859-3"}, {708, u"ASMO-708"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.CodePage);
    EXPECT_EQ(CodePageToCharsetName(C.CodePage), C.Name);
  }
}

TEST(Charsets, NoMatchRaises) {
  for (const String& Name : {String(u"utf8"), String(u""), String(u"l3"), String(u"utf-8 "),
                             // Only ASCII letters fold: a dotless capital I does not match "i".
                             String(u"\u0130so-8859-1")}) {
    SCOPED_TRACE(UTF16ToUTF8(Name));
    try {
      CharsetNameToCodePage(Name);
      ADD_FAILURE() << "no exception";
    } catch (const EKelCharsetError& E) {
      EXPECT_EQ(E.Message(), u"No matching charset");
    }
  }
  EXPECT_THROW(CodePageToCharsetName(0), EKelCharsetError);
  EXPECT_THROW(CodePageToCharsetName(12345), EKelError);
}

}  // namespace
