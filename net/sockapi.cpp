#include "net/sockapi.h"

#include <cstdlib>
#include <cstring>

TSocketFunctions SocketFunctions;
bool EnhancedResolverAvailable = false;
bool IPv6HelperResolverAvailable = false;
TWSAData WsaDataOnce;

const Byte IPv6AnyAddress[16] = {};
const Byte IPv6LoopbackAddress[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

void TVarSin::Clear() { std::memset(static_cast<void*>(this), 0, sizeof(*this)); }

namespace {

Integer gLoadCount = 0;

// Set when a wrapper finds its entry point missing, so that WSAGetLastError
// tells why the call failed.
thread_local Integer tMissingEntryError = 0;

Integer MissingEntry() {
  tMissingEntryError = Wsa::NotInitialised;
  return SOCKET_ERROR_RESULT;
}

// Decimal number of a text; -1 when it is not one (or does not fit 16 bits).
Integer PortNumber(const AnsiString& text) {
  if (text.empty()) return -1;
  Integer v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
    if (v > 0xFFFF) return -1;
  }
  return v;
}

// The port number of a text, 0 when it is no number or does not fit 16 bits.
Word PortNumberOrZero(const AnsiString& text) {
  const Integer v = PortNumber(text);
  return v < 0 ? 0 : static_cast<Word>(v);
}

Word HostToNetWord(Word v) {
  const Byte b[2] = {static_cast<Byte>(v >> 8), static_cast<Byte>(v & 0xFF)};
  Word r;
  std::memcpy(&r, b, 2);
  return r;
}

Word NetToHostWord(Word v) {
  Byte b[2];
  std::memcpy(b, &v, 2);
  return static_cast<Word>((b[0] << 8) | b[1]);
}

bool UseEnhanced(Integer Family) {
  return EnhancedResolverAvailable || (Family == Ws::AfInet6 && IPv6HelperResolverAvailable);
}

bool HaveEnhancedEntries() {
  return SocketFunctions.getaddrinfo && SocketFunctions.freeaddrinfo && SocketFunctions.getnameinfo;
}

// One getaddrinfo attempt of FillSockAddr.
Integer FillOneFamily(TVarSin& Sin, const AnsiString& IP, const AnsiString& Port, Integer SockType,
                      Integer SockProtocol, Integer Family) {
  TAddrInfo hints;
  hints.ai_family = Family;
  hints.ai_socktype = SockType;
  hints.ai_protocol = SockProtocol;
  const char* node = IP.c_str();
  const char* service = Port.c_str();
  if (SockType == Ws::SockRaw) {
    hints.ai_socktype = 0;
    hints.ai_protocol = 0;
    service = nullptr;
  } else if (IP == "0.0.0.0" || IP == "::0") {
    hints.ai_flags = Ws::AiPassive;
    node = nullptr;
  } else if (IP == "127.0.0.1" || IP == "::1") {
    node = nullptr;
  }
  TAddrInfo* result = nullptr;
  const Integer r = SocketFunctions.getaddrinfo(node, service, &hints, &result);
  if (r == 0 && result && result->ai_addr) {
    std::size_t len = result->ai_addrlen;
    if (len > sizeof(TVarSin)) len = sizeof(TVarSin);
    std::memcpy(static_cast<void*>(&Sin), result->ai_addr, len);
  }
  if (result) SocketFunctions.freeaddrinfo(result);
  return r;
}

// The port of a port text on the older path: the service entry of that
// name when the protocol is known and the text is not a number, else the
// number (0 when none). Host order. Caller holds the lock.
Word OldResolvePort(const AnsiString& Port, Integer SockProtocol) {
  const Integer number = PortNumber(Port);
  if (number < 0 && SocketFunctions.getprotobynumber && SocketFunctions.getservbyname) {
    if (TProtoEnt* proto = SocketFunctions.getprotobynumber(SockProtocol)) {
      if (TServEnt* serv = SocketFunctions.getservbyname(Port.c_str(), proto->p_name)) {
        return NetToHostWord(serv->s_port);
      }
    }
  }
  return PortNumberOrZero(Port);
}

AnsiString DottedDecimal(const Byte* b) {
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
}

}  // namespace

TAddrInfo* NewAddrInfo(Integer Flags, Integer Family, Integer SockType, Integer Protocol, const void* Addr,
                       std::size_t AddrLen, const char* CanonName) {
  auto* Node = new TAddrInfo;
  Node->ai_flags = Flags;
  Node->ai_family = Family;
  Node->ai_socktype = SockType;
  Node->ai_protocol = Protocol;
  Node->ai_addr = new TVarSin();
  Node->ai_addrlen = AddrLen < sizeof(TVarSin) ? AddrLen : sizeof(TVarSin);
  std::memcpy(static_cast<void*>(Node->ai_addr), Addr, Node->ai_addrlen);
  if (CanonName) {
    const std::size_t n = std::strlen(CanonName);
    Node->ai_canonname = new char[n + 1];
    std::memcpy(Node->ai_canonname, CanonName, n + 1);
  }
  return Node;
}

void FreeAddrInfoList(TAddrInfo* List) {
  while (List) {
    TAddrInfo* Next = List->ai_next;
    delete List->ai_addr;
    delete[] List->ai_canonname;
    delete List;
    List = Next;
  }
}

std::recursive_mutex& SocketLibraryLock() {
  static std::recursive_mutex lock;
  return lock;
}

bool LoadSocketLibrary(const String& Name) {
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  if (gLoadCount > 0) {
    ++gLoadCount;
    return true;
  }
  TSocketFunctions table;
  bool enhanced = false;
  bool helper = false;
  if (!SockApiPlatform::Load(Name, table, enhanced, helper)) return false;
  SocketFunctions = table;
  EnhancedResolverAvailable = enhanced;
  IPv6HelperResolverAvailable = helper;
  gLoadCount = 1;
  return true;
}

bool UnloadSocketLibrary() {
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  if (gLoadCount > 0) --gLoadCount;
  if (gLoadCount == 0) {
    SockApiPlatform::Unload();
    SocketFunctions = TSocketFunctions();
  }
  return true;
}

Integer SocketLibraryLoadCount() {
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  return gLoadCount;
}

void FD_Zero(TFDSet& Set) {
  Set.fd_count = 0;
  for (auto& s : Set.fd_array) s = INVALID_SOCKET_HANDLE;
}

void FD_Add(TSocket Socket, TFDSet& Set) {
  if (FD_Contains(Socket, Set)) return;
  if (Set.fd_count < static_cast<Cardinal>(Ws::FdSetSize)) Set.fd_array[Set.fd_count++] = Socket;
}

void FD_Remove(TSocket Socket, TFDSet& Set) {
  for (Cardinal i = 0; i < Set.fd_count; ++i) {
    if (Set.fd_array[i] == Socket) {
      for (Cardinal j = i + 1; j < Set.fd_count; ++j) Set.fd_array[j - 1] = Set.fd_array[j];
      --Set.fd_count;
      return;
    }
  }
}

bool FD_Contains(TSocket Socket, const TFDSet& Set) {
  const Cardinal n = Set.fd_count < static_cast<Cardinal>(Ws::FdSetSize) ? Set.fd_count : Ws::FdSetSize;
  for (Cardinal i = 0; i < n; ++i) {
    if (Set.fd_array[i] == Socket) return true;
  }
  return false;
}

Integer SizeOfVarSin(const TVarSin& Sin) {
  switch (Sin.AddressFamily) {
    case Ws::AfInet:
      return 16;
    case Ws::AfInet6:
      return 28;
    default:
      return 0;
  }
}

Integer SockGetLastError() {
  if (tMissingEntryError != 0) {
    const Integer e = tMissingEntryError;
    tMissingEntryError = 0;
    return e;
  }
  return SocketFunctions.WSAGetLastError ? SocketFunctions.WSAGetLastError() : Wsa::NotInitialised;
}

Integer Bind(TSocket s, const TVarSin& Addr) {
  if (!SocketFunctions.bind) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.bind(s, Addr, SizeOfVarSin(Addr));
}

Integer Connect(TSocket s, const TVarSin& Name) {
  if (!SocketFunctions.connect) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.connect(s, Name, SizeOfVarSin(Name));
}

Integer GetSockName(TSocket s, TVarSin& Name) {
  Name.Clear();
  if (!SocketFunctions.getsockname) return MissingEntry();
  tMissingEntryError = 0;
  Integer len = sizeof(TVarSin);
  return SocketFunctions.getsockname(s, Name, len);
}

Integer GetPeerName(TSocket s, TVarSin& Name) {
  Name.Clear();
  if (!SocketFunctions.getpeername) return MissingEntry();
  tMissingEntryError = 0;
  Integer len = sizeof(TVarSin);
  return SocketFunctions.getpeername(s, Name, len);
}

TSocket Accept(TSocket s, TVarSin& Addr) {
  Addr.Clear();
  if (!SocketFunctions.accept) {
    MissingEntry();
    return INVALID_SOCKET_HANDLE;
  }
  tMissingEntryError = 0;
  Integer len = sizeof(TVarSin);
  return SocketFunctions.accept(s, &Addr, &len);
}

Integer Send(TSocket s, const void* Buf, Integer Len, Integer Flags) {
  if (!SocketFunctions.send) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.send(s, Buf, Len, Flags);
}

Integer Recv(TSocket s, void* Buf, Integer Len, Integer Flags) {
  if (!SocketFunctions.recv) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.recv(s, Buf, Len, Flags);
}

Integer SendTo(TSocket s, const void* Buf, Integer Len, Integer Flags, const TVarSin& AddrTo) {
  if (!SocketFunctions.sendto) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.sendto(s, Buf, Len, Flags, AddrTo, SizeOfVarSin(AddrTo));
}

Integer RecvFrom(TSocket s, void* Buf, Integer Len, Integer Flags, TVarSin& From) {
  From.Clear();
  if (!SocketFunctions.recvfrom) return MissingEntry();
  tMissingEntryError = 0;
  Integer len = sizeof(TVarSin);
  return SocketFunctions.recvfrom(s, Buf, Len, Flags, &From, &len);
}

TSocket CreateSocketHandle(Integer Af, Integer Type, Integer Protocol) {
  if (!SocketFunctions.socket) {
    MissingEntry();
    return INVALID_SOCKET_HANDLE;
  }
  tMissingEntryError = 0;
  return SocketFunctions.socket(Af, Type, Protocol);
}

Integer CloseSocketHandle(TSocket s) {
  if (!SocketFunctions.closesocket) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.closesocket(s);
}

Integer SetSockOpt(TSocket s, Integer Level, Integer OptName, const void* OptVal, Integer OptLen) {
  if (!SocketFunctions.setsockopt) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.setsockopt(s, Level, OptName, OptVal, OptLen);
}

Integer GetSockOpt(TSocket s, Integer Level, Integer OptName, void* OptVal, Integer& OptLen) {
  if (!SocketFunctions.getsockopt) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.getsockopt(s, Level, OptName, OptVal, OptLen);
}

Integer IoctlSocket(TSocket s, Integer Cmd, Cardinal& Arg) {
  if (!SocketFunctions.ioctlsocket) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.ioctlsocket(s, Cmd, Arg);
}

Integer ListenSocket(TSocket s, Integer Backlog) {
  if (!SocketFunctions.listen) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.listen(s, Backlog);
}

Integer ShutdownSocket(TSocket s, Integer How) {
  if (!SocketFunctions.shutdown) return MissingEntry();
  tMissingEntryError = 0;
  return SocketFunctions.shutdown(s, How);
}

Integer Select(TFDSet* ReadFds, TFDSet* WriteFds, TFDSet* ExceptFds, Integer TimeoutMs) {
  if (!SocketFunctions.select) return MissingEntry();
  tMissingEntryError = 0;
  if (TimeoutMs < 0) return SocketFunctions.select(0, ReadFds, WriteFds, ExceptFds, nullptr);
  TTimeVal tv;
  tv.tv_sec = TimeoutMs / 1000;
  tv.tv_usec = (TimeoutMs % 1000) * 1000;
  return SocketFunctions.select(0, ReadFds, WriteFds, ExceptFds, &tv);
}

AnsiString LocalHostName() {
  if (!SocketFunctions.gethostname) return AnsiString();
  char buf[256] = {};
  if (SocketFunctions.gethostname(buf, 255) != 0) return AnsiString();
  buf[255] = '\0';
  return AnsiString(buf);
}

Integer FillSockAddr(TVarSin& Sin, const AnsiString& IP, const AnsiString& Port, bool PreferIP4, Integer SockType,
                     Integer SockProtocol, Integer Family) {
  Sin.Clear();
  if (UseEnhanced(Family) && HaveEnhancedEntries()) {
    if (Family != Ws::AfUnspec) return FillOneFamily(Sin, IP, Port, SockType, SockProtocol, Family);
    const Integer first = PreferIP4 ? Ws::AfInet : Ws::AfInet6;
    const Integer second = PreferIP4 ? Ws::AfInet6 : Ws::AfInet;
    Integer r = FillOneFamily(Sin, IP, Port, SockType, SockProtocol, first);
    if (r != 0) {
      Sin.Clear();
      r = FillOneFamily(Sin, IP, Port, SockType, SockProtocol, second);
    }
    return r;
  }

  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  if (!SocketFunctions.inet_addr) return Wsa::NotInitialised;
  Sin.AddressFamily = Ws::AfInet;
  Sin.sin_port = HostToNetWord(OldResolvePort(Port, SockProtocol));
  if (IP == "255.255.255.255") {
    std::memset(Sin.sin_addr, 0xFF, 4);
    return 0;
  }
  const Cardinal a = SocketFunctions.inet_addr(IP.c_str());
  if (a != Ws::InaddrNone) {
    std::memcpy(Sin.sin_addr, &a, 4);
    return 0;
  }
  THostEnt* host = SocketFunctions.gethostbyname ? SocketFunctions.gethostbyname(IP.c_str()) : nullptr;
  if (host && host->h_addr_list && host->h_addr_list[0] && host->h_length >= 4) {
    std::memcpy(Sin.sin_addr, host->h_addr_list[0], 4);
    return 0;
  }
  const Integer err = SockGetLastError();
  return err != 0 ? err : Wsa::HostNotFound;
}

AnsiString GetSinIP(const TVarSin& Sin) {
  if (Sin.AddressFamily != Ws::AfInet && Sin.AddressFamily != Ws::AfInet6) return AnsiString();
  if (UseEnhanced(Sin.AddressFamily) && HaveEnhancedEntries()) {
    char host[Ws::MaxHostNameLength] = {};
    char serv[Ws::MaxServiceLength] = {};
    const Integer r = SocketFunctions.getnameinfo(Sin, SizeOfVarSin(Sin), host, sizeof(host), serv, sizeof(serv),
                                                  Ws::NiNumericHost | Ws::NiNumericServ);
    return r == 0 ? AnsiString(host) : AnsiString();
  }
  if (Sin.AddressFamily != Ws::AfInet) return AnsiString();
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  if (!SocketFunctions.inet_ntoa) return DottedDecimal(Sin.sin_addr);
  TInAddr a;
  std::memcpy(a.S_bytes, Sin.sin_addr, 4);
  const char* text = SocketFunctions.inet_ntoa(a);
  return text ? AnsiString(text) : AnsiString();
}

Integer GetSinPort(const TVarSin& Sin) { return NetToHostWord(Sin.sin_port); }

void ResolveNameToIP(const AnsiString& Name, Integer Family, Integer SockProtocol, Integer SockType,
                     std::vector<AnsiString>& IPList) {
  IPList.clear();
  if (UseEnhanced(Family) && HaveEnhancedEntries()) {
    TAddrInfo hints;
    hints.ai_family = Family;
    hints.ai_socktype = SockType;
    hints.ai_protocol = SockProtocol;
    TAddrInfo* result = nullptr;
    if (SocketFunctions.getaddrinfo(Name.c_str(), nullptr, &hints, &result) == 0) {
      for (TAddrInfo* ai = result; ai; ai = ai->ai_next) {
        if (!ai->ai_addr) continue;
        if (Family != Ws::AfUnspec && ai->ai_family != Family) continue;
        const AnsiString text = GetSinIP(*ai->ai_addr);
        if (!text.empty()) IPList.push_back(text);
      }
    }
    if (result) SocketFunctions.freeaddrinfo(result);
  } else if (SocketFunctions.inet_addr) {
    const Cardinal a = SocketFunctions.inet_addr(Name.c_str());
    if (a != Ws::InaddrNone || Name == "255.255.255.255") {
      IPList.push_back(Name);
    } else {
      std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
      THostEnt* host = SocketFunctions.gethostbyname ? SocketFunctions.gethostbyname(Name.c_str()) : nullptr;
      if (host && host->h_addr_list && host->h_length >= 4) {
        for (char** p = host->h_addr_list; *p; ++p) IPList.push_back(DottedDecimal(reinterpret_cast<Byte*>(*p)));
      }
    }
  }
  if (IPList.empty()) IPList.push_back("0.0.0.0");
}

Word ResolvePort(const AnsiString& Port, Integer Family, Integer SockProtocol, Integer SockType) {
  if (UseEnhanced(Family) && HaveEnhancedEntries()) {
    TAddrInfo hints;
    hints.ai_family = Family;
    hints.ai_socktype = SockType;
    hints.ai_protocol = SockProtocol;
    hints.ai_flags = Ws::AiPassive;
    TAddrInfo* result = nullptr;
    Word port = 0;
    if (SocketFunctions.getaddrinfo(nullptr, Port.c_str(), &hints, &result) == 0 && result && result->ai_addr) {
      port = static_cast<Word>(GetSinPort(*result->ai_addr));
    }
    if (result) SocketFunctions.freeaddrinfo(result);
    return port;
  }
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  return OldResolvePort(Port, SockProtocol);
}

AnsiString ResolveIPToName(const AnsiString& IP, Integer Family, Integer SockProtocol, Integer SockType) {
  AnsiString result = IP;
  if (UseEnhanced(Family) && HaveEnhancedEntries()) {
    TAddrInfo hints;
    hints.ai_family = Family;
    hints.ai_socktype = SockType;
    hints.ai_protocol = SockProtocol;
    TAddrInfo* list = nullptr;
    if (SocketFunctions.getaddrinfo(IP.c_str(), nullptr, &hints, &list) == 0 && list && list->ai_addr) {
      char host[Ws::MaxHostNameLength] = {};
      char serv[Ws::MaxServiceLength] = {};
      if (SocketFunctions.getnameinfo(*list->ai_addr, SizeOfVarSin(*list->ai_addr), host, sizeof(host), serv,
                                      sizeof(serv), Ws::NiNumericServ) == 0) {
        result = host;
      }
    }
    if (list) SocketFunctions.freeaddrinfo(list);
    return result;
  }
  if (!SocketFunctions.inet_addr || !SocketFunctions.gethostbyaddr) return result;
  const Cardinal a = SocketFunctions.inet_addr(IP.c_str());
  if (a == Ws::InaddrNone) return result;
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  THostEnt* host = SocketFunctions.gethostbyaddr(&a, 4, Ws::AfInet);
  if (host && host->h_name) result = host->h_name;
  return result;
}
