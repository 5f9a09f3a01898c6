// The view's settings file, CSV points, picture export read back, printing
// to an EMF file, bitmaps and metafiles, and the mirror reflection.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ChartViewTestSupport.h"
#include "chart/model/ChartHelpers.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "rtl/IniFiles.h"
#include "rtl/StringList.h"

using namespace chartview_test;

namespace {
const TColor Blue = RGBToColor(20, 60, 230);

// A shown 400 x 300 white view named Chart1 whose one pane holds a solid
// blue area over most of its series area.
struct ViewFilesTest : ::testing::Test {
  std::unique_ptr<TCustomForm, TFormDeleter> Form;
  TVivGDIPChartView* View = nullptr;
  String Dir = TempFolder(u"chart-view-files");

  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TForm>(Application));
    Form->SetClientWidth(400);
    Form->SetClientHeight(300);
    View = NewView(u"Chart1");
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TVivGDIPChartView* NewView(const String& Name) {
    auto* V = new TVivGDIPChartView(Form.get());
    V->SetName(Name);
    V->SetColor(clWhite);
    V->SetParent(Form.get());
    V->SetAlign(alClient);
    return V;
  }
  TVivGDIPChartPane& AddAreaPane(TVivGDIPChartView& V) {
    TVivGDIPChartPane& P = *V.Panes().Add();
    P.Legend().SetVisible(false);
    TVivGDIPChartSerie& S = P.Series().Add();
    S.SetChartType(ctArea);
    S.SetColor(Blue);
    S.SetLineColor(Blue);
    S.SetAutoRange(arDisabled);
    S.SetMinimum(0);
    S.SetMaximum(100);
    for (int I = 0; I < 11; ++I) S.AddSinglePoint(90, String(u"p") + IntToStr(I));
    P.Range().SetRangeTo(10);
    return P;
  }
  void Show() {
    Form->Show();
    Application->ProcessMessages();
    View->Refresh();
  }
  String Path(const char* Name) const { return Dir + u"\\" + String(Name, Name + std::strlen(Name)); }
  // A probe well inside the blue area of a picture of W x H made of the view.
  TPoint Inside(Integer W, Integer H) {
    const TRect S = View->Panes().Items(0)->SeriesRect();
    return {(S.Left + S.Width() / 2) * W / View->Width(), (S.Top + S.Height() * 2 / 3) * H / View->Height()};
  }
};

bool Near(TColor A, TColor B, int Tolerance) {
  return std::abs(RedOf(A) - RedOf(B)) <= Tolerance && std::abs(GreenOf(A) - GreenOf(B)) <= Tolerance &&
         std::abs(BlueOf(A) - BlueOf(B)) <= Tolerance;
}

TBytes ReadBytes(const String& File) {
  TFileStream F(File, fmOpenRead | fmShareDenyWrite);
  TBytes B(static_cast<std::size_t>(F.Size()));
  if (!B.empty()) F.ReadBuffer(B.data(), static_cast<Int64>(B.size()));
  return B;
}
}  // namespace

TEST_F(ViewFilesTest, SettingsFileRoundTripWithPanesTrackerAndZoomControl) {
  TVivGDIPChartPane& A = AddAreaPane(*View);
  TVivGDIPChartPane& B = AddAreaPane(*View);
  A.SetMirror(true);
  A.ZoomControl().SetVisible(true);
  A.ZoomControl().SetWidth(222);
  A.ZoomControl().SetSliderType(TZoomControlSliderType::stSquare);
  A.Series()[0].SetOpacity(99);
  B.SetName(u"Lower");
  B.SetHeightType(htPixels);
  B.SetHeight(150);
  B.SetOptions({poMoving, poVertScale});
  B.Splitter().SetVisible(true);
  B.Splitter().SetHeight(7);
  View->SetPanesSynched(true);
  View->SetXAxisZoomSensitivity(2.5);
  View->Tracker().SetLeft(33);
  View->Tracker().SetAlphaBlend(true);
  View->Tracker().Title().SetText(u"Values");
  const String File = Path("settings.ini");
  RemoveFile(File);
  View->SaveToFile(File);

  TMemIniFile Ini(File);
  for (const char16_t* Section : {u"Chart1", u"Chart1.Tracker", u"Chart1.Tracker.Title", u"Chart1.Pane0",
                                  u"Chart1.Pane0.ZoomControl", u"Chart1.Pane1.Splitter", u"Chart1.Pane0.Bands"})
    EXPECT_TRUE(Ini.SectionExists(Section)) << Narrow(Section);
  EXPECT_EQ(Ini.ReadInteger(u"Chart1", u"PaneCount", 0), 2);
  EXPECT_TRUE(Ini.ReadBool(u"Chart1.Pane0", u"Mirror", false));
  EXPECT_EQ(Ini.ReadString(u"Chart1.Pane1", u"Options", u""), u":0:4");

  // A view of the same name, under another owner.
  std::unique_ptr<TVivGDIPChartView> Keep(new TVivGDIPChartView(nullptr));
  TVivGDIPChartView* Copy = Keep.get();
  Copy->SetName(u"Chart1");
  Copy->LoadFromFile(File, true, true);
  ASSERT_EQ(Copy->Panes().Count(), 2);
  TVivGDIPChartPane& CA = *Copy->Panes().Items(0);
  TVivGDIPChartPane& CB = *Copy->Panes().Items(1);
  EXPECT_TRUE(CA.Mirror());
  EXPECT_TRUE(CA.ZoomControl().Visible());
  EXPECT_EQ(CA.ZoomControl().Width(), 222);
  EXPECT_EQ(CA.ZoomControl().SliderType(), TZoomControlSliderType::stSquare);
  ASSERT_EQ(CA.Series().Count(), 1);
  EXPECT_EQ(CA.Series()[0].Opacity(), 99);
  EXPECT_EQ(CA.Series()[0].Color(), Blue);
  EXPECT_EQ(CB.Name(), u"Lower");
  EXPECT_EQ(CB.HeightType(), htPixels);
  EXPECT_EQ(CB.Height(), 150);
  EXPECT_TRUE(CB.Options().Contains(poMoving));
  EXPECT_TRUE(CB.Options().Contains(poVertScale));
  EXPECT_FALSE(CB.Options().Contains(poHorzScroll));
  EXPECT_TRUE(CB.Splitter().Visible());
  EXPECT_EQ(CB.Splitter().Height(), 7);
  EXPECT_TRUE(Copy->PanesSynched());
  EXPECT_EQ(Copy->XAxisZoomSensitivity(), 2.5);
  EXPECT_EQ(Copy->Tracker().Left(), 33);
  EXPECT_TRUE(Copy->Tracker().AlphaBlend());
  EXPECT_EQ(Copy->Tracker().Title().Text(), u"Values");
}

TEST_F(ViewFilesTest, LoadingAMissingFileChangesNothingAndWritesNothing) {
  AddAreaPane(*View);
  View->SetXAxisZoomSensitivity(3);
  const String File = Path("missing.ini");
  RemoveFile(File);
  View->LoadFromFile(File, true, true);
  EXPECT_FALSE(FileExists(File));
  EXPECT_EQ(View->Panes().Count(), 0);  // pane creation from a count of none
  View->LoadFromFile(File);
  EXPECT_EQ(View->XAxisZoomSensitivity(), 3);
  EXPECT_FALSE(FileExists(File));
}

TEST_F(ViewFilesTest, CsvPointsRoundTripAndBadLinesReachTheUser) {
  TVivGDIPChartPane& P = AddAreaPane(*View);
  P.Series()[0].UpdatePoint(3, [](TChartPoint& Pt) {
    Pt.LegendValue = u"a \"quoted\"; text";
    Pt.Defined = false;
  });
  AddAreaPane(*View).Series().Add().AddSinglePoint(2.5);
  const String File = Path("points.csv");
  View->SaveToCSV(File);
  TVivGDIPChartView* Copy = NewView(u"Copy");
  const TChartCSVLoadResult R = Copy->LoadFromCSV(File, true);
  EXPECT_TRUE(R.Errors.empty());
  ASSERT_EQ(Copy->Panes().Count(), 2);
  ASSERT_EQ(Copy->Panes().Items(1)->Series().Count(), 2);
  EXPECT_EQ(Copy->Panes().Items(1)->Series()[1].GetPoint(0).SingleValue, 2.5);
  const TChartPoint Q = Copy->Panes().Items(0)->Series()[0].GetPoint(3);
  EXPECT_EQ(Q.LegendValue, u"a \"quoted\"; text");
  EXPECT_FALSE(Q.Defined);

  // A damaged second line: the others load, and the user hears of it.
  TStringList Lines;
  Lines.LoadFromFile(File);
  Lines.Put(1, u"\"0\";\"0\";\"not a number\"");
  Lines.SaveToFile(File);
  TVivGDIPChartView* Third = NewView(u"Third");
  try {
    Third->LoadFromCSV(File, true);
    ADD_FAILURE() << "no error";
  } catch (const EChartCSVError& E) {
    EXPECT_NE(E.Message().find(u"line 2"), String::npos) << E.what();
  }
  EXPECT_EQ(Third->Panes().Items(0)->Series()[0].GetPointsCount(), 10);
  TVivGDIPChartView* Fourth = NewView(u"Fourth");
  std::vector<TChartCSVError> Heard;
  Fourth->OnCSVLoadError = [&](TObject*, const TChartCSVLoadResult& Result) { Heard = Result.Errors; };
  EXPECT_NO_THROW(Fourth->LoadFromCSV(File, true));
  ASSERT_EQ(Heard.size(), 1u);
  EXPECT_EQ(Heard[0].Line, 2);
}

TEST_F(ViewFilesTest, PicturesExportedAsPngJpegAndBmpReadBack) {
  AddAreaPane(*View);
  Show();
  struct Case {
    TChartImageType Type;
    const char* Name;
    TBytes Signature;
    int Tolerance;
  } Cases[] = {{itPNG, "export.png", {0x89, 'P', 'N', 'G'}, 0},
               {itJPEG, "export.jpg", {0xFF, 0xD8, 0xFF}, 24},
               {itBMP, "export.bmp", {'B', 'M'}, 0}};
  for (const Case& C : Cases) {
    const String File = Path(C.Name);
    RemoveFile(File);
    View->SaveToImage(File, 320, 240, C.Type, 90);
    const TBytes Data = ReadBytes(File);
    ASSERT_GE(Data.size(), C.Signature.size()) << C.Name;
    EXPECT_TRUE(std::equal(C.Signature.begin(), C.Signature.end(), Data.begin())) << C.Name;
    TChartGDIPPicture Back;
    ASSERT_TRUE(Back.LoadFromFile(File)) << C.Name << ": " << Narrow(Back.LoadError());
    EXPECT_EQ(Back.Width(), 320) << C.Name;
    EXPECT_EQ(Back.Height(), 240) << C.Name;
    TBitmap Shown(320, 240);
    Shown.SetPixelFormat(pf24bit);
    {
      TGPGraphics G(Shown.Canvas()->Handle());
      Back.GDIPDraw(G, TRect{0, 0, 320, 240});
    }
    const TPoint At = Inside(320, 240);
    EXPECT_TRUE(Near(Shown.Canvas()->Pixel(At.X, At.Y), Blue, C.Tolerance)) << C.Name;
    EXPECT_TRUE(Near(Shown.Canvas()->Pixel(2, 2), clWhite, C.Tolerance)) << C.Name;
  }
}

TEST_F(ViewFilesTest, AMissingEncoderIsReported) {
  TBitmap B(4, 4);
  try {
    SaveBitmapToImage(B.Handle(), Path("never.xyz"), static_cast<TChartImageType>(9), 50);
    ADD_FAILURE() << "no error";
  } catch (const EChartImageError& E) {
    EXPECT_NE(E.Message().find(u"No image encoder"), String::npos);
  }
  EXPECT_FALSE(FileExists(Path("never.xyz")));
  EXPECT_THROW(View->SaveToImage(Path("empty.png"), 0, 10, itPNG, 50), EChartImageError);
}

TEST_F(ViewFilesTest, AChartEncodesItselfIntoAStreamAtItsPosition) {
  TVivGDIPChart Chart;
  EXPECT_EQ(&Chart.TextMeasurer(), &TGdiTextMeasurer::Screen());
  TVivGDIPChartSerie& S = Chart.Series().Add();
  S.SetChartType(ctBar);
  for (int I = 0; I < 5; ++I) S.AddSinglePoint(I + 1);
  Chart.Range().SetRangeTo(4);
  TBytesStream Stream;
  Stream.WriteBuffer("abc", 3);
  Chart.SaveToStream(Stream, 200, 100, itPNG, 100);
  const TBytes& Data = Stream.Bytes();
  ASSERT_GT(Data.size(), 11u);
  EXPECT_EQ(Data[3], 0x89);
  EXPECT_EQ(Data[4], 'P');
  TChartGDIPPicture Back;
  ASSERT_TRUE(Back.LoadFromBytes(TBytes(Data.begin() + 3, Data.end())));
  EXPECT_EQ(Back.Width(), 200);
  EXPECT_EQ(Back.Height(), 100);
}

TEST_F(ViewFilesTest, PrintingToAnEmfFileStretchesEveryPane) {
  AddAreaPane(*View);
  Show();
  const Integer W = View->Width(), H = 2 * View->Height();
  TChartMetafile Meta(W, H);
  {
    TChartMetafileCanvas Canvas(Meta);
    EXPECT_DOUBLE_EQ(View->GetPrintScale(Canvas), 1.0);
    View->PrintAllPanes(Canvas, {0, 0, W, H});
  }
  // Printing goes through a bitmap per pane.
  EXPECT_GE(Meta.RecordCount(), 3u);
  const String File = Path("print.emf");
  RemoveFile(File);
  Meta.SaveToFile(File);
  HENHMETAFILE Read = GetEnhMetaFileW(WideCStr(File));
  ASSERT_NE(Read, nullptr);
  ENHMETAHEADER Header{};
  GetEnhMetaFileHeader(Read, sizeof(Header), &Header);
  EXPECT_EQ(Header.nRecords, Meta.RecordCount());
  // Played back, the pane fills twice the view's height.
  TBitmap Played(W, H);
  Played.SetPixelFormat(pf24bit);
  Played.Canvas()->Brush()->SetColor(clWhite);
  Played.Canvas()->FillRect({0, 0, W, H});
  const RECT Frame{0, 0, W, H};
  PlayEnhMetaFile(Played.Canvas()->Handle(), Read, &Frame);
  DeleteEnhMetaFile(Read);
  const TPoint At = Inside(W, H);
  EXPECT_TRUE(Near(Played.Canvas()->Pixel(At.X, At.Y), Blue, 8));
  // The screen layout is kept.
  EXPECT_EQ(View->Panes().Items(0)->Chart().Series().SeriesRectangle(), View->Panes().Items(0)->SeriesRect());
}

TEST_F(ViewFilesTest, BitmapsAndMetafilesOfAllPanesOrOne) {
  AddAreaPane(*View);
  TVivGDIPChartPane& Hidden = AddAreaPane(*View);
  Hidden.SetVisible(false);
  Show();
  auto B = View->GenerateBitmap(200, 150);
  EXPECT_EQ(B->Width(), 200);
  const TPoint At = Inside(200, 150);
  EXPECT_EQ(B->Canvas()->Pixel(At.X, At.Y), Blue);
  const String File = Path("pane.bmp");
  RemoveFile(File);
  View->SavePaneToBitmap(1, File, 120, 90);  // a hidden pane too
  TChartGDIPPicture Back;
  ASSERT_TRUE(Back.LoadFromFile(File));
  EXPECT_EQ(Back.Width(), 120);
  EXPECT_THROW(View->SavePaneToBitmap(7, File, 10, 10), EListError);
  EXPECT_THROW(View->CreateMetaFile(-1, 10, 10), EListError);
  auto M = View->CreateMetaFile(200, 150);
  EXPECT_GT(M->RecordCount(), 10u);
}

// Splitters take room on the screen but none in pictures and prints: the
// panes stacked there share the whole height, down to the last row.
TEST_F(ViewFilesTest, StackedPanesFillPicturesAndPrintsToTheBottom) {
  const TColor Magenta = RGBToColor(255, 0, 255);  // the view's colour, left where nothing paints
  View->SetColor(Magenta);
  const double Shares[3] = {50, 30, 20};
  for (double Share : Shares) {
    TVivGDIPChartPane& P = AddAreaPane(*View);
    P.SetHeight(Share);
    P.Splitter().SetVisible(true);
    P.Splitter().SetHeight(15);
  }
  Show();
  Integer OnScreen = 0;
  for (Integer I = 0; I < 3; ++I) OnScreen += View->Panes().Items(I)->PixelHeight();
  EXPECT_EQ(OnScreen, View->Height() - 2 * 15);
  for (Integer H : {View->Height(), 2 * View->Height(), 137}) {
    const auto Stack = View->StackedPanes(H);
    ASSERT_EQ(Stack.size(), 3u);
    Integer Top = 0;
    for (std::size_t K = 0; K < 3; ++K) {
      EXPECT_EQ(Stack[K].Index, Integer(K));
      EXPECT_EQ(Stack[K].Top, Top) << H;
      EXPECT_NEAR(Stack[K].Height, H * Shares[K] / 100, 1.0) << H << " pane " << K;
      Top += Stack[K].Height;
    }
    EXPECT_EQ(Top, H);
  }
  // Below its last painted row a chart leaves only its bottom margin
  // unpainted; a picture of the view's size leaves no more than the screen
  // does, so no strip is left blank for the splitters.
  const Integer W = View->Width(), H = View->Height();
  auto Gap = [&](TCanvas& C) {
    for (Integer Y = H - 1; Y >= 0; --Y)
      for (Integer X = 0; X < W; X += 2)
        if (C.Pixel(X, Y) != Magenta) return H - 1 - Y;
    return H;
  };
  TBitmap Screen;
  View->PaintToBitmap(Screen);
  const Integer OnScreenGap = Gap(*Screen.Canvas());
  ASSERT_LT(OnScreenGap, 20);
  auto Played = [&](const TChartMetafile& Meta) {
    auto B = std::make_unique<TBitmap>(W, H);
    B->SetPixelFormat(pf24bit);
    B->Canvas()->Brush()->SetColor(Magenta);
    B->Canvas()->FillRect({0, 0, W, H});
    Meta.Draw(*B->Canvas(), {0, 0, W, H});
    return B;
  };
  EXPECT_LE(Gap(*View->GenerateBitmap(W, H)->Canvas()), OnScreenGap + 2) << "bitmap";
  EXPECT_LE(Gap(*Played(*View->CreateMetaFile(W, H))->Canvas()), OnScreenGap + 2) << "metafile";
  TChartMetafile Printed(W, H);
  {
    TChartMetafileCanvas Canvas(Printed);
    View->PrintAllPanes(Canvas, {0, 0, W, H});
  }
  EXPECT_LE(Gap(*Played(Printed)->Canvas()), OnScreenGap + 2) << "print";
  const String File = Path("stacked.bmp");
  RemoveFile(File);
  View->SaveToImage(File, W, H, itBMP, 100);
  TBitmap Saved;
  Saved.LoadFromFile(File);
  ASSERT_EQ(Saved.Height(), H);
  EXPECT_LE(Gap(*Saved.Canvas()), OnScreenGap + 2) << "image file";
}

TEST_F(ViewFilesTest, TheMirrorFillsTheBottomMarginWithAFadedCopy) {
  TVivGDIPChartPane& P = AddAreaPane(*View);
  P.Margin().SetBottomMargin(50);
  Show();
  EXPECT_EQ(P.Chart().MirrorRect(P.Rectangle()).Height(), 0);  // no mirror asked for
  P.SetMirror(true);
  View->Refresh();
  const TRect M = P.Chart().MirrorRect(P.Rectangle());
  ASSERT_GT(M.Height(), 10);
  EXPECT_EQ(M.Left, P.SeriesRect().Left);
  TBitmap Shot(View->Width(), View->Height());
  Shot.SetPixelFormat(pf24bit);
  View->PaintTo(Shot.Canvas()->Handle(), 0, 0);
  const Integer X = (M.Left + M.Right) / 2;
  const TColor Top = Shot.Canvas()->Pixel(X, M.Top + 2), Bottom = Shot.Canvas()->Pixel(X, M.Bottom - 2);
  // Blue near the series area, fading to the view's white further down.
  EXPECT_GT(BlueOf(Top) - RedOf(Top), 60);
  EXPECT_LT(BlueOf(Bottom) - RedOf(Bottom), BlueOf(Top) - RedOf(Top));
  // Without a bottom margin there is nothing to fill.
  P.Margin().SetBottomMargin(0);
  EXPECT_EQ(P.Chart().MirrorRect(P.Rectangle()).Height(), 0);
}
