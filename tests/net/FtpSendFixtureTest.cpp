// The FTP client against the real test server (pyftpdlib on loopback): the
// program's main road of log-on, one CWD and one LIST per folder, deletions
// and log-out, in passive and active mode, and the server's fault options.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/ftpsend.h"
#include "rtl/Encoding.h"
#include "tests/fixture/FtpFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr Int64 kFolder = -1;
using Tree = std::map<std::string, Int64>;  // "/a/b" (server bytes) -> size or kFolder

// Names travel as ANSI-code-page text; back to the server's bytes.
std::string WireBytes(const String& s) {
  const TBytes b = TEncoding::ANSI()->GetBytes(s);
  return std::string(b.begin(), b.end());
}
String FromWire(const std::string& s) { return TEncoding::ANSI()->GetString(s.data(), s.size()); }

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.generic_u8string();
  return std::string(s.begin(), s.end());
}

Tree WalkDisk(const fs::path& root) {
  Tree tree;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
    tree["/" + Utf8(fs::relative(e.path(), root))] = e.is_directory() ? kFolder : static_cast<Int64>(e.file_size());
  }
  return tree;
}

struct Session {
  FtpServer& Server;
  TFTPSend Client;
  std::vector<std::pair<bool, String>> Status;

  explicit Session(FtpServer& S) : Server(S) {
    Client.TargetHost = S.Host();
    Client.TargetPort = FromWire(std::to_string(S.Port()));
    Client.UserName = S.User();
    Client.Password = S.Password();
    Client.Timeout = 15000;
    Client.OnStatus = [this](TObject*, bool Response, const String& Value) { Status.emplace_back(Response, Value); };
  }

  // One CWD and one LIST per folder, as the scan does.
  void Walk(const std::string& Folder, Tree& Out) {
    ASSERT_TRUE(Client.ChangeWorkingDir(FromWire(Folder))) << Folder;
    ASSERT_TRUE(Client.List(u"", false)) << Folder;
    std::vector<std::pair<std::string, bool>> Folders;
    TFTPList* L = Client.FtpList();
    EXPECT_TRUE(L->UnparsedLines.empty()) << Folder;
    for (Integer i = 0; i < L->Count(); ++i) {
      const TFTPListRec* E = L->Items(i);
      const std::string Path = (Folder == "/" ? "" : Folder) + "/" + WireBytes(E->FileName);
      Out[Path] = E->Directory ? kFolder : E->FileSize;
      if (E->Directory) Folders.emplace_back(Path, true);
    }
    for (const auto& [Path, IsDir] : Folders) Walk(Path, Out);
  }
};

}  // namespace

TEST(FtpSendFixture, LogsOnListsAndLogsOutWithEveryExchangeReported) {
  FtpServer Server({.generate = 1});
  Server.Start();
  Session S(Server);
  ASSERT_TRUE(S.Client.Login()) << WireBytes(S.Client.ResultString());
  EXPECT_GT(S.Client.Sock()->Socket(), 0);
  EXPECT_TRUE(S.Client.CanResume());
  ASSERT_TRUE(S.Client.List(u"", false));
  std::map<String, const TFTPListRec*> ByName;
  for (Integer i = 0; i < S.Client.FtpList()->Count(); ++i) {
    ByName[S.Client.FtpList()->Items(i)->FileName] = S.Client.FtpList()->Items(i);
  }
  ASSERT_TRUE(ByName.count(u"empty"));
  EXPECT_TRUE(ByName[u"empty"]->Directory);
  ASSERT_TRUE(ByName.count(u"big file.iso"));
  EXPECT_EQ(ByName[u"big file.iso"]->FileSize, 5368709120LL);
  EXPECT_FALSE(ByName[u"big file.iso"]->Directory);
  ASSERT_TRUE(ByName.count(FromWire("Gr\xC3\xB6\xC3\x9F" "e 1234.txt")));
  EXPECT_EQ(ByName[FromWire("Gr\xC3\xB6\xC3\x9F" "e 1234.txt")]->FileSize, 1234);
  ASSERT_TRUE(S.Client.Logout());
  EXPECT_EQ(S.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);

  const std::vector<String> Received = Server.Commands();
  std::vector<String> Sent;
  for (const auto& [Response, Value] : S.Status) {
    if (!Response) Sent.push_back(Value);
  }
  EXPECT_EQ(Sent, Received);
  ASSERT_GE(Received.size(), 6u);
  const std::vector<String> Logon(Received.begin(), Received.begin() + 6);
  EXPECT_EQ(Logon, (std::vector<String>{u"USER quorvel", u"PASS secret", u"TYPE I", u"STRU F", u"MODE S", u"REST 0"}));
  EXPECT_EQ(Received.back(), u"QUIT");
  // Replies came through too: the greeting first, the goodbye last.
  ASSERT_FALSE(S.Status.empty());
  EXPECT_TRUE(S.Status.front().first);
  EXPECT_EQ(S.Status.front().second.substr(0, 4), u"220 ");
  EXPECT_EQ(S.Status.back().second.substr(0, 4), u"221 ");
}

TEST(FtpSendFixture, WalkingTheTreeFindsEveryFolderAndFile) {
  FtpServer Server({.generate = 2});
  Server.Start();
  const Tree OnDisk = WalkDisk(Server.Root());
  for (const bool Passive : {true, false}) {
    SCOPED_TRACE(Passive ? "passive" : "active");
    Session S(Server);
    S.Client.PassiveMode = Passive;
    ASSERT_TRUE(S.Client.Login());
    Tree Remote;
    S.Walk("/", Remote);
    EXPECT_EQ(Remote, OnDisk);
    EXPECT_TRUE(S.Client.Logout());
  }
}

TEST(FtpSendFixture, DeletionsAndRefusals) {
  FtpServer Server({.generate = 1,
                    .refuseCwd = {"/Leerer Ordner"},
                    .refuseDele = {"zero.txt"},
                    .refuseRmd = {"/Leerer Ordner/auch leer"}});
  Server.Start();
  Session S(Server);
  ASSERT_TRUE(S.Client.Login());
  EXPECT_TRUE(S.Client.DeleteFile(u"big file.iso"));
  EXPECT_FALSE(Server.Exists("big file.iso"));
  EXPECT_FALSE(S.Client.DeleteFile(u"zero.txt"));
  EXPECT_EQ(S.Client.ResultCode(), 550);
  EXPECT_TRUE(Server.Exists("zero.txt"));
  EXPECT_TRUE(S.Client.DeleteDir(u"/empty"));
  EXPECT_FALSE(Server.Exists("empty"));
  EXPECT_FALSE(S.Client.DeleteDir(u"/Leerer Ordner/auch leer"));
  EXPECT_TRUE(Server.Exists("Leerer Ordner/auch leer"));
  EXPECT_FALSE(S.Client.ChangeWorkingDir(u"/Leerer Ordner"));
  EXPECT_FALSE(S.Client.ChangeWorkingDir(u"/no such folder"));
  EXPECT_TRUE(S.Client.ChangeWorkingDir(u"/Leerer Ordner/auch leer"));
  EXPECT_EQ(S.Client.GetCurrentDir(), u"/Leerer Ordner/auch leer");
  ASSERT_TRUE(S.Client.List(u"", false));
  EXPECT_EQ(S.Client.FtpList()->Count(), 0);
  EXPECT_TRUE(S.Client.Logout());
}

TEST(FtpSendFixture, ModesTheServerRefusesFailTheListing) {
  struct Case {
    const char* Name;
    FtpServerOptions Options;
    bool Passive;
    bool Ok;
  };
  const Case Cases[] = {
      {"passive-only server, active client", {.generate = 1, .passiveOnly = true}, false, false},
      {"active-only server, passive client", {.generate = 1, .activeOnly = true}, true, false},
      {"active-only server, active client", {.generate = 1, .activeOnly = true}, false, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    FtpServer Server(C.Options);
    Server.Start();
    Session S(Server);
    S.Client.PassiveMode = C.Passive;
    ASSERT_TRUE(S.Client.Login());
    EXPECT_EQ(S.Client.List(u"", false), C.Ok);
    EXPECT_EQ(S.Client.FtpList()->Count() > 0, C.Ok);
    EXPECT_TRUE(S.Client.NoOp());
  }
}

TEST(FtpSendFixture, ServerFaults) {
  FtpServer Server({.generate = 1, .dropList = {"/empty"}, .endlessReply = true});
  Server.Start();
  Session S(Server);
  ASSERT_TRUE(S.Client.Login());

  // A 100002-line reply ends at the client's line limit.
  EXPECT_EQ(S.Client.FTPCommand(u"SYST"), 0);
  EXPECT_EQ(S.Client.FullResult()->Count(), TFTPSend::MaxReplyLines);
  EXPECT_EQ(S.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);

  // A LIST that drops the control connection.
  ASSERT_TRUE(S.Client.Login());
  ASSERT_TRUE(S.Client.ChangeWorkingDir(u"/empty"));
  EXPECT_FALSE(S.Client.List(u"", false));
  const auto Start = std::chrono::steady_clock::now();
  EXPECT_FALSE(S.Client.NoOp());
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(5));
}

// A server host that drops every packet: the log-on gives up after the
// client's Timeout instead of the system's connect time-out.
TEST(FtpSendFixture, LogOnToAHostThatNeverAnswersEndsAtTheTimeout) {
  FtpServer Server({.blackhole = true});
  Server.Start();
  TFTPSend Client;
  Client.TargetHost = Server.Host();
  Client.TargetPort = FromWire(std::to_string(Server.BlackholePort()));
  Client.Timeout = 700;
  const auto Start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Client.Login());
  EXPECT_EQ(Client.Sock()->LastError(), 10060);
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(15));
}
