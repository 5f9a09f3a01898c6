// Remote deletion on the real FTP fixture, after a scan:
// server state, model totals, refusals, and no deletion during a scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <iterator>
#include <set>

#include "ScanTestSupport.h"
#include "app/core/Suppression.h"
#include "rtl/SysUtils.h"

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
    ASSERT_TRUE(h.Connect(h.Params(*server, racine)));
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

TEST_F(Deletions, AFileIsDeletedAndEveryTotalLowered) {
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
  EXPECT_EQ(sous->Taille(), 0);
  EXPECT_EQ(ete->Total(), eteBefore - 310);
  EXPECT_EQ(root->Total(), rootBefore - 310);
  EXPECT_EQ(h.session.TailleTotale(), rootBefore - 310);
  EXPECT_FALSE(server->Exists("site/Dossier été/sous dossier/f1.dat"));
}

TEST_F(Deletions, RefusedDeleKeepsTheFile) {
  Scan();
  TDossier* root = h.session.Racine();
  const Int64 before = root->OctetsTotal();
  const TRapportSuppression r =
      SupprimeFichiers(h.session, root, {FileOf(root, Wire("protégé.txt")), FileOf(root, u"moins 1023.bin")}, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Partielle);
  EXPECT_EQ(r.Supprimes, 1);
  ASSERT_EQ(r.Refus.size(), 1u);
  EXPECT_NE(r.Reponse.find(u"550"), String::npos);
  EXPECT_NE(FileOf(root, Wire("protégé.txt")), nullptr);
  EXPECT_TRUE(server->Exists("site/protégé.txt"));
  EXPECT_FALSE(server->Exists("site/moins 1023.bin"));
  EXPECT_EQ(root->OctetsTotal(), before - 1023);  // the refused file's 2 KiB stay
  // What was refused and why stays in panel 3.
  EXPECT_EQ(h.sink.panel[Panneau::Progression], AppMsg(u"Erreur") + u" : " + r.Refus[0]);
  EXPECT_NE(r.Refus[0].find(u"550"), String::npos);
  const TRapportSuppression only = SupprimeFichiers(h.session, root, {FileOf(root, Wire("protégé.txt"))}, Yes());
  EXPECT_EQ(only.Issue, TIssueSuppression::Refusee);
  EXPECT_EQ(root->OctetsTotal(), before - 1023);
  CheckConsistent(root);
}

TEST_F(Deletions, EmptyFolder) {
  Scan();
  TDossier* root = h.session.Racine();
  TDossier* vide = Child(root, u"vide");
  const TRapportSuppression r = SupprimeDossier(h.session, vide, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(questions[0], FormatMsg(u"ConfirmDelFolder", u"vide"));
  EXPECT_EQ(server->Commands(), (std::vector<String>{u"CWD /site/vide", u"RMD /site/vide"}));
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
  // One file first, then the folder with the other.
  ASSERT_EQ(SupprimeFichiers(h.session, sous, {FileOf(sous, u"f1.dat")}, Yes()).Issue, TIssueSuppression::Faite);
  const Int64 rootBefore = root->Total();
  const TRapportSuppression r = SupprimeDossier(h.session, sous, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(r.Supprimes, 2);  // f2.dat and the folder
  EXPECT_FALSE(server->Exists("site/Dossier été/sous dossier"));
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
  // Not empty any more (a file came after the scan): the server refuses.
  server->MakeFile("site/vide/later.txt", 1);
  TDossier* vide = Child(root, u"vide");
  TRapportSuppression r = SupprimeDossier(h.session, vide, Yes());
  EXPECT_EQ(r.Issue, TIssueSuppression::Refusee);
  EXPECT_EQ(r.Reponse.substr(0, 3), u"550");
  EXPECT_EQ(h.sink.panel[Panneau::Progression], AppMsg(u"Erreur") + u" : " + vide->Nom + u": " + r.Reponse);
  EXPECT_EQ(Child(root, u"vide"), vide);
  EXPECT_TRUE(server->Exists("site/vide/later.txt"));
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
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.RunToEnd());
  server.ClearCommands();
  TDossier* root = h.session.Racine();
  auto yes = [](const String&) { return true; };
  EXPECT_EQ(SupprimeFichiers(h.session, root, {FileOf(root, u"f.bin")}, yes).Issue, TIssueSuppression::Faite);
  EXPECT_EQ(SupprimeDossier(h.session, Child(root, u"vide"), yes).Issue, TIssueSuppression::Faite);
  EXPECT_EQ(server.Commands(),
            (std::vector<String>{u"CWD /site", u"DELE f.bin", u"CWD /site/vide", u"RMD /site/vide"}));
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
  ASSERT_TRUE(h.Connect(h.Params(*server, u"/site")));
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
  ASSERT_TRUE(h.PumpUntil([&] { return !h.session.LoginEnCours(); }));
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

// ------------------------------------------------------------ folders with contents

namespace {

// site/tree: files, nested sub-folders, an empty one, and a link out of it
// to site/decoy; beside it folders whose names and files look alike.
constexpr const char* kTreePaths[] = {"tree",          "tree/t1.bin", "tree/t2.bin",        "tree/a",
                                      "tree/a/a1.bin", "tree/a/deep", "tree/a/deep/d1.bin", "tree/a/deep/d2.bin",
                                      "tree/b",        "tree/c",      "tree/c/c1.bin",      "tree/to decoy"};
constexpr const char* kDecoyPaths[] = {"decoy/t1.bin", "decoy/a/a1.bin", "tree2/t1.bin", "t1.bin"};

void MakeTree(FtpServer& server) {
  server.MakeFile("site/tree/t1.bin", 3 * 1024);
  server.MakeFile("site/tree/t2.bin", 1524);
  server.MakeFile("site/tree/a/a1.bin", 10 * 1024);
  server.MakeFile("site/tree/a/deep/d1.bin", 20 * 1024);
  server.MakeFile("site/tree/a/deep/d2.bin", 5 * 1024);
  server.MakeDir("site/tree/b");
  server.MakeFile("site/tree/c/c1.bin", 7 * 1024);
  server.MakeFile("site/decoy/t1.bin", 2 * 1024);
  server.MakeFile("site/decoy/a/a1.bin", 4 * 1024);
  server.MakeFile("site/tree2/t1.bin", 1024);
  server.MakeFile("site/t1.bin", 1024);
}

FtpServerOptions TreeOptions() {
  FtpServerOptions o;
  o.symlinks = {{"site/tree/to decoy", "../decoy"}};
  return o;
}

// Where each DELE and RMD acted, following the CWDs the server accepted
// (those in Refused it did not), so that a DELE sent in the wrong folder
// shows.
std::vector<String> Targets(const std::vector<String>& Commands, const std::vector<std::string>& Refused) {
  std::vector<String> out;
  String cwd = u"/";
  for (const String& c : Commands) {
    auto arg = [&](std::size_t n) { return c.substr(n); };
    if (c.rfind(u"CWD ", 0) == 0) {
      if (std::find(Refused.begin(), Refused.end(), Bytes(arg(4))) == Refused.end()) cwd = arg(4);
    } else if (c.rfind(u"DELE ", 0) == 0 || c.rfind(u"RMD ", 0) == 0) {
      const String what = arg(c.find(u' ') + 1);
      out.push_back(c.substr(0, c.find(u' ') + 1) + (what[0] == u'/' ? what : cwd + u"/" + what));
    }
  }
  return out;
}

struct TreeCase {
  const char* name;
  std::vector<std::string> refuseDele, refuseRmd, refuseCwd;  // server paths
  std::vector<std::string> kept;                              // of kTreePaths
  TIssueSuppression issue;
};

TEST(DeletionsOfFolders, ContentsGoFirstAndOnlyWhatTheServerRemovedLeavesTheModel) {
  const std::vector<TreeCase> cases = {
      {"everything goes", {}, {}, {}, {}, TIssueSuppression::Faite},
      {"a refused DELE deep inside keeps the file and its folders",
       {"/site/tree/a/deep/d2.bin"},
       {},
       {},
       {"tree", "tree/a", "tree/a/deep", "tree/a/deep/d2.bin"},
       TIssueSuppression::Partielle},
      {"a refused RMD keeps that folder and the ones above",
       {},
       {"/site/tree/b"},
       {},
       {"tree", "tree/b"},
       TIssueSuppression::Partielle},
      {"a refused CWD deletes nothing in that folder",
       {},
       {},
       {"/site/tree/c"},
       {"tree", "tree/c", "tree/c/c1.bin"},
       TIssueSuppression::Partielle},
      {"a refused first CWD deletes nothing at all",
       {},
       {},
       {"/site/tree"},
       {std::begin(kTreePaths), std::end(kTreePaths)},
       TIssueSuppression::EchecCwd},
  };
  for (const TreeCase& tc : cases) {
    SCOPED_TRACE(tc.name);
    FtpServerOptions o = TreeOptions();
    o.refuseDele = tc.refuseDele;
    o.refuseRmd = tc.refuseRmd;
    o.refuseCwd = tc.refuseCwd;
    FtpServer server(o);
    server.Start();
    MakeTree(server);
    Harness<> h;
    ASSERT_TRUE(h.Connect(h.Params(server, u"/site")));
    ASSERT_TRUE(h.RunToEnd());
    TDossier* root = h.session.Racine();
    TDossier* tree = Child(root, u"tree");
    ASSERT_NE(tree, nullptr);
    if (tc.refuseCwd.empty()) {
      // The scan walked the link like a folder: the decoy's files are there too.
      TDossier* link = Child(tree, u"to decoy");
      ASSERT_NE(link, nullptr);
      EXPECT_TRUE(link->Lien);
      EXPECT_NE(FileOf(link, u"t1.bin"), nullptr);
    }
    server.ClearCommands();

    const TRapportSuppression r = SupprimeDossier(h.session, tree, [](const String&) { return true; });
    EXPECT_EQ(r.Issue, tc.issue);

    // On the server: what was kept, nothing else of the tree, and all of
    // the look-alikes.
    for (const char* p : kTreePaths) {
      const bool kept = std::find(tc.kept.begin(), tc.kept.end(), p) != tc.kept.end();
      EXPECT_EQ(server.Exists(std::string("site/") + p), kept) << p;
    }
    for (const char* p : kDecoyPaths) EXPECT_TRUE(server.Exists(std::string("site/") + p)) << p;
    EXPECT_EQ(r.Supprimes, static_cast<int>(std::size(kTreePaths) - tc.kept.size()));
    const std::vector<String> commands = server.Commands();
    for (const String& t : Targets(commands, tc.refuseCwd))
      EXPECT_TRUE(t.find(u" /site/tree/") != String::npos || t == u"RMD /site/tree") << Bytes(t);
    if (tc.kept.empty()) {
      // Depth-first: the folder itself last.
      ASSERT_FALSE(commands.empty());
      EXPECT_EQ(commands.back(), u"RMD /site/tree");
      EXPECT_EQ(Child(root, u"tree"), nullptr);
      EXPECT_TRUE(HasCommand(h.sink.panel3, FormatMsg(u"DelFolder", u"deep")));
      EXPECT_TRUE(HasCommand(h.sink.panel3, FormatMsg(u"DelFile", u"d1.bin")));
      EXPECT_EQ(h.sink.panel[Panneau::Progression], u"");
    } else {
      // No RMD for a folder that keeps something (but the refused one's).
      for (const std::string& k : tc.kept) {
        if (std::find(tc.refuseRmd.begin(), tc.refuseRmd.end(), "/site/" + k) == tc.refuseRmd.end()) {
          EXPECT_FALSE(HasCommand(commands, u"RMD /site/" + Wire(k))) << k;
        }
      }
      EXPECT_EQ(h.sink.panel[Panneau::Progression].rfind(AppMsg(u"Erreur") + u" : ", 0), 0u);
      ASSERT_EQ(r.Refus.size(), 1u);
      EXPECT_NE(r.Refus[0].find(u"550"), String::npos);
    }

    // The model is what is on disk now, with sums that add up.
    CheckConsistent(root);
    ExpectedMap expected;
    std::set<std::string> refused;
    for (const std::string& c : tc.refuseCwd) refused.insert(c.substr(std::string("/site/").size()));
    const Int64 total = ExpectedWalk(server.PathOf("site"), "", refused, expected);
    CompareWithDisk(root, expected);
    EXPECT_EQ(root->OctetsTotal(), total);
    EXPECT_EQ(h.session.TailleTotale(), total / 1024);
    EXPECT_EQ(h.sink.deletionDone, 1);
  }
}

// ------------------------------------------------------------ a dropped connection

struct DroppedConnection : testing::Test {
  void SetUp() override {
    server = std::make_unique<FtpServer>(TreeOptions());
    server->Start();
    MakeTree(*server);
    h.session.DelaiSondeMs = 1000;
    ASSERT_TRUE(h.Connect(h.Params(*server, u"/site")));
    ASSERT_TRUE(h.RunToEnd());
    root = h.session.Racine();
    tree = Child(root, u"tree");
    ASSERT_NE(tree, nullptr);
    before = root->Total();
    server->ClearCommands();
  }

  static bool Yes(const String&) { return true; }

  // Nothing was deleted, on the server or in the model, and the user was told.
  void NothingDeleted(const TRapportSuppression& r) {
    EXPECT_EQ(r.Issue, TIssueSuppression::EchecConnexion);
    EXPECT_EQ(r.Supprimes, 0);
    for (const char* p : kTreePaths) EXPECT_TRUE(server->Exists(std::string("site/") + p)) << p;
    for (const String& c : server->Commands()) {
      EXPECT_NE(c.rfind(u"DELE", 0), 0u) << Bytes(c);
      EXPECT_NE(c.rfind(u"RMD", 0), 0u) << Bytes(c);
    }
    EXPECT_EQ(Child(root, u"tree"), tree);
    EXPECT_EQ(root->Total(), before);
    EXPECT_EQ(h.session.TailleTotale(), before);
    EXPECT_EQ(h.sink.panel[Panneau::Progression].rfind(AppMsg(u"Erreur"), 0), 0u);
    EXPECT_EQ(h.sink.deletionDone, 1);
  }

  std::unique_ptr<FtpServer> server;
  Harness<> h;
  TDossier* root = nullptr;
  TDossier* tree = nullptr;
  Int64 before = 0;
};

TEST_F(DroppedConnection, IsLoggedInAgainOnceAndTheDeletionGoesOn) {
  using F = FtpServer::SessionFault;
  const std::pair<const char*, F> faults[] = {{"closed", F::Close}, {"421", F::Reply421}, {"no reply", F::Mute}};
  for (const auto& [name, fault] : faults) {
    SCOPED_TRACE(name);
    const std::string file = std::string("tree/") + name + ".bin";
    server->MakeFile("site/" + file, 1024);
    ASSERT_TRUE(h.session.LanceScan(u"/site", server->Host(), server->Port()));
    ASSERT_TRUE(h.RunToEnd());
    TDossier* t = Child(h.session.Racine(), u"tree");
    TFichier* f = FileOf(t, Wire(name) + u".bin");
    ASSERT_NE(f, nullptr);
    const Int64 total = h.session.TailleTotale();
    server->FaultSessions(fault);
    server->ClearCommands();
    h.sink.panel0.clear();
    const auto started = std::chrono::steady_clock::now();
    const TRapportSuppression r = SupprimeFichiers(h.session, t, {f}, Yes);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
    EXPECT_FALSE(server->Exists("site/" + file));
    EXPECT_EQ(h.session.TailleTotale(), total - 1);
    // A new log-in, the login folder checked, then the deletion.
    const std::vector<String> c = server->Commands();
    const auto user = std::find(c.begin(), c.end(), u"USER " + server->User());
    const auto pwd = std::find(user, c.end(), u"PWD");
    const auto cwd = std::find(pwd, c.end(), u"CWD /site/tree");
    ASSERT_NE(cwd, c.end());
    EXPECT_EQ(std::next(cwd), std::find(c.begin(), c.end(), u"DELE " + Wire(name) + u".bin"));
    EXPECT_EQ(std::count_if(c.begin(), c.end(), [](const String& x) { return x.rfind(u"USER", 0) == 0; }), 1);
    EXPECT_EQ(h.sink.panel0, std::vector<String>{AppMsg(u"Connecte")});
    EXPECT_EQ(h.sink.connected, std::optional<bool>(true));
  }
  // A folder with its contents after a drop too.
  ASSERT_TRUE(h.session.LanceScan(u"/site", server->Host(), server->Port()));
  ASSERT_TRUE(h.RunToEnd());
  server->FaultSessions(FtpServer::SessionFault::Close);
  const TRapportSuppression r = SupprimeDossier(h.session, Child(h.session.Racine(), u"tree"), Yes);
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_FALSE(server->Exists("site/tree"));
  EXPECT_TRUE(server->Exists("site/decoy/t1.bin"));
}

TEST_F(DroppedConnection, AFailedLogInDeletesNothing) {
  server->FaultSessions(FtpServer::SessionFault::Close, {.password = "changed"});
  NothingDeleted(SupprimeDossier(h.session, tree, Yes));
  EXPECT_EQ(h.sink.panel[Panneau::Progression].rfind(AppMsg(u"Erreur") + u" : Login ", 0), 0u);
  EXPECT_NE(h.sink.panel[Panneau::Progression].find(u"530"), String::npos);
  EXPECT_EQ(h.sink.panel[Panneau::Connexion], AppMsg(u"Erreur"));
  EXPECT_EQ(h.sink.connected, std::optional<bool>(false));
}

TEST_F(DroppedConnection, AnotherLoginFolderDeletesNothingUntilItIsTheSameAgain) {
  server->FaultSessions(FtpServer::SessionFault::Close, {.loginFolder = "/site"});
  NothingDeleted(SupprimeFichiers(h.session, tree, {FileOf(tree, u"t1.bin")}, Yes));
  EXPECT_NE(h.sink.panel[Panneau::Progression].find(u"\"/site\""), String::npos);
  EXPECT_EQ(h.sink.panel[Panneau::Connexion], AppMsg(u"Erreur"));
  // The connection was closed: Delete is not offered again before Connect.
  EXPECT_TRUE(HasCommand(server->Commands(), u"QUIT"));
  server->ClearCommands();
  EXPECT_FALSE(PeutSupprimerDossier(h.session, tree));
  EXPECT_EQ(SupprimeDossier(h.session, tree, Yes).Issue, TIssueSuppression::Impossible);
  EXPECT_TRUE(server->Commands().empty());
  server->FaultSessions(FtpServer::SessionFault::None, {.loginFolder = "/"});
  ASSERT_TRUE(h.Connect(h.Params(*server, u"/site")));
  ASSERT_TRUE(h.RunToEnd());
  const TRapportSuppression r = SupprimeDossier(h.session, Child(h.session.Racine(), u"tree"), Yes);
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  EXPECT_FALSE(server->Exists("site/tree"));
  EXPECT_EQ(h.sink.panel[Panneau::Connexion], AppMsg(u"Connecte"));
}

// Without an open connection (after Disconnect, after a failed log-in)
// Delete is not offered, and nothing is asked or sent.
TEST_F(DroppedConnection, WithoutAConnectionDeleteIsNotOffered) {
  h.session.Deconnecte();
  server->ClearCommands();
  EXPECT_FALSE(PeutSupprimerDossier(h.session, tree));
  EXPECT_FALSE(PeutSupprimerFichiers(h.session, 1));
  int asked = 0;
  auto count = [&](const String&) {
    ++asked;
    return true;
  };
  EXPECT_EQ(SupprimeDossier(h.session, tree, count).Issue, TIssueSuppression::Impossible);
  EXPECT_EQ(SupprimeFichiers(h.session, tree, {FileOf(tree, u"t1.bin")}, count).Issue, TIssueSuppression::Impossible);
  // A log-in refused by the server leaves no connection either; the model
  // of the last scan stays on screen.
  TParamsConnexion p = h.Params(*server, u"/site");
  p.Pass = u"wrong";
  EXPECT_FALSE(h.Connect(p));
  EXPECT_FALSE(PeutSupprimerDossier(h.session, tree));
  EXPECT_EQ(SupprimeDossier(h.session, tree, count).Issue, TIssueSuppression::Impossible);
  EXPECT_EQ(asked, 0);
  for (const String& c : server->Commands()) {
    EXPECT_NE(c.rfind(u"DELE", 0), 0u) << Bytes(c);
    EXPECT_NE(c.rfind(u"RMD", 0), 0u) << Bytes(c);
    EXPECT_NE(c.rfind(u"CWD", 0), 0u) << Bytes(c);
  }
  EXPECT_EQ(Child(root, u"tree"), tree);
  EXPECT_EQ(h.session.TailleTotale(), before);
  EXPECT_EQ(h.sink.deletionDone, 0);
}

}  // namespace

// ------------------------------------------------------------ on the worker

namespace {

String NomNumero(int i) {
  char nom[32];
  std::snprintf(nom, sizeof nom, "f%04d.bin", i);
  return Wire(nom);
}

// A folder of 2000 files deleted on the worker and stopped half-way by the
// busy bar's click: what the server removed left the model and the screen,
// what it did not is still on both, no RMD was sent, and panel 3 says the
// deletion stopped. The rest goes with a second deletion.
TEST(DeletionWorker, AStoppedDeletionKeepsAndShowsWhatWent) {
  constexpr int N = 2000;
  FtpServer server;
  server.Start();
  for (int i = 0; i < N; ++i) server.MakeFile("site/big/" + Bytes(NomNumero(i)), 1024 * (1 + i % 3));
  server.MakeFile("site/big/sub/s.bin", 2048);
  server.MakeFile("site/other.bin", 4096);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/site")));
  ASSERT_TRUE(h.RunToEnd());
  TDossier* root = h.session.Racine();
  TDossier* big = Child(root, u"big");
  ASSERT_NE(big, nullptr);
  ASSERT_EQ(big->Fichiers.size(), static_cast<std::size_t>(N));
  server.ClearCommands();

  std::vector<String> nommes;  // panel 3 at each removal
  h.sink.onFileRemoving = [&](TFichier* f) {
    nommes.push_back(h.sink.panel[Panneau::Progression]);
    EXPECT_EQ(f->Dossier, big);
    if (h.sink.removedFiles.size() == N / 2) h.session.WaitClick();
  };
  std::optional<TRapportSuppression> fin;
  const TRapportSuppression r = LanceSuppressionDossier(
      h.session, big, [](const String&) { return true; }, [&](const TRapportSuppression& R) { fin = R; });
  // Started, not done: the user-interface thread is free meanwhile.
  EXPECT_EQ(r.Issue, TIssueSuppression::EnCours);
  EXPECT_TRUE(h.session.SuppressionEnCours());
  EXPECT_EQ(h.sink.deletionsStarted, 1);
  EXPECT_FALSE(fin.has_value());
  EXPECT_FALSE(PeutSupprimerDossier(h.session, Child(root, u"big")));
  EXPECT_FALSE(h.session.Connecte(h.Params(server, u"/site")));
  ASSERT_TRUE(h.PumpUntil([&] { return fin.has_value(); }));

  EXPECT_EQ(fin->Issue, TIssueSuppression::Arretee);
  EXPECT_EQ(fin->Supprimes, N / 2);
  EXPECT_FALSE(h.session.SuppressionEnCours());
  EXPECT_EQ(h.sink.deletionDone, 1);
  EXPECT_EQ(h.sink.panel[Panneau::Progression], FormatMsg(u"SupprArretee", IntToStr(N / 2)));
  // Each removal came after panel 3 named its file.
  ASSERT_EQ(nommes.size(), h.sink.removedFiles.size());
  for (std::size_t i = 0; i < nommes.size(); ++i)
    ASSERT_EQ(nommes[i], FormatMsg(u"DelFile", h.sink.removedFiles[i])) << i;

  // The disk, the model and what was shown agree, file by file.
  const std::set<String> montres(h.sink.removedFiles.begin(), h.sink.removedFiles.end());
  int surDisque = 0;
  for (int i = 0; i < N; ++i) {
    const String nom = NomNumero(i);
    const bool present = server.Exists("site/big/" + Bytes(nom));
    surDisque += present;
    EXPECT_EQ(FileOf(big, nom) != nullptr, present) << Bytes(nom);
    EXPECT_EQ(montres.count(nom) == 0, present) << Bytes(nom);
  }
  EXPECT_EQ(surDisque, N / 2);
  EXPECT_TRUE(server.Exists("site/big/sub/s.bin"));
  EXPECT_EQ(Child(root, u"big"), big);
  const std::vector<String> commands = server.Commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(), [](const String& c) { return c.rfind(u"DELE", 0) == 0; }),
            N / 2);
  for (const String& c : commands) EXPECT_NE(c.rfind(u"RMD", 0), 0u) << Bytes(c);
  ExpectedMap expected;
  const Int64 total = ExpectedWalk(server.PathOf("site"), "", {}, expected);
  CompareWithDisk(root, expected);
  EXPECT_EQ(h.session.TailleTotale(), total / 1024);  // KiB of the byte total

  // Offered again; the rest goes.
  h.sink.onFileRemoving = nullptr;
  ASSERT_TRUE(PeutSupprimerDossier(h.session, big));
  const TRapportSuppression reste = SupprimeDossier(h.session, big, [](const String&) { return true; });
  EXPECT_EQ(reste.Issue, TIssueSuppression::Faite);
  EXPECT_EQ(reste.Supprimes, N / 2 + 3);  // the files, s.bin, sub and big
  EXPECT_FALSE(server.Exists("site/big"));
  EXPECT_TRUE(server.Exists("site/other.bin"));
  EXPECT_EQ(h.session.TailleTotale(), 4);
  EXPECT_EQ(h.sink.panel[Panneau::Progression], u"");
}

}  // namespace
