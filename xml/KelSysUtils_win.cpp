// The system's character classes and case maps for the user's locale, the
// file system and the version numbers that GetVersionExW reports.
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"

#include "rtl/DateUtils.h"
#include "xml/KelSysUtils.h"

namespace {

const wchar_t* Wide(const String& S) { return WideCStr(S); }

TDateTime FileTimeToLocalDateTime(const FILETIME& Utc) {
  SYSTEMTIME UtcTime{}, Local{};
  if (!FileTimeToSystemTime(&Utc, &UtcTime) || !SystemTimeToTzSpecificLocalTime(nullptr, &UtcTime, &Local)) return 0.0;
  TDateTime Result = 0.0;
  if (!TryEncodeDateTime(Local.wYear, Local.wMonth, Local.wDay, Local.wHour, Local.wMinute, Local.wSecond,
                         Local.wMilliseconds, Result)) {
    return 0.0;
  }
  return Result;
}

}  // namespace

// One call per character, as the tables must not see neighbouring units as
// surrogate pairs or combining sequences.
void KelPlatformWideCharTables(Word* Types, Char* Lower, Char* Upper) {
  for (Cardinal I = 0; I < 65536; ++I) {
    wchar_t C = static_cast<wchar_t>(I);
    WORD Type = 0;
    if (!GetStringTypeExW(LOCALE_USER_DEFAULT, CT_CTYPE1, &C, 1, &Type)) Type = 0;
    Types[I] = Type;
    wchar_t L = C, U = C;
    CharLowerBuffW(&L, 1);
    CharUpperBuffW(&U, 1);
    Lower[I] = static_cast<Char>(L);
    Upper[I] = static_cast<Char>(U);
  }
}

void KelPlatformAnsiCharTables(Word* Types, Byte* Lower, Byte* Upper) {
  for (int B = 0; B < 256; ++B) {
    char C = static_cast<char>(B);
    WORD Type = 0;
    if (!GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, &C, 1, &Type)) Type = 0;
    Types[B] = Type;
    char L = C, U = C;
    CharLowerBuffA(&L, 1);
    CharUpperBuffA(&U, 1);
    Lower[B] = static_cast<Byte>(L);
    Upper[B] = static_cast<Byte>(U);
  }
}

TWin32Version KelPlatformWin32Version() {
  TWin32Version Result;
  OSVERSIONINFOW Info{};
  Info.dwOSVersionInfoSize = sizeof Info;
  if (!GetVersionExW(&Info)) return Result;
  Result.Platform = static_cast<Integer>(Info.dwPlatformId);
  Result.Major = static_cast<Integer>(Info.dwMajorVersion);
  Result.Minor = static_cast<Integer>(Info.dwMinorVersion);
  Result.Build = static_cast<Integer>(Info.dwBuildNumber & 0xFFFF);
  Result.CSDVersion = reinterpret_cast<const Char*>(Info.szCSDVersion);
  return Result;
}

TDateTime FileLastWriteTime(const String& FileName) {
  if (FileName.empty()) return 0.0;
  WIN32_FILE_ATTRIBUTE_DATA Data{};
  if (!GetFileAttributesExW(Wide(FileName), GetFileExInfoStandard, &Data)) return 0.0;
  if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return FileTimeToLocalDateTime(Data.ftLastWriteTime);
  // A link: the date is the target's, which only an open handle gives.
  HANDLE Opened = CreateFileW(Wide(FileName), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (Opened == INVALID_HANDLE_VALUE) return 0.0;
  const TKernelHandle H(Opened);
  FILETIME Write{};
  return GetFileTime(H.Get(), nullptr, nullptr, &Write) ? FileTimeToLocalDateTime(Write) : 0.0;
}

bool IsExistingFile(const String& FileName) {
  if (FileName.empty()) return false;
  const DWORD Attributes = GetFileAttributesW(Wide(FileName));
  return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

String ModuleFileName(NativeUInt Module) {
  wchar_t Buffer[261] = {};
  const DWORD N = GetModuleFileNameW(reinterpret_cast<HMODULE>(Module), Buffer, 261);
  return String(reinterpret_cast<const Char*>(Buffer), N > 261 ? 261 : N);
}

void FreeModuleHandle(NativeUInt& Module) {
  if (Module != 0) FreeLibrary(reinterpret_cast<HMODULE>(Module));
  Module = 0;
}
