#include <gtest/gtest.h>

#include "PieTestSupport.h"
#include "rtl/SysUtils.h"

TEST(PiePainting, SweepsAndShadesOfOneToThreeToSix) {
  TPieFixture F;
  F.Pie.SetColor(clRed);
  for (double V : {10.0, 30.0, 60.0}) F.Add(V, u"");
  F.Paint();
  auto Pies = F.Ops(coPie);
  ASSERT_EQ(Pies.size(), 3u);
  ASSERT_EQ(F.Pie.DrawValuesSlice.size(), 3u);
  const double Sweeps[3] = {36, 108, 216};
  double Start = 0;
  for (int I = 0; I < 3; ++I) {
    const TSlicePoint& S = F.Pie.DrawValuesSlice[I];
    EXPECT_FLOAT_EQ(S.STA, Start);
    EXPECT_FLOAT_EQ(S.SWA - S.STA, Sweeps[I]);
    Start += Sweeps[I];
    // The wedge runs counter-clockwise from the start ray to the end ray.
    TPoint C{S.CX, S.CY};
    EXPECT_LT(AngleDistance(ScreenAngle(C, Pies[I]->Points[0]), S.STA), 1.0);
    EXPECT_LT(AngleDistance(ScreenAngle(C, Pies[I]->Points[1]), S.SWA), 1.0);
  }
  EXPECT_EQ(Pies[0]->Brush.Color(), 85);
  EXPECT_EQ(Pies[1]->Brush.Color(), 170);
  EXPECT_EQ(Pies[2]->Brush.Color(), 255);
  EXPECT_EQ(Pies[0]->Pen.Color, clBlack);
}

// One slice takes the whole circle (a folder without sub-folders): a
// circle, or a ring, with no wedge edge running from the centre.
TEST(PiePainting, AWholeCircleSliceIsDrawnWithoutAnEdge) {
  for (TChartType Type : {ctPie, ctDonut}) {
    TPieFixture F;
    F.Pie.SetChartType(Type);
    F.Pie.Pie().SetLegendVisible(false);
    F.Add(42, u"Files", clBlue);
    F.Paint();
    EXPECT_TRUE(F.Ops(coPie).empty()) << int(Type);
    ASSERT_EQ(F.Pie.DrawValuesSlice.size(), 1u);
    const TSlicePoint& S = F.Pie.DrawValuesSlice[0];
    EXPECT_FLOAT_EQ(S.SWA - S.STA, 360);
    int Circles = 0;
    for (auto* E : F.Ops(coEllipse))
      if (E->Brush.Color() == clBlue && (E->Rect.Left + E->Rect.Right) / 2 == S.CX &&
          (E->Rect.Top + E->Rect.Bottom) / 2 == S.CY)
        ++Circles;
    EXPECT_EQ(Circles, 1) << int(Type);
  }
  // Two slices stay wedges.
  TPieFixture F;
  F.Add(1, u"a", clBlue);
  F.Add(1, u"b", clRed);
  F.Paint();
  EXPECT_EQ(F.Ops(coPie).size(), 2u);
}

TEST(PiePainting, StartOffsetAndExplodedSlice) {
  TPieFixture F;
  F.Pie.Pie().SetStartOffsetAngle(90);
  F.Pie.Pie().SetShowValues(true);
  F.Pie.SetValueType(cvNormal);
  F.Pie.SetValueFormat(u"%g");
  F.Pie.AddPiePoints(1, u"a", clBlue, clNone, 10, true);
  F.Pie.AddPiePoints(1, u"b", clGreen, clNone, 0, true);
  F.Paint();
  const TSlicePoint& A = F.Pie.DrawValuesSlice[0];
  const TSlicePoint& B = F.Pie.DrawValuesSlice[1];
  EXPECT_FLOAT_EQ(A.STA, 90);
  EXPECT_FLOAT_EQ(A.SWA, 270);
  // Slice a's bisector points left (180 degrees): it moved 10 pixels left.
  EXPECT_EQ(A.CX, B.CX - 10);
  EXPECT_EQ(A.CY, B.CY);
  auto Texts = F.Ops(coTextOut);
  ASSERT_GE(Texts.size(), 2u);
  // Value text of a: centred at half the radius plus the indent, to the left.
  Integer R = F.Pie.Pie().GetPieSize() / 2;
  const TCanvasRecord* TA = nullptr;
  for (auto* T : Texts)
    if (T->Text == u"1" && T->Font.Color() == F.Pie.Pie().ValueFont().Color()) {
      TA = T;
      break;
    }
  ASSERT_NE(TA, nullptr);
  Integer CenterX = (TA->Rect.Left + TA->Rect.Right) / 2;
  EXPECT_NEAR(CenterX, B.CX - (R / 2 + 10), 4);
}

TEST(PiePainting, HalfPieAndSkippedPoints) {
  TPieFixture F;
  F.Pie.SetChartType(ctHalfPie);
  F.Pie.Pie().SetShowValues(true);
  F.Add(5, u"a");
  F.Add(0, u"zero");
  F.Pie.AddPiePoints(-3, u"neg", clNone, clNone, 0, true);
  F.Pie.AddPiePoints(9, u"undef", clNone, clNone, 0, false);
  F.Add(5, u"b");
  F.Paint();
  ASSERT_EQ(F.Ops(coPie).size(), 2u);
  EXPECT_FLOAT_EQ(F.Pie.DrawValuesSlice[4].SWA - F.Pie.DrawValuesSlice[4].STA, 90);
  EXPECT_FLOAT_EQ(F.Pie.DrawValuesSlice[0].SWA, 90);
}

TEST(PiePainting, FolderPiePercentagesAddUpToOneHundred) {
  for (auto Values : {std::vector<double>{7}, std::vector<double>{1, 3, 6},
                      std::vector<double>{13, 11, 9, 8, 7, 7, 6, 6, 5, 5, 5, 4, 4, 10}}) {
    TPieFixture F;
    F.FolderPie();
    for (size_t I = 0; I < Values.size(); ++I)
      F.Add(Values[I], I + 1 == Values.size() && Values.size() > 3 ? u"Grouped" : u"f" + IntToStr(int(I)));
    F.Paint({0, 0, 420, 460});
    // Read from the legend, which gives every share (a thin slice's own
    // text is left out).
    double Sum = 0;
    int Count = 0;
    for (const TCanvasRecord* T : F.Ops(coTextOut)) {
      if (T->Font.Color() == clWhite || T->Text.size() < 3 || T->Text.substr(T->Text.size() - 2) != u"%)") continue;
      const std::size_t Open = T->Text.rfind(u'(');
      Sum += StrToFloat(T->Text.substr(Open + 1, T->Text.size() - Open - 3), TFormatSettings::English());
      ++Count;
    }
    EXPECT_EQ(Count, int(Values.size()));
    EXPECT_NEAR(Sum, 100, 0.01 * Values.size());
  }
}

TEST(PiePainting, ZeroTotalPaintsNoSliceAndNoDivision) {
  TPieFixture F;
  F.FolderPie();
  F.Add(0, u"a");
  F.Add(0, u"b");
  F.Paint();
  EXPECT_TRUE(F.Ops(coPie).empty());
  for (const TCanvasRecord* T : F.Ops(coTextOut))
    if (T->Font.Color() == clWhite) {
      EXPECT_EQ(T->Text, u"0.00%");
    }
}

TEST(PiePainting, RingTextsSitInTheMiddleOfTheRing) {
  TPieFixture F;
  F.Pie.SetChartType(ctDonut);
  F.Pie.Pie().SetSize(200);
  F.Pie.Pie().SetInnerSize(100);
  F.Pie.Pie().SetShowValues(true);
  F.Pie.SetValueType(cvNormal);
  F.Add(1, u"x", clBlue);
  F.Paint();
  const TSlicePoint& S = F.Pie.DrawValuesSlice[0];
  // The one slice is the whole ring: a circle whose hole the clip region cuts.
  std::vector<const TCanvasRecord*> Rings;
  for (auto* E : F.Ops(coEllipse))
    if (E->Brush.Color() == clBlue) Rings.push_back(E);
  ASSERT_EQ(Rings.size(), 1u);
  EXPECT_TRUE(Rings[0]->Clipped);
  const TCanvasRecord* T = nullptr;
  for (auto* R : F.Ops(coTextOut))
    if (R->Text == u"1") T = R;
  ASSERT_NE(T, nullptr);
  Integer TX = (T->Rect.Left + T->Rect.Right) / 2;
  EXPECT_NEAR(TX - S.CX, -75, 4);  // (100 + 50) / 2 on the bisector at 180 degrees
  EXPECT_FALSE(F.Pie.PointInPie(S.CX, S.CY, S.CX, S.CY, S.STA, S.SWA));
}

TEST(PiePainting, ShowLegendOnSlice) {
  TPieFixture F;
  F.FolderPie();
  F.Pie.Pie().SetShowLegendOnSlice(true);
  F.Add(1, u"Files");
  F.Add(1, u"Other");
  F.Paint();
  std::vector<String> T;
  for (auto* R : F.Ops(coTextOut))
    if (R->Font.Color() == clWhite) T.push_back(R->Text);
  ASSERT_EQ(T.size(), 2u);
  EXPECT_EQ(T[0], u"Files (50.00%)");
}

// Value texts of thin slices: a text that would not fit its slice, or would
// lie over another text, is left out; the widest slices keep theirs, and
// the legend still gives every share. The boxes drawn are kept per point.
TEST(PiePainting, ValueTextsOfThinSlicesAreLeftOutNeverOverlapping) {
  TPieFixture F;
  F.FolderPie();
  const std::vector<double> Values{600, 200, 3, 2, 2, 1, 1, 1, 150, 0.01};
  for (size_t I = 0; I < Values.size(); ++I) F.Add(Values[I], u"f" + IntToStr(int(I)));
  F.Paint({0, 0, 420, 560});
  ASSERT_EQ(F.Pie.DrawValuesText.size(), Values.size());
  std::vector<TRect> Drawn;
  for (const TCanvasRecord* T : F.Ops(coTextOut))
    if (T->Font.Color() == clWhite) Drawn.push_back(T->Rect);
  int Kept = 0;
  for (size_t I = 0; I < Values.size(); ++I) {
    const TRect& B = F.Pie.DrawValuesText[I];
    if (B.IsEmpty()) continue;
    ++Kept;
    const TSlicePoint& S = F.Pie.DrawValuesSlice[I];
    // Every corner of the box lies in the slice's sector.
    for (TPoint Q :
         {TPoint{B.Left, B.Top}, TPoint{B.Right, B.Top}, TPoint{B.Left, B.Bottom}, TPoint{B.Right, B.Bottom}}) {
      const double A = ScreenAngle({S.CX, S.CY}, Q);
      const double From = std::fmod(double(S.STA), 360.0);
      double Rel = std::fmod(A - From + 360.0, 360.0);
      EXPECT_LE(Rel, S.SWA - S.STA + 0.5) << "text of slice " << I << " leaves its slice";
    }
    for (size_t J = I + 1; J < Values.size(); ++J) {
      const TRect& O = F.Pie.DrawValuesText[J];
      EXPECT_FALSE(!O.IsEmpty() && O.Left < B.Right && B.Left < O.Right && O.Top < B.Bottom && B.Top < O.Bottom)
          << I << " and " << J << " overlap";
    }
  }
  EXPECT_EQ(Kept, int(Drawn.size()));
  for (int I : {0, 1, 8}) EXPECT_FALSE(F.Pie.DrawValuesText[I].IsEmpty()) << "wide slice " << I;
  for (int I : {3, 4, 5, 6, 7, 9}) EXPECT_TRUE(F.Pie.DrawValuesText[I].IsEmpty()) << "thin slice " << I;
  int Legend = 0;
  for (const TCanvasRecord* T : F.Ops(coTextOut))
    if (T->Font.Color() != clWhite && T->Text.size() > 2 && T->Text.substr(T->Text.size() - 2) == u"%)") ++Legend;
  EXPECT_EQ(Legend, int(Values.size()));
}

TEST(PiePainting, SpiderFunnelAndSizedPies) {
  TPieFixture F;
  F.Pie.SetChartType(ctSpider);
  for (double V : {1.0, 2.0, 3.0, 4.0}) F.Add(V, u"");
  F.Paint();
  EXPECT_EQ(F.Pie.SpiderV.size(), 5u);
  EXPECT_EQ(F.Pie.SpiderV.front(), F.Pie.SpiderV.back());

  TPieFixture G;
  G.Pie.SetChartType(ctFunnel);
  G.Pie.SetFunnelMode(fmWidth);
  G.Add(10, u"");
  G.Add(5, u"");
  G.Paint();
  ASSERT_EQ(G.Pie.DrawValuesFunnel.size(), 2u);
  const TFunnelPoint& Low = G.Pie.DrawValuesFunnel[0];
  const TFunnelPoint& High = G.Pie.DrawValuesFunnel[1];
  EXPECT_EQ(Low.X1 - Low.X0, 2 * (High.X1 - High.X0));
  EXPECT_GT(Low.Y0, High.Y0);

  TPieFixture H;
  H.Pie.SetChartType(ctSizedPie);
  H.Pie.SetAutoRange(arEnabled);
  H.Pie.SetRangePercentMargin(0);
  for (double V : {1.0, 2.0, 4.0}) H.Add(V, u"");
  H.Paint();
  auto Pies = H.Ops(coPie);
  ASSERT_EQ(Pies.size(), 3u);
  Integer R = H.Pie.Pie().GetPieSize() / 2;
  EXPECT_NEAR(Pies[0]->Rect.Width() / 2, R / 4, 1);
  EXPECT_NEAR(Pies[2]->Rect.Width() / 2, R, 1);
  EXPECT_FLOAT_EQ(H.Pie.DrawValuesSlice[1].SWA - H.Pie.DrawValuesSlice[1].STA, 120);
}
