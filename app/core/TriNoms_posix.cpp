#include "app/core/TriNoms.h"
#include "rtl/SysUtils.h"

Integer CompareNomsSysteme(const String& A, const String& B) { return AnsiCompareText(A, B); }
