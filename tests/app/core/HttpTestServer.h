#pragma once
// A scripted HTTP server on 127.0.0.1 for the update-check tests: it serves
// one connection at a time on its own thread, reads the request head, records
// the request target and hands the connection to the test's script, then
// closes it. Scripts that wait use Pause, which ends early when the server is
// being destroyed.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/blcksock.h"
#include "rtl/Threads.h"

namespace majtest {

class THttpTestServer {
public:
  using Script = std::function<void(TTCPBlockSocket& Conn, const std::string& Target, const THttpTestServer& Server)>;

  explicit THttpTestServer(Script script) : FScript(std::move(script)) {
    FListener.Bind(u"127.0.0.1", u"0");
    if (FListener.LastError() == 0) FListener.Listen();
    FOk = FListener.LastError() == 0;
    FPort = FListener.GetLocalSinPort();
    if (FOk) FThread = std::thread([this] { Run(); });
  }
  ~THttpTestServer() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
  }
  THttpTestServer(const THttpTestServer&) = delete;
  THttpTestServer& operator=(const THttpTestServer&) = delete;

  bool Ok() const { return FOk; }
  Integer Port() const { return FPort; }
  String Url(const std::string& target) const {
    const std::string s = "http://127.0.0.1:" + std::to_string(FPort) + target;
    return String(s.begin(), s.end());
  }
  std::vector<std::string> Targets() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FTargets;
  }
  // Sleeps Ms in short slices; false when the server is stopping.
  bool Pause(int Ms) const {
    for (int waited = 0; waited < Ms; waited += 10) {
      if (FStop) return false;
      TThread::Sleep(10);
    }
    return !FStop;
  }
  bool Stopping() const { return FStop; }

  // A complete reply with a Content-Length.
  static AnsiString Reply(int Status, const std::string& Body, const std::string& Reason = "X") {
    return "HTTP/1.1 " + std::to_string(Status) + " " + Reason +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(Body.size()) +
           "\r\nConnection: close\r\n\r\n" + Body;
  }
  // The head of a reply whose body ends when the connection closes.
  static AnsiString OpenHead(int Status = 200) {
    return "HTTP/1.1 " + std::to_string(Status) + " X\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n";
  }

private:
  void Run() {
    while (!FStop) {
      if (!FListener.CanRead(50)) continue;
      const TSocket h = FListener.Accept();
      if (h == INVALID_SOCKET_HANDLE) continue;
      TTCPBlockSocket conn;
      conn.SetSocket(h);
      const AnsiString head = conn.RecvTerminated(5000, "\r\n\r\n");
      const std::size_t a = head.find(' ');
      const std::size_t b = a == AnsiString::npos ? a : head.find(' ', a + 1);
      const std::string target = b == AnsiString::npos ? std::string() : head.substr(a + 1, b - a - 1);
      {
        std::lock_guard<std::mutex> lock(FLock);
        FTargets.push_back(target);
      }
      try {
        FScript(conn, target, *this);
      } catch (...) {
        // A script that fails leaves its check to the test, which sees what the client got.
      }
      conn.CloseSocket();
    }
    FListener.CloseSocket();
  }

  Script FScript;
  TTCPBlockSocket FListener;
  std::thread FThread;
  std::atomic<bool> FStop{false};
  bool FOk = false;
  Integer FPort = 0;
  mutable std::mutex FLock;
  std::vector<std::string> FTargets;
};

// A port on 127.0.0.1 where nobody listens (it was bound, then freed).
inline Integer FreeLoopbackPort() {
  TTCPBlockSocket s;
  s.Bind(u"127.0.0.1", u"0");
  const Integer port = s.GetLocalSinPort();
  s.CloseSocket();
  return port;
}

}  // namespace majtest
