#pragma once
// Enumerations and plain records shared by the chart model, the canvas
// painters and the views. Ordinals are part of the settings-file format:
// never reorder.
#include <vector>

#include "rtl/Geometry.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

enum TChartType : Byte {
  ctNone,
  ctLine,
  ctArea,
  ctBar,
  ctLineBar,
  ctHistogram,
  ctLineHistogram,
  ctCandleStick,
  ctLineCandleStick,
  ctOHLC,
  ctMarkers,
  ctStackedBar,
  ctStackedArea,
  ctStackedPercArea,
  ctStackedPercBar,
  ctError,
  ctArrow,
  ctScaledArrow,
  ctBubble,
  ctScaledBubble,
  ctPie,
  ctHalfPie,
  ctDonut,
  ctHalfDonut,
  ctBand,
  ctSpider,
  ctHalfSpider,
  ctVarRadiusPie,
  ctVarRadiusHalfPie,
  ctVarRadiusDonut,
  ctVarRadiusHalfDonut,
  ctSizedPie,
  ctSizedHalfPie,
  ctSizedDonut,
  ctSizedHalfDonut,
  ctDigitalLine,
  ctBoxPlot,
  ctRenko,
  ctXYLine,
  ctXYMarkers,
  ctGantt,
  ctFunnel,
  ctXYDigitalLine
};
inline constexpr int ChartTypeCount = 43;

// Families of chart types.
constexpr bool IsPieLikeType(TChartType T) {
  return (T >= ctPie && T <= ctHalfDonut) || (T >= ctSpider && T <= ctSizedHalfDonut) || T == ctFunnel;
}
constexpr bool IsHalfChartType(TChartType T) {
  return T == ctHalfPie || T == ctHalfDonut || T == ctHalfSpider || T == ctVarRadiusHalfPie ||
         T == ctVarRadiusHalfDonut || T == ctSizedHalfPie || T == ctSizedHalfDonut;
}
constexpr bool IsRingType(TChartType T) {
  return T == ctDonut || T == ctHalfDonut || T == ctVarRadiusDonut || T == ctVarRadiusHalfDonut || T == ctSizedDonut ||
         T == ctSizedHalfDonut;
}
constexpr bool IsSizedType(TChartType T) {
  return T == ctSpider || T == ctHalfSpider || (T >= ctSizedPie && T <= ctSizedHalfDonut);
}
constexpr bool IsVarRadiusType(TChartType T) { return T >= ctVarRadiusPie && T <= ctVarRadiusHalfDonut; }
constexpr bool IsSpiderType(TChartType T) { return T == ctSpider || T == ctHalfSpider; }
// The polar types whose y grid and y values are drawn as a pie grid.
constexpr bool IsPolarGridType(TChartType T) { return T >= ctSpider && T <= ctSizedHalfDonut; }
constexpr bool IsXYType(TChartType T) { return T == ctXYLine || T == ctXYMarkers || T == ctXYDigitalLine; }
constexpr bool IsStackedType(TChartType T) { return T >= ctStackedBar && T <= ctStackedPercBar; }
constexpr bool IsBarType(TChartType T) {
  return T == ctBar || T == ctLineBar || T == ctHistogram || T == ctLineHistogram || T == ctStackedBar ||
         T == ctStackedPercBar;
}

enum TChartGradientDirection : Byte { cgdHorizontal, cgdVertical };
enum TVerticalAlignment : Byte { taAlignTop, taAlignBottom, taVerticalCenter };
enum TChartLegendAlignment : Byte {
  laTopLeft,
  laTopRight,
  laTopCenter,
  laCenterLeft,
  laCenterRight,
  laCenterCenter,
  laBottomLeft,
  laBottomRight,
  laBottomCenter,
  laCustom
};
enum TChartBackGroundPosition : Byte {
  bpTopLeft,
  bpTopRight,
  bpBottomLeft,
  bpBottomRight,
  bpTiled,
  bpStretched,
  bpCenter
};
enum TTitlePosition : Byte { tTop, tBottom, tBoth, tNone };
enum TChartXAxisPosition : Byte { xBottom, xTop, xBoth, xNone };
enum TChartYAxisPosition : Byte { yLeft, yRight, yBoth, yNone };
enum TChartUnitType : Byte { utNumber, utDay, utMonth, utYear, utWeek, utHour, utMinute, utSecond, utMilliSecond };
enum TChartAxisMode : Byte { amXAxisFullWidth, amYAxisFullHeight, amAxisChartWidthHeight };
enum TChartMode : Byte { cmInit, cmScaling, cmVerticalScrolling, cmHorizontalScrolling };
enum TChartSeriesDonutMode : Byte { dmNormal, dmStacked };
enum TChartSerieValueWidthType : Byte { wtPixels, wtPercentage };
enum TChartDrawingMode : Byte { dmVertical, dmHorizontal };
enum TChartSerieAutoRange : Byte { arDisabled, arEnabled, arCommon, arEnabledZeroBased, arCommonZeroBased };
enum TSerieType : Byte { stNormal, stZoomControl, stBoth };
enum TChartValueFormatType : Byte { vftNormal, vftFloat };
enum TChartValueType : Byte { cvNone, cvNormal, cvPercentage };
enum TChartBarShape : Byte { bsRectangle, bsCylinder, bsPyramid };
enum TChartBarValueTextType : Byte { btCustomValue, btXAxisValue };
enum TChartSerieFunnelMode : Byte { fmWidth, fmHeight };
enum TChartSerieFunnelSizeType : Byte { fstPixels, fstPercentage };
enum TChartPointValueType : Byte { cpvSingle, cpvMulti };
enum TChartSeriePiePosition : Byte {
  spTopLeft,
  spTopRight,
  spTopCenter,
  spBottomLeft,
  spBottomRight,
  spBottomCenter,
  spCenterLeft,
  spCenterCenter,
  spCenterRight,
  spCustom
};
enum TChartSeriePieValuePosition : Byte { vpInsideSlice, vpOutSideSlice };
enum TChartSeriePieSizeType : Byte { pstPixels, pstPercentage };
enum TChartMarkerType : Byte { mNone, mCircle, mSquare, mDiamond, mTriangle, mPicture, mCustom };
enum TChartCrossHairType : Byte {
  chtNone,
  chtSmallCrossHair,
  chtFullSizeCrossHairAtCursor,
  chtFullSizeCrossHairAtSeries
};
enum TChartCrossHairYValuePositionType : Byte { chYAxis, chAtCursor, chValueTracker };
using TChartCrossHairYValuePosition = TSet<TChartCrossHairYValuePositionType, Byte>;
enum TChartNavigatorButtonState : Byte { cnbNormal, cnbHot, cnbDown };
enum TChartTextPosition : Byte { ctLeft, ctRight, ctCenter, ctTop, ctBottom };
enum TAnnotationShape : Byte { asRectangle, asCircle, asRoundRect, asBalloon, asLine };
enum TAnnotationArrow : Byte { arLine, arStartArrow, arEndArrow, arDoubleArrow };
enum TAnnotationBalloonDirection : Byte { hdUpRight, hdUpLeft, hdDownRight, hdDownLeft };
enum TChartSerieXAxisGroupLineType : Byte { xgltVertical, xgltVerticalLine, xgltWrap, xgltCustom };
enum TChartSeriePointType : Byte { cspYPos, cspSerie };
enum TYAxisRangeValueMode : Byte { vmMajor, vmMinor };

// One point of a serie. Copied by value.
struct TChartPoint {
  double SingleValue = 0;
  double SingleXValue = 0;
  double SecondValue = 0;
  double OpenValue = 0;
  double LowValue = 0;
  double HighValue = 0;
  double MedValue = 0;
  double CloseValue = 0;
  bool Defined = false;
  Integer PixelValue1 = 0;
  Integer PixelValue2 = 0;
  TColor Color = 0;
  TColor ColorTo = 0;
  TColor TextColor = 0;
  TColor BorderColor = 0;
  TChartGradientDirection GradientDirection = cgdHorizontal;
  TDateTime TimeStamp = 0;
  TDateTime TimeXStamp = 0;
  TChartPointValueType ValueType = cpvSingle;
  String LegendValue;
  Integer Tag = 0;
};
using TChartPointArray = std::vector<TChartPoint>;

// The initial state of a point handed to readers (a grown array holds the
// zero-filled state of the default constructor instead).
void InitChartPoint(TChartPoint& Point);

// One painted slice: its centre after the explode offset (X0/Y0 = CX/CY),
// the outer points at its start and end angle, and both angles in degrees
// counter-clockwise, the pie's start offset included.
struct TSlicePoint {
  Integer X0 = 0, Y0 = 0, X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, CX = 0, CY = 0;
  float STA = 0, SWA = 0;
};
struct TFunnelPoint {
  Integer X0 = 0, Y0 = 0, X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0;
};
struct TBarRec {
  TColor SColor = 0;
  TColor SColorTo = 0;
  TRect R;
};
struct TDigitalLinePoint {
  TPoint pt;
  Integer Idx = 0;
};
using TPointArray = std::vector<TPoint>;

// Hit-test results.
struct TChartSeriePoint {
  Integer Serie = -1;
  Integer Point = -1;
};
struct TXAxisRangeValue {
  Integer RangeIndex = -1;
  Integer Serie = -1;
};
struct TYAxisRangeValue {
  Integer Serie = -1;
  String ValueStr;
  TYAxisRangeValueMode Mode = vmMajor;
  double Value = 0;
};
// The point of the crosshair or tracker, kept for the view.
struct TSeriePoint {
  Integer Point = 0;
  double YValue = 0;
  Integer Serie = 0;
  double XValueAtCursor = 0;
  double XValueAtTracker = 0;
  double XValueYAxis = 0;
  TChartSeriePointType PointType = cspYPos;
  double SerieValue = 0;
};
struct TChartIntersection {
  Integer X = 0;
  Integer Y = 0;
  bool Found = false;
};
