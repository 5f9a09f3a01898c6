#pragma once
// The base of the widget library's non-visual components (the bitmap
// container, the popups): a windowed control only so that it can show a
// framed 26 by 26 icon while designed; at run time it hides itself once
// loaded. It saves and loads its settings as JSON and answers its product
// information.
#include "chart/widgets/VivIzudePersistence.h"
#include "rtl/Types.h"
#include "vcl/Controls.h"

class IVivProductInfo {
public:
  virtual ~IVivProductInfo() = default;
  virtual String GetVersion() const = 0;
  virtual String GetManualURL() const = 0;
  virtual String GetFAQURL() const = 0;
};

// Where the library's documentation lives.
inline constexpr const char16_t* VivIzudeManualURL = u"https://quorvel.example/chart-widgets/manual.pdf";
inline constexpr const char16_t* VivIzudeFAQURL = u"https://quorvel.example/chart-widgets/faq.html";

class TVivIzudeCustomComponent : public TCustomControl, public IVivIzudePersistence, public IVivProductInfo {
public:
  // Registers the class for the settings reader unless designed. Classes
  // register once, from their own constructors: a base constructor cannot
  // reach a descendant's override.
  explicit TVivIzudeCustomComponent(TComponent* AOwner);

  // Moves, never resizes: the size stays 26 by 26.
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  bool Stored() const { return FStored; }
  void SetStored(bool Value) { FStored = Value; }
  bool AdaptToStyle() const { return FAdaptToStyle; }

  // False for the component's own framework properties (the persistence
  // exclusion list); true for anything else.
  bool CanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) override;
  bool CanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) override;
  String GetVersion() const override { return u""; }
  String GetManualURL() const override { return VivIzudeManualURL; }
  String GetFAQURL() const override { return VivIzudeFAQURL; }
  // The program's own module (its RCDATA resources hold the icons).
  virtual NativeUInt GetInstance() const;
  virtual void SetAdaptToStyle(bool Value) { FAdaptToStyle = Value; }
  virtual void RegisterRuntimeClasses() {}
  virtual bool IsDesignTime() const;
  virtual bool IsLoading() const;
  virtual bool IsReading() const;
  virtual bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  virtual bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  // Errors of the persistence pass through unchanged.
  void SaveSettingsToFile(const String& AFileName) override;
  void LoadSettingsFromFile(const String& AFileName) override;
  void SaveSettingsToStream(TStream* AStream) override;
  void LoadSettingsFromStream(TStream* AStream) override;
  // Problems that did not stop the last load (a picture that is not hex).
  const std::vector<String>& LoadWarnings() const { return FLoadWarnings; }

  static constexpr Integer ComponentSize = 26;

protected:
  void Paint() override;
  void Loaded() override;

private:
  bool FStored = false;
  bool FAdaptToStyle = false;
  std::vector<String> FLoadWarnings;
};

// Describes the base's published properties to the settings registry (once).
void RegisterVivIzudeCustomComponentClass();
