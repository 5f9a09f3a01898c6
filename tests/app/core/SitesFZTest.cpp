#include <gtest/gtest.h>

#include "CoreFilesTestUtil.h"
#include "app/core/Messages.h"
#include "app/core/Options.h"
#include "app/core/SitesFZ.h"
#include "app/core/uIntl.h"
#include "rtl/Exceptions.h"
#include "xml/OxSimpleXml.h"

namespace {

using namespace corefiles;

// ---------------------------------------------------------------- passwords

TEST(SitePasswords, HistoricalDigitsAreKept) {
  struct Case {
    const char* Plain;
    const char* Scrambled;
  } Cases[] = {
      {"", ""},
      {"a", "045"},
      {"s3cr&t", "050006083064031071"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(CodePass(UTF8ToUTF16(C.Plain)), UTF8ToUTF16(C.Scrambled)) << C.Plain;
    EXPECT_EQ(DecodePass(UTF8ToUTF16(C.Scrambled)), UTF8ToUTF16(C.Plain)) << C.Scrambled;
  }
  EXPECT_EQ(DecodePass(u"0459"), u"a") << "an incomplete last group is ignored";
  EXPECT_EQ(DecodePass(u"04a006"), u"") << "a group that is not a number empties the password";
  EXPECT_EQ(DecodePass(u"*0004x"), u"");
}

TEST(SitePasswords, EveryPasswordRoundTrips) {
  const String Long43(43, u'k'), Long44(44, u'k'), Long100(100, u'Z');
  const String Passwords[] = {
      u"a",
      UTF8ToUTF16("pässwörd"),
      UTF8ToUTF16("ÿÿ"),
      Long43,
      Long44,
      Long100,
      u"with blank & <xml>",
      UTF8ToUTF16("€uro"),
      UTF8ToUTF16("日本語のパス"),
      UTF8ToUTF16("😀smile"),
      UTF8ToUTF16("ĀĀĀ"),
      String(1, u'\0') + u"nul",
  };
  for (const String& P : Passwords) {
    const String Coded = CodePass(P);
    EXPECT_EQ(DecodePass(Coded), P) << UTF16ToUTF8(P);
    for (Char C : Coded) EXPECT_TRUE(C == u'*' || (C >= u'0' && C <= u'9')) << UTF16ToUTF8(Coded);
  }
  // Characters whose scrambled code fits three digits keep the stored form.
  EXPECT_EQ(CodePass(UTF8ToUTF16("pässwörd")).size(), 8u * 3);
  EXPECT_EQ(CodePass(UTF8ToUTF16("€uro"))[0], u'*');
}

// ---------------------------------------------------------------- remote folders

TEST(SiteRemoteDir, FileZillaNotation) {
  struct Case {
    const char* Text;
    const char* Path;
  } Cases[] = {
      {"1 0 4 home 3 www", "/home/www"},
      {"1 0", ""},
      {"/site", "/site"},
      {"", ""},
      {"1 0 7 my site 4 docs", "/my site/docs"},
      {"1 0 6 Été€", "/Été€"},
      {"1 0 x abc", "/a"},
      {"1 0 -4 abc", "/"},
      {"1 0 99 short", "/short"},
  };
  for (const Case& C : Cases) EXPECT_EQ(DecodeRemoteDir(UTF8ToUTF16(C.Text)), UTF8ToUTF16(C.Path)) << C.Text;
}

// ---------------------------------------------------------------- entries

TEST(SiteEntries, AssignCopiesFieldsButNotThePath) {
  TFZFolder Folder;
  TFZServer From;
  From.Nom = u"n";
  From.isFZ = true;
  From.Pere = &Folder;
  From.Host = u"h";
  From.Port = 2121;
  From.Protocol = 3;
  From.User = u"u";
  From.Pass = u"p";
  From.PasvMode = PasvModePassive;
  From.Commentaires = u"c";
  From.LocalDir = u"l";
  From.RemoteDir = u"/r";
  From.path = u"0/x/n";
  From.Place = 5;
  From.PlaceUnite = 1;
  TFZServer To;
  To.Assign(&From);
  EXPECT_EQ(To.Nom, u"n");
  EXPECT_TRUE(To.isFZ);
  EXPECT_EQ(To.Pere, &Folder);
  EXPECT_EQ(To.Host, u"h");
  EXPECT_EQ(To.Port, 2121);
  EXPECT_EQ(To.Protocol, 3);
  EXPECT_EQ(To.Pass, u"p");
  EXPECT_EQ(To.PasvMode, u"MODE_PASSIVE");
  EXPECT_EQ(To.Commentaires, u"c");
  EXPECT_EQ(To.LocalDir, u"l");
  EXPECT_EQ(To.RemoteDir, u"/r");
  EXPECT_EQ(To.Place, 5);
  EXPECT_EQ(To.PlaceUnite, 1);
  EXPECT_EQ(To.path, u"");

  TFZServer Fresh;
  EXPECT_EQ(Fresh.Place, 1);
  EXPECT_EQ(Fresh.PlaceUnite, 0);
  TObject Other;
  EXPECT_THROW(To.Assign(&Other), EConvertError);
  EXPECT_THROW(To.Assign(nullptr), EConvertError);
}

// ---------------------------------------------------------------- files

// FileZilla 3's site file as FileZilla writes it: UTF-8, LF line ends, the
// folder names as text before indented children, base64 passwords.
const char kSiteManager[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<FileZilla3 version=\"3.66.0\" platform=\"windows\">\n"
    "\t<Servers>\n"
    "\t\t<Server>\n"
    "\t\t\t<Host>ftp.caf\xC3\xA9.example</Host>\n"
    "\t\t\t<Port>2121</Port>\n"
    "\t\t\t<Protocol>0</Protocol>\n"
    "\t\t\t<User>jos\xC3\xA9</User>\n"
    "\t\t\t<Pass encoding=\"base64\">cMOkc3N3w7ZyZA==</Pass>\n"
    "\t\t\t<PasvMode>MODE_PASSIVE</PasvMode>\n"
    "\t\t\t<Comments>ligne 1\r\nligne 2</Comments>\n"
    "\t\t\t<RemoteDir>1 0 4 home 3 www</RemoteDir>\n"
    "\t\t\t<Name>Caf\xC3\xA9 &amp; Co</Name>\n"
    "\t\t</Server>\n"
    "\t\t<Folder expanded=\"1\">Clients &amp; Partenaires\n"
    "\t\t\t<Server>\n"
    "\t\t\t\t<Host>plain.example</Host>\n"
    "\t\t\t\t<Pass>Y2xlYXI=</Pass>\n"
    "\t\t\t\t<Name>Vitrine</Name>\n"
    "\t\t\t</Server>\n"
    "\t\t\t<Folder>\xC3\x89t\xC3\xA9\n"
    "\t\t\t\t<Server>\n"
    "\t\t\t\t\t<Host>shop.example</Host>\n"
    "\t\t\t\t\t<RemoteDir>1 0 7 my shop</RemoteDir>\n"
    "\t\t\t\t\t<Name>Shop</Name>\n"
    "\t\t\t\t</Server>\n"
    "\t\t\t</Folder>\n"
    "\t\t</Folder>\n"
    "\t</Servers>\n"
    "</FileZilla3>\n";

class SiteFiles : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(ChargeLangue(u"FR")); }
  void TearDown() override {
    ChargeLangue(String());
    SetGetMsgFunc(nullptr);
  }

  TempDir Dir;
  String Settings = Dir.Name("Quorvel.xml");
  String SiteManager = Dir.Name("sitemanager.xml");

  static TFZServer* Server(TFZFolder& Folder, size_t I) { return dynamic_cast<TFZServer*>(Folder.Contenu.at(I).get()); }
  static TFZFolder* Folder(TFZFolder& Folder, size_t I) { return dynamic_cast<TFZFolder*>(Folder.Contenu.at(I).get()); }

  // The FileZilla tree's allowances as "path name=place/unit" lines.
  static std::string Allowances(TFZFolder& F) {
    std::string Out;
    for (auto& E : F.Contenu) {
      if (auto* S = dynamic_cast<TFZServer*>(E.get()))
        Out +=
            UTF16ToUTF8(F.path + S->Nom) + "=" + std::to_string(S->Place) + "/" + std::to_string(S->PlaceUnite) + "\n";
      else if (auto* Sub = dynamic_cast<TFZFolder*>(E.get()))
        Out += Allowances(*Sub);
    }
    return Out;
  }

  // Own sites as the site manager builds them.
  static std::unique_ptr<TFZFolder> OwnTree() {
    auto Root = std::make_unique<TFZFolder>();
    Root->LoadXML(nullptr, nullptr, false);
    auto Clients = std::make_unique<TFZFolder>();
    Clients->Nom = UTF8ToUTF16("Clients & Associés");
    Clients->Ouvert = true;
    Clients->Pere = Root.get();
    auto Cafe = std::make_unique<TFZServer>();
    Cafe->Nom = UTF8ToUTF16("Café \"Le Zinc\"");
    Cafe->Host = u"ftp.zinc.example";
    Cafe->Port = 2121;
    Cafe->User = UTF8ToUTF16("josé");
    Cafe->Pass = u"s3cr&t";
    Cafe->PasvMode = PasvModePassive;
    Cafe->Commentaires = UTF8ToUTF16("Mot de passe changé\r\nen mars");
    Cafe->RemoteDir = u"/my site";
    Cafe->Place = 5;
    Cafe->PlaceUnite = 1;
    Cafe->Pere = Clients.get();
    Clients->Add(std::move(Cafe));
    Root->Add(std::move(Clients));
    auto Maison = std::make_unique<TFZServer>();
    Maison->Nom = u"Maison";
    Maison->Host = u"nas.local";
    Maison->Port = 21;
    Maison->Pass = UTF8ToUTF16("€uro");
    Maison->Pere = Root.get();
    Root->Add(std::move(Maison));
    return Root;
  }
};

// Sites of other protocols are read as such and are not plain FTP.
TEST_F(SiteFiles, ProtocolsOtherThanPlainFtpAreKnown) {
  const struct {
    const char* Protocol;  // nullptr: no element
    Integer Number;
    const char16_t* Name;
    bool Plain;
  } Cases[] = {
      {nullptr, -1, u"FTP", true},    {"0", 0, u"FTP", true},    {"6", 6, u"FTP", true},   {"1", 1, u"SFTP", false},
      {"3", 3, u"FTPS", false},       {"4", 4, u"FTPES", false}, {"2", 2, u"HTTP", false}, {"5", 5, u"HTTPS", false},
      {"9", 9, u"protocol 9", false}, {"x", -1, u"FTP", true},  // not a number: as absent
  };
  std::string Xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FileZilla3>\n<Servers>\n";
  for (const auto& C : Cases) {
    Xml += "<Server><Host>h</Host>";
    if (C.Protocol) Xml += std::string("<Protocol>") + C.Protocol + "</Protocol>";
    Xml += "<Name>p</Name></Server>\n";
  }
  Xml += "</Servers>\n</FileZilla3>\n";
  WriteAll(Dir.File("sitemanager.xml"), Xml);
  TSitesLoad Sites = ChargeFichiersSites(Settings, SiteManager);
  ASSERT_EQ(Sites.RacineFZ->Contenu.size(), std::size(Cases));
  for (size_t I = 0; I < std::size(Cases); ++I) {
    SCOPED_TRACE(I);
    const TFZServer* S = Server(*Sites.RacineFZ, I);
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(S->Protocol, Cases[I].Number);
    EXPECT_EQ(NomProtocole(S->Protocol), String(Cases[I].Name));
    EXPECT_EQ(S->FTPSimple(), Cases[I].Plain);
    // The main window's copy keeps the protocol.
    TFZServer Copie;
    Copie.Assign(S);
    EXPECT_EQ(Copie.FTPSimple(), Cases[I].Plain);
  }
}

TEST_F(SiteFiles, FileZillaSiteFileIsRead) {
  WriteAll(Dir.File("sitemanager.xml"), kSiteManager);
  TSitesLoad Sites = ChargeFichiersSites(Settings, SiteManager);
  EXPECT_TRUE(Sites.FileZillaRead);
  EXPECT_EQ(Sites.Racine->Nom, u"Mes sites");
  EXPECT_TRUE(Sites.Racine->Contenu.empty());

  TFZFolder& FZ = *Sites.RacineFZ;
  EXPECT_EQ(FZ.Nom, u"Sites de FileZilla");
  EXPECT_TRUE(FZ.isFZ);
  EXPECT_EQ(FZ.path, u"0/");
  ASSERT_EQ(FZ.Contenu.size(), 2u);
  TFZServer* Cafe = Server(FZ, 0);
  ASSERT_NE(Cafe, nullptr);
  EXPECT_EQ(Cafe->Nom, UTF8ToUTF16("Café & Co"));
  EXPECT_EQ(Cafe->Host, UTF8ToUTF16("ftp.café.example"));
  EXPECT_EQ(Cafe->Port, 2121);
  EXPECT_EQ(Cafe->Protocol, 0);
  EXPECT_EQ(Cafe->User, UTF8ToUTF16("josé"));
  EXPECT_EQ(Cafe->Pass, UTF8ToUTF16("pässwörd")) << "base64 of UTF-8";
  EXPECT_EQ(Cafe->PasvMode, u"MODE_PASSIVE");
  EXPECT_EQ(Cafe->Commentaires, u"ligne 1\r\nligne 2") << "comments keep their line breaks";
  EXPECT_EQ(Cafe->RemoteDir, u"/home/www");
  EXPECT_EQ(Cafe->Pere, &FZ);
  EXPECT_TRUE(Cafe->isFZ);

  TFZFolder* Clients = Folder(FZ, 1);
  ASSERT_NE(Clients, nullptr);
  EXPECT_EQ(Clients->Nom, u"Clients & Partenaires") << "the line break and indentation are not part of the name";
  EXPECT_TRUE(Clients->Ouvert);
  EXPECT_EQ(Clients->path, u"0/Clients & Partenaires/");
  ASSERT_EQ(Clients->Contenu.size(), 2u);
  TFZServer* Vitrine = Server(*Clients, 0);
  EXPECT_EQ(Vitrine->Pass, u"Y2xlYXI=") << "without encoding=\"base64\" the text is taken as it is";
  EXPECT_EQ(Vitrine->Port, 21);
  EXPECT_EQ(Vitrine->Protocol, -1);
  TFZFolder* Ete = Folder(*Clients, 1);
  EXPECT_EQ(Ete->Nom, UTF8ToUTF16("Été"));
  EXPECT_FALSE(Ete->Ouvert);
  EXPECT_EQ(Ete->path, UTF8ToUTF16("0/Clients & Partenaires/Été/"));
  EXPECT_EQ(Server(*Ete, 0)->RemoteDir, u"/my shop");
}

TEST_F(SiteFiles, SettingsGoldenRoundTrips) {
  // An Options element the site manager must carry over untouched.
  WriteAll(Dir.File("Quorvel.xml"),
           "<Quorvel><Options><AutoCheck>1</AutoCheck><LastCheck>14/03/2024 09:15:00</LastCheck>"
           "<LastPass>p&amp;w</LastPass></Options></Quorvel>");
  WriteAll(Dir.File("sitemanager.xml"), kSiteManager);
  TSitesLoad Loaded = ChargeFichiersSites(Settings, SiteManager);
  Server(*Loaded.RacineFZ, 0)->Place = 2;
  Server(*Loaded.RacineFZ, 0)->PlaceUnite = 1;
  Server(*Folder(*Folder(*Loaded.RacineFZ, 1), 1), 0)->Place = 500;
  std::unique_ptr<TFZFolder> Own = OwnTree();
  TSettingsSave Saved = SauveFichierSites(*Own, *Loaded.RacineFZ, Settings);
  ASSERT_TRUE(Saved.Ok) << UTF16ToUTF8(Saved.Error);
  const std::string Golden = ReadAll(DataFile("Quorvel.sites.golden.xml"));
  ASSERT_FALSE(Golden.empty());
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml")), Golden);

  // Read back and written again: the same bytes.
  TSitesLoad Again = ChargeFichiersSites(Settings, SiteManager);
  TFZServer* Cafe = Server(*Folder(*Again.Racine, 0), 0);
  EXPECT_EQ(Cafe->Nom, UTF8ToUTF16("Café \"Le Zinc\""));
  EXPECT_EQ(Cafe->Pass, u"s3cr&t");
  EXPECT_EQ(Cafe->RemoteDir, u"/my site") << "an own folder with a blank is a path, not FileZilla notation";
  EXPECT_EQ(Cafe->Commentaires, UTF8ToUTF16("Mot de passe changé\r\nen mars"));
  EXPECT_EQ(Server(*Again.Racine, 1)->Pass, UTF8ToUTF16("€uro"));
  EXPECT_EQ(Server(*Again.Racine, 1)->Port, 21);
  EXPECT_EQ(
      Allowances(*Again.RacineFZ),
      std::string("0/Café & Co=2/1\n0/Clients & Partenaires/Vitrine=1/0\n0/Clients & Partenaires/Été/Shop=500/0\n"));
  ASSERT_TRUE(SauveFichierSites(*Again.Racine, *Again.RacineFZ, Settings).Ok);
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml")), Golden);
}

TEST_F(SiteFiles, AllowanceAttributes) {
  struct Case {
    Int64 Place;
    Integer Unite;
    const char* Expected;
  } Cases[] = {
      {5, 1, "<Server Nom=\"s\" Alloue=\"5\" Unit=\"1\"/>"},
      {5, 0, "<Server Nom=\"s\" Alloue=\"5\" Unit=\"0\"/>"},
      {1, 1, "<Server Nom=\"s\" Alloue=\"1\" Unit=\"1\"/>"},
      {1, 0, "<Server Nom=\"s\"/>"},
  };
  for (const Case& C : Cases) {
    TOxSimpleXML Xml;
    Xml.Root()->SetName(u"MesSites");
    TFZServer S;
    S.Nom = u"s";
    S.Port = 21;
    S.Place = C.Place;
    S.PlaceUnite = C.Unite;
    S.SaveXML(Xml.Root());
    EXPECT_EQ(UTF16ToUTF8(Xml.Root()->Items()->GetItem(0)->SaveToString()).find(C.Expected), 0u) << C.Expected;
  }
}

TEST_F(SiteFiles, OwnSitesReadDefaultsAndGuards) {
  WriteAll(Dir.File("Quorvel.xml"),
           "<Quorvel><MesSites>"
           "<Server Nom=\"NoPort\"><Host>h</Host><Pass>04a</Pass></Server>"
           "<Folder Nom=\"Pris\" isFilezilla=\"1\"><Server Nom=\"x\"/></Folder>"
           "<Server>Texte seul</Server>"
           "</MesSites></Quorvel>");
  TSitesLoad Sites = ChargeFichiersSites(Settings, Dir.Name("absent.xml"));
  ASSERT_EQ(Sites.Racine->Contenu.size(), 3u);
  EXPECT_EQ(Server(*Sites.Racine, 0)->Port, 21);
  EXPECT_EQ(Server(*Sites.Racine, 0)->Pass, u"");
  EXPECT_EQ(Folder(*Sites.Racine, 1)->Nom, u"");
  EXPECT_TRUE(Folder(*Sites.Racine, 1)->Contenu.empty());
  EXPECT_EQ(Server(*Sites.Racine, 2)->Nom, u"Texte seul");
  EXPECT_FALSE(Sites.FileZillaRead);
  EXPECT_EQ(Sites.RacineFZ->Nom, u"Sites de FileZilla");
  EXPECT_TRUE(Sites.RacineFZ->Contenu.empty());
}

TEST_F(SiteFiles, StoredAllowancesMatchByNameWithoutCase) {
  WriteAll(Dir.File("sitemanager.xml"), kSiteManager);
  WriteAll(Dir.File("Quorvel.xml"),
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Quorvel><FileZilla Nom=\"x\" isFilezilla=\"1\">"
           "<Server Nom=\"CAFÉ &amp; CO\" Alloue=\"7\" Unit=\"1\"/>"
           "<folder Nom=\"clients &amp; partenaires\"><Folder Nom=\"été\"><server Nom=\"shop\" "
           "Alloue=\"9\"/></Folder></folder>"
           "<Server Nom=\"Gone\" Alloue=\"3\"/>"
           "</FileZilla></Quorvel>");
  TSitesLoad Sites = ChargeFichiersSites(Settings, SiteManager);
  EXPECT_EQ(
      Allowances(*Sites.RacineFZ),
      std::string("0/Café & Co=7/1\n0/Clients & Partenaires/Vitrine=1/0\n0/Clients & Partenaires/Été/Shop=9/0\n"));
  // FileZilla's file was read whole: a site it no longer has is dropped.
  ASSERT_TRUE(SauveFichierSites(*Sites.Racine, *Sites.RacineFZ, Settings).Ok);
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml")).find("Gone"), std::string::npos);
}

// Without FileZilla's file (not installed, unreadable, truncated), the stored
// allowances cannot be matched; they must survive a save.
TEST_F(SiteFiles, AllowancesSurviveAMissingOrUnreadableFileZillaFile) {
  const std::string Stored =
      "<Quorvel><FileZilla Nom=\"x\" isFilezilla=\"1\">"
      "<Server Nom=\"Caf&#xE9; &amp; Co\" Alloue=\"7\" Unit=\"1\"/>"
      "<Folder Nom=\"Clients &amp; Partenaires\" isFilezilla=\"1\"><Folder Nom=\"&#xC9;t&#xE9;\" isFilezilla=\"1\">"
      "<Server Nom=\"Shop\" Alloue=\"9\" Unit=\"0\"/></Folder></Folder>"
      "</FileZilla></Quorvel>";
  const std::string Truncated = std::string(kSiteManager).substr(0, std::string(kSiteManager).find("<Folder>"));
  for (const std::string* FileZilla : {static_cast<const std::string*>(nullptr), &Truncated}) {
    WriteAll(Dir.File("Quorvel.xml"), Stored);
    std::filesystem::remove(Dir.File("sitemanager.xml"));
    if (FileZilla) WriteAll(Dir.File("sitemanager.xml"), *FileZilla);
    TSitesLoad Sites = ChargeFichiersSites(Settings, SiteManager);
    EXPECT_FALSE(Sites.FileZillaRead);
    EXPECT_EQ(Sites.FileZillaError.empty(), FileZilla == nullptr);
    ASSERT_TRUE(SauveFichierSites(*Sites.Racine, *Sites.RacineFZ, Settings).Ok);

    // FileZilla's file is back: every allowance is still there.
    WriteAll(Dir.File("sitemanager.xml"), kSiteManager);
    TSitesLoad Later = ChargeFichiersSites(Settings, SiteManager);
    EXPECT_EQ(
        Allowances(*Later.RacineFZ),
        std::string("0/Café & Co=7/1\n0/Clients & Partenaires/Vitrine=1/0\n0/Clients & Partenaires/Été/Shop=9/0\n"))
        << (FileZilla ? "truncated" : "missing");
  }
}

TEST_F(SiteFiles, RewriteKeepsOptionsAndSavesADamagedFileAside) {
  const std::string Damaged = "<Quorvel><MesSites><Server Nom=\"a\"><Host>h</Host></Server><Server Nom=\"b\"><Ho";
  WriteAll(Dir.File("Quorvel.xml"), Damaged);
  TSitesLoad Sites = ChargeFichiersSites(Settings, SiteManager);
  EXPECT_EQ(Sites.Settings.State, TSettingsFileState::Damaged);
  EXPECT_FALSE(Sites.Settings.Error.empty());
  TSettingsSave Saved = SauveFichierSites(*Sites.Racine, *Sites.RacineFZ, Settings);
  ASSERT_TRUE(Saved.Ok);
  EXPECT_EQ(Saved.BackupFile, Settings + u".bak");
  EXPECT_EQ(ReadAll(Dir.File("Quorvel.xml.bak")), Damaged);

  // The options written at exit survive the next confirmation of the sites.
  TQuorvelOptions Options;
  Options.OptionLangue = u"US";
  ASSERT_TRUE(SauveOptions(Options, TFormatSettings::French(), Settings).Ok);
  TSitesLoad Again = ChargeFichiersSites(Settings, SiteManager);
  ASSERT_TRUE(SauveFichierSites(*Again.Racine, *Again.RacineFZ, Settings).Ok);
  TOxSimpleXML Xml;
  Xml.LoadFromFile(Settings);
  ASSERT_EQ(Xml.Root()->Items()->Count(), 3);
  EXPECT_EQ(Xml.Root()->Items()->GetItem(0)->Name(), u"MesSites");
  EXPECT_EQ(Xml.Root()->Items()->GetItem(1)->Name(), u"FileZilla");
  EXPECT_EQ(Xml.Root()->Items()->GetItem(2)->Name(), u"Options");
  EXPECT_EQ(LitOption(Xml, u"Langue", u"?"), u"US");
}

TEST_F(SiteFiles, WriteFailureIsAResult) {
  std::unique_ptr<TFZFolder> Own = OwnTree();
  TFZFolder FZ;
  FZ.LoadXML(nullptr, nullptr, true);
  TSettingsSave Saved = SauveFichierSites(*Own, FZ, Dir.Name("no-such-folder/Quorvel.xml"));
  EXPECT_FALSE(Saved.Ok);
  EXPECT_FALSE(Saved.Error.empty());
}

}  // namespace
