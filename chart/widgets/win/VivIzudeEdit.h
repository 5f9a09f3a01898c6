#pragma once
// The typed edit: a single-line edit that takes only the characters of its
// edit type, formats numbers by a precision, keeps its own modified flag and
// shows suggestions from a lookup list under itself in a popup. The edit
// button puts such an edit beside a drop-down button that opens any control
// in a popup. The rules that need no window are in VivIzudeEditRules.h.
#include <functional>
#include <memory>
#include <vector>

#include "chart/widgets/VivIzudeEditRules.h"
#include "chart/widgets/win/VivIzudeCustomControl.h"
#include "chart/widgets/win/VivIzudePopup.h"
#include "rtl/StringList.h"
#include "vcl/StdCtrls.h"

class TVivIzudeToolBarDropDownButton;

using TVivIzudeEditLookupSelectEvent = std::function<void(TObject* Sender, String& Value)>;
using TVivIzudeEditLookupIndexSelectEvent = std::function<void(TObject* Sender, Integer Index, String& Value)>;
using TVivIzudeEditLookupNeedDataEvent =
    std::function<void(TObject* Sender, const String& Value, TStrings* List, Integer& ItemIndex)>;

// One shown suggestion: the index of its display-list entry (-1 for one a
// need-data handler added).
class TVivLookupListBoxItem : public TObject {
public:
  explicit TVivLookupListBoxItem(Integer AIdx) : FIdx(AIdx) {}
  Integer Idx() const { return FIdx; }

private:
  Integer FIdx;
};
using TVivLookupList = std::vector<std::unique_ptr<TVivLookupListBoxItem>>;

class TVivIzudeEditLookupSettings : public TPersistent {
public:
  TVivIzudeEditLookupSettings();
  void Assign(TPersistent* Source) override;
  // Sorted, duplicates ignored.
  TStringList* DisplayList() const { return FDisplayList.get(); }
  void SetDisplayList(const TStrings* Value) { FDisplayList->Assign(Value); }
  TStringList* ValueList() const { return FValueList.get(); }
  void SetValueList(const TStrings* Value) { FValueList->Assign(Value); }
  Integer DisplayCount() const { return FDisplayCount; }
  void SetDisplayCount(Integer Value) { FDisplayCount = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  // Values below 1 are ignored.
  Integer NumChars() const { return FNumChars; }
  void SetNumChars(Integer Value) {
    if (Value >= 1) FNumChars = Value;
  }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  bool History() const { return FHistory; }
  void SetHistory(bool Value) { FHistory = Value; }
  bool Multi() const { return FMulti; }
  void SetMulti(bool Value) { FMulti = Value; }
  Char Separator() const { return FSeparator; }
  void SetSeparator(Char Value) { FSeparator = Value; }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value) { FHeight = Value; }
  Integer MinimumWidth() const { return FMinimumWidth; }
  void SetMinimumWidth(Integer Value) { FMinimumWidth = Value; }
  Integer MinimumHeight() const { return FMinimumHeight; }
  void SetMinimumHeight(Integer Value) { FMinimumHeight = Value; }
  bool UseValueList() const { return FUseValueList; }
  void SetUseValueList(bool Value) { FUseValueList = Value; }

private:
  std::unique_ptr<TStringList> FDisplayList, FValueList;
  Integer FDisplayCount = 4;
  bool FEnabled = false;
  Integer FNumChars = 2;
  bool FCaseSensitive = false;
  bool FHistory = false;
  bool FMulti = false;
  Char FSeparator = u';';
  Integer FWidth = 0, FHeight = 0, FMinimumWidth = 0, FMinimumHeight = 0;
  bool FUseValueList = true;
};

class TVivIzudeEdit : public TCustomEdit {
  using Inherited = TCustomEdit;

public:
  explicit TVivIzudeEdit(TComponent* AOwner);
  ~TVivIzudeEdit() override;

  virtual String GetVersion() const;
  String Version() const { return GetVersion(); }
  // The text goes through the type's rules and clears Modified.
  virtual String Text() const;
  virtual void SetText(const String& Value);
  virtual Integer GetCaretPosition();
  virtual void SetCaretPosition(Integer APos);

  bool AllowFocus() const { return FAllowFocus; }
  void SetAllowFocus(bool Value) { FAllowFocus = Value; }
  bool CanFocus() const override;
  TVivIzudeEditType EditType() const { return FEditType; }
  void SetEditType(TVivIzudeEditType Value);
  const String& ValidChars() const { return FValidChars; }
  void SetValidChars(const String& Value) { FValidChars = Value; }
  TVivIzudePopup* LookupList() const { return FLookupList; }
  TListBox* LookupListbox() const { return FLookupListBox; }
  TVivIzudeEditLookupSettings* Lookup() const { return FLookup.get(); }
  void SetLookup(TVivIzudeEditLookupSettings* Value) { FLookup->Assign(Value); }
  // The edit's own flag: set by typing and by number writes, cleared by
  // every Text assignment.
  bool Modified() const { return FIsModified; }
  void SetModified(bool Value);
  SmallInt LengthLimit() const { return FLengthLimit; }
  void SetLengthLimit(SmallInt Value) { FLengthLimit = Value; }
  bool FullTextSearch() const { return FFullTextSearch; }
  void SetFullTextSearch(bool Value) { FFullTextSearch = Value; }
  bool AutoThousandSeparator() const { return FAutoThousandSeparator; }
  void SetAutoThousandSeparator(bool Value);
  SmallInt Precision() const { return FPrecision; }
  void SetPrecision(SmallInt Value);
  TVivIzudeEditPrecisionDisplay PrecisionDisplay() const { return FPrecisionDisplay; }
  void SetPrecisionDisplay(TVivIzudeEditPrecisionDisplay Value);
  bool AllowNumericNullValue() const { return FAllowNumericNullValue; }
  void SetAllowNumericNullValue(bool Value) { FAllowNumericNullValue = Value; }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }

  double FloatValue() const;
  void SetFloatValue(double Value);
  Integer IntValue() const;
  void SetIntValue(Integer Value);

  // Shows every suggestion.
  void DisplayLookup();

  TVivIzudeEditLookupSelectEvent OnLookupSelect;
  TVivIzudeEditLookupIndexSelectEvent OnLookupIndexSelect;
  TVivIzudeEditLookupNeedDataEvent OnLookupNeedData;

  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

protected:
  virtual void DoLookupNeedData(const String& AValue, TStrings* AList, Integer& AItemIndex);
  void DoExit() override;
  void WndProc(TMessage& Message) override;
  // Frees the settings, the list box, its item objects and the popup.
  void BeforeDestruction() override;

private:
  // What the character handler leaves for after the edit has taken the
  // character in.
  enum TAfterChar { acNone, acBackspace, acTyped, acTab };

  TVivIzudeEditFormat EditFormat() const;
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool LookupOpen() const { return FLookupList->IsOpen(); }
  void CloseLookup();
  void UpdateLookupList();
  void ShowLookup(const String& AValue, std::vector<TVivIzudeLookupMatch> AMatches);
  void SelectLookupItem();
  void MoveLookupSelection(Integer ADelta);
  void AutoCompleteText();
  void FormatMoney();
  void PasteText(const String& AText);
  // The control text set as it stands, caret and Modified kept.
  void ReplaceControlText(const String& AText, Integer ACaret);
  void AfterChar(TAfterChar AStep, const String& ABefore);
  void LookupListKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void LookupListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);

  TVivLookupList FLookupListBoxItems;
  bool FAllowFocus = true;
  Word FKeyDown = 0;
  TShiftState FShiftState;
  TVivIzudeEditType FEditType = etString;
  String FValidChars;
  TVivIzudePopup* FLookupList = nullptr;  // owned by this edit as its component owner
  TListBox* FLookupListBox = nullptr;     // owned by this edit as its component owner
  std::unique_ptr<TVivIzudeEditLookupSettings> FLookup;
  bool FIsModified = false;
  SmallInt FLengthLimit = 0;
  bool FFullTextSearch = false;
  bool FAutoThousandSeparator = true;
  SmallInt FPrecision = 0;
  TVivIzudeEditPrecisionDisplay FPrecisionDisplay = pdNormal;
  bool FAllowNumericNullValue = false;
  bool FAutoComplete = false;
  TAfterChar FAfterChar = acNone;
  bool FBackspaceModified = false;
};

class TVivIzudeEditButton : public TVivIzudeCustomControl {
  using Inherited = TVivIzudeCustomControl;

public:
  explicit TVivIzudeEditButton(TComponent* AOwner);
  String Text() const { return FEdit->Text(); }
  void SetText(const String& Value) { FEdit->SetText(Value); }
  TVivIzudeEdit* Edit() const { return FEdit; }
  TVivIzudeToolBarDropDownButton* Button() const { return FButton; }
  TVivIzudePopup* Popup() const { return FPopup; }
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);
  bool ModalPopup() const { return FModalPopup; }
  void SetModalPopup(bool Value) { FModalPopup = Value; }
  void SetAdaptToStyle(bool Value) override;

  virtual void DoBeforeDropDown() {}
  virtual void DropDown();

  TNotifyEvent OnButtonClick;

  void KeyDown(Word& Key, TShiftState Shift) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ButtonClick(TObject* Sender);
  void ButtonDblClick(TObject* Sender);

  bool FBlockDropDown = false;
  TVivIzudePopup* FPopup = nullptr;                   // owned by this control as its component owner
  TVivIzudeEdit* FEdit = nullptr;                     // owned by this control as its component owner
  TVivIzudeToolBarDropDownButton* FButton = nullptr;  // owned by this control as its component owner
  TControl* FPopupControl = nullptr;                  // not owned; free notification
  bool FModalPopup = false;
};

// The edit and the edit button named for the settings reader (done by their
// constructors, once).
void RegisterVivIzudeEditClasses();
