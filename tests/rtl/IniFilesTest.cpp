#include "rtl/IniFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "tests/support/TestSupport.h"

namespace {

class IniFiles : public ::testing::Test {
protected:
  String PathOf(const String& Name) const { return testsupport::PathText(Temp.Path) + PathDelim + Name; }
  // Writes raw bytes.
  void WriteFile(const String& Name, const std::string& Bytes) {
    TFileStream F(Name, fmCreate);
    F.WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
  }
  std::string ReadFile(const String& Name) {
    TMemoryStream M;
    M.LoadFromFile(Name);
    return std::string(static_cast<const char*>(M.Memory()), static_cast<std::size_t>(M.Size()));
  }
  testsupport::TTempDir Temp{"quorvel-ini"};
};

std::vector<String> Lines(const TStrings& L) { return L.ToStringArray(); }

const std::string kSample =
    "stray=before any section\r\n"
    "; a comment\r\n"
    "[View]\r\n"
    "  Align = 5 \r\n"
    "Color=536870911\r\n"
    "\r\n"
    "Empty=\r\n"
    "Name = Chart one\r\n"
    "NoEquals\r\n"
    "[ View.Pane0.Title ]\r\n"
    "Text=Sales = 2024\r\n"
    "FontStyle=:0:1\r\n"
    "[view]\r\n"
    "Later=1\r\n";

TEST_F(IniFiles, LoadsSectionsKeysAndValues) {
  const String Name = PathOf(u"sample.ini");
  WriteFile(Name, kSample);
  TMemIniFile Ini(Name);
  EXPECT_EQ(Ini.FileName(), Name);
  EXPECT_EQ(Ini.ReadString(u"View", u"Align", u"?"), u"5");
  EXPECT_EQ(Ini.ReadString(u"VIEW", u"align", u"?"), u"5");
  EXPECT_EQ(Ini.ReadString(u"View", u"Name", u"?"), u"Chart one");
  EXPECT_EQ(Ini.ReadString(u"View", u"Empty", u"?"), u"");  // present, empty
  EXPECT_EQ(Ini.ReadString(u"View", u"Missing", u"?"), u"?");
  EXPECT_EQ(Ini.ReadString(u"Nowhere", u"Align", u"?"), u"?");
  EXPECT_EQ(Ini.ReadString(u"View.Pane0.Title", u"Text", u""), u"Sales = 2024");
  EXPECT_EQ(Ini.ReadString(u"View", u"stray", u"?"), u"?");
  // The section named twice is one section.
  EXPECT_EQ(Ini.ReadString(u"View", u"Later", u"?"), u"1");

  TStringList Sections;
  Ini.ReadSections(Sections);
  EXPECT_EQ(Lines(Sections), (std::vector<String>{u"View", u"View.Pane0.Title"}));
  TStringList Keys;
  Keys.Add(u"cleared first");
  Ini.ReadSection(u"view", Keys);
  EXPECT_EQ(Lines(Keys), (std::vector<String>{u"Align", u"Color", u"Empty", u"Name", u"Later"}));
  TStringList Values;
  Ini.ReadSectionValues(u"View.Pane0.Title", Values);
  EXPECT_EQ(Lines(Values), (std::vector<String>{u"Text=Sales = 2024", u"FontStyle=:0:1"}));
  Ini.ReadSection(u"Nowhere", Keys);
  EXPECT_EQ(Keys.Count(), 0);

  EXPECT_TRUE(Ini.SectionExists(u"view.pane0.title"));
  EXPECT_FALSE(Ini.SectionExists(u"Nowhere"));
  EXPECT_TRUE(Ini.ValueExists(u"View", u"EMPTY"));
  EXPECT_FALSE(Ini.ValueExists(u"View", u"Missing"));
  EXPECT_FALSE(Ini.Modified());
}

struct IntCase {
  const char* name;
  const char16_t* text;
  Integer expected;
};

TEST_F(IniFiles, TypedReads) {
  TMemIniFile Ini(u"");
  const IntCase cases[] = {
      {"decimal", u"42", 42},
      {"negative", u"-7", -7},
      {"dollar hex", u"$1F", 31},
      {"0x hex", u"0x1F", 31},
      {"0X hex", u"0X10", 16},
      {"word", u"abc", -1},
      {"empty", u"", -1},
      {"trailing junk", u"12a", -1},
      {"float", u"1.5", -1},
      {"all ones", u"$FFFFFFFF", -1},
      {"too big", u"99999999999", -1},
  };
  for (const auto& c : cases) {
    Ini.WriteString(u"S", u"K", c.text);
    EXPECT_EQ(Ini.ReadInteger(u"S", u"K", -1), c.expected) << c.name;
  }
  EXPECT_EQ(Ini.ReadInteger(u"S", u"Missing", 12), 12);
  Ini.WriteInteger(u"S", u"Colour", 536870911);
  EXPECT_EQ(Ini.ReadString(u"S", u"Colour", u""), u"536870911");
  Ini.WriteInteger(u"S", u"System", -16777201);
  EXPECT_EQ(Ini.ReadInteger(u"S", u"System", 0), -16777201);
  Ini.WriteInt64(u"S", u"Big", 123456789012345LL);
  EXPECT_EQ(Ini.ReadInt64(u"S", u"Big", 0), 123456789012345LL);

  Ini.WriteBool(u"S", u"On", true);
  Ini.WriteBool(u"S", u"Off", false);
  EXPECT_EQ(Ini.ReadString(u"S", u"On", u""), u"1");
  EXPECT_EQ(Ini.ReadString(u"S", u"Off", u""), u"0");
  EXPECT_TRUE(Ini.ReadBool(u"S", u"On", false));
  EXPECT_FALSE(Ini.ReadBool(u"S", u"Off", true));
  Ini.WriteString(u"S", u"Minus", u"-1");
  EXPECT_TRUE(Ini.ReadBool(u"S", u"Minus", false));
  Ini.WriteString(u"S", u"Word", u"true");  // not an integer: the default
  EXPECT_FALSE(Ini.ReadBool(u"S", u"Word", false));
  EXPECT_TRUE(Ini.ReadBool(u"S", u"Word", true));
  EXPECT_TRUE(Ini.ReadBool(u"S", u"Missing", true));
}

TEST_F(IniFiles, FloatsAndDates) {
  TMemIniFile Ini(u"");
  Ini.WriteFloat(u"S", u"F", 1.5);
  EXPECT_EQ(Ini.ReadString(u"S", u"F", u""), u"1.5");
  EXPECT_DOUBLE_EQ(Ini.ReadFloat(u"S", u"F", 0), 1.5);
  Ini.WriteFloat(u"S", u"Tiny", 0.1);
  EXPECT_DOUBLE_EQ(Ini.ReadFloat(u"S", u"Tiny", 0), 0.1);
  Ini.WriteFloat(u"S", u"Fr", 2.25, TFormatSettings::French());
  EXPECT_EQ(Ini.ReadString(u"S", u"Fr", u""), u"2,25");
  EXPECT_DOUBLE_EQ(Ini.ReadFloat(u"S", u"Fr", 0, TFormatSettings::French()), 2.25);
  EXPECT_DOUBLE_EQ(Ini.ReadFloat(u"S", u"Fr", -1), -1);  // "2,25" is no invariant number
  Ini.WriteString(u"S", u"Bad", u"x");
  EXPECT_DOUBLE_EQ(Ini.ReadFloat(u"S", u"Bad", 3.5), 3.5);
  EXPECT_DOUBLE_EQ(Ini.ReadFloat(u"S", u"Missing", 4.5), 4.5);
  Ini.WriteString(u"S", u"Empty", u"");
  EXPECT_DOUBLE_EQ(Ini.ReadFloat(u"S", u"Empty", 5.5), 5.5);

  const TDateTime When = EncodeDateTime(2024, 3, 9, 14, 5, 6, 0);
  Ini.WriteDateTime(u"S", u"When", When);
  EXPECT_EQ(Ini.ReadString(u"S", u"When", u""), u"03/09/2024 14:05:06");
  EXPECT_NEAR(Ini.ReadDateTime(u"S", u"When", 0), When, 1e-9);
  Ini.WriteDateTime(u"S", u"Quand", When, TFormatSettings::French());
  EXPECT_EQ(Ini.ReadString(u"S", u"Quand", u""), u"09/03/2024 14:05:06");
  EXPECT_NEAR(Ini.ReadDateTime(u"S", u"Quand", 0, TFormatSettings::French()), When, 1e-9);
  EXPECT_EQ(Ini.ReadDateTime(u"S", u"Bad", 7.0), 7.0);
}

TEST_F(IniFiles, WritesReplaceInPlaceAndDeletes) {
  TMemIniFile Ini(u"");
  Ini.WriteString(u"A", u"k1", u"1");
  Ini.WriteString(u"A", u"k2", u"2");
  Ini.WriteString(u"B", u"x", u"y");
  Ini.WriteString(u"a", u"K1", u"one");  // same key, other case: replaced in place
  TStringList Values;
  Ini.ReadSectionValues(u"A", Values);
  EXPECT_EQ(Lines(Values), (std::vector<String>{u"K1=one", u"k2=2"}));
  EXPECT_TRUE(Ini.Modified());
  Ini.DeleteKey(u"A", u"k2");
  Ini.DeleteKey(u"A", u"absent");
  Ini.DeleteKey(u"Absent", u"k2");
  Ini.ReadSectionValues(u"A", Values);
  EXPECT_EQ(Lines(Values), (std::vector<String>{u"K1=one"}));
  Ini.EraseSection(u"b");
  EXPECT_FALSE(Ini.SectionExists(u"B"));
  Ini.DeleteKey(u"A", u"K1");
  EXPECT_TRUE(Ini.SectionExists(u"A"));  // empty, still there
  Ini.Clear();
  TStringList Sections;
  Ini.ReadSections(Sections);
  EXPECT_EQ(Sections.Count(), 0);
}

TEST_F(IniFiles, UpdateFileWritesEverythingBack) {
  const String Name = PathOf(u"settings.ini");
  WriteFile(Name, kSample);
  {
    TMemIniFile Ini(Name);
    Ini.WriteInteger(u"View", u"Align", 2);
    Ini.WriteString(u"View.Tracker", u"Visible", u"1");
    Ini.UpdateFile();
    EXPECT_FALSE(Ini.Modified());
  }
  EXPECT_EQ(ReadFile(Name),
            "[View]\r\nAlign=2\r\nColor=536870911\r\nEmpty=\r\nName=Chart one\r\nNoEquals\r\nLater=1\r\n\r\n"
            "[View.Pane0.Title]\r\nText=Sales = 2024\r\nFontStyle=:0:1\r\n\r\n"
            "[View.Tracker]\r\nVisible=1\r\n\r\n");
  // Keys written by others stay (the chart view's rule).
  TMemIniFile Again(Name);
  EXPECT_EQ(Again.ReadInteger(u"View", u"Color", 0), 536870911);
  EXPECT_EQ(Again.ReadString(u"View.Tracker", u"Visible", u""), u"1");
}

TEST_F(IniFiles, MissingFileStartsEmptyAndIsCreated) {
  const String Name = PathOf(u"new \u00E9.ini");
  TMemIniFile Ini(Name);
  TStringList Sections;
  Ini.ReadSections(Sections);
  EXPECT_EQ(Sections.Count(), 0);
  Ini.UpdateFile();
  EXPECT_EQ(ReadFile(Name), "");
  Ini.WriteString(u"S", u"K", u"\u00E9");
  Ini.UpdateFile();
  // No encoding given and no file read: ANSI.
  if (TEncoding::ANSI()->CodePage() == 1252) {
    EXPECT_EQ(ReadFile(Name), "[S]\r\nK=\xE9\r\n\r\n");
  }
  TMemIniFile Back(Name);
  EXPECT_EQ(Back.ReadString(u"S", u"K", u""), u"\u00E9");
}

TEST_F(IniFiles, EncodingOfTheFileIsKept) {
  const String Name = PathOf(u"utf8.ini");
  WriteFile(Name, "\xEF\xBB\xBF[S]\r\nK=\xE2\x82\xAC\r\n");
  {
    TMemIniFile Ini(Name);
    EXPECT_EQ(Ini.ReadString(u"S", u"K", u""), u"\u20AC");
    EXPECT_EQ(Ini.Encoding(), TEncoding::UTF8());
    Ini.WriteString(u"S", u"L", u"\u0416");
    Ini.UpdateFile();
  }
  EXPECT_EQ(ReadFile(Name), "\xEF\xBB\xBF[S]\r\nK=\xE2\x82\xAC\r\nL=\xD0\x96\r\n\r\n");

  const String Wide = PathOf(u"utf16.ini");
  {
    TMemIniFile Ini(Wide, TEncoding::Unicode());
    Ini.WriteString(u"S", u"K", u"v");
    Ini.UpdateFile();
  }
  EXPECT_EQ(ReadFile(Wide), std::string("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0v\0\r\0\n\0\r\0\n\0", 26));
  TMemIniFile Detected(Wide);
  EXPECT_EQ(Detected.ReadString(u"s", u"k", u""), u"v");
  EXPECT_EQ(Detected.Encoding(), TEncoding::Unicode());
}

TEST_F(IniFiles, GetStringsSetStringsRenameAutoSave) {
  TMemIniFile Ini(u"");
  TStringList Source;
  Source.SetText(u"[A]\r\n x = 1\r\n;c\r\n[B]\r\ny=2\r\n");
  Ini.SetStrings(&Source);
  TStringList Out;
  Out.Add(u"kept");
  Ini.GetStrings(&Out);
  EXPECT_EQ(Lines(Out), (std::vector<String>{u"kept", u"[A]", u"x=1", u"", u"[B]", u"y=2", u""}));

  const String First = PathOf(u"first.ini");
  const String Second = PathOf(u"second.ini");
  WriteFile(Second, "[Z]\r\nz=26\r\n");
  {
    TMemIniFile Auto(First);
    Auto.SetAutoSave(true);
    Auto.WriteString(u"S", u"K", u"V");
  }
  EXPECT_EQ(ReadFile(First), "[S]\r\nK=V\r\n\r\n");
  TMemIniFile Moving(First);
  Moving.Rename(Second, false);
  EXPECT_EQ(Moving.FileName(), Second);
  EXPECT_EQ(Moving.ReadString(u"S", u"K", u""), u"V");
  Moving.Rename(Second, true);
  EXPECT_EQ(Moving.ReadString(u"S", u"K", u"gone"), u"gone");
  EXPECT_EQ(Moving.ReadInteger(u"Z", u"z", 0), 26);
}

TEST_F(IniFiles, CaseSensitiveNames) {
  TMemIniFile Ini(u"", nullptr, true);
  Ini.WriteString(u"S", u"Key", u"1");
  EXPECT_EQ(Ini.ReadString(u"S", u"key", u"none"), u"none");
  EXPECT_EQ(Ini.ReadString(u"s", u"Key", u"none"), u"none");
  Ini.SetCaseSensitive(false);
  EXPECT_EQ(Ini.ReadString(u"s", u"KEY", u"none"), u"1");
}

}  // namespace
