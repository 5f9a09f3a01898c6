#pragma once
// Small services of the XML library and its neighbours: character-class and
// case tables, text comparison and scanning helpers, a lazily shared
// critical section, file and module helpers, the locale separators, the
// Windows version test and the registry of generated type descriptions.
//
// Texts are UTF-16; indexes are 1-based.
//
// Character tables: on Windows they hold what the system reports for the
// user's locale (GetStringTypeExW, CharLowerBuffW, CharUpperBuffW and their
// ANSI forms). Off Windows they are derived from the run-time library's
// built-in case table (AnsiLowerChar/AnsiUpperChar) and ASCII classes, and
// the ANSI ones go through code page 1252. They are filled once, by the
// start-up sequence or by the first reader, and are read-only afterwards.
#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

#include "rtl/SyncObjs.h"
#include "rtl/Types.h"
#include "xml/KelVersionResource.h"

// CT_CTYPE1 character type bits (the Windows values).
#ifndef C1_UPPER
inline constexpr Word C1_UPPER = 0x0001;
inline constexpr Word C1_LOWER = 0x0002;
inline constexpr Word C1_DIGIT = 0x0004;
inline constexpr Word C1_SPACE = 0x0008;
inline constexpr Word C1_PUNCT = 0x0010;
inline constexpr Word C1_CNTRL = 0x0020;
inline constexpr Word C1_BLANK = 0x0040;
inline constexpr Word C1_XDIGIT = 0x0080;
inline constexpr Word C1_ALPHA = 0x0100;
#endif

// ---------------------------------------------------------------- tables
// Each fills its tables once (type table, then case map); later calls
// return at once. Safe to call from several threads.
void FillAnsiCharTables();
void FillWideCharTables();

Word AnsiCharType(Byte Ch);
Byte AnsiLowerCaseOf(Byte Ch);
Byte AnsiUpperCaseOf(Byte Ch);
// The lower form of an upper-case byte, the upper form of a lower-case one,
// else the byte itself.
Byte AnsiReflectCaseOf(Byte Ch);

Word WideCharType(Char Ch);
bool WideIsUpper(Char Ch);
bool WideIsLower(Char Ch);
Char WideLowerCaseOf(Char Ch);
Char WideUpperCaseOf(Char Ch);
Char WideReflectCaseOf(Char Ch);

// ---------------------------------------------------------------- text
Integer CountCharInText(const String& Text, Char Ch);
// Units 9 to 13 and 32.
bool IsAsciiSpace(Char Ch);
using TCharPredicate = bool (*)(Char);
// RequireAll: whether Predicate holds for every unit; otherwise whether it
// holds for at least one. An empty text gives false in both modes.
bool CheckTextChars(const String& Text, TCharPredicate Predicate, bool RequireAll);
String TrimLeftWhile(const String& Text, TCharPredicate Predicate);

// 0 for the same object or two empty texts; for texts of different lengths
// the length difference (units are not looked at); else TextCompareRange
// over the whole length.
Integer TextCompare(const String& S1, const String& S2, bool CaseSensitive);
// Compares Count units from Index. Results besides the unit difference:
// -1 when exactly one text is empty; -2 when Count <= 0 (unless both are the
// same object or empty: 0 when Count > 0 or the text is empty) or when S1
// does not reach Index + Count - 1. Fewer units are compared when S2 is
// shorter. Case-insensitive comparison uses the wide lower-case table.
Integer TextCompareRange(const String& S1, const String& S2, Integer Index, bool CaseSensitive, Integer Count);
bool TextEquals(const String& S1, const String& S2, bool CaseSensitive);
// First occurrence of the zero-terminated SubText in the zero-terminated
// Text; nullptr when either is nullptr or empty, or when there is none.
const Char* FindWideText(const Char* Text, const Char* SubText);

// ---------------------------------------------------------------- locking
// The lock of lazily created shared state (the Unicode category loader's
// kind): re-entrant for the thread that holds it.
class TKelCriticalSection : public TObject {
public:
  TKelCriticalSection() = default;
  TKelCriticalSection(const TKelCriticalSection&) = delete;
  TKelCriticalSection& operator=(const TKelCriticalSection&) = delete;

  void Enter() { FSection.Enter(); }
  void Leave() { FSection.Leave(); }

  // Installs a new section in Section unless another thread installed one
  // first (the loser's object is freed), then enters Section. The section
  // belongs to whoever owns Section.
  static void CreateAndEnter(std::atomic<TKelCriticalSection*>& Section);

private:
  TCriticalSection FSection;
};

// The previous value of Target, which becomes Exchange when it equalled
// Comparand; one atomic operation.
template <typename T>
T* AtomicCompareExchange(std::atomic<T*>& Target, T* Exchange, T* Comparand) {
  Target.compare_exchange_strong(Comparand, Exchange);
  return Comparand;
}

// ---------------------------------------------------------------- files
// The file's last write time as a local date-time, links followed; 0.0
// when it cannot be read.
TDateTime FileLastWriteTime(const String& FileName);
// The entry exists and is not a directory; false for an empty name.
bool IsExistingFile(const String& FileName);
// The file of a loaded module (0: the program). Off Windows only the
// program itself is known.
String ModuleFileName(NativeUInt Module);
// Copies the fixed record of the file's version resource when the resource
// holds one of exactly 52 bytes; otherwise false and FixedInfo unchanged.
bool ReadFixedVersionInfo(const String& FileName, TVSFixedFileInfo& FixedInfo);
void ZeroMemoryBlock(void* P, Integer Size);
// Frees a library handle that is not 0 and sets it to 0.
void FreeModuleHandle(NativeUInt& Module);

// ---------------------------------------------------------------- locale and OS
// Read from the global FormatSettings at each call.
Char LocaleDecimalSeparator();
Char LocaleThousandSeparator();

// The running system's version as GetVersionExW reports it (a program
// without a compatibility manifest sees at most 6.2). Off Windows: platform,
// major and minor 0 and no service-pack text ("not Windows").
struct TWin32Version {
  Integer Platform = 0;  // 1 Windows 9x, 2 NT
  Integer Major = 0;
  Integer Minor = 0;
  Integer Build = 0;
  String CSDVersion;
};
const TWin32Version& Win32Version();
// Major above Major, or equal with a minor of at least Minor.
bool IsWindowsVersionAtLeast(Integer Major, Integer Minor);

// ---------------------------------------------------------------- type descriptions
// Generated type descriptions, shared and reference-counted. A set refers to
// its element type, an enumeration may refer to a base type; both
// references are counted entries of the same registry.
struct TKelTypeDescription {
  enum TKind { tkOther, tkEnumeration, tkSet } Kind = tkOther;
  String Name;
  TKelTypeDescription* ElementType = nullptr;  // sets: not owned, counted
  TKelTypeDescription* BaseType = nullptr;     // enumerations: not owned, counted
};

// Takes ownership with a count of 1, or adds 1 when already registered.
void RetainTypeDescription(std::unique_ptr<TKelTypeDescription> Description);
void RetainTypeDescription(TKelTypeDescription* Description);
// Drops one count (searching from the newest entry); at 0 releases the
// description's element or base type, then frees it. Unknown ones are
// ignored.
void ReleaseTypeDescription(TKelTypeDescription* Description);
void ReleaseAllTypeDescriptions();
Integer TypeDescriptionCount();
// The count of a registered description, 0 when unknown.
Integer TypeDescriptionRefCount(const TKelTypeDescription* Description);
