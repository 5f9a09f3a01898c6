// The painting of the tree's rows: backgrounds, tree lines, buttons,
// images, the rubber band and drop mark, and the string tree's cell texts;
// with the GDI drawing utilities they use.
#include "treeview/VastTreeControl_win.h"

#include "rtl/ScopeExit.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

TColor RGBOf(TColor C) { return ColorToRGB(C); }

// Pattern bits of the line styles (zero bits take the line colour).
constexpr Word DottedBits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
constexpr Word SolidBits[8] = {0, 0, 0, 0, 0, 0, 0, 0};

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

using TThemeHandle = TWinHandle<HTHEME, &CloseThemeData>;

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
};

// Where PaintTree's rows are drawn: into the row buffer and copied to the
// target, or unbuffered straight onto the target. Rows and the band share
// the window origin of the row: logical x is tree x, logical y is 0 at the
// row's top.
class TRowTarget {
public:
  TRowTarget(TCanvas* TargetCanvas, const TRect& Window, const TPoint& Target, bool Unbuffered,
             std::unique_ptr<TBitmap>& RowBuffer)
      : TargetCanvas(TargetCanvas),
        TargetDC(TargetCanvas->Handle()),
        Window(Window),
        Target(Target),
        MaxWidth(Window.Width()),
        Unbuffered(Unbuffered),
        RowBuffer(RowBuffer) {
    if (Unbuffered) {
      GetWindowOrgEx(TargetDC, &TargetOrg);
      TargetState.Save(TargetDC);
    } else if (!RowBuffer) {
      RowBuffer = std::make_unique<TBitmap>();
      RowBuffer->SetPixelFormat(pf32bit);
    }
  }

  // The canvas of a row of Height at TargetTop (target coordinates) whose
  // top is AbsoluteTop in the tree.
  TCanvas* BeginRow(Integer TargetTop, Integer Height, Integer AbsoluteTop) {
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
      if (RowBuffer->Width() != MaxWidth || RowBuffer->Height() != Height) RowBuffer->SetSize(MaxWidth, Height);
      Canvas = RowBuffer->Canvas();
      DC = Canvas->Handle();
      SetWindowOrgEx(DC, Window.Left, 0, nullptr);
    }
    // Dotted patterns continue across rows and windows: phase by tree
    // position.
    POINT Origin{0, 0};
    LPtoDP(DC, &Origin, 1);
    SetBrushOrgEx(DC, ((Origin.x % 2) + 2) % 2, (((Origin.y - AbsoluteTop) % 2) + 2) % 2, nullptr);
    return Canvas;
  }

  void EndRow(TCanvas* Canvas, Integer TargetTop, Integer Height) {
    if (Unbuffered) return;
    HDC DC = Canvas->Handle();
    SetWindowOrgEx(DC, 0, 0, nullptr);
    const Integer Visible = std::min(Height, Target.Y + Window.Height() - TargetTop);
    BitBlt(TargetDC, Target.X, TargetTop, MaxWidth, Visible, DC, 0, 0, SRCCOPY);
  }

  // Puts the target's state back (unbuffered).
  void Restore() { TargetState.Restore(); }

  TCanvas* const TargetCanvas;  // not owned
  const HDC TargetDC;
  const TRect Window;
  const TPoint Target;
  const Integer MaxWidth;
  const bool Unbuffered;

private:
  std::unique_ptr<TBitmap>& RowBuffer;  // the control's
  POINT TargetOrg{0, 0};
  TTargetState TargetState;
};

}  // namespace

// ---------------------------------------------------------------------------
// Drawing utilities

void ClipCanvasToRect(TCanvas* Canvas, const TRect& ClipRect, HRGN VisibleRegion) {
  HDC DC = Canvas->Handle();
  POINT P[2] = {{ClipRect.Left, ClipRect.Top}, {ClipRect.Right, ClipRect.Bottom}};
  LPtoDP(DC, P, 2);
  TGdiObject Region(CreateRectRgn(P[0].x, P[0].y, P[1].x, P[1].y));
  if (VisibleRegion)
    CombineRgn(static_cast<HRGN>(Region.Get()), static_cast<HRGN>(Region.Get()), VisibleRegion, RGN_AND);
  SelectClipRgn(DC, static_cast<HRGN>(Region.Get()));
}

void MeasureTextRect(HDC DC, const String& Text, TRect& R, UINT DrawFormat) {
  RECT Rc{R.Left, R.Top, R.Left + 1, R.Top + 1};
  DrawTextW(DC, WideCStr(Text), static_cast<int>(Text.size()), &Rc, DrawFormat | DT_CALCRECT);
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
  if (!Bitmap || GetObjectW(Bitmap, sizeof(DIBSECTION), &Section) != static_cast<int>(sizeof(DIBSECTION)))
    return nullptr;
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
// Rubber band and drop mark

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
    Canvas->Polygon(
        {{L + 2, B - 1}, {Rt - 2, B - 1}, {Rt - 2, B - 8}, {Rt - 7, B - 3}, {L + 7, B - 3}, {L + 2, B - 8}});
  Canvas->Brush()->SetColor(OldBrush);
  Canvas->Pen()->SetStyle(OldPen);
}

void TVastTreeControl::PaintRubberBand(TCanvas* Canvas, const TRect& VisibleRect, const TRect& SelectionRect) {
  TRect Band;
  NormalizeRect(SelectionRect, Band);
  HDC DC = Canvas->Handle();
  if (DrawSelectionMode() == smBlendedRectangle || HasState(tsUseThemes)) {
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

// ---------------------------------------------------------------------------
// Buttons and the line brush

void TVastTreeControl::PrepareClassicButtons() {
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

void TVastTreeControl::TThemeClose::operator()(void* Theme) const { CloseThemeData(static_cast<HTHEME>(Theme)); }

void* TVastTreeControl::TreeTheme(bool ExplorerItems) {
  if (!FHandle) return nullptr;
  std::unique_ptr<void, TThemeClose>& Theme = ExplorerItems ? FItemTheme : FGlyphTheme;
  if (!Theme) {
    HTHEME Opened = ExplorerItems ? OpenThemeData(FHandle, L"Explorer::TreeView") : nullptr;
    if (!Opened) Opened = OpenThemeData(FHandle, L"TREEVIEW");
    Theme.reset(Opened);
  }
  return Theme.get();
}

void TVastTreeControl::CloseTreeThemes() {
  FGlyphTheme.reset();
  FItemTheme.reset();
}

TColor TVastTreeControl::ButtonKeyColor() const {
  // Themed glyphs have soft edges: keyed on the colour they are shown on,
  // the edges blend with the cell instead of showing magenta.
  if (!HasState(tsUseExplorerTheme) || !IsWindowsSixOrLater()) return static_cast<TColor>(0xFF00FF);
  TVTHeader& H = Header();
  if (H.UseColumns() && H.Columns().IsValidColumn(H.MainColumn())) {
    const TVastTreeColumn& Main = H.Columns()[H.MainColumn()];
    if (!Main.Options().Contains(coParentColor)) return Main.Color();
  }
  return TControl::Color();
}

void TVastTreeControl::PrepareButtonImages(bool Buttons, bool Lines) {
  if (Buttons) {
    // The tree view theme's glyphs while themes are in use (the explorer
    // variant once the window has that theme class).
    TThemeHandle Theme;
    if (HasState(tsUseThemes) && FHandle) Theme.Reset(OpenThemeData(FHandle, L"TREEVIEW"));
    TSize Size{9, 9};
    if (Theme) {
      SIZE Glyph{0, 0};
      if (SUCCEEDED(GetThemePartSize(Theme.Get(), nullptr, TVP_GLYPH, GLPS_CLOSED, nullptr, TS_TRUE, &Glyph)) &&
          Glyph.cx > 0 && Glyph.cy > 0)
        Size = TSize{Glyph.cx, Glyph.cy};
    }
    const TColor Key = ButtonKeyColor();
    auto Blank = [&] {
      auto BM = std::make_unique<TBitmap>(Size.cx, Size.cy);
      BM->SetTransparentColor(Key);
      BM->Canvas()->Brush()->SetColor(Key);
      BM->Canvas()->FillRect(TRect{0, 0, Size.cx, Size.cy});
      return BM;
    };
    auto Glyph = [&](int Part, int State) {
      auto BM = Blank();
      RECT R{0, 0, Size.cx, Size.cy};
      DrawThemeBackground(Theme.Get(), BM->Canvas()->Handle(), Part, State, &R, nullptr);
      return BM;
    };
    auto CopyOf = [&](const std::unique_ptr<TBitmap>& Source) {
      auto BM = Blank();
      BitBlt(BM->Canvas()->Handle(), 0, 0, Size.cx, Size.cy, Source->Canvas()->Handle(), 0, 0, SRCCOPY);
      return BM;
    };
    if (OnPrepareButtonBitmaps) {
      std::unique_ptr<TBitmap>* Bitmaps[] = {&FPlusBM,  &FHotPlusBM,  &FSelectedHotPlusBM,
                                             &FMinusBM, &FHotMinusBM, &FSelectedHotMinusBM};
      for (auto* B : Bitmaps) *B = Blank();
      OnPrepareButtonBitmaps(this, FPlusBM.get(), FHotPlusBM.get(), FSelectedHotPlusBM.get(), FMinusBM.get(),
                             FHotMinusBM.get(), FSelectedHotMinusBM.get(), Size);
    } else if (Theme) {
      FPlusBM = Glyph(TVP_GLYPH, GLPS_CLOSED);
      FMinusBM = Glyph(TVP_GLYPH, GLPS_OPENED);
      if (HasState(tsUseExplorerTheme) && IsThemePartDefined(Theme.Get(), TVP_HOTGLYPH, 0)) {
        FHotPlusBM = Glyph(TVP_HOTGLYPH, HGLPS_CLOSED);
        FHotMinusBM = Glyph(TVP_HOTGLYPH, HGLPS_OPENED);
      } else {
        FHotPlusBM = CopyOf(FPlusBM);
        FHotMinusBM = CopyOf(FMinusBM);
      }
      FSelectedHotPlusBM = CopyOf(FHotPlusBM);
      FSelectedHotMinusBM = CopyOf(FHotMinusBM);
    } else {
      PrepareClassicButtons();
    }
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
  const TVTInternalPaintOptions Options{poBackground,    poColumnColor,  poDrawFocusRect,
                                        poDrawSelection, poDrawDropMark, poGridLines};
  TVTHeader& H = Header();
  const Integer Fixed = H.UseColumns() ? H.Columns().GetVisibleFixedWidth() : 0;
  // Right to left, columns narrower than the client area sit at its right.
  const Integer RTL = UseRightToLeftAlignment() && H.UseColumns() ? RightToLeftOffset(true) : 0;
  if (Fixed > 0) {
    TRect FixedArea{-RTL, Update.Top - OffsetY(), Fixed - RTL, Update.Bottom - OffsetY()};
    PaintTree(TargetCanvas, FixedArea, TPoint{0, Update.Top}, Options);
    if (ClientWidth() > Fixed) {
      TRect Rest{Fixed + EffectiveOffsetX() - RTL, Update.Top - OffsetY(), ClientWidth() + EffectiveOffsetX() - RTL,
                 Update.Bottom - OffsetY()};
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

void TVastTreeControl::EraseRowBackground(TVTPaintInfo& PaintInfo, const TRect& R, bool UseBackground, Integer RowTop) {
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
                 !BlendsSelection(C) && !HasState(tsUseExplorerTheme)) {
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
  // Under the mouse the hot picture, the selected-hot one on a selected row.
  const bool Hot = PaintInfo.Node == HotNode() && HotNodeButtonHit();
  const bool Selected = Hot && GetSelected(PaintInfo.Node);
  TBitmap* BM = Expanded ? (Selected ? FSelectedHotMinusBM
                            : Hot    ? FHotMinusBM
                                     : FMinusBM)
                               .get()
                         : (Selected ? FSelectedHotPlusBM
                            : Hot    ? FHotPlusBM
                                     : FPlusBM)
                               .get();
  if (!BM) return;
  const Integer X = PaintInfo.BidiMode == bdLeftToRight
                        ? PaintInfo.CellRect.Left + PaintInfo.Offsets[ofsToggleButton]
                        : PaintInfo.CellRect.Right - PaintInfo.Offsets[ofsToggleButton] - BM->Width();
  const Integer Y = PaintInfo.CellRect.Top + ButtonY;
  HDC DC = PaintInfo.Canvas->Handle();
  if (HasState(tsUseExplorerTheme) && !FVclStyleEnabled && FHandle) {
    // The explorer glyph straight onto the row, its soft edges over
    // whatever the cell shows.
    if (HTHEME Theme = static_cast<HTHEME>(TreeTheme(false))) {
      const bool HotGlyph = Hot && IsThemePartDefined(Theme, TVP_HOTGLYPH, 0);
      const int Part = HotGlyph ? TVP_HOTGLYPH : TVP_GLYPH;
      const int State = HotGlyph ? static_cast<int>(Expanded ? HGLPS_OPENED : HGLPS_CLOSED)
                                 : static_cast<int>(Expanded ? GLPS_OPENED : GLPS_CLOSED);
      RECT R{X, Y, X + BM->Width(), Y + BM->Height()};
      DrawThemeBackground(Theme, DC, Part, State, &R, nullptr);
      return;
    }
  }
  TransparentBlt(DC, X, Y, BM->Width(), BM->Height(), BM->Canvas()->Handle(), 0, 0, BM->Width(), BM->Height(),
                 static_cast<UINT>(RGBOf(BM->TransparentColor())));
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
  ImageList_DrawEx(Info.Images->Handle(), Info.Index, PaintInfo.Canvas->Handle(), Info.XPos, Info.YPos, 0, 0, CLR_NONE,
                   Blend ? BlendColor : CLR_DEFAULT, Style);
  if (Overlay.Index >= 0 && Overlay.Images)
    ImageList_DrawEx(Overlay.Images->Handle(), Overlay.Index, PaintInfo.Canvas->Handle(), Info.XPos, Info.YPos, 0, 0,
                     CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
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
  const bool InFocusedColumn = PaintInfo.Column == FocusedColumn() || (PaintInfo.Column < 0 && FocusedColumn() <= 0);
  const bool Marks =
      (InFocusedColumn || Sel.Contains(toFullRowSelect)) && PaintInfo.PaintOptions.Contains(poDrawSelection);
  const TRect MarkRect =
      (Misc.Contains(toGridExtensions) || Sel.Contains(toFullRowSelect)) ? PaintInfo.CellRect : Inner;
  const Integer Radius = static_cast<Integer>(SelectionCurveRadius());
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  // The explorer look: items drawn by the theme, over the whole row when
  // the row is selected as a whole.
  HTHEME Theme = nullptr;
  TRect FullRow;
  if (HasState(tsUseExplorerTheme) && FHandle) {
    Theme = static_cast<HTHEME>(TreeTheme(true));
    FullRow = TRect{0, PaintInfo.CellRect.Top, RangeX(), PaintInfo.CellRect.Bottom};
    if (!H.UseColumns() && Sel.Contains(toFullRowSelect)) FullRow.Right = std::max(FullRow.Right, ClientWidth());
    if (Paint.Contains(toShowVertGridLines)) --FullRow.Right;
  }
  auto DrawThemed = [&](int Part, int State, const TRect& R) {
    RECT Rc = ToRECT(R);
    DrawThemeBackground(Theme, C->Handle(), Part, State, &Rc, nullptr);
  };
  const bool HotItem = Theme && Paint.Contains(toHotTrack) && PaintInfo.Node == HotNode() &&
                       (PaintInfo.Column == HotColumn() || Sel.Contains(toFullRowSelect));
  if (Marks) {
    const bool DropTarget =
        PaintInfo.Node == DropTargetNode() && (LastDropMode() == dmOnNode || GetSelected(PaintInfo.Node));
    if (DropTarget || GetSelected(PaintInfo.Node)) {
      // A full-row selection was painted with the row's background already.
      const bool Blended = BlendsSelection(C);
      const bool AlreadyPainted = Sel.Contains(toFullRowSelect) && GetSelected(PaintInfo.Node) && !DropTarget &&
                                  !PaintInfo.PaintOptions.Contains(poColumnColor) && !Blended && !Theme;
      if (!AlreadyPainted && MarkRect.Width() > 0) {
        const TColor Fill = DropTarget ? Colors().DropTargetColor() : SelectionColor();
        C->Brush()->SetColor(Fill);
        C->Pen()->SetColor(DropTarget ? Colors().DropTargetBorderColor() : SelectionBorderColor());
        if (Theme) {
          // The hot item is left to the hot tracking below.
          if (DropTarget)
            DrawThemed(TVP_TREEITEM, TREIS_SELECTED, MarkRect);
          else if (!HotItem)
            DrawThemed(TVP_TREEITEM, TreeFocused() ? TREIS_SELECTED : TREIS_SELECTEDNOTFOCUS, MarkRect);
        } else if (Blended) {
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
  if (HotItem && MarkRect.Width() > 0)
    DrawThemed(TVP_TREEITEM,
               GetSelected(PaintInfo.Node) && !Paint.Contains(toAlwaysHideSelection) ? TREIS_HOTSELECTED : TREIS_HOT,
               MarkRect);
  const bool FullRowFocus =
      Sel.Contains(toFullRowSelect) && Theme && (!Sel.Contains(toExtendedFocus) || IsWindowsSixOrLater());
  if (PaintInfo.PaintOptions.Contains(poDrawFocusRect) && (TreeFocused() || Paint.Contains(toPopupMode)) &&
      PaintInfo.Node == FocusedNode() && (InFocusedColumn || FullRowFocus)) {
    TRect R = Theme && Sel.Contains(toFullRowSelect) && !Sel.Contains(toExtendedFocus) ? FullRow
              : Misc.Contains(toGridExtensions)                                        ? PaintInfo.CellRect
                                                                                       : Inner;
    if (Theme) R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    HDC DC = C->Handle();
    if (Theme && IsWindowsSixOrLater()) {
      if (GetSelected(PaintInfo.Node)) {
        DrawThemed(TVP_TREEITEM, TREIS_HOTSELECTED, R);
        return;
      }
      // Explorer lists frame their focused item; where the theme has no
      // such item the dotted rectangle stands in.
      TThemeHandle Items(OpenThemeData(FHandle, L"Explorer::ItemsView"));
      if (Items && IsThemePartDefined(Items.Get(), LVP_LISTITEM, 0)) {
        RECT Rc = ToRECT(R);
        DrawThemeBackground(Items.Get(), DC, LVP_LISTITEM, LISS_SELECTEDNOTFOCUS, &Rc, nullptr);
        return;
      }
    }
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
  DrawTextW(DC, WideCStr(Text), static_cast<int>(Text.size()), &R, DT_EXPANDTABS | DT_LEFT | DT_NOCLIP | DT_WORDBREAK);
}

void TVastTreeControl::PaintTree(TCanvas* TargetCanvas, const TRect& Window, const TPoint& Target,
                                 TVTInternalPaintOptions PaintOptions) {
  if (HasState(tsPainting)) return;
  DoStateChange({tsPainting});
  const TScopeExit Leave([this] { DoStateChange({}, {tsPainting}); });
  DoBeforePaint(TargetCanvas);

  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  if (Paint.Contains(toAlwaysHideSelection) || (!TreeFocused() && Paint.Contains(toHideSelection)))
    PaintOptions.Exclude(poDrawSelection);
  if (Paint.Contains(toHideFocusRect)) PaintOptions.Exclude(poDrawFocusRect);

  const Integer MaxWidth = Window.Width();
  if (MaxWidth <= 0 || Window.Height() <= 0) return;
  const Integer RowWidth = std::max(ClientWidth(), RangeX());
  TRowTarget Rows(TargetCanvas, Window, Target, PaintOptions.Contains(poUnbuffered), FRowBuffer);
  // The band shows only while the left button is really held for it.
  const bool Band =
      HasState(tsDrawSelecting) && NewSelRect().Width() != 0 && NewSelRect().Height() != 0 && LeftButtonDown();
  const bool UseBackground = UsesBackground(PaintOptions);
  Integer NodeTop = 0;
  PVastNode Node = GetNodeAt(0, Window.Top, false, NodeTop);
  if (!Node) NodeTop = Window.Top;
  Integer TargetY = Target.Y + NodeTop - Window.Top;
  const Integer MaximumBottom = Target.Y + Window.Height();
  TLineImage LineImage;
  const TRowPaint Pass{PaintOptions, Window, RowWidth, UseBackground};

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
    TCanvas* Canvas = Rows.BeginRow(TargetY, RowHeight, NodeTop);
    Canvas->SetFont(Font());
    PaintRow(Pass, Canvas, Node, LineImage, NodeTop);
    if (Band) {
      // The band in the row's coordinates: tree coordinates less the row top.
      const TRect& S = NewSelRect();
      PaintRubberBand(Canvas, TRect{Window.Left, 0, Window.Right, RowHeight},
                      TRect{S.Left, S.Top - NodeTop, S.Right, S.Bottom - NodeTop});
    }
    Rows.EndRow(Canvas, TargetY, RowHeight);
    TargetY += RowHeight;
    NodeTop += RowHeight;
    Node = GetNextVisible(Node, true);
  }

  if (TargetY < MaximumBottom) {
    // The empty area below the last row.
    const Integer Height = MaximumBottom - TargetY;
    std::unique_ptr<TBitmap> Rest;
    TCanvas* C;
    if (Rows.Unbuffered) {
      C = Rows.BeginRow(TargetY, Height, NodeTop);
    } else {
      Rest = std::make_unique<TBitmap>(MaxWidth, Height);
      Rest->SetPixelFormat(pf32bit);
      C = Rest->Canvas();
      SetWindowOrgEx(C->Handle(), Window.Left, 0, nullptr);
    }
    const TRect Area{Window.Left, 0, Window.Right, Height};
    PaintEmptyArea(Pass, C, Area, NodeTop);
    if (Band) {
      const TRect& S = NewSelRect();
      PaintRubberBand(C, Area, TRect{S.Left, S.Top - NodeTop, S.Right, S.Bottom - NodeTop});
    }
    Rows.EndRow(C, TargetY, Height);
  }
  Rows.Restore();
  PaintEmptyListMessage(TargetCanvas, Window, Target);
  DoAfterPaint(TargetCanvas);
}

void TVastTreeControl::PaintRow(const TRowPaint& Pass, TCanvas* Canvas, PVastNode Node, const TLineImage& LineImage,
                                Integer NodeTop) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const bool UseColumns = H.UseColumns();
  const TColumnIndex Main = H.MainColumn();
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  const TVTSelectionOptions Sel = TreeOptions().SelectionOptions();
  const TVTInternalPaintOptions PaintOptions = Pass.PaintOptions;
  const TRect& Window = Pass.Window;
  const Integer RowHeight = static_cast<Integer>(Node->NodeHeight);
  TVTPaintInfo PaintInfo;
  PaintInfo.Canvas = Canvas;
  PaintInfo.Node = Node;
  PaintInfo.PaintOptions = PaintOptions;
  const TRect Row{0, 0, Pass.RowWidth, RowHeight};
  if (DoBeforeItemPaint(Canvas, Node, Row)) return;
  EraseRowBackground(PaintInfo, TRect{Window.Left, 0, Window.Right, RowHeight}, Pass.UseBackground, NodeTop);
  TColumnIndex Column = NoColumn;
  TColumnPosition Position = 0;
  TRect Cell = Row;
  // Goes on to column C: its cell (unscrolled) and display position.
  auto MoveTo = [&](TColumnIndex C) {
    Column = C;
    Integer L, R;
    Cols[Column].UnscrolledBounds(L, R);
    Cell = TRect{L, 0, R, RowHeight};
    Position = Cols[Column].Position();
  };
  if (UseColumns) {
    // The first visible column, by display position.
    Column = Cols.GetFirstVisibleColumn();
    if (Column >= 0) MoveTo(Column);
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
      MoveTo(Next);
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
    if (!UseColumns || (GetSelected(Node) && Sel.Contains(toFullRowSelect) && PaintOptions.Contains(poDrawSelection)) ||
        (Column >= 0 && Cols[Column].Options().Contains(coParentColor)) ||
        (Column >= 0 && Cols[Column].Options().Contains(coStyleColor) && FVclStyleEnabled))
      PaintInfo.PaintOptions.Exclude(poColumnColor);
    if (Cell.Right > Window.Left) PaintCell(Pass, PaintInfo, LineImage, IsMain, Edited);
    if (!UseColumns || Next < 0) break;
    MoveTo(Next);
  }
  DoAfterItemPaint(Canvas, Node, Row);
  if (Node == DropTargetNode() && Paint.Contains(toShowDropmark) && PaintOptions.Contains(poDrawDropMark))
    DoPaintDropMark(Canvas, Node, Row);
}

void TVastTreeControl::PaintCell(const TRowPaint& Pass, TVTPaintInfo& PaintInfo, const TLineImage& LineImage,
                                 bool IsMain, bool Edited) {
  const PVastNode Node = PaintInfo.Node;
  const TColumnIndex Column = PaintInfo.Column;
  TCanvas* Canvas = PaintInfo.Canvas;
  HDC RowDC = Canvas->Handle();
  const TRect Cell = PaintInfo.CellRect;
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  GetOffsets(Node, PaintInfo.Offsets, ofsText, Column);
  PaintInfo.NodeWidth = DoGetNodeWidth(Node, Column, Canvas);
  for (TVTImageInfo& Info : PaintInfo.ImageInfo) Info = TVTImageInfo{};
  FetchImageIndex(PaintInfo, ikState, iiState);
  FetchImageIndex(PaintInfo, GetSelected(Node) ? ikSelected : ikNormal, iiNormal);
  Integer ButtonY = 0;
  ComputeVAlign(PaintInfo, ButtonY);
  ComputeContentLayout(PaintInfo);
  TSavedDC Saved(RowDC);
  if (Header().UseColumns()) IntersectClipRect(RowDC, Cell.Left, 0, Cell.Right, Cell.Bottom);
  PaintCellGridLines(Pass, PaintInfo, LineImage, IsMain);
  PaintCellBackground(PaintInfo);
  if (IsMain) {
    if (Paint.Contains(toShowTreeLines)) PaintLineImages(PaintInfo, LineImage);
    const bool ShowButton =
        Paint.Contains(toShowButtons) && Node->States.Contains(vsHasChildren) &&
        !(Node->States.Contains(vsAllChildrenHidden) && TreeOptions().AutoOptions().Contains(toAutoHideButtons)) &&
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

void TVastTreeControl::PaintCellGridLines(const TRowPaint& Pass, TVTPaintInfo& PaintInfo, const TLineImage& LineImage,
                                          bool IsMain) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const bool UseColumns = H.UseColumns();
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  const TVTSelectionOptions Sel = TreeOptions().SelectionOptions();
  const TVTInternalPaintOptions PaintOptions = Pass.PaintOptions;
  const PVastNode Node = PaintInfo.Node;
  const TColumnIndex Column = PaintInfo.Column;
  const TRect Cell = PaintInfo.CellRect;
  const bool RTL = ColumnRightToLeft(Column);
  HDC RowDC = PaintInfo.Canvas->Handle();
  if (PaintOptions.Contains(poGridLines) && Paint.Contains(toShowHorzGridLines)) {
    Integer Start = PaintInfo.CellRect.Left, End = PaintInfo.CellRect.Right - 1;
    if (IsMain && LineMode() == lmBands) {
      // Bands: the line starts after the indentation (at the other
      // end right to left).
      const Integer Indentation =
          static_cast<Integer>(Indent()) * (Paint.Contains(toFixedIndent) ? 1 : static_cast<Integer>(LineImage.size()));
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
                              Sel.Contains(toFullRowSelect) && !BlendsSelection(PaintInfo.Canvas) &&
                              !HasState(tsUseExplorerTheme);
      SetTextColor(RowDC, static_cast<COLORREF>(RGBOf(Colors().GridLineColor())));
      DrawDottedVerticalLine(PaintInfo, PaintInfo.CellRect.Top, PaintInfo.CellRect.Bottom - 1,
                             PaintInfo.CellRect.Right - 1, SelectedBk);
    }
    --PaintInfo.CellRect.Right;
    --PaintInfo.ContentRect.Right;
  }
}

void TVastTreeControl::PaintEmptyArea(const TRowPaint& Pass, TCanvas* C, const TRect& Area, Integer NodeTop) {
  TVTHeader& H = Header();
  TVastTreeColumns& Cols = H.Columns();
  const TVTPaintOptions Paint = TreeOptions().PaintOptions();
  const TVTInternalPaintOptions PaintOptions = Pass.PaintOptions;
  const TRect& Window = Pass.Window;
  const Integer Height = Area.Height();
  HDC DC = C->Handle();
  if (DoPaintBackground(C, Area)) {
  } else if (Pass.UseBackground) {
    PaintBackgroundPicture(C, Area, NodeTop);
  } else {
    C->Brush()->SetColor(TControl::Color());
    C->FillRect(Area);
    if (H.UseColumns()) {
      for (TColumnIndex Column = Cols.GetFirstVisibleColumn(); Column >= 0;
           Column = Cols.GetNextVisibleColumn(Column)) {
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
    const bool DropTarget =
        PaintInfo.Node == DropTargetNode() && (LastDropMode() == dmOnNode || GetSelected(PaintInfo.Node));
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
  FFontChanged = false;
  {
    HookCanvasFontChange(C);
    const TScopeExit Unhook([&] { UnhookCanvasFontChange(C); });
    DoPaintText(PaintInfo.Node, C, ttNormal, PaintInfo.Column);
  }
  HDC DC = C->Handle();
  // Select the prepared font and colour into the DC.
  C->TextExtent(u"x");
  if (FFontChanged) {
    // The handler changed the font: the text is as wide as it is now.
    PaintInfo.NodeWidth = 2 * TextMargin() + C->TextWidth(Text);
  }
  SetTextColor(DC, static_cast<COLORREF>(RGBOf(C->Font()->Color())));
  SetBkMode(DC, TRANSPARENT);
  String Shown = Text;
  UINT Format;
  if (GetMultiline(PaintInfo.Node)) {
    Format = DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS;
    // Measured at the width it is drawn in, so the centring matches the wrap.
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

Integer TVastStringTree::ComputeNodeHeight(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& S) {
  const String Text = S.empty() ? TCustomVastStringTree::GetText(Node, Column) : S;
  TVTHeader& H = Header();
  const bool ColumnOwn = Column >= 0 && H.Columns().IsValidColumn(Column);
  // A single line's height does not depend on its vertical centring, which
  // is left out: measured centred, some DrawTextW implementations count from
  // the middle of the empty rectangle.
  UINT Format = GetMultiline(Node) ? DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL : DT_NOPREFIX | DT_SINGLELINE;
  Format |= DT_CALCRECT;
  if ((ColumnOwn ? H.Columns()[Column].BiDiMode() : BiDiMode()) != bdLeftToRight) Format |= DT_RIGHT | DT_RTLREADING;
  RECT R{0, 0, 0, 0};
  if (!ColumnOwn) {
    R.right = ClientWidth();
  } else {
    TVTOffsets Offsets{};
    GetOffsets(Node, Offsets, ofsEndOfClientArea, Column);
    R.left = Offsets[ofsLabel];
    R.right = H.Columns()[Column].Width() - 2 * TextMargin();
  }
  HDC DC = Canvas->Handle();
  DrawTextW(DC, WideCStr(Text), static_cast<int>(Text.size()), &R, Format);
  return R.bottom - R.top;
}

String TVastStringTree::DoShortenString(TCanvas* Canvas, PVastNode Node, TColumnIndex Column, const String& S,
                                        Integer Width) {
  bool Done = false;
  String Result;
  if (OnShortenString) OnShortenString(this, Canvas, Node, Column, S, Width, Result, Done);
  if (Done) return Result;
  return ShortenTextWithEllipsis(Canvas->Handle(), S, Width, 0);
}

void TVastStringTree::DoDrawText(TVTPaintInfo& PaintInfo, const String& Text, const TRect& CellRect, UINT DrawFormat) {
  bool DefaultDraw = true;
  if (OnDrawText) OnDrawText(this, PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, CellRect, DefaultDraw);
  if (!DefaultDraw) return;
  RECT Rc = ToRECT(CellRect);
  DrawTextW(PaintInfo.Canvas->Handle(), WideCStr(Text), static_cast<int>(Text.size()), &Rc, DrawFormat);
}

void TVastStringTree::DrawStaticText(TVTPaintInfo& PaintInfo, TAlignment Alignment, const String& Text) {
  TCanvas* C = PaintInfo.Canvas;
  C->SetFont(Font());
  C->Font()->SetColor(Font()->Color());
  DoPaintText(PaintInfo.Node, C, ttStatic, PaintInfo.Column);
  HDC DC = C->Handle();
  C->TextExtent(u"");
  SetTextColor(
      DC, static_cast<COLORREF>(RGBOf(GetDisabled(PaintInfo.Node) ? Colors().DisabledColor() : C->Font()->Color())));
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
  DrawTextW(DC, WideCStr(Text), static_cast<int>(Text.size()), &Rc, Format);
}
