#include "net/ftplist.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <typeinfo>

#include "net/netutil.h"
#include "rtl/DateUtils.h"
#include "rtl/Encoding.h"
#include "rtl/ScopeExit.h"
#include "rtl/Unicode.h"

namespace {

// Tried in this order; the first that matches and passes the check wins, so
// an early mask shadows a later one for the lines both accept.
constexpr const char16_t* kBuiltInMasks[] = {
    u"pppppppppp $!!!S*$TTT$DD$hh mm ss$YYYY$n*",
    u"pppppppppp $!!!S*$DD$TTT$hh mm ss$YYYY$n*",
    u"pppppppppp $!!!S*$TTT$DD$UUUUU$n*",
    u"pppppppppp $!!!S*$DD$TTT$UUUUU$n*",
    u"pppppppppp $!!S*$TTT$DD$UUUUU$n*",
    u"pppppppppp $!S*$TTT$DD$UUUUU$n*",
    u"d            $!S*$TTT$DD$UUUUU$n*",
    u"MM DD YY  hh mmH !S* n*",
    u"MM DD YY  hh mmH $ d!n*",
    u"MM DD YYYY  hh mmH !S* n*",
    u"MM DD YYYY  hh mmH $ d!n*",
    u"DD MM YYYY  hh mmH !S* n*",
    u"DD MM YYYY  hh mmH $ d!n*",
    u"v*$  DD TTT YYYY hh mm",
    u"v*$!DD TTT YYYY hh mm",
    u"n*$                 YYYY MM DD hh mm$S*",
    u"!S*$MM DD YY hh mm ss !n*",
    u"!S*$DD MM YY hh mm ss !n*",
    u"n*!S*$MM DD YY hh mm ss d",
    u"n*!S*$DD MM YY hh mm ss d",
    u"$S*    TTT DD YYYY  hh mm ss $n* $ d",
    u"$S*    TTT DD YYYY  hh mm ss $n*",
    u"d    $S*$TTT DD YYYY  hh mm$n*",
    u"d    $S*$TTT DD$hh mm$n*",
    u"nnnnnnnn.nnn  dSSSSSSSSSSS MM DD YY  hh mmH",
    u"-   SSSSS            YY MM DD hh mm ss  n*",
    u"- d=  SSSSS  YY MM DD hh mm ss  n*",
    u"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn               SSSSSSSSS MM DD YYYY hh mm",
    u"n*\\x                                               SSSSSSSSS MM DD YYYY hh mm",
    u"-     SSSSSSSSSSSS           d   MM DD YYYY   hh mm  n*",
    u"-         YY MM DD hhmm d                        SSSSSSSSS n*",
    u"nnnnnnnn                   SSSSSSS DD TTT YY hh mm ss",
    u"-             YYYY MM DD                     SSSSS   d=O n*",
    u"             $S* MM DD YY hh mm ss  !n*",
    u"d            $S* MM DD YY           !n*",
    u"                                         TTT DD  YYYY n*",
    u"  d                                                   n*",
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool SameTextAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

template <class C>
std::basic_string_view<C> TrimBlanksView(std::basic_string_view<C> s) {
  while (!s.empty() && s.front() == C(' ')) s.remove_prefix(1);
  while (!s.empty() && s.back() == C(' ')) s.remove_suffix(1);
  return s;
}

std::string_view TrimTrailingBlanksView(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

void TrimTrailingBlanks(AnsiString& s) { s.resize(TrimTrailingBlanksView(s).size()); }

void TrimBlanksInPlace(AnsiString& s) {
  const std::string_view t = TrimBlanksView(std::string_view(s));
  if (t.size() != s.size()) s.assign(t);
}

// Decimal number as the listing fields are read: leading blanks, an optional
// sign, digits and nothing else; it must fit in 64 bits.
template <class C>
bool ParseDecimal(std::basic_string_view<C> s, Int64& value) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n && s[i] == C(' ')) ++i;
  bool negative = false;
  if (i < n && (s[i] == C('+') || s[i] == C('-'))) negative = s[i++] == C('-');
  if (i == n) return false;
  UInt64 v = 0;
  if (n - i <= 18) {  // cannot overflow
    for (; i < n; ++i) {
      const auto d = static_cast<UInt64>(s[i]) - static_cast<UInt64>('0');
      if (d > 9) return false;
      v = v * 10 + d;
    }
  } else {
    const UInt64 limit = negative ? UInt64(1) << 63 : (UInt64(1) << 63) - 1;
    for (; i < n; ++i) {
      const auto d = static_cast<UInt64>(s[i]) - static_cast<UInt64>('0');
      if (d > 9 || v > (limit - d) / 10) return false;
      v = v * 10 + d;
    }
  }
  value = negative ? static_cast<Int64>(0 - v) : static_cast<Int64>(v);
  return true;
}

template <class C>
Int64 Int64Or(std::basic_string_view<C> s, Int64 fallback) {
  Int64 v;
  return ParseDecimal(s, v) ? v : fallback;
}

// A 32-bit number; text that is no number or does not fit gives fallback.
template <class C>
Int64 IntOr(std::basic_string_view<C> s, Int64 fallback) {
  Int64 v;
  return ParseDecimal(s, v) && v >= INT32_MIN && v <= INT32_MAX ? v : fallback;
}

bool InRange(std::string_view s, Int64 lo, Int64 hi) {
  Int64 v;
  return ParseDecimal(s, v) && v >= lo && v <= hi;
}

// An empty field passes; otherwise it is trimmed in place and must be a
// number from lo to hi.
bool CheckNumberField(AnsiString& field, Int64 lo, Int64 hi) {
  if (field.empty()) return true;
  TrimBlanksInPlace(field);
  return InRange(field, lo, hi);
}

constexpr std::array<bool, 256> MakePermissionChars() {
  std::array<bool, 256> chars{};
  for (unsigned char c : std::string_view("-abcdhlprstwxy")) chars[c] = true;
  return chars;
}
constexpr std::array<bool, 256> kPermissionChars = MakePermissionChars();

bool IsPermissionChar(char c) { return kPermissionChars[static_cast<unsigned char>(c)]; }

// The name of a symbolic link entry "name -> target".
std::string_view BeforeLinkTarget(std::string_view name) {
  for (std::size_t i = 1; i + 2 < name.size(); ++i) {
    if (name[i] == '-' && name[i + 1] == '>' && name[i - 1] == ' ' && name[i + 2] == ' ') return name.substr(0, i - 1);
  }
  return name;
}

bool IsDotName(const String& name) { return name == u"." || name == u".."; }

// ASCII is the same in every ANSI code page, so the common all-ASCII text
// skips the code page conversion.
String FromAnsi(std::string_view s) {
  unsigned char high = 0;
  for (const char c : s) high |= static_cast<unsigned char>(c);
  if (high < 0x80) return String(s.begin(), s.end());
  return TEncoding::ANSI()->GetString(s.data(), s.size());
}

// The same into out, reusing its memory.
void AssignFromAnsi(std::string_view s, String& out) {
  unsigned char high = 0;
  for (const char c : s) high |= static_cast<unsigned char>(c);
  if (high < 0x80) {
    out.assign(s.begin(), s.end());
  } else {
    out = TEncoding::ANSI()->GetString(s.data(), s.size());
  }
}

void ToAnsi(std::u16string_view s, AnsiString& out) {
  const std::size_t n = s.size();
  out.resize(n);
  char* dst = out.data();
  const Char* src = s.data();
  // Four characters at a time: their low bytes are kept and their high
  // bits gathered (little-endian, as every target of the program is).
  UInt64 high = 0;
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    UInt64 four;
    std::memcpy(&four, src + i, 8);
    high |= four;
    const auto bytes = static_cast<std::uint32_t>((four & 0xFF) | ((four >> 8) & 0xFF00) | ((four >> 16) & 0xFF0000) |
                                                  ((four >> 24) & 0xFF000000));
    std::memcpy(dst + i, &bytes, 4);
  }
  for (; i < n; ++i) {
    high |= src[i];
    dst[i] = static_cast<char>(src[i]);
  }
  if ((high & 0xFF80FF80FF80FF80) == 0) return;
  const TBytes bytes = TEncoding::ANSI()->GetBytes(s);
  out.assign(bytes.begin(), bytes.end());
}

// A name with a wildcard is taken for a misread line, not for a name.
bool HasWildcard(std::string_view name) {
  for (const char c : name) {
    if (c == '?' || c == '*') return true;
  }
  return false;
}

bool AllDigits(std::string_view s) {
  for (const char c : s) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

// TimeOfDayFromText for the usual "h:mm" / "hh:mm" with optional blanks
// around it, without building a String; other texts go to the full reader.
bool IsTimeOfDay(std::string_view text) {
  const std::string_view t = TrimBlanksView(text);
  const std::size_t colon = t.find(':');
  if ((colon == 1 || colon == 2) && t.size() == colon + 3 && AllDigits(t.substr(0, colon)) &&
      AllDigits(t.substr(colon + 1))) {
    const int hour = colon == 1 ? t[0] - '0' : (t[0] - '0') * 10 + (t[1] - '0');
    const int minute = (t[colon + 1] - '0') * 10 + (t[colon + 2] - '0');
    return hour < 24 && minute < 60;
  }
  return TimeOfDayFromText(FromAnsi(text)) >= 0;
}

// Out-of-range parts (a negative hour, a year past 9999) name no real moment.
bool EncodeMoment(Int64 year, Int64 month, Int64 day, Int64 hour, Int64 minute, Int64 second, TDateTime& value) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
      minute < 0 || minute > 59 || second < 0 || second > 59)
    return false;
  TDateTime date, time;
  if (!TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day), date) ||
      !TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(minute), static_cast<Word>(second), 0, time))
    return false;
  value = date + time;
  return true;
}

bool HasHighByte(std::string_view text) {
  unsigned char high = 0;
  for (const char c : text) high |= static_cast<unsigned char>(c);
  return high >= 0x80;
}

// A line with bytes above ASCII that form valid UTF-8.
bool LineIsUtf8(std::string_view line) { return HasHighByte(line) && IsValidUTF8(line); }

// A Unix permission text ("drwxr-xr-x", maybe followed by an ACL or
// extended-attribute mark) at the start of the line: such a line is a Unix
// line, and a mask that does not read the permissions misreads it.
bool StartsWithPermissionText(std::string_view line) {
  if (line.size() < 11) return false;
  for (std::size_t i = 0; i < 10; ++i) {
    if (!IsPermissionChar(line[i])) return false;
  }
  const char after = line[10];
  return after == ' ' || after == '+' || after == '.' || after == '@';
}

// Lines that carry no entry by nature: blank lines, the block count of a
// Unix listing, and the header and totals of a VMS listing.
bool IsListingNoise(std::string_view line) {
  const std::string_view t = TrimBlanksView(line);
  if (t.empty() || t.find_first_not_of(" \t") == std::string_view::npos) return true;
  if (t.substr(0, 6) == "total " && AllDigits(TrimBlanksView(t.substr(6)))) return true;
  if (t.substr(0, 10) == "Directory " && t.find_first_of("[:") != std::string_view::npos) return true;
  return t.substr(0, 9) == "Total of " || t.substr(0, 15) == "Grand total of ";
}

// --- VMS listings: "NAME.EXT;3  5/8  14-JAN-2021 10:30:00 [GRP,OWNER] (RWED,RWED,RE,)",
// sizes in blocks of 512 bytes (used/allocated), a day of one or two digits,
// and a long name alone on its line with the rest on the next one.

constexpr Int64 VMSBlockSize = 512;

std::string_view NextWord(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') ++pos;
  return line.substr(start, pos - start);
}

// "NAME.TYPE;VERSION": something before ";", digits after it.
bool IsVMSName(std::string_view word) {
  const std::size_t semi = word.rfind(';');
  return semi != std::string_view::npos && semi > 0 && semi + 1 < word.size() && AllDigits(word.substr(semi + 1)) &&
         word.find_first_of("/\\") == std::string_view::npos;
}

// "14-JAN-2021" (the day may have one digit, the year two).
bool ParseVMSDate(std::string_view word, Int64& year, Int64& month, Int64& day) {
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const std::size_t d1 = word.find('-');
  if (d1 == std::string_view::npos || d1 == 0 || d1 > 2 || word.size() < d1 + 5 || word[d1 + 4] != '-') return false;
  const std::string_view y = word.substr(d1 + 5);
  if (!AllDigits(word.substr(0, d1)) || (y.size() != 2 && y.size() != 4) || !AllDigits(y)) return false;
  month = 0;
  for (int m = 0; m < 12; ++m) {
    if (SameTextAscii(word.substr(d1 + 1, 3), kMonths[m])) month = m + 1;
  }
  if (month == 0) return false;
  day = IntOr(word.substr(0, d1), 0);
  year = IntOr(y, 0);
  if (y.size() == 2) year += year <= 50 ? 2000 : 1900;
  return true;
}

// "10:30", "10:30:45" or "10:30:45.12".
bool ParseVMSTime(std::string_view word, Int64& hour, Int64& minute, Int64& second) {
  const std::size_t c1 = word.find(':');
  if (c1 == std::string_view::npos || c1 == 0 || c1 > 2 || word.size() < c1 + 3) return false;
  if (!AllDigits(word.substr(0, c1)) || !AllDigits(word.substr(c1 + 1, 2))) return false;
  hour = IntOr(word.substr(0, c1), -1);
  minute = IntOr(word.substr(c1 + 1, 2), -1);
  second = 0;
  std::string_view rest = word.substr(c1 + 3);
  if (rest.empty()) return true;
  if (rest.size() < 3 || rest[0] != ':' || !AllDigits(rest.substr(1, 2))) return false;
  second = IntOr(rest.substr(1, 2), -1);
  rest = rest.substr(3);
  return rest.empty() || (rest[0] == '.' && AllDigits(rest.substr(1)));
}

}  // namespace

namespace ftplist_detail {

// A mask compiled into steps. Runs of one capture letter, and runs of
// characters that only consume, become one step; what "*" and "=" do depends
// on the mask character before them, which is fixed by the mask text.
enum class StepKind : unsigned char {
  Capture,     // Count line characters into Field
  Skip,        // Count line characters
  StarWord,    // the characters up to the next blank into Field
  StarRest,    // the rest of the line into Field
  StarDigits,  // a run of digits, into Field when it is set
  SkipWord,    // "!"
  SkipBlanks,  // "$"
  Dot,         // "."
  Blank,       // "x"
  NextLine,    // "\"
  SetValue,    // "=" with a value from the mask: Value into Field
};

// Checks of the plausibility test that can run as soon as a field is
// complete; failing one means the test rejects the match.
enum class FieldCheck : unsigned char { None, Day, Month, Hours, HoursModif, Minutes, Seconds, Size, Permissions };

struct MaskStep {
  StepKind Kind;
  std::size_t Count = 1;
  AnsiString TFTPList::*Field = nullptr;
  AnsiString Value;
  // Set on the last step that writes the field.
  FieldCheck Check = FieldCheck::None;
  // A Skip whose line characters must be blank (see MarkBlankGaps).
  bool MustBeBlank = false;
  // The bit of the scratch field the step changes (see kScratchFields), 0
  // for none.
  std::uint32_t FieldBit = 0;
};

}  // namespace ftplist_detail

namespace {

using namespace ftplist_detail;
using CompiledMask = std::vector<MaskStep>;

// The scratch fields a mask fills, each known by its index here.
constexpr AnsiString TFTPList::*kScratchFields[] = {
    &TFTPList::Monthnames,  &TFTPList::BlockSize,  &TFTPList::DirFlagValue, &TFTPList::FileName, &TFTPList::VMSFileName,
    &TFTPList::Day,         &TFTPList::Month,      &TFTPList::ThreeMonth,   &TFTPList::YearTime, &TFTPList::Year,
    &TFTPList::Hours,       &TFTPList::HoursModif, &TFTPList::Minutes,      &TFTPList::Seconds,  &TFTPList::Size,
    &TFTPList::Permissions, &TFTPList::DirFlag};
constexpr std::size_t kScratchFieldCount = std::size(kScratchFields);

std::uint32_t FieldBit(AnsiString TFTPList::*field) {
  for (std::size_t f = 0; f < kScratchFieldCount; ++f) {
    if (kScratchFields[f] == field) return std::uint32_t(1) << f;
  }
  return 0;
}

AnsiString TFTPList::*CaptureField(char maskChar) {
  switch (maskChar) {
    case 'p':
      return &TFTPList::Permissions;
    case 'd':
      return &TFTPList::DirFlag;
    case 'n':
      return &TFTPList::FileName;
    case 'v':
      return &TFTPList::VMSFileName;
    case 'S':
      return &TFTPList::Size;
    case 'D':
      return &TFTPList::Day;
    case 'M':
      return &TFTPList::Month;
    case 'Y':
      return &TFTPList::Year;
    case 'T':
      return &TFTPList::ThreeMonth;
    case 'U':
      return &TFTPList::YearTime;
    case 'h':
      return &TFTPList::Hours;
    case 'm':
      return &TFTPList::Minutes;
    case 's':
      return &TFTPList::Seconds;
    case 'H':
      return &TFTPList::HoursModif;
    default:
      return nullptr;
  }
}

bool IsSpecialMaskChar(char c) {
  switch (c) {
    case '*':
    case '!':
    case '$':
    case '.':
    case 'x':
    case '\\':
    case '=':
      return true;
    default:
      return false;
  }
}

void CompileMask(std::string_view mask, CompiledMask& steps) {
  steps.clear();
  char last = ' ';
  std::size_t im = 0;
  while (im < mask.size()) {
    const char mc = mask[im];
    if (AnsiString TFTPList::*field = CaptureField(mc)) {
      std::size_t run = 1;
      while (im + run < mask.size() && mask[im + run] == mc) ++run;
      steps.push_back({StepKind::Capture, run, field, {}});
      im += run;
      last = mc;
      continue;
    }
    if (!IsSpecialMaskChar(mc)) {
      std::size_t run = 1;
      while (im + run < mask.size() && !CaptureField(mask[im + run]) && !IsSpecialMaskChar(mask[im + run])) ++run;
      steps.push_back({StepKind::Skip, run, nullptr, {}});
      im += run;
      last = mask[im - 1];
      continue;
    }
    switch (mc) {
      case '*':
        if (last == 'n' || last == 'v') {
          steps.push_back({im + 1 == mask.size() ? StepKind::StarRest : StepKind::StarWord, 0, CaptureField(last), {}});
        } else {
          steps.push_back({StepKind::StarDigits, 0, last == 'S' ? &TFTPList::Size : nullptr, {}});
        }
        break;
      case '!':
        steps.push_back({StepKind::SkipWord, 0, nullptr, {}});
        break;
      case '$':
        steps.push_back({StepKind::SkipBlanks, 0, nullptr, {}});
        break;
      case '.':
        steps.push_back({StepKind::Dot, 1, nullptr, {}});
        break;
      case 'x':
        steps.push_back({StepKind::Blank, 1, nullptr, {}});
        break;
      case '\\':
        steps.push_back({StepKind::NextLine, 0, nullptr, {}});
        break;
      case '=':
        if (last == 'd' && im + 1 < mask.size()) {
          steps.push_back({StepKind::SetValue, 1, &TFTPList::DirFlagValue, AnsiString(1, mask[++im])});
        } else if (last == 'S') {
          std::size_t end = im + 1;
          while (end < mask.size() && IsDigit(mask[end])) ++end;
          steps.push_back({StepKind::SetValue, 1, &TFTPList::BlockSize, AnsiString(mask.substr(im + 1, end - im - 1))});
          im = end - 1;
        } else if (last == 'T') {
          AnsiString names(mask.substr(im + 1, 36));
          im += names.size();
          steps.push_back({StepKind::SetValue, 1, &TFTPList::Monthnames, std::move(names)});
        } else {
          steps.push_back({StepKind::Skip, 1, nullptr, {}});
        }
        break;
    }
    ++im;
    last = mc;
  }
}

FieldCheck CheckFor(AnsiString TFTPList::*field) {
  if (field == &TFTPList::Day) return FieldCheck::Day;
  if (field == &TFTPList::Month) return FieldCheck::Month;
  if (field == &TFTPList::Hours) return FieldCheck::Hours;
  if (field == &TFTPList::HoursModif) return FieldCheck::HoursModif;
  if (field == &TFTPList::Minutes) return FieldCheck::Minutes;
  if (field == &TFTPList::Seconds) return FieldCheck::Seconds;
  if (field == &TFTPList::Size) return FieldCheck::Size;
  if (field == &TFTPList::Permissions) return FieldCheck::Permissions;
  return FieldCheck::None;
}

// A mask that reads nothing it could check (no size, date, time or
// permissions) would take any long line of a layout no other mask
// describes and cut a name from its middle. For such a mask, the columns it
// passes over after its first field must be blank: then the line is laid
// out as the mask says.
void MarkBlankGaps(CompiledMask& steps) {
  for (const MaskStep& step : steps) {
    const auto field = step.Field;
    if (field && field != &TFTPList::FileName && field != &TFTPList::VMSFileName && field != &TFTPList::DirFlag &&
        field != &TFTPList::DirFlagValue)
      return;
  }
  bool captured = false;
  for (MaskStep& step : steps) {
    if (step.Kind == StepKind::Skip && captured) step.MustBeBlank = true;
    if (step.Field) captured = true;
  }
}

void AddFieldChecks(CompiledMask& steps) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    MaskStep& step = steps[i];
    if (!step.Field || step.Kind == StepKind::SetValue) continue;
    const bool writtenLater = std::any_of(steps.begin() + i + 1, steps.end(), [&](const MaskStep& later) {
      return later.Field == step.Field || (later.Kind == StepKind::Dot && step.Field == &TFTPList::FileName);
    });
    if (!writtenLater) step.Check = CheckFor(step.Field);
  }
}

bool NumberFieldPasses(std::string_view field, Int64 lo, Int64 hi) {
  return field.empty() || InRange(TrimBlanksView(field), lo, hi);
}

bool FieldPasses(FieldCheck check, std::string_view field) {
  switch (check) {
    case FieldCheck::None:
      return true;
    case FieldCheck::Day:
      return NumberFieldPasses(field, 1, 31);
    case FieldCheck::Month:
      return NumberFieldPasses(field, 1, 12);
    case FieldCheck::Hours:
      return NumberFieldPasses(field, 0, 24);
    case FieldCheck::Minutes:
    case FieldCheck::Seconds:
      return NumberFieldPasses(field, 0, 59);
    case FieldCheck::HoursModif:
      return field.empty() || field[0] == 'A' || field[0] == 'a' || field[0] == 'P' || field[0] == 'p';
    case FieldCheck::Size:
      return AllDigits(TrimBlanksView(field));
    case FieldCheck::Permissions:
      return field.empty() || (field.size() == 10 && std::all_of(field.begin(), field.end(), IsPermissionChar));
  }
  return true;
}

bool IsStar(StepKind kind) {
  return kind == StepKind::StarWord || kind == StepKind::StarRest || kind == StepKind::StarDigits;
}

bool SameStep(const MaskStep& a, const MaskStep& b) {
  return a.Kind == b.Kind && a.Count == b.Count && a.Field == b.Field && a.Value == b.Value && a.Check == b.Check &&
         a.MustBeBlank == b.MustBeBlank;
}

// A mask whose steps only ever add to the end of the fields: the fields
// after any of its steps are the beginnings of the fields after the last.
bool AppendsOnly(const CompiledMask& steps) {
  return std::none_of(steps.begin(), steps.end(), [](const MaskStep& step) {
    return step.Kind == StepKind::Dot || step.Kind == StepKind::SetValue;
  });
}

constexpr std::size_t kNoStep = static_cast<std::size_t>(-1);

}  // namespace

struct TFTPList::TParseState {
  std::vector<AnsiString> AnsiMasks;
  std::vector<CompiledMask> Compiled;
  // The mask ParseLines is trying, an index into AnsiMasks and Compiled.
  std::size_t Current = 0;
  CompiledMask Scratch;
  bool Parsing = false;
  TDateTime Now = 0;
  Word ThisYear = 0, ThisMonth = 0, Today = 0;
  // Set by RunMask: whether the name began where a name can begin.
  bool NameStartOk = true;
  // The line whose UTF-8 validity is known, and the answer.
  std::string_view Utf8Line;
  bool Utf8 = false;
  bool NameStarted = false;
  // Month numbers of the ThreeMonth texts seen in this parse, keyed by
  // their (at most four) bytes and length.
  std::vector<std::pair<UInt64, Integer>> MonthCache;

  // Many masks begin as the mask before them does (the Unix ones all read
  // "pppppppppp $!!" first). Shared[m] counts the first steps of mask m that
  // are those of mask m-1; on one line they end the same way. So a mask
  // need not run when the mask before it ended without a match within
  // those steps, and otherwise starts where that mask's run stood after
  // them, as RunMask recorded it in Snap (at step SnapAt).
  std::vector<std::size_t> Shared;
  std::vector<bool> AppendOnly;  // per mask, see AppendsOnly
  std::size_t SnapAt = kNoStep;
  // The scratch fields the last run changed (after ClearMatchFields).
  std::uint32_t Dirty = 0;
  struct {
    bool Taken = false;
    std::uint32_t Dirty = 0;
    std::size_t Iv = 0;
    std::string_view Line;
    Integer Result = 1;
    bool NameStarted = false;
    bool NameStartOk = true;
    std::array<std::size_t, kScratchFieldCount> Lengths{};
  } Snap;
  // The step at which the last run ended without a match; kNoStep when it
  // matched.
  std::size_t EndedAt = kNoStep;
};

TFTPList::TFTPList() : Clock([] { return Now(); }), FState(std::make_unique<TParseState>()) {
  Masks.assign(std::begin(kBuiltInMasks), std::end(kBuiltInMasks));
}

TFTPList::~TFTPList() = default;

TFTPListRec* TFTPList::GetListItem(Integer Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return List[static_cast<std::size_t>(Index)].get();
}

Integer TFTPList::Count() const { return static_cast<Integer>(List.size()); }

void TFTPList::Clear() {
  for (std::unique_ptr<TFTPListRec>& rec : List) KeepSpare(std::move(rec));
  List.clear();
  KeepSpareLines();
  RawLines.clear();
  FRawListing.clear();
  UnparsedLines.clear();
}

void TFTPList::KeepSpare(std::unique_ptr<TFTPListRec> Rec) {
  // A descendant's entry put into List by its owner is not ours to reuse.
  if (!Rec || FSpareRecs.size() >= MaxSpare) return;
  const TFTPListRec& Entry = *Rec;
  if (typeid(Entry) != typeid(TFTPListRec)) return;
  FSpareRecs.push_back(std::move(Rec));
}

std::unique_ptr<TFTPListRec> TFTPList::NewRec() {
  if (FSpareRecs.empty()) return std::make_unique<TFTPListRec>();
  std::unique_ptr<TFTPListRec> rec = std::move(FSpareRecs.back());
  FSpareRecs.pop_back();
  // As a new entry, with the memory of its texts kept.
  rec->FileName.clear();
  rec->Directory = false;
  rec->Readable = false;
  rec->FileSize = 0;
  rec->FileTime = 0;
  rec->OriginalLine.clear();
  rec->Mask.clear();
  rec->Permission.clear();
  rec->RawFileName.clear();
  rec->LinkTarget.clear();
  return rec;
}

void TFTPList::KeepSpareLines() {
  for (String& line : Lines) {
    if (FSpareLines.size() >= MaxSpare) break;
    FSpareLines.push_back(std::move(line));
  }
  Lines.clear();
}

void TFTPList::RawLinesFromLines() {
  FRawListing.clear();
  std::vector<std::size_t> ends;
  ends.reserve(Lines.size());
  for (const String& line : Lines) {
    FRawListing += UTF16ToUTF8(line);
    ends.push_back(FRawListing.size());
  }
  RawLines.clear();
  RawLines.reserve(Lines.size());
  std::size_t start = 0;
  for (const std::size_t end : ends) {
    RawLines.emplace_back(FRawListing.data() + start, end - start);
    start = end;
  }
}

void TFTPList::Assign(const TFTPList& Value) {
  if (&Value == this) return;
  Clear();
  for (const auto& source : Value.List) {
    auto rec = NewRec();
    rec->Assign(*source);
    List.push_back(std::move(rec));
  }
  Lines = Value.Lines;
  // The same bytes: views at the same places of a copy of the listing.
  const std::string_view source(Value.FRawListing);
  const bool inside = std::all_of(Value.RawLines.begin(), Value.RawLines.end(), [&](std::string_view line) {
    return line.empty() || (line.data() >= source.data() && line.data() + line.size() <= source.data() + source.size());
  });
  if (inside && Value.RawLines.size() == Value.Lines.size()) {
    FRawListing = Value.FRawListing;
    RawLines.clear();
    for (const std::string_view line : Value.RawLines) {
      const std::size_t at = line.empty() ? 0 : static_cast<std::size_t>(line.data() - source.data());
      RawLines.emplace_back(FRawListing.data() + at, line.size());
    }
  } else {
    RawLinesFromLines();
  }
  Masks = Value.Masks;
  UnparsedLines = Value.UnparsedLines;
}

TDateTime TFTPList::CurrentTime() const {
  if (FState->Parsing) return FState->Now;
  return Clock ? Clock() : Now();
}

bool TFTPList::ParseFactsLine(const String& Value) { return ParseFacts(UTF16ToUTF8(Value), Value); }

bool TFTPList::ParseFacts(std::string_view Value, const String& Text) {
  if (Value.empty() || Value[0] != '+') return false;
  std::string_view text = Value.substr(1);
  const auto tab = text.find('\t');
  const std::string_view name = tab == std::string_view::npos ? text : text.substr(tab + 1);
  if (TrimBlanksView(name).empty()) return false;

  bool directory = false;
  bool readable = false;
  Int64 size = 0;
  TDateTime time = 0;
  std::string_view rest = text;
  for (;;) {
    std::string_view fact = rest;
    const auto comma = rest.find(',');
    if (comma == std::string_view::npos) {
      rest = {};
    } else {
      fact = rest.substr(0, comma);
      rest = rest.substr(comma + 1);
    }
    fact = TrimBlanksView(fact);
    if (fact.empty() || fact[0] == '\t') break;
    switch (fact[0]) {
      case '/':
        directory = true;
        break;
      case 'r':
        readable = true;
        break;
      case 's':
        // A size that is not a plain count ("s-80", "s12k") makes no entry:
        // the line is reported as not understood instead of counted as 0.
        if (fact.size() < 2 || fact.substr(1).find_first_not_of("0123456789") != std::string_view::npos) return false;
        size = Int64Or(fact.substr(1), -1);
        if (size < 0) return false;
        break;
      case 'm':
        time = static_cast<double>(IntOr(fact.substr(1), 0)) / SecsPerDay + UnixDateDelta;
        break;
      default:
        break;
    }
  }
  if (directory && (name == "." || name == "..")) return false;

  auto rec = NewRec();
  rec->RawFileName.assign(name);
  DecodeWireText(name, rec->FileName);
  rec->Directory = directory;
  rec->Readable = readable;
  rec->FileSize = size;
  rec->FileTime = time;
  rec->OriginalLine = Text;
  rec->Mask = u"EPLF";
  List.push_back(std::move(rec));
  return true;
}

std::size_t TFTPList::ParseVMS(std::string_view Value, std::string_view NextValue, const String& Text) {
  if (Value.empty() || Value[0] == ' ' || Value[0] == '\t') return 0;
  std::size_t pos = 0;
  const std::string_view name = NextWord(Value, pos);
  if (!IsVMSName(name)) return 0;
  std::string_view line = Value;
  std::size_t used = 1;
  if (NextWord(Value, pos).empty()) {
    // A long name alone on its line: the rest is on the next one, indented.
    if (NextValue.empty() || (NextValue[0] != ' ' && NextValue[0] != '\t')) return 0;
    line = NextValue;
    pos = 0;
    used = 2;
  } else {
    pos = name.size();
  }
  std::string_view word = NextWord(line, pos);
  Int64 blocks = -1;
  // The size: used blocks, or used/allocated; some servers leave it out.
  const std::size_t slash = word.find('/');
  const std::string_view usedBlocks = word.substr(0, slash);
  if (!usedBlocks.empty() && AllDigits(usedBlocks) &&
      (slash == std::string_view::npos || AllDigits(word.substr(slash + 1)))) {
    blocks = Int64Or(usedBlocks, -1);
    word = NextWord(line, pos);
  }
  Int64 year, month, day, hour = 0, minute = 0, second = 0;
  if (!ParseVMSDate(word, year, month, day)) return 0;
  const std::size_t afterDate = pos;
  if (!ParseVMSTime(NextWord(line, pos), hour, minute, second)) pos = afterDate;
  TDateTime time;
  if (year < 1900 || year > 2100 || !EncodeMoment(year, month, day, hour, minute, second, time)) return 0;

  auto rec = NewRec();
  const std::size_t semi = name.rfind(';');
  const std::string_view stem = name.substr(0, semi);
  // A folder is the file NAME.DIR;1; the commands that enter it want NAME.
  rec->Directory = stem.size() > 4 && SameTextAscii(stem.substr(stem.size() - 4), ".DIR");
  const std::string_view shown = rec->Directory ? stem.substr(0, stem.size() - 4) : name;
  rec->RawFileName.assign(shown);
  DecodeWireText(shown, rec->FileName);
  rec->Readable = !rec->Directory;
  rec->FileSize = blocks > 0 && blocks <= INT64_MAX / VMSBlockSize ? blocks * VMSBlockSize : 0;
  rec->FileTime = time;
  rec->OriginalLine = Text;
  rec->Mask = u"VMS";
  List.push_back(std::move(rec));
  return used;
}

void TFTPList::ClearMatchFields() {
  Monthnames.clear();
  BlockSize.clear();
  DirFlagValue.clear();
  FileName.clear();
  VMSFileName.clear();
  Day.clear();
  Month.clear();
  ThreeMonth.clear();
  YearTime.clear();
  Year.clear();
  Hours.clear();
  HoursModif.clear();
  Minutes.clear();
  Seconds.clear();
  Size.clear();
  Permissions.clear();
  DirFlag.clear();
}

Integer TFTPList::MatchLineToMask(std::string_view Value, std::string_view NextValue, std::string_view Mask) {
  TParseState& state = *FState;
  state.SnapAt = kNoStep;
  if (!state.Parsing) state.Utf8Line = {};
  if (state.Parsing && state.Current < state.AnsiMasks.size() && Mask == state.AnsiMasks[state.Current])
    return RunMask(state.Compiled[state.Current], Value, NextValue, false);
  CompileMask(Mask, state.Scratch);
  MarkBlankGaps(state.Scratch);
  return RunMask(state.Scratch, Value, NextValue, false);
}

Integer TFTPList::RunMask(const std::vector<MaskStep>& Steps, std::string_view Value, std::string_view NextValue,
                          bool RejectEarly, std::size_t StartAt) {
  TParseState& state = *FState;
  std::string_view line = Value;
  std::size_t iv = 0;
  Integer result = 1;
  if (StartAt > 0) {
    // The fields hold what the run before added after these steps too.
    const auto& snap = state.Snap;
    for (std::uint32_t bits = state.Dirty; bits != 0; bits &= bits - 1) {
      const int f = std::countr_zero(bits);
      (this->*kScratchFields[f]).resize((snap.Dirty >> f) & 1 ? snap.Lengths[f] : 0);
    }
    state.Dirty = snap.Dirty;
    line = snap.Line;
    iv = snap.Iv;
    result = snap.Result;
    state.NameStarted = snap.NameStarted;
    state.NameStartOk = snap.NameStartOk;
  } else {
    state.NameStartOk = true;
    state.NameStarted = false;
    state.Dirty = 0;
  }
  state.Snap.Taken = false;
  state.EndedAt = 0;
  if (Value.empty() || Steps.empty()) return 0;
  // Where the name's first character is read: it must start a word.
  const auto nameStart = [&](const MaskStep& step) {
    if (state.NameStarted || step.Field != &TFTPList::FileName) return;
    state.NameStarted = true;
    state.NameStartOk = (iv == 0 || line[iv - 1] == ' ' || line[iv - 1] == '\t') && iv < line.size() &&
                        line[iv] != ' ' && line[iv] != '\t';
  };
  for (std::size_t k = StartAt; k < Steps.size(); ++k) {
    const MaskStep& step = Steps[k];
    state.EndedAt = k;
    if (k == state.SnapAt) {
      auto& snap = state.Snap;
      snap.Dirty = state.Dirty;
      for (std::uint32_t bits = state.Dirty; bits != 0; bits &= bits - 1) {
        const int f = std::countr_zero(bits);
        snap.Lengths[f] = (this->*kScratchFields[f]).size();
      }
      snap.Line = line;
      snap.Iv = iv;
      snap.Result = result;
      snap.NameStarted = state.NameStarted;
      snap.NameStartOk = state.NameStartOk;
      snap.Taken = true;
    }
    // A used-up line fails the mask, except at a "*", where the match ends.
    if (iv >= line.size()) {
      if (!IsStar(step.Kind)) return 0;
      state.EndedAt = kNoStep;
      return result;
    }
    state.Dirty |= step.FieldBit;
    switch (step.Kind) {
      case StepKind::Capture: {
        AnsiString& field = this->*step.Field;
        nameStart(step);
        // Whether the line is UTF-8 is asked only of lines whose month
        // name has bytes above ASCII, once per line.
        if (step.Field == &TFTPList::ThreeMonth && HasHighByte(line.substr(iv, step.Count)) && LineUtf8(line)) {
          // A month name is three characters, some of them more than one
          // byte in UTF-8 ("Mär").
          std::size_t end = iv;
          for (std::size_t n = 0; n < step.Count && end < line.size(); ++n) {
            ++end;
            while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) ++end;
          }
          field.append(line.data() + iv, end - iv);
          iv = end;
          break;
        }
        if (step.Count == 1) {
          field.push_back(line[iv++]);
          break;
        }
        const std::size_t take = std::min(step.Count, line.size() - iv);
        field.append(line.data() + iv, take);
        if (take < step.Count) return 0;
        iv += take;
        break;
      }
      case StepKind::Skip:
        if (line.size() - iv < step.Count) return 0;
        if (step.MustBeBlank && line.substr(iv, step.Count).find_first_not_of(' ') != std::string_view::npos) return 0;
        iv += step.Count;
        break;
      case StepKind::StarWord: {
        nameStart(step);
        std::size_t end = line.find(' ', iv);
        if (end == std::string_view::npos) end = line.size();
        (this->*step.Field).append(line.data() + iv, end - iv);
        iv = end;
        break;
      }
      case StepKind::StarRest:
        nameStart(step);
        (this->*step.Field).append(line.data() + iv, line.size() - iv);
        iv = line.size();
        break;
      case StepKind::StarDigits: {
        std::size_t end = iv;
        while (end < line.size() && IsDigit(line[end])) ++end;
        if (step.Field) (this->*step.Field).append(line.data() + iv, end - iv);
        iv = end;
        break;
      }
      case StepKind::SkipWord:
        while (iv < line.size() && line[iv] != ' ') ++iv;
        while (iv < line.size() && line[iv] == ' ') ++iv;
        break;
      case StepKind::SkipBlanks:
        while (iv < line.size() && (line[iv] == ' ' || line[iv] == '\t')) ++iv;
        break;
      case StepKind::Dot:
        if (line[iv] != '.' && line[iv] != ' ') return 0;
        TrimTrailingBlanks(FileName);
        FileName.push_back('.');
        ++iv;
        break;
      case StepKind::Blank:
        if (line[iv] != ' ') return 0;
        ++iv;
        break;
      case StepKind::NextLine:
        line = NextValue;
        iv = 0;
        result = 2;
        break;
      case StepKind::SetValue:
        this->*step.Field = step.Value;
        ++iv;
        break;
    }
    if (RejectEarly && step.Check != FieldCheck::None && !FieldPasses(step.Check, this->*step.Field)) return 0;
  }
  state.EndedAt = kNoStep;
  return result;
}

bool TFTPList::LineUtf8(std::string_view Line) {
  TParseState& state = *FState;
  if (Line.data() != state.Utf8Line.data() || Line.size() != state.Utf8Line.size()) {
    state.Utf8Line = Line;
    state.Utf8 = LineIsUtf8(Line);
  }
  return state.Utf8;
}

std::string_view TFTPList::CapturedName() const {
  if (!VMSFileName.empty()) return VMSFileName;
  return BeforeLinkTarget(FileName);
}

void TFTPList::FillName(TFTPListRec& Value, std::string_view Name, std::size_t Captured) const {
  Value.RawFileName.assign(Name);
  DecodeWireText(Name, Value.FileName);
  Value.LinkTarget.clear();
  // CapturedName cut the name before " -> " when the line shows a link.
  if (!VMSFileName.empty() || Captured + 4 > FileName.size()) return;
  std::string_view target = TrimTrailingBlanksView(std::string_view(FileName).substr(Captured + 4));
  while (!target.empty() && (target.back() == '\r' || target.back() == '\n')) target.remove_suffix(1);
  Value.LinkTarget.assign(target);
}

void TFTPList::ApplyMonthnames() {
  if (Monthnames.size() != 36) return;
  std::array<String, 12> names;
  for (std::size_t i = 0; i < 12; ++i) names[i] = FromAnsi(std::string_view(Monthnames).substr(3 * i, 3));
  SetCustomMonthNames(names);
  FState->MonthCache.clear();
}

Integer TFTPList::ThreeMonthNumber() {
  TParseState& state = *FState;
  if (!state.Parsing || ThreeMonth.size() > 4) return MonthNumberFromName(DecodeWireText(ThreeMonth));
  // Within one parse the month-name rows change only through
  // ApplyMonthnames, which empties the cache.
  UInt64 key = ThreeMonth.size();
  for (const char c : ThreeMonth) key = (key << 8) | static_cast<unsigned char>(c);
  for (const auto& [cached, number] : state.MonthCache) {
    if (cached == key) return number;
  }
  const Integer number = MonthNumberFromName(DecodeWireText(ThreeMonth));
  if (state.MonthCache.size() < 32) state.MonthCache.emplace_back(key, number);
  return number;
}

bool TFTPList::ValidateMatchFields() {
  if (FileName.empty() && VMSFileName.empty()) return false;
  if (!VMSFileName.empty() && VMSFileName.find(';') == AnsiString::npos) return false;
  // Not a real name: blanks only, or with a wildcard.
  const std::string_view name = TrimBlanksView(CapturedName());
  if (name.empty() || HasWildcard(name)) return false;

  if (!Permissions.empty()) {
    if (Permissions.size() != 10 || !std::all_of(Permissions.begin(), Permissions.end(), IsPermissionChar))
      return false;
  }
  if (!CheckNumberField(Day, 1, 31) || !CheckNumberField(Month, 1, 12) || !CheckNumberField(Hours, 0, 24)) return false;
  if (!HoursModif.empty()) {
    const char h = HoursModif[0];
    if (h != 'A' && h != 'a' && h != 'P' && h != 'p') return false;
  }
  if (!CheckNumberField(Minutes, 0, 59) || !CheckNumberField(Seconds, 0, 59)) return false;
  if (!Size.empty()) {
    TrimBlanksInPlace(Size);
    if (!AllDigits(Size)) return false;
  }

  ApplyMonthnames();
  if (!ThreeMonth.empty() && ThreeMonthNumber() == 0) return false;

  if (!YearTime.empty()) {
    std::replace(YearTime.begin(), YearTime.end(), '-', ':');
    if (YearTime.find(':') != AnsiString::npos) {
      if (!IsTimeOfDay(YearTime)) return false;
    } else {
      TrimBlanksInPlace(YearTime);
      if (!InRange(YearTime, 1900, 2100)) return false;
    }
  }
  if (!Year.empty()) {
    TrimBlanksInPlace(Year);
    Int64 year;
    if (!ParseDecimal(std::string_view(Year), year)) return false;
    switch (Year.size()) {
      case 2:
        return year >= 0 && year <= 99;
      case 3:
        return year >= 100 && year <= 110;
      case 4:
        return year > 1900 && year < 2100;
      default:
        return false;
    }
  }
  return true;
}

bool TFTPList::FillListRec(TFTPListRec& Value) {
  const std::string_view flagValue = DirFlagValue.empty() ? std::string_view("D") : std::string_view(DirFlagValue);
  Value.Directory = SameTextAscii(DirFlag, flagValue);
  if (!VMSFileName.empty()) Value.Directory = VMSFileName.find(".DIR;") != AnsiString::npos;
  const std::string_view captured = CapturedName();
  FillName(Value, TrimTrailingBlanksView(captured), captured.size());
  Value.Readable = !Value.Directory;

  const Int64 blocks = BlockSize.empty() ? 1 : IntOr(std::string_view(BlockSize), 1);
  // A product beyond 64 bits wraps around instead of overflowing (undefined).
  Value.FileSize =
      static_cast<Int64>(static_cast<UInt64>(Int64Or(std::string_view(Size), 0)) * static_cast<UInt64>(blocks));

  const TDateTime now = CurrentTime();
  Word thisYear = FState->ThisYear, thisMonth = FState->ThisMonth, today = FState->Today;
  if (!FState->Parsing) DecodeDate(now, thisYear, thisMonth, today);
  Int64 year = thisYear, month = thisMonth, day = today;
  Int64 hours = 0, minutes = 0, seconds = 0;

  if (!Day.empty()) day = IntOr(std::string_view(Day), 1);
  if (!Month.empty()) month = IntOr(std::string_view(Month), 1);
  ApplyMonthnames();
  if (!ThreeMonth.empty()) month = ThreeMonthNumber();
  if (!Year.empty()) {
    year = IntOr(std::string_view(Year), 0);
    if (year >= 51 && year <= 99)
      year += 1900;
    else if (year >= 0 && year <= 50)
      year += 2000;
  }
  // The moment a time instead of a year gave, and the year it was for.
  TDateTime moment = 0;
  Int64 momentYear = -1;
  if (!YearTime.empty()) {
    if (YearTime.find(':') != AnsiString::npos) {
      TrimTrailingBlanks(YearTime);
      const std::string_view text(YearTime);
      const auto colon = text.find(':');
      hours = IntOr(text.substr(0, colon), 0);
      minutes = IntOr(text.substr(colon + 1), 0);
      if (!EncodeMoment(year, month, day, hours, minutes, 0, moment)) return false;
      momentYear = year;
      // A time instead of a year means within the last twelve months.
      if (moment > now) --year;
    } else {
      year = IntOr(std::string_view(YearTime), 0);
    }
  }
  if (!Minutes.empty()) minutes = IntOr(std::string_view(Minutes), 0);
  if (!Seconds.empty()) seconds = IntOr(std::string_view(Seconds), 0);
  if (!Hours.empty()) hours = IntOr(std::string_view(Hours), 0);
  if (!HoursModif.empty()) {
    const char h = UpperAscii(HoursModif[0]);
    if (h == 'P' && hours != 12)
      hours += 12;
    else if (h == 'A' && hours == 12)
      hours = 0;
  }
  // A year far from any file's ("105" where a year stands) is as impossible
  // as a 31st of April.
  if (year < 1900 || year > 2100) return false;
  // Unless a field changed a part since, the moment above is the answer.
  if (year == momentYear && Hours.empty() && HoursModif.empty() && Minutes.empty() && Seconds.empty()) {
    Value.FileTime = moment;
  } else if (!EncodeMoment(year, month, day, hours, minutes, seconds, Value.FileTime)) {
    return false;
  }

  if (!Permissions.empty()) {
    AssignFromAnsi(Permissions, Value.Permission);
    Value.Readable = Permissions.size() >= 2 && UpperAscii(Permissions[1]) == 'R';
    const char kind = UpperAscii(Permissions[0]);
    if (kind == 'D') {
      Value.Directory = true;
      Value.Readable = false;
    } else if (kind == 'L') {
      Value.Directory = true;
    }
  }
  return true;
}

void TFTPList::PrepareMasks() {
  TParseState& state = *FState;
  const std::size_t count = Masks.size();
  bool changed = state.AnsiMasks.size() != count;
  state.AnsiMasks.resize(count);
  AnsiString ansi;
  for (std::size_t m = 0; m < count; ++m) {
    ToAnsi(Masks[m], ansi);
    if (ansi != state.AnsiMasks[m]) {
      state.AnsiMasks[m] = ansi;
      changed = true;
    }
  }
  if (!changed) return;
  state.Compiled.resize(count);
  for (std::size_t m = 0; m < count; ++m) {
    CompileMask(state.AnsiMasks[m], state.Compiled[m]);
    MarkBlankGaps(state.Compiled[m]);
    AddFieldChecks(state.Compiled[m]);
    for (MaskStep& step : state.Compiled[m])
      step.FieldBit = FieldBit(step.Kind == StepKind::Dot ? &TFTPList::FileName : step.Field);
  }
  state.Shared.assign(count, 0);
  state.AppendOnly.assign(count, false);
  for (std::size_t m = 0; m < count; ++m) {
    state.AppendOnly[m] = AppendsOnly(state.Compiled[m]);
    if (m == 0) continue;
    const CompiledMask& before = state.Compiled[m - 1];
    const CompiledMask& steps = state.Compiled[m];
    std::size_t k = 0;
    while (k < before.size() && k < steps.size() && SameStep(before[k], steps[k])) ++k;
    state.Shared[m] = k;
  }
}

namespace {

// "total", blanks, then digits only (blanks around allowed).
bool IsBlockTotalLine(std::string_view line) {
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n && line[i] == ' ') ++i;
  if (n - i < 5 || line.compare(i, 5, "total") != 0) return false;
  i += 5;
  const std::size_t blanks = i;
  while (i < n && line[i] == ' ') ++i;
  if (i == blanks) return false;
  const std::size_t digits = i;
  while (i < n && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == digits) return false;
  while (i < n && line[i] == ' ') ++i;
  return i == n;
}

}  // namespace

void TFTPList::ParseLines() {
  TParseState& state = *FState;
  PrepareMasks();
  // Without a descendant's own steps, a complete field that fails its
  // plausibility test can reject a mask while it is still being matched:
  // the outcome is the same, with less work on the masks that do not fit.
  const bool plain = typeid(*this) == typeid(TFTPList);
  state.Now = Clock ? Clock() : Now();
  DecodeDate(state.Now, state.ThisYear, state.ThisMonth, state.Today);
  state.MonthCache.clear();
  state.Parsing = true;
  const TScopeExit endParsing([&state] { state.Parsing = false; });

  const std::size_t count = Lines.size();
  if (RawLines.size() != count) RawLinesFromLines();
  List.reserve(List.size() + count);
  for (std::size_t i = 0; i < count;) {
    const String& text = Lines[i];
    const std::string_view line = RawLines[i];
    const std::string_view next = i + 1 < count ? std::string_view(RawLines[i + 1]) : std::string_view();
    std::size_t step = 1;
    const bool unixLine = StartsWithPermissionText(line);
    bool parsed = plain ? !unixLine && ParseFacts(line, text) : ParseFactsLine(text);
    if (!parsed && !unixLine) {
      step = ParseVMS(line, next, text);
      parsed = step > 0;
      if (!parsed) step = 1;
    }
    if (!parsed) {
      state.Utf8Line = {};
      // A Unix listing's block count ("total 8") would match a mask when it
      // has one digit and show a file named "total" in small folders.
      const std::size_t masks = IsBlockTotalLine(line) ? 0 : state.AnsiMasks.size();
      // Of the mask before (see TParseState::Shared): whether it ran here
      // and ended without a match, and the step it ended at (also when it
      // did not need to run).
      bool beforeRanEmpty = false;
      std::size_t beforeEndedAt = kNoStep;
      for (std::size_t m = 0; m < masks; ++m) {
        state.Current = m;
        Integer matched;
        if (plain) {
          const std::size_t shared = m > 0 ? state.Shared[m] : 0;
          if (shared > 0 && beforeEndedAt < shared) {
            beforeRanEmpty = false;  // ends as the mask before did
            continue;
          }
          const bool resume = shared > 0 && beforeRanEmpty && state.Snap.Taken && state.AppendOnly[m - 1];
          if (!resume) ClearMatchFields();
          state.SnapAt = m + 1 < masks ? state.Shared[m + 1] : kNoStep;
          matched = RunMask(state.Compiled[m], line, next, true, resume ? shared : 0);
          beforeRanEmpty = matched == 0;
          beforeEndedAt = matched == 0 ? state.EndedAt : kNoStep;
        } else {
          ClearMatchFields();
          matched = MatchLineToMask(line, next, state.AnsiMasks[m]);
        }
        if (matched == 0 || !state.NameStartOk) continue;
        if (unixLine && Permissions.empty()) continue;
        if (!ValidateMatchFields()) continue;
        auto rec = NewRec();
        // Fields that name no real date or time: the line gives no entry,
        // and a next line the mask took in is parsed on its own.
        if (!FillListRec(*rec)) {
          KeepSpare(std::move(rec));
          break;
        }
        rec->OriginalLine = text;
        rec->Mask = Masks[m];
        if (rec->Directory && IsDotName(rec->FileName)) {
          KeepSpare(std::move(rec));
        } else {
          List.push_back(std::move(rec));
        }
        parsed = true;
        step = static_cast<std::size_t>(matched);
        break;
      }
      if (!parsed) UnparsedLines.push_back(text);
    }
    i += step;
  }
}

void TFTPList::SetListing(std::string_view Data) {
  KeepSpareLines();
  RawLines.clear();
  const bool utf16le = Data.size() >= 2 && Data[0] == '\xFF' && Data[1] == '\xFE';
  const bool utf16be = Data.size() >= 2 && Data[0] == '\xFE' && Data[1] == '\xFF';
  if (utf16le || utf16be) {
    const TEncoding* encoding = utf16le ? TEncoding::Unicode() : TEncoding::BigEndianUnicode();
    FRawListing = UTF16ToUTF8(encoding->GetString(Data.data() + 2, Data.size() - 2));
  } else if (Data.size() >= 3 && Data.substr(0, 3) == "\xEF\xBB\xBF") {
    FRawListing.assign(Data.substr(3));
  } else {
    FRawListing.assign(Data);
  }
  Data = FRawListing;
  std::size_t lineCount = 1;
  for (const char* p = Data.data(); (p = static_cast<const char*>(std::memchr(p, '\n', Data.data() + Data.size() - p)));
       ++p)
    ++lineCount;
  RawLines.reserve(lineCount);
  Lines.reserve(lineCount);
  std::size_t start = 0;
  while (start < Data.size()) {
    // Up to the next LF, or an earlier CR.
    const char* from = Data.data() + start;
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', Data.size() - start));
    const std::size_t lfAt = lf ? static_cast<std::size_t>(lf - Data.data()) : Data.size();
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', lfAt - start));
    const std::size_t end = cr ? static_cast<std::size_t>(cr - Data.data()) : lfAt;
    RawLines.push_back(Data.substr(start, end - start));
    if (FSpareLines.empty()) {
      Lines.push_back(DecodeWireText(RawLines.back()));
    } else {
      Lines.push_back(std::move(FSpareLines.back()));
      FSpareLines.pop_back();
      DecodeWireText(RawLines.back(), Lines.back());
    }
    if (end == Data.size()) break;
    start = end + (Data[end] == '\r' && end + 1 < Data.size() && Data[end + 1] == '\n' ? 2 : 1);
  }
}

std::vector<String> TFTPList::NotUnderstoodLines() const {
  std::vector<String> result;
  for (const String& line : UnparsedLines) {
    if (!IsListingNoise(UTF16ToUTF8(line))) result.push_back(line);
  }
  return result;
}
