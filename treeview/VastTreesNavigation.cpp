// Navigation and iteration: the plain walkers initialise what they return and
// create children before descending; the NoInit twins follow existing links.
#include "rtl/ScopeExit.h"
#include "treeview/VastTrees.h"

namespace {

// The node after Node's subtree in tree order, nil at the end.
PVastNode AfterSubtree(PVastNode Node, PVastNode Root) {
  while (Node != Root && !Node->NextSibling) Node = Node->Parent;
  return Node == Root ? nullptr : Node->NextSibling;
}

}  // namespace

// ---------------------------------------------------------------------------
// Plain tree order and children-above order

PVastNode TBaseVastTree::NextInOrder(PVastNode Node, bool ChildrenAbove, bool DoInit) {
  if (!Node || Node == FRoot) return nullptr;
  PVastNode Result;
  if (!ChildrenAboveActive(ChildrenAbove)) {
    if (DoInit && !GetChildrenInitialized(Node)) InitChildren(Node);
    Result = Node->FirstChild ? Node->FirstChild : AfterSubtree(Node, FRoot);
    if (Result && DoInit && !Result->States.Contains(vsInitialized)) InitNode(Result);
    return Result;
  }
  if (Node->NextSibling) {
    Result = Node->NextSibling;
    for (;;) {
      if (DoInit && !Result->States.Contains(vsInitialized)) InitNode(Result);
      if (DoInit && !GetChildrenInitialized(Result)) InitChildren(Result);
      if (!Result->FirstChild) break;
      Result = Result->FirstChild;
    }
    return Result;
  }
  Result = Node->Parent;
  return Result == FRoot ? nullptr : Result;
}

PVastNode TBaseVastTree::PreviousInOrder(PVastNode Node, bool ChildrenAbove, bool DoInit) {
  if (!Node || Node == FRoot) return nullptr;
  PVastNode Result;
  if (!ChildrenAboveActive(ChildrenAbove)) {
    if (Node->PrevSibling) {
      Result = Node->PrevSibling;
      for (;;) {
        if (DoInit && !Result->States.Contains(vsInitialized)) InitNode(Result);
        if (DoInit && !GetChildrenInitialized(Result)) InitChildren(Result);
        if (!Result->LastChild) break;
        Result = Result->LastChild;
      }
      return Result;
    }
    Result = Node->Parent;
    return Result == FRoot ? nullptr : Result;
  }
  if (DoInit && !GetChildrenInitialized(Node)) InitChildren(Node);
  if (Node->LastChild) {
    Result = Node->LastChild;
  } else {
    Result = Node;
    while (Result != FRoot && !Result->PrevSibling) Result = Result->Parent;
    Result = Result == FRoot ? nullptr : Result->PrevSibling;
  }
  if (Result && DoInit && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetFirst(bool ConsiderChildrenAbove) {
  PVastNode Result = GetFirstChild(nullptr);
  if (Result && ChildrenAboveActive(ConsiderChildrenAbove)) {
    for (;;) {
      PVastNode Child = GetFirstChild(Result);
      if (!Child) break;
      Result = Child;
    }
  }
  return Result;
}

PVastNode TBaseVastTree::GetFirstNoInit(bool ConsiderChildrenAbove) {
  PVastNode Result = FRoot->FirstChild;
  if (Result && ChildrenAboveActive(ConsiderChildrenAbove))
    while (Result->FirstChild) Result = Result->FirstChild;
  return Result;
}

PVastNode TBaseVastTree::GetNext(PVastNode Node, bool ConsiderChildrenAbove) {
  return NextInOrder(Node, ConsiderChildrenAbove, true);
}

PVastNode TBaseVastTree::GetNextNoInit(PVastNode Node, bool ConsiderChildrenAbove) {
  return NextInOrder(Node, ConsiderChildrenAbove, false);
}

PVastNode TBaseVastTree::GetPrevious(PVastNode Node, bool ConsiderChildrenAbove) {
  return PreviousInOrder(Node, ConsiderChildrenAbove, true);
}

PVastNode TBaseVastTree::GetPreviousNoInit(PVastNode Node, bool ConsiderChildrenAbove) {
  return PreviousInOrder(Node, ConsiderChildrenAbove, false);
}

PVastNode TBaseVastTree::GetLast(PVastNode Node, bool ConsiderChildrenAbove) {
  PVastNode Result = GetLastChild(Node);
  if (Result && !ChildrenAboveActive(ConsiderChildrenAbove)) {
    for (;;) {
      PVastNode Child = GetLastChild(Result);
      if (!Child) break;
      Result = Child;
    }
  }
  return Result;
}

PVastNode TBaseVastTree::GetLastNoInit(PVastNode Node, bool ConsiderChildrenAbove) {
  PVastNode Result = GetLastChildNoInit(Node);
  if (Result && !ChildrenAboveActive(ConsiderChildrenAbove))
    while (Result->LastChild) Result = Result->LastChild;
  return Result;
}

// ---------------------------------------------------------------------------
// Children and siblings

PVastNode TBaseVastTree::GetFirstChild(PVastNode Node) {
  PVastNode Result;
  if (!Node || Node == FRoot) {
    Result = FRoot->FirstChild;
  } else {
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    Result = Node->FirstChild;
  }
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetFirstChildNoInit(PVastNode Node) {
  return (!Node || Node == FRoot) ? FRoot->FirstChild : Node->FirstChild;
}

PVastNode TBaseVastTree::GetLastChild(PVastNode Node) {
  PVastNode Result;
  if (!Node || Node == FRoot) {
    Result = FRoot->LastChild;
  } else {
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    Result = Node->LastChild;
  }
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetLastChildNoInit(PVastNode Node) {
  return (!Node || Node == FRoot) ? FRoot->LastChild : Node->LastChild;
}

PVastNode TBaseVastTree::GetNextSibling(PVastNode Node) {
  PVastNode Result = Node ? Node->NextSibling : nullptr;
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetPreviousSibling(PVastNode Node) {
  PVastNode Result = Node ? Node->PrevSibling : nullptr;
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetNextVisibleSibling(PVastNode Node, bool IncludeFiltered) {
  if (!Node) return nullptr;
  PVastNode Result = Node->NextSibling;
  while (Result) {
    if (!Result->States.Contains(vsInitialized)) InitNode(Result);
    if (Result->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(Result))) break;
    Result = Result->NextSibling;
  }
  return Result;
}

PVastNode TBaseVastTree::GetNextVisibleSiblingNoInit(PVastNode Node, bool IncludeFiltered) {
  if (!Node) return nullptr;
  PVastNode Result = Node->NextSibling;
  while (Result && !(Result->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(Result))))
    Result = Result->NextSibling;
  return Result;
}

PVastNode TBaseVastTree::GetPreviousVisibleSibling(PVastNode Node, bool IncludeFiltered) {
  if (!Node) return nullptr;
  PVastNode Result = Node->PrevSibling;
  while (Result) {
    if (!Result->States.Contains(vsInitialized)) InitNode(Result);
    if (Result->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(Result))) break;
    Result = Result->PrevSibling;
  }
  return Result;
}

PVastNode TBaseVastTree::GetPreviousVisibleSiblingNoInit(PVastNode Node, bool IncludeFiltered) {
  if (!Node) return nullptr;
  PVastNode Result = Node->PrevSibling;
  while (Result && !(Result->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(Result))))
    Result = Result->PrevSibling;
  return Result;
}

PVastNode TBaseVastTree::GetFirstVisibleChild(PVastNode Node, bool IncludeFiltered) {
  if (!Node) Node = FRoot;
  PVastNode Result = GetFirstChild(Node);
  if (Result && !(Result->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(Result))))
    Result = GetNextVisibleSibling(Result, IncludeFiltered);
  return Result;
}

PVastNode TBaseVastTree::GetFirstVisibleChildNoInit(PVastNode Node, bool IncludeFiltered) {
  if (!Node) Node = FRoot;
  PVastNode Result = Node->FirstChild;
  if (Result && !(Result->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(Result))))
    Result = GetNextVisibleSiblingNoInit(Result, IncludeFiltered);
  return Result;
}

PVastNode TBaseVastTree::LastVisibleChildImpl(PVastNode Node, bool IncludeFiltered, bool DoInit) {
  if (!Node) Node = FRoot;
  if (Node != FRoot && !(GetFullyVisible(Node) && Node->States.Contains(vsExpanded))) return nullptr;
  PVastNode Result = DoInit ? GetLastChild(Node) : Node->LastChild;
  while (Result) {
    if (DoInit && !Result->States.Contains(vsInitialized)) InitNode(Result);
    if (Result->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(Result))) break;
    Result = Result->PrevSibling;
  }
  return Result;
}

PVastNode TBaseVastTree::GetLastVisibleChild(PVastNode Node, bool IncludeFiltered) {
  return LastVisibleChildImpl(Node, IncludeFiltered, true);
}

PVastNode TBaseVastTree::GetLastVisibleChildNoInit(PVastNode Node, bool IncludeFiltered) {
  return LastVisibleChildImpl(Node, IncludeFiltered, false);
}

// ---------------------------------------------------------------------------
// Visible walks

PVastNode TBaseVastTree::FirstVisibleImpl(PVastNode Node, bool ChildrenAbove, bool IncludeFiltered, bool DoInit) {
  if (!Node) Node = FRoot;
  if (!Node->States.Contains(vsHasChildren)) return nullptr;
  if (DoInit && Node->ChildCount == 0) InitChildren(Node);
  PVastNode Result = Node->FirstChild;
  if (!Result) return nullptr;
  if (!ChildrenAboveActive(ChildrenAbove)) {
    for (;;) {
      if (DoInit && !Result->States.Contains(vsInitialized)) InitNode(Result);
      if (Result->States.Contains(vsVisible)) break;
      Result = AfterSubtree(Result, FRoot);
      if (!Result) return nullptr;
    }
  } else {
    for (;;) {
      if (DoInit && !Result->States.Contains(vsInitialized)) InitNode(Result);
      if (!Result->States.Contains(vsVisible)) {
        if (Result->NextSibling) {
          Result = Result->NextSibling;
          continue;
        }
        Result = Result->Parent;
        if (Result == FRoot) return nullptr;
        break;
      }
      if (Result->States.Contains(vsExpanded)) {
        if (DoInit && !GetChildrenInitialized(Result)) InitChildren(Result);
        if (Result->FirstChild) {
          Result = Result->FirstChild;
          continue;
        }
      }
      break;
    }
  }
  if (!IncludeFiltered && GetEffectivelyFiltered(Result)) Result = NextVisibleImpl(Result, ChildrenAbove, DoInit);
  return Result;
}

PVastNode TBaseVastTree::GetFirstVisible(PVastNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
  return FirstVisibleImpl(Node, ConsiderChildrenAbove, IncludeFiltered, true);
}

PVastNode TBaseVastTree::GetFirstVisibleNoInit(PVastNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
  return FirstVisibleImpl(Node, ConsiderChildrenAbove, IncludeFiltered, false);
}

PVastNode TBaseVastTree::GetLastVisible(PVastNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
  PVastNode Result = GetLastVisibleChild(Node, IncludeFiltered);
  if (Result && !ChildrenAboveActive(ConsiderChildrenAbove)) {
    for (;;) {
      PVastNode Next = GetLastVisibleChild(Result, IncludeFiltered);
      if (!Next) break;
      Result = Next;
    }
  }
  return Result;
}

PVastNode TBaseVastTree::GetLastVisibleNoInit(PVastNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
  PVastNode Result = GetLastVisibleChildNoInit(Node, IncludeFiltered);
  if (Result && !ChildrenAboveActive(ConsiderChildrenAbove)) {
    for (;;) {
      PVastNode Next = GetLastVisibleChildNoInit(Result, IncludeFiltered);
      if (!Next) break;
      Result = Next;
    }
  }
  return Result;
}

// A start node that is not fully visible is first lifted to the topmost
// ancestor-or-self that is not, so the walk resumes after what is hidden
// instead of jumping back to the nearest visible ancestor.
PVastNode TBaseVastTree::NextVisibleImpl(PVastNode Node, bool ChildrenAbove, bool DoInit) {
  if (!Node || Node == FRoot) return nullptr;
  bool SkipSubtree = false;
  if (!GetFullyVisible(Node)) {
    PVastNode Top = Node;
    for (PVastNode Run = Node; Run != FRoot; Run = Run->Parent)
      if (!GetFullyVisible(Run)) Top = Run;
    if (Top->Parent != FRoot && !Top->Parent->States.Contains(vsExpanded)) Top = Top->Parent;
    Node = Top;
    SkipSubtree = true;
  }
  if (!ChildrenAboveActive(ChildrenAbove)) {
    PVastNode Run;
    if (!SkipSubtree && Node->States.Contains(vsExpanded)) {
      if (DoInit && !GetChildrenInitialized(Node)) InitChildren(Node);
      Run = Node->FirstChild ? Node->FirstChild : AfterSubtree(Node, FRoot);
    } else {
      Run = AfterSubtree(Node, FRoot);
    }
    while (Run) {
      if (DoInit && !Run->States.Contains(vsInitialized)) InitNode(Run);
      if (!Run->States.Contains(vsVisible)) {
        Run = AfterSubtree(Run, FRoot);
        continue;
      }
      if (!GetEffectivelyFiltered(Run)) return Run;
      if (Run->States.Contains(vsExpanded)) {
        if (DoInit && !GetChildrenInitialized(Run)) InitChildren(Run);
        if (Run->FirstChild) {
          Run = Run->FirstChild;
          continue;
        }
      }
      Run = AfterSubtree(Run, FRoot);
    }
    return nullptr;
  }
  // Children above their parent: post-order over the open part of the tree.
  PVastNode Current = Node;
  for (;;) {
    PVastNode Candidate = Current->NextSibling;
    while (Candidate) {
      if (DoInit && !Candidate->States.Contains(vsInitialized)) InitNode(Candidate);
      if (Candidate->States.Contains(vsVisible)) break;
      Candidate = Candidate->NextSibling;
    }
    if (Candidate) {
      for (;;) {
        if (!Candidate->States.Contains(vsExpanded)) break;
        if (DoInit && !GetChildrenInitialized(Candidate)) InitChildren(Candidate);
        PVastNode Child = Candidate->FirstChild;
        while (Child) {
          if (DoInit && !Child->States.Contains(vsInitialized)) InitNode(Child);
          if (Child->States.Contains(vsVisible)) break;
          Child = Child->NextSibling;
        }
        if (!Child) break;
        Candidate = Child;
      }
    } else {
      Candidate = Current->Parent;
      if (Candidate == FRoot) return nullptr;
    }
    if (!GetEffectivelyFiltered(Candidate)) return Candidate;
    Current = Candidate;
  }
}

PVastNode TBaseVastTree::GetNextVisible(PVastNode Node, bool ConsiderChildrenAbove) {
  return NextVisibleImpl(Node, ConsiderChildrenAbove, true);
}

PVastNode TBaseVastTree::GetNextVisibleNoInit(PVastNode Node, bool ConsiderChildrenAbove) {
  return NextVisibleImpl(Node, ConsiderChildrenAbove, false);
}

PVastNode TBaseVastTree::PreviousVisibleImpl(PVastNode Node, bool ChildrenAbove, bool DoInit) {
  if (!Node || Node == FRoot) return nullptr;
  auto Qualifies = [this](PVastNode N) { return !GetEffectivelyFiltered(N); };
  if (!GetFullyVisible(Node)) {
    PVastNode Top = Node;
    for (PVastNode Run = Node; Run != FRoot; Run = Run->Parent)
      if (!GetFullyVisible(Run)) Top = Run;
    if (Top->Parent != FRoot && !Top->Parent->States.Contains(vsExpanded)) {
      // Everything below a collapsed node follows that node.
      if (!ChildrenAboveActive(ChildrenAbove)) {
        if (Qualifies(Top->Parent)) return Top->Parent;
        return PreviousVisibleImpl(Top->Parent, ChildrenAbove, DoInit);
      }
      Top = Top->Parent;
    }
    Node = Top;
  }
  PVastNode Current = Node;
  if (!ChildrenAboveActive(ChildrenAbove)) {
    for (;;) {
      PVastNode Candidate = Current->PrevSibling;
      while (Candidate) {
        if (DoInit && !Candidate->States.Contains(vsInitialized)) InitNode(Candidate);
        if (Candidate->States.Contains(vsVisible)) break;
        Candidate = Candidate->PrevSibling;
      }
      if (Candidate) {
        for (;;) {
          if (!Candidate->States.Contains(vsExpanded)) break;
          if (DoInit && !GetChildrenInitialized(Candidate)) InitChildren(Candidate);
          PVastNode Child = Candidate->LastChild;
          while (Child) {
            if (DoInit && !Child->States.Contains(vsInitialized)) InitNode(Child);
            if (Child->States.Contains(vsVisible)) break;
            Child = Child->PrevSibling;
          }
          if (!Child) break;
          Candidate = Child;
        }
      } else {
        Candidate = Current->Parent;
        if (Candidate == FRoot) return nullptr;
      }
      if (Qualifies(Candidate)) return Candidate;
      Current = Candidate;
    }
  }
  // Children above: the reverse of the post-order walk.
  for (;;) {
    PVastNode Candidate = nullptr;
    if (Current->States.Contains(vsExpanded) && Current == Node) {
      if (DoInit && !GetChildrenInitialized(Current)) InitChildren(Current);
    }
    if (Current->States.Contains(vsExpanded)) {
      Candidate = Current->LastChild;
      while (Candidate) {
        if (DoInit && !Candidate->States.Contains(vsInitialized)) InitNode(Candidate);
        if (Candidate->States.Contains(vsVisible)) break;
        Candidate = Candidate->PrevSibling;
      }
    }
    if (!Candidate) {
      PVastNode Run = Current;
      while (Run != FRoot) {
        Candidate = Run->PrevSibling;
        while (Candidate && !Candidate->States.Contains(vsVisible)) Candidate = Candidate->PrevSibling;
        if (Candidate) break;
        Run = Run->Parent;
      }
      if (!Candidate) return nullptr;
      if (DoInit && !Candidate->States.Contains(vsInitialized)) InitNode(Candidate);
    }
    if (Qualifies(Candidate)) return Candidate;
    Current = Candidate;
  }
}

PVastNode TBaseVastTree::GetPreviousVisible(PVastNode Node, bool ConsiderChildrenAbove) {
  return PreviousVisibleImpl(Node, ConsiderChildrenAbove, true);
}

PVastNode TBaseVastTree::GetPreviousVisibleNoInit(PVastNode Node, bool ConsiderChildrenAbove) {
  return PreviousVisibleImpl(Node, ConsiderChildrenAbove, false);
}

// ---------------------------------------------------------------------------
// Filtered walks: NoInit order, only the result is initialised.

namespace {

template <class Test>
PVastNode WalkForward(TBaseVastTree* Tree, PVastNode Start, bool ChildrenAbove, Test Matches) {
  for (PVastNode Run = Start; Run; Run = Tree->GetNextNoInit(Run, ChildrenAbove))
    if (Matches(Run)) return Run;
  return nullptr;
}

template <class Test>
PVastNode WalkBackward(TBaseVastTree* Tree, PVastNode Start, bool ChildrenAbove, Test Matches) {
  for (PVastNode Run = Start; Run; Run = Tree->GetPreviousNoInit(Run, ChildrenAbove))
    if (Matches(Run)) return Run;
  return nullptr;
}

}  // namespace

PVastNode TBaseVastTree::GetFirstChecked(TCheckState State, bool ConsiderChildrenAbove) {
  return GetNextChecked(nullptr, State, ConsiderChildrenAbove);
}

PVastNode TBaseVastTree::GetNextChecked(PVastNode Node, TCheckState State, bool ConsiderChildrenAbove) {
  PVastNode Start =
      (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove) : GetNextNoInit(Node, ConsiderChildrenAbove);
  PVastNode Result =
      WalkForward(this, Start, ConsiderChildrenAbove, [this, State](PVastNode N) { return GetCheckState(N) == State; });
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetPreviousChecked(PVastNode Node, TCheckState State, bool ConsiderChildrenAbove) {
  PVastNode Start = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                             : GetPreviousNoInit(Node, ConsiderChildrenAbove);
  PVastNode Result = WalkBackward(this, Start, ConsiderChildrenAbove,
                                  [this, State](PVastNode N) { return GetCheckState(N) == State; });
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetFirstSelected(bool ConsiderChildrenAbove) {
  return GetNextSelected(nullptr, ConsiderChildrenAbove);
}

PVastNode TBaseVastTree::GetNextSelected(PVastNode Node, bool ConsiderChildrenAbove) {
  if (FSelectionCount == 0) return nullptr;
  PVastNode Start =
      (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove) : GetNextNoInit(Node, ConsiderChildrenAbove);
  PVastNode Result =
      WalkForward(this, Start, ConsiderChildrenAbove, [](PVastNode N) { return N->States.Contains(vsSelected); });
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

// From nil the walk starts at the tree's last node (the deepest last
// descendant), not at the last top-level node, whose subtree comes after it.
PVastNode TBaseVastTree::GetPreviousSelected(PVastNode Node, bool ConsiderChildrenAbove) {
  if (FSelectionCount == 0) return nullptr;
  PVastNode Start = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                             : GetPreviousNoInit(Node, ConsiderChildrenAbove);
  PVastNode Result =
      WalkBackward(this, Start, ConsiderChildrenAbove, [](PVastNode N) { return N->States.Contains(vsSelected); });
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetFirstCutCopy(bool ConsiderChildrenAbove) {
  return GetNextCutCopy(nullptr, ConsiderChildrenAbove);
}

PVastNode TBaseVastTree::GetNextCutCopy(PVastNode Node, bool ConsiderChildrenAbove) {
  if (!HasState(tsCutPending) && !HasState(tsCopyPending)) return nullptr;
  PVastNode Start =
      (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove) : GetNextNoInit(Node, ConsiderChildrenAbove);
  PVastNode Result =
      WalkForward(this, Start, ConsiderChildrenAbove, [](PVastNode N) { return N->States.Contains(vsCutOrCopy); });
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetPreviousCutCopy(PVastNode Node, bool ConsiderChildrenAbove) {
  if (!HasState(tsCutPending) && !HasState(tsCopyPending)) return nullptr;
  PVastNode Start = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                             : GetPreviousNoInit(Node, ConsiderChildrenAbove);
  PVastNode Result =
      WalkBackward(this, Start, ConsiderChildrenAbove, [](PVastNode N) { return N->States.Contains(vsCutOrCopy); });
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetFirstInitialized(bool ConsiderChildrenAbove) {
  return WalkForward(this, GetFirstNoInit(ConsiderChildrenAbove), ConsiderChildrenAbove,
                     [](PVastNode N) { return N->States.Contains(vsInitialized); });
}

PVastNode TBaseVastTree::GetNextInitialized(PVastNode Node, bool ConsiderChildrenAbove) {
  if (!Node) return nullptr;
  return WalkForward(this, GetNextNoInit(Node, ConsiderChildrenAbove), ConsiderChildrenAbove,
                     [](PVastNode N) { return N->States.Contains(vsInitialized); });
}

PVastNode TBaseVastTree::GetPreviousInitialized(PVastNode Node, bool ConsiderChildrenAbove) {
  if (!Node) return nullptr;
  return WalkBackward(this, GetPreviousNoInit(Node, ConsiderChildrenAbove), ConsiderChildrenAbove,
                      [](PVastNode N) { return N->States.Contains(vsInitialized); });
}

PVastNode TBaseVastTree::GetLastInitialized(PVastNode Node, bool ConsiderChildrenAbove) {
  PVastNode Result = GetLastNoInit(Node, ConsiderChildrenAbove);
  if (Result && !Result->States.Contains(vsInitialized)) Result = GetPreviousInitialized(Result, ConsiderChildrenAbove);
  return Result;
}

PVastNode TBaseVastTree::GetFirstLeaf() {
  PVastNode Result = GetFirst();
  while (Result && Result->States.Contains(vsHasChildren)) Result = GetNext(Result);
  return Result;
}

PVastNode TBaseVastTree::GetNextLeaf(PVastNode Node) {
  if (!Node || Node == FRoot) return GetFirstLeaf();
  PVastNode Result = GetNext(Node);
  while (Result && Result->States.Contains(vsHasChildren)) Result = GetNext(Result);
  return Result;
}

// From nil the walk starts at the tree's last node, as for the other
// backward filters.
PVastNode TBaseVastTree::GetPreviousLeaf(PVastNode Node) {
  PVastNode Result = (!Node || Node == FRoot) ? GetLast(nullptr) : GetPrevious(Node);
  while (Result && Result->States.Contains(vsHasChildren)) Result = GetPrevious(Result);
  return Result;
}

PVastNode TBaseVastTree::GetFirstLevel(Cardinal NodeLevel) {
  PVastNode Result = WalkForward(this, GetFirstNoInit(true), true,
                                 [this, NodeLevel](PVastNode N) { return GetNodeLevel(N) == NodeLevel; });
  if (Result && !Result->States.Contains(vsInitialized)) InitNode(Result);
  return Result;
}

PVastNode TBaseVastTree::GetNextLevel(PVastNode Node, Cardinal NodeLevel) {
  if (!Node || Node == FRoot) return nullptr;
  PVastNode Run;
  if (GetNodeLevel(Node) < NodeLevel) {
    Run = GetNext(Node);
  } else {
    while (GetNodeLevel(Node) > NodeLevel) Node = Node->Parent;
    Run = AfterSubtree(Node, FRoot);
    if (Run && !Run->States.Contains(vsInitialized)) InitNode(Run);
  }
  while (Run) {
    const Cardinal Level = GetNodeLevel(Run);
    if (Level == NodeLevel) return Run;
    Run = GetNext(Run);
  }
  return nullptr;
}

PVastNode TBaseVastTree::GetPreviousLevel(PVastNode Node, Cardinal NodeLevel) {
  if (!Node || Node == FRoot) return nullptr;
  for (PVastNode Run = GetPrevious(Node); Run; Run = GetPrevious(Run))
    if (GetNodeLevel(Run) == NodeLevel) return Run;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Queries

Cardinal TBaseVastTree::GetNodeLevel(PVastNode Node) const {
  if (!Node || Node == FRoot) return 0;
  Cardinal Level = 0;
  for (PVastNode Run = Node->Parent; Run != FRoot; Run = Run->Parent) ++Level;
  return Level;
}

Cardinal TBaseVastTree::AbsoluteIndex(PVastNode Node) {
  Cardinal Result = 0;
  if (!Node || Node == FRoot) return 0;
  while (Node != FRoot) {
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    if (Node->PrevSibling) {
      Node = Node->PrevSibling;
      if (!Node->States.Contains(vsInitialized)) InitNode(Node);
      Result += Node->TotalCount;
    } else {
      Node = Node->Parent;
      if (Node != FRoot) ++Result;
    }
  }
  return Result;
}

bool TBaseVastTree::HasAsParent(PVastNode Node, PVastNode PotentialParent) const {
  if (!Node || !PotentialParent || Node == PotentialParent || Node == FRoot) return false;
  if (PotentialParent == FRoot) return true;
  for (PVastNode Run = Node->Parent; Run != FRoot; Run = Run->Parent)
    if (Run == PotentialParent) return true;
  return false;
}

PVastNode TBaseVastTree::GetVisibleParent(PVastNode Node, bool IncludeFiltered) const {
  if (!Node || Node == FRoot) return FRoot;
  for (PVastNode Run = Node->Parent; Run != FRoot; Run = Run->Parent)
    if (GetFullyVisible(Run) && (IncludeFiltered || !GetEffectivelyFiltered(Run))) return Run;
  return FRoot;
}

TNodeArray TBaseVastTree::GetSortedNodesWith(TVastNodeState State, bool Resolve, std::size_t Limit) {
  TNodeArray Result;
  PVastNode Run = FRoot->FirstChild;
  while (Run && Result.size() < Limit) {
    if (Run->States.Contains(State)) {
      Result.push_back(Run);
      if (Resolve) {
        // The node carries its descendants: go on after its subtree.
        Run = AfterSubtree(Run, FRoot);
        continue;
      }
    }
    Run = GetNextNoInit(Run);
  }
  return Result;
}

TNodeArray TBaseVastTree::GetSortedSelection(bool Resolve) {
  if (FSelectionCount == 0) return TNodeArray{};
  // No more than the selected nodes: the walk stops at the last of them.
  return GetSortedNodesWith(vsSelected, Resolve, static_cast<std::size_t>(FSelectionCount));
}

PVastNode TBaseVastTree::IterateSubtree(PVastNode Node, const TVTGetNodeProc& Callback, void* Data,
                                        TVastNodeStates Filter, bool DoInit, bool ChildNodesOnly) {
  const bool WasIterating = HasState(tsIterating);
  DoStateChange({tsIterating});
  const TScopeExit Leave([this, WasIterating] {
    if (!WasIterating) DoStateChange({}, {tsIterating});
  });

  PVastNode Stop = nullptr;
  PVastNode Run;
  if (Node && Node != FRoot) {
    if (DoInit && !Node->States.Contains(vsInitialized)) InitNode(Node);
    Stop = AfterSubtree(Node, FRoot);
    Run = Node;
  } else {
    Run = GetFirstNoInit();
    if (Run && DoInit && !Run->States.Contains(vsInitialized)) InitNode(Run);
  }
  if (Run && ChildNodesOnly) {
    if (DoInit && !GetChildrenInitialized(Run)) InitChildren(Run);
    Run = Run->FirstChild;
    if (Run && DoInit && !Run->States.Contains(vsInitialized)) InitNode(Run);
  }
  while (Run && Run != Stop) {
    if (Filter.Empty() || Run->States.ContainsAll(Filter)) {
      bool Abort = false;
      Callback(this, Run, Data, Abort);
      if (Abort) return Run;
    }
    Run = DoInit ? GetNext(Run) : GetNextNoInit(Run);
  }
  return nullptr;
}

Integer TBaseVastTree::CompareNodePositions(PVastNode Node1, PVastNode Node2, bool ConsiderChildrenAbove) const {
  if (Node1 == Node2) return 0;
  const bool Above = ChildrenAboveActive(ConsiderChildrenAbove);
  if (HasAsParent(Node1, Node2)) return Above ? -1 : 1;
  if (HasAsParent(Node2, Node1)) return Above ? 1 : -1;
  Cardinal Level1 = GetNodeLevel(Node1), Level2 = GetNodeLevel(Node2);
  while (Level1 > Level2) {
    Node1 = Node1->Parent;
    --Level1;
  }
  while (Level2 > Level1) {
    Node2 = Node2->Parent;
    --Level2;
  }
  while (Node1->Parent != Node2->Parent) {
    Node1 = Node1->Parent;
    Node2 = Node2->Parent;
  }
  if (Node1->Index == Node2->Index) return 0;
  return Node1->Index < Node2->Index ? -1 : 1;
}

bool TBaseVastTree::HasVisibleNextSibling(PVastNode Node) const {
  for (PVastNode Run = Node->NextSibling; Run; Run = Run->NextSibling)
    if (GetEffectivelyVisible(Run)) return true;
  return false;
}

bool TBaseVastTree::HasVisiblePreviousSibling(PVastNode Node) const {
  for (PVastNode Run = Node->PrevSibling; Run; Run = Run->PrevSibling)
    if (GetEffectivelyVisible(Run)) return true;
  return false;
}

bool TBaseVastTree::IsFirstVisibleChild(PVastNode Parent, PVastNode Node) const {
  PVastNode Run = Parent->FirstChild;
  while (Run && !GetEffectivelyVisible(Run)) Run = Run->NextSibling;
  return Run == Node;
}

bool TBaseVastTree::IsLastVisibleChild(PVastNode Parent, PVastNode Node) const {
  PVastNode Run = Parent->LastChild;
  while (Run && !GetEffectivelyVisible(Run)) Run = Run->PrevSibling;
  return Run == Node;
}

// ---------------------------------------------------------------------------
// Enumerations

namespace {

TVTVastNodeEnumeration MakeEnumeration(TVZVastNodeEnumerationMode Mode, TBaseVastTree* Tree) {
  TVTVastNodeEnumeration E;
  E.FMode = Mode;
  E.FTree = Tree;
  return E;
}

}  // namespace

bool TVTVastNodeEnumerator::MoveNext() {
  if (!FCanMoveNext) return false;
  const TVTVastNodeEnumeration& E = *FEnumeration;
  TBaseVastTree* T = E.FTree;
  const bool First = FNode == nullptr;
  switch (E.FMode) {
    case vneAll:
      FNode = First ? T->GetFirst(E.FConsiderChildrenAbove) : T->GetNext(FNode, E.FConsiderChildrenAbove);
      break;
    case vneChecked:
      FNode = First ? T->GetFirstChecked(E.FState, E.FConsiderChildrenAbove)
                    : T->GetNextChecked(FNode, E.FState, E.FConsiderChildrenAbove);
      break;
    case vneChild:
      FNode = First ? T->GetFirstChild(E.FNode) : T->GetNextSibling(FNode);
      break;
    case vneCutCopy:
      FNode = First ? T->GetFirstCutCopy(E.FConsiderChildrenAbove) : T->GetNextCutCopy(FNode, E.FConsiderChildrenAbove);
      break;
    case vneInitialized:
      FNode = First ? T->GetFirstInitialized(E.FConsiderChildrenAbove)
                    : T->GetNextInitialized(FNode, E.FConsiderChildrenAbove);
      break;
    case vneLeaf:
      FNode = First ? T->GetFirstLeaf() : T->GetNextLeaf(FNode);
      break;
    case vneLevel:
      FNode = First ? T->GetFirstLevel(E.FNodeLevel) : T->GetNextLevel(FNode, E.FNodeLevel);
      break;
    case vneNoInit:
      FNode = First ? T->GetFirstNoInit(E.FConsiderChildrenAbove) : T->GetNextNoInit(FNode, E.FConsiderChildrenAbove);
      break;
    case vneSelected:
      FNode =
          First ? T->GetFirstSelected(E.FConsiderChildrenAbove) : T->GetNextSelected(FNode, E.FConsiderChildrenAbove);
      break;
    case vneVisible:
      FNode = First ? T->GetFirstVisible(E.FNode, E.FConsiderChildrenAbove, E.FIncludeFiltered)
                    : T->GetNextVisible(FNode, true);
      break;
    case vneVisibleChild:
      FNode = First ? T->GetFirstVisibleChild(E.FNode, E.FIncludeFiltered)
                    : T->GetNextVisibleSibling(FNode, E.FIncludeFiltered);
      break;
    case vneVisibleNoInitChild:
      FNode = First ? T->GetFirstVisibleChildNoInit(E.FNode, E.FIncludeFiltered)
                    : T->GetNextVisibleSiblingNoInit(FNode, E.FIncludeFiltered);
      break;
    case vneVisibleNoInit:
      FNode = First ? T->GetFirstVisibleNoInit(E.FNode, E.FConsiderChildrenAbove, E.FIncludeFiltered)
                    : T->GetNextVisibleNoInit(FNode, E.FConsiderChildrenAbove);
      break;
  }
  FCanMoveNext = FNode != nullptr;
  return FCanMoveNext;
}

TVTVastNodeEnumeration TBaseVastTree::Nodes(bool ConsiderChildrenAbove) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneAll, this);
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::CheckedNodes(TCheckState State, bool ConsiderChildrenAbove) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneChecked, this);
  E.FState = State;
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::ChildNodes(PVastNode Node) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneChild, this);
  E.FNode = Node;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::CutCopyNodes(bool ConsiderChildrenAbove) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneCutCopy, this);
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::InitializedNodes(bool ConsiderChildrenAbove) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneInitialized, this);
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::LeafNodes() { return MakeEnumeration(vneLeaf, this); }

TVTVastNodeEnumeration TBaseVastTree::LevelNodes(Cardinal NodeLevel) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneLevel, this);
  E.FNodeLevel = NodeLevel;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::NoInitNodes(bool ConsiderChildrenAbove) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneNoInit, this);
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::SelectedNodes(bool ConsiderChildrenAbove) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneSelected, this);
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::VisibleNodes(PVastNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneVisible, this);
  E.FNode = Node;
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  E.FIncludeFiltered = IncludeFiltered;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::VisibleChildNodes(PVastNode Node, bool IncludeFiltered) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneVisibleChild, this);
  E.FNode = Node;
  E.FIncludeFiltered = IncludeFiltered;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::VisibleChildNoInitNodes(PVastNode Node, bool IncludeFiltered) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneVisibleNoInitChild, this);
  E.FNode = Node;
  E.FIncludeFiltered = IncludeFiltered;
  return E;
}

TVTVastNodeEnumeration TBaseVastTree::VisibleNoInitNodes(PVastNode Node, bool ConsiderChildrenAbove,
                                                         bool IncludeFiltered) {
  TVTVastNodeEnumeration E = MakeEnumeration(vneVisibleNoInit, this);
  E.FNode = Node;
  E.FConsiderChildrenAbove = ConsiderChildrenAbove;
  E.FIncludeFiltered = IncludeFiltered;
  return E;
}
