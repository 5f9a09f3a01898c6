// The FTP client against the real test server (pyftpdlib on loopback): the
// program's main road of log-on, one CWD and one LIST per folder, deletions
// and log-out, in passive and active mode, and the server's fault options.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "net/ftpsend.h"
#include "rtl/Unicode.h"
#include "tests/fixture/FtpFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr Int64 kFolder = -1;
using Tree = std::map<std::string, Int64>;  // "/a/b" (server bytes) -> size or kFolder

String FromWire(const std::string& s) { return UTF8ToUTF16(s); }

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

  // One CWD and one LIST per folder, as the scan does, with the names'
  // own bytes.
  void Walk(const std::string& Folder, Tree& Out) {
    ASSERT_TRUE(Client.ChangeWorkingDirRaw(Folder)) << Folder;
    ASSERT_TRUE(Client.List(u"", false)) << Folder;
    std::vector<std::pair<std::string, bool>> Folders;
    TFTPList* L = Client.FtpList();
    EXPECT_TRUE(L->UnparsedLines.empty()) << Folder;
    for (Integer i = 0; i < L->Count(); ++i) {
      const TFTPListRec* E = L->Items(i);
      const std::string Path = (Folder == "/" ? "" : Folder) + "/" + E->RawFileName;
      EXPECT_EQ(E->FileName, UTF8ToUTF16(E->RawFileName));  // the server lists UTF-8
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
  ASSERT_TRUE(S.Client.Login()) << UTF16ToUTF8(S.Client.ResultString());
  EXPECT_TRUE(S.Client.UTF8());  // its FEAT lists UTF8
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
  ASSERT_TRUE(ByName.count(UTF8ToUTF16("Größe 1234.txt")));
  EXPECT_EQ(ByName[UTF8ToUTF16("Größe 1234.txt")]->FileSize, 1234);
  ASSERT_TRUE(S.Client.Logout());
  EXPECT_EQ(S.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);

  const std::vector<String> Received = Server.Commands();
  std::vector<String> Sent;
  for (const auto& [Response, Value] : S.Status) {
    if (!Response) Sent.push_back(Value);
  }
  EXPECT_EQ(Sent, Received);
  ASSERT_GE(Received.size(), 8u);
  const std::vector<String> Logon(Received.begin(), Received.begin() + 8);
  EXPECT_EQ(Logon, (std::vector<String>{u"USER quorvel", u"PASS secret", u"FEAT", u"OPTS UTF8 ON", u"TYPE I", u"STRU F",
                                        u"MODE S", u"REST 0"}));
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

// Names beginning with "." on servers that hide them from a plain LIST,
// on servers that refuse "LIST -a" or take it for a pattern nothing
// matches, and on one that hides nothing: every entry a plain LIST shows is
// always there, the hidden ones where the server can show them, and after
// the first folder with entries each folder is listed once.
TEST(FtpSendFixture, HiddenNamesAreListedWhereTheServerCanShowThem) {
  struct Case {
    const char* Name;
    bool HideDots;
    const char* ListOptions;
    bool SeesHidden;
    const char16_t* Later;  // the one listing command of the next folders
  };
  const Case Cases[] = {
      {"hides dot files, shows them for LIST -a", true, "accept", true, u"LIST -a"},
      {"hides dot files, refuses LIST -a", true, "refuse", false, u"LIST"},
      {"hides dot files, LIST -a lists nothing", true, "empty", false, u"LIST"},
      {"hides nothing", false, "accept", true, u"LIST -a"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    FtpServerOptions O;
    O.hideDotFiles = C.HideDots;
    O.listOptions = C.ListOptions;
    FtpServer Server(O);
    Server.Start();
    Server.MakeDir("empty");
    Server.MakeFile("site/.htaccess", 3000);
    Server.MakeFile("site/.cache/big.bin", 900000);
    Server.MakeFile("site/index.html", 2000);
    Server.MakeFile("site/img/a.png", 100);
    Session S(Server);
    S.Client.ListHidden = true;
    ASSERT_TRUE(S.Client.Login());
    const auto Names = [&] {
      std::set<String> N;
      for (Integer i = 0; i < S.Client.FtpList()->Count(); ++i) N.insert(S.Client.FtpList()->Items(i)->FileName);
      return N;
    };
    // An empty folder decides nothing: it is listed both ways (a refusal
    // of LIST -a decides at once).
    ASSERT_TRUE(S.Client.ChangeWorkingDir(u"/empty"));
    Server.ClearCommands();
    EXPECT_TRUE(S.Client.List(u"", false));
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(Server.Commands(), (std::vector<String>{u"TYPE A", u"PASV", u"LIST -a", u"TYPE A", u"PASV", u"LIST"}));

    ASSERT_TRUE(S.Client.ChangeWorkingDir(u"/site"));
    EXPECT_TRUE(S.Client.List(u"", false));
    std::set<String> Expected = {u"index.html", u"img"};
    if (C.SeesHidden) Expected.insert({u".htaccess", u".cache"});
    EXPECT_EQ(Names(), Expected);

    ASSERT_TRUE(S.Client.ChangeWorkingDir(u"/site/img"));
    Server.ClearCommands();
    EXPECT_TRUE(S.Client.List(u"", false));
    EXPECT_EQ(Names(), std::set<String>{u"a.png"});
    EXPECT_EQ(Server.Commands(), (std::vector<String>{u"TYPE A", u"PASV", C.Later}));
    EXPECT_TRUE(S.Client.NoOp());

    // Without ListHidden: a plain LIST, as ever.
    S.Client.ListHidden = false;
    ASSERT_TRUE(S.Client.ChangeWorkingDir(u"/site"));
    Server.ClearCommands();
    EXPECT_TRUE(S.Client.List(u"", false));
    EXPECT_EQ(Server.Commands(), (std::vector<String>{u"TYPE A", u"PASV", u"LIST"}));
    EXPECT_EQ(Names().count(u".htaccess"), C.HideDots ? 0u : 1u);
  }
}
