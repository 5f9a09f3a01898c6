// Opening a site in FileZilla: the command line (never with the password),
// the registry's installation folder, and the failures reported.
#include "AppWinTestSupport.h"
#include "xml/KelWinVersion.h"

namespace {

using namespace apptest;

TEST(LigneCommandeFileZilla, SitePathsAndAddresses) {
  TFZFolder racine;
  racine.path = u"0/";
  racine.isFZ = true;
  TFZFolder clients;
  clients.Nom = u"Clients";
  clients.path = u"0/Clients/";
  clients.isFZ = true;
  clients.Pere = &racine;

  TFZServer shop;
  shop.Nom = u"Shop";
  shop.isFZ = true;
  shop.Pere = &clients;
  EXPECT_EQ(LigneCommandeFileZilla(shop, u"C:\\FZ"), u"C:\\FZ\\FileZilla.exe -c 0/Clients/Shop");
  shop.Nom = u"My shop";
  EXPECT_EQ(LigneCommandeFileZilla(shop, u"C:\\Program Files\\FileZilla FTP Client"),
            u"\"C:\\Program Files\\FileZilla FTP Client\\FileZilla.exe\" -c \"0/Clients/My shop\"");

  TFZServer own;
  own.Host = u"ftp.example.org";
  own.Port = 2121;
  own.User = u"bob@home";
  own.Pass = u"s3cret p@ss";
  own.RemoteDir = u"/my files/été";
  const String line = LigneCommandeFileZilla(own, u"C:\\FZ");
  EXPECT_EQ(line, u"C:\\FZ\\FileZilla.exe ftp://bob%40home@ftp.example.org:2121/my%20files/%C3%A9t%C3%A9");
  EXPECT_EQ(line.find(u"s3cret"), String::npos);
  own.User.clear();
  own.RemoteDir.clear();
  own.Port = 21;
  EXPECT_EQ(LigneCommandeFileZilla(own, u"C:\\FZ"), u"C:\\FZ\\FileZilla.exe ftp://ftp.example.org:21");
}

class FileZillaTest : public AppFixture {
protected:
  void TearDown() override {
    for (REGSAM vue : {REGSAM(0), REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) Efface(vue);
    AppFixture::TearDown();
  }
  // FileZilla's key with its folder, in one view of the registry (0: the
  // program's own).
  void Installe(const wchar_t* Dossier, REGSAM Vue = 0) {
    HKEY cle = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SoftWare\\FileZilla Client", 0, nullptr, 0, KEY_WRITE | Vue,
                                nullptr, &cle, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(cle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Dossier),
                     static_cast<DWORD>((wcslen(Dossier) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(cle);
  }
  static void Efface(REGSAM Vue) { ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SoftWare\\FileZilla Client", Vue, 0); }
};

// The 64-bit FileZilla keeps its folder in the 64-bit view of the registry,
// the 32-bit one in the 32-bit view: either is found, the 64-bit one first,
// whichever the program's own view is; the readers' view is left as it was.
TEST_F(FileZillaTest, TheFolderIsFoundInEitherViewOfTheRegistry) {
  if (!IsNative64Bit()) GTEST_SKIP() << "one view only on a 32-bit system";
  for (REGSAM vue : {REGSAM(0), REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) Efface(vue);
  String dossier = u"?";
  EXPECT_FALSE(DossierFileZilla(dossier));
  EXPECT_EQ(dossier, u"");

  Installe(L"C:\\FZ32", KEY_WOW64_32KEY);
  EXPECT_TRUE(DossierFileZilla(dossier));
  EXPECT_EQ(dossier, u"C:\\FZ32");
  Efface(KEY_WOW64_32KEY);

  Installe(L"C:\\FZ64", KEY_WOW64_64KEY);
  SetRegistryView(RegistryView32);
  EXPECT_TRUE(DossierFileZilla(dossier));
  EXPECT_EQ(dossier, u"C:\\FZ64");
  EXPECT_EQ(RegistryView(), RegistryView32);
  SetRegistryView(RegistryViewDefault);

  Installe(L"C:\\FZ32", KEY_WOW64_32KEY);
  EXPECT_TRUE(DossierFileZilla(dossier));
  EXPECT_EQ(dossier, u"C:\\FZ64");
  EXPECT_EQ(RegistryView(), RegistryViewDefault);
}

TEST_F(FileZillaTest, MissingInstallationAndFailedStartAreReported) {
  for (REGSAM vue : {REGSAM(0), REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)}) Efface(vue);
  Cree({u"-FR"});
  Main->Traduire();
  Main->edHost->SetText(u"ftp.example.org");
  Main->edPass->SetText(u"hidden");
  Main->aOpenFZExecute(nullptr);
  ASSERT_EQ(Monde.Boites.size(), 1u);
  EXPECT_EQ(Monde.Boites[0].Text, u"Chemin de FileZilla 3 client non trouvé");
  EXPECT_EQ(Monde.Boites[0].Caption, u"Erreur");
  EXPECT_TRUE(Monde.Processus.empty());

  Installe(L"C:\\FileZilla");
  Main->aOpenFZExecute(nullptr);
  ASSERT_EQ(Monde.Processus.size(), 1u);
  EXPECT_EQ(Monde.Processus[0], u"C:\\FileZilla\\FileZilla.exe ftp://ftp.example.org:21");
  EXPECT_EQ(Monde.Boites.size(), 1u);

  Monde.ProcessusReussit = false;
  Main->aOpenFZExecute(nullptr);
  ASSERT_EQ(Monde.Boites.size(), 2u);
  EXPECT_NE(Monde.Boites[1].Text.find(u"The system cannot find the file specified."), String::npos);
  for (const TBoite& b : Monde.Boites) EXPECT_EQ(b.Text.find(u"hidden"), String::npos);
}

TEST_F(FileZillaTest, TheChosenSiteIsOpenedByItsCopy) {
  Installe(L"C:\\FileZilla");
  Cree({});
  Main->Options.FZDefautPassive = true;
  Main->LienServerFZ = std::make_unique<TFZServer>();
  TFZServer& s = *Main->LienServerFZ;
  s.Host = u"files.example.net";
  s.Port = 990;
  s.User = u"ann";
  s.Pass = u"pw";
  s.RemoteDir = u"/www";
  s.Place = 5;
  s.PlaceUnite = 0;
  s.PasvMode = PasvModeDefault;
  Main->ChargeSite();
  EXPECT_EQ(Main->edHost->Text(), u"files.example.net");
  EXPECT_EQ(Main->Port(), 990);
  EXPECT_EQ(Main->edRacine->Text(), u"/www");
  EXPECT_EQ(Main->Dispo(), 5);
  EXPECT_EQ(Main->cbUnite->ItemIndex(), 0);
  EXPECT_TRUE(Main->cbPassif->Checked());
  Main->edHost->SetText(u"other.example.com");
  Main->aOpenFZExecute(nullptr);
  ASSERT_EQ(Monde.Processus.size(), 1u);
  EXPECT_EQ(Monde.Processus[0], u"C:\\FileZilla\\FileZilla.exe ftp://ann@files.example.net:990/www");
}

}  // namespace
