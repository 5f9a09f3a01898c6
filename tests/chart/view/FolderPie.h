#pragma once
// The main window's pie as the program's form sets it up: one pane of 100 %,
// one ctPie serie with white slice borders, percentages inside with "%.2n",
// the pie at the top centre, its legend at the bottom centre with opacity
// 200, a two-line bold title, Tahoma fonts of height -11, no axes and no
// chart legend. Shared by the view tests and the demo program.
#include <vector>

#include "chart/view/VivIzudeViewGDIP.h"

// The program's slice colours, in order.
extern const TColor FolderPieColors[14];

TVivGDIPChartView* CreateFolderPieView(TComponent* Owner);
TVivGDIPChartSerie& FolderPieSerie(TVivGDIPChartView& View);
// Fills the pie as the main window does (title, one slice per value, the
// colours in order); the fourteenth slice of a long list is "Grouped".
void FillFolderPie(TVivGDIPChartView& View, const String& Title, const std::vector<double>& Values);

struct TFolderPieSet {
  const char* Name;
  std::vector<double> Values;
};
// One slice; 1:3:6; 14 slices with "Grouped" last.
const std::vector<TFolderPieSet>& FolderPieSets();
