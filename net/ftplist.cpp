#include "net/ftplist.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <typeinfo>

#include "net/netutil.h"
#include "rtl/DateUtils.h"
#include "rtl/Encoding.h"

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
    if (name[i] == '-' && name[i + 1] == '>' && name[i - 1] == ' ' && name[i + 2] == ' ')
      return name.substr(0, i - 1);
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
    const auto bytes = static_cast<std::uint32_t>((four & 0xFF) | ((four >> 8) & 0xFF00) |
                                                  ((four >> 16) & 0xFF0000) | ((four >> 24) & 0xFF000000));
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
bool EncodeMoment(Int64 year, Int64 month, Int64 day, Int64 hour, Int64 minute, Int64 second,
                  TDateTime& value) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
    return false;
  TDateTime date, time;
  if (!TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day), date) ||
      !TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(minute), static_cast<Word>(second), 0, time))
    return false;
  value = date + time;
  return true;
}

}  // namespace

namespace ftplist_detail {

// A mask compiled into steps. Runs of one capture letter, and runs of
// characters that only consume, become one step; what "*" and "=" do depends
// on the mask character before them, which is fixed by the mask text.
enum class StepKind : unsigned char {
  Capture,       // Count line characters into Field
  Skip,          // Count line characters
  StarWord,      // the characters up to the next blank into Field
  StarRest,      // the rest of the line into Field
  StarDigits,    // a run of digits, into Field when it is set
  SkipWord,      // "!"
  SkipBlanks,    // "$"
  Dot,           // "."
  Blank,         // "x"
  NextLine,      // "\"
  SetValue,      // "=" with a value from the mask: Value into Field
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
};

}  // namespace ftplist_detail

namespace {

using namespace ftplist_detail;
using CompiledMask = std::vector<MaskStep>;

AnsiString TFTPList::*CaptureField(char maskChar) {
  switch (maskChar) {
    case 'p': return &TFTPList::Permissions;
    case 'd': return &TFTPList::DirFlag;
    case 'n': return &TFTPList::FileName;
    case 'v': return &TFTPList::VMSFileName;
    case 'S': return &TFTPList::Size;
    case 'D': return &TFTPList::Day;
    case 'M': return &TFTPList::Month;
    case 'Y': return &TFTPList::Year;
    case 'T': return &TFTPList::ThreeMonth;
    case 'U': return &TFTPList::YearTime;
    case 'h': return &TFTPList::Hours;
    case 'm': return &TFTPList::Minutes;
    case 's': return &TFTPList::Seconds;
    case 'H': return &TFTPList::HoursModif;
    default: return nullptr;
  }
}

bool IsSpecialMaskChar(char c) {
  switch (c) {
    case '*': case '!': case '$': case '.': case 'x': case '\\': case '=':
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
          steps.push_back({im + 1 == mask.size() ? StepKind::StarRest : StepKind::StarWord, 0,
                           CaptureField(last), {}});
        } else {
          steps.push_back({StepKind::StarDigits, 0, last == 'S' ? &TFTPList::Size : nullptr, {}});
        }
        break;
      case '!': steps.push_back({StepKind::SkipWord, 0, nullptr, {}}); break;
      case '$': steps.push_back({StepKind::SkipBlanks, 0, nullptr, {}}); break;
      case '.': steps.push_back({StepKind::Dot, 1, nullptr, {}}); break;
      case 'x': steps.push_back({StepKind::Blank, 1, nullptr, {}}); break;
      case '\\': steps.push_back({StepKind::NextLine, 0, nullptr, {}}); break;
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
    case FieldCheck::None: return true;
    case FieldCheck::Day: return NumberFieldPasses(field, 1, 31);
    case FieldCheck::Month: return NumberFieldPasses(field, 1, 12);
    case FieldCheck::Hours: return NumberFieldPasses(field, 0, 24);
    case FieldCheck::Minutes:
    case FieldCheck::Seconds: return NumberFieldPasses(field, 0, 59);
    case FieldCheck::HoursModif:
      return field.empty() || field[0] == 'A' || field[0] == 'a' || field[0] == 'P' || field[0] == 'p';
    case FieldCheck::Size: return AllDigits(TrimBlanksView(field));
    case FieldCheck::Permissions:
      return field.empty() || (field.size() == 10 && std::all_of(field.begin(), field.end(), IsPermissionChar));
  }
  return true;
}

bool IsStar(StepKind kind) {
  return kind == StepKind::StarWord || kind == StepKind::StarRest || kind == StepKind::StarDigits;
}

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
  AnsiString Line;
  AnsiString NextLine;
  // Month numbers of the ThreeMonth texts seen in this parse, keyed by
  // their (at most four) bytes and length.
  std::vector<std::pair<UInt64, Integer>> MonthCache;
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
  List.clear();
  Lines.clear();
  UnparsedLines.clear();
}

void TFTPList::Assign(const TFTPList& Value) {
  if (&Value == this) return;
  Clear();
  for (const auto& source : Value.List) {
    auto rec = std::make_unique<TFTPListRec>();
    rec->Assign(*source);
    List.push_back(std::move(rec));
  }
  Lines = Value.Lines;
  Masks = Value.Masks;
  UnparsedLines = Value.UnparsedLines;
}

TDateTime TFTPList::CurrentTime() const {
  if (FState->Parsing) return FState->Now;
  return Clock ? Clock() : Now();
}

bool TFTPList::ParseFactsLine(const String& Value) {
  if (Value.empty() || Value[0] != u'+') return false;
  std::u16string_view text(Value);
  text.remove_prefix(1);
  const auto tab = text.find(u'\t');
  const std::u16string_view name = tab == std::u16string_view::npos ? text : text.substr(tab + 1);
  if (TrimBlanksView(name).empty()) return false;

  bool directory = false;
  bool readable = false;
  Int64 size = 0;
  TDateTime time = 0;
  std::u16string_view rest = text;
  for (;;) {
    std::u16string_view fact = rest;
    const auto comma = rest.find(u',');
    if (comma == std::u16string_view::npos) {
      rest = {};
    } else {
      fact = rest.substr(0, comma);
      rest = rest.substr(comma + 1);
    }
    fact = TrimBlanksView(fact);
    if (fact.empty() || fact[0] == u'\t') break;
    switch (fact[0]) {
      case u'/':
        directory = true;
        break;
      case u'r':
        readable = true;
        break;
      case u's':
        size = Int64Or(fact.substr(1), 0);
        break;
      case u'm':
        time = static_cast<double>(IntOr(fact.substr(1), 0)) / SecsPerDay + UnixDateDelta;
        break;
      default:
        break;
    }
  }
  if (directory && (name == u"." || name == u"..")) return false;

  auto rec = std::make_unique<TFTPListRec>();
  rec->FileName = String(name);
  rec->Directory = directory;
  rec->Readable = readable;
  rec->FileSize = size;
  rec->FileTime = time;
  rec->OriginalLine = Value;
  rec->Mask = u"EPLF";
  List.push_back(std::move(rec));
  return true;
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
  if (state.Parsing && state.Current < state.AnsiMasks.size() && Mask == state.AnsiMasks[state.Current])
    return RunMask(state.Compiled[state.Current], Value, NextValue, false);
  CompileMask(Mask, state.Scratch);
  return RunMask(state.Scratch, Value, NextValue, false);
}

Integer TFTPList::RunMask(const std::vector<MaskStep>& Steps, std::string_view Value, std::string_view NextValue,
                          bool RejectEarly) {
  if (Value.empty() || Steps.empty()) return 0;
  std::string_view line = Value;
  std::size_t iv = 0;
  Integer result = 1;
  for (const MaskStep& step : Steps) {
    // A used-up line fails the mask, except at a "*", where the match ends.
    if (iv >= line.size()) return IsStar(step.Kind) ? result : 0;
    switch (step.Kind) {
      case StepKind::Capture: {
        AnsiString& field = this->*step.Field;
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
        iv += step.Count;
        break;
      case StepKind::StarWord: {
        std::size_t end = line.find(' ', iv);
        if (end == std::string_view::npos) end = line.size();
        (this->*step.Field).append(line.data() + iv, end - iv);
        iv = end;
        break;
      }
      case StepKind::StarRest:
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
    if (RejectEarly && step.Check != FieldCheck::None && !FieldPasses(step.Check, this->*step.Field))
      return 0;
  }
  return result;
}

std::string_view TFTPList::CapturedName() const {
  if (!VMSFileName.empty()) return VMSFileName;
  return BeforeLinkTarget(FileName);
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
  if (!state.Parsing || ThreeMonth.size() > 4) return MonthNumberFromName(FromAnsi(ThreeMonth));
  // Within one parse the month-name rows change only through
  // ApplyMonthnames, which empties the cache.
  UInt64 key = ThreeMonth.size();
  for (const char c : ThreeMonth) key = (key << 8) | static_cast<unsigned char>(c);
  for (const auto& [cached, number] : state.MonthCache) {
    if (cached == key) return number;
  }
  const Integer number = MonthNumberFromName(FromAnsi(ThreeMonth));
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
  if (!CheckNumberField(Day, 1, 31) || !CheckNumberField(Month, 1, 12) || !CheckNumberField(Hours, 0, 24))
    return false;
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
  Value.FileName = FromAnsi(TrimTrailingBlanksView(CapturedName()));
  Value.Readable = !Value.Directory;

  const Int64 blocks = BlockSize.empty() ? 1 : IntOr(std::string_view(BlockSize), 1);
  // A product beyond 64 bits wraps around instead of overflowing (undefined).
  Value.FileSize = static_cast<Int64>(static_cast<UInt64>(Int64Or(std::string_view(Size), 0)) *
                                      static_cast<UInt64>(blocks));

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
  if (!YearTime.empty()) {
    if (YearTime.find(':') != AnsiString::npos) {
      TrimTrailingBlanks(YearTime);
      const std::string_view text(YearTime);
      const auto colon = text.find(':');
      hours = IntOr(text.substr(0, colon), 0);
      minutes = IntOr(text.substr(colon + 1), 0);
      TDateTime moment;
      if (!EncodeMoment(year, month, day, hours, minutes, 0, moment)) return false;
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
  if (!EncodeMoment(year, month, day, hours, minutes, seconds, Value.FileTime)) return false;

  if (!Permissions.empty()) {
    Value.Permission = FromAnsi(Permissions);
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
    AddFieldChecks(state.Compiled[m]);
  }
}

namespace {

// "total", blanks, then digits only (blanks around allowed).
bool IsBlockTotalLine(const AnsiString& line) {
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
  const bool rejectEarly = typeid(*this) == typeid(TFTPList);
  state.Now = Clock ? Clock() : Now();
  DecodeDate(state.Now, state.ThisYear, state.ThisMonth, state.Today);
  state.MonthCache.clear();
  state.Parsing = true;
  struct EndParsing {
    bool& parsing;
    ~EndParsing() { parsing = false; }
  } endParsing{state.Parsing};

  const std::size_t count = Lines.size();
  List.reserve(List.size() + count);
  // NextLine holds the ANSI form of Lines[nextIndex]; it becomes Line when
  // parsing moves on by one line, so each line is converted once.
  std::size_t nextIndex = count;
  for (std::size_t i = 0; i < count;) {
    const String& line = Lines[i];
    std::size_t step = 1;
    if (!ParseFactsLine(line)) {
      if (nextIndex == i)
        std::swap(state.Line, state.NextLine);
      else
        ToAnsi(line, state.Line);
      if (i + 1 < count) {
        ToAnsi(Lines[i + 1], state.NextLine);
        nextIndex = i + 1;
      } else {
        state.NextLine.clear();
        nextIndex = count;
      }

      bool parsed = false;
      // A Unix listing's block count ("total 8") would match a mask when it
      // has one digit and show a file named "total" in small folders.
      const std::size_t masks = IsBlockTotalLine(state.Line) ? 0 : state.AnsiMasks.size();
      for (std::size_t m = 0; m < masks; ++m) {
        state.Current = m;
        ClearMatchFields();
        const Integer matched = rejectEarly ? RunMask(state.Compiled[m], state.Line, state.NextLine, true)
                                            : MatchLineToMask(state.Line, state.NextLine, state.AnsiMasks[m]);
        if (matched == 0 || !ValidateMatchFields()) continue;
        auto rec = std::make_unique<TFTPListRec>();
        // Fields that name no real date or time: the line gives no entry,
        // and a next line the mask took in is parsed on its own.
        if (!FillListRec(*rec)) break;
        rec->OriginalLine = line;
        rec->Mask = Masks[m];
        if (!(rec->Directory && IsDotName(rec->FileName))) List.push_back(std::move(rec));
        parsed = true;
        step = static_cast<std::size_t>(matched);
        break;
      }
      if (!parsed) UnparsedLines.push_back(line);
    }
    i += step;
  }
}
