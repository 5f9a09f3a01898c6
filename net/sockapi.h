#pragma once
// The socket library binding: one table of socket functions with portable
// signatures, filled by LoadSocketLibrary. On Windows the entries are bound by
// name from "ws2_32.dll" (with "wship6.dll" supplying the resolver when the
// main library lacks it); elsewhere they are bound to the POSIX socket API.
//
// Everything the table passes is in Winsock terms on every platform: address
// families 2/23, the Winsock option and ioctl numbers, the Winsock socket
// address layout (TVarSin) and Winsock error codes (WSAGetLastError and the
// resolver results), so the code above it and its error texts are one.
//
// This header includes no platform header.
#include <cstddef>
#include <mutex>
#include <vector>

#include "rtl/Types.h"

// A socket handle; -1 (INVALID_SOCKET) when there is none. Wide enough for a
// Winsock SOCKET on 64-bit Windows.
using TSocket = NativeInt;
constexpr TSocket INVALID_SOCKET_HANDLE = -1;
constexpr Integer SOCKET_ERROR_RESULT = -1;

// Winsock numbering, used on every platform. The names carry a "Ws" prefix
// because the platform headers define the usual upper-case names as macros.
namespace Ws {
constexpr Integer AfUnspec = 0;
constexpr Integer AfInet = 2;
constexpr Integer AfInet6 = 23;

constexpr Integer SockStream = 1;
constexpr Integer SockDgram = 2;
constexpr Integer SockRaw = 3;

constexpr Integer IpprotoIp = 0;
constexpr Integer IpprotoIcmp = 1;
constexpr Integer IpprotoTcp = 6;
constexpr Integer IpprotoUdp = 17;
constexpr Integer IpprotoIpv6 = 41;

constexpr Integer SolSocket = 0xFFFF;
constexpr Integer SoDebug = 0x0001;
constexpr Integer SoReuseAddr = 0x0004;
constexpr Integer SoKeepAlive = 0x0008;
constexpr Integer SoBroadcast = 0x0020;
constexpr Integer SoLinger = 0x0080;
constexpr Integer SoSndBuf = 0x1001;
constexpr Integer SoRcvBuf = 0x1002;
constexpr Integer SoSndTimeo = 0x1005;
constexpr Integer SoRcvTimeo = 0x1006;
constexpr Integer SoError = 0x1007;
constexpr Integer SoType = 0x1008;

constexpr Integer IpTtl = 4;             // level IpprotoIp
constexpr Integer IpMulticastTtl = 10;   // level IpprotoIp
constexpr Integer IpMulticastLoop = 11;  // level IpprotoIp
// Level IpprotoIpv6: the numbers the socket layer uses for TTL, multicast
// hops and multicast loop on IPv6 sockets.
constexpr Integer Ipv6UnicastHops = 8;
constexpr Integer Ipv6MulticastHops = 10;
constexpr Integer Ipv6MulticastLoop = 11;

constexpr Integer TcpNoDelay = 0x0001;  // level IpprotoTcp

constexpr Integer MsgOob = 0x1;
constexpr Integer MsgPeek = 0x2;

constexpr Integer SdReceive = 0;
constexpr Integer SdSend = 1;
constexpr Integer SdBoth = 2;

constexpr Integer SomaxConn = 0x7FFFFFFF;

// ioctlsocket commands (the argument is an unsigned 32-bit number).
constexpr Integer Fionread = 0x4004667F;
constexpr Integer Fionbio = static_cast<Integer>(0x8004667EU);

// getaddrinfo hints and getnameinfo flags.
constexpr Integer AiPassive = 0x1;
constexpr Integer AiCanonName = 0x2;
constexpr Integer AiNumericHost = 0x4;
constexpr Integer NiNoFqdn = 0x01;
constexpr Integer NiNumericHost = 0x02;
constexpr Integer NiNameReqd = 0x04;
constexpr Integer NiNumericServ = 0x08;
constexpr Integer NiDgram = 0x10;

constexpr Cardinal InaddrAny = 0x00000000;
constexpr Cardinal InaddrNone = 0xFFFFFFFF;  // also inet_addr's "cannot read it"
constexpr Cardinal InaddrBroadcast = 0xFFFFFFFF;

constexpr Integer FdSetSize = 64;
constexpr Integer MaxHostNameLength = 1025;  // NI_MAXHOST
constexpr Integer MaxServiceLength = 32;     // NI_MAXSERV
}  // namespace Ws

// Winsock error codes (WSAGetLastError, resolver results), on every platform.
namespace Wsa {
constexpr Integer EIntr = 10004;
constexpr Integer EBadF = 10009;
constexpr Integer EAcces = 10013;
constexpr Integer EFault = 10014;
constexpr Integer EInval = 10022;
constexpr Integer EMFile = 10024;
constexpr Integer EWouldBlock = 10035;
constexpr Integer EInProgress = 10036;
constexpr Integer EAlready = 10037;
constexpr Integer ENotSock = 10038;
constexpr Integer EDestAddrReq = 10039;
constexpr Integer EMsgSize = 10040;
constexpr Integer EPrototype = 10041;
constexpr Integer ENoProtoOpt = 10042;
constexpr Integer EProtoNoSupport = 10043;
constexpr Integer ESocktNoSupport = 10044;
constexpr Integer EOpNotSupp = 10045;
constexpr Integer EPfNoSupport = 10046;
constexpr Integer EAfNoSupport = 10047;
constexpr Integer EAddrInUse = 10048;
constexpr Integer EAddrNotAvail = 10049;
constexpr Integer ENetDown = 10050;
constexpr Integer ENetUnreach = 10051;
constexpr Integer ENetReset = 10052;
constexpr Integer EConnAborted = 10053;
constexpr Integer EConnReset = 10054;
constexpr Integer ENoBufs = 10055;
constexpr Integer EIsConn = 10056;
constexpr Integer ENotConn = 10057;
constexpr Integer EShutdown = 10058;
constexpr Integer ETooManyRefs = 10059;
constexpr Integer ETimedOut = 10060;
constexpr Integer EConnRefused = 10061;
constexpr Integer ELoop = 10062;
constexpr Integer ENameTooLong = 10063;
constexpr Integer EHostDown = 10064;
constexpr Integer EHostUnreach = 10065;
constexpr Integer ENotEmpty = 10066;
constexpr Integer EProcLim = 10067;
constexpr Integer EUsers = 10068;
constexpr Integer EDQuot = 10069;
constexpr Integer EStale = 10070;
constexpr Integer ERemote = 10071;
constexpr Integer SysNotReady = 10091;
constexpr Integer VerNotSupported = 10092;
constexpr Integer NotInitialised = 10093;
constexpr Integer EDiscon = 10101;
constexpr Integer HostNotFound = 11001;
constexpr Integer TryAgain = 11002;
constexpr Integer NoRecovery = 11003;
constexpr Integer NoData = 11004;
}  // namespace Wsa

// The Winsock socket address, 28 bytes: an IPv4 address uses the first 16
// (family, port, address, 8 zero bytes), an IPv6 address all 28. Ports are in
// network byte order. AddressFamily is Ws::AfInet or Ws::AfInet6.
struct TVarSin {
  Word AddressFamily;
  Word sin_port;  // also sin6_port
  union {
    Byte sin_addr[4];
    Cardinal sin6_flowinfo;
  };
  union {
    Byte sin_zero[8];
    Byte sin6_addr[16];
  };
  Cardinal sin6_scope_id;

  TVarSin() { Clear(); }
  void Clear();
  Word sin6_port() const { return sin_port; }
};
static_assert(sizeof(TVarSin) == 28, "TVarSin must have the Winsock layout");

struct TInAddr {
  Byte S_bytes[4];
};
using TInAddr6 = Byte[16];

extern const Byte IPv6AnyAddress[16];       // ::
extern const Byte IPv6LoopbackAddress[16];  // ::1

// Winsock's descriptor set: a count and up to 64 handles.
struct TFDSet {
  Cardinal fd_count = 0;
  TSocket fd_array[Ws::FdSetSize] = {};
};

struct TTimeVal {
  Integer tv_sec = 0;
  Integer tv_usec = 0;
};

// Winsock's linger option value.
struct TLinger {
  Word l_onoff = 0;
  Word l_linger = 0;  // seconds
};

struct TWSAData {
  Word wVersion = 0;
  Word wHighVersion = 0;
  char szDescription[257] = {};
  char szSystemStatus[129] = {};
  Word iMaxSockets = 0;
  Word iMaxUdpDg = 0;
};

// Results of the older resolver functions. They live in storage that the
// next call of the same family overwrites: read them under SocketLibraryLock().
struct THostEnt {
  char* h_name = nullptr;
  char** h_aliases = nullptr;
  Integer h_addrtype = 0;  // Ws::AfInet
  Integer h_length = 0;
  char** h_addr_list = nullptr;  // null-terminated; each h_length bytes
};
struct TServEnt {
  char* s_name = nullptr;
  char** s_aliases = nullptr;
  Word s_port = 0;  // network byte order
  char* s_proto = nullptr;
};
struct TProtoEnt {
  char* p_name = nullptr;
  char** p_aliases = nullptr;
  Integer p_proto = 0;
};

// One result of getaddrinfo, in the table's own form.
struct TAddrInfo {
  Integer ai_flags = 0;
  Integer ai_family = 0;
  Integer ai_socktype = 0;
  Integer ai_protocol = 0;
  std::size_t ai_addrlen = 0;
  char* ai_canonname = nullptr;
  TVarSin* ai_addr = nullptr;
  TAddrInfo* ai_next = nullptr;
};

// The bound entry points. An entry the library lacks stays null; the helpers
// below test the entries they depend on. Functions answer -1 on failure and
// leave the Winsock code for WSAGetLastError; the resolver functions return
// their code.
struct TSocketFunctions {
  Integer (*WSAIoctl)(TSocket s, Cardinal code, const void* inBuf, Cardinal inLen, void* outBuf, Cardinal outLen,
                      Cardinal* bytesReturned) = nullptr;
  Integer (*WSAFDIsSet)(TSocket s, const TFDSet& set) = nullptr;
  Integer (*closesocket)(TSocket s) = nullptr;
  Integer (*ioctlsocket)(TSocket s, Integer cmd, Cardinal& arg) = nullptr;
  Integer (*WSAGetLastError)() = nullptr;
  Integer (*WSAStartup)(Word versionRequired, TWSAData& data) = nullptr;
  Integer (*WSACleanup)() = nullptr;
  TSocket (*accept)(TSocket s, TVarSin* addr, Integer* addrLen) = nullptr;
  Integer (*bind)(TSocket s, const TVarSin& addr, Integer addrLen) = nullptr;
  Integer (*connect)(TSocket s, const TVarSin& addr, Integer addrLen) = nullptr;
  Integer (*getpeername)(TSocket s, TVarSin& addr, Integer& addrLen) = nullptr;
  Integer (*getsockname)(TSocket s, TVarSin& addr, Integer& addrLen) = nullptr;
  Integer (*getsockopt)(TSocket s, Integer level, Integer optName, void* optVal, Integer& optLen) = nullptr;
  Cardinal (*htonl)(Cardinal v) = nullptr;
  Word (*htons)(Word v) = nullptr;
  Cardinal (*inet_addr)(const char* text) = nullptr;  // network order; Ws::InaddrNone when unreadable
  const char* (*inet_ntoa)(TInAddr addr) = nullptr;
  Integer (*listen)(TSocket s, Integer backlog) = nullptr;
  Cardinal (*ntohl)(Cardinal v) = nullptr;
  Word (*ntohs)(Word v) = nullptr;
  Integer (*recv)(TSocket s, void* buf, Integer len, Integer flags) = nullptr;
  Integer (*recvfrom)(TSocket s, void* buf, Integer len, Integer flags, TVarSin* from, Integer* fromLen) = nullptr;
  // Waits for the sets' sockets; a null timeout waits without limit. On
  // return each set holds only the ready sockets; the result is their count.
  Integer (*select)(Integer nfds, TFDSet* readFds, TFDSet* writeFds, TFDSet* exceptFds,
                    const TTimeVal* timeout) = nullptr;
  Integer (*send)(TSocket s, const void* buf, Integer len, Integer flags) = nullptr;
  Integer (*sendto)(TSocket s, const void* buf, Integer len, Integer flags, const TVarSin& to, Integer toLen) = nullptr;
  Integer (*setsockopt)(TSocket s, Integer level, Integer optName, const void* optVal, Integer optLen) = nullptr;
  Integer (*shutdown)(TSocket s, Integer how) = nullptr;
  TSocket (*socket)(Integer af, Integer type, Integer protocol) = nullptr;
  THostEnt* (*gethostbyaddr)(const void* addr, Integer len, Integer type) = nullptr;
  THostEnt* (*gethostbyname)(const char* name) = nullptr;
  TProtoEnt* (*getprotobyname)(const char* name) = nullptr;
  TProtoEnt* (*getprotobynumber)(Integer proto) = nullptr;
  TServEnt* (*getservbyname)(const char* name, const char* proto) = nullptr;
  TServEnt* (*getservbyport)(Integer port, const char* proto) = nullptr;  // port in network order
  Integer (*gethostname)(char* name, Integer len) = nullptr;
  Integer (*getaddrinfo)(const char* node, const char* service, const TAddrInfo* hints, TAddrInfo** res) = nullptr;
  void (*freeaddrinfo)(TAddrInfo* ai) = nullptr;
  Integer (*getnameinfo)(const TVarSin& addr, Integer addrLen, char* host, Cardinal hostLen, char* serv,
                         Cardinal servLen, Integer flags) = nullptr;
};

// The process-wide table. Filled by LoadSocketLibrary, emptied when the last
// load is undone. Tests may replace entries (and must restore them).
extern TSocketFunctions SocketFunctions;

// EnhancedResolverAvailable: the main library exports getaddrinfo,
// freeaddrinfo and getnameinfo. IPv6HelperResolverAvailable: those three came
// from "wship6.dll" instead.
extern bool EnhancedResolverAvailable;
extern bool IPv6HelperResolverAvailable;

// The record filled by the socket layer's start-up call (WSAStartup).
extern TWSAData WsaDataOnce;

// The one process-wide lock of the socket layer: held while loading and
// unloading, and around every call of the older, non-reentrant resolver
// functions. Recursive.
std::recursive_mutex& SocketLibraryLock();

// Name empty means "ws2_32.dll". Counted: only the first load binds, only the
// last unload frees. On POSIX only the empty name and "ws2_32.dll" load (they
// stand for the system's own sockets); any other name fails, as a missing
// DLL does on Windows.
bool LoadSocketLibrary(const String& Name = String());
bool UnloadSocketLibrary();
Integer SocketLibraryLoadCount();

// Descriptor sets: at most 64 sockets; further ones are ignored.
void FD_Zero(TFDSet& Set);
void FD_Add(TSocket Socket, TFDSet& Set);
void FD_Remove(TSocket Socket, TFDSet& Set);
bool FD_Contains(TSocket Socket, const TFDSet& Set);

// 16 for IPv4, 28 for IPv6, 0 otherwise.
Integer SizeOfVarSin(const TVarSin& Sin);

// Thin wrappers over the table (addresses passed with SizeOfVarSin; received
// ones into a zeroed 28-byte address). Each answers -1 when its entry is
// missing, with SockGetLastError then reporting Wsa::NotInitialised.
Integer SockGetLastError();  // the calling thread's last Winsock error
Integer Bind(TSocket s, const TVarSin& Addr);
Integer Connect(TSocket s, const TVarSin& Name);
Integer GetSockName(TSocket s, TVarSin& Name);
Integer GetPeerName(TSocket s, TVarSin& Name);
TSocket Accept(TSocket s, TVarSin& Addr);
Integer Send(TSocket s, const void* Buf, Integer Len, Integer Flags);
Integer Recv(TSocket s, void* Buf, Integer Len, Integer Flags);
Integer SendTo(TSocket s, const void* Buf, Integer Len, Integer Flags, const TVarSin& AddrTo);
Integer RecvFrom(TSocket s, void* Buf, Integer Len, Integer Flags, TVarSin& From);
TSocket CreateSocketHandle(Integer Af, Integer Type, Integer Protocol);
Integer CloseSocketHandle(TSocket s);
Integer SetSockOpt(TSocket s, Integer Level, Integer OptName, const void* OptVal, Integer OptLen);
Integer GetSockOpt(TSocket s, Integer Level, Integer OptName, void* OptVal, Integer& OptLen);
Integer IoctlSocket(TSocket s, Integer Cmd, Cardinal& Arg);
Integer ListenSocket(TSocket s, Integer Backlog);
Integer ShutdownSocket(TSocket s, Integer How);
// Timeout in milliseconds, -1 without limit.
Integer Select(TFDSet* ReadFds, TFDSet* WriteFds, TFDSet* ExceptFds, Integer TimeoutMs);

// The machine's host name (gethostname into 255 bytes); empty on failure.
AnsiString LocalHostName();

// Host and port texts to a socket address (zeroed first). Family is
// Ws::AfUnspec, Ws::AfInet or Ws::AfInet6. 0 on success, else the resolver's
// Winsock code.
Integer FillSockAddr(TVarSin& Sin, const AnsiString& IP, const AnsiString& Port, bool PreferIP4, Integer SockType,
                     Integer SockProtocol, Integer Family);
// Numeric address text of an address ("" when it cannot be written).
AnsiString GetSinIP(const TVarSin& Sin);
// The port of an address, in host order.
Integer GetSinPort(const TVarSin& Sin);
// All addresses of a host, numeric, in the resolver's order; never empty
// ("0.0.0.0" alone when the name gives none).
void ResolveNameToIP(const AnsiString& Name, Integer Family, Integer SockProtocol, Integer SockType,
                     std::vector<AnsiString>& IPList);
// The port number of a port text (a number or a service name); 0 when none.
Word ResolvePort(const AnsiString& Port, Integer Family, Integer SockProtocol, Integer SockType);
// The host name of an address; the address text itself when none is found.
AnsiString ResolveIPToName(const AnsiString& IP, Integer Family, Integer SockProtocol, Integer SockType);

// getaddrinfo results in the table's own form, as both bindings build them:
// a node with a copy of its address (AddrLen bytes of Addr, at most 28) and
// of its canonical name (none when null). A list of such nodes is freed
// with FreeAddrInfoList, the table's freeaddrinfo.
TAddrInfo* NewAddrInfo(Integer Flags, Integer Family, Integer SockType, Integer Protocol, const void* Addr,
                       std::size_t AddrLen, const char* CanonName);
void FreeAddrInfoList(TAddrInfo* List);

// Platform binding, implemented once per platform (sockapi_win.cpp,
// sockapi_posix.cpp). Called under the lock by LoadSocketLibrary and
// UnloadSocketLibrary only.
namespace SockApiPlatform {
// Loads the library named (empty: the default) and fills the table and the
// two resolver flags; false when the library cannot be loaded.
bool Load(const String& Name, TSocketFunctions& Table, bool& Enhanced, bool& IPv6Helper);
void Unload();
}  // namespace SockApiPlatform
