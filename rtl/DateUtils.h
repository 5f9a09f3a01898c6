#pragma once
// TDateTime helpers: days since 1899-12-30, the fraction is the time of day
// (the form date-times take in settings files and listings' parsed dates).
//
// Negative values: the date is the integral part (towards zero) and the
// time the absolute fraction, so -1.25 is 1899-12-29 06:00.
// Decoding rounds to the nearest millisecond first.
#include "rtl/Exceptions.h"
#include "rtl/FormatSettings.h"
#include "rtl/Types.h"

inline constexpr Integer HoursPerDay = 24;
inline constexpr Integer MinsPerHour = 60;
inline constexpr Integer SecsPerMin = 60;
inline constexpr Integer MSecsPerSec = 1000;
inline constexpr Integer MinsPerDay = HoursPerDay * MinsPerHour;
inline constexpr Integer SecsPerDay = MinsPerDay * SecsPerMin;
inline constexpr Integer SecsPerHour = SecsPerMin * MinsPerHour;
inline constexpr Integer MSecsPerDay = SecsPerDay * MSecsPerSec;
// Days between 0001-01-01 and 1899-12-31.
inline constexpr Integer DateDelta = 693594;
// TDateTime of 1970-01-01 00:00.
inline constexpr Integer UnixDateDelta = 25569;

// ---------------------------------------------------------------- calendar
bool IsLeapYear(Word year);
Word DaysInAMonth(Word year, Word month);  // 0 for a month outside 1..12
Word DaysInAYear(Word year);

// Years 1..9999. EncodeDate/EncodeTime raise EConvertError
// "Invalid argument to date encode" / "Invalid argument to time encode".
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
// hour < 24, min < 60, sec < 60, msec < 1000.
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec, TDateTime& value);
// Dates outside years 1..9999 decode as 0/0/0.
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec, Word& msec);

// SysUtils' DayOfWeek: 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime date);
// DateUtils' DayOfTheWeek: ISO 8601, 1 = Monday .. 7 = Sunday.
Word DayOfTheWeek(TDateTime date);

Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);
Word HourOf(TDateTime value);
Word MinuteOf(TDateTime value);
Word SecondOf(TDateTime value);
Word MilliSecondOf(TDateTime value);
TDateTime DateOf(TDateTime value);  // the time set to 00:00
TDateTime TimeOf(TDateTime value);  // the date part removed

// ---------------------------------------------------------------- clock
// The local clock (system time zone), to the millisecond.
TDateTime Now();
TDateTime Date();  // today at 00:00
TDateTime Time();  // the time of day only
Word CurrentYear();

// ---------------------------------------------------------------- arithmetic
TDateTime IncDay(TDateTime value, Integer days = 1);
TDateTime IncWeek(TDateTime value, Integer weeks = 1);
// Keeps the time; the day is clamped to the length of the new month
// (IncMonth(Jan 31) is Feb 28 or 29).
TDateTime IncMonth(TDateTime value, Integer months = 1);
TDateTime IncYear(TDateTime value, Integer years = 1);
TDateTime IncHour(TDateTime value, Int64 hours = 1);
TDateTime IncMinute(TDateTime value, Int64 minutes = 1);
TDateTime IncSecond(TDateTime value, Int64 seconds = 1);
TDateTime IncMilliSecond(TDateTime value, Int64 milliseconds = 1);
// Whole units between two moments (never negative), computed on values
// rounded to the millisecond so 0.9999999999 days apart is 1 day.
Integer DaysBetween(TDateTime a, TDateTime b);
Int64 HoursBetween(TDateTime a, TDateTime b);
Int64 MinutesBetween(TDateTime a, TDateTime b);
Int64 SecondsBetween(TDateTime a, TDateTime b);
Int64 MilliSecondsBetween(TDateTime a, TDateTime b);

// Seconds since 1970-01-01 00:00 (the TDateTime is taken as UTC; fractions of
// a second are dropped towards zero), and back.
Int64 DateTimeToUnix(TDateTime value);
TDateTime UnixToDateTime(Int64 unixSeconds);

// ---------------------------------------------------------------- to text
// Date-time to text; tokens are case-insensitive:
//   c       ShortDateFormat, then ' ' + LongTimeFormat unless the time is 00:00:00.000
//   d dd    day; ddd dddd short/long day name; ddddd ShortDateFormat; dddddd LongDateFormat
//   m mm    month (minute right after an h/hh token); mmm mmmm short/long month name
//   yy yyyy year (two digits / four digits)
//   h hh    hour (12-hour clock when an am/pm token follows before the next h)
//   n nn    minute    s ss  second    z zzz  millisecond
//   t tt    ShortTimeFormat / LongTimeFormat
//   am/pm a/p  copied in the case written;  ampm  TimeAMString / TimePMString
//   /       DateSeparator    :  TimeSeparator
//   'x' "x" literal text; any other character is copied
// An empty format is "c".
String FormatDateTime(const String& fmt, TDateTime value);
String FormatDateTime(const String& fmt, TDateTime value, const TFormatSettings& settings);
String DateTimeToStr(TDateTime value);  // "c"
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);
String DateToStr(TDateTime value);  // "ddddd"
String DateToStr(TDateTime value, const TFormatSettings& settings);
String TimeToStr(TDateTime value);  // "tt"
String TimeToStr(TDateTime value, const TFormatSettings& settings);

// ---------------------------------------------------------------- from text
// Text to date-time: a date is two or three numbers separated by DateSeparator
// in the order of ShortDateFormat (first of D, M or Y decides: DMY, MDY or
// YMD); with two numbers the year is the current one; a year written with 1
// or 2 digits is expanded with TwoDigitYearCenturyWindow. A time is
// h[:m[:s[<DecimalSeparator>ms]]] with TimeSeparator, optionally followed
// (or preceded) by TimeAMString/TimePMString or "AM"/"PM". Blanks around
// the parts are allowed; anything else left over fails.
// Errors raise EConvertError: "'<s>' is not a valid date",
// "'<s>' is not a valid time", "'<s>' is not a valid date and time".
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& settings);
TDateTime StrToDateDef(const String& s, TDateTime defaultValue);
TDateTime StrToDateDef(const String& s, TDateTime defaultValue, const TFormatSettings& settings);
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings);

TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& settings);
TDateTime StrToTimeDef(const String& s, TDateTime defaultValue);
TDateTime StrToTimeDef(const String& s, TDateTime defaultValue, const TFormatSettings& settings);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings);

// A date, optionally followed by a time; or a time alone.
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings);
TDateTime StrToDateTimeDef(const String& s, TDateTime defaultValue);
TDateTime StrToDateTimeDef(const String& s, TDateTime defaultValue, const TFormatSettings& settings);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings);
