#include "app/core/HttpGet.h"

#include <algorithm>
#include <string_view>

#include "net/blcksock.h"
#include "rtl/Threads.h"
#include "rtl/Unicode.h"

const Char* const HttpAbortedText = u"Request cancelled";

Integer THttpGet::TimeLeft(UInt64 Started) const {
  const UInt64 spent = TThread::GetTickCount64() - Started;
  const UInt64 total = static_cast<UInt64>(std::max(FTimeouts.TotalMs, 0));
  return spent >= total ? 0 : static_cast<Integer>(total - spent);
}

namespace {

bool StartsNoCase(std::u16string_view s, std::u16string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    Char a = s[i];
    if (a >= u'A' && a <= u'Z') a = static_cast<Char>(a - u'A' + u'a');
    if (a != prefix[i]) return false;
  }
  return true;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

AnsiString LowerAscii(std::string_view s) {
  AnsiString out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

bool SplitHttpUrl(const String& Url, THttpUrlParts& Parts) {
  constexpr std::u16string_view scheme = u"http://";
  if (!StartsNoCase(Url, scheme)) return false;
  AnsiString rest;
  for (std::size_t i = scheme.size(); i < Url.size(); ++i) {
    const Char c = Url[i];
    if (c <= 0x20 || c >= 0x7F) return false;  // an address is ASCII without spaces
    rest.push_back(static_cast<char>(c));
  }
  if (const auto hash = rest.find('#'); hash != AnsiString::npos) rest.resize(hash);
  const std::size_t end = rest.find_first_of("/?");
  AnsiString authority = rest.substr(0, end);
  AnsiString target = end == AnsiString::npos ? AnsiString("/") : rest.substr(end);
  if (target.front() == '?') target.insert(0, "/");
  if (authority.find('@') != AnsiString::npos) return false;
  Integer port = 80;
  if (const auto colon = authority.find(':'); colon != AnsiString::npos) {
    const AnsiString digits = authority.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return false;
    port = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return false;
    authority.resize(colon);
  }
  if (authority.empty()) return false;
  Parts.Host = authority;
  Parts.Port = port;
  Parts.Target = target;
  return true;
}

namespace {

// A chunked body decoded from the start of In, as far as it has arrived.
// False when the framing is broken.
bool DecodeChunked(const AnsiString& In, AnsiString& Out, bool& Complete, std::size_t MaxBytes) {
  Out.clear();
  Complete = false;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t eol = In.find("\r\n", pos);
    if (eol == AnsiString::npos) return In.size() - pos <= 1024;  // a size line is short
    std::string_view line(In.data() + pos, eol - pos);
    if (const auto semi = line.find(';'); semi != std::string_view::npos) line = line.substr(0, semi);
    line = TrimSpaces(line);
    if (line.empty() || line.size() > 7) return false;  // at most 256 MiB per chunk
    std::size_t size = 0;
    for (char c : line) {
      const char l = LowerAscii(c);
      if (l >= '0' && l <= '9')
        size = size * 16 + static_cast<std::size_t>(l - '0');
      else if (l >= 'a' && l <= 'f')
        size = size * 16 + static_cast<std::size_t>(l - 'a' + 10);
      else
        return false;
    }
    pos = eol + 2;
    if (size == 0) {
      Complete = true;
      return true;
    }
    const std::size_t have = std::min(size, In.size() - pos);
    Out.append(In, pos, have);
    if (have < size || Out.size() >= MaxBytes) return true;
    pos += size;
    if (In.size() < pos + 2) return true;
    if (In.compare(pos, 2, "\r\n") != 0) return false;
    pos += 2;
  }
}

class TSocketHttpGet : public THttpGet {
public:
  using THttpGet::THttpGet;
  THttpReply Get(const String& Url, std::size_t MaxBytes) override;

private:
  bool Connect(TTCPBlockSocket& Sock, const THttpUrlParts& Parts, UInt64 Started, String& Error);
};

constexpr Integer SliceMs = 100;  // how often a wait looks at Abort and the total time
constexpr std::size_t MaxHeaderBytes = 16 * 1024;
constexpr std::size_t MaxOverheadBytes = 64 * 1024;  // chunk framing around a capped body

bool TSocketHttpGet::Connect(TTCPBlockSocket& Sock, const THttpUrlParts& Parts, UInt64 Started, String& Error) {
  const String host(Parts.Host.begin(), Parts.Host.end());
  const String port = UTF8ToUTF16(std::to_string(Parts.Port));
  // Non-blocking, so that an address that never answers is given up on time.
  Sock.CreateSocketByName(host);
  if (Sock.LastError() == 0) {
    Sock.SetNonBlockMode(true);
    Sock.Connect(host, port);
  }
  Integer code = Sock.LastError();
  if (code == WirraErr::WouldBlock || code == WirraErr::InProgress) {
    const UInt64 begun = TThread::GetTickCount64();
    code = WirraErr::TimedOut;
    while (!Aborted() && TimeLeft(Started) > 0 &&
           TThread::GetTickCount64() - begun < static_cast<UInt64>(std::max(Timeouts().ConnectMs, 0))) {
      if (Sock.CanWrite(SliceMs)) {
        Integer soError = 0;
        Integer len = sizeof(soError);
        code =
            GetSockOpt(Sock.Socket(), Ws::SolSocket, Ws::SoError, &soError, len) == 0 ? soError : WirraErr::PeerClosed;
        break;
      }
      if (Sock.LastError() != 0) {
        code = Sock.LastError();
        break;
      }
      // Windows reports a refused connection as an exception, never as
      // writability: look at the pending error too.
      Integer soError = 0;
      Integer len = sizeof(soError);
      if (GetSockOpt(Sock.Socket(), Ws::SolSocket, Ws::SoError, &soError, len) == 0 && soError != 0) {
        code = soError;
        break;
      }
    }
    if (Aborted()) {
      Error = HttpAbortedText;
      return false;
    }
  }
  if (code != 0) {
    Error = TBlockSocket::GetErrorDesc(code);
    if (Error.empty()) Error = u"Socket error " + UTF8ToUTF16(std::to_string(code));
    return false;
  }
  Sock.SetNonBlockMode(false);
  return true;
}

THttpReply TSocketHttpGet::Get(const String& Url, std::size_t MaxBytes) {
  THttpReply reply;
  const UInt64 started = TThread::GetTickCount64();
  THttpUrlParts parts;
  if (!SplitHttpUrl(Url, parts)) {
    reply.ErrorText = u"Unsupported address: " + Url;
    return reply;
  }
  TTCPBlockSocket sock;
  if (!Connect(sock, parts, started, reply.ErrorText)) return reply;

  AnsiString request = "GET " + parts.Target + " HTTP/1.1\r\nHost: " + parts.Host;
  if (parts.Port != 80) request += ":" + std::to_string(parts.Port);
  request += "\r\nAccept: */*\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
  sock.SendString(request);
  if (sock.LastError() != 0) {
    reply.ErrorText = sock.LastErrorDesc();
    return reply;
  }

  AnsiString raw;
  bool headersDone = false;
  std::size_t bodyStart = 0;
  bool chunked = false;
  bool haveLength = false;
  std::size_t length = 0;
  UInt64 lastData = TThread::GetTickCount64();
  auto fail = [&](const String& text) {
    reply = THttpReply();
    reply.ErrorText = text;
    return reply;
  };

  for (;;) {
    if (Aborted()) return fail(HttpAbortedText);
    const Integer left = TimeLeft(started);
    if (left <= 0) return fail(TBlockSocket::GetErrorDesc(WirraErr::TimedOut));
    const AnsiString piece = sock.RecvPacket(std::min(SliceMs, left));
    const Integer code = sock.LastError();
    bool ended = false;
    if (code == WirraErr::TimedOut) {
      if (TThread::GetTickCount64() - lastData >= static_cast<UInt64>(std::max(Timeouts().ReceiveMs, 0)))
        return fail(TBlockSocket::GetErrorDesc(WirraErr::TimedOut));
      continue;
    }
    if (code != 0) {
      ended = true;  // closed by the server, or broken: either way what came is all there is
    } else {
      lastData = TThread::GetTickCount64();
      raw += piece;
    }

    if (!headersDone) {
      const std::size_t end = raw.find("\r\n\r\n");
      if (end == AnsiString::npos) {
        if (raw.size() > MaxHeaderBytes) return fail(u"Reply header too long");
        if (ended)
          return fail(code == WirraErr::PeerClosed ? String(u"Connection closed before the reply")
                                                   : sock.LastErrorDesc());
        continue;
      }
      headersDone = true;
      bodyStart = end + 4;
      std::string_view head(raw.data(), end);
      const std::size_t eol = std::min(head.find("\r\n"), head.size());
      const std::string_view status = head.substr(0, eol);
      // "HTTP/1.1 200 OK"
      const std::size_t sp = status.find(' ');
      if (status.substr(0, 5) != "HTTP/" || sp == std::string_view::npos || status.size() < sp + 4)
        return fail(u"Not an HTTP reply");
      Integer statusCode = 0;
      for (std::size_t i = sp + 1; i < sp + 4; ++i) {
        if (status[i] < '0' || status[i] > '9') return fail(u"Not an HTTP reply");
        statusCode = statusCode * 10 + (status[i] - '0');
      }
      reply.StatusCode = statusCode;
      std::size_t pos = eol;
      while (pos < head.size()) {
        pos += 2;
        const std::size_t next = std::min(head.find("\r\n", pos), head.size());
        const std::string_view line = head.substr(pos, next - pos);
        pos = next;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const AnsiString name = LowerAscii(TrimSpaces(line.substr(0, colon)));
        const AnsiString value = LowerAscii(TrimSpaces(line.substr(colon + 1)));
        if (name == "transfer-encoding") {
          chunked = value.find("chunked") != AnsiString::npos;
        } else if (name == "content-length" && !value.empty() && value.size() <= 12 &&
                   value.find_first_not_of("0123456789") == AnsiString::npos) {
          haveLength = true;
          length = static_cast<std::size_t>(std::stoull(value));
        }
      }
      if (statusCode == 204 || statusCode == 304 || (statusCode >= 100 && statusCode < 200)) {
        haveLength = true;
        length = 0;
      }
    }

    bool complete = false;
    if (chunked) {
      const AnsiString framed = raw.substr(bodyStart);
      if (!DecodeChunked(framed, reply.Body, complete, MaxBytes)) return fail(u"Malformed chunked reply");
      if (framed.size() > MaxBytes + MaxOverheadBytes) complete = true;
    } else {
      reply.Body = raw.substr(bodyStart);
      if (haveLength && reply.Body.size() >= length) {
        reply.Body.resize(length);
        complete = true;
      }
    }
    if (reply.Body.size() >= MaxBytes) {
      reply.Body.resize(MaxBytes);
      complete = true;
    }
    if (complete) break;
    if (ended) {
      // A reply that announced more than arrived was cut off on the way.
      if (chunked || haveLength) return fail(u"Connection closed before the end of the reply");
      break;
    }
  }
  reply.Done = true;
  return reply;
}

}  // namespace

std::unique_ptr<THttpGet> NewSocketHttpGet(const THttpTimeouts& Timeouts) {
  return std::make_unique<TSocketHttpGet>(Timeouts);
}
