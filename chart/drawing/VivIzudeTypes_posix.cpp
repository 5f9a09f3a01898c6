#include "chart/drawing/VivIzudeTypes.h"

#include <locale.h>
#include <wctype.h>

namespace {
// The character classes of Unicode, whatever the process's own locale.
locale_t UnicodeLocale() {
  static const locale_t Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return Locale;
}

}  // namespace

bool CharIsLetter(Char AChar) {
  // The C library files the digits of other scripts under letters.
  if (CharIsDigit(AChar)) return false;
  const locale_t L = UnicodeLocale();
  return L ? iswalpha_l(static_cast<wint_t>(AChar), L) != 0 : ((AChar | 32) >= u'a' && (AChar | 32) <= u'z');
}
