#pragma once
// The chart view's floating editor for one serie: a tool-bar popup with
// pickers for the fill and line colours, chart type, line style and width,
// marker type, colour and size, value labels, a series selector and two
// buttons that move the serie. Every choice goes first to the placement
// control when it implements IVivIzudeToolBarPopup (the chart view does and
// applies it), then to the popup's own event. The Series* setters fill the
// pickers and fire nothing.
//
// Its pictures are raw-data PNG resources (res/VivIzudeToolBarPopup.rc); a
// program that shows the popup adds that script to its resources.
#include <functional>
#include <memory>

#include "chart/view/VivIzudeToolBarPopupIntf.h"
#include "chart/widgets/win/VivCToolBarPopup.h"
#include "chart/widgets/win/VivIzudeToolBarPickers.h"
#include "rtl/StringList.h"

// The tool bar of the series popup: its colour pickers leave room for a
// bar of the selected colour under their picture.
class TVivIzudeToolBarEx : public TVivIzudeToolBar {
public:
  using TVivIzudeToolBar::TVivIzudeToolBar;
  TVivIzudeToolBarColorPicker* AddColorPicker(Integer AIndex = -1) override;
};

class TVivIzudeToolBarChartColorPicker : public TVivIzudeToolBarColorPicker {
public:
  using TVivIzudeToolBarColorPicker::TVivIzudeToolBarColorPicker;
  // The swatch as a bar across the bottom 12 pixels above the drop-down
  // button; nothing without a drop-down button.
  void DrawSelectedColor(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  TRectF GetBitmapRect() override;

protected:
  // With the drop-down part along the bottom the bar spans the whole width.
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
};

using TVivIzudeToolBarPopupSeriesFillColorSelectedEvent = std::function<void(TObject* Sender, TColor AColor)>;
using TVivIzudeToolBarPopupSeriesLineColorSelectedEvent = std::function<void(TObject* Sender, TColor AColor)>;
using TVivIzudeToolBarPopupSeriesMarkerFillColorSelectedEvent = std::function<void(TObject* Sender, TColor AColor)>;
using TVivIzudeToolBarPopupSeriesTypeSelectedEvent =
    std::function<void(TObject* Sender, TVivIzudeToolBarPopupSeriesType AType)>;
using TVivIzudeToolBarPopupSeriesLineStyleSelectedEvent =
    std::function<void(TObject* Sender, TVivIzudeToolBarPopupSeriesLineStyle AStyle)>;
using TVivIzudeToolBarPopupSeriesLineWidthSelectedEvent = std::function<void(TObject* Sender, Integer AWidth)>;
using TVivIzudeToolBarPopupSeriesMarkerSizeSelectedEvent = std::function<void(TObject* Sender, Integer ASize)>;
using TVivIzudeToolBarPopupSeriesMarkerTypeSelectedEvent =
    std::function<void(TObject* Sender, TVivIzudeToolBarPopupSeriesMarkerType AType)>;
using TVivIzudeToolBarPopupSeriesLabelTypeSelectedEvent =
    std::function<void(TObject* Sender, TVivIzudeToolBarPopupSeriesLabelType AType)>;
using TVivIzudeToolBarPopupSeriesSelectedEvent = std::function<void(TObject* Sender, Integer AItemIndex)>;

class TVivIzudeToolBarPopup : public TVivIzudeCustomToolBarPopup {
public:
  explicit TVivIzudeToolBarPopup(TComponent* AOwner);
  String GetVersion() const override { return u"1.0.0.0"; }
  void RegisterRuntimeClasses() override;

  TVivIzudeToolBarPopupOptions Options() const { return FOptions; }
  void SetOptions(TVivIzudeToolBarPopupOptions Value);

  TColor SeriesFillColor() const;
  void SetSeriesFillColor(TColor Value);
  TColor SeriesLineColor() const;
  void SetSeriesLineColor(TColor Value);
  TColor SeriesMarkerFillColor() const;
  void SetSeriesMarkerFillColor(TColor Value);
  TVivIzudeToolBarPopupSeriesType SeriesType() const;
  void SetSeriesType(TVivIzudeToolBarPopupSeriesType Value);
  TVivIzudeToolBarPopupSeriesLineStyle SeriesLineStyle() const;
  void SetSeriesLineStyle(TVivIzudeToolBarPopupSeriesLineStyle Value);
  // The selected number; 1 when none is selected.
  Integer SeriesLineWidth() const;
  // Selects the item of that number; none when there is no such item.
  void SetSeriesLineWidth(Integer Value);
  Integer SeriesMarkerSize() const;
  void SetSeriesMarkerSize(Integer Value);
  TVivIzudeToolBarPopupSeriesMarkerType SeriesMarkerType() const;
  void SetSeriesMarkerType(TVivIzudeToolBarPopupSeriesMarkerType Value);
  TVivIzudeToolBarPopupSeriesLabelType SeriesLabelType() const;
  void SetSeriesLabelType(TVivIzudeToolBarPopupSeriesLabelType Value);
  // The selector's items (nullptr without the selector).
  TStringList* SeriesNames() const;
  void SetSeriesNames(TStrings* Value);
  Integer SeriesIndex() const;
  void SetSeriesIndex(Integer Value);

  // The elements, for tests and programs that restyle them.
  TVivIzudeToolBarColorPicker* FillPicker() const { return FChartFill; }
  TVivIzudeToolBarColorPicker* LineColorPicker() const { return FChartStroke; }
  TVivIzudeToolBarBitmapPicker* TypePicker() const { return FChartType; }
  TVivIzudeToolBarBitmapPicker* LineStylePicker() const { return FChartLineStyle; }
  TVivIzudeToolBarItemPicker* LineWidthPicker() const { return FChartLineWidth; }
  TVivIzudeToolBarBitmapPicker* MarkerPicker() const { return FChartMarker; }
  TVivIzudeToolBarColorPicker* MarkerFillPicker() const { return FChartMarkerFill; }
  TVivIzudeToolBarItemPicker* MarkerSizePicker() const { return FChartMarkerSize; }
  TVivIzudeToolBarItemPicker* SelectorPicker() const { return FChartSelector; }
  TVivIzudeToolBarItemPicker* LabelsPicker() const { return FChartLabels; }
  TVivIzudeToolBarButton* UpButton() const { return FChartUpButton; }
  TVivIzudeToolBarButton* DownButton() const { return FChartDownButton; }

  virtual void UpdateToolBarOptions();
  virtual void DoSeriesUpClicked();
  virtual void DoSeriesDownClicked();
  virtual void DoSeriesMarkerFillColorSelected(TColor AColor);
  virtual void DoSeriesFillColorSelected(TColor AColor);
  virtual void DoSeriesLineColorSelected(TColor AColor);
  virtual void DoSeriesTypeSelected(TVivIzudeToolBarPopupSeriesType AType);
  virtual void DoSeriesLineStyleSelected(TVivIzudeToolBarPopupSeriesLineStyle AStyle);
  virtual void DoSeriesLineWidthSelected(Integer AWidth);
  virtual void DoSeriesMarkerSizeSelected(Integer ASize);
  virtual void DoSeriesMarkerTypeSelected(TVivIzudeToolBarPopupSeriesMarkerType AType);
  virtual void DoSeriesLabelTypeSelected(TVivIzudeToolBarPopupSeriesLabelType AType);
  virtual void DoSeriesSelected(Integer AItemIndex);

  TVivIzudeToolBarPopupSeriesLabelTypeSelectedEvent OnSeriesLabelTypeSelected;
  TVivIzudeToolBarPopupSeriesLineWidthSelectedEvent OnSeriesLineWidthSelected;
  TVivIzudeToolBarPopupSeriesMarkerTypeSelectedEvent OnSeriesMarkerTypeSelected;
  TVivIzudeToolBarPopupSeriesFillColorSelectedEvent OnSeriesFillColorSelected;
  TVivIzudeToolBarPopupSeriesLineColorSelectedEvent OnSeriesLineColorSelected;
  TVivIzudeToolBarPopupSeriesLineStyleSelectedEvent OnSeriesLineStyleSelected;
  TVivIzudeToolBarPopupSeriesTypeSelectedEvent OnSeriesTypeSelected;
  TVivIzudeToolBarPopupSeriesSelectedEvent OnSeriesSelected;
  TNotifyEvent OnSeriesDownClicked;
  TNotifyEvent OnSeriesUpClicked;
  TVivIzudeToolBarPopupSeriesMarkerSizeSelectedEvent OnSeriesMarkerSizeSelected;
  TVivIzudeToolBarPopupSeriesMarkerFillColorSelectedEvent OnSeriesMarkerFillColorSelected;

protected:
  TVivIzudeToolBar* CreateToolBar() override;
  // The pickers stop reporting: what they do while they are freed is no
  // choice of the user's.
  void BeforeDestruction() override;

private:
  // The placement control's choices interface, or nullptr.
  IVivIzudeToolBarPopup* Target() const;

  TVivIzudeToolBarColorPicker* FChartFill = nullptr;  // the elements belong to the tool bar
  TVivIzudeToolBarColorPicker* FChartStroke = nullptr;
  TVivIzudeToolBarBitmapPicker* FChartType = nullptr;
  TVivIzudeToolBarBitmapPicker* FChartLineStyle = nullptr;
  TVivIzudeToolBarItemPicker* FChartLineWidth = nullptr;
  TVivIzudeToolBarBitmapPicker* FChartMarker = nullptr;
  TVivIzudeToolBarColorPicker* FChartMarkerFill = nullptr;
  TVivIzudeToolBarItemPicker* FChartMarkerSize = nullptr;
  TVivIzudeToolBarItemPicker* FChartSelector = nullptr;
  TVivIzudeToolBarItemPicker* FChartLabels = nullptr;
  TVivIzudeToolBarPopupOptions FOptions;
  TVivIzudeToolBarButton* FChartUpButton = nullptr;
  TVivIzudeToolBarButton* FChartDownButton = nullptr;
};

// Registers the popup and its buttons with the settings registry (once).
void RegisterVivIzudeToolBarPopupClasses();

// Lets chart views make this popup on first use (see
// VivIzudeToolBarPopupIntf.h). A program that enables a view's series popup
// calls it once at start.
void RegisterVivIzudeToolBarPopup();
