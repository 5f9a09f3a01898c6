// Code pages without Windows: built-in tables for the single-byte code pages
// the program and its tests meet (1252, 28591, 20127). The system ANSI code
// page is taken to be 1252, as on the Western Windows systems the settings
// files come from.
#include <string>
#include <string_view>

#include "rtl/Types.h"

namespace {

// 0x80-0x9F of windows-1252. The five bytes without a character map to the
// C1 control of the same value, as Windows does.
constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool Known(Word CodePage) { return CodePage == 1252 || CodePage == 28591 || CodePage == 20127; }

bool DecodeByte(Word CodePage, unsigned char B, char16_t& U) {
  if (B < 0x80) {
    U = B;
    return true;
  }
  if (CodePage == 20127) {
    // Windows reads US-ASCII as 7 bits: the high bit is dropped.
    U = B & 0x7F;
    return true;
  }
  U = CodePage == 1252 && B < 0xA0 ? Cp1252High[B - 0x80] : char16_t(B);
  return true;
}

}  // namespace

bool KelPlatformDecode(Word CodePage, std::string_view Bytes, String& Out) {
  Out.clear();
  if (!Known(CodePage)) return false;
  for (char C : Bytes) {
    char16_t U;
    if (!DecodeByte(CodePage, static_cast<unsigned char>(C), U)) return false;
    Out += U;
  }
  return true;
}

bool KelPlatformEncode(Word CodePage, std::u16string_view Text, AnsiString& Out) {
  Out.clear();
  if (!Known(CodePage)) return false;
  for (size_t I = 0; I < Text.size(); ++I) {
    const char16_t U = Text[I];
    char B = '?';
    // A surrogate pair is one character: one default character, as Windows.
    if (U >= 0xD800 && U <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 && Text[I + 1] <= 0xDFFF) ++I;
    if (U < 0x80) {
      B = char(U);
    } else if (CodePage == 28591 && U <= 0xFF) {
      B = char(U);
    } else if (CodePage == 1252) {
      if (U >= 0xA0 && U <= 0xFF) B = char(U);
      for (int K = 0; K < 32; ++K) {
        if (Cp1252High[K] == U) B = char(0x80 + K);
      }
    }
    Out += B;
  }
  return true;
}

Word KelPlatformAnsiCodePage() { return 1252; }

bool KelPlatformAnsiDefaultChar(char& Ch) {
  Ch = '?';
  return true;
}
