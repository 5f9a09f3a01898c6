#pragma once
// The thread that paces an animation: every Delay milliseconds it passes
// the pause gate and has one drawing step (OnDraw) run on the user-
// interface thread, waiting until it has run. It draws nothing itself.
//
// Freeing it on the user-interface thread is safe at any moment: deletion
// opens the gate, and while it waits for the worker it keeps serving the
// worker's pending step (which then does nothing, the thread being
// terminated).
#include <atomic>

#include "controls/OxThread.h"

class TOxImageDrawThread : public TOxPausableThread {
public:
  explicit TOxImageDrawThread(bool CreateSuspended) : TOxPausableThread(CreateSuspended) {}

  String ClassName() const override { return u"TOxImageDrawThread"; }

  // Milliseconds slept before each step; a change takes effect at the next
  // sleep.
  Cardinal Delay() const { return FDelay.load(std::memory_order_relaxed); }
  void SetDelay(Cardinal Value) { FDelay.store(Value, std::memory_order_relaxed); }

  // Free for the owner.
  Integer Tag = 0;
  // The drawing step, called with the thread as Sender. Read, written and
  // called on the user-interface thread only. A step that raises is
  // reported to the unhandled-exception handler (once for a run of failing
  // steps) and the animation goes on.
  TNotifyEvent OnDraw;

protected:
  void Execute() override;
  // On the user-interface thread.
  void RunDrawStep();

private:
  std::atomic<Cardinal> FDelay{0};
  bool FLastStepFailed = false;  // user-interface thread only
};
