// The typed edit's rules without a window: classification, conversions,
// the character and paste filters, mixed case and the lookup's suggestions.
#include <gtest/gtest.h>

#include <vector>

#include "chart/widgets/VivIzudeEditRules.h"
#include "rtl/SysUtils.h"

namespace {

const TFormatSettings English{};

TFormatSettings Comma() {
  TFormatSettings F;
  F.DecimalSeparator = u',';
  F.ThousandSeparator = u'.';
  return F;
}

TVivIzudeEditFormat Edit(TVivIzudeEditType T, SmallInt Precision = 0, TVivIzudeEditPrecisionDisplay D = pdNormal) {
  TVivIzudeEditFormat E;
  E.EditType = T;
  E.Precision = Precision;
  E.PrecisionDisplay = D;
  return E;
}

}  // namespace

TEST(VivIzudeEditRules, ClassifyTextSortsTextsIntoFourKinds) {
  struct Case {
    const char16_t* Text;
    TVivIzudeTextClass Expected;
  };
  const Case Cases[] = {
      {u"", tcText},         {u"123", tcNumeric},       {u"1.5", tcFloat},  {u"1,5", tcFloat},
      {u"1,234.5", tcFloat}, {u",123", tcText},         {u"1,2,3", tcText}, {u"1.2.3", tcText},
      {u"-5", tcText},       {u"abc1", tcAlphaNumeric}, {u"x-1", tcText},   {u"12 3", tcText},
  };
  for (const Case& C : Cases) EXPECT_EQ(ClassifyText(C.Text, English), C.Expected) << &C - Cases;
}

TEST(VivIzudeEditRules, TextAssignmentKeepsOnlyWhatTheTypeAccepts) {
  struct Case {
    TVivIzudeEditFormat Edit;
    const char16_t* Text;
    const char16_t* Expected;
  };
  const Case Cases[] = {
      {Edit(etNumeric), u"-5", u"0"},
      {Edit(etNumeric), u"", u"0"},
      {Edit(etSignedNumeric), u"-5", u"-5"},
      {Edit(etFloat, 2), u"3.14159", u"3.14"},
      {Edit(etFloat, 2, pdShortest), u"3.14159", u"3.14159"},
      {Edit(etFloat, 2, pdShortest), u"2.50", u"2.5"},
      {Edit(etFloat), u"abc", u"0"},
      {Edit(etMoney, 2), u"1234567", u"1,234,567.00"},
      {Edit(etHex), u"ff", u"FF"},
      {Edit(etHex), u"f-f", u"0"},
      {Edit(etUppercase), u"abc", u"ABC"},
      {Edit(etLowerCase), u"AbC", u"abc"},
      {Edit(etString), u"-x", u"-x"},
  };
  for (const Case& C : Cases) EXPECT_EQ(NormalizeEditText(C.Text, C.Edit, English), C.Expected);
  TVivIzudeEditFormat Nullable = Edit(etNumeric);
  Nullable.AllowNumericNullValue = true;
  EXPECT_EQ(NormalizeEditText(u"", Nullable, English), u"");
}

TEST(VivIzudeEditRules, NumbersWrittenAndReadBack) {
  const TVivIzudeEditFormat Hex = Edit(etHex);
  ASSERT_EQ(IntValueText(255, Hex, English), std::optional<String>(u"FF"));
  EXPECT_EQ(EditIntValue(etHex, u"FF", English), 255);
  EXPECT_EQ(EditFloatValue(etHex, u"ff", English), 255);

  const TVivIzudeEditFormat Money = Edit(etMoney, 2);
  const String MoneyText = *FloatValueText(1234567, Money, English);
  EXPECT_EQ(NormalizeEditText(MoneyText, Money, English), u"1,234,567.00");
  EXPECT_EQ(EditFloatValue(etMoney, u"1,234,567.", English), 1234567);
  EXPECT_EQ(EditIntValue(etMoney, u"1,234", English), 1234);

  EXPECT_EQ(*FloatValueText(2.5, Edit(etFloat, -1), English), u"2.5");
  EXPECT_EQ(*FloatValueText(2.5, Edit(etFloat, 3), English), u"2.500");
  EXPECT_EQ(EditFloatValue(etFloat, u"-", English), 0);
  EXPECT_EQ(EditFloatValue(etFloat, u"1,5", Comma()), 1.5);
  EXPECT_EQ(EditFloatValue(etString, u"2,5", Comma()), 2.5);  // the plain parser reads '.'
  EXPECT_EQ(EditFloatValue(etString, u"two", English), 0);
  EXPECT_EQ(EditFloatValue(etUppercase, u"12", English), 0);
  EXPECT_FALSE(FloatValueText(1, Edit(etMixedCase), English).has_value());
}

TEST(VivIzudeEditRules, SignedNumericFloatValueIsItsSignedValue) {
  EXPECT_EQ(EditFloatValue(etSignedNumeric, u"-42", English), -42);
  EXPECT_EQ(EditFloatValue(etSignedNumeric, u"17", English), 17);
  EXPECT_EQ(EditFloatValue(etSignedNumeric, u"-", English), 0);
  EXPECT_EQ(*FloatValueText(-42, Edit(etSignedNumeric), English), u"-42");
}

TEST(VivIzudeEditRules, NumericFloatValueFromAThousandUpKeepsItsDigits) {
  const TVivIzudeEditFormat Numeric = Edit(etNumeric);
  const String Written = *FloatValueText(123456, Numeric, English);
  EXPECT_EQ(NormalizeEditText(Written, Numeric, English), u"123456");
}

TEST(VivIzudeEditRules, HexTextWeighsOnlyHexDigitsAndWrapsAt32Bits) {
  EXPECT_EQ(HexTextToInt(u"1G"), 16);
  EXPECT_EQ(HexTextToInt(u"FFFFFFFF"), -1);
  EXPECT_EQ(HexTextToInt(u"100000000"), 0);
  EXPECT_EQ(HexTextToInt(u""), 0);
}

TEST(VivIzudeEditRules, MoneyTextIsGroupedAgainKeepingSignAndFraction) {
  EXPECT_EQ(FormatMoneyText(u"1234567.5", true, English), u"1,234,567.5");
  EXPECT_EQ(FormatMoneyText(u"-1,23,4.", true, English), u"-1,234.");
  EXPECT_EQ(FormatMoneyText(u"1,234", false, English), u"1234");
  EXPECT_EQ(FormatMoneyText(u"", true, English), u"");
}

TEST(VivIzudeEditRules, MixedCaseCapitalisesWordsNamesAndNumerals) {
  EXPECT_EQ(MixedCaseText(u"mcdonald"), u"McDonald");
  EXPECT_EQ(MixedCaseText(u"macbeth"), u"MacBeth");
  EXPECT_EQ(MixedCaseText(u"john smith ii"), u"John Smith II");
  EXPECT_EQ(MixedCaseText(u"o'neil"), u"O'Neil");
  EXPECT_EQ(MixedCaseText(u"ANNE-MARIE (PARIS)"), u"Anne-Marie (Paris)");
  EXPECT_EQ(MixedCaseText(u"ronald mcdonald"), u"Ronald McDonald");
}

TEST(VivIzudeEditRules, EachTypeFiltersTypedCharacters) {
  struct Case {
    TVivIzudeEditType Type;
    Char Key;
    const char16_t* Text;
    bool WholeSelected;
    Char Expected;
  };
  const Case Cases[] = {
      {etNumeric, u'5', u"", false, u'5'},
      {etNumeric, u'-', u"", false, 0},
      {etNumeric, u'a', u"1", false, 0},
      {etNumeric, 3, u"1", false, 3},  // Ctrl+C copies
      {etSignedNumeric, u'-', u"5", false, u'-'},
      {etSignedNumeric, u'-', u"-5", false, 0},
      {etSignedNumeric, u'-', u"-5", true, u'-'},
      {etSignedFloat, u'.', u"1.5", false, 0},
      {etSignedFloat, u'.', u"15", false, u'.'},
      {etFloat, u'-', u"", false, 0},
      {etFloat, u'.', u"1.", false, 0},
      {etFloat, u'7', u"1.", false, u'7'},
      {etMoney, u',', u"1", false, u','},
      {etMoney, u'-', u"1", false, 0},
      {etHex, u'f', u"", false, u'f'},
      {etHex, u'g', u"", false, 0},
      {etAlphaNumeric, u'x', u"", false, u'x'},
      {etAlphaNumeric, u' ', u"", false, 0},
      {etUppercase, u'q', u"", false, u'Q'},
      {etLowerCase, u'Q', u"", false, u'q'},
      {etString, u'-', u"", false, u'-'},
      {etMixedCase, u'!', u"", false, u'!'},
      {etValidChars, u'B', u"", false, u'B'},
      {etValidChars, u'z', u"", false, 0},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(FilterTypedChar(C.Type, C.Key, C.Text, C.WholeSelected, u"abc", English), C.Expected)
        << static_cast<int>(C.Type) << " key " << static_cast<int>(C.Key);
  EXPECT_EQ(FilterTypedChar(etValidChars, u'z', u"", false, u"", English), u'z');  // no list: anything
  EXPECT_EQ(FilterTypedChar(etFloat, u',', u"1", false, u"", Comma()), u',');
}

TEST(VivIzudeEditRules, PastedTextIsTakenOnlyInTheFormTheTypeAccepts) {
  EXPECT_FALSE(AcceptPastedText(etFloat, u"123", English));
  EXPECT_EQ(AcceptPastedText(etFloat, u"1.5", English), std::optional<String>(u"1.5"));
  EXPECT_FALSE(AcceptPastedText(etNumeric, u"1.5", English));
  EXPECT_EQ(AcceptPastedText(etSignedNumeric, u"42", English), std::optional<String>(u"42"));
  EXPECT_EQ(AcceptPastedText(etHex, u"beef", English), std::optional<String>(u"beef"));
  EXPECT_FALSE(AcceptPastedText(etHex, u"be ef", English));
  EXPECT_EQ(AcceptPastedText(etMixedCase, u"o'neil", English), std::optional<String>(u"O'Neil"));
  EXPECT_EQ(AcceptPastedText(etUppercase, u"ab", English), std::optional<String>(u"AB"));
  EXPECT_EQ(AcceptPastedText(etString, u"-any-", English), std::optional<String>(u"-any-"));
}

TEST(VivIzudeEditRules, IntegerPartAndSignPositions) {
  EXPECT_EQ(IntegerPartLength(u"123", English), 4);
  EXPECT_EQ(IntegerPartLength(u"1,234.5", English), 5);
  EXPECT_EQ(DecimalSeparatorPos(u"1,234.5", English), 6);
  EXPECT_EQ(SignToFront(u"12-"), u"-12");
  EXPECT_EQ(SignToFront(u"-12"), u"-12");
  EXPECT_EQ(SignToFront(u""), u"");
}

TEST(VivIzudeEditRules, LookupMatchesByPrefixOrAnywhereAndStripsLineBreaks) {
  const std::vector<String> List{u"Green", u"grey", u"Evergreen", u"gr\r\nass", u"red"};
  auto Texts = [](const std::vector<TVivIzudeLookupMatch>& M) {
    std::vector<String> R;
    for (const auto& X : M) R.push_back(X.Text + u"@" + IntToStr(X.Index));
    return R;
  };
  EXPECT_EQ(Texts(MatchLookupEntries(List, u"gr", {})), (std::vector<String>{u"Green@0", u"grey@1", u"grass@3"}));
  EXPECT_EQ(Texts(MatchLookupEntries(List, u"gr", {true, false})), (std::vector<String>{u"grey@1", u"grass@3"}));
  EXPECT_EQ(Texts(MatchLookupEntries(List, u"GREEN", {false, true})),
            (std::vector<String>{u"Green@0", u"Evergreen@2"}));
  EXPECT_TRUE(MatchLookupEntries(List, u"blue", {}).empty());
}

TEST(VivIzudeEditRules, SortingTheLookupKeepsTheChosenItemSelected) {
  // The need-data handler chose "apple" (index 2 before sorting).
  std::vector<TVivIzudeLookupMatch> M{{u"pear", 0}, {u"Cherry", 1}, {u"apple", -1}};
  Integer ItemIndex = 2;
  SortLookupMatches(M, ItemIndex);
  ASSERT_EQ(M.size(), 3u);
  EXPECT_EQ(M[0].Text, u"apple");
  EXPECT_EQ(M[1].Text, u"Cherry");
  EXPECT_EQ(M[1].Index, 1);
  EXPECT_EQ(ItemIndex, 0);
  EXPECT_EQ(M[ItemIndex].Text, u"apple");
  Integer None = -1, Outside = 7;
  SortLookupMatches(M, None);
  SortLookupMatches(M, Outside);
  EXPECT_EQ(None, -1);
  EXPECT_EQ(Outside, -1);
}

TEST(VivIzudeEditRules, ChosenSuggestionReplacesTheTextOrItsLastPart) {
  EXPECT_EQ(LookupFilterText(u"red;gr", true, u';'), u"gr");
  EXPECT_EQ(LookupFilterText(u"red;gr", false, u';'), u"red;gr");
  EXPECT_EQ(LookupResultText(u"red;gr", u"green", true, u';'), u"red;green;");
  EXPECT_EQ(LookupResultText(u"gr", u"green", true, u';'), u"green;");
  EXPECT_EQ(LookupResultText(u"red;gr", u"green", false, u';'), u"green");
  const std::vector<String> List{u"Alpha", u"alpine"};
  EXPECT_EQ(AutoCompleteEntry(List, u"alp", false), std::optional<String>(u"Alpha"));
  EXPECT_EQ(AutoCompleteEntry(List, u"alp", true), std::optional<String>(u"alpine"));
  EXPECT_FALSE(AutoCompleteEntry(List, u"", false));
}
