#pragma once
// A one-connection TCP server on a loopback address for socket tests: it
// accepts one client (waiting at most 10 s), runs a script on the accepted
// connection in its own thread, then closes it. Built on the socket classes
// under test, so every test also exercises Bind, Listen, Accept and SetSocket.
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "net/blcksock.h"

namespace nettest {

// ASCII bytes as our text.
inline String AsciiText(const std::string& s) { return String(s.begin(), s.end()); }

class LoopbackServer {
public:
  using Script = std::function<void(TTCPBlockSocket& Conn)>;

  explicit LoopbackServer(Script script, const String& host = u"127.0.0.1") : FScript(std::move(script)) {
    FListener.Bind(host, u"0");
    if (FListener.LastError() == 0) FListener.Listen();
    FOk = FListener.LastError() == 0;
    FError = FListener.LastError();
    FPort = FListener.GetLocalSinPort();
    if (FOk) FThread = std::thread([this] { Run(); });
  }
  ~LoopbackServer() { Join(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  bool Ok() const { return FOk; }
  // The listener's error when it could not be set up.
  Integer Error() const { return FError; }
  String Port() const { return AsciiText(std::to_string(FPort)); }
  Integer PortNumber() const { return FPort; }
  void Join() {
    if (FThread.joinable()) FThread.join();
  }
  // Set when the script ran (a client connected in time).
  bool Served() const { return FServed.load(); }

private:
  void Run() {
    if (!FListener.CanRead(10000)) return;
    const TSocket h = FListener.Accept();
    if (h == INVALID_SOCKET_HANDLE) return;
    TTCPBlockSocket conn;
    conn.SetSocket(h);
    FServed = true;
    try {
      FScript(conn);
    } catch (...) {
      // A script that fails leaves its check to the test, which sees what the client got.
    }
    conn.AbortSocket();
    FListener.AbortSocket();
  }

  Script FScript;
  TTCPBlockSocket FListener;
  std::thread FThread;
  bool FOk = false;
  Integer FPort = 0;
  Integer FError = 0;
  std::atomic<bool> FServed{false};
};

// Reads exactly n bytes (or what came before an error) on the server side.
inline AnsiString ReadExactly(TBlockSocket& s, Integer n, Integer timeout = 5000) {
  return s.RecvBufferStr(n, timeout);
}

}  // namespace nettest
