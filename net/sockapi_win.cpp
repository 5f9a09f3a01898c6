// The socket function table bound by name from "ws2_32.dll" (LoadLibraryW +
// GetProcAddress), with "wship6.dll" supplying getaddrinfo, freeaddrinfo and
// getnameinfo when the main library lacks them. The program does not link
// against ws2_32: a missing library is found at start-up, not by the loader.
#include "rtl/Win32.h"
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "net/sockapi.h"

namespace {

// Raw entry points, with Winsock's own signatures and calling convention.
using FN_WSAIoctl = int(WSAAPI*)(SOCKET, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPWSAOVERLAPPED,
                                 LPWSAOVERLAPPED_COMPLETION_ROUTINE);
using FN_WSAFDIsSet = int(WSAAPI*)(SOCKET, fd_set*);
using FN_closesocket = int(WSAAPI*)(SOCKET);
using FN_ioctlsocket = int(WSAAPI*)(SOCKET, long, u_long*);
using FN_WSAGetLastError = int(WSAAPI*)();
using FN_WSAStartup = int(WSAAPI*)(WORD, LPWSADATA);
using FN_WSACleanup = int(WSAAPI*)();
using FN_accept = SOCKET(WSAAPI*)(SOCKET, sockaddr*, int*);
using FN_bind = int(WSAAPI*)(SOCKET, const sockaddr*, int);
using FN_connect = int(WSAAPI*)(SOCKET, const sockaddr*, int);
using FN_getpeername = int(WSAAPI*)(SOCKET, sockaddr*, int*);
using FN_getsockname = int(WSAAPI*)(SOCKET, sockaddr*, int*);
using FN_getsockopt = int(WSAAPI*)(SOCKET, int, int, char*, int*);
using FN_htonl = u_long(WSAAPI*)(u_long);
using FN_htons = u_short(WSAAPI*)(u_short);
using FN_inet_addr = unsigned long(WSAAPI*)(const char*);
using FN_inet_ntoa = char*(WSAAPI*)(in_addr);
using FN_listen = int(WSAAPI*)(SOCKET, int);
using FN_ntohl = u_long(WSAAPI*)(u_long);
using FN_ntohs = u_short(WSAAPI*)(u_short);
using FN_recv = int(WSAAPI*)(SOCKET, char*, int, int);
using FN_recvfrom = int(WSAAPI*)(SOCKET, char*, int, int, sockaddr*, int*);
using FN_select = int(WSAAPI*)(int, fd_set*, fd_set*, fd_set*, const timeval*);
using FN_send = int(WSAAPI*)(SOCKET, const char*, int, int);
using FN_sendto = int(WSAAPI*)(SOCKET, const char*, int, int, const sockaddr*, int);
using FN_setsockopt = int(WSAAPI*)(SOCKET, int, int, const char*, int);
using FN_shutdown = int(WSAAPI*)(SOCKET, int);
using FN_socket = SOCKET(WSAAPI*)(int, int, int);
using FN_gethostbyaddr = hostent*(WSAAPI*)(const char*, int, int);
using FN_gethostbyname = hostent*(WSAAPI*)(const char*);
using FN_getprotobyname = protoent*(WSAAPI*)(const char*);
using FN_getprotobynumber = protoent*(WSAAPI*)(int);
using FN_getservbyname = servent*(WSAAPI*)(const char*, const char*);
using FN_getservbyport = servent*(WSAAPI*)(int, const char*);
using FN_gethostname = int(WSAAPI*)(char*, int);
using FN_getaddrinfo = int(WSAAPI*)(const char*, const char*, const ADDRINFOA*, ADDRINFOA**);
using FN_freeaddrinfo = void(WSAAPI*)(ADDRINFOA*);
using FN_getnameinfo = int(WSAAPI*)(const sockaddr*, socklen_t, char*, DWORD, char*, DWORD, int);

struct RawEntries {
  FN_WSAIoctl WSAIoctl;
  FN_WSAFDIsSet WSAFDIsSet;
  FN_closesocket closesocket;
  FN_ioctlsocket ioctlsocket;
  FN_WSAGetLastError WSAGetLastError;
  FN_WSAStartup WSAStartup;
  FN_WSACleanup WSACleanup;
  FN_accept accept;
  FN_bind bind;
  FN_connect connect;
  FN_getpeername getpeername;
  FN_getsockname getsockname;
  FN_getsockopt getsockopt;
  FN_htonl htonl;
  FN_htons htons;
  FN_inet_addr inet_addr;
  FN_inet_ntoa inet_ntoa;
  FN_listen listen;
  FN_ntohl ntohl;
  FN_ntohs ntohs;
  FN_recv recv;
  FN_recvfrom recvfrom;
  FN_select select;
  FN_send send;
  FN_sendto sendto;
  FN_setsockopt setsockopt;
  FN_shutdown shutdown;
  FN_socket socket;
  FN_gethostbyaddr gethostbyaddr;
  FN_gethostbyname gethostbyname;
  FN_getprotobyname getprotobyname;
  FN_getprotobynumber getprotobynumber;
  FN_getservbyname getservbyname;
  FN_getservbyport getservbyport;
  FN_gethostname gethostname;
  FN_getaddrinfo getaddrinfo;
  FN_freeaddrinfo freeaddrinfo;
  FN_getnameinfo getnameinfo;
};

RawEntries raw{};
HMODULE gLib = nullptr;
HMODULE gIPv6Lib = nullptr;

template <class F>
void BindName(HMODULE lib, const char* name, F& fn) {
  fn = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(lib, name)));
}

void ToFdSet(const TFDSet* in, fd_set& out) {
  out.fd_count = 0;
  const Cardinal n = in->fd_count < static_cast<Cardinal>(Ws::FdSetSize) ? in->fd_count : Ws::FdSetSize;
  for (Cardinal i = 0; i < n && i < FD_SETSIZE; ++i)
    out.fd_array[out.fd_count++] = static_cast<SOCKET>(in->fd_array[i]);
}

void FromFdSet(const fd_set& in, TFDSet* out) {
  out->fd_count = 0;
  for (u_int i = 0; i < in.fd_count && i < static_cast<u_int>(Ws::FdSetSize); ++i) {
    out->fd_array[out->fd_count++] = static_cast<TSocket>(in.fd_array[i]);
  }
}

const sockaddr* Sa(const TVarSin& s) { return reinterpret_cast<const sockaddr*>(&s); }
sockaddr* Sa(TVarSin& s) { return reinterpret_cast<sockaddr*>(&s); }

// --- portable entries over the raw ones

Integer W_WSAIoctl(TSocket s, Cardinal code, const void* inBuf, Cardinal inLen, void* outBuf, Cardinal outLen,
                   Cardinal* bytesReturned) {
  DWORD got = 0;
  const int r = raw.WSAIoctl(static_cast<SOCKET>(s), code, const_cast<void*>(inBuf), inLen, outBuf, outLen, &got,
                             nullptr, nullptr);
  if (bytesReturned) *bytesReturned = got;
  return r;
}

Integer W_WSAFDIsSet(TSocket s, const TFDSet& set) {
  fd_set f;
  ToFdSet(&set, f);
  return raw.WSAFDIsSet(static_cast<SOCKET>(s), &f);
}

Integer W_closesocket(TSocket s) { return raw.closesocket(static_cast<SOCKET>(s)); }

Integer W_ioctlsocket(TSocket s, Integer cmd, Cardinal& arg) {
  u_long a = arg;
  const int r = raw.ioctlsocket(static_cast<SOCKET>(s), cmd, &a);
  arg = static_cast<Cardinal>(a);
  return r;
}

Integer W_WSAGetLastError() { return raw.WSAGetLastError(); }

Integer W_WSAStartup(Word version, TWSAData& data) {
  WSADATA d{};
  const int r = raw.WSAStartup(version, &d);
  data = TWSAData();
  data.wVersion = d.wVersion;
  data.wHighVersion = d.wHighVersion;
  std::memcpy(data.szDescription, d.szDescription, sizeof(data.szDescription) - 1);
  std::memcpy(data.szSystemStatus, d.szSystemStatus, sizeof(data.szSystemStatus) - 1);
  data.iMaxSockets = d.iMaxSockets;
  data.iMaxUdpDg = d.iMaxUdpDg;
  return r;
}

Integer W_WSACleanup() { return raw.WSACleanup(); }

TSocket W_accept(TSocket s, TVarSin* addr, Integer* addrLen) {
  int len = addrLen ? *addrLen : 0;
  const SOCKET r = raw.accept(static_cast<SOCKET>(s), addr ? Sa(*addr) : nullptr, addrLen ? &len : nullptr);
  if (addrLen) *addrLen = len;
  return r == INVALID_SOCKET ? INVALID_SOCKET_HANDLE : static_cast<TSocket>(r);
}

Integer W_bind(TSocket s, const TVarSin& addr, Integer len) { return raw.bind(static_cast<SOCKET>(s), Sa(addr), len); }

Integer W_connect(TSocket s, const TVarSin& addr, Integer len) {
  return raw.connect(static_cast<SOCKET>(s), Sa(addr), len);
}

Integer W_getpeername(TSocket s, TVarSin& addr, Integer& len) {
  int l = len;
  const int r = raw.getpeername(static_cast<SOCKET>(s), Sa(addr), &l);
  len = l;
  return r;
}

Integer W_getsockname(TSocket s, TVarSin& addr, Integer& len) {
  int l = len;
  const int r = raw.getsockname(static_cast<SOCKET>(s), Sa(addr), &l);
  len = l;
  return r;
}

Integer W_getsockopt(TSocket s, Integer level, Integer name, void* val, Integer& len) {
  int l = len;
  const int r = raw.getsockopt(static_cast<SOCKET>(s), level, name, static_cast<char*>(val), &l);
  len = l;
  return r;
}

Cardinal W_htonl(Cardinal v) { return raw.htonl(v); }
Word W_htons(Word v) { return raw.htons(v); }
Cardinal W_ntohl(Cardinal v) { return raw.ntohl(v); }
Word W_ntohs(Word v) { return raw.ntohs(v); }
Cardinal W_inet_addr(const char* text) { return static_cast<Cardinal>(raw.inet_addr(text)); }

const char* W_inet_ntoa(TInAddr addr) {
  in_addr a;
  std::memcpy(&a, addr.S_bytes, 4);
  return raw.inet_ntoa(a);
}

Integer W_listen(TSocket s, Integer backlog) { return raw.listen(static_cast<SOCKET>(s), backlog); }

Integer W_recv(TSocket s, void* buf, Integer len, Integer flags) {
  return raw.recv(static_cast<SOCKET>(s), static_cast<char*>(buf), len, flags);
}

Integer W_recvfrom(TSocket s, void* buf, Integer len, Integer flags, TVarSin* from, Integer* fromLen) {
  int l = fromLen ? *fromLen : 0;
  const int r = raw.recvfrom(static_cast<SOCKET>(s), static_cast<char*>(buf), len, flags, from ? Sa(*from) : nullptr,
                             fromLen ? &l : nullptr);
  if (fromLen) *fromLen = l;
  return r;
}

Integer W_select(Integer nfds, TFDSet* readFds, TFDSet* writeFds, TFDSet* exceptFds, const TTimeVal* timeout) {
  fd_set r, w, e;
  if (readFds) ToFdSet(readFds, r);
  if (writeFds) ToFdSet(writeFds, w);
  if (exceptFds) ToFdSet(exceptFds, e);
  timeval tv{};
  if (timeout) {
    tv.tv_sec = timeout->tv_sec;
    tv.tv_usec = timeout->tv_usec;
  }
  const int n = raw.select(nfds, readFds ? &r : nullptr, writeFds ? &w : nullptr, exceptFds ? &e : nullptr,
                           timeout ? &tv : nullptr);
  if (n >= 0) {
    if (readFds) FromFdSet(r, readFds);
    if (writeFds) FromFdSet(w, writeFds);
    if (exceptFds) FromFdSet(e, exceptFds);
  }
  return n;
}

Integer W_send(TSocket s, const void* buf, Integer len, Integer flags) {
  return raw.send(static_cast<SOCKET>(s), static_cast<const char*>(buf), len, flags);
}

Integer W_sendto(TSocket s, const void* buf, Integer len, Integer flags, const TVarSin& to, Integer toLen) {
  return raw.sendto(static_cast<SOCKET>(s), static_cast<const char*>(buf), len, flags, Sa(to), toLen);
}

Integer W_setsockopt(TSocket s, Integer level, Integer name, const void* val, Integer len) {
  return raw.setsockopt(static_cast<SOCKET>(s), level, name, static_cast<const char*>(val), len);
}

Integer W_shutdown(TSocket s, Integer how) { return raw.shutdown(static_cast<SOCKET>(s), how); }

TSocket W_socket(Integer af, Integer type, Integer protocol) {
  const SOCKET r = raw.socket(af, type, protocol);
  return r == INVALID_SOCKET ? INVALID_SOCKET_HANDLE : static_cast<TSocket>(r);
}

// Results of the older resolver functions; the caller holds the lock.
THostEnt gHostEnt;
TServEnt gServEnt;
TProtoEnt gProtoEnt;

THostEnt* WrapHost(hostent* h) {
  if (!h) return nullptr;
  gHostEnt.h_name = h->h_name;
  gHostEnt.h_aliases = h->h_aliases;
  gHostEnt.h_addrtype = h->h_addrtype;
  gHostEnt.h_length = h->h_length;
  gHostEnt.h_addr_list = h->h_addr_list;
  return &gHostEnt;
}

TProtoEnt* WrapProto(protoent* p) {
  if (!p) return nullptr;
  gProtoEnt.p_name = p->p_name;
  gProtoEnt.p_aliases = p->p_aliases;
  gProtoEnt.p_proto = p->p_proto;
  return &gProtoEnt;
}

TServEnt* WrapServ(servent* s) {
  if (!s) return nullptr;
  gServEnt.s_name = s->s_name;
  gServEnt.s_aliases = s->s_aliases;
  gServEnt.s_port = static_cast<Word>(s->s_port);
  gServEnt.s_proto = s->s_proto;
  return &gServEnt;
}

THostEnt* W_gethostbyaddr(const void* addr, Integer len, Integer type) {
  return WrapHost(raw.gethostbyaddr(static_cast<const char*>(addr), len, type));
}
THostEnt* W_gethostbyname(const char* name) { return WrapHost(raw.gethostbyname(name)); }
TProtoEnt* W_getprotobyname(const char* name) { return WrapProto(raw.getprotobyname(name)); }
TProtoEnt* W_getprotobynumber(Integer proto) { return WrapProto(raw.getprotobynumber(proto)); }
TServEnt* W_getservbyname(const char* name, const char* proto) { return WrapServ(raw.getservbyname(name, proto)); }
TServEnt* W_getservbyport(Integer port, const char* proto) { return WrapServ(raw.getservbyport(port, proto)); }
Integer W_gethostname(char* name, Integer len) { return raw.gethostname(name, len); }

Integer W_getaddrinfo(const char* node, const char* service, const TAddrInfo* hints, TAddrInfo** res) {
  if (!res) return WSAEFAULT;
  *res = nullptr;
  ADDRINFOA h{};
  if (hints) {
    h.ai_flags = hints->ai_flags;
    h.ai_family = hints->ai_family;
    h.ai_socktype = hints->ai_socktype;
    h.ai_protocol = hints->ai_protocol;
  }
  ADDRINFOA* list = nullptr;
  const int r = raw.getaddrinfo(node, service, hints ? &h : nullptr, &list);
  if (r != 0) return r;
  TAddrInfo* head = nullptr;
  TAddrInfo** tail = &head;
  for (ADDRINFOA* a = list; a; a = a->ai_next) {
    if (!a->ai_addr || (a->ai_family != AF_INET && a->ai_family != AF_INET6)) continue;
    TAddrInfo* n = NewAddrInfo(a->ai_flags, a->ai_family, a->ai_socktype, a->ai_protocol, a->ai_addr, a->ai_addrlen,
                               a->ai_canonname);
    *tail = n;
    tail = &n->ai_next;
  }
  raw.freeaddrinfo(list);
  if (!head) return WSANO_DATA;
  *res = head;
  return 0;
}

Integer W_getnameinfo(const TVarSin& addr, Integer addrLen, char* host, Cardinal hostLen, char* serv, Cardinal servLen,
                      Integer flags) {
  return raw.getnameinfo(Sa(addr), addrLen, host, hostLen, serv, servLen, flags);
}

template <class Raw, class Portable, class Fn>
void Entry(Raw rawFn, Portable& slot, Fn fn) {
  slot = rawFn ? fn : nullptr;
}

}  // namespace

namespace SockApiPlatform {

bool Load(const String& Name, TSocketFunctions& Table, bool& Enhanced, bool& IPv6Helper) {
  const String name = Name.empty() ? String(u"ws2_32.dll") : Name;
  gLib = ::LoadLibraryW(WideCStr(name));
  if (!gLib) return false;
  raw = RawEntries{};
  BindName(gLib, "WSAIoctl", raw.WSAIoctl);
  BindName(gLib, "__WSAFDIsSet", raw.WSAFDIsSet);
  BindName(gLib, "closesocket", raw.closesocket);
  BindName(gLib, "ioctlsocket", raw.ioctlsocket);
  BindName(gLib, "WSAGetLastError", raw.WSAGetLastError);
  BindName(gLib, "WSAStartup", raw.WSAStartup);
  BindName(gLib, "WSACleanup", raw.WSACleanup);
  BindName(gLib, "accept", raw.accept);
  BindName(gLib, "bind", raw.bind);
  BindName(gLib, "connect", raw.connect);
  BindName(gLib, "getpeername", raw.getpeername);
  BindName(gLib, "getsockname", raw.getsockname);
  BindName(gLib, "getsockopt", raw.getsockopt);
  BindName(gLib, "htonl", raw.htonl);
  BindName(gLib, "htons", raw.htons);
  BindName(gLib, "inet_addr", raw.inet_addr);
  BindName(gLib, "inet_ntoa", raw.inet_ntoa);
  BindName(gLib, "listen", raw.listen);
  BindName(gLib, "ntohl", raw.ntohl);
  BindName(gLib, "ntohs", raw.ntohs);
  BindName(gLib, "recv", raw.recv);
  BindName(gLib, "recvfrom", raw.recvfrom);
  BindName(gLib, "select", raw.select);
  BindName(gLib, "send", raw.send);
  BindName(gLib, "sendto", raw.sendto);
  BindName(gLib, "setsockopt", raw.setsockopt);
  BindName(gLib, "shutdown", raw.shutdown);
  BindName(gLib, "socket", raw.socket);
  BindName(gLib, "gethostbyaddr", raw.gethostbyaddr);
  BindName(gLib, "gethostbyname", raw.gethostbyname);
  BindName(gLib, "getprotobyname", raw.getprotobyname);
  BindName(gLib, "getprotobynumber", raw.getprotobynumber);
  BindName(gLib, "getservbyname", raw.getservbyname);
  BindName(gLib, "getservbyport", raw.getservbyport);
  BindName(gLib, "gethostname", raw.gethostname);
  BindName(gLib, "getaddrinfo", raw.getaddrinfo);
  BindName(gLib, "freeaddrinfo", raw.freeaddrinfo);
  BindName(gLib, "getnameinfo", raw.getnameinfo);

  Enhanced = raw.getaddrinfo && raw.freeaddrinfo && raw.getnameinfo;
  IPv6Helper = false;
  if (!Enhanced) {
    gIPv6Lib = ::LoadLibraryW(L"wship6.dll");
    if (gIPv6Lib) {
      BindName(gIPv6Lib, "getaddrinfo", raw.getaddrinfo);
      BindName(gIPv6Lib, "freeaddrinfo", raw.freeaddrinfo);
      BindName(gIPv6Lib, "getnameinfo", raw.getnameinfo);
      IPv6Helper = raw.getaddrinfo && raw.freeaddrinfo && raw.getnameinfo;
    }
  }

  Table = TSocketFunctions();
  Entry(raw.WSAIoctl, Table.WSAIoctl, W_WSAIoctl);
  Entry(raw.WSAFDIsSet, Table.WSAFDIsSet, W_WSAFDIsSet);
  Entry(raw.closesocket, Table.closesocket, W_closesocket);
  Entry(raw.ioctlsocket, Table.ioctlsocket, W_ioctlsocket);
  Entry(raw.WSAGetLastError, Table.WSAGetLastError, W_WSAGetLastError);
  Entry(raw.WSAStartup, Table.WSAStartup, W_WSAStartup);
  Entry(raw.WSACleanup, Table.WSACleanup, W_WSACleanup);
  Entry(raw.accept, Table.accept, W_accept);
  Entry(raw.bind, Table.bind, W_bind);
  Entry(raw.connect, Table.connect, W_connect);
  Entry(raw.getpeername, Table.getpeername, W_getpeername);
  Entry(raw.getsockname, Table.getsockname, W_getsockname);
  Entry(raw.getsockopt, Table.getsockopt, W_getsockopt);
  Entry(raw.htonl, Table.htonl, W_htonl);
  Entry(raw.htons, Table.htons, W_htons);
  Entry(raw.inet_addr, Table.inet_addr, W_inet_addr);
  Entry(raw.inet_ntoa, Table.inet_ntoa, W_inet_ntoa);
  Entry(raw.listen, Table.listen, W_listen);
  Entry(raw.ntohl, Table.ntohl, W_ntohl);
  Entry(raw.ntohs, Table.ntohs, W_ntohs);
  Entry(raw.recv, Table.recv, W_recv);
  Entry(raw.recvfrom, Table.recvfrom, W_recvfrom);
  Entry(raw.select, Table.select, W_select);
  Entry(raw.send, Table.send, W_send);
  Entry(raw.sendto, Table.sendto, W_sendto);
  Entry(raw.setsockopt, Table.setsockopt, W_setsockopt);
  Entry(raw.shutdown, Table.shutdown, W_shutdown);
  Entry(raw.socket, Table.socket, W_socket);
  Entry(raw.gethostbyaddr, Table.gethostbyaddr, W_gethostbyaddr);
  Entry(raw.gethostbyname, Table.gethostbyname, W_gethostbyname);
  Entry(raw.getprotobyname, Table.getprotobyname, W_getprotobyname);
  Entry(raw.getprotobynumber, Table.getprotobynumber, W_getprotobynumber);
  Entry(raw.getservbyname, Table.getservbyname, W_getservbyname);
  Entry(raw.getservbyport, Table.getservbyport, W_getservbyport);
  Entry(raw.gethostname, Table.gethostname, W_gethostname);
  Entry(raw.getaddrinfo, Table.getaddrinfo, W_getaddrinfo);
  Entry(raw.freeaddrinfo, Table.freeaddrinfo, FreeAddrInfoList);
  Entry(raw.getnameinfo, Table.getnameinfo, W_getnameinfo);
  return true;
}

void Unload() {
  if (gIPv6Lib) ::FreeLibrary(gIPv6Lib);
  if (gLib) ::FreeLibrary(gLib);
  gIPv6Lib = nullptr;
  gLib = nullptr;
  raw = RawEntries{};
}

}  // namespace SockApiPlatform
