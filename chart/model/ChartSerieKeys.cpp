// The settings section of a serie.
#include "chart/model/ChartSerie.h"

const TChartKeys<TChartSerie>& TChartSerie::Keys() {
  using T = TChartSerie;
  static const TChartKeys<T> Table{
      ChartKey<&T::FDrawFromStartDate, &T::SetDrawFromStartDate>(u"DrawFromStartDate", true),
      ChartKey<&T::FGanttHeight, &T::SetGanttHeight>(u"GanttHeight", 25),
      ChartKey<&T::FGanttSpacing, &T::SetGanttSpacing>(u"GanttSpacing", 20),
      ChartKey<&T::FGroupIndex, &T::SetGroupIndex>(u"GroupIndex", 0),
      ChartKey<&T::FReadOnly, &T::SetReadOnly>(u"ReadOnly", false),
      ChartEnumKey<&T::FAutoRange, &T::SetAutoRange>(u"AutoRange", 5, arEnabled),
      ChartKey<&T::FRangePercentMargin, &T::SetRangePercentMargin>(u"RangePercentMargin", 5),
      // Read straight into the field: no change notification.
      ChartEnumKey<&T::FChartPatternPosition, nullptr>(u"ChartPatternPosition", 7, bpTopLeft),
      ChartKey<&T::FBorderWidth, &T::SetBorderWidth>(u"BorderWidth", 1),
      ChartKey<&T::FBorderColor, &T::SetBorderColor>(u"BorderColor", clBlack),
      ChartKey<&T::FBorderRounding, &T::SetBorderRounding>(u"BorderRounding", 0),
      ChartEnumKey<&T::FBrushStyle, &T::SetBrushStyle>(u"BrushStyle", 8, bsSolid),
      ChartEnumKey<&T::FChartType, &T::SetChartType>(u"ChartType", ChartTypeCount, ctLine),
      ChartKey<&T::FColor, &T::SetColor>(u"Color", clRed),
      ChartKey<&T::FColorTo, &T::SetColorTo>(u"ColorTo", clNone),
      ChartKey<&T::FCandleColorDecrease, &T::SetCandleColorDecrease>(u"CandleColorDecrease", clRed),
      ChartKey<&T::FCandleColorIncrease, &T::SetCandleColorIncrease>(u"CandleColorIncrease", clGreen),
      ChartSectionKey<T>(
          u".CrossHairYValue",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FCrossHairYValue.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) {
            E.FCrossHairYValue.LoadFromFile(Ini, Section);
          }),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 100),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdHorizontal),
      ChartKey<&T::FLineColor, &T::SetLineColor>(u"LineColor", clRed),
      ChartKey<&T::FLineWidth, &T::SetLineWidth>(u"LineWidth", 1),
      ChartKey<&T::FLegendText, &T::SetLegendText>(u"LegendText", u""),
      ChartSectionKey<T>(
          u".Marker",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FMarker->SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FMarker->LoadFromFile(Ini, Section); }),
      ChartSectionKey<T>(
          u".Annotations",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FAnnotations->SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FAnnotations->LoadFromFile(Ini, Section); }),
      ChartSectionKey<T>(
          u".XAxisGroups",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FXAxisGroups->SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FXAxisGroups->LoadFromFile(Ini, Section); }),
      ChartKey<&T::FXAxisGroupsVisible, &T::SetXAxisGroupsVisible>(u"XAxisGroupsVisible", true),
      ChartKey<&T::FMaximum, &T::SetMaximum>(u"Maximum", 0.0),
      ChartKey<&T::FMinimum, &T::SetMinimum>(u"Minimum", 0.0),
      ChartKey<&T::FName, &T::SetName>(u"Name", u""),
      ChartEnumKey<&T::FPenStyle, &T::SetPenStyle>(u"PenStyle", 7, psSolid),
      ChartKey<&T::FShowValue, &T::SetShowValue>(u"ShowValue", false),
      ChartKey<&T::FShowValueInTracker, &T::SetShowValueInTracker>(u"ShowValueInTracker", true),
      ChartKey<&T::FShowAnnotationsOnTop, &T::SetShowAnnotationsOnTop>(u"ShowAnnotationsOnTop", false),
      ChartKey<&T::FSelectedMark, &T::SetSelectedMark>(u"SelectedMark", false),
      ChartKey<&T::FSelectedIndex, &T::SetSelectedIndex>(u"SelectedIndex", -1),
      ChartKey<&T::FSelectedMarkSize, &T::SetSelectedMarkSize>(u"SelectedMarkSize", 8),
      ChartKey<&T::FSelectedMarkColor, &T::SetSelectedMarkColor>(u"SelectedMarkColor", clLime),
      ChartKey<&T::FSelectedMarkBorderColor, &T::SetSelectedMarkBorderColor>(u"SelectedMarkBorderColor", clBlack),
      ChartFontKey<T>(u"Value", &T::FValueFont),
      ChartKey<&T::FValueFormat, &T::SetValueFormat>(u"ValueFormat", u"%g"),
      ChartEnumKey<&T::FValueFormatType, &T::SetValueFormatType>(u"ValueFormatType", 2, vftNormal),
      ChartEnumKey<&T::FValueType, &T::SetValueType>(u"ValueType", 3, cvNormal),
      ChartKey<&T::FValueWidth, &T::SetValueWidth>(u"ValueWidth", 50),
      ChartEnumKey<&T::FValueWidthType, &T::SetValueWidthType>(u"ValueWidthType", 2, wtPercentage),
      ChartKey<&T::FWickColor, &T::SetWickColor>(u"WickColor", clBlack),
      ChartKey<&T::FWickWidth, &T::SetWickWidth>(u"WickWidth", 1),
      ChartSectionKey<T>(
          u".XAxis", [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FXAxis.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FXAxis.LoadFromFile(Ini, Section); }),
      ChartSectionKey<T>(
          u".YAxis", [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FYAxis.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FYAxis.LoadFromFile(Ini, Section); }),
      ChartKey<&T::FZeroLine, &T::SetZeroLine>(u"ZeroLine", false),
      ChartKey<&T::FZeroLineWidth, &T::SetZeroLineWidth>(u"ZeroLineWidth", 1),
      ChartKey<&T::FZeroLineColor, &T::SetZeroLineColor>(u"ZeroLineColor", clNone),
      ChartKey<&T::FZeroReferencePoint, &T::SetZeroReferencePoint>(u"ZeroReferencePoint", 0.0),
      ChartKey<&T::FShowInLegend, &T::SetShowInLegend>(u"ShowInLegend", true),
      ChartSectionKey<T>(
          u".Pie", [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FPie->SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FPie->LoadFromFile(Ini, Section); }),
      ChartKey<&T::FEnable3D, &T::SetEnable3D>(u"Enable3D", false),
      ChartKey<&T::FOffset3D, &T::SetOffset3D>(u"Offset3D", 20),
      ChartKey<&T::FDarken3D, &T::SetDarken3D>(u"Darken3D", true),
      ChartEnumKey<&T::FBarShape, &T::SetBarShape>(u"BarShape", 3, bsRectangle),
      ChartKey<&T::FLogarithmic, &T::SetLogarithmic>(u"Logarithmic", false),
      ChartEnumKey<&T::FBarValueTextAlignment, &T::SetBarValueTextAlignment>(u"BarValueTextAlignment", 3,
                                                                             taLeftJustify),
      ChartEnumKey<&T::FBarValueTextType, &T::SetBarValueTextType>(u"BarValueTextType", 2, btCustomValue),
      ChartFontKey<T>(u"BarValueText", &T::FBarValueTextFont),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", true),
      ChartKey<&T::FValueOffsetY, &T::SetValueOffsetY>(u"ValueOffsetY", 0),
      ChartKey<&T::FValueOffsetX, &T::SetValueOffsetX>(u"ValueOffsetX", 0),
  };
  return Table;
}

void TChartSerie::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartSerie::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}
