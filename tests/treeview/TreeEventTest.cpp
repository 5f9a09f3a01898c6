// Hooks of the window-bound events: presets, which handler wins, the popup
// menu's walk up the parents, content margins, and the column resize notice.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TreeTestSupport.h"
#include "treeview/VastStringTree.h"

namespace {

class THookTree : public TCustomVastStringTree {
public:
  using TCustomVastStringTree::TCustomVastStringTree;
  using TBaseVastTree::DoBeforeItemPaint;
  using TBaseVastTree::DoCanSplitterResizeNode;
  using TBaseVastTree::DoCreateDataObject;
  using TBaseVastTree::DoCreateEditor;
  using TBaseVastTree::DoDragAllowed;
  using TBaseVastTree::DoDragOver;
  using TBaseVastTree::DoGetCellContentMargin;
  using TBaseVastTree::DoGetHintKind;
  using TBaseVastTree::DoGetImageIndex;
  using TBaseVastTree::DoGetPopupMenu;
  using TBaseVastTree::DoHeaderClick;
  using TBaseVastTree::DoHeaderDragging;
  using TBaseVastTree::DoIncrementalSearch;
  using TBaseVastTree::DoKeyAction;
  using TBaseVastTree::DoNodeHeightDblClickResize;
  using TBaseVastTree::DoNodeHeightTracking;
  using TBaseVastTree::DoPaintBackground;
  using TBaseVastTree::DoRenderOLEData;
  TRect MarginCell{10, 20, 110, 40};
  TRect CellRectForMargin(PVastNode, TColumnIndex) override { return MarginCell; }
};

class TEventTest : public ::testing::Test {
protected:
  TFakeTreeHost Host;
  THookTree Tree{&Host};
};

// Each row: assign a handler that records the preset it saw and answers the
// opposite, then call the hook. Without a handler the hook returns the preset.
struct TPresetCase {
  const char* Name;
  std::function<void(THookTree&, bool& Seen)> Assign;
  std::function<bool(THookTree&)> Call;
  bool Preset;
};

TEST_F(TEventTest, BooleanAnswersStartFromTheirPresets) {
  Tree.SetRootNodeCount(1);
  PVastNode Node = Tree.GetFirst();
  const std::vector<TPresetCase> Cases = {
      {"drag allowed",
       [](THookTree& T, bool& Seen) {
         T.OnDragAllowed = [&Seen](TBaseVastTree*, PVastNode, TColumnIndex, bool& A) {
           Seen = A;
           A = !A;
         };
       },
       [Node](THookTree& T) { return T.DoDragAllowed(Node, 0); }, false},
      {"before item paint",
       [](THookTree& T, bool& Seen) {
         T.OnBeforeItemPaint = [&Seen](TBaseVastTree*, TCanvas*, PVastNode, const TRect&, bool& C) {
           Seen = C;
           C = !C;
         };
       },
       [Node](THookTree& T) { return T.DoBeforeItemPaint(nullptr, Node, TRect{}); }, false},
      {"paint background",
       [](THookTree& T, bool& Seen) {
         T.OnPaintBackground = [&Seen](TBaseVastTree*, TCanvas*, const TRect&, bool& H) {
           Seen = H;
           H = !H;
         };
       },
       [](THookTree& T) { return T.DoPaintBackground(nullptr, TRect{}); }, false},
      {"drag over",
       [](THookTree& T, bool& Seen) {
         T.OnDragOver = [&Seen](TBaseVastTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Integer&,
                                bool& A) {
           Seen = A;
           A = !A;
         };
       },
       [](THookTree& T) {
         Integer Effect = 1;
         return T.DoDragOver(nullptr, TShiftState(), dsDragMove, TPoint{}, dmOnNode, Effect);
       },
       false},
      {"key action",
       [](THookTree& T, bool& Seen) {
         T.OnKeyAction = [&Seen](TBaseVastTree*, Word&, TShiftState&, bool& D) {
           Seen = D;
           D = !D;
         };
       },
       [](THookTree& T) {
         Word Key = 13;
         TShiftState Shift;
         return T.DoKeyAction(Key, Shift);
       },
       true},
      {"node height double-click resize",
       [](THookTree& T, bool& Seen) {
         T.OnNodeHeightDblClickResize = [&Seen](TBaseVastTree*, PVastNode, TColumnIndex, TShiftState, TPoint, bool& A) {
           Seen = A;
           A = !A;
         };
       },
       [Node](THookTree& T) { return T.DoNodeHeightDblClickResize(Node, 0, TShiftState(), TPoint{}); }, true},
      {"node height tracking",
       [](THookTree& T, bool& Seen) {
         T.OnNodeHeightTracking = [&Seen](TBaseVastTree*, PVastNode, TColumnIndex, TShiftState, TPoint&, TPoint,
                                          bool& A) {
           Seen = A;
           A = !A;
         };
       },
       [Node](THookTree& T) {
         TPoint Track{};
         return T.DoNodeHeightTracking(Node, 0, TShiftState(), Track, TPoint{});
       },
       true},
      {"header dragging",
       [](THookTree& T, bool& Seen) {
         T.OnHeaderDragging = [&Seen](TVTHeader*, TColumnIndex, bool& A) {
           Seen = A;
           A = !A;
         };
       },
       [](THookTree& T) { return T.DoHeaderDragging(0); }, true},
  };
  for (const TPresetCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Case.Call(Tree), Case.Preset);
    bool Seen = !Case.Preset;
    Case.Assign(Tree, Seen);
    EXPECT_EQ(Case.Call(Tree), !Case.Preset);
    EXPECT_EQ(Seen, Case.Preset);
  }
}

TEST_F(TEventTest, OtherAnswersStartFromTheirPresets) {
  Tree.SetRootNodeCount(1);
  PVastNode Node = Tree.GetFirst();

  // Without a handler the string tree compares the start of the text
  // ("Node"), ignoring case.
  EXPECT_EQ(Tree.DoIncrementalSearch(Node, u"x"), 1);
  EXPECT_EQ(Tree.DoIncrementalSearch(Node, u"nO"), 0);
  Integer SeenSearch = -5;
  Tree.OnIncrementalSearch = [&](TBaseVastTree*, PVastNode, const String& Text, Integer& R) {
    SeenSearch = R;
    R = Text == u"abc" ? 0 : 1;
  };
  EXPECT_EQ(Tree.DoIncrementalSearch(Node, u"abd"), 1);
  EXPECT_EQ(SeenSearch, 0);

  EXPECT_EQ(Tree.DoRenderOLEData(*reinterpret_cast<const tagFORMATETC*>(&SeenSearch),
                                 *reinterpret_cast<tagSTGMEDIUM*>(&SeenSearch), true),
            VT_E_FAIL);
  HRESULT SeenResult = 0;
  Tree.OnRenderOLEData = [&](TBaseVastTree*, const tagFORMATETC&, tagSTGMEDIUM&, bool, HRESULT& R) {
    SeenResult = R;
    R = 0;
  };
  EXPECT_EQ(Tree.DoRenderOLEData(*reinterpret_cast<const tagFORMATETC*>(&SeenSearch),
                                 *reinterpret_cast<tagSTGMEDIUM*>(&SeenSearch), true),
            0);
  EXPECT_EQ(SeenResult, VT_E_FAIL);

  // Out parameters are cleared before the handler sees them.
  Tree.OnCreateEditor = [&](TBaseVastTree*, PVastNode, TColumnIndex, IVTEditLink*& Link) { EXPECT_EQ(Link, nullptr); };
  EXPECT_EQ(Tree.DoCreateEditor(Node, 0), nullptr);
  int DataObject = 0;
  Tree.OnCreateDataObject = [&](TBaseVastTree*, IDataObject*& Object) {
    EXPECT_EQ(Object, nullptr);
    Object = reinterpret_cast<IDataObject*>(&DataObject);
  };
  EXPECT_EQ(Tree.DoCreateDataObject(), reinterpret_cast<IDataObject*>(&DataObject));

  TVTHintKind Kind = vhkOwnerDraw;
  Tree.DoGetHintKind(Node, 0, Kind);
  EXPECT_EQ(Kind, vhkText);
}

TEST_F(TEventTest, SplitterResizeOfANodeNeedsTheOptionANodeAndAFixedColumn) {
  TVastTreeColumns& Cols = Tree.Header().Columns();
  Cols.Add();
  Cols.Add()->SetOptions(Cols[1].Options() + TVTColumnOptions{coFixed});
  Tree.SetRootNodeCount(1);
  PVastNode Node = Tree.GetFirst();
  struct TCase {
    const char* Name;
    bool Option;
    PVastNode Node;
    TColumnIndex Column;
    bool Expected;
  };
  const std::vector<TCase> Cases = {
      {"all conditions", true, Node, 1, true},    {"without the option", false, Node, 1, false},
      {"nil node", true, nullptr, 1, false},      {"the root", true, Tree.RootNode(), 1, false},
      {"no column", true, Node, NoColumn, false}, {"column not fixed", true, Node, 0, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TVTMiscOptions Misc = Tree.TreeOptions().MiscOptions();
    if (Case.Option)
      Misc.Include(toNodeHeightResize);
    else
      Misc.Exclude(toNodeHeightResize);
    Tree.TreeOptions().SetMiscOptions(Misc);
    Tree.OnCanSplitterResizeNode = nullptr;
    EXPECT_EQ(Tree.DoCanSplitterResizeNode(TPoint{}, Case.Node, Case.Column), Case.Expected);
    bool Seen = !Case.Expected;
    Tree.OnCanSplitterResizeNode = [&](TBaseVastTree*, TPoint, PVastNode, TColumnIndex, bool& A) { Seen = A; };
    Tree.DoCanSplitterResizeNode(TPoint{}, Case.Node, Case.Column);
    EXPECT_EQ(Seen, Case.Expected);
  }
}

TEST_F(TEventTest, ExImageEventWinsAndNoListMeansNoImage) {
  Tree.SetRootNodeCount(1);
  PVastNode Node = Tree.GetFirst();
  int ImagesObject = 0, StateObject = 0;
  auto* Images = reinterpret_cast<TCustomImageList*>(&ImagesObject);
  auto* State = reinterpret_cast<TCustomImageList*>(&StateObject);
  int PlainCalls = 0;
  Tree.OnGetImageIndex = [&](TBaseVastTree*, PVastNode, TVTImageKind, TColumnIndex, bool&, TImageIndex& Index) {
    ++PlainCalls;
    Index = 3;
  };
  bool Ghosted = false;
  TImageIndex Index = -1;
  // No list: whatever the handler says, no image.
  EXPECT_EQ(Tree.DoGetImageIndex(Node, ikNormal, 0, Ghosted, Index), nullptr);
  EXPECT_EQ(Index, -1);
  EXPECT_EQ(PlainCalls, 1);

  Tree.SetImages(Images);
  Index = -1;
  EXPECT_EQ(Tree.DoGetImageIndex(Node, ikNormal, 0, Ghosted, Index), Images);
  EXPECT_EQ(Index, 3);
  // State images are preset for the state kind only when that list is set.
  Index = -1;
  EXPECT_EQ(Tree.DoGetImageIndex(Node, ikState, 0, Ghosted, Index), Images);
  Tree.SetStateImages(State);
  EXPECT_EQ(Tree.DoGetImageIndex(Node, ikState, 0, Ghosted, Index), State);

  TCustomImageList* SeenList = nullptr;
  Tree.OnGetImageIndexEx = [&](TBaseVastTree*, PVastNode, TVTImageKind, TColumnIndex, bool&, TImageIndex& I,
                               TCustomImageList*& List) {
    SeenList = List;
    I = 7;
    List = nullptr;
  };
  PlainCalls = 0;
  Index = -1;
  EXPECT_EQ(Tree.DoGetImageIndex(Node, ikState, 0, Ghosted, Index), nullptr);
  EXPECT_EQ(SeenList, State);
  EXPECT_EQ(PlainCalls, 0);
  EXPECT_EQ(Index, -1);
}

TEST_F(TEventTest, PopupMenuIsAskedUpThePathButNeverOfTheRoot) {
  Tree.SetRootNodeCount(1);
  PVastNode A = Tree.GetFirst();
  PVastNode B = Tree.AddChild(A);
  PVastNode C = Tree.AddChild(B);
  EXPECT_EQ(Tree.DoGetPopupMenu(C, 0, TPoint{}), nullptr);

  int MenuObject = 0;
  auto* Menu = reinterpret_cast<TPopupMenu*>(&MenuObject);
  std::vector<PVastNode> Asked;
  std::vector<TColumnIndex> Columns;
  PVastNode Owner = nullptr;  // the node that answers
  bool StopAsking = false;
  Tree.OnGetPopupMenu = [&](TBaseVastTree*, PVastNode Node, TColumnIndex Column, const TPoint&, bool& AskParent,
                            TPopupMenu*& Result) {
    EXPECT_TRUE(AskParent);
    EXPECT_EQ(Result, nullptr);
    Asked.push_back(Node);
    Columns.push_back(Column);
    if (Node == Owner) Result = Menu;
    if (StopAsking) AskParent = false;
  };
  EXPECT_EQ(Tree.DoGetPopupMenu(C, 2, TPoint{}), nullptr);
  EXPECT_EQ(Asked, (std::vector<PVastNode>{C, B, A}));
  EXPECT_EQ(Columns, (std::vector<TColumnIndex>{2, 2, 2}));

  Asked.clear();
  Owner = B;
  EXPECT_EQ(Tree.DoGetPopupMenu(C, 2, TPoint{}), Menu);
  EXPECT_EQ(Asked, (std::vector<PVastNode>{C, B}));

  Asked.clear();
  StopAsking = true;
  EXPECT_EQ(Tree.DoGetPopupMenu(C, 2, TPoint{}), nullptr);
  EXPECT_EQ(Asked, (std::vector<PVastNode>{C}));

  Asked.clear();
  Columns.clear();
  StopAsking = false;
  Tree.DoGetPopupMenu(nullptr, 2, TPoint{});
  EXPECT_EQ(Asked, (std::vector<PVastNode>{nullptr}));
  EXPECT_EQ(Columns, (std::vector<TColumnIndex>{NoColumn}));
}

TEST_F(TEventTest, ContentMarginsAreTheDifferenceToTheCell) {
  Tree.SetRootNodeCount(1);
  PVastNode Node = Tree.GetFirst();
  EXPECT_EQ(Tree.DoGetCellContentMargin(Node, 0, ccmtAllSides), (TPoint{0, 0}));
  TVTCellPaintMode SeenMode = cpmPaint;
  Tree.OnBeforeCellPaint = [&](TBaseVastTree*, TCanvas*, PVastNode, TColumnIndex, TVTCellPaintMode Mode, TRect Cell,
                               TRect& Content) {
    SeenMode = Mode;
    EXPECT_EQ(Content, Cell);
    Content = TRect{Cell.Left + 1, Cell.Top + 2, Cell.Right - 4, Cell.Bottom - 8};
  };
  struct TCase {
    TVTCellContentMarginType Type;
    TPoint Expected;
  };
  for (const TCase& Case :
       {TCase{ccmtAllSides, {5, 10}}, TCase{ccmtTopLeftOnly, {1, 2}}, TCase{ccmtBottomRightOnly, {4, 8}}}) {
    SCOPED_TRACE(static_cast<int>(Case.Type));
    EXPECT_EQ(Tree.DoGetCellContentMargin(Node, 0, Case.Type), Case.Expected);
    EXPECT_EQ(SeenMode, cpmGetContentMargin);
  }
}

TEST_F(TEventTest, HeaderEventsComeFromTheHeader) {
  std::vector<const void*> Senders;
  Tree.OnHeaderClick = [&](TVTHeader* Sender, const TVTHeaderHitInfo& Hit) {
    Senders.push_back(Sender);
    EXPECT_EQ(Hit.Column, 4);
  };
  TVTHeaderHitInfo Hit;
  Hit.Column = 4;
  Tree.DoHeaderClick(Hit);
  EXPECT_EQ(Senders, (std::vector<const void*>{&Tree.Header()}));
}

TEST_F(TEventTest, ColumnResizeComesFromTheHeaderAndNotDuringADistribution) {
  TVTHeader& H = Tree.Header();
  H.SetTreeBounds(404, 304, 400, 280);
  TVastTreeColumns& Cols = H.Columns();
  for (int I = 0; I < 3; ++I) Cols.Add()->SetWidth(50);
  Tree.SetRootNodeCount(2);
  PVastNode Wrapped = Tree.GetFirst();
  Tree.SetMultiline(Wrapped, true);
  Tree.GetNodeHeight(Wrapped);
  Wrapped->States.Include(vsHeightMeasured);
  PVastNode Plain = Tree.GetNext(Wrapped);
  Plain->States.Include(vsHeightMeasured);

  std::vector<std::pair<const void*, TColumnIndex>> Calls;
  Tree.OnColumnResize = [&](TVTHeader* Sender, TColumnIndex Column) { Calls.push_back({Sender, Column}); };
  Cols[1].SetWidth(80);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].first, &H);
  EXPECT_EQ(Calls[0].second, 1);
  // Wrapped text is measured again; other rows keep their height.
  EXPECT_FALSE(Wrapped->States.Contains(vsHeightMeasured));
  EXPECT_TRUE(Plain->States.Contains(vsHeightMeasured));

  Calls.clear();
  EXPECT_NE(H.ResizeColumns(30, 0, 2), 0);
  EXPECT_TRUE(Calls.empty());
  Cols[0].SetWidth(95);
  EXPECT_EQ(Calls.size(), 1u);
}

}  // namespace

namespace {

// A handler that raises when the tree leaves a state it entered for a walk
// or a toggle: the error reaches the caller (it once ended the program from
// a destructor), and the node's own mark is still cleared.
TEST(TreeEvents, HandlerRaisingOnLeavingAStateReachesTheCaller) {
  struct TCase {
    const char* Name;
    TVastTreeState State;
    std::function<void(TBaseVastTree&, PVastNode)> Run;
  };
  const TCase Cases[] = {
      {"walk", tsIterating,
       [](TBaseVastTree& T, PVastNode) {
         T.IterateSubtree(
             nullptr, [](TBaseVastTree*, PVastNode, void*, bool&) {}, nullptr);
       }},
      {"toggle", tsToggling, [](TBaseVastTree& T, PVastNode N) { T.ToggleNode(N); }},
  };
  for (const TCase& C : Cases) {
    TBaseVastTree Tree;
    PVastNode Parent = Tree.AddChild(nullptr);
    Tree.AddChild(Parent);
    Tree.OnStateChange = [&](TBaseVastTree*, TVastTreeStates, TVastTreeStates Leave) {
      if (Leave.Contains(C.State)) throw EListError(u"left");
    };
    EXPECT_THROW(C.Run(Tree, Parent), EListError) << C.Name;
    EXPECT_FALSE(Parent->States.Contains(vsToggling)) << C.Name;
  }
}

}  // namespace
