#pragma once
// The chart of the series tool-bar popup demo and its test: one pane with
// three line series of 41 points (the second one unnamed), the popup
// enabled, so that clicking a serie's point shows the popup over it.
#include <cmath>

#include "chart/view/VivIzudeViewGDIP.h"
#include "chart/widgets/win/VivIzudeToolBarPopup.h"

namespace seriespopup_demo {

inline constexpr Integer PointCount = 41;

inline double ValueAt(Integer Serie, Integer I) { return 60 - 20 * Serie + 15 * std::sin(I / 5.0 + Serie); }

inline TVivGDIPChartView* CreateSeriesPopupView(TComponent* AOwner) {
  RegisterVivIzudeToolBarPopup();
  auto* View = new TVivGDIPChartView(AOwner);
  View->SetColor(clWhite);
  View->Popup().SetEnabled(true);
  TVivGDIPChartPane& P = *View->Panes().Add();
  P.SetName(u"Demo");
  P.Legend().SetVisible(false);
  const TColor Colors[] = {0xC46E2F, 0x317DED, 0x48A054};
  const char16_t* Names[] = {u"Sales", u"", u"Costs"};
  for (Integer K = 0; K < 3; ++K) {
    TVivGDIPChartSerie& S = P.Series().Add();
    S.SetName(Names[K]);
    S.SetChartType(ctLine);
    S.SetColor(Colors[K]);
    S.SetLineColor(Colors[K]);
    S.SetLineWidth(2);
    S.SetAutoRange(arDisabled);
    S.SetMinimum(0);
    S.SetMaximum(100);
    if (K > 0) S.YAxis().SetVisible(false), S.XAxis().SetVisible(false);
    for (Integer I = 0; I < PointCount; ++I) S.AddSinglePoint(ValueAt(K, I));
  }
  P.Range().SetRangeFrom(0);
  P.Range().SetRangeTo(PointCount - 1);
  return View;
}

}  // namespace seriespopup_demo
