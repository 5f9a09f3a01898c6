#include "controls/win/VivProgressBar.h"

#include <algorithm>

#include "controls/win/OxExControls.h"
#include "controls/win/VclControlCanvas.h"
#include "rtl/Math.h"
#include "vcl/Forms.h"

namespace {
constexpr Cardinal kVersionNumber = 0x01030100;
}

TVivProgressBar::TVivProgressBar(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csOpaque);
  FLook.Font.Name = u"Verdana";
  Font()->SetName(u"Verdana");
  Font()->SetSize(10);
  SetBounds(Left(), Top(), 128, 18);
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(static_cast<Cardinal>(FInfiniteInterval));
  FTimer->OnTimer = [this](TObject*) { InfiniteTimerStep(); };
}

TVivProgressBar::~TVivProgressBar() = default;

String TVivProgressBar::Version() const {
  String out;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (!out.empty()) out += u'.';
    const unsigned part = (kVersionNumber >> shift) & 0xFF;
    for (char c : std::to_string(part)) out += static_cast<Char>(c);
  }
  return out;
}

void TVivProgressBar::FontChanged() { Invalidate(); }

void TVivProgressBar::SetMin(Integer Value) {
  FPosition.SetMin(Value);
  Invalidate();
}

void TVivProgressBar::SetMax(Integer Value) {
  FPosition.SetMax(Value);
  Invalidate();
}

void TVivProgressBar::SetPosition(Integer Value) {
  const bool textShowsValue = FLook.ShowPosition && (!FLook.ShowPercentage || !FLook.Format.empty());
  if (FPosition.SetPosition(Value, textShowsValue)) RepaintNow();
}

void TVivProgressBar::StepUp() { SetPosition(FPosition.NextUp()); }

void TVivProgressBar::StepDown() {
  if (FPosition.Position() > FPosition.Min()) SetPosition(FPosition.NextDown());
}

void TVivProgressBar::UpdateTimer() { FTimer->SetEnabled(FLook.Infinite && FAnimated); }

void TVivProgressBar::SetAnimated(bool Value) {
  FAnimated = Value;
  UpdateTimer();
  Invalidate();
}

void TVivProgressBar::SetInfinite(bool Value) {
  FLook.Infinite = Value;
  UpdateTimer();
  if (Value) FSweep.Pos = 0;
  Invalidate();
}

void TVivProgressBar::SetInfiniteInterval(Integer Value) {
  FInfiniteInterval = Value;
  FTimer->SetInterval(static_cast<Cardinal>(std::max(Value, 0)));
}

void TVivProgressBar::InfiniteTimerStep() {
  FSweep.Step();
  RepaintNow();
}

void TVivProgressBar::RepaintNow() { PaintGraphicControlNow(*this); }

float TVivProgressBar::GaugeScaleFactor() const {
  auto* form = dynamic_cast<TForm*>(GetParentForm(this));
  if (!form || !form->Scaled() || !Screen || form->PixelsPerInch() <= 0) return 1.0f;
  return static_cast<float>(Screen->PixelsPerInch()) / static_cast<float>(form->PixelsPerInch());
}

std::unique_ptr<TBitmap> TVivProgressBar::RenderGauge() {
  const TRect r = ClientRect();
  const float scale = GaugeScaleFactor();
  TGaugeSettings settings = FLook;
  settings.Font = ControlFontOf(*Font());
  settings.Font.Height = static_cast<Integer>(Round(settings.Font.Height * scale));
  settings.Position = FPosition.Percentage();
  settings.Value = FPosition.Position();
  settings.Max = FPosition.Max();
  settings.InfinitePos = FSweep.Pos;
  auto bitmap = std::make_unique<TBitmap>(std::max(0, r.Width()), std::max(0, r.Height()));
  if (bitmap->Width() > 0 && bitmap->Height() > 0) {
    TVclControlCanvas canvas(*bitmap->Canvas());
    DrawProgressGauge(canvas, r, settings, scale);
  }
  if (FLook.Rounded) {
    // The corners outside the rounded frame were filled with the corner
    // colour, which the bottom-left pixel now holds.
    bitmap->SetTransparentColor(GaugeCornerColor);
    bitmap->SetTransparentMode(tmAuto);
    bitmap->SetTransparent(true);
  }
  return bitmap;
}

void TVivProgressBar::Paint() {
  if (!Visible() || !Parent()) return;
  std::unique_ptr<TBitmap> bitmap = RenderGauge();
  Canvas()->Draw(0, 0, bitmap.get());
  ++FPaintCount;
}

void TVivProgressBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 0;
    return;
  }
  TGraphicControl::WndProc(Message);
}
