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
  FControlStyle += {csSetCaption, csOpaque};
}

// Bevels and border change the room aligned children get.
void TPanel::SetBevelOuter(TBevelCut Value) {
  if (Value != FBevelOuter) FBevelOuter = Value, Realign(), Invalidate();
}
void TPanel::SetBevelInner(TBevelCut Value) {
  if (Value != FBevelInner) FBevelInner = Value, Realign(), Invalidate();
}
void TPanel::SetBevelWidth(Integer Value) {
  if (Value != FBevelWidth && Value > 0) FBevelWidth = Value, Realign(), Invalidate();
}
void TPanel::SetAlignment(TAlignment Value) {
  if (Value != FAlignment) FAlignment = Value, Invalidate();
}
void TPanel::SetShowCaption(bool Value) {
  if (Value != FShowCaption) FShowCaption = Value, Invalidate();
}
void TPanel::SetBorderWidth(Integer Value) {
  if (Value != FBorderWidth && Value >= 0) FBorderWidth = Value, Realign(), Invalidate();
}

void TPanel::AdjustClientRect(TRect& Rect) const {
  TCustomControl::AdjustClientRect(Rect);
  const Integer bevels = (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
  Rect = InsetRect(Rect, FBorderWidth + bevels);
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
  r = {r.Left + FBorderWidth, r.Top + FBorderWidth, r.Right - FBorderWidth, r.Bottom - FBorderWidth};
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
  if (!FControl || !Shift.Contains(ssLeft)) return;
  Integer delta = (Horizontal() ? X + Left() : Y + Top()) - FDownPos;
  if (Align() == alRight || Align() == alBottom) delta = -delta;
  Integer size = std::clamp(FStartSize + delta, FMinSize, FMaxSize);
  if (OnCanResize) {
    bool accept = true;
    OnCanResize(this, size, accept);
    if (!accept) return;
  }
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

// ---------------------------------------------------------------- TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  StoreBounds(0, 0, 105, 105);
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() = default;

void TImage::PictureChanged() {
  if (TGraphic* g = FPicture->Graphic(); g && FTransparent != g->Transparent()) g->SetTransparent(FTransparent);
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  Invalidate();
}

void TImage::SetCenter(bool Value) {
  if (Value != FCenter) FCenter = Value, Invalidate();
}
void TImage::SetStretch(bool Value) {
  if (Value != FStretch) FStretch = Value, Invalidate();
}
void TImage::SetProportional(bool Value) {
  if (Value != FProportional) FProportional = Value, Invalidate();
}
void TImage::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  PictureChanged();
}
void TImage::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  PictureChanged();
}

TRect TImage::DestRect() const {
  Integer w = FPicture->Width();
  Integer h = FPicture->Height();
  const Integer cw = Width();
  const Integer ch = Height();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      // The larger scale that still fits, in integers.
      if (static_cast<Int64>(cw) * h > static_cast<Int64>(ch) * w) {
        w = static_cast<Integer>(static_cast<Int64>(ch) * w / h);
        h = ch;
      } else {
        h = static_cast<Integer>(static_cast<Int64>(cw) * h / w);
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Bounds(0, 0, w, h);
  if (FCenter) r.Offset((cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  const TRect r = DestRect();
  g->Draw(*Canvas(), r);
}

// ---------------------------------------------------------------- TShape

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  StoreBounds(0, 0, 65, 65);
  FPen->OnChange = [this](TObject*) { Invalidate(); };
  FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() = default;

void TShape::SetShape(TShapeType Value) {
  if (Value != FShape) FShape = Value, Invalidate();
}

void TShape::Paint() {
  TCanvas* c = Canvas();
  c->SetPen(FPen.get());
  c->SetBrush(FBrush.get());
  const Integer pw = FPen->Width();
  const Integer half = pw / 2;
  Integer x = half, y = half;
  Integer w = Width() - pw + 1, h = Height() - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
    const Integer side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = h = side;
  }
  switch (FShape) {
    case stRectangle:
    case stSquare:
      c->Rectangle(x, y, x + w, y + h);
      break;
    case stRoundRect:
    case stRoundSquare: {
      const Integer s = std::min(w, h) / 4;
      c->RoundRect(x, y, x + w, y + h, s, s);
      break;
    }
    case stEllipse:
    case stCircle:
      c->Ellipse(x, y, x + w, y + h);
      break;
  }
}
