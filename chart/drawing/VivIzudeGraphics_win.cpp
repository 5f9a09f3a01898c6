#include "chart/drawing/VivIzudeGraphics.h"

#include "vcl/Graphics.h"

TColor ResolveDrawingColor(TColor AColor) { return ColorToRGB(AColor); }
