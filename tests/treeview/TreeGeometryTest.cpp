// Geometry without a window: node positions, display rectangles, element
// offsets, hit positions, scroll ranges and offsets, scrolling into view,
// the widest cell of a column, and the tree lines of rows. The fake host has
// a 200 x 100 client area; texts are 7 pixels a character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TreeTestSupport.h"
#include "treeview/VastStringTree.h"

namespace {

class TGeometryTree : public TCustomVastStringTree {
public:
  using TCustomVastStringTree::TCustomVastStringTree;
  using TCustomVastStringTree::SetChildCount;
};

class TGeometryTest : public ::testing::Test {
protected:
  TFakeTreeHost Host;
  TGeometryTree Tree{&Host};
  std::vector<std::u16string> Texts;

  void SetUp() override {
    Tree.OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType, String& Text) {
      const std::size_t I = Node->Index + (Node->Parent != Tree.RootNode() ? 100 : 0);
      if (Column <= 0 && I < Texts.size()) Text = Texts[I];
      if (Column > 0) Text = Column == 1 ? u"col one" : u"col two text";
    };
  }
  PVastNode Top(Cardinal Index) {
    PVastNode Run = Tree.GetFirstChildNoInit(nullptr);
    while (Run && Run->Index != Index) Run = Run->NextSibling;
    return Run;
  }
  // "Node" is 28 pixels wide; with the text margins its cell needs 36.
  static constexpr Integer NodeWidth = 28 + 2 * 4;
};

TEST_F(TGeometryTest, EmptyTreeHasNoRowsAndOnlyItsBottomSpace) {
  Tree.SetBottomSpace(30);
  Tree.UpdateScrollBars(true);
  Integer NodeTop = -1;
  EXPECT_EQ(Tree.GetNodeAt(0, 5, true, NodeTop), nullptr);
  EXPECT_EQ(Tree.RangeY(), 30);
  THitInfo Hit;
  Tree.GetHitTestInfoAt(5, 5, true, Hit);
  EXPECT_EQ(Hit.HitPositions, THitPositions{hiNowhere});
  EXPECT_EQ(Hit.HitNode, nullptr);
}

TEST_F(TGeometryTest, RowsStackAtTheirHeightsAndScrollWithTheOffset) {
  Tree.SetRootNodeCount(100);
  Tree.UpdateScrollBars(true);
  Integer NodeTop = -1;
  EXPECT_EQ(Tree.GetNodeAt(0, 36, false, NodeTop), Top(2));
  EXPECT_EQ(NodeTop, 36);
  EXPECT_EQ(Tree.RangeY(), 1800);
  // The bar spans the range, one page is the client height plus one.
  EXPECT_EQ(Host.Bars[1].Show, sbsShown);
  EXPECT_EQ(Host.Bars[1].Max, 1800);
  EXPECT_EQ(Host.Bars[1].Page, 101);

  struct TCase {
    Integer Set, Stored;
  } Cases[] = {{10, 0}, {-50, -50}, {-5000, 100 - 1800}, {-1700, -1700}, {-1701, -1700}};
  for (const TCase& C : Cases) {
    Tree.SetOffsetY(C.Set);
    EXPECT_EQ(Tree.OffsetY(), C.Stored) << C.Set;
    EXPECT_EQ(Host.Bars[1].Pos, -C.Stored) << C.Set;
  }
  Tree.SetOffsetY(-50);
  EXPECT_EQ(Tree.GetNodeAt(0, 0, true, NodeTop), Top(2));
  EXPECT_EQ(NodeTop, 36 - 50);
  EXPECT_EQ(Tree.TopNode(), Top(2));
  EXPECT_EQ(Tree.BottomNode(), Top(8));  // rows 2..8 cover client rows 0..99
  // Scrolling moved the painted content by the difference.
  ASSERT_FALSE(Host.Scrolls.empty());
  EXPECT_EQ(Host.Scrolls.back().DY, 1650);
}

TEST_F(TGeometryTest, DisplayRectanglesFromTheOffsets) {
  Tree.SetRootNodeCount(100);
  Tree.UpdateScrollBars(true);
  Tree.SetOffsetY(-50);
  const TRect Row = Tree.GetDisplayRect(Top(3), NoColumn, false);
  EXPECT_EQ(Row.Left, 0);
  EXPECT_EQ(Row.Top, 54 - 50);
  EXPECT_EQ(Row.Right, 200);
  EXPECT_EQ(Row.Bottom, 72 - 50);
  // Text only: after margin 4, images margin 2 and one indent (toShowRoot).
  const TRect Text = Tree.GetDisplayRect(Top(3), NoColumn, true);
  EXPECT_EQ(Text.Left, 4 + 2 + 18);
  EXPECT_EQ(Text.Right, 4 + 2 + 18 + NodeWidth);
  EXPECT_EQ(Text.Top, Row.Top);
  // A hidden row has no rectangle.
  Tree.SetVisible(Top(4), false);
  const TRect Hidden = Tree.GetDisplayRect(Top(4), NoColumn, false);
  EXPECT_EQ(Hidden.Width(), 0);
  EXPECT_EQ(Hidden.Height(), 0);
}

TEST_F(TGeometryTest, ElementOffsetsOfARow) {
  Tree.SetRootNodeCount(1);
  PVastNode Parent = Top(0);
  Tree.SetChildCount(Parent, 1);
  Tree.SetExpanded(Parent, true);
  PVastNode Child = Parent->FirstChild;
  TVTOffsets O;
  Tree.GetOffsets(Child, O);
  EXPECT_EQ(O[ofsMargin], 4);
  EXPECT_EQ(O[ofsCheckBox], 4 + 2 + 2 * 18);
  // The 9-pixel button centred in the last indent level.
  EXPECT_EQ(O[ofsToggleButton], 42 - 2 - (18 - 9) / 2 - 9 + 1);
  EXPECT_EQ(O[ofsStateImage], 42);
  EXPECT_EQ(O[ofsImage], 42);
  EXPECT_EQ(O[ofsLabel], 42);
  EXPECT_EQ(O[ofsText], 42 + 4 - 1);
  EXPECT_EQ(O[ofsRightOfText], 45 + NodeWidth);
  EXPECT_EQ(O[ofsEndOfClientArea], 200 - 4);
  Tree.TreeOptions().SetPaintOptions(Tree.TreeOptions().PaintOptions() + TVTPaintOptions{toFixedIndent});
  Tree.GetOffsets(Child, O, ofsCheckBox);
  EXPECT_EQ(O[ofsCheckBox], 4 + 2 + 18);
}

TEST_F(TGeometryTest, HitPositionsAcrossARow) {
  Tree.SetRootNodeCount(3);
  Tree.SetChildCount(Top(1), 2);  // a button on the second row
  Tree.UpdateScrollBars(true);
  // Offsets of a top-level row: check box 24, toggle button 10, label 24.
  struct TCase {
    Integer X, Y;
    THitPositions Expected;
    Cardinal Row;
  } Cases[] = {
      {2, 20, {hiOnItem, hiOnItemIndent}, 1},
      {7, 20, {hiOnItem, hiOnItemButton}, 1},
      {14, 20, {hiOnItem, hiOnItemButton, hiOnItemButtonExact}, 1},
      {14, 2, {hiOnItem, hiOnItemIndent}, 0},  // no children, no button
      {30, 20, {hiOnItem, hiOnItemLabel}, 1},
      {24 + NodeWidth + 5, 20, {hiOnItem, hiOnItemRight}, 1},
      {-3, 20, {hiToLeft}, 99},
      {20, -1, {hiAbove}, 99},
      {20, 80, {hiNowhere}, 99},
  };
  for (const TCase& C : Cases) {
    THitInfo Hit;
    Tree.GetHitTestInfoAt(C.X, C.Y, true, Hit);
    EXPECT_EQ(Hit.HitPositions.Bits(), C.Expected.Bits()) << C.X << "," << C.Y;
    EXPECT_EQ(Hit.HitNode, C.Row == 99 ? nullptr : Top(C.Row)) << C.X << "," << C.Y;
  }
}

TEST_F(TGeometryTest, ScrollIntoViewExpandsAndPositions) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoScrollOnExpand});
  Tree.SetRootNodeCount(20);
  PVastNode Parent = Top(15);
  Tree.SetChildCount(Parent, 3);
  PVastNode Child = Parent->FirstChild->NextSibling;
  Tree.UpdateScrollBars(true);
  ASSERT_FALSE(Tree.GetExpanded(Parent));
  EXPECT_TRUE(Tree.ScrollIntoView(Child, false));
  EXPECT_TRUE(Tree.GetExpanded(Parent));
  // Child is row 17 (top 306): its bottom meets the client's bottom.
  EXPECT_EQ(Tree.OffsetY(), 100 - 324);
  // Centring a row already in view still scrolls: its bottom at the middle.
  EXPECT_TRUE(Tree.ScrollIntoView(Top(14), true));
  EXPECT_EQ(Tree.GetDisplayRect(Top(14), NoColumn, false).Bottom, 50);
  // Above the client area: its top goes to the top.
  EXPECT_TRUE(Tree.ScrollIntoView(Top(2), false));
  EXPECT_EQ(Tree.OffsetY(), -36);
}

// Opening a node near the bottom brings its children into view: all of
// them when they fit, else the node goes to the top.
TEST_F(TGeometryTest, ExpandingScrollsTheChildrenIntoView) {
  Tree.SetRootNodeCount(20);
  Tree.UpdateScrollBars(true);
  Tree.SetChildCount(Top(1), 2);
  Tree.SetExpanded(Top(1), true);  // children on rows 2 and 3 show already
  EXPECT_EQ(Tree.OffsetY(), 0);
  Tree.SetChildCount(Top(8), 2);
  Tree.SetExpanded(Top(8), true);  // node on row 10, children on rows 11 and 12
  EXPECT_EQ(Tree.OffsetY(), 100 - 13 * 18);
  EXPECT_EQ(Tree.BottomNode(), Top(8)->LastChild);
  EXPECT_EQ(Tree.GetDisplayRect(Top(8)->LastChild, NoColumn, false).Bottom, 100);
  Tree.SetChildCount(Top(10), 30);
  Tree.SetExpanded(Top(10), true);  // 31 rows never fit: the node goes to the top
  EXPECT_EQ(Tree.TopNode(), Top(10));
  // Collapsing moves nothing without children above.
  const Integer Before = Tree.OffsetY();
  Tree.SetExpanded(Top(10), false);
  EXPECT_EQ(Tree.OffsetY(), std::max(Before, 100 - Tree.RangeY()));
}

TEST_F(TGeometryTest, RescalingScalesHeightsIndentAndHeader) {
  TVastTreeColumns& Cols = Tree.Header().Columns();
  Cols.Add()->SetWidth(100);
  Tree.SetRootNodeCount(4);
  Tree.SetChildCount(Top(0), 2);  // children not initialised yet
  Tree.SetNodeHeight(Top(1), 20);
  Tree.ChangeScale(144, 96);
  EXPECT_EQ(Tree.DefaultNodeHeight(), 27u);
  EXPECT_EQ(Tree.Indent(), 27u);
  EXPECT_EQ(Tree.Margin(), 6);
  EXPECT_EQ(Top(1)->NodeHeight, 30);
  EXPECT_EQ(Top(0)->FirstChild->NodeHeight, 27);
  EXPECT_EQ(Cols[0].Width(), 150);
  EXPECT_EQ(Tree.Header().Height(), 29);  // 19 * 1.5, rounded
  EXPECT_TREE_VALID(Tree);
  // Without toAutoChangeScale nothing changes.
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoChangeScale});
  Tree.ChangeScale(96, 144);
  EXPECT_EQ(Tree.DefaultNodeHeight(), 27u);
  EXPECT_EQ(Top(1)->NodeHeight, 30);
}

TEST_F(TGeometryTest, TopAndBottomNodeSetters) {
  Tree.SetRootNodeCount(50);
  Tree.UpdateScrollBars(true);
  Tree.SetTopNode(Top(10));
  EXPECT_EQ(Tree.OffsetY(), -180);
  EXPECT_EQ(Tree.TopNode(), Top(10));
  Tree.SetBottomNode(Top(30));
  EXPECT_EQ(Tree.OffsetY(), 100 - 31 * 18);
  EXPECT_EQ(Tree.BottomNode(), Top(30));
}

TEST_F(TGeometryTest, HorizontalRangeWithoutColumnsFollowsTheRowsOnScreen) {
  Texts = {u"short", std::u16string(40, u'w')};
  Tree.SetRootNodeCount(2);
  Tree.UpdateScrollBars(true);
  // The second row: label 24, text 27, 40 characters plus the margins.
  EXPECT_EQ(Tree.RangeX(), 27 + 40 * 7 + 8);
  EXPECT_EQ(Host.Bars[0].Show, sbsShown);
  Tree.SetOffsetX(-1000);
  EXPECT_EQ(Tree.OffsetX(), 200 - Tree.RangeX());
  EXPECT_EQ(Tree.EffectiveOffsetX(), Tree.RangeX() - 200);
}

// A multi-line cell measures as wide as its column; the widest single-line
// cell of the same column must still win.
TEST_F(TGeometryTest, MaxColumnWidthKeepsTheMaximumOverMultilineNodes) {
  TVastTreeColumns& Cols = Tree.Header().Columns();
  for (int I = 0; I < 3; ++I) Cols.Add()->SetWidth(60);
  Tree.Header().SetOptions(Tree.Header().Options() + TVTHeaderOptions{hoVisible});
  Tree.SetRootNodeCount(3);
  Tree.SetMultiline(Top(2), true);
  // Column 2 answers "col two text": 12 characters, 84 + 8 pixels, after
  // the label offset of a non-main column (margin 4 + images margin 2).
  const Integer Single = 4 + 2 + 84 + 8;
  EXPECT_EQ(Tree.GetMaxColumnWidth(2), Single);
  Cols[2].SetWidth(20);
  EXPECT_EQ(Tree.GetMaxColumnWidth(2), Single);
  // A wide multi-line cell still counts.
  Cols[2].SetWidth(300);
  EXPECT_EQ(Tree.GetMaxColumnWidth(2), 300);
  Cols[2].SetWidth(20);
  Tree.Header().AutoFitColumns(false, smaAllColumns, 2, 2);
  EXPECT_EQ(Cols[2].Width(), Single);
  // Vertical grid lines take one pixel more.
  Tree.TreeOptions().SetPaintOptions(Tree.TreeOptions().PaintOptions() + TVTPaintOptions{toShowVertGridLines});
  EXPECT_EQ(Tree.GetMaxColumnWidth(2), Single + 1);
}

TEST_F(TGeometryTest, ColumnsScrollIntoViewHorizontally) {
  TVastTreeColumns& Cols = Tree.Header().Columns();
  for (int I = 0; I < 4; ++I) Cols.Add()->SetWidth(120);
  Tree.Header().SetTreeBounds(204, 104, 200, 100);
  Tree.SetRootNodeCount(3);
  Tree.UpdateScrollBars(true);
  EXPECT_EQ(Tree.RangeX(), 480);
  EXPECT_TRUE(Tree.ScrollIntoView(2, false));
  // Column 2 spans 240..360: its right edge meets the client's.
  EXPECT_EQ(Tree.EffectiveOffsetX(), 160);
  EXPECT_EQ(Tree.OffsetX(), -160);
  EXPECT_FALSE(Tree.ScrollIntoView(2, false));
  EXPECT_TRUE(Tree.ScrollIntoView(0, false));
  EXPECT_EQ(Tree.OffsetX(), 0);
  // A hit in column 1 while scrolled: relative X 10 is absolute 130.
  Tree.SetOffsetX(-100);
  THitInfo Hit;
  Tree.GetHitTestInfoAt(30, 5, true, Hit);
  EXPECT_EQ(Hit.HitColumn, 1);
  EXPECT_EQ(Hit.HitPoint.X, 130);
}

std::string Lines(TBaseVastTree& Tree, PVastNode Node) {
  TLineImage Image;
  Tree.ComputeLineImage(Node, Image);
  static const char* Names[] = {"none",  "bottomright", "topdown", "topdownright",
                                "right", "topright",    "left",    "leftbottom"};
  std::string S;
  for (TVTLineType T : Image) S += std::string(S.empty() ? "" : " ") + Names[T];
  return S;
}

TEST_F(TGeometryTest, LineImagesOfRows) {
  Tree.SetRootNodeCount(1);
  EXPECT_EQ(Lines(Tree, Top(0)), "right");  // a lone top node: a stub
  Tree.SetRootNodeCount(3);
  Tree.SetChildCount(Top(0), 3);
  PVastNode A = Top(0)->FirstChild;
  Tree.SetChildCount(A, 1);
  struct TCase {
    PVastNode Node;
    const char* Expected;
  } Cases[] = {
      {Top(0), "bottomright"},
      {Top(1), "topdownright"},
      {Top(2), "topright"},
      {A, "topdown topdownright"},
      {A->NextSibling->NextSibling, "topdown topright"},
      {A->FirstChild, "topdown topdown topright"},
  };
  for (const TCase& C : Cases) EXPECT_EQ(Lines(Tree, C.Node), C.Expected);
  // Hidden later siblings do not count.
  Tree.SetVisible(A->NextSibling->NextSibling, false);
  EXPECT_EQ(Lines(Tree, A->NextSibling), "topdown topright");
  // Without toShowRoot a top node has no levels.
  Tree.TreeOptions().SetPaintOptions(Tree.TreeOptions().PaintOptions() - TVTPaintOptions{toShowRoot});
  EXPECT_EQ(Lines(Tree, Top(1)), "");
  EXPECT_EQ(Lines(Tree, A), "topdownright");
}

}  // namespace
