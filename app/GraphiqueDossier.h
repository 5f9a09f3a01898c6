#pragma once
// The main window's pie, kept apart from the units that see the tree view:
// the chart library and the tree view both name enumerators ctNone and
// bsRectangle, so no unit may include both. The main window reaches its
// chart through these functions only.
#include <vector>

#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

class TComponent;
class TWinControl;
class TPopupMenuBase;
class TVivGDIPChartView;
struct TGraphique;

// The chart zolChart as the main window shows it, aligned to fill Parent:
// one pane with one full pie, slices bordered in white with their share
// inside ("%.2n"), the pie at the top centre and its legend at the bottom
// centre, a bold two-line title ("-" at first), no axes, no chart legend.
TVivGDIPChartView* CreeGraphiqueDossier(TComponent* Owner, TWinControl* Parent, TPopupMenuBase* Menu);
// The chart's pop-up menu.
void MenuGraphique(TVivGDIPChartView* View, TPopupMenuBase* Menu);
// Clears the points; with G, sets the title and one point per slice and
// redraws. Without G only the points go (the chart is not redrawn).
void RemplitGraphiqueDossier(TVivGDIPChartView* View, const TGraphique* G);
// Redraws the chart now.
void RedessineGraphique(TVivGDIPChartView* View);
// The pie's diameter follows the chart's size (min(width - 20, height - 80)).
void AdapteTaillePie(TVivGDIPChartView* View);
// The same for the size the chart is about to take (its alignment may not
// have run yet), and the chart redrawn.
void AdapteTaillePie(TVivGDIPChartView* View, Integer Largeur, Integer Hauteur);
void MontreLegendePie(TVivGDIPChartView* View, bool Visible);

// What the chart holds, for tests.
struct TPointGraphique {
  double Valeur = 0;
  String Legende;
  TColor Couleur = 0;
};
std::vector<TPointGraphique> PointsGraphique(TVivGDIPChartView* View);
String TitreGraphique(TVivGDIPChartView* View);
// The box of each slice's value text as last painted, in point order; an
// empty box for a text left out.
std::vector<TRect> TextesValeursGraphique(TVivGDIPChartView* View);
bool LegendePieVisible(TVivGDIPChartView* View);
Integer TaillePieGraphique(TVivGDIPChartView* View);
// The pie's bounds as the last painting laid it out, in the chart's client
// coordinates (empty before the first painting).
TRect RectanglePieGraphique(TVivGDIPChartView* View);
// The chart's client area on the screen.
TRect EcranGraphique(TVivGDIPChartView* View);
// Saves what the chart shows as a PNG picture of its size.
bool EnregistreGraphique(TVivGDIPChartView* View, const String& FileName);
