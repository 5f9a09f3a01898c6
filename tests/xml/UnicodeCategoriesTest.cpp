#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "xml/KelUnicode.h"

namespace {

TEST(UnicodeCategories, XmlPredicates) {
  const struct {
    Cardinal Cp;
    bool Space, Start, Name;
  } Cases[] = {
      {0x20, true, false, false},      {0x09, true, false, false},        {0x0D, true, false, false},
      {0x1F, true, false, false},      {0x85, true, false, false},        {0xA0, true, false, false},
      {0x3000, true, false, false},    {0x2029, true, false, false},      {0x200B, false, false, true},  // Cf
      {0x5F, false, false, true},      {0xB7, false, false, false},       {0x2D, false, false, false},
      {0x2E, false, false, false},     {0x30, false, false, true},        {0x41, false, true, true},
      {0x7A, false, true, true},       {0xE9, false, true, true},         {0x0301, false, false, true},  // Mn
      {0x2160, false, true, true},     {0x4E00, false, true, true},       {0x9FEF, false, true, true},
      {0x0378, false, false, false},   {0x1F600, false, false, false},    {0x20000, false, true, true},
      {0x110000, false, false, false}, {0xFFFFFFFF, false, false, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << C.Cp);
    EXPECT_EQ(IsXmlWhitespace(C.Cp), C.Space);
    EXPECT_EQ(IsXmlNameStart(C.Cp), C.Start);
    EXPECT_EQ(IsXmlNameChar(C.Cp), C.Name);
  }
}

TEST(UnicodeCategories, ExactlyTwentySixWhitespaceCodePoints) {
  int Count = 0;
  for (Cardinal Cp = 0; Cp <= 0x10FFFF; ++Cp) Count += IsXmlWhitespace(Cp) ? 1 : 0;
  EXPECT_EQ(Count, 26);
  EXPECT_TRUE(CodePointHasCategory(0x1F, ccSegmentSeparator));
  EXPECT_TRUE(CodePointHasCategory(0x2040, ccPunctuationConnector));
  EXPECT_TRUE(CodePointHasCategory(0x41, ccASCIIHexDigit));
  EXPECT_FALSE(CodePointHasCategory(0x47, ccASCIIHexDigit));
}

// Ten threads classify at once in a fresh process: every one sees the full
// table, and it was decoded exactly once.
void ClassifyFromTenThreads() {
  if (UnicodeCategoriesLoadCount() != 0) std::exit(3);
  std::atomic<bool> Go{false};
  std::atomic<int> Wrong{0};
  std::vector<std::thread> Threads;
  for (int T = 0; T < 10; ++T) {
    Threads.emplace_back([&] {
      while (!Go.load()) std::this_thread::yield();
      if (!IsXmlNameStart(0x4E00) || !IsXmlWhitespace(0x3000) || IsXmlNameChar(0x0378)) ++Wrong;
    });
  }
  Go = true;
  for (auto& T : Threads) T.join();
  std::exit(Wrong == 0 && UnicodeCategoriesLoadCount() == 1 ? 0 : 4);
}

TEST(UnicodeCategoriesDeathTest, LoadedOnceFromTenThreads) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ClassifyFromTenThreads(), testing::ExitedWithCode(0), "");
}

}  // namespace
