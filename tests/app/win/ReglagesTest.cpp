// The settings file as the main window reads it at start and writes it at
// exit: a file declaring an encoding the charset table lacks is read and
// written back without a box, and a damaged file is reported when it is
// read, kept as one backup, and not reported again at exit.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "AppWinTestSupport.h"
#include "app/core/Options.h"

namespace {

using namespace apptest;

class ReglagesTest : public AppFixture {
protected:
  std::string Fichier() {
    std::ifstream in(Travail / "Quorvel.xml", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> Copies() {
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(Travail)) {
      const std::string n = e.path().filename().string();
      if (n.rfind("Quorvel.xml.", 0) == 0) noms.push_back(n);
    }
    std::sort(noms.begin(), noms.end());
    return noms;
  }
  // One start and exit of the program; the boxes it showed.
  std::vector<TBoite> UnLancement() {
    Monde.Boites.clear();
    Demarre({u"-US"});
    Ferme();
    return Monde.Boites;
  }
};

TEST_F(ReglagesTest, AFileDeclaringUtf8IsReadAndWrittenBackWithoutABox) {
  EcritReglages(
      "<?xml version=\"1.0\" encoding=\"utf8\"?>\n<Quorvel><MesSites><Server Nom=\"Maison\"><Host>nas.local</Host>"
      "</Server></MesSites><Options><AutoCheck>0</AutoCheck><SaveLastConnect>1</SaveLastConnect>"
      "<LastHost>ftp.example.org</LastHost><LastDir>/Donn\xC3\xA9\x65s</LastDir></Options></Quorvel>\n");
  for (int lancement = 0; lancement < 3; ++lancement) {
    SCOPED_TRACE(lancement);
    Monde.Boites.clear();
    Demarre({});
    EXPECT_EQ(Main->edHost->Text(), u"ftp.example.org");
    EXPECT_EQ(Main->edRacine->Text(), u"/Donn\u00E9es");
    Ferme();
    for (const TBoite& b : Monde.Boites) ADD_FAILURE() << U8(b.Caption) << ": " << U8(b.Text);
  }
  const std::string apres = Fichier();
  EXPECT_NE(apres.find("encoding=\"UTF-8\""), std::string::npos) << apres;
  EXPECT_NE(apres.find("nas.local"), std::string::npos) << apres;
  TOxSimpleXML xml;
  xml.LoadFromFile(u"Quorvel.xml");
  EXPECT_EQ(LitOption(xml, u"LastDir", String()), u"/Donn\u00E9es") << apres;
  EXPECT_TRUE(Copies().empty());
}

TEST_F(ReglagesTest, ADamagedFileIsReportedWhenReadAndKeptOnce) {
  const std::string abime =
      "<Quorvel><MesSites><Server Nom=\"Maison\"><Host>nas.local</Host></Server></MesSites>"
      "<Options><AutoCheck>0</AutoCheck><Lang";
  EcritReglages(abime);
  Monde.Boites.clear();
  Demarre({u"-US"});
  // Told at start, in the interface's language, before the window is used.
  ASSERT_EQ(Monde.Boites.size(), 1u);
  EXPECT_EQ(Monde.Boites[0].Text,
            u"The settings file \"Quorvel.xml\" could not be read.\r\nA copy was kept as \"Quorvel.xml.bak\".");
  EXPECT_EQ(Monde.Boites[0].Flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(Copies(), std::vector<std::string>{"Quorvel.xml.bak"});
  Ferme();
  EXPECT_EQ(Monde.Boites.size(), 1u) << "reported again at exit";
  EXPECT_NE(Fichier().find("nas.local"), std::string::npos);
  EXPECT_NE(Fichier().find("<LastCheck>"), std::string::npos) << "the options were not written";

  // The file written at exit reads well: no box. A new damage replaces the
  // copy: one backup at most.
  EXPECT_TRUE(UnLancement().empty());
  for (int lancement = 0; lancement < 2; ++lancement) {
    EcritReglages("<Quorvel><Opt");
    EXPECT_EQ(UnLancement().size(), 1u);
  }
  EXPECT_EQ(Copies(), std::vector<std::string>{"Quorvel.xml.bak"});
  std::ifstream in(Travail / "Quorvel.xml.bak", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), "<Quorvel><Opt");
}

}  // namespace
