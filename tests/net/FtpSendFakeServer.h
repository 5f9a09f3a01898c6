#pragma once
// A scripted FTP server on 127.0.0.1 for client tests. It runs in its own
// thread on plain operating-system sockets (not the socket classes under
// test), serves one control connection at a time, records every command
// line, and answers each command through a handler chosen by its verb. The
// defaults behave like a friendly server; a test replaces the handlers it
// needs before Start(). Every wait is bounded, so a broken client fails a
// test instead of hanging it.
//
// This header includes no platform header (the Win32 ones would turn
// TFTPSend::DeleteFile into DeleteFileW).
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rtl/Types.h"

namespace ftptest {

class FakeFtpServer;

// What a handler may do with the connection it serves.
class FakeFtpSession {
public:
  explicit FakeFtpSession(FakeFtpServer& Server) : FServer(Server) {}
  ~FakeFtpSession();
  FakeFtpSession(const FakeFtpSession&) = delete;
  FakeFtpSession& operator=(const FakeFtpSession&) = delete;

  FakeFtpServer& Server() { return FServer; }
  // Raw bytes on the control connection (give the line ends yourself);
  // false once the client is gone.
  bool Send(const std::string& Raw);
  void CloseControl();
  bool ControlOpen() const;

  // Passive: listens on 127.0.0.1 and answers the port.
  int ListenPassive();
  // Active: where OpenData connects.
  void SetActiveTarget(const std::string& Host, int Port);
  // Completes the data connection (accept or connect) within TimeoutMs.
  bool OpenData(int TimeoutMs = 5000);
  bool SendData(const std::string& Data);
  // Everything until the client closes (at most TimeoutMs of silence).
  std::string ReceiveData(int TimeoutMs = 5000);
  // Reset: drop the connection with a TCP reset instead of a normal close.
  void CloseData(bool Reset = false);

private:
  friend class FakeFtpServer;
  FakeFtpServer& FServer;
  std::intptr_t FControl = -1;
  std::intptr_t FPassive = -1;
  std::intptr_t FData = -1;
  std::string FActiveHost;
  int FActivePort = 0;
};

using FakeHandler = std::function<void(FakeFtpSession& Session, const std::string& Argument)>;

class FakeFtpServer {
public:
  // IPv6: listen on ::1 (Ok() is false where the machine has no IPv6).
  explicit FakeFtpServer(bool IPv6 = false);
  ~FakeFtpServer();
  FakeFtpServer(const FakeFtpServer&) = delete;
  FakeFtpServer& operator=(const FakeFtpServer&) = delete;

  // --- configuration, before Start()
  // Sent as is on every new connection.
  std::string Greeting = "220 Fake FTP server ready\r\n";
  // The host part of the 227 reply (four comma-separated numbers).
  std::string PasvHost = "127,0,0,1";
  // What LIST, NLST and RETR send.
  std::string Listing;
  // Verbs are upper case ("USER"); the handler gets the text after the
  // first blank.
  void On(const std::string& Verb, FakeHandler Handler);
  // A fixed answer (give the line ends yourself).
  void Reply(const std::string& Verb, const std::string& Raw);
  void Start();

  bool Ok() const { return FListener != -1; }
  bool IPv6() const { return FIPv6; }
  int Port() const { return FPort; }
  String PortText() const;

  // --- what happened (safe while the server runs)
  std::vector<std::string> Commands() const;
  void ClearCommands();
  // Data received by the last STOR, APPE or STOU.
  std::string Received() const;
  void SetReceived(const std::string& Data);
  bool StopRequested() const { return FStop.load(); }

private:
  void Run();
  void Serve(std::intptr_t Control);
  void Dispatch(FakeFtpSession& Session, const std::string& Line);
  void InstallDefaults();

  std::map<std::string, FakeHandler> FHandlers;
  bool FIPv6 = false;
  std::intptr_t FListener = -1;
  int FPort = 0;
  std::thread FThread;
  std::atomic<bool> FStop{false};
  mutable std::mutex FLock;
  std::vector<std::string> FCommands;
  std::string FReceived;
};

// A loopback port whose connects never complete, like a host that drops
// every packet: a listener whose accept queue is filled and never served,
// so the system drops every further connection request (local and
// deterministic, unlike an unroutable address).
class Blackhole {
public:
  Blackhole();
  ~Blackhole();
  Blackhole(const Blackhole&) = delete;
  Blackhole& operator=(const Blackhole&) = delete;

  bool Ok() const { return FListener != -1; }
  int Port() const { return FPort; }

private:
  std::intptr_t FListener = -1;
  std::vector<std::intptr_t> FFillers;
  int FPort = 0;
};

}  // namespace ftptest
