// The update check from the main window, against an HTTP server on
// loopback: the boxes, the download page, the start-up check, network
// errors, and a check abandoned when the window goes away.
#include "AppWinTestSupport.h"
#include "tests/fixture/HttpTestServer.h"

namespace {

using namespace apptest;
using majtest::THttpTestServer;

class MajWebTest : public AppFixture {
protected:
  void Reglages(const String& Url, const std::string& AutoCheck, const std::string& LastCheck = "") {
    std::string xml = "<Quorvel><Options><AutoCheck>" + AutoCheck + "</AutoCheck>";
    if (!LastCheck.empty()) xml += "<LastCheck>" + LastCheck + "</LastCheck>";
    xml += "<UrlUpdate>" + U8(Url) + "</UrlUpdate></Options></Quorvel>";
    EcritReglages(xml);
  }
  static THttpTestServer::Script Repond(const std::string& Body, int DelaiMs = 0) {
    return [Body, DelaiMs](TTCPBlockSocket& c, const std::string&, const THttpTestServer& s) {
      if (DelaiMs && !s.Pause(DelaiMs)) return;
      c.SendString(THttpTestServer::Reply(200, Body));
    };
  }
};

TEST_F(MajWebTest, ANewerVersionOffersTheDownloadPage) {
  THttpTestServer http(Repond("0.5.0.16"));
  ASSERT_TRUE(http.Ok());
  Reglages(http.Url("/versions.php"), "0");
  Demarre({u"-US"});
  PumpMessagesFor(200);
  ASSERT_EQ(BoiteAPropos->Version, u"0.5.0.15");
  Monde.Boites.clear();
  Monde.Reponses = {IDYES};
  Main->aMajWebExecute(Main->aMajWeb);
  EXPECT_FALSE(Main->aMajWeb->Enabled());
  ASSERT_TRUE(Pump([&] { return !Monde.Boites.empty(); }, 20000));
  EXPECT_EQ(Monde.Boites[0].Caption, u"Information");
  EXPECT_EQ(Monde.Boites[0].Flags, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
  EXPECT_NE(Monde.Boites[0].Text.find(u"0.5.0.16"), String::npos);
  ASSERT_EQ(Monde.Documents.size(), 1u);
  EXPECT_EQ(Monde.Documents[0], MajWebDownloadUrl);
  EXPECT_TRUE(Main->aMajWeb->Enabled());
}

TEST_F(MajWebTest, TheSameVersionSaysSoOnlyWhenAsked) {
  THttpTestServer http(Repond("0.5.0.15"));
  Reglages(http.Url("/versions.php"), "0");
  Demarre({u"-US"});
  Monde.Boites.clear();
  Main->aMajWebExecute(Main->aMajWeb);
  ASSERT_TRUE(Pump([&] { return !Monde.Boites.empty(); }, 20000));
  EXPECT_EQ(Monde.Boites[0].Text, u"No new version available");
  EXPECT_TRUE(Monde.Documents.empty());
}

TEST_F(MajWebTest, TheStartUpCheckRunsWhenDueAndIsSavedAsDone) {
  THttpTestServer http(Repond("0.5.0.20"));
  // Daily checks, the last one long ago (a text that is no date-time counts so).
  Reglages(http.Url("/versions.php"), "1", "never");
  Monde.Reponses = {IDNO};
  Demarre({});
  ASSERT_TRUE(Pump([&] { return !Monde.Boites.empty(); }, 20000));
  EXPECT_NE(Monde.Boites[0].Text.find(u"0.5.0.20"), String::npos);
  EXPECT_TRUE(Monde.Documents.empty());
  EXPECT_EQ(http.Targets().size(), 1u);
}

TEST_F(MajWebTest, ANetworkErrorShowsTheErrorBox) {
  // A port nobody listens on.
  String url;
  {
    THttpTestServer ferme(Repond(""));
    url = ferme.Url("/versions.php");
  }
  Reglages(url, "0");
  Demarre({u"-US"});
  Monde.Boites.clear();
  Main->aMajWebExecute(Main->aMajWeb);
  ASSERT_TRUE(Pump([&] { return !Monde.Boites.empty(); }, 30000));
  EXPECT_EQ(Monde.Boites[0].Caption, u"Erreur");
  EXPECT_EQ(Monde.Boites[0].Flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(Monde.Boites[0].Text.rfind(u"Error accessing Internet", 0), 0u);
}

TEST_F(MajWebTest, NoCompletionRunsAfterTheWindowIsGone) {
  THttpTestServer http(Repond("0.5.0.99", 1500));
  Reglages(http.Url("/versions.php"), "0");
  Demarre({u"-US"});
  Monde.Boites.clear();
  Main->aMajWebExecute(Main->aMajWeb);
  PumpMessagesFor(200);
  Ferme();
  PumpMessagesFor(2500);
  EXPECT_TRUE(Monde.Boites.empty());
  EXPECT_TRUE(Monde.Documents.empty());
}

}  // namespace
