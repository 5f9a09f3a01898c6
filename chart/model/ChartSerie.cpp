#include <numbers>
#include "chart/model/ChartSerie.h"

#include <cmath>
#include <limits>

#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"
#include "rtl/DateUtils.h"
#include "rtl/Format.h"
#include "rtl/SysUtils.h"

TChartSerie::TChartSerie(TChartSeries* Collection)
    : FCollection(Collection), FPoints(std::make_shared<TChartPointArray>()) {
  FMarker = std::make_unique<TChartMarker>();
  FPie = std::make_unique<TChartSeriePie>(this);
  FAnnotations = std::make_unique<TChartAnnotations>(this);
  WireElement(*FMarker);
  WireElement(*FPie);
  WireElement(*FAnnotations);
  Integer At = Collection ? (Collection->FInserting ? Collection->FInsertAt : Collection->Count()) : 0;
  FName = FLegendText = u"Serie " + IntToStr(At);
  WireElement(FCrossHairYValue);
  FCrossHairYValue.OnFontChange = [this](TObject*) {
    TChartFont Font = FCrossHairYValue.Font();
    const ITextMeasurer& M = Chart() ? Chart()->TextMeasurer() : TFixedTextMeasurer::Default();
    FCrosshairFontHeight = M.TextExtent(Font, u"gh").cy;
  };
  WireElement(FXAxis);
  WireElement(FYAxis);
  FXAxisGroups = std::make_unique<TChartSerieXAxisGroups>(this);
  if (Collection) OnChange = [Collection](TObject*) { Collection->Changed(); };
}

TChartSerie::~TChartSerie() = default;

void TChartSerie::WireElement(TChartPersistent& E) {
  E.OnChange = [this](TObject*) { Changed(); };
}

void TChartSerie::ReplaceMarker(std::unique_ptr<TChartMarker> V) {
  FMarker = std::move(V);
  WireElement(*FMarker);
}
void TChartSerie::ReplacePie(std::unique_ptr<TChartSeriePie> V) {
  FPie = std::move(V);
  WireElement(*FPie);
}
void TChartSerie::ReplaceAnnotations(std::unique_ptr<TChartAnnotations> V) {
  FAnnotations = std::move(V);
  WireElement(*FAnnotations);
}

TVivIzude* TChartSerie::Chart() const { return FCollection ? FCollection->Owner() : nullptr; }
Integer TChartSerie::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

String TChartSerie::GetDisplayName() const {
  if (!FName.empty()) return FName;
  return u"TChartSerie" + IntToStr(Index());
}

void TChartSerie::MoveTo(Integer SerieIndex) {
  if (!FCollection || SerieIndex < 0 || SerieIndex >= FCollection->Count()) return;
  FCollection->Move(Index(), SerieIndex);
}

void TChartSerie::AssignPrivates(const TChartSerie& S) {
  FLastPoint = S.FLastPoint;
  FForceInit = S.FForceInit;
  FMaximumValue = S.FMaximumValue;
  FMinimumValue = S.FMinimumValue;
  FPoints = S.FPoints;
}

void TChartSerie::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSerie*>(Source);
  if (!S || S == this) return;
  AssignPrivates(*S);
  SetReadOnly(S->FReadOnly);
  FValueOffsetX = S->FValueOffsetX;
  FValueOffsetY = S->FValueOffsetY;
  FGroupIndex = S->FGroupIndex;
  FFunnelMode = S->FFunnelMode;
  FFunnelSpacing = S->FFunnelSpacing;
  FFunnelWidth = S->FFunnelWidth;
  FFunnelHeight = S->FFunnelHeight;
  FFunnelWidthType = S->FFunnelWidthType;
  FFunnelHeightType = S->FFunnelHeightType;
  FDrawFromStartDate = S->FDrawFromStartDate;
  FVisible = S->FVisible;
  FValueFont = S->FValueFont;
  FValueAngle = S->FValueAngle;
  FArrowColor = S->FArrowColor;
  FArrowSize = S->FArrowSize;
  FAutoRange = S->FAutoRange;
  FBorderWidth = S->FBorderWidth;
  FBorderColor = S->FBorderColor;
  FBorderRounding = S->FBorderRounding;
  FShowValue = S->FShowValue;
  FMinimum = S->FMinimum;
  FMaximum = S->FMaximum;
  FValueType = S->FValueType;
  FValueFormat = S->FValueFormat;
  FValueFormatType = S->FValueFormatType;
  FChartType = S->FChartType;
  FChartPattern.Assign(S->FChartPattern);
  FChartPatternPosition = S->FChartPatternPosition;
  FLineColor = S->FLineColor;
  FBrushStyle = S->FBrushStyle;
  FPenStyle = S->FPenStyle;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FCandleColorIncrease = S->FCandleColorIncrease;
  FCandleColorDecrease = S->FCandleColorDecrease;
  FShowValueInTracker = S->FShowValueInTracker;
  FValueWidth = S->FValueWidth;
  FValueWidthType = S->FValueWidthType;
  FWickColor = S->FWickColor;
  FWickWidth = S->FWickWidth;
  FGradientSteps = S->FGradientSteps;
  FGradientDirection = S->FGradientDirection;
  FLineWidth = S->FLineWidth;
  FMarker->Assign(S->FMarker.get());
  FAnnotations->Assign(S->FAnnotations.get());
  FPie->Assign(S->FPie.get());
  SetShowAnnotationsOnTop(S->FShowAnnotationsOnTop);
  FZeroLine = S->FZeroLine;
  FZeroLineWidth = S->FZeroLineWidth;
  FZeroLineColor = S->FZeroLineColor;
  FZeroReferencePoint = S->FZeroReferencePoint;
  FLegendText = S->FLegendText;
  FCrossHairYValue.Assign(&S->FCrossHairYValue);
  FXAxis.Assign(&S->FXAxis);
  FYAxis.Assign(&S->FYAxis);
  FName = S->FName;
  FSelectedIndex = S->FSelectedIndex;
  FSelectedMark = S->FSelectedMark;
  FSelectedMarkColor = S->FSelectedMarkColor;
  FSelectedMarkBorderColor = S->FSelectedMarkBorderColor;
  FSelectedMarkSize = S->FSelectedMarkSize;
  FFieldNameValue = S->FFieldNameValue;
  FFieldNameXAxis = S->FFieldNameXAxis;
  FShowInLegend = S->FShowInLegend;
  FOffset3D = S->FOffset3D;
  FEnable3D = S->FEnable3D;
  FDarken3D = S->FDarken3D;
  FBarShape = S->FBarShape;
  FLogarithmic = S->FLogarithmic;
  FBarValueTextFont = S->FBarValueTextFont;
  FBarValueTextAlignment = S->FBarValueTextAlignment;
  FBarValueTextType = S->FBarValueTextType;
  FRangePercentMargin = S->FRangePercentMargin;
  FXAxisGroups->Assign(S->FXAxisGroups.get());
  FXAxisGroupsVisible = S->FXAxisGroupsVisible;
  FGanttSpacing = S->FGanttSpacing;
  FGanttHeight = S->FGanttHeight;
  FUseFullRange = S->FUseFullRange;
  OnXAxisDrawValue = S->OnXAxisDrawValue;
  OnXAxisGetValue = S->OnXAxisGetValue;
  OnXAxisDrawXValue = S->OnXAxisDrawXValue;
  OnXAxisGetXValue = S->OnXAxisGetXValue;
  OnYAxisDrawvalue = S->OnYAxisDrawvalue;
  OnYAxisGetValue = S->OnYAxisGetValue;
  OnMarkerDrawValue = S->OnMarkerDrawValue;
  OnSerieMouseDown = S->OnSerieMouseDown;
  OnSerieMouseUp = S->OnSerieMouseUp;
  Changed();
}

void TChartSerie::SetChartType(TChartType V) {
  if (V == FChartType) return;
  FChartType = V;
  if (V == ctRenko) FMarker->SetMarkerType(mSquare);
  if (TVivIzude* C = Chart()) {
    if (IsPieLikeType(V)) {
      C->XAxis().SetPosition(xNone);
      C->YAxis().SetPosition(yNone);
    }
    C->Series().ForceInit(true);
  }
  Changed();
}

void TChartSerie::SetYScale(double V) {
  if (V == FYScale) return;
  FYScale = V;
  FOldYScale = V;
  Changed();
}

// ---------------------------------------------------------------- value range
void TChartSerie::SetMinMax(Integer RangeFrom, Integer RangeTo) {
  if (FSerieType == stZoomControl || !FVisible) return;
  TVivIzude* C = Chart();
  double MaxV = -2147483647.0, MinV = 2147483647.0;
  double Hi = 0, Lo = 0;
  Integer Count = GetPointsCount();
  Integer First = FUseFullRange ? 0 : std::max(0, RangeFrom);
  Integer Last = FUseFullRange ? Count - 1 : std::min(RangeTo, Count - 1);
  for (Integer I = First; I <= Last; ++I) {
    TChartPoint P = GetPoint(I);
    if (!P.Defined) continue;
    switch (FChartType) {
      case ctCandleStick:
      case ctLineCandleStick:
      case ctOHLC:
      case ctBoxPlot:
        Hi = P.HighValue;
        Lo = P.LowValue;
        break;
      case ctNone:
        break;
      default:
        Hi = Lo = P.SingleValue;
        break;
    }
    if (Hi > MaxV) MaxV = Hi;
    if (Lo < MinV) MinV = Lo;
  }
  if (FChartType == ctBand)
    for (Integer I = First; I <= Last; ++I) {
      TChartPoint P = GetPoint(I);
      if (!P.Defined) continue;
      Hi = Lo = P.SecondValue;
      if (Hi > MaxV) MaxV = Hi;
      if (Lo < MinV) MinV = Lo;
    }
  if (C) {
    C->SetSerieMaxValue(MaxV);
    C->SetSerieMinValue(MinV);
  }
  bool Perc = FChartType == ctStackedPercArea || FChartType == ctStackedPercBar;
  if (FAutoRange != arDisabled) {
    FSerieMax = MaxV;
    FSerieMin = MinV;
    if (Perc) {
      FSerieMax = 100;
      FSerieMin = 0;
    }
    if (FAutoRange == arEnabledZeroBased || FAutoRange == arCommonZeroBased) FSerieMin = 0;
    if (FAutoRange == arCommon || FAutoRange == arCommonZeroBased) return;
    double M = FRangePercentMargin * std::fabs(FSerieMax - FSerieMin) / 100;
    FSerieMax += M;
    if (FAutoRange == arEnabled) FSerieMin -= M;
    FMaximumValue = FSerieMax;
    FMinimumValue = FSerieMin;
  } else if (!C || C->Series().Mode() == cmInit) {
    FSerieMax = Perc ? 100 : FMaximum;
    FSerieMin = Perc ? 0 : FMinimum;
    FMaximumValue = FSerieMax;
    FMinimumValue = FSerieMin;
  }
}

double TChartSerie::GetMaximumValue() const {
  double M = 0;
  Integer N = GetPointsCount();
  for (Integer I = 0; I < N; ++I) M = std::max(M, GetPoint(I).SingleValue);
  return M;
}

double TChartSerie::GetTotalPoints() const {
  double T = 0;
  Integer N = GetPointsCount();
  for (Integer I = 0; I < N; ++I) T += GetPoint(I).SingleValue;
  return T;
}

double TChartSerie::GetPieTotal() const {
  double T = 0;
  Integer N = GetPointsCount();
  for (Integer I = 0; I < N; ++I) {
    TChartPoint P = GetPoint(I);
    if (P.Defined && P.SingleValue > 0) T += P.SingleValue;
  }
  return T;
}

static const TFormatSettings& SettingsOf(const TChartSerie& S) {
  return S.Chart() ? S.Chart()->FormatSettings() : FormatSettings;
}

String TChartSerie::FormatValue(double Value) const {
  if (FValueFormat.empty()) return String();
  try {
    if (FValueFormatType == vftFloat) return FormatFloat(FValueFormat, Value, SettingsOf(*this));
    return Format(SettingsOf(*this), FValueFormat, {Value});
  } catch (const Exception&) {
    // A format that does not take a number shows the number plainly.
    return FloatToStr(Value, SettingsOf(*this));
  }
}

String TChartSerie::GetPercentageValue(double SingleValue) const {
  double Total = GetPieTotal();
  if (SingleValue == Total && Total != 0) return u"100";
  if (FValueFormat.empty()) return String();
  double P = (Total > 0 && SingleValue > 0) ? SingleValue / Total * 100 : 0;
  return FormatValue(P);
}

// The point index of draw index I; -1 past the Integer range.
static Integer PointIndexOf(const TChartSerie& S, Integer I) {
  TVivIzude* C = S.Chart();
  const Int64 From = C ? C->Range().RangeFrom() : 0;
  const Int64 P = From >= 0 ? I + From : I;
  return P <= std::numeric_limits<Integer>::max() ? static_cast<Integer>(P) : -1;
}

double TChartSerie::GetStackedValue(Integer I) const {
  Integer P = PointIndexOf(*this, I);
  if (P < 0 || P >= GetPointsCount()) return 0;
  if (FCollection && FCollection->SerieValueTotals() && IsStackedType(FChartType)) {
    double Sum = 0;
    Integer Me = Index();
    for (Integer J = 0; J <= Me; ++J) {
      const TChartSerie& S = FCollection->Items(J);
      if (S.GroupIndex() == FGroupIndex && P < S.GetPointsCount()) Sum += S.GetPoint(P).SingleValue;
    }
    return Sum;
  }
  return GetPoint(P).SingleValue;
}

String TChartSerie::GetStackedValueString(Integer I) const {
  try {
    Integer P = (IsXYType(FChartType) || FChartType == ctGantt) ? I : PointIndexOf(*this, I);
    double Total = 0;
    if (FCollection)
      for (Integer J = 0; J < FCollection->Count(); ++J) {
        const TChartSerie& S = FCollection->Items(J);
        if (S.GroupIndex() == FGroupIndex && P >= 0 && P < S.GetPointsCount()) Total += S.GetPoint(P).SingleValue;
      }
    if (P < 0 || P >= GetPointsCount()) return String();
    double V = GetStackedValue(I);
    switch (FValueType) {
      case cvNormal:
        return FormatValue(V);
      case cvPercentage:
        return Total != 0 ? FormatValue(V / Total * 100) + u"%" : String();
      default:
        return String();
    }
  } catch (const std::exception&) {
    return u"NAN";
  }
}

double TChartSerie::GetStackedPercValue(double SV, Integer I) const {
  TVivIzude* C = Chart();
  const Int64 From = C ? C->Range().RangeFrom() : 0;
  const Int64 P = From < 0 ? I - From : I;
  double A = 0, B = 0;
  if (FCollection)
    for (Integer J = 0; J < FCollection->Count(); ++J) {
      const TChartSerie& S = FCollection->Items(J);
      if (P < 0 || P >= S.GetPointsCount()) continue;
      TChartPoint Pt = S.GetPoint(static_cast<Integer>(P));
      if (!Pt.Defined) continue;
      if (S.ChartType() == ctStackedPercArea) A += Pt.SingleValue;
      if (S.ChartType() == ctStackedPercBar && S.GroupIndex() == FGroupIndex) B += Pt.SingleValue;
    }
  if (FChartType == ctStackedArea || FChartType == ctStackedPercArea) return A == 0 ? 0 : SV / A * 100;
  if (FChartType == ctStackedPercBar) return B == 0 ? 0 : SV / B * 100;
  return 0;
}

double TChartSerie::GetStackedTotal(Integer I) const {
  TVivIzude* C = Chart();
  const Int64 From = C ? C->Range().RangeFrom() : 0;
  const Int64 P = From < 0 ? I - From : I;
  double B = 0;
  if (FCollection)
    for (Integer J = 0; J < FCollection->Count(); ++J) {
      const TChartSerie& S = FCollection->Items(J);
      if (P < 0 || P >= S.GetPointsCount() || S.ChartType() != ctStackedPercBar || S.GroupIndex() != FGroupIndex)
        continue;
      TChartPoint Pt = S.GetPoint(static_cast<Integer>(P));
      if (Pt.Defined) B += Pt.SingleValue;
    }
  return B;
}

double TChartSerie::GetPrevSerieStackedValue(Integer PointIndex) const {
  Integer Me = Index();
  if (Me <= 0) return (PointIndex >= 0 && PointIndex < GetPointsCount()) ? GetPoint(PointIndex).SingleValue : 0;
  if (PointIndex < 0) return 0;
  const TChartSerie& Prev = FCollection->Items(Me - 1);
  return PointIndex < Prev.GetPointsCount() ? Prev.GetPoint(PointIndex).SingleValue : 0;
}

double TChartSerie::GetNextValuePyramid(Integer Idx, Integer I) const {
  if (Idx < 0) return 0;
  Integer P = PointIndexOf(*this, I);
  if (P < 0 || P >= GetPointsCount()) return 0;
  double R = 0;
  switch (FChartType) {
    case ctBar:
    case ctLineBar:
    case ctHistogram:
    case ctLineHistogram:
      R = GetPoint(P).SingleValue;
      break;
    case ctStackedBar:
    case ctStackedPercBar:
      for (Integer J = 0; J <= Idx && J < FCollection->Count(); ++J) {
        const TChartSerie& S = FCollection->Items(J);
        if (S.ChartType() == FChartType && S.GroupIndex() == FGroupIndex && P < S.GetPointsCount())
          R += S.GetPoint(P).SingleValue;
      }
      if (FChartType == ctStackedPercBar) R = GetStackedPercValue(R, I);
      break;
    default:
      return 0;
  }
  return FLogarithmic ? SafeLog10(R) : R;
}

double TChartSerie::GetTotalSeriesValuePyramid(Integer I) const {
  Integer P = PointIndexOf(*this, I);
  if (P < 0 || P >= GetPointsCount()) return 0;
  double R = 0;
  if (FChartType == ctBar || FChartType == ctLineBar || FChartType == ctHistogram || FChartType == ctLineHistogram)
    R = GetPoint(P).SingleValue;
  else if (FCollection)
    for (Integer J = 0; J < FCollection->Count(); ++J) {
      const TChartSerie& S = FCollection->Items(J);
      if (S.GroupIndex() != FGroupIndex) continue;
      if (S.ChartType() == ctStackedBar && P < S.GetPointsCount()) R += S.GetPoint(P).SingleValue;
      if (S.ChartType() == ctStackedPercBar) R = 100;
    }
  return FLogarithmic ? SafeLog10(R) : R;
}

TDateTime TChartSerie::ConvertDateToXDate(TDateTime Date) const {
  TVivIzude* C = Chart();
  TChartUnitType U = C ? C->XAxis().UnitType() : utNumber;
  Word Y, M, D, H, N, S, MS;
  DecodeDateTime(Date, Y, M, D, H, N, S, MS);
  switch (U) {
    case utNumber:
      return Date;
    case utDay:
    case utWeek:
      return EncodeDate(Y, M, D);
    case utMonth:
      return EncodeDate(Y, M, 1);
    case utYear:
      return EncodeDate(Y, 1, 1);
    case utHour:
      return EncodeDateTime(Y, M, D, H, 0, 0, 0);
    case utMinute:
      return EncodeDateTime(Y, M, D, H, N, 0, 0);
    case utSecond:
      return EncodeDateTime(Y, M, D, H, N, S, 0);
    case utMilliSecond:
      return EncodeDateTime(Y, M, D, H, N, S, MS);
  }
  return Date;
}

TDateTime TChartSerie::GetXTimeStamp(Integer ValueIndex) const {
  TVivIzude* C = Chart();
  if (!C) return 0;
  TDateTime Start = ConvertDateToXDate(C->Range().StartDate());
  switch (C->XAxis().UnitType()) {
    case utDay:
      return Start + ValueIndex;
    case utWeek:
      return Start + 7.0 * ValueIndex;
    case utMonth:
      return IncMonth(Start, ValueIndex);
    case utYear:
      return IncMonth(Start, 12 * ValueIndex);
    case utHour:
      return Start + ValueIndex / 24.0;
    case utMinute:
      return Start + ValueIndex / 1440.0;
    case utSecond:
      return Start + ValueIndex / 86400.0;
    case utMilliSecond:
      return Start + ValueIndex / 86400000.0;
    default:
      return Start;
  }
}

// ---------------------------------------------------------------- geometry
bool TChartSerie::IsHorizontal() const { return FCollection && FCollection->IsHorizontal(); }

Integer TChartSerie::ValueToX(double Value, const TRect& R) const {
  TVivIzude* C = Chart();
  double SX = (C && C->XScale() > 0) ? C->XScale() : 1;
  double Start = C ? C->GetXScaleStart() : 0;
  Integer From = C ? C->Range().RangeFrom() : 0;
  Integer Base = IsHorizontal() ? R.Top : R.Left;
  return RoundI((Value - From) * SX + Start) + Base - 1;
}

double TChartSerie::XToValue(Integer Value, const TRect& R) const {
  TVivIzude* C = Chart();
  double SX = (C && C->XScale() > 0) ? C->XScale() : 1;
  double Start = C ? C->GetXScaleStart() : 0;
  Integer From = C ? C->Range().RangeFrom() : 0;
  Integer Base = IsHorizontal() ? R.Top : R.Left;
  return (Value - Base - Start) / SX + From;
}

Integer TChartSerie::ValueToY(double Value, const TRect& R) const {
  double SY = FYScale > 0 ? FYScale : 1;
  if (IsHorizontal()) return RoundI(R.Left + SY * (Value - FMinimumValue));
  return RoundI(R.Bottom - SY * (Value - FMinimumValue));
}

double TChartSerie::YToValue(Integer Value, const TRect& R) const {
  double SY = FYScale > 0 ? FYScale : 1;
  if (IsHorizontal()) return FMinimumValue + (Value - R.Left) / SY;
  return FMinimumValue + (R.Bottom - Value) / SY;
}

TRect TChartSerie::GetPieRectangle(Integer Idx, const TRect& R) const {
  Integer W = R.Right - R.Left, Left = R.Left;
  if ((FChartType == ctDonut || FChartType == ctHalfDonut) && FCollection && FCollection->DonutMode() == dmStacked) {
    Integer A = FCollection->GetCountChartType(ctDonut), B = FCollection->GetCountChartType(ctHalfDonut);
    if (A > 0 && B == 0) A = 1;
    if (B > 0 && A == 0) B = 1;
    if (A > 0 && B > 0) A = 1, B = 0;
    Integer N = A + B + FCollection->GetCountChartType(ctPie) + FCollection->GetCountChartType(ctHalfPie) +
                FCollection->GetCountChartType(ctFunnel);
    W = N > 0 ? W / N : W;
  } else if (!IsSpiderType(FChartType)) {
    Integer N = FCollection ? FCollection->Count() : 1;
    if (N < 1) N = 1;
    W = W / N;
    Left = R.Left + Idx * W;
  }
  return {Left, R.Top, Left + W, R.Bottom};
}

static void PlaceIn(TChartSeriePiePosition Pos, const TRect& P, Integer HalfW, Integer HalfH, Integer& X, Integer& Y) {
  Integer CX = P.Left + (P.Right - P.Left) / 2, CY = P.Top + (P.Bottom - P.Top) / 2;
  switch (Pos) {
    case spTopLeft:
      X = P.Left + 5 + HalfW;
      Y = P.Top + 5 + HalfH;
      break;
    case spTopRight:
      X = P.Right - HalfW - 5;
      Y = P.Top + 5 + HalfH;
      break;
    case spTopCenter:
      X = CX;
      Y = P.Top + 5 + HalfH;
      break;
    case spBottomLeft:
      X = P.Left + HalfW + 5;
      Y = P.Bottom - HalfH - 5;
      break;
    case spBottomRight:
      X = P.Right - HalfW - 5;
      Y = P.Bottom - HalfH - 5;
      break;
    case spBottomCenter:
      X = CX;
      Y = P.Bottom - HalfH - 5;
      break;
    case spCenterLeft:
      X = P.Left + HalfW + 5;
      Y = CY;
      break;
    case spCenterCenter:
      X = CX;
      Y = CY;
      break;
    case spCenterRight:
      X = P.Right - 5 - HalfW;
      Y = CY;
      break;
    default:
      X = 0;
      Y = 0;
      break;
  }
}

TPoint TChartSerie::GetPieCenter(const TRect& Pbr) const {
  Integer R = FPie->GetPieSize() / 2, X, Y;
  PlaceIn(FPie->Position(), Pbr, R, R, X, Y);
  return {FPie->Left() + X, FPie->Top() + Y};
}

TPoint TChartSerie::GetLegendCenter(const TRect& Pbr, Integer Width, Integer Height) const {
  Integer X, Y;
  PlaceIn(FPie->LegendPosition(), Pbr, Width, Height, X, Y);
  return {FPie->LegendOffsetLeft() + X, FPie->LegendOffsetTop() + Y};
}

TRect TChartSerie::GetFunnelRectangle(const TRect& R) const {
  Integer W0 = R.Width(), H0 = R.Height();
  Integer W = FFunnelWidthType == fstPixels       ? FFunnelWidth
              : FFunnelWidthType == fstPercentage ? RoundI(FFunnelWidth / 100.0 * W0)
                                                  : W0;
  Integer H = FFunnelHeightType == fstPixels       ? FFunnelHeight
              : FFunnelHeightType == fstPercentage ? RoundI(FFunnelHeight / 100.0 * H0)
                                                   : H0;
  Integer Left = R.Left + W0 / 2 - W / 2, Top = R.Top + H0 / 2 - H / 2;
  switch (FPie->Position()) {
    case spTopLeft:
    case spBottomLeft:
    case spCenterLeft:
      Left = R.Left;
      break;
    case spTopRight:
    case spBottomRight:
    case spCenterRight:
      Left = R.Right - W;
      break;
    default:
      break;
  }
  switch (FPie->Position()) {
    case spTopLeft:
    case spTopRight:
    case spTopCenter:
      Top = R.Top;
      break;
    case spBottomLeft:
    case spBottomRight:
    case spBottomCenter:
      Top = R.Bottom - H;
      break;
    default:
      break;
  }
  Left += FPie->Left();
  Top += FPie->Top();
  return {Left, Top, Left + W, Top + H};
}

Integer TChartSerie::GetQuadrant(double CX, double CY, double PX, double PY) {
  if (PX >= CX && PY <= CY) return 0;
  if (PX > CX && PY > CY) return 3;
  if (PX <= CX && PY > CY) return 2;
  return 1;
}

bool TChartSerie::PointInPie(double X, double Y, double CX, double CY, double STA, double SWA) const {
  double Dist = std::hypot(X - CX, Y - CY);
  // The slices' convention: counter-clockwise on the screen, y pointing down.
  double A = std::atan2(CY - Y, X - CX) * 180.0 / std::numbers::pi;
  double Sweep = SWA - STA;
  bool InAngle;
  if (Sweep >= 360)
    InAngle = true;
  else if (Sweep <= 0)
    InAngle = false;
  else {
    double D = std::fmod(A - STA, 360.0);
    if (D < 0) D += 360;
    InAngle = D <= Sweep;
  }
  if (!InAngle) return false;
  if (IsRingType(FChartType)) return Dist < FPie->GetPieSize() / 2.0 && Dist > FPie->GetPieInnerSize() / 2.0;
  if (IsPieLikeType(FChartType)) return Dist < FPie->GetPieSize() / 2.0;
  return false;
}

bool TChartSerie::PointInFunnel(Integer X, Integer Y, const TFunnelPoint& Pt) {
  const Integer XS[4] = {Pt.X0, Pt.X1, Pt.X2, Pt.X3}, YS[4] = {Pt.Y0, Pt.Y1, Pt.Y2, Pt.Y3};
  bool Result = false;
  for (int I = 0, J = 3; I < 4; J = I++) {
    if (((YS[I] <= Y && Y < YS[J]) || (YS[J] <= Y && Y < YS[I])) &&
        X < static_cast<double>(XS[J] - XS[I]) * (Y - YS[I]) / (YS[J] - YS[I]) + XS[I])
      Result = !Result;
  }
  return Result;
}

Integer TChartSerie::GetXYPoint(Integer X, Integer Y) const {
  Integer N = GetPointsCount();
  if (N == 0 || !FCollection) return -1;
  TRect R = FCollection->SeriesRectangle();
  double XV = XToValue(X, R), Best = std::numeric_limits<double>::max();
  Integer BestI = 0;
  for (Integer I = 0; I < N; ++I) {
    double D = std::fabs(GetPoint(I).SingleXValue - XV);
    if (D < Best) Best = D, BestI = I;
  }
  double XVal = GetPoint(BestI).SingleXValue;
  Integer Result = BestI;
  double BestY = std::numeric_limits<double>::max();
  for (Integer I = 0; I < N; ++I) {
    TChartPoint P = GetPoint(I);
    if (P.SingleXValue != XVal) continue;
    double D = std::fabs(static_cast<double>(ValueToY(P.SingleValue, R)) - Y);
    if (D < BestY) BestY = D, Result = I;
  }
  return Result;
}

static Integer BarWidthFor(const TChartSerie& S, Integer N, double ScaleX) {
  TVivIzude* C = S.Chart();
  double Step;
  if (S.DrawPoints.size() < 2)
    Step = RoundI(C ? C->XScale() : 0);
  else
    Step = S.IsHorizontal() ? S.DrawPoints[1].Y - S.DrawPoints[0].Y : S.DrawPoints[1].X - S.DrawPoints[0].X;
  double Gap = 0;
  if (S.Collection()) {
    if (S.Collection()->BarChartSpacingType() == wtPixels)
      Gap = S.Collection()->BarChartSpacing();
    else
      Gap = RoundI(Step * S.Collection()->BarChartSpacing() / 100.0);
  }
  double W;
  if (S.ValueWidthType() == wtPixels)
    W = S.ValueWidth() * ScaleX;
  else {
    if (N < 1) return 1;
    W = (Step - Gap) / N * S.ValueWidth() / 100.0;
  }
  return std::max(1, RoundI(W));
}

Integer TChartSerie::GetBarWidth(double ScaleX) const {
  Integer N = 0;
  if (FCollection) {
    if (FChartType == ctStackedBar || FChartType == ctStackedPercBar)
      N = FCollection->GetCountGroupedChartType(FChartType);
    else
      N = FCollection->GetCountChartType(ctBar) + FCollection->GetCountChartType(ctLineBar) +
          FCollection->GetCountChartType(ctHistogram) + FCollection->GetCountChartType(ctLineHistogram);
  }
  return BarWidthFor(*this, N, ScaleX);
}

Integer TChartSerie::GetHistogramBarWidth(double ScaleX) const {
  Integer N =
      FCollection ? FCollection->GetCountChartType(ctHistogram) + FCollection->GetCountChartType(ctLineHistogram) : 0;
  if (N < 1) return 1;
  return BarWidthFor(*this, N, ScaleX);
}

Integer TChartSerie::GetGanttOffset() const {
  Integer Sum = 0, Me = Index();
  for (Integer J = 0; J < Me; ++J) {
    const TChartSerie& S = FCollection->Items(J);
    if (S.ChartType() == ctGantt) Sum += S.GanttHeight() + 2 * S.GanttSpacing();
  }
  return Sum;
}

Integer TChartSerie::GetXAxisGroupLevelHeight(Integer Level) const {
  TMeasuringCanvas Canvas(Chart() ? Chart()->TextMeasurer() : TFixedTextMeasurer::Default());
  Integer Result = 0;
  for (Integer I = 0; I < FXAxisGroups->Count(); ++I) {
    const TChartSerieXAxisGroup& G = FXAxisGroups->Items(I);
    if (!G.Visible() || G.Level() != Level) continue;
    Canvas.Font = G.Font();
    Result = std::max(Result, Canvas.TextHeight(G.Caption()) + 2 * G.Spacing());
  }
  return Result;
}
