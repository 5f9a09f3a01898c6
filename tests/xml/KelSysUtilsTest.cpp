// Text, character, locking, file and start-up helpers of the XML library.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "rtl/DateUtils.h"
#include "rtl/FormatSettings.h"
#include "xml/KelStartup.h"
#include "xml/KelStringConversions.h"
#include "xml/KelSysUtils.h"

TEST(KelSysUtils, CountAndCheckChars) {
  EXPECT_EQ(CountCharInText(u"", u' '), 0);
  EXPECT_EQ(CountCharInText(u"1 234 567", u' '), 2);
  EXPECT_EQ(CountCharInText(u"aAa", u'a'), 2);

  const struct {
    String Text;
    bool All, Any;
  } Cases[] = {
      {u"", false, false},  {u"  ", true, true},       {u" \t", true, true},      {u" x", false, true},
      {u"x", false, false}, {u"\r\n\v\f", true, true}, {u"\u00A0", false, false},  // only the ASCII blanks count
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(CheckTextChars(C.Text, IsAsciiSpace, true), C.All) << UnicodeToCodePage(C.Text, CP_KEL_UTF8);
    EXPECT_EQ(CheckTextChars(C.Text, IsAsciiSpace, false), C.Any) << UnicodeToCodePage(C.Text, CP_KEL_UTF8);
  }
  EXPECT_EQ(TrimLeftWhile(u" \t x y ", IsAsciiSpace), u"x y ");
  EXPECT_EQ(TrimLeftWhile(u"  ", IsAsciiSpace), u"");
}

TEST(KelSysUtils, TextCompareAndEquals) {
  EXPECT_EQ(TextCompare(u"", u"", true), 0);
  EXPECT_EQ(TextCompare(u"zz", u"aaaa", true), -2);  // lengths only
  EXPECT_EQ(TextCompare(u"abc", u"abd", true), -1);
  EXPECT_EQ(TextCompare(u"b", u"a", true), 1);
  EXPECT_TRUE(TextEquals(u"Amp", u"aMP", false));
  EXPECT_FALSE(TextEquals(u"Amp", u"aMP", true));
  EXPECT_TRUE(TextEquals(u"\u00C9t\u00E9", u"\u00E9T\u00C9", false));  // beyond ASCII too
  EXPECT_LT(TextCompare(u"ax", u"By", false), 0);
  const String Same = u"x";
  EXPECT_EQ(TextCompareRange(Same, Same, 1, true, 0), -2);  // the same text, no count

  const struct {
    String S1, S2;
    Integer Index, Count;
    bool CaseSensitive;
    Integer Expected;
  } Ranges[] = {
      {u"abc", u"abd", 1, 0, true, -2},  // no count
      {u"abc", u"", 1, 3, true, -1},     // one empty
      {u"", u"abc", 1, 3, true, -1},
      {u"", u"", 1, 0, true, 0},
      {u"abc", u"abc", 2, 3, true, -2},   // S1 too short for the range
      {u"xbcd", u"ybce", 2, 2, true, 0},  // "bc" against "bc"
      {u"xbcd", u"ybCe", 2, 2, true, u'c' - u'C'},
      {u"xbcd", u"ybCe", 2, 2, false, 0},
      {u"abcd", u"ab", 1, 4, true, 0},  // only what S2 has
      {u"a\u00FF", u"a\u0100", 1, 2, true, -1},
  };
  for (const auto& R : Ranges) {
    EXPECT_EQ(TextCompareRange(R.S1, R.S2, R.Index, R.CaseSensitive, R.Count), R.Expected)
        << UnicodeToCodePage(R.S1, CP_KEL_UTF8) << " / " << UnicodeToCodePage(R.S2, CP_KEL_UTF8);
  }
}

TEST(KelSysUtils, FindWideText) {
  const Char* Text = u"HKLM\\Software\\Soft";
  EXPECT_EQ(FindWideText(Text, u"Soft"), Text + 5);
  EXPECT_EQ(FindWideText(Text, u"HKLM"), Text);
  EXPECT_EQ(FindWideText(Text, u"Softer"), nullptr);
  EXPECT_EQ(FindWideText(Text, u""), nullptr);
  EXPECT_EQ(FindWideText(u"", u"a"), nullptr);
  EXPECT_EQ(FindWideText(nullptr, u"a"), nullptr);
  EXPECT_EQ(FindWideText(Text, nullptr), nullptr);
  const Char* Overlap = u"aaab";
  EXPECT_EQ(FindWideText(Overlap, u"aab"), Overlap + 1);
}

TEST(KelSysUtils, CharacterTables) {
  const struct {
    Char Ch;
    bool Upper, Lower;
    Char LowerForm, UpperForm, Reflected;
  } Cases[] = {
      {u'A', true, false, u'a', u'A', u'a'},
      {u'z', false, true, u'z', u'Z', u'Z'},
      {u'5', false, false, u'5', u'5', u'5'},
      {u'\u00C9', true, false, u'\u00E9', u'\u00C9', u'\u00E9'},
      {u'\u0436', false, true, u'\u0436', u'\u0416', u'\u0416'},  // Cyrillic zhe
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(WideIsUpper(C.Ch), C.Upper) << int(C.Ch);
    EXPECT_EQ(WideIsLower(C.Ch), C.Lower) << int(C.Ch);
    EXPECT_EQ(WideLowerCaseOf(C.Ch), C.LowerForm) << int(C.Ch);
    EXPECT_EQ(WideUpperCaseOf(C.Ch), C.UpperForm) << int(C.Ch);
    EXPECT_EQ(WideReflectCaseOf(C.Ch), C.Reflected) << int(C.Ch);
  }
  EXPECT_TRUE(WideCharType(u'7') & C1_DIGIT);
  EXPECT_TRUE(WideCharType(u' ') & C1_SPACE);
  EXPECT_TRUE(WideCharType(u'\t') & C1_BLANK);
  EXPECT_TRUE(WideCharType(u',') & C1_PUNCT);
  EXPECT_TRUE(WideCharType(u'\x01') & C1_CNTRL);
  EXPECT_TRUE(WideCharType(u'f') & C1_XDIGIT);

  EXPECT_EQ(AnsiLowerCaseOf('Q'), 'q');
  EXPECT_EQ(AnsiUpperCaseOf('q'), 'Q');
  EXPECT_EQ(AnsiReflectCaseOf('q'), 'Q');
  EXPECT_EQ(AnsiReflectCaseOf('#'), '#');
  EXPECT_TRUE(AnsiCharType('Q') & C1_UPPER);
  EXPECT_TRUE(AnsiCharType('0') & C1_DIGIT);
  if (SystemAnsiCodePage() == 1252) {
    EXPECT_EQ(AnsiLowerCaseOf(0xC9), 0xE9);  // É
    EXPECT_EQ(AnsiUpperCaseOf(0x9A), 0x8A);  // š
  }
}

// Many threads race to create one shared lock: exactly one object is
// installed and the lock excludes the others.
TEST(KelSysUtils, CreateAndEnterSharesOneLock) {
  std::atomic<TKelCriticalSection*> Section{nullptr};
  std::atomic<int> Inside{0};
  std::atomic<bool> Overlap{false};
  int Counter = 0;
  std::vector<std::thread> Threads;
  for (int T = 0; T < 8; ++T) {
    Threads.emplace_back([&] {
      for (int I = 0; I < 200; ++I) {
        TKelCriticalSection::CreateAndEnter(Section);
        if (Inside.fetch_add(1) != 0) Overlap = true;
        ++Counter;
        Inside.fetch_sub(1);
        Section.load()->Leave();
      }
    });
  }
  for (auto& T : Threads) T.join();
  EXPECT_FALSE(Overlap);
  EXPECT_EQ(Counter, 1600);
  delete Section.load();

  int Value = 5;
  std::atomic<int*> Target{&Value};
  int Other = 6;
  EXPECT_EQ(AtomicCompareExchange(Target, &Other, static_cast<int*>(nullptr)), &Value);  // no match
  EXPECT_EQ(Target.load(), &Value);
  EXPECT_EQ(AtomicCompareExchange(Target, &Other, &Value), &Value);
  EXPECT_EQ(Target.load(), &Other);
}

TEST(KelSysUtils, FilesAndMemory) {
  namespace fs = std::filesystem;
  const fs::path Dir = fs::temp_directory_path() / "kel-sysutils-test";
  fs::create_directories(Dir);
  const fs::path File = Dir / "f.txt";
  std::ofstream(File) << "x";
  const String FileName = File.u16string();
  const String DirName = Dir.u16string();

  EXPECT_TRUE(IsExistingFile(FileName));
  EXPECT_FALSE(IsExistingFile(DirName));
  EXPECT_FALSE(IsExistingFile(u""));
  EXPECT_FALSE(IsExistingFile(FileName + u".missing"));
  const TDateTime Written = FileLastWriteTime(FileName);
  EXPECT_LT(std::abs(Written - Now()), 1.0 / 24);  // local time, within the hour
  EXPECT_EQ(FileLastWriteTime(FileName + u".missing"), 0.0);
  fs::remove_all(Dir);

  EXPECT_FALSE(ModuleFileName(0).empty());
  NativeUInt Module = 0;
  FreeModuleHandle(Module);
  EXPECT_EQ(Module, 0u);

  Byte Block[4] = {1, 2, 3, 4};
  ZeroMemoryBlock(Block, 0);
  EXPECT_EQ(Block[0], 1);
  ZeroMemoryBlock(Block, 3);
  EXPECT_EQ(Block[2], 0);
  EXPECT_EQ(Block[3], 4);
}

TEST(KelSysUtils, LocaleSeparatorsFollowTheSettings) {
  const TFormatSettings Saved = FormatSettings;
  SetDefaultFormatSettings(TFormatSettings::French());
  EXPECT_EQ(LocaleDecimalSeparator(), u',');
  EXPECT_EQ(LocaleThousandSeparator(), FrenchThousandSeparator);
  SetDefaultFormatSettings(TFormatSettings::English());
  EXPECT_EQ(LocaleDecimalSeparator(), u'.');
  EXPECT_EQ(LocaleThousandSeparator(), u',');
  SetDefaultFormatSettings(Saved);
}

// A set holds its element type; freeing the set's last count frees both.
TEST(KelSysUtils, TypeDescriptionsAreReleasedWithTheirParts) {
  ReleaseAllTypeDescriptions();
  auto Element = std::make_unique<TKelTypeDescription>();
  Element->Kind = TKelTypeDescription::tkEnumeration;
  Element->BaseType = Element.get();  // an enumeration is its own base
  TKelTypeDescription* E = Element.get();
  RetainTypeDescription(std::move(Element));
  auto Set = std::make_unique<TKelTypeDescription>();
  Set->Kind = TKelTypeDescription::tkSet;
  Set->ElementType = E;
  TKelTypeDescription* S = Set.get();
  RetainTypeDescription(std::move(Set));
  RetainTypeDescription(S);
  ASSERT_EQ(TypeDescriptionCount(), 2);
  EXPECT_EQ(TypeDescriptionRefCount(S), 2);

  ReleaseTypeDescription(S);
  EXPECT_EQ(TypeDescriptionCount(), 2);
  ReleaseTypeDescription(S);
  EXPECT_EQ(TypeDescriptionCount(), 0);  // the element went with the set
  ReleaseTypeDescription(S);             // unknown now: ignored

  RetainTypeDescription(std::make_unique<TKelTypeDescription>());
  RetainTypeDescription(std::make_unique<TKelTypeDescription>());
  ReleaseAllTypeDescriptions();
  EXPECT_EQ(TypeDescriptionCount(), 0);
}

TEST(KelSysUtils, StartupRunsItsStepsOnceInOrder) {
  KelUnitsInitialize();
  KelUnitsInitialize();
  const std::vector<TKelStartupStep> Expected{ksAnsiDefaultChar, ksAnsiCharTables, ksUnicodeCategoryLock,
                                              ksWideCharTables,  ksWindowsVersion, ksTypeDescriptionList};
  EXPECT_EQ(KelStartupSteps(), Expected);
  RetainTypeDescription(std::make_unique<TKelTypeDescription>());
  KelUnitsFinalize();
  EXPECT_EQ(TypeDescriptionCount(), 0);
}
