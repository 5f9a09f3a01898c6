#pragma once
// Blocking sockets: TBlockSocket (life cycle, addresses, options, errors,
// sending, receiving and waiting, every wait bounded by a time-out in
// milliseconds), TSocksBlockSocket (SOCKS 4/4a/5 proxies) and
// TTCPBlockSocket (the stream socket of the FTP client, with the HTTP
// CONNECT tunnel and the TLS plug point of blcksock_ssl.h). The proxy side
// is implemented in blcksock_proxy.cpp, the TLS side in blcksock_ssl.cpp.
//
// Errors are results: every operation records its error in LastError and
// LastErrorDesc (Winsock codes and texts on every platform), reports it
// through OnStatus, and raises EWirraError only when RaiseExcept is set.
//
// Threads: a socket object is used by one thread at a time; another thread
// may only call SetStopFlag(true).
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "net/blcksock_ssl.h"
#include "net/sockapi.h"
#include "rtl/Exceptions.h"
#include "rtl/Types.h"

class TStream;  // rtl/Streams.h
class TBlockSocket;
class TTCPBlockSocket;

// Codes the socket layer sets itself, besides the system's.
namespace WirraErr {
constexpr Integer Stopped = 10053;       // StopFlag was set
constexpr Integer PeerClosed = 10054;    // the peer closed the connection
constexpr Integer LineTooLong = 10055;   // a line grew beyond the line limit
constexpr Integer Flooded = 10055;       // Purge met more than MaxPurgeBytes
constexpr Integer TimedOut = 10060;      // a wait for data ran out
constexpr Integer ProxyRefused = 10091;  // proxy, tunnel or TLS failure
constexpr Integer SocksBindRefused = 11003;
constexpr Integer WouldBlock = 10035;
constexpr Integer InProgress = 10036;
}  // namespace WirraErr

// The line limit RecvTerminated applies when MaxLineLength is 0, so that a
// line that never ends cannot grow without bound (error 10055).
constexpr Integer DefaultMaxLineLength = 1024 * 1024;

// The most Purge drops before it takes the connection for broken: a peer
// that keeps sending would otherwise hold it for ever.
constexpr Integer MaxPurgeBytes = 4 * 1024 * 1024;

enum TSocketFamily { SF_Any, SF_IP4, SF_IP6 };

enum THookSocketReason {
  HR_ResolvingBegin,
  HR_ResolvingEnd,
  HR_SocketCreate,
  HR_SocketClose,
  HR_Bind,
  HR_Connect,
  HR_CanRead,
  HR_CanWrite,
  HR_Listen,
  HR_Accept,
  HR_ReadCount,
  HR_WriteCount,
  HR_Wait,
  HR_Error
};

enum TWirraOptionType {
  SOT_Linger,
  SOT_RecvBuff,
  SOT_SendBuff,
  SOT_NonBlock,
  SOT_RecvTimeout,
  SOT_SendTimeout,
  SOT_Reuse,
  SOT_TTL,
  SOT_Broadcast,
  SOT_MulticastTTL,
  SOT_MulticastLoop
};

enum TSocksType { ST_Socks5, ST_Socks4 };

// Event types; each receives the socket (or plug-in) as Sender.
using THookSocketStatus = std::function<void(TObject* Sender, THookSocketReason Reason, const String& Value)>;
using THookDataFilter = std::function<void(TObject* Sender, AnsiString& Value)>;
using THookCreateSocket = std::function<void(TObject* Sender)>;
using THookMonitor = std::function<void(TObject* Sender, bool Writing, const void* Buffer, Integer Len)>;
using THookHeartbeat = std::function<void(TObject* Sender)>;
using THookAfterConnect = std::function<void(TObject* Sender)>;

// Raised by a socket only when its RaiseExcept is set, and by the start-up of
// the socket layer (first socket created) when the socket library cannot be
// loaded or started.
class EWirraError : public Exception {
public:
  explicit EWirraError(String Message, Integer ErrorCode = 0, String ErrorMessage = String())
      : Exception(std::move(Message)), FErrorCode(ErrorCode), FErrorMessage(std::move(ErrorMessage)) {}
  Integer ErrorCode() const { return FErrorCode; }
  void SetErrorCode(Integer Value) { FErrorCode = Value; }
  const String& ErrorMessage() const { return FErrorMessage; }
  void SetErrorMessage(String Value) { FErrorMessage = std::move(Value); }

private:
  Integer FErrorCode;
  String FErrorMessage;
};

// One option waiting for (or being applied to) the socket.
class TWirraOption : public TObject {
public:
  TWirraOptionType Option = SOT_Linger;
  bool Enabled = false;
  Integer Value = 0;
};

// Loads and starts the socket library once per process (also done by the
// first socket's constructor). Raises EWirraError with the message
// "Error loading Socket interface (ws2_32.dll)!" when the library cannot be
// loaded, and with the start-up call's error code when WSAStartup fails.
void InitSocketInterface();
// Undoes InitSocketInterface (WSACleanup and the library's unload), as the
// process exit does. Meant for the end of a process: Wine cannot load the
// socket library again once sockets were used.
void DoneSocketInterface();
// The start-up step itself: loads the library named (empty: the default) and
// calls WSAStartup 2.2 into Data; raises as above and leaves nothing loaded
// when it fails.
void StartSocketLibrary(const String& LibraryName, TWSAData& Data);

class TBlockSocket : public TObject {
public:
  TBlockSocket();
  // The text is not used.
  explicit TBlockSocket(const String& Stub);
  ~TBlockSocket() override;
  TBlockSocket(const TBlockSocket&) = delete;
  TBlockSocket& operator=(const TBlockSocket&) = delete;

  // Hooks, each called only when assigned (the heartbeat only while
  // HeartbeatRate is not 0).
  THookSocketStatus OnStatus;
  THookDataFilter OnReadFilter;
  THookCreateSocket OnCreateSocket;
  THookMonitor OnMonitor;
  THookHeartbeat OnHeartbeat;

  // --- life cycle and addresses
  void CreateSocket();
  void CreateSocketByName(const String& Value);
  void Bind(const String& IP, const String& Port);
  // Waits for the connection at most ConnectTimeout milliseconds (10060)
  // and ends early when StopFlag is set (10053), in either case without
  // the system's own connect wait; in NonBlockMode it only starts it.
  virtual void Connect(const String& IP, const String& Port);
  virtual void Listen();
  virtual TSocket Accept();
  virtual void CloseSocket();
  virtual void AbortSocket();

  void GetSinLocal();
  void GetSinRemote();
  void GetSins();
  virtual String GetLocalSinIP();
  virtual String GetRemoteSinIP();
  virtual Integer GetLocalSinPort();
  virtual Integer GetRemoteSinPort();
  void SetRemoteSin(const String& IP, const String& Port);

  String LocalName();
  void ResolveNameToIP(const String& Name, std::vector<String>& IPList);
  String ResolveName(const String& Name);
  Word ResolvePort(const String& Port);
  String ResolveIPToName(const String& IP);

  // Waits until a TBlockSocket of SocketList is readable (other objects are
  // skipped); CanReadList then holds the readable ones.
  bool GroupCanRead(const std::vector<TObject*>& SocketList, Integer Timeout, std::vector<TBlockSocket*>& CanReadList);

  // --- options (applied at once, or when the socket is created)
  void SetLinger(bool Enable, Integer Linger);  // Linger in milliseconds
  void SetTimeout(Integer Timeout);
  void SetSendTimeout(Integer Timeout);
  void SetRecvTimeout(Integer Timeout);
  void EnableReuse(bool Value);
  Integer SizeRecvBuffer();  // 1024 when the system cannot tell
  void SetSizeRecvBuffer(Integer Size);
  Integer SizeSendBuffer();
  void SetSizeSendBuffer(Integer Size);
  Integer TTL();
  void SetTTL(Integer TTL);
  bool NonBlockMode() const { return FNonBlockMode; }
  void SetNonBlockMode(bool Value);

  // --- errors
  void ResetLastError();
  virtual Integer SockCheck(Integer SockResult);
  void ExceptCheck();
  static String GetErrorDesc(Integer ErrorCode);
  virtual String GetErrorDescEx();

  // --- sending
  virtual Integer SendBuffer(const void* Buffer, Integer Length);
  virtual void SendByte(Byte Data);
  virtual void SendString(const AnsiString& Data);
  virtual void SendInteger(Integer Data);          // 4 bytes, least significant first
  virtual void SendBlock(const AnsiString& Data);  // 4-byte length (LSB first), then the data
  virtual void SendStreamRaw(TStream* Stream);     // from its position to its end
  // From its position to its end, after the 4-byte size of what follows:
  // least significant byte first, or with BigEndianSize most significant first.
  virtual void SendStream(TStream* Stream);
  virtual void SendStreamBigEndianSize(TStream* Stream);
  virtual Integer SendBufferTo(const void* Buffer, Integer Length);

  // --- receiving
  virtual Integer RecvBuffer(void* Buffer, Integer Length);
  virtual Integer RecvBufferEx(void* Buffer, Integer Len, Integer Timeout);
  virtual AnsiString RecvBufferStr(Integer Len, Integer Timeout);
  virtual Byte RecvByte(Integer Timeout);
  virtual Integer RecvInteger(Integer Timeout);
  virtual AnsiString RecvString(Integer Timeout);
  virtual AnsiString RecvTerminated(Integer Timeout, const AnsiString& Terminator);
  virtual AnsiString RecvPacket(Integer Timeout);
  virtual AnsiString RecvBlock(Integer Timeout);
  virtual void RecvStreamRaw(TStream* Stream, Integer Timeout);
  void RecvStreamSize(TStream* Stream, Integer Timeout, Integer Size);
  virtual void RecvStream(TStream* Stream, Integer Timeout);
  // The counterparts of SendStream and SendStreamBigEndianSize.
  virtual void RecvStreamBigEndianSize(TStream* Stream, Integer Timeout);
  virtual Integer RecvBufferFrom(void* Buffer, Integer Length);
  virtual Integer PeekBuffer(void* Buffer, Integer Length);
  virtual Byte PeekByte(Integer Timeout);
  virtual Integer WaitingData();
  Integer WaitingDataEx();
  // Drops what has already arrived (LineBuffer and the system's buffer),
  // never waiting for more, and clears the error. When more than
  // MaxPurgeBytes keep coming, the socket is closed instead and LastError
  // is 10055 (WirraErr::Flooded).
  void Purge();

  // --- waiting (milliseconds; -1 waits without limit)
  virtual bool CanRead(Integer Timeout);
  bool CanReadEx(Integer Timeout);
  virtual bool CanWrite(Integer Timeout);

  // --- properties
  TSocket Socket() const { return FSocket; }
  // Adopts an existing handle (e.g. from Accept of a listening socket).
  virtual void SetSocket(TSocket Value);
  TSocketFamily Family() const { return FFamily; }
  virtual void SetFamily(TSocketFamily Value);
  Integer LastError() const { return FLastError; }
  const String& LastErrorDesc() const { return FLastErrorDesc; }
  const TVarSin& LocalSin() const { return FLocalSin; }
  TVarSin& LocalSin() { return FLocalSin; }
  const TVarSin& RemoteSin() const { return FRemoteSin; }
  TVarSin& RemoteSin() { return FRemoteSin; }
  Integer Tag() const { return FTag; }
  void SetTag(Integer Value) { FTag = Value; }
  const AnsiString& LineBuffer() const { return FBuffer; }
  void SetLineBuffer(const AnsiString& Value) { FBuffer = Value; }
  bool RaiseExcept() const { return FRaiseExcept; }
  void SetRaiseExcept(bool Value) { FRaiseExcept = Value; }
  Integer MaxLineLength() const { return FMaxLineLength; }
  void SetMaxLineLength(Integer Value) { FMaxLineLength = Value; }
  Integer MaxSendBandwidth() const { return FMaxSendBandwidth; }
  void SetMaxSendBandwidth(Integer Value) { FMaxSendBandwidth = Value; }
  Integer MaxRecvBandwidth() const { return FMaxRecvBandwidth; }
  void SetMaxRecvBandwidth(Integer Value) { FMaxRecvBandwidth = Value; }
  void SetMaxBandwidth(Integer Value);  // both directions
  bool ConvertLineEnd() const { return FConvertLineEnd; }
  void SetConvertLineEnd(bool Value) { FConvertLineEnd = Value; }
  bool IP6used() const { return FIP6used; }
  bool PreferIP4() const { return FPreferIP4; }
  void SetPreferIP4(bool Value) { FPreferIP4 = Value; }
  bool InterPacketTimeout() const { return FInterPacketTimeout; }
  void SetInterPacketTimeout(bool Value) { FInterPacketTimeout = Value; }
  Integer RecvCounter() const { return FRecvCounter; }
  Integer SendCounter() const { return FSendCounter; }
  Integer SendMaxChunk() const { return FSendMaxChunk; }
  void SetSendMaxChunk(Integer Value) { FSendMaxChunk = Value; }
  // May be set from another thread: the owning thread's next send, receive
  // or wait stops with 10053.
  bool StopFlag() const { return FStopFlag.load(); }
  void SetStopFlag(bool Value) { FStopFlag.store(Value); }
  // A second stop request that the socket reads but never clears: while
  // *Signal is true every send, receive and wait stops with 10053 as with
  // StopFlag. StopFlag is used up by the wait that sees it and cleared when
  // the socket is made; a signal holds until its owner lowers it, so a
  // request that comes before the socket exists, or between two waits, is
  // not lost. Not owned; set by the owning thread, nullptr for none.
  void SetStopSignal(const std::atomic<bool>* Signal) { FStopSignal = Signal; }
  Integer NonblockSendTimeout() const { return FNonblockSendTimeout; }
  void SetNonblockSendTimeout(Integer Value) { FNonblockSendTimeout = Value; }
  // Milliseconds Connect waits for the peer; 0 leaves it to the system's
  // own connect time-out (StopFlag still ends the wait).
  Integer ConnectTimeout() const { return FConnectTimeout; }
  void SetConnectTimeout(Integer Value) { FConnectTimeout = Value; }
  Integer HeartbeatRate() const { return FHeartbeatRate; }
  void SetHeartbeatRate(Integer Value) { FHeartbeatRate = Value; }
  TObject* Owner() const { return FOwner; }
  void SetOwner(TObject* Value) { FOwner = Value; }  // not owned
  TWSAData WSAData() const;

  virtual Integer GetSocketType();
  virtual Integer GetSocketProtocol();

protected:
  virtual void SendStreamChunks(TStream* Stream, bool WithSize, bool BigEndianSize);
  virtual bool WaitReadable(Integer Timeout);

  void DoStatus(THookSocketReason Reason, const String& Value);
  void DoReadFilter(void* Buffer, Integer& Length);
  void DoMonitor(bool Writing, const void* Buffer, Integer Length);
  void DoCreateSocket();
  void DoHeartbeat();
  // Heartbeat, then the stop request: true (and 10053 recorded) when stopped.
  bool TestStopFlag();
  // Whether a stop is asked for (StopFlag, used up here, or the signal).
  bool TakeStopRequest() { return FStopFlag.exchange(false) || StopSignalled(); }
  bool StopSignalled() const { return FStopSignal && FStopSignal->load(); }
  // Bandwidth pause before a piece of Length bytes.
  void LimitBandwidth(Integer Length, Integer MaxB, UInt64& Next);
  void SetSin(TVarSin& Sin, const String& IP, const String& Port);
  String GetSinIP(const TVarSin& Sin);
  Integer GetSinPort(const TVarSin& Sin);
  void InternalCreateSocket(const TVarSin& Sin);
  void SetOption(const TWirraOption& Value);
  void DelayedOption(const TWirraOption& Value);
  void ProcessDelayedOptions();
  void SetLastError(Integer Code) { FLastError = Code; }
  void SetLastErrorDesc(const String& Value) { FLastErrorDesc = Value; }
  void SetSocketHandle(TSocket Value) { FSocket = Value; }
  void AddRecvCounter(Integer N) { FRecvCounter += N; }
  void AddSendCounter(Integer N) { FSendCounter += N; }
  // The line limit in force (MaxLineLength, or DefaultMaxLineLength for 0).
  Integer EffectiveMaxLineLength() const;

  // Bandwidth slots (millisecond ticks, 64-bit so they never wrap).
  UInt64 FNextSend = 0;
  UInt64 FNextRecv = 0;
  // A lone CR / LF ended the last line (ConvertLineEnd).
  bool FLastCR = false;
  bool FLastLF = false;
  bool FBound = false;

private:
  void Init();
  // One wait for readability of the socket, the heartbeat and stop request
  // handled by the caller.
  bool InternalCanRead(Integer Timeout);
  // The connect itself, on the created socket (see Connect).
  void InternalConnect(const TVarSin& Sin);

  TVarSin FLocalSin;
  TVarSin FRemoteSin;
  Integer FTag = 0;
  AnsiString FBuffer;
  bool FRaiseExcept = false;
  bool FNonBlockMode = false;
  Integer FMaxLineLength = 0;
  Integer FMaxSendBandwidth = 0;
  Integer FMaxRecvBandwidth = 0;
  bool FConvertLineEnd = false;
  TSocketFamily FFamily = SF_Any;
  TSocketFamily FFamilySave = SF_Any;
  bool FIP6used = false;
  bool FPreferIP4 = true;
  std::vector<std::unique_ptr<TWirraOption>> FDelayedOptions;  // front = last set
  bool FInterPacketTimeout = true;
  TFDSet FFDSet;
  Integer FRecvCounter = 0;
  Integer FSendCounter = 0;
  Integer FSendMaxChunk = 65536;
  std::atomic<bool> FStopFlag{false};
  const std::atomic<bool>* FStopSignal = nullptr;  // not owned
  Integer FNonblockSendTimeout = 15000;
  Integer FHeartbeatRate = 0;
  Integer FConnectTimeout = 0;
  TSocket FSocket = INVALID_SOCKET_HANDLE;
  Integer FLastError = 0;
  String FLastErrorDesc;
  TObject* FOwner = nullptr;  // not owned
};

class TSocksBlockSocket : public TBlockSocket {
public:
  TSocksBlockSocket();
  explicit TSocksBlockSocket(const String& Stub);

  // The three steps of a proxy exchange.
  bool SocksOpen();
  bool SocksRequest(Byte Cmd, const String& IP, const String& Port);
  bool SocksResponse();

  const String& SocksIP() const { return FSocksIP; }
  void SetSocksIP(const String& Value) { FSocksIP = Value; }
  const String& SocksPort() const { return FSocksPort; }
  void SetSocksPort(const String& Value) { FSocksPort = Value; }
  Integer SocksTimeout() const { return FSocksTimeout; }
  void SetSocksTimeout(Integer Value) { FSocksTimeout = Value; }
  // SOCKS 5 user name (at most 255 bytes), or the SOCKS 4 user id.
  const String& SocksUsername() const { return FSocksUsername; }
  void SetSocksUsername(const String& Value) { FSocksUsername = Value; }
  // SOCKS 5 password (at most 255 bytes).
  const String& SocksPassword() const { return FSocksPassword; }
  void SetSocksPassword(const String& Value) { FSocksPassword = Value; }
  bool UsingSocks() const { return FUsingSocks; }
  bool SocksResolver() const { return FSocksResolver; }
  void SetSocksResolver(bool Value) { FSocksResolver = Value; }
  Integer SocksLastError() const { return FSocksLastError; }
  TSocksType SocksType() const { return FSocksType; }
  void SetSocksType(TSocksType Value) { FSocksType = Value; }
  // Address and port from the last proxy answer.
  const String& SocksResponseIP() const { return FSocksResponseIP; }
  const String& SocksResponsePort() const { return FSocksResponsePort; }

protected:
  // The address part of a request; false (nothing to send) when the host or
  // user id cannot be encoded.
  bool SocksCode(const String& IP, const String& Port, AnsiString& Result);
  // Decodes an answer's address part (from its address type byte on).
  Integer SocksDecode(const AnsiString& Value);

  String FSocksLocalIP;
  String FSocksLocalPort;
  String FSocksRemoteIP;
  String FSocksRemotePort;
  bool FBypassFlag = false;  // a proxy exchange runs
  bool FUsingSocks = false;

private:
  String FSocksIP;
  String FSocksPort = u"1080";
  Integer FSocksTimeout = 60000;
  String FSocksUsername;
  String FSocksPassword;
  bool FSocksResolver = true;
  Integer FSocksLastError = 0;
  String FSocksResponseIP;
  String FSocksResponsePort;
  TSocksType FSocksType = ST_Socks5;
};

class TTCPBlockSocket : public TSocksBlockSocket {
public:
  // With TSSLNone.
  TTCPBlockSocket();
  explicit TTCPBlockSocket(TSSLClass SSLPlugin);  // CreateWithSSL
  ~TTCPBlockSocket() override;

  THookAfterConnect OnAfterConnect;

  void CloseSocket() override;
  void Connect(const String& IP, const String& Port) override;
  void Listen() override;
  TSocket Accept() override;
  Integer SendBuffer(const void* Buffer, Integer Length) override;
  Integer RecvBuffer(void* Buffer, Integer Length) override;
  Integer WaitingData() override;
  String GetLocalSinIP() override;
  String GetRemoteSinIP() override;
  Integer GetLocalSinPort() override;
  Integer GetRemoteSinPort() override;
  Integer GetSocketType() override;      // 1, a stream socket
  Integer GetSocketProtocol() override;  // 6, TCP
  String GetErrorDescEx() override;

  void SSLDoConnect();
  bool SSLAcceptConnection();
  void SSLDoShutdown();

  TCustomSSL* SSL() const { return FSSL.get(); }  // owned
  const String& HTTPTunnelIP() const { return FHTTPTunnelIP; }
  void SetHTTPTunnelIP(const String& Value) { FHTTPTunnelIP = Value; }
  const String& HTTPTunnelPort() const { return FHTTPTunnelPort; }
  void SetHTTPTunnelPort(const String& Value) { FHTTPTunnelPort = Value; }
  bool HTTPTunnel() const { return FHTTPTunnel; }
  const String& HTTPTunnelUser() const { return FHTTPTunnelUser; }
  void SetHTTPTunnelUser(const String& Value) { FHTTPTunnelUser = Value; }
  const String& HTTPTunnelPass() const { return FHTTPTunnelPass; }
  void SetHTTPTunnelPass(const String& Value) { FHTTPTunnelPass = Value; }
  Integer HTTPTunnelTimeout() const { return FHTTPTunnelTimeout; }
  void SetHTTPTunnelTimeout(Integer Value) { FHTTPTunnelTimeout = Value; }

protected:
  void DoAfterConnect();
  void SocksDoConnect(const String& IP, const String& Port);
  void HTTPTunnelDoConnect(const String& IP, const String& Port);

private:
  std::unique_ptr<TCustomSSL> FSSL;
  String FHTTPTunnelIP;
  String FHTTPTunnelPort;
  bool FHTTPTunnel = false;
  String FHTTPTunnelRemoteIP;
  String FHTTPTunnelRemotePort;
  String FHTTPTunnelUser;
  String FHTTPTunnelPass;
  Integer FHTTPTunnelTimeout = 30000;
};
