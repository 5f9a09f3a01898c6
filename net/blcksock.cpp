#include "net/blcksock.h"

#include <algorithm>
#include <cstring>

#include "net/netcode.h"
#include "net/netip.h"
#include "net/netutil.h"
#include "rtl/Streams.h"
#include "rtl/Unicode.h"

namespace {

const AnsiString CRLF = "\r\n";

String Str(Int64 v) {
  const std::string s = std::to_string(v);
  return String(s.begin(), s.end());
}

AnsiString Ansi(const String& s) { return UTF16ToUTF8(s); }
String Wide(const AnsiString& s) { return UTF8ToUTF16(s); }

bool OptFailed(Integer r) { return r == SOCKET_ERROR_RESULT; }

Integer FamilyToAF(TSocketFamily f) {
  switch (f) {
    case SF_IP4:
      return Ws::AfInet;
    case SF_IP6:
      return Ws::AfInet6;
    default:
      return Ws::AfUnspec;
  }
}

AnsiString CodeLongIntLE(Integer v) {
  const auto u = static_cast<Cardinal>(v);
  AnsiString r(4, '\0');
  for (int i = 0; i < 4; ++i) r[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return r;
}

Integer DecodeLongIntLE(const AnsiString& s) {
  Cardinal u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<Byte>(s[i]);
  return static_cast<Integer>(u);
}

// The process-wide start of the socket library: done once, undone at exit.
struct SocketInterface {
  bool Started = false;
  ~SocketInterface() {
    if (Started) {
      if (SocketFunctions.WSACleanup) SocketFunctions.WSACleanup();
      UnloadSocketLibrary();
    }
  }
};

SocketInterface& Interface() {
  static SocketInterface s;
  return s;
}

}  // namespace

void StartSocketLibrary(const String& LibraryName, TWSAData& Data) {
  const String loadError = u"Error loading Socket interface (ws2_32.dll)!";
  if (!LoadSocketLibrary(LibraryName)) throw EWirraError(loadError, 0, loadError);
  const Integer r = SocketFunctions.WSAStartup ? SocketFunctions.WSAStartup(0x0202, Data) : Wsa::SysNotReady;
  if (r != 0) {
    UnloadSocketLibrary();
    const String desc = TBlockSocket::GetErrorDesc(r);
    throw EWirraError(u"Wirra TCP/IP Socket error " + Str(r) + u": " + desc, r, desc);
  }
}

void InitSocketInterface() {
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  SocketInterface& s = Interface();
  if (s.Started) return;
  StartSocketLibrary(String(), WsaDataOnce);
  s.Started = true;
}

void DoneSocketInterface() {
  std::lock_guard<std::recursive_mutex> guard(SocketLibraryLock());
  SocketInterface& s = Interface();
  if (!s.Started) return;
  if (SocketFunctions.WSACleanup) SocketFunctions.WSACleanup();
  UnloadSocketLibrary();
  s.Started = false;
}

// =========================================================== TBlockSocket

TBlockSocket::TBlockSocket() { Init(); }

TBlockSocket::TBlockSocket(const String& /*Stub*/) { Init(); }

void TBlockSocket::Init() {
  InitSocketInterface();
  FD_Zero(FFDSet);
}

TBlockSocket::~TBlockSocket() {
  try {
    if (FSocket != INVALID_SOCKET_HANDLE) TBlockSocket::CloseSocket();
  } catch (...) {
    // A hook that raises must not take the process down from a destructor.
  }
  FDelayedOptions.clear();
}

void TBlockSocket::DoStatus(THookSocketReason Reason, const String& Value) {
  if (OnStatus) OnStatus(this, Reason, Value);
}

void TBlockSocket::DoReadFilter(void* Buffer, Integer& Length) {
  if (!OnReadFilter || Length <= 0) return;
  AnsiString s(static_cast<const char*>(Buffer), static_cast<std::size_t>(Length));
  OnReadFilter(this, s);
  if (static_cast<Integer>(s.size()) < Length) Length = static_cast<Integer>(s.size());
  if (Length > 0) std::memcpy(Buffer, s.data(), static_cast<std::size_t>(Length));
}

void TBlockSocket::DoMonitor(bool Writing, const void* Buffer, Integer Length) {
  if (OnMonitor) OnMonitor(this, Writing, Buffer, Length);
}

void TBlockSocket::DoCreateSocket() {
  if (OnCreateSocket) OnCreateSocket(this);
}

void TBlockSocket::DoHeartbeat() {
  if (OnHeartbeat && FHeartbeatRate != 0) OnHeartbeat(this);
}

bool TBlockSocket::TestStopFlag() {
  DoHeartbeat();
  if (TakeStopRequest()) {
    FLastError = WirraErr::Stopped;
    ExceptCheck();
    return true;
  }
  return false;
}

void TBlockSocket::LimitBandwidth(Integer Length, Integer MaxB, UInt64& Next) {
  if (FStopFlag.load() || StopSignalled() || MaxB <= 0) return;
  const UInt64 now = MillisecondTick64();
  if (now < Next) {
    const UInt64 w = Next - now;
    DoStatus(HR_Wait, Str(static_cast<Int64>(w)));
    SleepMs(static_cast<Integer>(w % 250));
    for (UInt64 n = w / 250; n > 0 && !FStopFlag.load() && !StopSignalled(); --n) SleepMs(250);
  }
  Next = MillisecondTick64() + static_cast<UInt64>(Length < 0 ? 0 : Length) * 1000 / static_cast<UInt64>(MaxB);
}

// --- addresses

void TBlockSocket::SetSin(TVarSin& Sin, const String& IP, const String& Port) {
  DoStatus(HR_ResolvingBegin, IP + u":" + Port);
  ResetLastError();
  TSocketFamily f = FFamily;
  if (FSocket == INVALID_SOCKET_HANDLE && FFamily == SF_Any) {
    if (IsIPv4Text(IP))
      f = SF_IP4;
    else if (IsIPv6Text(IP))
      f = SF_IP6;
  }
  FLastError = FillSockAddr(Sin, Ansi(IP), Ansi(Port), FPreferIP4, GetSocketType(), GetSocketProtocol(), FamilyToAF(f));
  DoStatus(HR_ResolvingEnd, GetSinIP(Sin) + u":" + Str(GetSinPort(Sin)));
}

String TBlockSocket::GetSinIP(const TVarSin& Sin) { return Wide(::GetSinIP(Sin)); }

Integer TBlockSocket::GetSinPort(const TVarSin& Sin) { return ::GetSinPort(Sin); }

void TBlockSocket::GetSinLocal() {
  FLocalSin.Clear();
  if (FSocket != INVALID_SOCKET_HANDLE) GetSockName(FSocket, FLocalSin);
}

void TBlockSocket::GetSinRemote() {
  FRemoteSin.Clear();
  if (FSocket != INVALID_SOCKET_HANDLE) GetPeerName(FSocket, FRemoteSin);
}

void TBlockSocket::GetSins() {
  GetSinLocal();
  GetSinRemote();
}

String TBlockSocket::GetLocalSinIP() { return GetSinIP(FLocalSin); }
String TBlockSocket::GetRemoteSinIP() { return GetSinIP(FRemoteSin); }
Integer TBlockSocket::GetLocalSinPort() { return GetSinPort(FLocalSin); }
Integer TBlockSocket::GetRemoteSinPort() { return GetSinPort(FRemoteSin); }

void TBlockSocket::SetRemoteSin(const String& IP, const String& Port) { SetSin(FRemoteSin, IP, Port); }

String TBlockSocket::LocalName() {
  const AnsiString name = LocalHostName();
  return name.empty() ? String(u"127.0.0.1") : Wide(name);
}

void TBlockSocket::ResolveNameToIP(const String& Name, std::vector<String>& IPList) {
  std::vector<AnsiString> list;
  ::ResolveNameToIP(Ansi(Name), FamilyToAF(FFamily), GetSocketProtocol(), GetSocketType(), list);
  IPList.clear();
  for (const auto& a : list) IPList.push_back(Wide(a));
}

String TBlockSocket::ResolveName(const String& Name) {
  std::vector<String> list;
  ResolveNameToIP(Name, list);
  return list.empty() ? String(u"0.0.0.0") : list.front();
}

Word TBlockSocket::ResolvePort(const String& Port) {
  return ::ResolvePort(Ansi(Port), FamilyToAF(FFamily), GetSocketProtocol(), GetSocketType());
}

String TBlockSocket::ResolveIPToName(const String& IP) {
  String ip = IP;
  if (!IsIPv4Text(ip) && !IsIPv6Text(ip)) ip = ResolveName(ip);
  return Wide(::ResolveIPToName(Ansi(ip), FamilyToAF(FFamily), GetSocketProtocol(), GetSocketType()));
}

// --- life cycle

void TBlockSocket::InternalCreateSocket(const TVarSin& Sin) {
  FStopFlag.store(false);
  FRecvCounter = 0;
  FSendCounter = 0;
  ResetLastError();
  if (FSocket != INVALID_SOCKET_HANDLE) return;
  FBuffer.clear();
  FBound = false;
  FIP6used = Sin.AddressFamily == Ws::AfInet6;
  FSocket = CreateSocketHandle(Sin.AddressFamily, GetSocketType(), GetSocketProtocol());
  if (FSocket == INVALID_SOCKET_HANDLE) FLastError = SockGetLastError();
  FD_Zero(FFDSet);
  if (FSocket != INVALID_SOCKET_HANDLE) {
    FD_Add(FSocket, FFDSet);
    // With a socket, addresses resolve in the socket's own family.
    FFamily = FIP6used ? SF_IP6 : SF_IP4;
  }
  ExceptCheck();
  DoStatus(HR_SocketCreate, FIP6used ? u"IPv6" : u"IPv4");
  if (FSocket == INVALID_SOCKET_HANDLE) return;
  ProcessDelayedOptions();
  DoCreateSocket();
}

void TBlockSocket::CreateSocket() {
  ResetLastError();
  if (FFamily != SF_Any && FSocket == INVALID_SOCKET_HANDLE) {
    TVarSin sin;
    sin.AddressFamily = static_cast<Word>(FFamily == SF_IP6 ? Ws::AfInet6 : Ws::AfInet);
    InternalCreateSocket(sin);
  }
}

void TBlockSocket::CreateSocketByName(const String& Value) {
  ResetLastError();
  if (FSocket == INVALID_SOCKET_HANDLE) {
    TVarSin sin;
    SetSin(sin, Value, u"0");
    if (FLastError == 0) InternalCreateSocket(sin);
  }
}

void TBlockSocket::Bind(const String& IP, const String& Port) {
  ResetLastError();
  // Binding to any address and port is what connecting does anyway.
  if (FSocket == INVALID_SOCKET_HANDLE && FFamily == SF_Any && IP == u"0.0.0.0" && Port == u"0") return;
  TVarSin sin;
  SetSin(sin, IP, Port);
  if (FLastError == 0) {
    if (FSocket == INVALID_SOCKET_HANDLE) InternalCreateSocket(sin);
    if (FLastError == 0) {
      SockCheck(::Bind(FSocket, sin));
      GetSinLocal();
      FBuffer.clear();
      FBound = FLastError == 0;
    }
  }
  ExceptCheck();
  DoStatus(HR_Bind, IP + u":" + Port);
}

void TBlockSocket::Connect(const String& IP, const String& Port) {
  TVarSin sin;
  SetSin(sin, IP, Port);
  if (FLastError == 0) {
    if (FSocket == INVALID_SOCKET_HANDLE) InternalCreateSocket(sin);
    if (FLastError == 0) {
      InternalConnect(sin);
      if (FLastError == 0) GetSins();
    }
    FBuffer.clear();
    FLastCR = false;
    FLastLF = false;
  }
  ExceptCheck();
  DoStatus(HR_Connect, IP + u":" + Port);
}

void TBlockSocket::InternalConnect(const TVarSin& Sin) {
  Cardinal on = 1;
  if (FNonBlockMode || IoctlSocket(FSocket, Ws::Fionbio, on) != 0) {
    SockCheck(::Connect(FSocket, Sin));
    return;
  }
  // The connect starts without blocking; its outcome is waited for in steps,
  // so that a host that drops every packet costs at most ConnectTimeout and
  // a stop request from another thread is seen within one step.
  constexpr Integer Step = 250;
  SockCheck(::Connect(FSocket, Sin));
  if (FLastError == WirraErr::WouldBlock || FLastError == WirraErr::InProgress) {
    ResetLastError();
    const UInt64 deadline = MillisecondTick64() + static_cast<UInt64>(FConnectTimeout > 0 ? FConnectTimeout : 0);
    for (;;) {
      if (TakeStopRequest()) {
        FLastError = WirraErr::Stopped;
        break;
      }
      Integer wait = Step;
      if (FConnectTimeout > 0) {
        const UInt64 now = MillisecondTick64();
        wait = static_cast<Integer>(std::min<UInt64>(deadline > now ? deadline - now : 0, Step));
      }
      // Winsock reports a failed connect as an exception, POSIX as writable.
      TFDSet writable, failed;
      FD_Zero(writable);
      FD_Zero(failed);
      FD_Add(FSocket, writable);
      FD_Add(FSocket, failed);
      const Integer ready = Select(nullptr, &writable, &failed, wait);
      if (ready < 0) {
        FLastError = SockGetLastError();
        break;
      }
      if (ready > 0) {
        Integer outcome = 0;
        Integer len = sizeof(outcome);
        FLastError = GetSockOpt(FSocket, Ws::SolSocket, Ws::SoError, &outcome, len) != 0 ? SockGetLastError() : outcome;
        break;
      }
      if (FConnectTimeout > 0 && MillisecondTick64() >= deadline) {
        FLastError = WirraErr::TimedOut;
        break;
      }
    }
  }
  Cardinal off = 0;
  IoctlSocket(FSocket, Ws::Fionbio, off);
  FLastErrorDesc = GetErrorDescEx();
}

void TBlockSocket::Listen() {
  SockCheck(ListenSocket(FSocket, Ws::SomaxConn));
  GetSins();
  ExceptCheck();
  DoStatus(HR_Listen, String());
}

TSocket TBlockSocket::Accept() {
  // A failed accept leaves LastError as it was.
  const TSocket result = ::Accept(FSocket, FRemoteSin);
  ExceptCheck();
  DoStatus(HR_Accept, String());
  return result;
}

void TBlockSocket::CloseSocket() { AbortSocket(); }

void TBlockSocket::AbortSocket() {
  if (FSocket != INVALID_SOCKET_HANDLE) CloseSocketHandle(FSocket);
  FSocket = INVALID_SOCKET_HANDLE;
  FD_Zero(FFDSet);
  FDelayedOptions.clear();
  FFamily = FFamilySave;
  DoStatus(HR_SocketClose, String());
}

void TBlockSocket::SetSocket(TSocket Value) {
  FRecvCounter = 0;
  FSendCounter = 0;
  FSocket = Value;
  FD_Zero(FFDSet);
  if (Value != INVALID_SOCKET_HANDLE) FD_Add(Value, FFDSet);
  GetSins();
  FIP6used = FRemoteSin.AddressFamily == Ws::AfInet6;
}

void TBlockSocket::SetFamily(TSocketFamily Value) {
  FFamily = Value;
  FFamilySave = Value;
}

TWSAData TBlockSocket::WSAData() const { return WsaDataOnce; }

Integer TBlockSocket::GetSocketType() { return 0; }
Integer TBlockSocket::GetSocketProtocol() { return 0; }

bool TBlockSocket::GroupCanRead(const std::vector<TObject*>& SocketList, Integer Timeout,
                                std::vector<TBlockSocket*>& CanReadList) {
  std::vector<TBlockSocket*> sockets;
  TFDSet fds;
  FD_Zero(fds);
  for (TObject* o : SocketList) {
    if (auto* b = dynamic_cast<TBlockSocket*>(o)) {
      sockets.push_back(b);
      FD_Add(b->Socket(), fds);
    }
  }
  Integer x = Select(&fds, nullptr, nullptr, Timeout);
  SockCheck(x);
  ExceptCheck();
  if (FLastError != 0) x = 0;
  CanReadList.clear();
  if (x > 0) {
    for (TBlockSocket* b : sockets) {
      if (FD_Contains(b->Socket(), fds)) CanReadList.push_back(b);
    }
  }
  return !CanReadList.empty();
}

// --- options

void TBlockSocket::SetOption(const TWirraOption& Value) {
  Integer v = Value.Value;
  Integer flag = Value.Enabled ? 1 : 0;
  switch (Value.Option) {
    case SOT_Linger: {
      TLinger li;
      li.l_onoff = static_cast<Word>(Value.Enabled ? 1 : 0);
      li.l_linger = static_cast<Word>(Value.Value / 1000);
      SockCheck(SetSockOpt(FSocket, Ws::SolSocket, Ws::SoLinger, &li, sizeof(li)));
      break;
    }
    case SOT_RecvBuff:
      SockCheck(SetSockOpt(FSocket, Ws::SolSocket, Ws::SoRcvBuf, &v, sizeof(v)));
      break;
    case SOT_SendBuff:
      SockCheck(SetSockOpt(FSocket, Ws::SolSocket, Ws::SoSndBuf, &v, sizeof(v)));
      break;
    case SOT_NonBlock: {
      FNonBlockMode = Value.Enabled;
      Cardinal arg = Value.Enabled ? 1 : 0;
      SockCheck(IoctlSocket(FSocket, Ws::Fionbio, arg));
      break;
    }
    case SOT_RecvTimeout:
      SockCheck(SetSockOpt(FSocket, Ws::SolSocket, Ws::SoRcvTimeo, &v, sizeof(v)));
      break;
    case SOT_SendTimeout:
      SockCheck(SetSockOpt(FSocket, Ws::SolSocket, Ws::SoSndTimeo, &v, sizeof(v)));
      break;
    case SOT_Reuse:
      SockCheck(SetSockOpt(FSocket, Ws::SolSocket, Ws::SoReuseAddr, &flag, sizeof(flag)));
      break;
    case SOT_TTL:
      if (FIP6used)
        SockCheck(SetSockOpt(FSocket, Ws::IpprotoIpv6, Ws::Ipv6UnicastHops, &v, sizeof(v)));
      else
        SockCheck(SetSockOpt(FSocket, Ws::IpprotoIp, Ws::IpTtl, &v, sizeof(v)));
      break;
    case SOT_Broadcast:
      SockCheck(SetSockOpt(FSocket, Ws::SolSocket, Ws::SoBroadcast, &flag, sizeof(flag)));
      break;
    case SOT_MulticastTTL:
      if (FIP6used)
        SockCheck(SetSockOpt(FSocket, Ws::IpprotoIpv6, Ws::Ipv6MulticastHops, &v, sizeof(v)));
      else
        SockCheck(SetSockOpt(FSocket, Ws::IpprotoIp, Ws::IpMulticastTtl, &v, sizeof(v)));
      break;
    case SOT_MulticastLoop:
      if (FIP6used)
        SockCheck(SetSockOpt(FSocket, Ws::IpprotoIpv6, Ws::Ipv6MulticastLoop, &flag, sizeof(flag)));
      else
        SockCheck(SetSockOpt(FSocket, Ws::IpprotoIp, Ws::IpMulticastLoop, &flag, sizeof(flag)));
      break;
  }
  ExceptCheck();
}

void TBlockSocket::DelayedOption(const TWirraOption& Value) {
  if (FSocket == INVALID_SOCKET_HANDLE) {
    FDelayedOptions.insert(FDelayedOptions.begin(), std::make_unique<TWirraOption>(Value));
  } else {
    SetOption(Value);
  }
}

void TBlockSocket::ProcessDelayedOptions() {
  // The front holds the option set last: apply from the end, in the order set.
  auto options = std::move(FDelayedOptions);
  FDelayedOptions.clear();
  for (auto it = options.rbegin(); it != options.rend(); ++it) SetOption(**it);
}

void TBlockSocket::SetLinger(bool Enable, Integer Linger) {
  TWirraOption o;
  o.Option = SOT_Linger;
  o.Enabled = Enable;
  o.Value = Linger;
  DelayedOption(o);
}

void TBlockSocket::SetTimeout(Integer Timeout) {
  SetSendTimeout(Timeout);
  SetRecvTimeout(Timeout);
}

void TBlockSocket::SetSendTimeout(Integer Timeout) {
  TWirraOption o;
  o.Option = SOT_SendTimeout;
  o.Value = Timeout;
  DelayedOption(o);
}

void TBlockSocket::SetRecvTimeout(Integer Timeout) {
  TWirraOption o;
  o.Option = SOT_RecvTimeout;
  o.Value = Timeout;
  DelayedOption(o);
}

void TBlockSocket::EnableReuse(bool Value) {
  TWirraOption o;
  o.Option = SOT_Reuse;
  o.Enabled = Value;
  DelayedOption(o);
}

Integer TBlockSocket::SizeRecvBuffer() {
  Integer v = 0;
  Integer len = sizeof(v);
  if (OptFailed(GetSockOpt(FSocket, Ws::SolSocket, Ws::SoRcvBuf, &v, len))) return 1024;
  return v;
}

void TBlockSocket::SetSizeRecvBuffer(Integer Size) {
  TWirraOption o;
  o.Option = SOT_RecvBuff;
  o.Value = Size;
  DelayedOption(o);
}

Integer TBlockSocket::SizeSendBuffer() {
  Integer v = 0;
  Integer len = sizeof(v);
  if (OptFailed(GetSockOpt(FSocket, Ws::SolSocket, Ws::SoSndBuf, &v, len))) return 1024;
  return v;
}

void TBlockSocket::SetSizeSendBuffer(Integer Size) {
  TWirraOption o;
  o.Option = SOT_SendBuff;
  o.Value = Size;
  DelayedOption(o);
}

Integer TBlockSocket::TTL() {
  Integer v = 0;
  Integer len = sizeof(v);
  const Integer r = FIP6used ? GetSockOpt(FSocket, Ws::IpprotoIpv6, Ws::Ipv6UnicastHops, &v, len)
                             : GetSockOpt(FSocket, Ws::IpprotoIp, Ws::IpTtl, &v, len);
  return OptFailed(r) ? -1 : v;
}

void TBlockSocket::SetTTL(Integer TTL) {
  TWirraOption o;
  o.Option = SOT_TTL;
  o.Value = TTL;
  DelayedOption(o);
}

void TBlockSocket::SetNonBlockMode(bool Value) {
  TWirraOption o;
  o.Option = SOT_NonBlock;
  o.Enabled = Value;
  DelayedOption(o);
}

void TBlockSocket::SetMaxBandwidth(Integer Value) {
  FMaxSendBandwidth = Value;
  FMaxRecvBandwidth = Value;
}

// --- errors

void TBlockSocket::ResetLastError() {
  FLastError = 0;
  FLastErrorDesc.clear();
}

Integer TBlockSocket::SockCheck(Integer SockResult) {
  ResetLastError();
  if (SockResult == SOCKET_ERROR_RESULT) {
    FLastError = SockGetLastError();
    FLastErrorDesc = GetErrorDescEx();
  }
  return FLastError;
}

void TBlockSocket::ExceptCheck() {
  FLastErrorDesc = GetErrorDescEx();
  const Integer e = FLastError;
  if (e == 0 || e == WirraErr::WouldBlock || e == WirraErr::InProgress) return;
  DoStatus(HR_Error, Str(e) + u"," + FLastErrorDesc);
  if (FRaiseExcept) {
    throw EWirraError(u"Wirra TCP/IP Socket error " + Str(e) + u": " + FLastErrorDesc, e, FLastErrorDesc);
  }
}

String TBlockSocket::GetErrorDescEx() { return GetErrorDesc(FLastError); }

String TBlockSocket::GetErrorDesc(Integer ErrorCode) {
  switch (ErrorCode) {
    case 0:
      return String();
    case 10004:
      return u"Interrupted system call";
    case 10009:
      return u"Bad file number";
    case 10013:
      return u"Permission denied";
    case 10014:
      return u"Bad address";
    case 10022:
      return u"Invalid argument";
    case 10024:
      return u"Too many open files";
    case 10035:
      return u"Operation would block";
    case 10036:
      return u"Operation now in progress";
    case 10037:
      return u"Operation already in progress";
    case 10038:
      return u"Socket operation on nonsocket";
    case 10039:
      return u"Destination address required";
    case 10040:
      return u"Message too long";
    case 10041:
      return u"Protocol wrong type for Socket";
    case 10042:
      return u"Protocol not available";
    case 10043:
      return u"Protocol not supported";
    case 10044:
      return u"Socket not supported";
    case 10045:
      return u"Operation not supported on Socket";
    case 10046:
      return u"Protocol family not supported";
    case 10047:
      return u"Address family not supported";
    case 10048:
      return u"Address already in use";
    case 10049:
      return u"Can't assign requested address";
    case 10050:
      return u"Network is down";
    case 10051:
      return u"Network is unreachable";
    case 10052:
      return u"Network dropped connection on reset";
    case 10053:
      return u"Software caused connection abort";
    case 10054:
      return u"Connection reset by peer";
    case 10055:
      return u"No Buffer space available";
    case 10056:
      return u"Socket is already connected";
    case 10057:
      return u"Socket is not connected";
    case 10058:
      return u"Can't send after Socket shutdown";
    case 10059:
      return u"Too many references:can't splice";
    case 10060:
      return u"Connection timed out";
    case 10061:
      return u"Connection refused";
    case 10062:
      return u"Too many levels of symbolic links";
    case 10063:
      return u"File name is too long";
    case 10064:
      return u"Host is down";
    case 10065:
      return u"No route to host";
    case 10066:
      return u"Directory is not empty";
    case 10067:
      return u"Too many processes";
    case 10068:
      return u"Too many users";
    case 10069:
      return u"Disk quota exceeded";
    case 10070:
      return u"Stale NFS file handle";
    case 10071:
      return u"Too many levels of remote in path";
    case 10091:
      return u"Network subsystem is unusable";
    case 10092:
      return u"Winsock DLL cannot support this application";
    case 10093:
      return u"Winsock not initialized";
    case 10101:
      return u"Disconnect";
    case 11001:
      return u"Host not found";
    case 11002:
      return u"Non authoritative - host not found";
    case 11003:
      return u"Non recoverable error";
    case 11004:
      return u"Valid name, no data record of requested type";
    default:
      return u"Other Winsock error (" + Str(ErrorCode) + u")";
  }
}

Integer TBlockSocket::EffectiveMaxLineLength() const {
  return FMaxLineLength > 0 ? FMaxLineLength : DefaultMaxLineLength;
}

// --- sending

Integer TBlockSocket::SendBuffer(const void* Buffer, Integer Length) {
  if (TestStopFlag()) return 0;
  DoMonitor(true, Buffer, Length);
  const char* p = static_cast<const char*>(Buffer);
  Integer remaining = Length;
  Integer sent = 0;
  const Integer maxChunk = FSendMaxChunk > 0 ? FSendMaxChunk : 65536;
  while (remaining > 0) {
    const Integer piece = std::min(remaining, maxChunk);
    LimitBandwidth(piece, FMaxSendBandwidth, FNextSend);
    Integer r = Send(FSocket, p, piece, 0);
    SockCheck(r);
    if (FLastError == WirraErr::WouldBlock) {
      if (CanWrite(FNonblockSendTimeout)) {
        r = Send(FSocket, p, piece, 0);
        SockCheck(r);
      } else if (FLastError == 0) {
        FLastError = WirraErr::TimedOut;
      }
    }
    if (FLastError != 0 || r <= 0) {
      if (FLastError == 0) FLastError = WirraErr::PeerClosed;
      break;
    }
    FSendCounter += r;
    sent += r;
    DoStatus(HR_WriteCount, Str(r));
    p += r;
    remaining -= r;
  }
  ExceptCheck();
  return sent;
}

void TBlockSocket::SendByte(Byte Data) { SendBuffer(&Data, 1); }

void TBlockSocket::SendString(const AnsiString& Data) { SendBuffer(Data.data(), static_cast<Integer>(Data.size())); }

void TBlockSocket::SendInteger(Integer Data) { SendString(CodeLongIntLE(Data)); }

void TBlockSocket::SendBlock(const AnsiString& Data) {
  SendString(CodeLongIntLE(static_cast<Integer>(Data.size())) + Data);
}

void TBlockSocket::SendStreamChunks(TStream* Stream, bool WithSize, bool BigEndianSize) {
  if (!Stream) return;
  const auto size = static_cast<Integer>(Stream->Size() - Stream->Position());
  AnsiString prefix;
  if (WithSize) prefix = BigEndianSize ? IntToBigEndian(size) : CodeLongIntLE(size);
  const Integer maxChunk = FSendMaxChunk > 0 ? FSendMaxChunk : 65536;
  AnsiString piece;
  bool first = true;
  for (;;) {
    piece.resize(static_cast<std::size_t>(maxChunk));
    const Integer got = Stream->Read(piece.data(), maxChunk);
    if (got <= 0) break;
    piece.resize(static_cast<std::size_t>(got));
    if (first && WithSize) {
      SendString(prefix + piece);
    } else {
      SendString(piece);
    }
    first = false;
    if (FLastError != 0) return;
  }
  if (first && WithSize) SendString(prefix);
}

void TBlockSocket::SendStreamRaw(TStream* Stream) { SendStreamChunks(Stream, false, false); }
void TBlockSocket::SendStream(TStream* Stream) { SendStreamChunks(Stream, true, false); }
void TBlockSocket::SendStreamBigEndianSize(TStream* Stream) { SendStreamChunks(Stream, true, true); }

Integer TBlockSocket::SendBufferTo(const void* Buffer, Integer Length) {
  if (TestStopFlag()) return 0;
  DoMonitor(true, Buffer, Length);
  LimitBandwidth(Length, FMaxSendBandwidth, FNextSend);
  const Integer r = SendTo(FSocket, Buffer, Length, 0, FRemoteSin);
  SockCheck(r);
  ExceptCheck();
  if (r > 0) {
    FSendCounter += r;
    DoStatus(HR_WriteCount, Str(r));
  }
  return r;
}

// --- receiving

Integer TBlockSocket::RecvBuffer(void* Buffer, Integer Length) {
  if (TestStopFlag()) return 0;
  // Asking for nothing receives nothing (a zero-byte recv would read as a close).
  if (Length <= 0 || !Buffer) return 0;
  LimitBandwidth(Length, FMaxRecvBandwidth, FNextRecv);
  Integer r = Recv(FSocket, Buffer, Length, 0);
  if (r == 0) {
    ResetLastError();
    FLastError = WirraErr::PeerClosed;
  } else {
    SockCheck(r);
  }
  ExceptCheck();
  if (r > 0) {
    FRecvCounter += r;
    DoStatus(HR_ReadCount, Str(r));
    DoMonitor(false, Buffer, r);
    DoReadFilter(Buffer, r);
  }
  return r;
}

Integer TBlockSocket::RecvBufferFrom(void* Buffer, Integer Length) {
  if (TestStopFlag()) return 0;
  LimitBandwidth(Length, FMaxRecvBandwidth, FNextRecv);
  const Integer r = RecvFrom(FSocket, Buffer, Length, 0, FRemoteSin);
  SockCheck(r);
  ExceptCheck();
  if (r > 0) {
    FRecvCounter += r;
    DoStatus(HR_ReadCount, Str(r));
    DoMonitor(false, Buffer, r);
  }
  return r;
}

Integer TBlockSocket::WaitingData() {
  Cardinal x = 0;
  if (IoctlSocket(FSocket, Ws::Fionread, x) != 0) return 0;
  return x > 65536u ? 65536 : static_cast<Integer>(x);
}

Integer TBlockSocket::WaitingDataEx() {
  return FBuffer.empty() ? WaitingData() : static_cast<Integer>(std::min<std::size_t>(FBuffer.size(), 0x7FFFFFFF));
}

AnsiString TBlockSocket::RecvPacket(Integer Timeout) {
  ResetLastError();
  AnsiString result;
  if (!FBuffer.empty()) {
    result.swap(FBuffer);
  } else {
    auto receive = [&](Integer n) {
      result.resize(static_cast<std::size_t>(n));
      const Integer got = RecvBuffer(result.data(), n);
      result.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    };
    Integer x = WaitingData();
    if (x > 0) {
      receive(x);
    } else if (CanRead(Timeout)) {
      x = WaitingData();
      if (x > 0) {
        receive(x);
      } else {
        FLastError = WirraErr::PeerClosed;
      }
    } else if (FLastError == 0) {
      FLastError = WirraErr::TimedOut;
    }
  }
  if (FConvertLineEnd && !result.empty()) {
    if (FLastCR && result[0] == '\n') result.erase(0, 1);
    if (FLastLF && !result.empty() && result[0] == '\r') result.erase(0, 1);
    FLastCR = false;
    FLastLF = false;
  }
  ExceptCheck();
  return result;
}

Integer TBlockSocket::RecvBufferEx(void* Buffer, Integer Len, Integer Timeout) {
  ResetLastError();
  if (Len <= 0 || !Buffer) return 0;
  char* out = static_cast<char*>(Buffer);
  Integer copied = 0;
  Integer timeLeft = Timeout;
  AnsiString rest;
  for (;;) {
    const UInt64 started = MillisecondTick64();
    AnsiString s = RecvPacket(timeLeft);
    if (FLastError != 0) break;
    const Integer n = std::min(static_cast<Integer>(s.size()), Len - copied);
    std::memcpy(out + copied, s.data(), static_cast<std::size_t>(n));
    copied += n;
    if (n < static_cast<Integer>(s.size())) rest = s.substr(static_cast<std::size_t>(n));
    if (copied >= Len) break;
    if (!FInterPacketTimeout && timeLeft >= 0) {
      timeLeft -= static_cast<Integer>(std::min<UInt64>(MillisecondTick64() - started, 0x7FFFFFFF));
      if (timeLeft <= 0) {
        FLastError = WirraErr::TimedOut;
        ExceptCheck();
        break;
      }
    }
  }
  FBuffer = rest + FBuffer;
  return copied;
}

AnsiString TBlockSocket::RecvBufferStr(Integer Len, Integer Timeout) {
  // Collected as the data arrives: a length announced by the peer never
  // allocates more than what was received.
  ResetLastError();
  if (Len < 1) return AnsiString();
  AnsiString result;
  Integer timeLeft = Timeout;
  for (;;) {
    const UInt64 started = MillisecondTick64();
    AnsiString s = RecvPacket(timeLeft);
    if (FLastError != 0) break;
    const std::size_t want = static_cast<std::size_t>(Len) - result.size();
    if (s.size() > want) {
      FBuffer = s.substr(want) + FBuffer;
      s.resize(want);
    }
    result += s;
    if (result.size() >= static_cast<std::size_t>(Len)) break;
    if (!FInterPacketTimeout && timeLeft >= 0) {
      timeLeft -= static_cast<Integer>(std::min<UInt64>(MillisecondTick64() - started, 0x7FFFFFFF));
      if (timeLeft <= 0) {
        FLastError = WirraErr::TimedOut;
        ExceptCheck();
        break;
      }
    }
  }
  if (FLastError != 0) return AnsiString();
  return result;
}

Byte TBlockSocket::RecvByte(Integer Timeout) {
  ResetLastError();
  Byte result = 0;
  if (FBuffer.empty()) FBuffer = RecvPacket(Timeout);
  if (FLastError == 0 && !FBuffer.empty()) {
    result = static_cast<Byte>(FBuffer[0]);
    FBuffer.erase(0, 1);
  }
  ExceptCheck();
  return result;
}

Integer TBlockSocket::RecvInteger(Integer Timeout) {
  const AnsiString s = RecvBufferStr(4, Timeout);
  if (FLastError != 0 || s.size() < 4) return 0;
  return DecodeLongIntLE(s);
}

AnsiString TBlockSocket::RecvTerminated(Integer Timeout, const AnsiString& Terminator) {
  ResetLastError();
  AnsiString result;
  if (Terminator.empty()) return result;
  const bool tolerant = FConvertLineEnd && Terminator == CRLF;
  const std::size_t limit = static_cast<std::size_t>(EffectiveMaxLineLength());
  AnsiString s;
  std::size_t scanned = 0;  // bytes of s already searched without a line end
  std::size_t linePos = AnsiString::npos;
  std::size_t endLen = 0;
  Integer timeLeft = Timeout;
  for (;;) {
    const UInt64 started = MillisecondTick64();
    s += RecvPacket(timeLeft);
    if (FLastError != 0) break;
    if (tolerant) {
      const auto p = s.find_first_of("\r\n", scanned);
      if (p != AnsiString::npos) {
        const char c = s[p];
        const char other = c == '\r' ? '\n' : '\r';
        linePos = p;
        if (p + 1 < s.size() && s[p + 1] == other) {
          endLen = 2;
        } else {
          // A lone CR or LF: its complement may still come as the first
          // byte of the next packet, which is then dropped.
          endLen = 1;
          FLastCR = c == '\r';
          FLastLF = c == '\n';
        }
      }
    } else {
      const auto p = s.find(Terminator, scanned);
      if (p != AnsiString::npos) {
        linePos = p;
        endLen = Terminator.size();
      }
    }
    if (linePos == AnsiString::npos) {
      scanned = s.size() >= Terminator.size() ? s.size() - (tolerant ? 0 : Terminator.size() - 1) : 0;
    }
    // The line limit applies to the line being collected.
    const std::size_t lineLength = linePos == AnsiString::npos ? s.size() : linePos;
    if (lineLength > limit) {
      FLastError = WirraErr::LineTooLong;
      linePos = AnsiString::npos;
      break;
    }
    if (linePos != AnsiString::npos) break;
    if (!FInterPacketTimeout && timeLeft >= 0) {
      timeLeft -= static_cast<Integer>(std::min<UInt64>(MillisecondTick64() - started, 0x7FFFFFFF));
      if (timeLeft <= 0) {
        FLastError = WirraErr::TimedOut;
        break;
      }
    }
  }
  if (linePos != AnsiString::npos) {
    result = s.substr(0, linePos);
    FBuffer = s.substr(linePos + endLen) + FBuffer;
  } else {
    FBuffer = s + FBuffer;
  }
  ExceptCheck();
  return result;
}

AnsiString TBlockSocket::RecvString(Integer Timeout) {
  AnsiString s = RecvTerminated(Timeout, CRLF);
  if (FLastError != 0) s.clear();
  return s;
}

AnsiString TBlockSocket::RecvBlock(Integer Timeout) {
  const Integer x = RecvInteger(Timeout);
  if (FLastError != 0) return AnsiString();
  return RecvBufferStr(x, Timeout);
}

void TBlockSocket::RecvStreamRaw(TStream* Stream, Integer Timeout) {
  for (;;) {
    const AnsiString s = RecvPacket(Timeout);
    if (FLastError != 0) break;
    WriteTextToStream(Stream, s);
  }
}

void TBlockSocket::RecvStreamSize(TStream* Stream, Integer Timeout, Integer Size) {
  ResetLastError();
  const Integer chunk = FSendMaxChunk > 0 ? FSendMaxChunk : 65536;
  const Integer pieces = Size / chunk;
  for (Integer i = 0; i < pieces; ++i) {
    const AnsiString s = RecvBufferStr(chunk, Timeout);
    if (FLastError != 0) return;
    WriteTextToStream(Stream, s);
  }
  const Integer rest = Size % chunk;
  if (rest > 0) {
    const AnsiString s = RecvBufferStr(rest, Timeout);
    if (FLastError == 0) WriteTextToStream(Stream, s);
  }
}

void TBlockSocket::RecvStream(TStream* Stream, Integer Timeout) {
  const Integer x = RecvInteger(Timeout);
  if (FLastError == 0) RecvStreamSize(Stream, Timeout, x);
}

void TBlockSocket::RecvStreamBigEndianSize(TStream* Stream, Integer Timeout) {
  const Integer x = ReverseBytes(RecvInteger(Timeout));
  if (FLastError == 0) RecvStreamSize(Stream, Timeout, x);
}

Integer TBlockSocket::PeekBuffer(void* Buffer, Integer Length) {
  const Integer r = Recv(FSocket, Buffer, Length, Ws::MsgPeek);
  SockCheck(r);
  ExceptCheck();
  return r;
}

Byte TBlockSocket::PeekByte(Integer Timeout) {
  Byte result = 0;
  if (CanRead(Timeout)) {
    if (WaitingData() > 0) {
      Byte b = 0;
      if (PeekBuffer(&b, 1) == 1) result = b;
      return result;
    }
    FLastError = WirraErr::PeerClosed;
  } else if (FLastError == 0) {
    FLastError = WirraErr::TimedOut;
  }
  ExceptCheck();
  return result;
}

void TBlockSocket::Purge() {
  // No pause first: a reply only ever follows its command, so what has not
  // arrived yet cannot be stale, and waiting here would be paid before every
  // command and at every close.
  std::size_t dropped = 0;
  bool flooded = false;
  try {
    while (!FBuffer.empty() || WaitingData() > 0) {
      dropped += RecvPacket(0).size();
      if (FLastError != 0) break;
      if (dropped > static_cast<std::size_t>(MaxPurgeBytes)) {
        flooded = true;
        break;
      }
    }
  } catch (...) {
    // Purge drops what has arrived; a raised socket error only ends it.
  }
  ResetLastError();
  if (!flooded) return;
  // Whatever is read next would still be the flood: the connection is of
  // no more use. A plain close, as a graceful one would purge again.
  AbortSocket();
  FLastError = WirraErr::Flooded;
  ExceptCheck();
}

// --- waiting

bool TBlockSocket::WaitReadable(Integer Timeout) {
  TFDSet fds;
  FD_Zero(fds);
  FD_Add(FSocket, fds);
  Integer x = Select(&fds, nullptr, nullptr, Timeout < 0 ? -1 : Timeout);
  SockCheck(x);
  if (FLastError != 0) x = 0;
  return x > 0;
}

bool TBlockSocket::InternalCanRead(Integer Timeout) {
  // Long waits go in steps of at most 250 ms so that a stop request from
  // another thread ends them early.
  constexpr Integer Step = 250;
  const UInt64 deadline = Timeout < 0 ? 0 : MillisecondTick64() + static_cast<UInt64>(Timeout);
  for (;;) {
    Integer wait = Step;
    if (Timeout >= 0) {
      const UInt64 now = MillisecondTick64();
      const UInt64 left = deadline > now ? deadline - now : 0;
      wait = static_cast<Integer>(std::min<UInt64>(left, Step));
    }
    if (WaitReadable(wait)) return true;
    if (FLastError != 0) return false;
    if (TakeStopRequest()) {
      FLastError = WirraErr::Stopped;
      return false;
    }
    if (Timeout >= 0 && MillisecondTick64() >= deadline) return false;
  }
}

bool TBlockSocket::CanRead(Integer Timeout) {
  bool result = false;
  if (TakeStopRequest()) {
    FLastError = WirraErr::Stopped;
  } else {
    Integer waits = 0;
    Integer first = Timeout;
    if (FHeartbeatRate > 0 && Timeout != -1) {
      waits = Timeout / FHeartbeatRate;
      first = Timeout % FHeartbeatRate;
    }
    result = InternalCanRead(first);
    if (!result && FLastError == 0) {
      for (Integer n = 0; n <= waits; ++n) {
        DoHeartbeat();
        if (TakeStopRequest()) {
          FLastError = WirraErr::Stopped;
          break;
        }
        result = InternalCanRead(FHeartbeatRate > 0 ? FHeartbeatRate : 0);
        if (result || FLastError != 0) break;
      }
    }
  }
  ExceptCheck();
  if (result) DoStatus(HR_CanRead, String());
  return result;
}

bool TBlockSocket::CanReadEx(Integer Timeout) {
  if (!FBuffer.empty()) return true;
  return CanRead(Timeout);
}

bool TBlockSocket::CanWrite(Integer Timeout) {
  TFDSet fds;
  FD_Zero(fds);
  FD_Add(FSocket, fds);
  Integer x = Select(nullptr, &fds, nullptr, Timeout < 0 ? -1 : Timeout);
  SockCheck(x);
  if (FLastError != 0) x = 0;
  const bool result = x > 0;
  ExceptCheck();
  if (result) DoStatus(HR_CanWrite, String());
  return result;
}

// ========================================================= TTCPBlockSocket

TTCPBlockSocket::TTCPBlockSocket() : TTCPBlockSocket(&SSLClassOf<TSSLNone>) {}

TTCPBlockSocket::TTCPBlockSocket(TSSLClass SSLPlugin) {
  FSSL = SSLPlugin ? SSLPlugin(this) : SSLClassOf<TSSLNone>(this);
}

TTCPBlockSocket::~TTCPBlockSocket() {
  try {
    if (Socket() != INVALID_SOCKET_HANDLE) TTCPBlockSocket::CloseSocket();
  } catch (...) {
    // See ~TBlockSocket.
  }
  FSSL.reset();
}

Integer TTCPBlockSocket::GetSocketType() { return Ws::SockStream; }
Integer TTCPBlockSocket::GetSocketProtocol() { return Ws::IpprotoTcp; }

void TTCPBlockSocket::DoAfterConnect() {
  if (OnAfterConnect) OnAfterConnect(this);
}

void TTCPBlockSocket::CloseSocket() {
  if (FSSL && FSSL->SSLEnabled()) FSSL->Shutdown();
  if (Socket() != INVALID_SOCKET_HANDLE && LastError() == 0) {
    // Tell the peer the data is complete, and drop what already arrived.
    ShutdownSocket(Socket(), Ws::SdSend);
    Purge();
  }
  TBlockSocket::CloseSocket();
}

void TTCPBlockSocket::Connect(const String& IP, const String& Port) {
  if (!SocksIP().empty()) {
    SocksDoConnect(IP, Port);
  } else if (!FHTTPTunnelIP.empty()) {
    HTTPTunnelDoConnect(IP, Port);
  } else {
    TBlockSocket::Connect(IP, Port);
  }
  if (LastError() == 0) DoAfterConnect();
}
