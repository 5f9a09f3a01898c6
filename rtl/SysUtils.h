#pragma once
// Text helpers: trimming, case, comparison, searching (1-based positions),
// number <-> text conversion, quoting and file name parts.
//
// Positions and indexes are 1-based, as every caller counts them: Pos gives
// 0 when absent, Copy(s, 1, n) is the first n characters.
//
// Case rules: UpperCase/LowerCase/CompareText/SameText touch only 'a'..'z'
// and 'A'..'Z'. The Ansi* forms and the StrUtils *Text helpers also fold
// Latin-1, Latin Extended-A, Greek and Cyrillic letters from a built-in table
// (no dependence on the C or OS locale).
#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>

#include "rtl/Exceptions.h"
#include "rtl/FormatSettings.h"
#include "rtl/Set.h"
#include "rtl/Types.h"

// ---------------------------------------------------------------- trimming
// Remove leading and/or trailing characters <= ' ' (controls and space).
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

// ---------------------------------------------------------------- case
String UpperCase(const String& s);      // ASCII letters only
String LowerCase(const String& s);      // ASCII letters only
String AnsiUpperCase(const String& s);  // table-driven, see above
String AnsiLowerCase(const String& s);
Char AnsiUpperChar(Char c);
Char AnsiLowerChar(Char c);

// ---------------------------------------------------------------- comparison
// Results are < 0, 0 or > 0 (the difference of the first differing
// characters, or of the lengths).
Integer CompareStr(const String& a, const String& b);   // ordinal
Integer CompareText(const String& a, const String& b);  // ordinal, ASCII case folded
bool SameStr(const String& a, const String& b);
bool SameText(const String& a, const String& b);
// Portable stand-in for the locale-aware CompareString of Windows: case
// insensitive, letters compared first without their accents ("école" sorts
// before "eddy"), then with them; ties broken ordinally.
Integer AnsiCompareText(const String& a, const String& b);
Integer AnsiCompareStr(const String& a, const String& b);  // same, case sensitive
bool AnsiSameText(const String& a, const String& b);       // equal after AnsiUpperCase
bool AnsiSameStr(const String& a, const String& b);

// ---------------------------------------------------------------- searching
// 1-based position of sub in s at or after offset; 0 when absent, when sub is
// empty or offset < 1.
Integer Pos(const String& sub, const String& s, Integer offset = 1);
Integer Pos(Char c, const String& s, Integer offset = 1);
Integer AnsiPos(const String& sub, const String& s);
// Last 1-based position in s of any character of delimiters; 0 when none.
Integer LastDelimiter(const String& delimiters, const String& s);

// Argument orders differ between these (sub-text first, then the text):
bool StartsStr(const String& subText, const String& text);
bool StartsText(const String& subText, const String& text);
bool EndsStr(const String& subText, const String& text);
bool EndsText(const String& subText, const String& text);
bool ContainsStr(const String& text, const String& subText);
bool ContainsText(const String& text, const String& subText);

// ---------------------------------------------------------------- editing
// Copy(s, index, count): index < 1 counts as 1; count clamps to what is left;
// count <= 0 or index past the end give "".
String Copy(const String& s, Integer index, Integer count);
String Copy(const String& s, Integer index);  // to the end
String LeftStr(const String& s, Integer count);
String RightStr(const String& s, Integer count);
String MidStr(const String& s, Integer start, Integer count);
// Delete(s, index, count): nothing when index < 1, index > length or count <= 0.
void Delete(String& s, Integer index, Integer count);
// Insert(source, s, index): index < 1 inserts at the start, past the end appends.
void Insert(const String& source, String& s, Integer index);
String StringOfChar(Char c, Integer count);
String DupeString(const String& s, Integer count);
String ReverseString(const String& s);

enum TReplaceFlag : unsigned { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag, Byte>;
// Without rfReplaceAll only the first occurrence is replaced; rfIgnoreCase
// compares with AnsiUpperCase. Matches do not overlap and the replacement is
// never searched again. An empty oldPattern changes nothing.
String StringReplace(const String& s, const String& oldPattern, const String& newPattern, TReplaceFlags flags = {});
// Every occurrence of oldPattern, case-sensitive: StringReplace with
// rfReplaceAll.
String ReplaceAllText(const String& s, const String& oldPattern, const String& newPattern);

// The n-th field (1-based) of s, where every character of delimiters ends a
// field. Delimiters is a set of 8-bit characters: characters above 255 are
// never delimiters, in delimiters or in s. Adjacent delimiters give empty
// fields; n <= 0, or a field beyond the last, gives "".
String ExtractDelimitedField(Integer n, const String& s, std::u16string_view delimiters);

// ---------------------------------------------------------------- quoting
String QuotedStr(const String& s);  // 'it''s'
String AnsiQuotedStr(const String& s, Char quote);
// Removes the quotes and undoubles inner ones; a text that is not quoted
// comes back unchanged. The unquoted text ends at the first quote that is not
// doubled, so "'ab'c'" gives "ab".
String AnsiDequotedStr(const String& s, Char quote);
String AnsiExtractQuotedStr(const String& s, Char quote);

// ---------------------------------------------------------------- integers
String IntToStr(Int64 value);
String UIntToStr(UInt64 value);
template <typename T>
requires std::integral<T> &&
    (!std::same_as<T, bool>)&&(!std::same_as<T, char16_t>)&&(!std::same_as<T, char32_t>)&&(!std::same_as<T, char>)String
    IntToStr(T value) {
  if constexpr (std::is_signed_v<T>) {
    return IntToStr(static_cast<Int64>(value));
  } else {
    return UIntToStr(static_cast<UInt64>(value));
  }
}
// Upper-case hexadecimal of the two's complement, at least `digits` digits
// (a 32-bit value gives at most 8 digits, a 64-bit one 16).
String IntToHex(UInt64 value, Integer digits);
template <typename T>
requires std::integral<T> &&(!std::same_as<T, bool>)String IntToHex(T value, Integer digits) {
  if constexpr (sizeof(T) <= 4) {
    return IntToHex(static_cast<UInt64>(static_cast<std::uint32_t>(value)), digits);
  } else {
    return IntToHex(static_cast<UInt64>(value), digits);
  }
}

// Integer text: leading spaces, an optional sign, decimal digits or a
// hexadecimal number after '$', '0x', '0X', 'x' or 'X'; nothing may follow.
// Decimal text must fit the type; hexadecimal may use the whole unsigned
// range (StrToInt("$FFFFFFFF") == -1).
// Errors raise EConvertError "'<s>' is not a valid integer value".
Integer StrToInt(const String& s);
Int64 StrToInt64(const String& s);
Integer StrToIntDef(const String& s, Integer defaultValue);
Int64 StrToInt64Def(const String& s, Int64 defaultValue);
bool TryStrToInt(const String& s, Integer& value);
bool TryStrToInt64(const String& s, Int64& value);
bool TryStrToUInt64(const String& s, UInt64& value);

// Booleans: "True"/"False" (any case) or a number (0 is False). Errors raise
// EConvertError "'<s>' is not a valid boolean value".
bool StrToBool(const String& s);
bool StrToBoolDef(const String& s, bool defaultValue);
bool TryStrToBool(const String& s, bool& value);
// useBoolStrs: "True"/"False"; otherwise "-1"/"0" (the texts stored files hold).
String BoolToStr(bool b, bool useBoolStrs = false);

// ---------------------------------------------------------------- floats
// Text to float: leading and trailing spaces, optional
// sign, digits with at most one settings.DecimalSeparator, optional exponent
// E[+|-]digits; also "INF", "-INF", "NAN" (any case). No thousand separators.
// The result is correctly rounded. Errors raise EConvertError
// "'<s>' is not a valid floating point value".
double StrToFloat(const String& s);
double StrToFloat(const String& s, const TFormatSettings& settings);
double StrToFloatDef(const String& s, double defaultValue);
double StrToFloatDef(const String& s, double defaultValue, const TFormatSettings& settings);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings);

// Locale-free parsing: '.' as decimal separator whatever the locale; code is
// 0 on success, else the 1-based position of the first bad character (the
// value is then 0).
void Val(const String& s, double& value, Integer& code);
void Val(const String& s, Integer& value, Integer& code);
void Val(const String& s, Int64& value, Integer& code);

// Float to text. Rounding everywhere is half away from zero on the exact
// decimal value of the double, after at most 18 significant digits (the
// precision of the texts other versions of the program wrote), so 2.675 (really 2.67499999...) gives "2.67" with 2
// decimals and 0.125 gives "0.13". Infinities and NaN give "INF", "-INF", "NAN". A value that rounds to zero loses its
// minus sign.
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
// precision: significant digits (1..18); digits: ffGeneral/ffExponent the
// minimum number of exponent digits (0..4), ffFixed/ffNumber/ffCurrency the
// number of decimals (0..18).
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits);
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& settings);
// ffGeneral with 15 significant digits: FloatToStr(0.1 + 0.2) == "0.3",
// FloatToStr(1e20) == "1E20", FloatToStr(1.5e-7) == "1.5E-7".
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);

// A float as decimal digits: value = 0.<Digits> * 10^Exponent, Digits without
// trailing zeros, rounded to `precision` significant digits (at most 18) and
// to `decimals` digits after the decimal point. Zero (or a value rounded to
// zero) gives Digits "" and Exponent 0.
struct TFloatRec {
  Integer Exponent = 0;
  bool Negative = false;
  bool Infinite = false;  // Digits empty
  bool NaN = false;       // Digits empty
  AnsiString Digits;      // '0'..'9'
};
TFloatRec FloatToDecimal(double value, Integer precision, Integer decimals);

// ---------------------------------------------------------------- file names
#ifdef _WIN32
inline constexpr Char PathDelim = u'\\';
inline constexpr Char DriveDelim = u':';
inline constexpr Char PathSep = u';';
#else
inline constexpr Char PathDelim = u'/';
inline constexpr Char DriveDelim = u'\0';  // none
inline constexpr Char PathSep = u':';
#endif
// Delimiters are PathDelim (and DriveDelim on Windows).
String IncludeTrailingPathDelimiter(const String& s);
String ExcludeTrailingPathDelimiter(const String& s);
String ExtractFilePath(const String& fileName);  // with the trailing delimiter
String ExtractFileDir(const String& fileName);   // without it (unless a root)
String ExtractFileName(const String& fileName);
String ExtractFileExt(const String& fileName);  // with the dot, "" when none
String ChangeFileExt(const String& fileName, const String& extension);

// ---------------------------------------------------------------- OS errors
// The operating system's text for an error code, without trailing blanks and
// dots: Windows FormatMessageW (GetLastError codes), elsewhere strerror
// (errno codes).
String SysErrorMessage(int errorCode);
