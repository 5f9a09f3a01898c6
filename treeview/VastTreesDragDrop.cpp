// The tree as the target of a drag: the drop mode under the pointer, the
// effect proposed for the keys held, the drop target with its mark, edge
// scrolling while the pointer rests there, and opening a collapsed target
// after a while. A drag manager calls these with screen points; nothing
// here depends on how the drag itself is carried.
#include <algorithm>

#include "rtl/ScopeExit.h"
#include "treeview/VastTrees.h"

TDropMode TBaseVastTree::ComputeDropMode(const TPoint& P, THitInfo& HitInfo, const TRect& NodeRect) {
  const TVTMiscOptions Misc = FOptions->MiscOptions();
  const bool FullRowHit = HitInfo.HitPositions.Contains(hiOnItem) &&
                          (Misc.Contains(toFullRowDrag) || FOptions->SelectionOptions().Contains(toFullRowSelect));
  const bool Beside = !HitInfo.HitPositions.Contains(hiOnItemLabel) && !HitInfo.HitPositions.Contains(hiOnNormalIcon) &&
                      !HitInfo.HitPositions.Contains(hiOnStateIcon);
  if (Misc.Contains(toReportMode) && !FullRowHit && (Beside || HitInfo.HitColumn != FHeader->MainColumn()))
    HitInfo.HitNode = nullptr;
  if (!HitInfo.HitNode) return dmNowhere;
  if (Beside && FOptions->PaintOptions().Contains(toShowDropmark))
    return P.Y < (NodeRect.Top + NodeRect.Bottom) / 2 ? dmAbove : dmBelow;
  return dmOnNode;
}

Integer TBaseVastTree::ProposeDropEffect(TObject* Source, TShiftState Shift, const TPoint&, Integer AllowedEffects) {
  const Integer Preferred = Source == this ? DropEffectMove : DropEffectCopy;
  const Integer Default = (AllowedEffects & Preferred) ? Preferred : AllowedEffects;
  auto Wanted = [&](Integer Effect) { return (AllowedEffects & Effect) ? Effect : Default; };
  const bool Ctrl = Shift.Contains(ssCtrl), ShiftKey = Shift.Contains(ssShift);
  if (Ctrl && ShiftKey) return Wanted(DropEffectLink);
  if (Ctrl) return Wanted(DropEffectCopy);
  if (ShiftKey) return Wanted(DropEffectMove);
  if (Shift.Contains(ssAlt)) return Wanted(DropEffectLink);
  return Default;
}

bool TBaseVastTree::OleDragEnter(TObject* Source, TShiftState Shift, TPoint Pt, Integer& Effect) {
  // A drag coming in waits anew before it scrolls at an edge.
  ResetDragScrollStart();
  FDragTargetActive = true;
  const TPoint P = FHost->ScreenToClient(Pt);
  Effect = ProposeDropEffect(Source, Shift, P, Effect);
  if (!DoDragOver(Source, Shift, dsDragEnter, P, FLastDropMode, Effect)) {
    Effect = DropEffectNone;
    return true;
  }
  THitInfo Hit;
  GetHitTestInfoAt(P.X, P.Y, true, Hit);
  SetDropTarget(Hit.HitNode);
  if (!Hit.HitNode) {
    FLastDropMode = dmNowhere;
  } else if (Hit.HitPositions.Contains(hiOnItemLabel) ||
             (Hit.HitPositions.Contains(hiOnItem) && (FOptions->MiscOptions().Contains(toFullRowDrag) ||
                                                      FOptions->SelectionOptions().Contains(toFullRowSelect)))) {
    FLastDropMode = dmOnNode;
  } else {
    const TRect R = GetDisplayRect(Hit.HitNode, FHeader->MainColumn(), false);
    FLastDropMode = P.Y < (R.Top + R.Bottom) / 2 ? dmAbove : dmBelow;
  }
  return true;
}

bool TBaseVastTree::OleDragOver(TObject* Source, TShiftState Shift, TDragState DragState, TPoint Pt, Integer& Effect) {
  const TPoint P = FHost->ScreenToClient(Pt);
  // Edge scrolling: a step of the scroll increment (at most a page) in each
  // direction the pointer asks for, never past either end.
  FScrollDirections = ComputeScrollDirections(P.X, P.Y);
  bool Scrolled = false;
  if (!FScrollDirections.Empty()) {
    Integer X = FOffsetX, Y = FOffsetY;
    const Integer StepY = std::min<Integer>(FScrollBarOptions->VerticalIncrement(), ClientHeight());
    const Integer StepX = std::min<Integer>(FScrollBarOptions->HorizontalIncrement(), ClientWidth());
    if (FScrollDirections.Contains(sdUp)) Y = std::min<Integer>(Y + StepY, 0);
    if (FScrollDirections.Contains(sdDown)) Y = std::max<Integer>(Y - StepY, ClientHeight() - FRangeY);
    if (FScrollDirections.Contains(sdLeft)) X = std::min<Integer>(X + StepX, 0);
    if (FScrollDirections.Contains(sdRight)) X = std::max<Integer>(X - StepX, ClientWidth() - FRangeX);
    Scrolled = DoSetOffset(TPoint{X, Y});
  }
  // A tree that draws its own drag image over this one must see the rows
  // that change under it.
  auto* SourceTree = dynamic_cast<TBaseVastTree*>(Source);
  const bool WithImage = SourceTree && SourceTree->OwnDragImageShown();
  const TRect OldRect = FDropTargetNode ? GetDisplayRect(FDropTargetNode, NoColumn, false) : TRect{};
  THitInfo Hit;
  GetHitTestInfoAt(P.X, P.Y, true, Hit);
  const TRect NodeRect = Hit.HitNode ? GetDisplayRect(Hit.HitNode, NoColumn, false) : TRect{};
  const TDropMode Mode = ComputeDropMode(P, Hit, NodeRect);
  const TRect Client{0, 0, ClientWidth(), ClientHeight()};
  if (Hit.HitNode != FDropTargetNode || Mode != FLastDropMode) {
    FLastDropMode = Mode;
    if (Hit.HitNode == FDropTargetNode) {
      if (FDropTargetNode) InvalidateNode(FDropTargetNode);
    } else {
      SetDropTarget(Hit.HitNode);
    }
    if (WithImage) {
      TRect Changed = NodeRect;
      if (Scrolled || Changed.IsEmpty())
        Changed = Scrolled ? Client : OldRect;
      else if (!OldRect.IsEmpty())
        Changed = TRect{std::min(OldRect.Left, Changed.Left), std::min(OldRect.Top, Changed.Top),
                        std::max(OldRect.Right, Changed.Right), std::max(OldRect.Bottom, Changed.Bottom)};
      RedrawWithDragImage(SourceTree, Changed, false, true);
    }
  } else if (Scrolled) {
    Invalidate();
    if (WithImage) RedrawWithDragImage(SourceTree, Client, false, true);
  }
  FHost->UpdateNow();
  Effect = ProposeDropEffect(Source, Shift, P, Effect);
  if (!DoDragOver(Source, Shift, DragState, P, FLastDropMode, Effect)) Effect = DropEffectNone;
  if (Scrolled) Effect |= DropEffectScroll;
  return true;
}

void TBaseVastTree::OleDragLeave() {
  FHost->KillTimer(ExpandTimer);
  FDragTargetActive = false;
  if (FDropTargetNode) InvalidateNode(FDropTargetNode);
  FDropTargetNode = nullptr;
  FHost->UpdateNow();
  Integer Effect = DropEffectNone;
  DoDragOver(nullptr, TShiftState{}, dsDragLeave, TPoint{0, 0}, FLastDropMode, Effect);
}

bool TBaseVastTree::OleDragDrop(TObject* Source, IDataObject* DataObject, const TFormatArray& Formats,
                                TShiftState Shift, TPoint Pt, Integer& Effect) {
  FHost->KillTimer(ExpandTimer);
  FHost->KillTimer(ScrollTimer);
  DoStateChange({}, {tsScrolling, tsScrollPending});
  const TScopeExit Forget([this] {
    FDragTargetActive = false;
    if (FDropTargetNode) InvalidateNode(FDropTargetNode);
    FDropTargetNode = nullptr;
  });
  if (!OleDragOver(Source, Shift, dsDragMove, Pt, Effect)) return false;
  if ((Effect & ~DropEffectScroll) == 0) return false;
  // The button that drags belongs to the keys the drop reports.
  if (HasState(tsRightButtonDown))
    Shift.Include(ssRight);
  else if (HasState(tsMiddleButtonDown))
    Shift.Include(ssMiddle);
  else
    Shift.Include(ssLeft);
  DoDragDrop(Source, DataObject, Formats, Shift, FHost->ScreenToClient(Pt), Effect, FLastDropMode);
  return true;
}

void TBaseVastTree::DoDragExpand() {
  FHost->KillTimer(ExpandTimer);
  PVastNode Node = FDropTargetNode;
  if (Node && Node->States.Contains(vsHasChildren) && !Node->States.Contains(vsExpanded)) {
    ToggleNode(Node);
    FHost->UpdateNow();
  }
}

void TBaseVastTree::SetDropTarget(PVastNode Node) {
  if (Node == FDropTargetNode) return;
  FHost->KillTimer(ExpandTimer);
  PVastNode Old = FDropTargetNode;
  FDropTargetNode = Node;
  if (Node && FFocusedColumn < 0) FFocusedColumn = FHeader->MainColumn();
  if (Old) InvalidateNode(Old);
  if (Node) InvalidateNode(Node);
  if (Node && FOptions->AutoOptions().Contains(toAutoDropExpand) && Node->States.Contains(vsHasChildren))
    FHost->SetTimer(ExpandTimer, FAutoExpandDelay);
}

void TBaseVastTree::SetDropTargetNode(PVastNode Node) {
  if (Node == FDropTargetNode) return;
  if (FDropTargetNode) InvalidateNode(FDropTargetNode);
  FDropTargetNode = Node;
  if (Node) InvalidateNode(Node);
}
