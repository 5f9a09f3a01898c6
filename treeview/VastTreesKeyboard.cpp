// Keyboard: the navigation keys that move the focus, extend the selection
// and scroll, the command keys, the character and key-up handling, and the
// incremental search that typed characters drive.
#include <algorithm>

#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

namespace {

bool IsNavigationKey(Word Key) {
  switch (Key) {
    case vkBack:
    case vkTab:
    case vkPrior:
    case vkNext:
    case vkEnd:
    case vkHome:
    case vkLeft:
    case vkUp:
    case vkRight:
    case vkDown:
      return true;
    default:
      return false;
  }
}

Char UpperAscii(Char C) { return C >= u'a' && C <= u'z' ? static_cast<Char>(C - 32) : C; }

}  // namespace

Word TBaseVastTree::KeypadCodeForChar(Word CharCode, Char Typed) {
  switch (Typed) {
    case u'*':
      return vkMultiply;
    case u'+':
      return vkAdd;
    case u'-':
      return vkSubtract;
    case u'/':
      return vkDivide;
    default:
      return CharCode;
  }
}

void TBaseVastTree::HandleKeyDown(Word CharCode, TShiftState Shift) {
  if (CharCode == 0) return;
  Shift = Shift * TShiftState{ssShift, ssAlt, ssCtrl};
  if (!DoKeyAction(CharCode, Shift)) return;
  if (IsNavigationKey(CharCode) && FRoot->FirstChild)
    HandleNavigationKey(CharCode, Shift);
  else
    HandleCommandKey(CharCode, Shift);
}

bool TBaseVastTree::IsEmptySpannedCell(PVastNode Node, TColumnIndex Column) {
  TVTHeader* H = HeaderObject();
  if (!H || !FOptions->AutoOptions().Contains(toAutoSpanColumns) || !H->UseColumns() || !Node ||
      Column == H->MainColumn() || Column < 0)
    return false;
  return H->Columns().GetPreviousVisibleColumn(Column) >= 0 && !H->Columns()[Column].UseRightToLeftReading() &&
         IsCellEmpty(Node, Column);
}

TColumnIndex TBaseVastTree::ColumnWithSpans(TColumnIndex Column, bool Forward) {
  TVTHeader* H = HeaderObject();
  if (!H) return InvalidColumn;
  TVastTreeColumns& Cols = H->Columns();
  const bool Spans = FOptions->AutoOptions().Contains(toAutoSpanColumns) && H->UseColumns() && FFocusedNode &&
                     Column != H->MainColumn();
  if (!Spans) return Forward ? Cols.GetNextVisibleColumn(Column, true) : Cols.GetPreviousVisibleColumn(Column, true);
  TColumnIndex Result = Column;
  do {
    Result = Forward ? Cols.GetNextVisibleColumn(Result) : Cols.GetPreviousVisibleColumn(Result);
  } while (Result >= 0 && IsEmptySpannedCell(FFocusedNode, Result));
  return Result;
}

void TBaseVastTree::HandleNavigationKey(Word CharCode, TShiftState Shift) {
  TVTHeader* H = HeaderObject();
  const bool UseColumns = H && H->UseColumns();
  const TVTSelectionOptions Sel = FOptions->SelectionOptions();
  const bool MultiSelect = Sel.Contains(toMultiSelect);
  const bool PerformMultiSelect = Shift.Contains(ssShift) && MultiSelect && !IsEditing();
  bool DoRangeSelect = (CharCode == vkPrior || CharCode == vkNext || CharCode == vkEnd || CharCode == vkHome) &&
                       PerformMultiSelect && !IsEditing();
  const bool NeedInvalidate = DoRangeSelect || FSelectionCount > 1;
  const bool ActAsGrid = FOptions->MiscOptions().Contains(toGridExtensions);
  const bool ClearPending = Shift.Empty() || (ActAsGrid && !Shift.Contains(ssShift)) || !MultiSelect ||
                            CharCode == vkBack || CharCode == vkTab;
  PVastNode LastFocused = FFocusedNode;
  if (!LastFocused && !Shift.Empty()) LastFocused = GetFirstVisible(nullptr, true);
  // The events fired on the way (focus, selection, an edit's end) may free
  // the nodes kept here.
  const TNodeWatch WatchLast(*this, LastFocused);
  if (!FRangeAnchor) {
    FRangeAnchor = GetFirstSelected();
    if (!FRangeAnchor) FRangeAnchor = GetFirst();
  }
  const Integer RTLFactor = UseRightToLeftAlignment() ? -1 : 1;
  const Integer CW = ClientWidth(), CH = ClientHeight();
  const Integer ScrollWidth = UseColumns ? H->Columns().GetScrollWidth() : static_cast<Integer>(FIndent);
  const bool CenterIntoView = Sel.Contains(toCenterScrollIntoView);
  const bool NoHorzScroll = FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus);
  bool Stop = false;

  switch (CharCode) {
    case vkHome:
    case vkEnd: {
      const bool HomeKey = (CharCode == vkHome) != UseRightToLeftAlignment();
      PVastNode Target = HomeKey ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true);
      const TNodeWatch WatchTarget(*this, Target);
      if (Shift == TShiftState{ssCtrl} && !ActAsGrid) {
        if (Target) ScrollIntoView(Target, CenterIntoView, !NoHorzScroll);
        if (CharCode == vkHome && !UseRightToLeftAlignment())
          SetOffsetX(0);
        else
          SetOffsetX(-2147483647);
        break;
      }
      TColumnIndex Column = NoColumn;
      if (UseColumns) {
        TVastTreeColumns& Cols = H->Columns();
        Column = HomeKey ? Cols.GetFirstVisibleColumn() : Cols.GetLastVisibleColumn();
        while (Column >= 0 && !DoFocusChanging(FFocusedNode, Target, FFocusedColumn, Column))
          Column = HomeKey ? Cols.GetNextVisibleColumn(Column) : Cols.GetPreviousVisibleColumn(Column);
        if (Column == InvalidColumn || !Target) break;
      }
      if (!ActAsGrid || Shift.Contains(ssCtrl) || Sel.Contains(toFullRowSelect)) {
        SetFocusedNode(Target);
      } else {
        SetFocusedColumn(Column);
        if (!HomeKey && IsEmptySpannedCell(FFocusedNode, FFocusedColumn)) {
          const TColumnIndex Previous = ColumnWithSpans(FFocusedColumn, false);
          if (Previous >= 0) SetFocusedColumn(Previous);
        }
      }
      break;
    }
    case vkPrior:
    case vkNext: {
      const bool Up = CharCode == vkPrior;
      if (Shift == TShiftState{ssShift, ssCtrl}) {
        SetOffsetX(FOffsetX + (Up ? CW : -CW));
      } else if (Shift == TShiftState{ssShift, ssAlt}) {
        if (!UseColumns) break;
        TVastTreeColumns& Cols = H->Columns();
        if (FFocusedColumn < 0) {
          SetFocusedColumn(Cols.GetFirstVisibleColumn());
          break;
        }
        Integer W = Cols.GetVisibleFixedWidth();
        TColumnIndex C = FFocusedColumn;
        for (;;) {
          const TColumnIndex P = Up ? Cols.GetPreviousVisibleColumn(C) : Cols.GetNextVisibleColumn(C);
          if (P < 0 || CW <= W + Cols[C].Width() || Cols[P].Options().Contains(coFixed)) break;
          W += Cols[C].Width();
          C = P;
        }
        SetFocusedColumn(C);
      } else if (Shift.Contains(ssCtrl)) {
        SetOffsetY(FOffsetY + (Up ? CH : -CH));
      } else {
        if (!FFocusedNode) {
          SetFocusedNode(Up ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true));
          break;
        }
        PVastNode N = FFocusedNode;
        Integer S = 0;
        for (;;) {
          PVastNode M = Up ? GetPreviousVisible(N, true) : GetNextVisible(N, true);
          if (!M || CH <= S + static_cast<Integer>(N->NodeHeight)) break;
          if (Up) {
            N = M;
            S += static_cast<Integer>(M->NodeHeight);
          } else {
            S += static_cast<Integer>(N->NodeHeight);
            N = M;
          }
        }
        SetFocusedNode(N);
      }
      break;
    }
    case vkUp:
    case vkDown: {
      const bool Up = CharCode == vkUp;
      if (Shift.Contains(ssCtrl)) {
        SetOffsetY(FOffsetY + (Up ? 1 : -1) * static_cast<Integer>(FDefaultNodeHeight));
        break;
      }
      PVastNode Target;
      if (Up)
        Target = FFocusedNode ? GetPreviousVisible(FFocusedNode, true) : GetLastVisible(nullptr, true);
      else
        Target = FFocusedNode ? GetNextVisible(FFocusedNode, true) : GetFirstVisible(nullptr, true);
      if (!Target) {
        if (FFocusedNode) InvalidateNode(FFocusedNode);
        break;
      }
      const TNodeWatch WatchTarget(*this, Target);
      if (!EndEditNode() || !Target) {
        Stop = true;
        break;
      }
      const Integer Order = LastFocused ? CompareNodePositions(LastFocused, Target, true) : 0;
      if ((!PerformMultiSelect || (Up ? Order < -1 : Order > 1)) && FFocusedNode) ClearSelection(false);
      if (!Target) {
        Stop = true;
        break;
      }
      if (FFocusedColumn <= NoColumn && H) FFocusedColumn = H->MainColumn();
      SetFocusedNode(Target);
      break;
    }
    case vkLeft:
    case vkRight: {
      const bool Left = CharCode == vkLeft;
      if (Shift.Contains(ssCtrl)) {
        SetOffsetX(FOffsetX + (Left ? 1 : -1) * RTLFactor * ScrollWidth);
        break;
      }
      if (Sel.Contains(toExtendedFocus) && ActAsGrid) {
        const TColumnIndex Column = ColumnWithSpans(FFocusedColumn, !Left);
        if (Column > NoColumn) SetFocusedColumn(Column);
        break;
      }
      if (!FFocusedNode) {
        SetFocusedNode(GetFirstVisible(nullptr, true));
        break;
      }
      const bool Expanded = FFocusedNode->States.Contains(vsExpanded);
      const bool HasChildren = FFocusedNode->States.Contains(vsHasChildren);
      if (Left) {
        if (Expanded && HasChildren && Shift.Empty()) {
          ToggleNode(FFocusedNode);
        } else if (FFocusedNode->Parent != FRoot) {
          if (PerformMultiSelect) {
            if (FFocusedNode->Index > 0)
              DoRangeSelect = true;
            else if (FRangeAnchor && CompareNodePositions(FFocusedNode->Parent, FRangeAnchor) > 0)
              RemoveFromSelection(FFocusedNode);
          }
          SetFocusedNode(FFocusedNode->Parent);
        } else {
          SetOffsetX(FOffsetX + RTLFactor * ScrollWidth);
        }
      } else {
        if (!Expanded && HasChildren && Shift.Empty()) {
          ToggleNode(FFocusedNode);
        } else {
          PVastNode Child = GetFirstVisibleChild(FFocusedNode);
          if (Child) {
            if (PerformMultiSelect && FRangeAnchor && CompareNodePositions(Child, FRangeAnchor) < 0)
              RemoveFromSelection(FFocusedNode);
            SetFocusedNode(Child);
          } else {
            SetOffsetX(FOffsetX - RTLFactor * ScrollWidth);
          }
        }
      }
      break;
    }
    case vkBack:
      if (HasState(tsIncrementalSearching))
        DoStateChange({tsIncrementalSearchPending});
      else if (FFocusedNode && FFocusedNode->Parent != FRoot)
        SetFocusedNode(FFocusedNode->Parent);
      break;
    case vkTab: {
      if (!Sel.Contains(toExtendedFocus) || !UseColumns) break;
      TVastTreeColumns& Cols = H->Columns();
      const bool Back = Shift.Contains(ssShift);
      PVastNode Node = FFocusedNode;
      const TNodeWatch WatchNode(*this, Node);
      TColumnIndex Column =
          Back ? Cols.GetPreviousVisibleColumn(FFocusedColumn, true) : Cols.GetNextVisibleColumn(FFocusedColumn, true);
      while (Node) {
        while (Column >= 0 &&
               (!DoFocusChanging(FFocusedNode, Node, FFocusedColumn, Column) || IsEmptySpannedCell(Node, Column)))
          Column = Back ? Cols.GetPreviousVisibleColumn(Column, true) : Cols.GetNextVisibleColumn(Column, true);
        if (Column >= 0) {
          FocusNodeAndColumn(Node, Column);
          break;
        }
        Node = Back ? GetPreviousVisible(Node, true) : GetNextVisible(Node, true);
        Column = Back ? Cols.GetLastVisibleColumn() : Cols.GetFirstVisibleColumn();
        if (Node && Column >= 0 && Cols.IsValidColumn(Column) && Cols[Column].Options().Contains(coAllowFocus)) {
          FocusNodeAndColumn(Node, Column);
          break;
        }
      }
      break;
    }
    default:
      break;
  }
  if (Stop) return;

  bool ForceSelection = false;
  if (ClearPending && (FFocusedNode != LastFocused || FSelectionCount != 1)) {
    ClearSelection(FFocusedNode == nullptr);
    ForceSelection = true;
  }
  if (Shift.Empty()) {
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = GetNodeLevelForSelectConstraint(FFocusedNode);
  }
  if (FFocusedNode) {
    if (DoRangeSelect) {
      ToggleRangeSelection(LastFocused, FFocusedNode);
    } else if (FFocusedNode != LastFocused) {
      if (ForceSelection)
        AddToSelection(FFocusedNode, false);
      else
        ToggleRangeSelection(LastFocused, FFocusedNode);
    }
  }
  if (NeedInvalidate) Invalidate();
}

void TBaseVastTree::HandleCommandKey(Word CharCode, TShiftState Shift) {
  CharCode = KeypadCodeForChar(CharCode, CharForKey(CharCode));
  const bool Searching = HasState(tsIncrementalSearching);
  TVTHeader* H = HeaderObject();
  switch (CharCode) {
    case vkMultiply:
      if (Searching)
        DoStateChange({tsIncrementalSearchPending});
      else if (FFocusedNode)
        FullExpand(FFocusedNode);
      break;
    case vkAdd:
      if (Searching) break;
      if (Shift.Contains(ssCtrl)) {
        const bool Reverse = FOptions->MiscOptions().Contains(toReverseFullExpandHotKey);
        if ((Reverse && Shift == TShiftState{ssCtrl}) != (Shift == TShiftState{ssShift, ssCtrl}))
          FullExpand();
        else if (Shift == TShiftState{ssCtrl} && H)
          H->AutoFitColumns(true, smaUseColumnOption, NoColumn, NoColumn);
      } else if (Shift.Empty()) {
        if (FFocusedNode && !FFocusedNode->States.Contains(vsExpanded)) ToggleNode(FFocusedNode);
      } else {
        DoStateChange({tsIncrementalSearchPending});
      }
      break;
    case vkSubtract:
      if (Searching) {
        DoStateChange({tsIncrementalSearchPending});
      } else if (Shift.Contains(ssCtrl)) {
        if (FOptions->MiscOptions().Contains(toReverseFullExpandHotKey) != Shift.Contains(ssShift))
          FullCollapse();
        else if (H)
          H->RestoreColumns();
      } else if (FFocusedNode && FFocusedNode->States.Contains(vsExpanded)) {
        ToggleNode(FFocusedNode);
      }
      break;
    case vkDivide:
      if (Searching)
        DoStateChange({tsIncrementalSearchPending});
      else if (FFocusedNode)
        FullCollapse(FFocusedNode);
      break;
    case 65:
    case 97:
      if (Shift.Contains(ssCtrl))
        SelectAll(true);
      else
        DoStateChange({tsIncrementalSearchPending});
      break;
    case vkEscape:
      if (IsMouseSelecting()) {
        DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
        Invalidate();
      } else if (IsEditing()) {
        CancelEditNode();
      }
      break;
    case vkSpace:
      if (FOptions->MiscOptions().Contains(toCheckSupport) && FFocusedNode && FFocusedNode->CheckType != ctNone) {
        TCheckState NewState = NextCheckState(FFocusedNode->CheckType, GetCheckState(FFocusedNode));
        if (DoChecking(FFocusedNode, NewState)) {
          if (FSelectionCount > 1)
            SetCheckStateForAll(NewState, true, true);
          else
            DoCheckClick(FFocusedNode, NewState);
        }
      } else {
        DoStateChange({tsIncrementalSearchPending});
      }
      break;
    case vkApps:
      if (FFocusedNode) {
        const TRect R = GetDisplayRect(FFocusedNode, FFocusedColumn, true, false);
        Integer W = DoGetNodeWidth(FFocusedNode, FFocusedColumn);
        if (FFocusedColumn >= 0 && H && H->Columns().IsValidColumn(FFocusedColumn))
          W = std::min(W, H->Columns()[FFocusedColumn].Width());
        else
          W = std::min(W, ClientWidth());
        DoShowPopupMenu(FFocusedNode, FFocusedColumn, TPoint{R.Left + W / 2, (R.Top + R.Bottom) / 2});
      } else {
        DoShowPopupMenu(nullptr, FFocusedColumn, TPoint{-1, -1});
      }
      break;
    case vkF1:
      DoHelpKey();
      break;
    case vkF2:
      if (Shift.Empty() && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
        FEditColumn = FFocusedColumn;
        DoStartEdit();
      }
      break;
    default:
      if ((Shift.Contains(ssAlt) == Shift.Contains(ssCtrl)) && CharCode >= 32)
        DoStateChange({tsIncrementalSearchPending});
      break;
  }
}

void TBaseVastTree::HandleChar(Word CharCode) {
  if (HasState(tsIncrementalSearchPending)) {
    IncrementalSearchKey(CharCode);
    DoStateChange({}, {tsIncrementalSearchPending});
  }
}

void TBaseVastTree::HandleKeyUp(Word CharCode) {
  if (CharCode != vkTab || FFocusedNode) return;
  PVastNode Node = GetFirstSelected();
  if (!Node) Node = GetFirstVisible(nullptr, true);
  if (Node) SetFocusedNode(Node);
}

// ---------------------------------------------------------------------------
// Incremental search

void TBaseVastTree::SetIncrementalSearch(TVTIncrementalSearch Value) {
  if (Value == FIncrementalSearch) return;
  FIncrementalSearch = Value;
  if (Value == isNone) {
    FHost->KillTimer(SearchTimer);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
  }
}

void TBaseVastTree::IncrementalSearchKey(Word CharCode) {
  FHost->KillTimer(SearchTimer);
  if (FIncrementalSearch == isNone) return;
  if (CharCode != 0) {
    DoStateChange({tsIncrementalSearching});
    const bool Backspace = CharCode == 8;
    if (!(Backspace && FSearchBuffer.empty())) {
      PVastNode Start = nullptr;
      if (FSearchStart == ssFocusedNode)
        Start = FFocusedNode;
      else if (FSearchStart == ssLastHit)
        Start = FLastSearchNode;
      if (Start && FIncrementalSearch == isInitializedOnly && !Start->States.Contains(vsInitialized)) Start = nullptr;
      if (Start && FIncrementalSearch == isVisibleOnly && (!GetFullyVisible(Start) || GetEffectivelyFiltered(Start)))
        Start = nullptr;
      PVastNode Stop = Start;
      const bool Forward = (FSearchDirection == sdForward) != Backspace;
      const Char Typed = static_cast<Char>(CharCode);
      const bool Cycle = FSearchBuffer.size() == 1 && !Backspace && UpperAscii(FSearchBuffer[0]) == UpperAscii(Typed) &&
                         !(Start && DoIncrementalSearch(Start, FSearchBuffer + Typed) == 0);

      auto Next = [&](PVastNode N) -> PVastNode {
        switch (FIncrementalSearch) {
          case isInitializedOnly:
            return Forward ? GetNextNoInit(N) : GetPreviousNoInit(N);
          case isVisibleOnly:
            return Forward ? GetNextVisible(N, true) : GetPreviousVisible(N, true);
          default:
            return Forward ? GetNext(N) : GetPrevious(N);
        }
      };
      auto First = [&]() -> PVastNode {
        switch (FIncrementalSearch) {
          case isInitializedOnly:
            return Forward ? GetFirstNoInit() : GetLastNoInit();
          case isVisibleOnly:
            return Forward ? GetFirstVisible(nullptr, true) : GetLastVisible(nullptr, true);
          default:
            return Forward ? GetFirst() : GetLast();
        }
      };

      PVastNode Run;
      if (!Start) {
        Run = First();
      } else if (FSearchBuffer.empty() || Cycle || Backspace) {
        Run = Next(Start);
        if (!Run) Run = First();
      } else {
        Run = Start;
      }
      String SearchText;
      if (Cycle) {
        SearchText = FSearchBuffer;
      } else if (Backspace) {
        FSearchBuffer.pop_back();
        SearchText = FSearchBuffer;
      } else {
        SearchText = FSearchBuffer + Typed;
      }

      PVastNode Found = nullptr;
      const bool BeganAtStart = Run == Start;
      bool FirstCandidate = true;
      while (Run) {
        if (!FirstCandidate && Run == Stop) {
          // Back at the start: it is a candidate only if the walk began after it.
          if (!BeganAtStart && DoIncrementalSearch(Run, SearchText) == 0) Found = Run;
          break;
        }
        FirstCandidate = false;
        if (DoIncrementalSearch(Run, SearchText) == 0) {
          Found = Run;
          break;
        }
        PVastNode After = Next(Run);
        if (!After) {
          // Without a start node the walk ends at the last node.
          if (!Start) break;
          After = First();
        }
        Run = After;
      }
      if (Found) {
        ClearSelection();
        FSearchBuffer = SearchText;
        FLastSearchNode = Found;
        SetFocusedNode(Found);
        SetSelected(Found, true);
      } else {
        FHost->Beep();
      }
    }
  }
  FHost->SetTimer(SearchTimer, FSearchTimeout);
}

void TBaseVastTree::DoHelpKey() {
  if (!OnGetHelpContext) return;
  Integer Context = 0;
  const TColumnIndex Column = FFocusedColumn < 0 ? 0 : FFocusedColumn;
  for (PVastNode Node = FFocusedNode; Node && Node != FRoot && Context == 0; Node = Node->Parent)
    OnGetHelpContext(this, Node, Column, Context);
  if (Context == 0) Context = HelpContextOfControl();
  if (Context != 0) ShowHelp(Context);
}
