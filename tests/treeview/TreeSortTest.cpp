// Stable sibling sort, and a failing comparison that must leave the chain whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "TreeTestSupport.h"

namespace {

class TSortTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree.SetNodeDataSize(8);
    Tree.OnCompareNodes = [this](TBaseVastTree*, PVastNode A, PVastNode B, TColumnIndex, Integer& R) {
      ++Comparisons;
      if (ThrowAfter >= 0 && Comparisons > ThrowAfter) throw std::runtime_error("compare failed");
      R = Key(Tree, A) / 10 - Key(Tree, B) / 10;
    };
  }
  std::vector<Integer> Keys(PVastNode Parent = nullptr) {
    std::vector<Integer> K;
    for (PVastNode Run = Tree.GetFirstChildNoInit(Parent); Run; Run = Run->NextSibling) K.push_back(Key(Tree, Run));
    return K;
  }
  TBaseVastTree Tree;
  int Comparisons = 0;
  int ThrowAfter = -1;
};

TEST_F(TSortTest, StableInBothDirections) {
  std::mt19937 Random(7);
  std::vector<Integer> Input;
  // Tens give the sort key, units the original position among equals.
  for (int I = 0; I < 200; ++I) Input.push_back(static_cast<Integer>((Random() % 9) * 10 + I % 10));
  for (TSortDirection Direction : {sdAscending, sdDescending}) {
    Tree.Clear();
    for (Integer K : Input) Key(Tree, Tree.AddChild(nullptr)) = K;
    Tree.Sort(nullptr, NoColumn, Direction);
    std::vector<Integer> Expected = Input;
    std::stable_sort(Expected.begin(), Expected.end(), [Direction](Integer X, Integer Y) {
      return Direction == sdAscending ? X / 10 < Y / 10 : X / 10 > Y / 10;
    });
    EXPECT_EQ(Keys(), Expected);
    EXPECT_TREE_VALID(Tree);
  }
}

TEST_F(TSortTest, WithoutHandlerOrderIsKeptAndIndexesRenumbered) {
  Tree.OnCompareNodes = nullptr;
  for (Integer K : {30, 10, 20}) Key(Tree, Tree.AddChild(nullptr)) = K;
  Tree.Sort(nullptr, NoColumn, sdDescending);
  EXPECT_EQ(Keys(), (std::vector<Integer>{30, 10, 20}));
  EXPECT_TREE_VALID(Tree);
}

TEST_F(TSortTest, FailingComparisonLeavesChainCountsAndIndexesIntact) {
  PVastNode Parent = Tree.AddChild(nullptr);
  Key(Tree, Parent) = 0;
  for (Integer K : {50, 40, 30, 20, 10, 60, 70}) Key(Tree, Tree.AddChild(Parent)) = K;
  Tree.SetExpanded(Parent, true);
  const std::vector<Integer> Before = Keys(Parent);
  for (int Limit : {0, 1, 3, 8}) {
    Comparisons = 0;
    ThrowAfter = Limit;
    EXPECT_THROW(Tree.Sort(Parent, NoColumn, sdAscending), std::runtime_error);
    EXPECT_EQ(Keys(Parent), Before) << "after " << Limit << " comparisons";
    EXPECT_TREE_VALID(Tree);
    EXPECT_EQ(Tree.OperationCount(), 0u);
  }
  ThrowAfter = -1;
  Tree.Sort(Parent, NoColumn, sdAscending);
  EXPECT_EQ(Keys(Parent), (std::vector<Integer>{10, 20, 30, 40, 50, 60, 70}));
}

TEST_F(TSortTest, AutoSortWaitsForExpansionAndUpdateEnd) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() + TVTAutoOptions{toAutoSort});
  PVastNode Parent = Tree.AddChild(nullptr);
  Key(Tree, Parent) = 0;
  Tree.BeginUpdate();
  Comparisons = 0;
  for (Integer K : {30, 10, 20}) Key(Tree, Tree.AddChild(Parent)) = K;
  EXPECT_EQ(Comparisons, 0);
  Tree.EndUpdate();
  // The parent is collapsed: its children wait for the expansion.
  EXPECT_EQ(Keys(Parent), (std::vector<Integer>{30, 10, 20}));
  Tree.SetExpanded(Parent, true);
  EXPECT_EQ(Keys(Parent), (std::vector<Integer>{10, 20, 30}));
}

TEST_F(TSortTest, CancelledSortStopsComparing) {
  for (int I = 0; I < 64; ++I) Key(Tree, Tree.AddChild(nullptr)) = 640 - I * 10;
  Tree.OnCompareNodes = [this](TBaseVastTree* T, PVastNode A, PVastNode B, TColumnIndex, Integer& R) {
    if (++Comparisons == 5) T->CancelOperation();
    R = Key(Tree, A) - Key(Tree, B);
  };
  Tree.Sort(nullptr, NoColumn, sdAscending);
  EXPECT_EQ(Comparisons, 5);
  EXPECT_TREE_VALID(Tree);
  EXPECT_FALSE(Tree.OperationCanceled());
}

}  // namespace
