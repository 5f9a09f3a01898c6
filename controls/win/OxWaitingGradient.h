#pragma once
// The busy bar: a colour band sweeps across the control, reverses at the
// ends and swaps its colours with each reversal. Its own drawing thread
// paces the sweep; every step runs on the user-interface thread. A click
// fires OnClick whether it animates or not.
#include <memory>

#include "controls/OxImageDrawThread.h"
#include "controls/OxWaitingBand.h"
#include "controls/win/OxExControls.h"

class TOxWaitingGradient : public TOxExGraphicControl {
public:
  explicit TOxWaitingGradient(TComponent* AOwner);
  ~TOxWaitingGradient() override;

  // The animation runs (the thread is not paused). A new bar reads True;
  // its thread starts when the bar is loaded or when True is written.
  // Written on the user-interface thread only.
  bool Active() const { return FScroll && !FScroll->Paused(); }
  void SetActive(bool Value);
  // Every activation restarts the sweep from the left.
  bool AlwaysRestart() const { return FAlwaysRestart; }
  void SetAlwaysRestart(bool Value) { FAlwaysRestart = Value; }
  Integer GradientWidth() const { return FSweep.GradientWidth(); }
  // Values of 0 or less are ignored.
  void SetGradientWidth(Integer Value);
  // The band's colour at its trailing and at its leading edge; the next
  // step shows a change.
  TColor StartColor() const { return FStartColor; }
  void SetStartColor(TColor Value);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor Value);
  // Milliseconds between two steps.
  Cardinal Interval() const { return FScroll ? FScroll->Delay() : 0; }
  void SetInterval(Cardinal Value) {
    if (FScroll) FScroll->SetDelay(Value);
  }
  // From the left edge at the next step, in the same direction.
  void Restart();

  // The sweep as it stands (for tests and screenshots).
  const TWaitingBandSweep& Sweep() const { return FSweep; }
  TOxImageDrawThread* DrawThread() const { return FScroll.get(); }
  // Steps drawn since creation.
  Integer StepCount() const { return FStepCount; }

protected:
  void Loaded() override;
  void Paint() override;
  void Resize() override;
  void BeforeDestruction() override;

private:
  void BuildGradient();
  void ScrollStep();

  TWaitingBandSweep FSweep;
  TColor FStartColor = clBtnFace;
  TColor FEndColor = clBlack;
  bool FAlwaysRestart = false;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TOxImageDrawThread> FScroll;
  Integer FStepCount = 0;
};
