#pragma once
// The chart of one pane: owns its settings elements and series, funnels
// their change notification into one OnChange held back while updates are
// counted, lays itself out, runs its painting order on a canvas and answers
// hit tests on the geometry the last paint left.
#include <functional>
#include <memory>

#include "chart/model/ChartSeriePainter.h"
#include "chart/model/ChartSeries.h"
#include "rtl/FormatSettings.h"

using TChartDrawEvent = std::function<void(TObject* Sender, TRect ARect, TChartCanvas& ACanvas)>;
using TChartSerieXAxisCustomGroupEvent = std::function<void(
    TObject* Sender, Integer Pane, Integer Serie, Integer GroupIndex, TChartCanvas& Canvas, TRect R, bool& DrawText)>;
using TChartGetCountChartType = std::function<void(TObject* Sender, TChartType AChartType, Integer& ACount)>;
using TChartDrawGridPieLineValue =
    std::function<void(TObject* Sender, TChartSerie* ASerie, TChartCanvas& ACanvas, Integer ALineIndex,
                       double AStartAngle, double ASweepAngle, TPoint ACenter, Integer AX, Integer AY)>;
using TChartGetGridPieLineValue = std::function<void(TObject* Sender, TChartSerie* ASerie, Integer ALineIndex,
                                                     double AStartAngle, double ASweepAngle, String& AValue)>;
using TChartSerieGetNumberOfPoints = std::function<void(TObject* Sender, Integer Serie, Integer& ANumberOfPoints)>;
using TChartSerieGetPoint = std::function<void(TObject* Sender, Integer Serie, Integer AIndex, TChartPoint& APoint)>;
using TChartPaneRectangle = std::function<void(TVivIzude* Chart, TRect& PaneRect)>;

class TVivIzude : public TChartPersistent {
public:
  explicit TVivIzude(TObject* AOwner = nullptr);
  ~TVivIzude() override;
  // From another chart: the settings of every element and the series; not
  // the events, hooks, scales, owner or update counter.
  void Assign(const TObject* Source) override;
  // Silent while updates are counted.
  void Changed() override;
  TObject* Owner() const { return FOwner; }

  void BeginUpdate() { ++FUpdateCount; }
  // Counts down (never below 0); at 0 a chart with series is laid out again
  // for R. Does not notify.
  void EndUpdate(TChartCanvas& Canvas, TRect R);
  void ResetUpdate() { FUpdateCount = 0; }
  Integer UpdateCount() const { return FUpdateCount; }

  TChartAxisMode AxisMode() const { return FAxisMode; }
  void SetAxisMode(TChartAxisMode V) {
    if (Store(FAxisMode, V)) Changed();
  }
  bool GDIPDrawing() const { return FGDIPDrawing; }
  void SetGDIPDrawing(bool V) { FGDIPDrawing = V; }
  bool ForceInitYScale() const { return FForceInitYScale; }
  void SetForceInitYScale(bool V) { FForceInitYScale = V; }
  bool XScaleOffset() const { return FXScaleOffset; }
  void SetXScaleOffset(bool V) {
    if (Store(FXScaleOffset, V)) Changed();
  }
  double XScale() const { return FXScale; }
  void SetXScale(double V) {
    if (StoreFloat(FXScale, V)) Changed();
  }
  double GetXScaleStart() const { return FXScaleOffset ? FXScale / 2 : 0; }
  double SerieMinValue() const { return FSerieMinValue; }
  double SerieMaxValue() const { return FSerieMaxValue; }
  void SetSerieMinValue(double V) { FSerieMinValue = V; }
  void SetSerieMaxValue(double V) { FSerieMaxValue = V; }
  TSeriePoint& PointValue() { return FPointValue; }

  TChartBackground& Background() { return *FBackground; }
  TChartBands& Bands() { return *FBands; }
  TChartCrossHair& CrossHair() { return *FCrossHair; }
  TChartMargin& Margin() { return *FMargin; }
  TChartNavigator& Navigator() { return *FNavigator; }
  TChartLegend& Legend() { return *FLegend; }
  TChartRange& Range() { return *FRange; }
  const TChartRange& Range() const { return *FRange; }
  TChartSeries& Series() { return *FSeries; }
  const TChartSeries& Series() const { return *FSeries; }
  TChartTitle& Title() { return *FTitle; }
  TChartXAxis& XAxis() { return *FXAxis; }
  const TChartXAxis& XAxis() const { return *FXAxis; }
  TChartYAxis& YAxis() { return *FYAxis; }
  const TChartYAxis& YAxis() const { return *FYAxis; }
  TChartXGrid& XGrid() { return *FXGrid; }
  TChartYGrid& YGrid() { return *FYGrid; }

  // Painting of the series' own pieces; owned. Without one no serie is
  // painted (the model alone cannot paint chart types).
  IChartSeriePainter* SeriePainter() const { return FPainter.get(); }
  void SetSeriePainter(std::unique_ptr<IChartSeriePainter> Painter) { FPainter = std::move(Painter); }
  // Text metrics of the scratch canvases of layout and hit tests (not
  // owned; the fixed default when unset).
  const ITextMeasurer& TextMeasurer() const { return FMeasurer ? *FMeasurer : TFixedTextMeasurer::Default(); }
  void SetTextMeasurer(const ITextMeasurer* Measurer) { FMeasurer = Measurer; }
  // Number formatting of value texts and labels.
  const TFormatSettings& FormatSettings() const { return FFormatSettings; }
  void SetFormatSettings(const TFormatSettings& V) { FFormatSettings = V; }

  // ----- virtual data
  virtual void DoGetNumberOfPoints(Integer Serie, Integer& Count) const;
  virtual void DoGetPoint(Integer Serie, Integer AIndex, TChartPoint& APoint) const;

  virtual TChartIntersection SegmentIntersection(TPoint A1, TPoint A2, TPoint B1, TPoint B2) const;
  TRect SeriesRectangle(TRect, double, double) const { return FSeries->SeriesRectangle(); }

  // ----- layout and scales
  void InitializeChart(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void Initialize(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void CalculateYScale(TRect R, double ScaleX, double ScaleY);
  void SetMinMax();
  Integer GetMax3DOffset() const;
  Integer GetTotalXAxisSize(TRect R, bool Bottom) const;
  Integer GetTotalYAxisSize(TRect R, bool Right) const;
  Integer GetTotalYAxisLeftSize() const;
  Integer GetTotalYAxisRightSize() const;
  // The series area of pane rectangle R at the given scales (the layout's).
  TRect LayoutSeriesArea(TRect R, double ScaleX, double ScaleY) const;

  // ----- painting
  // Paints the chart into R; with Initialize the layout runs first (the
  // views always pass true: the layout runs again on every paint). Returns
  // the series area without the axis line widths.
  virtual TRect Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY, bool Initialize);
  virtual void DrawXAxis(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawZeroLine(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawToCanvas(TChartCanvas& Canvas, TRect R) { Draw(Canvas, R, 1, 1, true); }

  // ----- hit tests
  // Serie and point under the pixel. Selects the hit point unless Hover (a
  // hover test changes nothing and repaints nothing).
  TChartSeriePoint GetSerieIndexAtXY(Integer X, Integer Y, bool Hover = false);
  TChartSeriePoint XYToSeriePoint(Integer X, Integer Y, bool Hover = false) { return GetSerieIndexAtXY(X, Y, Hover); }
  TChartSeriePoint GetPieLegendItemAtXY(Integer X, Integer Y);
  TChartSerie* GetLegendItemAtXY(Integer X, Integer Y);
  TXAxisRangeValue GetXAxisValue(Integer X, Integer Y, TRect R) const;
  TYAxisRangeValue GetYAxisValue(Integer X, Integer Y, TRect R);

  // ----- events
  TChartDrawEvent OnDrawBackGround, OnDrawTitle, OnDrawXGrid, OnDrawNavigator, OnDrawLegend, OnDrawXValues,
      OnDrawYValues, OnDrawYGrid, OnDrawSeries, OnDrawXAxis, OnDrawYAxis, OnAfterDrawSeries, OnBeforeDrawSeries;
  TChartPaneRectangle GetPaneRectangle;
  TChartSerieXAxisCustomGroupEvent OnSerieXAxisGroup;
  TChartGetCountChartType OnGetCountChartType, OnGetCountGroupedChartType;
  TChartDrawGridPieLineValue OnDrawGridPieLineValue;
  TChartGetGridPieLineValue OnGetGridPieLineValue;
  TChartSerieGetNumberOfPoints OnGetNumberOfPoints;
  TChartSerieGetPoint OnGetPoint;

protected:
  // Subclasses (the GDI+ chart) replace elements from their constructor.
  void ReplaceLegend(std::unique_ptr<TChartLegend> V);
  void ReplaceBackground(std::unique_ptr<TChartBackground> V);
  void ReplaceSeries(std::unique_ptr<TChartSeries> V);

private:
  struct TBands {
    Integer L, Rt, T, B;
  };
  TBands GetBands() const;
  void Wire(TChartPersistent& Element);

  TObject* FOwner;  // not owned
  TChartAxisMode FAxisMode = amAxisChartWidthHeight;
  bool FGDIPDrawing = false;
  bool FForceInitYScale = false;
  bool FXScaleOffset = true;
  double FXScale = 0;
  double FSerieMinValue = 0, FSerieMaxValue = 0;
  TSeriePoint FPointValue;
  Integer FUpdateCount = 0;
  std::unique_ptr<TChartRange> FRange;
  std::unique_ptr<TChartSeries> FSeries;
  std::unique_ptr<TChartBackground> FBackground;
  std::unique_ptr<TChartBands> FBands;
  std::unique_ptr<TChartMargin> FMargin;
  std::unique_ptr<TChartXAxis> FXAxis;
  std::unique_ptr<TChartYAxis> FYAxis;
  std::unique_ptr<TChartTitle> FTitle;
  std::unique_ptr<TChartXGrid> FXGrid;
  std::unique_ptr<TChartYGrid> FYGrid;
  std::unique_ptr<TChartCrossHair> FCrossHair;
  std::unique_ptr<TChartNavigator> FNavigator;
  std::unique_ptr<TChartLegend> FLegend;
  std::unique_ptr<IChartSeriePainter> FPainter;
  const ITextMeasurer* FMeasurer = nullptr;
  TFormatSettings FFormatSettings = ::FormatSettings;
};
