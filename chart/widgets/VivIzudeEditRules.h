#pragma once
// The typed edit's rules that need no window: which characters each edit
// type takes, how a text is classified, converted to a number and written
// back, the mixed-case rule, and which suggestions a lookup list shows in
// which order. The format settings are always passed in.
#include <optional>
#include <vector>

#include "rtl/FormatSettings.h"
#include "rtl/Types.h"

enum TVivIzudeEditType : Byte {
  etString,
  etNumeric,
  etSignedNumeric,
  etFloat,
  etSignedFloat,
  etUppercase,
  etMixedCase,
  etLowerCase,
  etMoney,
  etHex,
  etAlphaNumeric,
  etValidChars
};

enum TVivIzudeEditPrecisionDisplay : Byte { pdNormal, pdShortest };

// What a text looks like: only digits; digits with '.' or ',' (in sound
// thousand groups); letters and digits; anything else (the empty text too).
enum TVivIzudeTextClass { tcText, tcNumeric, tcFloat, tcAlphaNumeric };

inline bool IsFloatEditType(TVivIzudeEditType T) { return T == etFloat || T == etSignedFloat || T == etMoney; }

TVivIzudeTextClass ClassifyText(const String& AText, const TFormatSettings& AFormat);

// Capitals after separators and in "Mc", "Mac" and trailing " I"/" II".
String MixedCaseText(const String& AText);

// Hexadecimal digits from the right; any other character weighs 0; the sum
// wraps at 32 bits.
Integer HexTextToInt(const String& AText);

// Thousand separators dropped, then read with the settings; 0 when that fails.
double TextToFloat(const String& AText, const TFormatSettings& AFormat);

// The first CR, the first LF and the first VT removed.
String StripLineBreaks(const String& AText);

// The text a Text assignment stores for this edit type.
struct TVivIzudeEditFormat {
  TVivIzudeEditType EditType = etString;
  SmallInt Precision = 0;
  TVivIzudeEditPrecisionDisplay PrecisionDisplay = pdNormal;
  bool AllowNumericNullValue = false;
  bool AutoThousandSeparator = true;
};
String NormalizeEditText(const String& AText, const TVivIzudeEditFormat& AEdit, const TFormatSettings& AFormat);

// The number a text stands for; conversions never raise.
double EditFloatValue(TVivIzudeEditType AType, const String& AText, const TFormatSettings& AFormat);
Integer EditIntValue(TVivIzudeEditType AType, const String& AText, const TFormatSettings& AFormat);

// The text written for a number (before the Text assignment); nothing for
// the types whose text a number does not change.
std::optional<String> FloatValueText(double AValue, const TVivIzudeEditFormat& AEdit, const TFormatSettings& AFormat);
std::optional<String> IntValueText(Integer AValue, const TVivIzudeEditFormat& AEdit, const TFormatSettings& AFormat);

// A money text with its integer part grouped again (or ungrouped), sign and
// fraction kept; the empty text stays empty.
String FormatMoneyText(const String& AText, bool AAutoThousandSeparator, const TFormatSettings& AFormat);

// The character typed into a text of this type: Key itself, Key with its
// case changed, or 0 when the type refuses it. AWholeSelected: the whole
// text is selected (a second '-' then replaces the first).
Char FilterTypedChar(TVivIzudeEditType AType, Char AKey, const String& AText, bool AWholeSelected,
                     const String& AValidChars, const TFormatSettings& AFormat);

// The clipboard text as this type takes it, or nothing when refused.
std::optional<String> AcceptPastedText(TVivIzudeEditType AType, const String& AText, const TFormatSettings& AFormat);

// Position (1-based) of the decimal separator, or length + 1.
Integer DecimalSeparatorPos(const String& AText, const TFormatSettings& AFormat);
// The same in the text without thousand separators.
Integer IntegerPartLength(const String& AText, const TFormatSettings& AFormat);

// A '-' after the first position moved to the front; the text unchanged
// when there is none.
String SignToFront(const String& AText);

// One suggestion: its text as shown and its index in the display list (-1
// for one added by the need-data handler).
struct TVivIzudeLookupMatch {
  String Text;
  Integer Index = -1;
};

struct TVivIzudeLookupOptions {
  bool CaseSensitive = false;
  bool FullTextSearch = false;
};

// The display-list entries that match, in display-list order.
std::vector<TVivIzudeLookupMatch> MatchLookupEntries(const std::vector<String>& ADisplayList, const String& AText,
                                                     const TVivIzudeLookupOptions& AOptions);

// Sorts the suggestions as the list box shows them (ignoring case, stable)
// and moves AItemIndex with the item it named, so that the selection set
// afterwards is the item chosen before sorting (-1 stays -1; an index
// outside the list becomes -1).
void SortLookupMatches(std::vector<TVivIzudeLookupMatch>& AMatches, Integer& AItemIndex);

// The first entry the text starts with (case as asked), or nothing.
std::optional<String> AutoCompleteEntry(const std::vector<String>& ADisplayList, const String& AText,
                                        bool ACaseSensitive);

// The text a chosen suggestion leaves: with Multi, everything up to and
// including the last separator, the value and the separator.
String LookupResultText(const String& AText, const String& AValue, bool AMulti, Char ASeparator);
// The part of the text the lookup filters by.
String LookupFilterText(const String& AText, bool AMulti, Char ASeparator);
