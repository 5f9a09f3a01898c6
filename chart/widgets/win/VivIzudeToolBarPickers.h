#pragma once
// The tool-bar pickers: buttons whose arrow part drops a selector down and
// whose face shows the current choice. A colour picker (colour grid), a
// bitmap picker (picture grid) and three text item pickers on one base: a
// general one, one filled with the screen fonts and one with sixteen font
// sizes; these drop a plain list down and can be made editable.
#include <functional>
#include <memory>

#include "chart/widgets/win/VivIzudeBitmapSelector.h"
#include "chart/widgets/win/VivIzudeColorSelector.h"
#include "chart/widgets/win/VivIzudeToolBarButton.h"
#include "rtl/StringList.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"

using TVivIzudeToolBarColorPickerColorSelected = std::function<void(TObject* Sender, TColor AColor)>;
using TVivIzudeToolBarBitmapPickerBitmapSelected = std::function<void(TObject* Sender, TPicture* ABitmap)>;
using TVivIzudeToolBarItemPickerItemSelected = std::function<void(TObject* Sender, Integer AItemIndex)>;
using TVivIzudeToolBarFontNamePickerFontNameSelected = std::function<void(TObject* Sender, const String& AFontName)>;
using TVivIzudeToolBarFontSizePickerFontSizeSelected = std::function<void(TObject* Sender, float AFontSize)>;

class TVivIzudeToolBarColorPicker : public TVivIzudeToolBarButton {
public:
  explicit TVivIzudeToolBarColorPicker(TComponent* AOwner);
  // The drop-down controls' handlers are taken off here, before the
  // children (the drop-down control among them while it is parented to the
  // picker) are freed; a destructor would run after them.
  void BeforeDestruction() override;
  void RegisterRuntimeClasses() override;

  TVivIzudeColorSelector* ColorSelector() const { return FColorSelector; }
  // -1 when nothing is selected.
  TColor SelectedColor() const { return FColorSelector->SelectedColor(); }
  void SetSelectedColor(TColor Value);
  Integer SelectedItemIndex() const { return FColorSelector->SelectedItemIndex(); }
  void SetSelectedItemIndex(Integer Value);
  TVivIzudeColorSelectorItems* Items() const { return FColorSelector->Items(); }
  void SetItems(TVivIzudeColorSelectorItems* Value) { FColorSelector->SetItems(Value); }
  bool BlockChange() const { return FColorSelector->BlockChange; }
  void SetBlockChange(bool Value) { FColorSelector->BlockChange = Value; }

  // The swatch of the selected colour over a chequer (seen through -1).
  virtual void DrawSelectedColor(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  bool CanApplyName() const override { return !IsLoading() && !IsDesigning(); }
  void SetAdaptToStyle(bool Value) override;

  TVivIzudeToolBarColorPickerColorSelected OnColorSelected;

protected:
  virtual void DoColorSelected(TColor AColor);
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  void ColorSelected(TObject* Sender, TColor AColor);

private:
  TVivIzudeColorSelector* FColorSelector;  // owned by this picker as its component owner
};

class TVivIzudeToolBarBitmapPicker : public TVivIzudeToolBarButton {
public:
  explicit TVivIzudeToolBarBitmapPicker(TComponent* AOwner);
  // The drop-down controls' handlers are taken off here, before the
  // children (the drop-down control among them while it is parented to the
  // picker) are freed; a destructor would run after them.
  void BeforeDestruction() override;
  void RegisterRuntimeClasses() override;

  TVivIzudeBitmapSelector* BitmapSelector() const { return FBitmapSelector; }
  // The selector's selected picture; nullptr when none. Not owned.
  TPicture* SelectedBitmap() const { return FBitmapSelector->SelectedBitmap(); }
  Integer SelectedItemIndex() const { return FBitmapSelector->SelectedItemIndex(); }
  // Selects and shows the item's picture on the face; no event.
  void SetSelectedItemIndex(Integer Value);
  TVivIzudeBitmapSelectorItems* Items() const { return FBitmapSelector->Items(); }
  void SetItems(TVivIzudeBitmapSelectorItems* Value) { FBitmapSelector->SetItems(Value); }
  bool BlockChange() const { return FBitmapSelector->BlockChange; }
  void SetBlockChange(bool Value) { FBitmapSelector->BlockChange = Value; }

  TRectF CalculateBitmapRect(const TRectF& R) override;
  bool CanApplyName() const override { return !IsLoading() && !IsDesigning(); }
  void SetAdaptToStyle(bool Value) override;

  TVivIzudeToolBarBitmapPickerBitmapSelected OnBitmapSelected;

protected:
  virtual void DoBitmapSelected(TPicture* ABitmap);
  void BitmapSelected(TObject* Sender, TPicture* ABitmap);
  // The face's three picture lists hold just this picture (none for nullptr).
  void ShowOnFace(TPicture* ABitmap);

private:
  TVivIzudeBitmapSelector* FBitmapSelector;  // owned by this picker as its component owner
};

class TVivIzudeToolBarCustomItemPicker : public TVivIzudeToolBarButton {
public:
  explicit TVivIzudeToolBarCustomItemPicker(TComponent* AOwner);
  // The drop-down controls' handlers are taken off here, before the
  // children (the drop-down control among them while it is parented to the
  // picker) are freed; a destructor would run after them.
  void BeforeDestruction() override;

  // -1: nothing selected. Setting it fires no event.
  Integer SelectedItemIndex() const { return FItemIndex; }
  void SetSelectedItemIndex(Integer Value);
  TStringList* Items() const { return FItems.get(); }
  void SetItems(const TStrings* Value) { FItems->Assign(Value); }
  bool Editable() const { return FEditable; }
  void SetEditable(bool Value);
  TEdit* Edit() const { return FEdit; }
  TListBox* ItemSelector() const { return FItemSelector; }
  // Empty without a selection.
  String GetSelectedItemText() const;
  // Selects the item equal to AText (-1 when none); no event.
  void SelectItemByName(const String& AText);

  virtual void SelectItemByText(const String& AText);
  String GetText() const override;
  void DropDown() override;
  void UpdateDropDownControl() override;
  void SelectFirstItem() override;
  void SelectItemByKey(Char AKey) override;
  void SelectLastItem() override;
  void SelectNextItem() override;
  void SelectPreviousItem() override;
  bool CanApplyName() const override { return !IsLoading() && !IsDesigning(); }

  TVivIzudeToolBarItemPickerItemSelected OnItemSelected;
  TNotifyEvent OnEditChange;

protected:
  virtual void DoItemSelected();
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  void DoEnter() override;
  // Chooses the list's item: the selection, closing, the events.
  void ChooseListItem();
  void ListClick(TObject* Sender);
  void ListKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ListKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void EditChange(TObject* Sender);
  void EditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void TimerTick(TObject* Sender);
  // The first item matching the character pattern AText followed by "*".
  Integer FindItemByPrefix(const String& AText) const;
  // Selects Value (a valid index), then the event and a repaint.
  void SelectAndNotify(Integer Value);

private:
  TEdit* FEdit;    // owned by this picker as its component owner
  TTimer* FTimer;  // likewise
  Integer FItemIndex = -1;
  std::unique_ptr<TStringList> FItems;
  bool FKeyboardUsed = false;
  TListBox* FItemSelector;  // owned by this picker as its component owner
  bool FEditable = false;
};

class TVivIzudeToolBarItemPicker : public TVivIzudeToolBarCustomItemPicker {
public:
  explicit TVivIzudeToolBarItemPicker(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

class TVivIzudeToolBarFontNamePicker : public TVivIzudeToolBarCustomItemPicker {
public:
  explicit TVivIzudeToolBarFontNamePicker(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
  String SelectedFontName() const { return GetSelectedItemText(); }
  void SetSelectedFontName(const String& Value) { SelectItemByName(Value); }

  TVivIzudeToolBarFontNamePickerFontNameSelected OnFontNameSelected;

protected:
  void DoItemSelected() override;
};

class TVivIzudeToolBarFontSizePicker : public TVivIzudeToolBarCustomItemPicker {
public:
  explicit TVivIzudeToolBarFontSizePicker(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
  // -1 without a selection, or when the selected item is not a number.
  float SelectedFontSize() const;
  // A size that is not in the list selects nothing.
  void SetSelectedFontSize(float Value);

  TVivIzudeToolBarFontSizePickerFontSizeSelected OnFontSizeSelected;

protected:
  void DoItemSelected() override;
};

// Describes the five pickers for the settings reader and writer; runs once.
void RegisterVivIzudeToolBarPickerClasses();
