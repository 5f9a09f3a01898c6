#include "rtl/DateUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "rtl/Unicode.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(DateUtils, EncodeDateKnownSerials) {
  const struct {
    Word y, m, d;
    double serial;
  } cases[] = {
      {1899, 12, 30, 0},    {1899, 12, 31, 1},   {1900, 1, 1, 2},    {1900, 3, 1, 61},        {2000, 1, 1, 36526},
      {2024, 2, 29, 45351}, {1970, 1, 1, 25569}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465}, {1899, 12, 29, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
    Word y, m, d;
    DecodeDate(c.serial, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
  }
}

TEST(DateUtils, EncodeDecodeRoundTripEveryFewDays) {
  for (int serial = -693593; serial <= 2958465; serial += 13) {
    Word y, m, d;
    DecodeDate(serial, y, m, d);
    ASSERT_EQ(EncodeDate(y, m, d), serial);
  }
}

TEST(DateUtils, InvalidDatesAndTimes) {
  TDateTime v = 123;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, v));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
  EXPECT_FALSE(TryEncodeDate(2024, 13, 1, v));
  EXPECT_FALSE(TryEncodeDate(2024, 4, 31, v));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
  EXPECT_FALSE(TryEncodeTime(1, 60, 0, 0, v));
  EXPECT_FALSE(TryEncodeTime(1, 0, 60, 0, v));
  EXPECT_FALSE(TryEncodeTime(1, 0, 0, 1000, v));
  EXPECT_EQ(v, 123);
  EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([] { EncodeDate(2023, 2, 29); }),
            "Invalid argument to date encode");
  EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([] { EncodeTime(24, 0, 0, 0); }),
            "Invalid argument to time encode");
}

TEST(DateUtils, TimesAndNegativeValues) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  Word h, n, s, ms;
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ(h, 23);
  EXPECT_EQ(n, 59);
  EXPECT_EQ(s, 59);
  EXPECT_EQ(ms, 999);
  // A negative value is the date towards zero plus the absolute fraction.
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(h, 6);
  Word y, m, d;
  DecodeDate(-1.25, y, m, d);
  EXPECT_EQ(y, 1899);
  EXPECT_EQ(m, 12);
  EXPECT_EQ(d, 29);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  // Decoding rounds to the millisecond.
  DecodeTime(EncodeTime(10, 0, 0, 0) - 1e-10, h, n, s, ms);
  EXPECT_EQ(h, 10);
  EXPECT_EQ(n, 0);
  const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  EXPECT_EQ(YearOf(dt), 2024);
  EXPECT_EQ(MonthOf(dt), 3);
  EXPECT_EQ(DayOf(dt), 5);
  EXPECT_EQ(HourOf(dt), 14);
  EXPECT_EQ(MinuteOf(dt), 7);
  EXPECT_EQ(SecondOf(dt), 9);
  EXPECT_EQ(MilliSecondOf(dt), 45);
  EXPECT_EQ(DateOf(dt), EncodeDate(2024, 3, 5));
  EXPECT_NEAR(TimeOf(dt), EncodeTime(14, 7, 9, 45), 1e-12);
}

TEST(DateUtils, Calendar) {
  const struct {
    Word year;
    bool leap;
  } years[] = {{2000, true}, {1900, false}, {2024, true}, {2023, false}, {2100, false}, {1600, true}};
  for (const auto& y : years) EXPECT_EQ(IsLeapYear(y.year), y.leap) << y.year;
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 2), 28);
  EXPECT_EQ(DaysInAMonth(2023, 4), 30);
  EXPECT_EQ(DaysInAMonth(2023, 12), 31);
  EXPECT_EQ(DaysInAYear(2024), 366);
  // 2024-01-01 was a Monday.
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 1, 1)), 1);
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 7)), 1);
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 1, 7)), 7);
  EXPECT_EQ(DayOfWeek(0), 7);  // 1899-12-30 was a Saturday
  EXPECT_EQ(DayOfWeek(-1.5), 6);
}

TEST(DateUtils, Arithmetic) {
  const TDateTime t = EncodeTime(10, 30, 0, 0);
  const struct {
    TDateTime from;
    Integer months;
    TDateTime expected;
  } months[] = {
      {EncodeDate(2024, 1, 31) + t, 1, EncodeDate(2024, 2, 29) + t},
      {EncodeDate(2023, 1, 31), 1, EncodeDate(2023, 2, 28)},
      {EncodeDate(2024, 3, 31), -1, EncodeDate(2024, 2, 29)},
      {EncodeDate(2024, 12, 15), 1, EncodeDate(2025, 1, 15)},
      {EncodeDate(2024, 1, 15), -13, EncodeDate(2022, 12, 15)},
      {EncodeDate(2024, 5, 15), 0, EncodeDate(2024, 5, 15)},
      {EncodeDate(2024, 5, 15), 24, EncodeDate(2026, 5, 15)},
  };
  for (const auto& c : months) EXPECT_EQ(IncMonth(c.from, c.months), c.expected) << c.months;
  EXPECT_EQ(IncYear(EncodeDate(2024, 2, 29)), EncodeDate(2025, 2, 28));
  EXPECT_EQ(IncDay(EncodeDate(2024, 2, 28) + t, 2), EncodeDate(2024, 3, 1) + t);
  EXPECT_EQ(IncDay(EncodeDate(2024, 3, 1), -1), EncodeDate(2024, 2, 29));
  EXPECT_EQ(IncWeek(EncodeDate(2024, 1, 1)), EncodeDate(2024, 1, 8));
  // Across 1899-12-30 the time stays the time.
  EXPECT_EQ(IncDay(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), 2), EncodeDateTime(1899, 12, 31, 6, 0, 0, 0));
  EXPECT_EQ(IncHour(EncodeDateTime(2024, 1, 1, 23, 0, 0, 0), 2), EncodeDateTime(2024, 1, 2, 1, 0, 0, 0));
  EXPECT_EQ(IncMinute(EncodeDate(2024, 1, 1), -1), EncodeDateTime(2023, 12, 31, 23, 59, 0, 0));
  EXPECT_EQ(IncSecond(EncodeDateTime(2024, 1, 1, 0, 0, 59, 0)), EncodeDateTime(2024, 1, 1, 0, 1, 0, 0));
  EXPECT_EQ(IncMilliSecond(EncodeDateTime(1899, 12, 30, 0, 0, 0, 0), -1),
            EncodeDateTime(1899, 12, 29, 23, 59, 59, 999));

  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 3, 1)), 60);
  EXPECT_EQ(DaysBetween(EncodeDate(2024, 3, 1), EncodeDate(2024, 1, 1)), 60);
  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 1) + 0.99), 0);
  EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 2) - 1e-10), 1);  // ms rounding
  EXPECT_EQ(DaysBetween(-1.5, 1.5), 2);  // 1899-12-29 12:00 .. 1899-12-31 12:00
  EXPECT_EQ(HoursBetween(EncodeDate(2024, 1, 1), EncodeDateTime(2024, 1, 2, 1, 59, 0, 0)), 25);
  EXPECT_EQ(MinutesBetween(0, EncodeTime(1, 1, 59, 0)), 61);
  EXPECT_EQ(SecondsBetween(0, EncodeTime(0, 0, 1, 999)), 1);
  EXPECT_EQ(MilliSecondsBetween(0, EncodeTime(0, 0, 1, 999)), 1999);
}

TEST(DateUtils, Unix) {
  const struct {
    TDateTime dt;
    Int64 unix;
  } cases[] = {
      {EncodeDate(1970, 1, 1), 0},
      {EncodeDateTime(2001, 9, 9, 1, 46, 40, 0), 1000000000},
      {EncodeDate(1969, 12, 31), -86400},
      {EncodeDateTime(2038, 1, 19, 3, 14, 8, 0), 2147483648LL},
      {EncodeDate(1899, 12, 30), -2209161600LL},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateTimeToUnix(c.dt), c.unix);
    EXPECT_EQ(UnixToDateTime(c.unix), c.dt) << c.unix;
  }
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime(1970, 1, 1, 0, 0, 1, 900)), 1);  // fractions dropped
}

TEST(DateUtils, ClockIsLocalAndSane) {
  const TDateTime now = Now();
  const TDateTime today = Date();
  EXPECT_GE(YearOf(now), 2024);
  EXPECT_LE(std::fabs(today - std::trunc(now)), 1.0);
  EXPECT_GE(Time(), 0.0);
  EXPECT_LT(Time(), 1.0);
  EXPECT_EQ(CurrentYear(), YearOf(Now()));
  // Local time agrees with the C library's view of the same moment.
  const std::time_t t = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const TDateTime expected = EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                            local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, 0);
  EXPECT_LE(SecondsBetween(Now(), expected), 5);
}

TEST(DateUtils, FormatDateTimeEnglish) {
  const TFormatSettings en = TFormatSettings::English();
  const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);  // a Tuesday
  const struct {
    const char* fmt;
    const char* expected;
  } cases[] = {
      {"yyyy-mm-dd hh:nn:ss.zzz", "2024-03-05 14:07:09.045"},
      {"d/m/yy", "5/3/24"},
      {"y", "24"},
      {"dddd, mmmm d, yyyy", "Tuesday, March 5, 2024"},
      {"ddd mmm", "Tue Mar"},
      {"DDD MMM", "Tue Mar"},
      {"h:mm am/pm", "2:07 pm"},
      {"h:mm AM/PM", "2:07 PM"},
      {"h:mm a/p", "2:07 p"},
      {"h:mm A/P", "2:07 P"},
      {"hh:mm ampm", "02:07 PM"},
      {"hh:mm", "14:07"},
      {"h:m", "14:7"},
      {"hh:nn:ss", "14:07:09"},
      {"mm/dd hh:mm", "03/05 14:07"},
      {"hh mm", "14 07"},
      {"c", "3/5/2024 2:07:09 PM"},
      {"", "3/5/2024 2:07:09 PM"},
      {"ddddd", "3/5/2024"},
      {"dddddd", "Tuesday, March 5, 2024"},
      {"t", "2:07 PM"},
      {"tt", "2:07:09 PM"},
      {"'Date:' yyyy", "Date: 2024"},
      {"\"h\"h", "h14"},
      {"'unterminated", "unterminated"},
      {"yyyy\\x", "2024\\x"},
      {"z zz zzz", "45 45 045"},
      {"aaa aaaa", "Tue Tuesday"},
      {"s ss", "9 09"},
      {"dd.mm.yyyy", "05.03.2024"},
  };
  for (const auto& c : cases) EXPECT_EQ(UTF16ToUTF8(FormatDateTime(UTF8ToUTF16(c.fmt), dt, en)), c.expected) << c.fmt;

  EXPECT_TEXT(FormatDateTime(u"c", EncodeDate(2024, 3, 5), en), u"3/5/2024");  // midnight: no time
  EXPECT_TEXT(FormatDateTime(u"h AM/PM", EncodeTime(0, 30, 0, 0), en), u"12 AM");
  EXPECT_TEXT(FormatDateTime(u"h AM/PM", EncodeTime(12, 30, 0, 0), en), u"12 PM");
  EXPECT_TEXT(FormatDateTime(u"hh:nn", EncodeTime(0, 5, 0, 0), en), u"00:05");
  EXPECT_TEXT(DateTimeToStr(dt, en), u"3/5/2024 2:07:09 PM");
  EXPECT_TEXT(DateToStr(dt, en), u"3/5/2024");
  EXPECT_TEXT(TimeToStr(dt, en), u"2:07:09 PM");
  TFormatSettings dashes = en;
  dashes.DateSeparator = u'-';
  dashes.TimeSeparator = u'.';
  EXPECT_TEXT(FormatDateTime(u"yyyy/mm/dd hh:nn", dt, dashes), u"2024-03-05 14.07");
}

TEST(DateUtils, FormatDateTimeFrench) {
  const TFormatSettings fr = TFormatSettings::French();
  const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  EXPECT_TEXT(FormatDateTime(u"dddd d mmmm yyyy", dt, fr), u"mardi 5 mars 2024");
  EXPECT_TEXT(FormatDateTime(u"ddd d mmm", dt, fr), u"mar. 5 mars");
  EXPECT_TEXT(FormatDateTime(u"mmmm", EncodeDate(2024, 2, 1), fr), u"f\u00E9vrier");
  EXPECT_TEXT(DateTimeToStr(dt, fr), u"05/03/2024 14:07:09");
  EXPECT_TEXT(DateToStr(dt, fr), u"05/03/2024");
  EXPECT_TEXT(TimeToStr(dt, fr), u"14:07:09");
  EXPECT_TEXT(FormatDateTime(u"dddddd", dt, fr), u"mardi 5 mars 2024");
  // "ampm" asks for a 12-hour clock even when the locale has no AM/PM strings.
  EXPECT_TEXT(FormatDateTime(u"hh:nn ampm", dt, fr), u"02:07 ");
  {
    TFormatSettingsScope scope(fr);
    EXPECT_TEXT(DateToStr(dt), u"05/03/2024");
  }
}

TEST(DateUtils, TextToDate) {
  const TFormatSettings en = TFormatSettings::English();
  const TFormatSettings fr = TFormatSettings::French();
  TFormatSettings ymd = en;
  ymd.ShortDateFormat = u"yyyy-MM-dd";
  ymd.DateSeparator = u'-';
  const Word year = CurrentYear();
  const struct {
    const char* text;
    const TFormatSettings* fs;
    bool ok;
    TDateTime expected;
  } cases[] = {
      {"3/5/2024", &en, true, EncodeDate(2024, 3, 5)},
      {" 3 / 5 / 2024 ", &en, true, EncodeDate(2024, 3, 5)},
      {"03/05/2024", &en, true, EncodeDate(2024, 3, 5)},
      {"05/03/2024", &fr, true, EncodeDate(2024, 3, 5)},
      {"2024-03-05", &ymd, true, EncodeDate(2024, 3, 5)},
      {"3/5", &en, true, EncodeDate(year, 3, 5)},
      {"5/3", &fr, true, EncodeDate(year, 3, 5)},
      {"3-5", &ymd, true, EncodeDate(year, 3, 5)},
      {"2/29/2024", &en, true, EncodeDate(2024, 2, 29)},
      {"0001/1/1", &ymd, false, 0},
      {"2/30/2024", &en, false, 0},
      {"13/5/2024", &en, false, 0},
      {"3/5/2024x", &en, false, 0},
      {"3.5.2024", &en, false, 0},
      {"abc", &en, false, 0},
      {"", &en, false, 0},
      {"3/", &en, false, 0},
      {"3/5/", &en, false, 0},
      {"3/5/12345", &en, false, 0},
  };
  for (const auto& c : cases) {
    TDateTime v = -7;
    EXPECT_EQ(TryStrToDate(UTF8ToUTF16(c.text), v, *c.fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.expected) << c.text;
    } else {
      EXPECT_EQ(v, -7);
      EXPECT_EQ(StrToDateDef(UTF8ToUTF16(c.text), 1.5, *c.fs), 1.5);
      EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([&] { StrToDate(UTF8ToUTF16(c.text), *c.fs); }),
                std::string("'") + c.text + "' is not a valid date");
    }
  }
}

TEST(DateUtils, TwoDigitYears) {
  TFormatSettings fs = TFormatSettings::English();
  const int year = CurrentYear();
  for (Word window : {0, 50, 80}) {
    fs.TwoDigitYearCenturyWindow = window;
    for (int yy : {0, 5, 30, 49, 50, 75, 99}) {
      // The century window, spelled out: the first year ending in those two
      // digits that is not before (this year - window); a window of 0 keeps
      // the century of (this year - 0).
      const int base = year - window;
      int expected = base / 100 * 100 + yy;
      if (window > 0 && expected < base) expected += 100;
      const TDateTime v = StrToDate(UTF8ToUTF16("1/2/" + std::to_string(yy)), fs);
      EXPECT_EQ(YearOf(v), expected) << "window " << window << " yy " << yy;
    }
  }
  // Three or more digits are taken as written.
  EXPECT_EQ(YearOf(StrToDate(u"1/2/099", fs)), 99);
  EXPECT_EQ(YearOf(StrToDate(u"1/2/0030", fs)), 30);
}

TEST(DateUtils, TextToTimeAndDateTime) {
  const TFormatSettings en = TFormatSettings::English();
  const TFormatSettings fr = TFormatSettings::French();
  const struct {
    const char* text;
    const TFormatSettings* fs;
    bool ok;
    TDateTime expected;
  } times[] = {
      {"2:07 PM", &en, true, EncodeTime(14, 7, 0, 0)},
      {"2:07pm", &en, true, EncodeTime(14, 7, 0, 0)},
      {"PM 2:07", &en, true, EncodeTime(14, 7, 0, 0)},
      {"12:00 AM", &en, true, 0},
      {"12:30 PM", &en, true, EncodeTime(12, 30, 0, 0)},
      {"14:07:09", &en, true, EncodeTime(14, 7, 9, 0)},
      {"14:07:09.5", &en, true, EncodeTime(14, 7, 9, 5)},  // milliseconds read as the digits written
      {"14", &en, true, EncodeTime(14, 0, 0, 0)},
      {"14:07", &fr, true, EncodeTime(14, 7, 0, 0)},
      {"14:07:09,250", &fr, true, EncodeTime(14, 7, 9, 250)},
      {"13:00 PM", &en, false, 0},
      {"0:00 AM", &en, false, 0},
      {"25:00", &en, false, 0},
      {"10:60", &en, false, 0},
      {"10:", &en, false, 0},
      {"10:00 x", &en, false, 0},
      {"", &en, false, 0},
  };
  for (const auto& c : times) {
    TDateTime v = -7;
    EXPECT_EQ(TryStrToTime(UTF8ToUTF16(c.text), v, *c.fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.expected) << c.text;
    } else {
      EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([&] { StrToTime(UTF8ToUTF16(c.text), *c.fs); }),
                std::string("'") + c.text + "' is not a valid time");
    }
  }
  const struct {
    const char* text;
    const TFormatSettings* fs;
    bool ok;
    TDateTime expected;
  } dateTimes[] = {
      {"3/5/2024 2:07:09 PM", &en, true, EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)},
      {"3/5/2024", &en, true, EncodeDate(2024, 3, 5)},
      {"05/03/2024 14:07:09", &fr, true, EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)},
      {"14:07", &fr, true, EncodeTime(14, 7, 0, 0)},
      {"12/29/1899 6:00 AM", &en, true, -1.25},
      {"3/5/2024 25:00", &en, false, 0},
      {"3/5/2024 x", &en, false, 0},
      {"x", &en, false, 0},
  };
  for (const auto& c : dateTimes) {
    TDateTime v = -7;
    EXPECT_EQ(TryStrToDateTime(UTF8ToUTF16(c.text), v, *c.fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.expected) << c.text;
    } else {
      EXPECT_EQ(StrToDateTimeDef(UTF8ToUTF16(c.text), 2.5, *c.fs), 2.5);
      EXPECT_EQ(testsupport::MessageTextOf<EConvertError>([&] { StrToDateTime(UTF8ToUTF16(c.text), *c.fs); }),
                std::string("'") + c.text + "' is not a valid date and time");
    }
  }
}

TEST(DateUtils, TextRoundTrip) {
  for (const TFormatSettings& fs :
       {TFormatSettings::English(), TFormatSettings::French(), TFormatSettings::Invariant()}) {
    for (const TDateTime dt : {EncodeDateTime(2024, 3, 5, 14, 7, 9, 0), EncodeDateTime(1999, 12, 31, 0, 0, 1, 0),
                               EncodeDateTime(2000, 1, 1, 12, 0, 0, 0), EncodeDate(2030, 7, 4)}) {
      const String text = DateTimeToStr(dt, fs);
      EXPECT_EQ(StrToDateTime(text, fs), dt) << UTF16ToUTF8(text);
    }
  }
  {
    TFormatSettingsScope scope(TFormatSettings::French());
    EXPECT_EQ(StrToDateTime(u"05/03/2024 14:07"), EncodeDateTime(2024, 3, 5, 14, 7, 0, 0));
    EXPECT_EQ(StrToDate(u"05/03/2024"), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToTime(u"14:07"), EncodeTime(14, 7, 0, 0));
  }
}

}  // namespace
