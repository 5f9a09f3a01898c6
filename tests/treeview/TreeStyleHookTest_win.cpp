// The trees' styled scroll bars: the hook exists only while a custom style
// is active; then its windows lie exactly over the tree's bars, show them
// in the style's colours and a thumb drag made of real mouse messages
// scrolls the tree. A screenshot of the styled bars is saved for people.
#include <gtest/gtest.h>

#include <map>

#include "TreeWindowTest_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "treeview/VastDrawTree_win.h"
#include "treeview/VastTreeScrollTrack.h"
#include "treeview/VastTreeStyleHooks_win.h"
#include "vcl/Pictures.h"
#include "vcl/Themes.h"

namespace {

// A style that paints every part in a flat colour of its own and counts
// what it was asked to draw.
class TFlatStyle : public TCustomStyleServices {
public:
  bool IsSystemStyle() const override { return false; }
  bool Available() const override { return true; }
  void DrawElement(HDC DC, TThemedScrollBar Details, const TRect& R) override {
    ++Drawn[Details];
    HBRUSH Brush = CreateSolidBrush(ColourOf(Details));
    RECT Rect{R.Left, R.Top, R.Right, R.Bottom};
    FillRect(DC, &Rect, Brush);
    DeleteObject(Brush);
  }
  static COLORREF ColourOf(TThemedScrollBar Details) {
    switch (Details) {
      case tsUpperTrackVertNormal:
      case tsUpperTrackHorzNormal:
        return RGB(0xE8, 0xD8, 0xF0);
      case tsThumbBtnVertNormal:
        return RGB(0x60, 0x30, 0x90);
      case tsThumbBtnVertHot:
        return RGB(0x90, 0x50, 0xC0);
      case tsThumbBtnVertPressed:
        return RGB(0xD0, 0x40, 0x40);
      default:
        return RGB(0x40, 0x80, 0x40);
    }
  }
  std::map<TThemedScrollBar, int> Drawn;
};

class TStyledTreeForm : public TForm {
public:
  explicit TStyledTreeForm(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"StyledTreeForm");
    SetCaption(u"Quorvel styled scroll bars");
    SetClientSize(320, 240);
    Tree = new TVastStringTree(this);
    Tree->SetName(u"Tree");
    Tree->SetBounds(10, 10, 220, 200);
    Tree->OnGetText = [](TBaseVastTree*, PVastNode Node, TColumnIndex, TVSTTextType, String& Text) {
      Text = u"Row " + String(1, static_cast<char16_t>(u'A' + Node->Index % 26));
    };
    Tree->SetParent(this);
    Draw = new TVastDrawTree(this);
    Draw->SetName(u"Draw");
    Draw->SetBounds(240, 10, 70, 60);
    Draw->SetParent(this);
  }
  void Populate() {
    Tree->SetRootNodeCount(400);
    Draw->SetRootNodeCount(2);
  }
  TVastStringTree* Tree;
  TVastDrawTree* Draw;
};

class TTreeStyleHookTest : public TTreeWindowTest<TStyledTreeForm> {
protected:
  // The trees' background work finishes before they go (as the other
  // window fixtures let it).
  void TearDown() override {
    Pump(100);
    CloseForm();
    SetStyleServices(nullptr);
  }
  TVclStyleScrollBarsHook* Hook() const { return dynamic_cast<TVclStyleScrollBarsHook*>(Tree->StyleHook()); }
  HWND Wnd() const { return Tree->Handle(); }
  SCROLLBARINFO BarInfo(LONG Bar) const {
    SCROLLBARINFO Info{};
    Info.cbSize = sizeof Info;
    EXPECT_TRUE(GetScrollBarInfo(Wnd(), Bar, &Info));
    return Info;
  }
  static RECT ScreenRect(HWND W) {
    RECT R{};
    GetWindowRect(W, &R);
    return R;
  }
  static LPARAM Pt(LONG X, LONG Y) { return MAKELPARAM(static_cast<WORD>(X), static_cast<WORD>(Y)); }
  // Puts the cursor at the screen point P and tells the tree as a mouse
  // message with P in the coordinates that message carries.
  void Mouse(UINT Msg, WPARAM Keys, POINT P) {
    SetCursorPos(P.x, P.y);
    if (Msg == WM_MOUSEMOVE || Msg == WM_LBUTTONUP) ScreenToClient(Wnd(), &P);
    SendMessageW(Wnd(), Msg, Keys, Pt(P.x, P.y));
  }
  // The scroll message waiting in the queue for the tree (taken out), or 0.
  WPARAM TakeScrollMessage() {
    MSG M{};
    return PeekMessageW(&M, Wnd(), WM_VSCROLL, WM_VSCROLL, PM_REMOVE) ? M.wParam : 0;
  }

  // What the screen shows over the form, as a PNG for people to look at.
  void SavePng(const char16_t* File) {
    Form->Update();
    Pump(80);
    auto Shot = testsupport::ScreenImageOfWindow(Form->Handle(), SRCCOPY | CAPTUREBLT);
    TPngImage Png;
    Png.Assign(Shot.get());
    Png.SaveToFile(File);
    EXPECT_NE(GetFileAttributesW(reinterpret_cast<const wchar_t*>(File)), INVALID_FILE_ATTRIBUTES);
  }

  TFlatStyle Style;
};

TEST_F(TTreeStyleHookTest, WithThePlatformsOwnLookNoTreeGetsAHook) {
  ShowForm();
  EXPECT_EQ(Tree->StyleHook(), nullptr);
  EXPECT_EQ(Form->Draw->StyleHook(), nullptr);
  EXPECT_TRUE(StyleServices().IsSystemStyle());
}

TEST_F(TTreeStyleHookTest, WithACustomStyleBothTreeKindsGetTheHookAndOthersDoNot) {
  SetStyleServices(&Style);
  ShowForm();
  ASSERT_NE(Hook(), nullptr);
  EXPECT_NE(dynamic_cast<TVclStyleScrollBarsHook*>(Form->Draw->StyleHook()), nullptr);
  EXPECT_EQ(Form->StyleHook(), nullptr);
  EXPECT_EQ(Hook()->VertSliderState(), tsThumbBtnVertNormal);
  EXPECT_EQ(Hook()->VertUpState(), tsArrowBtnUpNormal);
  EXPECT_EQ(Hook()->HorzDownState(), tsArrowBtnRightNormal);
}

TEST_F(TTreeStyleHookTest, ScrollWindowsLieExactlyOverTheBarsAndShowTheStyle) {
  SetStyleServices(&Style);
  ShowForm();
  ASSERT_NE(Hook(), nullptr);
  Pump(50);
  // Only a vertical bar: the horizontal window stays hidden and unpainted.
  HWND Vert = Hook()->VertScrollWindow()->Handle();
  HWND Horz = Hook()->HorzScrollWindow()->Handle();
  EXPECT_FALSE(IsWindowVisible(Horz));
  ASSERT_TRUE(IsWindowVisible(Vert));
  EXPECT_EQ(GetParent(Vert), GetParent(Wnd()));
  const RECT Bar = BarInfo(OBJID_VSCROLL).rcScrollBar;
  const RECT Over = ScreenRect(Vert);
  EXPECT_EQ(Over.left, Bar.left);
  EXPECT_EQ(Over.top, Bar.top);
  EXPECT_EQ(Over.right, Bar.right);
  EXPECT_EQ(Over.bottom, Bar.bottom);
  EXPECT_GT(Style.Drawn[tsThumbBtnVertNormal], 0);
  EXPECT_GT(Style.Drawn[tsArrowBtnUpNormal], 0);
  EXPECT_EQ(Style.Drawn[tsUpperTrackHorzNormal], 0);
  // The window is transparent to the mouse: the tree below gets it.
  EXPECT_EQ(SendMessageW(Vert, WM_NCHITTEST, 0, Pt(Over.left + 2, Over.top + 2)), HTTRANSPARENT);
  // The screen shows the style's colours where the bar is.
  const SCROLLBARINFO Info = BarInfo(OBJID_VSCROLL);
  HDC Screen = GetDC(nullptr);
  const COLORREF Thumb =
      GetPixel(Screen, (Bar.left + Bar.right) / 2, Bar.top + (Info.xyThumbTop + Info.xyThumbBottom) / 2);
  const COLORREF Track = GetPixel(Screen, (Bar.left + Bar.right) / 2, Bar.bottom - Info.dxyLineButton - 2);
  ReleaseDC(nullptr, Screen);
  EXPECT_EQ(Thumb, TFlatStyle::ColourOf(tsThumbBtnVertNormal));
  EXPECT_EQ(Track, TFlatStyle::ColourOf(tsUpperTrackVertNormal));

  // The header takes the top of the tree: the window follows the bar down.
  Tree->Header().SetOptions(Tree->Header().Options() + TVTHeaderOptions{hoVisible});
  Pump(50);
  const RECT Lower = BarInfo(OBJID_VSCROLL).rcScrollBar;
  const RECT Moved = ScreenRect(Vert);
  EXPECT_GT(Lower.top, Bar.top);
  EXPECT_EQ(Moved.top, Lower.top);
  EXPECT_EQ(Moved.bottom, Lower.bottom);
}

TEST_F(TTreeStyleHookTest, ThumbDragPostsThumbPositionsAndScrollsTheTree) {
  SetStyleServices(&Style);
  ShowForm();
  ASSERT_NE(Hook(), nullptr);
  Pump(50);
  SetForegroundWindow(Form->Handle());
  const SCROLLBARINFO Info = BarInfo(OBJID_VSCROLL);
  SCROLLINFO Range{};
  Range.cbSize = sizeof Range;
  Range.fMask = SIF_ALL;
  GetScrollInfo(Wnd(), SB_VERT, &Range);
  ASSERT_EQ(Range.nPos, 0);
  const Integer Usable = UsableScrollMax({Range.nMin, Range.nMax, Range.nPage});
  const Integer Track = (Info.rcScrollBar.bottom - Info.rcScrollBar.top) - 2 * Info.dxyLineButton;
  const Integer Free = Track - (Info.xyThumbBottom - Info.xyThumbTop);
  ASSERT_GT(Free, 0);
  const POINT Grip{(Info.rcScrollBar.left + Info.rcScrollBar.right) / 2,
                   Info.rcScrollBar.top + (Info.xyThumbTop + Info.xyThumbBottom) / 2};

  // Hovering the thumb makes it hot; leaving the frame cools it.
  Mouse(WM_NCMOUSEMOVE, HTVSCROLL, Grip);
  EXPECT_EQ(Hook()->VertSliderState(), tsThumbBtnVertHot);
  SendMessageW(Wnd(), WM_NCMOUSELEAVE, 0, 0);
  EXPECT_EQ(Hook()->VertSliderState(), tsThumbBtnVertNormal);

  Mouse(WM_NCLBUTTONDOWN, HTVSCROLL, Grip);
  EXPECT_EQ(Hook()->VertSliderState(), tsThumbBtnVertPressed);
  EXPECT_EQ(GetCapture(), Wnd());

  // Half the free track: half the usable range (rounded halves to even).
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, {Grip.x, Grip.y + Free / 2});
  WPARAM Posted = TakeScrollMessage();
  EXPECT_EQ(LOWORD(Posted), SB_THUMBPOSITION);
  EXPECT_EQ(HIWORD(Posted), ThumbMessagePos(static_cast<double>(Free / 2) / Free * Usable));

  // The whole free track and beyond: the usable maximum, posted and
  // reached by the tree.
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, {Grip.x, Grip.y + Free + 40});
  Posted = TakeScrollMessage();
  EXPECT_EQ(LOWORD(Posted), SB_THUMBPOSITION);
  EXPECT_EQ(HIWORD(Posted), Usable);
  SendMessageW(Wnd(), WM_VSCROLL, Posted, 0);
  EXPECT_EQ(Tree->OffsetY(), -Usable);
  EXPECT_EQ(GetScrollPos(Wnd(), SB_VERT), Usable);
  SavePng(u"treeview_styled_scroll_bars.png");

  Mouse(WM_LBUTTONUP, 0, {Grip.x, Grip.y + Free + 40});
  EXPECT_EQ(LOWORD(TakeScrollMessage()), SB_ENDSCROLL);
  EXPECT_EQ(Hook()->VertSliderState(), tsThumbBtnVertNormal);
  EXPECT_NE(GetCapture(), Wnd());
  Pump(30);
  EXPECT_EQ(Tree->OffsetY(), -Usable);
}

TEST_F(TTreeStyleHookTest, PressesInTheHeaderLeaveTheBarsAlone) {
  SetStyleServices(&Style);
  ShowForm();
  ASSERT_NE(Hook(), nullptr);
  Tree->Header().SetOptions(Tree->Header().Options() + TVTHeaderOptions{hoVisible});
  Pump(50);
  // The header strip spans the bar's column too: press right above the bar.
  const RECT Bar = BarInfo(OBJID_VSCROLL).rcScrollBar;
  const POINT InHeader{(Bar.left + Bar.right) / 2, Bar.top - Tree->Header().Height() / 2};
  Mouse(WM_NCMOUSEMOVE, HTBORDER, InHeader);
  Mouse(WM_NCLBUTTONDOWN, HTBORDER, InHeader);
  Mouse(WM_NCLBUTTONUP, HTBORDER, InHeader);
  EXPECT_EQ(Hook()->VertSliderState(), tsThumbBtnVertNormal);
  EXPECT_EQ(Hook()->VertUpState(), tsArrowBtnUpNormal);
  EXPECT_EQ(Hook()->VertDownState(), tsArrowBtnDownNormal);
  EXPECT_NE(GetCapture(), Wnd());
  // Just below, over the up button, the same move makes it hot.
  const POINT Up{InHeader.x, Bar.top + 3};
  SetCursorPos(Up.x, Up.y);
  SendMessageW(Wnd(), WM_NCMOUSEMOVE, HTVSCROLL, Pt(Up.x, Up.y));
  EXPECT_EQ(Hook()->VertUpState(), tsArrowBtnUpHot);
}

}  // namespace
