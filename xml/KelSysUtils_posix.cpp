// Off Windows: tables from the run-time library's own case table, the file
// system through POSIX, and no Windows version.
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <string>

#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"
#include "xml/KelStringConversions.h"
#include "xml/KelSysUtils.h"

namespace {

Word PortableCharType(Char C) {
  Word Type = 0;
  if (AnsiLowerChar(C) != C) Type |= C1_UPPER | C1_ALPHA;
  if (AnsiUpperChar(C) != C) Type |= C1_LOWER | C1_ALPHA;
  if (C < 128) {
    if ((C >= u'A' && C <= u'Z') || (C >= u'a' && C <= u'z')) Type |= C1_ALPHA;
    if (C >= u'0' && C <= u'9') Type |= C1_DIGIT | C1_XDIGIT;
    if ((C >= u'A' && C <= u'F') || (C >= u'a' && C <= u'f')) Type |= C1_XDIGIT;
    if ((C >= 9 && C <= 13) || C == 32) Type |= C1_SPACE;
    if (C == 9 || C == 32) Type |= C1_BLANK;
    if (C < 32 || C == 127) Type |= C1_CNTRL;
    if (C > 32 && C < 127 && !(Type & (C1_ALPHA | C1_DIGIT))) Type |= C1_PUNCT;
  } else if (C == 0xA0) {
    Type |= C1_SPACE | C1_BLANK;
  } else if (C >= 0x80 && C < 0xA0) {
    Type |= C1_CNTRL;
  }
  return Type;
}

std::string NativeName(const String& FileName) {
  AnsiString Name = UnicodeToCodePage(FileName, CP_KEL_UTF8);
  return Name;
}

}  // namespace

void KelPlatformWideCharTables(Word* Types, Char* Lower, Char* Upper) {
  for (Cardinal I = 0; I < 65536; ++I) {
    const Char C = static_cast<Char>(I);
    Types[I] = PortableCharType(C);
    Lower[I] = AnsiLowerChar(C);
    Upper[I] = AnsiUpperChar(C);
  }
}

// Bytes through the ANSI code page (1252 here); a case form the code page
// cannot hold leaves the byte as it is.
void KelPlatformAnsiCharTables(Word* Types, Byte* Lower, Byte* Upper) {
  for (int B = 0; B < 256; ++B) {
    const std::string Byte1(1, static_cast<char>(B));
    const String Unit = CodePageToUnicode(Byte1, CP_KEL_ACP);
    Types[B] = 0;
    Lower[B] = Upper[B] = static_cast<Byte>(B);
    if (Unit.size() != 1 || Unit[0] == UCS4ReplacementCharacter) continue;
    Types[B] = PortableCharType(Unit[0]);
    const auto Back = [&](Char C) -> Byte {
      const AnsiString A = UnicodeToCodePage(std::u16string_view(&C, 1), CP_KEL_ACP);
      if (A.size() != 1 || CodePageToUnicode(A, CP_KEL_ACP) != std::u16string_view(&C, 1)) return static_cast<Byte>(B);
      return static_cast<Byte>(A[0]);
    };
    Lower[B] = Back(AnsiLowerChar(Unit[0]));
    Upper[B] = Back(AnsiUpperChar(Unit[0]));
  }
}

TWin32Version KelPlatformWin32Version() { return {}; }

TDateTime FileLastWriteTime(const String& FileName) {
  struct stat St {};
  if (FileName.empty() || stat(NativeName(FileName).c_str(), &St) != 0) return 0.0;
  const std::time_t Seconds = St.st_mtime;
  std::tm Local{};
  if (!localtime_r(&Seconds, &Local)) return 0.0;
  TDateTime Result = 0.0;
  if (!TryEncodeDateTime(static_cast<Word>(Local.tm_year + 1900), static_cast<Word>(Local.tm_mon + 1),
                         static_cast<Word>(Local.tm_mday), static_cast<Word>(Local.tm_hour),
                         static_cast<Word>(Local.tm_min), static_cast<Word>(Local.tm_sec > 59 ? 59 : Local.tm_sec), 0,
                         Result)) {
    return 0.0;
  }
  return Result;
}

bool IsExistingFile(const String& FileName) {
  struct stat St {};
  return !FileName.empty() && stat(NativeName(FileName).c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

String ModuleFileName(NativeUInt Module) {
  if (Module != 0) return String();
  std::string Path(4096, '\0');
  const ssize_t N = readlink("/proc/self/exe", Path.data(), Path.size());
  if (N <= 0) return String();
  Path.resize(static_cast<std::size_t>(N));
  return CodePageToUnicode(Path, CP_KEL_UTF8);
}

// No library handles are taken off Windows.
void FreeModuleHandle(NativeUInt& Module) { Module = 0; }
