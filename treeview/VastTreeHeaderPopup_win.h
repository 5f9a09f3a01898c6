#pragma once
// Windows only. A popup menu listing the header's columns as check items,
// so that the user shows and hides columns, optionally after two commands
// that fit the column widths to their contents.
#include <functional>

#include "rtl/Set.h"
#include "treeview/VastTreeTypes.h"
#include "vcl/Menus.h"

class TBaseVastTree;

enum TVTHeaderPopupOption : Byte { poOriginalOrder, poAllowHideAll, poResizeToFitItem };
using TVTHeaderPopupOptions = TSet<TVTHeaderPopupOption, Byte>;

using TVTHeaderAddPopupItemEvent =
    std::function<void(const TBaseVastTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd)>;
using TColumnChangeEvent = std::function<void(const TBaseVastTree* Sender, TColumnIndex Column, bool Visible)>;

// The items the menu adds itself (and removes again before it is shown).
class TVTMenuItem : public TMenuItem {
public:
  TVTMenuItem(TComponent* AOwner, const String& ACaption, TNotifyEvent AClickHandler);
};

class TVTHeaderPopupMenu : public TPopupMenu {
public:
  explicit TVTHeaderPopupMenu(TComponent* AOwner);
  TVTHeaderPopupOptions Options() const { return FOptions; }
  void SetOptions(TVTHeaderPopupOptions Value) { FOptions = Value; }
  // Builds the items for the tree in PopupComponent, then shows the menu.
  void Popup(Integer X, Integer Y) override;
  // The item building alone (the menu is shown modally).
  void RebuildMenu();
  TVTHeaderAddPopupItemEvent OnAddHeaderPopupItem;
  TColumnChangeEvent OnColumnChange;

protected:
  virtual void DoAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd);
  virtual void DoColumnChange(TColumnIndex Column, bool Visible);

private:
  void ColumnClick(TObject* Sender);
  void FitColumn(TObject* Sender);
  void FitAllColumns(TObject* Sender);
  TVTHeaderPopupOptions FOptions{poResizeToFitItem};
  TPoint FPopupPoint;
};
