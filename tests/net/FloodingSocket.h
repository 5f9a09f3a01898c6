#pragma once
// Makes one socket handle look like a connection whose peer never stops
// sending: while an object lives, the socket table reports 64 KiB waiting
// on that handle and every receive fills the buffer. Other handles keep the
// real functions. After FloodLimit bytes the flood ends as a close, so that
// code with no limit of its own still returns (and fails its test).
#include <cstring>

#include "net/sockapi.h"

namespace nettest {

class FloodingSocket {
public:
  static constexpr long long FloodLimit = 256LL * 1024 * 1024;

  explicit FloodingSocket(TSocket Handle) {
    Flooded() = Handle;
    Bytes() = 0;
    RealRecv() = SocketFunctions.recv;
    RealIoctl() = SocketFunctions.ioctlsocket;
    SocketFunctions.recv = &Recv;
    SocketFunctions.ioctlsocket = &Ioctl;
  }
  ~FloodingSocket() {
    SocketFunctions.recv = RealRecv();
    SocketFunctions.ioctlsocket = RealIoctl();
    Flooded() = INVALID_SOCKET_HANDLE;
  }
  FloodingSocket(const FloodingSocket&) = delete;
  FloodingSocket& operator=(const FloodingSocket&) = delete;

  // Bytes received from the flood so far.
  static long long Received() { return Bytes(); }

private:
  using RecvFn = decltype(SocketFunctions.recv);
  using IoctlFn = decltype(SocketFunctions.ioctlsocket);
  static TSocket& Flooded() {
    static TSocket s = INVALID_SOCKET_HANDLE;
    return s;
  }
  static long long& Bytes() {
    static long long n = 0;
    return n;
  }
  static RecvFn& RealRecv() {
    static RecvFn f = nullptr;
    return f;
  }
  static IoctlFn& RealIoctl() {
    static IoctlFn f = nullptr;
    return f;
  }
  static Integer Ioctl(TSocket s, Integer Cmd, Cardinal& Arg) {
    if (s != Flooded() || Cmd != Ws::Fionread) return RealIoctl()(s, Cmd, Arg);
    Arg = Bytes() < FloodLimit ? 65536 : 0;
    return 0;
  }
  static Integer Recv(TSocket s, void* Buf, Integer Len, Integer Flags) {
    if (s != Flooded()) return RealRecv()(s, Buf, Len, Flags);
    if (Bytes() >= FloodLimit || Len <= 0) return 0;
    std::memset(Buf, 'f', static_cast<std::size_t>(Len));
    Bytes() += Len;
    return Len;
  }
};

}  // namespace nettest
