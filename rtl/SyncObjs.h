#pragma once
// Synchronisation objects built on the C++ standard library only (no Win32 handles): a recursive critical
// section, a guard for it, and manual- or auto-reset events.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "rtl/Exceptions.h"
#include "rtl/Types.h"

// The "wait for ever" time-out. <windows.h> defines the same value as a
// macro; whichever of the two comes first wins and both mean 0xFFFFFFFF.
#ifndef INFINITE
inline constexpr Cardinal INFINITE = 0xFFFFFFFFu;
#endif

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError, wrIOCompletion };

// Raised by a synchronisation object that is used against its rules (a
// critical section left by a thread that does not hold it, a named event).
QUORVEL_DECLARE_EXCEPTION(ESyncObjectException, Exception);

// A lock that the thread holding it may enter again, as a Win32 critical
// section: every Enter is matched by one Leave. Only the holding thread may
// leave it; any other thread that tries gets ESyncObjectException and the
// lock is untouched. Also a standard Lockable (lock/unlock/try_lock), so
// std::lock_guard and std::scoped_lock work with it.
class TCriticalSection : public TObject {
public:
  TCriticalSection() = default;
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  void Enter();
  void Leave();
  // Enters when no other thread holds the section; never waits.
  bool TryEnter();
  void Acquire() { Enter(); }
  void Release() { Leave(); }

  // Whether the calling thread holds the section.
  bool HeldByCurrentThread() const;

  void lock() { Enter(); }
  void unlock() { Leave(); }
  bool try_lock() { return TryEnter(); }

private:
  std::recursive_mutex FMutex;
  // Written only by the holder; any other thread reads a value that can never
  // be its own id, so the ownership check needs no more than relaxed order.
  std::atomic<std::thread::id> FOwner{};
  unsigned FDepth = 0;  // touched by the holder only
};

// Enters the section for the lifetime of the guard.
class TCriticalSectionGuard {
public:
  explicit TCriticalSectionGuard(TCriticalSection& section) : FSection(section) { FSection.Enter(); }
  ~TCriticalSectionGuard() { FSection.Leave(); }
  TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
  TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

private:
  TCriticalSection& FSection;
};

// An event, with the release rules of a Win32 event object:
// - manual reset: SetEvent releases every thread waiting at that moment (even
//   when ResetEvent follows at once) and the event stays signalled until
//   ResetEvent;
// - auto reset: SetEvent releases exactly one waiting thread; with nobody
//   waiting the event stays signalled until one WaitFor consumes it. Setting
//   an already signalled event changes nothing.
class TEvent : public TObject {
public:
  // Manual reset, initially not signalled.
  TEvent() : TEvent(true, false) {}
  TEvent(bool ManualReset, bool InitialState);
  // The full form. Security attributes are ignored; a named (process-
  // shared) event is not supported and raises ESyncObjectException.
  TEvent(const void* EventAttributes, bool ManualReset, bool InitialState, const String& Name, bool UseCOMWait = false);
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  // Waits until the event is signalled (wrSignaled) or Timeout milliseconds
  // have passed (wrTimeout). 0 only tests; INFINITE waits for ever.
  TWaitResult WaitFor(Cardinal Timeout = INFINITE);
  bool ManualReset() const { return FManualReset; }

private:
  std::mutex FMutex;
  std::condition_variable FCond;
  const bool FManualReset;
  bool FSignaled;
  // Manual reset: bumped by every SetEvent, so a waiter present at a SetEvent
  // is released even when ResetEvent comes before it wakes up.
  std::uint64_t FGeneration = 0;
  // Auto reset: threads inside WaitFor, and releases granted to them by
  // SetEvent that no waiter has taken yet (never more than the waiters).
  unsigned FWaiters = 0;
  unsigned FReleases = 0;
};

// A TEvent, by default manual reset and not signalled.
class TSimpleEvent : public TEvent {
public:
  using TEvent::TEvent;
};
