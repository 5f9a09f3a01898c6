#include "chart/model/ChartElements.h"

#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"

// ---------------------------------------------------------------- title
void TChartTitle::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartTitle*>(Source);
  if (!S || S == this) return;
  FAlignment = S->FAlignment;
  FVerticalAlignment = S->FVerticalAlignment;
  FBorderColor = S->FBorderColor;
  FBorderWidth = S->FBorderWidth;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FGradientSteps = S->FGradientSteps;
  FGradientDirection = S->FGradientDirection;
  FFont = S->FFont;
  FPosition = S->FPosition;
  FSize = S->FSize;
  FText = S->FText;
}

void TChartTitle::SetFont(const TChartFont& V) {
  if (&V != &FFont) FFont = V;
  Changed();
}

void TChartTitle::Draw(TChartCanvas& Canvas, bool Top, TRect R, double, double) {
  if (FColor == clNone || FColorTo == clNone) {
    if (FColor != clNone) {
      if (FBorderColor != clNone) {
        Canvas.Pen = {FBorderColor, FBorderWidth, psSolid};
      } else {
        Canvas.Pen.Color = FColor;
        Canvas.Pen.Style = psSolid;
      }
      Canvas.Brush.SetColor(FColor);
      Canvas.Rectangle(R);
    } else if (FBorderColor != clNone) {
      Canvas.Pen = {FBorderColor, FBorderWidth, psSolid};
      Canvas.Brush.SetStyle(bsClear);
      Canvas.Rectangle(R);
    }
  } else {
    FillChartShape(Canvas, Top ? FColor : FColorTo, Top ? FColorTo : FColor, FGradientSteps, R, FGradientDirection,
                   FBorderColor != clNone, FBorderColor, FBorderWidth, csRectangle, 0, sdAll, false, false);
  }
  Canvas.Font = FFont;
  Canvas.Brush.SetStyle(bsClear);
  TDrawTextFlags Flags{dtNoClip};
  if (FAlignment == taRightJustify) Flags.Include(dtRight);
  if (FAlignment == taCenter) Flags.Include(dtCenter);
  if (FVerticalAlignment == taAlignBottom) Flags += TDrawTextFlags{dtBottom, dtSingleLine};
  if (FVerticalAlignment == taVerticalCenter) Flags += TDrawTextFlags{dtVCenter, dtSingleLine};
  TRect T{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  Canvas.DrawText(FText, T, Flags);
}

void TChartTitle::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"Alignment", FAlignment);
  Ini.WriteInteger(Section, u"VerticalAlignment", FVerticalAlignment);
  Ini.WriteInteger(Section, u"Color", FColor);
  Ini.WriteInteger(Section, u"ColorTo", FColorTo);
  Ini.WriteInteger(Section, u"GradientSteps", FGradientSteps);
  Ini.WriteInteger(Section, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(Section, u"BorderColor", FBorderColor);
  Ini.WriteInteger(Section, u"BorderWidth", FBorderWidth);
  WriteChartFont(Ini, Section, u"", FFont);
  Ini.WriteInteger(Section, u"Position", FPosition);
  Ini.WriteInteger(Section, u"Size", FSize);
  Ini.WriteString(Section, u"Text", FText);
}

void TChartTitle::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetAlignment(ReadEnum(Ini, Section, u"Alignment", FAlignment, 3));
  SetVerticalAlignment(ReadEnum(Ini, Section, u"VerticalAlignment", FVerticalAlignment, 3));
  SetColor(Ini.ReadInteger(Section, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(Section, u"ColorTo", FColorTo));
  SetBorderColor(Ini.ReadInteger(Section, u"BorderColor", FBorderColor));
  SetBorderWidth(Ini.ReadInteger(Section, u"BorderWidth", FBorderWidth));
  SetGradientSteps(Ini.ReadInteger(Section, u"GradientSteps", FGradientSteps));
  SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", FGradientDirection, 2));
  ReadChartFont(Ini, Section, u"", FFont);
  SetPosition(ReadEnum(Ini, Section, u"Position", FPosition, 4));
  SetSize(Ini.ReadInteger(Section, u"Size", FSize));
  SetText(Ini.ReadString(Section, u"Text", FText));
}

// ---------------------------------------------------------------- background
void DrawPositionedGraphic(TChartCanvas& Canvas, const TChartPicture& Picture, TChartBackGroundPosition Position,
                           const TRect& R, double ScaleX, double ScaleY, Integer TileTop, Integer TileLeft) {
  const TChartGraphic* G = Picture.Graphic();
  if (!G) return;
  Integer W = RoundI(G->Width() * ScaleX), H = RoundI(G->Height() * ScaleY);
  switch (Position) {
    case bpTopLeft: Canvas.Draw(R.Left, R.Top, *G); break;
    case bpTopRight: Canvas.Draw(std::max(R.Left, R.Right - W), R.Top, *G); break;
    case bpBottomLeft: Canvas.Draw(R.Left, std::max(R.Top, R.Bottom - H), *G); break;
    case bpBottomRight: Canvas.Draw(std::max(R.Left, R.Right - W), std::max(R.Top, R.Bottom - H), *G); break;
    case bpTiled:
      if (W <= 0 || H <= 0) break;
      for (Integer Y = R.Top + TileTop; Y < R.Bottom; Y += H)
        for (Integer X = R.Left + TileLeft; X < R.Right; X += W) Canvas.Draw(X, Y, *G);
      break;
    case bpStretched: Canvas.StretchDraw(R, *G); break;
    case bpCenter:
      // Centred in the area; never left of or above it.
      Canvas.Draw(R.Left + std::max(0, (R.Width() - W) / 2), R.Top + std::max(0, (R.Height() - H) / 2), *G);
      break;
  }
}

TChartBackground::TChartBackground(TVivIzude* AOwner) : FOwner(AOwner) {
  FPicture.OnChange = [this](TObject*) { Changed(); };
}

void TChartBackground::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartBackground*>(Source);
  if (!S || S == this) return;
  FBackGroundPosition = S->FBackGroundPosition;
  FGradientDirection = S->FGradientDirection;
  FGradientSteps = S->FGradientSteps;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FFont = S->FFont;
  TNotifyEvent Saved = std::move(FPicture.OnChange);
  FPicture.Assign(S->FPicture);
  FPicture.OnChange = std::move(Saved);
  FPictureVisible = S->FPictureVisible;
}

void TChartBackground::SetFont(const TChartFont& V) {
  if (&V != &FFont) FFont = V;
  Changed();
}

void TChartBackground::SetPicture(const TChartPicture& V) {
  if (&V != &FPicture) FPicture.Assign(V);
  Changed();
}

void TChartBackground::Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  if (FColor == clNone)
    Canvas.Brush.SetStyle(bsClear);
  else
    Canvas.Brush.SetColor(FColor);
  Canvas.Pen.Color = FColor;
  Canvas.Font = FFont;
  if (FColorTo == clNone) {
    if (FColor != clNone) Canvas.FillRect(R);
  } else {
    FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, R, FGradientDirection, false, clNone, 0, csRectangle, 0,
                   sdAll, false, false);
  }
  if (FPicture.HasGraphic() && FPictureVisible) DrawPositionedGraphic(Canvas, FPicture, FBackGroundPosition, R, ScaleX, ScaleY);
}

void TChartBackground::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"BackGroundPosition", FBackGroundPosition);
  Ini.WriteInteger(Section, u"Color", FColor);
  Ini.WriteInteger(Section, u"ColorTo", FColorTo);
  Ini.WriteInteger(Section, u"GradientSteps", FGradientSteps);
  Ini.WriteInteger(Section, u"GradientDirection", FGradientDirection);
  WriteChartFont(Ini, Section, u"", FFont);
  Ini.WriteBool(Section, u"PictureVisible", FPictureVisible);
}

void TChartBackground::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetBackGroundPosition(ReadEnum(Ini, Section, u"BackGroundPosition", FBackGroundPosition, 7));
  SetColor(Ini.ReadInteger(Section, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(Section, u"ColorTo", FColorTo));
  SetGradientSteps(Ini.ReadInteger(Section, u"GradientSteps", FGradientSteps));
  SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", FGradientDirection, 2));
  ReadChartFont(Ini, Section, u"", FFont);
  SetPictureVisible(Ini.ReadBool(Section, u"PictureVisible", FPictureVisible));
}

// ---------------------------------------------------------------- axes
void TChartAxisBand::AssignBand(const TChartAxisBand& S) {
  FAlignment = S.FAlignment;
  FColor = S.FColor;
  FColorTo = S.FColorTo;
  FGradientDirection = S.FGradientDirection;
  FGradientSteps = S.FGradientSteps;
  FLineWidth = S.FLineWidth;
  FLine = S.FLine;
  FLineColor = S.FLineColor;
  FSize = S.FSize;
  FText = S.FText;
  FOffset3D = S.FOffset3D;
  FDarken3D = S.FDarken3D;
  FEnable3D = S.FEnable3D;
  FAutoSize = S.FAutoSize;
  FFont = S.FFont;
}

Integer TChartAxisBand::LineSize(bool OnSide, bool NearSide) const {
  if (!OnSide || !FLine) return 0;
  if (FLineWidth == 1) return NearSide ? 1 : 0;
  return FLineWidth / 2;
}

void TChartAxisBand::FillBand(TChartCanvas& Canvas, const TRect& R, bool Reverse) const {
  if (FColor == clNone)
    Canvas.Brush.SetStyle(bsClear);
  else
    Canvas.Brush.SetColor(DarkenColor(FColor, FDarken3D));
  if (FLineColor == clNone)
    Canvas.Pen.Style = psClear;
  else
    Canvas.Pen = {FLineColor, FLineWidth, psSolid};
  TColor C2 = FColorTo == clNone ? FColor : FColorTo;
  if (FColor == clNone) return;
  FillChartShape(Canvas, Reverse ? C2 : FColor, Reverse ? FColor : C2, FGradientSteps, R, FGradientDirection, false,
                 clNone, 0, csRectangle, 0, 0, false, false);
}

static void SaveAxisBandKeys(TCustomIniFile& Ini, const String& Section, const TChartAxisBand& A) {
  Ini.WriteInteger(Section, u"Alignment", A.Alignment());
  Ini.WriteInteger(Section, u"Color", A.Color());
  Ini.WriteInteger(Section, u"ColorTo", A.ColorTo());
  Ini.WriteInteger(Section, u"GradientDirection", A.GradientDirection());
  // "GradienSteps" is the file's own spelling of this key.
  Ini.WriteInteger(Section, u"GradienSteps", A.GradientSteps());
  WriteChartFont(Ini, Section, u"", A.Font());
  Ini.WriteBool(Section, u"Line", A.Line());
  Ini.WriteInteger(Section, u"LineWidth", A.LineWidth());
}

static void LoadAxisBandKeys(const TCustomIniFile& Ini, const String& Section, TChartAxisBand& A) {
  A.SetAlignment(ReadEnum(Ini, Section, u"Alignment", A.Alignment(), 3));
  A.SetColor(Ini.ReadInteger(Section, u"Color", A.Color()));
  A.SetColorTo(Ini.ReadInteger(Section, u"ColorTo", A.ColorTo()));
  A.SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", A.GradientDirection(), 2));
  A.SetGradientSteps(Ini.ReadInteger(Section, u"GradienSteps", A.GradientSteps()));
  ReadChartFont(Ini, Section, u"", A.Font());
  A.SetLine(Ini.ReadBool(Section, u"Line", A.Line()));
  A.SetLineWidth(Ini.ReadInteger(Section, u"LineWidth", A.LineWidth()));
}

TChartXAxis::TChartXAxis(TVivIzude* AOwner) : TChartAxisBand(AOwner) {
  FFont.OnChange = [this](TObject*) { Changed(); };
}

void TChartXAxis::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartXAxis*>(Source);
  if (!S || S == this) return;
  AssignBand(*S);
  FPosition = S->FPosition;
  FUnitType = S->FUnitType;
}

Integer TChartXAxis::SideSize(bool Bottom) const {
  if (!FAutoSize || !FOwner || !FOwner->GetPaneRectangle) return FSize;
  TRect Pane;
  FOwner->GetPaneRectangle(FOwner, Pane);
  return FOwner->GetTotalXAxisSize(Pane, Bottom);
}

Integer TChartXAxis::TopSize() const { return (FPosition == xTop || FPosition == xBoth) ? SideSize(false) : 0; }
Integer TChartXAxis::BottomSize() const { return (FPosition == xBottom || FPosition == xBoth) ? SideSize(true) : 0; }

void TChartXAxis::Draw(TChartCanvas& Canvas, TRect R, bool Top, double ScaleX, double, bool Horizontal) {
  FillBand(Canvas, R, !Top && FGradientDirection == cgdVertical);
  if (!Top && FEnable3D) {
    Integer O = FOffset3D;
    if (!Horizontal) {
      TPoint P[4] = {{R.Left, R.Top}, {R.Left + O, R.Top - O}, {R.Right + O, R.Top - O}, {R.Right, R.Top}};
      Canvas.Polygon(P);
    } else {
      TPoint P[4] = {{R.Right, R.Top}, {R.Right + O, R.Top + O}, {R.Right + O, R.Bottom + O}, {R.Right, R.Bottom}};
      Canvas.Polygon(P);
    }
  }
  if (!FText.empty()) {
    Canvas.Brush.SetStyle(bsClear);
    TChartFont F = FFont;
    TDrawTextFlags Flags{dtSingleLine, dtNoPrefix, dtEndEllipsis};
    TRect T = R;
    if (Horizontal) {
      F.SetOrientation(Top ? -900 : 900);
      Canvas.Font = F;
      Integer TH = Canvas.TextHeight(FText);
      if (FAlignment == taRightJustify) Flags.Include(dtBottom);
      if (FAlignment == taCenter) Flags.Include(dtVCenter);
      if (!Top) T.Top += 2 * TH;
      else {
        Flags.Include(dtRight);
        T.Right += Canvas.TextWidth(FText);
      }
    } else {
      Canvas.Font = F;
      if (FAlignment == taRightJustify) Flags.Include(dtRight);
      if (FAlignment == taCenter) Flags.Include(dtCenter);
      if (!Top) Flags.Include(dtBottom);
    }
    Canvas.DrawText(FText, T, Flags);
  }
  if (FLine && FLineColor != clNone) {
    Canvas.Pen = {FLineColor, RoundI(FLineWidth * ScaleX), psSolid};
    Integer A = 0, B = 0;
    if (FOwner && FOwner->AxisMode() == amXAxisFullWidth) {
      A = FOwner->YAxis().LeftSize();
      B = FOwner->YAxis().RightSize();
    }
    if (!Horizontal) {
      Integer Y = Top ? R.Bottom : R.Top;
      Canvas.Line(R.Left + A, Y, R.Right - B, Y);
    } else {
      Integer X = Top ? R.Left : R.Right;
      Canvas.Line(X, R.Top + A, X, R.Bottom - B);
    }
  }
}

void TChartXAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveAxisBandKeys(Ini, Section, *this);
  Ini.WriteInteger(Section, u"Position", FPosition);
  Ini.WriteInteger(Section, u"Size", FSize);
  Ini.WriteString(Section, u"Text", FText);
  Ini.WriteInteger(Section, u"UnitType", FUnitType);
}

void TChartXAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadAxisBandKeys(Ini, Section, *this);
  SetPosition(ReadEnum(Ini, Section, u"Position", FPosition, 4));
  SetSize(Ini.ReadInteger(Section, u"Size", FSize));
  SetText(Ini.ReadString(Section, u"Text", FText));
  SetUnitType(ReadEnum(Ini, Section, u"UnitType", FUnitType, 9));
}

void TChartYAxis::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartYAxis*>(Source);
  if (!S || S == this) return;
  AssignBand(*S);
  FLeftSizeOverride = S->FLeftSizeOverride;
  FRightSizeOverride = S->FRightSizeOverride;
  FAutoUnits = S->FAutoUnits;
  FPosition = S->FPosition;
}

Integer TChartYAxis::SideSize(bool Right) const {
  Integer Override = Right ? FRightSizeOverride : FLeftSizeOverride;
  if (Override != -1) return Override;
  if (!FAutoSize || !FOwner || !FOwner->GetPaneRectangle) return FSize;
  TRect Pane;
  FOwner->GetPaneRectangle(FOwner, Pane);
  return FOwner->GetTotalYAxisSize(Pane, Right);
}

Integer TChartYAxis::LeftSize() const { return (FPosition == yLeft || FPosition == yBoth) ? SideSize(false) : 0; }
Integer TChartYAxis::RightSize() const { return (FPosition == yRight || FPosition == yBoth) ? SideSize(true) : 0; }

void TChartYAxis::Draw(TChartCanvas& Canvas, TRect R, bool Left, double ScaleX, double, bool Horizontal) {
  FillBand(Canvas, R, !Left && FGradientDirection == cgdHorizontal);
  if (Left && FEnable3D) {
    Integer O = FOffset3D;
    if (!Horizontal) {
      TPoint P[4] = {{R.Right, R.Top}, {R.Right + O, R.Top - O}, {R.Right + O, R.Bottom - O}, {R.Right, R.Bottom}};
      Canvas.Polygon(P);
    } else {
      TPoint P[4] = {{R.Left, R.Bottom}, {R.Left + O, R.Bottom + O}, {R.Right + O, R.Bottom + O}, {R.Right, R.Bottom}};
      Canvas.Polygon(P);
    }
  }
  if (!FText.empty()) {
    Canvas.Brush.SetStyle(bsClear);
    TChartFont F = FFont;
    if (!Horizontal) F.SetOrientation(Left ? 900 : -900);
    Canvas.Font = F;
    Integer W = Canvas.TextWidth(FText), H = Canvas.TextHeight(FText);
    Integer X = R.Left, Y = R.Top;
    if (Horizontal) {
      Y = Left ? R.Top : R.Bottom - H;
      X = FAlignment == taLeftJustify ? R.Left : FAlignment == taRightJustify ? R.Right - W : R.Left + (R.Width() - W) / 2;
    } else if (!Left) {
      X = R.Right;
      Y = FAlignment == taLeftJustify ? R.Top : FAlignment == taRightJustify ? R.Bottom - W : R.Top + (R.Height() - W) / 2;
    } else {
      X = R.Left;
      Y = FAlignment == taLeftJustify ? R.Bottom : FAlignment == taRightJustify ? R.Top + W : R.Bottom - (R.Height() - W) / 2;
    }
    Canvas.TextOut(X, Y, FText);
  }
  if (FLine && FLineColor != clNone) {
    Canvas.Pen = {FLineColor, RoundI(FLineWidth * ScaleX), psSolid};
    Integer S = 0, E = 0;
    if (FOwner && FOwner->AxisMode() == amYAxisFullHeight) {
      S = Horizontal ? FOwner->XAxis().BottomSize() : FOwner->XAxis().TopSize();
      E = Horizontal ? FOwner->XAxis().TopSize() : FOwner->XAxis().BottomSize();
    }
    if (!Horizontal) {
      Integer X = Left ? R.Right : R.Left;
      Canvas.Line(X, R.Top + S, X, R.Bottom - E);
    } else {
      Integer Y = Left ? R.Bottom : R.Top;
      Canvas.Line(R.Left + S, Y, R.Right - E, Y);
    }
  }
}

void TChartYAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteBool(Section, u"AutoUnits", FAutoUnits);
  SaveAxisBandKeys(Ini, Section, *this);
  Ini.WriteInteger(Section, u"Position", FPosition);
  Ini.WriteInteger(Section, u"Size", FSize);
  Ini.WriteString(Section, u"Text", FText);
}

void TChartYAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetAutoUnits(Ini.ReadBool(Section, u"AutoUnits", FAutoUnits));
  LoadAxisBandKeys(Ini, Section, *this);
  SetPosition(ReadEnum(Ini, Section, u"Position", FPosition, 4));
  SetSize(Ini.ReadInteger(Section, u"Size", FSize));
  SetText(Ini.ReadString(Section, u"Text", FText));
}

// ---------------------------------------------------------------- range
void TChartRange::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartRange*>(Source);
  if (!S || S == this) return;
  FRangeFrom = S->FRangeFrom;
  FRangeTo = S->FRangeTo;
  FMaxRangeTo = S->FMaxRangeTo;
  FMaximumScrollRange = S->FMaximumScrollRange;
  FMinimumScrollRange = S->FMinimumScrollRange;
  FStartDate = S->FStartDate;
}

bool TChartRange::ScrollAllowed(Integer A, Integer B) const {
  if (FMaximumScrollRange == 0 && FMinimumScrollRange == 0) return true;
  return A >= FMinimumScrollRange && A <= FMaximumScrollRange && B >= FMinimumScrollRange && B <= FMaximumScrollRange;
}

void TChartRange::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"RangeFrom", FRangeFrom);
  Ini.WriteInteger(Section, u"RangeTo", FRangeTo);
  Ini.WriteInteger(Section, u"MaximumScrollRange", FMaximumScrollRange);
  Ini.WriteInteger(Section, u"MinimumScrollRange", FMinimumScrollRange);
  Ini.WriteDateTime(Section, u"StartDate", FStartDate);
}

void TChartRange::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetRangeFrom(Ini.ReadInteger(Section, u"RangeFrom", FRangeFrom));
  SetRangeTo(Ini.ReadInteger(Section, u"RangeTo", FRangeTo));
  SetMaximumScrollRange(Ini.ReadInteger(Section, u"MaximumScrollRange", FMaximumScrollRange));
  SetMinimumScrollRange(Ini.ReadInteger(Section, u"MinimumScrollRange", FMinimumScrollRange));
  SetStartDate(Ini.ReadDateTime(Section, u"StartDate", FStartDate));
}

// ---------------------------------------------------------------- margin, bands, axis text
void TChartMargin::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartMargin*>(Source);
  if (!S || S == this) return;
  FTopMargin = S->FTopMargin;
  FBottomMargin = S->FBottomMargin;
  FLeftMargin = S->FLeftMargin;
  FRightMargin = S->FRightMargin;
}

void TChartMargin::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"BottomMargin", FBottomMargin);
  Ini.WriteInteger(Section, u"LeftMargin", FLeftMargin);
  Ini.WriteInteger(Section, u"RightMargin", FRightMargin);
  Ini.WriteInteger(Section, u"TopMargin", FTopMargin);
}

void TChartMargin::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetBottomMargin(Ini.ReadInteger(Section, u"BottomMargin", FBottomMargin));
  SetLeftMargin(Ini.ReadInteger(Section, u"LeftMargin", FLeftMargin));
  SetRightMargin(Ini.ReadInteger(Section, u"RightMargin", FRightMargin));
  SetTopMargin(Ini.ReadInteger(Section, u"TopMargin", FTopMargin));
}

void TChartBands::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartBands*>(Source);
  if (!S) return;
  FPrimaryColor = S->FPrimaryColor;
  FPrimaryColorTo = S->FPrimaryColorTo;
  FSecondaryColor = S->FSecondaryColor;
  FSecondaryColorTo = S->FSecondaryColorTo;
  FGradientSteps = S->FGradientSteps;
  FGradientDirection = S->FGradientDirection;
  FVisible = S->FVisible;
  FDistance = S->FDistance;
  FSerieIndex = S->FSerieIndex;
  Changed();
}

void TChartBands::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteFloat(Section, u"Distance", FDistance);
  Ini.WriteInteger(Section, u"GradientSteps", FGradientSteps);
  Ini.WriteInteger(Section, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(Section, u"PrimaryColor", FPrimaryColor);
  Ini.WriteInteger(Section, u"PrimaryColorTo", FPrimaryColorTo);
  Ini.WriteInteger(Section, u"SecondaryColor", FSecondaryColor);
  Ini.WriteInteger(Section, u"SecondaryColorTo", FSecondaryColorTo);
  Ini.WriteInteger(Section, u"SerieIndex", FSerieIndex);
  Ini.WriteBool(Section, u"Visible", FVisible);
}

void TChartBands::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  FDistance = Ini.ReadFloat(Section, u"Distance", FDistance);
  SetGradientSteps(Ini.ReadInteger(Section, u"GradientSteps", FGradientSteps));
  SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", FGradientDirection, 2));
  SetPrimaryColor(Ini.ReadInteger(Section, u"PrimaryColor", FPrimaryColor));
  SetPrimaryColorTo(Ini.ReadInteger(Section, u"PrimaryColorTo", FPrimaryColorTo));
  SetSecondaryColor(Ini.ReadInteger(Section, u"SecondaryColor", FSecondaryColor));
  SetSecondaryColorTo(Ini.ReadInteger(Section, u"SecondaryColorTo", FSecondaryColorTo));
  SetSerieIndex(Ini.ReadInteger(Section, u"SerieIndex", FSerieIndex));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
}

void TChartXYAxisText::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartXYAxisText*>(Source);
  if (!S || S == this) return;
  FAngle = S->FAngle;
  FText = S->FText;
  FPosition = S->FPosition;
  FOffset = S->FOffset;
  FFont = S->FFont;
}

void TChartXYAxisText::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"Angle", FAngle);
  WriteChartFont(Ini, Section, u"", FFont);
  Ini.WriteInteger(Section, u"Offset", FOffset);
  Ini.WriteInteger(Section, u"Position", FPosition);
  Ini.WriteString(Section, u"Text", FText);
}

void TChartXYAxisText::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetAngle(Ini.ReadInteger(Section, u"Angle", FAngle));
  ReadChartFont(Ini, Section, u"", FFont);
  SetOffset(Ini.ReadInteger(Section, u"Offset", FOffset));
  SetPosition(ReadEnum(Ini, Section, u"Position", FPosition, 5));
  SetText(Ini.ReadString(Section, u"Text", FText));
}

// ---------------------------------------------------------------- crosshair
void TChartCrossHairYValues::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartCrossHairYValues*>(Source);
  if (!S || S == this) return;
  FShowSerieValues = S->FShowSerieValues;
  FShowYPosValue = S->FShowYPosValue;
  FPosition = S->FPosition;
}

void TChartCrossHairYValues::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteBool(Section, u"ShowSerieValues", FShowSerieValues);
  Ini.WriteBool(Section, u"ShowYPosValue", FShowYPosValue);
  Ini.WriteString(Section, u"Position", SetToString(FPosition, 3));
}

void TChartCrossHairYValues::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetShowSerieValues(Ini.ReadBool(Section, u"ShowSerieValues", FShowSerieValues));
  SetShowYPosValue(Ini.ReadBool(Section, u"ShowYPosValue", FShowYPosValue));
  for (Integer V : ReadOrdinalList(Ini.ReadString(Section, u"Position", u""))) {
    if (V < 0 || V > 2) continue;
    TChartCrossHairYValuePosition P = FPosition;
    P.Include(static_cast<TChartCrossHairYValuePositionType>(V));
    SetPosition(P);
  }
}

TChartCrossHair::TChartCrossHair(TVivIzude* AOwner) : FOwner(AOwner) {
  FCrossHairYValues.OnChange = [this](TObject*) { Changed(); };
}

void TChartCrossHair::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartCrossHair*>(Source);
  if (!S || S == this) return;
  FVisible = S->FVisible;
  FLineColor = S->FLineColor;
  FLineWidth = S->FLineWidth;
  FDistance = S->FDistance;
  FCrossHairType = S->FCrossHairType;
  FCrossHairYValues.Assign(&S->FCrossHairYValues);
}

void TChartCrossHair::Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double) {
  if (!FOwner) return;
  const TSeriePoint& PV = FOwner->PointValue();
  if (FOwner->Range().RangeTo() < PV.Point) return;
  double XS = FOwner->XScale();
  Integer X = R.Left + RoundI(XS * PV.Point) - RoundI(XS * FOwner->Range().RangeFrom()) + RoundI(FOwner->GetXScaleStart());
  Integer Y = RoundI(PV.YValue);
  Canvas.Pen.Width = RoundI(FLineWidth * ScaleX);
  Canvas.Pen.Color = FLineColor;
  Canvas.Line(X - 20, Y, X + 20, Y);
  Canvas.Line(X, Y - 20, X, Y + 20);
}

void TChartCrossHair::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"CrossHairType", FCrossHairType);
  FCrossHairYValues.SaveToFile(Ini, Section + u".CrossHairYValues");
  Ini.WriteInteger(Section, u"Distance", FDistance);
  Ini.WriteInteger(Section, u"LineWidth", FLineWidth);
  Ini.WriteInteger(Section, u"LineColor", FLineColor);
  Ini.WriteBool(Section, u"Visible", FVisible);
}

void TChartCrossHair::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetCrossHairType(ReadEnum(Ini, Section, u"CrossHairType", FCrossHairType, 4));
  FCrossHairYValues.LoadFromFile(Ini, Section + u".CrossHairYValues");
  SetDistance(Ini.ReadInteger(Section, u"Distance", FDistance));
  SetLineWidth(Ini.ReadInteger(Section, u"LineWidth", FLineWidth));
  SetLineColor(Ini.ReadInteger(Section, u"LineColor", FLineColor));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
}

void TChartSerieCrossHairYValue::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSerieCrossHairYValue*>(Source);
  if (!S || S == this) return;
  FVisible = S->FVisible;
  FBorderWidth = S->FBorderWidth;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FFont = S->FFont;
  FBorderColor = S->FBorderColor;
}

void TChartSerieCrossHairYValue::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"BorderColor", FBorderColor);
  Ini.WriteInteger(Section, u"Color", FColor);
  Ini.WriteInteger(Section, u"ColorTo", FColorTo);
  WriteChartFont(Ini, Section, u"", FFont);
  Ini.WriteInteger(Section, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(Section, u"GradientSteps", FGradientSteps);
  Ini.WriteBool(Section, u"Visible", FVisible);
}

void TChartSerieCrossHairYValue::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetBorderColor(Ini.ReadInteger(Section, u"BorderColor", FBorderColor));
  SetColor(Ini.ReadInteger(Section, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(Section, u"ColorTo", FColorTo));
  ReadChartFont(Ini, Section, u"", FFont);
  SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", FGradientDirection, 2));
  SetGradientSteps(Ini.ReadInteger(Section, u"GradientSteps", FGradientSteps));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
}

// ---------------------------------------------------------------- navigator
void TChartNavigator::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartNavigator*>(Source);
  if (!S || S == this) return;
  FVisible = S->FVisible;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FSize = S->FSize;
  FGradientDirection = S->FGradientDirection;
  FGradientSteps = S->FGradientSteps;
  for (int B = 0; B < 2; ++B)
    for (int St = 0; St < 3; ++St) {
      FButtonColors[B][St] = S->FButtonColors[B][St];
      FButtonPictures[B][St].Assign(S->FButtonPictures[B][St]);
    }
  FLeftButtonState = S->FLeftButtonState;
  FRightButtonState = S->FRightButtonState;
  FScrollButtons = S->FScrollButtons;
  FScrollDelta = S->FScrollDelta;
  FScrollButtonsSize = S->FScrollButtonsSize;
  FAlphaBlendValue = S->FAlphaBlendValue;
  FAlphaBlend = S->FAlphaBlend;
  FScrollStep = S->FScrollStep;
}

Integer TChartNavigator::BottomSize() const {
  if (!FVisible) return 0;
  if (FOwner && FOwner->Series().IsHorizontal()) return 0;
  return FSize;
}

void TChartNavigator::Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  if (!FVisible || (FOwner && FOwner->Series().IsHorizontal())) return;
  Integer H = RoundI(FSize * ScaleY);
  TRect Bar{R.Left, R.Bottom - H, R.Right, R.Bottom};
  Canvas.Pen = {clBlack, 1, psSolid};
  if (FColorTo == clNone) {
    if (FColor == clNone)
      Canvas.Brush.SetStyle(bsClear);
    else
      Canvas.Brush.SetColor(FColor);
    Canvas.Rectangle(Bar);
  } else {
    FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, Bar, FGradientDirection, true, clBlack, 1, csRectangle, 0,
                   sdAll, false, false);
  }
  if (!FScrollButtons) return;
  Integer S = FScrollButtonsSize, MX = RoundI(5 * ScaleX), MY = RoundI(5 * ScaleY);
  TRect Boxes[2] = {Bounds(R.Left + MX, R.Bottom + MY - H, S, S), Bounds(R.Right - MX - S, R.Bottom + MY - H, S, S)};
  TChartNavigatorButtonState States[2] = {FLeftButtonState, FRightButtonState};
  for (int B = 0; B < 2; ++B) {
    const TChartPicture& Pic = FButtonPictures[B][States[B] % 3];
    if (Pic.HasGraphic()) {
      Canvas.StretchDraw(Boxes[B], *Pic.Graphic());
    } else {
      Canvas.Brush.SetColor(FButtonColors[B][States[B] % 3]);
      DrawArrow(Canvas, Boxes[B], B == 0, ScaleX, ScaleY);
    }
  }
}

void TChartNavigator::DrawArrow(TChartCanvas& Canvas, TRect R, bool Direction, double ScaleX, double ScaleY) {
  Integer W = std::min(RoundI(FScrollButtonsSize * ScaleX), RoundI(FSize * ScaleX));
  Integer V = std::min(RoundI(FScrollButtonsSize * ScaleY), RoundI(FSize * ScaleY));
  Integer A = (W / 3) * 2;
  if (Direction) {
    TPoint P[3] = {{R.Left, R.Top + V / 2}, {R.Left + A, R.Top}, {R.Left + A, R.Top + V}};
    Canvas.Polygon(P);
  } else {
    TPoint P[3] = {{R.Left, R.Top}, {R.Left, R.Top + V}, {R.Left + A, R.Top + V / 2}};
    Canvas.Polygon(P);
  }
}

void TChartNavigator::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteBool(Section, u"AlphaBlend", FAlphaBlend);
  Ini.WriteInteger(Section, u"AlphaBlendValue", FAlphaBlendValue);
  Ini.WriteInteger(Section, u"Color", FColor);
  Ini.WriteInteger(Section, u"ColorTo", FColorTo);
  Ini.WriteInteger(Section, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(Section, u"GradientSteps", FGradientSteps);
  static const char16_t* Keys[2][3] = {
      {u"ScrollbuttonLeftColor", u"ScrollbuttonLeftHotColor", u"ScrollbuttonLeftDownColor"},
      {u"ScrollbuttonRightColor", u"ScrollbuttonRightHotColor", u"ScrollbuttonRightDownColor"}};
  for (int B = 0; B < 2; ++B)
    for (int St = 0; St < 3; ++St) Ini.WriteInteger(Section, Keys[B][St], FButtonColors[B][St]);
  Ini.WriteBool(Section, u"ScrollButtons", FScrollButtons);
  Ini.WriteInteger(Section, u"ScrollButtonsSize", FScrollButtonsSize);
  Ini.WriteInteger(Section, u"Size", FSize);
  Ini.WriteBool(Section, u"Visible", FVisible);
}

void TChartNavigator::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetAlphaBlend(Ini.ReadBool(Section, u"AlphaBlend", FAlphaBlend));
  SetAlphaBlendValue(static_cast<Byte>(std::clamp(Ini.ReadInteger(Section, u"AlphaBlendValue", FAlphaBlendValue), 0, 255)));
  SetColor(Ini.ReadInteger(Section, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(Section, u"ColorTo", FColorTo));
  SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", FGradientDirection, 2));
  SetGradientSteps(Ini.ReadInteger(Section, u"GradientSteps", FGradientSteps));
  static const char16_t* Keys[2][3] = {
      {u"ScrollbuttonLeftColor", u"ScrollbuttonLeftHotColor", u"ScrollbuttonLeftDownColor"},
      {u"ScrollbuttonRightColor", u"ScrollbuttonRightHotColor", u"ScrollbuttonRightDownColor"}};
  for (int B = 0; B < 2; ++B)
    for (int St = 0; St < 3; ++St)
      SetButtonColor(B, static_cast<TChartNavigatorButtonState>(St), Ini.ReadInteger(Section, Keys[B][St], FButtonColors[B][St]));
  SetScrollButtons(Ini.ReadBool(Section, u"ScrollButtons", FScrollButtons));
  SetScrollButtonsSize(Ini.ReadInteger(Section, u"ScrollButtonsSize", FScrollButtonsSize));
  SetSize(Ini.ReadInteger(Section, u"Size", FSize));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
}

// ---------------------------------------------------------------- legend
void TChartLegend::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartLegend*>(Source);
  if (!S || S == this) return;
  FAlignment = S->FAlignment;
  FFont = S->FFont;
  FPicture.Assign(S->FPicture);
  FBackgroundPosition = S->FBackgroundPosition;
  FBorderRounding = S->FBorderRounding;
  FTop = S->FTop;
  FLeft = S->FLeft;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FBorderColor = S->FBorderColor;
  FBorderWidth = S->FBorderWidth;
  FVisible = S->FVisible;
  FGradientSteps = S->FGradientSteps;
  FGradientDirection = S->FGradientDirection;
  FRectangleSize = S->FRectangleSize;
}

static bool ShownInLegend(const TChartSerie& S) {
  return S.ChartType() != ctNone && S.SerieType() != stZoomControl && S.Visible() && S.ShowInLegend();
}

TRect TChartLegend::GetRectangle() const {
  if (!FOwner) return {};
  TMeasuringCanvas Canvas(FOwner->TextMeasurer());
  Integer GH = Canvas.TextHeight(u"gh");
  Canvas.Font = FFont;
  Integer W = 0, N = 0;
  const TChartSeries& Series = FOwner->Series();
  for (Integer I = 0; I < Series.Count(); ++I) {
    const TChartSerie& S = Series.Items(I);
    if (!ShownInLegend(S)) continue;
    ++N;
    W = std::max(W, Canvas.TextWidth(S.LegendText()) + FRectangleSize + 3 * FRectangleSpacing);
  }
  Integer H = FRectangleSpacing + N * std::max(GH, FRectangleSize + FRectangleSpacing);
  TRect SR = Series.SeriesRectangle();
  Integer DX, DY;
  BoxAlignOffset(DX, DY, SR.Width(), SR.Height(), W, H, FAlignment);
  return Bounds(SR.Left + DX + FLeft, SR.Top + DY + FTop, W, H);
}

void TChartLegend::Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  if (!FVisible || !FOwner) return;
  TRect S = FOwner->Series().SeriesRectangle();
  Integer DX, DY;
  BoxAlignOffset(DX, DY, S.Width(), S.Height(), R.Width(), R.Height(), FAlignment);
  R = Bounds(S.Left + DX, S.Top + DY, R.Width(), R.Height());
  Integer RS = RoundI(FRectangleSize * ScaleX), SP = RoundI(FRectangleSpacing * ScaleX);
  Integer OX = RoundI(FLeft * ScaleX), OY = RoundI(FTop * ScaleY);
  Integer BX = RoundI(FBorderWidth * ScaleX), BY = RoundI(FBorderWidth * ScaleY);
  Canvas.Pen.Color = FBorderColor;
  Canvas.Pen.Width = BX;
  Canvas.Pen.Style = FBorderColor == clNone ? psClear : psSolid;
  TRect B = Bounds(R.Left + OX, R.Top + OY, R.Width(), R.Height());
  Canvas.SetClipRegion(TChartRegion::FromRoundRect({B.Left - BX, B.Top - BY, B.Right + BX, B.Bottom + BY}, FBorderRounding,
                                                   FBorderRounding));
  if (FDrawBkg) {
    if (FColorTo == clNone) {
      if (FColor == clNone)
        Canvas.Brush.SetStyle(bsClear);
      else
        Canvas.Brush.SetColor(FColor);
      Canvas.RoundRect(B, FBorderRounding, FBorderRounding);
    } else {
      FillChartShape(Canvas, FColor, FColorTo, FGradientSteps, B, FGradientDirection, true, FBorderColor, FBorderWidth,
                     csRectangle, 0, sdAll, false, false);
    }
  }
  if (FPicture.HasGraphic()) {
    const TChartGraphic& G = *FPicture.Graphic();
    Integer PW = RoundI(G.Width() * ScaleX), PH = RoundI(G.Height() * ScaleY);
    switch (FBackgroundPosition) {
      case bpTopLeft: Canvas.Draw(R.Left + FLeft, R.Top + FTop, G); break;
      case bpTopRight: Canvas.Draw(std::max(R.Left + FLeft, R.Right - FLeft - R.Left - PW), R.Top + FTop, G); break;
      case bpBottomLeft: Canvas.Draw(R.Left + FLeft, std::max(R.Top + FTop, R.Bottom - PH), G); break;
      case bpBottomRight:
        Canvas.Draw(std::max(R.Left + FLeft, R.Right - FLeft - R.Left - PW), std::max(R.Top + FTop, R.Bottom - FTop - PH), G);
        break;
      case bpTiled:
        if (PW > 0 && PH > 0)
          for (Integer Y = R.Top; Y < R.Bottom; Y += PH)
            for (Integer X = R.Left; X < R.Right; X += PW) Canvas.Draw(X, Y, G);
        break;
      case bpStretched: Canvas.StretchDraw(R, G); break;
      case bpCenter:
        Canvas.Draw(std::max(R.Left + FLeft, R.Right - FLeft - R.Left - PW) >> 1, std::max(R.Top + FTop, R.Bottom - FTop - PH) >> 1, G);
        break;
    }
  }
  Integer K = 0;
  TChartSeries& Series = FOwner->Series();
  for (Integer I = 0; I < Series.Count(); ++I) {
    TChartSerie& Se = Series.Items(I);
    if (!ShownInLegend(Se)) continue;
    TChartType T = Se.ChartType();
    bool UsesLine = T == ctLine || T == ctHistogram || T == ctLineHistogram || T == ctError || T == ctArrow ||
                    T == ctDigitalLine || T == ctXYLine || T == ctXYDigitalLine;
    Canvas.Brush.SetColor(UsesLine ? Se.LineColor() : Se.Color());
    Canvas.Pen.Color = Se.BorderColor();
    Canvas.Pen.Style = Se.BorderColor() == clNone ? psClear : psSolid;
    Canvas.Font = FFont;
    Integer Top = R.Top + OY + SP + K * (SP + RS);
    Canvas.Rectangle(Bounds(R.Left + OX + SP, Top, RS, RS));
    Canvas.Brush.SetStyle(bsClear);
    Canvas.TextOut(R.Left + OX + 2 * SP + RS, Top + (RS - Canvas.TextHeight(Se.LegendText())) / 2, Se.LegendText());
    ++K;
  }
  Canvas.ClearClipRegion();
}

void TChartLegend::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"Alignment", FAlignment);
  Ini.WriteInteger(Section, u"BorderColor", FBorderColor);
  Ini.WriteInteger(Section, u"BorderWidth", FBorderWidth);
  Ini.WriteInteger(Section, u"BorderRounding", FBorderRounding);
  Ini.WriteInteger(Section, u"Color", FColor);
  Ini.WriteInteger(Section, u"ColorTo", FColorTo);
  WriteChartFont(Ini, Section, u"", FFont);
  Ini.WriteInteger(Section, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(Section, u"GradientSteps", FGradientSteps);
  Ini.WriteInteger(Section, u"Left", FLeft);
  Ini.WriteInteger(Section, u"Top", FTop);
  Ini.WriteInteger(Section, u"RectangleSize", FRectangleSize);
  Ini.WriteInteger(Section, u"RectangleSpacing", FRectangleSpacing);
  Ini.WriteBool(Section, u"Visible", FVisible);
}

void TChartLegend::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetAlignment(ReadEnum(Ini, Section, u"Alignment", FAlignment, 10));
  SetBorderColor(Ini.ReadInteger(Section, u"BorderColor", FBorderColor));
  SetBorderWidth(Ini.ReadInteger(Section, u"BorderWidth", FBorderWidth));
  SetBorderRounding(Ini.ReadInteger(Section, u"BorderRounding", FBorderRounding));
  SetColor(Ini.ReadInteger(Section, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(Section, u"ColorTo", FColorTo));
  ReadChartFont(Ini, Section, u"", FFont);
  SetGradientDirection(ReadEnum(Ini, Section, u"GradientDirection", FGradientDirection, 2));
  SetGradientSteps(Ini.ReadInteger(Section, u"GradientSteps", FGradientSteps));
  SetLeft(Ini.ReadInteger(Section, u"Left", FLeft));
  SetTop(Ini.ReadInteger(Section, u"Top", FTop));
  SetRectangleSize(Ini.ReadInteger(Section, u"RectangleSize", FRectangleSize));
  SetRectangleSpacing(Ini.ReadInteger(Section, u"RectangleSpacing", FRectangleSpacing));
  SetVisible(Ini.ReadBool(Section, u"Visible", FVisible));
}

// ---------------------------------------------------------------- marker
void TChartMarker::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartMarker*>(Source);
  if (!S || S == this) return;
  FMarkerType = S->FMarkerType;
  FMarkerSize = S->FMarkerSize;
  FMarkerColor = S->FMarkerColor;
  FMarkerLineColor = S->FMarkerLineColor;
  FMarkerLineWidth = S->FMarkerLineWidth;
  FMarkerPicture.Assign(S->FMarkerPicture);
  FSelectedColor = S->FSelectedColor;
  FSelectedLineColor = S->FSelectedLineColor;
  FSelectedLineWidth = S->FSelectedLineWidth;
  FSelectedSize = S->FSelectedSize;
  FIncreaseDecreaseMode = S->FIncreaseDecreaseMode;
}

void TChartMarker::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteInteger(Section, u"MarkerType", FMarkerType);
  Ini.WriteInteger(Section, u"MarkerColor", FMarkerColor);
  Ini.WriteInteger(Section, u"MarkerSize", FMarkerSize);
  Ini.WriteInteger(Section, u"MarkerLineWidth", FMarkerLineWidth);
  Ini.WriteInteger(Section, u"MarkerLineColor", FMarkerLineColor);
  // The picture itself never goes into the settings file; the key keeps its
  // place with 0.
  Ini.WriteInteger(Section, u"MarkerPicture", 0);
  Ini.WriteInteger(Section, u"SelectedColor", FSelectedColor);
  Ini.WriteInteger(Section, u"SelectedLineColor", FSelectedLineColor);
  Ini.WriteInteger(Section, u"SelectedLineWidth", FSelectedLineWidth);
  Ini.WriteInteger(Section, u"SelectedSize", FSelectedSize);
  Ini.WriteBool(Section, u"IncreaseDecrease", FIncreaseDecreaseMode);
}

void TChartMarker::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  SetMarkerType(ReadEnum(Ini, Section, u"MarkerType", FMarkerType, 7));
  SetMarkerColor(Ini.ReadInteger(Section, u"MarkerColor", FMarkerColor));
  SetMarkerSize(Ini.ReadInteger(Section, u"MarkerSize", FMarkerSize));
  SetMarkerLineWidth(Ini.ReadInteger(Section, u"MarkerLineWidth", FMarkerLineWidth));
  SetMarkerLineColor(Ini.ReadInteger(Section, u"MarkerLineColor", FMarkerLineColor));
  SetSelectedColor(Ini.ReadInteger(Section, u"SelectedColor", FSelectedColor));
  SetSelectedLineColor(Ini.ReadInteger(Section, u"SelectedLineColor", FSelectedLineColor));
  SetSelectedLineWidth(Ini.ReadInteger(Section, u"SelectedLineWidth", FSelectedLineWidth));
  SetSelectedSize(Ini.ReadInteger(Section, u"SelectedSize", FSelectedSize));
  SetIncreaseDecreaseMode(Ini.ReadBool(Section, u"IncreaseDecrease", FIncreaseDecreaseMode));
}
