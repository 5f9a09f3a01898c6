// The control's input side: window messages turned into the portable mouse
// and key handlers, the header's mouse interactions (hover, click and
// sorting, splitters, column drag), check images, wheel panning with its
// window and cursors, the in-place editor and node hints.
#include <algorithm>
#include <cmath>

#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeDragImage_win.h"
#include "treeview/VastTreeEdit_win.h"
#include "treeview/VastTreeHeaderPopup_win.h"
#include "treeview/VastTreeHint_win.h"
#include "treeview/VastTreePanning_win.h"
#include "vcl/Menus.h"
#include "vcl/Messages.h"

namespace {

bool KeyHeld(int Key) { return (GetKeyState(Key) & 0x8000) != 0; }

// The column picture's brightness bias: the byte 206 read as the signed
// bias it is (-50, a darkening).
constexpr Integer ColumnDragPreBlendBias = static_cast<signed char>(206);

// The header's splitter states, pending or running.
const THeaderStates HeaderTrackingStates{hsColumnWidthTracking, hsColumnWidthTrackPending, hsHeightTracking,
                                         hsHeightTrackPending};

}  // namespace

// ---------------------------------------------------------------------------
// Input services

bool TVastTreeControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TVastTreeControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

void TVastTreeControl::SetMouseCapture(bool Capture) {
  if (!FHandle) return;
  if (Capture)
    ::SetCapture(FHandle);
  else if (GetCapture() == FHandle)
    ReleaseCapture();
}

TPoint TVastTreeControl::ClientToScreen(const TPoint& P) const {
  POINT Pt{P.X, P.Y};
  if (FHandle) ::ClientToScreen(FHandle, &Pt);
  return TPoint{Pt.x, Pt.y};
}

TPoint TVastTreeControl::ScreenToClient(const TPoint& P) const {
  POINT Pt{P.X, P.Y};
  if (FHandle) ::ScreenToClient(FHandle, &Pt);
  return TPoint{Pt.x, Pt.y};
}

TPoint TVastTreeControl::CursorPos() const {
  POINT P{};
  GetCursorPos(&P);
  return TPoint{P.x, P.y};
}

bool TVastTreeControl::IsDragTargetAt(const TPoint& ScreenPoint) const {
  if (!FHandle) return false;
  HWND Wnd = WindowFromPoint(POINT{ScreenPoint.X, ScreenPoint.Y});
  return Wnd == FHandle;
}

Integer TVastTreeControl::SystemDragThreshold() const { return Mouse ? Mouse->DragThreshold : 5; }

bool TVastTreeControl::LeftButtonDown() const { return KeyHeld(VK_LBUTTON); }

void TVastTreeControl::Beep() { MessageBeep(0); }

TShiftState TVastTreeControl::KeyboardShiftState() const {
  TShiftState Result;
  if (KeyHeld(VK_SHIFT)) Result.Include(ssShift);
  if (KeyHeld(VK_CONTROL)) Result.Include(ssCtrl);
  if (KeyHeld(VK_MENU)) Result.Include(ssAlt);
  return Result;
}

Char TVastTreeControl::CharForKey(Word CharCode) {
  BYTE State[256];
  if (!GetKeyboardState(State)) return 0;
  State[VK_CONTROL] = State[VK_LCONTROL] = State[VK_RCONTROL] = 0;
  WCHAR Buffer[4]{};
  const int N = ToUnicode(CharCode, MapVirtualKeyW(CharCode, 0 /* MAPVK_VK_TO_VSC */), State, Buffer, 4, 0);
  return N == 1 ? static_cast<Char>(Buffer[0]) : 0;
}

// ---------------------------------------------------------------------------
// Check images

Integer TVastTreeControl::CheckImageWidth() const {
  if (FCustomCheckImages) return FCustomCheckImages->Width();
  // The classic check box is 13 pixels at 96 dots per inch.
  return MulDiv(13, PixelsPerInch(), 96);
}

void TVastTreeControl::SetCustomCheckImages(TCustomImageList* Value) {
  if (Value == FCustomCheckImages) return;
  FCustomCheckImages = Value;
  SetCheckImageKind(Value ? ckCustom : ckSystemDefault);
  if (Value) Value->FreeNotification(this);
  InvalidateAll();
}

void TVastTreeControl::PaintCheckImage(TVTPaintInfo& PaintInfo, Integer X, Integer Y) {
  TVTImageInfo Info;
  Info.Index = CheckImageIndex(PaintInfo.Node, ctNone, csUncheckedNormal, true);
  Info.XPos = X;
  Info.YPos = Y;
  Info.Images = FCustomCheckImages;
  PaintCheckBox(PaintInfo.Canvas, Info, GetSelected(PaintInfo.Node));
}

void TVastTreeControl::PaintCheckBox(TCanvas* Canvas, const TVTImageInfo& ImageInfo, bool Selected) {
  const Integer Index = ImageInfo.Index, X = ImageInfo.XPos, Y = ImageInfo.YPos;
  if (Index < 0) return;
  HDC DC = Canvas->Handle();
  if (FCustomCheckImages) {
    ImageList_DrawEx(FCustomCheckImages->Handle(), Index, DC, X, Y, 0, 0, CLR_NONE,
                     Selected && !ImageInfo.Ghosted ? static_cast<COLORREF>(ColorToRGB(SelectionColor())) : CLR_DEFAULT,
                     ILD_TRANSPARENT);
    return;
  }
  // The system's classic drawing by image index: groups of four (normal,
  // hot, pressed, disabled) for radio off/on, check box off/on/mixed and
  // the push button.
  const Integer Group = (Index - 1) / 4, Variant = (Index - 1) % 4;
  const Integer Size = CheckImageWidth();
  RECT R{X, Y, X + Size, Y + Size};
  UINT Type = DFC_BUTTON, State = 0;
  switch (Group) {
    case 0:
      State = DFCS_BUTTONRADIO;
      break;
    case 1:
      State = DFCS_BUTTONRADIO | DFCS_CHECKED;
      break;
    case 2:
      State = DFCS_BUTTONCHECK;
      break;
    case 3:
      State = DFCS_BUTTONCHECK | DFCS_CHECKED;
      break;
    case 4:
      State = DFCS_BUTTON3STATE | DFCS_CHECKED;
      break;
    default: {
      // A push button, a little wider, with a grey arrow pointing down.
      R.right = X + Size * 115 / 100;
      R.bottom = Y + Size * 110 / 100;
      OffsetRect(&R, -1, 0);
      State = DFCS_BUTTONPUSH;
      break;
    }
  }
  if (Variant == 1) State |= DFCS_HOT;
  if (Variant == 2) State |= DFCS_PUSHED;
  if (Variant == 3) State |= DFCS_INACTIVE;
  DrawFrameControl(DC, &R, Type, State);
  if (Group == 5) {
    const Integer W = R.right - R.left, H = R.bottom - R.top;
    const Integer AX = R.left + W * 22 / 100, AY = R.top + H * 33 / 100, AS = std::max(2, W * 28 / 100);
    const TColor OldBrush = Canvas->Brush()->Color(), OldPen = Canvas->Pen()->Color();
    Canvas->Brush()->SetColor(static_cast<TColor>(0x808080));
    Canvas->Pen()->SetColor(static_cast<TColor>(0x808080));
    Canvas->Polygon({{AX, AY}, {AX + 2 * AS, AY}, {AX + AS, AY + AS}});
    Canvas->Brush()->SetColor(OldBrush);
    Canvas->Pen()->SetColor(OldPen);
  }
}

// ---------------------------------------------------------------------------
// Mouse and keys

bool TVastTreeControl::HandleMouseMessage(TMessage& Message) {
  const UINT Msg = Message.Msg;
  const TPoint P = MessagePoint(Message.LParam);
  TVTMouseMessage M;
  M.Keys = MouseShiftState(Message.WParam);
  if (KeyHeld(VK_MENU)) M.Keys.Include(ssAlt);
  M.X = P.X;
  M.Y = P.Y;
  switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      M.Button = Msg == WM_LBUTTONDOWN ? mbLeft : Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
      const TVastTreeState State = M.Button == mbLeft    ? tsLeftButtonDown
                                   : M.Button == mbRight ? tsRightButtonDown
                                                         : tsMiddleButtonDown;
      DoStateChange({State});
      Application->CancelHint();
      if (M.Button == mbMiddle) {
        if (IsPanning()) {
          EndWheelPanning();
          return true;
        }
        if (TreeOptions().MiscOptions().Contains(toWheelPanning) &&
            (ClientWidth() < RangeX() || ClientHeight() < RangeY())) {
          BeginWheelPanning(P);
          return true;
        }
        if (!TreeOptions().SelectionOptions().Contains(toMiddleClickSelect)) return true;
      }
      if (M.Button == mbRight && !TreeOptions().SelectionOptions().Contains(toRightClickSelect)) {
        if (IsPanning()) EndWheelPanning();
        return false;
      }
      THitInfo Hit;
      GetHitTestInfoAt(P.X, P.Y, true, Hit);
      // The selection a right click makes is reported at once, before the
      // context menu opens.
      if (M.Button == mbRight)
        RunSynched([&] { MouseButtonDown(M, Hit); });
      else
        MouseButtonDown(M, Hit);
      return false;
    }
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      M.Button = Msg == WM_LBUTTONDBLCLK ? mbLeft : Msg == WM_RBUTTONDBLCLK ? mbRight : mbMiddle;
      // The other buttons act on nodes only where they select.
      const TVTSelectionOptions Sel = TreeOptions().SelectionOptions();
      if ((M.Button == mbRight && !Sel.Contains(toRightClickSelect)) ||
          (M.Button == mbMiddle && !Sel.Contains(toMiddleClickSelect)))
        return false;
      M.Keys.Include(ssDouble);
      THitInfo Hit;
      GetHitTestInfoAt(P.X, P.Y, true, Hit);
      MouseDoubleClick(M, Hit);
      return false;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      M.Button = Msg == WM_LBUTTONUP ? mbLeft : Msg == WM_RBUTTONUP ? mbRight : mbMiddle;
      DoStateChange({}, {tsLeftButtonDown, tsRightButtonDown, tsMiddleButtonDown});
      if (M.Button == mbMiddle) {
        // Released without a move: panning goes on until the next click.
        if (HasState(tsWheelPanning) && !HasState(tsWheelScrolling))
          EndWheelPanning();
        else if (HasState(tsWheelScrolling))
          DoStateChange({}, {tsWheelPanning});
        return true;
      }
      if (HasState(tsNodeHeightTracking) || HasState(tsNodeHeightTrackPending)) {
        EndNodeHeightTracking();
        return false;
      }
      THitInfo Hit;
      GetHitTestInfoAt(P.X, P.Y, true, Hit);
      // The button-up handler's events may delete the row under the pointer.
      const TNodeWatch WatchHit(*this, Hit.HitNode);
      if (M.Button != mbRight || TreeOptions().SelectionOptions().Contains(toRightClickSelect)) MouseButtonUp(M, Hit);
      // Without a menu of its own the control asks for one for the row.
      if (M.Button == mbRight && !PopupMenu()) DoShowPopupMenu(Hit.HitNode, Hit.HitColumn, P);
      return false;
    }
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT Track{sizeof(Track), TME_LEAVE, FHandle, 0};
      TrackMouseEvent(&Track);
      HandleMouseMove(M.Keys, P.X, P.Y);
      return false;
    }
    default:
      return false;
  }
}

void TVastTreeControl::KeyDown(Word& Key, TShiftState Shift) {
  DoStateChange({}, {tsPopupMenuShown});  // a menu shown before belongs to an earlier gesture
  TCustomControl::KeyDown(Key, Shift);    // OnKeyDown may clear the key
  if (Key != 0 && !Header().FStates.Empty() && Key == VK_ESCAPE) return;
  HandleKeyDown(Key, Shift);
}

void TVastTreeControl::KeyUp(Word& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  HandleKeyUp(Key);
}

void TVastTreeControl::KeyPress(Char& Key) {
  HandleChar(static_cast<Word>(Key));
  TCustomControl::KeyPress(Key);
}

void TVastTreeControl::MouseEnter() {
  DoMouseEnter();
  TCustomControl::MouseEnter();
}

void TVastTreeControl::MouseLeave() {
  FLastHintRect = TRect{};
  FNoHintCell = THintCell{};
  // The heads forget the pointer: no hot or pressed head stays behind.
  TVastTreeColumns& Cols = Header().Columns();
  POINT Cursor;
  GetCursorPos(&Cursor);
  RECT Window;
  GetWindowRect(FHandle, &Window);
  // Into the header (the frame) is not out of the tree.
  const bool Away = !PtInRect(&Window, Cursor);
  if (Away && Header().FStates.Empty() && (Cols.HoverIndex() >= 0 || Cols.DownIndex() >= 0)) {
    Cols.SetHoverIndex(NoColumn);
    Cols.SetDownIndex(NoColumn);
    Cols.SetCheckBoxHit(false);
    Header().Invalidate(nullptr);
  }
  if (PVastNode Hot = HotNode()) {
    DoHotChange(Hot, nullptr);
    const bool Repaint =
        TreeOptions().PaintOptions().Contains(toHotTrack) || TreeOptions().MiscOptions().Contains(toCheckSupport);
    SetHotNode(nullptr);
    if (Repaint) InvalidateNode(Hot);
  }
  if (!IsPanning() && (HasState(tsScrollPending) || HasState(tsScrolling)) && !IsMouseSelecting()) {
    KillTimer(ScrollTimer);
    DoStateChange({}, {tsScrollPending, tsScrolling});
  }
  DoMouseLeave();
  TCustomControl::MouseLeave();
}

void TVastTreeControl::DoShowPopupMenu(PVastNode Node, TColumnIndex Column, const TPoint& Position) {
  TPopupMenu* Menu = DoGetPopupMenu(Node, Column, Position);
  if (!Menu) Menu = dynamic_cast<TPopupMenu*>(PopupMenu());
  if (!Menu) return;
  const TPoint S = ClientToScreen(Position.X < 0 ? TPoint{0, 0} : Position);
  // The state stays until the gesture ends, so that the platform's own
  // context-menu message for it shows no second menu.
  DoStateChange({tsPopupMenuShown}, {tsEditPending});
  KillTimer(EditTimer);
  Menu->PopupComponent = this;
  Menu->Popup(S.X, S.Y);
}

bool TVastTreeControl::PopupMenuAvailable(PVastNode Node, TColumnIndex Column, TPoint Pos) {
  return PopupMenu() != nullptr || TCustomVastStringTree::PopupMenuAvailable(Node, Column, Pos);
}

// ---------------------------------------------------------------------------
// Header mouse handling

bool TVastTreeControl::InHeader(const TPoint& P) const {
  const TVTHeader& H = TCustomVastStringTree::Header();
  if (!H.Options().Contains(hoVisible) || P.Y < -H.Height() || P.Y >= 0) return false;
  // The strip also spans the vertical scroll bar: on the right, or on the
  // left (negative client x) when reading right to left.
  RECT Client;
  GetClientRect(FHandle, &Client);
  const Integer Bar = GetWindowLongW(FHandle, GWL_STYLE) & WS_VSCROLL ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const bool LeftBar = (GetWindowLongW(FHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const Integer Left = LeftBar ? -Bar : 0;
  const Integer Right = Client.right + (LeftBar ? 0 : Bar);
  return P.X >= Left && P.X < Right;
}

bool TVastTreeControl::InHeaderSplitterArea(const TPoint& P) const { return InHeader(P) && P.Y >= -3; }

bool TVastTreeControl::CanResizeHeader(const TPoint& P) {
  TVTHeader& H = Header();
  bool Allowed = H.Options().Contains(hoHeightResize);
  H.DoCanSplitterResizeHeader(P, Allowed);
  return Allowed;
}

bool TVastTreeControl::FindSplitterColumn(const TPoint& P) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  if (Cols.Count() == 0) return false;
  Cols.SetTrackIndex(NoColumn);
  const Integer Fixed = Cols.GetVisibleFixedWidth();
  const Integer L = static_cast<Integer>(std::lround(H.SplitterHitTolerance() * 0.6));
  const Integer R = H.SplitterHitTolerance() - L;
  const Integer Offset = EffectiveOffsetX();
  const bool RTL = UseRightToLeftAlignment();
  // An edge E matches when A pixels before it to B pixels after it.
  auto Matches = [&](const TVastTreeColumn& C, Integer E, Integer A, Integer B) {
    if (C.Options().Contains(coFixed)) return E + Offset - A < P.X && P.X < E + Offset + B;
    return P.X > Fixed && E - A < P.X && P.X < E + B;
  };
  auto Take = [&](TColumnIndex I) {
    bool Allowed = Cols[I].Options().Contains(coResizable) && Cols[I].Options().Contains(coVisible);
    if (Allowed && H.OnCanSplitterResizeColumn) H.OnCanSplitterResizeColumn(&H, P, I, Allowed);
    if (!Allowed) return false;
    Cols.SetTrackIndex(I);
    TVastTreeColumn& C = Cols[I];
    Integer Left, Right;
    C.UnscrolledBounds(Left, Right);
    const Integer Shift = (C.Options().Contains(coFixed) ? 0 : -Offset) + (RTL ? RightToLeftOffset(true) : 0);
    FHeaderTrackPoint = TPoint{(RTL ? Right : Left) + Shift, P.Y};
    return true;
  };
  const auto& Map = Cols.PositionToIndex();
  if (!RTL) {
    // Right edges, from the last column back.
    Integer E = Cols.TotalWidth() - Offset;
    for (std::size_t Pos = Map.size(); Pos-- > 0;) {
      const TColumnIndex I = Map[Pos];
      TVastTreeColumn& C = Cols[I];
      if (!C.Options().Contains(coVisible)) continue;
      if (Matches(C, E, R, L) && Take(I)) return true;
      E -= C.Width();
    }
    return false;
  }
  // Right to left the left edges are grabbed, from the first column on.
  Integer E = -Offset;
  if (Cols.TotalWidth() < ClientWidth()) E += ClientWidth() - Cols.TotalWidth();
  for (std::size_t Pos = 0; Pos < Map.size(); ++Pos) {
    const TColumnIndex I = Map[Pos];
    TVastTreeColumn& C = Cols[I];
    if (!C.Options().Contains(coVisible)) continue;
    if (Matches(C, E, L, R) && Take(I)) return true;
    E += C.Width();
  }
  return false;
}

bool TVastTreeControl::ColumnSplitterHit(const TPoint& P) {
  TVTHeader& H = Header();
  if (!H.Options().Contains(hoColumnResize) || !FindSplitterColumn(P)) return false;
  if (InHeader(P)) return true;
  TVastTreeColumns& Cols = H.Columns();
  const TColumnIndex T = Cols.TrackIndex();
  const TColumnIndex Next = Cols.GetNextVisibleColumn(T);
  return Cols[T].Options().Contains(coFixed) && Next >= 0 && !Cols[Next].Options().Contains(coFixed) && P.Y <= RangeY();
}

void TVastTreeControl::InvalidateHeaderColumn(TColumnIndex Column) {
  TVTHeader& H = Header();
  if (Column >= 0 && Column < H.Columns().Count()) H.Invalidate(&H.Columns()[Column], false, true);
}

bool TVastTreeControl::HoverColumnAt(const TPoint& P) {
  TVastTreeColumns& Cols = Header().Columns();
  const TColumnIndex Column = Cols.ColumnFromPosition(TPoint{P.X, P.Y + Header().Height()}, true);
  if (Column == Cols.HoverIndex()) return false;
  const TColumnIndex Old = Cols.HoverIndex();
  Cols.SetHoverIndex(Column);
  InvalidateHeaderColumn(Old);
  InvalidateHeaderColumn(Column);
  return true;
}

TColumnIndex TVastTreeControl::PressColumnAt(const TPoint& P) {
  TVastTreeColumns& Cols = Header().Columns();
  const TColumnIndex Column = Cols.ColumnFromPosition(TPoint{P.X, P.Y + Header().Height()}, true);
  if (Column >= 0 && Column != Cols.DownIndex() && Cols[Column].Options().Contains(coAllowClick) &&
      Cols[Column].Options().Contains(coEnabled)) {
    const TColumnIndex Old = Cols.DownIndex();
    Cols.SetDownIndex(Column);
    TVastTreeColumn& C = Cols[Column];
    Cols.SetCheckBoxHit(C.HasImage() && C.CheckBox() && C.ImageRect().Contains(TPoint{P.X, P.Y + Header().Height()}));
    InvalidateHeaderColumn(Old);
    InvalidateHeaderColumn(Column);
  }
  return Column;
}

TPopupMenu* TVastTreeControl::DoGetHeaderPopupMenu(TColumnIndex Column, const TPoint& P) {
  TPopupMenu* Result = FHeaderPopupMenu;
  if (OnGetPopupMenu) {
    bool AskParent = true;
    OnGetPopupMenu(this, nullptr, Column, P, AskParent, Result);
  }
  return Result;
}

bool TVastTreeControl::ProcessColumnClick(const TPoint& P, TMouseButton Button, bool Force, bool DblClick) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const TColumnIndex Column = Cols.ColumnFromPosition(TPoint{P.X, P.Y + H.Height()}, true);
  TVTHeaderHitInfo Info;
  Info.X = P.X;
  Info.Y = P.Y + H.Height();
  Info.Button = Button;
  Info.Shift = KeyboardShiftState();
  if (DblClick) Info.Shift.Include(ssDouble);
  if (Column >= 0 && Cols[Column].Options().Contains(coAllowClick) && (Force || Column == Cols.DownIndex())) {
    Cols.SetClickIndex(Column);
    Info.Column = Column;
    Info.HitPosition = TVTHeaderHitPositions{hhiOnColumn};
    TVastTreeColumn& C = Cols[Column];
    if (C.HasImage() && C.ImageRect().Contains(TPoint{P.X, P.Y + H.Height()})) {
      Info.HitPosition.Include(hhiOnIcon);
      if (C.CheckBox()) {
        if (Button == mbLeft) UpdateColumnCheckState(Column);
        Info.HitPosition.Include(hhiOnCheckbox);
      }
    }
  } else {
    Cols.SetClickIndex(NoColumn);
    Info.Column = NoColumn;
    Info.HitPosition = TVTHeaderHitPositions{hhiNoWhere};
  }
  bool Result = false;
  if (DblClick) {
    DoHeaderDblClick(Info);
  } else {
    if (H.Options().Contains(hoHeaderClickAutoSort) && Button == mbLeft && Info.Column >= 0 &&
        !Info.HitPosition.Contains(hhiOnCheckbox)) {
      if (Info.Column == H.SortColumn())
        H.SetSortDirection(H.SortDirection() == sdDescending ? sdAscending : sdDescending);
      else
        H.ApplySortColumn(Info.Column, Cols[Info.Column].DefaultSortDirection());
      Result = true;
    } else if (Button == mbRight) {
      FHeaderPopup.reset();
      Cols.SetDownIndex(NoColumn);
      Cols.SetTrackIndex(NoColumn);
      Cols.SetCheckBoxHit(false);
      TPopupMenu* Menu = DoGetHeaderPopupMenu(Info.Column, P);
      const TPoint S = ClientToScreen(P);
      if (Menu || H.Options().Contains(hoAutoColumnPopupMenu)) {
        KillTimer(ScrollTimer);
        KillTimer(HeaderTimer);
        Cols.SetHoverIndex(NoColumn);
        DoStateChange({}, {tsScrolling, tsScrollPending});
        if (!Menu) {
          auto* Auto = new TVTHeaderPopupMenu(nullptr);
          FHeaderPopup.reset(Auto);
          Auto->OnAddHeaderPopupItem = OnHeaderAddPopupItem;
          Auto->OnColumnChange = [this](const TBaseVastTree*, TColumnIndex Column, bool Visible) {
            DoColumnVisibilityChanged(Column, Visible);
          };
          TVTHeaderPopupOptions O = Auto->Options();
          if (H.Options().Contains(hoDblClickResize) &&
              (RootNodeCount() > 0 || H.Options().Contains(hoAutoResizeInclCaption)))
            O.Include(poResizeToFitItem);
          else
            O.Exclude(poResizeToFitItem);
          Auto->SetOptions(O);
          Menu = Auto;
        }
        Menu->PopupComponent = this;
        Menu->Popup(S.X, S.Y);
        Result = true;
      }
    }
    DoHeaderClick(Info);
  }
  if (!Info.HitPosition.Contains(hhiNoWhere)) InvalidateHeaderColumn(Info.Column);
  return Result;
}

void TVastTreeControl::StartColumnDrag(const TPoint& P, const TPoint& Start) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  Cols.SetDropTarget(NoColumn);
  const TPoint S = ScreenToClient(Start);
  Cols.SetDragIndex(Cols.ColumnFromPosition(TPoint{S.X, S.Y + H.Height()}, true));
  if (Cols.DragIndex() < 0) return;
  TVastTreeColumn& C = Cols[Cols.DragIndex()];
  TBitmap Image(C.Width(), H.Height());
  Image.SetPixelFormat(pf32bit);
  Image.Canvas()->Brush()->SetColor(clBtnFace);
  Image.Canvas()->FillRect(TRect{0, 0, C.Width(), H.Height()});
  PaintColumnHead(Image.Canvas(), Cols.DragIndex(), TRect{0, 0, C.Width(), H.Height()});
  Integer Left, Right;
  Cols.GetColumnBounds(Cols.DragIndex(), Left, Right);
  const TPoint Pos = ClientToScreen(TPoint{Left, -H.Height()});
  FHeaderDragImage = std::make_unique<TVTDragImage>(this);
  // A column's picture: not faded, darkened, a little more opaque than half.
  FHeaderDragImage->SetFade(false);
  FHeaderDragImage->SetPreBlendBias(ColumnDragPreBlendBias);
  FHeaderDragImage->SetTransparency(140);
  FHeaderDragImage->SetMoveRestriction(H.Options().Contains(hoRestrictDrag) ? dmrHorizontalOnly : dmrNone);
  FHeaderDragImage->SetBackdropWindow(FHandle);
  FHeaderDragImage->PrepareDrag(&Image, Pos, P, nullptr);
  FHeaderDragImage->ShowDragImage();
}

void TVastTreeControl::PrepareDragImage(const TPoint& HotSpot, IDataObject* DataObject) {
  if (!DragImageAllowed()) return;
  const Integer W = DragWidth(), H = DragHeight();
  if (W <= 0 || H <= 0) return;
  // DragWidth x DragHeight of the tree (tree coordinates) centred on the hot
  // spot; what lies before the tree's start stays empty in the picture.
  const TRect Area{HotSpot.X + EffectiveOffsetX() - W / 2, HotSpot.Y - OffsetY() - H / 2, 0, 0};
  TRect Window{Area.Left, Area.Top, Area.Left + W, Area.Top + H};
  TPoint Target{0, 0};
  if (Window.Left < 0) {
    Target.X = -Window.Left;
    Window.Left = 0;
  }
  if (Window.Top < 0) {
    Target.Y = -Window.Top;
    Window.Top = 0;
  }
  TBitmap Image(W, H);
  Image.SetPixelFormat(pf32bit);
  Image.Canvas()->Brush()->SetColor(TControl::Color());
  Image.Canvas()->FillRect(TRect{0, 0, W, H});
  TVTInternalPaintOptions Options{poDrawSelection, poSelectedOnly};
  if (DragImageKind() == diMainColumnOnly) Options.Include(poMainOnly);
  PaintTree(Image.Canvas(), Window, Target, Options);
  const TPoint Position = ClientToScreen(TPoint{Area.Left - EffectiveOffsetX(), Area.Top + OffsetY()});
  if (!FDragImage) {
    // The nodes' picture fades out towards its edges.
    FDragImage = std::make_unique<TVTDragImage>(this);
    FDragImage->SetFade(true);
    FDragImage->SetPreBlendBias(0);
    FDragImage->SetTransparency(200);
  }
  FDragImage->EndDrag();
  FDragImage->SetColorKey(TControl::Color());
  FDragImage->SetBackdropWindow(FHandle);
  FDragImage->PrepareDrag(&Image, Position, ClientToScreen(HotSpot), DataObject);
}

bool TVastTreeControl::MoveDragImage(const TPoint& P) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const TPoint C = ScreenToClient(P);
  Integer Left = 0, Right = 0;
  const TColumnIndex Column = C.Y >= -H.Height() && C.Y < 0
                                  ? Cols.ColumnAndBoundsAt(TPoint{C.X, C.Y + H.Height()}, Left, Right, true)
                                  : InvalidColumn;
  bool Repaint = Column >= 0 && Column != Cols.DropTarget();
  if (Column >= 0) {
    const bool Before = C.X < (Left + Right) / 2;
    if (Before != Cols.DropBefore()) {
      Cols.SetDropBefore(Before);
      Repaint = true;
    }
  }
  if (Repaint) {
    const TColumnIndex Old = Cols.DropTarget();
    Cols.SetDropTarget(Column);
    InvalidateHeaderColumn(Old);
    InvalidateHeaderColumn(Column);
    if (FHandle) RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
  }
  return FHeaderDragImage && FHeaderDragImage->DragTo(P, Repaint);
}

bool TVastTreeControl::HeaderCapturedMouseMove(TMessage& Message) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  THeaderStates S = H.FStates;
  TPoint P = MessagePoint(Message.LParam);
  const TShiftState Shift = MouseShiftState(Message.WParam);
  if (S.Contains(hsColumnWidthTrackPending)) {
    KillTimer(HeaderTimer);
    H.FStates = (S - THeaderStates{hsColumnWidthTrackPending}) + THeaderStates{hsColumnWidthTracking};
    return true;
  }
  if (S.Contains(hsHeightTrackPending)) {
    KillTimer(HeaderTimer);
    H.FStates = (S - THeaderStates{hsHeightTrackPending}) + THeaderStates{hsHeightTracking};
    return true;
  }
  if (S.Contains(hsColumnWidthTracking)) {
    const TColumnIndex T = Cols.TrackIndex();
    if (T >= 0 && H.DoColumnWidthTracking(T, Shift, FHeaderTrackPoint, P)) {
      const Integer W = UseRightToLeftAlignment() ? FHeaderTrackPoint.X - P.X : P.X - FHeaderTrackPoint.X;
      TVastTreeColumn& C = Cols[T];
      const TColumnIndex Next = Cols.GetNextVisibleColumn(T);
      if (H.Options().Contains(hoAutoResize) && T == H.AutoSizeIndex() && Next >= 0 &&
          Cols[Next].Options().Contains(coResizable) && C.MinWidth() < W && W < C.MaxWidth())
        Cols[Next].SetWidth(Cols[Next].Width() + C.Width() - W);
      else
        C.SetWidth(W);
    }
    return true;
  }
  if (S.Contains(hsHeightTracking)) {
    if (H.DoHeaderHeightTracking(P, Shift)) H.SetHeight(H.Height() + P.Y);
    return true;
  }
  const TPoint Screen = ClientToScreen(P);
  if (S.Contains(hsDragPending)) {
    if (!H.Options().Contains(hoDrag) || !DoHeaderDragging(Cols.DownIndex())) return false;
    const Integer T = Mouse ? Mouse->DragThreshold : 5;
    if (std::abs(Screen.X - FHeaderDragStart.X) <= T && std::abs(Screen.Y - FHeaderDragStart.Y) <= T) return false;
    KillTimer(HeaderTimer);
    const TColumnIndex Down = Cols.DownIndex();
    Cols.SetDownIndex(NoColumn);
    Cols.SetHoverIndex(NoColumn);
    InvalidateHeaderColumn(Down);
    StartColumnDrag(Screen, FHeaderDragStart);
    H.FStates = (S - THeaderStates{hsDragPending}) + THeaderStates{hsDragging};
    return true;
  }
  if (S.Contains(hsDragging)) {
    MoveDragImage(Screen);
    return true;
  }
  return false;
}

bool TVastTreeControl::HandleHeaderMessage(TMessage& Message) {
  TVTHeader& H = Header();
  if (!H.Options().Contains(hoVisible) && H.FStates.Empty()) return false;
  switch (Message.Msg) {
    case WM_SIZE:
      return HeaderWMSize();
    case WM_NCHITTEST:
      return HeaderWMNCHitTest(Message);
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
    case WM_CANCELMODE:
      return HeaderCancelTracking(Message);
    case WM_SETCURSOR:
      return HeaderWMSetCursor(Message);
    case WM_NCMOUSEMOVE:
      return HeaderWMNCMouseMove(Message);
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDOWN:
      return HeaderLeftButtonDown(Message);
    case WM_MOUSEMOVE:
      if (H.FStates.Empty()) return false;
      return HeaderCapturedMouseMove(Message);
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      return HeaderLeftButtonUp(Message);
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK:
      return HeaderDoubleClick(Message);
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      return HeaderOtherButtonDown(Message);
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONUP:
      return HeaderOtherButtonUp(Message);
    case WM_TIMER:
      return HeaderWMTimer(Message);
    default:
      return false;
  }
}

TPoint TVastTreeControl::HeaderMessagePoint(const TMessage& Message, bool NonClient) const {
  const TPoint P = MessagePoint(Message.LParam);
  return NonClient ? ScreenToClient(P) : P;
}

bool TVastTreeControl::HeaderWMSize() {
  // The auto-size column takes the new width (the tree's own handling of the
  // message follows).
  if (HasState(tsWindowCreating)) return false;
  TVTHeader& H = Header();
  H.SetTreeBounds(Width(), TControl::Height(), ClientWidth(), ClientHeight());
  if (H.Options().Contains(hoAutoResize) && !H.FStates.Contains(hsAutoSizing))
    H.Columns().FitAutoSizeColumn(false);
  else if (!H.FStates.Contains(hsScaling))
    H.ReapplyConstraints();
  H.Invalidate(nullptr);
  return false;
}

bool TVastTreeControl::HeaderWMNCHitTest(TMessage& Message) {
  if (!InHeader(HeaderMessagePoint(Message, true))) return false;
  Message.Result = HTBORDER;
  return true;
}

bool TVastTreeControl::HeaderCancelTracking(TMessage& Message) {
  if (Message.Msg == WM_KEYDOWN && Message.WParam != VK_ESCAPE) return false;
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  if (H.FStates.Contains(hsDragging)) {
    ReleaseCapture();
    if (FHeaderDragImage) FHeaderDragImage->EndDrag();
    FHeaderDragImage.reset();
    H.FStates.Exclude(hsDragging);
    Cols.SetDropTarget(NoColumn);
    H.Invalidate(nullptr);
    Message.Result = 0;
    return Message.Msg == WM_KEYDOWN;
  }
  if (H.FStates.Intersects(HeaderTrackingStates)) {
    ReleaseCapture();
    if (H.FStates.Contains(hsColumnWidthTracking) || H.FStates.Contains(hsColumnWidthTrackPending))
      H.DoAfterColumnWidthTracking(Cols.TrackIndex());
    else
      H.DoAfterHeaderHeightTracking();
    H.FStates = H.FStates - HeaderTrackingStates;
    Message.Result = 0;
    return Message.Msg == WM_KEYDOWN;
  }
  return false;
}

bool TVastTreeControl::HeaderWMSetCursor(TMessage& Message) {
  if (!Header().FStates.Empty()) {
    Message.Result = 1;
    return true;
  }
  POINT Pt;
  GetCursorPos(&Pt);
  const TPoint P = ScreenToClient(TPoint{Pt.x, Pt.y});
  const bool HeightEdge = InHeaderSplitterArea(P) && CanResizeHeader(P);
  const bool ColumnEdge = ColumnSplitterHit(P);
  if (!HeightEdge && !ColumnEdge) return false;
  HICON Custom = HeightEdge ? Screen->Cursors(crVertSplit) : Screen->Cursors(crHeaderSplit);
  DoGetHeaderCursor(Custom);
  ::SetCursor(Custom);
  Message.Result = 1;
  return true;
}

bool TVastTreeControl::HeaderWMNCMouseMove(TMessage& Message) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const TPoint P = HeaderMessagePoint(Message, true);
  DoHeaderMouseMove(KeyboardShiftState(), P.X, P.Y + H.Height());
  if (InHeader(P)) AskHintAgainIfMoved(P);
  if (InHeader(P) && (HoverColumnAt(P) || (Cols.DownIndex() >= 0 && Cols.DownIndex() != Cols.HoverIndex()))) {
    SetTimer(HeaderTimer, 50);
    if (H.Options().Contains(hoShowHint)) {
      // The header is frame: the hint machinery hears of it from here.
      // Another head asks again for its hint.
      if (FLastHintRect.Width() > 0 && !FLastHintRect.Contains(P)) {
        FLastHintRect = TRect{};
        if (Application->HintControl() == this) Application->CancelHint();
      }
      Application->HintMouseMessage(this);
    }
  }
  return false;
}

bool TVastTreeControl::HeaderLeftButtonDown(TMessage& Message) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const bool NonClient = Message.Msg == WM_NCLBUTTONDOWN;
  const TPoint P = HeaderMessagePoint(Message, NonClient);
  if (!NonClient && !InHeader(P) && !ColumnSplitterHit(P)) return false;
  Application->CancelHint();
  KillTimer(ScrollTimer);
  DoStateChange({}, {tsScrolling, tsScrollPending, tsEditPending});
  KillTimer(EditTimer);
  FHeaderDragStart = ClientToScreen(P);
  const TShiftState Shift = KeyboardShiftState();
  const bool HeightEdge = InHeaderSplitterArea(P) && CanResizeHeader(P);
  if (HeightEdge || ColumnSplitterHit(P)) {
    FHeaderTrackStart = P;
    Cols.SetHoverIndex(NoColumn);
    if (HeightEdge) {
      H.DoBeforeHeaderHeightTracking(Shift);
      H.FStates.Include(hsHeightTrackPending);
    } else {
      H.DoBeforeColumnWidthTracking(Cols.TrackIndex(), Shift);
      H.FStates.Include(hsColumnWidthTrackPending);
    }
    ::SetCapture(FHandle);
    Message.Result = 0;
    return true;
  }
  if (!InHeader(P)) return false;
  const TColumnIndex Column = PressColumnAt(P);
  if (H.Options().Contains(hoDrag) && Column >= 0 && Cols[Column].Options().Contains(coDraggable)) {
    H.FStates.Include(hsDragPending);
    ::SetCapture(FHandle);
    DoHeaderMouseDown(mbLeft, Shift, P.X, P.Y + H.Height());
    Message.Result = 0;
    return true;
  }
  DoHeaderMouseDown(mbLeft, Shift, P.X, P.Y + H.Height());
  if (!NonClient) return false;
  // A press on a head that starts nothing still focuses the tree.
  if (!Focused() && CanFocus()) SetFocus();
  return true;
}

void TVastTreeControl::HeaderDropColumn(const TPoint& Release) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  if (FHeaderDragImage) FHeaderDragImage->EndDrag();
  FHeaderDragImage.reset();
  Sleep(50);
  RECT Window;
  GetWindowRect(FHandle, &Window);
  const bool InWindow = PtInRect(&Window, POINT{Release.X, Release.Y});
  const TColumnIndex Target = Cols.DropTarget(), Dragged = Cols.DragIndex();
  if (Target >= 0 && Target != Dragged && InWindow) {
    const Integer OldPosition = static_cast<Integer>(Cols[Dragged].Position());
    const Integer TargetPosition = static_cast<Integer>(Cols[Target].Position());
    const bool FromLeft = OldPosition < TargetPosition;
    Integer NewPosition;
    if (Cols.DropBefore())
      NewPosition = FromLeft ? TargetPosition - 1 : TargetPosition;
    else
      NewPosition = FromLeft ? TargetPosition : TargetPosition + 1;
    Cols[Dragged].SetPosition(static_cast<TColumnPosition>(NewPosition));
    DoHeaderDragged(Dragged, OldPosition);
  } else {
    DoHeaderDraggedOut(Dragged, Release);
  }
  Cols.SetDropTarget(NoColumn);
  H.Invalidate(nullptr);
}

bool TVastTreeControl::HeaderLeftButtonUp(TMessage& Message) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const bool NonClient = Message.Msg == WM_NCLBUTTONUP;
  const TPoint P = HeaderMessagePoint(Message, NonClient);
  const bool HadState = !H.FStates.Empty();
  if (!NonClient && !HadState) return false;
  Application->CancelHint();
  if (HadState) {
    if (GetCapture() == FHandle) ReleaseCapture();
    if (H.FStates.Contains(hsDragging)) HeaderDropColumn(ClientToScreen(P));
  }
  if (NonClient) {
    ProcessColumnClick(P, mbLeft, false, false);
    DoHeaderMouseUp(mbLeft, KeyboardShiftState(), P.X, P.Y + H.Height());
  } else {
    if (Cols.DownIndex() >= 0) ProcessColumnClick(P, mbLeft, false, false);
    if (HadState) DoHeaderMouseUp(mbLeft, MouseShiftState(Message.WParam), P.X, P.Y);
  }
  if (Cols.TrackIndex() >= 0) {
    if (H.FStates.Contains(hsColumnWidthTracking)) H.DoAfterColumnWidthTracking(Cols.TrackIndex());
    InvalidateHeaderColumn(Cols.TrackIndex());
    Cols.SetTrackIndex(NoColumn);
  }
  if (Cols.DownIndex() >= 0) {
    const TColumnIndex Down = Cols.DownIndex();
    Cols.SetDownIndex(NoColumn);
    InvalidateHeaderColumn(Down);
  }
  if (H.FStates.Contains(hsHeightTracking)) H.DoAfterHeaderHeightTracking();
  H.FStates = H.FStates - THeaderStates{hsDragging, hsDragPending} - HeaderTrackingStates;
  if (HadState) Message.Result = 0;
  return HadState || NonClient;
}

bool TVastTreeControl::HeaderDoubleClick(TMessage& Message) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const bool NonClient = Message.Msg != WM_LBUTTONDBLCLK;
  const TPoint P = HeaderMessagePoint(Message, NonClient);
  TShiftState Shift = KeyboardShiftState();
  if (H.Options().Contains(hoHeightDblClickResize) && InHeaderSplitterArea(P) && H.DefaultHeight() > 0) {
    TPoint Q = P;
    if (H.DoHeaderHeightDblClickResize(Q, Shift) && H.DefaultHeight() > 0) H.SetHeight(H.MinHeight());
    return true;
  }
  const bool Left = Message.Msg == WM_NCLBUTTONDBLCLK || Message.Msg == WM_LBUTTONDBLCLK;
  if (Left && H.Options().Contains(hoDblClickResize) && ColumnSplitterHit(P) && Cols.TrackIndex() >= 0) {
    const TColumnIndex T = Cols.TrackIndex();
    if (H.DoColumnWidthDblClickResize(T, P, Shift)) {
      const Integer Pos = static_cast<Integer>(Cols[T].Position());
      H.AutoFitColumns(true, smaUseColumnOption, Pos, Pos);
    }
    Cols.SetTrackIndex(NoColumn);
    Message.Result = 0;
    return true;
  }
  if (!NonClient || !InHeader(P)) return false;
  const TMouseButton Button = Message.Msg == WM_NCRBUTTONDBLCLK   ? mbRight
                              : Message.Msg == WM_NCMBUTTONDBLCLK ? mbMiddle
                                                                  : mbLeft;
  if (Button == mbLeft) PressColumnAt(P);
  ProcessColumnClick(P, Button, true, true);
  return true;
}

bool TVastTreeControl::HeaderOtherButtonDown(TMessage& Message) {
  const TPoint P = HeaderMessagePoint(Message, true);
  if (!Focused() && CanFocus()) SetFocus();
  if (InHeader(P))
    DoHeaderMouseDown(Message.Msg == WM_NCRBUTTONDOWN ? mbRight : mbMiddle, KeyboardShiftState(), P.X,
                      P.Y + Header().Height());
  return false;
}

bool TVastTreeControl::HeaderOtherButtonUp(TMessage& Message) {
  const TPoint P = HeaderMessagePoint(Message, true);
  Application->CancelHint();
  if (!InHeader(P)) return false;
  const TMouseButton Button = Message.Msg == WM_NCRBUTTONUP ? mbRight : mbMiddle;
  const bool Result = ProcessColumnClick(P, Button, true, false);
  DoHeaderMouseUp(Button, KeyboardShiftState(), P.X, P.Y + Header().Height());
  if (Button == mbMiddle) {
    Header().Columns().SetDownIndex(NoColumn);
    Header().Columns().SetCheckBoxHit(false);
  }
  return Result;
}

bool TVastTreeControl::HeaderWMTimer(TMessage& Message) {
  if (Message.WParam != HeaderTimer) return false;
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  POINT Pt;
  GetCursorPos(&Pt);
  const TPoint P = ScreenToClient(TPoint{Pt.x, Pt.y});
  if (!InHeader(P) || (Cols.DownIndex() >= 0 && Cols.DownIndex() != Cols.HoverIndex())) {
    KillTimer(HeaderTimer);
    Cols.SetHoverIndex(NoColumn);
    Cols.SetClickIndex(NoColumn);
    Cols.SetDownIndex(NoColumn);
    Cols.SetCheckBoxHit(false);
    H.Invalidate(nullptr);
  }
  Message.Result = 0;
  return true;
}

// ---------------------------------------------------------------------------
// Wheel panning

void TVastTreeControl::BeginWheelPanning(TPoint Position) {
  TCustomVastStringTree::BeginWheelPanning(Position);
  const TPoint S = ClientToScreen(Position);
  FPanningImage = CreatePanningBitmap(PanningImageKind());
  FPanningWindow = std::make_unique<TPanningWindow>(FHandle, S, FPanningImage.Get(),
                                                    [this](TMessage& M) { PanningWindowHandler(M); });
  if (FPanningWindow->Handle()) ShowWindow(FPanningWindow->Handle(), SW_SHOWNOACTIVATE);
  FPanningCursorKind = PanningImageKind();
  FPanningCursor = CreatePanningCursor(FPanningCursorKind);
  ::SetCursor(FPanningCursor.Get());
}

void TVastTreeControl::EndWheelPanning() {
  if (!IsPanning()) return;
  TCustomVastStringTree::EndWheelPanning();
  FPanningWindow.reset();
  FPanningImage.Reset();
  ::SetCursor(Screen->Cursors(TControl::Cursor()));
  FPanningCursor.Reset();  // no longer shown
}

void TVastTreeControl::UpdatePanningCursor(Integer X, Integer Y) {
  const TVTPanningCursor Kind = PanningCursorAt(X, Y);
  if (FPanningCursor && Kind == FPanningCursorKind) return;
  TCursorHandle Cursor = CreatePanningCursor(Kind);
  FPanningCursorKind = Kind;
  ::SetCursor(Cursor.Get());
  FPanningCursor = std::move(Cursor);  // the one shown before goes once it is replaced
}

void TVastTreeControl::PanningWindowHandler(TMessage& Message) {
  const HWND Window = FPanningWindow ? FPanningWindow->Handle() : nullptr;
  if (!Window) return;
  if (Message.Msg == WM_PAINT) {
    const TPaintDC DC(Window);
    const TMemoryDC Mem(DC.Get());
    const TSelectGuard Select(Mem.Get(), FPanningImage.Get());
    BitBlt(DC.Get(), 0, 0, PanningImageSize, PanningImageSize, Mem.Get(), 0, 0, SRCCOPY);
    Message.Result = 0;
    return;
  }
  Message.Result = DefWindowProcW(Window, Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------
// Editing and hints

IVTEditLink* TVastTreeControl::DoCreateEditor(PVastNode Node, TColumnIndex Column) {
  IVTEditLink* Link = TCustomVastStringTree::DoCreateEditor(Node, Column);
  if (!Link) Link = new TStringEditLink();
  return Link;
}
