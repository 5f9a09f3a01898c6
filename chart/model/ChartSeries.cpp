#include "chart/model/ChartSeries.h"

#include <algorithm>
#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"
#include "rtl/SysUtils.h"

TChartSeries::~TChartSeries() = default;

void TChartSeries::Assign(const TObject* Source) {
  auto* S = dynamic_cast<const TChartSeries*>(Source);
  if (!S || S == this) return;
  while (Count() > S->Count()) FItems.pop_back();
  while (Count() < S->Count()) Add();
  for (Integer I = 0; I < Count(); ++I) FItems[I]->Assign(S->FItems[I].get());
  FSerieValueTotals = S->FSerieValueTotals;
  FDonutMode = S->FDonutMode;
  FBarChartSpacing = S->FBarChartSpacing;
  FBarChartSpacingType = S->FBarChartSpacingType;
  FChartMode = S->FChartMode;
  Changed();
}

TChartSerie& TChartSeries::Add() { return Insert(Count()); }

TChartSerie& TChartSeries::Insert(Integer Index) {
  FMode = cmInit;
  Index = std::clamp<Integer>(Index, 0, Count());
  FInserting = true;
  FInsertAt = Index;
  std::unique_ptr<TChartSerie> S = CreateItem();
  FInserting = false;
  FItems.insert(FItems.begin() + Index, std::move(S));
  return *FItems[Index];
}

void TChartSeries::Delete(Integer Index) {
  if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

void TChartSeries::Clear() { FItems.clear(); }

void TChartSeries::SetItem(Integer Index, const TChartSerie& Value) {
  Items(Index).Assign(&Value);
  Changed();
}

Integer TChartSeries::IndexOf(const TChartSerie* Serie) const {
  for (Integer I = 0; I < Count(); ++I)
    if (FItems[I].get() == Serie) return I;
  return -1;
}

void TChartSeries::Move(Integer From, Integer To) {
  if (From < 0 || From >= Count() || To < 0 || To >= Count() || From == To) return;
  auto Item = std::move(FItems[From]);
  FItems.erase(FItems.begin() + From);
  FItems.insert(FItems.begin() + To, std::move(Item));
  Changed();
}

void TChartSeries::ForceInit(bool Force) {
  for (auto& S : FItems) S->SetForceInit(Force);
}

bool TChartSeries::IsHorizontal() const {
  if (FChartMode != dmHorizontal) return false;
  for (const auto& S : FItems)
    if (S->IsPieLike()) return false;
  return true;
}

Integer TChartSeries::GetCountChartType(TChartType ChartType) const {
  Integer N = 0;
  for (const auto& S : FItems)
    if (S->ChartType() == ChartType && S->Visible()) ++N;
  if (FOwner && FOwner->OnGetCountChartType) FOwner->OnGetCountChartType(FOwner, ChartType, N);
  return N;
}

Integer TChartSeries::GetCountGroupedChartType(TChartType ChartType) const {
  Integer N = 0, Last = -1;
  for (const auto& S : FItems)
    if (S->ChartType() == ChartType && S->Visible() && S->GroupIndex() > Last) {
      ++N;
      Last = S->GroupIndex();
    }
  if (FOwner && FOwner->OnGetCountGroupedChartType) FOwner->OnGetCountGroupedChartType(FOwner, ChartType, N);
  return N;
}

Integer TChartSeries::GetPreviousChartIndex(TChartType ChartType, Integer Index, Integer GroupIndex) const {
  for (Integer I = std::min(Index, Count()) - 1; I >= 0; --I)
    if (FItems[I]->ChartType() == ChartType && FItems[I]->GroupIndex() == GroupIndex) return I;
  return -1;
}

bool TChartSeries::Paintable(const TChartSerie& S) const { return S.YScale() > 0 || std::isnan(S.YScale()); }

static bool HasMarkersInline(TChartType T) {
  return (T >= ctLine && T <= ctMarkers) || (T >= ctError && T <= ctScaledBubble) || T == ctBand ||
         (T >= ctDigitalLine && T <= ctGantt) || T == ctXYDigitalLine;
}

void TChartSeries::Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY, const TChartRegion& ClipRgn) {
  cntBar = 0;
  IChartSeriePainter* P = FOwner ? FOwner->SeriePainter() : nullptr;
  if (!P) return;
  for (Integer I = 0; I < Count(); ++I) {
    TChartSerie& S = *FItems[I];
    if (!Paintable(S)) continue;
    S.ClipRgn = ClipRgn;
    S.ItemIndex = I;
    P->Init(S, Canvas, R, ScaleX, ScaleY);
    P->DrawSerie(S, Canvas, R, ScaleX, ScaleY);
    if (!S.Is3D()) {
      if (HasMarkersInline(S.ChartType())) P->DrawMarkers(S, Canvas, R, ScaleX, ScaleY);
      if (!S.ShowAnnotationsOnTop()) P->DrawAnnotations(S, Canvas, R, ScaleX, ScaleY);
    }
  }
  // Only indices with a bar record have anything to draw: the walk ends with
  // the longest record list, whatever the width of the range.
  const Int64 Steps = Int64(FOwner->Range().RangeTo()) - FOwner->Range().RangeFrom();
  Int64 Bars = 0;
  for (auto& SP : FItems) Bars = std::max<Int64>(Bars, SP->StackedRectsBar.size());
  for (Integer I = 0; I <= Steps && I < Bars; ++I)
    for (auto& SP : FItems) {
      TChartSerie& S = *SP;
      if (!S.Is3D() || static_cast<Integer>(S.StackedRectsBar.size()) <= I || !IsBarType(S.ChartType())) continue;
      const TBarRec& B = S.StackedRectsBar[I];
      if (S.BarShape() == bsRectangle) P->DrawBar3D(S, Canvas, B.SColor, B.SColorTo, B.R, ScaleX, ScaleY);
      P->DrawBar(S, Canvas, B.SColor, B.SColorTo, B.R, ScaleX, ScaleY, I, S.GetPoint(I).SingleValue);
    }
  for (auto& SP : FItems) {
    TChartSerie& S = *SP;
    if (!Paintable(S) || !S.Is3D()) continue;
    if (HasMarkersInline(S.ChartType())) P->DrawMarkers(S, Canvas, R, ScaleX, ScaleY);
    if (!S.ShowAnnotationsOnTop()) P->DrawAnnotations(S, Canvas, R, ScaleX, ScaleY);
  }
  Integer From = FOwner->Range().RangeFrom();
  for (Integer I = 0; I < Count(); ++I) {
    TChartSerie& S = *FItems[I];
    Integer Sel = S.SelectedIndex();
    if (Sel == -1) continue;
    if (S.IsPieLike()) {
      if (S.ChartType() == ctFunnel) {
        if (Sel >= 0 && Sel < static_cast<Integer>(S.DrawValuesFunnel.size()))
          P->DrawSelectedFunnel(S, Canvas, S.DrawValuesFunnel[Sel]);
      } else if (Sel >= 0 && Sel < static_cast<Integer>(S.DrawValuesSlice.size()) &&
                 S.DrawValuesSlice[Sel].SWA > S.DrawValuesSlice[Sel].STA) {
        // A point that got no slice (zero, negative, undefined) has no marks.
        P->DrawSelectedSlice(S, Canvas, S.DrawValuesSlice[Sel]);
      }
      continue;
    }
    Integer K = From >= 1 ? Sel - From : Sel;
    if (K < 0 || K >= static_cast<Integer>(S.DrawValuesDP.size())) continue;
    TPoint Pt = S.DrawValuesDP[K];
    Integer W = S.GetBarWidth(1);
    bool Horz = IsHorizontal();
    TRect Mark;
    TChartType T = S.ChartType();
    if (T == ctBar || T == ctLineBar || T == ctHistogram || T == ctLineHistogram) {
      Integer Z = S.ValueToY(S.ZeroReferencePoint(), FSeriesRectangle);
      if (!Horz)
        Mark = Bounds(Pt.X, std::min(Z, Pt.Y), W, std::abs(Z - Pt.Y));
      else
        Mark = Bounds(std::min(Z, Pt.X), Pt.Y, std::abs(Z - Pt.X), W);
    } else if (T == ctStackedBar || T == ctStackedPercBar) {
      if (Count() < 2 || I == 0) {
        Integer Z = S.ValueToY(0, FSeriesRectangle);
        Mark = !Horz ? Bounds(Pt.X, Pt.Y, W, std::abs(Z - Pt.Y)) : Bounds(Z, Pt.Y, std::abs(Z - Pt.X), W);
      } else {
        const TChartSerie& Prev = *FItems[I - 1];
        if ((Prev.ChartType() != ctStackedBar && Prev.ChartType() != ctStackedPercBar) ||
            K >= static_cast<Integer>(Prev.DrawValuesDP.size()))
          continue;
        TPoint Q = Prev.DrawValuesDP[K];
        Mark = !Horz ? Bounds(Pt.X, Pt.Y, W, std::abs(Pt.Y - Q.Y))
                     : Bounds(Pt.X - std::abs(Pt.X - Q.X), Pt.Y, std::abs(Pt.X - Q.X), W);
      }
    } else {
      Mark = Bounds(Pt.X - 7, Pt.Y - 7, 14, 14);
    }
    P->DrawSelectedMark(S, Canvas, Mark);
  }
  DrawPieLegends(Canvas, R, ScaleX, ScaleY);
}

void TChartSeries::DrawMarkers(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  IChartSeriePainter* P = FOwner ? FOwner->SeriePainter() : nullptr;
  if (!P) return;
  TChartRegion Clip = TChartRegion::FromRect(R);
  Canvas.SetClipRegion(Clip);
  for (auto& S : FItems) {
    S->ClipRgn = Clip;
    if (Paintable(*S) && IsStackedType(S->ChartType())) P->DrawMarkers(*S, Canvas, R, ScaleX, ScaleY);
  }
  Canvas.ClearClipRegion();
}

void TChartSeries::DrawAnnotations(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  IChartSeriePainter* P = FOwner ? FOwner->SeriePainter() : nullptr;
  if (!P) return;
  TChartRegion Clip = TChartRegion::FromRect(R);
  Canvas.SetClipRegion(Clip);
  for (auto& S : FItems)
    if (Paintable(*S) && S->ShowAnnotationsOnTop()) {
      S->ClipRgn = Clip;
      P->DrawAnnotations(*S, Canvas, R, ScaleX, ScaleY);
    }
  Canvas.ClearClipRegion();
}

void TChartSeries::DrawChartValues(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  IChartSeriePainter* P = FOwner ? FOwner->SeriePainter() : nullptr;
  if (!P) return;
  Canvas.SetClipRegion(TChartRegion::FromRect(R));
  for (auto& S : FItems)
    if (!S->DrawValuesDP.empty()) P->DrawChartValues(*S, Canvas, ScaleX, ScaleY);
  Canvas.ClearClipRegion();
}

void TChartSeries::DrawPieLegends(TChartCanvas& Canvas, TRect, double ScaleX, double ScaleY) {
  IChartSeriePainter* P = FOwner ? FOwner->SeriePainter() : nullptr;
  if (!P) return;
  for (auto& S : FItems) {
    bool Measured;
    P->DrawPieLegend(*S, Canvas, true, ScaleX, ScaleY, Measured);
  }
}

void TChartSeries::DrawXValues(TChartCanvas& Canvas, TRect R, bool Top, double ScaleX, double ScaleY) {
  IChartSeriePainter* P = FOwner ? FOwner->SeriePainter() : nullptr;
  if (!P) return;
  Integer Anchor = !IsHorizontal() ? (Top ? R.Bottom : R.Top) : (Top ? R.Left : R.Right);
  for (auto& S : FItems)
    if (S->ChartType() != ctNone && S->SerieType() != stZoomControl && S->Visible())
      P->DrawXValues(*S, Canvas, R, Anchor, Top, ScaleX, ScaleY);
}

void TChartSeries::DrawYValues(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) {
  IChartSeriePainter* P = FOwner ? FOwner->SeriePainter() : nullptr;
  if (!P) return;
  for (auto& S : FItems) P->DrawYValues(*S, Canvas, R, ScaleX, ScaleY);
}

const TChartKeys<TChartSeries>& TChartSeries::Keys() {
  using T = TChartSeries;
  static const TChartKeys<T> Table{
      ChartKey<&T::FSerieValueTotals, &T::SetSerieValueTotals>(u"SerieValueTotals", false),
      ChartEnumKey<&T::FDonutMode, &T::SetDonutMode>(u"DonutMode", 2, dmNormal),
      ChartKey<&T::FBarChartSpacing, &T::SetBarChartSpacing>(u"BarChartSpacing", 20),
      ChartEnumKey<&T::FBarChartSpacingType, &T::SetBarChartSpacingType>(u"BarChartSpacingType", 2, wtPercentage),
      ChartEnumKey<&T::FChartMode, &T::SetChartMode>(u"ChartDrawingMode", 2, dmVertical),
  };
  return Table;
}

void TChartSeries::SaveToFile(TCustomIniFile& Ini, const String& Section) const {
  SaveChartKeys(Keys(), *this, Ini, Section);
  Ini.WriteInteger(Section, u"SeriesCount", Count());
  for (Integer I = 0; I < Count(); ++I) FItems[I]->SaveToFile(Ini, Section + u".Serie" + IntToStr(I));
}

void TChartSeries::LoadFromFile(const TCustomIniFile& Ini, const String& Section, bool AutoCreateSeries) {
  LoadChartKeys(Keys(), *this, Ini, Section);
  if (AutoCreateSeries) {
    // The file says how many series it holds: the collection grows to that
    // many (series already there count), so loading twice never doubles it.
    Integer Stored = Ini.ReadInteger(Section, u"SeriesCount", 0);
    Stored = std::clamp(Stored, 0, 10000);
    while (Count() < Stored) Add();
  }
  for (Integer I = 0; I < Count(); ++I) FItems[I]->LoadFromFile(Ini, Section + u".Serie" + IntToStr(I));
}
