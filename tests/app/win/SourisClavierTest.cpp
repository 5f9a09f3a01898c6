// The main window driven as a user drives it, with mouse and key messages:
// clicks and keys in the folder tree fill the file list and the pie, files
// are selected with Ctrl and Shift, the lists' pop-up menu offers Delete
// for what was clicked (never for the root, never during a scan), the file
// list's header sorts, each file row has its name as hint, and a click on
// the busy bar cancels the scan.
#include <algorithm>
#include <chrono>
#include <set>

#include "AppWinTestSupport.h"
#include "app/GraphiqueDossier.h"
#include "app/core/Affichage.h"
#include "app/core/Options.h"
#include "xml/OxSimpleXml.h"
#include "tests/app/core/ScanTestSupport.h"
#include "tests/fixture/FtpFixture.h"

namespace {

using namespace apptest;

class SourisClavierTest : public AppFixture {
protected:
  // Column Colonne of every row of the file list, top to bottom.
  std::vector<String> ColonneFichiers(TColumnIndex Colonne) {
    std::vector<String> out;
    TVastStringTree* l = Main->listeFichiers;
    for (PVastNode n = l->GetFirst(); n; n = l->GetNextSibling(n))
      out.push_back(l->TCustomVastStringTree::GetText(n, Colonne));
    return out;
  }
  // The file names of a folder, by name as the list sorts them.
  static std::vector<String> NomsTries(const TDossier* D) {
    std::vector<String> noms;
    for (const auto& f : D->Fichiers) noms.push_back(f->Nom);
    std::sort(noms.begin(), noms.end(), [](const String& a, const String& b) { return CompareText(a, b) < 0; });
    return noms;
  }
  // The pie shows what the window computes for D.
  void AttendsPie(const TDossier* D) {
    const TGraphique g = CalculeGraphique(*D, Main->TailleTotale(), Main->EspaceAutorise(),
                                          Main->miEspaceLibre->Checked(), Main->miGrouper->Checked(), FormatSettings);
    EXPECT_EQ(TitreGraphique(Main->zolChart), g.Titre);
    const std::vector<TPointGraphique> points = PointsGraphique(Main->zolChart);
    ASSERT_EQ(points.size(), g.Parts.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_DOUBLE_EQ(points[i].Valeur, g.Parts[i].Valeur);
      EXPECT_EQ(points[i].Legende, g.Parts[i].Legende);
    }
  }
  void Premier() {
    ::SetForegroundWindow(Main->Handle());
    PumpMessagesFor(50);
  }
};

// After a scan the root is selected with its files shown; a click on it
// (already selected) keeps showing them.
TEST_F(SourisClavierTest, AClickOnTheSelectedRootKeepsItsFiles) {
  FtpServer server({.generate = 1});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan());
  Premier();
  TVastStringTree* arbre = Main->listeDossier;
  TDossier* racine = Main->Racine();
  ASSERT_FALSE(racine->Fichiers.empty());
  ASSERT_EQ(Main->DossierChoisi(), racine);
  EXPECT_EQ(ColonneFichiers(0), NomsTries(racine));
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ClicNoeud(arbre, Main->NoeudDossier(racine));
    PumpMessagesFor(200);
    EXPECT_EQ(Main->DossierChoisi(), racine);
    EXPECT_EQ(ColonneFichiers(0), NomsTries(racine));
    AttendsPie(racine);
  }
}

TEST_F(SourisClavierTest, ClicksAndKeysInTheListsSelectFillAndOfferDelete) {
  FtpServer server({.generate = 2});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan());
  Premier();
  TVastStringTree* arbre = Main->listeDossier;
  TVastStringTree* fichiers = Main->listeFichiers;
  TDossier* racine = Main->Racine();
  ASSERT_GE(racine->SousDossiers.size(), 2u);
  // Two folders in a row, the second with folders of its own (to open).
  std::size_t i = 0;
  while (i + 2 < racine->SousDossiers.size() && racine->SousDossiers[i + 1]->SousDossiers.empty()) ++i;
  TDossier* premier = racine->SousDossiers[i].get();
  TDossier* second = racine->SousDossiers[i + 1].get();
  ASSERT_FALSE(second->SousDossiers.empty());

  // A click on a folder selects it, focuses the tree and shows its files
  // and its pie.
  ClicNoeud(arbre, Main->NoeudDossier(premier));
  EXPECT_EQ(Main->DossierChoisi(), premier);
  EXPECT_EQ(Main->ActiveControl(), arbre);
  EXPECT_EQ(ColonneFichiers(0), NomsTries(premier));
  AttendsPie(premier);
  // The arrow key goes to the next row (the folder is collapsed).
  Touche(arbre->Handle(), VK_DOWN);
  EXPECT_EQ(Main->DossierChoisi(), second);
  EXPECT_EQ(ColonneFichiers(0), NomsTries(second));
  AttendsPie(second);
  // A double click opens a folder, another closes it.
  ASSERT_FALSE(arbre->GetExpanded(Main->NoeudDossier(second)));
  {
    const TPoint p = PointTexte(arbre, Main->NoeudDossier(second));
    DoubleClic(arbre->Handle(), p.X, p.Y);
    EXPECT_TRUE(arbre->GetExpanded(Main->NoeudDossier(second)));
  }
  // The right button selects too and opens the menu, whose Delete is
  // offered for a folder, not for the root.
  bool offert = true;
  EXPECT_TRUE(ClicDroitMenu(arbre, Main->NoeudDossier(racine), [&] { offert = Main->aDel->Enabled(); }));
  EXPECT_EQ(Main->DossierChoisi(), racine);
  EXPECT_FALSE(offert);
  EXPECT_TRUE(ClicDroitMenu(arbre, Main->NoeudDossier(premier), [&] {
    offert = Main->aDel->Enabled();
    Capture(Main, DossierCaptures(), "main_folder_menu_us");
  }));
  EXPECT_EQ(Main->DossierChoisi(), premier);
  EXPECT_TRUE(offert);

  // The root's files: a click, a Ctrl click and a Shift click.
  ClicNoeud(arbre, Main->NoeudDossier(racine));
  ASSERT_GE(fichiers->RootNodeCount(), 3u);
  PVastNode f0 = fichiers->GetFirst();
  PVastNode f1 = fichiers->GetNextSibling(f0);
  PVastNode f2 = fichiers->GetNextSibling(f1);
  ClicNoeud(fichiers, f0);
  EXPECT_EQ(Main->ActiveControl(), fichiers);
  EXPECT_EQ(Main->FichiersChoisis().size(), 1u);
  ClicNoeud(fichiers, f2, false, true);
  EXPECT_EQ(Main->FichiersChoisis().size(), 3u);
  ClicNoeud(fichiers, f1, false, false, true);
  std::vector<TFichier*> choisis = Main->FichiersChoisis();
  ASSERT_EQ(choisis.size(), 2u);
  EXPECT_EQ(choisis[0]->Nom, fichiers->TCustomVastStringTree::GetText(f0, 0));
  EXPECT_EQ(choisis[1]->Nom, fichiers->TCustomVastStringTree::GetText(f2, 0));
  // The pop-up menu's Delete is for the files now.
  Main->pmSupprPopup(Main->pmSuppr);
  EXPECT_TRUE(Main->aDel->Enabled());
  // Each row's hint is its file's name; over a cell its column cuts, the
  // cell's whole text.
  {
    auto hint = [&](PVastNode n, TColumnIndex c) {
      Integer g = 0, d = 0;
      fichiers->Header().Columns().GetColumnBounds(c, g, d);
      THintInfo info;
      info.HintControl = fichiers;
      info.CursorPos = TPoint{(g + d) / 2, LigneY(fichiers, n)};
      fichiers->NotifyHintShow(info);
      return info.HintStr;
    };
    auto texte = [&](PVastNode n, TColumnIndex c) { return fichiers->TCustomVastStringTree::GetText(n, c); };
    EXPECT_EQ(hint(f1, 0), texte(f1, 0));
    TVastTreeColumn& modifie = fichiers->Header().Columns()[2];
    const Integer largeur = modifie.Width();
    modifie.SetWidth(250);
    EXPECT_EQ(hint(f2, 2), texte(f2, 0));
    modifie.SetWidth(40);
    ASSERT_FALSE(texte(f0, 2).empty());
    EXPECT_EQ(hint(f0, 2), texte(f0, 2));
    modifie.SetWidth(largeur);
    EXPECT_EQ(modifie.Width(), 118);
  }
  // A click on the "Size" title sorts by size, a second one the other way.
  const Integer titreY = -fichiers->Header().Height() / 2;
  auto clicTitre = [&](Integer X) {
    const TPoint ecran = fichiers->ClientToScreen(TPoint{X, titreY});
    ::SendMessageW(fichiers->Handle(), WM_NCLBUTTONDOWN, HTBORDER, PointMsg(ecran.X, ecran.Y));
    ::SendMessageW(fichiers->Handle(), WM_NCLBUTTONUP, HTBORDER, PointMsg(ecran.X, ecran.Y));
  };
  Integer gauche = 0, droite = 0;
  fichiers->Header().Columns().GetColumnBounds(1, gauche, droite);
  auto tailles = [&] {
    std::vector<Int64> t;
    for (PVastNode n = fichiers->GetFirst(); n; n = fichiers->GetNextSibling(n))
      t.push_back(fichiers->GetNodeData<TInfoNoeud>(n)->Fichier->Octets);
    return t;
  };
  clicTitre((gauche + droite) / 2);
  EXPECT_EQ(fichiers->Header().SortColumn(), 1);
  std::vector<Int64> t = tailles();
  EXPECT_TRUE(std::is_sorted(t.begin(), t.end()));
  EXPECT_FALSE(std::is_sorted(t.rbegin(), t.rend()));
  clicTitre((gauche + droite) / 2);
  t = tailles();
  EXPECT_TRUE(std::is_sorted(t.rbegin(), t.rend()));
  EXPECT_EQ(fichiers->Header().SortDirection(), sdDescending);
  Capture(Main, DossierCaptures(), "main_files_selected_us");
}

TEST_F(SourisClavierTest, DeletingWhatWasClickedRemovesItFromTheServer) {
  FtpServer server({.generate = 1});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan());
  Premier();
  TVastStringTree* arbre = Main->listeDossier;
  TVastStringTree* fichiers = Main->listeFichiers;
  ASSERT_TRUE(server.Exists("zero.txt"));
  ASSERT_TRUE(server.Exists("empty"));
  const Int64 avant = Main->TailleTotale();

  // A file, clicked with the right button: asked about, then gone.
  PVastNode zero = NoeudDeTexte(fichiers, u"zero.txt");
  ASSERT_NE(zero, nullptr);
  ClicDroitMenu(fichiers, zero);
  ASSERT_TRUE(Main->aDel->Enabled());
  Monde.Reponses = {IDYES};
  Main->aDel->Execute();
  // The commands go on the deletion's worker; the window's loop runs.
  ASSERT_TRUE(Pump([] { return !Main->Session()->SuppressionEnCours(); }));
  ASSERT_EQ(Monde.Boites.size(), 1u);
  EXPECT_EQ(Monde.Boites[0].Text, u"Do you really want to delete the \"zero.txt\" file?");
  EXPECT_FALSE(server.Exists("zero.txt"));
  EXPECT_EQ(NoeudDeTexte(fichiers, u"zero.txt"), nullptr);
  EXPECT_EQ(Panneau(3), u"");

  // A folder, clicked in the tree: its parent is shown afterwards.
  TDossier* vide = scantest::Child(Main->Racine(), u"empty");
  ASSERT_NE(vide, nullptr);
  ClicDroitMenu(arbre, Main->NoeudDossier(vide));
  ASSERT_TRUE(Main->aDel->Enabled());
  Monde.Reponses = {IDYES};
  Main->aDel->Execute();
  ASSERT_TRUE(Pump([] { return !Main->Session()->SuppressionEnCours(); }));
  ASSERT_EQ(Monde.Boites.size(), 2u);
  EXPECT_EQ(Monde.Boites[1].Text, u"Do you really want to delete \"empty\" folder and all its contents?");
  EXPECT_FALSE(server.Exists("empty"));
  EXPECT_EQ(scantest::Child(Main->Racine(), u"empty"), nullptr);
  EXPECT_EQ(NoeudDeTexte(arbre, u"empty"), nullptr);
  EXPECT_EQ(Main->DossierChoisi(), Main->Racine());
  EXPECT_EQ(Main->TailleTotale(), avant);  // both were empty
}

TEST_F(SourisClavierTest, DuringAScanDeleteIsRefusedAndAClickOnTheBusyBarCancels) {
  FtpServer server({.generate = 2, .slowListSeconds = 0.15});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(Pump([&] { return Main->Racine() && Main->Session()->Modele().NombreDossiers() > 3; }));
  Premier();
  ASSERT_TRUE(Main->Session()->ScanEnCours());
  ASSERT_TRUE(Main->Wait->Visible());
  EXPECT_FALSE(Main->pbOccupe->Visible());

  // A folder clicked while the walk goes on: selected, but not deletable,
  // whether asked through the menu or straight through the action.
  TDossier* dossier = Main->Racine()->SousDossiers.front().get();
  ClicDroitMenu(Main->listeDossier, Main->NoeudDossier(dossier));
  ASSERT_TRUE(Pump([&] { return Main->DossierChoisi() == dossier; }, 5000));
  EXPECT_FALSE(Main->aDel->Enabled());
  Main->aDel->SetEnabled(true);
  const std::size_t commandes = server.Commands().size();
  Main->aDel->Execute();
  EXPECT_TRUE(Monde.Boites.empty());
  for (std::size_t i = commandes; i < server.Commands().size(); ++i)
    EXPECT_TRUE(server.Commands()[i].rfind(u"RMD", 0) != 0 && server.Commands()[i].rfind(u"DELE", 0) != 0);

  // The busy bar, clicked where it lies in the status bar.
  Capture(Main, DossierCaptures(), "main_scanning_us");
  const TPoint milieu{Main->Wait->Left() + Main->Wait->Width() / 2, Main->Wait->Top() + Main->Wait->Height() / 2};
  Clic(Main->SBar->Handle(), milieu.X, milieu.Y);
  ASSERT_TRUE(AttendScan(1, 30000));
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Annule);
  EXPECT_EQ(Panneau(3), u"Cancelled");
  EXPECT_FALSE(Main->Wait->Visible());
  EXPECT_TRUE(Main->pbOccupe->Visible());
  EXPECT_EQ(scantest::CheckConsistent(Main->Racine()), Main->Racine()->OctetsTotal());
  EXPECT_EQ(Main->TailleTotale(), Main->Racine()->Total());
  EXPECT_LT(Main->Session()->Modele().NombreDossiers(), 40u);
}

// Right click on a folder, Delete chosen in its menu, three times running:
// the command deletes the clicked row while the click's button-up is still
// being handled. No freed row is clicked afterwards, each right click
// works, and Quit then ends the program, which saves its settings.
TEST_F(SourisClavierTest, RightClickDeleteThreeTimesThenQuit) {
  FtpServer server;
  server.Start();
  for (const char* d : {"d1", "d2", "d3", "d4"}) server.MakeFile(std::string(d) + "/f.bin", 1024);
  EcritReglages("<Quorvel><Options><AutoCheck>0</AutoCheck><SaveLastConnect>1</SaveLastConnect></Options></Quorvel>");
  Demarre(Params(server, {u"-passive", u"-US"}));
  Application->SetMainForm(Main);  // as the program's entry makes it
  ASSERT_TRUE(AttendScan());
  Premier();
  TVastStringTree* arbre = Main->listeDossier;
  // Clicks reported for rows already freed.
  std::set<PVastNode> liberes;
  int clicsLiberes = 0, clics = 0;
  auto liberation = arbre->OnFreeNode;
  arbre->OnFreeNode = [&liberes, liberation](TBaseVastTree* s, PVastNode n) {
    liberes.insert(n);
    if (liberation) liberation(s, n);
  };
  arbre->OnNodeClick = [&](TBaseVastTree*, const THitInfo& h) {
    ++clics;
    if (liberes.count(h.HitNode)) ++clicsLiberes;
  };
  for (int tour = 0; tour < 3; ++tour) {
    SCOPED_TRACE("round " + std::to_string(tour + 1));
    ASSERT_FALSE(Main->Racine()->SousDossiers.empty());
    TDossier* d = Main->Racine()->SousDossiers.front().get();
    const String nom = d->Nom;
    Monde.Reponses = {IDYES};
    const std::size_t boites = Monde.Boites.size();
    ASSERT_TRUE(ClicDroitPremiereCommande(arbre, Main->NoeudDossier(d)));
    ASSERT_EQ(Monde.Boites.size(), boites + 1) << "Delete was not chosen";
    ASSERT_TRUE(Pump([] { return !Main->Session()->SuppressionEnCours(); }));
    EXPECT_EQ(Monde.Boites.back().Text, u"Do you really want to delete \"" + nom + u"\" folder and all its contents?");
    EXPECT_FALSE(server.Exists(U8(nom)));
    EXPECT_EQ(NoeudDeTexte(arbre, nom), nullptr);
    EXPECT_EQ(Main->DossierChoisi(), Main->Racine());
    EXPECT_EQ(clicsLiberes, 0);
    PumpMessagesFor(50);
  }
  EXPECT_EQ(Main->Racine()->SousDossiers.size(), 1u);
  // A right click on the folder left is an ordinary click on it.
  TDossier* reste = Main->Racine()->SousDossiers.front().get();
  EXPECT_TRUE(ClicDroitMenu(arbre, Main->NoeudDossier(reste)));
  EXPECT_EQ(Main->DossierChoisi(), reste);
  EXPECT_EQ(clicsLiberes, 0);
  EXPECT_GE(clics, 1);
  Capture(Main, DossierCaptures(), "main_three_deletes_us");

  // Quit: the window asks the program's loop to end, and the forms then go
  // as the program's entry frees them, promptly, the settings written.
  HWND fenetre = Main->Handle();
  Main->aQuit->Execute();
  MSG fin;
  EXPECT_TRUE(::PeekMessageW(&fin, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program's loop would not end";
  EXPECT_FALSE(::IsWindowVisible(fenetre));
  const auto debut = std::chrono::steady_clock::now();
  Ferme();
  EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(10));
  EXPECT_FALSE(::IsWindow(fenetre));
  TOxSimpleXML xml;
  xml.LoadFromFile(String(reinterpret_cast<const Char*>((Travail / "Quorvel.xml").wstring().c_str())));
  EXPECT_EQ(LitOption(xml, u"LastPort", u"(absent)"), IntToStr(server.Port()));
}

}  // namespace
