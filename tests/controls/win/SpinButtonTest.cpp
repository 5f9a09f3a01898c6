#include "ControlsTestSupport.h"
#include "controls/win/OxOXCLUtils.h"

namespace {

class SpinButtonTest : public ControlsTest {};

TEST_F(SpinButtonTest, EditsOfOneHeightShareOneGlyphSet) {
  TSpinButtonBitmapsManager* manager = TSpinButtonBitmapsManager::Shared();
  ASSERT_NE(manager, nullptr);
  EXPECT_GE(manager->ClientCount(), 2);
  ASSERT_NE(Form->sePort->Button()->ButtonBitmaps(), nullptr);  // painted once shown
  EXPECT_EQ(Form->sePort->Button()->ButtonBitmaps(), Form->seDispo->Button()->ButtonBitmaps());
  EXPECT_EQ(Form->sePort->Button()->ButtonBitmaps()->ClientCount(), 2);
  // Another size gets a set of its own; dropping it frees it.
  const Integer sets = manager->SetCount();
  Form->seDispo->SetHeight(30);
  Pump(50);
  EXPECT_NE(Form->sePort->Button()->ButtonBitmaps(), Form->seDispo->Button()->ButtonBitmaps());
  EXPECT_EQ(manager->SetCount(), sets + 1);
  Form->seDispo->SetHeight(21);
  Pump(50);
  EXPECT_EQ(manager->SetCount(), sets);
  // With every spin button gone, the sets and the manager go too.
  delete Form;
  Form = nullptr;
  EXPECT_EQ(TSpinButtonBitmapsManager::Shared(), nullptr);
}

TEST_F(SpinButtonTest, DiagonalButtonSplitsAlongItsDiagonal) {
  auto* button = new TOxSpinButton(Form);
  button->SetBounds(300, 60, 20, 20);
  button->SetParent(Form);
  int top = 0, bottom = 0;
  button->OnTopClick = [&](TObject*) { ++top; };
  button->OnBottomClick = [&](TObject*) { ++bottom; };
  auto press = [&](Integer X, Integer Y) {
    const LPARAM at = MAKELPARAM(300 + X, 60 + Y);
    SendMessageW(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, at);
  };
  press(15, 15);
  EXPECT_EQ(bottom, 1);
  press(5, 5);
  EXPECT_EQ(top, 1);
  // A disabled button ignores presses.
  button->SetEnabled(false);
  press(5, 5);
  EXPECT_EQ(top, 1);
}

TEST_F(SpinButtonTest, AClickThatOpensADialogLeavesTheButtonReleased) {
  auto* button = new TOxSpinButton(Form);
  button->SetBounds(300, 60, 20, 20);
  button->SetParent(Form);
  // What a modal dialog does to the mouse: the capture goes elsewhere.
  button->OnTopClick = [](TObject*) { ReleaseCapture(); };
  SendMessageW(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(305, 65));
  EXPECT_EQ(button->Down(), sbNotDown);
}

TEST_F(SpinButtonTest, ClassicFacesCarryTheArrows) {
  Pump(30);
  TSpinButtonBitmaps* set = Form->sePort->Button()->ButtonBitmaps();
  ASSERT_NE(set, nullptr);
  EXPECT_FALSE(set->IsThemed());  // Wine runs without visual styles
  TBitmap face(set->Width(), set->Height());
  set->Draw(*face.Canvas(), sbNotDown, true, false, false);
  face.SaveToFile(u"spin_button_face.bmp");
  // Inside each half's edges (2 pixels) there is a black arrow.
  const Integer half = set->Height() / 2;
  auto hasBlack = [&](Integer Top, Integer Bottom) {
    for (Integer y = Top; y < Bottom; ++y)
      for (Integer x = 2; x < face.Width() - 2; ++x)
        if (face.Canvas()->Pixel(x, y) == clBlack) return true;
    return false;
  };
  EXPECT_TRUE(hasBlack(2, half - 2));
  EXPECT_TRUE(hasBlack(half + 2, set->Height() - 2));
  // Disabled, the arrows are embossed: no black left.
  set->Draw(*face.Canvas(), sbNotDown, false, false, false);
  EXPECT_FALSE(hasBlack(2, half - 2));
  EXPECT_FALSE(hasBlack(half + 2, set->Height() - 2));
}

TEST_F(SpinButtonTest, DisabledGlyphIsEmbossed) {
  TBitmap& pole = SpinGlyph(L"OxSpinUPPOLE");
  ASSERT_EQ(pole.Width(), 7);
  ASSERT_EQ(pole.Height(), 4);
  std::unique_ptr<TBitmap> disabled = RenderDisabledGlyph(pole, clWhite);
  TCanvas* c = disabled->Canvas();
  EXPECT_EQ(c->Pixel(3, 0), ColorToRGB(clBtnShadow));  // the tip, in shadow
  EXPECT_EQ(c->Pixel(0, 0), ColorToRGB(clBtnFace));    // background
  EXPECT_EQ(c->Pixel(4, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(c->Pixel(1, 1), ColorToRGB(clBtnFace));
  EXPECT_EQ(c->Pixel(5, 2), ColorToRGB(clBtnShadow));
  // The highlight copy one pixel down and right shows where the shadow
  // does not cover it.
  std::unique_ptr<TBitmap> up = RenderDisabledGlyph(SpinGlyph(L"OxSpinUP"), clWhite);
  EXPECT_EQ(up->Canvas()->Pixel(4, 3), ColorToRGB(clBtnHighlight));
}

}  // namespace
