// Remote deletion on the real FTP fixture, after a scan:
// server state, model totals, refusals, and no deletion during a scan.
#include <gtest/gtest.h>

#include <algorithm>

#include "ScanTestSupport.h"
#include "app/core/Suppression.h"

using namespace scantest;

namespace {

struct Deletions : testing::Test {
  void SetUp() override {
    FtpServerOptions o;
    o.refuseDele = {"protégé.txt"};
    o.refuseRmd = {"/site/Leer/auch leer"};
    server = std::make_unique<FtpServer>(o);
    server->Start();
    server->MakeFile("site/exact 1024.bin", 1024);
    server->MakeFile("site/moins 1023.bin", 1023);
    server->MakeFile("site/protégé.txt", 2048);
    server->MakeFile("site/Dossier été/naïve résumé.txt", 5000);
    server->MakeFile("site/Dossier été/sous dossier/f1.dat", 300 * 1024);
    server->MakeFile("site/Dossier été/sous dossier/f2.dat", 10 * 1024);
    server->MakeDir("site/vide");
    server->MakeDir("site/Leer/auch leer");
    server->MakeFile("site/a/a.bin", 4096);
    server->MakeFile("top.bin", 8192);
  }

  void Scan(const String& racine = u"/site") {
    ASSERT_TRUE(h.session.Connecte(h.Params(*server, racine)));
    ASSERT_TRUE(h.RunToEnd());
    ASSERT_EQ(h.sink.result->Fin, TFinScan::Termine);
    server->ClearCommands();
  }

  TConfirmation Yes() {
    return [this](const String& q) {
      questions.push_back(q);
      return true;
    };
  }

  std::unique_ptr<FtpServer> server;
  Harness<> h;
  std::vector<String> questions;
};

TEST_F(Deletions, OneFile) {
  Scan();
  TDossier* root = h.session.Racine();
  const Int64 before = root->Total();
  TFichier* f = FileOf(root, u"exact 1024.bin");
  ASSERT_NE(f, nullptr);
  const TRapportSuppression r = SupprimeFichiers(h.session, root, {f}, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(r.Supprimes, 1);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], FormatMsg(u"ConfirmDelFile", u"exact 1024.bin"));
  EXPECT_EQ(server->Commands(), (std::vector<String>{u"CWD /site", u"DELE exact 1024.bin"}));
  EXPECT_FALSE(server->Exists("site/exact 1024.bin"));
  EXPECT_EQ(FileOf(root, u"exact 1024.bin"), nullptr);
  EXPECT_EQ(root->Total(), before - 1);
  EXPECT_EQ(h.session.TailleTotale(), before - 1);
  EXPECT_EQ(h.sink.removedFiles, std::vector<String>{u"exact 1024.bin"});
  EXPECT_EQ(h.sink.deletionDone, 1);
  EXPECT_EQ(h.sink.panel[Panneau::Progression], u"");  // emptied at the end
  CheckConsistent(root);
}

TEST_F(Deletions, FilesInASubFolderLowerEveryAncestor) {
  Scan();
  TDossier* root = h.session.Racine();
  TDossier* ete = Child(root, Wire("Dossier été"));
  TDossier* sous = Child(ete, u"sous dossier");
  ASSERT_NE(sous, nullptr);
  const Int64 rootBefore = root->Total();
  const Int64 eteBefore = ete->Total();
  const TRapportSuppression r =
      SupprimeFichiers(h.session, sous, {FileOf(sous, u"f2.dat"), FileOf(sous, u"f1.dat")}, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(questions[0], FormatMsg(u"ConfirmDelFiles", u"2"));
  // One CWD, then the DELEs in the order given.
  EXPECT_EQ(server->Commands(),
            (std::vector<String>{u"CWD /site/Dossier été/sous dossier", u"DELE f2.dat", u"DELE f1.dat"}));
  EXPECT_EQ(sous->Taille, 0);
  EXPECT_EQ(ete->Total(), eteBefore - 310);
  EXPECT_EQ(root->Total(), rootBefore - 310);
  EXPECT_EQ(h.session.TailleTotale(), rootBefore - 310);
  EXPECT_FALSE(server->Exists("site/Dossier été/sous dossier/f1.dat"));
}

TEST_F(Deletions, RefusedDeleKeepsTheFile) {
  Scan();
  TDossier* root = h.session.Racine();
  const Int64 before = root->Total();
  const TRapportSuppression r = SupprimeFichiers(
      h.session, root, {FileOf(root, Wire("protégé.txt")), FileOf(root, u"moins 1023.bin")}, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Partielle);
  EXPECT_EQ(r.Supprimes, 1);
  ASSERT_EQ(r.Refus.size(), 1u);
  EXPECT_NE(r.Reponse.find(u"550"), String::npos);
  EXPECT_NE(FileOf(root, Wire("protégé.txt")), nullptr);
  EXPECT_TRUE(server->Exists("site/protégé.txt"));
  EXPECT_FALSE(server->Exists("site/moins 1023.bin"));
  EXPECT_EQ(root->Total(), before);  // 1023 bytes counted 0 KiB; the 2 KiB stay
  // What was refused and why stays in panel 3.
  EXPECT_EQ(h.sink.panel[Panneau::Progression], AppMsg(u"Erreur") + u" : " + r.Refus[0]);
  EXPECT_NE(r.Refus[0].find(u"550"), String::npos);
  const TRapportSuppression only = SupprimeFichiers(h.session, root, {FileOf(root, Wire("protégé.txt"))}, Yes());
  EXPECT_EQ(only.Issue, TIssueSuppression::Refusee);
  EXPECT_EQ(root->Total(), before);
  CheckConsistent(root);
}

TEST_F(Deletions, EmptyFolder) {
  Scan();
  TDossier* root = h.session.Racine();
  TDossier* vide = Child(root, u"vide");
  const TRapportSuppression r = SupprimeDossier(h.session, vide, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(questions[0], FormatMsg(u"ConfirmDelFolder", u"vide"));
  EXPECT_EQ(server->Commands(), std::vector<String>{u"RMD /site/vide"});
  EXPECT_FALSE(server->Exists("site/vide"));
  EXPECT_EQ(Child(root, u"vide"), nullptr);
  EXPECT_EQ(h.sink.removedFolders, std::vector<String>{u"/site/vide"});
  EXPECT_EQ(h.sink.panel[Panneau::Progression], u"");
}

TEST_F(Deletions, FolderTotalsAfterRemoval) {
  Scan();
  TDossier* root = h.session.Racine();
  TDossier* ete = Child(root, Wire("Dossier été"));
  TDossier* sous = Child(ete, u"sous dossier");
  // Empty it on the server first (as a user would), then RMD works.
  ASSERT_EQ(SupprimeFichiers(h.session, sous, {FileOf(sous, u"f1.dat")}, Yes()).Issue, TIssueSuppression::Faite);
  std::filesystem::remove(server->PathOf("site/Dossier été/sous dossier/f2.dat"));
  const Int64 rootBefore = root->Total();
  const TRapportSuppression r = SupprimeDossier(h.session, sous, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(ete->Total(), 4);  // the sub-folder's 10 KiB left with it
  EXPECT_EQ(root->Total(), rootBefore - 10);
  EXPECT_EQ(h.session.TailleTotale(), rootBefore - 10);
  EXPECT_TRUE(ete->SousDossiers.empty());
  CheckConsistent(root);
}

TEST_F(Deletions, RefusedRmdKeepsTheFolder) {
  Scan();
  TDossier* root = h.session.Racine();
  const Int64 before = root->Total();
  // Not empty: the server refuses.
  TDossier* ete = Child(root, Wire("Dossier été"));
  TRapportSuppression r = SupprimeDossier(h.session, ete, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Refusee);
  EXPECT_EQ(r.Reponse.substr(0, 3), u"550");
  EXPECT_EQ(h.sink.panel[Panneau::Progression], AppMsg(u"Erreur") + u" : " + ete->Nom + u": " + r.Reponse);
  EXPECT_EQ(Child(root, Wire("Dossier été")), ete);
  EXPECT_TRUE(server->Exists("site/Dossier été/naïve résumé.txt"));
  // Refused by the server's rights.
  TDossier* auch = Child(Child(root, u"Leer"), u"auch leer");
  r = SupprimeDossier(h.session, auch, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Refusee);
  EXPECT_NE(Child(Child(root, u"Leer"), u"auch leer"), nullptr);
  EXPECT_TRUE(server->Exists("site/Leer/auch leer"));
  EXPECT_EQ(root->Total(), before);
  EXPECT_TRUE(h.sink.removedFolders.empty());
  EXPECT_EQ(h.sink.deletionDone, 2);
}

TEST_F(Deletions, NoSendsNothing) {
  Scan();
  TDossier* root = h.session.Racine();
  int asked = 0;
  auto no = [&](const String&) {
    ++asked;
    return false;
  };
  EXPECT_EQ(SupprimeDossier(h.session, Child(root, u"vide"), no).Issue, TIssueSuppression::Abandonnee);
  EXPECT_EQ(SupprimeFichiers(h.session, root, {FileOf(root, u"exact 1024.bin")}, no).Issue,
            TIssueSuppression::Abandonnee);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(server->Commands().empty());
  EXPECT_NE(Child(root, u"vide"), nullptr);
  EXPECT_EQ(h.sink.deletionDone, 0);
}

TEST_F(Deletions, RootCannotBeDeleted) {
  Scan();
  EXPECT_FALSE(PeutSupprimerDossier(h.session, h.session.Racine()));
  EXPECT_TRUE(PeutSupprimerDossier(h.session, Child(h.session.Racine(), u"vide")));
  EXPECT_EQ(SupprimeDossier(h.session, h.session.Racine(), Yes()).Issue, TIssueSuppression::Impossible);
  EXPECT_TRUE(questions.empty());
  EXPECT_TRUE(server->Commands().empty());
  TDossier stranger;
  EXPECT_EQ(SupprimeDossier(h.session, &stranger, Yes()).Issue, TIssueSuppression::Impossible);
  EXPECT_EQ(SupprimeFichiers(h.session, h.session.Racine(), {}, Yes()).Issue, TIssueSuppression::Impossible);
}

TEST_F(Deletions, FailedCwdSendsNoDele) {
  Scan();
  TDossier* a = Child(h.session.Racine(), u"a");
  std::filesystem::remove_all(server->PathOf("site/a"));
  const TRapportSuppression r = SupprimeFichiers(h.session, a, {FileOf(a, u"a.bin")}, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::EchecCwd);
  EXPECT_EQ(server->Commands(), std::vector<String>{u"CWD /site/a"});
  EXPECT_NE(FileOf(a, u"a.bin"), nullptr);
  EXPECT_EQ(h.sink.deletionDone, 1);  // the common end still runs
  EXPECT_EQ(h.sink.panel[Panneau::Progression], AppMsg(u"Erreur") + u" : CWD /site/a: " + r.Reponse);
}

TEST_F(Deletions, RootFilesOfAScanWithoutStartFolder) {
  Scan(String());
  TDossier* root = h.session.Racine();
  EXPECT_EQ(root->Chemin, u"/");
  const TRapportSuppression r = SupprimeFichiers(h.session, root, {FileOf(root, u"top.bin")}, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(server->Commands(), (std::vector<String>{u"CWD /", u"DELE top.bin"}));  // never an empty CWD
  EXPECT_FALSE(server->Exists("top.bin"));
  // A sub-folder of such a scan: its absolute path.
  TDossier* vide = Child(Child(root, u"site"), u"vide");
  EXPECT_EQ(SupprimeDossier(h.session, vide, Yes()).Issue, TIssueSuppression::Faite);
  EXPECT_FALSE(server->Exists("site/vide"));
}

// A server whose login folder is /site.
TEST(DeletionsAnchored, RootFilesAndFoldersOfALoginFolderOtherThanRoot) {
  FtpServerOptions o;
  o.loginFolder = "/site";
  FtpServer server(o);
  server.Start();
  server.MakeFile("site/f.bin", 4096);
  server.MakeDir("site/vide");
  server.MakeFile("f.bin", 4096);  // same names at the server's root
  server.MakeDir("vide");
  Harness<> h;
  ASSERT_TRUE(h.session.Connecte(h.Params(server)));
  ASSERT_TRUE(h.RunToEnd());
  server.ClearCommands();
  TDossier* root = h.session.Racine();
  auto yes = [](const String&) { return true; };
  EXPECT_EQ(SupprimeFichiers(h.session, root, {FileOf(root, u"f.bin")}, yes).Issue, TIssueSuppression::Faite);
  EXPECT_EQ(SupprimeDossier(h.session, Child(root, u"vide"), yes).Issue, TIssueSuppression::Faite);
  EXPECT_EQ(server.Commands(), (std::vector<String>{u"CWD /site", u"DELE f.bin", u"RMD /site/vide"}));
  EXPECT_FALSE(server.Exists("site/f.bin"));
  EXPECT_FALSE(server.Exists("site/vide"));
  EXPECT_TRUE(server.Exists("f.bin"));  // the wrong ones are untouched
  EXPECT_TRUE(server.Exists("vide"));
}

TEST_F(Deletions, NeverDuringAScan) {
  Scan();
  // Whatever triggers it: from the sink while the scan hands its folders
  // over, and from the user-interface thread between two hand-overs.
  int asked = 0;
  auto count = [&](const String&) {
    ++asked;
    return true;
  };
  std::vector<TIssueSuppression> during;
  h.sink.onFolder = [&](TDossier* d) {
    if (d->Pere) {
      EXPECT_FALSE(PeutSupprimerDossier(h.session, d));
      during.push_back(SupprimeDossier(h.session, d, count).Issue);
      during.push_back(SupprimeFichiers(h.session, d->Pere, {}, count).Issue);
    }
  };
  h.sink.onFile = [&](TFichier* f) { during.push_back(SupprimeFichiers(h.session, f->Dossier, {f}, count).Issue); };
  ASSERT_TRUE(h.session.Connecte(h.Params(*server, u"/site")));
  EXPECT_TRUE(h.session.ScanEnCours());
  EXPECT_FALSE(PeutSupprimerFichiers(h.session, 1));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_FALSE(during.empty());
  for (TIssueSuppression i : during) EXPECT_EQ(i, TIssueSuppression::Impossible);
  EXPECT_EQ(asked, 0);
  for (const String& c : server->Commands()) {
    EXPECT_NE(c.substr(0, 4), u"DELE");
    EXPECT_NE(c.substr(0, 3), u"RMD");
  }
  // A scan started while the confirmation box is open replaces the model:
  // the deletion then stops without touching the old folder.
  h.sink.onFolder = nullptr;
  h.sink.onFile = nullptr;
  server->ClearCommands();
  TDossier* vide = Child(h.session.Racine(), u"vide");
  const TRapportSuppression r = SupprimeDossier(h.session, vide, [&](const String&) {
    h.session.Connecte(h.Params(*server, u"/site"));
    return true;
  });
  EXPECT_EQ(r.Issue, TIssueSuppression::Impossible);
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_TRUE(server->Exists("site/vide"));
  for (const String& c : server->Commands()) EXPECT_NE(c.substr(0, 3), u"RMD");
}

TEST_F(Deletions, NoScanStartsDuringADeletion) {
  Scan();
  TDossier* root = h.session.Racine();
  const int startedBefore = h.sink.started;
  std::vector<bool> attempts;
  h.sink.onFileRemoving = [&](TFichier*) {
    EXPECT_TRUE(h.session.SuppressionEnCours());
    attempts.push_back(h.session.LanceScan(u"/site", server->Host(), server->Port()));
    attempts.push_back(h.session.Connecte(h.Params(*server, u"/site")));
    // Nor a second deletion inside the first.
    attempts.push_back(SupprimeDossier(h.session, Child(root, u"vide"), Yes()).Issue == TIssueSuppression::Faite);
  };
  const TRapportSuppression r =
      SupprimeFichiers(h.session, root, {FileOf(root, u"exact 1024.bin")}, [](const String&) { return true; });
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(attempts, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(h.sink.started, startedBefore);
  EXPECT_FALSE(h.session.ScanEnCours());
  EXPECT_FALSE(h.session.SuppressionEnCours());
  EXPECT_TRUE(server->Exists("site/vide"));
}

}  // namespace
