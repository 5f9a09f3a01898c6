#include "app/core/TriNoms.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32.h"

Integer CompareNomsSysteme(const String& A, const String& B) {
  // Names longer than an int can count are left to the portable order.
  if (A.size() > 0x7FFFFFFF || B.size() > 0x7FFFFFFF) return AnsiCompareText(A, B);
  const int r = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, WideCStr(A), static_cast<int>(A.size()),
                                 WideCStr(B), static_cast<int>(B.size()));
  if (r == 0) return AnsiCompareText(A, B);  // the call failed
  return r - CSTR_EQUAL;
}
