#pragma once
// The own-drawn tool bar: lays its elements out in rows (small buttons
// stack in columns), paints its background, drag grip, caption band and
// right separator, lists its elements in an options menu through which
// the user hides and shows them, and collapses to a narrow compact face.
// The dock panel hosts tool bars, keeps them inside its margins, pushes
// overlapping ones apart and sizes itself to them.
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "chart/widgets/win/VivIzudePopup.h"
#include "chart/widgets/win/VivIzudeToolBarButton.h"
#include "chart/widgets/win/VivIzudeToolBarPickers.h"
#include "vcl/Menus.h"

class TVivIzudeCustomToolBar;

// An element class, as the tool bar's class getters answer it: it makes a
// new element of that class with the given owner.
template <class TElement>
using TVivIzudeToolBarElementClass = TElement* (*)(TComponent* AOwner);

template <class TElement, class TBase = TElement>
TBase* NewToolBarElement(TComponent* AOwner) {
  return new TElement(AOwner);
}

// The popup of the compact face.
class TVivCToolBarPopup : public TVivIzudeNonFocusablePopup {
public:
  using TVivIzudeNonFocusablePopup::TVivIzudeNonFocusablePopup;
};

class TVivIzudeToolBarAppearance : public TPersistent {
public:
  explicit TVivIzudeToolBarAppearance(TVivIzudeCustomToolBar* AOwner);
  ~TVivIzudeToolBarAppearance() override;
  void Assign(TPersistent* Source) override;
  TVivIzudeGraphicsFill* Fill() const { return FFill.get(); }
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  TVivIzudeGraphicsStroke* SeparatorStroke() const { return FSeparatorStroke.get(); }
  float HorizontalSpacing() const { return FHorizontalSpacing; }
  void SetHorizontalSpacing(float Value);
  float VerticalSpacing() const { return FVerticalSpacing; }
  void SetVerticalSpacing(float Value);
  TColor DragGripColor() const { return FDragGripColor; }
  void SetDragGripColor(TColor Value);
  bool DragGrip() const { return FDragGrip; }
  void SetDragGrip(bool Value);
  bool FlatStyle() const { return FFlatStyle; }
  void SetFlatStyle(bool Value);
  bool Separator() const { return FSeparator; }
  void SetSeparator(bool Value);
  void ResetColors();

private:
  TVivIzudeCustomToolBar* FOwner;  // not owned
  std::unique_ptr<TVivIzudeGraphicsFill> FFill;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke;
  float FVerticalSpacing = 3, FHorizontalSpacing = 3;
  TColor FDragGripColor = 0xD3D3D3;
  bool FDragGrip = true, FFlatStyle = false;
  std::unique_ptr<TVivIzudeGraphicsStroke> FSeparatorStroke;
  bool FSeparator = false;
};

class TVivIzudeToolBarOptionsMenu : public TPersistent {
public:
  explicit TVivIzudeToolBarOptionsMenu(TVivIzudeCustomToolBar* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  bool ShowItemText() const { return FShowItemText; }
  void SetShowItemText(bool Value) { FShowItemText = Value; }
  bool ShowItemBitmap() const { return FShowItemBitmap; }
  void SetShowItemBitmap(bool Value) { FShowItemBitmap = Value; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool Value);
  float ItemBitmapWidth() const { return FItemBitmapWidth; }
  void SetItemBitmapWidth(float Value) { FItemBitmapWidth = Value; }
  bool AutoItemBitmapWidth() const { return FAutoItemBitmapWidth; }
  void SetAutoItemBitmapWidth(bool Value) { FAutoItemBitmapWidth = Value; }

private:
  TVivIzudeCustomToolBar* FOwner;  // not owned
  bool FShowItemText = true, FShowItemBitmap = true, FShowButton = true;
  float FItemBitmapWidth = 50;
  bool FAutoItemBitmapWidth = true;
};

// A control that is not a child of its tool bar at the moment (hidden by
// the user or moved out by compact mode), with what it needs to return.
class TVivIzudeToolBarControl : public TPersistent {
public:
  Integer ControlIndex = 0;
  TControl* Control = nullptr;  // not owned
  TVivIzudeToolBarButtonLayout Layout = bblNone;
  std::unique_ptr<TPicture> Bitmap = std::make_unique<TPicture>();
};

class TVivIzudeToolBarOptionMenuItem : public TMenuItem {
public:
  using TMenuItem::TMenuItem;
  TControl* Control = nullptr;  // not owned: the element the item stands for
  float GlyphWidth = 0;
};

using TVivIzudeToolBarCustomizeOptionsMenu = std::function<void(TObject* Sender, TPopupMenu* APopupMenu)>;
using TVivIzudeToolBarCustomizeOptionsMenuItem =
    std::function<void(TObject* Sender, TControl* AControl, TMenuItem* AMenuItem)>;
using TVivIzudeToolBarCanShowOptionsMenuItem =
    std::function<void(TObject* Sender, TControl* AControl, bool& ACanShowItem)>;
using TVivIzudeToolBarOptionsMenuItemClick =
    std::function<void(TObject* Sender, TControl* AControl, TMenuItem* AMenuItem, bool& AExecuteDefaultAction)>;
using TVivIzudeToolBarIsLastElement = std::function<void(TObject* Sender, TControl* AControl, bool& AIsLastElement)>;
using TVivIzudeToolBarDragGripMovingEvent = std::function<void(TObject* Sender, double DeltaX, double DeltaY)>;

class TVivIzudeCustomToolBar : public TVivIzudeCustomControl {
public:
  explicit TVivIzudeCustomToolBar(TComponent* AOwner);
  ~TVivIzudeCustomToolBar() override;
  void Assign(TPersistent* Source) override;
  String GetVersion() const override;

  TVivIzudeToolBarAppearance* Appearance() const { return FAppearance.get(); }
  TVivIzudeToolBarOptionsMenu* OptionsMenu() const { return FOptionsMenu.get(); }
  TVivIzudeToolBarCompactAppearance* CompactAppearance() const { return FCompactAppearance.get(); }
  TVivScaledBitmaps* CompactBitmaps() const { return FCompactBitmaps.get(); }
  TVivIzudeGraphicsFont* Font() const { return FFont.get(); }
  TPopupMenu* CustomOptionsMenu() const { return FCustomOptionsMenu; }
  void SetCustomOptionsMenu(TPopupMenu* Value);
  TPopupMenu* AutoOptionsMenu() const { return FAutoOptionsMenu; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) { SetFlag(FAutoSize, Value); }
  bool AutoAlign() const { return FAutoAlign; }
  void SetAutoAlign(bool Value) { SetFlag(FAutoAlign, Value); }
  bool AutoHeight() const { return FAutoHeight; }
  void SetAutoHeight(bool Value) { SetFlag(FAutoHeight, Value); }
  bool AutoWidth() const { return FAutoWidth; }
  void SetAutoWidth(bool Value) { SetFlag(FAutoWidth, Value); }
  bool AutoStretchHeight() const { return FAutoStretchHeight; }
  void SetAutoStretchHeight(bool Value) { SetFlag(FAutoStretchHeight, Value); }
  bool AutoMoveToolBar() const { return FAutoMoveToolBar; }
  void SetAutoMoveToolBar(bool Value) { FAutoMoveToolBar = Value; }
  bool WordWrapping() const { return FWordWrapping; }
  void SetWordWrapping(bool Value) { SetFlag(FWordWrapping, Value); }
  float MinimumWidth() const { return FMinimumWidth; }
  void SetMinimumWidth(float Value);
  const String& Text() const { return FText; }
  void SetText(const String& Value);
  TVivIzudeToolBarElementState State() const { return FState; }
  void SetState(TVivIzudeToolBarElementState Value);
  bool Compact() const { return FCompact; }
  void SetCompact(bool Value);
  bool CanCompact() const { return FCanCompact; }
  void SetCanCompact(bool Value) { FCanCompact = Value; }
  float CompactWidth() const { return FCompactWidth; }
  void SetCompactWidth(float Value);
  bool CompactBitmapVisible() const { return FCompactBitmapVisible; }
  void SetCompactBitmapVisible(bool Value);
  float CompactBitmapSize() const { return FCompactBitmapSize; }
  void SetCompactBitmapSize(float Value);
  bool QuickMenuButton() const { return FQuickMenuButton; }
  void SetQuickMenuButton(bool Value);
  bool IsDragging() const { return FDragGripMoving; }
  const std::vector<std::unique_ptr<TVivIzudeToolBarControl>>& HiddenControls() const { return FHiddenControls; }
  const std::vector<std::unique_ptr<TVivIzudeToolBarControl>>& CompactControls() const { return FCompactControls; }

  virtual bool ShowDesignFrame() const { return false; }
  virtual bool CanUpdate() const { return true; }
  // The element classes the Add operations make; a descendant replaces an
  // element kind by answering its own class.
  virtual TVivIzudeToolBarElementClass<TVivIzudeToolBarBitmapPicker> GetBitmapPickerClass() const {
    return NewToolBarElement<TVivIzudeToolBarBitmapPicker>;
  }
  virtual TVivIzudeToolBarElementClass<TVivIzudeToolBarButton> GetButtonClass() const {
    return NewToolBarElement<TVivIzudeToolBarButton>;
  }
  virtual TVivIzudeToolBarElementClass<TVivIzudeToolBarColorPicker> GetColorPickerClass() const {
    return NewToolBarElement<TVivIzudeToolBarColorPicker>;
  }
  virtual TVivIzudeToolBarElementClass<TVivIzudeToolBarItemPicker> GetItemPickerClass() const {
    return NewToolBarElement<TVivIzudeToolBarItemPicker>;
  }
  virtual TVivIzudeToolBarElementClass<TVivIzudeToolBarFontNamePicker> GetFontNamePickerClass() const {
    return NewToolBarElement<TVivIzudeToolBarFontNamePicker>;
  }
  virtual TVivIzudeToolBarElementClass<TVivIzudeToolBarFontSizePicker> GetFontSizePickerClass() const {
    return NewToolBarElement<TVivIzudeToolBarFontSizePicker>;
  }
  virtual TVivIzudeToolBarElementClass<TVivIzudeToolBarSeparator> GetSeparatorClass() const {
    return NewToolBarElement<TVivIzudeToolBarSeparator>;
  }
  virtual TSizeF GetTextSize();
  virtual TVivIzudeToolBarControl* FindHiddenControl(TControl* AControl) const;
  virtual TVivIzudeToolBarControl* FindCompactControl(TControl* AControl) const;
  virtual Integer GetHiddenControlIndex(TControl* AControl) const;
  virtual Integer GetCompactControlCount() const { return static_cast<Integer>(FCompactControls.size()); }
  virtual TRectF GetQuickMenuButtonRect() const;
  virtual void UpdateFlatStyle();
  virtual void UpdateControls();
  virtual void BuildOptionsMenu();
  virtual void ShowOptionsMenu(float X, float Y);
  virtual bool CanExpand() const;
  virtual void CloseCompactPopup();
  TVivCToolBarPopup* CompactPopup() const { return FCompactPopup; }
  // The full copy shown in the compact popup; nullptr when none.
  TVivIzudeCustomToolBar* CompactToolBar() const { return FCompactToolbar; }
  virtual bool CanShrink() const;
  // True while the drop-down popup of any child button is open.
  virtual bool DropDownActive() const;
  virtual void AddCustomControl(TControl* AControl, Integer AIndex = -1);
  virtual TVivIzudeToolBarButton* AddButton(float AWidth = -1, float AHeight = -1, const String& AResource = u"",
                                            const String& AResourceLarge = u"", const String& AText = u"",
                                            Integer AIndex = -1);
  virtual TVivIzudeToolBarSeparator* AddSeparator(Integer AIndex = -1);
  virtual TVivIzudeToolBarFontNamePicker* AddFontNamePicker(Integer AIndex = -1);
  virtual TVivIzudeToolBarFontSizePicker* AddFontSizePicker(Integer AIndex = -1);
  virtual TVivIzudeToolBarColorPicker* AddColorPicker(Integer AIndex = -1);
  virtual TVivIzudeToolBarItemPicker* AddItemPicker(Integer AIndex = -1);
  virtual TVivIzudeToolBarBitmapPicker* AddBitmapPicker(Integer AIndex = -1);
  virtual TVivIzudeToolBarDropDownButton* GetOptionsMenuButtonControl() const { return FOptionsMenuButton; }
  void ToggleControl(TControl* AControl);
  void OptionsMenuButtonClick(TObject* Sender);
  void OptionsMenuItemClick(TObject* Sender);
  void ApplyStyle() override;
  void ResetToDefaultStyle() override;
  bool HasHint() const override;
  String GetHintString() const override;
  void SetVisible(bool Value) override;

  TNotifyEvent OnOptionsMenuButtonClick, OnQuickMenuButtonClick, OnCompactClick;
  TVivIzudeToolBarCustomizeOptionsMenu OnOptionsMenuCustomize;
  TVivIzudeToolBarCustomizeOptionsMenuItem OnOptionsMenuItemCustomize;
  TVivIzudeToolBarCanShowOptionsMenuItem OnOptionsMenuItemCanShow;
  TVivIzudeToolBarOptionsMenuItemClick OnOptionsMenuItemClick;
  TVivIzudeToolBarIsLastElement OnIsLastElement;
  TVivIzudeToolBarDragGripMovingEvent OnDragGripMoving;
  // Internal: to the hosting dock panel; after every layout.
  TNotifyEvent OnUpdateDockPanel, OnUpdateControls;
  String QuickMenuButtonHint;

protected:
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AlignControls(TControl* AControl) override;
  void UpdateControlAfterResize() override { DoUpdateDockPanel(); }
  void HandleMouseLeave() override;
  void HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void HandleMouseMove(TShiftState Shift, float X, float Y) override;
  void HandleMouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  virtual void DoUpdateDockPanel();
  virtual void DoDragGripMoving(double DeltaX, double DeltaY);
  virtual void ShowCompactPopup();
  virtual void CloseSiblingCompactPopups();
  virtual void DoCompactClick();
  void CompactPopupClosed(TObject* Sender);
  virtual void StoreCompactControls();
  virtual void RestoreCompactControls();
  virtual void DrawDragGrip(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void DrawToolBarText(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void DrawCompactBitmap(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void DrawCompactText(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void DrawCompactExpander(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual TRectF GetCompactBitmapRect(const TRectF& R);
  virtual TRectF GetCompactTextRect();
  virtual float GetCompactBitmapSize();
  void InsertControl(TControl* AControl, Integer AIndex);
  // Makes an element of the class, flat like the tool bar when it is a
  // button, and inserts it at AIndex.
  template <class TElement>
  TElement* AddElement(TVivIzudeToolBarElementClass<TElement> AClass, Integer AIndex);
  // The grip's rectangle: for hit tests, or the painted one.
  TRectF GetDragGripRect(bool APaint) const;

private:
  void SetFlag(bool& Field, bool Value);
  Integer ControlIndexOf(TControl* C) const;
  void SetControlIndexOf(TControl* C, Integer Index);
  void CompactBitmapsChanged();

  TVivIzudeCustomToolBar* FCompactToolbar = nullptr;  // owned by the compact popup
  TVivCToolBarPopup* FCompactPopup;                   // owned by this tool bar as its component owner
  std::unique_ptr<TVivIzudeToolBarCompactAppearance> FCompactAppearance;
  std::unique_ptr<TVivIzudeToolBarQuickMenuButtonAppearance> FQuickMenuButtonAppearance;
  bool FHover = false, FQuickMenuButtonHover = false, FDown = false, FQuickMenuButtonDown = false;
  float FOldWidth = 0;
  bool FOldMenuButtonState = false;
  bool FInsideDrag = false, FDragGripMoving = false, FDragGripDown = false;
  TPointF FDragGripDownPt;
  std::vector<std::unique_ptr<TVivIzudeToolBarControl>> FHiddenControls, FCompactControls;
  bool FBlockUpdate = false;
  bool FAutoSize = true;
  std::unique_ptr<TVivIzudeToolBarAppearance> FAppearance;
  bool FAutoAlign = true;
  TVivIzudeToolBarDropDownButton* FOptionsMenuButton;  // owned by this tool bar as its component owner
  TPopupMenu* FAutoOptionsMenu;                        // owned by this tool bar as its component owner
  std::unique_ptr<TVivIzudeToolBarOptionsMenu> FOptionsMenu;
  TPopupMenu* FCustomOptionsMenu = nullptr;  // not owned; free notification
  TVivIzudeToolBarElementState FState = esNormal;
  bool FAutoMoveToolBar = true, FAutoHeight = true, FAutoWidth = true, FAutoStretchHeight = false;
  String FText;
  std::unique_ptr<TVivIzudeGraphicsFont> FFont;
  TVivIzudeGraphicsTextAlign FVerticalTextAlign = gtaCenter, FHorizontalTextAlign = gtaCenter;
  TVivIzudeGraphicsTextTrimming FTrimming = gttCharacter;
  bool FWordWrapping = false;
  float FMinimumWidth = 30;
  bool FCompact = false, FCanCompact = true;
  float FCompactWidth = 50;
  std::unique_ptr<TVivScaledBitmaps> FCompactBitmaps;
  float FCompactBitmapSize = 24;
  bool FCompactBitmapVisible = false;
  std::unique_ptr<TVivScaledBitmaps> FCompactExpanderBitmaps;
  bool FQuickMenuButton = false;
  std::unique_ptr<TVivScaledBitmaps> FQuickMenuButtonBitmaps;
};

class TVivIzudeToolBar : public TVivIzudeCustomToolBar {
public:
  explicit TVivIzudeToolBar(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

// Describes the tool bar and its own settings objects for the settings
// reader and writer; runs once.
void RegisterVivIzudeToolBarClasses();

template <class TElement>
TElement* TVivIzudeCustomToolBar::AddElement(TVivIzudeToolBarElementClass<TElement> AClass, Integer AIndex) {
  const bool Blocked = FBlockUpdate;
  FBlockUpdate = true;
  TElement* E = AClass(this);
  if constexpr (std::is_base_of_v<TVivIzudeDefaultToolBarButton, TElement>)
    E->Appearance()->SetFlatStyle(FAppearance->FlatStyle());
  InsertControl(E, AIndex);
  FBlockUpdate = Blocked;
  UpdateControls();
  return E;
}

class TVivIzudeCustomDockPanel;

class TVivDockPanelAppearance : public TPersistent {
public:
  explicit TVivDockPanelAppearance(TVivIzudeCustomDockPanel* AOwner);
  ~TVivDockPanelAppearance() override;
  void Assign(TPersistent* Source) override;
  TVivIzudeGraphicsFill* Fill() const { return FFill.get(); }
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  TVivMargins* Margins() const { return FMargins.get(); }

private:
  TVivIzudeCustomDockPanel* FOwner;  // not owned
  std::unique_ptr<TVivIzudeGraphicsFill> FFill;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke;
  std::unique_ptr<TVivMargins> FMargins;
};

class TVivIzudeCustomDockPanel : public TVivIzudeCustomControl {
public:
  explicit TVivIzudeCustomDockPanel(TComponent* AOwner);
  ~TVivIzudeCustomDockPanel() override;
  void Assign(TPersistent* Source) override;
  String GetVersion() const override;
  TVivDockPanelAppearance* Appearance() const { return FAppearance.get(); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool AutoAlign() const { return FAutoAlign; }
  void SetAutoAlign(bool Value);
  TVivIzudeToolBarElementState State() const { return FState; }
  void SetState(TVivIzudeToolBarElementState Value);
  // AIndex is not used: the tool bar is the last child.
  TVivIzudeToolBar* AddToolBar(Integer AIndex = -1);
  virtual void UpdateControls();
  virtual void ClampControls();
  virtual void SeparateControls();
  void ApplyStyle() override;

protected:
  void BeforeDestruction() override;
  void AlignControls(TControl* AControl) override;
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;

private:
  bool FBlockUpdate = false;
  std::unique_ptr<TVivDockPanelAppearance> FAppearance;
  bool FAutoSize = true, FAutoAlign = true;
  TVivIzudeToolBarElementState FState = esNormal;
};
