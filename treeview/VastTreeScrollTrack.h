#pragma once
// The arithmetic of dragging a styled scroll bar's thumb: where the
// position goes for a cursor movement, and the value posted to the tree.
#include "rtl/Types.h"

// A bar's scroll information as the system gives it.
struct TScrollTrackRange {
  Integer Min = 0;
  Integer Max = 0;
  Cardinal Page = 0;
};

// The highest position the thumb can reach: Max - Page + 1 with a page,
// else Max.
Integer UsableScrollMax(const TScrollTrackRange& Range);

// The position after the cursor moved from PrevCursor to Cursor along a
// track of TrackLength with a thumb of ThumbLength, starting from ListPos;
// clamped to Min..usable maximum. A thumb that fills its track cannot move:
// the position stays ListPos (clamped).
double TrackedScrollPos(double ListPos, Integer PrevCursor, Integer Cursor, Integer TrackLength, Integer ThumbLength,
                        const TScrollTrackRange& Range);

// The position a scroll message carries: Pos rounded halves to even, at
// most 32767 (the message has 16 bits for it).
Integer ThumbMessagePos(double Pos);
