#pragma once
// The status bar on the windowed extension base.
#include "controls/win/OxExControls.h"
#include "vcl/ComCtrls.h"

class TOxExStatusBar : public TOxExWinControl<TStatusBar> {
public:
  using TOxExWinControl<TStatusBar>::TOxExWinControl;
};
