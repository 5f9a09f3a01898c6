#pragma once
// The widgets' drop-down popup: a component that, when opened, makes a
// borderless top-most form, moves a content control into it and places it
// next to a control (or a rectangle, or the mouse), kept on a monitor's work
// area by the portable placement. The focusable popup closes itself when it
// loses activation or on Escape/F4; the non-focusable one never takes the
// activation from the window the user works in and stays open until code
// deactivates it.
#include <functional>
#include <memory>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeTypes.h"
#include "chart/widgets/VivIzudePopupPlacement.h"
#include "chart/widgets/win/VivIzudeCustomComponent.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

using TVivIzudePopupPaint = std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect)>;

class TVivIzudeCustomPopupForm : public TCustomForm {
public:
  TVivIzudeCustomPopupForm(TComponent* AOwner, TControl* APlacementControl);
  ~TVivIzudeCustomPopupForm() override;

  bool HintWindow() const { return FHintWindow; }
  void SetHintWindow(bool Value) { FHintWindow = Value; }
  TVivIzudePopupPlacement Placement() const { return FPlacement; }
  void SetPlacement(TVivIzudePopupPlacement Value);
  TVivIzudePopupPlacement RealPlacement() const { return FRealPlacement; }
  TControl* PlacementControl() const { return FPlacementControl; }
  void SetPlacementControl(TControl* Value);
  TPointF Offset() const { return FOffset; }
  void SetOffset(const TPointF& Value);
  TSizeF Size() const { return FSize; }
  void SetSize(const TSizeF& Value);
  TVivMargins* PlacementRectangle() const { return FPlacementRectangle.get(); }
  void SetPlacementRectangle(TVivMargins* Value) { FPlacementRectangle->Assign(Value); }
  TVivMargins* ContentPadding() const { return FContentPadding.get(); }
  void SetContentPadding(TVivMargins* Value) { FContentPadding->Assign(Value); }
  TRectF ScreenPlacementRect() const { return FScreenPlacementRect; }
  TRectF ScreenContentRect() const { return FScreenContentRect; }
  bool DragWithParent() const { return FDragWithParent; }
  void SetDragWithParent(bool Value) { FDragWithParent = Value; }
  TControl* ContentControl() const { return FContentControl; }
  void SetContentControl(TControl* Value);
  void SetShowModal(bool Value) { FShowModal = Value; }
  bool ShowModalFlag() const { return FShowModal; }

  virtual void DoBeforeShow();
  virtual void DoBeforeClose();
  virtual void UpdatePopupBounds(const TRectF& ARect);
  virtual void CalculatePlacement();
  virtual void DoRealPlacementChanged();
  virtual void ApplyPlacement();
  bool CloseQuery() override;

  TNotifyEvent OnBeforeClose;
  TNotifyEvent OnBeforeShow;
  TNotifyEvent OnRealPlacementChanged;
  TVivIzudePopupPaint OnPopupPaint;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DoClose(TCloseAction& Action) override;

private:
  void PlacementTimerTick(TObject*);

  bool FHintWindow = false;
  std::unique_ptr<TTimer> FTimer;
  bool FFirstShow = false;
  bool FShowModal = false;
  TVivIzudePopupPlacement FPlacement = ppBottom;
  TVivIzudePopupPlacement FRealPlacement = ppBottom;
  TControl* FPlacementControl = nullptr;  // not owned
  TPointF FOffset;
  TSizeF FSize{320, 200};
  std::unique_ptr<TVivMargins> FPlacementRectangle;
  TRectF FScreenPlacementRect;
  bool FDragWithParent = true;
  TRectF FScreenContentRect;
  std::unique_ptr<TVivMargins> FContentPadding;
  TControl* FContentControl = nullptr;  // not owned
  bool FInPlacement = false;
};

// Never takes the activation: a window class style of its own answers the
// mouse's activation request with "no" (no window procedure is swapped).
class TVivIzudeCustomNonFocusablePopupForm : public TVivIzudeCustomPopupForm {
public:
  using TVivIzudeCustomPopupForm::TVivIzudeCustomPopupForm;
  void UpdatePopupBounds(const TRectF& ARect) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
};

class TVivIzudeCustomPopup : public TVivIzudeCustomComponent {
public:
  explicit TVivIzudeCustomPopup(TComponent* AOwner);
  ~TVivIzudeCustomPopup() override;
  void Assign(TPersistent* Source) override;
  String GetVersion() const override { return u"1.0.0.3"; }

  TControl* PlacementControl() const { return FPlacementControl; }
  void SetPlacementControl(TControl* Value);
  TVivIzudeCustomPopupForm* PopupForm() const { return FPopupForm; }
  bool StaysOpen() const { return FStaysOpen; }
  void SetStaysOpen(bool Value) { FStaysOpen = Value; }
  TVivIzudePopupPlacement Placement() const { return FPlacement; }
  void SetPlacement(TVivIzudePopupPlacement Value);
  TVivMargins* PlacementRectangle() const { return FPlacementRectangle.get(); }
  void SetPlacementRectangle(TVivMargins* Value);
  float HorizontalOffset() const { return FHorizontalOffset; }
  void SetHorizontalOffset(float Value) { FHorizontalOffset = Value; }
  float VerticalOffset() const { return FVerticalOffset; }
  void SetVerticalOffset(float Value) { FVerticalOffset = Value; }
  bool DragWithParent() const { return FDragWithParent; }
  void SetDragWithParent(bool Value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value);
  TSizeF PopupFormSize() const { return FPopupFormSize; }
  void SetPopupFormSize(const TSizeF& Value);
  TControl* ContentControl() const { return FContentControl; }
  void SetContentControl(TControl* Value);
  float DropDownHeight() const { return FDropDownHeight; }
  void SetDropDownHeight(float Value);
  float DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(float Value);
  TControl* FocusedControl() const { return FFocusedControl; }
  void SetFocusedControl(TControl* Value) { FFocusedControl = Value; }
  bool IsOpen() const { return FIsOpen; }
  void SetIsOpen(bool Value);
  bool HasPopupForm() const { return FPopupForm != nullptr; }

  virtual bool PointInPopup(const TPointF& APoint) const;

  TNotifyEvent OnClosePopup;
  TNotifyEvent OnPopup;
  TVivIzudePopupPaint OnPopupPaint;
  TNotifyEvent OnPopupShown;

protected:
  virtual void ShowPopupForm(bool AModal);
  virtual void DoPopupPaint(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void DoClosePopup();
  virtual void DoPopup();
  virtual void DoPopupShown();
  virtual void ClosePopup();
  virtual void OpenPopup(bool AShowModal);
  virtual TVivIzudeCustomPopupForm* CreatePopupForm();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;
  void UpdatePopupFormSize();
  void FocusFocusedControl();
  // Whether ClosePopup frees the form itself (the non-focusable popups).
  virtual bool FreesFormOnClose() const { return false; }
  bool FDestroyingPopup = false;
  void SetIsOpenFlag(bool Value) { FIsOpen = Value; }

private:
  bool FClosingFromForm = false;
  TControl* FPlacementControl = nullptr;           // not owned
  TVivIzudeCustomPopupForm* FPopupForm = nullptr;  // owned while open
  bool FStaysOpen = false;
  TVivIzudePopupPlacement FPlacement = ppBottom;
  std::unique_ptr<TVivMargins> FPlacementRectangle;
  float FHorizontalOffset = 0;
  float FVerticalOffset = 0;
  bool FDragWithParent = false;
  TModalResult FModalResult = mrNone;
  TSizeF FPopupFormSize{0, 0};
  TControl* FContentControl = nullptr;  // not owned
  float FDropDownHeight = 0;
  float FDropDownWidth = 0;
  TControl* FFocusedControl = nullptr;  // not owned
  bool FIsOpen = false;
  bool FBeingDestroyed = false;
};

class TVivIzudePopup : public TVivIzudeCustomPopup {
public:
  explicit TVivIzudePopup(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
  // 0 at once when already open.
  virtual TModalResult PopupModal();
  virtual void Popup(bool AShowModal = false) { OpenPopup(AShowModal); }
};

class TVivIzudeCustomNonFocusablePopup : public TVivIzudeCustomPopup {
public:
  explicit TVivIzudeCustomNonFocusablePopup(TComponent* AOwner);
  virtual void RestoreActiveWindow();

protected:
  TVivIzudeCustomPopupForm* CreatePopupForm() override;
  void ShowPopupForm(bool AModal) override;
  bool FreesFormOnClose() const override { return true; }
  HWND FActiveWindow = nullptr;
};

class TVivIzudeNonFocusablePopup : public TVivIzudeCustomNonFocusablePopup {
public:
  using TVivIzudeCustomNonFocusablePopup::TVivIzudeCustomNonFocusablePopup;
  virtual void Deactivate() { ClosePopup(); }
  virtual void Activate() { OpenPopup(false); }
};

// Registers TVivIzudePopup with the settings registry (once).
void RegisterVivIzudePopupClasses();
