// The colour selector's palettes and modes, picked with the mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WidgetsTestSupport.h"
#include "chart/widgets/win/VivIzudeColorSelector.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;

namespace {

struct ColorSelectorTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(300, 220);
    S = new TVivIzudeColorSelector(Form.get());
    S->SetParent(Form.get());
    S->SetLeft(10);
    S->SetTop(10);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  void ClickItem(Integer I) {
    TVivIzudeCustomSelectorDisplayItem D;
    S->GetDisplayItem(I, D);
    ClickAt(D.Rect);
  }
  // A click at the centre of R as the selector shows it.
  void ClickAt(const TRectF& R) {
    const LPARAM At = MAKELPARAM(static_cast<int>((R.Left + R.Right) / 2), static_cast<int>((R.Top + R.Bottom) / 2));
    ::SendMessageW(S->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
    ::SendMessageW(S->Handle(), WM_LBUTTONUP, 0, At);
  }
  TFormPtr Form;
  TVivIzudeColorSelector* S = nullptr;
};

TEST_F(ColorSelectorTest, EachModeBuildsItsGridAndSize) {
  EXPECT_EQ(S->Items()->Count(), 0);  // made at run time: no items yet
  EXPECT_EQ(S->SelectedColor(), -1);
  S->SetMode(csmExtendedMore);
  ASSERT_EQ(S->Items()->Count(), 43);
  EXPECT_EQ(S->Width(), 200);
  EXPECT_EQ(S->Height(), 175);
  EXPECT_EQ(S->Columns(), 8);
  EXPECT_EQ(S->Rows(), 7);
  EXPECT_EQ(S->Items()->Items(0)->Text(), u"Automatic");
  EXPECT_EQ(S->Items()->Items(41)->Text(), u"More Colors...");
  EXPECT_FALSE(S->Items()->Items(41)->CanSelect());
  EXPECT_FALSE(S->Items()->Items(42)->Visible());
  EXPECT_EQ(S->Items()->Items(7)->Color(), 0x333335);  // (53, 51, 51)
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(41, D);
  EXPECT_EQ(D.Row, 6);
  EXPECT_EQ(D.ColumnSpan, 8);

  S->SetMode(csmExtended);
  EXPECT_EQ(S->Items()->Count(), 40);
  EXPECT_EQ(S->Rows(), 5);
  S->SetMode(csmSimple);
  EXPECT_EQ(S->Items()->Count(), 16);
  EXPECT_EQ(S->Width(), 135);
  EXPECT_EQ(S->Height(), 135);
}

TEST_F(ColorSelectorTest, SelectedColorFindsTheFirstSelectableItemOrTheHiddenOne) {
  S->SetMode(csmExtendedMore);
  S->SetSelectedColor(0);
  EXPECT_EQ(S->SelectedItemIndex(), 0);  // "Automatic", not the black swatch
  S->SetSelectedColor(0x123456);
  EXPECT_EQ(S->SelectedItemIndex(), 42);
  EXPECT_EQ(S->SelectedColor(), 0x123456);
  EXPECT_EQ(S->FindColorByItem(-1), -1);
  S->SetMode(csmExtended);
  S->SetMode(csmSimple);
  S->SetSelectedColor(0);
  EXPECT_EQ(S->SelectedItemIndex(), 0);
  S->SetSelectedColor(0x123456);
  EXPECT_EQ(S->SelectedItemIndex(), -1);
}

TEST_F(ColorSelectorTest, AClickOnASwatchReportsItsColourOnceAndMoreColorsSelectsNothing) {
  S->SetMode(csmExtendedMore);
  Form->Show();
  Application->ProcessMessages();
  std::vector<TColor> Picked;
  std::vector<Integer> Clicks;
  S->OnColorSelected = [&](TObject*, TColor C) { Picked.push_back(C); };
  S->OnItemClick = [&](TObject*, Integer I) { Clicks.push_back(I); };
  ClickItem(17);  // row 3 of the palette, first colour: red
  EXPECT_EQ(S->SelectedColor(), 0x0000FF);
  EXPECT_EQ(Picked, (std::vector<TColor>{0x0000FF}));
  ClickItem(41);
  EXPECT_EQ(S->SelectedItemIndex(), 17);
  EXPECT_EQ(Clicks, (std::vector<Integer>{17, 41}));

  Form->Repaint();
  Application->ProcessMessages();
  auto Shot = testsupport::WindowSurfaceImage(Form->Handle());
  Shot->SetPixelFormat(pf24bit);
  testsupport::SavePng(Shot.get(), u"color-selector.png");
}

// What the selector shows at an item's centre, its colour swatch or not.
TColor ShownAt(TVivIzudeColorSelector* S, const TRectF& R) {
  S->Repaint();
  testsupport::PumpMessagesFor(30);
  return testsupport::ClientSurfaceImage(S)->Canvas()->Pixel(static_cast<Integer>((R.Left + R.Right) / 2),
                                                             static_cast<Integer>((R.Top + R.Bottom) / 2));
}

TEST_F(ColorSelectorTest, WithoutRowsOrColumnsItShowsNoSwatchAndStillPaints) {
  S->SetMode(csmExtended);
  S->SetMode(csmSimple);
  Form->Show();
  Application->ProcessMessages();
  TVivIzudeCustomSelectorDisplayItem Red;
  S->GetDisplayItem(9, Red);
  ASSERT_EQ(ShownAt(S, Red.Rect), 0x0000FF);
  for (auto [Rows, Columns] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{0, 0}}) {
    SCOPED_TRACE(std::to_string(Rows) + " x " + std::to_string(Columns));
    S->SetRows(Rows);
    S->SetColumns(Columns);
    EXPECT_EQ(S->PageCount(), 0);
    EXPECT_NE(ShownAt(S, Red.Rect), 0x0000FF);  // painted, and no swatch
    EXPECT_EQ(S->XYToItem((Red.Rect.Left + Red.Rect.Right) / 2, (Red.Rect.Top + Red.Rect.Bottom) / 2), -1);
    S->SetRows(4);
    S->SetColumns(4);
    EXPECT_EQ(ShownAt(S, Red.Rect), 0x0000FF);
  }
}

TEST_F(ColorSelectorTest, ASecondPageShowsItsSwatchesAndTheyCanBePicked) {
  S->SetMode(csmExtended);
  S->SetMode(csmSimple);
  const TColor Extra[] = {0x123456, 0x2468AC, 0x0080FF, 0x40C080};
  for (TColor C : Extra) S->Items()->Add()->SetColor(C);
  ASSERT_EQ(S->PageCount(), 2);
  Form->Show();
  Application->ProcessMessages();
  // The second page's cells sit where the first page's do.
  TVivIzudeCustomSelectorDisplayItem First, Last;
  S->GetDisplayItem(0, First);
  S->GetDisplayItem(3, Last);
  S->SetSelectedColor(0x2468AC);
  EXPECT_EQ(S->SelectedItemIndex(), 17);
  EXPECT_EQ(S->ActivePageIndex(), 1);
  EXPECT_EQ(ShownAt(S, First.Rect), 0x123456);
  EXPECT_EQ(ShownAt(S, Last.Rect), 0x40C080);
  std::vector<TColor> Picked;
  S->OnColorSelected = [&](TObject*, TColor C) { Picked.push_back(C); };
  ClickAt(First.Rect);
  EXPECT_EQ(S->SelectedColor(), 0x123456);
  EXPECT_EQ(Picked, (std::vector<TColor>{0x123456}));
  S->SetSelectedColor(0x0000FF);  // back on the first page
  EXPECT_EQ(S->ActivePageIndex(), 0);
  EXPECT_EQ(ShownAt(S, First.Rect), 0x000000);
}

}  // namespace
