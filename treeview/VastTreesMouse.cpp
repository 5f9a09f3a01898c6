// Mouse input: what a button does on a row (select, toggle, check, focus,
// pending edit, rubber band, row-height drag), button up, double click,
// mouse moves with hot tracking, and the rubber-band selection itself.
#include <algorithm>

#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

namespace {

TRect Normalized(const TRect& R) {
  return TRect{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
               std::max(R.Top, R.Bottom)};
}

TAlignment Mirrored(TAlignment A) {
  return A == taLeftJustify ? taRightJustify : A == taRightJustify ? taLeftJustify : A;
}

}  // namespace

Integer TBaseVastTree::LevelDifference(PVastNode Node1, PVastNode Node2) const {
  return static_cast<Integer>(GetNodeLevel(Node2)) - static_cast<Integer>(GetNodeLevel(Node1));
}

bool TBaseVastTree::CanResizeNodeHeight(TPoint P, PVastNode Node, TColumnIndex Column) {
  bool Allowed = FOptions->MiscOptions().Contains(toNodeHeightResize) && Node && Node != FRoot && Column >= 0 &&
                 FHeader->ColumnIsFixed(Column);
  if (Allowed) Allowed = DoCanSplitterResizeNode(P, Node, Column);
  return Allowed;
}

void TBaseVastTree::MouseButtonDown(const TVTMouseMessage& Message, THitInfo& HitInfo) {
  if (!FRoot->FirstChild) return;
  if (IsPanning()) {
    EndWheelPanning();
    return;
  }
  StopPendingEdit();
  FLastHitInfo = HitInfo;
  if (IsEditing()) {
    if (!DoEndEdit()) return;
    GetHitTestInfoAt(Message.X, Message.Y, true, HitInfo);
  }
  if (!FHost->Focused() && FHost->CanFocus()) {
    FHost->SetFocus();
    GetHitTestInfoAt(Message.X, Message.Y, true, HitInfo);
  }
  TVTHeader* H = HeaderObject();
  if (H) H->Columns().SetClickIndex(HitInfo.HitColumn);
  // Handlers of the events fired below may delete the hit node: the click
  // then ends there.
  const TNodeWatch WatchHit(*this, HitInfo.HitNode);
  const bool NodeHit = HitInfo.HitNode != nullptr;
  auto HitGone = [&] { return NodeHit && !HitInfo.HitNode; };

  const TVTSelectionOptions Sel = FOptions->SelectionOptions();
  const TVTMiscOptions Misc = FOptions->MiscOptions();
  const THitPositions& Pos = HitInfo.HitPositions;
  const bool MultiSelect = Sel.Contains(toMultiSelect);
  bool ColumnChange = false;
  TColumnIndex NewColumn = FFocusedColumn;
  if (Pos.Contains(hiOnItemLabel) || Sel.Contains(toFullRowSelect) || Misc.Contains(toGridExtensions)) {
    ColumnChange = HitInfo.HitColumn != FFocusedColumn;
    NewColumn = Sel.Contains(toExtendedFocus) ? HitInfo.HitColumn : FHeader->MainColumn();
    if (ColumnChange && !FHeader->AllowFocus(NewColumn)) {
      ColumnChange = false;
      NewColumn = FFocusedColumn;
    }
  }
  const bool NodeChange = HitInfo.HitNode != FFocusedNode;
  TShiftState ShiftState = Message.Keys * TShiftState{ssShift, ssAlt, ssCtrl};
  const bool AltPressed = ShiftState.Contains(ssAlt);
  ShiftState.Exclude(ssAlt);
  const bool ShiftEmpty = ShiftState.Empty();
  const bool RightButton = Message.Button == mbRight;

  const bool LabelHit = !AltPressed && !Sel.Contains(toSimpleDrawSelection) &&
                        (Pos.Contains(hiOnItemLabel) || Pos.Contains(hiOnNormalIcon));
  const bool CellHit = !AltPressed && !LabelHit && HitInfo.HitNode && !Pos.Contains(hiNowhere) &&
                       !Pos.Contains(hiOnItemButton) && !Pos.Contains(hiOnItemCheckbox) &&
                       (Sel.Contains(toFullRowSelect) || (Misc.Contains(toGridExtensions) && HitInfo.HitColumn >= 0));
  // Beside the label (indentation, free space) is no hit on the row unless
  // the whole row or cell counts.
  const bool AnyHit = LabelHit || CellHit;
  const bool NodeSelected = AnyHit && HitInfo.HitNode && GetSelected(HitInfo.HitNode);
  bool FullRowDrag;
  if (!MultiSelect || Sel.Contains(toDisableDrawSelection))
    FullRowDrag = Misc.Contains(toFullRowDrag);
  else
    FullRowDrag = CellHit && Misc.Contains(toFullRowDrag) && !Pos.Contains(hiNowhere) &&
                  (NodeSelected || Pos.Contains(hiOnItemLabel) || Pos.Contains(hiOnNormalIcon));
  const bool HeightTracking = Message.Button == mbLeft && Pos.Contains(hiOnItem) &&
                              (Pos.Contains(hiUpperSplitter) || Pos.Contains(hiLowerSplitter));
  bool AutoDrag = HasState(tsOLEDragging) && (!CellHit || FullRowDrag);
  if (HitInfo.HitNode && !AutoDrag) AutoDrag = DoDragAllowed(HitInfo.HitNode, NewColumn) && (FullRowDrag || LabelHit);
  if (HitGone()) return;

  if (HeightTracking) {
    PVastNode Node = Pos.Contains(hiUpperSplitter) ? GetPreviousVisible(HitInfo.HitNode, true) : HitInfo.HitNode;
    const TNodeWatch WatchNode(*this, Node);
    if (Node && CanResizeNodeHeight(TPoint{Message.X, Message.Y}, Node, HitInfo.HitColumn) && Node) {
      FHeightTrackNode = Node;
      FHeightTrackColumn = HitInfo.HitColumn;
      const TRect R = GetDisplayRect(Node, FHeightTrackColumn, false);
      FHeightTrackPoint = TPoint{R.Left, R.Top};
      DoStateChange({tsNodeHeightTrackPending});
      FHost->SetMouseCapture(true);
      return;
    }
  }

  if (Pos.Contains(hiOnItemButton) && HitInfo.HitNode->States.Contains(vsHasChildren)) {
    ToggleNode(HitInfo.HitNode);
    return;
  }

  if (Pos.Contains(hiOnItemCheckbox)) {
    TCheckState NewState = NextCheckState(HitInfo.HitNode->CheckType, GetCheckState(HitInfo.HitNode));
    if (Message.Button == mbLeft && DoChecking(HitInfo.HitNode, NewState) && !HitGone()) {
      if (GetSelected(HitInfo.HitNode) && FSelectionCount > 1 && !Sel.Contains(toSyncCheckboxesWithSelection))
        SetCheckStateForAll(NewState, true, true);
      else
        DoCheckClick(HitInfo.HitNode, NewState);
    }
    return;
  }

  if (ShiftEmpty || FSelectionCount == 0) {
    PVastNode Level = HitInfo.HitNode ? HitInfo.HitNode : GetLastVisible(nullptr, true);
    FLastSelectionLevel = GetNodeLevelForSelectConstraint(Level);
  }
  const bool SelectOnDown =
      !AutoDrag && (!RightButton || !PopupMenuAvailable(HitInfo.HitNode, HitInfo.HitColumn, HitInfo.HitPoint));
  if (HitGone()) return;
  if (MultiSelect && ShiftEmpty && AnyHit && AutoDrag && NodeSelected && !FSelectionLocked)
    DoStateChange({tsClearPending});
  if (!Sel.Contains(toDisableDrawSelection) && !LabelHit && !FullRowDrag && MultiSelect) {
    FHost->SetMouseCapture(true);
    DoStateChange({tsDrawSelPending});
    FDrawSelShiftState = ShiftState;
    FNewSelRect = TRect{Message.X + SelectionOffsetX(), Message.Y - FOffsetY, Message.X + SelectionOffsetX(),
                        Message.Y - FOffsetY};
    FLastSelRect = TRect{0, 0, 0, 0};
  }
  const bool HadSelection = FSelectionCount > 0;
  if (!FSelectionLocked &&
      ((!AnyHit && !FullRowDrag && MultiSelect && ShiftEmpty) ||
       (AnyHit && (!NodeSelected || SelectOnDown) && (ShiftEmpty || !MultiSelect || RightButton)))) {
    if (NodeSelected ||
        (AltPressed && HitInfo.HitNode && HitInfo.HitColumn == FHeader->MainColumn() && !Pos.Contains(hiNowhere))) {
      EmptySelection();
      if (HitGone()) return;
      InsertIntoSelection(HitInfo.HitNode, true);
      if (HadSelection) {
        Invalidate();
        Change(nullptr);
      }
    } else if (Sel.Contains(toAlwaysSelectNode) && Pos.Contains(hiNowhere)) {
      if (!ShiftState.Contains(ssCtrl)) DoStateChange({tsClearOnNewSelection});
    } else {
      ClearSelection(false);
    }
    if (HitGone()) return;
  }
  if (FHost->Focused() && (LabelHit || (Misc.Contains(toGridExtensions) && Pos.Contains(hiOnItem))) && NodeSelected &&
      !ColumnChange && ShiftEmpty && FSelectionCount == 1)
    DoStateChange({tsEditPending});

  if (Sel.Contains(toDisableDrawSelection) || LabelHit || FullRowDrag || CellHit ||
      (!MultiSelect && !Pos.Contains(hiNowhere))) {
    FLastClickPos = TPoint{Message.X, Message.Y};
    if (AnyHit && DoFocusChanging(FFocusedNode, HitInfo.HitNode, FFocusedColumn, NewColumn)) {
      if (HitGone()) return;
      if (ColumnChange) {
        InvalidateColumn(FFocusedColumn);
        InvalidateColumn(NewColumn);
        FFocusedColumn = NewColumn;
      }
      if (NodeChange) DoFocusNode(HitInfo.HitNode, false);
      if (HitGone()) return;
      if (!MultiSelect || ShiftEmpty || RightButton) {
        if (ShiftEmpty) FRangeAnchor = HitInfo.HitNode;
        if (!GetSelected(HitInfo.HitNode)) AddToSelection(HitInfo.HitNode, true);
      } else {
        ClickSelect(HitInfo.HitNode, ShiftState.Contains(ssCtrl), ShiftState.Contains(ssShift), AutoDrag);
      }
      if (HitGone()) return;
      if (NodeChange || ColumnChange) {
        ScrollIntoView(FFocusedNode, false,
                       !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus) && !Sel.Contains(toFullRowSelect));
        DoFocusChanged(FFocusedNode, FFocusedColumn);
        if (HitGone()) return;
      }
    }
    if (FSelectionCount == 0 && HadSelection) Change(nullptr);
    if (HitGone()) return;
    if (AutoDrag && AnyHit &&
        (HasState(tsLeftButtonDown) || HasState(tsRightButtonDown) || HasState(tsMiddleButtonDown)))
      BeginDrag(false);
  } else if (HadSelection) {
    Change(nullptr);
  }
}

void TBaseVastTree::MouseButtonUp(const TVTMouseMessage& Message, const THitInfo& Hit) {
  // The nodes held here are watched: the events below, and whatever ran
  // between the button's down and up (a menu's command deleting rows), may
  // free them.
  THitInfo HitInfo = Hit;
  const TNodeWatch WatchHit(*this, HitInfo.HitNode);
  FHost->SetMouseCapture(false);
  if (HasState(tsVCLDragPending)) return;
  if (IsMouseSelecting()) {
    DoStateChange({}, {tsToggleFocusedSelection, tsClearOnNewSelection, tsDrawSelPending, tsDrawSelecting});
    Invalidate();
  }
  if (HasState(tsClearPending)) {
    PVastNode Focused = FFocusedNode;
    const TNodeWatch WatchFocused(*this, Focused);
    const bool WasSelected = Focused && GetSelected(Focused);
    ClearSelection();
    if (WasSelected && Focused) AddToSelection(Focused, false);
  }
  if (HasState(tsToggleFocusedSelection) && HitInfo.HitNode == FFocusedNode && FFocusedNode) {
    if (GetSelected(FFocusedNode)) {
      if (!(FOptions->SelectionOptions().Contains(toAlwaysSelectNode) && FSelectionCount == 1))
        RemoveFromSelection(FFocusedNode);
    } else {
      AddToSelection(FFocusedNode, true);
    }
  }
  DoStateChange({}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsOLEDragging, tsOLEDragPending,
                     tsScrolling, tsScrollPending});
  FHost->KillTimer(ScrollTimer);
  TVTHeader* H = HeaderObject();
  if (H && H->Columns().ClickIndex() >= 0 && H->Columns().ClickIndex() == HitInfo.HitColumn)
    DoColumnClick(HitInfo.HitColumn, Message.Keys);
  if (FLastHitInfo.HitNode) {
    // A node freed since its button went down is no longer in FLastHitInfo.
    DoNodeClick(FLastHitInfo);
    if (FLastHitInfo.HitNode) InvalidateNode(FLastHitInfo.HitNode);
    FLastHitInfo.HitNode = nullptr;
  }
  if (HasState(tsEditPending)) {
    if (HitInfo.HitNode && HitInfo.HitNode == FFocusedNode && HitInfo.HitPositions.Contains(hiOnItem) &&
        FOptions->MiscOptions().Contains(toEditOnClick) && HitInfo.HitColumn == FFocusedColumn &&
        CanEdit(FFocusedNode, HitInfo.HitColumn)) {
      FEditColumn = FFocusedColumn;
      FHost->SetTimer(EditTimer, FEditDelay);
    } else {
      DoStateChange({}, {tsEditPending});
    }
  }
}

void TBaseVastTree::MouseDoubleClick(const TVTMouseMessage& Message, const THitInfo& Hit) {
  THitInfo HitInfo = Hit;
  const TNodeWatch WatchHit(*this, HitInfo.HitNode);
  const bool NodeHit = HitInfo.HitNode != nullptr;
  bool EditOnDouble = !IsEditing() && FOptions->MiscOptions().Contains(toEditOnDblClick);
  StopPendingEdit();
  bool CanGoOn = true;
  if (IsEditing() && !DoEndEdit()) CanGoOn = false;
  const THitPositions& Pos = HitInfo.HitPositions;
  if (CanGoOn) {
    TVTHeader* H = HeaderObject();
    if (H && HitInfo.HitColumn == H->Columns().ClickIndex()) DoColumnDblClick(HitInfo.HitColumn, Message.Keys);
    if (HitInfo.HitNode) DoNodeDblClick(HitInfo);
    // The handlers deleted the node: the double click ends there.
    if (NodeHit && !HitInfo.HitNode) return;
    PVastNode Node = nullptr;
    if (Pos.Contains(hiOnItem) && HitInfo.HitColumn >= 0 && FHeader->ColumnIsFixed(HitInfo.HitColumn)) {
      if (Pos.Contains(hiUpperSplitter))
        Node = GetPreviousVisible(HitInfo.HitNode, true);
      else if (Pos.Contains(hiLowerSplitter))
        Node = HitInfo.HitNode;
    }
    const TNodeWatch WatchNode(*this, Node);
    if (Node && Node != FRoot && FOptions->MiscOptions().Contains(toNodeHeightDblClickResize)) {
      if (DoNodeHeightDblClickResize(Node, HitInfo.HitColumn, Message.Keys, TPoint{Message.X, Message.Y}) && Node) {
        SetNodeHeight(Node, FDefaultNodeHeight);
        FHost->UpdateNow();
        EditOnDouble = false;
      }
    } else if (Pos.Contains(hiOnItemCheckbox)) {
      TCheckState NewState = NextCheckState(HitInfo.HitNode->CheckType, GetCheckState(HitInfo.HitNode));
      if (Message.Button == mbLeft && DoChecking(HitInfo.HitNode, NewState) && HitInfo.HitNode)
        SetCheckStateForAll(NewState, true, true);
      EditOnDouble = false;
    } else if (HitInfo.HitNode &&
               (Pos.Contains(hiOnItemButton) ||
                (FOptions->MiscOptions().Contains(toToggleOnDblClick) &&
                 (Pos.Contains(hiOnItemButton) || Pos.Contains(hiOnItemLabel) || Pos.Contains(hiOnNormalIcon) ||
                  Pos.Contains(hiOnStateIcon) ||
                  (FOptions->SelectionOptions().Contains(toFullRowSelect) && Pos.Contains(hiOnItem)))))) {
      ToggleNode(HitInfo.HitNode);
      EditOnDouble = false;
    }
  }
  if (EditOnDouble && FFocusedNode && HitInfo.HitNode == FFocusedNode && HitInfo.HitColumn == FFocusedColumn &&
      CanEdit(FFocusedNode, HitInfo.HitColumn)) {
    DoStateChange({tsEditPending});
    FEditColumn = FFocusedColumn;
    FHost->SetTimer(EditTimer, 0);
  }
}

void TBaseVastTree::EndNodeHeightTracking() {
  DoStateChange({}, {tsNodeHeightTracking, tsNodeHeightTrackPending});
  FHeightTrackNode = nullptr;
  FHost->SetMouseCapture(false);
}

void TBaseVastTree::HandleMouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (HasState(tsNodeHeightTrackPending)) {
    DoStateChange({}, {tsHint});
    EndWheelPanning();
    for (Cardinal Id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer}) FHost->KillTimer(Id);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    DoStateChange({tsNodeHeightTracking}, {tsEditPending, tsNodeHeightTrackPending, tsIncrementalSearching,
                                           tsOLEDragPending, tsScrolling, tsScrollPending, tsVCLDragPending});
  }
  if (!HasState(tsDrawSelPending)) {
    if (HasState(tsNodeHeightTracking)) {
      if (FHeightTrackNode &&
          DoNodeHeightTracking(FHeightTrackNode, FHeightTrackColumn, Shift, FHeightTrackPoint, TPoint{X, Y}))
        SetNodeHeight(FHeightTrackNode,
                      static_cast<Cardinal>(std::max(Y, FHeightTrackPoint.Y + 1) - FHeightTrackPoint.Y));
    } else {
      const Integer Threshold = FHost->SystemDragThreshold();
      if (HasState(tsWheelPanning) && HasState(tsWheelScrolling) &&
          (std::abs(FLastClickPos.X - X) >= Threshold || std::abs(FLastClickPos.Y - Y) >= Threshold))
        DoStateChange({}, {tsWheelScrolling});
      if (HasState(tsOLEDragPending) && ((std::abs(FLastClickPos.X - X) >= FDragThreshold && X > 0) ||
                                         (std::abs(FLastClickPos.Y - Y) >= FDragThreshold && Y > 0))) {
        DoOleDrag(FLastClickPos);
        return;
      }
      if (AutoScrollAllowed()) DoAutoScroll(X, Y);
      if (IsPanning()) UpdatePanningCursor(X, Y);
      if (!IsMouseSelecting()) {
        TrackHotNode(X, Y);
        return;
      }
      if (HasState(tsScrolling) || !UpdateSelectionRect(X, Y)) return;
      if (!HandleDrawSelection(X, Y)) {
        TRect U = Normalized(FLastSelRect), N = Normalized(FNewSelRect);
        TRect R{std::min(U.Left, N.Left), std::min(U.Top, N.Top), std::max(U.Right, N.Right),
                std::max(U.Bottom, N.Bottom)};
        R.Offset(-SelectionOffsetX(), FOffsetY);
        FHost->InvalidateRect(R);
      } else {
        Invalidate();
      }
    }
    FHost->UpdateNow();
  } else {
    if (UpdateSelectionRect(X, Y)) {
      TRect R = Normalized(FNewSelRect);
      R.Offset(-SelectionOffsetX(), FOffsetY);
      FHost->InvalidateRect(R);
      FHost->UpdateNow();
    }
    const Integer Threshold = FHost->SystemDragThreshold();
    if (std::abs(FNewSelRect.Width()) > Threshold || std::abs(FNewSelRect.Height()) > Threshold) {
      if (HasState(tsClearPending)) {
        DoStateChange({}, {tsClearPending});
        ClearSelection();
      }
      DoStateChange({tsDrawSelecting}, {tsDrawSelPending});
      FFocusedColumn = FHeader->MainColumn();
      if (HandleDrawSelection(X, Y)) Invalidate();
    }
  }
}

void TBaseVastTree::TrackHotNode(Integer X, Integer Y) {
  if (!FHost->CursorShowing()) {
    if (FHotNode) {
      InvalidateNode(FHotNode);
      FHotNode = nullptr;
    }
    return;
  }
  THitInfo Hit;
  GetHitTestInfoAt(X, Y, true, Hit);
  const THitPositions& Pos = Hit.HitPositions;
  PVastNode NewHot = nullptr;
  if (Pos.Contains(hiOnItemLabel) || Pos.Contains(hiOnItemCheckbox) ||
      (HasState(tsUseExplorerTheme) && Pos.Contains(hiOnItemButtonExact)) ||
      (FOptions->SelectionOptions().Contains(toFullRowSelect) && Hit.HitNode && !Pos.Contains(hiNowhere)))
    NewHot = Hit.HitNode;
  bool Invalid = false;
  if (NewHot != FHotNode || Hit.HitColumn != FCurrentHotColumn) {
    DoHotChange(FHotNode, NewHot);
    Invalid = FOptions->PaintOptions().Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport) ||
              NewHot != FHotNode;
    if (FHotNode && Invalid) InvalidateNode(FHotNode);
    FHotNode = NewHot;
    FCurrentHotColumn = Hit.HitColumn;
    if (FHotNode && Invalid) InvalidateNode(FHotNode);
  }
  const bool ButtonHit = Pos.Contains(hiOnItemButtonExact);
  if (Hit.HitNode) {
    if (ButtonHit != FHotNodeButtonHit || Invalid) {
      FHotNodeButtonHit = ButtonHit;
      InvalidateNode(Hit.HitNode);
    }
  } else {
    FHotNodeButtonHit = false;
  }
}

bool TBaseVastTree::UpdateSelectionRect(Integer X, Integer Y) {
  if (HasState(tsDrawSelecting)) FLastSelRect = FNewSelRect;
  const Integer MaxX = std::max(ClientWidth(), FRangeX), MaxY = std::max(ClientHeight(), FRangeY);
  FNewSelRect.Right = std::clamp(X + SelectionOffsetX(), 0, MaxX);
  FNewSelRect.Bottom = std::clamp(Y - FOffsetY, 0, MaxY);
  return !(FNewSelRect == FLastSelRect);
}

bool TBaseVastTree::HandleDrawSelection(Integer X, Integer Y) {
  (void)X, (void)Y;
  if (FRoot->TotalCount <= 2 || !HasState(tsDrawSelecting)) return false;
  const TRect OldRect = Normalized(FLastSelRect), NewRect = Normalized(FNewSelRect);
  ClearNodeCache();
  TVTHeader* H = HeaderObject();
  const bool UseColumns = H && H->UseColumns();
  const TColumnIndex Main = UseColumns ? H->MainColumn() : NoColumn;
  // Unscrolled column bounds are absolute tree coordinates, as the band is.
  Integer ColumnLeft = 0, ColumnRight = std::max(ClientWidth(), FRangeX);
  if (UseColumns && Main >= 0) H->Columns()[Main].UnscrolledBounds(ColumnLeft, ColumnRight);
  const Integer TotalWidth = UseColumns ? H->Columns().TotalWidth() : 0;
  const bool WholeRow =
      FOptions->SelectionOptions().Contains(toExtendedFocus) || FOptions->SelectionOptions().Contains(toFullRowSelect);
  // Right to left the label ends ofsLabel left of the column's right edge
  // and the alignment is mirrored, as the cell is painted.
  const bool RTL = ColumnRightToLeft(Main);
  const TAlignment Alignment = RTL ? Mirrored(ColumnAlignment(Main)) : ColumnAlignment(Main);
  const Integer Top = std::min(OldRect.Top, NewRect.Top);
  const Integer Bottom = std::max(OldRect.Bottom, NewRect.Bottom);
  Integer NodeTop = 0;
  PVastNode Run = GetNodeAt(0, Top, false, NodeTop);
  bool Changed = false;
  auto Inside = [&](const TRect& R, Integer RowTop, Integer RowBottom, Integer LabelStart, Integer NodeWidth) {
    if (R.Bottom <= RowTop || R.Top >= RowBottom || R.Width() == 0 || R.Height() == 0) return false;
    if (RTL) {
      // LabelStart is where the label ends, on the right.
      if (WholeRow) return R.Right > 0 && R.Left < LabelStart;
      Integer L = ColumnLeft, Rt = LabelStart;
      if (NodeWidth < Rt - L) {
        switch (Alignment) {
          case taRightJustify:
            L = Rt - NodeWidth;
            break;
          case taCenter:
            L = L + (Rt - L - NodeWidth) / 2;
            Rt = L + NodeWidth;
            break;
          default:
            Rt = L + NodeWidth;
            break;
        }
      }
      return R.Left < Rt && R.Right > L;
    }
    if (WholeRow) return (TotalWidth == 0 || R.Left < TotalWidth) && R.Right > LabelStart;
    Integer L = LabelStart, Rt = ColumnRight;
    if (NodeWidth < Rt - LabelStart) {
      switch (Alignment) {
        case taRightJustify:
          L = Rt - NodeWidth;
          break;
        case taCenter:
          L = LabelStart + (Rt - LabelStart - NodeWidth) / 2;
          Rt = L + NodeWidth;
          break;
        default:
          Rt = LabelStart + NodeWidth;
          break;
      }
    }
    return R.Left < Rt && R.Right > L;
  };
  while (Run && NodeTop < Bottom) {
    const Integer RowBottom = NodeTop + static_cast<Integer>(Run->NodeHeight);
    TVTOffsets Offsets;
    GetOffsets(Run, Offsets, ofsLabel, Main);
    const Integer LabelStart = RTL ? ColumnRight - Offsets[ofsLabel] : ColumnLeft + Offsets[ofsLabel];
    const Integer NodeWidth = DoGetNodeWidth(Run, Main);
    const bool WasInside = Inside(OldRect, NodeTop, RowBottom, LabelStart, NodeWidth);
    const bool IsInside = Inside(NewRect, NodeTop, RowBottom, LabelStart, NodeWidth);
    if (WasInside != IsInside) {
      if (FDrawSelShiftState.Contains(ssCtrl)) {
        if (GetSelected(Run))
          DropFromSelection(Run);
        else
          CacheNode(Run);
      } else if (IsInside) {
        if (!GetSelected(Run)) CacheNode(Run);
      } else if (GetSelected(Run)) {
        DropFromSelection(Run);
      }
      Changed = true;
    }
    NodeTop = RowBottom;
    Run = GetNextVisible(Run, true);
  }
  if (Changed) {
    PackSelection();
    if (FTempNodeCount > 0) {
      if (HasState(tsClearOnNewSelection)) {
        DoStateChange({}, {tsClearOnNewSelection});
        ClearSelection(false);
      }
      InsertIntoSelection(FTempNodeCache, static_cast<Integer>(FTempNodeCount), false);
    }
    ClearNodeCache();
    Change(nullptr);
  }
  return Changed;
}

Integer TBaseVastTree::SelectionOffsetX() {
  // The band lives where the rows are painted: right to left, columns
  // narrower than the client area are shifted to its right end.
  TVTHeader* H = HeaderObject();
  if (UseRightToLeftAlignment() && H && H->UseColumns()) return FEffectiveOffsetX - RightToLeftOffset(true);
  return FEffectiveOffsetX;
}

bool TBaseVastTree::PopupMenuAvailable(PVastNode Node, TColumnIndex Column, TPoint Pos) {
  return DoGetPopupMenu(Node, Column, Pos) != nullptr;
}
