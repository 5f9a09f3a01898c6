#pragma once
// Format and FormatFloat: numbers and texts into text, the way the
// program's messages and translation tables write their placeholders.
//
//   Format(u"%s has %d files", {name, count})
//   Format(u"%.2n", {1234567.891})                 // "1,234,567.89" (English)
//   Format(TFormatSettings::French(), u"%.2n", {x}) // "1 234 567,89" (U+00A0)
//   FormatFloat(u"#,##0.00;(#,##0.00);zero", v)
//
// Format specifiers: %[index:][-][width][.precision]type, '*' for width or
// precision takes the next argument (an integer), "%%" is a percent sign.
//   d  signed integer; precision = minimum digits, zero padded ("-005")
//   u  unsigned integer (negative Integer arguments as 32-bit unsigned)
//   x  upper-case hexadecimal of the two's complement; precision as for d
//   s  string or character; precision = maximum characters
//   f  fixed, precision decimals (default 2)
//   n  as f with thousand separators
//   m  currency (CurrencyString, CurrencyFormat, NegCurrFormat); precision
//      defaults to CurrencyDecimals
//   e  scientific, precision significant digits (default 15), exponent sign
//      and at least 3 digits: "1.50000000000000E+003"
//   g  general, precision significant digits (default 15), trailing zeros
//      removed, scientific without '+' or padding when needed: "1E20"
//   p  pointer, 8 upper-case hex digits (16 on 64-bit targets)
// Integers are not accepted by e f g n m, nor floats by d u x: a wrong
// placeholder in a translation table is an error, not a silent conversion.
// Errors raise EConvertError with these texts, quoting the format string
// (cut to 31 characters):
//   "Format '%s' invalid or incompatible with argument"
//   "No argument for format '%s'"
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "rtl/Exceptions.h"
#include "rtl/FormatSettings.h"
#include "rtl/SysUtils.h"
#include "rtl/Types.h"

// One argument of Format. It only
// refers to string arguments: build it inside the call's argument list.
class TVarRec {
public:
  enum class Kind {
    Integer,   // 32-bit signed and smaller signed types
    Int64,     // 64-bit signed
    UInt64,    // every unsigned integer type
    Extended,  // float, double, long double
    String,    // String, std::u16string_view, const char16_t*, UTF-8 text
    Char,      // char16_t, char (Latin-1)
    Pointer,   // any other pointer, nullptr
    Boolean,   // accepted by no specifier
  };

  template <typename T>
  requires std::is_integral_v<T> &&(!std::is_same_v<T, bool>)&&(!std::is_same_v<T, char>)&&(
      !std::is_same_v<T, char16_t>)&&(!std::is_same_v<T, char32_t>)&&(!std::is_same_v<T, wchar_t>)TVarRec(T v) {
    if constexpr (std::is_unsigned_v<T>) {
      FKind = Kind::UInt64;
      FInt = static_cast<std::int64_t>(static_cast<std::uint64_t>(v));
    } else if constexpr (sizeof(T) <= 4) {
      FKind = Kind::Integer;
      FInt = v;
    } else {
      FKind = Kind::Int64;
      FInt = v;
    }
  }
  template <typename T>
  requires std::is_floating_point_v<T> TVarRec(T v) : FKind(Kind::Extended), FDouble(static_cast<double>(v)) {}
  TVarRec(bool v) : FKind(Kind::Boolean), FInt(v ? 1 : 0) {}
  TVarRec(char16_t c) : FKind(Kind::Char), FChar(c) {}
  TVarRec(char c) : FKind(Kind::Char), FChar(static_cast<unsigned char>(c)) {}
  TVarRec(const String& s) : FKind(Kind::String), FText(s) {}
  TVarRec(std::u16string_view s) : FKind(Kind::String), FText(s) {}
  TVarRec(const char16_t* s) : FKind(Kind::String), FText(s ? std::u16string_view(s) : std::u16string_view()) {}
  TVarRec(char16_t* s) : TVarRec(static_cast<const char16_t*>(s)) {}
  // 8-bit text is taken as UTF-8.
  TVarRec(const AnsiString& s) : FKind(Kind::String), FUtf8(s), FIsUtf8(true) {}
  TVarRec(const char* s) : FKind(Kind::String), FUtf8(s ? std::string_view(s) : std::string_view()), FIsUtf8(true) {}
  TVarRec(const void* p) : FKind(Kind::Pointer), FPointer(p) {}
  TVarRec(std::nullptr_t) : FKind(Kind::Pointer), FPointer(nullptr) {}

  Kind VType() const { return FKind; }
  bool IsInteger() const { return FKind == Kind::Integer || FKind == Kind::Int64 || FKind == Kind::UInt64; }
  Int64 AsInt64() const { return FInt; }  // Integer, Int64, UInt64 (bit pattern), Boolean
  double AsDouble() const { return FDouble; }
  Char AsChar() const { return FChar; }
  const void* AsPointer() const { return FPointer; }
  String AsString() const;  // String and Char kinds

private:
  Kind FKind;
  Int64 FInt = 0;
  double FDouble = 0;
  Char FChar = 0;
  const void* FPointer = nullptr;
  std::u16string_view FText;
  std::string_view FUtf8;
  bool FIsUtf8 = false;
};

// With the process default FormatSettings.
String Format(const String& fmt, std::initializer_list<TVarRec> args);
String Format(const String& fmt, std::span<const TVarRec> args);
// With explicit settings: either first (preferred) or last.
String Format(const TFormatSettings& settings, const String& fmt, std::initializer_list<TVarRec> args);
String Format(const TFormatSettings& settings, const String& fmt, std::span<const TVarRec> args);
String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings);

// FormatFloat. Up to three sections separated by ';': positive,
// negative, zero (an empty or missing section falls back to the first; the
// negative section prints no minus sign of its own; the zero section is used
// when the value rounds to zero). In a section:
//   0  a digit, or 0          #  a digit, or nothing
//   .  the decimal separator (the first one only)
//   ,  thousand separators in the integer part (anywhere in the section)
//   E+ E- e+ e-  scientific notation; the 0s that follow give the minimum
//      number of exponent digits ('+' shows the sign of positive exponents)
//   'xx' "xx"  literal text; any other character is copied
// An empty format gives FloatToStr. The integer part is never cut: extra
// digits go where the first placeholder is.
String FormatFloat(const String& fmt, double value);
String FormatFloat(const String& fmt, double value, const TFormatSettings& settings);
