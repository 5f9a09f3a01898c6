#include "rtl/FormatSettings.h"

namespace {

void SetEnglishNames(TFormatSettings& fs) {
  fs.ShortMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
  fs.LongMonthNames = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                       u"July",    u"August",   u"September", u"October", u"November", u"December"};
  fs.ShortDayNames = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
  fs.LongDayNames = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};
}

}  // namespace

TFormatSettings TFormatSettings::Invariant() {
  TFormatSettings fs;
  fs.DecimalSeparator = u'.';
  fs.ThousandSeparator = u',';
  fs.ListSeparator = u',';
  fs.CurrencyString = u"\u00A4";
  fs.CurrencyFormat = 0;
  fs.NegCurrFormat = 0;
  fs.CurrencyDecimals = 2;
  fs.DateSeparator = u'/';
  fs.TimeSeparator = u':';
  fs.ShortDateFormat = u"MM/dd/yyyy";
  fs.LongDateFormat = u"dddd, dd MMMMM yyyy";
  fs.ShortTimeFormat = u"HH:mm";
  fs.LongTimeFormat = u"HH:mm:ss";
  fs.TimeAMString = u"AM";
  fs.TimePMString = u"PM";
  SetEnglishNames(fs);
  fs.TwoDigitYearCenturyWindow = 50;
  return fs;
}

TFormatSettings TFormatSettings::English() {
  TFormatSettings fs;
  fs.DecimalSeparator = u'.';
  fs.ThousandSeparator = u',';
  fs.ListSeparator = u',';
  fs.CurrencyString = u"$";
  fs.CurrencyFormat = 0;
  fs.NegCurrFormat = 0;
  fs.CurrencyDecimals = 2;
  fs.DateSeparator = u'/';
  fs.TimeSeparator = u':';
  fs.ShortDateFormat = u"M/d/yyyy";
  fs.LongDateFormat = u"dddd, MMMM d, yyyy";
  fs.ShortTimeFormat = u"h:mm AMPM";
  fs.LongTimeFormat = u"h:mm:ss AMPM";
  fs.TimeAMString = u"AM";
  fs.TimePMString = u"PM";
  SetEnglishNames(fs);
  fs.TwoDigitYearCenturyWindow = 50;
  return fs;
}

TFormatSettings TFormatSettings::French() {
  TFormatSettings fs;
  fs.DecimalSeparator = u',';
  fs.ThousandSeparator = FrenchThousandSeparator;
  fs.ListSeparator = u';';
  fs.CurrencyString = u"\u20AC";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.CurrencyDecimals = 2;
  fs.DateSeparator = u'/';
  fs.TimeSeparator = u':';
  fs.ShortDateFormat = u"dd/MM/yyyy";
  fs.LongDateFormat = u"dddd d MMMM yyyy";
  fs.ShortTimeFormat = u"HH:mm";
  fs.LongTimeFormat = u"HH:mm:ss";
  fs.TimeAMString = u"";
  fs.TimePMString = u"";
  fs.ShortMonthNames = {u"janv.", u"f\u00E9vr.", u"mars",  u"avr.", u"mai",  u"juin",
                        u"juil.", u"ao\u00FBt",  u"sept.", u"oct.", u"nov.", u"d\u00E9c."};
  fs.LongMonthNames = {u"janvier", u"f\u00E9vrier", u"mars",      u"avril",   u"mai",      u"juin",
                       u"juillet", u"ao\u00FBt",    u"septembre", u"octobre", u"novembre", u"d\u00E9cembre"};
  fs.ShortDayNames = {u"dim.", u"lun.", u"mar.", u"mer.", u"jeu.", u"ven.", u"sam."};
  fs.LongDayNames = {u"dimanche", u"lundi", u"mardi", u"mercredi", u"jeudi", u"vendredi", u"samedi"};
  fs.TwoDigitYearCenturyWindow = 50;
  return fs;
}

// Built before the ordinary static objects of every other unit (priority 101
// is the first one available to programs), so their constructors may format.
TFormatSettings FormatSettings __attribute__((init_priority(101))) = TFormatSettings::Create();

void SetDefaultFormatSettings(const TFormatSettings& settings) { FormatSettings = settings; }

TFormatSettingsScope::TFormatSettingsScope(const TFormatSettings& settings) : FSaved(FormatSettings) {
  FormatSettings = settings;
}

TFormatSettingsScope::~TFormatSettingsScope() { FormatSettings = FSaved; }
