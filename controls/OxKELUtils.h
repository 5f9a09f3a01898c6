#pragma once
// Small string routines of the controls (and of the application's
// translated texts). Texts are UTF-16, positions 1-based, and a space is
// the character 32 only.
#include <string_view>

#include "rtl/FormatSettings.h"
#include "rtl/Geometry.h"
#include "rtl/Types.h"

// Every occurrence of OldPattern in S, left to right, replaced by
// NewPattern; the search goes on after the inserted text, which is never
// searched again. Case-sensitive. An empty OldPattern returns S unchanged.
String ReplaceAllText(const String& S, const String& OldPattern, const String& NewPattern);

// The N-th field (1-based) of S, where every character of Delimiters ends a
// field. Delimiters is a set of 8-bit characters: characters above 255 are
// never delimiters. Adjacent delimiters give empty fields; N = 0, or a field
// beyond the last, gives "".
String ExtractDelimitedField(Integer N, const String& S, std::u16string_view Delimiters);

String RemoveChar(const String& S, Char C);
String TrimLeadingSpaces(const String& S);
String TrimTrailingSpaces(const String& S);
String TrimSpaces(const String& S);
// N copies of C; "" for N <= 0.
String RepeatChar(Char C, Integer N);

// Prepares a user's number text for the float conversion of Settings (the
// process default when not given): spaces trimmed, thousand separators
// dropped (unless they are the decimal separator too), '.' and ',' taken as
// the decimal separator when the locale uses neither for anything, every
// other character dropped. "" becomes "0" and a lone "-" becomes "-0".
String NormalizeNumberText(const String& S);
String NormalizeNumberText(const String& S, const TFormatSettings& Settings);

Integer AbsRectWidth(const TRect& R);
Integer AbsRectHeight(const TRect& R);
