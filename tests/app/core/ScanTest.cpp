// The whole main road headless against the real FTP fixture: log in, walk,
// hand over to a dispatcher on the test thread, totals equal to an
// independent computation from the files on disk; cancel, stop, errors,
// loops; then deletions (SuppressionTest.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "ScanTestSupport.h"
#include "rtl/SysUtils.h"
#include "rtl/Threads.h"
#include "app/core/Affichage.h"
#include "app/core/Suppression.h"

using namespace scantest;

namespace {

// The shared test tree (besides the fixture's generated one).
void BuildSite(FtpServer& s) {
  s.MakeFile("site/exact 1024.bin", 1024);
  s.MakeFile("site/moins 1023.bin", 1023);
  s.MakeFile("site/gros fichier.iso", (6ULL << 30) + 12345);  // sparse
  s.MakeFile("site/Dossier été/naïve résumé.txt", 5000);
  s.MakeFile("site/Dossier été/sous dossier/fichier profond.dat", 123456);
  s.MakeFile("site/Dossier été/sous dossier/zéro.txt", 0);
  s.MakeDir("site/vide");
  s.MakeDir("site/Leer/auch leer");
  s.MakeFile("site/interdit/secret.bin", 204800);
  s.MakeFile("site/interdit/sub/x.bin", 4096);
  s.MakeFile("site/a/a.bin", 4096);
  s.MakeFile("site/protégé.txt", 2048);
  s.MakeFile("a/decoy.bin", 999999);  // "/a" is not "/site/a"
  s.MakeFile("loop/big.bin", 50000);  // the loop's folder holds two entries
}

FtpServerOptions TreeOptions() {
  FtpServerOptions o;
  o.generate = 1;
  o.withLoopLink = true;
  o.refuseCwd = {"/site/interdit"};
  o.refuseDele = {"protégé.txt"};
  o.refuseRmd = {"/site/Leer/auch leer"};
  return o;
}

ExpectedMap ExpectedBelow(const FtpServer& s, const std::string& base, std::set<std::string> refused = {}) {
  ExpectedMap m;
  ExpectedWalk(base.empty() ? s.Root() : s.PathOf(base), "", refused, m);
  return m;
}

std::size_t IndexOfCommand(const std::vector<String>& c, const String& cmd) {
  for (std::size_t i = 0; i < c.size(); ++i)
    if (c[i] == cmd) return i;
  return c.size();
}

TEST(Scan, NewSessionIsIdleAndWaitsUpTo26RoundsOf200MsForAStop) {
  TQueueDispatcher d;
  RecordingSink sink;
  TFTPSend ftp;
  TScanSession s(ftp, sink, &d);
  EXPECT_EQ(s.ToursArret, 26);
  EXPECT_EQ(s.DureeTourMs, 200u);
  EXPECT_FALSE(s.ScanEnCours());
  s.StopScan();  // nothing runs: nothing happens
  s.WaitClick();
  EXPECT_TRUE(sink.panel.empty());
}

TEST(Scan, WithoutStartFolderAnchorsOnLoginFolderAndMatchesDisk) {
  FtpServer server(TreeOptions());
  server.Start();
  BuildSite(server);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server)));
  EXPECT_EQ(h.sink.connected, true);
  EXPECT_EQ(h.sink.panel0.front(), AppMsg(u"Connecte"));
  ASSERT_TRUE(h.RunToEnd());
  const TResultatScan& r = *h.sink.result;
  EXPECT_EQ(r.Fin, TFinScan::Termine) << UTF16ToUTF8(r.Message);
  EXPECT_EQ(h.sink.panel3.back(), AppMsg(u"Termine"));
  EXPECT_EQ(h.sink.panel3.front(), u"racine");
  EXPECT_FALSE(h.session.ScanEnCours());

  TDossier* root = h.session.Racine();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Nom, u"127.0.0.1:" + IntToStr(server.Port()));
  EXPECT_EQ(root->Chemin, u"/");  // the login folder, asked with PWD
  const std::vector<String> commands = server.Commands();
  EXPECT_TRUE(HasCommand(commands, u"PWD"));
  EXPECT_TRUE(HasCommand(commands, u"CWD /site"));
  EXPECT_TRUE(HasCommand(commands, u"CWD /site/Dossier été/sous dossier"));
  EXPECT_EQ(Child(root, u"site")->Chemin, u"/site");

  const ExpectedMap expected = ExpectedBelow(server, "", {"site/interdit"});
  CompareWithDisk(root, expected);
  EXPECT_EQ(CheckConsistent(root), root->OctetsTotal());
  EXPECT_EQ(r.TailleTotale, expected.at("").total / 1024);
  EXPECT_EQ(h.session.TailleTotale(), expected.at("").total / 1024);
  // A few sizes by hand: 1024 bytes count 1 KiB, 1023 bytes count 0.
  TDossier* site = Child(root, u"site");
  EXPECT_EQ(FileOf(site, u"exact 1024.bin")->Taille(), 1);
  EXPECT_EQ(FileOf(site, u"moins 1023.bin")->Taille(), 0);
  EXPECT_EQ(FileOf(site, u"gros fichier.iso")->Taille(), ((6LL << 30) + 12345) / 1024);
  EXPECT_EQ(FileOf(root, u"big file.iso")->Taille(), 5LL << 20);
  // The empty folders are there, empty.
  ASSERT_NE(Child(site, u"vide"), nullptr);
  EXPECT_EQ(Child(site, u"vide")->Total(), 0);
  ASSERT_NE(Child(Child(site, u"Leer"), u"auch leer"), nullptr);
  ASSERT_NE(Child(root, Wire("Leerer Ordner")), nullptr);

  // The link back to an ancestor is listed, marked, and not entered.
  TDossier* link = Child(Child(Child(root, u"loop"), u"inner"), u"back to loop");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Etat, TEtatDossier::Boucle);
  EXPECT_EQ(link->Reponse, u"/loop");  // where it leads
  EXPECT_FALSE(HasCommand(commands, u"CWD /loop/inner/back to loop"));

  // The folder whose CWD is refused: marked, empty, never listed.
  TDossier* interdit = Child(site, u"interdit");
  ASSERT_NE(interdit, nullptr);
  EXPECT_EQ(interdit->Etat, TEtatDossier::AccesRefuse);
  EXPECT_NE(interdit->Reponse.find(u"550"), String::npos);
  EXPECT_TRUE(interdit->Fichiers.empty());
  EXPECT_TRUE(interdit->SousDossiers.empty());
  const std::size_t at = IndexOfCommand(commands, u"CWD /site/interdit");
  ASSERT_LT(at + 1, commands.size());
  EXPECT_NE(commands[at + 1], u"LIST");
  EXPECT_NE(commands[at + 1], u"TYPE A");
  // Every folder's hand-over reached the sink.
  EXPECT_EQ(h.sink.folders.size(), h.session.Modele().NombreDossiers());
  EXPECT_EQ(h.sink.folders.front(), root);
}

TEST(Scan, FromStartFolderMatchesDisk) {
  FtpServer server(TreeOptions());
  server.Start();
  BuildSite(server);
  for (const bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    server.ClearCommands();
    Harness<> h;
    ASSERT_TRUE(h.Connect(h.Params(server, u"site", passive)));
    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
    EXPECT_EQ(h.sink.startFolder, u"/site");  // the field shows the corrected text
    TDossier* root = h.session.Racine();
    EXPECT_EQ(root->Nom, u"/site");
    EXPECT_EQ(root->Chemin, u"/site");
    const std::vector<String> commands = server.Commands();
    EXPECT_TRUE(HasCommand(commands, u"CWD /site"));
    EXPECT_TRUE(HasCommand(commands, u"CWD /site/a"));
    EXPECT_FALSE(HasCommand(commands, u"CWD /a"));
    const ExpectedMap expected = ExpectedBelow(server, "site", {"interdit"});
    CompareWithDisk(root, expected);
    EXPECT_EQ(h.session.TailleTotale(), expected.at("").total / 1024);
  }
}

// A server whose login folder is not "/" (a hosting account in /site): a
// start folder without "/" lies below it, one with "/" is absolute, none
// is the login folder itself; a decoy "/a" tells them apart. Every scan on
// the connection starts from the login folder, whatever folder the one
// before left it in, also after a deletion.
TEST(Scan, StartFoldersAreTakenFromTheLoginFolder) {
  FtpServerOptions o = TreeOptions();
  o.loginFolder = "/site";
  FtpServer server(o);
  server.Start();
  BuildSite(server);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.session.DossierLogin(), u"/site");
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  TDossier* root = h.session.Racine();
  EXPECT_EQ(root->Chemin, u"/site");
  EXPECT_EQ(Child(root, u"a")->Chemin, u"/site/a");
  const ExpectedMap site = ExpectedBelow(server, "site", {"interdit"});
  CompareWithDisk(root, site);
  EXPECT_FALSE(HasCommand(server.Commands(), u"CWD /a"));  // the decoy is never entered
  const Int64 siteTotal = site.at("").total / 1024;

  const struct {
    const char16_t* field;
    const char16_t* scanned;
    const char* onDisk;
  } cases[] = {
      {u"a", u"/site/a", "site/a"},
      {u"/a", u"/a", "a"},
      {u"Dossier été/sous dossier", u"/site/Dossier été/sous dossier", "site/Dossier été/sous dossier"},
      {u"", u"/site", "site"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(UTF16ToUTF8(c.field));
    server.ClearCommands();
    h.sink.startFolder.clear();
    ASSERT_TRUE(h.session.LanceScan(c.field, server.Host(), server.Port()));
    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
    EXPECT_EQ(h.session.Racine()->Chemin, c.scanned);
    // The field shows the full path scanned.
    EXPECT_EQ(h.sink.startFolder, String(c.field).empty() ? String() : String(c.scanned));
    EXPECT_EQ(server.Commands().front(), u"CWD " + String(c.scanned));
    CompareWithDisk(h.session.Racine(), ExpectedBelow(server, c.onDisk, {"interdit"}));
  }
  EXPECT_EQ(h.session.TailleTotale(), siteTotal);

  // A deletion leaves the connection in another folder; the next scan
  // still starts from the login folder.
  TDossier* ete = Child(h.session.Racine(), Wire("Dossier été"));
  ASSERT_NE(ete, nullptr);
  TRapportSuppression r =
      SupprimeFichiers(h.session, ete, {ete->Fichiers.front().get()}, [](const String&) { return true; });
  EXPECT_EQ(r.Issue, TIssueSuppression::Faite);
  ASSERT_TRUE(h.session.LanceScan(String(), server.Host(), server.Port()));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.session.Racine()->Chemin, u"/site");
  EXPECT_EQ(h.session.TailleTotale(), (site.at("").total - 5000) / 1024);  // naïve résumé.txt
}

// A link whose target the listing does not show is entered once: its PWD
// names a folder being walked, so it is not listed.
TEST(Scan, ALinkBackIsFoundByWhereTheServerSaysItLeads) {
  FtpServerOptions o = TreeOptions();
  o.hideLinkTargets = true;
  o.physicalPwd = true;
  FtpServer server(o);
  server.Start();
  BuildSite(server);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/loop")));
  ASSERT_TRUE(h.RunToEnd(60000));
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  TDossier* root = h.session.Racine();
  TDossier* link = Child(Child(root, u"inner"), u"back to loop");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Etat, TEtatDossier::Boucle);
  EXPECT_EQ(link->Reponse, u"/loop");
  EXPECT_TRUE(link->SousDossiers.empty());
  const std::vector<String> commands = server.Commands();
  const std::size_t at = IndexOfCommand(commands, u"CWD /loop/inner/back to loop");
  ASSERT_LT(at + 1, commands.size());
  EXPECT_EQ(commands[at + 1], u"PWD");
  EXPECT_EQ(std::count(commands.begin(), commands.end(), u"PWD"), 2);  // after log-in, and there
  CompareWithDisk(root, ExpectedBelow(server, "loop"));
  EXPECT_EQ(root->Total(), 48);  // big.bin once, not twice
}

// Folders whose listings are alike byte for byte (same names, sizes and
// times) are different folders: every one is walked and counted.
TEST(Scan, FoldersWithAlikeListingsAreAllCounted) {
  FtpServerOptions o;
  o.identicalNested = 5;
  FtpServer server(o);
  server.Start();
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/same")));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  TDossier* d = h.session.Racine();
  for (int level = 0; level < 5; ++level) {
    SCOPED_TRACE(level);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Etat, TEtatDossier::Normal);
    EXPECT_EQ(d->Octets, 5000);  // its f
    EXPECT_EQ(d->OctetsTotal(), 5000 * (5 - level));
    d = Child(d, u"d");
  }
  EXPECT_TRUE(h.sink.marked.empty());
  EXPECT_EQ(h.session.TailleTotale(), 25000 / 1024);
}

// On a server that hides names beginning with "." from a plain LIST, they
// are counted all the same (".cache" can hold most of an account).
TEST(Scan, HiddenFilesAndFoldersAreCounted) {
  FtpServerOptions o;
  o.hideDotFiles = true;
  FtpServer server(o);
  server.Start();
  server.MakeFile("www/.htaccess", 2048);
  server.MakeFile("www/.cache/huge.bin", 10 << 20);
  server.MakeFile("www/.cache/.deeper/x.bin", 4096);
  server.MakeFile("www/index.html", 1024);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/www")));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  TDossier* root = h.session.Racine();
  CompareWithDisk(root, ExpectedBelow(server, "www"));
  EXPECT_EQ(h.session.TailleTotale(), 2 + 10240 + 4 + 1);
  ASSERT_NE(Child(Child(root, u".cache"), u".deeper"), nullptr);
}

// Listing lines the parser does not understand: the log names each folder
// with how many and the first of them, and the end says the totals may be
// short.
TEST(Scan, LinesNotUnderstoodAreReported) {
  FtpServerOptions o;
  o.extraListLine = "drwxr-xr-x   2 user group 4096 2021-03-04 05:06 hidden from the parser";
  FtpServer server(o);
  server.Start();
  server.MakeFile("x/a.bin", 4096);
  server.MakeFile("x/sub/b.bin", 4096);
  const TGetMsgFunc previous = SetGetMsgFunc([](const String& key) -> String {
    if (key == u"LignesNonComprises") return u"[%s] %s line(s): %s";
    if (key == u"TermineIncomplet") return u"Finished, %s not understood";
    return key;
  });
  struct Restore {
    TGetMsgFunc f;
    ~Restore() { SetGetMsgFunc(f); }
  } restore{previous};
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/x")));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  EXPECT_EQ(h.sink.result->LignesNonComprises, 2);
  EXPECT_EQ(h.session.Racine()->LignesNonComprises, 1);
  EXPECT_EQ(h.session.TailleTotale(), 8);
  EXPECT_EQ(h.sink.log, (std::vector<String>{u"[/x] 1 line(s): " + UTF8ToUTF16(o.extraListLine),
                                             u"[/x/sub] 1 line(s): " + UTF8ToUTF16(o.extraListLine)}));
  EXPECT_EQ(h.sink.panel3.back(), u"Finished, 2 not understood");
}

TEST(Scan, DepthLimitStopsTheDescent) {
  FtpServer server(TreeOptions());
  server.Start();
  BuildSite(server);
  Harness<> h;
  h.session.ProfondeurMax = 1;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/site")));
  ASSERT_TRUE(h.RunToEnd());
  TDossier* ete = Child(h.session.Racine(), Wire("Dossier été"));
  ASSERT_NE(ete, nullptr);
  EXPECT_EQ(ete->Etat, TEtatDossier::Normal);
  TDossier* sous = Child(ete, u"sous dossier");
  ASSERT_NE(sous, nullptr);
  EXPECT_EQ(sous->Etat, TEtatDossier::Boucle);
  EXPECT_EQ(sous->Reponse, u"");  // not a link: nowhere to point at
  EXPECT_FALSE(HasCommand(server.Commands(), u"CWD /site/Dossier été/sous dossier"));
  CheckConsistent(h.session.Racine());
}

TEST(Scan, CancelMidWalkKeepsConsistentPartialTotals) {
  FtpServerOptions o;
  o.generate = 3;
  FtpServer server(o);
  server.Start();
  Harness<> h;
  h.sink.onFolder = [&](TDossier*) {
    if (h.sink.folders.size() == 6) h.session.WaitClick();
  };
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Annule);
  EXPECT_EQ(h.sink.panel3.back(), AppMsg(u"Annule"));  // not "Termine": the totals are partial
  TDossier* root = h.session.Racine();
  EXPECT_EQ(CheckConsistent(root), root->OctetsTotal());
  EXPECT_EQ(h.session.TailleTotale(), root->Total());
  EXPECT_EQ(h.sink.result->TailleTotale, root->Total());
  const ExpectedMap all = ExpectedBelow(server, "");
  EXPECT_LT(h.session.Modele().NombreDossiers(), all.size());
  // The folder whose listing was being handed over ended its entries at
  // the cancel: six folders and nothing after them.
  EXPECT_EQ(h.sink.folders.size(), 6u);
}

TEST(Scan, CancelWhileAddingTheEntriesOfALargeFolder) {
  FtpServer server;
  server.Start();
  for (int i = 0; i < 40; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "many/f%02d.bin", i);
    server.MakeFile(name, 2048);
  }
  server.MakeFile("many/z1/x.bin", 1);
  server.MakeDir("many/z2");
  Harness<> h;
  h.sink.onFile = [&](TFichier*) {
    if (h.sink.files == 10) h.session.WaitClick();
  };
  ASSERT_TRUE(h.Connect(h.Params(server, u"/many")));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Annule);
  TDossier* root = h.session.Racine();
  EXPECT_EQ(root->Fichiers.size(), 10u);  // the entries already added count
  EXPECT_EQ(root->Taille(), 20);
  EXPECT_TRUE(root->SousDossiers.empty());
  EXPECT_FALSE(HasCommand(server.Commands(), u"CWD /many/z1"));
  EXPECT_EQ(h.session.TailleTotale(), 20);
  EXPECT_EQ(h.sink.panel3.back(), AppMsg(u"Annule"));  // not "Termine"
  EXPECT_EQ(root->Etat, TEtatDossier::Normal);
}

// Folders listed but never reached before a cancel are marked so, not
// shown as empty ones; the folders reached are not.
TEST(Scan, FoldersTheCancelledWalkNeverReachedAreMarked) {
  FtpServer server;
  server.Start();
  for (const char* f : {"t/a/x.bin", "t/a/deeper/y.bin", "t/b/x.bin", "t/c/x.bin"}) server.MakeFile(f, 3000);
  server.MakeDir("t/empty");
  Harness<> h;
  h.sink.onFolder = [&](TDossier* d) {
    if (d->Nom == u"deeper") h.session.WaitClick();  // while a's listing is handed over
  };
  ASSERT_TRUE(h.session.Connecte(h.Params(server, u"/t")));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Annule);
  EXPECT_EQ(h.sink.panel3.back(), AppMsg(u"Annule"));
  TDossier* root = h.session.Racine();
  ASSERT_EQ(root->SousDossiers.size(), 4u);
  EXPECT_EQ(root->Etat, TEtatDossier::Normal);
  EXPECT_EQ(Child(root, u"a")->Etat, TEtatDossier::Normal);
  EXPECT_EQ(Child(Child(root, u"a"), u"deeper")->Etat, TEtatDossier::NonParcouru);
  for (const char16_t* n : {u"b", u"c", u"empty"}) {
    ASSERT_NE(Child(root, n), nullptr);
    EXPECT_EQ(Child(root, n)->Etat, TEtatDossier::NonParcouru) << UTF16ToUTF8(n);
  }
  EXPECT_FALSE(HasCommand(server.Commands(), u"CWD /t/b"));
  // Walked to the end, the same tree has nothing unreached, the empty
  // folder included.
  h.sink.onFolder = nullptr;
  ASSERT_TRUE(h.session.LanceScan(u"/t", server.Host(), server.Port()));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  std::vector<const TDossier*> pile{h.session.Racine()};
  while (!pile.empty()) {
    const TDossier* d = pile.back();
    pile.pop_back();
    EXPECT_EQ(d->Etat, TEtatDossier::Normal) << UTF16ToUTF8(d->Chemin);
    for (const auto& c : d->SousDossiers) pile.push_back(c.get());
  }
  EXPECT_EQ(h.session.Racine()->OctetsTotal(), 4 * 3000);
}

// The folders come in name order, without regard to case and in locale
// order, whatever order the server lists them in; files keep theirs.
TEST(Scan, FoldersAreInNameOrder) {
  FtpServer server;
  server.Start();
  const char* noms[] = {"Zoé", "b", "eddy", "A", "école", "a2", "E"};
  for (const char* n : noms) server.MakeFile(std::string("t/") + n + "/f.bin", 10);
  server.MakeFile("t/z.txt", 1);
  server.MakeFile("t/B.txt", 1);
  Harness<> h;
  ASSERT_TRUE(h.session.Connecte(h.Params(server, u"/t")));
  ASSERT_TRUE(h.RunToEnd());
  ASSERT_EQ(h.sink.result->Fin, TFinScan::Termine);
  std::vector<String> ordre;
  for (const auto& c : h.session.Racine()->SousDossiers) ordre.push_back(c->Nom);
  const std::vector<String> attendu = {u"A", u"a2", u"b", u"E", Wire("école"), u"eddy", Wire("Zoé")};
  EXPECT_EQ(ordre, attendu);
  // The walk follows it too.
  std::vector<String> cwd;
  for (const String& c : server.Commands())
    if (c.rfind(u"CWD /t/", 0) == 0) cwd.push_back(c.substr(7));
  EXPECT_EQ(cwd, attendu);
  EXPECT_EQ(h.session.Racine()->Fichiers.size(), 2u);
}

// Small files add up in bytes: 24 files of 958 to 3258 bytes hold 50,592
// bytes (49.4 KiB), which whole KiB per file would count as 38.
TEST(Scan, TotalsAreExactByteSumsOfSmallFiles) {
  FtpServer server;
  server.Start();
  Int64 octets = 0, kioParFichier = 0, octetsSous = 0;
  for (int i = 0; i < 24; ++i) {
    char name[40];
    const Int64 taille = 958 + 100 * i;
    std::snprintf(name, sizeof name, "small/%sf%02d.txt", i % 3 == 0 ? "sub/" : "", i);
    server.MakeFile(name, static_cast<UInt64>(taille));
    octets += taille;
    kioParFichier += taille / 1024;
    if (i % 3 == 0) octetsSous += taille;
  }
  ASSERT_EQ(octets, 50592);
  ASSERT_EQ(kioParFichier, 38);
  Harness<> h;
  ASSERT_TRUE(h.session.Connecte(h.Params(server, u"/small")));
  ASSERT_TRUE(h.RunToEnd());
  ASSERT_EQ(h.sink.result->Fin, TFinScan::Termine);
  TDossier* root = h.session.Racine();
  CompareWithDisk(root, ExpectedBelow(server, "small"));
  EXPECT_EQ(CheckConsistent(root), octets);
  EXPECT_EQ(root->OctetsTotal(), octets);
  EXPECT_EQ(root->OctetsSousDossier, octetsSous);
  EXPECT_EQ(Child(root, u"sub")->Octets, octetsSous);
  EXPECT_EQ(root->Total(), octets / 1024);
  EXPECT_EQ(h.session.TailleTotale(), 49);
  EXPECT_EQ(h.sink.result->TailleTotale, 49);
  EXPECT_EQ(FormatOctets(root->OctetsTotal(), TFormatSettings::English()), u"49 Kio");  // 49.4
}

TEST(Scan, StopDuringTheWalk) {
  FtpServerOptions o;
  o.generate = 3;
  FtpServer server(o);
  server.Start();
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.PumpUntil([&] { return h.sink.folders.size() >= 4 || h.sink.result; }));
  ASSERT_FALSE(h.sink.result.has_value());
  const auto t0 = std::chrono::steady_clock::now();
  h.session.StopScan();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 5000);
  EXPECT_FALSE(h.session.ScanEnCours());
  EXPECT_FALSE(h.session.DernierArretForce());
  ASSERT_TRUE(h.sink.result.has_value());  // the completion step ran inside StopScan
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Annule);
  EXPECT_EQ(h.sink.panel0.back(), AppMsg(u"WaitDeco"));
  CheckConsistent(h.session.Racine());
  // The connection stays usable: a deletion or a new scan can follow.
  EXPECT_TRUE(h.ftp.NoOp());
}

TEST(Scan, StopWhileASlowListBlocks) {
  FtpServerOptions o;
  o.slowListSeconds = 5;
  FtpServer server(o);
  server.Start();
  server.MakeFile("one.bin", 4096);
  Harness<> h;
  h.ftp.Timeout = 30000;     // the client would wait for the listing
  h.session.ToursArret = 5;  // 1 s of rounds instead of 5.2 s
  ASSERT_TRUE(h.Connect(h.Params(server)));
  // The server has the LIST: the client waits for its reply.
  ASSERT_TRUE(h.PumpUntil([&] {
    for (const String& c : server.Commands())
      if (c.rfind(u"LIST", 0) == 0) return true;
    return false;
  }));
  const auto t0 = std::chrono::steady_clock::now();
  h.session.StopScan();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_GE(ms, 900);   // the rounds first
  EXPECT_LT(ms, 3500);  // then the pending wait is stopped, long before the listing
  EXPECT_TRUE(h.session.DernierArretForce());
  EXPECT_FALSE(h.session.ScanEnCours());
  ASSERT_TRUE(h.sink.result.has_value());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Annule);
  EXPECT_EQ(h.session.TailleTotale(), 0);
  // The connection, out of step, was closed; connecting again works.
  EXPECT_EQ(h.ftp.Sock()->Socket(), INVALID_SOCKET_HANDLE);
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  EXPECT_EQ(h.session.TailleTotale(), 4);
}

// The data connection goes to a host that drops every packet: stopping the
// scan ends the pending connect at once instead of after the system's
// connect time-out.
TEST(Scan, StopWhileTheDataConnectionHangs) {
  FtpServerOptions o;
  o.pasvToBlackhole = true;
  FtpServer server(o);
  server.Start();
  server.MakeFile("one.bin", 4096);
  Harness<> h;
  h.ftp.Timeout = 60000;
  h.session.ToursArret = 2;
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.PumpUntil([&] { return HasCommand(server.Commands(), u"PASV") || h.sink.result; }));
  const auto t0 = std::chrono::steady_clock::now();
  h.session.StopScan();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 20000);
  EXPECT_TRUE(h.session.DernierArretForce());
  ASSERT_TRUE(h.sink.result.has_value());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Annule);
  EXPECT_FALSE(HasCommand(server.Commands(), u"LIST"));
}

TEST(Scan, RefusedStartFolderIsAnError) {
  FtpServer server;
  server.Start();
  server.MakeFile("x.bin", 4096);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server, u"nope")));
  ASSERT_TRUE(h.RunToEnd());
  const TResultatScan& r = *h.sink.result;
  EXPECT_EQ(r.Fin, TFinScan::Erreur);
  EXPECT_NE(r.Message.find(u"CWD /nope"), String::npos);
  EXPECT_NE(r.Message.find(u"550"), String::npos);
  EXPECT_EQ(h.sink.panel3.back().rfind(AppMsg(u"Erreur"), 0), 0u);
  EXPECT_NE(h.sink.panel3.back(), AppMsg(u"Termine"));
  EXPECT_EQ(h.session.Racine()->Nom, u"/nope");
  EXPECT_EQ(h.session.TailleTotale(), 0);
  EXPECT_FALSE(HasCommand(server.Commands(), u"LIST"));
  // The root is marked with the server's refusal, not shown as empty; the
  // log tells it too.
  EXPECT_EQ(h.session.Racine()->Etat, TEtatDossier::AccesRefuse);
  EXPECT_NE(h.session.Racine()->Reponse.find(u"550"), String::npos);
  EXPECT_TRUE(HasCommand(h.sink.marked, u"/nope"));
  EXPECT_TRUE(HasCommand(h.sink.log, h.sink.panel3.back()));
}

TEST(Scan, LostConnectionIsAnErrorWithPartialTotals) {
  FtpServerOptions o = TreeOptions();
  o.dropList = {"/site/Dossier été"};
  FtpServer server(o);
  server.Start();
  BuildSite(server);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/site")));
  ASSERT_TRUE(h.RunToEnd());
  const TResultatScan& r = *h.sink.result;
  EXPECT_EQ(r.Fin, TFinScan::Erreur);
  EXPECT_NE(r.Message.find(u"LIST"), String::npos) << UTF16ToUTF8(r.Message);
  EXPECT_NE(h.sink.panel3.back(), AppMsg(u"Termine"));
  TDossier* root = h.session.Racine();
  EXPECT_EQ(CheckConsistent(root), root->OctetsTotal());
  const ExpectedMap expected = ExpectedBelow(server, "site", {"interdit"});
  EXPECT_EQ(root->Octets, expected.at("").own);  // the root's own files were counted
  EXPECT_EQ(h.session.TailleTotale(), root->Total());
  EXPECT_GT(h.session.TailleTotale(), 0);
}

TEST(Scan, ErrorRaisedInTheWalkIsReported) {
  FtpServer server(TreeOptions());
  server.Start();
  BuildSite(server);
  Harness<> h;
  h.sink.onFolder = [](TDossier* d) {
    if (d->Nom == u"sous dossier") throw Exception(u"boom");
  };
  ASSERT_TRUE(h.Connect(h.Params(server, u"/site")));
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Erreur);
  EXPECT_EQ(h.sink.result->Message, u"boom");
  EXPECT_EQ(h.sink.panel3.back(), AppMsg(u"Erreur") + u" : boom");
  TDossier* root = h.session.Racine();
  EXPECT_EQ(CheckConsistent(root), root->OctetsTotal());
  EXPECT_EQ(Child(root, Wire("Dossier été"))->Taille(), 4);  // counted before the error
  EXPECT_EQ(h.session.TailleTotale(), root->Total());
}

TEST(Scan, ConnectWhileAScanRuns) {
  FtpServerOptions o;
  o.generate = 3;
  FtpServer server(o);
  server.Start();
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.PumpUntil([&] { return h.sink.folders.size() >= 3 || h.sink.result; }));
  ASSERT_TRUE(h.Connect(h.Params(server)));  // stops, QUIT, logs in again, scans
  EXPECT_EQ(h.sink.started, 2);
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
  const std::vector<String> c = server.Commands();
  EXPECT_TRUE(HasCommand(c, u"QUIT"));
  EXPECT_EQ(std::count(c.begin(), c.end(), u"USER quorvel"), 2);
  EXPECT_TRUE(HasCommand(h.sink.panel0, AppMsg(u"WaitDeco")));
  EXPECT_TRUE(HasCommand(h.sink.panel0, AppMsg(u"Deco")));
  EXPECT_EQ(h.sink.panel0.back(), AppMsg(u"Connecte"));
  CompareWithDisk(h.session.Racine(), ExpectedBelow(server, ""));
}

TEST(Scan, SinkCallsCannotWaitForTheWorker) {
  FtpServer server(TreeOptions());
  server.Start();
  BuildSite(server);
  Harness<> h;
  std::vector<bool> connects;
  h.sink.onFolder = [&](TDossier*) {
    if (h.sink.folders.size() == 3) {
      connects.push_back(h.session.Connecte(h.Params(server)));  // would wait for the worker
      h.session.Deconnecte();
      h.session.StopScan();  // only asks the worker to end
    }
  };
  h.sink.onFinished = [&] { connects.push_back(h.session.Connecte(h.Params(server))); };
  ASSERT_TRUE(h.Connect(h.Params(server, u"/site")));
  ASSERT_TRUE(h.RunToEnd(30000));
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Annule);
  EXPECT_EQ(connects, (std::vector<bool>{false, false}));
  EXPECT_EQ(h.sink.started, 1);
  EXPECT_FALSE(HasCommand(server.Commands(), u"QUIT"));
  h.sink.onFinished = nullptr;
  h.sink.onFolder = nullptr;
  ASSERT_TRUE(h.Connect(h.Params(server, u"/site")));  // outside: fine
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
}

// A refused password, a closed port and a time-out each say why, in the
// progress panel beside panel 0's "Erreur" and in the log.
TEST(Scan, LoginFailureSaysWhy) {
  FtpServer server({.blackhole = true});
  server.Start();
  // A port nothing listens on: bound, then closed.
  int portFerme = 0;
  {
    FtpServer ferme;
    ferme.Start();
    portFerme = ferme.Port();
  }
  const struct {
    const char* name;
    String pass;
    int port;  // 0: the server's
    const char16_t* reason;
  } cases[] = {
      {"wrong password", u"wrong", 0, u"530"},
      {"closed port", String(), portFerme, u"(10061)"},
      {"time-out", String(), server.BlackholePort(), u"(10060)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness<> h;
    h.session.DelaiLoginMs = 700;
    TParamsConnexion p = h.Params(server);
    if (!c.pass.empty()) p.Pass = c.pass;
    if (c.port) p.Port = c.port;
    EXPECT_FALSE(h.Connect(p));
    EXPECT_EQ(h.sink.connected, false);
    EXPECT_EQ(h.sink.panel0.back(), AppMsg(u"Erreur"));
    EXPECT_NE(h.session.DerniereErreur().find(c.reason), String::npos) << UTF16ToUTF8(h.session.DerniereErreur());
    ASSERT_FALSE(h.sink.panel3.empty());
    EXPECT_EQ(h.sink.panel3.back(), AppMsg(u"Erreur") + u" : " + h.session.DerniereErreur());
    EXPECT_TRUE(HasCommand(h.sink.log, h.sink.panel3.back()));
    EXPECT_EQ(h.sink.started, 0);
    EXPECT_FALSE(h.session.ScanEnCours());
  }
}

// The log-in runs on the user-interface thread: a host that takes the
// connection and never greets must not freeze the window for the client's
// own time-out of minutes.
TEST(Scan, LoginToAHostThatNeverGreetsEndsAtTheLoginDelay) {
  FtpServer server({.blackhole = true});
  server.Start();
  Harness<> h;
  h.session.DelaiLoginMs = 700;
  TParamsConnexion p = h.Params(server);
  p.Port = server.BlackholePort();
  const Integer avant = h.session.FTP().Timeout;
  const auto debut = std::chrono::steady_clock::now();
  EXPECT_FALSE(h.Connect(p));
  EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(10));
  EXPECT_EQ(h.sink.panel0.back(), AppMsg(u"Erreur"));
  EXPECT_EQ(h.session.FTP().Timeout, avant);  // the walk keeps the client's own
}

// The log-in runs on its worker: while a silent host holds it, the
// user-interface thread keeps running its queue (paints, timers, the busy
// bar's steps), and the busy bar's click, or closing the window, ends it
// at once instead of after the log-in delay.
TEST(LoginWorker, ASilentHostKeepsTheWindowRunningAndAClickCancels) {
  using namespace std::chrono;
  FtpServer server({.blackhole = true});
  server.Start();
  // Connections complete in the listener's backlog; nothing ever greets.
  TTCPBlockSocket muet;
  muet.Bind(u"127.0.0.1", u"0");
  muet.Listen();
  ASSERT_EQ(muet.LastError(), 0);
  const struct {
    const char* name;
    int port;
    bool close;  // StopScan (closing the window) rather than the click
  } cases[] = {
      {"never accepts, click", server.BlackholePort(), false},
      {"accepts and never greets, click", muet.GetLocalSinPort(), false},
      {"accepts and never greets, window closed", muet.GetLocalSinPort(), true},
  };
  FtpServer vrai;
  vrai.Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness<> h;
    h.session.DelaiLoginMs = 60000;
    TParamsConnexion p = h.Params(server);
    p.Port = c.port;
    const auto debut = steady_clock::now();
    ASSERT_TRUE(h.session.Connecte(p));
    EXPECT_LT(steady_clock::now() - debut, seconds(5));  // not the log-in delay
    EXPECT_TRUE(h.session.LoginEnCours());
    EXPECT_EQ(h.sink.loginsStarted, 1);
    EXPECT_FALSE(h.session.Connecte(p));  // one at a time
    int tours = 0;
    for (int i = 0; i < 8; ++i) {
      h.dispatcher.Post([&] { ++tours; });
      h.dispatcher.WaitAndProcess(50);
    }
    EXPECT_EQ(tours, 8);
    EXPECT_TRUE(h.session.LoginEnCours());
    const auto clic = steady_clock::now();
    if (c.close) {
      h.session.StopScan();
      EXPECT_FALSE(h.session.LoginEnCours());
    } else {
      h.session.WaitClick();
      ASSERT_TRUE(h.PumpUntil([&] { return !h.session.LoginEnCours(); }, 20000));
    }
    EXPECT_LT(steady_clock::now() - clic, seconds(5));
    EXPECT_EQ(h.sink.loginsFinished, 1);
    EXPECT_EQ(h.sink.connected, std::optional<bool>(false));
    EXPECT_EQ(h.sink.panel0.back(), AppMsg(u"Deco"));
    EXPECT_EQ(h.sink.started, 0);
    EXPECT_FALSE(h.session.ConnexionOuverte());
    EXPECT_EQ(h.session.FTP().Timeout, TFTPSend().Timeout);
    // The client is whole again: a log-in to a real server works.
    ASSERT_TRUE(h.Connect(h.Params(vrai)));
    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.sink.result->Fin, TFinScan::Termine);
    EXPECT_TRUE(h.session.ConnexionOuverte());
  }
}

TEST(Scan, DisconnectSendsQuit) {
  FtpServer server;
  server.Start();
  server.MakeFile("x.bin", 1);
  Harness<> h;
  ASSERT_TRUE(h.Connect(h.Params(server)));
  ASSERT_TRUE(h.RunToEnd());
  h.session.Deconnecte();
  EXPECT_EQ(h.sink.panel0.back(), AppMsg(u"Deco"));
  EXPECT_EQ(server.Commands().back(), u"QUIT");
}

// --- helpers of the walk

TEST(WalkHelpers, NormaliseChemin) {
  const struct {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {{u"", u"/"},           {u"/", u"/"},          {u"//", u"/"},     {u"/a//b/./c/../", u"/a/b"},
               {u"/a/..", u"/"},      {u"/..", u"/"},        {u"a/../b", u"b"}, {u"../x", u"../x"},
               {u"/site/", u"/site"}, {u"/a b/é", u"/a b/é"}};
  for (const auto& c : cases) EXPECT_EQ(NormaliseChemin(c.in), String(c.out)) << UTF16ToUTF8(c.in);
}

TEST(WalkHelpers, LienVersAncetre) {
  const struct {
    const char16_t* folder;
    const char16_t* target;
    bool loop;
  } cases[] = {
      {u"/loop/inner", u"..", true},
      {u"/loop/inner", u".", true},
      {u"/loop/inner", u"../..", true},
      {u"/loop/inner", u"/", true},
      {u"/loop/inner", u"/loop", true},
      {u"/loop/inner", u"/loop/", true},
      {u"/loop/inner", u"/loop/inner", true},
      {u"/loop/inner", u"../other", false},
      {u"/loop/inner", u"sub", false},
      {u"/loop/inner", u"/loo", false},
      {u"/loop/inner", u"/loop/inner2", false},
      {u"/loop/inner", u"", false},
      {u"/", u"..", true},
      {u"/site//img", u"../../site", true},
      {u"/home/u", u"/home/u/x", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LienVersAncetre(c.folder, c.target), c.loop) << UTF16ToUTF8(c.folder) << " -> " << UTF16ToUTF8(c.target);
}

TEST(WalkHelpers, LinkTargetsAgainstTheFoldersBeingWalked) {
  EXPECT_EQ(CheminCible("/loop/inner", ".."), "/loop");
  EXPECT_EQ(CheminCible("/loop/inner", "/var//www/"), "/var/www");
  EXPECT_EQ(CheminCible("/", "../.."), "/");
  EXPECT_EQ(CheminCible("/a", "b/./c"), "/a/b/c");
  // Walking /r, then /r/l (a link to /x/y), then /x/y/g.
  const std::vector<AnsiString> walked = {"/r", "/x/y", "/x/y/g"};
  const struct {
    const char* target;
    bool loop;
  } cases[] = {
      {"/r", true},        {"/x/y", true},   {"/x", true},          {"/", true}, {"/x/y/g", true},    {"/r2", false},
      {"/x/y/g/h", false}, {"/x/yy", false}, {"/elsewhere", false}, {"", false}, {"relative", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CibleDansAncetres(walked, c.target), c.loop) << c.target;
}

TEST(WalkHelpers, RootNames) {
  EXPECT_EQ(NomRacineHote(u"h", 2121), u"h:2121");
  EXPECT_EQ(NomRacineHote(u"srv", 21), u"srv:21");
  const struct {
    const char* login;
    const char* field;
    const char* path;
  } cases[] = {
      {"/", "site", "/site"},        {"/home/u", "site", "/home/u/site"}, {"/home/u/", "site", "/home/u/site"},
      {"/home/u", "/site", "/site"}, {"/home/u", "a/b", "/home/u/a/b"},   {"", "site", "/site"},
      {"/home/u", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CheminDepart(c.login, c.field), c.path) << c.login << " " << c.field;
}

}  // namespace
