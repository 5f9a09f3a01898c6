#include "rtl/Lists.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using testsupport::MessageOf;

void* P(std::intptr_t V) { return reinterpret_cast<void*>(V); }

std::vector<std::intptr_t> Items(const TList& L) {
  std::vector<std::intptr_t> Result;
  for (void* Item : L) Result.push_back(reinterpret_cast<std::intptr_t>(Item));
  return Result;
}

using testsupport::TCounted;

class TOther : public TObject {};

TEST(TList, AddInsertDeleteRemoveIndexOf) {
  TList L;
  EXPECT_EQ(L.Add(P(1)), 0);
  EXPECT_EQ(L.Add(P(2)), 1);
  L.Insert(0, P(3));
  L.Insert(3, P(4));
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{3, 1, 2, 4}));
  EXPECT_EQ(L.Count(), 4);
  EXPECT_EQ(L.IndexOf(P(2)), 2);
  EXPECT_EQ(L.IndexOf(P(9)), -1);
  L.Delete(1);
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{3, 2, 4}));
  EXPECT_EQ(L.Remove(P(4)), 2);
  EXPECT_EQ(L.Remove(P(4)), -1);
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{3, 2}));
  EXPECT_EQ(L.First(), P(3));
  EXPECT_EQ(L.Last(), P(2));
  EXPECT_EQ(L[1], P(2));
  L.Clear();
  EXPECT_EQ(L.Count(), 0);
  EXPECT_EQ(L.Capacity(), 0);
}

TEST(TList, IndexErrorsCarryTheIndex) {
  TList L;
  L.Add(P(1));
  struct Case {
    const char* name;
    std::function<void()> action;
    const char16_t* message;
  };
  const Case cases[] = {
      {"get past end", [&] { L.Get(1); }, u"List index out of bounds (1)"},
      {"get negative", [&] { L.Items(-1); }, u"List index out of bounds (-1)"},
      {"put", [&] { L.Put(5, nullptr); }, u"List index out of bounds (5)"},
      {"insert past count", [&] { L.Insert(2, nullptr); }, u"List index out of bounds (2)"},
      {"delete", [&] { L.Delete(1); }, u"List index out of bounds (1)"},
      {"exchange", [&] { L.Exchange(0, 3); }, u"List index out of bounds (3)"},
      {"move", [&] { L.Move(0, 7); }, u"List index out of bounds (7)"},
      {"capacity", [&] { L.SetCapacity(0); }, u"List capacity out of bounds (0)"},
      {"count", [&] { L.SetCount(-2); }, u"List count out of bounds (-2)"},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf<EListError>(c.action), c.message) << c.name;
  TList Empty;
  EXPECT_EQ(MessageOf<EListError>([&] { Empty.First(); }), u"List index out of bounds (0)");
  EXPECT_EQ(MessageOf<EListError>([&] { Empty.Last(); }), u"List index out of bounds (-1)");
}

TEST(TList, ExchangeMoveExtractPackSort) {
  TList L;
  for (int I = 1; I <= 5; ++I) L.Add(P(I));
  L.Exchange(0, 4);
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{5, 2, 3, 4, 1}));
  L.Move(0, 3);
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{2, 3, 4, 5, 1}));
  L.Move(4, 0);
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(L.Extract(P(3)), P(3));
  EXPECT_EQ(L.Extract(P(3)), nullptr);
  L.Put(1, nullptr);
  L.Add(nullptr);
  EXPECT_EQ(L.Count(), 5);
  L.Pack();
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{1, 4, 5}));
  L.Sort([](void* A, void* B) {
    return static_cast<Integer>(reinterpret_cast<std::intptr_t>(B) - reinterpret_cast<std::intptr_t>(A));
  });
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{5, 4, 1}));
  L.SetCount(5);
  EXPECT_EQ(Items(L), (std::vector<std::intptr_t>{5, 4, 1, 0, 0}));
  TList Copy;
  Copy.Assign(L);
  EXPECT_EQ(Items(Copy), Items(L));
}

TEST(TObjectList, OwnsAndFreesItsObjects) {
  int Freed = 0;
  {
    TObjectList L;
    EXPECT_TRUE(L.OwnsObjects());
    auto* A = new TCounted(Freed);
    auto* B = new TCounted(Freed);
    auto* C = new TCounted(Freed);
    auto* D = new TCounted(Freed);
    L.Add(A);
    L.Add(B);
    L.Add(C);
    L.Add(D);
    L.Delete(0);
    EXPECT_EQ(Freed, 1);
    EXPECT_EQ(L.Remove(B), 0);
    EXPECT_EQ(Freed, 2);
    // Extract hands the object back.
    EXPECT_EQ(L.Extract(C), C);
    EXPECT_EQ(Freed, 2);
    delete C;
    EXPECT_EQ(Freed, 3);
    // Replacing frees the old item; putting the same one back does not.
    L.SetItems(0, D);
    EXPECT_EQ(Freed, 3);
    L.SetItems(0, new TCounted(Freed));
    EXPECT_EQ(Freed, 4);
    L.Add(new TCounted(Freed));
    L.Add(new TOther());
  }
  EXPECT_EQ(Freed, 6);
}

TEST(TObjectList, ClearAndNotOwning) {
  int Freed = 0;
  TObjectList L;
  L.Add(new TCounted(Freed));
  L.Add(new TCounted(Freed));
  L.Clear();
  EXPECT_EQ(Freed, 2);
  TCounted Kept(Freed);
  {
    TObjectList Borrowing(false);
    Borrowing.Add(&Kept);
    Borrowing.Delete(0);
    Borrowing.Add(&Kept);
  }
  EXPECT_EQ(Freed, 2);
}

TEST(TObjectList, TypedAccessAndFindInstanceOf) {
  int Freed = 0;
  TObjectList L;
  auto* A = new TCounted(Freed);
  auto* O = new TOther();
  L.Add(A);
  L.Add(O);
  EXPECT_EQ(L.First(), A);
  EXPECT_EQ(L.Last(), O);
  EXPECT_EQ(L[1], O);
  EXPECT_EQ(L.IndexOf(O), 1);
  EXPECT_EQ(L.FindInstanceOf<TOther>(), 1);
  EXPECT_EQ(L.FindInstanceOf<TCounted>(1), -1);
}

TEST(TThreadList, DuplicatesPolicies) {
  TThreadList L;
  EXPECT_EQ(L.Duplicates(), dupIgnore);
  L.Add(P(1));
  L.Add(P(1));
  {
    TThreadList::Locked Guard(L);
    EXPECT_EQ(Guard->Count(), 1);
  }
  L.SetDuplicates(dupAccept);
  L.Add(P(1));
  EXPECT_EQ(L.LockList()->Count(), 2);
  L.UnlockList();
  L.SetDuplicates(dupError);
  EXPECT_THROW(L.Add(P(1)), EListError);
  EXPECT_EQ(MessageOf<EListError>([&] { L.Add(P(0x1F)); }), u"<no exception>");
  EXPECT_EQ(MessageOf<EListError>([&] { L.Add(P(0x1F)); }), u"List does not allow duplicates ($01F)");
  L.Remove(P(1));
  EXPECT_EQ(L.LockList()->Count(), 2);
  L.UnlockList();
  L.Clear();
  EXPECT_EQ(L.LockList()->Count(), 0);
  L.UnlockList();
}

TEST(TThreadList, ConcurrentAddsAllArrive) {
  TThreadList L;
  L.SetDuplicates(dupAccept);
  std::vector<std::thread> Threads;
  for (int T = 0; T < 4; ++T)
    Threads.emplace_back([&L, T] {
      for (int I = 0; I < 500; ++I) L.Add(P(T * 1000 + I + 1));
    });
  for (auto& Th : Threads) Th.join();
  TThreadList::Locked Guard(L);
  EXPECT_EQ(Guard->Count(), 2000);
  // The lock is recursive: a holder may lock the list again.
  TList* Again = L.LockList();
  EXPECT_EQ(Again, &*Guard);
  L.UnlockList();
}

TEST(GenericsTList, TypedOperations) {
  Generics::TList<int> L;
  L.Add(3);
  L.Add(1);
  L.Add(2);
  L.Insert(0, 9);
  EXPECT_EQ(L.Count(), 4);
  EXPECT_EQ(L[0], 9);
  L.Sort();
  EXPECT_EQ(L.ToArray(), (std::vector<int>{1, 2, 3, 9}));
  L.Sort([](const int& A, const int& B) { return B - A; });
  EXPECT_EQ(L.ToArray(), (std::vector<int>{9, 3, 2, 1}));
  EXPECT_EQ(L.Remove(3), 1);
  EXPECT_EQ(L.IndexOf(3), -1);
  L.Move(0, 2);
  EXPECT_EQ(L.ToArray(), (std::vector<int>{2, 1, 9}));
  L[1] = 7;
  EXPECT_EQ(L.Items(1), 7);
  EXPECT_THROW(L.Items(3), EArgumentOutOfRangeException);
  int Sum = 0;
  for (int V : L) Sum += V;
  EXPECT_EQ(Sum, 18);
}

TEST(GenericsTObjectList, OwnsItsObjects) {
  int Freed = 0;
  {
    Generics::TObjectList<TCounted> L;
    auto* A = new TCounted(Freed);
    L.Add(A);
    L.Add(new TCounted(Freed));
    L.Add(new TCounted(Freed));
    EXPECT_EQ(L.Extract(A), A);
    delete A;
    EXPECT_EQ(Freed, 1);
    L.Delete(0);
    EXPECT_EQ(Freed, 2);
    L.SetItems(0, new TCounted(Freed));
    EXPECT_EQ(Freed, 3);
  }
  EXPECT_EQ(Freed, 4);
}

}  // namespace
