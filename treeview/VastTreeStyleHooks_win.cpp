#include "treeview/VastTreeStyleHooks_win.h"

#include <cmath>

#include "rtl/ScopeExit.h"
#include "treeview/VastDrawTree_win.h"
#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeScrollTrack.h"

namespace {

TPoint CursorPos() {
  POINT P{};
  GetCursorPos(&P);
  return {P.x, P.y};
}

// Moves State between Normal and Hot as P enters or leaves R; true when it
// changed.
bool FollowHover(TThemedScrollBar& State, TThemedScrollBar Normal, TThemedScrollBar Hot, const TRect& R,
                 const TPoint& P) {
  const bool Inside = R.Contains(P);
  if (State == Normal && Inside) {
    State = Hot;
    return true;
  }
  if (State == Hot && !Inside) {
    State = Normal;
    return true;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------- TScrollWindow

TVclStyleScrollBarsHook::TScrollWindow::TScrollWindow(HWND ParentWindow, TVclStyleScrollBarsHook* Hook, bool Vertical)
    : TWinControl(nullptr), FParentWindow(ParentWindow), FStyleHook(Hook), FVertical(Vertical) {}

void TVclStyleScrollBarsHook::TScrollWindow::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.WndParent = FParentWindow;
}

void TVclStyleScrollBarsHook::TScrollWindow::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCHITTEST:
      // The tree below gets the mouse.
      Message.Result = HTTRANSPARENT;
      return;
    case WM_PAINT: {
      PAINTSTRUCT PS;
      BeginPaint(FHandle, &PS);
      EndPaint(FHandle, &PS);
      if (FStyleHook) {
        HDC DC = GetWindowDC(FHandle);
        TScopeExit Release([&] { ReleaseDC(FHandle, DC); });
        const TRect R = FVertical ? FStyleHook->VertScrollRect() : FStyleHook->HorzScrollRect();
        SetWindowOrgEx(DC, R.Left, R.Top, nullptr);
        if (FVertical)
          FStyleHook->DrawVertScrollBar(DC);
        else
          FStyleHook->DrawHorzScrollBar(DC);
      }
      Message.Result = 0;
      return;
    }
    default:
      TWinControl::WndProc(Message);
  }
}

// ---------------------------------------------------------------- the hook

TVclStyleScrollBarsHook::TVclStyleScrollBarsHook(TWinControl* AControl) : TScrollingStyleHook(AControl) {
  HWND Parent = GetParent(AControl->Handle());
  FVertScrollWnd = std::make_unique<TScrollWindow>(Parent, this, true);
  FVertScrollWnd->HandleNeeded();
  FHorzScrollWnd = std::make_unique<TScrollWindow>(Parent, this, false);
  FHorzScrollWnd->HandleNeeded();
}

TVclStyleScrollBarsHook::~TVclStyleScrollBarsHook() {
  FVertScrollWnd->SetHook(nullptr);
  FHorzScrollWnd->SetHook(nullptr);
  FVertScrollWnd.reset();
  FHorzScrollWnd.reset();
}

TVastTreeControl* TVclStyleScrollBarsHook::Tree() const { return static_cast<TVastTreeControl*>(Control()); }

bool TVclStyleScrollBarsHook::InTreeHeader(const TPoint& HookPoint) const {
  const Integer Shift = HasBorder() ? (HasClientEdge() ? 2 : 1) : 0;
  return Tree()->InHeader({HookPoint.X - Shift, HookPoint.Y - Shift});
}

TPoint TVclStyleScrollBarsHook::MessageHookPoint(const TMessage& Message) const {
  return ScreenToHookPoint({static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))});
}

void TVclStyleScrollBarsHook::PaintScroll() {
  for (TScrollWindow* W : {FVertScrollWnd.get(), FHorzScrollWnd.get()}) {
    if (!W || !W->HandleAllocated()) continue;
    W->Invalidate();
    W->Update();
    RedrawWindow(W->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

void TVclStyleScrollBarsHook::UpdateScrollWindowStates() {
  HWND Wnd = Handle();
  auto Read = [&](LONG ObjectId, TBarWindowState& State, TScrollWindow* W) {
    SCROLLBARINFO Info{};
    Info.cbSize = sizeof Info;
    const bool Ok = Wnd && GetScrollBarInfo(Wnd, ObjectId, &Info);
    State.Visible = Control()->StyleElements().Contains(seBorder) && Ok && !(Info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    State.Enabled = State.Visible && !(Info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
    if (!State.Visible && W && W->HandleAllocated()) ShowWindow(W->Handle(), SW_HIDE);
  };
  Read(OBJID_VSCROLL, FVertState, FVertScrollWnd.get());
  Read(OBJID_HSCROLL, FHorzState, FHorzScrollWnd.get());
}

void TVclStyleScrollBarsHook::PlaceScrollWindows() {
  UpdateScrollWindowStates();
  TVastTreeControl* T = Tree();
  const TVTHeader& H = T->Header();
  const Integer HeaderOffset = H.Options().Contains(hoVisible) ? H.Height() : 0;
  Integer BorderOffset = T->BorderWidth();
  if (T->BevelKind() != bkNone) {
    if (T->BevelInner() != bvNone) BorderOffset += T->BevelWidth();
    if (T->BevelOuter() != bvNone) BorderOffset += T->BevelWidth();
  }
  const Integer Edge = HasBorder() ? GetSystemMetrics(SM_CXEDGE) : 0;
  const bool LeftBar = Handle() && (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const UINT Flags = SWP_SHOWWINDOW | SWP_NOACTIVATE;
  if (FVertState.Visible) {
    TRect R = VertScrollRect();
    if (LeftBar) R.Offset(Edge - R.Left, 0);
    FVertWindowHeight = T->Height() - HeaderOffset - 2 * BorderOffset - 2 * Edge;
    SetWindowPos(FVertScrollWnd->Handle(), HWND_TOP, T->Left() + R.Left + BorderOffset,
                 T->Top() + R.Top + HeaderOffset + BorderOffset, R.Width(), FVertWindowHeight, Flags);
  } else {
    ShowWindow(FVertScrollWnd->Handle(), SW_HIDE);
  }
  if (FHorzState.Visible) {
    TRect R = HorzScrollRect();
    if (LeftBar) R.Offset(VertScrollRect().Width(), 0);
    SetWindowPos(FHorzScrollWnd->Handle(), HWND_TOP, T->Left() + R.Left + BorderOffset,
                 T->Top() + R.Top + HeaderOffset + BorderOffset, R.Width(), R.Height(), Flags);
  } else {
    ShowWindow(FHorzScrollWnd->Handle(), SW_HIDE);
  }
}

namespace {

// Paints a bar into an off-screen bitmap in Bar's coordinates and copies it
// to DC at Bar's top left.
template <class F>
void PaintBuffered(HDC DC, const TRect& Bar, Integer Width, Integer Height, F Paint) {
  if (Width <= 0 || Height <= 0) return;
  HDC Buffer = CreateCompatibleDC(DC);
  HBITMAP Bitmap = CreateCompatibleBitmap(DC, Width, Height);
  HGDIOBJ Old = SelectObject(Buffer, Bitmap);
  TScopeExit Free([&] {
    SelectObject(Buffer, Old);
    DeleteObject(Bitmap);
    DeleteDC(Buffer);
  });
  POINT OldOrigin;
  SetWindowOrgEx(Buffer, Bar.Left, Bar.Top, &OldOrigin);
  Paint(Buffer);
  SetWindowOrgEx(Buffer, OldOrigin.x, OldOrigin.y, nullptr);
  BitBlt(DC, Bar.Left, Bar.Top, Width, Height, Buffer, 0, 0, SRCCOPY);
}

}  // namespace

void TVclStyleScrollBarsHook::DrawHorzScrollBar(HDC DC) {
  if (!Handle() || !DC || !FHorzState.Visible || !StyleServices().Available() ||
      !Control()->StyleElements().Contains(seBorder))
    return;
  const TRect R = HorzScrollRect();
  const bool Enabled = FHorzState.Enabled;
  PaintBuffered(DC, R, R.Width(), R.Height(), [&](HDC B) {
    TCustomStyleServices& S = StyleServices();
    const TRect Left = HorzUpButtonRect(), Right = HorzDownButtonRect();
    S.DrawElement(B, tsUpperTrackHorzNormal, {Left.Right, R.Top, Right.Left, R.Bottom});
    S.DrawElement(B, Enabled ? FHSliderState : tsUpperTrackHorzNormal, HorzSliderRect());
    S.DrawElement(B, Enabled ? FHUpState : tsArrowBtnLeftDisabled, Left);
    S.DrawElement(B, Enabled ? FHDownState : tsArrowBtnRightDisabled, Right);
  });
}

void TVclStyleScrollBarsHook::DrawVertScrollBar(HDC DC) {
  if (!Handle() || !DC || !FVertState.Visible || !StyleServices().Available() ||
      !Control()->StyleElements().Contains(seBorder))
    return;
  const TRect R = VertScrollRect();
  RECT Window{};
  GetClientRect(FVertScrollWnd->Handle(), &Window);
  const Integer Height = Window.bottom - Window.top;
  const bool Enabled = FVertState.Enabled;
  PaintBuffered(DC, R, R.Width(), Height, [&](HDC B) {
    TCustomStyleServices& S = StyleServices();
    const TRect Up = VertUpButtonRect(), Down = VertDownButtonRect();
    S.DrawElement(B, tsUpperTrackVertNormal, {R.Left, R.Top, R.Right, R.Top + Height});
    S.DrawElement(B, tsUpperTrackVertNormal, {R.Left, Up.Bottom, R.Right, Down.Top});
    S.DrawElement(B, Enabled ? FVSliderState : tsUpperTrackVertNormal, VertSliderRect());
    S.DrawElement(B, Enabled ? FVUpState : tsArrowBtnUpDisabled, Up);
    S.DrawElement(B, Enabled ? FVDownState : tsArrowBtnDownDisabled, Down);
  });
}

void TVclStyleScrollBarsHook::MouseLeave() {
  auto Cool = [](TThemedScrollBar& State, TThemedScrollBar Hot, TThemedScrollBar Normal) {
    if (State == Hot) State = Normal;
  };
  Cool(FVSliderState, tsThumbBtnVertHot, tsThumbBtnVertNormal);
  Cool(FVUpState, tsArrowBtnUpHot, tsArrowBtnUpNormal);
  Cool(FVDownState, tsArrowBtnDownHot, tsArrowBtnDownNormal);
  Cool(FHSliderState, tsThumbBtnHorzHot, tsThumbBtnHorzNormal);
  Cool(FHUpState, tsArrowBtnLeftHot, tsArrowBtnLeftNormal);
  Cool(FHDownState, tsArrowBtnRightHot, tsArrowBtnRightNormal);
  PaintScroll();
}

void TVclStyleScrollBarsHook::WMNCLButtonDown(TMessage& Message) {
  const TPoint P = MessageHookPoint(Message);
  if (InTreeHeader(P)) return;
  auto StartTracking = [&](bool Vertical) {
    FLeftMouseButtonDown = true;
    SCROLLINFO Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = SIF_ALL;
    GetScrollInfo(Handle(), Vertical ? SB_VERT : SB_HORZ, &Info);
    FListPos = Info.nPos;
    FScrollPos = Info.nPos;
    FPrevScrollPos = Vertical ? P.Y : P.X;
    if (Vertical)
      FVSliderState = tsThumbBtnVertPressed;
    else
      FHSliderState = tsThumbBtnHorzPressed;
    PaintScroll();
    SetCapture(Handle());
    Message.Result = 0;
    Handled = true;
  };
  if (FVertState.Visible && FVertState.Enabled) {
    if (VertSliderRect().Contains(P)) return StartTracking(true);
    if (VertDownButtonRect().Contains(P))
      FVDownState = tsArrowBtnDownPressed;
    else if (VertUpButtonRect().Contains(P))
      FVUpState = tsArrowBtnUpPressed;
  }
  if (FHorzState.Visible && FHorzState.Enabled) {
    if (HorzSliderRect().Contains(P)) return StartTracking(false);
    if (HorzDownButtonRect().Contains(P))
      FHDownState = tsArrowBtnRightPressed;
    else if (HorzUpButtonRect().Contains(P))
      FHUpState = tsArrowBtnLeftPressed;
  }
  FLeftMouseButtonDown = true;
  PaintScroll();
}

void TVclStyleScrollBarsHook::TrackThumb(bool Vertical) {
  const TPoint P = ScreenToHookPoint(CursorPos());
  SCROLLINFO Info{};
  Info.cbSize = sizeof Info;
  Info.fMask = SIF_ALL;
  const int Bar = Vertical ? SB_VERT : SB_HORZ;
  GetScrollInfo(Handle(), Bar, &Info);
  const TRect Track = Vertical ? VertTrackRect() : HorzTrackRect();
  const TRect Thumb = Vertical ? VertSliderRect() : HorzSliderRect();
  const TScrollTrackRange Range{Info.nMin, Info.nMax, Info.nPage};
  FScrollPos = Vertical ? TrackedScrollPos(FListPos, FPrevScrollPos, P.Y, Track.Height(), Thumb.Height(), Range)
                        : TrackedScrollPos(FListPos, FPrevScrollPos, P.X, Track.Width(), Thumb.Width(), Range);
  const Integer Pos = ThumbMessagePos(FScrollPos);
  SetScrollPos(Handle(), Bar, static_cast<int>(std::nearbyint(FScrollPos)), FALSE);
  PostMessageW(Handle(), Vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(Pos)), 0);
  PaintScroll();
}

void TVclStyleScrollBarsHook::WMMouseMove(TMessage& Message) {
  if (FVSliderState == tsThumbBtnVertPressed || FHSliderState == tsThumbBtnHorzPressed) {
    TrackThumb(FVSliderState == tsThumbBtnVertPressed);
    Message.Result = 0;
    Handled = true;
    return;
  }
  auto Cool = [&](TThemedScrollBar& State, TThemedScrollBar Hot, TThemedScrollBar Normal) {
    if (State != Hot) return;
    State = Normal;
    PaintScroll();
  };
  Cool(FVSliderState, tsThumbBtnVertHot, tsThumbBtnVertNormal);
  Cool(FVUpState, tsArrowBtnUpHot, tsArrowBtnUpNormal);
  Cool(FVDownState, tsArrowBtnDownHot, tsArrowBtnDownNormal);
  Cool(FHSliderState, tsThumbBtnHorzHot, tsThumbBtnHorzNormal);
  Cool(FHUpState, tsArrowBtnLeftHot, tsArrowBtnLeftNormal);
  Cool(FHDownState, tsArrowBtnRightHot, tsArrowBtnRightNormal);
  CallDefaultProc(Message);
  if (FLeftMouseButtonDown) PaintScroll();
  Handled = true;
}

void TVclStyleScrollBarsHook::WMLButtonUp(TMessage& Message) {
  const bool Vertical = FVSliderState == tsThumbBtnVertPressed;
  if (Vertical || FHSliderState == tsThumbBtnHorzPressed) {
    PostMessageW(Handle(), Vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    FLeftMouseButtonDown = false;
    if (Vertical)
      FVSliderState = tsThumbBtnVertNormal;
    else
      FHSliderState = tsThumbBtnHorzNormal;
    PaintScroll();
    ReleaseCapture();
    Message.Result = 0;
    Handled = true;
    return;
  }
  if (FVUpState == tsArrowBtnUpPressed) FVUpState = tsArrowBtnUpNormal;
  if (FVDownState == tsArrowBtnDownPressed) FVDownState = tsArrowBtnDownNormal;
  if (FHUpState == tsArrowBtnLeftPressed) FHUpState = tsArrowBtnLeftNormal;
  if (FHDownState == tsArrowBtnRightPressed) FHDownState = tsArrowBtnRightNormal;
  PaintScroll();
  FLeftMouseButtonDown = false;
}

void TVclStyleScrollBarsHook::WMNCLButtonUp(TMessage& Message) {
  if (FVSliderState == tsThumbBtnVertPressed || FHSliderState == tsThumbBtnHorzPressed) {
    FVSliderState = tsThumbBtnVertNormal;
    FHSliderState = tsThumbBtnHorzNormal;
    FLeftMouseButtonDown = false;
    Message.Result = 0;
    Handled = true;
    return;
  }
  const TPoint P = MessageHookPoint(Message);
  auto Follow = [&](TThemedScrollBar& State, TThemedScrollBar Normal, TThemedScrollBar Hot, const TRect& R) {
    State = R.Contains(P) ? Hot : Normal;
  };
  if (FVertState.Visible) {
    Follow(FVUpState, tsArrowBtnUpNormal, tsArrowBtnUpHot, VertUpButtonRect());
    Follow(FVDownState, tsArrowBtnDownNormal, tsArrowBtnDownHot, VertDownButtonRect());
  }
  if (FHorzState.Visible) {
    Follow(FHUpState, tsArrowBtnLeftNormal, tsArrowBtnLeftHot, HorzUpButtonRect());
    Follow(FHDownState, tsArrowBtnRightNormal, tsArrowBtnRightHot, HorzDownButtonRect());
  }
  CallDefaultProc(Message);
  if (FVertState.Visible || FHorzState.Visible) PaintScroll();
  Handled = true;
}

void TVclStyleScrollBarsHook::WMNCMouseMove(TMessage& Message) {
  CallDefaultProc(Message);
  Handled = true;
  TRACKMOUSEEVENT Track{sizeof Track, TME_LEAVE | TME_NONCLIENT, Handle(), 0};
  TrackMouseEvent(&Track);
  const TPoint P = MessageHookPoint(Message);
  if (InTreeHeader(P)) {
    PaintScroll();
    return;
  }
  bool Changed = false;
  if (FVertState.Visible && FVertState.Enabled) {
    Changed |= FollowHover(FVSliderState, tsThumbBtnVertNormal, tsThumbBtnVertHot, VertSliderRect(), P);
    Changed |= FollowHover(FVUpState, tsArrowBtnUpNormal, tsArrowBtnUpHot, VertUpButtonRect(), P);
    Changed |= FollowHover(FVDownState, tsArrowBtnDownNormal, tsArrowBtnDownHot, VertDownButtonRect(), P);
  }
  if (FHorzState.Visible && FHorzState.Enabled) {
    Changed |= FollowHover(FHSliderState, tsThumbBtnHorzNormal, tsThumbBtnHorzHot, HorzSliderRect(), P);
    Changed |= FollowHover(FHUpState, tsArrowBtnLeftNormal, tsArrowBtnLeftHot, HorzUpButtonRect(), P);
    Changed |= FollowHover(FHDownState, tsArrowBtnRightNormal, tsArrowBtnRightHot, HorzDownButtonRect(), P);
  }
  if (Changed) PaintScroll();
}

void TVclStyleScrollBarsHook::WMCaptureChanged(TMessage& Message) {
  if (FVertState.Visible && FVertState.Enabled) {
    if (FVUpState == tsArrowBtnUpPressed) {
      FVUpState = tsArrowBtnUpNormal;
      PaintScroll();
    }
    if (FVDownState == tsArrowBtnDownPressed) {
      FVDownState = tsArrowBtnDownNormal;
      PaintScroll();
    }
  }
  if (FHorzState.Visible && FHorzState.Enabled) {
    if (FHUpState == tsArrowBtnLeftPressed) {
      FHUpState = tsArrowBtnLeftNormal;
      PaintScroll();
    }
    if (FHDownState == tsArrowBtnRightPressed) {
      FHDownState = tsArrowBtnRightNormal;
      PaintScroll();
    }
  }
  // A thumb drag whose capture went elsewhere ends here; else the thumb
  // would keep following the mouse with the button up.
  const bool Vertical = FVSliderState == tsThumbBtnVertPressed;
  if ((Vertical || FHSliderState == tsThumbBtnHorzPressed) && reinterpret_cast<HWND>(Message.LParam) != Handle()) {
    PostMessageW(Handle(), Vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    FVSliderState = tsThumbBtnVertNormal;
    FHSliderState = tsThumbBtnHorzNormal;
    FLeftMouseButtonDown = false;
    PaintScroll();
  }
}

void TVclStyleScrollBarsHook::WndProc(TMessage& Message) {
  auto PassOn = [&] {
    CallDefaultProc(Message);
    Handled = true;
  };
  switch (Message.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      WMNCLButtonDown(Message);
      return;
    case WM_NCLBUTTONUP:
      WMNCLButtonUp(Message);
      return;
    case WM_NCMOUSEMOVE:
      WMNCMouseMove(Message);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(Message);
      return;
    case WM_LBUTTONUP:
      WMLButtonUp(Message);
      return;
    case WM_CAPTURECHANGED:
      WMCaptureChanged(Message);
      return;
    case WM_NCMOUSELEAVE:
      PassOn();
      MouseLeave();
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      PassOn();
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION || LOWORD(Message.WParam) == SB_THUMBTRACK)
        PaintScroll();
      else
        PlaceScrollWindows();
      return;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
      PassOn();
      PlaceScrollWindows();
      return;
    case WM_KEYUP:
      PassOn();
      PaintScroll();
      return;
    case WM_MOUSEWHEEL:
      PassOn();
      UpdateScrollWindowStates();
      PaintScroll();
      return;
    case WM_SIZE:
      PassOn();
      PlaceScrollWindows();
      PaintScroll();
      return;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
      PassOn();
      if (!Tree()->TreeStates().Contains(tsWindowCreating)) {
        PlaceScrollWindows();
        PaintScroll();
      }
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      Handled = true;
      return;
    case CM_UPDATE_VCLSTYLE_SCROLLBARS:
      UpdateScrollWindowStates();
      PaintScroll();
      PassOn();
      return;
    default:
      return;
  }
}

// ---------------------------------------------------------------- registration

void RegisterTreeStyleHooks() {
  auto Make = [](TWinControl* Control) -> std::unique_ptr<TStyleHook> {
    return std::make_unique<TVclStyleScrollBarsHook>(Control);
  };
  TStyleEngine::RegisterStyleHook<TVastStringTree>(Make);
  TStyleEngine::RegisterStyleHook<TVastDrawTree>(Make);
}

void UnRegisterTreeStyleHooks() {
  TStyleEngine::UnRegisterStyleHook<TVastStringTree>();
  TStyleEngine::UnRegisterStyleHook<TVastDrawTree>();
}
