// The main window scanning a real FTP server on loopback, end to end: the
// command line, the log-in, the walk, the panels, the log pane, the pie's
// slices and the settings file after closing.
#include <functional>
#include <set>

#include "AppWinTestSupport.h"
#include "app/GraphiqueDossier.h"
#include "app/core/Affichage.h"
#include "tests/app/core/ScanTestSupport.h"
#include "tests/fixture/FtpFixture.h"
#include "xml/OxSimpleXml.h"

namespace {

using namespace apptest;
using scantest::Wire;

class MainScanTest : public AppFixture {
protected:
  // The commands the log pane shows, in order.
  std::vector<String> CommandesDuLog(const String& Label) {
    std::vector<String> out;
    const String prefix = Label + u"\t";
    for (const String& l : LignesLog())
      if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l.substr(prefix.size()));
    return out;
  }

  // The server's command log as the client wrote it, PASS masked.
  static std::vector<String> CommandesServeur(const FtpServer& server) {
    std::vector<String> out;
    for (const String& c : server.Commands()) out.push_back(MasqueCommande(Wire(U8(c))));
    return out;
  }

  // CWD of every folder below the root, depth first in listing order: the walk.
  static void Parcours(const TDossier* d, std::vector<String>& out) {
    for (const auto& c : d->SousDossiers) {
      out.push_back(u"CWD " + c->Chemin);
      if (c->Etat != TEtatDossier::Boucle) Parcours(c.get(), out);
    }
  }
};

TEST_F(MainScanTest, EnglishScanShowsTheTreeTotalsPanelsAndMaskedLog) {
  FtpServer server({.generate = 2});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan()) << U8(Panneau(0)) << " / " << U8(Panneau(3));
  const TResultatScan& r = Main->DernierResultat;
  EXPECT_EQ(r.Fin, TFinScan::Termine) << U8(r.Message);
  ASSERT_NE(Main->Racine(), nullptr);

  // The model against the files on disk.
  scantest::ExpectedMap expected;
  const Int64 octets = scantest::ExpectedWalk(server.Root(), "", {}, expected);
  const Int64 total = octets / 1024;
  scantest::CompareWithDisk(Main->Racine(), expected);
  EXPECT_EQ(Main->TailleTotale(), total);
  EXPECT_EQ(Main->Racine()->Nom, u"127.0.0.1:" + IntToStr(server.Port()));

  // Panels, in English.
  EXPECT_EQ(Main->Caption(), u"Folder sizes of FTP sites");
  EXPECT_EQ(Panneau(0), u"Connected");
  EXPECT_EQ(Panneau(3), u"Finished");
  const Int64 autorise = 10LL * 1024 * 1024;  // the form's 10 Gio
  EXPECT_EQ(Panneau(2), u"Free: " + FormatTaille(autorise - total));
  EXPECT_TRUE(Main->aDeco->Enabled());
  // The usage bar is back in panel 1, the busy bar gone.
  EXPECT_TRUE(Main->pbOccupe->Visible());
  EXPECT_FALSE(Main->Wait->Visible());
  EXPECT_EQ(Main->pbOccupe->Position(), PourcentageOccupation(total, autorise));
  // Less room: the bar follows, and stops at its maximum.
  Main->cbUnite->SetItemIndex(0);
  Main->SetDispo(1);
  Main->seDispoChange(nullptr);
  EXPECT_EQ(Main->pbOccupe->Position(), 100);
  EXPECT_EQ(Panneau(2), u"Free: " + FormatTaille(1024 - total));
  Main->cbUnite->SetItemIndex(1);
  Main->SetDispo(10);
  Main->seDispoChange(nullptr);

  // The log pane: every line labelled, the password masked, and the
  // commands exactly those the server received, in the same order.
  const std::vector<String> lignes = LignesLog();
  ASSERT_FALSE(lignes.empty());
  for (const String& l : lignes) {
    EXPECT_TRUE(l.rfind(u"Answer:\t", 0) == 0 || l.rfind(u"Command:\t", 0) == 0) << U8(l);
    EXPECT_EQ(l.find(server.Password()), String::npos) << U8(l);
  }
  const std::vector<String> commandes = CommandesDuLog(u"Command:");
  EXPECT_EQ(commandes, CommandesServeur(server));
  EXPECT_NE(std::find(commandes.begin(), commandes.end(), u"PASS " + String(server.Password().size(), u'*')),
            commandes.end());

  // The walk: one CWD per folder below the root, depth first, and one
  // listing per folder (a CWD to the root's own path may come first, and
  // one more listing when the client checks a listing option once).
  std::vector<String> cwd;
  Parcours(Main->Racine(), cwd);
  std::vector<String> cwdServeur;
  std::size_t lists = 0;
  for (const String& c : CommandesServeur(server)) {
    if (c.rfind(u"CWD ", 0) == 0) cwdServeur.push_back(c);
    if (c == u"LIST" || c.rfind(u"LIST ", 0) == 0) ++lists;
  }
  if (!cwdServeur.empty() && cwdServeur.front() == u"CWD " + Main->Racine()->Chemin &&
      (cwd.empty() || cwd.front() != cwdServeur.front()))
    cwdServeur.erase(cwdServeur.begin());
  EXPECT_EQ(cwdServeur, cwd);
  EXPECT_GE(lists, Main->Session()->Modele().NombreDossiers());
  EXPECT_LE(lists, Main->Session()->Modele().NombreDossiers() + 1);

  // The pie of the root: the free space and the folder's total, whatever
  // the grouping, in slices coloured from the chart's table in turn.
  const TGraphique& g = Main->Graphique();
  double somme = 0;
  for (const TPartGraphique& p : g.Parts) somme += p.Valeur;
  EXPECT_NEAR(somme, static_cast<double>(autorise - total) + octets / 1024.0, 1e-6);
  ASSERT_FALSE(g.Parts.empty());
  EXPECT_EQ(g.Parts[0].Legende, u"Free");
  for (std::size_t i = 0; i < g.Parts.size(); ++i) EXPECT_EQ(g.Parts[i].Couleur, CouleursGraphique[i % 14]);
  EXPECT_EQ(g.Titre, u"Folder " + FormatOctets(octets) + u"\r\n" + Main->Racine()->Chemin);
  // ...and the chart holds exactly those points, under that title.
  const std::vector<TPointGraphique> points = PointsGraphique(Main->zolChart);
  ASSERT_EQ(points.size(), g.Parts.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_DOUBLE_EQ(points[i].Valeur, g.Parts[i].Valeur);
    EXPECT_EQ(points[i].Legende, g.Parts[i].Legende);
    EXPECT_EQ(points[i].Couleur, g.Parts[i].Couleur);
  }
  EXPECT_EQ(TitreGraphique(Main->zolChart), g.Titre);
  // The legend toggle and the pie's size.
  Main->miCacherLegendeClick(nullptr);
  EXPECT_FALSE(LegendePieVisible(Main->zolChart));
  EXPECT_EQ(Main->miCacherLegende->Caption(), u"&Show legend");
  Main->miCacherLegendeClick(nullptr);
  EXPECT_TRUE(LegendePieVisible(Main->zolChart));
  Main->pClientResize(nullptr);
  EXPECT_GT(TaillePieGraphique(Main->zolChart), 0);
  // Without free space and grouping: the root's own files and its folders.
  Main->miEspaceLibreClick(nullptr);
  Main->miGrouperClick(nullptr);
  {
    const std::vector<TPointGraphique> p = PointsGraphique(Main->zolChart);
    double s = 0;
    for (const TPointGraphique& x : p) s += x.Valeur;
    EXPECT_NEAR(s, octets / 1024.0, 1e-6);
    for (const TPointGraphique& x : p) EXPECT_NE(x.Legende, u"Free");
  }
  Main->miEspaceLibreClick(nullptr);
  Main->miGrouperClick(nullptr);

  // The folder tree: one node per folder, in name order, with the folder's
  // name and total; the root expanded and selected.
  TVastStringTree* arbre = Main->listeDossier;
  EXPECT_EQ(arbre->Header().Columns()[0].Text(), u"Folder");
  EXPECT_EQ(arbre->Header().Columns()[1].Text(), u"Size");
  std::function<void(PVastNode, const TDossier*)> compare = [&](PVastNode n, const TDossier* d) {
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(arbre->TCustomVastStringTree::GetText(n, 0), d->Nom);
    EXPECT_EQ(arbre->TCustomVastStringTree::GetText(n, 1), FormatOctets(d->OctetsTotal()));
    ASSERT_EQ(n->ChildCount, d->SousDossiers.size()) << U8(d->Chemin);
    PVastNode c = arbre->GetFirstChild(n);
    for (const auto& sd : d->SousDossiers) {
      compare(c, sd.get());
      c = arbre->GetNextSibling(c);
    }
  };
  ASSERT_EQ(arbre->RootNodeCount(), 1u);
  compare(arbre->GetFirst(), Main->Racine());
  EXPECT_TRUE(arbre->GetExpanded(arbre->GetFirst()));
  EXPECT_EQ(Main->DossierChoisi(), Main->Racine());

  // The file list: the root's files, by name; a click on "Size" sorts by
  // size, ascending then descending.
  TVastStringTree* fichiers = Main->listeFichiers;
  EXPECT_EQ(fichiers->Header().Columns()[2].Text(), u"Modified");
  auto colonne = [&](TColumnIndex c) {
    std::vector<String> out;
    for (PVastNode n = fichiers->GetFirst(); n; n = fichiers->GetNextSibling(n))
      out.push_back(fichiers->TCustomVastStringTree::GetText(n, c));
    return out;
  };
  std::vector<String> noms;
  for (const auto& f : Main->Racine()->Fichiers) noms.push_back(f->Nom);
  std::sort(noms.begin(), noms.end(), [](const String& a, const String& b) { return CompareText(a, b) < 0; });
  EXPECT_EQ(colonne(0), noms);
  TVTHeaderHitInfo clic;
  clic.Column = 1;
  Main->listeFichiersHeaderClick(&fichiers->Header(), clic);
  std::vector<Int64> tailles;
  for (PVastNode n = fichiers->GetFirst(); n; n = fichiers->GetNextSibling(n))
    tailles.push_back(fichiers->GetNodeData<TInfoNoeud>(n)->Fichier->Octets);
  EXPECT_TRUE(std::is_sorted(tailles.begin(), tailles.end()));
  Main->listeFichiersHeaderClick(&fichiers->Header(), clic);
  tailles.clear();
  for (PVastNode n = fichiers->GetFirst(); n; n = fichiers->GetNextSibling(n))
    tailles.push_back(fichiers->GetNodeData<TInfoNoeud>(n)->Fichier->Octets);
  EXPECT_TRUE(std::is_sorted(tailles.rbegin(), tailles.rend()));
  clic.Column = 0;
  Main->listeFichiersHeaderClick(&fichiers->Header(), clic);
  EXPECT_EQ(colonne(0), noms);

  // Selecting a sub-folder lists its files and draws its pie.
  TDossier* premier = Main->Racine()->SousDossiers.front().get();
  Main->SelectionneDossier(premier);
  EXPECT_EQ(fichiers->RootNodeCount(), premier->Fichiers.size());
  EXPECT_EQ(Main->DossierSelectionne(), premier);

  Main->SelectionneDossier(Main->Racine());
  Capture(Main, DossierCaptures(), "main_us");
  EXPECT_TRUE(EnregistreGraphique(
      Main->zolChart, String(reinterpret_cast<const Char*>((DossierCaptures() / "pie_us.png").wstring().c_str()))));

  // Closing writes the options back.
  Ferme();
  TOxSimpleXML xml;
  xml.LoadFromFile(String(reinterpret_cast<const Char*>((Travail / "Quorvel.xml").wstring().c_str())));
  EXPECT_EQ(xml.Root()->Name(), u"Quorvel");
  EXPECT_EQ(LitOption(xml, u"AutoCheck", u"?"), u"0");
  EXPECT_EQ(LitOption(xml, u"SaveLastConnect", u"?"), u"0");
  EXPECT_EQ(LitOption(xml, u"Langue", u"?"), u"");
  EXPECT_EQ(LitOption(xml, u"LastPass", u"absent"), u"absent");
}

TEST_F(MainScanTest, FrenchScanAndKeptConnection) {
  EcritReglages("<Quorvel><Options><AutoCheck>0</AutoCheck><SaveLastConnect>1</SaveLastConnect></Options></Quorvel>");
  FtpServer server({.generate = 2});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-FR", u"-racine=Leerer Ordner"}));
  ASSERT_TRUE(AttendScan());
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Termine);
  // The start folder gets its leading "/" and names the root.
  EXPECT_EQ(Main->edRacine->Text(), u"/Leerer Ordner");
  EXPECT_EQ(Main->Racine()->Nom, u"/Leerer Ordner");
  EXPECT_EQ(Main->Caption(), u"Occupation site FTP");
  EXPECT_EQ(Panneau(0), u"Connecté");
  EXPECT_EQ(Panneau(3), u"Terminé");
  const std::vector<String> lignes = LignesLog();
  ASSERT_FALSE(lignes.empty());
  EXPECT_EQ(lignes[0].rfind(u"Réponse :\t220", 0), 0u) << U8(lignes[0]);

  // The whole account again, for the picture.
  Main->edRacine->SetText(String());
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(AttendScan(2));
  Capture(Main, DossierCaptures(), "main_fr");
  Main->edRacine->SetText(u"/Leerer Ordner");

  Ferme();
  TOxSimpleXML xml;
  xml.LoadFromFile(String(reinterpret_cast<const Char*>((Travail / "Quorvel.xml").wstring().c_str())));
  EXPECT_EQ(LitOption(xml, u"LastHost", u"?"), server.Host());
  EXPECT_EQ(LitOption(xml, u"LastPort", u"?"), IntToStr(server.Port()));
  EXPECT_EQ(LitOption(xml, u"LastDir", u"?"), u"/Leerer Ordner");
  EXPECT_EQ(LitOption(xml, u"LastPassif", u"?"), u"1");
}

// Variants of one scan: the mode, a refused folder, a link back to a folder
// above it, a dropped connection.
struct Variante {
  const char* nom;
  FtpServerOptions options;
  bool passif;
  std::set<std::string> refuses;
  TFinScan fin;
  // Folders not entered (UTF-8 paths below the root) and their hints.
  std::vector<std::pair<std::string, String>> boucles{};
};

// How the folder tree shows a folder: its text colour, the overlay on its
// image, its hint (the node is not selected).
struct Aspect {
  TColor couleur;
  TImageIndex overlay;
  String hint;
};

Aspect AspectDe(TVastStringTree* Arbre, PVastNode Noeud) {
  Aspect a;
  Arbre->ScrollIntoView(Noeud, false, false);
  TFont police;
  TRect r;
  String texte;
  Arbre->GetTextInfo(Noeud, 1, &police, r, texte);
  a.couleur = police.Color();
  bool fantome = false;
  a.overlay = -1;
  Arbre->OnGetImageIndex(Arbre, Noeud, ikOverlay, 0, fantome, a.overlay);
  THintInfo info;
  info.HintControl = Arbre;
  info.CursorPos = PointTexte(Arbre, Noeud);
  Arbre->NotifyHintShow(info);
  a.hint = info.HintStr;
  return a;
}

TEST_F(MainScanTest, VariantsOfModeRefusalAndDroppedConnection) {
  const std::vector<Variante> cas = {
      {"active mode", {.generate = 1, .activeOnly = true}, false, {}, TFinScan::Termine},
      {"refused folder", {.generate = 1, .refuseCwd = {"/empty"}}, true, {"empty"}, TFinScan::Termine},
      {"link back",
       {.generate = 1, .withLoopLink = true},
       true,
       {},
       TFinScan::Termine,
       {{"loop/inner/back to loop", u"-> /loop"}}},
      {"dropped connection", {.generate = 1, .dropList = {"/empty"}}, true, {}, TFinScan::Erreur},
  };
  int n = 0;
  for (const Variante& v : cas) {
    SCOPED_TRACE(v.nom);
    FtpServer server(v.options);
    server.Start();
    std::vector<String> extra = {u"-US"};
    if (v.passif) extra.push_back(u"-passive");
    Demarre(Params(server, extra));
    ASSERT_TRUE(AttendScan());
    ++n;
    EXPECT_EQ(Main->DernierResultat.Fin, v.fin) << U8(Main->DernierResultat.Message);
    EXPECT_EQ(Main->cbPassif->Checked(), v.passif);
    if (v.fin == TFinScan::Termine) {
      scantest::ExpectedMap expected;
      const Int64 octets = scantest::ExpectedWalk(server.Root(), "", v.refuses, expected);
      scantest::CompareWithDisk(Main->Racine(), expected);
      EXPECT_EQ(Main->TailleTotale(), octets / 1024);
      EXPECT_EQ(Panneau(3), u"Finished");
      // A folder the walk listed: drawn as the others, no mark, no hint.
      TVastStringTree* arbre = Main->listeDossier;
      arbre->FullExpand(nullptr);
      TDossier* liste = scantest::Child(Main->Racine(), Wire("Leerer Ordner"));
      ASSERT_NE(liste, nullptr);
      const Aspect normal = AspectDe(arbre, Main->NoeudDossier(liste));
      EXPECT_NE(normal.couleur, clGrayText);
      EXPECT_EQ(normal.overlay, -1);
      EXPECT_EQ(normal.hint, u"");
      // Those it could not list or enter: greyed, marked, and why.
      PVastNode marque = nullptr;
      for (const std::string& f : v.refuses) {
        TDossier* d = scantest::Child(Main->Racine(), Wire(f));
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Etat, TEtatDossier::AccesRefuse);
        const Aspect a = AspectDe(arbre, Main->NoeudDossier(d));
        EXPECT_EQ(a.couleur, clGrayText);
        EXPECT_EQ(a.overlay, Image::MarqueRefus);
        EXPECT_EQ(a.hint.rfind(u"550", 0), 0u) << U8(a.hint);
        EXPECT_EQ(a.hint, d->Reponse);
        marque = Main->NoeudDossier(d);
        // Selected, it takes the selection's colours like any row.
        Main->SelectionneDossier(d);
        EXPECT_NE(AspectDe(arbre, Main->NoeudDossier(d)).couleur, clGrayText);
        Main->SelectionneDossier(Main->Racine());
      }
      for (const auto& [chemin, hint] : v.boucles) {
        TDossier* d = Main->Racine();
        for (std::size_t debut = 0; d && debut <= chemin.size();) {
          const std::size_t fin = std::min(chemin.find('/', debut), chemin.size());
          d = scantest::Child(d, Wire(chemin.substr(debut, fin - debut)));
          debut = fin + 1;
        }
        ASSERT_NE(d, nullptr) << chemin;
        EXPECT_EQ(d->Etat, TEtatDossier::Boucle);
        const Aspect a = AspectDe(arbre, Main->NoeudDossier(d));
        EXPECT_EQ(a.couleur, clGrayText);
        EXPECT_EQ(a.overlay, Image::MarqueBoucle);
        EXPECT_EQ(a.hint, hint);
        marque = Main->NoeudDossier(d);
      }
      if (marque) {
        arbre->ScrollIntoView(marque, true, false);
        Capture(Main, DossierCaptures(), std::string("main_marked_") + (v.boucles.empty() ? "refused" : "loop"));
      }
    } else {
      EXPECT_EQ(Panneau(3).rfind(u"Error", 0), 0u) << U8(Panneau(3));
    }
    Ferme();
  }
  EXPECT_EQ(n, 4);
}

TEST_F(MainScanTest, CancelKeepsPartialTotalsAndConnectAgainRestarts) {
  FtpServer server({.generate = 2, .slowListSeconds = 0.15});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(Pump([&] { return Main->Racine() && Main->Session()->Modele().NombreDossiers() > 3; }));
  // A click on the busy bar.
  EXPECT_TRUE(Main->Wait->Visible());
  EXPECT_FALSE(Main->pbOccupe->Visible());
  Main->Wait->Click();
  ASSERT_TRUE(AttendScan(1));
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Annule);
  EXPECT_EQ(Panneau(3), u"Cancelled");
  EXPECT_EQ(scantest::CheckConsistent(Main->Racine()), Main->Racine()->OctetsTotal());
  EXPECT_EQ(Main->TailleTotale(), Main->Racine()->Total());

  // Connect while a scan runs: the scan stops, QUIT, a new log-in and scan.
  server.ClearCommands();
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(Pump([&] { return Main->Session()->ScanEnCours(); }, 20000));
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(AttendScan(3, 180000));
  const std::vector<String> c = server.Commands();
  EXPECT_EQ(std::count(c.begin(), c.end(), u"QUIT"), 2);
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Termine);
}

// Closing the window while a listing is pending stops the walk first: the
// scan ends as cancelled with consistent partial totals, nothing more is
// entered or listed, and the settings are written when the program ends.
TEST_F(MainScanTest, ClosingTheWindowDuringAScanStopsItFirst) {
  EcritReglages("<Quorvel><Options><AutoCheck>0</AutoCheck><SaveLastConnect>1</SaveLastConnect></Options></Quorvel>");
  FtpServer server({.generate = 2, .slowListSeconds = 1.0});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  auto parcours = [](const String& c) { return c.rfind(u"LIST", 0) == 0 || c.rfind(u"CWD", 0) == 0; };
  auto lists = [&] {
    const std::vector<String> c = server.Commands();
    return std::count_if(c.begin(), c.end(), [](const String& x) { return x.rfind(u"LIST", 0) == 0; });
  };
  ASSERT_TRUE(Pump([&] { return lists() >= 2; }, 30000));
  ASSERT_TRUE(Main->Session()->ScanEnCours());
  ::SendMessageW(Main->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(Main->Session()->ScanEnCours());
  EXPECT_EQ(Main->ScansTermines, 1);
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Annule);
  EXPECT_FALSE(Main->Visible());
  const std::size_t vus = server.Commands().size();
  PumpMessagesFor(1500);
  const std::vector<String> apres = server.Commands();
  for (std::size_t i = vus; i < apres.size(); ++i) EXPECT_FALSE(parcours(apres[i])) << U8(apres[i]);
  EXPECT_EQ(scantest::CheckConsistent(Main->Racine()), Main->Racine()->OctetsTotal());
  EXPECT_EQ(Main->TailleTotale(), Main->Racine()->Total());

  Ferme();
  TOxSimpleXML xml;
  xml.LoadFromFile(String(reinterpret_cast<const Char*>((Travail / "Quorvel.xml").wstring().c_str())));
  EXPECT_EQ(LitOption(xml, u"LastHost", u"?"), server.Host());
  EXPECT_EQ(LitOption(xml, u"LastPort", u"?"), IntToStr(server.Port()));
}

// The tree shows the walk as it goes: it is painted during the scan, not
// only once the scan is over.
TEST_F(MainScanTest, TheFolderTreeIsPaintedWhileTheScanRuns) {
  FtpServer server({.generate = 2, .slowListSeconds = 0.3});
  server.Start();
  Cree(Params(server, {u"-passive", u"-US"}));
  int peintures = 0;
  Main->listeDossier->OnAfterPaint = [&](TBaseVastTree*, TCanvas*) { ++peintures; };
  Main->Show();
  ASSERT_TRUE(Pump([&] { return Main->Racine() && Main->Session()->Modele().NombreDossiers() > 3; }));
  peintures = 0;
  // Several ticks of the tree's screen updates.
  PumpMessagesFor(1500);
  ASSERT_TRUE(Main->Session()->ScanEnCours()) << "the scan ended too soon to tell";
  EXPECT_GT(peintures, 0);
  Capture(Main, DossierCaptures(), "arbre-pendant-le-scan");
  Main->Wait->Click();
  ASSERT_TRUE(AttendScan());
}

TEST_F(MainScanTest, LoginFailureShowsErrorAndKeepsThePreviousTree) {
  FtpServer server({.generate = 1});
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan());
  TDossier* racine = Main->Racine();
  Main->edPass->SetText(u"wrong");
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(Pump([] { return !Main->Session()->LoginEnCours(); }));
  EXPECT_EQ(Panneau(0), u"Error");
  EXPECT_FALSE(Main->aDeco->Enabled());
  EXPECT_EQ(Main->Racine(), racine);
  EXPECT_EQ(Main->ScansTermines, 1);
  // Why, beside it and in the log: the server's refusal.
  const String pourquoi = Main->Session()->DerniereErreur();
  EXPECT_NE(pourquoi.find(u"530"), String::npos) << U8(pourquoi);
  EXPECT_EQ(Panneau(3), u"Error : " + pourquoi);
  PumpMessagesFor(300);
  const std::vector<String> lignes = LignesLog();
  EXPECT_NE(std::find_if(lignes.begin(), lignes.end(),
                         [&](const String& l) { return l.find(u"Error : " + pourquoi) != String::npos; }),
            lignes.end());
  Capture(Main, DossierCaptures(), "login_failed_us");
  // A closed port says so too.
  int ferme = 0;
  {
    FtpServer autre;
    autre.Start();
    ferme = autre.Port();
  }
  Main->SetPort(ferme);
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(Pump([] { return !Main->Session()->LoginEnCours(); }));
  EXPECT_EQ(Panneau(0), u"Error");
  EXPECT_NE(Panneau(3).find(u"(10061)"), String::npos) << U8(Panneau(3));
}

// A cancelled scan says so, and the folders it never reached show as not
// scanned, not as empty ones.
TEST_F(MainScanTest, CancelledScanAndUnreachedFolders) {
  FtpServer server;
  server.Start();
  for (const char* f : {"t/a/x.bin", "t/b/x.bin", "t/c/x.bin"}) server.MakeFile(f, 3000);
  Cree(Params(server, {u"-passive", u"-US", u"-racine=/t"}));
  Main->Show();
  // Cancelled as soon as the root's listing is in.
  ASSERT_TRUE(Pump([&] { return Main->Racine() && !Main->Racine()->SousDossiers.empty(); }));
  Main->WaitClick(nullptr);
  ASSERT_TRUE(AttendScan());
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Annule);
  EXPECT_EQ(Panneau(3), u"Cancelled");
  TVastStringTree* arbre = Main->listeDossier;
  int nonParcourus = 0;
  for (const auto& d : Main->Racine()->SousDossiers) {
    const String taille = arbre->TCustomVastStringTree::GetText(Main->NoeudDossier(d.get()), 1);
    if (d->Etat == TEtatDossier::NonParcouru) {
      ++nonParcourus;
      EXPECT_EQ(taille, u"not scanned");
    } else {
      EXPECT_EQ(taille, FormatOctets(d->OctetsTotal()));
    }
  }
  EXPECT_GE(nonParcourus, 1);
}

// A start folder that does not exist is an error, with the server's reply,
// and its root is not shown as an empty folder that was scanned.
TEST_F(MainScanTest, MissingStartFolderIsAnError) {
  FtpServer server;
  server.Start();
  Demarre(Params(server, {u"-passive", u"-US", u"-racine=/nope"}));
  ASSERT_TRUE(AttendScan());
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Erreur);
  EXPECT_EQ(Panneau(3).rfind(u"Error : CWD /nope: 550", 0), 0u) << U8(Panneau(3));
  EXPECT_EQ(Main->Racine()->Etat, TEtatDossier::AccesRefuse);
  String hint;
  Main->listeDossierGetHint(Main->listeDossier, Main->NoeudDossier(Main->Racine()), 0, hint);
  EXPECT_NE(hint.find(u"550"), String::npos);
}

// A language switch alone neither connects nor changes the remembered
// passive mode; with connection parameters it does as before.
TEST_F(MainScanTest, LanguageSwitchAloneDoesNotConnect) {
  EcritReglages(
      "<Quorvel><Options><AutoCheck>0</AutoCheck><SaveLastConnect>1</SaveLastConnect><LastHost>127.0.0.1</LastHost>"
      "<LastPassif>1</LastPassif></Options></Quorvel>");
  Demarre({u"-FR"});
  PumpMessagesFor(300);
  EXPECT_TRUE(Main->cbPassif->Checked());
  EXPECT_EQ(Main->edHost->Text(), u"127.0.0.1");
  EXPECT_FALSE(Main->Session()->ScanEnCours());
  EXPECT_EQ(Main->ScansTermines, 0);
  EXPECT_EQ(Panneau(0), u"");
  EXPECT_EQ(Main->Caption(), u"Occupation site FTP");
}

}  // namespace

namespace {

using namespace apptest;

// What the scan engine found out about real servers, as the window shows
// it: on an account whose login folder is /home/u, no start folder scans
// that folder (its path in the pie's title) and a start folder without "/"
// lies below it (the field shows the full path); names beginning with "."
// are counted where a plain listing hides them; UTF-8 names show as
// written; listing lines not understood are told in the log, and the end
// of the scan says the totals may be short.
class MainMoteurTest : public MainScanTest {
protected:
  static FtpServerOptions Options(bool LigneInconnue) {
    FtpServerOptions o;
    o.loginFolder = "/home/u";
    o.hideDotFiles = true;
    if (LigneInconnue) o.extraListLine = "d????????? ? ? ? ? ? ? not a listing line";
    return o;
  }
  static void Remplit(FtpServer& server) {
    server.MakeFile("home/u/.htaccess", 2048);
    server.MakeFile("home/u/.cache/blob.bin", 100 * 1024);
    server.MakeFile("home/u/Café Crème/menu.txt", 3000);
    server.MakeFile("home/u/www/index.html", 5 * 1024);
    // Same names from the server's root: never to be scanned here.
    server.MakeFile("www/autre.bin", 50 * 1024);
  }
  // The sizes on disk below a folder of the server (UTF-8 path).
  static scantest::ExpectedMap Attendu(const FtpServer& server, const std::string& Dossier) {
    scantest::ExpectedMap m;
    scantest::ExpectedWalk(server.PathOf(Dossier), "", {}, m);
    return m;
  }
  std::vector<String> Notes() {
    std::vector<String> out;
    for (const String& l : LignesLog())
      if (l.rfind(GetMsg(u"Reponse") + u"\t", 0) != 0 && l.rfind(GetMsg(u"Commande") + u"\t", 0) != 0) out.push_back(l);
    return out;
  }
};

TEST_F(MainMoteurTest, NoStartFolderScansTheLoginFolderWithHiddenAndUtf8Names) {
  FtpServer server(Options(true));
  server.Start();
  Remplit(server);
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan());
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Termine);
  TDossier* racine = Main->Racine();
  ASSERT_NE(racine, nullptr);
  EXPECT_EQ(racine->Chemin, u"/home/u");
  EXPECT_EQ(Main->edRacine->Text(), u"");
  scantest::CompareWithDisk(racine, Attendu(server, "home/u"));
  EXPECT_EQ(Main->TailleTotale(), 2 + 100 + 2 + 5);

  // The folder tree: the root by host and port, then the folders in the
  // listing's order, accents and leading dots as on the server.
  TVastStringTree* arbre = Main->listeDossier;
  PVastNode n = arbre->GetFirst();
  EXPECT_EQ(arbre->TCustomVastStringTree::GetText(n, 0), u"127.0.0.1:" + IntToStr(server.Port()));
  std::vector<String> enfants;
  for (PVastNode c = arbre->GetFirstChild(n); c; c = arbre->GetNextSibling(c))
    enfants.push_back(arbre->TCustomVastStringTree::GetText(c, 0));
  std::vector<String> attendus;
  for (const auto& d : racine->SousDossiers) attendus.push_back(d->Nom);
  EXPECT_EQ(enfants, attendus);
  EXPECT_NE(std::find(enfants.begin(), enfants.end(), u"Caf\u00e9 Cr\u00e8me"), enfants.end());
  EXPECT_NE(std::find(enfants.begin(), enfants.end(), u".cache"), enfants.end());
  for (const String& e : enfants) EXPECT_EQ(e.find(u"\u00c3"), String::npos) << U8(e);  // no mojibake
  // The root's own file, hidden on the server, in the file list.
  EXPECT_EQ(Main->listeFichiers->RootNodeCount(), 1u);
  EXPECT_EQ(Main->listeFichiers->TCustomVastStringTree::GetText(Main->listeFichiers->GetFirst(), 0), u".htaccess");
  // The pie's title names the folder scanned.
  EXPECT_EQ(TitreGraphique(Main->zolChart), u"Folder " + FormatOctets(Main->Racine()->OctetsTotal()) + u"\r\n/home/u");

  // The lines not understood: one note per folder listed, in the log
  // among the dialogue, and the end says the totals may be short.
  const std::vector<String> notes = Notes();
  EXPECT_EQ(notes.size(), Main->Session()->Modele().NombreDossiers());
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes[0],
            u"/home/u: 1 listing line(s) not understood, the first: d????????? ? ? ? ? ? ? not a listing line");
  EXPECT_EQ(Panneau(3),
            u"Finished; " + IntToStr(notes.size()) + u" listing line(s) not understood: the totals may be short");
  Capture(Main, DossierCaptures(), "main_login_folder_us");
}

TEST_F(MainMoteurTest, AStartFolderWithoutSlashLiesBelowTheLoginFolder) {
  FtpServer server(Options(false));
  server.Start();
  Remplit(server);
  Demarre(Params(server, {u"-passive", u"-FR", u"-racine=www"}));
  ASSERT_TRUE(AttendScan());
  EXPECT_EQ(Main->DernierResultat.Fin, TFinScan::Termine);
  EXPECT_EQ(Main->edRacine->Text(), u"/home/u/www");
  EXPECT_EQ(Main->Racine()->Nom, u"/home/u/www");
  EXPECT_EQ(Main->listeDossier->TCustomVastStringTree::GetText(Main->listeDossier->GetFirst(), 0), u"/home/u/www");
  scantest::CompareWithDisk(Main->Racine(), Attendu(server, "home/u/www"));
  EXPECT_EQ(Main->TailleTotale(), 5);
  EXPECT_EQ(Panneau(3), u"Terminé");
  EXPECT_TRUE(Notes().empty());
  // The next scan of the same field takes the corrected path as it is.
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(AttendScan(2));
  EXPECT_EQ(Main->edRacine->Text(), u"/home/u/www");
  EXPECT_EQ(Main->TailleTotale(), 5);
}

}  // namespace
