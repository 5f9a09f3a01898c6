// The basic toolkit: character tests, float rectangle helpers and margins.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "chart/drawing/VivIzudeTypes.h"

TEST(VivIzudeTypes, CharacterTests) {
  EXPECT_TRUE(CharIsHex(u'F'));
  EXPECT_TRUE(CharIsHex(u'f'));
  EXPECT_TRUE(CharIsHex(u'0'));
  EXPECT_FALSE(CharIsHex(u'g'));
  EXPECT_TRUE(CharIsLetter(u'a'));
  EXPECT_TRUE(CharIsLetter(u'\u00E9'));
  EXPECT_TRUE(CharIsLetter(u'\u0416'));  // Cyrillic Zhe
  EXPECT_FALSE(CharIsLetter(u'1'));
  EXPECT_TRUE(CharIsDigit(u'7'));
  EXPECT_FALSE(CharIsDigit(u'x'));
  // Decimal digits of other scripts are digits, not letters; numbers that
  // are not decimal digits are neither.
  for (Char Digit : {u'\u0663', u'\u06F5', u'\u0967', u'\u0E59', u'\uFF10', u'\uFF19', u'\uABF9'}) {
    EXPECT_TRUE(CharIsDigit(Digit)) << int(Digit);
    EXPECT_FALSE(CharIsLetter(Digit)) << int(Digit);
    EXPECT_TRUE(CharIsLetterOrDigit(Digit)) << int(Digit);
  }
  for (Char Other : {u'\u00B2', u'\u2155', u'\u216B', u'\u065F', u'\uFF1A', u'\u002F', u'\u003A'})
    EXPECT_FALSE(CharIsDigit(Other)) << int(Other);
  EXPECT_TRUE(CharIsLetterOrDigit(u'7'));
  EXPECT_FALSE(CharIsLetterOrDigit(u'-'));
  EXPECT_TRUE(CharInArray(u'-', {u'+', u'-'}));
  EXPECT_FALSE(CharInArray(u'*', {u'+', u'-'}));
}

TEST(VivIzudeTypes, RectangleHelpers) {
  TRectF R{0, 0, 10, 10};
  EXPECT_TRUE(PtInRectF(R, {0, 0}));
  EXPECT_FALSE(PtInRectF(R, {10, 5}));
  EXPECT_EQ(InflateRectF(R, 2, 1), (TRectF{-2, -1, 12, 11}));
  EXPECT_TRUE(IntersectsRectF({0, 0, 5, 5}, {4, 4, 9, 9}));
  EXPECT_FALSE(IntersectsRectF({0, 0, 5, 5}, {5, 0, 9, 9}));
  EXPECT_TRUE(IsRectEmptyF({5, 0, 5.00001f, 10}));
  EXPECT_TRUE(IsRectEmptyF({6, 0, 5, 10}));
  EXPECT_TRUE(IsRectEmptyF({0, 0, std::numeric_limits<float>::quiet_NaN(), 10}));
  EXPECT_FALSE(IsRectEmptyF({0, 0, 1, 1}));

  float Scale = 0;
  const TRectF Fit = FitRectF({0, 0, 200, 100}, {0, 0, 100, 100}, Scale);
  EXPECT_FLOAT_EQ(Scale, 2);
  EXPECT_EQ(Fit, (TRectF{0, 25, 100, 75}));
  EXPECT_EQ(FitRectF({0, 0, 3, 3}, {0, 0, 0, 10}, Scale), (TRectF{0, 0, 3, 3}));
  EXPECT_FLOAT_EQ(Scale, 1);

  EXPECT_EQ(SnapRectF({1.7f, 2.2f, 4.6f, 5.1f}, false, 0), SnapRectF({1.7f, 2.2f, 4.6f, 5.1f}, false, 1));
  const TRectF Half = SnapRectF({1, 1, 3, 3}, true, 2);
  EXPECT_FLOAT_EQ(Half.Left, 1.25f);
  EXPECT_FLOAT_EQ(Half.Bottom, 3.25f);
  EXPECT_EQ(IntersectRectF({0, 0, 2, 2}, {5, 5, 6, 6}), (TRectF{0, 0, 0, 0}));
  EXPECT_EQ(IntersectRectF({0, 0, 8, 8}, {2, 3, 6, 10}), (TRectF{2, 3, 6, 8}));
  // Halves to even.
  EXPECT_EQ(ConvertToRect({0.5f, 1.5f, 2.5f, 3.49f}), (TRect{0, 2, 2, 3}));
  EXPECT_EQ(ConvertToSize({2.5f, 3.5f}), (TSize{2, 4}));
  EXPECT_EQ(CenterInRectF({0, 0, 3, 3}, {10, 10, 20, 20}), (TRectF{14, 14, 17, 17}));  // 3.5 rounds to 4
  EXPECT_FLOAT_EQ(VectorLengthF({3, 4}), 5);
  EXPECT_EQ(CenterPointF({0, 0, 4, 6}), (TPointF{2, 3}));
}

TEST(VivMargins, EmptinessAndChangeEvents) {
  TVivMargins M;
  EXPECT_TRUE(M.Empty());
  int Changes = 0;
  M.OnChange = [&Changes](TObject*) { ++Changes; };
  M.SetLeft(0);
  EXPECT_EQ(Changes, 0);
  M.SetLeft(5);
  M.SetRight(5);
  M.SetTop(5);
  M.SetBottom(5);
  EXPECT_EQ(Changes, 4);
  EXPECT_TRUE(M.Empty());
  M.SetLeft(std::numeric_limits<float>::quiet_NaN());
  M.SetLeft(std::numeric_limits<float>::quiet_NaN());  // never equal to itself
  EXPECT_EQ(Changes, 6);
  TVivMargins Other(TRectF{1, 2, 3, 4});
  EXPECT_FALSE(Other.Empty());
  int OtherChanges = 0;
  Other.OnChange = [&OtherChanges](TObject*) { ++OtherChanges; };
  Other.Assign(&M);
  EXPECT_EQ(OtherChanges, 0);
  EXPECT_FLOAT_EQ(Other.Top(), 5);
  Other.SetLeft(1);
  EXPECT_EQ(Other.PaddingRect({0, 0, 100, 100}), (TRectF{1, 5, 95, 95}));
}
