// The tree's look in its window: the theme it takes (the classic look when
// the system draws without themes), the font watch that tells painting a
// text handler changed the canvas font, the height a cell's text needs,
// and the header's menu asked of OnGetPopupMenu.
#include <gtest/gtest.h>

#include "rtl/Win32.h"
// After the Windows header it needs.
#include <uxtheme.h>

#include <functional>
#include <memory>
#include <vector>

#include "rtl/ScopeExit.h"
#include "tests/support/MessagePump_win.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/Themes.h"

namespace {

// The questions the tests ask of the tree's protected parts.
class TProbeTree : public TVastStringTree {
public:
  using TVastStringTree::TVastStringTree;
  using TVastTreeControl::DoGetHeaderPopupMenu;
  using TVastTreeControl::HookCanvasFontChange;
  using TVastTreeControl::UnhookCanvasFontChange;
  using TVastTreeControl::FontChangedWhileHooked;
  using TVastTreeControl::RecreateWindow;
  using TVastTreeControl::VclStyleEnabled;

  // Cells drawn, and those among them measured again for a font their
  // paint handler changed.
  int Drawn = 0;
  int Remeasured = 0;

protected:
  void DrawNormalText(TVTPaintInfo& PaintInfo, const String& Text) override {
    TVastStringTree::DrawNormalText(PaintInfo, Text);
    ++Drawn;
    if (FontChangedWhileHooked()) ++Remeasured;
  }
};

// A custom style of the class library (the program never sets one).
class TCustomLookStyle : public TCustomStyleServices {
public:
  bool IsSystemStyle() const override { return false; }
};

class TLookForm : public TForm {
public:
  explicit TLookForm(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"LookForm");
    SetCaption(u"Quorvel tree look");
    SetClientSize(360, 240);
    Tree = new TProbeTree(this);
    Tree->SetName(u"Tree");
    Tree->SetAlign(alClient);
    TVTHeader& H = Tree->Header();
    for (Integer W : {150, 120}) H.Columns().Add()->SetWidth(W);
    H.SetMainColumn(0);
    H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible});
    Tree->OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex, TVSTTextType, String& Text) {
      Text = Node->Index == 0 ? Long : String(u"short");
    };
    Tree->SetParent(this);
  }
  TProbeTree* Tree;
  String Long = u"one two three four five six seven eight nine ten eleven twelve";
};

class TTreeLookTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TLookForm>(Application));
    Tree = Form->Tree;
    Form->Show();
    Tree->SetRootNodeCount(3);
    testsupport::PumpMessagesFor(40);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  struct TFormDeleter {
    void operator()(TCustomForm* F) const { delete F; }
  };
  std::unique_ptr<TLookForm, TFormDeleter> Form;
  TProbeTree* Tree = nullptr;
};

TEST_F(TTreeLookTest, ThemesFollowTheSystemAndTheOptions) {
  // The states follow what the system draws with: with a theme active the
  // theme-aware tree uses it, without one it keeps the classic look.
  const bool Themed = IsAppThemed() && IsThemeActive();
  EXPECT_EQ(TVastTreeControl::ThemeServicesEnabled(), Themed);
  ASSERT_TRUE(Tree->TreeOptions().PaintOptions().Contains(toThemeAware));
  EXPECT_EQ(Tree->TreeStates().Contains(tsUseThemes), Themed);
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toUseExplorerTheme});
  EXPECT_EQ(Tree->TreeStates().Contains(tsUseExplorerTheme), Themed);
  // A new window decides again.
  Tree->RecreateWindow();
  testsupport::PumpMessagesFor(20);
  EXPECT_EQ(Tree->TreeStates().Contains(tsUseThemes), Themed);
  EXPECT_EQ(Tree->TreeStates().Contains(tsUseExplorerTheme), Themed);
  // Not theme aware: the classic look whatever the system does.
  O.SetPaintOptions(O.PaintOptions() - TVTPaintOptions{toThemeAware});
  EXPECT_FALSE(Tree->TreeStates().Contains(tsUseThemes));
  EXPECT_FALSE(Tree->TreeStates().Contains(tsUseExplorerTheme));
  Tree->RecreateWindow();
  testsupport::PumpMessagesFor(20);
  EXPECT_FALSE(Tree->TreeStates().Contains(tsUseThemes));
  // The theme class reaches the system, and the notice it sends back is
  // taken as the tree's own (no delayed re-creation follows).
  Tree->SetWindowTheme(u"explorer");
  Tree->SetWindowTheme(nullptr);
  EXPECT_TRUE(IsWindow(Tree->Handle()));
}

TEST_F(TTreeLookTest, TheFontWatchSeesHandlersChangeTheCanvasFont) {
  TBitmap B(40, 40);
  TCanvas* C = B.Canvas();
  C->Font()->SetHeight(-11);
  const Integer Small = C->TextHeight(u"Tj");
  Tree->HookCanvasFontChange(C);
  EXPECT_FALSE(Tree->FontChangedWhileHooked());
  C->Font()->SetHeight(-30);
  EXPECT_TRUE(Tree->FontChangedWhileHooked());
  // The canvas still takes the new font: its own handler ran too.
  EXPECT_GT(C->TextHeight(u"Tj"), Small);
  Tree->UnhookCanvasFontChange(C);
  C->Font()->SetHeight(-11);
  EXPECT_EQ(C->TextHeight(u"Tj"), Small);
}

// The folder list recolours its cells in OnPaintText: that costs no text
// measurement; a handler that changes the font (size, style, face) does.
TEST_F(TTreeLookTest, OnlyARealFontChangeMakesACellMeasureItsTextAgain) {
  struct TCase {
    const char* Name;
    std::function<void(TFont&)> Change;
    bool Measures;
  };
  const TCase Cases[] = {
      {"nothing", [](TFont&) {}, false},
      {"colour", [](TFont& F) { F.SetColor(clRed); }, false},
      {"colour twice", [](TFont& F) { F.SetColor(clRed), F.SetColor(clBlue); }, false},
      {"size and back",
       [](TFont& F) {
         const Integer H = F.Height();
         F.SetHeight(H - 6), F.SetHeight(H);
       },
       false},
      {"size", [](TFont& F) { F.SetHeight(F.Height() - 6); }, true},
      {"style", [](TFont& F) { F.SetStyle(TFontStyles{fsBold}); }, true},
      {"face", [](TFont& F) { F.SetName(u"Courier New"); }, true},
      {"charset", [](TFont& F) { F.SetCharset(SYMBOL_CHARSET); }, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Tree->OnPaintText = [&](TBaseVastTree*, TCanvas* Canvas, PVastNode, TColumnIndex, TVSTTextType) {
      Case.Change(*Canvas->Font());
    };
    Tree->Drawn = Tree->Remeasured = 0;
    TBitmap B(Tree->ClientWidth(), Tree->ClientHeight());
    SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(B.Canvas()->Handle()), PRF_CLIENT);
    EXPECT_EQ(Tree->Drawn, 6);  // three rows, two columns
    EXPECT_EQ(Tree->Remeasured, Case.Measures ? Tree->Drawn : 0);
  }
  Tree->OnPaintText = nullptr;
}

TEST_F(TTreeLookTest, ANodesHeightIsItsTextsHeightInTheCellsWidth) {
  PVastNode First = Tree->GetFirst();
  TBitmap B(1, 1);
  TCanvas* C = B.Canvas();
  C->SetFont(Tree->Font());
  const Integer Line = C->TextHeight(u"Tj");
  EXPECT_EQ(Tree->ComputeNodeHeight(C, First, 0), Line);  // one line, cut
  Tree->SetMultiline(First, true);
  const Integer Wrapped = Tree->ComputeNodeHeight(C, First, 0);
  EXPECT_GE(Wrapped, 3 * Line);  // about 60 characters in 140 pixels
  EXPECT_EQ(Wrapped % Line, 0);
  EXPECT_EQ(Tree->ComputeNodeHeight(C, First, 0, u"one"), Line);
  // Wider, fewer lines; without a column the client width counts.
  Tree->Header().Columns()[0].SetWidth(300);
  EXPECT_LT(Tree->ComputeNodeHeight(C, First, 0), Wrapped);
  EXPECT_LE(Tree->ComputeNodeHeight(C, First, NoColumn), Wrapped);
}

TEST_F(TTreeLookTest, TheHeadersMenuIsAskedOfOnGetPopupMenu) {
  TPopupMenu Own(nullptr);
  TPopupMenu Answer(nullptr);
  Tree->SetHeaderPopupMenu(&Own);
  EXPECT_EQ(Tree->DoGetHeaderPopupMenu(1, TPoint{200, -5}), &Own);  // no handler
  struct TCall {
    PVastNode Node;
    TColumnIndex Column;
    TPoint P;
    TPopupMenu* Preset;
  };
  std::vector<TCall> Calls;
  Tree->OnGetPopupMenu = [&](TBaseVastTree*, PVastNode Node, TColumnIndex Column, const TPoint& P, bool&,
                             TPopupMenu*& Menu) {
    Calls.push_back({Node, Column, P, Menu});
    Menu = &Answer;
  };
  EXPECT_EQ(Tree->DoGetHeaderPopupMenu(1, TPoint{200, -5}), &Answer);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].Node, nullptr);
  EXPECT_EQ(Calls[0].Column, 1);
  EXPECT_EQ(Calls[0].P, (TPoint{200, -5}));
  EXPECT_EQ(Calls[0].Preset, &Own);
  // A right click on a head asks it too; a nil answer without the automatic
  // column menu shows nothing.
  Tree->OnGetPopupMenu = [&](TBaseVastTree*, PVastNode Node, TColumnIndex Column, const TPoint& P, bool&,
                             TPopupMenu*& Menu) {
    Calls.push_back({Node, Column, P, Menu});
    Menu = nullptr;
  };
  const Integer HeadY = -Tree->Header().Height() / 2;
  POINT S{200, HeadY};
  ClientToScreen(Tree->Handle(), &S);
  SendMessageW(Tree->Handle(), WM_NCRBUTTONDOWN, HTBORDER, MAKELPARAM(S.x, S.y));
  SendMessageW(Tree->Handle(), WM_NCRBUTTONUP, HTBORDER, MAKELPARAM(S.x, S.y));
  ASSERT_EQ(Calls.size(), 2u);
  EXPECT_EQ(Calls[1].Column, 1);
  EXPECT_EQ(Calls[1].Node, nullptr);
  Tree->SetHeaderPopupMenu(nullptr);
  Tree->OnGetPopupMenu = nullptr;
}

// The owner draws the six button pictures; the tree shows the hot one
// under the mouse and the selected-hot one on a selected row.
TEST_F(TTreeLookTest, OwnerDrawnButtonsShowTheirHotAndSelectedHotPictures) {
  const TColor Colors[6] = {RGBToColor(200, 0, 0),   RGBToColor(0, 200, 0),   RGBToColor(0, 0, 200),
                            RGBToColor(200, 200, 0), RGBToColor(0, 200, 200), RGBToColor(200, 0, 200)};
  int Calls = 0;
  Tree->OnPrepareButtonBitmaps = [&](TBaseVastTree*, TBitmap* Plus, TBitmap* HotPlus, TBitmap* SelectedHotPlus,
                                     TBitmap* Minus, TBitmap* HotMinus, TBitmap* SelectedHotMinus, TSize& Size) {
    ++Calls;
    EXPECT_EQ(Size.cx, 9);
    Size = TSize{11, 11};
    TBitmap* All[6] = {Plus, HotPlus, SelectedHotPlus, Minus, HotMinus, SelectedHotMinus};
    for (int I = 0; I < 6; ++I) {
      All[I]->SetSize(11, 11);
      All[I]->Canvas()->Brush()->SetColor(Colors[I]);
      All[I]->Canvas()->FillRect(TRect{0, 0, 11, 11});
    }
  };
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toFullRowSelect});
  Tree->RecreateWindow();
  testsupport::PumpMessagesFor(20);
  EXPECT_GE(Calls, 1);
  // Children make buttons: node 0 expanded, node 1 collapsed.
  Tree->OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
    if (!Parent) States.Include(ivsHasChildren);
  };
  Tree->OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 1; };
  Tree->Clear();
  Tree->SetRootNodeCount(2);
  PVastNode Open = Tree->GetFirst();
  Tree->SetExpanded(Open, true);
  PVastNode Closed = Tree->GetNextSibling(Open);
  auto ButtonCentre = [&](PVastNode Node) {
    TVTOffsets Offsets{};
    Tree->GetOffsets(Node, Offsets, ofsToggleButton, 0);
    const TRect Row = Tree->GetDisplayRect(Node, NoColumn, false);
    return TPoint{Offsets[ofsToggleButton] + 5, (Row.Top + Row.Bottom) / 2};
  };
  auto PixelAt = [&](const TPoint& P) {
    TBitmap B(Tree->ClientWidth(), Tree->ClientHeight());
    SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(B.Canvas()->Handle()), PRF_CLIENT);
    return B.Canvas()->Pixel(P.X, P.Y);
  };
  auto Hover = [&](const TPoint& P) {
    POINT S{P.X, P.Y};
    ClientToScreen(Tree->Handle(), &S);
    SetCursorPos(S.x, S.y);
    SendMessageW(Tree->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(P.X, P.Y));
  };
  const TPoint OpenButton = ButtonCentre(Open), ClosedButton = ButtonCentre(Closed);
  Hover(TPoint{Tree->ClientWidth() - 5, Tree->ClientHeight() - 5});
  EXPECT_EQ(PixelAt(OpenButton), ColorToRGB(Colors[3]));    // minus
  EXPECT_EQ(PixelAt(ClosedButton), ColorToRGB(Colors[0]));  // plus
  Hover(ClosedButton);
  ASSERT_EQ(Tree->HotNode(), Closed);
  EXPECT_EQ(PixelAt(ClosedButton), ColorToRGB(Colors[1]));  // hot plus
  EXPECT_EQ(PixelAt(OpenButton), ColorToRGB(Colors[3]));
  Tree->SetSelected(Closed, true);
  EXPECT_EQ(PixelAt(ClosedButton), ColorToRGB(Colors[2]));  // selected-hot plus
  Hover(OpenButton);
  EXPECT_EQ(PixelAt(OpenButton), ColorToRGB(Colors[4]));  // hot minus
  Tree->SetSelected(Open, true);
  EXPECT_EQ(PixelAt(OpenButton), ColorToRGB(Colors[5]));  // selected-hot minus
  EXPECT_EQ(PixelAt(ClosedButton), ColorToRGB(Colors[0]));
  SetCursorPos(0, 0);
}

// Built the way a form description is read: a top-level count stored while
// loading becomes nodes in Loaded, even in a read-only tree, which stays
// read-only; the header settles its main column and its auto-size column.
TEST(TTreeLoaded, StoredSettingsTakeEffectWhenTheFormIsLoaded) {
  Application->Initialize();
  std::unique_ptr<TForm> Form(TCustomForm::Create<TForm>(Application));
  Form->SetClientSize(300, 200);
  Form->BeginLoading();
  auto* Tree = new TVastStringTree(Form.get());
  Tree->SetAlign(alClient);
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toReadOnly});
  Tree->SetRootNodeCount(5);
  EXPECT_EQ(Tree->GetFirst(), nullptr);  // not yet
  TVTHeader& H = Tree->Header();
  for (Integer W : {80, 60}) H.Columns().Add()->SetWidth(W);
  H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible, hoAutoResize});
  H.SetAutoSizeIndex(1);
  Tree->SetParent(Form.get());
  Form->EndLoading();
  Form->Show();
  testsupport::PumpMessagesFor(30);
  EXPECT_EQ(Tree->RootNodeCount(), 5u);
  Cardinal Made = 0;
  for (PVastNode Run = Tree->GetFirst(); Run; Run = Tree->GetNextSibling(Run)) ++Made;
  EXPECT_EQ(Made, 5u);
  EXPECT_TRUE(Tree->TreeOptions().MiscOptions().Contains(toReadOnly));
  EXPECT_FALSE(Tree->TreeStates().Contains(tsNeedRootCountUpdate));
  // The auto-size column takes what the first leaves of the client width.
  EXPECT_EQ(H.Columns()[0].Width() + H.Columns()[1].Width(), Tree->ClientWidth());
  Form.reset();
  Application->ProcessMessages();
}

}  // namespace

// A column that takes the style's colour shows it (the tree's) only while
// a custom style is active; otherwise its own colour fills its cells.
TEST_F(TTreeLookTest, AStyleColouredColumnFollowsTheStyleOnlyWhileOneIsActive) {
  TVastTreeColumn& Second = Tree->Header().Columns()[1];
  const TColor Own = RGBToColor(250, 220, 120);
  Second.SetColor(Own);
  Second.SetOptions(Second.Options() + TVTColumnOptions{coStyleColor});
  Tree->OnGetText = [](TBaseVastTree*, PVastNode, TColumnIndex, TVSTTextType, String& Text) { Text.clear(); };
  auto CellPixel = [&] {
    TBitmap B(Tree->ClientWidth(), Tree->ClientHeight());
    SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(B.Canvas()->Handle()), PRF_CLIENT);
    const TRect R = Tree->GetDisplayRect(Tree->GetLast(), 1, false);
    return B.Canvas()->Pixel((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
  };
  EXPECT_FALSE(Tree->VclStyleEnabled());
  EXPECT_EQ(CellPixel(), ColorToRGB(Own));
  TCustomLookStyle Style;
  SetStyleServices(&Style);
  const TScopeExit SystemLook([] { SetStyleServices(nullptr); });
  Tree->RecreateWindow();
  testsupport::PumpMessagesFor(20);
  EXPECT_TRUE(Tree->VclStyleEnabled());
  EXPECT_EQ(CellPixel(), ColorToRGB(Tree->Color()));
  // Without the option the column keeps its colour under the style too.
  Second.SetOptions(Second.Options() - TVTColumnOptions{coStyleColor});
  EXPECT_EQ(CellPixel(), ColorToRGB(Own));
}

// One tree takes another's settings: the control's and the tree's, the
// header with its columns; never the nodes' contents. A read-only tree
// takes nothing.
TEST(TTreeAssign, ATreeTakesEveryOtherSettingButNotTheNodes) {
  Application->Initialize();
  std::unique_ptr<TForm> Form(TCustomForm::Create<TForm>(Application));
  TImageList Pictures(Form.get());
  TImageList HeadPictures(Form.get());
  TPopupMenu Menu(Form.get());
  auto* Source = new TVastStringTree(Form.get());
  auto* Target = new TVastStringTree(Form.get());
  Source->SetAlign(alTop);
  Source->SetBevelKind(bkFlat);
  Source->SetBorderWidth(3);
  Source->SetColor(clInfoBk);
  Source->Font()->SetHeight(-17);
  Source->SetHotCursor(crHandPoint);
  Source->SetImages(&Pictures);
  Source->SetPopupMenu(&Menu);
  Source->SetShowHint(true);
  Source->SetTabStop(false);
  Source->SetAutoScrollDelay(250);
  Source->SetCheckImageKind(ckCustom);
  Source->Colors().Set(TVTColors::GridLineIndex, clRed);
  Source->ScrollBarOptions().SetScrollBars(ssVertical);
  Source->SetNodeAlignment(naFromTop);
  Source->SetHintMode(hmTooltip);
  Source->SetSelectionCurveRadius(5);
  Source->SetSelectionBlendFactor(60);
  Source->SetIndent(25);
  TCustomVastTreeOptions& O = Source->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowVertGridLines});
  TVTHeader& H = Source->Header();
  H.Columns().Add()->SetWidth(90);
  H.Columns().Add()->SetText(u"Size");
  H.SetHeight(26);
  H.SetImages(&HeadPictures);
  Source->SetRootNodeCount(4);

  Target->Assign(*Source);
  EXPECT_EQ(Target->Align(), alTop);
  EXPECT_EQ(Target->BevelKind(), bkFlat);
  EXPECT_EQ(Target->BorderWidth(), 3);
  EXPECT_EQ(Target->Color(), clInfoBk);
  EXPECT_EQ(Target->Font()->Height(), -17);
  EXPECT_EQ(Target->HotCursor(), crHandPoint);
  EXPECT_EQ(Target->Images(), &Pictures);
  EXPECT_EQ(Target->PopupMenu(), &Menu);
  EXPECT_TRUE(Target->ShowHint());
  EXPECT_FALSE(Target->TabStop());
  EXPECT_EQ(Target->AutoScrollDelay(), 250u);
  EXPECT_EQ(Target->CheckImageKind(), ckCustom);
  EXPECT_EQ(Target->Colors().GridLineColor(), clRed);
  EXPECT_EQ(Target->ScrollBarOptions().ScrollBars(), ssVertical);
  EXPECT_EQ(Target->NodeAlignment(), naFromTop);
  EXPECT_EQ(Target->HintMode(), hmTooltip);
  EXPECT_EQ(Target->SelectionCurveRadius(), 5u);
  EXPECT_EQ(Target->SelectionBlendFactor(), 60);
  EXPECT_EQ(Target->Indent(), 25u);
  EXPECT_TRUE(Target->TreeOptions().PaintOptions().Contains(toShowVertGridLines));
  ASSERT_EQ(Target->Header().Columns().Count(), 2);
  EXPECT_EQ(Target->Header().Columns()[0].Width(), 90);
  EXPECT_EQ(Target->Header().Columns()[1].Text(), u"Size");
  EXPECT_EQ(Target->Header().Height(), 26);
  EXPECT_EQ(Target->Header().Images(), &HeadPictures);
  EXPECT_EQ(Target->RootNodeCount(), 4u);

  auto* ReadOnly = new TVastStringTree(Form.get());
  TCustomVastTreeOptions& RO = ReadOnly->TreeOptions();
  RO.SetMiscOptions(RO.MiscOptions() + TVTMiscOptions{toReadOnly});
  ReadOnly->Assign(*Source);
  EXPECT_EQ(ReadOnly->Indent(), 18u);
  EXPECT_EQ(ReadOnly->BorderWidth(), 0);
  EXPECT_EQ(ReadOnly->Header().Columns().Count(), 0);
}
