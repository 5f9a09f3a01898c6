#include "chart/drawing/VivIzudeTypes.h"

#include "rtl/Win32.h"

namespace {
WORD CharType(Char C) {
  WORD Type = 0;
  const wchar_t W = static_cast<wchar_t>(C);
  GetStringTypeW(CT_CTYPE1, &W, 1, &Type);
  return Type;
}
}  // namespace

bool CharIsLetter(Char AChar) { return !CharIsDigit(AChar) && (CharType(AChar) & C1_ALPHA) != 0; }
