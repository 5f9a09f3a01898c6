#pragma once
// Unicode character categories for the XML parser's classification of code
// points. The table comes from the program resource "CATEGORIES" of type
// "UNICODEDATA" and is decoded on the first classification, on whichever
// thread comes first, under a lock; afterwards it is read without one.
#include "rtl/Types.h"

enum TCharacterCategory : Byte {
  ccLetterUppercase,
  ccLetterLowercase,
  ccLetterTitlecase,
  ccMarkNonSpacing,
  ccMarkSpacingCombining,
  ccMarkEnclosing,
  ccNumberDecimalDigit,
  ccNumberLetter,
  ccNumberOther,
  ccSeparatorSpace,
  ccSeparatorLine,
  ccSeparatorParagraph,
  ccOtherControl,
  ccOtherFormat,
  ccOtherSurrogate,
  ccOtherPrivate,
  ccOtherUnassigned,
  ccLetterModifier,
  ccLetterOther,
  ccPunctuationConnector,
  ccPunctuationDash,
  ccPunctuationOpen,
  ccPunctuationClose,
  ccPunctuationInitialQuote,
  ccPunctuationFinalQuote,
  ccPunctuationOther,
  ccSymbolMath,
  ccSymbolCurrency,
  ccSymbolModifier,
  ccSymbolOther,
  // bidirectional classes
  ccLeftToRight,
  ccLeftToRightEmbedding,
  ccLeftToRightOverride,
  ccRightToLeft,
  ccRightToLeftArabic,
  ccRightToLeftEmbedding,
  ccRightToLeftOverride,
  ccPopDirectionalFormat,
  ccEuropeanNumber,
  ccEuropeanNumberSeparator,
  ccEuropeanNumberTerminator,
  ccArabicNumber,
  ccCommonNumberSeparator,
  ccBoundaryNeutral,
  ccSegmentSeparator,
  ccWhiteSpace,
  ccOtherNeutrals,
  ccLeftToRightIsolate,
  ccRightToLeftIsolate,
  ccFirstStrongIsolate,
  ccPopDirectionalIsolate,
  // binary properties
  ccComposed,
  ccNonBreaking,
  ccSymmetric,
  ccHexDigit,
  ccQuotationMark,
  ccMirroring,
  ccAssigned,
  ccASCIIHexDigit,
  ccBidiControl,
  ccDash,
  ccDeprecated,
  ccDiacritic,
  ccExtender,
  ccHyphen,
  ccIdeographic,
  ccIDSBinaryOperator,
  ccIDSTrinaryOperator,
  ccJoinControl,
  ccLogicalOrderException,
  ccNonCharacterCodePoint,
  ccOtherAlphabetic,
  ccOtherDefaultIgnorableCodePoint,
  ccOtherGraphemeExtend,
  ccOtherIDContinue,
  ccOtherIDStart,
  ccOtherLowercase,
  ccOtherMath,
  ccOtherUppercase,
  ccPatternSyntax,
  ccPatternWhiteSpace,
  ccRadical,
  ccSoftDotted,
  ccSTerm,
  ccTerminalPunctuation,
  ccUnifiedIdeograph,
  ccVariationSelector,
  ccSentenceTerminal,
  ccPrependedQuotationMark,
  ccRegionalIndicator
};
constexpr int CharacterCategoryCount = ccRegionalIndicator + 1;

// Separator space, segment separator or white space (26 code points).
bool IsXmlWhitespace(Cardinal CodePoint);
// A letter (any of the five letter categories) or a letter number.
bool IsXmlNameStart(Cardinal CodePoint);
// A name-start character, a mark (non-spacing or spacing combining), a
// decimal digit, a format character or a connector punctuation.
bool IsXmlNameChar(Cardinal CodePoint);
// Whether the code point has the category (loads the table when needed).
bool CodePointHasCategory(Cardinal CodePoint, TCharacterCategory Category);

// Fills the category table once; later calls return at once. A failed load
// is not retried: the table then answers false for what is missing.
void LoadUnicodeCategories();
// How many times the table was actually decoded in this process (0 or 1).
int UnicodeCategoriesLoadCount();

// The locale's default ANSI code page (the system one when unknown).
Integer LocaleAnsiCodePage(Cardinal Locale);
