#pragma once
// Runs an action when a scope ends, however it ends: the clean-up of a
// state that a function sets up and must undo (a modal loop's disabled
// windows, a flag held for the time of a call).
//
// On a normal exit an exception from the action reaches the caller; while
// another exception is already leaving the scope, the action's own is
// dropped so that the first one stays the error (two at once would end the
// program).
#include <exception>
#include <utility>

template <class F>
class TScopeExit {
public:
  explicit TScopeExit(F Action) : FAction(std::move(Action)), FUncaught(std::uncaught_exceptions()) {}
  ~TScopeExit() noexcept(false) {
    if (std::uncaught_exceptions() > FUncaught) {
      try {
        FAction();
      } catch (...) {
        // Another exception is already leaving: it stays the error.
      }
    } else {
      FAction();
    }
  }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

private:
  F FAction;
  int FUncaught;
};
