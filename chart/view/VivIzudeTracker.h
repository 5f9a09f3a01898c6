#pragma once
// The value tracker of a chart view: a small stay-on-top tool window that
// lists, for the point under the crosshair, each serie's legend text and
// value (high, open, close and low for candles and OHLC), one row per serie
// in the serie's colour. TChartTracker holds its settings; the window
// (TTrackerForm with its painted TTrackerList) is made the first time the
// tracker is shown on a view that has a window.
#include <memory>
#include <vector>

#include "chart/model/ChartTypes.h"
#include "chart/model/ChartGraphics.h"
#include "rtl/IniFiles.h"
#include "vcl/Forms.h"

class TVivIzudeView;
class TTrackerForm;

// One row: a background colour, a text colour and up to six texts drawn in
// columns.
struct TTrackerItem {
  TColor Color = 0;
  TColor TextColor = 0;
  std::vector<String> Text;
  // Keys "TextColor", "Color", "StringCount" and "Text:<n>" in Section;
  // loading appends the texts read to the item's texts.
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);
};

class TTrackerItems {
public:
  TTrackerItem& Add() { return FItems.emplace_back(); }
  TTrackerItem& Insert(Integer Index);
  // std::out_of_range for an index outside the items.
  TTrackerItem& Items(Integer Index) { return FItems.at(static_cast<std::size_t>(Index)); }
  const TTrackerItem& Items(Integer Index) const { return FItems.at(static_cast<std::size_t>(Index)); }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  void Clear() { FItems.clear(); }
  void Assign(const TTrackerItems& Source) { FItems = Source.FItems; }

private:
  std::vector<TTrackerItem> FItems;
};

// The painted list of rows on the tracker window; it lets every mouse
// action through to the window below.
class TTrackerList : public TCustomControl {
public:
  explicit TTrackerList(TComponent* AOwner);
  TTrackerItems& Items() { return FItems; }
  void SetItems(const TTrackerItems& V) { FItems.Assign(V); }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& V) {
    FTitle = V;
    Invalidate();
  }
  TChartFont& ChartFont() { return FFont; }
  void SetChartFont(const TChartFont& V) { FFont = V; }
  TChartFont& TitleFont() { return FTitleFont; }
  void SetTitleFont(const TChartFont& V) { FTitleFont = V; }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (V != FColorTo) FColorTo = V, Invalidate();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (V != FGradientDirection) FGradientDirection = V, Invalidate();
  }
  // The size the last paint (or measure) needed.
  TSize GetSize() const { return FSize; }
  // Paints the rows on Canvas within R and answers the size they need: as
  // wide as the widest row's texts, as high as the rows (R's height without
  // rows).
  TSize PaintRows(TCanvas& Canvas, TRect R);
  // Keys of the list and of its items (each item in a section of its own:
  // Section + ":TrackerListItems:" + its index).
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);

protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;

private:
  TTrackerItems FItems;
  String FTitle;
  TChartFont FFont, FTitleFont;
  TColor FColorTo = clNone;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  TSize FSize;
};

using TFormMoveEvent = std::function<void(TObject* Sender, Integer X, Integer Y)>;

// The tracker's window: moved by its caption only; every other mouse action
// falls through to the window below.
class TTrackerForm : public TForm {
public:
  TTrackerForm(TComponent* AOwner, TVivIzudeView* View);
  TTrackerList& TrackerList() const { return *FList; }
  TFormMoveEvent OnMove;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  // Passed on to the view in the view's own client coordinates.
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

private:
  TVivIzudeView* FView;  // not owned
  TTrackerList* FList;   // owned by the form as a component
};

class TChartTrackerTitle : public TPersistent {
public:
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (V != FColor) FColor = V, Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (V != FColorTo) FColorTo = V, Changed();
  }
  TChartFont& Font() { return FFont; }
  const TChartFont& Font() const { return FFont; }
  void SetFont(const TChartFont& V) {
    FFont = V;
    Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (V != FGradientDirection) FGradientDirection = V, Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && V != FGradientSteps) FGradientSteps = V, Changed();
  }
  Integer Size() const { return FSize; }
  void SetSize(Integer V) {
    if (V >= 0 && V != FSize) FSize = V, Changed();
  }
  const String& Text() const { return FText; }
  void SetText(const String& V) {
    if (V != FText) FText = V, Changed();
  }
  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);
  virtual void Changed() {
    if (OnChange) OnChange(this);
  }
  TNotifyEvent OnChange;

private:
  TColor FColor = clNone, FColorTo = clNone;
  TChartFont FFont;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  Integer FGradientSteps = 100;
  Integer FSize = 20;
  String FText = u"TRACKER";
};

class TChartTracker : public TPersistent {
public:
  explicit TChartTracker(TVivIzudeView* AOwner);
  ~TChartTracker() override;
  // From another tracker: visibility, colours, bounds, gradient and both
  // fonts; EConvertError from anything else.
  void Assign(TPersistent* Source) override;
  TVivIzudeView* Owner() const { return FOwner; }

  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool V) {
    if (V != FAlphaBlend) FAlphaBlend = V, Changed();
  }
  Byte AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte V) {
    if (V != FAlphaBlendValue) FAlphaBlendValue = V, Changed();
  }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool V) {
    if (V != FAutoSize) FAutoSize = V, Changed();
  }
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle V) {
    if (V != FBorderStyle) FBorderStyle = V, Changed();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor V) {
    if (V != FColor) FColor = V, Changed();
  }
  TColor ColorTo() const { return FColorTo; }
  void SetColorTo(TColor V) {
    if (V != FColorTo) FColorTo = V, Changed();
  }
  TChartFont& Font() { return FFont; }
  void SetFont(const TChartFont& V) {
    FFont = V;
    Changed();
  }
  Integer GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(Integer V) {
    if (V >= 0 && V != FGradientSteps) FGradientSteps = V, Changed();
  }
  TChartGradientDirection GradientDirection() const { return FGradientDirection; }
  void SetGradientDirection(TChartGradientDirection V) {
    if (V != FGradientDirection) FGradientDirection = V, Changed();
  }
  // Negative heights are refused; widths and positions take any value.
  Integer Height() const { return FHeight; }
  void SetHeight(Integer V) {
    if (V >= 0 && V != FHeight) FHeight = V, Changed();
  }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer V) {
    if (V != FWidth) FWidth = V, Changed();
  }
  // Relative to the client area of the view's parent.
  Integer Left() const { return FLeft; }
  void SetLeft(Integer V) {
    if (V != FLeft) FLeft = V, Changed();
  }
  Integer Top() const { return FTop; }
  void SetTop(Integer V) {
    if (V != FTop) FTop = V, Changed();
  }
  TChartTrackerTitle& Title() { return FTitle; }
  void SetTitle(const TChartTrackerTitle& V) {
    FTitle.Assign(const_cast<TChartTrackerTitle*>(&V));
    Changed();
  }
  // Showing makes the window when the view has one and none exists yet.
  bool Visible() const { return FVisible; }
  void SetVisible(bool V);
  const String& OpenValuePrefix() const { return FOpenPrefix; }
  void SetOpenValuePrefix(const String& V) { FOpenPrefix = V; }
  const String& HighValuePrefix() const { return FHighPrefix; }
  void SetHighValuePrefix(const String& V) { FHighPrefix = V; }
  const String& CloseValuePrefix() const { return FClosePrefix; }
  void SetCloseValuePrefix(const String& V) { FClosePrefix = V; }
  const String& LowValuePrefix() const { return FLowPrefix; }
  void SetLowValuePrefix(const String& V) { FLowPrefix = V; }

  // The window, nullptr until first shown.
  TTrackerForm* TrackerForm() const { return FForm; }
  // Makes the window now (the view's window must exist); done by showing.
  TTrackerForm* EnsureWindow();
  // Frees the window (the view does before it goes).
  void ReleaseWindow();

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
  }
  Integer UpdateCount() const { return FUpdateCount; }

  // The rows for the crosshair points of every pane that shows its values in
  // the tracker; only while shown and with a window.
  void SetValues();
  // The rows SetValues would make, without a window (one list of texts per
  // row, and the row colours).
  void BuildRows(TTrackerItems& Rows, bool Sample) const;
  // Sizes the window to sample rows (every value at its serie's maximum).
  void DoAutoSize();
  // An estimate of the window's size from text sizes on Canvas.
  void SetTrackerFormSize(TCanvas& Canvas);

  void SaveToFile(TCustomIniFile& Ini, const String& Section) const;
  void LoadFromFile(const TCustomIniFile& Ini, const String& Section);
  virtual void Changed() {
    if (OnChange) OnChange(this);
  }
  TNotifyEvent OnChange;

private:
  TVivIzudeView* FOwner;  // not owned
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 255;
  bool FAutoSize = true;
  TFormBorderStyle FBorderStyle = bsToolWindow;
  TColor FColor = clNone, FColorTo = clNone;
  TChartFont FFont;
  Integer FGradientSteps = 100;
  TChartGradientDirection FGradientDirection = cgdHorizontal;
  Integer FHeight = 50, FWidth = 50, FLeft = 0, FTop = 0;
  TChartTrackerTitle FTitle;
  TTrackerForm* FForm = nullptr;  // owned by the view as a component
  bool FVisible = false;
  Integer FUpdateCount = 0;
  String FOpenPrefix, FHighPrefix, FClosePrefix, FLowPrefix;
};

// The list's measure of its rows on a canvas (title height included when
// Title is not empty), as TTrackerList paints them.
TSize MeasureTrackerRows(TCanvas& Canvas, const TTrackerItems& Items, const String& Title, const TChartFont& Font,
                         const TChartFont& TitleFont, Integer ClientHeight);
