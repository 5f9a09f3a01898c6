// The chart view driven by sent mouse and key messages: crosshair and
// tracker, hover that selects nothing, clicks, rubber bands, drags of the
// series area, the axes, splitters and panes, navigator buttons, zoom
// sliders and keys.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "ChartViewTestSupport.h"
#include "chart/model/ChartHelpers.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "tests/support/MessagePump_win.h"

using namespace chartview_test;

namespace {
constexpr Integer kPoints = 101;

double ValueAt(Integer I) { return 50 + 40 * std::sin(I / 9.0); }

// A shown 600 x 400 view with one pane holding two line series of 101
// points (the second one lower), range 0 .. 100.
struct InteractionTest : ::testing::Test {
  std::unique_ptr<TCustomForm, TFormDeleter> Form;
  TVivGDIPChartView* View = nullptr;

  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TForm>(Application));
    Form->SetClientWidth(600);
    Form->SetClientHeight(400);
    View = new TVivGDIPChartView(Form.get());
    View->SetColor(clWhite);
    View->SetParent(Form.get());
    View->SetAlign(alClient);
    AddPane(u"First");
  }
  void TearDown() override {
    SetKeys(false, false);
    Form.reset();
    Application->ProcessMessages();
  }
  TVivGDIPChartPane& AddPane(const String& Name) {
    TVivGDIPChartPane& P = *View->Panes().Add();
    P.SetName(Name);
    P.Legend().SetVisible(false);
    for (int K = 0; K < 2; ++K) {
      TVivGDIPChartSerie& S = P.Series().Add();
      S.SetChartType(ctLine);
      S.SetLegendText(K == 0 ? u"Upper" : u"Lower");
      S.SetColor(K == 0 ? clBlue : clRed);
      S.SetLineColor(S.Color());
      S.SetValueFormat(u"%.2f");
      S.SetAutoRange(arDisabled);
      S.SetMinimum(0);
      S.SetMaximum(100);
      if (K > 0) S.YAxis().SetVisible(false), S.XAxis().SetVisible(false);
      for (Integer I = 0; I < kPoints; ++I) S.AddSinglePoint(ValueAt(I) - 20 * K);
    }
    P.Range().SetRangeFrom(0);
    P.Range().SetRangeTo(kPoints - 1);
    return P;
  }
  void Show() {
    Form->Show();
    Application->ProcessMessages();
    View->Refresh();
  }
  TVivGDIPChartPane& Pane(Integer I = 0) { return *View->Panes().Items(I); }
  TRect SR(Integer I = 0) { return Pane(I).SeriesRect(); }
  // The x pixel of point Index in pane I.
  Integer XOf(Integer Index, Integer I = 0) {
    TVivIzude& C = Pane(I).Chart();
    return SR(I).Left + RoundI(C.GetXScaleStart() + (Index - C.Range().RangeFrom()) * C.XScale());
  }
  void Send(UINT Msg, WPARAM Keys, Integer X, Integer Y) { SendMessageW(View->Handle(), Msg, Keys, MAKELPARAM(X, Y)); }
  void Move(Integer X, Integer Y, WPARAM Keys = 0) { Send(WM_MOUSEMOVE, Keys, X, Y); }
  void Down(Integer X, Integer Y, WPARAM Keys = 0) { Send(WM_LBUTTONDOWN, Keys | MK_LBUTTON, X, Y); }
  void Up(Integer X, Integer Y, WPARAM Keys = 0) { Send(WM_LBUTTONUP, Keys, X, Y); }
  void Drag(Integer X0, Integer Y0, const std::vector<TPoint>& Path, WPARAM Keys = 0) {
    Move(X0, Y0, Keys);
    Down(X0, Y0, Keys);
    for (TPoint P : Path) Move(P.X, P.Y, Keys | MK_LBUTTON);
    Up(Path.empty() ? X0 : Path.back().X, Path.empty() ? Y0 : Path.back().Y, Keys);
  }
  // Shift and Ctrl as the key handlers read them.
  static void SetKeys(bool Shift, bool Ctrl) {
    BYTE State[256];
    GetKeyboardState(State);
    State[VK_SHIFT] = Shift ? 0x80 : 0;
    State[VK_CONTROL] = Ctrl ? 0x80 : 0;
    SetKeyboardState(State);
  }
  void Key(Word VK, bool Shift = false) {
    SetKeys(Shift, false);
    SendMessageW(View->Handle(), WM_KEYDOWN, VK, 0);
    SetKeys(false, false);
  }
};
}  // namespace

TEST_F(InteractionTest, CrosshairFollowsTheMouseAndFeedsTheTracker) {
  TVivGDIPChartPane& P = Pane();
  P.CrossHair().SetVisible(true);
  P.CrossHair().SetLineColor(clGray);
  P.CrossHair().CrossHairYValues().SetPosition({chYAxis, chValueTracker});
  View->Tracker().SetVisible(true);
  Show();
  ASSERT_NE(View->Tracker().TrackerForm(), nullptr);
  const Integer Y = SR().Top + SR().Height() / 2;
  Move(XOf(40), Y);
  EXPECT_TRUE(P.CrossHairLines());
  ASSERT_EQ(P.CrossHairPoints.size(), 2u);
  for (Integer K = 0; K < 2; ++K) {
    const TSeriePoint& Pt = P.CrossHairPoints[K];
    EXPECT_EQ(Pt.Serie, K);
    EXPECT_EQ(Pt.Point, 40);
    EXPECT_DOUBLE_EQ(Pt.SerieValue, ValueAt(40) - 20 * K);
    EXPECT_EQ(RoundI(Pt.YValue), P.Series()[K].ValueToY(ValueAt(40) - 20 * K, SR()));
    EXPECT_EQ(Pt.XValueYAxis, SR().Right);
  }
  TTrackerItems& Rows = View->Tracker().TrackerForm()->TrackerList().Items();
  ASSERT_EQ(Rows.Count(), 2);
  EXPECT_EQ(Rows.Items(0).Text.at(0), u"Upper: ");
  EXPECT_EQ(Rows.Items(0).Text.at(1), P.Series()[0].FormatValue(ValueAt(40)));
  EXPECT_EQ(Rows.Items(1).Color, clRed);
  // Outside the series area the lines go off.
  Move(SR().Left - 5, Y);
  EXPECT_FALSE(P.CrossHairLines());
}

TEST_F(InteractionTest, HoverAndHintsSelectNothingAClickSelects) {
  TVivGDIPChartPane& P = Pane();
  View->SetShowHint(true);
  Integer Clicked = -1, Selected = -1;
  View->OnSerieIndexClick = [&](TObject*, Integer Pane, Integer Serie, Integer Point) {
    EXPECT_EQ(Pane, 0);
    EXPECT_EQ(Serie, 0);
    Clicked = Point;
  };
  View->OnSelectSerieIndex = [&](TObject*, Integer, Integer, Integer Point) { Selected = Point; };
  Show();
  const Integer X = XOf(30), Y = P.Series()[0].ValueToY(ValueAt(30), SR());
  Move(X, Y);
  EXPECT_EQ(View->HintPoint().Serie, 0);
  EXPECT_EQ(View->HintPoint().Point, 30);
  THintInfo Info;
  Info.HintControl = View;
  Info.CursorPos = {X, Y};
  View->NotifyHintShow(Info);
  EXPECT_NE(Info.HintStr.find(u" Point Value: "), String::npos);
  EXPECT_EQ(P.Series()[0].SelectedIndex(), -1);
  EXPECT_EQ(P.Series()[1].SelectedIndex(), -1);
  EXPECT_EQ(Clicked, -1);
  Down(X, Y);
  Up(X + 1, Y);
  EXPECT_EQ(Clicked, 30);
  EXPECT_EQ(Selected, 30);
  EXPECT_EQ(P.Series()[0].SelectedIndex(), 30);
}

TEST_F(InteractionTest, CtrlRubberBandZoomsTheVisibleRange) {
  Show();
  TVivGDIPChartPane& P = Pane();
  std::vector<Integer> Zoom;
  View->OnZoomSelection = [&](TObject*, Integer Pane, Integer X1, Integer Y1, Integer X2, Integer Y2) {
    Zoom = {Pane, X1, Y1, X2, Y2};
  };
  const TRect S = SR();
  const Integer X1 = S.Left + S.Width() / 4, X2 = S.Left + S.Width() / 2, Y1 = S.Top + 20, Y2 = S.Top + 80;
  // Where the release lands, worked out before it changes the range.
  const double D = P.Range().RangeTo() - P.Range().RangeFrom(), W = S.Width(), Start = P.Chart().GetXScaleStart();
  const Integer From = RoundI(D / W * (X1 - Start - S.Left)), To = RoundI((X2 - Start - S.Left) * D / W);
  Move(X1, Y1, MK_CONTROL);
  Down(X1, Y1, MK_CONTROL);
  Move(X2, Y2, MK_CONTROL | MK_LBUTTON);
  ASSERT_NE(View->RegionWindow(), nullptr);
  EXPECT_TRUE(View->RegionWindow()->Showing());
  EXPECT_EQ(View->RegionWindow()->Bounds().Width(), X2 - X1);
  EXPECT_EQ(View->RegionWindow()->Bounds().Height(), Y2 - Y1);
  EXPECT_EQ(View->RegionWindow()->Bounds().Left, View->ClientToScreen({X1, Y1}).X);
  Up(X2, Y2, MK_CONTROL);
  EXPECT_EQ(View->RegionWindow(), nullptr);
  EXPECT_EQ(P.Range().RangeFrom(), From);
  EXPECT_EQ(P.Range().RangeTo(), To);
  EXPECT_EQ(Zoom, (std::vector<Integer>{0, X1, Y1, X2, Y2}));
}

TEST_F(InteractionTest, DraggingTheSeriesAreaScrollsOnlyPastTenPixels) {
  TVivGDIPChartPane& P = Pane();
  P.SetOptions({poHorzScroll});
  P.Range().SetRangeFrom(20);
  P.Range().SetRangeTo(60);
  Show();
  Integer Scrolls = 0;
  View->OnHorizontalScroll = [&](TObject*, Integer, Integer, Integer, Integer) { ++Scrolls; };
  const Integer X0 = SR().Left + SR().Width() / 2, Y0 = SR().Top + SR().Height() / 2;
  Drag(X0, Y0, {{X0 - 10, Y0}});
  EXPECT_EQ(P.Range().RangeFrom(), 20);
  EXPECT_EQ(Scrolls, 0);
  const double Scale = P.Chart().XScale();
  const Integer Distance = 4 * RoundI(Scale);
  Drag(X0, Y0, {{X0 - Distance, Y0}});
  // Dragged to the left: later points come into view.
  const Integer N = RoundI(Distance / Scale);
  EXPECT_EQ(P.Range().RangeFrom(), 20 + N);
  EXPECT_EQ(P.Range().RangeTo(), 60 + N);
  EXPECT_EQ(Scrolls, 1);
}

TEST_F(InteractionTest, DraggingTheXAxisZoomsFromBothEnds) {
  struct Case {
    Integer From, To, Distance, WantFrom, WantTo;
  } Cases[] = {{0, 100, 11, 11, 89}, {0, 8, 11, 3, 8}, {40, 44, -12, 28, 56}};
  TVivGDIPChartPane& P = Pane();
  P.SetOptions({poHorzScale});
  Show();
  for (const Case& C : Cases) {
    P.Range().SetRangeFrom(C.From);
    P.Range().SetRangeTo(C.To);
    View->Refresh();
    const Integer X0 = SR().Left + SR().Width() / 2, Y0 = P.Rectangle().Bottom - 3;
    double Scale = -1;
    View->OnXScaleZoom = [&](TObject*, Integer, double XScale) { Scale = XScale; };
    Drag(X0, Y0, {{X0 + C.Distance, Y0}});
    EXPECT_EQ(P.Range().RangeFrom(), C.WantFrom) << C.From << ".." << C.To;
    EXPECT_EQ(P.Range().RangeTo(), C.WantTo) << C.From << ".." << C.To;
    EXPECT_DOUBLE_EQ(Scale, P.Chart().XScale());
  }
}

TEST_F(InteractionTest, KeysScrollZoomScrollValuesAndMoveTheFocus) {
  AddPane(u"Second");
  Pane(0).SetOptions({poHorzScroll, poHorzScale});
  Show();
  TVivGDIPChartPane& P = Pane(0);
  P.Range().SetRangeFrom(20);
  P.Range().SetRangeTo(60);
  View->Refresh();
  Move(SR().Left + 10, SR().Top + 10);  // the pane of the last press or move
  Key(VK_RIGHT);
  EXPECT_EQ(P.Range().RangeFrom(), 21);
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(P.Range().RangeFrom(), 19);
  EXPECT_EQ(P.Range().RangeTo(), 59);
  Key(VK_LEFT, true);  // zooms in by two points at each end
  EXPECT_EQ(P.Range().RangeFrom(), 21);
  EXPECT_EQ(P.Range().RangeTo(), 57);
  Key(VK_RIGHT, true);
  EXPECT_EQ(P.Range().RangeFrom(), 19);
  EXPECT_EQ(P.Range().RangeTo(), 59);
  const double Min = P.Series()[0].MinimumValue();
  Key(VK_UP);
  EXPECT_GT(P.Series()[0].MinimumValue(), Min);
  std::vector<Integer> Selected;
  View->OnPaneSelected = [&](TObject*, Integer I) { Selected.push_back(I); };
  View->SetFocusedPane(0);
  Key(VK_TAB);
  EXPECT_FALSE(Pane(0).Focused());
  EXPECT_TRUE(Pane(1).Focused());
  Key(VK_TAB, true);
  EXPECT_TRUE(Pane(0).Focused());
  EXPECT_EQ(Selected, (std::vector<Integer>{1, 0}));
  // The view asks for Tab and the arrows.
  const LRESULT Code = SendMessageW(View->Handle(), WM_GETDLGCODE, VK_TAB, 0);
  EXPECT_TRUE(Code & DLGC_WANTTAB);
  EXPECT_TRUE(Code & DLGC_WANTARROWS);
}

TEST_F(InteractionTest, TheSplitterResizesBothPanes) {
  TVivGDIPChartPane& Second = AddPane(u"Second");
  Pane(0).SetHeight(50);
  Second.SetHeight(50);
  Second.Splitter().SetVisible(true);
  Second.Splitter().SetHeight(6);
  Show();
  const Integer Top = Second.Rectangle().Top, Hm = Pane(0).PixelHeight(), Hc = Second.PixelHeight();
  std::vector<Integer> Sized;
  View->OnPaneSized = [&](TObject*, Integer Current, Integer Moving, Integer& CurrentSize, Integer& MovingSize, bool&) {
    Sized = {Current, Moving, CurrentSize, MovingSize};
  };
  const Integer X = SR().Left + 50, Y = Top - 3;
  Drag(X, Y, {{X, Y + 40}});
  ASSERT_EQ(Sized, (std::vector<Integer>{1, 0, Hc - 40, Hm + 40}));
  EXPECT_NEAR(Pane(0).Height(), (Hm + 40) * 100.0 / View->Height(), 1e-9);
  EXPECT_NEAR(Second.Height(), (Hc - 40) * 100.0 / View->Height(), 1e-9);
  // Refused sizes change nothing.
  View->OnPaneSized = [](TObject*, Integer, Integer, Integer&, Integer&, bool& Allow) { Allow = false; };
  const double Before = Pane(0).Height();
  Drag(X, Second.Rectangle().Top - 3, {{X, Second.Rectangle().Top + 20}});
  EXPECT_EQ(Pane(0).Height(), Before);
}

TEST_F(InteractionTest, ShiftDragMovesAPaneOntoAnother) {
  AddPane(u"Second");
  Pane(0).SetOptions({poMoving});
  Show();
  std::vector<Integer> Moved;
  View->OnPaneMoved = [&](TObject*, Integer From, Integer To) { Moved = {From, To}; };
  const Integer X = SR(0).Left + 40, Y0 = SR(0).Top + 20, Y1 = SR(1).Top + 20;
  Move(X, Y0, MK_SHIFT);
  Down(X, Y0, MK_SHIFT);
  Move(X, Y0 + 30, MK_SHIFT | MK_LBUTTON);
  ASSERT_NE(View->DragWindow(), nullptr);
  const Integer WindowTop = View->DragWindow()->Bounds().Top;
  Move(X, Y1, MK_SHIFT | MK_LBUTTON);
  EXPECT_EQ(View->DragWindow()->Bounds().Top, WindowTop + (Y1 - Y0 - 30));
  Up(X, Y1, MK_SHIFT);
  EXPECT_EQ(View->DragWindow(), nullptr);
  EXPECT_EQ(Moved, (std::vector<Integer>{0, 1}));
  EXPECT_EQ(Pane(0).Name(), u"Second");
  EXPECT_EQ(Pane(1).Name(), u"First");
}

TEST_F(InteractionTest, NavigatorButtonsScrollWhileHeld) {
  TVivGDIPChartPane& P = Pane();
  P.Navigator().SetVisible(true);
  P.Range().SetRangeFrom(30);
  P.Range().SetRangeTo(60);
  Show();
  std::vector<Integer> Left;
  View->OnLeftScroll = [&](TObject*, Integer Pane, Integer Delta, Integer From, Integer) {
    Left = {Pane, Delta, From};
  };
  // Somewhere on the left button: found by the view's own test.
  TPoint At{-1, -1};
  View->CurrentPane = 0;
  for (Integer Y = P.Rectangle().Bottom - 100; Y < P.Rectangle().Bottom && At.X < 0; ++Y)
    for (Integer X = P.Rectangle().Left; X < P.Rectangle().Left + 100 && At.X < 0; ++X)
      if (View->IsOnNavigatorLeftButton(X, Y)) At = {X + 1, Y + 1};
  ASSERT_GE(At.X, 0);
  Move(At.X, At.Y);
  EXPECT_TRUE(P.OnNavigator);
  EXPECT_EQ(P.Navigator().LeftButtonState(), cnbHot);
  Down(At.X, At.Y);
  EXPECT_EQ(Left, (std::vector<Integer>{0, -1, 30}));
  EXPECT_EQ(P.Navigator().LeftButtonState(), cnbDown);
  EXPECT_TRUE(P.ScrollTimer().Enabled());
  // The timer scrolls while the button is held.
  testsupport::PumpMessagesUntil([&] { return P.Range().RangeFrom() != 30; }, 400);
  EXPECT_LT(P.Range().RangeFrom(), 30);
  Up(At.X, At.Y);
  EXPECT_FALSE(P.ScrollTimer().Enabled());
  EXPECT_EQ(P.Navigator().LeftButtonState(), cnbNormal);
}

TEST_F(InteractionTest, ZoomSlidersSetTheRangeOfEveryPane) {
  TVivGDIPChartPane& P = Pane();
  for (Integer K = 0; K < 2; ++K) P.Series()[K].SetSerieType(stBoth);
  View->SetPanesRange(0, kPoints - 1);
  TVivGDIPZoomControl& Z = P.ZoomControl();
  Z.SetVisible(true);
  Z.SetWidth(300);
  Z.SetHeight(60);
  Z.SetSlideRangeFrom(10);
  Z.SetSlideRangeTo(90);
  Show();
  std::vector<Integer> Changing, Changed;
  View->OnZoomControlRangeChanging = [&](TObject*, Integer Pane, Integer From, Integer To) {
    Changing = {Pane, From, To};
  };
  View->OnZoomControlRangeChanged = [&](TObject*, Integer Pane, Integer From, Integer To) {
    Changed = {Pane, From, To};
  };
  const TRect ZR = P.ZoomControlRect();
  const TRect F = Z.GetSliderFromRect(ZR);
  const Integer X = F.Left + 1, Y = ZR.Top + ZR.Height() / 2, To = X + 60;
  Move(X, Y);
  EXPECT_TRUE(P.FSlFrom);
  Down(X, Y);
  Move(To, Y, MK_LBUTTON);
  const Integer Index = Z.IndexAt(ZR, To);
  EXPECT_EQ(Changing, (std::vector<Integer>{0, Index, 90}));
  EXPECT_EQ(P.Range().RangeFrom(), Index);  // applied at once
  EXPECT_EQ(Z.SlideRangeFrom(), 10);        // the slider keeps its value until released
  Up(To, Y);
  EXPECT_EQ(Z.SlideRangeFrom(), Index);
  EXPECT_EQ(Changed, (std::vector<Integer>{0, Index, 90}));
  // Dragged far to the left, the index stops at the first point.
  Move(Z.GetSliderFromRect(ZR).Left + 1, Y);
  Down(Z.GetSliderFromRect(ZR).Left + 1, Y);
  Move(ZR.Left - 40, Y, MK_LBUTTON);
  EXPECT_EQ(Changing.at(1), 0);
  Up(ZR.Left - 40, Y);
  // A press and release without a move changes nothing.
  Changed.clear();
  Move(X, Y);
  Down(X, Y);
  Up(X, Y);
  EXPECT_TRUE(Changed.empty());
}

TEST_F(InteractionTest, LegendClicksAndTheClickCursor) {
  TVivGDIPChartPane& P = Pane();
  P.Legend().SetVisible(true);
  View->SetClickCursor(crHandPoint);
  std::vector<std::pair<Integer, String>> Clicks;
  View->OnLegendClick = [&](TObject*, Integer Pane, Integer Serie, const String& Text) {
    EXPECT_EQ(Pane, 0);
    Clicks.push_back({Serie, Text});
  };
  Show();
  TPoint At{-1, -1};
  const TRect L = P.Legend().GetRectangle();
  for (Integer Y = L.Top; Y < L.Bottom && At.X < 0; ++Y)
    for (Integer X = L.Left; X < L.Right && At.X < 0; ++X)
      if (P.Chart().GetLegendItemAtXY(X, Y) == &P.Series()[1]) At = {X, Y};
  ASSERT_GE(At.X, 0);
  Move(At.X, At.Y);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  Down(At.X, At.Y);
  Up(At.X, At.Y);
  ASSERT_EQ(Clicks.size(), 1u);
  EXPECT_EQ(Clicks[0].first, 1);
  EXPECT_EQ(Clicks[0].second, u"Lower");
  EXPECT_EQ(Screen->Cursor(), crDefault);  // a release gives the controls their own cursors back
  // A cursor the program set (busy during a scan) stays over the chart.
  Screen->SetCursor(crHourGlass);
  Move(At.X + 1, At.Y);
  Move(SR().Left + 5, SR().Top + 5);
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  Screen->SetCursor(crDefault);
}

TEST_F(InteractionTest, TheTrackerWindowComesWithItsFirstShowing) {
  // Before the view has a window, showing the tracker makes none yet.
  View->Tracker().SetVisible(true);
  EXPECT_EQ(View->Tracker().TrackerForm(), nullptr);
  Show();
  TTrackerForm* F = View->Tracker().TrackerForm();
  ASSERT_NE(F, nullptr);
  EXPECT_TRUE(IsWindowVisible(F->Handle()));
  View->Tracker().SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(F->Handle()));
  // On a shown view the window is made when the tracker is first shown.
  auto* Other = new TVivGDIPChartView(Form.get());
  Other->SetParent(Form.get());
  Other->SetBounds(0, 0, 100, 100);
  Other->HandleNeeded();
  EXPECT_EQ(Other->Tracker().TrackerForm(), nullptr);
  Other->Tracker().SetVisible(true);
  EXPECT_NE(Other->Tracker().TrackerForm(), nullptr);
}

TEST_F(InteractionTest, TheTrackerPassesTheMouseOnInViewCoordinates) {
  TVivGDIPChartPane& P = Pane();
  P.CrossHair().SetVisible(true);
  TChartTracker& T = View->Tracker();
  T.SetLeft(200);
  T.SetTop(150);
  T.SetVisible(true);
  Show();
  TTrackerForm* F = T.TrackerForm();
  ASSERT_NE(F, nullptr);
  SendMessageW(F->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 4));
  const TPoint Expected = View->ScreenToClient(F->ClientToScreen({5, 4}));
  EXPECT_EQ(P.CrossHairPos.X, Expected.X);
  EXPECT_EQ(P.CrossHairPos.Y, Expected.Y);
  // The window keeps its place relative to the view's parent.
  SetWindowPos(F->Handle(), nullptr, Form->ClientOrigin().X + 250, Form->ClientOrigin().Y + 170, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Application->ProcessMessages();
  EXPECT_EQ(T.Left(), 250);
  EXPECT_EQ(T.Top(), 170);
}

TEST_F(InteractionTest, MarkersAndAnnotationsAnswerPressesAndReleases) {
  TVivGDIPChartPane& P = Pane();
  TVivGDIPChartSerie& S = P.Series()[0];
  S.Marker().SetMarkerType(mCircle);
  S.Marker().SetMarkerSize(10);
  TChartGDIPAnnotation& A = S.Annotations().Add();
  A.SetText(u"a note");
  A.SetPointIndex(60);
  Show();
  std::vector<double> Down, UpEvent;
  View->OnSerieMouseDown = [&](TObject*, TMouseButton B, Integer Pane, Integer Serie, Integer Index, double Value,
                               Integer, Integer) {
    Down = {double(B), double(Pane), double(Serie), double(Index), Value};
  };
  View->OnSerieMouseUp = [&](TObject*, TMouseButton, Integer, Integer, Integer Index, double, Integer, Integer) {
    UpEvent = {double(Index)};
  };
  const Integer X = XOf(10), Y = S.ValueToY(ValueAt(10), SR());
  Move(X, Y);
  this->Down(X + 2, Y - 2);
  ASSERT_EQ(Down.size(), 5u);
  EXPECT_EQ(Down[0], double(mbLeft));
  EXPECT_EQ(Down[3], 10);
  EXPECT_NEAR(Down[4], ValueAt(10), 0.5);
  EXPECT_EQ(S.Marker().SelectedIndex(), 10);
  Up(X + 2, Y - 2);
  EXPECT_EQ(UpEvent, (std::vector<double>{10}));

  std::vector<Integer> Pressed, Clicked;
  View->OnAnnotationMouseDown = [&](TObject*, Integer Pane, Integer Serie, Integer Annotation, Integer Point) {
    Pressed = {Pane, Serie, Annotation, Point};
  };
  View->OnAnnotationClick = [&](TObject*, Integer, Integer, Integer, Integer Point) { Clicked = {Point}; };
  const TRect R = A.AnnotationRect();
  ASSERT_GT(R.Width(), 0);
  const Integer AX = (R.Left + R.Right) / 2, AY = (R.Top + R.Bottom) / 2;
  Move(AX, AY);
  this->Down(AX, AY);
  EXPECT_EQ(Pressed, (std::vector<Integer>{0, 0, 0, 60}));
  SetCursorPos(View->ClientToScreen({AX, AY}).X, View->ClientToScreen({AX, AY}).Y);
  Up(AX, AY);
  EXPECT_EQ(Clicked, (std::vector<Integer>{60}));
}

TEST_F(InteractionTest, ShiftOnTheNavigatorDrawsABandThatZooms) {
  TVivGDIPChartPane& P = Pane();
  P.Navigator().SetVisible(true);
  Show();
  // The navigator band under the series area, away from its buttons.
  TVivIzude& C = P.Chart();
  const Integer Base =
      P.PixelHeight() + P.Rectangle().Top - C.XAxis().BottomSize() - C.Title().BottomSize() - C.Margin().BottomMargin();
  const Integer Y = Base - C.Navigator().Size() / 2;
  const TRect S = SR();
  const Integer X1 = S.Left + S.Width() / 3, X2 = S.Left + S.Width() * 2 / 3;
  const double D = 100, W = S.Width(), Start = C.GetXScaleStart();
  const Integer From = RoundI(D / W * (X1 - Start - S.Left)), To = RoundI((X2 - Start - S.Left) * D / W);
  Move(X1, Y, MK_SHIFT);
  EXPECT_TRUE(P.OnNavigator);
  Down(X1, Y, MK_SHIFT);
  ASSERT_NE(View->ZoomWindow(), nullptr);
  Move(X2, Y, MK_SHIFT | MK_LBUTTON);
  EXPECT_TRUE(View->ZoomWindow()->Showing());
  EXPECT_EQ(View->ZoomWindow()->Bounds().Width(), X2 - X1);
  EXPECT_EQ(View->ZoomWindow()->Bounds().Height(), S.Height());
  Up(X2, Y, MK_SHIFT);
  EXPECT_EQ(View->ZoomWindow(), nullptr);
  EXPECT_EQ(P.Range().RangeFrom(), From);
  EXPECT_EQ(P.Range().RangeTo(), To);
}
