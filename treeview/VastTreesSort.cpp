// Sorting siblings through the owner's comparison.
#include <vector>

#include "rtl/ScopeExit.h"
#include "treeview/VastTrees.h"

namespace {

// Stable top-down merge sort of Items[Lo, Lo + Count) with the split and
// merge order of the sibling-chain sort: the first Count div 2 items, then
// the rest; on a tie the earlier run wins. Works on a copy of the chain so
// that a raising comparison leaves the chain itself untouched.
class TSiblingSorter {
public:
  TSiblingSorter(std::vector<PVastNode>& Items, const std::function<Integer(PVastNode, PVastNode)>& Compare,
                 bool Descending)
      : FItems(Items), FBuffer(Items.size()), FCompare(Compare), FDescending(Descending) {}

  void Sort(std::size_t Lo, std::size_t Count) {
    if (Count < 2) return;
    const std::size_t Half = Count / 2;
    Sort(Lo, Half);
    Sort(Lo + Half, Count - Half);
    Merge(Lo, Half, Count);
  }

private:
  void Merge(std::size_t Lo, std::size_t Half, std::size_t Count) {
    std::size_t A = Lo, B = Lo + Half, Out = 0;
    const std::size_t AEnd = Lo + Half, BEnd = Lo + Count;
    while (A < AEnd && B < BEnd) {
      const Integer Result = FCompare(FItems[A], FItems[B]);
      const bool TakeB = FDescending ? Result < 0 : Result > 0;
      FBuffer[Out++] = TakeB ? FItems[B++] : FItems[A++];
    }
    while (A < AEnd) FBuffer[Out++] = FItems[A++];
    while (B < BEnd) FBuffer[Out++] = FItems[B++];
    for (std::size_t I = 0; I < Count; ++I) FItems[Lo + I] = FBuffer[I];
  }

  std::vector<PVastNode>& FItems;
  std::vector<PVastNode> FBuffer;
  const std::function<Integer(PVastNode, PVastNode)>& FCompare;
  bool FDescending;
};

}  // namespace

void TBaseVastTree::SortChildren(PVastNode Node, TColumnIndex Column, TSortDirection Direction) {
  std::vector<PVastNode> Items;
  Items.reserve(Node->ChildCount);
  for (PVastNode Run = Node->FirstChild; Run; Run = Run->NextSibling) Items.push_back(Run);
  // Once cancelled, every remaining comparison counts as equal.
  const std::function<Integer(PVastNode, PVastNode)> Compare = [this, Column](PVastNode A, PVastNode B) {
    return OperationCanceled() ? 0 : DoCompare(A, B, Column);
  };
  TSiblingSorter(Items, Compare, Direction == sdDescending).Sort(0, Items.size());

  // Relink once, after every comparison succeeded.
  PVastNode Previous = nullptr;
  Cardinal Index = 0;
  for (PVastNode Run : Items) {
    Run->PrevSibling = Previous;
    Run->Index = Index++;
    if (Previous)
      Previous->NextSibling = Run;
    else
      Node->FirstChild = Run;
    Previous = Run;
  }
  if (Previous) Previous->NextSibling = nullptr;
  Node->LastChild = Previous;
}

void TBaseVastTree::Sort(PVastNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit) {
  StopCacheValidation();
  if (HasState(tsEditPending)) {
    FHost->KillTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
  }
  if (HasState(tsEditing) && !DoEndEdit()) return;
  if (!Node) Node = FRoot;
  if (!Node->States.Contains(vsHasChildren)) return;
  if (DoInit) {
    if (Node->ChildCount == 0)
      InitChildren(Node);
    else
      ValidateChildren(Node, false);
  }
  if (Node->ChildCount > 1) {
    {
      BeginOperation(okSortNode);
      const TScopeExit Ended([this] { EndOperation(okSortNode); });
      SortChildren(Node, Column, Direction);
    }
    InvalidateCache();
  }
  if (FUpdateCount == 0) {
    ValidateCache();
    Invalidate();
  }
}

void TBaseVastTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
  if (FRoot->TotalCount <= 2) return;
  ++FUpdateCount;
  const TScopeExit Settle([this] {
    InvalidateCache();
    if (--FUpdateCount == 0) {
      ValidateCache();
      Invalidate();
    }
  });
  if (Column < NoColumn) return;
  const bool AutoSort = FOptions->AutoOptions().Contains(toAutoSort);
  BeginOperation(okSortTree);
  const TScopeExit Ended([this] { EndOperation(okSortTree); });
  // Iterative: a tree may be far deeper than the stack allows recursion. A
  // node is sorted before its children are visited.
  Sort(FRoot, Column, Direction, DoInit);
  PVastNode Run = FRoot->FirstChild;
  while (Run && !OperationCanceled()) {
    if (DoInit && !Run->States.Contains(vsInitialized)) InitNode(Run);
    if (Run->States.Contains(vsInitialized) && !(AutoSort && !Run->States.Contains(vsExpanded))) {
      Sort(Run, Column, Direction, DoInit);
      if (Run->FirstChild) {
        Run = Run->FirstChild;
        continue;
      }
    }
    while (Run != FRoot && !Run->NextSibling) Run = Run->Parent;
    Run = Run == FRoot ? nullptr : Run->NextSibling;
  }
}
