#pragma once
// Enhanced metafiles of the chart view: a picture recorded as drawing
// commands (printing to a file, pictures that scale). A metafile is drawn
// through a TChartMetafileCanvas; freeing the canvas completes it.
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Graphics.h"

class TChartMetafile {
public:
  // An empty metafile of Width x Height pixels.
  TChartMetafile(Integer Width, Integer Height);
  ~TChartMetafile();
  TChartMetafile(const TChartMetafile&) = delete;
  TChartMetafile& operator=(const TChartMetafile&) = delete;

  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  // nullptr until a canvas has completed it.
  HENHMETAFILE Handle() const { return FHandle.Get(); }
  // The number of records (0 before completion).
  UINT RecordCount() const;
  // Writes an .emf file; EFCreateError when it cannot.
  void SaveToFile(const String& FileName) const;
  // Plays the metafile into R.
  void Draw(TCanvas& Canvas, const TRect& R) const;

private:
  friend class TChartMetafileCanvas;
  TMetafileHandle FHandle;
  Integer FWidth, FHeight;
};

// Drawing into a metafile, without a reference device (the screen's
// resolution); one canvas per metafile.
class TChartMetafileCanvas : public TCanvas {
public:
  explicit TChartMetafileCanvas(TChartMetafile& Metafile);
  ~TChartMetafileCanvas() override;
  TChartMetafileCanvas(const TChartMetafileCanvas&) = delete;
  TChartMetafileCanvas& operator=(const TChartMetafileCanvas&) = delete;

private:
  TChartMetafile& FMetafile;
  HDC FDC;
};
