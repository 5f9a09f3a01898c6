#pragma once
// Small helpers the canvas painters share.
#include "chart/model/ChartHelpers.h"
#include "chart/model/VivIzude.h"

// The serie's own clip region (the series rectangle) selected again after a
// painter narrowed it.
inline void RestoreSerieClip(const TChartSerie& S, TChartCanvas& Canvas) {
  if (S.ClipRgn.Empty())
    Canvas.ClearClipRegion();
  else
    Canvas.SetClipRegion(S.ClipRgn);
}

// Narrows the clip to Region within the serie's clip region.
inline void ClipToSerie(const TChartSerie& S, TChartCanvas& Canvas, const TChartRegion& Region) {
  Canvas.SetClipRegion(S.ClipRgn.Empty() ? Region : S.ClipRgn.Combined(Region, rcAnd));
}

// The point that draw point N of a painter shows: N + RangeFrom, or N when
// the range starts before the first point.
inline Integer PointOfDrawPoint(const TChartSerie& S, Integer N) {
  TVivIzude* C = S.Chart();
  Integer From = C ? C->Range().RangeFrom() : 0;
  return From < 0 ? N : N + From;
}

inline TRect NormalizedRect(TRect R) {
  if (R.Left > R.Right) std::swap(R.Left, R.Right);
  if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
  return R;
}
