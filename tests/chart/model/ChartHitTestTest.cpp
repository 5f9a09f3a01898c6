// What lies under a pixel: x-axis cells, the nearest XY point, and the XY
// pass of the serie hit test.
#include <gtest/gtest.h>

#include <limits>

#include "ChartTestSupport.h"
#include "chart/model/ChartHelpers.h"

namespace {
constexpr Integer IntMin = std::numeric_limits<Integer>::min(), IntMax = std::numeric_limits<Integer>::max();
const TRect Pane{0, 0, 400, 300};

// A chart laid out once, then given 30 pixels per index from index From
// without a half-cell offset, so that cell i runs from 30 (i - From) to
// 30 (i - From) + 29 pixels right of the bands' left edge.
struct TCells : TChartFixture {
  TCells(Integer Series, TChartXAxisPosition Position, Integer From, Integer To) {
    for (Integer I = 0; I < Series; ++I) {
      TChartSerie& S = Chart.Series().Add();
      S.AddSinglePoint(1);
      S.XAxis().SetPosition(Position);
    }
    Chart.XAxis().SetPosition(Position);
    Chart.SetXScaleOffset(false);
    Chart.Draw(Canvas, Pane, 1, 1, true);
    Chart.Range().SetRangeFrom(From);
    Chart.Range().SetRangeTo(To);
    Chart.SetXScale(30);
  }
  // The bands start at the pane's left plus the y axis and the margin (the
  // series area itself starts a pixel further, after the axis line).
  Integer Left() { return Pane.Left + Chart.YAxis().LeftSize() + Chart.Margin().LeftMargin(); }
};
}  // namespace

TEST(ChartHitTest, XAxisCellUnderThePointer) {
  TCells Probe(2, xBoth, 5, 14);
  const Integer BottomSize = Probe.Chart.XAxis().BottomSize(), TopSize = Probe.Chart.XAxis().TopSize();
  ASSERT_GE(BottomSize, 4);
  ASSERT_GE(TopSize, 4);
  // Two series share each band in halves: the first takes the half next to
  // the series area (the bottom band's upper half, the top band's lower one).
  const Integer BottomTop = 300 - Probe.Chart.Title().BottomSize() - BottomSize;
  const Integer TopBottom = Probe.Chart.Title().TopSize() + TopSize;
  const Integer Half = BottomSize / 2, TopHalf = TopSize / 2;
  struct Case {
    Integer From, To, DX, Y, Index, Serie;
  } Cases[] = {
      {5, 14, 0, BottomTop, 5, 0},
      {5, 14, 29, BottomTop + Half - 1, 5, 0},
      {5, 14, 30, BottomTop, 6, 0},
      {5, 14, 299, BottomTop + Half, 14, 1},        // the second serie's half
      {5, 14, 300, BottomTop, -1, -1},              // past RangeTo
      {5, 14, -1, BottomTop, -1, -1},               // before RangeFrom
      {5, 14, 45, BottomTop - 1, -1, -1},           // above the band, in the series area
      {5, 14, 45, BottomTop + BottomSize, -1, -1},  // below it
      {5, 14, 45, TopBottom - 1, 6, 0},
      {5, 14, 45, TopBottom - TopHalf - 1, 6, 1},
      // Indices at the ends of the Integer range are found at once.
      {IntMax - 3, IntMax, 95, BottomTop, IntMax, 0},
      {IntMin, IntMax, 90, BottomTop, IntMin + 3, 0},
      {IntMin, IntMax, 3000000, BottomTop, IntMin + 100000, 0},
  };
  for (const Case& C : Cases) {
    TCells F(2, xBoth, C.From, C.To);
    TXAxisRangeValue V = F.Chart.GetXAxisValue(F.Left() + C.DX, C.Y, Pane);
    EXPECT_EQ(V.RangeIndex, C.Index) << C.From << " " << C.DX << " " << C.Y;
    EXPECT_EQ(V.Serie, C.Serie) << C.From << " " << C.DX << " " << C.Y;
  }
  // Cells under half a pixel wide cannot be pointed at.
  TCells Narrow(1, xBottom, 0, 10);
  Narrow.Chart.SetXScale(0.4);
  EXPECT_EQ(Narrow.Chart.GetXAxisValue(Narrow.Left(), 299, Pane).RangeIndex, -1);
}

TEST(ChartHitTest, NearestXYPoint) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.SetChartType(ctXYMarkers);
  S.SetAutoRange(arDisabled);
  S.SetMaximum(100);
  // x, y: three points share x 3, two of them with the same y.
  const double Points[][2] = {{1, 10}, {3, 50}, {3, 90}, {7, 20}, {3, 50}};
  for (auto& P : Points) S.AddSingleXYPoint(P[0], P[1]);
  F.Chart.SetXScaleOffset(false);
  F.Chart.Draw(F.Canvas, Pane, 1, 1, true);
  F.Chart.Range().SetRangeFrom(0);
  F.Chart.SetXScale(10);
  const TRect SR = F.Chart.Series().SeriesRectangle();
  struct Case {
    double X, Y;
    Integer Want;
  } Cases[] = {
      {3.2, 85, 2},  // among the points at x 3, the nearest in y
      {3.2, 52, 1},  // equally near: the first
      {5, 20, 1},    // x 3 and 7 equally near: the first wins, whatever y says
      {6, 95, 3},    // x 7 alone
      {-100, 0, 0},  // no distance limit
      {100, 50, 3},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(S.GetXYPoint(SR.Left + RoundI(C.X * 10), S.ValueToY(C.Y, SR)), C.Want) << C.X << " " << C.Y;
  TChartSerie& Empty = F.Chart.Series().Add();
  Empty.SetChartType(ctXYLine);
  EXPECT_EQ(Empty.GetXYPoint(SR.Left + 30, SR.Top + 10), -1);
}

TEST(ChartHitTest, XYPassTakesTheSerieNearestInY) {
  struct Case {
    bool LineFirst;  // a line serie whose draw point lies right under the pointer
    double X, Y;
    bool Hover;
    Integer Serie, Point;
  } Cases[] = {
      {false, 1.2, 25, false, 0, 0},
      {false, 1.2, 70, false, 1, 0},
      {false, 4.8, 35, false, 1, 1},
      {false, 4.8, 35, true, 1, 1},  // hovering finds, selects nothing
      // An XY serie takes the hit from any other serie, however far it is.
      {true, 1.2, 90, false, 1, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.LineFirst << " " << C.X << " " << C.Y << " " << C.Hover);
    TChartFixture F;
    std::vector<TChartSerie*> XY;
    auto AddXY = [&](std::initializer_list<std::pair<double, double>> Points) {
      TChartSerie& S = F.Chart.Series().Add();
      S.SetChartType(ctXYLine);
      S.SetAutoRange(arDisabled);
      S.SetMaximum(100);
      for (auto [X, Y] : Points) S.AddSingleXYPoint(X, Y);
      XY.push_back(&S);
    };
    TChartSerie* Line = nullptr;
    if (C.LineFirst) {
      Line = &F.Chart.Series().Add();
      Line->SetAutoRange(arDisabled);
      Line->SetMaximum(100);
      Line->AddSinglePoint(50);
      Line->AddSinglePoint(50);
      AddXY({{1, 10}, {5, 20}});
    } else {
      AddXY({{1, 20}, {5, 60}});
      AddXY({{1, 80}, {5, 30}});
    }
    F.Chart.SetXScaleOffset(false);
    F.Chart.Draw(F.Canvas, Pane, 1, 1, true);
    F.Chart.Range().SetRangeFrom(0);
    F.Chart.SetXScale(10);
    const TRect SR = F.Chart.Series().SeriesRectangle();
    const Integer X = SR.Left + RoundI(C.X * 10), Y = XY.front()->ValueToY(C.Y, SR);
    // The draw values the last paint would have left.
    for (Integer J = 0; J < F.Chart.Series().Count(); ++J) {
      TChartSerie& S = F.Chart.Series()[J];
      S.DrawValuesDP.assign(S.GetPointsCount(), TPoint{0, 0});
    }
    if (Line) Line->DrawValuesDP.assign(2, TPoint{X, Y});
    TChartSeriePoint R = F.Chart.GetSerieIndexAtXY(X, Y, C.Hover);
    EXPECT_EQ(R.Serie, C.Serie);
    EXPECT_EQ(R.Point, C.Point);
    for (Integer J = 0; J < F.Chart.Series().Count(); ++J)
      EXPECT_EQ(F.Chart.Series()[J].SelectedIndex(), !C.Hover && J == C.Serie ? C.Point : -1) << J;
  }
}
