// Walks over value steps and point indices stay short and overflow-free
// whatever range, step or scale the settings hold.
#include <gtest/gtest.h>

#include <limits>

#include "ChartTestSupport.h"
#include "chart/model/ChartHelpers.h"

namespace {
constexpr Integer IntMin = std::numeric_limits<Integer>::min(), IntMax = std::numeric_limits<Integer>::max();

int CountLines(const TRecordingCanvas& C, TColor Color) {
  int N = 0;
  for (const TCanvasRecord& R : C.Records())
    if (R.Op == coLineTo && R.Pen.Color == Color) ++N;
  return N;
}

// A painter that leaves a draw value and a 3D bar record at each of the
// first indices, so the passes over draw indices have something to walk.
struct TFewPoints : TNullSeriePainter {
  void Init(TChartSerie& S, TChartCanvas&, TRect R, double, double) override {
    S.DrawValuesDP.clear();
    S.StackedRectsBar.clear();
    for (Integer I = 0; I < 4; ++I) {
      S.DrawValuesDP.push_back({R.Left + 10 * I, R.Top + 20});
      TBarRec B;
      B.R = {R.Left + 10 * I, R.Top + 20, R.Left + 10 * I + 5, R.Bottom};
      S.StackedRectsBar.push_back(B);
    }
  }
  int Bars = 0;
  void DrawBar(TChartSerie&, TChartCanvas&, TColor, TColor, TRect, double, double, Integer, double) override { ++Bars; }
};
}  // namespace

TEST(ChartBoundedWalks, YGridStopsOnLostStepsAndLeavesOutTooManyLines) {
  const TColor MajorC = RGBToColor(0, 9, 0), MinorC = RGBToColor(9, 0, 0);
  struct Case {
    double Lo, Hi, Major, Minor;
    int Majors, Minors;  // lines drawn; -1: at most 2
  } Cases[] = {
      // Neither 10 nor 0.1 moves a value near 3.6e19: one line of each.
      {3.635830949267796e19, 3.635830949267796e19, 10, 0.1, -1, -1},
      // 1 is lost at 1e17 (its spacing is 16), 1024 is not: the major lines
      // go on, the minor ones end.
      {1e17, 1e17 + 8192, 1024, 1, 10, -1},
      // A billion minor lines would paint the area solid: majors only.
      {0, 1e6, 1000, 0.001, 1002, 0},
      // As many major lines: none at all.
      {0, 1e9, 1, 0, 0, 0},
      // An ordinary grid for comparison: 0..100 by 10 with minors by 5.
      {0, 100, 10, 5, 12, 11},
  };
  for (const Case& C : Cases) {
    TChartFixture F;
    TChartSerie& S = F.Chart.Series().Add();
    S.SetAutoRange(arDisabled);
    S.SetMaximum(C.Hi);
    S.SetMinimum(C.Lo);
    TChartYGrid& G = F.Chart.YGrid();
    G.SetVisible(true);
    G.SetAutoUnits(false);
    G.SetMajorDistance(C.Major);
    G.SetMinorDistance(C.Minor);
    G.SetMajorLineColor(MajorC);
    G.SetMinorLineColor(MinorC);
    F.Chart.InitializeChart(F.Canvas, {0, 0, 400, 300}, 1, 1);
    ASSERT_EQ(S.MinimumValue(), C.Lo);
    G.Draw(F.Canvas, {30, 0, 400, 270}, 1, 1);
    int Majors = CountLines(F.Canvas, MajorC), Minors = CountLines(F.Canvas, MinorC);
    if (C.Majors < 0)
      EXPECT_LE(Majors, 2) << C.Lo;
    else
      EXPECT_EQ(Majors, C.Majors) << C.Lo << " " << C.Hi;
    if (C.Minors < 0)
      EXPECT_LE(Minors, 2) << C.Lo;
    else
      EXPECT_EQ(Minors, C.Minors) << C.Lo << " " << C.Hi;
  }
}

TEST(ChartBoundedWalks, YLabelsFollowTheGridsBounds) {
  TChartFixture F;
  TChartSerie& S = F.Chart.Series().Add();
  S.SetAutoRange(arDisabled);
  auto Walk = [&](double Lo, double Hi, double M, double O) {
    S.SetMaximum(Hi);
    S.SetMinimum(Lo);
    F.Chart.SetMinMax();
    int Majors = 0, Minors = 0;
    S.WalkYAxisLabels(M, O, [&](const TChartSerie::TYAxisLabel& L) {
      ++(L.Major ? Majors : Minors);
      return true;
    });
    return std::pair{Majors, Minors};
  };
  // A lost minor step ends the minor labels only.
  EXPECT_EQ(Walk(1e17, 1e17 + 8192, 1024, 1).first, 10);
  EXPECT_LE(Walk(1e17, 1e17 + 8192, 1024, 1).second, 1);
  EXPECT_EQ(Walk(0, 1e6, 1000, 0.001), (std::pair{1002, 0}));
  EXPECT_EQ(Walk(0, 1e9, 1, 0), (std::pair{0, 0}));
  EXPECT_EQ(Walk(0, 100, 10, 5), (std::pair{12, 11}));
}

TEST(ChartBoundedWalks, ExtremeRangesPaintAndHitTestWithinThePixels) {
  struct Case {
    Integer From, To;
  } Cases[] = {{0, IntMax},          {IntMin, IntMax}, {IntMax - 3, IntMax},
               {IntMin, IntMin + 3}, {-5, IntMax},     {IntMax, IntMin}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.From << ".." << C.To);
    TChartFixture F;
    auto Painter = std::make_unique<TFewPoints>();
    TFewPoints* P = Painter.get();
    F.Chart.SetSeriePainter(std::move(Painter));
    TChartSerie& S = F.Chart.Series().Add();
    for (int I = 0; I < 4; ++I) S.AddSinglePoint(I);
    S.SetChartType(ctBar);
    S.SetEnable3D(true);
    S.SetOffset3D(4);
    S.XAxis().SetAutoUnits(false);
    S.XAxis().SetMajorUnit(1);
    S.XAxis().SetMinorUnit(1);
    TChartXGrid& G = F.Chart.XGrid();
    G.SetVisible(true);
    G.SetAutoUnits(false);
    G.SetMinorDistance(1);
    G.SetMajorDistance(2);
    G.SetMinorLineColor(RGBToColor(1, 2, 3));
    G.SetMajorLineColor(RGBToColor(3, 2, 1));
    // The range as a damaged settings file gives it.
    TMemIniFile Ini(u"");
    Ini.WriteInteger(u"R", u"RangeFrom", C.From);
    Ini.WriteInteger(u"R", u"RangeTo", C.To);
    F.Chart.Range().LoadFromFile(Ini, u"R");
    F.Chart.Draw(F.Canvas, {0, 0, 400, 300}, 1, 1, true);

    const TRect SR = F.Chart.Series().SeriesRectangle();
    ASSERT_FALSE(SR.IsEmpty());
    int Lines = 0;
    for (const TCanvasRecord& R : F.Canvas.Records()) {
      if (R.Op != coLineTo || (R.Pen.Color != RGBToColor(1, 2, 3) && R.Pen.Color != RGBToColor(3, 2, 1))) continue;
      ++Lines;
      EXPECT_GE(R.Points[1].X, SR.Left);
      EXPECT_LE(R.Points[1].X, SR.Right);
    }
    // At most one line of each kind per pixel column.
    EXPECT_LE(Lines, 2 * (SR.Width() + 1));
    if (C.From <= C.To) {
      EXPECT_GT(Lines, 0);
    }
    EXPECT_EQ(P->Bars, C.From <= C.To ? 4 : 0);  // the 3D bar pass ends with the records

    // The x cells: three pixels into the third cell when a cell is wide
    // enough to point at, none when cells are under half a pixel.
    const double XS = F.Chart.XScale();
    const Integer BandY = 300 - F.Chart.XAxis().BottomSize() + 2;
    TXAxisRangeValue V = F.Chart.GetXAxisValue(SR.Left + RoundI(2 * XS) + 3, BandY, {0, 0, 400, 300});
    if (C.From > C.To || XS < 0.5) {
      EXPECT_EQ(V.RangeIndex, -1);
    } else {
      EXPECT_EQ(V.RangeIndex, C.From + 2);
      EXPECT_EQ(V.Serie, 0);
    }
    // The point index under the pointer is counted past the Integer range
    // without overflow; hovering selects nothing.
    F.Chart.GetSerieIndexAtXY(SR.Right - 1, SR.Top + 20, true);
    EXPECT_EQ(S.SelectedIndex(), -1);
  }
}
