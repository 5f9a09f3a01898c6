// The tree's side of data exchange that needs no platform: the cut and copy
// marks, the records of its own data format, pasting them (moved within the
// process or copied from the serialised nodes), drops through a data
// object, and the start of a drag.
#include <algorithm>
#include <limits>

#include "rtl/ScopeExit.h"
#include "treeview/VastTrees.h"

namespace {}  // namespace

Cardinal TBaseVastTree::CutCopyCount() {
  Cardinal Count = 0;
  if (!HasState(tsCutPending) && !HasState(tsCopyPending)) return 0;
  for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run))
    if (Run->States.Contains(vsCutOrCopy)) ++Count;
  return Count;
}

TNodeArray TBaseVastTree::GetSortedCutCopySet(bool Resolve) {
  if (!HasState(tsCutPending) && !HasState(tsCopyPending)) return TNodeArray{};
  return GetSortedNodesWith(vsCutOrCopy, Resolve, std::numeric_limits<std::size_t>::max());
}

void TBaseVastTree::CancelCutOrCopy() {
  if (!HasState(tsCutPending) && !HasState(tsCopyPending)) return;
  for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run))
    if (Run->States.Contains(vsCutOrCopy)) ExcludeNodeStates(Run, {vsCutOrCopy});
  DoStateChange({}, {tsCutPending, tsCopyPending});
  Invalidate();
}

void TBaseVastTree::FinishCutOrCopy() {
  if (!HasState(tsCutPending)) return;
  TUpdateGuard Update(*this);
  PVastNode Run = GetFirstNoInit();
  while (Run) {
    if (!Run->States.Contains(vsCutOrCopy)) {
      Run = GetNextNoInit(Run);
      continue;
    }
    // Continue after the subtree that goes.
    PVastNode Next = Run;
    while (Next && Next != FRoot && !Next->NextSibling) Next = Next->Parent;
    Next = (Next && Next != FRoot) ? Next->NextSibling : nullptr;
    DeleteNodeBody(Run, true, false);
    Run = Next;
  }
  DoStateChange({}, {tsCutPending});
}

TBytes TBaseVastTree::RenderNativeTreeData(bool ForClipboard) {
  const TNodeArray Nodes = ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true);
  TBytesStream Stream;
  for (PVastNode Node : Nodes) WriteNode(Stream, Node);
  return Stream.Bytes();
}

TBaseVastTree* TBaseVastTree::SourceTreeOfDataObject(IVTDataSource& DataObject) {
  TBytes Reference;
  if (!DataObject.GetTreeReference(Reference)) return nullptr;
  return DecodeTreeReference(Reference.data(), Reference.size(), CurrentProcessId());
}

bool TBaseVastTree::ProcessOLEData(TBaseVastTree* Source, IVTDataSource& DataObject, PVastNode TargetNode,
                                   TVTNodeAttachMode Mode, bool Optimized) {
  if (!DataObject.HasNativeData()) return false;
  if (ReadOnly()) return true;
  TUpdateGuard Update(*this);
  bool Result = false;
  if (!TargetNode) TargetNode = FRoot;
  if (TargetNode == FRoot) {
    if (Mode == amInsertBefore) Mode = amAddChildFirst;
    if (Mode == amInsertAfter) Mode = amAddChildLast;
  }
  if (Mode == amNoWhere) return false;
  if (Optimized && Source) {
    TNodeArray Nodes = Source->HasState(tsOLEDragging) ? Source->FDragSelection : Source->GetSortedCutCopySet(true);
    if (Mode != amInsertBefore && Mode != amAddChildLast) std::reverse(Nodes.begin(), Nodes.end());
    // Handlers of the moves may free nodes: each is asked about while watched.
    TNodeWatch Watch(*Source, Nodes);
    for (PVastNode& Node : Nodes) {
      // A dragged node the source no longer has is not followed.
      if (!Node || !Source->IsOwnNode(Node)) continue;
      if (Node == TargetNode || HasAsParent(TargetNode, Node)) continue;
      Source->MoveTo(Node, TargetNode, Mode, false);
    }
    // Moved nodes keep no cut mark where no cut is pending: a later copy
    // would carry them along.
    if (!HasState(tsCutPending) && !HasState(tsCopyPending))
      for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run))
        if (Run->States.Contains(vsCutOrCopy)) ExcludeNodeStates(Run, {vsCutOrCopy});
    return true;
  }
  const TChangeReason Reason = Source == this ? crNodeCopied : crNodeAdded;
  TBytes Records;
  if (!DataObject.GetNativeData(Records)) return false;
  TOLEMemoryStream Stream(Records.data(), Records.size());
  Result = true;
  while (Stream.Position() < Stream.Size()) {
    PVastNode Node = AllocateNode();
    LinkNode(Node, TargetNode, this, Mode);
    InsertStreamNode(Stream, TreeStreamVersion, Node);
    if (DoNodeCopying(Node, TargetNode)) {
      DoNodeCopied(Node);
      StructureChange(Node, Reason);
      // The next copy follows this one, so the set keeps its order as a
      // move keeps it (first-child and after would otherwise reverse it).
      if (Mode == amInsertAfter || Mode == amAddChildFirst) {
        TargetNode = Node;
        Mode = amInsertAfter;
      }
    } else {
      DeleteNodeBody(Node, true, false);
    }
  }
  return Result;
}

bool TBaseVastTree::ProcessDrop(IVTDataSource& DataObject, PVastNode TargetNode, Integer& Effect,
                                TVTNodeAttachMode Mode) {
  if (Mode == amNoWhere) {
    Effect = DropEffectNone;
    return false;
  }
  TUpdateGuard Update(*this);
  TBaseVastTree* Source = SourceTreeOfDataObject(DataObject);
  if (Source) Source->BeginUpdate();
  const TScopeExit SourceUpdate([Source] {
    if (Source) Source->EndUpdate();
  });
  try {
    if ((Effect & DropEffectMove) && Source) {
      const bool Result = ProcessOLEData(Source, DataObject, TargetNode, Mode, !(Effect & DropEffectCopy));
      Effect = DropEffectNone;
      return Result;
    }
    if (Effect & (DropEffectCopy | DropEffectMove)) return ProcessOLEData(Source, DataObject, TargetNode, Mode, false);
  } catch (...) {
    Effect = DropEffectNone;
    return false;
  }
  return false;
}

void TBaseVastTree::BeginDrag(bool Immediate, Integer Threshold) {
  if (FDragType == dtVCL) {
    DoStateChange({tsVCLDragPending});
    BeginPlatformDrag(Immediate, Threshold);
    return;
  }
  if (HasState(tsOLEDragPending) || HasState(tsOLEDragging)) return;
  FDragThreshold = Threshold < 0 ? FHost->SystemDragThreshold() : Threshold;
  if (Immediate)
    DoOleDrag(FLastClickPos);
  else
    DoStateChange({tsOLEDragPending});
}

Integer TBaseVastTree::BeginOleDragSource() {
  if (IsEditing()) CancelEditNode();
  if (FHotNode) {
    InvalidateNode(FHotNode);
    FHotNode = nullptr;
  }
  if (FFocusedNode && !FFocusedNode->States.Contains(vsSelected)) {
    InsertIntoSelection(FFocusedNode, true);
    InvalidateNode(FFocusedNode);
  }
  FHost->UpdateNow();
  FDragSelection = GetSortedSelection(true);
  DoStateChange({tsOLEDragging}, {tsClearPending, tsOLEDragPending});
  FLastDropMode = dmOnNode;
  FLastDragEffect = DropEffectNone;
  Integer Allowed = 0;
  if (FDragOperations.Contains(doCopy)) Allowed |= DropEffectCopy;
  if (FDragOperations.Contains(doMove)) Allowed |= DropEffectMove;
  if (FDragOperations.Contains(doLink)) Allowed |= DropEffectLink;
  return Allowed ? Allowed : DropEffectCopy | DropEffectMove | DropEffectLink;
}

void TBaseVastTree::EndOleDragSource(Integer Effect) {
  FLastDragEffect = Effect;
  FDragSelection.clear();
  DoStateChange({}, {tsOLEDragging});
  if ((Effect & ~DropEffectScroll) == DropEffectMove && FOptions->AutoOptions().Contains(toAutoDeleteMovedNodes))
    DeleteSelectedNodes();
}
