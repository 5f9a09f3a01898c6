#pragma once
// What the chart draws with, without any platform: fonts, pens, brushes,
// pictures, clip regions, and the canvas and text-measuring interfaces.
// The Windows views implement TChartCanvas over a device context (or GDI+);
// tests use TRecordingCanvas (ChartRecordingCanvas.h) and TFixedTextMeasurer.
#include <memory>
#include <span>
#include <vector>

#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

// Font style ordinals (rtl/UITypes.h) are written to settings files as ":0" ... ":3".

// A font description. Size is in points; the pixel height at 96 DPI is
// -Size * 96 / 72 (character height, negative as the platform takes it).
// OnChange fires after every change made through a setter and after Assign
// (always, even when nothing differed); copying a font copies the values,
// never the handler.
class TChartFont {
public:
  TChartFont() = default;
  TChartFont(const TChartFont& Other) { CopyValues(Other); }
  TChartFont& operator=(const TChartFont& Other) {
    CopyValues(Other);
    return *this;
  }

  const String& Name() const { return FName; }
  void SetName(const String& Value);
  Integer Size() const { return FSize; }
  void SetSize(Integer Value);
  // Pixel height at 96 DPI (negative: character height).
  Integer Height() const;
  void SetHeight(Integer Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  // Escapement and orientation in tenths of a degree, counter-clockwise.
  Integer Orientation() const { return FOrientation; }
  void SetOrientation(Integer Value);

  void Assign(const TChartFont& Source);
  bool SameValues(const TChartFont& Other) const;

  TNotifyEvent OnChange;

private:
  void CopyValues(const TChartFont& Other);
  void Changed();
  String FName = u"Tahoma";
  Integer FSize = 8;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  Integer FOrientation = 0;
};

struct TChartPen {
  TColor Color = clBlack;
  Integer Width = 1;
  TPenStyle Style = psSolid;
  friend bool operator==(const TChartPen&, const TChartPen&) = default;
};

// Setting a colour on a clear brush makes it solid again, as painters expect
// when they first clear the brush for a text and then fill a shape.
class TChartBrush {
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) {
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
  }
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value) { FStyle = Value; }
  friend bool operator==(const TChartBrush&, const TChartBrush&) = default;

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

// A graphic a canvas can draw; the platform side subclasses it with real
// image data. The chart only needs its size.
class TChartGraphic {
public:
  virtual ~TChartGraphic() = default;
  virtual Integer Width() const = 0;
  virtual Integer Height() const = 0;
};

// An owned picture slot: empty, or sharing one graphic. OnChange fires when
// the graphic is replaced.
class TChartPicture {
public:
  TChartPicture() = default;
  TChartPicture(const TChartPicture&) = delete;
  TChartPicture& operator=(const TChartPicture&) = delete;
  bool HasGraphic() const { return FGraphic != nullptr; }
  const TChartGraphic* Graphic() const { return FGraphic.get(); }
  Integer Width() const { return FGraphic ? FGraphic->Width() : 0; }
  Integer Height() const { return FGraphic ? FGraphic->Height() : 0; }
  void SetGraphic(std::shared_ptr<const TChartGraphic> Value);
  void Assign(const TChartPicture& Source);
  TNotifyEvent OnChange;

private:
  std::shared_ptr<const TChartGraphic> FGraphic;
};

// A clip or fill region built from shapes, each combined with what came
// before it (the first one's mode is ignored). A platform canvas turns it
// into its own region object; the recording canvas keeps it as it is.
enum TRegionShape : Byte { rsRectangle, rsEllipse, rsRoundRect, rsPolygon };
enum TRegionCombine : Byte { rcCopy, rcAnd, rcOr, rcXor, rcDiff };
struct TRegionPart {
  TRegionShape Shape = rsRectangle;
  TRegionCombine Combine = rcCopy;
  TRect Bounds;
  Integer RoundX = 0;
  Integer RoundY = 0;
  std::vector<TPoint> Points;
  friend bool operator==(const TRegionPart&, const TRegionPart&) = default;
};
class TChartRegion {
public:
  TChartRegion() = default;
  static TChartRegion FromRect(const TRect& R);
  static TChartRegion FromEllipse(const TRect& R);
  static TChartRegion FromRoundRect(const TRect& R, Integer RoundX, Integer RoundY);
  static TChartRegion FromPolygon(std::span<const TPoint> Points);
  // This region combined with Other (all of Other's parts, in order).
  TChartRegion Combined(const TChartRegion& Other, TRegionCombine Mode) const;
  bool Empty() const { return FParts.empty(); }
  const std::vector<TRegionPart>& Parts() const { return FParts; }
  // Whether the pixel lies inside (even-odd polygons, closed-open rectangles).
  bool Contains(const TPoint& P) const;
  friend bool operator==(const TChartRegion&, const TChartRegion&) = default;

private:
  std::vector<TRegionPart> FParts;
};

// Flags of DrawText, as the platform's formatted-text call takes them.
enum TDrawTextFlag : Byte {
  dtCenter,
  dtRight,
  dtVCenter,
  dtBottom,
  dtWordBreak,
  dtSingleLine,
  dtNoClip,
  dtCalcRect,
  dtNoPrefix,
  dtEndEllipsis
};
using TDrawTextFlags = TSet<TDrawTextFlag, Word>;

// Text extents for a font: the one thing painting needs to know about text
// besides drawing it.
class ITextMeasurer {
public:
  virtual ~ITextMeasurer() = default;
  virtual TSize TextExtent(const TChartFont& Font, const String& Text) const = 0;
};

// Predictable metrics for tests and for measuring without a display: every
// character is CharWidth pixels wide at size 8 and a line LineHeight pixels
// high, both scaled by Size / 8 (rounded); line breaks start new lines.
class TFixedTextMeasurer : public ITextMeasurer {
public:
  explicit TFixedTextMeasurer(Integer CharWidth = 7, Integer LineHeight = 13)
      : FCharWidth(CharWidth), FLineHeight(LineHeight) {}
  TSize TextExtent(const TChartFont& Font, const String& Text) const override;
  static const TFixedTextMeasurer& Default();

private:
  Integer FCharWidth;
  Integer FLineHeight;
};

// The drawing surface. State (pen, brush, font) lives here as plain members;
// operations use the state current at the call. Coordinates are device
// pixels; rectangles are closed-open as in TRect.
class TChartCanvas {
public:
  virtual ~TChartCanvas() = default;

  TChartPen Pen;
  TChartBrush Brush;
  TChartFont Font;

  virtual void MoveTo(Integer X, Integer Y) = 0;
  virtual void LineTo(Integer X, Integer Y) = 0;
  void Line(Integer X1, Integer Y1, Integer X2, Integer Y2) {
    MoveTo(X1, Y1);
    LineTo(X2, Y2);
  }
  virtual void Rectangle(const TRect& R) = 0;
  virtual void RoundRect(const TRect& R, Integer RX, Integer RY) = 0;
  virtual void Ellipse(const TRect& R) = 0;
  virtual void Polygon(std::span<const TPoint> Points) = 0;
  virtual void Polyline(std::span<const TPoint> Points) = 0;
  // A pie wedge in the ellipse Box, counter-clockwise from the ray through
  // Start to the ray through Finish (the platform's Pie).
  virtual void Pie(const TRect& Box, const TPoint& Start, const TPoint& Finish) = 0;
  virtual void Arc(const TRect& Box, const TPoint& Start, const TPoint& Finish) = 0;
  virtual void FillRect(const TRect& R) = 0;
  // A one-pixel frame in the brush colour.
  virtual void FrameRect(const TRect& R) = 0;
  virtual void FillRegion(const TChartRegion& Region) = 0;
  virtual void FrameRegion(const TChartRegion& Region, Integer Width, Integer Height) = 0;
  virtual void TextOut(Integer X, Integer Y, const String& Text) = 0;
  // Draws Text into R (R is updated to the text's box with dtCalcRect, and
  // nothing is drawn then).
  virtual void DrawText(const String& Text, TRect& R, TDrawTextFlags Flags) = 0;
  virtual void Draw(Integer X, Integer Y, const TChartGraphic& Graphic) = 0;
  virtual void StretchDraw(const TRect& R, const TChartGraphic& Graphic) = 0;

  // Clipping: one region or none.
  virtual void SetClipRegion(const TChartRegion& Region) = 0;
  virtual void ClearClipRegion() = 0;
  // Transparent text background; returns the previous setting.
  virtual bool SetBackgroundTransparent(bool Transparent) = 0;

  virtual TSize TextExtent(const String& Text) = 0;
  Integer TextWidth(const String& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const String& Text) { return TextExtent(Text).cy; }
};

// A canvas that measures with a measurer and draws nothing: the scratch
// canvas of layouts and hit tests.
class TMeasuringCanvas : public TChartCanvas {
public:
  explicit TMeasuringCanvas(const ITextMeasurer& Measurer) : FMeasurer(Measurer) {}
  void MoveTo(Integer, Integer) override {}
  void LineTo(Integer, Integer) override {}
  void Rectangle(const TRect&) override {}
  void RoundRect(const TRect&, Integer, Integer) override {}
  void Ellipse(const TRect&) override {}
  void Polygon(std::span<const TPoint>) override {}
  void Polyline(std::span<const TPoint>) override {}
  void Pie(const TRect&, const TPoint&, const TPoint&) override {}
  void Arc(const TRect&, const TPoint&, const TPoint&) override {}
  void FillRect(const TRect&) override {}
  void FrameRect(const TRect&) override {}
  void FillRegion(const TChartRegion&) override {}
  void FrameRegion(const TChartRegion&, Integer, Integer) override {}
  void TextOut(Integer, Integer, const String&) override {}
  void DrawText(const String& Text, TRect& R, TDrawTextFlags Flags) override;
  void Draw(Integer, Integer, const TChartGraphic&) override {}
  void StretchDraw(const TRect&, const TChartGraphic&) override {}
  void SetClipRegion(const TChartRegion&) override {}
  void ClearClipRegion() override {}
  bool SetBackgroundTransparent(bool Transparent) override {
    bool Old = FTransparent;
    FTransparent = Transparent;
    return Old;
  }
  TSize TextExtent(const String& Text) override { return FMeasurer.TextExtent(Font, Text); }

private:
  const ITextMeasurer& FMeasurer;
  bool FTransparent = false;
};
