// The FTP client's transfers beyond listings (local files, resuming, the
// upload commands) and its TLS sequence, against the scripted server. TLS
// runs through a plug-in that passes the bytes through unchanged: the
// client's side of the protocol is what is tested, not a cipher.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <chrono>
#include <algorithm>
#include <thread>
#include <mutex>
#include <string>
#include <vector>

#include "net/ftpsend.h"
#include "net/sockapi.h"
#include "rtl/SyncObjs.h"
#include "tests/net/FtpSendFakeServer.h"

using ftptest::FakeFtpServer;
using ftptest::FakeFtpSession;

namespace {

const std::string kPayload = std::string("payload\0with\r\nbytes\xFF", 20) + std::string(300, 'p');

// A local file of the test, removed afterwards.
class TempFile {
public:
  explicit TempFile(const std::string& Name) : FPath(std::filesystem::temp_directory_path() / ("quorvel_nr_" + Name)) {
    std::filesystem::remove(FPath);
  }
  ~TempFile() {
    std::error_code Ignored;
    std::filesystem::remove(FPath, Ignored);
  }
  String Name() const { return FPath.u16string(); }
  void Write(const std::string& Data) const {
    std::ofstream Out(FPath, std::ios::binary | std::ios::trunc);
    Out.write(Data.data(), static_cast<std::streamsize>(Data.size()));
  }
  std::string Read() const {
    std::ifstream In(FPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  bool Exists() const { return std::filesystem::exists(FPath); }

private:
  std::filesystem::path FPath;
};

struct Rig {
  FakeFtpServer Server;
  TFTPSend Client;

  explicit Rig(const std::function<void(FakeFtpServer&)>& Configure = {}, TSSLClass Tls = nullptr)
      : Client(Tls ? Tls : &SSLClassOf<TSSLNone>) {
    Server.Listing = kPayload;
    if (Configure) Configure(Server);
    Server.Start();
    Client.TargetHost = u"127.0.0.1";
    Client.TargetPort = Server.PortText();
    Client.Timeout = 3000;
    Client.UserName = u"user";
    Client.Password = u"pass";
  }
  bool LoginAndClear() {
    const bool Ok = Client.Login();
    Server.ClearCommands();
    return Ok;
  }
  // What the server saw since the last call, once it has answered
  // everything sent so far.
  std::vector<std::string> Sent() {
    Client.NoOp();
    auto All = Server.Commands();
    Server.ClearCommands();
    if (!All.empty() && All.back() == "NOOP") All.pop_back();
    return All;
  }
};

// REST 0 and REST 1 (the logon's probe) are accepted; other offsets as asked.
std::function<void(FakeFtpServer&)> RestAnswers(const std::string& OtherOffsets) {
  return [OtherOffsets](FakeFtpServer& S) {
    S.On("REST", [OtherOffsets](FakeFtpSession& Session, const std::string& Arg) {
      Session.Send(Arg == "0" || Arg == "1" ? "350 Restarting\r\n" : OtherOffsets);
    });
  };
}

}  // namespace

// ------------------------------------------------------------ downloads

TEST(FtpSendTransfer, DownloadsIntoALocalFile) {
  struct Case {
    const char* Name;
    bool Restore;
    bool Binary;
    std::string Before;  // empty: no file yet
    std::string RestReply;
    bool Ok;
    std::vector<std::string> Commands;
    std::string After;
  };
  const Case Cases[] = {
      {"new file", false, true, "", "350 Ok\r\n", true, {"PASV", "TYPE I", "RETR f.bin"}, kPayload},
      {"an existing file is replaced",
       false,
       true,
       "old content that is longer",
       "350 Ok\r\n",
       true,
       {"PASV", "TYPE I", "RETR f.bin"},
       kPayload},
      {"text mode", false, false, "", "350 Ok\r\n", true, {"PASV", "TYPE A", "RETR f.bin"}, kPayload},
      {"resuming appends after the local size",
       true,
       true,
       "abc",
       "350 Ok\r\n",
       true,
       {"PASV", "TYPE I", "REST 3", "RETR f.bin"},
       "abc" + kPayload},
      {"resuming without a local file starts at 0",
       true,
       true,
       "",
       "350 Ok\r\n",
       true,
       {"PASV", "TYPE I", "REST 0", "RETR f.bin"},
       kPayload},
      {"a refused REST fails before RETR", true, true, "abc", "501 No\r\n", false, {"PASV", "TYPE I", "REST 3"}, "abc"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TempFile File("download.bin");
    if (!C.Before.empty()) File.Write(C.Before);
    Rig R(RestAnswers(C.RestReply));
    ASSERT_TRUE(R.LoginAndClear());
    ASSERT_TRUE(R.Client.CanResume());
    R.Client.DirectFile = true;
    R.Client.DirectFileName = File.Name();
    R.Client.BinaryMode = C.Binary;
    EXPECT_EQ(R.Client.RetrieveFile(u"f.bin", C.Restore), C.Ok);
    EXPECT_EQ(R.Sent(), C.Commands);
    // The file is closed on every path: it can be read back at once.
    EXPECT_EQ(File.Read(), C.After);
    EXPECT_EQ(R.Client.DataStream()->Size(), 0);
  }
}

TEST(FtpSendTransfer, ResumingIntoDataStreamKeepsWhatItHolds) {
  Rig R;
  ASSERT_TRUE(R.LoginAndClear());
  R.Client.DataStream()->WriteBuffer("head", 4);
  ASSERT_TRUE(R.Client.RetrieveFile(u"f.bin", true));
  EXPECT_EQ(R.Sent(), (std::vector<std::string>{"PASV", "TYPE I", "REST 4", "RETR f.bin"}));
  TMemoryStream* Data = R.Client.DataStream();
  EXPECT_EQ(Data->Position(), 0);
  ASSERT_EQ(Data->Size(), static_cast<Int64>(4 + kPayload.size()));
  EXPECT_EQ(std::string(static_cast<const char*>(Data->Memory()), 4 + kPayload.size()), "head" + kPayload);
}

// ------------------------------------------------------------ uploads

TEST(FtpSendTransfer, UploadCommands) {
  struct Case {
    const char* Name;
    std::function<bool(TFTPSend&)> Call;
    std::string Source;
    bool Ok;
    std::vector<std::string> Commands;
    std::string Received;
  };
  const std::string Size = std::to_string(kPayload.size());
  const Case Cases[] = {
      {"append",
       [](TFTPSend& C) { return C.AppendFile(u"log.txt"); },
       kPayload,
       true,
       {"PASV", "TYPE I", "ALLO " + Size, "REST 0", "APPE log.txt"},
       kPayload},
      {"unique",
       [](TFTPSend& C) { return C.StoreUniqueFile(); },
       kPayload,
       true,
       {"PASV", "TYPE I", "ALLO " + Size, "REST 0", "STOU"},
       kPayload},
      {"empty source still sends the command",
       [](TFTPSend& C) { return C.StoreFile(u"empty", false); },
       "",
       true,
       {"PASV", "TYPE I", "ALLO 0", "REST 0", "STOR empty"},
       ""},
      {"resume sends what the server lacks",
       [](TFTPSend& C) { return C.StoreFile(u"part", true); },
       kPayload,
       true,
       {"SIZE part", "PASV", "TYPE I", "ALLO " + std::to_string(kPayload.size() - 100), "REST 100", "STOR part"},
       kPayload.substr(100)},
      {"empty names send nothing",
       [](TFTPSend& C) { return C.StoreFile(u"", false) || C.AppendFile(u"") || C.RetrieveFile(u"", false); },
       kPayload,
       false,
       {},
       "untouched"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([](FakeFtpServer& S) { S.Reply("SIZE", "213 100\r\n"); });
    ASSERT_TRUE(R.LoginAndClear());
    R.Server.SetReceived("untouched");
    R.Client.DataStream()->WriteBuffer(C.Source.data(), static_cast<Int64>(C.Source.size()));
    EXPECT_EQ(C.Call(R.Client), C.Ok);
    EXPECT_EQ(R.Sent(), C.Commands);
    EXPECT_EQ(R.Server.Received(), C.Received);
  }
}

TEST(FtpSendTransfer, UploadsFromALocalFile) {
  TempFile File("upload.bin");
  Rig R;
  ASSERT_TRUE(R.LoginAndClear());
  R.Client.DirectFile = true;
  R.Client.DirectFileName = File.Name();

  // No such file: nothing at all is sent.
  EXPECT_FALSE(R.Client.StoreFile(u"up.bin", false));
  EXPECT_TRUE(R.Sent().empty());

  File.Write(kPayload);
  R.Client.BinaryMode = false;
  EXPECT_TRUE(R.Client.StoreFile(u"up.bin", false));
  EXPECT_EQ(R.Server.Received(), kPayload);
  EXPECT_EQ(R.Sent(), (std::vector<std::string>{"PASV", "TYPE A", "ALLO " + std::to_string(kPayload.size()), "REST 0",
                                                "STOR up.bin"}));
  // Closed again: the file can be replaced.
  File.Write("x");
  EXPECT_EQ(File.Read(), "x");
}

// ------------------------------------------------------------ TLS

namespace {

// Every TLS plug-in's life cycle, with the bytes left as they are.
class TPassThroughSSL : public TCustomSSL {
public:
  using TCustomSSL::TCustomSSL;
  String LibName() override { return u"pass_through"; }
  bool Connect() override {
    FSSLEnabled = true;
    ++Connects;
    return true;
  }
  bool Shutdown() override {
    FSSLEnabled = false;
    return true;
  }
  bool BiShutdown() override { return Shutdown(); }
  Integer SendBuffer(const void* Buffer, Integer Len) override { return ::Send(FSocket->Socket(), Buffer, Len, 0); }
  Integer RecvBuffer(void* Buffer, Integer Len) override { return ::Recv(FSocket->Socket(), Buffer, Len, 0); }
  Integer WaitingData() override { return 0; }

  static inline int Connects = 0;
};

// Notes which threads write through it.
class TThreadNotingSSL : public TPassThroughSSL {
public:
  using TPassThroughSSL::TPassThroughSSL;
  Integer SendBuffer(const void* Buffer, Integer Len) override {
    {
      std::lock_guard<std::mutex> Guard(Lock);
      Writers.push_back(std::this_thread::get_id());
    }
    return TPassThroughSSL::SendBuffer(Buffer, Len);
  }
  static inline std::mutex Lock;
  static inline std::vector<std::thread::id> Writers;
};

// A session that ended: every read finds nothing, without an error.
class TEndedSSL : public TPassThroughSSL {
public:
  using TPassThroughSSL::TPassThroughSSL;
  Integer RecvBuffer(void*, Integer) override { return 0; }
  Integer WaitingData() override { return 1; }
};

}  // namespace

TEST(FtpSendTls, LogonSequenceAndDataProtection) {
  struct Case {
    const char* Name;
    bool AutoTLS;
    bool FullSSL;
    bool TLSonData;
    std::map<std::string, std::string> Replies;
    bool IsTLS;
    bool IsDataTLS;
    std::vector<std::string> Commands;  // up to "TYPE I"
  };
  const Case Cases[] = {
      {"AUTH TLS, protected data",
       true,
       false,
       true,
       {},
       true,
       true,
       {"AUTH TLS", "USER user", "PASS pass", "PBSZ 0", "PROT P", "FEAT", "OPTS UTF8 ON", "TYPE I"}},
      {"PROT P refused falls back to PROT C",
       true,
       false,
       true,
       {{"PROT", "536 Not that level\r\n"}},
       true,
       false,
       {"AUTH TLS", "USER user", "PASS pass", "PBSZ 0", "PROT P", "PROT C", "FEAT", "OPTS UTF8 ON", "TYPE I"}},
      {"clear data asked for",
       true,
       false,
       false,
       {},
       true,
       false,
       {"AUTH TLS", "USER user", "PASS pass", "PBSZ 0", "PROT C", "FEAT", "OPTS UTF8 ON", "TYPE I"}},
      {"AUTH TLS refused: the logon goes on in clear",
       true,
       false,
       true,
       {{"AUTH", "502 No TLS here\r\n"}},
       false,
       false,
       {"AUTH TLS", "USER user", "PASS pass", "FEAT", "OPTS UTF8 ON", "TYPE I"}},
      {"implicit TLS sends no AUTH",
       false,
       true,
       true,
       {},
       true,
       true,
       {"USER user", "PASS pass", "PBSZ 0", "PROT P", "FEAT", "OPTS UTF8 ON", "TYPE I"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R(
        [&](FakeFtpServer& S) {
          S.Reply("AUTH", "234 Go ahead\r\n");
          S.Reply("PBSZ", "200 PBSZ=0\r\n");
          S.Reply("PROT", "200 Protection set\r\n");
          for (const auto& [Verb, Raw] : C.Replies) S.Reply(Verb, Raw);
        },
        &SSLClassOf<TPassThroughSSL>);
    R.Client.AutoTLS = C.AutoTLS;
    R.Client.FullSSL = C.FullSSL;
    R.Client.TLSonData = C.TLSonData;
    R.Client.Sock()->SSL()->SNIHost = u"ftp.example.com";
    ASSERT_TRUE(R.Client.Login());
    EXPECT_EQ(R.Client.IsTLS(), C.IsTLS);
    EXPECT_EQ(R.Client.IsDataTLS(), C.IsDataTLS);
    EXPECT_EQ(R.Client.Sock()->SSL()->SSLEnabled(), C.IsTLS);
    const auto All = R.Server.Commands();
    ASSERT_GE(All.size(), C.Commands.size());
    EXPECT_EQ(std::vector<std::string>(All.begin(), All.begin() + static_cast<std::ptrdiff_t>(C.Commands.size())),
              C.Commands);

    // Protected data connections are passive whatever was asked for, and
    // take the control connection's TLS settings.
    R.Server.ClearCommands();
    R.Client.PassiveMode = false;
    const int ConnectsBefore = TPassThroughSSL::Connects;
    ASSERT_TRUE(R.Client.RetrieveFile(u"f.bin", false));
    EXPECT_EQ(R.Client.PassiveMode, C.IsDataTLS);
    const auto Sent = R.Sent();
    ASSERT_FALSE(Sent.empty());
    EXPECT_EQ(Sent[0].substr(0, 4), C.IsDataTLS ? "PASV" : "PORT");
    EXPECT_EQ(TPassThroughSSL::Connects - ConnectsBefore, C.IsDataTLS ? 1 : 0);
    EXPECT_EQ(R.Client.DSock()->SSL()->SNIHost, C.IsDataTLS ? u"ftp.example.com" : u"");
    EXPECT_FALSE(R.Client.DSock()->SSL()->SSLEnabled());
    EXPECT_EQ(R.Client.DataStream()->Size(), static_cast<Int64>(kPayload.size()));
  }
}

// An abort from another thread over TLS: the TLS session of the control
// connection is written by the downloading thread only.
TEST(FtpSendTls, AbortFromAnotherThreadNeverWritesTheControlConnection) {
  Rig R(
      [](FakeFtpServer& S) {
        S.Reply("AUTH", "234 Go ahead\r\n");
        S.Reply("PBSZ", "200 PBSZ=0\r\n");
        S.Reply("PROT", "536 Clear data only\r\n");
        S.On("RETR", [](FakeFtpSession& Session, const std::string&) {
          Session.Send("150 Sending slowly\r\n");
          if (!Session.OpenData()) return;
          for (int i = 0; i < 1500 && !Session.Server().StopRequested() && Session.SendData(std::string(512, 'd'));
               ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
          }
          Session.CloseData();
          Session.Send("426 Transfer aborted\r\n");
        });
      },
      &SSLClassOf<TThreadNotingSSL>);
  R.Client.AutoTLS = true;
  R.Client.Timeout = 10000;
  ASSERT_TRUE(R.LoginAndClear());
  ASSERT_TRUE(R.Client.IsTLS());
  TSimpleEvent DataArrived;
  R.Client.DSock()->OnStatus = [&](TObject*, THookSocketReason Reason, const String&) {
    if (Reason == HR_ReadCount) DataArrived.SetEvent();
  };
  {
    std::lock_guard<std::mutex> Guard(TThreadNotingSSL::Lock);
    TThreadNotingSSL::Writers.clear();
  }
  std::thread Stopper([&] {
    DataArrived.WaitFor(10000);
    R.Client.Abort();
  });
  EXPECT_FALSE(R.Client.RetrieveFile(u"f.bin", false));
  Stopper.join();
  EXPECT_TRUE(R.Client.NoOp());
  const auto Commands = R.Server.Commands();
  EXPECT_NE(std::find(Commands.begin(), Commands.end(), "ABOR"), Commands.end());
  std::lock_guard<std::mutex> Guard(TThreadNotingSSL::Lock);
  ASSERT_FALSE(TThreadNotingSSL::Writers.empty());
  for (const std::thread::id& Id : TThreadNotingSSL::Writers) EXPECT_EQ(Id, std::this_thread::get_id());
}

TEST(FtpSendTls, WithoutATlsPlugInTheTlsOptionsFailTheLogon) {
  struct Case {
    const char* Name;
    bool AutoTLS;
    bool FullSSL;
    std::vector<std::string> Commands;
  };
  const Case Cases[] = {{"AUTH TLS accepted", true, false, {"AUTH TLS"}}, {"implicit TLS", false, true, {}}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Rig R([](FakeFtpServer& S) { S.Reply("AUTH", "234 Go ahead\r\n"); });
    R.Client.AutoTLS = C.AutoTLS;
    R.Client.FullSSL = C.FullSSL;
    EXPECT_FALSE(R.Client.Login());
    EXPECT_EQ(R.Client.Sock()->LastError(), WirraErr::ProxyRefused);
    EXPECT_EQ(R.Client.Sock()->LastErrorDesc(), u"SSL/TLS support is not compiled!");
    R.Client.Sock()->CloseSocket();
    EXPECT_EQ(R.Server.Commands(), C.Commands);
  }
}

TEST(FtpSendTls, AnEndedTlsSessionReadsAsAClosedConnection) {
  FakeFtpServer Server;
  Server.Start();
  TTCPBlockSocket Socket(&SSLClassOf<TEndedSSL>);
  Socket.Connect(u"127.0.0.1", Server.PortText());
  ASSERT_EQ(Socket.LastError(), 0);
  Socket.SSLDoConnect();
  ASSERT_TRUE(Socket.SSL()->SSLEnabled());
  EXPECT_EQ(Socket.RecvPacket(500), "");
  ASSERT_EQ(Socket.LastError(), WirraErr::PeerClosed);
  // So a line read ends instead of spinning on empty reads.
  EXPECT_EQ(Socket.RecvString(500), "");
  EXPECT_EQ(Socket.LastError(), WirraErr::PeerClosed);
}
