// The in-place editing protocol: when an edit may start, how it starts
// (delayed on the edit timer or at once), and how it ends by acceptance or
// cancellation. The editor itself is whatever IVTEditLink the tree is given.
#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

void TBaseVastTree::DoEditing(PVastNode Node, TColumnIndex Column, bool& Allowed) {
  if (OnEditing) OnEditing(this, Node, Column, Allowed);
}

void TBaseVastTree::DoEdited(PVastNode Node, TColumnIndex Column) {
  if (OnEdited) OnEdited(this, Node, Column);
}

void TBaseVastTree::DoEditCancelled(TColumnIndex Column) {
  if (OnEditCancelled) OnEditCancelled(this, Column);
}

bool TBaseVastTree::CanEdit(PVastNode Node, TColumnIndex Column) {
  bool Allowed = FOptions->MiscOptions().Contains(toEditable) && FHost->Enabled() && !ReadOnly();
  if (Allowed && Column >= 0) {
    TVTHeader* H = HeaderObject();
    Allowed = H && H->Columns().IsValidColumn(Column) && H->Columns()[Column].Options().Contains(coEditable);
  }
  // The handler has the last word whatever the options said.
  DoEditing(Node, Column, Allowed);
  return Allowed;
}

bool TBaseVastTree::EditNode(PVastNode Node, TColumnIndex Column) {
  if (HasState(tsEditing) || ReadOnly()) return HasState(tsEditing);
  if (Node != FFocusedNode) {
    SetFocusedNode(Node);
    if (FFocusedNode != Node) return false;
  }
  if (!Node || !CanEdit(Node, Column)) return false;
  FEditColumn = Column;
  if (!Node->States.Contains(vsInitialized)) InitNode(Node);
  DoStartEdit();
  return HasState(tsEditing);
}

void TBaseVastTree::StopPendingEdit() {
  FHost->KillTimer(EditTimer);
  DoStateChange({}, {tsEditPending});
}

void TBaseVastTree::ReleaseEditLink() {
  IVTEditLink* Link = FEditLink;
  FEditLink = nullptr;
  if (Link) Link->_Release();
}

void TBaseVastTree::DoStartEdit() {
  FHost->KillTimer(ScrollTimer);
  FHost->KillTimer(EditTimer);
  DoStateChange({}, {tsEditPending, tsHint});
  if (!FFocusedNode || FFocusedNode->States.Contains(vsDisabled) || ReadOnly() || FEditLink) return;
  IVTEditLink* Link = DoCreateEditor(FFocusedNode, FEditColumn);
  if (!Link) return;
  // Held by the tree until the edit ends.
  FEditLink = Link;
  FEditLink->_AddRef();
  DoStateChange({tsEditing}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsDrawSelecting,
                              tsOLEDragging, tsOLEDragPending, tsScrolling, tsScrollPending});
  ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                 !FOptions->AutoOptions().Contains(toDisableAutoscrollOnEdit));
  if (FEditLink->PrepareEdit(this, FFocusedNode, FEditColumn)) {
    UpdateEditBounds();
    // The cell is not painted while its editor covers it.
    InvalidateNode(FFocusedNode);
    if (FEditLink && !FEditLink->BeginEdit()) DoStateChange({}, {tsEditing});
  } else {
    DoStateChange({}, {tsEditing});
  }
  if (!HasState(tsEditing)) ReleaseEditLink();
}

bool TBaseVastTree::DoEndEdit() {
  FHost->KillTimer(EditTimer);
  bool Result = HasState(tsEditing) && FEditLink && FEditLink->EndEdit();
  if (Result) {
    DoStateChange({}, {tsEditing});
    ReleaseEditLink();
    DoEdited(FFocusedNode, FEditColumn);
  }
  DoStateChange({}, {tsEditPending});
  if (FHost->CanFocus()) FHost->SetFocus();
  return Result;
}

bool TBaseVastTree::DoCancelEdit() {
  FHost->KillTimer(EditTimer);
  DoStateChange({}, {tsEditPending});
  const bool Result = HasState(tsEditing) && FEditLink && FEditLink->CancelEdit();
  if (Result) {
    DoStateChange({}, {tsEditing});
    DoEditCancelled(FEditColumn);
    if (!FDestroying) ReleaseEditLink();
    if (FHost->CanFocus()) FHost->SetFocus();
  }
  return Result;
}

bool TBaseVastTree::EndEditNode() {
  if (!FHost->HasWindow()) return true;
  if (HasState(tsEditing) || HasState(tsEditPending)) return DoEndEdit();
  return true;
}

bool TBaseVastTree::CancelEditNode() {
  if (!FHost->HasWindow()) return true;
  if (HasState(tsEditing) || HasState(tsEditPending)) return DoCancelEdit();
  return true;
}

void TBaseVastTree::UpdateEditBounds() {
  if (!HasState(tsEditing) || !FEditLink || !FFocusedNode || !FHost->IsUIThread()) return;
  TVTHeader* H = HeaderObject();
  const Integer Count = H ? H->Columns().Count() : 0;
  if (FEditColumn >= Count && !(Count == 0 && FEditColumn == NoColumn)) return;
  TRect R;
  const bool Grid = FOptions->MiscOptions().Contains(toGridExtensions);
  if (FFocusedNode->States.Contains(vsMultiline)) {
    R = GetDisplayRect(FFocusedNode, FEditColumn, true, false);
  } else if (!Grid) {
    R = GetDisplayRect(FFocusedNode, FEditColumn, true, true);
  } else {
    R = GetDisplayRect(FFocusedNode, FEditColumn, false);
    const TColumnIndex Main = H ? H->MainColumn() : NoColumn;
    if (FEditColumn == Main || Count == 0) {
      TVTOffsets Offsets;
      GetOffsets(FFocusedNode, Offsets, ofsLabel, FEditColumn);
      if (ColumnRightToLeft(FEditColumn))
        R.Right -= Offsets[ofsLabel] - Offsets[ofsMargin];
      else
        R.Left += Offsets[ofsLabel] - Offsets[ofsMargin];
    }
  }
  if (FOptions->PaintOptions().Contains(toShowHorzGridLines)) --R.Bottom;
  FEditLink->SetBounds(R);
}
