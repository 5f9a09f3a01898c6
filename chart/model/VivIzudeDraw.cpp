// The painting order of a chart.
#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"

namespace {
bool NonEmpty(const TRect& R) { return R.Left < R.Right && R.Top < R.Bottom; }
}  // namespace

TRect TVivIzude::Draw(TChartCanvas& Canvas, TRect R, double SX, double SY, bool Initialize) {
  if (FUpdateCount > 0) return FSeries->SeriesRectangle();
  if (Initialize) {
    FSeries->ForceInit(true);
    InitializeChart(Canvas, R, SX, SY);
  }
  auto X = [SX](double V) { return RoundI(V * SX); };
  auto Y = [SY](double V) { return RoundI(V * SY); };
  const bool Horz = FSeries->IsHorizontal();
  TBands Bd = GetBands();
  const Integer L = Bd.L, Rt = Bd.Rt, T = Bd.T, B = Bd.B;
  const Integer TT = FTitle->TopSize(), TB = FTitle->BottomSize(), N = FNavigator->BottomSize();
  const Integer ML = FMargin->LeftMargin(), MT = FMargin->TopMargin(), MR = FMargin->RightMargin(),
                MB = FMargin->BottomMargin();
  Integer LL, RL, TL, BL;
  if (!Horz) {
    LL = FYAxis->LeftLineSize(), RL = FYAxis->RightLineSize(), TL = FXAxis->TopLineSize(),
    BL = FXAxis->BottomLineSize();
  } else {
    LL = FXAxis->BottomLineSize(), RL = FXAxis->TopLineSize(), TL = FYAxis->LeftLineSize(),
    BL = FYAxis->RightLineSize();
  }
  const Integer Max3D = GetMax3DOffset();
  TRect XAxisR, YAxisR, TitleR, XValuesR, LegendR, NavR;

  // 3. Background.
  TRect G{R.Left + X(ML + L), R.Top + Y(TT + T + MT), R.Right - X(Rt) - X(MR), R.Bottom - Y(B) - Y(TB) - Y(MB) - Y(N)};
  Canvas.SetClipRegion(TChartRegion::FromRect(G));
  if (NonEmpty(G)) {
    FBackground->Draw(Canvas, G, SX, SY);
    if (OnDrawBackGround) OnDrawBackGround(this, G, Canvas);
  }
  Canvas.ClearClipRegion();

  // 4. X axis.
  if (!FGDIPDrawing) {
    if (FXAxis->Enable3D()) {
      if (Horz)
        R.Bottom -= FXAxis->Offset3D();
      else
        R.Right -= FXAxis->Offset3D();
    }
    DrawXAxis(Canvas, R, SX, SY);
    XAxisR = R;
  }

  // 5. Y axis.
  if (FYAxis->Enable3D()) {
    if (Horz)
      R.Right -= FYAxis->Offset3D();
    else
      R.Top += FYAxis->Offset3D();
  }
  auto YBand = [&](bool Left) -> TRect {
    bool Full = FAxisMode == amYAxisFullHeight;
    if (!Horz) {
      if (Left)
        return Full ? TRect{R.Left, R.Top, R.Left + X(L), R.Bottom}
                    : TRect{R.Left, R.Top + Y(TT + T), R.Left + X(L), R.Bottom - Y(B) - Y(TB)};
      return Full ? TRect{R.Right - X(Rt), R.Top, R.Right, R.Bottom}
                  : TRect{R.Right - X(Rt), R.Top + Y(TT + T), R.Right, R.Bottom - Y(B) - Y(TB)};
    }
    if (Left)
      return Full ? TRect{R.Left, R.Top + Y(TT), R.Right, R.Top + Y(TT + T)}
                  : TRect{R.Left + X(L), R.Top + Y(TT), R.Right - X(Rt), R.Top + Y(TT + T)};
    return Full ? TRect{R.Left, R.Bottom - Y(B) - Y(TB), R.Right, R.Bottom - Y(TB)}
                : TRect{R.Left + X(L), R.Bottom - Y(B) - Y(TB), R.Right - X(Rt), R.Bottom - Y(TB)};
  };
  auto YPaintable = [&](bool Left, const TRect& Band) {
    if (!NonEmpty(Band)) return false;
    if (!Horz) return Left ? Band.Right < R.Right - X(Rt) : Band.Left > R.Left + X(L);
    return Left ? Band.Bottom < R.Bottom - Y(B + TB) : Band.Top > R.Top + Y(TT + T);
  };
  TChartYAxisPosition YP = FYAxis->Position();
  bool YLeft = YP == yLeft || YP == yBoth, YRight = YP == yRight || YP == yBoth;
  bool Order[2] = {true, false};  // a vertical chart does its left band first
  if (Horz) Order[0] = false, Order[1] = true;
  for (bool Left : Order) {
    if (Left ? !YLeft : !YRight) continue;
    TRect Band = YBand(Left);
    if (YPaintable(Left, Band)) FYAxis->Draw(Canvas, Band, Left, SX, SY, Horz);
    YAxisR = Band;
  }

  // 6. Title.
  TTitlePosition TP = FTitle->Position();
  bool Full = Horz ? FAxisMode == amYAxisFullHeight : FAxisMode == amXAxisFullWidth;
  for (bool Top : {true, false}) {
    if (Top ? !(TP == tTop || TP == tBoth) : !(TP == tBottom || TP == tBoth)) continue;
    TRect Band;
    if (Full)
      Band = Top ? TRect{R.Left, R.Top, R.Right, R.Top + Y(TT)} : TRect{R.Left, R.Bottom - Y(TB), R.Right, R.Bottom};
    else if (!Horz)
      Band = Top ? TRect{R.Left + X(L), R.Top - Max3D, R.Right + X(RL) - X(Rt), R.Top + Y(TT) - Max3D}
                 : TRect{R.Left + X(L) - X(LL), R.Bottom - Y(TB), R.Right - X(Rt), R.Bottom};
    else
      Band = Top ? TRect{R.Left + X(L), R.Top, R.Right + X(RL) - X(Rt), R.Top + Y(TT)}
                 : TRect{R.Left + X(L) - X(LL), R.Bottom - Y(TB) + Max3D, R.Right - X(Rt), R.Bottom + Max3D};
    bool Clear = Top ? Band.Bottom < R.Bottom - Y(TB) : Band.Top > R.Top + Y(TT);
    if (Band.Left < Band.Right && Clear) FTitle->Draw(Canvas, Top, Band, SX, SY);
    TitleR = Band;
  }

  // 7.-10. Series area with grids, series and zero lines.
  TRect S{R.Left + X(ML + L) + X(LL), R.Top + Y(TT + T + MT) + Y(TL), R.Right - X(Rt) - X(MR) - X(RL),
          R.Bottom - Y(B) - Y(TB) - Y(BL) - Y(MB) - Y(N)};
  TChartRegion Clip = TChartRegion::FromRect({S.Left, S.Top - Max3D, S.Right + 1, S.Bottom});
  Canvas.SetClipRegion(Clip);
  FSeries->SetSeriesRectangle(S);
  if (OnBeforeDrawSeries) OnBeforeDrawSeries(this, S, Canvas);
  if (NonEmpty(S)) {
    auto XG = [&] {
      if (FXGrid->Visible()) FXGrid->Draw(Canvas, S, SX, SY);
    };
    auto YG = [&] { FYGrid->Draw(Canvas, S, SX, SY); };
    auto Se = [&] { FSeries->Draw(Canvas, S, SX, SY, Clip); };
    bool XTop = FXGrid->OnTop(), YTop = FYGrid->OnTop();
    if (!XTop && !YTop)
      YG(), XG(), Se();
    else if (!XTop && YTop)
      XG(), Se(), YG();
    else if (XTop && !YTop)
      YG(), Se(), XG();
    else
      Se(), XG(), YG();
    DrawZeroLine(Canvas, S, SX, SY);
  }
  Canvas.ClearClipRegion();

  // 11. Overlays.
  if (OnAfterDrawSeries) OnAfterDrawSeries(this, S, Canvas);
  FSeries->DrawMarkers(Canvas, S, SX, SY);
  FSeries->DrawAnnotations(Canvas, S, SX, SY);
  FSeries->DrawChartValues(Canvas, S, SX, SY);

  // 12. Values.
  TRect V{R.Left + X(L), R.Top + Y(TT + T), R.Right - X(Rt), R.Bottom - Y(B) - Y(TB) - Y(N)};
  if (NonEmpty(V)) FSeries->DrawYValues(Canvas, V, SX, SY);
  TChartXAxisPosition XP = FXAxis->Position();
  bool XBottom = (XP == xBottom || XP == xBoth) && FXAxis->BottomSize() > 0;
  bool XTopSide = (XP == xTop || XP == xBoth) && FXAxis->TopSize() > 0;
  if (!Horz) {
    Integer Left = R.Left + X(FYAxis->LeftSize() + ML) + X(LL), Right = R.Right - X(FYAxis->RightSize()) - X(MR);
    if (XBottom) {
      TRect Band{Left, R.Bottom - Y(TB) - Y(FXAxis->BottomSize()), Right, R.Bottom - Y(TB)};
      if (NonEmpty(Band)) FSeries->DrawXValues(Canvas, Band, false, SX, SY);
      XValuesR = Band;
    }
    if (XTopSide) {
      TRect Band{Left, R.Top + Y(TT), Right, R.Top + Y(TT + FXAxis->TopSize())};
      if (NonEmpty(Band)) FSeries->DrawXValues(Canvas, Band, true, SX, SY);
      XValuesR = Band;
    }
  } else {
    Integer Y0 = R.Top + Y(TT + T + MT + TL), Y1 = R.Bottom - Y(B) - Y(TB) - Y(MB) - Y(N);
    if (XTopSide) {
      TRect Band{R.Right - X(Rt), Y0, R.Right, Y1};
      if (NonEmpty(Band)) FSeries->DrawXValues(Canvas, Band, true, SX, SY);
      XValuesR = Band;
    }
    if (XBottom) {
      TRect Band{R.Left, Y0, R.Left + X(L), Y1};
      if (NonEmpty(Band)) FSeries->DrawXValues(Canvas, Band, false, SX, SY);
      XValuesR = Band;
    }
  }

  // 13. Navigator.
  TRect A{R.Left + X(ML + L), R.Top + Y(TT + T + MT), R.Right - X(Rt) - X(MR), R.Bottom - Y(B) - Y(TB) - Y(MB)};
  if (A.Left < A.Right && FNavigator->Size() + A.Top < A.Bottom) FNavigator->Draw(Canvas, A, SX, SY);
  NavR = A;

  // 14. Legend.
  TRect B0{R.Left + X(L) + X(ML), R.Top + Y(TT) + Y(T) + Y(MT), R.Right - X(Rt) - X(MR),
           R.Bottom - Y(B) - Y(TB) - Y(MB) - Y(N)};
  Integer Entries = 0;
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    const TChartSerie& Se = FSeries->Items(I);
    if (Se.ChartType() != ctNone && Se.SerieType() != stZoomControl && Se.Visible() && Se.ShowInLegend()) ++Entries;
  }
  Integer H = std::max(Y(FLegend->RectangleSize()) + Y(FLegend->RectangleSpacing()), Canvas.TextHeight(u"gh"));
  B0.Bottom = B0.Top + Y(FLegend->RectangleSpacing()) + H * Entries;
  Canvas.Font = FLegend->Font();
  Integer W = 0;
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    const TChartSerie& Se = FSeries->Items(I);
    if (Se.ChartType() != ctNone && Se.SerieType() != stZoomControl && Se.Visible() && Se.ShowInLegend())
      W = std::max(
          W, Canvas.TextWidth(Se.LegendText()) + X(FLegend->RectangleSize()) + 3 * X(FLegend->RectangleSpacing()));
  }
  B0.Right = B0.Left + W;
  FLegend->Draw(Canvas, B0, SX, SY);
  LegendR = Bounds(B0.Left + X(FLegend->Left()), B0.Top + Y(FLegend->Top()), W, B0.Bottom - B0.Top);

  // 16. Events.
  if (OnDrawXAxis) OnDrawXAxis(FXAxis.get(), XAxisR, Canvas);
  if (OnDrawYAxis) OnDrawYAxis(FYAxis.get(), YAxisR, Canvas);
  if (OnDrawXGrid) OnDrawXGrid(FXGrid.get(), S, Canvas);
  if (OnDrawYGrid) OnDrawYGrid(FYGrid.get(), S, Canvas);
  if (OnDrawLegend) OnDrawLegend(FLegend.get(), LegendR, Canvas);
  if (OnDrawSeries) OnDrawSeries(FSeries.get(), S, Canvas);
  if (OnDrawTitle) OnDrawTitle(FTitle.get(), TitleR, Canvas);
  if (OnDrawYValues) OnDrawYValues(FSeries.get(), V, Canvas);
  if (OnDrawXValues) OnDrawXValues(FSeries.get(), XValuesR, Canvas);
  if (OnDrawNavigator) OnDrawNavigator(FNavigator.get(), NavR, Canvas);
  return G;
}

void TVivIzude::DrawXAxis(TChartCanvas& Canvas, TRect R, double SX, double SY) {
  auto X = [SX](double V) { return RoundI(V * SX); };
  auto Y = [SY](double V) { return RoundI(V * SY); };
  const bool Horz = FSeries->IsHorizontal();
  TBands Bd = GetBands();
  const Integer TT = FTitle->TopSize(), TB = FTitle->BottomSize();
  const bool Full = FAxisMode == amXAxisFullWidth;
  TChartXAxisPosition XP = FXAxis->Position();
  for (bool Top : {false, true}) {
    if (Top ? !(XP == xTop || XP == xBoth) : !(XP == xBottom || XP == xBoth)) continue;
    TRect Band;
    bool Ok;
    if (!Horz) {
      Integer Left = Full ? R.Left : R.Left + X(FYAxis->LeftSize());
      Integer Right = Full ? R.Right : R.Right - X(FYAxis->RightSize());
      if (!Top) {
        Band = {Left, R.Bottom - Y(FXAxis->BottomSize()) - Y(TB), Right, R.Bottom - Y(TB)};
        Ok = Band.Top > R.Top + Y(FXAxis->TopSize() + TT);
      } else {
        Band = {Left, R.Top + Y(TT), Right, R.Top + Y(TT + FXAxis->TopSize())};
        Ok = Band.Bottom < R.Bottom - Y(FXAxis->BottomSize() + TB);
      }
    } else {
      Integer Top0 = Full ? R.Top : R.Top + Y(Bd.T + TT);
      Integer Bottom0 = Full ? R.Bottom : R.Bottom - Y(Bd.B) - Y(TB);
      if (!Top) {
        Band = {R.Left, Top0, R.Left + X(Bd.L), Bottom0};
        Ok = Band.Right < R.Right - X(Bd.Rt);
      } else {
        Band = {R.Right - X(Bd.Rt), Top0, R.Right, Bottom0};
        Ok = Band.Left > R.Left + X(Bd.L);
      }
    }
    if (NonEmpty(Band) && Ok) FXAxis->Draw(Canvas, Band, Top, SX, SY, Horz);
  }
}

void TVivIzude::DrawZeroLine(TChartCanvas& Canvas, TRect R, double SX, double) {
  const bool Horz = FSeries->IsHorizontal();
  for (Integer I = 0; I < FSeries->Count(); ++I) {
    TChartSerie& S = FSeries->Items(I);
    if (!S.ZeroLine() || S.ZeroLineWidth() <= 0) continue;
    Canvas.Pen = {S.ZeroLineColor(), RoundI(S.ZeroLineWidth() * SX), psSolid};
    Integer Z = S.ValueToY(S.ZeroReferencePoint(), R);
    if (Horz)
      Canvas.Line(Z, R.Top, Z, R.Bottom);
    else
      Canvas.Line(R.Left, Z, R.Right, Z);
  }
}
