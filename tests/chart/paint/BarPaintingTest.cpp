// Bars side by side and stacked, their value texts, 3D faces, pyramids and
// gantt bars on the recording canvas. A plain pane of 400 x 300 with ten
// slots gives XScale 40 (categories at x = 20, 60, ...); the fixed range
// 0..100 gives y = 300 - 3 v.
#include <gtest/gtest.h>

#include "ChartPaintFixture.h"

namespace {
struct TBars : TChartPaintFixture {
  explicit TBars(Integer Slots = 10) {
    Plain();
    Pane = {0, 0, 400, 300};
    Chart.Range().SetRangeTo(Slots - 1);
    Chart.Series().SetBarChartSpacing(0);
    Chart.Series().SetBarChartSpacingType(wtPixels);
  }
  // The bodies painted for one colour, normalised.
  std::vector<TRect> Bodies(TColor Color) const {
    std::vector<TRect> Out;
    for (const TCanvasRecord* R : Filled(coRoundRect, Color)) Out.push_back(R->Rect);
    return Out;
  }
};
}  // namespace

TEST(BarPainting, TwoBarSeriesShareEachCategoryHalfAndHalf) {
  TBars F;
  TChartSerie& A = F.AddFixed(ctBar, clRed);
  TChartSerie& B = F.AddFixed(ctBar, clBlue);
  for (int I = 0; I < 10; ++I) {
    A.AddSinglePoint(50);
    B.AddSinglePoint(20 + I);
  }
  F.Paint();
  auto RA = F.Bodies(clRed), RB = F.Bodies(clBlue);
  ASSERT_EQ(RA.size(), 10u);
  ASSERT_EQ(RB.size(), 10u);
  for (int I = 0; I < 10; ++I) {
    Integer Cat = 20 + 40 * I;
    // Bars 10 wide (half of a 20-pixel slot), centred in their slot.
    EXPECT_EQ(RA[I], (TRect{Cat - 15, 150, Cat - 5, 300})) << I;
    EXPECT_EQ(RB[I].Left, Cat + 5) << I;
    EXPECT_EQ(RB[I].Width(), 10);
    EXPECT_EQ(RB[I].Top, 300 - 3 * (20 + I));
  }
  // The recorded bar runs from the base to the value end (upwards: its
  // bottom edge above its top edge); the value point is the bar's end.
  EXPECT_EQ(A.StackedRectsBar[0].R, (TRect{5, 300, 15, 150}));
  EXPECT_EQ(A.DrawValuesDP[0], (TPoint{5, 150}));
  EXPECT_EQ(F.Chart.Series().cntBar, 2);
}

TEST(BarPainting, NegativeBarHangsBelowTheZeroLineWithItsTextMirrored) {
  TBars F(2);
  TChartSerie& S = F.AddFixed(ctBar, clRed, -50, 50);
  S.AddSinglePoint(30);
  S.AddSinglePoint(-20);
  S.BarValueTextFont().SetColor(clGreen);
  S.OnGetBarValueText = [](TObject*, Integer, Integer Point, TChartFont&, String& Text, TAlignment&) {
    Text = Point == 0 ? u"up" : u"down";
  };
  F.Paint();
  auto Bodies = F.Bodies(clRed);
  ASSERT_EQ(Bodies.size(), 2u);
  EXPECT_EQ(Bodies[0].Bottom, 150);  // the zero line
  EXPECT_EQ(Bodies[0].Top, 60);
  EXPECT_EQ(Bodies[1].Top, 150);
  EXPECT_EQ(Bodies[1].Bottom, 210);
  // Vertical bars write their texts turned, from the base end for
  // taLeftJustify: above 0 from the bottom, below 0 from the far (top) end.
  const TCanvasRecord* Up = F.Text(u"up");
  const TCanvasRecord* Down = F.Text(u"down");
  ASSERT_TRUE(Up && Down);
  EXPECT_EQ(Up->Font.Orientation(), 900);
  EXPECT_EQ(Up->Points[0].Y, 150 - 4);
  EXPECT_EQ(Down->Points[0].Y, 150 + 4 + Down->Rect.Width());  // ends at the top

  TBars H(2);
  H.Chart.Series().SetChartMode(dmHorizontal);
  TChartSerie& T = H.AddFixed(ctBar, clRed, -50, 50);
  T.AddSinglePoint(30);
  T.AddSinglePoint(-20);
  T.OnGetBarValueText = S.OnGetBarValueText;
  H.Paint();
  const TCanvasRecord* HUp = H.Text(u"up");
  const TCanvasRecord* HDown = H.Text(u"down");
  ASSERT_TRUE(HUp && HDown);
  ASSERT_EQ(HUp->Op, coDrawText);
  EXPECT_FALSE(HUp->Flags.Contains(dtRight));
  EXPECT_TRUE(HDown->Flags.Contains(dtRight));  // left-justified text of a bar to the left: against its far end
  EXPECT_EQ(HDown->Rect.Right, 200 - 4);
  EXPECT_EQ(HDown->Rect.Left, 200 - 4 * 20 + 4);  // the bar is 80 wide
}

TEST(BarPainting, StackedBarsOfOneGroupShareASlotAndAHigherGroupMovesOn) {
  TBars F;
  TChartSerie& A = F.AddFixed(ctStackedBar, clRed);
  TChartSerie& B = F.AddFixed(ctStackedBar, clBlue);
  TChartSerie& C = F.AddFixed(ctStackedBar, clGreen);
  C.SetGroupIndex(1);
  for (int I = 0; I < 10; ++I) {
    A.AddSinglePoint(20);
    B.AddSinglePoint(10);
    C.AddSinglePoint(30);
  }
  F.Paint();
  auto RA = F.Bodies(clRed), RB = F.Bodies(clBlue), RC = F.Bodies(clGreen);
  ASSERT_EQ(RA.size(), 10u);
  ASSERT_EQ(RB.size(), 10u);
  ASSERT_EQ(RC.size(), 10u);
  EXPECT_EQ(RA[3].Left, RB[3].Left);
  EXPECT_EQ(RA[3], (TRect{RA[3].Left, 240, RA[3].Right, 300}));
  EXPECT_EQ(RB[3], (TRect{RA[3].Left, 210, RA[3].Right, 240}));  // on top of the red one
  EXPECT_EQ(RC[3].Left, RA[3].Left + 20);                        // the next group's slot
  EXPECT_EQ(RC[3].Bottom, 300);
}

TEST(BarPainting, ThreeDBarsArePaintedPointByPointAcrossSeries) {
  TBars F(3);
  TChartSerie& A = F.AddFixed(ctBar, clRed);
  TChartSerie& B = F.AddFixed(ctBar, clBlue);
  for (TChartSerie* S : {&A, &B}) {
    S->SetEnable3D(true);
    S->SetOffset3D(6);
    for (int I = 0; I < 3; ++I) S->AddSinglePoint(10 * (I + 1));
  }
  F.Paint();
  std::vector<TColor> Order;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coRoundRect) Order.push_back(R.Brush.Color());
  EXPECT_EQ(Order, (std::vector<TColor>{clRed, clBlue, clRed, clBlue, clRed, clBlue}));
  // Each bar got its side and top faces first, in the darkened colour.
  auto Faces = F.Filled(coPolygon, DarkenColor(clRed, true));
  ASSERT_EQ(Faces.size(), 6u);
  const TRect Bar = A.StackedRectsBar[0].R;
  EXPECT_EQ(Faces[0]->Points[0], (TPoint{Bar.Right, Bar.Bottom}));
  EXPECT_EQ(Faces[0]->Points[1], (TPoint{Bar.Right + 6, Bar.Bottom - 6}));
}

TEST(BarPainting, LineBarJoinsTheMiddlesOfTheBarEnds) {
  TBars F(3);
  TChartSerie& S = F.AddFixed(ctLineBar, clRed);
  S.SetLineColor(clBlue);
  S.SetBorderWidth(0);
  for (double V : {10.0, 30.0, 20.0}) S.AddSinglePoint(V);
  F.Paint();
  const TCanvasRecord* Line = nullptr;
  for (const TCanvasRecord* R : F.Ops(coPolyline))
    if (R->Pen.Color == clBlue) Line = R;
  ASSERT_NE(Line, nullptr);
  const double XScale = F.Chart.XScale();
  ASSERT_EQ(Line->Points.size(), 3u);
  for (int I = 0; I < 3; ++I) EXPECT_NEAR(Line->Points[I].X, XScale * (I + 0.5), 1) << I;
  EXPECT_EQ(Line->Points[1].Y, 300 - 90);
}

TEST(BarPainting, PyramidPartsNarrowToTheTop) {
  TBars F(1);
  TChartSerie& S = F.AddFixed(ctBar, clRed);
  S.SetBarShape(bsPyramid);
  S.AddSinglePoint(50);
  F.Paint();
  auto Parts = F.Filled(coPolygon, clRed);
  ASSERT_EQ(Parts.size(), 1u);
  const auto& P = Parts[0]->Points;
  ASSERT_EQ(P.size(), 4u);
  EXPECT_EQ(P[0].Y, 300);  // the base, full width
  EXPECT_EQ(P[1].X - P[0].X, S.StackedRectsBar[0].R.Width());
  EXPECT_EQ(P[2].Y, 150);  // the apex at the value, no width left
  EXPECT_EQ(P[2].X, P[3].X);
}

TEST(BarPainting, GanttBarsOfDefinedPointsWithTheirTexts) {
  TBars F(10);
  TChartSerie& S = F.AddFixed(ctGantt, clNone);
  S.SetGanttHeight(20);
  S.SetGanttSpacing(10);
  S.AddSinglePoint(1, 3, u"Plan", clBlue, clNone, clBlack, clNone, cgdHorizontal);
  S.AddSinglePoint(3, 7, u"Build", clBlue, clNone, clBlack, clNone, cgdHorizontal);
  S.AddSinglePoint(7, 9, u"Ship", clBlue, clNone, clBlack, clNone, cgdHorizontal);
  S.UpdatePoint(1, [](TChartPoint& P) { P.Defined = false; });
  F.Paint();
  auto Fills = F.Filled(coFillRect, clBlue);
  ASSERT_EQ(Fills.size(), 2u);
  const TRect SR = F.Chart.Series().SeriesRectangle();
  EXPECT_EQ(Fills[0]->Rect, (TRect{S.ValueToX(1, SR), 300 - 10 - 20, S.ValueToX(3, SR), 300 - 10}));
  EXPECT_NE(F.Text(u"Plan"), nullptr);
  EXPECT_EQ(F.Text(u"Build"), nullptr);
  EXPECT_NE(F.Text(u"Ship"), nullptr);
}

TEST(BarPainting, HoverOverABarSelectsNothingAClickSelectsIt) {
  TBars F(3);
  TChartSerie& S = F.AddFixed(ctBar, clRed);
  for (double V : {10.0, 30.0, 20.0}) S.AddSinglePoint(V);
  F.Paint();
  TRect Bar = S.StackedRectsBar[1].R;
  TPoint Inside{(Bar.Left + Bar.Right) / 2, 250};
  TChartSeriePoint Hover = F.Chart.GetSerieIndexAtXY(Inside.X, Inside.Y, true);
  EXPECT_EQ(Hover.Point, 1);
  EXPECT_EQ(S.SelectedIndex(), -1);
  TChartSeriePoint Click = F.Chart.GetSerieIndexAtXY(Inside.X, Inside.Y);
  EXPECT_EQ(Click.Point, 1);
  EXPECT_EQ(S.SelectedIndex(), 1);
}
