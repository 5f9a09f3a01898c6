#include <cstring>

#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

namespace {

// strerror_r comes in two flavours: XSI (returns int) and GNU (returns char*).
[[maybe_unused]] const char* PickMessage(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* PickMessage(const char* result, const char*) { return result; }

}  // namespace

String SysErrorMessage(int errorCode) {
  char buffer[512];
  buffer[0] = 0;
  const char* text = PickMessage(strerror_r(errorCode, buffer, sizeof buffer), buffer);
  String r = text ? UTF8ToUTF16(text) : String();
  while (!r.empty() && (r.back() <= u' ' || r.back() == u'.')) r.pop_back();
  return r;
}
