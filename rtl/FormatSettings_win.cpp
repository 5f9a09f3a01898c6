#include "rtl/Win32.h"

#include "rtl/FormatSettings.h"

namespace {

String LocaleStr(LCID locale, LCTYPE type, const String& fallback) {
  wchar_t buffer[256];
  const int n = GetLocaleInfoW(locale, type, buffer, 256);
  if (n <= 1) return fallback;  // n counts the terminating zero
  return String(reinterpret_cast<const Char*>(buffer), static_cast<std::size_t>(n - 1));
}

Char LocaleChar(LCID locale, LCTYPE type, Char fallback) {
  const String s = LocaleStr(locale, type, String());
  return s.empty() ? fallback : s[0];
}

int LocaleInt(LCID locale, LCTYPE type, int fallback) {
  const String s = LocaleStr(locale, type, String());
  if (s.empty()) return fallback;
  int value = 0;
  for (Char c : s) {
    if (c < u'0' || c > u'9') return fallback;
    value = value * 10 + (c - u'0');
    if (value > 1000) return fallback;
  }
  return value;
}

// Windows' date pictures use our tokens already (d, M, y); the locale's
// separator becomes '/' (which FormatDateTime prints as DateSeparator)
// outside quoted text, so that changing DateSeparator changes the dates.
String TranslateDateFormat(const String& format, Char separator) {
  String out;
  Char quote = 0;
  for (Char c : format) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      out.push_back(c);
    } else if (c == u'\'' || c == u'"') {
      quote = c;
      out.push_back(c);
    } else if (c == separator && c != u'/') {
      out.push_back(u'/');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

TFormatSettings TFormatSettings::Create() {
  const LCID locale = LOCALE_USER_DEFAULT;
  const TFormatSettings en = English();
  TFormatSettings fs = en;
  fs.CurrencyString = LocaleStr(locale, LOCALE_SCURRENCY, en.CurrencyString);
  fs.CurrencyFormat = static_cast<Byte>(LocaleInt(locale, LOCALE_ICURRENCY, 0) & 3);
  const int neg = LocaleInt(locale, LOCALE_INEGCURR, 0);
  fs.NegCurrFormat = static_cast<Byte>(neg >= 0 && neg <= 15 ? neg : 0);
  fs.CurrencyDecimals = static_cast<Byte>(LocaleInt(locale, LOCALE_ICURRDIGITS, 2) % 19);
  fs.ThousandSeparator = LocaleChar(locale, LOCALE_STHOUSAND, u',');
  fs.DecimalSeparator = LocaleChar(locale, LOCALE_SDECIMAL, u'.');
  fs.ListSeparator = LocaleChar(locale, LOCALE_SLIST, u',');
  fs.DateSeparator = LocaleChar(locale, LOCALE_SDATE, u'/');
  fs.TimeSeparator = LocaleChar(locale, LOCALE_STIME, u':');
  fs.ShortDateFormat = TranslateDateFormat(LocaleStr(locale, LOCALE_SSHORTDATE, u"M/d/yyyy"), fs.DateSeparator);
  fs.LongDateFormat = TranslateDateFormat(LocaleStr(locale, LOCALE_SLONGDATE, u"dddd, MMMM d, yyyy"), fs.DateSeparator);
  fs.TimeAMString = LocaleStr(locale, LOCALE_S1159, String());
  fs.TimePMString = LocaleStr(locale, LOCALE_S2359, String());
  // The time formats are built from the clock kind rather than copied from
  // LOCALE_STIMEFORMAT, whose tokens (t, tt) FormatDateTime does not know.
  const String hour = LocaleInt(locale, LOCALE_ITLZERO, 0) == 0 ? u"h" : u"hh";
  String prefix, postfix;
  if (LocaleInt(locale, LOCALE_ITIME, 0) == 0) {
    if (LocaleInt(locale, LOCALE_ITIMEMARKPOSN, 0) == 0) {
      postfix = u" AMPM";
    } else {
      prefix = u"AMPM ";
    }
  }
  fs.ShortTimeFormat = prefix + hour + u":mm" + postfix;
  fs.LongTimeFormat = prefix + hour + u":mm:ss" + postfix;
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = LocaleStr(locale, LOCALE_SABBREVMONTHNAME1 + i, en.ShortMonthNames[i]);
    fs.LongMonthNames[i] = LocaleStr(locale, LOCALE_SMONTHNAME1 + i, en.LongMonthNames[i]);
  }
  // Windows counts days from Monday (DAYNAME1), the name arrays from Sunday.
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = LocaleStr(locale, LOCALE_SABBREVDAYNAME1 + (i + 6) % 7, en.ShortDayNames[i]);
    fs.LongDayNames[i] = LocaleStr(locale, LOCALE_SDAYNAME1 + (i + 6) % 7, en.LongDayNames[i]);
  }
  fs.TwoDigitYearCenturyWindow = 50;
  return fs;
}
