#include "xml/KelSysUtils.h"

#include <array>
#include <cstring>
#include <mutex>

#include "rtl/FormatSettings.h"

// Platform part (KelSysUtils_win.cpp / KelSysUtils_posix.cpp).
void KelPlatformAnsiCharTables(Word* Types, Byte* Lower, Byte* Upper);  // 256 entries each
void KelPlatformWideCharTables(Word* Types, Char* Lower, Char* Upper);  // 65536 entries each
TWin32Version KelPlatformWin32Version();

namespace {

struct TAnsiTables {
  std::array<Word, 256> Types{};
  std::array<std::array<Byte, 256>, 3> Case{};  // lower, upper, reflected
};

struct TWideTables {
  std::array<Word, 65536> Types{};
  std::array<std::array<Char, 65536>, 3> Case{};
};

enum { RowLower, RowUpper, RowReflect };

TAnsiTables AnsiTables;
std::once_flag AnsiFilled;
// 400 KiB: allocated on first use, so programs that never compare text
// without case do not carry it.
std::unique_ptr<TWideTables> WideTables;
std::once_flag WideFilled;

template <typename TTypes, typename TRows>
void FillReflected(const TTypes& Types, TRows& Case) {
  for (std::size_t I = 0; I < Types.size(); ++I) {
    if (Types[I] & C1_UPPER) {
      Case[RowReflect][I] = Case[RowLower][I];
    } else if (Types[I] & C1_LOWER) {
      Case[RowReflect][I] = Case[RowUpper][I];
    } else {
      Case[RowReflect][I] = static_cast<typename TRows::value_type::value_type>(I);
    }
  }
}

const TAnsiTables& Ansi() {
  FillAnsiCharTables();
  return AnsiTables;
}

const TWideTables& Wide() {
  FillWideCharTables();
  return *WideTables;
}

}  // namespace

void FillAnsiCharTables() {
  std::call_once(AnsiFilled, [] {
    KelPlatformAnsiCharTables(AnsiTables.Types.data(), AnsiTables.Case[RowLower].data(),
                              AnsiTables.Case[RowUpper].data());
    FillReflected(AnsiTables.Types, AnsiTables.Case);
  });
}

void FillWideCharTables() {
  std::call_once(WideFilled, [] {
    auto Tables = std::make_unique<TWideTables>();
    KelPlatformWideCharTables(Tables->Types.data(), Tables->Case[RowLower].data(), Tables->Case[RowUpper].data());
    FillReflected(Tables->Types, Tables->Case);
    WideTables = std::move(Tables);
  });
}

Word AnsiCharType(Byte Ch) { return Ansi().Types[Ch]; }
Byte AnsiLowerCaseOf(Byte Ch) { return Ansi().Case[RowLower][Ch]; }
Byte AnsiUpperCaseOf(Byte Ch) { return Ansi().Case[RowUpper][Ch]; }
Byte AnsiReflectCaseOf(Byte Ch) { return Ansi().Case[RowReflect][Ch]; }

Word WideCharType(Char Ch) { return Wide().Types[Ch]; }
bool WideIsUpper(Char Ch) { return (WideCharType(Ch) & C1_UPPER) != 0; }
bool WideIsLower(Char Ch) { return (WideCharType(Ch) & C1_LOWER) != 0; }
Char WideLowerCaseOf(Char Ch) { return Wide().Case[RowLower][Ch]; }
Char WideUpperCaseOf(Char Ch) { return Wide().Case[RowUpper][Ch]; }
Char WideReflectCaseOf(Char Ch) { return Wide().Case[RowReflect][Ch]; }

// ---------------------------------------------------------------- text

Integer CountCharInText(const String& Text, Char Ch) {
  Integer Count = 0;
  for (Char C : Text) {
    if (C == Ch) ++Count;
  }
  return Count;
}

bool IsAsciiSpace(Char Ch) { return (Ch >= 9 && Ch <= 13) || Ch == 32; }

bool CheckTextChars(const String& Text, TCharPredicate Predicate, bool RequireAll) {
  if (Text.empty()) return false;
  for (Char C : Text) {
    if (Predicate(C) != RequireAll) return !RequireAll;
  }
  return RequireAll;
}

String TrimLeftWhile(const String& Text, TCharPredicate Predicate) {
  std::size_t I = 0;
  while (I < Text.size() && Predicate(Text[I])) ++I;
  return Text.substr(I);
}

Integer TextCompare(const String& S1, const String& S2, bool CaseSensitive) {
  if (&S1 == &S2 || (S1.empty() && S2.empty())) return 0;
  if (S1.size() != S2.size()) return static_cast<Integer>(S1.size()) - static_cast<Integer>(S2.size());
  return TextCompareRange(S1, S2, 1, CaseSensitive, static_cast<Integer>(S1.size()));
}

Integer TextCompareRange(const String& S1, const String& S2, Integer Index, bool CaseSensitive, Integer Count) {
  if (&S1 == &S2 || (S1.empty() && S2.empty())) return (Count > 0 || S1.empty()) ? 0 : -2;
  if (S1.empty() || S2.empty()) return -1;
  if (Count <= 0 || Index < 1) return -2;
  const Int64 Last = Int64{Index} + Count - 1;
  if (static_cast<Int64>(S1.size()) < Last) return -2;

  const std::size_t Start = static_cast<std::size_t>(Index) - 1;
  std::size_t N = static_cast<std::size_t>(Count);
  const std::size_t InS2 = S2.size() > Start ? S2.size() - Start : 0;
  if (InS2 < N) N = InS2;
  for (std::size_t I = Start; I < Start + N; ++I) {
    Char A = S1[I];
    Char B = S2[I];
    if (A == B) continue;
    if (CaseSensitive) return static_cast<Integer>(A) - static_cast<Integer>(B);
    A = WideLowerCaseOf(A);
    B = WideLowerCaseOf(B);
    if (A != B) return static_cast<Integer>(A) - static_cast<Integer>(B);
  }
  return 0;
}

bool TextEquals(const String& S1, const String& S2, bool CaseSensitive) {
  return TextCompare(S1, S2, CaseSensitive) == 0;
}

const Char* FindWideText(const Char* Text, const Char* SubText) {
  if (!Text || !SubText || !*Text || !*SubText) return nullptr;
  for (const Char* P = Text; *P; ++P) {
    const Char* A = P;
    const Char* B = SubText;
    while (*A && *A == *B) {
      ++A;
      ++B;
    }
    if (!*B) return P;
    if (!*A) return nullptr;  // the rest of Text is shorter than SubText
  }
  return nullptr;
}

// ---------------------------------------------------------------- locking

void TKelCriticalSection::CreateAndEnter(std::atomic<TKelCriticalSection*>& Section) {
  if (!Section.load(std::memory_order_acquire)) {
    auto Created = std::make_unique<TKelCriticalSection>();
    if (AtomicCompareExchange<TKelCriticalSection>(Section, Created.get(), nullptr) == nullptr) {
      Created.release();  // now owned through Section
    }
  }
  Section.load(std::memory_order_acquire)->Enter();
}

// ---------------------------------------------------------------- files

bool ReadFixedVersionInfo(const String& FileName, TVSFixedFileInfo& FixedInfo) {
  TDynByteArray Buffer;
  if (!GetFileVersionResource(FileName, Buffer)) return false;
  const void* Value = nullptr;
  Cardinal Length = 0;
  if (!QueryVersionResource(Buffer, u"\\", Value, Length) || Length != sizeof(TVSFixedFileInfo)) return false;
  std::memcpy(&FixedInfo, Value, sizeof FixedInfo);
  return true;
}

void ZeroMemoryBlock(void* P, Integer Size) {
  if (P && Size > 0) std::memset(P, 0, static_cast<std::size_t>(Size));
}

// ---------------------------------------------------------------- locale and OS

Char LocaleDecimalSeparator() { return FormatSettings.DecimalSeparator; }
Char LocaleThousandSeparator() { return FormatSettings.ThousandSeparator; }

const TWin32Version& Win32Version() {
  static const TWin32Version Version = KelPlatformWin32Version();
  return Version;
}

bool IsWindowsVersionAtLeast(Integer Major, Integer Minor) {
  const TWin32Version& V = Win32Version();
  return V.Major > Major || (V.Major == Major && V.Minor >= Minor);
}

// ---------------------------------------------------------------- type descriptions

namespace {

struct TTypeEntry {
  TKelTypeDescription* Description;  // owned by the registry
  Integer RefCount;
};

TCriticalSection& TypeLock() {
  static TCriticalSection Lock;
  return Lock;
}

std::vector<TTypeEntry>& TypeEntries() {
  static std::vector<TTypeEntry> Entries;
  return Entries;
}

// Newest first, as the release order asks.
std::vector<TTypeEntry>::iterator FindType(const TKelTypeDescription* Description) {
  auto& E = TypeEntries();
  for (auto It = E.end(); It != E.begin();) {
    --It;
    if (It->Description == Description) return It;
  }
  return E.end();
}

}  // namespace

void RetainTypeDescription(std::unique_ptr<TKelTypeDescription> Description) {
  if (!Description) return;
  TCriticalSectionGuard Guard(TypeLock());
  auto It = FindType(Description.get());
  if (It != TypeEntries().end()) {
    ++It->RefCount;
    Description.release();  // already owned by the registry
    return;
  }
  TypeEntries().push_back({Description.release(), 1});
}

void RetainTypeDescription(TKelTypeDescription* Description) {
  TCriticalSectionGuard Guard(TypeLock());
  auto It = FindType(Description);
  if (It != TypeEntries().end()) ++It->RefCount;
}

void ReleaseTypeDescription(TKelTypeDescription* Description) {
  // The lock is re-entrant: releasing a set releases its element type
  // under the same lock.
  TCriticalSectionGuard Guard(TypeLock());
  auto It = FindType(Description);
  if (It == TypeEntries().end()) return;
  if (--It->RefCount > 0) return;
  TKelTypeDescription* Dependent = nullptr;
  if (Description->Kind == TKelTypeDescription::tkSet) {
    Dependent = Description->ElementType;
  } else if (Description->Kind == TKelTypeDescription::tkEnumeration) {
    Dependent = Description->BaseType;
  }
  if (Dependent && Dependent != Description) ReleaseTypeDescription(Dependent);
  // The release above may have moved the entries.
  It = FindType(Description);
  delete It->Description;
  TypeEntries().erase(It);
}

void ReleaseAllTypeDescriptions() {
  TCriticalSectionGuard Guard(TypeLock());
  while (!TypeEntries().empty()) {
    TTypeEntry& Last = TypeEntries().back();
    Last.RefCount = 1;
    ReleaseTypeDescription(Last.Description);
  }
}

Integer TypeDescriptionCount() {
  TCriticalSectionGuard Guard(TypeLock());
  return static_cast<Integer>(TypeEntries().size());
}

Integer TypeDescriptionRefCount(const TKelTypeDescription* Description) {
  TCriticalSectionGuard Guard(TypeLock());
  auto It = FindType(Description);
  return It == TypeEntries().end() ? 0 : It->RefCount;
}
