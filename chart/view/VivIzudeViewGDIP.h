#pragma once
// The GDI+ chart view: the view, panes, charts and series whose pieces are
// drawn through the GDI+ object layer with opacity, gradients, hatches and
// anti-aliasing; the GDI+ legend and background; the GDI+ settings of
// annotations, markers and pie legends; the GDI+ painting of pie, donut and
// funnel slices, pie grids and pie legends (value texts stay canvas text);
// picture export through the GDI+ encoders.
//
// The main window's chart is one TVivGDIPChartView with one pane holding one
// ctPie serie:
//   auto* View = new TVivGDIPChartView(Form);
//   View->SetParent(Form);
//   TVivGDIPChartSerie& Pie = View->Panes().Add()->Series().Add();
//   Pie.SetChartType(ctPie);
//   Pie.ClearPoints(); Pie.AddPiePoints(...); View->Refresh();
#include <memory>

#include "chart/view/VivIzudeGDIP.h"
#include "chart/view/VivIzudeView.h"

class TVivGDIPChart;
class TVivGDIPChartSerie;

// ---------------------------------------------------------------- helpers
// The chart font as a GDI+ font (points); strike-out is not carried over.
// Families fall back as CreateFontFamilyFallback does.
std::unique_ptr<TGPFont> MakeGDIPFont(const TChartFont& Font);
// Min(Value, Max(A, B)).
constexpr Integer LimitOpacity(Integer A, Integer B, Integer Value) { return std::min(Value, std::max(A, B)); }
// An opacity limited to the alpha range 0..255: every opacity setting stores
// it so, since a value outside it would draw with an unrelated alpha (the
// low byte of -1 is opaque, that of 300 is 44).
constexpr Integer ClampOpacity(Integer Value) { return std::clamp<Integer>(Value, 0, 255); }

enum TRoundCorners : Byte { rcNone, rcTop, rcBottom, rcAll, rcLeft, rcRight };
void AddRoundRectToPath(TRoundCorners Corners, TGPGraphicsPath& Path, double X, double Y, double W, double H, double D,
                        double Rad);
void AddBalloonToPath(TAnnotationBalloonDirection Direction, TRoundCorners Corners, TGPGraphicsPath& Path, double X,
                      double Y, double W, double H, double D, double Rad, double ArrowSize);
std::unique_ptr<TGPGraphicsPath> CreateRoundRectPath(const TGPRectF& Rect, Integer Rounding, TRoundCorners Corners);
std::unique_ptr<TGPGraphicsPath> CreateBalloonPath(const TGPRectF& Rect, TAnnotationBalloonDirection Direction,
                                                   Integer ArrowSize, TRoundCorners Corners, Integer Rounding);

enum TChartImageType : Byte { itPNG, itBMP, itJPEG, itTIFF, itGIF };
// Export failures: no encoder of the format installed, or GDI+ could not
// write the picture.
QUORVEL_DECLARE_EXCEPTION(EChartImageError, Exception);
// "image/png" and the rest; "" for a value outside the type.
String ImageTypeMime(TChartImageType Type);
// The class identifier of the installed encoder of that format; false when
// there is none.
bool GetEncoderClsid(TChartImageType Type, CLSID& Clsid);
// Encodes a GDI bitmap in that format (quality limited to 0..100) into a
// file, or at a stream's position. EChartImageError when no encoder is
// installed for the format or GDI+ fails.
void SaveBitmapToImage(HBITMAP Bitmap, const String& FileName, TChartImageType Type, Integer Quality);
void SaveBitmapToStream(HBITMAP Bitmap, TStream& Stream, TChartImageType Type, Integer Quality);

// ---------------------------------------------------------------- chart elements
class TChartGDIPLegend : public TChartLegend {
public:
  explicit TChartGDIPLegend(TVivIzude* AOwner);
  void Assign(const TObject* Source) override;
  Integer Angle() const { return FAngle; }
  void SetAngle(Integer V) { if (Store(FAngle, V)) Changed(); }
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) { if (Store(FGradientType, V)) Changed(); }
  HatchStyle Hatch() const { return FHatchStyle; }
  void SetHatchStyle(HatchStyle V) { if (Store(FHatchStyle, V)) Changed(); }
  Integer Opacity() const { return FOpacity; }
  void SetOpacity(Integer V) { FOpacity = ClampOpacity(V), Changed(); }
  Integer OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Integer V) { FOpacityTo = ClampOpacity(V), Changed(); }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool V) { FShadow = V; }
  TVivGDIPChart* Chart() const { return FChart; }
  void SetChart(TVivGDIPChart* V) { FChart = V; }
  void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const override;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section) override;

private:
  Integer FOpacity = 255, FOpacityTo = 255;
  TChartGradientType FGradientType = gtSolid;
  HatchStyle FHatchStyle = HatchStyleHorizontal;
  Integer FAngle = 0;
  bool FShadow = false;
  TVivGDIPChart* FChart = nullptr;  // not owned
};

class TChartGDIPBackground : public TChartBackground {
public:
  explicit TChartGDIPBackground(TVivIzude* AOwner);
  void Assign(const TObject* Source) override;
  Integer Angle() const { return FAngle; }
  void SetAngle(Integer V) { FAngle = V; }
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) { FGradientType = V; }
  HatchStyle Hatch() const { return FHatchStyle; }
  void SetHatchStyle(HatchStyle V) { FHatchStyle = V; }
  TChartGDIPPicture& GDIPPicture() { return FPicture; }
  void SetGDIPPicture(const TChartGDIPPicture& V) { FPicture.Assign(V); }
  void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const override;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section) override;

private:
  TChartGradientType FGradientType = gtNone;
  HatchStyle FHatchStyle = HatchStyleHorizontal;
  Integer FAngle = 0;
  TChartGDIPPicture FPicture;
};

// ---------------------------------------------------------------- serie settings
class TChartGDIPAnnotation : public TChartAnnotation {
public:
  explicit TChartGDIPAnnotation(TChartAnnotations* Collection) : TChartAnnotation(Collection) {}
  void Assign(const TObject* Source) override;
  Integer Angle() const { return FAngle; }
  void SetAngle(Integer V) { if (Store(FAngle, V)) Changed(); }
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) { if (Store(FGradientType, V)) Changed(); }
  HatchStyle Hatch() const { return FHatchStyle; }
  void SetHatchStyle(HatchStyle V) { if (Store(FHatchStyle, V)) Changed(); }
  // Stored limited to 0..255, and Changed every time.
  Integer Opacity() const { return FOpacity; }
  void SetOpacity(Integer V) { FOpacity = ClampOpacity(V), Changed(); }
  Integer OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Integer V) { FOpacityTo = ClampOpacity(V), Changed(); }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool V) { if (Store(FShadow, V)) Changed(); }
  void Draw(TChartCanvas& Canvas, TRect DR, TRect TextR, Integer XM, Integer YM, double ScaleX, double ScaleY) override;
  void DrawBalloonGP(TGPGraphics& G, const TGPBrush* B, const TGPPen* P, const TGPRectF& R, double ScaleX, double ScaleY);
  // Where the connector leaves the box E for the anchor (exposed for tests).
  TPoint ConnectorStart(const TRect& E, double ScaleX) const;

private:
  Integer FOpacity = 255, FOpacityTo = 255;
  TChartGradientType FGradientType = gtSolid;
  HatchStyle FHatchStyle = HatchStyleHorizontal;
  bool FShadow = false;
  Integer FAngle = 0;
};

class TChartGDIPAnnotations : public TChartAnnotations {
public:
  using TChartAnnotations::TChartAnnotations;
  TChartGDIPAnnotation& Add() { return static_cast<TChartGDIPAnnotation&>(TChartAnnotations::Add()); }
  TChartGDIPAnnotation& Items(Integer I) { return static_cast<TChartGDIPAnnotation&>(TChartAnnotations::Items(I)); }

protected:
  std::unique_ptr<TChartAnnotation> CreateItem() override { return std::make_unique<TChartGDIPAnnotation>(this); }
};

class TChartGDIPMarker : public TChartMarker {
public:
  void Assign(const TObject* Source) override;
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) { if (Store(FGradientType, V)) Changed(); }
  TColor MarkerColorTo() const { return FMarkerColorTo; }
  void SetMarkerColorTo(TColor V) { if (Store(FMarkerColorTo, V)) Changed(); }
  TColor SelectedColorTo() const { return FSelectedColorTo; }
  void SetSelectedColorTo(TColor V) { if (Store(FSelectedColorTo, V)) Changed(); }
  // Stored limited to 0..255, Changed only when it differs.
  Integer Opacity() const { return FOpacity; }
  void SetOpacity(Integer V) { if (Store(FOpacity, ClampOpacity(V))) Changed(); }
  Integer OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Integer V) { if (Store(FOpacityTo, ClampOpacity(V))) Changed(); }
  TChartGDIPPicture& GDIPMarkerPicture() { return FMarkerPicture; }
  void SetGDIPMarkerPicture(const TChartGDIPPicture& V) {
    if (&V == &FMarkerPicture) return;
    FMarkerPicture.Assign(V);
    Changed();
  }
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const override;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section) override;

private:
  TChartGDIPPicture FMarkerPicture;
  TColor FMarkerColorTo = clNone;
  TChartGradientType FGradientType = gtSolid;
  Integer FOpacity = 255, FOpacityTo = 255;
  TColor FSelectedColorTo = clNone;
};

class TGDIPChartSeriePie : public TChartSeriePie {
public:
  using TChartSeriePie::TChartSeriePie;
  void Assign(const TObject* Source) override;
  TChartGradientType LegendGradientType() const { return FLegendGradientType; }
  void SetLegendGradientType(TChartGradientType V) { if (Store(FLegendGradientType, V)) Changed(); }
  Integer LegendOpacity() const { return FLegendOpacity; }
  void SetLegendOpacity(Integer V) { if (Store(FLegendOpacity, ClampOpacity(V))) Changed(); }
  Integer LegendOpacityTo() const { return FLegendOpacityTo; }
  void SetLegendOpacityTo(Integer V) { if (Store(FLegendOpacityTo, ClampOpacity(V))) Changed(); }
  HatchStyle LegendHatchStyle() const { return FLegendHatchStyle; }
  void SetLegendHatchStyle(HatchStyle V) { if (Store(FLegendHatchStyle, V)) Changed(); }
  Integer LegendGradientAngle() const { return FLegendGradientAngle; }
  void SetLegendGradientAngle(Integer V) { if (Store(FLegendGradientAngle, V)) Changed(); }
  Integer LegendTitleGradientAngle() const { return FLegendTitleGradientAngle; }
  void SetLegendTitleGradientAngle(Integer V) { if (Store(FLegendTitleGradientAngle, V)) Changed(); }
  Integer LegendTitleOpacity() const { return FLegendTitleOpacity; }
  void SetLegendTitleOpacity(Integer V) { if (Store(FLegendTitleOpacity, ClampOpacity(V))) Changed(); }
  TChartGradientType LegendTitleGradientType() const { return FLegendTitleGradientType; }
  void SetLegendTitleGradientType(TChartGradientType V) { if (Store(FLegendTitleGradientType, V)) Changed(); }
  Integer LegendTitleOpacityTo() const { return FLegendTitleOpacityTo; }
  void SetLegendTitleOpacityTo(Integer V) { if (Store(FLegendTitleOpacityTo, ClampOpacity(V))) Changed(); }
  HatchStyle LegendTitleHatchStyle() const { return FLegendTitleHatchStyle; }
  void SetLegendTitleHatchStyle(HatchStyle V) { if (Store(FLegendTitleHatchStyle, V)) Changed(); }
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const override;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section) override;

private:
  TChartGradientType FLegendGradientType = gtSolid;
  Integer FLegendOpacity = 255, FLegendOpacityTo = 255;
  HatchStyle FLegendHatchStyle = HatchStyleHorizontal;
  Integer FLegendGradientAngle = 0, FLegendTitleGradientAngle = 0;
  Integer FLegendTitleOpacity = 255;
  TChartGradientType FLegendTitleGradientType = gtSolid;
  Integer FLegendTitleOpacityTo = 255;
  HatchStyle FLegendTitleHatchStyle = HatchStyleHorizontal;
};

// ---------------------------------------------------------------- serie
class TVivGDIPChartSeries;

class TVivGDIPChartSerie : public TChartSerie {
public:
  explicit TVivGDIPChartSerie(TChartSeries* Collection);
  // The base settings from any serie; the GDI+ settings only from a GDI+ serie.
  void Assign(const TObject* Source) override;

  // Opacities are limited to 0..255.
  Integer Opacity() const { return FOpacity; }
  void SetOpacity(Integer V) { if (Store(FOpacity, ClampOpacity(V))) Changed(); }
  Integer OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Integer V) { if (Store(FOpacityTo, ClampOpacity(V))) Changed(); }
  Integer LineOpacity() const { return FLineOpacity; }
  void SetLineOpacity(Integer V) { if (Store(FLineOpacity, ClampOpacity(V))) Changed(); }
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) { if (Store(FGradientType, V)) Changed(); }
  HatchStyle Hatch() const { return FHatchStyle; }
  void SetHatchStyle(HatchStyle V) { if (Store(FHatchStyle, V)) Changed(); }
  Integer Angle() const { return FAngle; }
  void SetAngle(Integer V) { if (Store(FAngle, V)) Changed(); }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool V) { if (Store(FShadow, V)) Changed(); }
  TChartGDIPPicture& ChartPattern() { return FChartPattern; }
  const TChartGDIPPicture& ChartPattern() const { return FChartPattern; }
  void SetChartPattern(const TChartGDIPPicture& V) { FChartPattern.Assign(V); }

  TGDIPChartSeriePie& Pie() { return static_cast<TGDIPChartSeriePie&>(TChartSerie::Pie()); }
  const TGDIPChartSeriePie& Pie() const { return static_cast<const TGDIPChartSeriePie&>(TChartSerie::Pie()); }
  TGDIPChartSeriePie& Funnel() { return Pie(); }
  TChartGDIPMarker& Marker() { return static_cast<TChartGDIPMarker&>(TChartSerie::Marker()); }
  TChartGDIPAnnotations& Annotations() { return static_cast<TChartGDIPAnnotations&>(TChartSerie::Annotations()); }

  void SaveToFile(TCustomIniFile& Ini, const String& Section) const override;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section) override;

private:
  Integer FOpacity = 255, FOpacityTo = 255, FLineOpacity = 255;
  TChartGradientType FGradientType = gtSolid;
  HatchStyle FHatchStyle = HatchStyleHorizontal;
  Integer FAngle = 0;
  bool FShadow = false;
  TChartGDIPPicture FChartPattern;
};

class TVivGDIPChartSeries : public TChartSeries {
public:
  using TChartSeries::TChartSeries;
  TVivGDIPChartSerie& Add() { return static_cast<TVivGDIPChartSerie&>(TChartSeries::Add()); }
  // std::out_of_range for an index outside the collection.
  TVivGDIPChartSerie& Items(Integer I) { return static_cast<TVivGDIPChartSerie&>(TChartSeries::Items(I)); }
  TVivGDIPChartSerie& operator[](Integer I) { return Items(I); }

protected:
  std::unique_ptr<TChartSerie> CreateItem() override { return std::make_unique<TVivGDIPChartSerie>(this); }
};

// ---------------------------------------------------------------- painter
// The canvas painter with the slices, funnel parts, pie grid and pie legend
// drawn through GDI+ on the canvas's device context. On a canvas that has
// none (a recording or measuring canvas) the canvas versions run.
class TGDIPChartSeriePainter : public TChartSeriePainter {
public:
  void DrawPieSlice(TChartSerie& Serie, TChartCanvas& Canvas, TPoint Center, Integer Radius, Integer CX, Integer CY,
                    Integer Indent, double Start, double Sweep, Integer Index, double ScaleX, double ScaleY) override;
  void DrawFunnelSlice(TChartSerie& Serie, TChartCanvas& Canvas, const TPointArray& Points, double ScaleX,
                       double ScaleY, Integer Index) override;
  void DrawPieGridCircle(TChartSerie& Serie, TChartCanvas& Canvas, const TChartYGrid& Grid, bool Major, Integer Radius,
                         TPoint Center) override;
  void DrawPieGridLine(TChartSerie& Serie, TChartCanvas& Canvas, const TChartYGrid& Grid, Integer Y, Integer X,
                       TPoint Center) override;
  TRect DrawPieLegend(TChartSerie& Serie, TChartCanvas& Canvas, bool Draw, double ScaleX, double ScaleY,
                      bool& Measured) override;
  void DrawPieLegendBox(TChartSerie& Serie, TChartCanvas& Canvas, Integer X, Integer Y, Integer HalfWidth,
                        Integer HalfHeight, double ScaleX, double ScaleY) override;
  // Lines, areas, arrows, bubbles and digital lines are painted here with
  // GDI+; every other type goes to the canvas painter, which calls back
  // into the GDI+ pieces (slices, bars, markers, spider, selection marks).
  void DrawSerie(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  void DrawBar(TChartSerie& Serie, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R, double ScaleX,
               double ScaleY, Integer Index, double Value) override;
  void DrawBar3D(TChartSerie& Serie, TChartCanvas& Canvas, TColor Color, TColor ColorTo, TRect R, double ScaleX,
                 double ScaleY) override;
  void DrawGanttBar(TChartSerie& Serie, TChartCanvas& Canvas, const TChartPoint& Point, TRect R) override;
  void DrawMarkers(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY) override;
  void DrawSpider(TChartSerie& Serie, TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY,
                  const TPointArray& Points) override;
  void DrawSelectedMark(TChartSerie& Serie, TChartCanvas& Canvas, TRect R) override;
  void DrawSelectedSlice(TChartSerie& Serie, TChartCanvas& Canvas, const TSlicePoint& Slice) override;
  void DrawSelectedFunnel(TChartSerie& Serie, TChartCanvas& Canvas, const TFunnelPoint& Part) override;

  // The painters of the types DrawSerie paints itself (on a device context).
  void DrawLineGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawAreaGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawArrowsGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawBubblesGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawDigitalLineGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  // The 3D side faces of an area's outline points First .. Last.
  void DrawArea3DGP(TChartSerie& Serie, TGPGraphics& G, Integer First, Integer Last, const TChartSerie* Previous,
                    const TPointArray& Outline, TRect R);
  void DrawCylinderGP(TChartSerie& Serie, TGPGraphics& G, TRect R, TColor Color, TColor ColorTo);
  void DrawPyramidGP(TChartSerie& Serie, TGPGraphics& G, TRect R, Integer Index, TColor Color, TColor ColorTo);
  // The end of an arrow starting at draw point A of point P.
  static TPoint ArrowEnd(const TChartSerie& Serie, const TChartPoint& P, TPoint A, TRect R, double ScaleX,
                         double ScaleY);
  // The bounding box of a bubble at draw point A of point P.
  static TRect BubbleBox(const TChartSerie& Serie, const TChartPoint& P, TPoint A, TRect R, double ScaleX,
                         double ScaleY);

  // The shaded serie colour of point Index: the value of the serie's colour
  // times (Index + 1) / Count.
  static TColor ShadedColor(TColor Color, Integer Index, Integer Count);
};

// ---------------------------------------------------------------- chart
class TVivGDIPChart : public TVivIzude {
public:
  explicit TVivGDIPChart(TObject* AOwner = nullptr);
  TChartGDIPBackground& Background() { return static_cast<TChartGDIPBackground&>(TVivIzude::Background()); }
  TChartGDIPLegend& Legend() { return static_cast<TChartGDIPLegend&>(TVivIzude::Legend()); }
  TVivGDIPChartSeries& Series() { return static_cast<TVivGDIPChartSeries&>(TVivIzude::Series()); }
  bool Mirror() const { return FMirror; }
  void SetMirror(bool V) {
    FMirror = V;
    Changed();
  }
  // The chart alone drawn into a bitmap of the given size and encoded into
  // a file, or at the stream's position (EChartImageError on failure).
  void SaveToImage(const String& FileName, Integer ImageWidth, Integer ImageHeight, TChartImageType Type,
                   Integer Quality);
  void SaveToStream(TStream& Stream, Integer ImageWidth, Integer ImageHeight, TChartImageType Type, Integer Quality);
  void RenderToBitmap(TBitmap& Bitmap, Integer Width, Integer Height);

private:
  bool FMirror = false;
};

// ---------------------------------------------------------------- view
class TVivGDIPChartPane : public TChartPane {
public:
  explicit TVivGDIPChartPane(TCollection* Collection) : TChartPane(Collection) {}
  void Assign(TPersistent* Source) override;
  TVivGDIPChart& Chart() const { return static_cast<TVivGDIPChart&>(TChartPane::Chart()); }
  TVivGDIPChartSeries& Series() const { return Chart().Series(); }
  TChartGDIPLegend& Legend() const { return Chart().Legend(); }
  TChartGDIPBackground& Background() const { return Chart().Background(); }
  bool Mirror() const { return Chart().Mirror(); }
  void SetMirror(bool V) { Chart().SetMirror(V); }

protected:
  std::unique_ptr<TVivIzude> CreateChart() override;
};

class TVivGDIPChartPanes : public TChartPanes {
public:
  explicit TVivGDIPChartPanes(TVivIzudeView* AOwner) : TChartPanes(AOwner, PaneClass<TVivGDIPChartPane>()) {}
  TVivGDIPChartPane* Add() { return static_cast<TVivGDIPChartPane*>(TChartPanes::Add()); }
  // EListError for an index outside the collection.
  TVivGDIPChartPane* Items(Integer Index) const { return static_cast<TVivGDIPChartPane*>(TChartPanes::Items(Index)); }
};

class TVivGDIPChartView : public TVivIzudeView {
public:
  explicit TVivGDIPChartView(TComponent* AOwner);
  TVivGDIPChartPanes& Panes() const { return static_cast<TVivGDIPChartPanes&>(TVivIzudeView::Panes()); }
  std::unique_ptr<TChartPanes> CreatePanes() override;
  TVivGDIPChartPane* GetPaneByID(Integer ID) const { return static_cast<TVivGDIPChartPane*>(TVivIzudeView::GetPaneByID(ID)); }
  TVivGDIPChartPane* GetPaneByName(const String& Name) const {
    return static_cast<TVivGDIPChartPane*>(TVivIzudeView::GetPaneByName(Name));
  }
  TVivGDIPChartSerie* GetSerieByName(const String& Name) const {
    return static_cast<TVivGDIPChartSerie*>(TVivIzudeView::GetSerieByName(Name));
  }
  void RenderPane(Integer Pane, TCanvas& Canvas, bool ThroughBitmap, TRect R) override;
  void PrintPane(Integer Pane, TCanvas& Canvas, TRect R) override { RenderPane(Pane, Canvas, false, R); }
  // The visible panes stacked without splitters, stretched to the image
  // size and saved (EChartImageError when it cannot be written).
  void SaveToImage(const String& FileName, Integer ImageWidth, Integer ImageHeight, TChartImageType Type,
                   Integer Quality);
  // The view as its paint shows it, into a bitmap of the client size.
  void PaintToBitmap(TBitmap& Bitmap);
  // The index of the first pane (visible or not) whose rectangle holds the
  // point, -1 when none.
  Integer PaneAtPoint(Integer X, Integer Y) const;
};
