#pragma once
// The extension bases of the controls: one template over a class-library
// control that turns its change notifications into overridable Notify...
// hooks, adds mouse-enter tracking, a parent-colour event and a hint colour;
// a second one for windowed controls adds bounds, dialog-code, focus and
// background hooks and the flat "highlighted" frame. A descendant overrides
// a hook and calls the inherited one to keep the class library's behaviour.
#include <utility>

#include "rtl/Set.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

// What every control built on these bases is.
class IOxExControl {
public:
  virtual ~IOxExControl() = default;
};

template <class Base>
class TOxExControl : public Base, public IOxExControl {
public:
  template <class... Args>
  explicit TOxExControl(TComponent* AOwner, Args&&... Rest) : Base(AOwner, std::forward<Args>(Rest)...) {}

  // clDefault: the colour the parent chain chooses; clNone: the
  // application's hint colour; anything else: that colour.
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  // Between mouse enter and mouse leave.
  bool MouseOver() const { return FMouseOver; }
  // The window this control's hints show in; empty: whatever the hint
  // machinery would use.
  const THintWindowClass& HintWindowClass() const { return FHintWindowClass; }
  void SetHintWindowClass(THintWindowClass Value) { FHintWindowClass = std::move(Value); }
  // After the parent's colour changed (and ours followed it, if it does).
  TNotifyEvent OnParentColorChanged;

protected:
  // An Alt+character offered to the form's controls: true takes it.
  virtual bool WantsDialogChar(Word Key, TShiftState Shift) { return Base::DialogChar(Key, Shift); }
  // Whether the point (client coordinates) belongs to the control.
  virtual bool IsHitAt(Integer X, Integer Y) { return Base::HitTest(X, Y); }
  virtual void NotifyTextChanged() { Base::TextChanged(); }
  virtual void NotifyVisibleChanged() { Base::VisibleChanged(); }
  virtual void NotifyEnabledChanged() { Base::EnabledChanged(); }
  virtual void NotifyColorChanged() { Base::ColorChanged(); }
  virtual void NotifyFontChanged() { Base::FontChanged(); }
  virtual void NotifyParentFontChanged() { Base::ParentFontChanged(); }
  virtual void NotifyParentColorChanged() {
    Base::ParentColorChanged();
    if (OnParentColorChanged) OnParentColorChanged(this);
  }
  virtual void NotifyParentShowHintChanged() { Base::ParentShowHintChanged(); }
  virtual void NotifyShowHintChanged() { Base::ShowHintChanged(); }
  virtual void NotifySysColorChanged() { Base::SysColorChange(); }
  // Control, of the same form, has just gained the focus.
  virtual void NotifyFocusChanged(TWinControl* Control) { Base::FocusChanged(Control); }
  // OnMouseEnter fires in the class library's handling.
  virtual void NotifyMouseEnter() {
    FMouseOver = true;
    Base::MouseEnter();
  }
  virtual void NotifyMouseLeave() {
    Base::MouseLeave();
    FMouseOver = false;
  }
  // The hint is about to show: its colour per HintColor, then the class
  // library's handling.
  virtual bool PrepareHint(THintInfo& Info) {
    if (FHintColor == clNone) {
      if (Application) Info.HintColor = Application->HintColor;
    } else if (FHintColor != clDefault) {
      Info.HintColor = FHintColor;
    } else if (TWinControl* parent = Base::Parent()) {
      THintInfo asked = Info;
      parent->NotifyHintShow(asked);
      Info.HintColor = asked.HintColor;
    }
    if (FHintWindowClass) Info.HintWindowClass = FHintWindowClass;
    Base::HintShow(Info);
    return true;
  }

  bool DialogChar(Word Key, TShiftState Shift) override { return WantsDialogChar(Key, Shift); }
  bool HitTest(Integer X, Integer Y) override { return IsHitAt(X, Y); }
  void FocusChanged(TWinControl* Control) override { NotifyFocusChanged(Control); }
  void TextChanged() override { NotifyTextChanged(); }
  void VisibleChanged() override { NotifyVisibleChanged(); }
  void EnabledChanged() override { NotifyEnabledChanged(); }
  void ColorChanged() override { NotifyColorChanged(); }
  void FontChanged() override { NotifyFontChanged(); }
  void ParentFontChanged() override { NotifyParentFontChanged(); }
  void ParentColorChanged() override { NotifyParentColorChanged(); }
  void ParentShowHintChanged() override { NotifyParentShowHintChanged(); }
  void ShowHintChanged() override { NotifyShowHintChanged(); }
  void SysColorChange() override { NotifySysColorChanged(); }
  void MouseEnter() override { NotifyMouseEnter(); }
  void MouseLeave() override { NotifyMouseLeave(); }
  void HintShow(THintInfo& Info) override { PrepareHint(Info); }

private:
  TColor FHintColor = clDefault;
  bool FMouseOver = false;
  THintWindowClass FHintWindowClass;
};

// Paints a windowless control now on its parent's window, without waiting
// for the message queue; nothing while it is not showing.
void PaintGraphicControlNow(TGraphicControl& Control);

// A windowless control on the extension base.
class TOxExGraphicControl : public TOxExControl<TGraphicControl> {
public:
  using TOxExControl<TGraphicControl>::TOxExControl;
  void RepaintNow() { PaintGraphicControlNow(*this); }
};

// The answer to WM_GETDLGCODE as a set.
enum TOxDialogCode : Byte { dcWantAllKeys, dcWantArrows, dcWantChars, dcButton, dcHasSetSel, dcWantTab, dcNative };
using TOxDialogCodes = TSet<TOxDialogCode, Byte>;
TOxDialogCodes DialogCodesOf(LRESULT Codes);
LRESULT DialogCodesResult(TOxDialogCodes Codes);

// Draws the flat two-pixel frame of a highlighted windowed control.
void DrawFlatFrame(HWND Window, bool Highlighted, TColor InnerColor);

template <class Base>
class TOxExWinControl : public TOxExControl<Base> {
  using Inherited = TOxExControl<Base>;

public:
  using Inherited::Inherited;

  // A flat frame, dark blue while focused or under the mouse.
  bool DotNetHighlighting() const { return FDotNetHighlighting; }
  void SetDotNetHighlighting(bool Value) {
    if (Value == FDotNetHighlighting) return;
    FDotNetHighlighting = Value;
    if (Base::HandleAllocated()) RedrawWindow(Base::Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }

protected:
  virtual void NotifyCursorChanged() { Base::CursorChanged(); }
  // The window is to be shown or hidden (Visible changed).
  virtual void NotifyShowingChanged() { Base::ShowingChanged(); }
  // Before Control is inserted (Inserting true) or removed (false).
  virtual void NotifyControlListChanging(TControl* Control, bool Inserting) {
    if (Inserting)
      Base::ControlListChange(Control, true);
    else
      Base::ControlChange(Control, false);
  }
  // After Control was inserted (Inserting true) or removed (false).
  virtual void NotifyControlListChanged(TControl* Control, bool Inserting) {
    if (Inserting)
      Base::ControlChange(Control, true);
    else
      Base::ControlListChange(Control, false);
  }
  // After the window moved or was resized.
  virtual void NotifyBoundsChanged() {}
  // May change what the control asks of the dialog keys; removing
  // dcNative makes the answer the set's own.
  virtual void AdjustDialogCodes(TOxDialogCodes& Codes) { (void)Codes; }
  virtual void HandleSetFocus(HWND PreviousWindow) {
    TMessage message{WM_SETFOCUS, reinterpret_cast<WPARAM>(PreviousWindow), 0, 0};
    Base::WndProc(message);
  }
  virtual void HandleKillFocus(HWND NextWindow) {
    TMessage message{WM_KILLFOCUS, reinterpret_cast<WPARAM>(NextWindow), 0, 0};
    Base::WndProc(message);
  }
  // A class that paints its own background answers true here and paints
  // in PaintBackground, whose answer becomes the message's result.
  virtual bool PaintsBackground() const { return false; }
  virtual bool PaintBackground(TCanvas& Canvas, LPARAM Param) {
    (void)Canvas;
    (void)Param;
    return false;
  }

  void CursorChanged() override { NotifyCursorChanged(); }
  void ShowingChanged() override { NotifyShowingChanged(); }
  void ControlListChange(TControl* Control, bool Inserting) override {
    if (Inserting)
      NotifyControlListChanging(Control, true);
    else
      NotifyControlListChanged(Control, false);
  }
  void ControlChange(TControl* Control, bool Inserting) override {
    if (Inserting)
      NotifyControlListChanged(Control, true);
    else
      NotifyControlListChanging(Control, false);
  }

  void NotifyMouseEnter() override {
    Inherited::NotifyMouseEnter();
    DrawFrame();
  }
  void NotifyMouseLeave() override {
    Inherited::NotifyMouseLeave();
    DrawFrame();
    if (FDotNetHighlighting && Base::HandleAllocated()) {
      // The ring the frame occupies, so that the next paint restores it.
      const TGdiObject ring(CreateRectRgn(0, 0, Base::Width() - 1, Base::Height() - 1));
      const TGdiObject inner(CreateRectRgn(2, 2, Base::Width() - 3, Base::Height() - 3));
      const auto rgn = [](const TGdiObject& R) { return static_cast<HRGN>(R.Get()); };
      CombineRgn(rgn(ring), rgn(ring), rgn(inner), RGN_DIFF);
      InvalidateRgn(Base::Handle(), rgn(ring), FALSE);
    }
  }

  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_MOVE:
      case WM_SIZE:
        Base::WndProc(Message);
        NotifyBoundsChanged();
        return;
      case WM_GETDLGCODE: {
        Base::WndProc(Message);
        TOxDialogCodes codes = DialogCodesOf(Message.Result);
        codes.Include(dcNative);
        AdjustDialogCodes(codes);
        if (!codes.Contains(dcNative)) Message.Result = DialogCodesResult(codes);
        return;
      }
      case WM_SETFOCUS:
        HandleSetFocus(reinterpret_cast<HWND>(Message.WParam));
        DrawFrame();
        return;
      case WM_KILLFOCUS:
        HandleKillFocus(reinterpret_cast<HWND>(Message.WParam));
        DrawFrame();
        return;
      case WM_NCPAINT:
        Base::WndProc(Message);
        DrawFrame();
        return;
      case WM_ERASEBKGND:
        if (Message.WParam && PaintsBackground()) {
          HDC dc = reinterpret_cast<HDC>(Message.WParam);
          const TSavedDC saved(dc);
          TCanvas canvas;
          const TCanvasOnDC onDC(canvas, dc);
          Message.Result = PaintBackground(canvas, Message.LParam) ? 1 : 0;
          return;
        }
        break;
      default:
        break;
    }
    Base::WndProc(Message);
  }

private:
  void DrawFrame() {
    if (!FDotNetHighlighting || !Base::HandleAllocated() || Base::ComponentState().Contains(csDesigning)) return;
    DrawFlatFrame(Base::Handle(), Base::Focused() || Inherited::MouseOver(), Base::Color());
  }

  bool FDotNetHighlighting = false;
};
