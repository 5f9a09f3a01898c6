#pragma once
// One data serie of a chart: its points and the append family, its settings
// with change notification, value ranges and derived values, geometry, and
// its settings section.
//
// Overloads: the append family takes a colour as TColor, a Boolean as bool,
// a text as String and a date-time ONLY as TChartDate (a distinct type), so
// a date can never be taken for a colour or a value, and a double passed
// where a colour or a Boolean is expected does not compile. The box-plot
// points are AddBoxPlotPoints rather than a fifth-value AddMultiPoints.
#include <functional>
#include <memory>

#include "chart/model/ChartSerieElements.h"

class TChartSeries;
class TVivIzude;

// A date-time argument of the append family.
struct TChartDate {
  explicit constexpr TChartDate(TDateTime AValue) : Value(AValue) {}
  TDateTime Value;
};

using TChartSerieSliceGetValueEvent =
    std::function<void(TObject* Sender, Integer Serie, const String& LegendText, double Value, Integer ValuePointIndex,
                       TPoint& ValuePosition, String& ValueString)>;
using TChartSerieDrawPointEvent =
    std::function<void(TObject* Sender, TChartCanvas& Canvas, TPoint APoint, const TChartPoint& AChartPoint)>;
using TChartXAxisDrawValueEvent =
    std::function<void(TObject* Sender, TChartSerie* Serie, TChartCanvas& Canvas, TRect ARect, Integer ValueIndex,
                       Integer XMarker, bool Top, bool& DefaultDraw)>;
using TChartAxisGetValueEvent = std::function<void(TObject* Sender, TChartSerie* Serie, double Value, String& AValue)>;
using TChartYAxisDrawValueEvent = std::function<void(TObject* Sender, TChartSerie* Serie, TChartCanvas& Canvas,
                                                     TRect ARect, double Value, bool Left, bool& DefaultDraw)>;
using TChartMarkerDrawEvent = std::function<void(TObject* Sender, TChartSerie* Serie, TChartCanvas& Canvas, Integer X,
                                                 Integer Y, Integer Point, const TChartPoint& Value)>;
using TChartGetBarValueTextEvent = std::function<void(TObject* Sender, Integer Serie, Integer PointIndex,
                                                      TChartFont& AFont, String& BarText, TAlignment& Alignment)>;
using TChartSerieMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, Integer PaneIndex, Integer SerieIndex, Integer Index,
                       double Value, Integer X, Integer Y)>;

class TChartSerie : public TChartPersistent {
public:
  // Creates the serie at the end of Collection (nullptr: a serie of no chart).
  explicit TChartSerie(TChartSeries* Collection);
  ~TChartSerie() override;
  void Assign(const TObject* Source) override;
  // Shares the source's points (until either changes their count) and copies
  // the append position, the redraw flag and the effective value range.
  void AssignPrivates(const TChartSerie& Source);
  String GetDisplayName() const;
  TChartSeries* Collection() const { return FCollection; }
  // The chart owning the collection, nullptr outside one.
  TVivIzude* Chart() const;
  // Position in the collection, -1 outside one.
  Integer Index() const;
  void MoveTo(Integer SerieIndex);

  // ----- points (none of these notifies)
  virtual TChartPoint GetPoint(Integer AIndex) const;
  virtual Integer GetPointsCount() const;
  TChartPoint GetChartPoint(Integer Index) const;
  TChartPoint GetChartPointFromDrawPoint(Integer Index) const;
  void GetDrawPoint(Integer Index, TPoint& Point) const;
  Integer GetArraySize() const { return GetPointsCount() - 1; }
  void SetArraySize(Integer Size);
  void ClearPoints();
  void RemovePoint(Integer PointIndex);
  // In-place updates; an index outside the stored points is ignored.
  void SetSinglePoint(double SinglePoint, Integer Index);
  void SetSingleDateTime(TChartDate SingleDateTime, Integer Index);
  void SetMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, Integer Index);
  const TChartPointArray& Points() const { return *FPoints; }
  // Changes stored point Index in place (seen by a serie sharing the store);
  // an index outside the store is ignored.
  template <class F>
  void UpdatePoint(Integer Index, F&& Fn) {
    if (Index >= 0 && Index < static_cast<Integer>(FPoints->size())) Fn((*FPoints)[Index]);
  }
  // The append position: the number of points the append family has taken
  // the store to. Follows every append, removal, clear and resize.
  Integer LastPoint() const { return FLastPoint; }
  Integer MaximumPoints() const { return FMaximumPoints; }
  void SetMaximumPoints(Integer V) { FMaximumPoints = V; }

  // The append family (see the header comment for the argument types).
  void AddSinglePoint(double SinglePoint);
  void AddSinglePoint(double SinglePoint, bool Defined);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime, bool Defined);
  void AddSinglePoint(double SinglePoint, TColor Color);
  void AddSinglePoint(double SinglePoint, TColor Color, bool Defined);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime, TColor Color);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime, TColor Color, bool Defined);
  void AddSinglePoint(double SinglePoint, const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, bool Defined, const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime, const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime, bool Defined, const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, TColor Color, const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, TColor Color, bool Defined, const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime, TColor Color, const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, TChartDate SingleDateTime, TColor Color, bool Defined,
                      const String& XAxisValue);
  void AddSinglePoint(double SinglePoint, TColor Color, TColor ColorTo, const String& XAxisValue);
  void AddSinglePoint(double SingleValueStart, double SingleValueEnd, const String& Text, TColor Color, TColor ColorTo,
                      TColor BorderColor, TColor TextColor, TChartGradientDirection GradientDirection);
  void AddSinglePoint(const String& Text, TChartDate SingleDateTimeStart, TChartDate SingleDateTimeEnd, TColor Color,
                      TColor ColorTo, TColor BorderColor, TColor TextColor, TChartGradientDirection GradientDirection);

  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, bool Defined);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, bool Defined);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime,
                        TChartDate SingleXDateTime);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TChartDate SingleXDateTime,
                        bool Defined);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TColor Color);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TColor Color, bool Defined);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TColor Color);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TColor Color,
                        bool Defined);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TChartDate SingleXDateTime,
                        TColor Color);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TChartDate SingleXDateTime,
                        TColor Color, bool Defined);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, bool Defined, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, bool Defined,
                        const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TChartDate SingleXDateTime,
                        const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TChartDate SingleXDateTime,
                        bool Defined, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TColor Color, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TColor Color, bool Defined, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TColor Color,
                        const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TColor Color, bool Defined,
                        const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TChartDate SingleXDateTime,
                        TColor Color, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TChartDate SingleDateTime, TChartDate SingleXDateTime,
                        TColor Color, bool Defined, const String& XAxisValue);
  void AddSingleXYPoint(double SingleXPoint, double SingleYPoint, TColor Color, TColor ColorTo,
                        const String& XAxisValue);

  void AddDoublePoint(double FirstPoint, double SecondPoint);
  void AddDoublePoint(double FirstPoint, double SecondPoint, bool Defined);
  void AddDoublePoint(double FirstPoint, double SecondPoint, TChartDate SingleDateTime);
  void AddDoublePoint(double FirstPoint, double SecondPoint, TChartDate SingleDateTime, bool Defined);
  void AddDoublePoint(double FirstPoint, double SecondPoint, TColor Color);
  void AddDoublePoint(double FirstPoint, double SecondPoint, TColor Color, bool Defined);
  void AddDoublePoint(double FirstPoint, double SecondPoint, TChartDate SingleDateTime, TColor Color);
  void AddDoublePoint(double FirstPoint, double SecondPoint, TChartDate SingleDateTime, TColor Color, bool Defined);
  void AddDoublePoint(double FirstPoint, double SecondPoint, const String& XAxisValue);

  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, bool Defined);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, TChartDate SingleDateTime);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, TChartDate SingleDateTime,
                        bool Defined);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, TColor Color);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, TColor Color, bool Defined);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, TChartDate SingleDateTime,
                        TColor Color);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, TChartDate SingleDateTime,
                        TColor Color, bool Defined);
  void AddDoubleXYPoint(double SingleXPoint, double FirstPoint, double SecondPoint, const String& XAxisValue);

  // Financial points: SingleValue is the close value in the first three
  // overloads, the high value in the others.
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint,
                      TChartDate SingleDateTime);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, const String& XAxisValue);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, bool Defined);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, TColor Color);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, TColor Color,
                      bool Defined);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, TChartDate SingleDateTime,
                      bool Defined);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, TChartDate SingleDateTime,
                      TColor Color);
  void AddMultiPoints(double HighPoint, double LowPoint, double OpenPoint, double ClosePoint, TChartDate SingleDateTime,
                      TColor Color, bool Defined);
  // Box-plot points (five values). Their own name: five numbers and four
  // numbers with a colour would otherwise differ only in a literal's type.
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, bool Defined);
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, TChartDate SingleDateTime);
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, TChartDate SingleDateTime,
                        bool Defined);
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, TColor Color);
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, TColor Color,
                        bool Defined);
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, TChartDate SingleDateTime,
                        TColor Color);
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, TChartDate SingleDateTime,
                        TColor Color, bool Defined);
  void AddBoxPlotPoints(double Minimum, double Q1, double Median, double Q3, double Maximum, const String& XAxisValue);

  void AddPoints(double SinglePoint, Integer PixelValue);
  void AddPoints(double SinglePoint, Integer PixelValue1, Integer PixelValue2);
  void AddPoints(double SinglePoint, Integer PixelValue1, Integer PixelValue2, bool Defined);
  void AddPoints(double SinglePoint, Integer PixelValue1, Integer PixelValue2, TChartDate SingleDateTime);
  void AddPoints(double SinglePoint, Integer PixelValue1, Integer PixelValue2, TChartDate SingleDateTime, bool Defined);

  void AddPiePoints(double SinglePoint, TColor Color, TColor ColorTo, Integer PieIndent, bool Defined);
  void AddPiePoints(double SinglePoint, const String& LegendValue, TColor Color, TColor ColorTo, Integer PieIndent,
                    bool Defined);
  void AddPiePoints(double SinglePoint, double RadiusValue, TColor Color, TColor ColorTo, Integer PieIndent,
                    bool Defined);
  void AddPiePoints(double SinglePoint, double RadiusValue, const String& LegendValue, TColor Color, TColor ColorTo,
                    Integer PieIndent, bool Defined);
  void AddChartPoint(const TChartPoint& Pt);

  // ----- settings (each setter stores a different value, then Changed)
  TChartType ChartType() const { return FChartType; }
  void SetChartType(TChartType V);
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  const String& Name() const { return FName; }
  void SetName(const String& V) {
    if (Store(FName, V)) Changed();
  }
  const String& LegendText() const { return FLegendText; }
  void SetLegendText(const String& V) {
    if (Store(FLegendText, V)) Changed();
  }
  bool ShowInLegend() const { return FShowInLegend; }
  void SetShowInLegend(bool V) {
    if (Store(FShowInLegend, V)) Changed();
  }
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer V) {
    if (V >= 0 && Store(FGroupIndex, V)) Changed();
  }
  Integer Tag() const { return FTag; }
  void SetTag(Integer V) { FTag = V; }
  TChartSerieAutoRange AutoRange() const { return FAutoRange; }
  void SetAutoRange(TChartSerieAutoRange V) {
    if (Store(FAutoRange, V)) Changed();
  }
  Integer RangePercentMargin() const { return FRangePercentMargin; }
  void SetRangePercentMargin(Integer V) {
    if (Store(FRangePercentMargin, V)) Changed();
  }
  double Maximum() const { return FMaximum; }
  void SetMaximum(double V) {
    if (Store(FMaximum, V)) Changed();
  }
  double Minimum() const { return FMinimum; }
  void SetMinimum(double V) {
    if (Store(FMinimum, V)) Changed();
  }
  bool Logarithmic() const { return FLogarithmic; }
  void SetLogarithmic(bool V) {
    if (Store(FLogarithmic, V)) Changed();
  }
  bool DrawFromStartDate() const { return FDrawFromStartDate; }
  void SetDrawFromStartDate(bool V) {
    if (Store(FDrawFromStartDate, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && Store(FGradientSteps, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor V) {
    if (Store(FLineColor, V)) Changed();
  }
  Integer LineWidth() const { return FLineWidth; }
  void SetLineWidth(Integer V) {
    if (V >= 0 && Store(FLineWidth, V)) Changed();
  }
  TPenStyle PenStyle() const { return FPenStyle; }
  void SetPenStyle(TPenStyle V) {
    if (Store(FPenStyle, V)) Changed();
  }
  TBrushStyle BrushStyle() const { return FBrushStyle; }
  void SetBrushStyle(TBrushStyle V) {
    if (Store(FBrushStyle, V)) Changed();
  }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V) {
    if (Store(FBorderColor, V)) Changed();
  }
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer V) {
    if (V >= 0 && Store(FBorderWidth, V)) Changed();
  }
  Integer BorderRounding() const { return FBorderRounding; }
  void SetBorderRounding(Integer V) {
    if (Store(FBorderRounding, V)) Changed();
  }
  TColor CandleColorIncrease() const { return FCandleColorIncrease; }
  void SetCandleColorIncrease(TColor V) {
    if (Store(FCandleColorIncrease, V)) Changed();
  }
  TColor CandleColorDecrease() const { return FCandleColorDecrease; }
  void SetCandleColorDecrease(TColor V) {
    if (Store(FCandleColorDecrease, V)) Changed();
  }
  TColor WickColor() const { return FWickColor; }
  void SetWickColor(TColor V) {
    if (Store(FWickColor, V)) Changed();
  }
  Integer WickWidth() const { return FWickWidth; }
  void SetWickWidth(Integer V) {
    if (V >= 0 && Store(FWickWidth, V)) Changed();
  }
  TColor ArrowColor() const { return FArrowColor; }
  void SetArrowColor(TColor V) {
    if (Store(FArrowColor, V)) Changed();
  }
  Integer ArrowSize() const { return FArrowSize; }
  void SetArrowSize(Integer V) {
    if (Store(FArrowSize, V)) Changed();
  }
  bool ZeroLine() const { return FZeroLine; }
  void SetZeroLine(bool V) {
    if (Store(FZeroLine, V)) Changed();
  }
  TColor ZeroLineColor() const { return FZeroLineColor; }
  void SetZeroLineColor(TColor V) {
    if (Store(FZeroLineColor, V)) Changed();
  }
  Integer ZeroLineWidth() const { return FZeroLineWidth; }
  void SetZeroLineWidth(Integer V) {
    if (V >= 0 && Store(FZeroLineWidth, V)) Changed();
  }
  double ZeroReferencePoint() const { return FZeroReferencePoint; }
  void SetZeroReferencePoint(double V) {
    if (Store(FZeroReferencePoint, V)) Changed();
  }
  TChartPicture& ChartPattern() { return FChartPattern; }
  const TChartPicture& ChartPattern() const { return FChartPattern; }
  void SetChartPattern(const TChartPicture& V) {
    if (&V != &FChartPattern) FChartPattern.Assign(V);
    Changed();
  }
  TChartBackGroundPosition ChartPatternPosition() const { return FChartPatternPosition; }
  void SetChartPatternPosition(TChartBackGroundPosition V) {
    if (Store(FChartPatternPosition, V)) Changed();
  }
  bool ShowValue() const { return FShowValue; }
  void SetShowValue(bool V) {
    if (Store(FShowValue, V)) Changed();
  }
  bool ShowValueInTracker() const { return FShowValueInTracker; }
  void SetShowValueInTracker(bool V) {
    if (Store(FShowValueInTracker, V)) Changed();
  }
  TChartFont& ValueFont() { return FValueFont; }
  const TChartFont& ValueFont() const { return FValueFont; }
  void SetValueFont(const TChartFont& V) {
    if (&V != &FValueFont) FValueFont = V;
    Changed();
  }
  Integer ValueAngle() const { return FValueAngle; }
  void SetValueAngle(Integer V) {
    if (Store(FValueAngle, V)) Changed();
  }
  const String& ValueFormat() const { return FValueFormat; }
  void SetValueFormat(const String& V) {
    if (Store(FValueFormat, V)) Changed();
  }
  TChartValueFormatType ValueFormatType() const { return FValueFormatType; }
  void SetValueFormatType(TChartValueFormatType V) {
    if (Store(FValueFormatType, V)) Changed();
  }
  TChartValueType ValueType() const { return FValueType; }
  void SetValueType(TChartValueType V) {
    if (Store(FValueType, V)) Changed();
  }
  Integer ValueWidth() const { return FValueWidth; }
  void SetValueWidth(Integer V) {
    if (Store(FValueWidth, V)) Changed();
  }
  TChartSerieValueWidthType ValueWidthType() const { return FValueWidthType; }
  void SetValueWidthType(TChartSerieValueWidthType V) {
    if (Store(FValueWidthType, V)) Changed();
  }
  Integer ValueOffsetX() const { return FValueOffsetX; }
  void SetValueOffsetX(Integer V) {
    if (Store(FValueOffsetX, V)) Changed();
  }
  Integer ValueOffsetY() const { return FValueOffsetY; }
  void SetValueOffsetY(Integer V) {
    if (Store(FValueOffsetY, V)) Changed();
  }
  bool Enable3D() const { return FEnable3D; }
  void SetEnable3D(bool V) {
    if (Store(FEnable3D, V)) Changed();
  }
  Integer Offset3D() const { return FOffset3D; }
  void SetOffset3D(Integer V) {
    if (Store(FOffset3D, V)) Changed();
  }
  bool Darken3D() const { return FDarken3D; }
  void SetDarken3D(bool V) {
    if (Store(FDarken3D, V)) Changed();
  }
  TChartBarShape BarShape() const { return FBarShape; }
  void SetBarShape(TChartBarShape V) {
    if (Store(FBarShape, V)) Changed();
  }
  TChartFont& BarValueTextFont() { return FBarValueTextFont; }
  void SetBarValueTextFont(const TChartFont& V) {
    if (&V != &FBarValueTextFont) FBarValueTextFont = V;
    Changed();
  }
  TAlignment BarValueTextAlignment() const { return FBarValueTextAlignment; }
  void SetBarValueTextAlignment(TAlignment V) {
    if (Store(FBarValueTextAlignment, V)) Changed();
  }
  TChartBarValueTextType BarValueTextType() const { return FBarValueTextType; }
  void SetBarValueTextType(TChartBarValueTextType V) {
    if (Store(FBarValueTextType, V)) Changed();
  }
  Integer SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(Integer V) {
    if (Store(FSelectedIndex, V)) Changed();
  }
  bool SelectedMark() const { return FSelectedMark; }
  void SetSelectedMark(bool V) {
    if (Store(FSelectedMark, V)) Changed();
  }
  TColor SelectedMarkColor() const { return FSelectedMarkColor; }
  void SetSelectedMarkColor(TColor V) {
    if (Store(FSelectedMarkColor, V)) Changed();
  }
  TColor SelectedMarkBorderColor() const { return FSelectedMarkBorderColor; }
  void SetSelectedMarkBorderColor(TColor V) {
    if (Store(FSelectedMarkBorderColor, V)) Changed();
  }
  Integer SelectedMarkSize() const { return FSelectedMarkSize; }
  void SetSelectedMarkSize(Integer V) {
    if (Store(FSelectedMarkSize, V)) Changed();
  }
  bool ShowAnnotationsOnTop() const { return FShowAnnotationsOnTop; }
  void SetShowAnnotationsOnTop(bool V) {
    if (Store(FShowAnnotationsOnTop, V)) Changed();
  }
  bool XAxisGroupsVisible() const { return FXAxisGroupsVisible; }
  void SetXAxisGroupsVisible(bool V) {
    if (Store(FXAxisGroupsVisible, V)) Changed();
  }
  Integer GanttHeight() const { return FGanttHeight; }
  void SetGanttHeight(Integer V) {
    if (Store(FGanttHeight, V)) Changed();
  }
  Integer GanttSpacing() const { return FGanttSpacing; }
  void SetGanttSpacing(Integer V) {
    if (Store(FGanttSpacing, V)) Changed();
  }
  TChartSerieFunnelMode FunnelMode() const { return FFunnelMode; }
  void SetFunnelMode(TChartSerieFunnelMode V) {
    if (Store(FFunnelMode, V)) Changed();
  }
  Integer FunnelWidth() const { return FFunnelWidth; }
  void SetFunnelWidth(Integer V) {
    if (Store(FFunnelWidth, V)) Changed();
  }
  Integer FunnelHeight() const { return FFunnelHeight; }
  void SetFunnelHeight(Integer V) {
    if (Store(FFunnelHeight, V)) Changed();
  }
  TChartSerieFunnelSizeType FunnelWidthType() const { return FFunnelWidthType; }
  void SetFunnelWidthType(TChartSerieFunnelSizeType V) {
    if (Store(FFunnelWidthType, V)) Changed();
  }
  TChartSerieFunnelSizeType FunnelHeightType() const { return FFunnelHeightType; }
  void SetFunnelHeightType(TChartSerieFunnelSizeType V) {
    if (Store(FFunnelHeightType, V)) Changed();
  }
  Integer FunnelSpacing() const { return FFunnelSpacing; }
  void SetFunnelSpacing(Integer V) {
    if (Store(FFunnelSpacing, V)) Changed();
  }
  bool UseFullRange() const { return FUseFullRange; }
  void SetUseFullRange(bool V) { FUseFullRange = V; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V) {
    if (Store(FReadOnly, V)) Changed();
  }
  TSerieType SerieType() const { return FSerieType; }
  void SetSerieType(TSerieType V) {
    if (Store(FSerieType, V)) Changed();
  }
  double YScale() const { return FYScale; }
  void SetYScale(double V);
  double OldYScale() const { return FOldYScale; }
  void SetOldYScale(double V) { FOldYScale = V; }
  double OriginalYScale() const { return FOriginalYScale; }
  void SetOriginalYScale(double V) {
    if (V > 0 && Store(FOriginalYScale, V)) Changed();
  }
  double OffSet() const { return FOffSet; }
  void SetOffSet(double V) {
    if (Store(FOffSet, V)) Changed();
  }
  Integer CrosshairFontHeight() const { return FCrosshairFontHeight; }
  bool ForceInit() const { return FForceInit; }
  void SetForceInit(bool V) { FForceInit = V; }

  TChartMarker& Marker() { return *FMarker; }
  const TChartMarker& Marker() const { return *FMarker; }
  TChartSeriePie& Pie() { return *FPie; }
  const TChartSeriePie& Pie() const { return *FPie; }
  TChartSeriePie& Funnel() { return *FPie; }
  TChartAnnotations& Annotations() { return *FAnnotations; }
  TChartSerieCrossHairYValue& CrossHairYValue() { return FCrossHairYValue; }
  TChartSerieXAxis& XAxis() { return FXAxis; }
  const TChartSerieXAxis& XAxis() const { return FXAxis; }
  TChartSerieYAxis& YAxis() { return FYAxis; }
  const TChartSerieYAxis& YAxis() const { return FYAxis; }
  TChartSerieXAxisGroups& XAxisGroups() { return *FXAxisGroups; }

  // ----- events
  TChartSerieSliceGetValueEvent OnSerieSliceGetValue;
  TChartSerieDrawPointEvent OnSerieDrawPoint;
  TChartXAxisDrawValueEvent OnXAxisDrawValue, OnXAxisDrawXValue;
  TChartAxisGetValueEvent OnXAxisGetValue, OnXAxisGetXValue, OnYAxisGetValue;
  TChartYAxisDrawValueEvent OnYAxisDrawvalue;
  TChartMarkerDrawEvent OnMarkerDrawValue;
  TChartGetBarValueTextEvent OnGetBarValueText;
  TChartSerieMouseEvent OnSerieMouseDown, OnSerieMouseUp;

  // ----- value range and derived values
  void SetMinMax(Integer RangeFrom, Integer RangeTo);
  double SerieMin() const { return FSerieMin; }
  double SerieMax() const { return FSerieMax; }
  void SetSerieMin(double V) { FSerieMin = V; }
  void SetSerieMax(double V) { FSerieMax = V; }
  double MinimumValue() const { return FMinimumValue; }
  double MaximumValue() const { return FMaximumValue; }
  void SetMinimumValue(double V) { FMinimumValue = V; }
  void SetMaximumValue(double V) { FMaximumValue = V; }
  double GetMaximumValue() const;
  double GetMaxPoints() const { return GetMaximumValue(); }
  double GetTotalPoints() const;
  // The total the slices of a pie share: defined points with a value above
  // 0 only, so undefined and negative points never distort the shares.
  double GetPieTotal() const;
  // Percentage text of a value against the pie total ("100" for the whole
  // total; "0" share texts for a zero total), formatted by ValueFormat.
  String GetPercentageValue(double SingleValue) const;
  // Formats a value with ValueFormat / ValueFormatType and the chart's
  // format settings.
  String FormatValue(double Value) const;
  double GetStackedValue(Integer I) const;
  String GetStackedValueString(Integer I) const;
  double GetStackedPercValue(double SV, Integer I) const;
  double GetStackedTotal(Integer I) const;
  double GetPrevSerieStackedValue(Integer PointIndex) const;
  double GetNextValuePyramid(Integer Idx, Integer I) const;
  double GetTotalSeriesValuePyramid(Integer I) const;
  TDateTime ConvertDateToXDate(TDateTime Date) const;
  TDateTime GetXTimeStamp(Integer ValueIndex) const;

  // ----- geometry
  bool IsHorizontal() const;
  bool IsPieLike() const { return IsPieLikeType(FChartType); }
  bool IsHalfType() const { return IsHalfChartType(FChartType); }
  bool Is3D() const { return FEnable3D && FOffset3D > 0; }
  Integer ValueToX(double Value, const TRect& R) const;
  double XToValue(Integer Value, const TRect& R) const;
  Integer ValueToY(double Value, const TRect& R) const;
  double YToValue(Integer Value, const TRect& R) const;
  TRect GetPieRectangle(Integer Index, const TRect& R) const;
  TPoint GetPieCenter(const TRect& Pbr) const;
  TPoint GetLegendCenter(const TRect& Pbr, Integer Width, Integer Height) const;
  TRect GetFunnelRectangle(const TRect& R) const;
  // Quadrant of P around C in screen coordinates: 0 upper right, 1 upper
  // left, 2 lower left, 3 lower right.
  static Integer GetQuadrant(double CX, double CY, double PX, double PY);
  // Whether the pixel lies in the slice with centre (CX, CY) between the
  // angles STA and SWA (degrees counter-clockwise on the screen, as the
  // slices are painted), within the pie and outside a ring's hole.
  bool PointInPie(double X, double Y, double CX, double CY, double STA, double SWA) const;
  static bool PointInFunnel(Integer X, Integer Y, const TFunnelPoint& Pt);
  Integer GetXYPoint(Integer X, Integer Y) const;
  Integer GetBarWidth(double ScaleX) const;
  Integer GetHistogramBarWidth(double ScaleX) const;
  Integer GetGanttOffset() const;
  // Height of one row of x-axis groups: the tallest caption of the visible
  // groups of that level plus twice their spacing; 0 without such groups.
  Integer GetXAxisGroupLevelHeight(Integer Level) const;
  // Font escapement of an axis caption, in tenths of a degree.
  static Integer GetAngle(const TChartXYAxisText& Text) { return Text.Angle() * -10; }
  Integer Get3DOffset() const { return FEnable3D ? FOffset3D : 0; }

  // ----- axis labels: the texts, steps and room of this serie's labels,
  // shared by the label painter, the layout and the hit tests
  // (ChartSerieAxisLabels.cpp).
  // The x label steps for the chart's XScale into Mu, Mi, MinimumDistance,
  // FirstPoint and NextPoint; "WW" is measured in the canvas's font. False
  // when the chart's XScale is 0 (no labels).
  bool ComputeXAxisSteps(TChartCanvas& Canvas);
  bool IsXMajorIndex(Integer ValueIndex) const { return Mu > 0 && ValueIndex % Mu == 0; }
  bool IsXMinorIndex(Integer ValueIndex) const {
    if (Mi <= 0 || ValueIndex % Mi != 0) return false;
    return Mu < 1 || ValueIndex % Mu != 0;
  }
  // The text of the x label of ValueIndex: a date by the unit's time format
  // or the index, replaced by the point's legend value (by the nearest XY
  // point's legend value for the XY types when NearestXText), then changed
  // by the x value events.
  String GetXAxisLabelText(Integer ValueIndex, bool Major, bool DrawCustomValues, bool NearestXText);
  // The room across the axis that the labels of one index need (+10).
  Integer GetXValueSize(TChartCanvas& Canvas, Integer Index, double ScaleX, double ScaleY, bool DrawCustomValues);
  // The room of this serie's x labels and x-axis groups; XYValuesSize gets
  // the part of the XY point labels. Leaves the label steps behind.
  Integer GetXAxisValuesSize(TChartCanvas& Canvas, Integer& XYValuesSize, double ScaleX, double ScaleY);
  // The legend value of the point whose x value is nearest to X (points
  // sorted by x); empty outside the points' span.
  void GetXValueText(double X, String& Text) const;
  // The room of the x labels of the series before this one on that side.
  Integer GetPreviousXAxesSize(bool Bottom) const;
  Integer GetPreviousXAxesSize2(bool Bottom) const { return GetPreviousXAxesSize(Bottom); }

  // One label of the y walk: its value, where it stands (a value for
  // ValueToY) and its text before OnYAxisGetValue. A logarithmic minor label
  // that would repeat its decade's major value is Skipped (no text, no tick).
  struct TYAxisLabel {
    double Value = 0;
    double Position = 0;
    bool Major = true;
    bool Skipped = false;
    String Text;
  };
  // The major and minor y steps for an area R (automatic from the label
  // font heights, else the axis's units; 1 for a logarithmic serie). Leaves
  // the canvas font at the minor font.
  void GetYAxisUnits(TChartCanvas& Canvas, TRect R, double& Major, double& Minor) const;
  // Walks the y labels from MinimumValue to MaximumValue with these steps;
  // Visit returns false to end the walk. Bounded, and nothing is walked for a
  // step that is not a positive number.
  void WalkYAxisLabels(double Major, double Minor, const std::function<bool(const TYAxisLabel&)>& Visit) const;
  // A y value as its label shows it (ValueFormat, else the plain number).
  String FormatYAxisValue(double Value) const;
  // The room across the axis of the labels and captions of the wider side.
  Integer GetYAxisValuesSize(TRect R, TChartCanvas& Canvas, double ScaleX, double ScaleY);
  // The room of the y labels of the series before this one on that side.
  Integer GetPreviousYAxesSize(bool RightSide) const;

  // ----- settings section
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartSerie>& Keys();
  virtual void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  virtual void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

  // ----- painting state, written by the painter and read by hit tests and
  // views; valid from one paint to the next.
  TPointArray DrawPoints;
  TPointArray DrawValuesDP;
  TPointArray SpiderV;
  TPointArray StackedPointsBar;
  TPointArray StackedPointsArea;
  std::vector<TSlicePoint> DrawValuesSlice;
  // Per point of a pie, the box of its value text as drawn; an empty box
  // for a text left out (it would overlap another or not fit its slice).
  std::vector<TRect> DrawValuesText;
  std::vector<TFunnelPoint> DrawValuesFunnel;
  std::vector<TBarRec> StackedRectsBar;
  TChartRegion ClipRgn;    // the series rectangle's clip region during painting
  TRect OldRect;           // rectangle of the last draw-point computation
  bool IsDrawing = false;  // guards against re-entrance through events
  Integer ItemIndex = -1;  // collection index noted for the painting
  Integer NearestPointIndex = -1;
  Integer LastXVal = 0;     // right end of the last date label written
  Integer LastXMarker = 0;  // position of the last date label's point
  // The x label steps (in point indices; 0: none) and the step search's
  // pixel distances, from the last measuring or painting.
  Integer Mu = 0, Mi = 0;
  double MinimumDistance = 0, FirstPoint = 0, NextPoint = 0;
  Integer XMarker = 0;  // pixel of the index being labelled
  bool DrawMajorValue = false, DrawMinorValue = false;

protected:
  // Replace an owned element from a subclass's constructor.
  void ReplaceMarker(std::unique_ptr<TChartMarker> V);
  void ReplacePie(std::unique_ptr<TChartSeriePie> V);
  void ReplaceAnnotations(std::unique_ptr<TChartAnnotations> V);

private:
  friend class TChartSeries;
  friend class TVivIzude;
  TChartPoint& AppendPoint();
  void FinishAppend();
  void DetachPoints();
  void WireElement(TChartPersistent& E);
  TChartSeries* FCollection;  // not owned; nullptr outside a chart

  std::shared_ptr<TChartPointArray> FPoints;
  Integer FLastPoint = 0;
  Integer FMaximumPoints = -1;

  std::unique_ptr<TChartMarker> FMarker;
  std::unique_ptr<TChartSeriePie> FPie;
  std::unique_ptr<TChartAnnotations> FAnnotations;
  TChartSerieCrossHairYValue FCrossHairYValue;
  TChartSerieXAxis FXAxis;
  TChartSerieYAxis FYAxis;
  std::unique_ptr<TChartSerieXAxisGroups> FXAxisGroups;
  TChartFont FValueFont, FBarValueTextFont;
  TChartPicture FChartPattern;

  TChartType FChartType = ctLine;
  bool FVisible = true;
  String FName, FLegendText;
  bool FShowInLegend = true;
  Integer FGroupIndex = 0, FTag = 0;
  TChartSerieAutoRange FAutoRange = arEnabled;
  Integer FRangePercentMargin = 5;
  double FMaximum = 0, FMinimum = 0;
  bool FLogarithmic = false, FDrawFromStartDate = true;
  TColor FColor = clRed, FColorTo = clNone;
  Integer FGradientSteps = 100;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  TColor FLineColor = clRed;
  Integer FLineWidth = 1;
  TPenStyle FPenStyle = psSolid;
  TBrushStyle FBrushStyle = bsSolid;
  TColor FBorderColor = clBlack;
  Integer FBorderWidth = 1, FBorderRounding = 0;
  TColor FCandleColorIncrease = clGreen, FCandleColorDecrease = clRed, FWickColor = clBlack;
  Integer FWickWidth = 1;
  TColor FArrowColor = clNone;
  Integer FArrowSize = 10;
  bool FZeroLine = false;
  TColor FZeroLineColor = clNone;
  Integer FZeroLineWidth = 1;
  double FZeroReferencePoint = 0;
  TChartBackGroundPosition FChartPatternPosition = bpTopLeft;
  bool FShowValue = false, FShowValueInTracker = true;
  Integer FValueAngle = 0;
  String FValueFormat = u"%g";
  TChartValueFormatType FValueFormatType = vftNormal;
  TChartValueType FValueType = cvNormal;
  Integer FValueWidth = 50;
  TChartSerieValueWidthType FValueWidthType = wtPercentage;
  Integer FValueOffsetX = 0, FValueOffsetY = 0;
  bool FEnable3D = false;
  Integer FOffset3D = 20;
  bool FDarken3D = true;
  TChartBarShape FBarShape = bsRectangle;
  TAlignment FBarValueTextAlignment = taLeftJustify;
  TChartBarValueTextType FBarValueTextType = btCustomValue;
  Integer FSelectedIndex = -1;
  bool FSelectedMark = false;
  TColor FSelectedMarkColor = clLime, FSelectedMarkBorderColor = clBlack;
  Integer FSelectedMarkSize = 8;
  bool FShowAnnotationsOnTop = false, FXAxisGroupsVisible = true;
  Integer FGanttHeight = 25, FGanttSpacing = 20;
  TChartSerieFunnelMode FFunnelMode = fmHeight;
  Integer FFunnelWidth = 80, FFunnelHeight = 80;
  TChartSerieFunnelSizeType FFunnelWidthType = fstPercentage, FFunnelHeightType = fstPercentage;
  Integer FFunnelSpacing = 0;
  bool FUseFullRange = false, FReadOnly = false;
  TSerieType FSerieType = stNormal;
  double FYScale = 0, FOldYScale = 0, FOriginalYScale = 0, FOffSet = 0;
  Integer FCrosshairFontHeight = 0;
  bool FForceInit = true;
  double FSerieMin = 0, FSerieMax = 0, FMinimumValue = 0, FMaximumValue = 0;
  String FFieldNameValue, FFieldNameXAxis;
};
