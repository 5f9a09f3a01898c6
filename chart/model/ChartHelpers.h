#pragma once
// Free routines shared by the chart model, the painters and the views: box
// placement, a safe logarithm, nice axis steps, colour conversions and the
// one filled-shape routine of the canvas painters.
#include "chart/model/ChartGraphics.h"
#include "chart/model/ChartTypes.h"
#include "rtl/Exceptions.h"

class EColorError : public Exception {
public:
  using Exception::Exception;
};

// x rounded to the nearest integer, halves to even, never failing: NaN gives
// 0 and values outside the Integer range are clamped (painting must not
// throw on absurd scales).
Integer RoundI(double X);
// Truncating integer division as the painters use it ("div").
constexpr Integer Div(Integer A, Integer B) { return B == 0 ? 0 : A / B; }

void BoxAlignOffset(Integer& X, Integer& Y, Integer ContainerWidth, Integer ContainerHeight, Integer ItemWidth,
                    Integer ItemHeight, TChartLegendAlignment Alignment);
double SafeLog10(double X);
// A step of 1, 2 or 5 times a power of ten that cuts [Min, Max] in about
// Count parts; 0 for an empty, inverted or non-finite range or Count < 1.
double NiceAxisStep(Integer Count, double Min, double Max);
void RGBtoHSV(double R, double G, double B, double& H, double& S, double& V);
// Raises EColorError "HSVtoRGB: S = 0 and H has a value" when S is 0 and H
// is a number.
void HSVtoRGB(double H, double S, double V, double& R, double& G, double& B);
TColor DarkenColor(TColor Color, bool Darken);
// The colour with its HSV value multiplied by Factor (slice shading).
TColor ScaleColorValue(TColor Color, double Factor);
// System colours resolved to RGB with the platform's usual defaults; other
// colours unchanged (clNone stays clNone).
TColor ChartColorToRGB(TColor Color);
void DrawArrowHead(TChartCanvas& Canvas, TColor Color, Integer Size, TPoint FromPt, TPoint ToPt, double ScaleX,
                   double ScaleY);

enum TChartShape : Byte { csRectangle, csEllipse, csRoundRect };
// Edges for the Sides argument of FillChartShape.
inline constexpr Integer sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8, sdAll = 15;
void FillChartShape(TChartCanvas& Canvas, TColor Color, TColor ColorTo, Integer GradientSteps, TRect R,
                    TChartGradientDirection GradientDirection, bool Border, TColor BorderColor, Integer BorderWidth,
                    TChartShape Shape, Integer Rounding, Integer Sides, bool Horizontal, bool SidesOnly);
