#pragma once
// A form built in code the way the program's forms are: a tool panel on
// top, a folder panel on the left with a splitter, a custom-painted chart
// area in the middle and a status panel at the bottom; and a small dialog
// with default and cancel buttons. Used by the tests and by vcl_demo.
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

// Draws a few shapes and text; remembers the last mouse press.
class TDemoPaintBox : public TCustomControl {
public:
  explicit TDemoPaintBox(TComponent* AOwner);
  Integer PaintCount = 0;

protected:
  void Paint() override;
};

// A windowless badge, painted and hit-tested by its parent.
class TDemoBadge : public TGraphicControl {
public:
  explicit TDemoBadge(TComponent* AOwner);

protected:
  void Paint() override;
};

// A push button drawn by hand: Default answers Enter, Cancel answers
// Escape, and a click sets the form's ModalResult.
class TDemoButton : public TCustomControl {
public:
  explicit TDemoButton(TComponent* AOwner);
  bool Default = false;
  bool Cancel = false;
  TModalResult ModalResult = mrNone;
  void Click() override;
  void DialogKey(Word& Key, TShiftState Shift, bool& Handled) override;

protected:
  void Paint() override;
};

class TDemoForm : public TForm {
public:
  explicit TDemoForm(TComponent* AOwner);
  TPanel* ToolPanel;
  TPanel* LeftPanel;
  TSplitter* Splitter;
  TDemoBadge* Badge;
  TDemoPaintBox* PaintBox;
  TPanel* StatusPanel;
};

class TDemoDialog : public TForm {
public:
  explicit TDemoDialog(TComponent* AOwner);
  TDemoButton* OkButton;
  TDemoButton* CancelButton;
};
