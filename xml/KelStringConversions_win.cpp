// Code pages through the system's MultiByteToWideChar / WideCharToMultiByte.
#include "rtl/Win32.h"

#include <string>
#include <string_view>

#include "rtl/Types.h"

namespace {

// Code pages that refuse the precomposition and no-best-fit flags.
bool TakesNoFlags(Word CodePage) {
  return CodePage == 42 || (CodePage >= 50220 && CodePage <= 50229) || CodePage == 52936 || CodePage == 54936 ||
         (CodePage >= 57002 && CodePage <= 57011) || CodePage == 65000 || CodePage == 65001;
}

}  // namespace

bool KelPlatformDecode(Word CodePage, std::string_view Bytes, String& Out) {
  Out.clear();
  if (Bytes.empty()) return true;
  const DWORD Flags =
      TakesNoFlags(CodePage) ? (CodePage == 54936 ? MB_ERR_INVALID_CHARS : 0) : MB_PRECOMPOSED | MB_ERR_INVALID_CHARS;
  const int In = static_cast<int>(Bytes.size());
  Out.resize(Bytes.size() * 2);
  const int N = MultiByteToWideChar(CodePage, Flags, Bytes.data(), In, reinterpret_cast<wchar_t*>(Out.data()),
                                    static_cast<int>(Out.size()));
  if (N <= 0) {
    Out.clear();
    return false;
  }
  Out.resize(static_cast<size_t>(N));
  return true;
}

bool KelPlatformEncode(Word CodePage, std::u16string_view Text, AnsiString& Out) {
  Out.clear();
  if (Text.empty()) return true;
  // No best fit: a character the code page cannot hold becomes its default
  // character rather than a look-alike letter.
  const DWORD Flags = TakesNoFlags(CodePage) ? 0 : WC_NO_BEST_FIT_CHARS;
  const auto* Src = reinterpret_cast<const wchar_t*>(Text.data());
  const int In = static_cast<int>(Text.size());
  // A character outside the BMP that the code page lacks would come out as
  // one default character per surrogate: report it, the caller writes one.
  BOOL UsedDefault = FALSE;
  BOOL* UsedDefaultPtr = TakesNoFlags(CodePage) ? nullptr : &UsedDefault;
  const int Need = WideCharToMultiByte(CodePage, Flags, Src, In, nullptr, 0, nullptr, UsedDefaultPtr);
  if (UsedDefault && In == 2 && IS_HIGH_SURROGATE(Src[0])) return false;
  if (Need <= 0) return false;
  Out.resize(static_cast<size_t>(Need));
  const int N = WideCharToMultiByte(CodePage, Flags, Src, In, Out.data(), Need, nullptr, nullptr);
  if (N <= 0) {
    Out.clear();
    return false;
  }
  Out.resize(static_cast<size_t>(N));
  return true;
}

Word KelPlatformAnsiCodePage() { return static_cast<Word>(GetACP()); }

bool KelPlatformAnsiDefaultChar(char& Ch) {
  CPINFO Info;
  if (!GetCPInfo(CP_ACP, &Info)) return false;
  Ch = static_cast<char>(Info.DefaultChar[0]);
  return true;
}
