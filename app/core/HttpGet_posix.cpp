#include "app/core/HttpGet.h"

// Off Windows the update check goes over our own sockets.
std::unique_ptr<THttpGet> NewHttpGet(const THttpTimeouts& Timeouts) { return NewSocketHttpGet(Timeouts); }
