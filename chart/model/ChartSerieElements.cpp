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

void TChartSerieYAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  WriteChartFont(Ini, Section, u"Major", FMajorFont);
  Ini.WriteBool(Section, u"MajorUnitVisible", FMajorUnitVisible);
  Ini.WriteBool(Section, u"MinorUnitVisible", FMinorUnitVisible);
  WriteChartFont(Ini, Section, u"Minor", FMinorFont);
  Ini.WriteFloat(Section, u"MajorUnit", FMajorUnit);
  Ini.WriteInteger(Section, u"MajorUnitSpacing", FMajorUnitSpacing);
  Ini.WriteFloat(Section, u"MinorUnit", FMinorUnit);
  Ini.WriteInteger(Section, u"MinorUnitSpacing", FMinorUnitSpacing);
  Ini.WriteInteger(Section, u"Position", FPosition);
  FTextLeft.SaveToFile(Ini, Section + u".TextLeft");
  FTextRight.SaveToFile(Ini, Section + u".TextRight");
  Ini.WriteInteger(Section, u"TickMarkColor", FTickMarkColor);
  Ini.WriteInteger(Section, u"TickMarkSize", FTickMarkSize);
  Ini.WriteInteger(Section, u"TickMarkWidth", FTickMarkWidth);
  Ini.WriteBool(Section, u"Visible", FVisible);
  Ini.WriteBool(Section, u"AutoUnits", FAutoUnits);
}

void TChartSerieYAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  ReadChartFont(Ini, Section, u"Major", FMajorFont);
  ReadChartFont(Ini, Section, u"Minor", FMinorFont);
  SetMajorUnit(Ini.ReadFloat(Section, u"MajorUnit", FMajorUnit));
  SetMajorUnitSpacing(Ini.ReadInteger(Section, u"MajorUnitSpacing", FMajorUnitSpacing));
  SetMajorUnitVisible(Ini.ReadBool(Section, u"MajorUnitVisible", FMajorUnitVisible));
  SetMinorUnit(Ini.ReadFloat(Section, u"MinorUnit", FMinorUnit));
  SetMinorUnitSpacing(Ini.ReadInteger(Section, u"MinorUnitSpacing", FMinorUnitSpacing));
  SetMinorUnitVisible(Ini.ReadBool(Section, u"MinorUnitVisible", FMinorUnitVisible));
  SetPosition(ReadEnum(Ini, Section, u"Position", FPosition, 4));
  FTextLeft.LoadFromFile(Ini, Section + u".TextLeft");
  FTextRight.LoadFromFile(Ini, Section + u".TextRight");
  SetTickMarkColor(Ini.ReadInteger(Section, u"TickMarkColor", FTickMarkColor));
  SetTickMarkSize(Ini.ReadInteger(Section, u"TickMarkSize", FTickMarkSize));
  SetTickMarkSizeMinor(Ini.ReadInteger(Section, u"TickMarkSizeMinor", FTickMarkSizeMinor));
  SetTickMarkWidth(Ini.ReadInteger(Section, u"TickMarkWidth", FTickMarkWidth));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
  SetAutoUnits(Ini.ReadBool(Section, u"AutoUnits", FAutoUnits));
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

void TChartSerieXAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  WriteChartFont(Ini, Section, u"Major", FMajorFont);
  WriteChartFont(Ini, Section, u"Minor", FMinorFont);
  Ini.WriteString(Section, u"DateTimeFormat", FDateTimeFormat);
  WriteChartFont(Ini, Section, u"DateTime", FDateTimeFont);
  Ini.WriteFloat(Section, u"MajorUnit", FMajorUnit);
  Ini.WriteString(Section, u"MajorUnitTimeFormat", FMajorUnitTimeFormat);
  Ini.WriteInteger(Section, u"MajorUnitSpacing", FMajorUnitSpacing);
  Ini.WriteFloat(Section, u"MinorUnit", FMinorUnit);
  Ini.WriteString(Section, u"MinorUnitTimeFormat", FMinorUnitTimeFormat);
  Ini.WriteInteger(Section, u"MinorUnitSpacing", FMinorUnitSpacing);
  Ini.WriteInteger(Section, u"Position", FPosition);
  FTextTop.SaveToFile(Ini, Section + u".TextTop");
  FTextBottom.SaveToFile(Ini, Section + u".TextBottom");
  Ini.WriteInteger(Section, u"TickMarkColor", FTickMarkColor);
  Ini.WriteInteger(Section, u"TickMarkSize", FTickMarkSize);
  Ini.WriteInteger(Section, u"TickMarkWidth", FTickMarkWidth);
  Ini.WriteBool(Section, u"Visible", FVisible);
  Ini.WriteBool(Section, u"AutoUnits", FAutoUnits);
  Ini.WriteBool(Section, u"XYValues", FXYValues);
  Ini.WriteInteger(Section, u"XYValuesOffset", FXYValueOffset);
}

void TChartSerieXAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  ReadChartFont(Ini, Section, u"Major", FMajorFont);
  ReadChartFont(Ini, Section, u"Minor", FMinorFont);
  SetDateTimeFormat(Ini.ReadString(Section, u"DateTimeFormat", FDateTimeFormat));
  ReadChartFont(Ini, Section, u"DateTime", FDateTimeFont);
  SetMajorUnit(Ini.ReadFloat(Section, u"MajorUnit", FMajorUnit));
  SetMajorUnitTimeFormat(Ini.ReadString(Section, u"MajorUnitTimeFormat", FMajorUnitTimeFormat));
  SetMajorUnitSpacing(Ini.ReadInteger(Section, u"MajorUnitSpacing", FMajorUnitSpacing));
  SetMinorUnit(Ini.ReadFloat(Section, u"MinorUnit", FMinorUnit));
  SetMinorUnitTimeFormat(Ini.ReadString(Section, u"MinorUnitTimeFormat", FMinorUnitTimeFormat));
  SetMinorUnitSpacing(Ini.ReadInteger(Section, u"MinorUnitSpacing", FMinorUnitSpacing));
  SetPosition(ReadEnum(Ini, Section, u"Position", FPosition, 4));
  FTextTop.LoadFromFile(Ini, Section + u".TextTop");
  FTextBottom.LoadFromFile(Ini, Section + u".TextBottom");
  SetTickMarkColor(Ini.ReadInteger(Section, u"TickMarkColor", FTickMarkColor));
  SetTickMarkSize(Ini.ReadInteger(Section, u"TickMarkSize", FTickMarkSize));
  SetTickMarkWidth(Ini.ReadInteger(Section, u"TickMarkWidth", FTickMarkWidth));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
  SetAutoUnits(Ini.ReadBool(Section, u"AutoUnits", FAutoUnits));
  SetXYValues(Ini.ReadBool(Section, u"XYValues", FXYValues));
  SetXYValuesOffset(Ini.ReadInteger(Section, u"XYValuesOffset", FXYValueOffset));
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
  TChartRegion Balloon = TChartRegion::FromRoundRect(B, RoundI(FBorderRounding * ScaleX), RoundI(FBorderRounding * ScaleY))
                             .Combined(TChartRegion::FromPolygon(Tri), rcOr);
  Canvas.SetClipRegion(ClipRgn.Empty() ? Balloon : ClipRgn.Combined(Balloon, rcAnd));
  Canvas.Brush.SetColor(FColor);
  if (FColor == clNone || FColorTo == clNone)
    Canvas.FillRegion(Balloon);
  else
    FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, R, FGradientDirection, FBorderColor != clNone, FBorderColor, W,
                   csRectangle, 0, sdAll, false, false);
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
        FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, DR, FGradientDirection, FBorderColor != clNone, FBorderColor,
                       BW, csRectangle, 0, sdAll, false, false);
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
      FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, DR, FGradientDirection, FBorderColor != clNone, FBorderColor, BW,
                     FShape == asCircle ? csEllipse : csRoundRect, BR, sdAll, false, false);
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

void TChartAnnotation::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteString(Section, u"Name", FName);
  Ini.WriteInteger(Section, u"TextHorizontalAlignment", FTextHorizontalAlignment);
  Ini.WriteInteger(Section, u"TextVerticalAlignment", FTextVerticalAlignment);
  Ini.WriteInteger(Section, u"Arrow", FArrow);
  Ini.WriteInteger(Section, u"ArrowSize", FArrowSize);
  Ini.WriteInteger(Section, u"ArrowColor", FArrowColor);
  Ini.WriteBool(Section, u"AutoSize", FAutoSize);
  Ini.WriteInteger(Section, u"BalloonDirection", FBalloonDirection);
  Ini.WriteInteger(Section, u"BalloonArrowSize", FBalloonArrowSize);
  Ini.WriteInteger(Section, u"BorderColor", FBorderColor);
  Ini.WriteInteger(Section, u"BorderRounding", FBorderRounding);
  Ini.WriteInteger(Section, u"BorderWidth", FBorderWidth);
  Ini.WriteInteger(Section, u"LineWidth", FLineWidth);
  Ini.WriteInteger(Section, u"LineColor", FLineColor);
  Ini.WriteInteger(Section, u"Color", FColor);
  Ini.WriteInteger(Section, u"ColorTo", FColorTo);
  WriteChartFont(Ini, Section, u"", FFont);
  Ini.WriteInteger(Section, u"GradientSteps", FGradientSteps);
  Ini.WriteInteger(Section, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(Section, u"Height", FHeight);
  Ini.WriteInteger(Section, u"OffsetX", FOffsetX);
  Ini.WriteInteger(Section, u"OffsetY", FOffsetY);
  Ini.WriteInteger(Section, u"Shape", FShape);
  Ini.WriteString(Section, u"Text", FText);
  Ini.WriteInteger(Section, u"Width", FWidth);
  Ini.WriteBool(Section, u"WordWrap", FWordWrap);
  Ini.WriteBool(Section, u"Visible", FVisible);
  Ini.WriteInteger(Section, u"PointIndex", FPointIndex);
}

void TChartAnnotation::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetName(Ini.ReadString(Section, u"Name", FName));
  SetTextHorizontalAlignment(ReadEnum(Ini, Section, u"TextHorizontalAlignment", FTextHorizontalAlignment, 3));
  SetTextVerticalAlignment(ReadEnum(Ini, Section, u"TextVerticalAlignment", FTextVerticalAlignment, 3));
  SetArrow(ReadEnum(Ini, Section, u"Arrow", FArrow, 4));
  SetArrowSize(Ini.ReadInteger(Section, u"ArrowSize", FArrowSize));
  SetArrowColor(Ini.ReadInteger(Section, u"ArrowColor", FArrowColor));
  SetAutoSize(Ini.ReadBool(Section, u"AutoSize", FAutoSize));
  SetBalloonDirection(ReadEnum(Ini, Section, u"BalloonDirection", FBalloonDirection, 4));
  SetBalloonArrowSize(Ini.ReadInteger(Section, u"BalloonArrowSize", FBalloonArrowSize));
  SetBorderColor(Ini.ReadInteger(Section, u"BorderColor", FBorderColor));
  SetBorderRounding(Ini.ReadInteger(Section, u"BorderRounding", FBorderRounding));
  SetBorderWidth(Ini.ReadInteger(Section, u"BorderWidth", FBorderWidth));
  SetLineWidth(Ini.ReadInteger(Section, u"LineWidth", FLineWidth));
  SetLineColor(Ini.ReadInteger(Section, u"LineColor", FLineColor));
  SetColor(Ini.ReadInteger(Section, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(Section, u"ColorTo", FColorTo));
  ReadChartFont(Ini, Section, u"", FFont);
  SetGradientSteps(Ini.ReadInteger(Section, u"GradientSteps", FGradientSteps));
  SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", FGradientDirection, 2));
  SetHeight(Ini.ReadInteger(Section, u"Height", FHeight));
  SetOffsetX(Ini.ReadInteger(Section, u"OffsetX", FOffsetX));
  SetOffsetY(Ini.ReadInteger(Section, u"OffsetY", FOffsetY));
  SetShape(ReadEnum(Ini, Section, u"Shape", FShape, 5));
  SetText(Ini.ReadString(Section, u"Text", FText));
  SetWidth(Ini.ReadInteger(Section, u"Width", FWidth));
  SetWordWrap(Ini.ReadBool(Section, u"WordWrap", FWordWrap));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
  SetPointIndex(Ini.ReadInteger(Section, u"PointIndex", FPointIndex));
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

void TChartSerieXAxisGroup::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"Level", FLevel);
  Ini.WriteString(Section, u"Caption", FCaption);
  Ini.WriteInteger(Section, u"LineType", FLineType);
  Ini.WriteInteger(Section, u"LineColor", FLineColor);
  Ini.WriteInteger(Section, u"StartIndex", FStartIndex);
  Ini.WriteInteger(Section, u"EndIndex", FEndIndex);
  WriteChartFont(Ini, Section, u"", FFont);
  Ini.WriteBool(Section, u"Visible", FVisible);
  Ini.WriteInteger(Section, u"Spacing", FSpacing);
}

void TChartSerieXAxisGroup::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetCaption(Ini.ReadString(Section, u"Caption", FCaption));
  SetLineType(ReadEnum(Ini, Section, u"LineType", FLineType, 4));
  SetLineColor(Ini.ReadInteger(Section, u"LineColor", FLineColor));
  SetStartIndex(Ini.ReadInteger(Section, u"StartIndex", FStartIndex));
  SetEndIndex(Ini.ReadInteger(Section, u"EndIndex", FEndIndex));
  ReadChartFont(Ini, Section, u"", FFont);
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
  SetLevel(Ini.ReadInteger(Section, u"Level", FLevel));
  SetSpacing(Ini.ReadInteger(Section, u"Spacing", FSpacing));
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

void TChartSeriePie::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"Position", FPosition);
  Ini.WriteInteger(Section, u"Left", FLeft);
  Ini.WriteInteger(Section, u"Top", FTop);
  Ini.WriteInteger(Section, u"Size", FSize);
  Ini.WriteInteger(Section, u"InnerSize", FInnerSize);
  Ini.WriteBool(Section, u"ShowValues", FShowValues);
  Ini.WriteInteger(Section, u"StartOffsetAngle", FStartOffsetAngle);
  WriteChartFont(Ini, Section, u"Value", FValueFont);
  Ini.WriteBool(Section, u"LegendVisible", FLegendVisible);
  Ini.WriteInteger(Section, u"LegendOffsetLeft", FLegendOffsetLeft);
  Ini.WriteInteger(Section, u"LegendOffsetTop", FLegendOffsetTop);
  Ini.WriteInteger(Section, u"LegendPosition", FLegendPosition);
  WriteChartFont(Ini, Section, u"Legend", FLegendFont);
  Ini.WriteInteger(Section, u"LegendColor", FLegendColor);
  Ini.WriteInteger(Section, u"LegendColorTo", FLegendColorTo);
  Ini.WriteInteger(Section, u"LegendGradientSteps", FLegendGradientSteps);
  Ini.WriteInteger(Section, u"LegendGradientDirection", FLegendGradientDirection);
  Ini.WriteInteger(Section, u"LegendBorderColor", FLegendBorderColor);
  Ini.WriteInteger(Section, u"LegendBorderWidth", FLegendBorderWidth);
  Ini.WriteBool(Section, u"LegendTitleVisible", FLegendTitleVisible);
  Ini.WriteInteger(Section, u"LegendTitleColor", FLegendTitleColor);
  Ini.WriteInteger(Section, u"LegendTitleColorTo", FLegendTitleColorTo);
  Ini.WriteInteger(Section, u"LegendTitleGradientSteps", FLegendTitleGradientSteps);
  Ini.WriteInteger(Section, u"LegendTitleGradientDirection", FLegendTitleGradientDirection);
  Ini.WriteBool(Section, u"ShowGrid", FShowGrid);
  Ini.WriteBool(Section, u"ShowGridPieLines", FShowGridPieLines);
  Ini.WriteInteger(Section, u"ValuePosition", FValuePosition);
  Ini.WriteBool(Section, u"ShowLegendOnSlice", FShowLegendOnSlice);
  Ini.WriteInteger(Section, u"SizeType", FSizeType);
}

void TChartSeriePie::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetLeft(Ini.ReadInteger(Section, u"Left", FLeft));
  SetTop(Ini.ReadInteger(Section, u"Top", FTop));
  SetPosition(ReadEnum(Ini, Section, u"Position", FPosition, 10));
  SetSize(Ini.ReadInteger(Section, u"Size", FSize));
  SetInnerSize(Ini.ReadInteger(Section, u"InnerSize", FInnerSize));
  SetShowValues(Ini.ReadBool(Section, u"ShowValues", FShowValues));
  SetStartOffsetAngle(Ini.ReadInteger(Section, u"StartOffsetAngle", FStartOffsetAngle));
  ReadChartFont(Ini, Section, u"Value", FValueFont);
  SetLegendVisible(Ini.ReadBool(Section, u"LegendVisible", FLegendVisible));
  SetLegendPosition(ReadEnum(Ini, Section, u"LegendPosition", FLegendPosition, 10));
  SetLegendOffsetLeft(Ini.ReadInteger(Section, u"LegendOffsetLeft", FLegendOffsetLeft));
  SetLegendOffsetTop(Ini.ReadInteger(Section, u"LegendOffsetTop", FLegendOffsetTop));
  ReadChartFont(Ini, Section, u"Legend", FLegendFont);
  SetLegendColor(Ini.ReadInteger(Section, u"LegendColor", FLegendColor));
  SetLegendColorTo(Ini.ReadInteger(Section, u"LegendColorTo", FLegendColorTo));
  SetLegendGradientSteps(Ini.ReadInteger(Section, u"LegendGradientSteps", FLegendGradientSteps));
  SetLegendGradientDirection(ReadEnum(Ini, Section, u"LegendGradientDirection", FLegendGradientDirection, 2));
  SetLegendBorderColor(Ini.ReadInteger(Section, u"LegendBorderColor", FLegendBorderColor));
  SetLegendBorderWidth(Ini.ReadInteger(Section, u"LegendBorderWidth", FLegendBorderWidth));
  SetLegendTitleVisible(Ini.ReadBool(Section, u"LegendTitleVisible", FLegendTitleVisible));
  SetLegendTitleColor(Ini.ReadInteger(Section, u"LegendTitleColor", FLegendTitleColor));
  SetLegendTitleColorTo(Ini.ReadInteger(Section, u"LegendTitleColorTo", FLegendTitleColorTo));
  SetLegendTitleGradientSteps(Ini.ReadInteger(Section, u"LegendTitleGradientSteps", FLegendTitleGradientSteps));
  SetLegendTitleGradientDirection(ReadEnum(Ini, Section, u"LegendTitleGradientDirection", FLegendTitleGradientDirection, 2));
  SetShowGrid(Ini.ReadBool(Section, u"ShowGrid", FShowGrid));
  SetShowGridPieLines(Ini.ReadBool(Section, u"ShowGridPieLines", FShowGridPieLines));
  SetShowLegendOnSlice(Ini.ReadBool(Section, u"ShowLegendOnSlice", FShowLegendOnSlice));
  SetValuePosition(ReadEnum(Ini, Section, u"ValuePosition", FValuePosition, 2));
  SetSizeType(ReadEnum(Ini, Section, u"SizeType", FSizeType, 2));
}
