// Deleting remote folders and files from the main window after a scan:
// the confirmation, the commands, the files on disk, the totals shown.
#include "AppWinTestSupport.h"
#include "tests/app/core/ScanTestSupport.h"
#include "tests/fixture/FtpFixture.h"

namespace {

using namespace apptest;
using scantest::Wire;

// The report of a deletion the window started on its worker, once it ended
// (the window's message loop runs meanwhile).
TRapportSuppression Fin(const TRapportSuppression& R) {
  if (R.Issue != TIssueSuppression::EnCours) return R;
  EXPECT_TRUE(Pump([] { return !Main->Session()->SuppressionEnCours(); }, 120000));
  return Main->DerniereSuppression;
}

// Waits for the end of a deletion started by a menu item or a key.
void AttendSuppression() {
  EXPECT_TRUE(Pump([] { return !Main->Session()->SuppressionEnCours(); }, 120000));
}

class SuppressionTest : public AppFixture {
protected:
  void Scanne(FtpServer& server) {
    Demarre({u"-host=" + server.Host(), u"-port=" + IntToStr(server.Port()), u"-user=" + server.User(),
             u"-pass=" + server.Password(), u"-passive", u"-US"});
    ASSERT_TRUE(AttendScan());
  }
};

TEST_F(SuppressionTest, AFolderAndFilesAreDeletedOnTheServerAndFromTheTotals) {
  FtpServer server;
  server.Start();
  server.MakeFile("keep/a.bin", 10 * 1024);
  server.MakeFile("keep/b.bin", 20 * 1024);
  server.MakeFile("keep/c.bin", 30 * 1024);
  server.MakeFile("gone/sub/x.bin", 300 * 1024);
  Scanne(server);
  TDossier* racine = Main->Racine();
  ASSERT_EQ(Main->TailleTotale(), 360);
  TDossier* keep = scantest::Child(racine, u"keep");
  TDossier* gone = scantest::Child(racine, u"gone");
  ASSERT_TRUE(keep && gone);

  // No: nothing is sent.
  server.ClearCommands();
  Monde.Reponses = {IDNO};
  EXPECT_EQ(Fin(Main->SupprimeDossierChoisi(gone)).Issue, TIssueSuppression::Abandonnee);
  EXPECT_TRUE(server.Commands().empty());
  ASSERT_EQ(Monde.Boites.size(), 1u);
  EXPECT_EQ(Monde.Boites[0].Text, u"Do you really want to delete \"gone\" folder and all its contents?");
  EXPECT_EQ(Monde.Boites[0].Flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));

  // Two files of three: one CWD, two DELE in the order chosen.
  Monde.Reponses = {IDYES};
  std::vector<TFichier*> choix = {scantest::FileOf(keep, u"c.bin"), scantest::FileOf(keep, u"a.bin")};
  const TRapportSuppression f = Fin(Main->SupprimeFichiersChoisis(keep, choix));
  EXPECT_EQ(f.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(Monde.Boites.back().Text, u"Do you really want to delete those 2 files?");
  EXPECT_EQ(server.Commands(), (std::vector<String>{u"CWD /keep", u"DELE c.bin", u"DELE a.bin"}));
  EXPECT_FALSE(server.Exists("keep/a.bin"));
  EXPECT_TRUE(server.Exists("keep/b.bin"));
  EXPECT_FALSE(server.Exists("keep/c.bin"));
  EXPECT_EQ(keep->Total(), 20);
  EXPECT_EQ(Main->TailleTotale(), 320);
  EXPECT_EQ(Main->SBar->Panels()->Items(3)->Text(), u"");
  EXPECT_EQ(Main->SBar->Panels()->Items(2)->Text(), u"Free: " + FormatTaille(10LL * 1024 * 1024 - 320));

  // A folder goes with its contents, depth-first. A file came after the
  // scan: the server refuses its folder's RMD, so both folders stay, each
  // on screen with what the model still holds (nothing: x.bin went).
  server.WriteFile("gone/sub/later.bin", "1");
  Main->SelectionneDossier(gone);
  TDossier* sub = scantest::Child(gone, u"sub");
  server.ClearCommands();
  Monde.Reponses = {IDYES};
  const TRapportSuppression partiel = Fin(Main->SupprimeDossierChoisi(gone));
  EXPECT_EQ(partiel.Issue, TIssueSuppression::Partielle);
  EXPECT_EQ(server.Commands(), (std::vector<String>{u"CWD /gone", u"CWD /gone/sub", u"DELE x.bin", u"RMD /gone/sub"}));
  EXPECT_FALSE(server.Exists("gone/sub/x.bin"));
  EXPECT_TRUE(server.Exists("gone/sub/later.bin"));
  EXPECT_EQ(scantest::Child(gone, u"sub"), sub);
  ASSERT_NE(Main->NoeudDossier(sub), nullptr);
  EXPECT_EQ(Main->listeDossier->TCustomVastStringTree::GetText(Main->NoeudDossier(gone), 1), FormatTaille(0));
  EXPECT_EQ(Main->TailleTotale(), 20);
  EXPECT_EQ(Main->DossierChoisi(), gone);
  EXPECT_EQ(Main->DossierSelectionne(), gone);
  EXPECT_EQ(Main->SBar->Panels()->Items(3)->Text(), u"Error : sub: " + partiel.Reponse);
  Main->listeDossier->FullExpand(nullptr);
  Capture(Main, DossierCaptures(), "main_folder_partly_deleted_us");
  // Emptied on the server, the rest goes; the pie then shows the root.
  std::filesystem::remove(server.PathOf("gone/sub/later.bin"));
  server.ClearCommands();
  Monde.Reponses = {IDYES};
  EXPECT_EQ(Fin(Main->SupprimeDossierChoisi(gone)).Issue, TIssueSuppression::Faite);
  EXPECT_EQ(server.Commands(), (std::vector<String>{u"CWD /gone", u"CWD /gone/sub", u"RMD /gone/sub", u"RMD /gone"}));
  EXPECT_FALSE(server.Exists("gone"));
  EXPECT_EQ(Main->NoeudDossier(gone), nullptr);
  EXPECT_EQ(Main->NoeudDossier(sub), nullptr);
  EXPECT_EQ(Main->DossierChoisi(), racine);
  EXPECT_EQ(Main->DossierSelectionne(), racine);
  EXPECT_EQ(Main->TailleTotale(), 20);
  EXPECT_EQ(Main->SBar->Panels()->Items(3)->Text(), u"");
  // The root cannot be deleted.
  EXPECT_EQ(Fin(Main->SupprimeDossierChoisi(Main->Racine())).Issue, TIssueSuppression::Impossible);
}

TEST_F(SuppressionTest, AfterTheServerDroppedTheConnectionItLogsInAgain) {
  FtpServer server;
  server.Start();
  server.MakeFile("a/one.bin", 4 * 1024);
  server.MakeFile("a/two.bin", 4 * 1024);
  Scanne(server);
  TDossier* a = scantest::Child(Main->Racine(), u"a");
  ASSERT_NE(a, nullptr);
  Main->SBar->Panels()->Items(0)->SetText(String());

  // Closed by the server while idle: logged in again, and deleted.
  server.FaultSessions(FtpServer::SessionFault::Close);
  Monde.Reponses = {IDYES};
  std::vector<TFichier*> one = {scantest::FileOf(a, u"one.bin")};
  EXPECT_EQ(Fin(Main->SupprimeFichiersChoisis(a, one)).Issue, TIssueSuppression::Faite);
  EXPECT_FALSE(server.Exists("a/one.bin"));
  EXPECT_EQ(Main->SBar->Panels()->Items(0)->Text(), u"Connected");
  EXPECT_TRUE(Main->aDeco->Enabled());

  // Logged in elsewhere this time: nothing is deleted, and the user is told.
  server.FaultSessions(FtpServer::SessionFault::Close, {.loginFolder = "/a"});
  Monde.Reponses = {IDYES};
  EXPECT_EQ(Fin(Main->SupprimeDossierChoisi(a)).Issue, TIssueSuppression::EchecConnexion);
  EXPECT_TRUE(server.Exists("a/two.bin"));
  EXPECT_EQ(Main->TailleTotale(), 4);
  EXPECT_EQ(Main->SBar->Panels()->Items(0)->Text(), u"Error");
  EXPECT_EQ(Main->SBar->Panels()->Items(3)->Text(), u"Error : PWD \"/a\" \u2260 \"/\"");
  Capture(Main, DossierCaptures(), "main_relogin_elsewhere_us");
  EXPECT_FALSE(Main->aDeco->Enabled());
}

TEST_F(SuppressionTest, NothingIsDeletedWhileAScanRuns) {
  FtpServer server({.generate = 1, .slowListSeconds = 0.2});
  server.Start();
  Scanne(server);
  server.ClearCommands();
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(Pump([] { return Main->Session()->ScanEnCours(); }, 20000));
  ASSERT_TRUE(Pump([] { return Main->Racine() && !Main->Racine()->SousDossiers.empty(); }));
  TDossier* d = Main->Racine()->SousDossiers.front().get();
  Monde.Reponses = {IDYES, IDYES};
  EXPECT_EQ(Fin(Main->SupprimeDossierChoisi(d)).Issue, TIssueSuppression::Impossible);
  EXPECT_TRUE(Monde.Boites.empty());
  Main->WaitClick(nullptr);
  ASSERT_TRUE(AttendScan(2));
  for (const String& cmd : server.Commands()) {
    EXPECT_NE(cmd.rfind(u"RMD", 0), 0u);
    EXPECT_NE(cmd.rfind(u"DELE", 0), 0u);
  }
}

}  // namespace

namespace {

using namespace apptest;

class SuppressionListesTest : public AppFixture {};

TEST_F(SuppressionListesTest, TheListsMenuDeletesTheirSelection) {
  FtpServer server;
  server.Start();
  server.MakeFile("docs/a.txt", 4096);
  server.MakeFile("docs/b.txt", 8192);
  server.MakeFile("docs/c.txt", 2048);
  server.MakeDir("old");
  Demarre({u"-host=" + server.Host(), u"-port=" + IntToStr(server.Port()), u"-user=" + server.User(),
           u"-pass=" + server.Password(), u"-passive", u"-US"});
  ASSERT_TRUE(AttendScan());
  TDossier* docs = scantest::Child(Main->Racine(), u"docs");
  TDossier* old = scantest::Child(Main->Racine(), u"old");
  ASSERT_TRUE(docs && old);

  // The root's menu item is disabled.
  Main->SetActiveControl(Main->listeDossier);
  Main->SelectionneDossier(Main->Racine());
  Main->pmSupprPopup(nullptr);
  EXPECT_FALSE(Main->aDel->Enabled());

  // A folder from the tree: its node goes, its parent is selected.
  Main->SelectionneDossier(old);
  Main->pmSupprPopup(nullptr);
  ASSERT_TRUE(Main->aDel->Enabled());
  Monde.Reponses = {IDYES};
  Main->aDel->Execute();
  AttendSuppression();
  EXPECT_FALSE(server.Exists("old"));
  EXPECT_EQ(Main->DossierChoisi(), Main->Racine());
  EXPECT_EQ(Main->NoeudDossier(old), nullptr);
  EXPECT_EQ(Main->listeDossier->GetFirst()->ChildCount, 1u);

  // Two files from the file list, in list order.
  Main->SelectionneDossier(docs);
  TVastStringTree* fichiers = Main->listeFichiers;
  ASSERT_EQ(fichiers->RootNodeCount(), 3u);
  PVastNode a = fichiers->GetFirst();
  PVastNode c = fichiers->GetNextSibling(fichiers->GetNextSibling(a));
  fichiers->SetSelected(a, true);
  fichiers->SetSelected(c, true);
  Main->SetActiveControl(fichiers);
  Main->pmSupprPopup(nullptr);
  ASSERT_TRUE(Main->aDel->Enabled());
  server.ClearCommands();
  Monde.Reponses = {IDYES};
  Main->aDel->Execute();
  AttendSuppression();
  EXPECT_EQ(server.Commands(), (std::vector<String>{u"CWD /docs", u"DELE a.txt", u"DELE c.txt"}));
  EXPECT_FALSE(server.Exists("docs/a.txt"));
  EXPECT_TRUE(server.Exists("docs/b.txt"));
  EXPECT_EQ(fichiers->RootNodeCount(), 1u);
  EXPECT_EQ(fichiers->TCustomVastStringTree::GetText(fichiers->GetFirst(), 0), u"b.txt");
  EXPECT_EQ(Main->listeDossier->TCustomVastStringTree::GetText(Main->NoeudDossier(docs), 1), FormatTaille(8));
}

}  // namespace

namespace {

using namespace apptest;

class ToucheSupprTest : public AppFixture {
protected:
  // The server's deleting commands.
  static std::vector<String> Suppressions(const FtpServer& server) {
    std::vector<String> out;
    for (const String& c : server.Commands())
      if (c.rfind(u"RMD", 0) == 0 || c.rfind(u"DELE", 0) == 0) out.push_back(c);
    return out;
  }
};

// The Delete key in either list does what the lists' menu offers: nothing
// for the root, the folder or the files selected otherwise (after the same
// question), and nothing at all while a scan runs.
TEST_F(ToucheSupprTest, TheDeleteKeyFollowsTheMenusRules) {
  FtpServer server({.slowListSeconds = 0.3});
  server.Start();
  server.MakeFile("docs/a.txt", 4096);
  server.MakeFile("docs/b.txt", 8192);
  server.MakeDir("old");
  server.MakeFile("top.txt", 1024);
  for (int i = 0; i < 6; ++i) server.MakeDir("more/m" + std::to_string(i));
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan());
  ::SetForegroundWindow(Main->Handle());
  TVastStringTree* arbre = Main->listeDossier;
  TVastStringTree* fichiers = Main->listeFichiers;
  TDossier* docs = scantest::Child(Main->Racine(), u"docs");
  TDossier* old = scantest::Child(Main->Racine(), u"old");
  ASSERT_TRUE(docs && old);
  server.ClearCommands();

  // The root: not offered, nothing asked.
  ClicNoeud(arbre, Main->NoeudDossier(Main->Racine()));
  Monde.Reponses = {IDYES};
  Touche(arbre->Handle(), VK_DELETE);
  AttendSuppression();
  EXPECT_TRUE(Monde.Boites.empty());
  EXPECT_FALSE(Main->aDel->Enabled());

  // A folder: asked about; No keeps it, Yes deletes it.
  ClicNoeud(arbre, Main->NoeudDossier(old));
  Monde.Reponses = {IDNO};
  Touche(arbre->Handle(), VK_DELETE);
  AttendSuppression();
  ASSERT_EQ(Monde.Boites.size(), 1u);
  EXPECT_EQ(Monde.Boites[0].Text, u"Do you really want to delete \"old\" folder and all its contents?");
  EXPECT_TRUE(server.Exists("old"));
  // With Shift it is another key: nothing.
  Monde.Reponses = {IDYES};
  Touche(arbre->Handle(), VK_DELETE, true);
  EXPECT_EQ(Monde.Boites.size(), 1u);
  Touche(arbre->Handle(), VK_DELETE);
  AttendSuppression();
  ASSERT_EQ(Monde.Boites.size(), 2u);
  EXPECT_FALSE(server.Exists("old"));
  EXPECT_EQ(Main->NoeudDossier(old), nullptr);
  EXPECT_EQ(Main->DossierChoisi(), Main->Racine());

  // A file of the file list.
  ClicNoeud(arbre, Main->NoeudDossier(docs));
  PVastNode a = NoeudDeTexte(fichiers, u"a.txt");
  ASSERT_NE(a, nullptr);
  ClicNoeud(fichiers, a);
  Monde.Reponses = {IDYES};
  Touche(fichiers->Handle(), VK_DELETE);
  AttendSuppression();
  ASSERT_EQ(Monde.Boites.size(), 3u);
  EXPECT_EQ(Monde.Boites[2].Text, u"Do you really want to delete the \"a.txt\" file?");
  EXPECT_FALSE(server.Exists("docs/a.txt"));
  EXPECT_EQ(NoeudDeTexte(fichiers, u"a.txt"), nullptr);
  EXPECT_EQ(Suppressions(server), (std::vector<String>{u"RMD /old", u"DELE a.txt"}));

  // During a scan: neither list deletes anything, nothing is asked.
  server.ClearCommands();
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(Pump([] { return Main->Session()->ScanEnCours(); }, 20000));
  // The root listed (its file and folders shown), the walk goes on below.
  ASSERT_TRUE(Pump([&] { return Main->Racine() && Main->Racine()->SousDossiers.size() >= 2; }));
  ASSERT_TRUE(Main->Session()->ScanEnCours()) << "the scan ended too soon to tell";
  docs = scantest::Child(Main->Racine(), u"docs");
  ASSERT_NE(docs, nullptr);
  // (The tree shows the walk a few times a second: a click lands once it has.)
  ClicNoeud(arbre, Main->NoeudDossier(docs));
  ASSERT_TRUE(Pump([&] { return Main->DossierChoisi() == docs; }, 5000));
  Monde.Reponses = {IDYES, IDYES};
  Touche(arbre->Handle(), VK_DELETE);
  AttendSuppression();
  ClicNoeud(arbre, Main->NoeudDossier(Main->Racine()));
  ASSERT_TRUE(Pump([&] { return NoeudDeTexte(fichiers, u"top.txt") != nullptr; }, 5000));
  PVastNode top = NoeudDeTexte(fichiers, u"top.txt");
  ClicNoeud(fichiers, top);
  ASSERT_TRUE(Pump([&] { return Main->FichiersChoisis().size() == 1; }, 5000));
  Touche(fichiers->Handle(), VK_DELETE);
  AttendSuppression();
  EXPECT_TRUE(Main->Session()->ScanEnCours());
  EXPECT_EQ(Monde.Boites.size(), 3u);
  Main->WaitClick(nullptr);
  ASSERT_TRUE(AttendScan(2));
  EXPECT_TRUE(Suppressions(server).empty());
  EXPECT_TRUE(server.Exists("top.txt"));
  EXPECT_TRUE(server.Exists("docs"));
}

}  // namespace
