// The update check: the decisions, the HTTP client of each platform, and the
// whole check (worker, completion on the user-interface thread, boxes)
// against a scripted HTTP server on loopback.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/core/HttpGet.h"
#include "app/core/uOutils.h"
#include "tests/fixture/HttpTestServer.h"
#include "rtl/DateUtils.h"
#include "rtl/Dispatcher.h"
#include "rtl/Threads.h"
#include "rtl/Unicode.h"

#ifdef _WIN32
#include "rtl/Win32.h"
#endif

using majtest::THttpTestServer;

namespace {

std::string N(const String& s) { return UTF16ToUTF8(s); }

UInt64 Tick() { return TThread::GetTickCount64(); }

// Wine's WinInet does not cancel a call blocked on a handle that another
// thread closes (Windows does): there only the time-outs end a stopped request.
bool UnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

// ================================================================ decisions

struct VersionCase {
  const char16_t* A;
  const char16_t* B;
  int Sign;
};

TEST(MajWebDecision, ComparesVersionsPartByPartAsNumbers) {
  const VersionCase cases[] = {
      {u"0.5.0.16", u"0.5.0.15", 1},
      {u"0.5.0.15", u"0.5.0.15", 0},
      {u"0.5.0.15", u"0.5.0.9", 1},  // as text "0.5.0.9" would sort after
      {u"0.5.0.9", u"0.5.0.15", -1},
      {u"0.10", u"0.5", 1},
      {u"0.5", u"0.5.0.0", 0},
      {u"0.5.0.1", u"0.5", 1},
      {u"0.5.0.015", u"0.5.0.15", 0},
      {u"1", u"0.99.99.99", 1},
      {u" 0.6 ", u"0.5.0.15", 1},
      {u"0.5.0.123456789012345678901234567890", u"0.5.0.99999999999999999999999999999", 1},
      {u"garbage", u"0.0.0.1", -1},
  };
  for (const VersionCase& c : cases) {
    const Integer r = CompareVersions(c.A, c.B);
    EXPECT_EQ((r > 0) - (r < 0), c.Sign) << N(c.A) << " vs " << N(c.B);
    const Integer back = CompareVersions(c.B, c.A);
    EXPECT_EQ((back > 0) - (back < 0), -c.Sign) << N(c.B) << " vs " << N(c.A);
  }
}

TEST(MajWebDecision, OnlyDottedNumbersAreVersions) {
  for (const char16_t* ok : {u"0.5.0.16", u"1", u" 2.0\t", u"10.20.30.40.50"}) EXPECT_TRUE(IsVersionText(ok)) << N(ok);
  for (const char16_t* bad : {u"", u" ", u"0.5.", u".5", u"0..5", u"v1.0", u"1.0-beta", u"1,0", u"<html>",
                              u"0.5.0.16 extra", u"Quorvel=0.5.0.16", u"\uFF11.0"})
    EXPECT_FALSE(IsVersionText(bad)) << N(bad);
  EXPECT_FALSE(IsNewerVersion(u"zzz", u"0.5.0.15")) << "text that sorts after is not a version";
  EXPECT_TRUE(IsNewerVersion(u"0.5.0.16", u""));
}

struct ReplyCase {
  const char16_t* Text;
  const char16_t* Version;
  const char16_t* Url;
};

TEST(MajWebDecision, SplitsReplies) {
  const ReplyCase cases[] = {
      {u"0.5.0.16", u"0.5.0.16", u""},
      {u"0.5.0.16\r\n", u"0.5.0.16", u""},
      {u"\r\n  0.5.0.16  \r\n\r\n", u"0.5.0.16", u""},
      {u"Quorvel=0.5.0.16", u"0.5.0.16", u""},
      {u"Other=1.0\r\nQuorvel=0.5.0.16\r\nURL=http://a/b", u"0.5.0.16", u"http://a/b"},
      {u"quorvel=0.6\nurl=http://x/", u"0.6", u"http://x/"},
      {u"QUORVEL = 0.7 \rUrl= http://y/ ", u"0.7", u"http://y/"},
      {u"Quorvel=0.8\r\nQuorvel=0.9", u"0.8", u""},
      {u"URL=http://only/", u"", u"http://only/"},
      {u"<html>\n<body>0.9</body>\n</html>", u"", u""},
      {u"", u"", u""},
  };
  for (const ReplyCase& c : cases) {
    const TMajWebReply r = ParseMajWebReply(c.Text);
    EXPECT_EQ(N(r.Version), N(c.Version)) << N(c.Text);
    EXPECT_EQ(N(r.Url), N(c.Url)) << N(c.Text);
  }
}

TEST(MajWebDecision, UrlsOfRedirections) {
  EXPECT_EQ(N(ExpandMajWebUrl(u"http://h/_soft_/v.php?soft=_soft_")), "http://h/quorvel/v.php?soft=quorvel");
  EXPECT_TRUE(IsMajWebUrl(u"http://h/v.php"));
  EXPECT_TRUE(IsMajWebUrl(u"HTTPS://h/v.php"));
  EXPECT_FALSE(IsMajWebUrl(u"ftp://h/v"));
  EXPECT_FALSE(IsMajWebUrl(u"file:///etc/passwd"));
  EXPECT_FALSE(IsMajWebUrl(u"http://h/a b"));
  EXPECT_FALSE(IsMajWebUrl(u"http://h/" + String(3000, u'a')));
}

struct PeriodCase {
  Integer Type;
  double DaysAgo;
  bool Due;
};

TEST(MajWebDecision, AutomaticPeriods) {
  const TDateTime now = EncodeDateTime(2024, 3, 15, 10, 30, 0, 0);
  const PeriodCase cases[] = {
      {1, 0.5, false}, {1, 1.5, true},  {2, 6, false},    {2, 8, true},     {3, 29, false}, {3, 31, true},
      {0, 400, false}, {4, 400, false}, {-1, 400, false}, {2, -0.5, false},  // a little ahead: clocks differ
      {2, -10, true},  // far ahead: a clock that was wrong must not stop checks for good
  };
  for (const PeriodCase& c : cases)
    EXPECT_EQ(AutoCheckDue(c.Type, now - c.DaysAgo, now), c.Due) << "type " << c.Type << ", " << c.DaysAgo;
}

TEST(MajWebDecision, SettingsTextsAndTheFirstStart) {
  const TDateTime now = EncodeDateTime(2024, 3, 15, 10, 30, 0, 0);
  const TFormatSettings fs = TFormatSettings::French();
  // No server answers at the built-in address yet: without a choice of the
  // user's, automatic checks are off.
  ASSERT_FALSE(MajWebServeurEnService);
  EXPECT_EQ(AutoCheckTypeFromText(u""), 0);
  EXPECT_EQ(AutoCheckTypeFromText(u"abc"), 0);
  EXPECT_EQ(AutoCheckTypeFromText(u"3"), 3);
  EXPECT_EQ(AutoCheckTypeFromText(u"1"), 1);
  EXPECT_EQ(AutoCheckTypeFromText(u"0"), 0);
  EXPECT_DOUBLE_EQ(LastCheckFromText(u"", now, fs), now - 31);
  EXPECT_DOUBLE_EQ(LastCheckFromText(u"not a date", now, fs), now - 31);
  const TDateTime then = EncodeDateTime(2024, 3, 10, 8, 0, 0, 0);
  EXPECT_NEAR(LastCheckFromText(DateTimeToStr(then, fs), now, fs), then, 1.0 / 86400);
  // Written under one format, read under another that cannot parse it.
  const String english = DateTimeToStr(EncodeDateTime(2024, 3, 31, 8, 0, 0, 0), TFormatSettings::English());
  EXPECT_DOUBLE_EQ(LastCheckFromText(english, now, fs), now - 31) << N(english);
  // No settings at all: the first start makes no check; once the user turns
  // the monthly check on, the next start does.
  EXPECT_FALSE(AutoCheckDue(AutoCheckTypeFromText(u""), LastCheckFromText(u"", now, fs), now));
  EXPECT_TRUE(AutoCheckDue(AutoCheckTypeFromText(u"3"), LastCheckFromText(u"", now, fs), now));
}

TEST(MajWebDecision, SplitsHttpAddresses) {
  THttpUrlParts p;
  ASSERT_TRUE(SplitHttpUrl(u"http://127.0.0.1:8080/v.php?soft=quorvel#top", p));
  EXPECT_EQ(p.Host, "127.0.0.1");
  EXPECT_EQ(p.Port, 8080);
  EXPECT_EQ(p.Target, "/v.php?soft=quorvel");
  ASSERT_TRUE(SplitHttpUrl(u"HTTP://host?x=1", p));
  EXPECT_EQ(p.Port, 80);
  EXPECT_EQ(p.Target, "/?x=1");
  for (const char16_t* bad : {u"https://host/", u"http://", u"http://:80/", u"http://h:0/", u"http://h:65536/",
                              u"http://h:8a/", u"http://user@h/", u"http://h/a b", u"http://h\u00E9/"})
    EXPECT_FALSE(SplitHttpUrl(bad, p)) << N(bad);
}

// ================================================================ HTTP clients

using ClientFactory = std::unique_ptr<THttpGet> (*)(const THttpTimeouts&);
struct ClientKind {
  const char* Name;
  ClientFactory Make;
};

class HttpGetTest : public ::testing::TestWithParam<ClientKind> {
protected:
  std::unique_ptr<THttpGet> Client(const THttpTimeouts& t = THttpTimeouts()) { return GetParam().Make(t); }
};

TEST_P(HttpGetTest, ReadsAReplyDeliveredInPieces) {
  THttpTestServer server([](TTCPBlockSocket& c, const std::string&, const THttpTestServer&) {
    c.SendString(THttpTestServer::OpenHead() + "Quorvel=0.");
    TThread::Sleep(200);
    c.SendString("5.0.16\r\nURL=");
    TThread::Sleep(200);
    c.SendString("http://x/");
  });
  ASSERT_TRUE(server.Ok());
  const THttpReply r = Client()->Get(server.Url("/versions.php?soft=quorvel"), MajWebMaxReply);
  ASSERT_TRUE(r.Done) << N(r.ErrorText);
  EXPECT_EQ(r.StatusCode, 200);
  EXPECT_EQ(r.Body, "Quorvel=0.5.0.16\r\nURL=http://x/");
  ASSERT_EQ(server.Targets().size(), 1u);
  EXPECT_EQ(server.Targets()[0], "/versions.php?soft=quorvel");
}

TEST_P(HttpGetTest, StopsAtTheCap) {
  std::string body;
  for (int i = 0; body.size() < 6000; ++i) body += "line " + std::to_string(i) + "\r\n";
  for (const bool withLength : {true, false}) {
    THttpTestServer server([&](TTCPBlockSocket& c, const std::string&, const THttpTestServer&) {
      c.SendString(withLength ? THttpTestServer::Reply(200, body) : THttpTestServer::OpenHead() + body);
    });
    const THttpReply r = Client()->Get(server.Url("/"), MajWebMaxReply);
    ASSERT_TRUE(r.Done) << N(r.ErrorText);
    EXPECT_EQ(r.Body, body.substr(0, MajWebMaxReply)) << "Content-Length " << withLength;
  }
}

TEST_P(HttpGetTest, DecodesAChunkedReply) {
  THttpTestServer server([](TTCPBlockSocket& c, const std::string&, const THttpTestServer&) {
    c.SendString("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n");
    c.SendString("8\r\nQuorvel=\r\n");
    TThread::Sleep(100);
    c.SendString("8;ext=1\r\n0.5.0.16\r\n0\r\n\r\n");
  });
  const THttpReply r = Client()->Get(server.Url("/"), MajWebMaxReply);
  ASSERT_TRUE(r.Done) << N(r.ErrorText);
  EXPECT_EQ(r.Body, "Quorvel=0.5.0.16");
}

TEST_P(HttpGetTest, ReportsTheStatusAndFailures) {
  THttpTestServer server([](TTCPBlockSocket& c, const std::string&, const THttpTestServer&) {
    c.SendString(THttpTestServer::Reply(404, "<html>not here</html>", "Not Found"));
  });
  const THttpReply notFound = Client()->Get(server.Url("/missing"), MajWebMaxReply);
  ASSERT_TRUE(notFound.Done) << N(notFound.ErrorText);
  EXPECT_EQ(notFound.StatusCode, 404);

  const THttpReply refused = Client()->Get(
      u"http://127.0.0.1:" + UTF8ToUTF16(std::to_string(majtest::FreeLoopbackPort())) + u"/", MajWebMaxReply);
  EXPECT_FALSE(refused.Done);
  EXPECT_FALSE(refused.ErrorText.empty());
}

TEST_P(HttpGetTest, ASlowServerRunsIntoTheTimeouts) {
  THttpTestServer silent([](TTCPBlockSocket&, const std::string&, const THttpTestServer& s) { s.Pause(60000); });
  // Never idle long enough for the wait time-out: only the total time ends it.
  THttpTestServer trickle([](TTCPBlockSocket& c, const std::string&, const THttpTestServer& s) {
    c.SendString(THttpTestServer::OpenHead());
    while (s.Pause(100) && c.LastError() == 0) c.SendString("#");
  });
  THttpTimeouts t;
  t.ConnectMs = 2000;
  t.ReceiveMs = 700;
  t.TotalMs = 1500;
  for (const THttpTestServer* server : {&silent, &trickle}) {
    const UInt64 start = Tick();
    const THttpReply r = Client(t)->Get(server->Url("/"), MajWebMaxReply);
    EXPECT_FALSE(r.Done) << r.Body.size() << " bytes";
    EXPECT_FALSE(r.ErrorText.empty());
    EXPECT_LT(Tick() - start, 20000u) << "bounded, loosely";
  }
}

TEST_P(HttpGetTest, AbortCutsAWaitShort) {
  if (UnderWine() && std::string(GetParam().Name) == "WinInet")
    GTEST_SKIP() << "Wine's WinInet ignores a handle closed under a blocked call";
  THttpTestServer silent([](TTCPBlockSocket&, const std::string&, const THttpTestServer& s) { s.Pause(60000); });
  THttpTimeouts t;
  t.ReceiveMs = 60000;
  t.TotalMs = 60000;
  std::unique_ptr<THttpGet> client = Client(t);
  std::thread stopper([&] {
    for (int i = 0; i < 1000 && silent.Targets().empty(); ++i) TThread::Sleep(10);
    client->Abort();
  });
  const UInt64 start = Tick();
  const THttpReply r = client->Get(silent.Url("/"), MajWebMaxReply);
  stopper.join();
  EXPECT_FALSE(r.Done);
  EXPECT_EQ(N(r.ErrorText), N(HttpAbortedText));
  EXPECT_LT(Tick() - start, 20000u) << "far below the 60 s time-outs";
}

INSTANTIATE_TEST_SUITE_P(Clients, HttpGetTest,
                         ::testing::Values(
#ifdef _WIN32
                             ClientKind{"WinInet", &NewHttpGet},
#endif
                             ClientKind{"Sockets", &NewSocketHttpGet}),
                         [](const ::testing::TestParamInfo<ClientKind>& i) { return std::string(i.param.Name); });

// ================================================================ the whole check

struct BoxCall {
  std::string Text;
  std::string Caption;
  TMajWebBox Kind;
};

class RecordingHost : public IMajWebHost {
public:
  void MajWebEnable(bool Enabled) override { Enables.push_back(Enabled); }
  String MajWebMsg(const String& Key) override {
    if (Key == u"NewVersion") return u"Version %s is out. Download it?";
    return u"[" + Key + u"]";
  }
  bool MajWebBox(const String& Text, const String& Caption, TMajWebBox Kind) override {
    Boxes.push_back({N(Text), N(Caption), Kind});
    return AnswerYes;
  }
  void MajWebOpen(const String& Url) override { Opened.push_back(N(Url)); }

  bool AnswerYes = true;
  std::vector<bool> Enables;
  std::vector<BoxCall> Boxes;
  std::vector<std::string> Opened;
};

class MajWebCheckTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetMainDispatcher(&Dispatcher);
    Check = std::make_unique<TMajWebCheck>(&Host, u"0.5.0.15");
    Check->Clock = [this] { return FixedNow; };
    Check->SetLastCheck(LastBefore);
  }
  void TearDown() override {
    Check.reset();  // waits for a worker still winding down
    SetMainDispatcher(nullptr);
  }

  // Runs the dispatcher until the check (with its redirections) is over and
  // its last worker gone.
  bool RunCheck(bool Manual, UInt64 LimitMs = 30000) {
    Check->aMajWebExecute(Manual ? &Sender : nullptr);
    const UInt64 until = Tick() + LimitMs;
    while ((Check->Busy() || !Check->WorkerGone()) && Tick() < until) Dispatcher.WaitAndProcess(20);
    return !Check->Busy();
  }
  bool Served(const THttpTestServer& S) { return !S.Targets().empty(); }

  TQueueDispatcher Dispatcher;
  RecordingHost Host;
  TObject Sender;
  std::unique_ptr<TMajWebCheck> Check;
  const TDateTime FixedNow = EncodeDateTime(2024, 3, 15, 10, 30, 0, 0);
  const TDateTime LastBefore = EncodeDateTime(2024, 1, 1, 0, 0, 0, 0);
};

THttpTestServer::Script Serve(int Status, std::string Body) {
  return [Status, Body](TTCPBlockSocket& c, const std::string&, const THttpTestServer&) {
    c.SendString(THttpTestServer::Reply(Status, Body));
  };
}

TEST_F(MajWebCheckTest, ANewerVersionIsOfferedAndOpened) {
  THttpTestServer server(Serve(200, "0.5.0.16\r\n"));
  Check->SetUrlUpdate(server.Url("/versions.php?soft=quorvel"));
  ASSERT_TRUE(RunCheck(true));
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Kind, mwbAskYesNo);
  EXPECT_EQ(Host.Boxes[0].Caption, "Information");
  EXPECT_EQ(Host.Boxes[0].Text, "Version 0.5.0.16 is out. Download it?");
  ASSERT_EQ(Host.Opened.size(), 1u);
  EXPECT_EQ(Host.Opened[0], N(MajWebDownloadUrl));
  EXPECT_EQ(Host.Enables, (std::vector<bool>{false, true}));
  EXPECT_DOUBLE_EQ(Check->LastCheck(), FixedNow);

  Host.AnswerYes = false;
  Host.Opened.clear();
  ASSERT_TRUE(RunCheck(false));
  EXPECT_EQ(Host.Boxes.size(), 2u) << "offered at an automatic check too";
  EXPECT_TRUE(Host.Opened.empty()) << "No opens nothing";
}

struct JudgeCase {
  const char* Reply;
  bool Manual;
  bool NoNewBox;
};

TEST_F(MajWebCheckTest, NothingNewerTellsOnlyAManualCheck) {
  const JudgeCase cases[] = {
      {"0.5.0.15", true, true}, {"0.5.0.15", false, false},
      {"0.5.0.9", true, true},  // newer as text, older as a version
      {"0.4.99", false, false}, {"Quorvel=0.5.0.2\r\nOther=9.9", true, true},
  };
  for (const JudgeCase& c : cases) {
    THttpTestServer server(Serve(200, c.Reply));
    Check->SetUrlUpdate(server.Url("/v"));
    Check->SetLastCheck(LastBefore);
    Host.Boxes.clear();
    ASSERT_TRUE(RunCheck(c.Manual)) << c.Reply;
    ASSERT_EQ(Host.Boxes.size(), c.NoNewBox ? 1u : 0u) << c.Reply;
    if (c.NoNewBox) {
      EXPECT_EQ(Host.Boxes[0].Text, "[NoNewVersion]");
      EXPECT_EQ(Host.Boxes[0].Kind, mwbInformation);
    }
    EXPECT_DOUBLE_EQ(Check->LastCheck(), FixedNow) << c.Reply;
    EXPECT_TRUE(Host.Opened.empty());
  }
}

TEST_F(MajWebCheckTest, FailedOrInvalidRepliesShowAnErrorAndKeepLastCheck) {
  std::string longGarbage;
  while (longGarbage.size() < 5000) longGarbage += "# padding line\r\n";
  const struct {
    int Status;
    std::string Body;
    const char* Detail;
  } cases[] = {
      {404, "Quorvel=9.9.9.9", "HTTP 404"},  // an error page's text does not count
      {500, "0.9", "HTTP 500"},
      {200, "<html>\n<body>Maintenance</body>\n</html>", "no version"},
      {200, "hello", "no version"},  // sorts after "0.5.0.15" as text
      {200, "Quorvel=", "no version"},
      {200, longGarbage + "Quorvel=0.9", "no version"},  // the key lies beyond the cap
  };
  for (const auto& c : cases) {
    THttpTestServer server(Serve(c.Status, c.Body));
    Check->SetUrlUpdate(server.Url("/v"));
    Host.Boxes.clear();
    ASSERT_TRUE(RunCheck(false)) << c.Detail;
    ASSERT_EQ(Host.Boxes.size(), 1u) << c.Detail;
    EXPECT_EQ(Host.Boxes[0].Kind, mwbError);
    EXPECT_EQ(Host.Boxes[0].Caption, "Erreur");
    EXPECT_EQ(Host.Boxes[0].Text.rfind("[NetError]\r\n\r\n", 0), 0u) << Host.Boxes[0].Text;
    EXPECT_NE(Host.Boxes[0].Text.find(c.Detail), std::string::npos) << Host.Boxes[0].Text;
    EXPECT_DOUBLE_EQ(Check->LastCheck(), LastBefore) << c.Detail;
  }
  EXPECT_TRUE(Host.Opened.empty());

  // Nobody listening.
  Host.Boxes.clear();
  Check->SetUrlUpdate(u"http://127.0.0.1:" + UTF8ToUTF16(std::to_string(majtest::FreeLoopbackPort())) + u"/v");
  ASSERT_TRUE(RunCheck(false));
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Kind, mwbError);
  EXPECT_GT(Host.Boxes[0].Text.size(), std::string("[NetError]\r\n\r\n").size()) << "says why";
  EXPECT_DOUBLE_EQ(Check->LastCheck(), LastBefore);
}

TEST_F(MajWebCheckTest, ALongReplyIsReadUpToTheCap) {
  std::string body = "Quorvel=0.5.0.16\r\n";
  while (body.size() < 6000) body += "Comment=" + std::string(60, 'x') + "\r\n";
  THttpTestServer server(Serve(200, body));
  Check->SetUrlUpdate(server.Url("/v"));
  ASSERT_TRUE(RunCheck(true));
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Kind, mwbAskYesNo);
}

TEST_F(MajWebCheckTest, AnEmptyReplyShowsNothing) {
  THttpTestServer server(Serve(200, ""));
  Check->SetUrlUpdate(server.Url("/v"));
  ASSERT_TRUE(RunCheck(true));
  EXPECT_TRUE(Served(server));
  EXPECT_TRUE(Host.Boxes.empty());
  EXPECT_DOUBLE_EQ(Check->LastCheck(), LastBefore);
  EXPECT_EQ(Host.Enables, (std::vector<bool>{false, true}));
}

TEST_F(MajWebCheckTest, FollowsARedirectionAsAManualCheck) {
  THttpTestServer next(Serve(200, "0.5.0.15"));
  const std::string target = "/_soft_/versions.php?soft=_soft_";
  THttpTestServer first(Serve(200, "Quorvel=0.5.0.1\r\nURL=" + N(next.Url(target))));
  Check->SetUrlUpdate(first.Url("/versions.php?soft=quorvel"));
  ASSERT_TRUE(RunCheck(false));  // automatic
  EXPECT_EQ(N(Check->UrlUpdate()), N(next.Url("/quorvel/versions.php?soft=quorvel")));
  ASSERT_EQ(next.Targets().size(), 1u);
  EXPECT_EQ(next.Targets()[0], "/quorvel/versions.php?soft=quorvel");
  ASSERT_EQ(Host.Boxes.size(), 1u) << "the redirected check is a manual one";
  EXPECT_EQ(Host.Boxes[0].Text, "[NoNewVersion]");
  EXPECT_EQ(Host.Enables, (std::vector<bool>{false, true, false, true}));
  EXPECT_DOUBLE_EQ(Check->LastCheck(), FixedNow);
}

TEST_F(MajWebCheckTest, ARedirectionToTheSameAddressIsJudgedAsItStands) {
  THttpTestServer server([](TTCPBlockSocket& c, const std::string&, const THttpTestServer& s) {
    c.SendString(THttpTestServer::Reply(200, "Quorvel=0.5.0.16\r\nURL=" + N(s.Url("/v?soft=_soft_"))));
  });
  Check->SetUrlUpdate(server.Url("/v?soft=quorvel"));
  ASSERT_TRUE(RunCheck(true));
  EXPECT_EQ(server.Targets().size(), 1u);
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Kind, mwbAskYesNo);
}

TEST_F(MajWebCheckTest, RedirectionsAreBounded) {
  // Two pages that name each other: each is asked once.
  std::string urlA, urlB;
  THttpTestServer a([&](TTCPBlockSocket& c, const std::string&, const THttpTestServer&) {
    c.SendString(THttpTestServer::Reply(200, "URL=" + urlB));
  });
  THttpTestServer b([&](TTCPBlockSocket& c, const std::string&, const THttpTestServer&) {
    c.SendString(THttpTestServer::Reply(200, "URL=" + urlA));
  });
  urlA = N(a.Url("/a"));
  urlB = N(b.Url("/b"));
  Check->SetUrlUpdate(a.Url("/a"));
  ASSERT_TRUE(RunCheck(true));
  EXPECT_EQ(a.Targets().size(), 1u);
  EXPECT_EQ(b.Targets().size(), 1u);
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Kind, mwbError);
  EXPECT_EQ(N(Check->UrlUpdate()), urlB);

  // Ever new addresses: followed MajWebMaxRedirections times.
  THttpTestServer chain([](TTCPBlockSocket& c, const std::string& target, const THttpTestServer& s) {
    const int n = std::stoi(target.substr(1));
    c.SendString(THttpTestServer::Reply(200, "URL=" + N(s.Url("/" + std::to_string(n + 1)))));
  });
  Check->SetUrlUpdate(chain.Url("/0"));
  Host.Boxes.clear();
  ASSERT_TRUE(RunCheck(true));
  EXPECT_EQ(chain.Targets().size(), static_cast<std::size_t>(MajWebMaxRedirections + 1));
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Kind, mwbError);

  // Addresses that are not web pages are not followed.
  THttpTestServer odd(Serve(200, "Quorvel=0.5.0.15\r\nURL=file:///etc/_soft_"));
  Check->SetUrlUpdate(odd.Url("/v"));
  Host.Boxes.clear();
  ASSERT_TRUE(RunCheck(true));
  EXPECT_EQ(N(Check->UrlUpdate()), N(odd.Url("/v")));
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Text, "[NoNewVersion]");
}

TEST_F(MajWebCheckTest, AnAbandonedCheckEndsSoonAndSaysNothing) {
  THttpTestServer silent([](TTCPBlockSocket&, const std::string&, const THttpTestServer& s) { s.Pause(60000); });
  THttpTimeouts t;
  t.ReceiveMs = UnderWine() ? 3000 : 60000;
  t.TotalMs = 60000;
  Check->SetTimeouts(t);
  Check->SetUrlUpdate(silent.Url("/v"));
  Check->aMajWebExecute(&Sender);
  ASSERT_TRUE(Check->Busy());
  Check->aMajWebExecute(&Sender);  // ignored while one runs
  const UInt64 until = Tick() + 10000;
  while (!Served(silent) && Tick() < until) Dispatcher.WaitAndProcess(20);
  ASSERT_TRUE(Served(silent));
  const UInt64 start = Tick();
  Check->Abandon(20000);
  EXPECT_TRUE(Check->WorkerGone());
  EXPECT_LT(Tick() - start, 15000u) << "far below the 60 s time-outs";
  EXPECT_FALSE(Check->Busy());
  for (int i = 0; i < 5; ++i) Dispatcher.WaitAndProcess(20);
  EXPECT_TRUE(Host.Boxes.empty());
  EXPECT_EQ(silent.Targets().size(), 1u);
}

TEST_F(MajWebCheckTest, ASilentServerEndsInAnErrorWithinTheTimeouts) {
  THttpTestServer silent([](TTCPBlockSocket&, const std::string&, const THttpTestServer& s) { s.Pause(60000); });
  THttpTimeouts t;
  t.ReceiveMs = 800;
  t.TotalMs = 2000;
  Check->SetTimeouts(t);
  Check->SetUrlUpdate(silent.Url("/v"));
  ASSERT_TRUE(RunCheck(true, 30000));
  ASSERT_EQ(Host.Boxes.size(), 1u);
  EXPECT_EQ(Host.Boxes[0].Kind, mwbError);
}

TEST_F(MajWebCheckTest, StartupCheckFollowsThePeriod) {
  THttpTestServer server(Serve(200, "0.5.0.15"));
  Check->SetUrlUpdate(server.Url("/v"));
  Check->SetAutoCheckType(2);
  Check->SetLastCheck(FixedNow - 6);
  EXPECT_FALSE(Check->StartupCheck(FixedNow));
  Check->SetLastCheck(FixedNow - 8);
  ASSERT_TRUE(Check->StartupCheck(FixedNow));
  const UInt64 until = Tick() + 30000;
  while ((Check->Busy() || !Check->WorkerGone()) && Tick() < until) Dispatcher.WaitAndProcess(20);
  EXPECT_EQ(server.Targets().size(), 1u);
  EXPECT_TRUE(Host.Boxes.empty()) << "automatic, nothing newer";
  EXPECT_DOUBLE_EQ(Check->LastCheck(), FixedNow);
}

}  // namespace
