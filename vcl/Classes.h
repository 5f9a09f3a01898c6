#pragma once
// The object model of the class library: persistent objects that copy
// themselves with Assign, components that own components, collections of
// items, and the small geometry records every layer shares. Portable: no
// Win32 header here.
#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

QUORVEL_DECLARE_EXCEPTION(EComponentError, Exception);
QUORVEL_DECLARE_EXCEPTION(EInvalidCast, Exception);

// The class name of an object's most derived class ("TPanel"), for messages
// and component names: taken from the C++ type, so every class has it for free.
String ClassNameOf(const TObject* Object);

// ---------------------------------------------------------------- persistent

class TPersistent : public TObject {
public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;

  // Copies Source into this object. The base asks Source->AssignTo(this);
  // nullptr or an unknown pairing raises EConvertError
  // "Cannot assign a <Source class> to a <this class>".
  virtual void Assign(TPersistent* Source);
  // The object that owns this one for naming purposes (a collection's owner).
  virtual TPersistent* GetOwner() const { return nullptr; }
  String ClassName() const { return ClassNameOf(this); }

protected:
  virtual void AssignTo(TPersistent* Dest);
};

// ---------------------------------------------------------------- component

enum TComponentStateItem : unsigned { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateItem, Word>;

// A component lives on the heap and is freed by its owner, by delete or by
// Free. `delete` runs BeforeDestruction first (csDestroying, OnDestroy-like
// hooks, freeing the owned components, telling the subscribers), while every
// destructor of the object is still to run, so that handlers and owned
// components may still use a derived class's members during that phase.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  void operator delete(TComponent* Component, std::destroying_delete_t) {
    Component->RunBeforeDestruction();
    void* memory = dynamic_cast<void*>(Component);
    Component->~TComponent();
    ::operator delete(memory);
  }
  static void* operator new(std::size_t Size) { return ::operator new(Size); }
  void operator delete(void* Memory) noexcept { ::operator delete(Memory); }
  void Free() { delete this; }

  TComponent* Owner() const { return FOwner; }
  const String& Name() const { return FName; }
  // A name must be unique among the owner's components (case-insensitive);
  // EComponentError "A component named <Name> already exists" otherwise.
  virtual void SetName(const String& NewName);
  NativeInt Tag = 0;

  // Owned components in creation (insertion) order.
  Integer ComponentCount() const { return static_cast<Integer>(FComponents.size()); }
  TComponent* Components(Integer Index) const;
  Integer ComponentIndex() const;
  TComponent* FindComponent(const String& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last created first.
  void DestroyComponents();

  TComponentState ComponentState() const { return FComponentState; }
  // Building in code the way a form description is read: BeginLoading marks
  // this component and all it owns csLoading (and those made meanwhile);
  // EndLoading calls Loaded on the owned components in creation order, then
  // on this one.
  void BeginLoading();
  void EndLoading();

  // AComponent is told (Notification opRemove) when this component goes
  // away, whether or not it is the owner; the link works both ways.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Clears csLoading; descendants finish their set-up here.
  virtual void Loaded();
  // First step of destruction, with the whole object alive: sets
  // csDestroying and frees what is owned. Overrides call the base last.
  virtual void BeforeDestruction();
  void SetComponentState(TComponentState Value) { FComponentState = Value; }

private:
  void RunBeforeDestruction() noexcept;
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void NotifyAll(TComponent* AComponent, TOperation Operation);
  void BeginLoadingTree();

  TComponent* FOwner = nullptr;  // not owned
  String FName;
  std::vector<TComponent*> FComponents;    // owned
  std::vector<TComponent*> FFreeNotifies;  // not owned
  TComponentState FComponentState;
  bool FBeforeDestructionDone = false;
};

// ---------------------------------------------------------------- collections

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
  explicit TCollectionItem(TCollection* Collection);
  // Leaves the collection (cnDeleting is sent by the collection before).
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (nullptr: none).
  void SetCollection(TCollection* Value);
  Integer Index() const;
  // Moves the item inside its collection.
  void SetIndex(Integer Value);
  Integer ID() const { return FID; }
  virtual String DisplayName() const;
  TPersistent* GetOwner() const override;

protected:
  // Tells the collection that this item (AllItems: every item) changed.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;  // not owned; the collection owns the item
  Integer FID = 0;
};

class TCollection : public TPersistent {
public:
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  template <class T>
  static TItemFactory ItemClass() {
    return [](TCollection* C) -> TCollectionItem* { return new T(C); };
  }

  explicit TCollection(TItemFactory ItemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(Integer Index);
  // Frees the item at Index; EListError "List index out of bounds (n)" when
  // there is none.
  void Delete(Integer Index);
  void Clear();
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TCollectionItem* Items(Integer Index) const;
  TCollectionItem* FindItemID(Integer ID) const;
  // Items become copies of Source's (same item class).
  void Assign(TPersistent* Source) override;

  // Update is deferred while UpdateCount > 0; the last EndUpdate calls
  // Update(nullptr) once.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer UpdateCount() const { return FUpdateCount; }

  TNotifyEvent OnChange;  // fired by the base Update

protected:
  // An item changed (nullptr: the whole collection).
  virtual void Update(TCollectionItem* Item);
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TItemFactory FItemClass;
  std::vector<TCollectionItem*> FItems;  // owned
  Integer FUpdateCount = 0;
  Integer FNextID = 0;
};

class TOwnedCollection : public TCollection {
public:
  TOwnedCollection(TPersistent* AOwner, TItemFactory ItemClass) : TCollection(std::move(ItemClass)), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

private:
  TPersistent* FOwner;  // not owned
};

// A checked cast: EInvalidCast "Invalid class typecast" when Obj is not a T.
template <class T, class U>
T* As(U* Object) {
  if (!Object) return nullptr;
  T* result = dynamic_cast<T*>(Object);
  if (!result) throw EInvalidCast(u"Invalid class typecast");
  return result;
}
