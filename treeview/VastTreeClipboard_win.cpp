// The system's side of the clipboard formats on Windows: its registered
// format names and the process id.
#include "rtl/Win32.h"

#include "treeview/VastTreeClipboard.h"

Word RegisterSystemClipboardFormat(const String& Name) {
  return static_cast<Word>(RegisterClipboardFormatW(reinterpret_cast<const wchar_t*>(Name.c_str())));
}

String SystemClipboardFormatName(Word Format) {
  // Registered names are at most 2049 characters long here.
  wchar_t Buffer[2050];
  const int Length = GetClipboardFormatNameW(Format, Buffer, 2050);
  if (Length <= 0) return String();
  return String(reinterpret_cast<const char16_t*>(Buffer), static_cast<std::size_t>(Length));
}

Cardinal CurrentProcessId() { return static_cast<Cardinal>(GetCurrentProcessId()); }
