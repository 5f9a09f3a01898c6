#pragma once
// Standard controls: the label painted by its parent, and the native
// STATIC, EDIT, BUTTON, COMBOBOX and LISTBOX windows wrapped. Each keeps its
// state in the object (text, checks, items, selection), so a control works
// before its window exists and survives RecreateWnd; notifications come back
// reflected (CN_COMMAND) and fire the events.
#include <memory>

#include "rtl/StringList.h"
#include "vcl/ActnList.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };

// ---------------------------------------------------------------- label

class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent* AOwner);
  ~TCustomLabel() override;
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  // Transparent: the parent shows through; else the label fills with Color.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // '&' marks the hot key: Alt + that letter focuses FocusControl.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  // Fits the bounds to the text now (also done on every change while AutoSize).
  void AdjustBounds();

protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

private:
  UINT DrawFlags() const;
  bool FAutoSize = true;
  bool FWordWrap = false;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;  // not owned; free notification
  int FShortCutId = 0;
  TCustomForm* FShortCutForm = nullptr;  // not owned
};

class TLabel : public TCustomLabel {
public:
  using TCustomLabel::TCustomLabel;
};

// ---------------------------------------------------------------- static text

enum TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TStaticText : public TWinControl {
public:
  explicit TStaticText(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TStaticBorderStyle Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void TextChanged() override;
  void FontChanged() override;

private:
  void AdjustBounds();
  TAlignment FAlignment = taLeftJustify;
  TStaticBorderStyle FBorderStyle = sbsNone;
  bool FAutoSize = true;
  bool FShowAccelChar = true;
};

// ---------------------------------------------------------------- edits

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* AOwner);
  // 0: no limit (the system's own, raised to the largest it allows).
  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // 0: text shown as typed; else every character is shown as this one.
  Char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(Char Value);
  // Only the digits 0-9 can be typed.
  bool NumbersOnly() const { return FNumbersOnly; }
  void SetNumbersOnly(bool Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  const String& TextHint() const { return FTextHint; }
  void SetTextHint(const String& Value);
  bool Modified() const;
  void SetModified(bool Value);

  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  String SelText();
  void SetSelText(const String& Value);
  void SelectAll();
  void Clear() { SetText(String()); }

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  // The text changed (typed or set): fires OnChange.
  virtual void Change();
  virtual void ApplyTextLimit();

private:
  Integer FMaxLength = 0;
  bool FReadOnly = false;
  Char FPasswordChar = 0;
  bool FNumbersOnly = false;
  TEditCharCase FCharCase = ecNormal;
  String FTextHint;
  bool FModified = false;
  Integer FSelStart = 0;
  Integer FSelLength = 0;
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
};

// Multi-line text, one string per line in Lines (CR LF between them).
class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(const TStrings* Value) { FLines->Assign(Value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  std::unique_ptr<TStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
  TAlignment FAlignment = taLeftJustify;
};

class TMemo : public TCustomMemo {
public:
  using TCustomMemo::TCustomMemo;
};

// ---------------------------------------------------------------- buttons

// A control that an action can drive: caption, hint, enabled, visible (and
// checked, for the check boxes) follow the action; a click runs it unless
// OnClick is set.
class TButtonControl : public TWinControl {
public:
  explicit TButtonControl(TComponent* AOwner);
  TBasicAction* Action() const { return FActionLink.Action(); }
  void SetAction(TBasicAction* Value) { FActionLink.SetAction(Value); }
  void Click() override;

protected:
  virtual void ActionChanged();
  void BeforeDestruction() override;

private:
  TActionLink FActionLink;
};

class TButton : public TButtonControl {
public:
  explicit TButton(TComponent* AOwner);
  // Default answers Enter and is drawn as the default push button; Cancel
  // answers Escape.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Sets the form's ModalResult, then clicks.
  void Click() override;
  void DialogKey(Word& Key, TShiftState Shift, bool& Handled) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
public:
  explicit TCustomCheckBox(TComponent* AOwner);
  bool Checked() const { return FState == cbChecked; }
  // A change of state clicks the box (OnClick), as a user's click does.
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  // taRightJustify (default): the text is right of the box.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // A caption too long for one line goes on over several.
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void ActionChanged() override;

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
  bool FWordWrap = false;
};

class TCheckBox : public TCustomCheckBox {
public:
  using TCustomCheckBox::TCustomCheckBox;
};

// Checking one unchecks the other radio buttons of the same parent.
class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent* AOwner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;

private:
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

class TGroupBox : public TWinControl {
public:
  explicit TGroupBox(TComponent* AOwner);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
};

// ---------------------------------------------------------------- lists

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// Shared by the combo box and the list box: Items live in a string list and
// the window is refilled when they change.
class TCustomListControl : public TWinControl {
public:
  explicit TCustomListControl(TComponent* AOwner);
  ~TCustomListControl() override;
  TStrings* Items() const { return FItems.get(); }
  void SetItems(const TStrings* Value) { FItems->Assign(Value); }
  // -1: nothing selected. Setting it fires no event.
  Integer ItemIndex() const { return FItemIndex; }
  virtual void SetItemIndex(Integer Value);
  void Clear() { FItems->Clear(); }

protected:
  void CreateWnd() override;
  // Message numbers of the window class.
  virtual UINT ResetMessage() const = 0;
  virtual UINT AddMessage() const = 0;
  virtual UINT SetCurSelMessage() const = 0;
  virtual UINT GetCurSelMessage() const = 0;
  void FillWindow();
  void ReadSelection();
  Integer FItemIndex = -1;

private:
  std::unique_ptr<TStringList> FItems;
};

class TCustomComboBox : public TCustomListControl {
public:
  explicit TCustomComboBox(TComponent* AOwner);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  Integer DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(Integer Value);
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  // Text() is the edit part's text (the selected item's for csDropDownList).
  void SetItemIndex(Integer Value) override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  // A selection by the user, or typing in the edit part.
  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  virtual void Change();
  virtual void Select();
  UINT ResetMessage() const override { return CB_RESETCONTENT; }
  UINT AddMessage() const override { return CB_ADDSTRING; }
  UINT SetCurSelMessage() const override { return CB_SETCURSEL; }
  UINT GetCurSelMessage() const override { return CB_GETCURSEL; }
  String GetText() const override;

private:
  Integer DropHeight() const;
  TComboBoxStyle FStyle = csDropDown;
  Integer FDropDownCount = 8;
};

class TComboBox : public TCustomComboBox {
public:
  using TCustomComboBox::TCustomComboBox;
};

class TCustomListBox : public TCustomListControl {
public:
  explicit TCustomListBox(TComponent* AOwner);
  Integer TopIndex();
  void SetTopIndex(Integer Value);
  Integer ItemHeight();

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  UINT ResetMessage() const override { return LB_RESETCONTENT; }
  UINT AddMessage() const override { return LB_ADDSTRING; }
  UINT SetCurSelMessage() const override { return LB_SETCURSEL; }
  UINT GetCurSelMessage() const override { return LB_GETCURSEL; }
};

class TListBox : public TCustomListBox {
public:
  using TCustomListBox::TCustomListBox;
};
