// The tree's window: creation, messages, scroll bars, and the painting of
// rows, tree lines, buttons, images, backgrounds and the header.
#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeDragImage_win.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>

#include "rtl/ScopeExit.h"
#include "treeview/VastTreePanning_win.h"
#include "treeview/VastTreeWorker.h"

namespace {

TColor RGBOf(TColor C) { return ColorToRGB(C); }

// Pattern bits of the line styles (zero bits take the line colour).
constexpr Word DottedBits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
constexpr Word SolidBits[8] = {0, 0, 0, 0, 0, 0, 0, 0};

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

// The part of R (logical coordinates) inside DC's clipping and on the
// bitmap selected into it, in that bitmap's pixels; empty without one.
// Blends write the pixels directly, past any clipping.
TRect DeviceRectOnBitmap(HDC DC, TRect R) {
  Integer W, H;
  if (!SelectedBitmapBits(DC, W, H)) return TRect{};
  RECT Clip;
  if (GetClipBox(DC, &Clip) != NULLREGION) {
    R.Left = std::max<Integer>(R.Left, Clip.left);
    R.Top = std::max<Integer>(R.Top, Clip.top);
    R.Right = std::min<Integer>(R.Right, Clip.right);
    R.Bottom = std::min<Integer>(R.Bottom, Clip.bottom);
  }
  POINT P[2] = {{R.Left, R.Top}, {R.Right, R.Bottom}};
  LPtoDP(DC, P, 2);
  return TRect{std::max<Integer>(0, P[0].x), std::max<Integer>(0, P[0].y), std::min<Integer>(W, P[1].x),
               std::min<Integer>(H < 0 ? -H : H, P[1].y)};
}

// Whether AlphaBlendRect can blend onto what DC draws on.
bool CanBlendOn(HDC DC) {
  Integer W, H;
  return SelectedBitmapBits(DC, W, H) != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Drawing utilities

void ClipCanvasToRect(TCanvas* Canvas, const TRect& ClipRect, HRGN VisibleRegion) {
  HDC DC = Canvas->Handle();
  POINT P[2] = {{ClipRect.Left, ClipRect.Top}, {ClipRect.Right, ClipRect.Bottom}};
  LPtoDP(DC, P, 2);
  TGdiObject Region(CreateRectRgn(P[0].x, P[0].y, P[1].x, P[1].y));
  if (VisibleRegion) CombineRgn(static_cast<HRGN>(Region.Get()), static_cast<HRGN>(Region.Get()), VisibleRegion, RGN_AND);
  SelectClipRgn(DC, static_cast<HRGN>(Region.Get()));
}

void MeasureTextRect(HDC DC, const String& Text, TRect& R, UINT DrawFormat) {
  RECT Rc{R.Left, R.Top, R.Left + 1, R.Top + 1};
  DrawTextW(DC, reinterpret_cast<LPCWSTR>(Text.c_str()), static_cast<int>(Text.size()), &Rc, DrawFormat | DT_CALCRECT);
  R = TRect{Rc.left, Rc.top, Rc.right, Rc.bottom};
}

String ShortenTextWithEllipsis(HDC DC, const String& Text, Integer Width, Integer EllipsisWidth) {
  return ShortenTextWithEllipsis(
      [DC](const Char* S, Integer Count) {
        SIZE Size{};
        GetTextExtentPoint32W(DC, reinterpret_cast<LPCWSTR>(S), Count, &Size);
        return static_cast<Integer>(Size.cx);
      },
      Text, Width, EllipsisWidth);
}

String WrapTextToWidth(HDC DC, const String& Text, const TRect& Bounds, bool RTL, UINT DrawFormat) {
  return WrapTextToWidth(
      [DC, DrawFormat](const String& S) {
        TRect R{0, 0, 0, 0};
        MeasureTextRect(DC, S, R, DrawFormat);
        return R.Right;
      },
      Text, Bounds.Width(), RTL);
}

void* SelectedBitmapBits(HDC DC, Integer& Width, Integer& Height) {
  Width = Height = 0;
  HGDIOBJ Bitmap = GetCurrentObject(DC, OBJ_BITMAP);
  DIBSECTION Section{};
  if (!Bitmap || GetObjectW(Bitmap, sizeof(DIBSECTION), &Section) != static_cast<int>(sizeof(DIBSECTION))) return nullptr;
  // The blends address pixels as 32-bit values, four bytes a pixel with no
  // row padding: any other layout is not handed out.
  if (!Section.dsBm.bmBits || Section.dsBm.bmBitsPixel != 32 || Section.dsBm.bmPlanes != 1 ||
      (Section.dsBmih.biCompression != BI_RGB && Section.dsBmih.biCompression != BI_BITFIELDS) ||
      Section.dsBmih.biWidth <= 0 || Section.dsBmih.biHeight == 0 ||
      Section.dsBm.bmWidthBytes != Section.dsBmih.biWidth * 4)
    return nullptr;
  Width = Section.dsBmih.biWidth;
  Height = Section.dsBmih.biHeight;
  return Section.dsBm.bmBits;
}

void AlphaBlendRect(HDC Source, HDC Destination, const TRect& R, const TPoint& Target, TAlphaBlendMode Mode,
                    Integer ConstantAlpha, Integer Bias) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  Integer DW, DH;
  void* DBits = SelectedBitmapBits(Destination, DW, DH);
  if (!DBits) return;
  const Integer DRows = DH < 0 ? -DH : DH;
  // Every run is cut to the bitmaps: the blends write memory directly.
  if (Mode == abmColor) {
    const Integer L = std::max<Integer>(R.Left, 0), T = std::max<Integer>(R.Top, 0);
    const Integer W = std::min<Integer>(R.Right, DW) - L, H = std::min<Integer>(R.Bottom, DRows) - T;
    if (W <= 0 || H <= 0) return;
    for (Integer Y = 0; Y < H; ++Y) {
      auto* D = static_cast<std::uint32_t*>(ScanlineAddress(DBits, DW, DH, T + Y)) + L;
      BlendLineColor(D, W, ConstantAlpha, static_cast<std::uint32_t>(Bias));
    }
    return;
  }
  if (Mode != abmConstant && Mode != abmPerPixel && Mode != abmMaster) return;
  Integer SW, SH;
  void* SBits = SelectedBitmapBits(Source, SW, SH);
  if (!SBits) return;
  const Integer SRows = SH < 0 ? -SH : SH;
  // Cut source and target alike, so each source pixel keeps its partner.
  Integer SX = R.Left, SY = R.Top, TX = Target.X, TY = Target.Y, W = R.Width(), H = R.Height();
  const Integer CutX = std::max<Integer>({0, -SX, -TX}), CutY = std::max<Integer>({0, -SY, -TY});
  SX += CutX, TX += CutX, W -= CutX;
  SY += CutY, TY += CutY, H -= CutY;
  W = std::min<Integer>({W, SW - SX, DW - TX});
  H = std::min<Integer>({H, SRows - SY, DRows - TY});
  if (W <= 0 || H <= 0) return;
  for (Integer Y = 0; Y < H; ++Y) {
    auto* S = static_cast<std::uint32_t*>(ScanlineAddress(SBits, SW, SH, SY + Y)) + SX;
    auto* D = static_cast<std::uint32_t*>(ScanlineAddress(DBits, DW, DH, TY + Y)) + TX;
    switch (Mode) {
      case abmConstant:
        BlendLineConstantAlpha(S, D, W, Bias, ConstantAlpha);
        break;
      case abmPerPixel:
        BlendLinePerPixelAlpha(S, D, W, Bias);
        break;
      case abmMaster:
        BlendLineMasterAlpha(S, D, W, Bias, ConstantAlpha);
        break;
      default:
        break;
    }
  }
}

COLORREF ColorToColorRef(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(Color));
}

void DrawImageGrayed(TCustomImageList* ImageList, TCanvas* Canvas, Integer X, Integer Y, Integer Index) {
  IMAGELISTDRAWPARAMS Params;
  std::memset(&Params, 0, sizeof(Params));
  Params.cbSize = sizeof(Params);
  Params.himl = ImageList->Handle();
  Params.i = Index;
  Params.hdcDst = Canvas->Handle();
  Params.x = X;
  Params.y = Y;
  Params.rgbBk = CLR_NONE;
  Params.rgbFg = CLR_DEFAULT;
  Params.fState = ILS_SATURATE;
  ImageList_DrawIndirect(&Params);
}

bool IsCursorShowing() {
  CURSORINFO Info{};
  Info.cbSize = sizeof(Info);
  return GetCursorInfo(&Info) && Info.flags == CURSOR_SHOWING;
}

bool IsHighContrastOn() {
  HIGHCONTRASTW Contrast{};
  Contrast.cbSize = sizeof(Contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(Contrast), &Contrast, 0) &&
         (Contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

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
// Header paint record

namespace {

// A filled, outlined triangle of size S at P with corners P + S * (a, b).
void DrawArrow(TCanvas* Canvas, TPoint P, Integer S, const Integer (&Corners)[6]) {
  const TColor OldBrush = Canvas->Brush()->Color();
  const Integer OldWidth = Canvas->Pen()->Width();
  Canvas->Brush()->SetColor(Canvas->Pen()->Color());
  Canvas->Pen()->SetWidth(1);
  Canvas->Polygon({{P.X + S * Corners[0], P.Y + S * Corners[1]},
                   {P.X + S * Corners[2], P.Y + S * Corners[3]},
                   {P.X + S * Corners[4], P.Y + S * Corners[5]}});
  Canvas->Brush()->SetColor(OldBrush);
  Canvas->Pen()->SetWidth(OldWidth);
}

constexpr Integer ArrowLeft[6] = {1, 0, 0, 1, 1, 2};
constexpr Integer ArrowRight[6] = {0, 0, 1, 1, 0, 2};
constexpr Integer ArrowUp[6] = {0, 1, 1, 0, 2, 1};
constexpr Integer ArrowDown[6] = {0, 0, 1, 1, 2, 0};

}  // namespace

void THeaderPaintInfo::DrawSortArrow(TSortDirection Direction) {
  const TColor Old = TargetCanvas->Pen()->Color();
  TargetCanvas->Pen()->SetColor(static_cast<TColor>(0x808080));
  // The arrow is SortGlyphSize.cy high: half of that per step.
  const Integer S = std::max(1, SortGlyphSize.cy);
  DrawArrow(TargetCanvas, SortGlyphPos, S, Direction == sdAscending ? ArrowUp : ArrowDown);
  TargetCanvas->Pen()->SetColor(Old);
}

void THeaderPaintInfo::DrawDropMark(Integer S) {
  const Integer Y = (PaintRectangle.Top + PaintRectangle.Bottom - 3 * S) / 2;
  if (DropMark == dmmLeft)
    DrawArrow(TargetCanvas, TPoint{PaintRectangle.Left, Y}, S, ArrowLeft);
  else
    DrawArrow(TargetCanvas, TPoint{PaintRectangle.Right - S - S / 2, Y}, S, ArrowRight);
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
  DoStateChange({tsWindowCreating});
  {
    const TScopeExit Created([this] { DoStateChange({}, {tsWindowCreating}); });
    TCustomControl::CreateWnd();
  }
  // This program has no visual styles of its own: the classic look.
  DoStateChange({}, {tsUseThemes, tsUseExplorerTheme});
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
}

void TVastTreeControl::DestroyWnd() {
  StopCacheValidation();
  for (Cardinal Id = ExpandTimer; Id <= ThemeChangedTimer; ++Id) KillTimer(Id);
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

void TVastTreeControl::DoPaintDropMark(TCanvas* Canvas, PVastNode Node, const TRect& R) {
  (void)Node;
  const TDropMode Mode = LastDropMode();
  if (Mode != dmAbove && Mode != dmBelow) return;
  const TColor OldBrush = Canvas->Brush()->Color();
  const TPenStyle OldPen = Canvas->Pen()->Style();
  Canvas->Pen()->SetStyle(psClear);
  Canvas->Brush()->SetColor(Colors().DropMarkColor());
  const Integer L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
  if (Mode == dmAbove)
    Canvas->Polygon({{L + 2, T}, {Rt - 2, T}, {Rt - 2, T + 6}, {Rt - 6, T + 2}, {L + 6, T + 2}, {L + 2, T + 6}});
  else
    Canvas->Polygon({{L + 2, B - 1}, {Rt - 2, B - 1}, {Rt - 2, B - 8}, {Rt - 7, B - 3}, {L + 7, B - 3}, {L + 2, B - 8}});
  Canvas->Brush()->SetColor(OldBrush);
  Canvas->Pen()->SetStyle(OldPen);
}

void TVastTreeControl::PaintRubberBand(TCanvas* Canvas, const TRect& VisibleRect, const TRect& SelectionRect) {
  TRect Band;
  NormalizeRect(SelectionRect, Band);
  HDC DC = Canvas->Handle();
  if (DrawSelectionMode() == smBlendedRectangle) {
    // Where the target cannot be blended (no 32-bit bitmap under the DC),
    // only the frame shows, so the rows under the band stay readable.
    const TRect Part{std::max(Band.Left, VisibleRect.Left), std::max(Band.Top, VisibleRect.Top),
                     std::min(Band.Right, VisibleRect.Right), std::min(Band.Bottom, VisibleRect.Bottom)};
    const TRect Device = DeviceRectOnBitmap(DC, Part);
    if (Device.Width() > 0 && Device.Height() > 0) {
      GdiFlush();
      AlphaBlendRect(nullptr, DC, Device, TPoint{0, 0}, abmColor, SelectionBlendFactor(),
                     static_cast<Integer>(ColorToColorRef(Colors().SelectionRectangleBlendColor())));
    }
    TGdiObject Brush(CreateSolidBrush(static_cast<COLORREF>(RGBOf(Colors().SelectionRectangleBorderColor()))));
    RECT Rc = ToRECT(Band);
    FrameRect(DC, &Rc, static_cast<HBRUSH>(Brush.Get()));
    return;
  }
  SetTextColor(DC, RGB(255, 255, 255));
  SetBkColor(DC, RGB(0, 0, 0));
  RECT Rc = ToRECT(Band);
  ::DrawFocusRect(DC, &Rc);
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

void TVastTreeControl::MiscOptionsChanged(TVTMiscOptions Old, TVTMiscOptions New) {
  TCustomVastStringTree::MiscOptionsChanged(Old, New);
  if (TCustomVastStringTree::Loading() || !HandleAllocated()) return;
  // The window class's redraw bits follow the option.
  if (Old.Contains(toFullRepaintOnResize) != New.Contains(toFullRepaintOnResize)) RecreateWindow();
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
      PVastNode Node =
          Hit.HitPositions.Contains(hiUpperSplitter) ? GetPreviousVisible(Hit.HitNode, true) : Hit.HitNode;
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

void TVastTreeControl::ServeUIThread(Cardinal TimeoutMs) { TWindowlessVastTreeHost::Instance().ServeUIThread(TimeoutMs); }

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
  return TreeFocused() || TreeOptions().PaintOptions().Contains(toPopupMode)
             ? Colors().FocusedSelectionBorderColor()
             : Colors().UnfocusedSelectionBorderColor();
}

// ---------------------------------------------------------------------------
// Animation

void TVastTreeControl::Animate(Cardinal Steps, Cardinal Duration,
                               const std::function<bool(Integer Step, Integer StepSize)>& Callback) {
  if (HasState(tsInAnimation) || Duration == 0) return;
  DoStateChange({tsInAnimation});
  struct TLeave {
    TVastTreeControl* Tree;
    ~TLeave() { Tree->DoStateChange({}, {tsInAnimation}); }
  } Leave{this};
  Integer StepSize = static_cast<Integer>(std::nearbyint(std::max(1.0, static_cast<double>(Steps) / Duration)));
  Integer StepsLeft = static_cast<Integer>(Steps) / StepSize;
  Integer Remaining = static_cast<Integer>(Duration);
  Integer Step = 0;
  while (StepsLeft > 0 && Remaining > 0) {
    const Cardinal Start = Clock();
    const Cardinal Target = Start + static_cast<Cardinal>(Remaining / StepsLeft);
    if (!Callback(Step, StepSize)) break;
    while (static_cast<Integer>(Clock() - Target) < 0) {
    }
    const Integer Elapsed = static_cast<Integer>(Clock() - Start);
    if (Elapsed > Remaining) {
      StepsLeft = 0;
      Remaining = 0;
    } else {
      Remaining -= Elapsed;
      --StepsLeft;
    }
    while (StepsLeft > 0 && Remaining / StepsLeft == 0) {
      ++StepSize;
      StepsLeft = Remaining / StepSize;
    }
    Step = static_cast<Integer>(Steps) - StepsLeft;
  }
  Callback(0, 0);
}

TToggleSlide TVastTreeControl::ToggleSlideFor(PVastNode Node, bool Expanding, Integer Distance) {
  TToggleSlide Slide;
  Slide.Opening = Expanding;
  const Integer CH = ClientHeight();
  if (!Node || Distance <= 0 || CH <= 0) return Slide;
  const TRect Row = GetDisplayRect(Node, NoColumn, false);
  const bool Above = TreeOptions().PaintOptions().Contains(toChildrenAbove);
  const bool Advanced = TreeOptions().AnimationOptions().Contains(toAdvancedAnimatedToggle);
  if (Above) {
    // The children sit above the node's row: the rows above it move.
    if (Row.Top <= 0) return Slide;
    if (Expanding) {
      Slide.Gap = Row.Top;
      Slide.AboveDistance = std::min(Distance, Row.Top);
    } else {
      Slide.Gap = std::max(0, Row.Top - Distance);
      Slide.GapHeight = Row.Top - Slide.Gap;
      Slide.AboveDistance = Slide.GapHeight;
    }
    return Slide;
  }
  if (Row.Bottom >= CH) return Slide;
  Slide.Gap = Row.Bottom;
  const Integer Space = CH - Row.Bottom;
  if (Expanding) {
    Slide.BelowDistance = std::min(Distance, Space);
    if (Advanced && TreeOptions().AutoOptions().Contains(toAutoScrollOnExpand) && Distance > Space) {
      // The children do not fit below: the view will scroll up to show
      // them (all of them, or from the node down), so the rows above move
      // up meanwhile and those below leave at the bottom.
      const bool Fits = static_cast<Integer>(Node->NodeHeight) + Distance <= CH;
      const Integer Scroll = Fits ? Row.Bottom + Distance - CH : Row.Top;
      Slide.AboveDistance = std::clamp(Scroll, 0, Row.Bottom);
      Slide.BelowDistance = Space;
    }
  } else {
    Slide.GapHeight = std::min(Distance, Space);
    Slide.BelowDistance = Slide.GapHeight;
    if (Advanced) {
      // At the end of the range the rows above come down to fill the view.
      const Integer NewRange = RangeY() - Distance;
      const Integer NewOffset = std::min(0, std::max(OffsetY(), CH - NewRange));
      const Integer Scroll = NewOffset - OffsetY();
      if (Scroll > 0) {
        Slide.AboveDistance = std::min(Scroll, CH);
        Slide.BelowDistance = std::max(0, std::min(Distance - Scroll, Space));
      }
    }
  }
  return Slide;
}

void TVastTreeControl::FillSlideStrip(HDC DC, Integer Top, Integer Bottom, HBRUSH Background) {
  if (Bottom <= Top) return;
  const Integer CW = ClientWidth();
  if (Background) {
    RECT R{0, Top, CW, Bottom};
    ::FillRect(DC, &R, Background);
  }
  TVTHeader& H = Header();
  if (!H.UseColumns()) return;
  // Each column's part in the column's colour, as the rows below show it.
  TVastTreeColumns& Cols = H.Columns();
  const Integer RTL = UseRightToLeftAlignment() ? RightToLeftOffset(true) : 0;
  for (TColumnIndex Column = Cols.GetFirstVisibleColumn(); Column >= 0; Column = Cols.GetNextVisibleColumn(Column)) {
    TVastTreeColumn& C = Cols[Column];
    if (C.Options().Contains(coParentColor)) continue;
    Integer L, Rt;
    C.UnscrolledBounds(L, Rt);
    const Integer Shift = (C.Options().Contains(coFixed) ? 0 : -EffectiveOffsetX()) + RTL;
    if (L + Shift >= CW) break;
    TGdiObject Brush(CreateSolidBrush(static_cast<COLORREF>(RGBOf(C.Color()))));
    RECT R{L + Shift, Top, Rt + Shift, Bottom};
    ::FillRect(DC, &R, static_cast<HBRUSH>(Brush.Get()));
  }
}

void TVastTreeControl::AnimateToggle(PVastNode Node, bool Expanding, Integer Distance) {
  if (!FHandle || Distance <= 0 || FRedrawDisabled > 0) return;
  Application->CancelHint();
  UpdateWindow(FHandle);
  const TToggleSlide Slide = ToggleSlideFor(Node, Expanding, Distance);
  const Integer A = Slide.AboveDistance, B = Slide.BelowDistance;
  if (A <= 0 && B <= 0) return;
  const Integer CW = ClientWidth(), CH = ClientHeight();
  const TWindowDC Window(FHandle);
  HDC DC = Window.Get();
  // Over a background picture the strips stay as they are until the repaint.
  const bool Picture = TreeOptions().PaintOptions().Contains(toShowBackground) && FBackground.Graphic() &&
                       !FBackground.Graphic()->Empty();
  TGdiObject Brush(Picture ? nullptr : CreateSolidBrush(static_cast<COLORREF>(RGBOf(TControl::Color()))));
  HBRUSH Background = static_cast<HBRUSH>(Brush.Get());
  // The longer distance drives the steps; the other follows by the ratio.
  const bool AboveDrives = A >= B;
  const Integer D1 = std::max(A, B), D2 = std::min(A, B);
  const double Ratio = D1 > 0 ? static_cast<double>(D2) / D1 : 0.0;
  double Carry = 0.0;
  Integer MovedAbove = 0, MovedBelow = 0;
  bool FilledAbove = false, FilledBelow = false;
  const Integer Gap = Slide.Gap;
  Animate(static_cast<Cardinal>(D1), AnimationDuration(), [&](Integer Step, Integer StepSize) {
    (void)Step;
    if (StepSize <= 0) return true;
    const double Exact = StepSize * Ratio + Carry;
    const Integer Second = static_cast<Integer>(std::nearbyint(Exact));
    Carry = Exact - Second;
    Integer SA = AboveDrives ? StepSize : Second, SB = AboveDrives ? Second : StepSize;
    SA = std::min(SA, A - MovedAbove);
    SB = std::min(SB, B - MovedBelow);
    if (Slide.Opening) {
      // The gap opens at Gap: the rows above go up, those below go down;
      // the strips they uncover are filled once and then travel along.
      if (SA > 0) {
        RECT R{0, 0, CW, Gap};
        ScrollDC(DC, 0, -SA, &R, &R, nullptr, nullptr);
        if (!FilledAbove) FillSlideStrip(DC, Gap - SA, Gap, Background);
        FilledAbove = true;
      }
      if (SB > 0) {
        RECT R{0, Gap, CW, CH};
        ScrollDC(DC, 0, SB, &R, &R, nullptr, nullptr);
        if (!FilledBelow) FillSlideStrip(DC, Gap, Gap + SB, Background);
        FilledBelow = true;
      }
    } else {
      // The gap [Gap, Gap + GapHeight) closes: the rows below come up over
      // it, those above come down over what is left of it.
      const Integer NewBoundary = Gap + MovedAbove + SA;
      if (SB > 0) {
        RECT R{0, NewBoundary, CW, CH};
        ScrollDC(DC, 0, -SB, &R, &R, nullptr, nullptr);
        if (!FilledBelow) FillSlideStrip(DC, CH - SB, CH, Background);
        FilledBelow = true;
      }
      if (SA > 0) {
        RECT R{0, 0, CW, Gap + MovedAbove};
        RECT Clip{0, 0, CW, NewBoundary};
        ScrollDC(DC, 0, SA, &R, &Clip, nullptr, nullptr);
        if (!FilledAbove) FillSlideStrip(DC, 0, SA, Background);
        FilledAbove = true;
      }
    }
    MovedAbove += SA;
    MovedBelow += SB;
    return true;
  });
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
// Buttons and the line brush

void TVastTreeControl::PrepareButtonImages(bool Buttons, bool Lines) {
  if (Buttons) {
    const Integer Size = 9;
    auto Make = [&](bool Plus) {
      auto BM = std::make_unique<TBitmap>(Size, Size);
      BM->SetTransparentColor(static_cast<TColor>(0xFF00FF));
      TCanvas* C = BM->Canvas();
      C->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
      C->FillRect(TRect{0, 0, Size, Size});
      if (ButtonStyle() == bsTriangle) {
        C->Pen()->SetColor(clBlack);
        C->Brush()->SetColor(clBlack);
        if (Plus)
          C->Polygon({{2, 0}, {6, 4}, {2, 8}});
        else
          C->Polygon({{0, 2}, {8, 2}, {4, 6}});
        return BM;
      }
      if (ButtonFillMode() == fmShaded) {
        // The program's bitmaps when it links them (treeview/res/VastTree.rc).
        try {
          auto Loaded = std::make_unique<TBitmap>();
          Loaded->LoadFromResourceName(GetModuleHandleW(nullptr), Plus ? u"VT_XPBUTTONPLUS" : u"VT_XPBUTTONMINUS");
          Loaded->SetTransparentColor(static_cast<TColor>(0xFF00FF));
          return Loaded;
        } catch (const Exception&) {
        }
        // Without them the same look, drawn: a soft gradient box with a frame.
        for (Integer Y = 0; Y < Size; ++Y) {
          const Integer Shade = 255 - Y * 6;
          C->Pen()->SetColor(static_cast<TColor>(Shade | (Shade << 8) | ((Shade - 12) << 16)));
          C->MoveTo(0, Y);
          C->LineTo(Size, Y);
        }
        C->Brush()->SetStyle(bsClear);
        C->Pen()->SetColor(static_cast<TColor>(0x8F8F8F));
        C->Rectangle(0, 0, Size, Size);
        C->Brush()->SetStyle(bsSolid);
      } else {
        C->Pen()->SetColor(Colors().TreeLineColor());
        if (ButtonFillMode() == fmTreeColor)
          C->Brush()->SetColor(TControl::Color());
        else if (ButtonFillMode() == fmWindowColor)
          C->Brush()->SetColor(clWindow);
        else
          C->Brush()->SetStyle(bsClear);
        C->Rectangle(0, 0, Size, Size);
        C->Brush()->SetStyle(bsSolid);
      }
      C->Pen()->SetColor(Font()->Color());
      C->MoveTo(2, Size / 2);
      C->LineTo(Size - 2, Size / 2);
      if (Plus) {
        C->MoveTo(Size / 2, 2);
        C->LineTo(Size / 2, Size - 2);
      }
      return BM;
    };
    FMinusBM = Make(false);
    FPlusBM = Make(true);
    FHotMinusBM = Make(false);
    FHotPlusBM = Make(true);
    FSelectedHotMinusBM = Make(false);
    FSelectedHotPlusBM = Make(true);
  }
  if (Lines) {
    const Word* Bits = LineStyle() == lsSolid ? SolidBits : DottedBits;
    void* Custom = const_cast<Word*>(DottedBits);
    if (LineStyle() == lsCustomStyle) {
      DoGetLineStyle(Custom);
      Bits = static_cast<const Word*>(Custom);
    }
    TGdiObject Pattern(CreateBitmap(8, 8, 1, 1, Bits));
    FDottedBrush.Reset(CreatePatternBrush(static_cast<HBITMAP>(Pattern.Get())));
  }
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
    case WM_MOUSEMOVE: {
      if (Message.Msg == WM_MOUSEMOVE && FLastHintRect.Width() > 0 &&
          !FLastHintRect.Contains(MessagePoint(Message.LParam))) {
        // Another cell: the hint machinery asks again.
        FLastHintRect = TRect{};
        if (Application->HintControl() == this) Application->CancelHint();
      }
      if (Message.Msg == WM_MOUSEMOVE) AskHintAgainIfMoved(MessagePoint(Message.LParam));
      const bool Down = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN ||
                        Message.Msg == WM_MBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK;
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
      return;
    }
    case WM_GETDLGCODE:
      Message.Result = DialogCode();
      return;
    case WM_CONTEXTMENU:
      // A click that was to edit, clear or drag is over once a menu opens.
      KillTimer(EditTimer);
      DoStateChange({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
      if (HasState(tsPopupMenuShown)) {
        // The tree has shown its own menu for this gesture already.
        DoStateChange({}, {tsPopupMenuShown});
        Message.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case CM_PARENTDOUBLEBUFFEREDCHANGED_QUERY:
      Message.Result = 1;
      return;
    case CM_UPDATE_VCLSTYLE_SCROLLBARS:
      // No application style draws over our bars: nothing to refresh.
      Message.Result = 0;
      return;
    case WM_NCCALCSIZE: {
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
      return;
    }
    case WM_NCPAINT: {
      DefaultHandler(Message);
      ComputeHeaderRect();
      const TWindowDC DC = TWindowDC::WholeWindow(FHandle);
      PaintBevelBorder(DC.Get());
      if (Header().Options().Contains(hoVisible)) PaintHeader(DC.Get(), FHeaderRect, -EffectiveOffsetX());
      Message.Result = 0;
      return;
    }
    case WM_PAINT: {
      TCustomControl::WndProc(Message);
      if (Header().Options().Contains(hoVisible)) {
        ComputeHeaderRect();
        const TWindowDC DC = TWindowDC::WholeWindow(FHandle);
        PaintHeader(DC.Get(), FHeaderRect, -EffectiveOffsetX());
      }
      return;
    }
    case WM_PRINT: {
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
      return;
    }
    case WM_PRINTCLIENT: {
      if ((Message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(FHandle)) return;
      TCanvas Target;
      Target.SetHandle(reinterpret_cast<HDC>(Message.WParam));
      PaintClientArea(&Target, TRect{0, 0, ClientWidth(), ClientHeight()});
      Target.SetHandle(nullptr);
      return;
    }
    case WM_SIZE: {
      TCustomControl::WndProc(Message);
      if (FHandle && !HasState(tsSizing) && !HasState(tsWindowCreating) && ClientHeight() > 0) {
        DoStateChange({tsSizing});
        struct TLeave {
          TVastTreeControl* Tree;
          ~TLeave() { Tree->DoStateChange({}, {tsSizing}); }
        } Leave{this};
        Header().SetTreeBounds(Width(), TControl::Height(), ClientWidth(), ClientHeight());
        ComputeHeaderRect();
        UpdateScrollBars(true);
        // Without columns the edited cell is as wide as the window.
        if (IsEditing() && !Header().UseColumns()) UpdateEditBounds();
      }
      return;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
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
      return;
    }
    case WM_MOUSEWHEEL: {
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
      return;
    }
    case WM_SETFOCUS:
      TCustomControl::WndProc(Message);
      if (SelectedCount() > 0 || !TreeOptions().PaintOptions().Contains(toGhostedIfUnfocused)) InvalidateAll();
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(Message);
      if (HasState(tsHint)) Application->CancelHint();
      EndWheelPanning();
      // A search, a pending edit or a row-height drag does not outlive the
      // focus.
      TCustomVastStringTree::TimerFired(SearchTimer);
      DoStateChange({}, {tsEditPending, tsNodeHeightTracking, tsNodeHeightTrackPending, tsIncrementalSearching,
                         tsLeftButtonDown, tsMiddleButtonDown, tsOLEDragPending, tsRightButtonDown, tsScrolling,
                         tsScrollPending, tsVCLDragPending});
      for (Cardinal Id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer}) KillTimer(Id);
      if (SelectedCount() > 0 || !TreeOptions().PaintOptions().Contains(toGhostedIfUnfocused))
        InvalidateAll();
      else if (FocusedNode())
        InvalidateNode(FocusedNode());
      return;
    case WM_TIMER:
      TimerFired(static_cast<Cardinal>(Message.WParam));
      Message.Result = 0;
      return;
    case WM_CANCELMODE:
      TCustomVastStringTree::TimerFired(SearchTimer);
      for (Cardinal Id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer, ThemeChangedTimer})
        KillTimer(Id);
      DoStateChange({}, {tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending, tsIncrementalSearching,
                         tsOLEDragPending, tsVCLDragPending});
      TCustomControl::WndProc(Message);
      return;
    case WM_GETOBJECT: {
      // The tree's object and its item object are made on the first request
      // that finds a provider, and kept until the window goes.
      Message.Result = 0;
      TVTAccessibilityFactory& Factory = TVTAccessibilityFactory::GetAccessibilityFactory();
      if (!FAccessible) FAccessible.Reset(Factory.CreateIAccessible(this, nullptr, nullptr));
      if (!FAccessibleItem) FAccessibleItem.Reset(Factory.CreateIAccessible(this, FAccessible.Get(), nullptr));
      if (static_cast<LONG>(Message.LParam) == OBJID_CLIENT && FAccessible)
        Message.Result = LresultFromObject(IID_IAccessible, Message.WParam, FAccessible.Get());
      return;
    }
    case WM_NCDESTROY:
      FAccessibleItem.Reset();
      FAccessible.Reset();
      StopCacheValidation();
      KillTimer(ChangeTimer);
      KillTimer(StructureChangeTimer);
      FDottedBrush.Reset();
      TCustomControl::WndProc(Message);
      return;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(Message.LParam) == HTCLIENT &&
          Screen->Cursor() == crDefault && !HasState(tsWheelPanning) && !HasState(tsWheelScrolling)) {
        SetCursorFor(Message);
        return;
      }
      break;
    case WM_THEMECHANGED:
      DefaultHandler(Message);
      // This program has no visual styles: themes stay off.
      if (!FChangingTheme) SetTimer(ThemeChangedTimer, 500);
      FChangingTheme = false;
      return;
    case WM_ENABLE:
      DefaultHandler(Message);
      RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
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

// ---------------------------------------------------------------------------
// Painting

void TVastTreeControl::Paint() {
  if (FRedrawDisabled > 0) return;
  RECT Clip;
  if (GetClipBox(Canvas()->Handle(), &Clip) == NULLREGION) return;
  FUpdateRect = TRect{Clip.left, Clip.top, Clip.right, Clip.bottom};
  if (FUpdateRect.Width() <= 0 || FUpdateRect.Height() <= 0) return;
  PaintClientArea(Canvas(), FUpdateRect);
}

void TVastTreeControl::PaintClientArea(TCanvas* TargetCanvas, const TRect& Update) {
  const TVTInternalPaintOptions Options{poBackground, poColumnColor, poDrawFocusRect, poDrawSelection,
                                        poDrawDropMark, poGridLines};
  TVTHeader& H = Header();
  const Integer Fixed = H.UseColumns() ? H.Columns().GetVisibleFixedWidth() : 0;
  // Right to left, columns narrower than the client area sit at its right.
  const Integer RTL = UseRightToLeftAlignment() && H.UseColumns() ? RightToLeftOffset(true) : 0;
  if (Fixed > 0) {
    TRect FixedArea{-RTL, Update.Top - OffsetY(), Fixed - RTL, Update.Bottom - OffsetY()};
    PaintTree(TargetCanvas, FixedArea, TPoint{0, Update.Top}, Options);
    if (ClientWidth() > Fixed) {
      TRect Rest{Fixed + EffectiveOffsetX() - RTL, Update.Top - OffsetY(),
                 ClientWidth() + EffectiveOffsetX() - RTL, Update.Bottom - OffsetY()};
      PaintTree(TargetCanvas, Rest, TPoint{Fixed, Update.Top}, Options);
    }
  } else {
    TRect Window{Update.Left + EffectiveOffsetX() - RTL, Update.Top - OffsetY(),
                 Update.Right + EffectiveOffsetX() - RTL, Update.Bottom - OffsetY()};
    PaintTree(TargetCanvas, Window, TPoint{Update.Left, Update.Top}, Options);
  }
}

void TVastTreeControl::SetBackground(TPicture* Value) {
  FBackground.Assign(Value);
  FBackgroundBitmap.reset();
  InvalidateAll();
}

void TVastTreeControl::SetBackgroundOffsetX(Integer Value) {
  if (Value == FBackgroundOffsetX) return;
  FBackgroundOffsetX = Value;
  InvalidateAll();
}

void TVastTreeControl::SetBackgroundOffsetY(Integer Value) {
  if (Value == FBackgroundOffsetY) return;
  FBackgroundOffsetY = Value;
  InvalidateAll();
}

void TVastTreeControl::SetBackgroundImageTransparent(bool Value) {
  if (Value == FBackgroundImageTransparent) return;
  FBackgroundImageTransparent = Value;
  FBackgroundBitmap.reset();
  InvalidateAll();
}

bool TVastTreeControl::UsesBackground(TVTInternalPaintOptions PaintOptions) {
  return TreeOptions().PaintOptions().Contains(toShowBackground) && FBackground.Graphic() &&
         !FBackground.Graphic()->Empty() && PaintOptions.Contains(poBackground);
}

void TVastTreeControl::PaintBackgroundPicture(TCanvas* Canvas, const TRect& R, Integer RowTop) {
  TGraphic* Picture = FBackground.Graphic();
  const Integer W = Picture->Width(), H = Picture->Height();
  if (!FBackgroundBitmap) {
    // Rendered once: the picture over the background colour.
    FBackgroundBitmap = std::make_unique<TBitmap>(W, H);
    TCanvas* C = FBackgroundBitmap->Canvas();
    C->Brush()->SetColor(TControl::Color());
    C->FillRect(TRect{0, 0, W, H});
    if (FBackgroundImageTransparent) Picture->SetTransparent(true);
    C->Draw(0, 0, Picture);
  }
  HDC DC = Canvas->Handle();
  HDC Source = FBackgroundBitmap->Canvas()->Handle();
  TSavedDC Saved(DC);
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  if (TreeOptions().PaintOptions().Contains(toStaticBackground)) {
    Canvas->Brush()->SetColor(TControl::Color());
    RECT Rc = ToRECT(R);
    ::FillRect(DC, &Rc, Canvas->Brush()->Handle());
    // At the offsets in the window: tree x = window x + the horizontal
    // scroll, and the row's y follows the vertical scroll.
    const Integer X = FBackgroundOffsetX + EffectiveOffsetX();
    const Integer Y = FBackgroundOffsetY - OffsetY() - RowTop;
    BitBlt(DC, X, Y, W, H, Source, 0, 0, SRCCOPY);
    return;
  }
  // Tiles from the offsets in tree coordinates: the picture scrolls along.
  auto Floor = [](Integer A, Integer B) { return A >= 0 ? A / B : -((-A + B - 1) / B); };
  const Integer StartX = FBackgroundOffsetX + Floor(R.Left - FBackgroundOffsetX, W) * W;
  const Integer AbsTop = RowTop + R.Top;
  const Integer StartY = FBackgroundOffsetY + Floor(AbsTop - FBackgroundOffsetY, H) * H - RowTop;
  for (Integer Y = StartY; Y < R.Bottom; Y += H)
    for (Integer X = StartX; X < R.Right; X += W) BitBlt(DC, X, Y, W, H, Source, 0, 0, SRCCOPY);
}

bool TVastTreeControl::BlendsSelection(TCanvas* Canvas) const {
  // Blended only onto a 32-bit bitmap; elsewhere selections are filled.
  return TreeOptions().PaintOptions().Contains(toUseBlendedSelection) && CanBlendOn(Canvas->Handle());
}

void TVastTreeControl::EraseRowBackground(TVTPaintInfo& PaintInfo, const TRect& R, bool UseBackground,
                                          Integer RowTop) {
  TColor ItemColor = TControl::Color();
  TItemEraseAction Action = eaDefault;
  DoBeforeItemErase(PaintInfo.Canvas, PaintInfo.Node, R, ItemColor, Action);
  TCanvas* C = PaintInfo.Canvas;
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  switch (Action) {
    case eaColor:
      C->Brush()->SetColor(ItemColor);
      C->FillRect(R);
      break;
    case eaDefault:
      if (UseBackground) {
        PaintBackgroundPicture(C, R, RowTop);
      } else if (PaintInfo.PaintOptions.Contains(poDrawSelection) &&
          TreeOptions().SelectionOptions().Contains(toFullRowSelect) && GetSelected(PaintInfo.Node) &&
          !BlendsSelection(C)) {
        TRect Sel = R;
        if (Paint.Contains(toShowHorzGridLines)) {
          C->Brush()->SetColor(TControl::Color());
          C->FillRect(TRect{Sel.Left, Sel.Bottom - 1, Sel.Right, Sel.Bottom});
          --Sel.Bottom;
        }
        C->Brush()->SetColor(SelectionColor());
        C->Pen()->SetColor(SelectionBorderColor());
        const Integer Radius = static_cast<Integer>(SelectionCurveRadius());
        C->RoundRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom, Radius, Radius);
      } else {
        C->Brush()->SetColor(TControl::Color());
        C->FillRect(R);
      }
      break;
    case eaNone:
      break;
  }
  DoAfterItemErase(C, PaintInfo.Node, R);
}

TCustomImageList* TVastTreeControl::FetchImageIndex(TVTPaintInfo& PaintInfo, TVTImageKind Kind,
                                                    TVTImageInfoIndex Index) {
  TVTImageInfo& Info = PaintInfo.ImageInfo[Index];
  Info.Index = -1;
  Info.Ghosted = false;
  TCustomImageList* List = DoGetImageIndex(PaintInfo.Node, Kind, PaintInfo.Column, Info.Ghosted, Info.Index);
  if (List) Info.Images = List;
  return List;
}

void TVastTreeControl::ComputeVAlign(TVTPaintInfo& PaintInfo, Integer& ButtonY) {
  const Integer RowHeight = PaintInfo.CellRect.Height();
  const Integer Align = PaintInfo.Node->Align;
  const TSize Button = ButtonSize();
  auto Proportional = [&](Integer ImageHeight) {
    return MulDiv(RowHeight - ImageHeight, Align, 100) + ImageHeight / 2;
  };
  switch (NodeAlignment()) {
    case naFromBottom:
      PaintInfo.VAlign = RowHeight - Align;
      break;
    case naFromTop:
      PaintInfo.VAlign = Align;
      break;
    case naProportional: {
      const TVTImageInfo& Normal = PaintInfo.ImageInfo[iiNormal];
      const TVTImageInfo& State = PaintInfo.ImageInfo[iiState];
      if (Normal.Index >= 0 && Normal.Images)
        PaintInfo.VAlign = Proportional(Normal.Images->Height());
      else if (State.Index >= 0 && State.Images)
        PaintInfo.VAlign = Proportional(State.Images->Height());
      else if (TreeOptions().PaintOptions().Contains(toShowButtons))
        PaintInfo.VAlign = Proportional(Button.cy);
      else
        PaintInfo.VAlign = MulDiv(RowHeight, Align, 100);
      break;
    }
  }
  ButtonY = PaintInfo.VAlign - Button.cy / 2 - Button.cy % 2;
}

void TVastTreeControl::ComputeContentLayout(TVTPaintInfo& PaintInfo) {
  PaintInfo.ContentRect = PaintInfo.CellRect;
  const TRect& Cell = PaintInfo.CellRect;
  const TVTOffsets& O = PaintInfo.Offsets;
  if (PaintInfo.BidiMode == bdLeftToRight) {
    PaintInfo.ContentRect.Left = Cell.Left + O[ofsLabel];
    PaintInfo.ImageInfo[iiNormal].XPos = Cell.Left + O[ofsImage];
    PaintInfo.ImageInfo[iiState].XPos = Cell.Left + O[ofsStateImage];
    PaintInfo.ImageInfo[iiCheck].XPos = Cell.Left + O[ofsCheckBox];
  } else {
    PaintInfo.ContentRect.Right = Cell.Right - O[ofsLabel];
    PaintInfo.ImageInfo[iiNormal].XPos = Cell.Right - O[ofsLabel];
    PaintInfo.ImageInfo[iiState].XPos = Cell.Right - O[ofsImage];
    PaintInfo.ImageInfo[iiCheck].XPos = Cell.Right - O[ofsStateImage];
  }
  for (TVTImageInfo& Info : PaintInfo.ImageInfo)
    if (Info.Index >= 0 && Info.Images) Info.YPos = Cell.Top + PaintInfo.VAlign - Info.Images->Height() / 2;
}

void TVastTreeControl::DrawDottedHorizontalLine(TVTPaintInfo& PaintInfo, Integer Left, Integer Right, Integer Top) {
  HDC DC = PaintInfo.Canvas->Handle();
  RECT R{std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1};
  SetBkColor(DC, static_cast<COLORREF>(RGBOf(TControl::Color())));
  ::FillRect(DC, &R, static_cast<HBRUSH>(FDottedBrush.Get()));
}

void TVastTreeControl::DrawDottedVerticalLine(TVTPaintInfo& PaintInfo, Integer Top, Integer Bottom, Integer Left,
                                              bool UseSelectedBkColor) {
  HDC DC = PaintInfo.Canvas->Handle();
  RECT R{Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1};
  SetBkColor(DC, static_cast<COLORREF>(RGBOf(UseSelectedBkColor ? SelectionColor() : TControl::Color())));
  ::FillRect(DC, &R, static_cast<HBRUSH>(FDottedBrush.Get()));
}

void TVastTreeControl::DrawLineImage(TVTPaintInfo& PaintInfo, Integer X, Integer Y, Integer H, Integer VAlign,
                                     TVTLineType Style) {
  const Integer Indent = static_cast<Integer>(this->Indent());
  const bool Reverse = PaintInfo.BidiMode != bdLeftToRight;
  const Integer Half = X + Indent / 2;
  const Integer LineY = Y + VAlign;
  // Towards the content: rightwards, or leftwards when reading right to left.
  const Integer HorizontalEnd = Reverse ? X : X + Indent + ScaledPixels(ImagesMargin());
  const Integer LeftEdge = Reverse ? X + Indent : X;
  const Integer Bottom = Y + H;
  switch (Style) {
    case ltBottomRight:
      DrawDottedVerticalLine(PaintInfo, LineY, Bottom, Half);
      DrawDottedHorizontalLine(PaintInfo, Half, HorizontalEnd, LineY);
      break;
    case ltTopDown:
      DrawDottedVerticalLine(PaintInfo, Y, Bottom, Half);
      break;
    case ltTopDownRight:
      DrawDottedVerticalLine(PaintInfo, Y, Bottom, Half);
      DrawDottedHorizontalLine(PaintInfo, Half, HorizontalEnd, LineY);
      break;
    case ltRight:
      DrawDottedHorizontalLine(PaintInfo, Half, HorizontalEnd, LineY);
      break;
    case ltTopRight:
      DrawDottedVerticalLine(PaintInfo, Y, LineY, Half);
      DrawDottedHorizontalLine(PaintInfo, Half, HorizontalEnd, LineY);
      break;
    case ltLeft:
      DrawDottedVerticalLine(PaintInfo, Y, Bottom, LeftEdge);
      break;
    case ltLeftBottom:
      DrawDottedVerticalLine(PaintInfo, Y, Bottom, LeftEdge);
      DrawDottedHorizontalLine(PaintInfo, X, X + Indent, Bottom);
      break;
    case ltNone:
      break;
  }
}

void TVastTreeControl::PaintLineImages(TVTPaintInfo& PaintInfo, const TLineImage& LineImage) {
  const bool ShowRoot = TreeOptions().PaintOptions().Contains(toShowRoot);
  const Integer Indent = static_cast<Integer>(this->Indent());
  const bool Reverse = PaintInfo.BidiMode != bdLeftToRight;
  Integer X = Reverse ? PaintInfo.CellRect.Right - Indent - PaintInfo.Offsets[ofsMargin]
                      : PaintInfo.CellRect.Left + PaintInfo.Offsets[ofsMargin];
  const Integer Step = Reverse ? -Indent : Indent;
  HDC DC = PaintInfo.Canvas->Handle();
  if (LineMode() == lmNormal) {
    SetTextColor(DC, static_cast<COLORREF>(RGBOf(Colors().TreeLineColor())));
    for (std::size_t I = 0; I < LineImage.size(); ++I) {
      Integer PosX = X;
      DoBeforeDrawTreeLine(PaintInfo.Node, static_cast<Integer>(I) + (ShowRoot ? 0 : 1), PosX);
      DrawLineImage(PaintInfo, PosX, PaintInfo.CellRect.Top, PaintInfo.CellRect.Height(), PaintInfo.VAlign - 1,
                    LineImage[I]);
      X += Step;
    }
    return;
  }
  if (!PaintInfo.PaintOptions.Contains(poGridLines)) return;
  // Bands: derived from the last level to the first.
  TLineImage Bands(LineImage.size(), ltNone);
  const bool Open = GetExpanded(PaintInfo.Node) && PaintInfo.Node->FirstChild;
  for (std::size_t I = LineImage.size(); I-- > 0;) {
    if (Open) {
      Bands[I] = ltLeft;
      continue;
    }
    const TVTLineType T = LineImage[I];
    if (T == ltNone || T == ltTopDown) {
      const TVTLineType Next = I + 1 < LineImage.size() ? LineImage[I + 1] : ltNone;
      const TVTLineType NextBand = I + 1 < Bands.size() ? Bands[I + 1] : ltNone;
      Bands[I] = (Next != ltNone && Next != ltTopRight) ? ltLeft : NextBand;
    } else if (T == ltBottomRight || T == ltTopDownRight || T == ltRight || T == ltTopRight) {
      Bands[I] = ltLeftBottom;
    } else {
      Bands[I] = T;
    }
  }
  SetTextColor(DC, static_cast<COLORREF>(RGBOf(Colors().GridLineColor())));
  for (std::size_t I = 0; I < Bands.size(); ++I) {
    DrawLineImage(PaintInfo, X, PaintInfo.CellRect.Top, PaintInfo.CellRect.Height() - 1, PaintInfo.VAlign - 1,
                  Bands[I]);
    X += Step;
  }
}

void TVastTreeControl::PaintExpandButton(TVTPaintInfo& PaintInfo, Integer ButtonY) {
  const bool Expanded = GetExpanded(PaintInfo.Node);
  TBitmap* BM = Expanded ? FMinusBM.get() : FPlusBM.get();
  if (!BM) return;
  const Integer X = PaintInfo.BidiMode == bdLeftToRight
                        ? PaintInfo.CellRect.Left + PaintInfo.Offsets[ofsToggleButton]
                        : PaintInfo.CellRect.Right - PaintInfo.Offsets[ofsToggleButton] - BM->Width();
  const Integer Y = PaintInfo.CellRect.Top + ButtonY;
  TransparentBlt(PaintInfo.Canvas->Handle(), X, Y, BM->Width(), BM->Height(), BM->Canvas()->Handle(), 0, 0,
                 BM->Width(), BM->Height(), RGB(255, 0, 255));
}

void TVastTreeControl::PaintNodeImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Index) {
  const TVTImageInfo& Info = PaintInfo.ImageInfo[Index];
  if (Info.Index < 0 || !Info.Images) return;
  const bool Enabled = !GetDisabled(PaintInfo.Node) && TControl::Enabled();
  const bool Focused = TreeFocused() || TreeOptions().PaintOptions().Contains(toGhostedIfUnfocused);
  const bool CutNode = PaintInfo.Node->States.Contains(vsCutOrCopy) && HasState(tsCutPending);
  const bool Selected = GetSelected(PaintInfo.Node);
  bool Blend = false;
  if (Focused && TreeOptions().PaintOptions().Contains(toUseBlendedImages))
    Blend = Info.Ghosted || CutNode ||
            (Selected && !TreeOptions().SelectionOptions().Contains(toFullRowSelect) &&
             !TreeOptions().MiscOptions().Contains(toGridExtensions));
  if (!Enabled) {
    DrawImageGrayed(Info.Images, PaintInfo.Canvas, Info.XPos, Info.YPos, Info.Index);
    return;
  }
  UINT Style = ILD_TRANSPARENT;
  if (Blend) Style |= ILD_BLEND50;
  // The overlay of a normal image: through the list's own overlay slots
  // when it is in the same list and one of the first fifteen, else drawn
  // on top afterwards.
  TVTImageInfo Overlay;
  if (Index == iiNormal) {
    FetchImageIndex(PaintInfo, ikOverlay, iiOverlay);
    Overlay = PaintInfo.ImageInfo[iiOverlay];
    if (Overlay.Index >= 0 && Overlay.Images == Info.Images && Overlay.Index < 15) {
      Style |= INDEXTOOVERLAYMASK(Overlay.Index + 1);
      Overlay.Index = -1;
    }
  }
  const COLORREF BlendColor = (!Selected || CutNode || Info.Ghosted) ? static_cast<COLORREF>(RGBOf(TControl::Color()))
                                                                     : static_cast<COLORREF>(RGBOf(SelectionColor()));
  ImageList_DrawEx(Info.Images->Handle(), Info.Index, PaintInfo.Canvas->Handle(), Info.XPos, Info.YPos, 0, 0,
                   CLR_NONE, Blend ? BlendColor : CLR_DEFAULT, Style);
  if (Overlay.Index >= 0 && Overlay.Images)
    ImageList_DrawEx(Overlay.Images->Handle(), Overlay.Index, PaintInfo.Canvas->Handle(), Info.XPos, Info.YPos, 0,
                     0, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
}

void TVastTreeControl::PaintCellBackground(TVTPaintInfo& PaintInfo) {
  TCanvas* C = PaintInfo.Canvas;
  TVTHeader& H = Header();
  const TVTSelectionOptions Sel = TreeOptions().SelectionOptions();
  const TVTMiscOptions Misc = TreeOptions().MiscOptions();
  if (PaintInfo.PaintOptions.Contains(poColumnColor) && PaintInfo.Column >= 0) {
    TVastTreeColumn& Col = H.Columns()[PaintInfo.Column];
    TColor Color = Col.Color();
    if (Col.Options().Contains(coParentColor)) Color = TControl::Color();
    C->Brush()->SetColor(Color);
    C->FillRect(PaintInfo.CellRect);
  }
  TRect Content = PaintInfo.ContentRect;
  DoBeforeCellPaint(C, PaintInfo.Node, PaintInfo.Column, cpmPaint, PaintInfo.CellRect, Content);
  PaintInfo.ContentRect = Content;
  TRect Inner = Content;
  if (!Misc.Contains(toGridExtensions)) {
    const Integer W = std::min(PaintInfo.NodeWidth, Inner.Width());
    switch (PaintInfo.Alignment) {
      case taLeftJustify:
        Inner.Right = Inner.Left + W;
        break;
      case taRightJustify:
        Inner.Left = Inner.Right - W;
        break;
      case taCenter:
        Inner.Left = (Inner.Left + Inner.Right - W) / 2;
        Inner.Right = Inner.Left + W;
        break;
    }
  }
  const bool InFocusedColumn =
      PaintInfo.Column == FocusedColumn() || (PaintInfo.Column < 0 && FocusedColumn() <= 0);
  const bool Marks = (InFocusedColumn || Sel.Contains(toFullRowSelect)) && PaintInfo.PaintOptions.Contains(poDrawSelection);
  const TRect MarkRect = (Misc.Contains(toGridExtensions) || Sel.Contains(toFullRowSelect)) ? PaintInfo.CellRect : Inner;
  const Integer Radius = static_cast<Integer>(SelectionCurveRadius());
  if (Marks) {
    const bool DropTarget = PaintInfo.Node == DropTargetNode() &&
                            (LastDropMode() == dmOnNode || GetSelected(PaintInfo.Node));
    if (DropTarget || GetSelected(PaintInfo.Node)) {
      // A full-row selection was painted with the row's background already.
      const bool Blended = BlendsSelection(C);
      const bool AlreadyPainted = Sel.Contains(toFullRowSelect) && GetSelected(PaintInfo.Node) && !DropTarget &&
                                  !PaintInfo.PaintOptions.Contains(poColumnColor) && !Blended;
      if (!AlreadyPainted && MarkRect.Width() > 0) {
        const TColor Fill = DropTarget ? Colors().DropTargetColor() : SelectionColor();
        C->Brush()->SetColor(Fill);
        C->Pen()->SetColor(DropTarget ? Colors().DropTargetBorderColor() : SelectionBorderColor());
        if (Blended) {
          // The colour laid over what is painted, in pixels of the bitmap.
          HDC DC = C->Handle();
          const TRect D = DeviceRectOnBitmap(DC, MarkRect);
          if (D.Width() > 0 && D.Height() > 0) {
            GdiFlush();
            AlphaBlendRect(nullptr, DC, D, TPoint{0, 0}, abmColor, SelectionBlendFactor(),
                           static_cast<Integer>(ColorToColorRef(Fill)));
          }
        } else {
          C->RoundRect(MarkRect.Left, MarkRect.Top, MarkRect.Right, MarkRect.Bottom, Radius, Radius);
        }
      }
    }
  }
  if (PaintInfo.PaintOptions.Contains(poDrawFocusRect) &&
      (TreeFocused() || TreeOptions().PaintOptions().Contains(toPopupMode)) && PaintInfo.Node == FocusedNode() &&
      InFocusedColumn) {
    TRect R = Misc.Contains(toGridExtensions) ? PaintInfo.CellRect : Inner;
    HDC DC = C->Handle();
    SetTextColor(DC, RGB(255, 255, 255));
    SetBkColor(DC, RGB(0, 0, 0));
    RECT Rc = ToRECT(R);
    ::DrawFocusRect(DC, &Rc);
  }
}

void TVastTreeControl::PaintEmptyListMessage(TCanvas* Canvas, const TRect& Window, const TPoint& Target) {
  if (EmptyListMessage().empty()) return;
  if (RootNode()->ChildCount > 0 && GetFirstVisibleNoInit()) return;
  Canvas->SetFont(Font());
  Canvas->Font()->SetColor(clGrayText);
  HDC DC = Canvas->Handle();
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, static_cast<COLORREF>(RGBOf(clGrayText)));
  const Integer X = Target.X - Window.Left;
  RECT R{X + 2, Target.Y + 2, X + Window.Width(), Target.Y + Window.Height() - 2};
  const String& Text = EmptyListMessage();
  DrawTextW(DC, reinterpret_cast<LPCWSTR>(Text.c_str()), static_cast<int>(Text.size()), &R,
            DT_EXPANDTABS | DT_LEFT | DT_NOCLIP | DT_WORDBREAK);
}

void TVastTreeControl::PaintTree(TCanvas* TargetCanvas, const TRect& Window, const TPoint& Target,
                                 TVTInternalPaintOptions PaintOptions) {
  if (HasState(tsPainting)) return;
  DoStateChange({tsPainting});
  struct TLeave {
    TVastTreeControl* Tree;
    ~TLeave() { Tree->DoStateChange({}, {tsPainting}); }
  } Leave{this};
  DoBeforePaint(TargetCanvas);

  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  const TVTSelectionOptions Sel = TreeOptions().SelectionOptions();
  if (Paint.Contains(toAlwaysHideSelection) || (!TreeFocused() && Paint.Contains(toHideSelection)))
    PaintOptions.Exclude(poDrawSelection);
  if (Paint.Contains(toHideFocusRect)) PaintOptions.Exclude(poDrawFocusRect);

  const Integer MaxWidth = Window.Width();
  if (MaxWidth <= 0 || Window.Height() <= 0) return;
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const bool UseColumns = H.UseColumns();
  const TColumnIndex Main = H.MainColumn();
  const Integer RowWidth = std::max(ClientWidth(), RangeX());
  const bool Unbuffered = PaintOptions.Contains(poUnbuffered);
  HDC TargetDC = TargetCanvas->Handle();
  // Unbuffered rows paint straight onto the target, whose state (origin,
  // clipping) each row starts from and which is put back afterwards, also
  // when a handler fails.
  struct TTargetState {
    HDC DC = nullptr;
    int Level = 0;
    void Save(HDC ADC) {
      DC = ADC;
      Level = SaveDC(DC);
    }
    void Renew() {
      RestoreDC(DC, Level);
      Level = SaveDC(DC);
    }
    void Restore() {
      if (DC) RestoreDC(DC, Level);
      DC = nullptr;
    }
    ~TTargetState() { Restore(); }
  } TargetState;
  POINT TargetOrg{0, 0};
  if (Unbuffered) {
    GetWindowOrgEx(TargetDC, &TargetOrg);
    TargetState.Save(TargetDC);
  } else if (!FRowBuffer) {
    FRowBuffer = std::make_unique<TBitmap>();
    FRowBuffer->SetPixelFormat(pf32bit);
  }
  // Rows and the band share the window origin of the row: logical x is
  // tree x, logical y is 0 at the row's top.
  auto BeginRow = [&](Integer TargetTop, Integer Height, Integer AbsoluteTop) -> TCanvas* {
    TCanvas* Canvas;
    HDC DC;
    if (Unbuffered) {
      Canvas = TargetCanvas;
      DC = TargetDC;
      TargetState.Renew();
      SetWindowOrgEx(DC, TargetOrg.x + Window.Left - Target.X, TargetOrg.y - TargetTop, nullptr);
      // Within the target's own clipping: this row, not below the bottom.
      const Integer Visible = std::min(Height, Target.Y + Window.Height() - TargetTop);
      IntersectClipRect(DC, Window.Left, 0, Window.Right, Visible);
    } else {
      if (FRowBuffer->Width() != MaxWidth || FRowBuffer->Height() != Height) FRowBuffer->SetSize(MaxWidth, Height);
      Canvas = FRowBuffer->Canvas();
      DC = Canvas->Handle();
      SetWindowOrgEx(DC, Window.Left, 0, nullptr);
    }
    // Dotted patterns continue across rows and windows: phase by tree
    // position.
    POINT Origin{0, 0};
    LPtoDP(DC, &Origin, 1);
    SetBrushOrgEx(DC, ((Origin.x % 2) + 2) % 2, (((Origin.y - AbsoluteTop) % 2) + 2) % 2, nullptr);
    return Canvas;
  };
  auto EndRow = [&](TCanvas* Canvas, Integer TargetTop, Integer Height) {
    if (Unbuffered) return;
    HDC DC = Canvas->Handle();
    SetWindowOrgEx(DC, 0, 0, nullptr);
    const Integer Visible = std::min(Height, Target.Y + Window.Height() - TargetTop);
    BitBlt(TargetDC, Target.X, TargetTop, MaxWidth, Visible, DC, 0, 0, SRCCOPY);
  };
  // The band shows only while the left button is really held for it.
  const bool Band = HasState(tsDrawSelecting) && NewSelRect().Width() != 0 && NewSelRect().Height() != 0 &&
                    LeftButtonDown();
  const bool UseBackground = UsesBackground(PaintOptions);
  Integer NodeTop = 0;
  PVastNode Node = GetNodeAt(0, Window.Top, false, NodeTop);
  if (!Node) NodeTop = Window.Top;
  Integer TargetY = Target.Y + NodeTop - Window.Top;
  const Integer MaximumBottom = Target.Y + Window.Height();
  TLineImage LineImage;

  while (Node && TargetY < MaximumBottom) {
    const Integer SelectionLevel =
        ComputeLineImage(Node, LineImage) + (GetSelected(Node) && !Paint.Contains(toChildrenAbove) ? 1 : 0);
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    if (TreeOptions().MiscOptions().Contains(toVariableNodeHeight)) MeasureItemHeight(nullptr, Node);
    const Integer RowHeight = static_cast<Integer>(Node->NodeHeight);
    if (RowHeight <= 0) {
      Node = GetNextVisible(Node, true);
      continue;
    }
    if (PaintOptions.Contains(poSelectedOnly) && SelectionLevel == 0) {
      // Only selected rows (and rows below selected ones) are wanted.
      TargetY += RowHeight;
      NodeTop += RowHeight;
      Node = GetNextVisible(Node, true);
      continue;
    }
    TCanvas* Canvas = BeginRow(TargetY, RowHeight, NodeTop);
    HDC RowDC = Canvas->Handle();
    Canvas->SetFont(Font());

    TVTPaintInfo PaintInfo;
    PaintInfo.Canvas = Canvas;
    PaintInfo.Node = Node;
    PaintInfo.PaintOptions = PaintOptions;
    const TRect Row{0, 0, RowWidth, RowHeight};
    if (!DoBeforeItemPaint(Canvas, Node, Row)) {
      EraseRowBackground(PaintInfo, TRect{Window.Left, 0, Window.Right, RowHeight}, UseBackground, NodeTop);
      // The first visible column, by display position.
      TColumnIndex Column = NoColumn;
      TColumnPosition Position = 0;
      TRect Cell = Row;
      if (UseColumns) {
        Column = Cols.GetFirstVisibleColumn();
        if (Column >= 0) {
          Integer L, R;
          Cols[Column].UnscrolledBounds(L, R);
          Cell = TRect{L, 0, R, RowHeight};
          Position = Cols[Column].Position();
        }
      }
      while ((!UseColumns || Column >= 0) && Cell.Left < Window.Right) {
        const bool IsMain = !UseColumns || Column == Main;
        // Spanning: a left-to-right cell grows over the empty cells after it.
        TColumnIndex Next = UseColumns ? Cols.GetNextVisibleColumn(Column) : NoColumn;
        if (UseColumns && TreeOptions().AutoOptions().Contains(toAutoSpanColumns) && !ColumnRightToLeft(Column)) {
          while (Next >= 0 && !ColumnRightToLeft(Next) && IsCellEmpty(Node, Next)) {
            Cell.Right += Cols[Next].Width();
            Next = Cols.GetNextVisibleColumn(Next);
          }
        }
        if (UseColumns && PaintOptions.Contains(poMainOnly) && !IsMain) {
          if (Next < 0) break;
          Column = Next;
          Integer L, R;
          Cols[Column].UnscrolledBounds(L, R);
          Cell = TRect{L, 0, R, RowHeight};
          Position = Cols[Column].Position();
          continue;
        }
        const bool RTL = ColumnRightToLeft(Column);
        // The cell being edited shows the editor, not its own content.
        const bool Edited = IsEditing() && Node == FocusedNode() && Column == EditColumn();
        PaintInfo.Column = Column;
        PaintInfo.Position = Position;
        PaintInfo.CellRect = Cell;
        // Reading right to left mirrors the alignment.
        PaintInfo.Alignment = ColumnAlignment(Column);
        if (RTL && PaintInfo.Alignment != taCenter)
          PaintInfo.Alignment = PaintInfo.Alignment == taLeftJustify ? taRightJustify : taLeftJustify;
        PaintInfo.BidiMode = RTL ? bdRightToLeft : bdLeftToRight;
        PaintInfo.PaintOptions = PaintOptions;
        if (Edited) PaintInfo.PaintOptions.Exclude(poDrawSelection);
        if (!UseColumns || (GetSelected(Node) && Sel.Contains(toFullRowSelect) &&
                            PaintOptions.Contains(poDrawSelection)) ||
            (Column >= 0 && Cols[Column].Options().Contains(coParentColor)))
          PaintInfo.PaintOptions.Exclude(poColumnColor);
        if (Cell.Right > Window.Left) {
          GetOffsets(Node, PaintInfo.Offsets, ofsText, Column);
          PaintInfo.NodeWidth = DoGetNodeWidth(Node, Column, Canvas);
          for (TVTImageInfo& Info : PaintInfo.ImageInfo) Info = TVTImageInfo{};
          FetchImageIndex(PaintInfo, ikState, iiState);
          FetchImageIndex(PaintInfo, GetSelected(Node) ? ikSelected : ikNormal, iiNormal);
          Integer ButtonY = 0;
          ComputeVAlign(PaintInfo, ButtonY);
          ComputeContentLayout(PaintInfo);
          TSavedDC Saved(RowDC);
          if (UseColumns) IntersectClipRect(RowDC, Cell.Left, 0, Cell.Right, RowHeight);
          if (PaintOptions.Contains(poGridLines) && Paint.Contains(toShowHorzGridLines)) {
            Integer Start = PaintInfo.CellRect.Left, End = PaintInfo.CellRect.Right - 1;
            if (IsMain && LineMode() == lmBands) {
              // Bands: the line starts after the indentation (at the other
              // end right to left).
              const Integer Indentation = static_cast<Integer>(Indent()) *
                                          (Paint.Contains(toFixedIndent) ? 1 : static_cast<Integer>(LineImage.size()));
              if (RTL)
                End -= Indentation;
              else
                Start += Indentation;
            }
            SetTextColor(RowDC, static_cast<COLORREF>(RGBOf(Colors().GridLineColor())));
            DrawDottedHorizontalLine(PaintInfo, Start, End, PaintInfo.CellRect.Bottom - 1);
            --PaintInfo.CellRect.Bottom;
            --PaintInfo.ContentRect.Bottom;
          }
          if (UseColumns && PaintOptions.Contains(poGridLines) && Paint.Contains(toShowVertGridLines) &&
              !(H.Options().Contains(hoAutoResize) && Column == Cols.GetLastVisibleColumn()) &&
              !(Cell.Right - EffectiveOffsetX() == ClientWidth() && !Cols[Column].Options().Contains(coFixed))) {
            if (!RTL || !IsCellEmpty(Node, Column)) {
              const bool SelectedBk = GetSelected(Node) && PaintOptions.Contains(poDrawSelection) &&
                                      Sel.Contains(toFullRowSelect) && !BlendsSelection(PaintInfo.Canvas);
              SetTextColor(RowDC, static_cast<COLORREF>(RGBOf(Colors().GridLineColor())));
              DrawDottedVerticalLine(PaintInfo, PaintInfo.CellRect.Top, PaintInfo.CellRect.Bottom - 1,
                                     PaintInfo.CellRect.Right - 1, SelectedBk);
            }
            --PaintInfo.CellRect.Right;
            --PaintInfo.ContentRect.Right;
          }
          PaintCellBackground(PaintInfo);
          if (IsMain) {
            if (Paint.Contains(toShowTreeLines)) PaintLineImages(PaintInfo, LineImage);
            const bool ShowButton = Paint.Contains(toShowButtons) && Node->States.Contains(vsHasChildren) &&
                                    !(Node->States.Contains(vsAllChildrenHidden) &&
                                      TreeOptions().AutoOptions().Contains(toAutoHideButtons)) &&
                                    (Node->Parent != RootNode() || Paint.Contains(toShowRoot));
            if (ShowButton) PaintExpandButton(PaintInfo, ButtonY);
          }
          if (IsMain && TreeOptions().MiscOptions().Contains(toCheckSupport) && Node->CheckType != ctNone) {
            const Integer Size = CheckImageWidth();
            PaintCheckImage(PaintInfo, PaintInfo.ImageInfo[iiCheck].XPos, PaintInfo.VAlign - Size / 2);
          }
          PaintNodeImage(PaintInfo, iiState);
          PaintNodeImage(PaintInfo, iiNormal);
          SetBkMode(RowDC, TRANSPARENT);
          if (!Edited) DoPaintNode(PaintInfo);
          DoAfterCellPaint(Canvas, Node, Column, PaintInfo.CellRect);
        }
        if (!UseColumns || Next < 0) break;
        Column = Next;
        Integer L, R;
        Cols[Column].UnscrolledBounds(L, R);
        Cell = TRect{L, 0, R, RowHeight};
        Position = Cols[Column].Position();
      }
      DoAfterItemPaint(Canvas, Node, Row);
      if (Node == DropTargetNode() && Paint.Contains(toShowDropmark) && PaintOptions.Contains(poDrawDropMark))
        DoPaintDropMark(Canvas, Node, Row);
    }
    if (Band) {
      // The band in the row's coordinates: tree coordinates less the row top.
      const TRect& S = NewSelRect();
      PaintRubberBand(Canvas, TRect{Window.Left, 0, Window.Right, RowHeight},
                      TRect{S.Left, S.Top - NodeTop, S.Right, S.Bottom - NodeTop});
    }
    EndRow(Canvas, TargetY, RowHeight);
    TargetY += RowHeight;
    NodeTop += RowHeight;
    Node = GetNextVisible(Node, true);
  }

  if (TargetY < MaximumBottom) {
    // The empty area below the last row.
    const Integer Height = MaximumBottom - TargetY;
    std::unique_ptr<TBitmap> Rest;
    TCanvas* C;
    if (Unbuffered) {
      C = BeginRow(TargetY, Height, NodeTop);
    } else {
      Rest = std::make_unique<TBitmap>(MaxWidth, Height);
      Rest->SetPixelFormat(pf32bit);
      C = Rest->Canvas();
      SetWindowOrgEx(C->Handle(), Window.Left, 0, nullptr);
    }
    HDC DC = C->Handle();
    const TRect Area{Window.Left, 0, Window.Right, Height};
    if (DoPaintBackground(C, Area)) {
    } else if (UseBackground) {
      PaintBackgroundPicture(C, Area, NodeTop);
    } else {
      C->Brush()->SetColor(TControl::Color());
      C->FillRect(Area);
      if (UseColumns) {
        for (TColumnIndex Column = Cols.GetFirstVisibleColumn(); Column >= 0; Column = Cols.GetNextVisibleColumn(Column)) {
          Integer L, R;
          Cols[Column].UnscrolledBounds(L, R);
          if (R <= Window.Left) continue;
          if (L >= Window.Right) break;
          TVastTreeColumn& Col = Cols[Column];
          C->Brush()->SetColor(Col.Options().Contains(coParentColor) ? TControl::Color() : Col.Color());
          C->FillRect(TRect{L, 0, R, Height});
          if (PaintOptions.Contains(poGridLines) && Paint.Contains(toShowVertGridLines) &&
              Paint.Contains(toFullVertGridLines) &&
              !(H.Options().Contains(hoAutoResize) && Column == Cols.GetLastVisibleColumn())) {
            TVTPaintInfo Info;
            Info.Canvas = C;
            SetTextColor(DC, static_cast<COLORREF>(RGBOf(Colors().GridLineColor())));
            DrawDottedVerticalLine(Info, 0, Height - 1, R - 1);
          }
        }
      }
    }
    if (Band) {
      const TRect& S = NewSelRect();
      PaintRubberBand(C, Area, TRect{S.Left, S.Top - NodeTop, S.Right, S.Bottom - NodeTop});
    }
    EndRow(C, TargetY, Height);
  }
  TargetState.Restore();
  PaintEmptyListMessage(TargetCanvas, Window, Target);
  DoAfterPaint(TargetCanvas);
}

// ---------------------------------------------------------------------------
// Header painting

void AssignHeaderFont(TFont& Font, const TVTHeaderFont& Source) {
  Font.SetName(Source.Name);
  Font.SetHeight(Source.Height);
  Font.SetColor(Source.Color);
  Font.SetStyle(TFontStyles::FromBits(static_cast<Byte>(Source.Style)));
  Font.SetPitch(static_cast<TFontPitch>(Source.Pitch));
}

TVTHeaderFont HeaderFontOf(TFont& Font) {
  TVTHeaderFont Result;
  Result.Color = Font.Color();
  Result.Height = Font.Height();
  Result.Name = Font.Name();
  Result.Pitch = static_cast<Integer>(Font.Pitch());
  Result.Style = Font.Style().Bits();
  return Result;
}

bool TVastTreeControl::ShowsHeaderGlyph(const TVastTreeColumn& Column) const {
  const TVTHeader& H = TCustomVastStringTree::Header();
  return H.Options().Contains(hoShowImages) && ((H.Images() && Column.ImageIndex() >= 0) || Column.CheckBox());
}

TSize TVastTreeControl::HeaderGlyphSize(const TVastTreeColumn& Column) const {
  if (Column.CheckBox()) {
    if (FCustomCheckImages) return TSize{FCustomCheckImages->Width(), FCustomCheckImages->Height()};
    const Integer Size = CheckImageWidth();
    return TSize{Size, Size};
  }
  const TCustomImageList* Images = TCustomVastStringTree::Header().Images();
  return Images ? TSize{Images->Width(), Images->Height()} : TSize{0, 0};
}

Integer TVastTreeControl::CaptionWidth(TColumnIndex Column) {
  TVTHeader& H = Header();
  if (!H.Columns().IsValidColumn(Column)) return 0;
  TVastTreeColumn& C = H.Columns()[Column];
  if (!FHeaderBitmap) {
    FHeaderBitmap = std::make_unique<TBitmap>(1, 1);
    FHeaderBitmap->SetPixelFormat(pf32bit);
  }
  TCanvas* Canvas = FHeaderBitmap->Canvas();
  if (H.Options().Contains(hoOwnerDraw) && OnAdvancedHeaderDraw && OnHeaderDrawQueryElements) {
    // The owner hears the question; its answer does not change the width.
    THeaderPaintInfo Info;
    Info.TargetCanvas = Canvas;
    Info.Column = &C;
    THeaderPaintElements Elements;
    DoHeaderDrawQueryElements(Info, Elements);
  }
  const bool Glyph = ShowsHeaderGlyph(C);
  const bool Sort = H.SortColumn() >= 0 && H.SortColumn() == Column && H.Options().Contains(hoShowSortGlyphs);
  if (C.Text().empty() && !Glyph && !Sort) return 0;
  TFont HeaderFont;
  AssignHeaderFont(HeaderFont, H.Font());
  Canvas->SetFont(&HeaderFont);
  Integer Width = C.Text().empty() ? 0 : Canvas->TextWidth(C.Text()) + 2;
  if (Glyph) {
    const Integer GW = HeaderGlyphSize(C).cx;
    if (C.Layout() == blGlyphTop || C.Layout() == blGlyphBottom)
      Width = std::max(Width, GW);
    else
      Width += C.Spacing() + GW;
  }
  if (Sort) Width += C.Spacing() + ScaledPixels(16) + 2;
  return Width;
}

void TVastTreeControl::PlaceCaptionAndGlyphs(THeaderPaintInfo& Info, TVastTreeColumn& Column, UINT DrawFormat) {
  const TRect P = Info.PaintRectangle;
  const Integer W = P.Width(), Ht = P.Height();
  const bool HasText = !Column.Text().empty();
  const bool Glyph = Info.ShowHeaderGlyph, Sort = Info.ShowSortGlyph;
  if (!HasText && !Glyph && !Sort) return;
  const bool RTL = Column.BiDiMode() != bdLeftToRight;
  TAlignment Alignment = Column.CaptionAlignment();
  if (RTL) Alignment = Alignment == taLeftJustify ? taRightJustify : (Alignment == taRightJustify ? taLeftJustify : taCenter);
  const TSize GlyphSize = Glyph ? HeaderGlyphSize(Column) : TSize{0, 0};
  const Integer GW = GlyphSize.cx, GH = GlyphSize.cy;
  Info.SortGlyphSize = Sort ? TSize{ScaledPixels(16), ScaledPixels(4)} : TSize{0, 0};
  const Integer SW = Info.SortGlyphSize.cx;
  if (Sort) Info.SortGlyphPos.Y = (Ht - Info.SortGlyphSize.cy) / 2;
  const Integer Spacing = Column.Spacing(), Margin = Column.Margin();
  const bool Side = Column.Layout() == blGlyphLeft || Column.Layout() == blGlyphRight;
  const bool GlyphLeft = Glyph && Column.Layout() == blGlyphLeft, GlyphRight = Glyph && Column.Layout() == blGlyphRight;
  Integer TW = 0, TH = 0, Sp = 0;
  HDC DC = Info.TargetCanvas->Handle();
  const bool Wrap = Column.Options().Contains(coWrapCaption);
  const bool RTLReading = (DrawFormat & DT_RTLREADING) != 0;
  if (HasText) {
    Sp = Spacing;
    if (Wrap) {
      if (Column.CaptionText().empty())
        Column.SetCaptionText(WrapTextToWidth(DC, Column.Text(), P, RTLReading, DrawFormat));
      TRect Measure{P.Left, P.Top, P.Left, P.Top};
      MeasureTextRect(DC, Column.CaptionText(), Measure, DrawFormat);
      TW = W;
      TH = Measure.Height();
    } else {
      Column.SetCaptionText(Column.Text());
      SIZE Size{};
      GetTextExtentPoint32W(DC, reinterpret_cast<LPCWSTR>(Column.Text().c_str()),
                            static_cast<int>(Column.Text().size()), &Size);
      TW = Size.cx + 2;
      TH = Size.cy;
    }
  }
  Info.TextRectangle = TRect{0, 0, TW, TH};
  Integer TextX = 0, TextY = 0;
  if (!HasText && !Glyph) {
    Info.SortGlyphPos.X = (W - SW) / 2;
  } else {
    // Vertical: the glyph above or below the text, or both centred.
    if (Glyph && Column.Layout() == blGlyphTop) {
      Info.GlyphPos.Y = (Ht - GH - TH - Sp) / 2;
      TextY = Info.GlyphPos.Y + GH + Sp;
    } else if (Glyph && Column.Layout() == blGlyphBottom) {
      TextY = (Ht - GH - TH - Sp) / 2;
      Info.GlyphPos.Y = TextY + TH + Sp;
    } else {
      Info.GlyphPos.Y = (Ht - GH) / 2;
      TextY = std::max((Ht - TH) / 2, -5);
    }
    Integer X;
    switch (Alignment) {
      case taLeftJustify:
        X = Margin;
        if (Sort && RTL) {
          Info.SortGlyphPos.X = X;
          X += SW + Spacing;
        }
        if (Side) {
          if (GlyphLeft) {
            Info.GlyphPos.X = X;
            X += Spacing + GW;
          }
          TextX = X;
          X += TW + Sp;
          if (GlyphRight) {
            Info.GlyphPos.X = X;
            X += Spacing + GW;
          }
        } else {
          TextX = X;
          if (Glyph) {
            Info.GlyphPos.X = std::max((W - GW) / 2, X);
            X = std::max(Info.GlyphPos.X + GW + Spacing, TextX + TW + Sp);
          } else {
            X = TextX + TW + Sp;
          }
        }
        if (Sort && !RTL) Info.SortGlyphPos.X = X;
        break;
      case taCenter: {
        if (Side) {
          X = (W - GW - Sp - TW) / 2;
          if (GlyphLeft) {
            Info.GlyphPos.X = X;
            X += GW + Sp;
          }
          TextX = X;
          if (GlyphRight) Info.GlyphPos.X = X + Sp + TW;
        } else {
          Info.GlyphPos.X = (W - GW) / 2;
          TextX = (W - TW) / 2 - (Sort ? SW / 2 : 0);
        }
        Integer Left = TextX, Right = TextX + TW;
        if (Glyph) {
          Left = std::min(Info.GlyphPos.X, TextX);
          Right = std::max(Info.GlyphPos.X + GW, TextX + TW);
        }
        if (Sort) Info.SortGlyphPos.X = RTL ? Left - Spacing - SW : Right + Spacing;
        break;
      }
      case taRightJustify:
        X = W - Margin;
        if (Sort && !RTL) {
          X -= SW;
          Info.SortGlyphPos.X = X;
          X -= Spacing;
        }
        if (Side) {
          if (GlyphRight) {
            Info.GlyphPos.X = X - GW;
            X = Info.GlyphPos.X - Spacing;
          }
          TextX = X - TW;
          X = TextX - Sp;
          if (GlyphLeft) {
            Info.GlyphPos.X = X - GW;
            X = Info.GlyphPos.X - Spacing;
          }
        } else {
          TextX = X - TW;
          if (Glyph) {
            Info.GlyphPos.X = (W - GW) / 2;
            if (Info.GlyphPos.X + GW + Spacing > X) Info.GlyphPos.X = X - GW - Spacing;
            X = std::min(TextX - Sp, Info.GlyphPos.X - Spacing);
          } else {
            X = TextX - Sp;
          }
        }
        if (Sort && RTL) Info.SortGlyphPos.X = X - SW;
        break;
    }
  }
  // Clamped into the head between the margins.
  Integer MinX = Margin, MaxX = W - Margin;
  if (Sort) {
    if (!RTL) {
      if (Info.SortGlyphPos.X + SW > MaxX) Info.SortGlyphPos.X = MaxX - SW;
      MaxX = Info.SortGlyphPos.X - Spacing;
    }
    Info.SortGlyphPos.X = std::max(Info.SortGlyphPos.X, MinX);
    if (RTL) MinX = Info.SortGlyphPos.X + SW + Spacing;
    Info.SortGlyphPos.X += P.Left;
    Info.SortGlyphPos.Y += P.Top;
  }
  if (Glyph) {
    if (Info.GlyphPos.X + GW > MaxX) Info.GlyphPos.X = MaxX - GW;
    if (Column.Layout() == blGlyphRight) MaxX = Info.GlyphPos.X - Spacing;
    Info.GlyphPos.X = std::max(Info.GlyphPos.X, MinX);
    if (Column.Layout() == blGlyphLeft) MinX = Info.GlyphPos.X + GW + Spacing;
    // The main column's image lines up with the images of the rows below.
    if (!(Column.Index() == Header().MainColumn() && !Column.CheckBox())) Info.GlyphPos.X -= 2;
    Info.GlyphPos.X += P.Left;
    Info.GlyphPos.Y += P.Top;
  }
  if (HasText) {
    TextX = std::max(TextX, MinX);
    Info.TextRectangle = TRect{TextX, TextY, TextX + TW, TextY + TH};
    Info.TextRectangle.Right = std::min(Info.TextRectangle.Right, MaxX);
    Info.TextRectangle.Left += P.Left;
    Info.TextRectangle.Right += P.Left;
    Info.TextRectangle.Top += P.Top;
    Info.TextRectangle.Bottom += P.Top;
    if (Wrap) Column.SetCaptionText(WrapTextToWidth(DC, Column.Text(), Info.TextRectangle, RTLReading, DrawFormat));
  }
}

void TVastTreeControl::DrawCaptionText(HDC DC, String Caption, const TRect& TextRect, bool Enabled, bool Hot,
                                       UINT DrawFormat, bool WrapCaption) {
  if (!WrapCaption) {
    SIZE Size{};
    GetTextExtentPoint32W(DC, reinterpret_cast<LPCWSTR>(Caption.c_str()), static_cast<int>(Caption.size()), &Size);
    if (Size.cx > TextRect.Width()) Caption = ShortenTextWithEllipsis(DC, Caption, TextRect.Width(), 0);
  }
  SetBkMode(DC, TRANSPARENT);
  RECT TR = ToRECT(TextRect);
  const auto* Text = reinterpret_cast<LPCWSTR>(Caption.c_str());
  const int Length = static_cast<int>(Caption.size());
  if (Enabled) {
    SetTextColor(DC, static_cast<COLORREF>(RGBOf(Hot ? Colors().HeaderHotColor()
                                                     : static_cast<TColor>(Header().Font().Color))));
    DrawTextW(DC, Text, Length, &TR, DrawFormat);
    return;
  }
  // Embossed: a light copy one pixel down-right under a shadow-coloured one.
  OffsetRect(&TR, 1, 1);
  SetTextColor(DC, static_cast<COLORREF>(RGBOf(clBtnHighlight)));
  DrawTextW(DC, Text, Length, &TR, DrawFormat);
  OffsetRect(&TR, -1, -1);
  SetTextColor(DC, static_cast<COLORREF>(RGBOf(clBtnShadow)));
  DrawTextW(DC, Text, Length, &TR, DrawFormat);
}

void TVastTreeControl::PaintHeaderHead(THeaderPaintInfo& Info, TVastTreeColumn& Column, const TRect& H, UINT NormalEdge,
                                       UINT NormalFlags, bool ShowRightBorder) {
  TVTHeader& Hd = Header();
  TVastTreeColumns& Cols = Hd.Columns();
  const TColumnIndex I = Column.Index();
  Info.Column = &Column;
  Info.IsHoverIndex = Cols.HoverIndex() == I && Hd.Options().Contains(hoHotTrack) &&
                      Column.Options().Contains(coEnabled);
  Info.IsDownIndex = Cols.DownIndex() == I && !Cols.CheckBoxHit();
  Info.DropMark = dmmNone;
  if (Column.Options().Contains(coShowDropMark) && Cols.DropTarget() == I && Cols.DragIndex() != I &&
      Cols.IsValidColumn(Cols.DragIndex())) {
    Info.DropMark = Cols.DropBefore() ? dmmLeft : dmmRight;
    // A mark where the dragged column would not move is not shown.
    const Integer Dragged = static_cast<Integer>(Cols[Cols.DragIndex()].Position());
    const Integer Target = static_cast<Integer>(Column.Position());
    if ((Info.DropMark == dmmLeft && Dragged == std::max(0, Target - 1)) ||
        (Info.DropMark == dmmRight && Dragged == Target + 1))
      Info.DropMark = dmmNone;
  }
  Info.IsEnabled = Column.Options().Contains(coEnabled) && TControl::Enabled();
  Info.ShowHeaderGlyph = ShowsHeaderGlyph(Column);
  Info.ShowSortGlyph = Hd.SortColumn() == I && Hd.Options().Contains(hoShowSortGlyphs);
  Info.PaintRectangle = H;
  Info.GlyphPos = TPoint{};
  Info.SortGlyphPos = TPoint{};
  Info.SortGlyphSize = TSize{};
  Info.TextRectangle = TRect{};
  if (Column.Style() == vsOwnerDraw && FHeaderOwnerDraw) {
    DoHeaderDraw(Info.TargetCanvas, &Column, H, Info.IsHoverIndex, Info.IsDownIndex, Info.DropMark);
    return;
  }
  THeaderPaintElements Elements;
  if (FHeaderAdvanced) DoHeaderDrawQueryElements(Info, Elements);
  // The last column by index gets a right edge only when asked for.
  const bool RightEdge = ShowRightBorder || I < Cols.Count() - 1;
  RECT Rc = ToRECT(H);
  HDC DC = Info.TargetCanvas->Handle();
  if (Elements.Contains(hpeBackground)) {
    DoAdvancedHeaderDraw(Info, THeaderPaintElements{hpeBackground});
  } else if (Info.IsDownIndex) {
    const UINT Flags = Hd.Style() == hsThickButtons ? 0x780F : 0x280F;
    DrawEdge(DC, &Rc, Hd.Style() == hsThickButtons ? EDGE_RAISED : BDR_SUNKENOUTER, Flags);
  } else if (Hd.Style() == hsPlates && Info.IsHoverIndex && Column.Options().Contains(coAllowClick) &&
             Column.Options().Contains(coEnabled)) {
    DrawEdge(DC, &Rc, BDR_RAISEDINNER, 0x280B | (RightEdge ? BF_RIGHT : 0));
  } else {
    DrawEdge(DC, &Rc, NormalEdge, NormalFlags | (RightEdge ? BF_RIGHT : 0));
  }
  Info.PaintRectangle = TRect{H.Left + 2, H.Top + 2, H.Right - 2, H.Bottom - 2};
  UINT DrawFormat = DT_NOPREFIX;
  if (Column.CaptionAlignment() == taRightJustify)
    DrawFormat |= DT_RIGHT;
  else if (Column.CaptionAlignment() == taCenter)
    DrawFormat |= DT_CENTER;
  if (Column.UseRightToLeftReading()) DrawFormat |= DT_RTLREADING;
  PlaceCaptionAndGlyphs(Info, Column, DrawFormat);
  if (Info.IsDownIndex) {
    Info.TextRectangle.Offset(1, 1);
    Info.GlyphPos.X += 1;
    Info.GlyphPos.Y += 1;
    Info.SortGlyphPos.X += 1;
    Info.SortGlyphPos.Y += 1;
  }
  const THeaderPaintElements Requested = Elements - THeaderPaintElements{hpeBackground};
  Column.SetImagePainted(false);
  if (!Requested.Contains(hpeHeaderGlyph) && Info.ShowHeaderGlyph) {
    const TCustomImageList* Images = Hd.Images();
    const Integer ImagesWidth = Images ? Images->Width() : 0;
    // In a left-to-right head the sort arrow may not cover the picture.
    if (!Info.ShowSortGlyph || Column.UseRightToLeftReading() ||
        Info.SortGlyphPos.X >= Info.GlyphPos.X + ImagesWidth) {
      const TSize Size = HeaderGlyphSize(Column);
      if (Column.CheckBox()) {
        TVTImageInfo Check;
        Check.Index = CheckImageIndex(nullptr, Column.CheckType(), Column.CheckState(), Info.IsEnabled);
        Check.XPos = Info.GlyphPos.X;
        Check.YPos = Info.GlyphPos.Y;
        Check.Images = FCustomCheckImages;
        PaintCheckBox(Info.TargetCanvas, Check, false);
      } else {
        TCustomImageList* List = Hd.Images();
        if (Info.IsEnabled)
          ImageList_DrawEx(List->Handle(), Column.ImageIndex(), DC, Info.GlyphPos.X, Info.GlyphPos.Y, 0, 0, CLR_NONE,
                           CLR_DEFAULT, ILD_TRANSPARENT);
        else
          DrawImageGrayed(List, Info.TargetCanvas, Info.GlyphPos.X, Info.GlyphPos.Y, Column.ImageIndex());
      }
      const TRect Painted{Info.GlyphPos.X, Info.GlyphPos.Y, Info.GlyphPos.X + Size.cx, Info.GlyphPos.Y + Size.cy};
      // Kept in header coordinates (client x, y from the header's top).
      Column.SetImagePainted(true, TRect{Painted.Left - FHeaderCanvasOrigin.X, Painted.Top - FHeaderCanvasOrigin.Y,
                                         Painted.Right - FHeaderCanvasOrigin.X,
                                         Painted.Bottom - FHeaderCanvasOrigin.Y});
    }
  }
  const bool Wrap = Column.Options().Contains(coWrapCaption);
  if (!Requested.Contains(hpeText) && !Column.Text().empty()) {
    const bool Hot = Info.IsHoverIndex && Hd.Options().Contains(hoHotTrack);
    DrawCaptionText(DC, Wrap ? Column.CaptionText() : Column.Text(), Info.TextRectangle, Info.IsEnabled, Hot,
                    DrawFormat, Wrap);
  }
  if (Info.ShowSortGlyph && !Requested.Contains(hpeSortGlyph)) Info.DrawSortArrow(Hd.SortDirection());
  if (Info.DropMark != dmmNone && !Requested.Contains(hpeDropMark)) Info.DrawDropMark(ScaledPixels(5));
  if (!Requested.Empty()) {
    TSavedDC Saved(DC);
    DoAdvancedHeaderDraw(Info, Requested);
  }
}

void TVastTreeControl::BeginHeaderPaint(THeaderPaintInfo& Info, TCanvas* Canvas, TFont& HeaderFont, UINT& NormalEdge,
                                        UINT& NormalFlags) {
  TVTHeader& Hd = Header();
  Info.TargetCanvas = Canvas;
  AssignHeaderFont(HeaderFont, Hd.Font());
  Canvas->SetFont(&HeaderFont);
  switch (Hd.Style()) {
    case hsFlatButtons:
      NormalEdge = BDR_RAISEDINNER;
      NormalFlags = 0x280B;
      break;
    case hsPlates:
      NormalEdge = BDR_RAISEDINNER;
      NormalFlags = 0x380F;
      break;
    default:
      NormalEdge = EDGE_RAISED;
      NormalFlags = 0x380B;
      break;
  }
  const bool Advanced = Hd.Options().Contains(hoOwnerDraw) && OnAdvancedHeaderDraw && OnHeaderDrawQueryElements;
  FHeaderOwnerDraw = Hd.Options().Contains(hoOwnerDraw) && OnHeaderDraw && !Advanced;
  FHeaderAdvanced = Advanced;
}

void TVastTreeControl::PaintHeaderStrip(TCanvas* Canvas, const TRect& R, Integer HOffset) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  TVTHeader& Hd = Header();
  TVastTreeColumns& Cols = Hd.Columns();
  THeaderPaintInfo Info;
  TFont HeaderFont;
  UINT NormalEdge = 0, NormalFlags = 0;
  BeginHeaderPaint(Info, Canvas, HeaderFont, NormalEdge, NormalFlags);
  HDC DC = Canvas->Handle();
  THeaderPaintElements Elements;
  if (FHeaderAdvanced) {
    Info.PaintRectangle = R;
    Info.Column = nullptr;
    DoHeaderDrawQueryElements(Info, Elements);
  }
  const TRect Background{R.Left, R.Top, R.Right, R.Top + Hd.Height()};
  if (Elements.Contains(hpeBackground)) {
    Info.PaintRectangle = Background;
    Info.Column = nullptr;
    DoAdvancedHeaderDraw(Info, THeaderPaintElements{hpeBackground});
  } else {
    Canvas->Brush()->SetColor(static_cast<TColor>(Hd.Background()));
    Canvas->FillRect(Background);
  }
  const bool ShowRightBorder =
      Hd.Style() == hsThickButtons || !Hd.Options().Contains(hoAutoResize) || FBevelKind == bkNone;
  // Right to left, columns narrower than the strip sit at its right end.
  const Integer RTLOffset = UseRightToLeftAlignment() && Hd.UseColumns() ? RightToLeftOffset(false) : 0;
  const Integer FixedLeft = R.Left + RTLOffset;
  const Integer FixedRight = FixedLeft + Cols.GetVisibleFixedWidth();
  for (TColumnIndex Column = Cols.GetFirstVisibleColumn(); Column >= 0; Column = Cols.GetNextVisibleColumn(Column)) {
    TVastTreeColumn& C = Cols[Column];
    const bool Fixed = C.Options().Contains(coFixed);
    Integer L, Rt;
    C.UnscrolledBounds(L, Rt);
    const TRect Head{FixedLeft + L + (Fixed ? 0 : HOffset), R.Top, FixedLeft + Rt + (Fixed ? 0 : HOffset), R.Bottom};
    // Scrolled heads pass under the fixed ones.
    const Integer ClipLeft = std::max(Head.Left, Fixed ? R.Left : std::max(R.Left, FixedRight));
    const Integer ClipRight = std::min(Head.Right, R.Right);
    if (ClipLeft >= ClipRight) {
      C.SetImagePainted(false);
      continue;
    }
    TSavedDC Saved(DC);
    IntersectClipRect(DC, ClipLeft, R.Top, ClipRight, R.Bottom);
    PaintHeaderHead(Info, C, Head, NormalEdge, NormalFlags, ShowRightBorder);
  }
}

void TVastTreeControl::PaintColumnHead(TCanvas* Canvas, TColumnIndex Column, const TRect& R) {
  TVastTreeColumns& Cols = Header().Columns();
  if (!Cols.IsValidColumn(Column)) return;
  THeaderPaintInfo Info;
  TFont HeaderFont;
  UINT NormalEdge = 0, NormalFlags = 0;
  BeginHeaderPaint(Info, Canvas, HeaderFont, NormalEdge, NormalFlags);
  const TRect Before = Cols[Column].ImageRect();
  const bool HadImage = Cols[Column].HasImage();
  TSavedDC Saved(Canvas->Handle());
  IntersectClipRect(Canvas->Handle(), R.Left, R.Top, R.Right, R.Bottom);
  PaintHeaderHead(Info, Cols[Column], R, NormalEdge, NormalFlags, true);
  // A picture of the head elsewhere leaves the head's own hit area alone.
  Cols[Column].SetImagePainted(HadImage, Before);
}

void TVastTreeControl::PaintHeader(HDC DC, const TRect& R, Integer HOffset) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  if (!FHeaderBitmap) {
    FHeaderBitmap = std::make_unique<TBitmap>();
    FHeaderBitmap->SetPixelFormat(pf32bit);
  }
  const Integer W = std::max(R.Right, FHeaderRect.Right), Ht = std::max(R.Bottom, FHeaderRect.Bottom);
  if (FHeaderBitmap->Width() < W || FHeaderBitmap->Height() < Ht)
    FHeaderBitmap->SetSize(std::max(W, FHeaderBitmap->Width()), std::max(Ht, FHeaderBitmap->Height()));
  // Where client x = 0 and the header's top are on the bitmap, so that the
  // heads' picture rectangles are kept in header coordinates.
  FHeaderCanvasOrigin = TPoint{R.Left, R.Top};
  if (FHandle) {
    POINT Client{0, 0};
    ::ClientToScreen(FHandle, &Client);
    RECT Window;
    GetWindowRect(FHandle, &Window);
    FHeaderCanvasOrigin.X = static_cast<Integer>(Client.x - Window.left);
  }
  TCanvas* C = FHeaderBitmap->Canvas();
  PaintHeaderStrip(C, R, HOffset);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), C->Handle(), R.Left, R.Top, SRCCOPY);
  FHeaderCanvasOrigin = TPoint{};
}

// ---------------------------------------------------------------------------
// String tree: cell texts

TVastStringTree::TVastStringTree(TComponent* AOwner) : TVastTreeControl(AOwner) {}

void TVastStringTree::FontChanged() { TVastTreeControl::FontChanged(); }

TSize TVastStringTree::DoMeasureText(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& Text) {
  return TCustomVastStringTree::DoMeasureText(Canvas, Node, Column, Text);
}

void TVastStringTree::PrepareTextFont(TVTPaintInfo& PaintInfo) {
  TCanvas* C = PaintInfo.Canvas;
  C->SetFont(Font());
  C->Font()->SetColor(TControl::Enabled() ? Font()->Color() : Colors().DisabledColor());
  const TVTSelectionOptions Sel = TreeOptions().SelectionOptions();
  const bool InColumn = PaintInfo.Column == FocusedColumn() || PaintInfo.Column < 0 || Sel.Contains(toFullRowSelect);
  // The row under the mouse: underlined, in the hot colour unless selected.
  const bool Hot = PaintInfo.Node == HotNode() && TreeOptions().PaintOptions().Contains(toHotTrack) &&
                   (PaintInfo.Column == HotColumn() || Sel.Contains(toFullRowSelect) || PaintInfo.Column < 0);
  if (Hot) {
    C->Font()->SetStyle(C->Font()->Style() + TFontStyles{fsUnderline});
    C->Font()->SetColor(Colors().HotColor());
  }
  if (PaintInfo.PaintOptions.Contains(poDrawSelection) && InColumn) {
    const bool DropTarget = PaintInfo.Node == DropTargetNode() && (LastDropMode() == dmOnNode || GetSelected(PaintInfo.Node));
    if (DropTarget || GetSelected(PaintInfo.Node))
      C->Font()->SetColor(TreeFocused() ? Colors().SelectionTextColor() : Colors().UnfocusedColor());
  }
}

void TVastStringTree::DoPaintNode(TVTPaintInfo& PaintInfo) {
  TVSTGetCellTextEventArgs E;
  E.Node = PaintInfo.Node;
  E.Column = PaintInfo.Column;
  E.CellText = DefaultText();
  E.StaticTextAlignment = PaintInfo.Alignment;
  DoGetText(E);
  if (!E.CellText.empty()) DrawNormalText(PaintInfo, E.CellText);
  if (Alignment() != taCenter && !GetMultiline(PaintInfo.Node) && StringOptions().Contains(toShowStaticText) &&
      !E.StaticText.empty())
    DrawStaticText(PaintInfo, E.StaticTextAlignment, E.StaticText);
}

void TVastStringTree::DrawNormalText(TVTPaintInfo& PaintInfo, const String& Text) {
  PrepareTextFont(PaintInfo);
  TCanvas* C = PaintInfo.Canvas;
  TRect R = PaintInfo.ContentRect;
  R.Left += TextMargin();
  R.Right -= TextMargin();
  if (GetDisabled(PaintInfo.Node) || !TControl::Enabled()) C->Font()->SetColor(Colors().DisabledColor());
  const String FontName = C->Font()->Name();
  const Integer FontHeight = C->Font()->Height();
  const TFontStyles FontStyle = C->Font()->Style();
  DoPaintText(PaintInfo.Node, C, ttNormal, PaintInfo.Column);
  HDC DC = C->Handle();
  // Select the prepared font and colour into the DC.
  C->TextExtent(u"x");
  if (C->Font()->Name() != FontName || C->Font()->Height() != FontHeight || C->Font()->Style() != FontStyle) {
    // The handler changed the font: the text is as wide as it is now.
    PaintInfo.NodeWidth = 2 * TextMargin() + C->TextWidth(Text);
  }
  SetTextColor(DC, static_cast<COLORREF>(RGBOf(C->Font()->Color())));
  SetBkMode(DC, TRANSPARENT);
  String Shown = Text;
  UINT Format;
  if (GetMultiline(PaintInfo.Node)) {
    Format = DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS;
    TRect Measure{0, 0, R.Width(), 0};
    MeasureTextRect(DC, Text, Measure, Format);
    const Integer H = Measure.Height();
    if (H < R.Height()) {
      R.Top += (R.Height() - H) / 2;
      R.Bottom -= (R.Height() - H) / 2;
    }
  } else {
    Format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
    if (PaintInfo.Column >= 0 && PaintInfo.NodeWidth - 2 * TextMargin() > R.Width()) {
      Shown = DoShortenString(C, PaintInfo.Node, PaintInfo.Column, Text, R.Width());
      if (PaintInfo.Alignment == taRightJustify) Format |= DT_RIGHT;
    } else if (PaintInfo.Alignment == taRightJustify) {
      Format |= DT_RIGHT;
    } else if (PaintInfo.Alignment == taCenter) {
      Format |= DT_CENTER;
    }
  }
  if (PaintInfo.Alignment == taRightJustify && GetMultiline(PaintInfo.Node)) Format |= DT_RIGHT;
  if (PaintInfo.BidiMode != bdLeftToRight) Format |= DT_RTLREADING;
  DoDrawText(PaintInfo, Shown, R, Format);
}

String TVastStringTree::DoShortenString(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& S,
                                        Integer Width) {
  bool Done = false;
  String Result;
  if (OnShortenString) OnShortenString(this, Canvas, Node, Column, S, Width, Result, Done);
  if (Done) return Result;
  return ShortenTextWithEllipsis(Canvas->Handle(), S, Width, 0);
}

void TVastStringTree::DoDrawText(TVTPaintInfo& PaintInfo, const String& Text, const TRect& CellRect,
                                 UINT DrawFormat) {
  bool DefaultDraw = true;
  if (OnDrawText) OnDrawText(this, PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, CellRect, DefaultDraw);
  if (!DefaultDraw) return;
  RECT Rc = ToRECT(CellRect);
  DrawTextW(PaintInfo.Canvas->Handle(), reinterpret_cast<LPCWSTR>(Text.c_str()), static_cast<int>(Text.size()), &Rc,
            DrawFormat);
}

void TVastStringTree::DrawStaticText(TVTPaintInfo& PaintInfo, TAlignment Alignment, const String& Text) {
  TCanvas* C = PaintInfo.Canvas;
  C->SetFont(Font());
  C->Font()->SetColor(Font()->Color());
  DoPaintText(PaintInfo.Node, C, ttStatic, PaintInfo.Column);
  HDC DC = C->Handle();
  C->TextExtent(u"");
  SetTextColor(DC, static_cast<COLORREF>(RGBOf(GetDisabled(PaintInfo.Node) ? Colors().DisabledColor() : C->Font()->Color())));
  SetBkMode(DC, TRANSPARENT);
  TRect R = PaintInfo.ContentRect;
  UINT Format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
  if (Alignment == taRightJustify) {
    Format |= DT_RIGHT;
    R.Right -= TextMargin();
    if (PaintInfo.Alignment == taRightJustify) R.Right -= PaintInfo.NodeWidth;
  } else {
    R.Left += TextMargin();
    if (PaintInfo.Alignment == taLeftJustify) R.Left += PaintInfo.NodeWidth;
  }
  RECT Rc = ToRECT(R);
  DrawTextW(DC, reinterpret_cast<LPCWSTR>(Text.c_str()), static_cast<int>(Text.size()), &Rc, Format);
}
