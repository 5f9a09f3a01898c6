#include "rtl/Win32.h"

#include "rtl/SysUtils.h"

String SysErrorMessage(int errorCode) {
  wchar_t buffer[512];
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                     nullptr, static_cast<DWORD>(errorCode), 0, buffer, 512, nullptr);
  String r(reinterpret_cast<const Char*>(buffer), n);
  // No trailing line break, blanks or full stop: the text goes inside
  // messages of our own.
  while (!r.empty() && (r.back() <= u' ' || r.back() == u'.')) r.pop_back();
  return r;
}
