#pragma once
// The Windows tests' one message pump: the thread's window messages are
// handled while a test waits for a condition or lets time pass. With nothing
// queued it waits for the next message (at most a millisecond, so that a
// condition another thread changes is seen soon).
#include <chrono>
#include <functional>

#include "rtl/Win32.h"
#include "vcl/Forms.h"

namespace testsupport {

// Handles messages until Done() holds or TimeoutMs pass; answers Done().
inline bool PumpMessagesUntil(const std::function<bool()>& Done, int TimeoutMs) {
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (std::chrono::steady_clock::now() >= End) return false;
    MSG Msg;
    if (!Application->ProcessMessage(Msg)) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  return true;
}

// Handles messages for Ms milliseconds.
inline void PumpMessagesFor(int Ms) {
  PumpMessagesUntil([] { return false; }, Ms);
}

}  // namespace testsupport
