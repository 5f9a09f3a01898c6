// The chart view's series tool-bar popup: its pickers and their pictures,
// the Series* settings and options, and, over a real chart view driven by
// sent mouse and key messages, each choice changing the clicked serie;
// pictures saved as seriespopup-*.png beside the test program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SeriesPopupDemoChart.h"
#include "chart/model/ChartHelpers.h"
#include "tests/chart/widgets/win/WidgetsTestSupport.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;

namespace {

void SaveShot(const RECT& R, const std::string& Name) {
  testsupport::PumpMessagesFor(200);
  auto Shot = testsupport::ScreenImage(R);
  testsupport::SavePng(Shot.get(), "seriespopup-" + Name + ".png");
}

std::string Narrow(const String& S) {
  std::string A;
  for (Char C : S) A += C < 128 ? char(C) : '?';
  return A;
}

void Key(TWinControl* C, Word K) {
  ::SendMessageW(C->Handle(), WM_KEYDOWN, K, 1);
  ::SendMessageW(C->Handle(), WM_KEYUP, K, static_cast<LPARAM>(0xC0000001));
}

void ClickArrow(TVivIzudeCustomToolBarButton* B) {
  TVivIzudeToolBarDropDownButton* D = B->GetDropDownButtonControl();
  ASSERT_NE(D, nullptr);
  Click(D, D->Width() / 2, D->Height() / 2);
}

// A click on cell Index of an open selector.
void ClickCell(TVivIzudeCustomSelector* S, Integer Index) {
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(Index, D);
  Click(S, static_cast<Integer>((D.Rect.Left + D.Rect.Right) / 2),
        static_cast<Integer>((D.Rect.Top + D.Rect.Bottom) / 2));
}

RECT UnionRect(TWinControl* A, TWinControl* B) {
  RECT RA{}, RB{}, R{};
  ::GetWindowRect(A->Handle(), &RA);
  ::GetWindowRect(B->Handle(), &RB);
  ::UnionRect(&R, &RA, &RB);
  return R;
}

// The popup on its own, with a plain form as placement control.
struct SeriesPopupTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(300, 200);
    Popup = new TVivIzudeToolBarPopup(Form.get());
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TFormPtr Form;
  TVivIzudeToolBarPopup* Popup = nullptr;
};

// A shown chart view with the popup enabled (SeriesPopupDemoChart.h).
struct SeriesPopupViewTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(720, 460);
    Form->SetLeft(20);
    Form->SetTop(200);
    View = seriespopup_demo::CreateSeriesPopupView(Form.get());
    View->SetParent(Form.get());
    View->SetAlign(alClient);
    Form->Show();
    ::SetForegroundWindow(Form->Handle());
    Application->ProcessMessages();
    View->Refresh();
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TVivGDIPChartPane& Pane() { return *View->Panes().Items(0); }
  TChartSerie& Serie(Integer I) { return Pane().Chart().Series().Items(I); }
  // A click on point Index of serie K.
  void ClickPoint(Integer K, Integer Index, bool Right = false) {
    const TRect SR = Pane().SeriesRect();
    TVivIzude& C = Pane().Chart();
    const Integer X = SR.Left + RoundI(C.GetXScaleStart() + (Index - C.Range().RangeFrom()) * C.XScale());
    const Integer Y = Pane().Series()[K].ValueToY(seriespopup_demo::ValueAt(K, Index), SR);
    // The popup shows above the mouse.
    const TPoint Screen = View->ClientToScreen({X, Y});
    ::SetCursorPos(Screen.X, Screen.Y);
    if (!Right) return Click(View, X, Y);
    HWND W = View->Handle();
    ::SendMessageW(W, WM_MOUSEMOVE, 0, At(X, Y));
    ::SendMessageW(W, WM_RBUTTONDOWN, MK_RBUTTON, At(X, Y));
    ::SendMessageW(W, WM_RBUTTONUP, 0, At(X, Y));
  }
  TVivIzudeToolBarPopup& Popup() {
    auto* P = dynamic_cast<TVivIzudeToolBarPopup*>(View->ToolBarPopup()->Component());
    EXPECT_NE(P, nullptr);
    return *P;
  }
  TFormPtr Form;
  TVivGDIPChartView* View = nullptr;
};

}  // namespace

TEST_F(SeriesPopupTest, BuildsItsPickersWithTheirPictures) {
  EXPECT_EQ(Popup->Placement(), ppAboveMouseCenter);
  EXPECT_EQ(Popup->Options().Bits(), 2047);
  EXPECT_TRUE(Popup->ToolBar()->Appearance()->FlatStyle());
  EXPECT_NE(dynamic_cast<TVivIzudeToolBarEx*>(Popup->ToolBar()), nullptr);
  EXPECT_NE(dynamic_cast<TVivIzudeToolBarChartColorPicker*>(Popup->FillPicker()), nullptr);
  // The elements in order, each 37 high, with its hint.
  struct Element {
    TVivIzudeToolBarButton* E;
    Integer Width;
    const char16_t* Hint;
  };
  const Element Elements[] = {{Popup->FillPicker(), 35, u"Series Fill Color"},
                              {Popup->LineColorPicker(), 35, u"Series Line Color"},
                              {Popup->TypePicker(), 35, u"Series Type"},
                              {Popup->LineStylePicker(), 35, u"Series Line Style"},
                              {Popup->LineWidthPicker(), 35, u"Series Line Width"},
                              {Popup->MarkerPicker(), 35, u"Series Marker Type"},
                              {Popup->MarkerFillPicker(), 35, u"Series Marker Color"},
                              {Popup->MarkerSizePicker(), 35, u"Series Marker Size"},
                              {Popup->LabelsPicker(), 113, u"Series Label Type"},
                              {Popup->SelectorPicker(), 109, u"Series Selector"},
                              {Popup->UpButton(), 35, u"Move Active Series Up"},
                              {Popup->DownButton(), 35, u"Move Active Series Down"}};
  Integer LastIndex = -1;
  for (const Element& El : Elements) {
    ASSERT_NE(El.E, nullptr);
    EXPECT_EQ(El.E->Parent(), Popup->ToolBar());
    EXPECT_EQ(El.E->Height(), 37) << Narrow(El.Hint);
    EXPECT_EQ(El.E->Width(), El.Width) << Narrow(El.Hint);
    EXPECT_EQ(El.E->Hint(), El.Hint);
    EXPECT_FALSE(El.E->AllowFocus());
    const Integer Index = El.E->ControlIndex();
    EXPECT_GT(Index, LastIndex) << Narrow(El.Hint);
    LastIndex = Index;
  }
  EXPECT_TRUE(Popup->MarkerSizePicker()->LastElement());
  // A separator between the line width and the marker type.
  EXPECT_NE(dynamic_cast<TVivIzudeToolBarSeparator*>(
                Popup->ToolBar()->Controls(Popup->LineWidthPicker()->ControlIndex() + 1)),
            nullptr);

  // Pictures from the resources at their sizes.
  TVivIzudeBitmapSelectorItems* Types = Popup->TypePicker()->Items();
  ASSERT_EQ(Types->Count(), 42);
  for (Integer I = 0; I < Types->Count(); ++I) {
    EXPECT_EQ(Types->Items(I)->Bitmap()->Width(), 54) << I;
    EXPECT_EQ(Types->Items(I)->Bitmap()->Height(), 40) << I;
  }
  EXPECT_EQ(Types->Items(41)->Hint(), u"Funnel");
  EXPECT_EQ(Types->Items(35)->Hint(), u"XY DigitalLine");
  // Every type has a cell.
  EXPECT_EQ(Popup->TypePicker()->BitmapSelector()->Columns(), 5);
  EXPECT_GE(Popup->TypePicker()->BitmapSelector()->Columns() * Popup->TypePicker()->BitmapSelector()->Rows(), 42);
  TVivIzudeBitmapSelectorItems* Styles = Popup->LineStylePicker()->Items();
  ASSERT_EQ(Styles->Count(), 6);
  EXPECT_EQ(Styles->Items(0)->Text(), u"None");
  EXPECT_EQ(Styles->Items(0)->Bitmap()->Width(), 0);
  EXPECT_EQ(Styles->Items(3)->Bitmap()->Width(), 92);
  EXPECT_EQ(Styles->Items(3)->Bitmap()->Height(), 3);
  TVivIzudeBitmapSelectorItems* Markers = Popup->MarkerPicker()->Items();
  ASSERT_EQ(Markers->Count(), 5);
  EXPECT_EQ(Markers->Items(4)->Text(), u"Diamond");
  EXPECT_EQ(Markers->Items(4)->Bitmap()->Width(), 12);
  ASSERT_EQ(Popup->UpButton()->Bitmaps()->Count(), 2);
  EXPECT_EQ(Popup->UpButton()->Bitmaps()->Items(0)->Bitmap()->Width(), 16);
  EXPECT_EQ(Popup->FillPicker()->Bitmaps()->Items(0)->Bitmap()->Width(), 24);
  EXPECT_EQ(Popup->LineWidthPicker()->Items()->Count(), 10);
  EXPECT_EQ(Popup->MarkerSizePicker()->Items()->Count(), 50);
  EXPECT_EQ(Popup->LineWidthPicker()->Font()->Size(), 14);
  EXPECT_EQ(Popup->LineWidthPicker()->DropDownWidth(), 55);

  // The starting choices.
  EXPECT_EQ(Popup->SeriesType(), tpstLine);
  EXPECT_EQ(Popup->SeriesLineStyle(), tpslsSolid);
  EXPECT_EQ(Popup->SeriesLineWidth(), 1);
  EXPECT_EQ(Popup->SeriesMarkerType(), tpsmEllipse);
  EXPECT_EQ(Popup->SeriesLabelType(), tpsltNone);
  EXPECT_EQ(Popup->SeriesNames()->Count(), 0);
}

TEST_F(SeriesPopupTest, SettingsSelectWithoutFiringAndOptionsHideElements) {
  int Fired = 0;
  Popup->OnSeriesTypeSelected = [&](TObject*, TVivIzudeToolBarPopupSeriesType) { ++Fired; };
  Popup->OnSeriesLineWidthSelected = [&](TObject*, Integer) { ++Fired; };
  Popup->OnSeriesFillColorSelected = [&](TObject*, TColor) { ++Fired; };
  // The funnel's picture shows on the chart-type button; nothing fires.
  Popup->SetSeriesType(tpstFunnel);
  EXPECT_EQ(Popup->SeriesType(), tpstFunnel);
  ASSERT_EQ(Popup->TypePicker()->Bitmaps()->Count(), 1);
  TPicture* Face = Popup->TypePicker()->Bitmaps()->Items(0)->Bitmap();
  EXPECT_EQ(Face->Width(), 54);
  EXPECT_EQ(Popup->TypePicker()->SelectedBitmap(), Popup->TypePicker()->Items()->Items(41)->Bitmap());
  // Numbers outside the list leave nothing selected; the getter says 1.
  struct Case {
    Integer Set, Index, Read;
  };
  for (const Case& C : {Case{11, -1, 1}, Case{0, -1, 1}, Case{-3, -1, 1}, Case{7, 6, 7}, Case{10, 9, 10}}) {
    Popup->SetSeriesLineWidth(C.Set);
    EXPECT_EQ(Popup->LineWidthPicker()->SelectedItemIndex(), C.Index) << C.Set;
    EXPECT_EQ(Popup->SeriesLineWidth(), C.Read) << C.Set;
  }
  Popup->SetSeriesMarkerSize(50);
  EXPECT_EQ(Popup->SeriesMarkerSize(), 50);
  Popup->SetSeriesMarkerSize(51);
  EXPECT_EQ(Popup->SeriesMarkerSize(), 1);
  // Colours select their swatch; one the palette lacks selects none.
  const TColor Swatch = Popup->FillPicker()->ColorSelector()->FindColorByItem(5);
  Popup->SetSeriesFillColor(Swatch);
  EXPECT_EQ(Popup->SeriesFillColor(), Swatch);
  Popup->SetSeriesFillColor(0x123457);
  EXPECT_EQ(Popup->SeriesFillColor(), -1);
  EXPECT_EQ(Fired, 0);
  TStringList Names;
  Names.Add(u"A");
  Names.Add(u"B");
  Popup->SetSeriesNames(&Names);
  Popup->SetSeriesIndex(1);
  EXPECT_EQ(Popup->SeriesNames()->Count(), 2);
  EXPECT_EQ(Popup->SeriesIndex(), 1);
  EXPECT_EQ(Popup->SelectorPicker()->GetText(), u"B");

  // Options hide what they leave out.
  TVivIzudeToolBarPopupOptions O = AllToolBarPopupOptions;
  O.Exclude(ctpoUpDown);
  Popup->SetOptions(O);
  EXPECT_TRUE(Popup->UpButton()->Hidden());
  EXPECT_TRUE(Popup->DownButton()->Hidden());
  EXPECT_FALSE(Popup->MarkerSizePicker()->Hidden());
  O = AllToolBarPopupOptions;
  O.Exclude(ctpoMarkerSize);
  Popup->SetOptions(O);
  EXPECT_FALSE(Popup->UpButton()->Hidden());
  EXPECT_TRUE(Popup->MarkerSizePicker()->Hidden());
  for (TVivIzudeToolBarButton* E : std::initializer_list<TVivIzudeToolBarButton*>{
           Popup->FillPicker(), Popup->LineColorPicker(), Popup->TypePicker(), Popup->LineStylePicker(),
           Popup->LineWidthPicker(), Popup->MarkerPicker(), Popup->MarkerFillPicker(), Popup->LabelsPicker(),
           Popup->SelectorPicker()})
    EXPECT_FALSE(E->Hidden());
}

TEST_F(SeriesPopupTest, WithoutAViewTheChoicesOnlyFireTheEvents) {
  // The placement control is a form: it takes no choices.
  Popup->SetPlacementControl(Form.get());
  std::vector<TVivIzudeToolBarPopupSeriesLineStyle> Styles;
  std::vector<Integer> Selected;
  Popup->OnSeriesLineStyleSelected = [&](TObject*, TVivIzudeToolBarPopupSeriesLineStyle S) { Styles.push_back(S); };
  Popup->OnSeriesSelected = [&](TObject*, Integer I) { Selected.push_back(I); };
  Form->Show();
  Popup->Activate();
  testsupport::PumpMessagesFor(100);
  ClickArrow(Popup->LineStylePicker());
  ASSERT_TRUE(Popup->LineStylePicker()->GetPopupControl()->IsOpen());
  ClickCell(Popup->LineStylePicker()->BitmapSelector(), tpslsDash);
  EXPECT_EQ(Styles, std::vector<TVivIzudeToolBarPopupSeriesLineStyle>{tpslsDash});
  // A click on the selector's face reports its index, -1 included.
  Popup->SetSeriesIndex(-1);
  Click(Popup->SelectorPicker(), 10, 10);
  EXPECT_EQ(Selected, std::vector<Integer>{-1});
  Popup->Deactivate();
}

TEST_F(SeriesPopupViewTest, ClickingASerieShowsThePopupFilledFromIt) {
  std::vector<std::string> Events;
  View->OnToolBarPopupActivate = [&](TObject* S) {
    EXPECT_EQ(S, View);
    Events.push_back("activate");
  };
  View->OnToolBarPopupDeactivate = [&](TObject*) { Events.push_back("deactivate"); };
  // Colours of the pickers' palette, so that the swatches show them.
  TVivIzudeColorSelector* Palette = Popup().FillPicker()->ColorSelector();
  Serie(2).SetColor(Palette->FindColorByItem(7));
  Serie(2).SetLineColor(Palette->FindColorByItem(9));
  Serie(2).Marker().SetMarkerColor(Palette->FindColorByItem(11));
  Serie(2).Marker().SetMarkerType(mSquare);
  Serie(2).SetPenStyle(psDot);
  Serie(2).SetShowValue(true);
  Serie(2).SetValueFormatType(vftFloat);
  ClickPoint(2, 20);
  ASSERT_EQ(View->ActiveSerie(), &Serie(2));
  TVivIzudeToolBarPopup& P = Popup();
  EXPECT_TRUE(P.Activated());
  EXPECT_EQ(Events, std::vector<std::string>{"activate"});
  EXPECT_EQ(P.PlacementControl(), View);
  EXPECT_TRUE(P.DragGrip());  // from the view's settings
  EXPECT_EQ(P.SeriesFillColor(), Serie(2).Color());
  EXPECT_EQ(P.SeriesLineColor(), Serie(2).LineColor());
  EXPECT_EQ(P.SeriesMarkerFillColor(), Serie(2).Marker().MarkerColor());
  EXPECT_NE(P.SeriesFillColor(), P.SeriesLineColor());
  EXPECT_EQ(P.SeriesLineWidth(), 2);
  EXPECT_EQ(P.SeriesMarkerType(), tpsmSquare);
  EXPECT_EQ(P.SeriesLineStyle(), tpslsDot);
  EXPECT_EQ(P.SeriesLabelType(), tpsltFloat);
  EXPECT_EQ(P.SeriesType(), tpstLine);
  ASSERT_EQ(P.SeriesNames()->Count(), 3);
  EXPECT_EQ(P.SeriesNames()->Get(0), u"Sales");
  EXPECT_EQ(P.SeriesNames()->Get(1), u"Series 1");
  EXPECT_EQ(P.SeriesNames()->Get(2), u"Costs");
  EXPECT_EQ(P.SeriesIndex(), 2);
  // Above the mouse, and the chart keeps the activation.
  EXPECT_EQ(::GetActiveWindow(), Form->Handle());
  SaveShot(UnionRect(Form.get(), P.PopupForm()), "shown");

  // The view's options reach the popup.
  TVivIzudeToolBarPopupOptions O = AllToolBarPopupOptions;
  O.Exclude(ctpoLabels);
  View->Popup().SetOptions(O);
  ClickPoint(0, 10);
  EXPECT_EQ(View->ActiveSerie(), &Serie(0));
  EXPECT_TRUE(P.LabelsPicker()->Hidden());
  EXPECT_EQ(Events, (std::vector<std::string>{"activate", "deactivate", "activate"}));

  // A click on no serie hides it.
  Click(View, 5, 5);
  EXPECT_FALSE(P.Activated());
  EXPECT_EQ(View->ActiveSerie(), nullptr);
  EXPECT_EQ(Events.back(), "deactivate");
  // The buttons that show it follow the activate mode; any other hides it.
  struct Case {
    TChartPopupActivateMode Mode;
    bool Right, Shown;
  };
  for (const Case& C : {Case{amBoth, true, true}, Case{amMouseLeft, true, false}, Case{amMouseLeft, false, true},
                        Case{amMouseRight, false, false}, Case{amMouseRight, true, true}}) {
    View->Popup().SetActivateMode(C.Mode);
    ClickPoint(1, 5, C.Right);
    EXPECT_EQ(P.Activated(), C.Shown) << int(C.Mode) << " " << C.Right;
    EXPECT_EQ(View->ActiveSerie(), C.Shown ? &Serie(1) : nullptr);
  }
}

TEST_F(SeriesPopupViewTest, EveryPickerChangesTheClickedSerie) {
  ClickPoint(0, 12);
  TVivIzudeToolBarPopup& P = Popup();
  ASSERT_TRUE(P.Activated());
  TChartSerie& S = Serie(0);
  // The view has applied each choice before the popup's own event fires.
  std::vector<std::string> Seen;
  P.OnSeriesLineStyleSelected = [&](TObject*, TVivIzudeToolBarPopupSeriesLineStyle St) {
    EXPECT_EQ(St, tpslsDash);
    EXPECT_EQ(S.PenStyle(), psDash);
    Seen.push_back("style");
  };
  P.OnSeriesTypeSelected = [&](TObject*, TVivIzudeToolBarPopupSeriesType) { Seen.push_back("type"); };

  // Line style "Dash".
  ClickArrow(P.LineStylePicker());
  ASSERT_TRUE(P.LineStylePicker()->GetPopupControl()->IsOpen());
  SaveShot(UnionRect(P.PopupForm(), P.LineStylePicker()->BitmapSelector()), "line-styles");
  ClickCell(P.LineStylePicker()->BitmapSelector(), 3);
  EXPECT_EQ(S.PenStyle(), psDash);
  EXPECT_FALSE(P.LineStylePicker()->GetPopupControl()->IsOpen());

  // Chart type: bars.
  ClickArrow(P.TypePicker());
  ASSERT_TRUE(P.TypePicker()->GetPopupControl()->IsOpen());
  SaveShot(UnionRect(P.PopupForm(), P.TypePicker()->BitmapSelector()), "chart-types");
  ClickCell(P.TypePicker()->BitmapSelector(), tpstFunnel);
  EXPECT_EQ(S.ChartType(), ctFunnel);
  ClickArrow(P.TypePicker());
  ClickCell(P.TypePicker()->BitmapSelector(), tpstBar);
  EXPECT_EQ(S.ChartType(), ctBar);
  EXPECT_EQ(Seen, (std::vector<std::string>{"style", "type", "type"}));

  // Colours from the colour grids.
  struct ColourCase {
    TVivIzudeToolBarColorPicker* Picker;
    Integer Cell;
    std::function<TColor()> Read;
  };
  const ColourCase Colours[] = {{P.FillPicker(), 12, [&] { return S.Color(); }},
                                {P.LineColorPicker(), 20, [&] { return S.LineColor(); }},
                                {P.MarkerFillPicker(), 30, [&] { return S.Marker().MarkerColor(); }}};
  for (const ColourCase& C : Colours) {
    ClickArrow(C.Picker);
    ASSERT_TRUE(C.Picker->GetPopupControl()->IsOpen());
    const TColor Want = C.Picker->ColorSelector()->FindColorByItem(C.Cell);
    ClickCell(C.Picker->ColorSelector(), C.Cell);
    EXPECT_EQ(C.Read(), Want) << Narrow(C.Picker->Hint());
    EXPECT_EQ(C.Picker->SelectedColor(), Want);
  }

  // Marker "Triangle".
  ClickArrow(P.MarkerPicker());
  ASSERT_TRUE(P.MarkerPicker()->GetPopupControl()->IsOpen());
  SaveShot(UnionRect(P.PopupForm(), P.MarkerPicker()->BitmapSelector()), "markers");
  ClickCell(P.MarkerPicker()->BitmapSelector(), tpsmTriangle);
  EXPECT_EQ(S.Marker().MarkerType(), mTriangle);

  // Line width 4 by keys in the list: arrows move, Enter chooses.
  ClickArrow(P.LineWidthPicker());
  ASSERT_TRUE(P.LineWidthPicker()->GetPopupControl()->IsOpen());
  TListBox* List = P.LineWidthPicker()->ItemSelector();
  Key(List, VK_DOWN);
  Key(List, VK_DOWN);
  EXPECT_EQ(S.LineWidth(), 2);
  Key(List, VK_RETURN);
  EXPECT_EQ(S.LineWidth(), 4);
  // Marker size 6 by keys on the picker itself: Home, then five times Right.
  TVivIzudeToolBarItemPicker* Size = P.MarkerSizePicker();
  Key(Size, VK_HOME);
  EXPECT_EQ(S.Marker().MarkerSize(), 1);
  for (int I = 0; I < 5; ++I) Key(Size, VK_RIGHT);
  EXPECT_EQ(S.Marker().MarkerSize(), 6);
  ClickArrow(P.MarkerSizePicker());
  ASSERT_TRUE(P.MarkerSizePicker()->GetPopupControl()->IsOpen());
  List = P.MarkerSizePicker()->ItemSelector();
  Click(List, 10, List->ItemHeight() * 2 + List->ItemHeight() / 2);
  testsupport::PumpMessagesFor(50);
  EXPECT_EQ(S.Marker().MarkerSize(), 3);
  // Value labels "Float".
  ClickArrow(P.LabelsPicker());
  List = P.LabelsPicker()->ItemSelector();
  Click(List, 10, List->ItemHeight() * 2 + List->ItemHeight() / 2);
  testsupport::PumpMessagesFor(50);
  EXPECT_TRUE(S.ShowValue());
  EXPECT_EQ(S.ValueFormatType(), vftFloat);
  View->Update();
  SaveShot(UnionRect(Form.get(), P.PopupForm()), "changed");
  // The other series kept their settings.
  EXPECT_EQ(Serie(1).ChartType(), ctLine);
  EXPECT_EQ(Serie(1).PenStyle(), psSolid);
}

TEST_F(SeriesPopupViewTest, TheSelectorAndTheMoveButtonsWorkOnThePane) {
  ClickPoint(0, 12);
  TVivIzudeToolBarPopup& P = Popup();
  std::vector<Integer> Selected;
  P.OnSeriesSelected = [&](TObject*, Integer I) { Selected.push_back(I); };
  // Series 2 in the selector becomes the active serie; the pickers follow.
  ClickArrow(P.SelectorPicker());
  ASSERT_TRUE(P.SelectorPicker()->GetPopupControl()->IsOpen());
  TListBox* List = P.SelectorPicker()->ItemSelector();
  ASSERT_EQ(List->Items()->Count(), 3);
  Click(List, 10, List->ItemHeight() * 2 + List->ItemHeight() / 2);
  testsupport::PumpMessagesFor(50);
  EXPECT_EQ(Selected, std::vector<Integer>{2});
  TChartSerie* Costs = &Serie(2);
  EXPECT_EQ(View->ActiveSerie(), Costs);
  EXPECT_EQ(P.SeriesIndex(), 2);
  EXPECT_EQ(P.SelectorPicker()->GetText(), u"Costs");
  // Up twice: it leads, and stays there.
  Click(P.UpButton(), 10, 10);
  EXPECT_EQ(Costs->Index(), 1);
  Click(P.UpButton(), 10, 10);
  Click(P.UpButton(), 10, 10);
  EXPECT_EQ(Costs->Index(), 0);
  Click(P.DownButton(), 10, 10);
  EXPECT_EQ(Costs->Index(), 1);
  EXPECT_EQ(Pane().Chart().Series().Count(), 3);
}

TEST_F(SeriesPopupViewTest, PlacedAtAPointAndExtendedThroughTheView) {
  // At a client point: the rectangle's four edges on its screen point.
  View->ShowToolBarPopupAt(100, 50, &Serie(1));
  TVivIzudeToolBarPopup& P = Popup();
  ASSERT_TRUE(P.Activated());
  EXPECT_EQ(View->ActiveSerie(), &Serie(1));
  EXPECT_EQ(P.Placement(), ppAbsolute);
  const TPoint At = View->ClientToScreen({100, 50});
  EXPECT_EQ(P.PlacementRectangle()->Left(), At.X);
  EXPECT_EQ(P.PlacementRectangle()->Right(), At.X);
  EXPECT_EQ(P.PlacementRectangle()->Top(), At.Y);
  EXPECT_EQ(P.PlacementRectangle()->Bottom(), At.Y);
  EXPECT_EQ(P.SeriesIndex(), 1);
  EXPECT_EQ(P.SelectorPicker()->GetText(), u"Series 1");  // the unnamed serie
  // Elements added through the view land in the popup's tool bar.
  const Integer Before = P.ToolBar()->ControlCount();
  TControl* B = View->AddToolBarPopupButton(40, 37, u"", u"", u"Extra");
  ASSERT_NE(dynamic_cast<TVivIzudeToolBarButton*>(B), nullptr);
  EXPECT_EQ(B->Parent(), P.ToolBar());
  EXPECT_NE(dynamic_cast<TVivIzudeToolBarSeparator*>(View->AddToolBarPopupSeparator()), nullptr);
  EXPECT_NE(dynamic_cast<TVivIzudeToolBarChartColorPicker*>(View->AddToolBarPopupColorPicker()), nullptr);
  EXPECT_NE(dynamic_cast<TVivIzudeToolBarItemPicker*>(View->AddToolBarPopupItemPicker(0)), nullptr);
  EXPECT_EQ(P.ToolBar()->ControlCount(), Before + 4);
  P.PopupForm()->Update();
  testsupport::PumpMessagesFor(100);
  // Grown, it still shows above the chart's form.
  RECT R{};
  ::GetWindowRect(P.PopupForm()->Handle(), &R);
  const HWND Under = ::WindowFromPoint(POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
  EXPECT_TRUE(Under == P.PopupForm()->Handle() || ::IsChild(P.PopupForm()->Handle(), Under));
  {
    // The popup's own surface: under Wine a popup placed without a click
    // on the chart first may stay behind the chart's window on the X screen,
    // though Windows puts it in front (checked above).
    auto Shot = testsupport::WindowSurfaceImage(P.PopupForm()->Handle());
    Shot->SetPixelFormat(pf24bit);
    testsupport::SavePng(Shot.get(), u"seriespopup-extended.png");
  }
  View->HideToolBarPopup();
  EXPECT_FALSE(P.Activated());
  EXPECT_EQ(View->ActiveSerie(), nullptr);
}
