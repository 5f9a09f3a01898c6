// The view's side of the series tool-bar popup, without the popup itself
// (no widget library in this program): its settings, and the choices the
// popup reports applied to the active serie.
#include <gtest/gtest.h>

#include <memory>

#include "ChartViewTestSupport.h"
#include "chart/view/VivIzudeViewGDIP.h"

using namespace chartview_test;

namespace {

struct PopupBindingTest : ::testing::Test {
  std::unique_ptr<TCustomForm, TFormDeleter> Form;
  TVivGDIPChartView* View = nullptr;

  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TForm>(Application));
    View = new TVivGDIPChartView(Form.get());
    View->SetParent(Form.get());
    TVivGDIPChartPane& P = *View->Panes().Add();
    for (int K = 0; K < 3; ++K) {
      TVivGDIPChartSerie& S = P.Series().Add();
      S.SetName(K == 1 ? u"" : String(u"S") + char16_t(u'0' + K));
      S.AddSinglePoint(K);
    }
    View->CurrentPane = 0;
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TChartSerie& Serie(Integer I) { return View->Panes().Items(0)->Chart().Series().Items(I); }
};

}  // namespace

TEST_F(PopupBindingTest, SettingsDefaultsAndAssign) {
  TChartPopup& P = View->Popup();
  EXPECT_FALSE(P.Enabled());
  EXPECT_EQ(P.Options().Bits(), 2047);
  EXPECT_EQ(P.ActivateMode(), amBoth);
  EXPECT_TRUE(P.DragGrip());
  TChartPopup Other;
  Other.SetEnabled(true);
  Other.SetOptions({ctpoFill, ctpoUpDown});
  Other.SetActivateMode(amMouseRight);
  Other.SetDragGrip(false);
  View->SetPopup(Other);
  EXPECT_TRUE(P.Enabled());
  EXPECT_EQ(P.Options(), (TVivIzudeToolBarPopupOptions{ctpoFill, ctpoUpDown}));
  EXPECT_EQ(P.ActivateMode(), amMouseRight);
  EXPECT_FALSE(P.DragGrip());
  // No popup registered in this program: none is made, and showing one
  // still makes the serie the active one.
  EXPECT_EQ(View->ToolBarPopup(), nullptr);
  View->ShowToolBarPopupAtSeries(&Serie(1));
  EXPECT_EQ(View->ActiveSerie(), &Serie(1));
  View->HideToolBarPopup();
  EXPECT_EQ(View->ActiveSerie(), nullptr);
}

TEST_F(PopupBindingTest, EveryPopupTypeGivesTheChartTypeOfItsName) {
  // The picker's order is the model's but for the XY digital line, which
  // the model keeps last.
  const TChartType Expected[ToolBarPopupSeriesTypeCount] = {ctLine,
                                                            ctArea,
                                                            ctBar,
                                                            ctLineBar,
                                                            ctHistogram,
                                                            ctLineHistogram,
                                                            ctCandleStick,
                                                            ctLineCandleStick,
                                                            ctOHLC,
                                                            ctMarkers,
                                                            ctStackedBar,
                                                            ctStackedArea,
                                                            ctStackedPercArea,
                                                            ctStackedPercBar,
                                                            ctError,
                                                            ctArrow,
                                                            ctScaledArrow,
                                                            ctBubble,
                                                            ctScaledBubble,
                                                            ctPie,
                                                            ctHalfPie,
                                                            ctDonut,
                                                            ctHalfDonut,
                                                            ctBand,
                                                            ctSpider,
                                                            ctHalfSpider,
                                                            ctVarRadiusPie,
                                                            ctVarRadiusHalfPie,
                                                            ctVarRadiusDonut,
                                                            ctVarRadiusHalfDonut,
                                                            ctSizedPie,
                                                            ctSizedHalfPie,
                                                            ctSizedDonut,
                                                            ctSizedHalfDonut,
                                                            ctDigitalLine,
                                                            ctXYDigitalLine,
                                                            ctBoxPlot,
                                                            ctRenko,
                                                            ctXYLine,
                                                            ctXYMarkers,
                                                            ctGantt,
                                                            ctFunnel};
  View->ShowToolBarPopupAtSeries(&Serie(0));
  for (int T = 0; T < ToolBarPopupSeriesTypeCount; ++T) {
    View->SeriesTypeSelected(static_cast<TVivIzudeToolBarPopupSeriesType>(T));
    EXPECT_EQ(Serie(0).ChartType(), Expected[T]) << "popup type " << T;
  }
}

TEST_F(PopupBindingTest, StylesMarkersAndLabelsMapByName) {
  View->ShowToolBarPopupAtSeries(&Serie(2));
  TChartSerie& S = Serie(2);
  const std::pair<TVivIzudeToolBarPopupSeriesLineStyle, TPenStyle> Styles[] = {
      {tpslsNone, psClear}, {tpslsSolid, psSolid},     {tpslsDot, psDot},
      {tpslsDash, psDash},  {tpslsDashDot, psDashDot}, {tpslsDashDotDot, psDashDotDot}};
  for (auto [From, To] : Styles) {
    View->SeriesLineStyleSelected(From);
    EXPECT_EQ(S.PenStyle(), To) << int(From);
  }
  const std::pair<TVivIzudeToolBarPopupSeriesMarkerType, TChartMarkerType> Markers[] = {{tpsmEllipse, mCircle},
                                                                                        {tpsmTriangle, mTriangle},
                                                                                        {tpsmSquare, mSquare},
                                                                                        {tpsmDiamond, mDiamond},
                                                                                        {tpsmNone, mNone}};
  for (auto [From, To] : Markers) {
    View->SeriesMarkerTypeSelected(From);
    EXPECT_EQ(S.Marker().MarkerType(), To) << int(From);
  }
  // Each kind of label shows the value, never the other kind's pattern as
  // text; a pattern that suits the kind is kept.
  const auto ShowsValue = [&] {
    const String T = S.FormatValue(1.5);
    return T.find(u'%') == String::npos && T.find(u'1') != String::npos && T.find(u'5') != String::npos;
  };
  View->SeriesLabelTypeSelected(tpsltFloat);
  EXPECT_TRUE(S.ShowValue());
  EXPECT_EQ(S.ValueFormatType(), vftFloat);
  EXPECT_TRUE(ShowsValue());
  View->SeriesLabelTypeSelected(tpsltNormal);
  EXPECT_TRUE(S.ShowValue());
  EXPECT_EQ(S.ValueFormatType(), vftNormal);
  EXPECT_TRUE(ShowsValue());
  S.SetValueFormat(u"%.2f");
  View->SeriesLabelTypeSelected(tpsltNormal);
  EXPECT_EQ(S.ValueFormat(), u"%.2f");
  View->SeriesLabelTypeSelected(tpsltFloat);
  EXPECT_TRUE(ShowsValue());
  S.SetValueFormat(u"0.000");
  View->SeriesLabelTypeSelected(tpsltFloat);
  EXPECT_EQ(S.ValueFormat(), u"0.000");
  View->SeriesLabelTypeSelected(tpsltNone);
  EXPECT_FALSE(S.ShowValue());
  View->SeriesFillColorSelected(0x123456);
  View->SeriesLineColorSelected(0x654321);
  View->SeriesMarkerFillColorSelected(0x00FF00);
  View->SeriesLineWidthSelected(7);
  View->SeriesMarkerSizeSelected(12);
  EXPECT_EQ(S.Color(), 0x123456);
  EXPECT_EQ(S.LineColor(), 0x654321);
  EXPECT_EQ(S.Marker().MarkerColor(), 0x00FF00);
  EXPECT_EQ(S.LineWidth(), 7);
  EXPECT_EQ(S.Marker().MarkerSize(), 12);
  // The others stay as they were.
  EXPECT_NE(Serie(0).LineWidth(), 7);
}

TEST_F(PopupBindingTest, WithoutALiveActiveSerieChoicesChangeNothing) {
  const TColor Before = Serie(0).Color();
  const TChartType BeforeType = Serie(0).ChartType();
  View->SeriesFillColorSelected(0x123456);
  View->SeriesTypeSelected(tpstFunnel);
  View->SeriesUpClicked();
  View->SeriesDownClicked();
  EXPECT_EQ(Serie(0).Color(), Before);
  EXPECT_EQ(Serie(0).ChartType(), BeforeType);
  // A serie deleted while active is forgotten, not written to.
  View->ShowToolBarPopupAtSeries(&Serie(2));
  View->Panes().Items(0)->Chart().Series().Delete(2);
  View->SeriesFillColorSelected(0x123456);
  View->SeriesLineWidthSelected(9);
  View->SeriesUpClicked();
  View->UpdateToolBarPopup();
  EXPECT_EQ(View->ActiveSerie(), nullptr);
  EXPECT_EQ(View->Panes().Items(0)->Chart().Series().Count(), 2);
  EXPECT_NE(Serie(1).LineWidth(), 9);
}

TEST_F(PopupBindingTest, SelectingAndMovingSeries) {
  // Out of range: nothing.
  View->SeriesSelected(3);
  View->SeriesSelected(-1);
  EXPECT_EQ(View->ActiveSerie(), nullptr);
  View->CurrentPane = 5;
  View->SeriesSelected(1);
  EXPECT_EQ(View->ActiveSerie(), nullptr);
  View->CurrentPane = 0;
  View->SeriesSelected(1);
  TChartSerie* S = &Serie(1);
  EXPECT_EQ(View->ActiveSerie(), S);
  // Up and down move it, never past either end.
  View->SeriesUpClicked();
  EXPECT_EQ(S->Index(), 0);
  View->SeriesUpClicked();
  EXPECT_EQ(S->Index(), 0);
  View->SeriesDownClicked();
  View->SeriesDownClicked();
  EXPECT_EQ(S->Index(), 2);
  View->SeriesDownClicked();
  EXPECT_EQ(S->Index(), 2);
  EXPECT_EQ(View->ActiveSerie(), S);
}
