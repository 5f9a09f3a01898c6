#include "net/ftpsend.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "net/netip.h"
#include "net/netutil.h"
#include "net/sockapi.h"
#include "rtl/Encoding.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

namespace {

AnsiString ToAnsi(const String& Value) {
  const TBytes Bytes = TEncoding::ANSI()->GetBytes(Value);
  return AnsiString(Bytes.begin(), Bytes.end());
}

// A command line break inside the text would end the command early and start
// another one the caller never meant to send. Checked on the encoded bytes,
// so no best-fit mapping of the code page can sneak one in.
bool HoldsLineBreak(const AnsiString& Line) { return Line.find_first_of(AnsiString("\r\n\0", 3)) != AnsiString::npos; }

Integer ReplyClass(Integer Code) { return Code / 100; }

// The folder a 257 reply names: the text between its first double quote
// and the quote that closes it, where a doubled quote stands for one (a
// folder named a"b shows as "a""b"), trimmed of blanks; the whole line,
// trimmed, when it holds no quote.
AnsiString CurrentDirOfReply(const AnsiString& Line) {
  const std::size_t Open = Line.find('"');
  if (Open == AnsiString::npos) return TrimBlanks(Line);
  AnsiString Name;
  for (std::size_t I = Open + 1; I < Line.size(); ++I) {
    if (Line[I] != '"') {
      Name += Line[I];
    } else if (I + 1 < Line.size() && Line[I + 1] == '"') {
      Name += '"';
      ++I;
    } else {
      break;
    }
  }
  return TrimBlanks(Name);
}

// Strict decimal: optional sign, then digits only; no hex prefixes, no blanks.
bool TryDecimal(const String& Value, Int64& Result) {
  std::size_t i = 0;
  bool Negative = false;
  if (i < Value.size() && (Value[i] == u'-' || Value[i] == u'+')) Negative = Value[i++] == u'-';
  if (i == Value.size()) return false;
  UInt64 Magnitude = 0;
  const UInt64 Limit = Negative ? UInt64(INT64_MAX) + 1 : UInt64(INT64_MAX);
  for (; i < Value.size(); ++i) {
    const Char C = Value[i];
    if (C < u'0' || C > u'9') return false;
    const UInt64 Digit = static_cast<UInt64>(C - u'0');
    if (Magnitude > (Limit - Digit) / 10) return false;
    Magnitude = Magnitude * 10 + Digit;
  }
  Result = Negative ? static_cast<Int64>(0 - Magnitude) : static_cast<Int64>(Magnitude);
  return true;
}

bool IsValidPort(const String& Port) {
  Int64 Value = 0;
  return TryDecimal(Port, Value) && Value >= 1 && Value <= 65535;
}

bool LocalFileExists(const String& FileName) {
  std::error_code Error;
  return std::filesystem::is_regular_file(std::filesystem::path(FileName), Error);
}

// clang-format off
const TLogonActions LogonPrograms[9] = {
  {0, 255, 3,  1, 255, 6,  2, 255, 254,  0, 0, 0,  0, 0, 0,  0, 0, 0},
  {3, 6, 3,  4, 6, 254,  5, 254, 9,  0, 255, 12,  1, 255, 15,  2, 255, 254},
  {3, 6, 3,  4, 6, 254,  6, 255, 9,  1, 255, 12,  2, 255, 254,  0, 0, 0},
  {3, 6, 3,  4, 6, 254,  0, 255, 9,  1, 255, 12,  2, 255, 254,  0, 0, 0},
  {7, 3, 3,  0, 255, 6,  1, 255, 9,  2, 255, 254,  0, 0, 0,  0, 0, 0},
  {6, 255, 3,  1, 255, 6,  2, 255, 254,  0, 0, 0,  0, 0, 0,  0, 0, 0},
  {8, 6, 3,  4, 6, 254,  0, 255, 9,  1, 255, 12,  2, 255, 254,  0, 0, 0},
  {9, 254, 3,  1, 255, 6,  2, 255, 254,  0, 0, 0,  0, 0, 0,  0, 0, 0},
  {10, 255, 3,  11, 255, 6,  2, 255, 254,  0, 0, 0,  0, 0, 0,  0, 0, 0},
};
// clang-format on

constexpr Byte MaxLogonAction = 11;
// A custom program may jump backwards; this many commands end any logon.
constexpr Integer MaxLogonCommands = 32;

}  // namespace

// ------------------------------------------------------------ life cycle

TFTPSend::TFTPSend() : TFTPSend(&SSLClassOf<TSSLNone>) {}

TFTPSend::TFTPSend(TSSLClass SSLPlugin) {
  FFullResult = std::make_unique<TStringList>();
  FDataStream = std::make_unique<TMemoryStream>();
  FSock = std::make_unique<TTCPBlockSocket>(SSLPlugin);
  FDSock = std::make_unique<TTCPBlockSocket>(SSLPlugin);
  FFtpList = std::make_unique<TFTPList>();
  FSock->SetOwner(this);
  FDSock->SetOwner(this);
  FSock->SetStopSignal(&FStopSignal);
  FDSock->SetStopSignal(&FStopSignal);
  // Servers end reply lines with CR, LF, CR LF or LF CR.
  FSock->SetConvertLineEnd(true);
  Timeout = 300000;
  TargetPort = u"21";
  UserName = u"anonymous";
  Password = u"guestuser@" + FSock->LocalName();
}

TFTPSend::~TFTPSend() = default;

const TLogonActions& TFTPSend::BuiltInLogon(Integer Mode) {
  return (Mode >= 1 && Mode <= 8) ? LogonPrograms[Mode] : LogonPrograms[0];
}

void TFTPSend::NotifyStatus(Boolean Response, const String& Value) {
  if (OnStatus) OnStatus(this, Response, Value);
}

// ------------------------------------------------------------ commands and replies

AnsiString TFTPSend::EncodeText(const String& Value) const { return FUTF8 ? UTF16ToUTF8(Value) : ToAnsi(Value); }

Integer TFTPSend::FTPCommand(const String& Value) { return SendCommandLine(EncodeText(Value), Value); }

Integer TFTPSend::FTPCommandRaw(const AnsiString& Line) { return SendCommandLine(Line, DecodeWireText(Line)); }

Integer TFTPSend::NoReply() {
  FFullResult->Clear();
  FResultString.clear();
  FResultRaw.clear();
  FResultCode = 0;
  return 0;
}

Integer TFTPSend::SendCommandLine(const AnsiString& Line, const String& Shown) {
  // An aborted transfer sends nothing more.
  if (HoldsLineBreak(Line) || FStopSignal.load()) return NoReply();
  if (FOwedReplies > 0 && !SettleOwedReplies()) return NoReply();
  FSock->Purge();
  // A flood Purge gave up on has closed the connection.
  if (FSock->LastError() != 0) return NoReply();
  FSock->SendString(Line + "\r\n");
  // Stopped before anything was written: there is no reply to wait for.
  if (FSock->LastError() == WirraErr::Stopped) return NoReply();
  NotifyStatus(false, Shown);
  const Integer Code = ReadResult();
  if (ReplyCut()) ++FOwedReplies;
  return Code;
}

bool TFTPSend::ReplyCut() const { return FSock->LastError() == WirraErr::Stopped && FStopSignal.load(); }

Boolean TFTPSend::SettleOwedReplies() {
  Integer Preliminary = 0;
  while (FOwedReplies > 0) {
    ReadResult();
    if (ReplyCut()) return false;  // a new abort: still owed
    if (FResultCode == 0 || Preliminary > MaxPreliminaryReplies) {
      // Silence, a close or no reply at all: which reply answers what can
      // no longer be told.
      FOwedReplies = 0;
      FSock->AbortSocket();
      return false;
    }
    // A preliminary reply is followed by the command's last one.
    if (ReplyClass(FResultCode) == 1) {
      ++Preliminary;
    } else {
      Preliminary = 0;
      --FOwedReplies;
    }
  }
  return true;
}

Integer TFTPSend::ReadResult() {
  FFullResult->Clear();
  String Code;
  Integer Lines = 0;
  std::size_t Bytes = 0;
  Boolean Flooded = false;
  for (;;) {
    const AnsiString Raw = FSock->RecvString(Timeout);
    const String Line = DecodeWireText(Raw);
    FResultRaw = Raw;
    if (Code.empty() && Line.size() >= 4 && (Line[3] == u' ' || Line[3] == u'-')) Code = Line.substr(0, 3);
    FResultString = Line;
    FFullResult->Add(Line);
    NotifyStatus(true, Line);
    if (FSock->LastError() != 0) break;
    if (!Code.empty() && Line.size() >= 4 && Line[3] == u' ' && Line.compare(0, 3, Code) == 0) break;
    Bytes += Raw.size();
    if (++Lines >= MaxReplyLines || Bytes >= static_cast<std::size_t>(MaxReplyBytes)) {
      // The rest of this reply would be read as the next replies: the
      // connection is out of step with the server for good. A plain close,
      // as a graceful one would drain a flood that may never end.
      Flooded = true;
      FSock->AbortSocket();
      break;
    }
  }
  Int64 Value = 0;
  FResultCode =
      (!Flooded && Code.size() == 3 && TryDecimal(Code, Value) && Value >= 0) ? static_cast<Integer>(Value) : 0;
  return FResultCode;
}

// ------------------------------------------------------------ logon

String TFTPSend::LogonCommand(Byte Action, const String& Target) const {
  switch (Action) {
    case 0:
      return u"USER " + UserName;
    case 1:
      return u"PASS " + Password;
    case 2:
      return u"ACCT " + Account;
    case 3:
      return u"USER " + FWUsername;
    case 4:
      return u"PASS " + FWPassword;
    case 5:
      return u"SITE " + Target;
    case 6:
      return u"USER " + UserName + u"@" + Target;
    case 7:
      return u"OPEN " + Target;
    case 8:
      return u"USER " + FWUsername + u"@" + Target;
    case 9:
      return u"USER " + UserName + u"@" + Target + u" " + FWUsername;
    case 10:
      return u"USER " + UserName + u"@" + FWUsername + u"@" + Target;
    case 11:
      return u"PASS " + Password + u"@" + FWPassword;
    default:
      return String();
  }
}

Boolean TFTPSend::RunLogonSequence(Integer Mode) {
  if (FWHost.empty()) Mode = 0;
  const String Target = TargetPort == u"21" ? TargetHost : TargetHost + u":" + TargetPort;
  const TLogonActions& Program = Mode == -1 ? CustomLogon : BuiltInLogon(Mode);
  Integer Step = 0;
  for (Integer Sent = 0; Sent < MaxLogonCommands; ++Sent) {
    // Only whole steps and the defined actions make a program.
    if (Step < 0 || Step + 2 >= static_cast<Integer>(Program.size()) || Step % 3 != 0) return false;
    const Byte Action = Program[static_cast<std::size_t>(Step)];
    if (Action > MaxLogonAction) return false;
    const Integer Class = ReplyClass(FTPCommand(LogonCommand(Action, Target)));
    Byte Next;
    if (Class == 2) {
      Next = Program[static_cast<std::size_t>(Step) + 1];
    } else if (Class == 3) {
      Next = Program[static_cast<std::size_t>(Step) + 2];
    } else {
      return false;
    }
    if (Next == FtpLogon::LoggedOn) return true;
    if (Next == FtpLogon::Failed) return false;
    Step = Next;
  }
  return false;
}

Boolean TFTPSend::OpenControlConnection() {
  FSock->CloseSocket();
  FSock->SetConnectTimeout(Timeout);
  FSock->Bind(IPInterface, u"0");
  if (FSock->LastError() == 0) {
    if (!FWHost.empty()) {
      FSock->Connect(FWHost, FWPort);
    } else {
      FSock->Connect(TargetHost, TargetPort);
    }
  }
  if (FSock->LastError() == 0 && FullSSL) FSock->SSLDoConnect();
  if (FSock->LastError() == 0) return true;
  // A socket that never got connected is not an open connection: left
  // open, the next log-in would send QUIT into it and wait for a reply
  // that cannot come. Closing keeps the error readable.
  FSock->CloseSocket();
  return false;
}

Boolean TFTPSend::Login() {
  FCanResume = false;
  FUTF8 = false;
  FHiddenListing = THiddenListing::Unknown;
  FHiddenRefusals = 0;
  FOwedReplies = 0;  // a new connection owes nothing
  if (!OpenControlConnection()) return false;
  FIsTLS = FullSSL;
  FIsDataTLS = false;
  ReadResult();
  for (Integer Preliminary = 0; ReplyClass(FResultCode) == 1; ++Preliminary) {
    if (Preliminary >= MaxPreliminaryReplies) return false;
    ReadResult();
  }
  if (ReplyClass(FResultCode) != 2) return false;
  if (AutoTLS && !FIsTLS) {
    if (ReplyClass(FTPCommand(u"AUTH TLS")) == 2) {
      FSock->SSLDoConnect();
      if (FSock->LastError() != 0) return false;
      FIsTLS = true;
    }
  }
  if (!RunLogonSequence(FWMode)) return false;
  if (FIsTLS) {
    FTPCommand(u"PBSZ 0");
    if (TLSonData && ReplyClass(FTPCommand(u"PROT P")) == 2) FIsDataTLS = true;
    if (!FIsDataTLS) FTPCommand(u"PROT C");
  }
  // Whether names travel in UTF-8. FEAT lists UTF8 on servers that use it;
  // some switch to it only when asked, and a server that knows no FEAT may
  // still accept the switch.
  const Integer Features = FTPCommand(u"FEAT");
  bool ListsUtf8 = false;
  if (ReplyClass(Features) == 2) {
    for (Integer I = 0; I < FFullResult->Count(); ++I) {
      if (UpperCase(TrimBlanks(FFullResult->Strings(I))) == u"UTF8") ListsUtf8 = true;
    }
  }
  if (ListsUtf8 || ReplyClass(Features) != 2) {
    const bool Switched = ReplyClass(FTPCommand(u"OPTS UTF8 ON")) == 2;
    FUTF8 = ListsUtf8 || Switched;
  }
  FTPCommand(u"TYPE I");
  FTPCommand(u"STRU F");
  FTPCommand(u"MODE S");
  if (FTPCommand(u"REST 0") == 350 && FTPCommand(u"REST 1") == 350) {
    FTPCommand(u"REST 0");
    FCanResume = true;
  }
  return true;
}

Boolean TFTPSend::Logout() {
  const Boolean Result = ReplyClass(FTPCommand(u"QUIT")) == 2;
  FSock->CloseSocket();
  return Result;
}

void TFTPSend::RequestAbort(int Kind) {
  std::lock_guard<std::mutex> Guard(FAbortLock);
  if (!FTakingAborts) return;
  if (FAbortRequest.load() < Kind) FAbortRequest.store(Kind);
  FStopSignal.store(true);
}

void TFTPSend::Abort() { RequestAbort(1); }

void TFTPSend::TelnetAbort() { RequestAbort(2); }

void TFTPSend::OpenAborts() {
  std::lock_guard<std::mutex> Guard(FAbortLock);
  FAbortRequest.store(0);
  FStopSignal.store(false);
  FTakingAborts = true;
}

void TFTPSend::CloseAborts(bool KeepRequest) {
  std::lock_guard<std::mutex> Guard(FAbortLock);
  FTakingAborts = false;
  FStopSignal.store(false);
  if (!KeepRequest) FAbortRequest.store(0);
}

// Marks the span of one transfer: an abort asked for before it began is
// forgotten, one asked for during it is kept until it ends.
class TFTPSend::TTransferScope {
public:
  explicit TTransferScope(TFTPSend& Client) : FClient(Client) {
    if (FClient.FTransferDepth++ == 0) FClient.OpenAborts();
  }
  ~TTransferScope() {
    if (--FClient.FTransferDepth == 0) FClient.CloseAborts(false);
  }
  TTransferScope(const TTransferScope&) = delete;
  TTransferScope& operator=(const TTransferScope&) = delete;

private:
  TFTPSend& FClient;
};

Boolean TFTPSend::AbandonTransfer() {
  FDSock->CloseSocket();
  return false;
}

Boolean TFTPSend::FinishAbortedTransfer() {
  // From here the control connection is needed again: later requests are
  // not taken, and this one (its kind read below) stays known to the
  // transfer's callers.
  CloseAborts(true);
  // IAC IP, IAC DM: interrupt the process, then mark the data stream.
  AnsiString Line = FAbortRequest.load() == 2 ? AnsiString("\xFF\xF4\xFF\xF2", 4) : AnsiString();
  Line += "ABOR\r\n";
  FSock->SendString(Line);
  NotifyStatus(false, u"ABOR");
  FDSock->CloseSocket();
  // The transfer's reply (426 when it was cut, 226 when it had just ended),
  // then ABOR's own; the first is the transfer's result.
  ReadResult();
  const Integer Code = FResultCode;
  const String Text = FResultString;
  TStringList Lines;
  Lines.Assign(*FFullResult);
  if (FSock->LastError() == 0) ReadResult();
  FResultCode = Code;
  FResultString = Text;
  FFullResult->Assign(Lines);
  FDSock->CloseSocket();
  return false;
}

// ------------------------------------------------------------ single commands

Boolean TFTPSend::NoOp() { return ReplyClass(FTPCommand(u"NOOP")) == 2; }

Boolean TFTPSend::ChangeWorkingDir(const String& Directory) { return ReplyClass(FTPCommand(u"CWD " + Directory)) == 2; }

Boolean TFTPSend::ChangeWorkingDirRaw(const AnsiString& Directory) {
  return ReplyClass(FTPCommandRaw("CWD " + Directory)) == 2;
}

Boolean TFTPSend::DeleteDirRaw(const AnsiString& Directory) {
  return ReplyClass(FTPCommandRaw("RMD " + Directory)) == 2;
}

Boolean TFTPSend::DeleteFileRaw(const AnsiString& FileName) {
  return ReplyClass(FTPCommandRaw("DELE " + FileName)) == 2;
}

Boolean TFTPSend::ChangeToParentDir() { return ReplyClass(FTPCommand(u"CDUP")) == 2; }

Boolean TFTPSend::ChangeToRootDir() { return ChangeWorkingDir(u"/"); }

Boolean TFTPSend::DeleteDir(const String& Directory) { return ReplyClass(FTPCommand(u"RMD " + Directory)) == 2; }

Boolean TFTPSend::CreateDir(const String& Directory) { return ReplyClass(FTPCommand(u"MKD " + Directory)) == 2; }

Boolean TFTPSend::DeleteFile(const String& FileName) { return ReplyClass(FTPCommand(u"DELE " + FileName)) == 2; }

Boolean TFTPSend::RenameFile(const String& OldName, const String& NewName) {
  if (ReplyClass(FTPCommand(u"RNFR " + OldName)) != 3) return false;
  return ReplyClass(FTPCommand(u"RNTO " + NewName)) == 2;
}

Int64 TFTPSend::FileSize(const String& FileName) {
  if (ReplyClass(FTPCommand(u"SIZE " + FileName)) != 2) return -1;
  String S = TrimBlanks(TextAfterDelimiter(FResultString, u" "));
  S = TrimBlanks(TextBeforeDelimiter(S, u" "));
  Int64 Result = -1;
  return TryDecimal(S, Result) ? Result : -1;
}

String TFTPSend::GetCurrentDir() {
  if (ReplyClass(FTPCommand(u"PWD")) != 2) return String();
  return DecodeWireText(CurrentDirOfReply(FResultRaw));
}

AnsiString TFTPSend::GetCurrentDirRaw() {
  if (ReplyClass(FTPCommand(u"PWD")) != 2) return AnsiString();
  return CurrentDirOfReply(FResultRaw);
}

// ------------------------------------------------------------ data connections

void TFTPSend::ParseRemote(const String& Value) {
  String S = Trim(Value);
  if (Pos(u'(', S) > 0 && Pos(u')', S) > 0) {
    S = TextBeforeDelimiter(TextAfterDelimiter(S, u"("), u")");
  } else {
    const Integer Blank = LastPosition(u" ", S);
    if (Blank > 0) S = Copy(S, Blank + 1);
  }
  String Fields[6];
  for (String& Field : Fields) Field = SplitOffField(S, u",");
  FDataIP = Fields[0] + u"." + Fields[1] + u"." + Fields[2] + u"." + Fields[3];
  // Each port byte must be 0..255: "(…,-1,300)" would otherwise add up to a
  // valid-looking port 44 and the data connection would go somewhere else.
  Int64 High = -1, Low = -1;
  const bool Bytes = TryDecimal(Trim(Fields[4]), High) && TryDecimal(Trim(Fields[5]), Low) && High >= 0 &&
                     High <= 255 && Low >= 0 && Low <= 255;
  FDataPort = Bytes ? IntToStr(static_cast<Integer>(High * 256 + Low)) : String(u"0");
}

void TFTPSend::ParseRemoteEPSV(const String& Value) {
  String S = Trim(TextBeforeDelimiter(TextAfterDelimiter(Value, u"("), u")"));
  if (!S.empty()) S.pop_back();
  std::size_t First = S.size();
  while (First > 0 && S[First - 1] >= u'0' && S[First - 1] <= u'9') --First;
  FDataPort = S.substr(First);
  FDataIP = FSock->GetRemoteSinIP();
}

Boolean TFTPSend::OpenDataChannel() {
  if (FIsDataTLS) PassiveMode = true;
  if (PassiveMode) {
    Boolean Extended = false;
    if (FSock->IP6used() && !ForceOldPort && ReplyClass(FTPCommand(u"EPSV 2")) == 2) {
      ParseRemoteEPSV(FResultString);
      Extended = true;
    }
    if (!Extended) {
      if (FSock->IP6used()) return false;
      if (ReplyClass(FTPCommand(u"PASV")) != 2) return false;
      ParseRemote(FResultString);
      // A PASV reply may name any host; connecting there would let a server
      // aim us at a third machine (or reveal a useless private address from
      // behind NAT). Data comes from the same peer as the control replies.
      const String Peer = FSock->GetRemoteSinIP();
      if (!Peer.empty() && FDataIP != Peer) FDataIP = Peer;
    }
    if (!IsValidPort(FDataPort)) return false;
    FDSock->CloseSocket();
    FDSock->SetConnectTimeout(Timeout);
    FDSock->Bind(IPInterface, u"0");
    if (FDSock->LastError() != 0) return false;
    FDSock->Connect(FDataIP, FDataPort);
    return FDSock->LastError() == 0;
  }

  FDSock->CloseSocket();
  FDSock->Bind(FSock->GetLocalSinIP(), ForceDefaultPort ? u"20" : u"0");
  if (FDSock->LastError() != 0) return false;
  FDSock->SetLinger(true, 10000);
  FDSock->Listen();
  if (FDSock->LastError() != 0) return false;
  FDSock->GetSins();
  FDataIP = FDSock->ResolveName(FDSock->GetLocalSinIP());
  const Integer Port = FDSock->GetLocalSinPort();
  FDataPort = IntToStr(Port);
  Boolean Result = false;
  if (FSock->IP6used() && !ForceOldPort) {
    const String Family = IsIPv6Text(FDataIP) ? u"2" : u"1";
    Result = ReplyClass(FTPCommand(u"EPRT |" + Family + u"|" + FDataIP + u"|" + FDataPort + u"|")) == 2;
  }
  if (!Result && IsIPv4Text(FDataIP)) {
    const String Host = StringReplace(FDataIP, u".", u",", rfReplaceAll);
    Result = ReplyClass(FTPCommand(u"PORT " + Host + u"," + IntToStr(Port / 256) + u"," + IntToStr(Port % 256))) == 2;
  }
  return Result;
}

Boolean TFTPSend::AcceptDataChannel() {
  if (!PassiveMode) {
    if (!FDSock->CanRead(Timeout)) return false;
    const TSocket Accepted = FDSock->Accept();
    // A failed accept leaves no connection to read from; going on would
    // report whatever the server says next over an empty transfer.
    if (Accepted == INVALID_SOCKET_HANDLE || FDSock->LastError() != 0) return false;
    if (!FDSock->UsingSocks()) {
      FDSock->CloseSocket();
      FDSock->SetSocket(Accepted);
    }
  }
  if (FIsDataTLS) {
    FDSock->SSL()->Assign(*FSock->SSL());
    FDSock->SSLDoConnect();
    return FDSock->LastError() == 0;
  }
  return true;
}

Boolean TFTPSend::DataRead(TStream* DestStream) {
  if (!AcceptDataChannel()) {
    if (AbortRequested()) return FinishAbortedTransfer();
    FDSock->CloseSocket();
    return false;
  }
  Boolean Stored = true;
  try {
    // The end of the data is the server's close (10054) or silence (10060);
    // the final reply judges the transfer.
    for (;;) {
      const AnsiString Packet = FDSock->RecvPacket(Timeout);
      if (!Packet.empty()) DestStream->WriteBuffer(Packet.data(), static_cast<Int64>(Packet.size()));
      if (FDSock->LastError() != 0) break;
    }
  } catch (const Exception&) {
    Stored = false;  // the destination refused the data (a full disk)
  }
  if (AbortRequested()) return FinishAbortedTransfer();
  FDSock->CloseSocket();
  const Integer Code = ReadResult();
  if (ReplyCut()) ++FOwedReplies;
  FDSock->CloseSocket();
  return Stored && ReplyClass(Code) == 2;
}

Boolean TFTPSend::DataWrite(TStream* SourceStream) {
  if (!AcceptDataChannel()) {
    if (AbortRequested()) return FinishAbortedTransfer();
    FDSock->CloseSocket();
    return false;
  }
  Integer SendError = 0;
  try {
    FDSock->SendStreamRaw(SourceStream);
    SendError = FDSock->LastError();
  } catch (const Exception&) {
    SendError = -1;  // the source could not be read
  }
  if (AbortRequested()) return FinishAbortedTransfer();
  // Closing tells the server the data is complete.
  FDSock->CloseSocket();
  const Integer Code = ReadResult();
  if (ReplyCut()) ++FOwedReplies;
  FDSock->CloseSocket();
  return SendError == 0 && ReplyClass(Code) == 2;
}

// ------------------------------------------------------------ transfers

Boolean TFTPSend::ListWith(const String& Command, Boolean NameList, TListFailure* Failure) {
  TListFailure Unused;
  TListFailure& Failed = Failure ? *Failure : Unused;
  Failed = TListFailure::Prepare;
  FDataStream->Clear();
  FFtpList->Clear();
  FTPCommand(u"TYPE A");
  if (AbortRequested()) return false;
  if (!OpenDataChannel() || AbortRequested()) return AbortRequested() ? AbandonTransfer() : false;
  if (ReplyClass(FTPCommand(Command)) != 1) {
    if (AbortRequested()) return AbandonTransfer();
    if (FResultCode != 0) Failed = TListFailure::Refused;
    return false;
  }
  Failed = TListFailure::Transfer;
  const Boolean Result = DataRead(FDataStream.get());
  if (Result) Failed = TListFailure::None;
  if (Result && !NameList) {
    FFtpList->SetListing(std::string_view(static_cast<const char*>(FDataStream->Memory()),
                                          static_cast<std::size_t>(FDataStream->Size())));
    FFtpList->ParseLines();
  }
  FDataStream->SetPosition(0);
  return Result;
}

namespace {

// Whether a reply to "LIST -a" shows that the server did not take "-a" for
// an option: a syntax error or an unknown command or parameter, or a
// refusal that names "-a" (taken for a file name).
bool RefusesOption(Integer Code, const String& Reply) {
  if (Code == 500 || Code == 501 || Code == 502 || Code == 504) return true;
  if (Code / 100 != 4 && Code / 100 != 5) return false;
  const auto IsNamePart = [](Char C) {
    return (C >= u'0' && C <= u'9') || (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || C == u'-' || C == u'_';
  };
  for (std::size_t At = Reply.find(u"-a", 4); At != String::npos; At = Reply.find(u"-a", At + 1)) {
    const bool Starts = At == 0 || !IsNamePart(Reply[At - 1]);
    const bool Ends = At + 2 >= Reply.size() || !IsNamePart(Reply[At + 2]);
    if (Starts && Ends) return true;
  }
  return false;
}

}  // namespace

void TFTPSend::GiveUpHiddenListing(const String& Reason) {
  FHiddenListing = THiddenListing::Fails;
  NotifyStatus(true, u"LIST -a given up for this session, names beginning with \".\" are no longer listed: " + Reason);
}

Boolean TFTPSend::List(const String& Directory, Boolean NameList) {
  TTransferScope Scope(*this);
  const String Argument = Directory.empty() ? String() : u" " + Directory;
  if (!ListHidden || !Directory.empty() || NameList || FHiddenListing == THiddenListing::Fails)
    return ListWith((NameList ? u"NLST" : u"LIST") + Argument, NameList);
  if (FHiddenListing == THiddenListing::Works) return ListWith(u"LIST -a", false);

  TListFailure Failure = TListFailure::None;
  if (!ListWith(u"LIST -a", false, &Failure)) {
    // Only the server's answer to the command itself tells about the
    // option. A failed data connection, a lost connection or an abort is
    // this folder's failed listing, and the next folder asks again.
    if (Failure != TListFailure::Refused || AbortRequested()) return false;
    if (RefusesOption(FResultCode, FResultString)) {
      GiveUpHiddenListing(u"the server does not understand it (" + FResultString + u")");
      return ListWith(u"LIST", false);
    }
    // Refused for a reason of its own (a folder gone or unreadable, a busy
    // server, or "-a" taken for a name the reply does not show): this folder
    // is listed plainly.
    const String Refusal = FResultString;
    const Boolean Listed = ListWith(u"LIST", false);
    if (Listed && ++FHiddenRefusals >= MaxHiddenRefusals) {
      GiveUpHiddenListing(u"refused in " + IntToStr(FHiddenRefusals) + u" folders in a row that LIST lists (" +
                          Refusal + u")");
    }
    return Listed;
  }
  FHiddenRefusals = 0;
  TFTPList All;
  All.Assign(*FFtpList);
  const std::string AllData(static_cast<const char*>(FDataStream->Memory()),
                            static_cast<std::size_t>(FDataStream->Size()));
  const auto KeepAll = [&] {
    FFtpList->Assign(All);
    FDataStream->Clear();
    FDataStream->WriteBuffer(AllData.data(), static_cast<Int64>(AllData.size()));
    FDataStream->SetPosition(0);
    return true;
  };
  if (!ListWith(u"LIST", false) || FFtpList->Count() == 0) return KeepAll();  // nothing to judge by yet
  for (Integer I = 0; I < FFtpList->Count(); ++I) {
    const AnsiString& Name = FFtpList->Items(I)->RawFileName;
    const bool Shown = std::any_of(All.List.begin(), All.List.end(),
                                   [&](const std::unique_ptr<TFTPListRec>& E) { return E->RawFileName == Name; });
    if (!Shown) {
      GiveUpHiddenListing(u"its listing leaves out names that LIST shows");
      return true;  // the plain listing, already in place
    }
  }
  FHiddenListing = THiddenListing::Works;
  return KeepAll();
}

Boolean TFTPSend::RetrieveFile(const String& FileName, Boolean Restore) {
  TTransferScope Scope(*this);
  if (FileName.empty()) return false;
  if (!OpenDataChannel() || AbortRequested()) return AbortRequested() ? AbandonTransfer() : false;
  const Boolean Resume = Restore && FCanResume;
  std::unique_ptr<TFileStream> File;
  TStream* Target = FDataStream.get();
  if (DirectFile) {
    try {
      if (Resume && LocalFileExists(DirectFileName)) {
        File = std::make_unique<TFileStream>(DirectFileName, fmOpenReadWrite | fmShareExclusive);
      } else {
        File = std::make_unique<TFileStream>(DirectFileName, fmCreate | fmShareDenyWrite);
      }
    } catch (const Exception&) {
      return false;
    }
    Target = File.get();
  }
  FTPCommand(BinaryMode ? u"TYPE I" : u"TYPE A");
  if (Resume) {
    Target->Seek(0, soEnd);
    if (ReplyClass(FTPCommand(u"REST " + IntToStr(Target->Size()))) != 3) return false;
  } else if (!DirectFile) {
    FDataStream->Clear();
  }
  if (AbortRequested() || ReplyClass(FTPCommand(u"RETR " + FileName)) != 1) {
    return AbortRequested() ? AbandonTransfer() : false;
  }
  const Boolean Result = DataRead(Target);
  if (!DirectFile) FDataStream->SetPosition(0);
  return Result;
}

Boolean TFTPSend::StoreFromStream(const String& Command, Int64 RestoreAt) {
  TTransferScope Scope(*this);
  std::unique_ptr<TFileStream> File;
  TStream* Source = FDataStream.get();
  if (DirectFile) {
    if (!LocalFileExists(DirectFileName)) return false;
    try {
      File = std::make_unique<TFileStream>(DirectFileName, fmOpenRead | fmShareDenyWrite);
    } catch (const Exception&) {
      return false;
    }
    Source = File.get();
  }
  if (!OpenDataChannel() || AbortRequested()) return AbortRequested() ? AbandonTransfer() : false;
  FTPCommand(BinaryMode ? u"TYPE I" : u"TYPE A");
  Int64 Offset = FCanResume && RestoreAt > 0 ? RestoreAt : 0;
  const Int64 Size = Source->Size();
  if (Size > 0 && Size == Offset) return true;
  if (Size < Offset) Offset = 0;
  FTPCommand(u"ALLO " + IntToStr(Size - Offset));
  if (FCanResume && ReplyClass(FTPCommand(u"REST " + IntToStr(Offset))) != 3) return false;
  Source->SetPosition(Offset);
  if (AbortRequested() || ReplyClass(FTPCommand(Command)) != 1) {
    return AbortRequested() ? AbandonTransfer() : false;
  }
  return DataWrite(Source);
}

Boolean TFTPSend::StoreFile(const String& FileName, Boolean Restore) {
  TTransferScope Scope(*this);
  if (FileName.empty()) return false;
  Int64 Offset = 0;
  if (Restore && FCanResume) {
    Offset = FileSize(FileName);
    if (Offset < 0) Offset = 0;
  }
  return StoreFromStream(u"STOR " + FileName, Offset);
}

Boolean TFTPSend::StoreUniqueFile() { return StoreFromStream(u"STOU", 0); }

Boolean TFTPSend::AppendFile(const String& FileName) {
  if (FileName.empty()) return false;
  return StoreFromStream(u"APPE " + FileName, 0);
}
