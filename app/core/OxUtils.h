#pragma once
// String routines the application uses for its translated texts: "|" to
// line breaks, caption~hint pairs.
#include <string_view>

#include "rtl/Types.h"

// Every occurrence of OldPattern in S, left to right, replaced by
// NewPattern; the search goes on after the inserted text (never rescanned).
// Case-sensitive. An empty OldPattern returns S unchanged.
String ReplaceAllText(const String& S, const String& OldPattern, const String& NewPattern);

// The N-th field (1-based) of S, where every character of Delimiters ends a
// field (a set of 8-bit characters: characters above 255 are never
// delimiters, in Delimiters or in S). Adjacent delimiters give empty fields;
// N = 0, or beyond the last field, gives "".
String ExtractDelimitedField(Integer N, const String& S, std::u16string_view Delimiters);
