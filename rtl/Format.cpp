#include "rtl/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "rtl/FormatDecimal.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

// The float-to-text engine of the run-time library: FloatToDecimal rounds
// the exact decimal expansion of a double (std::to_chars in fixed notation
// with as many decimals as the binary fraction has bits is exact) half away
// from zero; FloatToStrF, Format and FormatFloat all go through it, so every
// conversion rounds the same way.

namespace rtl_detail {

ExactDecimal Expand(double v) {
  ExactDecimal r;
  v = std::fabs(v);
  if (v == 0 || !std::isfinite(v)) return r;
  int binaryExponent;
  std::frexp(v, &binaryExponent);  // v = f * 2^binaryExponent, 0.5 <= f < 1
  // v has at most 53 significant bits, so its lowest bit is at least
  // 2^(binaryExponent - 53): that many decimals make the expansion exact.
  const int decimals = std::max(0, 53 - binaryExponent);
  std::string buffer(static_cast<std::size_t>(decimals) + 330, '\0');
  const auto res = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, std::chars_format::fixed, decimals);
  buffer.resize(static_cast<std::size_t>(res.ptr - buffer.data()));
  const auto point = buffer.find('.');
  std::string all = buffer.substr(0, point);
  int exponent = static_cast<int>(all.size());
  if (point != std::string::npos) all += buffer.substr(point + 1);
  const std::size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) return r;
  exponent -= static_cast<int>(first);
  all.erase(0, first);
  all.erase(all.find_last_not_of('0') + 1);
  r.digits = std::move(all);
  r.exponent = exponent;
  return r;
}

void RoundDigits(ExactDecimal& d, long long keep, bool halfEven) {
  std::string& digits = d.digits;
  if (keep < 0 || digits.empty()) {
    digits.clear();
    d.exponent = 0;
    return;
  }
  if (keep < static_cast<long long>(digits.size())) {
    const std::size_t k = static_cast<std::size_t>(keep);
    bool up = digits[k] >= '5';
    if (halfEven && digits[k] == '5' && digits.size() == k + 1) {
      const int last = k == 0 ? 0 : digits[k - 1] - '0';
      up = (last & 1) != 0;
    }
    digits.resize(k);
    if (up) {
      std::size_t i = k;
      while (i > 0 && digits[i - 1] == '9') {
        digits[i - 1] = '0';
        --i;
      }
      if (i > 0) {
        ++digits[i - 1];
      } else {
        digits.insert(digits.begin(), '1');  // 999 -> 1000: one more integer digit
        ++d.exponent;
      }
    }
  }
  const std::size_t last = digits.find_last_not_of('0');
  if (last == std::string::npos) {
    digits.clear();
    d.exponent = 0;
  } else {
    digits.erase(last + 1);
  }
}

double ToDouble(bool negative, const ExactDecimal& d) {
  if (d.digits.empty()) return negative ? -0.0 : 0.0;
  const std::string text = "0." + d.digits + "e" + std::to_string(d.exponent);
  double v = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec == std::errc::result_out_of_range) v = d.exponent > 0 ? HUGE_VAL : 0.0;
  return negative ? -v : v;
}

}  // namespace rtl_detail

namespace {

// 18 significant digits at most, as texts written by other versions hold.
constexpr int kMaxPrecision = 18;
constexpr int kNoDecimalLimit = 9999;

String Ascii(std::string_view s) { return String(s.begin(), s.end()); }

std::string PadExponent(int exponent, int minDigits) {
  std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(e.size()) < minDigits) e.insert(0, static_cast<std::size_t>(minDigits) - e.size(), '0');
  return e;
}

String SpecialText(double value) {
  if (std::isnan(value)) return u"NAN";
  return value < 0 ? u"-INF" : u"INF";
}

// Integer digits of a rounded decimal: digits[0..exponent) padded with
// zeros; "" when below one.
std::string IntegerDigits(const TFloatRec& rec) {
  if (rec.Exponent <= 0) return std::string();
  std::string r = rec.Digits.substr(0, std::min<std::size_t>(rec.Digits.size(), rec.Exponent));
  r.append(static_cast<std::size_t>(rec.Exponent) - r.size(), '0');
  return r;
}

// The digit at 0-based position `index` after the decimal point.
char FractionDigit(const TFloatRec& rec, int index) {
  const int at = rec.Exponent + index;
  if (at < 0 || at >= static_cast<int>(rec.Digits.size())) return '0';
  return rec.Digits[static_cast<std::size_t>(at)];
}

String GroupThousands(const std::string& digits, Char separator) {
  String out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back(static_cast<Char>(digits[i]));
    const std::size_t left = n - i - 1;
    if (separator != 0 && left > 0 && left % 3 == 0) out.push_back(separator);
  }
  return out;
}

String GeneralText(double value, int precision, int expDigits, const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, kMaxPrecision);
  const TFloatRec rec = FloatToDecimal(value, precision, kNoDecimalLimit);
  if (rec.Digits.empty()) return u"0";
  String out = rec.Negative ? u"-" : u"";
  const int e = rec.Exponent;
  const std::string& d = rec.Digits;
  if (e > precision || e < -3) {
    out.push_back(static_cast<Char>(d[0]));
    if (d.size() > 1) {
      out.push_back(fs.DecimalSeparator);
      out += Ascii(std::string_view(d).substr(1));
    }
    out.push_back(u'E');
    if (e - 1 < 0) out.push_back(u'-');
    out += Ascii(PadExponent(e - 1, std::clamp(expDigits, 0, 4)));
    return out;
  }
  if (e <= 0) {
    out += u"0";
    out.push_back(fs.DecimalSeparator);
    out.append(static_cast<std::size_t>(-e), u'0');
    out += Ascii(d);
    return out;
  }
  out += Ascii(IntegerDigits(rec));
  if (static_cast<int>(d.size()) > e) {
    out.push_back(fs.DecimalSeparator);
    out += Ascii(std::string_view(d).substr(static_cast<std::size_t>(e)));
  }
  return out;
}

String ExponentText(double value, int precision, int expDigits, const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, kMaxPrecision);
  const TFloatRec rec = FloatToDecimal(value, precision, kNoDecimalLimit);
  std::string d = rec.Digits;
  d.append(static_cast<std::size_t>(precision) - std::min<std::size_t>(d.size(), precision), '0');
  const int e = rec.Digits.empty() ? 0 : rec.Exponent - 1;
  String out = rec.Negative ? u"-" : u"";
  out.push_back(static_cast<Char>(d[0]));
  if (precision > 1) {
    out.push_back(fs.DecimalSeparator);
    out += Ascii(std::string_view(d).substr(1));
  }
  out.push_back(u'E');
  out.push_back(e < 0 ? u'-' : u'+');
  out += Ascii(PadExponent(e, std::clamp(expDigits, 0, 4)));
  return out;
}

constexpr const char* kNegCurrFormats[16] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                             "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
constexpr const char* kCurrFormats[4] = {"$1", "1$", "$ 1", "1 $"};

String FixedText(double value, TFloatFormat format, int precision, int decimals, const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, kMaxPrecision);
  decimals = std::clamp(decimals, 0, kMaxPrecision);
  const TFloatRec rec = FloatToDecimal(value, precision, decimals);
  if (!rec.Digits.empty() && rec.Exponent > precision) return GeneralText(value, precision, 0, fs);
  std::string intDigits = IntegerDigits(rec);
  if (intDigits.empty()) intDigits = "0";
  String number = format == ffFixed ? Ascii(intDigits) : GroupThousands(intDigits, fs.ThousandSeparator);
  if (decimals > 0) {
    number.push_back(fs.DecimalSeparator);
    for (int i = 0; i < decimals; ++i) number.push_back(static_cast<Char>(FractionDigit(rec, i)));
  }
  if (format != ffCurrency) return rec.Negative ? u"-" + number : number;
  const char* pattern = rec.Negative ? kNegCurrFormats[fs.NegCurrFormat & 15] : kCurrFormats[fs.CurrencyFormat & 3];
  String out;
  for (const char* p = pattern; *p; ++p) {
    if (*p == '$') {
      out += fs.CurrencyString;
    } else if (*p == '1') {
      out += number;
    } else {
      out.push_back(static_cast<Char>(*p));
    }
  }
  return out;
}

String FloatToText(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return SpecialText(value);
  switch (format) {
    case ffGeneral:
      return GeneralText(value, precision, digits, fs);
    case ffExponent:
      return ExponentText(value, precision, digits, fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency:
      return FixedText(value, format, precision, digits, fs);
  }
  return GeneralText(value, precision, digits, fs);
}

}  // namespace

// ---------------------------------------------------------------- SysUtils part

TFloatRec FloatToDecimal(double value, Integer precision, Integer decimals) {
  TFloatRec rec;
  if (std::isnan(value)) {
    rec.NaN = true;
    return rec;
  }
  if (std::isinf(value)) {
    rec.Infinite = true;
    rec.Negative = value < 0;
    return rec;
  }
  precision = std::clamp(precision, 1, kMaxPrecision);
  rtl_detail::ExactDecimal exact = rtl_detail::Expand(value);
  if (exact.digits.empty()) return rec;
  const long long keep = std::min<long long>(precision, static_cast<long long>(exact.exponent) + decimals);
  rtl_detail::RoundDigits(exact, keep, false);
  if (exact.digits.empty()) return rec;  // rounded to zero: no sign
  rec.Digits = std::move(exact.digits);
  rec.Exponent = exact.exponent;
  rec.Negative = std::signbit(value);
  return rec;
}

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& settings) {
  return FloatToText(value, format, precision, digits, settings);
}

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits) {
  return FloatToText(value, format, precision, digits, FormatSettings);
}

String FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToText(value, ffGeneral, 15, 0, settings);
}

String FloatToStr(double value) { return FloatToStr(value, FormatSettings); }

// ---------------------------------------------------------------- TVarRec

String TVarRec::AsString() const {
  if (FKind == Kind::Char) return String(1, FChar);
  if (FIsUtf8) return UTF8ToUTF16(FUtf8);
  return String(FText);
}

// ---------------------------------------------------------------- Format

namespace {

[[noreturn]] void FormatError(bool missing, const String& fmt) {
  const String shown = fmt.substr(0, 31);
  if (missing) throw EConvertError(StringReplace(u"No argument for format '%s'", u"%s", shown, rfReplaceAll));
  throw EConvertError(StringReplace(u"Format '%s' invalid or incompatible with argument", u"%s", shown, rfReplaceAll));
}

String PadNumber(String digits, int minDigits) {
  if (static_cast<int>(digits.size()) < minDigits)
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), u'0');
  return digits;
}

String HexOf(UInt64 v) { return IntToHex(v, 0); }

String FormatImpl(const TFormatSettings& fs, const String& fmt, std::span<const TVarRec> args) {
  String out;
  const std::size_t n = fmt.size();
  std::size_t argIndex = 0;
  std::size_t i = 0;

  auto nextArg = [&]() -> const TVarRec& {
    if (argIndex >= args.size()) FormatError(true, fmt);
    return args[argIndex++];
  };
  // A number or '*' (an integer argument); -1 when neither is there.
  auto readNumber = [&](bool& present) -> long long {
    present = false;
    if (i < n && fmt[i] == u'*') {
      ++i;
      present = true;
      const TVarRec& a = nextArg();
      if (a.VType() != TVarRec::Kind::Integer) FormatError(false, fmt);
      return a.AsInt64();
    }
    long long v = 0;
    while (i < n && fmt[i] >= u'0' && fmt[i] <= u'9') {
      present = true;
      if (v < 100000000) v = v * 10 + (fmt[i] - u'0');
      ++i;
    }
    return v;
  };

  while (i < n) {
    const Char c = fmt[i];
    if (c != u'%') {
      out.push_back(c);
      ++i;
      continue;
    }
    ++i;
    if (i < n && fmt[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    // [index:]
    bool present = false;
    long long width = 0;
    const std::size_t start = i;
    if (i < n && fmt[i] >= u'0' && fmt[i] <= u'9') {
      const long long v = readNumber(present);
      if (i < n && fmt[i] == u':') {
        argIndex = static_cast<std::size_t>(v);
        ++i;
      } else {
        i = start;
      }
    } else if (i + 1 < n && fmt[i] == u'*' && fmt[i + 1] == u':') {
      const long long v = readNumber(present);
      if (v < 0) FormatError(false, fmt);
      argIndex = static_cast<std::size_t>(v);
      ++i;
    }
    bool left = false;
    if (i < n && fmt[i] == u'-') {
      left = true;
      ++i;
    }
    width = readNumber(present);
    if (width < 0) {
      left = true;
      width = -width;
    }
    long long precision = -1;
    if (i < n && fmt[i] == u'.') {
      ++i;
      precision = readNumber(present);
      if (precision < 0) precision = -1;
    }
    if (i >= n) FormatError(false, fmt);
    Char type = fmt[i++];
    if (type >= u'A' && type <= u'Z') type = static_cast<Char>(type + 32);

    String text;
    switch (type) {
      case u'd':
      case u'u':
      case u'x': {
        const TVarRec& a = nextArg();
        if (!a.IsInteger()) FormatError(false, fmt);
        const Int64 v = a.AsInt64();
        bool negative = false;
        String digits;
        if (type == u'x') {
          const UInt64 bits =
              a.VType() == TVarRec::Kind::Integer ? static_cast<std::uint32_t>(v) : static_cast<UInt64>(v);
          digits = HexOf(bits);
        } else if (type == u'u') {
          const UInt64 bits =
              a.VType() == TVarRec::Kind::Integer ? static_cast<std::uint32_t>(v) : static_cast<UInt64>(v);
          digits = UIntToStr(bits);
        } else if (a.VType() == TVarRec::Kind::UInt64) {
          digits = UIntToStr(static_cast<UInt64>(v));
        } else {
          negative = v < 0;
          digits = UIntToStr(negative ? UInt64(0) - static_cast<UInt64>(v) : static_cast<UInt64>(v));
        }
        text = PadNumber(digits, static_cast<int>(std::min<long long>(precision, 4096)));
        if (negative) text.insert(0, 1, u'-');
        break;
      }
      case u'e':
      case u'f':
      case u'g':
      case u'n':
      case u'm': {
        const TVarRec& a = nextArg();
        if (a.VType() != TVarRec::Kind::Extended) FormatError(false, fmt);
        const double v = a.AsDouble();
        const int p = static_cast<int>(std::min<long long>(precision, 1000));
        switch (type) {
          case u'e':
            text = FloatToText(v, ffExponent, p < 0 ? 15 : p, 3, fs);
            break;
          case u'f':
            text = FloatToText(v, ffFixed, kMaxPrecision, p < 0 ? 2 : p, fs);
            break;
          case u'g':
            text = FloatToText(v, ffGeneral, p < 0 ? 15 : p, 0, fs);
            break;
          case u'n':
            text = FloatToText(v, ffNumber, kMaxPrecision, p < 0 ? 2 : p, fs);
            break;
          default:
            text = FloatToText(v, ffCurrency, kMaxPrecision, p < 0 ? fs.CurrencyDecimals : p, fs);
            break;
        }
        break;
      }
      case u's': {
        const TVarRec& a = nextArg();
        if (a.VType() != TVarRec::Kind::String && a.VType() != TVarRec::Kind::Char) FormatError(false, fmt);
        text = a.AsString();
        if (precision >= 0 && static_cast<long long>(text.size()) > precision)
          text.resize(static_cast<std::size_t>(precision));
        break;
      }
      case u'p': {
        const TVarRec& a = nextArg();
        if (a.VType() != TVarRec::Kind::Pointer) FormatError(false, fmt);
        text = IntToHex(static_cast<UInt64>(reinterpret_cast<std::uintptr_t>(a.AsPointer())),
                        static_cast<Integer>(sizeof(void*) * 2));
        break;
      }
      default:
        FormatError(false, fmt);
    }
    if (static_cast<long long>(text.size()) < width) {
      const std::size_t pad = static_cast<std::size_t>(width) - text.size();
      if (left) {
        text.append(pad, u' ');
      } else {
        text.insert(0, pad, u' ');
      }
    }
    out += text;
  }
  return out;
}

}  // namespace

String Format(const TFormatSettings& settings, const String& fmt, std::span<const TVarRec> args) {
  return FormatImpl(settings, fmt, args);
}

String Format(const TFormatSettings& settings, const String& fmt, std::initializer_list<TVarRec> args) {
  return FormatImpl(settings, fmt, std::span<const TVarRec>(args.begin(), args.size()));
}

String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
  return FormatImpl(settings, fmt, std::span<const TVarRec>(args.begin(), args.size()));
}

String Format(const String& fmt, std::initializer_list<TVarRec> args) {
  return FormatImpl(FormatSettings, fmt, std::span<const TVarRec>(args.begin(), args.size()));
}

String Format(const String& fmt, std::span<const TVarRec> args) { return FormatImpl(FormatSettings, fmt, args); }

// ---------------------------------------------------------------- FormatFloat

namespace {

struct Token {
  enum Kind { Literal, IntDigit, FracDigit, Point, Exponent } kind;
  String text;           // Literal
  int index = 0;         // IntDigit / FracDigit: 0-based from the left
  Char expChar = u'E';   // Exponent
  bool expPlus = false;  // Exponent: "E+" shows '+'
  int expDigits = 0;     // Exponent: minimum digits
};

struct Section {
  std::vector<Token> tokens;
  int intCount = 0;
  int fracCount = 0;
  int firstIntZero = -1;  // index of the first '0' before the point
  int lastFracZero = -1;  // index of the last '0' after the point
  bool thousands = false;
  bool scientific = false;
};

std::vector<String> SplitSections(const String& fmt) {
  std::vector<String> sections(1);
  Char quote = 0;
  for (Char c : fmt) {
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == u'\'' || c == u'"') {
      quote = c;
    } else if (c == u';') {
      sections.emplace_back();
      continue;
    }
    sections.back().push_back(c);
  }
  return sections;
}

Section ParseSection(const String& s) {
  Section sec;
  bool seenPoint = false;
  const std::size_t n = s.size();
  auto literal = [&](Char c) {
    if (sec.tokens.empty() || sec.tokens.back().kind != Token::Literal) sec.tokens.push_back(Token{Token::Literal, {}});
    sec.tokens.back().text.push_back(c);
  };
  for (std::size_t i = 0; i < n; ++i) {
    const Char c = s[i];
    if (c == u'\'' || c == u'"') {
      std::size_t j = i + 1;
      while (j < n && s[j] != c) literal(s[j++]);
      i = j;  // on the closing quote (or past the end)
    } else if (c == u'0' || c == u'#') {
      if (!seenPoint) {
        Token t{Token::IntDigit, {}};
        t.index = sec.intCount;
        if (c == u'0' && sec.firstIntZero < 0) sec.firstIntZero = sec.intCount;
        ++sec.intCount;
        sec.tokens.push_back(t);
      } else {
        Token t{Token::FracDigit, {}};
        t.index = sec.fracCount;
        if (c == u'0') sec.lastFracZero = sec.fracCount;
        ++sec.fracCount;
        sec.tokens.push_back(t);
      }
    } else if (c == u'.' && !seenPoint) {
      seenPoint = true;
      sec.tokens.push_back(Token{Token::Point, {}});
    } else if (c == u',') {
      sec.thousands = true;
    } else if ((c == u'E' || c == u'e') && !sec.scientific && i + 1 < n && (s[i + 1] == u'+' || s[i + 1] == u'-')) {
      Token t{Token::Exponent, {}};
      t.expChar = c;
      t.expPlus = s[i + 1] == u'+';
      i += 2;
      while (i < n && s[i] == u'0' && t.expDigits < 4) {
        ++t.expDigits;
        ++i;
      }
      --i;
      sec.scientific = true;
      sec.tokens.push_back(t);
    } else {
      literal(c);
    }
  }
  return sec;
}

bool HasPlaceholders(const Section& sec) { return sec.intCount + sec.fracCount > 0; }

TFloatRec RoundFor(const Section& sec, double magnitude) {
  if (sec.scientific) return FloatToDecimal(magnitude, std::max(1, sec.intCount + sec.fracCount), kNoDecimalLimit);
  return FloatToDecimal(magnitude, kMaxPrecision, sec.fracCount);
}

String ApplySection(const Section& sec, const TFloatRec& rec, bool minus, const TFormatSettings& fs) {
  std::string intDigits;
  std::string fracDigits;
  int exponent = 0;
  if (sec.scientific) {
    const int precision = std::max(1, sec.intCount + sec.fracCount);
    std::string d = rec.Digits;
    d.append(static_cast<std::size_t>(precision) - std::min<std::size_t>(d.size(), precision), '0');
    intDigits = d.substr(0, static_cast<std::size_t>(sec.intCount));
    fracDigits = d.substr(static_cast<std::size_t>(sec.intCount));
    exponent = rec.Digits.empty() ? 0 : rec.Exponent - sec.intCount;
  } else {
    intDigits = IntegerDigits(rec);
    const int minDigits = sec.firstIntZero < 0 ? 0 : sec.intCount - sec.firstIntZero;
    if (static_cast<int>(intDigits.size()) < minDigits)
      intDigits.insert(0, static_cast<std::size_t>(minDigits) - intDigits.size(), '0');
    for (int k = 0; k < sec.fracCount; ++k) fracDigits.push_back(FractionDigit(rec, k));
  }
  // Optional trailing decimals ('#') are dropped when zero.
  int shownFrac = static_cast<int>(fracDigits.size());
  while (shownFrac > sec.lastFracZero + 1 && fracDigits[static_cast<std::size_t>(shownFrac) - 1] == '0') --shownFrac;

  const int p = static_cast<int>(intDigits.size());
  const bool group = sec.thousands && !sec.scientific;
  String out;
  if (minus) out.push_back(u'-');
  auto putInt = [&](int from, int to) {  // digits [from, to) of intDigits
    for (int q = from; q < to; ++q) {
      out.push_back(static_cast<Char>(intDigits[static_cast<std::size_t>(q)]));
      const int left = p - q - 1;
      if (group && left > 0 && left % 3 == 0 && fs.ThousandSeparator != 0) out.push_back(fs.ThousandSeparator);
    }
  };
  bool intDone = sec.intCount > 0 || p == 0;  // integer digits need a place of their own?
  for (const Token& t : sec.tokens) {
    switch (t.kind) {
      case Token::Literal:
        out += t.text;
        break;
      case Token::IntDigit: {
        const int at = p - (sec.intCount - t.index);  // the digit this placeholder stands for
        if (t.index == 0) {
          putInt(0, std::max(0, at + 1));
        } else if (at >= 0) {
          putInt(at, at + 1);
        }
        break;
      }
      case Token::Point:
      case Token::FracDigit:
      case Token::Exponent:
        if (!intDone) {  // no integer placeholder: the integer digits go first
          putInt(0, p);
          intDone = true;
        }
        if (t.kind == Token::Point) {
          if (shownFrac > 0) out.push_back(fs.DecimalSeparator);
        } else if (t.kind == Token::FracDigit) {
          if (t.index < shownFrac) out.push_back(static_cast<Char>(fracDigits[static_cast<std::size_t>(t.index)]));
        } else {
          out.push_back(t.expChar);
          if (exponent < 0) {
            out.push_back(u'-');
          } else if (t.expPlus) {
            out.push_back(u'+');
          }
          out += Ascii(PadExponent(exponent, t.expDigits));
        }
        break;
    }
  }
  return out;
}

}  // namespace

String FormatFloat(const String& fmt, double value, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return SpecialText(value);
  const std::vector<String> texts = SplitSections(fmt);
  auto sectionText = [&](std::size_t k) -> const String& {
    if (k < texts.size() && !texts[k].empty()) return texts[k];
    return texts[0];
  };
  std::size_t chosen = 0;
  if (value < 0 && texts.size() > 1 && !texts[1].empty()) chosen = 1;
  if (value == 0 && texts.size() > 2 && !texts[2].empty()) chosen = 2;
  const String& text = sectionText(chosen);
  if (text.empty()) return FloatToText(value, ffGeneral, 15, 0, settings);
  const Section sec = ParseSection(text);
  const double magnitude = std::fabs(value);
  TFloatRec rec = RoundFor(sec, magnitude);
  if (rec.Digits.empty() && chosen != 2) {
    // Rounded to zero: the zero section, else the positive one, unsigned.
    const String& zeroText = texts.size() > 2 && !texts[2].empty() ? texts[2] : texts[0];
    if (zeroText.empty()) return FloatToText(0.0, ffGeneral, 15, 0, settings);
    const Section zero = ParseSection(zeroText);
    return ApplySection(zero, RoundFor(zero, 0.0), false, settings);
  }
  if (!HasPlaceholders(sec)) rec = TFloatRec();
  return ApplySection(sec, rec, value < 0 && chosen == 0, settings);
}

String FormatFloat(const String& fmt, double value) { return FormatFloat(fmt, value, FormatSettings); }
