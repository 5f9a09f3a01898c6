// The tree's input under Wine, driven by window messages: selection with
// Shift and Ctrl, right-click selection, keys in tree and grid mode, the
// rubber band, F2 editing, the header's click sorting, splitter, double
// click and column drag, incremental search, check boxes, tooltips for
// cut-off texts and wheel panning. Each state is saved as a picture.
#include <gtest/gtest.h>

#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TreeWindowTest_win.h"
#include "treeview/VastTreeControl_win.h"
#include "treeview/VastTreeDragImage_win.h"
#include "treeview/VastTreeEdit_win.h"
#include "treeview/VastTreeHeaderPopup_win.h"
#include "treeview/VastTreeHint_win.h"
#include "treeview/VastTreePanning_win.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace {

constexpr Cardinal Folders = 6, FilesPerFolder = 4;

class TInputForm : public TForm {
public:
  explicit TInputForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption(u"Tree input");
    SetClientSize(420, 300);
    SetLeft(40);
    SetTop(40);
    Tree = new TVastStringTree(this);
    Tree->SetAlign(alClient);
    TVTHeader& H = Tree->Header();
    const struct {
      const char16_t* Text;
      Integer Width;
    } Columns[] = {{u"Name", 170}, {u"Size", 60}, {u"Kind", 120}};
    for (const auto& C : Columns) {
      TVastTreeColumn* Column = H.Columns().Add();
      Column->SetText(C.Text);
      Column->SetWidth(C.Width);
    }
    H.SetMainColumn(0);
    H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible, hoShowSortGlyphs, hoColumnResize, hoDblClickResize, hoDrag,
                                                hoHotTrack, hoShowHint});
    TCustomVastTreeOptions& O = Tree->TreeOptions();
    O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort});
    O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toHotTrack, toShowVertGridLines});
    O.SetSelectionOptions(TVTSelectionOptions{toMultiSelect, toRightClickSelect});
    O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toEditable, toCheckSupport});
    Tree->OnInitNode = [](TBaseVastTree* Sender, PVastNode Parent, PVastNode Node, TVastNodeInitStates& States) {
      if (!Parent) States.Include(ivsHasChildren);
      Node->CheckType = Parent ? ctCheckBox : ctTriStateCheckBox;
      (void)Sender;
    };
    Tree->OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = FilesPerFolder; };
    Tree->OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType, String& Text) {
      Text = CellText(Node, Column);
    };
    Tree->OnNewText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex, const String& Text) {
      Renamed[Node] = Text;
      ++NewTexts;
    };
    Tree->SetParent(this);
  }
  String CellText(PVastNode Node, TColumnIndex Column) const {
    auto It = Renamed.find(Node);
    if ((Column <= 0) && It != Renamed.end()) return It->second;
    const bool Folder = Node->Parent == Tree->RootNode();
    const std::string Index = std::to_string(Node->Index);
    const String I(Index.begin(), Index.end());
    switch (Column) {
      case NoColumn:
      case 0: {
        static const char16_t* Names[] = {u"alpha", u"bravo", u"charlie", u"delta", u"echo", u"foxtrot"};
        return Folder ? String(Names[Node->Index % 6]) : u"file " + I + u".txt";
      }
      case 1:
        return Folder ? u"123456789 KB" : I + u" KB";
      default:
        return Folder ? u"folder" : u"text";
    }
  }
  void Populate() {
    Tree->BeginUpdate();
    Tree->SetRootNodeCount(Folders);
    Tree->SetExpanded(Tree->GetFirst(), true);
    Tree->EndUpdate();
  }
  TVastStringTree* Tree;
  std::map<PVastNode, String> Renamed;
  int NewTexts = 0;
};

class TTreeInputTest : public TTreeWindowTest<TInputForm> {
protected:
  void SetUp() override {
    ShowForm();
    SetForegroundWindow(Form->Handle());
    Tree->SetFocus();
    Pump(100);
    SetModifiers(false, false);
  }
  void TearDown() override {
    SetModifiers(false, false);
    CloseForm();
  }
  // Shift and Ctrl as GetKeyState sees them.
  static void SetModifiers(bool Shift, bool Ctrl) {
    BYTE State[256];
    GetKeyboardState(State);
    State[VK_SHIFT] = State[VK_LSHIFT] = Shift ? 0x80 : 0;
    State[VK_CONTROL] = State[VK_LCONTROL] = Ctrl ? 0x80 : 0;
    SetKeyboardState(State);
  }
  HWND Wnd() const { return Tree->Handle(); }
  static LPARAM Pt(Integer X, Integer Y) { return MAKELPARAM(static_cast<WORD>(X), static_cast<WORD>(Y)); }
  void Click(Integer X, Integer Y, bool Shift = false, bool Ctrl = false, bool Right = false) {
    SetModifiers(Shift, Ctrl);
    const WPARAM Keys = (Shift ? MK_SHIFT : 0) | (Ctrl ? MK_CONTROL : 0);
    SendMessageW(Wnd(), Right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, Keys | (Right ? MK_RBUTTON : MK_LBUTTON), Pt(X, Y));
    SendMessageW(Wnd(), Right ? WM_RBUTTONUP : WM_LBUTTONUP, Keys, Pt(X, Y));
    SetModifiers(false, false);
  }
  void Key(Word Code, bool Shift = false, bool Ctrl = false, HWND Target = nullptr) {
    SetModifiers(Shift, Ctrl);
    SendMessageW(Target ? Target : Wnd(), WM_KEYDOWN, Code, 1);
    SendMessageW(Target ? Target : Wnd(), WM_KEYUP, Code, 0xC0000001);
    SetModifiers(false, false);
  }
  void Type(const char16_t* Text, HWND Target = nullptr) {
    for (const char16_t* P = Text; *P; ++P) {
      const Word Vk = static_cast<Word>(*P >= u'a' && *P <= u'z' ? *P - 32 : *P);
      SendMessageW(Target ? Target : Wnd(), WM_KEYDOWN, Vk, 1);
      SendMessageW(Target ? Target : Wnd(), WM_CHAR, *P, 1);
    }
  }
  // Screen coordinates of a client point (the header lies above y = 0).
  TPoint ScreenPt(Integer X, Integer Y) { return Tree->ClientToScreen(TPoint{X, Y}); }
  LPARAM ScreenLParam(Integer X, Integer Y) {
    const TPoint S = ScreenPt(X, Y);
    return Pt(S.X, S.Y);
  }
  std::vector<Cardinal> Selected() {
    std::vector<Cardinal> Result;
    for (PVastNode N : Tree->SelectedNodes()) Result.push_back(Tree->AbsoluteIndex(N));
    return Result;
  }
  Integer RowY(PVastNode Node) {
    const TRect R = Tree->GetDisplayRect(Node, NoColumn, false);
    return (R.Top + R.Bottom) / 2;
  }
  void Screenshot(const char16_t* File) { ScreenshotForm(File, 60, SRCCOPY | CAPTUREBLT); }
  PVastNode Top(Cardinal I) {
    PVastNode Run = Tree->GetFirst();
    while (Run && Run->Index != I) Run = Tree->GetNextSibling(Run);
    return Run;
  }
};

TEST_F(TTreeInputTest, ClicksSelectWithShiftCtrlAndTheRightButton) {
  PVastNode A = Top(0);
  PVastNode File0 = Tree->GetFirstChild(A);
  Click(300, RowY(A));  // beside the label: the row's cell
  Click(60, RowY(A));
  EXPECT_EQ(Tree->FocusedNode(), A);
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{0}));
  Click(60, RowY(Tree->GetNextSibling(File0)->NextSibling), true);
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{0, 1, 2, 3}));
  Click(60, RowY(File0), false, true);
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{0, 2, 3}));
  PVastNode B = Top(1);
  Click(60, RowY(B), false, false, true);
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{Tree->AbsoluteIndex(B)}));
  EXPECT_EQ(Tree->FocusedNode(), B);
  // The focus rectangle and a hot row under the mouse.
  SendMessageW(Wnd(), WM_MOUSEMOVE, 0, Pt(60, RowY(Top(2))));
  EXPECT_EQ(Tree->HotNode(), Top(2));
  Screenshot(u"treeinput_selection_hot.bmp");
}

// With a change delay, a left click reports its selection later; a right
// click reports it at once, so that a context menu acts on the new one.
TEST_F(TTreeInputTest, ARightClickReportsItsSelectionAtOnce) {
  Tree->SetChangeDelay(5000);
  std::vector<PVastNode> Changed;
  Tree->OnChange = [&](TBaseVastTree*, PVastNode Node) { Changed.push_back(Node); };
  const Integer Empty = Tree->ClientHeight() - 5;  // below the rows
  // A right click on the free area drops the selection and says so at once.
  Click(60, RowY(Top(1)));
  Changed.clear();
  Click(60, Empty, false, false, true);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(Changed, (std::vector<PVastNode>{nullptr}));
  EXPECT_FALSE(Tree->TreeStates().Contains(tsSynchMode));
  // A left click there says so after the delay.
  Click(60, RowY(Top(1)));
  Changed.clear();
  Click(60, Empty);
  EXPECT_TRUE(Selected().empty());
  EXPECT_TRUE(Changed.empty());
  Tree->OnChange = nullptr;
}

// The tree's own enter and leave events, and the double-click states held
// while a double click is handled.
TEST_F(TTreeInputTest, PointerEventsAndDoubleClickStates) {
  int Entered = 0, Left = 0;
  Tree->TBaseVastTree::OnMouseEnter = [&](TBaseVastTree*) { ++Entered; };
  Tree->TBaseVastTree::OnMouseLeave = [&](TBaseVastTree*) { ++Left; };
  SendMessageW(Wnd(), WM_MOUSELEAVE, 0, 0);
  const int LeftBefore = Left;
  SendMessageW(Wnd(), WM_MOUSEMOVE, 0, Pt(60, RowY(Top(1))));
  EXPECT_EQ(Entered, 1);
  SendMessageW(Wnd(), WM_MOUSEMOVE, 0, Pt(61, RowY(Top(1))));
  EXPECT_EQ(Entered, 1);
  SendMessageW(Wnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Left, LeftBefore + 1);
  Tree->TBaseVastTree::OnMouseEnter = nullptr;
  Tree->TBaseVastTree::OnMouseLeave = nullptr;

  std::vector<TVastTreeStates> Seen;
  Tree->OnNodeDblClick = [&](TBaseVastTree* Sender, const THitInfo&) { Seen.push_back(Sender->TreeStates()); };
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toMiddleClickSelect});
  const struct {
    UINT Msg;
    WPARAM Keys;
    TVastTreeState State;
  } Cases[] = {{WM_LBUTTONDBLCLK, MK_LBUTTON, tsLeftDblClick},
               {WM_MBUTTONDBLCLK, MK_MBUTTON, tsMiddleDblClick},
               {WM_RBUTTONDBLCLK, MK_RBUTTON, tsRightDblClick}};
  for (const auto& C : Cases) {
    Seen.clear();
    SendMessageW(Wnd(), C.Msg, C.Keys, Pt(60, RowY(Top(3))));
    ASSERT_EQ(Seen.size(), 1u) << C.Msg;
    EXPECT_TRUE(Seen[0].Contains(C.State)) << C.Msg;
    EXPECT_FALSE(Tree->TreeStates().Contains(C.State)) << C.Msg;
  }
  // Without the option a middle double click leaves the nodes alone.
  O.SetSelectionOptions(O.SelectionOptions() - TVTSelectionOptions{toMiddleClickSelect});
  Seen.clear();
  SendMessageW(Wnd(), WM_MBUTTONDBLCLK, MK_MBUTTON, Pt(60, RowY(Top(3))));
  EXPECT_TRUE(Seen.empty());
  Tree->OnNodeDblClick = nullptr;
}

TEST_F(TTreeInputTest, OnlyTheLabelSelectsWithoutFullRowSelection) {
  PVastNode A = Top(0), File0 = Tree->GetFirstChild(A);
  // A point of File0's row in the main column with the given hit position.
  auto PointWith = [&](THitPosition Position) {
    for (Integer X = 0; X < 170; ++X) {
      THitInfo Hit;
      Tree->GetHitTestInfoAt(X, RowY(File0), true, Hit);
      if (Hit.HitNode == File0 && Hit.HitPositions.Contains(Position)) return X;
    }
    return -1;
  };
  const Integer Indent = PointWith(hiOnItemIndent), Beside = PointWith(hiOnItemRight);
  ASSERT_GE(Indent, 0);
  ASSERT_GE(Beside, 0);
  // Single selection: the indentation and the space beside the label
  // leave selection and focus alone.
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetSelectionOptions(O.SelectionOptions() - TVTSelectionOptions{toMultiSelect});
  Click(60, RowY(A));
  for (Integer X : {Indent, Beside}) {
    Click(X, RowY(File0));
    EXPECT_EQ(Tree->FocusedNode(), A) << X;
    EXPECT_EQ(Selected(), (std::vector<Cardinal>{0})) << X;
  }
  Click(PointWith(hiOnItemLabel), RowY(File0));
  EXPECT_EQ(Tree->FocusedNode(), File0);
  // Multiple selection: a press beside a selected label is a press on the
  // free area, which drops the whole selection.
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toMultiSelect});
  Click(60, RowY(A));
  Click(60, RowY(File0), false, true);
  ASSERT_EQ(Selected(), (std::vector<Cardinal>{0, 1}));
  Click(Beside, RowY(File0));
  EXPECT_TRUE(Selected().empty());
}

TEST_F(TTreeInputTest, KeysMoveInTreeAndGridMode) {
  Click(60, RowY(Top(0)));
  Key(VK_DOWN);
  EXPECT_EQ(Tree->FocusedNode(), Tree->GetFirstChild(Top(0)));
  Key(VK_DOWN, true);
  Key(VK_DOWN, true);
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{1, 2, 3}));
  Screenshot(u"treeinput_tree_keys.bmp");
  Key(VK_END);
  EXPECT_EQ(Tree->FocusedNode(), Tree->GetLastVisible());
  Key(VK_HOME);
  EXPECT_EQ(Tree->FocusedNode(), Top(0));
  Key(VK_NEXT);
  EXPECT_GT(Tree->AbsoluteIndex(Tree->FocusedNode()), 5u);
  Key(VK_PRIOR);
  EXPECT_EQ(Tree->FocusedNode(), Top(0));
  Key(VK_LEFT);
  EXPECT_FALSE(Tree->GetExpanded(Top(0)));
  Key(VK_RIGHT);
  EXPECT_TRUE(Tree->GetExpanded(Top(0)));
  // Grid mode: Left and Right move between the columns.
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toGridExtensions});
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toExtendedFocus});
  Key(VK_RIGHT);
  EXPECT_EQ(Tree->FocusedColumn(), 1);
  Key(VK_END);
  EXPECT_EQ(Tree->FocusedColumn(), 2);
  Key(VK_HOME);
  EXPECT_EQ(Tree->FocusedColumn(), 0);
  Key(VK_RIGHT);
  Key(VK_DOWN);
  EXPECT_EQ(Tree->FocusedColumn(), 1);
  Screenshot(u"treeinput_grid_focus.bmp");
  // A page down and up in grid mode move the focused cell by the rows that
  // fit, in the same column, and select only its row.
  Tree->FullExpand();
  PVastNode Start = Tree->FocusedNode();
  Integer Sum = 0;
  PVastNode Expected = Start;
  while (PVastNode Next = Tree->GetNextVisible(Expected)) {
    if (Tree->ClientHeight() <= Sum + static_cast<Integer>(Expected->NodeHeight)) break;
    Sum += Expected->NodeHeight;
    Expected = Next;
  }
  ASSERT_NE(Expected, Start);
  Key(VK_NEXT);
  EXPECT_EQ(Tree->FocusedNode(), Expected);
  EXPECT_EQ(Tree->FocusedColumn(), 1);
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{Tree->AbsoluteIndex(Expected)}));
  Screenshot(u"treeinput_grid_page_down.bmp");
  Key(VK_PRIOR);
  EXPECT_EQ(Tree->FocusedNode(), Start);
  EXPECT_EQ(Tree->FocusedColumn(), 1);
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{Tree->AbsoluteIndex(Start)}));
  // The dialog code asks for arrows and characters.
  EXPECT_EQ(SendMessageW(Wnd(), WM_GETDLGCODE, 0, 0), 129);
}

TEST_F(TTreeInputTest, RubberBandSelectsTheRowsItCovers) {
  const Integer Y0 = RowY(Tree->GetFirstChild(Top(0))) - 4, Y1 = RowY(Top(1));
  SendMessageW(Wnd(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(300, Y0));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(280, Y0 + 20));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(40, Y1));
  EXPECT_TRUE(Tree->IsMouseSelecting());
  // The band is drawn only while the button is down, as GetKeyState sees it.
  BYTE State[256];
  GetKeyboardState(State);
  State[VK_LBUTTON] = 0x80;
  SetKeyboardState(State);
  Tree->Invalidate();
  Screenshot(u"treeinput_rubber_band.bmp");
  State[VK_LBUTTON] = 0;
  SetKeyboardState(State);
  SendMessageW(Wnd(), WM_LBUTTONUP, 0, Pt(40, Y1));
  EXPECT_FALSE(Tree->IsMouseSelecting());
  EXPECT_EQ(Selected(), (std::vector<Cardinal>{1, 2, 3, 4, 5}));
}

TEST_F(TTreeInputTest, ARubberBandInTheBottomBandScrollsTheRows) {
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetAutoOptions(O.AutoOptions() + TVTAutoOptions{toAutoScroll});
  Tree->SetRootNodeCount(60);
  Tree->SetAutoScrollDelay(10);
  Pump(50);
  const Integer CH = Tree->ClientHeight();
  SendMessageW(Wnd(), WM_LBUTTONDOWN, MK_LBUTTON, Pt(300, 30));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(280, 60));
  // The pointer rests inside the window, in the band along its bottom.
  const TPoint S = ScreenPt(40, CH - 3);
  SetCursorPos(S.X, S.Y);
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(40, CH - 3));
  EXPECT_TRUE(Tree->ScrollDirections().Contains(sdDown));
  Pump(300);
  EXPECT_LT(Tree->OffsetY(), 0);
  SendMessageW(Wnd(), WM_LBUTTONUP, 0, Pt(40, CH - 3));
  EXPECT_GT(Tree->SelectedCount(), static_cast<Cardinal>(CH / 18));
  SetCursorPos(0, 0);
}

TEST_F(TTreeInputTest, F2EditsAndEnterEscapeTabEndTheEdit) {
  PVastNode A = Top(0);
  PVastNode File0 = Tree->GetFirstChild(A);
  Click(60, RowY(File0));
  Key(VK_F2);
  ASSERT_TRUE(Tree->IsEditing());
  auto* Link = dynamic_cast<TStringEditLink*>(Tree->EditLink());
  ASSERT_NE(Link, nullptr);
  HWND Edit = Link->Edit()->Handle();
  EXPECT_TRUE(IsWindowVisible(Edit));
  EXPECT_EQ(GetFocus(), Edit);
  SendMessageW(Edit, EM_SETSEL, 0, -1);
  Type(u"report.txt", Edit);
  Screenshot(u"treeinput_editing.bmp");
  Key(VK_RETURN, false, false, Edit);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Form->NewTexts, 1);
  EXPECT_EQ(Form->Renamed[File0], u"report.txt");
  EXPECT_EQ(GetFocus(), Wnd());
  // Escape: nothing is renamed.
  Key(VK_F2);
  ASSERT_TRUE(Tree->IsEditing());
  Edit = dynamic_cast<TStringEditLink*>(Tree->EditLink())->Edit()->Handle();
  Type(u"zzz", Edit);
  Key(VK_ESCAPE, false, false, Edit);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Form->NewTexts, 1);
  // Tab accepts and edits the next row.
  Key(VK_F2);
  Edit = dynamic_cast<TStringEditLink*>(Tree->EditLink())->Edit()->Handle();
  SendMessageW(Edit, EM_SETSEL, 0, -1);
  Type(u"first", Edit);
  Key(VK_TAB, false, false, Edit);
  EXPECT_EQ(Form->Renamed[File0], u"first");
  EXPECT_TRUE(Tree->IsEditing());
  EXPECT_EQ(Tree->FocusedNode(), File0->NextSibling);
  Tree->CancelEditNode();
  Pump(50);
}

// Losing the focus ends an edit: the text is taken with
// toAutoAcceptEditChange (the default) and dropped without it.
TEST_F(TTreeInputTest, TheEditorAcceptsOrCancelsWhenItLosesTheFocus) {
  PVastNode File0 = Tree->GetFirstChild(Top(0));
  auto EditAndLeave = [&](const char16_t* Text) {
    Click(60, RowY(File0));
    Key(VK_F2);
    EXPECT_TRUE(Tree->IsEditing());
    auto* Link = dynamic_cast<TStringEditLink*>(Tree->EditLink());
    if (!Link) return;
    HWND Edit = Link->Edit()->Handle();
    SendMessageW(Edit, EM_SETSEL, 0, -1);
    Type(Text, Edit);
    SetFocus(Form->Handle());
    Pump(50);
  };
  EditAndLeave(u"kept.txt");
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Form->NewTexts, 1);
  EXPECT_EQ(Form->Renamed[File0], u"kept.txt");
  Screenshot(u"treeinput_edit_accepted_on_focus_loss.bmp");
  Tree->SetStringOptions(Tree->StringOptions() - TVTStringOptions{toAutoAcceptEditChange});
  EditAndLeave(u"dropped.txt");
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Form->NewTexts, 1);
  EXPECT_EQ(Form->Renamed[File0], u"kept.txt");
  Tree->SetStringOptions(Tree->StringOptions() + TVTStringOptions{toAutoAcceptEditChange});
}

TEST_F(TTreeInputTest, HeaderClickSortsAndSplittersResizeAndFit) {
  TVTHeader& H = Tree->Header();
  H.SetOptions(H.Options() + TVTHeaderOptions{hoHeaderClickAutoSort});
  std::vector<TColumnIndex> Clicked;
  Tree->OnHeaderClick = [&](TVTHeader*, const TVTHeaderHitInfo& Info) { Clicked.push_back(Info.Column); };
  const Integer HeadY = -H.Height() / 2;
  auto HeaderClick = [&](Integer X) {
    SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(X, HeadY));
    SendMessageW(Wnd(), WM_NCLBUTTONUP, HTBORDER, ScreenLParam(X, HeadY));
  };
  // A click on a head that cannot be dragged focuses the tree.
  H.SetOptions(H.Options() - TVTHeaderOptions{hoDrag});
  SetFocus(Form->Handle());
  ASSERT_NE(GetFocus(), Wnd());
  HeaderClick(200);  // "Size"
  EXPECT_EQ(GetFocus(), Wnd());
  H.SetOptions(H.Options() + TVTHeaderOptions{hoDrag});
  EXPECT_EQ(H.SortColumn(), 1);
  EXPECT_EQ(H.SortDirection(), sdAscending);
  HeaderClick(200);
  EXPECT_EQ(H.SortDirection(), sdDescending);
  HeaderClick(200);
  EXPECT_EQ(H.SortDirection(), sdAscending);
  EXPECT_EQ(Clicked, (std::vector<TColumnIndex>{1, 1, 1}));
  Screenshot(u"treeinput_header_sorted.bmp");

  // The splitter at the right edge of "Name" (x = 170) reacts within the
  // tolerance, and a drag makes the column 40 pixels wider.
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(172, HeadY));
  EXPECT_TRUE(H.States().Contains(hsColumnWidthTrackPending));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(180, HeadY));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(212, HeadY));
  EXPECT_TRUE(H.States().Contains(hsColumnWidthTracking));
  EXPECT_EQ(H.Columns()[0].Width(), 212);
  Screenshot(u"treeinput_splitter_tracking.bmp");
  SendMessageW(Wnd(), WM_LBUTTONUP, 0, Pt(212, HeadY));
  EXPECT_EQ(H.Columns()[0].Width(), 212);
  EXPECT_TRUE(H.States().Empty());

  // A double click on the splitter of "Size" fits it to its widest text.
  const Integer SizeRight = 212 + 60;
  SendMessageW(Wnd(), WM_NCLBUTTONDBLCLK, HTBORDER, ScreenLParam(SizeRight + 1, HeadY));
  EXPECT_EQ(H.Columns()[1].Width(), Tree->GetMaxColumnWidth(1));
  EXPECT_GT(H.Columns()[1].Width(), 60);
  Screenshot(u"treeinput_column_autofit.bmp");
}

// Escape ends a column drag where it is (no move) and a width drag with
// the width reached so far.
TEST_F(TTreeInputTest, EscapeEndsColumnDragsAndWidthTracking) {
  TVTHeader& H = Tree->Header();
  const Integer HeadY = -H.Height() / 2;
  int Dragged = 0, DraggedOut = 0;
  Tree->OnHeaderDragged = [&](TVTHeader*, TColumnIndex, Integer) { ++Dragged; };
  Tree->OnHeaderDraggedOut = [&](TVTHeader*, TColumnIndex, TPoint) { ++DraggedOut; };
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(60, HeadY));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(80, HeadY));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(320, HeadY));
  ASSERT_TRUE(H.States().Contains(hsDragging));
  EXPECT_EQ(H.Columns().DropTarget(), 2);
  Key(VK_ESCAPE);
  EXPECT_TRUE(H.States().Empty());
  EXPECT_EQ(Tree->HeaderDragImage(), nullptr);
  EXPECT_EQ(H.Columns().DropTarget(), NoColumn);
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(Wnd(), WM_LBUTTONUP, 0, Pt(320, HeadY));
  EXPECT_EQ(H.Columns()[0].Position(), 0u);
  EXPECT_EQ(Dragged + DraggedOut, 0);
  Screenshot(u"treeinput_column_drag_escaped.bmp");

  std::vector<TColumnIndex> After;
  H.OnAfterColumnWidthTracking = [&](TVTHeader*, TColumnIndex Column) { After.push_back(Column); };
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(171, HeadY));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(180, HeadY));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(200, HeadY));
  ASSERT_TRUE(H.States().Contains(hsColumnWidthTracking));
  Key(VK_ESCAPE);
  EXPECT_TRUE(H.States().Empty());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(After, (std::vector<TColumnIndex>{0}));
  // Later moves no longer track.
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(260, HeadY));
  SendMessageW(Wnd(), WM_LBUTTONUP, 0, Pt(260, HeadY));
  EXPECT_EQ(H.Columns()[0].Width(), 200);
  Screenshot(u"treeinput_width_tracking_escaped.bmp");
  H.OnAfterColumnWidthTracking = nullptr;
}

// Menus opened by a test count themselves and close a moment later.
int OpenedMenus = 0;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  EndMenu();
}
void CountAndCloseMenu(TObject*) {
  ++OpenedMenus;
  SetTimer(nullptr, 0, 30, CloseMenu);
}

TEST_F(TTreeInputTest, ContextMenusOpenOnceAndCancelAClickEdit) {
  TPopupMenu Menu(nullptr);
  auto* Item = new TMenuItem(&Menu);
  Item->SetCaption(u"Rename");
  Menu.Items()->Add(Item);
  Menu.OnPopup = CountAndCloseMenu;
  Tree->SetEditDelay(50);
  PVastNode C = Top(2);
  // The control's own menu: a right click on the selected row opens it
  // once, and the click does not go on to edit the row afterwards.
  Tree->SetPopupMenu(&Menu);
  Click(60, RowY(C));
  Pump(600);  // no double click
  OpenedMenus = 0;
  Click(60, RowY(C), false, false, true);
  Pump(400);
  EXPECT_EQ(OpenedMenus, 1);
  EXPECT_FALSE(Tree->IsEditing());
  // The context-menu key opens it once too.
  OpenedMenus = 0;
  SendMessageW(Wnd(), WM_KEYDOWN, VK_APPS, 1);
  SendMessageW(Wnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd()), -1);
  SendMessageW(Wnd(), WM_KEYUP, VK_APPS, 0xC0000001);
  Pump(100);
  EXPECT_EQ(OpenedMenus, 1);
  // Without one, the tree asks for a menu for the clicked row.
  Tree->SetPopupMenu(nullptr);
  PVastNode AskedFor = nullptr;
  Tree->OnGetPopupMenu = [&](TBaseVastTree*, PVastNode Node, TColumnIndex, const TPoint&, bool&, TPopupMenu*& P) {
    AskedFor = Node;
    P = &Menu;
  };
  OpenedMenus = 0;
  Click(60, RowY(Top(3)), false, false, true);
  Pump(400);
  EXPECT_EQ(OpenedMenus, 1);
  EXPECT_EQ(AskedFor, Top(3));
  EXPECT_EQ(Menu.PopupComponent, static_cast<TComponent*>(Tree));
  EXPECT_FALSE(Tree->IsEditing());
  Tree->OnGetPopupMenu = nullptr;
}

// The cursor the tree sets for the pointer resting at client point (X, Y).
HCURSOR CursorAt(TVastStringTree* Tree, Integer X, Integer Y, WORD HitCode) {
  const TPoint S = Tree->ClientToScreen(TPoint{X, Y});
  SetCursorPos(S.X, S.Y);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  SendMessageW(Tree->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Tree->Handle()),
               MAKELPARAM(HitCode, WM_MOUSEMOVE));
  return GetCursor();
}

TEST_F(TTreeInputTest, EdgesThatResizeShowTheSplitCursors) {
  TVTHeader& H = Tree->Header();
  H.SetOptions(H.Options() + TVTHeaderOptions{hoHeightResize});
  H.Columns()[0].SetOptions(H.Columns()[0].Options() + TVTColumnOptions{coFixed});
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toNodeHeightResize});
  const HCURSOR Arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR ColumnSplit = Screen->Cursors(crHeaderSplit), RowSplit = Screen->Cursors(crVertSplit);
  // Both are our own, distinct, with the hot spot in the middle.
  EXPECT_NE(ColumnSplit, Arrow);
  EXPECT_NE(RowSplit, Arrow);
  EXPECT_NE(ColumnSplit, RowSplit);
  ICONINFO Info{};
  ASSERT_TRUE(GetIconInfo(ColumnSplit, &Info));
  EXPECT_EQ(Info.xHotspot, 16u);
  EXPECT_EQ(Info.yHotspot, 16u);
  DeleteObject(Info.hbmMask);
  DeleteObject(Info.hbmColor);
  {
    // Both cursors over a grey field, to be looked at.
    TBitmap Shot(80, 40);
    TCanvas* C = Shot.Canvas();
    C->Brush()->SetColor(static_cast<TColor>(0xA0A0A0));
    C->FillRect(TRect{0, 0, 80, 40});
    DrawIconEx(C->Handle(), 4, 4, ColumnSplit, 32, 32, 0, nullptr, DI_NORMAL);
    DrawIconEx(C->Handle(), 44, 4, RowSplit, 32, 32, 0, nullptr, DI_NORMAL);
    Shot.SetPixelFormat(pf24bit);
    Shot.SaveToFile(u"treeinput_split_cursors.bmp");
  }

  const Integer HeadY = -H.Height() / 2;
  EXPECT_EQ(CursorAt(Tree, 171, HeadY, HTBORDER), ColumnSplit) << "the edge of Name";
  EXPECT_EQ(CursorAt(Tree, 60, HeadY, HTBORDER), Arrow) << "the middle of Name";
  EXPECT_EQ(CursorAt(Tree, 60, -1, HTBORDER), RowSplit) << "the header's lower edge";
  const TRect Row = Tree->GetDisplayRect(Top(1), 0, false);
  EXPECT_EQ(CursorAt(Tree, 60, Row.Bottom - 1, HTCLIENT), RowSplit) << "a row's lower edge";
  EXPECT_EQ(CursorAt(Tree, 60, (Row.Top + Row.Bottom) / 2, HTCLIENT), Arrow) << "inside the row";
  SetCursorPos(0, 0);
}

TEST_F(TTreeInputTest, ColumnDragShowsItsImageAndMovesTheColumn) {
  TVTHeader& H = Tree->Header();
  Integer Dragged = -1, OldPos = -1;
  Tree->OnHeaderDragged = [&](TVTHeader*, TColumnIndex Column, Integer Old) {
    Dragged = Column;
    OldPos = Old;
  };
  const Integer HeadY = -H.Height() / 2;
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(60, HeadY));
  EXPECT_TRUE(H.States().Contains(hsDragPending));
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(80, HeadY));
  EXPECT_TRUE(H.States().Contains(hsDragging));
  ASSERT_NE(Tree->HeaderDragImage(), nullptr);
  EXPECT_TRUE(Tree->HeaderDragImage()->Visible());
  // Over the right half of "Kind" (230..350).
  SendMessageW(Wnd(), WM_MOUSEMOVE, MK_LBUTTON, Pt(320, HeadY));
  EXPECT_EQ(H.Columns().DropTarget(), 2);
  EXPECT_FALSE(H.Columns().DropBefore());
  const TRect Image = Tree->HeaderDragImage()->GetDragImageRect();
  EXPECT_EQ(Image.Width(), 170);
  // A column's picture is not faded: the constant alpha 140 everywhere,
  // over a darkened copy of the head.
  const TVTDragImage* ColumnImage = Tree->HeaderDragImage();
  EXPECT_FALSE(ColumnImage->Fade());
  EXPECT_EQ(ColumnImage->PreBlendBias(), -50);
  EXPECT_EQ(ColumnImage->PixelAlpha(5, 5), 140);
  EXPECT_EQ(ColumnImage->PixelAlpha(Image.Width() / 2, Image.Height() / 2), 140);
  EXPECT_EQ(ColumnImage->PixelAlpha(Image.Width() - 1, Image.Height() - 1), 140);
  Screenshot(u"treeinput_column_drag.bmp");
  SendMessageW(Wnd(), WM_LBUTTONUP, 0, Pt(320, HeadY));
  EXPECT_EQ(Dragged, 0);
  EXPECT_EQ(OldPos, 0);
  EXPECT_EQ(H.Columns()[0].Position(), 2u);
  EXPECT_EQ(Tree->HeaderDragImage(), nullptr);
  Screenshot(u"treeinput_column_dropped.bmp");
}

// The least data object a drag could carry: no formats, takes what the
// system stores in it.
class TBareDataObject : public IDataObject {
public:
  int Queries = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override {
    if (IsEqualIID(Id, IID_IUnknown) || IsEqualIID(Id, IID_IDataObject)) {
      *Object = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
  ULONG STDMETHODCALLTYPE Release() override { return --FRefs; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override {
    ++Queries;
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) override {
    Out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM* Medium, BOOL Release) override {
    if (Release) ReleaseStgMedium(Medium);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
  ULONG FRefs = 1;
};

TEST_F(TTreeInputTest, ADragPictureGoesToTheSystemOrIsDrawnByTheTree) {
  OleInitialize(nullptr);
  TBitmap Picture(40, 20);
  Picture.SetPixelFormat(pf32bit);
  Picture.Canvas()->Brush()->SetColor(clNavy);
  Picture.Canvas()->FillRect(TRect{0, 0, 40, 20});
  const TPoint At = ScreenPt(50, 50);
  {
    // With a data object the system's drag-image service is asked first;
    // either it draws the picture (and the tree shows none) or the tree's
    // own image shows it.
    TBareDataObject Data;
    TVTDragImage Image(Tree);
    Image.PrepareDrag(&Picture, At, At, &Data);
    Image.ShowDragImage();
    if (Image.States().Contains(disSystemSupport)) {
      EXPECT_GE(Data.Queries, 1);
      EXPECT_FALSE(Image.Visible());
      EXPECT_EQ(Image.Window(), nullptr);
    } else {
      EXPECT_TRUE(Image.Visible());
      EXPECT_NE(Image.Window(), nullptr);
    }
    std::printf("drag picture drawn by %s\n", Image.States().Contains(disSystemSupport) ? "the system" : "the tree");
    Image.EndDrag();
  }
  {
    // Without one the tree always draws it.
    TVTDragImage Image(Tree);
    Image.PrepareDrag(&Picture, At, At, nullptr);
    Image.ShowDragImage();
    EXPECT_FALSE(Image.States().Contains(disSystemSupport));
    EXPECT_TRUE(Image.Visible());
    EXPECT_EQ(Image.GetDragImageRect(), (TRect{At.X, At.Y, At.X + 40, At.Y + 20}));
    Image.EndDrag();
    EXPECT_FALSE(Image.Visible());
  }
  OleUninitialize();
}

// A drag over the rows as a drag manager reports it: beside a label the
// drop mark shows where the drop would go; on a label the row is the target.
TEST_F(TTreeInputTest, ADragOverTheRowsShowsTheDropMark) {
  PVastNode B = Top(1);
  const TRect Row = Tree->GetDisplayRect(B, NoColumn, false);
  Tree->OnDragOver = [](TBaseVastTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Integer&, bool& Accept) {
    Accept = true;
  };
  // A mark of its own colour, told apart from the target's.
  Tree->Colors().Set(TVTColors::DropMarkIndex, clRed);
  auto CountColour = [&](TColor Colour, Integer Top, Integer Bottom) {
    auto Shot = testsupport::WindowSurfaceImage(Wnd());
    const TPoint Origin = ScreenPt(0, 0);
    RECT W;
    GetWindowRect(Wnd(), &W);
    const Integer OX = Origin.X - W.left, OY = Origin.Y - W.top;
    int N = 0;
    for (Integer Y = Top; Y < Bottom; ++Y)
      for (Integer X = 0; X < Tree->ClientWidth(); ++X)
        if (Shot->Canvas()->Pixel(OX + X, OY + Y) == ColorToRGB(Colour)) ++N;
    return N;
  };
  // The drag comes from this tree (the source a drag manager names).
  TObject* Self = static_cast<TBaseVastTree*>(Tree);
  Integer Effect = DropEffectMove;
  ASSERT_TRUE(Tree->OleDragEnter(Self, {}, ScreenPt(300, Row.Top + 2), Effect));
  Effect = DropEffectMove;
  ASSERT_TRUE(Tree->OleDragOver(Self, {}, dsDragMove, ScreenPt(300, Row.Bottom - 3), Effect));
  EXPECT_EQ(Tree->DropTargetNode(), B);
  EXPECT_EQ(Tree->LastDropMode(), dmBelow);
  EXPECT_EQ(Effect, DropEffectMove);
  Tree->Update();
  EXPECT_GT(CountColour(Tree->Colors().DropMarkColor(), Row.Bottom - 8, Row.Bottom), 50);
  EXPECT_EQ(CountColour(Tree->Colors().DropMarkColor(), Row.Top, Row.Top + 6), 0);
  Screenshot(u"treeinput_drop_mark_below.bmp");
  // On the label: the row itself is the target.
  THitInfo Hit;
  Integer LabelX = -1;
  for (Integer X = 0; X < 170 && LabelX < 0; ++X) {
    Tree->GetHitTestInfoAt(X, RowY(B), true, Hit);
    if (Hit.HitPositions.Contains(hiOnItemLabel)) LabelX = X + 4;
  }
  ASSERT_GE(LabelX, 0);
  Effect = DropEffectMove;
  Tree->OleDragOver(Self, {}, dsDragMove, ScreenPt(LabelX, RowY(B)), Effect);
  EXPECT_EQ(Tree->LastDropMode(), dmOnNode);
  Tree->Update();
  EXPECT_EQ(CountColour(Tree->Colors().DropMarkColor(), Row.Bottom - 8, Row.Bottom), 0);
  EXPECT_GT(CountColour(Tree->Colors().DropTargetColor(), Row.Top, Row.Bottom), 50);
  Screenshot(u"treeinput_drop_target.bmp");
  Tree->OleDragLeave();
  Tree->Update();
  EXPECT_EQ(Tree->DropTargetNode(), nullptr);
  EXPECT_EQ(CountColour(Tree->Colors().DropTargetColor(), Row.Top, Row.Bottom), 0);
  Tree->OnDragOver = nullptr;
}

// The picture of dragged nodes: the selected rows around the pointer, the
// rest clear, following the pointer.
TEST_F(TTreeInputTest, ANodeDragShowsThePictureOfTheSelectedRows) {
  PVastNode A = Top(0), File0 = Tree->GetFirstChild(A), File1 = File0->NextSibling;
  Click(60, RowY(File0));
  Click(60, RowY(File1), false, true);
  ASSERT_EQ(Selected(), (std::vector<Cardinal>{1, 2}));
  Tree->SetDragWidth(240);
  Tree->SetDragHeight(120);
  const TPoint Hot{60, RowY(File0)};
  Tree->PrepareDragImage(Hot, nullptr);
  TVTDragImage* Image = Tree->DragImage();
  ASSERT_NE(Image, nullptr);
  EXPECT_FALSE(Image->Visible());
  Image->ShowDragImage();
  ASSERT_TRUE(Image->Visible());
  // Centred on the hot spot, cut where the tree starts: the picture's top
  // lies above the first row by what the tree does not have.
  const TRect R = Image->GetDragImageRect();
  const TPoint HotScreen = ScreenPt(Hot.X, Hot.Y);
  EXPECT_EQ(R.Left, HotScreen.X - 120);
  EXPECT_EQ(R.Top, HotScreen.Y - 60);
  EXPECT_EQ(R.Width(), 240);
  EXPECT_EQ(R.Height(), 120);
  auto AlphaAt = [&](Integer ClientX, Integer ClientY) {
    const TPoint S = ScreenPt(ClientX, ClientY);
    return Image->PixelAlpha(S.X - R.Left, S.Y - R.Top);
  };
  EXPECT_GT(AlphaAt(60, RowY(File0)), 0);  // a selected row
  // Faded with the transparency 200: full strength at the hot spot, the
  // centre of the picture, fading towards its edges.
  EXPECT_TRUE(Image->Fade());
  EXPECT_EQ(Image->Transparency(), 200);
  EXPECT_EQ(Image->PixelAlpha(R.Width() / 2, R.Height() / 2), 200);
  EXPECT_LT(AlphaAt(60, RowY(File1)), 200);
  EXPECT_GT(AlphaAt(60, RowY(File1)), 0);
  EXPECT_GT(AlphaAt(60, RowY(File1)), 0);
  EXPECT_EQ(AlphaAt(60, RowY(A)), 0);  // not selected: not in the picture
  EXPECT_EQ(AlphaAt(60, RowY(File1->NextSibling)), 0);
  Screenshot(u"treeinput_node_drag_image.bmp");
  EXPECT_TRUE(Image->DragTo(TPoint{HotScreen.X + 40, HotScreen.Y + 70}, false));
  EXPECT_EQ(Image->GetDragImageRect().Left, R.Left + 40);
  EXPECT_EQ(Image->GetDragImageRect().Top, R.Top + 70);
  Screenshot(u"treeinput_node_drag_image_moved.bmp");
  Image->EndDrag();
  EXPECT_FALSE(Image->Visible());
  // Without a picture kind nothing is prepared.
  Tree->SetDragImageKind(diNoImage);
  Tree->PrepareDragImage(Hot, nullptr);
  Image->ShowDragImage();
  EXPECT_FALSE(Image->Visible());
}

TEST_F(TTreeInputTest, IncrementalSearchForgetsAfterItsTimeout) {
  Tree->SetIncrementalSearch(isAll);
  Tree->SetSearchTimeout(150);
  Type(u"ch");
  EXPECT_EQ(Tree->FocusedNode(), Top(2));
  EXPECT_EQ(Tree->SearchBuffer(), u"ch");
  Screenshot(u"treeinput_incremental_search.bmp");
  Type(u"e");  // "che": no folder, beeps and keeps
  EXPECT_EQ(Tree->FocusedNode(), Top(2));
  Pump(300);
  EXPECT_EQ(Tree->SearchBuffer(), u"");
  Type(u"e");
  EXPECT_EQ(Tree->FocusedNode(), Top(4));
}

TEST_F(TTreeInputTest, LosingTheFocusEndsTheSearch) {
  Tree->SetIncrementalSearch(isAll);
  Tree->SetSearchTimeout(10000);
  Type(u"ch");
  EXPECT_EQ(Tree->SearchBuffer(), u"ch");
  SendMessageW(Wnd(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(Tree->SearchBuffer(), u"");
  Tree->SetFocus();
  Type(u"d");
  EXPECT_EQ(Tree->FocusedNode(), Top(3));
}

TEST_F(TTreeInputTest, CheckBoxesPropagateToTriStateParents) {
  PVastNode A = Top(0);
  Tree->ValidateChildren(A, false);
  PVastNode File0 = Tree->GetFirstChild(A);
  TVTOffsets O;
  Tree->GetOffsets(File0, O, ofsStateImage, 0);
  const Integer BoxX = O[ofsCheckBox] + 4;
  THitInfo Hit;
  Tree->GetHitTestInfoAt(BoxX, RowY(File0), true, Hit);
  ASSERT_TRUE(Hit.HitPositions.Contains(hiOnItemCheckbox));
  Click(BoxX, RowY(File0));
  EXPECT_EQ(File0->CheckState, csCheckedNormal);
  EXPECT_EQ(A->CheckState, csMixedNormal);
  Screenshot(u"treeinput_checks_mixed.bmp");
  // Checking the folder checks all its files.
  Tree->GetOffsets(A, O, ofsStateImage, 0);
  Click(O[ofsCheckBox] + 4, RowY(A));
  EXPECT_EQ(A->CheckState, csCheckedNormal);
  for (PVastNode N = A->FirstChild; N; N = N->NextSibling) EXPECT_EQ(N->CheckState, csCheckedNormal);
  // Space on the focused file unchecks it; the folder turns mixed again.
  Click(60, RowY(File0->NextSibling));
  EXPECT_TRUE(Tree->GetSelected(File0->NextSibling));
  Key(VK_SPACE);
  EXPECT_TRUE(Tree->GetSelected(File0->NextSibling));
  EXPECT_EQ(File0->NextSibling->CheckState, csUncheckedNormal);
  EXPECT_EQ(A->CheckState, csMixedNormal);
  // A right click on a check box neither toggles nor selects.
  Tree->GetOffsets(File0, O, ofsStateImage, 0);
  Click(O[ofsCheckBox] + 4, RowY(File0), false, false, true);
  EXPECT_EQ(File0->CheckState, csCheckedNormal);
  EXPECT_TRUE(Tree->GetSelected(File0->NextSibling));
  Screenshot(u"treeinput_checks.bmp");
}

TEST_F(TTreeInputTest, TooltipShowsTheFullTextOfACutOffCell) {
  Tree->SetHintMode(hmTooltip);
  Tree->SetShowHint(true);
  PVastNode A = Top(0);
  // "123456789 KB" does not fit the 60-pixel "Size" column.
  const TRect Text = Tree->GetDisplayRect(A, 1, true, true, true);
  ASSERT_GT(Text.Right, 170 + 60);
  const TPoint Over = ScreenPt(200, RowY(A));
  SetCursorPos(Over.X, Over.Y);
  Application->ActivateHint(Over);
  THintWindow* Window = Application->HintWindow();
  ASSERT_NE(Window, nullptr);
  auto* TreeHint = dynamic_cast<TVastTreeHintWindow*>(Window);
  ASSERT_NE(TreeHint, nullptr);
  EXPECT_TRUE(IsWindowVisible(Window->Handle()));
  EXPECT_EQ(TreeHint->HintData().HintText, u"123456789 KB");
  // Placed over the cell text, one pixel up and left.
  RECT R;
  GetWindowRect(Window->Handle(), &R);
  const TPoint CellText = ScreenPt(Text.Left, Text.Top);
  EXPECT_EQ(R.left, CellText.X - 1);
  EXPECT_EQ(R.top, CellText.Y - 1);
  Screenshot(u"treeinput_tooltip.bmp");
  Application->CancelHint();
  // Moves posted, so that the application's hint machinery sees them.
  auto MoveTo = [&](Integer X, Integer Y) {
    const TPoint S = ScreenPt(X, Y);
    SetCursorPos(S.X, S.Y);
    PostMessageW(Wnd(), WM_MOUSEMOVE, 0, Pt(X, Y));
    Pump(300);
  };
  auto HintShowing = [] { return Application->HintWindow() && IsWindowVisible(Application->HintWindow()->Handle()); };
  // The tooltip does not wait for the hint pause: with a pause far too long
  // to wait for, it is up as soon as the pointer rests on the cut cell,
  // coming from a cell that fits (which had nothing to show).
  const Integer OldPause = Application->HintPause;
  Application->HintPause = 600000;
  MoveTo(200, RowY(Tree->GetFirstChild(A)));
  EXPECT_FALSE(HintShowing());
  MoveTo(200, RowY(A));
  EXPECT_TRUE(HintShowing());
  Application->CancelHint();
  // Row hints wait for the pause as usual, and show on a row reached from
  // the empty area below the rows.
  Application->HintPause = 100;
  Tree->SetHintMode(hmHint);
  Tree->OnGetHint = [](TBaseVastTree*, PVastNode, TColumnIndex, TVTTooltipLineBreakStyle&, String& Text) {
    Text = u"a hint";
  };
  MoveTo(60, Tree->ClientHeight() - 5);
  EXPECT_FALSE(HintShowing());
  MoveTo(60, RowY(Top(1)));
  EXPECT_TRUE(HintShowing());
  Application->CancelHint();
  Application->HintPause = OldPause;
  Tree->OnGetHint = nullptr;
  Tree->SetHintMode(hmTooltip);
  // A text that fits shows nothing.
  PVastNode File0 = Tree->GetFirstChild(A);
  const TPoint Fits = ScreenPt(200, RowY(File0));
  Application->ActivateHint(Fits);
  EXPECT_FALSE(Application->HintWindow() && IsWindowVisible(Application->HintWindow()->Handle()));
  Application->CancelHint();
}

TEST_F(TTreeInputTest, WheelAndMiddleButtonPanning) {
  Tree->FullExpand();
  const Integer Before = Tree->OffsetY();
  SendMessageW(Wnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), ScreenLParam(60, 60));
  EXPECT_LT(Tree->OffsetY(), Before);
  EXPECT_NE(Tree->TopNode(), Top(0));
  Screenshot(u"treeinput_wheel_scrolled.bmp");
  SendMessageW(Wnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), ScreenLParam(60, 60));
  EXPECT_EQ(Tree->OffsetY(), Before);
  // The middle button opens the panning window at the click point.
  SendMessageW(Wnd(), WM_MBUTTONDOWN, MK_MBUTTON, Pt(150, 100));
  ASSERT_TRUE(Tree->IsPanning());
  HWND Panning = Tree->PanningWindow();
  ASSERT_NE(Panning, nullptr);
  RECT R;
  GetWindowRect(Panning, &R);
  const TPoint Centre = ScreenPt(150, 100);
  EXPECT_EQ(R.left, Centre.X - 16);
  EXPECT_EQ(R.right - R.left, 32);
  // Its shape is the round picture: the corners are outside it.
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(Panning, Region), ERROR);
  EXPECT_FALSE(PtInRegion(Region, 0, 0));
  EXPECT_TRUE(PtInRegion(Region, 16, 16));
  DeleteObject(Region);
  Screenshot(u"treeinput_panning.bmp");
  // 20 pixels below the origin the view moves 12 pixels a tick.
  SendMessageW(Wnd(), WM_MOUSEMOVE, 0, Pt(150, 120));
  EXPECT_TRUE(Tree->ScrollDirections().Contains(sdDown));
  const TPoint Below = ScreenPt(150, 120);
  SetCursorPos(Below.X, Below.Y);
  const Integer Start = Tree->OffsetY();
  SendMessageW(Wnd(), WM_TIMER, ScrollTimer, 0);
  EXPECT_EQ(Tree->OffsetY(), Start - 12);
  SendMessageW(Wnd(), WM_MBUTTONDOWN, MK_MBUTTON, Pt(150, 120));
  EXPECT_FALSE(Tree->IsPanning());
  EXPECT_EQ(Tree->PanningWindow(), nullptr);
  // A wheel notch ends panning too, and scrolls as usual.
  SendMessageW(Wnd(), WM_MBUTTONDOWN, MK_MBUTTON, Pt(150, 100));
  SendMessageW(Wnd(), WM_MBUTTONUP, 0, Pt(150, 100));
  ASSERT_TRUE(Tree->IsPanning());
  const Integer BeforeWheel = Tree->OffsetY();
  SendMessageW(Wnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), ScreenLParam(150, 100));
  EXPECT_FALSE(Tree->IsPanning());
  EXPECT_EQ(Tree->PanningWindow(), nullptr);
  EXPECT_LT(Tree->OffsetY(), BeforeWheel);
}

// An exception in the panning window's handler stops at the window: it
// goes to the application's handler, the window keeps serving messages, and
// it goes with its object.
TEST(PanningWindow, HandlerExceptionsGoToTheApplication) {
  Application->Initialize();
  std::vector<String> Errors;
  Application->OnException = [&](TObject*, Exception& E) { Errors.push_back(E.Message()); };
  const TGdiObject Image = CreatePanningBitmap(pcMoveAll);
  constexpr UINT Raise = WM_APP + 7;
  int Raised = 0;
  HWND Handle = nullptr;
  {
    TPanningWindow Window(nullptr, TPoint{100, 100}, Image.Get(), [&](TMessage& M) {
      if (M.Msg == Raise) {
        ++Raised;
        throw Exception(u"painting failed");
      }
      M.Result = DefWindowProcW(Handle, M.Msg, M.WParam, M.LParam);
    });
    Handle = Window.Handle();
    ASSERT_NE(Handle, nullptr);
    SendMessageW(Handle, Raise, 0, 0);
    SendMessageW(Handle, Raise, 0, 0);
    EXPECT_EQ(Raised, 2);
    EXPECT_EQ(Errors, (std::vector<String>{u"painting failed", u"painting failed"}));
    EXPECT_TRUE(IsWindow(Handle));
  }
  EXPECT_FALSE(IsWindow(Handle));
  Application->OnException = nullptr;
}

TEST_F(TTreeInputTest, TheHotRowFollowsAScrollUnderARestingPointer) {
  Tree->FullExpand();
  const Integer Y = 2 * 18 + 9;
  const TPoint Resting = ScreenPt(60, Y);
  SetCursorPos(Resting.X, Resting.Y);
  SendMessageW(Wnd(), WM_MOUSEMOVE, 0, Pt(60, Y));
  Integer Top = 0;
  EXPECT_EQ(Tree->HotNode(), Tree->GetNodeAt(0, Y, true, Top));
  SendMessageW(Wnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  ASSERT_LT(Tree->OffsetY(), 0);
  EXPECT_EQ(Tree->HotNode(), Tree->GetNodeAt(0, Y, true, Top));
  // Leaving the tree: no hot row, and OnHotChange hears of it.
  PVastNode From = nullptr, To = Tree->HotNode();
  Tree->OnHotChange = [&](TBaseVastTree*, PVastNode Old, PVastNode New) {
    From = Old;
    To = New;
  };
  const PVastNode Hot = Tree->HotNode();
  SendMessageW(Wnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Tree->HotNode(), nullptr);
  EXPECT_EQ(From, Hot);
  EXPECT_EQ(To, nullptr);
  Tree->OnHotChange = nullptr;
}

TEST_F(TTreeInputTest, HeaderColumnMenuListsTheColumns) {
  TVTHeaderPopupMenu Menu(nullptr);
  Menu.PopupComponent = Tree;
  auto Captions = [&] {
    std::vector<std::string> Result;
    for (Integer I = 0; I < Menu.Items()->Count(); ++I) {
      TMenuItem* Item = Menu.Items()->Items(I);
      const String& C = Item->Caption();
      Result.push_back(std::string(C.begin(), C.end()) + (Item->Checked() ? "+" : "") + (Item->Enabled() ? "" : "!"));
    }
    return Result;
  };
  Menu.RebuildMenu();
  Menu.RebuildMenu();  // twice: nothing doubles
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Size &Column to Fit", "Size &All Columns to Fit", "-", "Name+",
                                                  "Size+", "Kind+"}));
  // One visible column left: its item is disabled unless hiding all is allowed.
  TVastTreeColumns& Cols = Tree->Header().Columns();
  for (TColumnIndex C : {1, 2}) Cols[C].SetOptions(Cols[C].Options() - TVTColumnOptions{coVisible});
  Menu.SetOptions({});
  Menu.RebuildMenu();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Name+!", "Size", "Kind"}));
  Menu.SetOptions({poAllowHideAll});
  Menu.RebuildMenu();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Name+", "Size", "Kind"}));
  // A column left out of the menu; display order unless the original order is asked for.
  Menu.OnAddHeaderPopupItem = [](const TBaseVastTree*, TColumnIndex Column, TAddPopupItemType& Cmd) {
    if (Column == 1) Cmd = apHidden;
  };
  Cols[0].SetPosition(2);
  Menu.RebuildMenu();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Kind", "Name+"}));
  Menu.SetOptions({poAllowHideAll, poOriginalOrder});
  Menu.RebuildMenu();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Name+", "Kind"}));
  // Clicking an item toggles its column.
  Menu.Items()->Items(1)->Click();
  EXPECT_TRUE(Cols[2].Options().Contains(coVisible));
}

// The control's own hint: in hmDefault everywhere, in hmHintAndDefault over
// the free area right of the columns, with the node hints over the rows.
TEST_F(TTreeInputTest, DefaultAndHintAndDefaultModesShowTheControlsHint) {
  Tree->SetShowHint(true);
  Tree->TControl::SetHint(u"Folders and files|Everything in the account");
  Tree->OnGetHint = [](TBaseVastTree*, PVastNode, TColumnIndex, TVTTooltipLineBreakStyle&, String& Text) {
    Text = u"a node hint";
  };
  auto ShowAt = [&](Integer X, Integer Y) {
    Application->CancelHint();
    const TPoint At = ScreenPt(X, Y);
    SetCursorPos(At.X, At.Y);
    Application->ActivateHint(At);
    THintWindow* Window = Application->HintWindow();
    return Window && IsWindowVisible(Window->Handle()) ? Window : nullptr;
  };
  const Integer Free = Tree->Header().Columns().TotalWidth() + 6;
  ASSERT_LT(Free, Tree->ClientWidth());

  Tree->SetHintMode(hmDefault);
  THintWindow* Window = ShowAt(60, RowY(Top(1)));
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(dynamic_cast<TVastTreeHintWindow*>(Window), nullptr);
  EXPECT_EQ(Window->Text(), u"Folders and files");
  Screenshot(u"treeinput_hint_default.bmp");

  Tree->SetHintMode(hmHintAndDefault);
  Window = ShowAt(60, RowY(Top(1)));
  ASSERT_NE(Window, nullptr);
  auto* TreeHint = dynamic_cast<TVastTreeHintWindow*>(Window);
  ASSERT_NE(TreeHint, nullptr);
  EXPECT_EQ(TreeHint->HintData().HintText, u"a node hint");
  // Below the row, not over it.
  RECT R;
  GetWindowRect(Window->Handle(), &R);
  EXPECT_GE(R.top, ScreenPt(0, Tree->GetDisplayRect(Top(1), NoColumn, false).Bottom).Y);
  Screenshot(u"treeinput_hint_node.bmp");
  Window = ShowAt(Free, RowY(Top(1)));
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(dynamic_cast<TVastTreeHintWindow*>(Window), nullptr);
  EXPECT_EQ(Window->Text(), u"Folders and files");
  Screenshot(u"treeinput_hint_and_default_free_area.bmp");
  Application->CancelHint();
  Tree->OnGetHint = nullptr;
  Tree->SetHintMode(hmTooltip);
  SetCursorPos(0, 0);
}

// The automatic column menu: a right click on the header opens it; picked
// from the keyboard, its last item hides the last column.
struct TMenuScript {
  HWND Form = nullptr;
  bool Opened = false;
};
TMenuScript MenuScript;
void CALLBACK PickLastMenuItem(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  MenuScript.Opened = true;
  // The open menu as the screen shows it, over the form.
  testsupport::ScreenImageOfWindow(MenuScript.Form, SRCCOPY | CAPTUREBLT)
      ->SaveToFile(u"treeinput_header_column_menu.bmp");
  // The menu's loop reads the keys of this thread, whichever window they name.
  PostMessageW(MenuScript.Form, WM_KEYDOWN, VK_END, 1);
  PostMessageW(MenuScript.Form, WM_KEYDOWN, VK_RETURN, 1);
}

TEST_F(TTreeInputTest, ARightClickOnTheHeaderOpensTheColumnMenu) {
  TVTHeader& H = Tree->Header();
  H.SetOptions(H.Options() + TVTHeaderOptions{hoAutoColumnPopupMenu});
  TVastTreeColumns& Cols = H.Columns();
  ASSERT_TRUE(Cols[2].Options().Contains(coVisible));
  std::vector<TColumnIndex> Changed;
  Tree->OnColumnVisibilityChanged = [&](TBaseVastTree*, TColumnIndex Column, bool) { Changed.push_back(Column); };
  MenuScript = TMenuScript{Form->Handle(), false};
  SetTimer(nullptr, 0, 150, PickLastMenuItem);
  const Integer HeadY = -H.Height() / 2;
  SendMessageW(Wnd(), WM_NCRBUTTONDOWN, HTBORDER, ScreenLParam(60, HeadY));
  SendMessageW(Wnd(), WM_NCRBUTTONUP, HTBORDER, ScreenLParam(60, HeadY));
  Pump(100);
  EXPECT_TRUE(MenuScript.Opened);
  EXPECT_FALSE(Cols[2].Options().Contains(coVisible));
  EXPECT_EQ(Changed, (std::vector<TColumnIndex>{2}));
  Screenshot(u"treeinput_header_column_hidden.bmp");
  Tree->OnColumnVisibilityChanged = nullptr;
}

int DarkPixels(TBitmap& B, const TRect& R) {
  int N = 0;
  for (Integer Y = R.Top; Y < R.Bottom; ++Y)
    for (Integer X = R.Left; X < R.Right; ++X) {
      const TColor C = B.Canvas()->Pixel(X, Y);
      if ((C & 0xFF) < 0x60 && ((C >> 8) & 0xFF) < 0x60 && ((C >> 16) & 0xFF) < 0x60) ++N;
    }
  return N;
}

TEST_F(TTreeInputTest, HeadsLightUpUnderThePointerAndTheirCheckBoxesClick) {
  TVTHeader& H = Tree->Header();
  TVastTreeColumns& Cols = H.Columns();
  const Integer HeadY = -H.Height() / 2;
  // "Size" in the window: its caption's area inside the edges.
  POINT Origin{0, 0};
  ClientToScreen(Wnd(), &Origin);
  RECT Window;
  GetWindowRect(Wnd(), &Window);
  const Integer CX = Origin.x - Window.left, HY = Origin.y - Window.top - H.Height();
  const TRect Caption{CX + 170 + 4, HY + 4, CX + 230 - 4, HY + H.Height() - 4};
  ASSERT_GT(DarkPixels(*testsupport::WindowSurfaceImage(Wnd()), Caption), 5);
  // Hovered, the caption is drawn in the hot colour at once, with nothing
  // else repainting the header.
  SendMessageW(Wnd(), WM_NCMOUSEMOVE, HTBORDER, ScreenLParam(200, HeadY));
  EXPECT_EQ(Cols.HoverIndex(), 1);
  EXPECT_EQ(DarkPixels(*testsupport::WindowSurfaceImage(Wnd()), Caption), 0);
  // The pointer leaves: the header's timer puts it back.
  const TPoint Away = ScreenPt(200, 200);
  SetCursorPos(Away.X, Away.Y);
  SendMessageW(Wnd(), WM_TIMER, HeaderTimer, 0);
  EXPECT_EQ(Cols.HoverIndex(), NoColumn);
  Tree->Update();
  EXPECT_GT(DarkPixels(*testsupport::WindowSurfaceImage(Wnd()), Caption), 5);

  // A check box in a head: a click on it changes its state and does not sort.
  H.SetOptions(H.Options() + TVTHeaderOptions{hoShowImages, hoHeaderClickAutoSort});
  Cols[1].SetCheckBox(true);
  Tree->Update();
  ASSERT_TRUE(Cols[1].HasImage());
  std::vector<TVTHeaderHitInfo> Clicks;
  Tree->OnHeaderClick = [&](TVTHeader*, const TVTHeaderHitInfo& Info) { Clicks.push_back(Info); };
  const TRect Box = Cols[1].ImageRect();
  const Integer BoxX = (Box.Left + Box.Right) / 2, BoxY = (Box.Top + Box.Bottom) / 2 - H.Height();
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(BoxX, BoxY));
  EXPECT_TRUE(Cols.CheckBoxHit());
  SendMessageW(Wnd(), WM_NCLBUTTONUP, HTBORDER, ScreenLParam(BoxX, BoxY));
  EXPECT_EQ(Cols[1].CheckState(), csCheckedNormal);
  EXPECT_EQ(H.SortColumn(), NoColumn);
  ASSERT_EQ(Clicks.size(), 1u);
  EXPECT_EQ(Clicks[0].Column, 1);
  EXPECT_TRUE(Clicks[0].HitPosition.Contains(hhiOnCheckbox));
  EXPECT_TRUE(Clicks[0].HitPosition.Contains(hhiOnIcon));
  Screenshot(u"treeinput_header_check.bmp");
  // The caption beside it sorts as before; the box keeps its state.
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(Box.Right + 20, HeadY));
  SendMessageW(Wnd(), WM_NCLBUTTONUP, HTBORDER, ScreenLParam(Box.Right + 20, HeadY));
  EXPECT_EQ(H.SortColumn(), 1);
  EXPECT_EQ(Cols[1].CheckState(), csCheckedNormal);
  EXPECT_FALSE(Clicks.back().HitPosition.Contains(hhiOnCheckbox));
  SendMessageW(Wnd(), WM_NCLBUTTONDOWN, HTBORDER, ScreenLParam(BoxX, BoxY));
  SendMessageW(Wnd(), WM_NCLBUTTONUP, HTBORDER, ScreenLParam(BoxX, BoxY));
  EXPECT_EQ(Cols[1].CheckState(), csUncheckedNormal);
}

TEST_F(TTreeInputTest, ACutHeadCaptionShowsAsTheHeadsHint) {
  Tree->SetShowHint(true);
  TVTHeader& H = Tree->Header();
  H.Columns()[1].SetWidth(24);  // "Size" does not fit
  const Integer HeadY = -H.Height() / 2;
  Application->CancelHint();
  const TPoint Over = ScreenPt(180, HeadY);
  SetCursorPos(Over.X, Over.Y);
  // The header is frame: its moves reach the hint machinery all the same.
  SendMessageW(Wnd(), WM_NCMOUSEMOVE, HTBORDER, MAKELPARAM(Over.X, Over.Y));
  EXPECT_EQ(Application->HintControl(), Tree);
  Application->ActivateHint(Over);
  auto* Window = dynamic_cast<TVastTreeHintWindow*>(Application->HintWindow());
  ASSERT_NE(Window, nullptr);
  EXPECT_TRUE(IsWindowVisible(Window->Handle()));
  EXPECT_EQ(Window->HintData().HintText, u"Size");
  Screenshot(u"treeinput_header_hint.bmp");
  Application->CancelHint();
  // "Name" fits its head: no hint there.
  const TPoint Name = ScreenPt(60, HeadY);
  SetCursorPos(Name.X, Name.Y);
  SendMessageW(Wnd(), WM_NCMOUSEMOVE, HTBORDER, MAKELPARAM(Name.X, Name.Y));
  Application->ActivateHint(Name);
  EXPECT_FALSE(Application->HintWindow() && IsWindowVisible(Application->HintWindow()->Handle()));
  Application->CancelHint();
}

TEST_F(TTreeInputTest, MultiLineCellsEditOverSeveralLines) {
  PVastNode A = Top(0);
  PVastNode File0 = Tree->GetFirstChild(A);
  Tree->SetMultiline(File0, true);
  Tree->SetNodeHeight(File0, 40);
  Click(60, RowY(File0));
  Key(VK_F2);
  ASSERT_TRUE(Tree->IsEditing());
  HWND Edit = dynamic_cast<TStringEditLink*>(Tree->EditLink())->Edit()->Handle();
  LONG Style = GetWindowLongW(Edit, GWL_STYLE);
  EXPECT_TRUE(Style & ES_MULTILINE);
  EXPECT_TRUE(Style & WS_VSCROLL);
  EXPECT_FALSE(Style & ES_AUTOHSCROLL);
  SendMessageW(Edit, EM_SETSEL, 0, -1);
  Type(u"one", Edit);
  // Enter is a new line here; Ctrl+Enter accepts.
  SendMessageW(Edit, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(Edit, WM_CHAR, VK_RETURN, 1);
  EXPECT_TRUE(Tree->IsEditing());
  Type(u"two", Edit);
  Screenshot(u"treeinput_editing_multiline.bmp");
  Key(VK_RETURN, false, true, Edit);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Form->Renamed[File0], u"one\r\ntwo");

  // A single-line cell: a multi-line edit (for its formatting rectangle)
  // without a scroll bar, the text where the cell's is, one line pasted.
  PVastNode File1 = File0->NextSibling;
  Click(60, RowY(File1));
  Key(VK_F2);
  ASSERT_TRUE(Tree->IsEditing());
  Edit = dynamic_cast<TStringEditLink*>(Tree->EditLink())->Edit()->Handle();
  Style = GetWindowLongW(Edit, GWL_STYLE);
  EXPECT_TRUE(Style & ES_MULTILINE);
  EXPECT_FALSE(Style & WS_VSCROLL);
  // "file 1.txt" in the edit starts where "file 2.txt" below it does.
  SendMessageW(Edit, EM_SETSEL, 0, 0);
  Pump(60);
  auto Shot = testsupport::WindowSurfaceImage(Form->Handle());
  RECT FormRect, EditRect;
  GetWindowRect(Form->Handle(), &FormRect);
  GetWindowRect(Edit, &EditRect);
  const TPoint Below = ScreenPt(0, RowY(File1->NextSibling));
  auto FirstDark = [&](Integer Top, Integer Bottom, Integer From) {
    for (Integer X = From; X < From + 120; ++X)
      for (Integer Y = Top; Y < Bottom; ++Y) {
        const TColor C = Shot->Canvas()->Pixel(X, Y);
        if ((C & 0xFF) < 0x60 && ((C >> 8) & 0xFF) < 0x60 && ((C >> 16) & 0xFF) < 0x60) return X;
      }
    return Integer{-1};
  };
  const Integer From = EditRect.left - FormRect.left + 2;
  const Integer InEdit = FirstDark(EditRect.top - FormRect.top + 2, EditRect.bottom - FormRect.top - 2, From);
  const Integer InRow = FirstDark(Below.Y - FormRect.top - 5, Below.Y - FormRect.top + 5, From);
  ASSERT_GT(InEdit, 0);
  EXPECT_NEAR(InEdit, InRow, 1);
  ASSERT_TRUE(OpenClipboard(Wnd()));
  EmptyClipboard();
  const std::u16string Two = u"abc\r\ndef";
  HGLOBAL Data = GlobalAlloc(GMEM_MOVEABLE, (Two.size() + 1) * sizeof(char16_t));
  std::memcpy(GlobalLock(Data), Two.c_str(), (Two.size() + 1) * sizeof(char16_t));
  GlobalUnlock(Data);
  SetClipboardData(CF_UNICODETEXT, Data);
  CloseClipboard();
  SendMessageW(Edit, EM_SETSEL, 0, -1);
  SendMessageW(Edit, WM_PASTE, 0, 0);
  wchar_t Text[32]{};
  GetWindowTextW(Edit, Text, 32);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(Text)), u"abc");
  Key(VK_RETURN, false, false, Edit);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Form->Renamed[File1], u"abc");
}

TEST_F(TTreeInputTest, TheEditorMovesWithItsCell) {
  Tree->FullExpand();
  PVastNode Node = Tree->GetFirstChild(Top(1));
  Click(60, RowY(Node));
  Key(VK_F2);
  ASSERT_TRUE(Tree->IsEditing());
  TVTEdit* Edit = dynamic_cast<TStringEditLink*>(Tree->EditLink())->Edit();
  const Integer Top0 = Edit->Top();
  Tree->SetOffsetY(Tree->OffsetY() - 18);
  EXPECT_EQ(Edit->Top(), Top0 - 18);
  SendMessageW(Wnd(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(Edit->Top(), Top0);
  Tree->CancelEditNode();
  Pump(50);
}

// A tree hint stays up while the arrow keys walk and while the pointer
// moves over the header; a node hint is as high as its text plus the
// margin; a multi-line cell whose wrapped text fits shows no tooltip, one
// that does not shows it, placed by the column's reading direction.
TEST_F(TTreeInputTest, HintsKeepToArrowKeysAndMeasureTheirText) {
  Tree->SetShowHint(true);
  Tree->SetHintMode(hmTooltip);
  PVastNode A = Top(0);
  const TPoint Over = ScreenPt(200, RowY(A));  // the cut "123456789 KB"
  SetCursorPos(Over.X, Over.Y);
  Application->CancelHint();
  Application->ActivateHint(Over);
  auto* Window = dynamic_cast<TVastTreeHintWindow*>(Application->HintWindow());
  ASSERT_NE(Window, nullptr);
  ASSERT_TRUE(IsWindowVisible(Window->Handle()));
  const struct {
    UINT Msg;
    WPARAM Key;
    bool Hides;
  } Messages[] = {{WM_KEYDOWN, VK_LEFT, false},   {WM_KEYDOWN, VK_UP, false},        {WM_KEYDOWN, VK_RIGHT, false},
                  {WM_KEYDOWN, VK_DOWN, false},   {WM_KEYDOWN, 'A', true},           {WM_KEYDOWN, VK_ESCAPE, true},
                  {WM_SYSKEYDOWN, VK_MENU, true}, {WM_NCMOUSEMOVE, HTBORDER, false}, {WM_LBUTTONDOWN, 0, true}};
  for (const auto& M : Messages) {
    const MSG Msg{Wnd(), M.Msg, M.Key, 0, 0, {0, 0}};
    EXPECT_EQ(Window->IsHintMsg(Msg), M.Hides) << std::hex << M.Msg << " " << M.Key;
  }
  // Through the application's message loop: an arrow key leaves the hint
  // up, a letter takes it down.
  PostMessageW(Wnd(), WM_KEYDOWN, VK_RIGHT, 1);
  Pump(50);
  EXPECT_TRUE(IsWindowVisible(Window->Handle()));
  PostMessageW(Wnd(), WM_KEYDOWN, 'Q', 1);
  Pump(50);
  EXPECT_FALSE(Application->HintWindow() && IsWindowVisible(Application->HintWindow()->Handle()));
  // A hidden window keeps no message.
  if (auto* Hidden = dynamic_cast<TVastTreeHintWindow*>(Application->HintWindow())) {
    EXPECT_FALSE(Hidden->IsHintMsg(MSG{Wnd(), WM_KEYDOWN, 'A', 0, 0, {0, 0}}));
  }

  // A node hint: its text's height and the margin of 6 scaled pixels less 4.
  Tree->SetHintMode(hmHint);
  Tree->OnGetHint = [](TBaseVastTree*, PVastNode, TColumnIndex, TVTTooltipLineBreakStyle&, String& Text) {
    Text = u"a node hint";
  };
  const TPoint OnRow = ScreenPt(60, RowY(Top(1)));
  SetCursorPos(OnRow.X, OnRow.Y);
  Application->CancelHint();
  Application->ActivateHint(OnRow);
  Window = dynamic_cast<TVastTreeHintWindow*>(Application->HintWindow());
  ASSERT_NE(Window, nullptr);
  ASSERT_TRUE(IsWindowVisible(Window->Handle()));
  TBitmap Measure(1, 1);
  Measure.Canvas()->SetFont(Screen->HintFont());
  TEXTMETRICW Metrics{};
  GetTextMetricsW(Measure.Canvas()->Handle(), &Metrics);
  EXPECT_EQ(Window->Height(), Metrics.tmHeight + Tree->ScaledPixels(6) - 4);
  Application->CancelHint();
  Tree->OnGetHint = nullptr;

  // Multi-line cells.
  Tree->SetHintMode(hmTooltip);
  PVastNode File0 = Tree->GetFirstChild(A);
  Tree->SetMultiline(File0, true);
  Tree->SetNodeHeight(File0, 40);
  auto TooltipOverLabel = [&]() -> TVastTreeHintWindow* {
    const TRect Label = Tree->GetDisplayRect(File0, 0, true);
    const TPoint P = ScreenPt((Label.Left + Label.Right) / 2, (Label.Top + Label.Bottom) / 2);
    SetCursorPos(P.X, P.Y);
    // Coming from below the rows, where nothing shows, so that the area of
    // the last hint is forgotten.
    const TPoint Below = ScreenPt(60, Tree->ClientHeight() - 5);
    Application->CancelHint();
    Application->ActivateHint(Below);
    Application->CancelHint();
    Application->ActivateHint(P);
    auto* W = dynamic_cast<TVastTreeHintWindow*>(Application->HintWindow());
    return W && IsWindowVisible(W->Handle()) ? W : nullptr;
  };
  EXPECT_EQ(TooltipOverLabel(), nullptr) << "\"file 0.txt\" fits its cell";
  Form->Renamed[File0] = u"a long name of a file that needs more lines than its row has room for.txt";
  Tree->InvalidateNode(File0);
  Window = TooltipOverLabel();
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(Window->HintData().BidiMode, bdLeftToRight);
  EXPECT_EQ(Window->HintData().Alignment, taLeftJustify);
  Screenshot(u"treeinput_multiline_tooltip.bmp");
  // Right to left, the alignment is mirrored and the tooltip grows from the
  // cell's right side.
  Tree->Header().Columns()[0].SetBiDiMode(bdRightToLeft);
  Window = TooltipOverLabel();
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(Window->HintData().BidiMode, bdRightToLeft);
  EXPECT_EQ(Window->HintData().Alignment, taRightJustify);
  Tree->Header().Columns()[0].SetBiDiMode(bdLeftToRight);
  Application->CancelHint();
  Form->Renamed.erase(File0);
  SetCursorPos(0, 0);
}

}  // namespace
