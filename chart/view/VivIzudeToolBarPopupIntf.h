#pragma once
// The series tool-bar popup as the chart view sees it.
//
// The popup is a widget of the widget library, which sits above the view
// (the widgets may use the view, never the other way round). So the view
// keeps here what both sides must agree on: the choices' interface that the
// view implements and the popup calls back, the popup's enumerations, and
// IVivIzudeToolBarPopupControl, the few things the view asks of its popup.
// The widget library registers a creator that makes its popup behind that
// interface; the view calls it on first use. A program that registers no
// creator (the application, whose popup stays disabled) has no popup and
// links none of the widgets.
#include <functional>
#include <vector>

#include "rtl/Set.h"
#include "vcl/Controls.h"

// The pickers the popup shows.
enum TVivIzudeToolBarPopupOption : Byte {
  ctpoFill,
  ctpoStroke,
  ctpoType,
  ctpoLineStyle,
  ctpoLineWidth,
  ctpoMarker,
  ctpoMarkerFill,
  ctpoMarkerSize,
  ctpoLabels,
  ctpoSeries,
  ctpoUpDown
};
using TVivIzudeToolBarPopupOptions = TSet<TVivIzudeToolBarPopupOption, Word>;
inline constexpr TVivIzudeToolBarPopupOptions AllToolBarPopupOptions = TVivIzudeToolBarPopupOptions::FromBits(2047);

enum TVivIzudeToolBarPopupSeriesLabelType : Byte { tpsltNone, tpsltNormal, tpsltFloat };
enum TVivIzudeToolBarPopupSeriesLineStyle : Byte {
  tpslsNone,
  tpslsSolid,
  tpslsDot,
  tpslsDash,
  tpslsDashDot,
  tpslsDashDotDot
};
enum TVivIzudeToolBarPopupSeriesMarkerType : Byte { tpsmNone, tpsmEllipse, tpsmTriangle, tpsmSquare, tpsmDiamond };
// One value per item of the chart-type picker, in its order.
enum TVivIzudeToolBarPopupSeriesType : Byte {
  tpstLine,
  tpstArea,
  tpstBar,
  tpstLineBar,
  tpstHistogram,
  tpstLineHistogram,
  tpstCandleStick,
  tpstLineCandleStick,
  tpstOHLC,
  tpstMarkers,
  tpstStackedBar,
  tpstStackedArea,
  tpstStackedPercArea,
  tpstStackedPercBar,
  tpstError,
  tpstArrow,
  tpstScaledArrow,
  tpstBubble,
  tpstScaledBubble,
  tpstPie,
  tpstHalfPie,
  tpstDonut,
  tpstHalfDonut,
  tpstBand,
  tpstSpider,
  tpstHalfSpider,
  tpstVarRadiusPie,
  tpstVarRadiusHalfPie,
  tpstVarRadiusDonut,
  tpstVarRadiusHalfDonut,
  tpstSizedPie,
  tpstSizedHalfPie,
  tpstSizedDonut,
  tpstSizedHalfDonut,
  tpstDigitalLine,
  tpstXYDigitalLine,
  tpstBoxPlot,
  tpstRenko,
  tpstXYLine,
  tpstXYMarkers,
  tpstGantt,
  tpstFunnel
};
inline constexpr int ToolBarPopupSeriesTypeCount = 42;

// Each choice of the popup, reported to its placement control when that
// control implements this (the chart view does).
class IVivIzudeToolBarPopup {
public:
  virtual void SeriesFillColorSelected(TColor AColor) = 0;
  virtual void SeriesMarkerFillColorSelected(TColor AColor) = 0;
  virtual void SeriesLineColorSelected(TColor AColor) = 0;
  virtual void SeriesTypeSelected(TVivIzudeToolBarPopupSeriesType AType) = 0;
  virtual void SeriesLineStyleSelected(TVivIzudeToolBarPopupSeriesLineStyle AStyle) = 0;
  virtual void SeriesLineWidthSelected(Integer AWidth) = 0;
  virtual void SeriesMarkerSizeSelected(Integer ASize) = 0;
  virtual void SeriesMarkerTypeSelected(TVivIzudeToolBarPopupSeriesMarkerType AType) = 0;
  virtual void SeriesLabelTypeSelected(TVivIzudeToolBarPopupSeriesLabelType AType) = 0;
  virtual void SeriesSelected(Integer AItemIndex) = 0;
  virtual void SeriesDownClicked() = 0;
  virtual void SeriesUpClicked() = 0;

protected:
  // Never freed through the interface: the control owns itself.
  ~IVivIzudeToolBarPopup() = default;
};

// What the view asks of the popup it owns. The popup component itself is
// owned by the view (its component owner); this object only drives it.
class IVivIzudeToolBarPopupControl {
public:
  virtual ~IVivIzudeToolBarPopupControl() = default;
  virtual TComponent* Component() const = 0;
  virtual void SetPlacementControl(TControl* AControl) = 0;
  // Centred above the mouse (the rectangle's edges 0).
  virtual void PlaceAboveMouseCenter() = 0;
  // At a screen point (every edge of the rectangle on it).
  virtual void PlaceAt(TPoint AScreenPoint) = 0;
  virtual void SetOptions(TVivIzudeToolBarPopupOptions AOptions) = 0;
  virtual TVivIzudeToolBarPopupOptions Options() const = 0;
  virtual void SetDragGrip(bool AValue) = 0;
  virtual void SetActivationEvents(TNotifyEvent AOnActivate, TNotifyEvent AOnDeactivate) = 0;
  virtual void Activate() = 0;
  virtual void Deactivate() = 0;
  virtual bool Activated() const = 0;

  virtual void SetSeriesFillColor(TColor AValue) = 0;
  virtual void SetSeriesLineColor(TColor AValue) = 0;
  virtual void SetSeriesMarkerFillColor(TColor AValue) = 0;
  virtual void SetSeriesType(TVivIzudeToolBarPopupSeriesType AValue) = 0;
  virtual void SetSeriesLineStyle(TVivIzudeToolBarPopupSeriesLineStyle AValue) = 0;
  virtual void SetSeriesLineWidth(Integer AValue) = 0;
  virtual void SetSeriesMarkerSize(Integer AValue) = 0;
  virtual void SetSeriesMarkerType(TVivIzudeToolBarPopupSeriesMarkerType AValue) = 0;
  virtual void SetSeriesLabelType(TVivIzudeToolBarPopupSeriesLabelType AValue) = 0;
  virtual void SetSeriesNames(const std::vector<String>& ANames) = 0;
  virtual void SetSeriesIndex(Integer AValue) = 0;

  // The tool bar's element operations; each answers the new element.
  virtual void AddCustomControl(TControl* AControl, Integer AIndex) = 0;
  virtual TControl* AddCustomControlClass(const std::function<TControl*(TComponent*)>& AControlClass,
                                          Integer AIndex) = 0;
  virtual TControl* AddButton(float AWidth, float AHeight, const String& AResource, const String& AResourceLarge,
                              const String& AText, Integer AIndex) = 0;
  virtual TControl* AddSeparator(Integer AIndex) = 0;
  virtual TControl* AddFontNamePicker(Integer AIndex) = 0;
  virtual TControl* AddFontSizePicker(Integer AIndex) = 0;
  virtual TControl* AddColorPicker(Integer AIndex) = 0;
  virtual TControl* AddItemPicker(Integer AIndex) = 0;
  virtual TControl* AddBitmapPicker(Integer AIndex) = 0;
};

// Makes a popup owned by AOwner, or nullptr.
using TVivIzudeToolBarPopupCreator = std::function<IVivIzudeToolBarPopupControl*(TControl* AOwner)>;
void RegisterToolBarPopupCreator(TVivIzudeToolBarPopupCreator ACreator);
const TVivIzudeToolBarPopupCreator& ToolBarPopupCreator();
