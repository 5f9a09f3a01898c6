// Replacing a file in one step on Windows: write a sibling, flush, and move
// it over the old file with MoveFileExW.
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"

#include <string>

#include "rtl/Exceptions.h"
#include "xml/KelSimpleXmlPrivate.h"

namespace KelXml {

namespace {

String SystemMessage(DWORD Error) {
  wchar_t* Buffer = nullptr;
  DWORD N = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, Error, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
  const TLocalMemory Owned(Buffer);
  String Text;
  if (N && Buffer) Text.assign(reinterpret_cast<const Char*>(Buffer), N);
  while (!Text.empty() && (Text.back() == u'\r' || Text.back() == u'\n' || Text.back() == u' ')) Text.pop_back();
  return Text;
}

class FileHandle {
public:
  explicit FileHandle(HANDLE H) : FHandle(H) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return FHandle; }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!Valid()) return true;
    BOOL Ok = CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
    return Ok != FALSE;
  }

private:
  HANDLE FHandle;
};

}  // namespace

void ReplaceFileContents(const String& FileName, const void* Data, size_t Size) {
  std::string Pid = std::to_string(GetCurrentProcessId());
  const String Temp = FileName + u".tmp~" + String(Pid.begin(), Pid.end());
  FileHandle File(
      CreateFileW(WideCStr(Temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!File.Valid()) throw EFCreateError(u"Cannot create file \"" + Temp + u"\". " + SystemMessage(GetLastError()));
  const char* P = static_cast<const char*>(Data);
  size_t Left = Size;
  DWORD Error = 0;
  while (Left > 0) {
    DWORD Chunk = Left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(Left);
    DWORD Written = 0;
    if (!WriteFile(File.Get(), P, Chunk, &Written, nullptr) || Written == 0) {
      Error = GetLastError();
      if (Error == 0) Error = ERROR_WRITE_FAULT;
      break;
    }
    P += Written;
    Left -= Written;
  }
  if (Error == 0 && !FlushFileBuffers(File.Get())) Error = GetLastError();
  if (!File.Close() && Error == 0) Error = GetLastError();
  if (Error != 0) {
    DeleteFileW(WideCStr(Temp));
    throw EWriteError(u"Stream write error. " + SystemMessage(Error));
  }
  if (!MoveFileExW(WideCStr(Temp), WideCStr(FileName), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Error = GetLastError();
    DeleteFileW(WideCStr(Temp));
    throw EFCreateError(u"Cannot create file \"" + FileName + u"\". " + SystemMessage(Error));
  }
}

}  // namespace KelXml
