#include <gtest/gtest.h>

#include "ChartTestSupport.h"

TEST(ChartSettingsFile, TitleAndAxesKeys) {
  TChartFixture F;
  TMemIniFile Ini(u"");
  F.Chart.Title().SetGradientDirection(cgdVertical);
  F.Chart.Title().Font().SetStyle({fsBold, fsUnderline});
  F.Chart.Title().SaveToFile(Ini, u"T");
  EXPECT_EQ(Ini.ReadString(u"T", u"FontStyle", u"?"), u":0:2");
  TChartFixture G;
  G.Chart.Title().LoadFromFile(Ini, u"T");
  EXPECT_EQ(G.Chart.Title().GradientDirection(), cgdVertical);
  EXPECT_TRUE(G.Chart.Title().Font().Style().Contains(fsUnderline));

  F.Chart.XAxis().SetGradientSteps(7);
  F.Chart.XAxis().SaveToFile(Ini, u"X");
  EXPECT_EQ(Ini.ReadInteger(u"X", u"GradienSteps", 0), 7);
  EXPECT_FALSE(Ini.ValueExists(u"X", u"GradientSteps"));
  Ini.WriteInteger(u"Y", u"GradientSteps", 3);
  G.Chart.XAxis().LoadFromFile(Ini, u"Y");
  EXPECT_EQ(G.Chart.XAxis().GradientSteps(), 100);
}

TEST(ChartSettingsFile, FontStylesOnlyAddAndBadItemsAreSkipped) {
  TMemIniFile Ini(u"");
  TChartFont Plain;
  WriteChartFont(Ini, u"S", u"", Plain);
  EXPECT_EQ(Ini.ReadString(u"S", u"FontStyle", u"?"), u"");
  TChartFont Bold;
  Bold.SetStyle({fsBold});
  ReadChartFont(Ini, u"S", u"", Bold);
  EXPECT_TRUE(Bold.Style().Contains(fsBold));
  // A damaged style keeps the font's style; the keys after it still load.
  TChartFixture F;
  Ini.WriteInteger(u"L", u"Alignment", 5);
  Ini.WriteString(u"L", u"FontStyle", u":x:1:9");
  Ini.WriteInteger(u"L", u"RectangleSize", 33);
  F.Chart.Legend().LoadFromFile(Ini, u"L");
  EXPECT_EQ(F.Chart.Legend().Alignment(), laCenterCenter);
  EXPECT_EQ(F.Chart.Legend().Font().Style(), TFontStyles{fsItalic});
  EXPECT_EQ(F.Chart.Legend().RectangleSize(), 33);
}

TEST(ChartSettingsFile, SerieKeysAndPie) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  TMemIniFile Ini(u"");
  S.SaveToFile(Ini, u"S");
  EXPECT_EQ(Ini.ReadString(u"S", u"ChartType", u""), u"1");
  EXPECT_EQ(Ini.ReadString(u"S", u"ColorTo", u""), u"536870911");
  S.Pie().SetLegendOffsetLeft(12);
  S.Pie().SetPosition(spTopCenter);
  S.Pie().LegendFont().SetStyle({fsBold});
  S.SetValueFormat(u"%.2n");
  S.SetChartType(ctPie);
  S.SetBorderRounding(1);
  S.SaveToFile(Ini, u"S");
  TChartFixture G;
  TChartSerie& T = G.Chart.Series().Add();
  T.LoadFromFile(Ini, u"S");
  EXPECT_EQ(T.Pie().LegendOffsetLeft(), 12);
  EXPECT_EQ(T.Pie().Position(), spTopCenter);
  EXPECT_TRUE(T.Pie().LegendFont().Style().Contains(fsBold));
  EXPECT_EQ(T.ValueFormat(), u"%.2n");
  EXPECT_EQ(T.BorderRounding(), 1);
  EXPECT_EQ(G.Chart.XAxis().Position(), xNone);  // the pie type hides the axes
  TMemIniFile Only(u"");
  Only.WriteBool(u"V", u"Visible", false);
  TChartSerie& U = G.Chart.Series().Add();
  U.LoadFromFile(Only, u"V");
  EXPECT_FALSE(U.Visible());
  EXPECT_EQ(U.ChartType(), ctLine);
}

TEST(ChartSettingsFile, SeriesCountLoadedTwiceDoesNotDoubleTheSeries) {
  TChartFixture F;
  F.Chart.Series().Add().SetLegendText(u"first");
  F.Chart.Series().Add().SetLegendText(u"second");
  TMemIniFile Ini(u"");
  F.Chart.Series().SaveToFile(Ini, u"P.Series");
  TChartFixture G;
  G.Chart.Series().LoadFromFile(Ini, u"P.Series", true);
  G.Chart.Series().LoadFromFile(Ini, u"P.Series", true);
  ASSERT_EQ(G.Chart.Series().Count(), 2);
  EXPECT_EQ(G.Chart.Series()[1].LegendText(), u"second");
}

TEST(ChartSettingsFile, ElementsRoundTrip) {
  TChartFixture F;
  F.Chart.CrossHair().CrossHairYValues().SetPosition({chAtCursor, chValueTracker});
  F.Chart.Navigator().SetButtonColor(0, cnbNormal, clRed);
  F.Chart.Range().SetRangeTo(25);
  F.Chart.YGrid().SetBorderColor(clRed);
  F.Chart.Bands().SetDistance(3.5);
  TChartMarker M;
  M.SetMarkerSize(4);
  M.SetIncreaseDecreaseMode(true);
  TMemIniFile Ini(u"");
  F.Chart.CrossHair().SaveToFile(Ini, u"C");
  F.Chart.Navigator().SaveToFile(Ini, u"N");
  F.Chart.Range().SaveToFile(Ini, u"R");
  F.Chart.YGrid().SaveToFile(Ini, u"G");
  F.Chart.Bands().SaveToFile(Ini, u"B");
  M.SaveToFile(Ini, u"M");
  EXPECT_EQ(Ini.ReadString(u"C.CrossHairYValues", u"Position", u""), u":1:2");
  EXPECT_TRUE(Ini.ValueExists(u"M", u"IncreaseDecrease"));
  TChartFixture G;
  G.Chart.CrossHair().LoadFromFile(Ini, u"C");
  G.Chart.Navigator().LoadFromFile(Ini, u"N");
  G.Chart.Range().LoadFromFile(Ini, u"R");
  G.Chart.YGrid().LoadFromFile(Ini, u"G");
  G.Chart.Bands().LoadFromFile(Ini, u"B");
  TChartMarker M2;
  M2.LoadFromFile(Ini, u"M");
  EXPECT_EQ(G.Chart.CrossHair().CrossHairYValues().Position(),
            (TChartCrossHairYValuePosition{chYAxis, chAtCursor, chValueTracker}));
  EXPECT_EQ(G.Chart.Navigator().ButtonColor(0, cnbNormal), clRed);
  EXPECT_EQ(G.Chart.Range().RangeTo(), 25);
  EXPECT_EQ(G.Chart.YGrid().BorderColor(), clNone);  // written, never read
  EXPECT_DOUBLE_EQ(G.Chart.Bands().Distance(), 3.5);
  EXPECT_EQ(M2.MarkerSize(), 4);
  EXPECT_TRUE(M2.IncreaseDecreaseMode());
}
