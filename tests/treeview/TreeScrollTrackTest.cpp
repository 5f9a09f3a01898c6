// Dragging a styled scroll bar's thumb: the usable maximum, the position a
// cursor movement gives, its clamping and the value a scroll message posts.
#include <gtest/gtest.h>

#include "treeview/VastTreeScrollTrack.h"

TEST(TreeScrollTrack, UsableMaximumLeavesRoomForThePage) {
  EXPECT_EQ(UsableScrollMax({0, 999, 100}), 900);
  EXPECT_EQ(UsableScrollMax({0, 999, 0}), 999);
  EXPECT_EQ(UsableScrollMax({10, 50, 1}), 50);
}

TEST(TreeScrollTrack, CursorMovementMapsTheFreeTrackOntoTheRange) {
  struct TCase {
    double ListPos;
    Integer Prev, Cursor, Track, Thumb;
    TScrollTrackRange Range;
    double Expected;
  };
  const TCase Cases[] = {
      // The whole free track (200 - 50) from the minimum reaches the usable maximum.
      {0, 100, 250, 200, 50, {0, 999, 100}, 900},
      {0, 100, 175, 200, 50, {0, 999, 100}, 450},
      // Past either end: clamped.
      {0, 100, 400, 200, 50, {0, 999, 100}, 900},
      {450, 100, -300, 200, 50, {0, 999, 100}, 0},
      // A minimum above 0 starts the range there.
      {20, 10, 40, 130, 30, {20, 120, 0}, 50},
      // A thumb that fills the track cannot move the position.
      {30, 0, 80, 60, 60, {0, 99, 10}, 30},
  };
  for (const TCase& C : Cases)
    EXPECT_DOUBLE_EQ(TrackedScrollPos(C.ListPos, C.Prev, C.Cursor, C.Track, C.Thumb, C.Range), C.Expected)
        << C.ListPos << " " << C.Cursor;
}

TEST(TreeScrollTrack, PostedPositionRoundsHalvesToEvenAndFitsSixteenBits) {
  EXPECT_EQ(ThumbMessagePos(2.5), 2);
  EXPECT_EQ(ThumbMessagePos(3.5), 4);
  EXPECT_EQ(ThumbMessagePos(3.4), 3);
  EXPECT_EQ(ThumbMessagePos(40000.0), 32767);
  EXPECT_EQ(ThumbMessagePos(32767.0), 32767);
}
