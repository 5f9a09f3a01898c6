#pragma once
// Untyped containers: TList (a list of pointers), TObjectList (a TList of
// TObject* that may own its items), TThreadList (a TList behind a lock),
// and, in namespace Generics, small typed lists.
//
// Conventions of the run-time library: a property X is a getter X() and a
// setter SetX(value); an indexed property X[i] is X(i) and SetX(i, v);
// the default array property is also operator[] (read-only).
#include <algorithm>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Types.h"

// How sorted string lists and TThreadList treat an item already present.
enum TDuplicates { dupIgnore, dupAccept, dupError };

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Negative when Item1 sorts before Item2, 0 when equal, positive after.
using TListSortCompare = std::function<Integer(void* Item1, void* Item2)>;

// "List index out of bounds (%d)" and its siblings: the texts every list raises.
String ListIndexErrorText(Integer Index);

class TList : public TObject {
public:
  TList() = default;
  ~TList() override;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  // Appends; returns the new item's index.
  Integer Add(void* Item);
  // 0 <= Index <= Count, else EListError.
  void Insert(Integer Index, void* Item);
  // Removes the item at Index (notifies lnDeleted for a non-nil item).
  void Delete(Integer Index);
  // Deletes the first occurrence; returns its former index or -1.
  Integer Remove(void* Item);
  Integer IndexOf(void* Item) const;
  // Takes the first occurrence out without deleting it (notifies
  // lnExtracted); returns Item, or nullptr when it is not in the list.
  void* Extract(void* Item);
  void Exchange(Integer Index1, Integer Index2);
  // The item at CurIndex ends up at NewIndex.
  void Move(Integer CurIndex, Integer NewIndex);
  // Deletes every item (from the last to the first) and frees the storage.
  virtual void Clear();
  // Removes the nil items.
  void Pack();
  // Sorts with Compare; items that compare equal keep their order.
  void Sort(const TListSortCompare& Compare);
  // Copies the items of Source (Source == this: nothing).
  void Assign(const TList& Source);

  Integer Count() const { return static_cast<Integer>(FList.size()); }
  // Growing appends nil items; shrinking deletes from the end.
  void SetCount(Integer NewCount);
  Integer Capacity() const { return static_cast<Integer>(FList.capacity()); }
  // Below Count raises EListError "List capacity out of bounds (%d)".
  void SetCapacity(Integer NewCapacity);

  // Items[Index]; an index outside 0..Count-1 raises EListError.
  void* Items(Integer Index) const { return Get(Index); }
  void SetItems(Integer Index, void* Item) { Put(Index, Item); }
  void* Get(Integer Index) const;
  // Replaces the item: the old one is notified lnDeleted and the new one
  // lnAdded, unless both are the same pointer.
  void Put(Integer Index, void* Item);
  void* operator[](Integer Index) const { return Get(Index); }

  // Items[0] / Items[Count-1]: an empty list raises EListError.
  void* First() const { return Get(0); }
  void* Last() const { return Get(Count() - 1); }

  // The raw storage (valid until the next change of the list).
  void** List() { return FList.data(); }
  std::vector<void*>::const_iterator begin() const { return FList.begin(); }
  std::vector<void*>::const_iterator end() const { return FList.end(); }

  [[noreturn]] static void Error(const String& Msg, Integer Data);

protected:
  // Called after an item went in (lnAdded) or out (lnDeleted, lnExtracted).
  virtual void Notify(void* Ptr, TListNotification Action);

private:
  std::vector<void*> FList;
};

// A list of objects that frees them on Delete, Remove, Clear, replacement
// and destruction while OwnsObjects is true (the default). Extract hands an
// object back without freeing it.
class TObjectList : public TList {
public:
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) { TList::Insert(Index, AObject); }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  Integer IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  // Extracts the item at Index.
  TObject* ExtractItem(Integer Index) { return Extract(Items(Index)); }

  TObject* Items(Integer Index) const { return static_cast<TObject*>(TList::Get(Index)); }
  void SetItems(Integer Index, TObject* AObject) { TList::Put(Index, AObject); }
  TObject* operator[](Integer Index) const { return Items(Index); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }

  // Index of the first item that is an AClass (dynamic_cast succeeds),
  // starting at AStartAt; -1 when none.
  template <class AClass>
  Integer FindInstanceOf(Integer AStartAt = 0) const {
    for (Integer I = std::max(AStartAt, 0); I < Count(); ++I)
      if (dynamic_cast<AClass*>(Items(I)) != nullptr) return I;
    return -1;
  }

protected:
  void Notify(void* Ptr, TListNotification Action) override;

private:
  bool FOwnsObjects;
};

// A TList guarded by a recursive mutex. Add, Remove and Clear lock by
// themselves; anything else goes through LockList ... UnlockList (or a
// TThreadList::Locked guard).
class TThreadList : public TObject {
public:
  TThreadList() = default;
  ~TThreadList() override = default;
  TThreadList(const TThreadList&) = delete;
  TThreadList& operator=(const TThreadList&) = delete;

  // dupIgnore (the default): an item already there is not added again;
  // dupAccept: added anyway; dupError: EListError "List does not allow
  // duplicates ($0<hex address>)".
  void Add(void* Item);
  // Removes the first occurrence of Item.
  void Remove(void* Item);
  void Clear();
  TList* LockList();
  void UnlockList();

  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

  // RAII: LockList in the constructor, UnlockList in the destructor.
  class Locked {
  public:
    explicit Locked(TThreadList& AList) : FOwner(AList), FList(AList.LockList()) {}
    ~Locked() { FOwner.UnlockList(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    TList* operator->() const { return FList; }
    TList& operator*() const { return *FList; }

  private:
    TThreadList& FOwner;
    TList* FList;
  };

private:
  std::recursive_mutex FLock;
  TList FList;
  TDuplicates FDuplicates = dupIgnore;
};

namespace Generics {

// A typed list: a vector with the same method names as the untyped TList,
// so that code reads alike with either. A bad index raises
// EArgumentOutOfRangeException "Argument out of range".
template <class T>
class TList : public TObject {
public:
  using TComparison = std::function<Integer(const T& Left, const T& Right)>;

  TList() = default;
  Integer Add(const T& Value) {
    FItems.push_back(Value);
    return Count() - 1;
  }
  void AddRange(const std::vector<T>& Values) { FItems.insert(FItems.end(), Values.begin(), Values.end()); }
  void Insert(Integer Index, const T& Value) {
    if (Index < 0 || Index > Count()) RangeError();
    FItems.insert(FItems.begin() + Index, Value);
  }
  void Delete(Integer Index) {
    Check(Index);
    FItems.erase(FItems.begin() + Index);
  }
  void DeleteRange(Integer Index, Integer ACount) {
    if (Index < 0 || ACount < 0 || Index + ACount > Count()) RangeError();
    FItems.erase(FItems.begin() + Index, FItems.begin() + Index + ACount);
  }
  Integer Remove(const T& Value) {
    Integer I = IndexOf(Value);
    if (I >= 0) Delete(I);
    return I;
  }
  T Extract(const T& Value) {
    Integer I = IndexOf(Value);
    if (I < 0) return T();
    T Result = FItems[I];
    FItems.erase(FItems.begin() + I);
    return Result;
  }
  Integer IndexOf(const T& Value) const {
    for (Integer I = 0; I < Count(); ++I)
      if (FItems[I] == Value) return I;
    return -1;
  }
  bool Contains(const T& Value) const { return IndexOf(Value) >= 0; }
  void Exchange(Integer Index1, Integer Index2) {
    Check(Index1);
    Check(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
  }
  void Move(Integer CurIndex, Integer NewIndex) {
    Check(CurIndex);
    Check(NewIndex);
    T Value = std::move(FItems[CurIndex]);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(Value));
  }
  void Clear() { FItems.clear(); }
  void Reverse() { std::reverse(FItems.begin(), FItems.end()); }
  // Stable sort with operator< or with a comparison.
  void Sort() { std::stable_sort(FItems.begin(), FItems.end()); }
  void Sort(const TComparison& Compare) {
    std::stable_sort(FItems.begin(), FItems.end(), [&](const T& A, const T& B) { return Compare(A, B) < 0; });
  }

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  void SetCount(Integer Value) {
    if (Value < 0) RangeError();
    FItems.resize(Value);
  }
  Integer Capacity() const { return static_cast<Integer>(FItems.capacity()); }
  void SetCapacity(Integer Value) {
    if (Value >= Count()) FItems.reserve(Value);
  }
  const T& Items(Integer Index) const {
    Check(Index);
    return FItems[Index];
  }
  void SetItems(Integer Index, const T& Value) {
    Check(Index);
    FItems[Index] = Value;
  }
  const T& operator[](Integer Index) const { return Items(Index); }
  T& operator[](Integer Index) {
    Check(Index);
    return FItems[Index];
  }
  const T& First() const { return Items(0); }
  const T& Last() const { return Items(Count() - 1); }
  std::vector<T> ToArray() const { return FItems; }

  typename std::vector<T>::iterator begin() { return FItems.begin(); }
  typename std::vector<T>::iterator end() { return FItems.end(); }
  typename std::vector<T>::const_iterator begin() const { return FItems.begin(); }
  typename std::vector<T>::const_iterator end() const { return FItems.end(); }

private:
  void Check(Integer Index) const {
    if (Index < 0 || Index >= Count()) RangeError();
  }
  [[noreturn]] static void RangeError() { throw EArgumentOutOfRangeException(u"Argument out of range"); }

  std::vector<T> FItems;
};

// A typed list of objects that deletes them on Delete, Remove, Clear,
// replacement and destruction while OwnsObjects is true.
template <class T>
class TObjectList : public TObject {
public:
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override { Clear(); }
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  Integer Add(T* Value) { return FItems.Add(Value); }
  void Insert(Integer Index, T* Value) { FItems.Insert(Index, Value); }
  void Delete(Integer Index) {
    T* Old = FItems.Items(Index);
    FItems.Delete(Index);
    Release(Old);
  }
  Integer Remove(T* Value) {
    Integer I = FItems.IndexOf(Value);
    if (I >= 0) Delete(I);
    return I;
  }
  T* Extract(T* Value) { return FItems.Extract(Value); }
  Integer IndexOf(T* Value) const { return FItems.IndexOf(Value); }
  bool Contains(T* Value) const { return FItems.Contains(Value); }
  void Exchange(Integer Index1, Integer Index2) { FItems.Exchange(Index1, Index2); }
  void Move(Integer CurIndex, Integer NewIndex) { FItems.Move(CurIndex, NewIndex); }
  void Clear() {
    while (FItems.Count() > 0) Delete(FItems.Count() - 1);
  }
  void Sort(const std::function<Integer(T* Left, T* Right)>& Compare) {
    FItems.Sort([&](T* const& A, T* const& B) { return Compare(A, B); });
  }
  Integer Count() const { return FItems.Count(); }
  T* Items(Integer Index) const { return FItems.Items(Index); }
  void SetItems(Integer Index, T* Value) {
    T* Old = FItems.Items(Index);
    FItems.SetItems(Index, Value);
    if (Old != Value) Release(Old);
  }
  T* operator[](Integer Index) const { return Items(Index); }
  T* First() const { return FItems.First(); }
  T* Last() const { return FItems.Last(); }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

private:
  void Release(T* Value) {
    if (FOwnsObjects) delete Value;
  }
  Generics::TList<T*> FItems;
  bool FOwnsObjects;
};

}  // namespace Generics
