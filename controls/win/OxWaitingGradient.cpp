#include "controls/win/OxWaitingGradient.h"

#include "controls/win/OxOXCLUtils.h"
#include "controls/win/VclControlCanvas.h"

TOxWaitingGradient::TOxWaitingGradient(TComponent* AOwner) : TOxExGraphicControl(AOwner) {
  RegisterOxCursors();
  FControlStyle.Include(csOpaque);
  FBitmap = std::make_unique<TBitmap>();
  FSweep.Resize(Height());
  FScroll = std::make_unique<TOxImageDrawThread>(true);
  FScroll->SetDelay(50);
  FScroll->OnDraw = [this](TObject*) { ScrollStep(); };
  SetParentColor(true);
  SetBounds(Left(), Top(), 100, 10);
}

TOxWaitingGradient::~TOxWaitingGradient() = default;

void TOxWaitingGradient::BeforeDestruction() {
  // The thread goes first, while everything its step touches still exists;
  // freeing it serves a step it may be waiting in, which then does nothing.
  if (FScroll) {
    FScroll->OnDraw = nullptr;
    FScroll->Terminate();
    FScroll.reset();
  }
  FBitmap.reset();
  TOxExGraphicControl::BeforeDestruction();
}

void TOxWaitingGradient::Loaded() {
  TOxExGraphicControl::Loaded();
  BuildGradient();
  if (Active()) FScroll->SetPaused(false);
}

void TOxWaitingGradient::SetActive(bool Value) {
  if (!FScroll) return;
  if (Value) {
    FScroll->SetPaused(false);
    if (FAlwaysRestart) Restart();
  } else {
    FScroll->SetPaused(true);
  }
}

void TOxWaitingGradient::SetGradientWidth(Integer Value) {
  if (FSweep.SetGradientWidth(Value, Height())) BuildGradient();
}

void TOxWaitingGradient::SetStartColor(TColor Value) {
  if (Value == FStartColor) return;
  FStartColor = Value;
  BuildGradient();
}

void TOxWaitingGradient::SetEndColor(TColor Value) {
  if (Value == FEndColor) return;
  FEndColor = Value;
  BuildGradient();
}

void TOxWaitingGradient::Restart() {
  FSweep.Restart();
  BuildGradient();
}

void TOxWaitingGradient::Resize() {
  TOxExGraphicControl::Resize();
  FSweep.Resize(Height());
  BuildGradient();
}

void TOxWaitingGradient::BuildGradient() {
  if (!FBitmap || ComponentState().Contains(csLoading)) return;
  FBitmap->SetSize(FSweep.GradientWidth(), Height());
  if (FBitmap->Width() <= 0 || FBitmap->Height() <= 0) return;
  TVclControlCanvas canvas(*FBitmap->Canvas());
  RenderWaitingBand(canvas, FStartColor, FEndColor, FSweep.FromLeftToRight(), FSweep.GradientWidth(), Height(),
                    Width());
}

void TOxWaitingGradient::ScrollStep() {
  if (ComponentState().Contains(csDestroying)) return;
  if (FSweep.Step(Width())) BuildGradient();
  ++FStepCount;
  RepaintNow();
}

void TOxWaitingGradient::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  // Beside the band: Color on either side of it.
  const Integer offset = FSweep.LeftOffset();
  if (offset > 0) canvas->FillRect(Rect(0, 0, offset, Height()));
  if (FBitmap) {
    const Integer right = FBitmap->Width() + offset;
    if (right < Width()) canvas->FillRect(Rect(right, 0, Width(), Height()));
    if (!FBitmap->Empty()) canvas->CopyRect(FSweep.DestRect(), FBitmap->Canvas(), FSweep.SourceRect());
  }
}
