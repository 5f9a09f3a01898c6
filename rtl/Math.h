#pragma once
// Rounding and small numeric helpers.
//
// Conversions to Int64 (Round, Trunc, Floor, Ceil) raise ERangeError with
// the text "Invalid floating point operation" for NaN, infinities and
// values outside the Int64 range, instead of undefined behaviour.
#include <concepts>
#include <type_traits>

#include "rtl/Exceptions.h"
#include "rtl/Types.h"

// Banker's rounding (halves go to the even neighbour, as the FPU rounds by
// default), so that totals and percentages match the program's other texts:
// Round(2.5) == 2, Round(3.5) == 4, Round(-2.5) == -2, Round(2.5000001) == 3.
Int64 Round(double value);
Int64 Trunc(double value);  // towards zero
Int64 Floor(double value);  // towards -infinity
Int64 Ceil(double value);   // towards +infinity
double Int(double value);   // integral part as a double, towards zero
double Frac(double value);  // value - Int(value), keeps the sign

// RoundTo and SimpleRoundTo: round to a multiple of 10^digit.
// Both work on the exact decimal value of the double, as Format and
// FormatFloat do, so they agree with them digit for digit:
//   RoundTo: banker's rounding, a tie being an exact half
//     (RoundTo(2.5, 0) == 2, RoundTo(1250, 2) == 1200, RoundTo(0.125, -2) == 0.12,
//      RoundTo(1.235, -2) == 1.24 because 1.235 is really 1.23500000000000009766);
//   SimpleRoundTo: half away from zero (SimpleRoundTo(0.125) == 0.13,
//      SimpleRoundTo(-2.5, 0) == -3, SimpleRoundTo(2.675) == 2.67 because
//      2.675 is really 2.67499999999999982236).
// The result is the double nearest to the rounded decimal.
double RoundTo(double value, Integer digit);
double SimpleRoundTo(double value, Integer digit = -2);

// Min / Max of two numbers of any arithmetic types.
// Mixing signed and unsigned integers is rejected at compile time: cast.
template <typename A, typename B>
requires std::is_arithmetic_v<A> && std::is_arithmetic_v<B>
constexpr std::common_type_t<A, B> Min(A a, B b) {
  static_assert(!(std::is_integral_v<A> && std::is_integral_v<B> && std::is_signed_v<A> != std::is_signed_v<B>),
                "Min of a signed and an unsigned integer: cast one of them");
  using R = std::common_type_t<A, B>;
  return static_cast<R>(a) < static_cast<R>(b) ? static_cast<R>(a) : static_cast<R>(b);
}
template <typename A, typename B>
requires std::is_arithmetic_v<A> && std::is_arithmetic_v<B>
constexpr std::common_type_t<A, B> Max(A a, B b) {
  static_assert(!(std::is_integral_v<A> && std::is_integral_v<B> && std::is_signed_v<A> != std::is_signed_v<B>),
                "Max of a signed and an unsigned integer: cast one of them");
  using R = std::common_type_t<A, B>;
  return static_cast<R>(a) > static_cast<R>(b) ? static_cast<R>(a) : static_cast<R>(b);
}

template <typename T>
requires std::is_arithmetic_v<T>
constexpr bool InRange(T value, T low, T high) { return value >= low && value <= high; }
template <typename T>
requires std::is_arithmetic_v<T>
constexpr T EnsureRange(T value, T low, T high) { return value < low ? low : (value > high ? high : value); }
// -1, 0 or 1.
template <typename T>
requires std::is_arithmetic_v<T>
constexpr Integer Sign(T value) { return value < T(0) ? -1 : (value > T(0) ? 1 : 0); }

// Power(x, 0) == 1 (even for 0 and NaN x), Power(0, y>0)
// == 0, integral exponents are exact repeated multiplication (IntPower) so a
// negative base is fine; a negative base with a fractional exponent gives NaN.
double Power(double base, double exponent);
double IntPower(double base, Integer exponent);
double Log10(double x);
double Log2(double x);
double LogN(double base, double x);
double DegToRad(double degrees);
double RadToDeg(double radians);

bool IsNan(double value);
bool IsInfinite(double value);
// |a - b| <= epsilon; epsilon 0 means a tolerance of
// max(min(|a|, |b|) * 1E-12, 1E-12), relative to the smaller magnitude.
bool SameValue(double a, double b, double epsilon = 0);
bool IsZero(double value, double epsilon = 0);  // epsilon 0 means 1E-12
// -1, 0, 1 (with SameValue's tolerance).
Integer CompareValue(double a, double b, double epsilon = 0);
