#include "treeview/VastTreeScrollTrack.h"

#include <algorithm>
#include <cmath>

Integer UsableScrollMax(const TScrollTrackRange& Range) {
  if (Range.Page == 0) return Range.Max;
  return static_cast<Integer>(static_cast<long long>(Range.Max) - Range.Page + 1);
}

double TrackedScrollPos(double ListPos, Integer PrevCursor, Integer Cursor, Integer TrackLength, Integer ThumbLength,
                        const TScrollTrackRange& Range) {
  const double Low = Range.Min;
  const double High = std::max<double>(Low, UsableScrollMax(Range));
  const Integer Free = TrackLength - ThumbLength;
  double Pos = ListPos;
  if (Free > 0) Pos += static_cast<double>(Cursor - PrevCursor) / Free * (High - Low);
  return std::clamp(Pos, Low, High);
}

Integer ThumbMessagePos(double Pos) {
  const double Rounded = std::nearbyint(Pos);
  return static_cast<Integer>(std::clamp(Rounded, -32768.0, 32767.0));
}
