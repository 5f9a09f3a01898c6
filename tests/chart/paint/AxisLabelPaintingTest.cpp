// The x and y labels of a serie: steps, texts, placement, events, dates,
// logarithmic units, groups and captions, and the y-axis hit test on the
// labels as painted.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <string>

#include "ChartPaintFixture.h"
#include "rtl/DateUtils.h"
#include "rtl/IniFiles.h"
#include "rtl/SysUtils.h"

namespace {
// A line chart with labels on the bottom x axis and the left y axis only,
// no legend, and fonts that tell the labels apart: x major 10, x minor 9,
// y major 11, y minor 7 (the default font is size 8).
struct TLabels : TChartPaintFixture {
  TChartSerie& S;
  explicit TLabels(Integer Points = 13, TChartType Type = ctLine) : S(Add(Type, clRed)) {
    Chart.Legend().SetVisible(false);
    S.XAxis().MajorFont().SetSize(10);
    S.XAxis().MinorFont().SetSize(9);
    S.YAxis().MajorFont().SetSize(11);
    S.YAxis().MinorFont().SetSize(7);
    S.SetAutoRange(arDisabled);
    S.SetMinimum(0);
    S.SetMaximum(100);
    for (Integer I = 0; I < Points; ++I) S.AddSinglePoint(5 * I);
    Chart.Range().SetRangeTo(Points - 1);
  }
  std::vector<const TCanvasRecord*> TextsInFont(Integer Size) const {
    std::vector<const TCanvasRecord*> Out;
    for (const TCanvasRecord& R : Canvas.Records())
      if ((R.Op == coTextOut || R.Op == coDrawText) && R.Font.Size() == Size) Out.push_back(&R);
    return Out;
  }
  std::vector<String> TextOf(Integer Size) const {
    std::vector<String> Out;
    for (const TCanvasRecord* R : TextsInFont(Size)) Out.push_back(R->Text);
    return Out;
  }
  size_t TickCount(TColor Color) const { return Lines(Color).size(); }
};

std::vector<String> Strs(std::initializer_list<const char16_t*> L) {
  std::vector<String> Out;
  for (auto* S : L) Out.push_back(S);
  return Out;
}
}  // namespace

TEST(XAxisLabels, AutomaticStepsDoubleUntilTheLabelsFit) {
  TChartPaintFixture F(10, 13);  // "WW" is 20 wide
  TChartSerie& S = F.Add(ctLine);
  F.Chart.SetXScale(5);
  TMeasuringCanvas Canvas(F.Measurer);
  ASSERT_TRUE(S.ComputeXAxisSteps(Canvas));
  EXPECT_EQ(S.Mi, 16);  // one doubling past 8, the first step leaving room
  EXPECT_EQ(S.Mu, 16);
  S.XAxis().SetAutoUnits(false);
  S.ComputeXAxisSteps(Canvas);
  EXPECT_EQ(S.Mi, 1);
  F.Chart.SetXScale(0);
  EXPECT_FALSE(S.ComputeXAxisSteps(Canvas));
  EXPECT_EQ(S.Mu, 0);
}

TEST(XAxisLabels, MinorLabelsNeverOnAMajorIndexAndOneTickPerLabelledIndex) {
  TLabels F;
  F.S.XAxis().SetAutoUnits(false);
  F.S.XAxis().SetMajorUnit(5);
  F.S.XAxis().SetMinorUnit(1);
  F.S.XAxis().SetTickMarkColor(clBlue);
  F.Paint();
  EXPECT_EQ(F.TextOf(10), Strs({u"0", u"5", u"10"}));
  EXPECT_EQ(F.TextOf(9), Strs({u"1", u"2", u"3", u"4", u"6", u"7", u"8", u"9", u"11", u"12"}));
  EXPECT_EQ(F.TickCount(clBlue), 13u);
}

TEST(XAxisLabels, BottomLabelCentredUnderItsTickBelowTheGap) {
  TLabels F(4);
  F.S.XAxis().SetTickMarkColor(clBlue);
  F.S.XAxis().SetMinorUnit(0);
  F.Paint();
  auto Ticks = F.Lines(clBlue);
  auto Labels = F.TextsInFont(10);
  ASSERT_EQ(Ticks.size(), 4u);
  ASSERT_EQ(Labels.size(), 4u);
  // The x band: the pane's bottom minus the band's size, sized by the labels.
  const TRect SR = F.Chart.Series().SeriesRectangle();
  for (int I = 0; I < 4; ++I) {
    const TPoint Tick = Ticks[I].first;
    EXPECT_EQ(Ticks[I].second.Y - Tick.Y, 10);  // down from the axis line
    EXPECT_EQ((Labels[I]->Rect.Left + Labels[I]->Rect.Right) / 2, Tick.X) << I;
    EXPECT_EQ(Labels[I]->Rect.Top, Tick.Y + 10);  // no gap for the first serie, then the tick
    EXPECT_GE(Tick.Y, SR.Bottom);
  }
  // The band made room for the labels: tick, text and ten pixels.
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 10 + 16 + 10);
}

TEST(XAxisLabels, LegendValuesReplaceIndicesButNotInAGantt) {
  TLabels F(0);
  F.S.XAxis().SetMinorUnit(0);
  F.S.AddSinglePoint(1, String(u"Jan"));
  F.S.AddSinglePoint(2, String(u"Feb"));
  F.S.AddSinglePoint(3);
  F.Chart.Range().SetRangeTo(2);
  F.Paint();
  EXPECT_EQ(F.TextOf(10), Strs({u"Jan", u"Feb", u"2"}));
  F.S.SetChartType(ctGantt);
  F.Paint();
  EXPECT_EQ(F.TextOf(10), Strs({u"0", u"1", u"2"}));
}

TEST(XAxisLabels, AVetoedIndexLosesItsTickAndLabels) {
  TLabels F(5);
  F.S.XAxis().SetAutoUnits(false);
  F.S.XAxis().SetTickMarkColor(clBlue);
  std::vector<Integer> Asked;
  F.S.OnXAxisDrawValue = [&](TObject*, TChartSerie*, TChartCanvas&, TRect, Integer Index, Integer, bool Top,
                             bool& Draw) {
    EXPECT_FALSE(Top);
    Asked.push_back(Index);
    if (Index == 2) Draw = false;
  };
  F.Paint();
  EXPECT_EQ(Asked, (std::vector<Integer>{0, 1, 2, 3, 4}));
  EXPECT_EQ(F.TextOf(10), Strs({u"0", u"1", u"3", u"4"}));
  EXPECT_EQ(F.TickCount(clBlue), 4u);
}

TEST(XAxisLabels, TurnedLabelsOnTheTopSide) {
  TLabels F(4);
  F.Chart.XAxis().SetPosition(xTop);
  F.S.XAxis().SetPosition(xTop);
  F.S.XAxis().SetAutoUnits(false);
  F.S.XAxis().SetMajorUnit(2);
  F.S.XAxis().TextTop().SetAngle(45);
  F.Paint();
  auto Major = F.TextsInFont(10), Minor = F.TextsInFont(9);
  ASSERT_EQ(Major.size(), 2u);
  ASSERT_EQ(Minor.size(), 2u);
  EXPECT_EQ(Major[0]->Font.Orientation(), 450);
  EXPECT_EQ(Minor[0]->Font.Orientation(), -450);
  // Labels stand above the series area.
  EXPECT_LT(Major[0]->Rect.Top, F.Chart.Series().SeriesRectangle().Top);
}

TEST(XAxisLabels, NearestXValueText) {
  TLabels F(0, ctXYLine);
  F.S.AddSingleXYPoint(0, 1, String(u"zero"));
  F.S.AddSingleXYPoint(1, 1, String(u"one"));
  F.S.AddSingleXYPoint(2, 1, String(u"two"));
  struct Case {
    double X;
    const char16_t* Text;
  } Cases[] = {{1.4, u"one"}, {1.5, u"one"}, {1.6, u"two"}, {0, u"zero"}, {3, u""}, {-1, u""}};
  for (const Case& C : Cases) {
    String T = u"stale";
    F.S.GetXValueText(C.X, T);
    EXPECT_EQ(T, String(C.Text)) << C.X;
  }
  // A point without a legend text found in the middle ends the search.
  F.S.UpdatePoint(1, [](TChartPoint& P) { P.LegendValue.clear(); });
  String T;
  F.S.GetXValueText(1.2, T);
  EXPECT_EQ(T, u"");
}

TEST(XAxisLabels, DatesFromTheStartDateOrFromThePoints) {
  TLabels F(0);
  F.Chart.XAxis().SetUnitType(utDay);
  F.Chart.Range().SetStartDate(EncodeDate(2024, 1, 30));
  F.Chart.Range().SetRangeTo(3);
  F.S.XAxis().SetMinorUnit(0);
  F.S.XAxis().SetMajorUnitTimeFormat(u"dd/mm");
  for (int I = 0; I < 4; ++I) F.S.AddSinglePoint(I, TChartDate(EncodeDate(2024, 3, 10) + I));
  int StartDateEvents = 0, PointEvents = 0;
  F.S.OnXAxisDrawValue = [&](TObject*, TChartSerie*, TChartCanvas&, TRect, Integer, Integer, bool, bool&) {
    ++StartDateEvents;
  };
  F.S.OnXAxisDrawXValue = [&](TObject*, TChartSerie*, TChartCanvas&, TRect, Integer, Integer, bool, bool&) {
    ++PointEvents;
  };
  F.S.OnXAxisGetValue = [](TObject*, TChartSerie*, double, String& Text) { Text += u"*"; };
  F.Paint();
  EXPECT_EQ(F.TextOf(10), Strs({u"30/01*", u"31/01*", u"01/02*", u"02/02*"}));
  EXPECT_EQ(StartDateEvents, 4);
  EXPECT_EQ(PointEvents, 0);
  F.S.SetDrawFromStartDate(false);
  F.Paint();
  EXPECT_EQ(F.TextOf(10), Strs({u"10/03", u"11/03", u"12/03", u"13/03"}));
  EXPECT_EQ(PointEvents, 4);
}

namespace {
// The x labels as a walk over every index of the range paints them: the
// reference a bounded walk must match wherever the labels stand a pixel or
// more apart. Bottom band of an upright chart only.
struct TEveryIndexPainter : TChartSeriePainter {
  void DrawXValues(TChartSerie& S, TChartCanvas& Canvas, TRect R, Integer Anchor, bool Top, double SX,
                   double SY) override {
    TVivIzude* C = S.Chart();
    Canvas.Brush.SetStyle(bsClear);
    Canvas.Font = TChartFont();
    if (!S.ComputeXAxisSteps(Canvas) || (S.Mu == 0 && S.Mi == 0)) return;
    const Int64 From = C->Range().RangeFrom(), To = C->Range().RangeTo();
    for (Int64 F = From; F <= To; ++F) {
      const double X = C->GetXScaleStart() + double(F - From) * C->XScale() - S.XAxis().TickMarkWidth() / 2.0;
      const Integer Marker = RoundI(std::floor(X)) + R.Left;
      bool Draw = true;
      if (Marker > 0)
        XaxisDrawValue(S, Canvas, R, Anchor, static_cast<Integer>(F), Marker, Top, SX, SY, !S.DrawFromStartDate(),
                       Draw);
      if (Marker > R.Right) break;
    }
  }
};

// What the x labels leave on the canvas: their texts with place and font,
// and the ticks.
std::vector<String> XLabelRecords(const TRecordingCanvas& Canvas, TColor Tick) {
  std::vector<String> Out;
  auto Num = [](Integer V) { return IntToStr(V); };
  for (const TCanvasRecord& R : Canvas.Records()) {
    if (R.Op == coTextOut && (R.Font.Size() == 10 || R.Font.Size() == 9))
      Out.push_back(R.Text + u"@" + Num(R.Rect.Left) + u"," + Num(R.Rect.Top) + u"/" + Num(R.Font.Size()));
    else if (R.Op == coLineTo && R.Pen.Color == Tick)
      Out.push_back(u"tick@" + Num(R.Points[0].X) + u"," + Num(R.Points[0].Y) + u"-" + Num(R.Points[1].Y));
  }
  return Out;
}
}  // namespace

TEST(XAxisLabels, WideRangesPaintTheLabelsOfEveryIndexWalk) {
  // Narrow ranges, and wide ones whose automatic steps keep the labels
  // apart, in a 400-pixel chart: the same labels and ticks as a walk over
  // every index, at the same places.
  struct Case {
    Integer From, To;
    bool AutoUnits;
    Integer Major, Minor;
  } Cases[] = {{0, 99, false, 10, 2},    {0, 99, true, 1, 1},      {0, 999, true, 1, 1},
               {0, 999, false, 100, 25}, {-50, 99999, true, 3, 1}, {7, 200000, true, 5, 1}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.From << ".." << C.To);
    std::vector<String> Painted[2];
    for (int Reference = 0; Reference < 2; ++Reference) {
      TLabels F(4);
      F.Pane = {0, 0, 400, 300};
      if (Reference) F.Chart.SetSeriePainter(std::make_unique<TEveryIndexPainter>());
      F.Chart.Range().SetRangeFrom(C.From);
      F.Chart.Range().SetRangeTo(C.To);
      F.S.XAxis().SetAutoUnits(C.AutoUnits);
      F.S.XAxis().SetMajorUnit(C.Major);
      F.S.XAxis().SetMinorUnit(C.Minor);
      F.S.XAxis().SetTickMarkColor(clBlue);
      F.Paint();
      Painted[Reference] = XLabelRecords(F.Canvas, clBlue);
    }
    EXPECT_GT(Painted[0].size(), 4u);
    EXPECT_EQ(Painted[0], Painted[1]);
  }
}

TEST(XAxisLabels, AHugeRangeWalksThePixelsNotTheIndices) {
  // Ranges of billions of indices, as a damaged settings file gives them,
  // in a 400-pixel chart: the label indices are visited about once per
  // pixel, labels stand only at their steps, in order, and none beyond the
  // band. A walk over every index would not end in time.
  constexpr Integer IntMin = std::numeric_limits<Integer>::min(), IntMax = std::numeric_limits<Integer>::max();
  struct Case {
    Integer From, To;
    bool AutoUnits;
    Integer Major, Minor, TickWidth;
  } Cases[] = {
      {0, IntMax, true, 1, 1, 1},
      {0, IntMax, false, 1000, 7, 1},  // steps far under a pixel: thinned
      {0, IntMax, false, 1, 0, 1},     // a label for every index asked
      {IntMin, IntMax, false, 3, 2, 1},
      {0, IntMax, false, 1000, 7, 600},  // markers left of the band for half its width
      {IntMax - 5000000, IntMax, true, 1, 1, 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.From << ".." << C.To << " units " << C.Major << "/" << C.Minor);
    TLabels F(4);
    F.Pane = {0, 0, 400, 300};
    TMemIniFile Ini(u"");
    Ini.WriteInteger(u"R", u"RangeFrom", C.From);
    Ini.WriteInteger(u"R", u"RangeTo", C.To);
    F.Chart.Range().LoadFromFile(Ini, u"R");
    ASSERT_EQ(F.Chart.Range().RangeTo(), C.To);
    F.S.XAxis().SetAutoUnits(C.AutoUnits);
    F.S.XAxis().SetMajorUnit(C.Major);
    F.S.XAxis().SetMinorUnit(C.Minor);
    F.S.XAxis().SetTickMarkWidth(C.TickWidth);
    F.S.XAxis().SetTickMarkColor(clBlue);
    TRect Band;
    F.Chart.OnDrawXValues = [&](TObject*, TRect R, TChartCanvas&) { Band = R; };
    Integer Mu = 0, Mi = 0, Visits = 0;
    F.S.OnXAxisDrawValue = [&](TObject*, TChartSerie*, TChartCanvas&, TRect, Integer, Integer, bool, bool&) {
      Mu = F.S.Mu;
      Mi = F.S.Mi;
      ++Visits;
    };
    F.Paint();
    ASSERT_GT(Band.Width(), 300);
    // One visit a pixel for each of the two steps at most.
    EXPECT_LE(Visits, 2 * (Band.Right + 2));

    Int64 Last = std::numeric_limits<Int64>::min();
    int Labels = 0;
    for (const TCanvasRecord& R : F.Canvas.Records()) {
      const bool Major = R.Font.Size() == 10;
      if (R.Op != coTextOut || (!Major && R.Font.Size() != 9)) continue;
      ++Labels;
      const Int64 Index = std::stoll(std::string(R.Text.begin(), R.Text.end()));
      if (Major) {
        EXPECT_EQ(Index % Mu, 0) << Index;
      } else {
        EXPECT_EQ(Index % Mi, 0) << Index;
        EXPECT_NE(Mu > 0 ? Index % Mu : 1, 0) << Index;
      }
      EXPECT_GT(Index, Last);
      Last = Index;
      EXPECT_LE((R.Rect.Left + R.Rect.Right) / 2, Band.Right + 1) << Index;
    }
    EXPECT_GT(Labels, 1);
    Integer LastTick = std::numeric_limits<Integer>::min();
    for (const auto& [From, To] : F.Lines(clBlue)) {
      EXPECT_GE(From.X, LastTick);
      EXPECT_LE(From.X, Band.Right);
      LastTick = From.X;
    }
  }
}

TEST(XAxisLabels, MarkersFarLeftOfTheBandAreSkippedNotWalked) {
  // A tick a billion pixels wide puts the marker of each of the first
  // billion indices left of the canvas. Those are passed over at once: the
  // first label is the first index whose marker is on the canvas, and the
  // paint takes no time to get there.
  TLabels F(4);
  F.Chart.Range().SetRangeTo(std::numeric_limits<Integer>::max());
  F.S.XAxis().SetAutoUnits(false);
  F.S.XAxis().SetMinorUnit(0);
  F.S.XAxis().SetTickMarkWidth(2000000000);
  F.S.XAxis().SetTickMarkColor(clBlue);
  F.Paint();
  F.Canvas.Clear();
  F.Chart.SetXScale(1);
  const TRect Band{40, 300, 440, 330};
  const auto Begun = std::chrono::steady_clock::now();
  F.Chart.SeriePainter()->DrawXValues(F.S, F.Canvas, Band, Band.Top, false, 1, 1);
  const auto Took = std::chrono::steady_clock::now() - Begun;
  EXPECT_LT(Took, std::chrono::milliseconds(500));
  const std::vector<String> Labels = F.TextOf(10);
  ASSERT_EQ(Labels.size(), 440u);  // markers 1 .. 440
  EXPECT_EQ(Labels.front(), IntToStr(1000000000 - 40 + 1));
  EXPECT_EQ(F.Lines(clBlue).front().first.X, 1);
  EXPECT_EQ(F.Lines(clBlue).back().first.X, Band.Right);
}

TEST(XAxisGroups, CaptionsLinesAndWhatFallsOutsideTheRange) {
  TLabels F(10);
  F.S.XAxis().SetMinorUnit(0);
  F.Chart.Range().SetRangeFrom(2);
  F.Chart.Range().SetRangeTo(9);
  auto Group = [&](Integer From, Integer To, const char16_t* Caption, TColor Line, TChartSerieXAxisGroupLineType Type) {
    TChartSerieXAxisGroup& G = F.S.XAxisGroups().Add();
    G.SetStartIndex(From);
    G.SetEndIndex(To);
    G.SetCaption(Caption);
    G.SetLineColor(Line);
    G.SetLineType(Type);
  };
  Group(4, 7, u"Mid", clBlue, xgltVerticalLine);
  Group(0, 4, u"Early", clGreen, xgltVertical);  // starts left of the visible range
  Group(20, 25, u"Later", clYellow, xgltVertical);
  Group(7, 8, u"A caption far too wide", clFuchsia, xgltWrap);
  F.Paint();
  const TRect SR = F.Chart.Series().SeriesRectangle();
  const double XScale = F.Chart.XScale();
  auto Blue = F.Lines(clBlue);
  ASSERT_EQ(Blue.size(), 2u);
  const TRect Band = {SR.Left, 0, SR.Right, 0};
  EXPECT_EQ(Blue[0].first.X, Band.Left + RoundI(2 * XScale));  // index 4, two after the range start
  EXPECT_EQ(Blue[1].first.X, Band.Left + RoundI(5 * XScale));
  EXPECT_NE(F.Text(u"Mid"), nullptr);
  EXPECT_EQ(F.Lines(clGreen).size(), 1u);  // its start line is out of view
  EXPECT_EQ(F.Lines(clYellow).size(), 0u);
  EXPECT_EQ(F.Text(u"Later"), nullptr);
  auto Wrap = F.Lines(clFuchsia);
  ASSERT_EQ(Wrap.size(), 2u);  // only the end strokes: no room for the bracket
  EXPECT_EQ(std::abs(Wrap[0].second.Y - Wrap[0].first.Y), 10);
  // The group rows made the x band taller.
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 10 + 16 + 10 + 13 + 6);
}

TEST(YAxisLabels, AutomaticUnitOfTenForAHundredOnThreeHundredPixels) {
  TLabels F(1);
  F.S.SetMinimumValue(0);
  F.S.SetMaximumValue(100);
  TMeasuringCanvas Canvas(F.Measurer);
  double Major, Minor;
  F.S.YAxis().MajorFont().SetSize(8);
  F.S.GetYAxisUnits(Canvas, {0, 0, 50, 300}, Major, Minor);
  EXPECT_DOUBLE_EQ(Major, 10);
  F.S.SetLogarithmic(true);
  F.S.GetYAxisUnits(Canvas, {0, 0, 50, 300}, Major, Minor);
  EXPECT_DOUBLE_EQ(Major, 1);
}

TEST(YAxisLabels, LogarithmicMinorLabelsWithinEachDecade) {
  TLabels F(1);
  F.S.SetLogarithmic(true);
  F.S.SetMinimumValue(0);
  F.S.SetMaximumValue(1.5);
  std::vector<String> Majors, Minors;
  std::map<String, double> Where;
  F.S.WalkYAxisLabels(1, 0.1, [&](const TChartSerie::TYAxisLabel& L) {
    if (L.Skipped) return true;
    (L.Major ? Majors : Minors).push_back(L.Text);
    Where[L.Text] = L.Position;
    return true;
  });
  EXPECT_EQ(Majors, Strs({u"1", u"10", u"100"}));
  EXPECT_EQ(Minors, Strs({u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"20", u"30", u"40", u"50", u"60", u"70",
                          u"80", u"90"}));
  EXPECT_NEAR(Where[u"2"], std::log10(2.0), 1e-12);
  EXPECT_NEAR(Where[u"50"], std::log10(50.0), 1e-12);
}

TEST(YAxisLabels, TextsTicksAndTheHitTestOnWhatIsPainted) {
  TLabels F(3);
  F.S.YAxis().SetTickMarkColor(clBlue);
  F.S.YAxis().SetMinorUnitVisible(false);
  F.S.YAxis().SetTickMarkSizeMinor(0);
  F.Paint();
  auto Labels = F.TextsInFont(11);
  ASSERT_GE(Labels.size(), 5u);
  const TRect SR = F.Chart.Series().SeriesRectangle();
  for (const TCanvasRecord* L : Labels) {
    EXPECT_LE(L->Rect.Right, SR.Left - 10) << "left of the tick";
    TYAxisRangeValue Hit =
        F.Chart.GetYAxisValue((L->Rect.Left + L->Rect.Right) / 2, (L->Rect.Top + L->Rect.Bottom) / 2, F.Pane);
    EXPECT_EQ(Hit.Serie, 0);
    EXPECT_EQ(Hit.ValueStr, L->Text);
    EXPECT_EQ(Hit.Mode, vmMajor);
  }
  EXPECT_EQ(F.Chart.GetYAxisValue(SR.Left + 20, SR.Top + 20, F.Pane).Serie, -1);
  // The y band holds every painted label with its tick, and is more than
  // its set size of 30 once the labels need it (the layout measures the
  // labels of the whole pane's height, 110 included: "110" + tick + 10).
  Integer Widest = 0;
  for (const TCanvasRecord* L : Labels) Widest = std::max(Widest, L->Rect.Width());
  EXPECT_GE(F.Chart.YAxis().LeftSize(), Widest + 10 + 10);
  EXPECT_EQ(F.Chart.YAxis().LeftSize(), 30 + 10 + 10);
}

TEST(YAxisLabels, VetoOfTheRightCellRemovesBothSidesAndTheHit) {
  TLabels F(3);
  F.Chart.YAxis().SetPosition(yBoth);
  F.S.YAxis().SetPosition(yBoth);
  F.S.YAxis().SetTickMarkColor(clBlue);
  F.Paint();
  auto Before = F.TextsInFont(11);
  ASSERT_FALSE(Before.empty());
  const TCanvasRecord Sample = *Before.front();
  int Cells = 0;
  F.S.OnYAxisDrawvalue = [&](TObject*, TChartSerie*, TChartCanvas&, TRect Cell, double, bool Left, bool& Draw) {
    EXPECT_TRUE(Left);  // both sides report Left
    ++Cells;
    if (Cell.Left >= F.Chart.Series().SeriesRectangle().Right) Draw = false;
  };
  F.Paint();
  EXPECT_GT(Cells, 0);
  EXPECT_TRUE(F.TextsInFont(11).empty());
  EXPECT_TRUE(F.TextsInFont(7).empty());
  EXPECT_EQ(F.TickCount(clBlue), 0u);
  TYAxisRangeValue Hit = F.Chart.GetYAxisValue((Sample.Rect.Left + Sample.Rect.Right) / 2, Sample.Rect.Top + 2, F.Pane);
  EXPECT_EQ(Hit.Serie, -1);
}

TEST(YAxisLabels, LabelsBeyondTheAreaFireButDrawNothingAndHiddenTextsKeepTheirTicks) {
  TLabels F(3);
  F.S.SetMinimum(-5);
  F.S.SetMaximum(105);
  F.Chart.YAxis().SetAutoUnits(false);
  F.S.YAxis().SetAutoUnits(false);
  F.S.YAxis().SetMajorUnit(10);
  F.S.YAxis().SetTickMarkColor(clBlue);
  std::vector<double> Fired;
  F.S.OnYAxisDrawvalue = [&](TObject*, TChartSerie*, TChartCanvas&, TRect, double V, bool, bool&) {
    Fired.push_back(V);
  };
  F.Paint();
  // 0 .. 110: 110 lies above the area.
  ASSERT_EQ(Fired.size(), 12u);
  EXPECT_EQ(Fired.back(), 110);
  EXPECT_EQ(F.TextsInFont(11).size(), 11u);
  EXPECT_EQ(F.TickCount(clBlue), 11u);
  F.S.YAxis().SetMajorUnitVisible(false);
  F.Paint();
  EXPECT_TRUE(F.TextsInFont(11).empty());
  EXPECT_EQ(F.TickCount(clBlue), 11u);
}

TEST(YAxisLabels, SpiderGetsPieGridValuesAPieGetsAnAxis) {
  TLabels F(0, ctSpider);
  for (double V : {10.0, 20.0, 30.0}) F.S.AddSinglePoint(V);
  F.Chart.Range().SetRangeTo(2);
  F.Paint();
  auto Spider = F.TextsInFont(11);
  ASSERT_FALSE(Spider.empty());
  const TRect SR = F.Chart.Series().SeriesRectangle();
  for (const TCanvasRecord* T : Spider) EXPECT_GE(T->Rect.Left, SR.Left) << "written inside the pie, not left of it";
  F.S.SetChartType(ctPie);
  F.Paint();
  auto Pie = F.TextsInFont(11);
  ASSERT_FALSE(Pie.empty());
  EXPECT_LT(Pie.front()->Rect.Right, SR.Left);
}

TEST(YAxisLabels, CaptionsStandBeyondTheLabels) {
  TLabels F(3);
  F.S.YAxis().TextLeft().SetText(u"Volume");
  F.S.YAxis().TextLeft().Font().SetColor(clGreen);
  F.S.YAxis().TextLeft().SetPosition(ctCenter);
  F.Paint();
  const TCanvasRecord* Caption = F.Text(u"Volume");
  ASSERT_NE(Caption, nullptr);
  EXPECT_EQ(Caption->Font.Orientation(), 900);
  Integer Leftmost = 100000;
  for (const TCanvasRecord* L : F.TextsInFont(11)) Leftmost = std::min(Leftmost, L->Rect.Left);
  EXPECT_LE(Caption->Points[0].X + 13, Leftmost);  // the turned caption's line lies left of every label
  const TRect SR = F.Chart.Series().SeriesRectangle();
  EXPECT_NEAR(Caption->Points[0].Y - 6 * 7 / 2, (SR.Top + SR.Bottom) / 2, 2);  // centred along the axis
}
