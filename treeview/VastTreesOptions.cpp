// Option sets and the tree's simple properties.
#include "rtl/UpdateGuard.h"
#include "treeview/VastTrees.h"

TCustomVastTreeOptions::TCustomVastTreeOptions(TBaseVastTree* AOwner) : FOwner(AOwner) {}

void TCustomVastTreeOptions::SetPaintOptions(TVTPaintOptions Value) {
  if (Value.Contains(toFixedIndent) && !FPaintOptions.Contains(toFixedIndent)) Value.Include(toShowRoot);
  if (Value == FPaintOptions) return;
  const TVTPaintOptions Old = FPaintOptions;
  FPaintOptions = Value;
  FOwner->PaintOptionsChanged(Old, Value);
}

void TCustomVastTreeOptions::SetAnimationOptions(TVTAnimationOptions Value) { FAnimationOptions = Value; }

void TCustomVastTreeOptions::SetAutoOptions(TVTAutoOptions Value) {
  if (Value == FAutoOptions) return;
  const TVTAutoOptions Old = FAutoOptions;
  FAutoOptions = Value;
  FOwner->AutoOptionsChanged(Old, Value);
}

void TCustomVastTreeOptions::SetSelectionOptions(TVTSelectionOptions Value) {
  if (Value == FSelectionOptions) return;
  const TVTSelectionOptions Old = FSelectionOptions;
  FSelectionOptions = Value;
  FOwner->SelectionOptionsChanged(Old, Value);
}

void TCustomVastTreeOptions::SetMiscOptions(TVTMiscOptions Value) {
  if (Value == FMiscOptions) return;
  const TVTMiscOptions Old = FMiscOptions;
  if (FOwner->FHost->HasWindow() && !FOwner->Loading() && Value.Contains(toEditOnDblClick) &&
      !Old.Contains(toEditOnDblClick))
    Value.Exclude(toToggleOnDblClick);
  FMiscOptions = Value;
  FOwner->MiscOptionsChanged(Old, Value);
}

void TCustomVastTreeOptions::AssignTo(TCustomVastTreeOptions& Dest) const {
  Dest.SetPaintOptions(FPaintOptions);
  Dest.SetAnimationOptions(FAnimationOptions);
  Dest.SetAutoOptions(FAutoOptions);
  Dest.SetSelectionOptions(FSelectionOptions);
  Dest.SetMiscOptions(FMiscOptions);
}

void TBaseVastTree::PaintOptionsChanged(TVTPaintOptions Old, TVTPaintOptions New) {
  if (Old.Contains(toShowFilteredNodes) != New.Contains(toShowFilteredNodes) && !Loading()) {
    const TUpdateGuard<TBaseVastTree> Update(*this, FHost->HasWindow());
    StopCacheValidation();
    const bool Show = New.Contains(toShowFilteredNodes);
    for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run)) {
      if (!Run->States.Contains(vsFiltered)) continue;
      AdjustTotalHeight(Run, Show ? Run->NodeHeight : -static_cast<Integer>(Run->NodeHeight), true);
      if (GetFullyVisible(Run)) {
        if (Show)
          ++FVisibleCount;
        else
          --FVisibleCount;
      }
    }
    InvalidateCache();
  }
  if (Old.Contains(toChildrenAbove) != New.Contains(toChildrenAbove)) {
    InvalidateCache();
    if (FUpdateCount == 0) ValidateCache();
  }
  if (!Loading()) Invalidate();
}

void TBaseVastTree::AutoOptionsChanged(TVTAutoOptions Old, TVTAutoOptions New) {
  if (Old.Contains(toAutoSpanColumns) != New.Contains(toAutoSpanColumns) && !Loading()) Invalidate();
}

void TBaseVastTree::SelectionOptionsChanged(TVTSelectionOptions Old, TVTSelectionOptions New) {
  if (Old.Contains(toMultiSelect) != New.Contains(toMultiSelect) ||
      (New.Contains(toLevelSelectConstraint) && !Old.Contains(toLevelSelectConstraint)) ||
      (New.Contains(toSiblingSelectConstraint) && !Old.Contains(toSiblingSelectConstraint)))
    ClearSelection(true);
  if (!New.Contains(toExtendedFocus)) {
    if (Old.Contains(toExtendedFocus) && FFocusedColumn > 0) Invalidate();
    FFocusedColumn = FHeader->MainColumn();
  }
}

void TBaseVastTree::MiscOptionsChanged(TVTMiscOptions Old, TVTMiscOptions New) {
  if (Loading() || !FHost->HasWindow()) return;
  if (Old.Contains(toCheckSupport) != New.Contains(toCheckSupport)) Invalidate();
  if (New.Contains(toVariableNodeHeight) && !Old.Contains(toVariableNodeHeight)) {
    TUpdateGuard Update(*this);
    ReinitNode(nullptr, true);
  }
}

void TBaseVastTree::SetIndent(Cardinal Value) {
  if (FIndent == Value) return;
  FIndent = Value;
  if (!Loading() && FUpdateCount == 0 && FHost->HasWindow()) {
    UpdateScrollBars(true);
    Invalidate();
  }
}

void TBaseVastTree::SetMargin(Integer Value) {
  if (FMargin == Value) return;
  FMargin = Value;
  if (!Loading() && FHost->HasWindow()) Invalidate();
}

void TBaseVastTree::SetTextMargin(Integer Value) {
  if (FTextMargin == Value) return;
  FTextMargin = Value;
  if (!Loading()) Invalidate();
}

void TBaseVastTree::SetEmptyListMessage(const String& Value) {
  if (FEmptyListMessage == Value) return;
  FEmptyListMessage = Value;
  Invalidate();
}

void TBaseVastTree::SetOptionsObject(std::unique_ptr<TCustomVastTreeOptions> Value) {
  if (!Value) return;
  FOptions->AssignTo(*Value);
  FOptions = std::move(Value);
}

TVastTreeOptionsClass TBaseVastTree::OptionsClass() const {
  return &TCustomVastTreeOptions::Make<TCustomVastTreeOptions>;
}

void TBaseVastTree::ApplyPartClasses() {
  const TVastTreeOptionsClass Class = OptionsClass();
  if (Class == FOptionsClass) return;
  SetOptionsObject(Class(this));
  FOptionsClass = Class;
}

void TBaseVastTree::Assign(const TBaseVastTree& Source) {
  if (&Source == this || ReadOnly()) return;
  SetAutoScrollDelay(Source.FAutoScrollDelay);
  SetAutoScrollInterval(Source.FAutoScrollInterval);
  FChangeDelay = Source.FChangeDelay;
  SetCheckImageKind(Source.FCheckImageKind);
  FColors->Assign(*Source.FColors);
  SetDefaultNodeHeight(Source.FDefaultNodeHeight);
  FDefaultPasteMode = Source.FDefaultPasteMode;
  SetDragImageKind(Source.FDragImageKind);
  SetHintMode(Source.FHintMode);
  SetIndent(Source.FIndent);
  SetMargin(Source.FMargin);
  SetNodeAlignment(Source.FNodeAlignment);
  SetNodeDataSize(Source.FNodeDataSize);
  Source.FOptions->AssignTo(*FOptions);
  SetRootNodeCount(Source.FRoot->ChildCount);
  FScrollBarOptions->Assign(*Source.FScrollBarOptions);
  SetSelectionCurveRadius(Source.FSelectionCurveRadius);
  SetSelectionBlendFactor(Source.FSelectionBlendFactor);
  SetEmptyListMessage(Source.FEmptyListMessage);
  SetTextMargin(Source.FTextMargin);
  FAnimationDuration = Source.FAnimationDuration;
  FAutoExpandDelay = Source.FAutoExpandDelay;
  FEditDelay = Source.FEditDelay;
}
