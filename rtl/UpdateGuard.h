#pragma once
// Holds an update pending on an object with BeginUpdate/EndUpdate (string
// lists, collections, trees, image lists) for the guard's scope, so that no
// path out of the scope leaves the object's update count raised.
//
// EndUpdate fires change events, which may raise. On a normal exit their
// exception reaches the caller; while another exception is already on its
// way out, EndUpdate's own is dropped so that the first one stays the error
// (two at once would end the program).
//
// With Hold false the guard does nothing: for an update held only in some
// cases. (Not a std::optional of a guard: the optional's destructor may not
// raise, so an EndUpdate that raises there would end the program.)
#include <exception>

template <class T>
class TUpdateGuard {
public:
  explicit TUpdateGuard(T& Target, bool Hold = true)
      : FTarget(Hold ? &Target : nullptr), FUncaught(std::uncaught_exceptions()) {
    if (FTarget) FTarget->BeginUpdate();
  }
  ~TUpdateGuard() noexcept(false) {
    if (!FTarget) return;
    if (std::uncaught_exceptions() > FUncaught) {
      try {
        FTarget->EndUpdate();
      } catch (...) {
        // Another exception is already leaving: it stays the error.
      }
    } else {
      FTarget->EndUpdate();
    }
  }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
  T* FTarget;  // not owned; null when not held
  int FUncaught;
};
