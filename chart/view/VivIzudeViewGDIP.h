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
#include <functional>
#include <memory>

#include "chart/view/VivIzudeGDIP.h"
#include "chart/view/VivIzudeView.h"

class TVivGDIPChart;
class TVivGDIPChartSerie;

// ---------------------------------------------------------------- helpers
// The chart font as a GDI+ font (points); strike-out is not carried over.
// Families and styles fall back as CreateFallbackFont does.
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
  void SetAngle(Integer V) {
    if (Store(FAngle, V)) Changed();
  }
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) {
    if (Store(FGradientType, V)) Changed();
  }
  HatchStyle Hatch() const { return FHatchStyle; }
  void SetHatchStyle(HatchStyle V) {
    if (Store(FHatchStyle, V)) Changed();
  }
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
  void SetAngle(Integer V) {
    if (Store(FAngle, V)) Changed();
  }
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) {
    if (Store(FGradientType, V)) Changed();
  }
  HatchStyle Hatch() const { return FHatchStyle; }
  void SetHatchStyle(HatchStyle V) {
    if (Store(FHatchStyle, V)) Changed();
  }
  // Stored limited to 0..255, and Changed every time.
  Integer Opacity() const { return FOpacity; }
  void SetOpacity(Integer V) { FOpacity = ClampOpacity(V), Changed(); }
  Integer OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Integer V) { FOpacityTo = ClampOpacity(V), Changed(); }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool V) {
    if (Store(FShadow, V)) Changed();
  }
  void Draw(TChartCanvas& Canvas, TRect DR, TRect TextR, Integer XM, Integer YM, double ScaleX, double ScaleY) override;
  void DrawBalloonGP(TGPGraphics& G, const TGPBrush* B, const TGPPen* P, const TGPRectF& R, double ScaleX,
                     double ScaleY);
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
  void SetGradientType(TChartGradientType V) {
    if (Store(FGradientType, V)) Changed();
  }
  TColor MarkerColorTo() const { return FMarkerColorTo; }
  void SetMarkerColorTo(TColor V) {
    if (Store(FMarkerColorTo, V)) Changed();
  }
  TColor SelectedColorTo() const { return FSelectedColorTo; }
  void SetSelectedColorTo(TColor V) {
    if (Store(FSelectedColorTo, V)) Changed();
  }
  // Stored limited to 0..255, Changed only when it differs.
  Integer Opacity() const { return FOpacity; }
  void SetOpacity(Integer V) {
    if (Store(FOpacity, ClampOpacity(V))) Changed();
  }
  Integer OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Integer V) {
    if (Store(FOpacityTo, ClampOpacity(V))) Changed();
  }
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
  void SetLegendGradientType(TChartGradientType V) {
    if (Store(FLegendGradientType, V)) Changed();
  }
  Integer LegendOpacity() const { return FLegendOpacity; }
  void SetLegendOpacity(Integer V) {
    if (Store(FLegendOpacity, ClampOpacity(V))) Changed();
  }
  Integer LegendOpacityTo() const { return FLegendOpacityTo; }
  void SetLegendOpacityTo(Integer V) {
    if (Store(FLegendOpacityTo, ClampOpacity(V))) Changed();
  }
  HatchStyle LegendHatchStyle() const { return FLegendHatchStyle; }
  void SetLegendHatchStyle(HatchStyle V) {
    if (Store(FLegendHatchStyle, V)) Changed();
  }
  Integer LegendGradientAngle() const { return FLegendGradientAngle; }
  void SetLegendGradientAngle(Integer V) {
    if (Store(FLegendGradientAngle, V)) Changed();
  }
  Integer LegendTitleGradientAngle() const { return FLegendTitleGradientAngle; }
  void SetLegendTitleGradientAngle(Integer V) {
    if (Store(FLegendTitleGradientAngle, V)) Changed();
  }
  Integer LegendTitleOpacity() const { return FLegendTitleOpacity; }
  void SetLegendTitleOpacity(Integer V) {
    if (Store(FLegendTitleOpacity, ClampOpacity(V))) Changed();
  }
  TChartGradientType LegendTitleGradientType() const { return FLegendTitleGradientType; }
  void SetLegendTitleGradientType(TChartGradientType V) {
    if (Store(FLegendTitleGradientType, V)) Changed();
  }
  Integer LegendTitleOpacityTo() const { return FLegendTitleOpacityTo; }
  void SetLegendTitleOpacityTo(Integer V) {
    if (Store(FLegendTitleOpacityTo, ClampOpacity(V))) Changed();
  }
  HatchStyle LegendTitleHatchStyle() const { return FLegendTitleHatchStyle; }
  void SetLegendTitleHatchStyle(HatchStyle V) {
    if (Store(FLegendTitleHatchStyle, V)) Changed();
  }
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
  void SetOpacity(Integer V) {
    if (Store(FOpacity, ClampOpacity(V))) Changed();
  }
  Integer OpacityTo() const { return FOpacityTo; }
  void SetOpacityTo(Integer V) {
    if (Store(FOpacityTo, ClampOpacity(V))) Changed();
  }
  Integer LineOpacity() const { return FLineOpacity; }
  void SetLineOpacity(Integer V) {
    if (Store(FLineOpacity, ClampOpacity(V))) Changed();
  }
  TChartGradientType GradientType() const { return FGradientType; }
  void SetGradientType(TChartGradientType V) {
    if (Store(FGradientType, V)) Changed();
  }
  HatchStyle Hatch() const { return FHatchStyle; }
  void SetHatchStyle(HatchStyle V) {
    if (Store(FHatchStyle, V)) Changed();
  }
  Integer Angle() const { return FAngle; }
  void SetAngle(Integer V) {
    if (Store(FAngle, V)) Changed();
  }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool V) {
    if (Store(FShadow, V)) Changed();
  }
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
  void DrawLineGP(TChartSerie& Serie, TChartCanvas& Canvas, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawAreaGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawArrowsGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawBubblesGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  void DrawDigitalLineGP(TChartSerie& Serie, HDC DC, TRect R, double ScaleX, double ScaleY);
  // The 3D side faces of an area's outline points First .. Last.
  void DrawArea3DGP(TChartSerie& Serie, TGPGraphics& G, Integer First, Integer Last, const TChartSerie* Previous,
                    const TPointArray& Outline, TRect R);
  void DrawCylinderGP(TChartSerie& Serie, TGPGraphics& G, TRect R, TColor Color, TColor ColorTo);
  void DrawPyramidGP(TChartSerie& Serie, TGPGraphics& G, TRect R, Integer Index, TColor Color, TColor ColorTo);

  // The shaded serie colour of point Index: the value of the serie's colour
  // times (Index + 1) / Count.
  static TColor ShadedColor(TColor Color, Integer Index, Integer Count);
};

// ---------------------------------------------------------------- chart
class TVivGDIPChart : public TVivIzude {
public:
  // The owner is the pane of a view (nullptr for a chart of its own). Text
  // is measured with the screen's fonts, as the GDI+ view paints it.
  explicit TVivGDIPChart(TObject* AOwner = nullptr);
  TChartGDIPBackground& Background() { return static_cast<TChartGDIPBackground&>(TVivIzude::Background()); }
  TChartGDIPLegend& Legend() { return static_cast<TChartGDIPLegend&>(TVivIzude::Legend()); }
  TVivGDIPChartSeries& Series() { return static_cast<TVivGDIPChartSeries&>(TVivIzude::Series()); }
  bool Mirror() const { return FMirror; }
  void SetMirror(bool V) {
    FMirror = V;
    Changed();
  }
  // The chart, then (with Mirror, a bottom margin and a pane as owner) a
  // faded, upside-down copy of the bottom of the series area drawn into
  // the bottom margin.
  TRect Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY, bool Initialize) override;
  // The band the reflection fills for the chart drawn into R (empty without
  // a reflection).
  TRect MirrorRect(TRect R) const;
  // The chart alone drawn into a bitmap of the given size and encoded into
  // a file, or at the stream's position (EChartImageError on failure).
  void SaveToImage(const String& FileName, Integer ImageWidth, Integer ImageHeight, TChartImageType Type,
                   Integer Quality);
  void SaveToStream(TStream& Stream, Integer ImageWidth, Integer ImageHeight, TChartImageType Type, Integer Quality);
  void RenderToBitmap(TBitmap& Bitmap, Integer Width, Integer Height);

private:
  void DrawReflection(TChartCanvas& Canvas, TRect R);
  bool FMirror = false;
};

// ---------------------------------------------------------------- zoom control
class TVivGDIPChartPane;

// Scoped: the class library's shape type already has an stSquare.
enum class TZoomControlSliderType : Byte { stSquare, stArrow, stImage };
enum TZoomControlPosition : Byte {
  zpTopLeft,
  zpTopRight,
  zpTopCenter,
  zpBottomLeft,
  zpBottomRight,
  zpBottomCenter,
  zpCenterLeft,
  zpCenterCenter,
  zpCenterRight,
  zpCustom
};
enum TZoomControlAutoUpdate : Byte { auImmediate, auRelease, auNoUpdate };

// The offset from R's top-left corner of a Width x Height box placed in R
// (zpCustom: R's own corner).
void ZoomControlPositionOffset(Integer& X, Integer& Y, TRect R, Integer Width, Integer Height,
                               TZoomControlPosition Position);

// The overview strip of a pane: copies of the pane's series in a chart of
// its own, with two sliders whose span is the visible point range of all
// panes. The view fills it (UpdateZoomControl), paints it and drags its
// sliders.
class TVivGDIPZoomControl {
public:
  explicit TVivGDIPZoomControl(TVivGDIPChartPane* Owner);
  ~TVivGDIPZoomControl();
  TVivGDIPZoomControl(const TVivGDIPZoomControl&) = delete;
  TVivGDIPZoomControl& operator=(const TVivGDIPZoomControl&) = delete;
  // Its settings (not the overview's series), then Changed.
  void Assign(const TVivGDIPZoomControl& Source);
  TVivGDIPChartPane* Owner() const { return FOwner; }
  TVivGDIPChart& Chart() { return *FChart; }
  const TVivGDIPChart& Chart() const { return *FChart; }

  TZoomControlAutoUpdate AutoUpdate() const { return FAutoUpdate; }
  void SetAutoUpdate(TZoomControlAutoUpdate V) {
    if (Store(FAutoUpdate, V)) Changed();
  }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) {
    if (Store(FVisible, V)) Changed();
  }
  TZoomControlPosition Position() const { return FPosition; }
  void SetPosition(TZoomControlPosition V) {
    if (Store(FPosition, V)) Changed();
  }
  Integer Left() const { return FLeft; }
  void SetLeft(Integer V) {
    if (Store(FLeft, V)) Changed();
  }
  Integer Top() const { return FTop; }
  void SetTop(Integer V) {
    if (Store(FTop, V)) Changed();
  }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer V) {
    if (Store(FWidth, V)) Changed();
  }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer V) {
    if (Store(FHeight, V)) Changed();
  }
  // The range ends notify every time they are written.
  Integer SlideRangeFrom() const { return FSlideRangeFrom; }
  void SetSlideRangeFrom(Integer V) { FSlideRangeFrom = V, Changed(); }
  Integer SlideRangeTo() const { return FSlideRangeTo; }
  void SetSlideRangeTo(Integer V) { FSlideRangeTo = V, Changed(); }
  bool SlideAutoRange() const { return FSlideAutoRange; }
  void SetSlideAutoRange(bool V) {
    if (Store(FSlideAutoRange, V)) Changed();
  }
  Integer SlideMaximumRange() const { return FSlideMaximumRange; }
  void SetSlideMaximumRange(Integer V) {
    if (Store(FSlideMaximumRange, V)) Changed();
  }
  Integer SlideMinimumRange() const { return FSlideMinimumRange; }
  void SetSlideMinimumRange(Integer V) {
    if (Store(FSlideMinimumRange, V)) Changed();
  }
  TColor SelectionColor() const { return FSelectionColor; }
  void SetSelectionColor(TColor V) {
    if (Store(FSelectionColor, V)) Changed();
  }
  Byte SelectionOpacity() const { return FSelectionOpacity; }
  void SetSelectionOpacity(Byte V) {
    if (Store(FSelectionOpacity, V)) Changed();
  }
  TColor SliderColor() const { return FSliderColor; }
  void SetSliderColor(TColor V) {
    if (Store(FSliderColor, V)) Changed();
  }
  Byte SliderOpacity() const { return FSliderOpacity; }
  void SetSliderOpacity(Byte V) {
    if (Store(FSliderOpacity, V)) Changed();
  }
  TChartGDIPPicture& SliderLeftPicture() { return FSliderLeftPicture; }
  void SetSliderLeftPicture(const TChartGDIPPicture& V) {
    if (&V != &FSliderLeftPicture) FSliderLeftPicture.Assign(V);
  }
  TChartGDIPPicture& SliderRightPicture() { return FSliderRightPicture; }
  void SetSliderRightPicture(const TChartGDIPPicture& V) {
    if (&V != &FSliderRightPicture) FSliderRightPicture.Assign(V);
  }
  TZoomControlSliderType SliderType() const { return FSliderType; }
  void SetSliderType(TZoomControlSliderType V) {
    if (Store(FSliderType, V)) Changed();
  }
  Integer SliderSize() const { return FSliderSize; }
  void SetSliderSize(Integer V) {
    if (Store(FSliderSize, V)) Changed();
  }
  TColor Color() const { return FBackGroundColor; }
  void SetColor(TColor V) {
    if (Store(FBackGroundColor, V)) Changed();
  }
  Byte Opacity() const { return FBackGroundOpacity; }
  void SetOpacity(Byte V) {
    if (Store(FBackGroundOpacity, V)) Changed();
  }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor V) {
    if (Store(FBorderColor, V)) Changed();
  }
  Byte BorderOpacity() const { return FBorderOpacity; }
  void SetBorderOpacity(Byte V) {
    if (Store(FBorderOpacity, V)) Changed();
  }

  // The control within the series rectangle SR, and the left slider, the
  // right slider and the span between them within the control's rectangle
  // ZR (following a drag in progress).
  TRect GetControlRect(TRect SR) const;
  TRect GetSliderFromRect(TRect ZR) const;
  TRect GetSliderToRect(TRect ZR) const;
  TRect GetSelectionRect(TRect ZR) const;
  // The overview's point index at pixel X of the control's rectangle ZR.
  Integer IndexAt(TRect ZR, Integer X) const;
  void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);
  // Repaints the owning pane's view.
  void Changed();
  TNotifyEvent OnChange;  // not fired by the control itself

private:
  template <class T>
  static bool Store(T& Field, T Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
  }
  TRect SliderRect(TRect ZR, Integer RangeIndex, bool Dragged, Integer DragX) const;
  TVivGDIPChartPane* FOwner;  // not owned
  std::unique_ptr<TVivGDIPChart> FChart;
  bool FVisible = false;
  TZoomControlPosition FPosition = zpBottomRight;
  Integer FWidth = 100, FHeight = 50, FTop = 0, FLeft = 0;
  Integer FSlideRangeTo = 7, FSlideRangeFrom = 3;
  Byte FSelectionOpacity = 100, FSliderOpacity = 255;
  TColor FSelectionColor = clWhite, FSliderColor = clBlack, FBorderColor = clGray;
  Byte FBackGroundOpacity = 100;
  TColor FBackGroundColor = clWhite;
  Byte FBorderOpacity = 255;
  bool FSlideAutoRange = true;
  Integer FSlideMaximumRange = 10, FSlideMinimumRange = 0;
  TZoomControlAutoUpdate FAutoUpdate = auImmediate;
  TChartGDIPPicture FSliderLeftPicture, FSliderRightPicture;
  TZoomControlSliderType FSliderType = TZoomControlSliderType::stArrow;
  Integer FSliderSize = 8;
};

// ---------------------------------------------------------------- pane and view
class TVivGDIPChartPane : public TChartPane {
public:
  explicit TVivGDIPChartPane(TCollection* Collection);
  ~TVivGDIPChartPane() override;
  void Assign(TPersistent* Source) override;
  TVivGDIPChart& Chart() const { return static_cast<TVivGDIPChart&>(TChartPane::Chart()); }
  TVivGDIPChartSeries& Series() const { return Chart().Series(); }
  TChartGDIPLegend& Legend() const { return Chart().Legend(); }
  TChartGDIPBackground& Background() const { return Chart().Background(); }
  bool Mirror() const { return Chart().Mirror(); }
  void SetMirror(bool V) { Chart().SetMirror(V); }
  TVivGDIPZoomControl& ZoomControl() const { return *FZoomControl; }
  void SetZoomControl(const TVivGDIPZoomControl& V);
  // The point lies in the zoom control, or on one of its sliders (widened
  // by 5 pixels on each side).
  bool PointInZoomControl(Integer X, Integer Y) const;
  bool PointOnZoomSlider(Integer X, Integer Y) const;
  TRect ZoomControlRect() const;
  TRect ZoomSliderFromHitRect() const;
  TRect ZoomSliderToHitRect() const;

  // The slider drag state the view's mouse handling keeps.
  Integer FSXFrom = 0, FSXTo = 0, FSelX = 0, FCx = 0;
  bool FSelection = false, FSlFrom = false, FSlTo = false, FMDzoom = false, FMouseMovedWhenDown = false;

  // "Mirror" and the zoom control's section.
  void SaveExtraKeys(TCustomIniFile& Ini, const String& Section) const override;
  void LoadExtraKeys(const TCustomIniFile& Ini, const String& Section) override;

protected:
  std::unique_ptr<TVivIzude> CreateChart() override;

private:
  std::unique_ptr<TVivGDIPZoomControl> FZoomControl;
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
  TVivGDIPChartPane* GetPaneByID(Integer ID) const {
    return static_cast<TVivGDIPChartPane*>(TVivIzudeView::GetPaneByID(ID));
  }
  TVivGDIPChartPane* GetPaneByName(const String& Name) const {
    return static_cast<TVivGDIPChartPane*>(TVivIzudeView::GetPaneByName(Name));
  }
  TVivGDIPChartSerie* GetSerieByName(const String& Name) const {
    return static_cast<TVivGDIPChartSerie*>(TVivIzudeView::GetSerieByName(Name));
  }
  void RenderPane(Integer Pane, TCanvas& Canvas, bool ThroughBitmap, TRect R) override;
  void PrintPane(Integer Pane, TCanvas& Canvas, TRect R) override { RenderPane(Pane, Canvas, false, R); }
  // The visible panes stacked without splitters over the view's height
  // (StackedPanes), stretched to the image size and saved
  // (EChartImageError when it cannot be written).
  void SaveToImage(const String& FileName, Integer ImageWidth, Integer ImageHeight, TChartImageType Type,
                   Integer Quality);
  // The view as its paint shows it, into a bitmap of the client size.
  void PaintToBitmap(TBitmap& Bitmap);
  // The index of the first pane (visible or not) whose rectangle holds the
  // point, -1 when none.
  Integer PaneAtPoint(Integer X, Integer Y) const;
  // Refills the overview chart of every visible zoom control from its
  // pane's series.
  void UpdateZoomControl();
  void EndUpdate() override;
  // While a slider or the selection of a zoom control is dragged, and when
  // the drag ends (Sender: the view).
  using TZoomControlRangeEvent =
      std::function<void(TObject* Sender, Integer PaneIndex, Integer RangeFrom, Integer RangeTo)>;
  TZoomControlRangeEvent OnZoomControlRangeChanging, OnZoomControlRangeChanged;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

  // The pane's zoom control, over its chart and under the crosshair's
  // value labels.
  void DrawPaneOverlay(TVclChartCanvas& Canvas, Integer Pane) override;

private:
  // Every pane's range set to From .. To in one update.
  void ApplyRangeToPanes(Integer From, Integer To);
  bool FZoomControlUpdated = false;
};
