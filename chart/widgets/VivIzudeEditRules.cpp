#include "chart/widgets/VivIzudeEditRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chart/drawing/VivIzudeTypes.h"
#include "rtl/Format.h"
#include "rtl/SysUtils.h"

namespace {

String WithoutChar(const String& AText, Char C) {
  String R;
  R.reserve(AText.size());
  for (Char Ch : AText)
    if (Ch != C) R += Ch;
  return R;
}

bool IsNumberType(TVivIzudeEditType T) {
  return T == etNumeric || T == etSignedNumeric || T == etFloat || T == etSignedFloat || T == etMoney || T == etHex;
}

String PrecisionSpec(SmallInt P, char Kind) { return u"%." + IntToStr(static_cast<Integer>(P)) + Char(Kind); }

// Control characters that only move or copy text (select all, copy, cut,
// undo) pass every type filter: refusing them would block the clipboard.
bool IsEditingCommand(Char C) { return C == 1 || C == 3 || C == 24 || C == 26; }

}  // namespace

TVivIzudeTextClass ClassifyText(const String& AText, const TFormatSettings& AFormat) {
  if (AText.empty()) return tcText;
  if (std::count(AText.begin(), AText.end(), u'-') > 1) return tcText;
  if (std::count(AText.begin(), AText.end(), AFormat.DecimalSeparator) > 1) return tcText;
  bool AllDigits = true, FloatChars = true, LettersOrDigits = true;
  Integer LastThousand = 0;
  for (size_t I = 0; I < AText.size(); ++I) {
    const Char C = AText[I];
    const bool Digit = CharIsDigit(C);
    AllDigits = AllDigits && Digit;
    FloatChars = FloatChars && (Digit || C == u'.' || C == u',');
    LettersOrDigits = LettersOrDigits && (Digit || CharIsLetter(C));
    if (C == AFormat.ThousandSeparator) {
      const Integer Position = static_cast<Integer>(I) + 1;
      if ((LastThousand == 0 && Position == 1) || (LastThousand != 0 && Position - LastThousand < 3))
        FloatChars = false;
      LastThousand = Position;
    }
  }
  if (AllDigits) return tcNumeric;
  if (FloatChars) return tcFloat;
  if (LettersOrDigits) return tcAlphaNumeric;
  return tcText;
}

String MixedCaseText(const String& AText) {
  String R = AText;
  const Integer Len = static_cast<Integer>(R.size());
  bool Capital = true;
  for (Integer I = 1; I <= Len; ++I) {
    Char& C = R[I - 1];
    if (CharInArray(
            C, {u' ', u',', u'.', u'/', u'\\', u':', u'*', u'$', u'-', u'(', u')', u'[', u']', u'"', u'\'', u'&'})) {
      Capital = true;
    } else if (Capital) {
      C = AnsiUpperChar(C);
      Capital = false;
    } else {
      C = AnsiLowerChar(C);
    }
    const String SoFar = R.substr(0, I);
    if (SoFar == u"Mc" || SoFar == u"Mac") Capital = true;
    if (I > 2 && Pos(u" Mc", R) == I - 2) Capital = true;
    if (I >= Len - 2) {
      if (I >= 2 && R.substr(I - 2, 2) == u" I") Capital = true;
      if (I >= 3 && R.substr(I - 3, 3) == u" II") Capital = true;
    }
  }
  return R;
}

Integer HexTextToInt(const String& AText) {
  std::uint32_t Sum = 0, Weight = 1;
  for (auto It = AText.rbegin(); It != AText.rend(); ++It) {
    const Char C = *It;
    std::uint32_t Digit = 0;
    if (C >= u'0' && C <= u'9')
      Digit = C - u'0';
    else if (C >= u'a' && C <= u'f')
      Digit = C - u'a' + 10;
    else if (C >= u'A' && C <= u'F')
      Digit = C - u'A' + 10;
    Sum += Digit * Weight;
    Weight *= 16;
  }
  return static_cast<Integer>(Sum);
}

double TextToFloat(const String& AText, const TFormatSettings& AFormat) {
  double V = 0;
  if (!TryStrToFloat(WithoutChar(AText, AFormat.ThousandSeparator), V, AFormat)) return 0;
  return V;
}

String StripLineBreaks(const String& AText) {
  String R = AText;
  for (Char C : {u'\r', u'\n', u'\v'})
    if (const auto P = R.find(C); P != String::npos) R.erase(P, 1);
  return R;
}

String NormalizeEditText(const String& AText, const TVivIzudeEditFormat& AEdit, const TFormatSettings& AFormat) {
  String S = AText;
  const TVivIzudeEditType T = AEdit.EditType;
  if (!S.empty() || !AEdit.AllowNumericNullValue) {
    const TVivIzudeTextClass K = ClassifyText(S, AFormat);
    if (T == etNumeric && K != tcNumeric) S = u"0";
    if ((T == etFloat || T == etMoney) && (K == tcText || K == tcAlphaNumeric)) S = u"0";
    if (T == etHex && K != tcNumeric && K != tcAlphaNumeric) S = u"0";
  }
  if (!S.empty() && (T == etFloat || T == etMoney)) {
    const double V = TextToFloat(S, AFormat);
    if (AEdit.PrecisionDisplay == pdShortest)
      S = Format(AFormat, u"%g", {V});
    else if (T == etMoney && AEdit.Precision >= 0)
      S = Format(AFormat, PrecisionSpec(AEdit.Precision, 'n'), {V});
    else if (T == etFloat && AEdit.Precision > 0)
      S = Format(AFormat, PrecisionSpec(AEdit.Precision, 'f'), {V});
  }
  if (T == etUppercase || T == etHex) S = AnsiUpperCase(S);
  if (T == etLowerCase) S = AnsiLowerCase(S);
  return S;
}

double EditFloatValue(TVivIzudeEditType AType, const String& AText, const TFormatSettings& AFormat) {
  if (AText.empty() && IsNumberType(AType)) return 0;
  switch (AType) {
    case etString: {
      String S = AText;
      if (AFormat.DecimalSeparator == u',') std::replace(S.begin(), S.end(), u',', u'.');
      double V = 0;
      Integer Code = 0;
      Val(S, V, Code);
      return V;
    }
    case etNumeric:
    case etSignedNumeric:  // its value, sign kept, like the other number types
    case etFloat:
    case etSignedFloat:
      return AText == u"-" ? 0 : TextToFloat(AText, AFormat);
    case etMoney: {
      String S = WithoutChar(AText, AFormat.ThousandSeparator);
      if (!S.empty() && S.back() == AFormat.DecimalSeparator) S.pop_back();
      return S.empty() || S == u"-" ? 0 : TextToFloat(S, AFormat);
    }
    case etHex:
      return HexTextToInt(AText);
    default:
      return 0;
  }
}

Integer EditIntValue(TVivIzudeEditType AType, const String& AText, const TFormatSettings& AFormat) {
  Integer V = 0, Code = 0;
  switch (AType) {
    case etNumeric:
    case etSignedNumeric:
    case etFloat:
    case etSignedFloat:
      Val(AText, V, Code);
      return V;
    case etMoney:
      Val(WithoutChar(AText, AFormat.ThousandSeparator), V, Code);
      return V;
    case etHex:
      return AText.empty() ? 0 : HexTextToInt(AText);
    default:
      return 0;
  }
}

std::optional<String> FloatValueText(double AValue, const TVivIzudeEditFormat& AEdit, const TFormatSettings& AFormat) {
  const auto Fixed = [&] {
    return AEdit.Precision < 0 ? Format(AFormat, u"%g", {AValue})
                               : Format(AFormat, PrecisionSpec(AEdit.Precision, 'f'), {AValue});
  };
  switch (AEdit.EditType) {
    case etString:
    case etFloat:
    case etSignedFloat:
    case etSignedNumeric:
      return Fixed();
    case etNumeric:
      // Without thousand separators: a grouped text is not numeric and the
      // Text assignment would turn every value from 1000 up into "0".
      return Fixed();
    case etMoney:
      return FormatMoneyText(Fixed(), AEdit.AutoThousandSeparator, AFormat);
    case etHex:
      if (!std::isfinite(AValue) || std::fabs(AValue) >= 9.2e18) return u"0";
      return IntToHex(static_cast<Int64>(std::trunc(AValue)), 0);
    default:
      return std::nullopt;
  }
}

std::optional<String> IntValueText(Integer AValue, const TVivIzudeEditFormat& AEdit, const TFormatSettings& AFormat) {
  switch (AEdit.EditType) {
    case etNumeric:
    case etSignedNumeric:
    case etFloat:
    case etSignedFloat:
      return IntToStr(AValue);
    case etMoney:
      return FormatMoneyText(IntToStr(AValue), AEdit.AutoThousandSeparator, AFormat);
    case etHex:
      return IntToHex(AValue, 0);
    default:
      return std::nullopt;
  }
}

String FormatMoneyText(const String& AText, bool AAutoThousandSeparator, const TFormatSettings& AFormat) {
  if (AText.empty()) return AText;
  const String Sign = AText[0] == u'-' ? u"-" : u"";
  const String Unsigned = AText.substr(Sign.size());
  const auto Dec = Unsigned.find(AFormat.DecimalSeparator);
  const String Fraction = Dec == String::npos ? String() : Unsigned.substr(Dec, 255);
  const double Whole = std::trunc(std::fabs(EditFloatValue(etMoney, AText, AFormat)));
  String Integral = Format(AFormat, AAutoThousandSeparator ? u"%n" : u"%f", {Whole});
  if (const auto P = Integral.find(AFormat.DecimalSeparator); P != String::npos) Integral.erase(P);
  return Sign + Integral + Fraction;
}

Char FilterTypedChar(TVivIzudeEditType AType, Char AKey, const String& AText, bool AWholeSelected,
                     const String& AValidChars, const TFormatSettings& AFormat) {
  if (IsEditingCommand(AKey)) return AKey;
  const bool Digit = CharIsDigit(AKey);
  const bool Decimal = AKey == AFormat.DecimalSeparator;
  const bool HasDecimal = AText.find(AFormat.DecimalSeparator) != String::npos;
  switch (AType) {
    case etNumeric:
      return Digit ? AKey : 0;
    case etSignedNumeric:
    case etSignedFloat:
      if (Digit) return AKey;
      if (Decimal) return HasDecimal ? 0 : AKey;
      if (AKey == u'-') return AText.find(u'-') == String::npos || AWholeSelected ? AKey : 0;
      return 0;
    case etFloat:
      if (Digit) return AKey;
      return Decimal && !HasDecimal ? AKey : 0;
    case etMoney:
      return Digit || Decimal || AKey == AFormat.ThousandSeparator ? AKey : 0;
    case etHex:
      return CharIsHex(AKey) ? AKey : 0;
    case etAlphaNumeric:
      return CharIsLetterOrDigit(AKey) ? AKey : 0;
    case etValidChars:
      if (AValidChars.empty()) return AKey;
      return AnsiUpperCase(AValidChars).find(AnsiUpperChar(AKey)) != String::npos ? AKey : 0;
    case etUppercase:
      return AnsiUpperChar(AKey);
    case etLowerCase:
      return AnsiLowerChar(AKey);
    default:
      return AKey;
  }
}

std::optional<String> AcceptPastedText(TVivIzudeEditType AType, const String& AText, const TFormatSettings& AFormat) {
  const TVivIzudeTextClass K = ClassifyText(AText, AFormat);
  switch (AType) {
    case etNumeric:
    case etSignedNumeric:
      if (K == tcNumeric) return AText;
      return std::nullopt;
    case etFloat:
    case etSignedFloat:
    case etMoney:
      if (K == tcFloat) return AText;
      return std::nullopt;
    case etHex:
      if (K == tcNumeric || K == tcAlphaNumeric) return AText;
      return std::nullopt;
    case etUppercase:
      return AnsiUpperCase(AText);
    case etLowerCase:
      return AnsiLowerCase(AText);
    case etMixedCase:
      return MixedCaseText(AText);
    default:
      return AText;
  }
}

Integer DecimalSeparatorPos(const String& AText, const TFormatSettings& AFormat) {
  const auto P = AText.find(AFormat.DecimalSeparator);
  return P == String::npos ? static_cast<Integer>(AText.size()) + 1 : static_cast<Integer>(P) + 1;
}

Integer IntegerPartLength(const String& AText, const TFormatSettings& AFormat) {
  return DecimalSeparatorPos(WithoutChar(AText, AFormat.ThousandSeparator), AFormat);
}

String SignToFront(const String& AText) {
  const auto P = AText.find(u'-', 1);
  if (AText.empty() || P == String::npos) return AText;
  String R = AText;
  R.erase(P, 1);
  return u"-" + R;
}

namespace {

bool StartsWithText(const String& AEntry, const String& AText, bool ACaseSensitive) {
  if (AText.size() > AEntry.size()) return false;
  const String Head = AEntry.substr(0, AText.size());
  return ACaseSensitive ? Head == AText : AnsiUpperCase(Head) == AnsiUpperCase(AText);
}

}  // namespace

std::vector<TVivIzudeLookupMatch> MatchLookupEntries(const std::vector<String>& ADisplayList, const String& AText,
                                                     const TVivIzudeLookupOptions& AOptions) {
  std::vector<TVivIzudeLookupMatch> R;
  const String Upper = AnsiUpperCase(AText);
  for (size_t I = 0; I < ADisplayList.size(); ++I) {
    const String& E = ADisplayList[I];
    bool Match = StartsWithText(E, AText, AOptions.CaseSensitive);
    if (!Match && !AOptions.CaseSensitive && AOptions.FullTextSearch)
      Match = AnsiUpperCase(E).find(Upper) != String::npos;
    if (Match) R.push_back({StripLineBreaks(E), static_cast<Integer>(I)});
  }
  return R;
}

void SortLookupMatches(std::vector<TVivIzudeLookupMatch>& AMatches, Integer& AItemIndex) {
  const Integer Count = static_cast<Integer>(AMatches.size());
  std::vector<Integer> Order(AMatches.size());
  for (Integer I = 0; I < Count; ++I) Order[I] = I;
  std::stable_sort(Order.begin(), Order.end(),
                   [&](Integer A, Integer B) { return AnsiCompareText(AMatches[A].Text, AMatches[B].Text) < 0; });
  std::vector<TVivIzudeLookupMatch> Sorted;
  Sorted.reserve(AMatches.size());
  Integer NewIndex = -1;
  for (Integer I = 0; I < Count; ++I) {
    if (Order[I] == AItemIndex) NewIndex = I;
    Sorted.push_back(std::move(AMatches[Order[I]]));
  }
  AMatches = std::move(Sorted);
  AItemIndex = NewIndex;
}

std::optional<String> AutoCompleteEntry(const std::vector<String>& ADisplayList, const String& AText,
                                        bool ACaseSensitive) {
  if (AText.empty()) return std::nullopt;
  for (const String& E : ADisplayList)
    if (StartsWithText(E, AText, ACaseSensitive)) return StripLineBreaks(E);
  return std::nullopt;
}

String LookupFilterText(const String& AText, bool AMulti, Char ASeparator) {
  if (!AMulti) return AText;
  const auto P = AText.rfind(ASeparator);
  return P == String::npos ? AText : AText.substr(P + 1);
}

String LookupResultText(const String& AText, const String& AValue, bool AMulti, Char ASeparator) {
  if (!AMulti) return AValue;
  const auto P = AText.rfind(ASeparator);
  const String Head = P == String::npos ? String() : AText.substr(0, P + 1);
  return Head + AValue + ASeparator;
}
