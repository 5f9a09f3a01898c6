#include "controls/OxThread.h"

TOxPausableThread::TOxPausableThread(bool CreateSuspended) : TOxCustomThread(CreateSuspended) {}

void TOxPausableThread::SetPaused(bool Value) {
  if (Value != Paused()) {
    if (Value) {
      FPauseSection.Enter();
      FPaused.store(true, std::memory_order_release);
    } else {
      OpenGate();
    }
  }
  if (!Paused() && !Started()) Start();
}

void TOxPausableThread::OpenGate() {
  // Only the thread that closed the gate can open it; anyone else would
  // get an error from the section and leave it closed anyway.
  if (!Paused() || !FPauseSection.HeldByCurrentThread()) return;
  FPaused.store(false, std::memory_order_release);
  FPauseSection.Leave();
}

void TOxPausableThread::TerminatedSet() {
  TOxCustomThread::TerminatedSet();
  OpenGate();
}
