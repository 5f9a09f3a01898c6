// Code pages off Windows: the system ANSI code page is Windows-1252, as on a
// Western European Windows; Latin-1 (28591) and US-ASCII (20127) are known
// too. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D map to the C1 controls of the
// same value, as MultiByteToWideChar does.
#include "rtl/Encoding.h"

#include <cstdint>

namespace {

constexpr Char kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

Char DecodeByte(Cardinal CodePage, Byte B) {
  if (B < 0x80) return B;
  switch (CodePage) {
    case 1252:
      return B < 0xA0 ? kCp1252High[B - 0x80] : B;
    case 28591:
      return B;
    default:  // 20127
      return u'?';
  }
}

// -1 when the character has no byte in the code page.
int EncodeChar(Cardinal CodePage, Char C) {
  if (C < 0x80) return C;
  switch (CodePage) {
    case 1252:
      if (C >= 0xA0 && C <= 0xFF) return C;
      for (int I = 0; I < 32; ++I)
        if (kCp1252High[I] == C) return 0x80 + I;
      return -1;
    case 28591:
      return C <= 0xFF ? C : -1;
    default:
      return -1;
  }
}

}  // namespace

namespace rtl_encoding_detail {

Cardinal SystemAnsiCodePage() { return 1252; }

bool IsCodePageSupported(Cardinal CodePage) { return CodePage == 1252 || CodePage == 28591 || CodePage == 20127; }

bool IsSingleByteCodePage(Cardinal CodePage) { return IsCodePageSupported(CodePage); }

String MBCSDecode(Cardinal CodePage, const Byte* Bytes, std::size_t Count) {
  String Result;
  Result.reserve(Count);
  for (std::size_t I = 0; I < Count; ++I) Result.push_back(DecodeByte(CodePage, Bytes[I]));
  return Result;
}

TBytes MBCSEncode(Cardinal CodePage, std::u16string_view Chars) {
  TBytes Result;
  Result.reserve(Chars.size());
  for (std::size_t I = 0; I < Chars.size(); ++I) {
    Char C = Chars[I];
    // A surrogate pair is one character: one '?'.
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Chars.size() && Chars[I + 1] >= 0xDC00 && Chars[I + 1] <= 0xDFFF) {
      Result.push_back('?');
      ++I;
      continue;
    }
    int B = EncodeChar(CodePage, C);
    Result.push_back(static_cast<Byte>(B < 0 ? '?' : B));
  }
  return Result;
}

}  // namespace rtl_encoding_detail
