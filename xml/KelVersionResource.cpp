#include "xml/KelVersionResource.h"

#include <cstring>

#include "rtl/SysUtils.h"

namespace {

constexpr std::size_t HeaderSize = 6;  // length, value length, type
constexpr Word TextValue = 1;

std::size_t Align4(std::size_t Offset) { return (Offset + 3) & ~static_cast<std::size_t>(3); }

Word ReadWord(const Byte* P) { return static_cast<Word>(P[0] | (P[1] << 8)); }

struct TVersionNode {
  std::size_t End = 0;  // one past the node's last byte
  std::size_t KeyStart = 0;
  std::size_t KeyUnits = 0;
  std::size_t ValueStart = 0;
  Cardinal ValueLength = 0;  // as the caller sees it: units for text, bytes otherwise
  std::size_t ChildrenStart = 0;
};

// Parses the node at Offset, which must end at or before Limit.
bool ParseNode(const Byte* B, std::size_t Offset, std::size_t Limit, TVersionNode& Node) {
  if (Offset > Limit || Limit - Offset < HeaderSize) return false;
  const Word Length = ReadWord(B + Offset);
  if (Length < HeaderSize || Length > Limit - Offset) return false;
  Node.End = Offset + Length;
  const Word ValueLength = ReadWord(B + Offset + 2);
  const Word Type = ReadWord(B + Offset + 4);

  Node.KeyStart = Offset + HeaderSize;
  std::size_t P = Node.KeyStart;
  for (;;) {
    if (Node.End - P < 2) return false;  // key without its terminating zero
    if (ReadWord(B + P) == 0) break;
    P += 2;
  }
  Node.KeyUnits = (P - Node.KeyStart) / 2;

  std::size_t ValueStart = Align4(P + 2);
  std::size_t ValueBytes = Type == TextValue ? std::size_t{ValueLength} * 2 : ValueLength;
  if (ValueStart > Node.End) {
    if (ValueBytes != 0) return false;
    ValueStart = Node.End;
  }
  if (ValueBytes > Node.End - ValueStart) {
    // Some resource compilers count a text value in bytes: keep what fits.
    if (Type != TextValue) return false;
    ValueBytes = (Node.End - ValueStart) & ~static_cast<std::size_t>(1);
    Node.ValueLength = static_cast<Cardinal>(ValueBytes / 2);
  } else {
    Node.ValueLength = ValueLength;
  }
  Node.ValueStart = ValueStart;
  Node.ChildrenStart = Align4(ValueStart + ValueBytes);
  if (Node.ChildrenStart > Node.End) Node.ChildrenStart = Node.End;
  return true;
}

bool KeyEquals(const Byte* B, const TVersionNode& Node, std::u16string_view Name) {
  if (Node.KeyUnits != Name.size()) return false;
  for (std::size_t I = 0; I < Name.size(); ++I) {
    Char A = static_cast<Char>(ReadWord(B + Node.KeyStart + 2 * I));
    Char C = Name[I];
    if (A >= u'a' && A <= u'z') A = static_cast<Char>(A - 32);
    if (C >= u'a' && C <= u'z') C = static_cast<Char>(C - 32);
    if (A != C) return false;
  }
  return true;
}

}  // namespace

bool VersionBlockQuery(const void* Block, std::size_t Size, const String& SubBlock, const void*& Value,
                       Cardinal& Length) {
  if (!Block) return false;
  const auto* B = static_cast<const Byte*>(Block);
  TVersionNode Node;
  if (!ParseNode(B, 0, Size, Node)) return false;

  std::size_t Start = 0;
  while (Start <= SubBlock.size()) {
    std::size_t Stop = SubBlock.find(u'\\', Start);
    if (Stop == String::npos) Stop = SubBlock.size();
    const std::u16string_view Part(SubBlock.data() + Start, Stop - Start);
    Start = Stop + 1;
    if (Part.empty()) continue;

    bool Found = false;
    std::size_t Offset = Node.ChildrenStart;
    TVersionNode Child;
    while (Offset < Node.End) {
      if (!ParseNode(B, Offset, Node.End, Child)) return false;
      if (KeyEquals(B, Child, Part)) {
        Found = true;
        break;
      }
      Offset = Align4(Child.End);
    }
    if (!Found) return false;
    Node = Child;
  }
  Value = B + Node.ValueStart;
  Length = Node.ValueLength;
  return true;
}

bool VersionBlockIsValid(const void* Block, std::size_t Size) {
  if (!Block) return false;
  const auto* B = static_cast<const Byte*>(Block);
  TVersionNode Node;
  return ParseNode(B, 0, Size, Node) && KeyEquals(B, Node, u"VS_VERSION_INFO");
}
