#include "xml/KelUnicode.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

// The platform's copy of the "CATEGORIES" data (KelUnicode_win.cpp reads the
// program resource, KelUnicode_posix.cpp the array built into the program).
// False when there is none.
bool KelUnicodeCategoryData(const Byte*& Data, size_t& Size);

namespace {

// 96 bits: one per category.
struct TCategorySet {
  std::array<Cardinal, 3> Bits{};
  void Include(int C) { Bits[static_cast<size_t>(C) / 32] |= 1u << (C % 32); }
  bool Intersects(const TCategorySet& Other) const {
    return ((Bits[0] & Other.Bits[0]) | (Bits[1] & Other.Bits[1]) | (Bits[2] & Other.Bits[2])) != 0;
  }
};

using TBlock = std::array<TCategorySet, 256>;
using TPlane = std::array<std::unique_ptr<TBlock>, 256>;

// Written only by the loader under the lock, before Loaded is set; read
// without the lock once Loaded is seen.
std::array<std::unique_ptr<TPlane>, 256> CategoryTable;
std::atomic<bool> Loaded{false};
std::atomic<int> LoadCount{0};
std::mutex LoadLock;

void Store(Cardinal CodePoint, int Category) {
  auto& Plane = CategoryTable[(CodePoint >> 16) & 0xFF];
  if (!Plane) Plane = std::make_unique<TPlane>();
  auto& Block = (*Plane)[(CodePoint >> 8) & 0xFF];
  if (!Block) Block = std::make_unique<TBlock>();
  (*Block)[CodePoint & 0xFF].Include(Category);
}

// Records of {category: u8, count: s32 LE, count x {first, last: u24 LE}}.
// A record cut short ends the load with what was stored so far.
void Decode(const Byte* Data, size_t Size) {
  size_t Pos = 0;
  auto U24 = [&](size_t At) { return Cardinal(Data[At]) | Cardinal(Data[At + 1]) << 8 | Cardinal(Data[At + 2]) << 16; };
  while (Pos + 5 <= Size) {
    const int Category = Data[Pos];
    const Integer Count = static_cast<Integer>(U24(Pos + 1) | Cardinal(Data[Pos + 4]) << 24);
    Pos += 5;
    if (Count <= 0) continue;
    if ((Size - Pos) / 6 < static_cast<size_t>(Count)) return;
    for (Integer I = 0; I < Count; ++I, Pos += 6) {
      const Cardinal First = U24(Pos), Last = U24(Pos + 3);
      if (Category >= 96) continue;
      for (Cardinal Cp = First; Cp <= Last; ++Cp) Store(Cp, Category);
    }
  }
}

bool HasAny(Cardinal CodePoint, const TCategorySet& Set) {
  if (!Loaded.load(std::memory_order_acquire)) LoadUnicodeCategories();
  if (CodePoint > 0xFFFFFF) return false;
  const auto& Plane = CategoryTable[(CodePoint >> 16) & 0xFF];
  if (!Plane) return false;
  const auto& Block = (*Plane)[(CodePoint >> 8) & 0xFF];
  if (!Block) return false;
  return (*Block)[CodePoint & 0xFF].Intersects(Set);
}

TCategorySet MakeSet(std::initializer_list<TCharacterCategory> Categories) {
  TCategorySet S;
  for (TCharacterCategory C : Categories) S.Include(C);
  return S;
}

const TCategorySet WhitespaceSet = MakeSet({ccSeparatorSpace, ccSegmentSeparator, ccWhiteSpace});
const TCategorySet NameStartSet =
    MakeSet({ccLetterUppercase, ccLetterLowercase, ccLetterTitlecase, ccLetterModifier, ccLetterOther, ccNumberLetter});
const TCategorySet NameCharSet =
    MakeSet({ccLetterUppercase, ccLetterLowercase, ccLetterTitlecase, ccLetterModifier, ccLetterOther, ccNumberLetter,
             ccMarkNonSpacing, ccMarkSpacingCombining, ccNumberDecimalDigit, ccOtherFormat, ccPunctuationConnector});

}  // namespace

void LoadUnicodeCategories() {
  std::lock_guard<std::mutex> Guard(LoadLock);
  if (Loaded.load(std::memory_order_relaxed)) return;
  const Byte* Data = nullptr;
  size_t Size = 0;
  try {
    if (KelUnicodeCategoryData(Data, Size)) Decode(Data, Size);
  } catch (...) {
    // Out of memory half-way: keep what was stored; the load is not retried.
  }
  LoadCount.fetch_add(1, std::memory_order_relaxed);
  Loaded.store(true, std::memory_order_release);
}

int UnicodeCategoriesLoadCount() { return LoadCount.load(); }

bool IsXmlWhitespace(Cardinal CodePoint) { return HasAny(CodePoint, WhitespaceSet); }
bool IsXmlNameStart(Cardinal CodePoint) { return HasAny(CodePoint, NameStartSet); }
bool IsXmlNameChar(Cardinal CodePoint) { return HasAny(CodePoint, NameCharSet); }

bool CodePointHasCategory(Cardinal CodePoint, TCharacterCategory Category) {
  return HasAny(CodePoint, MakeSet({Category}));
}
