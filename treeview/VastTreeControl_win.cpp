// The tree's window: creation, messages, scroll bars, the frame, the
// accessibility registry and the host services the core asks for. The
// painting, the header's painting, the tree-view queries and the toggle
// animation are in units of their own (VastTreeControl*_win.cpp).
#include "treeview/VastTreeControl_win.h"

#include "treeview/VastTreeDragImage_win.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <oleacc.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdint>

#include "rtl/ScopeExit.h"
#include "treeview/VastTreeDataObject_win.h"
#include "treeview/VastTreePanning_win.h"
#include "treeview/VastTreeStyleHooks_win.h"
#include "treeview/VastTreeWorker.h"
#include "vcl/Themes.h"

namespace {

// The trees' scroll-bar hook is known to the style engine from start-up to
// exit (used only while a custom style is active).
struct TStyleHookRegistration {
  TStyleHookRegistration() { RegisterTreeStyleHooks(); }
  ~TStyleHookRegistration() { UnRegisterTreeStyleHooks(); }
  TStyleHookRegistration(const TStyleHookRegistration&) = delete;
  TStyleHookRegistration& operator=(const TStyleHookRegistration&) = delete;
} StyleHookRegistration;

TColor RGBOf(TColor C) { return ColorToRGB(C); }

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

}  // namespace

bool IsWindowsSixOrLater() { return LOBYTE(LOWORD(GetVersion())) >= 6; }

// ---------------------------------------------------------------------------
// Accessibility factory

void ReleaseAccessibleObject(IAccessible* Object) { Object->Release(); }

TVTAccessibilityFactory& TVTAccessibilityFactory::GetAccessibilityFactory() {
  static TVTAccessibilityFactory Factory;
  return Factory;
}

void TVTAccessibilityFactory::RegisterAccessibleProvider(IVTAccessibleProvider* AProvider) {
  if (AProvider && std::find(FProviders.begin(), FProviders.end(), AProvider) == FProviders.end())
    FProviders.push_back(AProvider);
}

void TVTAccessibilityFactory::UnRegisterAccessibleProvider(IVTAccessibleProvider* AProvider) {
  auto It = std::find(FProviders.begin(), FProviders.end(), AProvider);
  if (It != FProviders.end()) FProviders.erase(It);
}

IAccessible* TVTAccessibilityFactory::CreateIAccessible(TBaseVastTree* ATree, IAccessible* Accessible,
                                                        IAccessible* AccessibleItem) {
  if (!ATree) return nullptr;
  if (!Accessible && !FProviders.empty()) return FProviders[0]->CreateIAccessible(ATree);
  if (AccessibleItem) return AccessibleItem;
  if (FProviders.empty()) return nullptr;
  for (std::size_t I = FProviders.size() - 1; I >= 1; --I)
    if (IAccessible* Result = FProviders[I]->CreateIAccessible(ATree)) return Result;
  return FProviders[0]->CreateIAccessible(ATree);
}

// ---------------------------------------------------------------------------
// Life cycle

namespace {

// The split cursors join the screen's table with the first tree: the
// header's column and lower edges and a row's edge show them.
void RegisterSplitCursors() {
  if (!Screen) return;
  const HCURSOR Arrow = LoadCursorW(nullptr, IDC_ARROW);
  // The screen's table owns the cursors it is given.
  if (Screen->Cursors(crVertSplit) == Arrow) Screen->SetCursors(crVertSplit, CreateSplitCursor(true).Release());
  if (Screen->Cursors(crHeaderSplit) == Arrow) Screen->SetCursors(crHeaderSplit, CreateSplitCursor(false).Release());
}

}  // namespace

TVastTreeControl::TVastTreeControl(TComponent* AOwner) : TCustomControl(AOwner), TCustomVastStringTree(nullptr) {
  RegisterSplitCursors();
  VastTreeOleStartup();
  SetHost(this);
  FThreadId = GetCurrentThreadId();
  Clock = [] { return static_cast<Cardinal>(timeGetTime()); };
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 200, 100);
  SetTabStop(true);
  TControl::SetColor(clWindow);
  FMeasureBitmap = std::make_unique<TBitmap>(1, 1);
  FImageChangeLink.OnChange = [this](TObject*) {
    if (!Destroying()) InvalidateAll();
  };
  FStateChangeLink.OnChange = FImageChangeLink.OnChange;
  FHeaderImageChangeLink.OnChange = [this](TObject*) {
    if (!Destroying()) Header().Invalidate(nullptr);
  };
  FontChanged();
}

TVastTreeControl::~TVastTreeControl() {
  // The core's teardown still asks its host: from here on it is windowless.
  StopCacheValidation();
  if (Images()) Images()->UnRegisterChanges(&FImageChangeLink);
  if (StateImages()) StateImages()->UnRegisterChanges(&FStateChangeLink);
  if (Header().Images()) Header().Images()->UnRegisterChanges(&FHeaderImageChangeLink);
  SetHost(nullptr);
}

void TVastTreeControl::SetImages(TCustomImageList* Value) {
  if (Value == Images()) return;
  if (Images()) Images()->UnRegisterChanges(&FImageChangeLink);
  TCustomVastStringTree::SetImages(Value);
  if (Value) {
    Value->RegisterChanges(&FImageChangeLink);
    Value->FreeNotification(this);
  }
  if (!TCustomVastStringTree::Loading()) InvalidateAll();
}

void TVastTreeControl::SetStateImages(TCustomImageList* Value) {
  if (Value == StateImages()) return;
  if (StateImages()) StateImages()->UnRegisterChanges(&FStateChangeLink);
  TCustomVastStringTree::SetStateImages(Value);
  if (Value) {
    Value->RegisterChanges(&FStateChangeLink);
    Value->FreeNotification(this);
  }
  if (!TCustomVastStringTree::Loading()) InvalidateAll();
}

void TVastTreeControl::HeaderImagesChanged(TCustomImageList* Old, TCustomImageList* New) {
  if (Old) Old->UnRegisterChanges(&FHeaderImageChangeLink);
  if (New) {
    New->RegisterChanges(&FHeaderImageChangeLink);
    New->FreeNotification(this);
  }
}

void TVastTreeControl::SetHeaderPopupMenu(TPopupMenu* Value) {
  FHeaderPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TVastTreeControl::SetBiDiMode(TBiDiMode Value) {
  if (Value == BiDiMode()) return;
  TCustomVastStringTree::SetBiDiMode(Value);
  RecreateWindow();
}

void TVastTreeControl::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWindow();
}

void TVastTreeControl::FrameChanged() {
  if (HandleAllocated())
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TVastTreeControl::SetBorderWidth(Integer Value) {
  if (Value == FBorderWidth) return;
  FBorderWidth = std::max(0, Value);
  FrameChanged();
}

void TVastTreeControl::SetBevelKind(TBevelKind Value) {
  if (Value == FBevelKind) return;
  FBevelKind = Value;
  FrameChanged();
}

void TVastTreeControl::SetBevelInner(TBevelCut Value) {
  if (Value == FBevelInner) return;
  FBevelInner = Value;
  FrameChanged();
}

void TVastTreeControl::SetBevelOuter(TBevelCut Value) {
  if (Value == FBevelOuter) return;
  FBevelOuter = Value;
  FrameChanged();
}

void TVastTreeControl::SetBevelWidth(Integer Value) {
  if (Value == FBevelWidth || Value < 1) return;
  FBevelWidth = Value;
  FrameChanged();
}

void TVastTreeControl::SetBevelEdges(TBevelEdges Value) {
  if (Value == FBevelEdges) return;
  FBevelEdges = Value;
  FrameChanged();
}

Integer TVastTreeControl::BevelSize() const {
  if (FBevelKind == bkNone) return 0;
  return (FBevelInner != bvNone ? FBevelWidth : 0) + (FBevelOuter != bvNone ? FBevelWidth : 0);
}

void TVastTreeControl::Assign(const TBaseVastTree& Source) {
  if (&Source == this || ReadOnly()) return;
  const auto* Other = dynamic_cast<const TVastTreeControl*>(&Source);
  if (!Other) {
    TCustomVastStringTree::Assign(Source);
    return;
  }
  SetAlign(Other->Align());
  SetAnchors(Other->Anchors());
  SetBackground(const_cast<TPicture*>(&Other->FBackground));
  SetBevelEdges(Other->FBevelEdges);
  SetBevelInner(Other->FBevelInner);
  SetBevelKind(Other->FBevelKind);
  SetBevelOuter(Other->FBevelOuter);
  SetBevelWidth(Other->FBevelWidth);
  SetBiDiMode(Other->BiDiMode());
  SetBorderStyle(Other->FBorderStyle);
  SetBorderWidth(Other->FBorderWidth);
  TControl::SetColor(Other->TControl::Color());
  SetEnabled(Other->TControl::Enabled());
  SetFont(Other->TControl::Font());
  SetHotCursor(Other->FHotCursor);
  SetImages(Other->Images());
  SetParentColor(Other->ParentColor());
  SetParentFont(Other->ParentFont());
  SetParentShowHint(Other->ParentShowHint());
  SetPopupMenu(Other->PopupMenu());
  SetShowHint(Other->ShowHint());
  SetStateImages(Other->StateImages());
  SetCustomCheckImages(Other->FCustomCheckImages);
  SetHeaderPopupMenu(Other->FHeaderPopupMenu);
  SetTabOrder(Other->TabOrder());
  SetTabStop(Other->TabStop());
  static_cast<TControl*>(this)->SetVisible(Other->Visible());
  // The tree's own settings and the header last: they follow the font and
  // the pictures just taken.
  TCustomVastStringTree::Assign(Source);
}

void TVastTreeControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  switch (ScrollBarOptions().ScrollBars()) {
    case ssHorizontal:
      Params.Style |= WS_HSCROLL;
      break;
    case ssVertical:
      Params.Style |= WS_VSCROLL;
      break;
    case ssBoth:
      Params.Style |= WS_HSCROLL | WS_VSCROLL;
      break;
    default:
      break;
  }
  if (TreeOptions().MiscOptions().Contains(toFullRepaintOnResize))
    Params.WindowClassStyle |= CS_HREDRAW | CS_VREDRAW;
  else
    Params.WindowClassStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  if (FBorderStyle != bsSingle) {
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  } else if (FCtl3D) {
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  } else {
    Params.Style |= WS_BORDER;
  }
  if (UseRightToLeftAlignment()) Params.ExStyle |= WS_EX_LEFTSCROLLBAR;
}

void TVastTreeControl::CreateWnd() {
  // By now a descendant's class operations answer.
  ApplyPartClasses();
  CloseTreeThemes();
  DoStateChange({tsWindowCreating});
  {
    const TScopeExit Created([this] { DoStateChange({}, {tsWindowCreating}); });
    TCustomControl::CreateWnd();
  }
  UpdateStyleEnabled();
  // Themes are decided at every window creation; without theme services
  // (or without toThemeAware) the tree keeps the classic look.
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  if (ThemeServicesEnabled() && Paint.Contains(toThemeAware)) {
    DoStateChange({tsUseThemes});
    if (Paint.Contains(toUseExplorerTheme) && IsWindowsSixOrLater()) {
      DoStateChange({tsUseExplorerTheme});
      SetWindowTheme(u"explorer");
    } else {
      DoStateChange({}, {tsUseExplorerTheme});
    }
  } else {
    DoStateChange({}, {tsUseThemes, tsUseExplorerTheme});
  }
  TVTHeader& H = Header();
  // The auto-size column is fitted to the window's real client width.
  RECT Rc;
  GetClientRect(FHandle, &Rc);
  H.SetTreeBounds(Width(), TControl::Height(), Rc.right, Rc.bottom);
  if (H.States().Contains(hsNeedScaling)) H.ReapplyConstraints();
  if (H.Options().Contains(hoAutoResize)) H.Columns().FitAutoSizeColumn(false);
  PrepareButtonImages(true, true);
  UpdateScrollBars(true);
  ComputeHeaderRect();
  // Give the header its strip in the non-client area.
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FDropTargetRegistered = false;
  if (TreeOptions().MiscOptions().Contains(toAcceptOLEDrop)) RegisterDropTarget(true);
}

void TVastTreeControl::Loaded() {
  TCustomControl::Loaded();
  ApplyPartClasses();
  ApplyStoredRootCount();
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  H.ClampMainColumn();
  Cols.RebuildPositionMap();
  if (TreeOptions().AutoOptions().Contains(toAutoBidiColumnOrdering))
    Cols.SetRightToLeftOrder(UseRightToLeftAlignment());
  if (H.States().Contains(hsNeedScaling))
    H.ReapplyConstraints();
  else
    H.RefreshHeaderFrame();
  if (H.Options().Contains(hoAutoResize)) Cols.FitAutoSizeColumn(true);
}

void TVastTreeControl::DestroyWnd() {
  StopCacheValidation();
  for (Cardinal Id = ExpandTimer; Id <= ThemeChangedTimer; ++Id) KillTimer(Id);
  CloseTreeThemes();
  TCustomControl::DestroyWnd();
}

void TVastTreeControl::RecreateWindow() {
  if (HandleAllocated()) RecreateWnd();
}

void TVastTreeControl::FontChanged() {
  TCustomControl::FontChanged();
  if (FMeasureBitmap) {
    FMeasureBitmap->Canvas()->SetFont(Font());
    TCustomVastStringTree::FontChanged();
  }
  if (Destroying()) return;
  // A header that takes the tree's font follows it.
  Header().ParentFontChanged(HeaderFontOf(*Font()));
  PrepareButtonImages(true, false);
  if (TreeOptions().AutoOptions().Contains(toAutoChangeScale)) {
    const Integer Needed = TextHeight(u"Tg") + 2;
    if (static_cast<Integer>(DefaultNodeHeight()) < Needed) SetDefaultNodeHeight(static_cast<Cardinal>(Needed));
  }
  if (HandleAllocated()) InvalidateAll();
}

void TVastTreeControl::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != this) {
    // A list that goes away is forgotten before anything paints with it.
    if (AComponent == Images()) {
      TCustomVastStringTree::SetImages(nullptr);
      if (!Destroying()) InvalidateAll();
    }
    if (AComponent == StateImages()) {
      TCustomVastStringTree::SetStateImages(nullptr);
      if (!Destroying()) InvalidateAll();
    }
    if (AComponent == FCustomCheckImages) {
      // Back to the system's check boxes.
      FCustomCheckImages = nullptr;
      SetCheckImageKind(ckSystemDefault);
      if (!Destroying()) InvalidateAll();
    }
    if (Header().Images() && static_cast<TComponent*>(Header().Images()) == AComponent) Header().SetImages(nullptr);
    if (FHeaderPopupMenu && static_cast<TComponent*>(FHeaderPopupMenu) == AComponent) FHeaderPopupMenu = nullptr;
  }
  TCustomControl::Notification(AComponent, Operation);
}

bool TVastTreeControl::CanFocus() const {
  if (!TCustomControl::CanFocus()) return false;
  const TCustomForm* Form = GetParentForm(this);
  return !Form || (Form->Enabled() && Form->Visible());
}

void TVastTreeControl::ScaleBy(Integer M, Integer D) {
  ChangeScale(M, D);
  TCustomControl::ScaleBy(M, D);
  ComputeHeaderRect();
}

void TVastTreeControl::ColorChanged() {
  TCustomControl::ColorChanged();
  if (Destroying()) return;
  PrepareButtonImages(true, false);
  InvalidateAll();
}

void TVastTreeControl::DoScroll(Integer DeltaX, Integer DeltaY) {
  if (FHandle && !IsMouseSelecting() && !IsPanning()) {
    POINT P;
    GetCursorPos(&P);
    ::ScreenToClient(FHandle, &P);
    RECT Client;
    GetClientRect(FHandle, &Client);
    if (PtInRect(&Client, P)) TrackHotNode(P.x, P.y);
  }
  TCustomVastStringTree::DoScroll(DeltaX, DeltaY);
}

void TVastTreeControl::DoEnter() {
  TCustomControl::DoEnter();
  EnsureNodeSelected();
}

void TVastTreeControl::TimerFired(Cardinal TimerId) {
  if (TimerId == ThemeChangedTimer) {
    KillTimer(ThemeChangedTimer);
    RecreateWindow();
    return;
  }
  TCustomVastStringTree::TimerFired(TimerId);
}

void TVastTreeControl::UpdateStyleEnabled() { FVclStyleEnabled = !StyleServices().IsSystemStyle(); }

bool TVastTreeControl::ThemeServicesEnabled() { return IsAppThemed() && IsThemeActive(); }

void TVastTreeControl::SetWindowTheme(const char16_t* Theme) {
  if (!FHandle) return;
  // The WM_THEMECHANGED this sends back is the tree's own doing.
  FChangingTheme = true;
  ::SetWindowTheme(FHandle, reinterpret_cast<const wchar_t*>(Theme), nullptr);
  CloseTreeThemes();
}

void TVastTreeControl::PaintOptionsChanged(TVTPaintOptions Old, TVTPaintOptions New) {
  const bool NewlyAware = New.Contains(toThemeAware) && !Old.Contains(toThemeAware);
  const bool ExplorerChanged = Old.Contains(toUseExplorerTheme) != New.Contains(toUseExplorerTheme);
  if (FHandle && IsWindowsSixOrLater() && (HasState(tsUseThemes) || (NewlyAware && ThemeServicesEnabled())) &&
      !FVclStyleEnabled && ExplorerChanged) {
    if (New.Contains(toUseExplorerTheme)) {
      DoStateChange({tsUseExplorerTheme});
      SetWindowTheme(u"explorer");
    } else {
      DoStateChange({}, {tsUseExplorerTheme});
      SetWindowTheme(nullptr);
    }
  }
  if (!Loading() &&
      (NewlyAware || ExplorerChanged || Old.Contains(toThemeAware) != New.Contains(toThemeAware) || FVclStyleEnabled)) {
    if (NewlyAware && ThemeServicesEnabled())
      DoStateChange({tsUseThemes});
    else if (!New.Contains(toThemeAware))
      DoStateChange({}, {tsUseThemes, tsUseExplorerTheme});
    if (FHandle) {
      PrepareButtonImages(true, true);
      RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
    }
  }
  TCustomVastStringTree::PaintOptionsChanged(Old, New);
}

void TVastTreeControl::HookCanvasFontChange(TCanvas* Canvas) {
  if (!Canvas || FOldFontChange) return;
  FOldFontChange = Canvas->Font()->OnChange;
  if (!FOldFontChange) FOldFontChange = [](TObject*) {};
  Canvas->Font()->OnChange = [this](TObject* Sender) { CanvasFontChanged(Sender); };
  FHookedFontShape = TFontShape::Of(*Canvas->Font());
  FFontChanged = false;
}

void TVastTreeControl::UnhookCanvasFontChange(TCanvas* Canvas) {
  if (!Canvas || !FOldFontChange) return;
  Canvas->Font()->OnChange = FOldFontChange;
  FOldFontChange = nullptr;
}

TVastTreeControl::TFontShape TVastTreeControl::TFontShape::Of(const TFont& Font) {
  return TFontShape{Font.Name(),    Font.Height(),      Font.Style(),  Font.Pitch(),
                    Font.Quality(), Font.Orientation(), Font.Charset()};
}

void TVastTreeControl::CanvasFontChanged(TObject* Sender) {
  // A font set back to what it was is no change either.
  if (const TFont* Font = dynamic_cast<const TFont*>(Sender))
    FFontChanged = !(TFontShape::Of(*Font) == FHookedFontShape);
  else
    FFontChanged = true;
  if (FOldFontChange) FOldFontChange(Sender);
}

void TVastTreeControl::MiscOptionsChanged(TVTMiscOptions Old, TVTMiscOptions New) {
  TCustomVastStringTree::MiscOptionsChanged(Old, New);
  if (TCustomVastStringTree::Loading() || !HandleAllocated()) return;
  // The window class's redraw bits follow the option.
  if (Old.Contains(toFullRepaintOnResize) != New.Contains(toFullRepaintOnResize)) RecreateWindow();
  if (Old.Contains(toAcceptOLEDrop) != New.Contains(toAcceptOLEDrop)) RegisterDropTarget(New.Contains(toAcceptOLEDrop));
}

void TVastTreeControl::SetCursorFor(TMessage& Message) {
  TCursor Cursor = crDefault;
  POINT P;
  GetCursorPos(&P);
  ::ScreenToClient(FHandle, &P);
  if (TreeOptions().MiscOptions().Contains(toNodeHeightResize)) {
    THitInfo Hit;
    GetHitTestInfoAt(P.x, P.y, true, Hit);
    if (Hit.HitPositions.Contains(hiOnItem) &&
        (Hit.HitPositions.Contains(hiUpperSplitter) || Hit.HitPositions.Contains(hiLowerSplitter))) {
      // The upper band belongs to the row above.
      PVastNode Node = Hit.HitPositions.Contains(hiUpperSplitter) ? GetPreviousVisible(Hit.HitNode, true) : Hit.HitNode;
      if (CanResizeNodeHeight(TPoint{P.x, P.y}, Node, Hit.HitColumn)) Cursor = crVertSplit;
    }
  }
  if (Cursor == crDefault)
    Cursor = TreeOptions().PaintOptions().Contains(toHotTrack) && HotNode() && FHotCursor != crDefault
                 ? FHotCursor
                 : TControl::Cursor();
  DoGetCursor(Cursor);
  if (Cursor == crDefault) {
    TCustomControl::WndProc(Message);
    return;
  }
  ::SetCursor(Screen->Cursors(Cursor));
  Message.Result = 1;
}

// ---------------------------------------------------------------------------
// Host services

void TVastTreeControl::InvalidateNodeArea(TVastNode* Node) {
  if (!HandleAllocated() || !Node) return;
  const TRect R = GetDisplayRect(Node, NoColumn, false);
  if (R.Height() <= 0) return;
  RECT Rc = ToRECT(R);
  ::InvalidateRect(FHandle, &Rc, FALSE);
}

void TVastTreeControl::InvalidateToBottomArea(TVastNode* Node) {
  if (!HandleAllocated()) return;
  if (!Node) {
    InvalidateAll();
    return;
  }
  if (!Node->States.Contains(vsInitialized) || !GetEffectivelyVisible(Node)) return;
  TRect R = GetDisplayRect(Node, NoColumn, false);
  if (TreeOptions().PaintOptions().Contains(toChildrenAbove) && GetExpanded(Node))
    R.Top -= static_cast<Integer>(Node->TotalHeight) - R.Height();
  if (R.Top >= ClientHeight()) return;
  R.Left = 0;
  R.Right = ClientWidth();
  R.Bottom = ClientHeight();
  RECT Rc = ToRECT(R);
  ::InvalidateRect(FHandle, &Rc, FALSE);
}

void TVastTreeControl::InvalidateAll() {
  if (HandleAllocated()) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
}

void TVastTreeControl::SetRedraw(bool Enabled) {
  if (Enabled) {
    if (FRedrawDisabled > 0) --FRedrawDisabled;
  } else {
    ++FRedrawDisabled;
  }
}

void TVastTreeControl::ScrollBarsUpdated(bool DoRepaint) {
  (void)DoRepaint;
  if (HandleAllocated()) ::SendMessageW(FHandle, CM_UPDATE_VCLSTYLE_SCROLLBARS, 0, 0);
}

void TVastTreeControl::SetTimer(Cardinal TimerId, Cardinal Milliseconds) {
  if (HandleAllocated()) ::SetTimer(FHandle, TimerId, Milliseconds, nullptr);
}

void TVastTreeControl::KillTimer(Cardinal TimerId) {
  if (HandleAllocated()) ::KillTimer(FHandle, TimerId);
}

Integer TVastTreeControl::TextWidth(const String& Text) {
  return FMeasureBitmap ? FMeasureBitmap->Canvas()->TextWidth(Text) : static_cast<Integer>(Text.size()) * 7;
}

Integer TVastTreeControl::TextHeight(const String& Text) {
  return FMeasureBitmap ? FMeasureBitmap->Canvas()->TextHeight(Text) : 13;
}

void TVastTreeControl::SendToUIThread(std::function<void()> Work) {
  TWindowlessVastTreeHost::Instance().SendToUIThread(std::move(Work));
}

void TVastTreeControl::PostToUIThread(std::function<void()> Work) {
  TWindowlessVastTreeHost::Instance().PostToUIThread(std::move(Work));
}

bool TVastTreeControl::IsUIThread() const { return GetCurrentThreadId() == FThreadId; }

void TVastTreeControl::ServeUIThread(Cardinal TimeoutMs) {
  TWindowlessVastTreeHost::Instance().ServeUIThread(TimeoutMs);
}

Integer TVastTreeControl::ClientWidth() const {
  if (!FHandle) return std::max(0, Width() - 4);
  RECT Rc;
  GetClientRect(FHandle, &Rc);
  return Rc.right;
}

Integer TVastTreeControl::ClientHeight() const {
  if (!FHandle) return std::max(0, TControl::Height() - 4);
  RECT Rc;
  GetClientRect(FHandle, &Rc);
  return Rc.bottom;
}

Integer TVastTreeControl::SetScrollBar(bool Vertical, TScrollBarShow Show, Integer Max, Integer Page, Integer Pos,
                                       bool Repaint) {
  if (!FHandle) return Pos;
  const int Bar = Vertical ? SB_VERT : SB_HORZ;
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_ALL;
  if (Show == sbsHidden) {
    Info.nMin = Info.nMax = 0;
    Info.nPage = 0;
    Info.nPos = 0;
    SetScrollInfo(FHandle, Bar, &Info, Repaint);
    ShowScrollBar(FHandle, Bar, FALSE);
  } else {
    Info.nMin = 0;
    Info.nMax = Max;
    Info.nPage = static_cast<UINT>(std::max(0, Page));
    Info.nPos = Pos;
    if (Show == sbsDisabled) Info.fMask |= SIF_DISABLENOSCROLL;
    ShowScrollBar(FHandle, Bar, TRUE);
    SetScrollInfo(FHandle, Bar, &Info, Repaint);
    EnableScrollBar(FHandle, Bar, Show == sbsDisabled ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
  }
  SCROLLINFO Back{};
  Back.cbSize = sizeof(Back);
  Back.fMask = SIF_POS;
  GetScrollInfo(FHandle, Bar, &Back);
  return Back.nPos;
}

Integer TVastTreeControl::ScrollBarSize(bool Vertical) const {
  return GetSystemMetrics(Vertical ? SM_CXVSCROLL : SM_CYHSCROLL);
}

void TVastTreeControl::ScrollClient(Integer DX, Integer DY, const TRect& Clip) {
  if (!FHandle || FRedrawDisabled > 0) {
    if (FHandle) InvalidateAll();
    return;
  }
  RECT Rc = ToRECT(Clip);
  ScrollWindowEx(FHandle, DX, DY, nullptr, &Rc, nullptr, nullptr, SW_INVALIDATE | SW_SCROLLCHILDREN);
}

void TVastTreeControl::InvalidateRect(const TRect& R) {
  if (!FHandle) return;
  RECT Rc = ToRECT(R);
  ::InvalidateRect(FHandle, &Rc, FALSE);
}

void TVastTreeControl::UpdateNow() {
  if (FHandle) UpdateWindow(FHandle);
}

TSize TVastTreeControl::ImageListSize(TCustomImageList* List) const {
  return List ? TSize{List->Width(), List->Height()} : TSize{};
}

Integer TVastTreeControl::PixelsPerInch() const {
  const Integer Result = GetDeviceCaps(TWindowDC(nullptr).Get(), LOGPIXELSX);
  return Result > 0 ? Result : 96;
}

TSize TVastTreeControl::ButtonSize() const {
  return FPlusBM ? TSize{FPlusBM->Width(), FPlusBM->Height()} : TSize{9, 9};
}

TVTExportLook TVastTreeControl::GetExportLook() {
  TVTExportLook Look;
  Look.Font = HeaderFontOf(*Font());
  Look.Color = Color();
  Look.HasBorder = BorderStyle() != bsNone;
  Look.BorderWidth = BorderWidth();
  return Look;
}

TColor TVastTreeControl::ExportColorToRGB(TColor Color) { return ColorToRGB(Color); }

bool TVastTreeControl::MeasurementIsMetric() {
  wchar_t Buffer[4] = {};
  return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, Buffer, 4) > 0 && Buffer[0] == L'0';
}

bool TVastTreeControl::ExportPaintText(PVastNode Node, TColumnIndex Column, TVSTTextType TextType,
                                       TVTHeaderFont& CellFont) {
  TCanvas* C = FMeasureBitmap->Canvas();
  AssignHeaderFont(*C->Font(), CellFont);
  DoPaintText(Node, C, TextType, Column);
  const TVTHeaderFont After = HeaderFontOf(*C->Font());
  C->SetFont(Font());
  if (After == CellFont) return false;
  CellFont = After;
  return true;
}

void TVastTreeControl::GetTextInfo(PVastNode Node, TColumnIndex Column, TFont* AFont, TRect& R, String& Text) {
  AFont->Assign(Font());
  TCanvas* C = FMeasureBitmap->Canvas();
  C->SetFont(Font());
  const String Name = C->Font()->Name();
  const Integer Height = C->Font()->Height();
  const TFontStyles Style = C->Font()->Style();
  Integer TH = 0;
  TCustomVastStringTree::GetTextInfo(Node, Column, C, Text, TH);
  if (C->Font()->Name() != Name || C->Font()->Height() != Height || C->Font()->Style() != Style) {
    // The handler chose another font: the editor takes it, and its height.
    AFont->Assign(C->Font());
    TEXTMETRICW Metrics{};
    C->TextExtent(u"x");
    GetTextMetricsW(C->Handle(), &Metrics);
    TH = Metrics.tmHeight;
  } else if (C->Font()->Color() != Font()->Color()) {
    AFont->SetColor(C->Font()->Color());
  }
  C->SetFont(Font());
  R = GetDisplayRect(Node, Column, true, !GetMultiline(Node), false);
  if (TreeOptions().PaintOptions().Contains(toShowHorzGridLines)) --R.Bottom;
  const Integer Grow = (TH - R.Height()) / 2;
  R.Top -= Grow;
  R.Bottom += Grow;
}

TRect TVastTreeControl::CellRectForMargin(PVastNode Node, TColumnIndex Column) {
  return GetDisplayRect(Node, Column, false);
}

bool TVastTreeControl::TreeFocused() const { return FHandle && GetFocus() == FHandle; }

TColor TVastTreeControl::SelectionColor() const {
  return TreeFocused() || TreeOptions().PaintOptions().Contains(toPopupMode) ? Colors().FocusedSelectionColor()
                                                                             : Colors().UnfocusedSelectionColor();
}

TColor TVastTreeControl::SelectionBorderColor() const {
  return TreeFocused() || TreeOptions().PaintOptions().Contains(toPopupMode) ? Colors().FocusedSelectionBorderColor()
                                                                             : Colors().UnfocusedSelectionBorderColor();
}

// ---------------------------------------------------------------------------
// Frame and header rectangle

TSize TVastTreeControl::BorderExtent() const {
  TSize Result{0, 0};
  if (!FHandle) return Result;
  const LONG Style = GetWindowLongW(FHandle, GWL_STYLE);
  const LONG ExStyle = GetWindowLongW(FHandle, GWL_EXSTYLE);
  if (Style & WS_BORDER) {
    --Result.cx;
    --Result.cy;
  }
  if (Style & WS_THICKFRAME) {
    Result.cx -= GetSystemMetrics(SM_CXDLGFRAME);
    Result.cy -= GetSystemMetrics(SM_CYDLGFRAME);
  }
  if (ExStyle & WS_EX_CLIENTEDGE) {
    Result.cx -= GetSystemMetrics(SM_CXEDGE);
    Result.cy -= GetSystemMetrics(SM_CYEDGE);
  }
  return Result;
}

void TVastTreeControl::ComputeHeaderRect() {
  FHeaderRect = TRect{0, 0, Width(), TControl::Height()};
  if (FHandle) {
    const TSize B = BorderExtent();
    FHeaderRect.Left -= B.cx;
    FHeaderRect.Top -= B.cy;
    FHeaderRect.Right += B.cx;
    FHeaderRect.Bottom += B.cy;
  }
  Integer HX = FBorderWidth, HY = FBorderWidth;
  if (FBevelKind != bkNone) {
    const Integer BS = BevelSize();
    if (FBevelEdges.Contains(beLeft)) HX += BS;
    if (FBevelEdges.Contains(beTop)) HY += BS;
  }
  FHeaderRect.Left += HX;
  FHeaderRect.Right -= HX;
  FHeaderRect.Top += HY;
  FHeaderRect.Bottom -= HY;
  const TVTHeader& H = Header();
  if (H.Options().Contains(hoVisible)) {
    if (FHeaderRect.Left > FHeaderRect.Right)
      FHeaderRect = TRect{0, 0, 0, 0};
    else
      FHeaderRect.Bottom = FHeaderRect.Top + H.Height();
  } else {
    FHeaderRect.Bottom = FHeaderRect.Top;
  }
}

void TVastTreeControl::PaintBevelBorder(HDC DC) {
  if (FBevelKind == bkNone && FBorderWidth == 0) return;
  const TSize B = BorderExtent();
  RECT R{-B.cx, -B.cy, Width() + B.cx, TControl::Height() + B.cy};
  const RECT RC = R;
  if (FBevelKind != bkNone) {
    UINT Edge = 0;
    if (FBevelInner == bvLowered) Edge |= BDR_SUNKENINNER;
    if (FBevelInner == bvRaised) Edge |= BDR_RAISEDINNER;
    if (FBevelOuter == bvLowered) Edge |= BDR_SUNKENOUTER;
    if (FBevelOuter == bvRaised) Edge |= BDR_RAISEDOUTER;
    UINT Flags = 0;
    if (FBevelEdges.Contains(beLeft)) Flags |= BF_LEFT;
    if (FBevelEdges.Contains(beTop)) Flags |= BF_TOP;
    if (FBevelEdges.Contains(beRight)) Flags |= BF_RIGHT;
    if (FBevelEdges.Contains(beBottom)) Flags |= BF_BOTTOM;
    if (FBevelKind == bkSoft) Flags |= BF_SOFT;
    if (FBevelKind == bkFlat) Flags |= BF_FLAT;
    if (!FCtl3D) Flags |= BF_MONO;
    DrawEdge(DC, &R, Edge, Flags);
    const Integer BS = BevelSize();
    if (FBevelEdges.Contains(beLeft)) R.left += BS;
    if (FBevelEdges.Contains(beTop)) R.top += BS;
    if (FBevelEdges.Contains(beRight)) R.right -= BS;
    if (FBevelEdges.Contains(beBottom)) R.bottom -= BS;
  }
  if (FBorderWidth == 0) return;
  // The band of BorderWidth inside the bevel shows the border colour.
  TSavedDC Saved(DC);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  ExcludeClipRect(DC, R.left + FBorderWidth, R.top + FBorderWidth, R.right - FBorderWidth, R.bottom - FBorderWidth);
  TGdiObject Brush(CreateSolidBrush(static_cast<COLORREF>(RGBOf(Colors().BorderColor()))));
  ::FillRect(DC, &RC, static_cast<HBRUSH>(Brush.Get()));
}

void TVastTreeControl::RepaintHeader() {
  if (!FHandle || !Header().Options().Contains(hoVisible)) return;
  const TWindowDC DC = TWindowDC::WholeWindow(FHandle);
  PaintHeader(DC.Get(), FHeaderRect, -EffectiveOffsetX());
}

void TVastTreeControl::InvalidateHeader(TVastTreeColumn* Column, bool ExpandToBorder, bool UpdateNow) {
  if (!FHandle || !Header().Options().Contains(hoVisible)) return;
  ComputeHeaderRect();
  TRect R = FHeaderRect;
  if (Column) {
    Integer L, Rt;
    Column->UnscrolledBounds(L, Rt);
    Integer Shift = Column->Options().Contains(coFixed) ? 0 : -EffectiveOffsetX();
    const bool RTL = UseRightToLeftAlignment();
    if (RTL) Shift += RightToLeftOffset(false);
    R.Left = FHeaderRect.Left + L + Shift;
    R.Right = FHeaderRect.Left + Rt + Shift;
    if (ExpandToBorder) {
      if (Header().Options().Contains(hoFullRepaintOnResize)) {
        R.Left = FHeaderRect.Left;
        R.Right = FHeaderRect.Right;
      } else if (RTL) {
        R.Left = FHeaderRect.Left;
      } else {
        R.Right = FHeaderRect.Right;
      }
    }
  }
  // Window to client coordinates; the column's strip of rows goes too.
  POINT Client{0, 0};
  ::ClientToScreen(FHandle, &Client);
  RECT Window;
  GetWindowRect(FHandle, &Window);
  R.Offset(-static_cast<Integer>(Client.x - Window.left), -static_cast<Integer>(Client.y - Window.top));
  R.Bottom = ClientHeight();
  RECT Rc = ToRECT(R);
  RedrawWindow(FHandle, &Rc, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN | (UpdateNow ? RDW_UPDATENOW : 0));
}

void TVastTreeControl::HeaderFrameChanged() {
  if (!FHandle) return;
  // The header's strip is part of the frame: a new height is a new client
  // area, which the scroll bars and the header's widths follow.
  FrameChanged();
  ComputeHeaderRect();
  if (!HasState(tsWindowCreating) && ClientHeight() > 0) {
    Header().SetTreeBounds(Width(), TControl::Height(), ClientWidth(), ClientHeight());
    UpdateScrollBars(true);
  }
  InvalidateAll();
}

Integer TVastTreeControl::RightToLeftOffset(bool ExcludeScrollBar) {
  if (!FHandle) return TCustomVastStringTree::RightToLeftOffset(ExcludeScrollBar);
  // The bar that is really there, not the one the range would ask for.
  const bool Bar = (GetWindowLongW(FHandle, GWL_STYLE) & WS_VSCROLL) != 0;
  const Integer BarWidth = Bar ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const Integer StripWidth = ClientWidth() + BarWidth;
  Integer Result = BarWidth;
  if (StripWidth >= BarWidth + RangeX()) Result = StripWidth - RangeX();
  if (ExcludeScrollBar) Result -= BarWidth;
  return Result;
}

// ---------------------------------------------------------------------------
// Messages

void TVastTreeControl::WndProc(TMessage& Message) {
  if (FHandle && HandleHeaderMessage(Message)) return;
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      WMMouse(Message);
      return;
    case WM_GETDLGCODE:
      Message.Result = DialogCode();
      return;
    case WM_CONTEXTMENU:
      if (WMContextMenu(Message)) return;
      break;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case CM_DRAG:
      CMDrag(Message);
      return;
    case CM_PARENTDOUBLEBUFFEREDCHANGED_QUERY:
      Message.Result = 1;
      return;
    case CM_UPDATE_VCLSTYLE_SCROLLBARS:
      // A style's hook (if any) saw it first; nothing more to do here.
      Message.Result = 0;
      return;
    case WM_NCCALCSIZE:
      WMNCCalcSize(Message);
      return;
    case WM_NCPAINT:
      WMNCPaint(Message);
      return;
    case WM_PAINT:
      WMPaint(Message);
      return;
    case WM_PRINT:
      WMPrint(Message);
      return;
    case WM_PRINTCLIENT:
      WMPrintClient(Message);
      return;
    case WM_SIZE:
      WMSize(Message);
      return;
    case WM_VSCROLL:
    case WM_HSCROLL:
      WMScroll(Message);
      return;
    case WM_MOUSEWHEEL:
      WMMouseWheel(Message);
      return;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      return;
    case WM_TIMER:
      TimerFired(static_cast<Cardinal>(Message.WParam));
      Message.Result = 0;
      return;
    case WM_CANCELMODE:
      WMCancelMode(Message);
      return;
    case WM_GETOBJECT:
      WMGetObject(Message);
      return;
    case WM_NCDESTROY:
      WMNCDestroy(Message);
      return;
    case WM_SETCURSOR:
      if (WMSetCursor(Message)) return;
      break;
    case WM_THEMECHANGED:
      WMThemeChanged(Message);
      return;
    case WM_ENABLE:
      WMEnable(Message);
      return;
    case WM_COPY:
      CopyToClipboard();
      return;
    case WM_CUT:
      CutToClipboard();
      return;
    case WM_PASTE:
      PasteFromClipboard();
      return;
    case TVM_GETITEMW:
    case TVM_GETITEMRECT:
    case TVM_GETNEXTITEM:
      if (AnswerTreeViewQuery(Message)) return;
      Message.Result = 0;
      return;
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}

void TVastTreeControl::WMMouse(TMessage& Message) {
  if (Message.Msg == WM_MOUSEMOVE && FLastHintRect.Width() > 0 &&
      !FLastHintRect.Contains(MessagePoint(Message.LParam))) {
    // Another cell: the hint machinery asks again.
    FLastHintRect = TRect{};
    if (Application->HintControl() == this) Application->CancelHint();
  }
  if (Message.Msg == WM_MOUSEMOVE) AskHintAgainIfMoved(MessagePoint(Message.LParam));
  const bool Down = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN ||
                    Message.Msg == WM_LBUTTONDBLCLK;
  // The platform's own handling (events) first; the tree's after.
  if (Down && !Focused() && CanFocus()) SetFocus();
  if (Message.Msg == WM_RBUTTONUP) {
    // The menu the platform shows now (WM_CONTEXTMENU) ends a rubber band.
    DoStateChange({}, {tsPopupMenuShown});
    if (PopupMenu() && IsMouseSelecting()) {
      DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
      InvalidateAll();
    }
  }
  // A double click is marked as one for the time of its handling,
  // however that ends.
  const TVastTreeState DblClick = Message.Msg == WM_LBUTTONDBLCLK   ? tsLeftDblClick
                                  : Message.Msg == WM_MBUTTONDBLCLK ? tsMiddleDblClick
                                  : Message.Msg == WM_RBUTTONDBLCLK ? tsRightDblClick
                                                                    : TVastTreeState{};
  const bool IsDblClick =
      Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK;
  if (IsDblClick) DoStateChange({DblClick});
  TScopeExit LeaveDblClick([&] {
    if (IsDblClick) DoStateChange({}, {DblClick});
  });
  TCustomControl::WndProc(Message);
  HandleMouseMessage(Message);
}

bool TVastTreeControl::WMContextMenu(TMessage& Message) {
  // A click that was to edit, clear or drag is over once a menu opens.
  KillTimer(EditTimer);
  DoStateChange({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
  if (HasState(tsPopupMenuShown)) {
    // The tree has shown its own menu for this gesture already.
    DoStateChange({}, {tsPopupMenuShown});
    Message.Result = 0;
    return true;
  }
  return false;
}

void TVastTreeControl::WMNCCalcSize(TMessage& Message) {
  TCustomControl::WndProc(Message);
  auto* Client = reinterpret_cast<RECT*>(Message.LParam);
  const Integer BS = BevelSize();
  Client->left += FBorderWidth + (FBevelEdges.Contains(beLeft) ? BS : 0);
  Client->top += FBorderWidth + (FBevelEdges.Contains(beTop) ? BS : 0);
  Client->right -= FBorderWidth + (FBevelEdges.Contains(beRight) ? BS : 0);
  Client->bottom -= FBorderWidth + (FBevelEdges.Contains(beBottom) ? BS : 0);
  if (Client->right < Client->left) Client->right = Client->left;
  if (Client->bottom < Client->top) Client->bottom = Client->top;
  if (Header().Options().Contains(hoVisible)) {
    auto* R = reinterpret_cast<RECT*>(Message.LParam);
    R->top += Header().Height();
    if (R->top > R->bottom) R->top = R->bottom;
  }
}

void TVastTreeControl::WMNCPaint(TMessage& Message) {
  DefaultHandler(Message);
  ComputeHeaderRect();
  const TWindowDC DC = TWindowDC::WholeWindow(FHandle);
  PaintBevelBorder(DC.Get());
  if (Header().Options().Contains(hoVisible)) PaintHeader(DC.Get(), FHeaderRect, -EffectiveOffsetX());
  Message.Result = 0;
}

void TVastTreeControl::WMPaint(TMessage& Message) {
  TCustomControl::WndProc(Message);
  if (Header().Options().Contains(hoVisible)) {
    ComputeHeaderRect();
    const TWindowDC DC = TWindowDC::WholeWindow(FHandle);
    PaintHeader(DC.Get(), FHeaderRect, -EffectiveOffsetX());
  }
}

void TVastTreeControl::WMPrint(TMessage& Message) {
  if ((Message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) return;
  // Painted here in full (frame, header, client at its place): the
  // default processing is not the same on every system, and the header
  // must not be painted over by it.
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  RECT Window;
  GetWindowRect(FHandle, &Window);
  if (Message.LParam & PRF_NONCLIENT) {
    RECT Frame{0, 0, Window.right - Window.left, Window.bottom - Window.top};
    const LONG ExStyle = GetWindowLongW(FHandle, GWL_EXSTYLE);
    if (ExStyle & WS_EX_CLIENTEDGE)
      DrawEdge(DC, &Frame, EDGE_SUNKEN, BF_RECT);
    else if (GetWindowLongW(FHandle, GWL_STYLE) & WS_BORDER)
      FrameRect(DC, &Frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    PaintBevelBorder(DC);
    if (Header().Options().Contains(hoVisible)) {
      ComputeHeaderRect();
      PaintHeader(DC, FHeaderRect, -EffectiveOffsetX());
    }
  }
  if (Message.LParam & PRF_CLIENT) {
    POINT Origin{0, 0};
    ::ClientToScreen(FHandle, &Origin);
    TSavedDC Saved(DC);
    SetViewportOrgEx(DC, Origin.x - Window.left, Origin.y - Window.top, nullptr);
    ::SendMessageW(FHandle, WM_PRINTCLIENT, Message.WParam, Message.LParam);
  }
}

void TVastTreeControl::WMPrintClient(TMessage& Message) {
  if ((Message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) return;
  TCanvas Target;
  Target.SetHandle(reinterpret_cast<HDC>(Message.WParam));
  PaintClientArea(&Target, TRect{0, 0, ClientWidth(), ClientHeight()});
  Target.SetHandle(nullptr);
}

void TVastTreeControl::WMSize(TMessage& Message) {
  TCustomControl::WndProc(Message);
  if (FHandle && !HasState(tsSizing) && !HasState(tsWindowCreating) && ClientHeight() > 0) {
    DoStateChange({tsSizing});
    const TScopeExit Leave([this] { DoStateChange({}, {tsSizing}); });
    Header().SetTreeBounds(Width(), TControl::Height(), ClientWidth(), ClientHeight());
    ComputeHeaderRect();
    UpdateScrollBars(true);
    // Without columns the edited cell is as wide as the window.
    if (IsEditing() && !Header().UseColumns()) UpdateEditBounds();
  }
}

void TVastTreeControl::WMScroll(TMessage& Message) {
  const bool Vertical = Message.Msg == WM_VSCROLL;
  const Integer Code = LOWORD(Message.WParam);
  const Integer RTL = (!Vertical && UseRightToLeftAlignment()) ? -1 : 1;
  TVTHeader& H = Header();
  const Integer Fixed = H.UseColumns() ? H.Columns().GetVisibleFixedWidth() : 0;
  const Integer Line = Vertical ? ScrollBarOptions().VerticalIncrement() : ScrollBarOptions().HorizontalIncrement();
  const Integer Page = Vertical ? ClientHeight() : ClientWidth() - Fixed;
  auto Move = [&](Integer Delta) {
    if (Vertical)
      SetOffsetY(OffsetY() + Delta);
    else
      SetOffsetX(OffsetX() + RTL * Delta);
  };
  switch (Code) {
    case SB_LINEUP:
      Move(Line);
      break;
    case SB_LINEDOWN:
      Move(-Line);
      break;
    case SB_PAGEUP:
      Move(Page);
      break;
    case SB_PAGEDOWN:
      Move(-Page);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      DoStateChange({tsThumbTracking});
      // The 32-bit track position comes from the bar itself.
      SCROLLINFO Info{};
      Info.cbSize = sizeof(Info);
      Info.fMask = SIF_TRACKPOS;
      GetScrollInfo(FHandle, Vertical ? SB_VERT : SB_HORZ, &Info);
      if (Vertical)
        SetOffsetY(-Info.nTrackPos);
      else
        SetOffsetX(UseRightToLeftAlignment() ? ClientWidth() - RangeX() + Info.nTrackPos : -Info.nTrackPos);
      break;
    }
    case SB_TOP:
      if (Vertical)
        SetOffsetY(0);
      else
        SetOffsetX(0);
      break;
    case SB_BOTTOM:
      if (Vertical)
        SetOffsetY(-static_cast<Integer>(RootNode()->TotalHeight));
      else
        SetOffsetX(-RangeX());
      break;
    case SB_ENDSCROLL:
      DoStateChange({}, {tsThumbTracking});
      if (Vertical) {
        UpdateScrollBars(true);
        RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
      } else {
        UpdateHorizontalScrollBar(true);
      }
      break;
    default:
      break;
  }
  Message.Result = 0;
}

void TVastTreeControl::WMMouseWheel(TMessage& Message) {
  EndWheelPanning();  // the wheel takes over from panning
  const double Factor = static_cast<short>(HIWORD(Message.WParam)) / 120.0;
  const TShiftState Shift = MouseShiftState(Message.WParam);
  UINT Lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
  Message.Result = 1;
  if (ClientHeight() < RangeY() && !Shift.Contains(ssShift)) {
    double Delta;
    if (Shift.Contains(ssCtrl) || Lines == WHEEL_PAGESCROLL)
      Delta = ClientHeight() * Factor;
    else
      Delta = Lines * Factor * DefaultNodeHeight();
    SetOffsetY(OffsetY() + static_cast<Integer>(Delta));
  } else {
    TVTHeader& H = Header();
    const Integer Fixed = H.UseColumns() ? H.Columns().GetVisibleFixedWidth() : 0;
    double Delta;
    if (Shift.Contains(ssCtrl) || Lines == WHEEL_PAGESCROLL)
      Delta = (ClientWidth() - Fixed) * Factor;
    else
      Delta = H.Columns().GetScrollWidth() * static_cast<double>(Lines) * Factor;
    SetOffsetX(OffsetX() + (UseRightToLeftAlignment() ? -1 : 1) * static_cast<Integer>(Delta));
  }
}

void TVastTreeControl::WMSetFocus(TMessage& Message) {
  TCustomControl::WndProc(Message);
  if (SelectedCount() > 0 || !TreeOptions().PaintOptions().Contains(toGhostedIfUnfocused)) InvalidateAll();
}

void TVastTreeControl::WMKillFocus(TMessage& Message) {
  TCustomControl::WndProc(Message);
  if (HasState(tsHint)) Application->CancelHint();
  EndWheelPanning();
  // A search, a pending edit or a row-height drag does not outlive the
  // focus.
  TCustomVastStringTree::TimerFired(SearchTimer);
  DoStateChange(
      {}, {tsEditPending, tsNodeHeightTracking, tsNodeHeightTrackPending, tsIncrementalSearching, tsLeftButtonDown,
           tsMiddleButtonDown, tsOLEDragPending, tsRightButtonDown, tsScrolling, tsScrollPending, tsVCLDragPending});
  for (Cardinal Id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer}) KillTimer(Id);
  if (SelectedCount() > 0 || !TreeOptions().PaintOptions().Contains(toGhostedIfUnfocused))
    InvalidateAll();
  else if (FocusedNode())
    InvalidateNode(FocusedNode());
}

void TVastTreeControl::WMCancelMode(TMessage& Message) {
  TCustomVastStringTree::TimerFired(SearchTimer);
  for (Cardinal Id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer, ThemeChangedTimer}) KillTimer(Id);
  DoStateChange({}, {tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending, tsIncrementalSearching,
                     tsOLEDragPending, tsVCLDragPending});
  TCustomControl::WndProc(Message);
}

void TVastTreeControl::WMGetObject(TMessage& Message) {
  // The tree's object and its item object are made on the first request
  // that finds a provider, and kept until the window goes.
  Message.Result = 0;
  TVTAccessibilityFactory& Factory = TVTAccessibilityFactory::GetAccessibilityFactory();
  if (!FAccessible) FAccessible.Reset(Factory.CreateIAccessible(this, nullptr, nullptr));
  if (!FAccessibleItem) FAccessibleItem.Reset(Factory.CreateIAccessible(this, FAccessible.Get(), nullptr));
  if (static_cast<LONG>(Message.LParam) == OBJID_CLIENT && FAccessible)
    Message.Result = LresultFromObject(IID_IAccessible, Message.WParam, FAccessible.Get());
}

void TVastTreeControl::WMNCDestroy(TMessage& Message) {
  FAccessibleItem.Reset();
  FAccessible.Reset();
  StopCacheValidation();
  KillTimer(ChangeTimer);
  KillTimer(StructureChangeTimer);
  FDottedBrush.Reset();
  CloseTreeThemes();
  RegisterDropTarget(false);
  TCustomControl::WndProc(Message);
}

bool TVastTreeControl::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT &&
      Screen->Cursor() == crDefault && !HasState(tsWheelPanning) && !HasState(tsWheelScrolling)) {
    SetCursorFor(Message);
    return true;
  }
  return false;
}

void TVastTreeControl::WMThemeChanged(TMessage& Message) {
  DefaultHandler(Message);
  CloseTreeThemes();
  UpdateStyleEnabled();
  if (ThemeServicesEnabled() && TreeOptions().PaintOptions().Contains(toThemeAware))
    DoStateChange({tsUseThemes});
  else
    DoStateChange({}, {tsUseThemes});
  if (!FChangingTheme) SetTimer(ThemeChangedTimer, 500);
  FChangingTheme = false;
}

void TVastTreeControl::WMEnable(TMessage& Message) {
  DefaultHandler(Message);
  RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
}
