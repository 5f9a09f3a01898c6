// The GDI+ serie painters on a bitmap, with geometry worked out by hand: a
// chart without axes, legend or title, whose series area is the picture.
#include <gtest/gtest.h>

#include <vector>

#include "ChartViewTestSupport.h"
#include "chart/model/ChartHelpers.h"
#include "chart/view/VivIzudeViewGDIP.h"

using namespace chartview_test;

namespace {
struct GDIPPaint : ::testing::Test {
  TVivGDIPChart Chart;
  TBitmap Picture{300, 200};

  GDIPPaint() {
    Picture.SetPixelFormat(pf24bit);
    Chart.XAxis().SetPosition(xNone);
    Chart.YAxis().SetPosition(yNone);
    Chart.Legend().SetVisible(false);
    Chart.Title().SetPosition(tNone);
  }
  TVivGDIPChartSerie& Add(TChartType Type, TColor Color) {
    TVivGDIPChartSerie& S = Chart.Series().Add();
    S.SetChartType(Type);
    S.SetColor(Color);
    S.SetLineColor(Color);
    S.SetAutoRange(arDisabled);
    S.SetMinimum(0);
    S.SetMaximum(100);
    return S;
  }
  void Paint() {
    Picture.Canvas()->Brush()->SetColor(clWhite);
    Picture.Canvas()->FillRect({0, 0, 300, 200});
    TVclChartCanvas C(*Picture.Canvas());
    Chart.Draw(C, {0, 0, 300, 200}, 1, 1, true);
  }
  TColor Px(Integer X, Integer Y) { return Picture.Canvas()->Pixel(X, Y); }
  TColor Px(TPoint P) { return Px(P.X, P.Y); }
};

TPoint Mid(TPoint A, TPoint B) { return {(A.X + B.X) / 2, (A.Y + B.Y) / 2}; }
}  // namespace

TEST_F(GDIPPaint, LinesLeaveGapsAroundUndefinedPoints) {
  TVivGDIPChartSerie& S = Add(ctLine, clRed);
  S.SetLineWidth(3);
  for (int I = 0; I < 5; ++I) S.AddSinglePoint(50, I != 2);
  Chart.Range().SetRangeTo(4);
  Paint();
  const TPointArray& P = S.DrawPoints;
  ASSERT_EQ(P.size(), 5u);
  EXPECT_EQ(Px(Mid(P[0], P[1])), clRed);
  EXPECT_EQ(Px(Mid(P[1], P[2])), clWhite);
  EXPECT_EQ(Px(Mid(P[2], P[3])), clWhite);
  EXPECT_EQ(Px(Mid(P[3], P[4])), clRed);
  EXPECT_EQ(S.DrawValuesDP, S.DrawPoints);
}

TEST_F(GDIPPaint, AreasAroundAnUndefinedPointAreTwoRuns) {
  TVivGDIPChartSerie& S = Add(ctArea, clBlue);
  for (int I = 0; I < 7; ++I) S.AddSinglePoint(80, I != 3);
  Chart.Range().SetRangeTo(6);
  Paint();
  const TPointArray& P = S.DrawPoints;
  ASSERT_GE(P.size(), 7u);
  const Integer Low = P[0].Y + 40;  // well under the values, over the zero line
  EXPECT_EQ(Px(Mid(P[0], P[1]).X, Low), clBlue);
  EXPECT_EQ(Px(P[3].X, Low), clWhite);
  EXPECT_EQ(Px(Mid(P[5], P[6]).X, Low), clBlue);
}

TEST_F(GDIPPaint, ArrowsAndBubblesTakeTheirSizesFromTheXScale) {
  TVivGDIPChartSerie& A = Add(ctArrow, clBlack);
  A.SetArrowColor(clBlack);
  A.SetLineWidth(2);
  for (int I = 0; I < 4; ++I) A.AddPoints(50, 40, 0);
  Chart.Range().SetRangeTo(3);
  Paint();
  const TPoint P = A.DrawPoints[1];
  const TChartPoint Pt = A.GetPoint(1);
  const TRect R = Chart.Series().SeriesRectangle();
  // A plain arrow: 40 pixels straight up from its point, its head on it.
  EXPECT_EQ(TGDIPChartSeriePainter::ArrowEnd(A, Pt, P, R, 1, 1), (TPoint{P.X, P.Y - 40}));
  EXPECT_EQ(Px(P.X, P.Y - 30), clBlack);
  // Scaled: the x offset is points along the category axis.
  A.SetChartType(ctScaledArrow);
  TChartPoint Across = Pt;
  Across.PixelValue1 = 0;
  Across.PixelValue2 = 1;
  const TPoint E = TGDIPChartSeriePainter::ArrowEnd(A, Across, P, R, 1, 1);
  EXPECT_EQ(E.X - P.X, RoundI(Chart.XScale()));
  EXPECT_EQ(E.Y, P.Y);
  TVivGDIPChartSerie& B = Add(ctScaledBubble, clYellow);
  TChartPoint Bubble;
  Bubble.PixelValue1 = 1;
  Bubble.PixelValue2 = 10;
  const TRect Box = TGDIPChartSeriePainter::BubbleBox(B, Bubble, {150, 100}, R, 1, 1);
  EXPECT_EQ(Box.Width(), 2 * RoundI(Chart.XScale()));
  EXPECT_EQ(Box.Height(), B.ValueToY(B.YToValue(100, R) - 10, R) - B.ValueToY(B.YToValue(100, R) + 10, R));
}

TEST_F(GDIPPaint, BarsWithShadowsCylindersAndTheirText) {
  TVivGDIPChartSerie& S = Add(ctBar, clBlue);
  for (int I = 0; I < 3; ++I) S.AddSinglePoint(60);
  Chart.Range().SetRangeTo(2);
  Paint();
  ASSERT_EQ(S.StackedRectsBar.size(), 3u);
  const TRect Bar = S.StackedRectsBar[1].R;
  const Integer Top = std::min(Bar.Top, Bar.Bottom), Right = std::max(Bar.Left, Bar.Right);
  const Integer MidY = (Bar.Top + Bar.Bottom) / 2;
  EXPECT_EQ(Px((Bar.Left + Bar.Right) / 2, MidY), clBlue);
  EXPECT_EQ(Px(Right + 2, MidY), clWhite);
  S.SetShadow(true);
  Paint();
  // A soft grey shadow beside the bar, reaching past its top.
  const TColor Shadow = Px(Right + 2, MidY);
  EXPECT_NE(Shadow, clWhite);
  EXPECT_EQ(RedOf(Shadow), BlueOf(Shadow));
  EXPECT_NE(Px(Right + 2, Top - 2), clWhite);
  EXPECT_EQ(Px(Right + 2, Top - 8), clWhite);
  // A cylinder's body is the bar's colour too.
  S.SetShadow(false);
  S.SetBarShape(bsCylinder);
  Paint();
  EXPECT_EQ(Px((Bar.Left + Bar.Right) / 2, MidY), clBlue);
}

TEST_F(GDIPPaint, MarkersUseTheSelectedSizeAndColours) {
  TVivGDIPChartSerie& S = Add(ctMarkers, clBlack);
  TChartGDIPMarker& M = S.Marker();
  M.SetMarkerType(mSquare);
  M.SetMarkerSize(10);
  M.SetMarkerColor(clLime);
  M.SetMarkerLineColor(clLime);
  M.SetSelectedColor(clRed);
  M.SetSelectedLineColor(clRed);
  M.SetSelectedSize(16);
  M.SetSelectedIndex(2);
  for (int I = 0; I < 4; ++I) S.AddSinglePoint(50);
  Chart.Range().SetRangeTo(3);
  Paint();
  ASSERT_EQ(S.DrawValuesDP.size(), 4u);
  const TPoint A = S.DrawValuesDP[1], B = S.DrawValuesDP[2];
  EXPECT_EQ(Px(A), clLime);
  EXPECT_EQ(Px(B), clRed);
  EXPECT_EQ(Px(A.X + 7, A.Y), clWhite);  // outside a 10 pixel square
  EXPECT_EQ(Px(B.X + 7, B.Y), clRed);    // inside the selected 16 pixel one
}

TEST_F(GDIPPaint, SelectionMarksOnlyWhenAsked) {
  TVivGDIPChartSerie& S = Add(ctBar, clBlue);
  for (int I = 0; I < 3; ++I) S.AddSinglePoint(60);
  Chart.Range().SetRangeTo(2);
  S.SetSelectedIndex(1);
  S.SetSelectedMarkColor(clYellow);
  S.SetSelectedMarkSize(10);
  Paint();
  const TPoint P = S.DrawValuesDP[1];
  const Integer Z = S.ValueToY(0, Chart.Series().SeriesRectangle());
  // The mark's corners: the bar's top at its left edge is one.
  EXPECT_NE(Px(P.X - 3, P.Y), clYellow);
  S.SetSelectedMark(true);
  Paint();
  EXPECT_EQ(Px(P.X - 3, P.Y), clYellow);
  EXPECT_EQ(Px(P.X - 3, Z - 3), clYellow);
}

TEST_F(GDIPPaint, GanttBarsFadeOnlyWithASecondColour) {
  TVivGDIPChartSerie& S = Add(ctGantt, clBlue);
  TGDIPChartSeriePainter Painter;
  TChartPoint P;
  InitChartPoint(P);
  P.Color = RGBToColor(200, 0, 200);
  P.ColorTo = clNone;
  P.BorderColor = clNone;
  Paint();
  {
    TVclChartCanvas C(*Picture.Canvas());
    Painter.DrawGanttBar(S, C, P, {20, 20, 120, 50});
    P.ColorTo = clWhite;
    P.GradientDirection = cgdHorizontal;
    Painter.DrawGanttBar(S, C, P, {20, 100, 120, 130});
  }
  EXPECT_EQ(Px(25, 35), RGBToColor(200, 0, 200));
  EXPECT_EQ(Px(115, 35), RGBToColor(200, 0, 200));
  // Faded across from the first colour to the second.
  EXPECT_GT(GreenOf(Px(110, 115)), GreenOf(Px(30, 115)) + 100);
}

TEST_F(GDIPPaint, EveryPaintedPointIsReported) {
  for (TChartType T : {ctLine, ctArea, ctBubble, ctDigitalLine, ctBar}) {
    TVivGDIPChart Fresh;
    Fresh.XAxis().SetPosition(xNone);
    Fresh.YAxis().SetPosition(yNone);
    TVivGDIPChartSerie& S = Fresh.Series().Add();
    S.SetChartType(T);
    for (int I = 0; I < 6; ++I) S.AddPoints(10 * I + 5, 5, 5);
    Fresh.Range().SetRangeFrom(1);
    Fresh.Range().SetRangeTo(4);
    std::vector<Integer> Seen;
    S.OnSerieDrawPoint = [&](TObject*, TChartCanvas&, TPoint, const TChartPoint& P) {
      Seen.push_back(RoundI(P.SingleValue));
    };
    TVclChartCanvas C(*Picture.Canvas());
    Fresh.Draw(C, {0, 0, 300, 200}, 1, 1, true);
    ASSERT_FALSE(Seen.empty()) << int(T);
    EXPECT_EQ(Seen.front(), 15) << int(T);  // the range starts at point 1
  }
}
