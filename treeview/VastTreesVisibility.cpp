// Expanding, collapsing, hiding and filtering: every change keeps subtree
// heights, VisibleCount and the hidden-children flag exact.
#include "rtl/ScopeExit.h"
#include "treeview/VastTrees.h"

void TBaseVastTree::ToggleNode(PVastNode Node) {
  if (!Node || Node == FRoot) return;
  if (Node->States.Contains(vsDeleting) || Node->States.Contains(vsToggling)) return;
  const bool WasToggling = HasState(tsToggling);
  DoStateChange({tsToggling});
  IncludeNodeStates(Node, {vsToggling});
  const TScopeExit Restore([this, Node, WasToggling] {
    ExcludeNodeStates(Node, {vsToggling});
    if (!WasToggling) DoStateChange({}, {tsToggling});
  });

  bool Toggled = false;
  Integer HeightChange = 0;
  const bool ChildrenAbove = FOptions->PaintOptions().Contains(toChildrenAbove);
  TRect RowBefore;
  if (Node->States.Contains(vsExpanded)) {
    if (DoCollapsing(Node)) {
      Toggled = true;
      StopCacheValidation();
      HeightChange = static_cast<Integer>(Node->NodeHeight) - static_cast<Integer>(Node->TotalHeight);
      if (ChildrenAbove) RowBefore = GetDisplayRect(Node, NoColumn, false);
      if (FUpdateCount == 0 && FOptions->AnimationOptions().Contains(toAnimatedToggle) && !HasState(tsCollapsing))
        AnimateToggle(Node, false, -HeightChange);
      const Cardinal Hidden = GetFullyVisible(Node) ? CountVisibleDescendants(Node) : 0;
      AdjustTotalHeight(Node, GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight, false);
      FVisibleCount -= Hidden;
      ExcludeNodeStates(Node, {vsExpanded});
      DoCollapsed(Node);
      if (FOptions->AutoOptions().Contains(toAutoFreeOnCollapse) && Node->ChildCount > 0) {
        DeleteChildren(Node, false);
        IncludeNodeStates(Node, {vsHasChildren});
      }
    }
  } else if (DoExpanding(Node)) {
    Toggled = true;
    StopCacheValidation();
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    // Initialisation may have expanded the node through ivsExpanded.
    if (Node->ChildCount > 0 && !Node->States.Contains(vsExpanded)) {
      Cardinal HeightDelta = 0;
      for (PVastNode Child = Node->FirstChild; Child; Child = Child->NextSibling)
        if (Child->States.Contains(vsVisible)) {
          MeasureItemHeight(nullptr, Child);
          HeightDelta += Child->TotalHeight;
        }
      HeightChange = static_cast<Integer>(HeightDelta);
      if (ChildrenAbove) RowBefore = GetDisplayRect(Node, NoColumn, false);
      if (FUpdateCount == 0 && !HasState(tsExpanding) && !HasState(tsPainting) &&
          FOptions->AnimationOptions().Contains(toAnimatedToggle))
        AnimateToggle(Node, true, HeightChange);
      if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(toAutoSort))
        Sort(Node, FHeader->SortColumn(), FHeader->SortDirection(), false);
      StopCacheValidation();
      IncludeNodeStates(Node, {vsExpanded});
      AdjustTotalHeight(Node, static_cast<Integer>(HeightDelta), true);
      if (GetFullyVisible(Node)) FVisibleCount += CountVisibleDescendants(Node);
      DoExpanded(Node);
    }
  }
  if (!Toggled) return;
  InvalidateCache();
  if (FUpdateCount > 0) {
    UpdateVerticalRange();
    UpdateScrollBars(true);
    return;
  }
  ValidateCache();
  if (Node->ChildCount > 0) {
    UpdateRanges();
    UpdateScrollBars(true);
    if (!HasState(tsExpanding) && !HasState(tsPainting)) {
      if (AdjustScrollAfterToggle(Node, HeightChange, ChildrenAbove, RowBefore))
        Invalidate();
      else
        InvalidateToBottom(Node);
    }
  } else {
    InvalidateNode(Node);
  }
}

bool TBaseVastTree::AdjustScrollAfterToggle(PVastNode Node, Integer HeightChange, bool ChildrenAbove,
                                            const TRect& RowBefore) {
  const Integer OldY = FOffsetY;
  const Integer CH = ClientHeight();
  const bool Fits = static_cast<Integer>(Node->NodeHeight) + HeightChange <= CH;
  const TVTAutoOptions Auto = FOptions->AutoOptions();
  bool Full = false;
  if (GetExpanded(Node) && (Auto.Contains(toAutoScrollOnExpand) || ChildrenAbove)) {
    if (!ChildrenAbove) {
      if (Fits) {
        Full = ScrollIntoView(GetLastVisible(Node, true, false), false, false);
      } else {
        SetTopNode(Node);
        Full = true;
      }
    } else {
      Full = true;
      if (!Auto.Contains(toAutoScrollOnExpand) ||
          (Fits && FRangeY >= CH && RowBefore.Top - HeightChange >= 0 && RowBefore.Bottom <= CH))
        SetOffsetY(FOffsetY - HeightChange);  // the rows above grow; Node keeps its place
      else if (Fits && RowBefore.Bottom <= CH)
        SetTopNode(GetFirstVisible(Node, true, false));
      else
        SetBottomNode(Node);
    }
  } else {
    if (ChildrenAbove) SetOffsetY(FOffsetY - HeightChange);
    Full = true;
  }
  return Full || FOffsetY != OldY;
}

void TBaseVastTree::FullExpand(PVastNode Node) {
  if (FRoot->TotalCount < 2) return;
  DoStateChange({tsExpanding});
  const TScopeExit Expanded([this] { DoStateChange({}, {tsExpanding}); });
  BeginOperation(okExpand);
  const TUpdateGuard<TBaseVastTree> Update(*this);
  // The operation ends before the update does: its end is reported before
  // the tree is laid out again.
  const TScopeExit Operation([this] { EndOperation(okExpand); });
  PVastNode Run;
  PVastNode Stop = nullptr;
  if (!Node || Node == FRoot) {
    Run = GetFirst();
  } else {
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    Run = Node;
    for (PVastNode S = Node; S != FRoot; S = S->Parent)
      if (S->NextSibling) {
        Stop = S->NextSibling;
        break;
      }
  }
  while (Run && Run != Stop) {
    if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
    if (OperationCanceled()) break;
    Run = GetNext(Run);
  }
}

void TBaseVastTree::FullCollapse(PVastNode Node) {
  if (FRoot->TotalCount < 2) return;
  if (Node == FRoot) Node = nullptr;
  DoStateChange({tsCollapsing});
  const TScopeExit Collapsed([this] { DoStateChange({}, {tsCollapsing}); });
  const TUpdateGuard<TBaseVastTree> Update(*this);
  PVastNode Run = GetLastVisibleNoInit(Node, true, false);
  while (Run && Run != Node) {
    PVastNode Previous = GetPreviousNoInit(Run, true);
    if (Run->States.Contains(vsExpanded) && Run->States.Contains(vsHasChildren)) ToggleNode(Run);
    Run = Previous;
  }
  if (Node && Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren)) ToggleNode(Node);
}

void TBaseVastTree::SetVisible(PVastNode Node, bool Value) {
  if (!Node || Node == FRoot || Node->States.Contains(vsVisible) == Value) return;
  StopCacheValidation();
  PVastNode Parent = Node->Parent;
  bool NeedUpdate = false;
  if (Value) {
    IncludeNodeStates(Node, {vsVisible});
    if (Parent->States.Contains(vsExpanded)) AdjustTotalHeight(Parent, static_cast<Integer>(Node->TotalHeight), true);
    if (GetVisiblePath(Node)) {
      FVisibleCount += CountVisibleDescendants(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
      NeedUpdate = true;
    }
    if (!GetEffectivelyFiltered(Node)) ExcludeNodeStates(Parent, {vsAllChildrenHidden});
  } else {
    if (Parent->States.Contains(vsExpanded)) AdjustTotalHeight(Parent, -static_cast<Integer>(Node->TotalHeight), true);
    if (GetVisiblePath(Node)) {
      FVisibleCount -= CountVisibleDescendants(Node) + (GetEffectivelyVisible(Node) ? 1 : 0);
      NeedUpdate = true;
    }
    ExcludeNodeStates(Node, {vsVisible});
    if (FUpdateCount == 0)
      UpdateAllChildrenHidden(Parent);
    else
      DoStateChange({tsUpdateHiddenChildrenNeeded});
  }
  InvalidateCache();
  if (NeedUpdate && FUpdateCount == 0) {
    ValidateCache();
    UpdateScrollBars(true);
    Invalidate();
  }
}

void TBaseVastTree::SetFullyVisible(PVastNode Node, bool Value) {
  if (!Node || Node == FRoot) return;
  SetVisible(Node, Value);
  PVastNode Last = Node;
  if (Value) {
    for (PVastNode Run = Node->Parent; Run != FRoot; Run = Run->Parent) {
      if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
      if (!Run->States.Contains(vsVisible)) SetVisible(Run, true);
    }
    Last = FRoot;
  }
  if (Last != FRoot) ScrollIntoView(Last, false, false);
}

void TBaseVastTree::SetVisiblePath(PVastNode Node, bool Value) {
  if (!Value || !Node || Node == FRoot) return;
  for (PVastNode Run = Node->Parent; Run != FRoot; Run = Run->Parent)
    if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
}

void TBaseVastTree::SetFiltered(PVastNode Node, bool Value) {
  if (!Node || Node == FRoot) return;
  if (!Node->States.Contains(vsInitialized)) InitNode(Node);
  if (Node->States.Contains(vsFiltered) == Value) return;
  StopCacheValidation();
  bool NeedUpdate = false;
  PVastNode Parent = Node->Parent;
  if (Value) {
    IncludeNodeStates(Node, {vsFiltered});
    if (!ShowFilteredNodes()) {
      if (Node->States.Contains(vsInitializing) && !Node->FirstChild)
        AdjustTotalHeight(Node, 0, false);
      else
        AdjustTotalHeight(Node, -static_cast<Integer>(Node->NodeHeight), true);
      if (GetFullyVisible(Node)) {
        --FVisibleCount;
        NeedUpdate = true;
      }
      if (Node == FFocusedNode) SetFocusedNode(nullptr);
    }
    if (FUpdateCount == 0)
      UpdateAllChildrenHidden(Parent);
    else
      DoStateChange({tsUpdateHiddenChildrenNeeded});
  } else {
    ExcludeNodeStates(Node, {vsFiltered});
    if (!ShowFilteredNodes()) {
      AdjustTotalHeight(Node, Node->NodeHeight, true);
      if (GetFullyVisible(Node)) {
        ++FVisibleCount;
        NeedUpdate = true;
      }
    }
    if (Node->States.Contains(vsVisible)) ExcludeNodeStates(Parent, {vsAllChildrenHidden});
  }
  InvalidateCache();
  if (NeedUpdate && FUpdateCount == 0) {
    ValidateCache();
    UpdateScrollBars(true);
    Invalidate();
  }
}

void TBaseVastTree::SetAnimationDuration(Cardinal Value) {
  FAnimationDuration = Value;
  TVTAnimationOptions Options = FOptions->AnimationOptions();
  if (Value != 0)
    Options.Include(toAnimatedToggle);
  else
    Options.Exclude(toAnimatedToggle);
  FOptions->SetAnimationOptions(Options);
}
