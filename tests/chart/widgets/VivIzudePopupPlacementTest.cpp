#include "chart/widgets/VivIzudePopupPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

std::ostream& operator<<(std::ostream& Out, const TRect& R) {
  return Out << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}

namespace {

// The primary monitor, its task bar at the bottom, and a second monitor to
// its left, at negative coordinates, with a shorter work area.
const TRect Primary{0, 0, 1920, 1040};
const TRect LeftOfPrimary{-1280, 0, 0, 984};
const std::vector<TRect> OneMonitor{Primary};
const std::vector<TRect> TwoMonitors{Primary, LeftOfPrimary};

// A popup of 200 x 100 placed against a control of W x H whose client area
// starts at screen X, Y.
TVivIzudePopupPlacementInput AgainstControl(TVivIzudePopupPlacement P, Integer X, Integer Y, float W = 80,
                                            float H = 20) {
  TVivIzudePopupPlacementInput in;
  in.Placement = P;
  in.HasPlacementControl = true;
  in.ControlScreenOrigin = {X, Y};
  in.ControlSize = {W, H};
  in.Size = {200, 100};
  return in;
}

TVivIzudePopupPlacementInput AtMouse(TVivIzudePopupPlacement P, Integer X, Integer Y) {
  TVivIzudePopupPlacementInput in;
  in.Placement = P;
  in.CursorPos = {X, Y};
  in.Size = {200, 100};
  return in;
}

bool Inside(const TRect& Inner, const TRect& Outer) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

TEST(PopupPlacement, EachControlRelativePlacementAndItsOffsets) {
  struct Case {
    TVivIzudePopupPlacement P;
    TPoint Corner;
  };
  // Control 80 x 20 at (1000, 500), popup 50 x 30, far from every edge.
  const Case cases[] = {
      {ppBottom, {1000, 520}},    {ppTop, {1000, 470}},       {ppLeft, {950, 500}},
      {ppRight, {1080, 500}},     {ppCenter, {1015, 495}},    {ppBottomCenter, {1015, 520}},
      {ppTopCenter, {1015, 470}}, {ppLeftCenter, {950, 495}}, {ppRightCenter, {1080, 495}},
  };
  for (const Case& c : cases) {
    auto in = AgainstControl(c.P, 1000, 500);
    in.Size = {50, 30};
    const auto out = CalculatePopupPlacement(in, OneMonitor);
    EXPECT_EQ(out.Bounds, Bounds(c.Corner.X, c.Corner.Y, 50, 30)) << int(c.P);
    EXPECT_EQ(out.RealPlacement, c.P);
    EXPECT_EQ(out.ScreenPlacementRect, (TRectF{1000, 500, 1080, 520}));
  }

  // Offsets move away from the control; the padding (a shadow round the
  // content) lets the form overlap it by that much.
  struct PadCase {
    TVivIzudePopupPlacement P;
    TPoint Corner;
  };
  const PadCase padded[] = {{ppBottom, {1002, 522}}, {ppTop, {1002, 472}}, {ppLeft, {952, 502}}};
  for (const PadCase& c : padded) {
    auto in = AgainstControl(c.P, 1000, 500);
    in.Size = {50, 30};
    in.Offset = {3, 4};
    in.ContentPadding = {1, 2, 5, 6};
    const auto out = CalculatePopupPlacement(in, OneMonitor);
    EXPECT_EQ(out.Bounds, Bounds(c.Corner.X, c.Corner.Y, 50, 30)) << int(c.P);
    EXPECT_EQ(out.ScreenContentRect,
              (TRectF{c.Corner.X + 1.0f, c.Corner.Y + 2.0f, c.Corner.X + 45.0f, c.Corner.Y + 24.0f}));
  }
}

TEST(PopupPlacement, HalfPixelsRoundToEven) {
  // Centred under controls 81 and 83 wide: 15.5 and 16.5 both give 16.
  for (float width : {81.0f, 83.0f}) {
    auto in = AgainstControl(ppBottomCenter, 1000, 500, width);
    in.Size = {50, 30};
    EXPECT_EQ(CalculatePopupPlacement(in, OneMonitor).Bounds.Left, 1016) << width;
  }
}

TEST(PopupPlacement, ARectangleWithAreaIsUsedInTheControlsCoordinates) {
  auto in = AgainstControl(ppBottom, 100, 100);
  in.PlacementRectangle = {10, 5, 30, 15};
  const auto out = CalculatePopupPlacement(in, OneMonitor);
  EXPECT_EQ(out.ScreenPlacementRect, (TRectF{110, 105, 130, 115}));
  EXPECT_EQ(out.Bounds, Bounds(110, 115, 200, 100));
}

TEST(PopupPlacement, NearEachEdgeItFlipsOrStaysOnTheWorkArea) {
  struct Case {
    const char* What;
    TVivIzudePopupPlacementInput In;
    TRect Expected;
    TVivIzudePopupPlacement Real;
  };
  const Case cases[] = {
      {"below, near the bottom", AgainstControl(ppBottom, 100, 1000), Bounds(100, 900, 200, 100), ppTop},
      {"above, near the top", AgainstControl(ppTop, 100, 10), Bounds(100, 30, 200, 100), ppBottom},
      {"right, near the right", AgainstControl(ppRight, 1880, 500), Bounds(1680, 500, 200, 100), ppLeft},
      {"left, near the left", AgainstControl(ppLeft, 0, 500), Bounds(80, 500, 200, 100), ppRight},
      // Touching the left edge exactly counts as colliding.
      {"left, exactly on the edge", AgainstControl(ppLeft, 200, 500), Bounds(280, 500, 200, 100), ppRight},
      {"centred right, near the right", AgainstControl(ppRightCenter, 1880, 500), Bounds(1680, 460, 200, 100),
       ppLeftCenter},
      {"centred below, near the bottom", AgainstControl(ppBottomCenter, 900, 1000), Bounds(840, 900, 200, 100),
       ppTopCenter},
      // No room below nor above: the second pass clamps, no third pass.
      {"tall control", AgainstControl(ppBottom, 100, 50, 80, 960), Bounds(100, 0, 200, 100), ppBottom},
      {"bottom right corner", AgainstControl(ppBottom, 1900, 1030, 10, 5), Bounds(1720, 930, 200, 100), ppTop},
      // Centred placements never flip.
      {"centred, in the corner", AgainstControl(ppCenter, 1900, 1030, 10, 5), Bounds(1720, 940, 200, 100), ppCenter},
      {"mouse, bottom right", AtMouse(ppMouse, 1910, 1035), Bounds(1720, 940, 200, 100), ppMouse},
      {"above the mouse, at the top", AtMouse(ppAboveMouse, 50, 20), Bounds(50, 0, 200, 100), ppAboveMouse},
  };
  for (const Case& c : cases) {
    const auto out = CalculatePopupPlacement(c.In, OneMonitor);
    EXPECT_EQ(out.Bounds, c.Expected) << c.What;
    EXPECT_EQ(out.RealPlacement, c.Real) << c.What;
    EXPECT_TRUE(Inside(out.Bounds, Primary)) << c.What;
  }
}

TEST(PopupPlacement, TwoMonitorsKeepThePopupOnTheOneThatHoldsItsAnchor) {
  struct Case {
    const char* What;
    TVivIzudePopupPlacementInput In;
    TRect Expected;
    Integer Monitor;
  };
  const Case cases[] = {
      // On the left monitor, whose work area ends higher up.
      {"below, near the left monitor's bottom", AgainstControl(ppBottom, -300, 950), Bounds(-300, 850, 200, 100), 1},
      // Right of a control at the left monitor's right edge: it flips rather
      // than spill onto the primary one.
      {"right, at the shared edge", AgainstControl(ppRight, -100, 100), Bounds(-300, 100, 200, 100), 1},
      {"left, at the shared edge", AgainstControl(ppLeft, 20, 100), Bounds(100, 100, 200, 100), 0},
      // Across the shared edge: the monitor holding most of the control.
      {"control across the edge", AgainstControl(ppBottom, -30, 100), Bounds(0, 120, 200, 100), 0},
      {"control mostly on the left", AgainstControl(ppBottom, -60, 100), Bounds(-200, 120, 200, 100), 1},
      {"mouse on the left monitor", AtMouse(ppMouse, -5, 500), Bounds(-200, 500, 200, 100), 1},
      {"mouse centred on the left monitor", AtMouse(ppMouseCenter, -1270, 980), Bounds(-1280, 884, 200, 100), 1},
      // Placed against something off every monitor: the nearest one.
      {"control left of everything", AgainstControl(ppBottom, -2000, 500), Bounds(-1280, 520, 200, 100), 1},
      {"control below the primary", AgainstControl(ppBottom, 500, 1500), Bounds(500, 940, 200, 100), 0},
      {"mouse above the left monitor", AtMouse(ppMouse, -600, -400), Bounds(-600, 0, 200, 100), 1},
  };
  for (const Case& c : cases) {
    const auto out = CalculatePopupPlacement(c.In, TwoMonitors);
    EXPECT_EQ(out.Bounds, c.Expected) << c.What;
    EXPECT_EQ(out.WorkAreaIndex, c.Monitor) << c.What;
    EXPECT_TRUE(Inside(out.Bounds, TwoMonitors[static_cast<std::size_t>(c.Monitor)])) << c.What;
  }
}

TEST(PopupPlacement, APopupLargerThanTheWorkAreaKeepsItsLeftAndTopEdgesOnIt) {
  struct Case {
    const char* What;
    TVivIzudePopupPlacementInput In;
    TRect Expected;
  };
  auto huge = [](TVivIzudePopupPlacementInput In, float W, float H) {
    In.Size = {W, H};
    return In;
  };
  const Case cases[] = {
      {"wider and taller than the primary", huge(AgainstControl(ppBottom, 100, 100), 2500, 1200),
       Bounds(0, 0, 2500, 1200)},
      {"wider than the left monitor", huge(AgainstControl(ppBottom, -500, 100), 1500, 100),
       Bounds(-1280, 120, 1500, 100)},
      {"taller than the left monitor", huge(AgainstControl(ppRight, -500, 600), 200, 1000), Bounds(-420, 0, 200, 1000)},
      {"at the mouse", huge(AtMouse(ppMouse, 1900, 1000), 2000, 1100), Bounds(0, 0, 2000, 1100)},
  };
  for (const Case& c : cases) {
    const auto out = CalculatePopupPlacement(c.In, TwoMonitors);
    EXPECT_EQ(out.Bounds, c.Expected) << c.What;
    const TRect& area = TwoMonitors[static_cast<std::size_t>(out.WorkAreaIndex)];
    EXPECT_TRUE(area.Contains(out.Bounds.TopLeft())) << c.What;
  }
}

TEST(PopupPlacement, AbsoluteRectanglesAndPadding) {
  TVivIzudePopupPlacementInput in;
  in.Placement = ppAbsolute;
  in.Size = {200, 100};
  in.PlacementRectangle = {300, 400, 300, 400};  // no area: Size
  EXPECT_EQ(CalculatePopupPlacement(in, OneMonitor).Bounds, Bounds(300, 400, 200, 100));
  in.PlacementRectangle = {300, 400, 350, 460};  // the rectangle's own size
  EXPECT_EQ(CalculatePopupPlacement(in, OneMonitor).Bounds, Bounds(300, 400, 50, 60));
  in.PlacementRectangle = {1900, 400, 1950, 460};
  auto out = CalculatePopupPlacement(in, OneMonitor);
  EXPECT_EQ(out.Bounds, Bounds(1870, 400, 50, 60));
  EXPECT_EQ(out.RealPlacement, ppAbsolute);

  // A shadow may hang over the work area's edge; the content may not.
  in.PlacementRectangle = {-5, 100, -5, 100};
  in.ContentPadding = {10, 10, 10, 10};
  out = CalculatePopupPlacement(in, OneMonitor);
  EXPECT_EQ(out.Bounds, Bounds(-5, 100, 200, 100));
  in.PlacementRectangle = {-30, 100, -30, 100};
  out = CalculatePopupPlacement(in, OneMonitor);
  EXPECT_EQ(out.Bounds, Bounds(-10, 100, 200, 100));
  EXPECT_EQ(out.ScreenContentRect, (TRectF{0, 110, 180, 190}));
}

TEST(PopupPlacement, NoWorkAreaDesignTimeAndBadSizesAreSafe) {
  // Nothing to fit to (or only empty areas), or at design time: placed as
  // computed.
  for (const std::vector<TRect>& areas : {std::vector<TRect>{}, std::vector<TRect>{TRect{5, 5, 5, 900}}}) {
    const auto out = CalculatePopupPlacement(AgainstControl(ppBottom, 100, 1000), areas);
    EXPECT_EQ(out.Bounds, Bounds(100, 1020, 200, 100));
    EXPECT_EQ(out.WorkAreaIndex, -1);
  }
  auto designing = AgainstControl(ppBottom, 100, 1000);
  designing.Designing = true;
  EXPECT_EQ(CalculatePopupPlacement(designing, OneMonitor).Bounds, Bounds(100, 1020, 200, 100));

  // Negative and NaN sizes count as nothing; NaN coordinates give a
  // rectangle on a monitor rather than undefined arithmetic.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto bad = AgainstControl(ppBottom, 100, 100);
  bad.Size = {-50, nan};
  EXPECT_EQ(CalculatePopupPlacement(bad, OneMonitor).Bounds, Bounds(100, 120, 0, 0));
  TVivIzudePopupPlacementInput absurd;
  absurd.Placement = ppAbsolute;
  absurd.PlacementRectangle = {nan, nan, nan, nan};
  const auto out = CalculatePopupPlacement(absurd, TwoMonitors);
  EXPECT_TRUE(Inside(out.Bounds, Primary) || Inside(out.Bounds, LeftOfPrimary)) << out.Bounds;
  absurd.PlacementRectangle = {3e38f, 3e38f, 3e38f, 3e38f};
  EXPECT_TRUE(Inside(CalculatePopupPlacement(absurd, TwoMonitors).Bounds, Primary));
}

TEST(PopupPlacement, WorkAreaOfAnchor) {
  EXPECT_EQ(WorkAreaOfAnchor({}, TRectF{0, 0, 10, 10}), -1);
  // A point on the shared edge belongs to the area it starts.
  EXPECT_EQ(WorkAreaOfAnchor(TwoMonitors, TRectF{0, 10, 0, 10}), 0);
  EXPECT_EQ(WorkAreaOfAnchor(TwoMonitors, TRectF{-1, 10, -1, 10}), 1);
  // Below the left monitor's shorter work area: nearest, not first.
  EXPECT_EQ(WorkAreaOfAnchor(TwoMonitors, TRectF{-100, 1000, -100, 1000}), 1);
}

}  // namespace
