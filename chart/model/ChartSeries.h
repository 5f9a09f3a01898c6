#pragma once
// The owned collection of the series of one chart, with the series painting
// order and its overlay passes.
#include <memory>
#include <vector>

#include "chart/model/ChartSerie.h"

class TChartSeries : public TChartPersistent {
public:
  explicit TChartSeries(TVivIzude* AOwner) : FOwner(AOwner) {}
  ~TChartSeries() override;
  // Items by their Assign (series added or removed to match), then the
  // collection's own settings; then Changed.
  void Assign(const TObject* Source) override;
  TVivIzude* Owner() const { return FOwner; }

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TChartSerie& Items(Integer Index) { return *FItems.at(Index); }
  const TChartSerie& Items(Integer Index) const { return *FItems.at(Index); }
  TChartSerie& operator[](Integer Index) { return Items(Index); }
  // Both set Mode to cmInit first.
  TChartSerie& Add();
  TChartSerie& Insert(Integer Index);
  void Delete(Integer Index);
  void Clear();
  // Copies Value into item Index, then Changed.
  void SetItem(Integer Index, const TChartSerie& Value);
  Integer IndexOf(const TChartSerie* Serie) const;
  void Move(Integer From, Integer To);

  TChartMode Mode() const { return FMode; }
  void SetMode(TChartMode V) { FMode = V; }
  bool SerieValueTotals() const { return FSerieValueTotals; }
  void SetSerieValueTotals(bool V) {
    if (Store(FSerieValueTotals, V)) Changed();
  }
  TChartSeriesDonutMode DonutMode() const { return FDonutMode; }
  void SetDonutMode(TChartSeriesDonutMode V) {
    if (Store(FDonutMode, V)) Changed();
  }
  Integer BarChartSpacing() const { return FBarChartSpacing; }
  void SetBarChartSpacing(Integer V) {
    if (Store(FBarChartSpacing, V)) Changed();
  }
  TChartSerieValueWidthType BarChartSpacingType() const { return FBarChartSpacingType; }
  void SetBarChartSpacingType(TChartSerieValueWidthType V) {
    if (Store(FBarChartSpacingType, V)) Changed();
  }
  TChartDrawingMode ChartMode() const { return FChartMode; }
  void SetChartMode(TChartDrawingMode V) {
    if (Store(FChartMode, V)) Changed();
  }
  TRect SeriesRectangle() const { return FSeriesRectangle; }
  void SetSeriesRectangle(const TRect& R) { FSeriesRectangle = R; }
  Integer cntBar = 0;

  void ForceInit(bool Force);
  bool IsHorizontal() const;
  Integer GetCountChartType(TChartType ChartType) const;
  Integer GetCountGroupedChartType(TChartType ChartType) const;
  Integer GetPreviousChartIndex(TChartType ChartType, Integer Index, Integer GroupIndex) const;

  // Painting passes; all go through the chart's serie painter (none: the
  // series are not painted).
  void Draw(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY, const TChartRegion& ClipRgn);
  void DrawMarkers(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawAnnotations(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawChartValues(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawPieLegends(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);
  void DrawXValues(TChartCanvas& Canvas, TRect R, bool Top, double ScaleX, double ScaleY);
  void DrawYValues(TChartCanvas& Canvas, TRect R, double ScaleX, double ScaleY);

  // Its own keys, in writing order; "SeriesCount" and the series follow.
  static const TChartKeys<TChartSeries>& Keys();
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section, bool AutoCreateSeries);

protected:
  // The class of new series; a view's collection returns its own serie.
  virtual std::unique_ptr<TChartSerie> CreateItem() { return std::make_unique<TChartSerie>(this); }

private:
  friend class TChartSerie;
  bool Paintable(const TChartSerie& S) const;
  TVivIzude* FOwner;  // not owned
  std::vector<std::unique_ptr<TChartSerie>> FItems;
  TChartMode FMode = cmInit;
  bool FSerieValueTotals = false;
  TChartSeriesDonutMode FDonutMode = dmNormal;
  Integer FBarChartSpacing = 20;
  TChartSerieValueWidthType FBarChartSpacingType = wtPercentage;
  TChartDrawingMode FChartMode = dmVertical;
  TRect FSeriesRectangle;
  bool FInserting = false;
  Integer FInsertAt = 0;
};
