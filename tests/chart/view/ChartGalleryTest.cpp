// The charts beyond the pie, painted through GDI+ in shown views and saved
// as PNG files for a person to look at (gallery-*.png beside the test
// program), with probes of the painting state and of pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "ChartGallery.h"
#include "ChartViewTestSupport.h"

using namespace chartview_test;

namespace {
struct ChartGalleryTest : ::testing::Test {
  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TForm>(Application));
    Form->SetClientWidth(640);
    Form->SetClientHeight(420);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TVivGDIPChartView* Show(TGalleryKind Kind) {
    TVivGDIPChartView* View = CreateGalleryView(Form.get(), Kind);
    View->SetParent(Form.get());
    View->SetAlign(alClient);
    Form->Show();
    Application->ProcessMessages();
    return View;
  }
  // The view as painted, with the tracker window painted over it where it
  // stands on the screen.
  std::unique_ptr<TBitmap> Snapshot(TVivGDIPChartView& View) {
    auto B = std::make_unique<TBitmap>(View.Width(), View.Height());
    B->SetPixelFormat(pf24bit);
    View.PaintTo(B->Canvas()->Handle(), 0, 0);
    if (TTrackerForm* F = View.Tracker().TrackerForm(); F && F->Visible()) {
      TTrackerList& L = F->TrackerList();
      const TPoint At = View.ScreenToClient(L.ClientToScreen({0, 0}));
      L.PaintTo(B->Canvas()->Handle(), At.X, At.Y);
    }
    return B;
  }
  // The mouse over the view at X, Y.
  static void MoveTo(TVivGDIPChartView& View, Integer X, Integer Y) {
    SendMessageW(View.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    Application->ProcessMessages();
  }
  void Save(TBitmap& Picture, const char* Name) {
    const String File = String(Name, Name + std::strlen(Name)) + u".png";
    SaveBitmapToImage(Picture.Handle(), File, itPNG, 100);
    RecordProperty(Name, Narrow(FullPath(File)));
  }
  std::unique_ptr<TCustomForm, TFormDeleter> Form;
};
}  // namespace

namespace {
bool Greyish(TColor C) {
  const int R = RedOf(C), G = GreenOf(C), B = BlueOf(C);
  return std::abs(R - G) <= 8 && std::abs(G - B) <= 8 && R >= 170 && R <= 235;
}
bool Ink(TColor C) { return !Greyish(C) && (RedOf(C) < 240 || GreenOf(C) < 240 || BlueOf(C) < 240); }
}  // namespace

TEST_F(ChartGalleryTest, EveryKindIsPaintedAndSaved) {
  for (const TGalleryEntry& E : GalleryEntries()) {
    TVivGDIPChartView* View = Show(E.Kind);
    // The crosshair two thirds across the series area.
    TVivGDIPChartPane& P = *View->Panes().Items(0);
    const TRect SR = P.SeriesRect();
    MoveTo(*View, SR.Left + SR.Width() * 2 / 3, SR.Top + SR.Height() / 2);
    auto Picture = Snapshot(*View);
    Save(*Picture, E.Name);
    TVivGDIPChartSeries& Series = View->Panes().Items(0)->Series();
    for (Integer I = 0; I < Series.Count(); ++I)
      EXPECT_FALSE(Series[I].DrawValuesDP.empty()) << E.Name << " serie " << I;
    TCanvas& C = *Picture->Canvas();

    // Horizontal grid lines: rows of the series area that turn grey across
    // a good part of its width when the y grid is shown, and not without it.
    P.YGrid().SetVisible(false);
    auto Bare = Snapshot(*View);
    P.YGrid().SetVisible(true);
    Integer GridRows = 0;
    for (Integer Y = SR.Top + 1; Y < SR.Bottom - 1; ++Y) {
      Integer Grey = 0, Samples = 0;
      for (Integer X = SR.Left + 1; X < SR.Right - 1; X += 3, ++Samples)
        if (Greyish(C.Pixel(X, Y)) && C.Pixel(X, Y) != Bare->Canvas()->Pixel(X, Y)) ++Grey;
      if (Grey * 4 >= Samples) ++GridRows;
    }
    EXPECT_GE(GridRows, 2) << E.Name;  // the areas leave two lines above them

    // The first serie where its points are: its ink (neither the white
    // ground nor the light grey of the grids) within 3 pixels of most of
    // its draw points, away from the legend, the zoom strip and the tracker.
    std::vector<TRect> Covered = {P.Chart().Legend().GetRectangle(), P.ZoomControlRect()};
    if (TTrackerForm* F = View->Tracker().TrackerForm(); F && F->Visible()) {
      TTrackerList& L = F->TrackerList();
      const TPoint At = View->ScreenToClient(L.ClientToScreen({0, 0}));
      Covered.push_back(Bounds(At.X, At.Y, L.Width(), L.Height()));
    }
    Integer Probed = 0, Found = 0;
    for (const TPoint& Pt : Series[0].DrawValuesDP) {
      const TRect Near{Pt.X - 8, Pt.Y - 8, Pt.X + 9, Pt.Y + 9};
      if (!SR.Contains(Pt) || std::any_of(Covered.begin(), Covered.end(), [&](const TRect& R) {
            return Near.Left < R.Right + 1 && R.Left - 1 < Near.Right && Near.Top < R.Bottom + 1 &&
                   R.Top - 1 < Near.Bottom;
          }))
        continue;
      ++Probed;
      bool Hit = false;
      for (Integer Dy = -3; Dy <= 3 && !Hit; ++Dy)
        for (Integer Dx = -3; Dx <= 3 && !Hit; ++Dx) Hit = Ink(C.Pixel(Pt.X + Dx, Pt.Y + Dy));
      if (Hit) ++Found;
    }
    EXPECT_GE(Probed, 3) << E.Name;
    EXPECT_GE(Found * 5, Probed * 4) << E.Name << ": " << Found << " of " << Probed;
    delete View;
  }
}
