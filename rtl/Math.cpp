#include "rtl/Math.h"

#include "rtl/FormatDecimal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

[[noreturn]] void InvalidOp() { throw ERangeError(u"Invalid floating point operation"); }

// An integral double to Int64, raising outside [-2^63, 2^63).
Int64 ToInt64(double integral) {
  constexpr double kTwo63 = 9223372036854775808.0;
  if (!(integral >= -kTwo63 && integral < kTwo63)) InvalidOp();  // also NaN
  return static_cast<Int64>(integral);
}

}  // namespace

Int64 Round(double value) {
  // nearbyint follows the current rounding mode, which the program never
  // changes from round-to-nearest-even: halves go to the even neighbour.
  return ToInt64(std::nearbyint(value));
}

Int64 Trunc(double value) { return ToInt64(std::trunc(value)); }

Int64 Floor(double value) { return ToInt64(std::floor(value)); }

Int64 Ceil(double value) { return ToInt64(std::ceil(value)); }

double Int(double value) { return std::trunc(value); }

double Frac(double value) {
  if (std::isinf(value)) return std::numeric_limits<double>::quiet_NaN();
  return value - std::trunc(value);
}

namespace {

// Rounds the exact decimal value of `value` to a multiple of 10^digit, so
// that RoundTo/SimpleRoundTo agree with Format and FormatFloat digit for digit.
double RoundToDigit(double value, Integer digit, bool halfEven) {
  if (!std::isfinite(value) || value == 0) return value;
  rtl_detail::ExactDecimal d = rtl_detail::Expand(value);
  rtl_detail::RoundDigits(d, static_cast<long long>(d.exponent) - digit, halfEven);
  return rtl_detail::ToDouble(std::signbit(value), d);
}

}  // namespace

double RoundTo(double value, Integer digit) { return RoundToDigit(value, digit, true); }

double SimpleRoundTo(double value, Integer digit) { return RoundToDigit(value, digit, false); }

double IntPower(double base, Integer exponent) {
  long long e = exponent;
  const bool invert = e < 0;
  if (invert) e = -e;
  double result = 1;
  double b = base;
  while (e > 0) {
    if (e & 1) result *= b;
    b *= b;
    e >>= 1;
  }
  return invert ? 1 / result : result;
}

double Power(double base, double exponent) {
  if (exponent == 0) return 1;
  if (base == 0 && exponent > 0) return 0;
  if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0)
    return IntPower(base, static_cast<Integer>(exponent));
  return std::pow(base, exponent);  // NaN for a negative base
}

double Log10(double x) { return std::log10(x); }

double Log2(double x) { return std::log2(x); }

double LogN(double base, double x) { return std::log(x) / std::log(base); }

double DegToRad(double degrees) { return degrees * (3.14159265358979323846 / 180.0); }

double RadToDeg(double radians) { return radians * (180.0 / 3.14159265358979323846); }

bool IsNan(double value) { return std::isnan(value); }

bool IsInfinite(double value) { return std::isinf(value); }

bool SameValue(double a, double b, double epsilon) {
  if (epsilon == 0) {
    constexpr double kResolution = 1e-12;
    epsilon = std::max(std::min(std::fabs(a), std::fabs(b)) * kResolution, kResolution);
  }
  if (a > b) return a - b <= epsilon;
  return b - a <= epsilon;
}

bool IsZero(double value, double epsilon) {
  if (epsilon == 0) epsilon = 1e-12;
  return std::fabs(value) <= epsilon;
}

Integer CompareValue(double a, double b, double epsilon) {
  if (SameValue(a, b, epsilon)) return 0;
  return a < b ? -1 : 1;
}
