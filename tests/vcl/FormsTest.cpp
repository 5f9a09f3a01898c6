#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "VclTestSupport.h"
#include "rtl/SysUtils.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace {

class FormsTest : public TApplicationTest {
protected:
  // Runs the message loop until Done() or the time-out; answers Done().
  static bool RunUntil(const std::function<bool()>& Done, int TimeoutMs = 3000) {
    return testsupport::PumpMessagesUntil(Done, TimeoutMs);
  }
};

struct TFormDeleter {
  void operator()(TCustomForm* Form) const { delete Form; }
};
template <class T>
using TFormPtr = std::unique_ptr<T, TFormDeleter>;

template <class T>
TFormPtr<T> MakeForm() {
  return TFormPtr<T>(TCustomForm::Create<T>(Application));
}

LRESULT Send(TWinControl* Control, UINT Msg, WPARAM W, LPARAM L) { return SendMessageW(Control->Handle(), Msg, W, L); }

TEST_F(FormsTest, DemoFormLaysOutItsChildrenAndFollowsResizes) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  ASSERT_TRUE(form->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(form->ClientWidth(), 640);
  EXPECT_EQ(form->ClientHeight(), 400);

  auto check = [&](Integer w, Integer h) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    EXPECT_EQ(form->ToolPanel->BoundsRect(), Bounds(0, 0, w, 32));
    EXPECT_EQ(form->StatusPanel->BoundsRect(), Bounds(0, h - 22, w, 22));
    EXPECT_EQ(form->LeftPanel->BoundsRect(), Bounds(0, 32, 150, h - 54));
    EXPECT_EQ(form->Splitter->BoundsRect(), Bounds(150, 32, 3, h - 54));
    EXPECT_EQ(form->PaintBox->BoundsRect(), Bounds(156, 35, w - 159, h - 60));
    // The windows themselves are where the objects say.
    RECT r;
    GetWindowRect(form->PaintBox->Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), form->PaintBox->BoundsRect());
  };
  check(640, 400);

  int resizes = 0;
  form->OnResize = [&](TObject*) { ++resizes; };
  const Integer frameW = form->Width() - form->ClientWidth(), frameH = form->Height() - form->ClientHeight();
  SetWindowPos(form->Handle(), nullptr, 0, 0, 800 + frameW, 500 + frameH, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(form->ClientWidth(), 800);
  EXPECT_EQ(form->ClientHeight(), 500);
  EXPECT_GE(resizes, 1);
  check(800, 500);

  // Hiding the status panel gives its room to the others.
  form->StatusPanel->Hide();
  EXPECT_EQ(form->LeftPanel->Height(), 500 - 32);
  form->StatusPanel->Show();
  check(800, 500);
}

TEST_F(FormsTest, ScreenCentredFormIsInTheMiddleOfTheWorkArea) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  const TRect area = Screen->WorkAreaRect();
  EXPECT_NEAR(form->Left() + form->Width() / 2, (area.Left + area.Right) / 2, 1);
  EXPECT_NEAR(form->Top() + form->Height() / 2, (area.Top + area.Bottom) / 2, 1);
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
}

TEST_F(FormsTest, MouseMessagesAreDecodedOnceForTheControl) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  struct TPress {
    TMouseButton Button;
    TShiftState Shift;
    Integer X, Y;
  };
  std::vector<TPress> downs, ups;
  int clicks = 0;
  TDemoPaintBox* box = form->PaintBox;
  box->OnMouseDown = [&](TObject* Sender, TMouseButton B, TShiftState S, Integer X, Integer Y) {
    EXPECT_EQ(Sender, box);
    downs.push_back({B, S, X, Y});
  };
  box->OnMouseUp = [&](TObject*, TMouseButton B, TShiftState S, Integer X, Integer Y) { ups.push_back({B, S, X, Y}); };
  box->OnClick = [&](TObject*) { ++clicks; };

  Send(box, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, PointToLParam(25, 40));
  EXPECT_EQ(GetCaptureControl(), box);
  Send(box, WM_LBUTTONUP, MK_SHIFT, PointToLParam(26, 41));
  EXPECT_EQ(GetCaptureControl(), nullptr);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].Button, mbLeft);
  EXPECT_EQ(downs[0].Shift * TShiftState({ssShift, ssLeft, ssCtrl}), TShiftState({ssShift, ssLeft}));
  EXPECT_EQ(downs[0].X, 25);
  EXPECT_EQ(downs[0].Y, 40);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].X, 26);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(box->Focused());  // a tab stop takes the focus on a click

  // Negative coordinates (captured mouse outside the window) stay signed; a
  // release outside the control is no click; the right button never clicks.
  Send(box, WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(5, 5));
  Send(box, WM_LBUTTONUP, 0, PointToLParam(-7, -9));
  EXPECT_EQ(ups.back().X, -7);
  EXPECT_EQ(ups.back().Y, -9);
  Send(box, WM_RBUTTONDOWN, MK_RBUTTON, PointToLParam(5, 5));
  Send(box, WM_RBUTTONUP, 0, PointToLParam(5, 5));
  EXPECT_EQ(downs.back().Button, mbRight);
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormsTest, WindowlessChildIsHitTestedByItsParent) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  std::vector<std::pair<TObject*, TPoint>> downs;
  auto record = [&](TObject* Sender, TMouseButton, TShiftState, Integer X, Integer Y) {
    downs.push_back({Sender, {X, Y}});
  };
  form->Badge->OnMouseDown = record;
  form->LeftPanel->OnMouseDown = record;
  int badgeClicks = 0;
  form->Badge->OnClick = [&](TObject*) { ++badgeClicks; };

  Send(form->LeftPanel, WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(15, 45));
  Send(form->LeftPanel, WM_LBUTTONUP, 0, PointToLParam(16, 46));
  Send(form->LeftPanel, WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(100, 100));
  Send(form->LeftPanel, WM_LBUTTONUP, 0, PointToLParam(100, 100));
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].first, form->Badge);
  EXPECT_EQ(downs[0].second, (TPoint{5, 5}));
  EXPECT_EQ(downs[1].first, form->LeftPanel);
  EXPECT_EQ(downs[1].second, (TPoint{100, 100}));
  EXPECT_EQ(badgeClicks, 1);
  EXPECT_EQ(form->LeftPanel->ControlAtPos({69, 69}), form->Badge);
  EXPECT_EQ(form->LeftPanel->ControlAtPos({70, 70}), nullptr);
}

TEST_F(FormsTest, SplitterDragResizesTheControlBeforeIt) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  int moved = 0;
  form->Splitter->OnMoved = [&](TObject*) { ++moved; };
  EXPECT_EQ(form->Splitter->FindResizedControl(), form->LeftPanel);
  Send(form.get(), WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(151, 100));
  Send(form.get(), WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(201, 100));
  EXPECT_EQ(form->LeftPanel->Width(), 200);
  EXPECT_EQ(form->Splitter->Left(), 200);
  EXPECT_EQ(form->PaintBox->Left(), 206);
  // Far past the minimum: stopped at MinSize.
  Send(form.get(), WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(-400, 100));
  EXPECT_EQ(form->LeftPanel->Width(), form->Splitter->MinSize());
  Send(form.get(), WM_LBUTTONUP, 0, PointToLParam(-400, 100));
  EXPECT_EQ(moved, 1);
}

struct TModalCase {
  Word Key;
  TModalResult Expected;
};

class ModalTest : public FormsTest, public ::testing::WithParamInterface<TModalCase> {};

TEST_P(ModalTest, DialogKeyEndsTheModalLoop) {
  auto dialog = MakeForm<TDemoDialog>();
  TTimer safety(nullptr);  // ends a loop that never sees its key
  safety.SetInterval(5000);
  safety.OnTimer = [&](TObject*) { dialog->SetModalResult(mrAbort); };
  int closes = 0;
  dialog->OnClose = [&](TObject*, TCloseAction& Action) {
    ++closes;
    EXPECT_EQ(Action, caHide);
  };
  dialog->OnShow = [&](TObject*) {
    EXPECT_TRUE(dialog->Modal());
    PostMessageW(dialog->Handle(), WM_KEYDOWN, GetParam().Key, 0x00010001);
  };
  EXPECT_EQ(dialog->ShowModal(), GetParam().Expected);
  EXPECT_EQ(dialog->ModalResult(), GetParam().Expected);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->Modal());
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
}

INSTANTIATE_TEST_SUITE_P(Keys, ModalTest,
                         ::testing::Values(TModalCase{VK_ESCAPE, mrCancel}, TModalCase{VK_RETURN, mrOk}));

TEST_F(FormsTest, ModalFormDisablesTheOthersAndVetoKeepsItOpen) {
  auto main = MakeForm<TDemoForm>();
  main->Show();
  auto dialog = MakeForm<TDemoDialog>();
  int queries = 0;
  bool mainEnabledDuringModal = true;
  dialog->OnCloseQuery = [&](TObject*, bool& CanClose) {
    ++queries;
    CanClose = queries > 1;  // the first attempt is refused
  };
  dialog->OnShow = [&](TObject*) {
    mainEnabledDuringModal = IsWindowEnabled(main->Handle()) != 0;
    PostMessageW(dialog->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);  // asks for mrCancel again
  };
  TTimer safety(nullptr);
  safety.SetInterval(5000);
  safety.OnTimer = [&](TObject*) { dialog->SetModalResult(mrAbort); };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 2);
  EXPECT_FALSE(mainEnabledDuringModal);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
}

TEST_F(FormsTest, CloseQueryVetoKeepsTheFormOpen) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  bool allow = false;
  std::vector<std::string> events;
  form->OnCloseQuery = [&](TObject*, bool& CanClose) {
    events.push_back("query");
    CanClose = allow;
  };
  form->OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };
  form->OnHide = [&](TObject*) { events.push_back("hide"); };
  Send(form.get(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(events, std::vector<std::string>{"query"});
  allow = true;
  Send(form.get(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(events, (std::vector<std::string>{"query", "query", "close", "hide"}));
}

TEST_F(FormsTest, CloseActionFreeReleasesTheForm) {
  TDemoForm* form = TCustomForm::Create<TDemoForm>(Application);
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  form->Show();
  const Integer before = Application->ComponentCount();
  form->Close();
  EXPECT_FALSE(destroyed);  // not inside the handler
  EXPECT_TRUE(RunUntil([&] { return destroyed; }));
  EXPECT_EQ(Application->ComponentCount(), before - 1);
}

TEST_F(FormsTest, KeyPreviewLetsTheFormSeeKeysFirst) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  std::vector<std::string> seen;
  form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    seen.push_back("form");
    if (Key == 'X') Key = 0;
  };
  form->PaintBox->OnKeyDown = [&](TObject*, Word&, TShiftState) { seen.push_back("box"); };
  Send(form->PaintBox, WM_KEYDOWN, 'A', 1);
  EXPECT_EQ(seen, std::vector<std::string>{"box"});
  form->SetKeyPreview(true);
  seen.clear();
  Send(form->PaintBox, WM_KEYDOWN, 'A', 1);
  Send(form->PaintBox, WM_KEYDOWN, 'X', 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"form", "box", "form"}));
}

TEST_F(FormsTest, ExceptionsInHandlersGoToTheApplication) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  form->PaintBox->OnClick = [](TObject*) { throw EConvertError(u"bad click"); };
  Send(form->PaintBox, WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(3, 3));
  Send(form->PaintBox, WM_LBUTTONUP, 0, PointToLParam(3, 3));
  EXPECT_EQ(Errors, std::vector<String>{u"bad click"});
  // EAbort is silent.
  form->PaintBox->OnClick = [](TObject*) { throw EAbort(u"quiet"); };
  Send(form->PaintBox, WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(3, 3));
  Send(form->PaintBox, WM_LBUTTONUP, 0, PointToLParam(3, 3));
  EXPECT_EQ(Errors.size(), 1u);
}

TEST_F(FormsTest, ParentColorAndFontFlowDown) {
  auto form = MakeForm<TDemoForm>();
  form->LeftPanel->SetParentColor(true);
  form->SetColor(clTeal);
  EXPECT_EQ(form->LeftPanel->Color(), clTeal);
  EXPECT_EQ(form->ToolPanel->Color(), clBtnFace);
  form->Font()->SetName(u"Arial");
  EXPECT_EQ(form->LeftPanel->Font()->Name(), u"Arial");
  EXPECT_EQ(form->Badge->Font()->Name(), u"Arial");
  form->StatusPanel->Font()->SetSize(12);  // its own font from now on
  form->Font()->SetName(u"Tahoma");
  EXPECT_EQ(form->StatusPanel->Font()->Name(), u"Arial");
  EXPECT_FALSE(form->StatusPanel->ParentFont());
  EXPECT_EQ(form->LeftPanel->Font()->Name(), u"Tahoma");
}

// A child's resize handler moving itself while its container aligns (a pane
// keeping its share of the window): its sibling follows the new size.
TEST_F(FormsTest, AResizeHandlerThatResizesDuringAlignmentIsFollowed) {
  auto form = MakeForm<TForm>();
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 200, 100);
  auto* left = new TPanel(form.get());
  left->SetParent(panel);
  left->SetWidth(100);
  left->SetAlign(alLeft);
  auto* rest = new TPanel(form.get());
  rest->SetParent(panel);
  rest->SetAlign(alClient);
  left->OnResize = [&](TObject*) { left->SetWidth(panel->ClientWidth() / 2); };
  panel->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 200, 300}));
  EXPECT_EQ(rest->BoundsRect(), (TRect{200, 0, 400, 300}));
}

TEST_F(FormsTest, PanelBorderAndBevelsNarrowTheAlignedArea) {
  auto form = MakeForm<TForm>();
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 200, 100);
  auto* top = new TPanel(form.get());
  top->SetParent(panel);
  top->SetHeight(10);
  top->SetAlign(alTop);
  auto* rest = new TPanel(form.get());
  rest->SetParent(panel);
  rest->SetAlign(alClient);
  struct TCase {
    TBevelCut Outer, Inner;
    Integer BevelWidth, BorderWidth, Inset;
  } const cases[] = {
      {bvRaised, bvNone, 1, 0, 1},  // the default panel
      {bvRaised, bvNone, 1, 5, 6}, {bvRaised, bvLowered, 1, 5, 7}, {bvLowered, bvSpace, 3, 2, 8},
      {bvNone, bvNone, 1, 4, 4},   {bvNone, bvNone, 2, 0, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "outer " << c.Outer << " inner " << c.Inner << " bevel " << c.BevelWidth
                                    << " border " << c.BorderWidth);
    panel->SetBevelOuter(c.Outer);
    panel->SetBevelInner(c.Inner);
    panel->SetBevelWidth(c.BevelWidth);
    panel->SetBorderWidth(c.BorderWidth);
    const Integer i = c.Inset;
    EXPECT_EQ(top->BoundsRect(), (TRect{i, i, 200 - i, i + 10}));
    EXPECT_EQ(rest->BoundsRect(), (TRect{i, i + 10, 200 - i, 100 - i}));
  }
  // Padding comes on top of the border.
  panel->Padding()->SetLeft(3);
  EXPECT_EQ(rest->BoundsRect(), (TRect{3, 10, 200, 100}));
  panel->SetBorderWidth(2);
  EXPECT_EQ(rest->BoundsRect(), (TRect{5, 12, 198, 98}));
  // Resizing keeps the border.
  panel->SetBounds(0, 0, 100, 50);
  EXPECT_EQ(rest->BoundsRect(), (TRect{5, 12, 98, 48}));
}

TEST_F(FormsTest, ScreenListsTheInstalledFontFamilies) {
  TStrings* fonts = Screen->Fonts();
  ASSERT_NE(fonts, nullptr);
  ASSERT_GT(fonts->Count(), 0);
  for (Integer i = 0; i < fonts->Count(); ++i) {
    const String name = fonts->Strings(i);
    ASSERT_FALSE(name.empty());
    EXPECT_NE(name[0], u'@');
    if (i > 0) {
      EXPECT_LT(AnsiCompareText(fonts->Strings(i - 1), name), 0) << "not sorted or repeated at " << i;
    }
  }
  // Wine's own faces, and the Liberation family it maps Arial to.
  EXPECT_TRUE(fonts->Contains(u"Tahoma"));
  EXPECT_TRUE(fonts->Contains(u"Liberation Sans") || fonts->Contains(u"Arial"));
  // Every family named can be asked for by that name.
  TFont font;
  font.SetName(fonts->Strings(fonts->Count() - 1));
  TBitmap bitmap(4, 4);
  HDC dc = bitmap.Canvas()->Handle();
  HGDIOBJ old = SelectObject(dc, font.Handle());
  wchar_t face[LF_FACESIZE]{};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  EXPECT_EQ(String(reinterpret_cast<const Char*>(face)), font.Name());
  const Integer count = fonts->Count();
  Screen->ResetFonts();
  EXPECT_EQ(Screen->Fonts()->Count(), count);
}

TEST_F(FormsTest, TimerFiresInTheMessageLoop) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(10);
  timer.OnTimer = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &timer);
    if (++ticks == 3) timer.SetEnabled(false);
  };
  EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
  RunUntil([] { return false; }, 60);
  EXPECT_EQ(ticks, 3);
}

TEST_F(FormsTest, HintShowsForTheControlUnderTheCursor) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  form->Update();
  const TPoint badgeCentre = form->Badge->ClientToScreen({30, 15});
  THintInfo seen;
  Application->OnShowHint = [&](String& HintStr, bool& CanShow, THintInfo& Info) {
    seen = Info;
    HintStr += u"!";
    CanShow = true;
  };
  Application->ActivateHint(badgeCentre);
  Application->OnShowHint = nullptr;
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_TRUE(Application->HintWindow()->IsHintShowing());
  EXPECT_EQ(Application->HintWindow()->Caption(), u"A windowless control!");
  EXPECT_EQ(seen.HintControl, form->Badge);
  EXPECT_EQ(seen.CursorPos, (TPoint{30, 15}));
  Application->CancelHint();
  EXPECT_FALSE(Application->HintWindow()->IsHintShowing());
}

TEST_F(FormsTest, ScreenshotOfTheDemoForm) {
  auto form = MakeForm<TDemoForm>();
  form->Show();
  RunUntil([] { return false; }, 100);
  form->Update();
  const Integer w = form->ClientWidth(), h = form->ClientHeight();

  // The form painted into a bitmap: what the controls draw, read back.
  TBitmap painted(w, h);
  form->PaintTo(painted.Canvas()->Handle(), 0, 0);
  EXPECT_GT(form->PaintBox->PaintCount, 0);
  const TPoint inRectangle = {form->PaintBox->Left() + 20, form->PaintBox->Top() + 20};
  EXPECT_EQ(painted.Canvas()->Pixel(inRectangle.X, inRectangle.Y), RGBToColor(0x9C, 0xC3, 0xE6));
  const TPoint inBadge = {form->Badge->Left() + 30, form->LeftPanel->Top() + form->Badge->Top() + 3};
  EXPECT_EQ(painted.Canvas()->Pixel(inBadge.X, inBadge.Y), clYellow);
  painted.SaveToFile(u"vcl_demo_painted.bmp");

  // What the screen shows, for people to look at.
  testsupport::ClientSurfaceImage(form.get())->SaveToFile(u"vcl_demo_screen.bmp");
  EXPECT_EQ(GetFileAttributesW(L"vcl_demo_screen.bmp") != INVALID_FILE_ATTRIBUTES, true);
}

TEST_F(FormsTest, CustomCursorsBelongToTheScreen) {
  const TCursor crCustom = 5;
  HCURSOR custom = CreateCursor(GetModuleHandleW(nullptr), 0, 0, 32, 32, std::vector<Byte>(128, 0xFF).data(),
                                std::vector<Byte>(128, 0).data());
  ASSERT_NE(custom, nullptr);
  Screen->SetCursors(crCustom, custom);
  EXPECT_EQ(Screen->Cursors(crCustom), custom);
  EXPECT_EQ(Screen->Cursors(crIBeam), LoadCursorW(nullptr, IDC_IBEAM));
  EXPECT_EQ(Screen->Cursors(crNone), nullptr);
  Screen->SetCursors(crCustom, nullptr);
  EXPECT_EQ(Screen->Cursors(crCustom), LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(Mouse->DragThreshold, 5);
}

}  // namespace
