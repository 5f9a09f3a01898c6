// The system's version API (version.dll).
#include "rtl/Win32.h"

#include "xml/KelVersionResource.h"

bool GetFileVersionResource(const String& FileName, TDynByteArray& Buffer) {
  Buffer.clear();
  const auto* Name = WideCStr(FileName);
  DWORD Handle = 0;
  const DWORD Size = GetFileVersionInfoSizeW(Name, &Handle);
  if (Size == 0) return false;
  Buffer.resize(Size);
  if (!GetFileVersionInfoW(Name, Handle, Size, Buffer.data())) {
    Buffer.clear();
    return false;
  }
  return true;
}

bool QueryVersionResource(const TDynByteArray& Buffer, const String& SubBlock, const void*& Value, Cardinal& Length) {
  // VerQueryValueW does not know the buffer's size: refuse what the bounded
  // parser cannot walk, so a corrupt buffer is never read past its end.
  const void* Checked = nullptr;
  Cardinal CheckedLength = 0;
  if (!VersionBlockQuery(Buffer.data(), Buffer.size(), SubBlock, Checked, CheckedLength)) return false;
  LPVOID Found = nullptr;
  UINT FoundLength = 0;
  if (!VerQueryValueW(Buffer.data(), WideCStr(SubBlock), &Found, &FoundLength)) return false;
  // Trust the system only where it agrees with the bounded walk.
  Value = Checked;
  Length = Found == Checked && FoundLength < CheckedLength ? FoundLength : CheckedLength;
  return true;
}
