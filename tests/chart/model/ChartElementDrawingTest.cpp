#include <gtest/gtest.h>

#include "ChartTestSupport.h"

namespace {
class TBox : public TChartGraphic {
public:
  TBox(Integer W, Integer H) : FW(W), FH(H) {}
  Integer Width() const override { return FW; }
  Integer Height() const override { return FH; }

private:
  Integer FW, FH;
};

std::vector<TPoint> Draws(const TRecordingCanvas& C) {
  std::vector<TPoint> Out;
  for (const TCanvasRecord& R : C.Records())
    if (R.Op == coDraw) Out.push_back(R.Rect.TopLeft());
  return Out;
}
}  // namespace

TEST(ChartElementDrawing, BackgroundPictureTiledAtScale) {
  TChartFixture F;
  TChartBackground& B = F.Chart.Background();
  B.Picture().SetGraphic(std::make_shared<TBox>(100, 50));
  B.SetPictureVisible(true);
  B.SetBackGroundPosition(bpTiled);
  B.Draw(F.Canvas, {10, 20, 260, 140}, 2, 2);
  std::vector<TPoint> Want = {{10, 20}, {210, 20}, {10, 120}, {210, 120}};
  EXPECT_EQ(Draws(F.Canvas), Want);
  F.Canvas.Clear();
  B.SetBackGroundPosition(bpTopRight);
  B.Picture().SetGraphic(std::make_shared<TBox>(300, 50));
  B.Draw(F.Canvas, {10, 20, 260, 140}, 1, 1);
  EXPECT_EQ(Draws(F.Canvas), (std::vector<TPoint>{{10, 20}}));
}

TEST(ChartElementDrawing, TitleFills) {
  TChartFixture F;
  TChartTitle& T = F.Chart.Title();
  T.SetColor(clRed);
  T.Draw(F.Canvas, true, {0, 0, 100, 20}, 1, 1);
  ASSERT_EQ(F.Canvas.Records()[0].Op, coRectangle);
  EXPECT_EQ(F.Canvas.Records()[0].Pen.Color, clRed);
  EXPECT_EQ(F.Canvas.Records()[0].Brush.Color(), clRed);
  F.Canvas.Clear();
  T.SetColor(clWhite);
  T.SetColorTo(clBlue);
  T.SetGradientSteps(2);
  T.Draw(F.Canvas, false, {0, 0, 100, 20}, 1, 1);
  EXPECT_EQ(F.Canvas.Records()[0].Brush.Color(), clBlue);  // the bottom band starts with ColorTo
}

TEST(ChartElementDrawing, XGridLinesAtFixedAndWidenedDistances) {
  TChartFixture F;
  F.Chart.Series().Add();
  TChartXGrid& G = F.Chart.XGrid();
  G.SetAutoUnits(false);
  G.SetMinorDistance(5);
  G.SetMajorDistance(10);
  G.SetMinorLineColor(clRed);
  G.SetMajorLineColor(clBlue);
  F.Chart.SetXScaleOffset(false);
  F.Chart.Range().SetRangeTo(20);
  F.Chart.SetXScale(2);
  G.Draw(F.Canvas, {0, 0, 100, 100}, 1, 1);
  std::vector<Integer> Major, Minor;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coLineTo) (R.Pen.Color == clBlue ? Major : Minor).push_back(R.Points[1].X / 2);
  EXPECT_EQ(Major, (std::vector<Integer>{0, 10, 20}));
  EXPECT_EQ(Minor, (std::vector<Integer>{5, 15}));
  // Automatic: "WW" is 14 wide; 22 > 20 fails, so 10 becomes 20 (22 again), then 40.
  F.Canvas.Clear();
  TFixedTextMeasurer Wide(10, 13);
  TRecordingCanvas C(Wide);
  G.SetAutoUnits(true);
  G.SetMinorDistance(10);
  G.SetMajorDistance(1000);
  F.Chart.Range().SetRangeTo(100);
  G.Draw(C, {0, 0, 400, 100}, 1, 1);
  Minor.clear();
  for (const TCanvasRecord& R : C.Records())
    if (R.Op == coLineTo && R.Pen.Color == clRed) Minor.push_back(R.Points[1].X / 2);
  EXPECT_EQ(Minor, (std::vector<Integer>{40, 80}));
}

TEST(ChartElementDrawing, YGridBandsWithoutLinesAndMissingSerie) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.AddSinglePoint(0);
  S.AddSinglePoint(10);
  F.Chart.Bands().SetVisible(true);
  F.Chart.InitializeChart(F.Canvas, {0, 0, 400, 300}, 1, 1);
  F.Chart.YGrid().Draw(F.Canvas, {30, 0, 400, 270}, 1, 1);
  int Bands = 0, Lines = 0;
  for (const TCanvasRecord& R : F.Canvas.Records()) {
    if (R.Op == coRectangle) ++Bands;
    if (R.Op == coLineTo) ++Lines;
  }
  EXPECT_GT(Bands, 0);
  EXPECT_EQ(Lines, 0);
  F.Canvas.Clear();
  F.Chart.YGrid().SetSerieIndex(3);
  F.Chart.YGrid().SetShowBorder(true);
  F.Chart.YGrid().Draw(F.Canvas, {30, 0, 400, 270}, 1, 1);
  EXPECT_TRUE(F.Canvas.Records().empty());
  F.Chart.YGrid().SetSerieIndex(-2);
  EXPECT_EQ(F.Chart.YGrid().SerieIndex(), 3);
}

TEST(ChartElementDrawing, NavigatorAndCrossHair) {
  TChartFixture F;
  TChartNavigator& N = F.Chart.Navigator();
  EXPECT_EQ(N.BottomSize(), 0);
  N.SetVisible(true);
  EXPECT_EQ(N.BottomSize(), 20);
  N.SetScrollButtonsSize(40);
  N.Draw(F.Canvas, {0, 0, 200, 100}, 1, 1);
  std::vector<const TCanvasRecord*> Arrows;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coPolygon) Arrows.push_back(&R);
  ASSERT_EQ(Arrows.size(), 2u);
  EXPECT_EQ(Arrows[0]->Points[2].Y - Arrows[0]->Points[1].Y, 20);  // clamped to the bar height
  F.Chart.Series().Add().SetChartType(ctBar);
  F.Chart.Series().SetChartMode(dmHorizontal);
  EXPECT_EQ(N.BottomSize(), 0);

  TChartFixture G;
  G.Chart.SetXScale(10);
  G.Chart.SetXScaleOffset(false);
  G.Chart.PointValue().Point = 3;
  G.Chart.PointValue().YValue = 50;
  G.Chart.CrossHair().Draw(G.Canvas, {100, 0, 300, 200}, 1, 1);
  ASSERT_EQ(G.Canvas.Records().size(), 4u);
  EXPECT_EQ(G.Canvas.Records()[1].Points[0], (TPoint{110, 50}));
  EXPECT_EQ(G.Canvas.Records()[3].Points[1], (TPoint{130, 70}));
}

TEST(ChartElementDrawing, LegendEntriesAndHitTest) {
  TChartFixture F;
  F.Chart.Series().Add().SetLegendText(u"one");
  TChartSerie& Hidden = F.Chart.Series().Add();
  Hidden.SetShowInLegend(false);
  F.Chart.Series().Add().SetLegendText(u"three");
  F.Chart.Legend().SetLeft(7);
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  TRect S = F.Chart.Series().SeriesRectangle();
  std::vector<const TCanvasRecord*> Texts;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coTextOut && R.Points[0].X == S.Left + 7 + 2 * 5 + 10) Texts.push_back(&R);
  ASSERT_EQ(Texts.size(), 2u);
  EXPECT_EQ(Texts[1]->Text, u"three");
  EXPECT_EQ(Texts[1]->Points[0].Y, S.Top + 5 + 15 + (10 - 13) / 2);
  TChartSerie* Hit = F.Chart.GetLegendItemAtXY(S.Left + 7 + 3, S.Top + 5 + 15 + 2);
  ASSERT_NE(Hit, nullptr);
  EXPECT_EQ(Hit->LegendText(), u"three");
  F.Chart.Legend().SetVisible(false);
  EXPECT_EQ(F.Chart.GetLegendItemAtXY(S.Left + 7 + 3, S.Top + 5 + 15 + 2), nullptr);
}

TEST(ChartElementDrawing, AnnotationConnectorAndText) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  TChartAnnotation& A = S.Annotations().Add();
  EXPECT_EQ(A.Name(), u"Annotation 0");
  EXPECT_EQ(A.LineWidth(), 0);
  A.SetText(u"a&b");
  A.SetArrow(arStartArrow);
  A.Draw(F.Canvas, {50, 50, 100, 70}, {50, 50, 100, 70}, 30, 30, 1, 1);
  const auto& R = F.Canvas.Records();
  auto Line = std::find_if(R.begin(), R.end(), [](const TCanvasRecord& X) { return X.Op == coLineTo; });
  ASSERT_NE(Line, R.end());
  EXPECT_EQ(Line->Points[0], (TPoint{51, 51}));  // top-left corner, inset by the border
  EXPECT_EQ(Line->Points[1], (TPoint{30, 30}));
  EXPECT_EQ(R.back().Op, coDrawText);
  EXPECT_EQ(R.back().Text, u"a&b");
  EXPECT_TRUE(R.back().Flags.Contains(dtNoPrefix));
  int Changes = 0;
  S.OnChange = [&](TObject*) { ++Changes; };
  A.SetColor(clRed);
  S.Annotations().Insert(0).SetColor(clBlue);
  EXPECT_EQ(Changes, 1);
}
