#include "rtl/Lists.h"

#include <algorithm>
#include <cstdint>

#include "rtl/SysUtils.h"

namespace {

// Replaces the first "%d" of Msg by Data (the list messages carry at most one).
String FormatListMessage(const String& Msg, Integer Data) {
  String Result = Msg;
  auto P = Result.find(u"%d");
  if (P != String::npos) Result.replace(P, 2, IntToStr(Data));
  return Result;
}

}  // namespace

String ListIndexErrorText(Integer Index) { return u"List index out of bounds (" + IntToStr(Index) + u")"; }

// ---------------------------------------------------------------------------
// TList

TList::~TList() {
  // Notify is no longer virtual here; descendants that own their items clear
  // in their own destructors.
  FList.clear();
}

void TList::Error(const String& Msg, Integer Data) { throw EListError(FormatListMessage(Msg, Data)); }

Integer TList::Add(void* Item) {
  Integer Result = Count();
  FList.push_back(Item);
  if (Item != nullptr) Notify(Item, lnAdded);
  return Result;
}

void TList::Insert(Integer Index, void* Item) {
  if (Index < 0 || Index > Count()) throw EListError(ListIndexErrorText(Index));
  FList.insert(FList.begin() + Index, Item);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) throw EListError(ListIndexErrorText(Index));
  void* Temp = FList[Index];
  FList.erase(FList.begin() + Index);
  if (Temp != nullptr) Notify(Temp, lnDeleted);
}

Integer TList::Remove(void* Item) {
  Integer Result = IndexOf(Item);
  if (Result >= 0) Delete(Result);
  return Result;
}

Integer TList::IndexOf(void* Item) const {
  auto It = std::find(FList.begin(), FList.end(), Item);
  return It == FList.end() ? -1 : static_cast<Integer>(It - FList.begin());
}

void* TList::Extract(void* Item) {
  Integer I = IndexOf(Item);
  if (I < 0) return nullptr;
  FList.erase(FList.begin() + I);
  if (Item != nullptr) Notify(Item, lnExtracted);
  return Item;
}

void TList::Exchange(Integer Index1, Integer Index2) {
  if (Index1 < 0 || Index1 >= Count()) throw EListError(ListIndexErrorText(Index1));
  if (Index2 < 0 || Index2 >= Count()) throw EListError(ListIndexErrorText(Index2));
  std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  if (CurIndex < 0 || CurIndex >= Count()) throw EListError(ListIndexErrorText(CurIndex));
  if (NewIndex < 0 || NewIndex >= Count()) throw EListError(ListIndexErrorText(NewIndex));
  void* Item = FList[CurIndex];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, Item);
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Pack() { FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end()); }

void TList::Sort(const TListSortCompare& Compare) {
  if (!Compare || FList.size() < 2) return;
  std::stable_sort(FList.begin(), FList.end(), [&](void* A, void* B) { return Compare(A, B) < 0; });
}

void TList::Assign(const TList& Source) {
  if (&Source == this) return;
  Clear();
  SetCapacity(Source.Count());
  for (void* Item : Source.FList) Add(Item);
}

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0) Error(u"List count out of bounds (%d)", NewCount);
  if (NewCount > Count()) {
    FList.resize(NewCount, nullptr);
  } else {
    for (Integer I = Count() - 1; I >= NewCount; --I) Delete(I);
  }
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < Count()) Error(u"List capacity out of bounds (%d)", NewCapacity);
  if (NewCapacity > Capacity()) {
    FList.reserve(NewCapacity);
  } else if (NewCapacity < Capacity()) {
    std::vector<void*> Shrunk;
    Shrunk.reserve(NewCapacity);
    Shrunk.assign(FList.begin(), FList.end());
    FList.swap(Shrunk);
  }
}

void* TList::Get(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(ListIndexErrorText(Index));
  return FList[Index];
}

void TList::Put(Integer Index, void* Item) {
  if (Index < 0 || Index >= Count()) throw EListError(ListIndexErrorText(Index));
  void* Temp = FList[Index];
  if (Temp == Item) return;
  FList[Index] = Item;
  if (Temp != nullptr) Notify(Temp, lnDeleted);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

// ---------------------------------------------------------------------------
// TObjectList

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
  TList::Notify(Ptr, Action);
}

// ---------------------------------------------------------------------------
// TThreadList

void TThreadList::Add(void* Item) {
  std::lock_guard<std::recursive_mutex> Guard(FLock);
  if (FDuplicates == dupAccept || FList.IndexOf(Item) == -1) {
    FList.Add(Item);
  } else if (FDuplicates == dupError) {
    throw EListError(u"List does not allow duplicates ($0" +
                     IntToHex(static_cast<UInt64>(reinterpret_cast<std::uintptr_t>(Item)), 1) + u")");
  }
}

void TThreadList::Remove(void* Item) {
  std::lock_guard<std::recursive_mutex> Guard(FLock);
  FList.Remove(Item);
}

void TThreadList::Clear() {
  std::lock_guard<std::recursive_mutex> Guard(FLock);
  FList.Clear();
}

TList* TThreadList::LockList() {
  FLock.lock();
  return &FList;
}

void TThreadList::UnlockList() { FLock.unlock(); }
