#pragma once
// The usage bar's portable side: the picture of one gauge drawn on a canvas
// from a settings record, and the rules that turn a position into a
// percentage and decide when the bar must repaint. The control itself
// (controls/win/VivProgressBar.h) fills the record and draws off-screen.
#include "controls/ControlCanvas.h"
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

enum TGaugeOrientation { goHorizontal, goVertical };

struct TGaugeSettings {
  // Each level's full colour and the tint shown at the bar's edges.
  TColor Level0Color = 0x00FF00;
  TColor Level0ColorTo = 0xE1FFE1;
  TColor Level1Color = 0x00FFFF;
  TColor Level1ColorTo = 0xCAFFFF;
  TColor Level2Color = 0x53A9FF;
  TColor Level2ColorTo = 0xA8D3FF;
  TColor Level3Color = 0x0000FF;
  TColor Level3ColorTo = 0xCACAFF;
  Integer Level1Perc = 70;  // thresholds in percent
  Integer Level2Perc = 90;
  TColor BorderColor = 0x808080;
  // Background zones of the levels; clNone: no zone.
  TColor Level0BkColor = clNone;
  TColor Level1BkColor = clNone;
  TColor Level2BkColor = clNone;
  bool ShowBorder = true;
  bool Stacked = false;
  bool ShowPercentage = true;
  bool ShowPosition = true;
  TControlFont Font;
  bool CompletionSmooth = false;
  bool ShowGradient = true;
  Integer Steps = 8;     // gradient bands per half piece (0 counts as 1)
  Integer Position = 0;  // the percentage drawn
  Integer Value = 0;     // the raw position, for the text
  Integer Max = 100;     // the range's upper limit, for the text
  TColor BackgroundColor = 0xFFFFFF;
  TGaugeOrientation Orientation = goHorizontal;
  // Rounded frame; the corners outside it are filled with 0xFF00FF for the
  // caller to make transparent.
  bool Rounded = true;
  // Format applied to [Value, Max]; empty: the percentage (or the value).
  String Format;
  bool Infinite = false;
  Integer InfinitePos = 0;  // 0..100
};

// The corner colour that Rounded leaves for the caller to make transparent.
inline constexpr TColor GaugeCornerColor = 0xFF00FF;

// Draws the whole gauge into Rect (right and bottom exclusive), with Scale
// applied to margins and block sizes. Leaves the canvas's pen, brush and
// font changed.
void DrawProgressGauge(IControlCanvas& Canvas, const TRect& Rect, TGaugeSettings Settings, float Scale);
// Pen and brush in Color, then Rect.
void GaugeSolidFill(IControlCanvas& Canvas, const TRect& Rect, TColor Color);
// Steps overlapping bands from FromColor to just short of ToColor, across x
// (columns) or across y (rows).
void GaugeGradientFill(IControlCanvas& Canvas, TColor FromColor, TColor ToColor, Integer Steps, const TRect& Rect,
                       bool AcrossX);

// The percentage of Position within Min..Max, rounded half to even; 0 for
// an empty range.
Integer GaugePercentage(Integer Position, Integer Min, Integer Max);

// The usage bar's range and position: clamping, and whether a new position
// needs an immediate repaint.
class TGaugePosition {
public:
  Integer Min() const { return FMin; }
  Integer Max() const { return FMax; }
  Integer Position() const { return FPosition; }
  // The range is stored as given; the position is not clamped again.
  void SetMin(Integer Value);
  void SetMax(Integer Value);
  // Clamps Value into Min..Max and stores it. Answers whether the bar must
  // repaint now: when the shown percentage or block changed, and always
  // when TextShowsValue (the text shows the raw position, which may change
  // while the percentage does not).
  bool SetPosition(Integer Value, bool TextShowsValue);
  Integer Percentage() const { return GaugePercentage(FPosition, FMin, FMax); }
  // StepUp's target: one up, or back to Min past Max. StepDown's: one
  // down, or the position itself at Min.
  Integer NextUp() const;
  Integer NextDown() const;

private:
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPosition = 50;
  Integer FMaxIncrement = 1;  // granularity of the repaint test
  Integer FOldBlockPos = 0;
  Integer FOldPos = 0;
};

// The sweeping block of the infinite mode: 4 steps of 4 percent per tick,
// back and forth between 0 and 100.
struct TGaugeSweep {
  Integer Pos = 0;
  bool Increasing = false;
  void Step();
};
