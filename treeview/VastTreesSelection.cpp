// Selection and focus. The selection is an array sorted by node address
// (binary-searchable, mergeable) mirrored by vsSelected on each node. While
// an update runs, removed entries are only marked (lowest address bit set)
// and packed later.
#include <algorithm>

#include "rtl/ScopeExit.h"
#include "rtl/UpdateGuard.h"
#include "treeview/VastTrees.h"

namespace {

NativeUInt Address(PVastNode Node) { return reinterpret_cast<NativeUInt>(Node); }
bool IsMarked(PVastNode Node) { return (Address(Node) & 1) != 0; }
PVastNode Marked(PVastNode Node) { return reinterpret_cast<PVastNode>(Address(Node) | 1); }
bool AddressLess(PVastNode A, PVastNode B) { return Address(A) < Address(B); }

}  // namespace

bool TBaseVastTree::SyncsCheckBox(PVastNode Node) const {
  return FOptions->SelectionOptions().Contains(toSyncCheckboxesWithSelection) &&
         FOptions->MiscOptions().Contains(toCheckSupport) && Node->CheckType == ctCheckBox;
}

Integer TBaseVastTree::PackNodeArray(TNodeArray& TheArray, Integer Count) {
  if (Count == 0) return -1;
  Integer Kept = 0;
  for (Integer I = 0; I < Count; ++I)
    if (!IsMarked(TheArray[static_cast<std::size_t>(I)]))
      TheArray[static_cast<std::size_t>(Kept++)] = TheArray[static_cast<std::size_t>(I)];
  return Kept;
}

void TBaseVastTree::PackSelection() {
  const Integer Kept = PackNodeArray(FSelection, FSelectionCount);
  if (Kept < 0) return;
  FSelectionCount = Kept;
  FSelection.resize(static_cast<std::size_t>(Kept));
}

bool TBaseVastTree::FindInSelection(PVastNode P, Integer& Index, Integer LowBound, Integer HighBound) const {
  Integer Low = LowBound < 0 ? 0 : LowBound;
  Integer High = HighBound < 0 ? FSelectionCount - 1 : HighBound;
  bool Found = false;
  while (Low <= High) {
    const Integer Mid = Low + (High - Low) / 2;
    const NativeUInt Entry = Address(FSelection[static_cast<std::size_t>(Mid)]);
    if (Entry < Address(P)) {
      Low = Mid + 1;
    } else {
      High = Mid - 1;
      if (Entry == Address(P)) {
        Low = Mid;
        Found = true;
        break;
      }
    }
  }
  Index = Low;
  return Found;
}

Integer TBaseVastTree::GetNodeLevelForSelectConstraint(PVastNode Node) const {
  if (!Node || Node->States.Contains(vsDisabled)) return -1;
  return static_cast<Integer>(GetNodeLevel(Node));
}

bool TBaseVastTree::InsertIntoSelection(TNodeArray& NewItems, Integer NewLength, bool ForceInsert) {
  const TVTSelectionOptions Options = FOptions->SelectionOptions();
  if (NewLength <= 0) return false;
  if (Options.Contains(toLevelSelectConstraint) && FLastSelectionLevel == -1)
    FLastSelectionLevel = GetNodeLevelForSelectConstraint(NewItems[0]);
  Integer Count = NewLength;
  if (!ForceInsert) {
    if (Options.Contains(toSiblingSelectConstraint) && !FRangeAnchor) FRangeAnchor = NewItems[0];
    for (Integer I = 0; I < NewLength; ++I) {
      PVastNode Node = NewItems[static_cast<std::size_t>(I)];
      bool Reject = Node->States.Contains(vsDisabled) || Node->States.Contains(vsSelected);
      if (!Reject && Options.Contains(toLevelSelectConstraint) &&
          static_cast<Integer>(GetNodeLevel(Node)) != FLastSelectionLevel)
        Reject = true;
      if (!Reject && Options.Contains(toSiblingSelectConstraint) && FRangeAnchor &&
          Node->Parent != FRangeAnchor->Parent)
        Reject = true;
      if (Reject) NewItems[static_cast<std::size_t>(I)] = Marked(Node);
    }
    Count = PackNodeArray(NewItems, NewLength);
  }
  if (Count <= 0) return false;
  TNodeArray Items(NewItems.begin(), NewItems.begin() + Count);
  std::sort(Items.begin(), Items.end(), AddressLess);
  Items.erase(std::unique(Items.begin(), Items.end()), Items.end());
  // Marked entries keep their order (address + 1 between neighbours), so
  // the array stays sorted while an update leaves them in place.
  const std::size_t Old = static_cast<std::size_t>(FSelectionCount);
  FSelection.resize(Old);
  FSelection.insert(FSelection.end(), Items.begin(), Items.end());
  std::inplace_merge(FSelection.begin(), FSelection.begin() + static_cast<std::ptrdiff_t>(Old), FSelection.end(),
                     AddressLess);
  FSelectionCount = static_cast<Integer>(FSelection.size());
  // All are marked before the first handler runs: one that deletes a node
  // of the batch then takes it out of the selection as it goes, and the
  // nodes it freed are skipped.
  for (PVastNode Node : Items) IncludeNodeStates(Node, {vsSelected});
  const TNodeWatch Watch(*this, Items);
  for (PVastNode& Node : Items)
    if (Node) NodeJoinedSelection(Node);
  for (PVastNode& Node : Items) {
    if (Node && OnAddToSelection) OnAddToSelection(this, Node);
    if (Node && SyncsCheckBox(Node)) SetCheckState(Node, csCheckedNormal);
  }
  return true;
}

bool TBaseVastTree::InsertIntoSelection(PVastNode Node, bool ForceInsert) {
  TNodeArray Items{Node};
  return InsertIntoSelection(Items, 1, ForceInsert);
}

void TBaseVastTree::AddToSelection(PVastNode Node, bool NotifySynced) {
  const TNodeWatch Watch(*this, Node);
  if (FSelectionLocked || !InsertIntoSelection(Node, false) || !Node) return;
  ChooseNextNodeToSelect(Node);
  if (FSelectionCount == 1) SetFocusedNode(Node);
  if (!Node) return;
  InvalidateNode(Node);
  if (NotifySynced)
    RunSynched([&] { Change(Node); });
  else
    Change(Node);
}

void TBaseVastTree::RunSynched(const std::function<void()>& Action) {
  if (HasState(tsSynchMode)) {
    Action();
    return;
  }
  SetStates(TreeStates() + TVastTreeStates{tsSynchMode});
  const TScopeExit Leave([this] { SetStates(TreeStates() - TVastTreeStates{tsSynchMode}); });
  Action();
}

void TBaseVastTree::AddNodesToSelection(const TNodeArray& NewItems, Integer NewLength, bool ForceInsert) {
  TNodeArray Items(NewItems.begin(), NewItems.begin() + std::min<std::size_t>(NewItems.size(), NewLength));
  PVastNode First = Items.empty() ? nullptr : Items[0];
  if (!InsertIntoSelection(Items, static_cast<Integer>(Items.size()), ForceInsert)) return;
  if (NewLength == 1) {
    InvalidateNode(First);
    Change(First);
  } else {
    Invalidate();
    Change(nullptr);
  }
}

void TBaseVastTree::RemoveFromSelection(PVastNode Node) {
  if (FSelectionLocked || !Node || !Node->States.Contains(vsSelected)) return;
  ExcludeNodeStates(Node, {vsSelected});
  if (SyncsCheckBox(Node)) Node->CheckState = csUncheckedNormal;
  Integer Index;
  if (FindInSelection(Node, Index)) {
    FSelection.erase(FSelection.begin() + Index);
    FSelectionCount = static_cast<Integer>(FSelection.size());
  }
  NodeLeftSelection(Node, NodeGoes(Node));
  if (FSelectionCount == 0) ResetRangeAnchor();
  if (FSelectionCount <= 1) ChooseNextNodeToSelect(Node);
  const TNodeWatch Watch(*this, Node);
  DoRemoveFromSelection(Node);
  if (!Node) return;
  InvalidateNode(Node);
  Change(Node);
}

void TBaseVastTree::DropFromSelection(PVastNode Node) {
  Integer Index;
  if (!Node || !FindInSelection(Node, Index)) return;
  ExcludeNodeStates(Node, {vsSelected});
  if (SyncsCheckBox(Node)) Node->CheckState = csUncheckedNormal;
  FSelection[static_cast<std::size_t>(Index)] = Marked(Node);
  NodeLeftSelection(Node, NodeGoes(Node));
  const TNodeWatch Watch(*this, Node);
  DoRemoveFromSelection(Node);
  if (Node) AdviseChangeEvent(false, Node, crIgnore);
}

void TBaseVastTree::EmptySelection() {
  if (FUpdateCount > 0) PackSelection();
  while (FSelectionCount > 0) {
    --FSelectionCount;
    PVastNode Node = FSelection[static_cast<std::size_t>(FSelectionCount)];
    ExcludeNodeStates(Node, {vsSelected});
    NodeLeftSelection(Node, NodeGoes(Node));
    if (SyncsCheckBox(Node)) SetCheckState(Node, csUncheckedNormal);
    DoRemoveFromSelection(Node);
  }
  ResetRangeAnchor();
  FSelection.clear();
  DoStateChange({}, {tsClearPending});
}

void TBaseVastTree::ClearSelection(bool FireChange) {
  if (FSelectionLocked || FSelectionCount == 0 || FDestroying) return;
  if (FUpdateCount == 0 && FHost->HasWindow())
    for (Integer I = 0; I < FSelectionCount; ++I) {
      PVastNode Node = FSelection[static_cast<std::size_t>(I)];
      if (!IsMarked(Node)) FHost->InvalidateNodeArea(Node);
    }
  EmptySelection();
  if (FireChange) Change(nullptr);
}

void TBaseVastTree::SetSelected(PVastNode Node, bool Value) {
  if (FSelectionLocked || !Node || Node == FRoot || Node->States.Contains(vsSelected) == Value) return;
  const bool MultiSelect = FOptions->SelectionOptions().Contains(toMultiSelect);
  if (!Value) {
    RemoveFromSelection(Node);
    if (FSelectionCount == 0) ResetRangeAnchor();
  } else {
    if (FSelectionCount > 0 && !MultiSelect) ClearSelection(true);
    if (FSelectionCount == 0 || !FRangeAnchor) FRangeAnchor = Node;
    AddToSelection(Node, true);
    if (!MultiSelect) SetFocusedNode(GetFirstSelected());
  }
  // Keep the focused column on something that can take the focus.
  const TColumnIndex Main = FHeader->MainColumn();
  if ((FFocusedColumn >= 0 && FHeader->ColumnIsVisible(FFocusedColumn)) || Main == NoColumn) return;
  if (FHeader->ColumnIsVisible(Main) && FHeader->AllowFocus(Main))
    FFocusedColumn = Main;
  else
    FFocusedColumn = FHeader->FirstVisibleFocusableColumn();
}

void TBaseVastTree::NodeJoinedSelection(PVastNode) {}

void TBaseVastTree::NodeLeftSelection(PVastNode, bool) {}

Cardinal TBaseVastTree::CacheNode(PVastNode Node) {
  if (FTempNodeCount >= FTempNodeCache.size()) {
    const std::size_t Length = FTempNodeCache.size();
    FTempNodeCache.resize(Length < 100 ? 100 : Length + Length / 10);
  }
  FTempNodeCache[FTempNodeCount] = Node;
  return FTempNodeCount++;
}

void TBaseVastTree::ClearNodeCache() {
  FTempNodeCache.clear();
  FTempNodeCount = 0;
}

void TBaseVastTree::SelectAll(bool VisibleOnly) {
  if (!FOptions->SelectionOptions().Contains(toMultiSelect) || FSelectionLocked) return;
  {
    const TUpdateGuard Update(*this);
    ClearNodeCache();
    const TScopeExit ClearCache([this] { ClearNodeCache(); });
    PVastNode Run = VisibleOnly ? GetFirstVisible(nullptr, true) : GetFirst();
    while (Run) {
      if (!Run->States.Contains(vsSelected)) CacheNode(Run);
      Run = VisibleOnly ? GetNextVisible(Run, true) : GetNext(Run);
    }
    AddNodesToSelection(FTempNodeCache, static_cast<Integer>(FTempNodeCount), false);
  }
  Invalidate();
}

void TBaseVastTree::InvertSelection(bool VisibleOnly) {
  if (!FOptions->SelectionOptions().Contains(toMultiSelect) || FSelectionLocked) return;
  ClearNodeCache();
  const Integer Before = FSelectionCount;
  PVastNode Run = VisibleOnly ? GetFirstVisibleNoInit(nullptr, true) : GetFirstNoInit();
  while (Run) {
    if (Run->States.Contains(vsSelected))
      DropFromSelection(Run);
    else
      CacheNode(Run);
    Run = VisibleOnly ? GetNextVisibleNoInit(Run, true) : GetNextNoInit(Run);
  }
  PackSelection();
  if (FTempNodeCount > 0) {
    AddNodesToSelection(FTempNodeCache, static_cast<Integer>(FTempNodeCount), false);
  } else if (FSelectionCount != Before) {
    Invalidate();
    Change(nullptr);
  }
  ClearNodeCache();
  if (FSelectionCount == 0) FNextNodeToSelect = nullptr;
}

void TBaseVastTree::SelectRange(PVastNode StartNode, PVastNode EndNode, bool AddOnly) {
  if (FSelectionLocked || !EndNode) return;
  ClearNodeCache();
  if (!StartNode || StartNode == FRoot || !GetFullyVisible(StartNode)) {
    PVastNode Before = StartNode && StartNode != FRoot ? GetPreviousVisible(StartNode, true) : nullptr;
    StartNode = Before ? Before : GetFirstVisible(nullptr, true);
  }
  if (!StartNode) return;
  if (CompareNodePositions(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
  PVastNode SavedAnchor = FRangeAnchor;
  if (!AddOnly) EmptySelection();
  for (PVastNode Run = StartNode; Run; Run = GetNextVisible(Run, true)) {
    CacheNode(Run);
    if (Run == EndNode) break;
  }
  AddNodesToSelection(FTempNodeCache, static_cast<Integer>(FTempNodeCount), false);
  ClearNodeCache();
  if (SavedAnchor && SavedAnchor->States.Contains(vsSelected)) FRangeAnchor = SavedAnchor;
}

void TBaseVastTree::ToggleRangeSelection(PVastNode StartNode, PVastNode EndNode) {
  if (FSelectionLocked || !EndNode) return;
  if (!StartNode) StartNode = GetFirstChild(nullptr);
  if (StartNode && !GetFullyVisible(StartNode)) StartNode = GetPreviousVisible(StartNode, true);
  if (!StartNode) return;
  const Integer Order = CompareNodePositions(StartNode, EndNode, false);
  if (Order == 0) return;
  if (Order > 0) std::swap(StartNode, EndNode);
  ClearNodeCache();
  const auto Toggle = [this](PVastNode Node) {
    if (Node->States.Contains(vsSelected))
      DropFromSelection(Node);
    else
      CacheNode(Node);
  };
  for (PVastNode Run = StartNode; Run; Run = GetNextVisible(Run, true)) {
    const bool IsFirst = Run == StartNode, IsLast = Run == EndNode;
    if (IsFirst) {
      if (FRangeAnchor && CompareNodePositions(Run, FRangeAnchor, false) < 0) Toggle(Run);
    } else if (IsLast) {
      if (FRangeAnchor && CompareNodePositions(Run, FRangeAnchor, false) > 0) Toggle(Run);
    } else {
      Toggle(Run);
    }
    if (IsLast) break;
  }
  PackSelection();
  if (FRangeAnchor && !FRangeAnchor->States.Contains(vsSelected)) CacheNode(FRangeAnchor);
  if (FTempNodeCount > 0) AddNodesToSelection(FTempNodeCache, static_cast<Integer>(FTempNodeCount), false);
  ClearNodeCache();
}

void TBaseVastTree::UnselectRange(PVastNode StartNode, PVastNode EndNode) {
  if (FSelectionLocked || !EndNode) return;
  if (!StartNode) {
    StartNode = GetFirstChild(nullptr);
  } else if (!GetFullyVisible(StartNode)) {
    PVastNode Before = GetPreviousVisible(StartNode, true);
    StartNode = Before ? Before : GetFirstChild(nullptr);
  }
  if (!StartNode) return;
  if (CompareNodePositions(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
  for (PVastNode Run = StartNode; Run; Run = GetNextVisible(Run, true)) {
    if (Run->States.Contains(vsSelected)) DropFromSelection(Run);
    if (Run == EndNode) break;
  }
  PackSelection();
}

void TBaseVastTree::ResetRangeAnchor() {
  FRangeAnchor = FFocusedNode;
  FLastSelectionLevel = -1;
}

void TBaseVastTree::ChooseNextNodeToSelect(PVastNode Node) {
  if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode)) return;
  if (Node->NextSibling)
    FNextNodeToSelect = Node->NextSibling;
  else if (Node->PrevSibling)
    FNextNodeToSelect = Node->PrevSibling;
  else
    FNextNodeToSelect = Node->Parent == FRoot ? nullptr : Node->Parent;
}

void TBaseVastTree::EnsureNodeSelected() {
  if (!FOptions->SelectionOptions().Contains(toAlwaysSelectNode) || !FRoot->FirstChild) return;
  if (FSelectionCount == 0 && !FSelectionLocked) {
    PVastNode Node = FNextNodeToSelect ? FNextNodeToSelect : GetFirstVisible();
    while (Node && Node->States.Contains(vsDisabled)) Node = GetNextVisible(Node);
    if (Node) {
      SetSelected(Node, true);
      ScrollIntoView(GetFirstSelected(), false, false);
    }
  }
  EnsureFocusedNode();
}

void TBaseVastTree::EnsureFocusedNode() {
  if (FFocusedNode) return;
  PVastNode Node = GetFirstSelected();
  if (!Node) Node = GetFirstVisible();
  if (Node) SetFocusedNode(Node);
}

void TBaseVastTree::ClickSelect(PVastNode NewNode, bool Ctrl, bool Shift, bool DragPending) {
  if (!NewNode) return;
  if (Ctrl && Shift) {
    SelectRange(FRangeAnchor, NewNode, true);
  } else if (Ctrl) {
    if (!FOptions->SelectionOptions().Contains(toSiblingSelectConstraint)) FRangeAnchor = NewNode;
    if (DragPending) {
      DoStateChange({tsToggleFocusedSelection});
    } else if (NewNode->States.Contains(vsSelected)) {
      RemoveFromSelection(NewNode);
    } else {
      AddToSelection(NewNode, true);
    }
  } else if (Shift) {
    if (!FRangeAnchor) FRangeAnchor = GetFirstChild(nullptr);
    SelectRange(FRangeAnchor, NewNode, false);
    Invalidate();
  } else {
    if (!NewNode->States.Contains(vsSelected)) SetSelected(NewNode, true);
    FRangeAnchor = NewNode;
  }
}

void TBaseVastTree::MarkCutCopySelection() {
  for (Integer I = 0; I < FSelectionCount; ++I) {
    PVastNode Node = FSelection[static_cast<std::size_t>(I)];
    if (!IsMarked(Node) && !Node->States.Contains(vsDisabled)) IncludeNodeStates(Node, {vsCutOrCopy});
  }
}

// ---------------------------------------------------------------------------
// Focus

void TBaseVastTree::DoFocusNode(PVastNode Node, bool Ask) {
  // The edit's end, the focus question and a collapse run handlers that may
  // delete Node: the focus then stays where it is.
  const TNodeWatch Watch(*this, Node);
  const bool NodeGiven = Node != nullptr;
  if (HasState(tsEditing) && !DoEndEdit()) return;
  if (NodeGiven && !Node) return;
  if (Node == FRoot) Node = nullptr;
  if (Node != FFocusedNode && (!Ask || DoFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn))) {
    if (NodeGiven && !Node) return;
    if (FFocusedNode) {
      if (FOptions->AutoOptions().Contains(toAutoExpand) && Node && Node->Parent == FFocusedNode->Parent &&
          FFocusedNode->States.Contains(vsExpanded))
        ToggleNode(FFocusedNode);
      else
        InvalidateNode(FFocusedNode);
    }
    if (NodeGiven && !Node) return;
    FFocusedNode = Node;
  }
  if (FFocusedNode) {
    if (FHeader->UseColumns() && !FHeader->IsValidColumn(FFocusedColumn)) FFocusedColumn = FHeader->MainColumn();
    if (FOptions->AutoOptions().Contains(toAutoExpand) && !FFocusedNode->States.Contains(vsExpanded))
      ToggleNode(FFocusedNode);
    InvalidateNode(FFocusedNode);
    if (FUpdateCount == 0 && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus)) {
      const bool NoButton =
          !HasState(tsLeftButtonDown) && !HasState(tsMiddleButtonDown) && !HasState(tsRightButtonDown);
      ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView) && NoButton,
                     !FOptions->SelectionOptions().Contains(toFullRowSelect));
    }
  }
  if (FSelectionCount == 0) ResetRangeAnchor();
}

void TBaseVastTree::SetFocusedNode(PVastNode Value) {
  PVastNode Old = FFocusedNode;
  const TNodeWatch Watch(*this, Value);
  const bool Given = Value != nullptr;
  DoFocusNode(Value, true);
  if (Given && !Value) return;
  if (Value != Old && FFocusedNode == Value) DoFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseVastTree::SetFocusedColumn(TColumnIndex Value) {
  if (Value == FFocusedColumn || !DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
  CancelEditNode();
  FFocusedColumn = Value;
  if (FFocusedNode && !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus))
    if (ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true))
      InvalidateNode(FFocusedNode);
  if (FDropTargetNode) InvalidateNode(FDropTargetNode);
  DoFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseVastTree::FocusNodeAndColumn(PVastNode Node, TColumnIndex Column) {
  if (!FHeader->AllowFocus(Column)) Column = FFocusedColumn;
  const TColumnIndex OldColumn = FFocusedColumn;
  PVastNode OldNode = FFocusedNode;
  FFocusedColumn = Column;
  DoFocusNode(Node, true);
  if (FFocusedNode == (Node == FRoot ? nullptr : Node)) {
    CancelEditNode();
    if (OldNode != FFocusedNode || OldColumn != FFocusedColumn) DoFocusChanged(FFocusedNode, FFocusedColumn);
  } else {
    FFocusedColumn = OldColumn;
  }
}
