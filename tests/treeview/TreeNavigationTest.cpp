// Walk orders, plain and NoInit, and the backward filters from nil.
#include <gtest/gtest.h>

#include "TreeTestSupport.h"

namespace {

// A(A1 A2(A2a)) B C(C1), keys as labels: A=1 A1=11 A2=12 A2a=121 B=2 C=3 C1=31.
struct TNavigationTest {
  TNavigationTest() {
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    A = Add(nullptr, 1);
    A1 = Add(A, 11);
    A2 = Add(A, 12);
    A2a = Add(A2, 121);
    B = Add(nullptr, 2);
    C = Add(nullptr, 3);
    C1 = Add(C, 31);
  }
  PVastNode Add(PVastNode Parent, Integer K) {
    PVastNode N = Tree.AddChild(Parent);
    Key(Tree, N) = K;
    return N;
  }
  template <class First, class Next>
  std::string Walk(First F, Next N) {
    std::string S;
    for (PVastNode Run = F(); Run; Run = N(Run)) S += (S.empty() ? "" : " ") + std::to_string(Key(Tree, Run));
    return S;
  }
  TBaseVastTree Tree;
  PVastNode A, A1, A2, A2a, B, C, C1;
};

TEST(TreeNavigation, WalkOrders) {
  struct TCase {
    const char* Name;
    std::function<std::string(TNavigationTest&)> Run;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"tree order",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetFirst(); }, [&](PVastNode N) { return T.Tree.GetNext(N); });
       },
       "1 11 12 121 2 3 31"},
      {"tree order NoInit",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetFirstNoInit(); }, [&](PVastNode N) { return T.Tree.GetNextNoInit(N); });
       },
       "1 11 12 121 2 3 31"},
      {"backwards",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetLast(); }, [&](PVastNode N) { return T.Tree.GetPrevious(N); });
       },
       "31 3 2 121 12 11 1"},
      {"backwards NoInit",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetLastNoInit(); },
                       [&](PVastNode N) { return T.Tree.GetPreviousNoInit(N); });
       },
       "31 3 2 121 12 11 1"},
      {"children above",
       [](TNavigationTest& T) {
         T.Tree.TreeOptions().SetPaintOptions(T.Tree.TreeOptions().PaintOptions() + TVTPaintOptions{toChildrenAbove});
         return T.Walk([&] { return T.Tree.GetFirst(true); }, [&](PVastNode N) { return T.Tree.GetNext(N, true); });
       },
       "11 121 12 1 2 31 3"},
      {"children above, option off",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetFirst(true); }, [&](PVastNode N) { return T.Tree.GetNext(N, true); });
       },
       "1 11 12 121 2 3 31"},
      {"leaves",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetFirstLeaf(); }, [&](PVastNode N) { return T.Tree.GetNextLeaf(N); });
       },
       "11 121 2 31"},
      {"leaves backwards from nil",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetPreviousLeaf(nullptr); },
                       [&](PVastNode N) { return T.Tree.GetPreviousLeaf(N); });
       },
       "31 2 121 11"},
      {"level 1",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetFirstLevel(1); }, [&](PVastNode N) { return T.Tree.GetNextLevel(N, 1); });
       },
       "11 12 31"},
      {"visible, all collapsed",
       [](TNavigationTest& T) {
         return T.Walk([&] { return T.Tree.GetFirstVisible(); }, [&](PVastNode N) { return T.Tree.GetNextVisible(N); });
       },
       "1 2 3"},
      {"visible, A open, B hidden",
       [](TNavigationTest& T) {
         T.Tree.SetExpanded(T.A, true);
         T.Tree.SetVisible(T.B, false);
         return T.Walk([&] { return T.Tree.GetFirstVisible(); }, [&](PVastNode N) { return T.Tree.GetNextVisible(N); });
       },
       "1 11 12 3"},
      {"visible backwards, A open, A1 filtered",
       [](TNavigationTest& T) {
         T.Tree.SetExpanded(T.A, true);
         T.Tree.SetFiltered(T.A1, true);
         return T.Walk([&] { return T.Tree.GetLastVisible(); },
                       [&](PVastNode N) { return T.Tree.GetPreviousVisible(N); });
       },
       "3 2 12 1"},
      {"next visible from a hidden node resumes after it",
       [](TNavigationTest& T) {
         T.Tree.SetExpanded(T.A, true);
         T.Tree.SetVisible(T.A1, false);
         return T.Walk([&] { return T.Tree.GetNextVisible(T.A1); },
                       [&](PVastNode N) { return T.Tree.GetNextVisible(N); });
       },
       "12 2 3"},
      {"selected backwards from nil starts at the last node",
       [](TNavigationTest& T) {
         T.Tree.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
         for (PVastNode N : {T.A2a, T.C1, T.B}) T.Tree.SetSelected(N, true);
         return T.Walk([&] { return T.Tree.GetPreviousSelected(nullptr); },
                       [&](PVastNode N) { return T.Tree.GetPreviousSelected(N); });
       },
       "31 2 121"},
  };
  for (const TCase& Case : Cases) {
    TNavigationTest Sample;
    EXPECT_EQ(Case.Run(Sample), Case.Expected) << Case.Name;
    EXPECT_TREE_VALID(Sample.Tree);
  }
}

TEST(TreeNavigation, PlainWalkCreatesChildrenNoInitDoesNot) {
  TBaseVastTree Tree;
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
  Tree.OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
    if (!Parent) States.Include(ivsHasChildren);
  };
  Tree.OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 2; };
  Tree.SetRootNodeCount(3);
  int NoInit = 0;
  for (PVastNode Run = Tree.GetFirstNoInit(); Run; Run = Tree.GetNextNoInit(Run)) ++NoInit;
  EXPECT_EQ(NoInit, 3);
  int Plain = 0;
  for (PVastNode N : Tree.Nodes()) {
    EXPECT_TRUE(N->States.Contains(vsInitialized));
    ++Plain;
  }
  EXPECT_EQ(Plain, 9);
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeNavigation, QueriesAndPositions) {
  TNavigationTest S;
  TBaseVastTree& Tree = S.Tree;
  PVastNode A = S.A, A1 = S.A1, A2 = S.A2, A2a = S.A2a, B = S.B, C1 = S.C1;
  EXPECT_EQ(Tree.AbsoluteIndex(B), A->TotalCount);
  EXPECT_EQ(Tree.AbsoluteIndex(A), 0u);
  EXPECT_EQ(Tree.GetNodeLevel(A2a), 2u);
  EXPECT_TRUE(Tree.HasAsParent(A2a, Tree.RootNode()));
  EXPECT_FALSE(Tree.HasAsParent(A2a, A2a));
  EXPECT_LT(Tree.CompareNodePositions(A2a, B), 0);
  EXPECT_GT(Tree.CompareNodePositions(A2a, A), 0);
  EXPECT_LT(Tree.CompareNodePositions(A1, A2a), 0);
  EXPECT_EQ(Tree.CompareNodePositions(C1, C1), 0);
  std::vector<Integer> Visited;
  Tree.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
  Tree.SetSelected(A2, true);
  Tree.SetSelected(A2a, true);
  Tree.SetSelected(C1, true);
  Tree.IterateSubtree(
      A, [&](TBaseVastTree*, PVastNode N, void*, bool&) { Visited.push_back(Key(Tree, N)); }, nullptr,
      TVastNodeStates{vsSelected});
  EXPECT_EQ(Visited, (std::vector<Integer>{12, 121}));
  TNodeArray Resolved = Tree.GetSortedSelection(true);
  ASSERT_EQ(Resolved.size(), 2u);
  EXPECT_EQ(Resolved[0], A2);
  EXPECT_EQ(Resolved[1], C1);
}

}  // namespace
