#include "treeview/VastTreeHint_win.h"

#include <algorithm>

#include "vcl/Messages.h"

namespace {

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

bool ContainsPoint(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

String ShortHintOf(const String& Hint) {
  const auto Bar = Hint.find(u'|');
  return Bar == String::npos ? Hint : Hint.substr(0, Bar);
}

}  // namespace

// ---------------------------------------------------------------------------
// What to show

bool TVastTreeControl::HasHint() const {
  return ShowHint() && (HintMode() != hmDefault || !TControl::Hint().empty() ||
                        (TCustomVastStringTree::Header().Options().Contains(hoShowHint)));
}

void TVastTreeControl::HintShowPause(bool, Integer& Pause) {
  // A cut-off cell shows its full text at once.
  if (ShowHint() && HintMode() == hmTooltip) Pause = 0;
}

TVastTreeControl::THintCell TVastTreeControl::HintCellAt(const TPoint& P) {
  THintCell Cell;
  Cell.Valid = true;
  TVTHeader& H = TCustomVastStringTree::Header();
  if (H.UseColumns() && H.Options().Contains(hoShowHint) && InHeader(P)) {
    Integer L = 0, R = 0;
    Cell.Head = true;
    Cell.Column = H.Columns().ColumnAndBoundsAt(TPoint{P.X, P.Y + H.Height()}, L, R, true);
    return Cell;
  }
  THitInfo Hit;
  GetHitTestInfoAt(P.X, P.Y, true, Hit);
  Cell.Node = Hit.HitNode;
  Cell.Column = Hit.HitColumn;
  return Cell;
}

void TVastTreeControl::AskHintAgainIfMoved(const TPoint& P) {
  if (!FNoHintCell.Valid || HintCellAt(P) == FNoHintCell) return;
  FNoHintCell.Valid = false;
  if (Application->HintControl() != this) return;
  Application->CancelHint();
  Application->HintMouseMessage(this);
}

THintWindowClass TVastTreeControl::HintWindowClass() const {
  return [](TComponent* Owner) -> THintWindow* { return new TVastTreeHintWindow(Owner); };
}

void TVastTreeControl::HintShow(THintInfo& Info) {
  const TPoint P = Info.CursorPos;
  bool Show = false;
  bool NoHint = true;  // the message's answer 1: nothing shown
  Info.HintStr.clear();
  if (ContainsPoint(FLastHintRect, P)) {
    Info.HintStr.clear();
    return;
  }
  THitInfo Hit;
  GetHitTestInfoAt(P.X, P.Y, true, Hit);
  bool ShowOK;
  if (IsEditing())
    ShowOK = Hit.HitNode != FocusedNode();
  else
    ShowOK = true;  // the hint machinery only asks the control under the mouse of the active program
  TVTHeader& H = TCustomVastStringTree::Header();
  const bool Busy = (GetCapture() && GetCapture() != FHandle) || !ShowHint() || IsMouseSelecting() ||
                    HasState(tsScrolling) || !H.States().Empty() || !ShowOK || HasState(tsOLEDragging);
  FNoHintCell = THintCell{};
  if (Busy) {
    FLastHintRect = TRect{};
    FNoHintCell = HintCellAt(P);
    DoStateChange({}, {tsHint});
    return;
  }
  const String Short = ShortHintOf(TControl::Hint());
  const bool OverHeader = H.UseColumns() && H.Options().Contains(hoShowHint) && InHeader(P);
  TRect Rect;
  TColumnIndex HintColumn = Hit.HitColumn;
  String Text;
  if (OverHeader) {
    Integer L = 0, R = 0;
    const TColumnIndex Column = H.Columns().ColumnAndBoundsAt(TPoint{P.X, P.Y + H.Height()}, L, R, true);
    Rect = TRect{L, -H.Height(), R, 0};
    if (Column >= 0 && GetKeyState(VK_LBUTTON) >= 0) {
      TVastTreeColumn& C = H.Columns()[Column];
      Text = C.Hint();
      if (Text.empty() && CaptionWidth(Column) + 2 * C.Margin() + 1 >= C.Width()) Text = C.Text();
      Show = !Text.empty();
      HintColumn = Column;
      const TPoint Below = ClientToScreen(TPoint{0, Rect.Bottom});
      Info.HintPos.Y = std::max(Info.HintPos.Y, Below.Y);
    }
    NoHint = !Show;
    Info.CursorRect = Rect;
  } else if (HintMode() == hmDefault) {
    Info.HintStr = Short;
    FLastHintRect = TRect{};
    DoStateChange({}, {tsHint});
    return;
  } else if (Hit.HitNode && Hit.HitColumn >= NoColumn) {
    TVTHintKind Kind = vhkText;
    DoGetHintKind(Hit.HitNode, Hit.HitColumn, Kind);
    FHintData.HintRect = TRect{};
    if (Kind == vhkOwnerDraw) {
      DoGetHintSize(Hit.HitNode, Hit.HitColumn, FHintData.HintRect);
      Show = FHintData.HintRect.Width() > 0 && FHintData.HintRect.Height() > 0;
    } else {
      Show = true;
    }
    TVTTooltipLineBreakStyle Style = hlbDefault;
    Text = HintMode() == hmTooltip ? DoGetNodeTooltip(Hit.HitNode, Hit.HitColumn, Style)
                                   : DoGetNodeHint(Hit.HitNode, Hit.HitColumn, Style);
    FHintData.LineBreakStyle = Style;
    Integer ColLeft = 0, ColRight = ClientWidth();
    if (Hit.HitColumn >= 0) {
      H.Columns().GetColumnBounds(Hit.HitColumn, ColLeft, ColRight);
      if (TreeOptions().AutoOptions().Contains(toAutoSpanColumns)) {
        TColumnIndex Next = H.Columns().GetNextVisibleColumn(Hit.HitColumn);
        while (Next >= 0 && IsCellEmpty(Hit.HitNode, Next)) {
          Integer L, R;
          H.Columns().GetColumnBounds(Next, L, R);
          ColRight = R;
          Next = H.Columns().GetNextVisibleColumn(Next);
        }
      }
    }
    if (Show && HintMode() == hmTooltip) {
      if (GetMultiline(Hit.HitNode)) {
        Show = Hit.HitPositions.Contains(hiOnItemLabel);
        if (Show) Rect = GetDisplayRect(Hit.HitNode, Hit.HitColumn, true);
      } else {
        Rect = GetDisplayRect(Hit.HitNode, Hit.HitColumn, true, true, true);
        const TPoint M = DoGetCellContentMargin(Hit.HitNode, Hit.HitColumn, ccmtBottomRightOnly);
        const bool Cut = std::min(ColRight - 1, ClientWidth()) < Rect.Right + M.X || Rect.Left < std::max(ColLeft, 0) ||
                         ClientHeight() < Rect.Bottom + M.Y || Rect.Top < 0;
        Show = ContainsPoint(Rect, P) && ColLeft <= P.X && P.X <= ColRight && Cut;
      }
      if (Show) {
        const TPoint S = ClientToScreen(TPoint{Rect.Left, Rect.Top});
        Info.HintPos = S;
        Info.CursorRect = Rect;
      }
    } else if (Show) {
      Rect = GetDisplayRect(Hit.HitNode, Hit.HitColumn, false);
      Rect.Left = ColLeft;
      Rect.Right = ColRight;
      Info.CursorRect = Rect;
      const TPoint Below = ClientToScreen(TPoint{Rect.Right, Rect.Bottom});
      Info.HintPos.Y = std::max(Info.HintPos.Y, Below.Y) + ScaledPixels(2);
    }
    Show = Show && (!Text.empty() || Kind == vhkOwnerDraw);
    NoHint = !Show;
  } else if (HintMode() == hmHintAndDefault) {
    Text = Short;
    Rect = Info.CursorRect;
    const Integer Total = H.UseColumns() ? H.Columns().TotalWidth() : 0;
    if (UseRightToLeftAlignment())
      Rect.Right -= Total;
    else
      Rect.Left = Total;
    Info.CursorRect = Rect;
    Show = !Text.empty();
    NoHint = !Show;
    // The control's own hint is shown by the application's window.
    Info.HintStr = Text;
    FLastHintRect = Show ? Rect : TRect{};
    if (!Show) FNoHintCell = HintCellAt(P);
    DoStateChange(Show ? TVastTreeStates{tsHint} : TVastTreeStates{},
                  Show ? TVastTreeStates{} : TVastTreeStates{tsHint});
    return;
  }
  if (!Show || NoHint) {
    FLastHintRect = TRect{};
    FNoHintCell = HintCellAt(P);
    Info.HintStr.clear();
    DoStateChange({}, {tsHint});
    return;
  }
  Info.HintStr = Text.empty() ? String(u" ") : Text;
  FHintData.HintText = Text;
  FHintData.Tree = this;
  FHintData.Column = OverHeader ? HintColumn : Hit.HitColumn;
  FHintData.Node = OverHeader ? nullptr : Hit.HitNode;
  FLastHintRect = Info.CursorRect;
  Info.HintWindowClass = HintWindowClass();
  Info.HintData = &FHintData;
  DoStateChange({tsHint});
}

// ---------------------------------------------------------------------------
// The window

TVastTreeHintWindow::TVastTreeHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void TVastTreeHintWindow::CreateParams(TCreateParams& Params) {
  THintWindow::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TVastTreeHintWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return;
  }
  THintWindow::WndProc(Message);
}

TRect TVastTreeHintWindow::CalcHintRect(Integer MaxWidth, const String& Hint, const void* Data) {
  (void)Hint;
  if (!Data) return TRect{};
  FHintData = *static_cast<const TVTHintData*>(Data);
  TRect Result;
  // A failure while measuring is the application's to report; the hint
  // then stays empty.
  GuardedCall(this, [&] { Result = MeasureHint(MaxWidth); });
  if (auto* Control = dynamic_cast<TControlCanvas*>(Canvas())) Control->FreeHandle();
  return Result;
}

bool TVastTreeHintWindow::IsHintMsg(const MSG& Msg) {
  if (!THintWindow::IsHintMsg(Msg) || !HandleAllocated() || !IsWindowVisible(Handle())) return false;
  // Moving over the header (frame) and walking with the arrow keys keep
  // the hint up.
  if (Msg.message == WM_NCMOUSEMOVE) return false;
  if (Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST && Msg.wParam >= VK_LEFT && Msg.wParam <= VK_DOWN)
    return false;
  return true;
}

TRect TVastTreeHintWindow::MeasureHint(Integer MaxWidth) {
  auto* Tree = static_cast<TVastTreeControl*>(FHintData.Tree);
  if (!Tree) return TRect{};
  if (FHintData.Node && FHintData.HintRect.Width() > 0 && FHintData.HintRect.Height() > 0) return FHintData.HintRect;
  TVTHeader& H = Tree->Header();
  const bool ColumnOwn = FHintData.Column >= 0 && H.Columns().IsValidColumn(FHintData.Column);
  FHintData.BidiMode = ColumnOwn ? H.Columns()[FHintData.Column].BiDiMode() : Tree->BiDiMode();
  FHintData.Alignment = ColumnOwn ? H.Columns()[FHintData.Column].Alignment() : Tree->Alignment();
  if (FHintData.BidiMode != bdLeftToRight) {
    if (FHintData.Alignment == taLeftJustify)
      FHintData.Alignment = taRightJustify;
    else if (FHintData.Alignment == taRightJustify)
      FHintData.Alignment = taLeftJustify;
  }
  const bool Tooltip = FHintData.Node && Tree->HintMode() == hmTooltip;
  TCanvas* C = Canvas();
  if (Tooltip) {
    C->SetFont(Tree->Font());
    Tree->DoPaintText(FHintData.Node, C, ttNormal, FHintData.Column);
  } else {
    C->SetFont(Screen->HintFont());
  }
  HDC DC = C->Handle();
  TEXTMETRICW Metrics{};
  GetTextMetricsW(DC, &Metrics);
  FTextHeight = Metrics.tmHeight;
  if (FHintData.HintText.empty()) return TRect{};
  const auto Measure = [&](RECT& R, UINT Format) {
    DrawTextW(DC, WideCStr(FHintData.HintText), static_cast<int>(FHintData.HintText.size()), &R, Format);
  };
  if (!Tooltip) {
    RECT R{0, 0, MaxWidth, FTextHeight};
    Measure(R, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    R.bottom += Tree->ScaledPixels(6) - 4;
    R.right += Tree->ScaledPixels(4) + Tree->TextMargin() + Tree->Margin();
    return TRect{R.left, R.top, R.right, R.bottom};
  }
  TRect Result;
  if (FHintData.LineBreakStyle == hlbDefault)
    FHintData.LineBreakStyle = Tree->GetMultiline(FHintData.Node) ? hlbForceMultiLine : hlbForceSingleLine;
  if (FHintData.LineBreakStyle == hlbForceMultiLine) {
    TRect R = Tree->GetDisplayRect(FHintData.Node, FHintData.Column, true);
    RECT T = ToRECT(R);
    Measure(T, DT_CALCRECT | DT_WORDBREAK);
    if (FHintData.BidiMode != bdLeftToRight)
      R.Left = T.left - Tree->TextMargin() + 1;
    else
      R.Right = T.right + Tree->TextMargin();
    R.Bottom = T.bottom;
    R.Right += 1;
    // A wrapped text that fits its cell needs no tooltip.
    if (H.Columns().Count() > 0) {
      const Integer ColumnWidth = ColumnOwn ? H.Columns()[FHintData.Column].Width() : Tree->ClientWidth();
      if (static_cast<Integer>(Tree->GetNodeHeight(FHintData.Node)) + 2 >= R.Height() && ColumnWidth + 2 >= R.Width() &&
          R.Left >= 0 && Tree->ClientWidth() + 3 >= R.Right && R.Top >= 0 && Tree->ClientHeight() + 3 >= R.Bottom)
        return TRect{};
    }
    Result = R;
  } else {
    Result = Tree->FLastHintRect;
    RECT T{0, 0, MaxWidth, FTextHeight};
    Measure(T, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (Result.Width() != T.right)
      Result.Right = Result.Left + T.right + Tree->ScaledPixels(4) + Tree->TextMargin() + Tree->Margin();
    if (Tree->TreeOptions().PaintOptions().Contains(toShowHorzGridLines)) --Result.Bottom;
  }
  // One pixel larger on every side, placed so that its text lands exactly
  // over the cell's.
  const Integer W = Result.Width() + 2, Ht = Result.Height() + 2;
  return TRect{-1, -1, W - 1, Ht - 1};
}

void TVastTreeHintWindow::Paint() {
  auto* Tree = static_cast<TVastTreeControl*>(FHintData.Tree);
  TCanvas* C = Canvas();
  const bool Tooltip = Tree && FHintData.Node && Tree->HintMode() == hmTooltip;
  TRect R{0, 0, Width(), Height()};
  Integer Y = 2;
  if (Tooltip) {
    // The cell's font as its paint handler sets it, and its text's height.
    TRect TextR;
    String Text;
    Tree->GetTextInfo(FHintData.Node, FHintData.Column, C->Font(), TextR, Text);
    Y = FHintData.LineBreakStyle == hlbForceMultiLine ? 1 : (Height() - TextR.Height()) / 2;
  } else {
    C->SetFont(Screen->HintFont());
  }
  if (Tree && FHintData.Node) {
    TVTHintKind Kind = vhkText;
    Tree->DoGetHintKind(FHintData.Node, FHintData.Column, Kind);
    if (Kind == vhkOwnerDraw) {
      Tree->DoDrawHint(C, FHintData.Node, R, FHintData.Column);
      return;
    }
  }
  C->Font()->SetColor(clInfoText);
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clInfoBk);
  C->Rectangle(R.Left, R.Top, R.Right, R.Bottom);
  R = TRect{R.Left + 1, Y, R.Right - 1, R.Bottom - 1};
  R.Left += 3;
  SetBkMode(C->Handle(), TRANSPARENT);
  RECT T = ToRECT(R);
  UINT Format = DT_NOPREFIX;
  if (FHintData.Node && FHintData.LineBreakStyle == hlbForceMultiLine) Format |= DT_WORDBREAK;
  DrawTextW(C->Handle(), WideCStr(FHintData.HintText), static_cast<int>(FHintData.HintText.size()), &T, Format);
}
