#include "treeview/VastTreeEdit_win.h"

#include <algorithm>

#include "rtl/Win32Handles.h"
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

bool TVTEdit::MultiLineNode() const { return FLink && FLink->FTree && FLink->FTree->GetMultiline(FLink->FNode); }

void TVTEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  // Always multi-line: only such an edit takes a formatting rectangle,
  // which places the text exactly over the cell's.
  Params.Style |= ES_MULTILINE | ES_AUTOHSCROLL;
  if (MultiLineNode()) {
    Params.Style &= ~static_cast<DWORD>(WS_HSCROLL | ES_AUTOHSCROLL);
    Params.Style |= ES_AUTOVSCROLL | WS_VSCROLL;
  }
  Params.Style |= WS_BORDER;
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TVTEdit::MeasureEditText(TSize& Size) {
  const String Text = this->Text() + u"yG";
  const TWindowDC DC(Handle());
  const TSelectGuard Select(DC.Get(), Font()->Handle());
  SIZE S{};
  GetTextExtentPoint32W(DC.Get(), WideCStr(Text), static_cast<int>(Text.size()), &S);
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
      // Tab and Escape act on key-down, and so does Enter in a single-line
      // cell; a multi-line cell takes Enter as a new line.
      if (Message.WParam == VK_TAB || Message.WParam == VK_ESCAPE) return;
      if (Message.WParam == VK_RETURN && !MultiLineNode()) return;
      TCustomEdit::WndProc(Message);
      return;
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == EN_UPDATE && FLink && FLink->FTree && !MultiLineNode()) {
        FitToText();
        return;
      }
      break;
    case EditFitMessage:
      FitToText();
      return;
    case WM_PASTE:
      if (!MultiLineNode() && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        // A single-line cell takes the first line of what is pasted.
        String Line;
        {
          const TOpenClipboard Clipboard(Handle());
          if (!Clipboard.Opened()) break;
          const TGlobalLock Data(GetClipboardData(CF_UNICODETEXT));
          if (const auto* Text = static_cast<const Char*>(Data.Data()))
            for (const Char* P = Text; *P && *P != u'\r' && *P != u'\n'; ++P) Line.push_back(*P);
        }
        SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Line.c_str()));
        return;
      }
      break;
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
          if (!Tree->GetMultiline(FLink->FNode)) Message.WParam = VK_LEFT;
          break;
        case VK_DOWN:
          if (!Tree->GetMultiline(FLink->FNode)) Message.WParam = VK_RIGHT;
          break;
        case 'A':
          if (Tree->IsEditing() && Ctrl && !Shift && GetKeyState(VK_MENU) >= 0) {
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
  // The cell's font as its OnPaintText leaves it, and its text rectangle.
  TFont Font;
  String Text;
  FTree->GetTextInfo(Node, Column, &Font, FTextBounds, Text);
  FEdit->SetFont(&Font);
  FEdit->Font()->SetColor(clWindowText);
  // The window's style depends on the node (single or multi-line); its
  // re-creation is no end of an edit.
  if (FEdit->HandleAllocated()) {
    FStopping = true;
    FEdit->RecreateWnd();
    FStopping = false;
  }
  FEdit->HandleNeeded();
  FEdit->SetText(Text);
  FEdit->SetModified(false);
  const bool RTL =
      Column < 0 ? FTree->UseRightToLeftReading() : FTree->Header().Columns()[Column].UseRightToLeftReading();
  FAlignment = Column < 0 ? FTree->TCustomVastStringTree::Alignment() : FTree->Header().Columns()[Column].Alignment();
  if (RTL && FAlignment != taCenter) FAlignment = FAlignment == taLeftJustify ? taRightJustify : taLeftJustify;
  FRightToLeft = RTL;
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
  if (!FEdit->HandleAllocated()) return;
  // The formatting rectangle puts the text where the cell shows it.
  RECT Client;
  GetClientRect(FEdit->Handle(), &Client);
  TRect F{Client.left, Client.top, Client.right, Client.bottom};
  const bool MultiLine = FTree->GetMultiline(FNode);
  if (FTree->TreeOptions().MiscOptions().Contains(toGridExtensions) &&
      ((FAlignment == taLeftJustify && !FRightToLeft) || (FAlignment == taRightJustify && FRightToLeft))) {
    // The edit covers the whole cell; its text starts where the cell's does.
    TVTOffsets Offsets;
    FTree->GetOffsets(FNode, Offsets, ofsText, FColumn);
    Integer Shift;
    if (FColumn == FTree->Header().MainColumn())
      Shift = Offsets[ofsToggleButton] < 0 ? -Offsets[ofsToggleButton] - 2 : 0;
    else
      Shift = Offsets[ofsText] - Offsets[ofsMargin] + 1;
    if (FRightToLeft)
      F.Right -= Shift;
    else
      F.Left += Shift;
  }
  const Integer D = MultiLine ? 0 : 2;
  F.Left -= D - FTree->TextMargin();
  F.Right += D - FTree->TextMargin();
  F.Top -= D;
  F.Bottom += D;
  if (!MultiLine && FTextBounds.Top - R.Top > 0) F.Offset(0, FTextBounds.Top - R.Top);
  F.Top = std::max(F.Top, -1);
  F.Left = std::max(F.Left, -1);
  RECT Format{F.Left, F.Top, F.Right, F.Bottom};
  // The rectangle alone places the text: no margins of the font's on top.
  SendMessageW(FEdit->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  SendMessageW(FEdit->Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Format));
}

void TStringEditLink::ProcessMessage(TMessage& Message) {
  if (FEdit) FEdit->Perform(Message.Msg, Message.WParam, Message.LParam);
}
