#include "controls/win/OxSpinButton.h"

#include <algorithm>
#include <map>
#include <string>

#include "controls/win/OxOXCLUtils.h"
#include "controls/win/OxThemes.h"
#include "rtl/Math.h"

namespace {

// The SPIN class of the visual styles: parts and their states (the same
// numbers for the up and the down part), and the colours of its edges.
constexpr int kSpinUpPart = 1;
constexpr int kSpinDownPart = 2;
constexpr int kStateNormal = 1;
constexpr int kStateHot = 2;
constexpr int kStatePressed = 3;
constexpr int kStateDisabled = 4;
constexpr int kEdgeLightColor = 3804;
constexpr int kBorderColorHint = 3822;
constexpr int kEdgeShadowColor = 3806;

Integer RoundInt(double Value) { return static_cast<Integer>(Round(Value)); }

// Where the diagonal style puts its two arrows (glyph of w x h).
TPoint UpArrowAt(Integer W, Integer H, Integer w, Integer h) {
  return {RoundInt(W / 4.0 - w / 2.0) + 1, RoundInt(H / 4.0 - h / 2.0) + 1};
}
TPoint DownArrowAt(Integer W, Integer H, Integer w, Integer h) {
  return {RoundInt(3.0 * W / 4.0 - w / 2.0) - 1, RoundInt(3.0 * H / 4.0 - h / 2.0) - 1};
}

// Draws Glyph at X, Y with its transparent colour left out; disabled, in
// the embossed style.
void DrawGlyph(TCanvas& Canvas, TBitmap& Glyph, Integer X, Integer Y, bool Enabled) {
  if (Glyph.Empty()) return;
  if (Enabled) {
    Canvas.Draw(X, Y, &Glyph);
    return;
  }
  std::unique_ptr<TBitmap> disabled = RenderDisabledGlyph(Glyph, Glyph.TransparentColor());
  disabled->SetTransparentColor(clBtnFace);
  disabled->SetTransparentMode(tmFixed);
  disabled->SetTransparent(true);
  Canvas.Draw(X, Y, disabled.get());
}

// The classic style's arrow centred in Half (and clipped to it).
void DrawCentredGlyph(TCanvas& Canvas, TBitmap& Glyph, const TRect& Half, bool Enabled, Integer Shift) {
  if (Glyph.Empty()) return;
  HDC dc = Canvas.Handle();
  const TSavedDC saved(dc);
  IntersectClipRect(dc, Half.Left, Half.Top, Half.Right, Half.Bottom);
  DrawGlyph(Canvas, Glyph, Half.Left + (Half.Width() - Glyph.Width()) / 2 + Shift,
            Half.Top + (Half.Height() - Glyph.Height()) / 2 + Shift, Enabled);
}

void Line(HDC DC, Integer X1, Integer Y1, Integer X2, Integer Y2, COLORREF Color) {
  TGdiObject pen(CreatePen(PS_SOLID, 1, Color));
  TSelectGuard select(DC, pen.Get());
  MoveToEx(DC, X1, Y1, nullptr);
  LineTo(DC, X2, Y2);
}

COLORREF Rgb(TColor Color) { return static_cast<COLORREF>(ColorToRGB(Color)); }

}  // namespace

TBitmap& SpinGlyph(const wchar_t* Name) {
  static std::map<std::wstring, std::unique_ptr<TBitmap>> glyphs;
  auto it = glyphs.find(Name);
  if (it != glyphs.end()) return *it->second;
  auto glyph = std::make_unique<TBitmap>();
  try {
    glyph->LoadFromResourceName(GetModuleHandleW(nullptr), reinterpret_cast<const Char*>(Name));
    glyph->SetPixelFormat(pfDevice);
    glyph->SetTransparentColor(clWhite);
    glyph->SetTransparentMode(tmFixed);
    glyph->SetTransparent(true);
  } catch (const Exception&) {
    glyph = std::make_unique<TBitmap>();  // a missing picture draws nothing
  }
  return *glyphs.emplace(Name, std::move(glyph)).first->second;
}

// ---------------------------------------------------------------- TSpinButtonBitmaps

TSpinButtonBitmaps::TSpinButtonBitmaps(TSpinButtonBitmapsManager& Manager, Integer Width, Integer Height,
                                       TOxSpinButtonStyle Style, bool CustomGlyphs)
    : FManager(Manager), FWidth(Width), FHeight(Height), FStyle(Style), FCustomGlyphs(CustomGlyphs) {
  Render();
}

TSpinButtonBitmaps::~TSpinButtonBitmaps() = default;

int TSpinButtonBitmaps::Compare(Integer AWidth, Integer AHeight, TOxSpinButtonStyle AStyle, bool ACustomGlyphs) const {
  if (FWidth != AWidth) return FWidth < AWidth ? -1 : 1;
  if (FHeight != AHeight) return FHeight < AHeight ? -1 : 1;
  if (FStyle != AStyle) return FStyle < AStyle ? -1 : 1;
  if (FCustomGlyphs != ACustomGlyphs) return FCustomGlyphs < ACustomGlyphs ? -1 : 1;
  return 0;
}

void TSpinButtonBitmaps::RemoveClient() {
  if (--FClientCount > 0) return;
  FManager.Remove(this);
  delete this;
}

void TSpinButtonBitmaps::Render() {
  FResetOnDraw = false;
  FIsThemed = StyleServicesEnabled();
  auto make = [this] {
    auto face = std::make_unique<TBitmap>(std::max(FWidth, 0), std::max(FHeight, 0));
    face->Canvas()->Brush()->SetColor(clBtnFace);
    face->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
    return face;
  };
  FTopDownBtn = make();
  FBottomDownBtn = make();
  FNotDownBtn = make();
  FDisabledBtn = make();
  FTopHotBtn.reset();
  FBottomHotBtn.reset();
  if (FWidth <= 0 || FHeight <= 0) return;
  if (FIsThemed) {
    FTopHotBtn = make();
    FBottomHotBtn = make();
    RenderThemed(*FTopDownBtn, kStatePressed, kStateNormal, true);
    RenderThemed(*FBottomDownBtn, kStateNormal, kStatePressed, true);
    RenderThemed(*FNotDownBtn, kStateNormal, kStateNormal, true);
    RenderThemed(*FTopHotBtn, kStateHot, kStateNormal, true);
    RenderThemed(*FBottomHotBtn, kStateNormal, kStateHot, true);
    RenderThemed(*FDisabledBtn, kStateDisabled, kStateDisabled, false);
  } else {
    RenderPlain(*FTopDownBtn, sbTopDown, true);
    RenderPlain(*FBottomDownBtn, sbBottomDown, true);
    RenderPlain(*FNotDownBtn, sbNotDown, true);
    RenderPlain(*FDisabledBtn, sbNotDown, false);
  }
}

void TSpinButtonBitmaps::RenderPlain(TBitmap& Face, TSpinButtonState Pressed, bool Enabled) {
  TCanvas& canvas = *Face.Canvas();
  HDC dc = canvas.Handle();
  const Integer W = FWidth, H = FHeight;
  if (FStyle == sbsClassic) {
    const TRect halves[2] = {Rect(0, 0, W, H / 2), Rect(0, H / 2, W, H)};
    for (int i = 0; i < 2; ++i) {
      const bool down = Pressed == (i == 0 ? sbTopDown : sbBottomDown);
      RECT r{halves[i].Left, halves[i].Top, halves[i].Right, halves[i].Bottom};
      DrawEdge(dc, &r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT);
      if (!FCustomGlyphs)
        DrawCentredGlyph(canvas, SpinGlyph(i == 0 ? L"OxSpinUPPOLE" : L"OxSpinDOWNPOLE"), halves[i], Enabled,
                         down ? 1 : 0);
    }
    return;
  }
  RECT r{0, 0, W, H};
  DrawEdge(dc, &r, Pressed == sbTopDown ? EDGE_SUNKEN : EDGE_RAISED, BF_TOPLEFT | BF_SOFT);
  DrawEdge(dc, &r, Pressed == sbBottomDown ? EDGE_SUNKEN : EDGE_RAISED, BF_BOTTOMRIGHT | BF_SOFT);
  // The diagonal from the bottom-left to the top-right corner, as three
  // adjacent lines, upper to lower.
  TColor colors[3] = {clBtnShadow, cl3DDkShadow, clBtnHighlight};
  if (Pressed == sbTopDown) colors[0] = clBtnFace, colors[1] = clBtnHighlight, colors[2] = clBtnHighlight;
  if (Pressed == sbBottomDown) colors[0] = clBtnShadow, colors[1] = clBtnShadow, colors[2] = clWindowFrame;
  Line(dc, 2, H - 3, W - 2, 1, Rgb(colors[0]));
  Line(dc, 2, H - 2, W - 1, 1, Rgb(colors[1]));
  Line(dc, 3, H - 2, W - 1, 2, Rgb(colors[2]));
  if (FCustomGlyphs) return;
  TBitmap& up = SpinGlyph(L"OxSpinUP");
  TBitmap& down = SpinGlyph(L"OxSpinDOWN");
  TPoint at = UpArrowAt(W, H, up.Width(), up.Height());
  const Integer shift = Pressed == sbTopDown ? 1 : 0;
  DrawGlyph(canvas, up, at.X + shift, at.Y + shift, Enabled);
  at = DownArrowAt(W, H, down.Width(), down.Height());
  DrawGlyph(canvas, down, at.X, at.Y, Enabled);
}

void TSpinButtonBitmaps::RenderThemed(TBitmap& Face, int UpperState, int LowerState, bool Enabled) {
  TThemeData theme(L"SPIN");
  TCanvas& canvas = *Face.Canvas();
  HDC dc = canvas.Handle();
  const Integer W = FWidth, H = FHeight;
  if (FStyle == sbsClassic) {
    // The row between the halves belongs to the upper part when that part
    // is not in its normal state.
    const Integer split = H / 2 + (UpperState != kStateNormal ? 1 : 0);
    const RECT upper{-1, -1, W + 1, H / 2 + 1};
    const RECT lower{-1, H / 2, W + 1, H + 1};
    const RECT upperClip{0, 0, W, split};
    const RECT lowerClip{0, split, W, H};
    theme.DrawBackground(dc, kSpinDownPart, LowerState, lower, &lowerClip);
    theme.DrawBackground(dc, kSpinUpPart, UpperState, upper, &upperClip);
    return;
  }
  // The up part at full size in the upper state and in the lower state,
  // joined along the diagonal.
  const RECT whole{-1, -1, W + 1, H + 1};
  TBitmap lowerFace(W, H);
  lowerFace.Canvas()->Brush()->SetColor(clBtnFace);
  lowerFace.Canvas()->FillRect(Rect(0, 0, W, H));
  theme.DrawBackground(lowerFace.Canvas()->Handle(), kSpinUpPart, LowerState, whole);
  theme.DrawBackground(dc, kSpinUpPart, UpperState, whole);
  const POINT lowerRight[3] = {{W + 1, -1}, {W + 1, H + 1}, {-1, H + 1}};
  {
    const TGdiObject region(CreatePolygonRgn(lowerRight, 3, ALTERNATE));
    const TSavedDC saved(dc);
    SelectClipRgn(dc, static_cast<HRGN>(region.Get()));
    BitBlt(dc, 0, 0, W, H, lowerFace.Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  // The seam: light, border hint and shadow lines along the diagonal.
  const Integer L = 1, T = 1, R = W - 1, B = H - 1;
  Line(dc, L, B - 2, R - 1, T - 1, theme.Color(kSpinUpPart, kStateNormal, kEdgeLightColor, Rgb(clBtnHighlight)));
  Line(dc, R - 1, T, L, B - 1, theme.Color(kSpinUpPart, kStateNormal, kBorderColorHint, Rgb(clBtnShadow)));
  Line(dc, L + 1, B - 1, R, T, theme.Color(kSpinUpPart, kStateNormal, kEdgeShadowColor, Rgb(cl3DDkShadow)));
  if (FCustomGlyphs) return;
  TBitmap& up = SpinGlyph(L"OxSpinUP");
  TBitmap& down = SpinGlyph(L"OxSpinDOWN");
  const TPoint upAt = UpArrowAt(W, H, up.Width(), up.Height());
  const TPoint downAt = DownArrowAt(W, H, down.Width(), down.Height());
  DrawGlyph(canvas, up, upAt.X, upAt.Y, Enabled);
  DrawGlyph(canvas, down, downAt.X, downAt.Y, Enabled);
}

void TSpinButtonBitmaps::Draw(TCanvas& Canvas, TSpinButtonState Down, bool Enabled, bool MouseInTopBtn,
                              bool MouseInBottomBtn) {
  if (FResetOnDraw) Render();
  TBitmap* face = FNotDownBtn.get();
  if (!Enabled) {
    face = FDisabledBtn.get();
  } else if (Down == sbTopDown) {
    face = FTopDownBtn.get();
  } else if (Down == sbBottomDown) {
    face = FBottomDownBtn.get();
  } else if (FIsThemed && MouseInTopBtn && FTopHotBtn) {
    face = FTopHotBtn.get();
  } else if (FIsThemed && MouseInBottomBtn && FBottomHotBtn) {
    face = FBottomHotBtn.get();
  }
  Canvas.Draw(0, 0, face);
}

void TSpinButtonBitmaps::DrawGlyphs(TCanvas& Canvas, TSpinButtonState State, bool Enabled, TBitmap* UpArrow,
                                    TBitmap* DownArrow) {
  if (FIsThemed && FStyle != sbsDefault) return;  // the themed halves carry their own arrows
  const Integer W = FWidth, H = FHeight;
  if (FStyle == sbsClassic) {
    if (UpArrow) DrawCentredGlyph(Canvas, *UpArrow, Rect(0, 0, W, H / 2), Enabled, State == sbTopDown ? 1 : 0);
    if (DownArrow) DrawCentredGlyph(Canvas, *DownArrow, Rect(0, H / 2, W, H), Enabled, State == sbBottomDown ? 1 : 0);
    return;
  }
  if (UpArrow && !UpArrow->Empty()) {
    TPoint at = UpArrowAt(W, H, UpArrow->Width(), UpArrow->Height());
    const Integer shift = !FIsThemed && State == sbTopDown ? 1 : 0;
    DrawGlyph(Canvas, *UpArrow, at.X + shift, at.Y + shift, Enabled);
  }
  if (DownArrow && !DownArrow->Empty()) {
    const TPoint at = DownArrowAt(W, H, DownArrow->Width(), DownArrow->Height());
    DrawGlyph(Canvas, *DownArrow, at.X, at.Y, Enabled);
  }
}

// ---------------------------------------------------------------- TSpinButtonBitmapsManager

TSpinButtonBitmapsManager* TSpinButtonBitmapsManager::FShared = nullptr;

TSpinButtonBitmapsManager& TSpinButtonBitmapsManager::AddClient() {
  if (!FShared) FShared = new TSpinButtonBitmapsManager();
  ++FShared->FClientCount;
  return *FShared;
}

void TSpinButtonBitmapsManager::RemoveClient() {
  if (--FClientCount > 0) return;
  if (FShared == this) FShared = nullptr;
  delete this;
}

TSpinButtonBitmapsManager::~TSpinButtonBitmapsManager() {
  // Every button releases its set before it leaves; whatever is left over
  // goes with the manager.
  const std::vector<TSpinButtonBitmaps*> left = std::move(FList);
  for (TSpinButtonBitmaps* set : left) delete set;
}

void TSpinButtonBitmapsManager::Remove(TSpinButtonBitmaps* Set) {
  FList.erase(std::remove(FList.begin(), FList.end(), Set), FList.end());
}

TSpinButtonBitmaps* TSpinButtonBitmapsManager::WantButtons(Integer Width, Integer Height, TOxSpinButtonStyle Style,
                                                           bool CustomGlyphs) {
  auto it = std::lower_bound(FList.begin(), FList.end(), 0, [&](TSpinButtonBitmaps* Set, int) {
    return Set->Compare(Width, Height, Style, CustomGlyphs) < 0;
  });
  if (it != FList.end() && (*it)->Compare(Width, Height, Style, CustomGlyphs) == 0) return *it;
  auto set = std::make_unique<TSpinButtonBitmaps>(*this, Width, Height, Style, CustomGlyphs);
  TSpinButtonBitmaps* result = set.release();
  FList.insert(it, result);
  return result;
}

// ---------------------------------------------------------------- TOxSpinButton

TOxSpinButton::TOxSpinButton(TComponent* AOwner)
    : TOxExGraphicControl(AOwner), FUpGlyph(std::make_unique<TBitmap>()), FDownGlyph(std::make_unique<TBitmap>()) {
  RegisterOxCursors();
  FUpGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
  FDownGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
  SetBounds(Left(), Top(), 20, 20);
  TSpinButtonBitmapsManager::AddClient();
  FRegistered = true;
}

TOxSpinButton::~TOxSpinButton() = default;

void TOxSpinButton::BeforeDestruction() {
  ReleaseButtons();
  if (FRegistered) {
    FRegistered = false;
    if (TSpinButtonBitmapsManager* manager = TSpinButtonBitmapsManager::Shared()) manager->RemoveClient();
  }
  SetFocusControl(nullptr);
  TOxExGraphicControl::BeforeDestruction();
}

void TOxSpinButton::ReleaseButtons() {
  if (!FButtonBitmaps) return;
  TSpinButtonBitmaps* set = FButtonBitmaps;
  FButtonBitmaps = nullptr;
  set->RemoveClient();
}

void TOxSpinButton::SetButtonStyle(TOxSpinButtonStyle Value) {
  if (Value == FButtonStyle) return;
  FButtonStyle = Value;
  ReleaseButtons();
  Invalidate();
}

void TOxSpinButton::SetUpGlyph(TBitmap* Value) {
  if (Value)
    FUpGlyph->Assign(Value);
  else
    FUpGlyph->SetSize(0, 0);
  GlyphChanged(FUpGlyph.get());
}

void TOxSpinButton::SetDownGlyph(TBitmap* Value) {
  if (Value)
    FDownGlyph->Assign(Value);
  else
    FDownGlyph->SetSize(0, 0);
  GlyphChanged(FDownGlyph.get());
}

void TOxSpinButton::GlyphChanged(TObject* Sender) {
  if (FGlyphChanging) return;
  FGlyphChanging = true;
  if (auto* bitmap = dynamic_cast<TBitmap*>(Sender)) bitmap->SetTransparent(true);
  FGlyphChanging = false;
  ReleaseButtons();
  Invalidate();
}

void TOxSpinButton::SetFocusControl(TWinControl* Value) {
  AssignComponentReference<TWinControl>(this, Value, FFocusControl);
}

void TOxSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
  TOxExGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TOxSpinButton::SetDown(TSpinButtonState Value) {
  if (Value == FDown) return;
  FDown = Value;
  RepaintNow();
}

void TOxSpinButton::Resize() {
  TOxExGraphicControl::Resize();
  ReleaseButtons();
}

void TOxSpinButton::NotifySysColorChanged() {
  TOxExGraphicControl::NotifySysColorChanged();
  if (FButtonBitmaps) FButtonBitmaps->Reset();
}

bool TOxSpinButton::HoldsCapture() const {
  return GetCaptureControl() == this && Parent() && Parent()->HandleAllocated() && GetCapture() == Parent()->Handle();
}

void TOxSpinButton::AfterClick() {
  // A handler that opened a dialog took the mouse away: the button is
  // released, not left pressed.
  if (!HoldsCapture()) FDown = sbNotDown;
}

void TOxSpinButton::TopClick() {
  if (OnTopClick) OnTopClick(this);
  AfterClick();
}

void TOxSpinButton::BottomClick() {
  if (OnBottomClick) OnBottomClick(this);
  AfterClick();
}

void TOxSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TOxExGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
    FFocusControl->SetFocus();
  if (FDown == sbNotDown) {
    if (SpinButtonHalfAt(FButtonStyle, Width(), Height(), X, Y) == sbBottomDown) {
      FDown = sbBottomDown;
      BottomClick();
    } else {
      FDown = sbTopDown;
      TopClick();
    }
    if (FDown != FLastDown) {
      FLastDown = FDown;
      RepaintNow();
    }
    if (!FRepeatTimer) FRepeatTimer = new TTimer(this);
    FRepeatTimer->OnTimer = [this](TObject*) { RepeatTick(); };
    FRepeatTimer->SetInterval(static_cast<Cardinal>(std::max(FInitRepeatPause, 1)));
    FRepeatTimer->SetEnabled(true);
  }
  FDragging = true;
}

void TOxSpinButton::RepeatTick() {
  FRepeatTimer->SetInterval(static_cast<Cardinal>(std::max(FRepeatPause, 1)));
  if (FDown == sbNotDown || !HoldsCapture()) return;
  try {
    if (FDown == sbTopDown)
      TopClick();
    else
      BottomClick();
  } catch (...) {
    FRepeatTimer->SetEnabled(false);
    throw;
  }
}

void TOxSpinButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TOxExGraphicControl::MouseMove(Shift, X, Y);
  if (FDragging) {
    if (X >= 0 && X <= Width() && Y >= 0 && Y <= Height()) {
      const TSpinButtonState half = SpinButtonHalfAt(FButtonStyle, Width(), Height(), X, Y);
      SetDown(half == FLastDown ? half : sbNotDown);
    } else {
      SetDown(sbNotDown);
    }
    return;
  }
  if ((FMouseInTopBtn || FMouseInBottomBtn) && FButtonBitmaps && FButtonBitmaps->IsThemed()) {
    const bool top = SpinButtonHalfAt(FButtonStyle, Width(), Height(), X, Y) == sbTopDown;
    if (top != FMouseInTopBtn) {
      FMouseInTopBtn = top;
      FMouseInBottomBtn = !top;
      RepaintNow();
    }
  }
}

void TOxSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TOxExGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  if (X >= 0 && X <= Width() && Y >= 0 && Y <= Height()) {
    FDown = FLastDown = sbNotDown;
    RepaintNow();
  }
}

void TOxSpinButton::NotifyMouseEnter() {
  if (!ComponentState().Contains(csDesigning) && !FMouseInTopBtn && !FMouseInBottomBtn) {
    POINT p;
    GetCursorPos(&p);
    const TPoint at = ScreenToClient({p.x, p.y});
    const bool top = SpinButtonHalfAt(FButtonStyle, Width(), Height(), at.X, at.Y) == sbTopDown;
    FMouseInTopBtn = top;
    FMouseInBottomBtn = !top;
    if (StyleServicesEnabled()) RepaintNow();
  }
  TOxExGraphicControl::NotifyMouseEnter();
}

void TOxSpinButton::NotifyMouseLeave() {
  if (FMouseInTopBtn || FMouseInBottomBtn) {
    FMouseInTopBtn = FMouseInBottomBtn = false;
    if (StyleServicesEnabled()) RepaintNow();
  }
  TOxExGraphicControl::NotifyMouseLeave();
}

void TOxSpinButton::Paint() {
  if (FButtonBitmaps && (FButtonBitmaps->Width() != Width() || FButtonBitmaps->Height() != Height())) ReleaseButtons();
  if (!FButtonBitmaps) {
    if (TSpinButtonBitmapsManager* manager = TSpinButtonBitmapsManager::Shared()) {
      FButtonBitmaps = manager->WantButtons(Width(), Height(), FButtonStyle, HasCustomGlyphs());
      FButtonBitmaps->AddClient();
    }
  }
  if (!Enabled()) FDragging = false;
  if (!FButtonBitmaps) return;
  FButtonBitmaps->Draw(*Canvas(), FDown, Enabled(), FMouseInTopBtn, FMouseInBottomBtn);
  if (HasCustomGlyphs()) FButtonBitmaps->DrawGlyphs(*Canvas(), FDown, Enabled(), FUpGlyph.get(), FDownGlyph.get());
}
