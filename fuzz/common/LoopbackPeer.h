#pragma once
// The far end of a loopback TCP connection for fuzz targets of network
// parsers: the next connection accepted receives exactly the bytes given,
// then the end of the stream, and whatever the client sends is read and
// dropped. Fuzz builds are Linux only, so this speaks POSIX sockets.
//
// Connections end with a reset once the client has closed, so that no
// TIME_WAIT entries pile up over millions of runs and the loopback ports
// never run out.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class TLoopbackPeer {
public:
  TLoopbackPeer() {
    FListener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t Length = sizeof Address;
    if (FListener < 0 || bind(FListener, reinterpret_cast<sockaddr*>(&Address), Length) != 0 ||
        listen(FListener, 8) != 0 || getsockname(FListener, reinterpret_cast<sockaddr*>(&Address), &Length) != 0) {
      std::perror("LoopbackPeer");
      std::abort();
    }
    FPort = ntohs(Address.sin_port);
    FThread = std::thread([this] { Run(); });
  }
  // A fuzz target keeps its peer for the whole process (libFuzzer ends with
  // exit), so there is no clean stop.
  TLoopbackPeer(const TLoopbackPeer&) = delete;
  TLoopbackPeer& operator=(const TLoopbackPeer&) = delete;

  int Port() const { return FPort; }

  // The bytes the next connection gets.
  void Serve(const std::uint8_t* Data, std::size_t Size) {
    std::lock_guard<std::mutex> Lock(FMutex);
    FPending.assign(reinterpret_cast<const char*>(Data), Size);
  }

  // Waits until Count connections in all have been served and closed. A
  // client that hangs on a stream that has ended is itself a finding.
  void WaitServed(unsigned Count) {
    std::unique_lock<std::mutex> Lock(FMutex);
    if (!FDone.wait_for(Lock, std::chrono::seconds(20), [&] { return FServed >= Count; })) {
      std::fprintf(stderr, "LoopbackPeer: the client never finished its connection\n");
      std::abort();
    }
  }
  unsigned Served() {
    std::lock_guard<std::mutex> Lock(FMutex);
    return FServed;
  }

private:
  void Run() {
    for (;;) {
      const int Client = accept(FListener, nullptr, nullptr);
      if (Client < 0) continue;
      std::string Data;
      {
        std::lock_guard<std::mutex> Lock(FMutex);
        Data = FPending;
      }
      std::size_t Sent = 0;
      while (Sent < Data.size()) {
        const ssize_t N = send(Client, Data.data() + Sent, Data.size() - Sent, MSG_NOSIGNAL);
        if (N <= 0) break;
        Sent += static_cast<std::size_t>(N);
      }
      shutdown(Client, SHUT_WR);
      char Sink[4096];
      pollfd Wait{Client, POLLIN, 0};
      while (poll(&Wait, 1, 10000) > 0 && recv(Client, Sink, sizeof Sink, 0) > 0) {
      }
      const linger Reset{1, 0};
      setsockopt(Client, SOL_SOCKET, SO_LINGER, &Reset, sizeof Reset);
      close(Client);
      {
        std::lock_guard<std::mutex> Lock(FMutex);
        ++FServed;
      }
      FDone.notify_all();
    }
  }

  int FListener = -1;
  int FPort = 0;
  std::mutex FMutex;
  std::condition_variable FDone;
  std::string FPending;
  unsigned FServed = 0;
  std::thread FThread;
};
