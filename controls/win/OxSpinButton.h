#pragma once
// The spin button: a windowless button of two halves (top and bottom), each
// with its own click, repeated while held (the first repeat after
// InitRepeatPause, then every RepeatPause). Its faces come from a
// process-wide cache of pre-rendered bitmaps, one set per size, style and
// custom-glyph flag, shared by every button that needs it.
#include <memory>
#include <vector>

#include "controls/OxSpinModel.h"
#include "controls/win/OxExControls.h"
#include "vcl/ExtCtrls.h"

class TSpinButtonBitmapsManager;

// The six faces of one size and style: top down, bottom down, not down,
// disabled, and (with visual styles) top hot and bottom hot.
class TSpinButtonBitmaps {
public:
  TSpinButtonBitmaps(TSpinButtonBitmapsManager& Manager, Integer Width, Integer Height, TOxSpinButtonStyle Style,
                     bool CustomGlyphs);
  ~TSpinButtonBitmaps();
  TSpinButtonBitmaps(const TSpinButtonBitmaps&) = delete;
  TSpinButtonBitmaps& operator=(const TSpinButtonBitmaps&) = delete;

  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  TOxSpinButtonStyle Style() const { return FStyle; }
  bool CustomGlyphs() const { return FCustomGlyphs; }
  bool IsThemed() const { return FIsThemed; }
  // Orders sets by width, height, style, custom flag.
  int Compare(Integer AWidth, Integer AHeight, TOxSpinButtonStyle AStyle, bool ACustomGlyphs) const;

  Integer ClientCount() const { return FClientCount; }
  void AddClient() { ++FClientCount; }
  // The last client gone, the set frees itself (and leaves the manager).
  void RemoveClient();
  // Render again before the next draw (the system colours changed).
  void Reset() { FResetOnDraw = true; }
  bool ResetPending() const { return FResetOnDraw; }

  void Draw(TCanvas& Canvas, TSpinButtonState Down, bool Enabled, bool MouseInTopBtn, bool MouseInBottomBtn);
  // A button's own glyphs over the face.
  void DrawGlyphs(TCanvas& Canvas, TSpinButtonState State, bool Enabled, TBitmap* UpArrow, TBitmap* DownArrow);

private:
  void Render();
  void RenderPlain(TBitmap& Face, TSpinButtonState Pressed, bool Enabled);
  void RenderThemed(TBitmap& Face, int UpperState, int LowerState, bool Enabled);

  TSpinButtonBitmapsManager& FManager;
  Integer FWidth;
  Integer FHeight;
  TOxSpinButtonStyle FStyle;
  bool FCustomGlyphs;
  Integer FClientCount = 0;
  bool FResetOnDraw = false;
  bool FIsThemed = false;
  std::unique_ptr<TBitmap> FTopDownBtn, FBottomDownBtn, FNotDownBtn, FDisabledBtn, FTopHotBtn, FBottomHotBtn;
};

// The shared cache, alive while at least one spin button exists.
class TSpinButtonBitmapsManager {
public:
  // The manager, made on first use; every spin button is a client.
  static TSpinButtonBitmapsManager& AddClient();
  // nullptr while no spin button exists.
  static TSpinButtonBitmapsManager* Shared() { return FShared; }
  // The last client gone, the manager frees itself.
  void RemoveClient();
  Integer ClientCount() const { return FClientCount; }
  Integer SetCount() const { return static_cast<Integer>(FList.size()); }

  // The set for this key, made (and rendered) when there is none yet.
  TSpinButtonBitmaps* WantButtons(Integer Width, Integer Height, TOxSpinButtonStyle Style, bool CustomGlyphs);

private:
  friend class TSpinButtonBitmaps;
  TSpinButtonBitmapsManager() = default;
  ~TSpinButtonBitmapsManager();
  void Remove(TSpinButtonBitmaps* Set);

  std::vector<TSpinButtonBitmaps*> FList;  // sorted by key; each set frees itself
  Integer FClientCount = 0;
  static TSpinButtonBitmapsManager* FShared;
};

class TOxSpinButton : public TOxExGraphicControl {
public:
  explicit TOxSpinButton(TComponent* AOwner);
  ~TOxSpinButton() override;

  // sbsDefault splits the face along the diagonal from the bottom-left to
  // the top-right corner; sbsClassic into an upper and a lower half.
  TOxSpinButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TOxSpinButtonStyle Value);
  // The button's own arrows (owned copies; nullptr empties them).
  TBitmap* UpGlyph() const { return FUpGlyph.get(); }
  void SetUpGlyph(TBitmap* Value);
  TBitmap* DownGlyph() const { return FDownGlyph.get(); }
  void SetDownGlyph(TBitmap* Value);
  // Takes the focus when the button is pressed.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  Integer InitRepeatPause() const { return FInitRepeatPause; }
  void SetInitRepeatPause(Integer Value) { FInitRepeatPause = Value; }
  Integer RepeatPause() const { return FRepeatPause; }
  void SetRepeatPause(Integer Value) { FRepeatPause = Value; }

  TNotifyEvent OnTopClick;
  TNotifyEvent OnBottomClick;

  // The half shown pressed; a change repaints.
  TSpinButtonState Down() const { return FDown; }
  void SetDown(TSpinButtonState Value);
  TSpinButtonBitmaps* ButtonBitmaps() const { return FButtonBitmaps; }
  bool MouseInTopBtn() const { return FMouseInTopBtn; }
  bool MouseInBottomBtn() const { return FMouseInBottomBtn; }

protected:
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void NotifyMouseEnter() override;
  void NotifyMouseLeave() override;
  void NotifySysColorChanged() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

private:
  void TopClick();
  void BottomClick();
  void AfterClick();
  void RepeatTick();
  void GlyphChanged(TObject* Sender);
  void ReleaseButtons();
  bool HoldsCapture() const;
  bool HasCustomGlyphs() const { return !FUpGlyph->Empty() || !FDownGlyph->Empty(); }

  TOxSpinButtonStyle FButtonStyle = sbsDefault;
  std::unique_ptr<TBitmap> FUpGlyph;
  std::unique_ptr<TBitmap> FDownGlyph;
  bool FGlyphChanging = false;
  TWinControl* FFocusControl = nullptr;  // not owned; free notification
  Integer FInitRepeatPause = 400;
  Integer FRepeatPause = 100;
  TSpinButtonState FDown = sbNotDown;
  TSpinButtonState FLastDown = sbNotDown;
  bool FDragging = false;
  bool FMouseInTopBtn = false;
  bool FMouseInBottomBtn = false;
  TTimer* FRepeatTimer = nullptr;                // owned as a component, made at the first press
  TSpinButtonBitmaps* FButtonBitmaps = nullptr;  // a counted reference
  bool FRegistered = false;
};

// The spin arrows from the program's resources ("OxSpinUP", "OxSpinDOWN",
// "OxSpinUPPOLE", "OxSpinDOWNPOLE"), transparent where white; an empty
// bitmap when the resource is missing.
TBitmap& SpinGlyph(const wchar_t* Name);
