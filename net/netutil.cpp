#include "net/netutil.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>

#include "rtl/Encoding.h"
#include "rtl/FormatSettings.h"
#include "rtl/Streams.h"
#include "rtl/Unicode.h"

bool IsValidUTF8(std::string_view Bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(Bytes.data());
  const std::size_t n = Bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t more;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      if (c == 0xE0)
        lo = 0xA0;  // overlong
      else if (c == 0xED)
        hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      if (c == 0xF0)
        lo = 0x90;  // overlong
      else if (c == 0xF4)
        hi = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (n - i <= more) return false;
    if (p[i + 1] < lo || p[i + 1] > hi) return false;
    for (std::size_t k = 2; k <= more; ++k) {
      if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
    }
    i += more + 1;
  }
  return true;
}

void DecodeWireText(std::string_view Bytes, String& Text) {
  // ASCII, by far the most common, is widened as it is checked, four
  // bytes at a time (each into the low byte of a character; every target
  // of the program is little-endian).
  const std::size_t N = Bytes.size();
  Text.resize(N);
  const char* From = Bytes.data();
  Char* To = Text.data();
  std::uint32_t High = 0;
  std::size_t i = 0;
  for (; i + 4 <= N; i += 4) {
    std::uint32_t Four;
    std::memcpy(&Four, From + i, 4);
    High |= Four;
    const std::uint64_t Wide = (Four & 0xFFu) | (std::uint64_t(Four & 0xFF00u) << 8) |
                               (std::uint64_t(Four & 0xFF0000u) << 16) | (std::uint64_t(Four & 0xFF000000u) << 24);
    std::memcpy(To + i, &Wide, 8);
  }
  for (; i < N; ++i) {
    const auto Byte = static_cast<unsigned char>(From[i]);
    High |= Byte;
    To[i] = Byte;
  }
  if ((High & 0x80808080u) == 0) return;
  if (IsValidUTF8(Bytes)) {
    Text = UTF8ToUTF16(Bytes);
  } else {
    Text = TEncoding::ANSI()->GetString(Bytes.data(), Bytes.size());
  }
}

String DecodeWireText(std::string_view Bytes) {
  String Text;
  DecodeWireText(Bytes, Text);
  return Text;
}

String TrimLeadingBlanks(const String& Value) {
  const auto p = Value.find_first_not_of(u' ');
  return p == String::npos ? String() : Value.substr(p);
}

String TrimTrailingBlanks(const String& Value) {
  const auto p = Value.find_last_not_of(u' ');
  return p == String::npos ? String() : Value.substr(0, p + 1);
}

String TrimBlanks(const String& Value) { return TrimTrailingBlanks(TrimLeadingBlanks(Value)); }

AnsiString TrimBlanks(const AnsiString& Value) {
  const auto b = Value.find_first_not_of(' ');
  if (b == AnsiString::npos) return AnsiString();
  const auto e = Value.find_last_not_of(' ');
  return Value.substr(b, e - b + 1);
}

String TextBeforeDelimiter(const String& Value, const String& Delimiter) {
  const auto p = Delimiter.empty() ? String::npos : Value.find(Delimiter);
  return p == String::npos ? Value : Value.substr(0, p);
}

String TextAfterDelimiter(const String& Value, const String& Delimiter) {
  const auto p = Delimiter.empty() ? String::npos : Value.find(Delimiter);
  return p == String::npos ? Value : Value.substr(p + Delimiter.size());
}

String SplitOffFieldRaw(String& Value, const String& Delimiter) {
  const auto p = Delimiter.empty() ? String::npos : Value.find(Delimiter);
  String result;
  if (p == String::npos) {
    result = std::move(Value);
    Value.clear();
  } else {
    result = Value.substr(0, p);
    Value.erase(0, p + Delimiter.size());
  }
  return result;
}

String SplitOffField(String& Value, const String& Delimiter) {
  String result = TrimBlanks(SplitOffFieldRaw(Value, Delimiter));
  Value = TrimBlanks(Value);
  return result;
}

Integer LastPositionBefore(const String& Sub, const String& Value, Integer From) {
  if (Sub.empty() || From < static_cast<Integer>(Sub.size())) return 0;
  if (From > static_cast<Integer>(Value.size())) From = static_cast<Integer>(Value.size());
  if (From < static_cast<Integer>(Sub.size())) return 0;
  const auto p = Value.rfind(Sub, static_cast<std::size_t>(From) - Sub.size());
  return p == String::npos ? 0 : static_cast<Integer>(p) + 1;
}

Integer LastPosition(const String& Sub, const String& Value) {
  return LastPositionBefore(Sub, Value, static_cast<Integer>(Value.size()));
}

AnsiString ReplaceSubstring(const AnsiString& Value, const AnsiString& Search, const AnsiString& Replace) {
  if (Value.empty()) return AnsiString();
  if (Search.empty()) return Value;
  AnsiString r;
  std::size_t from = 0;
  for (;;) {
    const auto p = Value.find(Search, from);
    if (p == AnsiString::npos) break;
    r.append(Value, from, p - from);
    r += Replace;
    from = p + Search.size();
  }
  r.append(Value, from, AnsiString::npos);
  return r;
}

Integer CountChar(const String& Value, Char Ch) {
  Integer n = 0;
  for (Char c : Value) n += c == Ch;
  return n;
}

Integer CountChar(const AnsiString& Value, char Ch) {
  Integer n = 0;
  for (char c : Value) n += c == Ch;
  return n;
}

Integer FindLineEnd(const AnsiString& Value, AnsiString& Terminator) {
  const auto p = Value.find_first_of("\r\n");
  if (p == AnsiString::npos) {
    Terminator.clear();
    return -1;
  }
  const char c = Value[p];
  const char other = c == '\r' ? '\n' : '\r';
  if (p + 1 < Value.size() && Value[p + 1] == other) {
    Terminator = AnsiString{c, other};
  } else {
    Terminator = AnsiString(1, c);
  }
  return static_cast<Integer>(p) + 1;
}

void WriteTextToStream(TStream* Stream, const AnsiString& Text) {
  if (Stream && !Text.empty()) Stream->Write(Text.data(), static_cast<Integer>(Text.size()));
}

void SleepMs(Integer Ms) {
  if (Ms <= 0) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
  }
}

UInt64 MillisecondTick64() {
  using namespace std::chrono;
  return static_cast<UInt64>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Cardinal MillisecondTick() { return static_cast<Cardinal>(MillisecondTick64()); }

Cardinal ElapsedTicks(Cardinal Old, Cardinal New) {
  if (Old == New) return 0;
  if (Old > New) {
    // Shifting both by 2^31 turns one wrap-around into plain order; what is
    // still backwards afterwards counts as the distance backwards.
    const Cardinal o = Old + 0x80000000u;
    const Cardinal n = New + 0x80000000u;
    return o > n ? o - n : n - o;
  }
  return New - Old;
}

// --- month names

namespace {

const TMonthNameRow kEnglish = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

struct MonthTable {
  MonthTable() {
    // Row 0 and the custom row start as the regional short month names.
    bool complete = true;
    for (const String& n : FormatSettings.ShortMonthNames) complete = complete && !n.empty();
    if (complete) {
      rows[0] = FormatSettings.ShortMonthNames;
      rows[CustomMonthRow] = FormatSettings.ShortMonthNames;
    }
  }
  std::mutex lock;
  TMonthNameRow rows[MonthNameRows] = {
      kEnglish,
      kEnglish,
      {u"jan", u"f\u00E9v", u"mar", u"avr", u"mai", u"jun", u"jul", u"ao\u00FB", u"sep", u"oct", u"nov", u"d\u00E9c"},
      {u"jan", u"fev", u"mar", u"avr", u"mai", u"jun", u"jul", u"aou", u"sep", u"oct", u"nov", u"dec"},
      {u"Jan", u"Feb", u"Mar", u"Apr", u"Mai", u"Jun", u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"},
      {u"Jan", u"Feb", u"M\u00E4r", u"Apr", u"Mai", u"Jun", u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"},
      // Czech names as their Windows-1250 bytes read in Windows-1252.
      {u"Led", u"\u00DAno", u"B\u00F8e", u"Dub", u"Kv\u00EC", u"\u00C8en", u"\u00C8ec", u"Srp", u"Z\u00E1\u00F8",
       u"\u00D8\u00EDj", u"Lis", u"Pro"},
      kEnglish,
  };
};

MonthTable& Months() {
  static MonthTable table;
  return table;
}

Char UpperChar(Char c) {
  if (c >= u'a' && c <= u'z') return static_cast<Char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<Char>(c - 32);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F && (c & 1) && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
    // Latin Extended-A pairs: odd = lower case (with a few exceptions, left alone).
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return static_cast<Char>(c - 1);
  }
  if (c >= 0x139 && c <= 0x148 && !(c & 1)) return static_cast<Char>(c - 1);
  if ((c == 0x17A || c == 0x17C || c == 0x17E)) return static_cast<Char>(c - 1);
  return c;
}

bool SameTextUpper(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  }
  return true;
}

}  // namespace

TMonthNameRow MonthNameRow(int Row) {
  if (Row < 0 || Row >= MonthNameRows) return TMonthNameRow{};
  auto& t = Months();
  std::lock_guard<std::mutex> g(t.lock);
  return t.rows[Row];
}

void SetSystemShortMonthNames(const TMonthNameRow& Names) {
  auto& t = Months();
  std::lock_guard<std::mutex> g(t.lock);
  t.rows[0] = Names;
  t.rows[CustomMonthRow] = Names;
}

void SetCustomMonthNames(const TMonthNameRow& Names) {
  auto& t = Months();
  std::lock_guard<std::mutex> g(t.lock);
  t.rows[CustomMonthRow] = Names;
}

Integer MonthNumberFromName(const String& Name) {
  auto& t = Months();
  std::lock_guard<std::mutex> g(t.lock);
  for (int m = 0; m < 12; ++m) {
    for (int r = 0; r < MonthNameRows; ++r) {
      if (SameTextUpper(t.rows[r][m], Name)) return m + 1;
    }
  }
  return 0;
}

namespace {

void ScanBlanks(const String& s, std::size_t& pos) {
  while (pos < s.size() && s[pos] == u' ') ++pos;
}

bool ScanNumber(const String& s, std::size_t& pos, int& value) {
  ScanBlanks(s, pos);
  std::size_t start = pos;
  long v = 0;
  while (pos < s.size() && s[pos] >= u'0' && s[pos] <= u'9' && pos - start < 4) {
    v = v * 10 + (s[pos] - u'0');
    ++pos;
  }
  if (pos == start) return false;
  value = static_cast<int>(v);
  return true;
}

bool ScanChar(const String& s, std::size_t& pos, Char c) {
  ScanBlanks(s, pos);
  if (pos < s.size() && s[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

bool ScanWord(const String& s, std::size_t& pos, const String& word) {
  ScanBlanks(s, pos);
  if (s.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (UpperChar(s[pos + i]) != UpperChar(word[i])) return false;
  }
  pos += word.size();
  return true;
}

// -1 none, 0 AM, 12 PM: the regional texts, or AM and PM.
int ScanAmPm(const String& s, std::size_t& pos) {
  const String& am = FormatSettings.TimeAMString;
  const String& pm = FormatSettings.TimePMString;
  if ((!am.empty() && ScanWord(s, pos, am)) || ScanWord(s, pos, u"AM")) return 0;
  if ((!pm.empty() && ScanWord(s, pos, pm)) || ScanWord(s, pos, u"PM")) return 12;
  return -1;
}

}  // namespace

TDateTime TimeOfDayFromText(const String& Value) {
  String text = Value;
  const auto lastColon = text.rfind(u':');
  if (lastColon != String::npos && text.size() - lastColon - 1 > 2) text.resize(lastColon + 3);
  const Char sep = FormatSettings.TimeSeparator;
  for (Char& c : text) {
    if (c == u':') c = sep;
  }

  std::size_t pos = 0;
  int baseHour = ScanAmPm(text, pos);
  int hour = 0, minute = 0, second = 0, msec = 0;
  if (!ScanNumber(text, pos, hour)) return -1;
  if (ScanChar(text, pos, sep)) {
    if (!ScanNumber(text, pos, minute)) return -1;
    if (ScanChar(text, pos, sep)) {
      if (!ScanNumber(text, pos, second)) return -1;
      if (ScanChar(text, pos, u'.') && !ScanNumber(text, pos, msec)) return -1;
    }
  }
  if (baseHour < 0) baseHour = ScanAmPm(text, pos);
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return -1;
    if (hour == 12) hour = 0;
    hour += baseHour;
  }
  ScanBlanks(text, pos);
  if (pos != text.size()) return -1;
  if (hour > 23 || minute > 59 || second > 59 || msec > 999) return -1;
  return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / 86400000.0;
}
