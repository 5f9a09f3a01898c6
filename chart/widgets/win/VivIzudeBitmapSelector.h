#pragma once
// The grid selector whose items show a picture, their own or one looked up
// by name in a bitmap container, optionally beside their text. Selecting an
// item also reports its picture.
#include <functional>
#include <memory>

#include "chart/widgets/win/VivIzudeBitmapContainer.h"
#include "chart/widgets/win/VivIzudeCustomSelector.h"
#include "vcl/Pictures.h"

enum TVivIzudeBitmapSelectorBitmapAlign { baLeft, baCenter, baRight };

class TVivIzudeCustomBitmapSelector;

class TVivIzudeBitmapSelectorItem : public TVivIzudeCustomSelectorItem {
public:
  explicit TVivIzudeBitmapSelectorItem(TCollection* Collection);
  ~TVivIzudeBitmapSelectorItem() override;
  void Assign(TPersistent* Source) override;

  TPicture* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TPicture* Value);
  TVivIzudeBitmapSelectorBitmapAlign BitmapAlign() const { return FBitmapAlign; }
  void SetBitmapAlign(TVivIzudeBitmapSelectorBitmapAlign Value);
  const String& BitmapName() const { return FBitmapName; }
  void SetBitmapName(const String& Value);
  float BitmapSize() const { return FBitmapSize; }
  void SetBitmapSize(float Value);
  TVivIzudeBitmapContainer* BitmapContainer() const;
  // The own picture when it is not empty, else the container's picture of
  // that name; none otherwise. Not owned by the caller.
  TPicture* GetBitmap() const;

private:
  std::unique_ptr<TPicture> FBitmap;
  TVivIzudeBitmapSelectorBitmapAlign FBitmapAlign = baCenter;
  String FBitmapName;
  float FBitmapSize = 0;
};

class TVivIzudeBitmapSelectorItems : public TVivIzudeCustomSelectorItems {
public:
  explicit TVivIzudeBitmapSelectorItems(TVivIzudeCustomBitmapSelector* AOwner);
  TVivIzudeBitmapSelectorItem* Add() {
    return static_cast<TVivIzudeBitmapSelectorItem*>(TVivIzudeCustomSelectorItems::Add());
  }
  TVivIzudeBitmapSelectorItem* Insert(Integer Index) {
    return static_cast<TVivIzudeBitmapSelectorItem*>(TVivIzudeCustomSelectorItems::Insert(Index));
  }
  TVivIzudeBitmapSelectorItem* Items(Integer Index) const {
    return static_cast<TVivIzudeBitmapSelectorItem*>(TVivIzudeCustomSelectorItems::Items(Index));
  }
};

using TVivIzudeCustomSelectorBitmapSelected = std::function<void(TObject* Sender, TPicture* ABitmap)>;
using TVivIzudeCustomSelectorBitmapDeselected = std::function<void(TObject* Sender, TPicture* ABitmap)>;

// The picture's size fitted into an area, proportions kept; 0 by 0 when any
// size is 0 or less; a picture smaller both ways keeps its size.
TSizeF FitBitmapSize(float APictureWidth, float APictureHeight, float AAreaWidth, float AAreaHeight);

class TVivIzudeCustomBitmapSelector : public TVivIzudeDefaultSelector {
public:
  explicit TVivIzudeCustomBitmapSelector(TComponent* AOwner);
  ~TVivIzudeCustomBitmapSelector() override;
  String GetVersion() const override { return u"1.0.0.0"; }

  TVivIzudeBitmapSelectorItems* Items() const {
    return static_cast<TVivIzudeBitmapSelectorItems*>(TVivIzudeCustomSelector::Items());
  }
  TVivIzudeBitmapContainer* BitmapContainer() const { return FBitmapContainer; }
  void SetBitmapContainer(TVivIzudeBitmapContainer* Value);
  TPicture* FindBitmapByItem(Integer AItem) const;
  Integer FindItemByBitmap(const TPicture* ABitmap) const;
  TPicture* SelectedBitmap() const { return FindBitmapByItem(SelectedItemIndex()); }

  TVivIzudeCustomSelectorBitmapSelected OnBitmapSelected;
  TVivIzudeCustomSelectorBitmapDeselected OnBitmapDeselected;

protected:
  std::unique_ptr<TVivIzudeCustomSelectorItems> CreateItems() override;
  void DoItemSelected(Integer AItemIndex) override;
  void DoItemDeselected(Integer AItemIndex) override;
  void DrawItemContent(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& ADisplayItem) override;
  void DrawItemText(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& ADisplayItem) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TVivIzudeBitmapContainer* FBitmapContainer = nullptr;  // not owned
};

class TVivIzudeBitmapSelector : public TVivIzudeCustomBitmapSelector {
public:
  explicit TVivIzudeBitmapSelector(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

void RegisterVivIzudeBitmapSelectorClasses();
