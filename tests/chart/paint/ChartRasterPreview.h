#pragma once
// Turns a recording into pixels so a person can look at what was painted
// (text appears as bars in the font colour) and tests can probe pixels.
// Saved as uncompressed PNG.
#include <string>
#include <vector>

#include "chart/model/ChartRecordingCanvas.h"

class TRasterPreview {
public:
  TRasterPreview(Integer Width, Integer Height, TColor Background = clWhite);
  void Render(const std::vector<TCanvasRecord>& Records);
  TColor Pixel(Integer X, Integer Y) const;
  // Writes <folder>/<name>.png under the test's working folder; returns the path.
  std::string Save(const std::string& Name) const;

private:
  bool Inside(Integer X, Integer Y) const;
  void Put(Integer X, Integer Y, TColor C);
  void Disc(Integer X, Integer Y, Integer Width, TColor C);
  void Line(TPoint A, TPoint B, const TChartPen& Pen);
  template <class F>
  void FillWhere(const TRect& Bounds, TColor C, F&& In);
  Integer FWidth, FHeight;
  std::vector<TColor> FPixels;
  const TChartRegion* FClip = nullptr;
};
