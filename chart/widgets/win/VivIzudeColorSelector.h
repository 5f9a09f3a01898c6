#pragma once
// The grid selector filled with colour swatches from one of two fixed
// palettes; the richest mode adds "Automatic" and "More Colors..." entries
// and a hidden entry that holds a colour from outside the palette.
#include <functional>
#include <memory>

#include "chart/widgets/win/VivIzudeCustomSelector.h"

enum TVivIzudeCustomColorSelectorMode { csmSimple, csmExtended, csmExtendedMore };

class TVivIzudeCustomColorSelector;

class TVivIzudeColorSelectorItem : public TVivIzudeCustomSelectorItem {
public:
  using TVivIzudeCustomSelectorItem::TVivIzudeCustomSelectorItem;
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);

private:
  TColor FColor = 0;
};

class TVivIzudeColorSelectorItems : public TVivIzudeCustomSelectorItems {
public:
  explicit TVivIzudeColorSelectorItems(TVivIzudeCustomColorSelector* AOwner);
  TVivIzudeColorSelectorItem* Add() {
    return static_cast<TVivIzudeColorSelectorItem*>(TVivIzudeCustomSelectorItems::Add());
  }
  TVivIzudeColorSelectorItem* Insert(Integer Index) {
    return static_cast<TVivIzudeColorSelectorItem*>(TVivIzudeCustomSelectorItems::Insert(Index));
  }
  TVivIzudeColorSelectorItem* Items(Integer Index) const {
    return static_cast<TVivIzudeColorSelectorItem*>(TVivIzudeCustomSelectorItems::Items(Index));
  }
};

using TVivIzudeCustomSelectorColorSelected = std::function<void(TObject* Sender, TColor AColor)>;
using TVivIzudeCustomSelectorColorDeselected = std::function<void(TObject* Sender, TColor AColor)>;

class TVivIzudeCustomColorSelector : public TVivIzudeDefaultSelector {
public:
  explicit TVivIzudeCustomColorSelector(TComponent* AOwner);
  String GetVersion() const override { return u"1.0.0.0"; }

  TVivIzudeColorSelectorItems* Items() const {
    return static_cast<TVivIzudeColorSelectorItems*>(TVivIzudeCustomSelector::Items());
  }
  TVivIzudeCustomColorSelectorMode Mode() const { return FMode; }
  void SetMode(TVivIzudeCustomColorSelectorMode Value);
  // The mode as a settings document brings it back: the document carries
  // the items and the grid, so only the mode and its size change.
  void LoadMode(TVivIzudeCustomColorSelectorMode Value);
  // -1 when nothing is selected.
  TColor SelectedColor() const { return FindColorByItem(SelectedItemIndex()); }
  // Selects the first selectable item of that colour, no events; in the
  // richest mode a colour from outside the palette goes to the hidden item.
  void SetSelectedColor(TColor Value);
  TColor FindColorByItem(Integer AItem) const;
  Integer FindItemByColor(TColor AColor) const;
  virtual void SizeChanged(float, float) {}

  TVivIzudeCustomSelectorColorSelected OnColorSelected;
  TVivIzudeCustomSelectorColorDeselected OnColorDeselected;

protected:
  std::unique_ptr<TVivIzudeCustomSelectorItems> CreateItems() override;
  void InitializeDefault() override;
  void InitializeItems();
  void DoItemSelected(Integer AItemIndex) override;
  void DoItemDeselected(Integer AItemIndex) override;
  void DoItemBeforeDrawContent(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex,
                               bool& ADefaultDraw) override;
  void DrawItemContent(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& ADisplayItem) override;

private:
  void MarkTextItems();
  TVivIzudeCustomColorSelectorMode FMode = csmSimple;
};

class TVivIzudeColorSelector : public TVivIzudeCustomColorSelector {
public:
  explicit TVivIzudeColorSelector(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

void RegisterVivIzudeColorSelectorClasses();
