#pragma once
// The base of every settings object of the chart, and the conventions its
// settings sections share: typed keys, fonts as four keys, sets and font
// styles as ":n" lists that reading only adds to.
#include <cmath>

#include "chart/model/ChartGraphics.h"
#include "rtl/IniFiles.h"
#include "rtl/StringList.h"

class TChartPersistent : public TObject {
public:
  TChartPersistent() = default;
  TChartPersistent(const TChartPersistent&) = delete;
  TChartPersistent& operator=(const TChartPersistent&) = delete;

  // Copies the settings of a source of the same class; any other source is
  // ignored.
  virtual void Assign(const TObject* Source) = 0;
  // Fires OnChange(this) when assigned.
  virtual void Changed() {
    if (OnChange) OnChange(this);
  }
  TNotifyEvent OnChange;

protected:
  // Stores Value when it differs; tells whether it did.
  template <class T>
  static bool Store(T& Field, const T& Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
  }
  // Doubles compare exactly, but a NaN always counts as different.
  static bool StoreFloat(double& Field, double Value) {
    if (!std::isnan(Value) && Field == Value) return false;
    Field = Value;
    return true;
  }
};

// Font style text: ":0" bold, ":1" italic, ":2" underline, ":3" strike-out.
String FontStyleToString(TFontStyles Style);
// Clears List and fills it with the items of Text split at Delimiter.
void SplitDelimited(Char Delimiter, const String& Text, TStringList& List);
// The ordinals listed in a ":n:m" text. An item that is not a number is
// skipped (a damaged file loses that item, not the rest of the section).
std::vector<Integer> ReadOrdinalList(const String& Text);
template <class E, class U>
String SetToString(TSet<E, U> Set, int MemberCount) {
  String S;
  for (int I = 0; I < MemberCount; ++I)
    if (Set.Contains(static_cast<E>(I))) S += u":" + std::u16string(1, static_cast<Char>(u'0' + I));
  return S;
}

// The four keys <Prefix>FontSize, <Prefix>FontColor, <Prefix>FontName,
// <Prefix>FontStyle.
void WriteChartFont(TCustomIniFile& Ini, const String& Section, const String& Prefix, const TChartFont& Font);
// Reads into the font through its setters (its OnChange fires per change);
// styles are only added. Missing keys keep the font's values.
void ReadChartFont(const TCustomIniFile& Ini, const String& Section, const String& Prefix, TChartFont& Font);

// Reads an enumeration stored as its ordinal; an out-of-range ordinal keeps
// the current value.
template <class E>
E ReadEnum(const TCustomIniFile& Ini, const String& Section, const String& Key, E Current, int Count) {
  Integer V = Ini.ReadInteger(Section, Key, static_cast<Integer>(Current));
  return (V >= 0 && V < Count) ? static_cast<E>(V) : Current;
}
