#include "rtl/DateUtils.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

#include "rtl/SysUtils.h"

namespace {

constexpr Int64 kMSecsPerDay = MSecsPerDay;

const Word kDaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                  {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

String Quote(const char16_t* pattern, const String& value) {
  String out;
  for (const char16_t* p = pattern; *p; ++p) {
    if (p[0] == u'%' && p[1] == u's') {
      out += value;
      ++p;
    } else {
      out.push_back(*p);
    }
  }
  return out;
}

// A date-time as a time stamp: the value rounded to the millisecond, split
// into days (towards zero) and the milliseconds of the absolute time.
struct TimeStamp {
  Int64 days;  // TDateTime days (0 = 1899-12-30)
  Int64 time;  // 0 .. MSecsPerDay - 1
};

TimeStamp Split(TDateTime value) {
  const double scaled = std::nearbyint(value * static_cast<double>(kMSecsPerDay));
  constexpr double kLimit = 9.2e18;
  Int64 ms = 0;
  if (scaled > -kLimit && scaled < kLimit) ms = static_cast<Int64>(scaled);
  const Int64 days = ms / kMSecsPerDay;  // towards zero
  const Int64 time = (ms < 0 ? -ms : ms) % kMSecsPerDay;
  return {days, time};
}

// A date (whole days) and a time of day put together: the time is
// subtracted from a negative date, since a TDateTime before 1899-12-30 keeps
// its time of day as a positive fraction.
TDateTime Compose(double date, double time) { return date >= 0 ? date + time : date - time; }

// Milliseconds on a linear scale (from 0001-01-01 minus one day), so that
// moments before 1899-12-30 compare and subtract correctly.
Int64 ToLinear(TDateTime value) {
  const TimeStamp ts = Split(value);
  return (ts.days + DateDelta) * kMSecsPerDay + ts.time;
}

TDateTime FromLinear(Int64 linear) {
  Int64 days = linear / kMSecsPerDay;
  Int64 time = linear % kMSecsPerDay;
  if (time < 0) {
    time += kMSecsPerDay;
    --days;
  }
  return Compose(static_cast<double>(days - DateDelta), static_cast<double>(time) / kMSecsPerDay);
}

struct Decoded {
  Word year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
  Word dayOfWeek = 0;  // 1 = Sunday
};

void DecodeDays(Int64 days, Word& year, Word& month, Word& day, Word& dow) {
  Int64 t = days + DateDelta;  // 1 = 0001-01-01
  if (t <= 0 || t > 3652059) {
    year = month = day = dow = 0;
    return;
  }
  dow = static_cast<Word>(t % 7 + 1);
  --t;
  Int64 y = 1;
  constexpr Int64 d1 = 365, d4 = d1 * 4 + 1, d100 = d4 * 25 - 1, d400 = d100 * 4 + 1;
  while (t >= d400) {
    t -= d400;
    y += 400;
  }
  Int64 i = t / d100, d = t % d100;
  if (i == 4) {
    --i;
    d += d100;
  }
  y += i * 100;
  i = d / d4;
  d = d % d4;
  y += i * 4;
  i = d / d1;
  d = d % d1;
  if (i == 4) {
    --i;
    d += d1;
  }
  y += i;
  const Word* table = kDaysInMonth[IsLeapYear(static_cast<Word>(y)) ? 1 : 0];
  Word m = 1;
  while (d >= table[m - 1]) {
    d -= table[m - 1];
    ++m;
  }
  year = static_cast<Word>(y);
  month = m;
  day = static_cast<Word>(d + 1);
}

Decoded DecodeAll(TDateTime value) {
  Decoded r;
  const TimeStamp ts = Split(value);
  DecodeDays(ts.days, r.year, r.month, r.day, r.dayOfWeek);
  Int64 t = ts.time;
  r.hour = static_cast<Word>(t / 3600000);
  t %= 3600000;
  r.min = static_cast<Word>(t / 60000);
  t %= 60000;
  r.sec = static_cast<Word>(t / 1000);
  r.msec = static_cast<Word>(t % 1000);
  return r;
}

}  // namespace

// ---------------------------------------------------------------- calendar

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInAMonth(Word year, Word month) {
  if (month < 1 || month > 12) return 0;
  return kDaysInMonth[IsLeapYear(year) ? 1 : 0][month - 1];
}

Word DaysInAYear(Word year) { return IsLeapYear(year) ? 366 : 365; }

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  Int64 d = day;
  const Word* table = kDaysInMonth[IsLeapYear(year) ? 1 : 0];
  for (int i = 0; i < month - 1; ++i) d += table[i];
  const Int64 y = year - 1;
  date = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + d - DateDelta);
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError(u"Invalid argument to date encode");
  return d;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour >= HoursPerDay || min >= MinsPerHour || sec >= SecsPerMin || msec >= MSecsPerSec) return false;
  const Int64 ms = ((static_cast<Int64>(hour) * 60 + min) * 60 + sec) * 1000 + msec;
  time = static_cast<double>(ms) / kMSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError(u"Invalid argument to time encode");
  return t;
}

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec, TDateTime& value) {
  TDateTime d, t;
  if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, min, sec, msec, t)) return false;
  value = Compose(d, t);
  return true;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec) {
  return Compose(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
  const Decoded d = DecodeAll(date);
  year = d.year;
  month = d.month;
  day = d.day;
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
  const Decoded d = DecodeAll(time);
  hour = d.hour;
  min = d.min;
  sec = d.sec;
  msec = d.msec;
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec, Word& msec) {
  const Decoded d = DecodeAll(value);
  year = d.year;
  month = d.month;
  day = d.day;
  hour = d.hour;
  min = d.min;
  sec = d.sec;
  msec = d.msec;
}

Word DayOfWeek(TDateTime date) { return DecodeAll(date).dayOfWeek; }

Word DayOfTheWeek(TDateTime date) {
  const Word d = DayOfWeek(date);
  return d == 0 ? 0 : static_cast<Word>(d == 1 ? 7 : d - 1);
}

Word YearOf(TDateTime value) { return DecodeAll(value).year; }
Word MonthOf(TDateTime value) { return DecodeAll(value).month; }
Word DayOf(TDateTime value) { return DecodeAll(value).day; }
Word HourOf(TDateTime value) { return DecodeAll(value).hour; }
Word MinuteOf(TDateTime value) { return DecodeAll(value).min; }
Word SecondOf(TDateTime value) { return DecodeAll(value).sec; }
Word MilliSecondOf(TDateTime value) { return DecodeAll(value).msec; }

TDateTime DateOf(TDateTime value) { return static_cast<double>(Split(value).days); }

TDateTime TimeOf(TDateTime value) { return static_cast<double>(Split(value).time) / kMSecsPerDay; }

// ---------------------------------------------------------------- clock

TDateTime Now() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const Int64 ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
  Int64 secs = ms / 1000;
  Int64 msec = ms % 1000;
  if (msec < 0) {
    msec += 1000;
    --secs;
  }
  const std::time_t t = static_cast<std::time_t>(secs);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const Word sec = static_cast<Word>(local.tm_sec > 59 ? 59 : local.tm_sec);  // leap second
  return EncodeDateTime(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                        static_cast<Word>(local.tm_mday), static_cast<Word>(local.tm_hour),
                        static_cast<Word>(local.tm_min), sec, static_cast<Word>(msec));
}

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

Word CurrentYear() { return YearOf(Now()); }

// ---------------------------------------------------------------- arithmetic

TDateTime IncMilliSecond(TDateTime value, Int64 milliseconds) { return FromLinear(ToLinear(value) + milliseconds); }

TDateTime IncSecond(TDateTime value, Int64 seconds) { return IncMilliSecond(value, seconds * MSecsPerSec); }

TDateTime IncMinute(TDateTime value, Int64 minutes) { return IncMilliSecond(value, minutes * 60000); }

TDateTime IncHour(TDateTime value, Int64 hours) { return IncMilliSecond(value, hours * 3600000); }

TDateTime IncDay(TDateTime value, Integer days) {
  // Whole days keep the time exactly as it was (no millisecond rounding).
  const double date = std::trunc(value);
  const double time = std::fabs(value - date);
  return Compose(date + days, time);
}

TDateTime IncWeek(TDateTime value, Integer weeks) { return IncDay(value, weeks * 7); }

TDateTime IncMonth(TDateTime value, Integer months) {
  Word y, m, d;
  DecodeDate(value, y, m, d);
  if (y == 0) return value;
  Int64 total = static_cast<Int64>(y) * 12 + (m - 1) + months;
  Int64 ny = total / 12;
  Int64 nm = total % 12 + 1;
  if (ny < 1 || ny > 9999) throw EConvertError(u"Invalid argument to date encode");
  const Word maxDay = DaysInAMonth(static_cast<Word>(ny), static_cast<Word>(nm));
  if (d > maxDay) d = maxDay;
  const double date = EncodeDate(static_cast<Word>(ny), static_cast<Word>(nm), d);
  return Compose(date, std::fabs(value - std::trunc(value)));
}

TDateTime IncYear(TDateTime value, Integer years) { return IncMonth(value, years * 12); }

Int64 MilliSecondsBetween(TDateTime a, TDateTime b) {
  const Int64 d = ToLinear(a) - ToLinear(b);
  return d < 0 ? -d : d;
}

Int64 SecondsBetween(TDateTime a, TDateTime b) { return MilliSecondsBetween(a, b) / MSecsPerSec; }

Int64 MinutesBetween(TDateTime a, TDateTime b) { return MilliSecondsBetween(a, b) / 60000; }

Int64 HoursBetween(TDateTime a, TDateTime b) { return MilliSecondsBetween(a, b) / 3600000; }

Integer DaysBetween(TDateTime a, TDateTime b) { return static_cast<Integer>(MilliSecondsBetween(a, b) / kMSecsPerDay); }

Int64 DateTimeToUnix(TDateTime value) {
  return (ToLinear(value) - ToLinear(UnixDateDelta)) / MSecsPerSec;  // towards zero
}

TDateTime UnixToDateTime(Int64 unixSeconds) { return IncSecond(UnixDateDelta, unixSeconds); }

// ---------------------------------------------------------------- FormatDateTime

namespace {

Char UpperAscii(Char c) { return (c >= u'a' && c <= u'z') ? static_cast<Char>(c - 32) : c; }

bool StartsNoCase(const String& s, std::size_t at, const char16_t* word) {
  std::size_t i = at;
  for (const char16_t* p = word; *p; ++p, ++i) {
    if (i >= s.size() || UpperAscii(s[i]) != *p) return false;
  }
  return true;
}

void AppendNumber(String& out, unsigned value, int digits) {
  String s = UIntToStr(value);
  if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<std::size_t>(digits) - s.size(), u'0');
  out += s;
}

struct DateTimeWriter {
  const TFormatSettings& fs;
  Decoded parts;
  bool use12HourClock = false;
  String out;

  void Append(const String& fmt, int level) {
    const std::size_t n = fmt.size();
    std::size_t i = 0;
    Char lastToken = 0;
    while (i < n) {
      const Char starter = fmt[i];
      Char token = UpperAscii(starter);
      const std::size_t at = i;
      ++i;
      if (token >= u'A' && token <= u'Z') {
        if (token == u'M' && lastToken == u'H') token = u'N';
        lastToken = token;
      }
      auto count = [&]() {
        int c = 1;
        while (i < n && fmt[i] == starter) {
          ++c;
          ++i;
        }
        return c;
      };
      switch (token) {
        case u'Y': {
          const int c = count();
          if (c <= 2) {
            AppendNumber(out, parts.year % 100, 2);
          } else {
            AppendNumber(out, parts.year, 4);
          }
          break;
        }
        case u'M': {
          const int c = count();
          if (parts.month < 1) break;
          if (c <= 2) {
            AppendNumber(out, parts.month, c);
          } else if (c == 3) {
            out += fs.ShortMonthNames[parts.month - 1];
          } else {
            out += fs.LongMonthNames[parts.month - 1];
          }
          break;
        }
        case u'D': {
          const int c = count();
          if (c <= 2) {
            AppendNumber(out, parts.day, c);
          } else if (c == 3) {
            if (parts.dayOfWeek > 0) out += fs.ShortDayNames[parts.dayOfWeek - 1];
          } else if (c == 4) {
            if (parts.dayOfWeek > 0) out += fs.LongDayNames[parts.dayOfWeek - 1];
          } else if (level < 2) {
            Append(c == 5 ? fs.ShortDateFormat : fs.LongDateFormat, level + 1);
          }
          break;
        }
        case u'H': {
          int c = count();
          // A 12-hour clock when an am/pm marker comes before the next hour
          // token (quoted text skipped); the search stops at the first 'a'.
          bool quoted = false;
          for (std::size_t p = i; p < n; ++p) {
            const Char ch = fmt[p];
            if (ch == u'\'' || ch == u'"') {
              quoted = !quoted;
            } else if (!quoted && (ch == u'a' || ch == u'A')) {
              if (StartsNoCase(fmt, p, u"AM/PM") || StartsNoCase(fmt, p, u"A/P") || StartsNoCase(fmt, p, u"AMPM"))
                use12HourClock = true;
              break;
            } else if (!quoted && (ch == u'h' || ch == u'H')) {
              break;
            }
          }
          unsigned h = parts.hour;
          if (use12HourClock) {
            if (h == 0) {
              h = 12;
            } else if (h > 12) {
              h -= 12;
            }
          }
          if (c > 2) c = 2;
          AppendNumber(out, h, c);
          break;
        }
        case u'N': {
          int c = count();
          if (c > 2) c = 2;
          AppendNumber(out, parts.min, c);
          break;
        }
        case u'S': {
          int c = count();
          if (c > 2) c = 2;
          AppendNumber(out, parts.sec, c);
          break;
        }
        case u'Z': {
          int c = count();
          if (c > 3) c = 3;
          AppendNumber(out, parts.msec, c);
          break;
        }
        case u'T': {
          const int c = count();
          if (level < 2) Append(c == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, level + 1);
          break;
        }
        case u'C': {
          count();
          if (level < 2) {
            Append(fs.ShortDateFormat, level + 1);
            if (parts.hour != 0 || parts.min != 0 || parts.sec != 0 || parts.msec != 0) {
              out.push_back(u' ');
              Append(fs.LongTimeFormat, level + 1);
            }
          }
          break;
        }
        case u'A': {
          const bool pm = parts.hour >= 12;
          if (StartsNoCase(fmt, at, u"AM/PM")) {
            out.append(fmt, at + (pm ? 3 : 0), 2);
            i = at + 5;
            use12HourClock = true;
          } else if (StartsNoCase(fmt, at, u"A/P")) {
            out.push_back(fmt[at + (pm ? 2 : 0)]);
            i = at + 3;
            use12HourClock = true;
          } else if (StartsNoCase(fmt, at, u"AMPM")) {
            out += pm ? fs.TimePMString : fs.TimeAMString;
            i = at + 4;
            use12HourClock = true;
          } else if (StartsNoCase(fmt, at, u"AAAA")) {
            if (parts.dayOfWeek > 0) out += fs.LongDayNames[parts.dayOfWeek - 1];
            i = at + 4;
          } else if (StartsNoCase(fmt, at, u"AAA")) {
            if (parts.dayOfWeek > 0) out += fs.ShortDayNames[parts.dayOfWeek - 1];
            i = at + 3;
          } else {
            out.push_back(starter);
          }
          break;
        }
        case u'/':
          if (fs.DateSeparator != 0) out.push_back(fs.DateSeparator);
          break;
        case u':':
          if (fs.TimeSeparator != 0) out.push_back(fs.TimeSeparator);
          break;
        case u'\'':
        case u'"': {
          while (i < n && fmt[i] != starter) out.push_back(fmt[i++]);
          if (i < n) ++i;
          break;
        }
        default:
          out.push_back(starter);
          break;
      }
    }
  }
};

}  // namespace

String FormatDateTime(const String& fmt, TDateTime value, const TFormatSettings& settings) {
  DateTimeWriter w{settings, DecodeAll(value), false, String()};
  w.Append(fmt.empty() ? String(u"C") : fmt, 0);
  return w.out;
}

String FormatDateTime(const String& fmt, TDateTime value) { return FormatDateTime(fmt, value, FormatSettings); }

String DateTimeToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime(u"c", value, settings); }
String DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }
String DateToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime(u"ddddd", value, settings); }
String DateToStr(TDateTime value) { return DateToStr(value, FormatSettings); }
String TimeToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime(u"tt", value, settings); }
String TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings); }

// ---------------------------------------------------------------- from text

namespace {

enum class DateOrder { MDY, DMY, YMD };

DateOrder GetDateOrder(const String& shortDateFormat) {
  for (Char c : shortDateFormat) {
    switch (UpperAscii(c)) {
      case u'E':
      case u'Y':
        return DateOrder::YMD;
      case u'M':
        return DateOrder::MDY;
      case u'D':
        return DateOrder::DMY;
      default:
        break;
    }
  }
  return DateOrder::MDY;
}

struct Scanner {
  const String& s;
  const TFormatSettings& fs;
  std::size_t pos = 0;

  void Blanks() {
    while (pos < s.size() && s[pos] == u' ') ++pos;
  }
  bool AtEnd() const { return pos >= s.size(); }
  // Up to the first value >= 1000: at most 4 digits are read, so "20240"
  // is refused rather than read as a year.
  bool Number(unsigned& value, int& length) {
    Blanks();
    std::size_t i = pos;
    unsigned n = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && n < 1000) {
      n = n * 10 + (s[i] - u'0');
      ++i;
    }
    if (i == pos) return false;
    length = static_cast<int>(i - pos);
    pos = i;
    value = n;
    return true;
  }
  bool CharIs(Char c) {
    Blanks();
    if (pos < s.size() && s[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  bool Symbol(const String& symbol) {
    if (symbol.empty()) return false;
    Blanks();
    if (pos + symbol.size() <= s.size() && AnsiSameText(s.substr(pos, symbol.size()), symbol)) {
      pos += symbol.size();
      return true;
    }
    return false;
  }

  bool Date(TDateTime& date) {
    unsigned n1, n2, n3;
    int l1, l2, l3;
    if (!(Number(n1, l1) && CharIs(fs.DateSeparator) && Number(n2, l2))) return false;
    const DateOrder order = GetDateOrder(fs.ShortDateFormat);
    unsigned y, m, d;
    if (CharIs(fs.DateSeparator)) {
      if (!Number(n3, l3)) return false;
      int yearLength;
      switch (order) {
        case DateOrder::MDY:
          y = n3;
          yearLength = l3;
          m = n1;
          d = n2;
          break;
        case DateOrder::DMY:
          y = n3;
          yearLength = l3;
          m = n2;
          d = n1;
          break;
        default:
          y = n1;
          yearLength = l1;
          m = n2;
          d = n3;
          break;
      }
      if (yearLength <= 2) {
        const int centuryBase = static_cast<int>(CurrentYear()) - fs.TwoDigitYearCenturyWindow;
        y += static_cast<unsigned>(centuryBase / 100 * 100);
        if (fs.TwoDigitYearCenturyWindow > 0 && static_cast<int>(y) < centuryBase) y += 100;
      }
    } else {
      y = CurrentYear();
      if (order == DateOrder::DMY) {
        d = n1;
        m = n2;
      } else {
        m = n1;
        d = n2;
      }
    }
    Blanks();
    if (y > 9999 || m > 12 || d > 31) return false;
    return TryEncodeDate(static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d), date);
  }

  bool Time(TDateTime& time) {
    int baseHour = -1;
    if (Symbol(fs.TimeAMString) || Symbol(u"AM")) {
      baseHour = 0;
    } else if (Symbol(fs.TimePMString) || Symbol(u"PM")) {
      baseHour = 12;
    }
    if (baseHour >= 0) Blanks();
    unsigned hour, min = 0, sec = 0, msec = 0;
    int length;
    if (!Number(hour, length)) return false;
    if (CharIs(fs.TimeSeparator)) {
      if (!Number(min, length)) return false;
      if (CharIs(fs.TimeSeparator)) {
        if (!Number(sec, length)) return false;
        if (CharIs(fs.DecimalSeparator)) {
          if (!Number(msec, length)) return false;
        }
      }
    }
    if (baseHour < 0) {
      if (Symbol(fs.TimeAMString) || Symbol(u"AM")) {
        baseHour = 0;
      } else if (Symbol(fs.TimePMString) || Symbol(u"PM")) {
        baseHour = 12;
      }
    }
    if (baseHour >= 0) {
      if (hour == 0 || hour > 12) return false;
      if (hour == 12) hour = 0;
      hour += static_cast<unsigned>(baseHour);
    }
    Blanks();
    if (hour > 23 || min > 59 || sec > 59 || msec > 999) return false;
    return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(min), static_cast<Word>(sec),
                         static_cast<Word>(msec), time);
  }
};

}  // namespace

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc{s, settings};
  TDateTime d;
  if (!sc.Date(d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc{s, settings};
  TDateTime t;
  if (!sc.Time(t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner sc{s, settings};
  TDateTime d, t = 0;
  if (sc.Date(d) && (sc.AtEnd() || (sc.Time(t) && sc.AtEnd()))) {
    value = Compose(d, t);
    return true;
  }
  return TryStrToTime(s, value, settings);
}

bool TryStrToDate(const String& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings); }
bool TryStrToTime(const String& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings); }
bool TryStrToDateTime(const String& s, TDateTime& value) { return TryStrToDateTime(s, value, FormatSettings); }

TDateTime StrToDate(const String& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDate(s, v, settings)) throw EConvertError(Quote(u"'%s' is not a valid date", s));
  return v;
}

TDateTime StrToTime(const String& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToTime(s, v, settings)) throw EConvertError(Quote(u"'%s' is not a valid time", s));
  return v;
}

TDateTime StrToDateTime(const String& s, const TFormatSettings& settings) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, settings)) throw EConvertError(Quote(u"'%s' is not a valid date and time", s));
  return v;
}

TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings); }
TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings); }
TDateTime StrToDateTime(const String& s) { return StrToDateTime(s, FormatSettings); }

TDateTime StrToDateDef(const String& s, TDateTime defaultValue, const TFormatSettings& settings) {
  TDateTime v;
  return TryStrToDate(s, v, settings) ? v : defaultValue;
}
TDateTime StrToTimeDef(const String& s, TDateTime defaultValue, const TFormatSettings& settings) {
  TDateTime v;
  return TryStrToTime(s, v, settings) ? v : defaultValue;
}
TDateTime StrToDateTimeDef(const String& s, TDateTime defaultValue, const TFormatSettings& settings) {
  TDateTime v;
  return TryStrToDateTime(s, v, settings) ? v : defaultValue;
}
TDateTime StrToDateDef(const String& s, TDateTime defaultValue) {
  return StrToDateDef(s, defaultValue, FormatSettings);
}
TDateTime StrToTimeDef(const String& s, TDateTime defaultValue) {
  return StrToTimeDef(s, defaultValue, FormatSettings);
}
TDateTime StrToDateTimeDef(const String& s, TDateTime defaultValue) {
  return StrToDateTimeDef(s, defaultValue, FormatSettings);
}
