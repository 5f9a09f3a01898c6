#include "rtl/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/Format.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Math, RoundIsBankers) {
  const struct {
    double in;
    Int64 out;
  } cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {1.5, 2},
      {-0.5, 0},
      {2.4999, 2},
      {2.5000001, 3},
      {-2.5000001, -3},
      {0.49999999999999994, 0},
      {1e15 + 0.5, 1000000000000000LL},
      {4503599627370497.0, 4503599627370497LL},
      {-9223372036854775808.0, std::numeric_limits<Int64>::min()},
      {0.0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Round(c.in), c.out) << c.in;
}

TEST(Math, ConversionsRaiseOutsideInt64) {
  for (double bad : {kNaN, kInf, -kInf, 9223372036854775808.0, 1e19, -1e19}) {
    EXPECT_THROW(Round(bad), ERangeError) << bad;
    EXPECT_THROW(Trunc(bad), ERangeError) << bad;
    EXPECT_THROW(Floor(bad), ERangeError) << bad;
    EXPECT_THROW(Ceil(bad), ERangeError) << bad;
  }
  try {
    Round(kNaN);
  } catch (const ERangeError& e) {
    EXPECT_STREQ(e.what(), "Invalid floating point operation");
  }
}

TEST(Math, TruncFloorCeilIntFrac) {
  const struct {
    double in;
    Int64 trunc, floor, ceil;
    double intPart, frac;
  } cases[] = {
      {2.75, 2, 2, 3, 2, 0.75},
      {-2.75, -2, -3, -2, -2, -0.75},
      {-2.5, -2, -3, -2, -2, -0.5},
      {3.0, 3, 3, 3, 3, 0},
      {0.0, 0, 0, 0, 0, 0},
      {-0.25, 0, -1, 0, 0, -0.25},
      {1e15 + 0.5, 1000000000000000LL, 1000000000000000LL, 1000000000000001LL, 1e15, 0.5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Trunc(c.in), c.trunc) << c.in;
    EXPECT_EQ(Floor(c.in), c.floor) << c.in;
    EXPECT_EQ(Ceil(c.in), c.ceil) << c.in;
    EXPECT_EQ(Int(c.in), c.intPart) << c.in;
    EXPECT_EQ(Frac(c.in), c.frac) << c.in;
  }
}

TEST(Math, RoundToAndSimpleRoundTo) {
  const struct {
    double value;
    Integer digit;
    double roundTo, simple;
  } cases[] = {
      {2.5, 0, 2, 3},
      {3.5, 0, 4, 4},
      {-2.5, 0, -2, -3},
      {1250, 2, 1200, 1300},
      {1350, 2, 1400, 1400},
      {1249.9, 2, 1200, 1200},
      {0.125, -2, 0.12, 0.13},  // exact halves
      {1.235, -2, 1.24, 1.24},  // 1.23500000000000009766
      {2.345, -2, 2.35, 2.35},  // 2.34500000000000019984
      {1.115, -2, 1.11, 1.11},  // 1.11499999999999999112
      {2.675, -2, 2.67, 2.67},
      {-1.005, -2, -1.0, -1.0},
      {123.456, -1, 123.5, 123.5},
      {0.0, -2, 0.0, 0.0},
      {0.004, -2, 0.0, 0.0},
      {0.005, -2, 0.01, 0.01},  // 0.005000000000000000104
      {999.96, -1, 1000.0, 1000.0},
      {1e300, -2, 1e300, 1e300},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundTo(c.value, c.digit), c.roundTo) << c.value << " @" << c.digit;
    EXPECT_EQ(SimpleRoundTo(c.value, c.digit), c.simple) << c.value << " @" << c.digit;
  }
  EXPECT_EQ(SimpleRoundTo(3.14159), 3.14);
  EXPECT_TRUE(std::isnan(RoundTo(kNaN, 0)));
  // Agreement with the text conversions, value by value.
  for (int i = 0; i < 2000; ++i) {
    const double v = i * 0.005 - 5;
    EXPECT_EQ(Format(TFormatSettings::Invariant(), u"%.2f", {SimpleRoundTo(v)}),
              Format(TFormatSettings::Invariant(), u"%.2f", {v}))
        << v;
  }
}

TEST(Math, MinMaxAndRanges) {
  EXPECT_EQ(Min(3, 5), 3);
  EXPECT_EQ(Max(3, 5), 5);
  EXPECT_EQ(Min(Int64(1) << 40, 7), 7);
  static_assert(std::is_same_v<decltype(Min(1, Int64(2))), Int64>);
  EXPECT_EQ(Max(2, 2.5), 2.5);
  EXPECT_EQ(Min(-0.5, 1.0), -0.5);
  EXPECT_EQ(Max(7u, static_cast<std::size_t>(9)), 9u);
  EXPECT_TRUE(InRange(5, 1, 5));
  EXPECT_FALSE(InRange(6, 1, 5));
  EXPECT_EQ(EnsureRange(7, 1, 5), 5);
  EXPECT_EQ(EnsureRange(-7, 1, 5), 1);
  EXPECT_EQ(EnsureRange(2.5, 1.0, 5.0), 2.5);
  EXPECT_EQ(Sign(-3), -1);
  EXPECT_EQ(Sign(0.0), 0);
  EXPECT_EQ(Sign(2.5), 1);
}

TEST(Math, PowerAndLogs) {
  const struct {
    double base, exponent, expected;
  } cases[] = {
      {2, 10, 1024}, {2, -2, 0.25}, {-2, 3, -8}, {0, 0, 1}, {kNaN, 0, 1}, {0, 5, 0}, {10, 2, 100}, {4, 0.5, 2},
  };
  for (const auto& c : cases) EXPECT_EQ(Power(c.base, c.exponent), c.expected) << c.base << "^" << c.exponent;
  EXPECT_TRUE(std::isnan(Power(-8, 1.0 / 3.0)));
  EXPECT_EQ(IntPower(3, 4), 81);
  EXPECT_EQ(IntPower(2, -3), 0.125);
  EXPECT_EQ(Log10(1000), 3);
  EXPECT_EQ(Log2(8), 3);
  EXPECT_NEAR(LogN(3, 81), 4, 1e-12);
  EXPECT_NEAR(DegToRad(180), 3.14159265358979, 1e-12);
  EXPECT_NEAR(RadToDeg(DegToRad(37)), 37, 1e-12);
}

TEST(Math, Comparisons) {
  EXPECT_TRUE(IsNan(kNaN));
  EXPECT_FALSE(IsNan(1));
  EXPECT_TRUE(IsInfinite(-kInf));
  EXPECT_TRUE(SameValue(0.1 + 0.2, 0.3));
  EXPECT_FALSE(SameValue(1.0, 1.001));
  EXPECT_TRUE(SameValue(1.0, 1.001, 0.01));
  EXPECT_TRUE(IsZero(1e-13));
  EXPECT_FALSE(IsZero(1e-11));
  EXPECT_EQ(CompareValue(1.0, 2.0), -1);
  EXPECT_EQ(CompareValue(2.0, 1.0), 1);
  EXPECT_EQ(CompareValue(0.1 + 0.2, 0.3), 0);
}

}  // namespace
