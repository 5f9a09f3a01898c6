#include "chart/widgets/win/VivIzudeToolBarButton.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "chart/widgets/VivIzudePersistence.h"
#include "chart/widgets/VivIzudeStyles.h"
#include "chart/widgets/win/VivIzudeImage.h"
#include "vcl/Graphics.h"

namespace {

// Halves to even, as everywhere in the widget kit.
Integer RoundI(double V) { return static_cast<Integer>(std::nearbyint(V)); }

constexpr TColor Rgb(Byte R, Byte G, Byte B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }
constexpr TColor ClGray = 0x808080;
constexpr TColor ClLightGray = 0xD3D3D3;
constexpr TColor ClWhite = 0xFFFFFF;

void SetGradient(TVivIzudeGraphicsFill* F, TColor C, TColor To, TColor Mirror, TColor MirrorTo) {
  F->BeginUpdate();
  F->SetKind(gfkGradient);
  F->SetColor(C);
  F->SetColorTo(To);
  F->SetColorMirror(Mirror);
  F->SetColorMirrorTo(MirrorTo);
  F->EndUpdate();
}

void SetSolid(TVivIzudeGraphicsFill* F, TColor C) {
  F->BeginUpdate();
  F->SetKind(gfkSolid);
  F->SetColor(C);
  F->EndUpdate();
}

void SetSolid(TVivIzudeGraphicsStroke* S, TColor C) {
  S->BeginUpdate();
  S->SetKind(gskSolid);
  S->SetColor(C);
  S->EndUpdate();
}

TRectF Shrunk(const TRectF& R, float D) { return {R.Left + D, R.Top + D, R.Right - D, R.Bottom - D}; }

}  // namespace

// ---------------------------------------------------------------- element

TVivIzudeCustomToolBarElement::TVivIzudeCustomToolBarElement(TComponent* AOwner) : TVivIzudeCustomControl(AOwner) {
  DisableBackground();
  SetParentColor(true);
}

void TVivIzudeCustomToolBarElement::Assign(TPersistent* Source) {
  TVivIzudeCustomControl::Assign(Source);
  if (auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(Source)) {
    FState = E->FState;
    FLastElement = E->FLastElement;
    FCanCopy = E->FCanCopy;
  }
}

void TVivIzudeCustomToolBarElement::SetState(TVivIzudeToolBarElementState Value) {
  if (FState == Value) return;
  FState = Value;
  if (!FReadingSettings) ApplyState();
}

void TVivIzudeCustomToolBarElement::ReadSettings(const std::function<void()>& ALoad) {
  const TVivIzudeToolBarElementState Old = FState;
  const bool Was = FReadingSettings;
  FReadingSettings = true;
  try {
    ALoad();
  } catch (...) {
    FReadingSettings = Was;
    throw;
  }
  FReadingSettings = Was;
  if (FState != Old && !IsLoading()) ScaleSizeForState(FState == esLarge ? 1.25f : 0.8f);
}

void TVivIzudeCustomToolBarElement::LoadSettingsFromStream(TStream* AStream) {
  ReadSettings([&] { TVivIzudeCustomControl::LoadSettingsFromStream(AStream); });
}

void TVivIzudeCustomToolBarElement::LoadSettingsFromFile(const String& AFileName) {
  ReadSettings([&] { TVivIzudeCustomControl::LoadSettingsFromFile(AFileName); });
}

void TVivIzudeCustomToolBarElement::SetLastElement(bool Value) {
  if (FLastElement == Value) return;
  FLastElement = Value;
  UpdateToolBar();
}

void TVivIzudeCustomToolBarElement::UpdateToolBar() {
  if (!FBlockUpdate && OnUpdateToolBar) OnUpdateToolBar(this);
}

void TVivIzudeCustomToolBarElement::UpdateToolBarControl() {
  if (OnUpdateToolBarControl) OnUpdateToolBarControl(this);
}

void TVivIzudeCustomToolBarElement::SetVisible(bool Value) {
  const bool Changing = Visible() != Value;
  TVivIzudeCustomControl::SetVisible(Value);
  if (Changing) UpdateToolBar();
}

// ---------------------------------------------------------------- appearance

TVivIzudeToolBarCustomButtonAppearance::TVivIzudeToolBarCustomButtonAppearance(TVivIzudeDefaultToolBarButton* AOwner)
    : FOwner(AOwner),
      FHoverStroke(std::make_unique<TVivIzudeGraphicsStroke>()),
      FDownFill(std::make_unique<TVivIzudeGraphicsFill>()),
      FNormalFill(std::make_unique<TVivIzudeGraphicsFill>()),
      FDownStroke(std::make_unique<TVivIzudeGraphicsStroke>()),
      FDisabledFill(std::make_unique<TVivIzudeGraphicsFill>()),
      FNormalStroke(std::make_unique<TVivIzudeGraphicsStroke>()),
      FDisabledStroke(std::make_unique<TVivIzudeGraphicsStroke>()),
      FHoverFill(std::make_unique<TVivIzudeGraphicsFill>()),
      FInnerStroke(std::make_unique<TVivIzudeGraphicsStroke>()) {
  Reset();
  const auto OnItem = [this](TObject*) { Changed(); };
  for (auto* F : {FNormalFill.get(), FHoverFill.get(), FDownFill.get(), FDisabledFill.get()}) F->OnChanged = OnItem;
  for (auto* S :
       {FNormalStroke.get(), FHoverStroke.get(), FDownStroke.get(), FDisabledStroke.get(), FInnerStroke.get()})
    S->OnChanged = OnItem;
}

TVivIzudeToolBarCustomButtonAppearance::~TVivIzudeToolBarCustomButtonAppearance() {
  for (auto* F : {FNormalFill.get(), FHoverFill.get(), FDownFill.get(), FDisabledFill.get()}) F->OnChanged = nullptr;
  for (auto* S :
       {FNormalStroke.get(), FHoverStroke.get(), FDownStroke.get(), FDisabledStroke.get(), FInnerStroke.get()})
    S->OnChanged = nullptr;
}

void TVivIzudeToolBarCustomButtonAppearance::Reset() {
  SetGradient(FNormalFill.get(), Rgb(249, 251, 252), Rgb(230, 235, 235), Rgb(220, 220, 236), Rgb(220, 225, 236));
  SetGradient(FHoverFill.get(), Rgb(229, 231, 232), Rgb(210, 215, 215), Rgb(200, 200, 216), Rgb(200, 205, 216));
  SetGradient(FDownFill.get(), Rgb(219, 221, 222), Rgb(200, 205, 205), Rgb(190, 190, 206), Rgb(190, 195, 206));
  SetSolid(FDisabledFill.get(), ClLightGray);
  for (auto* S : {FNormalStroke.get(), FHoverStroke.get(), FDownStroke.get(), FDisabledStroke.get()})
    SetSolid(S, ClGray);
  SetSolid(FInnerStroke.get(), ClWhite);
}

void TVivIzudeToolBarCustomButtonAppearance::Assign(TPersistent* Source) {
  auto* A = dynamic_cast<TVivIzudeToolBarCustomButtonAppearance*>(Source);
  if (!A) return;
  FNormalFill->Assign(A->FNormalFill.get());
  FHoverFill->Assign(A->FHoverFill.get());
  FDownFill->Assign(A->FDownFill.get());
  FDisabledFill->Assign(A->FDisabledFill.get());
  FNormalStroke->Assign(A->FNormalStroke.get());
  FHoverStroke->Assign(A->FHoverStroke.get());
  FDownStroke->Assign(A->FDownStroke.get());
  FDisabledStroke->Assign(A->FDisabledStroke.get());
  FInnerStroke->Assign(A->FInnerStroke.get());
  FCorners = A->FCorners;
  FRounding = A->FRounding;
  FTransparent = A->FTransparent;
  FShowInnerStroke = A->FShowInnerStroke;
  FFlatStyle = A->FFlatStyle;
  Changed();
}

void TVivIzudeToolBarCustomButtonAppearance::SetCorners(TVivIzudeGraphicsCorners Value) {
  if (FCorners == Value) return;
  FCorners = Value;
  Changed();
}

void TVivIzudeToolBarCustomButtonAppearance::SetRounding(float Value) {
  if (FRounding == Value) return;
  FRounding = Value;
  Changed();
}

void TVivIzudeToolBarCustomButtonAppearance::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Changed();
}

void TVivIzudeToolBarCustomButtonAppearance::SetShowInnerStroke(bool Value) {
  if (FShowInnerStroke == Value) return;
  FShowInnerStroke = Value;
  Changed();
}

void TVivIzudeToolBarCustomButtonAppearance::SetFlatStyle(bool Value) {
  if (FFlatStyle == Value) return;
  FFlatStyle = Value;
  if (FOwner)
    for (Integer I = 0; I < FOwner->ControlCount(); ++I)
      if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(FOwner->Controls(I)))
        B->Appearance()->SetFlatStyle(Value);
  Changed();
}

void TVivIzudeToolBarCustomButtonAppearance::Changed() {
  if (FOwner)
    FOwner->UpdateAppearance();
  else if (OnChange)
    OnChange(this);
}

// ---------------------------------------------------------------- button

TVivIzudeDefaultToolBarButton::TVivIzudeDefaultToolBarButton(TComponent* AOwner)
    : TVivIzudeCustomToolBarElement(AOwner),
      FAppearance(std::make_unique<TVivIzudeToolBarButtonAppearance>(this)),
      FBitmaps(std::make_unique<TVivScaledBitmaps>(this)),
      FFont(std::make_unique<TVivIzudeGraphicsFont>()),
      FDisabledBitmaps(std::make_unique<TVivScaledBitmaps>(this)),
      FHoverBitmaps(std::make_unique<TVivScaledBitmaps>(this)),
      FLargeLayoutBitmaps(std::make_unique<TVivScaledBitmaps>(this)),
      FLargeLayoutHoverBitmaps(std::make_unique<TVivScaledBitmaps>(this)),
      FLargeLayoutDisabledBitmaps(std::make_unique<TVivScaledBitmaps>(this)) {
  FFont->OnChanged = [this](TObject*) { Invalidate(); };
  for (auto* L : {FBitmaps.get(), FDisabledBitmaps.get(), FHoverBitmaps.get(), FLargeLayoutBitmaps.get(),
                  FLargeLayoutHoverBitmaps.get(), FLargeLayoutDisabledBitmaps.get()})
    L->OnChange = [this](TObject* Sender) { BitmapsChanged(Sender); };
  SetBounds(Left(), Top(), 100, 24);
  FPopup = new TVivIzudePopup(this);
  FPopup->SetPlacementControl(this);
  FPopup->SetDragWithParent(true);
  FPopup->SetDropDownWidth(FDropDownWidth);
  FPopup->SetDropDownHeight(FDropDownHeight);
  FPopup->OnPopup = [this](TObject* Sender) { PopupOpened(Sender); };
  FPopup->OnClosePopup = [this](TObject* Sender) { PopupClosed(Sender); };
}

TVivIzudeDefaultToolBarButton::~TVivIzudeDefaultToolBarButton() {
  FPopup->OnPopup = nullptr;
  FPopup->OnClosePopup = nullptr;
  if (FDropDownControl) FDropDownControl->RemoveFreeNotification(this);
  FFont->OnChanged = nullptr;
  for (auto* L : {FBitmaps.get(), FDisabledBitmaps.get(), FHoverBitmaps.get(), FLargeLayoutBitmaps.get(),
                  FLargeLayoutHoverBitmaps.get(), FLargeLayoutDisabledBitmaps.get()})
    L->OnChange = nullptr;
  if (FBitmapContainer) FBitmapContainer->RemoveFreeNotification(this);
}

void TVivIzudeDefaultToolBarButton::Assign(TPersistent* Source) {
  TVivIzudeCustomToolBarElement::Assign(Source);
  auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(Source);
  if (!B) return;
  FLayout = B->FLayout;
  FCompactLayout = B->FCompactLayout;
  FMinimumLayout = B->FMinimumLayout;
  FMaximumLayout = B->FMaximumLayout;
  FBitmapPosition = B->FBitmapPosition;
  FBitmapSize = B->FBitmapSize;
  FLargeLayoutBitmapSize = B->FLargeLayoutBitmapSize;
  FAutoBitmapSize = B->FAutoBitmapSize;
  FLargeLayoutAutoBitmapSize = B->FLargeLayoutAutoBitmapSize;
  FStretchBitmapIfNoText = B->FStretchBitmapIfNoText;
  FAppearance->Assign(B->FAppearance.get());
  SetBitmapContainer(B->FBitmapContainer);
  FBitmaps->Assign(B->FBitmaps.get());
  FDisabledBitmaps->Assign(B->FDisabledBitmaps.get());
  FHoverBitmaps->Assign(B->FHoverBitmaps.get());
  FLargeLayoutBitmaps->Assign(B->FLargeLayoutBitmaps.get());
  FLargeLayoutHoverBitmaps->Assign(B->FLargeLayoutHoverBitmaps.get());
  FLargeLayoutDisabledBitmaps->Assign(B->FLargeLayoutDisabledBitmaps.get());
  FBitmapVisible = B->FBitmapVisible;
  FText = B->FText;
  FTextVisible = B->FTextVisible;
  FWordWrapping = B->FWordWrapping;
  FHorizontalTextAlign = B->FHorizontalTextAlign;
  FVerticalTextAlign = B->FVerticalTextAlign;
  FTrimming = B->FTrimming;
  FFont->Assign(B->FFont.get());
  FHoverFontColor = B->FHoverFontColor;
  FDownFontColor = B->FDownFontColor;
  FDisabledFontColor = B->FDisabledFontColor;
  FStretchText = B->FStretchText;
  SetDropDownHeight(B->FDropDownHeight);
  SetDropDownWidth(B->FDropDownWidth);
  SetDropDownAutoWidth(B->FDropDownAutoWidth);
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::Notification(TComponent* AComponent, TOperation Operation) {
  TVivIzudeCustomToolBarElement::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FBitmapContainer) FBitmapContainer = nullptr;
  if (AComponent == FDropDownControl) FDropDownControl = nullptr;
}

// ---------------------------------------------------------------- drop-down

void TVivIzudeDefaultToolBarButton::SetDropDownHeight(float Value) {
  if (FDropDownHeight == Value) return;
  FDropDownHeight = Value;
  if (!FDropDownAutoWidth) FPopup->SetDropDownHeight(Value);
}

void TVivIzudeDefaultToolBarButton::SetDropDownWidth(float Value) {
  if (FDropDownWidth == Value) return;
  FDropDownWidth = Value;
  FPopup->SetDropDownWidth(Value);
}

void TVivIzudeDefaultToolBarButton::SetDropDownAutoWidth(bool Value) {
  if (FDropDownAutoWidth == Value) return;
  FDropDownAutoWidth = Value;
  FPopup->SetDropDownWidth(Value ? static_cast<float>(Width()) : FDropDownWidth);
}

void TVivIzudeDefaultToolBarButton::SetDropDownControl(TControl* Value) {
  if (FDropDownControl == Value) return;
  if (FDropDownControl) FDropDownControl->RemoveFreeNotification(this);
  FDropDownControl = Value;
  if (!FDropDownControl) return;
  FDropDownControl->FreeNotification(this);
  if (IsDesigning()) {
    FDropDownHeight = static_cast<float>(FDropDownControl->Height());
    FDropDownWidth = static_cast<float>(FDropDownControl->Width());
  } else {
    FPopup->SetContentControl(FDropDownControl);
    FPopup->SetFocusedControl(FDropDownControl);
  }
}

void TVivIzudeDefaultToolBarButton::DropDown() {
  if (FPopup->IsOpen()) {
    FPopup->SetIsOpen(false);
    return;
  }
  // The press that closed the popup (by taking the activation from it)
  // is the one asking to toggle it: it must not open it again.
  const bool ClosedByThisPress = FClosedByPressTick != 0 && ::GetTickCount() - FClosedByPressTick < 1000;
  FClosedByPressTick = 0;
  if (ClosedByThisPress) return;
  if (OnBeforeDropDown) OnBeforeDropDown(this);
  if (FDropDownAutoWidth) FPopup->SetDropDownWidth(static_cast<float>(Width()));
  FPopup->SetPlacement(FPopupPlacement);
  FPopup->SetIsOpen(true);
  if (OnDropDown) OnDropDown(this);
}

void TVivIzudeDefaultToolBarButton::CloseDropDown() {
  if (FPopup->IsOpen()) FPopup->SetIsOpen(false);
}

void TVivIzudeDefaultToolBarButton::PopupOpened(TObject*) { UpdateDropDownControl(); }

void TVivIzudeDefaultToolBarButton::PopupClosed(TObject*) {
  FClosedByPressTick = 0;
  if (HandleAllocated() && (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0) {
    POINT P{};
    ::GetCursorPos(&P);
    const HWND Under = ::WindowFromPoint(P);
    if (Under == Handle() || ::IsChild(Handle(), Under)) FClosedByPressTick = std::max<DWORD>(::GetTickCount(), 1);
  }
  if (OnCloseDropDown) OnCloseDropDown(this);
}

void TVivIzudeDefaultToolBarButton::SetAdaptToStyle(bool Value) {
  TVivIzudeCustomToolBarElement::SetAdaptToStyle(Value);
  FPopup->SetAdaptToStyle(Value);
}

void TVivIzudeDefaultToolBarButton::SetName(const String& NewName) {
  const String OldName = Name();
  TVivIzudeCustomToolBarElement::SetName(NewName);
  const bool Loading = IsLoading() || (Owner() && Owner()->ComponentState().Contains(csLoading));
  if (Loading || !FApplyName || !CanApplyName() || FText != OldName) return;
  // The new name shows, without the library's class prefix.
  String T = Name();
  const String Drop = u"VivIzudeToolBar";
  for (size_t P = T.find(Drop); P != String::npos; P = T.find(Drop)) T.erase(P, Drop.size());
  SetText(T);
}

void TVivIzudeDefaultToolBarButton::SizeChanged() {
  UpdateControlSize();
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetText(const String& Value) {
  if (FText == Value) return;
  FText = Value;
  FTextVisible = !Value.empty();
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetTextVisible(bool Value) {
  if (FTextVisible == Value) return;
  FTextVisible = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetBitmapContainer(TVivIzudeBitmapContainer* Value) {
  if (FBitmapContainer != Value) {
    if (FBitmapContainer) FBitmapContainer->RemoveFreeNotification(this);
    FBitmapContainer = Value;
    if (FBitmapContainer) FBitmapContainer->FreeNotification(this);
  }
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetBitmapVisible(bool Value) {
  FBitmapVisible = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetBitmapSize(float Value) {
  if (FBitmapSize == Value) return;
  FBitmapSize = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetLargeLayoutBitmapSize(float Value) {
  if (FLargeLayoutBitmapSize == Value) return;
  FLargeLayoutBitmapSize = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetAutoBitmapSize(bool Value) {
  if (FAutoBitmapSize == Value) return;
  FAutoBitmapSize = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetStretchBitmapIfNoText(bool Value) {
  if (FStretchBitmapIfNoText == Value) return;
  FStretchBitmapIfNoText = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetStretchText(bool Value) {
  if (FStretchText == Value) return;
  FStretchText = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetBitmapPosition(TVivIzudeToolBarButtonBitmapPosition Value) {
  if (FBitmapPosition == Value) return;
  FBitmapPosition = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetLayout(TVivIzudeToolBarButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  SizeChanged();
}

void TVivIzudeDefaultToolBarButton::SetMinimumLayout(TVivIzudeToolBarButtonLayout Value) {
  if (FMinimumLayout == Value) return;
  FMinimumLayout = Value;
  UpdateToolBar();
}

void TVivIzudeDefaultToolBarButton::SetMaximumLayout(TVivIzudeToolBarButtonLayout Value) {
  if (FMaximumLayout == Value) return;
  FMaximumLayout = Value;
  UpdateToolBar();
}

void TVivIzudeDefaultToolBarButton::SetDownState(bool Value) {
  FDownState = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetWordWrapping(bool Value) {
  if (FWordWrapping == Value) return;
  FWordWrapping = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetHorizontalTextAlign(TVivIzudeGraphicsTextAlign Value) {
  if (FHorizontalTextAlign == Value) return;
  FHorizontalTextAlign = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetVerticalTextAlign(TVivIzudeGraphicsTextAlign Value) {
  if (FVerticalTextAlign == Value) return;
  FVerticalTextAlign = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetTrimming(TVivIzudeGraphicsTextTrimming Value) {
  if (FTrimming == Value) return;
  FTrimming = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetHoverFontColor(TColor Value) {
  FHoverFontColor = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetDownFontColor(TColor Value) {
  FDownFontColor = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetDisabledFontColor(TColor Value) {
  FDisabledFontColor = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::SetShowFocus(bool Value) {
  if (FShowFocus == Value) return;
  FShowFocus = Value;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::BitmapsChanged(TObject*) {
  FBitmapVisible = !IsPictureEmpty(GetBitmap());
  if (!FBitmapVisible && FLayout == bblLarge)
    FBitmapVisible =
        !IsPictureEmpty(TVivIzudeGraphics::GetScaledBitmap(FLargeLayoutBitmaps.get(), 0, FBitmapContainer));
  Invalidate();
}

TPicture* TVivIzudeDefaultToolBarButton::GetBitmap() {
  return TVivIzudeGraphics::GetScaledBitmap(FBitmaps.get(), 0, FBitmapContainer);
}

namespace {
float LargerSide(TPicture* P, float Fallback) {
  if (IsPictureEmpty(P)) return Fallback;
  return static_cast<float>(std::max(P->Width(), P->Height()));
}
}  // namespace

float TVivIzudeDefaultToolBarButton::GetBitmapSize() {
  return FAutoBitmapSize ? LargerSide(GetBitmap(), FBitmapSize) : FBitmapSize;
}

float TVivIzudeDefaultToolBarButton::GetLargeLayoutBitmapSize() {
  if (!FLargeLayoutAutoBitmapSize) return FLargeLayoutBitmapSize;
  return LargerSide(TVivIzudeGraphics::GetScaledBitmap(FLargeLayoutBitmaps.get(), 0, FBitmapContainer),
                    FLargeLayoutBitmapSize);
}

TSizeF TVivIzudeDefaultToolBarButton::GetTextSize() {
  const String Text = GetText();
  if (!FTextVisible || Text.empty()) return {0, 0};
  auto G = TVivIzudeGraphics::CreateBitmapCanvas(1, 1, FNativeCanvas);
  G->SetBitmapContainer(FBitmapContainer);
  G->SetFont(FFont.get());
  return G->CalculateTextSize(Text, Shrunk(LocalRect(), 2), FWordWrapping, true);
}

void TVivIzudeDefaultToolBarButton::UpdateControlSize() {
  if (FLayout == bblNone || FBlockUpdate) return;
  FBlockUpdate = true;
  switch (FLayout) {
    case bblBitmap: {
      FTextVisible = false;
      FBitmapPosition = bbpLeft;
      FStretchText = false;
      const Integer S = RoundI(GetBitmapSize() + 6);
      SetBounds(Left(), Top(), S, S);
      break;
    }
    case bblLabel: {
      FTextVisible = true;
      FBitmapPosition = bbpLeft;
      FStretchText = false;
      const TSizeF T = GetTextSize();
      if (FBitmapVisible) {
        const float B = GetBitmapSize();
        SetBounds(Left(), Top(), RoundI(B + T.cx + 12), RoundI(std::max(T.cy, B) + 6));
      } else if (FTextVisible && !FText.empty())
        SetBounds(Left(), Top(), RoundI(T.cx + 6), RoundI(T.cy + 6));
      else
        SetBounds(Left(), Top(), 75, 24);
      break;
    }
    case bblLarge: {
      FTextVisible = true;
      FBitmapPosition = bbpTop;
      FStretchText = !FBitmapVisible;
      const TSizeF T = GetTextSize();
      float W = FBitmapVisible ? std::max(GetLargeLayoutBitmapSize() + 6, 30.0f) : 30.0f;
      if (!FText.empty()) W = std::max(W, T.cx + 12);
      SetBounds(Left(), Top(), RoundI(W), FOldHeight != -1 ? RoundI(FOldHeight) : Height());
      break;
    }
    case bblNone:
      break;
  }
  FBlockUpdate = false;
  UpdateToolBar();
}

void TVivIzudeDefaultToolBarButton::UpdateControlAfterResize() {
  TVivIzudeCustomToolBarElement::UpdateControlAfterResize();
  if (FLayout == bblLarge) FOldHeight = static_cast<float>(Height());
}

TRectF TVivIzudeDefaultToolBarButton::GetDropDownRect() const {
  const TRectF L = LocalRect();
  return {L.Right, L.Top, L.Right, L.Bottom};
}

TRectF TVivIzudeDefaultToolBarButton::CalculateBitmapRect(const TRectF& R) {
  if (!FBitmapVisible) return {R.Left, R.Top, R.Left, R.Bottom};
  const float S = FLayout == bblLarge ? GetLargeLayoutBitmapSize() : GetBitmapSize();
  if (!FTextVisible || FText.empty()) {
    TRectF B = Shrunk(R, 3);
    if (S != -1 && !FStretchBitmapIfNoText) {
      const float X = static_cast<float>(RoundI(R.Left + (R.Width() - S) / 2));
      const float Y = static_cast<float>(RoundI(R.Top + (R.Height() - S) / 2));
      B = {X, Y, X + S, Y + S};
    }
    return B;
  }
  if (FBitmapPosition == bbpLeft) return {R.Left + 3, R.Top + 3, R.Left + 3 + S, R.Bottom - 3};
  return {R.Left + 3, R.Top + 3, R.Right - 3, R.Top + 3 + S};
}

TRectF TVivIzudeDefaultToolBarButton::GetBitmapRect() { return CalculateBitmapRect(LocalRect()); }

TRectF TVivIzudeDefaultToolBarButton::GetTextRect() {
  const TRectF L = LocalRect(), B = GetBitmapRect(), D = GetDropDownRect();
  TRectF R;
  R.Left = FBitmapPosition == bbpLeft && !FStretchText ? B.Right + 3 : L.Left + 3;
  R.Top = FBitmapPosition == bbpTop && !FStretchText ? B.Bottom + 3 : L.Top + 3;
  R.Right = D.Left - 3;
  R.Bottom = L.Bottom - 3;
  return R;
}

void TVivIzudeDefaultToolBarButton::Draw(TVivIzudeGraphics* G, const TRectF& ARect) {
  const TRectF L = LocalRect();
  auto* A = FAppearance.get();
  if (!A->Transparent()) {
    TVivIzudeGraphicsFill* F = A->NormalFill();
    TVivIzudeGraphicsStroke* S = A->NormalStroke();
    if (!Enabled()) {
      F = A->DisabledFill();
      S = A->DisabledStroke();
    } else if (FDown || FDownState) {
      F = A->DownFill();
      S = A->DownStroke();
    } else if (FHover) {
      F = A->HoverFill();
      S = A->HoverStroke();
    }
    G->SetFill(F);
    G->SetStroke(S);
    if (A->FlatStyle()) {
      G->SetFillKind(gfkSolid);
      G->DrawRectangle(L, gcrmShrinkAll);
    } else {
      G->DrawRoundRectangle(L, A->Rounding(), A->Corners(), gcrmShrinkAll);
      if (A->ShowInnerStroke()) {
        G->SetFillKind(gfkNone);
        G->SetStroke(A->InnerStroke());
        G->DrawRoundRectangle(Shrunk(L, 1), A->Rounding(), A->Corners(), gcrmShrinkAll);
      }
    }
  }
  DrawButtonBitmap(G, ARect);
  DrawButtonText(G);
  DrawDropDownPart(G);
  if (FShowFocus && Focused()) G->DrawFocusRectangle(GetTextRect(), 0, gcrmShrinkAll);
}

void TVivIzudeDefaultToolBarButton::DrawButtonBitmap(TVivIzudeGraphics* G, const TRectF& ARect) {
  if (!FBitmapVisible) return;
  const TRectF R = CalculateBitmapRect(ARect);
  if (AdaptToStyle() && dynamic_cast<TVivIzudeToolBarDropDownButton*>(this)) {
    // The arrow in the style's own focus colour instead of the glyph.
    TBitmap Arrow(7, 7);
    Arrow.SetPixelFormat(pf24bit);
    Arrow.Canvas()->Brush()->SetColor(ClWhite);
    Arrow.Canvas()->FillRect(TRect{0, 0, 7, 7});
    const struct { int X0, X1, Y; } Rows[] = {{0, 6, 1}, {0, 6, 2}, {1, 5, 3}, {2, 4, 4}, {3, 3, 5}};
    for (const auto& Row : Rows)
      for (int X = Row.X0; X <= Row.X1; ++X)
        ::SetPixel(Arrow.Canvas()->Handle(), X, Row.Y, static_cast<COLORREF>(DefaultFocusColor));
    Arrow.SetTransparentColor(ClWhite);
    Arrow.SetTransparent(true);
    G->DrawBitmap(R, &Arrow, true, false, true, false);
    return;
  }
  const auto NotEmpty = [this](TVivScaledBitmaps* L) {
    return !IsPictureEmpty(TVivIzudeGraphics::GetScaledBitmap(L, 0, FBitmapContainer));
  };
  TVivScaledBitmaps* List;
  if (FLayout == bblLarge) {
    if (Enabled()) {
      if (FHover && NotEmpty(FLargeLayoutHoverBitmaps.get()))
        List = FLargeLayoutHoverBitmaps.get();
      else if (FHover && NotEmpty(FHoverBitmaps.get()))
        List = FHoverBitmaps.get();
      else
        List = NotEmpty(FLargeLayoutBitmaps.get()) ? FLargeLayoutBitmaps.get() : FBitmaps.get();
    } else if (NotEmpty(FLargeLayoutDisabledBitmaps.get()))
      List = FLargeLayoutDisabledBitmaps.get();
    else
      List = NotEmpty(FDisabledBitmaps.get()) ? FDisabledBitmaps.get() : FBitmaps.get();
  } else if (Enabled())
    List = FHover && NotEmpty(FHoverBitmaps.get()) ? FHoverBitmaps.get() : FBitmaps.get();
  else
    List = NotEmpty(FDisabledBitmaps.get()) ? FDisabledBitmaps.get() : FBitmaps.get();
  G->SetBitmapContainer(FBitmapContainer);
  G->DrawScaledBitmap(R, List, 0, true, false, true, false);
}

void TVivIzudeDefaultToolBarButton::DrawButtonText(TVivIzudeGraphics* G) {
  const String Text = GetText();
  if (!FTextVisible || Text.empty()) return;
  auto State = G->SaveState();
  G->ClipRect(GetTextRect());
  G->SetFont(FFont.get());
  TColor C = -1;
  if (!Enabled())
    C = FDisabledFontColor;
  else if (FDown || FDownState)
    C = FDownFontColor;
  else if (FHover)
    C = FHoverFontColor;
  if (C != -1) G->SetFontColor(C);
  G->DrawText(GetTextRect(), Text, FWordWrapping, FHorizontalTextAlign, FVerticalTextAlign, FTrimming, 0, -1, -1, true);
  G->RestoreState(std::move(State));
}

void TVivIzudeDefaultToolBarButton::HandleMouseDown(TMouseButton, TShiftState, float, float) {
  if (CanFocus()) SetFocus();
  FDown = true;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::HandleMouseMove(TShiftState, float, float) {
  FPrevHover = FHover;
  FHover = true;
  if (!FPrevHover) Invalidate();
}

void TVivIzudeDefaultToolBarButton::HandleMouseUp(TMouseButton, TShiftState, float, float) {
  FDown = false;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::HandleMouseLeave() {
  FDown = false;
  FHover = false;
  Invalidate();
}

void TVivIzudeDefaultToolBarButton::HandleKeyDown(Word& Key, TShiftState) {
  switch (Key) {
    case VK_SPACE:
      Click();
      break;
    case VK_END:
      SelectLastItem();
      break;
    case VK_HOME:
      SelectFirstItem();
      break;
    case VK_LEFT:
    case VK_UP:
      SelectPreviousItem();
      break;
    case VK_RIGHT:
    case VK_DOWN:
      SelectNextItem();
      break;
    default:
      break;
  }
}

void TVivIzudeDefaultToolBarButton::HandleKeyPress(Char& Key) {
  if (Key >= 32 && Key != u' ') SelectItemByKey(Key);
}

void TVivIzudeDefaultToolBarButton::HandleKeyUp(Word& Key, TShiftState Shift) {
  if (Shift.Contains(ssShift) || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl)) return;
  if ((Key == VK_RETURN || Key == VK_F4) && HasDropDown()) DropDown();
}

void TVivIzudeDefaultToolBarButton::ApplyState() {
  if (IsLoading()) return;
  const float F = State() == esLarge ? 1.25f : 0.8f;
  SetDropDownWidth(FDropDownWidth * F);
  SetDropDownHeight(FDropDownHeight * F);
  FFont->SetSize(RoundI(F * FFont->Size()));
  ScaleSizeForState(F);
}

void TVivIzudeDefaultToolBarButton::ScaleSizeForState(float AFactor) {
  SetBounds(Left(), Top(), RoundI(AFactor * Width()), RoundI(AFactor * Height()));
}

void TVivIzudeDefaultToolBarButton::ChangeDPIScale(Integer M, Integer D) {
  if (D == 0) return;
  FBitmapSize = FBitmapSize * M / D;
  FLargeLayoutBitmapSize = FLargeLayoutBitmapSize * M / D;
}

void TVivIzudeDefaultToolBarButton::ApplyStyle() {
  TVivIzudeCustomToolBarElement::ApplyStyle();
  TColor C;
  if (TVivIzudeStyles::GetStyleBackgroundFillColor(C)) {
    SetSolid(FAppearance->NormalFill(), C);
    SetSolid(FAppearance->DisabledFill(), BlendColor(C, 0xA9A9A9, 20));
    SetSolid(FAppearance->InnerStroke(),
             BlendColor(FAppearance->NormalFill()->Color(), FAppearance->NormalStroke()->Color(), 75));
  }
  if (TVivIzudeStyles::GetStyleTextFontColor(C)) FFont->SetColor(C);
  if (TVivIzudeStyles::GetStyleBackgroundStrokeColor(C))
    for (auto* S : {FAppearance->NormalStroke(), FAppearance->DownStroke(), FAppearance->DisabledStroke(),
                    FAppearance->HoverStroke()})
      S->SetColor(C);
  if (TVivIzudeStyles::GetStyleSelectionFillColor(C)) {
    SetSolid(FAppearance->HoverFill(), C);
    SetSolid(FAppearance->DownFill(), BlendColor(C, Fill()->Color(), 20));
  }
}

void TVivIzudeDefaultToolBarButton::ResetToDefaultStyle() {
  TVivIzudeCustomToolBarElement::ResetToDefaultStyle();
  FFont->SetColor(0);
  FAppearance->Reset();
}

// ---------------------------------------------------------------- custom button

TVivIzudeCustomToolBarButton::TVivIzudeCustomToolBarButton(TComponent* AOwner)
    : TVivIzudeDefaultToolBarButton(AOwner), FDropDownButton(new TVivIzudeToolBarDropDownButton(this)) {
  FDropDownButton->SetTabStop(false);
  FDropDownButton->SetText(u"");
  FDropDownButton->OnClick = [this](TObject* Sender) { DropDownButtonClick(Sender); };
  FDropDownButton->SetVisible(false);
  FDropDownButton->SetWidth(17);
  FDropDownButton->Appearance()->SetCorners(TVivIzudeGraphicsCorners{gcTopRight, gcBottomRight});
  FDropDownButton->SetAlign(alRight);
  for (auto* L : {FDropDownButton->Bitmaps(), FDropDownButton->DisabledBitmaps(), FDropDownButton->HoverBitmaps()}) {
    L->AddBitmapFromResource(u"VIVIZUDETOOLBAREXPAND", 1.0f);
    L->AddBitmapFromResource(u"VIVIZUDETOOLBAREXPANDLARGE", 1.5f);
  }
}

void TVivIzudeCustomToolBarButton::Assign(TPersistent* Source) {
  TVivIzudeDefaultToolBarButton::Assign(Source);
  if (auto* B = dynamic_cast<TVivIzudeCustomToolBarButton*>(Source)) {
    SetDropDownKind(B->FDropDownKind);
    SetDropDownPosition(B->FDropDownPosition);
    FAutoOptionsMenuText = B->FAutoOptionsMenuText;
    FHidden = B->FHidden;
  }
}

void TVivIzudeCustomToolBarButton::SetDropDownKind(TVivIzudeToolBarButtonDropDownKind Value) {
  if (FDropDownKind == Value) return;
  FDropDownKind = Value;
  switch (Value) {
    case ddkNormal:
      FDropDownButton->SetVisible(false);
      FDropDownButton->SetParent(nullptr);
      FDropDownButton->Appearance()->SetTransparent(false);
      break;
    case ddkDropDown:
      FDropDownButton->SetParent(this);
      FDropDownButton->SetVisible(false);
      FDropDownButton->Appearance()->SetTransparent(true);
      break;
    case ddkDropDownButton:
      FDropDownButton->SetParent(this);
      FDropDownButton->SetVisible(true);
      FDropDownButton->Appearance()->SetTransparent(false);
      break;
  }
  Invalidate();
}

void TVivIzudeCustomToolBarButton::SetDropDownPosition(TVivIzudeToolBarButtonDropDownPosition Value) {
  if (FDropDownPosition == Value) return;
  FDropDownPosition = Value;
  if (Value == ddpRight) {
    FDropDownButton->SetAlign(alRight);
    FDropDownButton->SetWidth(17);
    FDropDownButton->Appearance()->SetCorners(TVivIzudeGraphicsCorners{gcTopRight, gcBottomRight});
  } else {
    FDropDownButton->SetAlign(alBottom);
    FDropDownButton->SetHeight(10);
    FDropDownButton->Appearance()->SetCorners(TVivIzudeGraphicsCorners{gcBottomLeft, gcBottomRight});
  }
  Invalidate();
}

void TVivIzudeCustomToolBarButton::UpdateDropDownButtonAppearance() {
  FDropDownButton->Appearance()->SetRounding(Appearance()->Rounding());
}

void TVivIzudeCustomToolBarButton::UpdateAppearance() {
  TVivIzudeDefaultToolBarButton::UpdateAppearance();
  UpdateDropDownButtonAppearance();
}

void TVivIzudeCustomToolBarButton::DropDownButtonClick(TObject*) { DropDown(); }

void TVivIzudeCustomToolBarButton::HandleMouseDown(TMouseButton Button, TShiftState Shift, float X, float Y) {
  TVivIzudeDefaultToolBarButton::HandleMouseDown(Button, Shift, X, Y);
  if (FDropDownKind == ddkDropDown) DropDown();
}

void TVivIzudeCustomToolBarButton::SetEnabled(bool Value) {
  TVivIzudeDefaultToolBarButton::SetEnabled(Value);
  FDropDownButton->SetEnabled(Value);
}

void TVivIzudeCustomToolBarButton::SetAdaptToStyle(bool Value) {
  TVivIzudeDefaultToolBarButton::SetAdaptToStyle(Value);
  FDropDownButton->SetAdaptToStyle(Value);
}

TRectF TVivIzudeCustomToolBarButton::GetDropDownRect() const {
  if (FDropDownKind == ddkNormal) return TVivIzudeDefaultToolBarButton::GetDropDownRect();
  const float W = static_cast<float>(Width()), H = static_cast<float>(Height());
  if (FDropDownKind == ddkDropDownButton)
    return {static_cast<float>(FDropDownButton->Left()), static_cast<float>(FDropDownButton->Top()),
            static_cast<float>(FDropDownButton->Left() + FDropDownButton->Width()),
            static_cast<float>(FDropDownButton->Top() + FDropDownButton->Height())};
  if (FDropDownPosition == ddpRight) return {W - static_cast<float>(FDropDownButton->Width()), 0, W, H};
  return {0, H - static_cast<float>(FDropDownButton->Height()), W, H};
}

TRectF TVivIzudeCustomToolBarButton::CalculateBitmapRect(const TRectF& R) {
  if (!BitmapVisible() || FDropDownKind == ddkNormal) return TVivIzudeDefaultToolBarButton::CalculateBitmapRect(R);
  const float S = Layout() == bblLarge ? GetLargeLayoutBitmapSize() : GetBitmapSize();
  const TRectF D = GetDropDownRect();
  if (BitmapPosition() == bbpLeft)
    return {R.Left + 3, R.Top + 3, R.Left + 3 + S, FDropDownPosition == ddpBottom ? D.Top - 3 : R.Bottom - 3};
  return {R.Left + 3, R.Top + 3, FDropDownPosition == ddpRight ? D.Left - 3 : R.Right - 3, R.Top + 3 + S};
}

TRectF TVivIzudeCustomToolBarButton::GetTextRect() {
  TRectF R = TVivIzudeDefaultToolBarButton::GetTextRect();
  if (FDropDownKind != ddkNormal && FDropDownPosition == ddpBottom) {
    const TRectF L = LocalRect(), D = GetDropDownRect();
    R.Right = L.Right - 3;
    R.Bottom = D.Top - 3;
  }
  return R;
}

void TVivIzudeCustomToolBarButton::DrawDropDownPart(TVivIzudeGraphics* AGraphics) {
  if (FDropDownKind != ddkDropDown) return;
  const float W = static_cast<float>(Width()), H = static_cast<float>(Height());
  const TRectF R = FDropDownPosition == ddpRight ? TRectF{W - static_cast<float>(FDropDownButton->Width()), 0, W, H}
                                                 : TRectF{0, H - static_cast<float>(FDropDownButton->Height()), W, H};
  FDropDownButton->DrawButtonBitmap(AGraphics, R);
}

void TVivIzudeCustomToolBarButton::SetHidden(bool Value) {
  if (FHidden == Value) return;
  FHidden = Value;
  UpdateToolBarControl();
}

TRectF TVivIzudeToolBarDropDownButton::CalculateBitmapRect(const TRectF& R) { return Shrunk(R, 3); }

// ---------------------------------------------------------------- separator

TVivIzudeToolBarSeparatorAppearance::TVivIzudeToolBarSeparatorAppearance(TVivIzudeCustomToolBarSeparator* AOwner)
    : FOwner(AOwner),
      FStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, ClGray)),
      FInnerStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, ClWhite)) {
  FStroke->OnChanged = [this](TObject*) { FOwner->Invalidate(); };
  FInnerStroke->OnChanged = [this](TObject*) { FOwner->Invalidate(); };
}

void TVivIzudeToolBarSeparatorAppearance::Assign(TPersistent* Source) {
  if (auto* A = dynamic_cast<TVivIzudeToolBarSeparatorAppearance*>(Source)) {
    FStroke->Assign(A->FStroke.get());
    FInnerStroke->Assign(A->FInnerStroke.get());
  }
}

TVivIzudeCustomToolBarSeparator::TVivIzudeCustomToolBarSeparator(TComponent* AOwner)
    : TVivIzudeCustomToolBarElement(AOwner), FAppearance(std::make_unique<TVivIzudeToolBarSeparatorAppearance>(this)) {
  SetBounds(Left(), Top(), 2, 30);
}

void TVivIzudeCustomToolBarSeparator::Assign(TPersistent* Source) {
  TVivIzudeCustomToolBarElement::Assign(Source);
  if (auto* S = dynamic_cast<TVivIzudeCustomToolBarSeparator*>(Source)) FAppearance->Assign(S->FAppearance.get());
}

void TVivIzudeCustomToolBarSeparator::ApplyState() {
  if (IsLoading()) return;
  ScaleSizeForState(State() == esLarge ? 1.25f : 0.8f);
}

void TVivIzudeCustomToolBarSeparator::ScaleSizeForState(float AFactor) { SetHeight(RoundI(AFactor * Height())); }

void TVivIzudeCustomToolBarSeparator::Draw(TVivIzudeGraphics* G, const TRectF&) {
  const TRectF L = LocalRect();
  G->SetStroke(FAppearance->Stroke());
  G->DrawLine(TPointF{L.Left, L.Top}, TPointF{L.Left, L.Bottom}, gcpmRightDown, gcpmRightDown);
  G->SetStroke(FAppearance->InnerStroke());
  G->DrawLine(TPointF{L.Left + 1, L.Top}, TPointF{L.Left + 1, L.Bottom}, gcpmRightDown, gcpmRightDown);
}

// ---------------------------------------------------------------- settings registry

TVivIzudeToolBarButton::TVivIzudeToolBarButton(TComponent* AOwner) : TVivIzudeCustomToolBarButton(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarButton::RegisterRuntimeClasses() {
  TVivIzudeCustomToolBarButton::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarButtonClasses();
}

TVivIzudeToolBarDropDownButton::TVivIzudeToolBarDropDownButton(TComponent* AOwner)
    : TVivIzudeDefaultToolBarButton(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarDropDownButton::RegisterRuntimeClasses() {
  TVivIzudeDefaultToolBarButton::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarButtonClasses();
}

TVivIzudeToolBarSeparator::TVivIzudeToolBarSeparator(TComponent* AOwner) : TVivIzudeCustomToolBarSeparator(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarSeparator::RegisterRuntimeClasses() {
  TVivIzudeCustomToolBarSeparator::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarButtonClasses();
}

namespace {

// The accessors live on base classes; the builder wants them on the class described.
template <class T, class B, class G, class S>
void AddProperty(TVivIzudeClassBuilder<T>& Builder, const String& AName, G (B::*Getter)() const, void (B::*Setter)(S)) {
  Builder.Property(AName, static_cast<G (T::*)() const>(Getter), static_cast<void (T::*)(S)>(Setter));
}

template <class T, class B>
void AddColor(TVivIzudeClassBuilder<T>& Builder, const String& AName, TColor (B::*Getter)() const,
              void (B::*Setter)(TColor)) {
  Builder.Color(AName, static_cast<TColor (T::*)() const>(Getter), static_cast<void (T::*)(TColor)>(Setter));
}

template <class T, class B, class C>
void AddObject(TVivIzudeClassBuilder<T>& Builder, const String& AName, C* (B::*Getter)() const) {
  Builder.Object(AName, static_cast<C* (T::*)() const>(Getter));
}

// What every element publishes.
template <class T>
void AddElementProperties(TVivIzudeClassBuilder<T>& B) {
  using E = TVivIzudeCustomToolBarElement;
  AddProperty(B, u"State", &E::State, &E::SetState);
  AddProperty(B, u"LastElement", &E::LastElement, &E::SetLastElement);
}

// What the drop-down button publishes; the tool-bar button publishes more.
template <class T>
void AddCommonButtonProperties(TVivIzudeClassBuilder<T>& B) {
  using D = TVivIzudeDefaultToolBarButton;
  AddElementProperties(B);
  AddObject(B, u"Font", &D::Font);
  AddObject(B, u"Appearance", &D::Appearance);
  AddProperty(B, u"Text", &D::Text, &D::SetText);
  AddProperty(B, u"ShowFocus", &D::ShowFocus, &D::SetShowFocus);
  AddProperty(B, u"TextVisible", &D::TextVisible, &D::SetTextVisible);
  AddProperty(B, u"StretchText", &D::StretchText, &D::SetStretchText);
  AddProperty(B, u"WordWrapping", &D::WordWrapping, &D::SetWordWrapping);
  AddProperty(B, u"HorizontalTextAlign", &D::HorizontalTextAlign, &D::SetHorizontalTextAlign);
  AddProperty(B, u"VerticalTextAlign", &D::VerticalTextAlign, &D::SetVerticalTextAlign);
  AddProperty(B, u"Trimming", &D::Trimming, &D::SetTrimming);
  AddObject(B, u"Bitmaps", &D::Bitmaps);
  AddObject(B, u"DisabledBitmaps", &D::DisabledBitmaps);
  AddObject(B, u"HoverBitmaps", &D::HoverBitmaps);
  AddProperty(B, u"BitmapVisible", &D::BitmapVisible, &D::SetBitmapVisible);
  // Refers to a component the button does not own: never persisted.
  B.ReadOnly(u"BitmapContainer", static_cast<TVivIzudeBitmapContainer* (T::*)() const>(&D::BitmapContainer));
}

void RegisterAppearanceClasses() {
  using A = TVivIzudeToolBarCustomButtonAppearance;
  auto B = VivIzudeRegisterClass<A>(u"TVivIzudeToolBarCustomButtonAppearance");
  B.Object(u"NormalFill", &A::NormalFill)
      .Object(u"HoverFill", &A::HoverFill)
      .Object(u"DownFill", &A::DownFill)
      .Object(u"DisabledFill", &A::DisabledFill)
      .Object(u"NormalStroke", &A::NormalStroke)
      .Object(u"HoverStroke", &A::HoverStroke)
      .Object(u"DownStroke", &A::DownStroke)
      .Object(u"DisabledStroke", &A::DisabledStroke)
      .Object(u"InnerStroke", &A::InnerStroke)
      .Property(u"Corners", &A::Corners, &A::SetCorners)
      .Property(u"Rounding", &A::Rounding, &A::SetRounding)
      .Property(u"Transparent", &A::Transparent, &A::SetTransparent)
      .Property(u"ShowInnerStroke", &A::ShowInnerStroke, &A::SetShowInnerStroke)
      .Property(u"FlatStyle", &A::FlatStyle, &A::SetFlatStyle);
  VivIzudeRegisterClass<TVivIzudeToolBarButtonAppearance>(u"TVivIzudeToolBarButtonAppearance").Inherits<A>();
  VivIzudeRegisterClass<TVivIzudeToolBarCompactAppearance>(u"TVivIzudeToolBarCompactAppearance").Inherits<A>();
  VivIzudeRegisterClass<TVivIzudeToolBarQuickMenuButtonAppearance>(u"TVivIzudeToolBarQuickMenuButtonAppearance")
      .Inherits<A>();
  using S = TVivIzudeToolBarSeparatorAppearance;
  VivIzudeRegisterClass<S>(u"TVivIzudeToolBarSeparatorAppearance")
      .Object(u"Stroke", &S::Stroke)
      .Object(u"InnerStroke", &S::InnerStroke);
}

}  // namespace

void RegisterVivIzudeToolBarButtonClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomControlClasses();
    RegisterVivIzudeImageClasses();
    RegisterAppearanceClasses();

    using C = TVivIzudeCustomToolBarButton;
    using D = TVivIzudeDefaultToolBarButton;
    auto Button = VivIzudeRegisterClass<TVivIzudeToolBarButton>(u"TVivIzudeToolBarButton");
    Button.Inherits<TVivIzudeCustomControl>();
    AddCommonButtonProperties(Button);
    AddProperty(Button, u"AutoOptionsMenuText", &C::AutoOptionsMenuText, &C::SetAutoOptionsMenuText);
    AddProperty(Button, u"DropDownAutoWidth", &D::DropDownAutoWidth, &D::SetDropDownAutoWidth);
    AddProperty(Button, u"DropDownKind", &C::DropDownKind, &C::SetDropDownKind);
    AddProperty(Button, u"DropDownPosition", &C::DropDownPosition, &C::SetDropDownPosition);
    AddProperty(Button, u"DropDownHeight", &D::DropDownHeight, &D::SetDropDownHeight);
    AddProperty(Button, u"DropDownWidth", &D::DropDownWidth, &D::SetDropDownWidth);
    // Refers to a control the button does not own: never persisted.
    Button.ReadOnly(u"DropDownControl",
                    static_cast<TControl* (TVivIzudeToolBarButton::*)() const>(&D::DropDownControl));
    AddProperty(Button, u"StretchBitmapIfNoText", &D::StretchBitmapIfNoText, &D::SetStretchBitmapIfNoText);
    AddObject(Button, u"LargeLayoutBitmaps", &D::LargeLayoutBitmaps);
    AddObject(Button, u"LargeLayoutDisabledBitmaps", &D::LargeLayoutDisabledBitmaps);
    AddObject(Button, u"LargeLayoutHoverBitmaps", &D::LargeLayoutHoverBitmaps);
    AddProperty(Button, u"Layout", &D::Layout, &D::SetLayout);
    AddProperty(Button, u"CompactLayout", &D::CompactLayout, &D::SetCompactLayout);
    AddProperty(Button, u"MinimumLayout", &D::MinimumLayout, &D::SetMinimumLayout);
    AddProperty(Button, u"MaximumLayout", &D::MaximumLayout, &D::SetMaximumLayout);
    AddProperty(Button, u"BitmapPosition", &D::BitmapPosition, &D::SetBitmapPosition);
    AddProperty(Button, u"BitmapSize", &D::BitmapSize, &D::SetBitmapSize);
    AddProperty(Button, u"AutoBitmapSize", &D::AutoBitmapSize, &D::SetAutoBitmapSize);
    AddProperty(Button, u"LargeLayoutBitmapSize", &D::LargeLayoutBitmapSize, &D::SetLargeLayoutBitmapSize);

    auto DropDown = VivIzudeRegisterClass<TVivIzudeToolBarDropDownButton>(u"TVivIzudeToolBarDropDownButton");
    DropDown.Inherits<TVivIzudeCustomControl>();
    AddCommonButtonProperties(DropDown);

    auto Separator = VivIzudeRegisterClass<TVivIzudeToolBarSeparator>(u"TVivIzudeToolBarSeparator");
    Separator.Inherits<TVivIzudeCustomControl>();
    AddElementProperties(Separator);
    AddObject(Separator, u"Appearance", &TVivIzudeCustomToolBarSeparator::Appearance);
    return true;
  }();
  (void)Registered;
}
