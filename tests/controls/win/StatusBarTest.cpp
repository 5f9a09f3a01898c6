#include "ControlsTestSupport.h"

namespace {

class StatusBarTest : public ControlsTest {
protected:
  TOxStatusBar* Bar() const { return Form->SBar; }
  // A small windowless control to put on a panel.
  TVivProgressBar* MakeGauge() {
    auto* gauge = new TVivProgressBar(Form);
    gauge->SetBounds(0, 0, 40, 10);
    return gauge;
  }
  std::vector<int> NativeParts() {
    int edges[8] = {};
    const int n = static_cast<int>(SendMessageW(Bar()->Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + n);
  }
  String NativeText(int Part) {
    wchar_t text[128] = {};
    SendMessageW(Bar()->Handle(), SB_GETTEXTW, Part, reinterpret_cast<LPARAM>(text));
    return reinterpret_cast<const Char*>(text);
  }
};

TEST_F(StatusBarTest, TheMainWindowsPanelsAndHostedBars) {
  ASSERT_EQ(Bar()->Panels()->Count(), 4);
  const Integer widths[] = {80, 117, 110, 50};
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(Bar()->Panel(i)->Width(), widths[i]);
  EXPECT_EQ(NativeParts(), (std::vector<int>{80, 197, 307, -1}));
  // The two bars are plain children placed over the second panel, not
  // attached to a panel: the layout leaves them where the form put them.
  EXPECT_EQ(Form->pbOccupe->Parent(), Bar());
  EXPECT_EQ(Form->Wait->Parent(), Bar());
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(Bar()->Panel(i)->Control(), nullptr);
  Bar()->Panel(0)->SetWidth(100);
  EXPECT_EQ(Form->pbOccupe->Left(), 82);
  EXPECT_TRUE(Bar()->ControlStyle().Contains(csAcceptsControls));
}

// A wider window: the whole bar is drawn again, so the size grip drawn at
// the old right edge does not stay in the middle of the last panel.
TEST_F(StatusBarTest, GrowingRedrawsTheOldGrip) {
  Form->Update();
  Bar()->Update();
  const Integer oldWidth = Bar()->Width();
  ASSERT_GT(oldWidth, 40);
  Form->SetWidth(Form->Width() + 120);
  ASSERT_EQ(Bar()->Width(), oldWidth + 120);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Bar()->Handle(), update, FALSE);
  EXPECT_TRUE(PtInRegion(update, oldWidth - 4, Bar()->ClientHeight() - 4));
  DeleteObject(update);
  Pump(50);
  Shoot(Form, L"statusbar-grown.bmp");
}

TEST_F(StatusBarTest, PanelControlsFollowTheirPanel) {
  TVivProgressBar* gauge = MakeGauge();
  Bar()->Panel(2)->SetControl(gauge);
  EXPECT_EQ(gauge->Parent(), Bar());
  EXPECT_EQ(gauge->Height(), Bar()->ClientHeight() - 4);
  EXPECT_EQ(gauge->Left(), 80 + 117 + 3);
  EXPECT_EQ(gauge->Top(), 3);
  Bar()->Panel(0)->SetWidth(100);
  EXPECT_EQ(gauge->Left(), 220);
  Bar()->Panel(2)->SetMarginLeft(10);
  Bar()->Panel(2)->SetMarginTop(1);
  EXPECT_EQ(gauge->BoundsRect().TopLeft(), (TPoint{227, 1}));
  // Widths changed through the native bar move the control too.
  int edges[4] = {60, 177, 287, -1};
  SendMessageW(Bar()->Handle(), SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
  EXPECT_EQ(gauge->Left(), 227);  // the panels' own widths did not change
}

TEST_F(StatusBarTest, AFreedControlLeavesItsPanel) {
  TVivProgressBar* gauge = MakeGauge();
  TVivProgressBar* shared = MakeGauge();
  Bar()->Panel(1)->SetControl(gauge);
  Bar()->Panel(2)->SetControl(shared);
  Bar()->Panel(3)->SetControl(shared);  // one control on two panels
  Bar()->Panel(2)->SetControl(nullptr);
  delete gauge;
  EXPECT_EQ(Bar()->Panel(1)->Control(), nullptr);
  delete shared;  // the bar still hears of it through panel 3
  EXPECT_EQ(Bar()->Panel(3)->Control(), nullptr);
  Bar()->Panel(0)->SetWidth(90);  // the next layout skips the empty panels
  Bar()->LayoutPanelControls();
}

TEST_F(StatusBarTest, TheBarCannotBeItsOwnPanelsControl) {
  try {
    Bar()->Panel(1)->SetControl(Bar());
    FAIL() << "no exception";
  } catch (const EOXCLException& e) {
    EXPECT_EQ(e.Message(), u"Invalid control selection");
  }
  EXPECT_EQ(Bar()->Panel(1)->Control(), nullptr);
}

TEST_F(StatusBarTest, AutomaticHintTakesOverTheBar) {
  Form->StartScan();  // the busy bar is shown, the usage bar hidden
  Bar()->Panel(0)->SetText(u"Connecté");
  Bar()->SetAutoHint(true);
  THintAction hint(nullptr);
  hint.SetHint(u"  Saving the settings  ");
  EXPECT_TRUE(Bar()->ExecuteAction(&hint));
  EXPECT_TRUE(Bar()->AutoHintShown());
  EXPECT_FALSE(Form->Wait->Visible());
  EXPECT_EQ(NativeParts(), std::vector<int>{-1});
  EXPECT_EQ(NativeText(0), u"Saving the settings");
  // Panel texts written meanwhile wait for the panels to come back.
  Bar()->Panel(0)->SetText(u"Terminé");
  // An empty hint gives the panels and exactly the hidden controls back.
  hint.SetHint(u"");
  EXPECT_TRUE(Bar()->ExecuteAction(&hint));
  EXPECT_FALSE(Bar()->AutoHintShown());
  EXPECT_TRUE(Form->Wait->Visible());
  EXPECT_FALSE(Form->pbOccupe->Visible());
  EXPECT_EQ(NativeParts().size(), 4u);
  EXPECT_EQ(NativeText(0), u"Terminé");
  // Any other action ends the hint as well; OnHint takes hints itself.
  hint.SetHint(u"again");
  Bar()->ExecuteAction(&hint);
  TAction other(nullptr);
  EXPECT_FALSE(Bar()->ExecuteAction(&other));
  EXPECT_FALSE(Bar()->AutoHintShown());
  int heard = 0;
  Bar()->OnHint = [&](TObject*) { ++heard; };
  EXPECT_FALSE(Bar()->ExecuteAction(&hint));
  EXPECT_EQ(heard, 1);
  EXPECT_FALSE(Bar()->AutoHintShown());
}

}  // namespace
