#pragma once
// Small string routines of the controls. Texts are UTF-16, positions
// 1-based, and a space is the character 32 only. ReplaceAllText and
// ExtractDelimitedField, which the application uses too, come from
// rtl/SysUtils.h.
#include "rtl/FormatSettings.h"
#include "rtl/Geometry.h"
#include "rtl/SysUtils.h"
#include "rtl/Types.h"

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
