// The FTP client against a scripted in-process server: replies, logon
// programs, commands, data connections and the faults a hostile or broken
// server can throw at it.
#include "net/ftpsend.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "net/sockapi.h"
#include "rtl/SyncObjs.h"
#include "tests/net/FloodingSocket.h"
#include "tests/net/FtpSendFakeServer.h"

using ftptest::FakeFtpServer;
using ftptest::FakeFtpSession;

namespace {

// ASCII only: test texts.
// ASCII bytes as our text.
String AsciiText(const std::string& s) { return String(s.begin(), s.end()); }
std::string N(const String& s) { return std::string(s.begin(), s.end()); }

using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point Start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - Start).count();
}

// The passive reply naming a port on the loopback address.
std::string PasvReply(int Port) {
  return "227 Entering Passive Mode (127,0,0,1," + std::to_string(Port / 256) + "," + std::to_string(Port % 256) +
         ").\r\n";
}

const char* const kListing =
    "drwxr-xr-x   2 ftp ftp      4096 Mar  4  2021 pub\r\n"
    "-rw-r--r--   1 ftp ftp      1234 Mar  4  2021 readme.txt\r\n"
    "-rw-r--r--   1 ftp ftp 5368709120 Mar  4  2021 big file.iso\r\n";

// One fake server and one client pointed at it, with the status calls kept.
struct Rig {
  FakeFtpServer Server;
  TFTPSend Client;
  std::vector<std::pair<bool, String>> Status;

  explicit Rig(const std::function<void(FakeFtpServer&)>& Configure = {}, bool IPv6 = false) : Server(IPv6) {
    Server.Listing = kListing;
    if (Configure) Configure(Server);
    Server.Start();
    Client.TargetHost = IPv6 ? u"::1" : u"127.0.0.1";
    Client.TargetPort = Server.PortText();
    Client.Timeout = 3000;
    Client.UserName = u"user";
    Client.Password = u"pass";
    Client.OnStatus = [this](TObject* Sender, bool Response, const String& Value) {
      EXPECT_EQ(Sender, &Client);
      Status.emplace_back(Response, Value);
    };
  }
  // Logs on, then forgets what the logon sent.
  bool LoginAndClear() {
    const bool Ok = Client.Login();
    Server.ClearCommands();
    Status.clear();
    return Ok;
  }
  bool ConnectOnly() {
    Client.Sock()->Connect(u"127.0.0.1", Server.PortText());
    return Client.Sock()->LastError() == 0;
  }
};

std::vector<std::string> Prefix(const std::vector<std::string>& All, std::size_t Count) {
  return std::vector<std::string>(All.begin(), All.begin() + static_cast<std::ptrdiff_t>(std::min(Count, All.size())));
}

}  // namespace

// ------------------------------------------------------------ defaults

TEST(FtpSendDefaults, ConstructorSetsTheClientDefaults) {
  TFTPSend Client;
  EXPECT_EQ(Client.Timeout, 300000);
  EXPECT_EQ(Client.TargetHost, u"127.0.0.1");
  EXPECT_EQ(Client.TargetPort, u"21");
  EXPECT_EQ(Client.IPInterface, u"0.0.0.0");
  EXPECT_EQ(Client.UserName, u"anonymous");
  EXPECT_EQ(Client.Password, u"guestuser@" + Client.Sock()->LocalName());
  EXPECT_EQ(Client.FWPort, u"21");
  EXPECT_TRUE(Client.PassiveMode);
  EXPECT_TRUE(Client.BinaryMode);
  EXPECT_TRUE(Client.TLSonData);
  EXPECT_FALSE(Client.CanResume());
  EXPECT_TRUE(Client.Sock()->ConvertLineEnd());
  EXPECT_EQ(Client.Sock()->Owner(), &Client);
  EXPECT_EQ(Client.DSock()->Owner(), &Client);
  EXPECT_EQ(Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);
  EXPECT_EQ(Client.ResultCode(), 0);
}

// ------------------------------------------------------------ replies

TEST(FtpSendReply, RepliesEndAtTheirClosingLine) {
  struct Case {
    const char* Name;
    std::string Raw;
    Integer Code;
    Integer Lines;
    const char* Last;
  };
  const Case Cases[] = {
      {"three-line greeting", "220-Welcome\r\n220-second line\r\n220 ready\r\n", 220, 3, "220 ready"},
      {"bare code fixes nothing", "230\r\n230 done\r\n", 230, 2, "230 done"},
      {"continuations in any form", "211-Features\r\n indented\r\n123 other number\r\n211-again\r\n211 End\r\n", 211, 5,
       "211 End"},
      {"text before the code", "hello there\r\n220 ok\r\n", 220, 2, "220 ok"},
      {"LF line ends", "220-a\n220 b\n", 220, 2, "220 b"},
      {"LF CR line ends", "220-a\n\r220 b\n\r", 220, 2, "220 b"},
      {"code not a number", "abc def\r\n", 0, 1, "abc def"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([&](FakeFtpServer& S) { S.Greeting = C.Raw; });
    ASSERT_TRUE(R.ConnectOnly());
    EXPECT_EQ(R.Client.ReadResult(), C.Code);
    EXPECT_EQ(R.Client.ResultCode(), C.Code);
    EXPECT_EQ(R.Client.FullResult()->Count(), C.Lines);
    EXPECT_EQ(R.Client.ResultString(), AsciiText(C.Last));
    ASSERT_EQ(R.Status.size(), static_cast<std::size_t>(C.Lines));
    for (const auto& [Response, Value] : R.Status) EXPECT_TRUE(Response);
    EXPECT_EQ(R.Status.back().second, AsciiText(C.Last));
  }
}

TEST(FtpSendReply, SilenceCutsTheReplyButKeepsItsCode) {
  Rig R([](FakeFtpServer& S) { S.Greeting = "220-first line, then nothing\r\n"; });
  R.Client.Timeout = 300;
  ASSERT_TRUE(R.ConnectOnly());
  EXPECT_EQ(R.Client.ReadResult(), 220);
  EXPECT_EQ(R.Client.Sock()->LastError(), WirraErr::TimedOut);
  ASSERT_EQ(R.Client.FullResult()->Count(), 2);
  EXPECT_EQ(R.Client.ResultString(), u"");
  ASSERT_EQ(R.Status.size(), 2u);
  EXPECT_EQ(R.Status.back(), std::make_pair(true, String()));
}

TEST(FtpSendReply, EndlessReplyStopsAfterTheLineLimitAndDropsTheConnection) {
  Rig R([](FakeFtpServer& S) {
    S.On("SYST", [](FakeFtpSession& Session, const std::string&) {
      Session.Send("215-Endless reply follows\r\n");
      std::string Batch;
      for (int i = 0; i < 100; ++i) Batch += " one more line of a reply that never ends\r\n";
      // Until the client hangs up (or a generous backstop).
      for (int i = 0; i < 100000 && !Session.Server().StopRequested(); ++i) {
        if (!Session.Send(Batch)) break;
      }
      Session.CloseControl();
    });
  });
  ASSERT_TRUE(R.LoginAndClear());
  const auto Start = Clock::now();
  EXPECT_EQ(R.Client.FTPCommand(u"SYST"), 0);
  EXPECT_EQ(R.Client.ResultCode(), 0);
  EXPECT_EQ(R.Client.FullResult()->Count(), TFTPSend::MaxReplyLines);
  EXPECT_EQ(R.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);
  // The next command fails at once instead of reading the rest of the flood.
  EXPECT_FALSE(R.Client.NoOp());
  EXPECT_EQ(R.Client.ResultCode(), 0);
  EXPECT_LT(MsSince(Start), 20000);
}

TEST(FtpSendReply, ServerClosingMidSessionFailsTheNextCommandsAtOnce) {
  Rig R([](FakeFtpServer& S) {
    S.On("CWD", [](FakeFtpSession& Session, const std::string&) {
      Session.Send("421 Service not available, closing control connection\r\n");
      Session.CloseControl();
    });
  });
  ASSERT_TRUE(R.LoginAndClear());
  R.Client.Timeout = 60000;
  EXPECT_FALSE(R.Client.ChangeWorkingDir(u"/pub"));
  EXPECT_EQ(R.Client.ResultCode(), 421);
  const auto Start = Clock::now();
  EXPECT_FALSE(R.Client.NoOp());
  EXPECT_EQ(R.Client.ResultCode(), 0);
  EXPECT_EQ(R.Client.Sock()->LastError(), WirraErr::PeerClosed);
  EXPECT_EQ(R.Status.back(), std::make_pair(true, String()));
  EXPECT_FALSE(R.Client.Logout());
  EXPECT_EQ(R.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);
  EXPECT_LT(MsSince(Start), 5000);
}

// ------------------------------------------------------------ logon

TEST(FtpSendLogin, PreliminaryGreetingsAreWaitedFor) {
  Rig R([](FakeFtpServer& S) { S.Greeting = "120 Ready in a moment\r\n220 Ready now\r\n"; });
  ASSERT_TRUE(R.Client.Login());
  ASSERT_GE(R.Status.size(), 3u);
  EXPECT_EQ(R.Status[0], std::make_pair(true, String(u"120 Ready in a moment")));
  EXPECT_EQ(R.Status[1], std::make_pair(true, String(u"220 Ready now")));
  EXPECT_EQ(R.Status[2], std::make_pair(false, String(u"USER user")));
}

TEST(FtpSendLogin, GreetingThatIsNeverReadyFails) {
  struct Case {
    const char* Name;
    std::string Greeting;
  };
  std::string Forever;
  for (int i = 0; i <= TFTPSend::MaxPreliminaryReplies + 5; ++i) Forever += "120 Still waiting\r\n";
  const Case Cases[] = {{"refused", "421 Too many users\r\n"}, {"endless 1xx", Forever}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([&](FakeFtpServer& S) { S.Greeting = C.Greeting; });
    EXPECT_FALSE(R.Client.Login());
    R.Client.Sock()->CloseSocket();
    for (const auto& [Response, Value] : R.Status) EXPECT_TRUE(Response) << N(Value);
  }
}

TEST(FtpSendLogin, ConnectionRefusedFailsWithoutStatus) {
  TFTPSend Client;
  Client.TargetHost = u"127.0.0.1";
  // A port held but never listened on: refused, and no other test can take
  // it meanwhile (a port merely given back could be taken and answered).
  TTCPBlockSocket Held;
  Held.Bind(u"127.0.0.1", u"0");
  ASSERT_EQ(Held.LastError(), 0);
  Client.TargetPort = IntToStr(Held.GetLocalSinPort());
  int Calls = 0;
  Client.OnStatus = [&](TObject*, bool, const String&) { ++Calls; };
  Client.Timeout = 3000;
  EXPECT_FALSE(Client.Login());
  EXPECT_NE(Client.Sock()->LastError(), 0);
  EXPECT_EQ(Calls, 0);
  // Nothing is open: the next Connect has no connection to log out of (a
  // QUIT into the unconnected socket would wait out the whole time-out).
  EXPECT_EQ(Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);
}

TEST(FtpSendLogin, LogonProgramsSendTheirCommands) {
  struct Case {
    const char* Name;
    bool Firewall;
    Integer Mode;
    const char* TargetPort;
    std::map<std::string, std::string> Replies;
    bool Ok;
    std::vector<std::string> Commands;
  };
  const Case Cases[] = {
      {"direct",
       false,
       0,
       "21",
       {},
       true,
       {"USER user", "PASS pass", "FEAT", "OPTS UTF8 ON", "TYPE I", "STRU F", "MODE S", "REST 0", "REST 1", "REST 0"}},
      {"direct whatever the mode without a firewall", false, 5, "21", {}, true, {"USER user", "PASS pass", "FEAT"}},
      {"direct with account",
       false,
       0,
       "21",
       {{"PASS", "332 Need account\r\n"}},
       true,
       {"USER user", "PASS pass", "ACCT acct", "FEAT"}},
      {"direct, user alone is enough", false, 0, "21", {{"USER", "230 Welcome\r\n"}}, true, {"USER user", "FEAT"}},
      {"direct, user refused", false, 0, "21", {{"USER", "530 Not you\r\n"}}, false, {"USER user"}},
      {"mode 1, SITE answered 2xx fails",
       true,
       1,
       "2121",
       {},
       false,
       {"USER fwuser", "PASS fwpass", "SITE ftp.example.com:2121"}},
      {"mode 1, SITE answered 3xx goes on",
       true,
       1,
       "21",
       {{"SITE", "331 Go on\r\n"}},
       true,
       {"USER fwuser", "PASS fwpass", "SITE ftp.example.com", "USER user", "PASS pass", "FEAT"}},
      {"mode 2",
       true,
       2,
       "2121",
       {},
       true,
       {"USER fwuser", "PASS fwpass", "USER user@ftp.example.com:2121", "PASS pass", "FEAT"}},
      {"mode 3", true, 3, "21", {}, true, {"USER fwuser", "PASS fwpass", "USER user", "PASS pass", "FEAT"}},
      {"mode 4",
       true,
       4,
       "21",
       {{"OPEN", "220 Connected\r\n"}},
       true,
       {"OPEN ftp.example.com", "USER user", "PASS pass", "FEAT"}},
      {"mode 5", true, 5, "21", {}, true, {"USER user@ftp.example.com", "PASS pass", "FEAT"}},
      {"mode 6",
       true,
       6,
       "21",
       {},
       true,
       {"USER fwuser@ftp.example.com", "PASS fwpass", "USER user", "PASS pass", "FEAT"}},
      {"mode 7", true, 7, "21", {}, true, {"USER user@ftp.example.com fwuser", "PASS pass", "FEAT"}},
      {"mode 7, a 2xx to the first USER fails",
       true,
       7,
       "21",
       {{"USER", "230 Hm\r\n"}},
       false,
       {"USER user@ftp.example.com fwuser"}},
      {"mode 8", true, 8, "21", {}, true, {"USER user@fwuser@ftp.example.com", "PASS pass@fwpass", "FEAT"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([&](FakeFtpServer& S) {
      for (const auto& [Verb, Raw] : C.Replies) S.Reply(Verb, Raw);
    });
    R.Client.Account = u"acct";
    R.Client.FWUsername = u"fwuser";
    R.Client.FWPassword = u"fwpass";
    R.Client.FWMode = C.Mode;
    if (C.Firewall) {
      R.Client.FWHost = u"127.0.0.1";
      R.Client.FWPort = R.Server.PortText();
      R.Client.TargetHost = u"ftp.example.com";
      R.Client.TargetPort = AsciiText(C.TargetPort);
    }
    EXPECT_EQ(R.Client.Login(), C.Ok);
    R.Client.NoOp();  // the server has seen everything the logon sent
    const auto Sent = R.Server.Commands();
    EXPECT_EQ(Prefix(Sent, C.Commands.size()), C.Commands);
    if (!C.Ok) {
      ASSERT_EQ(Sent.size(), C.Commands.size() + 1);
      EXPECT_EQ(Sent.back(), "NOOP");
    }
  }
}

TEST(FtpSendLogin, CustomProgramsThatLoopOrJumpAmissFail) {
  struct Case {
    const char* Name;
    TLogonActions Program;
    std::size_t MaxCommands;
  };
  const Case Cases[] = {
      {"loops on its first step", {0, 0, 0}, 64},
      {"jumps into the middle of a step", {0, 4, 4}, 1},
      {"undefined action", {12, 255, 255}, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([](FakeFtpServer& S) { S.Reply("USER", "230 Fine\r\n"); });
    R.Client.FWHost = u"127.0.0.1";
    R.Client.FWPort = R.Server.PortText();
    R.Client.FWMode = -1;
    R.Client.CustomLogon = C.Program;
    EXPECT_FALSE(R.Client.Login());
    R.Client.NoOp();
    const auto Sent = R.Server.Commands();
    ASSERT_FALSE(Sent.empty());
    EXPECT_EQ(Sent.back(), "NOOP");
    EXPECT_LE(Sent.size() - 1, C.MaxCommands);
  }
}

TEST(FtpSendLogin, DefaultCredentialsAreAnonymous) {
  Rig R;
  R.Client.UserName = u"anonymous";
  R.Client.Password = u"guestuser@" + R.Client.Sock()->LocalName();
  ASSERT_TRUE(R.Client.Login());
  const auto Sent = R.Server.Commands();
  ASSERT_GE(Sent.size(), 2u);
  EXPECT_EQ(Sent[0], "USER anonymous");
  EXPECT_EQ(Sent[1], "PASS guestuser@" + N(R.Client.Sock()->LocalName()));
}

TEST(FtpSendLogin, ResumeNeedsBothRestProbesAccepted) {
  Rig R([](FakeFtpServer& S) {
    S.On("REST", [](FakeFtpSession& Session, const std::string& Arg) {
      Session.Send(Arg == "0" ? "350 Ok\r\n" : "501 No\r\n");
    });
  });
  ASSERT_TRUE(R.Client.Login());
  EXPECT_FALSE(R.Client.CanResume());
  R.Client.NoOp();
  const auto Sent = R.Server.Commands();
  const std::vector<std::string> Tail(Sent.end() - 4, Sent.end());
  EXPECT_EQ(Tail, (std::vector<std::string>{"MODE S", "REST 0", "REST 1", "NOOP"}));
}

TEST(FtpSendLogin, EveryCommandAndReplyReachesOnStatusInOrder) {
  Rig R;
  ASSERT_TRUE(R.Client.Login());
  ASSERT_TRUE(R.Client.Logout());
  std::vector<std::string> Sent;
  for (const auto& [Response, Value] : R.Status) {
    if (!Response) Sent.push_back(N(Value));
  }
  EXPECT_EQ(Sent, R.Server.Commands());
  ASSERT_FALSE(R.Status.empty());
  EXPECT_EQ(R.Status.front(), std::make_pair(true, String(u"220 Fake FTP server ready")));
  EXPECT_EQ(R.Status.back(), std::make_pair(true, String(u"221 Bye")));
  EXPECT_EQ(R.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);
  // The same object logs on again.
  EXPECT_TRUE(R.Client.Login());
}

// ------------------------------------------------------------ single commands

TEST(FtpSendCommands, CommandsSendOneLineAndJudgeTheReplyClass) {
  struct Case {
    const char* Name;
    std::function<bool(TFTPSend&)> Call;
    std::map<std::string, std::string> Replies;
    bool Ok;
    std::vector<std::string> Commands;
  };
  const Case Cases[] = {
      {"delete file", [](TFTPSend& C) { return C.DeleteFile(u"a b.txt"); }, {}, true, {"DELE a b.txt"}},
      {"delete file refused",
       [](TFTPSend& C) { return C.DeleteFile(u"x"); },
       {{"DELE", "550 No\r\n"}},
       false,
       {"DELE x"}},
      {"delete dir", [](TFTPSend& C) { return C.DeleteDir(u"/old stuff"); }, {}, true, {"RMD /old stuff"}},
      {"delete dir refused",
       [](TFTPSend& C) { return C.DeleteDir(u"d"); },
       {{"RMD", "550 Not empty\r\n"}},
       false,
       {"RMD d"}},
      {"create dir", [](TFTPSend& C) { return C.CreateDir(u"new"); }, {}, true, {"MKD new"}},
      {"change dir", [](TFTPSend& C) { return C.ChangeWorkingDir(u"/pub"); }, {}, true, {"CWD /pub"}},
      {"change dir refused",
       [](TFTPSend& C) { return C.ChangeWorkingDir(u"/x"); },
       {{"CWD", "550 No\r\n"}},
       false,
       {"CWD /x"}},
      {"root", [](TFTPSend& C) { return C.ChangeToRootDir(); }, {}, true, {"CWD /"}},
      {"parent", [](TFTPSend& C) { return C.ChangeToParentDir(); }, {}, true, {"CDUP"}},
      {"noop", [](TFTPSend& C) { return C.NoOp(); }, {}, true, {"NOOP"}},
      {"rename", [](TFTPSend& C) { return C.RenameFile(u"old", u"new"); }, {}, true, {"RNFR old", "RNTO new"}},
      {"rename refused at RNFR",
       [](TFTPSend& C) { return C.RenameFile(u"old", u"new"); },
       {{"RNFR", "550 No such file\r\n"}},
       false,
       {"RNFR old"}},
      {"rename, RNFR answered 2xx",
       [](TFTPSend& C) { return C.RenameFile(u"old", u"new"); },
       {{"RNFR", "250 Odd\r\n"}},
       false,
       {"RNFR old"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([&](FakeFtpServer& S) {
      for (const auto& [Verb, Raw] : C.Replies) S.Reply(Verb, Raw);
    });
    ASSERT_TRUE(R.LoginAndClear());
    EXPECT_EQ(C.Call(R.Client), C.Ok);
    EXPECT_EQ(R.Server.Commands(), C.Commands);
  }
}

TEST(FtpSendCommands, FileSizeAndCurrentDirReadTheirReplies) {
  struct Case {
    const char* Name;
    std::string Reply;
    Int64 Size;
    const char16_t* Dir;
  };
  const Case Cases[] = {
      {"plain", "213 12345\r\n", 12345, u"213 12345"},
      {"beyond 32 bits", "213 5368709120\r\n", 5368709120LL, u"213 5368709120"},
      {"extra words", "213  987 bytes\r\n", 987, u"213  987 bytes"},
      {"refused", "550 No such file\r\n", -1, u""},
      {"not a number", "213 12abc\r\n", -1, u"213 12abc"},
      {"hex is not decimal", "213 $FF\r\n", -1, u"213 $FF"},
      {"quoted folder", "257 \" /pub/x y \" is current\r\n", -1, u"/pub/x y"},
      {"a doubled quote is one quote", "257 \"/a\"\"b\"\"\" created\r\n", -1, u"/a\"b\""},
      {"a UTF-8 folder", "257 \"/caf\xC3\xA9\" is current\r\n", -1, u"/caf\u00E9"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([&](FakeFtpServer& S) {
      S.Reply("SIZE", C.Reply);
      S.Reply("PWD", C.Reply);
    });
    ASSERT_TRUE(R.LoginAndClear());
    if (C.Reply.rfind("257", 0) != 0) {
      EXPECT_EQ(R.Client.FileSize(u"f"), C.Size);
    }
    EXPECT_EQ(R.Client.GetCurrentDir(), C.Dir);
  }
}

// Whether commands go out in UTF-8 follows what the server says after the
// logon; replies are read as UTF-8 whenever their bytes are UTF-8, and a
// listed name's own bytes go back unchanged.
TEST(FtpSendCommands, Utf8IsUsedWhenTheServerSaysSo) {
  struct Case {
    const char* Name;
    std::map<std::string, std::string> Replies;
    bool Utf8;
    std::vector<std::string> Asked;
  };
  const Case Cases[] = {
      {"FEAT lists UTF8", {{"FEAT", "211-Features:\r\n MDTM\r\n UTF8\r\n211 End\r\n"}}, true, {"FEAT", "OPTS UTF8 ON"}},
      {"FEAT without UTF8", {{"FEAT", "211-Features:\r\n MDTM\r\n211 End\r\n"}}, false, {"FEAT"}},
      {"no FEAT, the switch accepted", {{"OPTS", "200 UTF8 set to on\r\n"}}, true, {"FEAT", "OPTS UTF8 ON"}},
      {"no FEAT, no switch", {}, false, {"FEAT", "OPTS UTF8 ON"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([&](FakeFtpServer& S) {
      for (const auto& [Verb, Raw] : C.Replies) S.Reply(Verb, Raw);
      S.Reply("MKD", "257 \"/caf\xC3\xA9\" created\r\n");
    });
    ASSERT_TRUE(R.Client.Login());
    EXPECT_EQ(R.Client.UTF8(), C.Utf8);
    const auto Logon = R.Server.Commands();
    EXPECT_EQ(
        std::vector<std::string>(Logon.begin() + 2, Logon.begin() + 2 + static_cast<std::ptrdiff_t>(C.Asked.size())),
        C.Asked);
    R.Server.ClearCommands();
    R.Status.clear();
    EXPECT_TRUE(R.Client.CreateDir(u"caf\u00E9"));
    EXPECT_TRUE(R.Client.ChangeWorkingDirRaw("\xE9t\xE9"));
    EXPECT_EQ(R.Server.Commands(),
              (std::vector<std::string>{C.Utf8 ? "MKD caf\xC3\xA9" : "MKD caf\xE9", "CWD \xE9t\xE9"}));
    // The reply's UTF-8 reads as UTF-8 either way; the raw command is
    // reported as its bytes read.
    ASSERT_GE(R.Status.size(), 4u);
    EXPECT_EQ(R.Status[1], std::make_pair(true, String(u"257 \"/caf\u00E9\" created")));
    EXPECT_EQ(R.Status[2], std::make_pair(false, String(u"CWD \u00E9t\u00E9")));
  }
}

TEST(FtpSendCommands, LineBreaksInArgumentsAreRefusedAndNothingIsSent) {
  const std::string Hostile[] = {"a\r\nDELE secret", "a\nDELE secret", "a\rDELE secret", std::string("a\0b", 3)};
  const std::function<bool(TFTPSend&, const String&)> Calls[] = {
      [](TFTPSend& C, const String& A) { return C.ChangeWorkingDir(A); },
      [](TFTPSend& C, const String& A) { return C.DeleteFile(A); },
      [](TFTPSend& C, const String& A) { return C.DeleteDir(A); },
      [](TFTPSend& C, const String& A) { return C.RenameFile(A, u"b"); },
      [](TFTPSend& C, const String& A) { return C.RenameFile(u"b", A); },
      [](TFTPSend& C, const String& A) { return C.FileSize(A) >= 0; },
      [](TFTPSend& C, const String& A) { return C.FTPCommand(A) != 0; },
  };
  Rig R;
  ASSERT_TRUE(R.LoginAndClear());
  for (const std::string& Arg : Hostile) {
    for (std::size_t i = 0; i < std::size(Calls); ++i) {
      SCOPED_TRACE("call " + std::to_string(i));
      R.Server.ClearCommands();
      EXPECT_FALSE(Calls[i](R.Client, AsciiText(Arg)));
      EXPECT_TRUE(R.Client.NoOp());
      const auto Sent = R.Server.Commands();
      // Only the harmless half of a rename may have gone out.
      for (const std::string& Line : Sent) EXPECT_EQ(Line.find("secret"), std::string::npos) << Line;
      EXPECT_EQ(Sent.back(), "NOOP");
    }
  }
  for (const auto& [Response, Value] : R.Status) EXPECT_EQ(N(Value).find("secret"), std::string::npos);
}

TEST(FtpSendCommands, RefusedCommandLeavesNoStaleReply) {
  Rig R;
  ASSERT_TRUE(R.LoginAndClear());
  ASSERT_TRUE(R.Client.NoOp());
  R.Status.clear();
  EXPECT_EQ(R.Client.FTPCommand(u"CWD a\r\nb"), 0);
  EXPECT_EQ(R.Client.ResultCode(), 0);
  EXPECT_EQ(R.Client.FullResult()->Count(), 0);
  EXPECT_TRUE(R.Status.empty());
}

TEST(FtpSendCommands, PasswordWithLineBreakFailsTheLogon) {
  Rig R;
  R.Client.Password = u"pass\r\nDELE secret";
  EXPECT_FALSE(R.Client.Login());
  R.Client.NoOp();
  EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"USER user", "NOOP"}));
}

// ------------------------------------------------------------ data connections

TEST(FtpSendData, PasvRepliesAreParsed) {
  struct Case {
    const char16_t* Reply;
    const char16_t* IP;
    const char16_t* Port;
  };
  const Case Cases[] = {
      {u"227 Entering Passive Mode (192,168,1,2,19,137)", u"192.168.1.2", u"5001"},
      {u"227 Entering Passive Mode 192,168,1,2,19,137", u"192.168.1.2", u"5001"},
      {u"  227 Entering Passive Mode (192,168,1,2,19,137).\r\n", u"192.168.1.2", u"5001"},
      {u"227 ok ( 10 , 0 , 0 , 5 , 195 , 80 )", u"10.0.0.5", u"50000"},
      // A port byte that is not 0..255 gives no port ("0", refused before
      // any connect) rather than some other port made from the pieces.
      {u"227 odd (1,2,3,4,x,7)", u"1.2.3.4", u"0"},
      {u"227 negative (1,2,3,4,-1,300)", u"1.2.3.4", u"0"},
      {u"227 wide (1,2,3,4,256,0)", u"1.2.3.4", u"0"},
      {u"227 huge (1,2,3,4,9223372036854775807,1)", u"1.2.3.4", u"0"},
      {u"227 huge (1,2,3,4,1,99999999999)", u"1.2.3.4", u"0"},
      {u"227 top (1,2,3,4,255,255)", u"1.2.3.4", u"65535"},
  };
  TFTPSend Client;
  for (const Case& C : Cases) {
    SCOPED_TRACE(N(C.Reply));
    Client.ParseRemote(C.Reply);
    EXPECT_EQ(Client.DataIP(), C.IP);
    EXPECT_EQ(Client.DataPort(), C.Port);
  }
}

TEST(FtpSendData, EpsvReplyGivesThePortAndTheControlPeer) {
  Rig R;
  ASSERT_TRUE(R.ConnectOnly());
  R.Client.ParseRemoteEPSV(u"229 Entering Extended Passive Mode (|||6446|)");
  EXPECT_EQ(R.Client.DataPort(), u"6446");
  EXPECT_EQ(R.Client.DataIP(), u"127.0.0.1");
  R.Client.ParseRemoteEPSV(u"229 Nothing usable (|||x|)");
  EXPECT_EQ(R.Client.DataPort(), u"");
}

TEST(FtpSendData, PassiveListingGoesToTheControlPeerWhateverHostPasvNames) {
  // 192.0.2.1 is a documentation address: nothing answers there.
  for (const char* Announced : {"127,0,0,1", "192,0,2,1", "10,255,255,1"}) {
    SCOPED_TRACE(Announced);
    Rig R([&](FakeFtpServer& S) { S.PasvHost = Announced; });
    R.Client.Timeout = 2000;
    ASSERT_TRUE(R.LoginAndClear());
    ASSERT_TRUE(R.Client.List(u"", false));
    EXPECT_EQ(R.Client.DataIP(), u"127.0.0.1");
    EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"TYPE A", "PASV", "LIST"}));
    ASSERT_EQ(R.Client.FtpList()->Count(), 3);
    EXPECT_EQ(R.Client.FtpList()->Items(0)->FileName, u"pub");
    EXPECT_TRUE(R.Client.FtpList()->Items(0)->Directory);
    EXPECT_EQ(R.Client.FtpList()->Items(2)->FileName, u"big file.iso");
    EXPECT_EQ(R.Client.FtpList()->Items(2)->FileSize, 5368709120LL);
    EXPECT_EQ(R.Client.DataStream()->Position(), 0);
    EXPECT_EQ(R.Client.DataStream()->Size(), static_cast<Int64>(std::string(kListing).size()));
  }
}

TEST(FtpSendData, ListingCommandForms) {
  struct Case {
    const char16_t* Dir;
    bool NameList;
    const char* Command;
  };
  const Case Cases[] = {{u"", false, "LIST"}, {u"pub", false, "LIST pub"}, {u"pub", true, "NLST pub"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Command);
    Rig R;
    ASSERT_TRUE(R.LoginAndClear());
    ASSERT_TRUE(R.Client.List(C.Dir, C.NameList));
    EXPECT_EQ(R.Server.Commands().back(), C.Command);
    // A name list stays raw.
    EXPECT_EQ(R.Client.FtpList()->Count(), C.NameList ? 0 : 3);
    EXPECT_EQ(R.Client.DataStream()->Size(), static_cast<Int64>(std::string(kListing).size()));
  }
}

TEST(FtpSendData, ActiveListingAnnouncesTheControlAddress) {
  Rig R;
  ASSERT_TRUE(R.LoginAndClear());
  R.Client.PassiveMode = false;
  ASSERT_TRUE(R.Client.List(u"", false));
  const auto Sent = R.Server.Commands();
  ASSERT_EQ(Sent.size(), 3u);
  const Integer Port = std::stoi(N(R.Client.DataPort()));
  EXPECT_EQ(Sent[1], "PORT 127,0,0,1," + std::to_string(Port / 256) + "," + std::to_string(Port % 256));
  EXPECT_EQ(R.Client.DataIP(), u"127.0.0.1");
  EXPECT_EQ(R.Client.FtpList()->Count(), 3);
}

TEST(FtpSendData, FailedDataConnectionsFailTheListing) {
  struct Case {
    const char* Name;
    bool Passive;
    std::function<void(FakeFtpServer&)> Configure;
  };
  const Case Cases[] = {
      {"PASV refused", true, [](FakeFtpServer& S) { S.Reply("PASV", "502 No passive\r\n"); }},
      {"PORT refused", false, [](FakeFtpServer& S) { S.Reply("PORT", "502 No active\r\n"); }},
      {"PASV port out of range", true, [](FakeFtpServer& S) { S.Reply("PASV", "227 Here (127,0,0,1,300,1)\r\n"); }},
      {"PASV port zero", true, [](FakeFtpServer& S) { S.Reply("PASV", "227 Here (127,0,0,1,0,0)\r\n"); }},
      {"LIST refused", true, [](FakeFtpServer& S) { S.Reply("LIST", "550 Folder gone\r\n"); }},
      {"active, the server never connects", false,
       [](FakeFtpServer& S) { S.Reply("LIST", "150 Here it comes\r\n226 Transfer complete\r\n"); }},
      {"data connection dropped", true,
       [](FakeFtpServer& S) {
         S.On("LIST", [](FakeFtpSession& Session, const std::string&) {
           Session.Send("150 Opening\r\n");
           if (Session.OpenData()) Session.SendData(std::string(kListing).substr(0, 40));
           Session.CloseData(true);
           Session.Send("426 Connection closed; transfer aborted\r\n");
         });
       }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R(C.Configure);
    R.Client.Timeout = 700;
    ASSERT_TRUE(R.LoginAndClear());
    R.Client.PassiveMode = C.Passive;
    EXPECT_FALSE(R.Client.List(u"", false));
    EXPECT_EQ(R.Client.FtpList()->Count(), 0);
    EXPECT_TRUE(R.Client.FtpList()->Lines.empty());
    // The control connection is still in step with the server.
    EXPECT_TRUE(R.Client.NoOp());
    EXPECT_EQ(R.Client.ResultCode(), 200);
  }
}

TEST(FtpSendData, IPv6UsesEpsvAndEprtWithoutFallingBackToPasvOrPort) {
  struct Case {
    const char* Name;
    bool Passive;
    bool ForceOldPort;
    std::map<std::string, std::string> Replies;
    bool Ok;
    std::vector<std::string> Commands;  // "EPRT" stands for the whole EPRT line
  };
  const Case Cases[] = {
      {"EPSV", true, false, {}, true, {"TYPE A", "EPSV 2", "LIST", "NOOP"}},
      {"EPSV refused", true, false, {{"EPSV", "502 No\r\n"}}, false, {"TYPE A", "EPSV 2", "NOOP"}},
      {"passive with old commands only", true, true, {}, false, {"TYPE A", "NOOP"}},
      {"EPRT", false, false, {}, true, {"TYPE A", "EPRT", "LIST", "NOOP"}},
      {"EPRT refused", false, false, {{"EPRT", "502 No\r\n"}}, false, {"TYPE A", "EPRT", "NOOP"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R(
        [&](FakeFtpServer& S) {
          for (const auto& [Verb, Raw] : C.Replies) S.Reply(Verb, Raw);
        },
        true);
    if (!R.Server.Ok()) GTEST_SKIP() << "no IPv6 loopback here";
    ASSERT_TRUE(R.LoginAndClear());
    ASSERT_TRUE(R.Client.Sock()->IP6used());
    R.Client.PassiveMode = C.Passive;
    R.Client.ForceOldPort = C.ForceOldPort;
    EXPECT_EQ(R.Client.List(u"", false), C.Ok);
    EXPECT_EQ(R.Client.FtpList()->Count(), C.Ok ? 3 : 0);
    EXPECT_TRUE(R.Client.NoOp());
    std::vector<std::string> Sent = R.Server.Commands();
    for (std::string& Line : Sent) {
      if (Line.rfind("EPRT ", 0) == 0) {
        EXPECT_EQ(Line, "EPRT |2|::1|" + N(R.Client.DataPort()) + "|");
        Line = "EPRT";
      }
    }
    EXPECT_EQ(Sent, C.Commands);
    if (C.Ok) {
      EXPECT_EQ(R.Client.DataIP(), u"::1");
    }
  }
}

namespace {
TSocket FailingAccept(TSocket, TVarSin*, Integer*) { return INVALID_SOCKET_HANDLE; }
}  // namespace

TEST(FtpSendData, FailedAcceptIsAFailedTransferNotAnEmptyListing) {
  Rig R;
  ASSERT_TRUE(R.LoginAndClear());
  R.Client.PassiveMode = false;
  const auto Saved = SocketFunctions.accept;
  SocketFunctions.accept = &FailingAccept;
  const bool Listed = R.Client.List(u"", false);
  SocketFunctions.accept = Saved;
  EXPECT_FALSE(Listed);
  EXPECT_EQ(R.Client.FtpList()->Count(), 0);
  EXPECT_EQ(R.Client.DSock()->Socket(), INVALID_SOCKET_HANDLE);
}

TEST(FtpSendData, DownloadAndUploadThroughDataStream) {
  static const char kRaw[] = "binary\0data\r\nwith\rline\nends\xFF";
  const std::string Payload(kRaw, sizeof(kRaw) - 1);
  Rig R([&](FakeFtpServer& S) { S.Listing = Payload; });
  ASSERT_TRUE(R.LoginAndClear());
  ASSERT_TRUE(R.Client.RetrieveFile(u"file.bin", false));
  EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"PASV", "TYPE I", "RETR file.bin"}));
  TMemoryStream* Data = R.Client.DataStream();
  ASSERT_EQ(Data->Size(), static_cast<Int64>(Payload.size()));
  EXPECT_EQ(Data->Position(), 0);
  EXPECT_EQ(std::string(static_cast<const char*>(Data->Memory()), Payload.size()), Payload);

  R.Server.ClearCommands();
  ASSERT_TRUE(R.Client.StoreFile(u"up.bin", false));
  EXPECT_EQ(R.Server.Received(), Payload);
  EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"PASV", "TYPE I", "ALLO " + std::to_string(Payload.size()),
                                                           "REST 0", "STOR up.bin"}));
}

TEST(FtpSendData, ResumedUploadOfACompleteFileSendsNothingMore) {
  Rig R([](FakeFtpServer& S) { S.Reply("SIZE", "213 30\r\n"); });
  ASSERT_TRUE(R.LoginAndClear());
  ASSERT_TRUE(R.Client.CanResume());
  const std::string Payload(30, 'x');
  R.Client.DataStream()->WriteBuffer(Payload.data(), 30);
  EXPECT_TRUE(R.Client.StoreFile(u"up.bin", true));
  EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"SIZE up.bin", "PASV", "TYPE I"}));
}

// The abort comes once data has arrived (the data socket reports its first
// bytes): the download ends, ABOR goes out from the downloading thread, and
// the replies stay in step for the next command.
TEST(FtpSendData, AbortFromAnotherThreadStopsARunningDownload) {
  struct Case {
    const char* Name;
    bool Telnet;
    std::string Line;
  };
  const Case Cases[] = {{"Abort", false, "ABOR"},
                        {"TelnetAbort", true,
                         "\xFF\xF4\xFF\xF2"
                         "ABOR"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([](FakeFtpServer& S) {
      S.On("RETR", [](FakeFtpSession& Session, const std::string&) {
        Session.Send("150 Sending slowly\r\n");
        if (!Session.OpenData()) return;
        const auto Start = Clock::now();
        while (MsSince(Start) < 15000 && !Session.Server().StopRequested() && Session.SendData(std::string(512, 'd'))) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Session.CloseData();
        Session.Send("426 Transfer aborted\r\n");
      });
    });
    R.Client.Timeout = 10000;
    ASSERT_TRUE(R.LoginAndClear());
    TSimpleEvent DataArrived;
    R.Client.DSock()->OnStatus = [&](TObject*, THookSocketReason Reason, const String&) {
      if (Reason == HR_ReadCount) DataArrived.SetEvent();
    };
    const std::thread::id Owner = std::this_thread::get_id();
    std::vector<std::thread::id> StatusThreads;
    R.Client.OnStatus = [&](TObject*, bool Response, const String& Value) {
      StatusThreads.push_back(std::this_thread::get_id());
      R.Status.emplace_back(Response, Value);
    };
    const auto Start = Clock::now();
    std::thread Stopper([&] {
      ASSERT_EQ(DataArrived.WaitFor(10000), wrSignaled);
      if (C.Telnet) {
        R.Client.TelnetAbort();
      } else {
        R.Client.Abort();
      }
    });
    const bool Ok = R.Client.RetrieveFile(u"huge.bin", false);
    Stopper.join();
    EXPECT_FALSE(Ok);
    EXPECT_LT(MsSince(Start), 8000);
    EXPECT_GT(R.Client.DataStream()->Size(), 0);
    EXPECT_EQ(R.Client.ResultCode(), 426);  // the transfer's own reply
    // ABOR's reply was read with the transfer: the next command reads its own.
    EXPECT_TRUE(R.Client.NoOp());
    EXPECT_EQ(R.Client.ResultString(), u"200 OK");
    const auto Sent = R.Server.Commands();
    EXPECT_EQ(Prefix(Sent, 4), (std::vector<std::string>{"PASV", "TYPE I", "RETR huge.bin", C.Line}));
    // Written and reported by the downloading thread only.
    for (const std::thread::id& Id : StatusThreads) EXPECT_EQ(Id, Owner);
    EXPECT_NE(std::find(R.Status.begin(), R.Status.end(), std::make_pair(false, String(u"ABOR"))), R.Status.end());
  }
}

// An abort that comes while the data connection is still being prepared is
// not lost when the data socket is made afterwards: the transfer command is
// never sent, and there is nothing to ABOR.
TEST(FtpSendData, AbortBeforeTheDataConnectionExistsIsNotLost) {
  TSimpleEvent PasvReceived;
  TSimpleEvent Aborted;
  Rig R([&](FakeFtpServer& S) {
    S.On("PASV", [&](FakeFtpSession& Session, const std::string&) {
      PasvReceived.SetEvent();
      Aborted.WaitFor(10000);
      Session.Send(PasvReply(Session.ListenPassive()));
    });
  });
  ASSERT_TRUE(R.LoginAndClear());
  std::thread Stopper([&] {
    PasvReceived.WaitFor(10000);
    R.Client.Abort();
    Aborted.SetEvent();
  });
  EXPECT_FALSE(R.Client.List(u"", false));
  Stopper.join();
  EXPECT_EQ(R.Client.FtpList()->Count(), 0);
  EXPECT_TRUE(R.Client.NoOp());
  EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"TYPE A", "PASV", "NOOP"}));
  // Forgotten once that transfer ended: the next one runs.
  EXPECT_TRUE(R.Client.List(u"", false));
  EXPECT_EQ(R.Client.FtpList()->Count(), 3);
}

// An abort that comes while the passive data connection is being set up,
// whose port drops every packet: the connect is not waited for (the old
// one-shot stop request was cleared when the data socket was made, and the
// connect waited the whole Timeout). The abort comes while the PASV reply
// is awaited (that reply, read by the next command, keeps the replies in
// step), or after the reply, just before the data socket exists.
TEST(FtpSendData, AbortDuringThePassiveExchangeStopsTheConnectToASilentPort) {
  ftptest::Blackhole Silent;
  ASSERT_TRUE(Silent.Ok());
  const std::string SilentReply = PasvReply(Silent.Port());
  for (const bool HoldReply : {true, false}) {
    SCOPED_TRACE(HoldReply ? "while the PASV reply is awaited" : "before the data socket exists");
    TSimpleEvent Trigger;
    TSimpleEvent Aborted;
    int Pasv = 0;  // on the server's thread
    Rig R([&](FakeFtpServer& S) {
      S.On("PASV", [&](FakeFtpSession& Session, const std::string&) {
        if (Pasv++ > 0) {
          Session.Send(PasvReply(Session.ListenPassive()));
          return;
        }
        if (HoldReply) {
          Trigger.SetEvent();
          Aborted.WaitFor(10000);
        }
        Session.Send(SilentReply);
      });
    });
    R.Client.Timeout = 10000;
    ASSERT_TRUE(R.LoginAndClear());
    bool Resolving = false;
    if (!HoldReply) {
      // The data socket's connect names its target before making the socket.
      R.Client.DSock()->OnStatus = [&](TObject*, THookSocketReason Reason, const String&) {
        if (Reason != HR_ResolvingBegin || Resolving) return;
        Resolving = true;
        Trigger.SetEvent();
        Aborted.WaitFor(10000);
      };
    }
    std::thread Stopper([&] {
      Trigger.WaitFor(10000);
      R.Client.Abort();
      Aborted.SetEvent();
    });
    const auto Start = Clock::now();
    EXPECT_FALSE(R.Client.List(u"", false));
    const long long Took = MsSince(Start);
    Stopper.join();
    R.Client.DSock()->OnStatus = nullptr;
    EXPECT_LT(Took, 2000);
    EXPECT_EQ(R.Client.FtpList()->Count(), 0);
    EXPECT_EQ(R.Client.DSock()->Socket(), INVALID_SOCKET_HANDLE);
    EXPECT_EQ(R.Client.ResultCode(), HoldReply ? 0 : 227);
    EXPECT_TRUE(R.Client.NoOp());
    EXPECT_EQ(R.Client.ResultString(), u"200 OK");
    EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"TYPE A", "PASV", "NOOP"}));
    // The request ended with that transfer: the next one runs.
    EXPECT_TRUE(R.Client.List(u"", false));
    EXPECT_EQ(R.Client.FtpList()->Count(), 3);
  }
}

// A server that takes its time before the preliminary reply to LIST: an
// abort ends the listing at once, nothing more is sent (no ABOR: the command
// was not accepted yet), and the data connection is closed so that the
// server's transfer ends. The next command first reads the replies still
// owed, then its own. An abort asked for between transfers is forgotten.
TEST(FtpSendData, AbortWhileTheServerHoldsBackItsPreliminaryReply) {
  for (const bool Passive : {true, false}) {
    SCOPED_TRACE(Passive ? "passive" : "active");
    TSimpleEvent ListReceived;
    TSimpleEvent Release;
    int Lists = 0;  // on the server's thread
    Rig R([&](FakeFtpServer& S) {
      S.On("LIST", [&](FakeFtpSession& Session, const std::string&) {
        if (Lists++ == 0) {
          ListReceived.SetEvent();
          Release.WaitFor(8000);
        }
        Session.Send("150 Opening data connection\r\n");
        if (!Session.OpenData(2000)) {
          Session.Send("425 Cannot open data connection\r\n");
          return;
        }
        Session.SendData(Session.Server().Listing);
        Session.CloseData();
        Session.Send("226 Transfer complete\r\n");
      });
    });
    R.Client.Timeout = 10000;
    R.Client.PassiveMode = Passive;
    ASSERT_TRUE(R.LoginAndClear());
    std::thread Stopper([&] {
      ListReceived.WaitFor(10000);
      R.Client.Abort();
    });
    const auto Start = Clock::now();
    EXPECT_FALSE(R.Client.List(u"", false));
    const long long Took = MsSince(Start);
    Stopper.join();
    EXPECT_LT(Took, 2000);
    EXPECT_EQ(R.Client.ResultCode(), 0);
    EXPECT_EQ(R.Client.DSock()->Socket(), INVALID_SOCKET_HANDLE);
    // Not a transfer: aborts nothing, and is not kept for the next one.
    R.Client.Abort();
    Release.SetEvent();
    EXPECT_TRUE(R.Client.NoOp());
    EXPECT_EQ(R.Client.ResultString(), u"200 OK");
    EXPECT_TRUE(R.Client.List(u"", false));
    EXPECT_EQ(R.Client.FtpList()->Count(), 3);
    const auto Sent = R.Server.Commands();
    ASSERT_EQ(Sent.size(), 7u);
    EXPECT_EQ(Sent[2], "LIST");
    EXPECT_EQ(Sent[3], "NOOP");
    EXPECT_EQ(std::count(Sent.begin(), Sent.end(), "ABOR"), 0);
    // The replies the abort did not wait for were read, and shown, first.
    std::vector<String> Replies;
    for (const auto& [Response, Value] : R.Status) {
      if (Response) Replies.push_back(Value);
    }
    const auto Pending = std::find(Replies.begin(), Replies.end(), u"150 Opening data connection");
    ASSERT_NE(Pending, Replies.end());
    ASSERT_LT(Pending + 2, Replies.end());
    EXPECT_EQ(Pending[1], Passive ? u"226 Transfer complete" : u"425 Cannot open data connection");
    EXPECT_EQ(Pending[2], u"200 OK");
  }
}

// A reply owed after an abort that never comes: the next command gives up
// after Timeout and closes the control connection, which can no longer be
// kept in step.
TEST(FtpSendData, AnOwedReplyThatNeverComesDropsTheControlConnection) {
  TSimpleEvent ListReceived;
  TSimpleEvent Done;
  Rig R([&](FakeFtpServer& S) {
    S.On("LIST", [&](FakeFtpSession&, const std::string&) {
      ListReceived.SetEvent();
      Done.WaitFor(10000);
    });
  });
  R.Client.Timeout = 800;
  ASSERT_TRUE(R.LoginAndClear());
  std::thread Stopper([&] {
    ListReceived.WaitFor(10000);
    R.Client.Abort();
  });
  EXPECT_FALSE(R.Client.List(u"", false));
  Stopper.join();
  const auto Start = Clock::now();
  EXPECT_FALSE(R.Client.NoOp());
  EXPECT_LT(MsSince(Start), 5000);
  EXPECT_EQ(R.Client.ResultCode(), 0);
  EXPECT_EQ(R.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);
  Done.SetEvent();
  EXPECT_EQ(R.Server.Commands(), (std::vector<std::string>{"TYPE A", "PASV", "LIST"}));
}

// A server that floods the control connection between replies: the next
// command's Purge gives up, the connection is dropped and nothing is sent.
TEST(FtpSendCommands, AFloodBetweenRepliesDropsTheControlConnection) {
  Rig R;
  ASSERT_TRUE(R.LoginAndClear());
  {
    nettest::FloodingSocket Flood(R.Client.Sock()->Socket());
    EXPECT_EQ(R.Client.FTPCommand(u"NOOP"), 0);
  }
  EXPECT_EQ(R.Client.ResultString(), u"");
  EXPECT_EQ(R.Client.Sock()->Socket(), INVALID_SOCKET_HANDLE);
  EXPECT_EQ(R.Client.Sock()->LastError(), WirraErr::Flooded);
  EXPECT_LE(nettest::FloodingSocket::Received(), MaxPurgeBytes + 65536);
  EXPECT_TRUE(R.Status.empty());
  EXPECT_TRUE(R.Server.Commands().empty());
}

// ------------------------------------------------------------ hidden names

namespace {

const std::string kHiddenLine = "-rw-r--r--   1 ftp ftp        10 Mar  4  2021 .htaccess\r\n";

// The log's note that LIST -a was given up; empty when there is none.
String HiddenGivenUpNote(const std::vector<std::pair<bool, String>>& Status) {
  const auto Note = std::find_if(Status.begin(), Status.end(), [](const std::pair<bool, String>& S) {
    return S.first && S.second.rfind(u"LIST -a given up for this session", 0) == 0;
  });
  return Note == Status.end() ? String() : Note->second;
}

bool SaysHiddenGivenUp(const std::vector<std::pair<bool, String>>& Status) {
  return !HiddenGivenUpNote(Status).empty();
}

const std::vector<std::string> kProbe = {"TYPE A", "PASV", "LIST -a", "TYPE A", "PASV", "LIST"};
const std::vector<std::string> kPlain = {"TYPE A", "PASV", "LIST"};

}  // namespace

// "LIST -a" is given up for the session only when the server shows it did
// not understand the option; a failed data connection or another refusal
// is the first folder's own failure, and the next folder asks again (and
// here finds that LIST -a works). Giving up is said in the log.
TEST(FtpSendList, OnlyAnOptionTheServerDoesNotUnderstandEndsHiddenListing) {
  struct Case {
    const char* Name;
    std::string FirstReply;  // to the first LIST -a; empty: 150 then a cut data connection
    bool DeadPasv;           // the first PASV names a port nobody listens on
    bool Listed;             // the first folder's listing
    bool GivenUp;
  };
  const Case Cases[] = {
      {"500", "500 Unknown command option\r\n", false, true, true},
      {"501", "501 Syntax error in parameters\r\n", false, true, true},
      {"502", "502 Not implemented\r\n", false, true, true},
      {"504", "504 Not implemented for that parameter\r\n", false, true, true},
      {"550 naming -a", "550 -a: No such file or directory\r\n", false, true, true},
      {"450 naming '-a'", "450 File '-a' not found\r\n", false, true, true},
      {"550 about the folder", "550 Permission denied\r\n", false, true, false},
      {"550 naming -all", "550 -all.txt: No such file\r\n", false, true, false},
      {"425 refused data connection", "425 Cannot open data connection\r\n", false, true, false},
      {"426 after 150", "", false, false, false},
      {"data connection fails after 227", "", true, false, false},
  };
  // A port that refuses connections.
  TTCPBlockSocket Probe;
  Probe.Bind(u"127.0.0.1", u"0");
  const int DeadPort = Probe.GetLocalSinPort();
  Probe.CloseSocket();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    int HiddenLists = 0, Pasvs = 0;  // on the server's thread
    Rig R([&](FakeFtpServer& S) {
      S.On("PASV", [&](FakeFtpSession& Session, const std::string&) {
        const int Port = C.DeadPasv && Pasvs++ == 0 ? DeadPort : Session.ListenPassive();
        Session.Send(PasvReply(Port));
      });
      S.On("LIST", [&](FakeFtpSession& Session, const std::string& Arg) {
        if (Arg == "-a" && HiddenLists++ == 0 && !C.DeadPasv) {
          if (!C.FirstReply.empty()) {
            Session.Send(C.FirstReply);
            return;
          }
          Session.Send("150 Opening data connection\r\n");
          Session.OpenData();
          Session.CloseData(true);
          Session.Send("426 Connection closed; transfer aborted\r\n");
          return;
        }
        Session.Send("150 Opening data connection\r\n");
        if (!Session.OpenData()) return;
        Session.SendData(Session.Server().Listing + (Arg == "-a" ? kHiddenLine : std::string()));
        Session.CloseData();
        Session.Send("226 Transfer complete\r\n");
      });
    });
    R.Client.ListHidden = true;
    ASSERT_TRUE(R.LoginAndClear());
    EXPECT_EQ(R.Client.List(u"", false), C.Listed);
    EXPECT_EQ(R.Client.FtpList()->Count(), C.Listed ? 3 : 0);
    EXPECT_EQ(SaysHiddenGivenUp(R.Status), C.GivenUp);
    if (C.GivenUp) {
      const std::string Reply = C.FirstReply.substr(0, C.FirstReply.size() - 2);
      EXPECT_NE(HiddenGivenUpNote(R.Status).find(AsciiText("(" + Reply + ")")), String::npos);
    }

    R.Server.ClearCommands();
    R.Status.clear();
    EXPECT_TRUE(R.Client.List(u"", false));
    EXPECT_EQ(R.Server.Commands(), C.GivenUp ? kPlain : kProbe);
    EXPECT_EQ(R.Client.FtpList()->Count(), C.GivenUp ? 3 : 4);
    EXPECT_FALSE(SaysHiddenGivenUp(R.Status));
  }
}

// A server that refuses "LIST -a" without saying why, while LIST lists the
// same folders: after a few folders in a row the option is given up, so
// that the walk does not list every folder twice.
TEST(FtpSendList, HiddenListingRefusedFolderAfterFolderIsGivenUp) {
  Rig R([](FakeFtpServer& S) {
    S.On("LIST", [](FakeFtpSession& Session, const std::string& Arg) {
      if (Arg == "-a") {
        Session.Send("550 No such file or directory\r\n");
        return;
      }
      Session.Send("150 Opening data connection\r\n");
      if (!Session.OpenData()) return;
      Session.SendData(Session.Server().Listing);
      Session.CloseData();
      Session.Send("226 Transfer complete\r\n");
    });
  });
  R.Client.ListHidden = true;
  ASSERT_TRUE(R.LoginAndClear());
  for (Integer Folder = 1; Folder <= TFTPSend::MaxHiddenRefusals; ++Folder) {
    SCOPED_TRACE(Folder);
    R.Server.ClearCommands();
    EXPECT_TRUE(R.Client.List(u"", false));
    EXPECT_EQ(R.Client.FtpList()->Count(), 3);
    EXPECT_EQ(R.Server.Commands(), kProbe);
    EXPECT_EQ(SaysHiddenGivenUp(R.Status), Folder == TFTPSend::MaxHiddenRefusals);
  }
  // The log says why, with the server's own words.
  EXPECT_NE(HiddenGivenUpNote(R.Status).find(u"(550 No such file or directory)"), String::npos);
  R.Server.ClearCommands();
  EXPECT_TRUE(R.Client.List(u"", false));
  EXPECT_EQ(R.Server.Commands(), kPlain);
}
