#include "vcl/ExtCtrls.h"

#include <algorithm>

// ---------------------------------------------------------------- TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
  if (FWindow) KillTimer(FWindow->Handle(), 1);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (!FWindow) {
    if (!FEnabled) return;
    FWindow = std::make_unique<TUtilityWindow>([this](TMessage& M) {
      if (M.Msg == WM_TIMER) GuardedCall(this, [this] { Timer(); });
    });
  }
  KillTimer(FWindow->Handle(), 1);
  if (FEnabled && FInterval > 0) SetTimer(FWindow->Handle(), 1, FInterval, nullptr);
}

void TTimer::Timer() {
  if (FEnabled && OnTimer) OnTimer(this);
}

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  StoreBounds(0, 0, 185, 41);
  FControlStyle |= csSetCaption | csOpaque;
}

void TPanel::SetBevelOuter(TBevelCut Value) {
  if (Value != FBevelOuter) FBevelOuter = Value, Invalidate();
}
void TPanel::SetBevelInner(TBevelCut Value) {
  if (Value != FBevelInner) FBevelInner = Value, Invalidate();
}
void TPanel::SetBevelWidth(Integer Value) {
  if (Value != FBevelWidth && Value > 0) FBevelWidth = Value, Invalidate();
}
void TPanel::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, Invalidate();
}
void TPanel::SetShowCaption(bool Value) {
  if (Value != FShowCaption) FShowCaption = Value, Invalidate();
}

namespace {
void DrawBevel(TCanvas* Canvas, TRect& R, TBevelCut Cut, Integer Width) {
  if (Cut == bvNone) return;
  for (Integer i = 0; i < Width; ++i) {
    if (Cut != bvSpace) {
      const TColor topLeft = Cut == bvRaised ? clBtnHighlight : clBtnShadow;
      const TColor bottomRight = Cut == bvRaised ? clBtnShadow : clBtnHighlight;
      Canvas->Pen()->SetColor(topLeft);
      Canvas->Polyline({{R.Left, R.Bottom - 1}, {R.Left, R.Top}, {R.Right - 1, R.Top}});
      Canvas->Pen()->SetColor(bottomRight);
      Canvas->Polyline({{R.Right - 1, R.Top}, {R.Right - 1, R.Bottom - 1}, {R.Left - 1, R.Bottom - 1}});
    }
    R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  }
}
}  // namespace

void TPanel::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  DrawBevel(Canvas(), r, FBevelOuter, FBevelWidth);
  DrawBevel(Canvas(), r, FBevelInner, FBevelWidth);
  if (!FShowCaption || Caption().empty()) return;
  const UINT align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  Canvas()->Brush()->SetStyle(bsClear);
  TRect text = r;
  Canvas()->TextRect(text, Caption(), align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---------------------------------------------------------------- TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  StoreBounds(0, 0, 3, 100);
  SetAlign(alLeft);
  SetCursor(crHSplit);
}

void TSplitter::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

TControl* TSplitter::FindResizedControl() const {
  if (!Parent()) return nullptr;
  const TRect me = BoundsRect();
  TControl* best = nullptr;
  for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    const TRect b = c->BoundsRect();
    bool touches = false;
    switch (Align()) {
      case alLeft:
        touches = b.Right <= me.Left + 1 && b.Right >= me.Left - 1 - c->Margins()->Right() * c->AlignWithMargins();
        break;
      case alRight:
        touches = b.Left >= me.Right - 1 && b.Left <= me.Right + 1 + c->Margins()->Left() * c->AlignWithMargins();
        break;
      case alTop:
        touches = b.Bottom <= me.Top + 1 && b.Bottom >= me.Top - 1 - c->Margins()->Bottom() * c->AlignWithMargins();
        break;
      case alBottom:
        touches = b.Top >= me.Bottom - 1 && b.Top <= me.Bottom + 1 + c->Margins()->Top() * c->AlignWithMargins();
        break;
      default:
        break;
    }
    if (touches) best = c;
  }
  return best;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FControl = FindResizedControl();
  if (!FControl) return;
  FDownPos = Horizontal() ? X + Left() : Y + Top();
  FStartSize = Horizontal() ? FControl->Width() : FControl->Height();
  // What the other aligned controls of this axis leave over, less MinSize
  // kept for the client part.
  Integer used = 0;
  for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == FControl || !c->Visible()) continue;
    if (Horizontal() && (c->Align() == alLeft || c->Align() == alRight)) used += c->Width();
    if (!Horizontal() && (c->Align() == alTop || c->Align() == alBottom)) used += c->Height();
  }
  const Integer extent = Horizontal() ? Parent()->ClientWidth() : Parent()->ClientHeight();
  FMaxSize = std::max(FMinSize, extent - used - FMinSize);
}

void TSplitter::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FControl || !(Shift & ssLeft)) return;
  Integer delta = (Horizontal() ? X + Left() : Y + Top()) - FDownPos;
  if (Align() == alRight || Align() == alBottom) delta = -delta;
  const Integer size = std::clamp(FStartSize + delta, FMinSize, FMaxSize);
  if (Horizontal())
    FControl->SetWidth(size);
  else
    FControl->SetHeight(size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && FControl) {
    FControl = nullptr;
    if (OnMoved) OnMoved(this);
  }
}
