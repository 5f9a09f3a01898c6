// The site manager's editor and confirmation, with the user's own sites from
// the settings file and FileZilla's from its site file.
#include <fstream>

#include "AppWinTestSupport.h"
#include "treeview/VastTreeEdit_win.h"

namespace {

using namespace apptest;

class SitesTest : public AppFixture {
protected:
  void SetUp() override {
    AppFixture::SetUp();
    fichierFZ = fs::path(FileZillaSiteFile());
    ASSERT_FALSE(fichierFZ.empty());
    fs::create_directories(fichierFZ.parent_path());
    std::ofstream(fichierFZ, std::ios::binary) << R"(<?xml version="1.0" encoding="UTF-8"?>
<FileZilla3><Servers>
  <Folder expanded="1">Clients
    <Server><Host>shop.example.com</Host><Port>21</Port><User>shop</User><Pass encoding="base64">c2VjcmV0</Pass><Name>Shop</Name></Server>
  </Folder>
</Servers></FileZilla3>)";
    EcritReglages(
        R"(<Quorvel><MesSites><Folder Nom="Work"><Server Nom="Intranet"><Host>intra.example.org</Host><Port>2121</Port><User>me</User><RemoteDir>/www</RemoteDir><PasvMode>MODE_ACTIVE</PasvMode></Server></Folder></MesSites><Options><AutoCheck>0</AutoCheck></Options></Quorvel>)");
    HKEY cle = nullptr;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SoftWare\\FileZilla Client", 0, nullptr, 0, KEY_WRITE, nullptr, &cle,
                      nullptr);
    const wchar_t dossier[] = L"C:\\FileZilla";
    ::RegSetValueExW(cle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dossier), sizeof(dossier));
    ::RegCloseKey(cle);
  }
  void TearDown() override {
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SoftWare\\FileZilla Client");
    std::error_code ec;
    fs::remove(fichierFZ, ec);
    AppFixture::TearDown();
  }
  template <class T>
  T* Entree(TFZFolder* Dossier, const String& Nom) {
    for (auto& e : Dossier->Contenu)
      if (e->Nom == Nom) return dynamic_cast<T*>(e.get());
    return nullptr;
  }
  fs::path fichierFZ;
};

TEST_F(SitesTest, EditorShowsOwnAndFileZillaSitesAndConfirmCopiesTheSite) {
  Cree({u"-US"});
  Main->Traduire();
  // Showing the dialog reads both files.
  formSites->Show();
  TFZFolder* racine = formSites->Racine();
  ASSERT_NE(racine, nullptr);
  EXPECT_EQ(racine->Nom, u"My sites");
  EXPECT_EQ(formSites->RacineFZ()->Nom, u"FileZilla sites");
  // The own root: everything empty and disabled, no deletion.
  EXPECT_EQ(formSites->Selection(), racine);
  EXPECT_FALSE(formSites->edHost->Enabled());
  EXPECT_FALSE(formSites->aDel->Enabled());
  EXPECT_TRUE(formSites->aNewSite->Enabled());

  TFZFolder* work = Entree<TFZFolder>(racine, u"Work");
  ASSERT_NE(work, nullptr);
  TFZServer* intranet = Entree<TFZServer>(work, u"Intranet");
  ASSERT_NE(intranet, nullptr);
  // Both trees in one: my sites, then FileZilla's.
  TVastStringTree* arbre = formSites->arboFZ;
  ASSERT_EQ(arbre->RootNodeCount(), 2u);
  EXPECT_EQ(arbre->TCustomVastStringTree::GetText(arbre->GetFirst(), 0), u"My sites");
  EXPECT_EQ(arbre->TCustomVastStringTree::GetText(arbre->GetNextSibling(arbre->GetFirst()), 0), u"FileZilla sites");
  // Choosing the site's node shows it in the editor.
  formSites->Selectionne(intranet);
  EXPECT_EQ(formSites->Selection(), intranet);
  EXPECT_EQ(formSites->edHost->Text(), u"intra.example.org");
  EXPECT_EQ(formSites->sePort->AsInteger(), 2121);
  EXPECT_TRUE(formSites->rbModeActif->Checked());
  EXPECT_TRUE(formSites->aDel->Enabled());
  formSites->edUser->SetText(u"you");
  formSites->seDispo->SetAsInteger(5);
  formSites->cbUnite->SetItemIndex(1);
  Capture(formSites, DossierCaptures(), "sites_us");
  formSites->Hide();

  formSites->btnOKClick(nullptr);
  ASSERT_TRUE(formSites->DerniereSauvegarde.Ok);
  // The main window has its own copy and its fields.
  ASSERT_NE(Main->LienServerFZ, nullptr);
  EXPECT_EQ(Main->edHost->Text(), u"intra.example.org");
  EXPECT_EQ(Main->edUser->Text(), u"you");
  EXPECT_EQ(Main->Port(), 2121);
  EXPECT_EQ(Main->Dispo(), 5);
  EXPECT_EQ(Main->cbUnite->ItemIndex(), 1);
  EXPECT_FALSE(Main->cbPassif->Checked());
  // Written back: read again, the change is there.
  formSites->ChargeSites();
  TFZServer* relu = Entree<TFZServer>(Entree<TFZFolder>(formSites->Racine(), u"Work"), u"Intranet");
  ASSERT_NE(relu, nullptr);
  EXPECT_EQ(relu->User, u"you");
  EXPECT_EQ(relu->Place, 5);
  EXPECT_EQ(relu->PlaceUnite, 1);
}

// FileZilla sites of other protocols say so and are not taken into the
// connection fields; plain FTP sites still are.
TEST_F(SitesTest, ASiteOfAnotherProtocolIsShownAsSuchAndNotConnected) {
  std::ofstream(fichierFZ, std::ios::binary) << R"(<?xml version="1.0" encoding="UTF-8"?>
<FileZilla3><Servers>
  <Server><Host>vault.example.com</Host><Port>22</Port><Protocol>1</Protocol><User>v</User><Name>Vault</Name></Server>
  <Server><Host>safe.example.com</Host><Protocol>4</Protocol><Name>Safe</Name></Server>
  <Server><Host>shop.example.com</Host><Protocol>0</Protocol><Name>Shop</Name></Server>
</Servers></FileZilla3>)";
  Cree({u"-US"});
  Main->Traduire();
  formSites->Show();
  TVastStringTree* arbre = formSites->arboFZ;
  const struct {
    const char16_t* nom;
    const char16_t* texte;
    const char16_t* type;
    bool connecte;
  } cas[] = {
      {u"Vault", u"Vault (SFTP)", u"SFTP", false},
      {u"Safe", u"Safe (FTPES)", u"FTPES", false},
      {u"Shop", u"Shop", u"FTP - File Transfer Protocol", true},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(U8(c.nom));
    TFZServer* site = Entree<TFZServer>(formSites->RacineFZ(), c.nom);
    ASSERT_NE(site, nullptr);
    formSites->Selectionne(site);
    ASSERT_EQ(formSites->Selection(), site);
    EXPECT_EQ(arbre->TCustomVastStringTree::GetText(arbre->FocusedNode(), 0), String(c.texte));
    EXPECT_EQ(formSites->cbServerType->Text(), String(c.type));
    EXPECT_EQ(formSites->btnConnect->Enabled(), c.connecte);
    if (!c.connecte) {
      Capture(formSites, DossierCaptures(), "sites_sftp");
      Main->edHost->SetText(u"before");
      Monde.Boites.clear();
      formSites->btnOKClick(nullptr);
      EXPECT_EQ(Main->edHost->Text(), u"before");
      EXPECT_EQ(Main->LienServerFZ, nullptr);
      ASSERT_EQ(Monde.Boites.size(), 1u);
      EXPECT_EQ(Monde.Boites[0].Text, String(c.type) + u" site: cannot be connected to as plain FTP");
    }
  }
  formSites->btnOKClick(nullptr);
  ASSERT_NE(Main->LienServerFZ, nullptr);
  EXPECT_EQ(Main->edHost->Text(), u"shop.example.com");
  formSites->Hide();
}

TEST_F(SitesTest, TheChosenFileZillaSiteOutlivesTheTreesItCameFrom) {
  Cree({u"-FR"});
  Main->Traduire();
  formSites->Show();
  TFZFolder* clients = Entree<TFZFolder>(formSites->RacineFZ(), u"Clients");
  ASSERT_NE(clients, nullptr);
  TFZServer* shop = Entree<TFZServer>(clients, u"Shop");
  ASSERT_NE(shop, nullptr);
  formSites->Selectionne(shop);
  EXPECT_EQ(formSites->Selection(), shop);
  Capture(formSites, DossierCaptures(), "sites_fr");
  formSites->Hide();
  // FileZilla's sites: only the allowed space can be changed.
  EXPECT_FALSE(formSites->edHost->Enabled());
  EXPECT_TRUE(formSites->seDispo->Enabled());
  EXPECT_FALSE(formSites->aDel->Enabled());
  formSites->btnOKClick(nullptr);
  EXPECT_EQ(Main->edPass->Text(), u"secret");
  // The dialog shown again replaces its trees; the copy stays usable.
  formSites->ChargeSites();
  formSites->ChargeSites();
  Main->aOpenFZExecute(nullptr);
  ASSERT_EQ(Monde.Processus.size(), 1u);
  EXPECT_EQ(Monde.Processus[0], u"C:\\FileZilla\\FileZilla.exe -c 0/Clients/Shop");
}

TEST_F(SitesTest, DeletingTheShownEntryLeavesNothingPointingAtIt) {
  Cree({u"-US"});
  Main->Traduire();
  formSites->ChargeSites();
  TFZFolder* work = Entree<TFZFolder>(formSites->Racine(), u"Work");
  TFZServer* intranet = Entree<TFZServer>(work, u"Intranet");
  formSites->Selectionne(intranet);
  // No: nothing changes.
  Monde.Reponses = {IDNO};
  EXPECT_FALSE(formSites->SupprimeEntree(work));
  EXPECT_NE(Entree<TFZFolder>(formSites->Racine(), u"Work"), nullptr);
  ASSERT_EQ(Monde.Boites.size(), 1u);
  EXPECT_EQ(Monde.Boites[0].Text, u"Do you really want to delete \"Work\" folder?");
  EXPECT_EQ(Monde.Boites[0].Caption, u"Confirmation");
  // Yes on the folder holding the shown site: the editor lets go of it.
  Monde.Reponses = {IDYES};
  EXPECT_TRUE(formSites->SupprimeEntree(work));
  EXPECT_EQ(formSites->Selection(), formSites->Racine());
  EXPECT_EQ(Entree<TFZFolder>(formSites->Racine(), u"Work"), nullptr);
  EXPECT_EQ(formSites->arboFZ->GetFirst()->ChildCount, 0u);
  formSites->arboFZ->Repaint();
  // FileZilla's entries and the roots are never deleted.
  EXPECT_FALSE(formSites->SupprimeEntree(formSites->Racine()));
  EXPECT_FALSE(formSites->SupprimeEntree(Entree<TFZFolder>(formSites->RacineFZ(), u"Clients")));
  formSites->btnOKClick(nullptr);
  EXPECT_TRUE(formSites->DerniereSauvegarde.Ok);
  formSites->ChargeSites();
  EXPECT_TRUE(formSites->Racine()->Contenu.empty());

  // A new folder, and a new site in it, saved at the end of their folders.
  formSites->Selectionne(formSites->Racine());
  formSites->aNewFolderExecute(nullptr);
  ASSERT_EQ(formSites->Racine()->Contenu.size(), 1u);
  TFZObject* dossier = formSites->Racine()->Contenu[0].get();
  EXPECT_EQ(dossier->Nom, u"New folder");
  EXPECT_EQ(formSites->Selection(), dossier);
  formSites->aNewSiteExecute(nullptr);
  TFZFolder* f = dynamic_cast<TFZFolder*>(dossier);
  ASSERT_EQ(f->Contenu.size(), 1u);
  EXPECT_EQ(f->Contenu[0]->Nom, u"New site");
  formSites->edHost->SetText(u"new.example.org");
  formSites->btnOKClick(nullptr);
  formSites->ChargeSites();
  TFZServer* relu = Entree<TFZServer>(Entree<TFZFolder>(formSites->Racine(), u"New folder"), u"New site");
  ASSERT_NE(relu, nullptr);
  EXPECT_EQ(relu->Host, u"new.example.org");
}

}  // namespace

namespace {

using namespace apptest;

// The site tree driven as a user drives it: a new site is named in place
// at once, F2, the Rename action and the pop-up menu rename, Escape keeps
// the old name, leaving the editor keeps the new one, the roots and
// FileZilla's entries are never edited, and a double click on a site
// confirms it while one on a folder opens or closes it.
class SitesSourisTest : public SitesTest {
protected:
  TVastStringTree* Arbre() { return formSites->arboFZ; }
  HWND Editeur() {
    auto* lien = dynamic_cast<TStringEditLink*>(Arbre()->EditLink());
    return lien && lien->Edit() ? lien->Edit()->Handle() : nullptr;
  }
  String TexteEditeur() {
    wchar_t b[256] = {};
    ::GetWindowTextW(Editeur(), b, 255);
    return String(reinterpret_cast<const Char*>(b));
  }
  // Replaces the editor's text by Texte.
  void Remplace(const String& Texte) {
    ASSERT_NE(Editeur(), nullptr);
    ::SendMessageW(Editeur(), EM_SETSEL, 0, -1);
    Tape(Editeur(), Texte);
  }
  PVastNode Noeud(const String& Nom) { return NoeudDeTexte(Arbre(), Nom); }
};

TEST_F(SitesSourisTest, SitesAreNamedInPlaceAndADoubleClickConfirms) {
  Cree({u"-US"});
  Main->Traduire();
  formSites->Show();
  ::SetForegroundWindow(formSites->Handle());
  PumpMessagesFor(50);
  TFZFolder* work = Entree<TFZFolder>(formSites->Racine(), u"Work");
  ASSERT_NE(work, nullptr);

  // A click on the folder, then "New site": its name is being edited.
  ClicNoeud(Arbre(), Noeud(u"Work"));
  EXPECT_EQ(formSites->Selection(), work);
  ::SendMessageW(formSites->btnAddSite->Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(Arbre()->IsEditing());
  EXPECT_EQ(::GetFocus(), Editeur());
  EXPECT_EQ(TexteEditeur(), u"New site");
  Remplace(u"Backup");
  Capture(formSites, DossierCaptures(), "sites_renaming_us");
  Touche(Editeur(), VK_RETURN);
  EXPECT_FALSE(Arbre()->IsEditing());
  TFZServer* backup = Entree<TFZServer>(work, u"Backup");
  ASSERT_NE(backup, nullptr);
  EXPECT_EQ(formSites->Selection(), backup);
  EXPECT_NE(Noeud(u"Backup"), nullptr);

  // F2 renames; Escape gives the old name back and leaves the dialog open.
  Touche(Arbre()->Handle(), VK_F2);
  ASSERT_TRUE(Arbre()->IsEditing());
  Remplace(u"zzz");
  Touche(Editeur(), VK_ESCAPE);
  EXPECT_FALSE(Arbre()->IsEditing());
  EXPECT_EQ(backup->Nom, u"Backup");
  EXPECT_TRUE(formSites->Visible());
  EXPECT_EQ(formSites->ModalResult(), mrNone);

  // The Rename action; a click elsewhere in the tree keeps the new name.
  formSites->aRename->Execute();
  ASSERT_TRUE(Arbre()->IsEditing());
  Remplace(u"Backup 2");
  ClicNoeud(Arbre(), Noeud(u"Intranet"));
  PumpMessagesFor(50);
  EXPECT_FALSE(Arbre()->IsEditing());
  EXPECT_EQ(backup->Nom, u"Backup 2");
  EXPECT_EQ(formSites->Selection(), Entree<TFZServer>(work, u"Intranet"));

  // The pop-up menu of a site offers Rename and Delete.
  bool renommer = false, supprimer = false;
  EXPECT_TRUE(ClicDroitMenu(Arbre(), Noeud(u"Backup 2"), [&] {
    renommer = formSites->aRename->Enabled();
    supprimer = formSites->aDel->Enabled();
  }));
  EXPECT_TRUE(renommer);
  EXPECT_TRUE(supprimer);
  EXPECT_EQ(formSites->Selection(), backup);

  // "New folder" from a site: the folder is made in the site's folder and
  // keeps its default name when the edit is left with Escape.
  ::SendMessageW(formSites->Button3->Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(Arbre()->IsEditing());
  EXPECT_EQ(TexteEditeur(), u"New folder");
  Touche(Editeur(), VK_ESCAPE);
  EXPECT_NE(Entree<TFZFolder>(work, u"New folder"), nullptr);

  // The roots and FileZilla's entries cannot be edited.
  for (const String& nom : {String(u"My sites"), String(u"FileZilla sites"), String(u"Shop")}) {
    SCOPED_TRACE(U8(nom));
    ClicNoeud(Arbre(), Noeud(nom));
    Touche(Arbre()->Handle(), VK_F2);
    EXPECT_FALSE(Arbre()->IsEditing());
  }

  // A double click on a folder opens or closes it and confirms nothing.
  const bool ouvert = Arbre()->GetExpanded(Noeud(u"Work"));
  {
    const TPoint p = PointTexte(Arbre(), Noeud(u"Work"));
    DoubleClic(Arbre()->Handle(), p.X, p.Y);
  }
  EXPECT_NE(Arbre()->GetExpanded(Noeud(u"Work")), ouvert);
  EXPECT_EQ(formSites->ModalResult(), mrNone);
  EXPECT_EQ(Main->LienServerFZ, nullptr);
  if (!Arbre()->GetExpanded(Noeud(u"Work"))) Arbre()->SetExpanded(Noeud(u"Work"), true);

  // A double click on a site confirms it: the sites are saved and the main
  // window takes the site.
  {
    const TPoint p = PointTexte(Arbre(), Noeud(u"Intranet"));
    DoubleClic(Arbre()->Handle(), p.X, p.Y);
  }
  EXPECT_EQ(formSites->ModalResult(), mrOk);
  ASSERT_NE(Main->LienServerFZ, nullptr);
  EXPECT_EQ(Main->LienServerFZ->Nom, u"Intranet");
  EXPECT_EQ(Main->edHost->Text(), u"intra.example.org");
  formSites->Hide();
  formSites->ChargeSites();
  TFZFolder* relu = Entree<TFZFolder>(formSites->Racine(), u"Work");
  ASSERT_NE(relu, nullptr);
  EXPECT_NE(Entree<TFZServer>(relu, u"Backup 2"), nullptr);
  EXPECT_NE(Entree<TFZFolder>(relu, u"New folder"), nullptr);
}

}  // namespace
