#include "app/core/TriNoms.h"

Integer CompareNoms(const String& A, const String& B) {
  const Integer r = CompareNomsSysteme(A, B);
  if (r != 0) return r < 0 ? -1 : 1;
  return A < B ? -1 : A == B ? 0 : 1;
}
