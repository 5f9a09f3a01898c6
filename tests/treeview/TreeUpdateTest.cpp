// Update cycle, delayed change notification through the host's timers, the
// position cache and the background worker.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "TreeTestSupport.h"
#include "treeview/VastTreeWorker.h"

namespace {

TEST(TreeChange, ImmediateWithoutDelayCoalescedWithDelay) {
  TFakeTreeHost Host;
  TBaseVastTree Tree(&Host);
  Tree.SetRootNodeCount(4);
  std::vector<PVastNode> Changed;
  Tree.OnChange = [&](TBaseVastTree*, PVastNode N) { Changed.push_back(N); };
  PVastNode First = Tree.GetFirstNoInit();
  Tree.SetSelected(First, true);
  ASSERT_EQ(Changed.size(), 1u);
  EXPECT_EQ(Changed[0], First);

  // With a delay, bursts go through timer 5 and the last node wins.
  // Selecting reports synchronously; deselecting goes through the delay.
  Tree.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
  Tree.SelectAll(false);
  Changed.clear();
  Tree.SetChangeDelay(500);
  PVastNode Last = nullptr;
  for (PVastNode N = First->NextSibling; N; N = N->NextSibling) {
    Tree.ClickSelect(N, true, false, false);  // Ctrl-click on a selected node deselects it
    Last = N;
  }
  EXPECT_TRUE(Changed.empty());
  EXPECT_EQ(Host.Timers.count(ChangeTimer), 1u);
  EXPECT_EQ(Host.Timers[ChangeTimer], 500u);
  ASSERT_TRUE(Host.Fire(Tree, ChangeTimer));
  ASSERT_EQ(Changed.size(), 1u);
  EXPECT_EQ(Changed[0], Last);
  EXPECT_EQ(Host.Timers.count(ChangeTimer), 0u);

  // Synchronous mode delivers at once even with a delay.
  Changed.clear();
  Tree.BeginSynch();
  Tree.ClickSelect(First, true, false, false);
  EXPECT_EQ(Changed.size(), 1u);
  Tree.EndSynch();
}

TEST(TreeChange, StructureChangesInsideUpdateAccumulate) {
  TBaseVastTree Tree;
  PVastNode Parent = Tree.AddChild(nullptr);
  PVastNode X = Tree.AddChild(Parent);
  PVastNode Y = Tree.AddChild(Parent);
  std::vector<std::pair<PVastNode, TChangeReason>> Reports;
  Tree.OnStructureChange = [&](TBaseVastTree*, PVastNode N, TChangeReason R) { Reports.emplace_back(N, R); };
  std::vector<TVTUpdateState> Updating;
  Tree.OnUpdating = [&](TBaseVastTree*, TVTUpdateState S) { Updating.push_back(S); };
  Tree.BeginUpdate();
  Tree.BeginUpdate();
  Tree.AddChild(nullptr);
  Tree.DeleteNode(X);
  Tree.DeleteNode(Y);
  Tree.EndUpdate();
  EXPECT_TRUE(Reports.empty());
  Tree.EndUpdate();
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].first, Parent);
  EXPECT_EQ(Reports[0].second, crAccumulated);
  EXPECT_EQ(Updating, (std::vector<TVTUpdateState>{usBegin, usUpdate, usUpdate, usEnd}));
  // An unmatched EndUpdate settles nothing but still reports the end.
  Updating.clear();
  Tree.EndUpdate();
  EXPECT_EQ(Tree.UpdateCount(), 0u);
  EXPECT_EQ(Updating, (std::vector<TVTUpdateState>{usEnd}));
}

TEST(TreeChange, DelayedStructureChangeUsesTimer6) {
  TFakeTreeHost Host;
  TBaseVastTree Tree(&Host);
  Tree.SetChangeDelay(100);
  int Reports = 0;
  TChangeReason Reason = crIgnore;
  Tree.OnStructureChange = [&](TBaseVastTree*, PVastNode, TChangeReason R) {
    ++Reports;
    Reason = R;
  };
  Tree.AddChild(nullptr);
  Tree.AddChild(nullptr);
  EXPECT_EQ(Reports, 0);
  ASSERT_TRUE(Host.Fire(Tree, StructureChangeTimer));
  EXPECT_EQ(Reports, 1);
  EXPECT_EQ(Reason, crAccumulated);
}

TEST(TreeChange, RaisingOnChangeStillSettlesEndUpdate) {
  TFakeTreeHost Host;
  TBaseVastTree Tree(&Host);
  Tree.SetRootNodeCount(2);
  Tree.OnChange = [](TBaseVastTree*, PVastNode) { throw std::runtime_error("handler"); };
  Tree.BeginUpdate();
  Tree.SetSelected(Tree.GetFirstNoInit(), true);
  const int Repaints = Host.FullRepaints;
  EXPECT_THROW(Tree.EndUpdate(), std::runtime_error);
  EXPECT_GT(Host.FullRepaints, Repaints);
  EXPECT_FALSE(Tree.TreeStates().Contains(tsUpdating));
  EXPECT_TRUE(Tree.TreeStates().Contains(tsChangePending));
}

// The automatic sort at the end of an update may raise too: the window draws
// again either way, and a change handler's error stays the one reported.
TEST(TreeChange, RaisingAutoSortStillRedrawsAfterEndUpdate) {
  for (const bool HandlerRaises : {false, true}) {
    SCOPED_TRACE(HandlerRaises ? "handler and sort raise" : "sort raises");
    TFakeTreeHost Host;
    TBaseVastTree Tree(&Host);
    ASSERT_TRUE(Tree.TreeOptions().AutoOptions().Contains(toAutoSort));
    Tree.SetRootNodeCount(3);
    Tree.OnCompareNodes = [](TBaseVastTree*, PVastNode, PVastNode, TColumnIndex, Integer&) {
      throw std::logic_error("compare");
    };
    if (HandlerRaises) Tree.OnChange = [](TBaseVastTree*, PVastNode) { throw std::runtime_error("handler"); };
    Tree.BeginUpdate();
    Tree.SetSelected(Tree.GetFirstNoInit(), true);
    EXPECT_FALSE(Host.Redraw);
    if (HandlerRaises)
      EXPECT_THROW(Tree.EndUpdate(), std::runtime_error);
    else
      EXPECT_THROW(Tree.EndUpdate(), std::logic_error);
    EXPECT_TRUE(Host.Redraw);
    EXPECT_EQ(Tree.UpdateCount(), 0u);
    EXPECT_EQ(Tree.OperationCount(), 0u);
    EXPECT_FALSE(Tree.TreeStates().Contains(tsUpdating));
  }
}

// A full expand ends its operation before its update, and leaves its state
// and counts settled when ending the update raises.
TEST(TreeOperations, FullExpandSettlesWhenEndingItsUpdateRaises) {
  TFakeTreeHost Host;
  TBaseVastTree Tree(&Host);
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
  Tree.OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
    if (!Parent) States.Include(ivsHasChildren);
  };
  Tree.OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 2; };
  Tree.SetRootNodeCount(2);
  std::vector<std::string> Events;
  Tree.OnStartOperation = [&](TBaseVastTree*, TVTOperationKind) { Events.push_back("start"); };
  Tree.OnEndOperation = [&](TBaseVastTree*, TVTOperationKind) { Events.push_back("end"); };
  Tree.OnUpdating = [&](TBaseVastTree*, TVTUpdateState S) {
    if (S == usBegin) Events.push_back("begin update");
    if (S == usEnd) {
      Events.push_back("end update");
      throw std::runtime_error("updating");
    }
  };
  EXPECT_THROW(Tree.FullExpand(nullptr), std::runtime_error);
  EXPECT_EQ(Events, (std::vector<std::string>{"start", "begin update", "end", "end update"}));
  EXPECT_FALSE(Tree.TreeStates().Contains(tsExpanding));
  EXPECT_EQ(Tree.UpdateCount(), 0u);
  EXPECT_EQ(Tree.OperationCount(), 0u);
  EXPECT_TRUE(Host.Redraw);
  EXPECT_TRUE(Tree.GetExpanded(Tree.GetFirst()));
}

TEST(TreeOperations, CancelOutsideAnOperationHasNoEffect) {
  TBaseVastTree Tree;
  Tree.CancelOperation();
  EXPECT_FALSE(Tree.OperationCanceled());
  Tree.SetRootNodeCount(3);
  int Compared = 0;
  Tree.OnCompareNodes = [&](TBaseVastTree*, PVastNode, PVastNode, TColumnIndex, Integer&) { ++Compared; };
  Tree.Sort(nullptr, NoColumn, sdAscending);
  EXPECT_GT(Compared, 0);
}

// ---------------------------------------------------------------------------
// Position cache

struct TCacheCase {
  Cardinal Visible;
  std::size_t Entries;  // 0: no cache is built
};

class TPositionCacheTest : public ::testing::TestWithParam<TCacheCase> {};

TEST_P(TPositionCacheTest, EntriesEvery2000VisibleNodesAndLookups) {
  const TCacheCase Case = GetParam();
  TFakeTreeHost Host;
  {
    TBaseVastTree Tree(&Host);
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree.SetRootNodeCount(Case.Visible);
    std::vector<PVastNode> Nodes;
    for (PVastNode Run = Tree.GetFirstNoInit(); Run; Run = Run->NextSibling) Nodes.push_back(Run);
    if (Case.Entries == 0) {
      Host.PumpUntil([] { return false; }, 50);
      EXPECT_FALSE(Tree.TreeStates().Contains(tsUseCache));
      EXPECT_TRUE(Tree.PositionCache().empty());
    } else {
      ASSERT_TRUE(Host.PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }));
      ASSERT_EQ(Tree.PositionCache().size(), Case.Entries);
      for (std::size_t I = 0; I < Case.Entries; ++I) {
        EXPECT_EQ(Tree.PositionCache()[I].Node, Nodes[I * 2000]);
        EXPECT_EQ(Tree.PositionCache()[I].AbsoluteTop, I * 2000 * 18);
      }
      EXPECT_FALSE(Tree.TreeStates().Contains(tsValidating));
    }
    for (Cardinal Row : {0u, 1999u, 2000u, 2001u, 3999u, 4000u, Case.Visible - 1}) {
      if (Row >= Case.Visible) continue;
      for (Integer Offset : {0, 17}) {
        Integer Top = -1;
        EXPECT_EQ(Tree.GetNodeAt(0, static_cast<Integer>(Row * 18) + Offset, false, Top), Nodes[Row]) << Row;
        EXPECT_EQ(Top, static_cast<Integer>(Row * 18));
      }
      EXPECT_EQ(Tree.GetNodeTop(Nodes[Row]), Row * 18);
    }
    Integer Top;
    EXPECT_EQ(Tree.GetNodeAt(0, static_cast<Integer>(Case.Visible * 18), false, Top), nullptr);
    // A change withdraws the cache at once.
    Tree.SetNodeHeight(Nodes[0], 30);
    EXPECT_FALSE(Tree.TreeStates().Contains(tsUseCache));
  }
  Host.Dispatcher.ProcessPending();
}

INSTANTIATE_TEST_SUITE_P(Sizes, TPositionCacheTest,
                         ::testing::Values(TCacheCase{2000, 0}, TCacheCase{2001, 2}, TCacheCase{4000, 2},
                                           TCacheCase{4001, 3}, TCacheCase{10000, 5}));

// ---------------------------------------------------------------------------
// Worker

class TFailingTree : public TBaseVastTree {
public:
  using TBaseVastTree::TBaseVastTree;
  std::atomic<int> Attempts{0};

protected:
  bool DoValidateCache() override {
    ++Attempts;
    throw std::runtime_error("validation failed");
  }
};

std::atomic<int> GEditBoundsUpdates{0};

class TCountingTree : public TBaseVastTree {
public:
  using TBaseVastTree::TBaseVastTree;

protected:
  void UpdateEditBounds() override { ++GEditBoundsUpdates; }
};

TEST(TreeWorker, OneFailingTreeDoesNotStopCachingForOthers) {
  TFakeTreeHost Host;
  {
    TFailingTree Bad(&Host);
    Bad.SetRootNodeCount(3000);
    ASSERT_TRUE(Host.PumpUntil([&] { return Bad.Attempts > 0 && !Bad.TreeStates().Contains(tsValidating); }));
    EXPECT_FALSE(Bad.TreeStates().Contains(tsUseCache));
    TBaseVastTree Good(&Host);
    Good.SetRootNodeCount(3000);
    EXPECT_TRUE(Host.PumpUntil([&] { return Good.TreeStates().Contains(tsUseCache); }));
  }
  Host.Dispatcher.ProcessPending();
}

TEST(TreeWorker, ChangesWaitForRunningValidationAndResultsNeverReachFreedTrees) {
  TFakeTreeHost Host;
  for (int Round = 0; Round < 20; ++Round) {
    auto Tree = std::make_unique<TCountingTree>(&Host);
    Tree->SetRootNodeCount(50000);
    // Change the tree while the worker may be walking it.
    for (int I = 0; I < 5; ++I) {
      Host.Dispatcher.ProcessPending();
      Tree->AddChild(nullptr);
      Tree->DeleteNode(Tree->GetFirstNoInit());
      EXPECT_EQ(Tree->RootNodeCount(), 50000u);
    }
    if (Round % 2) {
      // Let the worker finish and its queued editor update arrive.
      EXPECT_TRUE(Host.PumpUntil([&] { return Tree->TreeStates().Contains(tsUseCache); }));
      const int Seen = GEditBoundsUpdates;
      EXPECT_TRUE(Host.PumpUntil([&] { return GEditBoundsUpdates > Seen; }));
    }
    const int Before = GEditBoundsUpdates;
    Tree.reset();
    // Anything still queued for the freed tree must be dropped.
    Host.Dispatcher.ProcessPending();
    EXPECT_EQ(GEditBoundsUpdates, Before);
  }
}

TEST(TreeWorker, ThreadLivesWithTheTrees) {
  {
    TBaseVastTree First;
    EXPECT_TRUE(TWorkerThread::Running());
    { TBaseVastTree Second; }
    EXPECT_TRUE(TWorkerThread::Running());
  }
  EXPECT_FALSE(TWorkerThread::Running());
}

// Trees go while the worker walks them, with fixed and with measured row
// heights (each height measured on the user-interface thread while the
// worker waits): every destructor returns promptly, the last one without
// waiting for the thread, which then ends by itself.
TEST(TreeWorker, TreesGoingWhileTheWorkerWalksThemNeverWaitLong) {
  TFakeTreeHost Host;
  for (int Round = 0; Round < 8; ++Round) {
    SCOPED_TRACE(Round);
    const bool Measured = Round % 2 == 1;
    std::vector<std::unique_ptr<TBaseVastTree>> Trees;
    std::atomic<int> Measures{0};
    for (int I = 0; I < 2; ++I) {
      auto Tree = std::make_unique<TBaseVastTree>(&Host);
      Tree->TreeOptions().SetAutoOptions(Tree->TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
      Tree->OnMeasureItem = [&Measures](TBaseVastTree*, TCanvas*, PVastNode, Integer& Height) {
        ++Measures;
        Height = 20;
      };
      Tree->BeginUpdate();
      Tree->SetRootNodeCount(Measured ? 20000 : 200000);
      if (Measured)
        Tree->TreeOptions().SetMiscOptions(Tree->TreeOptions().MiscOptions() + TVTMiscOptions{toVariableNodeHeight});
      Tree->EndUpdate();
      Trees.push_back(std::move(Tree));
    }
    // The worker is on one of them.
    ASSERT_TRUE(Host.PumpUntil([&] {
      return Trees[0]->TreeStates().Contains(tsValidating) || Trees[1]->TreeStates().Contains(tsValidating);
    }));
    if (Measured) {
      ASSERT_TRUE(Host.PumpUntil([&] { return Measures > 50; }));
    }
    for (auto& Tree : Trees) {
      const UInt64 Start = TThread::GetTickCount64();
      Tree.reset();
      EXPECT_LT(TThread::GetTickCount64() - Start, 2000u);
    }
    EXPECT_FALSE(TWorkerThread::Running());
    EXPECT_TRUE(Host.PumpUntil([] { return TWorkerThread::ThreadObjects() == 0; }, 5000))
        << "the released thread did not end and free itself";
  }
}

TEST(TreeWorker, StaleValidationNeverMarksCacheUsable) {
  TFakeTreeHost Host;
  {
    TBaseVastTree Tree(&Host);
    Tree.SetRootNodeCount(3000);
    // Invalidate on the user-interface thread each time the worker hands
    // over its first state change: the final one must then be dropped.
    bool Spoiled = false;
    Tree.OnStateChange = [&](TBaseVastTree* T, TVastTreeStates Enter, TVastTreeStates) {
      if (Enter.Contains(tsValidating) && !Spoiled) {
        Spoiled = true;
        (void)T;
      }
    };
    ASSERT_TRUE(Host.PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }));
    Tree.SetRootNodeCount(2500);
    EXPECT_FALSE(Tree.TreeStates().Contains(tsUseCache));
    ASSERT_TRUE(Host.PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }));
    EXPECT_EQ(Tree.PositionCache().size(), 2u);
    EXPECT_TRUE(Spoiled);
  }
  Host.Dispatcher.ProcessPending();
}

TEST(TreeWorker, VariableHeightsAreMeasuredOnTheUserInterfaceThread) {
  TFakeTreeHost Host;
  {
    TBaseVastTree Tree(&Host);
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    const std::thread::id UI = std::this_thread::get_id();
    std::atomic<int> WrongThread{0};
    Tree.OnMeasureItem = [&](TBaseVastTree*, TCanvas*, PVastNode, Integer& Height) {
      if (std::this_thread::get_id() != UI) ++WrongThread;
      Height = 20;
    };
    Tree.BeginUpdate();
    Tree.SetRootNodeCount(4500);
    Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toVariableNodeHeight});
    Tree.EndUpdate();
    // Each of the 4,500 heights is one round trip to this thread: about two
    // seconds under Wine on a quiet machine, far more on a loaded one.
    ASSERT_TRUE(Host.PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }, 60000));
    EXPECT_EQ(Tree.PositionCache()[1].AbsoluteTop, 2000u * 20);
    EXPECT_EQ(WrongThread, 0);
    EXPECT_TREE_VALID(Tree);
  }
  Host.Dispatcher.ProcessPending();
}

}  // namespace

// Selection, repaint marks and user data all write a node's state word; the
// worker reads the same word while it walks. Run under ThreadSanitizer this
// reports a data race unless the writes wait for the worker's lock.
class TRevalidatingTree : public TBaseVastTree {
public:
  using TBaseVastTree::TBaseVastTree;
  using TBaseVastTree::InvalidateCache;
  using TBaseVastTree::InvalidateNode;
  using TBaseVastTree::ValidateCache;
};

TEST(TreeWorker, StateWritesDuringValidationWaitForTheWorker) {
  TFakeTreeHost Host;
  TRevalidatingTree Tree(&Host);
  Tree.SetNodeDataSize(static_cast<Integer>(sizeof(Integer)));
  Tree.SetRootNodeCount(60000);
  std::vector<PVastNode> Nodes;
  for (PVastNode Run = Tree.GetFirstNoInit(); Run; Run = Run->NextSibling)
    if (Run->Index % 97 == 0) Nodes.push_back(Run);
  int Overlapped = 0;
  for (int Round = 0; Round < 6; ++Round) {
    Tree.InvalidateCache();
    Tree.ValidateCache();
    std::size_t I = 0;
    while (!Tree.TreeStates().Contains(tsUseCache)) {
      if (Tree.TreeStates().Contains(tsValidating)) ++Overlapped;
      PVastNode Node = Nodes[I++ % Nodes.size()];
      Tree.SetSelected(Node, !Tree.GetSelected(Node));
      Tree.InvalidateNode(Node);
      *Tree.GetNodeData<Integer>(Node) = static_cast<Integer>(I);
      Host.Dispatcher.ProcessPending();
      if (I > 2000000) break;
    }
    ASSERT_TRUE(Host.PumpUntil([&] { return Tree.TreeStates().Contains(tsUseCache); }));
  }
  EXPECT_GT(Overlapped, 0);
  EXPECT_TREE_VALID(Tree);
}
