#include "chart/model/ChartSerieElements.h"

#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"
#include "rtl/SysUtils.h"

// ---------------------------------------------------------------- y axis
TChartSerieYAxis::TChartSerieYAxis() {
  FTextLeft.OnChange = [this](TObject*) { Changed(); };
  FTextRight.OnChange = [this](TObject*) { Changed(); };
}

void TChartSerieYAxis::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSerieYAxis*>(Source);
  if (!S) return;
  if (S != this) {
    FMinorUnitSpacing = S->FMinorUnitSpacing;
    FMajorUnitSpacing = S->FMajorUnitSpacing;
    FMajorUnit = S->FMajorUnit;
    FMinorUnit = S->FMinorUnit;
    FMajorFont = S->FMajorFont;
    FMinorFont = S->FMinorFont;
    FPosition = S->FPosition;
    FTextLeft.Assign(&S->FTextLeft);
    FTextRight.Assign(&S->FTextRight);
    FTickMarkColor = S->FTickMarkColor;
    FTickMarkSize = S->FTickMarkSize;
    FTickMarkWidth = S->FTickMarkWidth;
    FTickMarkSizeMinor = S->FTickMarkSizeMinor;
    FMajorUnitVisible = S->FMajorUnitVisible;
    FMinorUnitVisible = S->FMinorUnitVisible;
    FVisible = S->FVisible;
    FAutoUnits = S->FAutoUnits;
  }
  Changed();
}

const TChartKeys<TChartSerieYAxis>& TChartSerieYAxis::Keys() {
  using T = TChartSerieYAxis;
  static const TChartKeys<T> Table{
      ChartFontKey<T>(u"Major", &T::FMajorFont),
      ChartKey<&T::FMajorUnitVisible, &T::SetMajorUnitVisible>(u"MajorUnitVisible", true),
      ChartKey<&T::FMinorUnitVisible, &T::SetMinorUnitVisible>(u"MinorUnitVisible", true),
      ChartFontKey<T>(u"Minor", &T::FMinorFont),
      ChartKey<&T::FMajorUnit, &T::SetMajorUnit>(u"MajorUnit", 0.0),
      ChartKey<&T::FMajorUnitSpacing, &T::SetMajorUnitSpacing>(u"MajorUnitSpacing", 0),
      ChartKey<&T::FMinorUnit, &T::SetMinorUnit>(u"MinorUnit", 0.0),
      ChartKey<&T::FMinorUnitSpacing, &T::SetMinorUnitSpacing>(u"MinorUnitSpacing", 0),
      ChartEnumKey<&T::FPosition, &T::SetPosition>(u"Position", 4, yLeft),
      ChartSectionKey<T>(
          u".TextLeft",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FTextLeft.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FTextLeft.LoadFromFile(Ini, Section); }),
      ChartSectionKey<T>(
          u".TextRight",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FTextRight.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FTextRight.LoadFromFile(Ini, Section); }),
      ChartKey<&T::FTickMarkColor, &T::SetTickMarkColor>(u"TickMarkColor", clNone),
      ChartKey<&T::FTickMarkSize, &T::SetTickMarkSize>(u"TickMarkSize", 10),
      // Files carry the minor tick length for reading only: it is never
      // written, so a saved axis reloads with the length it had.
      ChartKey<&T::FTickMarkSizeMinor, &T::SetTickMarkSizeMinor>(u"TickMarkSizeMinor", 7, kuLoadOnly),
      ChartKey<&T::FTickMarkWidth, &T::SetTickMarkWidth>(u"TickMarkWidth", 1),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", true),
      ChartKey<&T::FAutoUnits, &T::SetAutoUnits>(u"AutoUnits", true),
  };
  return Table;
}

void TChartSerieYAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartSerieYAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}

// ---------------------------------------------------------------- x axis
void TChartSerieXAxis::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSerieXAxis*>(Source);
  if (!S || S == this) return;
  FDateTimeFormat = S->FDateTimeFormat;
  FDateTimeFont = S->FDateTimeFont;
  FMinorUnitSpacing = S->FMinorUnitSpacing;
  FMajorUnitSpacing = S->FMajorUnitSpacing;
  FMinorUnitTimeFormat = S->FMinorUnitTimeFormat;
  FMajorUnitTimeFormat = S->FMajorUnitTimeFormat;
  FMajorUnit = S->FMajorUnit;
  FMinorUnit = S->FMinorUnit;
  FMajorFont = S->FMajorFont;
  FMinorFont = S->FMinorFont;
  FPosition = S->FPosition;
  FTextTop.Assign(&S->FTextTop);
  FTextBottom.Assign(&S->FTextBottom);
  FTickMarkColor = S->FTickMarkColor;
  FTickMarkSize = S->FTickMarkSize;
  FTickMarkWidth = S->FTickMarkWidth;
  FVisible = S->FVisible;
  FAutoUnits = S->FAutoUnits;
  FXYValueOffset = S->FXYValueOffset;
  FXYValues = S->FXYValues;
}

const TChartKeys<TChartSerieXAxis>& TChartSerieXAxis::Keys() {
  using T = TChartSerieXAxis;
  static const TChartKeys<T> Table{
      ChartFontKey<T>(u"Major", &T::FMajorFont),
      ChartFontKey<T>(u"Minor", &T::FMinorFont),
      ChartKey<&T::FDateTimeFormat, &T::SetDateTimeFormat>(u"DateTimeFormat", u""),
      ChartFontKey<T>(u"DateTime", &T::FDateTimeFont),
      ChartKey<&T::FMajorUnit, &T::SetMajorUnit>(u"MajorUnit", 1.0),
      ChartKey<&T::FMajorUnitTimeFormat, &T::SetMajorUnitTimeFormat>(u"MajorUnitTimeFormat", u""),
      ChartKey<&T::FMajorUnitSpacing, &T::SetMajorUnitSpacing>(u"MajorUnitSpacing", 0),
      ChartKey<&T::FMinorUnit, &T::SetMinorUnit>(u"MinorUnit", 1.0),
      ChartKey<&T::FMinorUnitTimeFormat, &T::SetMinorUnitTimeFormat>(u"MinorUnitTimeFormat", u""),
      ChartKey<&T::FMinorUnitSpacing, &T::SetMinorUnitSpacing>(u"MinorUnitSpacing", 0),
      ChartEnumKey<&T::FPosition, &T::SetPosition>(u"Position", 4, xBottom),
      ChartSectionKey<T>(
          u".TextTop",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FTextTop.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FTextTop.LoadFromFile(Ini, Section); }),
      ChartSectionKey<T>(
          u".TextBottom",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FTextBottom.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) { E.FTextBottom.LoadFromFile(Ini, Section); }),
      ChartKey<&T::FTickMarkColor, &T::SetTickMarkColor>(u"TickMarkColor", clBlack),
      ChartKey<&T::FTickMarkSize, &T::SetTickMarkSize>(u"TickMarkSize", 10),
      ChartKey<&T::FTickMarkWidth, &T::SetTickMarkWidth>(u"TickMarkWidth", 1),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", true),
      ChartKey<&T::FAutoUnits, &T::SetAutoUnits>(u"AutoUnits", true),
      ChartKey<&T::FXYValues, &T::SetXYValues>(u"XYValues", true),
      ChartKey<&T::FXYValueOffset, &T::SetXYValuesOffset>(u"XYValuesOffset", 0),
  };
  return Table;
}

void TChartSerieXAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartSerieXAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}

// ---------------------------------------------------------------- annotations
TChartAnnotation::TChartAnnotation(TChartAnnotations* Collection) : FCollection(Collection) {
  FName = u"Annotation " + IntToStr(Collection ? Collection->Count() : 0);
}

TChartSerie* TChartAnnotation::GetSerie() const { return FCollection ? FCollection->Owner() : nullptr; }
Integer TChartAnnotation::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TChartAnnotation::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartAnnotation*>(Source);
  if (!S || S == this) return;
  FName = S->FName;
  FLineColor = S->FLineColor;
  FLineWidth = S->FLineWidth;
  FArrowColor = S->FArrowColor;
  FTextHorizontalAlignment = S->FTextHorizontalAlignment;
  FTextVerticalAlignment = S->FTextVerticalAlignment;
  FText = S->FText;
  FBalloonArrowSize = S->FBalloonArrowSize;
  FBalloonDirection = S->FBalloonDirection;
  FArrowSize = S->FArrowSize;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FPointIndex = S->FPointIndex;
  FDisplayIndex = S->FDisplayIndex;
  FBorderColor = S->FBorderColor;
  FBorderRounding = S->FBorderRounding;
  FFont = S->FFont;
  FWidth = S->FWidth;
  FHeight = S->FHeight;
  FAutoSize = S->FAutoSize;
  FOffsetX = S->FOffsetX;
  FOffsetY = S->FOffsetY;
  FArrow = S->FArrow;
  FShape = S->FShape;
  FGradientSteps = S->FGradientSteps;
  FGradientDirection = S->FGradientDirection;
  FBorderWidth = S->FBorderWidth;
  FVisible = S->FVisible;
  FWordWrap = S->FWordWrap;
}

TRect TChartAnnotation::DrawBalloon(TChartCanvas& Canvas, const TRect& R, double ScaleX, double ScaleY,
                                    const TChartRegion& ClipRgn) {
  Integer CX = RoundI(FBalloonArrowSize * ScaleX), CY = RoundI(FBalloonArrowSize * ScaleY), W = FBorderWidth;
  bool Up = FBalloonDirection == hdUpRight || FBalloonDirection == hdUpLeft;
  bool Right = FBalloonDirection == hdUpRight || FBalloonDirection == hdDownRight;
  TRect B = Up ? TRect{R.Left, R.Top + CY, R.Right, R.Bottom} : TRect{R.Left, R.Top, R.Right, R.Bottom - CY};
  Integer Base = Right ? B.Right - 10 : B.Left + 10;
  Integer Dir = Right ? -1 : 1;
  TPoint Tri[3];
  if (Up)
    Tri[0] = {Base, B.Top - CY}, Tri[1] = {Base + Dir * (CX + W), B.Top + W}, Tri[2] = {Base, B.Top + CY};
  else
    Tri[0] = {Base, B.Bottom - CY}, Tri[1] = {Base + Dir * (CX + W), B.Bottom - W}, Tri[2] = {Base, B.Bottom + CY};
  TChartRegion Balloon =
      TChartRegion::FromRoundRect(B, RoundI(FBorderRounding * ScaleX), RoundI(FBorderRounding * ScaleY))
          .Combined(TChartRegion::FromPolygon(Tri), rcOr);
  Canvas.SetClipRegion(ClipRgn.Empty() ? Balloon : ClipRgn.Combined(Balloon, rcAnd));
  Canvas.Brush.SetColor(FColor);
  if (FColor == clNone || FColorTo == clNone)
    Canvas.FillRegion(Balloon);
  else
    FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, R, FGradientDirection, FBorderColor != clNone,
                   FBorderColor, W, csRectangle, 0, sdAll, false, false);
  Canvas.Brush.SetColor(FBorderColor);
  Canvas.FrameRegion(Balloon, W, W);
  if (ClipRgn.Empty())
    Canvas.ClearClipRegion();
  else
    Canvas.SetClipRegion(ClipRgn);
  return B;
}

void TChartAnnotation::Draw(TChartCanvas& Canvas, TRect DR, TRect TextR, Integer XM, Integer YM, double ScaleX,
                            double ScaleY) {
  if (FColor != clNone) Canvas.Brush.SetColor(FColor);
  Integer BW = RoundI(FBorderWidth * ScaleX), BR = RoundI(FBorderRounding * ScaleX);
  if (FBorderColor != clNone) {
    Canvas.Pen.Color = FBorderColor;
    Canvas.Pen.Width = BW;
    Canvas.Pen.Style = psSolid;
  }
  TPoint Start{0, 0};
  bool Gradient = FColor != clNone && FColorTo != clNone;
  auto RestoreClip = [&] {
    if (FClipRgn.Empty())
      Canvas.ClearClipRegion();
    else
      Canvas.SetClipRegion(FClipRgn);
  };
  switch (FShape) {
    case asRectangle:
      if (!Gradient)
        Canvas.Rectangle(DR);
      else
        FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, DR, FGradientDirection, FBorderColor != clNone,
                       FBorderColor, BW, csRectangle, 0, sdAll, false, false);
      break;
    case asCircle:
    case asRoundRect: {
      if (!Gradient) {
        if (FShape == asCircle)
          Canvas.Ellipse(DR);
        else
          Canvas.RoundRect(DR, BR, BR);
        break;
      }
      TRect G{DR.Left - BW, DR.Top - BW, DR.Right + BW, DR.Bottom + BW};
      TChartRegion Shape = FShape == asCircle ? TChartRegion::FromEllipse(G) : TChartRegion::FromRoundRect(G, BR, BR);
      TChartRegion Clip = Shape.Combined(TChartRegion::FromRect(DR), rcAnd);
      if (!FClipRgn.Empty()) Clip = Clip.Combined(FClipRgn, rcAnd);
      Canvas.SetClipRegion(Clip);
      FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, DR, FGradientDirection, FBorderColor != clNone,
                     FBorderColor, BW, FShape == asCircle ? csEllipse : csRoundRect, BR, sdAll, false, false);
      RestoreClip();
      break;
    }
    case asBalloon:
      DR = DrawBalloon(Canvas, DR, ScaleX, ScaleY, FClipRgn);
      TextR = DR;
      break;
    case asLine: {
      TChartSerie* S = GetSerie();
      TPoint P;
      if (S) S->GetDrawPoint(FDisplayIndex, P);
      TRect SR = (S && S->Chart()) ? S->Chart()->Series().SeriesRectangle() : TRect{};
      Canvas.Pen.Color = FLineColor;
      Canvas.Pen.Width = FLineWidth;
      Canvas.Line(P.X, SR.Top, P.X, SR.Bottom);
      XM = P.X;
      YM = SR.Top;
      Start = {P.X, SR.Bottom};
      break;
    }
  }
  if (FShape != asLine) {
    Integer I = (FShape == asRectangle || FShape == asCircle) ? BW : BR / 2 - BW;
    if (FOffsetX < 0 && FOffsetY < 0)
      Start = {DR.Right - I, DR.Bottom - I};
    else if (FOffsetX < 0 && FOffsetY > 0)
      Start = {DR.Right - I, DR.Top + I};
    else if (FOffsetX > 0 && FOffsetY < 0)
      Start = {DR.Left + I, DR.Bottom - I};
    else
      Start = {DR.Left + I, DR.Top + I};
    Canvas.MoveTo(Start.X, Start.Y);
    if (FLineColor != clNone) {
      Canvas.Pen.Color = FLineColor;
      Canvas.Pen.Width = FLineWidth;
      Canvas.Pen.Style = psSolid;
    }
    Canvas.LineTo(XM, YM);
  }
  if (FArrow == arEndArrow || FArrow == arDoubleArrow)
    DrawArrowHead(Canvas, FArrowColor, FArrowSize, {XM, YM}, Start, ScaleX, ScaleY);
  if (FArrow == arStartArrow || FArrow == arDoubleArrow)
    DrawArrowHead(Canvas, FArrowColor, FArrowSize, Start, {XM, YM}, ScaleX, ScaleY);
  if (!FText.empty()) {
    TextR.Left += 1;
    Canvas.Brush.SetStyle(bsClear);
    TDrawTextFlags Flags{dtNoPrefix};
    if (FTextHorizontalAlignment == taRightJustify) Flags.Include(dtRight);
    if (FTextHorizontalAlignment == taCenter) Flags.Include(dtCenter);
    if (FTextVerticalAlignment == taAlignBottom) Flags.Include(dtBottom);
    if (FTextVerticalAlignment == taVerticalCenter) Flags.Include(dtVCenter);
    Flags.Include(FWordWrap ? dtWordBreak : dtSingleLine);
    Canvas.DrawText(FText, TextR, Flags);
  }
}

const TChartKeys<TChartAnnotation>& TChartAnnotation::Keys() {
  using T = TChartAnnotation;
  static const TChartKeys<T> Table{
      ChartKey<&T::FName, &T::SetName>(u"Name", u""),
      ChartEnumKey<&T::FTextHorizontalAlignment, &T::SetTextHorizontalAlignment>(u"TextHorizontalAlignment", 3,
                                                                                 taLeftJustify),
      ChartEnumKey<&T::FTextVerticalAlignment, &T::SetTextVerticalAlignment>(u"TextVerticalAlignment", 3, taAlignTop),
      ChartEnumKey<&T::FArrow, &T::SetArrow>(u"Arrow", 4, arLine),
      ChartKey<&T::FArrowSize, &T::SetArrowSize>(u"ArrowSize", 10),
      ChartKey<&T::FArrowColor, &T::SetArrowColor>(u"ArrowColor", clNone),
      ChartKey<&T::FAutoSize, &T::SetAutoSize>(u"AutoSize", true),
      ChartEnumKey<&T::FBalloonDirection, &T::SetBalloonDirection>(u"BalloonDirection", 4, hdDownLeft),
      ChartKey<&T::FBalloonArrowSize, &T::SetBalloonArrowSize>(u"BalloonArrowSize", 15),
      ChartKey<&T::FBorderColor, &T::SetBorderColor>(u"BorderColor", clBlack),
      ChartKey<&T::FBorderRounding, &T::SetBorderRounding>(u"BorderRounding", 0),
      ChartKey<&T::FBorderWidth, &T::SetBorderWidth>(u"BorderWidth", 1),
      ChartKey<&T::FLineWidth, &T::SetLineWidth>(u"LineWidth", 0),
      ChartKey<&T::FLineColor, &T::SetLineColor>(u"LineColor", clBlack),
      ChartKey<&T::FColor, &T::SetColor>(u"Color", clYellow),
      ChartKey<&T::FColorTo, &T::SetColorTo>(u"ColorTo", clNone),
      ChartFontKey<T>(u"", &T::FFont),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 100),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdVertical),
      ChartKey<&T::FHeight, &T::SetHeight>(u"Height", 0),
      ChartKey<&T::FOffsetX, &T::SetOffsetX>(u"OffsetX", 20),
      ChartKey<&T::FOffsetY, &T::SetOffsetY>(u"OffsetY", 20),
      ChartEnumKey<&T::FShape, &T::SetShape>(u"Shape", 5, asRectangle),
      ChartKey<&T::FText, &T::SetText>(u"Text", u""),
      ChartKey<&T::FWidth, &T::SetWidth>(u"Width", 0),
      ChartKey<&T::FWordWrap, &T::SetWordWrap>(u"WordWrap", false),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", true),
      ChartKey<&T::FPointIndex, &T::SetPointIndex>(u"PointIndex", -1),
  };
  return Table;
}

void TChartAnnotation::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartAnnotation::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}

void TChartAnnotations::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartAnnotations*>(Source);
  if (!S || S == this) return;
  FItems.clear();
  for (const auto& Item : S->FItems) Add().Assign(Item.get());
  Changed();
}

TChartAnnotation& TChartAnnotations::Add() {
  FItems.push_back(CreateItem());
  TChartAnnotation& A = *FItems.back();
  A.OnChange = [this](TObject*) { Changed(); };
  return A;
}

TChartAnnotation& TChartAnnotations::Insert(Integer Index) {
  Index = std::clamp<Integer>(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, CreateItem());
  return *FItems[Index];
}

void TChartAnnotations::Delete(Integer Index) {
  if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

void TChartAnnotations::SetItem(Integer Index, const TChartAnnotation& Value) {
  Items(Index).Assign(&Value);
  Changed();
}

Integer TChartAnnotations::IndexOf(const TChartAnnotation* Item) const {
  for (Integer I = 0; I < Count(); ++I)
    if (FItems[I].get() == Item) return I;
  return -1;
}

void TChartAnnotations::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  for (const auto& A : FItems) A->SaveToFile(Ini, Section + u"." + A->Name());
}

void TChartAnnotations::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  for (const auto& A : FItems) {
    String Sec = Section + u"." + A->Name();
    if (Ini.SectionExists(Sec)) A->LoadFromFile(Ini, Sec);
  }
}

// ---------------------------------------------------------------- x-axis groups
TChartSerieXAxisGroup::TChartSerieXAxisGroup(TChartSerieXAxisGroups* Collection) : FCollection(Collection) {
  FFont.OnChange = [this](TObject*) { Changed(); };
}

void TChartSerieXAxisGroup::Changed() {
  TChartPersistent::Changed();
  if (FCollection && FCollection->Owner()) FCollection->Owner()->Changed();
}

void TChartSerieXAxisGroup::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSerieXAxisGroup*>(Source);
  if (!S || S == this) return;
  FLineColor = S->FLineColor;
  FLineType = S->FLineType;
  FStartIndex = S->FStartIndex;
  FEndIndex = S->FEndIndex;
  FVisible = S->FVisible;
  FCaption = S->FCaption;
  FLevel = S->FLevel;
  FSpacing = S->FSpacing;
  FFont.Assign(S->FFont);
}

const TChartKeys<TChartSerieXAxisGroup>& TChartSerieXAxisGroup::Keys() {
  using T = TChartSerieXAxisGroup;
  static const TChartKeys<T> Table{
      ChartKey<&T::FLevel, &T::SetLevel>(u"Level", 0),
      ChartKey<&T::FCaption, &T::SetCaption>(u"Caption", u""),
      ChartEnumKey<&T::FLineType, &T::SetLineType>(u"LineType", 4, xgltVertical),
      ChartKey<&T::FLineColor, &T::SetLineColor>(u"LineColor", clBlack),
      ChartKey<&T::FStartIndex, &T::SetStartIndex>(u"StartIndex", 0),
      ChartKey<&T::FEndIndex, &T::SetEndIndex>(u"EndIndex", 3),
      ChartFontKey<T>(u"", &T::FFont),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", true),
      ChartKey<&T::FSpacing, &T::SetSpacing>(u"Spacing", 3),
  };
  return Table;
}

void TChartSerieXAxisGroup::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartSerieXAxisGroup::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}

void TChartSerieXAxisGroups::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSerieXAxisGroups*>(Source);
  if (!S || S == this) return;
  FItems.clear();
  for (const auto& G : S->FItems) Add().Assign(G.get());
}

TChartSerieXAxisGroup& TChartSerieXAxisGroups::Add() {
  FItems.push_back(std::make_unique<TChartSerieXAxisGroup>(this));
  return *FItems.back();
}

TChartSerieXAxisGroup& TChartSerieXAxisGroups::Insert(Integer Index) {
  Index = std::clamp<Integer>(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, std::make_unique<TChartSerieXAxisGroup>(this));
  return *FItems[Index];
}

void TChartSerieXAxisGroups::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  for (Integer I = 0; I < Count(); ++I) FItems[I]->SaveToFile(Ini, Section + u"." + IntToStr(I));
}

void TChartSerieXAxisGroups::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  for (Integer I = 0; I < Count(); ++I) FItems[I]->LoadFromFile(Ini, Section + u"." + IntToStr(I));
}

// ---------------------------------------------------------------- pie settings
TChartSeriePie::TChartSeriePie(TChartSerie* AOwner) : FOwner(AOwner) {
  FLegendFont.OnChange = [this](TObject*) { Changed(); };
}

void TChartSeriePie::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSeriePie*>(Source);
  if (!S || S == this) return;
  SetPosition(S->FPosition);
  SetLeft(S->FLeft);
  SetTop(S->FTop);
  SetSize(S->FSize);
  SetInnerSize(S->FInnerSize);
  FValueFont = S->FValueFont;
  SetStartOffsetAngle(S->FStartOffsetAngle);
  SetShowValues(S->FShowValues);
  SetLegendColor(S->FLegendColor);
  SetLegendColorTo(S->FLegendColorTo);
  SetLegendBorderColor(S->FLegendBorderColor);
  SetLegendBorderWidth(S->FLegendBorderWidth);
  SetLegendGradientSteps(S->FLegendGradientSteps);
  SetLegendGradientDirection(S->FLegendGradientDirection);
  SetLegendOffsetLeft(S->FLegendOffsetLeft);
  SetLegendOffsetTop(S->FLegendOffsetTop);
  SetLegendVisible(S->FLegendVisible);
  FLegendFont.Assign(S->FLegendFont);
  SetLegendTitleVisible(S->FLegendTitleVisible);
  SetLegendTitleColor(S->FLegendTitleColor);
  SetLegendTitleColorTo(S->FLegendTitleColorTo);
  SetLegendTitleGradientSteps(S->FLegendTitleGradientSteps);
  SetLegendTitleGradientDirection(S->FLegendTitleGradientDirection);
  SetLegendPosition(S->FLegendPosition);
  FShowGrid = S->FShowGrid;
  FShowGridPieLines = S->FShowGridPieLines;
  FValuePosition = S->FValuePosition;
  FShowLegendOnSlice = S->FShowLegendOnSlice;
  FSizeType = S->FSizeType;
}

bool TChartSeriePie::PieRectangle(TRect& R) const {
  if (!FOwner || !FOwner->Chart()) return false;
  TRect SR = FOwner->Chart()->Series().SeriesRectangle();
  if (SR.IsEmpty()) return false;
  R = FOwner->GetPieRectangle(FOwner->Index(), SR);
  return true;
}

Integer TChartSeriePie::RawPieSize(const TRect* R) const {
  if (FSizeType == pstPixels) return FSize;
  if (FSizeType != pstPercentage || !R) return 0;
  return RoundI(FSize / 100.0 * std::min(R->Width(), R->Height()));
}

Integer TChartSeriePie::GetPieSize() const {
  TRect R;
  bool Have = PieRectangle(R);
  Integer Size = RawPieSize(Have ? &R : nullptr);
  // Keep the pie inside its rectangle, 5 pixels from each edge.
  if (Have) Size = std::min(Size, std::max(0, std::min(R.Width(), R.Height()) - 10));
  return std::max(0, Size);
}

Integer TChartSeriePie::GetPieInnerSize() const {
  TRect R;
  bool Have = PieRectangle(R);
  Integer Size = 0;
  if (FSizeType == pstPixels)
    Size = FInnerSize;
  else if (FSizeType == pstPercentage && Have)
    Size = RoundI(FInnerSize / 100.0 * std::max(R.Width(), R.Height()));
  if (Have) Size = std::min(Size, GetPieSize());
  return std::max(0, Size);
}

const TChartKeys<TChartSeriePie>& TChartSeriePie::Keys() {
  using T = TChartSeriePie;
  static const TChartKeys<T> Table{
      ChartEnumKey<&T::FPosition, &T::SetPosition>(u"Position", 10, spCenterCenter),
      ChartKey<&T::FLeft, &T::SetLeft>(u"Left", 0),
      ChartKey<&T::FTop, &T::SetTop>(u"Top", 0),
      ChartKey<&T::FSize, &T::SetSize>(u"Size", 200),
      ChartKey<&T::FInnerSize, &T::SetInnerSize>(u"InnerSize", 50),
      ChartKey<&T::FShowValues, &T::SetShowValues>(u"ShowValues", false),
      ChartKey<&T::FStartOffsetAngle, &T::SetStartOffsetAngle>(u"StartOffsetAngle", 0),
      ChartFontKey<T>(u"Value", &T::FValueFont),
      ChartKey<&T::FLegendVisible, &T::SetLegendVisible>(u"LegendVisible", true),
      ChartKey<&T::FLegendOffsetLeft, &T::SetLegendOffsetLeft>(u"LegendOffsetLeft", 0),
      ChartKey<&T::FLegendOffsetTop, &T::SetLegendOffsetTop>(u"LegendOffsetTop", 0),
      ChartEnumKey<&T::FLegendPosition, &T::SetLegendPosition>(u"LegendPosition", 10, spCenterRight),
      ChartFontKey<T>(u"Legend", &T::FLegendFont),
      ChartKey<&T::FLegendColor, &T::SetLegendColor>(u"LegendColor", clWhite),
      ChartKey<&T::FLegendColorTo, &T::SetLegendColorTo>(u"LegendColorTo", clWhite),
      ChartKey<&T::FLegendGradientSteps, &T::SetLegendGradientSteps>(u"LegendGradientSteps", 32),
      ChartEnumKey<&T::FLegendGradientDirection, &T::SetLegendGradientDirection>(u"LegendGradientDirection", 2,
                                                                                 cgdHorizontal),
      ChartKey<&T::FLegendBorderColor, &T::SetLegendBorderColor>(u"LegendBorderColor", clBlack),
      ChartKey<&T::FLegendBorderWidth, &T::SetLegendBorderWidth>(u"LegendBorderWidth", 1),
      ChartKey<&T::FLegendTitleVisible, &T::SetLegendTitleVisible>(u"LegendTitleVisible", false),
      ChartKey<&T::FLegendTitleColor, &T::SetLegendTitleColor>(u"LegendTitleColor", clGray),
      ChartKey<&T::FLegendTitleColorTo, &T::SetLegendTitleColorTo>(u"LegendTitleColorTo", clSilver),
      ChartKey<&T::FLegendTitleGradientSteps, &T::SetLegendTitleGradientSteps>(u"LegendTitleGradientSteps", 32),
      ChartEnumKey<&T::FLegendTitleGradientDirection, &T::SetLegendTitleGradientDirection>(
          u"LegendTitleGradientDirection", 2, cgdHorizontal),
      ChartKey<&T::FShowGrid, &T::SetShowGrid>(u"ShowGrid", true),
      ChartKey<&T::FShowGridPieLines, &T::SetShowGridPieLines>(u"ShowGridPieLines", true),
      ChartEnumKey<&T::FValuePosition, &T::SetValuePosition>(u"ValuePosition", 2, vpInsideSlice),
      ChartKey<&T::FShowLegendOnSlice, &T::SetShowLegendOnSlice>(u"ShowLegendOnSlice", false),
      ChartEnumKey<&T::FSizeType, &T::SetSizeType>(u"SizeType", 2, pstPixels),
  };
  return Table;
}

void TChartSeriePie::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartSeriePie::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}
