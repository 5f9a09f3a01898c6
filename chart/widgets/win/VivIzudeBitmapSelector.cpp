#include "chart/widgets/win/VivIzudeBitmapSelector.h"

#include <cmath>

#include "chart/drawing/win/VivIzudeTypes.h"

// ---------------------------------------------------------------- item

TVivIzudeBitmapSelectorItem::TVivIzudeBitmapSelectorItem(TCollection* Collection)
    : TVivIzudeCustomSelectorItem(Collection), FBitmap(std::make_unique<TPicture>()) {
  FBitmap->OnChange = [this](TObject*) { Repaint(); };
}

TVivIzudeBitmapSelectorItem::~TVivIzudeBitmapSelectorItem() = default;

void TVivIzudeBitmapSelectorItem::Assign(TPersistent* Source) {
  TVivIzudeCustomSelectorItem::Assign(Source);
  auto* Src = dynamic_cast<TVivIzudeBitmapSelectorItem*>(Source);
  if (!Src) return;
  FBitmap->Assign(Src->FBitmap.get());
  FBitmapName = Src->FBitmapName;
  FBitmapSize = Src->FBitmapSize;
  FBitmapAlign = Src->FBitmapAlign;
  Repaint();
}

void TVivIzudeBitmapSelectorItem::SetBitmap(TPicture* Value) {
  if (Value != FBitmap.get()) FBitmap->Assign(Value);
  Repaint();
}

void TVivIzudeBitmapSelectorItem::SetBitmapAlign(TVivIzudeBitmapSelectorBitmapAlign Value) {
  if (FBitmapAlign == Value) return;
  FBitmapAlign = Value;
  Repaint();
}

void TVivIzudeBitmapSelectorItem::SetBitmapName(const String& Value) {
  if (FBitmapName == Value) return;
  FBitmapName = Value;
  Repaint();
}

void TVivIzudeBitmapSelectorItem::SetBitmapSize(float Value) {
  if (FBitmapSize == Value) return;
  FBitmapSize = Value;
  Repaint();
}

TVivIzudeBitmapContainer* TVivIzudeBitmapSelectorItem::BitmapContainer() const {
  auto* S = dynamic_cast<TVivIzudeCustomBitmapSelector*>(Owner());
  return S ? S->BitmapContainer() : nullptr;
}

TPicture* TVivIzudeBitmapSelectorItem::GetBitmap() const {
  if (!IsPictureEmpty(FBitmap.get())) return FBitmap.get();
  TVivIzudeBitmapContainer* C = BitmapContainer();
  if (C && !FBitmapName.empty()) return C->FindBitmap(FBitmapName);
  return nullptr;
}

TVivIzudeBitmapSelectorItems::TVivIzudeBitmapSelectorItems(TVivIzudeCustomBitmapSelector* AOwner)
    : TVivIzudeCustomSelectorItems(AOwner, ItemClass<TVivIzudeBitmapSelectorItem>()) {}

// ---------------------------------------------------------------- selector

TSizeF FitBitmapSize(float pw, float ph, float aw, float ah) {
  if (pw <= 0 || ph <= 0 || aw <= 0 || ah <= 0) return {0, 0};
  if (pw < aw && ph < ah) return {pw, ph};
  if (aw / ah > pw / ph) return {pw * ah / ph, ah};
  return {aw, ph * aw / pw};
}

TVivIzudeCustomBitmapSelector::TVivIzudeCustomBitmapSelector(TComponent* AOwner) : TVivIzudeDefaultSelector(AOwner) {
  InitItems();
  SetWidth(135);
  SetHeight(135);
}

TVivIzudeCustomBitmapSelector::~TVivIzudeCustomBitmapSelector() { SetBitmapContainer(nullptr); }

std::unique_ptr<TVivIzudeCustomSelectorItems> TVivIzudeCustomBitmapSelector::CreateItems() {
  return std::make_unique<TVivIzudeBitmapSelectorItems>(this);
}

void TVivIzudeCustomBitmapSelector::SetBitmapContainer(TVivIzudeBitmapContainer* Value) {
  if (FBitmapContainer == Value) return;
  if (FBitmapContainer) FBitmapContainer->RemoveFreeNotification(this);
  FBitmapContainer = Value;
  if (FBitmapContainer) FBitmapContainer->FreeNotification(this);
  Invalidate();
}

void TVivIzudeCustomBitmapSelector::Notification(TComponent* AComponent, TOperation Operation) {
  TVivIzudeDefaultSelector::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FBitmapContainer) {
    FBitmapContainer = nullptr;
    Invalidate();
  }
}

TPicture* TVivIzudeCustomBitmapSelector::FindBitmapByItem(Integer AItem) const {
  if (AItem < 0 || AItem >= Items()->Count()) return nullptr;
  return Items()->Items(AItem)->GetBitmap();
}

Integer TVivIzudeCustomBitmapSelector::FindItemByBitmap(const TPicture* ABitmap) const {
  for (Integer I = 0; I < Items()->Count(); ++I)
    if (Items()->Items(I)->GetBitmap() == ABitmap) return I;
  return -1;
}

void TVivIzudeCustomBitmapSelector::DoItemSelected(Integer AItemIndex) {
  TVivIzudeDefaultSelector::DoItemSelected(AItemIndex);
  if (OnBitmapSelected) OnBitmapSelected(this, FindBitmapByItem(AItemIndex));
}

void TVivIzudeCustomBitmapSelector::DoItemDeselected(Integer AItemIndex) {
  TVivIzudeDefaultSelector::DoItemDeselected(AItemIndex);
  if (OnBitmapDeselected) OnBitmapDeselected(this, FindBitmapByItem(AItemIndex));
}

void TVivIzudeCustomBitmapSelector::DrawItemContent(TVivIzudeGraphics* AGraphics,
                                                    const TVivIzudeCustomSelectorDisplayItem& D) {
  auto* Item = dynamic_cast<TVivIzudeBitmapSelectorItem*>(D.Item);
  if (!Item) return;
  TRectF r = D.Rect;
  bool Default = true;
  DoItemBeforeDrawContent(AGraphics, r, Item->Index(), Default);
  if (!Default) return;
  if (TPicture* Pic = Item->GetBitmap(); Pic && Pic->Graphic()) {
    InflateRectF(r, -2, -2);
    const float s = Item->BitmapSize() > 0 ? Item->BitmapSize() : r.Bottom - r.Top;
    TRectF Area{r.Left, r.Top, r.Left + s, r.Bottom};
    if (Item->BitmapAlign() == baCenter) {
      const float L = r.Left + ((r.Right - r.Left) - s) / 2;
      Area = {L, r.Top, L + s, r.Bottom};
    } else if (Item->BitmapAlign() == baRight) {
      Area = {r.Right - s, r.Top, r.Right, r.Bottom};
    }
    const TSizeF Sz = FitBitmapSize(static_cast<float>(Pic->Width()), static_cast<float>(Pic->Height()),
                                    Area.Right - Area.Left, Area.Bottom - Area.Top);
    const float X = Area.Left + ((Area.Right - Area.Left) - Sz.cx) / 2;
    const float Y = Area.Top + ((Area.Bottom - Area.Top) - Sz.cy) / 2;
    const TRectF Dst{std::nearbyint(X), std::nearbyint(Y), std::nearbyint(X + Sz.cx), std::nearbyint(Y + Sz.cy)};
    AGraphics->DrawBitmap(Dst, Pic->Graphic(), true, false, true, false);
  }
  DoItemAfterDrawContent(AGraphics, D.Rect, Item->Index());
}

void TVivIzudeCustomBitmapSelector::DrawItemText(TVivIzudeGraphics* AGraphics,
                                                 const TVivIzudeCustomSelectorDisplayItem& D) {
  auto* Item = dynamic_cast<TVivIzudeBitmapSelectorItem*>(D.Item);
  if (!Item || !Item->GetBitmap()) {
    TVivIzudeDefaultSelector::DrawItemText(AGraphics, D);
    return;
  }
  TVivIzudeCustomSelectorDisplayItem Narrowed = D;
  const float s = Item->BitmapSize() > 0 ? Item->BitmapSize() : D.Rect.Bottom - D.Rect.Top;
  if (Item->BitmapAlign() == baLeft) Narrowed.Rect.Left += s + 4;
  if (Item->BitmapAlign() == baRight) Narrowed.Rect.Right -= s + 4;
  TVivIzudeDefaultSelector::DrawItemText(AGraphics, Narrowed);
}

// ---------------------------------------------------------------- settings registry

TVivIzudeBitmapSelector::TVivIzudeBitmapSelector(TComponent* AOwner) : TVivIzudeCustomBitmapSelector(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeBitmapSelector::RegisterRuntimeClasses() {
  TVivIzudeCustomBitmapSelector::RegisterRuntimeClasses();
  RegisterVivIzudeBitmapSelectorClasses();
}

void RegisterVivIzudeBitmapSelectorClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomSelectorClasses();
    RegisterVivIzudeBitmapContainerClasses();  // the picture class
    auto& Registry = TVivIzudeClassRegistry::Instance();
    using I = TVivIzudeBitmapSelectorItem;
    TVivIzudeClassInfo& ItemInfo = Registry.Add(std::type_index(typeid(I)), u"TVivIzudeBitmapSelectorItem");
    TVivIzudeClassBuilder<I>(ItemInfo)
        .Inherits<TVivIzudeCustomSelectorItem>()
        .Object(u"Bitmap", &I::Bitmap)
        .EnumProperty(u"BitmapAlign", &I::BitmapAlign, &I::SetBitmapAlign, baRight)
        .Property(u"BitmapName", &I::BitmapName, &I::SetBitmapName)
        .Property(u"BitmapSize", &I::BitmapSize, &I::SetBitmapSize)
        .Stored([](const I* O) { return O->BitmapSize() != 0; });
    ItemInfo.Create = [] { return static_cast<TObject*>(new I(nullptr)); };
    using Items = TVivIzudeBitmapSelectorItems;
    VivIzudeRegisterClass<Items>(u"TVivIzudeBitmapSelectorItems")
        .Inherits<TVivIzudeCustomSelectorItems>()
        .Collection(VivIzudeSelectorItemsAccess<Items, I>(u"TVivIzudeBitmapSelectorItem"));

    using S = TVivIzudeBitmapSelector;
    using CS = TVivIzudeCustomBitmapSelector;
    auto B = VivIzudeRegisterClass<S>(u"TVivIzudeBitmapSelector");
    B.Inherits<TVivIzudeCustomSelector>();
    VivIzudeAddSelectorProperties<S, Items>(B);
    // Refers to a component the selector does not own: never persisted.
    B.ReadOnly(u"BitmapContainer", static_cast<TVivIzudeBitmapContainer* (S::*)() const>(&CS::BitmapContainer))
        .Event(u"OnBitmapSelected")
        .Event(u"OnBitmapDeselected");
    return true;
  }();
  (void)Registered;
}
