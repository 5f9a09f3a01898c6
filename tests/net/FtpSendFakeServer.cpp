#include "tests/net/FtpSendFakeServer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
namespace {
using Sock = SOCKET;
constexpr Sock kNone = INVALID_SOCKET;
void CloseSock(Sock s) { closesocket(s); }
constexpr int kSendFlags = 0;
void EnsureStarted() {
  static const bool Started = [] {
    WSADATA Data;
    return WSAStartup(MAKEWORD(2, 2), &Data) == 0;
  }();
  (void)Started;
}
}  // namespace
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
namespace {
using Sock = int;
constexpr Sock kNone = -1;
void CloseSock(Sock s) { close(s); }
constexpr int kSendFlags = MSG_NOSIGNAL;
void EnsureStarted() {}
}  // namespace
#endif

namespace ftptest {
namespace {

Sock S(std::intptr_t h) { return static_cast<Sock>(h); }
std::intptr_t H(Sock s) { return s == kNone ? -1 : static_cast<std::intptr_t>(s); }

bool WaitReadable(std::intptr_t h, int TimeoutMs) {
  if (h == -1) return false;
  fd_set Set;
  FD_ZERO(&Set);
  FD_SET(S(h), &Set);
  timeval Tv{TimeoutMs / 1000, (TimeoutMs % 1000) * 1000};
  return select(static_cast<int>(S(h)) + 1, &Set, nullptr, nullptr, &Tv) > 0;
}

void CloseIfOpen(std::intptr_t& h) {
  if (h != -1) CloseSock(S(h));
  h = -1;
}

// Host is a numeric IPv4 or IPv6 address.
bool MakeAddress(const std::string& Host, int Port, sockaddr_storage& A, socklen_t& Len) {
  std::memset(&A, 0, sizeof(A));
  if (Host.find(':') != std::string::npos) {
    auto* A6 = reinterpret_cast<sockaddr_in6*>(&A);
    A6->sin6_family = AF_INET6;
    A6->sin6_port = htons(static_cast<unsigned short>(Port));
    Len = sizeof(sockaddr_in6);
    return inet_pton(AF_INET6, Host.c_str(), &A6->sin6_addr) == 1;
  }
  auto* A4 = reinterpret_cast<sockaddr_in*>(&A);
  A4->sin_family = AF_INET;
  A4->sin_port = htons(static_cast<unsigned short>(Port));
  Len = sizeof(sockaddr_in);
  return inet_pton(AF_INET, Host.c_str(), &A4->sin_addr) == 1;
}

// A listening socket on the loopback address; Port receives the port chosen.
std::intptr_t ListenLoopback(bool IPv6, int& Port) {
  EnsureStarted();
  sockaddr_storage A;
  socklen_t Len;
  MakeAddress(IPv6 ? "::1" : "127.0.0.1", 0, A, Len);
  Sock s = socket(A.ss_family, SOCK_STREAM, IPPROTO_TCP);
  if (s == kNone) return -1;
  if (bind(s, reinterpret_cast<sockaddr*>(&A), Len) != 0 || listen(s, 4) != 0) {
    CloseSock(s);
    return -1;
  }
  getsockname(s, reinterpret_cast<sockaddr*>(&A), &Len);
  Port = ntohs(IPv6 ? reinterpret_cast<sockaddr_in6*>(&A)->sin6_port : reinterpret_cast<sockaddr_in*>(&A)->sin_port);
  return H(s);
}

bool SendAll(std::intptr_t h, const std::string& Data) {
  if (h == -1) return false;
  std::size_t Done = 0;
  while (Done < Data.size()) {
    const int n = send(S(h), Data.data() + Done, static_cast<int>(Data.size() - Done), kSendFlags);
    if (n <= 0) return false;
    Done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

// "h1,h2,h3,h4,p1,p2" of a PORT command.
bool ParsePort(const std::string& Arg, std::string& Host, int& Port) {
  int v[6];
  if (std::sscanf(Arg.c_str(), "%d,%d,%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 6) return false;
  Host = std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
  Port = v[4] * 256 + v[5];
  return true;
}

}  // namespace

// ------------------------------------------------------------ blackhole

Blackhole::Blackhole() {
  EnsureStarted();
  sockaddr_storage A;
  socklen_t Len;
  MakeAddress("127.0.0.1", 0, A, Len);
  Sock s = socket(A.ss_family, SOCK_STREAM, IPPROTO_TCP);
  if (s == kNone) return;
  if (bind(s, reinterpret_cast<sockaddr*>(&A), Len) != 0 || listen(s, 0) != 0) {
    CloseSock(s);
    return;
  }
  getsockname(s, reinterpret_cast<sockaddr*>(&A), &Len);
  FPort = ntohs(reinterpret_cast<sockaddr_in*>(&A)->sin_port);
  FListener = H(s);
  // The first connection fills the queue; the others wait behind it, so
  // that the queue stays full whatever the system's margin.
  for (int i = 0; i < 3; ++i) {
    Sock c = socket(A.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (c == kNone) continue;
#ifdef _WIN32
    u_long On = 1;
    ioctlsocket(c, FIONBIO, &On);
#else
    fcntl(c, F_SETFL, fcntl(c, F_GETFL, 0) | O_NONBLOCK);
#endif
    connect(c, reinterpret_cast<sockaddr*>(&A), Len);
    FFillers.push_back(H(c));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

Blackhole::~Blackhole() {
  for (std::intptr_t& c : FFillers) CloseIfOpen(c);
  CloseIfOpen(FListener);
}

// ------------------------------------------------------------ session

FakeFtpSession::~FakeFtpSession() {
  CloseIfOpen(FControl);
  CloseIfOpen(FPassive);
  CloseIfOpen(FData);
}

bool FakeFtpSession::Send(const std::string& Raw) { return SendAll(FControl, Raw); }

void FakeFtpSession::CloseControl() { CloseIfOpen(FControl); }

bool FakeFtpSession::ControlOpen() const { return FControl != -1; }

int FakeFtpSession::ListenPassive() {
  CloseIfOpen(FPassive);
  int Port = 0;
  FPassive = ListenLoopback(FServer.IPv6(), Port);
  FActivePort = 0;
  return Port;
}

void FakeFtpSession::SetActiveTarget(const std::string& Host, int Port) {
  CloseIfOpen(FPassive);
  FActiveHost = Host;
  FActivePort = Port;
}

bool FakeFtpSession::OpenData(int TimeoutMs) {
  CloseIfOpen(FData);
  if (FPassive != -1) {
    const bool Ready = WaitReadable(FPassive, TimeoutMs);
    if (Ready) FData = H(accept(S(FPassive), nullptr, nullptr));
    CloseIfOpen(FPassive);
    return FData != -1;
  }
  if (FActivePort == 0) return false;
  sockaddr_storage A;
  socklen_t Len;
  if (!MakeAddress(FActiveHost, FActivePort, A, Len)) return false;
  Sock s = socket(A.ss_family, SOCK_STREAM, IPPROTO_TCP);
  if (s == kNone) return false;
  if (connect(s, reinterpret_cast<sockaddr*>(&A), Len) != 0) {
    CloseSock(s);
    return false;
  }
  FData = H(s);
  return true;
}

bool FakeFtpSession::SendData(const std::string& Data) { return SendAll(FData, Data); }

std::string FakeFtpSession::ReceiveData(int TimeoutMs) {
  std::string Result;
  char Buffer[4096];
  while (WaitReadable(FData, TimeoutMs)) {
    const int n = recv(S(FData), Buffer, sizeof(Buffer), 0);
    if (n <= 0) break;
    Result.append(Buffer, static_cast<std::size_t>(n));
  }
  return Result;
}

void FakeFtpSession::CloseData(bool Reset) {
  if (Reset && FData != -1) {
    linger L{};
    L.l_onoff = 1;
    L.l_linger = 0;
    setsockopt(S(FData), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&L), sizeof(L));
  }
  CloseIfOpen(FData);
}

// ------------------------------------------------------------ server

FakeFtpServer::FakeFtpServer(bool IPv6) : FIPv6(IPv6) {
  FListener = ListenLoopback(IPv6, FPort);
  InstallDefaults();
}

FakeFtpServer::~FakeFtpServer() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
  CloseIfOpen(FListener);
}

String FakeFtpServer::PortText() const {
  const std::string s = std::to_string(FPort);
  return String(s.begin(), s.end());
}

void FakeFtpServer::On(const std::string& Verb, FakeHandler Handler) { FHandlers[Verb] = std::move(Handler); }

void FakeFtpServer::Reply(const std::string& Verb, const std::string& Raw) {
  On(Verb, [Raw](FakeFtpSession& Session, const std::string&) { Session.Send(Raw); });
}

void FakeFtpServer::Start() {
  if (Ok()) FThread = std::thread([this] { Run(); });
}

std::vector<std::string> FakeFtpServer::Commands() const {
  std::lock_guard<std::mutex> Guard(FLock);
  return FCommands;
}

void FakeFtpServer::ClearCommands() {
  std::lock_guard<std::mutex> Guard(FLock);
  FCommands.clear();
}

std::string FakeFtpServer::Received() const {
  std::lock_guard<std::mutex> Guard(FLock);
  return FReceived;
}

void FakeFtpServer::SetReceived(const std::string& Data) {
  std::lock_guard<std::mutex> Guard(FLock);
  FReceived = Data;
}

void FakeFtpServer::InstallDefaults() {
  Reply("USER", "331 Password required\r\n");
  Reply("PASS", "230 Logged in\r\n");
  Reply("ACCT", "230 Account ok\r\n");
  for (const char* Verb : {"TYPE", "STRU", "MODE", "ALLO", "NOOP", "SITE"}) Reply(Verb, "200 OK\r\n");
  Reply("REST", "350 Restarting\r\n");
  for (const char* Verb : {"CWD", "CDUP", "DELE", "RMD", "RNTO"}) Reply(Verb, "250 OK\r\n");
  Reply("RNFR", "350 Ready for RNTO\r\n");
  Reply("MKD", "257 \"/new\" created\r\n");
  Reply("PWD", "257 \"/pub\" is the current directory\r\n");
  Reply("SIZE", "213 1234\r\n");
  Reply("ABOR", "226 ABOR ok\r\n");
  On("QUIT", [](FakeFtpSession& Session, const std::string&) {
    Session.Send("221 Bye\r\n");
    Session.CloseControl();
  });
  On("PASV", [](FakeFtpSession& Session, const std::string&) {
    const int Port = Session.ListenPassive();
    Session.Send("227 Entering Passive Mode (" + Session.Server().PasvHost + "," + std::to_string(Port / 256) + "," +
                 std::to_string(Port % 256) + ").\r\n");
  });
  On("EPSV", [](FakeFtpSession& Session, const std::string&) {
    const int Port = Session.ListenPassive();
    Session.Send("229 Entering Extended Passive Mode (|||" + std::to_string(Port) + "|)\r\n");
  });
  On("PORT", [](FakeFtpSession& Session, const std::string& Arg) {
    std::string Host;
    int Port = 0;
    if (!ParsePort(Arg, Host, Port)) {
      Session.Send("501 Bad PORT\r\n");
      return;
    }
    Session.SetActiveTarget(Host, Port);
    Session.Send("200 PORT ok\r\n");
  });
  On("EPRT", [](FakeFtpSession& Session, const std::string& Arg) {
    // |family|address|port|
    const char D = Arg.empty() ? '|' : Arg[0];
    std::vector<std::string> Parts;
    std::size_t From = 1;
    for (std::size_t At; (At = Arg.find(D, From)) != std::string::npos; From = At + 1) {
      Parts.push_back(Arg.substr(From, At - From));
    }
    if (Parts.size() != 3) {
      Session.Send("501 Bad EPRT\r\n");
      return;
    }
    Session.SetActiveTarget(Parts[1], std::atoi(Parts[2].c_str()));
    Session.Send("200 EPRT ok\r\n");
  });
  auto SendListing = [](FakeFtpSession& Session, const std::string&) {
    Session.Send("150 Opening data connection\r\n");
    if (!Session.OpenData()) {
      Session.Send("425 Cannot open data connection\r\n");
      return;
    }
    Session.SendData(Session.Server().Listing);
    Session.CloseData();
    Session.Send("226 Transfer complete\r\n");
  };
  for (const char* Verb : {"LIST", "NLST", "RETR"}) On(Verb, SendListing);
  auto Store = [](FakeFtpSession& Session, const std::string&) {
    Session.Send("150 Ready to receive\r\n");
    if (!Session.OpenData()) {
      Session.Send("425 Cannot open data connection\r\n");
      return;
    }
    Session.Server().SetReceived(Session.ReceiveData());
    Session.CloseData();
    Session.Send("226 Transfer complete\r\n");
  };
  for (const char* Verb : {"STOR", "APPE", "STOU"}) On(Verb, Store);
}

void FakeFtpServer::Run() {
  while (!FStop) {
    if (!WaitReadable(FListener, 50)) continue;
    const Sock Control = accept(S(FListener), nullptr, nullptr);
    if (Control == kNone) continue;
    Serve(H(Control));
  }
}

void FakeFtpServer::Serve(std::intptr_t Control) {
  FakeFtpSession Session(*this);
  Session.FControl = Control;
  Session.Send(Greeting);
  std::string Pending;
  char Buffer[4096];
  while (!FStop && Session.ControlOpen()) {
    if (!WaitReadable(Session.FControl, 50)) continue;
    const int n = recv(S(Session.FControl), Buffer, sizeof(Buffer), 0);
    if (n <= 0) break;
    Pending.append(Buffer, static_cast<std::size_t>(n));
    std::size_t End;
    while (Session.ControlOpen() && (End = Pending.find("\r\n")) != std::string::npos) {
      const std::string Line = Pending.substr(0, End);
      Pending.erase(0, End + 2);
      Dispatch(Session, Line);
    }
  }
  Session.CloseControl();
}

void FakeFtpServer::Dispatch(FakeFtpSession& Session, const std::string& Line) {
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FCommands.push_back(Line);
  }
  // Telnet signals (IAC and the byte after it) may precede a command.
  std::string Text = Line;
  while (Text.size() >= 2 && static_cast<unsigned char>(Text[0]) == 0xFF) Text.erase(0, 2);
  const std::size_t Blank = Text.find(' ');
  const std::string Verb = Upper(Text.substr(0, Blank));
  const std::string Arg = Blank == std::string::npos ? std::string() : Text.substr(Blank + 1);
  const auto It = FHandlers.find(Verb);
  if (It != FHandlers.end()) {
    It->second(Session, Arg);
  } else {
    Session.Send("502 Command not implemented\r\n");
  }
}

}  // namespace ftptest
