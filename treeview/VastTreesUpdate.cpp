// Update cycle, change notification, long operations, the position cache and
// the hooks that fire the tree's events.
#include <thread>

#include "rtl/ScopeExit.h"
#include "rtl/Threads.h"
#include "treeview/VastTreeWorker.h"
#include "treeview/VastTrees.h"

// ---------------------------------------------------------------------------
// Window requests

void TBaseVastTree::InvalidateNode(PVastNode Node) {
  if (!Node) return;
  ExcludeNodeStates(Node, {vsHeightMeasured});
  if (FUpdateCount == 0 && FHost->HasWindow()) FHost->InvalidateNodeArea(Node);
}

void TBaseVastTree::InvalidateToBottom(PVastNode Node) {
  if (FUpdateCount == 0 && FHost->HasWindow()) FHost->InvalidateToBottomArea(Node == FRoot ? nullptr : Node);
}

void TBaseVastTree::Invalidate() {
  if (FHost->HasWindow()) FHost->InvalidateAll();
}

void TBaseVastTree::TimerFired(Cardinal TimerId) {
  switch (TimerId) {
    case ChangeTimer:
      DoChange(FLastChangedNode);
      break;
    case StructureChangeTimer:
      DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
      break;
    case EditTimer:
      DoStartEdit();
      break;
    case ExpandTimer:
      DoDragExpand();
      break;
    case SearchTimer:
      FHost->KillTimer(SearchTimer);
      DoStateChange({}, {tsIncrementalSearching});
      FSearchBuffer.clear();
      FLastSearchNode = nullptr;
      break;
    case ScrollTimer:
      if (HasState(tsScrollPending)) {
        // The first delay is over: from now on at the interval.
        DoStateChange({tsScrolling}, {tsScrollPending});
        FHost->SetTimer(ScrollTimer, FAutoScrollInterval);
      }
      DoAutoScrollStep();
      break;
    default:
      FHost->KillTimer(TimerId);
      break;
  }
}

// ---------------------------------------------------------------------------
// Update cycle

void TBaseVastTree::BeginUpdate() {
  if (!FDestroying) {
    if (FUpdateCount > 0) {
      DoUpdating(usUpdate);
    } else {
      DoUpdating(usBegin);
      if (FHost->HasWindow()) FHost->SetRedraw(false);
    }
  }
  ++FUpdateCount;
  DoStateChange({tsUpdating});
}

void TBaseVastTree::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FDestroying) return;
  if (FUpdateCount == 0 && HasState(tsUpdating)) {
    if (HasState(tsUpdateHiddenChildrenNeeded)) {
      UpdateAllChildrenHiddenForAll();
      DoStateChange({}, {tsUpdateHiddenChildrenNeeded});
    }
    DoStateChange({}, {tsUpdating});
    PackSelection();
    InvalidateCache();
    ValidateCache();
    if (FHost->HasWindow()) UpdateScrollBars(false);
    // A raising change handler still leaves the tree sorted and drawn.
    const TScopeExit Redraw([this] {
      if (FHost->HasWindow()) {
        FHost->SetRedraw(true);
        Invalidate();
      }
    });
    const TScopeExit AutoSort([this] {
      if (FOptions->AutoOptions().Contains(toAutoSort)) SortTree(FHeader->SortColumn(), FHeader->SortDirection(), true);
    });
    if (HasState(tsStructureChangePending)) DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
    if (HasState(tsChangePending)) DoChange(FLastChangedNode);
  }
  if (FUpdateCount > 0) {
    DoUpdating(usUpdate);
  } else {
    DoUpdating(usEnd);
    EnsureNodeSelected();
  }
}

void TBaseVastTree::BeginSynch() {
  if (!FDestroying) {
    if (HasState(tsSynchMode)) {
      DoUpdating(usSynch);
    } else {
      DoUpdating(usBeginSynch);
      for (Cardinal Timer = ExpandTimer; Timer <= SearchTimer; ++Timer) FHost->KillTimer(Timer);
      DoStateChange({}, {tsEditPending, tsIncrementalSearching, tsScrolling, tsScrollPending});
      if (HasState(tsStructureChangePending)) DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
      if (HasState(tsChangePending)) DoChange(FLastChangedNode);
    }
  }
  ++FSynchUpdateCount;
  DoStateChange({tsSynchMode});
}

void TBaseVastTree::EndSynch() {
  if (FSynchUpdateCount > 0) --FSynchUpdateCount;
  if (FDestroying) return;
  if (FSynchUpdateCount > 0) {
    DoUpdating(usSynch);
  } else {
    DoStateChange({}, {tsSynchMode});
    DoUpdating(usEndSynch);
  }
}

// ---------------------------------------------------------------------------
// Change notification

void TBaseVastTree::AdviseChangeEvent(bool IsStructureChange, PVastNode Node, TChangeReason Reason) {
  if (IsStructureChange) {
    if (HasState(tsStructureChangePending))
      FHost->KillTimer(StructureChangeTimer);
    else
      DoStateChange({tsStructureChangePending});
    FLastStructureChangeNode = Node;
    if (FLastStructureChangeReason == crIgnore)
      FLastStructureChangeReason = Reason;
    else if (Reason != crIgnore)
      FLastStructureChangeReason = crAccumulated;
  } else {
    if (HasState(tsChangePending))
      FHost->KillTimer(ChangeTimer);
    else
      DoStateChange({tsChangePending});
    FLastChangedNode = Node;
  }
}

void TBaseVastTree::Change(PVastNode Node) {
  AdviseChangeEvent(false, Node, crIgnore);
  if (FUpdateCount > 0) return;
  if (FChangeDelay > 0 && FHost->HasWindow() && !HasState(tsSynchMode))
    FHost->SetTimer(ChangeTimer, FChangeDelay);
  else
    DoChange(Node);
}

void TBaseVastTree::StructureChange(PVastNode Node, TChangeReason Reason) {
  AdviseChangeEvent(true, Node, Reason);
  if (FUpdateCount > 0) return;
  if (FChangeDelay > 0 && FHost->HasWindow() && !HasState(tsSynchMode))
    FHost->SetTimer(StructureChangeTimer, FChangeDelay);
  else
    DoStructureChange(Node, Reason);
}

void TBaseVastTree::DoChange(PVastNode Node) {
  FHost->KillTimer(ChangeTimer);
  if (OnChange) OnChange(this, Node);
  DoStateChange({}, {tsChangePending});
  FLastChangedNode = nullptr;
}

void TBaseVastTree::DoStructureChange(PVastNode Node, TChangeReason Reason) {
  FHost->KillTimer(StructureChangeTimer);
  if (OnStructureChange) OnStructureChange(this, Node, Reason);
  DoStateChange({}, {tsStructureChangePending});
  FLastStructureChangeNode = nullptr;
  FLastStructureChangeReason = crIgnore;
}

void TBaseVastTree::DoStateChange(TVastTreeStates Enter, TVastTreeStates Leave) {
  const TVastTreeStates Current = TreeStates();
  if (OnStateChange && (!(Enter - Current).Empty() || !(Leave * Current).Empty())) OnStateChange(this, Enter, Leave);
  SetStates((TreeStates() + Enter) - Leave);
}

void TBaseVastTree::ChangeTreeStatesAsync(TVastTreeStates EnterStates, TVastTreeStates LeaveStates) {
  if (!FHost->HasWindow()) return;
  FHost->SendToUIThread([this, EnterStates, LeaveStates] {
    TVastTreeStates Enter = EnterStates;
    // A cache that went stale while it was built is never marked usable;
    // the validation itself is over all the same.
    if (Enter.Contains(tsUseCache) && (TreeStates() + LeaveStates).Contains(tsValidationNeeded))
      Enter.Exclude(tsUseCache);
    DoStateChange(Enter, LeaveStates);
  });
}

// ---------------------------------------------------------------------------
// Long operations

void TBaseVastTree::BeginOperation(TVTOperationKind Kind) {
  if (FOperationCount++ == 0) FOperationCanceled = false;
  DoStartOperation(Kind);
}

void TBaseVastTree::EndOperation(TVTOperationKind Kind) {
  if (FOperationCount > 0) --FOperationCount;
  DoEndOperation(Kind);
}

void TBaseVastTree::CancelOperation() {
  if (FOperationCount > 0) FOperationCanceled = true;
}

// ---------------------------------------------------------------------------
// Position cache

std::unique_lock<std::recursive_mutex> TBaseVastTree::LockNodeStates() {
  if (!FInWorker.load(std::memory_order_acquire)) return {};
  return std::unique_lock<std::recursive_mutex>(FNodeStateLock);
}

void TBaseVastTree::IncludeNodeStates(PVastNode Node, TVastNodeStates States) {
  if (!FInWorker.load(std::memory_order_acquire)) {
    Node->States += States;
    return;
  }
  std::lock_guard<std::recursive_mutex> Guard(FNodeStateLock);
  Node->States += States;
}

void TBaseVastTree::ExcludeNodeStates(PVastNode Node, TVastNodeStates States) {
  if (!FInWorker.load(std::memory_order_acquire)) {
    Node->States -= States;
    return;
  }
  std::lock_guard<std::recursive_mutex> Guard(FNodeStateLock);
  Node->States -= States;
}

void TBaseVastTree::InvalidateCache() { DoStateChange({tsValidationNeeded}, {tsUseCache}); }

void TBaseVastTree::StopCacheValidation() {
  const bool WasValidating = HasState(tsValidating);
  DoStateChange({tsStopValidation}, {tsUseCache});
  if (FInWorker.load(std::memory_order_acquire)) {
    TWorkerThread::RemoveTree(this);
    InvalidateCache();
  } else if (WasValidating) {
    InvalidateCache();
  }
}

void TBaseVastTree::ValidateCache() {
  StopCacheValidation();
  FStartIndex = 0;
  // Without a window the result could never be handed back: no cache then.
  if (HasState(tsValidationNeeded) && FVisibleCount > CacheThreshold && FHost->HasWindow())
    TWorkerThread::AddTree(this);
}

bool TBaseVastTree::DoValidateCache() {
  if (HasState(tsStopValidation)) return false;
  const Cardinal Visible = FVisibleCount;
  const std::size_t Size = Visible <= 1 ? 0 : (Visible + CacheThreshold - 1) / CacheThreshold;
  if (FStartIndex == 0) FPositionCache.clear();
  FPositionCache.resize(Size, TCacheEntry{nullptr, 0});
  if (FStartIndex > Size) FStartIndex = static_cast<Cardinal>(Size);

  std::size_t Index;
  PVastNode Node;
  Cardinal Top;
  if (FStartIndex > 0 && FPositionCache[FStartIndex - 1].Node) {
    Index = FStartIndex - 1;
    Node = FPositionCache[Index].Node;
    Top = FPositionCache[Index].AbsoluteTop;
  } else {
    Index = 0;
    Node = GetFirstVisibleNoInit(nullptr, true, false);
    Top = 0;
  }
  Cardinal Count = 0;
  bool Walked = false;
  PVastNode Last = nullptr;
  bool Stopped = false;
  const bool Variable = FOptions->MiscOptions().Contains(toVariableNodeHeight);
  // Node states are read under the lock their writers take; it is given up
  // every few hundred nodes so that the user-interface thread never waits
  // long, and around a height measurement, which runs on that thread.
  std::unique_lock<std::recursive_mutex> Lock(FNodeStateLock);
  while (Node && Index < Size) {
    // A thread told to end (the last tree went) stops here too.
    if (HasState(tsStopValidation) || TThread::CheckTerminated()) {
      Stopped = true;
      break;
    }
    if (Count % CacheThreshold == 0) FPositionCache[Index++] = TCacheEntry{Node, Top};
    if (Variable) {
      Lock.unlock();
      Top += GetNodeHeight(Node);
      Lock.lock();
    } else {
      Top += Node->NodeHeight;
    }
    Walked = true;
    Last = Node;
    Node = GetNextVisibleNoInit(Node, true);
    ++Count;
    if (Count % 256 == 0) {
      Lock.unlock();
      std::this_thread::yield();
      Lock.lock();
    }
  }
  Lock.unlock();
  if (!Stopped && HasState(tsStopValidation)) Stopped = true;
  if (!Stopped && Index < Size) {
    FPositionCache.resize(Index + 1);
    FPositionCache[Index] = TCacheEntry{Last, Top};
  }
  const bool Result = Walked && !Stopped;
  if (Result && FOptions->MiscOptions().Contains(toVariableNodeHeight))
    TWorkerThread::PostToTree(this, [](TBaseVastTree* Tree) { Tree->UpdateScrollBars(true); });
  return Result;
}

Cardinal TBaseVastTree::FindNodeInCache(Integer Y, Cardinal& NodeTop) const {
  std::size_t Low = 0, High = FPositionCache.size();
  // Last entry whose top is at most Y.
  while (Low < High) {
    const std::size_t Mid = (Low + High) / 2;
    if (FPositionCache[Mid].Node && FPositionCache[Mid].AbsoluteTop <= static_cast<Cardinal>(Y))
      Low = Mid + 1;
    else
      High = Mid;
  }
  if (Low == 0) {
    NodeTop = 0;
    return 0;
  }
  NodeTop = FPositionCache[Low - 1].AbsoluteTop;
  return static_cast<Cardinal>(Low);
}

PVastNode TBaseVastTree::FindCacheEntryBefore(PVastNode Node, Cardinal& NodeTop) const {
  std::size_t Low = 0, High = FPositionCache.size();
  while (Low < High) {
    const std::size_t Mid = (Low + High) / 2;
    PVastNode Entry = FPositionCache[Mid].Node;
    if (Entry && CompareNodePositions(Entry, Node, false) <= 0)
      Low = Mid + 1;
    else
      High = Mid;
  }
  if (Low == 0) {
    NodeTop = 0;
    return nullptr;
  }
  NodeTop = FPositionCache[Low - 1].AbsoluteTop;
  return FPositionCache[Low - 1].Node;
}

PVastNode TBaseVastTree::GetNodeAt(Integer X, Integer Y, bool Relative, Integer& NodeTop) {
  (void)X;
  if (Y < 0) Y = 0;
  if (Relative) Y -= FOffsetY;
  if (Y < 0) Y = 0;
  PVastNode Run = nullptr;
  Cardinal Top = 0;
  if (HasState(tsUseCache)) {
    const Cardinal Entry = FindNodeInCache(Y, Top);
    if (Entry > 0) Run = FPositionCache[Entry - 1].Node;
  }
  if (!Run) {
    Run = GetFirstVisibleNoInit(nullptr, true, false);
    Top = 0;
  }
  while (Run) {
    const Cardinal Height = GetNodeHeight(Run);
    if (static_cast<Cardinal>(Y) < Top + Height) {
      NodeTop = static_cast<Integer>(Top) + (Relative ? FOffsetY : 0);
      return Run;
    }
    Top += Height;
    Run = GetNextVisibleNoInit(Run, true);
  }
  return nullptr;
}

Cardinal TBaseVastTree::GetNodeTop(PVastNode Node) {
  if (!Node || Node == FRoot) return 0;
  Cardinal Top = 0;
  PVastNode Start = nullptr;
  if (HasState(tsUseCache)) Start = FindCacheEntryBefore(Node, Top);
  if (Start) {
    for (PVastNode Run = Start; Run && Run != Node; Run = GetNextVisibleNoInit(Run, true)) Top += GetNodeHeight(Run);
    return Top;
  }
  Top = 0;
  for (PVastNode Run = GetPreviousVisibleNoInit(Node, true); Run; Run = GetPreviousVisibleNoInit(Run, true))
    Top += GetNodeHeight(Run);
  return Top;
}

// ---------------------------------------------------------------------------
// Hooks

void TBaseVastTree::DoGetNodeDataSize(Integer& Size) {
  Size = 4;
  if (OnGetNodeDataSize) OnGetNodeDataSize(this, Size);
}

void TBaseVastTree::DoInitNode(PVastNode Parent, PVastNode Node, TVastNodeInitStates& InitStates) {
  if (OnInitNode) OnInitNode(this, Parent, Node, InitStates);
}

bool TBaseVastTree::DoInitChildren(PVastNode Node, Cardinal& ChildCount) {
  if (!OnInitChildren) return false;
  OnInitChildren(this, Node, ChildCount);
  return true;
}

void TBaseVastTree::DoResetNode(PVastNode Node) {
  if (OnResetNode) OnResetNode(this, Node);
}

Integer TBaseVastTree::DoCompare(PVastNode Node1, PVastNode Node2, TColumnIndex Column) {
  Integer Result = 0;
  if (OnCompareNodes) OnCompareNodes(this, Node1, Node2, Column, Result);
  return Result;
}

bool TBaseVastTree::DoExpanding(PVastNode Node) {
  bool Allowed = true;
  if (OnExpanding) OnExpanding(this, Node, Allowed);
  return Allowed;
}

void TBaseVastTree::DoExpanded(PVastNode Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

bool TBaseVastTree::DoCollapsing(PVastNode Node) {
  bool Allowed = true;
  if (OnCollapsing) OnCollapsing(this, Node, Allowed);
  return Allowed;
}

void TBaseVastTree::DoCollapsed(PVastNode Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
  if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode)) return;
  PVastNode First = GetFirstSelected();
  if (First && !GetFullyVisible(First)) {
    PVastNode Parent = GetVisibleParent(First);
    SetSelected(First, false);
    if (Parent && Parent != FRoot) SetSelected(Parent, true);
  }
  if (FSelectionCount == 0) EnsureNodeSelected();
}

bool TBaseVastTree::DoNodeMoving(PVastNode Node, PVastNode Target) {
  bool Allowed = true;
  if (OnNodeMoving) OnNodeMoving(this, Node, Target, Allowed);
  return Allowed;
}

void TBaseVastTree::DoNodeMoved(PVastNode Node) {
  if (OnNodeMoved) OnNodeMoved(this, Node);
}

bool TBaseVastTree::DoNodeCopying(PVastNode Node, PVastNode Target) {
  bool Allowed = true;
  if (OnNodeCopying) OnNodeCopying(this, Node, Target, Allowed);
  return Allowed;
}

void TBaseVastTree::DoNodeCopied(PVastNode Node) {
  if (OnNodeCopied) OnNodeCopied(this, Node);
}

bool TBaseVastTree::DoFocusChanging(PVastNode OldNode, PVastNode NewNode, TColumnIndex OldColumn,
                                    TColumnIndex NewColumn) {
  bool Allowed = OldColumn == NewColumn || FHeader->AllowFocus(NewColumn);
  if (OnFocusChanging) OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, Allowed);
  return Allowed;
}

void TBaseVastTree::DoFocusChanged(PVastNode Node, TColumnIndex Column) {
  if (OnFocusChanged) OnFocusChanged(this, Node, Column);
}

void TBaseVastTree::DoUpdating(TVTUpdateState State) {
  if (OnUpdating) OnUpdating(this, State);
}

void TBaseVastTree::DoStartOperation(TVTOperationKind Kind) {
  if (OnStartOperation) OnStartOperation(this, Kind);
}

void TBaseVastTree::DoEndOperation(TVTOperationKind Kind) {
  if (OnEndOperation) OnEndOperation(this, Kind);
}

void TBaseVastTree::DoMeasureItem(TCanvas* TargetCanvas, PVastNode Node, Integer& NodeHeight) {
  if (!Node->States.Contains(vsInitialized)) InitNode(Node);
  if (OnMeasureItem) OnMeasureItem(this, TargetCanvas, Node, NodeHeight);
}

void TBaseVastTree::DoLoadNode(PVastNode Node, TStream* Stream) {
  if (OnLoadNode) OnLoadNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseVastTree::DoSaveNode(PVastNode Node, TStream* Stream) {
  if (OnSaveNode) OnSaveNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseVastTree::DoRemoveFromSelection(PVastNode Node) {
  if (OnRemoveFromSelection) OnRemoveFromSelection(this, Node);
}

void TBaseVastTree::DoHotChange(PVastNode OldNode, PVastNode NewNode) {
  if (OnHotChange) OnHotChange(this, OldNode, NewNode);
}

void TBaseVastTree::DoScroll(Integer DeltaX, Integer DeltaY) {
  if (OnScroll) OnScroll(this, DeltaX, DeltaY);
}

bool TBaseVastTree::IsCellEmpty(PVastNode Node, TColumnIndex Column) {
  bool IsEmpty = true;
  if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, Node, Column, IsEmpty);
  return IsEmpty;
}

void TBaseVastTree::DoColumnVisibilityChanged(TColumnIndex Column, bool Visible) {
  if (OnColumnVisibilityChanged) OnColumnVisibilityChanged(this, Column, Visible);
}

void TBaseVastTree::MainColumnChanged() { CancelEditNode(); }

bool TBaseVastTree::DoChecking(PVastNode Node, TCheckState& NewCheckState) {
  if (ReadOnly() || Node->States.Contains(vsDisabled)) return false;
  bool Allowed = true;
  if (OnChecking) OnChecking(this, Node, NewCheckState, Allowed);
  return Allowed;
}

void TBaseVastTree::DoChecked(PVastNode Node) {
  if (OnChecked) OnChecked(this, Node);
}
