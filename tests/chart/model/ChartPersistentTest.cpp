#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ChartTestSupport.h"
#include "rtl/StringList.h"

namespace {

std::string Narrow(const String& S) { return std::string(S.begin(), S.end()); }

// A value the key's setter takes and that differs from its default; sets
// gain a member, as reading only adds members.
template <class T>
TChartKeyValue OtherValue(const TChartKey<T>& K) {
  switch (K.Type) {
    case ktInteger:
      return std::get<Integer>(K.Default) + 3;
    case ktEnum:
      return (std::get<Integer>(K.Default) + 1) % K.Count;
    case ktBool:
      return !std::get<bool>(K.Default);
    case ktFloat:
      return std::get<double>(K.Default) + 2.5;
    case ktDateTime:
      return std::get<double>(K.Default) + 45123.5;
    case ktString:
      return std::get<String>(K.Default) + u"k";
    case ktSet: {
      const Integer Bits = std::get<Integer>(K.Default);
      for (Integer I = 0; I < K.Count; ++I)
        if (!(Bits & (1 << I))) return Bits | (1 << I);
      return Bits;
    }
    default:
      return std::monostate{};
  }
}

// The keys a table entry stands for in the section (none for a nested
// section, which its own element writes).
template <class T>
std::vector<String> IniKeysOf(const TChartKey<T>& K) {
  if (K.Type == ktSection) return {};
  if (K.Type != ktFont) return {K.Name};
  const String P = K.Name;
  return {P + u"FontSize", P + u"FontColor", P + u"FontName", P + u"FontStyle"};
}

void ChangeFont(TChartFont& Font) {
  Font.SetSize(Font.Size() + 2);
  Font.SetColor(0x123456);
  Font.SetName(u"Courier New");
  TFontStyles Style = Font.Style();
  Style.Include(fsItalic);
  Font.SetStyle(Style);
}

template <class T>
void Load(T& Element, const TMemIniFile& Ini) {
  Element.LoadFromFile(Ini, u"E");
}
void Load(TChartSeries& Series, const TMemIniFile& Ini) { Series.LoadFromFile(Ini, u"E", false); }

// Values the owner gives a new item (the collections name their items).
const std::set<std::string> OwnerGiven{"Annotation.Name", "Serie.Name", "Serie.LegendText"};

// The keys found going one way only, as "Element.Key".
std::set<std::string> OneWayKeys;

// Checks that a new element holds the table's defaults, sets every key to
// another value, saves, loads into the new element Fresh and compares key
// by key; the section holds exactly the table's keys and Extra.
template <class T>
void ExpectRoundTrip(const char* Element, T& Changed, T& Fresh, std::set<String> Extra = {}) {
  SCOPED_TRACE(Element);
  const TChartKeys<T>& Keys = T::Keys();
  ASSERT_FALSE(Keys.empty());
  for (const TChartKey<T>& K : Keys) {
    if (!K.Get) continue;
    if (!OwnerGiven.count(std::string(Element) + "." + Narrow(K.Name))) {
      EXPECT_EQ(K.Get(Fresh), K.Default) << Narrow(K.Name) << ": a new element disagrees with the table's default";
    }
    const TChartKeyValue V = OtherValue(K);
    K.Set(Changed, V);
    // A placeholder key holds nothing to change.
    if (K.Use != kuSaveOnly || K.Get(Changed) != K.Default) {
      EXPECT_EQ(K.Get(Changed), V) << Narrow(K.Name) << ": the setter refused the test's value";
    }
  }
  for (const TChartKey<T>& K : Keys)
    if (K.Type == ktFont) ChangeFont(Changed.*K.Font);

  TMemIniFile Ini(u"");
  Changed.SaveToFile(Ini, u"E");
  std::set<String> Expected = Extra;
  for (const TChartKey<T>& K : Keys) {
    if (K.Use != kuSaveAndLoad) OneWayKeys.insert(std::string(Element) + "." + Narrow(K.Name));
    if (K.Use == kuLoadOnly) continue;
    for (const String& Name : IniKeysOf(K)) Expected.insert(Name);
  }
  TStringList Written;
  Ini.ReadSection(u"E", Written);
  std::set<String> Found;
  for (Integer I = 0; I < Written.Count(); ++I) Found.insert(Written[I]);
  EXPECT_EQ(Found, Expected);

  Load(Fresh, Ini);
  for (const TChartKey<T>& K : Keys) {
    if (K.Type == ktFont) {
      EXPECT_TRUE((Fresh.*K.Font).SameValues(Changed.*K.Font)) << Narrow(K.Name) << " font";
    } else if (K.Get) {
      // A one-way key comes back as a new element has it.
      const TChartKeyValue Want = K.Use == kuSaveAndLoad ? K.Get(Changed) : K.Default;
      if (K.Use == kuLoadOnly) {
        EXPECT_NE(K.Get(Changed), Want) << Narrow(K.Name) << ": not changed by the test";
      }
      EXPECT_EQ(K.Get(Fresh), Want) << Narrow(K.Name);
    }
  }
}

}  // namespace

TEST(ChartPersistent, EveryKeyOfEveryElementRoundTrips) {
  TChartFixture A, B;
  ExpectRoundTrip("Title", A.Chart.Title(), B.Chart.Title());
  ExpectRoundTrip("Background", A.Chart.Background(), B.Chart.Background());
  ExpectRoundTrip("XAxis", A.Chart.XAxis(), B.Chart.XAxis());
  ExpectRoundTrip("YAxis", A.Chart.YAxis(), B.Chart.YAxis());
  ExpectRoundTrip("Range", A.Chart.Range(), B.Chart.Range());
  ExpectRoundTrip("Margin", A.Chart.Margin(), B.Chart.Margin());
  ExpectRoundTrip("Bands", A.Chart.Bands(), B.Chart.Bands());
  ExpectRoundTrip("XGrid", A.Chart.XGrid(), B.Chart.XGrid());
  ExpectRoundTrip("YGrid", A.Chart.YGrid(), B.Chart.YGrid());
  ExpectRoundTrip("CrossHair", A.Chart.CrossHair(), B.Chart.CrossHair());
  ExpectRoundTrip("CrossHairYValues", A.Chart.CrossHair().CrossHairYValues(), B.Chart.CrossHair().CrossHairYValues());
  ExpectRoundTrip("Navigator", A.Chart.Navigator(), B.Chart.Navigator());
  ExpectRoundTrip("Legend", A.Chart.Legend(), B.Chart.Legend());

  TChartSerie& SA = A.Chart.Series().Add();
  TChartSerie& SB = B.Chart.Series().Add();
  ExpectRoundTrip("Marker", SA.Marker(), SB.Marker());
  ExpectRoundTrip("Pie", SA.Pie(), SB.Pie());
  ExpectRoundTrip("SerieXAxis", SA.XAxis(), SB.XAxis());
  ExpectRoundTrip("SerieYAxis", SA.YAxis(), SB.YAxis());
  ExpectRoundTrip("AxisText", SA.YAxis().TextLeft(), SB.YAxis().TextLeft());
  ExpectRoundTrip("SerieCrossHairYValue", SA.CrossHairYValue(), SB.CrossHairYValue());
  ExpectRoundTrip("Annotation", SA.Annotations().Add(), SB.Annotations().Add());
  ExpectRoundTrip("XAxisGroup", SA.XAxisGroups().Add(), SB.XAxisGroups().Add());

  // The serie and the collection last: they carry the nested sections above.
  ExpectRoundTrip("Serie", SA, SB);
  ExpectRoundTrip("Series", A.Chart.Series(), B.Chart.Series(), {u"SeriesCount"});

  // The keys the file format uses in one direction only; any other key
  // missing from saving or loading fails here.
  EXPECT_EQ(OneWayKeys,
            (std::set<std::string>{"SerieYAxis.TickMarkSizeMinor", "YGrid.BorderColor", "Marker.MarkerPicture"}));
}

TEST(ChartPersistent, NestedSectionsRoundTripThroughTheSerie) {
  TChartFixture A, B;
  TChartSerie& SA = A.Chart.Series().Add();
  TChartSerie& SB = B.Chart.Series().Add();
  SA.Marker().SetMarkerSize(17);
  SA.Pie().SetInnerSize(31);
  SA.XAxis().TextBottom().SetText(u"days");
  SA.YAxis().TextRight().SetAngle(90);
  SA.CrossHairYValue().SetColor(clAqua);
  TMemIniFile Ini(u"");
  SA.SaveToFile(Ini, u"S");
  SB.LoadFromFile(Ini, u"S");
  EXPECT_EQ(SB.Marker().MarkerSize(), 17);
  EXPECT_EQ(SB.Pie().InnerSize(), 31);
  EXPECT_EQ(SB.XAxis().TextBottom().Text(), u"days");
  EXPECT_EQ(SB.YAxis().TextRight().Angle(), 90);
  EXPECT_EQ(SB.CrossHairYValue().Color(), clAqua);
  EXPECT_EQ(Ini.ReadInteger(u"S.Marker", u"MarkerSize", 0), 17);
  EXPECT_EQ(Ini.ReadString(u"S.XAxis.TextBottom", u"Text", u""), u"days");
}
