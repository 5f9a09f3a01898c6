#pragma once
// Holds an update pending on an object with BeginUpdate/EndUpdate (string
// lists, collections, trees, image lists) for the guard's scope, so that no
// path out of the scope leaves the object's update count raised.
//
// EndUpdate fires change events, which may raise. On a normal exit their
// exception reaches the caller; while another exception is already on its
// way out, EndUpdate's own is dropped so that the first one stays the error
// (two at once would end the program).
#include <exception>

template <class T>
class TUpdateGuard {
public:
  explicit TUpdateGuard(T& Target) : FTarget(Target), FUncaught(std::uncaught_exceptions()) { FTarget.BeginUpdate(); }
  ~TUpdateGuard() noexcept(false) {
    if (std::uncaught_exceptions() > FUncaught) {
      try {
        FTarget.EndUpdate();
      } catch (...) {
      }
    } else {
      FTarget.EndUpdate();
    }
  }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
  T& FTarget;
  int FUncaught;
};
