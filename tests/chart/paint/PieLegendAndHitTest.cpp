#include <algorithm>
#include <numbers>
#include <gtest/gtest.h>

#include "PieTestSupport.h"

TEST(PieLegend, BoxSizeEntriesAndTitle) {
  TPieFixture F;
  F.Pie.SetColor(clRed);
  F.Pie.SetValueType(cvNone);
  F.Pie.Pie().SetLegendTitleVisible(true);
  F.Pie.SetLegendText(u"T");
  for (const char16_t* T : {u"aaaaaaaaaa", u"bb", u"cc"}) F.Add(1, T);
  F.Paint();
  bool Measured = false;
  TRect B = F.Chart.SeriePainter()->DrawPieLegend(F.Pie, F.Canvas, false, 1, 1, Measured);
  ASSERT_TRUE(Measured);
  EXPECT_EQ(B.Width(), 70 + 25 + 1);  // widest entry + 25, halves rounded to even
  EXPECT_EQ(B.Height(), 60);          // 5 + 3 x (13 + 5), halves rounded to even
  TRect PR = F.Pie.GetPieRectangle(0, F.Chart.Series().SeriesRectangle());
  EXPECT_EQ(B.Right, PR.Right - 5);  // centre right, 5 pixels from the edge
  std::vector<const TCanvasRecord*> Entries;
  for (auto* T : F.Ops(coTextOut))
    if (T->Text.size() >= 2 && T->Points[0].X == B.Left + 20) Entries.push_back(T);
  ASSERT_EQ(Entries.size(), 3u);
  EXPECT_EQ(Entries[0]->Points[0].Y, B.Top + 5);
  EXPECT_EQ(Entries[1]->Points[0].Y, B.Top + 5 + 18);  // (60 - 5) / 3 rounded
  auto Squares = F.Ops(coPolygon);
  ASSERT_GE(Squares.size(), 3u);
  EXPECT_EQ(Squares[0]->Brush.Color(), 85);
  EXPECT_EQ(Squares[2]->Brush.Color(), 255);
  int Titles = 0;
  for (auto* T : F.Ops(coTextOut))
    if (T->Text == u"T" && T->Points[0] == (TPoint{B.Left, B.Top - 13})) ++Titles;
  EXPECT_EQ(Titles, 1);
}

// The box keeps its spacing below the last entry as above the first (give
// or take the rounding of its half height), whatever the number of entries.
TEST(PieLegend, EntriesKeepTheSameMarginAboveAndBelow) {
  for (int N : {1, 2, 3, 5}) {
    TPieFixture F;
    F.Pie.SetValueType(cvNone);
    for (int I = 0; I < N; ++I) F.Add(1, u"entry");
    F.Paint();
    bool Measured = false;
    const TRect B = F.Chart.SeriePainter()->DrawPieLegend(F.Pie, F.Canvas, false, 1, 1, Measured);
    ASSERT_TRUE(Measured);
    std::vector<Integer> Tops;
    for (auto* T : F.Ops(coTextOut))
      if (T->Text == u"entry" && T->Points[0].X == B.Left + 20) Tops.push_back(T->Points[0].Y);
    ASSERT_EQ(Tops.size(), std::size_t(N));
    EXPECT_EQ(Tops.front() - B.Top, 5) << N;
    const Integer Below = B.Bottom - (Tops.back() + 13);
    EXPECT_GE(Below, 4) << N;
    EXPECT_LE(Below, 6) << N;
    // The box drawn is the box measured.
    auto Boxes = F.Ops(coRectangle);
    EXPECT_NE(std::find_if(Boxes.begin(), Boxes.end(), [&](auto* R) { return R->Rect == B; }), Boxes.end()) << N;
  }
}

TEST(PieLegend, PercentageEntriesAndHiddenLegend) {
  TPieFixture F;
  F.Pie.SetValueType(cvPercentage);
  F.Pie.SetValueFormat(u"%.1f");
  F.Add(1, u"a");
  F.Add(3, u"b");
  F.Add(0, u"c");
  F.Pie.AddPiePoints(2, u"d", clNone, clNone, 0, false);
  F.Paint();
  std::vector<String> Texts;
  for (auto* T : F.Ops(coTextOut)) Texts.push_back(T->Text);
  EXPECT_NE(std::find(Texts.begin(), Texts.end(), u"a (25.0%)"), Texts.end());
  EXPECT_NE(std::find(Texts.begin(), Texts.end(), u"b (75.0%)"), Texts.end());
  EXPECT_NE(std::find(Texts.begin(), Texts.end(), u"c (0.0%)"), Texts.end());
  EXPECT_NE(std::find(Texts.begin(), Texts.end(), u"Undefined"), Texts.end());
  F.Pie.Pie().SetLegendVisible(false);
  bool Measured = true;
  F.Chart.SeriePainter()->DrawPieLegend(F.Pie, F.Canvas, false, 1, 1, Measured);
  EXPECT_FALSE(Measured);
}

TEST(PieHitTests, EveryBisectorSelectsItsSlice) {
  for (Integer Offset : {0, 90, 300}) {
    TPieFixture F;
    F.Pie.Pie().SetStartOffsetAngle(Offset);
    for (double V : {1.0, 3.0, 6.0, 2.0}) F.Add(V, u"");
    F.Paint();
    for (Integer K = 0; K < 4; ++K) {
      const TSlicePoint& S = F.Pie.DrawValuesSlice[K];
      double Mid = (S.STA + S.SWA) / 2 * std::numbers::pi / 180;
      Integer X = S.CX + RoundI(40 * std::cos(Mid)), Y = S.CY - RoundI(40 * std::sin(Mid));
      TChartSeriePoint Hit = F.Chart.GetSerieIndexAtXY(X, Y);
      EXPECT_EQ(Hit.Serie, 0);
      EXPECT_EQ(Hit.Point, K) << "offset " << Offset;
      EXPECT_EQ(F.Pie.SelectedIndex(), K);
    }
  }
}

TEST(PieHitTests, HoverChangesNothingAndOutsideHitsNothing) {
  TPieFixture F;
  F.Add(1, u"");
  F.Add(1, u"");
  F.Paint();
  int Changes = 0;
  F.Chart.OnChange = [&](TObject*) { ++Changes; };
  const TSlicePoint& S = F.Pie.DrawValuesSlice[1];
  TChartSeriePoint Hit = F.Chart.GetSerieIndexAtXY(S.CX - 30, S.CY + 5, true);
  EXPECT_EQ(Hit.Point, 1);
  EXPECT_EQ(F.Pie.SelectedIndex(), -1);
  EXPECT_EQ(Changes, 0);
  TChartSeriePoint Miss = F.Chart.GetSerieIndexAtXY(-5, -5);
  EXPECT_EQ(Miss.Serie, -1);
  TChartSeriePoint Far = F.Chart.GetSerieIndexAtXY(S.CX + 1000, S.CY);
  EXPECT_EQ(Far.Point, -1);
}

TEST(PieHitTests, LegendItemUnderThePixel) {
  TPieFixture F;
  F.Pie.SetValueType(cvNone);
  for (const char16_t* T : {u"a", u"b", u"c", u"d"}) F.Add(1, T);
  F.Paint();
  bool Measured;
  TRect B = F.Chart.SeriePainter()->DrawPieLegend(F.Pie, F.Canvas, false, 1, 1, Measured);
  TChartSeriePoint Hit = F.Chart.GetPieLegendItemAtXY(B.Left + 3, B.Top + B.Height() * 5 / 8);
  EXPECT_EQ(Hit.Serie, 0);
  EXPECT_EQ(Hit.Point, 2);
  EXPECT_EQ(F.Chart.GetPieLegendItemAtXY(B.Left - 3, B.Top).Point, -1);
}

TEST(PieHitTests, SelectedSliceMarks) {
  TPieFixture F;
  F.Pie.SetSelectedMark(true);
  F.Add(1, u"");
  F.Add(1, u"");
  F.Pie.SetSelectedIndex(1);
  F.Paint();
  const TSlicePoint& S = F.Pie.DrawValuesSlice[1];
  auto E = F.Ops(coEllipse);
  ASSERT_EQ(E.size(), 3u);
  EXPECT_EQ(E[0]->Rect, Bounds(S.X0 - 4, S.Y0 - 4, 8, 8));
  EXPECT_EQ(E[0]->Brush.Color(), clLime);
}

TEST(PieHitTests, ASelectedPointWithoutASliceGetsNoMarks) {
  TPieFixture F;
  F.Pie.SetSelectedMark(true);
  F.Add(1, u"");
  F.Add(0, u"");
  F.Add(1, u"");
  F.Pie.SetSelectedIndex(1);
  F.Paint();
  EXPECT_TRUE(F.Ops(coEllipse).empty());
}
