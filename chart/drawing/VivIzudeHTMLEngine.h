#pragma once
// The markup (mini-HTML) text engine of the drawing layer: a text with tags
// such as <B>, <FONT>, <A>, <P>, <LI>, <IMG> and <CONTROL> laid out line by
// line, measured, painted or hit-tested.
//
// The engine is portable: it works on a TVivIzudeMarkupSurface (measuring,
// drawing, pictures). RenderMarkup runs it on a drawing facade (Windows,
// where the facade lives); native tests run it on a surface with fixed
// metrics that records what is drawn.
//
// Safety: pictures named by a "FILE://" path are never read unless the
// caller passes AAllowFilePictures; any text, however malformed or deeply
// nested, lays out in time and memory bounded by its length.
#include <memory>

#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

class TVivIzudeGraphics;
class TVivIzudeBitmapContainer;
class TCustomImageList;

// A picture the engine places; the surface that made it draws it.
class TVivIzudeMarkupPicture {
public:
  virtual ~TVivIzudeMarkupPicture() = default;
  virtual Integer Width() const = 0;
  virtual Integer Height() const = 0;
};

struct TVivIzudeMarkupFont {
  String Name;
  Integer Size = 8;
  TFontStyles Style;
  TColor Color = 0;
  friend bool operator==(const TVivIzudeMarkupFont&, const TVivIzudeMarkupFont&) = default;
};

// What the engine draws with. Shapes are filled with the fill colour and
// outlined with the stroke; text uses the font.
class TVivIzudeMarkupSurface {
public:
  virtual ~TVivIzudeMarkupSurface() = default;
  virtual TVivIzudeMarkupFont GetFont() = 0;
  virtual void SetFont(const TVivIzudeMarkupFont& AFont) = 0;
  virtual TColor GetFillColor() = 0;
  virtual void SetFillColor(TColor AColor) = 0;
  virtual TColor GetStrokeColor() = 0;
  virtual void SetStrokeColor(TColor AColor) = 0;
  // A solid stroke of AWidth pixels (zigzags and rules).
  virtual void SetSolidStroke(float AWidth) = 0;
  // The extent of AText as one line in the current font.
  virtual TSizeF MeasureText(const String& AText) = 0;
  // One line of text, left-aligned and centred vertically in ARect.
  virtual void DrawText(const TRectF& ARect, const String& AText) = 0;
  // A button caption: centred both ways, markup allowed.
  virtual void DrawCaption(const TRectF& ARect, const String& AText) = 0;
  virtual void DrawRectangle(const TRectF& ARect) = 0;
  virtual void DrawEllipse(const TRectF& ARect) = 0;
  virtual void DrawLine(const TPointF& AFrom, const TPointF& ATo) = 0;
  virtual void DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused) = 0;
  virtual void DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused) = 0;
  virtual void DrawButton(const TRectF& ARect, bool ADown, bool AFocused) = 0;
  // Pictures: by name from the bitmap container, from a file (asked only
  // when the caller allowed files), and pictures of the image list. nullptr
  // when there is none.
  virtual std::unique_ptr<TVivIzudeMarkupPicture> FindPicture(const String& AName) = 0;
  virtual std::unique_ptr<TVivIzudeMarkupPicture> LoadPicture(const String& AFileName) = 0;
  virtual Integer ImageListCount() = 0;
  // The image list's cell size scaled to the display.
  virtual TSize ImageListCellSize() = 0;
  virtual void DrawImageListPicture(Integer AIndex, float ALeft, float ATop) = 0;
  // APicture stretched into ARect.
  virtual void DrawPicture(const TVivIzudeMarkupPicture& APicture, const TRectF& ARect) = 0;
};

// The caller's options and the results of one engine call.
struct TVivIzudeMarkupOptions {
  Integer X = -1, Y = -1;  // the point of the hit test
  Integer FocusIndex = -1;
  Integer HoverIndex = -1;
  Integer ShadowOffset = 0;
  bool HitTestOnly = false;
  bool MeasureOnly = false;
  bool NoImageListPictures = false;
  bool IgnoreColors = false;
  bool BlinkPhase = false;
  bool HoverOnly = false;
  bool WordWrapping = false;
  bool ControlFocus = false;
  String FocusedControlID;
  double ResolutionFactor = 1.0;
  TColor URLColor = 0xFF0000;
  TColor HoverColor = -1;
  TColor HoverTextColor = -1;
  TColor ShadowColor = -1;
  Integer LineSpacing = 0;
  bool URLUnderline = true;
  TColor HighlightColor = 0xFF0000;
  TColor HighlightTextColor = 0xFFFFFF;
  TFontStyles HighlightFontStyles;
  bool AllowFilePictures = false;
};

struct TVivIzudeMarkupResults {
  String AnchorValue;  // kept unless an anchor is hit
  String PlainText;
  String FocusAnchor;
  float XSize = 0, YSize = 0;
  Integer AnchorCount = 0;
  Integer AnchorHit = -1;
  TRectF AnchorRect;  // kept unless an anchor is hit
  TRectF ControlRect;
  String ControlID;  // in a hit test, on entry: the control to find
  String ControlValue, ControlType;
  Integer LineCount = 0;
};

// The engine on any surface; see RenderMarkup.
bool RenderMarkupOn(TVivIzudeMarkupSurface& ASurface, const String& AText, const TRectF& ARect,
                    const TVivIzudeMarkupOptions& AOptions, TVivIzudeMarkupResults& AResults);

// Lays out AText in ARect on AGraphics and, unless AMeasureOnly, paints it
// (or, with AHitTestOnly, only finds what lies under (AX, AY)). True when
// the point is over an anchor's text, a picture or an embedded control.
// The facade's font, fill colour and stroke colour come back as they were.
// AAnchorValue and AAnchorRect keep what the caller put there unless an
// anchor is hit; AControlID is an input of a hit test (the control to find).
// Anchor and control rectangles are coordinates, like ARect. Windows only
// (where the facade is built).
bool RenderMarkup(TVivIzudeGraphics* AGraphics, const String& AText, const TRectF& ARect, Integer AX, Integer AY,
                  Integer AFocusIndex, Integer AHoverIndex, Integer AShadowOffset, bool AHitTestOnly, bool AMeasureOnly,
                  bool ANoImageListPictures, bool AIgnoreColors, bool ABlinkPhase, bool AHoverOnly, bool AWordWrapping,
                  bool AControlFocus, const String& AFocusedControlID, double AResolutionFactor, TColor AURLColor,
                  TColor AHoverColor, TColor AHoverTextColor, TColor AShadowColor, String& AAnchorValue,
                  String& APlainText, String& AFocusAnchor, float& AXSize, float& AYSize, Integer& AAnchorCount,
                  Integer& AAnchorHit, TRectF& AAnchorRect, TRectF& AControlRect, String& AControlID,
                  String& AControlValue, String& AControlType, Integer& ALineCount, Integer ALineSpacing,
                  TVivIzudeBitmapContainer* ABitmapContainer, bool AURLUnderline, TCustomImageList* AImageList,
                  TColor AHighlightColor, TColor AHighlightTextColor, TFontStyles AHighlightFontStyles,
                  bool AAllowFilePictures = false);

// AText with every occurrence of ASearch in its visible (tag-free) text
// wrapped in "<ATagName>" and "</ATagName>". The markup is kept; brackets
// that belong to no tag are written as "&lt;" and "&gt;" so that the
// inserted tags cannot pair with them.
String HighlightMarkup(const String& AText, const String& ASearch, const String& ATagName, bool ACaseSensitive);

// The text as the engine lays it out: entities decoded, the brackets of the
// first "<#" tag removed, line feeds dropped and carriage returns made "<BR>".
String PrepareMarkupText(const String& AText);
