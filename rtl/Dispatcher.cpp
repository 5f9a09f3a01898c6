#include "rtl/Dispatcher.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace {

std::atomic<IDispatcher*> gMainDispatcher{nullptr};

std::mutex gHandlerMutex;
TUnhandledExceptionHandler gHandler;

void DefaultUnhandledExceptionHandler(std::exception_ptr e) {
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    std::fprintf(stderr, "Unhandled exception in posted work: %s\n", x.what());
  } catch (...) {
    std::fprintf(stderr, "Unhandled exception in posted work\n");
  }
}

std::chrono::steady_clock::time_point DeadlineAfter(Cardinal timeoutMs) {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

// Waits on cond until ready() or the time-out; INFINITE waits for ever.
template <class Ready>
bool WaitUntil(std::condition_variable& cond, std::unique_lock<std::mutex>& lock, Cardinal timeoutMs, Ready ready) {
  if (timeoutMs == INFINITE) {
    cond.wait(lock, ready);
    return true;
  }
  return cond.wait_until(lock, DeadlineAfter(timeoutMs), ready);
}

}  // namespace

// ---------------------------------------------------------------- process-wide state

IDispatcher* MainDispatcher() { return gMainDispatcher.load(std::memory_order_acquire); }

void SetMainDispatcher(IDispatcher* Dispatcher) { gMainDispatcher.store(Dispatcher, std::memory_order_release); }

TUnhandledExceptionHandler SetUnhandledExceptionHandler(TUnhandledExceptionHandler Handler) {
  std::lock_guard<std::mutex> lock(gHandlerMutex);
  TUnhandledExceptionHandler previous = std::move(gHandler);
  gHandler = std::move(Handler);
  return previous;
}

void HandleUnhandledException(std::exception_ptr E) noexcept {
  try {
    TUnhandledExceptionHandler handler;
    {
      std::lock_guard<std::mutex> lock(gHandlerMutex);
      handler = gHandler;
    }
    if (handler) {
      handler(E);
    } else {
      DefaultUnhandledExceptionHandler(E);
    }
  } catch (...) {
    // The handler itself failed: nothing is left to tell.
  }
}

// ---------------------------------------------------------------- IDispatcher

bool IDispatcher::WaitServingSends(const std::function<bool()>& Done, Cardinal TimeoutMs) {
  const auto deadline = DeadlineAfter(TimeoutMs);
  while (!Done()) {
    Cardinal slice = TimeoutMs;
    if (TimeoutMs != INFINITE) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      if (left <= 0) return Done();
      slice = static_cast<Cardinal>(left);
    }
    ProcessSends(slice);
  }
  return true;
}

// ---------------------------------------------------------------- TQueueDispatcher

TQueueDispatcher::TQueueDispatcher() : FOwner(std::this_thread::get_id()) {}

TQueueDispatcher::~TQueueDispatcher() {
  Shutdown();
  IDispatcher* self = this;
  gMainDispatcher.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

bool TQueueDispatcher::IsUIThread() const { return std::this_thread::get_id() == FOwner; }

void TQueueDispatcher::CheckUIThread(const char16_t* what) const {
  if (!IsUIThread()) throw EThread(String(what) + u" must be called on the dispatcher's own thread");
}

void TQueueDispatcher::Send(std::function<void()> Work) {
  if (IsUIThread()) {
    if (IsShutDown()) throw EDispatcherShutdown(u"The dispatcher has been shut down");
    Work();
    return;
  }
  auto reply = std::make_shared<std::promise<void>>();
  std::future<void> done = reply->get_future();
  {
    std::lock_guard<std::mutex> lock(FMutex);
    if (FShutDown) throw EDispatcherShutdown(u"The dispatcher has been shut down");
    FQueue.push_back(TItem{std::move(Work), std::move(reply)});
    ++FSendsQueued;
    // Under the lock: whoever sees the item (and may then destroy the
    // dispatcher) sees it only after this call.
    FCond.notify_all();
  }
  // From here on only the promise is touched: the dispatcher may go away.
  done.get();
}

void TQueueDispatcher::Post(std::function<void()> Work) {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    if (FShutDown) return;
    FQueue.push_back(TItem{std::move(Work), nullptr});
    FCond.notify_all();
  }
}

void TQueueDispatcher::Wake() {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FWakeRequested = true;
    FCond.notify_all();
  }
}

bool TQueueDispatcher::PopItem(bool sendsOnly, TItem& item) {
  std::lock_guard<std::mutex> lock(FMutex);
  if (FShutDown) return false;
  for (auto it = FQueue.begin(); it != FQueue.end(); ++it) {
    if (sendsOnly && !it->Reply) continue;
    item = std::move(*it);
    FQueue.erase(it);
    if (item.Reply) --FSendsQueued;
    return true;
  }
  return false;
}

void TQueueDispatcher::RunItem(TItem& item) {
  if (item.Reply) {
    try {
      item.Work();
      item.Reply->set_value();
    } catch (...) {
      item.Reply->set_exception(std::current_exception());
    }
  } else {
    try {
      item.Work();
    } catch (...) {
      HandleUnhandledException(std::current_exception());
    }
  }
}

int TQueueDispatcher::ProcessPending() {
  CheckUIThread(u"ProcessPending");
  std::size_t batch;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    batch = FQueue.size();
  }
  int count = 0;
  TItem item;
  // Nested calls (work that processes the queue itself) may take some of the
  // batch; PopItem then finds the queue shorter or empty.
  for (std::size_t i = 0; i < batch && PopItem(false, item); ++i) {
    RunItem(item);
    item = TItem{};
    ++count;
  }
  return count;
}

int TQueueDispatcher::WaitAndProcess(Cardinal TimeoutMs) {
  CheckUIThread(u"WaitAndProcess");
  {
    std::unique_lock<std::mutex> lock(FMutex);
    WaitUntil(FCond, lock, TimeoutMs, [this] { return (!FShutDown && !FQueue.empty()) || FWakeRequested; });
    FWakeRequested = false;
  }
  return ProcessPending();
}

int TQueueDispatcher::ProcessSends(Cardinal TimeoutMs) {
  if (!IsUIThread()) return 0;
  std::size_t batch;
  {
    std::unique_lock<std::mutex> lock(FMutex);
    if (FSendsQueued == 0 || FShutDown) {
      WaitUntil(FCond, lock, TimeoutMs, [this] { return (!FShutDown && FSendsQueued > 0) || FWakeRequested; });
    }
    FWakeRequested = false;
    batch = FSendsQueued;
  }
  int count = 0;
  TItem item;
  for (std::size_t i = 0; i < batch && PopItem(true, item); ++i) {
    RunItem(item);
    item = TItem{};
    ++count;
  }
  return count;
}

void TQueueDispatcher::Shutdown() {
  std::deque<TItem> dropped;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FShutDown = true;
    dropped.swap(FQueue);
    FSendsQueued = 0;
    FWakeRequested = true;
  }
  FCond.notify_all();
  for (TItem& item : dropped) {
    if (item.Reply) {
      item.Reply->set_exception(
          std::make_exception_ptr(EDispatcherShutdown(u"The dispatcher was shut down before the work ran")));
    }
  }
  // Dropped work (and what its closures hold) is destroyed here, outside the lock.
}

bool TQueueDispatcher::IsShutDown() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FShutDown;
}

std::size_t TQueueDispatcher::PendingCount() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FQueue.size();
}
