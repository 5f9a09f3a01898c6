#pragma once
// The base of every settings object of the chart, and the conventions its
// settings sections share: typed keys, fonts as four keys, sets and font
// styles as ":n" lists that reading only adds to.
#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>
#include <variant>
#include <vector>

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

// ---------------------------------------------------------------- key tables
// Each element describes its keys once, in writing order, and both
// SaveToFile and LoadFromFile walk that table, so a key cannot be written
// without being read or the other way round unless its entry says so.

// A stored value as the tables move it: integers (also enumerations,
// colours and sets as their bits), Booleans, floating-point numbers (also
// dates) and texts.
using TChartKeyValue = std::variant<std::monostate, Integer, bool, double, String>;

enum TChartKeyType : Byte { ktInteger, ktEnum, ktBool, ktFloat, ktDateTime, ktString, ktSet, ktFont, ktSection };

// Which directions use a key. A load-only key is read from older files but
// never written; a save-only key is written for the file's sake but never
// read back.
enum TChartKeyUse : Byte { kuSaveAndLoad, kuLoadOnly, kuSaveOnly };

template <class T>
struct TChartKey {
  // The key; a font's: the prefix of its four keys; a nested section's:
  // the suffix of its section name (".Marker").
  const char16_t* Name = u"";
  TChartKeyType Type = ktInteger;
  // What a new element holds (none for fonts and sections).
  TChartKeyValue Default;
  TChartKeyValue (*Get)(const T&) = nullptr;
  // Stores through the element's setter, as reading does.
  void (*Set)(T&, const TChartKeyValue&) = nullptr;
  // The ordinals an enumeration or a set takes.
  Integer Count = 0;
  TChartFont T::*Font = nullptr;
  void (*SaveSection)(const T&, TCustomIniFile&, const String&) = nullptr;
  void (*LoadSection)(T&, const TCustomIniFile&, const String&) = nullptr;
  TChartKeyUse Use = kuSaveAndLoad;
};

template <class T>
using TChartKeys = std::vector<TChartKey<T>>;

namespace ChartKeyDetail {
template <class M>
struct TMember;
template <class C, class F>
struct TMember<F C::*> {
  using Class = C;
  using Type = F;
};

template <auto Field>
using TClassOf = typename TMember<decltype(Field)>::Class;
template <auto Field>
using TFieldOf = typename TMember<decltype(Field)>::Type;

// Stores V into the field: through Setter, or straight in where the
// element has none (nullptr).
template <class C, auto Field, auto Setter, class V>
void Store(C& E, const V& Value) {
  if constexpr (std::is_same_v<decltype(Setter), std::nullptr_t>)
    E.*Field = Value;
  else
    (E.*Setter)(Value);
}

template <class F>
TChartKeyValue ToValue(const F& Value) {
  if constexpr (std::is_same_v<F, bool> || std::is_same_v<F, String>)
    return Value;
  else if constexpr (std::is_floating_point_v<F>)
    return static_cast<double>(Value);
  else if constexpr (requires(F S) { S.Bits(); })
    return static_cast<Integer>(Value.Bits());
  else
    return static_cast<Integer>(Value);
}

template <class C, auto Field>
TChartKeyValue GetValue(const C& E) {
  return ToValue(E.*Field);
}

template <class C, auto Field, auto Setter>
void SetValue(C& E, const TChartKeyValue& Value) {
  using F = TFieldOf<Field>;
  if constexpr (std::is_same_v<F, bool> || std::is_same_v<F, String>)
    Store<C, Field, Setter>(E, std::get<F>(Value));
  else if constexpr (std::is_floating_point_v<F>)
    Store<C, Field, Setter>(E, static_cast<F>(std::get<double>(Value)));
  else if constexpr (requires(F S) { S.Bits(); })
    Store<C, Field, Setter>(E, F::FromBits(static_cast<decltype(F{}.Bits())>(std::get<Integer>(Value))));
  else if constexpr (std::is_enum_v<F>)
    Store<C, Field, Setter>(E, static_cast<F>(std::get<Integer>(Value)));
  else if constexpr (sizeof(F) < sizeof(Integer))
    // A narrow field (a byte) keeps the nearest value it can hold.
    Store<C, Field, Setter>(E,
                            static_cast<F>(std::clamp<Integer>(std::get<Integer>(Value), std::numeric_limits<F>::min(),
                                                               std::numeric_limits<F>::max())));
  else
    Store<C, Field, Setter>(E, static_cast<F>(std::get<Integer>(Value)));
}

template <auto Field>
TChartKeyType TypeOf() {
  using F = TFieldOf<Field>;
  if constexpr (std::is_same_v<F, bool>)
    return ktBool;
  else if constexpr (std::is_floating_point_v<F>)
    return ktFloat;
  else if constexpr (std::is_same_v<F, String>)
    return ktString;
  else
    return ktInteger;
}
}  // namespace ChartKeyDetail

// A key of an integer, colour, Boolean, floating-point or text field, read
// through Setter (nullptr: stored straight into the field). C is the
// element whose table it joins (a field of a base class names the base).
template <auto Field, auto Setter, class C = ChartKeyDetail::TClassOf<Field>>
TChartKey<C> ChartKey(const char16_t* Name, ChartKeyDetail::TFieldOf<Field> Default, TChartKeyUse Use = kuSaveAndLoad) {
  using namespace ChartKeyDetail;
  TChartKey<C> K;
  K.Name = Name;
  K.Type = TypeOf<Field>();
  K.Default = ToValue(Default);
  K.Get = &GetValue<C, Field>;
  K.Set = &SetValue<C, Field, Setter>;
  K.Use = Use;
  return K;
}

// A key of an enumeration stored as its ordinal; reading keeps the current
// value for an ordinal outside [0, Count).
template <auto Field, auto Setter, class C = ChartKeyDetail::TClassOf<Field>>
TChartKey<C> ChartEnumKey(const char16_t* Name, Integer Count, ChartKeyDetail::TFieldOf<Field> Default) {
  auto K = ChartKey<Field, Setter, C>(Name, Default);
  K.Type = ktEnum;
  K.Count = Count;
  return K;
}

// A key of a set of Count members, as ":n" ordinals that reading only adds.
template <auto Field, auto Setter, class C = ChartKeyDetail::TClassOf<Field>>
TChartKey<C> ChartSetKey(const char16_t* Name, Integer Count, ChartKeyDetail::TFieldOf<Field> Default) {
  auto K = ChartKey<Field, Setter, C>(Name, Default);
  K.Type = ktSet;
  K.Count = Count;
  return K;
}

// A key of a date and time (the INI file's date text).
template <auto Field, auto Setter, class C = ChartKeyDetail::TClassOf<Field>>
TChartKey<C> ChartDateKey(const char16_t* Name, ChartKeyDetail::TFieldOf<Field> Default) {
  auto K = ChartKey<Field, Setter, C>(Name, Default);
  K.Type = ktDateTime;
  return K;
}

// The four keys of a font, Prefix first; read straight into the font.
template <class T, class B>
TChartKey<T> ChartFontKey(const char16_t* Prefix, TChartFont B::*Font) {
  TChartKey<T> K;
  K.Name = Prefix;
  K.Type = ktFont;
  K.Font = static_cast<TChartFont T::*>(Font);
  return K;
}

// A nested element written to and read from the section named by the
// element's section and Suffix.
template <class T>
TChartKey<T> ChartSectionKey(const char16_t* Suffix, void (*Save)(const T&, TCustomIniFile&, const String&),
                             void (*Load)(T&, const TCustomIniFile&, const String&)) {
  TChartKey<T> K;
  K.Name = Suffix;
  K.Type = ktSection;
  K.SaveSection = Save;
  K.LoadSection = Load;
  return K;
}

// Writes Element's keys into Section in the table's order.
template <class T>
void SaveChartKeys(const TChartKeys<T>& Keys, const T& Element, TCustomIniFile& Ini, const String& Section) {
  for (const TChartKey<T>& K : Keys) {
    if (K.Use == kuLoadOnly) continue;
    switch (K.Type) {
      case ktInteger:
      case ktEnum:
        Ini.WriteInteger(Section, K.Name, std::get<Integer>(K.Get(Element)));
        break;
      case ktBool:
        Ini.WriteBool(Section, K.Name, std::get<bool>(K.Get(Element)));
        break;
      case ktFloat:
        Ini.WriteFloat(Section, K.Name, std::get<double>(K.Get(Element)));
        break;
      case ktDateTime:
        Ini.WriteDateTime(Section, K.Name, std::get<double>(K.Get(Element)));
        break;
      case ktString:
        Ini.WriteString(Section, K.Name, std::get<String>(K.Get(Element)));
        break;
      case ktSet: {
        const Integer Bits = std::get<Integer>(K.Get(Element));
        String S;
        for (Integer I = 0; I < K.Count; ++I)
          if (Bits & (1 << I)) S += u":" + std::u16string(1, static_cast<Char>(u'0' + I));
        Ini.WriteString(Section, K.Name, S);
        break;
      }
      case ktFont:
        WriteChartFont(Ini, Section, K.Name, Element.*K.Font);
        break;
      case ktSection:
        K.SaveSection(Element, Ini, Section + K.Name);
        break;
    }
  }
}

// Reads Element's keys from Section in the table's order, each with the
// current value as the default, through the setters.
template <class T>
void LoadChartKeys(const TChartKeys<T>& Keys, T& Element, const TCustomIniFile& Ini, const String& Section) {
  for (const TChartKey<T>& K : Keys) {
    if (K.Use == kuSaveOnly) continue;
    switch (K.Type) {
      case ktInteger:
        K.Set(Element, Ini.ReadInteger(Section, K.Name, std::get<Integer>(K.Get(Element))));
        break;
      case ktEnum: {
        const Integer V = Ini.ReadInteger(Section, K.Name, std::get<Integer>(K.Get(Element)));
        if (V >= 0 && V < K.Count) K.Set(Element, V);
        break;
      }
      case ktBool:
        K.Set(Element, Ini.ReadBool(Section, K.Name, std::get<bool>(K.Get(Element))));
        break;
      case ktFloat:
        K.Set(Element, Ini.ReadFloat(Section, K.Name, std::get<double>(K.Get(Element))));
        break;
      case ktDateTime:
        K.Set(Element, Ini.ReadDateTime(Section, K.Name, std::get<double>(K.Get(Element))));
        break;
      case ktString:
        K.Set(Element, Ini.ReadString(Section, K.Name, std::get<String>(K.Get(Element))));
        break;
      case ktSet: {
        Integer Bits = std::get<Integer>(K.Get(Element));
        for (Integer V : ReadOrdinalList(Ini.ReadString(Section, K.Name, u"")))
          if (V >= 0 && V < K.Count) Bits |= 1 << V;
        K.Set(Element, Bits);
        break;
      }
      case ktFont:
        ReadChartFont(Ini, Section, K.Name, Element.*K.Font);
        break;
      case ktSection:
        K.LoadSection(Element, Ini, Section + K.Name);
        break;
    }
  }
}
