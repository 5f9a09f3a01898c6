#pragma once
// The drawing facade's colour services: colour names and "#RRGGBB" codes to
// colours and back, over the named-colour table built at start-up, and the
// colour mixing the widgets' default appearances use. Portable; system
// colour references are resolved by the platform (the current scheme on
// Windows, Windows' default scheme elsewhere).
#include <memory>
#include <utility>
#include <vector>

#include "chart/drawing/VivIzudeGraphicsTypes.h"
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

class TVivIzudeGraphicsColorObject : public TObject {
public:
  explicit TVivIzudeGraphicsColorObject(TColor AColor) : FColor(AColor) {}
  TColor Color() const { return FColor; }

private:
  TColor FColor;
};

// The named colours: a lower-case name and its colour object, sorted by name.
using TVivIzudeNamedColors = std::vector<std::pair<String, std::unique_ptr<TVivIzudeGraphicsColorObject>>>;
const TVivIzudeNamedColors& NamedColors();

class TVivIzudeGraphics {
public:
  // A colour name ("Red", "clRed", "gcRed"), any case; 0 (black) for a name
  // the table does not hold.
  static TColor TextToColor(const String& AText);
  // "#RRGGBB" (the first character is skipped); hexadecimal digits of
  // either case; a group that is missing or not hexadecimal gives 0.
  static TColor HTMLToColor(const String& AHTML);
  // "#RRGGBB" in upper-case digits, system colours resolved.
  static String ColorToHTML(TColor AColor);
};

TColor MakeColor(Byte R, Byte G, Byte B);
// AColor1 over AColor2 with APercent (0..100) of AColor1.
TColor BlendColor(TColor AColor1, TColor AColor2, Byte APercent);
// APercent (0..100) of the way to white.
TColor LightenColor(TColor AColor, Byte APercent);
// A system colour reference as its RGB value; any other colour unchanged.
TColor ResolveDrawingColor(TColor AColor);

#ifdef _WIN32
class TCanvas;
// A stepped gradient over ARect on a class-library canvas, one strip per
// pixel of the gradient's direction, the strips near a rounded end (radius
// ARounding) shortened at the corners named in ACorners. The canvas's pen
// and brush come back as they were.
void DrawGradient(TCanvas& ACanvas, TColor AFromColor, TColor AToColor, bool AHorizontal,
                  TVivIzudeGraphicsCorners ACorners, float ARounding, const TRect& ARect);
#endif
