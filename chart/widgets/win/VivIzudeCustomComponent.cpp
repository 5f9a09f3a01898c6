#include "chart/widgets/win/VivIzudeCustomComponent.h"

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/drawing/win/VivIzudeTypes.h"
#include "rtl/SysUtils.h"
#include "vcl/Pictures.h"

TVivIzudeCustomComponent::TVivIzudeCustomComponent(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(Left(), Top(), ComponentSize, ComponentSize);
  RegisterVivIzudeCustomComponentClass();
  if (!IsDesigning()) RegisterRuntimeClasses();
}

void TVivIzudeCustomComponent::SetBounds(Integer ALeft, Integer ATop, Integer, Integer) {
  TCustomControl::SetBounds(ALeft, ATop, ComponentSize, ComponentSize);
}

void TVivIzudeCustomComponent::Loaded() {
  TCustomControl::Loaded();
  if (!ComponentState().Contains(csDesigning)) SetVisible(false);
}

bool TVivIzudeCustomComponent::IsReading() const { return Owner() && Owner()->ComponentState().Contains(csReading); }

bool TVivIzudeCustomComponent::IsLoading() const { return Owner() && Owner()->ComponentState().Contains(csLoading); }

bool TVivIzudeCustomComponent::IsDesignTime() const {
  return ComponentState().Contains(csDesigning) && !IsReading() && !IsLoading();
}

bool TVivIzudeCustomComponent::CanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind) {
  return !(AObject == this && TVivIzudeUtils::IndexOfTextInArray(APropertyName, PersistenceExcludedProperties) >= 0);
}

bool TVivIzudeCustomComponent::CanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind) {
  return !(AObject == this && TVivIzudeUtils::IndexOfTextInArray(APropertyName, PersistenceExcludedProperties) >= 0);
}

NativeUInt TVivIzudeCustomComponent::GetInstance() const { return TVivIzudeUtils::GetHInstance(); }

void TVivIzudeCustomComponent::SaveSettingsToFile(const String& AFileName) {
  TVivIzudePersistence::SaveSettingsToFile(this, AFileName);
}

void TVivIzudeCustomComponent::LoadSettingsFromFile(const String& AFileName) {
  FLoadWarnings.clear();
  TVivIzudePersistence::LoadSettingsFromFile(this, AFileName, &FLoadWarnings);
}

void TVivIzudeCustomComponent::SaveSettingsToStream(TStream* AStream) {
  TVivIzudePersistence::SaveSettingsToStream(this, AStream);
}

void TVivIzudeCustomComponent::LoadSettingsFromStream(TStream* AStream) {
  FLoadWarnings.clear();
  TVivIzudePersistence::LoadSettingsFromStream(this, AStream, &FLoadWarnings);
}

void RegisterVivIzudeCustomComponentClass() {
  static const bool Registered = [] {
    using T = TVivIzudeCustomComponent;
    VivIzudeRegisterClass<TVivIzudeCustomComponent>(u"TVivIzudeCustomComponent")
        .Property(u"Visible", static_cast<bool (T::*)() const>(&TControl::Visible),
                  static_cast<void (T::*)(bool)>(&TControl::SetVisible))
        .Property(u"Width", static_cast<Integer (T::*)() const>(&TControl::Width),
                  static_cast<void (T::*)(Integer)>(&TControl::SetWidth))
        .Property(u"Height", static_cast<Integer (T::*)() const>(&TControl::Height),
                  static_cast<void (T::*)(Integer)>(&TControl::SetHeight));
    return true;
  }();
  (void)Registered;
}

void TVivIzudeCustomComponent::Paint() {
  TCustomControl::Paint();
  TPicture Picture;
  TVivIzudeGraphics G(Canvas(), false);
  G.SetStrokeKind(gskSolid);
  G.SetStrokeColor(0x000000);
  const TRectF R{0, 0, static_cast<float>(Width()), static_cast<float>(Height())};
  G.DrawRectangle(R, gcrmShrinkAll);
  // The icon of the concrete class: a PNG resource named after it in upper case.
  if (std::unique_ptr<TResourceStream> Icon =
          TVivIzudeUtils::GetResourceStream(UpperCase(ClassName()), GetInstance())) {
    TPngImage Png;
    Png.LoadFromStream(*Icon);
    Picture.SetGraphic(&Png);
  }
  if (!IsPictureEmpty(&Picture)) G.DrawBitmap(R, Picture.Graphic(), true, false, true, false);
}
