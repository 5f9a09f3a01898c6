#pragma once
// The chart view control: a double-buffered window that stacks panes top
// down, each pane owning one chart of the chart model, with a splitter bar
// that may be drawn above a pane. The view lays its panes out, paints them,
// and passes the charts' requests on to its own events with the pane's
// index. The GDI+ view (VivIzudeViewGDIP.h) derives from it and replaces the
// classes of its panes, charts and series.
#include <functional>
#include <memory>
#include <vector>

#include "chart/model/ChartViewFiles.h"
#include "chart/paint/ChartSeriePainting.h"
#include "chart/view/ChartMetafile.h"
#include "chart/view/ChartOverlayWindow.h"
#include "chart/view/ChartVclCanvas.h"
#include "chart/view/VivIzudeToolBarPopupIntf.h"
#include "chart/view/VivIzudeTracker.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

class TVivIzudeView;
class TChartPane;

// A CSV file whose bad lines nobody listened for (the good ones are loaded).
QUORVEL_DECLARE_EXCEPTION(EChartCSVError, Exception);

using TBorderStyle = TFormBorderStyle;

// A banded gradient from FromColor to ToColor in Steps bands (0 counts as
// 1), with an optional border.
void DrawGradientRect(TCanvas& Canvas, TColor FromColor, TColor ToColor, Integer BorderWidth, TColor BorderColor,
                      bool Border, TChartGradientDirection Direction, TRect R, Integer Steps);

// ---------------------------------------------------------------- splitter
class TChartSplitter : public TPersistent {
public:
  TChartSplitter() = default;
  // From another splitter only (its settings, not its chart or handler).
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (V != FColor) FColor = V, Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (V != FColorTo) FColorTo = V, Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && V != FGradientSteps) FGradientSteps = V, Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (V != FGradientDirection) FGradientDirection = V, Changed();
  }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer V) {
    if (V >= 0 && V != FHeight) FHeight = V, Changed();
  }
  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor V) {
    if (V != FLineColor) FLineColor = V, Changed();
  }
  Integer LineWidth() const { return FLineWidth; }
  void SetLineWidth(Integer V) {
    if (V >= 0 && V != FLineWidth) FLineWidth = V, Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (V != FVisible) FVisible = V, Changed();
  }
  TVivIzude* Chart() const { return FChart; }
  void SetChart(TVivIzude* V) { FChart = V; }
  // The bar at R's top-left corner, R.Right wide and Height high.
  void Draw(TCanvas& Canvas, TRect R);
  virtual void Changed() {
    if (OnChange) OnChange(this);
  }
  TNotifyEvent OnChange;

private:
  TColor FColor = 0xC0C0C0;
  TColor FColorTo = clNone;
  Integer FGradientSteps = 100;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  Integer FHeight = 3;
  TColor FLineColor = clNone;
  Integer FLineWidth = 1;
  bool FVisible = false;
  TVivIzude* FChart = nullptr;  // not owned
};

// ---------------------------------------------------------------- pane
enum TPaneHeightType : Byte { htPixels, htPercentage, htAuto };
enum TPaneOptionType : Byte { poMoving, poHorzScroll, poVertScroll, poHorzScale, poVertScale };
using TPaneOptions = TSet<TPaneOptionType, Byte>;
enum TChartPaneCtrlZooming : Byte { czNone, czXAxis, czYAxis, czBoth };

class TChartPane : public TCollectionItem {
public:
  explicit TChartPane(TCollection* Collection);
  ~TChartPane() override;
  // Second step of construction, run by the pane collection: the chart is
  // made by the (overridable) CreateChart and wired to the pane.
  virtual void AfterConstruction();
  // From another pane: its settings and every chart element (see the .cpp
  // for the order).
  void Assign(TPersistent* Source) override;
  String DisplayName() const override { return FName; }

  // The view owning the pane's collection; nullptr without one.
  TVivIzudeView* ChartView() const;
  TVivIzude& Chart() const { return *FChart; }

  const String& Name() const { return FName; }
  void SetName(const String& V);
  double Height() const { return FHeight; }
  // Refused when below 0, above 100 for a percentage, or unchanged.
  void SetHeight(double V);
  TPaneHeightType HeightType() const { return FHeightType; }
  void SetHeightType(TPaneHeightType V);
  bool Visible() const { return FVisible; }
  void SetVisible(bool V);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle V);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V);
  Integer BorderWidth() const { return FBorderWidth; }
  // Values above 0 only.
  void SetBorderWidth(Integer V);
  TPaneOptions Options() const { return FOptions; }
  void SetOptions(TPaneOptions V) { FOptions = V; }
  TChartPaneCtrlZooming CtrlZooming() const { return FCtrlZooming; }
  void SetCtrlZooming(TChartPaneCtrlZooming V) { FCtrlZooming = V; }
  bool ZoomingTouchMode() const { return FZoomingTouchMode; }
  void SetZoomingTouchMode(bool V) { FZoomingTouchMode = V; }
  TChartSplitter& Splitter() const { return *FSplitter; }
  TChartAxisMode AxisMode() const { return FChart->AxisMode(); }
  void SetAxisMode(TChartAxisMode V);
  bool XScaleOffset() const { return FChart->XScaleOffset(); }
  void SetXScaleOffset(bool V) { FChart->SetXScaleOffset(V); }
  TComponent* DataSource() const { return FDS; }
  void SetDataSource(TComponent* V) { FDS = V; }

  // Chart elements, passed through to the pane's chart.
  TChartTitle& Title() const { return FChart->Title(); }
  TChartXAxis& XAxis() const { return FChart->XAxis(); }
  TChartYAxis& YAxis() const { return FChart->YAxis(); }
  TChartXGrid& XGrid() const { return FChart->XGrid(); }
  TChartYGrid& YGrid() const { return FChart->YGrid(); }
  TChartBackground& BackGround() const { return FChart->Background(); }
  TChartBands& Bands() const { return FChart->Bands(); }
  TChartCrossHair& CrossHair() const { return FChart->CrossHair(); }
  TChartLegend& Legend() const { return FChart->Legend(); }
  TChartMargin& Margin() const { return FChart->Margin(); }
  TChartNavigator& Navigator() const { return FChart->Navigator(); }
  TChartRange& Range() const { return FChart->Range(); }
  TChartSeries& Series() const { return FChart->Series(); }

  const TRect& Rectangle() const { return FRectangle; }
  void SetRectangle(const TRect& R) { FRectangle = R; }
  const TRect& SeriesRect() const { return FSeriesRect; }
  void SetSeriesRect(const TRect& R) { FSeriesRect = R; }
  bool Focused() const { return FFocused; }
  void SetFocused(bool V) { FFocused = V; }
  double OldHeight() const { return FOldHeight; }

  // Height in pixels on the screen: htPixels its Height; otherwise a share
  // of what the view's pixel panes and the splitters drawn between visible
  // panes leave.
  Integer PixelHeight() const;
  TRect GetPaneRectangle() const { return FRectangle; }
  void BeginUpdate();
  void EndUpdate(TChartCanvas& Canvas, TRect R);
  Integer UpdateCount() const { return FUpdateCount; }
  void Draw(TVclChartCanvas& ACanvas, TRect R, double ScaleX, double ScaleY, bool Initialize);
  void Draw(TVclChartCanvas& ACanvas, TRect R, bool Initialize) { Draw(ACanvas, R, 1.0, 1.0, Initialize); }
  TRect DrawChart(TVclChartCanvas& ACanvas, TRect R, double ScaleX, double ScaleY, bool Initialize);
  void SetMaxRangeTo(Integer Max) { FChart->Range().SetMaxRangeTo(Max); }
  // Refused as a whole when a scroll limit is set and either end lies outside it.
  void SetVisibleRange(Integer RangeFrom, Integer RangeTo);
  void MoveSerie(Integer From, Integer To);
  Integer FirstVisibleSerie() const;
  // The sample a designed view shows: a title, axis texts and three line
  // series of six random points each.
  void InitSample();

  // Derived series added to the pane's chart, computed once from the source
  // serie at the same point indices (ChartAnalyticSeries.h gives the rules
  // and the errors they raise).
  void AddLineSerie(Integer StartX, Integer EndX, double StartValue, double EndValue, bool UseCommonYRange,
                    TColor SerieLineColor, Integer SerieLineWidth);
  void AddBandSerie(Integer StartX, Integer EndX, double StartValue1, double StartValue2, double EndValue1,
                    double EndValue2, bool UseCommonYRange, TColor SerieLineColor, Integer SerieLineWidth,
                    TColor SerieBandColor);
  void AddMovingAverage(Integer SerieIndex, Integer StartX, Integer EndX, Integer Window, bool UseCommonYRange,
                        TColor SerieLineColor, Integer SerieLineWidth);
  void AddParetoLine(Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange, TColor SerieLineColor,
                     Integer SerieLineWidth);
  void AddTrendLine(Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange, TColor SerieLineColor,
                    Integer SerieLineWidth);
  void AddTrendChannel(Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange, TColor SerieLineColor,
                       Integer SerieLineWidth);
  void AddTrendChannelBand(Integer SerieIndex, Integer StartX, Integer EndX, bool UseCommonYRange,
                           TColor SerieLineColor, Integer SerieLineWidth, TColor SerieBandColor);

  // Crosshair state the interaction fills in.
  bool CrossHairLines() const { return FCrossHairLines; }
  void SetCrossHairLines(bool V);
  TPoint CrossHairPos;
  std::vector<TSeriePoint> CrossHairPoints;
  void DrawHorizontalCrossHair(TCanvas& Canvas, TRect R, Integer X, Integer Y);
  void DrawVerticalCrossHair(TCanvas& Canvas, TRect R, Integer X, Integer Y);
  // The crosshair: its lines within R (the series area), then the value
  // labels of the series under it.
  void DrawVerticalLines(TVclChartCanvas& Canvas, TRect R);
  void DrawCrossHairLines(TVclChartCanvas& Canvas, TRect R);
  void DrawCrossHairValues(TVclChartCanvas& Canvas);
  // The point of the serie under the crosshair; Found is false when the
  // crosshair is hidden or outside the area (nothing is looked up then).
  TChartPoint GetChartPointAtCrossHair(Integer SerieIndex, bool& Found);

  // Navigator scrolling and zooming, as the pane's timers and the view's
  // mouse handling run them.
  bool LeftNavigatorButtonDown = false, RightNavigatorButtonDown = false;
  bool MouseDownOnNavigator = false, OnNavigator = false, DragZoom = false, NormalZoom = false;
  Integer PixelsMoved = 0;
  TTimer& ScrollTimer() const { return *FScrollTimer; }
  TTimer& ZoomOutTimer() const { return *FZoomOutTimer; }
  void DoScrolling(Integer SynchedPane, Integer CurrentPane, bool Synched);
  void DoZoomOut(Integer SynchedPane, Integer CurrentPane, bool Synched);
  // X1, Y1 the press and X2, Y2 the release of a zoom rectangle.
  void DoZoomIn(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void ScaleYAxes(Integer FromY, Integer ToY);
  void ScrollYAxes(Integer FromY, Integer ToY);

  Integer Tag = 0;
  TNotifyEvent OnChange;  // not fired by the pane

  // The pane's section of a view's settings file: its own keys and its
  // chart's element sections below Section (ChartViewFiles.h gives the
  // layout). Loading reads each key with the current value as default.
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section, bool AutoCreateSeries);
  // The pane's own keys as the settings file holds them.
  TChartPaneKeys Keys() const;
  void ApplyKeys(const TChartPaneKeys& Keys);
  // Keys a pane class adds to the pane's section.
  virtual void SaveExtraKeys(TCustomIniFile&, const String& /*Section*/) const {}
  virtual void LoadExtraKeys(const TCustomIniFile&, const String& /*Section*/) {}

protected:
  // The pane's chart; the GDI+ pane returns its GDI+ chart.
  virtual std::unique_ptr<TVivIzude> CreateChart();
  // Wires the chart's hooks to the pane (also for a subclass's chart).
  void WireChart(TVivIzude& Chart);
  void ChartChanged();
  TChartPane* PaneAt(Integer Index) const;

private:
  std::unique_ptr<TVivIzude> FChart;
  std::unique_ptr<TChartSplitter> FSplitter;
  std::unique_ptr<TTimer> FScrollTimer, FZoomOutTimer;
  String FName;
  double FHeight = 100, FOldHeight = 0;
  TPaneHeightType FHeightType = htPercentage;
  bool FVisible = true;
  TBorderStyle FBorderStyle = bsSingle;
  TColor FBorderColor = clNone;
  Integer FBorderWidth = 1;
  TPaneOptions FOptions;
  TChartPaneCtrlZooming FCtrlZooming = czXAxis;
  bool FZoomingTouchMode = false;
  TComponent* FDS = nullptr;  // not owned, not used
  TRect FRectangle, FSeriesRect;
  bool FFocused = false;
  Integer FUpdateCount = 0;
  bool FCrossHairLines = false;
};

// ---------------------------------------------------------------- panes
class TChartPanes : public TOwnedCollection {
public:
  // Panes of class T: constructed, then AfterConstruction.
  template <class T>
  static TItemFactory PaneClass() {
    return [](TCollection* C) -> TCollectionItem* {
      auto* P = new T(C);
      P->AfterConstruction();
      return P;
    };
  }
  explicit TChartPanes(TVivIzudeView* AOwner, TItemFactory ItemClass = PaneClass<TChartPane>());
  TVivIzudeView* View() const { return FView; }
  TChartPane* Add() { return static_cast<TChartPane*>(TCollection::Add()); }
  TChartPane* Insert(Integer Index) { return static_cast<TChartPane*>(TCollection::Insert(Index)); }
  // EListError for an index outside the collection.
  TChartPane* Items(Integer Index) const { return static_cast<TChartPane*>(TCollection::Items(Index)); }
  void SetItems(Integer Index, TChartPane* Value) { Items(Index)->Assign(Value); }
  // Repaints the owning view.
  virtual void Changed();
  TNotifyEvent OnChange;  // set by the view; the collection does not fire it

protected:
  void Update(TCollectionItem* Item) override;

private:
  TVivIzudeView* FView;  // not owned
};

// ---------------------------------------------------------------- events
using TChartPaneDrawEvent = std::function<void(TObject* Sender, TRect ARect, TCanvas& ACanvas)>;
using TChartSeriesDrawEvent =
    std::function<void(TObject* Sender, TRect ARect, TChartCanvas& ACanvas, Integer APaneIndex)>;
using TViewSerieXAxisCustomGroupEvent = std::function<void(
    TObject* Sender, Integer Pane, Integer Serie, Integer GroupIndex, TChartCanvas& Canvas, TRect R, bool& DrawText)>;
using TViewGetNumberOfPointsEvent =
    std::function<void(TObject* Sender, Integer Pane, Integer Serie, Integer& ANumberOfPoints)>;
using TViewGetPointEvent =
    std::function<void(TObject* Sender, Integer Pane, Integer Serie, Integer AIndex, TChartPoint& APoint)>;
using TViewCrossHairValueEvent =
    std::function<void(TObject* Sender, const TSeriePoint& ACrosshairPoint, String& ACrossHairText)>;
using TViewScrollEvent =
    std::function<void(TObject* Sender, Integer Pane, Integer Delta, Integer RangeFrom, Integer RangeTo)>;
using TViewVerticalScrollEvent =
    std::function<void(TObject* Sender, Integer Pane, double Delta, double Max, double Min)>;
using TViewXScaleZoomEvent = std::function<void(TObject* Sender, Integer Pane, double XScale)>;
using TViewYScaleZoomEvent =
    std::function<void(TObject* Sender, Integer Pane, double SerieMin, double SerieMax, double YScale)>;
using TViewZoomSelectionEvent =
    std::function<void(TObject* Sender, Integer Pane, Integer StartX, Integer StartY, Integer EndX, Integer EndY)>;
using TViewPaneSelectedEvent = std::function<void(TObject* Sender, Integer FocusedPaneIndex)>;
using TViewPaneMovedEvent = std::function<void(TObject* Sender, Integer FromPosition, Integer ToPosition)>;
using TViewPaneSizedEvent = std::function<void(TObject* Sender, Integer CurrentPaneIndex, Integer MovingPaneIndex,
                                               Integer& CurrentNewSize, Integer& MovingNewSize, bool& Allow)>;
using TViewSerieMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, Integer PaneIndex,
                                                Integer SerieIndex, Integer Index, double Value, Integer X, Integer Y)>;
using TViewAnnotationEvent =
    std::function<void(TObject* Sender, Integer Pane, Integer Serie, Integer Annotation, Integer Point)>;
using TViewLegendClickEvent =
    std::function<void(TObject* Sender, Integer Pane, Integer Serie, const String& LegendText)>;
using TViewSerieIndexEvent = std::function<void(TObject* Sender, Integer Pane, Integer Serie, Integer PointIndex)>;
using TViewSerieIndexHintEvent =
    std::function<void(TObject* Sender, Integer Pane, Integer Serie, Integer PointIndex, String& Hint)>;
using TViewXAxisClickEvent = std::function<void(TObject* Sender, Integer Pane, Integer Serie, Integer RangeIndex)>;
using TViewYAxisClickEvent = std::function<void(TObject* Sender, Integer Pane, Integer Serie, const String& ValueStr,
                                                double Value, TYAxisRangeValueMode Mode)>;
using TViewTrackerCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TViewTrackerMoveEvent = std::function<void(TObject* Sender, Integer X, Integer Y)>;

// Which mouse action an annotation hit test answers.
enum TChartMouseState : Byte { cmsClick, cmsMouseDown, cmsMouseUp };

// ---------------------------------------------------------------- view
// ---------------------------------------------------------------- series tool-bar popup settings
enum TChartPopupActivateMode : Byte { amMouseLeft, amMouseRight, amBoth };

class TChartPopup : public TPersistent {
public:
  TChartPopup() = default;
  // From another popup settings object only.
  void Assign(TPersistent* Source) override;
  // Clicks on series show and hide the popup.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool V) { FEnabled = V; }
  TVivIzudeToolBarPopupOptions Options() const { return FOptions; }
  void SetOptions(TVivIzudeToolBarPopupOptions V) { FOptions = V; }
  TChartPopupActivateMode ActivateMode() const { return FActivateMode; }
  void SetActivateMode(TChartPopupActivateMode V) { FActivateMode = V; }
  bool DragGrip() const { return FDragGrip; }
  void SetDragGrip(bool V) { FDragGrip = V; }

private:
  bool FEnabled = false;
  TVivIzudeToolBarPopupOptions FOptions = AllToolBarPopupOptions;
  TChartPopupActivateMode FActivateMode = amBoth;
  bool FDragGrip = true;
};

class TVivIzudeView : public TCustomControl, public IVivIzudeToolBarPopup {
public:
  // No pane yet; a form adds the panes it describes (Panes().Add()).
  explicit TVivIzudeView(TComponent* AOwner);
  ~TVivIzudeView() override;
  // From another view: its settings and a copy of its panes.
  void Assign(TPersistent* Source) override;

  TChartPanes& Panes() const { return *FPanes; }
  void SetPanes(TChartPanes& Value);
  bool PanesSynched() const { return FPanesSynched; }
  void SetPanesSynched(bool V) {
    if (V != FPanesSynched) FPanesSynched = V, Changed();
  }
  bool VerticalCrossHairsSynched() const { return FVerticalCrossHairsSynched; }
  void SetVerticalCrossHairsSynched(bool V) {
    if (V != FVerticalCrossHairsSynched) FVerticalCrossHairsSynched = V, Changed();
  }
  double XAxisZoomSensitivity() const { return FXAxisZoomSensitivity; }
  // Values of 0 or less are refused.
  void SetXAxisZoomSensitivity(double V) {
    if (V > 0 && V != FXAxisZoomSensitivity) FXAxisZoomSensitivity = V, Changed();
  }
  double YAxisZoomSensitivity() const { return FYAxisZoomSensitivity; }
  void SetYAxisZoomSensitivity(double V) {
    if (V > 0 && V != FYAxisZoomSensitivity) FYAxisZoomSensitivity = V, Changed();
  }
  TColor ZoomColor() const { return FZoomColor; }
  void SetZoomColor(TColor V) {
    if (V != FZoomColor) FZoomColor = V, Changed();
  }
  TBrushStyle ZoomStyle() const { return FZoomStyle; }
  void SetZoomStyle(TBrushStyle V) {
    if (V != FZoomStyle) FZoomStyle = V, Changed();
  }
  bool DragAlphaBlend() const { return FDragAlphaBlend; }
  void SetDragAlphaBlend(bool V) {
    if (V != FDragAlphaBlend) FDragAlphaBlend = V, Changed();
  }
  Byte DragAlphaBlendValue() const { return FDragAlphaBlendValue; }
  void SetDragAlphaBlendValue(Byte V) {
    if (V != FDragAlphaBlendValue) FDragAlphaBlendValue = V, Changed();
  }
  TCursor ClickCursor() const { return FClickCursor; }
  void SetClickCursor(TCursor V) { FClickCursor = V; }
  bool ShowDesignHelper() const { return FShowDesignHelper; }
  void SetShowDesignHelper(bool V) {
    if (V != FShowDesignHelper) FShowDesignHelper = V, Changed();
  }
  bool DesigntimeValues() const { return FDesigntimeValues; }
  void SetDesigntimeValues(bool V) {
    if (V != FDesigntimeValues) FDesigntimeValues = V, Changed();
  }
  // Read-only text; writes are ignored.
  String Version() const { return GetVersionString(); }
  void SetVersion(const String&) {}
  bool EnableInteraction() const { return FEnableInteraction; }
  void SetEnableInteraction(bool V) { FEnableInteraction = V; }
  bool ForceCursor() const { return FForceCursor; }
  void SetForceCursor(bool V) { FForceCursor = V; }
  bool NonVisual() const { return FNonVisual; }
  void SetNonVisual(bool V) { FNonVisual = V; }
  // The focused pane while the control has the input focus, else -1.
  Integer FocusedPane() const;
  void SetFocusedPane(Integer V) { FFocusedPane = V; }
  bool IsWindowsXPOrLater() const { return FWinXP; }

  // Repaints the control; every property setter that stores calls it.
  virtual void Changed();
  void BeginUpdate();
  virtual void EndUpdate();

  TChartPane* GetPaneByID(Integer ID) const;
  TChartPane* GetPaneByName(const String& Name) const;
  TChartSerie* GetSerieByName(const String& Name) const;
  void ClearPaneSeries();
  void SetPanesRange(Integer RangeFrom, Integer RangeTo);
  void SetAutoYAxisSize();
  // The serie and point under the pixel in the pane; Found is false for a
  // pane index outside the panes (nothing is looked up then). Unless Hover,
  // the point found becomes its serie's selected point.
  TChartSeriePoint XYToSeriePoint(Integer X, Integer Y, Integer Pane, bool& Found, bool Hover = false);
  virtual void DoGetNumberOfPoints(TObject* Sender, Integer Pane, Integer Serie, Integer& ANumberOfPoints);
  virtual void DoGetPoint(TObject* Sender, Integer Pane, Integer Serie, Integer AIndex, TChartPoint& APoint);
  TCanvas* GetCanvas() const { return Canvas(); }
  virtual Cardinal GetVersionNr() const { return 0x04020106; }
  virtual String GetVersionString() const;

  // Lays the panes out in (0, 0, Width, Height).
  virtual void UpdatePaneRects();
  // Renders pane Pane into R of Canvas (printing); the base prints it.
  virtual void RenderPane(Integer Pane, TCanvas& Canvas, bool ThroughBitmap, TRect R);
  virtual void PrintPane(Integer Pane, TCanvas& Canvas, TRect R);
  // After a pane was drawn elsewhere (printing, pictures), its geometry is
  // laid out for the screen again.
  void RestoreScreenLayout(TChartPane& Pane);

  // The drawing surface and text metrics the panes' charts use outside a
  // paint (layouts, hit tests).
  TChartCanvas& ScratchCanvas() { return FScratch; }

  // Event hooks.
  virtual void DoLeftScroll(TObject* Sender, Integer Pane, Integer Delta, Integer RangeFrom, Integer RangeTo);
  virtual void DoRightScroll(TObject* Sender, Integer Pane, Integer Delta, Integer RangeFrom, Integer RangeTo);
  virtual void DoHorizontalScroll(TObject* Sender, Integer Pane, Integer Delta, Integer RangeFrom, Integer RangeTo);
  virtual void DoVerticalScroll(TObject* Sender, Integer Pane, double Delta, double Max, double Min);
  virtual void DoXScaleZoom(TObject* Sender, Integer Pane, double XScale);
  virtual void DoYScaleZoom(TObject* Sender, Integer Pane, double SerieMin, double SerieMax, double YScale);
  virtual void DoSerieMouseDown(TObject* Sender, TMouseButton Button, Integer PaneIndex, Integer SerieIndex,
                                Integer Index, double Value, Integer X, Integer Y);
  virtual void DoSerieMouseUp(TObject* Sender, TMouseButton Button, Integer PaneIndex, Integer SerieIndex,
                              Integer Index, double Value, Integer X, Integer Y);
  virtual void DoAnnotationMouseDown(TObject* Sender, Integer Pane, Integer Serie, Integer Annotation, Integer Point);
  virtual void DoAnnotationMouseUp(TObject* Sender, Integer Pane, Integer Serie, Integer Annotation, Integer Point);
  virtual void DoAnnotationClick(TObject* Sender, Integer Pane, Integer Serie, Integer Annotation, Integer Point);
  virtual void DoZoomSelection(TObject* Sender, Integer Pane, Integer StartX, Integer StartY, Integer EndX,
                               Integer EndY);
  virtual void DoPaneMoved(TObject* Sender, Integer FromPosition, Integer ToPosition);
  void DoPaneSelected(Integer FocusedPaneIndex);
  void DoPaneSized(Integer Current, Integer Moving, Integer& CurrentNewSize, Integer& MovingNewSize, bool& Allow);

  TChartPaneDrawEvent OnDrawPane, OnDrawChart;
  TChartSeriesDrawEvent OnBeforeDrawSeries, OnAfterDrawSeries;
  TViewSerieXAxisCustomGroupEvent OnSerieXAxisCustomGroup;
  TChartGetCountChartType OnGetCountChartType, OnGetCountGroupedChartType;
  TChartDrawGridPieLineValue OnDrawGridPieLineValue;
  TChartGetGridPieLineValue OnGetGridPieLineValue;
  TViewGetNumberOfPointsEvent OnGetNumberOfPoints;
  TViewGetPointEvent OnGetPoint;
  TViewCrossHairValueEvent OnGetCrossHairValue;
  TViewScrollEvent OnHorizontalScroll, OnLeftScroll, OnRightScroll;
  TViewVerticalScrollEvent OnVerticalScroll;
  TViewXScaleZoomEvent OnXScaleZoom;
  TViewYScaleZoomEvent OnYScaleZoom;
  TViewZoomSelectionEvent OnZoomSelection;
  TViewPaneSelectedEvent OnPaneSelected;
  TViewPaneMovedEvent OnPaneMoved;
  TViewPaneSizedEvent OnPaneSized;
  TViewSerieMouseEvent OnSerieMouseDown, OnSerieMouseUp;
  TViewAnnotationEvent OnAnnotationMouseDown, OnAnnotationMouseUp, OnAnnotationClick;
  TViewLegendClickEvent OnLegendClick;
  TViewSerieIndexEvent OnPieLegendClick, OnSerieIndexClick, OnSelectSerieIndex;
  TViewSerieIndexHintEvent OnSerieIndexHint;
  TViewXAxisClickEvent OnXAxisClick;
  TViewYAxisClickEvent OnYAxisClick;
  TViewTrackerCloseEvent OnTrackerClose;
  TViewTrackerMoveEvent OnTrackerMove;

  // The class factories; the GDI+ view returns its own classes.
  virtual std::unique_ptr<TChartPanes> CreatePanes();

  // ----- value tracker
  TChartTracker& Tracker() const { return *FTracker; }
  void SetTracker(TChartTracker& Value);
  // The tracker window was moved to X, Y (screen): its position is kept
  // relative to the view's parent.
  void TrackerMoved(Integer X, Integer Y);

  // ----- interaction (VivIzudeInteraction.cpp)
  // The screen cursor, unless ForceCursor; a cursor the program set (not
  // the view) is left alone.
  void SetScreenCursor(TCursor Cursor);
  // A press or release on a serie point's marker square of the focused pane:
  // selects the point and fires OnSerieMouseDown / OnSerieMouseUp.
  bool IsYPositionChartPoint(Integer X, Integer Y, bool MouseDown, TMouseButton Button);
  // The annotations of the focused pane under the position fire their event.
  bool IsYPosChartAnnotation(TPoint MousePos, TChartMouseState State);
  bool IsOnNavigatorLeftButton(Integer X, Integer Y);
  bool IsOnNavigatorRightButton(Integer X, Integer Y);
  // Zooms the x range of pane PaneIndex by dragging an axis (or the
  // navigator) from From to To.
  void ZoomXAxisByDrag(Integer PaneIndex, Integer To, Integer From);
  // The crosshair points of a pane for the mouse at X, Y.
  void FillCrossHairPoints(TChartPane& Pane, Integer X, Integer Y);
  // The mouse over the tracker window, in the view's client coordinates.
  void ForwardMouseMove(TShiftState Shift, Integer X, Integer Y) { MouseMove(Shift, X, Y); }
  // The rubber bands and the pane drag image while a gesture runs (nullptr
  // otherwise), and what the mouse last hovered.
  const TChartOverlayWindow* ZoomWindow() const { return FZoomWindow.get(); }
  const TChartOverlayWindow* RegionWindow() const { return FRegionWindow.get(); }
  const TChartOverlayWindow* DragWindow() const { return FDragWindow.get(); }
  TChartSeriePoint HintPoint() const { return FHintPoint; }
  Integer PaneUnderMouse() const { return FPaneUnderMouse; }
  bool Loading() const { return FLoading > 0; }

  // ----- files, printing and pictures (VivIzudeViewFiles.cpp)
  // The settings file: the view's section (its Name), the tracker's, one
  // per pane. Loading reads each key with the current value as default and
  // never writes the file.
  virtual void SaveToFile(const String& FileName);
  virtual void LoadFromFile(const String& FileName, bool AutoCreatePanes = false, bool AutoCreateSeries = false);
  // The points of every serie of every pane as CSV. Loading keeps every
  // good line; bad lines are reported to OnCSVLoadError, or raise
  // EChartCSVError (after loading the rest) when nobody listens.
  void SaveToCSV(const String& FileName);
  TChartCSVLoadResult LoadFromCSV(const String& FileName, bool CreateChart);
  std::function<void(TObject* Sender, const TChartCSVLoadResult& Result)> OnCSVLoadError;
  // The visible panes stacked without splitters into Height rows: each
  // pane's share is its pixel height among the visible panes' pixel heights
  // (equal shares when those are all 0), and together they fill every row.
  // Top is counted from the first row of the stack.
  struct TStackedPane {
    Integer Index, Top, Height;
  };
  std::vector<TStackedPane> StackedPanes(Integer Height) const;
  // Every visible pane stacked into R of Canvas (StackedPanes).
  void PrintAllPanes(TCanvas& Canvas, TRect R);
  double GetPrintScale(TCanvas& Canvas);
  // Pictures of Width x Height of the visible panes stacked (the caller
  // owns them), or of one pane, visible or not, filling the picture.
  virtual std::unique_ptr<TBitmap> GenerateBitmap(Integer Width, Integer Height);
  void SaveAllPanesToBitmap(const String& FileName, Integer Width, Integer Height);
  void SavePaneToBitmap(Integer Pane, const String& FileName, Integer Width, Integer Height);
  std::unique_ptr<TChartMetafile> CreateMetaFile(Integer Width, Integer Height);
  std::unique_ptr<TChartMetafile> CreateMetaFile(Integer Pane, Integer Width, Integer Height);

  // True while the panes are painted or laid out: the charts' own changes
  // then (scales the layout stores) repaint nothing.
  bool Painting() const { return FPainting > 0; }

  // The pane whose timers the view is running (set by the interaction).
  Integer CurrentPane = -1;

  // ----- design time (VivIzudeDesign.cpp)
  // Set at creation when the view is made in a form being designed (not
  // read from a form description); never in a running program.
  bool DesignTime() const { return FDesignTime; }
  // False until the first window creation has ended.
  bool Constructed() const { return FConstructed; }
  // One pane with the sample content in place of all panes.
  void InitSample();
  // The helper box in the bottom-right corner while designing.
  void DrawDesignHelper(TCanvas& Canvas);
  // The helper part at X, Y: 1 the sample-values line, 3 the close cross,
  // -1 none.
  Integer DesignHelperHitTest(Integer X, Integer Y);
  // The mouse released at X, Y while designing.
  void DesignHelperClick(Integer X, Integer Y);
  // The helper part under the mouse at the last design hit test.
  Integer LastDesignChoice() const { return FLastDesignChoice; }

  // ----- series tool-bar popup (VivIzudeToolBarPopupBinding.cpp)
  TChartPopup& Popup() const { return *FPopup; }
  void SetPopup(TChartPopup& Value) { FPopup->Assign(&Value); }
  // The popup, made on first use; nullptr when the program registered no
  // popup (RegisterToolBarPopupCreator). Every call passes the settings'
  // options and drag grip on.
  IVivIzudeToolBarPopupControl* ToolBarPopup();
  bool HasToolBarPopup() const { return FToolBarPopup != nullptr; }
  // The serie the popup edits; nullptr when none.
  TChartSerie* ActiveSerie() const { return FActiveSerie; }
  void ShowToolBarPopupAtSeries(TChartSerie* ASerie);
  // At the client point X, Y.
  void ShowToolBarPopupAt(Integer X, Integer Y, TChartSerie* ASerie);
  void HideToolBarPopup();
  // Copies the active serie's settings into the popup.
  void UpdateToolBarPopup();
  virtual void AddToolBarPopupCustomControl(TControl* AControl, Integer AIndex = -1);
  virtual TControl* AddToolBarPopupCustomControlClass(const std::function<TControl*(TComponent*)>& AControlClass,
                                                      Integer AIndex = -1);
  virtual TControl* AddToolBarPopupButton(float AWidth = -1, float AHeight = -1, const String& AResource = u"",
                                          const String& AResourceLarge = u"", const String& AText = u"",
                                          Integer AIndex = -1);
  virtual TControl* AddToolBarPopupSeparator(Integer AIndex = -1);
  virtual TControl* AddToolBarPopupFontNamePicker(Integer AIndex = -1);
  virtual TControl* AddToolBarPopupFontSizePicker(Integer AIndex = -1);
  virtual TControl* AddToolBarPopupColorPicker(Integer AIndex = -1);
  virtual TControl* AddToolBarPopupItemPicker(Integer AIndex = -1);
  virtual TControl* AddToolBarPopupBitmapPicker(Integer AIndex = -1);
  // The popup's choices, applied to the active serie.
  void SeriesMarkerFillColorSelected(TColor AColor) override;
  void SeriesMarkerSizeSelected(Integer ASize) override;
  void SeriesFillColorSelected(TColor AColor) override;
  void SeriesLineColorSelected(TColor AColor) override;
  void SeriesTypeSelected(TVivIzudeToolBarPopupSeriesType AType) override;
  void SeriesLineStyleSelected(TVivIzudeToolBarPopupSeriesLineStyle AStyle) override;
  void SeriesLineWidthSelected(Integer AWidth) override;
  void SeriesMarkerTypeSelected(TVivIzudeToolBarPopupSeriesMarkerType AType) override;
  void SeriesLabelTypeSelected(TVivIzudeToolBarPopupSeriesLabelType AType) override;
  void SeriesSelected(Integer AItemIndex) override;
  void SeriesDownClicked() override;
  void SeriesUpClicked() override;
  TNotifyEvent OnToolBarPopupActivate, OnToolBarPopupDeactivate;

protected:
  // A subclass's constructor installs its own (still empty) collection.
  void ReplacePanes(std::unique_ptr<TChartPanes> Panes) { FPanes = std::move(Panes); }
  void Paint() override;
  void Resize() override;
  void CreateWnd() override;
  void BeforeDestruction() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Click() override;
  void DoEnter() override;
  void DoExit() override;
  void HintShow(THintInfo& Info) override;
  // The chart's canvas over the control's canvas for one paint.
  void PaintPanes(TVclChartCanvas& Canvas, TRect Client);
  // Painted over a pane after its chart and its crosshair lines, under the
  // crosshair's value labels (nothing here).
  virtual void DrawPaneOverlay(TVclChartCanvas& Canvas, Integer Pane) { (void)Canvas, (void)Pane; }

private:
  friend class TChartViewStore;
  // Designed now: designed, and not read from a form description.
  bool DesigningNow() const;
  void DesignHitTest(TMessage& Message);
  // Every serie of every pane gets six new random sample points.
  void RenewSampleValues();
  // The helper's text height and the width of its sample-values text.
  TSize DesignHelperMetrics();
  // Yes or No to the question; true on Yes.
  bool ConfirmDesignChange(const String& Question);
  // Interaction steps (VivIzudeInteraction.cpp).
  void NavigatorPress(TChartPane& P, TShiftState Shift, Integer X);
  void DragGestures(TChartPane& P, TShiftState Shift, Integer X, Integer Y);
  void SplitterDrag(Integer Y);
  void ClickableCursor(Integer X, Integer Y);
  void ClickEvents(TMouseButton Button, Integer X, Integer Y);
  void EndGesture(TShiftState Shift, Integer X, Integer Y);
  void FocusPane(Integer Index);
  Integer SplitterHeightOf(const TChartPane& P) const;
  bool InPaneBand(const TChartPane& P, Integer Y) const;

  std::unique_ptr<TChartPanes> FPanes;
  std::unique_ptr<TChartTracker> FTracker;
  std::unique_ptr<TChartPopup> FPopup = std::make_unique<TChartPopup>();
  // Drives the popup component, which the view owns as its component owner.
  std::unique_ptr<IVivIzudeToolBarPopupControl> FToolBarPopup;
  TChartSerie* FActiveSerie = nullptr;  // not owned
  void FreeToolBarPopup();
  TMeasuringCanvas FScratch{TGdiTextMeasurer::Screen()};
  // Interaction state.
  TPoint FPress, FRelease, FDragStart;
  Integer FRegionTop = 0, FRegionBottom = 0, FDragClickY = 0;
  Integer FPaneUnderMouse = 0;
  bool FCaptured = false, FSplitterDrag = false, FPressedOnAxis = false, FPressedOnSerie = false;
  Integer FMovingPane = -1, FMovingPaneHeight = 0, FCurrentPaneHeight = 0, FSplitterPressY = 0, FSplitterHeight = 0;
  Integer FDragWindowTop = 0;
  std::unique_ptr<TChartOverlayWindow> FDragWindow, FZoomWindow, FRegionWindow;
  TChartSeriePoint FHintPoint;
  Integer FLoading = 0;
  bool FCursorSet = false;
  TCursor FCursorShown = crDefault;
  bool FPanesSynched = false, FVerticalCrossHairsSynched = false;
  double FXAxisZoomSensitivity = 1.0, FYAxisZoomSensitivity = 1.0;
  TColor FZoomColor = clNone;
  TBrushStyle FZoomStyle = bsSolid;
  bool FDragAlphaBlend = false;
  Byte FDragAlphaBlendValue = 255;
  TCursor FClickCursor = crDefault;
  bool FShowDesignHelper = true, FDesigntimeValues = true;
  bool FEnableInteraction = true, FForceCursor = false, FNonVisual = false;
  Integer FFocusedPane = 0;
  bool FWinXP = false;
  bool FDesignTime = false, FConstructed = false;
  Integer FLastDesignChoice = -1;
  Integer FPainting = 0;
  friend class TPaintingScope;
};

// Marks the view as painting for the scope's lifetime.
class TPaintingScope {
public:
  explicit TPaintingScope(TVivIzudeView& View) : FView(View) { ++FView.FPainting; }
  ~TPaintingScope() { --FView.FPainting; }
  TPaintingScope(const TPaintingScope&) = delete;
  TPaintingScope& operator=(const TPaintingScope&) = delete;

private:
  TVivIzudeView& FView;
};
