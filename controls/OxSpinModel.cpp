#include "controls/OxSpinModel.h"

#include <algorithm>
#include <cmath>

#include "controls/OxKELUtils.h"
#include "rtl/Format.h"
#include "rtl/Math.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "xml/KelSysUtils.h"

namespace {

// Round for the fallbacks of Value, which must not raise: a limit beyond
// the 64-bit range stays as it is.
double SafeRound(double X) {
  if (!(std::fabs(X) < 9.2e18)) return X;
  return static_cast<double>(Round(X));
}

}  // namespace

TOxSpinValueModel::TOxSpinValueModel(IOxSpinEditHost& Host) : FHost(Host), FItems(std::make_unique<TStringList>()) {}

// ---------------------------------------------------------------- value

String TOxSpinValueModel::RemoveThousandSeparators(const String& Text) const {
  const TFormatSettings& s = Settings();
  if (s.DecimalSeparator == s.ThousandSeparator) return Text;
  return RemoveChar(Text, s.ThousandSeparator);
}

double TOxSpinValueModel::RoundedMinValue() const { return SafeRound(FMinValue); }

double TOxSpinValueModel::ParseText(const String& Text) const {
  const TFormatSettings& s = Settings();
  try {
    switch (FValueType) {
      case vtInteger: {
        Int64 v = 0;
        return TryStrToInt64(RemoveThousandSeparators(Text), v) ? static_cast<double>(v) : RoundedMinValue();
      }
      case vtFloat: {
        double v = 0;
        if (!FDisplayFormat.empty()) return TryStrToFloat(NormalizeNumberText(Text, s), v, s) ? v : FMinValue;
        return TryStrToFloat(RemoveThousandSeparators(Text), v, s) ? v : FMinValue;
      }
      case vtHex: {
        Int64 v = 0;
        return TryStrToInt64(u"$" + Text, v) ? static_cast<double>(v) : RoundedMinValue();
      }
      case vtString: {
        const Integer index = FItems->IndexOf(Text);
        return index < 0 ? 0 : index;
      }
    }
  } catch (...) {
    // Text that is no number of this type reads as the lowest value.
  }
  return FValueType == vtFloat ? FMinValue : RoundedMinValue();
}

double TOxSpinValueModel::Value() { return ParseText(FHost.EditText()); }

void TOxSpinValueModel::SetValue(double X) {
  const TFormatSettings& s = Settings();
  const bool modified = FHost.EditModified();
  String text;
  switch (FValueType) {
    case vtInteger:
      text = FloatToStrF(CropToLimits(X), FThousands ? ffNumber : ffFixed, 15, 0, s);
      break;
    case vtFloat:
      if (!FDisplayFormat.empty())
        text = FormatFloat(FDisplayFormat, CropToLimits(X), s);
      else
        text = FloatToStrF(CropToLimits(X), FThousands ? ffNumber : ffFixed, 15, FDecimal, s);
      break;
    case vtHex: {
      const double v = CropToLimits(X);
      text = std::fabs(v) < 9.2e18 ? IntToHex(static_cast<Int64>(Round(v)), 1) : String();
      break;
    }
    case vtString: {
      X = CropToLimits(X);
      const Integer count = FItems->Count();
      // Without items there is nothing to show: an empty text.
      if (count > 0) {
        if (std::isnan(X) || X < 0) X = 0;
        if (X >= count) X = count - 1;
        text = FItems->Strings(static_cast<Integer>(X));
      }
      break;
    }
  }
  // Keep a minus sign that the user has just typed.
  if (FIsNegative && !text.empty() && text[0] != u'-' && FMinValue <= -X) text = u"-" + text;
  FHost.SetEditText(text);
  ApplyFocusedFormat();
  FHost.SetEditModified(modified);
}

void TOxSpinValueModel::ApplyFocusedFormat() {
  if (FValueType != vtFloat || FDisplayFormat.empty() || !FFocused) return;
  const bool modified = FHost.EditModified();
  String format = u"0";
  if (FDecimal > 0) format += u"." + String(FDecimal, u'0');
  FHost.SetEditText(FormatFloat(format, Value(), Settings()));
  FHost.SetEditModified(modified);
}

// ---------------------------------------------------------------- limits

double TOxSpinValueModel::CropToLimits(double X) const {
  double result = X;
  if (FCheckMinValue && X < FMinValue) result = FMinValue;
  if (FCheckMaxValue && X > FMaxValue) result = FMaxValue;
  return result;
}

double TOxSpinValueModel::CheckLimits(bool Raise, double X) const {
  const double result = CropToLimits(X);
  if (Raise && (FCheckMinValue || FCheckMaxValue) && X != result)
    throw ERangeError(Format(Settings(), SpinRangeErrorText, {FMinValue, FMaxValue}));
  return result;
}

bool TOxSpinValueModel::IsCheckMinValueStored() const { return FMinValue == 0 && FCheckMinValue == (FMaxValue == 0); }

bool TOxSpinValueModel::IsCheckMaxValueStored() const { return FMaxValue == 0 && FCheckMaxValue == (FMinValue == 0); }

void TOxSpinValueModel::SetMinValue(double Value) {
  if (Value == FMinValue) return;
  const bool otherStored = IsCheckMaxValueStored();
  const bool wasZero = FMinValue == 0;
  FMinValue = Value;
  if (wasZero != (Value == 0)) {
    if (FLCheckMinValue) FCheckMinValue = NeedsLimitCheck();
    if (!otherStored && FLCheckMaxValue) FCheckMaxValue = NeedsLimitCheck();
  }
  Reapply();
}

void TOxSpinValueModel::SetMaxValue(double Value) {
  if (Value == FMaxValue) return;
  const bool otherStored = IsCheckMinValueStored();
  const bool wasZero = FMaxValue == 0;
  FMaxValue = Value;
  if (wasZero != (Value == 0)) {
    if (FLCheckMaxValue) FCheckMaxValue = NeedsLimitCheck();
    if (!otherStored && FLCheckMinValue) FCheckMinValue = NeedsLimitCheck();
  }
  Reapply();
}

void TOxSpinValueModel::SetCheckMinValue(bool Value) {
  FCheckMinValue = Value || FMinValue != 0;
  if (FHost.OwnerLoading()) FLCheckMinValue = false;
  Reapply();
}

void TOxSpinValueModel::SetCheckMaxValue(bool Value) {
  FCheckMaxValue = Value || FMaxValue != 0;
  if (FHost.OwnerLoading()) FLCheckMaxValue = false;
  Reapply();
}

// ---------------------------------------------------------------- other properties

void TOxSpinValueModel::SetValueType(TValueType Value) {
  if (Value == FValueType) return;
  FValueType = Value;
  Reapply();
  if (FValueType == vtInteger || FValueType == vtHex) {
    FIncrement = std::fabs(FIncrement) < 9.2e18 ? static_cast<double>(Round(FIncrement)) : FIncrement;
    if (FIncrement == 0) FIncrement = 1;
  }
  if (FValueType == vtHex) FThousands = false;
}

void TOxSpinValueModel::SetDecimal(Byte Value) {
  if (Value == FDecimal) return;
  FDecimal = Value;
  Reapply();
}

void TOxSpinValueModel::SetThousands(bool Value) {
  if (FValueType != vtHex) FThousands = Value;
}

void TOxSpinValueModel::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  FHost.InvalidateEdit();
}

void TOxSpinValueModel::SetItems(const TStrings* Value) {
  FItems->Assign(Value);
  SetValue(0);
  FHost.SetEditText(FItems->Count() > 0 ? FItems->Strings(0) : String());
}

// ---------------------------------------------------------------- change handling

void TOxSpinValueModel::Loaded() {
  FLCheckMinValue = FLCheckMaxValue = true;
  FOldValue = Value();
}

void TOxSpinValueModel::HandleTextChange() {
  if (FChanging || !FHost.WindowExists()) return;
  FChanging = true;
  FIsNegative = false;
  const Integer caret = FHost.CaretPos();
  const String before = FHost.EditText();
  {
    const TScopeExit Changed([this] {
      FChanging = false;
      FIsNegative = false;
    });
    FIsNegative = !before.empty() && before[0] == u'-';
    if (FCheckOptions.Contains(coCheckOnChange)) {
      try {
        CheckLimits(!FCheckOptions.Contains(coCropBeyondLimit), Value());
        SetValue(CropToLimits(Value()));
      } catch (...) {
        // While typing, a value beyond the limits is always cropped.
        SetValue(CropToLimits(Value()));
      }
    }
  }
  // A notification that changed no text (the edit's own select-all sends
  // one) keeps the selection.
  if (FHost.EditText() != before) FHost.SetCaretPos(caret);
  if (Value() != FOldValue) {
    if (FThousands && FHost.CaretPos() == caret) {
      // Keep the caret beside the same digit when separators came or went
      // before it.
      const Char t = Settings().ThousandSeparator;
      const String after = FHost.EditText();
      const Integer shift = CountCharInText(after.substr(0, static_cast<std::size_t>(std::max(caret, 0))), t) -
                            CountCharInText(before.substr(0, static_cast<std::size_t>(std::max(caret, 0))), t);
      if (shift != 0) FHost.SetCaretPos(caret + shift);
    }
    FHost.FireChange();
    FOldValue = Value();
  }
}

void TOxSpinValueModel::Spin(bool Up) {
  if (FHost.EditReadOnly()) {
    FHost.SignalInputError();
    return;
  }
  const String before = FHost.EditText();
  {
    FChanging = true;
    const TScopeExit Changed([this] { FChanging = false; });
    SetValue(Value() + (Up ? FIncrement : -FIncrement));
  }
  if (!SameText(FHost.EditText(), before)) {
    FHost.SetEditModified(true);
    HandleTextChange();
  }
  if (Up)
    FHost.TopClicked();
  else
    FHost.BottomClicked();
}

// ---------------------------------------------------------------- focus

void TOxSpinValueModel::Enter() {
  FFocused = true;
  FHost.InvalidateEdit();
  ApplyFocusedFormat();
}

void TOxSpinValueModel::Exit() {
  FFocused = false;
  FHost.InvalidateEdit();
  if (!FCheckOptions.Contains(coCheckOnExit)) return;
  CheckLimits(!FCheckOptions.Contains(coCropBeyondLimit), Value());
  SetValue(CropToLimits(Value()));
}

void TOxSpinValueModel::KillFocus() {
  if (FCheckOptions.Contains(coCheckOnExit) && FCheckOptions.Contains(coCropBeyondLimit))
    SetValue(CropToLimits(Value()));
}

// ---------------------------------------------------------------- keys

void TOxSpinValueModel::KeyDown(Word& Key) {
  if (FArrowKeys && (Key == SpinKeyUp || Key == SpinKeyDown)) {
    if (Key == SpinKeyUp)
      FHost.SpinUp();
    else
      FHost.SpinDown();
    Key = 0;
    return;
  }
  const Char d = Settings().DecimalSeparator;
  const String text = FHost.EditText();
  const Integer caret = FHost.CaretPos();
  if (Key == SpinKeyDelete && caret >= 0 && caret < static_cast<Integer>(text.size()) &&
      text[static_cast<std::size_t>(caret)] == d)
    Key = SpinKeyRight;
  else if (Key == SpinKeyBack && caret > 0 && caret <= static_cast<Integer>(text.size()) &&
           text[static_cast<std::size_t>(caret - 1)] == d)
    Key = SpinKeyLeft;
}

void TOxSpinValueModel::KeyPress(Char& Key) {
  const TFormatSettings& s = Settings();
  if (Key == u'.' && !(FThousands && s.ThousandSeparator == u'.')) Key = s.DecimalSeparator;
  if (FValueType == vtFloat && Key == s.DecimalSeparator) {
    const String text = FHost.EditText();
    const std::size_t at = text.find(s.DecimalSeparator);
    if (at != String::npos) {
      Key = 0;
      FHost.SetCaretPos(static_cast<Integer>(at) + 1);
      return;
    }
  }
  if (Key != 0 && !IsValidKeyChar(Key)) {
    Key = 0;
    FHost.SignalInputError();
  }
}

bool TOxSpinValueModel::IsValidKeyChar(Char Key) {
  if (!FEditorEnabled) return Key < 32 && Key != 8;
  if (Key < 32 || Key == u'+' || Key == u'-' || (Key >= u'0' && Key <= u'9')) return true;
  const TFormatSettings& s = Settings();
  const String text = FHost.EditText();
  if (FValueType == vtFloat) {
    if (text.find(s.DecimalSeparator) == String::npos) {
      if (Key == s.DecimalSeparator) return true;
      if (Key == u'.' && !(FThousands && s.ThousandSeparator == u'.')) return true;
    }
    if ((Key == u'E' || Key == u'e') && text.find_first_of(u"Ee") == String::npos) return true;
  }
  if (FValueType == vtHex && ((Key >= u'A' && Key <= u'F') || (Key >= u'a' && Key <= u'f'))) return true;
  return false;
}

// ---------------------------------------------------------------- geometry

Integer SpinButtonWidthForPPI(Integer PPI, Integer ScrollBarWidth) {
  if (PPI <= 0) return std::min(15, ScrollBarWidth);
  return std::min(static_cast<Integer>(Round(std::min(PPI, 480) * 15 / 96.0)), ScrollBarWidth);
}

TSpinButtonState SpinButtonHalfAt(TOxSpinButtonStyle Style, Integer Width, Integer Height, Integer X, Integer Y) {
  if (Style == sbsClassic) return Y > Height / 2 ? sbBottomDown : sbTopDown;
  if (Width <= 0) return Y > Height / 2 ? sbBottomDown : sbTopDown;
  return Y > Height - static_cast<double>(Height) * X / Width ? sbBottomDown : sbTopDown;
}

TRect SpinButtonWindowBounds(TSpinButtonKind Kind, bool Single3DBorder, bool RightToLeft, Integer Width, Integer Height,
                             Integer B) {
  TRect r;
  if (Single3DBorder) {
    r = Kind == bkClassic ? Bounds(Width - B - 4, -1, B, Height - 3)
                          : Bounds(Width - Height - 1, -1, Height - 3, Height - 3);
    if (RightToLeft) r.Left = -1, r.Right = Height - 4;
  } else {
    r = Kind == bkClassic ? Bounds(Width - B, 0, B, Height) : Bounds(Width - Height, 0, Height, Height);
    if (RightToLeft) r.Left = 0, r.Right = Height;
  }
  return r;
}

TRect SpinEditTextRect(bool RightToLeft, Integer ClientWidth, Integer ClientHeight, Integer AreaWidth) {
  if (RightToLeft) return Rect(AreaWidth + 1, 0, ClientWidth - 1, ClientHeight + 1);
  return Rect(0, 0, ClientWidth - AreaWidth - 2, ClientHeight + 1);
}
