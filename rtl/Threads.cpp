#include "rtl/Threads.h"

#include <chrono>
#include <system_error>

#include "rtl/Unicode.h"

namespace {

thread_local TThread* tlCurrentThread = nullptr;

// How long WaitFor on the user-interface thread waits between two looks at
// the thread when no Wake comes (the finishing thread always sends one).
constexpr Cardinal kWaitForSliceMs = 100;

}  // namespace

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {}

TThread::~TThread() {
  BeforeDestruction();  // done already when the object is deleted
  std::lock_guard<std::mutex> lock(FMutex);
  if (FThread.joinable()) {
    if (FThread.get_id() == std::this_thread::get_id()) {
      FThread.detach();
    } else {
      FThread.join();
    }
  }
}

void TThread::AfterConstruction() {
  if (!FCreateSuspended && !Started()) Start();
}

void TThread::Start() {
  std::lock_guard<std::mutex> lock(FMutex);
  if (FStarted.load(std::memory_order_relaxed)) {
    throw EThread(u"Cannot call Start on a running or finished thread");
  }
  try {
    // ThreadMain takes FMutex first, so it sees FThread assigned.
    FThread = std::thread([this] { ThreadMain(); });
  } catch (const std::system_error& e) {
    throw EThread(u"Thread creation error: " + UTF8ToUTF16(e.what()));
  }
  FStarted.store(true, std::memory_order_release);
}

void TThread::Terminate() {
  FTerminated.store(true, std::memory_order_release);
  TerminatedSet();
}

void TThread::ThreadMain() {
  tlCurrentThread = this;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FThreadID = CurrentThreadId();
    FIdKnown = true;
    FCond.notify_all();
  }
  std::exception_ptr fatal;
  if (!Terminated()) {
    try {
      Execute();
    } catch (...) {
      fatal = std::current_exception();
    }
  }
  if (fatal) {
    std::lock_guard<std::mutex> lock(FMutex);
    FFatalException = fatal;
  }
  try {
    DoTerminate();
  } catch (...) {
    std::lock_guard<std::mutex> lock(FMutex);
    if (!FFatalException) FFatalException = std::current_exception();
  }
  bool freeSelf;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    freeSelf = FreeOnTerminate.load() && !FDestroying;
    if (freeSelf) FThread.detach();
    FFinished.store(true, std::memory_order_release);
    FCond.notify_all();
  }
  // Unless it frees itself, the object lives until this thread is joined.
  if (IDispatcher* dispatcher = MainDispatcher()) dispatcher->Wake();
  if (freeSelf) delete this;  // TerminateAndWaitFor sees its own thread and returns
  tlCurrentThread = nullptr;
}

void TThread::Join() {
  std::lock_guard<std::mutex> lock(FMutex);
  if (FThread.joinable()) FThread.join();
}

Integer TThread::WaitFor() {
  if (tlCurrentThread == this) throw EThread(u"A thread cannot wait for itself");
  if (!Started()) throw EThread(u"Cannot wait for a thread that was not started");
  IDispatcher* dispatcher = MainDispatcher();
  if (dispatcher && dispatcher->IsUIThread()) {
    // Serve the worker's Synchronize calls (and its OnTerminate) meanwhile.
    while (!Finished()) dispatcher->ProcessSends(kWaitForSliceMs);
  } else {
    std::unique_lock<std::mutex> lock(FMutex);
    FCond.wait(lock, [this] { return Finished(); });
  }
  Join();
  return ReturnValue.load();
}

void TThread::TerminateAndWaitFor() {
  if (tlCurrentThread == this) return;
  bool started;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FDestroying = true;
    started = FStarted.load(std::memory_order_relaxed);
  }
  if (Finished()) {
    Join();
    return;
  }
  Terminate();
  if (!started) Start();  // Execute is skipped: the thread is terminated
  WaitFor();
}

void TThread::Free() { delete this; }

void TThread::BeforeDestruction() noexcept {
  try {
    TerminateAndWaitFor();  // the whole object is still alive here
  } catch (...) {
    // A thread that cannot be started now has nothing to wait for.
  }
}

TThreadID TThread::ThreadID() const {
  std::unique_lock<std::mutex> lock(FMutex);
  if (!Started()) return 0;
  FCond.wait(lock, [this] { return FIdKnown; });
  return FThreadID;
}

std::exception_ptr TThread::FatalException() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FFatalException;
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::Synchronize(TThreadProcedure Method) { Synchronize(this, std::move(Method)); }

void TThread::Synchronize(TThread* /*Thread*/, TThreadProcedure Method) {
  IDispatcher* dispatcher = MainDispatcher();
  if (!dispatcher || dispatcher->IsUIThread()) {
    Method();
    return;
  }
  dispatcher->Send(std::move(Method));
}

void TThread::Queue(TThreadProcedure Method) { Queue(this, std::move(Method)); }

void TThread::Queue(TThread* /*Thread*/, TThreadProcedure Method) {
  IDispatcher* dispatcher = MainDispatcher();
  if (!dispatcher || dispatcher->IsUIThread()) {
    Method();
    return;
  }
  dispatcher->Post(std::move(Method));
}

void TThread::ForceQueue(TThread* /*Thread*/, TThreadProcedure Method) {
  if (IDispatcher* dispatcher = MainDispatcher()) {
    dispatcher->Post(std::move(Method));
  } else {
    Method();
  }
}

TThread* TThread::CurrentThread() { return tlCurrentThread; }

bool TThread::CheckTerminated() {
  TThread* thread = tlCurrentThread;
  return thread && thread->Terminated();
}

void TThread::Sleep(Cardinal Milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds)); }

UInt64 TThread::GetTickCount64() {
  return static_cast<UInt64>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

Cardinal TThread::GetTickCount() { return static_cast<Cardinal>(GetTickCount64()); }

bool CheckSynchronize(Cardinal Timeout) {
  IDispatcher* dispatcher = MainDispatcher();
  if (!dispatcher) return false;
  if (!dispatcher->IsUIThread()) {
    throw EThread(u"CheckSynchronize called from a thread that is not the user-interface thread");
  }
  return dispatcher->ProcessSends(Timeout) > 0;
}
