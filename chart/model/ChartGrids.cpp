// The x and y grids of the series area.
#include <cmath>

#include "chart/model/ChartElements.h"
#include "chart/model/ChartHelpers.h"
#include "chart/model/ChartWalks.h"
#include "chart/model/VivIzude.h"

void TChartXGrid::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartXGrid*>(Source);
  if (!S || S == this) return;
  FVisible = S->FVisible;
  FOnTop = S->FOnTop;
  FMinorDistance = S->FMinorDistance;
  FMajorDistance = S->FMajorDistance;
  FMinorLineColor = S->FMinorLineColor;
  FMajorLineColor = S->FMajorLineColor;
  FMinorLineStyle = S->FMinorLineStyle;
  FMajorLineStyle = S->FMajorLineStyle;
  FMinorLineWidth = S->FMinorLineWidth;
  FMajorLineWidth = S->FMajorLineWidth;
  FMinorFont = S->FMinorFont;
  FMajorFont = S->FMajorFont;
  FAutoUnits = S->FAutoUnits;
}

void TChartXGrid::Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double) {
  if (!FOwner) return;
  double XS = FOwner->XScale();
  const Int64 From = FOwner->Range().RangeFrom(), To = FOwner->Range().RangeTo();
  Integer M = FMinorDistance, MM = FMajorDistance;
  if (M == 0 || MM == 0) return;
  bool Horz = FOwner->Series().IsHorizontal();
  if (FAutoUnits) {
    double T = Horz ? Canvas.TextHeight(u"gh") : Canvas.TextWidth(u"WW");
    // Doubling stops before the distance overflows; a non-positive scale
    // never widens (the loop would not end).
    auto Widen = [&](Integer& D) {
      if (!(XS > 0)) return;
      double W = (D + 1.0) * XS;
      while (!(W > T + XS + 4) && D > 0 && D < (1 << 29)) {
        W = (D + 1.0) * XS;
        D *= 2;
      }
    };
    Widen(M);
    Widen(MM);
    if (M == 0 || MM == 0) return;
  }
  bool OldMode = Canvas.SetBackgroundTransparent(true);
  const double Start = FOwner->GetXScaleStart();
  const Integer Extent = Horz ? R.Height() : R.Width();
  auto Line = [&](Integer P, TColor C, TPenStyle S, Integer W) {
    Canvas.Pen = {C, RoundI(W * ScaleX), S};
    if (!Horz)
      Canvas.Line(R.Left + P, R.Top, R.Left + P, R.Bottom);
    else
      Canvas.Line(R.Left, R.Top + P, R.Right, R.Top + P);
  };
  // Only the indices on a line are walked, both kinds merged in increasing
  // order; an index on both is the major line's.
  TXIndexWalk Minor(From, To, M, XS), Major(From, To, MM, XS);
  while (!Minor.Done() || !Major.Done()) {
    const bool TakeMinor = !Minor.Done() && (Major.Done() || Minor.Index() < Major.Index());
    const Int64 B = TakeMinor ? Minor.Index() : Major.Index();
    const Integer P = RoundI(std::floor(Start + B * XS - From * XS));
    if (XS > 0 && P > Extent) break;  // past the series area: outside its clip
    if (TakeMinor) {
      if (B % MM != 0 && FMinorLineColor != clNone) Line(P, FMinorLineColor, FMinorLineStyle, FMinorLineWidth);
      Minor.Next();
    } else {
      if (FMajorLineColor != clNone) Line(P, FMajorLineColor, FMajorLineStyle, FMajorLineWidth);
      Major.Next();
      if (!Minor.Done() && Minor.Index() == B) Minor.Next();
    }
  }
  Canvas.SetBackgroundTransparent(OldMode);
}

const TChartKeys<TChartXGrid>& TChartXGrid::Keys() {
  using T = TChartXGrid;
  static const TChartKeys<T> Table{
      ChartKey<&T::FMinorDistance, &T::SetMinorDistance>(u"MinorDistance", 10),
      ChartKey<&T::FMajorDistance, &T::SetMajorDistance>(u"MajorDistance", 20),
      ChartKey<&T::FMinorLineColor, &T::SetMinorLineColor>(u"MinorLineColor", clBlack),
      ChartKey<&T::FMajorLineColor, &T::SetMajorLineColor>(u"MajorLineColor", clBlack),
      ChartEnumKey<&T::FMinorLineStyle, &T::SetMinorLineStyle>(u"MinorLineStyle", 7, psSolid),
      ChartEnumKey<&T::FMajorLineStyle, &T::SetMajorLineStyle>(u"MajorLineStyle", 7, psDot),
      ChartKey<&T::FMinorLineWidth, &T::SetMinorLineWidth>(u"MinorLineWidth", 1),
      ChartKey<&T::FMajorLineWidth, &T::SetMajorLineWidth>(u"MajorLineWidth", 1),
      ChartFontKey<T>(u"Major", &T::FMajorFont),
      ChartFontKey<T>(u"Minor", &T::FMinorFont),
      ChartKey<&T::FOnTop, &T::SetOnTop>(u"OnTop", false),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", false),
  };
  return Table;
}

void TChartXGrid::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartXGrid::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}

void TChartYGrid::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartYGrid*>(Source);
  if (!S || S == this) return;
  FAutoUnits = S->FAutoUnits;
  FBorderColor = S->FBorderColor;
  FSerieIndex = S->FSerieIndex;
  FVisible = S->FVisible;
  FOnTop = S->FOnTop;
  FMinorDistance = S->FMinorDistance;
  FMajorDistance = S->FMajorDistance;
  FMinorLineColor = S->FMinorLineColor;
  FMajorLineColor = S->FMajorLineColor;
  FMinorLineStyle = S->FMinorLineStyle;
  FMajorLineStyle = S->FMajorLineStyle;
  FMinorLineWidth = S->FMinorLineWidth;
  FMajorLineWidth = S->FMajorLineWidth;
  FShowBorder = S->FShowBorder;
}

void TChartYGrid::Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  if (!FOwner) return;
  TChartSeries& Series = FOwner->Series();
  if (FSerieIndex < 0 || FSerieIndex >= Series.Count()) return;
  TChartSerie& S = Series.Items(FSerieIndex);
  if (IsPolarGridType(S.ChartType())) {
    Integer Radius = (S.Pie().GetPieSize() / 2) * RoundI(ScaleX);
    TRect PR = S.GetPieRectangle(FSerieIndex, Series.SeriesRectangle());
    TPoint C = S.GetPieCenter(PR);
    if (IChartSeriePainter* P = FOwner->SeriePainter())
      P->DrawPieGrid(S, Canvas, {C.X - Radius, C.Y - Radius, C.X + Radius, C.Y + Radius}, ScaleX, ScaleY, C);
    return;
  }
  if (FShowBorder) {
    Canvas.Brush.SetColor(S.BorderColor());
    Canvas.FrameRect(R);
  }
  const bool Horz = Series.IsHorizontal();
  double Lo = S.MinimumValue(), Hi = S.MaximumValue();
  double Major, Minor;
  if (FAutoUnits) {
    Integer Span = Horz ? R.Right - R.Left : R.Bottom - R.Top;
    Canvas.Font = S.YAxis().MajorFont();
    Integer Sz = (Horz ? Canvas.TextWidth(u"WW") : Canvas.TextHeight(u"gh")) + 4;
    // The low bound first: the step of an inverted range would be 0.
    Major = NiceAxisStep(RoundI(Span / (2.0 * Sz)), Lo, Hi);
    Canvas.Font = S.YAxis().MinorFont();
    Sz = (Horz ? Canvas.TextWidth(u"WW") : Canvas.TextHeight(u"gh")) + 4;
    Minor = NiceAxisStep(RoundI(Span / (2.0 * Sz)), Lo, Hi);
  } else {
    Major = FMajorDistance;
    Minor = FMinorDistance;
  }
  if (S.Logarithmic()) Major = 1;
  double VMajor = Lo, VMinor = Lo;
  if (Minor > 0) VMinor = std::nearbyint(Lo / Minor) * Minor;
  if (Major > 0) VMajor = std::nearbyint(Lo / Major) * Major;
  bool Primary = true, Secondary = false;
  TChartBands& Bands = FOwner->Bands();
  Integer D = S.Get3DOffset();
  auto Y = [&](double V) { return S.ValueToY(V, R); };
  auto FillBand = [&](TRect Band, bool UsePrimary) {
    if (!Horz)
      Band.Offset(D, -D);
    else
      Band.Offset(D, D);
    FillChartShape(Canvas, UsePrimary ? Bands.PrimaryColor() : Bands.SecondaryColor(),
                   UsePrimary ? Bands.PrimaryColorTo() : Bands.SecondaryColorTo(), Bands.GradientSteps(), Band,
                   Bands.GradientDirection(), false, clNone, 0, csRectangle, 0, sdAll, false, false);
  };
  if (Bands.Visible()) {
    FillBand(!Horz ? TRect{R.Left, R.Bottom, R.Right, Y(VMajor)} : TRect{R.Left, R.Top, Y(VMajor), R.Bottom}, true);
    Primary = false;
    Secondary = true;
  }
  if (!(Major > 0) || !std::isfinite(Major) || !std::isfinite(Hi) || !std::isfinite(Lo)) return;
  const double Limit = Hi + Major;
  // Lines of one kind that would outnumber a screen's pixels only paint the
  // area solid: such minor lines are left out (as with no minor step), and
  // such major lines are not drawn at all.
  if (TooManySteps(VMajor, Limit, Major)) return;
  if (Minor > 0 && TooManySteps(VMinor, Limit, Minor)) {
    Minor = 0;
    VMinor = Lo;
  }
  Integer K = 0;
  auto GridLine = [&](Integer P, TColor C, TPenStyle St, Integer W) {
    Canvas.Pen = {C, RoundI(W * ScaleX), St};
    Canvas.Brush.SetStyle(bsClear);
    if (!Horz)
      Canvas.Line(R.Left, P, R.Right, P);
    else
      Canvas.Line(P, R.Top, P, R.Bottom);
  };
  // A step lost in the precision of the values (10 at 1e20) ends the walk
  // of its kind; the counters only back the estimate above.
  bool MinorMoves = Minor > 0;
  int Majors = 0, Minors = 0;
  while (VMinor <= Limit && Majors <= MaxAxisSteps) {
    ++Majors;
    if (VMajor <= Limit) {
      if (Bands.Visible()) {
        TRect Band = !Horz ? TRect{R.Left, Y(VMajor), R.Right, Y(VMajor + Major)}
                           : TRect{Y(VMajor), R.Top, Y(VMajor + Major), R.Bottom};
        if (Primary) FillBand(Band, true);
        if (Secondary) FillBand(Band, false);
      }
      if (FVisible && FMajorLineColor != clNone) GridLine(Y(VMajor), FMajorLineColor, FMajorLineStyle, FMajorLineWidth);
    }
    if (VMinor <= Limit && MinorMoves) {
      while (VMinor < VMajor && Minors <= MaxAxisSteps) {
        ++Minors;
        double P = VMinor;
        bool Skip = false;
        if (S.Logarithmic()) {
          P = VMinor - (K - 1);
          if (K >= -100 && K <= 100) P *= std::pow(10.0, K);
          P = SafeLog10(P);
          if (VMajor >= -100 && VMajor <= 100)
            Skip = std::llround(std::pow(10.0, VMajor) * (VMinor - VMajor + 1)) ==
                   std::llround(std::pow(10.0, VMajor - 1));
        }
        if (!Skip && FVisible && FMinorLineColor != clNone)
          GridLine(Y(P), FMinorLineColor, FMinorLineStyle, FMinorLineWidth);
        if (!(MinorMoves = MoveOn(VMinor, VMinor + Minor))) break;
        if (VMinor == VMajor) VMinor += Minor;
      }
    }
    std::swap(Primary, Secondary);
    if (!(Minor > 0))
      VMinor += Major;
    else if (VMinor == VMajor)
      VMinor += Minor;
    if (!MoveOn(VMajor, VMajor + Major)) break;
    ++K;
    if (!(VMajor <= Limit)) break;
  }
}

const TChartKeys<TChartYGrid>& TChartYGrid::Keys() {
  using T = TChartYGrid;
  static const TChartKeys<T> Table{
      ChartKey<&T::FAutoUnits, &T::SetAutoUnits>(u"AutoUnits", true),
      // The border colour is written for the file's sake but never read
      // back: loading a section leaves it as it is.
      ChartKey<&T::FBorderColor, &T::SetBorderColor>(u"BorderColor", clNone, kuSaveOnly),
      ChartKey<&T::FMinorDistance, &T::SetMinorDistance>(u"MinorDistance", 1.0),
      ChartKey<&T::FMajorDistance, &T::SetMajorDistance>(u"MajorDistance", 2.0),
      ChartKey<&T::FMinorLineColor, &T::SetMinorLineColor>(u"MinorLineColor", clGray),
      ChartKey<&T::FMajorLineColor, &T::SetMajorLineColor>(u"MajorLineColor", clSilver),
      ChartEnumKey<&T::FMinorLineStyle, &T::SetMinorLineStyle>(u"MinorLineStyle", 7, psDot),
      ChartEnumKey<&T::FMajorLineStyle, &T::SetMajorLineStyle>(u"MajorLineStyle", 7, psSolid),
      ChartKey<&T::FMinorLineWidth, &T::SetMinorLineWidth>(u"MinorLineWidth", 1),
      ChartKey<&T::FMajorLineWidth, &T::SetMajorLineWidth>(u"MajorLineWidth", 1),
      ChartKey<&T::FOnTop, &T::SetOnTop>(u"OnTop", false),
      ChartKey<&T::FVisible, &T::SetVisible>(u"Visible", false),
      ChartKey<&T::FSerieIndex, &T::SetSerieIndex>(u"SerieIndex", 0),
      ChartKey<&T::FShowBorder, &T::SetShowBorder>(u"ShowBorder", false),
  };
  return Table;
}

void TChartYGrid::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
}

void TChartYGrid::LoadFromFile(const TCustomIniFile& Ini, const String& Section) {
  LoadChartKeys(Keys(), *this, Ini, Section);
}
