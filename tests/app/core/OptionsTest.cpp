#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "CoreFilesTestUtil.h"
#include "app/core/Options.h"
#include "rtl/DateUtils.h"
#include "rtl/Encoding.h"
#include "xml/OxSimpleXml.h"

namespace {

using namespace corefiles;

const TDateTime kNow = EncodeDate(2024, 3, 20) + EncodeTime(10, 0, 0, 0);
const TDateTime kChecked = EncodeDate(2024, 3, 14) + EncodeTime(9, 15, 0, 0);

// A settings file written by hand around an "Options" body.
std::string SettingsWith(const std::string& Options) {
  return "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n<Quorvel>\r\n  <MesSites>\r\n"
         "    <Server Nom=\"Maison\"><Host>nas.local</Host></Server>\r\n  </MesSites>\r\n"
         "  <Options>\r\n" +
         Options + "  </Options>\r\n</Quorvel>\r\n";
}

class SettingsFile : public ::testing::Test {
protected:
  TempDir Dir;
  String File = Dir.Name("Quorvel.xml");
  TFormatSettings Format = TFormatSettings::French();

  TQuorvelOptions Load(const std::string& Bytes, TSettingsLoad* State = nullptr) {
    WriteAll(Dir.File("Quorvel.xml"), Bytes);
    TQuorvelOptions Options;
    TSettingsLoad Result = ChargeOptions(Options, kNow, Format, File);
    if (State) *State = Result;
    return Options;
  }
  // The backup files beside the settings file.
  std::vector<std::string> Backups() {
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(Dir.Path)) {
      const std::string N = E.path().filename().string();
      if (N.rfind("Quorvel.xml.", 0) == 0) Names.push_back(N);
    }
    std::sort(Names.begin(), Names.end());
    return Names;
  }
  String Option(const String& Key) {
    TOxSimpleXML Xml;
    Xml.LoadFromFile(File);
    return LitOption(Xml, Key, u"<absent>");
  }
};

TEST_F(SettingsFile, NoFileGivesDefaultsAndNoCheckAtFirstStart) {
  TQuorvelOptions Options;
  Options.Last.Host = u"typed";
  TSettingsLoad State = ChargeOptions(Options, kNow, Format, File);
  EXPECT_EQ(State.State, TSettingsFileState::Missing);
  // The built-in update address has no server yet: no automatic check until
  // the user asks for one.
  EXPECT_EQ(Options.AutoCheckType, acNone);
  EXPECT_DOUBLE_EQ(Options.LastCheck, kNow - 31);
  EXPECT_FALSE(AutoCheckDue(Options, kNow));
  Options.AutoCheckType = acMonthly;
  EXPECT_TRUE(AutoCheckDue(Options, kNow));
  EXPECT_EQ(Options.OptionLangue, u"");
  EXPECT_FALSE(Options.SaveLastConnect);
  EXPECT_EQ(Options.UrlUpdate, DefaultUrlUpdate());
  EXPECT_EQ(Options.Last.Host, u"typed") << "the connection fields are left alone";
  EXPECT_EQ(Options.Last.Port, 21);
  EXPECT_TRUE(Options.Last.Passif);
  EXPECT_EQ(Options.Last.Alloue, 10);
  EXPECT_EQ(Options.Last.Unite, 1);
}

TEST_F(SettingsFile, NewFileMatchesTheGolden) {
  TQuorvelOptions Options;
  Options.AutoCheckType = acMonthly;
  Options.LastCheck = kChecked;
  Options.SaveLastConnect = true;
  Options.Last = {u"ftp.example.org", 21, u"anonymous", u"guest@example.org", true, u"/pub", 10, 1};
  TSettingsSave Saved = SauveOptions(Options, Format, File);
  ASSERT_TRUE(Saved.Ok) << UTF16ToUTF8(Saved.Error);
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml")), ReadAll(DataFile("Quorvel.options.golden.xml")));

  TQuorvelOptions Back;
  ChargeOptions(Back, kNow, Format, File);
  EXPECT_DOUBLE_EQ(Back.LastCheck, kChecked);
  EXPECT_EQ(Back.Last.Pass, u"guest@example.org");
  EXPECT_EQ(Back.Last.Dir, u"/pub");
  EXPECT_TRUE(Back.Last.Passif);
}

// The keys of a new file, in the order they are written.
TEST_F(SettingsFile, WriteOrderOfANewFile) {
  const String Url = u"http://127.0.0.1:1/v.php";
  const struct {
    bool SaveLast;
    bool OwnUrl;
    std::vector<String> Keys;
  } Cases[] = {
      {false, false, {u"AutoCheck", u"LastCheck", u"Langue", u"SaveLastConnect", u"DefautPassive"}},
      {false, true, {u"AutoCheck", u"LastCheck", u"Langue", u"SaveLastConnect", u"UrlUpdate", u"DefautPassive"}},
      {true,
       true,
       {u"AutoCheck", u"LastCheck", u"Langue", u"SaveLastConnect", u"UrlUpdate", u"LastHost", u"LastPort", u"LastUser",
        u"LastPass", u"LastPassif", u"LastDir", u"LastAlloue", u"LastUnite", u"DefautPassive"}},
  };
  for (const auto& C : Cases) {
    std::filesystem::remove(Dir.File("Quorvel.xml"));
    TQuorvelOptions O;
    O.LastCheck = kChecked;
    O.AutoCheckType = acWeekly;
    O.OptionLangue = u"US";
    O.FZDefautPassive = true;
    O.SaveLastConnect = C.SaveLast;
    if (C.OwnUrl) O.UrlUpdate = Url;
    O.Last = {u"h", 2121, u"u", u"p", false, u"/d", 5, 0};
    ASSERT_TRUE(SauveOptions(O, Format, File).Ok);
    TOxSimpleXML Xml;
    Xml.LoadFromFile(File);
    ASSERT_EQ(Xml.Root()->Items()->Count(), 1);
    TKelSimpleXMLElem* Opt = Xml.Root()->Items()->GetItem(0);
    EXPECT_EQ(Opt->Name(), u"Options");
    std::vector<String> Keys;
    for (Integer I = 0; I < Opt->Items()->Count(); ++I) Keys.push_back(Opt->Items()->GetItem(I)->Name());
    EXPECT_EQ(Keys, C.Keys) << C.SaveLast << C.OwnUrl;
    EXPECT_EQ(Option(u"AutoCheck"), u"2");
    EXPECT_EQ(Option(u"Langue"), u"US");
    EXPECT_EQ(Option(u"DefautPassive"), u"1");
    EXPECT_EQ(Option(u"SaveLastConnect"), C.SaveLast ? u"1" : u"0");
    if (C.SaveLast) {
      EXPECT_EQ(Option(u"LastPort"), u"2121");
      EXPECT_EQ(Option(u"LastPassif"), u"0");
      EXPECT_EQ(Option(u"LastAlloue"), u"5");
      EXPECT_EQ(Option(u"LastUnite"), u"0");
    }
  }
}

TEST_F(SettingsFile, ValuesThatDoNotConvertTakeTheirDefaults) {
  struct Case {
    const char* Options;
    Integer Port, Alloue, Unite, AutoCheck;
    bool Passif;
  } Cases[] = {
      {"<SaveLastConnect>1</SaveLastConnect><LastPort>abc</LastPort>", 21, 1, 1, acNone, false},
      {"<SaveLastConnect>1</SaveLastConnect><LastPort>70000</LastPort><LastAlloue>0</LastAlloue>", 65534, 1, 1, acNone,
       false},
      {"<SaveLastConnect>1</SaveLastConnect><LastPort/><LastAlloue>x</LastAlloue><LastUnite>y</LastUnite>", 21, 1, 1,
       acNone, false},
      {"<SaveLastConnect>1</SaveLastConnect><LastUnite>0</LastUnite><LastPassif>1</LastPassif><AutoCheck>2</AutoCheck>",
       21, 1, 0, 2, true},
      {"<SaveLastConnect>true</SaveLastConnect><LastPort>2121</LastPort><AutoCheck>monthly</AutoCheck>", 21, 10, 1,
       acNone, true},
      {"<AutoCheck>3</AutoCheck>", 21, 10, 1, acMonthly, true},
  };
  for (const Case& C : Cases) {
    TQuorvelOptions O = Load(SettingsWith(C.Options));
    EXPECT_EQ(O.Last.Port, C.Port) << C.Options;
    EXPECT_EQ(O.Last.Alloue, C.Alloue) << C.Options;
    EXPECT_EQ(O.Last.Unite, C.Unite) << C.Options;
    EXPECT_EQ(O.Last.Passif, C.Passif) << C.Options;
    EXPECT_EQ(O.AutoCheckType, C.AutoCheck) << C.Options;
  }
}

TEST_F(SettingsFile, LastCheckAndLanguage) {
  TQuorvelOptions O = Load(SettingsWith("<LastCheck>03/14/2024 9:15:00 AM</LastCheck><Langue>us</Langue>"));
  EXPECT_DOUBLE_EQ(O.LastCheck, kNow - 31) << "another regional format counts as 31 days ago";
  EXPECT_EQ(O.OptionLangue, u"US");
  O = Load(SettingsWith("<LastCheck>14/03/2024 09:15:00</LastCheck><Langue>DE</Langue>"));
  EXPECT_DOUBLE_EQ(O.LastCheck, kChecked);
  EXPECT_EQ(O.OptionLangue, u"") << "a language without a table is the automatic choice";
}

TEST_F(SettingsFile, ForeignRootIsReadAndRenamedKeepingSites) {
  TSettingsLoad State;
  TQuorvelOptions O =
      Load("<Autre><MesSites><Server Nom=\"a\"/></MesSites><Options><DefautPassive>1</DefautPassive></Options></Autre>",
           &State);
  EXPECT_EQ(State.State, TSettingsFileState::Loaded);
  EXPECT_TRUE(O.FZDefautPassive);
  ASSERT_TRUE(SauveOptions(O, Format, File).Ok);
  TOxSimpleXML Xml;
  Xml.LoadFromFile(File);
  EXPECT_EQ(Xml.Root()->Name(), u"Quorvel");
  ASSERT_EQ(Xml.Root()->Items()->Count(), 2);
  EXPECT_EQ(Xml.Root()->Items()->GetItem(0)->Name(), u"MesSites");
  EXPECT_EQ(Xml.Root()->Items()->GetItem(1)->Name(), u"Options");
}

TEST_F(SettingsFile, TurningSaveLastConnectOffRemovesTheConnectionAndPassword) {
  TQuorvelOptions O = Load(SettingsWith(
      "<SaveLastConnect>1</SaveLastConnect><LastHost>h</LastHost><LastPass>secret</LastPass><LastPort>22</LastPort>"));
  EXPECT_EQ(O.Last.Pass, u"secret");
  O.SaveLastConnect = false;
  ASSERT_TRUE(SauveOptions(O, Format, File).Ok);
  const std::string Bytes = ReadAll(Dir.File("Quorvel.xml"));
  EXPECT_EQ(Bytes.find("secret"), std::string::npos);
  for (const char* Key :
       {"LastHost", "LastPort", "LastUser", "LastPass", "LastPassif", "LastDir", "LastAlloue", "LastUnite"})
    EXPECT_EQ(Bytes.find(Key), std::string::npos) << Key;
  EXPECT_NE(Bytes.find("nas.local"), std::string::npos) << "the sites stay";
  EXPECT_EQ(Option(u"SaveLastConnect"), u"0");

  TQuorvelOptions Again;
  ChargeOptions(Again, kNow, Format, File);
  EXPECT_EQ(Again.Last.Host, u"");
  EXPECT_EQ(Again.Last.Port, 21);
}

TEST_F(SettingsFile, UpdateAddressIsWrittenOnlyWhenItDiffers) {
  TQuorvelOptions O;
  O.UrlUpdate = u"http://127.0.0.1:1/v.php";
  ASSERT_TRUE(SauveOptions(O, Format, File).Ok);
  EXPECT_EQ(Option(u"UrlUpdate"), u"http://127.0.0.1:1/v.php");
  TQuorvelOptions Back;
  ChargeOptions(Back, kNow, Format, File);
  EXPECT_EQ(Back.UrlUpdate, u"http://127.0.0.1:1/v.php");
  Back.UrlUpdate = DefaultUrlUpdate();
  ASSERT_TRUE(SauveOptions(Back, Format, File).Ok);
  EXPECT_EQ(Option(u"UrlUpdate"), u"<absent>");
}

TEST_F(SettingsFile, EmptyAndMissingOptionElements) {
  TOxSimpleXML Xml;
  Xml.LoadFromString(u"<Quorvel><Options><Langue/><Port>x</Port></Options></Quorvel>");
  EXPECT_EQ(LitOption(Xml, u"Langue", u"def"), u"");
  EXPECT_EQ(LitOption(Xml, u"langue", u"def"), u"") << "found as the XML component finds names";
  EXPECT_EQ(LitOption(Xml, u"Absent", u"def"), u"def");
  TOxSimpleXML NoOptions;
  NoOptions.LoadFromString(u"<Quorvel><Langue>FR</Langue></Quorvel>");
  EXPECT_EQ(LitOption(NoOptions, u"Langue", u"def"), u"def");

  TKelSimpleXMLElem* Options = Xml.Root()->Items()->GetItem(0);
  EcritOption(Options, u"Port", u"21");
  EcritOptionBool(Options, u"New", true);
  ASSERT_EQ(Options->Items()->Count(), 3);
  EXPECT_EQ(Options->Items()->GetItem(1)->Value(), u"21");
  EXPECT_EQ(Options->Items()->GetItem(2)->Name(), u"New");
  EXPECT_EQ(Options->Items()->GetItem(2)->Value(), u"1");
}

TEST_F(SettingsFile, WriteFailureIsAResult) {
  TQuorvelOptions O;
  TSettingsSave Saved = SauveOptions(O, Format, Dir.Name("missing-folder/Quorvel.xml"));
  EXPECT_FALSE(Saved.Ok);
  EXPECT_FALSE(Saved.Error.empty());
}

// A truncated file is never written over: its bytes are kept beside it, and
// the elements read whole before the damage (here the sites) go into the new
// file.
TEST_F(SettingsFile, DamagedFileIsKeptAside) {
  const std::string Full = SettingsWith("<DefautPassive>1</DefautPassive><Langue>FR</Langue>");
  const std::string Damaged = Full.substr(0, Full.find("<Langue>") + 10);
  TSettingsLoad State;
  TQuorvelOptions O = Load(Damaged, &State);
  EXPECT_EQ(State.State, TSettingsFileState::Damaged);
  EXPECT_FALSE(State.Error.empty());
  EXPECT_FALSE(O.FZDefautPassive) << "an unfinished Options element is not read";
  O.FZDefautPassive = true;

  TSettingsSave Saved = SauveOptions(O, Format, File);
  ASSERT_TRUE(Saved.Ok) << UTF16ToUTF8(Saved.Error);
  EXPECT_EQ(Saved.BackupFile, File + u".bak");
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml.bak")), Damaged);
  TQuorvelOptions Back;
  EXPECT_EQ(ChargeOptions(Back, kNow, Format, File).State, TSettingsFileState::Loaded);
  EXPECT_TRUE(Back.FZDefautPassive);
  EXPECT_NE(ReadAll(Dir.File("Quorvel.xml")).find("nas.local"), std::string::npos);

  // Saving over the good file keeps no copy; a second damage replaces the
  // first copy: one backup at most, however often the file is damaged.
  Saved = SauveOptions(O, Format, File);
  ASSERT_TRUE(Saved.Ok);
  EXPECT_EQ(Saved.BackupFile, u"");
  WriteAll(Dir.File("Quorvel.xml"), "<Quorvel><Opt");
  for (int Exit = 0; Exit < 3; ++Exit) {
    EXPECT_EQ(Load("<Quorvel><Opt").FZDefautPassive, false);
    Saved = SauveOptions(O, Format, File);
    ASSERT_TRUE(Saved.Ok) << UTF16ToUTF8(Saved.Error);
    EXPECT_EQ(Saved.BackupFile, Exit == 0 ? File + u".bak" : String()) << "exit " << Exit;
  }
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml.bak")), "<Quorvel><Opt");
  EXPECT_EQ(Backups(), std::vector<std::string>{"Quorvel.xml.bak"});
}

// A damaged file is kept when it is read at start, and the save at exit
// does not keep (nor report) it a second time.
TEST_F(SettingsFile, DamagedFileIsKeptWhenRead) {
  TSettingsLoad State;
  Load("<Quorvel><Options><Langue>FR", &State);
  ASSERT_EQ(State.State, TSettingsFileState::Damaged);
  const TSettingsBackup Kept = KeepSettingsBackup(File);
  ASSERT_TRUE(Kept.Ok) << UTF16ToUTF8(Kept.Error);
  EXPECT_TRUE(Kept.New);
  EXPECT_EQ(Kept.BackupFile, File + u".bak");
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml.bak")), "<Quorvel><Options><Langue>FR");
  EXPECT_FALSE(KeepSettingsBackup(File).New) << "the same bytes are kept once";
  TQuorvelOptions O;
  const TSettingsSave Saved = SauveOptions(O, Format, File);
  ASSERT_TRUE(Saved.Ok) << UTF16ToUTF8(Saved.Error);
  EXPECT_EQ(Saved.BackupFile, u"");
  EXPECT_EQ(Backups(), std::vector<std::string>{"Quorvel.xml.bak"});
  EXPECT_EQ(ChargeOptions(O, kNow, Format, File).State, TSettingsFileState::Loaded);
}

// Other programs declare encoding="utf8", a name the charset table lacks:
// such a file is read (as UTF-8 when its bytes are UTF-8, else in the ANSI
// code page), written back under a name the table knows, and never counted
// as damaged, at any exit.
TEST_F(SettingsFile, UnknownDeclaredEncodingIsReadAndWrittenBack) {
  // What the ANSI code page makes of the byte E9 (é in Windows-1252).
  const String Ansi = TEncoding::ANSI()->GetString("/Donn\xE9\x65s", 8);
  const String Utf8 = u"/Donn\u00E9es";
  struct Case {
    const char* Name;
    std::string Bytes;
    const String& Dir;
  } Cases[] = {
      {"utf8, UTF-8 bytes",
       "<?xml version=\"1.0\" encoding=\"utf8\"?>\n<Quorvel><Options><SaveLastConnect>1</SaveLastConnect>"
       "<LastDir>/Donn\xC3\xA9\x65s</LastDir><Langue>FR</Langue></Options></Quorvel>\n",
       Utf8},
      {"UTF8 with a byte-order mark, single quotes",
       "\xEF\xBB\xBF<?xml version='1.0' encoding = 'UTF8'?><Quorvel><Options><SaveLastConnect>1</SaveLastConnect>"
       "<LastDir>/Donn\xC3\xA9\x65s</LastDir><Langue>FR</Langue></Options></Quorvel>",
       Utf8},
      {"utf8 declared, ANSI bytes",
       "<?xml version=\"1.0\" encoding=\"utf8\"?><Quorvel><Options><SaveLastConnect>1</SaveLastConnect>"
       "<LastDir>/Donn\xE9\x65s</LastDir><Langue>FR</Langue></Options></Quorvel>",
       Ansi},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSettingsLoad State;
    TQuorvelOptions O = Load(C.Bytes, &State);
    EXPECT_EQ(State.State, TSettingsFileState::Loaded) << UTF16ToUTF8(State.Error);
    EXPECT_EQ(O.Last.Dir, C.Dir);
    EXPECT_EQ(O.OptionLangue, u"FR");
    for (int Exit = 0; Exit < 2; ++Exit) {
      TQuorvelOptions Read;
      ChargeOptions(Read, kNow, Format, File);
      const TSettingsSave Saved = SauveOptions(Read, Format, File);
      ASSERT_TRUE(Saved.Ok) << UTF16ToUTF8(Saved.Error);
      EXPECT_EQ(Saved.BackupFile, u"");
    }
    // The plain reader takes the file now, and the text is intact.
    TOxSimpleXML Xml;
    Xml.LoadFromFile(File);
    EXPECT_EQ(LitOption(Xml, u"LastDir", String()), C.Dir);
    EXPECT_NE(ReadAll(Dir.File("Quorvel.xml")).find("encoding=\"UTF-8\""), std::string::npos);
    EXPECT_TRUE(Backups().empty());
  }
  // Damaged besides: kept aside, and the options are still written.
  TSettingsLoad State;
  Load("<?xml version=\"1.0\" encoding=\"utf8\"?><Quorvel><Options><Langue>FR", &State);
  EXPECT_EQ(State.State, TSettingsFileState::Damaged);
  const TSettingsSave Saved = SauveOptions(TQuorvelOptions(), Format, File);
  ASSERT_TRUE(Saved.Ok) << UTF16ToUTF8(Saved.Error);
  EXPECT_EQ(Saved.BackupFile, File + u".bak");
  TQuorvelOptions Back;
  EXPECT_EQ(ChargeOptions(Back, kNow, Format, File).State, TSettingsFileState::Loaded);
}

TEST(SettingsAutoCheck, DueAfterThePeriod) {
  TQuorvelOptions O;
  O.AutoCheckType = acWeekly;
  O.LastCheck = kNow - 6;
  EXPECT_FALSE(AutoCheckDue(O, kNow));
  O.LastCheck = kNow - 8;
  EXPECT_TRUE(AutoCheckDue(O, kNow));
  O.AutoCheckType = acNone;
  EXPECT_FALSE(AutoCheckDue(O, kNow));
}

}  // namespace
