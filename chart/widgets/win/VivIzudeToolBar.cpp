#include "chart/widgets/win/VivIzudeToolBar.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "chart/drawing/VivIzudeUtils.h"
#include "chart/widgets/VivIzudePersistence.h"
#include "chart/widgets/VivIzudeStyles.h"

namespace {

Integer RoundI(double V) { return static_cast<Integer>(std::nearbyint(V)); }
constexpr TColor Rgb(Byte R, Byte G, Byte B) { return static_cast<TColor>(R | (G << 8) | (B << 16)); }

void SetSolid(TVivIzudeGraphicsFill* F, TColor C) {
  F->BeginUpdate();
  F->SetKind(gfkSolid);
  F->SetColor(C);
  F->EndUpdate();
}

void SetGradient(TVivIzudeGraphicsFill* F, TColor C, TColor To) {
  F->BeginUpdate();
  F->SetKind(gfkGradient);
  F->SetColor(C);
  F->SetColorTo(To);
  F->EndUpdate();
}

TRectF Shrunk(const TRectF& R, float D) { return {R.Left + D, R.Top + D, R.Right - D, R.Bottom - D}; }
bool Inside(const TRectF& R, float X, float Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

// Margins count only for a control that aligns with them.
struct TSideMargins {
  Integer L = 0, T = 0, R = 0, B = 0;
};
TSideMargins MarginsOf(TControl* C) {
  if (!C->AlignWithMargins()) return {};
  return {C->Margins()->Left(), C->Margins()->Top(), C->Margins()->Right(), C->Margins()->Bottom()};
}

}  // namespace

// ---------------------------------------------------------------- appearance

TVivIzudeToolBarAppearance::TVivIzudeToolBarAppearance(TVivIzudeCustomToolBar* AOwner)
    : FOwner(AOwner),
      FFill(std::make_unique<TVivIzudeGraphicsFill>()),
      FStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, 0x808080)),
      FSeparatorStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, 0xFFFFFF)) {
  ResetColors();
  FFill->OnChanged = [this](TObject*) { FOwner->Invalidate(); };
  FStroke->OnChanged = [this](TObject*) { FOwner->Invalidate(); };
  FSeparatorStroke->OnChanged = [this](TObject*) { FOwner->Invalidate(); };
}

TVivIzudeToolBarAppearance::~TVivIzudeToolBarAppearance() {
  FFill->OnChanged = nullptr;
  FStroke->OnChanged = nullptr;
  FSeparatorStroke->OnChanged = nullptr;
}

void TVivIzudeToolBarAppearance::ResetColors() {
  FDragGripColor = 0xD3D3D3;
  SetGradient(FFill.get(), 0xFFFFFF, Rgb(230, 230, 230));
  FStroke->BeginUpdate();
  FStroke->SetKind(gskSolid);
  FStroke->SetColor(0x808080);
  FStroke->EndUpdate();
}

void TVivIzudeToolBarAppearance::Assign(TPersistent* Source) {
  auto* A = dynamic_cast<TVivIzudeToolBarAppearance*>(Source);
  if (!A) return;
  FFill->Assign(A->FFill.get());
  FStroke->Assign(A->FStroke.get());
  FSeparatorStroke->Assign(A->FSeparatorStroke.get());
  FVerticalSpacing = A->FVerticalSpacing;
  FHorizontalSpacing = A->FHorizontalSpacing;
  FDragGripColor = A->FDragGripColor;
  FDragGrip = A->FDragGrip;
  FFlatStyle = A->FFlatStyle;
  FSeparator = A->FSeparator;
}

void TVivIzudeToolBarAppearance::SetHorizontalSpacing(float Value) {
  if (FHorizontalSpacing == Value) return;
  FHorizontalSpacing = Value;
  FOwner->UpdateControls();
}

void TVivIzudeToolBarAppearance::SetVerticalSpacing(float Value) {
  if (FVerticalSpacing == Value) return;
  FVerticalSpacing = Value;
  FOwner->UpdateControls();
}

void TVivIzudeToolBarAppearance::SetDragGrip(bool Value) {
  if (FDragGrip == Value) return;
  FDragGrip = Value;
  FOwner->UpdateControls();
}

void TVivIzudeToolBarAppearance::SetDragGripColor(TColor Value) {
  if (FDragGripColor == Value) return;
  FDragGripColor = Value;
  FOwner->Invalidate();
}

void TVivIzudeToolBarAppearance::SetSeparator(bool Value) {
  if (FSeparator == Value) return;
  FSeparator = Value;
  FOwner->Invalidate();
}

void TVivIzudeToolBarAppearance::SetFlatStyle(bool Value) {
  if (FFlatStyle == Value) return;
  FFlatStyle = Value;
  FOwner->UpdateFlatStyle();
}

// ---------------------------------------------------------------- options menu settings

void TVivIzudeToolBarOptionsMenu::Assign(TPersistent* Source) {
  auto* O = dynamic_cast<TVivIzudeToolBarOptionsMenu*>(Source);
  if (!O) return;
  FShowItemText = O->FShowItemText;
  FShowItemBitmap = O->FShowItemBitmap;
  SetShowButton(O->FShowButton);
  FItemBitmapWidth = O->FItemBitmapWidth;
  FAutoItemBitmapWidth = O->FAutoItemBitmapWidth;
}

void TVivIzudeToolBarOptionsMenu::SetShowButton(bool Value) {
  if (FShowButton == Value) return;
  FShowButton = Value;
  auto* B = FOwner->GetOptionsMenuButtonControl();
  B->SetVisible(Value);
  B->SetParent(Value ? FOwner : nullptr);
  FOwner->UpdateControls();
}

// ---------------------------------------------------------------- tool bar

TVivIzudeCustomToolBar::TVivIzudeCustomToolBar(TComponent* AOwner)
    : TVivIzudeCustomControl(AOwner),
      FCompactAppearance(std::make_unique<TVivIzudeToolBarCompactAppearance>(nullptr)),
      FQuickMenuButtonAppearance(std::make_unique<TVivIzudeToolBarQuickMenuButtonAppearance>(nullptr)),
      FAppearance(std::make_unique<TVivIzudeToolBarAppearance>(this)),
      FOptionsMenu(std::make_unique<TVivIzudeToolBarOptionsMenu>(this)),
      FFont(std::make_unique<TVivIzudeGraphicsFont>()),
      FCompactBitmaps(std::make_unique<TVivScaledBitmaps>(this)),
      FCompactExpanderBitmaps(std::make_unique<TVivScaledBitmaps>(this)),
      FQuickMenuButtonBitmaps(std::make_unique<TVivScaledBitmaps>(this)) {
  FCompactAppearance->OnChange = [this](TObject*) { Invalidate(); };
  FQuickMenuButtonAppearance->OnChange = [this](TObject*) { Invalidate(); };
  FCompactBitmaps->OnChange = [this](TObject*) { CompactBitmapsChanged(); };
  FFont->OnChanged = [this](TObject*) { Invalidate(); };

  FOptionsMenuButton = new TVivIzudeToolBarDropDownButton(this);
  FOptionsMenuButton->SetStored(false);
  FOptionsMenuButton->SetCanCopy(false);
  FOptionsMenuButton->SetAlignWithMargins(true);
  FOptionsMenuButton->Margins()->SetBounds(3, 3, 3, 3);
  FOptionsMenuButton->SetWidth(17);
  FOptionsMenuButton->SetText(u"");
  auto* A = FOptionsMenuButton->Appearance();
  SetSolid(A->NormalFill(), 0xD3D3D3);
  A->SetShowInnerStroke(false);
  A->SetRounding(0);
  SetSolid(A->HoverFill(), Rgb(173, 216, 230));
  SetSolid(A->DownFill(), Rgb(176, 196, 222));
  SetSolid(A->DisabledFill(), 0xD3D3D3);
  FOptionsMenuButton->OnClick = [this](TObject* Sender) { OptionsMenuButtonClick(Sender); };
  for (auto* L :
       {FOptionsMenuButton->Bitmaps(), FOptionsMenuButton->DisabledBitmaps(), FOptionsMenuButton->HoverBitmaps()}) {
    L->AddBitmapFromResource(u"VIVIZUDETOOLBAROPTIONSMENU", 1.0f);
    L->AddBitmapFromResource(u"VIVIZUDETOOLBAROPTIONSMENULARGE", 1.5f);
  }
  FAutoOptionsMenu = new TPopupMenu(this);
  FCompactExpanderBitmaps->AddBitmapFromResource(u"VIVIZUDEGRAPHICSDOWN", 1.0f);
  FCompactPopup = new TVivCToolBarPopup(this);
  FCompactPopup->SetPlacementControl(this);
  FCompactPopup->OnClosePopup = [this](TObject* Sender) { CompactPopupClosed(Sender); };
  FQuickMenuButtonBitmaps->AddBitmapFromResource(u"VIVIZUDETOOLBARQUICKMENU", 1.0f);
  // A new bar is sized at once, before any child asks for a layout.
  UpdateControls();
}

TVivIzudeCustomToolBar::~TVivIzudeCustomToolBar() {
  FCompactBitmaps->OnChange = nullptr;
  FFont->OnChanged = nullptr;
  if (FCustomOptionsMenu) FCustomOptionsMenu->RemoveFreeNotification(this);
  FBlockUpdate = true;
}

void TVivIzudeCustomToolBar::BeforeDestruction() {
  // Children go before this bar's own state: no layout may run on the way,
  // and no element may call back into it.
  FBlockUpdate = true;
  OnUpdateDockPanel = nullptr;
  if (FCompactPopup) FCompactPopup->OnClosePopup = nullptr;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(Controls(I))) {
      E->OnUpdateToolBar = nullptr;
      E->OnUpdateToolBarControl = nullptr;
    }
  for (auto* L : {&FHiddenControls, &FCompactControls})
    for (auto& Entry : *L)
      if (auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(Entry->Control)) {
        E->OnUpdateToolBar = nullptr;
        E->OnUpdateToolBarControl = nullptr;
      }
  TVivIzudeCustomControl::BeforeDestruction();
}

String TVivIzudeCustomToolBar::GetVersion() const { return FormatVersionString(1, 0, 1, 3); }

void TVivIzudeCustomToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TVivIzudeCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FCustomOptionsMenu) FCustomOptionsMenu = nullptr;
  if (AComponent == FOptionsMenuButton) FOptionsMenuButton = nullptr;
  if (AComponent == FCompactPopup) FCompactPopup = nullptr;
  for (auto* L : {&FHiddenControls, &FCompactControls})
    for (auto& E : *L)
      if (E->Control == AComponent) E->Control = nullptr;
}

void TVivIzudeCustomToolBar::SetCustomOptionsMenu(TPopupMenu* Value) {
  if (FCustomOptionsMenu == Value) return;
  if (FCustomOptionsMenu) FCustomOptionsMenu->RemoveFreeNotification(this);
  FCustomOptionsMenu = Value;
  if (FCustomOptionsMenu) FCustomOptionsMenu->FreeNotification(this);
}

void TVivIzudeCustomToolBar::SetFlag(bool& Field, bool Value) {
  if (Field == Value) return;
  Field = Value;
  UpdateControls();
}

void TVivIzudeCustomToolBar::SetMinimumWidth(float Value) {
  if (FMinimumWidth == Value) return;
  FMinimumWidth = Value;
  UpdateControls();
}

void TVivIzudeCustomToolBar::SetText(const String& Value) {
  if (FText == Value) return;
  FText = Value;
  UpdateControls();
  Invalidate();
}

void TVivIzudeCustomToolBar::SetState(TVivIzudeToolBarElementState Value) {
  if (FState == Value) return;
  FState = Value;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(Controls(I))) E->SetState(Value);
}

void TVivIzudeCustomToolBar::SetCompactWidth(float Value) {
  if (FCompactWidth == Value) return;
  FCompactWidth = Value;
  if (FCompact) SetWidth(RoundI(Value));
}

void TVivIzudeCustomToolBar::SetCompactBitmapVisible(bool Value) {
  FCompactBitmapVisible = Value;
  Invalidate();
}

void TVivIzudeCustomToolBar::SetCompactBitmapSize(float Value) {
  FCompactBitmapSize = Value;
  Invalidate();
}

void TVivIzudeCustomToolBar::SetQuickMenuButton(bool Value) {
  FQuickMenuButton = Value;
  Invalidate();
}

void TVivIzudeCustomToolBar::CompactBitmapsChanged() {
  FCompactBitmapVisible = !IsPictureEmpty(TVivIzudeGraphics::GetScaledBitmap(FCompactBitmaps.get(), 0, nullptr));
  Invalidate();
}

void TVivIzudeCustomToolBar::SetVisible(bool Value) {
  const bool Changing = Visible() != Value;
  TVivIzudeCustomControl::SetVisible(Value);
  if (Changing) DoUpdateDockPanel();
}

void TVivIzudeCustomToolBar::DoUpdateDockPanel() {
  if (OnUpdateDockPanel) OnUpdateDockPanel(this);
}

void TVivIzudeCustomToolBar::DoDragGripMoving(double DeltaX, double DeltaY) {
  if (OnDragGripMoving) OnDragGripMoving(this, DeltaX, DeltaY);
}

void TVivIzudeCustomToolBar::UpdateFlatStyle() {
  for (Integer I = 0; I < ControlCount(); ++I) {
    if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(Controls(I)))
      B->Appearance()->SetFlatStyle(FAppearance->FlatStyle());
    else if (auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(Controls(I)))
      T->Appearance()->SetFlatStyle(FAppearance->FlatStyle());
  }
  Invalidate();
}

Integer TVivIzudeCustomToolBar::ControlIndexOf(TControl* C) const {
  if (auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(C)) return E->ControlIndex();
  return static_cast<Integer>(C->Tag);
}

void TVivIzudeCustomToolBar::SetControlIndexOf(TControl* C, Integer Index) {
  if (auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(C))
    E->SetControlIndex(Index);
  else
    C->Tag = Index;
}

void TVivIzudeCustomToolBar::InsertControl(TControl* AControl, Integer AIndex) {
  AControl->SetParent(this);
  if (AIndex >= 0) {
    // Re-inserting at the wanted place: the children after it follow.
    std::vector<TControl*> After;
    for (Integer I = AIndex; I < ControlCount(); ++I)
      if (Controls(I) != AControl) After.push_back(Controls(I));
    for (auto* C : After) C->SetParent(nullptr);
    for (auto* C : After) C->SetParent(this);
  }
}

void TVivIzudeCustomToolBar::AddCustomControl(TControl* AControl, Integer AIndex) {
  // While compact the block stays: the face keeps its width.
  const bool Blocked = FBlockUpdate;
  FBlockUpdate = true;
  InsertControl(AControl, AIndex);
  FBlockUpdate = Blocked;
  UpdateControls();
}

TVivIzudeToolBarButton* TVivIzudeCustomToolBar::AddButton(float AWidth, float AHeight, const String& AResource,
                                                          const String& AResourceLarge, const String& AText,
                                                          Integer AIndex) {
  const bool Blocked = FBlockUpdate;
  FBlockUpdate = true;
  auto* B = GetButtonClass()(this);
  B->Appearance()->SetFlatStyle(FAppearance->FlatStyle());
  B->SetText(AText);
  if (AWidth != -1) B->SetWidth(RoundI(AWidth));
  if (AHeight != -1) B->SetHeight(RoundI(AHeight));
  for (auto* L : {B->Bitmaps(), B->DisabledBitmaps(), B->HoverBitmaps()}) {
    if (!AResource.empty()) L->AddBitmapFromResource(AResource, 1.0f);
    if (!AResourceLarge.empty()) L->AddBitmapFromResource(AResourceLarge, 1.5f);
  }
  InsertControl(B, AIndex);
  FBlockUpdate = Blocked;
  UpdateControls();
  return B;
}

TVivIzudeToolBarSeparator* TVivIzudeCustomToolBar::AddSeparator(Integer AIndex) {
  return AddElement(GetSeparatorClass(), AIndex);
}

TVivIzudeToolBarFontNamePicker* TVivIzudeCustomToolBar::AddFontNamePicker(Integer AIndex) {
  return AddElement(GetFontNamePickerClass(), AIndex);
}

TVivIzudeToolBarFontSizePicker* TVivIzudeCustomToolBar::AddFontSizePicker(Integer AIndex) {
  return AddElement(GetFontSizePickerClass(), AIndex);
}

TVivIzudeToolBarColorPicker* TVivIzudeCustomToolBar::AddColorPicker(Integer AIndex) {
  return AddElement(GetColorPickerClass(), AIndex);
}

TVivIzudeToolBarItemPicker* TVivIzudeCustomToolBar::AddItemPicker(Integer AIndex) {
  return AddElement(GetItemPickerClass(), AIndex);
}

TVivIzudeToolBarBitmapPicker* TVivIzudeCustomToolBar::AddBitmapPicker(Integer AIndex) {
  return AddElement(GetBitmapPickerClass(), AIndex);
}

bool TVivIzudeCustomToolBar::DropDownActive() const {
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(Controls(I)))
      if (B->GetPopupControl()->IsOpen()) return true;
  return false;
}

void TVivIzudeCustomToolBar::AlignControls(TControl* AControl) {
  TVivIzudeCustomControl::AlignControls(AControl);
  UpdateControls();
}

TSizeF TVivIzudeCustomToolBar::GetTextSize() {
  if (FText.empty()) return {0, 0};
  auto G = TVivIzudeGraphics::CreateBitmapCanvas(1, 1, FNativeCanvas);
  G->SetFont(FFont.get());
  TRectF R = LocalRect();
  if (FAppearance->DragGrip()) R.Left += FState == esLarge ? 3 : 2;
  return G->CalculateTextSize(FText, Shrunk(R, 2), FWordWrapping, true);
}

TRectF TVivIzudeCustomToolBar::GetDragGripRect(bool APaint) const {
  const TRectF L = LocalRect();
  const float F = FState == esLarge ? 1.75f : 1.0f;
  if (APaint) return {L.Left + 3, L.Top + 3, L.Left + 6 * F, L.Bottom - 3};
  return {L.Left, L.Top, L.Left + 8 * F, L.Bottom};
}

void TVivIzudeCustomToolBar::UpdateControls() {
  if (FBlockUpdate || IsLoading() || IsDestroying() || !CanUpdate() || !FOptionsMenuButton) return;
  FBlockUpdate = true;
  const Integer Hs = RoundI(FAppearance->HorizontalSpacing()), Vs = RoundI(FAppearance->VerticalSpacing());
  Integer X = Hs, Y = Vs;
  if (FAppearance->DragGrip()) {
    X += RoundI(GetDragGripRect(true).Right);
    if (Hs == 0) X += 3;
  }
  const Integer X0 = X;
  Integer Y0 = Y;
  const TSizeF T = GetTextSize();
  const Integer TextBand = T.cy > 0 ? RoundI(T.cy + 4) : 0;
  Integer MaxRight = T.cx > 0 ? RoundI(T.cx + 8) : 0;
  Integer MaxBottom = 0, ColRight = 0;
  const Integer TbH = Height();

  std::vector<TControl*> Kids;
  for (Integer I = 0; I < ControlCount(); ++I) Kids.push_back(Controls(I));
  Integer Counter = 0;
  for (auto* C : Kids)
    if (C != FOptionsMenuButton) SetControlIndexOf(C, Counter++);

  bool EndedRow = false;
  for (std::size_t I = 0; I < Kids.size(); ++I) {
    TControl* C = Kids[I];
    if (EndedRow) {
      X = X0;
      Y0 = Y0 + MaxBottom - Vs;
      Y = Y0;
    }
    auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(C);
    bool Last = E ? E->LastElement() : false;
    if (OnIsLastElement) OnIsLastElement(this, C, Last);
    if (E) {
      E->OnUpdateToolBar = [this](TObject*) { UpdateControls(); };
      E->OnUpdateToolBarControl = [this](TObject* Sender) { ToggleControl(dynamic_cast<TControl*>(Sender)); };
    }
    EndedRow = false;
    if (C == FOptionsMenuButton || !C->Visible()) continue;
    EndedRow = Last;
    const TSideMargins M = MarginsOf(C);
    if (FAutoAlign) C->SetBounds(X + M.L, Y + M.T, C->Width(), C->Height());
    auto* Btn = dynamic_cast<TVivIzudeDefaultToolBarButton*>(C);
    if (FAutoStretchHeight || (Btn && Btn->Layout() == bblLarge)) {
      const Integer H = TbH - TextBand - Y - M.T - M.B;
      C->SetBounds(C->Left(), C->Top(), C->Width(), H);
      MaxBottom = TbH - TextBand - Y;
    } else
      MaxBottom = std::max(MaxBottom, C->Top() + C->Height() + M.B + Vs);

    TControl* Next = nullptr;
    for (std::size_t J = I + 1; J < Kids.size(); ++J)
      if (Kids[J] != FOptionsMenuButton && Kids[J]->Visible()) {
        Next = Kids[J];
        break;
      }
    auto* NextBtn = dynamic_cast<TVivIzudeDefaultToolBarButton*>(Next);
    const Integer ChildRight = C->Left() + C->Width() + M.R + Hs;
    if (!NextBtn) {
      X = std::max({ChildRight, ColRight, X});
      Y = Y0;
    } else if (NextBtn->Layout() == bblNone || NextBtn->Layout() == bblLarge) {
      X = std::max(ChildRight, X);
      Y = Y0;
    } else {
      Y = std::max(C->Top() + C->Height() + M.B + Vs, Y);
      const TSideMargins N = MarginsOf(NextBtn);
      if (TbH - N.B - TextBand >= N.T + Y + NextBtn->Height()) {
        C->SetBounds(X + M.L, C->Top(), C->Width(), C->Height());
        ColRight = std::max({ChildRight, ColRight, X});
      } else {
        X = std::max({ChildRight, ColRight, X});
        Y = Y0;
      }
    }
    MaxRight = std::max(MaxRight, X);
  }
  if (MaxBottom == 0) MaxBottom = 30;

  auto* B = FOptionsMenuButton;
  B->SetVisible(FOptionsMenu->ShowButton());
  // Kept the last child, so that child positions number the elements.
  if (FOptionsMenu->ShowButton() && B->Parent() == this && Controls(ControlCount() - 1) != B) B->SetParent(nullptr);
  B->SetParent(FOptionsMenu->ShowButton() ? this : nullptr);
  if (B->Visible()) {
    B->SetControlIndex(ControlCount() - 1);
    if (!B->AlignWithMargins()) B->Margins()->SetBounds(0, 0, 0, 0);
    const Integer ML = B->Margins()->Left(), MT = B->Margins()->Top(), MR = B->Margins()->Right(),
                  MB = B->Margins()->Bottom();
    if (FAutoSize) {
      Integer H = B->Height();
      if (FAutoHeight)
        H = MaxBottom - MB - MT;
      else if (FAutoStretchHeight)
        H = TbH - MB - TextBand - MT;
      B->SetBounds(ML + MaxRight, MT, B->Width(), H);
    } else
      B->SetBounds(Width() - B->Width() - MR, MT, B->Width(), TbH - MB - MT - TextBand);
    MaxRight += B->Width() + MR + ML;
  }

  if (FAutoSize) {
    if (FAppearance->Separator()) MaxRight += RoundI(FAppearance->SeparatorStroke()->Width());
    MaxRight = RoundI(std::max(FMinimumWidth, static_cast<float>(MaxRight)));
    const TVivControlAlignment Al = ControlAlignment();
    if (Al == TVivControlAlignment::caNone) {
      const TSideMargins Own = MarginsOf(this);
      MaxRight += Own.L + Own.R;
    }
    MaxBottom += TextBand;
    if (FAutoHeight && FAutoWidth && Al == TVivControlAlignment::caNone)
      SetBounds(Left(), Top(), MaxRight, MaxBottom);
    else if (FAutoHeight && Al != TVivControlAlignment::caLeft && Al != TVivControlAlignment::caRight &&
             Al != TVivControlAlignment::caClient)
      SetHeight(MaxBottom);
    else if (FAutoWidth && Al != TVivControlAlignment::caTop && Al != TVivControlAlignment::caBottom &&
             Al != TVivControlAlignment::caClient)
      SetWidth(MaxRight);
  }
  if (OnUpdateControls) OnUpdateControls(this);
  FBlockUpdate = false;
}

// ---- painting

void TVivIzudeCustomToolBar::Draw(TVivIzudeGraphics* G, const TRectF& ARect) {
  const TRectF L = LocalRect();
  if (FCompact) {
    auto* A = FCompactAppearance.get();
    G->SetFill(FDown ? A->DownFill() : FHover ? A->HoverFill() : A->NormalFill());
    G->SetStroke(FDown ? A->DownStroke() : FHover ? A->HoverStroke() : A->NormalStroke());
    if (A->FlatStyle()) G->SetFillKind(gfkSolid);
    G->DrawRectangle(TRectF{L.Left, L.Top + 2, L.Right - 3, L.Bottom - 2}, gcrmShrinkAll);
    DrawCompactBitmap(G, ARect);
    DrawCompactText(G, ARect);
    DrawCompactExpander(G, ARect);
  } else {
    G->SetFill(FAppearance->Fill());
    G->SetStroke(FAppearance->Stroke());
    if (FAppearance->FlatStyle()) G->SetFillKind(gfkSolid);
    G->DrawRectangle(L, gcrmShrinkAll);
    if (FAppearance->DragGrip()) DrawDragGrip(G, GetDragGripRect(true));
    DrawToolBarText(G, ARect);
    if (FQuickMenuButton) {
      auto* A = FQuickMenuButtonAppearance.get();
      const bool D = FQuickMenuButtonDown, H = FQuickMenuButtonHover;
      G->SetFill(D ? A->DownFill() : H ? A->HoverFill() : A->NormalFill());
      G->SetStroke(D ? A->DownStroke() : H ? A->HoverStroke() : A->NormalStroke());
      if (A->FlatStyle()) G->SetFillKind(gfkSolid);
      G->DrawRectangle(GetQuickMenuButtonRect(), gcrmShrinkAll);
      G->DrawScaledBitmap(Shrunk(GetQuickMenuButtonRect(), 2), FQuickMenuButtonBitmaps.get(), 0, true, false, true,
                          false);
    }
  }
  if (FAppearance->Separator()) {
    const float W = FAppearance->SeparatorStroke()->Width();
    G->SetStroke(FAppearance->SeparatorStroke());
    G->DrawLine(TPointF{L.Right - W, L.Top + 4}, TPointF{L.Right - W, L.Bottom - 4}, gcpmRightDown, gcpmRightDown);
  }
}

void TVivIzudeCustomToolBar::DrawDragGrip(TVivIzudeGraphics* G, const TRectF& R) {
  const Integer D = FState == esLarge ? 3 : 2;
  G->SetFill(nullptr);
  G->SetFillKind(gfkSolid);
  G->SetFillColor(FAppearance->DragGripColor());
  const Integer Count = RoundI(R.Bottom) / (2 * D);
  float Top = R.Top;
  for (Integer I = 0; I < Count; ++I) {
    const float Lx = R.Left + (R.Width() - D) / 2;
    G->DrawRectangle(TRectF{std::trunc(Lx), std::trunc(Top + 1), std::trunc(Lx + D), std::trunc(Top + 1 + D)},
                     gcrmShrinkAll);
    Top += 2 * D;
  }
}

void TVivIzudeCustomToolBar::DrawToolBarText(TVivIzudeGraphics* G, const TRectF&) {
  if (FText.empty()) return;
  TRectF R = LocalRect();
  if (FAppearance->DragGrip()) R.Left += FState == esLarge ? 3 : 2;
  R = Shrunk(R, 2);
  R.Top = R.Bottom - GetTextSize().cy;
  G->SetFont(FFont.get());
  G->DrawText(R, FText, FWordWrapping, FHorizontalTextAlign, FVerticalTextAlign, FTrimming, 0, -1, -1, true);
}

TRectF TVivIzudeCustomToolBar::GetQuickMenuButtonRect() const {
  TRectF R{static_cast<float>(Width()) - 16, static_cast<float>(Height()) - 16, static_cast<float>(Width()),
           static_cast<float>(Height())};
  if (FAppearance->Separator()) {
    R.Left -= FAppearance->SeparatorStroke()->Width();
    R.Right -= FAppearance->SeparatorStroke()->Width();
  }
  return R;
}

// ---- mouse

void TVivIzudeCustomToolBar::HandleMouseDown(TMouseButton Button, TShiftState, float X, float Y) {
  if (FAppearance->DragGrip() && !FDragGripMoving) {
    FDragGripDown = Inside(GetDragGripRect(false), X, Y);
    if (FDragGripDown) FDragGripDownPt = TPointF{X, Y};
  }
  if (!FDragGripDown) {
    if (FCompact)
      FDown = true;
    else if (FQuickMenuButton)
      FQuickMenuButtonDown = Inside(GetQuickMenuButtonRect(), X, Y);
    Invalidate();
    CaptureMouse();
  }
  if (Button != mbRight && OnInternalMouseDown) OnInternalMouseDown(this);
}

void TVivIzudeCustomToolBar::HandleMouseMove(TShiftState, float X, float Y) {
  if (FCompact) {
    if (!FHover) Invalidate();
    FHover = true;
  } else if (FQuickMenuButton) {
    const bool H = Inside(GetQuickMenuButtonRect(), X, Y);
    if (H != FQuickMenuButtonHover) {
      FQuickMenuButtonHover = H;
      Invalidate();
    }
  }
  if (FAppearance->DragGrip()) {
    if (FDragGripDown) {
      if (!FDragGripMoving) {
        CaptureMouse();
        FDragGripMoving = true;
      }
      const double Dx = FDragGripDownPt.X - X, Dy = FDragGripDownPt.Y - Y;
      auto* Panel = dynamic_cast<TVivIzudeCustomDockPanel*>(Parent());
      if (FAutoMoveToolBar && Panel && Panel->AutoAlign()) {
        TVivMargins* M = Panel->Appearance()->Margins();
        Integer NewLeft = RoundI(Left() - Dx), NewTop = RoundI(Top() - Dy);
        NewTop = std::max(NewTop, RoundI(M->Top()));
        if (NewLeft < RoundI(M->Left()))
          NewLeft = RoundI(M->Left());
        else if (NewLeft + Width() > Panel->Width() - M->Right())
          NewLeft = RoundI(Panel->Width() - M->Right() - Width());
        SetBounds(NewLeft, NewTop, Width(), Height());
      }
      FDragGripDownPt = TPointF{static_cast<float>(X + Dx), static_cast<float>(Y + Dy)};
      DoDragGripMoving(Dx, Dy);
    } else {
      const bool Over = Inside(GetDragGripRect(false), X, Y);
      if (Over != FInsideDrag) {
        FInsideDrag = Over;
        SetCursor(Over ? crSizeAll : crDefault);
      }
    }
  }
  if (OnInternalMouseMove) OnInternalMouseMove(this);
}

void TVivIzudeCustomToolBar::HandleMouseUp(TMouseButton Button, TShiftState, float, float) {
  if (FDragGripDown)
    ReleaseMouse();
  else if (FDown) {
    Invalidate();
    ReleaseMouse();
    ShowCompactPopup();
  } else if (FQuickMenuButtonDown && !FCompact) {
    Invalidate();
    ReleaseMouse();
    if (OnQuickMenuButtonClick) OnQuickMenuButtonClick(this);
  }
  const bool WasMoving = FDragGripMoving;
  FDown = FQuickMenuButtonDown = FDragGripDown = FDragGripMoving = false;
  // The panel skipped this tool bar while it moved; now it takes part.
  if (WasMoving) DoUpdateDockPanel();
  if (Button != mbRight && OnInternalMouseUp) OnInternalMouseUp(this);
}

void TVivIzudeCustomToolBar::HandleMouseLeave() {
  FHover = FQuickMenuButtonHover = false;
  SetCursor(crDefault);
  FInsideDrag = false;
  Invalidate();
}

bool TVivIzudeCustomToolBar::HasHint() const {
  if (FQuickMenuButtonHover && !QuickMenuButtonHint.empty()) return true;
  return TVivIzudeCustomControl::HasHint();
}

String TVivIzudeCustomToolBar::GetHintString() const {
  return FQuickMenuButtonHover ? QuickMenuButtonHint : TVivIzudeCustomControl::GetHintString();
}

void TVivIzudeCustomToolBar::ApplyStyle() {
  TVivIzudeCustomControl::ApplyStyle();
  TColor C;
  if (TVivIzudeStyles::GetStyleHeaderFillColor(C)) SetSolid(FAppearance->Fill(), C);
  if (TVivIzudeStyles::GetStyleHeaderFillColorTo(C)) {
    FAppearance->Fill()->SetKind(gfkGradient);
    FAppearance->Fill()->SetColorTo(C);
  }
}

void TVivIzudeCustomToolBar::ResetToDefaultStyle() {
  TVivIzudeCustomControl::ResetToDefaultStyle();
  FAppearance->ResetColors();
}

void TVivIzudeCustomToolBar::Assign(TPersistent* Source) {
  TVivIzudeCustomControl::Assign(Source);
  auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(Source);
  if (!T) return;
  FCompactAppearance->Assign(T->FCompactAppearance.get());
  FQuickMenuButtonAppearance->Assign(T->FQuickMenuButtonAppearance.get());
  FQuickMenuButton = T->FQuickMenuButton;
  FCompactBitmaps->Assign(T->FCompactBitmaps.get());
  FCanCompact = T->FCanCompact;
  FMinimumWidth = T->FMinimumWidth;
  FCompactWidth = T->FCompactWidth;
  FCompactBitmapSize = T->FCompactBitmapSize;
  FCompactBitmapVisible = T->FCompactBitmapVisible;
  FText = T->FText;
  FWordWrapping = T->FWordWrapping;
  FHorizontalTextAlign = T->FHorizontalTextAlign;
  FVerticalTextAlign = T->FVerticalTextAlign;
  FTrimming = T->FTrimming;
  FFont->Assign(T->FFont.get());
  FAutoSize = T->FAutoSize;
  FAutoHeight = T->FAutoHeight;
  FAutoWidth = T->FAutoWidth;
  FAutoAlign = T->FAutoAlign;
  FAutoStretchHeight = T->FAutoStretchHeight;
  FAutoMoveToolBar = T->FAutoMoveToolBar;
  FAppearance->Assign(T->FAppearance.get());
  // The flag only: a copy has no compact mode of its own to enter.
  FCompact = T->FCompact;
  Invalidate();
}

// ---------------------------------------------------------------- options menu

TVivIzudeToolBarControl* TVivIzudeCustomToolBar::FindHiddenControl(TControl* AControl) const {
  for (auto& E : FHiddenControls)
    if (E->Control == AControl) return E.get();
  return nullptr;
}

TVivIzudeToolBarControl* TVivIzudeCustomToolBar::FindCompactControl(TControl* AControl) const {
  for (auto& E : FCompactControls)
    if (E->Control == AControl) return E.get();
  return nullptr;
}

Integer TVivIzudeCustomToolBar::GetHiddenControlIndex(TControl* AControl) const {
  std::vector<TVivIzudeToolBarControl*> Sorted;
  for (auto& E : FHiddenControls) Sorted.push_back(E.get());
  std::stable_sort(Sorted.begin(), Sorted.end(), [](auto* A, auto* B) { return A->ControlIndex < B->ControlIndex; });
  for (std::size_t I = 0; I < Sorted.size(); ++I)
    if (Sorted[I]->Control == AControl) return static_cast<Integer>(I);
  return static_cast<Integer>(Sorted.size());
}

void TVivIzudeCustomToolBar::OptionsMenuButtonClick(TObject*) {
  if (OnOptionsMenuButtonClick) {
    OnOptionsMenuButtonClick(this);
    return;
  }
  auto* B = FOptionsMenuButton;
  const TPointF P =
      ConvertClientToScreen(TPointF{static_cast<float>(B->Left()), static_cast<float>(B->Top() + B->Height())});
  ShowOptionsMenu(P.X, P.Y);
}

void TVivIzudeCustomToolBar::ShowOptionsMenu(float X, float Y) {
  if (FCustomOptionsMenu) {
    FCustomOptionsMenu->Popup(RoundI(X), RoundI(Y));
    return;
  }
  BuildOptionsMenu();
  if (OnOptionsMenuCustomize) OnOptionsMenuCustomize(this, FAutoOptionsMenu);
  if (FAutoOptionsMenu->Items()->Count() > 0) FAutoOptionsMenu->Popup(RoundI(X), RoundI(Y));
}

void TVivIzudeCustomToolBar::BuildOptionsMenu() {
  std::vector<TControl*> All;
  for (Integer I = 0; I < ControlCount(); ++I) All.push_back(Controls(I));
  for (auto& E : FHiddenControls)
    if (E->Control) All.push_back(E->Control);
  std::stable_sort(All.begin(), All.end(),
                   [this](TControl* A, TControl* B) { return ControlIndexOf(A) < ControlIndexOf(B); });
  FAutoOptionsMenu->Items()->Clear();
  for (auto* C : All) {
    if (C == FOptionsMenuButton || dynamic_cast<TVivIzudeCustomToolBarSeparator*>(C)) continue;
    bool CanShow = true;
    if (OnOptionsMenuItemCanShow) OnOptionsMenuItemCanShow(this, C, CanShow);
    if (!CanShow) continue;
    auto* Item = new TVivIzudeToolBarOptionMenuItem(FAutoOptionsMenu);
    Item->OnClick = [this](TObject* Sender) { OptionsMenuItemClick(Sender); };
    if (FOptionsMenu->ShowItemText()) {
      String Caption;
      if (auto* Btn = dynamic_cast<TVivIzudeCustomToolBarButton*>(C)) Caption = Btn->AutoOptionsMenuText();
      if (Caption.empty()) Caption = C->Name();
      Item->SetCaption(Caption);
    }
    Item->Control = C;
    Item->SetChecked(C->Parent() != nullptr);
    if (OnOptionsMenuItemCustomize) OnOptionsMenuItemCustomize(this, C, Item);
    FAutoOptionsMenu->Items()->Add(Item);
  }
  for (Integer I = 0; I < FAutoOptionsMenu->Items()->Count(); ++I)
    if (auto* Item = dynamic_cast<TVivIzudeToolBarOptionMenuItem*>(FAutoOptionsMenu->Items()->Items(I)))
      Item->GlyphWidth = FOptionsMenu->AutoItemBitmapWidth() ? 0 : FOptionsMenu->ItemBitmapWidth();
}

void TVivIzudeCustomToolBar::OptionsMenuItemClick(TObject* Sender) {
  auto* Item = dynamic_cast<TVivIzudeToolBarOptionMenuItem*>(Sender);
  TControl* C = Item ? Item->Control : nullptr;
  bool ExecuteDefault = true;
  if (OnOptionsMenuItemClick) OnOptionsMenuItemClick(this, C, dynamic_cast<TMenuItem*>(Sender), ExecuteDefault);
  if (ExecuteDefault) ToggleControl(C);
}

void TVivIzudeCustomToolBar::ToggleControl(TControl* AControl) {
  if (!AControl) return;
  FBlockUpdate = true;
  if (TVivIzudeToolBarControl* Entry = FindHiddenControl(AControl)) {
    Integer Position = Entry->ControlIndex - GetHiddenControlIndex(AControl);
    Position = std::min(Position, ControlCount());
    FHiddenControls.erase(
        std::find_if(FHiddenControls.begin(), FHiddenControls.end(), [Entry](auto& E) { return E.get() == Entry; }));
    InsertControl(AControl, std::max(Position, 0));
    AControl->SetVisible(true);
  } else {
    auto Entry2 = std::make_unique<TVivIzudeToolBarControl>();
    Entry2->ControlIndex = ControlIndexOf(AControl);
    Entry2->Control = AControl;
    FHiddenControls.push_back(std::move(Entry2));
    AControl->SetParent(nullptr);
    AControl->SetVisible(false);
  }
  FBlockUpdate = false;
  UpdateControls();
}

// ---------------------------------------------------------------- compact mode

void TVivIzudeCustomToolBar::SetCompact(bool Value) {
  if (FCompact == Value || !FCanCompact) return;
  FCompact = Value;
  if (Value) {
    FOldMenuButtonState = FOptionsMenu->ShowButton();
    FOptionsMenu->SetShowButton(false);
    FOldWidth = static_cast<float>(Width());
    StoreCompactControls();
    SetWidth(RoundI(FCompactWidth));
    UpdateControls();
  } else {
    SetWidth(RoundI(FOldWidth));
    RestoreCompactControls();
    FOptionsMenu->SetShowButton(FOldMenuButtonState);
    UpdateControls();
  }
}

void TVivIzudeCustomToolBar::StoreCompactControls() {
  FBlockUpdate = true;
  FCompactControls.clear();
  for (Integer I = ControlCount() - 1; I >= 0; --I) {
    TControl* C = Controls(I);
    if (C == FOptionsMenuButton) continue;
    auto E = std::make_unique<TVivIzudeToolBarControl>();
    E->ControlIndex = ControlIndexOf(C);
    E->Control = C;
    if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(C)) {
      E->Layout = B->Layout();
      if (B->CompactLayout() == bblNone && B->Layout() != bblNone) B->SetCompactLayout(B->MaximumLayout());
    }
    FCompactControls.push_back(std::move(E));
    C->SetParent(nullptr);
    C->SetVisible(false);
  }
  // The block stays while compact: no layout runs, the width stays.
  Invalidate();
}

void TVivIzudeCustomToolBar::RestoreCompactControls() {
  FBlockUpdate = true;
  for (auto It = FCompactControls.rbegin(); It != FCompactControls.rend(); ++It) {
    TControl* C = (*It)->Control;
    if (!C) continue;
    auto* E = dynamic_cast<TVivIzudeCustomToolBarElement*>(C);
    if (E) E->SetBlockUpdate(true);
    C->SetParent(this);
    C->SetVisible(true);
    if (E) E->SetBlockUpdate(false);
  }
  FBlockUpdate = false;
  UpdateControls();
  Invalidate();
}

bool TVivIzudeCustomToolBar::CanShrink() const {
  if (!FCompact && FCanCompact) return true;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(Controls(I)))
      if (B != FOptionsMenuButton && B->Layout() != bblNone && B->Layout() > B->MinimumLayout()) return true;
  return false;
}

bool TVivIzudeCustomToolBar::CanExpand() const {
  if (FCompact) return true;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(Controls(I)))
      if (B != FOptionsMenuButton && B->Layout() != bblNone && B->Layout() < B->MaximumLayout()) return true;
  return false;
}

void TVivIzudeCustomToolBar::CloseCompactPopup() {
  if (FCompactPopup) FCompactPopup->Deactivate();
}

void TVivIzudeCustomToolBar::CloseSiblingCompactPopups() {
  if (!Parent()) return;
  for (Integer I = 0; I < Parent()->ControlCount(); ++I)
    if (auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(Parent()->Controls(I))) T->CloseCompactPopup();
}

void TVivIzudeCustomToolBar::DoCompactClick() {
  if (OnCompactClick) OnCompactClick(this);
}

void TVivIzudeCustomToolBar::ShowCompactPopup() {
  if (!FCompactPopup) return;
  CloseSiblingCompactPopups();
  delete FCompactToolbar;
  FCompactToolbar = new TVivIzudeCustomToolBar(FCompactPopup);
  auto* Copy = FCompactToolbar;
  Copy->Assign(this);
  Copy->SetCompact(false);
  Copy->SetAutoSize(true);
  Copy->SetAutoHeight(false);
  Copy->SetAutoWidth(true);
  Copy->SetAutoStretchHeight(false);
  Copy->Appearance()->SetSeparator(false);
  Copy->SetControlMargins(1, 1, 1, 1);
  Copy->SetHeight(Height() + 2);
  for (auto It = FCompactControls.rbegin(); It != FCompactControls.rend(); ++It) {
    TControl* C = (*It)->Control;
    if (!C) continue;
    if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(C)) B->SetLayout(B->CompactLayout());
    C->SetVisible(true);
    C->SetParent(Copy);
  }
  Copy->UpdateControls();
  FCompactPopup->SetContentControl(Copy);
  FCompactPopup->Activate();
  DoCompactClick();
}

void TVivIzudeCustomToolBar::CompactPopupClosed(TObject*) {
  if (FCompactPopup) FCompactPopup->SetContentControl(nullptr);
  for (auto& E : FCompactControls) {
    TControl* C = E->Control;
    if (!C) continue;
    if (auto* B = dynamic_cast<TVivIzudeDefaultToolBarButton*>(C)) B->SetLayout(E->Layout);
    C->SetParent(nullptr);
    C->SetVisible(false);
  }
  delete FCompactToolbar;
  FCompactToolbar = nullptr;
}

float TVivIzudeCustomToolBar::GetCompactBitmapSize() { return FCompactBitmapSize; }

TRectF TVivIzudeCustomToolBar::GetCompactBitmapRect(const TRectF& R) {
  if (!FCompactBitmapVisible) return R;
  const float S = GetCompactBitmapSize();
  if (FText.empty()) {
    TRectF B = Shrunk(R, 3);
    if (S != -1) {
      const float X = static_cast<float>(RoundI(R.Left + (R.Width() - S) / 2));
      const float Y = static_cast<float>(RoundI(R.Top + (R.Height() - S) / 2));
      B = {X, Y, X + S, Y + S};
    }
    return B;
  }
  return {R.Left + 3, R.Top + 3, R.Right - 3, R.Top + S};
}

TRectF TVivIzudeCustomToolBar::GetCompactTextRect() {
  const TRectF L = LocalRect();
  const TRectF B = GetCompactBitmapRect(L);
  return {L.Left + 3, B.Bottom + 3, L.Right - 3, L.Bottom - 23};
}

void TVivIzudeCustomToolBar::DrawCompactBitmap(TVivIzudeGraphics* G, const TRectF& ARect) {
  G->DrawScaledBitmap(GetCompactBitmapRect(ARect), FCompactBitmaps.get(), 0, true, false, true, false);
}

void TVivIzudeCustomToolBar::DrawCompactText(TVivIzudeGraphics* G, const TRectF&) {
  if (FText.empty()) return;
  auto State = G->SaveState();
  G->ClipRect(GetCompactTextRect());
  G->SetFont(FFont.get());
  G->DrawText(GetCompactTextRect(), FText, FWordWrapping, FHorizontalTextAlign, FVerticalTextAlign, FTrimming, 0, -1,
              -1, true);
  G->RestoreState(std::move(State));
}

void TVivIzudeCustomToolBar::DrawCompactExpander(TVivIzudeGraphics* G, const TRectF& ARect) {
  G->DrawScaledBitmap(Shrunk(TRectF{ARect.Left, ARect.Bottom - 20, ARect.Right, ARect.Bottom}, 2),
                      FCompactExpanderBitmaps.get(), 0, true, false, true, false);
}

// ---------------------------------------------------------------- dock panel

TVivDockPanelAppearance::TVivDockPanelAppearance(TVivIzudeCustomDockPanel* AOwner)
    : FOwner(AOwner),
      FFill(std::make_unique<TVivIzudeGraphicsFill>(gfkSolid, 0xFFFFFF)),
      FStroke(std::make_unique<TVivIzudeGraphicsStroke>(gskSolid, 0x808080)),
      FMargins(std::make_unique<TVivMargins>(TRectF{3, 3, 3, 3})) {
  FFill->OnChanged = [this](TObject*) { FOwner->Invalidate(); };
  FStroke->OnChanged = [this](TObject*) { FOwner->Invalidate(); };
}

TVivDockPanelAppearance::~TVivDockPanelAppearance() {
  FFill->OnChanged = nullptr;
  FStroke->OnChanged = nullptr;
}

void TVivDockPanelAppearance::Assign(TPersistent* Source) {
  if (auto* A = dynamic_cast<TVivDockPanelAppearance*>(Source)) {
    FFill->Assign(A->FFill.get());
    FStroke->Assign(A->FStroke.get());
  }
}

TVivIzudeCustomDockPanel::TVivIzudeCustomDockPanel(TComponent* AOwner)
    : TVivIzudeCustomControl(AOwner), FAppearance(std::make_unique<TVivDockPanelAppearance>(this)) {
  SetAlign(alTop);
  SetHeight(40);
}

TVivIzudeCustomDockPanel::~TVivIzudeCustomDockPanel() {
  FBlockUpdate = true;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(Controls(I))) T->OnUpdateDockPanel = nullptr;
}

void TVivIzudeCustomDockPanel::BeforeDestruction() {
  FBlockUpdate = true;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(Controls(I))) T->OnUpdateDockPanel = nullptr;
  TVivIzudeCustomControl::BeforeDestruction();
}

String TVivIzudeCustomDockPanel::GetVersion() const { return FormatVersionString(1, 0, 1, 3); }

void TVivIzudeCustomDockPanel::Assign(TPersistent* Source) {
  TVivIzudeCustomControl::Assign(Source);
  if (auto* P = dynamic_cast<TVivIzudeCustomDockPanel*>(Source)) {
    FAppearance->Assign(P->FAppearance.get());
    SetAutoSize(P->FAutoSize);
    SetAutoAlign(P->FAutoAlign);
    SetState(P->FState);
  }
}

void TVivIzudeCustomDockPanel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  UpdateControls();
}

void TVivIzudeCustomDockPanel::SetAutoAlign(bool Value) {
  if (FAutoAlign == Value) return;
  FAutoAlign = Value;
  UpdateControls();
}

void TVivIzudeCustomDockPanel::SetState(TVivIzudeToolBarElementState Value) {
  if (FState == Value) return;
  FState = Value;
  for (Integer I = 0; I < ControlCount(); ++I)
    if (auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(Controls(I))) T->SetState(Value);
}

TVivIzudeToolBar* TVivIzudeCustomDockPanel::AddToolBar(Integer) {
  FBlockUpdate = true;
  auto* T = new TVivIzudeToolBar(this);
  T->SetParent(this);
  FBlockUpdate = false;
  UpdateControls();
  return T;
}

void TVivIzudeCustomDockPanel::AlignControls(TControl* AControl) {
  TVivIzudeCustomControl::AlignControls(AControl);
  UpdateControls();
}

void TVivIzudeCustomDockPanel::UpdateControls() {
  if (FBlockUpdate || IsLoading() || IsDestroying()) return;
  FBlockUpdate = true;
  if (FAutoAlign) {
    ClampControls();
    SeparateControls();
  }
  if (FAutoSize) {
    Integer H = 0;
    for (Integer I = 0; I < ControlCount(); ++I) {
      TControl* C = Controls(I);
      if (C->Visible())
        H = std::max(H, RoundI(std::max(static_cast<float>(C->Top() + C->Height()) + FAppearance->Margins()->Bottom(),
                                        static_cast<float>(H))));
    }
    if (H == 0) H = 30;
    if (IsDesigning()) H += 15;
    SetBounds(Left(), Top(), Width(), H);
  }
  FBlockUpdate = false;
}

void TVivIzudeCustomDockPanel::ClampControls() {
  TVivMargins* M = FAppearance->Margins();
  for (Integer I = 0; I < ControlCount(); ++I) {
    TControl* C = Controls(I);
    auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(C);
    if (T) T->OnUpdateDockPanel = [this](TObject*) { UpdateControls(); };
    if ((T && T->IsDragging()) || !C->Visible()) continue;
    Integer L = C->Left(), Tp = C->Top();
    if (Tp < M->Top()) Tp = RoundI(M->Top());
    if (L < M->Left())
      L = RoundI(M->Left());
    else if (L + C->Width() > Width() - M->Right())
      L = RoundI(Width() - M->Right() - C->Width());
    if (L != C->Left() || Tp != C->Top()) C->SetBounds(L, Tp, C->Width(), C->Height());
  }
}

void TVivIzudeCustomDockPanel::SeparateControls() {
  for (Integer I = 0; I < ControlCount(); ++I) {
    TControl* A = Controls(I);
    auto* T = dynamic_cast<TVivIzudeCustomToolBar*>(A);
    if (!A->Visible() || (T && T->IsDragging())) continue;
    for (Integer J = 0; J < ControlCount(); ++J) {
      TControl* B = Controls(J);
      if (B == A || !B->Visible()) continue;
      if (!(A->Left() - 3 <= B->Left() && B->Left() <= A->Left() + A->Width() + 3)) continue;
      const float C = A->Top() + A->Height() / 2.0f;
      if (B->Top() < C && B->Top() >= A->Top() - 3)
        B->SetBounds(A->Left() + A->Width() + 3, A->Top(), B->Width(), B->Height());
      else if (C <= B->Top() && B->Top() <= A->Top() + A->Height() + 3)
        B->SetBounds(A->Left(), A->Top() + A->Height() + 3, B->Width(), B->Height());
    }
  }
}

void TVivIzudeCustomDockPanel::Draw(TVivIzudeGraphics* G, const TRectF&) {
  G->SetFill(FAppearance->Fill());
  G->SetStroke(FAppearance->Stroke());
  G->DrawRectangle(LocalRect(), gcrmShrinkAll);
}

void TVivIzudeCustomDockPanel::ApplyStyle() {
  TVivIzudeCustomControl::ApplyStyle();
  TColor C;
  if (TVivIzudeStyles::GetStyleHeaderFillColor(C)) SetSolid(FAppearance->Fill(), C);
  if (TVivIzudeStyles::GetStyleHeaderFillColorTo(C)) {
    FAppearance->Fill()->SetKind(gfkGradient);
    FAppearance->Fill()->SetColorTo(C);
  }
}

// ---------------------------------------------------------------- settings registry

TVivIzudeToolBar::TVivIzudeToolBar(TComponent* AOwner) : TVivIzudeCustomToolBar(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBar::RegisterRuntimeClasses() {
  TVivIzudeCustomToolBar::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarClasses();
}

void RegisterVivIzudeToolBarClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeToolBarButtonClasses();
    using A = TVivIzudeToolBarAppearance;
    VivIzudeRegisterClass<A>(u"TVivIzudeToolBarAppearance")
        .Property(u"FlatStyle", &A::FlatStyle, &A::SetFlatStyle)
        .Object(u"Fill", &A::Fill)
        .Object(u"Stroke", &A::Stroke)
        .Property(u"Separator", &A::Separator, &A::SetSeparator)
        .Object(u"SeparatorStroke", &A::SeparatorStroke)
        .Property(u"HorizontalSpacing", &A::HorizontalSpacing, &A::SetHorizontalSpacing)
        .Property(u"VerticalSpacing", &A::VerticalSpacing, &A::SetVerticalSpacing)
        .Property(u"DragGrip", &A::DragGrip, &A::SetDragGrip)
        .Color(u"DragGripColor", &A::DragGripColor, &A::SetDragGripColor);
    using M = TVivIzudeToolBarOptionsMenu;
    VivIzudeRegisterClass<M>(u"TVivIzudeToolBarOptionsMenu")
        .Property(u"ShowItemText", &M::ShowItemText, &M::SetShowItemText)
        .Property(u"ShowItemBitmap", &M::ShowItemBitmap, &M::SetShowItemBitmap)
        .Property(u"ShowButton", &M::ShowButton, &M::SetShowButton)
        .Property(u"ItemBitmapWidth", &M::ItemBitmapWidth, &M::SetItemBitmapWidth)
        .Property(u"AutoItemBitmapWidth", &M::AutoItemBitmapWidth, &M::SetAutoItemBitmapWidth);

    using C = TVivIzudeCustomToolBar;
    using T = TVivIzudeToolBar;
    auto B = VivIzudeRegisterClass<T>(u"TVivIzudeToolBar");
    B.Inherits<TVivIzudeCustomControl>();
    const std::pair<const char16_t*, std::pair<bool (C::*)() const, void (C::*)(bool)>> Flags[] = {
        {u"AutoHeight", {&C::AutoHeight, &C::SetAutoHeight}},
        {u"AutoWidth", {&C::AutoWidth, &C::SetAutoWidth}},
        {u"AutoSize", {&C::AutoSize, &C::SetAutoSize}},
        {u"AutoAlign", {&C::AutoAlign, &C::SetAutoAlign}},
        {u"AutoMoveToolBar", {&C::AutoMoveToolBar, &C::SetAutoMoveToolBar}},
        {u"CanCompact", {&C::CanCompact, &C::SetCanCompact}},
        {u"AutoStretchHeight", {&C::AutoStretchHeight, &C::SetAutoStretchHeight}},
        {u"Compact", {&C::Compact, &C::SetCompact}},
        {u"CompactBitmapVisible", {&C::CompactBitmapVisible, &C::SetCompactBitmapVisible}},
        {u"QuickMenuButton", {&C::QuickMenuButton, &C::SetQuickMenuButton}},
        {u"WordWrapping", {&C::WordWrapping, &C::SetWordWrapping}},
    };
    for (const auto& [Name, Accessors] : Flags)
      B.Property(Name, static_cast<bool (T::*)() const>(Accessors.first),
                 static_cast<void (T::*)(bool)>(Accessors.second));
    B.Property(u"MinimumWidth", static_cast<float (T::*)() const>(&C::MinimumWidth),
               static_cast<void (T::*)(float)>(&C::SetMinimumWidth))
        .Property(u"CompactWidth", static_cast<float (T::*)() const>(&C::CompactWidth),
                  static_cast<void (T::*)(float)>(&C::SetCompactWidth))
        .Property(u"CompactBitmapSize", static_cast<float (T::*)() const>(&C::CompactBitmapSize),
                  static_cast<void (T::*)(float)>(&C::SetCompactBitmapSize))
        .Property(u"State", static_cast<TVivIzudeToolBarElementState (T::*)() const>(&C::State),
                  static_cast<void (T::*)(TVivIzudeToolBarElementState)>(&C::SetState))
        .Property(u"Text", static_cast<const String& (T::*)() const>(&C::Text),
                  static_cast<void (T::*)(const String&)>(&C::SetText))
        .Field(u"QuickMenuButtonHint", static_cast<String T::*>(&C::QuickMenuButtonHint))
        .Object(u"Appearance", static_cast<TVivIzudeToolBarAppearance* (T::*)() const>(&C::Appearance))
        .Object(u"CompactAppearance",
                static_cast<TVivIzudeToolBarCompactAppearance* (T::*)() const>(&C::CompactAppearance))
        .Object(u"OptionsMenu", static_cast<TVivIzudeToolBarOptionsMenu* (T::*)() const>(&C::OptionsMenu))
        .Object(u"CompactBitmaps", static_cast<TVivScaledBitmaps* (T::*)() const>(&C::CompactBitmaps))
        .Object(u"Font", static_cast<TVivIzudeGraphicsFont* (T::*)() const>(&C::Font))
        // Refers to a menu the tool bar does not own: never persisted.
        .ReadOnly(u"CustomOptionsMenu", static_cast<TPopupMenu* (T::*)() const>(&C::CustomOptionsMenu));
    return true;
  }();
  (void)Registered;
}
