#include "chart/widgets/win/VivIzudeImage.h"

#include <cmath>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeUtils.h"

TVivIzudeCustomImage::TVivIzudeCustomImage(TComponent* AOwner)
    : TVivIzudeCustomControl(AOwner),
      FBitmap(std::make_unique<TPicture>()),
      FBitmaps(std::make_unique<TVivScaledBitmaps>(this)) {
  if (IsDesignTime()) DisableBackground();
  FBitmaps->OnChange = [this](TObject* Sender) { BitmapChanged(Sender); };
  FBitmap->OnChange = [this](TObject* Sender) { BitmapChanged(Sender); };
  SetBounds(Left(), Top(), 100, 100);
}

TVivIzudeCustomImage::~TVivIzudeCustomImage() {
  FBitmap->OnChange = nullptr;
  FBitmaps->OnChange = nullptr;
  if (FBitmapContainer) FBitmapContainer->RemoveFreeNotification(this);
  FBitmap.reset();
  FBitmaps.reset();
}

String TVivIzudeCustomImage::GetVersion() const { return FormatVersionString(1, 0, 0, 0); }

void TVivIzudeCustomImage::SetBitmap(TPicture* Value) {
  FBitmap->Assign(Value);
  Invalidate();
}

void TVivIzudeCustomImage::SetBitmaps(TVivScaledBitmaps* Value) {
  FBitmaps->Assign(Value);
  Invalidate();
}

void TVivIzudeCustomImage::SetBitmapContainer(TVivIzudeBitmapContainer* Value) {
  if (FBitmapContainer != Value) {
    if (FBitmapContainer) FBitmapContainer->RemoveFreeNotification(this);
    FBitmapContainer = Value;
    if (FBitmapContainer) FBitmapContainer->FreeNotification(this);
  }
  UpdateAutoSize();
  Invalidate();
}

void TVivIzudeCustomImage::SetStretch(bool Value) {
  FStretch = Value;
  Invalidate();
}

void TVivIzudeCustomImage::SetCropping(bool Value) {
  FCropping = Value;
  Invalidate();
}

void TVivIzudeCustomImage::SetCenter(bool Value) {
  FCenter = Value;
  Invalidate();
}

void TVivIzudeCustomImage::SetAspectRatio(bool Value) {
  FAspectRatio = Value;
  Invalidate();
}

void TVivIzudeCustomImage::SetAutoSize(bool Value) {
  FAutoSize = Value;
  UpdateAutoSize();
  Invalidate();
}

void TVivIzudeCustomImage::Clear() { FBitmaps->Clear(); }

TPicture* TVivIzudeCustomImage::GetBitmap() const {
  if (!IsPictureEmpty(FBitmap.get())) return FBitmap.get();
  return TVivIzudeGraphics::GetScaledBitmap(FBitmaps.get(), 0, FBitmapContainer);
}

bool TVivIzudeCustomImage::PlaceBitmap(TPicture* P, float& X, float& Y, float& W, float& H) const {
  if (!P) return false;
  TVivIzudeGraphics::GetAspectSize(W, H, static_cast<float>(P->Width()), static_cast<float>(P->Height()),
                                   static_cast<float>(Width()), static_cast<float>(Height()), FAspectRatio, FStretch,
                                   FCropping);
  X = 0;
  Y = 0;
  if (FCenter || FCropping) {
    X = (static_cast<float>(Width()) - W) / 2;
    Y = (static_cast<float>(Height()) - H) / 2;
  }
  return true;
}

TRectF TVivIzudeCustomImage::GetPaintRectangle() const {
  float X = 0, Y = 0, W = 0, H = 0;
  if (!PlaceBitmap(GetBitmap(), X, Y, W, H)) return {0, 0, 0, 0};
  return {X, Y, X + W, Y + H};
}

void TVivIzudeCustomImage::Notification(TComponent* AComponent, TOperation Operation) {
  TVivIzudeCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FBitmapContainer) FBitmapContainer = nullptr;
}

void TVivIzudeCustomImage::BitmapChanged(TObject*) {
  if (OnBitmapChanged) OnBitmapChanged(this);
  UpdateAutoSize();
  Invalidate();
}

void TVivIzudeCustomImage::UpdateAutoSize() {
  TPicture* P = GetBitmap();
  if (!P || !FAutoSize || IsPictureEmpty(P)) return;
  SetBounds(Left(), Top(), P->Width(), P->Height());
}

void TVivIzudeCustomImage::Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  TVivIzudeCustomControl::Draw(AGraphics, ARect);
  if (ComponentState().Contains(csDesigning)) {
    AGraphics->SetStrokeKind(gskDot);
    AGraphics->DrawRectangle(ARect, gcrmShrinkAll);
  }
  TPicture* P = GetBitmap();
  float X = 0, Y = 0, W = 0, H = 0;
  if (!PlaceBitmap(P, X, Y, W, H)) return;
  if (FCenter || FCropping) {
    X = std::nearbyint(X);
    Y = std::nearbyint(Y);
  }
  // The rectangle is already the picture's final place and size: drawn to
  // fill it exactly, so that Stretch enlarges a small picture and a picture
  // without kept aspect ratio takes the control's.
  AGraphics->DrawBitmap(TRectF{X, Y, X + W, Y + H}, P->Graphic(), false, true, true, false);
}

TVivIzudeImage::TVivIzudeImage(TComponent* AOwner) : TVivIzudeCustomImage(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeImage::RegisterRuntimeClasses() {
  TVivIzudeCustomImage::RegisterRuntimeClasses();
  RegisterVivIzudeImageClasses();
}

void RegisterVivIzudeImageClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomControlClasses();
    RegisterVivIzudeBitmapContainerClasses();
    auto& Registry = TVivIzudeClassRegistry::Instance();
    if (!Registry.Find(std::type_index(typeid(TVivScaledBitmaps)))) {
      using TItem = TVivScaledBitmap;
      TVivIzudeClassInfo& ItemInfo = Registry.Add(std::type_index(typeid(TItem)), u"TVivScaledBitmap");
      TVivIzudeClassBuilder<TItem>(ItemInfo)
          .Object(u"Bitmap", &TItem::Bitmap)
          .Property(u"Scale", &TItem::Scale, &TItem::SetScale)
          .Property(u"BitmapName", &TItem::BitmapName, &TItem::SetBitmapName);
      ItemInfo.Create = [] { return static_cast<TObject*>(new TItem(nullptr)); };
      using TItems = TVivScaledBitmaps;
      VivIzudeRegisterClass<TItems>(u"TVivScaledBitmaps")
          .Collection(VivIzudeCollectionAccessOf<TItems>(
              [](TItems* Items, TObject* Source) { Items->Add()->Assign(static_cast<TPersistent*>(Source)); }));
    }
    using I = TVivIzudeImage;
    VivIzudeRegisterClass<I>(u"TVivIzudeImage")
        .Inherits<TVivIzudeCustomControl>()
        .Object(u"Bitmap", static_cast<TPicture* (I::*)() const>(&I::Bitmap))
        .Object(u"Bitmaps", static_cast<TVivScaledBitmaps* (I::*)() const>(&I::Bitmaps))
        // Refers to a component the image does not own: never persisted.
        .ReadOnly(u"BitmapContainer", static_cast<TVivIzudeBitmapContainer* (I::*)() const>(&I::BitmapContainer))
        .Property(u"Stretch", static_cast<bool (I::*)() const>(&I::Stretch),
                  static_cast<void (I::*)(bool)>(&I::SetStretch))
        .Property(u"Cropping", static_cast<bool (I::*)() const>(&I::Cropping),
                  static_cast<void (I::*)(bool)>(&I::SetCropping))
        .Property(u"Center", static_cast<bool (I::*)() const>(&I::Center),
                  static_cast<void (I::*)(bool)>(&I::SetCenter))
        .Property(u"AutoSize", static_cast<bool (I::*)() const>(&I::AutoSize),
                  static_cast<void (I::*)(bool)>(&I::SetAutoSize))
        .Property(u"AspectRatio", static_cast<bool (I::*)() const>(&I::AspectRatio),
                  static_cast<void (I::*)(bool)>(&I::SetAspectRatio))
        .Object(u"Fill", static_cast<TVivIzudeGraphicsFill* (I::*)() const>(&I::Fill))
        .Object(u"Stroke", static_cast<TVivIzudeGraphicsStroke* (I::*)() const>(&I::Stroke))
        .Event(u"OnBitmapChanged");
    return true;
  }();
  (void)Registered;
}
