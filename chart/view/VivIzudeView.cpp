#include "chart/view/VivIzudeView.h"

#include <algorithm>
#include <cmath>

#include "chart/model/ChartAnalyticSeries.h"
#include "chart/model/ChartHelpers.h"
#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"
#include "rtl/UpdateGuard.h"

// ---------------------------------------------------------------- gradient
void DrawGradientRect(TCanvas& Canvas, TColor FromColor, TColor ToColor, Integer BorderWidth, TColor BorderColor,
                      bool Border, TChartGradientDirection Direction, TRect R, Integer Steps) {
  if (Steps <= 0) Steps = 1;
  const TColor F = ColorToRGB(FromColor), T = ColorToRGB(ToColor);
  if (R.Left > R.Right) std::swap(R.Left, R.Right);
  if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
  const double D = Direction == cgdVertical ? double(R.Height()) / Steps : double(R.Width()) / Steps;
  auto Channel = [Steps](TColor A, TColor B, int Shift, Integer I) {
    const Integer From = (A >> Shift) & 0xFF, To = (B >> Shift) & 0xFF;
    return std::clamp<Integer>(From + RoundI(double(I) * (To - From) / Steps), 0, 255);
  };
  for (Integer I = 0; I < Steps; ++I) {
    const TColor C = RGBToColor(Byte(Channel(F, T, 0, I)), Byte(Channel(F, T, 8, I)), Byte(Channel(F, T, 16, I)));
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetColor(C);
    Canvas.Brush()->SetColor(C);
    Canvas.Brush()->SetStyle(bsSolid);
    const Integer A = RoundI(I * D), W = RoundI(D) + 1;
    if (Direction == cgdVertical)
      Canvas.Rectangle(R.Left, R.Top + A, R.Right, R.Top + A + W);
    else
      Canvas.Rectangle(R.Left + A, R.Top, R.Left + A + W, R.Bottom);
  }
  if (Border) {
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.Pen()->SetColor(BorderColor);
    Canvas.Pen()->SetWidth(BorderWidth);
    Canvas.Rectangle(R);
  }
}

// ---------------------------------------------------------------- splitter
void TChartSplitter::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TChartSplitter*>(Source);
  if (!S) return;
  FHeight = S->FHeight;
  FVisible = S->FVisible;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FGradientSteps = S->FGradientSteps;
  FGradientDirection = S->FGradientDirection;
  FLineColor = S->FLineColor;
  FLineWidth = S->FLineWidth;
}

void TChartSplitter::Draw(TCanvas& Canvas, TRect R) {
  const TRect Bar{R.Left, R.Top, R.Left + R.Right, R.Top + FHeight};
  if (FColorTo == clNone) {
    Canvas.Pen()->SetWidth(FLineWidth);
    Canvas.Pen()->SetStyle(FLineColor == clNone ? psClear : psSolid);
    if (FLineColor != clNone) Canvas.Pen()->SetColor(FLineColor);
    Canvas.Brush()->SetColor(FColor);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Rectangle(Bar);
  } else {
    DrawGradientRect(Canvas, FColor, FColorTo, FLineWidth, FLineColor, false, FGradientDirection, Bar, FGradientSteps);
  }
}

// ---------------------------------------------------------------- pane
TChartPane::TChartPane(TCollection* Collection)
    : TCollectionItem(Collection),
      FSplitter(std::make_unique<TChartSplitter>()),
      FScrollTimer(std::make_unique<TTimer>(nullptr)),
      FZoomOutTimer(std::make_unique<TTimer>(nullptr)) {
  FSplitter->OnChange = [this](TObject*) { ChartChanged(); };
  FScrollTimer->SetEnabled(false);
  FZoomOutTimer->SetEnabled(false);
  FScrollTimer->OnTimer = [this](TObject*) {
    TVivIzudeView* V = ChartView();
    if (!V) return;
    if (V->PanesSynched())
      for (Integer I = 0; I < V->Panes().Count(); ++I) DoScrolling(I, V->CurrentPane, true);
    else
      DoScrolling(-1, V->CurrentPane, false);
  };
  FZoomOutTimer->OnTimer = [this](TObject*) {
    TVivIzudeView* V = ChartView();
    if (!V) return;
    if (V->PanesSynched())
      for (Integer I = 0; I < V->Panes().Count(); ++I) DoZoomOut(I, V->CurrentPane, true);
    else
      DoZoomOut(-1, V->CurrentPane, false);
  };
  FName = u"ChartPane " + IntToStr(ID());
}

TChartPane::~TChartPane() = default;

void TChartPane::AfterConstruction() {
  FChart = CreateChart();
  FSplitter->SetChart(FChart.get());
  // Made in a designer (not read from a form): its range starts now.
  if (TVivIzudeView* V = ChartView();
      V && V->ComponentState().Contains(csDesigning) && !V->ComponentState().Contains(csLoading) && !V->Loading())
    FChart->Range().SetStartDate(Now());
}

std::unique_ptr<TVivIzude> TChartPane::CreateChart() {
  auto C = std::make_unique<TVivIzude>(this);
  InstallCanvasPainter(*C);
  WireChart(*C);
  return C;
}

void TChartPane::WireChart(TVivIzude& C) {
  C.SetTextMeasurer(&TGdiTextMeasurer::Screen());
  C.OnChange = [this](TObject*) { ChartChanged(); };
  C.OnBeforeDrawSeries = [this](TObject* Sender, TRect R, TChartCanvas& Canvas) {
    if (TVivIzudeView* V = ChartView(); V && V->OnBeforeDrawSeries) V->OnBeforeDrawSeries(Sender, R, Canvas, Index());
  };
  C.OnAfterDrawSeries = [this](TObject* Sender, TRect R, TChartCanvas& Canvas) {
    if (TVivIzudeView* V = ChartView(); V && V->OnAfterDrawSeries) V->OnAfterDrawSeries(Sender, R, Canvas, Index());
  };
  C.GetPaneRectangle = [this](TVivIzude*, TRect& R) { R = FRectangle; };
  C.OnSerieXAxisGroup = [this](TObject* Sender, Integer, Integer Serie, Integer Group, TChartCanvas& Canvas, TRect R,
                               bool& DrawText) {
    if (TVivIzudeView* V = ChartView(); V && V->OnSerieXAxisCustomGroup)
      V->OnSerieXAxisCustomGroup(Sender, Index(), Serie, Group, Canvas, R, DrawText);
  };
  C.OnGetCountChartType = [this](TObject* Sender, TChartType T, Integer& N) {
    if (TVivIzudeView* V = ChartView(); V && V->OnGetCountChartType) V->OnGetCountChartType(Sender, T, N);
  };
  C.OnGetCountGroupedChartType = [this](TObject* Sender, TChartType T, Integer& N) {
    if (TVivIzudeView* V = ChartView(); V && V->OnGetCountGroupedChartType) V->OnGetCountGroupedChartType(Sender, T, N);
  };
  C.OnDrawGridPieLineValue = [this](TObject*, TChartSerie* S, TChartCanvas& Canvas, Integer Line, double Start,
                                    double Sweep, TPoint Center, Integer X, Integer Y) {
    if (TVivIzudeView* V = ChartView(); V && V->OnDrawGridPieLineValue)
      V->OnDrawGridPieLineValue(this, S, Canvas, Line, Start, Sweep, Center, X, Y);
  };
  C.OnGetGridPieLineValue = [this](TObject* Sender, TChartSerie* S, Integer Line, double Start, double Sweep,
                                   String& Value) {
    if (TVivIzudeView* V = ChartView(); V && V->OnGetGridPieLineValue)
      V->OnGetGridPieLineValue(Sender, S, Line, Start, Sweep, Value);
  };
  C.OnGetNumberOfPoints = [this](TObject*, Integer Serie, Integer& N) {
    if (TVivIzudeView* V = ChartView()) V->DoGetNumberOfPoints(this, Index(), Serie, N);
  };
  C.OnGetPoint = [this](TObject*, Integer Serie, Integer I, TChartPoint& P) {
    if (TVivIzudeView* V = ChartView()) V->DoGetPoint(this, Index(), Serie, I, P);
  };
}

TVivIzudeView* TChartPane::ChartView() const {
  auto* Panes = dynamic_cast<TChartPanes*>(Collection());
  return Panes ? Panes->View() : nullptr;
}

TChartPane* TChartPane::PaneAt(Integer I) const {
  TVivIzudeView* V = ChartView();
  if (!V || I < 0 || I >= V->Panes().Count()) return nullptr;
  return V->Panes().Items(I);
}

void TChartPane::ChartChanged() {
  if (TVivIzudeView* V = ChartView(); V && !V->Painting()) V->Invalidate();
}

void TChartPane::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TChartPane*>(Source);
  if (!S) return;
  SetXScaleOffset(S->XScaleOffset());
  FBorderColor = S->FBorderColor;
  FBorderWidth = S->FBorderWidth;
  FBorderStyle = S->FBorderStyle;
  FName = S->FName;
  FChart->SetAxisMode(S->AxisMode());
  FHeight = S->FHeight;
  FVisible = S->FVisible;
  FSplitter->Assign(S->FSplitter.get());
  Navigator().Assign(&S->Navigator());
  Margin().Assign(&S->Margin());
  XAxis().Assign(&S->XAxis());
  YAxis().Assign(&S->YAxis());
  XGrid().Assign(&S->XGrid());
  YGrid().Assign(&S->YGrid());
  Title().Assign(&S->Title());
  CrossHair().Assign(&S->CrossHair());
  BackGround().Assign(&S->BackGround());
  Series().Assign(&S->Series());
  Legend().Assign(&S->Legend());
  Bands().Assign(&S->Bands());
  FHeightType = S->FHeightType;
  FOptions = S->FOptions;
  FDS = S->FDS;
  Range().Assign(&S->Range());
  FCtrlZooming = S->FCtrlZooming;
}

void TChartPane::SetName(const String& V) {
  if (V == FName) return;
  FName = V;
  ChartChanged();
}

void TChartPane::SetHeight(double V) {
  if (V < 0 || (FHeightType == htPercentage && V > 100) || V == FHeight) return;
  FOldHeight = FHeight;
  FHeight = V;
  Series().ForceInit(true);
  if (FChart->ForceInitYScale() && FOldHeight > 0)
    for (Integer I = 0; I < Series().Count(); ++I) {
      TChartSerie& S = Series().Items(I);
      S.SetYScale(S.OldYScale() * V / FOldHeight);
    }
  ChartChanged();
}

void TChartPane::SetHeightType(TPaneHeightType V) {
  if (V == FHeightType) return;
  FHeightType = V;
  ChartChanged();
}
void TChartPane::SetVisible(bool V) {
  if (V == FVisible) return;
  FVisible = V;
  ChartChanged();
}
void TChartPane::SetBorderStyle(TBorderStyle V) {
  if (V == FBorderStyle) return;
  FBorderStyle = V;
  ChartChanged();
}
void TChartPane::SetBorderColor(TColor V) {
  if (V == FBorderColor) return;
  FBorderColor = V;
  ChartChanged();
}
void TChartPane::SetBorderWidth(Integer V) {
  if (V <= 0 || V == FBorderWidth) return;
  FBorderWidth = V;
  ChartChanged();
}
void TChartPane::SetAxisMode(TChartAxisMode V) {
  if (V == FChart->AxisMode()) return;
  FChart->SetAxisMode(V);
  ChartChanged();
}
void TChartPane::SetCrossHairLines(bool V) {
  if (V == FCrossHairLines) return;
  FCrossHairLines = V;
  if (CrossHair().Visible()) ChartChanged();
}

Integer TChartPane::PixelHeight() const {
  if (FHeightType == htPixels) return RoundI(FHeight);
  TVivIzudeView* V = ChartView();
  if (!V) return 0;
  // What the pixel panes and the drawn splitters leave: splitters count, so
  // percentage panes that add up to 100 fit the view with their splitters.
  Integer Rest = V->Height(), Autos = 0;
  bool First = true;
  for (Integer I = 0; I < V->Panes().Count(); ++I) {
    const TChartPane* P = V->Panes().Items(I);
    if (!P->Visible()) continue;
    if (!First && P->Splitter().Visible()) Rest -= P->Splitter().Height();
    First = false;
    if (P->HeightType() == htPixels) Rest -= RoundI(P->Height());
    if (P->HeightType() == htAuto) ++Autos;
  }
  if (FHeightType == htPercentage) return RoundI(Rest * FHeight / 100);
  return Autos > 0 ? RoundI(double(Rest) / Autos) : 0;
}

void TChartPane::BeginUpdate() {
  ++FUpdateCount;
  FChart->BeginUpdate();
}

void TChartPane::EndUpdate(TChartCanvas& Canvas, TRect R) {
  if (FUpdateCount > 0) --FUpdateCount;
  FChart->EndUpdate(Canvas, R);
}

TRect TChartPane::DrawChart(TVclChartCanvas& ACanvas, TRect R, double SX, double SY, bool Initialize) {
  if (FBorderStyle == bsSingle) {
    TCanvas& C = ACanvas.Canvas();
    C.Pen()->SetStyle(FBorderColor == clNone ? psClear : psSolid);
    if (FBorderColor != clNone) C.Pen()->SetColor(FBorderColor);
    C.Pen()->SetWidth(FBorderWidth);
    C.Brush()->SetStyle(bsClear);
    C.Rectangle(R);
    R = {R.Left + FBorderWidth, R.Top + FBorderWidth, R.Right - FBorderWidth, R.Bottom - FBorderWidth};
  }
  return FChart->Draw(ACanvas, R, SX, SY, Initialize);
}

void TChartPane::Draw(TVclChartCanvas& ACanvas, TRect R, double SX, double SY, bool Initialize) {
  if (!FVisible) return;
  FChart->Draw(ACanvas, R, SX, SY, Initialize);
  TCanvas& C = ACanvas.Canvas();
  if (FBorderStyle == bsSingle && FBorderColor != clNone) {
    C.Pen()->SetStyle(psSolid);
    C.Pen()->SetColor(FBorderColor);
    C.Pen()->SetWidth(FBorderWidth);
    C.Brush()->SetStyle(bsClear);
    C.Rectangle(R);
    R = {R.Left + FBorderWidth, R.Top + FBorderWidth, R.Right - FBorderWidth, R.Bottom - FBorderWidth};
  }
  if (FFocused) {
    R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    HDC DC = C.Handle();
    LOGBRUSH LB{BS_SOLID, RGB(0, 0, 0), 0};
    const TGdiObject Dotted(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &LB, 0, nullptr));
    const TSelectGuard Pen(DC, Dotted.Get());
    const TSelectGuard Brush(DC, GetStockObject(NULL_BRUSH));
    ::Rectangle(DC, R.Left, R.Top, R.Right, R.Bottom);
  }
}

void TChartPane::SetVisibleRange(Integer From, Integer To) {
  TChartRange& Rg = Range();
  if (Rg.MaximumScrollRange() != 0 || Rg.MinimumScrollRange() != 0) {
    auto Inside = [&](Integer V) { return V >= Rg.MinimumScrollRange() && V <= Rg.MaximumScrollRange(); };
    if (!Inside(From) || !Inside(To)) return;
  }
  Rg.SetRangeFrom(From);
  Rg.SetRangeTo(To);
}

void TChartPane::MoveSerie(Integer From, Integer To) {
  const Integer N = Series().Count();
  if (From < 0 || From >= N || To < 0 || To >= N) return;
  Series().Move(From, To);
}

Integer TChartPane::FirstVisibleSerie() const {
  for (Integer I = 0; I < Series().Count(); ++I)
    if (Series().Items(I).Visible()) return I;
  return -1;
}

void TChartPane::DrawHorizontalCrossHair(TCanvas& Canvas, TRect R, Integer X, Integer Y) {
  Canvas.Pen()->SetStyle(psSolid);
  Canvas.Pen()->SetColor(CrossHair().LineColor());
  Canvas.Pen()->SetWidth(CrossHair().LineWidth());
  if (Series().IsHorizontal()) {
    Canvas.MoveTo(X, R.Top);
    Canvas.LineTo(X, R.Bottom);
  } else {
    Canvas.MoveTo(R.Left, Y);
    Canvas.LineTo(R.Right, Y);
  }
}

void TChartPane::DrawVerticalCrossHair(TCanvas& Canvas, TRect R, Integer X, Integer Y) {
  Canvas.Pen()->SetStyle(psSolid);
  Canvas.Pen()->SetColor(CrossHair().LineColor());
  Canvas.Pen()->SetWidth(CrossHair().LineWidth());
  if (Series().IsHorizontal()) {
    Canvas.MoveTo(R.Left, Y);
    Canvas.LineTo(R.Right, Y);
  } else {
    Canvas.MoveTo(X, R.Top);
    Canvas.LineTo(X, R.Bottom);
  }
}

void TChartPane::DrawVerticalLines(TVclChartCanvas& ACanvas, TRect R) {
  if (FUpdateCount > 0) return;
  DrawCrossHairLines(ACanvas, R);
  DrawCrossHairValues(ACanvas);
}

void TChartPane::DrawCrossHairLines(TVclChartCanvas& ACanvas, TRect R) {
  if (FUpdateCount > 0) return;
  TVivIzudeView* V = ChartView();
  const bool Horz = Series().IsHorizontal();
  Integer Bound = 0;
  if (V)
    for (Integer I = 0; I < V->Panes().Count(); ++I) {
      TChartPane* P = V->Panes().Items(I);
      if (!P->Visible()) continue;
      const TRect S = P->Series().SeriesRectangle();
      if (!Horz)
        Bound += S.Bottom + S.Top + P->Margin().BottomMargin() + P->Margin().TopMargin() + P->Navigator().BottomSize();
      else
        Bound += S.Right + S.Left + P->Margin().RightMargin() + P->Margin().LeftMargin();
    }
  if (!CrossHair().Visible() || CrossHair().CrossHairType() == chtNone) return;
  TCanvas& C = ACanvas.Canvas();
  HDC DC = C.Handle();
  const TGdiObject Clip(Horz ? CreateRectRgn(FRectangle.Left, FRectangle.Top, Bound, FRectangle.Bottom)
                             : CreateRectRgn(FRectangle.Left, FRectangle.Top, FRectangle.Right, Bound));
  SelectClipRgn(DC, static_cast<HRGN>(Clip.Get()));
  const TRect SR = Series().SeriesRectangle();
  const Integer X = CrossHairPos.X, Y = CrossHairPos.Y;
  switch (CrossHair().CrossHairType()) {
    case chtFullSizeCrossHairAtSeries:
      DrawVerticalCrossHair(C, R, X, Y);
      for (const TSeriePoint& P : CrossHairPoints) {
        if (P.Serie != -1 && (P.Serie < 0 || P.Serie >= Series().Count() || !Series().Items(P.Serie).Visible()))
          continue;
        const Integer Pos = RoundI(P.YValue);
        const bool Inside = Horz ? (Pos > R.Left && Pos < R.Right) : (Pos > R.Top && Pos < R.Bottom);
        if (Inside) DrawHorizontalCrossHair(C, SR, Pos, Pos);
      }
      break;
    case chtSmallCrossHair:
      C.Pen()->SetColor(CrossHair().LineColor());
      C.Pen()->SetWidth(CrossHair().LineWidth());
      C.MoveTo(X - 15, Y);
      C.LineTo(X + 16, Y);
      C.MoveTo(X, Y - 15);
      C.LineTo(X, Y + 16);
      break;
    case chtFullSizeCrossHairAtCursor:
      DrawVerticalCrossHair(C, R, X, Y);
      DrawHorizontalCrossHair(C, SR, X, Y);
      break;
    default:
      break;
  }
  SelectClipRgn(DC, nullptr);
}

void TChartPane::DrawCrossHairValues(TVclChartCanvas& ACanvas) {
  if (FUpdateCount > 0 || !CrossHair().Visible() || CrossHair().CrossHairType() == chtNone) return;
  TVivIzudeView* V = ChartView();
  const bool Horz = Series().IsHorizontal();
  TCanvas& C = ACanvas.Canvas();
  const TRect SR = Series().SeriesRectangle();
  for (const TSeriePoint& P : CrossHairPoints) {
    if (P.Serie < 0 || P.Serie >= Series().Count()) continue;
    TChartSerie& S = Series().Items(P.Serie);
    if (S.ChartType() == ctNone || !S.CrossHairYValue().Visible() || S.SerieType() == stZoomControl || !S.Visible())
      continue;
    Integer Pos = RoundI(P.YValue);
    Pos = Horz ? std::clamp(Pos, SR.Left, SR.Right) : std::clamp(Pos, SR.Top, SR.Bottom);
    const double Value = P.PointType == cspSerie ? P.SerieValue : S.YToValue(Pos, SR);
    String Text = S.FormatValue(Value);
    if (V && V->OnGetCrossHairValue) V->OnGetCrossHairValue(this, P, Text);
    TChartSerieCrossHairYValue& CY = S.CrossHairYValue();
    ACanvas.Font = CY.Font();
    const Integer TW = ACanvas.TextWidth(Text) + 4, GH = ACanvas.TextHeight(u"gh");
    Integer Wd, Ht;
    if (Horz)
      Wd = TW, Ht = GH;
    else
      Wd = GH, Ht = TW;
    Integer Q;
    if (Horz)
      Q = Pos + Wd > SR.Right ? Pos - Wd : Pos;
    else
      Q = Pos - Wd < SR.Top ? Pos : Pos - Wd;
    auto Label = [&](Integer Across, Integer TextX, Integer TextY) {
      if (CY.Color() == clNone)
        ACanvas.Brush.SetStyle(bsClear);
      else
        ACanvas.Brush.SetColor(CY.Color());
      if (CY.ColorTo() != clNone) {
        const TRect Box = Horz ? TRect{Q, Across, Q + Wd, Across + ACanvas.TextHeight(Text)}
                               : TRect{Across, Q, Across + ACanvas.TextWidth(Text), Q + Wd};
        DrawGradientRect(C, CY.Color(), CY.ColorTo(), CY.BorderWidth(), CY.BorderColor(), true, CY.GradientDirection(),
                         Box, CY.GradientSteps());
        ACanvas.Brush.SetStyle(bsClear);
      }
      ACanvas.TextOut(TextX, TextY, Text);
    };
    const TChartCrossHairYValuePosition Where = CrossHair().CrossHairYValues().Position();
    if (Where.Contains(chYAxis)) {
      const Integer A = RoundI(P.XValueYAxis - Ht);
      if (Horz)
        Label(A, Q, A + 2);
      else
        Label(A, A + 2, Q);
    }
    if (Where.Contains(chAtCursor)) {
      const Integer B = RoundI(P.XValueAtCursor);
      Integer Cc;
      if (Horz)
        Cc = B - Ht < SR.Top ? B : B - Ht;
      else
        Cc = B + Ht > SR.Right ? B - Ht : B;
      if (Horz)
        Label(Cc, Q, Cc);
      else
        Label(Cc, Cc, Q);
    }
  }
}

TChartPoint TChartPane::GetChartPointAtCrossHair(Integer SerieIndex, bool& Found) {
  Found = false;
  if (!CrossHair().Visible() || SerieIndex < 0 || SerieIndex >= Series().Count()) return {};
  TVivIzudeView* V = ChartView();
  const bool Synched = V && V->VerticalCrossHairsSynched();
  const TRect SR = Series().SeriesRectangle();
  const Integer X = CrossHairPos.X, Y = CrossHairPos.Y;
  const bool Horz = Series().IsHorizontal();
  if (!Horz) {
    if (!(X > SR.Left && X < SR.Right)) return {};
    if (!Synched && !(Y > FRectangle.Top && Y < FRectangle.Bottom)) return {};
  } else {
    if (!(Y > SR.Top && Y < SR.Bottom)) return {};
    if (!Synched && !(X > FRectangle.Left && X < FRectangle.Right)) return {};
  }
  TChartSerie& S = Series().Items(SerieIndex);
  Integer I;
  const TChartType T = S.ChartType();
  if (T == ctXYLine || T == ctXYMarkers || T == ctXYDigitalLine) {
    I = Horz ? S.GetXYPoint(Y, X) : S.GetXYPoint(X, Y);
  } else {
    const double Scale = FChart->XScale();
    if (Scale == 0) return {};
    I = Horz ? RoundI((Y - SR.Top - FChart->GetXScaleStart()) / Scale)
             : RoundI((X - SR.Left - FChart->GetXScaleStart()) / Scale);
    I += Range().RangeFrom();
  }
  Found = true;
  return S.GetChartPoint(I);
}

void TChartPane::DoScrolling(Integer SynchedPane, Integer CurrentPane, bool Synched) {
  TChartPane* P = PaneAt(Synched ? SynchedPane : CurrentPane);
  TVivIzudeView* V = ChartView();
  if (!P || !V) return;
  const Integer Step = P->Navigator().ScrollStep();
  for (Integer Dir : {-1, 1}) {
    if (!(Dir < 0 ? P->LeftNavigatorButtonDown : P->RightNavigatorButtonDown)) continue;
    P->Series().ForceInit(true);
    P->SetVisibleRange(P->Range().RangeFrom() + Dir * Step, P->Range().RangeTo() + Dir * Step);
    P->Chart().InitializeChart(V->ScratchCanvas(), P->Rectangle(), 1.0, 1.0);
    if (Dir < 0)
      V->DoLeftScroll(V, CurrentPane, -Step, P->Range().RangeFrom(), P->Range().RangeTo());
    else
      V->DoRightScroll(V, CurrentPane, Step, P->Range().RangeFrom(), P->Range().RangeTo());
  }
}

void TChartPane::DoZoomOut(Integer SynchedPane, Integer CurrentPane, bool Synched) {
  TChartPane* P = PaneAt(Synched ? SynchedPane : CurrentPane);
  TVivIzudeView* V = ChartView();
  if (!P || !V) return;
  const double S = P->Chart().XScale();
  if (S >= 1) {
    P->PixelsMoved = RoundI(S * V->XAxisZoomSensitivity());
    P->Series().ForceInit(true);
    const Integer N = RoundI(P->PixelsMoved / S);
    P->SetVisibleRange(P->Range().RangeFrom() - N, P->Range().RangeTo() + N);
  } else {
    P->Series().ForceInit(true);
    P->Chart().SetXScale(1.0);
  }
}

void TChartPane::DoZoomIn(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  TVivIzudeView* V = ChartView();
  const TRect SR = Series().SeriesRectangle();
  if (SR.Width() == 0) return;
  if (!V) return;
  TChartCanvas& Canvas = V->ScratchCanvas();
  if (FCtrlZooming == czXAxis || FCtrlZooming == czBoth) {
    if (X1 == X2) {
      Series().ForceInit(true);
      FChart->InitializeChart(Canvas, FRectangle, 1, 1);
    } else {
      const Integer Xa = std::min(X1, X2), Xb = std::max(X1, X2);
      const double D = Range().RangeTo() - Range().RangeFrom(), W = SR.Width();
      const double Start = FChart->GetXScaleStart();
      const Integer C = RoundI(D / W * (Xa - Start - SR.Left) + Range().RangeFrom());
      const Integer E = RoundI(Range().RangeFrom() + (Xb - Start - SR.Left) * D / W);
      if (C < E) SetVisibleRange(C, E);
      Series().ForceInit(true);
      FChart->InitializeChart(Canvas, FRectangle, 1, 1);
    }
  }
  if ((FCtrlZooming == czYAxis || FCtrlZooming == czBoth) && Y1 != Y2) {
    Series().ForceInit(true);
    Series().SetMode(cmScaling);
    const Integer Lower = std::max(Y1, Y2), Upper = std::min(Y1, Y2);
    for (Integer I = 0; I < Series().Count(); ++I) {
      TChartSerie& S = Series().Items(I);
      S.SetAutoRange(arDisabled);
      const double Lo = S.YToValue(Lower, SR), Hi = S.YToValue(Upper, SR);
      if (Hi - Lo > 1e-9) {
        S.SetMinimumValue(Lo);
        S.SetMaximumValue(Hi);
      }
    }
    FChart->InitializeChart(Canvas, FRectangle, 1, 1);
  }
}

void TChartPane::ScaleYAxes(Integer FromY, Integer ToY) {
  TVivIzudeView* V = ChartView();
  if (!V) return;
  const TUpdateGuard<TVivIzudeView> Update(*V);
  const TRect SR = Series().SeriesRectangle();
  for (Integer I = 0; I < Series().Count(); ++I) {
    TChartSerie& S = Series().Items(I);
    if (S.YScale() <= 1e-12 || S.YScale() >= 1e12) {
      const double D = (S.YToValue(FromY, SR) - S.YToValue(ToY, SR)) * S.YScale() * V->YAxisZoomSensitivity();
      S.SetMinimumValue(S.MinimumValue() - D);
      S.SetMaximumValue(S.MaximumValue() + D);
      continue;
    }
    Series().ForceInit(true);
    S.SetAutoRange(arDisabled);
    Series().SetMode(cmScaling);
    const double D = (S.YToValue(FromY, SR) - S.YToValue(ToY, SR)) * V->YAxisZoomSensitivity();
    S.SetMinimumValue(S.MinimumValue() - D);
    S.SetMaximumValue(S.MaximumValue() + D);
    V->DoYScaleZoom(this, I, S.MinimumValue(), S.MaximumValue(), S.YScale());
    FChart->InitializeChart(V->ScratchCanvas(), FRectangle, 1, 1);
  }
}

void TChartPane::ScrollYAxes(Integer FromY, Integer ToY) {
  TVivIzudeView* V = ChartView();
  if (!V) return;
  const TUpdateGuard<TVivIzudeView> Update(*V);
  const TRect SR = Series().SeriesRectangle();
  for (Integer I = 0; I < Series().Count(); ++I) {
    TChartSerie& S = Series().Items(I);
    if (S.AutoRange() != arDisabled) continue;
    Series().ForceInit(true);
    S.SetOffSet(FromY + S.OffSet() - ToY);
    const double D = (S.YToValue(FromY, SR) - S.YToValue(ToY, SR)) / V->YAxisZoomSensitivity();
    V->DoVerticalScroll(this, I, D, S.MaximumValue(), S.MinimumValue());
    Series().SetMode(cmVerticalScrolling);
    S.SetMinimumValue(S.MinimumValue() + D);
    S.SetMaximumValue(S.MaximumValue() + D);
  }
}

// ---------------------------------------------------------------- analytic series
void TChartPane::AddLineSerie(Integer StartX, Integer EndX, double StartValue, double EndValue, bool Common,
                              TColor LineColor, Integer LineWidth) {
  ::AddLineSerie(Series(), StartX, EndX, StartValue, EndValue, Common, LineColor, LineWidth);
}
void TChartPane::AddBandSerie(Integer StartX, Integer EndX, double StartValue1, double StartValue2, double EndValue1,
                              double EndValue2, bool Common, TColor LineColor, Integer LineWidth, TColor BandColor) {
  ::AddBandSerie(Series(), StartX, EndX, StartValue1, StartValue2, EndValue1, EndValue2, Common, LineColor, LineWidth,
                 BandColor);
}
void TChartPane::AddMovingAverage(Integer SerieIndex, Integer StartX, Integer EndX, Integer Window, bool Common,
                                  TColor LineColor, Integer LineWidth) {
  ::AddMovingAverage(Series(), SerieIndex, StartX, EndX, Window, Common, LineColor, LineWidth);
}
void TChartPane::AddParetoLine(Integer SerieIndex, Integer StartX, Integer EndX, bool Common, TColor LineColor,
                               Integer LineWidth) {
  ::AddParetoLine(Series(), SerieIndex, StartX, EndX, Common, LineColor, LineWidth);
}
void TChartPane::AddTrendLine(Integer SerieIndex, Integer StartX, Integer EndX, bool Common, TColor LineColor,
                              Integer LineWidth) {
  ::AddTrendLine(Series(), SerieIndex, StartX, EndX, Common, LineColor, LineWidth);
}
void TChartPane::AddTrendChannel(Integer SerieIndex, Integer StartX, Integer EndX, bool Common, TColor LineColor,
                                 Integer LineWidth) {
  ::AddTrendChannel(Series(), SerieIndex, StartX, EndX, Common, LineColor, LineWidth);
}
void TChartPane::AddTrendChannelBand(Integer SerieIndex, Integer StartX, Integer EndX, bool Common, TColor LineColor,
                                     Integer LineWidth, TColor BandColor) {
  ::AddTrendChannelBand(Series(), SerieIndex, StartX, EndX, Common, LineColor, LineWidth, BandColor);
}

// ---------------------------------------------------------------- panes
TChartPanes::TChartPanes(TVivIzudeView* AOwner, TItemFactory ItemClass)
    : TOwnedCollection(AOwner, std::move(ItemClass)), FView(AOwner) {}

void TChartPanes::Changed() {
  if (FView) FView->Invalidate();
}

void TChartPanes::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  Changed();
}

// ---------------------------------------------------------------- view
TVivIzudeView::TVivIzudeView(TComponent* AOwner) : TCustomControl(AOwner) {
  FTracker = std::make_unique<TChartTracker>(this);
  FTracker->OnChange = [this](TObject*) { Invalidate(); };
  FPanes = CreatePanes();
  FPanes->OnChange = [this](TObject*) { Changed(); };
  SetDoubleBuffered(true);
  SetBounds(Left(), Top(), 400, 300);
  OSVERSIONINFOW Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExW(&Info)) FWinXP = Info.dwMajorVersion > 5 || (Info.dwMajorVersion == 5 && Info.dwMinorVersion != 0);
#pragma GCC diagnostic pop
  FDesignTime = DesigningNow();
}

TVivIzudeView::~TVivIzudeView() {
  FTracker->ReleaseWindow();
  FreeToolBarPopup();
}

void TVivIzudeView::BeforeDestruction() {
  // The tracker's window goes before the view's owned components: it
  // reports its moves to the view, and the tracker keeps a pointer to it.
  FTracker->ReleaseWindow();
  FreeToolBarPopup();
  FActiveSerie = nullptr;
  TCustomControl::BeforeDestruction();
}

std::unique_ptr<TChartPanes> TVivIzudeView::CreatePanes() { return std::make_unique<TChartPanes>(this); }

void TVivIzudeView::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TVivIzudeView*>(Source);
  if (!S) return;
  SetColor(S->Color());
  FPanes->Assign(S->FPanes.get());
  FDragAlphaBlendValue = S->FDragAlphaBlendValue;
  FDragAlphaBlend = S->FDragAlphaBlend;
  FZoomColor = S->FZoomColor;
  FZoomStyle = S->FZoomStyle;
  FPanesSynched = S->FPanesSynched;
  FVerticalCrossHairsSynched = S->FVerticalCrossHairsSynched;
  FXAxisZoomSensitivity = S->FXAxisZoomSensitivity;
  FYAxisZoomSensitivity = S->FYAxisZoomSensitivity;
  FShowDesignHelper = S->FShowDesignHelper;
  FDesigntimeValues = S->FDesigntimeValues;
  FEnableInteraction = S->FEnableInteraction;
  Changed();
}

void TVivIzudeView::SetPanes(TChartPanes& Value) {
  if (&Value != FPanes.get()) FPanes->Assign(&Value);
  Changed();
}

Integer TVivIzudeView::FocusedPane() const { return Focused() ? FFocusedPane : -1; }

void TVivIzudeView::Changed() { Invalidate(); }

void TVivIzudeView::BeginUpdate() {
  for (Integer I = 0; I < FPanes->Count(); ++I) FPanes->Items(I)->BeginUpdate();
}

void TVivIzudeView::EndUpdate() {
  TPaintingScope Scope(*this);
  UpdatePaneRects();
  const TRect Client = FNonVisual ? TRect{0, 0, Width(), Height()} : ClientRect();
  Integer Top = Client.Top, Bottom = Client.Bottom;
  bool First = true;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane* P = FPanes->Items(I);
    if (P->Visible()) {
      // The splitter is painted by the next paint (this one invalidates).
      if (!First && P->Splitter().Visible()) Top += P->Splitter().Height();
      First = false;
      Bottom = Top + P->PixelHeight();
      P->Series().ForceInit(true);
    }
    P->EndUpdate(FScratch, {Client.Left, Top, Client.Right, Bottom});
    if (P->Visible()) Top = Bottom;
  }
  if (FTracker->Visible()) FTracker->DoAutoSize();
  Invalidate();
}

TChartPane* TVivIzudeView::GetPaneByID(Integer ID) const { return static_cast<TChartPane*>(FPanes->FindItemID(ID)); }

TChartPane* TVivIzudeView::GetPaneByName(const String& Name) const {
  for (Integer I = 0; I < FPanes->Count(); ++I)
    if (FPanes->Items(I)->Name() == Name) return FPanes->Items(I);
  return nullptr;
}

TChartSerie* TVivIzudeView::GetSerieByName(const String& Name) const {
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartSeries& S = FPanes->Items(I)->Series();
    for (Integer J = 0; J < S.Count(); ++J)
      if (S.Items(J).Name() == Name) return &S.Items(J);
  }
  return nullptr;
}

void TVivIzudeView::ClearPaneSeries() {
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartSeries& S = FPanes->Items(I)->Series();
    for (Integer J = 0; J < S.Count(); ++J) S.Items(J).ClearPoints();
  }
}

void TVivIzudeView::SetPanesRange(Integer RangeFrom, Integer RangeTo) {
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane* P = FPanes->Items(I);
    Integer M = RangeTo;
    for (Integer J = 0; J < P->Series().Count(); ++J) M = std::max(M, P->Series().Items(J).GetArraySize());
    P->Range().SetRangeFrom(RangeFrom);
    P->Range().SetRangeTo(RangeTo);
    P->Range().SetForceMaxRangeTo(false);
    P->Range().SetMaxRangeTo(M);
  }
}

void TVivIzudeView::SetAutoYAxisSize() {
  Integer L = 0, R = 0;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    L = std::max(L, FPanes->Items(I)->Chart().GetTotalYAxisLeftSize());
    R = std::max(R, FPanes->Items(I)->Chart().GetTotalYAxisRightSize());
  }
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    FPanes->Items(I)->YAxis().SetLeftSize(L);
    FPanes->Items(I)->YAxis().SetRightSize(R);
  }
}

TChartSeriePoint TVivIzudeView::XYToSeriePoint(Integer X, Integer Y, Integer Pane, bool& Found, bool Hover) {
  Found = Pane >= 0 && Pane < FPanes->Count();
  if (!Found) return {};
  return FPanes->Items(Pane)->Chart().GetSerieIndexAtXY(X, Y, Hover);
}

void TVivIzudeView::SetTracker(TChartTracker& Value) {
  if (&Value != FTracker.get()) FTracker->Assign(&Value);
  Changed();
}

void TVivIzudeView::TrackerMoved(Integer X, Integer Y) {
  if (OnTrackerMove) OnTrackerMove(this, X, Y);
  if (FTracker->UpdateCount() > 0 || Loading()) return;
  const TPoint Origin = Parent() ? Parent()->ClientOrigin() : ClientOrigin();
  FTracker->SetLeft(X - Origin.X);
  FTracker->SetTop(Y - Origin.Y);
}

void TVivIzudeView::CreateWnd() {
  TCustomControl::CreateWnd();
  if (FDesignTime && !FConstructed) InitSample();
  if (DesigningNow()) {
    RenewSampleValues();
  } else if (FTracker->Visible()) {
    // The tracker's window is made when it is first shown with a view window.
    FTracker->EnsureWindow();
  }
  FConstructed = true;
}

void TVivIzudeView::DoGetNumberOfPoints(TObject*, Integer Pane, Integer Serie, Integer& N) {
  if (!OnGetNumberOfPoints) return;
  if (Pane >= 0 && Pane < FPanes->Count() && Serie >= 0 && Serie < FPanes->Items(Pane)->Series().Count())
    FPanes->Items(Pane)->Series().Items(Serie).ClearPoints();
  OnGetNumberOfPoints(this, Pane, Serie, N);
}

void TVivIzudeView::DoGetPoint(TObject*, Integer Pane, Integer Serie, Integer AIndex, TChartPoint& APoint) {
  if (OnGetPoint) OnGetPoint(this, Pane, Serie, AIndex, APoint);
}

String TVivIzudeView::GetVersionString() const {
  const Cardinal V = GetVersionNr();
  return IntToStr(Integer((V >> 24) & 0xFF)) + u"." + IntToStr(Integer((V >> 16) & 0xFF)) + u"." +
         IntToStr(Integer((V >> 8) & 0xFF)) + u"." + IntToStr(Integer(V & 0xFF)) + u" APR, 2018";
}

void TVivIzudeView::UpdatePaneRects() {
  Integer Top = 0;
  bool First = true;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane* P = FPanes->Items(I);
    if (!P->Visible()) continue;
    if (!First && P->Splitter().Visible()) Top += P->Splitter().Height();
    First = false;
    const TRect R{0, Top, Width(), Top + P->PixelHeight()};
    P->SetRectangle(R);
    P->SetSeriesRect(P->Chart().LayoutSeriesArea(R, 1.0, 1.0));
    Top = R.Bottom;
  }
}

void TVivIzudeView::RenderPane(Integer Pane, TCanvas& Canvas, bool, TRect R) { PrintPane(Pane, Canvas, R); }

void TVivIzudeView::PrintPane(Integer Pane, TCanvas& Canvas, TRect R) {
  TChartPane* P = FPanes->Items(Pane);  // EListError for an index outside the panes
  TPaintingScope Scope(*this);
  int DX, DY;
  {
    const TWindowDC Screen(nullptr);
    DX = GetDeviceCaps(Screen.Get(), LOGPIXELSX);
    DY = GetDeviceCaps(Screen.Get(), LOGPIXELSY);
  }
  const double SX = DX > 0 ? double(GetDeviceCaps(Canvas.Handle(), LOGPIXELSX)) / DX : 1.0;
  const double SY = DY > 0 ? double(GetDeviceCaps(Canvas.Handle(), LOGPIXELSY)) / DY : 1.0;
  TVclChartCanvas C(Canvas);
  P->Draw(C, R, SX, SY, true);
  RestoreScreenLayout(*P);
}

void TVivIzudeView::RestoreScreenLayout(TChartPane& P) {
  // Hit tests read the geometry the last painting left: it is laid out for
  // the screen again, drawn on a canvas that draws nothing.
  TPaintingScope Scope(*this);
  P.Series().ForceInit(true);
  P.Chart().Draw(FScratch, P.GetPaneRectangle(), 1.0, 1.0, true);
  P.Series().ForceInit(true);
}

void TVivIzudeView::PaintPanes(TVclChartCanvas& C, TRect Client) {
  TPaintingScope Scope(*this);
  Integer Top = Client.Top;
  bool First = true;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane* P = FPanes->Items(I);
    if (!P->Visible()) continue;
    if (!First && P->Splitter().Visible()) {
      P->Splitter().Draw(C.Canvas(), {Client.Left, Top, Client.Right, Top});
      Top += P->Splitter().Height();
    }
    First = false;
    const TRect R{Client.Left, Top, Client.Right, Top + P->PixelHeight()};
    P->SetRectangle(R);
    // The chart is laid out on every paint: points change without notice
    // (the append family and ClearPoints notify nobody).
    P->Draw(C, R, 1.0, 1.0, true);
    P->SetSeriesRect(P->Series().SeriesRectangle());
    const bool CrossHair = P->CrossHairLines() && P->UpdateCount() == 0 && P->CrossHair().Visible();
    if (CrossHair) P->DrawCrossHairLines(C, P->SeriesRect());
    DrawPaneOverlay(C, I);
    if (CrossHair) P->DrawCrossHairValues(C);
    if (OnDrawPane) OnDrawPane(this, R, C.Canvas());
    Top = R.Bottom;
  }
}

void TVivIzudeView::Paint() {
  const TRect Client = ClientRect();
  TVclChartCanvas C(*Canvas());
  PaintPanes(C, Client);
  DrawDesignHelper(*Canvas());
  if (OnDrawChart) OnDrawChart(this, Client, *Canvas());
}

void TVivIzudeView::Resize() {
  TCustomControl::Resize();
  TPaintingScope Scope(*this);
  UpdatePaneRects();
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane* P = FPanes->Items(I);
    if (!P->Visible()) continue;
    P->Series().ForceInit(true);
    P->Chart().InitializeChart(FScratch, P->Rectangle(), 1.0, 1.0);
  }
  // Everything is laid out from the whole client area (a pie is centred in
  // it): the bits the system keeps from the former size are all stale.
  Invalidate();
}

void TVivIzudeView::DoLeftScroll(TObject*, Integer Pane, Integer Delta, Integer From, Integer To) {
  if (OnLeftScroll) OnLeftScroll(this, Pane, Delta, From, To);
}
void TVivIzudeView::DoRightScroll(TObject*, Integer Pane, Integer Delta, Integer From, Integer To) {
  if (OnRightScroll) OnRightScroll(this, Pane, Delta, From, To);
}
void TVivIzudeView::DoHorizontalScroll(TObject* Sender, Integer Pane, Integer Delta, Integer From, Integer To) {
  if (OnHorizontalScroll) OnHorizontalScroll(Sender, Pane, Delta, From, To);
}
void TVivIzudeView::DoVerticalScroll(TObject* Sender, Integer Pane, double Delta, double Max, double Min) {
  if (OnVerticalScroll) OnVerticalScroll(Sender, Pane, Delta, Max, Min);
}
void TVivIzudeView::DoXScaleZoom(TObject*, Integer Pane, double XScale) {
  if (OnXScaleZoom) OnXScaleZoom(this, Pane, XScale);
}
void TVivIzudeView::DoYScaleZoom(TObject*, Integer Pane, double Min, double Max, double YScale) {
  if (OnYScaleZoom) OnYScaleZoom(this, Pane, Min, Max, YScale);
}
void TVivIzudeView::DoSerieMouseDown(TObject* Sender, TMouseButton B, Integer P, Integer S, Integer I, double V,
                                     Integer X, Integer Y) {
  if (OnSerieMouseDown) OnSerieMouseDown(Sender, B, P, S, I, V, X, Y);
}
void TVivIzudeView::DoSerieMouseUp(TObject* Sender, TMouseButton B, Integer P, Integer S, Integer I, double V,
                                   Integer X, Integer Y) {
  if (OnSerieMouseUp) OnSerieMouseUp(Sender, B, P, S, I, V, X, Y);
}
void TVivIzudeView::DoAnnotationMouseDown(TObject* Sender, Integer P, Integer S, Integer A, Integer Pt) {
  if (OnAnnotationMouseDown) OnAnnotationMouseDown(Sender, P, S, A, Pt);
}
void TVivIzudeView::DoAnnotationMouseUp(TObject* Sender, Integer P, Integer S, Integer A, Integer Pt) {
  if (OnAnnotationMouseUp) OnAnnotationMouseUp(Sender, P, S, A, Pt);
}
void TVivIzudeView::DoAnnotationClick(TObject* Sender, Integer P, Integer S, Integer A, Integer Pt) {
  if (OnAnnotationClick) OnAnnotationClick(Sender, P, S, A, Pt);
}
void TVivIzudeView::DoZoomSelection(TObject* Sender, Integer P, Integer X1, Integer Y1, Integer X2, Integer Y2) {
  if (OnZoomSelection) OnZoomSelection(Sender, P, X1, Y1, X2, Y2);
}
void TVivIzudeView::DoPaneMoved(TObject*, Integer From, Integer To) {
  if (OnPaneMoved) OnPaneMoved(this, From, To);
}
void TVivIzudeView::DoPaneSelected(Integer Index) {
  if (OnPaneSelected) OnPaneSelected(this, Index);
}
void TVivIzudeView::DoPaneSized(Integer Current, Integer Moving, Integer& CurrentNewSize, Integer& MovingNewSize,
                                bool& Allow) {
  if (OnPaneSized) OnPaneSized(this, Current, Moving, CurrentNewSize, MovingNewSize, Allow);
}
