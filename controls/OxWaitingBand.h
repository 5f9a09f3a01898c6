#pragma once
// The busy bar's portable side: where the gradient band is at each step of
// its sweep, and how the band is rendered. The control itself
// (controls/win/OxWaitingGradient.h) keeps the band in a bitmap and copies
// it at the sweep's position.
#include "controls/ControlCanvas.h"
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

// The band enters from the left, travels 2 pixels per step until its right
// edge reaches the control's right edge, jumps out past the right edge with
// its colours swapped, comes back leftward until its left edge reaches 0,
// and jumps out past the left edge.
class TWaitingBandSweep {
public:
  Integer GradientWidth() const { return FGradientWidth; }
  bool FromLeftToRight() const { return FFromLeftToRight; }
  Integer LeftOffset() const { return FLeftOffset; }
  // The band's part copied (SourceRect) and where it goes (DestRect).
  const TRect& SourceRect() const { return FSourceRect; }
  const TRect& DestRect() const { return FDestRect; }

  // Values <= 0 are ignored (false). Otherwise the band restarts just
  // beyond the left edge, in the same direction.
  bool SetGradientWidth(Integer Value, Integer Height);
  // Just beyond the left edge again; the direction stays.
  void Restart() { FLeftOffset = -FGradientWidth; }
  // The control's height changed; the offset stays.
  void Resize(Integer Height);
  // One step across a control Width pixels wide. Answers true when the
  // band reversed, so its colours must be swapped.
  bool Step(Integer Width);

private:
  Integer FGradientWidth = 50;
  bool FFromLeftToRight = true;
  Integer FLeftOffset = -50;
  TRect FSourceRect{0, 0, 50, 0};
  TRect FDestRect{0, 0, 50, 0};
};

// Renders the band of GradientWidth x Height pixels at (0, 0): from
// StartColor at its trailing edge to just short of EndColor at its leading
// edge (the edge in the direction of motion), in min(GradientWidth,
// ControlWidth) bands spread over the whole width. Nothing for a width of
// 0 or less.
void RenderWaitingBand(IControlCanvas& Canvas, TColor StartColor, TColor EndColor, bool FromLeftToRight,
                       Integer GradientWidth, Integer Height, Integer ControlWidth);
