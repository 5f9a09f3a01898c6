#include "FolderPie.h"

#include "rtl/SysUtils.h"

const TColor FolderPieColors[14] = {0x9C6940, 0x3E419E, 0x489A7F, 0x855169, 0xA38D3C, 0x387BCC, 0xBD814F,
                                    0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B, 0x4696F7, 0xD7BAAA, 0xA9AAD9};

TVivGDIPChartView* CreateFolderPieView(TComponent* Owner) {
  auto* View = new TVivGDIPChartView(Owner);
  View->SetColor(clWhite);
  TVivGDIPChartPane* Pane = View->Panes().Add();
  Pane->Legend().SetVisible(false);
  Pane->XAxis().SetPosition(xNone);
  Pane->YAxis().SetPosition(yNone);
  TChartTitle& Title = Pane->Title();
  Title.SetPosition(tTop);
  Title.SetAlignment(taCenter);
  // Two lines need the top alignment: the centred one is single-line.
  Title.SetVerticalAlignment(taAlignTop);
  Title.SetSize(36);
  Title.Font().SetStyle({fsBold});
  Title.Font().SetHeight(-11);
  Title.SetText(u"-");
  TVivGDIPChartSerie& S = Pane->Series().Add();
  S.SetChartType(ctPie);
  S.SetAutoRange(arDisabled);
  S.SetBorderColor(clWhite);
  S.SetBorderRounding(1);
  S.SetShowValue(true);
  S.SetValueFormat(u"%.2n");
  S.SetValueType(cvPercentage);
  S.SetValueWidth(100);
  S.SetWickWidth(2);
  S.SetSerieType(stNormal);
  S.SetShadow(true);
  S.XAxis().SetVisible(false);
  S.YAxis().SetVisible(false);
  S.Marker().SetMarkerColorTo(clBlack);
  TGDIPChartSeriePie& Pie = S.Pie();
  Pie.SetPosition(spTopCenter);
  Pie.SetLegendPosition(spBottomCenter);
  Pie.SetSize(250);
  Pie.SetInnerSize(100);
  Pie.SetShowValues(true);
  Pie.SetLegendOpacity(200);
  TChartFont Value;
  Value.SetName(u"Tahoma");
  Value.SetHeight(-11);
  Value.SetColor(clWhite);
  Pie.SetValueFont(Value);
  TChartFont Legend;
  Legend.SetName(u"Tahoma");
  Legend.SetHeight(-11);
  Legend.SetColor(clBlack);
  Pie.SetLegendFont(Legend);
  return View;
}

TVivGDIPChartSerie& FolderPieSerie(TVivGDIPChartView& View) { return View.Panes().Items(0)->Series().Items(0); }

void FillFolderPie(TVivGDIPChartView& View, const String& Title, const std::vector<double>& Values) {
  TVivGDIPChartSerie& S = FolderPieSerie(View);
  S.ClearPoints();
  View.Panes().Items(0)->Title().SetText(Title);
  for (std::size_t I = 0; I < Values.size(); ++I) {
    const String Legend = Values.size() == 14 && I == 13 ? String(u"Grouped")
                          : I == 0                       ? String(u"Files")
                                                         : u"Folder sub" + IntToStr(Integer(I));
    S.AddPiePoints(Values[I], Legend, FolderPieColors[I % 14], clNone, 0, true);
  }
}

const std::vector<TFolderPieSet>& FolderPieSets() {
  static const std::vector<TFolderPieSet> Sets = {
      {"pie-one-slice", {4242}},
      {"pie-1-3-6", {1, 3, 6}},
      {"pie-14-slices", {130, 110, 90, 80, 70, 70, 60, 60, 50, 50, 45, 40, 35, 60}}};
  return Sets;
}
