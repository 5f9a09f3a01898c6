// The charts beyond the pie, painted through GDI+ in shown views and saved
// as PNG files for a person to look at (gallery-*.png beside the test
// program), with probes of the painting state and of pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

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
    for (Integer I = 0; I < Series.Count(); ++I) EXPECT_FALSE(Series[I].DrawValuesDP.empty()) << E.Name << " serie " << I;
    delete View;
  }
}
