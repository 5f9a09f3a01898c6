#include "app/core/SitesFZ.h"
#include "rtl/Win32.h"

#include <shlobj.h>

String GetAppDataDir() {
  wchar_t Buffer[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, Buffer) != S_OK) return String();
  return String(reinterpret_cast<const Char*>(Buffer));
}
