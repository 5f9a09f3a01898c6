// The bitmap selector: pictures of its own or by name from a container,
// fitted to their cells, and reported when picked with the mouse.
#include <gtest/gtest.h>

#include <string>

#include "WidgetsTestSupport.h"
#include "chart/widgets/win/VivIzudeBitmapSelector.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;

namespace {

TEST(BitmapSelectorFit, KeepsSmallPicturesAndShrinksLargeOnesInProportion) {
  struct TCase {
    float pw, ph, aw, ah, w, h;
  };
  const TCase Cases[] = {{16, 16, 30, 30, 16, 16}, {64, 32, 30, 30, 30, 15}, {32, 64, 30, 30, 15, 30},
                         {30, 10, 30, 30, 30, 10}, {0, 16, 30, 30, 0, 0},    {16, 16, 30, -1, 0, 0}};
  for (const TCase& C : Cases) {
    const TSizeF S = FitBitmapSize(C.pw, C.ph, C.aw, C.ah);
    EXPECT_FLOAT_EQ(S.cx, C.w) << C.pw << "x" << C.ph;
    EXPECT_FLOAT_EQ(S.cy, C.h) << C.pw << "x" << C.ph;
  }
}

TEST(BitmapSelector, PicksAContainerPictureByClickAndForgetsAFreedContainer) {
  auto Form = NewForm(300, 200);
  auto* C = new TVivIzudeBitmapContainer(Form.get());
  const String Dir = ScratchFolder(u"bitmapselector");
  SavePng(Dir + u"red.png", 20, 20, 0x0000FF);
  SavePng(Dir + u"wide.png", 64, 32, 0x00A000);
  C->AddFromFile(Dir + u"red.png", u"Red");
  C->AddFromFile(Dir + u"wide.png", u"Wide");
  auto* S = new TVivIzudeBitmapSelector(Form.get());
  S->SetParent(Form.get());
  S->SetLeft(10);
  S->SetTop(10);
  EXPECT_EQ(S->Width(), 135);
  EXPECT_EQ(S->Rows(), 4);
  EXPECT_EQ(S->Items()->Count(), 0);
  S->SetBitmapContainer(C);
  auto Own = MakePicture(16, 16, 0xFF0000);
  S->Items()->Add()->SetBitmapName(u"red");  // names ignore case
  S->Items()->Add()->SetBitmapName(u"Wide");
  S->Items()->Add()->SetBitmap(Own.get());
  S->Items()->Add()->SetBitmapName(u"missing");
  S->Items()->Items(3)->SetText(u"none");
  EXPECT_EQ(S->FindBitmapByItem(0), C->FindBitmap(u"Red"));
  EXPECT_EQ(S->FindBitmapByItem(2), S->Items()->Items(2)->Bitmap());
  EXPECT_EQ(S->FindBitmapByItem(3), nullptr);
  EXPECT_EQ(S->FindBitmapByItem(9), nullptr);
  EXPECT_EQ(S->FindItemByBitmap(C->FindBitmap(u"Wide")), 1);

  Form->Show();
  Application->ProcessMessages();
  TPicture* Got = nullptr;
  S->OnBitmapSelected = [&](TObject*, TPicture* P) { Got = P; };
  TVivIzudeCustomSelectorDisplayItem D;
  S->GetDisplayItem(1, D);
  const LPARAM At = MAKELPARAM(static_cast<int>((D.Rect.Left + D.Rect.Right) / 2),
                               static_cast<int>((D.Rect.Top + D.Rect.Bottom) / 2));
  ::SendMessageW(S->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
  ::SendMessageW(S->Handle(), WM_LBUTTONUP, 0, At);
  EXPECT_EQ(S->SelectedItemIndex(), 1);
  EXPECT_EQ(Got, C->FindBitmap(u"Wide"));
  EXPECT_EQ(S->SelectedBitmap(), Got);

  Form->Repaint();
  Application->ProcessMessages();
  auto Shot = testsupport::WindowSurfaceImage(Form->Handle());
  Shot->SetPixelFormat(pf24bit);
  testsupport::SavePng(Shot.get(), u"bitmap-selector.png");

  delete C;
  EXPECT_EQ(S->BitmapContainer(), nullptr);
  EXPECT_EQ(S->FindBitmapByItem(0), nullptr);
  EXPECT_EQ(S->FindBitmapByItem(2), S->Items()->Items(2)->Bitmap());
  Form.reset();
  Application->ProcessMessages();
}

}  // namespace
