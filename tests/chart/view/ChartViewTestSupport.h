#pragma once
// Shared helpers of the chart view tests under Wine: temporary folders,
// full paths, shown forms and snapshots of a control.
#include <string>

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace chartview_test {

inline String FullPath(const String& Name) {
  wchar_t Buffer[MAX_PATH] = {};
  GetFullPathNameW(WideCStr(Name), MAX_PATH, Buffer, nullptr);
  return String(reinterpret_cast<const Char*>(Buffer));
}

// A fresh folder under the system's temporary folder.
inline String TempFolder(const String& Name) {
  wchar_t Buffer[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, Buffer);
  const String Dir = String(reinterpret_cast<const Char*>(Buffer)) + u"quorvel-" + Name;
  CreateDirectoryW(WideCStr(Dir), nullptr);
  return Dir;
}

inline bool FileExists(const String& Name) { return GetFileAttributesW(WideCStr(Name)) != INVALID_FILE_ATTRIBUTES; }

inline void RemoveFile(const String& Name) { DeleteFileW(WideCStr(Name)); }

inline std::string Narrow(const String& S) {
  std::string A;
  for (Char C : S) A += C < 128 ? char(C) : '?';
  return A;
}

inline void WriteFileBytes(const String& Name, const TBytes& Data) {
  HANDLE F = CreateFileW(WideCStr(Name), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD Written = 0;
  if (F != INVALID_HANDLE_VALUE) {
    WriteFile(F, Data.data(), static_cast<DWORD>(Data.size()), &Written, nullptr);
    CloseHandle(F);
  }
}

struct TFormDeleter {
  void operator()(TCustomForm* Form) const { delete Form; }
};

// Red, green and blue of a class-library colour.
inline int RedOf(TColor C) { return C & 0xFF; }
inline int GreenOf(TColor C) { return (C >> 8) & 0xFF; }
inline int BlueOf(TColor C) { return (C >> 16) & 0xFF; }

}  // namespace chartview_test
