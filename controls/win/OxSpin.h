#pragma once
// The spin edit: a numeric edit with up/down buttons inside its window, at
// the right edge, and a text area narrowed so that typed text never runs
// under them. The value lives in the text (controls/OxSpinModel.h holds the
// rules); the buttons are a system up-down (bkStandard) or a spin button of
// the diagonal or classic style in a small child window.
#include <memory>

#include "controls/OxSpinModel.h"
#include "controls/win/OxExMask.h"
#include "controls/win/OxSpinButton.h"
#include "vcl/ComCtrls.h"

// Posted by the up-down to its edit, the clicked button in lParam; posted
// so that the up-down has finished its own handling first.
inline constexpr UINT CM_OXSPINCLICK = 33926;

// Button width at the resolution of the monitor that shows Window (the
// system's when Window is null).
Integer ScaledSpinButtonWidth(HWND Window);

// A system up-down that never reaches a limit: each arrow click is a click
// event, and the position goes back to 0.
class TOxUpDown : public TUpDown {
public:
  explicit TOxUpDown(TComponent* AOwner);

protected:
  void WndProc(TMessage& Message) override;
  void Resize() override;
  void BeforeDestruction() override;

private:
  bool FChanging = false;
};

class TOxCustomSpinEdit : public TOxExCustomMaskEdit, private IOxSpinEditHost {
public:
  explicit TOxCustomSpinEdit(TComponent* AOwner);
  ~TOxCustomSpinEdit() override;

  double Value() { return FModel.Value(); }
  void SetValue(double X) { FModel.SetValue(X); }
  Int64 AsInteger() { return FModel.AsInteger(); }
  void SetAsInteger(Int64 X) { FModel.SetAsInteger(X); }
  TValueType ValueType() const { return FModel.ValueType(); }
  void SetValueType(TValueType V) { FModel.SetValueType(V); }
  double MinValue() const { return FModel.MinValue(); }
  void SetMinValue(double V) { FModel.SetMinValue(V); }
  double MaxValue() const { return FModel.MaxValue(); }
  void SetMaxValue(double V) { FModel.SetMaxValue(V); }
  bool CheckMinValue() const { return FModel.CheckMinValue(); }
  void SetCheckMinValue(bool V) { FModel.SetCheckMinValue(V); }
  bool CheckMaxValue() const { return FModel.CheckMaxValue(); }
  void SetCheckMaxValue(bool V) { FModel.SetCheckMaxValue(V); }
  TOxCheckOptions CheckOptions() const { return FModel.CheckOptions(); }
  void SetCheckOptions(TOxCheckOptions V) { FModel.SetCheckOptions(V); }
  double Increment() const { return FModel.Increment(); }
  void SetIncrement(double V) { FModel.SetIncrement(V); }
  Byte Decimal() const { return FModel.Decimal(); }
  void SetDecimal(Byte V) { FModel.SetDecimal(V); }
  bool Thousands() const { return FModel.Thousands(); }
  void SetThousands(bool V) { FModel.SetThousands(V); }
  const String& DisplayFormat() const { return FModel.DisplayFormat(); }
  void SetDisplayFormat(const String& V) { FModel.SetDisplayFormat(V); }
  TStrings* Items() const { return FModel.Items(); }
  void SetItems(const TStrings* V) { FModel.SetItems(V); }
  bool EditorEnabled() const { return FModel.EditorEnabled(); }
  void SetEditorEnabled(bool V) { FModel.SetEditorEnabled(V); }
  bool ArrowKeys() const { return FModel.ArrowKeys(); }
  void SetArrowKeys(bool Value);
  // The separators used (the process default unless given; tests pin them).
  void SetFormatSettings(const TFormatSettings* Settings) { FModel.SetFormatSettings(Settings); }

  // Selects the whole text when the edit is entered by keyboard.
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TSpinButtonKind ButtonKind() const { return FButtonKind; }
  void SetButtonKind(TSpinButtonKind Value);
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool Value);

  // After a spin up / spin down (by button, key or wheel).
  TNotifyEvent OnTopClick;
  TNotifyEvent OnBottomClick;

  // Also the spins of the arrow keys and the wheel.
  void SpinUp() override;
  void SpinDown() override;
  void SignalInputError() override { TOxExCustomMaskEdit::SignalInputError(); }
  virtual bool IsValidKeyChar(Char Key) { return FModel.IsValidKeyChar(Key); }

  Integer ScaledButtonWidth() { return ScaledSpinButtonWidth(HandleAllocated() ? FHandle : nullptr); }
  Integer ButtonAreaWidth();
  // The smallest height that shows the font: 4 borders, the text, 1.
  Integer MinimumHeight();
  TOxSpinButton* Button() const { return FButton; }
  TWinControl* ButtonWindow() const { return FBtnWindow; }
  TOxUpDown* UpDown() const { return FUpDown; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void DoEnter() override;
  void DoExit() override;
  void Change() override;
  void Loaded() override;
  void BeforeDestruction() override;
  void NotifyFontChanged() override;
  void NotifyEnabledChanged() override;
  void NotifyBoundsChanged() override;
  void HandleSetFocus(HWND PreviousWindow) override;
  void HandleKillFocus(HWND NextWindow) override;

private:
  // The buttons drawn again over what the edit painted.
  void RepaintButtons();
  // IOxSpinEditHost
  String EditText() override { return Text(); }
  void SetEditText(const String& Value) override { SetText(Value); }
  Integer CaretPos() override { return HandleAllocated() ? SelStart() : 0; }
  void SetCaretPos(Integer Value) override {
    if (HandleAllocated()) SetSelStart(Value);
  }
  bool EditModified() override { return Modified(); }
  void SetEditModified(bool Value) override { SetModified(Value); }
  bool WindowExists() override { return HandleAllocated(); }
  bool OwnerLoading() override { return ComponentState().Contains(csLoading); }
  bool EditReadOnly() override { return ReadOnly(); }
  void FireChange() override { TOxExCustomMaskEdit::Change(); }
  void TopClicked() override {
    if (OnTopClick) OnTopClick(this);
  }
  void BottomClicked() override {
    if (OnBottomClick) OnBottomClick(this);
  }
  void InvalidateEdit() override { Invalidate(); }

  void BuildButtons();
  void FreeButtons();
  void PlaceButtons();
  void ApplyEditRect();

  TOxSpinValueModel FModel{*this};
  bool FAutoSelect = true;
  TAlignment FAlignment = taLeftJustify;
  TSpinButtonKind FButtonKind = bkDiagonal;
  bool FShowButton = true;
  bool FDestroying = false;
  TOxSpinButton* FButton = nullptr;   // owned as a component
  TWinControl* FBtnWindow = nullptr;  // owned as a component
  TOxUpDown* FUpDown = nullptr;       // owned as a component
};

class TOxSpinEdit : public TOxCustomSpinEdit {
public:
  explicit TOxSpinEdit(TComponent* AOwner);
};
