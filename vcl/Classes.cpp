#include "vcl/Classes.h"

#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

#include "rtl/SysUtils.h"
#include "rtl/UpdateGuard.h"

String ClassNameOf(const TObject* Object) {
  if (!Object) return u"";
  const char* mangled = typeid(*Object).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && demangled) ? demangled : mangled;
  std::free(demangled);
  // Classes in a namespace (or local to a function) keep only their own name.
  const auto colon = name.rfind("::");
  if (colon != std::string::npos) name.erase(0, colon + 2);
  return String(name.begin(), name.end());
}

// ---------------------------------------------------------------- TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  throw EConvertError(u"Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) {
  throw EConvertError(u"Cannot assign a " + ClassName() + u" to a " + ClassNameOf(Dest));
}

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() { RunBeforeDestruction(); }

void TComponent::RunBeforeDestruction() noexcept {
  if (FBeforeDestructionDone) return;
  FBeforeDestructionDone = true;
  try {
    BeforeDestruction();
  } catch (...) {
    // A destructor cannot report; nothing may escape a deletion.
  }
}

void TComponent::BeforeDestruction() {
  FComponentState.Include(csDestroying);
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& back = other->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(Integer Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
  return FComponents[static_cast<std::size_t>(Index)];
}

Integer TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& list = FOwner->FComponents;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::SetName(const String& NewName) {
  if (NewName == FName) return;
  if (FOwner && !NewName.empty()) {
    TComponent* other = FOwner->FindComponent(NewName);
    if (other && other != this) throw EComponentError(u"A component named " + NewName + u" already exists");
  }
  FName = NewName;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
    throw EComponentError(u"A component named " + AComponent->FName + u" already exists");
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  NotifyAll(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  NotifyAll(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  // Made while its owner is being built: it is built the same way, and
  // EndLoading reaches it.
  if (FComponentState.Contains(csLoading)) AComponent->BeginLoadingTree();
  // What a form being designed owns is designed with it.
  if (FComponentState.Contains(csDesigning)) AComponent->FComponentState.Include(csDesigning);
}

void TComponent::Remove(TComponent* AComponent) {
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent), FComponents.end());
  AComponent->FOwner = nullptr;
}

void TComponent::NotifyAll(TComponent* AComponent, TOperation Operation) { Notification(AComponent, Operation); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent), FFreeNotifies.end());
  }
  // The owner passes the news on to everything it owns, so siblings that
  // point at each other hear of a removal too. A copy:
  // a handler may free components.
  const std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned) {
    if (c != AComponent && std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
      c->Notification(AComponent, Operation);
  }
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    Remove(last);
    delete last;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  auto add = [](std::vector<TComponent*>& list, TComponent* c) {
    if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
  };
  add(FFreeNotifies, AComponent);
  add(AComponent->FFreeNotifies, this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent), FFreeNotifies.end());
  auto& other = AComponent->FFreeNotifies;
  other.erase(std::remove(other.begin(), other.end(), this), other.end());
}

void TComponent::BeginLoadingTree() {
  FComponentState.Include(csLoading);
  for (TComponent* c : FComponents) c->BeginLoadingTree();
}

void TComponent::BeginLoading() { BeginLoadingTree(); }

void TComponent::EndLoading() {
  const std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned) c->EndLoading();
  if (FComponentState.Contains(csLoading)) Loaded();
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

// ---------------------------------------------------------------- TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

Integer TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  const auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer Value) {
  const Integer current = Index();
  if (current < 0 || Value == current || Value < 0 || Value >= FCollection->Count()) return;
  auto& items = FCollection->FItems;
  items.erase(items.begin() + current);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

String TCollectionItem::DisplayName() const { return ClassName(); }

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------- TCollection

TCollection::TCollection(TItemFactory ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no Update calls from a collection being destroyed
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
  TUpdateGuard Update(*this);
  return FItemClass(this);
}

TCollectionItem* TCollection::Insert(Integer Index) {
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

TCollectionItem* TCollection::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
  return FItems[static_cast<std::size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(Integer ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

void TCollection::Delete(Integer Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  TUpdateGuard Update(*this);
  while (!FItems.empty()) {
    TCollectionItem* item = FItems.back();
    Notify(item, cnDeleting);
    delete item;
  }
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  TUpdateGuard Update(*this);
  Clear();
  for (TCollectionItem* item : source->FItems) Add()->Assign(item);
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  const auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  Notify(Item, cnExtracting);
  FItems.erase(it);
  Item->FCollection = nullptr;
  Changed();
}
