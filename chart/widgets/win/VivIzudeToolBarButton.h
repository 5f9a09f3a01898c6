#pragma once
// The children of the tool bar: the element base, which knows its tool bar
// only through two notifications, the own-drawn buttons (four painted
// states, pictures by state and size, size from the layout), the small
// arrow button used for the options menu, and the separator.
#include <functional>
#include <memory>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/drawing/win/VivIzudeTypes.h"
#include "chart/widgets/win/VivIzudeBitmapContainer.h"
#include "chart/widgets/win/VivIzudeCustomControl.h"
#include "chart/widgets/win/VivIzudePopup.h"

// A fixed underlying type lets the settings reader store any ordinal safely.
enum TVivIzudeToolBarElementState : Byte { esNormal, esLarge };
// Ordered: a smaller layout gives up space.
enum TVivIzudeToolBarButtonLayout : Byte { bblNone, bblBitmap, bblLabel, bblLarge };
enum TVivIzudeToolBarButtonBitmapPosition : Byte { bbpLeft, bbpTop };
enum TVivIzudeToolBarButtonDropDownKind : Byte { ddkNormal, ddkDropDown, ddkDropDownButton };
enum TVivIzudeToolBarButtonDropDownPosition : Byte { ddpRight, ddpBottom };

class TVivIzudeCustomToolBarElement : public TVivIzudeCustomControl {
public:
  explicit TVivIzudeCustomToolBarElement(TComponent* AOwner);
  void Assign(TPersistent* Source) override;

  bool CanCopy() const { return FCanCopy; }
  void SetCanCopy(bool Value) { FCanCopy = Value; }
  TVivIzudeToolBarElementState State() const { return FState; }
  void SetState(TVivIzudeToolBarElementState Value);
  bool LastElement() const { return FLastElement; }
  void SetLastElement(bool Value);
  Integer ControlIndex() const { return FControlIndex; }
  void SetControlIndex(Integer Value) { FControlIndex = Value; }
  // Set while the tool bar moves elements about, so that none asks for a
  // layout meanwhile.
  bool BlockUpdate() const { return FBlockUpdate; }
  void SetBlockUpdate(bool Value) { FBlockUpdate = Value; }

  // Installed by the tool bar's layout.
  TNotifyEvent OnUpdateToolBar, OnUpdateToolBarControl;

  virtual void ApplyState() {}
  // The part of ApplyState that settings do not hold: the control's size.
  virtual void ScaleSizeForState(float /*AFactor*/) {}
  virtual void UpdateToolBar();
  virtual void UpdateToolBarControl();

  void SetVisible(bool Value) override;
  // Settings hold the scaled drop-down and font sizes but not the control's
  // size: a state read from settings scales only the size, once.
  void LoadSettingsFromStream(TStream* AStream) override;
  void LoadSettingsFromFile(const String& AFileName) override;

protected:
  void UpdateControlAfterResize() override { UpdateToolBar(); }
  bool FBlockUpdate = false;

private:
  void ReadSettings(const std::function<void()>& ALoad);
  bool FReadingSettings = false;
  bool FCanCopy = true;
  TVivIzudeToolBarElementState FState = esNormal;
  bool FLastElement = false;
  Integer FControlIndex = 0;
};

class TVivIzudeDefaultToolBarButton;

// Four-state fills and strokes. With an owner button a change updates it;
// without one it fires OnChange.
class TVivIzudeToolBarCustomButtonAppearance : public TPersistent {
public:
  explicit TVivIzudeToolBarCustomButtonAppearance(TVivIzudeDefaultToolBarButton* AOwner);
  ~TVivIzudeToolBarCustomButtonAppearance() override;
  void Assign(TPersistent* Source) override;

  TVivIzudeGraphicsFill* NormalFill() const { return FNormalFill.get(); }
  TVivIzudeGraphicsFill* HoverFill() const { return FHoverFill.get(); }
  TVivIzudeGraphicsFill* DownFill() const { return FDownFill.get(); }
  TVivIzudeGraphicsFill* DisabledFill() const { return FDisabledFill.get(); }
  TVivIzudeGraphicsStroke* NormalStroke() const { return FNormalStroke.get(); }
  TVivIzudeGraphicsStroke* HoverStroke() const { return FHoverStroke.get(); }
  TVivIzudeGraphicsStroke* DownStroke() const { return FDownStroke.get(); }
  TVivIzudeGraphicsStroke* DisabledStroke() const { return FDisabledStroke.get(); }
  TVivIzudeGraphicsStroke* InnerStroke() const { return FInnerStroke.get(); }
  TVivIzudeGraphicsCorners Corners() const { return FCorners; }
  void SetCorners(TVivIzudeGraphicsCorners Value);
  float Rounding() const { return FRounding; }
  void SetRounding(float Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool ShowInnerStroke() const { return FShowInnerStroke; }
  void SetShowInnerStroke(bool Value);
  bool FlatStyle() const { return FFlatStyle; }
  void SetFlatStyle(bool Value);
  // The defaults of a new appearance.
  void Reset();

  TNotifyEvent OnChange;

protected:
  virtual void Changed();

private:
  TVivIzudeDefaultToolBarButton* FOwner;  // not owned; may be nullptr
  std::unique_ptr<TVivIzudeGraphicsStroke> FHoverStroke;
  std::unique_ptr<TVivIzudeGraphicsFill> FDownFill, FNormalFill;
  std::unique_ptr<TVivIzudeGraphicsStroke> FDownStroke;
  std::unique_ptr<TVivIzudeGraphicsFill> FDisabledFill;
  std::unique_ptr<TVivIzudeGraphicsStroke> FNormalStroke, FDisabledStroke;
  std::unique_ptr<TVivIzudeGraphicsFill> FHoverFill;
  TVivIzudeGraphicsCorners FCorners = AllCorners;
  float FRounding = 3;
  bool FTransparent = false;
  bool FShowInnerStroke = true;
  std::unique_ptr<TVivIzudeGraphicsStroke> FInnerStroke;
  bool FFlatStyle = false;
};

class TVivIzudeToolBarButtonAppearance : public TVivIzudeToolBarCustomButtonAppearance {
  using TVivIzudeToolBarCustomButtonAppearance::TVivIzudeToolBarCustomButtonAppearance;
};
class TVivIzudeToolBarCompactAppearance : public TVivIzudeToolBarCustomButtonAppearance {
  using TVivIzudeToolBarCustomButtonAppearance::TVivIzudeToolBarCustomButtonAppearance;
};
class TVivIzudeToolBarQuickMenuButtonAppearance : public TVivIzudeToolBarCustomButtonAppearance {
  using TVivIzudeToolBarCustomButtonAppearance::TVivIzudeToolBarCustomButtonAppearance;
};

class TVivIzudeDefaultToolBarButton : public TVivIzudeCustomToolBarElement {
public:
  explicit TVivIzudeDefaultToolBarButton(TComponent* AOwner);
  ~TVivIzudeDefaultToolBarButton() override;
  void Assign(TPersistent* Source) override;

  const String& Text() const { return FText; }
  void SetText(const String& Value);
  bool TextVisible() const { return FTextVisible; }
  void SetTextVisible(bool Value);
  TVivIzudeToolBarButtonAppearance* Appearance() const { return FAppearance.get(); }
  void SetAppearance(TVivIzudeToolBarButtonAppearance* Value) { FAppearance->Assign(Value); }
  TVivIzudeGraphicsFont* Font() const { return FFont.get(); }
  TVivIzudeBitmapContainer* BitmapContainer() const { return FBitmapContainer; }
  void SetBitmapContainer(TVivIzudeBitmapContainer* Value);
  TVivScaledBitmaps* Bitmaps() const { return FBitmaps.get(); }
  TVivScaledBitmaps* DisabledBitmaps() const { return FDisabledBitmaps.get(); }
  TVivScaledBitmaps* HoverBitmaps() const { return FHoverBitmaps.get(); }
  TVivScaledBitmaps* LargeLayoutBitmaps() const { return FLargeLayoutBitmaps.get(); }
  TVivScaledBitmaps* LargeLayoutHoverBitmaps() const { return FLargeLayoutHoverBitmaps.get(); }
  TVivScaledBitmaps* LargeLayoutDisabledBitmaps() const { return FLargeLayoutDisabledBitmaps.get(); }
  bool BitmapVisible() const { return FBitmapVisible; }
  void SetBitmapVisible(bool Value);
  float BitmapSize() const { return FBitmapSize; }
  void SetBitmapSize(float Value);
  float LargeLayoutBitmapSize() const { return FLargeLayoutBitmapSize; }
  void SetLargeLayoutBitmapSize(float Value);
  bool AutoBitmapSize() const { return FAutoBitmapSize; }
  void SetAutoBitmapSize(bool Value);
  bool StretchBitmapIfNoText() const { return FStretchBitmapIfNoText; }
  void SetStretchBitmapIfNoText(bool Value);
  bool StretchText() const { return FStretchText; }
  void SetStretchText(bool Value);
  TVivIzudeToolBarButtonBitmapPosition BitmapPosition() const { return FBitmapPosition; }
  void SetBitmapPosition(TVivIzudeToolBarButtonBitmapPosition Value);
  TVivIzudeToolBarButtonLayout Layout() const { return FLayout; }
  void SetLayout(TVivIzudeToolBarButtonLayout Value);
  TVivIzudeToolBarButtonLayout CompactLayout() const { return FCompactLayout; }
  void SetCompactLayout(TVivIzudeToolBarButtonLayout Value) { FCompactLayout = Value; }
  TVivIzudeToolBarButtonLayout MinimumLayout() const { return FMinimumLayout; }
  void SetMinimumLayout(TVivIzudeToolBarButtonLayout Value);
  TVivIzudeToolBarButtonLayout MaximumLayout() const { return FMaximumLayout; }
  void SetMaximumLayout(TVivIzudeToolBarButtonLayout Value);
  bool DownState() const { return FDownState; }
  void SetDownState(bool Value);
  bool WordWrapping() const { return FWordWrapping; }
  void SetWordWrapping(bool Value);
  TVivIzudeGraphicsTextAlign HorizontalTextAlign() const { return FHorizontalTextAlign; }
  void SetHorizontalTextAlign(TVivIzudeGraphicsTextAlign Value);
  TVivIzudeGraphicsTextAlign VerticalTextAlign() const { return FVerticalTextAlign; }
  void SetVerticalTextAlign(TVivIzudeGraphicsTextAlign Value);
  TVivIzudeGraphicsTextTrimming Trimming() const { return FTrimming; }
  void SetTrimming(TVivIzudeGraphicsTextTrimming Value);
  TColor HoverFontColor() const { return FHoverFontColor; }
  void SetHoverFontColor(TColor Value);
  TColor DownFontColor() const { return FDownFontColor; }
  void SetDownFontColor(TColor Value);
  TColor DisabledFontColor() const { return FDisabledFontColor; }
  void SetDisabledFontColor(TColor Value);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool Value);
  bool IsHovered() const { return FHover; }
  bool IsDown() const { return FDown; }
  // The drop-down popup, owned by the button for its whole life.
  TVivIzudePopup* GetPopupControl() const { return FPopup; }
  TVivIzudePopupPlacement PopupPlacement() const { return FPopupPlacement; }
  void SetPopupPlacement(TVivIzudePopupPlacement Value) { FPopupPlacement = Value; }
  float DropDownHeight() const { return FDropDownHeight; }
  void SetDropDownHeight(float Value);
  float DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(float Value);
  bool DropDownAutoWidth() const { return FDropDownAutoWidth; }
  void SetDropDownAutoWidth(bool Value);
  TControl* DropDownControl() const { return FDropDownControl; }
  void SetDropDownControl(TControl* Value);
  bool CloseOnSelection() const { return FCloseOnSelection; }
  void SetCloseOnSelection(bool Value) { FCloseOnSelection = Value; }
  bool ApplyName() const { return FApplyName; }
  void SetApplyName(bool Value) { FApplyName = Value; }

  TNotifyEvent OnBeforeDropDown, OnDropDown, OnCloseDropDown;

  virtual bool ShowDesignFrame() const { return false; }
  virtual String GetText() const { return FText; }
  virtual TSizeF GetTextSize();
  virtual void UpdateControlSize();
  // Runs each time the popup opens, before it shows.
  virtual void UpdateDropDownControl() {}
  virtual void UpdateAppearance() { Invalidate(); }
  // Keys on the button itself; the item pickers choose with them.
  virtual void SelectFirstItem() {}
  virtual void SelectItemByKey(Char) {}
  virtual void SelectLastItem() {}
  virtual void SelectNextItem() {}
  virtual void SelectPreviousItem() {}
  virtual void DrawButtonText(TVivIzudeGraphics* AGraphics);
  virtual void DrawButtonBitmap(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void DrawDropDownPart(TVivIzudeGraphics*) {}
  virtual bool HasDropDown() const { return false; }
  virtual bool CanApplyName() const { return true; }
  virtual TRectF GetTextRect();
  virtual TRectF GetDropDownRect() const;
  virtual TRectF GetBitmapRect();
  virtual TRectF CalculateBitmapRect(const TRectF& R);
  virtual float GetBitmapSize();
  virtual float GetLargeLayoutBitmapSize();
  // Opens the popup, or closes it when it is open.
  virtual void DropDown();
  virtual void CloseDropDown();
  // The normal picture for the current scale, or nullptr.
  virtual TPicture* GetBitmap();
  void SetName(const String& NewName) override;
  void SetAdaptToStyle(bool Value) override;
  void ApplyState() override;
  void ScaleSizeForState(float AFactor) override;
  String GetHintString() const override { return Hint(); }
  bool HasHint() const override { return !Hint().empty(); }
  void ApplyStyle() override;
  void ResetToDefaultStyle() override;
  void ChangeDPIScale(Integer M, Integer D) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void HandleMouseLeave() override;
  void HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void HandleMouseMove(TShiftState Shift, float X, float Y) override;
  void HandleMouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void HandleKeyDown(Word& Key, TShiftState Shift) override;
  void HandleKeyPress(Char& Key) override;
  void HandleKeyUp(Word& Key, TShiftState Shift) override;
  void UpdateControlAfterResize() override;
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  void BitmapsChanged(TObject* Sender);
  void SizeChanged();
  void PopupOpened(TObject* Sender);
  void PopupClosed(TObject* Sender);

  float FOldHeight = -1;
  bool FDown = false, FHover = false, FPrevHover = false;

private:
  bool FBitmapVisible = false;
  String FText;
  TVivIzudePopup* FPopup;  // owned by this button as its component owner
  TVivIzudePopupPlacement FPopupPlacement = ppBottom;
  float FDropDownHeight = 135, FDropDownWidth = 135;
  bool FApplyName = true;
  TControl* FDropDownControl = nullptr;  // not owned; free notification
  bool FCloseOnSelection = true;
  bool FDropDownAutoWidth = false;
  // When a mouse press on this button closed the popup; 0 otherwise.
  DWORD FClosedByPressTick = 0;
  std::unique_ptr<TVivIzudeToolBarButtonAppearance> FAppearance;
  TVivIzudeBitmapContainer* FBitmapContainer = nullptr;  // not owned; free notification
  std::unique_ptr<TVivScaledBitmaps> FBitmaps;
  std::unique_ptr<TVivIzudeGraphicsFont> FFont;
  bool FDownState = false;
  bool FTextVisible = true;
  TVivIzudeGraphicsTextAlign FVerticalTextAlign = gtaCenter, FHorizontalTextAlign = gtaCenter;
  bool FWordWrapping = false;
  TVivIzudeGraphicsTextTrimming FTrimming = gttCharacter;
  float FBitmapSize = 24;
  bool FStretchText = false;
  std::unique_ptr<TVivScaledBitmaps> FDisabledBitmaps, FHoverBitmaps;
  bool FShowFocus = false;
  TColor FHoverFontColor = -1, FDownFontColor = -1, FDisabledFontColor = -1;
  bool FStretchBitmapIfNoText = true;
  TVivIzudeToolBarButtonBitmapPosition FBitmapPosition = bbpLeft;
  TVivIzudeToolBarButtonLayout FMaximumLayout = bblLarge, FMinimumLayout = bblBitmap, FLayout = bblNone,
                               FCompactLayout = bblNone;
  float FLargeLayoutBitmapSize = 32;
  std::unique_ptr<TVivScaledBitmaps> FLargeLayoutBitmaps, FLargeLayoutHoverBitmaps, FLargeLayoutDisabledBitmaps;
  bool FAutoBitmapSize = false, FLargeLayoutAutoBitmapSize = false;
};

// A button the options menu lists by AutoOptionsMenuText, and that can be
// hidden from code through Hidden.
class TVivIzudeToolBarDropDownButton;

class TVivIzudeCustomToolBarButton : public TVivIzudeDefaultToolBarButton {
public:
  explicit TVivIzudeCustomToolBarButton(TComponent* AOwner);
  void Assign(TPersistent* Source) override;
  const String& AutoOptionsMenuText() const { return FAutoOptionsMenuText; }
  void SetAutoOptionsMenuText(const String& Value) { FAutoOptionsMenuText = Value; }
  bool Hidden() const { return FHidden; }
  void SetHidden(bool Value);
  TVivIzudeToolBarButtonDropDownKind DropDownKind() const { return FDropDownKind; }
  void SetDropDownKind(TVivIzudeToolBarButtonDropDownKind Value);
  TVivIzudeToolBarButtonDropDownPosition DropDownPosition() const { return FDropDownPosition; }
  void SetDropDownPosition(TVivIzudeToolBarButtonDropDownPosition Value);
  TVivIzudeToolBarDropDownButton* GetDropDownButtonControl() const { return FDropDownButton; }

  virtual void UpdateDropDownButtonAppearance();
  void UpdateAppearance() override;
  void DrawDropDownPart(TVivIzudeGraphics* AGraphics) override;
  bool HasDropDown() const override { return FDropDownKind != ddkNormal; }
  TRectF GetTextRect() override;
  TRectF GetDropDownRect() const override;
  TRectF CalculateBitmapRect(const TRectF& R) override;
  void SetEnabled(bool Value) override;
  void SetAdaptToStyle(bool Value) override;

protected:
  void HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void DropDownButtonClick(TObject* Sender);

private:
  TVivIzudeToolBarDropDownButton* FDropDownButton;  // owned by this button as its component owner
  TVivIzudeToolBarButtonDropDownKind FDropDownKind = ddkNormal;
  TVivIzudeToolBarButtonDropDownPosition FDropDownPosition = ddpRight;
  bool FHidden = false;
  String FAutoOptionsMenuText;
};

class TVivIzudeToolBarButton : public TVivIzudeCustomToolBarButton {
public:
  explicit TVivIzudeToolBarButton(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

// The small arrow button: its picture fills it but for a 3-pixel inset.
class TVivIzudeToolBarDropDownButton : public TVivIzudeDefaultToolBarButton {
public:
  explicit TVivIzudeToolBarDropDownButton(TComponent* AOwner);
  TRectF CalculateBitmapRect(const TRectF& R) override;
  void RegisterRuntimeClasses() override;
};

class TVivIzudeCustomToolBarSeparator;

class TVivIzudeToolBarSeparatorAppearance : public TPersistent {
public:
  explicit TVivIzudeToolBarSeparatorAppearance(TVivIzudeCustomToolBarSeparator* AOwner);
  void Assign(TPersistent* Source) override;
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  TVivIzudeGraphicsStroke* InnerStroke() const { return FInnerStroke.get(); }

private:
  TVivIzudeCustomToolBarSeparator* FOwner;  // not owned
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke, FInnerStroke;
};

class TVivIzudeCustomToolBarSeparator : public TVivIzudeCustomToolBarElement {
public:
  explicit TVivIzudeCustomToolBarSeparator(TComponent* AOwner);
  void Assign(TPersistent* Source) override;
  TVivIzudeToolBarSeparatorAppearance* Appearance() const { return FAppearance.get(); }
  void ApplyState() override;
  void ScaleSizeForState(float AFactor) override;

protected:
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;

private:
  std::unique_ptr<TVivIzudeToolBarSeparatorAppearance> FAppearance;
};

class TVivIzudeToolBarSeparator : public TVivIzudeCustomToolBarSeparator {
public:
  explicit TVivIzudeToolBarSeparator(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

// Describes the elements, their appearances and the font for the settings
// reader and writer; runs once.
void RegisterVivIzudeToolBarButtonClasses();
