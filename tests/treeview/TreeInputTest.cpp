// Input without a window: check-state propagation, keyboard navigation,
// incremental search with its time-out, mouse clicks and the rubber band,
// the edit protocol and the auto-scroll decisions, on a scripted host.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "TreeTestSupport.h"
#include "treeview/VastStringTree.h"
#include "treeview/VastTreeHeader.h"

namespace {

// A host that also answers the input questions: focus, capture, the
// screen position of the client area, the pointer and the clock.
class TInputHost : public TFakeTreeHost {
public:
  bool HasFocus = true;
  bool Captured = false;
  TPoint ScreenOrigin{300, 200};
  TPoint Cursor{0, 0};
  TRect DragTargetScreen;  // where a drag would target the tree (screen)
  bool OleTarget = false;
  Cardinal Tick = 1000;
  int Beeps = 0;

  bool Focused() const override { return HasFocus; }
  bool CanFocus() const override { return true; }
  void SetFocus() override { HasFocus = true; }
  void SetMouseCapture(bool Capture) override { Captured = Capture; }
  TPoint ClientToScreen(const TPoint& P) const override { return {P.X + ScreenOrigin.X, P.Y + ScreenOrigin.Y}; }
  TPoint ScreenToClient(const TPoint& P) const override { return {P.X - ScreenOrigin.X, P.Y - ScreenOrigin.Y}; }
  TPoint CursorPos() const override { return Cursor; }
  bool IsDragTargetAt(const TPoint& P) const override {
    return P.X >= DragTargetScreen.Left && P.X < DragTargetScreen.Right && P.Y >= DragTargetScreen.Top &&
           P.Y < DragTargetScreen.Bottom;
  }
  bool IsOleDropTarget() const override { return OleTarget; }
  void Beep() override { ++Beeps; }
  Cardinal TickCount() const override { return Tick; }
};

class TInputTree : public TCustomVastStringTree {
public:
  using TCustomVastStringTree::TCustomVastStringTree;
  using TCustomVastStringTree::DoCheckClick;
  using TCustomVastStringTree::DoStateChange;
  using TCustomVastStringTree::HasState;
  // Every node block freed so far.
  std::set<PVastNode> Freed;
  // Check boxes take room only where a test gives them some.
  Integer CheckWidth = 0;
  Integer CheckImageWidth() const override { return CheckWidth; }

protected:
  void DoFreeNode(PVastNode Node) override {
    Freed.insert(Node);
    TCustomVastStringTree::DoFreeNode(Node);
  }
};

// Texts by node; 7 pixels a character, rows of 18 pixels.
class TInputTest : public ::testing::Test {
protected:
  TInputHost Host;
  TInputTree Tree{&Host};
  std::map<PVastNode, String> Texts;
  std::vector<PVastNode> Top;

  void SetUp() override {
    Host.Width = 300;
    Host.Height = 90;  // five rows
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree.OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex, TVSTTextType, String& Text) {
      auto It = Texts.find(Node);
      Text = It != Texts.end() ? It->second : u"?";
    };
  }
  // Top-level nodes with these texts.
  void Build(std::initializer_list<const char16_t*> Names) {
    for (const char16_t* Name : Names) {
      PVastNode Node = Tree.AddChild(nullptr);
      Texts[Node] = Name;
      Top.push_back(Node);
    }
  }
  PVastNode Child(PVastNode Parent, const char16_t* Name) {
    PVastNode Node = Tree.AddChild(Parent);
    Texts[Node] = Name;
    return Node;
  }
  void Key(Word Code, TShiftState Shift = {}) { Tree.HandleKeyDown(Code, Shift); }
  void Type(const char16_t* Text) {
    for (const char16_t* P = Text; *P; ++P) {
      Tree.HandleKeyDown(static_cast<Word>(*P >= u'a' && *P <= u'z' ? *P - 32 : *P), {});
      Tree.HandleChar(static_cast<Word>(*P));
    }
  }
  void Options(TVTSelectionOptions Value) { Tree.TreeOptions().SetSelectionOptions(Value); }
  std::vector<Cardinal> SelectedIndexes() {
    std::vector<Cardinal> Result;
    for (PVastNode N : Tree.SelectedNodes()) Result.push_back(Tree.AbsoluteIndex(N));
    return Result;
  }
  void Click(Integer X, Integer Y, TShiftState Keys = {}, TMouseButton Button = mbLeft) {
    TVTMouseMessage M;
    M.Button = Button;
    M.Keys = Keys;
    M.X = X;
    M.Y = Y;
    THitInfo Hit;
    Tree.GetHitTestInfoAt(X, Y, true, Hit);
    Tree.MouseButtonDown(M, Hit);
    Tree.GetHitTestInfoAt(X, Y, true, Hit);
    Tree.MouseButtonUp(M, Hit);
  }
};

// ---------------------------------------------------------------------------
// Check states

TEST_F(TInputTest, TriStateParentsFollowTheirChildrenAndBack) {
  Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toCheckSupport});
  Build({u"root"});
  PVastNode A = Child(Top[0], u"a"), B = Child(Top[0], u"b"), C = Child(Top[0], u"c");
  PVastNode A1 = Child(A, u"a1"), A2 = Child(A, u"a2");
  for (PVastNode N : {Top[0], A}) Tree.SetCheckType(N, ctTriStateCheckBox);
  for (PVastNode N : {B, C, A1, A2}) Tree.SetCheckType(N, ctCheckBox);
  int Checked = 0;
  Tree.OnChecked = [&](TBaseVastTree*, PVastNode) { ++Checked; };

  // Checking the top checks everything below it, grandchildren included.
  Tree.SetCheckState(Top[0], csCheckedNormal);
  for (PVastNode N : {Top[0], A, B, C, A1, A2}) EXPECT_EQ(N->CheckState, csCheckedNormal);
  EXPECT_FALSE(Tree.HasState(tsCheckPropagation));

  // Unchecking a grandchild makes its parent and the top mixed.
  Tree.SetCheckState(A2, csUncheckedNormal);
  EXPECT_EQ(A->CheckState, csMixedNormal);
  EXPECT_EQ(Top[0]->CheckState, csMixedNormal);
  // Checking it again completes both.
  Tree.SetCheckState(A2, csCheckedNormal);
  EXPECT_EQ(A->CheckState, csCheckedNormal);
  EXPECT_EQ(Top[0]->CheckState, csCheckedNormal);
  // Unchecking all children unchecks the parent.
  for (PVastNode N : {A, B, C}) Tree.SetCheckState(N, csUncheckedNormal);
  EXPECT_EQ(Top[0]->CheckState, csUncheckedNormal);
  EXPECT_EQ(A1->CheckState, csUncheckedNormal);

  // A disabled unchecked child keeps its state and leaves the parent mixed.
  C->CheckState = csUncheckedDisabled;
  Tree.SetCheckState(Top[0], csCheckedNormal);
  EXPECT_EQ(C->CheckState, csUncheckedDisabled);
  EXPECT_EQ(B->CheckState, csCheckedNormal);
  EXPECT_EQ(Top[0]->CheckState, csMixedNormal);

  // The same state again fires nothing.
  Checked = 0;
  Tree.SetCheckState(B, csCheckedNormal);
  EXPECT_EQ(Checked, 0);
  // Read-only trees refuse every change.
  Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toReadOnly});
  Tree.SetCheckState(B, csUncheckedNormal);
  EXPECT_EQ(B->CheckState, csCheckedNormal);
}

TEST_F(TInputTest, RadioButtonsUncheckTheirSiblingsSilently) {
  Build({u"group"});
  PVastNode R1 = Child(Top[0], u"r1"), R2 = Child(Top[0], u"r2"), R3 = Child(Top[0], u"r3");
  for (PVastNode N : {R1, R2, R3}) Tree.SetCheckType(N, ctRadioButton);
  std::vector<PVastNode> Asked;
  Tree.OnChecking = [&](TBaseVastTree*, PVastNode N, TCheckState&, bool&) { Asked.push_back(N); };
  Tree.SetCheckState(R1, csCheckedNormal);
  Tree.SetCheckState(R3, Tree.NextCheckState(ctRadioButton, R3->CheckState));
  EXPECT_EQ(R1->CheckState, csUncheckedNormal);
  EXPECT_EQ(R3->CheckState, csCheckedNormal);
  EXPECT_EQ(Asked, (std::vector<PVastNode>{R1, R3}));
}

TEST_F(TInputTest, CheckImageIndexesFollowTheTable) {
  struct TCase {
    TCheckType Type;
    TCheckState State;
    bool Enabled;
    Integer Index;
  } Cases[] = {
      {ctCheckBox, csCheckedDisabled, true, 16},     {ctCheckBox, csUncheckedNormal, true, 9},
      {ctTriStateCheckBox, csMixedNormal, true, 17}, {ctCheckBox, csCheckedPressed, true, 15},
      {ctRadioButton, csCheckedNormal, false, 8},    {ctButton, csCheckedNormal, true, 21},
      {ctNone, csCheckedNormal, true, -1},
  };
  for (const TCase& C : Cases)
    EXPECT_EQ(Tree.CheckImageIndex(nullptr, C.Type, C.State, C.Enabled), C.Index) << int(C.Type) << int(C.State);
  // A hot node shows the hot image: an unchecked radio button is 2.
  Build({u"r"});
  Tree.SetCheckType(Top[0], ctRadioButton);
  Tree.SetHotNode(Top[0]);
  EXPECT_EQ(Tree.CheckImageIndex(Top[0], ctNone, csUncheckedNormal, true), 2);
}

// ---------------------------------------------------------------------------
// Keyboard

TEST_F(TInputTest, ShiftArrowsExtendFromTheAnchorAndPlainArrowsReplace) {
  Options({toMultiSelect});
  Build({u"n0", u"n1", u"n2", u"n3", u"n4", u"n5", u"n6", u"n7"});
  Tree.SetFocusedNode(Top[1]);
  Tree.SetSelected(Top[1], true);
  Key(vkDown);  // plain: anchor moves with the focus
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{2}));
  for (int I = 0; I < 3; ++I) Key(vkDown, {ssShift});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{2, 3, 4, 5}));
  EXPECT_EQ(Tree.RangeAnchor(), Top[2]);
  Key(vkUp, {ssShift});  // shrinking the range
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{2, 3, 4}));
  Key(vkDown);
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{5}));
  EXPECT_EQ(Tree.RangeAnchor(), Top[5]);
  Key(vkEnd, {ssShift});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{5, 6, 7}));
  Key(vkHome);
  EXPECT_EQ(Tree.FocusedNode(), Top[0]);
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{0}));
  // Down on the last node changes nothing.
  Key(vkEnd);
  Key(vkDown);
  EXPECT_EQ(Tree.FocusedNode(), Top[7]);
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{7}));
  // Ctrl+A selects everything visible; "a" alone searches.
  Key(65, {ssCtrl});
  EXPECT_EQ(Tree.SelectedCount(), 8);
  EXPECT_FALSE(Tree.HasState(tsIncrementalSearchPending));
  Key(65);
  EXPECT_TRUE(Tree.HasState(tsIncrementalSearchPending));
}

TEST_F(TInputTest, PagesMoveByTheClientHeight) {
  Build({u"n0", u"n1", u"n2", u"n3", u"n4", u"n5", u"n6", u"n7", u"n8", u"n9", u"n10", u"n11"});
  // Nothing focused: Page Down goes to the last node, Page Up to the first.
  Key(vkNext);
  EXPECT_EQ(Tree.FocusedNode(), Top[11]);
  // A page is as many rows as fit into the 90 pixels: five of 18.
  Key(vkPrior);
  EXPECT_EQ(Tree.FocusedNode(), Top[7]);
  Key(vkPrior);
  EXPECT_EQ(Tree.FocusedNode(), Top[3]);
  Key(vkNext);
  EXPECT_EQ(Tree.FocusedNode(), Top[7]);
  EXPECT_TRUE(Tree.GetSelected(Top[7]));
  // Ctrl+Page Down only scrolls.
  const Integer Offset = Tree.OffsetY();
  Key(vkNext, {ssCtrl});
  EXPECT_EQ(Tree.FocusedNode(), Top[7]);
  EXPECT_LT(Tree.OffsetY(), Offset);
}

TEST_F(TInputTest, LeftAndRightCollapseExpandAndWalkTheLevels) {
  Build({u"a", u"b"});
  PVastNode A1 = Child(Top[0], u"a1");
  Child(Top[0], u"a2");
  Tree.SetFocusedNode(Top[0]);
  Key(vkRight);
  EXPECT_TRUE(Tree.GetExpanded(Top[0]));
  EXPECT_EQ(Tree.FocusedNode(), Top[0]);
  Key(vkRight);
  EXPECT_EQ(Tree.FocusedNode(), A1);
  Key(vkLeft);
  EXPECT_EQ(Tree.FocusedNode(), Top[0]);
  Key(vkLeft);
  EXPECT_FALSE(Tree.GetExpanded(Top[0]));
  // Typing "+" on the main keyboard expands like the keypad key: the
  // window gives the character the key makes.
  EXPECT_EQ(TBaseVastTree::KeypadCodeForChar(187, u'+'), vkAdd);
  EXPECT_EQ(TBaseVastTree::KeypadCodeForChar(65, u'a'), 65);
  Key(vkAdd);
  EXPECT_TRUE(Tree.GetExpanded(Top[0]));
  Key(vkSubtract);
  EXPECT_FALSE(Tree.GetExpanded(Top[0]));
  Key(vkMultiply);
  EXPECT_TRUE(Tree.GetExpanded(Top[0]));
}

TEST_F(TInputTest, GridModeMovesTheFocusedColumn) {
  TVTHeader& H = Tree.Header();
  for (int I = 0; I < 3; ++I) H.Columns().Add()->SetWidth(80);
  H.SetMainColumn(0);
  Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toGridExtensions});
  Options({toExtendedFocus});
  Build({u"a", u"b"});
  Tree.SetFocusedNode(Top[0]);
  Tree.SetFocusedColumn(0);
  Key(vkRight);
  EXPECT_EQ(Tree.FocusedColumn(), 1);
  Key(vkEnd);
  EXPECT_EQ(Tree.FocusedColumn(), 2);
  EXPECT_EQ(Tree.FocusedNode(), Top[0]);
  // Tab on the last column goes to the first column of the next node; on
  // the last node's last column it does nothing.
  Key(vkTab);
  EXPECT_EQ(Tree.FocusedNode(), Top[1]);
  EXPECT_EQ(Tree.FocusedColumn(), 0);
  Key(vkTab);
  Key(vkTab);
  Key(vkTab);
  EXPECT_EQ(Tree.FocusedNode(), Top[1]);
  EXPECT_EQ(Tree.FocusedColumn(), 2);
  Key(vkHome);
  EXPECT_EQ(Tree.FocusedColumn(), 0);
  Key(vkLeft);
  EXPECT_EQ(Tree.FocusedColumn(), 0);
  Key(vkUp);
  EXPECT_EQ(Tree.FocusedNode(), Top[0]);
}

// ---------------------------------------------------------------------------
// Incremental search

TEST_F(TInputTest, IncrementalSearchMatchesCyclesAndTimesOut) {
  Tree.SetIncrementalSearch(isAll);
  Build({u"alpha", u"beta", u"abacus", u"Abbey", u"bravo"});
  Type(u"ab");
  EXPECT_EQ(Tree.FocusedNode(), Top[2]);
  EXPECT_EQ(Tree.SearchBuffer(), u"ab");
  EXPECT_EQ(Host.Timers.at(SearchTimer), 1000u);
  Type(u"b");  // "abb", case ignored
  EXPECT_EQ(Tree.FocusedNode(), Top[3]);
  EXPECT_TRUE(Tree.GetSelected(Top[3]));
  // Backspace searches backwards for "ab" and keeps it.
  Tree.HandleKeyDown(vkBack, {});
  Tree.HandleChar(8);
  EXPECT_EQ(Tree.SearchBuffer(), u"ab");
  EXPECT_EQ(Tree.FocusedNode(), Top[2]);
  // The time-out forgets the letters: "b" starts anew.
  ASSERT_TRUE(Host.Fire(Tree, SearchTimer));
  EXPECT_EQ(Tree.SearchBuffer(), u"");
  EXPECT_FALSE(Tree.HasState(tsIncrementalSearching));
  Type(u"b");
  EXPECT_EQ(Tree.FocusedNode(), Top[4]);
  // The same letter again cycles through the matches.
  Type(u"b");
  EXPECT_EQ(Tree.FocusedNode(), Top[1]);
  Type(u"b");
  EXPECT_EQ(Tree.FocusedNode(), Top[4]);
  // Nothing matches: one beep, focus kept, buffer kept.
  const int Beeps = Host.Beeps;
  Type(u"z");
  EXPECT_EQ(Host.Beeps, Beeps + 1);
  EXPECT_EQ(Tree.FocusedNode(), Top[4]);
  EXPECT_EQ(Tree.SearchBuffer(), u"b");
}

TEST_F(TInputTest, SearchOffOrVisibleOnly) {
  Build({u"top", u"other"});
  PVastNode Hidden = Child(Top[0], u"inner");
  Type(u"o");  // isNone by default
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
  Tree.SetIncrementalSearch(isVisibleOnly);
  Type(u"i");
  EXPECT_NE(Tree.FocusedNode(), Hidden);
  Tree.SetIncrementalSearch(isAll);
  Host.Fire(Tree, SearchTimer);
  Type(u"i");
  EXPECT_EQ(Tree.FocusedNode(), Hidden);
}

// ---------------------------------------------------------------------------
// Mouse

TEST_F(TInputTest, ClicksSelectWithShiftAndCtrlAndRightClickSelects) {
  Options({toMultiSelect, toFullRowSelect, toRightClickSelect});
  Build({u"n0", u"n1", u"n2", u"n3", u"n4"});
  Click(100, 9);
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{0}));
  EXPECT_EQ(Tree.FocusedNode(), Top[0]);
  Click(100, 3 * 18 + 9, {ssShift});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{0, 1, 2, 3}));
  Click(100, 18 + 9, {ssCtrl});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{0, 2, 3}));
  // Ctrl+Shift adds the range from the anchor the Ctrl click set.
  Click(100, 4 * 18 + 9, {ssCtrl, ssShift});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{0, 1, 2, 3, 4}));
  Click(100, 2 * 18 + 9, {ssCtrl});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{0, 1, 3, 4}));
  // A right click on an unselected node selects it alone.
  Click(100, 18 + 9, {}, mbRight);
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{1}));
  EXPECT_EQ(Tree.FocusedNode(), Top[1]);
  EXPECT_FALSE(Host.Captured);
}

TEST_F(TInputTest, ButtonsToggleAndEmptyTreesIgnoreClicks) {
  Click(10, 10);
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
  Build({u"a"});
  Child(Top[0], u"a1");
  TVTOffsets O;
  Tree.GetOffsets(Top[0], O, ofsCheckBox);
  Click(O[ofsCheckBox] - 9, 9);
  EXPECT_TRUE(Tree.GetExpanded(Top[0]));
  EXPECT_EQ(Tree.SelectedCount(), 0);
}

TEST_F(TInputTest, RubberBandSelectsTheRowsItCrossesAndCtrlToggles) {
  Options({toMultiSelect});
  Build({u"n0", u"n1", u"n2", u"n3", u"n4"});
  auto Band = [&](Integer Y0, Integer Y1, TShiftState Keys) {
    TVTMouseMessage M;
    M.Keys = Keys;
    M.X = 250;  // right of every label
    M.Y = Y0;
    THitInfo Hit;
    Tree.GetHitTestInfoAt(M.X, M.Y, true, Hit);
    Tree.MouseButtonDown(M, Hit);
    EXPECT_TRUE(Tree.HasState(tsDrawSelPending));
    EXPECT_TRUE(Host.Captured);
    Tree.HandleMouseMove(Keys, 251, Y0 + 2);  // within the drag threshold
    EXPECT_TRUE(Tree.HasState(tsDrawSelPending));
    Tree.HandleMouseMove(Keys, 10, Y1);
    EXPECT_TRUE(Tree.HasState(tsDrawSelecting));
    M.X = 10;
    M.Y = Y1;
    Tree.GetHitTestInfoAt(M.X, M.Y, true, Hit);
    Tree.MouseButtonUp(M, Hit);
    EXPECT_FALSE(Tree.IsMouseSelecting());
  };
  Band(18 + 5, 3 * 18 + 5, {});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{1, 2, 3}));
  Band(2 * 18 + 5, 4 * 18 + 5, {ssCtrl});
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{1, 4}));
}

TEST_F(TInputTest, RightToLeftMirrorsHitsAndTheBand) {
  Options({toMultiSelect});
  TVTHeader& H = Tree.Header();
  H.Columns().Add()->SetWidth(150);
  H.Columns().Add()->SetWidth(50);
  H.SetMainColumn(0);
  Build({u"n0", u"n1", u"n2", u"n3", u"n4"});
  Tree.SetBiDiMode(bdRightToLeft);
  // The columns read right to left with the tree and sit at the right of
  // the 300 pixels.
  EXPECT_EQ(H.Columns()[0].BiDiMode(), bdRightToLeft);
  EXPECT_EQ(Tree.RightToLeftOffset(true), 100);
  EXPECT_EQ(H.Columns().ColumnFromPosition(TPoint{99, 5}), InvalidColumn);
  EXPECT_EQ(H.Columns().ColumnFromPosition(TPoint{100, 5}), 0);
  EXPECT_EQ(H.Columns().ColumnFromPosition(TPoint{260, 5}), 1);
  // The label ends the main column's label offset left of its right edge;
  // its text lies left of that end, the empty side further left.
  TVTOffsets O;
  Tree.GetOffsets(Top[0], O, ofsRightOfText, 0);
  const Integer LabelEnd = 100 + 150 - O[ofsLabel];
  const Integer TextWidth = O[ofsRightOfText] - O[ofsText];
  struct TCase {
    Integer X;
    THitPosition Position;
  } Cases[] = {{LabelEnd - 3, hiOnItemLabel},
               {LabelEnd - TextWidth + 2, hiOnItemLabel},
               {105, hiOnItemLeft},
               {LabelEnd + 3, hiOnItemIndent}};
  for (const TCase& C : Cases) {
    THitInfo Hit;
    Tree.GetHitTestInfoAt(C.X, 9, true, Hit);
    EXPECT_EQ(Hit.HitNode, Top[0]) << C.X;
    EXPECT_EQ(Hit.HitColumn, 0) << C.X;
    EXPECT_TRUE(Hit.HitPositions.Contains(C.Position)) << C.X;
  }
  // A band from the empty area left of the columns: over the empty side of
  // the main column it takes nothing, over the texts it takes their rows.
  auto Band = [&](Integer X1, Integer Y1) {
    TVTMouseMessage M;
    M.X = 50;
    M.Y = 5;
    THitInfo Hit;
    Tree.GetHitTestInfoAt(M.X, M.Y, true, Hit);
    Tree.MouseButtonDown(M, Hit);
    Tree.HandleMouseMove({}, 60, 15);
    Tree.HandleMouseMove({}, X1, Y1);
    EXPECT_TRUE(Tree.HasState(tsDrawSelecting));
    EXPECT_EQ(Tree.NewSelRect().Left, 50 - 100);
    M.X = X1;
    M.Y = Y1;
    Tree.GetHitTestInfoAt(M.X, M.Y, true, Hit);
    Tree.MouseButtonUp(M, Hit);
  };
  Band(LabelEnd - TextWidth - 10, 2 * 18 + 5);
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{}));
  Band(LabelEnd - TextWidth + 5, 2 * 18 + 5);
  EXPECT_EQ(SelectedIndexes(), (std::vector<Cardinal>{0, 1, 2}));
}

TEST_F(TInputTest, RowHeightDragFollowsTheMouse) {
  TVTHeader& H = Tree.Header();
  TVastTreeColumn* C = H.Columns().Add();
  C->SetWidth(200);
  C->SetOptions(C->Options() + TVTColumnOptions{coFixed});
  H.SetMainColumn(0);
  Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toNodeHeightResize});
  Build({u"a", u"b"});
  TVTMouseMessage M;
  M.X = 100;
  M.Y = 17;  // the lower edge of row 0
  THitInfo Hit;
  Tree.GetHitTestInfoAt(M.X, M.Y, true, Hit);
  ASSERT_TRUE(Hit.HitPositions.Contains(hiLowerSplitter));
  Tree.MouseButtonDown(M, Hit);
  EXPECT_TRUE(Tree.HasState(tsNodeHeightTrackPending));
  Tree.HandleMouseMove({ssLeft}, 100, 30);
  EXPECT_TRUE(Tree.HasState(tsNodeHeightTracking));
  Tree.HandleMouseMove({ssLeft}, 100, 40);
  EXPECT_EQ(Tree.GetNodeHeight(Top[0]), 40u);
  Tree.EndNodeHeightTracking();
  EXPECT_FALSE(Tree.HasState(tsNodeHeightTracking));
}

// ---------------------------------------------------------------------------
// Editing

class TFakeEditLink : public IVTEditLink {
public:
  int Refs = 0;
  bool AcceptEnd = true;
  std::vector<std::string> Calls;
  TRect Bounds;
  Integer _AddRef() override { return ++Refs; }
  Integer _Release() override { return --Refs; }
  bool BeginEdit() override {
    Calls.push_back("begin");
    return true;
  }
  bool CancelEdit() override {
    Calls.push_back("cancel");
    return true;
  }
  bool EndEdit() override {
    Calls.push_back("end");
    return AcceptEnd;
  }
  bool PrepareEdit(TBaseVastTree*, PVastNode, TColumnIndex) override {
    Calls.push_back("prepare");
    return true;
  }
  TRect GetBounds() override { return Bounds; }
  void SetBounds(TRect R) override {
    Bounds = R;
    Calls.push_back("bounds");
  }
  void ProcessMessage(TMessage&) override {}
};

TEST_F(TInputTest, EditProtocolStartsEndsAndCancels) {
  Build({u"alpha", u"beta"});
  TFakeEditLink Link;
  Tree.OnCreateEditor = [&](TBaseVastTree*, PVastNode, TColumnIndex, IVTEditLink*& L) { L = &Link; };
  // Not editable: no editor.
  EXPECT_FALSE(Tree.EditNode(Top[0], NoColumn));
  Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toEditable});
  bool Allow = false;
  Tree.OnEditing = [&](TBaseVastTree*, PVastNode, TColumnIndex, bool& A) { A = A && Allow; };
  EXPECT_FALSE(Tree.EditNode(Top[0], NoColumn));
  Allow = true;
  ASSERT_TRUE(Tree.EditNode(Top[1], NoColumn));
  EXPECT_EQ(Tree.FocusedNode(), Top[1]);
  EXPECT_EQ(Link.Calls, (std::vector<std::string>{"prepare", "bounds", "begin"}));
  EXPECT_EQ(Link.Refs, 1);
  // The editor refuses to end: it stays, and so does the focus.
  Link.AcceptEnd = false;
  Key(vkUp);
  EXPECT_TRUE(Tree.IsEditing());
  EXPECT_EQ(Tree.FocusedNode(), Top[1]);
  Link.AcceptEnd = true;
  int Edited = 0;
  Tree.OnEdited = [&](TBaseVastTree*, PVastNode, TColumnIndex) { ++Edited; };
  EXPECT_TRUE(Tree.EndEditNode());
  EXPECT_FALSE(Tree.IsEditing());
  EXPECT_EQ(Edited, 1);
  EXPECT_EQ(Link.Refs, 0);
  // F2 starts it again, Escape cancels.
  int Cancelled = 0;
  Tree.OnEditCancelled = [&](TBaseVastTree*, TColumnIndex) { ++Cancelled; };
  Key(vkF2);
  EXPECT_TRUE(Tree.IsEditing());
  Key(vkEscape);
  EXPECT_FALSE(Tree.IsEditing());
  EXPECT_EQ(Cancelled, 1);
  // A second click on the selected node arms the edit timer.
  Tree.SetSelected(Top[1], true);
  TVTOffsets O;
  Tree.GetOffsets(Top[1], O, ofsText);
  Click(O[ofsText] + 3, 18 + 9);
  EXPECT_EQ(Host.Timers.count(EditTimer), 1u);
  EXPECT_EQ(Host.Timers.at(EditTimer), 1000u);
  ASSERT_TRUE(Host.Fire(Tree, EditTimer));
  EXPECT_TRUE(Tree.IsEditing());
  Tree.CancelEditNode();
}

// ---------------------------------------------------------------------------
// Auto-scroll

TEST_F(TInputTest, AutoScrollDirectionsAndTheDragDelay) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() + TVTAutoOptions{toAutoScroll});
  for (int I = 0; I < 30; ++I) Build({u"row"});
  // Nothing to scroll for: no rubber band, no drag.
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 85).Empty());
  Host.OleTarget = true;
  // The bottom band starts the wait; nothing moves until the delay passed.
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 85).Empty());
  Host.Tick += 999;
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 85).Empty());
  Host.Tick += 1;
  EXPECT_EQ(Tree.ComputeScrollDirections(10, 85), TScrollDirections{sdDown});
  // At the top nothing scrolls up.
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 2).Empty());
  // A new drag starts the wait anew.
  Tree.ResetDragScrollStart();
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 85).Empty());
}

TEST_F(TInputTest, AClockThatWrapsNeverBlocksEdgeScrolling) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() + TVTAutoOptions{toAutoScroll});
  for (int I = 0; I < 30; ++I) Build({u"row"});
  Host.OleTarget = true;
  Host.Tick = 0xFFFFFF00u;  // 256 ms before the clock wraps
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 85).Empty());
  Host.Tick = 500;  // wrapped: 756 ms later
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 85).Empty());
  Host.Tick = 800;  // 1056 ms later
  EXPECT_EQ(Tree.ComputeScrollDirections(10, 85), TScrollDirections{sdDown});
}

TEST_F(TInputTest, TheDelayTestLooksUpTheDragTargetOnTheScreen) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() + TVTAutoOptions{toAutoScroll});
  for (int I = 0; I < 30; ++I) Build({u"row"});
  // A class-library drag over the tree: the tree is the drag target only
  // where it lies on the screen, 300 pixels right and 200 down.
  Tree.DoStateChange({tsVCLDragging});
  Host.DragTargetScreen = TRect{300, 200, 600, 290};
  // The point (10, 85) is the tree on the screen: the wait applies.
  EXPECT_TRUE(Tree.ComputeScrollDirections(10, 85).Empty());
  Host.Tick += 1000;
  EXPECT_EQ(Tree.ComputeScrollDirections(10, 85), TScrollDirections{sdDown});
  // Had the client point been taken as a screen point, no wait would apply
  // to a tree placed at (0, 0) either; placed elsewhere it must still wait.
  Tree.ResetDragScrollStart();
  Host.DragTargetScreen = TRect{0, 0, 300, 90};  // the tree is not there
  EXPECT_EQ(Tree.ComputeScrollDirections(10, 85), TScrollDirections{sdDown});
  Tree.DoStateChange({}, {tsVCLDragging});
}

// The drop mode under the pointer and the effect proposed for the keys.
TEST_F(TInputTest, DropModesAndProposedEffects) {
  Build({u"alpha", u"beta", u"gamma"});
  auto ModeAt = [&](Integer X, Integer Y) {
    THitInfo Hit;
    Tree.GetHitTestInfoAt(X, Y, true, Hit);
    const TRect R = Hit.HitNode ? Tree.GetDisplayRect(Hit.HitNode, NoColumn, false) : TRect{};
    return Tree.ComputeDropMode(TPoint{X, Y}, Hit, R);
  };
  Integer Label = -1;
  for (Integer X = 0; X < 300 && Label < 0; ++X) {
    THitInfo Hit;
    Tree.GetHitTestInfoAt(X, 9, true, Hit);
    if (Hit.HitPositions.Contains(hiOnItemLabel)) Label = X + 3;
  }
  ASSERT_GE(Label, 0);
  const struct {
    Integer X, Y;
    TDropMode Mode;
  } Cases[] = {{Label, 9, dmOnNode}, {Label, 16, dmOnNode}, {250, 3, dmAbove},  {250, 8, dmAbove},
               {250, 9, dmBelow},    {250, 17, dmBelow},    {250, 20, dmAbove}, {250, 80, dmNowhere}};
  for (const auto& C : Cases) EXPECT_EQ(ModeAt(C.X, C.Y), C.Mode) << C.X << "," << C.Y;
  // Without the drop mark beside the label is on the node; in report mode
  // it is nowhere.
  TCustomVastTreeOptions& O = Tree.TreeOptions();
  O.SetPaintOptions(O.PaintOptions() - TVTPaintOptions{toShowDropmark});
  EXPECT_EQ(ModeAt(250, 3), dmOnNode);
  O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toReportMode});
  EXPECT_EQ(ModeAt(250, 3), dmNowhere);
  EXPECT_EQ(ModeAt(Label, 9), dmOnNode);

  TObject Other;
  constexpr Integer All = DropEffectCopy | DropEffectMove | DropEffectLink;
  const struct {
    TObject* Source;
    TShiftState Shift;
    Integer Allowed, Expected;
  } Effects[] = {
      {&Tree, {}, All, DropEffectMove},
      {&Other, {}, All, DropEffectCopy},
      {&Other, {}, DropEffectMove, DropEffectMove},
      {&Tree, {ssCtrl}, All, DropEffectCopy},
      {&Other, {ssShift}, All, DropEffectMove},
      {&Other, {ssCtrl, ssShift}, All, DropEffectLink},
      {&Other, {ssAlt}, All, DropEffectLink},
      {&Tree, {ssCtrl}, DropEffectMove | DropEffectLink, DropEffectMove},
      {&Other, {ssAlt}, DropEffectCopy | DropEffectMove, DropEffectCopy},
  };
  for (const auto& E : Effects)
    EXPECT_EQ(Tree.ProposeDropEffect(E.Source, E.Shift, TPoint{}, E.Allowed), E.Expected) << E.Allowed;
}

// A drag over the tree: the drop target follows the pointer, a collapsed
// target opens after the auto-expand delay, a refusing handler makes the
// effect none, and leaving forgets the target.
TEST_F(TInputTest, ADragOverTheTreeMarksAndOpensItsTarget) {
  Build({u"alpha", u"beta", u"gamma"});
  Child(Top[2], u"inner");
  std::vector<TDragState> States;
  bool Accept = true;
  Tree.OnDragOver = [&](TBaseVastTree*, TObject*, TShiftState, TDragState State, TPoint, TDropMode, Integer&,
                        bool& Accepted) {
    States.push_back(State);
    Accepted = Accept;
  };
  auto Screen = [&](Integer X, Integer Y) { return Host.ClientToScreen(TPoint{X, Y}); };
  Integer Effect = DropEffectCopy | DropEffectMove;
  ASSERT_TRUE(Tree.OleDragEnter(&Tree, {}, Screen(250, 18 + 3), Effect));
  EXPECT_EQ(Effect, DropEffectMove);
  EXPECT_EQ(Tree.DropTargetNode(), Top[1]);
  EXPECT_EQ(Tree.LastDropMode(), dmAbove);
  Effect = DropEffectCopy | DropEffectMove;
  ASSERT_TRUE(Tree.OleDragOver(&Tree, {ssCtrl}, dsDragMove, Screen(250, 36 + 14), Effect));
  EXPECT_EQ(Effect, DropEffectCopy);
  EXPECT_EQ(Tree.DropTargetNode(), Top[2]);
  EXPECT_EQ(Tree.LastDropMode(), dmBelow);
  // gamma has children: it opens when the auto-expand timer runs out.
  ASSERT_TRUE(Host.Timers.count(ExpandTimer));
  EXPECT_EQ(Host.Timers.at(ExpandTimer), Tree.AutoExpandDelay());
  EXPECT_FALSE(Tree.GetExpanded(Top[2]));
  Host.Fire(Tree, ExpandTimer);
  EXPECT_TRUE(Tree.GetExpanded(Top[2]));
  EXPECT_FALSE(Host.Timers.count(ExpandTimer));
  Accept = false;
  Effect = DropEffectCopy;
  Tree.OleDragOver(&Tree, {}, dsDragMove, Screen(250, 40), Effect);
  EXPECT_EQ(Effect, DropEffectNone);
  Tree.OleDragLeave();
  EXPECT_EQ(Tree.DropTargetNode(), nullptr);
  EXPECT_EQ(States, (std::vector<TDragState>{dsDragEnter, dsDragMove, dsDragMove, dsDragLeave}));

  // A drop reports the data's formats, the mode and the dragging button,
  // and forgets the target; without an effect there is no drop.
  Accept = true;
  std::vector<TFormatArray> Dropped;
  TShiftState DropShift;
  TDropMode DropMode = dmNowhere;
  Tree.OnDragDrop = [&](TBaseVastTree*, TObject*, IDataObject*, const TFormatArray& Formats, TShiftState Shift,
                        const TPoint&, Integer&, TDropMode Mode) {
    Dropped.push_back(Formats);
    DropShift = Shift;
    DropMode = Mode;
  };
  Effect = DropEffectCopy;
  Tree.OleDragEnter(&Tree, {}, Screen(250, 3), Effect);
  Effect = DropEffectCopy;
  EXPECT_TRUE(Tree.OleDragDrop(&Tree, nullptr, TFormatArray{15, 49161}, {}, Screen(250, 3), Effect));
  ASSERT_EQ(Dropped.size(), 1u);
  EXPECT_EQ(Dropped[0], (TFormatArray{15, 49161}));
  EXPECT_TRUE(DropShift.Contains(ssLeft));
  EXPECT_EQ(DropMode, dmAbove);
  EXPECT_EQ(Tree.DropTargetNode(), nullptr);
  Accept = false;
  Effect = DropEffectCopy;
  Tree.OleDragEnter(&Tree, {}, Screen(250, 3), Effect);
  Effect = DropEffectCopy;
  EXPECT_FALSE(Tree.OleDragDrop(&Tree, nullptr, TFormatArray{15}, {}, Screen(250, 3), Effect));
  EXPECT_EQ(Dropped.size(), 1u);
  EXPECT_EQ(Tree.DropTargetNode(), nullptr);
}

// Resting in the bottom band, a drag scrolls only after the auto-scroll
// delay, and a drag that comes in again waits anew.
TEST_F(TInputTest, ADragThatComesInAgainWaitsBeforeItScrolls) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() + TVTAutoOptions{toAutoScroll});
  for (int I = 0; I < 30; ++I) Build({u"row"});
  const TPoint Bottom = Host.ClientToScreen(TPoint{250, 85});
  Integer Effect = DropEffectMove;
  Tree.OleDragEnter(&Tree, {}, Bottom, Effect);
  Effect = DropEffectMove;
  Tree.OleDragOver(&Tree, {}, dsDragMove, Bottom, Effect);
  EXPECT_EQ(Tree.OffsetY(), 0);
  Host.Tick += 1000;
  Effect = DropEffectMove;
  Tree.OleDragOver(&Tree, {}, dsDragMove, Bottom, Effect);
  EXPECT_LT(Tree.OffsetY(), 0);
  EXPECT_NE(Effect & DropEffectScroll, 0);
  const Integer Scrolled = Tree.OffsetY();
  Tree.OleDragLeave();
  Effect = DropEffectMove;
  Tree.OleDragEnter(&Tree, {}, Bottom, Effect);
  Effect = DropEffectMove;
  Tree.OleDragOver(&Tree, {}, dsDragMove, Bottom, Effect);
  EXPECT_EQ(Tree.OffsetY(), Scrolled);
  EXPECT_EQ(Effect & DropEffectScroll, 0);
  Tree.OleDragLeave();
}

TEST_F(TInputTest, AutoScrollStepsByIncrementInsideAndByDistanceOutside) {
  Options({toMultiSelect});
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() + TVTAutoOptions{toAutoScroll});
  for (int I = 0; I < 40; ++I) Build({u"row"});
  Tree.ScrollBarOptions().SetVerticalIncrement(10);
  // The pointer is over the tree on the screen, as in a real window: a
  // rubber band is no drag and does not wait for the drag delay.
  Host.DragTargetScreen = TRect{Host.ScreenOrigin.X, Host.ScreenOrigin.Y, Host.ScreenOrigin.X + Host.Width,
                                Host.ScreenOrigin.Y + Host.Height};
  TVTMouseMessage M;
  M.X = 250;
  M.Y = 5;
  THitInfo Hit;
  Tree.GetHitTestInfoAt(M.X, M.Y, true, Hit);
  Tree.MouseButtonDown(M, Hit);
  Tree.HandleMouseMove({ssLeft}, 250, 84);  // the band starts
  EXPECT_TRUE(Tree.HasState(tsDrawSelecting));
  Tree.HandleMouseMove({ssLeft}, 250, 85);  // in the bottom band
  EXPECT_TRUE(Tree.ScrollDirections().Contains(sdDown));
  EXPECT_EQ(Host.Timers.at(ScrollTimer), 1000u);
  // Inside the window: one increment per tick.
  Host.Cursor = Host.ClientToScreen(TPoint{250, 85});
  Host.Fire(Tree, ScrollTimer);
  EXPECT_TRUE(Tree.HasState(tsScrolling));
  EXPECT_EQ(Host.Timers.at(ScrollTimer), 1u);
  EXPECT_EQ(Tree.OffsetY(), -10);
  // 30 pixels below the window: 30 increments.
  Host.Cursor = Host.ClientToScreen(TPoint{250, 90 + 30});
  Host.Fire(Tree, ScrollTimer);
  EXPECT_EQ(Tree.OffsetY(), -10 - 300);
  // At the end the direction is dropped and the timer stops.
  for (int I = 0; I < 5 && Host.Timers.count(ScrollTimer); ++I) Host.Fire(Tree, ScrollTimer);
  EXPECT_EQ(Tree.OffsetY(), Host.Height - Tree.RangeY());
  EXPECT_EQ(Host.Timers.count(ScrollTimer), 0u);
}

TEST_F(TInputTest, PanningCursorsFollowThePointer) {
  for (int I = 0; I < 30; ++I) Build({u"row"});
  Tree.SetLastClickPos(TPoint{100, 50});
  EXPECT_EQ(Tree.PanningImageKind(), pcMoveNS);
  EXPECT_EQ(Tree.PanningCursorAt(105, 55), pcMoveNS);
  EXPECT_EQ(Tree.PanningCursorAt(100, 20), pcMoveN);
  EXPECT_EQ(Tree.PanningCursorAt(100, 80), pcMoveS);
  // Panning at 20 pixels below the origin moves the view 12 pixels a tick.
  Tree.BeginWheelPanning(TPoint{100, 50});
  EXPECT_TRUE(Tree.IsPanning());
  EXPECT_EQ(Host.Timers.at(ScrollTimer), 20u);
  Tree.HandleMouseMove({}, 100, 70);
  EXPECT_EQ(Tree.ScrollDirections(), TScrollDirections{sdDown});
  Host.Cursor = Host.ClientToScreen(TPoint{100, 70});
  Host.Fire(Tree, ScrollTimer);
  EXPECT_EQ(Tree.OffsetY(), -12);
  // Within 8 pixels nothing moves.
  Tree.HandleMouseMove({}, 104, 56);
  EXPECT_TRUE(Tree.ScrollDirections().Empty());
  Tree.EndWheelPanning();
  EXPECT_FALSE(Tree.IsPanning());
  EXPECT_EQ(Host.Timers.count(ScrollTimer), 0u);
  Tree.EndWheelPanning();  // without panning: nothing
}

// ---------------------------------------------------------------------------
// Nodes freed while input is handled: a menu's command between a button's
// down and up, or a handler of an event the click or the key fires, deletes
// the row. The handler stops there, and nothing ever reaches the freed block
// (under AddressSanitizer a read of it fails the test on the spot).

class TFreedNodeTest : public TInputTest {
protected:
  // The tree outlives this part of the fixture and frees its rows as it
  // goes: its handlers must not reach back here then.
  ~TFreedNodeTest() override {
    Tree.OnFocusChanging = nullptr;
    Tree.OnFocusChanged = nullptr;
    Tree.OnAddToSelection = nullptr;
    Tree.OnRemoveFromSelection = nullptr;
    Tree.OnChange = nullptr;
    Tree.OnNodeClick = nullptr;
    Tree.OnDragAllowed = nullptr;
    Tree.OnGetPopupMenu = nullptr;
    Tree.OnChecking = nullptr;
    Tree.OnCreateEditor = nullptr;
    Tree.OnEdited = nullptr;
  }
  // Reports of a freed node by the events that name nodes.
  int Stale = 0;
  int NodeClicks = 0;
  void Report(PVastNode Node) {
    if (Node && Tree.Freed.count(Node)) ++Stale;
  }
  void WatchEvents() {
    Tree.OnFocusChanging = [this](TBaseVastTree*, PVastNode Old, PVastNode New, TColumnIndex, TColumnIndex, bool&) {
      Report(Old);
      Report(New);
    };
    Tree.OnFocusChanged = [this](TBaseVastTree*, PVastNode Node, TColumnIndex) { Report(Node); };
    Tree.OnAddToSelection = [this](TBaseVastTree*, PVastNode Node) { Report(Node); };
    Tree.OnRemoveFromSelection = [this](TBaseVastTree*, PVastNode Node) { Report(Node); };
    Tree.OnChange = [this](TBaseVastTree*, PVastNode Node) { Report(Node); };
    Tree.OnNodeClick = [this](TBaseVastTree*, const THitInfo& Hit) {
      ++NodeClicks;
      Report(Hit.HitNode);
    };
  }
  // A fresh tree of top-level rows with these texts.
  void Rebuild(TVTSelectionOptions Sel, std::initializer_list<const char16_t*> Names) {
    Tree.Clear();
    Top.clear();
    Tree.Freed.clear();
    Stale = NodeClicks = 0;
    Options(Sel);
    Build(Names);
    WatchEvents();
  }
  // Deletes Node the first time; false afterwards.
  bool DeleteOnce(PVastNode Node) {
    if (!Node || Tree.Freed.count(Node)) return false;
    Tree.DeleteNode(Node);
    return true;
  }
  void Button(bool Down, Integer X, Integer Y, TMouseButton Which) {
    TVTMouseMessage M;
    M.Button = Which;
    M.X = X;
    M.Y = Y;
    THitInfo Hit;
    Tree.GetHitTestInfoAt(X, Y, true, Hit);
    if (Down)
      Tree.MouseButtonDown(M, Hit);
    else
      Tree.MouseButtonUp(M, Hit);
  }
  // Nothing the tree keeps refers to a freed node.
  void ExpectNoFreedNodeKept() {
    EXPECT_EQ(Tree.Freed.count(Tree.FocusedNode()), 0u);
    for (PVastNode N : Tree.SelectedNodes()) EXPECT_EQ(Tree.Freed.count(N), 0u);
    EXPECT_EQ(Stale, 0);
    EXPECT_TREE_VALID(Tree);
  }
};

// The folder tree's and the file list's ways of selecting: the right
// button selects the row, then its menu's Delete removes it before the
// button comes up. The button's up then clicks no freed row, three times
// running, and a right click on a row still there clicks it.
TEST_F(TFreedNodeTest, AMenuCommandDeletesTheRightClickedRowBeforeTheButtonIsUp) {
  for (const TVTSelectionOptions Sel : {TVTSelectionOptions{toFullRowSelect, toRightClickSelect},
                                        TVTSelectionOptions{toFullRowSelect, toRightClickSelect, toMultiSelect}}) {
    SCOPED_TRACE(Sel.Contains(toMultiSelect) ? "multiple selection" : "single selection");
    Rebuild(Sel, {u"n0", u"n1", u"n2", u"n3", u"n4"});
    if (Sel.Contains(toMultiSelect)) Tree.SetSelected(Top[0], true);
    for (int Round = 0; Round < 3; ++Round) {
      PVastNode Clicked = Tree.GetFirst();
      for (int I = 0; I < 2 && Tree.GetNextSibling(Clicked); ++I) Clicked = Tree.GetNextSibling(Clicked);
      const Integer Y = Tree.GetDisplayRect(Clicked, NoColumn, false).Top + 9;
      Button(true, 100, Y, mbRight);
      ASSERT_EQ(Tree.FocusedNode(), Clicked);
      ASSERT_TRUE(Tree.GetSelected(Clicked));
      Tree.DeleteNode(Clicked);  // the menu's command, inside the button's handling
      Button(false, 100, Y, mbRight);
      EXPECT_EQ(NodeClicks, 0);
      ExpectNoFreedNodeKept();
    }
    EXPECT_EQ(Tree.RootNodeCount(), 2u);
    Button(true, 100, 9, mbRight);
    Button(false, 100, 9, mbRight);
    EXPECT_EQ(NodeClicks, 1);
    EXPECT_EQ(Tree.FocusedNode(), Tree.GetFirst());
    ExpectNoFreedNodeKept();
  }
}

// Each event a click fires, with a handler that deletes the clicked row.
TEST_F(TFreedNodeTest, AHandlerThatDeletesTheClickedRowEndsTheClick) {
  struct TCase {
    const char* Event;
    TMouseButton Which;
    std::function<void()> Arm;
  };
  const std::vector<TCase> Cases = {
      {"OnDragAllowed", mbLeft,
       [this] {
         Tree.OnDragAllowed = [this](TBaseVastTree*, PVastNode Node, TColumnIndex, bool&) { DeleteOnce(Node); };
       }},
      {"OnGetPopupMenu", mbRight,
       [this] {
         Tree.OnGetPopupMenu = [this](TBaseVastTree*, PVastNode Node, TColumnIndex, const TPoint&, bool&,
                                      TPopupMenu*&) { DeleteOnce(Node); };
       }},
      {"OnFocusChanging", mbLeft,
       [this] {
         Tree.OnFocusChanging = [this](TBaseVastTree*, PVastNode, PVastNode New, TColumnIndex, TColumnIndex, bool&) {
           DeleteOnce(New);
         };
       }},
      {"OnFocusChanged", mbLeft,
       [this] { Tree.OnFocusChanged = [this](TBaseVastTree*, PVastNode Node, TColumnIndex) { DeleteOnce(Node); }; }},
      {"OnAddToSelection", mbLeft,
       [this] { Tree.OnAddToSelection = [this](TBaseVastTree*, PVastNode Node) { DeleteOnce(Node); }; }},
      {"OnNodeClick", mbLeft,
       [this] {
         Tree.OnNodeClick = [this](TBaseVastTree*, const THitInfo& Hit) {
           ++NodeClicks;
           DeleteOnce(Hit.HitNode);
         };
       }},
      {"OnChecking", mbLeft,
       [this] { Tree.OnChecking = [this](TBaseVastTree*, PVastNode Node, TCheckState&, bool&) { DeleteOnce(Node); }; }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Event);
    Tree.OnDragAllowed = nullptr;
    Tree.OnGetPopupMenu = nullptr;
    Tree.OnChecking = nullptr;
    Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toCheckSupport});
    Rebuild({toFullRowSelect, toRightClickSelect}, {u"n0", u"n1", u"n2"});
    const bool Check = std::string(C.Event) == "OnChecking";
    Integer X = 100;
    if (Check) {
      Tree.CheckWidth = 13;
      Tree.SetCheckType(Top[1], ctCheckBox);
      TVTOffsets O;
      Tree.GetOffsets(Top[1], O, ofsStateImage);
      X = (O[ofsCheckBox] + O[ofsStateImage]) / 2;
    }
    C.Arm();
    Button(true, X, 18 + 9, C.Which);
    Button(false, X, 18 + 9, C.Which);
    EXPECT_EQ(Tree.Freed.count(Top[1]), 1u) << "the handler did not run";
    EXPECT_EQ(Tree.RootNodeCount(), 2u);
    ExpectNoFreedNodeKept();
  }
}

// Keys: the row a key moves to, or the row it comes from, deleted by a
// handler on the way.
TEST_F(TFreedNodeTest, AHandlerThatDeletesTheRowsOfAKeyEndsTheKey) {
  Rebuild({toMultiSelect}, {u"n0", u"n1", u"n2", u"n3"});
  // Down: clearing the selection deletes the row the key goes to.
  Tree.SetFocusedNode(Top[0]);
  Tree.SetSelected(Top[0], true);
  Tree.OnRemoveFromSelection = [this](TBaseVastTree*, PVastNode Node) {
    Report(Node);
    DeleteOnce(Top[1]);
  };
  Key(vkDown);
  EXPECT_EQ(Tree.Freed.count(Top[1]), 1u);
  ExpectNoFreedNodeKept();
  Tree.OnRemoveFromSelection = [this](TBaseVastTree*, PVastNode Node) { Report(Node); };
  // Shift+Down: the new focus deletes the row the range starts from.
  Tree.ClearSelection();
  Tree.SetFocusedNode(Top[2]);
  Tree.SetSelected(Top[2], true);
  Tree.OnFocusChanged = [this](TBaseVastTree*, PVastNode Node, TColumnIndex) {
    Report(Node);
    if (Node == Top[3]) DeleteOnce(Top[2]);
  };
  Key(vkDown, {ssShift});
  EXPECT_EQ(Tree.Freed.count(Top[2]), 1u);
  EXPECT_EQ(Tree.FocusedNode(), Top[3]);
  ExpectNoFreedNodeKept();
}

// The row being edited goes, or its parent: the editor is cancelled first,
// so that it never writes its text into the freed row.
TEST_F(TFreedNodeTest, DeletingTheEditedRowCancelsItsEditor) {
  Build({u"alpha", u"beta"});
  Child(Top[1], u"beta.1");
  Tree.FullExpand(nullptr);
  TFakeEditLink Link;
  Tree.OnCreateEditor = [&](TBaseVastTree*, PVastNode, TColumnIndex, IVTEditLink*& L) { L = &Link; };
  Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TVTMiscOptions{toEditable});
  int Edited = 0;
  Tree.OnEdited = [&](TBaseVastTree*, PVastNode, TColumnIndex) { ++Edited; };
  for (const bool Parent : {false, true}) {
    SCOPED_TRACE(Parent ? "parent" : "row");
    PVastNode Edit = Parent ? Tree.GetFirstChild(Top[1]) : Top[0];
    Link.Calls.clear();
    ASSERT_TRUE(Tree.EditNode(Edit, NoColumn));
    Tree.DeleteNode(Parent ? Top[1] : Top[0]);
    EXPECT_FALSE(Tree.IsEditing());
    ASSERT_FALSE(Link.Calls.empty());
    EXPECT_EQ(Link.Calls.back(), "cancel");
    EXPECT_EQ(Link.Refs, 0);
    EXPECT_TRUE(Tree.EndEditNode());
    EXPECT_EQ(Edited, 0);
    ExpectNoFreedNodeKept();
  }
}

}  // namespace
