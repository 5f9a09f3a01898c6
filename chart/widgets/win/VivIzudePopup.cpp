#include "chart/widgets/win/VivIzudePopup.h"

#include <cmath>
#include <vector>

#include "chart/widgets/win/VivIzudeCustomControl.h"
#include "rtl/Win32.h"

namespace {

constexpr Cardinal PlacementTimerInterval = 20;  // ms

BOOL CALLBACK AddWorkArea(HMONITOR Monitor, HDC, LPRECT, LPARAM Data) {
  MONITORINFO Info{};
  Info.cbSize = sizeof(Info);
  if (::GetMonitorInfoW(Monitor, &Info)) {
    const RECT& W = Info.rcWork;
    reinterpret_cast<std::vector<TRect>*>(Data)->push_back(TRect{W.left, W.top, W.right, W.bottom});
  }
  return TRUE;
}

std::vector<TRect> MonitorWorkAreas() {
  std::vector<TRect> Areas;
  ::EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&Areas));
  return Areas;
}

Integer RoundI(float V) { return static_cast<Integer>(std::nearbyint(V)); }

}  // namespace

// ---------------------------------------------------------------- form

TVivIzudeCustomPopupForm::TVivIzudeCustomPopupForm(TComponent* AOwner, TControl* APlacementControl)
    : TCustomForm(AOwner),
      FPlacementRectangle(std::make_unique<TVivMargins>()),
      FContentPadding(std::make_unique<TVivMargins>()) {
  SetVisible(false);
  SetKeyPreview(true);
  SetPosition(poDesigned);
  SetBorderStyle(bsNone);
  SetBorderIcons({});
  if (APlacementControl) SetPlacementControl(APlacementControl);
}

TVivIzudeCustomPopupForm::~TVivIzudeCustomPopupForm() {
  if (FTimer) FTimer->SetEnabled(false);
  SetPlacementControl(nullptr);
  if (FContentControl) FContentControl->RemoveFreeNotification(this);
}

void TVivIzudeCustomPopupForm::SetPlacement(TVivIzudePopupPlacement Value) {
  if (FPlacement == Value) return;
  FPlacement = Value;
  ApplyPlacement();
}

void TVivIzudeCustomPopupForm::SetOffset(const TPointF& Value) {
  if (FOffset.X == Value.X && FOffset.Y == Value.Y) return;
  FOffset = Value;
  ApplyPlacement();
}

void TVivIzudeCustomPopupForm::SetSize(const TSizeF& Value) {
  if (FSize.cx == Value.cx && FSize.cy == Value.cy) return;
  FSize = Value;
  ApplyPlacement();
}

void TVivIzudeCustomPopupForm::SetPlacementControl(TControl* Value) {
  if (FPlacementControl == Value) return;
  if (FPlacementControl) FPlacementControl->RemoveFreeNotification(this);
  FPlacementControl = Value;
  if (FPlacementControl) FPlacementControl->FreeNotification(this);
}

void TVivIzudeCustomPopupForm::SetContentControl(TControl* Value) {
  if (FContentControl == Value) return;
  if (FContentControl) FContentControl->RemoveFreeNotification(this);
  FContentControl = Value;
  if (FContentControl) {
    FContentControl->FreeNotification(this);
    FContentControl->SetParent(this);
    FContentControl->SetAlign(alNone);
    FContentControl->SetVisible(true);
  }
}

void TVivIzudeCustomPopupForm::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomForm::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPlacementControl) {
    FPlacementControl = nullptr;
    ApplyPlacement();
  }
  if (AComponent == FContentControl) FContentControl = nullptr;
}

void TVivIzudeCustomPopupForm::DoBeforeShow() {
  FHintWindow = false;
  if (OnBeforeShow) OnBeforeShow(this);
  FFirstShow = true;
  if (!FTimer) {
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->OnTimer = [this](TObject* S) { PlacementTimerTick(S); };
  }
  FTimer->SetInterval(PlacementTimerInterval);
  FTimer->SetEnabled(true);
  ApplyPlacement();
}

void TVivIzudeCustomPopupForm::DoBeforeClose() {
  if (OnBeforeClose) OnBeforeClose(this);
}

bool TVivIzudeCustomPopupForm::CloseQuery() {
  const bool Allowed = TCustomForm::CloseQuery();
  if (Allowed && !ComponentState().Contains(csDestroying)) DoBeforeClose();
  return Allowed;
}

void TVivIzudeCustomPopupForm::DoClose(TCloseAction& Action) {
  Action = caFree;
  TCustomForm::DoClose(Action);
  if (Action != caNone && FTimer) FTimer->SetEnabled(false);
}

void TVivIzudeCustomPopupForm::KeyDown(Word& Key, TShiftState Shift) {
  TCustomForm::KeyDown(Key, Shift);
  if ((Key == VK_ESCAPE || Key == VK_F4) && Shift.Empty()) Close();
}

void TVivIzudeCustomPopupForm::PlacementTimerTick(TObject*) {
  if (!(Visible() || FHintWindow)) return;
  if (FFirstShow || FDragWithParent) ApplyPlacement();
  FFirstShow = false;
}

void TVivIzudeCustomPopupForm::ApplyPlacement() {
  if (FInPlacement || ComponentState().Contains(csDestroying) || ComponentState().Contains(csLoading)) return;
  const TRect OldBounds{Left(), Top(), Left() + Width(), Top() + Height()};
  const TVivIzudePopupPlacement OldReal = FRealPlacement;
  FInPlacement = true;
  try {
    CalculatePlacement();
  } catch (...) {
    FInPlacement = false;
    throw;
  }
  FInPlacement = false;
  const TRect NewBounds{Left(), Top(), Left() + Width(), Top() + Height()};
  if (OldReal != FRealPlacement || OldBounds.Left != NewBounds.Left || OldBounds.Top != NewBounds.Top ||
      OldBounds.Right != NewBounds.Right || OldBounds.Bottom != NewBounds.Bottom)
    DoRealPlacementChanged();
}

// The portable placement picks the work area holding what the popup is
// placed against, so a popup never opens off every monitor.
void TVivIzudeCustomPopupForm::CalculatePlacement() {
  TVivIzudePopupPlacementInput In;
  In.Placement = FPlacement;
  In.PlacementRectangle = FPlacementRectangle->Rect();
  In.HasPlacementControl = FPlacementControl != nullptr;
  if (FPlacementControl) {
    In.ControlScreenOrigin = FPlacementControl->ClientToScreen(TPoint{0, 0});
    In.ControlSize =
        TSizeF{static_cast<float>(FPlacementControl->Width()), static_cast<float>(FPlacementControl->Height())};
  }
  In.Offset = FOffset;
  In.Size = FSize;
  In.ContentPadding = FContentPadding->Rect();
  POINT Cursor{};
  ::GetCursorPos(&Cursor);
  In.CursorPos = TPoint{Cursor.x, Cursor.y};
  In.Designing = ComponentState().Contains(csDesigning);
  const TVivIzudePopupPlacementResult R = CalculatePopupPlacement(In, MonitorWorkAreas());
  FScreenPlacementRect = R.ScreenPlacementRect;
  FScreenContentRect = R.ScreenContentRect;
  FRealPlacement = R.RealPlacement;
  UpdatePopupBounds(TRectF{static_cast<float>(R.Bounds.Left), static_cast<float>(R.Bounds.Top),
                           static_cast<float>(R.Bounds.Right), static_cast<float>(R.Bounds.Bottom)});
}

void TVivIzudeCustomPopupForm::UpdatePopupBounds(const TRectF& ARect) {
  SetBounds(RoundI(ARect.Left), RoundI(ARect.Top), RoundI(ARect.Right - ARect.Left), RoundI(ARect.Bottom - ARect.Top));
}

void TVivIzudeCustomPopupForm::DoRealPlacementChanged() {
  if (OnRealPlacementChanged) OnRealPlacementChanged(this);
}

// ---------------------------------------------------------------- non-focusable form

void TVivIzudeCustomNonFocusablePopupForm::CreateParams(TCreateParams& Params) {
  TVivIzudeCustomPopupForm::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.WindowClassStyle |= CS_SAVEBITS;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;
}

void TVivIzudeCustomNonFocusablePopupForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_ACTIVATE:
      Message.Result = 1;
      return;
    default:
      TVivIzudeCustomPopupForm::WndProc(Message);
  }
}

void TVivIzudeCustomNonFocusablePopupForm::UpdatePopupBounds(const TRectF& ARect) {
  TVivIzudeCustomPopupForm::UpdatePopupBounds(ARect);
  if (HandleAllocated()) ::SetWindowPos(Handle(), HWND_TOPMOST, Left(), Top(), Width(), Height(), SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- popup

TVivIzudeCustomPopup::TVivIzudeCustomPopup(TComponent* AOwner)
    : TVivIzudeCustomComponent(AOwner), FPlacementRectangle(std::make_unique<TVivMargins>()) {
  FPlacementRectangle->OnChange = [this](TObject*) {
    if (FPopupForm) FPopupForm->SetPlacementRectangle(FPlacementRectangle.get());
  };
}

TVivIzudeCustomPopup::~TVivIzudeCustomPopup() = default;

// Before the owned components go: the form is one of them and must be
// closed and freed by us first, exactly once.
void TVivIzudeCustomPopup::BeforeDestruction() {
  FBeingDestroyed = true;
  FContentControl = nullptr;
  ClosePopup();
  delete FPopupForm;
  FPopupForm = nullptr;
  SetPlacementControl(nullptr);
  TVivIzudeCustomComponent::BeforeDestruction();
}

void TVivIzudeCustomPopup::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TVivIzudeCustomPopup*>(Source);
  if (!S) return;
  FModalResult = S->FModalResult;
  FPopupFormSize = S->FPopupFormSize;
  FDragWithParent = S->FDragWithParent;
  FStaysOpen = S->FStaysOpen;
  FDropDownHeight = S->FDropDownHeight;
  FDropDownWidth = S->FDropDownWidth;
  FHorizontalOffset = S->FHorizontalOffset;
  FPlacementControl = S->FPlacementControl;
  FPlacement = S->FPlacement;
  FPlacementRectangle->Assign(S->FPlacementRectangle.get());
  FVerticalOffset = S->FVerticalOffset;
  FFocusedControl = S->FFocusedControl;
  FContentControl = S->FContentControl;
}

void TVivIzudeCustomPopup::SetPlacement(TVivIzudePopupPlacement Value) {
  if (FPlacement == Value) return;
  FPlacement = Value;
  if (FPopupForm) FPopupForm->SetPlacement(Value);
}

void TVivIzudeCustomPopup::SetPlacementControl(TControl* Value) {
  if (FPlacementControl == Value) return;
  if (FPlacementControl) FPlacementControl->RemoveFreeNotification(this);
  FPlacementControl = Value;
  if (FPlacementControl) FPlacementControl->FreeNotification(this);
  if (FPopupForm) FPopupForm->SetPlacementControl(Value);
}

void TVivIzudeCustomPopup::SetPlacementRectangle(TVivMargins* Value) {
  FPlacementRectangle->SetLeft(Value->Left());
  FPlacementRectangle->SetTop(Value->Top());
  FPlacementRectangle->SetRight(Value->Right());
  FPlacementRectangle->SetBottom(Value->Bottom());
}

void TVivIzudeCustomPopup::SetDragWithParent(bool Value) {
  FDragWithParent = Value;
  if (FPopupForm) FPopupForm->SetDragWithParent(Value);
}

void TVivIzudeCustomPopup::SetModalResult(TModalResult Value) {
  FModalResult = Value;
  if (FPopupForm) FPopupForm->SetModalResult(Value);
}

void TVivIzudeCustomPopup::SetPopupFormSize(const TSizeF& Value) {
  FPopupFormSize = Value;
  UpdatePopupFormSize();
}

void TVivIzudeCustomPopup::UpdatePopupFormSize() {
  if (!FPopupForm) return;
  FPopupForm->SetSize(TSizeF{FPopupFormSize.cx > 0 ? FPopupFormSize.cx : FDropDownWidth,
                             FPopupFormSize.cy > 0 ? FPopupFormSize.cy : FDropDownHeight});
}

void TVivIzudeCustomPopup::SetContentControl(TControl* Value) {
  if (FContentControl == Value) return;
  if (!Value && FContentControl) FContentControl->SetVisible(true);
  if (FContentControl) FContentControl->RemoveFreeNotification(this);
  FContentControl = Value;
  if (FContentControl) {
    FContentControl->FreeNotification(this);
    FContentControl->SetVisible(false);
    FDropDownWidth = static_cast<float>(FContentControl->Width());
    FDropDownHeight = static_cast<float>(FContentControl->Height());
  }
}

void TVivIzudeCustomPopup::SetDropDownHeight(float Value) {
  FDropDownHeight = Value;
  if (FPopupForm) FPopupForm->SetHeight(static_cast<Integer>(std::nearbyint(Value)));
}

void TVivIzudeCustomPopup::SetDropDownWidth(float Value) {
  FDropDownWidth = Value;
  if (FPopupForm) FPopupForm->SetWidth(static_cast<Integer>(std::nearbyint(Value)));
}

void TVivIzudeCustomPopup::SetIsOpen(bool Value) {
  if (IsDesigning()) {
    FIsOpen = false;
    return;
  }
  if (Value) {
    OpenPopup(false);
  } else if (FPopupForm) {
    if (FreesFormOnClose())
      ClosePopup();
    else
      FPopupForm->Close();
  } else {
    FIsOpen = false;
  }
}

bool TVivIzudeCustomPopup::PointInPopup(const TPointF& APoint) const {
  if (!FPopupForm) return false;
  const TRectF R{static_cast<float>(FPopupForm->Left()), static_cast<float>(FPopupForm->Top()),
                 static_cast<float>(FPopupForm->Left() + FPopupForm->Width()),
                 static_cast<float>(FPopupForm->Top() + FPopupForm->Height())};
  return PtInRectF(R, APoint);
}

void TVivIzudeCustomPopup::Notification(TComponent* AComponent, TOperation Operation) {
  TVivIzudeCustomComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FContentControl) FContentControl = nullptr;
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  if (AComponent == FPopupForm) {
    FPopupForm = nullptr;
    FIsOpen = false;
  }
  if (AComponent == FPlacementControl) {
    FPlacementControl = nullptr;
    if (FPopupForm) FPopupForm->SetPlacementControl(nullptr);
  }
}

TVivIzudeCustomPopupForm* TVivIzudeCustomPopup::CreatePopupForm() {
  return new TVivIzudeCustomPopupForm(this, FPlacementControl);
}

void TVivIzudeCustomPopup::OpenPopup(bool AShowModal) {
  if (FIsOpen) return;
  if (FPopupForm) ClosePopup();
  TVivIzudeCustomPopupForm* Form = CreatePopupForm();
  try {
    Form->SetFormStyle(fsStayOnTop);
    Form->OnPopupPaint = [this](TObject*, TVivIzudeGraphics* G, const TRectF& R) { DoPopupPaint(G, R); };
    Form->FreeNotification(this);
    Form->SetPlacement(FPlacement);
    Form->SetOffset(TPointF{FHorizontalOffset, FVerticalOffset});
    Form->SetPlacementRectangle(FPlacementRectangle.get());
    Form->SetDragWithParent(FDragWithParent);
    FPopupForm = Form;
    UpdatePopupFormSize();
    Form->OnDeactivate = [this](TObject*) {
      if (FPopupForm && !FPopupForm->ShowModalFlag() && !FStaysOpen) FPopupForm->Close();
    };
    Form->OnBeforeShow = [this](TObject*) {
      FIsOpen = true;
      DoPopup();
    };
    Form->OnBeforeClose = [this](TObject*) { FIsOpen = false; };
    Form->OnClose = [this](TObject*, TCloseAction&) {
      FClosingFromForm = true;
      ClosePopup();
      FClosingFromForm = false;
    };
    Form->OnShow = [this](TObject*) {
      if (FPopupForm && FPopupForm->ShowModalFlag()) FocusFocusedControl();
      DoPopupShown();
    };
    Form->SetShowModal(AShowModal);
    if (FContentControl) {
      Form->SetContentControl(FContentControl);
      FContentControl->SetAlign(alClient);
    }
  } catch (...) {
    FPopupForm = nullptr;
    delete Form;
    throw;
  }
  if (!FBeingDestroyed) Form->DoBeforeShow();
  ShowPopupForm(AShowModal);
}

void TVivIzudeCustomPopup::ShowPopupForm(bool AModal) {
  if (!FPopupForm) return;
  if (AModal) {
    FModalResult = FPopupForm->ShowModal();
  } else {
    FPopupForm->Show();
    FocusFocusedControl();
  }
}

void TVivIzudeCustomPopup::FocusFocusedControl() {
  if (!FPopupForm || !FFocusedControl) return;
  auto* W = dynamic_cast<TWinControl*>(FFocusedControl);
  if (W && W->CanFocus()) W->SetFocus();
}

void TVivIzudeCustomPopup::ClosePopup() {
  if (!FPopupForm || FDestroyingPopup) return;
  FDestroyingPopup = true;
  FIsOpen = false;
  if (FContentControl) {
    FContentControl->SetVisible(false);
    TControl* Back = FPlacementControl ? FPlacementControl : dynamic_cast<TControl*>(Owner());
    if (auto* W = dynamic_cast<TWinControl*>(Back)) FContentControl->SetParent(W);
  }
  if (!FBeingDestroyed) {
    TVivIzudeCustomPopupForm* Form = FPopupForm;
    FPopupForm = nullptr;
    Form->RemoveFreeNotification(this);
    // A form closing itself frees itself once its close is done; a form
    // closed by code is freed here, exactly once either way.
    if (FreesFormOnClose() && !FClosingFromForm) delete Form;
    DoClosePopup();
  }
  FDestroyingPopup = false;
}

void TVivIzudeCustomPopup::DoPopupPaint(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  if (OnPopupPaint) OnPopupPaint(this, AGraphics, ARect);
}
void TVivIzudeCustomPopup::DoClosePopup() {
  if (OnClosePopup) OnClosePopup(this);
}
void TVivIzudeCustomPopup::DoPopup() {
  if (OnPopup) OnPopup(this);
}
void TVivIzudeCustomPopup::DoPopupShown() {
  if (OnPopupShown) OnPopupShown(this);
}

TModalResult TVivIzudePopup::PopupModal() {
  if (IsOpen()) return 0;
  if (HasPopupForm()) ClosePopup();
  const bool OldStaysOpen = StaysOpen();
  SetStaysOpen(true);
  TModalResult Result = mrNone;
  try {
    OpenPopup(true);
    Result = ModalResult();
  } catch (...) {
    SetStaysOpen(OldStaysOpen);
    throw;
  }
  SetIsOpen(false);
  SetStaysOpen(OldStaysOpen);
  return Result;
}

// ---------------------------------------------------------------- non-focusable popup

TVivIzudeCustomNonFocusablePopup::TVivIzudeCustomNonFocusablePopup(TComponent* AOwner) : TVivIzudeCustomPopup(AOwner) {
  SetStaysOpen(true);
}

TVivIzudeCustomPopupForm* TVivIzudeCustomNonFocusablePopup::CreatePopupForm() {
  return new TVivIzudeCustomNonFocusablePopupForm(this, PlacementControl());
}

void TVivIzudeCustomNonFocusablePopup::ShowPopupForm(bool) {
  TVivIzudeCustomPopupForm* Form = PopupForm();
  if (!Form) return;
  FActiveWindow = ::GetActiveWindow();
  Form->SetHintWindow(true);
  const HWND H = Form->Handle();
  ::SetWindowPos(H, HWND_TOPMOST, Form->Left(), Form->Top(), Form->Width(), Form->Height(), SWP_NOACTIVATE);
  ::ShowWindow(H, SW_SHOWNOACTIVATE);
  Form->SetVisible(true);
  if (FActiveWindow) ::SetActiveWindow(FActiveWindow);
  SetIsOpenFlag(true);
}

void TVivIzudeCustomNonFocusablePopup::RestoreActiveWindow() {
  if (FActiveWindow) ::SetActiveWindow(FActiveWindow);
}

// ---------------------------------------------------------------- settings registry

TVivIzudePopup::TVivIzudePopup(TComponent* AOwner) : TVivIzudeCustomPopup(AOwner) {
  if (!IsDesigning()) RegisterRuntimeClasses();
}

void TVivIzudePopup::RegisterRuntimeClasses() {
  TVivIzudeCustomPopup::RegisterRuntimeClasses();
  RegisterVivIzudePopupClasses();
}

void RegisterVivIzudePopupClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomComponentClass();
    RegisterVivIzudeCustomControlClasses();  // the margins
    using P = TVivIzudePopup;
    using C = TVivIzudeCustomPopup;
    VivIzudeRegisterClass<P>(u"TVivIzudePopup")
        .Inherits<TVivIzudeCustomComponent>()
        .Property(u"StaysOpen", static_cast<bool (P::*)() const>(&C::StaysOpen),
                  static_cast<void (P::*)(bool)>(&C::SetStaysOpen))
        .EnumProperty(u"Placement", &C::Placement, &C::SetPlacement, ppAboveMouseCenter)
        .Object(u"PlacementRectangle", static_cast<TVivMargins* (P::*)() const>(&C::PlacementRectangle))
        .Property(u"HorizontalOffset", static_cast<float (P::*)() const>(&C::HorizontalOffset),
                  static_cast<void (P::*)(float)>(&C::SetHorizontalOffset))
        .Property(u"VerticalOffset", static_cast<float (P::*)() const>(&C::VerticalOffset),
                  static_cast<void (P::*)(float)>(&C::SetVerticalOffset))
        .Property(u"DropDownHeight", static_cast<float (P::*)() const>(&C::DropDownHeight),
                  static_cast<void (P::*)(float)>(&C::SetDropDownHeight))
        .Property(u"DropDownWidth", static_cast<float (P::*)() const>(&C::DropDownWidth),
                  static_cast<void (P::*)(float)>(&C::SetDropDownWidth))
        // Controls the popup refers to but does not own: never persisted.
        .ReadOnly(u"PlacementControl", static_cast<TControl* (P::*)() const>(&C::PlacementControl))
        .ReadOnly(u"ContentControl", static_cast<TControl* (P::*)() const>(&C::ContentControl))
        .ReadOnly(u"FocusedControl", static_cast<TControl* (P::*)() const>(&C::FocusedControl))
        .ReadOnly(u"Version", static_cast<String (P::*)() const>(&C::GetVersion))
        .Event(u"OnClosePopup")
        .Event(u"OnPopup")
        .Event(u"OnPopupPaint")
        .Event(u"OnPopupShown");
    return true;
  }();
  (void)Registered;
}
