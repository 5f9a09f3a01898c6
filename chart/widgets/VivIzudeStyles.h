#pragma once
// Colours of the active application style for style-aware widgets, and the
// interface such widgets implement. TVivIzudeStyleManager holds whichever
// style is active, by default the plain system look named "Windows", which
// counts as no style, so every widget keeps its own defaults. Portable, so
// apart from the class library's style services (vcl/Themes), which draw
// the tree's scroll bars.
#include "imaging/RasterImage.h"
#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

enum TThemedElement { teGrid, teEdit, teCategoryButtons };
enum TThemedGrid { tgCellNormal, tgCellSelected, tgFixedCellNormal, tgGradientCellNormal };
enum TThemedEdit { teBackgroundNormal };
enum TThemedCategoryButtons { tcbButtonNormal };

struct TThemedElementDetails {
  TThemedElement Element = teGrid;
  Integer Part = 0;  // the element's own enumeration (TThemedGrid...)
  friend bool operator==(const TThemedElementDetails&, const TThemedElementDetails&) = default;
};
inline TThemedElementDetails GetElementDetails(TThemedGrid Part) { return {teGrid, Part}; }
inline TThemedElementDetails GetElementDetails(TThemedEdit Part) { return {teEdit, Part}; }
inline TThemedElementDetails GetElementDetails(TThemedCategoryButtons Part) { return {teCategoryButtons, Part}; }

enum TElementColor { ecBorderColor, ecFillColor, ecTextColor, ecGradientColor1 };

// What a colour variable holds before a style is asked; it stays when the
// style has no such colour.
inline constexpr TColor StyleColorMarker = 0x1FFFFFFF;

// One application style.
class TVivIzudeStyleServices {
public:
  virtual ~TVivIzudeStyleServices() = default;
  virtual bool Enabled() const = 0;
  virtual String Name() const = 0;
  // False, AColor unchanged, when the style has no such colour.
  virtual bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor,
                               TColor& AColor) const = 0;
  // Paints the element over R in ABitmap.
  virtual void DrawElement(const TThemedElementDetails& Details, TRasterImage& ABitmap, const TRect& R) const = 0;
};

class TVivIzudeStyleManager {
public:
  TVivIzudeStyleManager() = delete;
  static const TVivIzudeStyleServices& ActiveStyle();
  // AStyle is not owned and must outlive its use; nullptr restores the
  // system look.
  static void SetActiveStyle(const TVivIzudeStyleServices* AStyle);
};

// Implemented by style-aware controls.
class IVivAdaptToStyle {
public:
  virtual ~IVivAdaptToStyle() = default;
  virtual bool GetAdaptToStyle() const = 0;
  virtual void SetAdaptToStyle(bool Value) = 0;
};

// Each GetStyle... answers false and leaves AColor alone without an enabled
// style; otherwise it stores what the style gives (the marker included) and
// answers whether that is a colour.
class TVivIzudeStyles {
public:
  TVivIzudeStyles() = delete;
  // The pixel at the top middle (y = 2) and bottom middle (y = height - 2)
  // of the element drawn 200 by 200 pixels.
  static TColor SampleTopColor(const TThemedElementDetails& Details);
  static TColor SampleBottomColor(const TThemedElementDetails& Details);
  // An enabled style that is not the plain system look "Windows".
  static bool StyleServicesEnabled();
  static bool GetStyleLineFillColor(TColor& AColor);
  static bool GetStyleBackgroundFillColor(TColor& AColor);
  static bool GetStyleBackgroundFillColorTo(TColor& AColor);
  static bool GetStyleAlternativeBackgroundFillColor(TColor& AColor);
  static bool GetStyleAlternativeBackgroundFillColorTo(TColor& AColor);
  static bool GetStyleBackgroundStrokeColor(TColor& AColor);
  static bool GetStyleHeaderFillColor(TColor& AColor);
  static bool GetStyleHeaderFillColorTo(TColor& AColor);
  // No style gives a header stroke colour: always false.
  static bool GetStyleHeaderStrokeColor(TColor& AColor);
  static bool GetStyleSelectionFillColor(TColor& AColor);
  static bool GetStyleSelectionFillColorTo(TColor& AColor);
  // These two set AColor to 0 before asking the style.
  static bool GetStyleTextFontColor(TColor& AColor);
  static bool GetStyleAlternativeTextFontColor(TColor& AColor);
  static bool GetStyleDefaultButtonFillColor(TColor& AColor);
  static bool GetStyleDefaultButtonStrokeColor(TColor& AColor);
};

// Sets the drawing layer's ten default colours of own-drawn elements from
// the active style, each falling back to its plain value when the style
// gives none; the three selection-derived colours go together. What every
// style-aware control's InitializeStyle does.
void InitializeDefaultGraphicColors();
