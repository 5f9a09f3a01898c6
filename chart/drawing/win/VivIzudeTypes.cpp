#include "chart/drawing/win/VivIzudeTypes.h"

#include "rtl/Resources.h"

// ---------------------------------------------------------------- picture helpers
bool IsPictureEmpty(const TPicture* APicture) {
  return !APicture || !APicture->Graphic() || APicture->Graphic()->Empty();
}

TGraphic* GetPictureGraphic(const TPicture* APicture) { return APicture ? APicture->Graphic() : nullptr; }

void SavePictureToStream(const TPicture* APicture, TStream* AStream) {
  if (!AStream || !APicture || !APicture->Graphic()) return;
  APicture->Graphic()->SaveToStream(*AStream);
}

void LoadPictureFromStream(TPicture* APicture, TMemoryStream* AStream) {
  if (!AStream || !APicture) return;
  TVivGraphicFormat Format;
  if (!TVivIzudeUtils::FindGraphicClass(AStream->Memory(), AStream->Size(), Format)) return;
  auto Graphic = TVivIzudeUtils::NewGraphic(Format);
  if (!Graphic) return;
  AStream->SetPosition(0);
  Graphic->LoadFromStream(*AStream);
  APicture->Assign(Graphic.get());
}

void LoadPictureFromResource(TPicture* APicture, const String& AResourceName, NativeUInt AInstance) {
  const auto Stream = TVivIzudeUtils::GetResourceStream(AResourceName, AInstance);
  if (!Stream) return;
  TMemoryStream Copy;
  Copy.CopyFrom(*Stream, 0);
  LoadPictureFromStream(APicture, &Copy);
}

std::unique_ptr<TPicture> CreatePictureFromResource(const String& AResourceName, NativeUInt AInstance) {
  auto Picture = std::make_unique<TPicture>();
  LoadPictureFromResource(Picture.get(), AResourceName, AInstance);
  return Picture;
}

std::unique_ptr<TPicture> CreatePictureFromResource(const String& AResourceName) {
  return CreatePictureFromResource(AResourceName, TVivIzudeUtils::GetHInstance());
}

// ---------------------------------------------------------------- scaled bitmap
TVivScaledBitmap::TVivScaledBitmap(TCollection* Collection)
    : TCollectionItem(Collection), FBitmap(std::make_unique<TPicture>()) {
  FBitmap->OnChange = [this](TObject*) { Changed(false); };
}

TVivScaledBitmap::~TVivScaledBitmap() { FBitmap->OnChange = nullptr; }

void TVivScaledBitmap::SetBitmap(TPicture* Value) {
  if (Value != FBitmap.get()) FBitmap->Assign(Value);
  Changed(false);
}

void TVivScaledBitmap::SetScale(float Value) {
  if (FScale == Value) return;
  FScale = Value;
  Changed(false);
}

void TVivScaledBitmap::SetBitmapName(const String& Value) {
  if (FBitmapName == Value) return;
  FBitmapName = Value;
  Changed(false);
}

void TVivScaledBitmap::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TVivScaledBitmap*>(Source)) {
    FBitmap->Assign(Other->FBitmap.get());
    FBitmapName = Other->FBitmapName;
    FScale = Other->FScale;
  }
}

// ---------------------------------------------------------------- scaled bitmaps
TVivScaledBitmaps::TVivScaledBitmaps(TPersistent* AOwner)
    : TCollection(TCollection::ItemClass<TVivScaledBitmap>()), FOwner(AOwner) {}

TVivScaledBitmap* TVivScaledBitmaps::Add(float Scale) {
  auto* Item = static_cast<TVivScaledBitmap*>(TCollection::Add());
  Item->SetScale(Scale);
  return Item;
}

TVivScaledBitmap* TVivScaledBitmaps::Insert(Integer Index) {
  return static_cast<TVivScaledBitmap*>(TCollection::Insert(Index));
}

TVivScaledBitmap* TVivScaledBitmaps::Insert(Integer Index, float Scale) {
  auto* Item = Insert(Index);
  Item->SetScale(Scale);
  return Item;
}

TVivScaledBitmap* TVivScaledBitmaps::AddBitmap(TPicture* Bitmap, float Scale) {
  auto* Item = Add(Scale);
  Item->SetBitmap(Bitmap);
  return Item;
}

TVivScaledBitmap* TVivScaledBitmaps::AddDrawBitmap(TGraphic* Bitmap, float Scale) {
  auto* Item = Add(Scale);
  Item->Bitmap()->Assign(Bitmap);
  return Item;
}

TVivScaledBitmap* TVivScaledBitmaps::AddBitmapFromFile(const String& FileName, float Scale) {
  auto* Item = Add(Scale);
  Item->Bitmap()->LoadFromFile(FileName);
  return Item;
}

TVivScaledBitmap* TVivScaledBitmaps::AddBitmapFromResource(const String& ResourceName, float Scale) {
  return AddBitmapFromResource(ResourceName, HInstance(), Scale);
}

TVivScaledBitmap* TVivScaledBitmaps::AddBitmapFromResource(const String& ResourceName, NativeUInt AInstance,
                                                           float Scale) {
  auto* Item = Add(Scale);
  LoadPictureFromResource(Item->Bitmap(), ResourceName, AInstance);
  return Item;
}

TVivScaledBitmap* TVivScaledBitmaps::AddBitmapName(const String& BitmapName, float Scale) {
  auto* Item = Add(Scale);
  Item->SetBitmapName(BitmapName);
  return Item;
}

TVivScaledBitmap* TVivScaledBitmaps::GetItemByScale(float Scale) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Scale() == Scale) return Items(i);
  TVivScaledBitmap* Best = nullptr;
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Scale() > 0 && (!Best || Items(i)->Scale() > Best->Scale())) Best = Items(i);
  return Best;
}

TPicture* TVivScaledBitmaps::GetBitmapByScale(float Scale) const {
  TVivScaledBitmap* Item = GetItemByScale(Scale);
  return Item ? Item->Bitmap() : nullptr;
}

void TVivScaledBitmaps::SetBitmap(float Scale, TPicture* Value) {
  // Only the item of exactly this scale: the look-up's fallback would
  // overwrite the picture of another scale.
  TVivScaledBitmap* Item = nullptr;
  for (Integer i = 0; i < Count() && !Item; ++i)
    if (Items(i)->Scale() == Scale) Item = Items(i);
  if (!Item) Item = Add(Scale);
  Item->Bitmap()->Assign(Value);
}
