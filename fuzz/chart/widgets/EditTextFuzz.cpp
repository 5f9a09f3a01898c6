// Texts typed or pasted into the typed edit: every type's rules take any
// UTF-16 text without raising, the stored text of a number type is one the
// type accepts again unchanged, and money regrouping is stable.
#include <cstddef>
#include <cstdint>
#include <string>

#include "chart/widgets/VivIzudeEditRules.h"
#include "fuzz/common/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 2) return 0;
  const TFormatSettings English{};
  TVivIzudeEditFormat Edit;
  Edit.EditType = static_cast<TVivIzudeEditType>(Data[0] % 12);
  Edit.Precision = static_cast<SmallInt>(static_cast<std::int8_t>(Data[1]) % 8);
  Edit.PrecisionDisplay = Data[1] & 0x80 ? pdShortest : pdNormal;
  Edit.AllowNumericNullValue = (Data[0] & 0x40) != 0;
  String Text;
  for (std::size_t I = 2; I + 1 < Size; I += 2) Text += static_cast<Char>(Data[I] | (Data[I + 1] << 8));

  ClassifyText(Text, English);
  MixedCaseText(Text);
  AcceptPastedText(Edit.EditType, Text, English);
  const String Stored = NormalizeEditText(Text, Edit, English);
  if (Edit.EditType == etNumeric || Edit.EditType == etHex || Edit.EditType == etUppercase)
    FuzzCheck(NormalizeEditText(Stored, Edit, English) == Stored, "stored text changes again: " + FuzzText(Stored));
  const double Value = EditFloatValue(Edit.EditType, Text, English);
  EditIntValue(Edit.EditType, Text, English);
  FloatValueText(Value, Edit, English);
  const String Money = FormatMoneyText(Text, true, English);
  FuzzCheck(FormatMoneyText(Money, true, English) == Money, "money regrouped twice: " + FuzzText(Money));
  for (Char C : Text) FilterTypedChar(Edit.EditType, C, Text, false, u"abc", English);
  std::vector<TVivIzudeLookupMatch> Matches = MatchLookupEntries({Text, u"alpha", u"beta"}, Text.substr(0, 2), {});
  Integer Index = static_cast<Integer>(Data[0] % 4);
  SortLookupMatches(Matches, Index);
  FuzzCheck(Index < static_cast<Integer>(Matches.size()), "index outside the list");
  return 0;
}
