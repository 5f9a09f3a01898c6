#pragma once
// The colour wheel: a hue/saturation disc the user clicks or drags in, with a
// marker at the chosen colour's place, red, green and blue edits and track
// bars, a hexadecimal edit and a panel showing the colour. Every view follows
// SelectedColor; changing any of them changes SelectedColor and the rest.
#include <functional>
#include <memory>

#include "chart/widgets/VivIzudeColorWheelGeometry.h"
#include "chart/widgets/win/VivIzudeEdit.h"
#include "chart/widgets/win/VivIzudeImage.h"
#include "vcl/ComCtrls.h"

// The disc picture with the marker and the pixel reader: picks report the
// colour shown under the pointer through OnColorChanged.
class TVivIzudeImageColor : public TVivIzudeImage {
public:
  explicit TVivIzudeImageColor(TComponent* AOwner);
  ~TVivIzudeImageColor() override;

  // Keeps a 24-bit copy of what the control shows (marker excluded), which
  // the picks read.
  void MapPixels();
  void UnmapPixels();
  // The colour of the copy at the pixel nearest (X, Y); -1 when there is no
  // copy yet or the point lies outside it.
  TColor XYToColor(float X, float Y);
  TPointF GetCenterPoint() const;
  float GetRadius() const;
  // The last picked colour.
  TColor PixelColor() const { return FPixelColor; }
  TPointF MarkerPoint() const { return {FX, FY}; }
  void SetMarkerPoint(const TPointF& APoint);

  TNotifyEvent OnColorChanged;

protected:
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  void HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void HandleMouseMove(TShiftState Shift, float X, float Y) override;
  void HandleMouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void Resize() override;

private:
  void BitmapLoaded(TObject* Sender);
  bool IsInsideWheel(float X, float Y) const;
  // Takes the colour at (X, Y) when there is one there and reports it.
  void PickAt(float X, float Y);

  bool FMouseDown = false;
  bool FImageLoaded = false;  // a new picture must be captured
  TColor FPixelColor = -1;
  float FX = 0, FY = 0;
  std::unique_ptr<TBitmap> FBmp;
  const Byte* FPixels = nullptr;  // the last read row of FBmp
  Integer FRX = 0;                // the last read column
};

// A track bar of 0..255 without ticks.
class TVivRGBTrackBar : public TTrackBar {
public:
  explicit TVivRGBTrackBar(TComponent* AOwner);
  float Value() const { return static_cast<float>(Position()); }
  void SetValue(float AValue);
};

using TVivIzudeCustomColorWheelSelectedColorChangedEvent = std::function<void(TObject* Sender, TColor ASelectedColor)>;
using TVivIzudeCustomColorWheelRValueChangedEvent =
    std::function<void(TObject* Sender, Integer AR, TColor ASelectedColor)>;
using TVivIzudeCustomColorWheelGValueChangedEvent =
    std::function<void(TObject* Sender, Integer AG, TColor ASelectedColor)>;
using TVivIzudeCustomColorWheelBValueChangedEvent =
    std::function<void(TObject* Sender, Integer AB, TColor ASelectedColor)>;
using TVivIzudeCustomColorWheelBeforeDrawSelectedColorPanelEvent =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARectF, TColor ASelectedColor,
                       bool& AAllow, bool& ADefaultDraw)>;
using TVivIzudeCustomColorWheelAfterDrawSelectedColorPanelEvent =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARectF, TColor ASelectedColor)>;

class TVivIzudeCustomColorWheel : public TVivIzudeCustomControl {
public:
  explicit TVivIzudeCustomColorWheel(TComponent* AOwner);
  String GetVersion() const override;

  TColor SelectedColor() const { return FSelectedColor; }
  void SetSelectedColor(TColor Value);
  Integer RValue() const { return FRValue; }
  void SetRValue(Integer Value);
  Integer GValue() const { return FGValue; }
  void SetGValue(Integer Value);
  Integer BValue() const { return FBValue; }
  void SetBValue(Integer Value);
  String HEXValue() const;
  // Six hexadecimal digits, red first; any other length is ignored.
  void SetHEXValue(const String& Value);
  const TVivIzudeColorWheelHSColor& HSColor() const { return FHSColor; }

  static Integer ColorToRValue(TColor AColor) { return ::ColorToRValue(AColor); }
  static Integer ColorToGValue(TColor AColor) { return ::ColorToGValue(AColor); }
  static Integer ColorToBValue(TColor AColor) { return ::ColorToBValue(AColor); }
  static TColor RGBToGraphicsColor(Integer R, Integer G, Integer B) { return ::RGBToGraphicsColor(R, G, B); }

  TVivIzudeImageColor* Image() const { return FImage; }
  TVivIzudeEdit* REdit() const { return FREdit; }
  TVivIzudeEdit* GEdit() const { return FGEdit; }
  TVivIzudeEdit* BEdit() const { return FBEdit; }
  TVivIzudeEdit* HEXEdit() const { return FHEXEdit; }
  TVivRGBTrackBar* RTrackBar() const { return FRTrackBar; }
  TVivRGBTrackBar* GTrackBar() const { return FGTrackBar; }
  TVivRGBTrackBar* BTrackBar() const { return FBTrackBar; }
  // Where the selected colour's panel goes.
  TRectF SelectedColorPanelRect() const;

  void ApplyStyle() override;
  void ResetToDefaultStyle() override;

  TVivIzudeCustomColorWheelBeforeDrawSelectedColorPanelEvent OnBeforeDrawSelectedColorPanel;
  TVivIzudeCustomColorWheelAfterDrawSelectedColorPanelEvent OnAfterDrawSelectedColorPanel;
  TVivIzudeCustomColorWheelSelectedColorChangedEvent OnSelectedColorChanged;
  TVivIzudeCustomColorWheelRValueChangedEvent OnRValueChanged;
  TVivIzudeCustomColorWheelGValueChangedEvent OnGValueChanged;
  TVivIzudeCustomColorWheelBValueChangedEvent OnBValueChanged;

protected:
  virtual void DoBeforeDrawSelectedColorPanel(TVivIzudeGraphics* AGraphics, const TRectF& ARectF, TColor ASelectedColor,
                                              bool& AAllow, bool& ADefaultDraw);
  virtual void DoAfterDrawSelectedColorPanel(TVivIzudeGraphics* AGraphics, const TRectF& ARectF, TColor ASelectedColor);
  virtual void DoSelectedColorChanged(TColor ASelectedColor);
  virtual void DoRValueChanged(Integer AR, TColor ASelectedColor);
  virtual void DoGValueChanged(Integer AG, TColor ASelectedColor);
  virtual void DoBValueChanged(Integer AB, TColor ASelectedColor);
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  void UpdateControlAfterResize() override;

private:
  enum class TComponentIndex { R, G, B };
  void SetComponentValue(TComponentIndex AIndex, Integer Value);
  void UpdateHEXEdit();
  void UpdateHueSaturation();
  void UpdateColorMarker();
  void CenterImage();
  void DrawSelectedColorPanel(TVivIzudeGraphics* AGraphics);
  void DrawEditLabels(TVivIzudeGraphics* AGraphics);
  void WheelFillChanged(TObject* Sender);
  void ImageColorChanged(TObject* Sender);
  void ComponentEditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void HEXEditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void TrackBarChange(TObject* Sender);

  // Children, owned by the wheel as their owner.
  TVivIzudeImageColor* FImage = nullptr;
  TVivIzudeEdit *FREdit = nullptr, *FGEdit = nullptr, *FBEdit = nullptr, *FHEXEdit = nullptr;
  TVivRGBTrackBar *FRTrackBar = nullptr, *FGTrackBar = nullptr, *FBTrackBar = nullptr;
  TColor FSelectedColor = 0xFFFFFF;
  Integer FGValue = 255, FRValue = 255, FBValue = 255;
  TVivIzudeColorWheelHSColor FHSColor;
};

class TVivIzudeColorWheel : public TVivIzudeCustomColorWheel {
public:
  explicit TVivIzudeColorWheel(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

void RegisterVivIzudeColorWheelClasses();
