#include "chart/widgets/win/VivIzudeCustomControl.h"

#include <cmath>
#include <iterator>

#include "chart/drawing/VivIzudeTypes.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "chart/widgets/win/VivIzudeXPVS.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Forms.h"

namespace {

Integer RoundHalfEven(float V) { return static_cast<Integer>(std::nearbyint(V)); }

// The theme's button parts.
constexpr int PartPushButton = 1;
constexpr int PartRadioButton = 2;
constexpr int PartCheckBox = 3;

constexpr TColor DefaultControlFillColor = 0xFFFFFF;
constexpr TColor DefaultControlStrokeColor = 0xC0C0C0;

}  // namespace

// ---------------------------------------------------------------- common base

TVivIzudeCustomControlBaseCommon::TVivIzudeCustomControlBaseCommon(TComponent* AOwner) : TCustomControl(AOwner) {
  InitializeStyle();
}

TVivControlAlignment TVivIzudeCustomControlBaseCommon::ControlAlignment() const {
  switch (Align()) {
    case alTop:
      return TVivControlAlignment::caTop;
    case alBottom:
      return TVivControlAlignment::caBottom;
    case alLeft:
      return TVivControlAlignment::caLeft;
    case alRight:
      return TVivControlAlignment::caRight;
    case alClient:
      return TVivControlAlignment::caClient;
    default:
      return TVivControlAlignment::caNone;
  }
}

void TVivIzudeCustomControlBaseCommon::SetControlAlignment(TVivControlAlignment Value) {
  static const TAlign Map[] = {alNone, alTop, alBottom, alLeft, alRight, alClient};
  SetAlign(Map[static_cast<int>(Value)]);
}

bool TVivIzudeCustomControlBaseCommon::CanFocus() const { return TCustomControl::CanFocus() && FAllowFocus; }

TPointF TVivIzudeCustomControlBaseCommon::GetClientMousePos() const {
  POINT P{};
  ::GetCursorPos(&P);
  return ConvertScreenToClient({static_cast<float>(P.x), static_cast<float>(P.y)});
}

TPointF TVivIzudeCustomControlBaseCommon::ConvertScreenToClient(const TPointF& APoint) const {
  const TPoint P = ScreenToClient({RoundHalfEven(APoint.X), RoundHalfEven(APoint.Y)});
  return {static_cast<float>(P.X), static_cast<float>(P.Y)};
}

TPointF TVivIzudeCustomControlBaseCommon::ConvertClientToScreen(const TPointF& APoint) const {
  const TPoint P = ClientToScreen({RoundHalfEven(APoint.X), RoundHalfEven(APoint.Y)});
  return {static_cast<float>(P.X), static_cast<float>(P.Y)};
}

void TVivIzudeCustomControlBaseCommon::InitializeStyle() { InitializeDefaultGraphicColors(); }

void TVivIzudeCustomControlBaseCommon::SetAdaptToStyle(bool Value) {
  FAdaptToStyle = Value;
  ApplyStyleChange();
}

void TVivIzudeCustomControlBaseCommon::ApplyStyleChange() {
  InitializeStyle();
  ClearCachedBitmaps();
  if (GetAdaptToStyle()) {
    FAdaptedToStyle = true;
    ApplyStyle();
  } else if (FAdaptedToStyle) {
    ResetToDefaultStyle();
    FAdaptedToStyle = false;
  }
  Invalidate();
}

void TVivIzudeCustomControlBaseCommon::CancelHint() {
  if (Application) Application->CancelHint();
}

void TVivIzudeCustomControlBaseCommon::GetControlMargins(float& ALeft, float& ATop, float& ARight,
                                                         float& ABottom) const {
  if (!AlignWithMargins()) return;
  ALeft = static_cast<float>(Margins()->Left());
  ATop = static_cast<float>(Margins()->Top());
  ARight = static_cast<float>(Margins()->Right());
  ABottom = static_cast<float>(Margins()->Bottom());
}

void TVivIzudeCustomControlBaseCommon::SetControlMargins(float ALeft, float ATop, float ARight, float ABottom) {
  SetAlignWithMargins(true);
  Margins()->SetBounds(RoundHalfEven(ALeft), RoundHalfEven(ATop), RoundHalfEven(ARight), RoundHalfEven(ABottom));
}

void TVivIzudeCustomControlBaseCommon::Resize() {
  TCustomControl::Resize();
  UpdateControlAfterResize();
}

void TVivIzudeCustomControlBaseCommon::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SYSCOLORCHANGE || Message.Msg == WM_THEMECHANGED) {
    TCustomControl::WndProc(Message);
    ApplyStyleChange();
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------- input routing

TVivIzudeCustomControlBase::TVivIzudeCustomControlBase(TComponent* AOwner) : TVivIzudeCustomControlBaseCommon(AOwner) {
  SetDoubleBuffered(true);
  TControlStyle Style = ControlStyle();
  Style.Include(csAcceptsControls);
  SetControlStyle(Style);
}

void TVivIzudeCustomControlBase::ScaleBy(Integer M, Integer D) {
  TVivIzudeCustomControlBaseCommon::ScaleBy(M, D);
  if (!ComponentState().Contains(csDesigning) && M != D) ChangeDPIScale(M, D);
}

void TVivIzudeCustomControlBase::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TVivIzudeCustomControlBaseCommon::MouseDown(Button, Shift, X, Y);
  HandleMouseDown(Button, Shift, static_cast<float>(X), static_cast<float>(Y));
  if (OnInternalMouseDown) OnInternalMouseDown(this);
}

void TVivIzudeCustomControlBase::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TVivIzudeCustomControlBaseCommon::MouseMove(Shift, X, Y);
  HandleMouseMove(Shift, static_cast<float>(X), static_cast<float>(Y));
  if (OnInternalMouseMove) OnInternalMouseMove(this);
}

void TVivIzudeCustomControlBase::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TVivIzudeCustomControlBaseCommon::MouseUp(Button, Shift, X, Y);
  HandleMouseUp(Button, Shift, static_cast<float>(X), static_cast<float>(Y));
  if (OnInternalMouseUp) OnInternalMouseUp(this);
}

void TVivIzudeCustomControlBase::DblClick() {
  TVivIzudeCustomControlBaseCommon::DblClick();
  const TPointF P = GetClientMousePos();
  HandleDblClick(P.X, P.Y);
  if (OnInternalDblClick) OnInternalDblClick(this);
}

void TVivIzudeCustomControlBase::KeyPress(Char& Key) {
  TVivIzudeCustomControlBaseCommon::KeyPress(Key);
  HandleKeyPress(Key);
}

void TVivIzudeCustomControlBase::KeyUp(Word& Key, TShiftState Shift) {
  TVivIzudeCustomControlBaseCommon::KeyUp(Key, Shift);
  HandleKeyUp(Key, Shift);
}

void TVivIzudeCustomControlBase::KeyDown(Word& Key, TShiftState Shift) {
  TVivIzudeCustomControlBaseCommon::KeyDown(Key, Shift);
  HandlePreviewKeyDown(Key, Shift);
  HandleKeyDown(Key, Shift);
  if (Key == VK_TAB && Parent()) {
    TWinControl* Next = Parent()->FindNextControl(this, !Shift.Contains(ssShift), true);
    if (Next && Next->CanFocus()) Next->SetFocus();
  }
}

void TVivIzudeCustomControlBase::MouseEnter() {
  TVivIzudeCustomControlBaseCommon::MouseEnter();
  HandleMouseEnter();
}

void TVivIzudeCustomControlBase::MouseLeave() {
  TVivIzudeCustomControlBaseCommon::MouseLeave();
  HandleMouseLeave();
}

void TVivIzudeCustomControlBase::HintShow(THintInfo& Info) {
  if (!HasHint()) return;
  Info.HintStr = GetHintString();
  Info.ReshowTimeout = 0;
}

void TVivIzudeCustomControlBase::DoEnter() {
  TVivIzudeCustomControlBaseCommon::DoEnter();
  Invalidate();
}

void TVivIzudeCustomControlBase::DoExit() {
  TVivIzudeCustomControlBaseCommon::DoExit();
  Invalidate();
}

void TVivIzudeCustomControlBase::PaintTransparent(TMessage& Message) {
  const HDC DC = reinterpret_cast<HDC>(Message.WParam);
  TWinControl* P = Parent();
  const bool ParentBuffered = P->DoubleBuffered();
  if (dynamic_cast<TCustomForm*>(P)) P->SetDoubleBuffered(false);
  const int Saved = ::SaveDC(DC);
  const TPoint Origin = P->ScreenToClient(ClientOrigin());
  POINT Old{};
  ::OffsetWindowOrgEx(DC, Origin.X, Origin.Y, &Old);
  ::SendMessageW(P->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
  ::SendMessageW(P->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  ::RestoreDC(DC, Saved);
  P->SetDoubleBuffered(ParentBuffered);
  TVivIzudeCustomControlBaseCommon::WndProc(Message);
}

void TVivIzudeCustomControlBase::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result =
          TabStop() ? DLGC_WANTARROWS | DLGC_WANTALLKEYS : DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTTAB;
      return;
    case WM_NCHITTEST:
      if (FHitTest) break;
      Message.Result = HTTRANSPARENT;
      return;
    case WM_ERASEBKGND:
      if (!FTransparent) break;
      Message.Result = 1;
      return;
    case WM_PAINT:
      if (FTransparent && Message.WParam && Parent()) {
        PaintTransparent(Message);
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      TVivIzudeCustomControlBaseCommon::WndProc(Message);
      bool Handled = Message.Result > 0;
      HandleMouseWheel(KeyboardShiftState(), static_cast<short>(HIWORD(Message.WParam)), Handled);
      return;
    }
    default:
      break;
  }
  TVivIzudeCustomControlBaseCommon::WndProc(Message);
}

// ---------------------------------------------------------------- painted control

struct TVivIzudeCustomControl::TStatePicture {
  std::unique_ptr<TPicture> TVivIzudeCustomControl::*Picture;
  int Part;
  int State;
  UINT Flags;
};

TVivIzudeCustomControl::TVivIzudeCustomControl(TComponent* AOwner)
    : TVivIzudeCustomControlBase(AOwner),
      FFill(std::make_unique<TVivIzudeGraphicsFill>(gfkSolid, DefaultControlFillColor)),
      FStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, DefaultControlStrokeColor)) {
  SetParentColor(false);
  SetColor(0xFFFFFF);
  SetTabStop(true);
  FFill->OnChanged = [this](TObject* Sender) { FillChanged(Sender); };
  FStroke->OnChanged = [this](TObject* Sender) { StrokeChanged(Sender); };
  RegisterVivIzudeCustomControlClasses();
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

TVivIzudeCustomControl::~TVivIzudeCustomControl() {
  FUndoManager.reset();
  ClearCachedBitmaps();
  FFill->OnChanged = nullptr;
  FStroke->OnChanged = nullptr;
}

void TVivIzudeCustomControl::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TVivIzudeCustomControl*>(Source)) {
    FFill->Assign(Other->Fill());
    FStroke->Assign(Other->Stroke());
  }
}

void TVivIzudeCustomControl::SetShowAcceleratorChar(bool Value) {
  if (FShowAcceleratorChar == Value) return;
  FShowAcceleratorChar = Value;
  Invalidate();
}

TVivIzudeUndoManager* TVivIzudeCustomControl::UndoManager() {
  if (!FUndoManager) FUndoManager = std::make_unique<TVivIzudeUndoManager>(this);
  return FUndoManager.get();
}

void TVivIzudeCustomControl::DisableBackground() {
  FFill->SetKind(gfkNone);
  FStroke->SetKind(gskNone);
  SetColor(clBtnFace);
  SetParentColor(false);
}

void TVivIzudeCustomControl::EnableBackground() {
  FFill->SetKind(gfkSolid);
  FStroke->SetKind(gskSolid);
}

void TVivIzudeCustomControl::DisableFill() { FFill->SetKind(gfkNone); }
void TVivIzudeCustomControl::EnableFill() { FFill->SetKind(gfkSolid); }
void TVivIzudeCustomControl::DisableStroke() { FStroke->SetKind(gskNone); }
void TVivIzudeCustomControl::EnableStroke() { FStroke->SetKind(gskSolid); }

void TVivIzudeCustomControl::FillChanged(TObject*) {
  SetColor(FFill->Kind() != gfkNone && FFill->Color() != -1 ? FFill->Color() : clBtnFace);
  Invalidate();
}

void TVivIzudeCustomControl::StrokeChanged(TObject*) { Invalidate(); }

bool TVivIzudeCustomControl::CanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) {
  bool Result =
      !(AObject == this && TVivIzudeUtils::IndexOfTextInArray(APropertyName, PersistenceExcludedProperties) >= 0);
  DoCanSaveProperty(AObject, APropertyName, APropertyType, Result);
  return Result;
}

bool TVivIzudeCustomControl::CanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) {
  bool Result =
      !(AObject == this && TVivIzudeUtils::IndexOfTextInArray(APropertyName, PersistenceExcludedProperties) >= 0);
  DoCanLoadProperty(AObject, APropertyName, APropertyType, Result);
  return Result;
}

void TVivIzudeCustomControl::DoCanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType,
                                               bool& ACanSave) {
  if (OnCanSaveProperty) OnCanSaveProperty(this, AObject, APropertyName, APropertyType, ACanSave);
}

void TVivIzudeCustomControl::DoCanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType,
                                               bool& ACanLoad) {
  if (OnCanLoadProperty) OnCanLoadProperty(this, AObject, APropertyName, APropertyType, ACanLoad);
}

bool TVivIzudeCustomControl::IsReading() const { return Owner() && Owner()->ComponentState().Contains(csReading); }
bool TVivIzudeCustomControl::IsLoading() const { return Owner() && Owner()->ComponentState().Contains(csLoading); }
bool TVivIzudeCustomControl::IsDesignTime() const {
  return ComponentState().Contains(csDesigning) && Owner() && !IsReading() && !IsLoading();
}

void TVivIzudeCustomControl::SaveSettingsToFile(const String& AFileName) {
  TVivIzudePersistence::SaveSettingsToFile(this, AFileName);
}

void TVivIzudeCustomControl::LoadSettingsFromFile(const String& AFileName) {
  FLoadWarnings.clear();
  TVivIzudePersistence::LoadSettingsFromFile(this, AFileName, &FLoadWarnings);
}

void TVivIzudeCustomControl::SaveSettingsToStream(TStream* AStream) {
  TVivIzudePersistence::SaveSettingsToStream(this, AStream);
}

void TVivIzudeCustomControl::LoadSettingsFromStream(TStream* AStream) {
  FLoadWarnings.clear();
  TVivIzudePersistence::LoadSettingsFromStream(this, AStream, &FLoadWarnings);
}

void TVivIzudeCustomControl::ApplyStyle() {
  TColor C = 0;
  if (TVivIzudeStyles::GetStyleBackgroundFillColor(C)) FFill->SetColor(C);
  if (TVivIzudeStyles::GetStyleLineFillColor(C)) FStroke->SetColor(C);
}

void TVivIzudeCustomControl::ResetToDefaultStyle() {
  FFill->SetColor(DefaultControlFillColor);
  FStroke->SetColor(DefaultControlStrokeColor);
}

void TVivIzudeCustomControl::CaptureMouse() {
  if (HandleAllocated()) ::SetCapture(Handle());
}

void TVivIzudeCustomControl::ReleaseMouse() { ::ReleaseCapture(); }

// ---- state pictures

void TVivIzudeCustomControl::ClearCachedBitmaps() {
  for (auto* P :
       {&FCheckedChk, &FUnCheckedChk, &FCheckedFocusChk, &FUnCheckedFocusChk, &FCheckedDisabledChk,
        &FUnCheckedDisabledChk, &FCheckedRd, &FUnCheckedRd, &FCheckedFocusRd, &FUnCheckedFocusRd, &FCheckedDisabledRd,
        &FUnCheckedDisabledRd, &FDownBtn, &FNormalBtn, &FDownFocusBtn, &FNormalFocusBtn, &FNormalDisabledBtn})
    P->reset();
}

void TVivIzudeCustomControl::CreateStateBitmaps(const TStatePicture* Rows, std::size_t Count, Integer AWidth,
                                                Integer AHeight) {
  for (std::size_t I = 0; I < Count; ++I) (this->*Rows[I].Picture).reset();
  TBitmap Work;
  Work.SetPixelFormat(pf24bit);
  Work.SetTransparentMode(tmFixed);
  Work.SetTransparent(true);
  Work.SetTransparentColor(0xFFFFFF);
  Work.SetSize(AWidth, AHeight);
  const TVivIzudeThemeApi& Theme = VivIzudeThemeApi();
  const bool Themed = Theme.IsThemeActive && Theme.IsThemeActive() && !IsDesigning() && Theme.OpenThemeData &&
                      Theme.DrawThemeBackground && Theme.CloseThemeData;
  for (std::size_t I = 0; I < Count; ++I) {
    const TStatePicture& Row = Rows[I];
    auto Picture = std::make_unique<TPicture>();
    Picture->OnChange = [](TObject*) {};
    TCanvas* C = Work.Canvas();
    C->Brush()->SetColor(0xFFFFFF);
    C->Brush()->SetStyle(bsSolid);
    RECT R{0, 0, AWidth, AHeight};
    C->FillRect(TRect{0, 0, AWidth, AHeight});
    const HDC DC = C->Handle();
    if (Themed) {
      const HTHEME Data = Theme.OpenThemeData(Handle(), L"button");
      if (Data) {
        Theme.DrawThemeBackground(Data, DC, Row.Part, Row.State, &R, nullptr);
        Theme.CloseThemeData(Data);
      } else {
        ::DrawFrameControl(DC, &R, DFC_BUTTON, Row.Flags);
      }
    } else {
      ::DrawFrameControl(DC, &R, DFC_BUTTON, Row.Flags);
    }
    Picture->SetGraphic(&Work);
    this->*Row.Picture = std::move(Picture);
  }
}

void TVivIzudeCustomControl::CreateCheckBoxBitmaps() {
  using T = TVivIzudeCustomControl;
  static const TStatePicture Rows[] = {
      {&T::FUnCheckedChk, PartCheckBox, 1, DFCS_BUTTONCHECK},
      {&T::FCheckedChk, PartCheckBox, 5, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {&T::FUnCheckedFocusChk, PartCheckBox, 2, DFCS_BUTTONCHECK | DFCS_HOT},
      {&T::FCheckedFocusChk, PartCheckBox, 6, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_HOT},
      {&T::FUnCheckedDisabledChk, PartCheckBox, 4, DFCS_BUTTONCHECK | DFCS_INACTIVE},
      {&T::FCheckedDisabledChk, PartCheckBox, 8, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE}};
  CreateStateBitmaps(Rows, std::size(Rows), 16, 16);
}

void TVivIzudeCustomControl::CreateRadioButtonBitmaps() {
  using T = TVivIzudeCustomControl;
  static const TStatePicture Rows[] = {
      {&T::FUnCheckedRd, PartRadioButton, 1, DFCS_BUTTONRADIO},
      {&T::FCheckedRd, PartRadioButton, 5, DFCS_BUTTONRADIO | DFCS_CHECKED},
      {&T::FUnCheckedFocusRd, PartRadioButton, 2, DFCS_BUTTONRADIO | DFCS_HOT},
      {&T::FCheckedFocusRd, PartRadioButton, 6, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_HOT},
      {&T::FUnCheckedDisabledRd, PartRadioButton, 4, DFCS_BUTTONRADIO | DFCS_INACTIVE},
      {&T::FCheckedDisabledRd, PartRadioButton, 8, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_INACTIVE}};
  CreateStateBitmaps(Rows, std::size(Rows), 16, 16);
}

void TVivIzudeCustomControl::CreateButtonBitmaps(float AWidth, float AHeight) {
  using T = TVivIzudeCustomControl;
  static const TStatePicture Rows[] = {{&T::FNormalBtn, PartPushButton, 1, DFCS_BUTTONPUSH},
                                       {&T::FDownBtn, PartPushButton, 3, DFCS_BUTTONPUSH | DFCS_PUSHED},
                                       {&T::FNormalFocusBtn, PartPushButton, 2, DFCS_BUTTONPUSH | DFCS_HOT},
                                       {&T::FDownFocusBtn, PartPushButton, 3, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_HOT},
                                       {&T::FNormalDisabledBtn, PartPushButton, 4, DFCS_BUTTONPUSH | DFCS_INACTIVE}};
  CreateStateBitmaps(Rows, std::size(Rows), RoundHalfEven(AWidth), RoundHalfEven(AHeight));
}

TPicture* TVivIzudeCustomControl::GetCheckBoxBitmap(bool AChecked, bool AFocused, bool AEnabled) {
  if (!FCheckedChk || !FUnCheckedChk || !FCheckedFocusChk || !FUnCheckedFocusChk || !FCheckedDisabledChk ||
      !FUnCheckedDisabledChk)
    CreateCheckBoxBitmaps();
  if (!AEnabled) return AChecked ? FCheckedDisabledChk.get() : FUnCheckedDisabledChk.get();
  if (AFocused) return AChecked ? FCheckedFocusChk.get() : FUnCheckedFocusChk.get();
  return AChecked ? FCheckedChk.get() : FUnCheckedChk.get();
}

TPicture* TVivIzudeCustomControl::GetRadioButtonBitmap(bool AChecked, bool AFocused, bool AEnabled) {
  if (!FCheckedRd || !FUnCheckedRd || !FCheckedFocusRd || !FUnCheckedFocusRd || !FCheckedDisabledRd ||
      !FUnCheckedDisabledRd)
    CreateRadioButtonBitmaps();
  if (!AEnabled) return AChecked ? FCheckedDisabledRd.get() : FUnCheckedDisabledRd.get();
  if (AFocused) return AChecked ? FCheckedFocusRd.get() : FUnCheckedFocusRd.get();
  return AChecked ? FCheckedRd.get() : FUnCheckedRd.get();
}

TPicture* TVivIzudeCustomControl::GetButtonBitmap(float AWidth, float AHeight, bool ADown, bool AFocused,
                                                  bool AEnabled) {
  CreateButtonBitmaps(AWidth, AHeight);
  if (!AEnabled) return FNormalDisabledBtn.get();
  if (ADown) return AFocused ? FDownFocusBtn.get() : FDownBtn.get();
  return AFocused ? FNormalFocusBtn.get() : FNormalBtn.get();
}

// ---- painting

void TVivIzudeCustomControl::DoBeforeDraw(TVivIzudeGraphics* AGraphics, const TRectF& ARect, bool& ADefaultDraw) {
  if (OnBeforeDraw) OnBeforeDraw(this, AGraphics, ARect, ADefaultDraw);
}

void TVivIzudeCustomControl::DoAfterDraw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  if (OnAfterDraw) OnAfterDraw(this, AGraphics, ARect);
}

void TVivIzudeCustomControl::DrawBackground(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  TVivIzudeGraphicsFill F;
  F.Assign(FFill.get());
  F.SetColor(Color());
  AGraphics->SetFill(&F);
  AGraphics->SetStroke(FStroke.get());
  AGraphics->DrawRectangle(ARect, gcrmShrinkAll);
}

void TVivIzudeCustomControl::ConfigureContext(TVivIzudeGraphics& G) const {
  G.SetOptimizedHTMLDrawing(FOptimizedHTMLDrawing);
  TVivIzudeGraphicsContext* C = G.Context();
  C->SetSize(static_cast<float>(Width()), static_cast<float>(Height()));
  C->SetAntiAliasing(FAntiAliasing);
  C->SetShowAcceleratorChar(FShowAcceleratorChar);
  C->SetTextQuality(FTextQuality);
}

void TVivIzudeCustomControl::Paint() {
  TVivIzudeCustomControlBase::Paint();
  PaintControl();
}

void TVivIzudeCustomControl::PaintControl() {
  std::unique_ptr<TVivIzudeGraphics> G;
  if (FBufferedPainting) {
    G = TVivIzudeGraphics::CreateBitmapCanvas(Width(), Height(), FNativeCanvas, true);
    G->BeginScene();
  } else {
    G = std::make_unique<TVivIzudeGraphics>(Canvas(), FNativeCanvas);
  }
  ConfigureContext(*G);
  const TRectF R{0, 0, static_cast<float>(Width()), static_cast<float>(Height())};
  bool DefaultDraw = true;
  DoBeforeDraw(G.get(), R, DefaultDraw);
  if (DefaultDraw) {
    DrawBackground(G.get(), R);
    Draw(G.get(), R);
    DoAfterDraw(G.get(), R);
  }
  if (FBufferedPainting) G->EndScene();
  G->Context()->Render();
  if (FBufferedPainting) {
    TVivIzudeGraphics Screen(Canvas(), false);
    ConfigureContext(Screen);
    Screen.DrawBitmap(R, G->Bitmap(), true, false, true, false);
  }
}

// ---------------------------------------------------------------- settings registry

void RegisterVivIzudeCustomControlClasses() {
  static const bool Registered = [] {
    auto& Registry = TVivIzudeClassRegistry::Instance();
    if (!Registry.Find(std::type_index(typeid(TVivIzudeGraphicsFill)))) {
      using F = TVivIzudeGraphicsFill;
      VivIzudeRegisterClass<F>(u"TVivIzudeGraphicsFill")
          .Property(u"Kind", static_cast<TVivIzudeGraphicsFillKind (F::*)() const>(&F::Kind),
                    static_cast<void (F::*)(TVivIzudeGraphicsFillKind)>(&F::SetKind))
          .Property(u"Orientation", static_cast<TVivIzudeGraphicsFillOrientation (F::*)() const>(&F::Orientation),
                    static_cast<void (F::*)(TVivIzudeGraphicsFillOrientation)>(&F::SetOrientation))
          .Color(u"Color", static_cast<TColor (F::*)() const>(&F::Color),
                 static_cast<void (F::*)(TColor)>(&F::SetColor))
          .Color(u"ColorTo", static_cast<TColor (F::*)() const>(&F::ColorTo),
                 static_cast<void (F::*)(TColor)>(&F::SetColorTo))
          .Color(u"ColorMirror", static_cast<TColor (F::*)() const>(&F::ColorMirror),
                 static_cast<void (F::*)(TColor)>(&F::SetColorMirror))
          .Color(u"ColorMirrorTo", static_cast<TColor (F::*)() const>(&F::ColorMirrorTo),
                 static_cast<void (F::*)(TColor)>(&F::SetColorMirrorTo))
          .Property(u"Opacity", static_cast<float (F::*)() const>(&F::Opacity),
                    static_cast<void (F::*)(float)>(&F::SetOpacity))
          .Property(u"TextureMode", static_cast<TVivIzudeGraphicsTextureMode (F::*)() const>(&F::TextureMode),
                    static_cast<void (F::*)(TVivIzudeGraphicsTextureMode)>(&F::SetTextureMode));
    }
    if (!Registry.Find(std::type_index(typeid(TVivIzudeGraphicsStroke)))) {
      using S = TVivIzudeGraphicsStroke;
      VivIzudeRegisterClass<S>(u"TVivIzudeGraphicsStroke")
          .Property(u"Kind", static_cast<TVivIzudeGraphicsStrokeKind (S::*)() const>(&S::Kind),
                    static_cast<void (S::*)(TVivIzudeGraphicsStrokeKind)>(&S::SetKind))
          .Color(u"Color", static_cast<TColor (S::*)() const>(&S::Color),
                 static_cast<void (S::*)(TColor)>(&S::SetColor))
          .Property(u"Width", static_cast<float (S::*)() const>(&S::Width),
                    static_cast<void (S::*)(float)>(&S::SetWidth))
          .Property(u"Opacity", static_cast<float (S::*)() const>(&S::Opacity),
                    static_cast<void (S::*)(float)>(&S::SetOpacity));
    }
    if (!Registry.Find(std::type_index(typeid(TVivIzudeGraphicsFont)))) {
      using F = TVivIzudeGraphicsFont;
      VivIzudeRegisterClass<F>(u"TVivIzudeGraphicsFont")
          .Property(u"Name", static_cast<const String& (F::*)() const>(&TFont::Name),
                    static_cast<void (F::*)(const String&)>(&TFont::SetName))
          .Property(u"Size", static_cast<Integer (F::*)() const>(&TFont::Size),
                    static_cast<void (F::*)(Integer)>(&TFont::SetSize))
          .Color(u"Color", static_cast<TColor (F::*)() const>(&TFont::Color),
                 static_cast<void (F::*)(TColor)>(&TFont::SetColor))
          .Property(u"Style", static_cast<TFontStyles (F::*)() const>(&TFont::Style),
                    static_cast<void (F::*)(TFontStyles)>(&TFont::SetStyle));
    }
    if (!Registry.Find(std::type_index(typeid(TVivMargins)))) {
      using M = TVivMargins;
      VivIzudeRegisterClass<M>(u"TVivMargins")
          .Property(u"Left", &M::Left, &M::SetLeft)
          .Property(u"Top", &M::Top, &M::SetTop)
          .Property(u"Right", &M::Right, &M::SetRight)
          .Property(u"Bottom", &M::Bottom, &M::SetBottom);
    }
    using C = TVivIzudeCustomControl;
    VivIzudeRegisterClass<C>(u"TVivIzudeCustomControl")
        .Property(u"AdaptToStyle", static_cast<bool (C::*)() const>(&C::AdaptToStyle),
                  static_cast<void (C::*)(bool)>(&C::SetAdaptToStyle))
        .Property(u"AllowFocus", static_cast<bool (C::*)() const>(&C::AllowFocus),
                  static_cast<void (C::*)(bool)>(&C::SetAllowFocus))
        .Property(u"ShowAcceleratorChar", static_cast<bool (C::*)() const>(&C::ShowAcceleratorChar),
                  static_cast<void (C::*)(bool)>(&C::SetShowAcceleratorChar))
        .Color(u"Color", static_cast<TColor (C::*)() const>(&TControl::Color),
               static_cast<void (C::*)(TColor)>(&TControl::SetColor))
        .Property(u"Visible", static_cast<bool (C::*)() const>(&TControl::Visible),
                  static_cast<void (C::*)(bool)>(&TControl::SetVisible))
        .Property(u"Width", static_cast<Integer (C::*)() const>(&TControl::Width),
                  static_cast<void (C::*)(Integer)>(&TControl::SetWidth))
        .Property(u"Height", static_cast<Integer (C::*)() const>(&TControl::Height),
                  static_cast<void (C::*)(Integer)>(&TControl::SetHeight))
        .Property(u"Enabled", static_cast<bool (C::*)() const>(&TControl::Enabled),
                  static_cast<void (C::*)(bool)>(&TControl::SetEnabled))
        .ReadOnly(u"Version", static_cast<String (C::*)() const>(&C::Version))
        .Event(u"OnBeforeDraw")
        .Event(u"OnAfterDraw")
        .Event(u"OnCanSaveProperty")
        .Event(u"OnCanLoadProperty");
    return true;
  }();
  (void)Registered;
}
