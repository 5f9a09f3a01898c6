#include "controls/win/OxStatusBar.h"

#include <algorithm>

#include "controls/OxTypes.h"
#include "controls/win/OxOXCLUtils.h"
#include "rtl/SysUtils.h"

// ---------------------------------------------------------------- TOxStatusPanel

TOxStatusPanel::TOxStatusPanel(TCollection* Collection) : TStatusPanel(Collection) {}

TOxStatusPanel::~TOxStatusPanel() {
  TControl* old = FControl;
  FControl = nullptr;
  if (TOxStatusBar* bar = StatusBar(); bar && old) {
    old->RemoveFreeNotification(bar);
    bar->KeepNotified(old);
  }
}

TOxStatusBar* TOxStatusPanel::StatusBar() const {
  return Collection() ? dynamic_cast<TOxStatusBar*>(Collection()->GetOwner()) : nullptr;
}

void TOxStatusPanel::SetControl(TControl* Value) {
  TOxStatusBar* bar = StatusBar();
  TControl* old = FControl;
  if (!AssignComponentReference<TControl>(bar, Value, FControl)) return;
  if (old && bar) bar->KeepNotified(old);
  if (FControl && static_cast<TControl*>(bar) == FControl) {
    FControl->RemoveFreeNotification(bar);
    FControl = nullptr;
    throw EOXCLException(InvalidControlSelectionText);
  }
  if (FControl && bar) {
    FControl->SetParent(bar);
    FControl->SetHeight(bar->ClientHeight() - 4);
  }
  Changed(false);
}

void TOxStatusPanel::SetMarginLeft(Integer Value) {
  if (Value == FMarginLeft) return;
  FMarginLeft = Value;
  Changed(false);
}

void TOxStatusPanel::SetMarginTop(Integer Value) {
  if (Value == FMarginTop) return;
  FMarginTop = Value;
  Changed(false);
}

// ---------------------------------------------------------------- TOxStatusBar

TOxStatusBar::TOxStatusBar(TComponent* AOwner) : TOxExStatusBar(AOwner, TCollection::ItemClass<TOxStatusPanel>()) {
  RegisterOxCursors();
  FControlStyle.Include(csAcceptsControls);
}

void TOxStatusBar::BeforeDestruction() {
  // The bar frees its child controls before its panels: let go of them
  // first, so no panel ever refers to a freed control.
  for (Integer i = 0; i < Panels()->Count(); ++i) {
    TOxStatusPanel* panel = Panel(i);
    if (panel->FControl) {
      panel->FControl->RemoveFreeNotification(this);
      panel->FControl = nullptr;
    }
  }
  FHiddenControls.clear();
  TOxExStatusBar::BeforeDestruction();
}

void TOxStatusBar::LayoutPanelControls() {
  Integer x = 0;
  for (Integer i = 0; i < Panels()->Count(); ++i) {
    TOxStatusPanel* panel = Panel(i);
    if (TControl* control = panel->FControl)
      control->SetBounds(x + panel->MarginLeft(), panel->MarginTop(), control->Width(), control->Height());
    x += panel->Width();
  }
}

void TOxStatusBar::UpdatePanels() {
  TOxExStatusBar::UpdatePanels();
  LayoutPanelControls();
}

void TOxStatusBar::UpdatePanel(Integer Index) {
  TOxExStatusBar::UpdatePanel(Index);
  LayoutPanelControls();
}

void TOxStatusBar::NotifyBoundsChanged() {
  Realign();
  LayoutPanelControls();
}

void TOxStatusBar::Notification(TComponent* AComponent, TOperation Operation) {
  TOxExStatusBar::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  bool cleared = false;
  for (Integer i = 0; i < Panels()->Count(); ++i) {
    TOxStatusPanel* panel = Panel(i);
    if (panel->FControl == AComponent) {
      panel->FControl = nullptr;
      cleared = true;
    }
  }
  FHiddenControls.erase(std::remove(FHiddenControls.begin(), FHiddenControls.end(), AComponent), FHiddenControls.end());
  if (cleared && !ComponentState().Contains(csDestroying)) LayoutPanelControls();
}

void TOxStatusBar::KeepNotified(TControl* Control) {
  // Another panel may still show the control that one panel let go.
  for (Integer i = 0; i < Panels()->Count(); ++i)
    if (Panel(i)->FControl == Control) Control->FreeNotification(this);
}

void TOxStatusBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PAINT && FAutoHintShown) {
    // The hint is the native bar's own single part.
    DefaultHandler(Message);
    return;
  }
  TOxExStatusBar::WndProc(Message);
  if (Message.Msg == SB_SETPARTS) LayoutPanelControls();
}

bool TOxStatusBar::DoHint() {
  if (!OnHint) return false;
  OnHint(this);
  return true;
}

bool TOxStatusBar::ExecuteAction(TBasicAction* Action) {
  auto* hint = dynamic_cast<THintAction*>(Action);
  if (FAutoHint && hint && !DoHint()) {
    const String text = Trim(hint->Hint());
    if (text.empty()) {
      HideAutoHint();
    } else {
      ShowAutoHint();
      if (HandleAllocated()) {
        int edge = -1;
        ::SendMessageW(FHandle, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
        ::SendMessageW(FHandle, SB_SETTEXTW, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
      }
    }
    return true;
  }
  HideAutoHint();
  return false;
}

void TOxStatusBar::ShowAutoHint() {
  if (FAutoHintShown) return;
  Panels()->BeginUpdate();
  FHiddenControls.clear();
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* control = Controls(i);
    if (control->Visible()) {
      FHiddenControls.push_back(control);
      control->Hide();
    }
  }
  FAutoHintShown = true;
}

void TOxStatusBar::HideAutoHint() {
  if (!FAutoHintShown) return;
  Panels()->EndUpdate();
  const std::vector<TControl*> hidden = std::move(FHiddenControls);
  FHiddenControls.clear();
  for (TControl* control : hidden) control->Show();
  FAutoHintShown = false;
}
