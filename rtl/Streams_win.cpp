// File handles on Windows: CreateFileW and friends; the fmShare* modes map
// to FILE_SHARE_* flags (compatibility mode as exclusive).
#include "rtl/Win32.h"

#include "rtl/Streams.h"
#include "rtl/SysUtils.h"

namespace rtl_streams_detail {

namespace {

HANDLE ToHandle(THandle Handle) { return reinterpret_cast<HANDLE>(Handle); }

THandle FromHandle(HANDLE Handle) {
  return Handle == INVALID_HANDLE_VALUE ? INVALID_FILE_HANDLE : reinterpret_cast<THandle>(Handle);
}

// (Mode & 0xF0) >> 4: compat, exclusive, deny write, deny read, deny none.
DWORD ShareMode(Word Mode) {
  static const DWORD Table[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  unsigned Index = (Mode & 0xF0) >> 4;
  return Index < 5 ? Table[Index] : 0;
}

const wchar_t* WidePath(const String& FileName) { return WideCStr(FileName); }

THandle Finish(HANDLE Handle, String& ErrorText) {
  if (Handle == INVALID_HANDLE_VALUE) ErrorText = SysErrorMessage(static_cast<int>(GetLastError()));
  return FromHandle(Handle);
}

}  // namespace

THandle FileCreate(const String& FileName, Word Mode, Cardinal /*Rights*/, String& ErrorText) {
  HANDLE H = CreateFileW(WidePath(FileName), GENERIC_READ | GENERIC_WRITE, ShareMode(Mode), nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return Finish(H, ErrorText);
}

THandle FileOpen(const String& FileName, Word Mode, String& ErrorText) {
  static const DWORD Access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  if ((Mode & 3) > 2) {
    ErrorText = SysErrorMessage(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_HANDLE;
  }
  HANDLE H = CreateFileW(WidePath(FileName), Access[Mode & 3], ShareMode(Mode), nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return Finish(H, ErrorText);
}

Integer FileRead(THandle Handle, void* Buffer, Integer Count) {
  DWORD Done = 0;
  if (!ReadFile(ToHandle(Handle), Buffer, static_cast<DWORD>(Count), &Done, nullptr)) return -1;
  return static_cast<Integer>(Done);
}

Integer FileWrite(THandle Handle, const void* Buffer, Integer Count) {
  DWORD Done = 0;
  if (!WriteFile(ToHandle(Handle), Buffer, static_cast<DWORD>(Count), &Done, nullptr)) return -1;
  return static_cast<Integer>(Done);
}

Int64 FileSeek(THandle Handle, Int64 Offset, TSeekOrigin Origin) {
  LARGE_INTEGER Distance;
  Distance.QuadPart = Offset;
  LARGE_INTEGER NewPos;
  NewPos.QuadPart = 0;
  DWORD Method = Origin == soBeginning ? FILE_BEGIN : Origin == soCurrent ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(ToHandle(Handle), Distance, &NewPos, Method)) return -1;
  return NewPos.QuadPart;
}

bool FileTruncateHere(THandle Handle, String& ErrorText) {
  if (!SetEndOfFile(ToHandle(Handle))) {
    ErrorText = SysErrorMessage(static_cast<int>(GetLastError()));
    return false;
  }
  return true;
}

void FileClose(THandle Handle) { CloseHandle(ToHandle(Handle)); }

String ExpandFileName(const String& FileName) {
  DWORD Needed = GetFullPathNameW(WidePath(FileName), 0, nullptr, nullptr);
  if (Needed == 0) return FileName;
  String Result(Needed, u'\0');
  DWORD Len = GetFullPathNameW(WidePath(FileName), Needed, reinterpret_cast<wchar_t*>(&Result[0]), nullptr);
  if (Len == 0 || Len >= Needed) return FileName;
  Result.resize(Len);
  return Result;
}

}  // namespace rtl_streams_detail
