#pragma once
// Charts beyond the pie, each in a GDI+ view of its own: lines, areas, bars,
// financial types and bubbles, with axes, grids, legends, the crosshair,
// the zoom control and the value tracker. Shared by the view tests and the
// gallery demo program.
#include <vector>

#include "chart/view/VivIzudeViewGDIP.h"

enum TGalleryKind { gkLine, gkArea, gkBar, gkFinancial, gkBubble };

struct TGalleryEntry {
  TGalleryKind Kind;
  const char* Name;  // the picture's file name without extension
};
const std::vector<TGalleryEntry>& GalleryEntries();

// A white view of the kind with its series filled (50 points and more for
// lines and areas); crosshair, zoom control and tracker are switched on.
TVivGDIPChartView* CreateGalleryView(TComponent* Owner, TGalleryKind Kind);

extern const TColor GalleryBlue, GalleryRed, GalleryGreen, GalleryYellow, GalleryGrey;
