#include "chart/widgets/win/VivIzudeCustomSelector.h"

#include <algorithm>

#include "chart/widgets/VivIzudeStyles.h"
#include "rtl/Win32.h"

namespace {

constexpr Word VK_RETURN_ = 13;
constexpr Word VK_END_ = 35, VK_HOME_ = 36, VK_LEFT_ = 37, VK_UP_ = 38, VK_RIGHT_ = 39, VK_DOWN_ = 40;

TColor RGBColor(Byte R, Byte G, Byte B) { return R | (G << 8) | (B << 16); }

}  // namespace

// ---------------------------------------------------------------- item

TVivIzudeCustomSelectorItem::TVivIzudeCustomSelectorItem(TCollection* Collection)
    : TCollectionItem(Collection), FMargins(std::make_unique<TVivMargins>()) {
  FMargins->OnChange = [this](TObject*) { Relayout(); };
}

TVivIzudeCustomSelectorItem::~TVivIzudeCustomSelectorItem() = default;

TVivIzudeCustomSelector* TVivIzudeCustomSelectorItem::Owner() const {
  const auto* Items = dynamic_cast<const TVivIzudeCustomSelectorItems*>(Collection());
  return Items ? Items->Owner() : nullptr;
}

void TVivIzudeCustomSelectorItem::Relayout() {
  if (TVivIzudeCustomSelector* S = Owner()) S->UpdateDisplayList();
}

void TVivIzudeCustomSelectorItem::Repaint() {
  if (TVivIzudeCustomSelector* S = Owner()) S->InvalidateItems();
}

void TVivIzudeCustomSelectorItem::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TVivIzudeCustomSelectorItem*>(Source);
  if (!Src) return;
  FRowSpan = Src->FRowSpan;
  FColumnSpan = Src->FColumnSpan;
  FVisible = Src->FVisible;
  FText = Src->FText;
  FEnabled = Src->FEnabled;
  FSeparator = Src->FSeparator;
  FSeparatorHeight = Src->FSeparatorHeight;
  FMargins->Assign(Src->FMargins.get());
  FCanDeselect = Src->FCanDeselect;
  FCanSelect = Src->FCanSelect;
  FHint = Src->FHint;
  Relayout();
}

void TVivIzudeCustomSelectorItem::SetRowSpan(Integer Value) {
  if (FRowSpan == Value) return;
  FRowSpan = Value;
  Relayout();
}
void TVivIzudeCustomSelectorItem::SetColumnSpan(Integer Value) {
  if (FColumnSpan == Value) return;
  FColumnSpan = Value;
  Relayout();
}
void TVivIzudeCustomSelectorItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Relayout();
}
void TVivIzudeCustomSelectorItem::SetSeparator(bool Value) {
  if (FSeparator == Value) return;
  FSeparator = Value;
  Relayout();
}
void TVivIzudeCustomSelectorItem::SetText(const String& Value) {
  if (FText == Value) return;
  FText = Value;
  Repaint();
}
void TVivIzudeCustomSelectorItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Repaint();
}
void TVivIzudeCustomSelectorItem::SetSeparatorHeight(float Value) {
  if (FSeparatorHeight == Value) return;
  FSeparatorHeight = Value;
  Repaint();
}
void TVivIzudeCustomSelectorItem::SetVerticalTextAlign(TVivIzudeGraphicsTextAlign Value) {
  if (FVerticalTextAlign == Value) return;
  FVerticalTextAlign = Value;
  Repaint();
}
void TVivIzudeCustomSelectorItem::SetHorizontalTextAlign(TVivIzudeGraphicsTextAlign Value) {
  if (FHorizontalTextAlign == Value) return;
  FHorizontalTextAlign = Value;
  Repaint();
}

TVivIzudeCustomSelectorItemState TVivIzudeCustomSelectorItem::State() const {
  if (FSeparator) return isNormal;
  if (!FEnabled) return isDisabled;
  const TVivIzudeCustomSelector* S = Owner();
  if (!S) return isNormal;
  const Integer I = Index();
  if (I == S->DownItemIndex()) return isDown;
  if (I == S->HoveredItemIndex()) return isHover;
  if (I == S->SelectedItemIndex()) return isSelected;
  return isNormal;
}

// ---------------------------------------------------------------- items

TVivIzudeCustomSelectorItems::TVivIzudeCustomSelectorItems(TVivIzudeCustomSelector* AOwner, TItemFactory AItemClass)
    : TCollection(std::move(AItemClass)), FOwner(AOwner) {}

TVivIzudeCustomSelectorItems::TVivIzudeCustomSelectorItems(TVivIzudeCustomSelector* AOwner)
    : TVivIzudeCustomSelectorItems(AOwner, ItemClass<TVivIzudeCustomSelectorItem>()) {}

// Held in an update so that the layout runs once the item is fully made.
TVivIzudeCustomSelectorItem* TVivIzudeCustomSelectorItems::Add() {
  BeginUpdate();
  TCollectionItem* Item = nullptr;
  try {
    Item = TCollection::Add();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return static_cast<TVivIzudeCustomSelectorItem*>(Item);
}

TVivIzudeCustomSelectorItem* TVivIzudeCustomSelectorItems::Insert(Integer Index) {
  BeginUpdate();
  TCollectionItem* Item = nullptr;
  try {
    Item = TCollection::Insert(Index);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return static_cast<TVivIzudeCustomSelectorItem*>(Item);
}

TVivIzudeCustomSelectorItem* TVivIzudeCustomSelectorItems::Items(Integer Index) const {
  return static_cast<TVivIzudeCustomSelectorItem*>(TCollection::Items(Index));
}

void TVivIzudeCustomSelectorItems::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (FOwner) FOwner->UpdateDisplayList();
}

// ---------------------------------------------------------------- appearance

TVivIzudeCustomSelectorAppearance::TVivIzudeCustomSelectorAppearance(TVivIzudeCustomSelector* AOwner)
    : FStrokeHover(std::make_unique<TVivIzudeGraphicsStroke>()),
      FFillDown(std::make_unique<TVivIzudeGraphicsFill>()),
      FStrokeDown(std::make_unique<TVivIzudeGraphicsStroke>()),
      FFillSelected(std::make_unique<TVivIzudeGraphicsFill>()),
      FStrokeSelected(std::make_unique<TVivIzudeGraphicsStroke>()),
      FFill(std::make_unique<TVivIzudeGraphicsFill>()),
      FFillHover(std::make_unique<TVivIzudeGraphicsFill>()),
      FStroke(std::make_unique<TVivIzudeGraphicsStroke>()),
      FFillDisabled(std::make_unique<TVivIzudeGraphicsFill>()),
      FStrokeDisabled(std::make_unique<TVivIzudeGraphicsStroke>()),
      FSeparatorStroke(std::make_unique<TVivIzudeGraphicsStroke>()),
      FFont(std::make_unique<TVivIzudeGraphicsFont>()),
      FOwner(AOwner) {
  Reset();
  const TNotifyEvent Repaint = [this](TObject* S) { Changed(S); };
  for (auto* F : {FFillDown.get(), FFillSelected.get(), FFill.get(), FFillHover.get(), FFillDisabled.get()})
    F->OnChanged = Repaint;
  for (auto* S : {FStrokeHover.get(), FStrokeDown.get(), FStrokeSelected.get(), FStroke.get(), FStrokeDisabled.get(),
                  FSeparatorStroke.get()})
    S->OnChanged = Repaint;
  FFont->OnChanged = Repaint;
}

TVivIzudeCustomSelectorAppearance::~TVivIzudeCustomSelectorAppearance() = default;

void TVivIzudeCustomSelectorAppearance::Reset() {
  auto SolidFill = [](TVivIzudeGraphicsFill* F, TColor C) {
    F->BeginUpdate();
    F->SetKind(gfkSolid);
    F->SetColor(C);
    F->EndUpdate();
  };
  auto SolidStroke = [](TVivIzudeGraphicsStroke* S, TColor C) {
    S->BeginUpdate();
    S->SetKind(gskSolid);
    S->SetColor(C);
    S->EndUpdate();
  };
  SolidStroke(FStrokeHover.get(), RGBColor(119, 136, 153));
  SolidFill(FFillDown.get(), LightenColor(RGBColor(112, 128, 144), 50));
  SolidStroke(FStrokeDown.get(), RGBColor(112, 128, 144));
  SolidFill(FFillSelected.get(), LightenColor(RGBColor(112, 128, 144), 50));
  SolidStroke(FStrokeSelected.get(), RGBColor(47, 79, 79));
  SolidFill(FFill.get(), LightenColor(RGBColor(211, 211, 211), 50));
  SolidFill(FFillHover.get(), LightenColor(RGBColor(119, 136, 153), 50));
  SolidStroke(FStroke.get(), RGBColor(169, 169, 169));
  SolidFill(FFillDisabled.get(), LightenColor(RGBColor(128, 128, 128), 50));
  SolidStroke(FStrokeDisabled.get(), RGBColor(169, 169, 169));
  SolidStroke(FSeparatorStroke.get(), RGBColor(169, 169, 169));
  FFont->SetColor(0);
}

void TVivIzudeCustomSelectorAppearance::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TVivIzudeCustomSelectorAppearance*>(Source);
  if (!Src) return;
  FStrokeHover->Assign(Src->FStrokeHover.get());
  FFillDown->Assign(Src->FFillDown.get());
  FStrokeDown->Assign(Src->FStrokeDown.get());
  FFillSelected->Assign(Src->FFillSelected.get());
  FStrokeSelected->Assign(Src->FStrokeSelected.get());
  FFill->Assign(Src->FFill.get());
  FFillHover->Assign(Src->FFillHover.get());
  FStroke->Assign(Src->FStroke.get());
  FFillDisabled->Assign(Src->FFillDisabled.get());
  FStrokeDisabled->Assign(Src->FStrokeDisabled.get());
  FSeparatorStroke->Assign(Src->FSeparatorStroke.get());
  FFont->Assign(Src->FFont.get());
  SetVerticalSpacing(Src->FVerticalSpacing);
  SetHorizontalSpacing(Src->FHorizontalSpacing);
}

void TVivIzudeCustomSelectorAppearance::SetVerticalSpacing(float Value) {
  if (FVerticalSpacing == Value) return;
  FVerticalSpacing = Value;
  if (FOwner) FOwner->UpdateDisplayList();
}

void TVivIzudeCustomSelectorAppearance::SetHorizontalSpacing(float Value) {
  if (FHorizontalSpacing == Value) return;
  FHorizontalSpacing = Value;
  if (FOwner) FOwner->UpdateDisplayList();
}

void TVivIzudeCustomSelectorAppearance::Changed(TObject*) {
  if (FOwner) FOwner->InvalidateItems();
}

// ---------------------------------------------------------------- selector

TVivIzudeCustomSelector::TVivIzudeCustomSelector(TComponent* AOwner)
    : TVivIzudeCustomControl(AOwner), FAppearance(std::make_unique<TVivIzudeCustomSelectorAppearance>(this)) {
  InitItems();
  if (IsDesigning()) InitializeDefault();
}

TVivIzudeCustomSelector::~TVivIzudeCustomSelector() {
  // The items reach back into the selector while they go.
  ++FUpdateCount;
  FItems.reset();
}

void TVivIzudeCustomSelector::InitItems() {
  ++FUpdateCount;
  FItems = CreateItems();
  --FUpdateCount;
  FDisplayList.clear();
}

std::unique_ptr<TVivIzudeCustomSelectorItems> TVivIzudeCustomSelector::CreateItems() {
  return std::make_unique<TVivIzudeCustomSelectorItems>(this);
}

void TVivIzudeCustomSelector::Assign(TPersistent* Source) {
  TVivIzudeCustomControl::Assign(Source);
  auto* Src = dynamic_cast<TVivIzudeCustomSelector*>(Source);
  if (!Src) return;
  BeginUpdate();
  FItems->Assign(Src->FItems.get());
  FAppearance->Assign(Src->FAppearance.get());
  SetRows(Src->FRows);
  SetColumns(Src->FColumns);
  EndUpdate();
}

void TVivIzudeCustomSelector::BeginUpdate() {
  TVivIzudeCustomControl::BeginUpdate();
  ++FUpdateCount;
}

void TVivIzudeCustomSelector::EndUpdate() {
  TVivIzudeCustomControl::EndUpdate();
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) UpdateDisplayList();
}

void TVivIzudeCustomSelector::SetColumns(Integer Value) {
  if (FColumns == Value) return;
  FColumns = Value;
  DoGridSizeChanged();
  UpdateDisplayList();
}

void TVivIzudeCustomSelector::SetRows(Integer Value) {
  if (FRows == Value) return;
  FRows = Value;
  DoGridSizeChanged();
  UpdateDisplayList();
}

void TVivIzudeCustomSelector::SetSelectedItemIndex(Integer Value) {
  if (FSelectedItemIndex == Value) return;
  FSelectedItemIndex = Value;
  FFocusedItemIndex = Value;
  Invalidate();
}

void TVivIzudeCustomSelector::UpdateControlAfterResize() {
  TVivIzudeCustomControl::UpdateControlAfterResize();
  UpdateDisplayList();
}

bool TVivIzudeCustomSelector::FindFreeCell(const TVivIzudeCustomSelectorItemPosArray& AGrid, Integer AItemIndex,
                                           Integer& ARow, Integer& ACol) const {
  const TVivIzudeCustomSelectorItem* Item = FItems->Items(AItemIndex);
  const Integer RSpanWanted = Item->Separator() ? 1 : Item->RowSpan();
  const Integer CSpanWanted = Item->Separator() ? FColumns : Item->ColumnSpan();
  for (Integer R = ARow; R < FRows; ++R) {
    for (Integer C = (R == ARow ? ACol : 0); C < FColumns; ++C) {
      const Integer RS = std::max(1, std::min(RSpanWanted, FRows - R));
      const Integer CS = std::max(1, std::min(CSpanWanted, FColumns - C));
      bool Free = true;
      for (Integer Y = R; Free && Y < R + RS; ++Y)
        for (Integer X = C; Free && X < C + CS; ++X)
          if (AGrid[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)].TileSet) Free = false;
      if (Free) {
        ARow = R;
        ACol = C;
        return true;
      }
    }
  }
  return false;
}

// Every page is laid out, the later ones each a control's width further
// right, so that the keyboard can reach their items and the page holding
// the focused item is the one shown.
void TVivIzudeCustomSelector::UpdateDisplayList() {
  if (IsDestroying() || FUpdateCount > 0 || !FItems) return;
  FDisplayList.clear();
  const Integer Count = FItems->Count();
  if (Count == 0) {
    FPageCount = 0;
    Invalidate();
    return;
  }
  const float W = GetContentWidth(), H = GetContentHeight();
  const float hs = FAppearance->HorizontalSpacing(), vs = FAppearance->VerticalSpacing();
  const Integer C = FColumns, R = FRows;
  // A grid without cells could never take an item: nothing is shown.
  if (C <= 0 || R <= 0) {
    FPageCount = 0;
    Invalidate();
    return;
  }
  const float cw = (W - vs - C * hs) / C;
  Integer S = 0;
  float SH = 0;
  for (Integer I = 0; I < Count; ++I) {
    const TVivIzudeCustomSelectorItem* Item = FItems->Items(I);
    if (Item->Separator()) {
      ++S;
      SH += Item->SeparatorHeight() + vs;
    }
  }
  float ch = H - vs - SH;
  if (R - S > 0) ch = (H - vs - SH - (R - S) * vs) / (R - S);

  Integer Index = 0, Page = 0;
  while (Index < Count) {
    TVivIzudeCustomSelectorItemPosArray Grid(
        static_cast<std::size_t>(R), std::vector<TVivIzudeCustomSelectorPositionItem>(static_cast<std::size_t>(C)));
    float so = 0;
    Integer r = 0, c = 0;
    while (Index < Count) {
      while (Index < Count && !FItems->Items(Index)->Visible()) ++Index;
      if (Index >= Count) break;
      TVivIzudeCustomSelectorItem* Item = FItems->Items(Index);
      Integer cs = Item->Separator() ? C : Item->ColumnSpan();
      Integer rs = Item->Separator() ? 1 : Item->RowSpan();
      cs = std::max(1, std::min(cs, C - c));
      rs = std::max(1, std::min(rs, R - r));
      const float w = cs * cw + (cs - 1) * hs;
      const float h = Item->Separator() ? Item->SeparatorHeight() : rs * ch + (rs - 1) * vs;
      const float x = Page * W + hs + c * cw + c * hs;
      const float y = GetTopOffset() + so + vs + r * ch + r * vs;
      const TVivMargins* M = Item->Margins();
      FDisplayList.push_back(
          {TRectF{x + M->Left(), y + M->Top(), x + w - M->Right(), y + h - M->Bottom()}, Item, Page, c, r, cs, rs});
      for (Integer Y = r; Y < r + rs; ++Y)
        for (Integer X = c; X < c + cs; ++X)
          Grid[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)].TileSet = true;
      if (Item->Separator()) so += Item->SeparatorHeight() - rs * ch + (rs - 1) * vs;
      ++Index;
      while (Index < Count && !FItems->Items(Index)->Visible()) ++Index;
      if (Index >= Count) break;
      Integer NR = r, NC = c + 1;
      if (!FindFreeCell(Grid, Index, NR, NC)) {
        NR = r + 1;
        NC = 0;
        if (NR >= R || !FindFreeCell(Grid, Index, NR, NC)) break;
      }
      r = NR;
      c = NC;
    }
    ++Page;
  }
  FPageCount = Page;
  Invalidate();
}

Integer TVivIzudeCustomSelector::ActivePageIndex() const {
  TVivIzudeCustomSelectorDisplayItem D;
  GetDisplayItem(FFocusedItemIndex, D);
  return D.PageIndex > 0 ? D.PageIndex : 0;
}

void TVivIzudeCustomSelector::GetDisplayItem(Integer AItemIndex,
                                             TVivIzudeCustomSelectorDisplayItem& ADisplayItem) const {
  for (const auto& D : FDisplayList)
    if (D.Item && D.Item->Index() == AItemIndex) {
      ADisplayItem = D;
      return;
    }
  ADisplayItem = TVivIzudeCustomSelectorDisplayItem{};
}

Integer TVivIzudeCustomSelector::XYToItem(float X, float Y) const {
  const Integer Page = ActivePageIndex();
  const TPointF P{X + Page * GetContentWidth(), Y};
  for (const auto& D : FDisplayList) {
    if (D.PageIndex != Page || !D.Item) continue;
    if (PtInRectF(D.Rect, P) && D.Item->Enabled() && !D.Item->Separator()) return D.Item->Index();
  }
  return -1;
}

bool TVivIzudeCustomSelector::IsSelectable(const TVivIzudeCustomSelectorDisplayItem& D) const {
  return D.Item && D.Item->Enabled() && !D.Item->Separator();
}

Integer TVivIzudeCustomSelector::LastSelectableItem() const {
  for (auto It = FDisplayList.rbegin(); It != FDisplayList.rend(); ++It)
    if (IsSelectable(*It)) return It->Item->Index();
  return FFocusedItemIndex;
}

Integer TVivIzudeCustomSelector::FirstSelectableItem() const {
  for (const auto& D : FDisplayList)
    if (IsSelectable(D)) return D.Item->Index();
  return FFocusedItemIndex;
}

Integer TVivIzudeCustomSelector::PreviousSelectableItem() const {
  for (auto It = FDisplayList.rbegin(); It != FDisplayList.rend(); ++It)
    if (IsSelectable(*It) && It->Item->Index() < FFocusedItemIndex) return It->Item->Index();
  return FFocusedItemIndex;
}

Integer TVivIzudeCustomSelector::NextSelectableItem() const {
  for (const auto& D : FDisplayList)
    if (IsSelectable(D) && D.Item->Index() > FFocusedItemIndex) return D.Item->Index();
  return FFocusedItemIndex;
}

Integer TVivIzudeCustomSelector::SelectableItemBelow() const {
  TVivIzudeCustomSelectorDisplayItem F;
  GetDisplayItem(FFocusedItemIndex, F);
  if (!F.Item) return NextSelectableItem();
  for (const auto& D : FDisplayList)
    if (IsSelectable(D) && D.Item->Index() > FFocusedItemIndex && D.PageIndex == F.PageIndex && D.Column <= F.Column &&
        F.Column <= D.Column + D.ColumnSpan - 1 && D.Row > F.Row)
      return D.Item->Index();
  return FFocusedItemIndex;
}

Integer TVivIzudeCustomSelector::SelectableItemAbove() const {
  TVivIzudeCustomSelectorDisplayItem F;
  GetDisplayItem(FFocusedItemIndex, F);
  if (!F.Item) return PreviousSelectableItem();
  for (auto It = FDisplayList.rbegin(); It != FDisplayList.rend(); ++It) {
    const auto& D = *It;
    if (IsSelectable(D) && D.Item->Index() < FFocusedItemIndex && D.PageIndex == F.PageIndex && D.Column <= F.Column &&
        F.Column <= D.Column + D.ColumnSpan - 1 && D.Row < F.Row)
      return D.Item->Index();
  }
  return FFocusedItemIndex;
}

void TVivIzudeCustomSelector::SelectItem(Integer AItemIndex) {
  if (AItemIndex < 0 || AItemIndex >= FItems->Count()) return;
  const TVivIzudeCustomSelectorItem* Item = FItems->Items(AItemIndex);
  if (!Item->CanSelect()) return;
  const Integer Old = FSelectedItemIndex;
  FSelectedItemIndex = (Item->CanDeselect() && Old == AItemIndex) ? -1 : AItemIndex;
  if (FSelectedItemIndex != -1) FFocusedItemIndex = FSelectedItemIndex;
  if (Item->CanDeselect() && Old != -1) DoItemDeselected(Old);
  if (FSelectedItemIndex != -1) DoItemSelected(FSelectedItemIndex);
}

void TVivIzudeCustomSelector::HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TVivIzudeCustomControl::HandleMouseDown(Button, Shift, X, Y);
  CaptureMouse();
  FDownItemIndex = XYToItem(X, Y);
  Invalidate();
}

void TVivIzudeCustomSelector::HandleMouseMove(TShiftState Shift, float X, float Y) {
  TVivIzudeCustomControl::HandleMouseMove(Shift, X, Y);
  if (FDownItemIndex != -1) return;
  const Integer I = XYToItem(X, Y);
  if (I != FHoveredItemIndex) {
    FHoveredItemIndex = I;
    CancelHint();
    Invalidate();
  }
}

void TVivIzudeCustomSelector::HandleMouseUp(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TVivIzudeCustomControl::HandleMouseUp(Button, Shift, X, Y);
  ReleaseMouse();
  const Integer I = XYToItem(X, Y);
  const Integer Down = FDownItemIndex;
  FDownItemIndex = -1;
  FHoveredItemIndex = -1;
  if (I == Down && I != -1) {
    SelectItem(I);
    DoItemClick(I);
  }
  // A handler may have freed or hidden the selector; Invalidate is safe on
  // a live control only, which we still are here.
  Invalidate();
}

void TVivIzudeCustomSelector::HandleMouseLeave() {
  TVivIzudeCustomControl::HandleMouseLeave();
  FHoveredItemIndex = -1;
  Invalidate();
}

bool TVivIzudeCustomSelector::HasHint() const {
  return FHoveredItemIndex >= 0 && FHoveredItemIndex < FItems->Count() &&
         !FItems->Items(FHoveredItemIndex)->Hint().empty();
}

String TVivIzudeCustomSelector::GetHintString() const {
  return HasHint() ? FItems->Items(FHoveredItemIndex)->Hint() : String();
}

void TVivIzudeCustomSelector::HandleKeyDown(Word& Key, TShiftState Shift) {
  TVivIzudeCustomControl::HandleKeyDown(Key, Shift);
  Integer Target;
  switch (Key) {
    case VK_END_:
      Target = LastSelectableItem();
      break;
    case VK_HOME_:
      Target = FirstSelectableItem();
      break;
    case VK_LEFT_:
      Target = PreviousSelectableItem();
      break;
    case VK_RIGHT_:
      Target = NextSelectableItem();
      break;
    case VK_DOWN_:
      Target = SelectableItemBelow();
      break;
    case VK_UP_:
      Target = SelectableItemAbove();
      break;
    case VK_RETURN_:
      FDownItemIndex = FFocusedItemIndex;
      Invalidate();
      return;
    default:
      return;
  }
  FFocusedItemIndex = Target;
  Invalidate();
}

void TVivIzudeCustomSelector::HandleKeyUp(Word& Key, TShiftState Shift) {
  TVivIzudeCustomControl::HandleKeyUp(Key, Shift);
  if (Key != VK_RETURN_) return;
  FDownItemIndex = -1;
  SelectItem(FFocusedItemIndex);
  Invalidate();
}

// ---- events

void TVivIzudeCustomSelector::DoItemSelected(Integer AItemIndex) {
  if (OnItemSelected) OnItemSelected(this, AItemIndex);
}
void TVivIzudeCustomSelector::DoItemClick(Integer AItemIndex) {
  if (OnItemClick) OnItemClick(this, AItemIndex);
}
void TVivIzudeCustomSelector::DoItemDeselected(Integer AItemIndex) {
  if (OnItemDeselected) OnItemDeselected(this, AItemIndex);
}
void TVivIzudeCustomSelector::DoItemBeforeDrawBackground(TVivIzudeGraphics* AGraphics, const TRectF& ARect,
                                                         Integer AItemIndex, bool& ADefaultDraw) {
  if (OnItemBeforeDrawBackground) OnItemBeforeDrawBackground(this, AGraphics, ARect, AItemIndex, ADefaultDraw);
}
void TVivIzudeCustomSelector::DoItemAfterDrawBackground(TVivIzudeGraphics* AGraphics, const TRectF& ARect,
                                                        Integer AItemIndex) {
  if (OnItemAfterDrawBackground) OnItemAfterDrawBackground(this, AGraphics, ARect, AItemIndex);
}
void TVivIzudeCustomSelector::DoItemBeforeDrawContent(TVivIzudeGraphics* AGraphics, const TRectF& ARect,
                                                      Integer AItemIndex, bool& ADefaultDraw) {
  if (OnItemBeforeDrawContent) OnItemBeforeDrawContent(this, AGraphics, ARect, AItemIndex, ADefaultDraw);
}
void TVivIzudeCustomSelector::DoItemAfterDrawContent(TVivIzudeGraphics* AGraphics, const TRectF& ARect,
                                                     Integer AItemIndex) {
  if (OnItemAfterDrawContent) OnItemAfterDrawContent(this, AGraphics, ARect, AItemIndex);
}
void TVivIzudeCustomSelector::DoItemBeforeDrawText(TVivIzudeGraphics* AGraphics, const TRectF& ARect,
                                                   Integer AItemIndex, String& AText, bool& ADefaultDraw) {
  if (OnItemBeforeDrawText) OnItemBeforeDrawText(this, AGraphics, ARect, AItemIndex, AText, ADefaultDraw);
}
void TVivIzudeCustomSelector::DoItemAfterDrawText(TVivIzudeGraphics* AGraphics, const TRectF& ARect, Integer AItemIndex,
                                                  const String& AText) {
  if (OnItemAfterDrawText) OnItemAfterDrawText(this, AGraphics, ARect, AItemIndex, AText);
}

// ---- painting

void TVivIzudeCustomSelector::Draw(TVivIzudeGraphics* AGraphics, const TRectF&) { DrawItems(AGraphics); }

void TVivIzudeCustomSelector::DrawItems(TVivIzudeGraphics* AGraphics) {
  const Integer Page = ActivePageIndex();
  const float Shift = Page * GetContentWidth();
  for (const auto& D : FDisplayList) {
    if (D.PageIndex != Page) continue;
    TVivIzudeCustomSelectorDisplayItem Shown = D;
    Shown.Rect.Left -= Shift;
    Shown.Rect.Right -= Shift;
    DrawItem(AGraphics, Shown);
  }
}

void TVivIzudeCustomSelector::DrawItem(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& D) {
  DrawItemBackground(AGraphics, D);
  DrawItemContent(AGraphics, D);
  DrawItemText(AGraphics, D);
}

void TVivIzudeCustomSelector::DrawItemBackground(TVivIzudeGraphics* AGraphics,
                                                 const TVivIzudeCustomSelectorDisplayItem& D) {
  if (!D.Item) return;
  const Integer I = D.Item->Index();
  const TVivIzudeCustomSelectorAppearance* A = FAppearance.get();
  if (D.Item->Separator()) {
    AGraphics->SetStroke(A->SeparatorStroke());
  } else {
    TVivIzudeGraphicsFill* F = A->Fill();
    TVivIzudeGraphicsStroke* S = A->Stroke();
    if (!D.Item->Enabled()) {
      F = A->FillDisabled();
      S = A->StrokeDisabled();
    } else if (I == FDownItemIndex) {
      F = A->FillDown();
      S = A->StrokeDown();
    } else if (I == FHoveredItemIndex) {
      F = A->FillHover();
      S = A->StrokeHover();
    } else if (I == FSelectedItemIndex) {
      F = A->FillSelected();
      S = A->StrokeSelected();
    }
    AGraphics->SetFill(F);
    AGraphics->SetStroke(S);
  }
  bool Default = true;
  DoItemBeforeDrawBackground(AGraphics, D.Rect, I, Default);
  if (Default) {
    if (D.Item->Separator()) {
      const float Y = D.Rect.Top + (D.Rect.Bottom - D.Rect.Top) / 2;
      AGraphics->DrawLine(TPointF{D.Rect.Left, Y}, TPointF{D.Rect.Right, Y}, gcpmRightDown, gcpmRightDown);
    } else {
      AGraphics->DrawRectangle(D.Rect, gcrmShrinkAll);
      if (Focused() && I == FFocusedItemIndex) {
        TRectF R = D.Rect;
        InflateRectF(R, -2, -2);
        AGraphics->DrawFocusRectangle(R, 0, gcrmShrinkAll);
      }
    }
  }
  DoItemAfterDrawBackground(AGraphics, D.Rect, I);
}

void TVivIzudeCustomSelector::DrawItemContent(TVivIzudeGraphics* AGraphics,
                                              const TVivIzudeCustomSelectorDisplayItem& D) {
  if (!D.Item) return;
  bool Default = true;
  DoItemBeforeDrawContent(AGraphics, D.Rect, D.Item->Index(), Default);
  if (Default) DoItemAfterDrawContent(AGraphics, D.Rect, D.Item->Index());
}

void TVivIzudeCustomSelector::DrawItemText(TVivIzudeGraphics* AGraphics, const TVivIzudeCustomSelectorDisplayItem& D) {
  if (!D.Item || D.Item->Text().empty()) return;
  TRectF R = D.Rect;
  InflateRectF(R, -2, -2);
  AGraphics->SetFont(FAppearance->Font());
  String Text = D.Item->Text();
  bool Default = true;
  DoItemBeforeDrawText(AGraphics, D.Rect, D.Item->Index(), Text, Default);
  if (!Default) return;
  AGraphics->DrawText(R, Text, false, D.Item->HorizontalTextAlign(), D.Item->VerticalTextAlign(), gttNone, 0, -1, -1,
                      true, false);
  DoItemAfterDrawText(AGraphics, D.Rect, D.Item->Index(), Text);
}

// ---- styles

void TVivIzudeCustomSelector::ApplyStyle() {
  TVivIzudeCustomControl::ApplyStyle();
  TColor C;
  if (TVivIzudeStyles::GetStyleBackgroundFillColor(C)) Fill()->SetColor(C);
  if (TVivIzudeStyles::GetStyleBackgroundStrokeColor(C)) Stroke()->SetColor(C);
  if (TVivIzudeStyles::GetStyleDefaultButtonFillColor(C)) FAppearance->Fill()->SetColor(C);
  if (TVivIzudeStyles::GetStyleSelectionFillColor(C)) {
    FAppearance->FillSelected()->SetColor(C);
    FAppearance->FillDown()->SetColor(C);
    FAppearance->FillHover()->SetColor(BlendColor(C, FAppearance->Fill()->Color(), 25));
  }
  if (TVivIzudeStyles::GetStyleDefaultButtonStrokeColor(C)) {
    FAppearance->Stroke()->SetColor(C);
    FAppearance->StrokeSelected()->SetColor(C);
    FAppearance->StrokeDown()->SetColor(C);
    FAppearance->StrokeHover()->SetColor(C);
  }
  if (TVivIzudeStyles::GetStyleTextFontColor(C)) FAppearance->Font()->SetColor(C);
}

void TVivIzudeCustomSelector::ResetToDefaultStyle() {
  TVivIzudeCustomControl::ResetToDefaultStyle();
  Fill()->SetKind(gfkSolid);
  Fill()->SetColor(RGBColor(255, 255, 255));
  Stroke()->SetKind(gskSolid);
  Stroke()->SetColor(RGBColor(192, 192, 192));
  FAppearance->Reset();
}

void TVivIzudeCustomSelector::RegisterRuntimeClasses() {
  TVivIzudeCustomControl::RegisterRuntimeClasses();
  RegisterVivIzudeCustomSelectorClasses();
}

// ---------------------------------------------------------------- settings registry

void RegisterVivIzudeCustomSelectorClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomControlClasses();
    auto& Registry = TVivIzudeClassRegistry::Instance();
    using A = TVivIzudeCustomSelectorAppearance;
    VivIzudeRegisterClass<A>(u"TVivIzudeCustomSelectorAppearance")
        .Object(u"StrokeHover", &A::StrokeHover)
        .Object(u"FillDown", &A::FillDown)
        .Property(u"VerticalSpacing", &A::VerticalSpacing, &A::SetVerticalSpacing)
        .Stored([](const A* O) { return O->VerticalSpacing() != 4; })
        .Object(u"StrokeDown", &A::StrokeDown)
        .Object(u"FillSelected", &A::FillSelected)
        .Property(u"HorizontalSpacing", &A::HorizontalSpacing, &A::SetHorizontalSpacing)
        .Stored([](const A* O) { return O->HorizontalSpacing() != 4; })
        .Object(u"StrokeSelected", &A::StrokeSelected)
        .Object(u"Fill", &A::Fill)
        .Object(u"FillHover", &A::FillHover)
        .Object(u"Stroke", &A::Stroke)
        .Object(u"FillDisabled", &A::FillDisabled)
        .Object(u"StrokeDisabled", &A::StrokeDisabled)
        .Object(u"SeparatorStroke", &A::SeparatorStroke)
        .Object(u"Font", &A::Font);

    using I = TVivIzudeCustomSelectorItem;
    TVivIzudeClassInfo& ItemInfo = Registry.Add(std::type_index(typeid(I)), u"TVivIzudeCustomSelectorItem");
    TVivIzudeClassBuilder<I>(ItemInfo)
        .Property(u"RowSpan", &I::RowSpan, &I::SetRowSpan)
        .Property(u"ColumnSpan", &I::ColumnSpan, &I::SetColumnSpan)
        .Property(u"Visible", &I::Visible, &I::SetVisible)
        .Property(u"Text", &I::Text, &I::SetText)
        .Property(u"Enabled", &I::Enabled, &I::SetEnabled)
        .Property(u"Separator", &I::Separator, &I::SetSeparator)
        .Property(u"SeparatorHeight", &I::SeparatorHeight, &I::SetSeparatorHeight)
        .Stored([](const I* O) { return O->SeparatorHeight() != 5; })
        .Object(u"Margins", &I::Margins)
        .Property(u"CanDeselect", &I::CanDeselect, &I::SetCanDeselect)
        .Property(u"CanSelect", &I::CanSelect, &I::SetCanSelect)
        .EnumProperty(u"VerticalTextAlign", &I::VerticalTextAlign, &I::SetVerticalTextAlign, gtaTrailing)
        .EnumProperty(u"HorizontalTextAlign", &I::HorizontalTextAlign, &I::SetHorizontalTextAlign, gtaTrailing)
        .Property(u"Hint", &I::Hint, &I::SetHint);
    ItemInfo.Create = [] { return static_cast<TObject*>(new I(nullptr)); };
    VivIzudeRegisterClass<TVivIzudeCustomSelectorItems>(u"TVivIzudeCustomSelectorItems")
        .Collection(VivIzudeSelectorItemsAccess<TVivIzudeCustomSelectorItems, I>(u"TVivIzudeCustomSelectorItem"));

    using S = TVivIzudeCustomSelector;
    VivIzudeRegisterClass<S>(u"TVivIzudeCustomSelector")
        .Inherits<TVivIzudeCustomControl>()
        .Object(u"Fill", static_cast<TVivIzudeGraphicsFill* (S::*)() const>(&S::Fill))
        .Object(u"Stroke", static_cast<TVivIzudeGraphicsStroke* (S::*)() const>(&S::Stroke));
    return true;
  }();
  (void)Registered;
}

namespace {
// Registered once at start as well, so that a document naming the class is
// understood before any selector exists.
[[maybe_unused]] const bool SelectorClassesRegisteredAtStart = (RegisterVivIzudeCustomSelectorClasses(), true);
}  // namespace
