#pragma once
// TFormatSettings: the locale-dependent texts and separators used when numbers
// and dates are turned into text and back.
//
// Every conversion routine of the run-time library has two forms: one that
// takes a `const TFormatSettings&` and one that reads the process default
// `FormatSettings` below, so that models can be given fixed settings while
// the program follows the user's locale.
//
// Name arrays are 0-based:
//   ShortMonthNames[0] is January, ShortDayNames[0] is Sunday.
#include <array>

#include "rtl/Types.h"

// The thousand separator of French() (fr-FR). Windows up to 8.1 used U+00A0
// NO-BREAK SPACE; Windows 10 and later report U+202F NARROW NO-BREAK SPACE.
// The library keeps U+00A0 on purpose: every font the program uses has it,
// it round-trips through the 8-bit code page 1252, and the tests pin one
// value. To move to U+202F change this one constant.
inline constexpr Char FrenchThousandSeparator = u'\u00A0';

struct TFormatSettings {
  // Numbers.
  Char DecimalSeparator = u'.';
  Char ThousandSeparator = u',';
  Char ListSeparator = u',';
  // Currency (%m, ffCurrency). CurrencyFormat 0..3 and NegCurrFormat 0..15
  // are Windows' LOCALE_ICURRENCY and LOCALE_INEGCURR values:
  //   CurrencyFormat: 0 "$1"  1 "1$"  2 "$ 1"  3 "1 $"
  //   NegCurrFormat:  0 "($1)"  1 "-$1"  2 "$-1"  3 "$1-"  4 "(1$)"  5 "-1$"
  //                   6 "1-$"  7 "1$-"  8 "-1 $"  9 "-$ 1"  10 "1 $-"
  //                   11 "$ 1-"  12 "$ -1"  13 "1- $"  14 "($ 1)"  15 "(1 $)"
  String CurrencyString = u"$";
  Byte CurrencyFormat = 0;
  Byte NegCurrFormat = 0;
  Byte CurrencyDecimals = 2;
  // Dates and times. The formats use FormatDateTime's tokens (DateUtils.h);
  // '/' and ':' in them stand for DateSeparator and TimeSeparator.
  Char DateSeparator = u'/';
  Char TimeSeparator = u':';
  String ShortDateFormat = u"M/d/yyyy";
  String LongDateFormat = u"dddd, MMMM d, yyyy";
  String ShortTimeFormat = u"h:mm AMPM";
  String LongTimeFormat = u"h:mm:ss AMPM";
  String TimeAMString = u"AM";
  String TimePMString = u"PM";
  std::array<String, 12> ShortMonthNames;  // [0] = January
  std::array<String, 12> LongMonthNames;   // [0] = January
  std::array<String, 7> ShortDayNames;     // [0] = Sunday
  std::array<String, 7> LongDayNames;      // [0] = Sunday
  // Two-digit years read by StrToDate: the year is put in the century that
  // makes it fall within [current year - window, current year - window + 99];
  // 0 puts it in the current century.
  Word TwoDigitYearCenturyWindow = 50;

  // The locale-free settings: '.', ',', "MM/dd/yyyy", "HH:mm:ss",
  // English names, currency U+00A4.
  static TFormatSettings Invariant();
  // en-US as Windows reports it: '.', ',', "$", "M/d/yyyy",
  // "dddd, MMMM d, yyyy", "h:mm AMPM", "h:mm:ss AMPM", AM/PM, NegCurrFormat 0.
  static TFormatSettings English();
  // fr-FR: ',' decimal, FrenchThousandSeparator, "€" after the amount
  // (CurrencyFormat 3, NegCurrFormat 8), "dd/MM/yyyy", "dddd d MMMM yyyy",
  // "HH:mm", "HH:mm:ss", no AM/PM strings, lower-case names
  // ("janvier", "janv.", "lundi", "lun.").
  static TFormatSettings French();
  // The settings of the user's locale: on Windows read with GetLocaleInfoW
  // (LOCALE_USER_DEFAULT); elsewhere
  // English().
  static TFormatSettings Create();
};

// The process default: filled by
// TFormatSettings::Create() before any other static initialisation of the
// program runs. Reading it from any thread is fine; changing it is meant for
// start-up and tests only (it has no lock).
extern TFormatSettings FormatSettings;

// Replaces the process default (tests use this to pin English() or French()).
void SetDefaultFormatSettings(const TFormatSettings& settings);

// RAII helper for tests: installs `settings` as the process default and puts
// the previous default back on destruction.
class TFormatSettingsScope {
public:
  explicit TFormatSettingsScope(const TFormatSettings& settings);
  ~TFormatSettingsScope();
  TFormatSettingsScope(const TFormatSettingsScope&) = delete;
  TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

private:
  TFormatSettings FSaved;
};
