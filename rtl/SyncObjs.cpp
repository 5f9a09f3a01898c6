#include "rtl/SyncObjs.h"

#include <chrono>

// ---------------------------------------------------------------- TCriticalSection

void TCriticalSection::Enter() {
  FMutex.lock();
  FOwner.store(std::this_thread::get_id(), std::memory_order_relaxed);
  ++FDepth;
}

bool TCriticalSection::TryEnter() {
  if (!FMutex.try_lock()) return false;
  FOwner.store(std::this_thread::get_id(), std::memory_order_relaxed);
  ++FDepth;
  return true;
}

void TCriticalSection::Leave() {
  if (!HeldByCurrentThread()) {
    throw ESyncObjectException(u"Critical section left by a thread that does not hold it");
  }
  if (--FDepth == 0) FOwner.store(std::thread::id(), std::memory_order_relaxed);
  FMutex.unlock();
}

bool TCriticalSection::HeldByCurrentThread() const {
  return FOwner.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

// ---------------------------------------------------------------- TEvent

TEvent::TEvent(bool ManualReset, bool InitialState) : FManualReset(ManualReset), FSignaled(InitialState) {}

TEvent::TEvent(const void* /*EventAttributes*/, bool ManualReset, bool InitialState, const String& Name,
               bool /*UseCOMWait*/)
    : TEvent(ManualReset, InitialState) {
  if (!Name.empty()) throw ESyncObjectException(u"Named events are not supported");
}

void TEvent::SetEvent() {
  std::lock_guard<std::mutex> lock(FMutex);
  if (FManualReset) {
    FSignaled = true;
    ++FGeneration;
    FCond.notify_all();
  } else if (FWaiters > FReleases) {
    ++FReleases;  // handed to one waiter; the event itself stays non-signalled
    FCond.notify_all();
  } else {
    FSignaled = true;
  }
}

void TEvent::ResetEvent() {
  std::lock_guard<std::mutex> lock(FMutex);
  FSignaled = false;
}

TWaitResult TEvent::WaitFor(Cardinal Timeout) {
  std::unique_lock<std::mutex> lock(FMutex);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Timeout);
  const auto wait = [&](auto released) {
    if (Timeout == INFINITE) {
      FCond.wait(lock, released);
      return true;
    }
    return FCond.wait_until(lock, deadline, released);
  };
  if (FManualReset) {
    const std::uint64_t generation = FGeneration;
    return wait([&] { return FSignaled || FGeneration != generation; }) ? wrSignaled : wrTimeout;
  }
  if (FSignaled) {
    FSignaled = false;
    return wrSignaled;
  }
  ++FWaiters;
  const bool released = wait([&] { return FReleases > 0; });
  --FWaiters;
  if (!released) return wrTimeout;
  --FReleases;
  return wrSignaled;
}
