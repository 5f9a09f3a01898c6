#include <gtest/gtest.h>

#include "PieTestSupport.h"

TEST(PiePaintingOrder, SlicesThenValuesThenLegend) {
  TPieFixture F;
  F.FolderPie();
  F.Add(1, u"a", clRed);
  F.Add(3, u"b", clGreen);
  F.Add(6, u"c", clBlue);
  F.Paint({0, 0, 420, 460});
  std::string Order;
  for (const TCanvasRecord& R : F.Canvas.Records()) {
    char K = 0;
    if (R.Op == coPie) K = 's';
    if (R.Op == coTextOut && R.Font.Color() == clWhite) K = 'v';
    if (R.Op == coTextOut && R.Font.Color() != clWhite && R.Text.find(u'(') != String::npos) K = 'l';
    if (R.Op == coDrawText && R.Text.find(u"/www") == 0) K = 't';
    if (K && (Order.empty() || Order.back() != K)) Order += K;
  }
  EXPECT_EQ(Order, "tsvl");
  // The pie sits at the top centre of the series area under the title.
  TRect SR = F.Chart.Series().SeriesRectangle();
  EXPECT_EQ(SR, (TRect{0, 40, 420, 460}));
  const TSlicePoint& S = F.Pie.DrawValuesSlice[0];
  EXPECT_EQ(S.CX, 210);
  EXPECT_EQ(S.CY, 40 + 5 + 125);
  // The legend box at the bottom centre.
  bool Measured;
  TRect B = F.Chart.SeriePainter()->DrawPieLegend(F.Pie, F.Canvas, false, 1, 1, Measured);
  EXPECT_EQ(B.Bottom, 460 - 5);
  EXPECT_EQ((B.Left + B.Right) / 2, 210);
}

TEST(PiePaintingOrder, LayoutRunsOnEveryPaint) {
  TPieFixture F;
  F.Add(1, u"a");
  F.Paint({0, 0, 400, 400});
  Integer CX1 = F.Pie.DrawValuesSlice[0].CX;
  F.Paint({0, 0, 600, 400});
  EXPECT_EQ(F.Pie.DrawValuesSlice[0].CX, 300);
  EXPECT_NE(CX1, 300);
}

TEST(PiePaintingOrder, NoPainterNoSeries) {
  TPieFixture F;
  F.Add(1, u"a");
  F.Chart.SetSeriePainter(nullptr);
  F.Paint();
  EXPECT_TRUE(F.Ops(coPie).empty());
}
