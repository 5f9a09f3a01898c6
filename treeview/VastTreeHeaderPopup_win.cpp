#include "treeview/VastTreeHeaderPopup_win.h"

#include "treeview/VastTreeControl_win.h"

TVTMenuItem::TVTMenuItem(TComponent* AOwner, const String& ACaption, TNotifyEvent AClickHandler) : TMenuItem(AOwner) {
  SetCaption(ACaption);
  OnClick = std::move(AClickHandler);
}

TVTHeaderPopupMenu::TVTHeaderPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}

void TVTHeaderPopupMenu::DoAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd) {
  Cmd = apNormal;
  if (OnAddHeaderPopupItem) OnAddHeaderPopupItem(dynamic_cast<TVastTreeControl*>(PopupComponent), Column, Cmd);
}

void TVTHeaderPopupMenu::DoColumnChange(TColumnIndex Column, bool Visible) {
  if (OnColumnChange) OnColumnChange(dynamic_cast<TVastTreeControl*>(PopupComponent), Column, Visible);
}

void TVTHeaderPopupMenu::RebuildMenu() {
  auto* Tree = dynamic_cast<TVastTreeControl*>(PopupComponent);
  if (!Tree) return;
  for (Integer I = Items()->Count() - 1; I >= 0; --I)
    if (auto* Own = dynamic_cast<TVTMenuItem*>(Items()->Items(I))) {
      Items()->Delete(I);
      delete Own;
    }
  if (FOptions.Contains(poResizeToFitItem)) {
    Items()->Add(new TVTMenuItem(this, u"Size &Column to Fit", [this](TObject* S) { FitColumn(S); }));
    Items()->Add(new TVTMenuItem(this, u"Size &All Columns to Fit", [this](TObject* S) { FitAllColumns(S); }));
    Items()->Add(new TVTMenuItem(this, u"-", nullptr));
  }
  TVTHeader& H = Tree->Header();
  SetImages(H.Options().Contains(hoShowImages) ? H.Images() : nullptr);
  TVastTreeColumns& Cols = H.Columns();
  Integer VisibleCount = 0;
  TVTMenuItem* LastVisible = nullptr;
  for (Integer P = 0; P < Cols.Count(); ++P) {
    const TColumnIndex Column =
        FOptions.Contains(poOriginalOrder) ? P : Cols.ColumnFromPosition(static_cast<TColumnPosition>(P));
    if (Column < 0) continue;
    TVastTreeColumn& C = Cols[Column];
    if (C.Options().Contains(coVisible)) ++VisibleCount;
    TAddPopupItemType Cmd = apNormal;
    DoAddHeaderPopupItem(Column, Cmd);
    if (Cmd == apHidden) continue;
    auto* Item = new TVTMenuItem(this, C.Text(), [this](TObject* S) { ColumnClick(S); });
    Item->Tag = Column;
    Item->SetHint(C.Hint());
    Item->SetImageIndex(C.ImageIndex());
    Item->SetChecked(C.Options().Contains(coVisible));
    if (Cmd == apDisabled) Item->SetEnabled(false);
    if (Item->Enabled() && Item->Checked()) LastVisible = Item;
    Items()->Add(Item);
  }
  // The last visible column cannot be hidden unless that is allowed.
  if (VisibleCount == 1 && LastVisible && !FOptions.Contains(poAllowHideAll)) LastVisible->SetEnabled(false);
}

void TVTHeaderPopupMenu::Popup(Integer X, Integer Y) {
  FPopupPoint = TPoint{X, Y};
  RebuildMenu();
  TPopupMenu::Popup(X, Y);
}

void TVTHeaderPopupMenu::ColumnClick(TObject* Sender) {
  auto* Tree = dynamic_cast<TVastTreeControl*>(PopupComponent);
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (!Tree || !Item) return;
  TVastTreeColumn& C = Tree->Header().Columns()[static_cast<TColumnIndex>(Item->Tag)];
  if (Item->Checked())
    C.SetOptions(C.Options() - TVTColumnOptions{coVisible});
  else
    C.SetOptions(C.Options() + TVTColumnOptions{coVisible});
}

void TVTHeaderPopupMenu::FitColumn(TObject*) {
  auto* Tree = dynamic_cast<TVastTreeControl*>(PopupComponent);
  if (!Tree) return;
  TVTHeader& H = Tree->Header();
  const TPoint P = Tree->ScreenToClient(TPoint{FPopupPoint.X, FPopupPoint.Y + H.Height()});
  const TColumnIndex Column = H.Columns().ColumnFromPosition(TPoint{P.X, P.Y}, true);
  if (Column == InvalidColumn || Column < 0) return;
  const Integer Pos = static_cast<Integer>(H.Columns()[Column].Position());
  H.AutoFitColumns(true, smaUseColumnOption, Pos, Pos);
}

void TVTHeaderPopupMenu::FitAllColumns(TObject*) {
  if (auto* Tree = dynamic_cast<TVastTreeControl*>(PopupComponent))
    Tree->Header().AutoFitColumns(true, smaUseColumnOption, NoColumn, NoColumn);
}
