#pragma once
// The main window's connection fields and status bar as the program builds
// them: the port and allowance spin edits (1..65534, digit grouping), and
// the status bar with four panels hosting the usage bar and the busy bar
// over its second panel. A simulated scan switches between the two bars.
// Used by the tests and by controls_demo.
#include "controls/win/OxSpin.h"
#include "controls/win/OxStatusBar.h"
#include "controls/win/OxWaitingGradient.h"
#include "controls/win/VivProgressBar.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TControlsDemoForm : public TForm {
public:
  explicit TControlsDemoForm(TComponent* AOwner);

  TLabel* lblPort;
  TOxSpinEdit* sePort;
  TLabel* lblDispo;
  TOxSpinEdit* seDispo;
  TComboBox* cbUnite;
  TButton* btnConnexion;
  TOxStatusBar* SBar;
  TVivProgressBar* pbOccupe;
  TOxWaitingGradient* Wait;

  // What the scan does to the status bar: the busy bar runs while it
  // lasts, the usage bar shows the share used when it ends.
  void StartScan();
  void EndScan(Integer Percent);
  Integer Cancelled = 0;  // clicks on the busy bar
  Integer AllowanceChanges = 0;

private:
  void SpinEdit(TOxSpinEdit* Edit, const String& Name, Integer Left, double Value);
};
