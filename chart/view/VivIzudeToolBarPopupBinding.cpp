// The view's side of the series tool-bar popup: its settings, making and
// placing the popup, filling it from the active serie, and applying the
// popup's choices to that serie.
#include "chart/view/VivIzudeView.h"
#include "rtl/SysUtils.h"

void TChartPopup::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TChartPopup*>(Source);
  if (!S) return;
  FEnabled = S->FEnabled;
  FOptions = S->FOptions;
  FActivateMode = S->FActivateMode;
  FDragGrip = S->FDragGrip;
}

namespace {

bool SerieInView(const TVivIzudeView& V, const TChartSerie* S) {
  for (Integer I = 0; I < V.Panes().Count(); ++I)
    if (V.Panes().Items(I)->Chart().Series().IndexOf(S) >= 0) return true;
  return false;
}

}  // namespace

IVivIzudeToolBarPopupControl* TVivIzudeView::ToolBarPopup() {
  if (!FToolBarPopup) {
    const TVivIzudeToolBarPopupCreator& Create = ToolBarPopupCreator();
    if (!Create) return nullptr;
    FToolBarPopup.reset(Create(this));
    if (!FToolBarPopup) return nullptr;
    FToolBarPopup->SetPlacementControl(this);
    FToolBarPopup->SetActivationEvents(
        [this](TObject*) {
          if (OnToolBarPopupActivate) OnToolBarPopupActivate(this);
        },
        [this](TObject*) {
          if (OnToolBarPopupDeactivate) OnToolBarPopupDeactivate(this);
        });
  }
  FToolBarPopup->SetOptions(FPopup->Options());
  FToolBarPopup->SetDragGrip(FPopup->DragGrip());
  return FToolBarPopup.get();
}

void TVivIzudeView::FreeToolBarPopup() {
  if (!FToolBarPopup) return;
  std::unique_ptr<IVivIzudeToolBarPopupControl> P = std::move(FToolBarPopup);
  delete P->Component();
}

void TVivIzudeView::ShowToolBarPopupAtSeries(TChartSerie* ASerie) {
  FActiveSerie = ASerie;
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  if (!P) return;
  P->PlaceAboveMouseCenter();
  UpdateToolBarPopup();
  P->Activate();
}

void TVivIzudeView::ShowToolBarPopupAt(Integer X, Integer Y, TChartSerie* ASerie) {
  FActiveSerie = ASerie;
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  if (!P) return;
  P->PlaceAt(ClientToScreen(TPoint{X, Y}));
  UpdateToolBarPopup();
  P->Activate();
}

void TVivIzudeView::HideToolBarPopup() {
  FActiveSerie = nullptr;
  if (IVivIzudeToolBarPopupControl* P = ToolBarPopup()) P->Deactivate();
}

void TVivIzudeView::UpdateToolBarPopup() {
  // A serie deleted since it became active is forgotten, not read.
  if (FActiveSerie && !SerieInView(*this, FActiveSerie)) FActiveSerie = nullptr;
  if (!FToolBarPopup || !FActiveSerie) return;
  IVivIzudeToolBarPopupControl& P = *FToolBarPopup;
  const TChartSerie& S = *FActiveSerie;
  P.SetSeriesFillColor(S.Color());
  P.SetSeriesLineColor(S.LineColor());
  P.SetSeriesLineWidth(S.LineWidth());
  if (!S.ShowValue())
    P.SetSeriesLabelType(tpsltNone);
  else
    P.SetSeriesLabelType(S.ValueFormatType() == vftFloat ? tpsltFloat : tpsltNormal);
  switch (S.Marker().MarkerType()) {
    case mNone:
      P.SetSeriesMarkerType(tpsmNone);
      break;
    case mCircle:
      P.SetSeriesMarkerType(tpsmEllipse);
      break;
    case mSquare:
      P.SetSeriesMarkerType(tpsmSquare);
      break;
    case mDiamond:
      P.SetSeriesMarkerType(tpsmDiamond);
      break;
    case mTriangle:
      P.SetSeriesMarkerType(tpsmTriangle);
      break;
    default:
      break;  // pictures and custom markers have no picker item
  }
  switch (S.PenStyle()) {
    case psSolid:
      P.SetSeriesLineStyle(tpslsSolid);
      break;
    case psDash:
      P.SetSeriesLineStyle(tpslsDash);
      break;
    case psDot:
      P.SetSeriesLineStyle(tpslsDot);
      break;
    case psDashDot:
      P.SetSeriesLineStyle(tpslsDashDot);
      break;
    case psDashDotDot:
      P.SetSeriesLineStyle(tpslsDashDotDot);
      break;
    case psClear:
      P.SetSeriesLineStyle(tpslsNone);
      break;
    default:
      break;
  }
  // The picker lists the chart types in their own order but for the
  // XY digital line, which the model keeps last.
  const TChartType T = S.ChartType();
  if (T == ctXYDigitalLine)
    P.SetSeriesType(tpstXYDigitalLine);
  else if (T >= ctLine && T <= ctDigitalLine)
    P.SetSeriesType(static_cast<TVivIzudeToolBarPopupSeriesType>(T - 1));
  else if (T >= ctBoxPlot && T <= ctFunnel)
    P.SetSeriesType(static_cast<TVivIzudeToolBarPopupSeriesType>(T));
  P.SetSeriesMarkerFillColor(S.Marker().MarkerColor());
  P.SetSeriesMarkerSize(S.Marker().MarkerSize());
  std::vector<String> Names;
  if (CurrentPane >= 0 && CurrentPane < FPanes->Count()) {
    const TChartSeries& Series = FPanes->Items(CurrentPane)->Chart().Series();
    for (Integer I = 0; I < Series.Count(); ++I) {
      const String& N = Series.Items(I).Name();
      Names.push_back(N.empty() ? u"Series " + IntToStr(I) : N);
    }
  }
  P.SetSeriesNames(Names);
  P.SetSeriesIndex(S.Index());
}

// ---------------------------------------------------------------- the popup's choices

namespace {

// The active serie when it still belongs to the view.
TChartSerie* Active(TVivIzudeView& V, TChartSerie* S) { return S && SerieInView(V, S) ? S : nullptr; }

}  // namespace

void TVivIzudeView::SeriesFillColorSelected(TColor AColor) {
  if (TChartSerie* S = Active(*this, FActiveSerie)) S->SetColor(AColor);
}

void TVivIzudeView::SeriesMarkerFillColorSelected(TColor AColor) {
  if (TChartSerie* S = Active(*this, FActiveSerie)) S->Marker().SetMarkerColor(AColor);
}

void TVivIzudeView::SeriesLineColorSelected(TColor AColor) {
  if (TChartSerie* S = Active(*this, FActiveSerie)) S->SetLineColor(AColor);
}

void TVivIzudeView::SeriesTypeSelected(TVivIzudeToolBarPopupSeriesType AType) {
  TChartSerie* S = Active(*this, FActiveSerie);
  if (!S) return;
  if (AType <= tpstDigitalLine)
    S->SetChartType(static_cast<TChartType>(AType + 1));
  else if (AType == tpstXYDigitalLine)
    S->SetChartType(ctXYDigitalLine);
  else if (AType <= tpstFunnel)
    S->SetChartType(static_cast<TChartType>(AType));
}

void TVivIzudeView::SeriesLineStyleSelected(TVivIzudeToolBarPopupSeriesLineStyle AStyle) {
  TChartSerie* S = Active(*this, FActiveSerie);
  if (!S) return;
  static constexpr TPenStyle Styles[] = {psClear, psSolid, psDot, psDash, psDashDot, psDashDotDot};
  if (AStyle <= tpslsDashDotDot) S->SetPenStyle(Styles[AStyle]);
}

void TVivIzudeView::SeriesLineWidthSelected(Integer AWidth) {
  if (TChartSerie* S = Active(*this, FActiveSerie)) S->SetLineWidth(AWidth);
}

void TVivIzudeView::SeriesMarkerSizeSelected(Integer ASize) {
  if (TChartSerie* S = Active(*this, FActiveSerie)) S->Marker().SetMarkerSize(ASize);
}

void TVivIzudeView::SeriesMarkerTypeSelected(TVivIzudeToolBarPopupSeriesMarkerType AType) {
  TChartSerie* S = Active(*this, FActiveSerie);
  if (!S) return;
  static constexpr TChartMarkerType Types[] = {mNone, mCircle, mTriangle, mSquare, mDiamond};
  if (AType <= tpsmDiamond) S->Marker().SetMarkerType(Types[AType]);
}

void TVivIzudeView::SeriesLabelTypeSelected(TVivIzudeToolBarPopupSeriesLabelType AType) {
  TChartSerie* S = Active(*this, FActiveSerie);
  if (!S) return;
  if (AType == tpsltNone) {
    S->SetShowValue(false);
  } else if (AType <= tpsltFloat) {
    S->SetShowValue(true);
    const TChartValueFormatType Type = AType == tpsltFloat ? vftFloat : vftNormal;
    // A pattern of the other kind would be drawn as it stands ("%g" is no
    // float pattern): it gives way to the new kind's plain one, while a
    // pattern that suits the kind is the user's and stays.
    const bool IsFormatPattern = S->ValueFormat().find(u'%') != String::npos;
    if (S->ValueFormatType() != Type && IsFormatPattern == (Type == vftFloat))
      S->SetValueFormat(Type == vftFloat ? u"0.##" : u"%g");
    S->SetValueFormatType(Type);
  }
}

void TVivIzudeView::SeriesSelected(Integer AItemIndex) {
  if (CurrentPane < 0 || CurrentPane >= FPanes->Count()) return;
  TChartSeries& Series = FPanes->Items(CurrentPane)->Chart().Series();
  if (AItemIndex < 0 || AItemIndex >= Series.Count()) return;
  FActiveSerie = &Series.Items(AItemIndex);
  UpdateToolBarPopup();
}

void TVivIzudeView::SeriesDownClicked() {
  BeginUpdate();
  if (TChartSerie* S = Active(*this, FActiveSerie)) {
    const Integer I = S->Index();
    if (S->Collection() && I >= 0 && I < S->Collection()->Count() - 1) S->MoveTo(I + 1);
  }
  EndUpdate();
}

void TVivIzudeView::SeriesUpClicked() {
  BeginUpdate();
  if (TChartSerie* S = Active(*this, FActiveSerie)) {
    const Integer I = S->Index();
    if (I > 0) S->MoveTo(I - 1);
  }
  EndUpdate();
}

// ---------------------------------------------------------------- the popup's tool bar

void TVivIzudeView::AddToolBarPopupCustomControl(TControl* AControl, Integer AIndex) {
  if (IVivIzudeToolBarPopupControl* P = ToolBarPopup()) P->AddCustomControl(AControl, AIndex);
}

TControl* TVivIzudeView::AddToolBarPopupCustomControlClass(const std::function<TControl*(TComponent*)>& AControlClass,
                                                           Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddCustomControlClass(AControlClass, AIndex) : nullptr;
}

TControl* TVivIzudeView::AddToolBarPopupButton(float AWidth, float AHeight, const String& AResource,
                                               const String& AResourceLarge, const String& AText, Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddButton(AWidth, AHeight, AResource, AResourceLarge, AText, AIndex) : nullptr;
}

TControl* TVivIzudeView::AddToolBarPopupSeparator(Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddSeparator(AIndex) : nullptr;
}

TControl* TVivIzudeView::AddToolBarPopupFontNamePicker(Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddFontNamePicker(AIndex) : nullptr;
}

TControl* TVivIzudeView::AddToolBarPopupFontSizePicker(Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddFontSizePicker(AIndex) : nullptr;
}

TControl* TVivIzudeView::AddToolBarPopupColorPicker(Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddColorPicker(AIndex) : nullptr;
}

TControl* TVivIzudeView::AddToolBarPopupItemPicker(Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddItemPicker(AIndex) : nullptr;
}

TControl* TVivIzudeView::AddToolBarPopupBitmapPicker(Integer AIndex) {
  IVivIzudeToolBarPopupControl* P = ToolBarPopup();
  return P ? P->AddBitmapPicker(AIndex) : nullptr;
}
