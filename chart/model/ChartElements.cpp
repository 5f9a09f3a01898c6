#include "chart/model/ChartElements.h"

#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"

namespace {

// A navigator button's arrow colour (button 0 left, 1 right).
template <int Button, TChartNavigatorButtonState State>
TChartKey<TChartNavigator> ButtonColorKey(const char16_t* Name) {
  TChartKey<TChartNavigator> K;
  K.Name = Name;
  K.Default = Integer{clNone};
  K.Get = [](const TChartNavigator& N) -> TChartKeyValue { return N.ButtonColor(Button, State); };
  K.Set = [](TChartNavigator& N, const TChartKeyValue& V) { N.SetButtonColor(Button, State, std::get<Integer>(V)); };
  return K;
}

// A key written as 0 to keep its place in the file, never read.
template <class T>
TChartKey<T> PlaceholderKey(const char16_t* Name) {
  TChartKey<T> K;
  K.Name = Name;
  K.Default = Integer{0};
  K.Get = [](const T&) -> TChartKeyValue { return Integer{0}; };
  K.Set = [](T&, const TChartKeyValue&) {};
  K.Use = kuSaveOnly;
  return K;
}

}  // namespace

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

const TChartKeys<TChartTitle>& TChartTitle::Keys() {
  using T = TChartTitle;
  static const TChartKeys<T> Table{
      ChartEnumKey<&T::FAlignment, &T::SetAlignment>(u"Alignment", 3, taLeftJustify),
      ChartEnumKey<&T::FVerticalAlignment, &T::SetVerticalAlignment>(u"VerticalAlignment", 3, taVerticalCenter),
      ChartKey<&T::FColor, &T::SetColor>(u"Color", clNone),
      ChartKey<&T::FColorTo, &T::SetColorTo>(u"ColorTo", clNone),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 100),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdHorizontal),
      ChartKey<&T::FBorderColor, &T::SetBorderColor>(u"BorderColor", clNone),
      ChartKey<&T::FBorderWidth, &T::SetBorderWidth>(u"BorderWidth", 0),
      ChartFontKey<T>(u"", &T::FFont),
      ChartEnumKey<&T::FPosition, &T::SetPosition>(u"Position", 4, tNone),
      ChartKey<&T::FSize, &T::SetSize>(u"Size", 20),
      ChartKey<&T::FText, &T::SetText>(u"Text", u""),
  };
  return Table;
}

void TChartTitle::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartTitle::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}

// ---------------------------------------------------------------- background
void DrawPositionedGraphic(TChartCanvas& Canvas, const TChartPicture& Picture, TChartBackGroundPosition Position,
                           const TRect& R, double ScaleX, double ScaleY, Integer TileTop, Integer TileLeft) {
  const TChartGraphic* G = Picture.Graphic();
  if (!G) return;
  Integer W = RoundI(G->Width() * ScaleX), H = RoundI(G->Height() * ScaleY);
  switch (Position) {
    case bpTopLeft:
      Canvas.Draw(R.Left, R.Top, *G);
      break;
    case bpTopRight:
      Canvas.Draw(std::max(R.Left, R.Right - W), R.Top, *G);
      break;
    case bpBottomLeft:
      Canvas.Draw(R.Left, std::max(R.Top, R.Bottom - H), *G);
      break;
    case bpBottomRight:
      Canvas.Draw(std::max(R.Left, R.Right - W), std::max(R.Top, R.Bottom - H), *G);
      break;
    case bpTiled:
      if (W <= 0 || H <= 0) break;
      for (Integer Y = R.Top + TileTop; Y < R.Bottom; Y += H)
        for (Integer X = R.Left + TileLeft; X < R.Right; X += W) Canvas.Draw(X, Y, *G);
      break;
    case bpStretched:
      Canvas.StretchDraw(R, *G);
      break;
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
  if (FPicture.HasGraphic() && FPictureVisible)
    DrawPositionedGraphic(Canvas, FPicture, FBackGroundPosition, R, ScaleX, ScaleY);
}

const TChartKeys<TChartBackground>& TChartBackground::Keys() {
  using T = TChartBackground;
  static const TChartKeys<T> Table{
      ChartEnumKey<&T::FBackGroundPosition, &T::SetBackGroundPosition>(u"BackGroundPosition", 7, bpTopLeft),
      ChartKey<&T::FColor, &T::SetColor>(u"Color", clNone),
      ChartKey<&T::FColorTo, &T::SetColorTo>(u"ColorTo", clNone),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 100),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdHorizontal),
      ChartFontKey<T>(u"", &T::FFont),
      ChartKey<&T::FPictureVisible, &T::SetPictureVisible>(u"PictureVisible", false),
  };
  return Table;
}

void TChartBackground::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartBackground::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

template <class C>
void TChartAxisBand::AppendBandKeys(TChartKeys<C>& Keys) {
  using T = C;
  Keys.insert(Keys.end(), {
                              ChartEnumKey<&T::FAlignment, &T::SetAlignment, C>(u"Alignment", 3, taCenter),
                              ChartKey<&T::FColor, &T::SetColor, C>(u"Color", clNone),
                              ChartKey<&T::FColorTo, &T::SetColorTo, C>(u"ColorTo", clNone),
                              ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection, C>(u"GradientDirection", 2,
                                                                                                cgdHorizontal),
                              // "GradienSteps" is the file's own spelling of this key.
                              ChartKey<&T::FGradientSteps, &T::SetGradientSteps, C>(u"GradienSteps", 100),
                              ChartFontKey<C>(u"", &T::FFont),
                              ChartKey<&T::FLine, &T::SetLine, C>(u"Line", true),
                              ChartKey<&T::FLineWidth, &T::SetLineWidth, C>(u"LineWidth", 1),
                          });
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
      if (!Top)
        T.Top += 2 * TH;
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

const TChartKeys<TChartXAxis>& TChartXAxis::Keys() {
  using T = TChartXAxis;
  static const TChartKeys<T> Table = [] {
    TChartKeys<T> Keys{};
    AppendBandKeys(Keys);
    Keys.insert(Keys.end(), {
                                ChartEnumKey<&T::FPosition, &T::SetPosition>(u"Position", 4, xBottom),
                                ChartKey<&T::FSize, &T::SetSize, T>(u"Size", 30),
                                ChartKey<&T::FText, &T::SetText, T>(u"Text", u""),
                                ChartEnumKey<&T::FUnitType, &T::SetUnitType>(u"UnitType", 9, utNumber),
                            });
    return Keys;
  }();
  return Table;
}

void TChartXAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartXAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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
      X = FAlignment == taLeftJustify    ? R.Left
          : FAlignment == taRightJustify ? R.Right - W
                                         : R.Left + (R.Width() - W) / 2;
    } else if (!Left) {
      X = R.Right;
      Y = FAlignment == taLeftJustify    ? R.Top
          : FAlignment == taRightJustify ? R.Bottom - W
                                         : R.Top + (R.Height() - W) / 2;
    } else {
      X = R.Left;
      Y = FAlignment == taLeftJustify    ? R.Bottom
          : FAlignment == taRightJustify ? R.Top + W
                                         : R.Bottom - (R.Height() - W) / 2;
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

const TChartKeys<TChartYAxis>& TChartYAxis::Keys() {
  using T = TChartYAxis;
  static const TChartKeys<T> Table = [] {
    TChartKeys<T> Keys{
        ChartKey<&T::FAutoUnits, &T::SetAutoUnits>(u"AutoUnits", true),
    };
    AppendBandKeys(Keys);
    Keys.insert(Keys.end(), {
                                ChartEnumKey<&T::FPosition, &T::SetPosition>(u"Position", 4, yLeft),
                                ChartKey<&T::FSize, &T::SetSize, T>(u"Size", 30),
                                ChartKey<&T::FText, &T::SetText, T>(u"Text", u""),
                            });
    return Keys;
  }();
  return Table;
}

void TChartYAxis::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartYAxis::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

const TChartKeys<TChartRange>& TChartRange::Keys() {
  using T = TChartRange;
  static const TChartKeys<T> Table{
      ChartKey<&T::FRangeFrom, &T::SetRangeFrom>(u"RangeFrom", 0),
      ChartKey<&T::FRangeTo, &T::SetRangeTo>(u"RangeTo", 10),
      ChartKey<&T::FMaximumScrollRange, &T::SetMaximumScrollRange>(u"MaximumScrollRange", 0),
      ChartKey<&T::FMinimumScrollRange, &T::SetMinimumScrollRange>(u"MinimumScrollRange", 0),
      ChartDateKey<&T::FStartDate, &T::SetStartDate>(u"StartDate", 0),
  };
  return Table;
}

void TChartRange::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartRange::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

const TChartKeys<TChartMargin>& TChartMargin::Keys() {
  using T = TChartMargin;
  static const TChartKeys<T> Table{
      ChartKey<&T::FBottomMargin, &T::SetBottomMargin>(u"BottomMargin", 0),
      ChartKey<&T::FLeftMargin, &T::SetLeftMargin>(u"LeftMargin", 0),
      ChartKey<&T::FRightMargin, &T::SetRightMargin>(u"RightMargin", 0),
      ChartKey<&T::FTopMargin, &T::SetTopMargin>(u"TopMargin", 0),
  };
  return Table;
}

void TChartMargin::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartMargin::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

const TChartKeys<TChartBands>& TChartBands::Keys() {
  using T = TChartBands;
  static const TChartKeys<T> Table{
      ChartKey<&T::FDistance, &T::SetDistance>(u"Distance", 2.0),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 100),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdHorizontal),
      ChartKey<&T::FPrimaryColor, &T::SetPrimaryColor>(u"PrimaryColor", clSilver),
      ChartKey<&T::FPrimaryColorTo, &T::SetPrimaryColorTo>(u"PrimaryColorTo", clWhite),
      ChartKey<&T::FSecondaryColor, &T::SetSecondaryColor>(u"SecondaryColor", clNavy),
      ChartKey<&T::FSecondaryColorTo, &T::SetSecondaryColorTo>(u"SecondaryColorTo", clWhite),
      ChartKey<&T::FSerieIndex, &T::SetSerieIndex>(u"SerieIndex", 0),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", false),
  };
  return Table;
}

void TChartBands::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartBands::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

const TChartKeys<TChartXYAxisText>& TChartXYAxisText::Keys() {
  using T = TChartXYAxisText;
  static const TChartKeys<T> Table{
      ChartKey<&T::FAngle, &T::SetAngle>(u"Angle", 0),
      ChartFontKey<T>(u"", &T::FFont),
      ChartKey<&T::FOffset, &T::SetOffset>(u"Offset", 0),
      ChartEnumKey<&T::FPosition, &T::SetPosition>(u"Position", 5, ctLeft),
      ChartKey<&T::FText, &T::SetText>(u"Text", u""),
  };
  return Table;
}

void TChartXYAxisText::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartXYAxisText::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}

// ---------------------------------------------------------------- crosshair
void TChartCrossHairYValues::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartCrossHairYValues*>(Source);
  if (!S || S == this) return;
  FShowSerieValues = S->FShowSerieValues;
  FShowYPosValue = S->FShowYPosValue;
  FPosition = S->FPosition;
}

const TChartKeys<TChartCrossHairYValues>& TChartCrossHairYValues::Keys() {
  using T = TChartCrossHairYValues;
  static const TChartKeys<T> Table{
      ChartKey<&T::FShowSerieValues, &T::SetShowSerieValues>(u"ShowSerieValues", true),
      ChartKey<&T::FShowYPosValue, &T::SetShowYPosValue>(u"ShowYPosValue", false),
      ChartSetKey<&T::FPosition, &T::SetPosition>(u"Position", 3, TChartCrossHairYValuePosition{chYAxis}),
  };
  return Table;
}

void TChartCrossHairYValues::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartCrossHairYValues::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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
  Integer X =
      R.Left + RoundI(XS * PV.Point) - RoundI(XS * FOwner->Range().RangeFrom()) + RoundI(FOwner->GetXScaleStart());
  Integer Y = RoundI(PV.YValue);
  Canvas.Pen.Width = RoundI(FLineWidth * ScaleX);
  Canvas.Pen.Color = FLineColor;
  Canvas.Line(X - 20, Y, X + 20, Y);
  Canvas.Line(X, Y - 20, X, Y + 20);
}

const TChartKeys<TChartCrossHair>& TChartCrossHair::Keys() {
  using T = TChartCrossHair;
  static const TChartKeys<T> Table{
      ChartEnumKey<&T::FCrossHairType, &T::SetCrossHairType>(u"CrossHairType", 4, chtFullSizeCrossHairAtSeries),
      ChartSectionKey<T>(
          u".CrossHairYValues",
          [](const T& E, TCustomIniFile& Ini, const String& Section) { E.FCrossHairYValues.SaveToFile(Ini, Section); },
          [](T& E, const TCustomIniFile& Ini, const String& Section) {
            E.FCrossHairYValues.LoadFromFile(Ini, Section);
          }),
      ChartKey<&T::FDistance, &T::SetDistance>(u"Distance", 0),
      ChartKey<&T::FLineWidth, &T::SetLineWidth>(u"LineWidth", 1),
      ChartKey<&T::FLineColor, &T::SetLineColor>(u"LineColor", clNone),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", false),
  };
  return Table;
}

void TChartCrossHair::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartCrossHair::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

const TChartKeys<TChartSerieCrossHairYValue>& TChartSerieCrossHairYValue::Keys() {
  using T = TChartSerieCrossHairYValue;
  static const TChartKeys<T> Table{
      ChartKey<&T::FBorderColor, &T::SetBorderColor>(u"BorderColor", clNone),
      ChartKey<&T::FColor, &T::SetColor>(u"Color", clNone),
      ChartKey<&T::FColorTo, &T::SetColorTo>(u"ColorTo", clNone),
      ChartFontKey<T>(u"", &T::FFont),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdHorizontal),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 0),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", true),
  };
  return Table;
}

void TChartSerieCrossHairYValue::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartSerieCrossHairYValue::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

const TChartKeys<TChartNavigator>& TChartNavigator::Keys() {
  using T = TChartNavigator;
  static const TChartKeys<T> Table{
      ChartKey<&T::FAlphaBlend, &T::SetAlphaBlend>(u"AlphaBlend", true),
      ChartKey<&T::FAlphaBlendValue, &T::SetAlphaBlendValue>(u"AlphaBlendValue", 128),
      ChartKey<&T::FColor, &T::SetColor>(u"Color", clWhite),
      ChartKey<&T::FColorTo, &T::SetColorTo>(u"ColorTo", clNone),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdVertical),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 100),
      ButtonColorKey<0, cnbNormal>(u"ScrollbuttonLeftColor"),
      ButtonColorKey<0, cnbHot>(u"ScrollbuttonLeftHotColor"),
      ButtonColorKey<0, cnbDown>(u"ScrollbuttonLeftDownColor"),
      ButtonColorKey<1, cnbNormal>(u"ScrollbuttonRightColor"),
      ButtonColorKey<1, cnbHot>(u"ScrollbuttonRightHotColor"),
      ButtonColorKey<1, cnbDown>(u"ScrollbuttonRightDownColor"),
      ChartKey<&T::FScrollButtons, &T::SetScrollButtons>(u"ScrollButtons", true),
      ChartKey<&T::FScrollButtonsSize, &T::SetScrollButtonsSize>(u"ScrollButtonsSize", 11),
      ChartKey<&T::FSize, &T::SetSize>(u"Size", 20),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", false),
  };
  return Table;
}

void TChartNavigator::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartNavigator::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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
  Canvas.SetClipRegion(TChartRegion::FromRoundRect({B.Left - BX, B.Top - BY, B.Right + BX, B.Bottom + BY},
                                                   FBorderRounding, FBorderRounding));
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
      case bpTopLeft:
        Canvas.Draw(R.Left + FLeft, R.Top + FTop, G);
        break;
      case bpTopRight:
        Canvas.Draw(std::max(R.Left + FLeft, R.Right - FLeft - R.Left - PW), R.Top + FTop, G);
        break;
      case bpBottomLeft:
        Canvas.Draw(R.Left + FLeft, std::max(R.Top + FTop, R.Bottom - PH), G);
        break;
      case bpBottomRight:
        Canvas.Draw(std::max(R.Left + FLeft, R.Right - FLeft - R.Left - PW),
                    std::max(R.Top + FTop, R.Bottom - FTop - PH), G);
        break;
      case bpTiled:
        if (PW > 0 && PH > 0)
          for (Integer Y = R.Top; Y < R.Bottom; Y += PH)
            for (Integer X = R.Left; X < R.Right; X += PW) Canvas.Draw(X, Y, G);
        break;
      case bpStretched:
        Canvas.StretchDraw(R, G);
        break;
      case bpCenter:
        Canvas.Draw(std::max(R.Left + FLeft, R.Right - FLeft - R.Left - PW) >> 1,
                    std::max(R.Top + FTop, R.Bottom - FTop - PH) >> 1, G);
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

const TChartKeys<TChartLegend>& TChartLegend::Keys() {
  using T = TChartLegend;
  static const TChartKeys<T> Table{
      ChartEnumKey<&T::FAlignment, &T::SetAlignment>(u"Alignment", 10, laCustom),
      ChartKey<&T::FBorderColor, &T::SetBorderColor>(u"BorderColor", clBlack),
      ChartKey<&T::FBorderWidth, &T::SetBorderWidth>(u"BorderWidth", 1),
      ChartKey<&T::FBorderRounding, &T::SetBorderRounding>(u"BorderRounding", 0),
      ChartKey<&T::FColor, &T::SetColor>(u"Color", clWhite),
      ChartKey<&T::FColorTo, &T::SetColorTo>(u"ColorTo", clNone),
      ChartFontKey<T>(u"", &T::FFont),
      ChartEnumKey<&T::FGradientDirection, &T::SetGradientDirection>(u"GradientDirection", 2, cgdHorizontal),
      ChartKey<&T::FGradientSteps, &T::SetGradientSteps>(u"GradientSteps", 100),
      ChartKey<&T::FLeft, &T::SetLeft>(u"Left", 0),
      ChartKey<&T::FTop, &T::SetTop>(u"Top", 0),
      ChartKey<&T::FRectangleSize, &T::SetRectangleSize>(u"RectangleSize", 10),
      ChartKey<&T::FRectangleSpacing, &T::SetRectangleSpacing>(u"RectangleSpacing", 5),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", true),
  };
  return Table;
}

void TChartLegend::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartLegend::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
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

const TChartKeys<TChartMarker>& TChartMarker::Keys() {
  using T = TChartMarker;
  static const TChartKeys<T> Table{
      ChartEnumKey<&T::FMarkerType, &T::SetMarkerType>(u"MarkerType", 7, mNone),
      ChartKey<&T::FMarkerColor, &T::SetMarkerColor>(u"MarkerColor", clWhite),
      ChartKey<&T::FMarkerSize, &T::SetMarkerSize>(u"MarkerSize", 10),
      ChartKey<&T::FMarkerLineWidth, &T::SetMarkerLineWidth>(u"MarkerLineWidth", 1),
      ChartKey<&T::FMarkerLineColor, &T::SetMarkerLineColor>(u"MarkerLineColor", clBlack),
      // The picture itself never goes into the settings file; the key keeps
      // its place with 0 and is not read.
      PlaceholderKey<T>(u"MarkerPicture"),
      ChartKey<&T::FSelectedColor, &T::SetSelectedColor>(u"SelectedColor", clNone),
      ChartKey<&T::FSelectedLineColor, &T::SetSelectedLineColor>(u"SelectedLineColor", clNone),
      ChartKey<&T::FSelectedLineWidth, &T::SetSelectedLineWidth>(u"SelectedLineWidth", 1),
      ChartKey<&T::FSelectedSize, &T::SetSelectedSize>(u"SelectedSize", 12),
      ChartKey<&T::FIncreaseDecreaseMode, &T::SetIncreaseDecreaseMode>(u"IncreaseDecrease", false),
  };
  return Table;
}

void TChartMarker::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartMarker::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}
