// The category data from the program's resource "CATEGORIES" of type
// "UNICODEDATA" (linked into every program that uses the XML library).
#include "rtl/Win32.h"

#include <cstddef>

#include "rtl/Types.h"

bool KelUnicodeCategoryData(const Byte*& Data, size_t& Size) {
  HMODULE Module = GetModuleHandleW(nullptr);
  HRSRC Info = FindResourceW(Module, L"CATEGORIES", L"UNICODEDATA");
  if (!Info) return false;
  HGLOBAL Handle = LoadResource(Module, Info);
  if (!Handle) return false;
  Data = static_cast<const Byte*>(LockResource(Handle));
  Size = SizeofResource(Module, Info);
  return Data != nullptr;
}

Integer LocaleAnsiCodePage(Cardinal Locale) {
  wchar_t Buffer[8] = {};
  if (GetLocaleInfoW(Locale, LOCALE_IDEFAULTANSICODEPAGE, Buffer, 8) > 0) {
    Integer Value = 0;
    bool Digits = Buffer[0] != 0;
    for (const wchar_t* P = Buffer; *P; ++P) {
      if (*P < L'0' || *P > L'9') {
        Digits = false;
        break;
      }
      Value = Value * 10 + (*P - L'0');
    }
    if (Digits) return Value;
  }
  return static_cast<Integer>(GetACP());
}
