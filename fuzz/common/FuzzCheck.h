#pragma once
// Checks of the properties a fuzz target asserts beyond "no crash": a failed
// check prints what broke and aborts, which libFuzzer reports as a crash and
// keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "rtl/Types.h"
#include "rtl/Unicode.h"

[[noreturn]] inline void FuzzFail(const std::string& What) {
  std::fprintf(stderr, "fuzz check failed: %s\n", What.c_str());
  std::abort();
}

inline void FuzzCheck(bool Holds, const std::string& What) {
  if (!Holds) FuzzFail(What);
}

inline std::string FuzzText(const String& Text) { return UTF16ToUTF8(Text); }

inline TBytes FuzzBytes(const std::uint8_t* Data, std::size_t Size) { return TBytes(Data, Data + Size); }
