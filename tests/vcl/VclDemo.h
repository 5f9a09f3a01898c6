#pragma once
// A form built in code the way the program's forms are: a tool panel on
// top, a folder panel on the left with a splitter, a custom-painted chart
// area in the middle and a status panel at the bottom; and a small dialog
// with default and cancel buttons. Used by the tests and by vcl_demo.
#include "vcl/ActnList.h"
#include "vcl/ComCtrls.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

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

// The standard controls as the program's windows use them: a menu bar made
// from actions, connection fields, pages with a rich-text log and its popup
// menu, and a status bar with panels (one drawn by its owner).
class TDemoControlsForm : public TForm {
public:
  explicit TDemoControlsForm(TComponent* AOwner);
  TImageList* Images;
  TActionManager* Actions;
  TAction* aOpen;
  TAction* aSave;
  TAction* aConnect;
  TAction* aQuit;
  TAction* aAbout;
  TActionMainMenuBar* menuMain;
  TPanel* pTop;
  TLabel* lblHost;
  TEdit* edHost;
  TEdit* edPass;
  TCheckBox* cbPassive;
  TComboBox* cbUnit;
  TButton* btnConnect;
  TStatusBar* SBar;
  TPageControl* PageControl1;
  TTabSheet* tsGeneral;
  TTabSheet* tsLog;
  TTabSheet* tsPictures;
  TMemo* meComment;
  TGroupBox* gbMode;
  TRadioButton* rbActive;
  TRadioButton* rbPassive;
  TListBox* lbSites;
  TTrackBar* tbZoom;
  TStaticText* stZoom;
  TRichEdit* meLog;
  TPopupMenu* pmLog;
  TMenuItem* mStopScroll;
  TMenuItem* mClearLog;
  TImage* imgLogo;
  TShape* shpDisk;
  Integer Usage = 40;  // percent shown by the owner-drawn panel
  // Appends a log line in Color, as the program's log pane does.
  void AddLogLine(const String& Text, TColor Color);
};
