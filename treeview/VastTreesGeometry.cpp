// Geometry, scrolling and hit testing: scroll ranges and offsets, the
// rectangles and element offsets of rows, hit positions, scrolling a node
// or a column into view, the widest cell of a column, the tree lines of a
// row, image sizes, and the scroll-bar options and colours. Everything here
// works in numbers; the window only supplies its client size, its scroll
// bars and the moving of pixels.
#include <algorithm>
#include <limits>

#include "rtl/ScopeExit.h"
#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

namespace {

Integer MulDiv(Integer Number, Integer Numerator, Integer Denominator) {
  if (Denominator == 0) return -1;
  const long long Product = static_cast<long long>(Number) * Numerator;
  // Rounded half away from zero, as the platform's MulDiv does for pixels.
  const long long Half = (Denominator > 0 ? Denominator : -Denominator) / 2;
  const long long Result = Product >= 0 ? (Product + Half) / Denominator : (Product - Half) / Denominator;
  return static_cast<Integer>(Result);
}

TAlignment Mirrored(TAlignment A) {
  if (A == taLeftJustify) return taRightJustify;
  if (A == taRightJustify) return taLeftJustify;
  return A;
}

}  // namespace

// ---------------------------------------------------------------------------
// Scroll-bar options and colours

void TScrollBarOptions::SetAlwaysVisible(bool Value) {
  if (Value == FAlwaysVisible) return;
  FAlwaysVisible = Value;
  if (!FOwner->Loading() && FOwner->Host().HasWindow()) FOwner->RecreateWindow();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  if (!FOwner->Loading() && FOwner->Host().HasWindow()) FOwner->RecreateWindow();
}

void TScrollBarOptions::Assign(const TScrollBarOptions& Source) {
  SetAlwaysVisible(Source.FAlwaysVisible);
  FIncrementX = Source.FIncrementX;
  SetScrollBars(Source.FScrollBars);
  SetScrollBarStyle(Source.FScrollBarStyle);
  FIncrementY = Source.FIncrementY;
}

TVTColors::TVTColors(TBaseVastTree* AOwner)
    : FOwner(AOwner), FColors{clBtnShadow,       clHighlight,          clHighlight, clHighlight,  clBtnFace,
                              clBtnShadow,       clInactiveCaption,    clBtnFace,   clWindowText, clHighlight,
                              clInactiveCaption, clHighlight,          clHighlight, clHighlight,  clBtnShadow,
                              clHighlightText,   clInactiveCaptionText} {}

void TVTColors::Set(TIndex Index, TColor Value) {
  if (FColors[Index] == Value) return;
  FColors[Index] = Value;
  if (FOwner->Loading() || !FOwner->Host().HasWindow()) return;
  if (Index == TreeLineIndex) FOwner->PrepareButtonImages(true, false);
  FOwner->Invalidate();
}

void TVTColors::Assign(const TVTColors& Source) {
  FColors = Source.FColors;
  if (FOwner->UpdateCount() == 0) FOwner->Invalidate();
}

// ---------------------------------------------------------------------------
// Appearance properties

void TBaseVastTree::SetBiDiMode(TBiDiMode Value) {
  if (Value == FBiDiMode) return;
  FBiDiMode = Value;
  FEffectiveOffsetX = std::max(0, UseRightToLeftAlignment() ? FRangeX + FOffsetX - ClientWidth() : -FOffsetX);
  if (TVTHeader* H = HeaderObject()) {
    for (Integer I = 0; I < H->Columns().Count(); ++I) H->Columns()[I].ParentBiDiModeChanged(Value);
    if (FOptions->AutoOptions().Contains(toAutoBidiColumnOrdering))
      H->Columns().SetRightToLeftOrder(UseRightToLeftAlignment());
  }
  Invalidate();
}

void TBaseVastTree::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  if (!Loading()) Invalidate();
}

void TBaseVastTree::SetLineStyle(TVTLineStyle Value) {
  if (Value == FLineStyle) return;
  FLineStyle = Value;
  if (Loading()) return;
  PrepareButtonImages(false, true);
  Invalidate();
}

void TBaseVastTree::SetLineMode(TVTLineMode Value) {
  if (Value == FLineMode) return;
  FLineMode = Value;
  if (!Loading()) Invalidate();
}

void TBaseVastTree::SetButtonStyle(TVTButtonStyle Value) {
  if (Value == FButtonStyle) return;
  FButtonStyle = Value;
  if (Loading()) return;
  PrepareButtonImages(true, false);
  Invalidate();
}

void TBaseVastTree::SetButtonFillMode(TVTButtonFillMode Value) {
  if (Value == FButtonFillMode) return;
  FButtonFillMode = Value;
  if (Loading()) return;
  PrepareButtonImages(true, false);
  Invalidate();
}

void TBaseVastTree::SetNodeAlignment(TVTNodeAlignment Value) {
  if (Value == FNodeAlignment) return;
  FNodeAlignment = Value;
  if (!Loading()) Invalidate();
}

void TBaseVastTree::SetSelectionCurveRadius(Cardinal Value) {
  if (Value == FSelectionCurveRadius) return;
  FSelectionCurveRadius = Value;
  if (!Loading()) Invalidate();
}

Integer TBaseVastTree::ScaledPixels(Integer Pixels) const { return MulDiv(Pixels, FHost->PixelsPerInch(), 96); }

Integer TBaseVastTree::RightToLeftOffset(bool ExcludeScrollBar) {
  // The header strip spans the client area and a vertical bar beside it.
  const bool Bar = ClientHeight() < FRangeY && FScrollBarOptions->AllowsVertical();
  const Integer BarWidth = Bar ? FHost->ScrollBarSize(true) : 0;
  const Integer StripWidth = ClientWidth() + BarWidth;
  Integer Result = BarWidth;
  if (StripWidth >= BarWidth + FRangeX) Result = StripWidth - FRangeX;
  if (ExcludeScrollBar) Result -= BarWidth;
  return Result;
}

TAlignment TBaseVastTree::ColumnAlignment(TColumnIndex Column) const {
  TVTHeader* H = HeaderObject();
  if (H && Column >= 0 && H->Columns().IsValidColumn(Column)) return H->Columns()[Column].Alignment();
  return FAlignment;
}

bool TBaseVastTree::ColumnRightToLeft(TColumnIndex Column) const {
  TVTHeader* H = HeaderObject();
  if (H && Column >= 0 && H->Columns().IsValidColumn(Column)) return H->Columns()[Column].UseRightToLeftReading();
  return UseRightToLeftReading();
}

Integer TBaseVastTree::HeaderTextHeight(const String& Text) { return FHost ? FHost->TextHeight(Text) : 0; }

Integer TBaseVastTree::ColumnCaptionWidth(TColumnIndex Column) {
  TVTHeader* H = HeaderObject();
  if (!H || !H->Columns().IsValidColumn(Column)) return 0;
  const String& Text = H->Columns()[Column].Text();
  return Text.empty() ? 0 : FHost->TextWidth(Text) + 2;
}

void TBaseVastTree::ChangeScale(Integer M, Integer D) {
  if (M == D || D == 0 || !FOptions->AutoOptions().Contains(toAutoChangeScale)) return;
  if (TVTHeader* H = HeaderObject()) H->ScaleHeader(M, D);
  SetDefaultNodeHeight(static_cast<Cardinal>(MulDiv(static_cast<Integer>(FDefaultNodeHeight), M, D)));
  SetIndent(static_cast<Cardinal>(MulDiv(static_cast<Integer>(FIndent), M, D)));
  FTextMargin = MulDiv(FTextMargin, M, D);
  FMargin = MulDiv(FMargin, M, D);
  FImagesMargin = MulDiv(FImagesMargin, M, D);
  TUpdateGuard Update(*this);
  // Every node through SetNodeHeight, initialised or not, so that the
  // subtree totals stay in step with the rows.
  for (PVastNode Node = GetFirstNoInit(); Node; Node = GetNextNoInit(Node))
    SetNodeHeight(Node, static_cast<Cardinal>(MulDiv(static_cast<Integer>(Node->NodeHeight), M, D)));
}

// ---------------------------------------------------------------------------
// Offsets and ranges

void TBaseVastTree::SetOffsetX(Integer Value) { DoSetOffset(TPoint{Value, FOffsetY}); }

void TBaseVastTree::SetOffsetY(Integer Value) { DoSetOffset(TPoint{FOffsetX, Value}); }

void TBaseVastTree::SetOffsetXY(Integer X, Integer Y) { DoSetOffset(TPoint{X, Y}); }

bool TBaseVastTree::DoSetOffset(TPoint Value, Cardinal Options) {
  return DoSetOffset(Value, Options, TRect{0, 0, ClientWidth(), ClientHeight()});
}

bool TBaseVastTree::DoSetOffset(TPoint Value, Cardinal Options, const TRect& ClipRect) {
  const Integer CW = ClientWidth(), CH = ClientHeight();
  Value.X = std::min(0, std::max(Value.X, CW - FRangeX));
  Value.Y = std::min(0, std::max(Value.Y, CH - FRangeY));
  Integer DX = Value.X - FOffsetX;
  if (UseRightToLeftAlignment()) DX = -DX;
  const Integer DY = Value.Y - FOffsetY;
  if (DX == 0 && DY == 0) return false;
  FOffsetX = Value.X;
  FOffsetY = Value.Y;
  FEffectiveOffsetX = std::max(0, UseRightToLeftAlignment() ? FRangeX + FOffsetX - CW : -FOffsetX);

  if (FUpdateCount == 0 && FHost->HasWindow()) {
    if ((Options & suoScrollClientArea) && !HasState(tsToggling)) {
      if (FOptions->PaintOptions().Contains(toShowBackground)) {
        FHost->InvalidateAll();
      } else {
        TVTHeader* H = HeaderObject();
        const Integer Fixed = H && H->UseColumns() ? H->Columns().GetVisibleFixedWidth() : 0;
        if (Fixed > 0 && DX != 0) {
          // Fixed columns stay put: only the part right of them moves sideways.
          TRect Scrolling = ClipRect;
          Scrolling.Left = std::max(Scrolling.Left, Fixed);
          FHost->ScrollClient(DX, 0, Scrolling);
          if (DY != 0) FHost->ScrollClient(0, DY, ClipRect);
        } else {
          FHost->ScrollClient(DX, DY, ClipRect);
        }
      }
    }
    if (Options & suoUpdateNCArea) {
      const bool Repaint = (Options & suoRepaintScrollBars) != 0;
      if (DX != 0) {
        UpdateHorizontalScrollBar(Repaint);
        if (Options & suoRepaintHeader) RepaintHeader();
        if (!HasState(tsSizing) && FScrollBarOptions->AllowsHorizontal()) UpdateVerticalScrollBar(Repaint);
      }
      if (DY != 0 && !HasState(tsSizing) && !HasState(tsThumbTracking)) {
        UpdateVerticalScrollBar(Repaint);
        if (!FHeader->UseColumns() && !HasState(tsDrawSelecting) && FScrollBarOptions->AllowsHorizontal())
          UpdateHorizontalScrollBar(Repaint);
      }
    }
  }
  // A running editor moves with its cell.
  if (HasState(tsEditing)) UpdateEditBounds();
  DoScroll(DX, DY);
  return true;
}

void TBaseVastTree::UpdateRanges() {
  UpdateVerticalRange();
  UpdateHorizontalRange();
}

void TBaseVastTree::UpdateHorizontalRange() {
  if (FHeader->UseColumns()) {
    if (TVTHeader* H = HeaderObject()) {
      FRangeX = H->Columns().TotalWidth();
      return;
    }
  }
  FRangeX = static_cast<Integer>(MaxRightExtent());
}

Cardinal TBaseVastTree::MaxRightExtent() {
  Cardinal Result = 0;
  Integer Top = 0;
  PVastNode Node = GetNodeAt(0, 0, true, Top);
  const Integer Bottom = ClientHeight();
  TVTOffsets Offsets;
  while (Node && Top < Bottom) {
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    GetOffsets(Node, Offsets, ofsRightOfText, NoColumn);
    Result = std::max<Cardinal>(Result, static_cast<Cardinal>(std::max(0, Offsets[ofsRightOfText])));
    Top += static_cast<Integer>(GetNodeHeight(Node));
    Node = GetNextVisible(Node, true);
  }
  return Result;
}

void TBaseVastTree::UpdateScrollBars(bool DoRepaint) {
  UpdateVerticalRange();
  if (FUpdateCount > 0 || !FHost->HasWindow()) return;
  UpdateVerticalScrollBar(DoRepaint);
  UpdateHorizontalScrollBar(DoRepaint);
  // Lets the window tell whoever draws its bars that they changed.
  FHost->ScrollBarsUpdated(DoRepaint);
}

void TBaseVastTree::UpdateVerticalScrollBar(bool DoRepaint) {
  UpdateVerticalRange();
  if (FUpdateCount > 0 || !FHost->HasWindow()) return;
  const Integer CH = ClientHeight();
  if (!FScrollBarOptions->AllowsVertical()) {
    FHost->SetScrollBar(true, sbsHidden, 0, 0, 0, DoRepaint);
    DoShowScrollBar(1, false);
    SetOffsetY(FOffsetY);
    return;
  }
  Integer Position;
  if (CH < FRangeY || FScrollBarOptions->AlwaysVisible()) {
    DoShowScrollBar(1, true);
    Position = FHost->SetScrollBar(true, CH < FRangeY ? sbsShown : sbsDisabled, FRangeY, CH + 1, -FOffsetY, DoRepaint);
  } else {
    DoShowScrollBar(1, false);
    Position = FHost->SetScrollBar(true, sbsHidden, 0, 0, 0, DoRepaint);
  }
  SetOffsetY(-Position);
}

void TBaseVastTree::UpdateHorizontalScrollBar(bool DoRepaint) {
  UpdateHorizontalRange();
  if (FUpdateCount > 0 || !FHost->HasWindow()) return;
  const Integer CW = ClientWidth();
  const bool RTL = UseRightToLeftAlignment();
  FEffectiveOffsetX = std::max(0, RTL ? FRangeX + FOffsetX - CW : -FOffsetX);
  if (FScrollBarOptions->AllowsHorizontal()) {
    Integer Position;
    if (CW < FRangeX || FScrollBarOptions->AlwaysVisible()) {
      DoShowScrollBar(0, true);
      Position = FHost->SetScrollBar(false, CW < FRangeX ? sbsShown : sbsDisabled, FRangeX, CW + 1, FEffectiveOffsetX,
                                     DoRepaint);
    } else {
      DoShowScrollBar(0, false);
      Position = FHost->SetScrollBar(false, sbsHidden, 0, 0, 0, DoRepaint);
    }
    FEffectiveOffsetX = Position;
    SetOffsetX(RTL ? CW + Position - FRangeX : -Position);
  } else {
    FHost->SetScrollBar(false, sbsHidden, 0, 0, 0, DoRepaint);
    DoShowScrollBar(0, false);
    SetOffsetX(FOffsetX);
  }
}

// ---------------------------------------------------------------------------
// Rows and their parts

TRect TBaseVastTree::GetTreeRect() const {
  return TRect{0, 0, std::max(FHost->ClientWidth(), FRangeX), std::max(FHost->ClientHeight(), FRangeY)};
}

PVastNode TBaseVastTree::GetNodeAt(Integer X, Integer Y) {
  Integer Top;
  return GetNodeAt(X, Y, true, Top);
}

TSize TBaseVastTree::ImageSize(PVastNode Node, TVTImageKind Kind, TColumnIndex Column, bool IncludePadding) {
  if (!Node || Node == FRoot) return TSize{};
  if (!Node->States.Contains(vsInitialized)) InitNode(Node);
  bool Ghosted = false;
  TImageIndex Index = -1;
  TCustomImageList* List = DoGetImageIndex(Node, Kind, Column, Ghosted, Index);
  if (!List || Index < 0) return TSize{};
  TSize Size = FHost->ImageListSize(List);
  if (IncludePadding) Size.cx += ScaledPixels(2);
  return Size;
}

bool TBaseVastTree::CellHasImage(PVastNode Node, TVTImageKind Kind, TColumnIndex Column) {
  if (!Node || Node == FRoot) return false;
  if (!Node->States.Contains(vsInitialized)) InitNode(Node);
  bool Ghosted = false;
  TImageIndex Index = -1;
  DoGetImageIndex(Node, Kind, Column, Ghosted, Index);
  return Index >= 0;
}

void TBaseVastTree::GetOffsets(PVastNode Node, TVTOffsets& Offsets, TVTElement Element, TColumnIndex Column) {
  Offsets.fill(0);
  const TColumnIndex Main = FHeader->MainColumn();
  const bool IsMain = Column < 0 || Column == Main;
  const TVTPaintOptions Paint = FOptions->PaintOptions();
  Offsets[ofsMargin] = FMargin;
  if (Element == ofsMargin) return;

  Integer CheckBox = FMargin + FImagesMargin;
  if (IsMain) {
    const Cardinal Level =
        Paint.Contains(toFixedIndent) ? 1 : GetNodeLevel(Node) + (Paint.Contains(toShowRoot) ? 1 : 0);
    CheckBox += static_cast<Integer>(FIndent * Level);
    const Integer ButtonWidth = ButtonSize().cx;
    Offsets[ofsToggleButton] =
        CheckBox - FImagesMargin - (static_cast<Integer>(FIndent) - ButtonWidth) / 2 - ButtonWidth + 1;
  }
  Offsets[ofsCheckBox] = CheckBox;
  if (Element <= ofsCheckBox) return;

  Offsets[ofsStateImage] = CheckBox;
  if (IsMain && FOptions->MiscOptions().Contains(toCheckSupport) && CheckImageWidth() > 0 && Node->CheckType != ctNone)
    Offsets[ofsStateImage] += CheckImageWidth() + FImagesMargin;
  if (Element == ofsStateImage) return;
  Offsets[ofsImage] = Offsets[ofsStateImage] + ImageSize(Node, ikState, Column, true).cx;
  if (Element == ofsImage) return;
  Offsets[ofsLabel] = Offsets[ofsImage] + ImageSize(Node, ikNormal, Column, true).cx;
  if (Element == ofsLabel) return;
  Offsets[ofsText] = Offsets[ofsLabel] + FTextMargin - 1;
  if (Element == ofsText) return;
  Offsets[ofsRightOfText] = Offsets[ofsText] + DoGetNodeWidth(Node, Column) + DoGetNodeExtraWidth(Node, Column);
  if (Element == ofsRightOfText) return;
  Offsets[ofsEndOfClientArea] = std::max(FRangeX, ClientWidth()) - FTextMargin;
}

Integer TBaseVastTree::GetOffset(TVTElement Element, PVastNode Node) {
  TVTOffsets Offsets;
  GetOffsets(Node, Offsets, Element, NoColumn);
  return Offsets[Element];
}

TRect TBaseVastTree::GetDisplayRect(PVastNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped,
                                    bool ApplyCellContentMargin) {
  TRect R{};
  if (!Node || Node == FRoot) return R;
  if (!Node->States.Contains(vsInitialized)) InitNode(Node);
  if (!Node->States.Contains(vsVisible) || GetEffectivelyFiltered(Node)) return R;

  const Integer Top = static_cast<Integer>(GetNodeTop(Node));
  const Integer Height = static_cast<Integer>(GetNodeHeight(Node));
  R = TRect{0, Top, std::max(FRangeX, ClientWidth()), Top + Height};
  TVTHeader* H = HeaderObject();
  const bool Columns = H && H->UseColumns() && Column >= 0 && H->Columns().IsValidColumn(Column);
  if (!Columns) {
    R.Left -= FEffectiveOffsetX;
    R.Right -= FEffectiveOffsetX;
    R.Top += FOffsetY;
    R.Bottom += FOffsetY;
  } else {
    Integer Left, Right;
    H->Columns().GetColumnBounds(Column, Left, Right);
    R.Left = Left;
    R.Right = Right - 1;
    R.Top += FOffsetY;
    R.Bottom += FOffsetY;
  }
  if (!TextOnly) return R;

  const bool RTL = ColumnRightToLeft(Columns ? Column : NoColumn);
  TAlignment Alignment = ColumnAlignment(Columns ? Column : NoColumn);
  if (RTL) Alignment = Mirrored(Alignment);
  TVTOffsets Offsets;
  GetOffsets(Node, Offsets, ofsLabel, Column);
  if (RTL)
    R.Right -= Offsets[ofsLabel];
  else
    R.Left += Offsets[ofsLabel];
  const Integer TextWidth = DoGetNodeWidth(Node, Column);
  if (ApplyCellContentMargin) {
    const TPoint TopLeft = DoGetCellContentMargin(Node, Column, ccmtTopLeftOnly);
    const TPoint BottomRight = DoGetCellContentMargin(Node, Column, ccmtBottomRightOnly);
    R.Left += TopLeft.X;
    R.Top += TopLeft.Y;
    R.Right -= BottomRight.X;
    R.Bottom -= BottomRight.Y;
  }
  if (Unclipped) {
    if (R.Width() < TextWidth - 1) Alignment = RTL ? taRightJustify : taLeftJustify;
    const Integer FontHeight = FHost->TextHeight(u"Tg");
    if (FontHeight > R.Height()) {
      const Integer Grow = (FontHeight - R.Height() + 1) / 2;
      R.Top = std::max(R.Top - Grow, Top + FOffsetY);
      R.Bottom = std::min(R.Bottom + Grow, Top + Height + FOffsetY);
    }
    switch (Alignment) {
      case taLeftJustify:
        R.Right = R.Left + TextWidth - 1;
        break;
      case taRightJustify:
        R.Left = R.Right - TextWidth;
        break;
      case taCenter:
        R.Left = (R.Left + R.Right - TextWidth) / 2;
        R.Right = R.Left + TextWidth;
        break;
    }
  } else if (TextWidth < R.Width()) {
    switch (Alignment) {
      case taLeftJustify:
        R.Right = R.Left + TextWidth;
        break;
      case taRightJustify:
        R.Left = R.Right - TextWidth;
        break;
      case taCenter:
        R.Left = (R.Left + R.Right - TextWidth) / 2;
        R.Right = R.Left + TextWidth;
        break;
    }
  }
  return R;
}

// ---------------------------------------------------------------------------
// Repaint requests

void TBaseVastTree::InvalidateColumn(TColumnIndex Column) {
  TVTHeader* H = HeaderObject();
  if (FUpdateCount > 0 || !FHost->HasWindow() || !H || !H->Columns().IsValidColumn(Column)) return;
  Integer Left, Right;
  H->Columns().GetColumnBounds(Column, Left, Right);
  FHost->InvalidateRect(TRect{Left, 0, Right, ClientHeight()});
}

void TBaseVastTree::InvalidateChildren(PVastNode Node, bool Recursive) {
  if (!Node) Node = FRoot;
  if (Node != FRoot) {
    if (!Node->States.Contains(vsInitialized)) InitNode(Node);
    InvalidateNode(Node);
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
  }
  if (!Recursive) {
    for (PVastNode Child = Node->FirstChild; Child; Child = Child->NextSibling) InvalidateNode(Child);
    return;
  }
  // Iterative: a tree may be deeper than the stack allows recursion.
  PVastNode Run = Node->FirstChild;
  while (Run) {
    if (!Run->States.Contains(vsInitialized)) InitNode(Run);
    InvalidateNode(Run);
    if (Run->States.Contains(vsHasChildren) && Run->ChildCount == 0) InitChildren(Run);
    if (Run->FirstChild) {
      Run = Run->FirstChild;
      continue;
    }
    while (Run != Node && !Run->NextSibling) Run = Run->Parent;
    Run = Run == Node ? nullptr : Run->NextSibling;
  }
}

void TBaseVastTree::RepaintNode(PVastNode Node) {
  if (!Node || Node == FRoot || !FHost->HasWindow()) return;
  FHost->InvalidateRect(GetDisplayRect(Node, NoColumn, false));
  FHost->UpdateNow();
}

// ---------------------------------------------------------------------------
// Hit testing

void TBaseVastTree::GetHitTestInfoAt(Integer X, Integer Y, bool Relative, THitInfo& HitInfo) {
  HitInfo = THitInfo{};
  const Integer CW = ClientWidth(), CH = ClientHeight();
  if (X < 0)
    HitInfo.HitPositions.Include(hiToLeft);
  else if (X > std::max(FRangeX, CW))
    HitInfo.HitPositions.Include(hiToRight);
  if (Y < 0)
    HitInfo.HitPositions.Include(hiAbove);
  else if (Y > std::max(FRangeY, CH))
    HitInfo.HitPositions.Include(hiBelow);

  TVTHeader* H = HeaderObject();
  const bool Columns = H && H->UseColumns();
  if (Relative) {
    const Integer Fixed = Columns ? H->Columns().GetVisibleFixedWidth() : 0;
    if (X >= Fixed) X += FEffectiveOffsetX;
    Y -= FOffsetY;
  }
  HitInfo.HitPoint = TPoint{X, Y};
  if (!HitInfo.HitPositions.Empty()) return;

  Integer NodeTop;
  HitInfo.HitNode = GetNodeAt(X, Y, false, NodeTop);
  if (!HitInfo.HitNode) {
    HitInfo.HitPositions.Include(hiNowhere);
    return;
  }
  if (!HitInfo.HitNode->States.Contains(vsInitialized)) InitNode(HitInfo.HitNode);

  Integer Left = 0, Right = std::max(FRangeX, CW);
  if (Columns) {
    TVastTreeColumns& Cols = H->Columns();
    HitInfo.HitColumn = Cols.ColumnAndBoundsAt(TPoint{X, 0}, Left, Right, false);
    if (HitInfo.HitColumn >= 0 && FOptions->AutoOptions().Contains(toAutoSpanColumns)) {
      while (HitInfo.HitColumn >= 0 && IsCellEmpty(HitInfo.HitNode, HitInfo.HitColumn)) {
        const TColumnIndex Previous = Cols.GetPreviousVisibleColumn(HitInfo.HitColumn);
        if (Previous < 0) break;
        HitInfo.HitColumn = Previous;
        Left -= Cols[Previous].Width();
      }
      for (TColumnIndex Next = Cols.GetNextVisibleColumn(HitInfo.HitColumn);
           Next >= 0 && IsCellEmpty(HitInfo.HitNode, Next); Next = Cols.GetNextVisibleColumn(Next))
        Right += Cols[Next].Width();
    }
  }
  if (HitInfo.HitColumn == InvalidColumn) {
    HitInfo.HitPositions.Include(hiNowhere);
    return;
  }
  HitInfo.HitPositions.Include(hiOnItem);
  if (FOptions->MiscOptions().Contains(toNodeHeightResize)) {
    const Integer RowBottom = NodeTop + static_cast<Integer>(GetNodeHeight(HitInfo.HitNode));
    if (Y <= NodeTop + 1)
      HitInfo.HitPositions.Include(hiUpperSplitter);
    else if (Y >= RowBottom - 3)
      HitInfo.HitPositions.Include(hiLowerSplitter);
  }
  X -= Left;
  Right -= Left;
  // The alignment as painted: reading right to left mirrors it.
  const TAlignment Alignment = ColumnAlignment(HitInfo.HitColumn);
  if (ColumnRightToLeft(HitInfo.HitColumn))
    DetermineHitPositionRTL(HitInfo, X, Right, Mirrored(Alignment));
  else
    DetermineHitPositionLTR(HitInfo, X, Right, Alignment);
}

void TBaseVastTree::DetermineHitPositionLTR(THitInfo& HitInfo, Integer X, Integer Right, TAlignment Alignment) {
  PVastNode Node = HitInfo.HitNode;
  const bool IsMain = HitInfo.HitColumn < 0 || HitInfo.HitColumn == FHeader->MainColumn();
  TVTOffsets O;
  GetOffsets(Node, O, ofsRightOfText, HitInfo.HitColumn);
  if (IsMain && X < O[ofsCheckBox]) {
    bool Added = false;
    if (FOptions->PaintOptions().Contains(toShowButtons) && Node->States.Contains(vsHasChildren)) {
      if (X >= O[ofsCheckBox] - static_cast<Integer>(FIndent)) {
        HitInfo.HitPositions.Include(hiOnItemButton);
        Added = true;
      }
      if (X > O[ofsToggleButton]) {
        HitInfo.HitPositions.Include(hiOnItemButtonExact);
        Added = true;
      }
    }
    if (!Added) HitInfo.HitPositions.Include(hiOnItemIndent);
    return;
  }
  if (!IsMain && FOptions->MiscOptions().Contains(toReportMode)) return;
  if (IsMain && X < O[ofsStateImage]) {
    HitInfo.HitPositions = THitPositions{hiOnItem};
    if (Node->CheckType != ctNone) HitInfo.HitPositions.Include(hiOnItemCheckbox);
    return;
  }
  if (X < O[ofsImage]) {
    HitInfo.HitPositions.Include(hiOnStateIcon);
    return;
  }
  if (X < O[ofsLabel]) {
    HitInfo.HitPositions.Include(hiOnNormalIcon);
    return;
  }
  THitPosition Position = hiOnItemLabel;
  const Integer TextWidth = O[ofsRightOfText] - O[ofsText];
  if (TextWidth <= Right - O[ofsLabel]) {
    switch (Alignment) {
      case taRightJustify:
        Position = X < Right - TextWidth ? hiOnItemLeft : hiOnItemLabel;
        break;
      case taLeftJustify:
        Position = X < O[ofsLabel] + TextWidth ? hiOnItemLabel : hiOnItemRight;
        break;
      case taCenter: {
        const Integer Start = (Right + O[ofsLabel] - TextWidth) / 2;
        Position = X < Start ? hiOnItemLeft : (X < Start + TextWidth ? hiOnItemLabel : hiOnItemRight);
        break;
      }
    }
  }
  HitInfo.HitPositions.Include(Position);
}

void TBaseVastTree::DetermineHitPositionRTL(THitInfo& HitInfo, Integer X, Integer Right, TAlignment Alignment) {
  // Every comparison mirrored: measure from the right edge with the
  // alignment swapped, and swap the sides found.
  THitInfo Mirror = HitInfo;
  DetermineHitPositionLTR(Mirror, Right - X, Right, Mirrored(Alignment));
  if (Mirror.HitPositions.Contains(hiOnItemLeft)) {
    Mirror.HitPositions.Exclude(hiOnItemLeft);
    Mirror.HitPositions.Include(hiOnItemRight);
  } else if (Mirror.HitPositions.Contains(hiOnItemRight)) {
    Mirror.HitPositions.Exclude(hiOnItemRight);
    Mirror.HitPositions.Include(hiOnItemLeft);
  }
  HitInfo.HitPositions = Mirror.HitPositions;
}

// ---------------------------------------------------------------------------
// Column widths

Integer TBaseVastTree::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth) {
  TVTHeader* H = HeaderObject();
  const bool Valid = H && H->Columns().IsValidColumn(Column);
  if (OperationCanceled()) return Valid ? H->Columns()[Column].Width() : 0;
  BeginOperation(okGetMaxColumnWidth);
  const TScopeExit End([this] { EndOperation(okGetMaxColumnWidth); });
  if (OnBeforeGetMaxColumnWidth) OnBeforeGetMaxColumnWidth(H, Column, UseSmartColumnWidth);

  PVastNode Node;
  PVastNode Last = nullptr;
  if (UseSmartColumnWidth) {
    Node = TopNode();
    Last = BottomNode();
  } else {
    Node = GetFirstVisible(nullptr, true);
  }
  Integer Result = 0;
  if (Valid && H->Options().Contains(hoAutoResizeInclCaption))
    Result = H->Columns()[Column].Margin() * 2 + ColumnCaptionWidth(Column) + 2;
  const bool RealColumn = Valid;
  TVTOffsets Offsets;
  while (Node && !OperationCanceled()) {
    const Integer Width = DoGetNodeWidth(Node, Column) + DoGetNodeExtraWidth(Node, Column) +
                          DoGetCellContentMargin(Node, Column, ccmtAllSides).X;
    if (RealColumn && GetMultiline(Node)) {
      // A multi-line cell wraps to whatever width it gets: it asks for its
      // own width without indentation, and never shrinks the maximum.
      Result = std::max(Result, Width);
    } else {
      GetOffsets(Node, Offsets, ofsLabel, Column);
      Result = std::max(Result, Offsets[ofsLabel] + Width);
    }
    if (Node == Last) break;
    Node = GetNextVisible(Node, true);
  }
  if (FOptions->PaintOptions().Contains(toShowVertGridLines)) ++Result;
  if (OnAfterGetMaxColumnWidth) OnAfterGetMaxColumnWidth(H, Column, Result);
  return Result;
}

// ---------------------------------------------------------------------------
// Top and bottom node, scrolling into view

PVastNode TBaseVastTree::TopNode() {
  Integer Top;
  return GetNodeAt(0, 0, true, Top);
}

PVastNode TBaseVastTree::BottomNode() {
  Integer Top;
  return GetNodeAt(0, ClientHeight() - 1, true, Top);
}

namespace {

// Expands every collapsed ancestor of Node, outermost first.
void ExpandAncestors(TBaseVastTree& Tree, PVastNode Node) {
  std::vector<PVastNode> Closed;
  for (PVastNode P = Node->Parent; P && P != Tree.RootNode(); P = P->Parent)
    if (!P->States.Contains(vsExpanded)) Closed.push_back(P);
  for (auto It = Closed.rbegin(); It != Closed.rend(); ++It) Tree.ToggleNode(*It);
}

}  // namespace

void TBaseVastTree::SetTopNode(PVastNode Node) {
  if (!Node || Node == FRoot) return;
  ExpandAncestors(*this, Node);
  const TRect R = GetDisplayRect(Node, FHeader->MainColumn(), false);
  SetOffsetY(FOffsetY - R.Top);
}

void TBaseVastTree::SetBottomNode(PVastNode Node) {
  if (!Node || Node == FRoot) return;
  ExpandAncestors(*this, Node);
  const TRect R = GetDisplayRect(Node, FHeader->MainColumn(), false);
  DoSetOffset(TPoint{FOffsetX, ClientHeight() + FOffsetY - R.Top - R.Height()}, suoRepaintScrollBars | suoUpdateNCArea);
}

bool TBaseVastTree::ScrollIntoView(PVastNode Node, bool Center, bool Horizontally) {
  if (!Node || Node == FRoot || !FHost->HasWindow()) return false;
  ExpandAncestors(*this, Node);
  const bool Columns = FHeader->UseColumns();
  const TColumnIndex Column = Columns && FHeader->IsValidColumn(FFocusedColumn) ? FFocusedColumn : NoColumn;
  TRect R = GetDisplayRect(Node, Column, !FOptions->MiscOptions().Contains(toGridExtensions));
  const Integer CH = ClientHeight();
  bool Result = false;
  if (R.Top < 0) {
    SetOffsetY(FOffsetY - R.Top + (Center ? CH / 2 : 0));
    Result = true;
  } else if (R.Bottom > CH || Center) {
    const TScrollBarOptions& Bars = *FScrollBarOptions;
    const bool BarWasShowing = Bars.AllowsHorizontal() && (Bars.AlwaysVisible() || FRangeX > ClientWidth());
    SetOffsetY(FOffsetY + (Center ? CH / 2 : CH) - R.Bottom);
    if (!Columns && !BarWasShowing && FRangeX > ClientWidth()) SetOffsetY(FOffsetY - FHost->ScrollBarSize(false));
    Result = true;
  }
  if (Horizontally) {
    const Integer Fixed = Columns && HeaderObject() ? HeaderObject()->Columns().GetVisibleFixedWidth() : 0;
    R = GetDisplayRect(Node, Column, !FOptions->MiscOptions().Contains(toGridExtensions));
    const bool Fits = R.Width() <= ClientWidth() - Fixed;
    if (ScrollIntoView(FFocusedColumn, Center && Fits, Node)) Result = true;
  }
  return Result;
}

bool TBaseVastTree::ScrollIntoView(TColumnIndex Column, bool Center, PVastNode Node) {
  TVTHeader* H = HeaderObject();
  const bool Columns = H && H->UseColumns();
  Integer Left, Right;
  bool Fixed = false;
  if (Columns && H->Columns().IsValidColumn(Column)) {
    H->Columns().GetColumnBounds(Column, Left, Right);
    Fixed = H->Columns()[Column].Options().Contains(coFixed);
  } else if (Node && FOptions->SelectionOptions().Contains(toCenterScrollIntoView)) {
    const TRect R = GetDisplayRect(Node, NoColumn, true);
    Left = R.Left;
    Right = R.Right;
    Center = false;
  } else {
    return false;
  }
  const Integer CW = ClientWidth();
  const Integer FixedWidth = Columns ? H->Columns().GetVisibleFixedWidth() : 0;
  Integer NewOffset = FEffectiveOffsetX;
  if (Fixed || Center) {
    if (!Center) return false;
    NewOffset += (Left + Right) / 2 - (FixedWidth + (CW - FixedWidth) / 2);
  } else if (Right > CW) {
    NewOffset += std::min(Right - CW, Left - FixedWidth);
  } else if (Left < FixedWidth) {
    NewOffset -= FixedWidth - Left;
  }
  if (NewOffset == FEffectiveOffsetX) return false;
  SetOffsetX(UseRightToLeftAlignment() ? CW + NewOffset - FRangeX : -NewOffset);
  return true;
}

// ---------------------------------------------------------------------------
// Tree lines

Integer TBaseVastTree::ComputeLineImage(PVastNode Node, TLineImage& LineImage) {
  const TVTPaintOptions Paint = FOptions->PaintOptions();
  const bool ShowRoot = Paint.Contains(toShowRoot);
  Integer Selected = 0;
  std::size_t Levels = 0;
  for (PVastNode P = Node->Parent; P && P != FRoot; P = P->Parent) {
    ++Levels;
    if (P->States.Contains(vsSelected)) ++Selected;
  }
  if (ShowRoot) ++Levels;
  LineImage.assign(Levels, ltNone);
  const bool Lines =
      Paint.Contains(toShowTreeLines) && !(Paint.Contains(toHideTreeLinesIfThemed) && HasState(tsUseThemes));
  if (!Lines || Levels == 0) return Selected;

  std::size_t Index = Levels - 1;
  if (Paint.Contains(toChildrenAbove)) {
    const bool Previous = HasVisiblePreviousSibling(Node);
    const bool Continues = Node->Parent != FRoot || HasVisibleNextSibling(Node);
    if (Previous)
      LineImage[Index] = Continues ? ltTopDownRight : ltTopRight;
    else
      LineImage[Index] = Continues ? ltBottomRight : ltRight;
    PVastNode P = Node->Parent;
    while (Index > 0 && P && P != FRoot) {
      --Index;
      LineImage[Index] = HasVisiblePreviousSibling(P) ? ltTopDown : ltNone;
      P = P->Parent;
    }
  } else if (Node->Parent != FRoot) {
    LineImage[Index] = HasVisibleNextSibling(Node) ? ltTopDownRight : ltTopRight;
    PVastNode P = Node->Parent;
    while (P != FRoot && P->Parent != FRoot && Index > 0) {
      --Index;
      LineImage[Index] = HasVisibleNextSibling(P) ? ltTopDown : ltNone;
      P = P->Parent;
    }
    if (ShowRoot) {
      // P is the top-level ancestor now.
      LineImage[0] = HasVisibleNextSibling(P) ? ltTopDown : ltNone;
    }
  } else {
    // A top-level node (only with toShowRoot, else there are no levels).
    const bool First = !HasVisiblePreviousSibling(Node);
    const bool Last = !HasVisibleNextSibling(Node);
    LineImage[0] = First && Last ? ltRight : (First ? ltBottomRight : (Last ? ltTopRight : ltTopDownRight));
  }
  if (HasState(tsUseExplorerTheme) && Node->States.Contains(vsHasChildren) &&
      (!Node->States.Contains(vsAllChildrenHidden) || !FOptions->AutoOptions().Contains(toAutoHideButtons)))
    LineImage[Levels - 1] = ltNone;
  return Selected;
}
