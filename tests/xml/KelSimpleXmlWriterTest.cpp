#include <gtest/gtest.h>

#include <random>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "KelSimpleXmlTestUtil.h"
#include "rtl/Resources.h"
#include "xml/KelCharsets.h"
#include "tests/support/TestSupport.h"
#include "xml/OxSimpleXml.h"

namespace {

namespace fs = std::filesystem;

using testsupport::PathText;
using testsupport::ReadAll;
using testsupport::WriteAll;

std::string DataFile(const char* Name) { return testsupport::SourcePath(std::string("tests/xml/data/") + Name); }

class TempDir : public testsupport::TTempDir {
public:
  TempDir() : TTempDir("quorvel-xml") {}
};

// The site manager's writer and then the main window's options, as the
// application builds them into a new document.
void BuildSettings(TKelSimpleXML& Doc) {
  TKelSimpleXMLElem* Root = Doc.Root();
  Root->SetName(u"Quorvel");
  TKelSimpleXMLElem* Mine = Root->Items()->Add(u"MesSites");
  TKelSimpleXMLElem* Clients = Mine->Items()->Add(u"Folder");
  Clients->Properties()->Add(u"Nom", u"Clients");
  Clients->Properties()->Add(u"expanded", u"1");
  TKelSimpleXMLElem* Cafe = Clients->Items()->Add(u"Server");
  Cafe->Properties()->Add(u"Nom", u"Caf\u00E9 & Co");
  Cafe->Items()->Add(u"Host", u"ftp.cafe-co.example");
  Cafe->Items()->Add(u"Port", 2121);
  Cafe->Items()->Add(u"User", u"jos\u00E9");
  Cafe->Items()->Add(u"Pass", u"050006083064031071");
  Cafe->Items()->Add(u"PasvMode", u"MODE_PASSIVE");
  Cafe->Items()->Add(u"Comments", u"Mot de passe chang\u00E9 en mars");
  Cafe->Items()->Add(u"RemoteDir", u"/site");
  Cafe->Properties()->Add(u"Alloue", 5);
  Cafe->Properties()->Add(u"Unit", 1);
  TKelSimpleXMLElem* Archives = Clients->Items()->Add(u"Folder");
  Archives->Properties()->Add(u"Nom", u"Archives");
  TKelSimpleXMLElem* Old = Archives->Items()->Add(u"Server");
  Old->Properties()->Add(u"Nom", u"Vieux \"serveur\"");
  Old->Items()->Add(u"Host", u"192.168.1.20");
  TKelSimpleXMLElem* Home = Mine->Items()->Add(u"Server");
  Home->Properties()->Add(u"Nom", u"Maison");
  Home->Items()->Add(u"Host", u"nas.local");
  Home->Items()->Add(u"User", u"admin");
  Home->Properties()->Add(u"Alloue", 1);
  Home->Properties()->Add(u"Unit", 1);

  TKelSimpleXMLElem* Fz = Root->Items()->Add(u"FileZilla");
  Fz->Properties()->Add(u"Nom", u"Sites FileZilla");
  Fz->Properties()->Add(u"expanded", u"1");
  Fz->Properties()->Add(u"isFilezilla", u"1");
  TKelSimpleXMLElem* Backup = Fz->Items()->Add(u"Server");
  Backup->Properties()->Add(u"Nom", u"Sauvegarde");
  Backup->Properties()->Add(u"Alloue", 2);
  Backup->Properties()->Add(u"Unit", 1);
  TKelSimpleXMLElem* Work = Fz->Items()->Add(u"Folder");
  Work->Properties()->Add(u"Nom", u"Travail <pro>");
  Work->Properties()->Add(u"isFilezilla", u"1");
  TKelSimpleXMLElem* Intranet = Work->Items()->Add(u"Server");
  Intranet->Properties()->Add(u"Nom", u"Intranet");
  Intranet->Properties()->Add(u"Alloue", 500);
  Intranet->Properties()->Add(u"Unit", 0);

  TKelSimpleXMLElem* Options = Root->Items()->Add(u"Options");
  const char16_t* const Keys[][2] = {
      {u"AutoCheck", u"3"},
      {u"LastCheck", u"14/03/2024 09:15:00"},
      {u"Langue", u""},
      {u"SaveLastConnect", u"1"},
      {u"LastHost", u"ftp.example.org"},
      {u"LastPort", u"21"},
      {u"LastUser", u"anonymous"},
      {u"LastPass", u"guest@example.org"},
      {u"LastPassif", u"1"},
      {u"LastDir", u"/pub"},
      {u"LastAlloue", u"10"},
      {u"LastUnite", u"1"},
      {u"DefautPassive", u"0"},
  };
  for (const auto& K : Keys) Options->Items()->Add(K[0], String(K[1]));
}

TEST(KelSimpleXmlWriter, SettingsFileIsByteExact) {
  const std::string Golden = ReadAll(DataFile("Quorvel.golden.xml"));
  ASSERT_FALSE(Golden.empty());
  TempDir Dir;
  TOxSimpleXML Xml;
  BuildSettings(*Xml.SimpleXML());
  const fs::path File = Dir.Path / "Quorvel.xml";
  Xml.SaveToFile(PathText(File));
  EXPECT_EQ(ReadAll(File), Golden);

  // Load and save back: the same bytes, the same encoding.
  TOxSimpleXML Again;
  Again.LoadFromFile(PathText(File));
  EXPECT_EQ(Again.Root()->Items()->GetItem(0)->Items()->GetItem(0)->Items()->GetItem(0)->Properties()->Value(u"Nom"),
            u"Caf\u00E9 & Co");
  Again.SaveToFile(PathText(File));
  EXPECT_EQ(ReadAll(File), Golden);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 1);
}

TEST(KelSimpleXmlWriter, TruncatedSettingsFileNeverLoads) {
  const std::string Golden = ReadAll(DataFile("Quorvel.golden.xml"));
  const size_t RootStart = Golden.find("<Quorvel>");
  const size_t LastClose = Golden.rfind('>');
  ASSERT_NE(RootStart, std::string::npos);
  for (size_t Length = RootStart + 1; Length <= LastClose; ++Length) {
    TKelSimpleXML Doc;
    EXPECT_THROW(LoadBytes(Doc, Golden.substr(0, Length)), EKelSimpleXMLError) << "cut at " << Length;
  }
}

TEST(KelSimpleXmlWriter, NestedDocumentLayout) {
  TKelSimpleXML Doc;
  Doc.Root()->SetName(u"R");
  Doc.Root()->Items()->Add(u"S")->Items()->Add(u"T", u"v");
  EXPECT_EQ(SaveBytes(Doc, seAnsi, 1252),
            "<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?>\r\n<R>\r\n  <S>\r\n    <T>v</T>\r\n"
            "  </S>\r\n</R>\r\n");
  Doc.SetOptions({});
  Doc.Root()->Properties()->Add(u"q", u"\"&");
  EXPECT_EQ(UTF16ToUTF8(Doc.SaveToString()),
            "<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?><R q=\"\"&\"><S><T>v</T></S></R>");
  Doc.SetOptions(sxoDefaultOptions);
  EXPECT_NE(UTF16ToUTF8(Doc.SaveToString()).find("q=\"&quot;&amp;\""), std::string::npos);
}

TEST(KelSimpleXmlWriter, EncodingFollowsDeclarationAndMark) {
  TKelSimpleXML Doc;
  LoadBytes(Doc, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>");
  EXPECT_EQ(SaveBytes(Doc),
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n<a>&#xE9;</a>\r\n");
  Doc.SetOptions(sxoDefaultOptions + sxoDoNotSaveBOM);
  EXPECT_EQ(SaveBytes(Doc).substr(0, 5), "<?xml");
  // An explicit encoding never rewrites an existing declaration.
  TKelSimpleXML Latin;
  LoadBytes(Latin, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>");
  EXPECT_NE(SaveBytes(Latin, seUTF8).find("encoding=\"ISO-8859-1\""), std::string::npos);
  // A missing one is filled from the code page the save has just set.
  TKelSimpleXML Fresh;
  Fresh.Root()->SetName(u"r");
  EXPECT_NE(SaveBytes(Fresh, seUTF16)
                .find(std::string("u\0t\0f\0-\0"
                                  "1\0"
                                  "6\0",
                                  12)),
            std::string::npos);
  TKelSimpleXML Wide;
  Wide.LoadFromString(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>");
  EXPECT_EQ(Wide.SaveToString()[0], u'\uFEFF');
}

// Element names are written as they are, in every encoding that can hold
// them: a settings file with a non-ASCII element must load again after a save.
TEST(KelSimpleXmlWriter, NonAsciiElementNamesRoundTrip) {
  const struct {
    const char* Declared;
    TKelStringEncoding Encoding;
    Word CodePage;
    std::string Name;  // UTF-8
  } Cases[] = {
      {"UTF-8", seUTF8, 0, "Cl\xC3\xA9"},
      {"UTF-8", seUTF8, 0, "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"UTF-16", seUTF16, 0, "\xC3\x89t\xC3\xA9"},
      {"Windows-1252", seAnsi, 1252, "Cl\xC3\xA9"},
  };
  for (const auto& c : Cases) {
    SCOPED_TRACE(c.Name + " in " + c.Declared);
    const String Name = UTF8ToUTF16(c.Name);
    TKelSimpleXML Doc;
    Doc.LoadFromString(u"<?xml version=\"1.0\" encoding=\"" + UTF8ToUTF16(c.Declared) + u"\"?><Racine><" + Name +
                       u" a=\"\u00E9\">valeur \u00E9</" + Name + u"></Racine>");
    EXPECT_NE(Doc.SaveToString().find(u"<" + Name + u" a="), String::npos);
    const std::string Bytes = SaveBytes(Doc, c.Encoding, c.CodePage);
    TKelSimpleXML Again;
    ASSERT_NO_THROW(LoadBytes(Again, Bytes));
    TKelSimpleXMLElem* Elem = Again.Root()->Items()->GetItem(0);
    ASSERT_NE(Elem, nullptr);
    EXPECT_EQ(Elem->Name(), Name);
    EXPECT_EQ(Elem->Value(), u"valeur \u00E9");
    EXPECT_EQ(SaveBytes(Again, c.Encoding, c.CodePage), Bytes);
  }
}

TEST(KelSimpleXmlWriter, NoPrologOptionAddsNoDeclaration) {
  TKelSimpleXML Doc;
  Doc.SetOptions(sxoDefaultOptions + sxoDoNotSaveProlog);
  Doc.Root()->SetName(u"r");
  EXPECT_EQ(SaveBytes(Doc, seAnsi, 1252), "<r/>\r\n");
  EXPECT_EQ(Doc.Prolog()->Count(), 0);
}

TEST(KelSimpleXmlWriter, CDataWithTerminatorStaysWellFormed) {
  TKelSimpleXML Doc;
  Doc.Root()->SetName(u"r");
  const String Tricky = u"a]]>b]]]>c";
  Doc.Root()->Items()->AddCData(u"", Tricky);
  TKelSimpleXML Back;
  Back.LoadFromString(Doc.SaveToString());
  String Joined;
  for (TKelSimpleXMLElem* E : *Back.Root()->Items()) {
    ASSERT_NE(dynamic_cast<TKelSimpleXMLElemCData*>(E), nullptr);
    Joined += E->Value();
  }
  EXPECT_EQ(Joined, Tricky);
}

// A comment value that would end the comment early, or hold "--", is written
// with a blank after the offending dashes: the file stays well-formed and
// loads back.
TEST(KelSimpleXmlWriter, CommentsWithDashesStayWellFormed) {
  const struct {
    const char16_t* Value;
    const char16_t* Written;
  } Cases[] = {
      {u"a--b", u"a- -b"}, {u"ends with -", u"ends with - "}, {u"-->", u"- ->"},
      {u"---", u"- - - "}, {u" a - b ", u" a - b "},          {u"x-->y<!--z", u"x- ->y<!- -z"},
  };
  TempDir Dir;
  const fs::path File = Dir.Path / "Quorvel.xml";
  for (const auto& C : Cases) {
    SCOPED_TRACE(UTF16ToUTF8(C.Value));
    TKelSimpleXML Doc;
    Doc.Root()->SetName(u"r");
    Doc.Root()->Items()->AddComment(u"", C.Value);
    Doc.Root()->Items()->Add(u"after", u"1");
    Doc.SaveToFile(PathText(File));
    EXPECT_NE(ReadAll(File).find("<!--" + UTF16ToUTF8(C.Written) + "-->"), std::string::npos);
    TKelSimpleXML Back;
    Back.LoadFromFile(PathText(File));
    ASSERT_EQ(Back.Root()->ItemCount(), 2);
    EXPECT_EQ(Back.Root()->Items()->GetItem(0)->Value(), C.Written);
    EXPECT_EQ(Back.Root()->Items()->Value(u"after"), u"1");
  }
}

TEST(KelSimpleXmlWriter, FailedSaveKeepsTheOldFile) {
  TempDir Dir;
  const fs::path File = Dir.Path / "Quorvel.xml";
  WriteAll(File, "<old/>");
  TKelSimpleXML Doc;
  Doc.Root()->SetName(u"r");
  Doc.Prolog()->SetEncoding(u"no-such-charset");
  EXPECT_THROW(Doc.SaveToFile(PathText(File)), EKelCharsetError);
  EXPECT_EQ(ReadAll(File), "<old/>");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 1);
  // The save goes to a new file that replaces the old one, never into the
  // old file itself.
  Doc.Prolog()->SetEncoding(u"utf-8");
  {
    std::ifstream Reader(File, std::ios::binary);
    ASSERT_TRUE(Reader.good());
#ifdef _WIN32
    // A reader that does not share deletion blocks the replacement: the save
    // fails as a whole and the old file stays.
    EXPECT_THROW(Doc.SaveToFile(PathText(File)), EStreamError);
    EXPECT_EQ(ReadAll(File), "<old/>");
#else
    // A reader that still holds the old file keeps reading the old bytes.
    Doc.SaveToFile(PathText(File));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(Reader), std::istreambuf_iterator<char>()), "<old/>");
#endif
  }
  Doc.SaveToFile(PathText(File));
  EXPECT_EQ(ReadAll(File).substr(0, 8), "\xEF\xBB\xBF<?xml");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir.Path), fs::directory_iterator()), 1);
}

TEST(KelSimpleXmlWriter, SaveIntoMissingFolderRaisesAndWritesNothing) {
  TempDir Dir;
  TKelSimpleXML Doc;
  Doc.Root()->SetName(u"r");
  EXPECT_THROW(Doc.SaveToFile(PathText(Dir.Path / "no-such-folder" / "x.xml")), EStreamError);
  EXPECT_THROW(Doc.LoadFromFile(PathText(Dir.Path / "missing.xml")), EFOpenError);
}

// FileZilla's own site file, as FileZilla writes it: UTF-8 without a mark,
// base64 passwords, nested folders, names with accents and ampersands.
const char* const SiteManager =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n"
    "<FileZilla3 version=\"3.60.1\" platform=\"windows\">\r\n"
    "    <Servers>\r\n"
    "        <Folder expanded=\"1\">Clients &amp; amis\r\n"
    "            <Server>\r\n"
    "                <Host>ftp.example.com</Host>\r\n"
    "                <Port>21</Port>\r\n"
    "                <Protocol>0</Protocol>\r\n"
    "                <User>jos\xC3\xA9</User>\r\n"
    "                <Pass encoding=\"base64\">c2VjcsOodA==</Pass>\r\n"
    "                <PasvMode>MODE_DEFAULT</PasvMode>\r\n"
    "                <Name>Caf\xC3\xA9 &amp; Th\xC3\xA9</Name>\r\n"
    "                <Comments />\r\n"
    "                <RemoteDir>1 0 4 home 3 www</RemoteDir>\r\n"
    "            </Server>\r\n"
    "            <Folder>Sous-dossier\r\n"
    "                <Server><Host>10.0.0.1</Host><Name>Na\xC3\xAFve &lt;test&gt;</Name></Server>\r\n"
    "            </Folder>\r\n"
    "        </Folder>\r\n"
    "    </Servers>\r\n"
    "</FileZilla3>\r\n";

String Signature(TKelSimpleXMLElem* E) {
  String S = E->Name() + u"{";
  for (TKelSimpleXMLProp* P : *E->Properties()) S += P->Name() + u"=" + P->Value() + u";";
  if (E->ItemCount() == 0) S += E->Value();
  for (TKelSimpleXMLElem* Child : *E->Items())
    if (dynamic_cast<TKelSimpleXMLElemClassic*>(Child)) S += Signature(Child);
  return S + u"}";
}

TEST(KelSimpleXmlWriter, FileZillaSiteFileRoundTrip) {
  TKelSimpleXML Doc;
  LoadBytes(Doc, SiteManager);
  EXPECT_EQ(Doc.CodePage(), 65001);
  TKelSimpleXMLElem* Servers = Doc.Root()->Items()->GetItemNamed(u"servers");
  ASSERT_NE(Servers, nullptr);
  TKelSimpleXMLElem* Folder = Servers->Items()->GetItem(0);
  ASSERT_EQ(Folder->ItemCount(), 3);  // its name text, a site, a sub-folder
  EXPECT_EQ(Folder->Items()->GetItem(0)->Value().substr(0, 14), u"Clients & amis");
  TKelSimpleXMLElem* Site = Folder->Items()->GetItemNamed(u"Server");
  EXPECT_EQ(Site->Items()->Value(u"Name"), u"Caf\u00E9 & Th\u00E9");
  EXPECT_EQ(Site->Items()->Value(u"User"), u"jos\u00E9");
  EXPECT_EQ(Site->Items()->GetItemNamed(u"Pass")->Properties()->Value(u"encoding"), u"base64");
  EXPECT_EQ(Site->Items()->Value(u"Pass"), u"c2VjcsOodA==");
  EXPECT_EQ(Site->Items()->Value(u"Comments", u"-"), u"");
  TKelSimpleXMLElem* Sub = Folder->Items()->GetItemNamed(u"Folder");
  EXPECT_EQ(Sub->Items()->GetItemNamed(u"Server")->Items()->Value(u"Name"), u"Na\u00EFve <test>");

  const std::string Saved = SaveBytes(Doc);
  EXPECT_EQ(Saved.substr(0, 3), "\xEF\xBB\xBF");
  TKelSimpleXML Back;
  LoadBytes(Back, Saved);
  // Indentation adds whitespace to the text mixed with elements, so the
  // elements, attributes and leaf values are what must survive.
  EXPECT_EQ(Signature(Back.Root()), Signature(Doc.Root()));
  EXPECT_EQ(
      Back.Root()->Items()->GetItem(0)->Items()->GetItem(0)->Items()->GetItemNamed(u"Server")->Items()->Value(u"Name"),
      u"Caf\u00E9 & Th\u00E9");
}

TEST(KelSimpleXmlComponent, ForwardsToItsDocument) {
  TOxSimpleXML Xml;
  EXPECT_EQ(Xml.Options(), sxoDefaultOptions);
  EXPECT_EQ(Xml.IndentString(), u"  ");
  EXPECT_EQ(UTF16ToUTF8(Xml.SaveToString()), "<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?>\r\n");
  Xml.Root()->SetName(u"r");
  const std::string Plain = SaveBytes(*Xml.SimpleXML(), seAnsi, 1252);
  int Calls = 0;
  Xml.SetOnEncodeStream([&](TObject*, TStream* In, TStream* Out) {
    ++Calls;
    Out->CopyFrom(In, In->Size());
  });
  EXPECT_TRUE(static_cast<bool>(Xml.OnEncodeStream()));
  EXPECT_FALSE(static_cast<bool>(Xml.OnDecodeStream()));
  EXPECT_EQ(SaveBytes(*Xml.SimpleXML(), seAnsi, 1252), Plain);
  EXPECT_EQ(Calls, 1);
  TempDir Dir;
  EXPECT_THROW(Xml.SetFileName(PathText(Dir.Path / "missing.xml")), EFOpenError);
  EXPECT_EQ(Xml.FileName(), PathText(Dir.Path / "missing.xml"));
}

TEST(KelSimpleXmlComponent, LoadsARawDataResource) {
  static const std::string Golden = ReadAll(DataFile("Quorvel.golden.xml"));
  ASSERT_FALSE(Golden.empty());
#ifndef _WIN32
  // Elsewhere than on Windows a program registers its embedded data.
  RegisterResource(u"QUORVEL_SETTINGS", RT_RCDATA, Golden.data(), Golden.size());
#endif
  TKelSimpleXML FromFile;
  LoadBytes(FromFile, Golden);
  TOxSimpleXML Xml;
  Xml.LoadFromResourceName(HInstance(), u"quorvel_settings");  // names ignore case
  EXPECT_EQ(Xml.Root()->Name(), u"Quorvel");
  EXPECT_EQ(Signature(Xml.Root()), Signature(FromFile.Root()));
  EXPECT_EQ(Xml.SimpleXML()->CodePage(), 1252);
  EXPECT_EQ(SaveBytes(*Xml.SimpleXML()), Golden);
  // A missing resource raises EResNotFound and changes nothing.
  EXPECT_THROW(Xml.LoadFromResourceName(HInstance(), u"NO_SUCH_XML"), EResNotFound);
  EXPECT_EQ(Xml.Root()->Name(), u"Quorvel");
  TKelSimpleXML Doc;
  Doc.LoadFromResourceName(HInstance(), u"QUORVEL_SETTINGS", seAnsi, 1252);
  EXPECT_EQ(Signature(Doc.Root()), Signature(FromFile.Root()));
}

}  // namespace
