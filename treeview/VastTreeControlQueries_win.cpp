// The tree-view messages the tree answers for callers in this process
// (item texts and states, item rectangles, the next item).
#include "treeview/VastTreeControl_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The focus bit of a tree-view item state (not in every header set).
constexpr UINT TvisFocused = 0x0001;

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

// Copies Size bytes from Address of this process into Out; False, with
// nothing read, where that memory cannot be read. For pointers the tree
// did not make (the tree-view queries' arguments).
bool ReadOwnMemory(const void* Address, void* Out, std::size_t Size) {
  SIZE_T Read = 0;
  return Address && ReadProcessMemory(GetCurrentProcess(), Address, Out, Size, &Read) && Read == Size;
}

// Whether all of [Address, Address + Size) is committed memory of this
// process that may be written (no guard or read-only page on the way).
bool IsWritableMemory(void* Address, std::size_t Size) {
  const auto Start = reinterpret_cast<std::uintptr_t>(Address);
  if (!Address || Size == 0 || Start + Size < Start) return false;
  constexpr DWORD Writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  std::uintptr_t Run = Start;
  while (Run < Start + Size) {
    MEMORY_BASIC_INFORMATION Info{};
    if (!VirtualQuery(reinterpret_cast<void*>(Run), &Info, sizeof(Info))) return false;
    if (Info.State != MEM_COMMIT || !(Info.Protect & Writable) || (Info.Protect & (PAGE_GUARD | PAGE_NOACCESS)))
      return false;
    Run = reinterpret_cast<std::uintptr_t>(Info.BaseAddress) + Info.RegionSize;
  }
  return true;
}

// Writes Data to Address of this process when that memory takes it; the
// copy itself fails safely should the memory go away in between.
bool WriteOwnMemory(void* Address, const void* Data, std::size_t Size) {
  if (!IsWritableMemory(Address, Size)) return false;
  SIZE_T Written = 0;
  return WriteProcessMemory(GetCurrentProcess(), Address, Data, Size, &Written) && Written == Size;
}

}  // namespace

// ---------------------------------------------------------------------------
// Emulated tree-view queries

bool TVastTreeControl::AnswerTreeViewQuery(TMessage& Message) {
  // A message sent from another thread may come from another process, whose
  // pointers mean nothing here: only calls on our own thread are answered.
  // Posted messages pass this test too, and anyone may post these codes, so
  // every pointer is read and written only through the checked copies, and
  // a node handle is followed only once it is known to be one of ours.
  if (InSendMessageEx(nullptr) != ISMEX_NOSEND) return false;
  Message.Result = 0;
  switch (Message.Msg) {
    case TVM_GETNEXTITEM: {
      auto Node = reinterpret_cast<PVastNode>(Message.LParam);
      const UINT Relation = static_cast<UINT>(Message.WParam);
      const bool NeedsNode = Relation == TVGN_NEXT || Relation == TVGN_PREVIOUS || Relation == TVGN_PARENT ||
                             Relation == TVGN_CHILD || Relation == TVGN_NEXTVISIBLE || Relation == TVGN_PREVIOUSVISIBLE;
      if (NeedsNode && !IsOwnNode(Node)) return true;
      PVastNode Result = nullptr;
      switch (Relation) {
        case TVGN_ROOT:
          Result = GetFirst();
          break;
        case TVGN_NEXT:
          Result = GetNextSibling(Node);
          break;
        case TVGN_PREVIOUS:
          Result = GetPreviousSibling(Node);
          break;
        case TVGN_PARENT:
          Result = GetNodeParent(Node);
          break;
        case TVGN_CHILD:
          Result = GetFirstChild(Node);
          break;
        case TVGN_FIRSTVISIBLE:
          Result = GetFirstVisible();
          break;
        case TVGN_NEXTVISIBLE:
          Result = GetNextVisible(Node);
          break;
        case TVGN_PREVIOUSVISIBLE:
          Result = GetPreviousVisible(Node);
          break;
        case TVGN_DROPHILITE:
          Result = DropTargetNode();
          break;
        case TVGN_CARET:
          Result = FocusedNode();
          break;
        case TVGN_LASTVISIBLE:
          Result = GetLastVisible();
          break;
        default:
          break;
      }
      Message.Result = reinterpret_cast<LRESULT>(Result);
      return true;
    }
    case TVM_GETITEMRECT: {
      auto* Buffer = reinterpret_cast<void*>(Message.LParam);
      PVastNode Node = nullptr;
      if (!ReadOwnMemory(Buffer, &Node, sizeof(Node))) return true;
      if (!IsOwnNode(Node) || !Node->States.Contains(vsVisible)) return true;
      const RECT R = ToRECT(GetDisplayRect(Node, NoColumn, Message.WParam != 0));
      if (WriteOwnMemory(Buffer, &R, sizeof(R))) Message.Result = 1;
      return true;
    }
    case TVM_GETITEMW: {
      auto* Address = reinterpret_cast<void*>(Message.LParam);
      TVITEMW Item{};
      if (!ReadOwnMemory(Address, &Item, sizeof(Item))) return true;
      if (!(Item.mask & TVIF_HANDLE) || !Item.hItem) return true;
      auto Node = reinterpret_cast<PVastNode>(Item.hItem);
      if (!IsOwnNode(Node)) return true;
      // Nothing is written unless the whole record can take it.
      if (!IsWritableMemory(Address, sizeof(Item))) return true;
      if (Item.mask & TVIF_CHILDREN) Item.cChildren = static_cast<int>(GetChildCount(Node));
      bool Ghosted = false;
      TImageIndex Index = -1;
      if (Item.mask & TVIF_IMAGE) {
        DoGetImageIndex(Node, ikNormal, NoColumn, Ghosted, Index);
        Item.iImage = Index;
      }
      if (Item.mask & TVIF_SELECTEDIMAGE) {
        Index = -1;
        DoGetImageIndex(Node, ikSelected, NoColumn, Ghosted, Index);
        Item.iSelectedImage = Index;
      }
      if (Item.mask & TVIF_STATE) {
        Item.stateMask = 0xFF2F;
        UINT State = 0;
        if (Node == FocusedNode()) State |= TvisFocused;
        if (GetSelected(Node)) State |= TVIS_SELECTED;
        if (Node->States.Contains(vsCutOrCopy)) State |= TVIS_CUT;
        if (Node == DropTargetNode()) State |= TVIS_DROPHILITED;
        if (GetExpanded(Node)) State |= TVIS_EXPANDED;
        Index = -1;
        DoGetImageIndex(Node, ikState, NoColumn, Ghosted, Index);
        State |= static_cast<UINT>((Index + 1) & 0xF) << 12;
        Index = -1;
        DoGetImageIndex(Node, ikOverlay, NoColumn, Ghosted, Index);
        State |= static_cast<UINT>((Index + 1) & 0xF) << 8;
        Item.state = State;
      }
      if ((Item.mask & TVIF_TEXT) && Item.pszText && Item.cchTextMax > 0) {
        String Text = TCustomVastStringTree::GetText(Node, NoColumn);
        Text.resize(std::min<std::size_t>(Text.size(), static_cast<std::size_t>(Item.cchTextMax - 1)));
        if (!WriteOwnMemory(Item.pszText, Text.c_str(), (Text.size() + 1) * sizeof(Char))) return true;
      }
      if (WriteOwnMemory(Address, &Item, sizeof(Item))) Message.Result = 1;
      return true;
    }
    default:
      return false;
  }
}
