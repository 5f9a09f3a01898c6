#pragma once
// The colour wheel's arithmetic, apart from its windows: a colour's hue and
// saturation, where that colour sits on the wheel, which points the disc
// holds, where a point outside it is brought back to the rim, and the
// colour's red, green and blue bytes and hexadecimal text. Angles are degrees
// clockwise on screen from the right-hand horizontal (Y grows downwards).
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

struct TVivIzudeColorWheelHSColor {
  double Hue = 0;         // degrees; may be negative (magenta gives -60)
  double Saturation = 0;  // 0 (white centre) .. 1 (rim)
};

// Hue in degrees, not brought into 0..360; 0 for greys; saturation 0 for
// black.
TVivIzudeColorWheelHSColor RGBToHueSaturation(Integer R, Integer G, Integer B);

// The low, middle and high byte of a colour.
Integer ColorToRValue(TColor AColor);
Integer ColorToGValue(TColor AColor);
Integer ColorToBValue(TColor AColor);
// R + G * 256 + B * 65536, each masked to 8 bits.
TColor RGBToGraphicsColor(Integer R, Integer G, Integer B);

// Two upper-case hexadecimal digits per byte, red first ("FF0000" is red).
String ColorToHEXText(TColor AColor);
// The colour of a six-character text read as three hexadecimal pairs, red
// first; EConvertError for a pair that is not hexadecimal. Callers check the
// length (other lengths are not colours).
TColor HEXTextToColor(const String& AText);

// The marker's centre for a colour: at Saturation times (ARadius - 0.5) from
// ACenter in the direction of Hue. ARadius is the picture's half width.
TPointF ColorWheelMarkerPoint(const TVivIzudeColorWheelHSColor& AColor, const TPointF& ACenter, float ARadius);

// The disc of a picture 150 x 150 times AScale: within 74 * AScale of its
// centre (75 * AScale, 75 * AScale).
bool IsInsideColorWheel(float X, float Y, float AScale);

// A point brought onto the rim (ARadius - 1 from the centre, half a pixel up
// and left) in its direction from ACenter; used for a drag that leaves the
// disc. A point on an axis through the centre counts as 1 pixel off it.
TPointF ClampToColorWheel(float X, float Y, const TPointF& ACenter, float ARadius);
