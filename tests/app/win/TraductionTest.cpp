// Translating the four forms from the French and English tables, and the
// "unlocalize" export of their texts.
#include <fstream>

#include "AppWinTestSupport.h"
#include "app/uTraduction.h"
#include "rtl/Format.h"
#include "rtl/SysUtils.h"

namespace {

using namespace apptest;

class TraductionTest : public AppFixture {};

TEST_F(TraductionTest, EnglishTranslatesEveryFormAndTheMenus) {
  Cree({u"-US"});
  Main->Traduire();
  EXPECT_EQ(Main->Caption(), u"Folder sizes of FTP sites");
  EXPECT_EQ(Main->StaticText1->Caption(), u"Host");
  EXPECT_EQ(Main->cbPassif->Caption(), u"Passive");
  EXPECT_EQ(Main->cbPassif->Hint(), u"Use passive mode");
  EXPECT_EQ(Main->aQuit->Caption(), u"Quit");
  EXPECT_EQ(Main->aQuit->Category(), u"&File");
  EXPECT_EQ(Main->menuMain->Items()->Items(0)->Caption(), u"&File");
  EXPECT_EQ(Main->menuMain->Items()->Items(1)->Caption(), u"&?");
  EXPECT_EQ(Main->mClearLog->Caption(), u"Clear");
  EXPECT_EQ(Main->miCacherLegende->Caption(), u"&Hide legend");
  EXPECT_EQ(BoiteOptions->Caption(), u"Options");
  EXPECT_EQ(BoiteOptions->rbPassif->Caption(), u"Passive");
  EXPECT_EQ(BoiteOptions->GroupBox1->Caption(), u" Updates ");
  EXPECT_EQ(BoiteAPropos->Caption(), u"About Quorvel");
  EXPECT_NE(BoiteAPropos->Label7->Caption().find(u"\r\n"), String::npos);
  EXPECT_EQ(formSites->TabSheet2->Caption(), u"Advanced");
  EXPECT_EQ(formSites->aNewSite->Caption(), u"New site");
  EXPECT_EQ(BoiteAPropos->LinkPaypal.find(u"[LANG]"), String::npos);
  EXPECT_NE(BoiteAPropos->LinkPaypal.find(u"US"), String::npos);
  // Separator lines are never translated.
  TMenuItem* fichier = Main->menuMain->Items()->Items(0);
  int lignes = 0;
  for (Integer i = 0; i < fichier->Count(); ++i) lignes += fichier->Items(i)->IsLine() ? 1 : 0;
  EXPECT_EQ(lignes, 3);
}

TEST_F(TraductionTest, FrenchWinsOverEnglishAndOverTheOption) {
  EcritReglages("<Quorvel><Options><AutoCheck>0</AutoCheck><Langue>US</Langue></Options></Quorvel>");
  Cree({u"-US", u"/fr"});
  Main->ChargeOptionsFichier();
  Main->Traduire();
  EXPECT_EQ(Main->Caption(), u"Occupation site FTP");
  EXPECT_EQ(Main->aQuit->Caption(), u"Quitter");
  EXPECT_EQ(Main->menuMain->Items()->Items(0)->Caption(), u"&Fichier");
  EXPECT_EQ(BoiteOptions->rbPassif->Caption(), u"Passif");
  EXPECT_EQ(GetMsg(u"Termine"), u"Terminé");
}

// A language switch (the Options dialog's) composes the status bar's texts
// again at once, and the language list's first item follows too.
TEST_F(TraductionTest, ASwitchTranslatesTheStatusBarAndTheLanguageList) {
  EcritReglages("<Quorvel><Options><AutoCheck>0</AutoCheck><Langue>FR</Langue></Options></Quorvel>");
  Demarre({});
  EXPECT_EQ(BoiteOptions->CBLangue->Items()->Get(0), u"Automatique");
  Main->StatusText(0, GetMsg(u"Connecte"));
  Main->StatusText(3, Format(GetMsg(u"DelFile"), {String(u"a.txt")}));
  BoiteOptions->CBLangue->SetItemIndex(2);
  Main->Options.OptionLangue = u"US";
  Main->Traduire();
  EXPECT_EQ(Panneau(0), u"Connected");
  EXPECT_EQ(Panneau(3), u"Deleting \"a.txt\" file...");
  EXPECT_EQ(BoiteOptions->CBLangue->Items()->Get(0), u"Automatic");
  EXPECT_EQ(BoiteOptions->CBLangue->Items()->Get(2), u"English");
  EXPECT_EQ(BoiteOptions->CBLangue->ItemIndex(), 2);
  Main->StatusText(3, GetMsg(u"Erreur") + u" : 550 No such file");
  Main->Options.OptionLangue = u"FR";
  Main->Traduire();
  EXPECT_EQ(Panneau(0), u"Connect\u00e9");
  EXPECT_EQ(Panneau(3), u"Erreur : 550 No such file");
  EXPECT_EQ(BoiteOptions->CBLangue->Items()->Get(0), u"Automatique");
}

TEST_F(TraductionTest, TheOptionChoosesTheLanguageWithoutSwitch) {
  EcritReglages("<Quorvel><Options><AutoCheck>0</AutoCheck><Langue>US</Langue></Options></Quorvel>");
  Demarre({});
  EXPECT_EQ(Main->Caption(), u"Folder sizes of FTP sites");
}

TEST_F(TraductionTest, ExportWritesTheFormsTextsAsTableLines) {
  Cree({});
  const std::vector<String> main = LignesExport(Main);
  ASSERT_FALSE(main.empty());
  EXPECT_EQ(main[0], u"Main=Occupation site FTP");
  auto contient = [&](const std::vector<String>& l, const String& s) {
    return std::find(l.begin(), l.end(), s) != l.end();
  };
  EXPECT_TRUE(contient(main, u"Main.aQuit=Quitter~&Fichier"));
  EXPECT_TRUE(contient(main, u"Main.StaticText1=Serveur"));
  EXPECT_TRUE(contient(main, u"Main.cbPassif=Passif~Utiliser le mode passif"));
  EXPECT_TRUE(contient(main, u"Main.mStopScroll=Arrêter le défilement"));
  EXPECT_TRUE(contient(main, u"Main.Images=TImageList NON GERE"));
  // The button is driven by its action: its text is the action's.
  for (const String& l : main) EXPECT_EQ(l.rfind(u"Main.btnConnexion=", 0), String::npos);
  const std::vector<String> apropos = LignesExport(BoiteAPropos);
  EXPECT_TRUE(contient(apropos,
                       u"BoiteAPropos.Label7=Quorvel est un logiciel gratuit.|S'il vous est utile, "
                       u"vous pouvez faire un don."));

  // Exported lines read back through the table give the same texts.
  TStringList& table = ListeTraduction();
  table.Clear();
  for (const String& l : LignesExport(BoiteOptions)) table.Add(l);
  BoiteOptions->cbSaveSite->SetCaption(u"changed");
  TraduireForm(BoiteOptions);
  EXPECT_EQ(BoiteOptions->cbSaveSite->Caption(), u"Retenir les derniers paramètres de connexion");
}

TEST_F(TraductionTest, UnlocalizeWritesFourFilesBeforeTranslating) {
  const fs::path dossier = fs::path(ParamStr(0)).parent_path() / "Ressources";
  fs::remove_all(dossier);
  fs::create_directories(dossier);
  Cree({u"-unlocalize", u"-US"});
  Main->Traduire();
  for (const char* f : {"Fr_Main.txt", "Fr_Opt.txt", "Fr_Apropos.txt", "Fr_Sites.txt"})
    EXPECT_TRUE(fs::exists(dossier / f)) << f;
  std::string premiere;
  {
    std::ifstream in(dossier / "Fr_Main.txt", std::ios::binary);
    std::getline(in, premiere);
  }
  EXPECT_EQ(premiere, "Main=Occupation site FTP\r");
  // ...and the forms are translated afterwards.
  EXPECT_EQ(Main->Caption(), u"Folder sizes of FTP sites");
  fs::remove_all(dossier);
}

}  // namespace
