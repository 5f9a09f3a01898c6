#pragma once
// Bounds of the walks that grids, axis labels and hit tests make over value
// steps and point indices. A range, unit or scale from a damaged settings
// file must neither make a paint walk billions of steps nor stand it still.
#include <cmath>

#include "rtl/Types.h"

// The most lines or labels one walk along the value axis gives: far more
// than any screen has pixels.
constexpr int MaxAxisSteps = 20000;

// Whether a walk from From by Step up to Limit would take more than
// MaxAxisSteps steps, or cannot be counted (a step or bound not finite).
inline bool TooManySteps(double From, double Limit, double Step) { return !((Limit - From) / Step <= MaxAxisSteps); }

// Moves a walked value on to Next. False when Next is the value itself: the
// step is lost in the value's precision (a step of 10 at 1e20), and a walk
// that went on would stand still.
inline bool MoveOn(double& Value, double Next) {
  const bool Moved = Next != Value;
  Value = Next;
  return Moved;
}

// The multiples of Step among the point indices From..To in increasing
// order, thinned to about one per pixel: where a step is under a pixel
// (XScale pixels per index) only every k-th multiple is visited, k the
// fewest steps that move a whole pixel, and with no scale at all only the
// first. A walk so costs the pixels of the range, not its indices. Counted
// in 64 bits, so To may be the largest Integer.
class TXIndexWalk {
public:
  TXIndexWalk(Int64 From, Int64 To, Int64 Step, double XScale) : FTo(To) {
    if (Step < 0) Step = -Step;
    if (Step == 0 || From > To) {
      FIndex = To + 1;
      return;
    }
    const Int64 R = ((From % Step) + Step) % Step;
    FIndex = R == 0 ? From : From + (Step - R);
    const double Span = double(To - From) + 1, PixelsPerStep = double(Step) * std::fabs(XScale);
    double Stride = Step;
    if (!(PixelsPerStep >= 1)) Stride = PixelsPerStep > 0 ? Step * std::ceil(1 / PixelsPerStep) : Span;
    FStride = Stride >= Span ? static_cast<Int64>(Span) : static_cast<Int64>(Stride);
  }
  bool Done() const { return FIndex > FTo; }
  Int64 Index() const { return FIndex; }
  void Next() { FIndex = FIndex > FTo - FStride ? FTo + 1 : FIndex + FStride; }

private:
  Int64 FIndex = 0, FTo, FStride = 1;
};
