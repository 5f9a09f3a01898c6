#pragma once
// The order of folder names as the system's file manager shows them:
// without regard to case, in the user's locale order, not by code point
// ("école" between "eddy" and "Zoé", not after "Zoé").
//
// On Windows the system's own comparison (CompareStringW of the user's
// locale, case ignored); elsewhere the table-driven AnsiCompareText.
#include "rtl/Types.h"

// -1, 0 or 1: the system's order, then, for names it finds equal, code
// points, so that the order is total.
Integer CompareNoms(const String& A, const String& B);
// The system's comparison alone (the platform file): < 0, 0 or > 0.
Integer CompareNomsSysteme(const String& A, const String& B);
