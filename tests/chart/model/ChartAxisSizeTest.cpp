// The axis bands sized from the label sizes of the series on their side.
#include <gtest/gtest.h>

#include "ChartTestSupport.h"

namespace {
// Fixed metrics 7 x 13: an x label of index "0".."9" in the default font is
// 13 high; with its 10-pixel tick and 10 more it takes 33.
struct TSized : TChartFixture {
  TSized() {
    Chart.GetPaneRectangle = [](TVivIzude*, TRect& R) { R = {0, 0, 400, 300}; };
    Chart.SetXScale(40);
    Chart.Range().SetRangeTo(9);
  }
  TChartSerie& Line(TChartXAxisPosition X, TChartYAxisPosition Y = yLeft) {
    TChartSerie& S = Chart.Series().Add();
    S.XAxis().SetPosition(X);
    S.YAxis().SetPosition(Y);
    S.XAxis().SetMinorUnit(0);
    for (int I = 0; I < 10; ++I) S.AddSinglePoint(I);
    S.SetMinimumValue(0);
    S.SetMaximumValue(100);
    return S;
  }
};
}  // namespace

TEST(AxisBandSizes, XBandsAddUpTheLabelsOfTheSeriesOnTheirSide) {
  TSized F;
  F.Chart.XAxis().SetPosition(xBoth);
  TChartSerie& A = F.Line(xBottom);
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 33);
  EXPECT_EQ(F.Chart.XAxis().TopSize(), 30);  // nothing on top: the set size
  F.Line(xBoth);
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 66);
  EXPECT_EQ(F.Chart.XAxis().TopSize(), 33);
  // The second serie's labels stand below the first one's.
  EXPECT_EQ(F.Chart.Series()[1].GetPreviousXAxesSize(true), 33);
  EXPECT_EQ(F.Chart.Series()[1].GetPreviousXAxesSize(false), 0);
  // A hidden serie paints no labels and takes no room.
  A.SetVisible(false);
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 33);
  EXPECT_EQ(F.Chart.Series()[1].GetPreviousXAxesSize(true), 0);
  A.SetVisible(true);
  F.Chart.XAxis().SetText(u"Days");
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 66 + 13);
  // Without the pane hook the band keeps its set size.
  F.Chart.GetPaneRectangle = nullptr;
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 30);
}

TEST(AxisBandSizes, XLabelsTurnedAcrossTheAxisTakeTheirWidth) {
  TSized F;
  TChartSerie& S = F.Line(xBottom);
  S.UpdatePoint(3, [](TChartPoint& P) { P.LegendValue = u"September"; });
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 33);
  S.XAxis().TextBottom().SetAngle(90);
  EXPECT_EQ(F.Chart.XAxis().BottomSize(), 10 + 9 * 7 + 10);
}

TEST(AxisBandSizes, YBandFromTheWidestLabelAndThePreviousAxesOnItsSide) {
  TSized F;
  F.Chart.YAxis().SetPosition(yBoth);
  TChartSerie& A = F.Line(xBottom, yLeft);
  // Units of 10 on 300 pixels: labels "0" .. "110", the widest 21 wide.
  A.YAxis().SetMinorUnitVisible(false);
  EXPECT_EQ(F.Chart.YAxis().LeftSize(), std::max(30, 21 + 10) + 10);
  A.YAxis().SetMajorUnitSpacing(20);
  EXPECT_EQ(F.Chart.YAxis().LeftSize(), 21 + 20 + 10 + 10);
  TChartSerie& B = F.Line(xBottom, yBoth);
  B.YAxis().SetMinorUnitVisible(false);
  EXPECT_EQ(B.GetPreviousYAxesSize(false), 21 + 20 + 10);
  EXPECT_EQ(B.GetPreviousYAxesSize(true), 0);
  EXPECT_EQ(F.Chart.YAxis().LeftSize(), (21 + 20 + 10) + (21 + 10) + 10);
  EXPECT_EQ(F.Chart.YAxis().RightSize(), 21 + 10 + 10);
  // A caption adds its height on its side.
  B.YAxis().TextRight().SetText(u"Rate");
  EXPECT_EQ(F.Chart.YAxis().RightSize(), 21 + 10 + 13 + 10);
  A.YAxis().SetVisible(false);
  EXPECT_EQ(B.GetPreviousYAxesSize(false), 0);
}
