#include "chart/widgets/VivIzudeColorWheelGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "rtl/SysUtils.h"

namespace {

constexpr double DegreesToRadians = std::numbers::pi / 180;

}  // namespace

TVivIzudeColorWheelHSColor RGBToHueSaturation(Integer R, Integer G, Integer B) {
  const double Max = std::max({R, G, B});
  const double Min = std::min({R, G, B});
  const double Delta = Max - Min;
  TVivIzudeColorWheelHSColor Result;
  Result.Saturation = Max == 0 ? 0 : Delta / Max;
  if (Delta == 0) return Result;
  if (Max == R)
    Result.Hue = (G - B) / Delta;
  else if (Max == G)
    Result.Hue = (B - R) / Delta + 2;
  else
    Result.Hue = (R - G) / Delta + 4;
  Result.Hue *= 60;
  return Result;
}

Integer ColorToRValue(TColor AColor) { return AColor & 0xFF; }
Integer ColorToGValue(TColor AColor) { return (AColor >> 8) & 0xFF; }
Integer ColorToBValue(TColor AColor) { return (AColor >> 16) & 0xFF; }

TColor RGBToGraphicsColor(Integer R, Integer G, Integer B) {
  return (R & 0xFF) + (G & 0xFF) * 256 + (B & 0xFF) * 65536;
}

String ColorToHEXText(TColor AColor) {
  return IntToHex(ColorToRValue(AColor), 2) + IntToHex(ColorToGValue(AColor), 2) + IntToHex(ColorToBValue(AColor), 2);
}

TColor HEXTextToColor(const String& AText) {
  const auto Pair = [&](std::size_t At) { return StrToInt(u"$" + AText.substr(At, 2)); };
  return RGBToGraphicsColor(Pair(0), Pair(2), Pair(4));
}

TPointF ColorWheelMarkerPoint(const TVivIzudeColorWheelHSColor& AColor, const TPointF& ACenter, float ARadius) {
  const double R = ARadius - 0.5;
  const double A = AColor.Hue * DegreesToRadians;
  return {static_cast<float>(std::cos(A) * R * AColor.Saturation + ACenter.X),
          static_cast<float>(std::sin(A) * R * AColor.Saturation + ACenter.Y)};
}

bool IsInsideColorWheel(float X, float Y, float AScale) {
  const double DX = X - 75.0 * AScale, DY = Y - 75.0 * AScale, R = 74.0 * AScale;
  return DX * DX + DY * DY <= R * R;
}

TPointF ClampToColorWheel(float X, float Y, const TPointF& ACenter, float ARadius) {
  const double R = ARadius - 1.0;
  double Vertical = std::fabs(ACenter.Y - Y), Horizontal = std::fabs(ACenter.X - X);
  if (Vertical == 0) Vertical = 1;
  if (Horizontal == 0) Horizontal = 1;
  const double T = std::atan(Vertical / Horizontal) / DegreesToRadians;
  double Angle;
  if (X >= ACenter.X && Y <= ACenter.Y)
    Angle = 360 - T;
  else if (X <= ACenter.X && Y >= ACenter.Y)
    Angle = 180 - T;
  else if (X <= ACenter.X && Y <= ACenter.Y)
    Angle = 180 + T;
  else
    Angle = T;
  const double A = Angle * DegreesToRadians;
  return {static_cast<float>(std::cos(A) * R + (ACenter.X - 0.5)),
          static_cast<float>(std::sin(A) * R + (ACenter.Y - 0.5))};
}
