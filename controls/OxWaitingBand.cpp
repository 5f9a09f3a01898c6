#include "controls/OxWaitingBand.h"

#include <algorithm>

#include "rtl/Math.h"

bool TWaitingBandSweep::SetGradientWidth(Integer Value, Integer Height) {
  if (Value <= 0) return false;
  FGradientWidth = Value;
  FLeftOffset = -Value;
  FSourceRect = FDestRect = Rect(0, 0, Value, Height);
  return true;
}

void TWaitingBandSweep::Resize(Integer Height) { FSourceRect = FDestRect = Rect(0, 0, FGradientWidth, Height); }

bool TWaitingBandSweep::Step(Integer Width) {
  bool reversed = false;
  if (FFromLeftToRight) {
    if (FLeftOffset + FGradientWidth < Width) {
      FLeftOffset += 2;
    } else {
      FFromLeftToRight = false;
      FLeftOffset = Width;
      reversed = true;
    }
  } else {
    if (FLeftOffset > 0) {
      FLeftOffset -= 2;
    } else {
      FFromLeftToRight = true;
      FLeftOffset = -FGradientWidth;
      reversed = true;
    }
  }
  FDestRect.Left = FLeftOffset;
  FDestRect.Right = FLeftOffset + FGradientWidth;
  return reversed;
}

void RenderWaitingBand(IControlCanvas& Canvas, TColor StartColor, TColor EndColor, bool FromLeftToRight,
                       Integer GradientWidth, Integer Height, Integer ControlWidth) {
  const TColor c1 = Canvas.ColorToRGB(FromLeftToRight ? StartColor : EndColor);
  const TColor c2 = Canvas.ColorToRGB(FromLeftToRight ? EndColor : StartColor);
  const Integer k = std::min(GradientWidth, ControlWidth);
  if (k <= 0) return;
  const float r1 = static_cast<float>(c1 & 0xFF), g1 = static_cast<float>((c1 >> 8) & 0xFF),
              b1 = static_cast<float>((c1 >> 16) & 0xFF);
  const float dr = (static_cast<float>(c2 & 0xFF) - r1) / static_cast<float>(k);
  const float dg = (static_cast<float>((c2 >> 8) & 0xFF) - g1) / static_cast<float>(k);
  const float db = (static_cast<float>((c2 >> 16) & 0xFF) - b1) / static_cast<float>(k);
  const float w = static_cast<float>(GradientWidth) / static_cast<float>(k);
  auto channel = [](float V) { return static_cast<Byte>(std::clamp<Int64>(Round(V), 0, 255)); };
  for (Integer i = 0; i < k; ++i) {
    const float fi = static_cast<float>(i);
    Canvas.SetBrushColor(RGBToColor(channel(r1 + fi * dr), channel(g1 + fi * dg), channel(b1 + fi * db)));
    Canvas.FillRect(Rect(static_cast<Integer>(Round(fi * w)), 0, static_cast<Integer>(Round((fi + 1) * w)), Height));
  }
}
