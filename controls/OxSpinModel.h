#pragma once
// The spin edit's portable side. The text in the box is the only store of
// the value: reading Value parses the text, writing it formats the text,
// and limits are enforced by rewriting the text while the user types and
// when focus leaves. OnChange fires only when the parsed value really
// changes. The edit itself (controls/win/OxSpin.h) is the host: it owns the
// text, the caret and the events, and calls the model from its change
// notification, keys and focus changes. Native tests drive the model
// through a host of their own.
//
// Also here: the geometry of the spin button and of the button area, which
// needs no window to compute.
#include <memory>

#include "rtl/FormatSettings.h"
#include "rtl/Geometry.h"
#include "rtl/Set.h"
#include "rtl/StringList.h"
#include "rtl/Types.h"

enum TValueType : Byte { vtInteger, vtFloat, vtHex, vtString };
enum TOxCheckOption : Byte { coCheckOnChange, coCheckOnExit, coCropBeyondLimit };
using TOxCheckOptions = TSet<TOxCheckOption, Byte>;
inline constexpr TOxCheckOptions AllCheckOptions{coCheckOnChange, coCheckOnExit, coCropBeyondLimit};

enum TSpinButtonKind : Byte { bkStandard, bkDiagonal, bkClassic };
enum TOxSpinButtonStyle : Byte { sbsDefault, sbsClassic };
enum TSpinButtonState : Byte { sbNotDown, sbTopDown, sbBottomDown };

// The message of a value left outside the limits (ERangeError), with the
// two limits as its arguments.
inline constexpr const char16_t* SpinRangeErrorText = u"Value must be between %0:g and %1:g";

// Virtual-key codes the model reacts to (the Windows values).
inline constexpr Word SpinKeyBack = 0x08;
inline constexpr Word SpinKeyLeft = 0x25;
inline constexpr Word SpinKeyUp = 0x26;
inline constexpr Word SpinKeyRight = 0x27;
inline constexpr Word SpinKeyDown = 0x28;
inline constexpr Word SpinKeyDelete = 0x2E;

// What the model needs of the edit that shows its value.
class IOxSpinEditHost {
public:
  virtual ~IOxSpinEditHost() = default;
  virtual String EditText() = 0;
  // Replaces the text. Once the edit window exists, the edit's change
  // notification calls HandleTextChange from here, as for a typed change.
  virtual void SetEditText(const String& Value) = 0;
  // The caret, 0 before the first character.
  virtual Integer CaretPos() = 0;
  virtual void SetCaretPos(Integer Value) = 0;
  virtual bool EditModified() = 0;
  virtual void SetEditModified(bool Value) = 0;
  // Change handling runs only once the edit window exists.
  virtual bool WindowExists() = 0;
  // The edit's owner is being built (limits do not yet recompute the
  // automatic check flags once a flag was set).
  virtual bool OwnerLoading() = 0;
  virtual bool EditReadOnly() = 0;
  // Fires OnChange.
  virtual void FireChange() = 0;
  // Fires OnTopClick / OnBottomClick.
  virtual void TopClicked() = 0;
  virtual void BottomClicked() = 0;
  // The spin operations of the edit (which a descendant may change); the
  // arrow keys go through them.
  virtual void SpinUp() = 0;
  virtual void SpinDown() = 0;
  // A refused key or a spin of a read-only edit: beeps when asked to.
  virtual void SignalInputError() = 0;
  virtual void InvalidateEdit() {}
};

class TOxSpinValueModel {
public:
  explicit TOxSpinValueModel(IOxSpinEditHost& Host);
  TOxSpinValueModel(const TOxSpinValueModel&) = delete;
  TOxSpinValueModel& operator=(const TOxSpinValueModel&) = delete;

  // The separators and conversions used; nullptr (the default) reads the
  // process default at each use, so the edit follows the locale.
  void SetFormatSettings(const TFormatSettings* Settings) { FSettings = Settings; }
  const TFormatSettings& Settings() const { return FSettings ? *FSettings : FormatSettings; }

  // Parses the text; never raises: a text that is not a number gives
  // MinValue (rounded for the integer types).
  double Value();
  // Formats X, kept within the checked limits, into the text.
  void SetValue(double X);
  // The value truncated toward zero.
  Int64 AsInteger() { return static_cast<Int64>(Value()); }
  void SetAsInteger(Int64 X) { SetValue(static_cast<double>(X)); }

  TValueType ValueType() const { return FValueType; }
  void SetValueType(TValueType Value);
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value);
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value);
  // A non-zero limit is always checked; setting a limit from zero to
  // non-zero (or back) turns the checks on (off) by itself.
  bool CheckMinValue() const { return FCheckMinValue; }
  void SetCheckMinValue(bool Value);
  bool CheckMaxValue() const { return FCheckMaxValue; }
  void SetCheckMaxValue(bool Value);
  // Whether a form description would hold the flag (it differs from what
  // the automatic rule gives).
  bool IsCheckMinValueStored() const;
  bool IsCheckMaxValueStored() const;
  TOxCheckOptions CheckOptions() const { return FCheckOptions; }
  void SetCheckOptions(TOxCheckOptions Value) { FCheckOptions = Value; }
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value) { FIncrement = Value; }
  Byte Decimal() const { return FDecimal; }
  void SetDecimal(Byte Value);
  // Digit grouping with the locale's thousand separator; never for vtHex.
  bool Thousands() const { return FThousands; }
  void SetThousands(bool Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  String DefaultDisplayFormat() const { return u",0.##"; }
  bool IsDisplayFormatStored() const { return FDisplayFormat != DefaultDisplayFormat(); }
  // The values of vtString.
  TStrings* Items() const { return FItems.get(); }
  void SetItems(const TStrings* Value);
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value) { FArrowKeys = Value; }

  double CropToLimits(double X) const;
  // CropToLimits(X); with Raise, ERangeError when a limit is checked and X
  // lies outside it.
  double CheckLimits(bool Raise, double X) const;
  bool NeedsLimitCheck() const { return FMinValue != 0 || FMaxValue != 0; }

  // The owner finished building: the value now shown is the one OnChange
  // compares with, and limit changes recompute the check flags again.
  void Loaded();
  // The edit's change notification: crops and regroups the text, keeps the
  // caret beside the digit it was at, and fires OnChange when the value
  // changed.
  void HandleTextChange();
  bool Changing() const { return FChanging; }

  // One step up or down by Increment, then OnTopClick / OnBottomClick.
  void Spin(bool Up);

  // Focus. Exit checks the limits with coCheckOnExit and raises
  // ERangeError without coCropBeyondLimit (the edit then takes the focus
  // back); KillFocus crops silently when both options are set.
  bool Focused() const { return FFocused; }
  void Enter();
  void Exit();
  void KillFocus();
  void SetFocused(bool Value) { FFocused = Value; }
  // While focused, a formatted float shows in plain form.
  void ApplyFocusedFormat();

  // After the edit's own handling: the arrow keys spin (the key is then
  // 0), and Delete / Backspace step over a decimal separator instead of
  // removing it.
  void KeyDown(Word& Key);
  // Before the edit sees a character: '.' is the locale's decimal
  // separator, a second separator only moves the caret after the first,
  // and a refused character beeps. Key becomes 0 when consumed.
  void KeyPress(Char& Key);
  bool IsValidKeyChar(Char Key);

private:
  double ParseText(const String& Text) const;
  String RemoveThousandSeparators(const String& Text) const;
  double RoundedMinValue() const;
  void Reapply() { SetValue(Value()); }

  IOxSpinEditHost& FHost;
  const TFormatSettings* FSettings = nullptr;  // not owned
  TValueType FValueType = vtInteger;
  double FMinValue = 0;
  double FMaxValue = 0;
  bool FCheckMinValue = false;
  bool FCheckMaxValue = false;
  TOxCheckOptions FCheckOptions = AllCheckOptions;
  double FIncrement = 1;
  Byte FDecimal = 2;
  bool FThousands = false;
  String FDisplayFormat;
  std::unique_ptr<TStringList> FItems;
  bool FEditorEnabled = true;
  bool FArrowKeys = true;
  double FOldValue = 0;
  bool FChanging = false;
  bool FIsNegative = false;
  bool FFocused = false;
  bool FLCheckMinValue = true;
  bool FLCheckMaxValue = true;
};

// ---------------------------------------------------------------- geometry

// Width of the spin buttons at PPI pixels per inch (0 or less: unknown),
// never wider than the system's vertical scroll bar (ScrollBarWidth).
Integer SpinButtonWidthForPPI(Integer PPI, Integer ScrollBarWidth);

// Which half of a Width x Height spin button the point X, Y is in:
// sbTopDown or sbBottomDown. sbsDefault splits along the diagonal from the
// bottom-left to the top-right corner, sbsClassic into an upper and a
// lower half.
TSpinButtonState SpinButtonHalfAt(TOxSpinButtonStyle Style, Integer Width, Integer Height, Integer X, Integer Y);

// Bounds (left, top, width, height as a TRect built with Bounds) of the
// window that holds the spin button in a Width x Height edit, for a 3D
// single border or any other border, left to right or right to left. B is
// the scaled button width.
TRect SpinButtonWindowBounds(TSpinButtonKind Kind, bool Single3DBorder, bool RightToLeft, Integer Width, Integer Height,
                             Integer B);

// The edit's formatting rectangle beside a button area AreaWidth pixels
// wide, and the margin that keeps typed text clear of it (on the right, or
// on the left in right-to-left mode).
TRect SpinEditTextRect(bool RightToLeft, Integer ClientWidth, Integer ClientHeight, Integer AreaWidth);
