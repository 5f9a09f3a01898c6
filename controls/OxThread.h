#pragma once
// A thread that the user-interface thread can stop at a pause gate and let
// go again. The gate is a critical section: pausing enters it and
// unpausing leaves it, so both must happen on the same thread (in the
// program, the user-interface thread), and the thread must be freed on that
// thread too while it is paused. The worker passes the gate by entering and
// leaving it at once; it never holds it while waiting for anything else.
#include <atomic>

#include "controls/OxTypes.h"
#include "rtl/SyncObjs.h"

class TOxPausableThread : public TOxCustomThread {
public:
  explicit TOxPausableThread(bool CreateSuspended);

  String ClassName() const override { return u"TOxPausableThread"; }

  bool Paused() const { return FPaused.load(std::memory_order_acquire); }
  // Closes (True) or opens (False) the gate when the value changes. Then,
  // whether it changed or not, a thread that was never started starts when
  // it is not paused.
  void SetPaused(bool Value);

protected:
  // Terminating a paused thread opens the gate, so that the worker can see
  // that it is terminated (and its deletion, which waits for it, returns).
  void TerminatedSet() override;
  // The worker's side of the gate: blocks while the gate is closed.
  void EnterPauseGate() { FPauseSection.Enter(); }
  void LeavePauseGate() { FPauseSection.Leave(); }

private:
  void OpenGate();

  TCriticalSection FPauseSection;
  std::atomic<bool> FPaused{false};
};
