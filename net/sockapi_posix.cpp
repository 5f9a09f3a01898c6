// The socket function table bound to the POSIX socket API. Everything is
// translated at this boundary: Winsock address families, option numbers,
// ioctl commands and socket-address layout in, Winsock error codes out (errno
// and the resolver's EAI codes mapped), so the layer above behaves and reports
// as on Windows. Sends never raise SIGPIPE (MSG_NOSIGNAL); waits use poll, so
// descriptor numbers above FD_SETSIZE work.
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/sockapi.h"

namespace {

thread_local Integer tLastError = 0;

Integer MapErrno(int e) {
  switch (e) {
    case 0:
      return 0;
    case EINTR:
      return Wsa::EIntr;
    case EBADF:
      return Wsa::ENotSock;  // a closed or foreign handle is "not a socket" on Winsock
    case EACCES:
      return Wsa::EAcces;
    case EPERM:
      return Wsa::EAcces;
    case EFAULT:
      return Wsa::EFault;
    case EINVAL:
      return Wsa::EInval;
    case EMFILE:
      return Wsa::EMFile;
    case ENFILE:
      return Wsa::EMFile;
#if EAGAIN != EWOULDBLOCK
    case EAGAIN:
      return Wsa::EWouldBlock;
#endif
    case EWOULDBLOCK:
      return Wsa::EWouldBlock;
    case EINPROGRESS:
      return Wsa::EInProgress;
    case EALREADY:
      return Wsa::EAlready;
    case ENOTSOCK:
      return Wsa::ENotSock;
    case EDESTADDRREQ:
      return Wsa::EDestAddrReq;
    case EMSGSIZE:
      return Wsa::EMsgSize;
    case EPROTOTYPE:
      return Wsa::EPrototype;
    case ENOPROTOOPT:
      return Wsa::ENoProtoOpt;
    case EPROTONOSUPPORT:
      return Wsa::EProtoNoSupport;
    case ESOCKTNOSUPPORT:
      return Wsa::ESocktNoSupport;
    case EOPNOTSUPP:
      return Wsa::EOpNotSupp;
    case EPFNOSUPPORT:
      return Wsa::EPfNoSupport;
    case EAFNOSUPPORT:
      return Wsa::EAfNoSupport;
    case EADDRINUSE:
      return Wsa::EAddrInUse;
    case EADDRNOTAVAIL:
      return Wsa::EAddrNotAvail;
    case ENETDOWN:
      return Wsa::ENetDown;
    case ENETUNREACH:
      return Wsa::ENetUnreach;
    case ENETRESET:
      return Wsa::ENetReset;
    case ECONNABORTED:
      return Wsa::EConnAborted;
    case ECONNRESET:
      return Wsa::EConnReset;
    case EPIPE:
      return Wsa::EConnReset;  // Winsock reports a send to a closed peer as a reset
    case ENOBUFS:
      return Wsa::ENoBufs;
    case ENOMEM:
      return Wsa::ENoBufs;
    case EISCONN:
      return Wsa::EIsConn;
    case ENOTCONN:
      return Wsa::ENotConn;
    case ESHUTDOWN:
      return Wsa::EShutdown;
    case ETOOMANYREFS:
      return Wsa::ETooManyRefs;
    case ETIMEDOUT:
      return Wsa::ETimedOut;
    case ECONNREFUSED:
      return Wsa::EConnRefused;
    case ELOOP:
      return Wsa::ELoop;
    case ENAMETOOLONG:
      return Wsa::ENameTooLong;
    case EHOSTDOWN:
      return Wsa::EHostDown;
    case EHOSTUNREACH:
      return Wsa::EHostUnreach;
    case ENOTEMPTY:
      return Wsa::ENotEmpty;
    case EUSERS:
      return Wsa::EUsers;
    case EDQUOT:
      return Wsa::EDQuot;
    case ESTALE:
      return Wsa::EStale;
    case EREMOTE:
      return Wsa::ERemote;
    default:
      return 10000 + e;
  }
}

Integer MapEai(int r) {
  switch (r) {
    case 0:
      return 0;
    case EAI_NONAME:
      return Wsa::HostNotFound;
    case EAI_AGAIN:
      return Wsa::TryAgain;
    case EAI_FAIL:
      return Wsa::NoRecovery;
#ifdef EAI_NODATA
    case EAI_NODATA:
      return Wsa::NoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
      return Wsa::NoData;
#endif
    case EAI_FAMILY:
      return Wsa::EAfNoSupport;
    case EAI_SOCKTYPE:
      return Wsa::ESocktNoSupport;
    case EAI_SERVICE:
      return 10109;  // WSATYPE_NOT_FOUND
    case EAI_BADFLAGS:
      return Wsa::EInval;
    case EAI_MEMORY:
      return Wsa::ENoBufs;
    case EAI_SYSTEM:
      return MapErrno(errno);
    default:
      return Wsa::NoRecovery;
  }
}

Integer Fail() {
  tLastError = MapErrno(errno);
  return SOCKET_ERROR_RESULT;
}

Integer Fail(Integer wsaCode) {
  tLastError = wsaCode;
  return SOCKET_ERROR_RESULT;
}

int ToPosixFamily(Integer af) {
  switch (af) {
    case Ws::AfInet:
      return AF_INET;
    case Ws::AfInet6:
      return AF_INET6;
    case Ws::AfUnspec:
      return AF_UNSPEC;
    default:
      return -1;
  }
}

Integer FromPosixFamily(int af) {
  switch (af) {
    case AF_INET:
      return Ws::AfInet;
    case AF_INET6:
      return Ws::AfInet6;
    case AF_UNSPEC:
      return Ws::AfUnspec;
    default:
      return af + 1000;  // not one the layer knows
  }
}

// TVarSin -> sockaddr. false when the family is not IPv4 or IPv6 or the
// length does not fit it.
bool ToSockAddr(const TVarSin& sin, Integer len, sockaddr_storage& out, socklen_t& outLen) {
  std::memset(&out, 0, sizeof(out));
  if (sin.AddressFamily == Ws::AfInet && len >= 16) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = sin.sin_port;
    std::memcpy(&a.sin_addr, sin.sin_addr, 4);
    std::memcpy(&out, &a, sizeof(a));
    outLen = sizeof(a);
    return true;
  }
  if (sin.AddressFamily == Ws::AfInet6 && len >= 28) {
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = sin.sin_port;
    a.sin6_flowinfo = sin.sin6_flowinfo;
    std::memcpy(&a.sin6_addr, sin.sin6_addr, 16);
    a.sin6_scope_id = sin.sin6_scope_id;
    std::memcpy(&out, &a, sizeof(a));
    outLen = sizeof(a);
    return true;
  }
  return false;
}

// sockaddr -> TVarSin; the resulting length (16, 28, or 0 for another family).
Integer FromSockAddr(const sockaddr* sa, TVarSin& sin) {
  sin.Clear();
  if (!sa) return 0;
  if (sa->sa_family == AF_INET) {
    sockaddr_in a;
    std::memcpy(&a, sa, sizeof(a));
    sin.AddressFamily = Ws::AfInet;
    sin.sin_port = a.sin_port;
    std::memcpy(sin.sin_addr, &a.sin_addr, 4);
    return 16;
  }
  if (sa->sa_family == AF_INET6) {
    sockaddr_in6 a;
    std::memcpy(&a, sa, sizeof(a));
    sin.AddressFamily = Ws::AfInet6;
    sin.sin_port = a.sin6_port;
    sin.sin6_flowinfo = a.sin6_flowinfo;
    std::memcpy(sin.sin6_addr, &a.sin6_addr, 16);
    sin.sin6_scope_id = a.sin6_scope_id;
    return 28;
  }
  return 0;
}

int Fd(TSocket s) { return static_cast<int>(s); }

bool ValidFd(TSocket s) { return s >= 0 && s <= 0x7FFFFFFF; }

// --- the table's entries

Integer P_WSAFDIsSet(TSocket s, const TFDSet& set) { return FD_Contains(s, set) ? 1 : 0; }

Integer P_closesocket(TSocket s) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  return ::close(Fd(s)) == 0 ? 0 : Fail();
}

Integer P_ioctlsocket(TSocket s, Integer cmd, Cardinal& arg) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  if (cmd == Ws::Fionread) {
    int n = 0;
    if (::ioctl(Fd(s), FIONREAD, &n) != 0) return Fail();
    arg = n < 0 ? 0 : static_cast<Cardinal>(n);
    return 0;
  }
  if (cmd == Ws::Fionbio) {
    const int flags = ::fcntl(Fd(s), F_GETFL, 0);
    if (flags < 0) return Fail();
    const int wanted = arg ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(Fd(s), F_SETFL, wanted) == 0 ? 0 : Fail();
  }
  return Fail(Wsa::EInval);
}

Integer P_WSAGetLastError() { return tLastError; }

Integer P_WSAStartup(Word versionRequired, TWSAData& data) {
  data = TWSAData();
  if ((versionRequired & 0xFF) < 1) return Wsa::VerNotSupported;
  data.wVersion = 0x0202;
  data.wHighVersion = 0x0202;
  std::strncpy(data.szDescription, "POSIX sockets", sizeof(data.szDescription) - 1);
  std::strncpy(data.szSystemStatus, "Running", sizeof(data.szSystemStatus) - 1);
  return 0;
}

Integer P_WSACleanup() { return 0; }

TSocket P_accept(TSocket s, TVarSin* addr, Integer* addrLen) {
  if (!ValidFd(s)) {
    Fail(Wsa::ENotSock);
    return INVALID_SOCKET_HANDLE;
  }
  sockaddr_storage ss{};
  socklen_t len = sizeof(ss);
  int r;
  do {
    r = ::accept4(Fd(s), reinterpret_cast<sockaddr*>(&ss), &len, SOCK_CLOEXEC);
  } while (r < 0 && errno == EINTR);
  if (r < 0) {
    Fail();
    return INVALID_SOCKET_HANDLE;
  }
  if (addr) {
    TVarSin sin;
    const Integer n = FromSockAddr(reinterpret_cast<sockaddr*>(&ss), sin);
    *addr = sin;
    if (addrLen) *addrLen = n;
  }
  return r;
}

Integer P_bind(TSocket s, const TVarSin& addr, Integer addrLen) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  sockaddr_storage ss;
  socklen_t len;
  if (!ToSockAddr(addr, addrLen, ss, len)) return Fail(Wsa::EAfNoSupport);
  // A stream socket asking for any free port may take one whose last user
  // is only waiting out its close. Windows allows that anyway; here the
  // search would skip every such port, and an active-mode walk leaves one
  // per folder, which made each data listener's bind cost milliseconds.
  const in_port_t Port = ss.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port
                                                  : reinterpret_cast<sockaddr_in*>(&ss)->sin_port;
  int Type = 0;
  socklen_t TypeLen = sizeof(Type);
  if (Port == 0 && ::getsockopt(Fd(s), SOL_SOCKET, SO_TYPE, &Type, &TypeLen) == 0 && Type == SOCK_STREAM) {
    const int On = 1;
    ::setsockopt(Fd(s), SOL_SOCKET, SO_REUSEADDR, &On, sizeof(On));
  }
  return ::bind(Fd(s), reinterpret_cast<sockaddr*>(&ss), len) == 0 ? 0 : Fail();
}

Integer P_connect(TSocket s, const TVarSin& addr, Integer addrLen) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  sockaddr_storage ss;
  socklen_t len;
  if (!ToSockAddr(addr, addrLen, ss, len)) return Fail(Wsa::EAfNoSupport);
  if (::connect(Fd(s), reinterpret_cast<sockaddr*>(&ss), len) == 0) return 0;
  if (errno != EINTR) return Fail();
  // An interrupted blocking connect goes on in the background: wait for it.
  pollfd p{Fd(s), POLLOUT, 0};
  while (::poll(&p, 1, -1) < 0) {
    if (errno != EINTR) return Fail();
  }
  int err = 0;
  socklen_t elen = sizeof(err);
  if (::getsockopt(Fd(s), SOL_SOCKET, SO_ERROR, &err, &elen) != 0) return Fail();
  return err == 0 ? 0 : Fail(MapErrno(err));
}

Integer NameCall(int (*fn)(int, sockaddr*, socklen_t*), TSocket s, TVarSin& addr, Integer& addrLen) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  sockaddr_storage ss{};
  socklen_t len = sizeof(ss);
  if (fn(Fd(s), reinterpret_cast<sockaddr*>(&ss), &len) != 0) return Fail();
  addrLen = FromSockAddr(reinterpret_cast<sockaddr*>(&ss), addr);
  return 0;
}

Integer P_getpeername(TSocket s, TVarSin& addr, Integer& addrLen) {
  return NameCall([](int fd, sockaddr* sa, socklen_t* l) { return ::getpeername(fd, sa, l); }, s, addr, addrLen);
}

Integer P_getsockname(TSocket s, TVarSin& addr, Integer& addrLen) {
  return NameCall([](int fd, sockaddr* sa, socklen_t* l) { return ::getsockname(fd, sa, l); }, s, addr, addrLen);
}

// Winsock option -> POSIX level and name; false when there is none.
bool MapOption(Integer level, Integer name, int& pLevel, int& pName) {
  if (level == Ws::SolSocket) {
    pLevel = SOL_SOCKET;
    switch (name) {
      case Ws::SoDebug:
        pName = SO_DEBUG;
        return true;
      case Ws::SoReuseAddr:
        pName = SO_REUSEADDR;
        return true;
      case Ws::SoKeepAlive:
        pName = SO_KEEPALIVE;
        return true;
      case Ws::SoBroadcast:
        pName = SO_BROADCAST;
        return true;
      case Ws::SoLinger:
        pName = SO_LINGER;
        return true;
      case Ws::SoSndBuf:
        pName = SO_SNDBUF;
        return true;
      case Ws::SoRcvBuf:
        pName = SO_RCVBUF;
        return true;
      case Ws::SoSndTimeo:
        pName = SO_SNDTIMEO;
        return true;
      case Ws::SoRcvTimeo:
        pName = SO_RCVTIMEO;
        return true;
      case Ws::SoError:
        pName = SO_ERROR;
        return true;
      case Ws::SoType:
        pName = SO_TYPE;
        return true;
      default:
        return false;
    }
  }
  if (level == Ws::IpprotoIp) {
    pLevel = IPPROTO_IP;
    switch (name) {
      case Ws::IpTtl:
        pName = IP_TTL;
        return true;
      case Ws::IpMulticastTtl:
        pName = IP_MULTICAST_TTL;
        return true;
      case Ws::IpMulticastLoop:
        pName = IP_MULTICAST_LOOP;
        return true;
      default:
        return false;
    }
  }
  if (level == Ws::IpprotoIpv6) {
    pLevel = IPPROTO_IPV6;
    switch (name) {
      case Ws::Ipv6UnicastHops:
        pName = IPV6_UNICAST_HOPS;
        return true;
      case Ws::Ipv6MulticastHops:
        pName = IPV6_MULTICAST_HOPS;
        return true;
      case Ws::Ipv6MulticastLoop:
        pName = IPV6_MULTICAST_LOOP;
        return true;
      default:
        return false;
    }
  }
  if (level == Ws::IpprotoTcp) {
    pLevel = IPPROTO_TCP;
    if (name == Ws::TcpNoDelay) {
      pName = TCP_NODELAY;
      return true;
    }
  }
  return false;
}

Integer ReadInt(const void* v, Integer len) {
  if (len >= 4) {
    Integer i;
    std::memcpy(&i, v, 4);
    return i;
  }
  if (len >= 1) return *static_cast<const Byte*>(v);
  return 0;
}

Integer P_setsockopt(TSocket s, Integer level, Integer name, const void* val, Integer len) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  int pLevel, pName;
  if (!MapOption(level, name, pLevel, pName)) return Fail(Wsa::ENoProtoOpt);
  if (!val) return Fail(Wsa::EFault);
  int r;
  if (pLevel == SOL_SOCKET && pName == SO_LINGER) {
    if (len < static_cast<Integer>(sizeof(TLinger))) return Fail(Wsa::EFault);
    TLinger wl;
    std::memcpy(&wl, val, sizeof(wl));
    linger l{wl.l_onoff ? 1 : 0, wl.l_linger};
    r = ::setsockopt(Fd(s), pLevel, pName, &l, sizeof(l));
  } else if (pLevel == SOL_SOCKET && (pName == SO_RCVTIMEO || pName == SO_SNDTIMEO)) {
    const Integer ms = ReadInt(val, len);
    timeval tv{};
    if (ms > 0) {
      tv.tv_sec = ms / 1000;
      tv.tv_usec = (ms % 1000) * 1000;
    }
    r = ::setsockopt(Fd(s), pLevel, pName, &tv, sizeof(tv));
  } else {
    const int v = ReadInt(val, len);
    r = ::setsockopt(Fd(s), pLevel, pName, &v, sizeof(v));
  }
  return r == 0 ? 0 : Fail();
}

Integer P_getsockopt(TSocket s, Integer level, Integer name, void* val, Integer& len) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  int pLevel, pName;
  if (!MapOption(level, name, pLevel, pName)) return Fail(Wsa::ENoProtoOpt);
  if (!val) return Fail(Wsa::EFault);
  if (pLevel == SOL_SOCKET && pName == SO_LINGER) {
    if (len < static_cast<Integer>(sizeof(TLinger))) return Fail(Wsa::EFault);
    linger l{};
    socklen_t n = sizeof(l);
    if (::getsockopt(Fd(s), pLevel, pName, &l, &n) != 0) return Fail();
    TLinger wl;
    wl.l_onoff = static_cast<Word>(l.l_onoff ? 1 : 0);
    wl.l_linger = static_cast<Word>(l.l_linger);
    std::memcpy(val, &wl, sizeof(wl));
    len = sizeof(wl);
    return 0;
  }
  if (len < 4) return Fail(Wsa::EFault);
  Integer out;
  if (pLevel == SOL_SOCKET && (pName == SO_RCVTIMEO || pName == SO_SNDTIMEO)) {
    timeval tv{};
    socklen_t n = sizeof(tv);
    if (::getsockopt(Fd(s), pLevel, pName, &tv, &n) != 0) return Fail();
    out = static_cast<Integer>(tv.tv_sec * 1000 + tv.tv_usec / 1000);
  } else {
    int v = 0;
    socklen_t n = sizeof(v);
    if (::getsockopt(Fd(s), pLevel, pName, &v, &n) != 0) return Fail();
    out = v;
    if (pLevel == SOL_SOCKET && pName == SO_ERROR) out = MapErrno(v);
    if (pLevel == SOL_SOCKET && (pName == SO_RCVBUF || pName == SO_SNDBUF))
      out = v / 2;  // Linux reports twice the size set
  }
  std::memcpy(val, &out, 4);
  len = 4;
  return 0;
}

Cardinal P_htonl(Cardinal v) { return htonl(v); }
Word P_htons(Word v) { return htons(v); }
Cardinal P_ntohl(Cardinal v) { return ntohl(v); }
Word P_ntohs(Word v) { return ntohs(v); }

Cardinal P_inet_addr(const char* text) {
  if (!text) return Ws::InaddrNone;
  return ::inet_addr(text);
}

const char* P_inet_ntoa(TInAddr addr) {
  in_addr a;
  std::memcpy(&a, addr.S_bytes, 4);
  return ::inet_ntoa(a);
}

Integer P_listen(TSocket s, Integer backlog) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  if (backlog == Ws::SomaxConn || backlog > SOMAXCONN) backlog = SOMAXCONN;
  return ::listen(Fd(s), backlog) == 0 ? 0 : Fail();
}

Integer P_recv(TSocket s, void* buf, Integer len, Integer flags) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  if (len < 0) return Fail(Wsa::EFault);
  ssize_t r;
  do {
    r = ::recv(Fd(s), buf, static_cast<size_t>(len), flags & (MSG_PEEK | MSG_OOB));
  } while (r < 0 && errno == EINTR);
  return r < 0 ? Fail() : static_cast<Integer>(r);
}

Integer P_recvfrom(TSocket s, void* buf, Integer len, Integer flags, TVarSin* from, Integer* fromLen) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  if (len < 0) return Fail(Wsa::EFault);
  sockaddr_storage ss{};
  socklen_t sl = sizeof(ss);
  ssize_t r;
  do {
    r = ::recvfrom(Fd(s), buf, static_cast<size_t>(len), flags & (MSG_PEEK | MSG_OOB), reinterpret_cast<sockaddr*>(&ss),
                   &sl);
  } while (r < 0 && errno == EINTR);
  if (r < 0) return Fail();
  if (from) {
    TVarSin sin;
    const Integer n = FromSockAddr(reinterpret_cast<sockaddr*>(&ss), sin);
    *from = sin;
    if (fromLen) *fromLen = n;
  }
  return static_cast<Integer>(r);
}

// select over poll: Winsock's meaning of the three sets (readable includes a
// closed or reset connection and a pending accept; "except" a failed
// connect or out-of-band data). An invalid handle fails at once with 10038.
Integer P_select(Integer, TFDSet* readFds, TFDSet* writeFds, TFDSet* exceptFds, const TTimeVal* timeout) {
  TFDSet* sets[3] = {readFds, writeFds, exceptFds};
  pollfd fds[3 * Ws::FdSetSize];
  nfds_t count = 0;
  for (int k = 0; k < 3; ++k) {
    if (!sets[k]) continue;
    const Cardinal n = sets[k]->fd_count < static_cast<Cardinal>(Ws::FdSetSize) ? sets[k]->fd_count : Ws::FdSetSize;
    for (Cardinal i = 0; i < n; ++i) {
      const TSocket s = sets[k]->fd_array[i];
      if (!ValidFd(s)) return Fail(Wsa::ENotSock);
      nfds_t j = 0;
      while (j < count && fds[j].fd != Fd(s)) ++j;
      if (j == count) fds[count++] = pollfd{Fd(s), 0, 0};
      fds[j].events |= static_cast<short>(k == 0 ? POLLIN : k == 1 ? POLLOUT : POLLPRI);
    }
  }
  if (count == 0) return Fail(Wsa::EInval);

  using clock = std::chrono::steady_clock;
  long long waitMs = -1;
  if (timeout) {
    waitMs = static_cast<long long>(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    if (waitMs < 0) waitMs = 0;
  }
  const auto deadline = clock::now() + std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs);
  int r;
  for (;;) {
    int ms = -1;
    if (waitMs >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
      ms = left <= 0 ? 0 : (left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left));
    }
    r = ::poll(fds, count, ms);
    if (r >= 0 || errno != EINTR) break;
  }
  if (r < 0) return Fail();
  for (nfds_t j = 0; j < count; ++j) {
    if (fds[j].revents & POLLNVAL) return Fail(Wsa::ENotSock);
  }

  Integer total = 0;
  for (int k = 0; k < 3; ++k) {
    if (!sets[k]) continue;
    TFDSet ready;
    const Cardinal n = sets[k]->fd_count < static_cast<Cardinal>(Ws::FdSetSize) ? sets[k]->fd_count : Ws::FdSetSize;
    for (Cardinal i = 0; i < n; ++i) {
      const TSocket s = sets[k]->fd_array[i];
      short re = 0;
      for (nfds_t j = 0; j < count; ++j) {
        if (fds[j].fd == Fd(s)) re = fds[j].revents;
      }
      bool hit;
      if (k == 0)
        hit = re & (POLLIN | POLLHUP | POLLERR);
      else if (k == 1)
        hit = re & (POLLOUT | POLLERR | POLLHUP);
      else
        hit = re & (POLLPRI | POLLERR);
      if (hit) {
        ready.fd_array[ready.fd_count++] = s;
        ++total;
      }
    }
    *sets[k] = ready;
  }
  return total;
}

Integer P_send(TSocket s, const void* buf, Integer len, Integer flags) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  if (len < 0) return Fail(Wsa::EFault);
  ssize_t r;
  do {
    r = ::send(Fd(s), buf, static_cast<size_t>(len), (flags & MSG_OOB) | MSG_NOSIGNAL);
  } while (r < 0 && errno == EINTR);
  return r < 0 ? Fail() : static_cast<Integer>(r);
}

Integer P_sendto(TSocket s, const void* buf, Integer len, Integer flags, const TVarSin& to, Integer toLen) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  if (len < 0) return Fail(Wsa::EFault);
  sockaddr_storage ss;
  socklen_t sl;
  if (!ToSockAddr(to, toLen, ss, sl)) return Fail(Wsa::EAfNoSupport);
  ssize_t r;
  do {
    r = ::sendto(Fd(s), buf, static_cast<size_t>(len), (flags & MSG_OOB) | MSG_NOSIGNAL,
                 reinterpret_cast<sockaddr*>(&ss), sl);
  } while (r < 0 && errno == EINTR);
  return r < 0 ? Fail() : static_cast<Integer>(r);
}

Integer P_shutdown(TSocket s, Integer how) {
  if (!ValidFd(s)) return Fail(Wsa::ENotSock);
  const int h = how == Ws::SdReceive ? SHUT_RD : how == Ws::SdSend ? SHUT_WR : SHUT_RDWR;
  return ::shutdown(Fd(s), h) == 0 ? 0 : Fail();
}

TSocket P_socket(Integer af, Integer type, Integer protocol) {
  const int pf = ToPosixFamily(af);
  if (pf < 0 || pf == AF_UNSPEC) {
    Fail(Wsa::EAfNoSupport);
    return INVALID_SOCKET_HANDLE;
  }
  const int fd = ::socket(pf, type | SOCK_CLOEXEC, protocol);
  if (fd < 0) {
    Fail();
    return INVALID_SOCKET_HANDLE;
  }
  if (pf == AF_INET6) {
    // Winsock's IPv6 sockets are IPv6-only; keep that here too.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof(one));
  }
  return fd;
}

// The older resolver functions answer pointers into the C library's static
// storage; the caller holds the socket library lock.
THostEnt gHostEnt;
TServEnt gServEnt;
TProtoEnt gProtoEnt;

THostEnt* WrapHost(hostent* h) {
  if (!h) {
    tLastError = h_errno == HOST_NOT_FOUND ? Wsa::HostNotFound
                 : h_errno == TRY_AGAIN    ? Wsa::TryAgain
                 : h_errno == NO_RECOVERY  ? Wsa::NoRecovery
                 : h_errno == NO_DATA      ? Wsa::NoData
                                           : Wsa::HostNotFound;
    return nullptr;
  }
  gHostEnt.h_name = h->h_name;
  gHostEnt.h_aliases = h->h_aliases;
  gHostEnt.h_addrtype = FromPosixFamily(h->h_addrtype);
  gHostEnt.h_length = h->h_length;
  gHostEnt.h_addr_list = h->h_addr_list;
  return &gHostEnt;
}

THostEnt* P_gethostbyaddr(const void* addr, Integer len, Integer type) {
  return WrapHost(::gethostbyaddr(addr, static_cast<socklen_t>(len), ToPosixFamily(type)));
}

THostEnt* P_gethostbyname(const char* name) { return WrapHost(name ? ::gethostbyname(name) : nullptr); }

TProtoEnt* WrapProto(protoent* p) {
  if (!p) {
    tLastError = Wsa::NoData;
    return nullptr;
  }
  gProtoEnt.p_name = p->p_name;
  gProtoEnt.p_aliases = p->p_aliases;
  gProtoEnt.p_proto = p->p_proto;
  return &gProtoEnt;
}

TProtoEnt* P_getprotobyname(const char* name) { return WrapProto(name ? ::getprotobyname(name) : nullptr); }
TProtoEnt* P_getprotobynumber(Integer proto) { return WrapProto(::getprotobynumber(proto)); }

TServEnt* WrapServ(servent* s) {
  if (!s) {
    tLastError = Wsa::NoData;
    return nullptr;
  }
  gServEnt.s_name = s->s_name;
  gServEnt.s_aliases = s->s_aliases;
  gServEnt.s_port = static_cast<Word>(s->s_port);
  gServEnt.s_proto = s->s_proto;
  return &gServEnt;
}

TServEnt* P_getservbyname(const char* name, const char* proto) {
  return WrapServ(name ? ::getservbyname(name, proto) : nullptr);
}
TServEnt* P_getservbyport(Integer port, const char* proto) { return WrapServ(::getservbyport(port, proto)); }

Integer P_gethostname(char* name, Integer len) {
  if (!name || len <= 0) return Fail(Wsa::EFault);
  return ::gethostname(name, static_cast<size_t>(len)) == 0 ? 0 : Fail();
}

Integer P_getaddrinfo(const char* node, const char* service, const TAddrInfo* hints, TAddrInfo** res) {
  if (!res) return Wsa::EFault;
  *res = nullptr;
  addrinfo h{};
  int wantedType = 0;
  if (hints) {
    h.ai_flags = hints->ai_flags & (AI_PASSIVE | AI_CANONNAME | AI_NUMERICHOST);
    h.ai_family = ToPosixFamily(hints->ai_family);
    if (h.ai_family < 0) return Wsa::EAfNoSupport;
    h.ai_socktype = hints->ai_socktype;
    h.ai_protocol = hints->ai_protocol;
    wantedType = hints->ai_socktype;
  }
  addrinfo* list = nullptr;
  const int r = ::getaddrinfo(node, service, hints ? &h : nullptr, &list);
  if (r != 0) return MapEai(r);
  TAddrInfo* head = nullptr;
  TAddrInfo** tail = &head;
  for (addrinfo* a = list; a; a = a->ai_next) {
    TVarSin sin;
    const Integer len = FromSockAddr(a->ai_addr, sin);
    if (len == 0) continue;
    if (wantedType == 0) {
      // Without a socket type the C library lists each address once per
      // type; Winsock lists it once.
      bool seen = false;
      for (TAddrInfo* p = head; p; p = p->ai_next) {
        if (std::memcmp(p->ai_addr, &sin, sizeof(sin)) == 0) seen = true;
      }
      if (seen) continue;
    }
    TAddrInfo* node = NewAddrInfo(a->ai_flags, FromPosixFamily(a->ai_family), a->ai_socktype, a->ai_protocol, &sin,
                                  static_cast<std::size_t>(len), a->ai_canonname);
    *tail = node;
    tail = &node->ai_next;
  }
  ::freeaddrinfo(list);
  if (!head) return Wsa::NoData;
  *res = head;
  return 0;
}

Integer P_getnameinfo(const TVarSin& addr, Integer addrLen, char* host, Cardinal hostLen, char* serv, Cardinal servLen,
                      Integer flags) {
  sockaddr_storage ss;
  socklen_t sl;
  if (!ToSockAddr(addr, addrLen, ss, sl)) return Wsa::EAfNoSupport;
  int f = 0;
  if (flags & Ws::NiNoFqdn) f |= NI_NOFQDN;
  if (flags & Ws::NiNumericHost) f |= NI_NUMERICHOST;
  if (flags & Ws::NiNameReqd) f |= NI_NAMEREQD;
  if (flags & Ws::NiNumericServ) f |= NI_NUMERICSERV;
  if (flags & Ws::NiDgram) f |= NI_DGRAM;
  const int r =
      ::getnameinfo(reinterpret_cast<sockaddr*>(&ss), sl, host, host ? hostLen : 0, serv, serv ? servLen : 0, f);
  return MapEai(r);
}

}  // namespace

namespace SockApiPlatform {

bool Load(const String& Name, TSocketFunctions& Table, bool& Enhanced, bool& IPv6Helper) {
  // The system's own sockets stand for "ws2_32.dll"; another library name
  // is one that is not there.
  if (!Name.empty() && Name != u"ws2_32.dll") return false;
  Table = TSocketFunctions();
  Table.WSAIoctl = nullptr;
  Table.WSAFDIsSet = P_WSAFDIsSet;
  Table.closesocket = P_closesocket;
  Table.ioctlsocket = P_ioctlsocket;
  Table.WSAGetLastError = P_WSAGetLastError;
  Table.WSAStartup = P_WSAStartup;
  Table.WSACleanup = P_WSACleanup;
  Table.accept = P_accept;
  Table.bind = P_bind;
  Table.connect = P_connect;
  Table.getpeername = P_getpeername;
  Table.getsockname = P_getsockname;
  Table.getsockopt = P_getsockopt;
  Table.htonl = P_htonl;
  Table.htons = P_htons;
  Table.inet_addr = P_inet_addr;
  Table.inet_ntoa = P_inet_ntoa;
  Table.listen = P_listen;
  Table.ntohl = P_ntohl;
  Table.ntohs = P_ntohs;
  Table.recv = P_recv;
  Table.recvfrom = P_recvfrom;
  Table.select = P_select;
  Table.send = P_send;
  Table.sendto = P_sendto;
  Table.setsockopt = P_setsockopt;
  Table.shutdown = P_shutdown;
  Table.socket = P_socket;
  Table.gethostbyaddr = P_gethostbyaddr;
  Table.gethostbyname = P_gethostbyname;
  Table.getprotobyname = P_getprotobyname;
  Table.getprotobynumber = P_getprotobynumber;
  Table.getservbyname = P_getservbyname;
  Table.getservbyport = P_getservbyport;
  Table.gethostname = P_gethostname;
  Table.getaddrinfo = P_getaddrinfo;
  Table.freeaddrinfo = FreeAddrInfoList;
  Table.getnameinfo = P_getnameinfo;
  Enhanced = true;
  IPv6Helper = false;
  return true;
}

void Unload() {}

}  // namespace SockApiPlatform
