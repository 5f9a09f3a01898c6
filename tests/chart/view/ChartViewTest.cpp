#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "FolderPie.h"
#include "chart/model/ChartHelpers.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace {

struct TFormDeleter {
  void operator()(TCustomForm* Form) const { delete Form; }
};

// A shown form holding the main window's pie view, 420 x 560.
class FolderPieTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TForm>(Application));
    Form->SetClientWidth(420);
    Form->SetClientHeight(560);
    View = CreateFolderPieView(Form.get());
    View->SetParent(Form.get());
    View->SetAlign(alClient);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  // The control painted through its own paint message into a bitmap.
  std::unique_ptr<TBitmap> Snapshot() {
    auto B = std::make_unique<TBitmap>(View->Width(), View->Height());
    B->SetPixelFormat(pf24bit);
    View->PaintTo(B->Canvas()->Handle(), 0, 0);
    return B;
  }
  std::unique_ptr<TCustomForm, TFormDeleter> Form;
  TVivGDIPChartView* View = nullptr;
};

String FullPath(const String& Name) {
  wchar_t Buffer[MAX_PATH] = {};
  GetFullPathNameW(WideCStr(Name), MAX_PATH, Buffer, nullptr);
  return String(reinterpret_cast<const Char*>(Buffer));
}

std::string NarrowText(const String& S) {
  std::string A;
  for (Char C : S) A += C < 128 ? char(C) : '?';
  return A;
}

double ParseNumber(String Text) {
  std::string A;
  for (Char C : Text)
    if ((C >= u'0' && C <= u'9') || C == u'.') A += char(C);
  return A.empty() ? -1 : std::stod(A);
}

}  // namespace

TEST(GdiPlusBinding, StartsOnceWithEveryEntryPointBound) {
  const TGdiPlusApi& Api = GdiPlus();
  EXPECT_TRUE(Api.Loaded());
  EXPECT_TRUE(Api.Started());
  EXPECT_EQ(Api.StartupStatus(), Ok);
  EXPECT_TRUE(Api.MissingFunctions().empty()) << Api.MissingFunctions().front();
  EXPECT_EQ(&GdiPlus(), &Api);
  // A wrapper made on the binding works and keeps its status.
  TGPSolidBrush Brush(MakeARGB(255, 1, 2, 3));
  EXPECT_EQ(Brush.LastResult(), Ok);
  EXPECT_NE(Brush.Native(), nullptr);
  TGPLinearGradientBrush Line(TGPRectF{0, 0, 10, 10}, 0, 0, LinearGradientModeVertical);
  EXPECT_EQ(Line.SetInterpolationColors(nullptr, nullptr, 0), InvalidParameter);
  EXPECT_EQ(Line.LastResult(), InvalidParameter);
}

TEST(GdiPlusObjects, ColoursArrowsAndFontFallbacks) {
  EXPECT_EQ(MakeGDIPColor(128, clRed), 0x80FF0000u);
  EXPECT_EQ(MakeGDIPColor(7, clNone), 0x07FFFFFFu);
  EXPECT_EQ(MakeGDIPOpaqueColor(clLime), 0xFF00FF00u);
  TGPPointF P[4];
  GDIPArrowPoints({0, 0}, {100, 0}, 10, 1, 1, P);
  EXPECT_EQ(P[0].X, 100);
  EXPECT_EQ(P[1].X, 90);
  EXPECT_EQ(P[1].Y, 5);
  EXPECT_EQ(P[3].Y, -5);

  // A family that does not exist still gives a usable font of the same size.
  TChartFont Missing;
  Missing.SetName(u"No Such Family Anywhere");
  Missing.SetSize(12);
  Missing.SetStyle({fsBold, fsStrikeOut});
  auto F = MakeGDIPFont(Missing);
  ASSERT_NE(F->Native(), nullptr);
  EXPECT_EQ(F->GetSize(), 12);
  EXPECT_FALSE(F->FamilyName().empty());
  EXPECT_EQ(F->GetStyle() & FontStyleStrikeout, 0);  // the view's fonts drop strike-out
  auto Family = CreateFontFamilyFallback(u"No Such Family Anywhere");
  ASSERT_NE(Family, nullptr);
  EXPECT_NE(Family->GetFamilyName(), u"No Such Family Anywhere");
  // An installed family is taken as asked.
  auto Arial = CreateFontFamilyFallback(u"Arial");
  ASSERT_NE(Arial, nullptr);
  const String First = Arial->GetFamilyName();
  auto Again = CreateFontFamilyFallback(First);
  EXPECT_EQ(Again->GetFamilyName(), First);
}

namespace {
String FamilyNameOf(GpFontFamily* F) {
  WCHAR Name[32] = {};
  if (!F || GdiPlus().GdipGetFamilyName(F, Name, 0) != Ok) return String();
  return String(reinterpret_cast<const Char*>(Name));
}
String FirstInstalledFamily() {
  GpFontCollection* Installed = nullptr;
  INT Count = 0, Found = 0;
  GdiPlus().GdipNewInstalledFontCollection(&Installed);
  GdiPlus().GdipGetFontCollectionFamilyCount(Installed, &Count);
  std::vector<GpFontFamily*> List(static_cast<std::size_t>(std::max(Count, 1)));
  GdiPlus().GdipGetFontCollectionFamilyList(Installed, Count, List.data(), &Found);
  return Found > 0 ? FamilyNameOf(List[0]) : String();
}
}  // namespace

// Every font is made one way: the asked family, "Arial", the generic
// sans-serif family, the first installed family, each with the asked style
// and then regular. A maker that refuses the first attempts shows the order
// and where the chain stops.
TEST(GdiPlusObjects, FontsFallBackFamilyByFamilyAndStyleByStyle) {
  const String Tahoma = TGPFontFamily(u"Tahoma").GetFamilyName(), Arial = TGPFontFamily(u"Arial").GetFamilyName();
  const String Generic = TGPFontFamily::GenericSansSerif()->GetFamilyName(), First = FirstInstalledFamily();
  ASSERT_FALSE(Tahoma.empty());
  ASSERT_FALSE(First.empty());
  using TAttempt = std::pair<String, INT>;
  struct TCase {
    const char16_t* Name;
    INT Style;
    int Refused;  // attempts refused before the maker makes the font
    std::vector<TAttempt> Tried;
  };
  const INT B = FontStyleBold, BI = FontStyleBold | FontStyleItalic;
  const std::vector<TCase> Cases = {
      {u"Tahoma", B, 0, {{Tahoma, B}}},
      {u"Tahoma", B, 1, {{Tahoma, B}, {Tahoma, 0}}},  // no bold face: regular of the same family
      {u"Tahoma", BI, 2, {{Tahoma, BI}, {Tahoma, 0}, {Arial, BI}}},
      {u"Tahoma", 0, 1, {{Tahoma, 0}, {Arial, 0}}},  // regular is asked once per family
      {u"No Such Family Anywhere", B, 3, {{Arial, B}, {Arial, 0}, {Generic, B}, {Generic, 0}}},
      {u"Tahoma",
       B,
       99,
       {{Tahoma, B}, {Tahoma, 0}, {Arial, B}, {Arial, 0}, {Generic, B}, {Generic, 0}, {First, B}, {First, 0}}},
  };
  for (const TCase& K : Cases) {
    std::vector<TAttempt> Tried;
    auto Make = [&](GpFontFamily* F, INT Style, GpFont** Out) {
      Tried.push_back({FamilyNameOf(F), Style});
      if (int(Tried.size()) <= K.Refused) return FontStyleNotFound;
      return GdiPlus().GdipCreateFont(F, 10, Style, UnitPoint, Out);
    };
    Status Last = Ok;
    GpFont* Font = CreateFallbackFont(K.Name, K.Style, Make, Last);
    const std::string Label =
        NarrowText(K.Name) + " style " + std::to_string(K.Style) + " refused " + std::to_string(K.Refused);
    EXPECT_EQ(Tried, K.Tried) << Label;
    if (K.Refused >= int(K.Tried.size())) {
      EXPECT_EQ(Font, nullptr) << Label;
      EXPECT_EQ(Last, FontStyleNotFound) << Label;
      continue;
    }
    ASSERT_NE(Font, nullptr) << Label;
    EXPECT_EQ(Last, Ok) << Label;
    // The font made is the last attempt's family and style.
    TGPFont Made(Font, Ok);
    EXPECT_EQ(Made.FamilyName(), K.Tried.back().first) << Label;
    EXPECT_EQ(Made.GetStyle(), K.Tried.back().second) << Label;
  }
  // The chart's fonts go the same way: a missing family keeps its size and
  // its style in a family that has it.
  TChartFont Missing;
  Missing.SetName(u"No Such Family Anywhere");
  Missing.SetSize(9);
  Missing.SetStyle({fsBold, fsItalic});
  auto F = MakeGDIPFont(Missing);
  ASSERT_NE(F->Native(), nullptr);
  EXPECT_EQ(F->FamilyName(), Arial);
  EXPECT_EQ(F->GetStyle(), FontStyleBold | FontStyleItalic);
  HDC Screen = GetDC(nullptr);
  {
    TGPGraphics G(Screen);
    auto M = G.MakeFont(Missing);
    EXPECT_NE(M->Native(), nullptr);
    EXPECT_EQ(M->FamilyName(), Arial);
  }
  ReleaseDC(nullptr, Screen);
  TGPFont ByName(u"No Such Family Anywhere", 9, FontStyleItalic);
  EXPECT_EQ(ByName.LastResult(), Ok);
  EXPECT_EQ(ByName.FamilyName(), Arial);
}

TEST(GdiPlusSettings, OpacitiesStayInTheAlphaRange) {
  TVivGDIPChart Chart;
  TVivGDIPChartSerie& S = Chart.Series().Add();
  struct Case {
    Integer Given, Stored;
  } Cases[] = {{300, 255}, {-5, 0}, {-1, 0}, {128, 128}};
  for (const Case& C : Cases) {
    S.SetOpacity(C.Given);
    S.Pie().SetLegendOpacity(C.Given);
    S.Pie().SetLegendTitleOpacity(C.Given);
    S.Marker().SetOpacity(C.Given);
    Chart.Legend().SetOpacity(C.Given);
    TChartGDIPAnnotation& A = S.Annotations().Add();
    A.SetOpacity(C.Given);
    EXPECT_EQ(S.Opacity(), C.Stored) << C.Given;
    EXPECT_EQ(S.Pie().LegendOpacity(), C.Stored) << C.Given;
    EXPECT_EQ(S.Pie().LegendTitleOpacity(), C.Stored) << C.Given;
    EXPECT_EQ(S.Marker().Opacity(), C.Stored) << C.Given;
    EXPECT_EQ(Chart.Legend().Opacity(), C.Stored) << C.Given;
    EXPECT_EQ(A.Opacity(), C.Stored) << C.Given;
  }
  // The annotation notifies every time, even with the same value.
  TChartGDIPAnnotation& A = S.Annotations().Items(0);
  int Changes = 0;
  A.OnChange = [&](TObject*) { ++Changes; };
  A.SetOpacity(128);
  A.SetOpacity(128);
  EXPECT_EQ(Changes, 2);
}

TEST(GdiPlusSettings, PieLegendSettingsSurviveASettingsFile) {
  TVivGDIPChart Chart;
  TVivGDIPChartSerie& S = Chart.Series().Add();
  S.Pie().SetLegendGradientType(gtHatch);
  S.Pie().SetLegendOpacity(200);
  S.Pie().SetLegendHatchStyle(HatchStyleCross);
  S.Pie().SetLegendTitleOpacityTo(17);
  S.SetOpacity(99);
  S.SetShadow(true);
  TMemIniFile Ini(u"");
  S.SaveToFile(Ini, u"S");
  S.Pie().SaveToFile(Ini, u"P");
  TVivGDIPChartSerie& T = Chart.Series().Add();
  T.LoadFromFile(Ini, u"S");
  T.Pie().LoadFromFile(Ini, u"P");
  EXPECT_EQ(T.Pie().LegendGradientType(), gtHatch);
  EXPECT_EQ(T.Pie().LegendOpacity(), 200);
  EXPECT_EQ(T.Pie().LegendHatchStyle(), HatchStyleCross);
  EXPECT_EQ(T.Pie().LegendTitleOpacityTo(), 17);
  EXPECT_EQ(T.Opacity(), 99);
  EXPECT_TRUE(T.Shadow());
}

TEST(ChartView, PanesHeightsNamesAndLookups) {
  Application->Initialize();
  std::unique_ptr<TVivIzudeView> V(new TVivIzudeView(nullptr));
  V->SetBounds(0, 0, 400, 300);
  TChartPane* A = V->Panes().Add();
  EXPECT_EQ(A->Name(), u"ChartPane 0");
  EXPECT_EQ(A->HeightType(), htPercentage);
  EXPECT_EQ(A->PixelHeight(), 300);
  A->SetHeight(150);
  EXPECT_EQ(A->Height(), 100);
  TChartPane* B = V->Panes().Add();
  A->SetHeight(50);
  B->SetHeight(50);
  // Percentage panes share what the splitters leave: all fits in the view.
  B->Splitter().SetVisible(true);
  V->UpdatePaneRects();
  EXPECT_EQ(A->Rectangle().Top, 0);
  EXPECT_EQ(B->Rectangle().Top, A->Rectangle().Bottom + 3);
  EXPECT_LE(B->Rectangle().Bottom, 300);
  EXPECT_GE(B->Rectangle().Bottom, 298);
  // Pixel and automatic panes.
  A->SetHeightType(htPixels);
  A->SetHeight(100);
  B->SetHeightType(htAuto);
  TChartPane* C = V->Panes().Add();
  C->SetHeightType(htAuto);
  B->Splitter().SetVisible(false);
  EXPECT_EQ(B->PixelHeight(), 100);
  EXPECT_EQ(C->PixelHeight(), 100);
  A->SetHeight(150);
  EXPECT_EQ(A->Height(), 150);
  // A hidden first pane takes no room.
  A->SetVisible(false);
  V->UpdatePaneRects();
  EXPECT_EQ(B->Rectangle().Top, 0);
  // Lookups.
  B->SetName(u"Prices");
  EXPECT_EQ(V->GetPaneByName(u"Prices"), B);
  EXPECT_EQ(V->GetPaneByName(u"prices"), nullptr);
  EXPECT_EQ(V->GetPaneByID(C->ID()), C);
  // A bad pane index gives a defined, empty answer.
  bool Found = true;
  TChartSeriePoint P = V->XYToSeriePoint(10, 10, 7, Found);
  EXPECT_FALSE(Found);
  EXPECT_EQ(P.Serie, -1);
  EXPECT_EQ(P.Point, -1);
  P = V->XYToSeriePoint(10, 10, -1, Found);
  EXPECT_FALSE(Found);
  EXPECT_EQ(V->Version(), u"4.2.1.6 APR, 2018");
  V->SetXAxisZoomSensitivity(0);
  EXPECT_EQ(V->XAxisZoomSensitivity(), 1.0);
}

TEST(ChartView, ZoomOutAndScrollLimits) {
  Application->Initialize();
  std::unique_ptr<TVivIzudeView> V(new TVivIzudeView(nullptr));
  TChartPane* P = V->Panes().Add();
  P->Range().SetMinimumScrollRange(0);
  P->Range().SetMaximumScrollRange(100);
  P->Range().SetRangeFrom(0);
  P->Range().SetRangeTo(10);
  P->SetVisibleRange(-1, 9);
  EXPECT_EQ(P->Range().RangeFrom(), 0);
  P->SetVisibleRange(5, 15);
  EXPECT_EQ(P->Range().RangeFrom(), 5);
  P->Chart().SetXScale(0.5);
  P->DoZoomOut(-1, 0, false);
  EXPECT_EQ(P->Chart().XScale(), 1.0);
  EXPECT_EQ(P->FirstVisibleSerie(), -1);
}

TEST_F(FolderPieTest, ThreeDataSetsAsTheMainWindowShowsThem) {
  for (const TFolderPieSet& Set : FolderPieSets()) {
    FillFolderPie(*View, u"Dossier de /www : 1,2 Mio\r\n/www/" + String(Set.Name, Set.Name + std::strlen(Set.Name)),
                  Set.Values);
    TVivGDIPChartSerie& S = FolderPieSerie(*View);
    std::vector<String> Drawn;
    S.OnSerieSliceGetValue = [&](TObject*, Integer, const String&, double, Integer, TPoint&, String& Text) {
      Drawn.push_back(Text);
    };
    View->Refresh();
    Drawn.clear();
    auto Picture = Snapshot();
    const String File = String(Set.Name, Set.Name + std::strlen(Set.Name)) + u".png";
    ASSERT_NO_THROW(SaveBitmapToImage(Picture->Handle(), File, itPNG, 100)) << Set.Name;
    std::string Path;
    for (Char C : FullPath(File)) Path += char(C);
    RecordProperty(Set.Name, Path);

    // Every slice shows its own colour along its bisector, between the value
    // text and the rim.
    ASSERT_EQ(S.DrawValuesSlice.size(), Set.Values.size()) << Set.Name;
    const Integer R = S.Pie().GetPieSize() / 2;
    for (std::size_t K = 0; K < Set.Values.size(); ++K) {
      const TSlicePoint& Sl = S.DrawValuesSlice[K];
      const double Mid = (Sl.STA + Sl.SWA) / 2 * std::numbers::pi / 180;
      const double D = Set.Values.size() == 1 ? 0.3 : 0.8;
      const Integer X = Sl.CX + RoundI(D * R * std::cos(Mid)), Y = Sl.CY - RoundI(D * R * std::sin(Mid));
      EXPECT_EQ(Picture->Canvas()->Pixel(X, Y), FolderPieColors[K % 14]) << Set.Name << " slice " << K;
    }
    // The pie sits at the top centre, under the title band.
    EXPECT_NEAR(S.DrawValuesSlice[0].CX, View->Width() / 2, 2) << Set.Name;
    EXPECT_LT(S.DrawValuesSlice[0].CY - R, 60) << Set.Name;

    // The percentages drawn add up to 100 (each is rounded to 2 decimals).
    ASSERT_EQ(Drawn.size(), Set.Values.size()) << Set.Name;
    double Sum = 0;
    for (const String& T : Drawn) {
      EXPECT_EQ(T.back(), u'%');
      Sum += ParseNumber(T);
    }
    EXPECT_NEAR(Sum, 100.0, 0.005 * Drawn.size() + 1e-9) << Set.Name;

    // The legend box below the pie: white at alpha 200 over the white view,
    // one colour square per slice.
    bool Measured = false;
    TMeasuringCanvas Scratch(TGdiTextMeasurer::Screen());
    TRect L = View->Panes().Items(0)->Chart().SeriePainter()->DrawPieLegend(S, Scratch, false, 1, 1, Measured);
    ASSERT_TRUE(Measured);
    EXPECT_GT(L.Top, S.DrawValuesSlice[0].CY + R) << Set.Name;
    const Integer N = S.GetPointsCount();
    for (Integer I = 0; I < N; ++I) {
      const Integer EY = L.Top + 5 + RoundI(double(L.Bottom - L.Top - 5) / N * I);
      const TColor Square = Picture->Canvas()->Pixel(L.Left + 10, EY + 3);
      EXPECT_EQ(Square, FolderPieColors[I % 14]) << Set.Name << " legend entry " << I;
    }
    S.OnSerieSliceGetValue = nullptr;
  }
}

TEST_F(FolderPieTest, ClearPenDrawsNoSliceOutline) {
  FillFolderPie(*View, u"t", {1, 1});
  TVivGDIPChartSerie& S = FolderPieSerie(*View);
  S.Pie().SetLegendVisible(false);
  S.Pie().SetShowValues(false);
  S.SetBorderColor(clBlack);
  S.SetBorderWidth(5);
  auto EdgeIsBlack = [&] {
    View->Refresh();
    auto Picture = Snapshot();
    const TSlicePoint& Sl = S.DrawValuesSlice[0];
    // Halfway along the edge where the first slice starts (angle 0).
    return Picture->Canvas()->Pixel((Sl.CX + Sl.X1) / 2, Sl.CY) == clBlack;
  };
  EXPECT_TRUE(EdgeIsBlack());
  S.SetPenStyle(psClear);
  EXPECT_FALSE(EdgeIsBlack());
}

// A folder without sub-folders: one slice of the whole circle, outlined as
// a circle only, and its legend box around its one entry.
TEST_F(FolderPieTest, AWholeCircleSliceHasNoRadiusAndItsLegendEnclosesItsEntry) {
  for (TChartType Type : {ctPie, ctDonut}) {
    FillFolderPie(*View, u"t", {4242});
    TVivGDIPChartSerie& S = FolderPieSerie(*View);
    S.SetChartType(Type);
    View->Refresh();
    auto Picture = Snapshot();
    TCanvas& C = *Picture->Canvas();
    ASSERT_EQ(S.DrawValuesSlice.size(), 1u);
    const TSlicePoint& Sl = S.DrawValuesSlice[0];
    const Integer R = S.Pie().GetPieSize() / 2, Hole = Type == ctDonut ? S.Pie().GetPieInnerSize() / 2 : 0;
    ASSERT_GT(R - Hole, 20);
    // Along the start angle (0 degrees), where a wedge's edge runs: only the
    // slice's colour (the value text sits on the other side, at 180).
    for (Integer D = Hole + 4; D <= R - 4; D += 3)
      for (Integer Dy = -1; Dy <= 1; ++Dy)
        EXPECT_EQ(C.Pixel(Sl.CX + D, Sl.CY + Dy), FolderPieColors[0]) << int(Type) << " at " << D << ", " << Dy;
    if (Type == ctDonut) {
      EXPECT_EQ(C.Pixel(Sl.CX, Sl.CY), clWhite) << "the ring's hole";
      continue;
    }
    // The legend: no ink in the rows just inside its border, some between.
    bool Measured = false;
    TMeasuringCanvas Scratch(TGdiTextMeasurer::Screen());
    const TRect L = View->Panes().Items(0)->Chart().SeriePainter()->DrawPieLegend(S, Scratch, false, 1, 1, Measured);
    ASSERT_TRUE(Measured);
    auto Ink = [&](Integer Y) {
      for (Integer X = L.Left + 20; X < L.Right - 2; ++X) {
        const TColor P = C.Pixel(X, Y);
        if ((P & 0xFF) + ((P >> 8) & 0xFF) + ((P >> 16) & 0xFF) < 300) return true;
      }
      return false;
    };
    Integer First = -1, Last = -1;
    for (Integer Y = L.Top + 1; Y < L.Bottom; ++Y)
      if (Ink(Y)) {
        if (First < 0) First = Y;
        Last = Y;
      }
    ASSERT_GE(First, 0) << "the entry's text";
    EXPECT_GE(First - L.Top, 4);
    EXPECT_GE(L.Bottom - Last, 4);
    EXPECT_LE(std::abs((First - L.Top) - (L.Bottom - Last)), 4)
        << "top " << First - L.Top << ", bottom " << L.Bottom - Last;
  }
}

TEST(GdiPlusAnnotation, ConnectorWithoutLineColourIsNotDrawn) {
  Application->Initialize();
  TVivGDIPChart Chart;
  TVivGDIPChartSerie& S = Chart.Series().Add();
  TChartGDIPAnnotation& A = S.Annotations().Add();
  A.SetShape(asRectangle);
  A.SetLineWidth(3);
  A.SetBorderColor(clNone);
  A.SetColor(clYellow);
  auto LinePixel = [&](TColor LineColor) {
    A.SetLineColor(LineColor);
    TBitmap B(200, 200);
    B.SetPixelFormat(pf24bit);
    B.Canvas()->Brush()->SetColor(clBlack);
    B.Canvas()->FillRect({0, 0, 200, 200});
    TVclChartCanvas C(*B.Canvas());
    // The box at (100, 100)-(150, 130), the anchor at (20, 20).
    A.Draw(C, {102, 102, 148, 128}, {102, 102, 148, 128}, 20, 20, 1, 1);
    return B.Canvas()->Pixel(60, 60);
  };
  EXPECT_EQ(LinePixel(clRed), clRed);
  EXPECT_EQ(LinePixel(clNone), clBlack);
}
