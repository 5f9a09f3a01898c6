// Node store, structure and initialisation, with a randomised run that
// checks every invariant after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "TreeSmallStack.h"
#include "TreeTestSupport.h"

namespace {

PVastNode AddKeyed(TBaseVastTree& Tree, PVastNode Parent, Integer K) {
  PVastNode Node = Tree.AddChild(Parent);
  Key(Tree, Node) = K;
  return Node;
}

TEST(TreeStore, FirstNodeAsksDataSizeAndDataFollowsHeader) {
  TBaseVastTree Tree;
  EXPECT_EQ(Tree.NodeDataSize(), -1);
  PVastNode Node = Tree.AddChild(nullptr);
  EXPECT_EQ(Tree.NodeDataSize(), 4);
  EXPECT_EQ(static_cast<Byte*>(Tree.GetNodeData(Node)), reinterpret_cast<Byte*>(Node) + sizeof(TVastNode));
  EXPECT_EQ(Tree.GetNodeData(nullptr), nullptr);
  EXPECT_EQ(Tree.GetNodeData(Tree.RootNode()), nullptr);
  EXPECT_EQ(Tree.GetNodeParent(Node), nullptr);
  EXPECT_EQ(Node->Index, 0u);
  EXPECT_EQ(Tree.RootNodeCount(), 1u);
  // The user data area is aligned for pointers on every target.
  EXPECT_EQ(sizeof(TVastNode) % alignof(void*), 0u);
  TBaseVastTree Empty;
  Empty.SetNodeDataSize(-5);
  EXPECT_EQ(Empty.NodeDataSize(), -1);
}

TEST(TreeStore, NodeDataSizeChangeRecreatesEmptyNodesAndFreesOld) {
  TBaseVastTree Tree;
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
  Tree.SetNodeDataSize(8);
  int Freed = 0;
  Tree.OnFreeNode = [&](TBaseVastTree*, PVastNode) { ++Freed; };
  for (int I = 0; I < 3; ++I) Tree.AddChild(nullptr);
  Tree.GetNodeData(Tree.GetFirstNoInit());  // marks it for OnFreeNode though never initialised
  Tree.SetNodeDataSize(12);
  EXPECT_EQ(Freed, 1);
  EXPECT_EQ(Tree.RootNodeCount(), 3u);
  EXPECT_FALSE(Tree.GetFirstNoInit()->States.Contains(vsInitialized));
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeStore, TotalCountInitialisesEverything) {
  TBaseVastTree Tree;
  EXPECT_EQ(Tree.TotalCount(), 0u);
  Tree.OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode Node, TVastNodeInitStates& States) {
    if (!Parent && Node->Index == 0) States.Include(ivsHasChildren);
  };
  Tree.OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 3; };
  Tree.SetRootNodeCount(2);
  EXPECT_EQ(Tree.TotalCount(), 5u);
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeStore, HeightsAreClampedToTheRowField) {
  TBaseVastTree Tree;
  PVastNode Node = Tree.AddChild(nullptr);
  Tree.SetNodeHeight(Node, 100000);
  EXPECT_EQ(Node->NodeHeight, 65535);
  EXPECT_TREE_VALID(Tree);
  Tree.SetDefaultNodeHeight(70000);
  PVastNode Second = Tree.AddChild(nullptr);
  EXPECT_EQ(Second->NodeHeight, 65535);
  EXPECT_EQ(Second->TotalHeight, 65535u);
  EXPECT_TREE_VALID(Tree);
  Tree.SetDefaultNodeHeight(0);
  EXPECT_EQ(Tree.DefaultNodeHeight(), 18u);
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeStore, AnimationOptionsDefaultToNone) {
  TBaseVastTree Tree;
  EXPECT_TRUE(Tree.TreeOptions().AnimationOptions().Empty());
  EXPECT_EQ(Tree.AnimationDuration(), 200u);
  EXPECT_TRUE(Tree.TreeOptions().AutoOptions().Contains(toAutoSort));
  EXPECT_TRUE(Tree.TreeOptions().MiscOptions().Contains(toEditOnClick));
  EXPECT_FALSE(Tree.TreeOptions().MiscOptions().Contains(toEditable));
  Tree.SetAnimationDuration(0);
  EXPECT_FALSE(Tree.TreeOptions().AnimationOptions().Contains(toAnimatedToggle));
  Tree.SetAnimationDuration(1);
  EXPECT_TRUE(Tree.TreeOptions().AnimationOptions().Contains(toAnimatedToggle));
  TVTPaintOptions Paint = Tree.TreeOptions().PaintOptions();
  Paint.Exclude(toShowRoot);
  Paint.Include(toFixedIndent);
  Tree.TreeOptions().SetPaintOptions(Paint);
  EXPECT_TRUE(Tree.TreeOptions().PaintOptions().Contains(toShowRoot));
}

TEST(TreeStructure, InsertModesAndIndexes) {
  TBaseVastTree Tree;
  PVastNode B = AddKeyed(Tree, nullptr, 2);
  Key(Tree, Tree.InsertNode(nullptr, amInsertBefore)) = 1;
  Key(Tree, Tree.InsertNode(B, amInsertAfter)) = 3;
  Key(Tree, Tree.InsertNode(B, amAddChildFirst)) = 22;
  Key(Tree, Tree.InsertNode(B, amAddChildFirst)) = 21;
  EXPECT_EQ(Tree.InsertNode(B, amNoWhere), nullptr);
  EXPECT_EQ(Shape(Tree), "1 2(21 22) 3");
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeStructure, SetChildCountGrowsAndShrinksReportingChildAdded) {
  TBaseVastTree Tree;
  std::vector<TChangeReason> Reasons;
  Tree.OnStructureChange = [&](TBaseVastTree*, PVastNode, TChangeReason R) { Reasons.push_back(R); };
  PVastNode Node = Tree.AddChild(nullptr);
  Tree.AddChild(Node);
  Tree.AddChild(Node);
  Reasons.clear();
  Tree.ReinitChildren(nullptr, false);
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
  Tree.OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 5; };
  Tree.ReinitChildren(Node, false);
  EXPECT_EQ(Node->ChildCount, 5u);
  EXPECT_EQ(Node->LastChild->Index, 4u);
  EXPECT_TREE_VALID(Tree);
  Tree.OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 1; };
  Tree.ReinitChildren(Node, false);
  EXPECT_EQ(Node->ChildCount, 1u);
  ASSERT_GE(Reasons.size(), 2u);
  EXPECT_EQ(Reasons.back(), crChildAdded);
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeStructure, DeletingOnlyChildCollapsesParent) {
  TBaseVastTree Tree;
  PVastNode Parent = Tree.AddChild(nullptr);
  PVastNode Child = Tree.AddChild(Parent);
  Tree.SetExpanded(Parent, true);
  EXPECT_EQ(Tree.VisibleCount(), 2u);
  Tree.DeleteNode(Child);
  EXPECT_FALSE(Parent->States.Contains(vsHasChildren));
  EXPECT_FALSE(Parent->States.Contains(vsExpanded));
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeStructure, DeleteNodesReindexesOnceAndKeepsChainGapless) {
  TBaseVastTree Tree;
  std::vector<PVastNode> Nodes;
  for (int I = 0; I < 6; ++I) Nodes.push_back(AddKeyed(Tree, nullptr, I));
  Tree.DeleteNodes({Nodes[1], Nodes[2], Nodes[4]});
  EXPECT_EQ(Shape(Tree), "0 3 5");
  EXPECT_TREE_VALID(Tree);
  Tree.DeleteNodes({});
  EXPECT_EQ(Tree.RootNodeCount(), 3u);
}

TEST(TreeStructure, ReadOnlyRefusesChanges) {
  TBaseVastTree Tree;
  PVastNode Node = Tree.AddChild(nullptr);
  Tree.AddChild(Node);
  Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toReadOnly});
  EXPECT_EQ(Tree.AddChild(nullptr), nullptr);
  Tree.SetHasChildren(Node, false);
  Tree.Clear();
  Tree.DeleteNode(Node);
  EXPECT_EQ(Tree.RootNodeCount(), 1u);
  EXPECT_EQ(Node->ChildCount, 1u);
}

TEST(TreeStore, StoredRootCountComesBackOnReadOnlyTree) {
  for (bool ReadOnly : {false, true}) {
    TBaseVastTree Tree;
    if (ReadOnly) Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toReadOnly});
    Tree.SetLoading(true);
    Tree.SetRootNodeCount(7);
    Tree.SetLoading(false);
    EXPECT_EQ(Tree.RootNodeCount(), 7u) << ReadOnly;
    EXPECT_EQ(Tree.TotalCount(), 7u) << ReadOnly;
    EXPECT_TREE_VALID(Tree);
  }
}

TEST(TreeStore, NilNodeAccessorsAnswerDefaults) {
  TBaseVastTree Tree;
  int Asked = 0;
  Tree.OnBeforeGetCheckState = [&](TBaseVastTree*, PVastNode) { ++Asked; };
  EXPECT_EQ(Tree.GetVerticalAlignment(nullptr), 50);
  EXPECT_FALSE(Tree.GetFiltered(nullptr));
  EXPECT_EQ(Tree.GetCheckState(nullptr), csUncheckedNormal);
  EXPECT_EQ(Tree.GetCheckType(nullptr), ctNone);
  EXPECT_EQ(Asked, 0);
  EXPECT_EQ(Tree.GetVerticalAlignment(Tree.AddChild(nullptr)), 50);
}

PVastNode AddChain(TBaseVastTree& Tree, PVastNode Parent, Cardinal Levels) {
  PVastNode Top = nullptr;
  for (Cardinal I = 0; I < Levels; ++I) {
    Parent = Tree.AddChild(Parent);
    if (!Top) Top = Parent;
  }
  return Top;
}

TEST(TreeStructure, DeepTreeWalksRunOnASmallStack) {
  constexpr Cardinal Levels = 20000;
  auto Tree = std::make_unique<TBaseVastTree>();
  PVastNode Top = AddChain(*Tree, nullptr, Levels);
  Tree->AddChild(nullptr);
  Cardinal Count = 0;
  OnSmallStack([&] {
    Count = Tree->TotalCount();
    Tree->InitRecursive(nullptr);
    Tree->ReinitChildren(nullptr, true);
    Tree->InvalidateChildren(nullptr, true);
    Tree->FullExpand();
  });
  EXPECT_EQ(Count, Levels + 1);
  EXPECT_EQ(Top->TotalCount, Levels);
  ExpectDeepTreeValid(*Tree);
  OnSmallStack([&] {
    Tree->DeleteNode(Top);
    EXPECT_EQ(Tree->TotalCount(), 1u);
    AddChain(*Tree, nullptr, 1000);
    Tree.reset();
  });
  EXPECT_EQ(Tree, nullptr);
}

TEST(TreeStructure, MoveChildrenOnlyBeforeAndAfter) {
  for (auto [Mode, Expected] : {std::pair{amInsertAfter, std::string("1 13 12 11 2")},
                                std::pair{amInsertBefore, std::string("11 12 13 1 2")}}) {
    TBaseVastTree Tree;
    PVastNode A = AddKeyed(Tree, nullptr, 1);
    for (int I = 1; I <= 3; ++I) AddKeyed(Tree, A, 10 + I);
    AddKeyed(Tree, nullptr, 2);
    Tree.MoveTo(A, A, Mode, true);
    EXPECT_EQ(Shape(Tree), Expected);
    EXPECT_TREE_VALID(Tree);
  }
}

TEST(TreeStructure, MoveIntoOwnSubtreeRaises2001) {
  TBaseVastTree Tree;
  PVastNode A = AddKeyed(Tree, nullptr, 1);
  PVastNode B = AddKeyed(Tree, A, 2);
  try {
    Tree.MoveTo(A, B, amAddChildLast, false);
    FAIL() << "no exception";
  } catch (const EVastTreeError& E) {
    EXPECT_EQ(E.HelpContext(), 2001);
    EXPECT_EQ(E.Message(), u"Target node cannot be a child node of the node to be moved.");
  }
  EXPECT_TREE_VALID(Tree);
  Tree.MoveTo(B, static_cast<PVastNode>(nullptr), amAddChildLast, false);
  EXPECT_EQ(Shape(Tree), "2 1");
}

TEST(TreeStructure, MoveAndCopyAcrossTreesThroughTheStream) {
  TBaseVastTree Source, Target;
  for (TBaseVastTree* T : {&Source, &Target}) {
    T->OnSaveNode = [](TBaseVastTree* S, PVastNode N, TStream* Stream) { Stream->WriteBuffer(S->GetNodeData(N), 4); };
    T->OnLoadNode = [](TBaseVastTree* S, PVastNode N, TStream* Stream) { Stream->ReadBuffer(S->GetNodeData(N), 4); };
  }
  PVastNode A = AddKeyed(Source, nullptr, 1);
  AddKeyed(Source, A, 11);
  AddKeyed(Source, A, 12);
  AddKeyed(Target, nullptr, 9);
  PVastNode Copy = Source.CopyTo(A, Target.RootNode(), amAddChildLast, false);
  ASSERT_NE(Copy, nullptr);
  EXPECT_EQ(Shape(Target), "9 1(11 12)");
  Source.MoveTo(A, Target.GetFirstNoInit(), amAddChildFirst, false);
  EXPECT_EQ(Shape(Source), "");
  EXPECT_EQ(Shape(Target), "9(1(11 12)) 1(11 12)");
  EXPECT_TREE_VALID(Source);
  EXPECT_TREE_VALID(Target);
}

// Node handles from outside (window messages) are checked against the
// tree's own nodes before anything reads through them.
TEST(TreeStore, OwnNodesAreKnownThroughAddsDeletesAndMoves) {
  TBaseVastTree Tree, Other;
  for (TBaseVastTree* T : {&Tree, &Other}) {
    T->OnSaveNode = [](TBaseVastTree* S, PVastNode N, TStream* Stream) { Stream->WriteBuffer(S->GetNodeData(N), 4); };
    T->OnLoadNode = [](TBaseVastTree* S, PVastNode N, TStream* Stream) { Stream->ReadBuffer(S->GetNodeData(N), 4); };
  }
  PVastNode A = AddKeyed(Tree, nullptr, 1);
  PVastNode A1 = AddKeyed(Tree, A, 11);
  PVastNode Foreign = AddKeyed(Other, nullptr, 9);
  alignas(16) Byte Fake[sizeof(TVastNode) + 16] = {};
  // The index is built on the first question, from the nodes there are.
  EXPECT_TRUE(Tree.IsOwnNode(A));
  EXPECT_TRUE(Tree.IsOwnNode(A1));
  EXPECT_FALSE(Tree.IsOwnNode(nullptr));
  EXPECT_FALSE(Tree.IsOwnNode(Tree.RootNode()));
  EXPECT_FALSE(Tree.IsOwnNode(Foreign));
  EXPECT_FALSE(Tree.IsOwnNode(reinterpret_cast<PVastNode>(Fake)));
  EXPECT_FALSE(Tree.IsOwnNode(reinterpret_cast<PVastNode>(reinterpret_cast<Byte*>(A) + 8)));
  // Later nodes join it, deleted ones leave it.
  PVastNode B = AddKeyed(Tree, A, 12);
  EXPECT_TRUE(Tree.IsOwnNode(B));
  Tree.DeleteNode(A1);
  EXPECT_FALSE(Tree.IsOwnNode(A1));
  // A node moved to another tree there is a new node of that tree.
  Tree.MoveTo(A, Other.RootNode(), amAddChildLast, false);
  EXPECT_FALSE(Tree.IsOwnNode(A));
  EXPECT_FALSE(Tree.IsOwnNode(B));
  PVastNode Moved = Other.GetLastChild(nullptr);
  EXPECT_TRUE(Other.IsOwnNode(Moved));
  EXPECT_TRUE(Other.IsOwnNode(Other.GetFirstChild(Moved)));
  EXPECT_FALSE(Tree.IsOwnNode(Moved));
  // Nodes made by a child count and by loading are known too.
  Tree.SetRootNodeCount(3);
  for (PVastNode Run = Tree.GetFirstNoInit(); Run; Run = Tree.GetNextNoInit(Run)) EXPECT_TRUE(Tree.IsOwnNode(Run));
  PVastNode Cleared = Tree.GetFirstNoInit();
  Tree.Clear();
  EXPECT_FALSE(Tree.IsOwnNode(Cleared));
  EXPECT_TREE_VALID(Tree);
  EXPECT_TREE_VALID(Other);
}

TEST(TreeStructure, CopyVetoDeletesTheCopy) {
  TBaseVastTree Tree;
  PVastNode A = AddKeyed(Tree, nullptr, 1);
  Tree.OnNodeCopying = [](TBaseVastTree*, PVastNode, PVastNode, bool& Allowed) { Allowed = false; };
  EXPECT_EQ(Tree.CopyTo(A, Tree.RootNode(), amAddChildLast, false), nullptr);
  EXPECT_EQ(Tree.RootNodeCount(), 1u);
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeInit, LazyChildrenAndReinit) {
  TBaseVastTree Tree;
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
  int InitCalls = 0;
  bool Expand = true;
  Tree.OnInitNode = [&](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
    ++InitCalls;
    if (!Parent) States.Include(ivsHasChildren);
    if (!Parent && Expand) States.Include(ivsExpanded);
  };
  int ChildAsks = 0;
  Tree.OnInitChildren = [&](TBaseVastTree*, PVastNode, Cardinal& Count) {
    ++ChildAsks;
    Count = 2;
  };
  Tree.SetRootNodeCount(2);
  EXPECT_EQ(InitCalls, 0);
  PVastNode First = Tree.GetFirst();
  EXPECT_TRUE(First->States.Contains(vsExpanded));
  EXPECT_EQ(First->ChildCount, 2u);
  EXPECT_TREE_VALID(Tree);
  // A re-initialisation never collapses; it asks for the children again.
  Expand = false;
  ChildAsks = 0;
  Tree.ReinitNode(First, false);
  EXPECT_TRUE(First->States.Contains(vsExpanded));
  EXPECT_EQ(ChildAsks, 1);
  // An uninitialised node stays so.
  InitCalls = 0;
  Tree.ReinitNode(First->NextSibling, false);
  EXPECT_EQ(InitCalls, 0);
  Tree.ResetNode(First);
  EXPECT_FALSE(First->States.Contains(vsInitialized));
  EXPECT_EQ(First->ChildCount, 0u);
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeInit, FilteredOnInitIsSubtractedOnce) {
  TBaseVastTree Tree;
  Tree.OnInitNode = [](TBaseVastTree* T, PVastNode, PVastNode Node, TVastNodeInitStates& States) {
    States.Include(ivsFiltered);
    T->SetFiltered(Node, true);
  };
  Tree.SetRootNodeCount(3);
  Tree.ValidateNode(nullptr, true);
  EXPECT_EQ(Tree.VisibleCount(), 0u);
  EXPECT_TREE_VALID(Tree);
  Tree.ReinitNode(nullptr, true);
  EXPECT_TREE_VALID(Tree);
}

// ---------------------------------------------------------------------------
// Randomised structure run.

class TRandomTreeRun {
public:
  TRandomTreeRun(unsigned Seed, Integer DataSize) : FRandom(Seed) {
    for (TBaseVastTree* T : {&FA, &FB}) {
      T->SetNodeDataSize(DataSize);
      T->OnSaveNode = [](TBaseVastTree* S, PVastNode N, TStream* Stream) {
        if (S->NodeDataSize() >= 4) Stream->WriteBuffer(S->GetNodeData(N), 4);
      };
      T->OnLoadNode = [](TBaseVastTree* S, PVastNode N, TStream* Stream) {
        if (S->NodeDataSize() >= 4) Stream->ReadBuffer(S->GetNodeData(N), 4);
      };
      T->OnCompareNodes = [](TBaseVastTree* S, PVastNode A, PVastNode B, TColumnIndex, Integer& Result) {
        if (S->NodeDataSize() >= 4) Result = (*S->GetNodeData<Integer>(A) % 7) - (*S->GetNodeData<Integer>(B) % 7);
      };
      if (FRandom() % 2) {
        T->TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
      }
      if (FRandom() % 2) T->TreeOptions().SetAutoOptions(T->TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    }
  }

  PVastNode RandomNode(TBaseVastTree& T) {
    const Cardinal Count = T.RootNode()->TotalCount - 1;
    if (Count == 0) return nullptr;
    Cardinal Pick = static_cast<Cardinal>(FRandom() % Count);
    for (PVastNode Run = T.GetFirstNoInit(); Run; Run = T.GetNextNoInit(Run))
      if (Pick-- == 0) return Run;
    return nullptr;
  }

  void Step() {
    TBaseVastTree& T = FRandom() % 4 ? FA : FB;
    TBaseVastTree& Other = &T == &FA ? FB : FA;
    PVastNode N = RandomNode(T);
    const Cardinal Size = T.RootNode()->TotalCount;
    const unsigned Op = FRandom() % 32;
    switch (Op >= 22 ? 0 : Op) {
      case 0:
      case 1:
      case 2:
        if (Size < 250) {
          PVastNode New = T.AddChild(FRandom() % 3 ? N : nullptr);
          if (T.NodeDataSize() >= 4) Key(T, New) = static_cast<Integer>(FRandom() % 1000);
        }
        break;
      case 3:
        if (N && Size < 250) T.InsertNode(N, FRandom() % 2 ? amInsertBefore : amInsertAfter);
        break;
      case 4:
        if (N && Size > 40) T.DeleteNode(N);
        break;
      case 5:
        if (N && Size > 80) T.DeleteChildren(N, FRandom() % 2);
        break;
      case 6:
      case 7: {
        PVastNode Target = RandomNode(T);
        if (N && Target) {
          try {
            T.MoveTo(N, Target, static_cast<TVTNodeAttachMode>(1 + FRandom() % 4), FRandom() % 4 == 0);
          } catch (const EVastTreeError&) {
            EXPECT_TRUE(T.HasAsParent(Target, N));
          }
        }
        break;
      }
      case 8:
        if (N && Size < 250 && Other.RootNode()->TotalCount < 250)
          T.CopyTo(N, FRandom() % 2 ? Other.RootNode() : T.RootNode(), amAddChildLast, FRandom() % 3 == 0);
        break;
      case 9:
        if (N && Other.RootNode()->TotalCount + N->TotalCount < 250) T.MoveTo(N, &Other, amAddChildLast, false);
        break;
      case 10:
      case 11:
        if (N) T.ToggleNode(N);
        break;
      case 12:
        if (FRandom() % 3 == 0)
          T.FullExpand(N);
        else
          T.FullCollapse(N);
        break;
      case 13:
        if (N) T.SetVisible(N, FRandom() % 3 != 0);
        break;
      case 14:
        if (N) T.SetFiltered(N, FRandom() % 3 != 0);
        break;
      case 15:
        T.Sort(FRandom() % 2 ? N : nullptr, NoColumn, FRandom() % 2 ? sdAscending : sdDescending);
        break;
      case 16:
      case 17:
        if (N) T.SetSelected(N, FRandom() % 3 != 0);
        break;
      case 18: {
        const unsigned Which = FRandom() % 4;
        if (Which == 0)
          T.SelectAll(FRandom() % 2);
        else if (Which == 1)
          T.ClearSelection();
        else if (Which == 2)
          T.InvertSelection(FRandom() % 2);
        else if (Size > 150)
          T.DeleteSelectedNodes();
        break;
      }
      case 19: {
        T.BeginUpdate();
        for (int I = 0; I < 3; ++I) {
          PVastNode M = RandomNode(T);
          if (!M) break;
          if (I == 0 && Size < 250) T.AddChild(M);
          if (I == 1) T.ToggleNode(M);
          if (I == 2) T.DeleteNode(M);
        }
        T.EndUpdate();
        break;
      }
      case 20: {
        TVTPaintOptions P = T.TreeOptions().PaintOptions();
        if (P.Contains(toShowFilteredNodes))
          P.Exclude(toShowFilteredNodes);
        else
          P.Include(toShowFilteredNodes);
        T.TreeOptions().SetPaintOptions(P);
        break;
      }
      case 21:
        if (N) T.SetNodeHeight(N, 5 + FRandom() % 40);
        break;
    }
  }

  TBaseVastTree FA, FB;
  std::mt19937 FRandom;
};

TEST(TreeRandomised, CheckerCatchesBrokenBookkeeping) {
  TBaseVastTree Tree;
  PVastNode A = Tree.AddChild(nullptr);
  Tree.AddChild(A);
  ASSERT_TREE_VALID(Tree);
  ++A->TotalCount;
  EXPECT_NE(TreeInvariantViolation(Tree), "");
  --A->TotalCount;
  A->TotalHeight += 1;
  EXPECT_NE(TreeInvariantViolation(Tree), "");
  A->TotalHeight -= 1;
  A->FirstChild->Index = 3;
  EXPECT_NE(TreeInvariantViolation(Tree), "");
  A->FirstChild->Index = 0;
  A->States.Include(vsSelected);
  EXPECT_NE(TreeInvariantViolation(Tree), "");
  A->States.Exclude(vsSelected);
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeRandomised, InvariantsHoldAfterEveryOperation) {
  const Integer DataSizes[] = {-1, 4, 12, 33};
  for (unsigned Seed = 1; Seed <= 8; ++Seed) {
    TRandomTreeRun Run(Seed, DataSizes[Seed % 4]);
    Cardinal Largest = 0, MostVisible = 0, MostSelected = 0;
    for (int Step = 0; Step < 1500; ++Step) {
      Run.Step();
      Largest = std::max(Largest, Run.FA.RootNode()->TotalCount);
      MostVisible = std::max(MostVisible, Run.FA.VisibleCount());
      MostSelected = std::max(MostSelected, static_cast<Cardinal>(Run.FA.SelectedCount()));
      const std::string A = TreeInvariantViolation(Run.FA), B = TreeInvariantViolation(Run.FB);
      ASSERT_EQ(A, "") << "seed " << Seed << " step " << Step;
      ASSERT_EQ(B, "") << "seed " << Seed << " step " << Step;
    }
    // The run must really exercise sizeable trees, not stay empty.
    EXPECT_GT(Largest, 60u) << "seed " << Seed;
    EXPECT_GT(MostVisible, 10u) << "seed " << Seed;
    const bool Multi = Run.FA.TreeOptions().SelectionOptions().Contains(toMultiSelect);
    EXPECT_GE(MostSelected, Multi ? 3u : 1u) << "seed " << Seed;
  }
}

}  // namespace
