#include "ChartGallery.h"

#include <cmath>

#include "rtl/SysUtils.h"

const TColor GalleryBlue = RGBToColor(66, 133, 244), GalleryRed = RGBToColor(219, 68, 55),
             GalleryGreen = RGBToColor(15, 157, 88), GalleryYellow = RGBToColor(244, 180, 0),
             GalleryGrey = RGBToColor(210, 210, 210);

const std::vector<TGalleryEntry>& GalleryEntries() {
  static const std::vector<TGalleryEntry> Entries = {{gkLine, "gallery-lines"},
                                                     {gkArea, "gallery-areas"},
                                                     {gkBar, "gallery-bars"},
                                                     {gkFinancial, "gallery-financial"},
                                                     {gkBubble, "gallery-bubbles"}};
  return Entries;
}

namespace {
void Frame(TVivGDIPChartPane& P, const String& Title) {
  P.Title().SetPosition(tTop);
  P.Title().SetAlignment(taCenter);
  P.Title().SetText(Title);
  P.Title().Font().SetStyle({fsBold});
  P.XGrid().SetVisible(true);
  P.XGrid().SetMajorLineColor(GalleryGrey);
  P.XGrid().SetMinorLineColor(clNone);
  P.YGrid().SetVisible(true);
  P.YGrid().SetMajorLineColor(GalleryGrey);
  P.YGrid().SetMinorLineColor(clNone);
  P.Legend().SetVisible(true);
  P.Legend().SetColor(clWhite);
  P.Legend().SetBorderColor(GalleryGrey);
  P.Legend().SetShadow(true);
  P.CrossHair().SetVisible(true);
  P.CrossHair().SetLineColor(RGBToColor(120, 120, 120));
  P.CrossHair().SetCrossHairType(chtFullSizeCrossHairAtSeries);
  P.CrossHair().CrossHairYValues().SetPosition({chYAxis, chValueTracker});
}

// The first serie carries the axes; the others share its range.
TVivGDIPChartSerie& Add(TVivGDIPChartPane& P, TChartType Type, TColor Color, const String& Legend) {
  TVivGDIPChartSerie& S = P.Series().Add();
  S.SetChartType(Type);
  S.SetColor(Color);
  S.SetLineColor(Color);
  S.SetLegendText(Legend);
  S.SetAutoRange(arCommon);
  S.YAxis().SetTickMarkColor(clBlack);
  S.YAxis().SetMinorUnitVisible(false);
  S.YAxis().SetTickMarkSizeMinor(0);
  S.XAxis().SetMinorUnit(0);
  S.CrossHairYValue().SetVisible(true);
  S.SetValueFormat(u"%.1f");
  if (P.Series().Count() > 1) {
    S.YAxis().SetVisible(false);
    S.XAxis().SetVisible(false);
  }
  return S;
}
}  // namespace

TVivGDIPChartView* CreateGalleryView(TComponent* Owner, TGalleryKind Kind) {
  auto* View = new TVivGDIPChartView(Owner);
  View->SetColor(clWhite);
  View->SetBounds(0, 0, 640, 420);
  TVivGDIPChartPane& P = *View->Panes().Add();
  Integer Points = 0;
  switch (Kind) {
    case gkLine: {
      Frame(P, u"Lines");
      TVivGDIPChartSerie& A = Add(P, ctLine, GalleryBlue, u"Sine");
      TVivGDIPChartSerie& B = Add(P, ctLine, GalleryRed, u"Cosine");
      TVivGDIPChartSerie& C = Add(P, ctDigitalLine, GalleryGreen, u"Steps");
      A.SetLineWidth(2);
      A.SetShadow(true);
      B.SetLineWidth(2);
      B.Marker().SetMarkerType(mCircle);
      B.Marker().SetMarkerColor(clWhite);
      B.Marker().SetMarkerLineColor(GalleryRed);
      B.Marker().SetMarkerSize(7);
      C.SetLineWidth(2);
      Points = 60;
      for (int I = 0; I < Points; ++I) {
        A.AddSinglePoint(50 + 40 * std::sin(I / 6.0));
        B.AddSinglePoint(50 + 30 * std::cos(I / 7.0), I != 25);
        C.AddSinglePoint(10 + 10 * ((I / 8) % 3));
      }
      break;
    }
    case gkArea: {
      Frame(P, u"Areas");
      // A reflection of the series area in the bottom margin.
      P.Margin().SetBottomMargin(40);
      P.SetMirror(true);
      const TColor Colors[3] = {GalleryBlue, GalleryGreen, GalleryYellow};
      const char16_t* Names[3] = {u"North", u"Centre", u"South"};
      for (int K = 0; K < 3; ++K) {
        TVivGDIPChartSerie& S = Add(P, ctStackedArea, Colors[K], Names[K]);
        S.SetLineColor(RGBToColor(60, 60, 60));
        S.SetOpacity(200);
        S.SetGradientType(gtVertical);
        S.SetColorTo(clWhite);
        for (int I = 0; I < 50; ++I) S.AddSinglePoint(10 + 5 * K + 4 * std::sin(I / 5.0 + K));
      }
      Points = 50;
      break;
    }
    case gkBar: {
      Frame(P, u"Bars");
      TVivGDIPChartSerie& A = Add(P, ctBar, GalleryBlue, u"This year");
      TVivGDIPChartSerie& B = Add(P, ctBar, GalleryRed, u"Last year");
      A.SetShadow(true);
      A.SetGradientType(gtHorizontal);
      A.SetColorTo(RGBToColor(160, 200, 255));
      B.SetBarShape(bsCylinder);
      A.SetZeroLine(true);
      A.SetZeroLineColor(clBlack);
      A.SetBarValueTextType(btXAxisValue);
      A.BarValueTextFont().SetColor(clWhite);
      static const char* Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
      for (int I = 0; I < 12; ++I) {
        A.AddSinglePoint(20 + 7 * I - 45 * (I == 4), String(Months[I], Months[I] + 3));
        B.AddSinglePoint(60 - 4 * I);
      }
      Points = 12;
      break;
    }
    case gkFinancial: {
      Frame(P, u"Candles and OHLC");
      TVivGDIPChartSerie& C = Add(P, ctCandleStick, RGBToColor(170, 170, 170), u"Share");
      TVivGDIPChartSerie& O = Add(P, ctOHLC, GalleryBlue, u"Index");
      double V = 100, W = 90;
      for (int I = 0; I < 40; ++I) {
        const double Open = V, Close = V + 6 * std::sin(I * 1.7);
        C.AddMultiPoints(std::max(Open, Close) + 3, std::min(Open, Close) - 3, Open, Close);
        const double O2 = W, C2 = W + 4 * std::cos(I * 1.3);
        O.AddMultiPoints(std::max(O2, C2) + 2, std::min(O2, C2) - 2, O2, C2);
        V = Close;
        W = C2;
      }
      Points = 40;
      // The share's 5-point moving average, a serie of the pane's own.
      P.AddMovingAverage(0, 0, Points, 5, true, GalleryYellow, 2);
      P.Series()[2].SetLegendText(u"Average");
      P.Series()[2].SetShowInLegend(true);
      P.Series()[2].SetValueFormat(u"%.1f");
      break;
    }
    case gkBubble: {
      Frame(P, u"Bubbles");
      TVivGDIPChartSerie& S = Add(P, ctBubble, GalleryYellow, u"Markets");
      S.SetBorderColor(RGBToColor(120, 90, 0));
      S.SetOpacity(180);
      S.SetGradientType(gtForwardDiagonal);
      S.SetColorTo(GalleryRed);
      TVivGDIPChartSerie& A = Add(P, ctArrow, GalleryBlue, u"Moves");
      A.SetArrowColor(GalleryBlue);
      A.SetLineWidth(2);
      for (int I = 0; I < 10; ++I) {
        S.AddPoints(20 + 9 * (I % 3) + I, 4 + 2 * I, 4 + 2 * I);
        A.AddPoints(10 + 3 * I, 30, 20);
      }
      Points = 10;
      break;
    }
  }
  // Every serie also stands in the zoom control's overview, whose sliders
  // show the part of the points the pane shows.
  for (Integer I = 0; I < P.Series().Count(); ++I) P.Series()[I].SetSerieType(stBoth);
  View->SetPanesRange(0, Points - 1);
  const Integer From = Points > 20 ? Points / 5 : 0;
  P.Range().SetRangeFrom(From);
  TVivGDIPZoomControl& Z = P.ZoomControl();
  Z.SetVisible(true);
  Z.SetPosition(zpTopRight);
  Z.SetWidth(170);
  Z.SetHeight(56);
  Z.SetColor(RGBToColor(245, 245, 250));
  Z.SetOpacity(230);
  Z.SetSelectionColor(GalleryBlue);
  Z.SetSelectionOpacity(60);
  Z.SetSliderColor(RGBToColor(40, 40, 40));
  Z.SetSlideRangeFrom(From);
  Z.SetSlideRangeTo(Points - 1);
  TChartTracker& T = View->Tracker();
  T.SetColor(RGBToColor(250, 250, 250));
  T.SetLeft(70);
  T.SetTop(View->Height() - 120);
  T.SetVisible(true);
  return View;
}
