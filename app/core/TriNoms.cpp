#include "app/core/TriNoms.h"

#include <utility>

namespace {
TCompareNoms& Courante() {
  static TCompareNoms func;
  return func;
}
}  // namespace

TCompareNoms SetCompareNoms(TCompareNoms Func) { return std::exchange(Courante(), std::move(Func)); }

Integer CompareNoms(const String& A, const String& B) {
  const TCompareNoms& func = Courante();
  const Integer r = func ? func(A, B) : CompareNomsSysteme(A, B);
  if (r != 0) return r < 0 ? -1 : 1;
  return A < B ? -1 : A == B ? 0 : 1;
}
