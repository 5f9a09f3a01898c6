// The window while a log-in or a deletion runs on its worker: it shows and
// paints, the busy bar steps, and a click on the busy bar ends the work;
// Delete is offered only on an open connection.
#include <chrono>
#include <cstdio>
#include <set>

#include "AppWinTestSupport.h"
#include "net/blcksock.h"
#include "tests/app/core/ScanTestSupport.h"
#include "tests/fixture/FtpFixture.h"

namespace {

using namespace apptest;
using namespace std::chrono;

class AttenteTest : public AppFixture {
protected:
  // A click on the busy bar, as the mouse gives it to the status bar.
  void ClicAttente() {
    TOxWaitingGradient* w = Main->Wait;
    ASSERT_TRUE(w->Visible());
    Clic(Main->SBar->Handle(), w->Left() + 10, w->Top() + 4);
  }
  // Whether Delete is offered for the folder tree's selection D.
  bool SupprOfferte(TDossier* D) {
    Main->SetActiveControl(Main->listeDossier);
    Main->SelectionneDossier(D);
    Main->pmSupprPopup(nullptr);
    return Main->aDel->Enabled();
  }
};

// Started with connection parameters towards a host that takes the
// connection and never greets: the window shows at once and keeps
// painting while the log-in waits, and a click on the busy bar ends it.
TEST_F(AttenteTest, ALoginToASilentHostKeepsTheWindowRunningAndTheBusyBarCancelsIt) {
  TTCPBlockSocket muet;  // connections complete in its backlog; it never greets
  muet.Bind(u"127.0.0.1", u"0");
  muet.Listen();
  ASSERT_EQ(muet.LastError(), 0);
  const auto debut = steady_clock::now();
  Demarre({u"-host=127.0.0.1", u"-port=" + IntToStr(muet.GetLocalSinPort()), u"-user=u", u"-pass=p", u"-US"});
  EXPECT_LT(steady_clock::now() - debut, seconds(5));
  EXPECT_TRUE(::IsWindowVisible(Main->Handle()));
  ASSERT_TRUE(Main->Session()->LoginEnCours());
  EXPECT_TRUE(Main->Wait->Visible());
  EXPECT_FALSE(Main->pbOccupe->Visible());

  int peintures = 0;
  Main->listeDossier->OnAfterPaint = [&](TBaseVastTree*, TCanvas*) { ++peintures; };
  const Integer pas = Main->Wait->StepCount();
  Main->listeDossier->Invalidate();
  PumpMessagesFor(1500);
  EXPECT_GT(Main->Wait->StepCount(), pas + 5);  // 50 ms a step
  EXPECT_GT(peintures, 0);
  ASSERT_TRUE(Main->Session()->LoginEnCours());
  Capture(Main, DossierCaptures(), "main_login_silent_host_us");

  const auto clic = steady_clock::now();
  ClicAttente();
  ASSERT_TRUE(Pump([] { return !Main->Session()->LoginEnCours(); }, 20000));
  EXPECT_LT(steady_clock::now() - clic, seconds(5));
  EXPECT_EQ(Panneau(0), u"Disconnected");
  EXPECT_FALSE(Main->Wait->Visible());
  EXPECT_TRUE(Main->pbOccupe->Visible());
  EXPECT_FALSE(Main->aDeco->Enabled());
  EXPECT_EQ(Main->ScansTermines, 0);
  EXPECT_FALSE(Main->Session()->ConnexionOuverte());
}

// A folder of 2000 files deleted from the window and stopped half-way by a
// click on the busy bar: what went is gone from the disk, the tree and the
// file list; what stayed is on all three; panel 3 says the deletion
// stopped. Delete is offered again afterwards, and not once disconnected.
TEST_F(AttenteTest, ADeletionStoppedByTheBusyBarKeepsAndShowsWhatWent) {
  constexpr int N = 2000;
  FtpServer server;
  server.Start();
  auto nom = [](int i) {
    char s[32];
    std::snprintf(s, sizeof s, "f%04d.bin", i);
    return std::string(s);
  };
  for (int i = 0; i < N; ++i) server.MakeFile("big/" + nom(i), 1024);
  server.MakeFile("other/o.bin", 4096);
  Demarre(Params(server, {u"-passive", u"-US"}));
  ASSERT_TRUE(AttendScan());
  TDossier* racine = Main->Racine();
  TDossier* big = scantest::Child(racine, u"big");
  ASSERT_NE(big, nullptr);
  ASSERT_EQ(big->Fichiers.size(), static_cast<std::size_t>(N));
  ASSERT_TRUE(SupprOfferte(big));
  ASSERT_EQ(Main->listeFichiers->RootNodeCount(), static_cast<Cardinal>(N));

  Monde.Reponses = {IDYES};
  Main->aDel->Execute();
  ASSERT_TRUE(Main->Session()->SuppressionEnCours());
  EXPECT_TRUE(Main->Wait->Visible());
  EXPECT_FALSE(Main->pbOccupe->Visible());
  // Under way: the window runs its loop, the busy bar steps, panel 3 names
  // the file being deleted.
  ASSERT_TRUE(Pump([&] { return big->Fichiers.size() <= N - 300 || !Main->Session()->SuppressionEnCours(); }));
  ASSERT_TRUE(Main->Session()->SuppressionEnCours()) << "the deletion ended too soon to tell";
  const Integer pas = Main->Wait->StepCount();
  PumpMessagesFor(400);
  EXPECT_GT(Main->Wait->StepCount(), pas);
  const String panneau3 = Panneau(3);
  EXPECT_EQ(panneau3.rfind(u"Deleting \"f", 0), 0u) << U8(panneau3);
  Capture(Main, DossierCaptures(), "main_deleting_2000_files_us");
  ASSERT_TRUE(Main->Session()->SuppressionEnCours()) << "the deletion ended too soon to tell";
  ClicAttente();
  ASSERT_TRUE(Pump([] { return !Main->Session()->SuppressionEnCours(); }, 60000));

  const TRapportSuppression& r = Main->DerniereSuppression;
  EXPECT_EQ(r.Issue, TIssueSuppression::Arretee);
  EXPECT_GT(r.Supprimes, 0);
  EXPECT_LT(r.Supprimes, N);
  EXPECT_EQ(Panneau(3), u"Deletion stopped: " + IntToStr(r.Supprimes) + u" item(s) deleted");
  EXPECT_FALSE(Main->Wait->Visible());
  EXPECT_TRUE(Main->pbOccupe->Visible());
  // Disk, model and file list agree, file by file.
  std::set<String> listes;
  for (PVastNode n = Main->listeFichiers->GetFirst(); n; n = Main->listeFichiers->GetNextSibling(n))
    listes.insert(Main->listeFichiers->TCustomVastStringTree::GetText(n, 0));
  int restants = 0;
  for (int i = 0; i < N; ++i) {
    const bool present = server.Exists("big/" + nom(i));
    restants += present;
    EXPECT_EQ(scantest::FileOf(big, scantest::Wire(nom(i))) != nullptr, present) << nom(i);
    EXPECT_EQ(listes.count(scantest::Wire(nom(i))) == 1, present) << nom(i);
  }
  EXPECT_EQ(restants, N - r.Supprimes);
  EXPECT_TRUE(server.Exists("big"));
  EXPECT_EQ(Main->NoeudDossier(big) != nullptr, true);
  EXPECT_EQ(Main->TailleTotale(), restants + 4);
  EXPECT_EQ(Main->listeDossier->TCustomVastStringTree::GetText(Main->NoeudDossier(big), 1), FormatTaille(restants));
  Capture(Main, DossierCaptures(), "main_deletion_stopped_us");

  // Offered again on the open connection; not once disconnected, the tree
  // still shown.
  EXPECT_TRUE(SupprOfferte(big));
  Main->aDecoExecute(nullptr);
  EXPECT_FALSE(SupprOfferte(big));
  Main->SetActiveControl(Main->listeFichiers);
  Main->listeFichiers->SetSelected(Main->listeFichiers->GetFirst(), true);
  Main->pmSupprPopup(nullptr);
  EXPECT_FALSE(Main->aDel->Enabled());
  EXPECT_EQ(Main->SupprimeDossierChoisi(big).Issue, TIssueSuppression::Impossible);
}

// Before any connection, and after a log-in the server refused, Delete is
// not offered (the tree of the last scan stays on screen).
TEST_F(AttenteTest, DeleteIsOfferedOnlyOnAnOpenConnection) {
  FtpServer server;
  server.Start();
  server.MakeFile("a/x.bin", 4096);
  Demarre({});
  Main->SetActiveControl(Main->listeDossier);
  Main->pmSupprPopup(nullptr);
  EXPECT_FALSE(Main->aDel->Enabled());
  Main->edHost->SetText(server.Host());
  Main->SetPort(server.Port());
  Main->edUser->SetText(server.User());
  Main->edPass->SetText(server.Password());
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(AttendScan());
  TDossier* a = scantest::Child(Main->Racine(), u"a");
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(SupprOfferte(a));
  Main->edPass->SetText(u"wrong");
  Main->aConnectExecute(nullptr);
  ASSERT_TRUE(Pump([] { return !Main->Session()->LoginEnCours(); }));
  EXPECT_EQ(Panneau(0), u"Error");
  ASSERT_EQ(scantest::Child(Main->Racine(), u"a"), a);
  EXPECT_FALSE(SupprOfferte(a));
  Monde.Reponses = {IDYES};
  Touche(Main->listeDossier->Handle(), VK_DELETE);
  EXPECT_TRUE(Monde.Boites.empty());
  EXPECT_TRUE(server.Exists("a/x.bin"));
}

}  // namespace
