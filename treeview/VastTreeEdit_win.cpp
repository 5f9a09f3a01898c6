#include "treeview/VastTreeEdit_win.h"

#include <algorithm>

#include "vcl/Messages.h"

// ---------------------------------------------------------------------------
// TVTEdit

TVTEdit::TVTEdit(TStringEditLink* Link) : TCustomEdit(nullptr), FLink(Link) {
  SetVisible(false);
  SetShowHint(false);
}

void TVTEdit::Release() {
  if (HandleAllocated())
    PostMessageW(Handle(), CM_RELEASE, 0, 0);
  else
    delete this;
}

void TVTEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= WS_BORDER | ES_AUTOHSCROLL;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TVTEdit::MeasureEditText(TSize& Size) {
  HDC DC = GetDC(Handle());
  HGDIOBJ Old = SelectObject(DC, Font()->Handle());
  const String Text = this->Text() + u"yG";
  SIZE S{};
  GetTextExtentPoint32W(DC, reinterpret_cast<LPCWSTR>(Text.c_str()), static_cast<int>(Text.size()), &S);
  SelectObject(DC, Old);
  ReleaseDC(Handle(), DC);
  Size = TSize{S.cx, S.cy};
}

Integer TVTEdit::RequiredHeight() {
  TSize Size;
  MeasureEditText(Size);
  return Height() - ClientHeight() + Size.cy + static_cast<Integer>(Size.cy * 0.05);
}

void TVTEdit::FitToText() {
  if (!FLink || !FLink->FTree || !HandleAllocated()) return;
  TVastTreeControl* Tree = FLink->FTree;
  if (Tree->GetMultiline(FLink->FNode) || Tree->TreeOptions().MiscOptions().Contains(toGridExtensions)) return;
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  TSize Size;
  MeasureEditText(Size);
  const LRESULT Margins = SendMessageW(Handle(), EM_GETMARGINS, 0, 0);
  const Integer W = Size.cx + 2 * Tree->TextMargin() + (Width() - ClientWidth()) + LOWORD(Margins) + HIWORD(Margins);
  if (W < Width()) Tree->InvalidateAll();
  TRect R{Left(), Top(), Left() + Width(), Top() + std::max(Height(), Size.cy)};
  if (FLink->FAlignment == taRightJustify)
    R.Left = R.Right - W;
  else
    R.Right = R.Left + W;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  FLink->SetBounds(R);
  // Typing into the narrower edit scrolled its text; the wider one shows
  // it from the start again.
  DWORD Start = 0, End = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  SendMessageW(Handle(), EM_SETSEL, 0, 0);
  SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
  SendMessageW(Handle(), EM_SETSEL, Start, End);
  SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
}

void TVTEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_RELEASE:
      delete this;  // nothing of the object may be touched after this
      return;
    case WM_GETDLGCODE:
      TCustomEdit::WndProc(Message);
      Message.Result |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
      return;
    case WM_CHAR:
      // Tab, Escape and Enter act on key-down; the edit must not beep.
      if (Message.WParam == VK_TAB || Message.WParam == VK_ESCAPE || Message.WParam == VK_RETURN) return;
      TCustomEdit::WndProc(Message);
      FitToText();
      return;
    case WM_KILLFOCUS:
      TCustomEdit::WndProc(Message);
      if (FLink && !FLink->FStopping && FLink->FTree) {
        TVastTreeControl* Tree = FLink->FTree;
        if (Tree->StringOptions().Contains(toAutoAcceptEditChange))
          Tree->DoEndEdit();
        else
          Tree->DoCancelEdit();
      }
      return;
    case WM_DESTROY:
      if (FLink && !FLink->FStopping && FLink->FTree) {
        if (FLink->FTree->StringOptions().Contains(toAutoAcceptEditChange) && Modified())
          FLink->FTree->TCustomVastStringTree::SetText(FLink->FNode, FLink->FColumn, Text());
        FLink->FEdit = nullptr;
        FLink = nullptr;
      }
      TCustomEdit::WndProc(Message);
      return;
    case WM_KEYDOWN: {
      if (!FLink || !FLink->FTree) break;
      TVastTreeControl* Tree = FLink->FTree;  // the link may go during the calls below
      const bool Ctrl = GetKeyState(VK_CONTROL) < 0, Shift = GetKeyState(VK_SHIFT) < 0;
      switch (Message.WParam) {
        case VK_ESCAPE:
          Tree->DoCancelEdit();
          return;
        case VK_RETURN: {
          PVastNode Node = FLink->FNode;
          if (Tree->GetMultiline(Node) && !Ctrl) break;
          Tree->InvalidateNode(Node);
          PVastNode Next = Tree->GetNextVisible(Node, true);
          Tree->DoEndEdit();
          TVTEditOptions Mode = Tree->TreeOptions().EditOptions();
          TVTHeader& H = Tree->Header();
          const TColumnIndex Focused = Tree->FocusedColumn();
          TColumnIndex NextColumn = NoColumn;
          if (Focused >= 0 && Focused < H.Columns().Count()) {
            if (H.Columns()[Focused].EditOptions() != toDefaultEdit) Mode = H.Columns()[Focused].EditOptions();
            NextColumn = H.Columns()[Focused].EditNextColumn();
          }
          if (Mode == toVerticalEdit && Next) {
            Tree->SetFocusedNode(Next);
            if (NextColumn != NoColumn) Tree->SetFocusedColumn(NextColumn);
            if (Tree->CanEdit(Tree->FocusedNode(), Tree->FocusedColumn())) {
              Tree->SetEditColumn(Tree->FocusedColumn());
              Tree->DoStartEdit();
            }
          } else if (Mode == toHorizontalEdit) {
            TColumnIndex Column = NoColumn;
            if (NextColumn == NoColumn) {
              for (TColumnIndex C = Focused + 1; C < H.Columns().Count(); ++C)
                if (Tree->CanEdit(Tree->FocusedNode(), C)) {
                  Column = C;
                  break;
                }
            } else if (Tree->CanEdit(Tree->FocusedNode(), NextColumn)) {
              Column = NextColumn;
            }
            if (Column >= 0 && Column < H.Columns().Count()) {
              Tree->SetFocusedColumn(Column);
              Tree->SetEditColumn(Column);
              Tree->DoStartEdit();
            }
          }
          return;
        }
        case VK_TAB: {
          if (!Tree->IsEditing()) break;
          PVastNode Node = FLink->FNode;
          Tree->InvalidateNode(Node);
          PVastNode Next = Shift ? Tree->GetPreviousVisible(Node, true) : Tree->GetNextVisible(Node, true);
          Tree->EndEditNode();
          if (Next) {
            Tree->ClearSelection();
            Tree->SetSelected(Next, true);
            if (Tree->FocusedNode() != Next) Tree->SetFocusedNode(Next);
            if (Tree->CanEdit(Tree->FocusedNode(), Tree->FocusedColumn())) {
              Tree->SetEditColumn(Tree->FocusedColumn());
              Tree->DoStartEdit();
            }
          }
          return;
        }
        case VK_UP:
          Message.WParam = VK_LEFT;
          break;
        case VK_DOWN:
          Message.WParam = VK_RIGHT;
          break;
        case 'A':
          if (Ctrl && !Shift && GetKeyState(VK_MENU) >= 0) {
            SelectAll();
            return;
          }
          break;
        default:
          break;
      }
      break;
    }
    default:
      break;
  }
  TCustomEdit::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TStringEditLink

TStringEditLink::TStringEditLink() : FEdit(new TVTEdit(this)) {}

TStringEditLink::~TStringEditLink() {
  if (FEdit) {
    FEdit->Detach();
    FEdit->Release();
  }
}

Integer TStringEditLink::_Release() {
  const Integer Result = --FRefCount;
  if (Result == 0) delete this;
  return Result;
}

bool TStringEditLink::PrepareEdit(TBaseVastTree* Tree, PVastNode Node, TColumnIndex Column) {
  FTree = dynamic_cast<TVastTreeControl*>(Tree);
  if (!FTree || !FEdit) return false;
  FNode = Node;
  FColumn = Column;
  FEdit->SetParent(FTree);
  FEdit->SetFont(FTree->Font());
  FEdit->Font()->SetColor(clWindowText);
  String Text = FTree->TCustomVastStringTree::GetText(Node, Column);
  FEdit->HandleNeeded();
  FEdit->SetText(Text);
  FEdit->SetModified(false);
  const bool RTL = Column < 0 ? FTree->UseRightToLeftReading()
                              : FTree->Header().Columns()[Column].UseRightToLeftReading();
  FAlignment = Column < 0 ? FTree->TCustomVastStringTree::Alignment() : FTree->Header().Columns()[Column].Alignment();
  if (RTL && FAlignment != taCenter) FAlignment = FAlignment == taLeftJustify ? taRightJustify : taLeftJustify;
  FTextBounds = FTree->GetDisplayRect(Node, Column, true);
  return true;
}

bool TStringEditLink::BeginEdit() {
  if (FStopping || !FEdit) return false;
  FEdit->Show();
  FEdit->SelectAll();
  FEdit->SetFocus();
  FEdit->FitToText();
  return true;
}

bool TStringEditLink::CancelEdit() {
  if (FStopping || !FEdit) return false;
  FStopping = true;
  TVTEdit* Edit = FEdit;
  Edit->Detach();
  Edit->Hide();
  return true;
}

bool TStringEditLink::EndEdit() {
  if (FStopping || !FEdit) return false;
  FStopping = true;
  try {
    if (FEdit->Modified()) FTree->TCustomVastStringTree::SetText(FNode, FColumn, FEdit->Text());
  } catch (...) {
    FStopping = false;
    throw;
  }
  FEdit->Detach();
  FEdit->Hide();
  return true;
}

TRect TStringEditLink::GetBounds() {
  return FEdit ? TRect{FEdit->Left(), FEdit->Top(), FEdit->Left() + FEdit->Width(), FEdit->Top() + FEdit->Height()}
               : TRect{};
}

void TStringEditLink::SetBounds(TRect R) {
  if (FStopping || !FEdit || !FTree) return;
  if (R.Height() < FEdit->ClientHeight() || R.Height() < FEdit->RequiredHeight()) {
    const Integer Grow = FEdit->RequiredHeight() - R.Height();
    if (Grow > 0) R.Bottom += Grow;
  }
  R.Left = std::max<Integer>(R.Left, 0);
  if (R.Width() < 30) {
    if (FAlignment == taRightJustify)
      R.Left = R.Right - 30;
    else
      R.Right = R.Left + 30;
  }
  R.Right = std::min(R.Right, FTree->ClientWidth());
  FEdit->SetBounds(R.Left, R.Top, R.Width(), R.Height());
}

void TStringEditLink::ProcessMessage(TMessage& Message) {
  if (FEdit) FEdit->Perform(Message.Msg, Message.WParam, Message.LParam);
}
