#pragma once
// Internal to the run-time library: the exact decimal value of a double and
// decimal rounding on it, shared by the float-to-text engine (Format.cpp)
// and Math's RoundTo/SimpleRoundTo so that every rounding agrees.
#include <string>

namespace rtl_detail {

struct ExactDecimal {
  std::string digits;  // '0'..'9', no leading or trailing zeros; empty for zero
  int exponent = 0;    // value = 0.<digits> * 10^exponent
};

// The exact decimal expansion of |value| (value finite).
ExactDecimal Expand(double value);

// Keeps `keep` leading digits, rounding the rest away: half away from zero,
// or half to even when halfEven (a tie is only an exact ...5 with nothing
// after it). keep <= 0 keeps nothing (the result may still round up to one
// unit of the digit before the first one). Trailing zeros are removed; a
// result of zero has empty digits and exponent 0.
void RoundDigits(ExactDecimal& d, long long keep, bool halfEven);

// The double nearest to (negative ? -1 : 1) * 0.<digits> * 10^exponent.
double ToDouble(bool negative, const ExactDecimal& d);

}  // namespace rtl_detail
