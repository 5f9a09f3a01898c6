#include "rtl/NetEncoding.h"

#include <array>

#include "rtl/Unicode.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';

constexpr signed char kSkip = -1;
constexpr signed char kPadding = -2;

constexpr std::array<signed char, 128> MakeDecodeTable() {
  std::array<signed char, 128> table{};
  for (auto& v : table) v = kSkip;
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
  table[static_cast<unsigned char>(kPad)] = kPadding;
  return table;
}

constexpr std::array<signed char, 128> kDecodeTable = MakeDecodeTable();

String Widen(const AnsiString& ascii) { return String(ascii.begin(), ascii.end()); }

}  // namespace

// ---------------------------------------------------------------- TNetEncoding

String TNetEncoding::Encode(const String& Input) const {
  const AnsiString utf8 = UTF16ToUTF8(Input);
  return Widen(DoEncode(reinterpret_cast<const Byte*>(utf8.data()), utf8.size()));
}

TBytes TNetEncoding::Encode(const TBytes& Input) const {
  const AnsiString text = DoEncode(Input.data(), Input.size());
  return TBytes(text.begin(), text.end());
}

String TNetEncoding::Decode(const String& Input) const {
  const TBytes bytes = DoDecode(Input.data(), Input.size());
  return UTF8ToUTF16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

TBytes TNetEncoding::Decode(const TBytes& Input) const {
  const String chars(Input.begin(), Input.end());
  return DoDecode(chars.data(), chars.size());
}

String TNetEncoding::EncodeBytesToString(const TBytes& Input) const {
  return Widen(DoEncode(Input.data(), Input.size()));
}

String TNetEncoding::EncodeBytesToString(const RawByteString& Input) const {
  return EncodeBytesToString(Input.data(), Input.size());
}

String TNetEncoding::EncodeBytesToString(const void* Input, std::size_t Size) const {
  return Widen(DoEncode(static_cast<const Byte*>(Input), Size));
}

TBytes TNetEncoding::DecodeStringToBytes(const String& Input) const { return DoDecode(Input.data(), Input.size()); }

const TBase64Encoding& TNetEncoding::Base64() {
  static const TBase64Encoding instance;
  return instance;
}

const TBase64Encoding& TNetEncoding::Base64String() {
  static const TBase64Encoding instance(0);
  return instance;
}

// ---------------------------------------------------------------- TBase64Encoding

TBase64Encoding::TBase64Encoding() : TBase64Encoding(kCharsPerLine, u"\r\n") {}

TBase64Encoding::TBase64Encoding(Integer CharsPerLine) : TBase64Encoding(CharsPerLine, u"\r\n") {}

TBase64Encoding::TBase64Encoding(Integer CharsPerLine, String LineSeparator)
    : FCharsPerLine(CharsPerLine),
      FLineSeparator(std::move(LineSeparator)),
      FSeparatorBytes(UTF16ToUTF8(FLineSeparator)) {}

AnsiString TBase64Encoding::DoEncode(const Byte* Input, std::size_t Size) const {
  AnsiString out;
  const std::size_t chars = (Size + 2) / 3 * 4;
  const bool breakLines = FCharsPerLine > 0 && !FSeparatorBytes.empty();
  out.reserve(chars + (breakLines ? chars / static_cast<std::size_t>(FCharsPerLine) * FSeparatorBytes.size() : 0));
  std::size_t lineLength = 0;
  const auto put = [&](char c) {
    if (breakLines && lineLength >= static_cast<std::size_t>(FCharsPerLine)) {
      out += FSeparatorBytes;
      lineLength = 0;
    }
    out.push_back(c);
    ++lineLength;
  };
  std::size_t i = 0;
  for (; i + 3 <= Size; i += 3) {
    const unsigned v = (Input[i] << 16) | (Input[i + 1] << 8) | Input[i + 2];
    put(kAlphabet[(v >> 18) & 63]);
    put(kAlphabet[(v >> 12) & 63]);
    put(kAlphabet[(v >> 6) & 63]);
    put(kAlphabet[v & 63]);
  }
  const std::size_t rest = Size - i;
  if (rest > 0) {
    const unsigned v = (Input[i] << 16) | (rest == 2 ? Input[i + 1] << 8 : 0);
    put(kAlphabet[(v >> 18) & 63]);
    put(kAlphabet[(v >> 12) & 63]);
    put(rest == 2 ? kAlphabet[(v >> 6) & 63] : kPad);
    put(kPad);
  }
  return out;
}

TBytes TBase64Encoding::DoDecode(const Char* Input, std::size_t Size) const {
  TBytes out;
  out.reserve(Size / 4 * 3 + 2);
  unsigned bits = 0;  // collected, at most 14 significant
  int count = 0;      // number of collected bits
  for (std::size_t i = 0; i < Size; ++i) {
    const Char c = Input[i];
    const signed char v = c < 128 ? kDecodeTable[c] : kSkip;
    if (v == kSkip) continue;
    if (v == kPadding) {
      bits = 0;
      count = 0;
      continue;
    }
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<Byte>(bits >> count));
      bits &= (1u << count) - 1;
    }
  }
  return out;
}
