#pragma once
// A grid of Rows by Columns cells showing a collection of items the user
// picks from with the mouse or the keyboard. Items may span cells, be
// separators, hidden or disabled; every item state has its own fill and
// stroke. Only the items that fit on the first page are shown; the others
// count towards PageCount. The base of the bitmap and colour selectors.
#include <functional>
#include <memory>
#include <vector>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeTypes.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/widgets/win/VivIzudeCustomControl.h"
#include "vcl/Classes.h"

class TVivIzudeCustomSelector;

enum TVivIzudeCustomSelectorItemState { isNormal, isHover, isDown, isSelected, isDisabled };

class TVivIzudeCustomSelectorItem : public TCollectionItem {
public:
  explicit TVivIzudeCustomSelectorItem(TCollection* Collection);
  ~TVivIzudeCustomSelectorItem() override;
  void Assign(TPersistent* Source) override;

  Integer RowSpan() const { return FRowSpan; }
  void SetRowSpan(Integer Value);
  Integer ColumnSpan() const { return FColumnSpan; }
  void SetColumnSpan(Integer Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const String& Text() const { return FText; }
  void SetText(const String& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Separator() const { return FSeparator; }
  void SetSeparator(bool Value);
  float SeparatorHeight() const { return FSeparatorHeight; }
  void SetSeparatorHeight(float Value);
  TVivMargins* Margins() const { return FMargins.get(); }
  void SetMargins(TVivMargins* Value) { FMargins->Assign(Value); }
  bool CanDeselect() const { return FCanDeselect; }
  void SetCanDeselect(bool Value) { FCanDeselect = Value; }
  bool CanSelect() const { return FCanSelect; }
  void SetCanSelect(bool Value) { FCanSelect = Value; }
  TVivIzudeGraphicsTextAlign VerticalTextAlign() const { return FVerticalTextAlign; }
  void SetVerticalTextAlign(TVivIzudeGraphicsTextAlign Value);
  TVivIzudeGraphicsTextAlign HorizontalTextAlign() const { return FHorizontalTextAlign; }
  void SetHorizontalTextAlign(TVivIzudeGraphicsTextAlign Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  TVivIzudeCustomSelectorItemState State() const;
  // The selector of the item's collection; none without a collection.
  TVivIzudeCustomSelector* Owner() const;

  bool DataBoolean = false;
  String DataString;
  TObject* DataObject = nullptr;  // not owned
  NativeInt DataInteger = 0;
  void* DataPointer = nullptr;  // not owned

protected:
  void Relayout();
  void Repaint();

private:
  Integer FRowSpan = 1;
  Integer FColumnSpan = 1;
  bool FVisible = true;
  String FText;
  bool FEnabled = true;
  bool FSeparator = false;
  float FSeparatorHeight = 5;
  std::unique_ptr<TVivMargins> FMargins;
  bool FCanDeselect = true;
  bool FCanSelect = true;
  TVivIzudeGraphicsTextAlign FVerticalTextAlign = gtaCenter;
  TVivIzudeGraphicsTextAlign FHorizontalTextAlign = gtaCenter;
  String FHint;
};

// Add and Insert lay the selector out once the new item is whole.
class TVivIzudeCustomSelectorItems : public TCollection {
public:
  TVivIzudeCustomSelectorItems(TVivIzudeCustomSelector* AOwner, TItemFactory AItemClass);
  explicit TVivIzudeCustomSelectorItems(TVivIzudeCustomSelector* AOwner);
  TVivIzudeCustomSelectorItem* Add();
  TVivIzudeCustomSelectorItem* Insert(Integer Index);
  TVivIzudeCustomSelectorItem* Items(Integer Index) const;
  TVivIzudeCustomSelector* Owner() const { return FOwner; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TVivIzudeCustomSelector* FOwner;  // not owned: the selector owns us
};

class TVivIzudeCustomSelectorAppearance : public TPersistent {
public:
  explicit TVivIzudeCustomSelectorAppearance(TVivIzudeCustomSelector* AOwner);
  ~TVivIzudeCustomSelectorAppearance() override;
  void Assign(TPersistent* Source) override;
  // Every fill and stroke solid in its default colour, the font black.
  void Reset();

  TVivIzudeGraphicsStroke* StrokeHover() const { return FStrokeHover.get(); }
  TVivIzudeGraphicsFill* FillDown() const { return FFillDown.get(); }
  float VerticalSpacing() const { return FVerticalSpacing; }
  void SetVerticalSpacing(float Value);
  TVivIzudeGraphicsStroke* StrokeDown() const { return FStrokeDown.get(); }
  TVivIzudeGraphicsFill* FillSelected() const { return FFillSelected.get(); }
  float HorizontalSpacing() const { return FHorizontalSpacing; }
  void SetHorizontalSpacing(float Value);
  TVivIzudeGraphicsStroke* StrokeSelected() const { return FStrokeSelected.get(); }
  TVivIzudeGraphicsFill* Fill() const { return FFill.get(); }
  TVivIzudeGraphicsFill* FillHover() const { return FFillHover.get(); }
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  TVivIzudeGraphicsFill* FillDisabled() const { return FFillDisabled.get(); }
  TVivIzudeGraphicsStroke* StrokeDisabled() const { return FStrokeDisabled.get(); }
  TVivIzudeGraphicsStroke* SeparatorStroke() const { return FSeparatorStroke.get(); }
  TVivIzudeGraphicsFont* Font() const { return FFont.get(); }
  TVivIzudeCustomSelector* Owner() const { return FOwner; }

private:
  void Changed(TObject*);
  std::unique_ptr<TVivIzudeGraphicsStroke> FStrokeHover;
  std::unique_ptr<TVivIzudeGraphicsFill> FFillDown;
  float FVerticalSpacing = 4;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStrokeDown;
  std::unique_ptr<TVivIzudeGraphicsFill> FFillSelected;
  float FHorizontalSpacing = 4;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStrokeSelected;
  std::unique_ptr<TVivIzudeGraphicsFill> FFill;
  std::unique_ptr<TVivIzudeGraphicsFill> FFillHover;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke;
  std::unique_ptr<TVivIzudeGraphicsFill> FFillDisabled;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStrokeDisabled;
  std::unique_ptr<TVivIzudeGraphicsStroke> FSeparatorStroke;
  std::unique_ptr<TVivIzudeGraphicsFont> FFont;
  TVivIzudeCustomSelector* FOwner;  // not owned
};

struct TVivIzudeCustomSelectorDisplayItem {
  TRectF Rect;
  TVivIzudeCustomSelectorItem* Item = nullptr;  // not owned
  Integer PageIndex = -1;
  Integer Column = -1;
  Integer Row = -1;
  Integer ColumnSpan = -1;
  Integer RowSpan = -1;
};
using TVivIzudeCustomSelectorDisplayList = std::vector<TVivIzudeCustomSelectorDisplayItem>;

struct TVivIzudeCustomSelectorPositionItem {
  bool TileSet = false;
};
using TVivIzudeCustomSelectorItemPosArray = std::vector<std::vector<TVivIzudeCustomSelectorPositionItem>>;

using TVivIzudeCustomSelectorItemSelected = std::function<void(TObject* Sender, Integer AItemIndex)>;
using TVivIzudeCustomSelectorItemDeselected = std::function<void(TObject* Sender, Integer AItemIndex)>;
using TVivIzudeCustomSelectorItemClick = std::function<void(TObject* Sender, Integer AItemIndex)>;
using TVivIzudeCustomSelectorItemBeforeDrawBackground = std::function<void(
    TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex, bool& ADefaultDraw)>;
using TVivIzudeCustomSelectorItemAfterDrawBackground =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex)>;
using TVivIzudeCustomSelectorItemBeforeDrawContent = TVivIzudeCustomSelectorItemBeforeDrawBackground;
using TVivIzudeCustomSelectorItemAfterDrawContent = TVivIzudeCustomSelectorItemAfterDrawBackground;
using TVivIzudeCustomSelectorItemBeforeDrawText =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex,
                       String& AText, bool& ADefaultDraw)>;
using TVivIzudeCustomSelectorItemAfterDrawText = std::function<void(
    TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex, const String& AText)>;
using TVivIzudeCustomSelectorBeforeDraw =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect, bool& ADefaultDraw)>;
using TVivIzudeCustomSelectorAfterDraw =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect)>;

class TVivIzudeCustomSelector : public TVivIzudeCustomControl {
public:
  explicit TVivIzudeCustomSelector(TComponent* AOwner);
  ~TVivIzudeCustomSelector() override;
  // The items, appearance, Rows and Columns of another selector.
  void Assign(TPersistent* Source) override;

  void BeginUpdate() override;
  void EndUpdate() override;

  TVivIzudeCustomSelectorItems* Items() const { return FItems.get(); }
  void SetItems(TVivIzudeCustomSelectorItems* Value) { FItems->Assign(Value); }
  TVivIzudeCustomSelectorAppearance* Appearance() const { return FAppearance.get(); }
  void SetAppearance(TVivIzudeCustomSelectorAppearance* Value) { FAppearance->Assign(Value); }
  Integer Columns() const { return FColumns; }
  void SetColumns(Integer Value);
  Integer Rows() const { return FRows; }
  void SetRows(Integer Value);
  Integer SelectedItemIndex() const { return FSelectedItemIndex; }
  // Also focuses the item; fires no event.
  void SetSelectedItemIndex(Integer Value);
  Integer FocusedItemIndex() const { return FFocusedItemIndex; }
  Integer HoveredItemIndex() const { return FHoveredItemIndex; }
  Integer DownItemIndex() const { return FDownItemIndex; }
  Integer PageCount() const { return FPageCount; }
  // The page shown: the one holding the focused item (0 when none).
  Integer ActivePageIndex() const;
  const TVivIzudeCustomSelectorDisplayList& DisplayList() const { return FDisplayList; }

  // The enabled non-separator item shown at the point; -1 when none.
  Integer XYToItem(float X, float Y) const;
  void InvalidateItems() { Invalidate(); }
  String GetHintString() const override;
  bool HasHint() const override;
  void RegisterRuntimeClasses() override;
  String GetVersion() const override { return u"1.0.0.0"; }

  virtual void GetDisplayItem(Integer AItemIndex, TVivIzudeCustomSelectorDisplayItem& ADisplayItem) const;
  virtual Integer NextSelectableItem() const;
  virtual Integer PreviousSelectableItem() const;
  virtual Integer SelectableItemBelow() const;
  virtual Integer SelectableItemAbove() const;
  virtual Integer FirstSelectableItem() const;
  virtual Integer LastSelectableItem() const;
  virtual void UpdateDisplayList();

  // OnBeforeDraw and OnAfterDraw are the control base's: they bracket the
  // whole paint once, and ADefaultDraw False leaves the items undrawn.

  // Set and read by the colour selector and its picker.
  bool BlockChange = false;
  bool ClosedRemotely = false;

  TVivIzudeCustomSelectorItemBeforeDrawText OnItemBeforeDrawText;
  TVivIzudeCustomSelectorItemAfterDrawBackground OnItemAfterDrawBackground;
  TVivIzudeCustomSelectorItemSelected OnItemSelected;
  TVivIzudeCustomSelectorItemAfterDrawText OnItemAfterDrawText;
  TVivIzudeCustomSelectorItemBeforeDrawBackground OnItemBeforeDrawBackground;
  TVivIzudeCustomSelectorItemDeselected OnItemDeselected;
  TVivIzudeCustomSelectorItemClick OnItemClick;
  TVivIzudeCustomSelectorItemBeforeDrawContent OnItemBeforeDrawContent;
  TVivIzudeCustomSelectorItemAfterDrawContent OnItemAfterDrawContent;

protected:
  // Called by the constructor of each concrete selector (a base constructor
  // cannot reach a descendant's factory).
  void InitItems();
  virtual std::unique_ptr<TVivIzudeCustomSelectorItems> CreateItems();
  virtual void DoGridSizeChanged() {}
  virtual float GetTopOffset() const { return 0; }
  virtual float GetContentWidth() const { return static_cast<float>(Width()); }
  virtual float GetContentHeight() const { return static_cast<float>(Height()) - GetTopOffset(); }
  virtual void DoItemSelected(Integer AItemIndex);
  virtual void DoItemClick(Integer AItemIndex);
  virtual void DoItemDeselected(Integer AItemIndex);
  virtual void DoItemBeforeDrawBackground(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex,
                                          bool& ADefaultDraw);
  virtual void DoItemAfterDrawBackground(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex);
  virtual void DoItemBeforeDrawContent(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex,
                                       bool& ADefaultDraw);
  virtual void DoItemAfterDrawContent(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex);
  virtual void DoItemBeforeDrawText(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex,
                                    String& AText, bool& ADefaultDraw);
  virtual void DoItemAfterDrawText(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex,
                                   const String& AText);
  virtual void DrawItems(TVivIzudeGraphics* AGraphics);
  virtual void DrawItem(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& ADisplayItem);
  virtual void DrawItemBackground(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& ADisplayItem);
  virtual void DrawItemContent(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& ADisplayItem);
  virtual void DrawItemText(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& ADisplayItem);
  virtual void InitializeDefault() {}

  void ApplyStyle() override;
  void ResetToDefaultStyle() override;
  void HandleMouseLeave() override;
  void HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void HandleMouseMove(TShiftState Shift, float X, float Y) override;
  void HandleMouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) override;
  void HandleKeyDown(Word& Key, TShiftState Shift) override;
  void HandleKeyUp(Word& Key, TShiftState Shift) override;
  void UpdateControlAfterResize() override;
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;

  void SelectItem(Integer AItemIndex);

private:
  bool IsSelectable(const TVivIzudeCustomSelectorDisplayItem& D) const;
  // The first free cell at or after (ARow, ACol) that holds the item's
  // block; false when none is left on the page.
  bool FindFreeCell(const TVivIzudeCustomSelectorItemPosArray& AGrid, Integer AItemIndex, Integer& ARow,
                    Integer& ACol) const;

  TVivIzudeCustomSelectorDisplayList FDisplayList;
  Integer FUpdateCount = 0;
  std::unique_ptr<TVivIzudeCustomSelectorItems> FItems;
  Integer FRows = 4;
  Integer FColumns = 4;
  Integer FPageCount = 0;
  std::unique_ptr<TVivIzudeCustomSelectorAppearance> FAppearance;
  Integer FSelectedItemIndex = -1;
  Integer FFocusedItemIndex = -1;
  Integer FHoveredItemIndex = -1;
  Integer FDownItemIndex = -1;
};

// Adds nothing but the published setters; the concrete selectors derive
// from it.
class TVivIzudeDefaultSelector : public TVivIzudeCustomSelector {
public:
  using TVivIzudeCustomSelector::TVivIzudeCustomSelector;
};

// Registers the selector base, its appearance, item and item collection
// with the settings registry; once, however often it is called.
void RegisterVivIzudeCustomSelectorClasses();

// The settings access of a selector's item collection: a loaded document
// replaces the items, and an element of another class is refused by name.
// The item copy leaves the text alignments alone, so they follow here.
template <class TItems, class TItem>
TVivIzudeCollectionAccess VivIzudeSelectorItemsAccess(const String& AItemClassName) {
  return VivIzudeCollectionAccessOf<TItems>([AItemClassName](TItems* Items, TObject* Source) {
    TItem* From = VivIzudeCollectionItemOf<TItem>(Source, AItemClassName);
    TItem* Item = Items->Add();
    Item->Assign(From);
    Item->SetVerticalTextAlign(From->VerticalTextAlign());
    Item->SetHorizontalTextAlign(From->HorizontalTextAlign());
  });
}

// What every published selector publishes: the grid, its items and look.
template <class T, class TItems>
void VivIzudeAddSelectorProperties(TVivIzudeClassBuilder<T>& B) {
  using S = TVivIzudeCustomSelector;
  B.Object(u"Appearance", static_cast<TVivIzudeCustomSelectorAppearance* (T::*)() const>(&S::Appearance))
      .Property(u"Rows", static_cast<Integer (T::*)() const>(&S::Rows), static_cast<void (T::*)(Integer)>(&S::SetRows))
      .Property(u"Columns", static_cast<Integer (T::*)() const>(&S::Columns),
                static_cast<void (T::*)(Integer)>(&S::SetColumns))
      .Object(u"Items", static_cast<TItems* (T::*)() const>(&T::Items))
      .Property(u"SelectedItemIndex", static_cast<Integer (T::*)() const>(&S::SelectedItemIndex),
                static_cast<void (T::*)(Integer)>(&S::SetSelectedItemIndex))
      .Event(u"OnItemSelected")
      .Event(u"OnItemBeforeDrawBackground")
      .Event(u"OnItemAfterDrawBackground")
      .Event(u"OnItemBeforeDrawContent")
      .Event(u"OnItemAfterDrawContent")
      .Event(u"OnItemBeforeDrawText")
      .Event(u"OnItemAfterDrawText");
}
