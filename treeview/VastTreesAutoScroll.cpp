// Auto-scroll while a rubber band is drawn or something is dragged over the
// tree, and wheel panning: the directions for a pointer position, the delay
// before a drag scrolls, one scroll step, and the panning cursor rules.
#include <algorithm>
#include <cstdlib>

#include "treeview/VastTreeHeader.h"
#include "treeview/VastTrees.h"

bool TBaseVastTree::AutoScrollAllowed() {
  const bool Panning = IsPanning();
  if (!Panning && !FOptions->AutoOptions().Contains(toAutoScroll)) return false;
  TVTHeader* H = HeaderObject();
  if (H && !H->States().Empty()) return false;
  return IsMouseSelecting() || IsDropTarget() || HasState(tsVCLDragging) || Panning;
}

TScrollDirections TBaseVastTree::ComputeScrollDirections(Integer X, Integer Y) {
  TScrollDirections Result;
  if (!AutoScrollAllowed()) return Result;
  if (IsPanning()) {
    const Integer DX = X - FLastClickPos.X, DY = Y - FLastClickPos.Y;
    if (DX < -8) Result.Include(sdLeft);
    if (DX > 8) Result.Include(sdRight);
    if (DY < -8) Result.Include(sdUp);
    if (DY > 8) Result.Include(sdDown);
    return Result;
  }
  const Integer B = static_cast<Integer>(FDefaultNodeHeight);
  const Integer CW = ClientWidth(), CH = ClientHeight();
  if (X < B && FEffectiveOffsetX != 0) Result.Include(sdLeft);
  if (CW + FEffectiveOffsetX < FRangeX && X > CW - B) Result.Include(sdRight);
  if (Y < B && FOffsetY != 0) Result.Include(sdUp);
  if (CH - FOffsetY < FRangeY && Y > CH - B) Result.Include(sdDown);
  if (Result.Empty()) return Result;
  // A drag over the tree waits before it scrolls, so that passing the edge
  // on the way in does not move the view. The drag-target look-up works in
  // screen coordinates: the point is converted first. A rubber band is no
  // drag: its timer's first period is the only wait.
  const bool Delay =
      IsDropTarget() || (HasState(tsVCLDragging) && FHost->IsDragTargetAt(FHost->ClientToScreen(TPoint{X, Y})));
  if (!Delay) return Result;
  const Cardinal Now = FHost->TickCount();
  if (FDragScrollStart == 0) FDragScrollStart = Now == 0 ? 1 : Now;
  // Unsigned difference: a clock that wrapped past 2^32 still counts on.
  if (Now - FDragScrollStart < FAutoScrollDelay) return TScrollDirections{};
  return Result;
}

void TBaseVastTree::DoAutoScroll(Integer X, Integer Y) {
  FScrollDirections = ComputeScrollDirections(X, Y);
  if (IsPanning()) return;
  const bool Running = HasState(tsScrollPending) || HasState(tsScrolling);
  if (!FScrollDirections.Empty()) {
    if (!Running) {
      DoStateChange({tsScrollPending});
      FHost->SetTimer(ScrollTimer, FAutoScrollDelay);
    }
  } else if (Running) {
    FHost->KillTimer(ScrollTimer);
    DoStateChange({}, {tsScrollPending, tsScrolling});
  }
}

void TBaseVastTree::DoAutoScrollStep() {
  const TPoint P = FHost->CursorPos();
  const Integer CW = ClientWidth(), CH = ClientHeight();
  const TPoint Origin = FHost->ClientToScreen(TPoint{0, 0});
  const TRect S{Origin.X, Origin.Y, Origin.X + CW, Origin.Y + CH};
  const bool Inside = P.X >= S.Left && P.X < S.Right && P.Y >= S.Top && P.Y < S.Bottom;
  const TPoint Pc = FHost->ScreenToClient(P);
  const bool Panning = IsPanning();
  const bool Selecting = IsMouseSelecting();
  if (!Selecting && !Inside && !Panning) return;

  Integer DX = 0, DY = 0;
  const Integer IY = std::min(FScrollBarOptions ? ScrollBarOptions().VerticalIncrement() : 20, CH);
  const Integer IX = FScrollBarOptions ? ScrollBarOptions().HorizontalIncrement() : 20;
  if (FScrollDirections.Contains(sdUp)) {
    DY = Panning ? FLastClickPos.Y - Pc.Y - 8 : Inside ? IY : IY * std::abs(S.Top - P.Y);
    if (FOffsetY == 0) FScrollDirections.Exclude(sdUp);
  }
  if (FScrollDirections.Contains(sdDown)) {
    DY = Panning ? FLastClickPos.Y - Pc.Y + 8 : Inside ? -IY : -IY * std::abs(P.Y - S.Bottom);
    if (CH - FOffsetY == FRangeY) FScrollDirections.Exclude(sdDown);
  }
  if (FScrollDirections.Contains(sdLeft)) {
    DX = Panning ? FLastClickPos.X - Pc.X - 8 : Inside ? IX : IX * std::abs(S.Left - P.X);
    if (FEffectiveOffsetX == 0) FScrollDirections.Exclude(sdLeft);
  }
  if (FScrollDirections.Contains(sdRight)) {
    DX = Panning ? FLastClickPos.X - Pc.X + 8 : Inside ? -IX : -IX * std::abs(P.X - S.Right);
    if (CW + FEffectiveOffsetX == FRangeX) FScrollDirections.Exclude(sdRight);
  }
  if (UseRightToLeftAlignment()) DX = -DX;

  if (Selecting) {
    TRect C{0, 0, CW, CH};
    C.Offset(DX, DY);
    DoSetOffset(TPoint{FOffsetX + DX, FOffsetY + DY}, DefaultScrollUpdateFlags, C);
    if (UpdateSelectionRect(Pc.X, Pc.Y) && HandleDrawSelection(Pc.X, Pc.Y)) {
      Invalidate();
    } else {
      TRect Old = FLastSelRect, New = FNewSelRect;
      auto Norm = [](TRect R) {
        return TRect{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
                     std::max(R.Top, R.Bottom)};
      };
      Old = Norm(Old);
      New = Norm(New);
      TRect U{std::min(Old.Left, New.Left), std::min(Old.Top, New.Top), std::max(Old.Right, New.Right),
              std::max(Old.Bottom, New.Bottom)};
      U.Offset(-SelectionOffsetX(), FOffsetY);
      FHost->InvalidateRect(U);
    }
  } else if (!IsDropTarget() && (DX != 0 || DY != 0)) {
    DoSetOffset(TPoint{FOffsetX + DX, FOffsetY + DY});
  }
  FHost->UpdateNow();
  if (FScrollDirections.Empty() && !Panning) {
    FHost->KillTimer(ScrollTimer);
    DoStateChange({}, {tsScrollPending, tsScrolling});
  }
}

TVTPanningCursor TBaseVastTree::PanningImageKind() const {
  const bool Horz = ClientWidth() < FRangeX, Vert = ClientHeight() < FRangeY;
  if (Horz && Vert) return pcMoveAll;
  return Horz ? pcMoveEW : pcMoveNS;
}

TVTPanningCursor TBaseVastTree::PanningCursorAt(Integer X, Integer Y) const {
  const Integer DX = X - FLastClickPos.X, DY = Y - FLastClickPos.Y;
  const bool Horz = ClientWidth() < FRangeX;
  const bool Both = Horz && ClientHeight() < FRangeY;
  if (std::abs(DX) <= 7 && std::abs(DY) <= 7) return PanningImageKind();
  if (Both) {
    if (DX < -8) return DY < -8 ? pcMoveNW : DY > 8 ? pcMoveSW : pcMoveW;
    if (DX > 8) return DY < -8 ? pcMoveNE : DY > 8 ? pcMoveSE : pcMoveE;
    return Y < FLastClickPos.Y ? pcMoveN : pcMoveS;
  }
  if (Horz) return X < FLastClickPos.X ? pcMoveW : pcMoveE;
  return Y < FLastClickPos.Y ? pcMoveN : pcMoveS;
}

void TBaseVastTree::BeginWheelPanning(TPoint Position) {
  FHost->KillTimer(ScrollTimer);
  FLastClickPos = Position;
  DoStateChange({tsWheelPanning, tsWheelScrolling});
  if (FHost->CanFocus()) FHost->SetFocus();
  FHost->SetMouseCapture(true);
  FHost->SetTimer(ScrollTimer, 20);
}

void TBaseVastTree::EndWheelPanning() {
  if (!IsPanning()) return;
  FHost->KillTimer(ScrollTimer);
  FHost->SetMouseCapture(false);
  DoStateChange({}, {tsWheelPanning, tsWheelScrolling});
}
