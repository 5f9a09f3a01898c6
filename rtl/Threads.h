#pragma once
// A worker thread on std::thread. A thread object is made with new, set up,
// started, and ends its life in one of two ways:
// - FreeOnTerminate: the object deletes itself on its own thread once
//   Execute and OnTerminate are done; nobody may touch it after Start.
// - otherwise the owner deletes it (delete, Free, TThreadPtr or any
//   unique_ptr). Deleting a thread that still runs terminates it and waits
//   for it, and does so before any destructor runs (Execute may still be
//   using the derived parts):
//   TThread has a C++20 destroying operator delete, so a derived class's
//   members are still alive while its Execute winds down. A thread object
//   that is not on the heap (a local or a member) gets no such help: wait for
//   it (WaitFor or TerminateAndWaitFor) before it goes out of scope.
//
// OnTerminate and Synchronize run on the user-interface thread through the
// main dispatcher (Dispatcher.h). WaitFor on that thread keeps serving the
// dispatcher's Sends, so a worker inside Synchronize can always finish.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "rtl/Dispatcher.h"
#include "rtl/Exceptions.h"
#include "rtl/SyncObjs.h"
#include "rtl/Types.h"

using TThreadID = Cardinal;
using TThreadProcedure = std::function<void()>;

class TThread : public TObject {
public:
  // CreateSuspended = false starts the thread in AfterConstruction, once the
  // whole object is built; C++ has no hook after the most derived
  // constructor, so that is Create<T> below, or the creator calls
  // AfterConstruction (or Start) itself.
  explicit TThread(bool CreateSuspended);
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // new T(args...) followed by AfterConstruction.
  template <class T, class... Args>
  static T* Create(Args&&... args) {
    T* thread = new T(std::forward<Args>(args)...);
    try {
      thread->AfterConstruction();
    } catch (...) {
      delete thread;
      throw;
    }
    return thread;
  }
  // Starts the thread when it was created with CreateSuspended = false and
  // is not started yet; otherwise does nothing.
  void AfterConstruction();

  // Starts a thread that was not started yet; EThread otherwise, or when the
  // system refuses to create a thread.
  void Start();
  // Asks the thread to end: sets Terminated, then calls TerminatedSet.
  void Terminate();
  bool Terminated() const { return FTerminated.load(std::memory_order_acquire); }
  // Waits until the thread has ended (Execute and OnTerminate done) and
  // returns ReturnValue. On the user-interface thread it serves the main
  // dispatcher's Sends meanwhile. EThread for a thread never started, or when
  // called from the thread itself.
  Integer WaitFor();
  // Terminate, start a never-started thread (it skips Execute because it is
  // terminated: its thread only runs OnTerminate), WaitFor. Idempotent; what
  // every deletion begins with. Afterwards the thread no longer frees itself
  // even with FreeOnTerminate: the caller deletes it.
  void TerminateAndWaitFor();
  // The same as delete. Do not call it (nor delete) on a
  // FreeOnTerminate thread that was started.
  void Free();

  // `delete thread`: TerminateAndWaitFor, then the destructors (virtual),
  // then the memory goes back to the global operator delete. Inline, so
  // that the compiler sees the global new and delete pair up.
  void operator delete(TThread* Thread, std::destroying_delete_t) {
    Thread->BeforeDestruction();
    void* memory = dynamic_cast<void*>(Thread);  // the most derived object
    Thread->~TThread();
    ::operator delete(memory);
  }
  // The global allocation, and its release for a constructor that raised.
  static void* operator new(std::size_t Size) { return ::operator new(Size); }
  void operator delete(void* Memory) noexcept { ::operator delete(Memory); }

  bool Started() const { return FStarted.load(std::memory_order_acquire); }
  // Execute and OnTerminate are done.
  bool Finished() const { return FFinished.load(std::memory_order_acquire); }
  // 0 until the thread runs; on Windows the Win32 thread id.
  TThreadID ThreadID() const;
  // The exception that escaped Execute (or OnTerminate), else null. It never
  // leaves the thread by itself; rethrow it with std::rethrow_exception.
  std::exception_ptr FatalException() const;

  // Settings and results. OnTerminate is set before Start; a
  // FreeOnTerminate thread must have been made with new.
  std::atomic<bool> FreeOnTerminate{false};
  std::atomic<Integer> ReturnValue{0};
  TNotifyEvent OnTerminate;

  // Runs Method on the user-interface thread and waits for it; an exception
  // it raises is raised again here. Runs inline when there is no main
  // dispatcher or when already on the user-interface thread.
  void Synchronize(TThreadProcedure Method);
  static void Synchronize(TThread* Thread, TThreadProcedure Method);
  // Queues Method for the user-interface thread and returns at once; runs
  // inline when there is no main dispatcher or when already on the
  // user-interface thread (ForceQueue always queues).
  void Queue(TThreadProcedure Method);
  static void Queue(TThread* Thread, TThreadProcedure Method);
  static void ForceQueue(TThread* Thread, TThreadProcedure Method);

  // The TThread object running the calling thread; nullptr on other threads.
  static TThread* CurrentThread();
  // Whether the calling thread's TThread was asked to terminate (false on
  // threads that are not TThreads).
  static bool CheckTerminated();
  static TThreadID CurrentThreadId();
  static void Sleep(Cardinal Milliseconds);
  // A monotonic millisecond clock: the 32-bit one (wraps after 49.7
  // days; subtract two readings as Cardinal) and the 64-bit one.
  static Cardinal GetTickCount();
  static UInt64 GetTickCount64();
  // Names a thread for debuggers and tools; a ThreadID of 0xFFFFFFFF (the
  // default) means the calling thread. Best effort, never raises.
  static void NameThreadForDebugging(const AnsiString& ThreadName, TThreadID ThreadID = 0xFFFFFFFFu);

protected:
  virtual void Execute() = 0;
  // Runs OnTerminate on the user-interface thread when it is assigned.
  virtual void DoTerminate();
  // Called by Terminate, on the terminating thread, after Terminated is set.
  virtual void TerminatedSet() {}

private:
  // TerminateAndWaitFor that never raises: the start of every deletion.
  void BeforeDestruction() noexcept;
  void ThreadMain();
  void Join();

  mutable std::mutex FMutex;
  mutable std::condition_variable FCond;
  std::thread FThread;                 // guarded by FMutex
  TThreadID FThreadID = 0;             // guarded by FMutex
  bool FIdKnown = false;               // guarded by FMutex
  bool FDestroying = false;            // guarded by FMutex
  std::exception_ptr FFatalException;  // guarded by FMutex
  const bool FCreateSuspended;
  std::atomic<bool> FStarted{false};
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
};

// Processes the main dispatcher's waiting Sends on the user-interface thread
// waits up to Timeout ms for one when none is
// waiting; returns whether any ran. Raises EThread on another thread; false
// when there is no main dispatcher.
bool CheckSynchronize(Cardinal Timeout = 0);

// unique_ptr that frees a thread through TThread::Free (a plain
// std::unique_ptr does the same through the destroying delete).
struct TThreadFree {
  void operator()(TThread* Thread) const { Thread->Free(); }
};
template <class T>
using TThreadPtr = std::unique_ptr<T, TThreadFree>;
