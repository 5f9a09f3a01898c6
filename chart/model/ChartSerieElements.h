#pragma once
// The settings objects a serie owns: its two label axes, its annotations,
// its x-axis groups and its pie settings.
#include <memory>
#include <vector>

#include "chart/model/ChartElements.h"

class TChartSerie;

class TChartSerieYAxis : public TChartPersistent {
public:
  TChartSerieYAxis();
  // Copies and then notifies once.
  void Assign(const TObject* Source) override;
  TChartFont& MajorFont() { return FMajorFont; }
  const TChartFont& MajorFont() const { return FMajorFont; }
  void SetMajorFont(const TChartFont& V) {
    if (&V != &FMajorFont) {
      FMajorFont = V;
      Changed();
    }
  }
  TChartFont& MinorFont() { return FMinorFont; }
  const TChartFont& MinorFont() const { return FMinorFont; }
  void SetMinorFont(const TChartFont& V) {
    if (&V != &FMinorFont) {
      FMinorFont = V;
      Changed();
    }
  }
  double MajorUnit() const { return FMajorUnit; }
  void SetMajorUnit(double V) {
    if (V >= 0 && StoreFloat(FMajorUnit, V)) Changed();
  }
  double MinorUnit() const { return FMinorUnit; }
  void SetMinorUnit(double V) {
    if (V >= 0 && StoreFloat(FMinorUnit, V)) Changed();
  }
  Integer MajorUnitSpacing() const { return FMajorUnitSpacing; }
  void SetMajorUnitSpacing(Integer V) {
    if (Store(FMajorUnitSpacing, V)) Changed();
  }
  Integer MinorUnitSpacing() const { return FMinorUnitSpacing; }
  void SetMinorUnitSpacing(Integer V) {
    if (Store(FMinorUnitSpacing, V)) Changed();
  }
  TChartYAxisPosition Position() const { return FPosition; }
  void SetPosition(TChartYAxisPosition V) {
    if (Store(FPosition, V)) Changed();
  }
  TChartXYAxisText& TextLeft() { return FTextLeft; }
  TChartXYAxisText& TextRight() { return FTextRight; }
  TColor TickMarkColor() const { return FTickMarkColor; }
  void SetTickMarkColor(TColor V) {
    if (Store(FTickMarkColor, V)) Changed();
  }
  Integer TickMarkSize() const { return FTickMarkSize; }
  void SetTickMarkSize(Integer V) {
    if (Store(FTickMarkSize, V)) Changed();
  }
  Integer TickMarkSizeMinor() const { return FTickMarkSizeMinor; }
  void SetTickMarkSizeMinor(Integer V) {
    if (Store(FTickMarkSizeMinor, V)) Changed();
  }
  Integer TickMarkWidth() const { return FTickMarkWidth; }
  void SetTickMarkWidth(Integer V) {
    if (V >= 0 && Store(FTickMarkWidth, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  bool MinorUnitVisible() const { return FMinorUnitVisible; }
  void SetMinorUnitVisible(bool V) {
    if (Store(FMinorUnitVisible, V)) Changed();
  }
  bool MajorUnitVisible() const { return FMajorUnitVisible; }
  void SetMajorUnitVisible(bool V) {
    if (Store(FMajorUnitVisible, V)) Changed();
  }
  bool AutoUnits() const { return FAutoUnits; }
  void SetAutoUnits(bool V) {
    if (Store(FAutoUnits, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartSerieYAxis>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TChartFont FMajorFont, FMinorFont;
  double FMajorUnit = 0, FMinorUnit = 0;
  Integer FMajorUnitSpacing = 0, FMinorUnitSpacing = 0;
  TChartYAxisPosition FPosition = yLeft;
  TChartXYAxisText FTextLeft, FTextRight;
  TColor FTickMarkColor = clNone;
  Integer FTickMarkSize = 10, FTickMarkWidth = 1, FTickMarkSizeMinor = 7;
  bool FVisible = true, FMinorUnitVisible = true, FMajorUnitVisible = true, FAutoUnits = true;
};

class TChartSerieXAxis : public TChartPersistent {
public:
  void Assign(const TObject* Source) override;
  const String& DateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const String& V) {
    if (Store(FDateTimeFormat, V)) Changed();
  }
  TChartFont& DateTimeFont() { return FDateTimeFont; }
  TChartFont& MajorFont() { return FMajorFont; }
  const TChartFont& MajorFont() const { return FMajorFont; }
  TChartFont& MinorFont() { return FMinorFont; }
  void SetMajorFont(const TChartFont& V) {
    if (&V != &FMajorFont) {
      FMajorFont = V;
      Changed();
    }
  }
  void SetMinorFont(const TChartFont& V) {
    if (&V != &FMinorFont) {
      FMinorFont = V;
      Changed();
    }
  }
  void SetDateTimeFont(const TChartFont& V) {
    if (&V != &FDateTimeFont) {
      FDateTimeFont = V;
      Changed();
    }
  }
  double MajorUnit() const { return FMajorUnit; }
  void SetMajorUnit(double V) {
    if (V >= 0 && StoreFloat(FMajorUnit, V)) Changed();
  }
  double MinorUnit() const { return FMinorUnit; }
  void SetMinorUnit(double V) {
    if (V >= 0 && StoreFloat(FMinorUnit, V)) Changed();
  }
  Integer MajorUnitSpacing() const { return FMajorUnitSpacing; }
  void SetMajorUnitSpacing(Integer V) {
    if (Store(FMajorUnitSpacing, V)) Changed();
  }
  Integer MinorUnitSpacing() const { return FMinorUnitSpacing; }
  void SetMinorUnitSpacing(Integer V) {
    if (Store(FMinorUnitSpacing, V)) Changed();
  }
  const String& MajorUnitTimeFormat() const { return FMajorUnitTimeFormat; }
  void SetMajorUnitTimeFormat(const String& V) {
    if (Store(FMajorUnitTimeFormat, V)) Changed();
  }
  const String& MinorUnitTimeFormat() const { return FMinorUnitTimeFormat; }
  void SetMinorUnitTimeFormat(const String& V) {
    if (Store(FMinorUnitTimeFormat, V)) Changed();
  }
  TChartXAxisPosition Position() const { return FPosition; }
  void SetPosition(TChartXAxisPosition V) {
    if (Store(FPosition, V)) Changed();
  }
  // Changes made on these captions do not reach this axis's OnChange.
  TChartXYAxisText& TextTop() { return FTextTop; }
  TChartXYAxisText& TextBottom() { return FTextBottom; }
  TColor TickMarkColor() const { return FTickMarkColor; }
  void SetTickMarkColor(TColor V) {
    if (Store(FTickMarkColor, V)) Changed();
  }
  Integer TickMarkSize() const { return FTickMarkSize; }
  void SetTickMarkSize(Integer V) {
    if (Store(FTickMarkSize, V)) Changed();
  }
  Integer TickMarkWidth() const { return FTickMarkWidth; }
  void SetTickMarkWidth(Integer V) {
    if (V >= 0 && Store(FTickMarkWidth, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  bool AutoUnits() const { return FAutoUnits; }
  void SetAutoUnits(bool V) {
    if (Store(FAutoUnits, V)) Changed();
  }
  Integer XYValuesOffset() const { return FXYValueOffset; }
  void SetXYValuesOffset(Integer V) {
    if (Store(FXYValueOffset, V)) Changed();
  }
  bool XYValues() const { return FXYValues; }
  void SetXYValues(bool V) {
    if (Store(FXYValues, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartSerieXAxis>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  String FDateTimeFormat;
  TChartFont FDateTimeFont, FMajorFont, FMinorFont;
  double FMajorUnit = 1.0, FMinorUnit = 1.0;
  Integer FMajorUnitSpacing = 0, FMinorUnitSpacing = 0;
  String FMajorUnitTimeFormat, FMinorUnitTimeFormat;
  TChartXAxisPosition FPosition = xBottom;
  TChartXYAxisText FTextTop, FTextBottom;
  TColor FTickMarkColor = clBlack;
  Integer FTickMarkSize = 10, FTickMarkWidth = 1;
  bool FVisible = true, FAutoUnits = true;
  Integer FXYValueOffset = 0;
  bool FXYValues = true;
};

class TChartAnnotations;

class TChartAnnotation : public TChartPersistent {
public:
  explicit TChartAnnotation(TChartAnnotations* Collection);
  void Assign(const TObject* Source) override;
  TChartSerie* GetSerie() const;
  Integer Index() const;

  TAlignment TextHorizontalAlignment() const { return FTextHorizontalAlignment; }
  void SetTextHorizontalAlignment(TAlignment V) {
    if (Store(FTextHorizontalAlignment, V)) Changed();
  }
  TVerticalAlignment TextVerticalAlignment() const { return FTextVerticalAlignment; }
  void SetTextVerticalAlignment(TVerticalAlignment V) {
    if (Store(FTextVerticalAlignment, V)) Changed();
  }
  const String& Text() const { return FText; }
  void SetText(const String& V) {
    if (Store(FText, V)) Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (Store(FColor, V)) Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (Store(FColorTo, V)) Changed();
  }
  Integer PointIndex() const { return FPointIndex; }
  void SetPointIndex(Integer V) {
    if (Store(FPointIndex, V)) Changed();
  }
  TAnnotationShape Shape() const { return FShape; }
  void SetShape(TAnnotationShape V) {
    if (Store(FShape, V)) Changed();
  }
  TAnnotationBalloonDirection BalloonDirection() const { return FBalloonDirection; }
  void SetBalloonDirection(TAnnotationBalloonDirection V) {
    if (Store(FBalloonDirection, V)) Changed();
  }
  Integer BalloonArrowSize() const { return FBalloonArrowSize; }
  void SetBalloonArrowSize(Integer V) {
    if (Store(FBalloonArrowSize, V)) Changed();
  }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V) {
    if (Store(FBorderColor, V)) Changed();
  }
  Integer BorderRounding() const { return FBorderRounding; }
  void SetBorderRounding(Integer V) {
    if (Store(FBorderRounding, V)) Changed();
  }
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer V) {
    if (Store(FBorderWidth, V)) Changed();
  }
  Integer LineWidth() const { return FLineWidth; }
  void SetLineWidth(Integer V) {
    if (Store(FLineWidth, V)) Changed();
  }
  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor V) {
    if (Store(FLineColor, V)) Changed();
  }
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }
  void SetFont(const TChartFont& V) {
    if (&V != &FFont) FFont = V;
    Changed();
  }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer V) {
    if (Store(FWidth, V)) Changed();
  }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer V) {
    if (Store(FHeight, V)) Changed();
  }
  const TRect& AnnotationRect() const { return FAnnotationRect; }
  void SetAnnotationRect(const TRect& V) { FAnnotationRect = V; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool V) {
    if (Store(FAutoSize, V)) Changed();
  }
  Integer OffsetX() const { return FOffsetX; }
  void SetOffsetX(Integer V) {
    if (Store(FOffsetX, V)) Changed();
  }
  Integer OffsetY() const { return FOffsetY; }
  void SetOffsetY(Integer V) {
    if (Store(FOffsetY, V)) Changed();
  }
  Integer DisplayIndex() const { return FDisplayIndex; }
  void SetDisplayIndex(Integer V) { FDisplayIndex = V; }
  const TChartRegion& ClipRgn() const { return FClipRgn; }
  void SetClipRgn(const TChartRegion& V) { FClipRgn = V; }
  TAnnotationArrow Arrow() const { return FArrow; }
  void SetArrow(TAnnotationArrow V) {
    if (Store(FArrow, V)) Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (Store(FGradientSteps, V)) Changed();
  }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool V) {
    if (Store(FWordWrap, V)) Changed();
  }
  const String& Name() const { return FName; }
  void SetName(const String& V) {
    if (Store(FName, V)) Changed();
  }
  Integer ArrowSize() const { return FArrowSize; }
  void SetArrowSize(Integer V) {
    if (Store(FArrowSize, V)) Changed();
  }
  TColor ArrowColor() const { return FArrowColor; }
  void SetArrowColor(TColor V) {
    if (Store(FArrowColor, V)) Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (Store(FGradientDirection, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }

  // Paints the shape DR, the connector to (XM, YM) and the text in TextR.
  virtual void Draw(TChartCanvas& Canvas, TRect DR, TRect TextR, Integer XM, Integer YM, double ScaleX, double ScaleY);
  virtual TRect DrawBalloon(TChartCanvas& Canvas, const TRect& R, double ScaleX, double ScaleY,
                            const TChartRegion& ClipRgn);
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartAnnotation>& Keys();
  virtual void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  virtual void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TChartAnnotations* FCollection;  // not owned
  TAlignment FTextHorizontalAlignment = taLeftJustify;
  TVerticalAlignment FTextVerticalAlignment = taAlignTop;
  String FText;
  TColor FColor = clYellow, FColorTo = clNone;
  Integer FPointIndex = -1;
  TAnnotationShape FShape = asRectangle;
  TAnnotationBalloonDirection FBalloonDirection = hdDownLeft;
  Integer FBalloonArrowSize = 15;
  TColor FBorderColor = clBlack;
  Integer FBorderRounding = 0, FBorderWidth = 1, FLineWidth = 0;
  TColor FLineColor = clBlack;
  TChartFont FFont;
  Integer FWidth = 0, FHeight = 0;
  TRect FAnnotationRect;
  bool FAutoSize = true;
  Integer FOffsetX = 20, FOffsetY = 20, FDisplayIndex = 0;
  TChartRegion FClipRgn;
  TAnnotationArrow FArrow = arLine;
  Integer FGradientSteps = 100;
  bool FWordWrap = false;
  String FName;
  Integer FArrowSize = 10;
  TColor FArrowColor = clNone;
  TChartGradientDirection FGradientDirection = cgdVertical;
  bool FVisible = true;
};

class TChartAnnotations : public TChartPersistent {
public:
  explicit TChartAnnotations(TChartSerie* AOwner) : FOwner(AOwner) {}
  // Items by their Assign, same count as the source.
  void Assign(const TObject* Source) override;
  TChartSerie* Owner() const { return FOwner; }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TChartAnnotation& Items(Integer I) { return *FItems.at(I); }
  const TChartAnnotation& Items(Integer I) const { return *FItems.at(I); }
  // The new item notifies this collection; one made by Insert does not.
  TChartAnnotation& Add();
  TChartAnnotation& Insert(Integer Index);
  void Delete(Integer Index);
  void Clear() { FItems.clear(); }
  void SetItem(Integer Index, const TChartAnnotation& Value);
  Integer IndexOf(const TChartAnnotation* Item) const;
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

protected:
  virtual std::unique_ptr<TChartAnnotation> CreateItem() { return std::make_unique<TChartAnnotation>(this); }

private:
  TChartSerie* FOwner;
  std::vector<std::unique_ptr<TChartAnnotation>> FItems;
};

class TChartSerieXAxisGroups;

class TChartSerieXAxisGroup : public TChartPersistent {
public:
  explicit TChartSerieXAxisGroup(TChartSerieXAxisGroups* Collection);
  // Copies; the font copy notifies the serie.
  void Assign(const TObject* Source) override;
  // Every change reaches the owning serie directly.
  void Changed() override;
  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor V) {
    if (Store(FLineColor, V)) Changed();
  }
  Integer StartIndex() const { return FStartIndex; }
  void SetStartIndex(Integer V) {
    if (Store(FStartIndex, V)) Changed();
  }
  TChartSerieXAxisGroupLineType LineType() const { return FLineType; }
  void SetLineType(TChartSerieXAxisGroupLineType V) {
    if (Store(FLineType, V)) Changed();
  }
  Integer EndIndex() const { return FEndIndex; }
  void SetEndIndex(Integer V) {
    if (Store(FEndIndex, V)) Changed();
  }
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }
  void SetFont(const TChartFont& V) {
    if (&V != &FFont) FFont.Assign(V);
  }
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& V) {
    if (Store(FCaption, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  Integer Level() const { return FLevel; }
  void SetLevel(Integer V) {
    if (V >= 0 && Store(FLevel, V)) Changed();
  }
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer V) {
    if (V >= 0 && Store(FSpacing, V)) Changed();
  }
  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartSerieXAxisGroup>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TChartSerieXAxisGroups* FCollection;
  TColor FLineColor = clBlack;
  Integer FStartIndex = 0;
  TChartSerieXAxisGroupLineType FLineType = xgltVertical;
  Integer FEndIndex = 3;
  TChartFont FFont;
  String FCaption;
  bool FVisible = true;
  Integer FLevel = 0, FSpacing = 3;
};

class TChartSerieXAxisGroups : public TChartPersistent {
public:
  explicit TChartSerieXAxisGroups(TChartSerie* AOwner) : FOwner(AOwner) {}
  void Assign(const TObject* Source) override;
  TChartSerie* Owner() const { return FOwner; }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TChartSerieXAxisGroup& Items(Integer I) { return *FItems.at(I); }
  const TChartSerieXAxisGroup& Items(Integer I) const { return *FItems.at(I); }
  TChartSerieXAxisGroup& Add();
  TChartSerieXAxisGroup& Insert(Integer Index);
  // An index outside the list is ignored.
  void Delete(Integer Index) {
    if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
  }
  void Clear() { FItems.clear(); }
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  TChartSerie* FOwner;
  std::vector<std::unique_ptr<TChartSerieXAxisGroup>> FItems;
};

class TChartSeriePie : public TChartPersistent {
public:
  explicit TChartSeriePie(TChartSerie* AOwner);
  // Copies through the setters (each change notifies).
  void Assign(const TObject* Source) override;
  TChartSerie* Owner() const { return FOwner; }

  Integer Size() const { return FSize; }
  void SetSize(Integer V) {
    if (Store(FSize, V)) Changed();
  }
  TChartSeriePiePosition Position() const { return FPosition; }
  void SetPosition(TChartSeriePiePosition V) {
    if (Store(FPosition, V)) Changed();
  }
  Integer InnerSize() const { return FInnerSize; }
  void SetInnerSize(Integer V) {
    if (Store(FInnerSize, V)) Changed();
  }
  bool ShowValues() const { return FShowValues; }
  void SetShowValues(bool V) {
    if (Store(FShowValues, V)) Changed();
  }
  Integer StartOffsetAngle() const { return FStartOffsetAngle; }
  void SetStartOffsetAngle(Integer V) {
    if (Store(FStartOffsetAngle, V)) Changed();
  }
  // In-place changes of the value font do not notify; of the legend font do.
  TChartFont& ValueFont() { return FValueFont; }
  const TChartFont& ValueFont() const { return FValueFont; }
  void SetValueFont(const TChartFont& V) {
    if (&V != &FValueFont) {
      FValueFont = V;
      Changed();
    }
  }
  bool LegendVisible() const { return FLegendVisible; }
  void SetLegendVisible(bool V) {
    if (Store(FLegendVisible, V)) Changed();
  }
  Integer LegendOffsetLeft() const { return FLegendOffsetLeft; }
  void SetLegendOffsetLeft(Integer V) {
    if (Store(FLegendOffsetLeft, V)) Changed();
  }
  Integer LegendOffsetTop() const { return FLegendOffsetTop; }
  void SetLegendOffsetTop(Integer V) {
    if (Store(FLegendOffsetTop, V)) Changed();
  }
  TChartSeriePiePosition LegendPosition() const { return FLegendPosition; }
  void SetLegendPosition(TChartSeriePiePosition V) {
    if (Store(FLegendPosition, V)) Changed();
  }
  TColor LegendColor() const { return FLegendColor; }
  void SetLegendColor(TColor V) {
    if (Store(FLegendColor, V)) Changed();
  }
  TColor LegendBorderColor() const { return FLegendBorderColor; }
  void SetLegendBorderColor(TColor V) {
    if (Store(FLegendBorderColor, V)) Changed();
  }
  Integer LegendBorderWidth() const { return FLegendBorderWidth; }
  void SetLegendBorderWidth(Integer V) {
    if (Store(FLegendBorderWidth, V)) Changed();
  }
  Integer LegendGradientSteps() const { return FLegendGradientSteps; }
  void SetLegendGradientSteps(Integer V) {
    if (Store(FLegendGradientSteps, V)) Changed();
  }
  TChartGradientDirection LegendGradientDirection() const { return FLegendGradientDirection; }
  void SetLegendGradientDirection(TChartGradientDirection V) {
    if (Store(FLegendGradientDirection, V)) Changed();
  }
  TColor LegendColorTo() const { return FLegendColorTo; }
  void SetLegendColorTo(TColor V) {
    if (Store(FLegendColorTo, V)) Changed();
  }
  TChartFont& LegendFont() { return FLegendFont; }
  const TChartFont& LegendFont() const { return FLegendFont; }
  void SetLegendFont(const TChartFont& V) {
    if (&V != &FLegendFont) FLegendFont.Assign(V);
  }
  Integer LegendTitleGradientSteps() const { return FLegendTitleGradientSteps; }
  void SetLegendTitleGradientSteps(Integer V) {
    if (Store(FLegendTitleGradientSteps, V)) Changed();
  }
  TChartGradientDirection LegendTitleGradientDirection() const { return FLegendTitleGradientDirection; }
  void SetLegendTitleGradientDirection(TChartGradientDirection V) {
    if (Store(FLegendTitleGradientDirection, V)) Changed();
  }
  TColor LegendTitleColor() const { return FLegendTitleColor; }
  void SetLegendTitleColor(TColor V) {
    if (Store(FLegendTitleColor, V)) Changed();
  }
  bool LegendTitleVisible() const { return FLegendTitleVisible; }
  void SetLegendTitleVisible(bool V) {
    if (Store(FLegendTitleVisible, V)) Changed();
  }
  TColor LegendTitleColorTo() const { return FLegendTitleColorTo; }
  void SetLegendTitleColorTo(TColor V) {
    if (Store(FLegendTitleColorTo, V)) Changed();
  }
  Integer Top() const { return FTop; }
  void SetTop(Integer V) {
    if (Store(FTop, V)) Changed();
  }
  Integer Left() const { return FLeft; }
  void SetLeft(Integer V) {
    if (Store(FLeft, V)) Changed();
  }
  bool ShowGrid() const { return FShowGrid; }
  void SetShowGrid(bool V) {
    if (Store(FShowGrid, V)) Changed();
  }
  bool ShowGridPieLines() const { return FShowGridPieLines; }
  void SetShowGridPieLines(bool V) {
    if (Store(FShowGridPieLines, V)) Changed();
  }
  TChartSeriePieValuePosition ValuePosition() const { return FValuePosition; }
  void SetValuePosition(TChartSeriePieValuePosition V) {
    if (Store(FValuePosition, V)) Changed();
  }
  bool ShowLegendOnSlice() const { return FShowLegendOnSlice; }
  void SetShowLegendOnSlice(bool V) {
    if (Store(FShowLegendOnSlice, V)) Changed();
  }
  TChartSeriePieSizeType SizeType() const { return FSizeType; }
  void SetSizeType(TChartSeriePieSizeType V) {
    if (Store(FSizeType, V)) Changed();
  }

  // Diameters in pixels. Once a paint has fixed the series rectangle, the
  // pie never grows past its rectangle (less the 5-pixel edges the pie keeps)
  // and the hole never past the pie.
  Integer GetPieSize() const;
  Integer GetPieInnerSize() const;

  // The keys of its settings section, in writing order.
  static const TChartKeys<TChartSeriePie>& Keys();
  virtual void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  virtual void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

private:
  // The pie rectangle of the owner in the last series rectangle; false when
  // there is none yet.
  bool PieRectangle(TRect& R) const;
  Integer RawPieSize(const TRect* R) const;
  TChartSerie* FOwner;
  Integer FSize = 200;
  TChartSeriePiePosition FPosition = spCenterCenter;
  Integer FInnerSize = 50;
  bool FShowValues = false;
  Integer FStartOffsetAngle = 0;
  TChartFont FValueFont;
  bool FLegendVisible = true;
  Integer FLegendOffsetLeft = 0, FLegendOffsetTop = 0;
  TChartSeriePiePosition FLegendPosition = spCenterRight;
  TColor FLegendColor = clWhite, FLegendBorderColor = clBlack;
  Integer FLegendBorderWidth = 1, FLegendGradientSteps = 32;
  TChartGradientDirection FLegendGradientDirection = cgdHorizontal;
  TColor FLegendColorTo = clWhite;
  TChartFont FLegendFont;
  Integer FLegendTitleGradientSteps = 32;
  TChartGradientDirection FLegendTitleGradientDirection = cgdHorizontal;
  TColor FLegendTitleColor = clGray;
  bool FLegendTitleVisible = false;
  TColor FLegendTitleColorTo = clSilver;
  Integer FTop = 0, FLeft = 0;
  bool FShowGrid = true, FShowGridPieLines = true;
  TChartSeriePieValuePosition FValuePosition = vpInsideSlice;
  bool FShowLegendOnSlice = false;
  TChartSeriePieSizeType FSizeType = pstPixels;
};
