// The category data built into the program (generated at build time from
// the Unicode Character Database).
#include <cstddef>

#include "rtl/Types.h"

namespace {
const Byte CategoryData[] = {
#include "KelUnicodeCategories.inc"
};
}  // namespace

bool KelUnicodeCategoryData(const Byte*& Data, size_t& Size) {
  Data = CategoryData;
  Size = sizeof(CategoryData);
  return true;
}

Integer LocaleAnsiCodePage(Cardinal) { return 1252; }
