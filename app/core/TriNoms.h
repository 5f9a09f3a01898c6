#pragma once
// The order of folder names as the system's file manager shows them:
// without regard to case, in the user's locale order, not by code point
// ("école" between "eddy" and "Zoé", not after "Zoé").
//
// On Windows the system's own comparison (CompareStringW of the user's
// locale, case ignored); elsewhere the table-driven AnsiCompareText. Tests
// may install another comparison.
#include <functional>
#include <vector>

#include "rtl/Types.h"

// < 0, 0 or > 0.
using TCompareNoms = std::function<Integer(const String& A, const String& B)>;

// Installs Func (nullptr restores the system's) and returns the previous
// one. User-interface thread, before a scan starts.
TCompareNoms SetCompareNoms(TCompareNoms Func);
// A and B through the installed comparison; equal names under it are then
// ordered by code point, so that the order is total.
Integer CompareNoms(const String& A, const String& B);
// The system's comparison alone (the platform file).
Integer CompareNomsSysteme(const String& A, const String& B);
