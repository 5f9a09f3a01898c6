#include "vcl/ActnList.h"

#include <algorithm>

#include "rtl/ScopeExit.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"

// ---------------------------------------------------------------- TActionLink

TActionLink::~TActionLink() {
  if (FAction) {
    auto& clients = FAction->FClients;
    clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
  }
}

void TActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) {
    auto& clients = FAction->FClients;
    clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
  }
  FAction = Value;
  if (FAction) FAction->FClients.push_back(this);
  ActionChanged();
}

bool TActionLink::Execute(TComponent* Target) {
  if (!FAction) return false;
  TBasicAction* action = FAction;
  action->SetActionComponent(Target);
  const TScopeExit done([action] { action->SetActionComponent(nullptr); });
  return action->Execute();
}

// ---------------------------------------------------------------- TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() = default;

void TBasicAction::BeforeDestruction() {
  // Clients let go; each hears the change once with no action.
  while (!FClients.empty()) {
    TActionLink* link = FClients.back();
    FClients.pop_back();
    link->FAction = nullptr;
    link->ActionChanged();
  }
  TComponent::BeforeDestruction();
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::Change() {
  const std::vector<TActionLink*> clients = FClients;
  for (TActionLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->ActionChanged();
}

// ---------------------------------------------------------------- TContainedAction

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (Value == FActionList) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (Value) {
    Value->FActions.push_back(this);
    FActionList = Value;
    Value->Changed();
  }
}

void TContainedAction::SetCategory(const String& Value) {
  if (Value == FCategory) return;
  FCategory = Value;
  Change();
  if (FActionList) FActionList->Changed();
}

Integer TContainedAction::Index() const {
  if (!FActionList) return -1;
  const auto& list = FActionList->FActions;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->State() != asNormal) return false;
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->State() != asNormal) return false;
  if (FActionList && FActionList->UpdateAction(this)) return true;
  return TBasicAction::Update();
}

void TContainedAction::BeforeDestruction() {
  if (FActionList) FActionList->RemoveAction(this);
  TBasicAction::BeforeDestruction();
}

// ---------------------------------------------------------------- TCustomAction

void TCustomAction::SetCaption(const String& Value) {
  if (Value != FCaption) FCaption = Value, Change();
}
void TCustomAction::SetHint(const String& Value) {
  if (Value != FHint) FHint = Value, Change();
}
void TCustomAction::SetEnabled(bool Value) {
  if (Value != FEnabled) FEnabled = Value, Change();
}
void TCustomAction::SetVisible(bool Value) {
  if (Value != FVisible) FVisible = Value, Change();
}
void TCustomAction::SetImageIndex(TImageIndex Value) {
  if (Value != FImageIndex) FImageIndex = Value, Change();
}
void TCustomAction::SetShortCut(TShortCut Value) {
  if (Value != FShortCut) FShortCut = Value, Change();
}

void TCustomAction::SetGroupIndex(Integer Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FChecked) {
    FChecked = false;
    SetChecked(true);  // unchecks the new group's others
  }
}

void TCustomAction::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FGroupIndex > 0 && ActionList()) {
    for (Integer i = 0; i < ActionList()->ActionCount(); ++i) {
      auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex && other->FChecked) {
        other->FChecked = false;
        other->Change();
      }
    }
  }
  Change();
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck && !(FChecked && FGroupIndex > 0)) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

// ---------------------------------------------------------------- TCustomActionList

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {
  if (Application) FIdleId = Application->AddIdleHandler([this] { UpdateActions(); });
  if (auto* form = dynamic_cast<TCustomForm*>(AOwner)) {
    FShortCutForm = form;
    FShortCutId = form->AddShortCutHandler([this](Word Key, TShiftState Shift) { return IsShortCut(Key, Shift); });
  }
}

TCustomActionList::~TCustomActionList() = default;

void TCustomActionList::BeforeDestruction() {
  if (FIdleId && Application) Application->RemoveIdleHandler(FIdleId);
  FIdleId = 0;
  if (FShortCutId && FShortCutForm) static_cast<TCustomForm*>(FShortCutForm)->RemoveShortCutHandler(FShortCutId);
  FShortCutId = 0;
  while (!FActions.empty()) RemoveAction(FActions.back());
  SetImages(nullptr);
  TComponent::BeforeDestruction();
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  if (it == FActions.end()) return;
  FActions.erase(it);
  Action->FActionList = nullptr;
  Changed();
}

std::vector<String> TCustomActionList::Categories() const {
  std::vector<String> result;
  for (TContainedAction* a : FActions)
    if (!a->Category().empty() && std::find(result.begin(), result.end(), a->Category()) == result.end())
      result.push_back(a->Category());
  return result;
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  Changed();
}

void TCustomActionList::SetState(TActionListState Value) {
  if (Value == FState) return;
  FState = Value;
  if (Value == asSuspendedEnabled) {
    for (TContainedAction* a : FActions)
      if (auto* c = dynamic_cast<TCustomAction*>(a)) c->SetEnabled(true);
  }
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    Changed();
  }
}

void TCustomActionList::Changed() {
  if (OnChange) OnChange(this);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  if (OnUpdate) OnUpdate(Action, handled);
  return handled;
}

void TCustomActionList::UpdateActions() {
  if (FState != asNormal) return;
  const std::vector<TContainedAction*> actions = FActions;
  for (TContainedAction* a : actions)
    if (std::find(FActions.begin(), FActions.end(), a) != FActions.end()) a->Update();
}

bool TCustomActionList::IsShortCut(Word Key, TShiftState Shift) {
  if (FState != asNormal) return false;
  TShortCut wanted = Key & 0xFF;
  if (Shift.Contains(ssShift)) wanted |= scShift;
  if (Shift.Contains(ssCtrl)) wanted |= scCtrl;
  if (Shift.Contains(ssAlt)) wanted |= scAlt;
  if ((wanted & 0xFF) == 0) return false;
  const std::vector<TContainedAction*> actions = FActions;
  for (TContainedAction* a : actions) {
    auto* action = dynamic_cast<TCustomAction*>(a);
    if (!action || action->ShortCut() != wanted) continue;
    action->Update();
    if (!action->Enabled() || !action->Visible()) return false;
    action->Execute();
    return true;
  }
  return false;
}
