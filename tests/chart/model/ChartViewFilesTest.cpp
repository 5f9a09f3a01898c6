// The view's settings file and CSV points, round-tripped through real files
// with a store of plain charts standing for the view's panes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "ChartTestSupport.h"
#include "chart/model/ChartViewFiles.h"
#include "rtl/IniFiles.h"
#include "rtl/SysUtils.h"

namespace {
struct TStore : IChartViewStore {
  std::vector<std::unique_ptr<TVivIzude>> Panes;
  std::vector<TChartPaneKeys> Keys;
  TChartViewKeys View;
  String Tracker = u"none";
  int Depth = 0, Ends = 0;

  explicit TStore(int Count = 0) {
    for (int I = 0; I < Count; ++I) AddPane();
  }
  Integer PaneCount() const override { return static_cast<Integer>(Panes.size()); }
  TVivIzude& PaneChart(Integer I) override { return *Panes.at(I); }
  TChartViewKeys ViewKeys() const override { return View; }
  void ApplyViewKeys(const TChartViewKeys& K) override { View = K; }
  TChartPaneKeys PaneKeys(Integer I) const override { return Keys.at(I); }
  void ApplyPaneKeys(Integer I, const TChartPaneKeys& K) override { Keys.at(I) = K; }
  void RecreatePanes(Integer Count) override {
    DeletePanes();
    for (Integer I = 0; I < Count; ++I) AddPane();
  }
  void DeletePanes() override {
    Panes.clear();
    Keys.clear();
  }
  TVivIzude& AddPane() override {
    Panes.push_back(std::make_unique<TVivIzude>());
    Panes.back()->SetFormatSettings(TFormatSettings::English());
    Keys.emplace_back();
    return *Panes.back();
  }
  void BeginUpdate() override { ++Depth; }
  void EndUpdate() override {
    --Depth;
    ++Ends;
  }
  void SaveExtra(TCustomIniFile& Ini, const String& View) const override {
    Ini.WriteString(View + u".Tracker", u"Mark", Tracker);
  }
  void LoadExtra(const TCustomIniFile& Ini, const String& View) override {
    Tracker = Ini.ReadString(View + u".Tracker", u"Mark", Tracker);
  }
};

struct TFiles : ::testing::Test {
  std::filesystem::path Dir;
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() /
          ("chart-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
  String Path(const char* Name) const {
    std::string U8 = (Dir / Name).string();
    return String(U8.begin(), U8.end());
  }
  std::string Read(const char* Name) const {
    std::ifstream In(Dir / Name, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  void Write(const char* Name, const std::string& Bytes) const { std::ofstream(Dir / Name, std::ios::binary) << Bytes; }
};

TChartPoint Point(double V, const String& Legend, bool Defined = true) {
  TChartPoint P;
  InitChartPoint(P);
  P.SingleValue = V;
  P.SecondValue = V / 3;
  P.OpenValue = -V;
  P.LowValue = 1e-7;
  P.HighValue = 123456.5;
  P.CloseValue = 2.5;
  P.Defined = Defined;
  P.PixelValue1 = 3;
  P.PixelValue2 = -4;
  P.Color = clRed;
  P.ColorTo = clNone;
  P.TimeStamp = 45000.25;
  P.ValueType = cpvMulti;
  P.LegendValue = Legend;
  P.SingleXValue = 7.75;
  P.MedValue = 0.125;
  return P;
}

void ExpectSamePoint(const TChartPoint& A, const TChartPoint& B) {
  EXPECT_EQ(A.SingleValue, B.SingleValue);
  EXPECT_EQ(A.SecondValue, B.SecondValue);
  EXPECT_EQ(A.OpenValue, B.OpenValue);
  EXPECT_EQ(A.LowValue, B.LowValue);
  EXPECT_EQ(A.HighValue, B.HighValue);
  EXPECT_EQ(A.CloseValue, B.CloseValue);
  EXPECT_EQ(A.Defined, B.Defined);
  EXPECT_EQ(A.PixelValue1, B.PixelValue1);
  EXPECT_EQ(A.PixelValue2, B.PixelValue2);
  EXPECT_EQ(A.Color, B.Color);
  EXPECT_EQ(A.ColorTo, B.ColorTo);
  EXPECT_EQ(A.TimeStamp, B.TimeStamp);
  EXPECT_EQ(A.ValueType, B.ValueType);
  EXPECT_EQ(A.LegendValue, B.LegendValue);
  EXPECT_EQ(A.SingleXValue, B.SingleXValue);
  EXPECT_EQ(A.MedValue, B.MedValue);
}
}  // namespace

TEST_F(TFiles, CsvRoundTripRebuildsPanesSeriesAndPoints) {
  TStore Out(2);
  const String Legends[] = {u"plain", u"with \"quotes\"", u"semi;colon", u"Données €", u"数据", u"two\r\nlines", u""};
  TChartSerie& A = Out.PaneChart(0).Series().Add();
  TChartSerie& B = Out.PaneChart(0).Series().Add();
  TChartSerie& C = Out.PaneChart(1).Series().Add();
  for (int I = 0; I < 7; ++I) A.AddChartPoint(Point(I + 0.5, Legends[I], I != 2));
  B.AddChartPoint(Point(1.0 / 3, u"third"));
  C.AddChartPoint(Point(-42, u"minus"));
  SaveChartViewCSV(Out, Path("points.csv"));

  // A line of the file: 18 quoted fields and the closing quote.
  std::string Bytes = Read("points.csv");
  ASSERT_EQ(Bytes.substr(0, 3), "\xEF\xBB\xBF");  // UTF-8 mark: every legend text survives
  std::string First = Bytes.substr(3, Bytes.find("\r\n") - 3);
  EXPECT_EQ(First,
            "\"0\";\"0\";\"0.5\";\"0.16666666666666666\";\"-0.5\";\"1E-7\";\"123456.5\";\"2.5\";\"-1\";\"3\";\"-4\";"
            "\"255\";\"536870911\";\"45000.25\";\"1\";\"plain\";\"7.75\";\"0.125\";\"");

  TStore In(1);
  In.PaneChart(0).Series().Add().AddSinglePoint(99);
  TChartCSVLoadResult R = LoadChartViewCSV(In, Path("points.csv"), true);
  EXPECT_TRUE(R.Errors.empty());
  EXPECT_EQ(R.Points, 9);
  EXPECT_EQ(In.Depth, 0);
  EXPECT_EQ(In.Ends, 1);
  ASSERT_EQ(In.PaneCount(), 2);
  ASSERT_EQ(In.PaneChart(0).Series().Count(), 2);
  ASSERT_EQ(In.PaneChart(1).Series().Count(), 1);
  const TChartSerie& RA = In.PaneChart(0).Series().Items(0);
  ASSERT_EQ(RA.GetPointsCount(), 7);
  for (int I = 0; I < 7; ++I) ExpectSamePoint(RA.GetPoint(I), A.GetPoint(I));
  ExpectSamePoint(In.PaneChart(0).Series().Items(1).GetPoint(0), B.GetPoint(0));
  ExpectSamePoint(In.PaneChart(1).Series().Items(0).GetPoint(0), C.GetPoint(0));
}

TEST_F(TFiles, CsvNumbersUseAPointWhateverTheRegionAndOldCommaFilesStillRead) {
  TStore Out(1);
  Out.PaneChart(0).SetFormatSettings(TFormatSettings::French());
  Out.PaneChart(0).Series().Add().AddChartPoint(Point(2.5, u"x"));
  SaveChartViewCSV(Out, Path("fr.csv"));
  EXPECT_NE(Read("fr.csv").find("\"2.5\""), std::string::npos);
  EXPECT_EQ(Read("fr.csv").find("2,5"), std::string::npos);

  // A file written with a decimal comma, as older versions did in such a region.
  Write("old.csv",
        "\"0\";\"0\";\"2,5\";\"0\";\"0\";\"0\";\"0\";\"0\";\"-1\";\"0\";\"0\";\"255\";\"536870911\";\"0\";\"0\";\"a\";"
        "\"0\";\"0\";\"\r\n");
  TStore In(1);
  In.PaneChart(0).Series().Add();
  TChartCSVLoadResult R = LoadChartViewCSV(In, Path("old.csv"), false, TFormatSettings::French());
  EXPECT_TRUE(R.Errors.empty());
  ASSERT_EQ(In.PaneChart(0).Series().Items(0).GetPointsCount(), 1);
  EXPECT_EQ(In.PaneChart(0).Series().Items(0).GetPoint(0).SingleValue, 2.5);
}

TEST_F(TFiles, CsvBadLinesAreReportedAndTheRestKept) {
  std::string Good =
      "\"0\";\"0\";\"1\";\"0\";\"0\";\"0\";\"0\";\"0\";\"-1\";\"0\";\"0\";\"255\";\"536870911\";\"0\";\"0\";\"a\";"
      "\"0\";\"0\";\"";
  std::string NotANumber = Good;
  NotANumber.replace(NotANumber.find("\"1\""), 3, "\"one\"");
  Write("mixed.csv", Good + "\r\n" + NotANumber + "\r\n\"0\";\"0\";\"5\"\r\n" + Good + "\r\n");
  TStore In(1);
  In.PaneChart(0).Series().Add();
  TChartCSVLoadResult R = LoadChartViewCSV(In, Path("mixed.csv"), false);
  EXPECT_EQ(R.Points, 2);
  ASSERT_EQ(R.Errors.size(), 2u);
  EXPECT_EQ(R.Errors[0].Line, 2);
  EXPECT_NE(R.Errors[0].Reason.find(u"field 3"), String::npos);
  EXPECT_EQ(R.Errors[1].Line, 3);
  EXPECT_EQ(In.PaneChart(0).Series().Items(0).GetPointsCount(), 2);
  EXPECT_EQ(In.Depth, 0);
  // A missing file is an error of its own, and the view's update ends.
  EXPECT_THROW(LoadChartViewCSV(In, Path("none.csv"), false), Exception);
  EXPECT_EQ(In.Depth, 0);
}

TEST_F(TFiles, CsvIntoExistingPanesSkipsWhatDoesNotExist) {
  TStore Out(2);
  Out.PaneChart(0).Series().Add().AddChartPoint(Point(1, u"p0s0"));
  Out.PaneChart(0).Series().Add().AddChartPoint(Point(2, u"p0s1"));
  Out.PaneChart(1).Series().Add().AddChartPoint(Point(3, u"p1s0"));
  SaveChartViewCSV(Out, Path("p.csv"));
  TStore In(1);
  TChartSerie& Only = In.PaneChart(0).Series().Add();
  Only.AddSinglePoint(7);
  Only.AddSinglePoint(8);
  TChartCSVLoadResult R = LoadChartViewCSV(In, Path("p.csv"), false);
  EXPECT_TRUE(R.Errors.empty());
  EXPECT_EQ(R.Points, 1);
  EXPECT_EQ(In.PaneCount(), 1);
  ASSERT_EQ(Only.GetPointsCount(), 1);  // cleared, then the file's point
  EXPECT_EQ(Only.GetPoint(0).LegendValue, u"p0s0");
}

TEST_F(TFiles, SettingsRoundTripThroughTheFile) {
  TStore Out(2);
  Out.View.Anchors = 0b1010;
  Out.View.Hint = u"Sales";
  Out.View.XAxisZoomSensitivity = 2.5;
  Out.View.Version = u"1.0";
  Out.Tracker = u"tracked";
  Out.Keys[0].Options = 0b10101;
  Out.Keys[0].Height = 250;
  Out.Keys[0].HeightType = 1;
  Out.Keys[0].Name = u"Top";
  Out.Keys[0].Rectangle = {1, 2, 3, 4};
  Out.Keys[1].Splitter.LineWidth = 3;
  Out.Keys[1].Visible = false;
  TVivIzude& C = Out.PaneChart(1);
  C.SetAxisMode(amYAxisFullHeight);
  C.Title().SetText(u"Volumes");
  C.Range().SetRangeTo(42);
  C.XAxis().SetSize(45);
  TChartSerie& S = C.Series().Add();
  S.SetChartType(ctStackedBar);
  S.SetGroupIndex(2);
  C.Series().Add().SetChartType(ctCandleStick);
  SaveChartView(Out, Path("view.ini"), u"Chart1");

  TMemIniFile Ini(Path("view.ini"));
  for (const char16_t* Section : {u"Chart1", u"Chart1.Tracker", u"Chart1.Pane0", u"Chart1.Pane1", u"Chart1.Pane0.Bands",
                                  u"Chart1.Pane1.Series.Serie1", u"Chart1.Pane1.Splitter"})
    EXPECT_TRUE(Ini.SectionExists(Section)) << std::string(Section, Section + 5);
  EXPECT_EQ(Ini.ReadInteger(u"Chart1", u"PaneCount", 0), 2);
  EXPECT_EQ(Ini.ReadString(u"Chart1", u"Anchors", u""), u":1:3");
  EXPECT_EQ(Ini.ReadString(u"Chart1.Pane0", u"Options", u""), u":0:2:4");

  TStore In(1);
  In.View.Version = u"2.0";
  LoadChartView(In, Path("view.ini"), u"Chart1", true, true);
  EXPECT_EQ(In.Ends, 1);
  ASSERT_EQ(In.PaneCount(), 2);
  EXPECT_EQ(In.View.Anchors, 0b1011);  // the file's members added to the current left and top
  EXPECT_EQ(In.View.Hint, u"Sales");
  EXPECT_EQ(In.View.XAxisZoomSensitivity, 2.5);
  EXPECT_EQ(In.View.Version, u"2.0");  // written for people, never read back
  EXPECT_EQ(In.Tracker, u"tracked");
  EXPECT_EQ(In.Keys[0].Options, 0b10101);
  EXPECT_EQ(In.Keys[0].Height, 250);
  EXPECT_EQ(In.Keys[0].HeightType, 1);
  EXPECT_EQ(In.Keys[0].Name, u"Top");
  EXPECT_EQ(In.Keys[0].Rectangle, TRect());
  EXPECT_EQ(In.Keys[1].Splitter.LineWidth, 3);
  EXPECT_FALSE(In.Keys[1].Visible);
  TVivIzude& D = In.PaneChart(1);
  EXPECT_EQ(D.AxisMode(), amYAxisFullHeight);
  EXPECT_EQ(D.Title().Text(), u"Volumes");
  EXPECT_EQ(D.Range().RangeTo(), 42);
  EXPECT_EQ(D.XAxis().Size(), 45);
  ASSERT_EQ(D.Series().Count(), 2);
  EXPECT_EQ(D.Series().Items(0).ChartType(), ctStackedBar);
  EXPECT_EQ(D.Series().Items(0).GroupIndex(), 2);
  EXPECT_EQ(D.Series().Items(1).ChartType(), ctCandleStick);
}

TEST_F(TFiles, SettingsLoadNeitherWritesNorCreatesTheFileAndOnlyAddsSetMembers) {
  TStore Store(1);
  Store.View.Hint = u"kept";
  LoadChartView(Store, Path("missing.ini"), u"Chart1", true, true);
  EXPECT_FALSE(std::filesystem::exists(Dir / "missing.ini"));
  EXPECT_EQ(Store.View.Hint, u"kept");
  EXPECT_EQ(Store.PaneCount(), 0);  // pane creation with no count in the file

  // Odd spacing and an unknown key stay exactly as they are on the disk.
  const std::string Text =
      "[Chart1]\r\nAnchors = :2:3\r\nPaneCount=3\r\nOther=1\r\n\r\n[Chart1.Pane0.Title]\r\nText=Loaded\r\n";
  Write("view.ini", Text);
  TStore One(1);
  One.View.Anchors = 0b0011;
  LoadChartView(One, Path("view.ini"), u"Chart1", false, false);
  EXPECT_EQ(Read("view.ini"), Text);
  EXPECT_EQ(One.View.Anchors, 0b1111);  // added to the current anchors
  EXPECT_EQ(One.PaneCount(), 1);        // no pane creation: the count is not used
  EXPECT_EQ(One.PaneChart(0).Title().Text(), u"Loaded");
}
