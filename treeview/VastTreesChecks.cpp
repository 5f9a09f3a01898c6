// Check states: the next state of a click, the guarded change with its
// propagation down to children and up to tri-state parents, radio groups,
// bulk setting and the check image index table.
#include "rtl/ScopeExit.h"
#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

namespace {

bool IsChecked(TCheckState S) { return S == csCheckedNormal || S == csCheckedPressed || S == csCheckedDisabled; }
bool IsDisabledState(TCheckState S) {
  return S == csUncheckedDisabled || S == csCheckedDisabled || S == csMixedDisabled;
}
bool CountsForTriState(TCheckType T) { return T == ctTriStateCheckBox || T == ctCheckBox; }

TCheckState EnabledForm(TCheckState S) {
  switch (S) {
    case csUncheckedDisabled:
      return csUncheckedNormal;
    case csCheckedDisabled:
      return csCheckedNormal;
    case csMixedDisabled:
      return csMixedNormal;
    default:
      return S;
  }
}

TCheckState ToggledForm(TCheckState S) {
  switch (S) {
    case csUncheckedNormal:
      return csCheckedNormal;
    case csUncheckedPressed:
      return csCheckedPressed;
    case csCheckedNormal:
      return csUncheckedNormal;
    case csCheckedPressed:
      return csUncheckedPressed;
    case csMixedNormal:
      return csCheckedNormal;
    case csMixedPressed:
      return csCheckedPressed;
    default:
      return S;
  }
}

TCheckState PressedForm(TCheckState S) {
  switch (S) {
    case csUncheckedNormal:
      return csUncheckedPressed;
    case csCheckedNormal:
      return csCheckedPressed;
    default:
      return S;
  }
}

}  // namespace

TCheckState TBaseVastTree::NextCheckState(TCheckType CheckType, TCheckState CheckState) {
  switch (CheckType) {
    case ctTriStateCheckBox:
    case ctCheckBox:
    case ctButton:
      return ToggledForm(CheckState);
    case ctRadioButton:
      return csCheckedNormal;
    default:
      return csMixedNormal;
  }
}

void TBaseVastTree::SetCheckState(PVastNode Node, TCheckState Value) {
  if (!Node || Node == FRoot || Node->CheckState == Value) return;
  TCheckState NewState = Value;
  if (DoChecking(Node, NewState)) DoCheckClick(Node, NewState);
}

void TBaseVastTree::DoCheckClick(PVastNode Node, TCheckState NewCheckState) {
  if (!ChangeCheckState(Node, NewCheckState)) return;
  DoChecked(Node);
  if (SyncsCheckBox(Node)) SetSelected(Node, NewCheckState == csCheckedNormal);
}

bool TBaseVastTree::ChangeCheckState(PVastNode Node, TCheckState Value) {
  if (!Node || Node == FRoot || Node->States.Contains(vsChecking)) return false;
  IncludeNodeStates(Node, {vsChecking});
  const TScopeExit LeaveNode([this, Node] { ExcludeNodeStates(Node, {vsChecking}); });
  if (Node->States.Contains(vsInitialized)) {
    if (Node->CheckState == Value) return false;
  } else {
    InitNode(Node);
  }
  // The outermost change of a cascade holds the update for all of it; the
  // cascade state is left before the update ends.
  const bool Outermost = FCheckPropagationCount++ == 0;
  if (Outermost) DoStateChange({tsCheckPropagation});
  const TUpdateGuard<TBaseVastTree> Update(*this, Outermost);
  const TScopeExit LeaveCascade([this] {
    if (--FCheckPropagationCount == 0) DoStateChange({}, {tsCheckPropagation});
  });

  const bool Tracking = FOptions->AutoOptions().Contains(toAutoTristateTracking);
  if (Node->CheckType == ctTriStateCheckBox && Tracking && Node->ChildCount > 0 &&
      (Value == csCheckedNormal || Value == csUncheckedNormal)) {
    // Children follow through the guarded setter, so grandchildren do too.
    for (PVastNode Child = GetFirstChild(Node); Child; Child = GetNextSibling(Child))
      if (CountsForTriState(Child->CheckType) && !IsDisabledState(Child->CheckState)) SetCheckState(Child, Value);
    Cardinal Checked = 0, Unchecked = 0;
    bool Mixed = false;
    for (PVastNode Child = Node->FirstChild; Child; Child = Child->NextSibling) {
      if (!CountsForTriState(Child->CheckType)) continue;
      const TCheckState S = Child->CheckState;
      if (S == csMixedNormal || S == csMixedPressed || S == csMixedDisabled)
        Mixed = true;
      else if (IsChecked(S))
        ++Checked;
      else
        ++Unchecked;
    }
    if (Mixed)
      Value = csMixedNormal;
    else if (Checked > 0)
      Value = Unchecked == 0 ? csCheckedNormal : csMixedNormal;
  }
  if (Node->CheckType == ctRadioButton && Value == csCheckedNormal) {
    // A radio group: the siblings lose their check without any event.
    for (PVastNode Run = Node->Parent->FirstChild; Run; Run = Run->NextSibling)
      if (Run != Node && Run->CheckType == ctRadioButton) Run->CheckState = csUncheckedNormal;
    Invalidate();
  }
  Node->CheckState = Value;
  PVastNode Parent = Node->Parent;
  if (Parent != FRoot && !Parent->States.Contains(vsInitialized)) InitNode(Parent);
  bool Result = true;
  if (Tracking && Parent != FRoot && !Parent->States.Contains(vsChecking) && !IsDisabledState(Parent->CheckState) &&
      !Parent->States.Contains(vsDisabled) && CountsForTriState(Node->CheckType) &&
      Parent->CheckType == ctTriStateCheckBox)
    Result = PropagateCheckStateToParent(Node, Value);
  InvalidateNode(Node);
  return Result;
}

bool TBaseVastTree::PropagateCheckStateToParent(PVastNode Node, TCheckState NewCheckState) {
  PVastNode Parent = Node->Parent;
  Cardinal Total = 0, Checked = 0;
  bool AnyMixed = false;
  for (PVastNode Run = Parent->FirstChild; Run; Run = Run->NextSibling) {
    if (!CountsForTriState(Run->CheckType)) continue;
    const TCheckState S = Run == Node ? NewCheckState : Run->CheckState;
    ++Total;
    if (IsChecked(S)) ++Checked;
    if (S == csMixedNormal) AnyMixed = true;
  }
  TCheckState State;
  if (Checked == 0 && !AnyMixed)
    State = csUncheckedNormal;
  else if (Checked < Total)
    State = csMixedNormal;
  else
    State = csCheckedNormal;
  const bool Allowed = DoChecking(Parent, State);
  if (Allowed) DoCheckClick(Parent, State);
  return Allowed;
}

void TBaseVastTree::SetCheckType(PVastNode Node, TCheckType Value) {
  if (!Node || Node == FRoot || Node->CheckType == Value || ReadOnly()) return;
  Node->CheckType = Value;
  if (Value != ctTriStateCheckBox && (Node->CheckState == csMixedNormal || Node->CheckState == csMixedPressed))
    Node->CheckState = csUncheckedNormal;
  PVastNode Parent = Node->Parent;
  if (FOptions->AutoOptions().Contains(toAutoTristateTracking) && CountsForTriState(Value) && Parent != FRoot) {
    if (!Parent->States.Contains(vsInitialized)) InitNode(Parent);
    if (Parent->CheckType == ctTriStateCheckBox) {
      const TCheckState P = Parent->CheckState;
      if (P == csUncheckedNormal || P == csUncheckedDisabled)
        Node->CheckState = csUncheckedNormal;
      else if (P == csCheckedNormal || P == csCheckedDisabled)
        Node->CheckState = csCheckedNormal;
    }
  }
  InvalidateNode(Node);
}

void TBaseVastTree::SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled) {
  TUpdateGuard Update(*this);
  auto Apply = [&](PVastNode Node) {
    if (pExcludeDisabled && IsDisabledState(Node->CheckState)) return;
    SetCheckState(Node, aCheckState);
  };
  if (pSelectedOnly) {
    const TNodeArray Selected = GetSortedSelection(false);
    for (PVastNode Node : Selected) Apply(Node);
  } else {
    for (PVastNode Node = GetFirst(); Node; Node = GetNext(Node)) Apply(Node);
  }
}

void TBaseVastTree::ClearChecked() {
  for (PVastNode Node = GetFirstNoInit(); Node; Node = GetNextNoInit(Node))
    if (Node->CheckState != csUncheckedNormal) SetCheckState(Node, csUncheckedNormal);
}

Integer TBaseVastTree::CheckImageIndex(PVastNode Node, TCheckType ImgCheckType, TCheckState ImgCheckState,
                                       bool ImgEnabled) {
  bool Hot = false;
  if (Node) {
    ImgCheckType = Node->CheckType;
    ImgCheckState = GetCheckState(Node);
    ImgEnabled = !Node->States.Contains(vsDisabled) && FHost->Enabled();
    Hot = Node == FHotNode;
  }
  if (IsDisabledState(ImgCheckState)) {
    ImgCheckState = EnabledForm(ImgCheckState);
    ImgEnabled = false;
  }
  if (ImgCheckType == ctTriStateCheckBox) ImgCheckType = ctCheckBox;
  if (Hot && (ImgCheckState == csUncheckedNormal || ImgCheckState == csCheckedNormal) && FHost->LeftButtonDown() &&
      FLastHitInfo.HitPositions.Contains(hiOnItemCheckbox))
    ImgCheckState = PressedForm(ImgCheckState);
  if (ImgCheckType == ctNone) return -1;
  // The first of each group of four: normal; +1 hot, +2 pressed, +3 disabled.
  Integer Base = 0;
  const bool Pressed =
      ImgCheckState == csUncheckedPressed || ImgCheckState == csCheckedPressed || ImgCheckState == csMixedPressed;
  const bool Mixed = ImgCheckState == csMixedNormal || ImgCheckState == csMixedPressed;
  const bool Checked = ImgCheckState == csCheckedNormal || ImgCheckState == csCheckedPressed;
  if (Mixed)
    Base = 17;
  else if (ImgCheckType == ctRadioButton)
    Base = Checked ? 5 : 1;
  else if (ImgCheckType == ctButton)
    Base = 21;
  else
    Base = Checked ? 13 : 9;
  if (!ImgEnabled) return Base + 3;
  if (Pressed) return Base + 2;
  return Base + (Hot ? 1 : 0);
}

void TBaseVastTree::UpdateColumnCheckState(TColumnIndex Column) {
  TVTHeader* H = HeaderObject();
  if (!H || !H->Columns().IsValidColumn(Column)) return;
  TVastTreeColumn& C = H->Columns()[Column];
  C.SetCheckState(NextCheckState(C.CheckType(), C.CheckState()));
}
