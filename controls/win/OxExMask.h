#pragma once
// The edit on the windowed extension base: clipboard commands that can be
// switched off, a beep for refused input, and a text hint painted by the
// control itself where the system does not draw it.
#include "controls/OxTypes.h"
#include "controls/win/OxExControls.h"
#include "vcl/StdCtrls.h"

class TOxExCustomMaskEdit : public TOxExWinControl<TCustomEdit> {
  using Inherited = TOxExWinControl<TCustomEdit>;

public:
  explicit TOxExCustomMaskEdit(TComponent* AOwner);

  // Cut, copy, paste, clear and undo reach the edit only when listed;
  // a blocked one answers 1 and does nothing.
  TOxClipboardCommands ClipboardCommands() const { return FClipboardCommands; }
  virtual void SetClipboardCommands(TOxClipboardCommands Value) { FClipboardCommands = Value; }
  bool BeepOnError() const { return FBeepOnError; }
  virtual void SetBeepOnError(bool Value) { FBeepOnError = Value; }

  // The grey text shown while the edit is empty and not focused.
  const String& TextHint() const { return FTextHint; }
  void SetTextHint(const String& Value);
  // Whether this control paints the text hint itself (the system does from
  // Windows XP on, with visual styles).
  bool PaintsTextHint() const { return FPaintsTextHint; }

  // Refused input: a beep when BeepOnError.
  virtual void SignalInputError();

protected:
  // Input the edit cannot accept: a beep and an EOXCLException, both only
  // while FRaiseException is set (a descendant that reports the fault its
  // own way clears it).
  virtual void ValidateError();

  void WndProc(TMessage& Message) override;
  void HandleSetFocus(HWND PreviousWindow) override;
  void HandleKillFocus(HWND NextWindow) override;

  bool FRaiseException = true;

private:
  bool HintWouldShow();
  void PaintTextHint();

  TOxClipboardCommands FClipboardCommands = AllClipboardCommands;
  bool FBeepOnError = true;
  String FTextHint;
  bool FPaintsTextHint = false;
};
