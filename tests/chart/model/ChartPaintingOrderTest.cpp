#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "ChartTestSupport.h"

namespace {
// Records which elements paint, in order, through the chart's events and a
// marker in each element's own drawing (fills in distinct colours).
struct TOrderFixture : TChartFixture {
  std::vector<std::string> Events;
  TOrderFixture() {
    Chart.Series().Add().AddSinglePoint(5);
    Chart.Series()[0].AddSinglePoint(10);
    Chart.OnDrawBackGround = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("background"); };
    Chart.OnBeforeDrawSeries = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("before"); };
    Chart.OnAfterDrawSeries = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("after"); };
    Chart.OnDrawXAxis = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("xaxis"); };
    Chart.OnDrawYAxis = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("yaxis"); };
    Chart.OnDrawXGrid = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("xgrid"); };
    Chart.OnDrawYGrid = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("ygrid"); };
    Chart.OnDrawLegend = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("legend"); };
    Chart.OnDrawSeries = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("series"); };
    Chart.OnDrawTitle = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("title"); };
    Chart.OnDrawYValues = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("yvalues"); };
    Chart.OnDrawXValues = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("xvalues"); };
    Chart.OnDrawNavigator = [this](TObject*, TRect, TChartCanvas&) { Events.push_back("navigator"); };
  }
  // Index of the first record whose brush or pen has Color.
  int FirstWith(TColor Color, TCanvasOp Op) const {
    const auto& R = Canvas.Records();
    for (size_t I = 0; I < R.size(); ++I)
      if (R[I].Op == Op && (R[I].Brush.Color() == Color || R[I].Pen.Color == Color)) return int(I);
    return -1;
  }
};
}  // namespace

TEST(ChartPaintingOrder, EventsAndElements) {
  TOrderFixture F;
  F.Chart.Background().SetColor(RGBToColor(1, 1, 1));
  F.Chart.XAxis().SetColor(RGBToColor(2, 2, 2));
  F.Chart.XAxis().SetDarken3D(false);
  F.Chart.YAxis().SetColor(RGBToColor(3, 3, 3));
  F.Chart.YAxis().SetDarken3D(false);
  F.Chart.Title().SetPosition(tTop);
  F.Chart.Title().SetColor(RGBToColor(4, 4, 4));
  F.Chart.Title().SetText(u"Title");
  F.Chart.YGrid().SetVisible(true);
  F.Chart.XGrid().SetVisible(true);
  F.Chart.XGrid().SetMajorLineColor(RGBToColor(5, 5, 5));
  F.Chart.XGrid().SetMinorDistance(1);
  F.Chart.XGrid().SetMajorDistance(1);
  F.Chart.XGrid().SetAutoUnits(false);
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  std::vector<std::string> Want = {"background", "before", "after", "xaxis",   "yaxis",   "xgrid",    "ygrid",
                                   "legend",     "series", "title", "yvalues", "xvalues", "navigator"};
  EXPECT_EQ(F.Events, Want);
  int Bg = F.FirstWith(RGBToColor(1, 1, 1), coFillRect), X = F.FirstWith(RGBToColor(2, 2, 2), coRectangle),
      Y = F.FirstWith(RGBToColor(3, 3, 3), coRectangle), T = F.FirstWith(RGBToColor(4, 4, 4), coRectangle),
      G = F.FirstWith(RGBToColor(5, 5, 5), coLineTo);
  ASSERT_GE(Bg, 0);
  EXPECT_LT(Bg, X);
  EXPECT_LT(X, Y);
  EXPECT_LT(Y, T);
  EXPECT_LT(T, G);
  EXPECT_TRUE(F.Canvas.Records()[G].Clipped);  // grids inside the series clip
  EXPECT_EQ(F.Canvas.ClipRegion(), nullptr);   // no clip left behind
  EXPECT_EQ(F.Canvas.Texts().front(), u"Title");
}

TEST(ChartPaintingOrder, GridOrderFollowsOnTop) {
  struct Case {
    bool XTop, YTop;
    const char* Order;
  } Cases[] = {{false, false, "yxs"}, {false, true, "xsy"}, {true, false, "ysx"}, {true, true, "sxy"}};
  for (const Case& C : Cases) {
    TOrderFixture F;
    std::string Order;
    F.Chart.XGrid().SetVisible(true);
    F.Chart.XGrid().SetOnTop(C.XTop);
    F.Chart.YGrid().SetOnTop(C.YTop);
    F.Chart.XGrid().SetMajorLineColor(RGBToColor(9, 0, 0));
    F.Chart.XGrid().SetAutoUnits(false);
    F.Chart.XGrid().SetMinorDistance(1);
    F.Chart.XGrid().SetMajorDistance(1);
    F.Chart.YGrid().SetVisible(true);
    F.Chart.YGrid().SetMajorLineColor(RGBToColor(0, 9, 0));
    // A painter stand-in: the series pass shows as a marker line.
    struct TMark : TNullSeriePainter {
      void DrawSerie(TChartSerie&, TChartCanvas& C, TRect, double, double) override {
        C.Pen.Color = RGBToColor(0, 0, 9);
        C.Line(0, 0, 1, 1);
      }
    };
    F.Chart.SetSeriePainter(std::make_unique<TMark>());
    F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
    for (const TCanvasRecord& R : F.Canvas.Records()) {
      if (R.Op != coLineTo) continue;
      char K = R.Pen.Color == RGBToColor(9, 0, 0)   ? 'x'
               : R.Pen.Color == RGBToColor(0, 9, 0) ? 'y'
               : R.Pen.Color == RGBToColor(0, 0, 9) ? 's'
                                                    : 0;
      if (K && (Order.empty() || Order.back() != K)) Order += K;
    }
    EXPECT_EQ(Order, C.Order) << C.XTop << C.YTop;
  }
}

TEST(ChartPaintingOrder, NothingWhileUpdating) {
  TOrderFixture F;
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  TRect Before = F.Chart.Series().SeriesRectangle();
  F.Canvas.Clear();
  F.Events.clear();
  F.Chart.BeginUpdate();
  F.Chart.Draw(F.Canvas, {0, 0, 800, 600}, 1, 1, true);
  EXPECT_TRUE(F.Canvas.Records().empty());
  EXPECT_TRUE(F.Events.empty());
  EXPECT_EQ(F.Chart.Series().SeriesRectangle(), Before);
}

TEST(ChartPaintingOrder, OversizedBandsSkipBackgroundAndSeries) {
  TOrderFixture F;
  F.Chart.Margin().SetTopMargin(400);
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  EXPECT_EQ(std::count(F.Events.begin(), F.Events.end(), "background"), 0);
  EXPECT_EQ(std::count(F.Events.begin(), F.Events.end(), "legend"), 1);
}

TEST(ChartPaintingOrder, TitleBandsInFullWidthMode) {
  TOrderFixture F;
  F.Chart.SetAxisMode(amXAxisFullWidth);
  F.Chart.Title().SetPosition(tBoth);
  F.Chart.Title().SetText(u"T");
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  std::vector<TRect> Bands;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coDrawText && R.Text == u"T") Bands.push_back(R.Rect);
  ASSERT_EQ(Bands.size(), 2u);
  EXPECT_EQ(Bands[0], (TRect{1, 1, 399, 19}));
  EXPECT_EQ(Bands[1], (TRect{1, 281, 399, 299}));
}

TEST(ChartPaintingOrder, AutomaticYGridDrawsLinesAndBoundedWalks) {
  TOrderFixture F;
  F.Chart.YGrid().SetVisible(true);
  F.Chart.YGrid().SetMajorLineColor(RGBToColor(0, 9, 0));
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  int Lines = 0;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coLineTo && R.Pen.Color == RGBToColor(0, 9, 0)) ++Lines;
  EXPECT_GT(Lines, 2);  // the step comes from the range low to high
  // Fixed steps far too small for the range: more lines than any screen
  // shows are not drawn, and the walk ends at once.
  F.Chart.YGrid().SetAutoUnits(false);
  F.Chart.YGrid().SetMajorDistance(1e-9);
  F.Chart.YGrid().SetMinorDistance(0);
  F.Canvas.Clear();
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  Lines = 0;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coLineTo && R.Pen.Color == RGBToColor(0, 9, 0)) ++Lines;
  EXPECT_EQ(Lines, 0);
  // Distances that would double past the Integer range stop at 2^29: with
  // 2^-26 pixels per index a step of 2^29 is 8 pixels, still narrower than
  // "WW" (14), so only the guard ends the widening, at 8 lines 8 pixels apart.
  const double XS = 1.0 / (1 << 26);
  F.Chart.Range().SetRangeFrom(std::numeric_limits<Integer>::min());
  F.Chart.Range().SetRangeTo(std::numeric_limits<Integer>::max());
  F.Chart.SetXScaleOffset(false);
  F.Chart.SetXScale(XS);
  TChartXGrid& G = F.Chart.XGrid();
  G.SetMinorDistance(1 << 28);
  G.SetMajorDistance(1 << 28);
  G.SetMajorLineColor(RGBToColor(9, 0, 0));
  F.Canvas.Clear();
  G.Draw(F.Canvas, {10, 0, 400, 300}, 1, 1);
  std::vector<Integer> Xs;
  for (const TCanvasRecord& R : F.Canvas.Records())
    if (R.Op == coLineTo) Xs.push_back(R.Points[1].X);
  EXPECT_EQ(Xs, (std::vector<Integer>{10, 18, 26, 34, 42, 50, 58, 66}));
  // The x label steps stop at the same bound.
  TChartSerie& S = F.Chart.Series()[0];
  S.XAxis().SetAutoUnits(true);
  S.XAxis().SetMajorUnit(1 << 28);
  S.XAxis().SetMinorUnit(1 << 27);
  ASSERT_TRUE(S.ComputeXAxisSteps(F.Canvas));
  EXPECT_EQ(S.Mu, 1 << 29);
  EXPECT_EQ(S.Mi, 1 << 29);
  F.Chart.Series()[0].YAxis().SetAutoUnits(false);
  F.Chart.YAxis().SetAutoUnits(false);
  F.Chart.YAxis().SetPosition(yLeft);
  TYAxisRangeValue V = F.Chart.GetYAxisValue(5, 100, {0, 0, 400, 300});  // major unit 0
  EXPECT_EQ(V.Serie, -1);
}

TEST(ChartPaintingOrder, YAxisLabelUnderThePointer) {
  TOrderFixture F;
  F.Chart.YAxis().SetAutoUnits(false);
  TChartSerie& S = F.Chart.Series()[0];
  S.YAxis().SetAutoUnits(false);
  S.YAxis().SetMajorUnit(1);
  S.YAxis().SetMinorUnit(0);
  S.SetAutoRange(arDisabled);
  S.SetMinimum(0);
  S.SetMaximum(10);
  S.SetValueFormat(u"%g");
  F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);
  TRect SR = F.Chart.Series().SeriesRectangle();
  Integer P = S.ValueToY(4, SR);
  // Left of the series area: spacing 0, tick 10, width of "4" 7, height 13.
  TYAxisRangeValue V = F.Chart.GetYAxisValue(30 - 10 - 7 + 2, P, {0, 0, 400, 300});
  EXPECT_EQ(V.Serie, 0);
  EXPECT_EQ(V.ValueStr, u"4");
  EXPECT_EQ(V.Mode, vmMajor);
}
