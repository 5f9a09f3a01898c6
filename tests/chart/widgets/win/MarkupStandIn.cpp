// The markup engine is not in the tree yet; the widgets tested here draw no
// text, so the facade's calls into it must never happen. Remove this file
// when the engine arrives.
#include <gtest/gtest.h>

#include "chart/drawing/VivIzudeHTMLEngine.h"

bool RenderMarkup(TVivIzudeGraphics*, const String&, const TRectF&, Integer, Integer, Integer, Integer, Integer, bool,
                  bool, bool, bool, bool, bool, bool, bool, const String&, double, TColor, TColor, TColor, TColor,
                  String&, String&, String&, float&, float&, Integer&, Integer&, TRectF&, TRectF&, String&, String&,
                  String&, Integer&, Integer, TVivIzudeBitmapContainer*, bool, TCustomImageList*, TColor, TColor,
                  TFontStyles, bool) {
  ADD_FAILURE() << "a widget drew marked-up text";
  return false;
}

String HighlightMarkup(const String& AText, const String&, const String&, bool) {
  ADD_FAILURE() << "a widget highlighted marked-up text";
  return AText;
}
