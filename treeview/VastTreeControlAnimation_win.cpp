// The animation loop and the slide of rows while a node opens or closes.
#include "treeview/VastTreeControl_win.h"

#include "rtl/ScopeExit.h"

#include <algorithm>
#include <cmath>

namespace {

TColor RGBOf(TColor C) { return ColorToRGB(C); }

}  // namespace

// ---------------------------------------------------------------------------
// Animation

void TVastTreeControl::Animate(Cardinal Steps, Cardinal Duration,
                               const std::function<bool(Integer Step, Integer StepSize)>& Callback) {
  if (HasState(tsInAnimation) || Duration == 0) return;
  DoStateChange({tsInAnimation});
  const TScopeExit Leave([this] { DoStateChange({}, {tsInAnimation}); });
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
