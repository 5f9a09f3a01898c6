#pragma once
// The base of every visible widget, in three layers:
// - TVivIzudeCustomControlBaseCommon: painting switches, focus permission,
//   style adaptation, product information, coordinate helpers and the
//   empty input hooks descendants override;
// - TVivIzudeCustomControlBase: routes mouse, keyboard and hint traffic
//   into those hooks in floating-point coordinates, hit-test switching;
// - TVivIzudeCustomControl: paints through the drawing facade with its Fill
//   and Stroke, keeps check-box, radio and button pictures drawn by the
//   theme API, and offers draw events, JSON settings and an undo manager.
// Descendants implement Draw and never paint on the canvas directly.
#include <functional>
#include <memory>
#include <vector>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/win/VivIzudeGraphicsTypes.h"
#include "chart/widgets/VivIzudePersistence.h"
#include "chart/widgets/VivIzudeStyles.h"
#include "chart/widgets/VivIzudeUndo.h"
#include "chart/widgets/win/VivIzudeCustomComponent.h"
#include "vcl/Controls.h"
#include "vcl/Pictures.h"

// Scoped: the class library's close actions take caNone.
enum class TVivControlAlignment { caNone, caTop, caBottom, caLeft, caRight, caClient };

class TVivIzudeCustomControlBaseCommon : public TCustomControl, public IVivProductInfo, public IVivAdaptToStyle {
public:
  explicit TVivIzudeCustomControlBaseCommon(TComponent* AOwner);

  bool AllowFocus() const { return FAllowFocus; }
  void SetAllowFocus(bool Value) { FAllowFocus = Value; }
  TVivControlAlignment ControlAlignment() const;
  void SetControlAlignment(TVivControlAlignment Value);
  bool AdaptToStyle() const { return GetAdaptToStyle(); }
  String Version() const { return GetVersion(); }
  bool CanFocus() const override;

  String GetVersion() const override { return u""; }
  String GetManualURL() const override { return VivIzudeManualURL; }
  String GetFAQURL() const override { return VivIzudeFAQURL; }
  virtual TPointF GetClientMousePos() const;
  // Both coordinates rounded to whole pixels (halves to even).
  virtual TPointF ConvertScreenToClient(const TPointF& APoint) const;
  virtual TPointF ConvertClientToScreen(const TPointF& APoint) const;
  virtual bool QueryFlag() const { return false; }
  bool GetAdaptToStyle() const override { return FAdaptToStyle; }
  virtual void ChangeDPIScale(Integer, Integer) {}
  virtual void ClearCachedBitmaps() = 0;
  // The ten default colours of the own-drawn elements, from the active
  // style where it has them.
  virtual void InitializeStyle();
  void SetAdaptToStyle(bool Value) override;
  virtual void CancelHint();
  virtual void DoBeginDrag() {}
  virtual void ApplyStyle() {}
  virtual void ResetToDefaultStyle() {}
  virtual void HandleMouseLeave() {}
  virtual void HandleMouseEnter() {}
  virtual void HandleMouseDown(TMouseButton, TShiftState, float, float) {}
  virtual void HandleMouseMove(TShiftState, float, float) {}
  virtual void HandleDblClick(float, float) {}
  virtual void HandleMouseUp(TMouseButton, TShiftState, float, float) {}
  virtual void HandleKeyPress(Char&) {}
  virtual void HandleKeyDown(Word&, TShiftState) {}
  virtual void HandlePreviewKeyDown(Word&, TShiftState) {}
  virtual void HandleKeyUp(Word&, TShiftState) {}
  virtual void HandleMouseWheel(TShiftState, Integer, bool&) {}
  virtual void HandleDragOver(TObject*, const TPointF&, bool&) {}
  virtual void HandleDragDrop(TObject*, const TPointF&) {}

  // Copies the four margins when AlignWithMargins; else leaves them.
  void GetControlMargins(float& ALeft, float& ATop, float& ARight, float& ABottom) const;
  void SetControlMargins(float ALeft, float ATop, float ARight, float ABottom);

  // For the library's own containers: fired after the public handling.
  TNotifyEvent OnInternalDblClick, OnInternalMouseDown, OnInternalMouseMove, OnInternalMouseUp;

protected:
  void ApplyStyleChange();
  void Resize() override;
  virtual void UpdateControlAfterResize() {}
  void WndProc(TMessage& Message) override;

  bool FAllowFocus = true;
  bool FAllowGetChildren = false;
  bool FAdaptToStyle = false;
  bool FAdaptedToStyle = false;
  // Switches for descendants; nothing in the library turns them on.
  bool FTransparent = false;
  bool FBufferedPainting = false;
  bool FNativeCanvas = false;
  bool FAntiAliasing = true;
  bool FOptimizedHTMLDrawing = true;
  bool FShowAcceleratorChar = true;
  TVivIzudeGraphicsTextQuality FTextQuality = gtqAntiAliasing;
};

class TVivIzudeCustomControlBase : public TVivIzudeCustomControlBaseCommon {
public:
  explicit TVivIzudeCustomControlBase(TComponent* AOwner);
  bool Stored() const { return FStored; }
  void SetStored(bool Value) { FStored = Value; }
  // False: clicks pass to the window beneath.
  bool HitTest() const { return FHitTest; }
  void SetHitTest(bool Value) { FHitTest = Value; }
  virtual String GetHintString() const { return u""; }
  bool HasHint() const override { return false; }
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
  virtual TRectF LocalRect() const { return {0, 0, static_cast<float>(Width()), static_cast<float>(Height())}; }
  void ScaleBy(Integer M, Integer D) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void DblClick() override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void HintShow(THintInfo& Info) override;
  void DoEnter() override;
  void DoExit() override;
  void WndProc(TMessage& Message) override;

private:
  void PaintTransparent(TMessage& Message);
  bool FStored = true;
  bool FHitTest = true;
};

class TVivIzudeCustomControl;
using TVivIzudeCustomControlBeforeDrawEvent =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect, bool& ADefaultDraw)>;
using TVivIzudeCustomControlAfterDrawEvent =
    std::function<void(TObject* Sender, TVivIzudeGraphics* AGraphics, const TRectF& ARect)>;
using TVivIzudeCustomControlCanSavePropertyEvent = std::function<void(
    TObject* Sender, TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanSave)>;
using TVivIzudeCustomControlCanLoadPropertyEvent = std::function<void(
    TObject* Sender, TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanLoad)>;

class TVivIzudeCustomControl : public TVivIzudeCustomControlBase, public IVivIzudePersistence {
public:
  explicit TVivIzudeCustomControl(TComponent* AOwner);
  ~TVivIzudeCustomControl() override;
  // From another widget: its Fill and Stroke; anything else is ignored.
  void Assign(TPersistent* Source) override;

  TVivIzudeGraphicsFill* Fill() const { return FFill.get(); }
  void SetFill(TVivIzudeGraphicsFill* Value) { FFill->Assign(Value); }
  TVivIzudeGraphicsStroke* Stroke() const { return FStroke.get(); }
  void SetStroke(TVivIzudeGraphicsStroke* Value) { FStroke->Assign(Value); }
  bool ShowAcceleratorChar() const { return FShowAcceleratorChar; }
  void SetShowAcceleratorChar(bool Value);
  // Created on first use, for the control itself.
  TVivIzudeUndoManager* UndoManager();

  void DisableBackground();
  void EnableBackground();
  void DisableFill();
  void EnableFill();
  void DisableStroke();
  void EnableStroke();

  void* DataPointer = nullptr;  // not owned
  bool DataBoolean = false;
  String DataString;
  TObject* DataObject = nullptr;  // not owned
  NativeInt DataInteger = 0;

  bool CanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) override;
  bool CanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) override;
  virtual TPointF LocalToScreen(const TPointF& APoint) const { return ConvertClientToScreen(APoint); }
  virtual TPointF ScreenToLocal(const TPointF& APoint) const { return ConvertScreenToClient(APoint); }
  virtual TRectF GetContentRect() const { return GetControlRect(); }
  virtual TRectF GetControlRect() const { return LocalRect(); }
  virtual void RegisterRuntimeClasses() {}
  virtual void Export() {}
  // Results are owned by the control and live until the next style change.
  virtual TPicture* GetCheckBoxBitmap(bool AChecked, bool AFocused, bool AEnabled);
  virtual TPicture* GetRadioButtonBitmap(bool AChecked, bool AFocused, bool AEnabled);
  // Rebuilt on every call (the size varies).
  virtual TPicture* GetButtonBitmap(float AWidth, float AHeight, bool ADown, bool AFocused, bool AEnabled);
  void ClearCachedBitmaps() override;
  void ApplyStyle() override;
  void ResetToDefaultStyle() override;
  virtual bool IsDesignTime() const;
  virtual bool IsLoading() const;
  virtual bool IsReading() const;
  virtual bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  // A running program registers no designer form class.
  virtual bool IsDesignerForm() const { return IsDesigning(); }
  virtual bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  void SaveSettingsToFile(const String& AFileName) override;
  void LoadSettingsFromFile(const String& AFileName) override;
  void SaveSettingsToStream(TStream* AStream) override;
  void LoadSettingsFromStream(TStream* AStream) override;
  // Problems that did not stop the last load (a picture that is not hex).
  const std::vector<String>& LoadWarnings() const { return FLoadWarnings; }

  TVivIzudeCustomControlBeforeDrawEvent OnBeforeDraw;
  TVivIzudeCustomControlAfterDrawEvent OnAfterDraw;
  TVivIzudeCustomControlCanSavePropertyEvent OnCanSaveProperty;
  TVivIzudeCustomControlCanLoadPropertyEvent OnCanLoadProperty;

protected:
  virtual void CreateCheckBoxBitmaps();
  virtual void CreateRadioButtonBitmaps();
  virtual void CreateButtonBitmaps(float AWidth, float AHeight);
  virtual void DoBeforeDraw(TVivIzudeGraphics* AGraphics, const TRectF& ARect, bool& ADefaultDraw);
  virtual void DoAfterDraw(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void DoCanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType,
                                 bool& ACanSave);
  virtual void DoCanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType,
                                 bool& ACanLoad);
  virtual void DrawBackground(TVivIzudeGraphics* AGraphics, const TRectF& ARect);
  virtual void Draw(TVivIzudeGraphics*, const TRectF&) {}
  virtual void PaintControl();
  virtual void CaptureMouse();
  virtual void ReleaseMouse();
  void Paint() override;
  void FillChanged(TObject* Sender);
  void StrokeChanged(TObject* Sender);

private:
  struct TStatePicture;
  // One picture per row: theme part and state, DrawFrameControl flags.
  void CreateStateBitmaps(const TStatePicture* Rows, std::size_t Count, Integer AWidth, Integer AHeight);
  void ConfigureContext(TVivIzudeGraphics& G) const;

  std::unique_ptr<TPicture> FCheckedChk, FUnCheckedChk, FCheckedFocusChk, FUnCheckedFocusChk, FCheckedDisabledChk,
      FUnCheckedDisabledChk;
  std::unique_ptr<TPicture> FCheckedRd, FUnCheckedRd, FCheckedFocusRd, FUnCheckedFocusRd, FCheckedDisabledRd,
      FUnCheckedDisabledRd;
  std::unique_ptr<TPicture> FDownBtn, FNormalBtn, FDownFocusBtn, FNormalFocusBtn, FNormalDisabledBtn;
  std::unique_ptr<TVivIzudeGraphicsFill> FFill;
  std::unique_ptr<TVivIzudeGraphicsStroke> FStroke;
  std::unique_ptr<TVivIzudeUndoManager> FUndoManager;
  std::vector<String> FLoadWarnings;
};

// Describes the control base's published properties to the settings
// registry (once).
void RegisterVivIzudeCustomControlClasses();
