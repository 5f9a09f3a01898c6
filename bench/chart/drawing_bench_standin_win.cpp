// The drawing benchmark without the markup engine in the tree: the facade
// still needs the engine's entry points to link; this program draws no
// markup then.
#include "chart/drawing/VivIzudeHTMLEngine.h"

bool RenderMarkup(TVivIzudeGraphics*, const String&, const TRectF&, Integer, Integer, Integer, Integer, Integer, bool,
                  bool, bool, bool, bool, bool, bool, bool, const String&, double, TColor, TColor, TColor, TColor,
                  String&, String&, String&, float& AXSize, float& AYSize, Integer&, Integer&, TRectF&, TRectF&,
                  String&, String&, String&, Integer& ALineCount, Integer, TVivIzudeBitmapContainer*, bool,
                  TCustomImageList*, TColor, TColor, TFontStyles, bool) {
  AXSize = 0;
  AYSize = 0;
  ALineCount = 0;
  return false;
}

String HighlightMarkup(const String& AText, const String&, const String&, bool) { return AText; }
