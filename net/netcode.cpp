#include "net/netcode.h"

#include "rtl/Unicode.h"

AnsiString WordToBigEndian(Word Value) {
  AnsiString r(2, '\0');
  r[0] = static_cast<char>(Value >> 8);
  r[1] = static_cast<char>(Value & 0xFF);
  return r;
}

Word BigEndianToWord(const AnsiString& Value, Integer Index) {
  auto byteAt = [&](Integer pos) -> Word {
    if (pos < 1 || static_cast<std::size_t>(pos) > Value.size()) return 0;
    return static_cast<Byte>(Value[pos - 1]);
  };
  return static_cast<Word>((byteAt(Index) << 8) | byteAt(Index + 1));
}

AnsiString IntToBigEndian(Integer Value) {
  const auto v = static_cast<Cardinal>(Value);
  AnsiString r(4, '\0');
  for (int i = 0; i < 4; ++i) r[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
  return r;
}

Integer ReverseBytes(Integer Value) {
  const auto v = static_cast<Cardinal>(Value);
  const Cardinal r = ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
  return static_cast<Integer>(r);
}

AnsiString PercentEncodeChars(const AnsiString& Value, char Marker, const TByteSet& Specials) {
  static const char hex[] = "0123456789ABCDEF";
  AnsiString r;
  r.reserve(Value.size());
  for (char c : Value) {
    const auto b = static_cast<Byte>(c);
    if (Specials.test(b)) {
      r += Marker;
      r += hex[b >> 4];
      r += hex[b & 0x0F];
    } else {
      r += c;
    }
  }
  return r;
}

namespace {
TByteSet UrlPartSpecials() {
  TByteSet s;
  for (int b = 0; b <= 32; ++b) s.set(b);
  for (int b = 127; b <= 255; ++b) s.set(b);
  for (char c : AnsiString("\"#%&+/:;<=>?@[\\]^_`{|}~")) s.set(static_cast<Byte>(c));
  return s;
}
}  // namespace

AnsiString PercentEncodeUrlPart(const AnsiString& Value) {
  static const TByteSet specials = UrlPartSpecials();
  return PercentEncodeChars(Value, '%', specials);
}

String PercentEncodeUrlPart(const String& Value) { return UTF8ToUTF16(PercentEncodeUrlPart(UTF16ToUTF8(Value))); }

AnsiString Base64EncodeWithTable(const AnsiString& Value, const AnsiString& Table) {
  AnsiString r;
  if (Table.size() < 64) return r;
  const bool pad = Table.size() >= 65;
  r.reserve((Value.size() + 2) / 3 * 4);
  std::size_t i = 0;
  while (i < Value.size()) {
    const std::size_t n = Value.size() - i < 3 ? Value.size() - i : 3;
    Cardinal chunk = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      chunk <<= 8;
      if (k < n) chunk |= static_cast<Byte>(Value[i + k]);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      if (k <= n) {
        r += Table[(chunk >> (18 - 6 * k)) & 0x3F];
      } else if (pad) {
        r += Table[64];
      }
    }
    i += n;
  }
  return r;
}

AnsiString Base64EncodeText(const AnsiString& Value) {
  return Base64EncodeWithTable(Value, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=");
}
