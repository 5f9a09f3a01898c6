#include "app/core/HttpGet.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include <wininet.h>

#include "rtl/Threads.h"
#include "rtl/Unicode.h"

namespace {

// The text WinInet keeps for the calling thread's last response; empty when
// there is none or it does not fit 1024 characters.
String GetInetErreur() {
  DWORD code = 0;
  wchar_t buffer[1024];
  DWORD length = 1024;
  if (!InternetGetLastResponseInfoW(&code, buffer, &length)) return String();
  length = std::min<DWORD>(length, 1023);
  return String(reinterpret_cast<const Char*>(buffer), length);
}

// The response text, or else the WinInet error code with its system text:
// HTTP requests rarely leave a response text, and an empty reason helps nobody.
String InetErrorText(DWORD Error) {
  String text = GetInetErreur();
  if (!text.empty()) return text;
  wchar_t* message = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     GetModuleHandleW(L"wininet.dll"), Error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  const TLocalMemory owned(message);
  if (message) {
    text.assign(reinterpret_cast<const Char*>(message), length);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  }
  const String code = UTF8ToUTF16("WinInet error " + std::to_string(Error));
  return text.empty() ? code : text + u" (" + code + u")";
}

class TWinInetHttpGet : public THttpGet {
public:
  using THttpGet::THttpGet;
  ~TWinInetHttpGet() override { CloseHandles(); }
  THttpReply Get(const String& Url, std::size_t MaxBytes) override;
  // Closing the handles from another thread cancels a WinInet call blocked
  // on them: a synchronous request has no other way to be stopped.
  void Abort() override {
    THttpGet::Abort();
    CloseHandles();
  }

private:
  // Keeps a handle unless an abort came first; then closes it at once.
  bool Keep(HINTERNET& Field, HINTERNET Handle) {
    std::lock_guard<std::mutex> lock(FLock);
    if (Aborted()) {
      InternetCloseHandle(Handle);
      return false;
    }
    Field = Handle;
    return true;
  }
  void CloseHandles() {
    std::lock_guard<std::mutex> lock(FLock);
    if (HFile) InternetCloseHandle(HFile);
    if (HConnect) InternetCloseHandle(HConnect);
    if (hSession) InternetCloseHandle(hSession);
    HFile = nullptr;
    HConnect = nullptr;
    hSession = nullptr;
  }

  std::mutex FLock;
  HINTERNET hSession = nullptr;  // guarded by FLock
  HINTERNET HConnect = nullptr;  // guarded by FLock
  HINTERNET HFile = nullptr;     // guarded by FLock
};

THttpReply TWinInetHttpGet::Get(const String& Url, std::size_t MaxBytes) {
  THttpReply reply;
  const UInt64 started = TThread::GetTickCount64();
  auto fail = [&](const String& text) {
    CloseHandles();
    reply = THttpReply();
    reply.ErrorText = text;
    return reply;
  };
  auto failInet = [&]() {
    const DWORD error = GetLastError();
    return fail(Aborted() ? String(HttpAbortedText) : InetErrorText(error));
  };
  if (Aborted()) return fail(HttpAbortedText);

  // An empty agent name and the proxy settings of the system.
  HINTERNET session = InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session) return failInet();
  if (!Keep(hSession, session)) return fail(HttpAbortedText);
  DWORD connectMs = static_cast<DWORD>(std::max(Timeouts().ConnectMs, 1));
  DWORD receiveMs = static_cast<DWORD>(std::max(Timeouts().ReceiveMs, 1));
  InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof(connectMs));
  InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &receiveMs, sizeof(receiveMs));
  InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof(receiveMs));

  // Never from the cache: a stale copy would hide a new version for good.
  // The address is opened in its steps rather than by InternetOpenUrlW so
  // that the time-outs can be set on the request itself: Wine's WinInet does
  // not pass a session's time-outs on to the requests made under it.
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof(parts);
  wchar_t host[256];
  wchar_t path[2100];
  wchar_t extra[2100];
  parts.lpszHostName = host;
  parts.dwHostNameLength = 256;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = 2100;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = 2100;
  if (!InternetCrackUrlW(WideCStr(Url), 0, 0, &parts)) return failInet();
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
    return fail(u"Unsupported address: " + Url);
  HINTERNET connection = InternetConnectW(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  if (!connection) return failInet();
  if (!Keep(HConnect, connection)) return fail(HttpAbortedText);
  std::wstring object(path, parts.dwUrlPathLength);
  object.append(extra, parts.dwExtraInfoLength);
  if (object.empty()) object = L"/";
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  HINTERNET file = HttpOpenRequestW(connection, L"GET", object.c_str(), nullptr, nullptr, nullptr, flags, 0);
  if (!file) return failInet();
  if (!Keep(HFile, file)) return fail(HttpAbortedText);
  InternetSetOptionW(file, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof(connectMs));
  InternetSetOptionW(file, INTERNET_OPTION_SEND_TIMEOUT, &receiveMs, sizeof(receiveMs));
  InternetSetOptionW(file, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof(receiveMs));
  if (!HttpSendRequestW(file, nullptr, 0, nullptr, 0)) return failInet();

  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!HttpQueryInfoW(file, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return fail(Aborted() ? String(HttpAbortedText) : String(u"Not an HTTP reply"));
  reply.StatusCode = static_cast<Integer>(status);

  // Read what is there each time, so that the total time and an abort are
  // looked at between pieces even when a server trickles its reply.
  while (reply.Body.size() < MaxBytes) {
    if (Aborted()) return fail(HttpAbortedText);
    if (TimeLeft(started) <= 0) return fail(InetErrorText(ERROR_INTERNET_TIMEOUT));
    DWORD available = 0;
    if (!InternetQueryDataAvailable(file, &available, 0, 0)) return failInet();
    if (available == 0) break;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(available, MaxBytes - reply.Body.size()));
    const std::size_t old = reply.Body.size();
    reply.Body.resize(old + want);
    DWORD got = 0;
    if (!InternetReadFile(file, reply.Body.data() + old, want, &got)) return failInet();
    reply.Body.resize(old + got);
    if (got == 0) break;
  }
  CloseHandles();
  reply.Done = true;
  return reply;
}

}  // namespace

std::unique_ptr<THttpGet> NewHttpGet(const THttpTimeouts& Timeouts) {
  return std::make_unique<TWinInetHttpGet>(Timeouts);
}
