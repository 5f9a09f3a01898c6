#include "app/GraphiqueDossier.h"

#include "app/core/Affichage.h"
#include "chart/view/VivIzudeViewGDIP.h"

namespace {

TVivGDIPChartSerie& Serie(TVivGDIPChartView* View) { return View->Panes().Items(0)->Series().Items(0); }

}  // namespace

TVivGDIPChartView* CreeGraphiqueDossier(TComponent* Owner, TWinControl* Parent, TPopupMenuBase* Menu) {
  auto* view = new TVivGDIPChartView(Owner);
  view->SetName(u"zolChart");
  view->SetColor(clWhite);
  TVivGDIPChartPane* pane = view->Panes().Add();
  pane->Legend().SetVisible(false);
  pane->XAxis().SetPosition(xNone);
  pane->YAxis().SetPosition(yNone);
  TChartTitle& titre = pane->Title();
  titre.SetPosition(tTop);
  titre.SetAlignment(taCenter);
  // Two lines need the top alignment: the centred one is single-line.
  titre.SetVerticalAlignment(taAlignTop);
  titre.SetSize(36);
  titre.Font().SetStyle({fsBold});
  titre.Font().SetHeight(-11);
  titre.SetText(u"-");
  TVivGDIPChartSerie& s = pane->Series().Add();
  s.SetChartType(ctPie);
  s.SetAutoRange(arDisabled);
  s.SetBorderColor(clWhite);
  s.SetBorderRounding(1);
  s.SetShowValue(true);
  s.SetValueFormat(u"%.2n");
  s.SetValueType(cvPercentage);
  s.SetValueWidth(100);
  s.SetWickWidth(2);
  s.SetSerieType(stNormal);
  s.SetShadow(true);
  s.XAxis().SetVisible(false);
  s.YAxis().SetVisible(false);
  s.Marker().SetMarkerColorTo(clBlack);
  TGDIPChartSeriePie& pie = s.Pie();
  pie.SetPosition(spTopCenter);
  pie.SetLegendPosition(spBottomCenter);
  pie.SetSize(250);
  pie.SetInnerSize(100);
  pie.SetShowValues(true);
  pie.SetLegendOpacity(200);
  TChartFont valeur;
  valeur.SetName(u"Tahoma");
  valeur.SetHeight(-11);
  valeur.SetColor(clWhite);
  pie.SetValueFont(valeur);
  TChartFont legende;
  legende.SetName(u"Tahoma");
  legende.SetHeight(-11);
  legende.SetColor(clBlack);
  pie.SetLegendFont(legende);
  view->SetAlign(alClient);
  // The chart's own size, once aligned: the panels' resize handlers run
  // before the chart has taken the room they leave it.
  view->OnResize = [view](TObject*) { AdapteTaillePie(view); };
  view->SetPopupMenu(Menu);
  view->SetParent(Parent);
  return view;
}

void MenuGraphique(TVivGDIPChartView* View, TPopupMenuBase* Menu) { View->SetPopupMenu(Menu); }

void RemplitGraphiqueDossier(TVivGDIPChartView* View, const TGraphique* G) {
  TVivGDIPChartSerie& serie = Serie(View);
  serie.ClearPoints();
  if (!G) return;
  View->Panes().Items(0)->Title().SetText(G->Titre);
  for (const TPartGraphique& p : G->Parts) serie.AddPiePoints(p.Valeur, p.Legende, p.Couleur, clNone, 0, true);
  View->Refresh();
}

void RedessineGraphique(TVivGDIPChartView* View) { View->Repaint(); }

void AdapteTaillePie(TVivGDIPChartView* View, Integer Largeur, Integer Hauteur) {
  const Integer taille = TaillePie(Largeur, Hauteur);
  Serie(View).Pie().SetSize(taille > 0 ? taille : 1);
  View->Refresh();
}

void AdapteTaillePie(TVivGDIPChartView* View) {
  const Integer taille = TaillePie(View->Width(), View->Height());
  Serie(View).Pie().SetSize(taille > 0 ? taille : 1);
}

void MontreLegendePie(TVivGDIPChartView* View, bool Visible) {
  Serie(View).Pie().SetLegendVisible(Visible);
  View->Refresh();
}

std::vector<TPointGraphique> PointsGraphique(TVivGDIPChartView* View) {
  std::vector<TPointGraphique> out;
  for (const TChartPoint& p : Serie(View).Points()) out.push_back({p.SingleValue, p.LegendValue, p.Color});
  return out;
}

std::vector<TRect> TextesValeursGraphique(TVivGDIPChartView* View) { return Serie(View).DrawValuesText; }

String TitreGraphique(TVivGDIPChartView* View) { return View->Panes().Items(0)->Title().Text(); }
bool LegendePieVisible(TVivGDIPChartView* View) { return Serie(View).Pie().LegendVisible(); }
Integer TaillePieGraphique(TVivGDIPChartView* View) { return Serie(View).Pie().Size(); }

TRect RectanglePieGraphique(TVivGDIPChartView* View) {
  TVivGDIPChartSerie& s = Serie(View);
  const TRect zone = View->Panes().Items(0)->Series().SeriesRectangle();
  if (zone.IsEmpty()) return {};
  const TPoint centre = s.GetPieCenter(s.GetPieRectangle(s.Index(), zone));
  const Integer rayon = s.Pie().GetPieSize() / 2;
  return {centre.X - rayon, centre.Y - rayon, centre.X + rayon, centre.Y + rayon};
}

TRect EcranGraphique(TVivGDIPChartView* View) {
  const TPoint o = View->ClientOrigin();
  return {o.X, o.Y, o.X + View->ClientWidth(), o.Y + View->ClientHeight()};
}

bool EnregistreGraphique(TVivGDIPChartView* View, const String& FileName) {
  try {
    View->SaveToImage(FileName, View->Width(), View->Height(), itPNG, 100);
    return true;
  } catch (const EChartImageError&) {
    return false;
  }
}
