// Code pages on Windows: the system's own conversions (best-fit mapping and
// '?' for what a code page cannot hold), so that text converts here as every
// other Windows program converts it.
#include "rtl/Win32.h"

#include <climits>

#include "rtl/Encoding.h"

namespace rtl_encoding_detail {

Cardinal SystemAnsiCodePage() { return GetACP(); }

bool IsCodePageSupported(Cardinal CodePage) { return IsValidCodePage(CodePage) != 0; }

bool IsSingleByteCodePage(Cardinal CodePage) {
  CPINFO Info{};
  return GetCPInfo(CodePage, &Info) && Info.MaxCharSize == 1;
}

String MBCSDecode(Cardinal CodePage, const Byte* Bytes, std::size_t Count) {
  String Result;
  while (Count > 0) {
    // Chunks below INT_MAX bytes; a multi-byte character cut at a chunk
    // boundary would only matter past 1 GiB of text.
    int Chunk = Count > (1u << 30) ? (1 << 30) : static_cast<int>(Count);
    const char* Src = reinterpret_cast<const char*>(Bytes);
    int Needed = MultiByteToWideChar(CodePage, 0, Src, Chunk, nullptr, 0);
    if (Needed > 0) {
      std::size_t Old = Result.size();
      Result.resize(Old + Needed);
      MultiByteToWideChar(CodePage, 0, Src, Chunk, reinterpret_cast<wchar_t*>(&Result[Old]), Needed);
    }
    Bytes += Chunk;
    Count -= Chunk;
  }
  return Result;
}

TBytes MBCSEncode(Cardinal CodePage, std::u16string_view Chars) {
  TBytes Result;
  if (Chars.empty()) return Result;
  if (Chars.size() > static_cast<std::size_t>(INT_MAX / 4)) Chars = Chars.substr(0, INT_MAX / 4);
  const wchar_t* Src = reinterpret_cast<const wchar_t*>(Chars.data());
  int Len = static_cast<int>(Chars.size());
  int Needed = WideCharToMultiByte(CodePage, 0, Src, Len, nullptr, 0, nullptr, nullptr);
  if (Needed <= 0) return Result;
  Result.resize(Needed);
  WideCharToMultiByte(CodePage, 0, Src, Len, reinterpret_cast<char*>(Result.data()), Needed, nullptr, nullptr);
  return Result;
}

}  // namespace rtl_encoding_detail
