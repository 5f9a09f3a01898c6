#pragma once
// The usage bar: a windowless gauge showing a position within a range as a
// level-coloured bar with a percentage, or, in infinite mode, a block that
// sweeps back and forth. The picture is drawn off-screen by
// DrawProgressGauge and copied in one go, so the bar never flickers;
// position changes and sweep steps paint at once.
#include <memory>

#include "controls/VivProgressGauge.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"

class TVivProgressBar : public TGraphicControl {
public:
  explicit TVivProgressBar(TComponent* AOwner);
  ~TVivProgressBar() override;

  TColor Level0Color() const { return FLook.Level0Color; }
  void SetLevel0Color(TColor Value) { SetLook(FLook.Level0Color, Value); }
  TColor Level0ColorTo() const { return FLook.Level0ColorTo; }
  void SetLevel0ColorTo(TColor Value) { SetLook(FLook.Level0ColorTo, Value); }
  TColor Level1Color() const { return FLook.Level1Color; }
  void SetLevel1Color(TColor Value) { SetLook(FLook.Level1Color, Value); }
  TColor Level1ColorTo() const { return FLook.Level1ColorTo; }
  void SetLevel1ColorTo(TColor Value) { SetLook(FLook.Level1ColorTo, Value); }
  TColor Level2Color() const { return FLook.Level2Color; }
  void SetLevel2Color(TColor Value) { SetLook(FLook.Level2Color, Value); }
  TColor Level2ColorTo() const { return FLook.Level2ColorTo; }
  void SetLevel2ColorTo(TColor Value) { SetLook(FLook.Level2ColorTo, Value); }
  TColor Level3Color() const { return FLook.Level3Color; }
  void SetLevel3Color(TColor Value) { SetLook(FLook.Level3Color, Value); }
  TColor Level3ColorTo() const { return FLook.Level3ColorTo; }
  void SetLevel3ColorTo(TColor Value) { SetLook(FLook.Level3ColorTo, Value); }
  Integer Level1Perc() const { return FLook.Level1Perc; }
  void SetLevel1Perc(Integer Value) { SetLook(FLook.Level1Perc, Value); }
  Integer Level2Perc() const { return FLook.Level2Perc; }
  void SetLevel2Perc(Integer Value) { SetLook(FLook.Level2Perc, Value); }
  // Background zones of the levels; clNone: none. Only a new value repaints.
  TColor Level0BkColor() const { return FLook.Level0BkColor; }
  void SetLevel0BkColor(TColor Value) { SetLookIfChanged(FLook.Level0BkColor, Value); }
  TColor Level1BkColor() const { return FLook.Level1BkColor; }
  void SetLevel1BkColor(TColor Value) { SetLookIfChanged(FLook.Level1BkColor, Value); }
  TColor Level2BkColor() const { return FLook.Level2BkColor; }
  void SetLevel2BkColor(TColor Value) { SetLookIfChanged(FLook.Level2BkColor, Value); }
  TColor BorderColor() const { return FLook.BorderColor; }
  void SetBorderColor(TColor Value) { SetLook(FLook.BorderColor, Value); }
  TColor BackgroundColor() const { return FLook.BackgroundColor; }
  void SetBackgroundColor(TColor Value) { SetLook(FLook.BackgroundColor, Value); }
  bool ShowBorder() const { return FLook.ShowBorder; }
  void SetShowBorder(bool Value) { SetLook(FLook.ShowBorder, Value); }
  bool Stacked() const { return FLook.Stacked; }
  void SetStacked(bool Value) { SetLook(FLook.Stacked, Value); }
  bool ShowPercentage() const { return FLook.ShowPercentage; }
  void SetShowPercentage(bool Value) { SetLook(FLook.ShowPercentage, Value); }
  bool ShowPosition() const { return FLook.ShowPosition; }
  void SetShowPosition(bool Value) { SetLook(FLook.ShowPosition, Value); }
  bool ShowGradient() const { return FLook.ShowGradient; }
  void SetShowGradient(bool Value) { SetLook(FLook.ShowGradient, Value); }
  bool CompletionSmooth() const { return FLook.CompletionSmooth; }
  void SetCompletionSmooth(bool Value) { SetLook(FLook.CompletionSmooth, Value); }
  Integer Steps() const { return FLook.Steps; }
  void SetSteps(Integer Value) { SetLook(FLook.Steps, Value); }
  bool Rounded() const { return FLook.Rounded; }
  void SetRounded(bool Value) { SetLook(FLook.Rounded, Value); }
  TGaugeOrientation Orientation() const { return FLook.Orientation; }
  void SetOrientation(TGaugeOrientation Value) { SetLook(FLook.Orientation, Value); }
  // Text format applied to [Position, Max]; empty: the percentage.
  const String& Format() const { return FLook.Format; }
  void SetFormat(const String& Value) { SetLook(FLook.Format, Value); }

  Integer Min() const { return FPosition.Min(); }
  void SetMin(Integer Value);
  Integer Max() const { return FPosition.Max(); }
  void SetMax(Integer Value);
  // Clamped into Min..Max; the bar paints at once when what it shows
  // changed.
  Integer Position() const { return FPosition.Position(); }
  void SetPosition(Integer Value);
  // One up (back to Min past Max), one down (nothing at Min).
  void StepUp();
  void StepDown();
  // The shown percentage.
  Integer Percentage() const { return FPosition.Percentage(); }

  // The sweeping block runs while Infinite and Animated are both on.
  bool Infinite() const { return FLook.Infinite; }
  void SetInfinite(bool Value);
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool Value);
  Integer InfiniteInterval() const { return FInfiniteInterval; }
  void SetInfiniteInterval(Integer Value);
  Integer InfinitePos() const { return FSweep.Pos; }

  String Version() const;
  void SetVersion(const String&) {}

  // The off-screen picture as Paint draws it (for screenshots and tests).
  std::unique_ptr<TBitmap> RenderGauge();
  // How many times the gauge was drawn.
  Integer PaintCount() const { return FPaintCount; }

protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void FontChanged() override;

private:
  template <class T>
  void SetLook(T& Field, const T& Value) {
    Field = Value;
    Invalidate();
  }
  template <class T>
  void SetLookIfChanged(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  void InfiniteTimerStep();
  void UpdateTimer();
  void RepaintNow();
  float GaugeScaleFactor() const;

  TGaugeSettings FLook;
  TGaugePosition FPosition;
  TGaugeSweep FSweep;
  bool FAnimated = false;
  Integer FInfiniteInterval = 50;
  TTimer* FTimer = nullptr;  // owned as a component
  Integer FPaintCount = 0;
};
