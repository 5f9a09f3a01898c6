#include "chart/widgets/win/VivIzudeToolBarPopup.h"

#include <cmath>

#include "chart/drawing/win/VivIzudeTypes.h"
#include "rtl/SysUtils.h"

namespace {

constexpr float ElementHeight = 37;
constexpr TColor SelectedCellColor = 0xF8AD1B;

struct TChartTypeItem {
  const char16_t* Hint;
  const char16_t* Resource;
};

// In the order of TVivIzudeToolBarPopupSeriesType.
constexpr TChartTypeItem ChartTypeItems[ToolBarPopupSeriesTypeCount] = {
    {u"Line", u"TVivIzudeToolBarPopupChartLine"},
    {u"Area", u"TVivIzudeToolBarPopupChartArea"},
    {u"Bar", u"TVivIzudeToolBarPopupChartBar"},
    {u"Line Bar", u"TVivIzudeToolBarPopupChartLineBar"},
    {u"Histogram", u"TVivIzudeToolBarPopupChartHistogram"},
    {u"Line Histogram", u"TVivIzudeToolBarPopupChartLineHistogram"},
    {u"CandleStick", u"TVivIzudeToolBarPopupChartCandleStick"},
    {u"Line CandleStick", u"TVivIzudeToolBarPopupChartLineCandleStick"},
    {u"OHLC", u"TVivIzudeToolBarPopupChartOHLC"},
    {u"Markers", u"TVivIzudeToolBarPopupChartMarker"},
    {u"Stacked Bar", u"TVivIzudeToolBarPopupChartStackedBar"},
    {u"Stacked Area", u"TVivIzudeToolBarPopupChartStackedArea"},
    {u"Stacked Area (%)", u"TVivIzudeToolBarPopupChartStackedAreaPerc"},
    {u"Stacked Bar (%)", u"TVivIzudeToolBarPopupChartStackedBarPerc"},
    {u"Error", u"TVivIzudeToolBarPopupChartError"},
    {u"Arrow", u"TVivIzudeToolBarPopupChartArrow"},
    {u"Scaled Arrow", u"TVivIzudeToolBarPopupChartScaledArrow"},
    {u"Bubble", u"TVivIzudeToolBarPopupChartBubble"},
    {u"Scaled Bubble", u"TVivIzudeToolBarPopupChartScaledBubble"},
    {u"Pie", u"TVivIzudeToolBarPopupChartPie"},
    {u"Half Pie", u"TVivIzudeToolBarPopupChartHalfPie"},
    {u"Donut", u"TVivIzudeToolBarPopupChartDonut"},
    {u"HalfDonut", u"TVivIzudeToolBarPopupChartHalfDonut"},
    {u"Band", u"TVivIzudeToolBarPopupChartBand"},
    {u"Spider", u"TVivIzudeToolBarPopupChartSpider"},
    {u"Half Spider", u"TVivIzudeToolBarPopupChartHalfSpider"},
    {u"Variable Radius Pie", u"TVivIzudeToolBarPopupChartVarRadiusPie"},
    {u"Variable Radius Half Pie", u"TVivIzudeToolBarPopupChartVarRadiusHalfPie"},
    {u"Variable Radius Donut", u"TVivIzudeToolBarPopupChartVarRadiusDonut"},
    {u"Variable Radius Half Donut", u"TVivIzudeToolBarPopupChartVarRadiusHalfDonut"},
    {u"Sized Pie", u"TVivIzudeToolBarPopupChartSizedPie"},
    {u"Sized Half Pie", u"TVivIzudeToolBarPopupChartSizedHalfPie"},
    {u"Sized Donut", u"TVivIzudeToolBarPopupChartSizedDonut"},
    {u"Sized Half Donut", u"TVivIzudeToolBarPopupChartSizedHalfDonut"},
    {u"DigitalLine", u"TVivIzudeToolBarPopupChartDigitalLine"},
    {u"XY DigitalLine", u"TVivIzudeToolBarPopupChartXYDigitalLine"},
    {u"Boxplot", u"TVivIzudeToolBarPopupChartBoxPlot"},
    {u"Renko", u"TVivIzudeToolBarPopupChartRenko"},
    {u"XY Line", u"TVivIzudeToolBarPopupChartXYLine"},
    {u"XY Markers", u"TVivIzudeToolBarPopupChartXYMarker"},
    {u"Gantt", u"TVivIzudeToolBarPopupChartGantt"},
    {u"Funnel", u"TVivIzudeToolBarPopupChartFunnel"},
};

// What every element of the popup shares.
void SetUpElement(TVivIzudeToolBarButton* E, float AWidth, const String& AHint) {
  E->SetAllowFocus(false);
  E->SetShowHint(true);
  E->SetHint(AHint);
  E->SetHeight(static_cast<Integer>(ElementHeight));
  E->SetWidth(static_cast<Integer>(AWidth));
}

void SetFacePicture(TVivIzudeToolBarButton* E, const String& AResource, NativeUInt AInstance) {
  for (TVivScaledBitmaps* L : {E->Bitmaps(), E->DisabledBitmaps(), E->HoverBitmaps()}) {
    L->Clear();
    L->AddBitmapFromResource(AResource, AInstance, 1.0f);
  }
}

TVivIzudeBitmapSelectorItem* AddPictureItem(TVivIzudeToolBarBitmapPicker* P, const String& AText, const String& AHint,
                                            const String& AResource, NativeUInt AInstance) {
  TVivIzudeBitmapSelectorItem* I = P->BitmapSelector()->Items()->Add();
  I->SetText(AText);
  I->SetHint(AHint);
  if (!AResource.empty()) {
    LoadPictureFromResource(I->Bitmap(), AResource, AInstance);
    I->SetBitmapSize(static_cast<float>(I->Bitmap()->Width()));
  }
  return I;
}

void SetSelectedCellColor(TVivIzudeToolBarBitmapPicker* P) {
  P->BitmapSelector()->Appearance()->FillSelected()->SetColor(SelectedCellColor);
}

// The selected item's text read as a number, or -1 when nothing (or no
// number) is selected.
Integer SelectedNumber(const TVivIzudeToolBarItemPicker* P) {
  if (!P) return -1;
  const Integer I = P->SelectedItemIndex();
  if (I < 0 || I >= P->Items()->Count()) return -1;
  return StrToIntDef(P->Items()->Get(I), -1);
}

void SelectNumber(TVivIzudeToolBarItemPicker* P, Integer Value) {
  if (P) P->SetSelectedItemIndex(P->Items()->IndexOf(IntToStr(Value)));
}

void SetUpNumberPicker(TVivIzudeToolBarItemPicker* P, const String& AHint, Integer ACount) {
  SetUpElement(P, 35, AHint);
  P->SetHorizontalTextAlign(gtaCenter);
  P->SetStretchText(true);
  for (Integer I = 1; I <= ACount; ++I) P->Items()->Add(IntToStr(I));
  P->SetDropDownWidth(static_cast<float>(P->Width() + 20));
  P->SetSelectedItemIndex(0);
  // 18 pixels at 96 DPI in points, rounded (halves to even): 14.
  P->Font()->SetSize(static_cast<Integer>(std::nearbyint(18.0 / 96 * 72)));
}

}  // namespace

// ---------------------------------------------------------------- tool bar and
// colour picker

TVivIzudeToolBarColorPicker* TVivIzudeToolBarEx::AddColorPicker(Integer AIndex) {
  return AddElement<TVivIzudeToolBarColorPicker>(
      [](TComponent* AOwner) -> TVivIzudeToolBarColorPicker* { return new TVivIzudeToolBarChartColorPicker(AOwner); },
      AIndex);
}

void TVivIzudeToolBarChartColorPicker::DrawSelectedColor(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  TControl* Button = GetDropDownButtonControl();
  if (!Button) return;
  const float H = static_cast<float>(Button->Height());
  TVivIzudeToolBarColorPicker::DrawSelectedColor(
      AGraphics, TRectF{ARect.Left, ARect.Bottom - H - 12, ARect.Right, ARect.Bottom - H});
}

void TVivIzudeToolBarChartColorPicker::Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  if (DropDownPosition() != ddpBottom) return TVivIzudeToolBarColorPicker::Draw(AGraphics, ARect);
  TVivIzudeToolBarButton::Draw(AGraphics, ARect);
  if (GetDropDownButtonControl())
    DrawSelectedColor(AGraphics, TRectF{0, 0, static_cast<float>(Width()), static_cast<float>(Height())});
}

TRectF TVivIzudeToolBarChartColorPicker::GetBitmapRect() {
  TRectF R = GetContentRect();
  R.Bottom -= 12;
  return R;
}

// ---------------------------------------------------------------- popup

TVivIzudeToolBarPopup::TVivIzudeToolBarPopup(TComponent* AOwner)
    : TVivIzudeCustomToolBarPopup(AOwner, true), FOptions(AllToolBarPopupOptions) {
  SetUpToolBar();
  SetPlacement(ppAboveMouseCenter);
  ToolBar()->Appearance()->SetFlatStyle(true);
  if (!IsDesigning()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarPopup::RegisterRuntimeClasses() {
  TVivIzudeCustomToolBarPopup::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarPopupClasses();
}

void RegisterVivIzudeToolBarPopupClasses() {
  static const bool Registered = [] {
    RegisterVivCToolBarPopupClasses();
    RegisterVivIzudeToolBarPickerClasses();  // the series names' string list
    RegisterVivIzudeCustomControlClasses();  // the margins
    using P = TVivIzudeToolBarPopup;
    using T = TVivIzudeCustomToolBarPopup;
    using C = TVivIzudeCustomPopup;
    auto B = VivIzudeRegisterClass<P>(u"TVivIzudeToolBarPopup");
    B.Inherits<TVivIzudeCustomComponent>()
        .Property(u"AutoAlign", static_cast<bool (P::*)() const>(&T::AutoAlign),
                  static_cast<void (P::*)(bool)>(&T::SetAutoAlign))
        .Property(u"DragGrip", static_cast<bool (P::*)() const>(&T::DragGrip),
                  static_cast<void (P::*)(bool)>(&T::SetDragGrip))
        .Object(u"Buttons", static_cast<TVivCToolBarPopupButtons* (P::*)() const>(&T::Buttons))
        .EnumProperty(u"Placement", &C::Placement, &C::SetPlacement, ppAboveMouseCenter)
        .Object(u"PlacementRectangle", static_cast<TVivMargins* (P::*)() const>(&C::PlacementRectangle))
        // Refers to a control the popup does not own: never persisted.
        .ReadOnly(u"PlacementControl", static_cast<TControl* (P::*)() const>(&C::PlacementControl))
        .Property(u"Options", &P::Options, &P::SetOptions)
        .Color(u"SeriesFillColor", &P::SeriesFillColor, &P::SetSeriesFillColor)
        .Color(u"SeriesMarkerFillColor", &P::SeriesMarkerFillColor, &P::SetSeriesMarkerFillColor)
        .Color(u"SeriesLineColor", &P::SeriesLineColor, &P::SetSeriesLineColor)
        .EnumProperty(u"SeriesType", &P::SeriesType, &P::SetSeriesType,
                      static_cast<TVivIzudeToolBarPopupSeriesType>(ToolBarPopupSeriesTypeCount - 1))
        .EnumProperty(u"SeriesLineStyle", &P::SeriesLineStyle, &P::SetSeriesLineStyle, tpslsDashDotDot)
        .Property(u"SeriesLineWidth", &P::SeriesLineWidth, &P::SetSeriesLineWidth)
        .Property(u"SeriesMarkerSize", &P::SeriesMarkerSize, &P::SetSeriesMarkerSize)
        .EnumProperty(u"SeriesMarkerType", &P::SeriesMarkerType, &P::SetSeriesMarkerType, tpsmDiamond)
        .EnumProperty(u"SeriesLabelType", &P::SeriesLabelType, &P::SetSeriesLabelType, tpsltFloat)
        .Object(u"SeriesNames", &P::SeriesNames)
        .Property(u"SeriesIndex", &P::SeriesIndex, &P::SetSeriesIndex)
        .ReadOnly(u"Version", static_cast<String (P::*)() const>(&P::GetVersion));
    for (const char16_t* Name :
         {u"OnSeriesLabelTypeSelected", u"OnSeriesLineWidthSelected", u"OnSeriesMarkerTypeSelected",
          u"OnSeriesFillColorSelected", u"OnSeriesLineColorSelected", u"OnSeriesLineStyleSelected",
          u"OnSeriesTypeSelected", u"OnSeriesSelected", u"OnSeriesDownClicked", u"OnSeriesUpClicked",
          u"OnSeriesMarkerSizeSelected", u"OnSeriesMarkerFillColorSelected", u"OnActivate", u"OnDeactivate"})
      B.Event(Name);
    return true;
  }();
  (void)Registered;
}

TVivIzudeToolBar* TVivIzudeToolBarPopup::CreateToolBar() {
  auto* T = new TVivIzudeToolBarEx(this);
  T->Appearance()->SetVerticalSpacing(2);
  T->Appearance()->SetHorizontalSpacing(2);
  const NativeUInt Inst = GetInstance();

  FChartFill = T->AddColorPicker(-1);
  SetUpElement(FChartFill, 35, u"Series Fill Color");
  FChartFill->SetDropDownPosition(ddpBottom);
  SetFacePicture(FChartFill, u"TVivIzudeToolBarPopupFill", Inst);
  FChartFill->OnColorSelected = [this](TObject*, TColor C) { DoSeriesFillColorSelected(C); };
  FChartFill->OnClick = [this](TObject*) { DoSeriesFillColorSelected(FChartFill->SelectedColor()); };

  FChartStroke = T->AddColorPicker(-1);
  SetUpElement(FChartStroke, 35, u"Series Line Color");
  FChartStroke->SetDropDownPosition(ddpBottom);
  SetFacePicture(FChartStroke, u"TVivIzudeToolBarPopupLine", Inst);
  FChartStroke->OnColorSelected = [this](TObject*, TColor C) { DoSeriesLineColorSelected(C); };
  FChartStroke->OnClick = [this](TObject*) { DoSeriesLineColorSelected(FChartStroke->SelectedColor()); };

  FChartType = T->AddBitmapPicker(-1);
  SetUpElement(FChartType, 35, u"Series Type");
  FChartType->SetDropDownPosition(ddpBottom);
  FChartType->BitmapSelector()->SetColumns(5);
  // Eight rows of five would leave the last two types out.
  FChartType->BitmapSelector()->SetRows((ToolBarPopupSeriesTypeCount + 4) / 5);
  FChartType->BitmapSelector()->SetShowHint(true);
  SetSelectedCellColor(FChartType);
  for (const TChartTypeItem& Item : ChartTypeItems) AddPictureItem(FChartType, u"", Item.Hint, Item.Resource, Inst);
  FChartType->SetDropDownWidth(300);
  FChartType->SetDropDownHeight(400);
  FChartType->SetSelectedItemIndex(0);
  auto TypeChosen = [this](TObject*) {
    const Integer I = FChartType->SelectedItemIndex();
    if (I >= 0) DoSeriesTypeSelected(static_cast<TVivIzudeToolBarPopupSeriesType>(I));
  };
  FChartType->OnBitmapSelected = [TypeChosen](TObject* S, TPicture*) { TypeChosen(S); };
  FChartType->OnClick = TypeChosen;

  FChartLineStyle = T->AddBitmapPicker(-1);
  SetUpElement(FChartLineStyle, 35, u"Series Line Style");
  FChartLineStyle->SetDropDownPosition(ddpBottom);
  AddPictureItem(FChartLineStyle, u"None", u"None", u"", Inst);
  AddPictureItem(FChartLineStyle, u"", u"Solid", u"TVivIzudeToolBarPopupLineSolid", Inst);
  AddPictureItem(FChartLineStyle, u"", u"Dot", u"TVivIzudeToolBarPopupLineDot", Inst);
  AddPictureItem(FChartLineStyle, u"", u"Dash", u"TVivIzudeToolBarPopupLineDash", Inst);
  AddPictureItem(FChartLineStyle, u"", u"Dash Dot", u"TVivIzudeToolBarPopupLineDashDot", Inst);
  AddPictureItem(FChartLineStyle, u"", u"Dash Dot Dot", u"TVivIzudeToolBarPopupLineDashDotDot", Inst);
  FChartLineStyle->BitmapSelector()->SetColumns(1);
  FChartLineStyle->BitmapSelector()->SetRows(FChartLineStyle->BitmapSelector()->Items()->Count());
  SetSelectedCellColor(FChartLineStyle);
  FChartLineStyle->SetSelectedItemIndex(1);
  auto StyleChosen = [this](TObject*) {
    const Integer I = FChartLineStyle->SelectedItemIndex();
    if (I >= 0) DoSeriesLineStyleSelected(static_cast<TVivIzudeToolBarPopupSeriesLineStyle>(I));
  };
  FChartLineStyle->OnBitmapSelected = [StyleChosen](TObject* S, TPicture*) { StyleChosen(S); };
  FChartLineStyle->OnClick = StyleChosen;

  FChartLineWidth = T->AddItemPicker(-1);
  SetUpNumberPicker(FChartLineWidth, u"Series Line Width", 10);
  FChartLineWidth->SetDropDownPosition(ddpBottom);
  auto WidthChosen = [this](TObject*) {
    const Integer N = SelectedNumber(FChartLineWidth);
    if (FChartLineWidth->SelectedItemIndex() >= 0) DoSeriesLineWidthSelected(N);
  };
  FChartLineWidth->OnItemSelected = [WidthChosen](TObject* S, Integer) { WidthChosen(S); };
  FChartLineWidth->OnClick = WidthChosen;

  T->AddSeparator(-1)->SetHeight(static_cast<Integer>(ElementHeight));

  FChartMarker = T->AddBitmapPicker(-1);
  SetUpElement(FChartMarker, 35, u"Series Marker Type");
  FChartMarker->SetDropDownPosition(ddpBottom);
  SetSelectedCellColor(FChartMarker);
  AddPictureItem(FChartMarker, u"None", u"None", u"", Inst)->SetHorizontalTextAlign(gtaCenter);
  for (auto [Text, Resource] :
       {std::pair<const char16_t*, const char16_t*>{u"Ellipse", u"TVivIzudeToolBarPopupMarkerEllipse"},
        {u"Triangle", u"TVivIzudeToolBarPopupMarkerTriangle"},
        {u"Square", u"TVivIzudeToolBarPopupMarkerSquare"},
        {u"Diamond", u"TVivIzudeToolBarPopupMarkerDiamond"}}) {
    TVivIzudeBitmapSelectorItem* I = AddPictureItem(FChartMarker, Text, Text, Resource, Inst);
    I->SetBitmapAlign(baLeft);
    I->SetHorizontalTextAlign(gtaCenter);
  }
  FChartMarker->SetDropDownWidth(100);
  FChartMarker->BitmapSelector()->SetColumns(1);
  FChartMarker->BitmapSelector()->SetRows(FChartMarker->BitmapSelector()->Items()->Count());
  FChartMarker->SetSelectedItemIndex(1);
  auto MarkerChosen = [this](TObject*) {
    const Integer I = FChartMarker->SelectedItemIndex();
    if (I >= 0) DoSeriesMarkerTypeSelected(static_cast<TVivIzudeToolBarPopupSeriesMarkerType>(I));
  };
  FChartMarker->OnBitmapSelected = [MarkerChosen](TObject* S, TPicture*) { MarkerChosen(S); };
  FChartMarker->OnClick = MarkerChosen;

  FChartMarkerFill = T->AddColorPicker(-1);
  SetUpElement(FChartMarkerFill, 35, u"Series Marker Color");
  FChartMarkerFill->SetDropDownPosition(ddpBottom);
  SetFacePicture(FChartMarkerFill, u"TVivIzudeToolBarPopupMarkerFill", Inst);
  FChartMarkerFill->OnColorSelected = [this](TObject*, TColor C) { DoSeriesMarkerFillColorSelected(C); };
  FChartMarkerFill->OnClick = [this](TObject*) { DoSeriesMarkerFillColorSelected(FChartMarkerFill->SelectedColor()); };

  FChartMarkerSize = T->AddItemPicker(-1);
  SetUpNumberPicker(FChartMarkerSize, u"Series Marker Size", 50);
  FChartMarkerSize->SetDropDownPosition(ddpBottom);
  FChartMarkerSize->SetLastElement(true);
  auto SizeChosen = [this](TObject*) {
    const Integer N = SelectedNumber(FChartMarkerSize);
    if (FChartMarkerSize->SelectedItemIndex() >= 0) DoSeriesMarkerSizeSelected(N);
  };
  FChartMarkerSize->OnItemSelected = [SizeChosen](TObject* S, Integer) { SizeChosen(S); };
  FChartMarkerSize->OnClick = SizeChosen;

  FChartLabels = T->AddItemPicker(-1);
  SetUpElement(FChartLabels, 113, u"Series Label Type");
  FChartLabels->SetDropDownPosition(ddpBottom);
  FChartLabels->SetHorizontalTextAlign(gtaCenter);
  SetFacePicture(FChartLabels, u"TVivIzudeToolBarPopupDataLabels", Inst);
  for (const char16_t* S : {u"None", u"Normal", u"Float"}) FChartLabels->Items()->Add(S);
  FChartLabels->SetDropDownWidth(120);
  FChartLabels->SetDropDownHeight(100);
  FChartLabels->SetSelectedItemIndex(0);
  auto LabelsChosen = [this](TObject*) {
    const Integer I = FChartLabels->SelectedItemIndex();
    if (I >= 0) DoSeriesLabelTypeSelected(static_cast<TVivIzudeToolBarPopupSeriesLabelType>(I));
  };
  FChartLabels->OnItemSelected = [LabelsChosen](TObject* S, Integer) { LabelsChosen(S); };
  FChartLabels->OnClick = LabelsChosen;

  FChartSelector = T->AddItemPicker(-1);
  SetUpElement(FChartSelector, 109, u"Series Selector");
  FChartSelector->SetDropDownPosition(ddpBottom);
  FChartSelector->SetHorizontalTextAlign(gtaCenter);
  FChartSelector->SetDropDownWidth(100);
  FChartSelector->SetDropDownHeight(100);
  FChartSelector->SetSelectedItemIndex(0);
  FChartSelector->OnItemSelected = [this](TObject*, Integer I) {
    if (I >= 0) DoSeriesSelected(I);
  };
  // A click reports the index as it is, -1 included.
  FChartSelector->OnClick = [this](TObject*) { DoSeriesSelected(FChartSelector->SelectedItemIndex()); };

  FChartUpButton = T->AddButton(35, ElementHeight, u"TVivIzudeToolBarPopupUp", u"TVivIzudeToolBarPopupUp", u"");
  SetUpElement(FChartUpButton, 35, u"Move Active Series Up");
  FChartUpButton->OnClick = [this](TObject*) { DoSeriesUpClicked(); };
  FChartDownButton = T->AddButton(35, ElementHeight, u"TVivIzudeToolBarPopupDown", u"TVivIzudeToolBarPopupDown", u"");
  SetUpElement(FChartDownButton, 35, u"Move Active Series Down");
  FChartDownButton->OnClick = [this](TObject*) { DoSeriesDownClicked(); };
  return T;
}

void TVivIzudeToolBarPopup::BeforeDestruction() {
  for (TVivIzudeToolBarColorPicker* P : {FChartFill, FChartStroke, FChartMarkerFill})
    if (P) P->OnColorSelected = nullptr, P->OnClick = nullptr;
  for (TVivIzudeToolBarBitmapPicker* P : {FChartType, FChartLineStyle, FChartMarker})
    if (P) P->OnBitmapSelected = nullptr, P->OnClick = nullptr;
  for (TVivIzudeToolBarItemPicker* P : {FChartLineWidth, FChartMarkerSize, FChartLabels, FChartSelector})
    if (P) P->OnItemSelected = nullptr, P->OnClick = nullptr;
  for (TVivIzudeToolBarButton* B : {FChartUpButton, FChartDownButton})
    if (B) B->OnClick = nullptr;
  TVivIzudeCustomToolBarPopup::BeforeDestruction();
}

IVivIzudeToolBarPopup* TVivIzudeToolBarPopup::Target() const {
  return dynamic_cast<IVivIzudeToolBarPopup*>(PlacementControl());
}

// ---------------------------------------------------------------- options

void TVivIzudeToolBarPopup::SetOptions(TVivIzudeToolBarPopupOptions Value) {
  if (FOptions == Value) return;
  FOptions = Value;
  UpdateToolBarOptions();
}

void TVivIzudeToolBarPopup::UpdateToolBarOptions() {
  const std::pair<TVivIzudeToolBarButton*, TVivIzudeToolBarPopupOption> Elements[] = {
      {FChartFill, ctpoFill},
      {FChartStroke, ctpoStroke},
      {FChartType, ctpoType},
      {FChartLineStyle, ctpoLineStyle},
      {FChartLineWidth, ctpoLineWidth},
      {FChartMarker, ctpoMarker},
      {FChartMarkerFill, ctpoMarkerFill},
      {FChartMarkerSize, ctpoMarkerSize},
      {FChartLabels, ctpoLabels},
      {FChartSelector, ctpoSeries},
      {FChartUpButton, ctpoUpDown},
      {FChartDownButton, ctpoUpDown}};
  for (const auto& [E, Option] : Elements)
    if (E) E->SetHidden(!FOptions.Contains(Option));
  UpdatePopupSize();
}

// ---------------------------------------------------------------- dispatchers

void TVivIzudeToolBarPopup::DoSeriesUpClicked() {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesUpClicked();
  if (OnSeriesUpClicked) OnSeriesUpClicked(this);
}

void TVivIzudeToolBarPopup::DoSeriesDownClicked() {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesDownClicked();
  if (OnSeriesDownClicked) OnSeriesDownClicked(this);
}

void TVivIzudeToolBarPopup::DoSeriesMarkerFillColorSelected(TColor AColor) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesMarkerFillColorSelected(AColor);
  if (OnSeriesMarkerFillColorSelected) OnSeriesMarkerFillColorSelected(this, AColor);
}

void TVivIzudeToolBarPopup::DoSeriesFillColorSelected(TColor AColor) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesFillColorSelected(AColor);
  if (OnSeriesFillColorSelected) OnSeriesFillColorSelected(this, AColor);
}

void TVivIzudeToolBarPopup::DoSeriesLineColorSelected(TColor AColor) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesLineColorSelected(AColor);
  if (OnSeriesLineColorSelected) OnSeriesLineColorSelected(this, AColor);
}

void TVivIzudeToolBarPopup::DoSeriesTypeSelected(TVivIzudeToolBarPopupSeriesType AType) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesTypeSelected(AType);
  if (OnSeriesTypeSelected) OnSeriesTypeSelected(this, AType);
}

void TVivIzudeToolBarPopup::DoSeriesLineStyleSelected(TVivIzudeToolBarPopupSeriesLineStyle AStyle) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesLineStyleSelected(AStyle);
  if (OnSeriesLineStyleSelected) OnSeriesLineStyleSelected(this, AStyle);
}

void TVivIzudeToolBarPopup::DoSeriesLineWidthSelected(Integer AWidth) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesLineWidthSelected(AWidth);
  if (OnSeriesLineWidthSelected) OnSeriesLineWidthSelected(this, AWidth);
}

void TVivIzudeToolBarPopup::DoSeriesMarkerSizeSelected(Integer ASize) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesMarkerSizeSelected(ASize);
  if (OnSeriesMarkerSizeSelected) OnSeriesMarkerSizeSelected(this, ASize);
}

void TVivIzudeToolBarPopup::DoSeriesMarkerTypeSelected(TVivIzudeToolBarPopupSeriesMarkerType AType) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesMarkerTypeSelected(AType);
  if (OnSeriesMarkerTypeSelected) OnSeriesMarkerTypeSelected(this, AType);
}

void TVivIzudeToolBarPopup::DoSeriesLabelTypeSelected(TVivIzudeToolBarPopupSeriesLabelType AType) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesLabelTypeSelected(AType);
  if (OnSeriesLabelTypeSelected) OnSeriesLabelTypeSelected(this, AType);
}

void TVivIzudeToolBarPopup::DoSeriesSelected(Integer AItemIndex) {
  if (IVivIzudeToolBarPopup* T = Target()) T->SeriesSelected(AItemIndex);
  if (OnSeriesSelected) OnSeriesSelected(this, AItemIndex);
}

// ---------------------------------------------------------------- series
// settings

TColor TVivIzudeToolBarPopup::SeriesFillColor() const { return FChartFill ? FChartFill->SelectedColor() : 0; }
void TVivIzudeToolBarPopup::SetSeriesFillColor(TColor Value) {
  if (FChartFill) FChartFill->SetSelectedColor(Value);
}
TColor TVivIzudeToolBarPopup::SeriesLineColor() const { return FChartStroke ? FChartStroke->SelectedColor() : 0; }
void TVivIzudeToolBarPopup::SetSeriesLineColor(TColor Value) {
  if (FChartStroke) FChartStroke->SetSelectedColor(Value);
}
TColor TVivIzudeToolBarPopup::SeriesMarkerFillColor() const {
  return FChartMarkerFill ? FChartMarkerFill->SelectedColor() : 0;
}
void TVivIzudeToolBarPopup::SetSeriesMarkerFillColor(TColor Value) {
  if (FChartMarkerFill) FChartMarkerFill->SetSelectedColor(Value);
}

TVivIzudeToolBarPopupSeriesType TVivIzudeToolBarPopup::SeriesType() const {
  const Integer I = FChartType ? FChartType->SelectedItemIndex() : -1;
  return I >= 0 ? static_cast<TVivIzudeToolBarPopupSeriesType>(I) : tpstLine;
}
void TVivIzudeToolBarPopup::SetSeriesType(TVivIzudeToolBarPopupSeriesType Value) {
  if (FChartType) FChartType->SetSelectedItemIndex(Value);
}

TVivIzudeToolBarPopupSeriesLineStyle TVivIzudeToolBarPopup::SeriesLineStyle() const {
  const Integer I = FChartLineStyle ? FChartLineStyle->SelectedItemIndex() : -1;
  return I >= 0 ? static_cast<TVivIzudeToolBarPopupSeriesLineStyle>(I) : tpslsSolid;
}
void TVivIzudeToolBarPopup::SetSeriesLineStyle(TVivIzudeToolBarPopupSeriesLineStyle Value) {
  if (FChartLineStyle) FChartLineStyle->SetSelectedItemIndex(Value);
}

Integer TVivIzudeToolBarPopup::SeriesLineWidth() const {
  const Integer N = SelectedNumber(FChartLineWidth);
  return N >= 0 ? N : 1;
}
void TVivIzudeToolBarPopup::SetSeriesLineWidth(Integer Value) { SelectNumber(FChartLineWidth, Value); }

Integer TVivIzudeToolBarPopup::SeriesMarkerSize() const {
  const Integer N = SelectedNumber(FChartMarkerSize);
  return N >= 0 ? N : 1;
}
void TVivIzudeToolBarPopup::SetSeriesMarkerSize(Integer Value) { SelectNumber(FChartMarkerSize, Value); }

TVivIzudeToolBarPopupSeriesMarkerType TVivIzudeToolBarPopup::SeriesMarkerType() const {
  const Integer I = FChartMarker ? FChartMarker->SelectedItemIndex() : -1;
  return I >= 0 ? static_cast<TVivIzudeToolBarPopupSeriesMarkerType>(I) : tpsmNone;
}
void TVivIzudeToolBarPopup::SetSeriesMarkerType(TVivIzudeToolBarPopupSeriesMarkerType Value) {
  if (FChartMarker) FChartMarker->SetSelectedItemIndex(Value);
}

TVivIzudeToolBarPopupSeriesLabelType TVivIzudeToolBarPopup::SeriesLabelType() const {
  const Integer I = FChartLabels ? FChartLabels->SelectedItemIndex() : -1;
  return I >= 0 ? static_cast<TVivIzudeToolBarPopupSeriesLabelType>(I) : tpsltNone;
}
void TVivIzudeToolBarPopup::SetSeriesLabelType(TVivIzudeToolBarPopupSeriesLabelType Value) {
  if (FChartLabels) FChartLabels->SetSelectedItemIndex(Value);
}

TStringList* TVivIzudeToolBarPopup::SeriesNames() const { return FChartSelector ? FChartSelector->Items() : nullptr; }
void TVivIzudeToolBarPopup::SetSeriesNames(TStrings* Value) {
  if (FChartSelector && Value) FChartSelector->Items()->Assign(Value);
}

Integer TVivIzudeToolBarPopup::SeriesIndex() const { return FChartSelector ? FChartSelector->SelectedItemIndex() : -1; }
void TVivIzudeToolBarPopup::SetSeriesIndex(Integer Value) {
  if (FChartSelector) FChartSelector->SetSelectedItemIndex(Value);
}

// ---------------------------------------------------------------- the chart
// view's handle

namespace {

// Drives the popup for a chart view; the view owns the popup component.
class TViewPopupControl : public IVivIzudeToolBarPopupControl {
public:
  explicit TViewPopupControl(TVivIzudeToolBarPopup* P) : FPopup(P) {}
  TComponent* Component() const override { return FPopup; }
  void SetPlacementControl(TControl* AControl) override { FPopup->SetPlacementControl(AControl); }
  void PlaceAboveMouseCenter() override {
    FPopup->SetPlacement(ppAboveMouseCenter);
    SetRectangle(0, 0);
  }
  void PlaceAt(TPoint P) override {
    FPopup->SetPlacement(ppAbsolute);
    SetRectangle(static_cast<float>(P.X), static_cast<float>(P.Y));
  }
  void SetOptions(TVivIzudeToolBarPopupOptions AOptions) override { FPopup->SetOptions(AOptions); }
  TVivIzudeToolBarPopupOptions Options() const override { return FPopup->Options(); }
  void SetDragGrip(bool AValue) override { FPopup->SetDragGrip(AValue); }
  void SetActivationEvents(TNotifyEvent AOnActivate, TNotifyEvent AOnDeactivate) override {
    FPopup->OnActivate = std::move(AOnActivate);
    FPopup->OnDeactivate = std::move(AOnDeactivate);
  }
  void Activate() override { FPopup->Activate(); }
  void Deactivate() override { FPopup->Deactivate(); }
  bool Activated() const override { return FPopup->Activated(); }
  void SetSeriesFillColor(TColor V) override { FPopup->SetSeriesFillColor(V); }
  void SetSeriesLineColor(TColor V) override { FPopup->SetSeriesLineColor(V); }
  void SetSeriesMarkerFillColor(TColor V) override { FPopup->SetSeriesMarkerFillColor(V); }
  void SetSeriesType(TVivIzudeToolBarPopupSeriesType V) override { FPopup->SetSeriesType(V); }
  void SetSeriesLineStyle(TVivIzudeToolBarPopupSeriesLineStyle V) override { FPopup->SetSeriesLineStyle(V); }
  void SetSeriesLineWidth(Integer V) override { FPopup->SetSeriesLineWidth(V); }
  void SetSeriesMarkerSize(Integer V) override { FPopup->SetSeriesMarkerSize(V); }
  void SetSeriesMarkerType(TVivIzudeToolBarPopupSeriesMarkerType V) override { FPopup->SetSeriesMarkerType(V); }
  void SetSeriesLabelType(TVivIzudeToolBarPopupSeriesLabelType V) override { FPopup->SetSeriesLabelType(V); }
  void SetSeriesNames(const std::vector<String>& ANames) override {
    TStringList L;
    for (const String& N : ANames) L.Add(N);
    FPopup->SetSeriesNames(&L);
  }
  void SetSeriesIndex(Integer V) override { FPopup->SetSeriesIndex(V); }
  void AddCustomControl(TControl* AControl, Integer AIndex) override {
    FPopup->ToolBar()->AddCustomControl(AControl, AIndex);
  }
  TControl* AddCustomControlClass(const std::function<TControl*(TComponent*)>& AControlClass, Integer AIndex) override {
    if (!AControlClass) return nullptr;
    TControl* C = AControlClass(FPopup->ToolBar());
    if (C) FPopup->ToolBar()->AddCustomControl(C, AIndex);
    return C;
  }
  TControl* AddButton(float AWidth, float AHeight, const String& AResource, const String& AResourceLarge,
                      const String& AText, Integer AIndex) override {
    return FPopup->ToolBar()->AddButton(AWidth, AHeight, AResource, AResourceLarge, AText, AIndex);
  }
  TControl* AddSeparator(Integer AIndex) override { return FPopup->ToolBar()->AddSeparator(AIndex); }
  TControl* AddFontNamePicker(Integer AIndex) override { return FPopup->ToolBar()->AddFontNamePicker(AIndex); }
  TControl* AddFontSizePicker(Integer AIndex) override { return FPopup->ToolBar()->AddFontSizePicker(AIndex); }
  TControl* AddColorPicker(Integer AIndex) override { return FPopup->ToolBar()->AddColorPicker(AIndex); }
  TControl* AddItemPicker(Integer AIndex) override { return FPopup->ToolBar()->AddItemPicker(AIndex); }
  TControl* AddBitmapPicker(Integer AIndex) override { return FPopup->ToolBar()->AddBitmapPicker(AIndex); }

private:
  void SetRectangle(float X, float Y) {
    TVivMargins* R = FPopup->PlacementRectangle();
    R->SetLeft(X);
    R->SetTop(Y);
    R->SetRight(X);
    R->SetBottom(Y);
  }
  TVivIzudeToolBarPopup* FPopup;  // owned by the view
};

}  // namespace

void RegisterVivIzudeToolBarPopup() {
  RegisterToolBarPopupCreator([](TControl* AOwner) -> IVivIzudeToolBarPopupControl* {
    return new TViewPopupControl(new TVivIzudeToolBarPopup(AOwner));
  });
}
