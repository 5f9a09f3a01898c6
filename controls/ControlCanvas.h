#pragma once
// What the controls' portable drawing code (the usage bar's gauge, the busy
// bar's band) needs of a canvas. The Windows controls implement it over the
// class library's canvas; native tests record the calls.
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

// A font as a value: what the drawing code copies and rotates.
struct TControlFont {
  String Name = u"Verdana";
  Integer Height = -13;  // pixels; negative: the character height
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  TColor Color = clWindowText;
  Integer Orientation = 0;  // escapement and orientation, tenths of a degree
  friend bool operator==(const TControlFont&, const TControlFont&) = default;
};

class IControlCanvas {
public:
  virtual ~IControlCanvas() = default;
  // System colour references become their current RGB value; anything else
  // comes back unchanged.
  virtual TColor ColorToRGB(TColor Color) = 0;
  virtual void SetPenColor(TColor Color) = 0;
  // A colour makes the brush solid; SetBrushClear makes it hollow (shapes
  // are outlined only, text has no background).
  virtual void SetBrushColor(TColor Color) = 0;
  virtual void SetBrushClear() = 0;
  // Outlined with the pen (1 pixel), filled with the brush; right and
  // bottom edges exclusive.
  virtual void Rectangle(const TRect& R) = 0;
  virtual void RoundRect(const TRect& R, Integer CornerWidth, Integer CornerHeight) = 0;
  // Filled with the brush only.
  virtual void FillRect(const TRect& R) = 0;
  virtual void SetFont(const TControlFont& Font) = 0;
  // Measured and drawn in the current font; the text's top-left at X, Y
  // (for a rotated font, the start of its first line).
  virtual TSize TextExtent(const String& Text) = 0;
  virtual void TextOut(Integer X, Integer Y, const String& Text) = 0;
};
