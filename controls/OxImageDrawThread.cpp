#include "controls/OxImageDrawThread.h"

#include "rtl/Dispatcher.h"

void TOxImageDrawThread::Execute() {
  NameThread(ThreadName());
  try {
    while (!Terminated()) {
      Sleep(Delay());
      EnterPauseGate();
      LeavePauseGate();
      Synchronize([this] { RunDrawStep(); });
    }
  } catch (...) {
    // The step could not be handed over (the dispatcher is shutting down):
    // there is nobody left to draw for.
  }
}

void TOxImageDrawThread::RunDrawStep() {
  if (Terminated() || !OnDraw) return;
  try {
    OnDraw(this);
    FLastStepFailed = false;
  } catch (...) {
    if (!FLastStepFailed) HandleUnhandledException(std::current_exception());
    FLastStepFailed = true;
  }
}
