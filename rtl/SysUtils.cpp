#include "rtl/SysUtils.h"

#include <bitset>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "rtl/Unicode.h"

// FloatToDecimal, FloatToStrF and FloatToStr live in Format.cpp with the rest
// of the float-to-text engine.

namespace {

// Base letters (upper case ASCII) of U+00C0..U+017F; '.' where there is none.
// Used as the primary key of AnsiCompareText so accents weigh less than letters.
constexpr char kBaseLetters[] =
    // U+00C0..U+00FF
    "AAAAAA.CEEEEIIIIDNOOOOO.OUUUUY.."
    "AAAAAA.CEEEEIIIIDNOOOOO.OUUUUY.Y"
    // U+0100..U+017F
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGG"
    "GGGGHHHHIIIIIIIIII..JJKK.LLLLLLL"
    "LLLNNNNNNN..OOOOOO..RRRRRRSSSSSS"
    "SSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZS";
static_assert(sizeof(kBaseLetters) == 0x180 - 0xC0 + 1);

bool IsBlank(Char c) { return c <= u' '; }

Integer Len(const String& s) { return static_cast<Integer>(s.size()); }

const String& InvalidIntegerFormat() {
  static const String text = u"'%s' is not a valid integer value";
  return text;
}

// Integer text to a value. maxPositive is the largest decimal magnitude of
// a positive value (the negative one may be one more); hexadecimal may use
// the whole unsigned range `hexMax`. Returns 0 on success, else the 1-based
// position of the offending character (length + 1 when the text ends early).
Integer ParseInteger(const String& s, UInt64 maxPositive, UInt64 hexMax, UInt64& magnitude, bool& negative) {
  const std::size_t n = s.size();
  std::size_t i = 0;
  magnitude = 0;
  negative = false;
  while (i < n && s[i] == u' ') ++i;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  bool hex = false;
  if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return static_cast<Integer>(i + 1);
  UInt64 value = 0;
  const UInt64 limit = hex ? hexMax : (negative ? maxPositive + 1 : maxPositive);
  for (; i < n; ++i) {
    const Char c = s[i];
    unsigned digit;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (hex && c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else if (hex && c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      return static_cast<Integer>(i + 1);
    }
    const unsigned base = hex ? 16 : 10;
    if (value > (limit - digit) / base) return static_cast<Integer>(i + 1);
    value = value * base + digit;
  }
  magnitude = value;
  return 0;
}

bool ParseInt64(const String& s, Int64& out, Integer& code) {
  UInt64 magnitude;
  bool negative;
  code = ParseInteger(s, static_cast<UInt64>(std::numeric_limits<Int64>::max()), std::numeric_limits<UInt64>::max(),
                      magnitude, negative);
  if (code != 0) {
    out = 0;
    return false;
  }
  out = static_cast<Int64>(negative ? UInt64(0) - magnitude : magnitude);
  return true;
}

bool ParseInt32(const String& s, Integer& out, Integer& code) {
  UInt64 magnitude;
  bool negative;
  code = ParseInteger(s, 0x7FFFFFFF, 0xFFFFFFFF, magnitude, negative);
  if (code != 0) {
    out = 0;
    return false;
  }
  const std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
  out = static_cast<Integer>(negative ? 0u - bits : bits);
  return true;
}

// The grammar of TextToFloat and Val. Returns 0 on success, else the 1-based
// position of the first bad character.
Integer ParseFloat(const String& s, Char decimalSeparator, bool blanksAround, bool specials, double& value) {
  value = 0;
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n && s[i] == u' ') ++i;  // both TextToFloat and Val skip leading blanks
  bool negative = false;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  if (specials) {
    std::size_t end = n;
    while (end > i && s[end - 1] == u' ') --end;
    const String word = UpperCase(s.substr(i, end - i));
    if (word == u"INF" || word == u"INFINITY") {
      value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
      return 0;
    }
    if (word == u"NAN") {
      value = std::numeric_limits<double>::quiet_NaN();
      return 0;
    }
  }
  std::string text;  // ASCII for from_chars
  int digits = 0;
  int intDigits = 0;     // significant digits before the separator
  int leadingZeros = 0;  // zeros after the separator before the first significant digit
  bool seenNonZero = false;
  bool seenSeparator = false;
  for (; i < n; ++i) {
    const Char c = s[i];
    if (c >= u'0' && c <= u'9') {
      ++digits;
      if (c != u'0') seenNonZero = true;
      if (!seenSeparator && seenNonZero) ++intDigits;
      if (seenSeparator && !seenNonZero) ++leadingZeros;
      text.push_back(static_cast<char>(c));
    } else if (c == decimalSeparator && !seenSeparator) {
      seenSeparator = true;
      text.push_back('.');
    } else {
      break;
    }
  }
  if (digits == 0) return static_cast<Integer>(i + 1);
  long long exponent = 0;
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    text.push_back('e');
    ++i;
    bool expNegative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
      expNegative = s[i] == u'-';
      if (expNegative) text.push_back('-');
      ++i;
    }
    int expDigits = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') {
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - u'0');
      ++expDigits;
      ++i;
    }
    if (expDigits == 0) return static_cast<Integer>(i + 1);
    if (expNegative) exponent = -exponent;
    text += std::to_string(exponent < 0 ? -exponent : exponent);
  }
  if (blanksAround) {
    while (i < n && s[i] == u' ') ++i;
  }
  if (i < n) return static_cast<Integer>(i + 1);
  if (!seenNonZero) {
    value = negative ? -0.0 : 0.0;
    return 0;
  }
  double parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec == std::errc::result_out_of_range) {
    const long long magnitude = (intDigits > 0 ? intDigits : -leadingZeros) + exponent;
    if (magnitude > 0) return static_cast<Integer>(n + 1);  // overflow
    parsed = 0;                                             // underflow
  } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return static_cast<Integer>(n + 1);
  }
  value = negative ? -parsed : parsed;
  return 0;
}

#ifdef _WIN32
const String kPathDelimiters = u"\\:";
#else
const String kPathDelimiters = u"/";
#endif

bool IsPathDelimiterAt(const String& s, Integer index) {
  return index >= 1 && index <= Len(s) && s[index - 1] == PathDelim;
}

// Primary weight of a character for AnsiCompareText: punctuation and symbols
// first, then digits, then letters by their base letter, then the rest.
std::int32_t PrimaryWeight(Char c) {
  if (c >= u'0' && c <= u'9') return 0x800 + c;
  if (c >= u'a' && c <= u'z') return 0x1000 + (c - 32);
  if (c >= u'A' && c <= u'Z') return 0x1000 + c;
  if (c >= 0xC0 && c < 0x180 && kBaseLetters[c - 0xC0] != '.') return 0x1000 + kBaseLetters[c - 0xC0];
  if (c < 0xC0) return c;
  return 0x2000 + AnsiUpperChar(c);
}

}  // namespace

// ---------------------------------------------------------------- trimming

String Trim(const String& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

String TrimLeft(const String& s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

String TrimRight(const String& s) {
  std::size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

// ---------------------------------------------------------------- case

String UpperCase(const String& s) {
  String r = s;
  for (Char& c : r)
    if (c >= u'a' && c <= u'z') c = static_cast<Char>(c - 32);
  return r;
}

String LowerCase(const String& s) {
  String r = s;
  for (Char& c : r)
    if (c >= u'A' && c <= u'Z') c = static_cast<Char>(c + 32);
  return r;
}

Char AnsiUpperChar(Char c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<Char>(c - 32) : c;
  if (c < 0x100) {
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<Char>(c - 32);
    if (c == 0xFF) return 0x178;
    return c;
  }
  if (c < 0x180) {
    if (c == 0x131) return u'I';  // dotless i
    if (c == 0x17F) return u'S';  // long s
    if ((c < 0x138 && c != 0x130) || (c >= 0x14A && c < 0x178)) return (c & 1) ? static_cast<Char>(c - 1) : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : static_cast<Char>(c - 1);
    return c;
  }
  if (c >= 0x386 && c < 0x3D0) {
    switch (c) {
      case 0x3AC:
        return 0x386;
      case 0x3AD:
        return 0x388;
      case 0x3AE:
        return 0x389;
      case 0x3AF:
        return 0x38A;
      case 0x3CC:
        return 0x38C;
      case 0x3CD:
        return 0x38E;
      case 0x3CE:
        return 0x38F;
      case 0x3C2:
        return 0x3A3;  // final sigma
      default:
        break;
    }
    if (c >= 0x3B1 && c <= 0x3CB) return static_cast<Char>(c - 32);
    return c;
  }
  if (c >= 0x430 && c <= 0x44F) return static_cast<Char>(c - 32);
  if (c >= 0x450 && c <= 0x45F) return static_cast<Char>(c - 80);
  return c;
}

Char AnsiLowerChar(Char c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<Char>(c + 32) : c;
  if (c < 0x100) {
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<Char>(c + 32);
    return c;
  }
  if (c < 0x180) {
    if (c == 0x130) return u'i';  // capital I with dot
    if (c == 0x178) return 0xFF;
    if (c < 0x138 || (c >= 0x14A && c < 0x178)) return (c & 1) ? c : static_cast<Char>(c + 1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? static_cast<Char>(c + 1) : c;
    return c;
  }
  if (c >= 0x386 && c < 0x3D0) {
    switch (c) {
      case 0x386:
        return 0x3AC;
      case 0x388:
        return 0x3AD;
      case 0x389:
        return 0x3AE;
      case 0x38A:
        return 0x3AF;
      case 0x38C:
        return 0x3CC;
      case 0x38E:
        return 0x3CD;
      case 0x38F:
        return 0x3CE;
      default:
        break;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<Char>(c + 32);
    return c;
  }
  if (c >= 0x410 && c <= 0x42F) return static_cast<Char>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<Char>(c + 80);
  return c;
}

String AnsiUpperCase(const String& s) {
  String r = s;
  for (Char& c : r) c = AnsiUpperChar(c);
  return r;
}

String AnsiLowerCase(const String& s) {
  String r = s;
  for (Char& c : r) c = AnsiLowerChar(c);
  return r;
}

// ---------------------------------------------------------------- comparison

Integer CompareStr(const String& a, const String& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<Integer>(a[i]) - static_cast<Integer>(b[i]);
  return static_cast<Integer>(a.size()) - static_cast<Integer>(b.size());
}

Integer CompareText(const String& a, const String& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    Char x = a[i], y = b[i];
    if (x >= u'a' && x <= u'z') x = static_cast<Char>(x - 32);
    if (y >= u'a' && y <= u'z') y = static_cast<Char>(y - 32);
    if (x != y) return static_cast<Integer>(x) - static_cast<Integer>(y);
  }
  return static_cast<Integer>(a.size()) - static_cast<Integer>(b.size());
}

bool SameStr(const String& a, const String& b) { return a == b; }

bool SameText(const String& a, const String& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

namespace {

Integer CollateCompare(const String& a, const String& b, bool caseSensitive) {
  const std::size_t n = std::min(a.size(), b.size());
  // Primary: base letters.
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t x = PrimaryWeight(a[i]), y = PrimaryWeight(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  // Secondary: accents.
  for (std::size_t i = 0; i < n; ++i) {
    const Char x = AnsiUpperChar(a[i]), y = AnsiUpperChar(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (!caseSensitive) return 0;
  // Tertiary: lower case before upper case.
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) {
      const bool aLower = AnsiLowerChar(a[i]) == a[i];
      const bool bLower = AnsiLowerChar(b[i]) == b[i];
      if (aLower != bLower) return aLower ? -1 : 1;
      return a[i] < b[i] ? -1 : 1;
    }
  }
  return 0;
}

}  // namespace

Integer AnsiCompareText(const String& a, const String& b) { return CollateCompare(a, b, false); }

Integer AnsiCompareStr(const String& a, const String& b) { return CollateCompare(a, b, true); }

bool AnsiSameText(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AnsiUpperChar(a[i]) != AnsiUpperChar(b[i])) return false;
  return true;
}

bool AnsiSameStr(const String& a, const String& b) { return a == b; }

// ---------------------------------------------------------------- searching

Integer Pos(const String& sub, const String& s, Integer offset) {
  if (sub.empty() || offset < 1 || offset > Len(s)) return 0;
  const auto p = s.find(sub, static_cast<std::size_t>(offset - 1));
  return p == String::npos ? 0 : static_cast<Integer>(p + 1);
}

Integer Pos(Char c, const String& s, Integer offset) {
  if (offset < 1 || offset > Len(s)) return 0;
  const auto p = s.find(c, static_cast<std::size_t>(offset - 1));
  return p == String::npos ? 0 : static_cast<Integer>(p + 1);
}

Integer AnsiPos(const String& sub, const String& s) { return Pos(sub, s); }

Integer LastDelimiter(const String& delimiters, const String& s) {
  if (delimiters.empty()) return 0;
  const auto p = s.find_last_of(delimiters);
  return p == String::npos ? 0 : static_cast<Integer>(p + 1);
}

bool StartsStr(const String& subText, const String& text) {
  return text.size() >= subText.size() && text.compare(0, subText.size(), subText) == 0;
}

bool StartsText(const String& subText, const String& text) {
  return text.size() >= subText.size() && AnsiSameText(text.substr(0, subText.size()), subText);
}

bool EndsStr(const String& subText, const String& text) {
  return text.size() >= subText.size() && text.compare(text.size() - subText.size(), subText.size(), subText) == 0;
}

bool EndsText(const String& subText, const String& text) {
  return text.size() >= subText.size() && AnsiSameText(text.substr(text.size() - subText.size()), subText);
}

bool ContainsStr(const String& text, const String& subText) { return text.find(subText) != String::npos; }

bool ContainsText(const String& text, const String& subText) {
  return AnsiUpperCase(text).find(AnsiUpperCase(subText)) != String::npos;
}

// ---------------------------------------------------------------- editing

String Copy(const String& s, Integer index, Integer count) {
  if (index < 1) index = 1;
  if (count <= 0 || index > Len(s)) return String();
  const Integer left = Len(s) - index + 1;
  return s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count < left ? count : left));
}

String Copy(const String& s, Integer index) { return Copy(s, index, std::numeric_limits<Integer>::max()); }

String LeftStr(const String& s, Integer count) { return Copy(s, 1, count); }

String RightStr(const String& s, Integer count) {
  if (count <= 0) return String();
  if (count >= Len(s)) return s;
  return s.substr(s.size() - static_cast<std::size_t>(count));
}

String MidStr(const String& s, Integer start, Integer count) { return Copy(s, start, count); }

void Delete(String& s, Integer index, Integer count) {
  if (index < 1 || index > Len(s) || count <= 0) return;
  const Integer left = Len(s) - index + 1;
  s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count < left ? count : left));
}

void Insert(const String& source, String& s, Integer index) {
  if (index < 1) index = 1;
  if (index > Len(s) + 1) index = Len(s) + 1;
  s.insert(static_cast<std::size_t>(index - 1), source);
}

String StringOfChar(Char c, Integer count) { return count > 0 ? String(static_cast<std::size_t>(count), c) : String(); }

String DupeString(const String& s, Integer count) {
  String r;
  if (count <= 0) return r;
  r.reserve(s.size() * static_cast<std::size_t>(count));
  for (Integer i = 0; i < count; ++i) r += s;
  return r;
}

String ReverseString(const String& s) { return String(s.rbegin(), s.rend()); }

String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  const bool ignoreCase = flags.Contains(rfIgnoreCase);
  const bool all = flags.Contains(rfReplaceAll);
  const String searchIn = ignoreCase ? AnsiUpperCase(s) : String();
  const String pattern = ignoreCase ? AnsiUpperCase(oldPattern) : String();
  const String& hay = ignoreCase ? searchIn : s;
  const String& needle = ignoreCase ? pattern : oldPattern;
  String out;
  std::size_t from = 0;
  while (true) {
    const auto p = hay.find(needle, from);
    if (p == String::npos) break;
    out.append(s, from, p - from);
    out += newPattern;
    from = p + needle.size();
    if (!all) break;
  }
  out.append(s, from, String::npos);
  return out;
}

String ReplaceAllText(const String& s, const String& oldPattern, const String& newPattern) {
  return StringReplace(s, oldPattern, newPattern, rfReplaceAll);
}

String ExtractDelimitedField(Integer n, const String& s, std::u16string_view delimiters) {
  if (n <= 0) return String();
  std::bitset<256> set;
  for (Char c : delimiters)
    if (c < 256) set.set(c);
  Integer field = 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= s.size(); ++i) {
    const bool end = i == s.size() || (s[i] < 256 && set.test(s[i]));
    if (!end) continue;
    if (field == n) return s.substr(start, i - start);
    ++field;
    start = i + 1;
  }
  return String();
}

// ---------------------------------------------------------------- quoting

String AnsiQuotedStr(const String& s, Char quote) {
  String r(1, quote);
  for (Char c : s) {
    r.push_back(c);
    if (c == quote) r.push_back(c);
  }
  r.push_back(quote);
  return r;
}

String QuotedStr(const String& s) { return AnsiQuotedStr(s, u'\''); }

namespace {

// Quoted text at a position: returns the unquoted text and
// moves `pos` after the closing quote (or to the end).
String ExtractQuoted(const String& s, std::size_t& pos, Char quote) {
  String r;
  if (pos >= s.size() || s[pos] != quote) return r;
  ++pos;
  while (pos < s.size()) {
    if (s[pos] == quote) {
      if (pos + 1 < s.size() && s[pos + 1] == quote) {
        r.push_back(quote);
        pos += 2;
        continue;
      }
      ++pos;
      break;
    }
    r.push_back(s[pos]);
    ++pos;
  }
  return r;
}

}  // namespace

String AnsiExtractQuotedStr(const String& s, Char quote) {
  std::size_t pos = 0;
  return ExtractQuoted(s, pos, quote);
}

String AnsiDequotedStr(const String& s, Char quote) {
  std::size_t pos = 0;
  String r = ExtractQuoted(s, pos, quote);
  if ((r.empty() || pos >= s.size()) && !s.empty() && (s.front() != quote || s.back() != quote)) return s;
  return r;
}

// ---------------------------------------------------------------- integers

String UIntToStr(UInt64 value) {
  char16_t buf[24];
  int n = 0;
  do {
    buf[n++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  String r;
  r.reserve(static_cast<std::size_t>(n));
  while (n > 0) r.push_back(buf[--n]);
  return r;
}

String IntToStr(Int64 value) {
  if (value < 0) return u"-" + UIntToStr(UInt64(0) - static_cast<UInt64>(value));
  return UIntToStr(static_cast<UInt64>(value));
}

String IntToHex(UInt64 value, Integer digits) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  String r;
  do {
    r.push_back(kHex[value & 15]);
    value >>= 4;
  } while (value != 0);
  while (Len(r) < digits) r.push_back(u'0');
  return String(r.rbegin(), r.rend());
}

bool TryStrToInt(const String& s, Integer& value) {
  Integer code;
  return ParseInt32(s, value, code);
}

bool TryStrToInt64(const String& s, Int64& value) {
  Integer code;
  return ParseInt64(s, value, code);
}

bool TryStrToUInt64(const String& s, UInt64& value) {
  UInt64 magnitude;
  bool negative;
  const Integer code =
      ParseInteger(s, std::numeric_limits<UInt64>::max(), std::numeric_limits<UInt64>::max(), magnitude, negative);
  if (code != 0 || (negative && magnitude != 0)) {
    value = 0;
    return false;
  }
  value = magnitude;
  return true;
}

Integer StrToInt(const String& s) {
  Integer v;
  if (!TryStrToInt(s, v)) throw EConvertError(StringReplace(InvalidIntegerFormat(), u"%s", s, rfReplaceAll));
  return v;
}

Int64 StrToInt64(const String& s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) throw EConvertError(StringReplace(InvalidIntegerFormat(), u"%s", s, rfReplaceAll));
  return v;
}

Integer StrToIntDef(const String& s, Integer defaultValue) {
  Integer v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

Int64 StrToInt64Def(const String& s, Int64 defaultValue) {
  Int64 v;
  return TryStrToInt64(s, v) ? v : defaultValue;
}

void Val(const String& s, Integer& value, Integer& code) { ParseInt32(s, value, code); }

void Val(const String& s, Int64& value, Integer& code) { ParseInt64(s, value, code); }

// ---------------------------------------------------------------- booleans

bool TryStrToBool(const String& s, bool& value) {
  if (SameText(s, u"True")) {
    value = true;
    return true;
  }
  if (SameText(s, u"False")) {
    value = false;
    return true;
  }
  double d = 0;
  if (TryStrToFloat(s, d, TFormatSettings::Invariant()) && !std::isnan(d)) {
    value = d != 0;
    return true;
  }
  return false;
}

bool StrToBool(const String& s) {
  bool b;
  if (!TryStrToBool(s, b))
    throw EConvertError(StringReplace(u"'%s' is not a valid boolean value", u"%s", s, rfReplaceAll));
  return b;
}

bool StrToBoolDef(const String& s, bool defaultValue) {
  bool b;
  return TryStrToBool(s, b) ? b : defaultValue;
}

String BoolToStr(bool b, bool useBoolStrs) {
  if (useBoolStrs) return b ? u"True" : u"False";
  return b ? u"-1" : u"0";
}

// ---------------------------------------------------------------- floats

bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings) {
  double v;
  if (ParseFloat(s, settings.DecimalSeparator, true, true, v) != 0) return false;
  value = v;
  return true;
}

bool TryStrToFloat(const String& s, double& value) { return TryStrToFloat(s, value, FormatSettings); }

double StrToFloat(const String& s, const TFormatSettings& settings) {
  double v;
  if (!TryStrToFloat(s, v, settings))
    throw EConvertError(StringReplace(u"'%s' is not a valid floating point value", u"%s", s, rfReplaceAll));
  return v;
}

double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings); }

double StrToFloatDef(const String& s, double defaultValue, const TFormatSettings& settings) {
  double v;
  return TryStrToFloat(s, v, settings) ? v : defaultValue;
}

double StrToFloatDef(const String& s, double defaultValue) { return StrToFloatDef(s, defaultValue, FormatSettings); }

void Val(const String& s, double& value, Integer& code) {
  code = ParseFloat(s, u'.', false, false, value);
  if (code != 0) value = 0;
}

// ---------------------------------------------------------------- file names

String IncludeTrailingPathDelimiter(const String& s) {
  if (IsPathDelimiterAt(s, Len(s))) return s;
  return s + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& s) {
  if (IsPathDelimiterAt(s, Len(s))) return s.substr(0, s.size() - 1);
  return s;
}

String ExtractFilePath(const String& fileName) { return Copy(fileName, 1, LastDelimiter(kPathDelimiters, fileName)); }

String ExtractFileDir(const String& fileName) {
  Integer i = LastDelimiter(kPathDelimiters, fileName);
  if (i > 1 && fileName[i - 1] == PathDelim && kPathDelimiters.find(fileName[i - 2]) == String::npos) --i;
  return Copy(fileName, 1, i);
}

String ExtractFileName(const String& fileName) { return Copy(fileName, LastDelimiter(kPathDelimiters, fileName) + 1); }

String ExtractFileExt(const String& fileName) {
  const Integer i = LastDelimiter(u"." + kPathDelimiters, fileName);
  if (i > 0 && fileName[i - 1] == u'.') return Copy(fileName, i);
  return String();
}

String ChangeFileExt(const String& fileName, const String& extension) {
  Integer i = LastDelimiter(u"." + kPathDelimiters, fileName);
  if (i == 0 || fileName[i - 1] != u'.') i = Len(fileName) + 1;
  return Copy(fileName, 1, i - 1) + extension;
}
