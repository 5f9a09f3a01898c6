// The value tracker's rows and settings, the zoom control's geometry and
// settings, and the pane's analytic series and settings section.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "ChartViewTestSupport.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "rtl/IniFiles.h"

using namespace chartview_test;

namespace {
struct ViewOnly : ::testing::Test {
  std::unique_ptr<TVivGDIPChartView> View{new TVivGDIPChartView(nullptr)};
  String Dir = TempFolder(u"chart-tracker-zoom");
  TVivGDIPChartPane& Pane() {
    if (View->Panes().Count() == 0) View->Panes().Add();
    return *View->Panes().Items(0);
  }
};
}  // namespace

TEST_F(ViewOnly, TrackerRowsFollowTheCrosshairPoints) {
  TVivGDIPChartPane& P = Pane();
  P.CrossHair().CrossHairYValues().SetPosition({chValueTracker});
  TVivGDIPChartSerie& Line = P.Series().Add();
  Line.SetLegendText(u"Line");
  Line.SetValueFormat(u"%.1f");
  TVivGDIPChartSerie& Hidden = P.Series().Add();
  Hidden.SetLegendText(u"Quiet");
  Hidden.SetShowValueInTracker(false);
  TVivGDIPChartSerie& Candle = P.Series().Add();
  Candle.SetChartType(ctCandleStick);
  Candle.SetShowValueInTracker(false);
  Candle.SetLegendText(u"Share");
  Candle.SetValueFormat(u"%.0f");
  for (int I = 0; I < 5; ++I) {
    Line.AddSinglePoint(I * 1.5);
    Hidden.AddSinglePoint(I);
    Candle.AddMultiPoints(10 + I, 1, 5, 7);
  }
  TChartTracker& T = View->Tracker();
  TTrackerItems Rows;
  // No crosshair points: the series shown in the tracker with their names only.
  T.BuildRows(Rows, false);
  ASSERT_EQ(Rows.Count(), 1);
  EXPECT_EQ(Rows.Items(0).Text, (std::vector<String>{u"Line: "}));
  // Two points of the line give two rows; the candle always has its row,
  // high, open, close, low, without prefixes at run time.
  P.CrossHairPoints = {{2, 0, 0, 0, 0, 0, cspSerie, 0},
                       {4, 0, 0, 0, 0, 0, cspSerie, 0},
                       {3, 0, 2, 0, 0, 0, cspSerie, 0},
                       {3, 0, 1, 0, 0, 0, cspSerie, 0},
                       {1, 0, 0, 0, 0, 0, cspYPos, 0}};
  T.BuildRows(Rows, false);
  ASSERT_EQ(Rows.Count(), 3);
  EXPECT_EQ(Rows.Items(0).Text, (std::vector<String>{u"Line: ", u"3.0"}));
  EXPECT_EQ(Rows.Items(1).Text, (std::vector<String>{u"Line: ", u"6.0"}));
  EXPECT_EQ(Rows.Items(2).Text, (std::vector<String>{u"Share: ", u"13", u"5", u"7", u"1"}));
  EXPECT_EQ(Rows.Items(2).Color, Candle.Color());
  T.SetHighValuePrefix(u"H:");
  T.BuildRows(Rows, false);
  EXPECT_EQ(Rows.Items(2).Text.at(1), u"H:13");
  // A pane that does not show its values in the tracker gives no rows.
  P.CrossHair().CrossHairYValues().SetPosition({chYAxis});
  T.BuildRows(Rows, false);
  EXPECT_EQ(Rows.Count(), 0);
}

TEST_F(ViewOnly, TrackerSettingsAndListItemsKeepTheirSections) {
  TChartTracker& T = View->Tracker();
  Integer Changes = 0;
  T.OnChange = [&](TObject*) { ++Changes; };
  T.SetHeight(-5);
  T.SetGradientSteps(-1);
  EXPECT_EQ(T.Height(), 50);
  EXPECT_EQ(T.GradientSteps(), 100);
  EXPECT_EQ(Changes, 0);
  T.SetWidth(-5);
  EXPECT_EQ(T.Width(), -5);
  T.EndUpdate();
  EXPECT_EQ(T.UpdateCount(), 0);
  T.Font().SetStyle({fsBold});
  T.SetColor(clYellow);
  T.Title().SetSize(31);
  const String File = Dir + u"\\tracker.ini";
  RemoveFile(File);
  {
    TMemIniFile Ini(File);
    T.SaveToFile(Ini, u"V.Tracker");
    Ini.UpdateFile();
  }
  std::unique_ptr<TVivGDIPChartView> Other(new TVivGDIPChartView(nullptr));
  Other->Tracker().Font().SetStyle({fsItalic});
  {
    TMemIniFile Ini(File);
    Other->Tracker().LoadFromFile(Ini, u"V.Tracker");
  }
  EXPECT_EQ(Other->Tracker().Color(), clYellow);
  EXPECT_EQ(Other->Tracker().Title().Size(), 31);
  // Styles read are added to the font's own.
  EXPECT_TRUE(Other->Tracker().Font().Style().Contains(fsBold));
  EXPECT_TRUE(Other->Tracker().Font().Style().Contains(fsItalic));

  // Every item of a list in a section of its own.
  TTrackerList List(nullptr);
  List.Items().Add() = {clRed, clBlack, {u"a", u"1"}};
  List.Items().Add() = {clBlue, clWhite, {u"b", u"2", u"x"}};
  {
    TMemIniFile Ini(File);
    List.SaveToFile(Ini, u"L");
    Ini.UpdateFile();
  }
  TTrackerList Back(nullptr);
  {
    TMemIniFile Ini(File);
    Back.LoadFromFile(Ini, u"L");
  }
  ASSERT_EQ(Back.Items().Count(), 2);
  EXPECT_EQ(Back.Items().Items(0).Text, (std::vector<String>{u"a", u"1"}));
  EXPECT_EQ(Back.Items().Items(1).Color, clBlue);
  EXPECT_EQ(Back.Items().Items(1).Text.size(), 3u);
}

TEST_F(ViewOnly, TrackerRowsMeasureTheirColumns) {
  TTrackerItems Items;
  TBitmap Scratch(1, 1);
  TChartFont F;
  // Without a title or rows: no width, the client's height.
  EXPECT_EQ(MeasureTrackerRows(*Scratch.Canvas(), Items, String(), F, F, 77), (TSize{0, 77}));
  Items.Add() = {clRed, clBlack, {u"a", u"b", u"c", u"d", u"e", u"f", u"seventh"}};
  Items.Add() = {clRed, clBlack, {u"wide legend", u"1"}};
  const TSize S = MeasureTrackerRows(*Scratch.Canvas(), Items, String(), F, F, 77);
  ChartFontToFont(F, *Scratch.Canvas()->Font());
  // Only six columns are drawn: "f" ends the widest row.
  const Integer Row = Scratch.Canvas()->TextHeight(u"gh") + 4;
  EXPECT_EQ(S.cy, 2 * Row);
  Integer X = 0;
  for (const char16_t* T : {u"wide legend", u"b", u"c", u"d", u"e"}) X += Scratch.Canvas()->TextWidth(T) + 4;
  EXPECT_EQ(S.cx, X + Scratch.Canvas()->TextWidth(u"f"));
}

TEST_F(ViewOnly, ZoomControlGeometryAndSettings) {
  TVivGDIPZoomControl& Z = Pane().ZoomControl();
  EXPECT_EQ(Z.GetControlRect({0, 0, 400, 300}), (TRect{300, 250, 398, 298}));
  Z.SetPosition(zpCustom);
  Z.SetLeft(10);
  Z.SetTop(20);
  EXPECT_EQ(Z.GetControlRect({5, 5, 400, 300}), (TRect{15, 25, 113, 73}));
  Integer X = -1, Y = -1;
  ZoomControlPositionOffset(X, Y, {0, 0, 401, 301}, 100, 50, zpCenterCenter);
  EXPECT_EQ(X, 150);
  EXPECT_EQ(Y, 125);
  // The same range end written twice notifies twice.
  Integer Changes = 0;
  Pane().Chart().OnChange = [&](TObject*) { ++Changes; };
  Z.SetSlideRangeFrom(Z.SlideRangeFrom());
  Z.SetSlideRangeFrom(Z.SlideRangeFrom());
  EXPECT_EQ(Changes, 2);
  Z.SetSliderSize(13);
  Z.SetAutoUpdate(auRelease);
  const String File = Dir + u"\\zoom.ini";
  RemoveFile(File);
  {
    TMemIniFile Ini(File);
    Z.SaveToFile(Ini, u"P.ZoomControl");
    Ini.UpdateFile();
  }
  TVivGDIPChartPane& Second = *View->Panes().Add();
  {
    TMemIniFile Ini(File);
    Second.ZoomControl().LoadFromFile(Ini, u"P.ZoomControl");
  }
  EXPECT_EQ(Second.ZoomControl().SliderSize(), 13);
  EXPECT_EQ(Second.ZoomControl().Position(), zpCustom);
  EXPECT_EQ(Second.ZoomControl().AutoUpdate(), auImmediate);  // not in the file
  Second.ZoomControl().Assign(Z);
  EXPECT_EQ(Second.ZoomControl().AutoUpdate(), auRelease);
}

TEST_F(ViewOnly, PaneAnalyticSeriesAndItsOwnSection) {
  TVivGDIPChartPane& P = Pane();
  TVivGDIPChartSerie& S = P.Series().Add();
  for (double V : {1, 2, 3, 4, 5}) S.AddSinglePoint(V);
  P.AddMovingAverage(0, 0, 4, 2, false, clRed, 2);
  ASSERT_EQ(P.Series().Count(), 2);
  const TChartSerie& M = P.Series()[1];
  EXPECT_FALSE(M.GetPoint(0).Defined);
  EXPECT_EQ(M.GetPoint(1).SingleValue, 1.5);
  EXPECT_EQ(M.GetPoint(3).SingleValue, 3.5);
  EXPECT_THROW(P.AddMovingAverage(0, 0, 4, 0, false, clRed, 2), Exception);
  P.AddLineSerie(2, 2, 7, 9, true, clBlue, 1);  // a line of one index
  EXPECT_EQ(P.Series()[2].GetPoint(2).SingleValue, 7);
  P.AddTrendLine(0, 0, 4, false, clGreen, 1);
  EXPECT_DOUBLE_EQ(P.Series()[3].GetPoint(4).SingleValue, 5);
  // A pane of no view still reads and writes its section.
  P.SetMirror(true);
  const String File = Dir + u"\\pane.ini";
  RemoveFile(File);
  {
    TMemIniFile Ini(File);
    P.SaveToFile(Ini, u"Lone.Pane0");
    Ini.UpdateFile();
  }
  TVivGDIPChartPanes Panes(nullptr);
  TVivGDIPChartPane& Q = *Panes.Add();
  {
    TMemIniFile Ini(File);
    Q.LoadFromFile(Ini, u"Lone.Pane0", true);
  }
  EXPECT_TRUE(Q.Mirror());
  EXPECT_EQ(Q.Series().Count(), 4);
}

// The overview of a zoom control keeps its copied series (here with large
// markers at the very top and bottom of the range) inside its strip, and
// the crosshair's value labels stay readable over the strip.
TEST(ZoomControlPainting, TheOverviewStaysInItsStripUnderTheCrosshairValues) {
  Application->Initialize();
  std::unique_ptr<TCustomForm, TFormDeleter> Form(TCustomForm::Create<TForm>(Application));
  Form->SetClientWidth(500);
  Form->SetClientHeight(360);
  auto* View = new TVivGDIPChartView(Form.get());
  View->SetColor(clWhite);
  View->SetParent(Form.get());
  View->SetAlign(alClient);
  TVivGDIPChartPane& P = *View->Panes().Add();
  P.Legend().SetVisible(false);
  P.CrossHair().SetVisible(true);
  P.CrossHair().SetCrossHairType(chtFullSizeCrossHairAtSeries);
  P.CrossHair().CrossHairYValues().SetPosition({chYAxis});
  const TColor Green = RGBToColor(0, 160, 0), Magenta = RGBToColor(255, 0, 255);
  TVivGDIPChartSerie& S = P.Series().Add();
  S.SetChartType(ctLine);
  S.SetColor(Green);
  S.SetLineColor(Green);
  S.SetLineWidth(3);
  S.Marker().SetMarkerType(mCircle);
  S.Marker().SetMarkerSize(14);
  S.Marker().SetMarkerColor(Green);
  S.Marker().SetMarkerLineColor(Green);
  S.SetAutoRange(arDisabled);
  S.SetMinimum(0);
  S.SetMaximum(100);
  S.SetSerieType(stBoth);
  S.SetValueFormat(u"%.0f");
  S.CrossHairYValue().SetVisible(true);
  S.CrossHairYValue().SetColor(Magenta);
  for (int I = 0; I < 21; ++I) S.AddSinglePoint((I >= 8 && I <= 12) || I == 20 ? 50 : (I % 2 ? 100 : 0));
  View->SetPanesRange(0, 20);
  TVivGDIPZoomControl& Z = P.ZoomControl();
  Z.SetVisible(true);
  Z.SetColor(RGBToColor(250, 250, 250));
  Z.SetOpacity(255);
  Z.SetSlideRangeFrom(6);
  Z.SetSlideRangeTo(14);
  Form->Show();
  Application->ProcessMessages();
  // The strip over the series area but 30 pixels of its left, top and
  // bottom, and 2 of its right, where the value labels are.
  const TRect SR = P.SeriesRect();
  Z.SetPosition(zpCustom);
  Z.SetLeft(30);
  Z.SetTop(30);
  Z.SetWidth(SR.Width() - 30);
  Z.SetHeight(SR.Height() - 60 + 2);
  const TRect ZR = P.ZoomControlRect();
  ASSERT_EQ(ZR, (TRect{SR.Left + 30, SR.Top + 30, SR.Right - 2, SR.Bottom - 30}));
  // The crosshair on the point of value 50, halfway up.
  const TPoint Mid = S.DrawValuesDP.at(10);
  SendMessageW(View->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Mid.X, Mid.Y));
  Application->ProcessMessages();
  auto Shot = [&] {
    auto B = std::make_unique<TBitmap>(View->Width(), View->Height());
    B->SetPixelFormat(pf24bit);
    View->PaintTo(B->Canvas()->Handle(), 0, 0);
    return B;
  };
  auto With = Shot();
  SaveBitmapToImage(With->Handle(), u"zoom-strip.png", itPNG, 100);
  Integer Label = 0;
  for (Integer Y = ZR.Top + 1; Y < ZR.Bottom; ++Y)
    for (Integer X = ZR.Left + 1; X < ZR.Right; ++X)
      if (With->Canvas()->Pixel(X, Y) == Magenta) ++Label;
  EXPECT_GT(Label, 20) << "the crosshair's value label over the strip";
  // The strip's frame stays whole where the sliders, the selection between
  // them and the crosshair do not cross it (the overview's markers reach
  // its top and left edges).
  const TRect Fs = Z.GetSliderFromRect(ZR), Ts = Z.GetSliderToRect(ZR);
  Integer Broken = 0;
  for (Integer X = ZR.Left; X <= ZR.Right; ++X) {
    if ((X >= Fs.Left - 6 && X <= Ts.Right + 6) || std::abs(X - Mid.X) <= 2) continue;
    if (With->Canvas()->Pixel(X, ZR.Top) != clGray) ++Broken;
  }
  for (Integer Y = ZR.Top; Y <= ZR.Bottom; ++Y)
    if (std::abs(Y - Mid.Y) > 2 && With->Canvas()->Pixel(ZR.Left, Y) != clGray) ++Broken;
  EXPECT_EQ(Broken, 0) << "frame pixels painted over";
  Z.SetVisible(false);
  auto Without = Shot();
  // Around the strip, beyond its frame, the picture is the pane's own.
  Integer Spilled = 0;
  for (Integer Y = ZR.Top - 9; Y <= ZR.Bottom + 9; ++Y)
    for (Integer X = ZR.Left - 9; X <= ZR.Right + 9; ++X) {
      const bool Band = X < ZR.Left || X > ZR.Right || Y < ZR.Top || Y > ZR.Bottom;
      if (Band && With->Canvas()->Pixel(X, Y) != Without->Canvas()->Pixel(X, Y)) ++Spilled;
    }
  EXPECT_EQ(Spilled, 0);
}
