#include "chart/widgets/win/VivIzudeColorSelector.h"

#include <cmath>
#include <iterator>

namespace {

constexpr TColor RGBColor(Byte R, Byte G, Byte B) { return R | (G << 8) | (B << 16); }

constexpr TColor Palette16[] = {
    RGBColor(0, 0, 0),       RGBColor(128, 0, 0),   RGBColor(0, 128, 0),   RGBColor(128, 128, 0),
    RGBColor(0, 0, 128),     RGBColor(128, 0, 128), RGBColor(0, 128, 128), RGBColor(192, 192, 192),
    RGBColor(128, 128, 128), RGBColor(255, 0, 0),   RGBColor(0, 255, 0),   RGBColor(255, 255, 0),
    RGBColor(0, 0, 255),     RGBColor(255, 0, 255), RGBColor(0, 255, 255), RGBColor(255, 255, 255)};

constexpr TColor Palette40[] = {
    RGBColor(0, 0, 0),       RGBColor(0, 51, 153),    RGBColor(0, 51, 51),     RGBColor(0, 51, 0),
    RGBColor(102, 51, 0),    RGBColor(0, 0, 128),     RGBColor(53, 51, 51),    RGBColor(51, 51, 51),
    RGBColor(128, 0, 0),     RGBColor(255, 102, 0),   RGBColor(128, 128, 0),   RGBColor(0, 128, 0),
    RGBColor(0, 128, 128),   RGBColor(0, 0, 255),     RGBColor(102, 102, 153), RGBColor(128, 128, 128),
    RGBColor(255, 0, 0),     RGBColor(255, 153, 0),   RGBColor(153, 204, 0),   RGBColor(51, 153, 102),
    RGBColor(51, 204, 204),  RGBColor(51, 102, 255),  RGBColor(128, 0, 128),   RGBColor(153, 153, 153),
    RGBColor(255, 0, 255),   RGBColor(255, 204, 0),   RGBColor(255, 255, 0),   RGBColor(0, 255, 0),
    RGBColor(0, 255, 255),   RGBColor(0, 204, 255),   RGBColor(153, 51, 102),  RGBColor(192, 192, 192),
    RGBColor(255, 153, 204), RGBColor(255, 204, 153), RGBColor(255, 255, 153), RGBColor(204, 255, 204),
    RGBColor(204, 255, 255), RGBColor(153, 204, 255), RGBColor(204, 153, 255), RGBColor(255, 255, 255)};

}  // namespace

void TVivIzudeColorSelectorItem::Assign(TPersistent* Source) {
  TVivIzudeCustomSelectorItem::Assign(Source);
  if (auto* Src = dynamic_cast<TVivIzudeColorSelectorItem*>(Source)) SetColor(Src->FColor);
}

void TVivIzudeColorSelectorItem::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Repaint();
}

TVivIzudeColorSelectorItems::TVivIzudeColorSelectorItems(TVivIzudeCustomColorSelector* AOwner)
    : TVivIzudeCustomSelectorItems(AOwner, ItemClass<TVivIzudeColorSelectorItem>()) {}

TVivIzudeCustomColorSelector::TVivIzudeCustomColorSelector(TComponent* AOwner) : TVivIzudeDefaultSelector(AOwner) {
  InitItems();
  SetWidth(135);
  SetHeight(135);
  if (IsDesigning()) InitializeDefault();
}

std::unique_ptr<TVivIzudeCustomSelectorItems> TVivIzudeCustomColorSelector::CreateItems() {
  return std::make_unique<TVivIzudeColorSelectorItems>(this);
}

void TVivIzudeCustomColorSelector::InitializeDefault() {
  TVivIzudeDefaultSelector::InitializeDefault();
  InitializeItems();
}

void TVivIzudeCustomColorSelector::SetMode(TVivIzudeCustomColorSelectorMode Value) {
  if (FMode == Value) return;
  LoadMode(Value);
  InitializeItems();
}

void TVivIzudeCustomColorSelector::LoadMode(TVivIzudeCustomColorSelectorMode Value) {
  if (FMode != Value) {
    FMode = Value;
    switch (FMode) {
      case csmSimple:
        SetBounds(Left(), Top(), 135, 135);
        break;
      case csmExtended:
        SetBounds(Left(), Top(), 200, 135);
        break;
      case csmExtendedMore:
        SetBounds(Left(), Top(), 200, 175);
        break;
    }
  }
  MarkTextItems();
}

void TVivIzudeCustomColorSelector::MarkTextItems() {
  // The richest mode draws its first item ("Automatic") and the one before
  // the hidden last ("More Colors...") as text. The mark is not part of a
  // settings document, so loaded items get it back from where the mode puts
  // those two: full-width rows with a text.
  if (FMode != csmExtendedMore || Items()->Count() < 3) return;
  for (Integer I : {Integer(0), Items()->Count() - 2}) {
    TVivIzudeColorSelectorItem* Item = Items()->Items(I);
    if (Item->ColumnSpan() >= Columns() && !Item->Text().empty()) Item->DataBoolean = true;
  }
}

void TVivIzudeCustomColorSelector::InitializeItems() {
  BeginUpdate();
  Items()->Clear();
  if (FMode == csmSimple) {
    SetColumns(4);
    SetRows(4);
    for (TColor C : Palette16) Items()->Add()->SetColor(C);
  } else {
    SetColumns(8);
    SetRows(FMode == csmExtended ? 5 : 7);
    for (TColor C : Palette40) Items()->Add()->SetColor(C);
    if (FMode == csmExtendedMore) {
      TVivIzudeColorSelectorItem* Auto = Items()->Insert(0);
      Auto->SetColor(0);
      Auto->SetColumnSpan(8);
      Auto->SetText(u"Automatic");
      Auto->DataBoolean = true;
      TVivIzudeColorSelectorItem* More = Items()->Add();
      More->SetColumnSpan(8);
      More->SetText(u"More Colors...");
      More->SetCanSelect(false);
      More->DataBoolean = true;
      Items()->Add()->SetVisible(false);
    }
  }
  EndUpdate();
}

TColor TVivIzudeCustomColorSelector::FindColorByItem(Integer AItem) const {
  if (AItem < 0 || AItem >= Items()->Count()) return -1;
  return Items()->Items(AItem)->Color();
}

Integer TVivIzudeCustomColorSelector::FindItemByColor(TColor AColor) const {
  for (Integer I = 0; I < Items()->Count(); ++I)
    if (Items()->Items(I)->Color() == AColor && Items()->Items(I)->CanSelect()) return I;
  return -1;
}

void TVivIzudeCustomColorSelector::SetSelectedColor(TColor Value) {
  if (FMode == csmExtendedMore && Items()->Count() > 0) Items()->Items(Items()->Count() - 1)->SetColor(Value);
  SetSelectedItemIndex(FindItemByColor(Value));
}

void TVivIzudeCustomColorSelector::DoItemSelected(Integer AItemIndex) {
  TVivIzudeDefaultSelector::DoItemSelected(AItemIndex);
  const TColor V = FindColorByItem(AItemIndex);
  if (OnColorSelected) OnColorSelected(this, V);
}

void TVivIzudeCustomColorSelector::DoItemDeselected(Integer AItemIndex) {
  TVivIzudeDefaultSelector::DoItemDeselected(AItemIndex);
  if (OnColorDeselected) OnColorDeselected(this, FindColorByItem(AItemIndex));
}

void TVivIzudeCustomColorSelector::DoItemBeforeDrawContent(TVivIzudeGraphics* AGraphics, const TRectF& ARect,
                                                           Integer AItemIndex, bool& ADefaultDraw) {
  // The two command entries get no swatch.
  if (FMode == csmExtendedMore && AItemIndex >= 0 && AItemIndex < Items()->Count())
    ADefaultDraw = !Items()->Items(AItemIndex)->DataBoolean;
  TVivIzudeDefaultSelector::DoItemBeforeDrawContent(AGraphics, ARect, AItemIndex, ADefaultDraw);
}

void TVivIzudeCustomColorSelector::DrawItemContent(TVivIzudeGraphics* AGraphics,
                                                   const TVivIzudeCustomSelectorDisplayItem& D) {
  auto* Item = dynamic_cast<TVivIzudeColorSelectorItem*>(D.Item);
  if (!Item) return;
  bool Default = true;
  DoItemBeforeDrawContent(AGraphics, D.Rect, Item->Index(), Default);
  if (!Default) return;
  TRectF R = D.Rect;
  const float Inset = FMode == csmSimple ? 5.0f : 3.0f;
  InflateRectF(R, -Inset, -Inset);
  AGraphics->SetFillKind(gfkSolid);
  AGraphics->SetFillColor(Item->Color());
  AGraphics->SetStrokeKind(gskSolid);
  AGraphics->SetStrokeColor(Item->Color());
  AGraphics->DrawRectangle(R, gcrmShrinkAll);
  DoItemAfterDrawContent(AGraphics, D.Rect, Item->Index());
}

// ---------------------------------------------------------------- settings registry

TVivIzudeColorSelector::TVivIzudeColorSelector(TComponent* AOwner) : TVivIzudeCustomColorSelector(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeColorSelector::RegisterRuntimeClasses() {
  TVivIzudeCustomColorSelector::RegisterRuntimeClasses();
  RegisterVivIzudeColorSelectorClasses();
}

void RegisterVivIzudeColorSelectorClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomSelectorClasses();
    auto& Registry = TVivIzudeClassRegistry::Instance();
    using I = TVivIzudeColorSelectorItem;
    TVivIzudeClassInfo& ItemInfo = Registry.Add(std::type_index(typeid(I)), u"TVivIzudeColorSelectorItem");
    // Always written: a new item holds black, so leaving out the declared
    // default of -1 would load as black.
    TVivIzudeClassBuilder<I>(ItemInfo).Inherits<TVivIzudeCustomSelectorItem>().Color(u"Color", &I::Color, &I::SetColor);
    ItemInfo.Create = [] { return static_cast<TObject*>(new I(nullptr)); };
    using Items = TVivIzudeColorSelectorItems;
    VivIzudeRegisterClass<Items>(u"TVivIzudeColorSelectorItems")
        .Inherits<TVivIzudeCustomSelectorItems>()
        .Collection(VivIzudeSelectorItemsAccess<Items, I>(u"TVivIzudeColorSelectorItem"));

    using C = TVivIzudeColorSelector;
    using CC = TVivIzudeCustomColorSelector;
    auto B = VivIzudeRegisterClass<C>(u"TVivIzudeColorSelector");
    B.Inherits<TVivIzudeCustomSelector>();
    VivIzudeAddSelectorProperties<C, Items>(B);
    // Items, Rows and Columns travel in the same document, and Mode is read
    // after Items and Columns: it must not rebuild what they brought.
    B.EnumProperty(u"Mode", &CC::Mode, &CC::LoadMode, csmExtendedMore)
        .Color(u"SelectedColor", &CC::SelectedColor, &CC::SetSelectedColor)
        .Event(u"OnColorSelected")
        .Event(u"OnColorDeselected")
        .Event(u"OnItemDeselected")
        .Event(u"OnItemClick");
    return true;
  }();
  (void)Registered;
}
