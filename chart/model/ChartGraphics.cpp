#include "chart/model/ChartGraphics.h"

#include <cmath>

#include "rtl/Math.h"

void TChartFont::CopyValues(const TChartFont& Other) {
  FName = Other.FName;
  FSize = Other.FSize;
  FColor = Other.FColor;
  FStyle = Other.FStyle;
  FOrientation = Other.FOrientation;
}

void TChartFont::Changed() {
  if (OnChange) OnChange(nullptr);
}

void TChartFont::SetName(const String& Value) {
  if (FName == Value) return;
  FName = Value;
  Changed();
}

void TChartFont::SetSize(Integer Value) {
  if (FSize == Value) return;
  FSize = Value;
  Changed();
}

Integer TChartFont::Height() const { return static_cast<Integer>(-Round(FSize * 96.0 / 72.0)); }

void TChartFont::SetHeight(Integer Value) { SetSize(static_cast<Integer>(Round(std::abs(Value) * 72.0 / 96.0))); }

void TChartFont::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed();
}

void TChartFont::SetStyle(TFontStyles Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TChartFont::SetOrientation(Integer Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  Changed();
}

void TChartFont::Assign(const TChartFont& Source) {
  if (&Source != this) CopyValues(Source);
  Changed();
}

bool TChartFont::SameValues(const TChartFont& Other) const {
  return FName == Other.FName && FSize == Other.FSize && FColor == Other.FColor && FStyle == Other.FStyle &&
         FOrientation == Other.FOrientation;
}

void TChartPicture::SetGraphic(std::shared_ptr<const TChartGraphic> Value) {
  FGraphic = std::move(Value);
  if (OnChange) OnChange(nullptr);
}

void TChartPicture::Assign(const TChartPicture& Source) {
  if (&Source == this) return;
  SetGraphic(Source.FGraphic);
}

TChartRegion TChartRegion::FromRect(const TRect& R) {
  TChartRegion Result;
  Result.FParts.push_back({rsRectangle, rcCopy, R, 0, 0, {}});
  return Result;
}

TChartRegion TChartRegion::FromEllipse(const TRect& R) {
  TChartRegion Result;
  Result.FParts.push_back({rsEllipse, rcCopy, R, 0, 0, {}});
  return Result;
}

TChartRegion TChartRegion::FromRoundRect(const TRect& R, Integer RoundX, Integer RoundY) {
  TChartRegion Result;
  Result.FParts.push_back({rsRoundRect, rcCopy, R, RoundX, RoundY, {}});
  return Result;
}

TChartRegion TChartRegion::FromPolygon(std::span<const TPoint> Points) {
  TChartRegion Result;
  TRegionPart Part;
  Part.Shape = rsPolygon;
  Part.Points.assign(Points.begin(), Points.end());
  if (!Part.Points.empty()) {
    Part.Bounds = {Part.Points[0].X, Part.Points[0].Y, Part.Points[0].X, Part.Points[0].Y};
    for (const TPoint& P : Part.Points) {
      Part.Bounds.Left = std::min(Part.Bounds.Left, P.X);
      Part.Bounds.Top = std::min(Part.Bounds.Top, P.Y);
      Part.Bounds.Right = std::max(Part.Bounds.Right, P.X);
      Part.Bounds.Bottom = std::max(Part.Bounds.Bottom, P.Y);
    }
  }
  Result.FParts.push_back(std::move(Part));
  return Result;
}

TChartRegion TChartRegion::Combined(const TChartRegion& Other, TRegionCombine Mode) const {
  if (FParts.empty()) {
    if (Mode == rcOr || Mode == rcXor || Mode == rcCopy) return Other;
    return {};
  }
  // Other's own parts combine among themselves first; only a one-part
  // region can be appended as it is, so a several-part one is kept apart.
  TChartRegion Result = *this;
  for (size_t I = 0; I < Other.FParts.size(); ++I) {
    TRegionPart Part = Other.FParts[I];
    if (I == 0) Part.Combine = Mode;
    Result.FParts.push_back(std::move(Part));
  }
  return Result;
}

static bool PartContains(const TRegionPart& Part, const TPoint& P) {
  const TRect& R = Part.Bounds;
  switch (Part.Shape) {
    case rsRectangle:
      return R.Contains(P);
    case rsRoundRect:  // corners are close enough to the rectangle for hit purposes
      return R.Contains(P);
    case rsEllipse: {
      double A = (R.Right - R.Left) / 2.0, B = (R.Bottom - R.Top) / 2.0;
      if (A <= 0 || B <= 0) return false;
      double DX = (P.X + 0.5 - (R.Left + A)) / A, DY = (P.Y + 0.5 - (R.Top + B)) / B;
      return DX * DX + DY * DY <= 1.0;
    }
    case rsPolygon: {
      bool Inside = false;
      const auto& Pts = Part.Points;
      size_t N = Pts.size();
      for (size_t I = 0, J = N ? N - 1 : 0; I < N; J = I++) {
        if (((Pts[I].Y > P.Y) != (Pts[J].Y > P.Y)) &&
            (P.X < static_cast<double>(Pts[J].X - Pts[I].X) * (P.Y - Pts[I].Y) / (Pts[J].Y - Pts[I].Y) + Pts[I].X))
          Inside = !Inside;
      }
      return Inside;
    }
  }
  return false;
}

bool TChartRegion::Contains(const TPoint& P) const {
  bool In = false;
  for (size_t I = 0; I < FParts.size(); ++I) {
    bool Here = PartContains(FParts[I], P);
    if (I == 0) {
      In = Here;
      continue;
    }
    switch (FParts[I].Combine) {
      case rcCopy:
        In = Here;
        break;
      case rcAnd:
        In = In && Here;
        break;
      case rcOr:
        In = In || Here;
        break;
      case rcXor:
        In = In != Here;
        break;
      case rcDiff:
        In = In && !Here;
        break;
    }
  }
  return In;
}

TSize TFixedTextMeasurer::TextExtent(const TChartFont& Font, const String& Text) const {
  Integer Lines = 1, Longest = 0, Current = 0;
  for (size_t I = 0; I < Text.size(); ++I) {
    Char C = Text[I];
    if (C == u'\r' || C == u'\n') {
      if (C == u'\r' && I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
      Longest = std::max(Longest, Current);
      Current = 0;
      ++Lines;
      continue;
    }
    ++Current;
  }
  Longest = std::max(Longest, Current);
  Integer Size = Font.Size() > 0 ? Font.Size() : 8;
  Integer CW = static_cast<Integer>(Round(FCharWidth * Size / 8.0));
  Integer LH = static_cast<Integer>(Round(FLineHeight * Size / 8.0));
  return {Longest * CW, Lines * LH};
}

const TFixedTextMeasurer& TFixedTextMeasurer::Default() {
  static const TFixedTextMeasurer Instance;
  return Instance;
}

void TMeasuringCanvas::DrawText(const String& Text, TRect& R, TDrawTextFlags Flags) {
  if (!Flags.Contains(dtCalcRect)) return;
  TSize S = TextExtent(Text);
  R.Right = R.Left + S.cx;
  R.Bottom = R.Top + S.cy;
}
