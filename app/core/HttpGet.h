#pragma once
// One HTTP GET of a small text, bounded in size and in time, that another
// thread can cut short. On Windows it goes through WinInet (the system's
// proxy settings, https included); elsewhere through a small HTTP/1.1 client
// on our blocking sockets (plain http only), enough for loopback tests.
#include <atomic>
#include <cstddef>
#include <memory>

#include "rtl/Types.h"

struct THttpTimeouts {
  Integer ConnectMs = 15000;  // establishing the connection
  Integer ReceiveMs = 15000;  // each wait for data
  Integer TotalMs = 30000;    // the whole request: a server that trickles bytes cannot hold it longer
};

struct THttpReply {
  // The server answered with a status line; Body and StatusCode are then set.
  bool Done = false;
  Integer StatusCode = 0;
  // At most the requested number of bytes, read until the end of the reply
  // or that cap, whichever comes first.
  AnsiString Body;
  // Why the request failed when not Done (the transport's own text).
  String ErrorText;
};

class THttpGet : public TObject {
public:
  explicit THttpGet(const THttpTimeouts& Timeouts) : FTimeouts(Timeouts) {}
  THttpGet(const THttpGet&) = delete;
  THttpGet& operator=(const THttpGet&) = delete;

  // Blocking; one call per object.
  virtual THttpReply Get(const String& Url, std::size_t MaxBytes) = 0;
  // Any thread, at any time (before, during or after Get): Get returns soon
  // with the error text of an abort.
  virtual void Abort() { FAborted.store(true); }
  bool Aborted() const { return FAborted.load(); }
  const THttpTimeouts& Timeouts() const { return FTimeouts; }

protected:
  // Milliseconds left before TotalMs runs out, from Started (a tick count).
  Integer TimeLeft(UInt64 Started) const;

private:
  THttpTimeouts FTimeouts;
  std::atomic<bool> FAborted{false};
};

// The platform's client (HttpGet_win.cpp, HttpGet_posix.cpp).
std::unique_ptr<THttpGet> NewHttpGet(const THttpTimeouts& Timeouts);

// The client on our sockets, available on every platform.
std::unique_ptr<THttpGet> NewSocketHttpGet(const THttpTimeouts& Timeouts);

// The error text of an aborted request.
extern const Char* const HttpAbortedText;

// "http://host[:port]/path?query" split up; false for anything else (https,
// user info, an empty host, a port that is not 1 to 65535).
struct THttpUrlParts {
  AnsiString Host;
  Integer Port = 80;
  AnsiString Target = "/";  // path and query, as sent in the request line
};
bool SplitHttpUrl(const String& Url, THttpUrlParts& Parts);
