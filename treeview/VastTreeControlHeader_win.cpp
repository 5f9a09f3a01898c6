// The painting of the tree's header: the heads with their captions,
// pictures, check boxes and sort arrows, the strip behind them, and
// the font the header keeps.
#include "treeview/VastTreeControl_win.h"

#include <commctrl.h>

#include <algorithm>

namespace {

TColor RGBOf(TColor C) { return ColorToRGB(C); }

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

}  // namespace

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
  if (RTL)
    Alignment = Alignment == taLeftJustify ? taRightJustify : (Alignment == taRightJustify ? taLeftJustify : taCenter);
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
      GetTextExtentPoint32W(DC, WideCStr(Column.Text()), static_cast<int>(Column.Text().size()), &Size);
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
    GetTextExtentPoint32W(DC, WideCStr(Caption), static_cast<int>(Caption.size()), &Size);
    if (Size.cx > TextRect.Width()) Caption = ShortenTextWithEllipsis(DC, Caption, TextRect.Width(), 0);
  }
  SetBkMode(DC, TRANSPARENT);
  RECT TR = ToRECT(TextRect);
  const auto* Text = WideCStr(Caption);
  const int Length = static_cast<int>(Caption.size());
  if (Enabled) {
    SetTextColor(
        DC, static_cast<COLORREF>(RGBOf(Hot ? Colors().HeaderHotColor() : static_cast<TColor>(Header().Font().Color))));
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
  Info.IsHoverIndex =
      Cols.HoverIndex() == I && Hd.Options().Contains(hoHotTrack) && Column.Options().Contains(coEnabled);
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
    if (!Info.ShowSortGlyph || Column.UseRightToLeftReading() || Info.SortGlyphPos.X >= Info.GlyphPos.X + ImagesWidth) {
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
      Column.SetImagePainted(true,
                             TRect{Painted.Left - FHeaderCanvasOrigin.X, Painted.Top - FHeaderCanvasOrigin.Y,
                                   Painted.Right - FHeaderCanvasOrigin.X, Painted.Bottom - FHeaderCanvasOrigin.Y});
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

Integer TVastTreeControl::HeaderTextHeight(const String& Text) {
  TBitmap Measure(1, 1);
  TFont HeaderFont;
  AssignHeaderFont(HeaderFont, Header().Font());
  Measure.Canvas()->SetFont(&HeaderFont);
  return Measure.Canvas()->TextHeight(Text);
}

void TVastTreeControl::BeginHeaderPaint(THeaderPaintInfo& Info, TCanvas* Canvas, TFont& HeaderFont, UINT& NormalEdge,
                                        UINT& NormalFlags) {
  TVTHeader& Hd = Header();
  Info.TargetCanvas = Canvas;
  AssignHeaderFont(HeaderFont, Hd.Font());
  HeaderFont.SetQuality(FHeaderFontQuality);
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
