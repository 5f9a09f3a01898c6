// The proxy side of the stream socket: TSocksBlockSocket's SOCKS 4, 4a and 5
// exchanges, and TTCPBlockSocket's connect, listen and accept through a
// SOCKS proxy or an HTTP CONNECT tunnel, with the addresses they report.
// Declared in blcksock.h.
#include <cstring>

#include "net/blcksock.h"
#include "net/netcode.h"
#include "net/netip.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

namespace {

const AnsiString CRLF = "\r\n";

}  // namespace

// ======================================================= TSocksBlockSocket

TSocksBlockSocket::TSocksBlockSocket() = default;

TSocksBlockSocket::TSocksBlockSocket(const String& Stub) : TBlockSocket(Stub) {}

bool TSocksBlockSocket::SocksOpen() {
  FUsingSocks = false;
  if (FSocksType == ST_Socks4) {
    FUsingSocks = true;
    return true;
  }
  const AnsiString user = UTF16ToUTF8(FSocksUsername);
  const AnsiString pass = UTF16ToUTF8(FSocksPassword);
  // A name or password that does not fit its length byte is refused, never cut.
  if (user.size() > 255 || (!user.empty() && pass.size() > 255)) return false;
  FBypassFlag = true;
  bool result = false;
  do {
    SendString(user.empty() ? AnsiString("\x05\x01\x00", 3) : AnsiString("\x05\x02\x02\x00", 4));
    if (LastError() != 0) break;
    AnsiString answer = RecvBufferStr(2, FSocksTimeout);
    if (LastError() != 0 || answer.size() < 2 || answer[0] != '\x05') break;
    if (answer[1] == '\x02' && !user.empty()) {
      AnsiString auth("\x01", 1);
      auth += static_cast<char>(user.size());
      auth += user;
      auth += static_cast<char>(pass.size());
      auth += pass;
      SendString(auth);
      if (LastError() != 0) break;
      answer = RecvBufferStr(2, FSocksTimeout);
      if (LastError() != 0 || answer.size() < 2 || answer[1] != '\x00') break;
    } else if (answer[1] != '\x00') {
      break;
    }
    result = true;
  } while (false);
  FBypassFlag = false;
  FUsingSocks = result;
  return result;
}

bool TSocksBlockSocket::SocksCode(const String& IP, const String& Port, AnsiString& Result) {
  Result.clear();
  String ip = IP;
  if (!FSocksResolver) ip = ResolveName(IP);
  const Word port = ResolvePort(Port);
  if (FSocksType == ST_Socks4) {
    const AnsiString user = UTF16ToUTF8(FSocksUsername);
    if (user.find('\0') != AnsiString::npos) return false;
    Result = WordToBigEndian(port);
    if (IsIPv4Text(ip)) {
      const TIPv4Bytes b = IPv4TextToBytes(ip);
      Result.append(reinterpret_cast<const char*>(b.data()), 4);
      Result += user;
      Result += '\0';
    } else {
      const AnsiString host = UTF16ToUTF8(ip);
      if (host.empty() || host.find('\0') != AnsiString::npos) return false;
      Result.append("\x00\x00\x00\x01", 4);
      Result += user;
      Result += '\0';
      Result += host;
      Result += '\0';
    }
    return true;
  }
  if (IsIPv4Text(ip)) {
    const TIPv4Bytes b = IPv4TextToBytes(ip);
    Result = "\x01";
    Result.append(reinterpret_cast<const char*>(b.data()), 4);
  } else if (IsIPv6Text(ip)) {
    const TIPv6Bytes b = IPv6TextToBytes(ip);
    Result = "\x04";
    Result.append(reinterpret_cast<const char*>(b.data()), 16);
  } else {
    const AnsiString host = UTF16ToUTF8(ip);
    if (host.empty() || host.size() > 255) return false;
    Result = "\x03";
    Result += static_cast<char>(host.size());
    Result += host;
  }
  Result += WordToBigEndian(port);
  return true;
}

bool TSocksBlockSocket::SocksRequest(Byte Cmd, const String& IP, const String& Port) {
  AnsiString address;
  if (!SocksCode(IP, Port, address)) return false;
  FBypassFlag = true;
  AnsiString request;
  if (FSocksType == ST_Socks4) {
    request = "\x04";
    request += static_cast<char>(Cmd);
  } else {
    request = "\x05";
    request += static_cast<char>(Cmd);
    request += '\0';
  }
  request += address;
  SendString(request);
  FBypassFlag = false;
  return LastError() == 0;
}

Integer TSocksBlockSocket::SocksDecode(const AnsiString& Value) {
  auto at = [&](std::size_t i) { return static_cast<Byte>(Value[i]); };
  FSocksResponsePort = u"0";
  if (FSocksType != ST_Socks4) {
    if (Value.size() < 4) return 0;
    std::size_t portAt;
    switch (at(3)) {
      case 1:
        if (Value.size() < 10) return 4;
        FSocksResponseIP = IntToStr(at(4)) + u"." + IntToStr(at(5)) + u"." + IntToStr(at(6)) + u"." + IntToStr(at(7));
        portAt = 8;
        break;
      case 3: {
        if (Value.size() < 5) return 4;
        const std::size_t n = at(4);
        if (Value.size() < 5 + n + 2) return 4;
        FSocksResponseIP = UTF8ToUTF16(Value.substr(5, n));
        portAt = 5 + n;
        break;
      }
      case 4: {
        if (Value.size() < 22) return 4;
        TIPv6Bytes b;
        std::memcpy(b.data(), Value.data() + 4, 16);
        FSocksResponseIP = IPv6BytesToText(b);
        portAt = 20;
        break;
      }
      default:
        return 4;
    }
    FSocksResponsePort = IntToStr(BigEndianToWord(Value, static_cast<Integer>(portAt) + 1));
    return static_cast<Integer>(portAt + 2);
  }
  if (Value.size() < 8) return 0;
  FSocksResponsePort = IntToStr(BigEndianToWord(Value, 3));
  FSocksResponseIP = IntToStr(at(4)) + u"." + IntToStr(at(5)) + u"." + IntToStr(at(6)) + u"." + IntToStr(at(7));
  return 8;
}

bool TSocksBlockSocket::SocksResponse() {
  FBypassFlag = true;
  FSocksResponseIP.clear();
  FSocksResponsePort.clear();
  FSocksLastError = -1;
  bool result = false;
  do {
    AnsiString answer;
    if (FSocksType == ST_Socks4) {
      answer = RecvBufferStr(8, FSocksTimeout);
      if (LastError() != 0 || answer.size() < 8 || answer[0] != '\0') break;
      FSocksLastError = static_cast<Byte>(answer[1]);
      if (FSocksLastError != 90) break;
    } else {
      answer = RecvBufferStr(4, FSocksTimeout);
      if (LastError() != 0 || answer.size() < 4 || answer[0] != '\x05') break;
      switch (static_cast<Byte>(answer[3])) {
        case 1:
          answer += RecvBufferStr(4, FSocksTimeout);
          break;
        case 3: {
          const AnsiString len = RecvBufferStr(1, FSocksTimeout);
          if (LastError() != 0 || len.empty()) break;
          answer += len;
          answer += RecvBufferStr(static_cast<Byte>(len[0]), FSocksTimeout);
          break;
        }
        case 4:
          answer += RecvBufferStr(16, FSocksTimeout);
          break;
        default:
          FBypassFlag = false;
          return false;
      }
      if (LastError() != 0) break;
      answer += RecvBufferStr(2, FSocksTimeout);
      if (LastError() != 0) break;
      FSocksLastError = static_cast<Byte>(answer[1]);
      if (FSocksLastError != 0) break;
    }
    SocksDecode(answer);
    result = true;
  } while (false);
  FBypassFlag = false;
  return result;
}

// ======================================== TTCPBlockSocket through a proxy

void TTCPBlockSocket::SocksDoConnect(const String& IP, const String& Port) {
  TBlockSocket::Connect(SocksIP(), SocksPort());
  if (LastError() == 0) {
    bool b = SocksOpen();
    if (b) b = SocksRequest(1, IP, Port);
    if (b) b = SocksResponse();
    if (!b && LastError() == 0) SetLastError(WirraErr::ProxyRefused);
    FSocksLocalIP = SocksResponseIP();
    FSocksLocalPort = SocksResponsePort();
    FSocksRemoteIP = IP;
    FSocksRemotePort = Port;
  }
  ExceptCheck();
  DoStatus(HR_Connect, IP + u":" + Port);
}

void TTCPBlockSocket::HTTPTunnelDoConnect(const String& IP, const String& Port) {
  const String port = IntToStr(ResolvePort(Port));
  TBlockSocket::Connect(FHTTPTunnelIP, FHTTPTunnelPort);
  if (LastError() != 0) return;
  FHTTPTunnel = false;
  String host = IP;
  if (IsIPv6Text(IP)) host = u"[" + IP + u"]";
  const AnsiString user = UTF16ToUTF8(FHTTPTunnelUser);
  const AnsiString pass = UTF16ToUTF8(FHTTPTunnelPass);
  const AnsiString hostBytes = UTF16ToUTF8(host);
  // A host or credential with a line end would inject header lines.
  if (hostBytes.find_first_of("\r\n") != AnsiString::npos || user.find_first_of("\r\n") != AnsiString::npos ||
      pass.find_first_of("\r\n") != AnsiString::npos) {
    SetLastError(WirraErr::ProxyRefused);
    ExceptCheck();
    return;
  }
  AnsiString request = "CONNECT " + hostBytes + ":" + UTF16ToUTF8(port) + " HTTP/1.0" + CRLF;
  if (!user.empty()) request += "Proxy-Authorization: Basic " + Base64EncodeText(user + ":" + pass) + CRLF;
  request += CRLF;
  SendString(request);
  if (LastError() == 0) {
    std::size_t answered = 0;
    const auto limit = static_cast<std::size_t>(EffectiveMaxLineLength());
    for (;;) {
      const AnsiString line = RecvTerminated(FHTTPTunnelTimeout, "\n");
      if (LastError() != 0) break;
      answered += line.size() + 1;
      if (line.size() > 11 && line.compare(0, 5, "HTTP/") == 0) FHTTPTunnel = line[9] == '2';
      if (line.empty() || line == "\r") break;
      if (answered > limit) {
        // An answer that never ends its header.
        SetLastError(WirraErr::LineTooLong);
        break;
      }
    }
  }
  if (LastError() == 0 && !FHTTPTunnel) SetLastError(WirraErr::ProxyRefused);
  FHTTPTunnelRemoteIP = IP;
  FHTTPTunnelRemotePort = Port;
  ExceptCheck();
}

void TTCPBlockSocket::Listen() {
  if (SocksIP().empty()) {
    TBlockSocket::Listen();
    return;
  }
  String sip = TBlockSocket::GetLocalSinIP();
  if (sip == u"0.0.0.0") sip = LocalName();
  const Integer sport = TBlockSocket::GetLocalSinPort();
  TBlockSocket::Connect(SocksIP(), SocksPort());
  bool b = LastError() == 0;
  if (b) b = SocksOpen();
  if (b) b = SocksRequest(2, sip, IntToStr(sport));
  if (b) b = SocksResponse();
  if (!b && LastError() == 0) SetLastError(WirraErr::SocksBindRefused);
  FSocksLocalIP = SocksResponseIP();
  if (FSocksLocalIP == u"0.0.0.0") FSocksLocalIP = SocksIP();
  FSocksLocalPort = SocksResponsePort();
  FSocksRemoteIP.clear();
  FSocksRemotePort.clear();
  ExceptCheck();
  DoStatus(HR_Listen, String());
}

TSocket TTCPBlockSocket::Accept() {
  if (!FUsingSocks) return TBlockSocket::Accept();
  ResetLastError();
  if (!SocksResponse() && LastError() == 0) SetLastError(WirraErr::SocksBindRefused);
  FSocksRemoteIP = SocksResponseIP();
  FSocksRemotePort = SocksResponsePort();
  const TSocket result = Socket();
  ExceptCheck();
  DoStatus(HR_Accept, String());
  return result;
}

String TTCPBlockSocket::GetLocalSinIP() { return FUsingSocks ? FSocksLocalIP : TBlockSocket::GetLocalSinIP(); }

String TTCPBlockSocket::GetRemoteSinIP() {
  if (FUsingSocks) return FSocksRemoteIP;
  if (FHTTPTunnel) return FHTTPTunnelRemoteIP;
  return TBlockSocket::GetRemoteSinIP();
}

Integer TTCPBlockSocket::GetLocalSinPort() {
  return FUsingSocks ? StrToIntDef(FSocksLocalPort, 0) : TBlockSocket::GetLocalSinPort();
}

Integer TTCPBlockSocket::GetRemoteSinPort() {
  if (FUsingSocks) return StrToIntDef(FSocksRemotePort, 0);
  if (FHTTPTunnel) return StrToIntDef(FHTTPTunnelRemotePort, 0);
  return TBlockSocket::GetRemoteSinPort();
}
