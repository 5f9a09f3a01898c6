// Node store, structure operations and node initialisation.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>

#include "rtl/ScopeExit.h"
#include "rtl/UpdateGuard.h"
#include "treeview/VastTreeWorker.h"
#include "treeview/VastTrees.h"

namespace {

constexpr Cardinal MaxNodeHeight = 0xFFFF;

Word ClampHeight(Cardinal Value) { return static_cast<Word>(std::min(Value, MaxNodeHeight)); }

bool IsRootNode(PVastNode Node) { return Node->NextSibling == Node; }

void* AllocateZeroed(std::size_t Size) {
  void* P = std::calloc(1, Size);
  if (!P) throw std::bad_alloc();
  return P;
}

}  // namespace

// ---------------------------------------------------------------------------
// Node record accessors

void TVastNode::SetData(void* UserData) noexcept {
  void* Area = GetData();
  std::memcpy(Area, &UserData, sizeof(UserData));
}

void TVastNode::SetData(IInterface* UserData) noexcept {
  if (UserData) UserData->_AddRef();
  void* Area = GetData();
  std::memcpy(Area, &UserData, sizeof(UserData));
  States.Include(vsReleaseCallOnUserDataRequired);
}

IInterface* TVastNode::GetInterfaceFromNodeData(PVastNode Node) noexcept {
  if (!Node) return nullptr;
  IInterface* Result;
  std::memcpy(&Result, reinterpret_cast<Byte*>(Node) + sizeof(TVastNode), sizeof(Result));
  return Result;
}

// ---------------------------------------------------------------------------
// Life cycle

TBaseVastTree::TBaseVastTree(IVastTreeHost* Host)
    : FHost(Host ? Host : &TWindowlessVastTreeHost::Instance()),
      FHeader(std::make_unique<TVTHeaderStub>()),
      FOptions(std::make_unique<TCustomVastTreeOptions>(this)),
      FScrollBarOptions(std::make_unique<TScrollBarOptions>(this)),
      FColors(std::make_unique<TVTColors>(this)) {
  // AnimationDuration is stored directly: through its setter it would turn
  // toAnimatedToggle on, but the animation options default to none.
  RegisterVastTreeClipboardFormats();
  RegisterLiveTree(this);
  SetupRootNode();
  TWorkerThread::AddThreadReference();
  FWorkerReferenced = true;
  TWorkerThread::RegisterTree(this);
}

TBaseVastTree::~TBaseVastTree() {
  // From now on no tree reference names this tree.
  UnregisterLiveTree(this);
  FLifeToken.reset();
  StopCacheValidation();
  TWorkerThread::UnregisterTree(this);
  TVTMiscOptions Misc = FOptions->MiscOptions();
  Misc.Exclude(toReadOnly);
  FOptions->FMiscOptions = Misc;
  FDestroying = true;
  Clear();
  if (FWorkerReferenced) TWorkerThread::ReleaseThreadReference(false);
  FHeader.reset();
  FOptions.reset();
  std::free(FRoot);
}

void TBaseVastTree::SetHost(IVastTreeHost* Value) { FHost = Value ? Value : &TWindowlessVastTreeHost::Instance(); }

void TBaseVastTree::SetHeader(std::unique_ptr<IVastTreeHeader> Value) {
  FHeader = Value ? std::move(Value) : std::make_unique<TVTHeaderStub>();
}

void TBaseVastTree::SetLoading(bool Value) {
  if (FLoading == Value) return;
  FLoading = Value;
  if (!Value) ApplyStoredRootCount();
}

void TBaseVastTree::ApplyStoredRootCount() {
  if (!HasState(tsNeedRootCountUpdate)) return;
  // The root count was stored while loading; create the nodes now.
  const Cardinal Count = FRoot->ChildCount;
  FRoot->ChildCount = 0;
  DoStateChange({}, {tsNeedRootCountUpdate});
  if (Count == 0) return;
  // A read-only tree keeps the count it stored: read-only refuses edits,
  // not the tree's own state coming back.
  TUpdateGuard Update(*this);
  ChangeChildCount(FRoot, Count);
}

// ---------------------------------------------------------------------------
// Node store

Cardinal TBaseVastTree::NodeBlockSize() const {
  return static_cast<Cardinal>(NodeHeaderSize) + static_cast<Cardinal>(std::max<Integer>(FNodeDataSize, 0)) +
         FTotalInternalDataSize;
}

PVastNode TBaseVastTree::AllocateNode() {
  if (FNodeDataSize <= 0) DoGetNodeDataSize(FNodeDataSize);
  // Freed here until the index holds it.
  std::unique_ptr<void, decltype(&std::free)> Block(AllocateZeroed(NodeBlockSize()), &std::free);
  PVastNode Node = new (Block.get()) TVastNode();
  Node->TotalCount = 1;
  Node->NodeHeight = ClampHeight(FDefaultNodeHeight);
  Node->TotalHeight = Node->NodeHeight;
  Node->States = TVastNodeStates{vsVisible};
  Node->Align = 50;
  if (FNodeIndex) FNodeIndex->insert(Node);
  Block.release();
  return Node;
}

void TBaseVastTree::FreeNodeBlock(PVastNode Node) {
  if (FNodeIndex) FNodeIndex->erase(Node);
  std::free(Node);
}

bool TBaseVastTree::IsOwnNode(PVastNode Node) {
  if (!Node || Node == FRoot) return false;
  if (!FNodeIndex) {
    auto Index = std::make_unique<std::unordered_set<PVastNode>>();
    Index->reserve(FRoot->TotalCount);
    for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run)) Index->insert(Run);
    FNodeIndex = std::move(Index);
  }
  // A block allocated but not linked yet (Parent nil) is no node to show.
  return FNodeIndex->contains(Node) && Node->Parent;
}

void TBaseVastTree::SetupRootNode() {
  const Cardinal NewSize = RootBlockSize();
  if (!FRoot) {
    FRoot = new (AllocateZeroed(NewSize)) TVastNode();
  } else {
    // Only reached before any node exists: nothing points at the root yet.
    std::free(FRoot);
    FRoot = new (AllocateZeroed(NewSize)) TVastNode();
  }
  FRoot->Parent = reinterpret_cast<PVastNode>(this);
  FRoot->PrevSibling = FRoot;
  FRoot->NextSibling = FRoot;
  FRoot->States = TVastNodeStates{vsInitialized, vsExpanded, vsHasChildren, vsVisible};
  FRoot->TotalCount = 1;
  FRoot->NodeHeight = ClampHeight(FDefaultNodeHeight);
  FRoot->TotalHeight = FRoot->NodeHeight;
  FRoot->Align = 50;
}

Cardinal TBaseVastTree::ReserveInternalData(Cardinal Size) {
  const Cardinal Result = static_cast<Cardinal>(NodeHeaderSize) + FTotalInternalDataSize;
  FTotalInternalDataSize += (Size + 3) & ~Cardinal(3);
  SetupRootNode();
  return Result;
}

TBaseVastTree* TBaseVastTree::TreeFromNode(PVastNode Node) {
  if (!Node) return nullptr;
  while (!IsRootNode(Node)) Node = Node->Parent;
  return reinterpret_cast<TBaseVastTree*>(Node->Parent);
}

void TBaseVastTree::SetNodeDataSize(Integer Value) {
  if (Value < -1) Value = -1;
  if (Value == FNodeDataSize) return;
  FNodeDataSize = Value;
  if (Loading()) return;
  const Cardinal Count = FRoot->ChildCount;
  Clear();
  SetRootNodeCount(Count);
}

void* TBaseVastTree::GetNodeData(PVastNode Node) const {
  if (FNodeDataSize <= 0 || !Node || Node == FRoot) return nullptr;
  // The mark is written once, under the worker's lock; later reads only read.
  if (!Node->States.Contains(vsOnFreeNodeCallRequired))
    const_cast<TBaseVastTree*>(this)->IncludeNodeStates(Node, {vsOnFreeNodeCallRequired});
  return reinterpret_cast<Byte*>(Node) + sizeof(TVastNode);
}

void TBaseVastTree::SetNodeData(PVastNode Node, void* UserData) {
  if (!Node || Node == FRoot) return;
  auto Lock = LockNodeStates();
  Node->SetData(UserData);
}

void TBaseVastTree::SetNodeData(PVastNode Node, IInterface* UserData) {
  if (!Node || Node == FRoot) return;
  auto Lock = LockNodeStates();
  Node->SetData(UserData);
}

void TBaseVastTree::SetRootNodeCount(Cardinal Value) {
  if (Loading()) {
    FRoot->ChildCount = Value;
    DoStateChange({tsNeedRootCountUpdate});
    return;
  }
  if (FRoot->ChildCount == Value) return;
  TUpdateGuard Update(*this);
  StopCacheValidation();
  SetChildCount(FRoot, Value);
}

Cardinal TBaseVastTree::TotalCount() {
  ++FUpdateCount;
  {
    const TScopeExit Done([this] { --FUpdateCount; });
    ValidateNode(FRoot, true);
  }
  return FRoot->TotalCount - 1;
}

void TBaseVastTree::SetDefaultNodeHeight(Cardinal Value) {
  if (Value == 0) Value = 18;
  Value = std::min(Value, MaxNodeHeight);
  if (Value == FDefaultNodeHeight) return;
  StopCacheValidation();
  const Integer Diff = static_cast<Integer>(Value) - static_cast<Integer>(FDefaultNodeHeight);
  FRoot->TotalHeight += static_cast<Cardinal>(Diff);
  FRoot->NodeHeight = ClampHeight(Value);
  FDefaultNodeHeight = Value;
  InvalidateCache();
  UpdateVerticalRange();
  if (FUpdateCount == 0 && FHost->HasWindow() && !Loading()) {
    ValidateCache();
    UpdateScrollBars(true);
    ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true);
    Invalidate();
  }
}

void TBaseVastTree::AdjustTotalCount(PVastNode Node, Integer Value, bool Relative) {
  const Integer Difference = Relative ? Value : Value - static_cast<Integer>(Node->TotalCount);
  if (Difference == 0) return;
  for (;;) {
    Node->TotalCount += static_cast<Cardinal>(Difference);
    if (IsRootNode(Node)) break;
    Node = Node->Parent;
  }
}

void TBaseVastTree::AdjustTotalHeight(PVastNode Node, Integer Value, bool Relative) {
  const Integer Difference = Relative ? Value : Value - static_cast<Integer>(Node->TotalHeight);
  if (Difference != 0) {
    for (;;) {
      Node->TotalHeight += static_cast<Cardinal>(Difference);
      if (!Node->States.Contains(vsVisible) || IsRootNode(Node) || !Node->Parent ||
          !Node->Parent->States.Contains(vsExpanded))
        break;
      Node = Node->Parent;
    }
  }
  UpdateVerticalRange();
}

// The walks below are iterative: a tree may be far deeper than the stack
// allows recursion. A node's sum is complete when the walk leaves it upwards.
void TBaseVastTree::RecomputeTotalCount(PVastNode Node) {
  PVastNode Run = Node->FirstChild;
  if (!Run) return;
  Run->TotalCount = 1;
  for (;;) {
    if (Run->FirstChild) {
      Run = Run->FirstChild;
      Run->TotalCount = 1;
      continue;
    }
    for (;;) {
      PVastNode Parent = Run->Parent;
      Parent->TotalCount += Run->TotalCount;
      if (Run->NextSibling) {
        Run = Run->NextSibling;
        Run->TotalCount = 1;
        break;
      }
      if (Parent == Node) return;
      Run = Parent;
    }
  }
}

void TBaseVastTree::RecomputeTotalHeight(PVastNode Node) {
  PVastNode Run = Node->FirstChild;
  if (!Run) return;
  Run->TotalHeight = GetEffectivelyFiltered(Run) ? 0 : Run->NodeHeight;
  for (;;) {
    if (Run->FirstChild) {
      Run = Run->FirstChild;
      Run->TotalHeight = GetEffectivelyFiltered(Run) ? 0 : Run->NodeHeight;
      continue;
    }
    for (;;) {
      PVastNode Parent = Run->Parent;
      if (Parent->States.Contains(vsExpanded) && Run->States.Contains(vsVisible))
        Parent->TotalHeight += Run->TotalHeight;
      if (Run->NextSibling) {
        Run = Run->NextSibling;
        Run->TotalHeight = GetEffectivelyFiltered(Run) ? 0 : Run->NodeHeight;
        break;
      }
      if (Parent == Node) return;
      Run = Parent;
    }
  }
}

Cardinal TBaseVastTree::CountVisibleDescendants(PVastNode Node) const {
  // Iterative: trees may be far deeper than the stack allows recursion.
  if (!Node->States.Contains(vsExpanded)) return 0;
  Cardinal Count = 0;
  PVastNode Run = Node->FirstChild;
  while (Run) {
    bool Descend = false;
    if (Run->States.Contains(vsVisible)) {
      if (!GetEffectivelyFiltered(Run)) ++Count;
      Descend = Run->States.Contains(vsExpanded) && Run->FirstChild;
    }
    if (Descend) {
      Run = Run->FirstChild;
      continue;
    }
    while (Run != Node && !Run->NextSibling) Run = Run->Parent;
    if (Run == Node) break;
    Run = Run->NextSibling;
  }
  return Count;
}

void TBaseVastTree::UpdateAllChildrenHidden(PVastNode Node) {
  if (!Node || Node == FRoot) return;
  if (Node->ChildCount > 0) {
    bool Hidden = true;
    for (PVastNode Child = Node->FirstChild; Child; Child = Child->NextSibling)
      if (GetEffectivelyVisible(Child)) {
        Hidden = false;
        break;
      }
    if (Hidden)
      IncludeNodeStates(Node, {vsAllChildrenHidden});
    else
      ExcludeNodeStates(Node, {vsAllChildrenHidden});
  } else if (Node->States.Contains(vsHasChildren)) {
    ExcludeNodeStates(Node, {vsAllChildrenHidden});
  } else {
    IncludeNodeStates(Node, {vsAllChildrenHidden});
  }
}

void TBaseVastTree::UpdateAllChildrenHiddenForAll() {
  for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run)) UpdateAllChildrenHidden(Run);
}

void TBaseVastTree::UpdateVerticalRange() {
  FRangeY = static_cast<Integer>(FRoot->TotalHeight + FBottomSpace - FRoot->NodeHeight);
}

void TBaseVastTree::SetBottomSpace(Cardinal Value) {
  if (FBottomSpace == Value) return;
  FBottomSpace = Value;
  UpdateVerticalRange();
  UpdateScrollBars(true);
}

// ---------------------------------------------------------------------------
// Node properties

Cardinal TBaseVastTree::GetChildCount(PVastNode Node) {
  if (!Node || Node == FRoot) return FRoot->ChildCount;
  if (!GetChildrenInitialized(Node)) InitChildren(Node);
  return Node->ChildCount;
}

bool TBaseVastTree::GetHasChildren(PVastNode Node) const {
  return (Node ? Node : FRoot)->States.Contains(vsHasChildren);
}

void TBaseVastTree::SetHasChildren(PVastNode Node, bool Value) {
  if (!Node || ReadOnly()) return;
  if (Value) {
    IncludeNodeStates(Node, {vsHasChildren});
  } else {
    ExcludeNodeStates(Node, {vsHasChildren});
    DeleteChildren(Node, false);
  }
}

void TBaseVastTree::SetExpanded(PVastNode Node, bool Value) {
  if (!Node || Node == FRoot || Node->States.Contains(vsExpanded) == Value) return;
  ToggleNode(Node);
}

void TBaseVastTree::SetDisabled(PVastNode Node, bool Value) {
  if (!Node || Node->States.Contains(vsDisabled) == Value) return;
  if (Value)
    IncludeNodeStates(Node, {vsDisabled});
  else
    ExcludeNodeStates(Node, {vsDisabled});
  if (FUpdateCount == 0) InvalidateNode(Node);
}

void TBaseVastTree::SetMultiline(PVastNode Node, bool Value) {
  if (!Node || Node == FRoot || Node->States.Contains(vsMultiline) == Value) return;
  if (Value)
    IncludeNodeStates(Node, {vsMultiline});
  else
    ExcludeNodeStates(Node, {vsMultiline});
  if (FUpdateCount == 0) InvalidateNode(Node);
}

void TBaseVastTree::SetVerticalAlignment(PVastNode Node, Byte Value) {
  if (Value > 100) Value = 100;
  if (Node->Align == Value) return;
  Node->Align = Value;
  if (GetFullyVisible(Node) && !GetEffectivelyFiltered(Node)) InvalidateNode(Node);
}

Cardinal TBaseVastTree::GetNodeHeight(PVastNode Node) {
  if (!Node || Node == FRoot) return 0;
  if (FOptions->MiscOptions().Contains(toVariableNodeHeight) && !Node->States.Contains(vsDeleting)) {
    if (FHost->IsUIThread() && !Node->States.Contains(vsInitialized)) InitNode(Node);
    MeasureItemHeight(nullptr, Node);
  }
  return Node->NodeHeight;
}

void TBaseVastTree::SetNodeHeight(PVastNode Node, Cardinal Value) {
  if (!Node || Node == FRoot) return;
  // The row height field holds 16 bits; larger values are clamped so that
  // the subtree totals stay in step with it.
  Value = std::min(Value, MaxNodeHeight);
  if (Node->NodeHeight == Value) return;
  const Integer Difference = static_cast<Integer>(Value) - static_cast<Integer>(Node->NodeHeight);
  // A height measured for the worker arrives while it waits for us; it must
  // not wait for the worker in turn.
  if (!FMeasuringForWorker) StopCacheValidation();
  Node->NodeHeight = static_cast<Word>(Value);
  if (GetEffectivelyFiltered(Node)) return;
  AdjustTotalHeight(Node, Difference, true);
  UpdateEditBounds();
  InvalidateCache();
  if (!HasState(tsValidating) && GetFullyVisible(Node) && FUpdateCount == 0 && !HasState(tsPainting) &&
      !HasState(tsSizing)) {
    ValidateCache();
    InvalidateToBottom(Node);
    UpdateScrollBars(true);
  }
}

void TBaseVastTree::MeasureItemHeight(TCanvas* Canvas, PVastNode Node) {
  if (!FHost->IsUIThread()) {
    // The worker never runs the owner's code: measuring happens on the
    // user-interface thread while the worker waits.
    FHost->SendToUIThread([this, Canvas, Node] {
      FMeasuringForWorker = true;
      const TScopeExit Measured([this] { FMeasuringForWorker = false; });
      MeasureItemHeight(Canvas, Node);
    });
    return;
  }
  if (Node->States.Contains(vsHeightMeasured)) return;
  IncludeNodeStates(Node, {vsHeightMeasured});
  if (!FOptions->MiscOptions().Contains(toVariableNodeHeight)) return;
  Integer NewHeight = Node->NodeHeight;
  DoMeasureItem(Canvas, Node, NewHeight);
  SetNodeHeight(Node, static_cast<Cardinal>(std::max<Integer>(NewHeight, 0)));
}

PVastNode TBaseVastTree::GetNodeParent(PVastNode Node) const {
  if (!Node || Node == FRoot || Node->Parent == FRoot) return nullptr;
  return Node->Parent;
}

void TBaseVastTree::SetNodeParent(PVastNode Node, PVastNode Value) {
  if (Node && Value && Node->Parent != Value) MoveTo(Node, Value, amAddChildLast, false);
}

bool TBaseVastTree::GetVisible(PVastNode Node) {
  if (!Node) Node = FRoot;
  if (!Node->States.Contains(vsInitialized)) InitNode(Node);
  return Node->States.Contains(vsVisible);
}

bool TBaseVastTree::GetEffectivelyFiltered(PVastNode Node) const {
  return Node && Node->States.Contains(vsFiltered) && !ShowFilteredNodes();
}

bool TBaseVastTree::GetEffectivelyVisible(PVastNode Node) const {
  return Node->States.Contains(vsVisible) && !GetEffectivelyFiltered(Node);
}

bool TBaseVastTree::GetVisiblePath(PVastNode Node) const {
  for (PVastNode Run = Node->Parent; Run != FRoot && Run; Run = Run->Parent) {
    if (IsRootNode(Run)) break;
    if (!Run->States.Contains(vsExpanded) || !Run->States.Contains(vsVisible)) return false;
  }
  return true;
}

bool TBaseVastTree::GetFullyVisible(PVastNode Node) const {
  if (!Node->States.Contains(vsVisible)) return false;
  return Node == FRoot || GetVisiblePath(Node);
}

bool TBaseVastTree::GetChildrenInitialized(PVastNode Node) const {
  return !(Node->States.Contains(vsHasChildren) && Node->ChildCount == 0);
}

TCheckState TBaseVastTree::GetCheckState(PVastNode Node) {
  if (!Node) return csUncheckedNormal;
  if (OnBeforeGetCheckState) OnBeforeGetCheckState(this, Node);
  return Node->CheckState;
}

Cardinal TBaseVastTree::CheckedCount() {
  Cardinal Count = 0;
  for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run))
    if (Run->CheckState == csCheckedNormal) ++Count;
  return Count;
}

// ---------------------------------------------------------------------------
// Linking

void TBaseVastTree::LinkNode(PVastNode Node, PVastNode Destination, TBaseVastTree* Target, TVTNodeAttachMode Mode) {
  PVastNode Parent = nullptr;
  switch (Mode) {
    case amInsertBefore: {
      Parent = Destination->Parent;
      Node->Parent = Parent;
      Node->Index = Destination->Index;
      Node->PrevSibling = Destination->PrevSibling;
      Node->NextSibling = Destination;
      Destination->PrevSibling = Node;
      if (Node->PrevSibling)
        Node->PrevSibling->NextSibling = Node;
      else
        Parent->FirstChild = Node;
      for (PVastNode Run = Destination; Run; Run = Run->NextSibling) ++Run->Index;
      break;
    }
    case amInsertAfter: {
      Parent = Destination->Parent;
      Node->Parent = Parent;
      Node->PrevSibling = Destination;
      Node->NextSibling = Destination->NextSibling;
      Destination->NextSibling = Node;
      if (Node->NextSibling)
        Node->NextSibling->PrevSibling = Node;
      else
        Parent->LastChild = Node;
      Node->Index = Destination->Index;
      for (PVastNode Run = Node; Run; Run = Run->NextSibling) ++Run->Index;
      break;
    }
    case amAddChildFirst: {
      Parent = Destination;
      Node->Parent = Parent;
      Node->PrevSibling = nullptr;
      Node->NextSibling = Parent->FirstChild;
      if (Parent->FirstChild)
        Parent->FirstChild->PrevSibling = Node;
      else
        Parent->LastChild = Node;
      Parent->FirstChild = Node;
      Node->Index = 0;
      for (PVastNode Run = Node->NextSibling; Run; Run = Run->NextSibling) ++Run->Index;
      break;
    }
    case amAddChildLast: {
      Parent = Destination;
      Node->Parent = Parent;
      Node->NextSibling = nullptr;
      Node->PrevSibling = Parent->LastChild;
      if (Parent->LastChild) {
        Node->Index = Parent->LastChild->Index + 1;
        Parent->LastChild->NextSibling = Node;
      } else {
        Node->Index = 0;
        Parent->FirstChild = Node;
      }
      Parent->LastChild = Node;
      break;
    }
    case amNoWhere:
      break;
  }
  ExcludeNodeStates(Node, TVastNodeStates{vsChecking, vsCutOrCopy, vsDeleting});
  if (Mode == amNoWhere) return;

  ++Parent->ChildCount;
  IncludeNodeStates(Parent, {vsHasChildren});
  Target->AdjustTotalCount(Parent, static_cast<Integer>(Node->TotalCount), true);
  if (Parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible)) {
    Target->AdjustTotalHeight(Parent, static_cast<Integer>(Node->TotalHeight), true);
    // Only nodes whose whole path is open are counted as visible.
    if (Target->GetFullyVisible(Parent))
      Target->FVisibleCount += Target->CountVisibleDescendants(Node) + (Target->GetEffectivelyVisible(Node) ? 1 : 0);
  }
  if (!IsRootNode(Parent)) {
    if (Target->GetEffectivelyVisible(Node))
      ExcludeNodeStates(Parent, {vsAllChildrenHidden});
    else if (Parent->ChildCount == 1)
      IncludeNodeStates(Parent, {vsAllChildrenHidden});
  }
}

void TBaseVastTree::UnlinkNode(PVastNode Node, bool KeepFocus, bool Reindex, bool ParentClearing) {
  if (Node == FFocusedNode && !KeepFocus) {
    FFocusedNode = nullptr;
    DoFocusChanged(nullptr, FFocusedColumn);
  }
  if (Node == FRangeAnchor) ResetRangeAnchor();
  PVastNode Parent = Node->Parent;
  if (Node->States.Contains(vsDeleting)) return;

  ExcludeNodeStates(Node, {vsChecking});
  --Parent->ChildCount;
  const bool WasCounted = Parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible);
  const Cardinal VisibleNodes =
      GetFullyVisible(Node) ? CountVisibleDescendants(Node) + (GetEffectivelyVisible(Node) ? 1 : 0) : 0;
  if (Parent->ChildCount == 0) {
    ExcludeNodeStates(Parent, TVastNodeStates{vsAllChildrenHidden, vsHasChildren});
    if (Parent != FRoot) ExcludeNodeStates(Parent, {vsExpanded});
  }
  AdjustTotalCount(Parent, -static_cast<Integer>(Node->TotalCount), true);
  if (WasCounted) AdjustTotalHeight(Parent, -static_cast<Integer>(Node->TotalHeight), true);
  FVisibleCount -= VisibleNodes;

  if (Node->PrevSibling)
    Node->PrevSibling->NextSibling = Node->NextSibling;
  else
    Parent->FirstChild = Node->NextSibling;
  if (Node->NextSibling) {
    Node->NextSibling->PrevSibling = Node->PrevSibling;
    if (Reindex) {
      Cardinal Index = Node->Index;
      for (PVastNode Run = Node->NextSibling; Run; Run = Run->NextSibling) Run->Index = Index++;
    }
  } else {
    Parent->LastChild = Node->PrevSibling;
  }

  // The flag is settled once the node has left the chain.
  if (Parent != FRoot && !ParentClearing) {
    if (FUpdateCount == 0)
      UpdateAllChildrenHidden(Parent);
    else
      DoStateChange({tsUpdateHiddenChildrenNeeded});
  }
}

// ---------------------------------------------------------------------------
// Adding

PVastNode TBaseVastTree::AddChild(PVastNode Parent, void* UserData) {
  if (ReadOnly()) return nullptr;
  return InsertNode(Parent, amAddChildLast, UserData);
}

PVastNode TBaseVastTree::AddChild(PVastNode Parent, IInterface* UserData) {
  if (UserData) UserData->_AddRef();
  // The reference goes back unless a node took it.
  PVastNode Result = nullptr;
  const TScopeExit Unused([&] {
    if (!Result && UserData) UserData->_Release();
  });
  Result = AddChild(Parent, static_cast<void*>(UserData));
  if (Result) IncludeNodeStates(Result, {vsReleaseCallOnUserDataRequired});
  return Result;
}

PVastNode TBaseVastTree::InsertNode(PVastNode Node, TVTNodeAttachMode Mode, void* UserData) {
  if (Mode == amNoWhere) return nullptr;
  CancelEditNode();
  if (!Node) Node = FRoot;
  if (Node == FRoot) {
    if (Mode == amInsertBefore) Mode = amAddChildFirst;
    if (Mode == amInsertAfter) Mode = amAddChildLast;
  }
  const bool ChildMode = Mode == amAddChildFirst || Mode == amAddChildLast;
  if (ChildMode && Node != FRoot && !Node->States.Contains(vsInitialized)) InitNode(Node);
  PVastNode NewNode = AllocateNode();
  StopCacheValidation();
  LinkNode(NewNode, Node, this, Mode);
  if (UserData) NewNode->SetData(UserData);
  if (FUpdateCount > 0) return NewNode;

  const TColumnIndex SortColumn = FHeader->SortColumn();
  const bool AutoSort = FOptions->AutoOptions().Contains(toAutoSort) && SortColumn >= NoColumn;
  if (!ChildMode) {
    StructureChange(NewNode, crNodeAdded);
    if (AutoSort) Sort(NewNode->Parent, SortColumn, FHeader->SortDirection(), true);
    InvalidateToBottom(NewNode);
  } else {
    StructureChange(Node, crChildAdded);
    if (AutoSort) Sort(Node, SortColumn, FHeader->SortDirection(), true);
    InvalidateToBottom(Node);
  }
  InvalidateCache();
  ValidateCache();
  UpdateScrollBars(true);
  return NewNode;
}

void TBaseVastTree::SetChildCount(PVastNode Node, Cardinal NewChildCount) {
  if (ReadOnly()) return;
  ChangeChildCount(Node, NewChildCount);
}

void TBaseVastTree::ChangeChildCount(PVastNode Node, Cardinal NewChildCount) {
  if (!Node) Node = FRoot;
  if (NewChildCount == 0) {
    DeleteChildren(Node, false);
    return;
  }
  if (NewChildCount == Node->ChildCount) return;
  StopCacheValidation();
  if (NewChildCount > Node->ChildCount) {
    const Cardinal Delta = NewChildCount - Node->ChildCount;
    Cardinal Sum = Node->TotalHeight;
    Cardinal Index;
    if (Node->LastChild) {
      Index = Node->LastChild->Index + 1;
    } else {
      Index = 0;
      IncludeNodeStates(Node, {vsHasChildren});
    }
    ExcludeNodeStates(Node, TVastNodeStates{vsAllChildrenHidden, vsHeightMeasured});
    if (Node->States.Contains(vsExpanded) && GetFullyVisible(Node)) FVisibleCount += Delta;
    const bool Variable = FOptions->MiscOptions().Contains(toVariableNodeHeight);
    // The children count as linked from here on: measuring one may read the
    // chain, so ChildCount follows each append.
    for (Cardinal I = 0; I < Delta; ++I) {
      PVastNode Child = AllocateNode();
      Child->Index = Index++;
      Child->Parent = Node;
      Child->PrevSibling = Node->LastChild;
      if (Node->LastChild)
        Node->LastChild->NextSibling = Child;
      else
        Node->FirstChild = Child;
      Node->LastChild = Child;
      ++Node->ChildCount;
      if (Variable) GetNodeHeight(Child);
      Sum += Child->TotalHeight;
    }
    if (Node->States.Contains(vsExpanded)) AdjustTotalHeight(Node, static_cast<Integer>(Sum), false);
    AdjustTotalCount(Node, static_cast<Integer>(Delta), true);
    Node->ChildCount = NewChildCount;
    const TColumnIndex SortColumn = FHeader->SortColumn();
    if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(toAutoSort) && SortColumn >= NoColumn)
      Sort(Node, SortColumn, FHeader->SortDirection(), true);
    InvalidateCache();
  } else {
    while (Node->ChildCount > NewChildCount && Node->LastChild) DeleteNode(Node->LastChild, true);
  }
  if (FUpdateCount == 0) {
    ValidateCache();
    UpdateScrollBars(true);
    Invalidate();
  }
  StructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

// ---------------------------------------------------------------------------
// Deleting

void TBaseVastTree::DeleteChildren(PVastNode Node, bool ResetHasChildren) {
  if (!Node || !Node->FirstChild || ReadOnly()) {
    if (ResetHasChildren && Node) ExcludeNodeStates(Node, {vsHasChildren});
    return;
  }
  const Integer OldX = FOffsetX, OldY = FOffsetY;
  {
    // The deletions below run as one update without OnUpdating.
    ++FUpdateCount;
    const TScopeExit Updated([this] { --FUpdateCount; });
    StopCacheValidation();
    // Deeper levels are emptied first, from the bottom up, so that no
    // deletion below nests more than one level however deep the tree is.
    for (PVastNode Deep = Node->LastChild;;) {
      while (Deep->LastChild) Deep = Deep->LastChild;
      while (!Deep->PrevSibling && Deep != Node) {
        Deep = Deep->Parent;
        if (Deep != Node) {
          // It goes too: its own totals are reset, not carried up to the
          // root level by level.
          IncludeNodeStates(Deep, {vsDeleting});
          DeleteChildren(Deep, false);
        }
      }
      if (Deep == Node) break;
      Deep = Deep->PrevSibling;
    }
    const bool Counted = Node == FRoot || (GetFullyVisible(Node) && Node->States.Contains(vsExpanded));
    PVastNode Run = Node->LastChild;
    while (Run) {
      PVastNode Prev = Run->PrevSibling;
      if (Counted && GetEffectivelyVisible(Run)) --FVisibleCount;
      IncludeNodeStates(Run, {vsDeleting});
      if (Prev) Prev->NextSibling = nullptr;
      DeleteNodeBody(Run, false, true);
      Run = Prev;
    }
    if (ResetHasChildren) ExcludeNodeStates(Node, {vsHasChildren});
    if (Node != FRoot) ExcludeNodeStates(Node, {vsExpanded});
    Node->ChildCount = 0;
    if (Node == FRoot || Node->States.Contains(vsDeleting)) {
      Node->TotalHeight = Node->NodeHeight;
      Node->TotalCount = 1;
      UpdateVerticalRange();
    } else {
      AdjustTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
      AdjustTotalCount(Node, 1, false);
    }
    Node->FirstChild = nullptr;
    Node->LastChild = nullptr;
  }
  InvalidateCache();
  if (FUpdateCount == 0) {
    PackSelection();
    ValidateCache();
    UpdateScrollBars(true);
    if (OldX != FOffsetX || OldY != FOffsetY)
      Invalidate();
    else
      InvalidateToBottom(Node);
    if (HasState(tsChangePending)) {
      DoChange(FLastChangedNode);
      EnsureNodeSelected();
    }
  }
  StructureChange(Node, crChildDeleted);
}

void TBaseVastTree::DeleteNodeBody(PVastNode Node, bool Reindex, bool ParentClearing) {
  if (!Node || Node == FRoot || ReadOnly()) return;
  // The editor of a node that goes would write its text into the freed
  // block when it ends: the edit is cancelled while the node still stands.
  if (HasState(tsEditing) && FFocusedNode && !FDestroying && (FFocusedNode == Node || HasAsParent(FFocusedNode, Node)))
    CancelEditNode();
  PVastNode Parent = Node->Parent;
  if (!ParentClearing) {
    StructureChange(Parent == FRoot ? nullptr : Parent, crChildDeleted);
    if (Node == FNextNodeToSelect) FNextNodeToSelect = nullptr;
  }
  const Integer OldX = FOffsetX, OldY = FOffsetY;
  if (HasState(tsHint)) DoStateChange({}, {tsHint});
  if (!ParentClearing) StopCacheValidation();
  DeleteChildren(Node, false);
  PVastNode const GoingBefore = FGoingNode;
  const auto LeaveGoing = [this, GoingBefore] { FGoingNode = GoingBefore; };
  if (!Node->States.Contains(vsSelected)) {
    InvalidateToBottom(Parent);
  } else if (FUpdateCount > 0) {
    FGoingNode = Node;
    const TScopeExit Gone(LeaveGoing);
    DropFromSelection(Node);
  } else {
    {
      FGoingNode = Node;
      const TScopeExit Gone(LeaveGoing);
      const bool WasSynch = HasState(tsSynchMode);
      if (!WasSynch) DoStateChange({tsSynchMode});
      const TScopeExit Restore([this, WasSynch] {
        if (!WasSynch) DoStateChange({}, {tsSynchMode});
      });
      RemoveFromSelection(Node);
    }
    InvalidateToBottom(Parent);
  }
  UnlinkNode(Node, false, Reindex, false);
  DoFreeNode(Node);
  if (ParentClearing) return;
  UpdateAllChildrenHidden(Parent);
  InvalidateCache();
  if (FUpdateCount == 0) {
    ValidateCache();
    UpdateScrollBars(true);
    if (OldX != FOffsetX || OldY != FOffsetY) Invalidate();
  }
}

void TBaseVastTree::DeleteNodes(const TNodeArray& pNodes) {
  if (pNodes.empty()) return;
  TUpdateGuard Update(*this);
  for (std::size_t I = pNodes.size() - 1; I >= 1; --I) {
    const bool Reindex = pNodes[I - 1]->Parent != pNodes[I]->Parent;
    DeleteNodeBody(pNodes[I], Reindex, false);
  }
  DeleteNodeBody(pNodes[0], true, false);
}

void TBaseVastTree::DeleteSelectedNodes() {
  if (FSelectionCount == 0 || ReadOnly()) return;
  DeleteNodes(GetSortedSelection(true));
}

void TBaseVastTree::Clear() {
  if ((!FRoot->FirstChild || ReadOnly()) && !FDestroying) return;
  TUpdateGuard Update(*this);
  StopCacheValidation();
  CancelEditNode();
  if (HasState(tsCutPending) || HasState(tsCopyPending)) DoStateChange({}, {tsCutPending, tsCopyPending});
  {
    // Every node goes.
    FGoingNode = FRoot;
    const TScopeExit Gone([this] { FGoingNode = nullptr; });
    ClearSelection(true);
  }
  FFocusedNode = nullptr;
  FLastSelected = nullptr;
  FHotNode = nullptr;
  FDropTargetNode = nullptr;
  FLastVCLDragTarget = nullptr;
  FLastChangedNode = nullptr;
  FRangeAnchor = nullptr;
  FLastHitNode = nullptr;
  FNextNodeToSelect = nullptr;
  DeleteChildren(FRoot, true);
  FOffsetX = 0;
  FOffsetY = 0;
}

void TBaseVastTree::ForgetNode(PVastNode Node) {
  if (FLastChangedNode == Node) FLastChangedNode = nullptr;
  if (FHotNode == Node) FHotNode = nullptr;
  if (FDropTargetNode == Node) FDropTargetNode = nullptr;
  if (FLastVCLDragTarget == Node) FLastVCLDragTarget = nullptr;
  if (FLastStructureChangeNode == Node) FLastStructureChangeNode = nullptr;
  if (FFocusedNode == Node) FFocusedNode = nullptr;
  if (FLastHitNode == Node) FLastHitNode = nullptr;
  if (FLastSelected == Node) FLastSelected = nullptr;
  if (FRangeAnchor == Node) FRangeAnchor = nullptr;
  if (FLastHitInfo.HitNode == Node) FLastHitInfo.HitNode = nullptr;
  if (FHeightTrackNode == Node) FHeightTrackNode = nullptr;
  if (FLastSearchNode == Node) FLastSearchNode = nullptr;
  for (std::span<PVastNode> Slots : FWatchedNodes)
    for (PVastNode& Slot : Slots)
      if (Slot == Node) Slot = nullptr;
}

TBaseVastTree::TNodeWatch::TNodeWatch(TBaseVastTree& Tree, PVastNode& Node) : FTree(Tree), FSlots(&Node, 1) {
  FTree.FWatchedNodes.push_back(FSlots);
}

TBaseVastTree::TNodeWatch::TNodeWatch(TBaseVastTree& Tree, TNodeArray& Nodes) : FTree(Tree), FSlots(Nodes) {
  FTree.FWatchedNodes.push_back(FSlots);
}

TBaseVastTree::TNodeWatch::~TNodeWatch() {
  // Watches end in the reverse order of their start, but search anyway.
  auto& Watched = FTree.FWatchedNodes;
  for (auto It = Watched.rbegin(); It != Watched.rend(); ++It)
    if (It->data() == FSlots.data()) {
      Watched.erase(std::next(It).base());
      break;
    }
}

void TBaseVastTree::DoFreeNode(PVastNode Node) {
  ForgetNode(Node);
  if (Node == FNextNodeToSelect) ChooseNextNodeToSelect(Node);
  if (FNextNodeToSelect == Node) FNextNodeToSelect = nullptr;
  const TScopeExit FreeBlock([this, Node] {
    if (Node->States.Contains(vsReleaseCallOnUserDataRequired))
      if (IInterface* Intf = TVastNode::GetInterfaceFromNodeData(Node)) Intf->_Release();
    FreeNodeBlock(Node);
  });
  if (Node->States.Contains(vsInitialized) || Node->States.Contains(vsOnFreeNodeCallRequired))
    if (OnFreeNode) OnFreeNode(this, Node);
  if (FUpdateCount == 0 && !FDestroying) EnsureNodeSelected();
}

// ---------------------------------------------------------------------------
// Moving and copying

void TBaseVastTree::MoveTo(PVastNode Source, PVastNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly) {
  if (Mode == amNoWhere || !Source || Source == FRoot || ReadOnly()) return;
  if (Source == Target && !(ChildrenOnly && (Mode == amInsertBefore || Mode == amInsertAfter))) return;
  TBaseVastTree* TargetTree;
  if (!Target) {
    TargetTree = this;
    Target = FRoot;
    Mode = amAddChildFirst;
  } else {
    TargetTree = TreeFromNode(Target);
  }
  if (Target == TargetTree->FRoot) {
    if (Mode == amInsertBefore) Mode = amAddChildFirst;
    if (Mode == amInsertAfter) Mode = amAddChildLast;
  }
  if (!Target->States.Contains(vsInitialized))
    TargetTree->InitNode(Target);
  else if (!TargetTree->GetChildrenInitialized(Target))
    TargetTree->InitChildren(Target);

  bool Allowed;
  if (TargetTree == this) {
    Allowed = DoNodeMoving(Source, Target == FRoot ? nullptr : Target);
    if (Allowed) {
      if (Target != Source && HasAsParent(Target, Source))
        throw EVastTreeError(u"Target node cannot be a child node of the node to be moved.", hcTFWrongMoveError);
      StopCacheValidation();
      if (!ChildrenOnly) {
        UnlinkNode(Source, true, true, false);
        LinkNode(Source, Target, this, Mode);
        DoNodeMoved(Source);
      } else {
        if (Mode == amAddChildFirst) {
          for (PVastNode Run = Source->LastChild; Run;) {
            PVastNode Next = Run->PrevSibling;
            UnlinkNode(Run, true, false, false);
            LinkNode(Run, Target, this, Mode);
            DoNodeMoved(Run);
            Run = Next;
          }
        } else {
          for (PVastNode Run = Source->FirstChild; Run;) {
            PVastNode Next = Run->NextSibling;
            UnlinkNode(Run, true, false, false);
            LinkNode(Run, Target, this, Mode);
            DoNodeMoved(Run);
            Run = Next;
          }
        }
      }
    }
  } else {
    Allowed = DoNodeMoving(Source, Target == TargetTree->FRoot ? nullptr : Target);
    if (Allowed) {
      PVastNode Dummy = nullptr;
      TransferNodes(Source, Target, TargetTree, Mode, ChildrenOnly, false, Dummy);
      TUpdateGuard Update(*this);
      if (ChildrenOnly)
        DeleteChildren(Source, false);
      else
        DeleteNodeBody(Source, true, false);
    }
  }
  InvalidateCache();
  if (Allowed && FUpdateCount == 0) {
    ValidateCache();
    UpdateScrollBars(true);
    Invalidate();
    if (TargetTree != this) TargetTree->Invalidate();
  }
  StructureChange(Allowed && ChildrenOnly ? nullptr : Source, crNodeMoved);
}

void TBaseVastTree::MoveTo(PVastNode Node, TBaseVastTree* Tree, TVTNodeAttachMode Mode, bool ChildrenOnly) {
  if (Tree) MoveTo(Node, Tree->FRoot, Mode, ChildrenOnly);
}

PVastNode TBaseVastTree::CopyTo(PVastNode Source, PVastNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly) {
  if (Mode == amNoWhere || !Source || Source == FRoot) return nullptr;
  TBaseVastTree* TargetTree;
  if (!Target) {
    TargetTree = this;
    Target = FRoot;
    Mode = amAddChildFirst;
  } else {
    TargetTree = TreeFromNode(Target);
  }
  if (TargetTree->ReadOnly()) return nullptr;
  if (Target == TargetTree->FRoot) {
    if (Mode == amInsertBefore) Mode = amAddChildFirst;
    if (Mode == amInsertAfter) Mode = amAddChildLast;
  }
  PVastNode Result = nullptr;
  TransferNodes(Source, Target, TargetTree, Mode, ChildrenOnly, true, Result);
  TargetTree->StructureChange(ChildrenOnly ? nullptr : Source, crNodeCopied);
  return ChildrenOnly ? Target : Result;
}

PVastNode TBaseVastTree::CopyTo(PVastNode Source, TBaseVastTree* Tree, TVTNodeAttachMode Mode, bool ChildrenOnly) {
  if (!Tree) return nullptr;
  return CopyTo(Source, Tree->FRoot, Mode, ChildrenOnly);
}

void TBaseVastTree::TransferNodes(PVastNode Source, PVastNode Target, TBaseVastTree* TargetTree, TVTNodeAttachMode Mode,
                                  bool ChildrenOnly, bool Copy, PVastNode& LastResult) {
  TMemoryStream Stream;
  Cardinal Count = 0;
  if (ChildrenOnly) {
    for (PVastNode Run = Source->FirstChild; Run; Run = Run->NextSibling) {
      WriteNode(Stream, Run);
      ++Count;
    }
  } else {
    WriteNode(Stream, Source);
    Count = 1;
  }
  Stream.SetPosition(0);
  {
    TUpdateGuard Update(*TargetTree);
    TargetTree->StopCacheValidation();
    // A transfer that fails takes back what it added, so the target is left
    // as it was (and a move leaves its source in place).
    TNodeArray Added;
    for (Cardinal I = 0; I < Count; ++I) {
      PVastNode NewNode = TargetTree->AllocateNode();
      TargetTree->LinkNode(NewNode, Target, TargetTree, Mode);
      Added.push_back(NewNode);
      try {
        TargetTree->InsertStreamNode(Stream, 3, NewNode);
      } catch (...) {
        for (auto It = Added.rbegin(); It != Added.rend(); ++It) TargetTree->DeleteNode(*It, true);
        throw;
      }
      if (Copy) {
        if (!DoNodeCopying(NewNode, Target)) {
          Added.pop_back();
          TargetTree->DeleteNode(NewNode, true);
          continue;
        }
        DoNodeCopied(NewNode);
        LastResult = NewNode;
      } else {
        DoNodeMoved(NewNode);
        LastResult = NewNode;
      }
    }
  }
  if (Copy) {
    TargetTree->InvalidateCache();
    if (TargetTree->FUpdateCount == 0) {
      TargetTree->ValidateCache();
      TargetTree->UpdateScrollBars(true);
      TargetTree->Invalidate();
    }
  }
}

// ---------------------------------------------------------------------------
// Initialisation

void TBaseVastTree::InitNode(PVastNode Node) {
  TVastNodeInitStates InitStates;
  if (Node->States.Contains(vsInitialized)) InitStates.Include(ivsReInit);
  const bool WasFiltered = Node->States.Contains(vsFiltered);
  IncludeNodeStates(Node, {vsInitializing});
  IncludeNodeStates(Node, {vsInitialized});
  const TScopeExit Initialized([this, Node] { ExcludeNodeStates(Node, {vsInitializing}); });

  PVastNode Parent = Node->Parent == FRoot ? nullptr : Node->Parent;
  DoInitNode(Parent, Node, InitStates);

  if (Node->CheckType == ctTriStateCheckBox && FOptions->AutoOptions().Contains(toAutoTristateTracking)) {
    PVastNode P = Node->Parent;
    if (P != FRoot && (P->CheckState == csCheckedNormal || P->CheckState == csUncheckedNormal) &&
        Node->CheckState != csUncheckedDisabled && Node->CheckState != csCheckedDisabled &&
        Node->CheckState != csMixedDisabled && Node->CheckState != P->CheckState)
      SetCheckState(Node, P->CheckState);
  } else if (FOptions->SelectionOptions().Contains(toSyncCheckboxesWithSelection)) {
    Node->CheckType = ctCheckBox;
  }

  if (InitStates.Contains(ivsDisabled)) IncludeNodeStates(Node, {vsDisabled});
  if (InitStates.Contains(ivsHasChildren)) IncludeNodeStates(Node, {vsHasChildren});
  if (InitStates.Contains(ivsSelected)) InsertIntoSelection(Node, false);
  if (InitStates.Contains(ivsMultiline)) IncludeNodeStates(Node, {vsMultiline});
  if (InitStates.Contains(ivsFiltered)) {
    // Whatever filtered the node before (an earlier initialisation, or
    // SetFiltered from the handler) has already taken its row out.
    const bool AlreadyFiltered = Node->States.Contains(vsFiltered) || (InitStates.Contains(ivsReInit) && WasFiltered);
    IncludeNodeStates(Node, {vsFiltered});
    if (!ShowFilteredNodes() && !AlreadyFiltered) {
      StopCacheValidation();
      AdjustTotalHeight(Node, -static_cast<Integer>(Node->NodeHeight), true);
      if (GetFullyVisible(Node)) --FVisibleCount;
      InvalidateCache();
      if (FUpdateCount == 0) UpdateScrollBars(true);
    }
  }
  if (Node->States.Contains(vsExpanded) != InitStates.Contains(ivsExpanded)) {
    if (InitStates.Contains(ivsExpanded))
      ToggleNode(Node);
    else if (Node->States.Contains(vsHasChildren))
      InitChildren(Node);
  }
}

void TBaseVastTree::InitChildren(PVastNode Node) {
  if (!Node || Node == FRoot || !Node->States.Contains(vsHasChildren)) return;
  Cardinal Count = Node->ChildCount;
  if (DoInitChildren(Node, Count)) {
    SetChildCount(Node, Count);
    if (Count == 0) ExcludeNodeStates(Node, {vsHasChildren});
  }
}

void TBaseVastTree::InitRecursive(PVastNode Node, Cardinal Levels, bool pVisibleOnly) {
  if (!Node) Node = FRoot;
  if (Node != FRoot && !Node->States.Contains(vsInitialized)) InitNode(Node);
  if (Levels == 0) return;
  if (pVisibleOnly && !Node->States.Contains(vsExpanded)) return;
  Cardinal Depth = 1;
  PVastNode Run = Node->FirstChild;
  while (Run) {
    if (!Run->States.Contains(vsInitialized)) InitNode(Run);
    if (Depth < Levels && !(pVisibleOnly && !Run->States.Contains(vsExpanded)) && Run->FirstChild) {
      Run = Run->FirstChild;
      ++Depth;
      continue;
    }
    while (Run != Node && !Run->NextSibling) {
      Run = Run->Parent;
      --Depth;
    }
    Run = Run == Node ? nullptr : Run->NextSibling;
  }
}

void TBaseVastTree::ValidateNode(PVastNode Node, bool Recursive) {
  if (!Node) Node = FRoot;
  if (Node != FRoot && !Node->States.Contains(vsInitialized)) InitNode(Node);
  if (!Recursive) return;
  for (PVastNode Run = Node;;) {
    if (Run->States.Contains(vsHasChildren) && Run->ChildCount == 0) InitChildren(Run);
    if (Run->FirstChild) {
      Run = Run->FirstChild;
    } else {
      while (Run != Node && !Run->NextSibling) Run = Run->Parent;
      if (Run == Node) return;
      Run = Run->NextSibling;
    }
    if (!Run->States.Contains(vsInitialized)) InitNode(Run);
  }
}

void TBaseVastTree::ValidateChildren(PVastNode Node, bool Recursive) {
  if (!Node) Node = FRoot;
  if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
  for (PVastNode Run = Node->FirstChild; Run; Run = Run->NextSibling) ValidateNode(Run, Recursive);
}

void TBaseVastTree::ReinitNode(PVastNode Node, bool Recursive) {
  if (Node && Node != FRoot) {
    ExcludeNodeStates(Node, TVastNodeStates{vsChecking, vsCutOrCopy, vsDeleting, vsHeightMeasured});
    if (Node->States.Contains(vsInitialized)) InitNode(Node);
  }
  if (Recursive) ReinitChildren(Node, true);
}

void TBaseVastTree::ReinitChildren(PVastNode Node, bool Recursive) {
  if (!Node) Node = FRoot;
  InitChildren(Node);
  if (!Recursive) {
    for (PVastNode Run = Node->FirstChild; Run;) {
      PVastNode Next = Run->NextSibling;
      ReinitNode(Run, false);
      Run = Next;
    }
    return;
  }
  // Each node is reinitialised on its own, then its children: the same order
  // as a recursion, without its depth.
  PVastNode Run = Node->FirstChild;
  while (Run) {
    ReinitNode(Run, false);
    InitChildren(Run);
    if (Run->FirstChild) {
      Run = Run->FirstChild;
      continue;
    }
    while (Run != Node && !Run->NextSibling) Run = Run->Parent;
    Run = Run == Node ? nullptr : Run->NextSibling;
  }
}

void TBaseVastTree::ResetNode(PVastNode Node) {
  CancelEditNode();
  if (!Node || Node == FRoot) {
    Clear();
    return;
  }
  DoResetNode(Node);
  DeleteChildren(Node, false);
  ExcludeNodeStates(Node, TVastNodeStates{vsInitialized, vsChecking, vsCutOrCopy, vsDeleting, vsExpanded, vsHasChildren,
                                          vsHeightMeasured});
  InvalidateNode(Node);
}
