#pragma once
// Windows only. The tree's hints: what to show for the point under the
// mouse (the header's column hints and cut-off captions, the control's
// hint, node hints, and tooltips for cell texts their column cuts off) and
// the window that measures and paints them.
#include "treeview/VastTreeControl_win.h"
#include "vcl/Forms.h"

class TVastTreeHintWindow : public THintWindow {
public:
  explicit TVastTreeHintWindow(TComponent* AOwner);
  TRect CalcHintRect(Integer MaxWidth, const String& Hint, const void* Data) override;
  // Moves over the header and arrow keys keep the hint up.
  bool IsHintMsg(const MSG& Msg) override;
  const TVTHintData& HintData() const { return FHintData; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

private:
  TRect MeasureHint(Integer MaxWidth);
  TVTHintData FHintData;
  Integer FTextHeight = 0;
};
