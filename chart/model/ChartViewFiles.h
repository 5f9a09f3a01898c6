#pragma once
// The files of a chart view without its window: the settings file (one INI
// section for the view, one per pane with the pane's chart elements below
// it) and the points of every serie of every pane as CSV. The view supplies
// its panes and its own keys through IChartViewStore; these routines own
// the file layout.
#include <vector>

#include "chart/model/VivIzude.h"
#include "rtl/FormatSettings.h"

// The view's own keys. Sets are bit masks of their members' ordinals.
struct TChartViewKeys {
  Integer Align = 0;
  Byte Anchors = 0b0011;  // akLeft, akTop
  TColor Color = clBtnFace;
  bool DragAlphaBlend = true;
  Integer DragAlphaBlendValue = 128;
  String Hint;
  bool PanesSynched = false;
  bool ShowHint = false;
  Integer TabOrder = -1;
  bool TabStop = false;
  bool VerticalCrossHairsSynched = false;
  String Version;  // written, never read back
  bool Visible = true;
  double XAxisZoomSensitivity = 1;
  double YAxisZoomSensitivity = 1;
  TColor ZoomColor = clGray;
  Integer ZoomStyle = 0;
  bool EnableInteraction = true;
};

struct TChartSplitterKeys {
  TColor Color = clNone, ColorTo = clNone;
  Integer GradientSteps = 0, GradientDirection = 0, Height = 0;
  TColor LineColor = clNone;
  Integer LineWidth = 0;
  bool Visible = true;
};

// A pane's own keys besides its chart's elements (the chart's AxisMode is
// read and written on the chart itself).
struct TChartPaneKeys {
  Integer BorderStyle = 0;
  TColor BorderColor = clNone;
  Integer BorderWidth = 0;
  double Height = 0;
  Integer HeightType = 0;
  String Name;
  Byte Options = 0;  // members 0 to 4 are written; 0 to 7 are read
  bool Visible = true;
  TRect Rectangle;  // the last painted rectangle: written, never read back
  TChartSplitterKeys Splitter;
};

// What the files need of a view: its panes' charts and keys, the creation of
// panes, and its update bracket.
class IChartViewStore {
public:
  virtual ~IChartViewStore() = default;
  virtual Integer PaneCount() const = 0;
  virtual TVivIzude& PaneChart(Integer Index) = 0;
  virtual TChartViewKeys ViewKeys() const = 0;
  // Applied through the view's setters (they may refuse a value).
  virtual void ApplyViewKeys(const TChartViewKeys& Keys) = 0;
  virtual TChartPaneKeys PaneKeys(Integer Index) const = 0;
  virtual void ApplyPaneKeys(Integer Index, const TChartPaneKeys& Keys) = 0;
  // Replaces every pane by Count new ones (loading with pane creation).
  virtual void RecreatePanes(Integer Count) = 0;
  virtual void DeletePanes() = 0;
  virtual TVivIzude& AddPane() = 0;
  // Loading runs inside these, so the view lays out once at the end.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  // Sections of the view's own besides its panes (the value tracker's), and
  // keys a pane class adds to its pane's section.
  virtual void SaveExtra(TCustomIniFile&, const String& /*ViewSection*/) const {}
  virtual void LoadExtra(const TCustomIniFile&, const String& /*ViewSection*/) {}
  virtual void SavePaneExtra(Integer, TCustomIniFile&, const String& /*PaneSection*/) const {}
  virtual void LoadPaneExtra(Integer, const TCustomIniFile&, const String& /*PaneSection*/) {}
};

// ":n" for each member of a set held as a bit mask, in ordinal order.
String OrdinalSetText(Cardinal Bits, int MemberCount);
// Adds the members listed in Text (ordinals 0 .. MemberCount - 1) to Bits.
Cardinal AddOrdinalSetText(Cardinal Bits, const String& Text, int MemberCount);

// The settings file: section Name, Name + ".Tracker" (SaveExtra), Name +
// ".Pane" + i with the chart elements' sections below it, then "PaneCount".
// Keys of the file that are not written here stay as they were.
void SaveChartView(const IChartViewStore& Store, const String& FileName, const String& Name);
// Reads what the file holds, each key with the current value as default.
// With AutoCreatePanes the panes are replaced by "PaneCount" new ones first.
// The file is only read: a missing file changes nothing and is not created.
void LoadChartView(IChartViewStore& Store, const String& FileName, const String& Name, bool AutoCreatePanes,
                   bool AutoCreateSeries);
void SaveChartPane(const IChartViewStore& Store, Integer Index, TCustomIniFile& Ini, const String& Section);
void LoadChartPane(IChartViewStore& Store, Integer Index, const TCustomIniFile& Ini, const String& Section,
                   bool AutoCreateSeries);

// One point as a CSV line: 18 double-quoted fields separated by semicolons
// and a closing ";\"". Numbers use '.' as the decimal separator whatever the
// user's settings, so a file reads back on any system; quotes inside a
// legend value are doubled.
String ChartPointCSVLine(Integer Pane, Integer Serie, const TChartPoint& Point);
// Reads one record's fields. False, with a reason, for a record that is not
// a point: too few fields or a field that is not a number. Numbers written
// with the regional decimal separator (older files) are read too.
bool ReadChartPointCSV(const std::vector<String>& Fields, Integer& Pane, Integer& Serie, TChartPoint& Point,
                       String& Reason, const TFormatSettings& Regional);
// Splits CSV text into records of fields (';', '"' quoting with doubled
// quotes, quoted line breaks kept). Each record notes its first line.
struct TChartCSVRecord {
  Integer Line = 0;
  std::vector<String> Fields;
};
std::vector<TChartCSVRecord> SplitChartCSV(const String& Text);

void SaveChartViewCSV(IChartViewStore& Store, const String& FileName);
struct TChartCSVError {
  Integer Line = 0;  // counted from 1
  String Reason;
};
struct TChartCSVLoadResult {
  Integer Points = 0;
  std::vector<TChartCSVError> Errors;  // lines that were skipped
};
// Reads the points back (with CreateChart every pane is deleted first and
// panes and series are made as the file asks; without, lines for missing
// panes or series are skipped). A line that is not a point is reported and
// skipped; the rest is kept.
TChartCSVLoadResult LoadChartViewCSV(IChartViewStore& Store, const String& FileName, bool CreateChart,
                                     const TFormatSettings& Regional = FormatSettings);
