// Selection and focus rules.
#include <gtest/gtest.h>

#include "TreeTestSupport.h"

namespace {

class TSelectionTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    // P0(P0a P0b) P1(P1a P1b) P2, all expanded.
    for (int I = 0; I < 3; ++I) Top.push_back(Tree.AddChild(nullptr));
    for (int I = 0; I < 2; ++I)
      for (int J = 0; J < 2; ++J) Leaves.push_back(Tree.AddChild(Top[static_cast<std::size_t>(I)]));
    Tree.FullExpand();
    Tree.OnChange = [this](TBaseVastTree*, PVastNode) { ++Changes; };
  }
  void Options(TVTSelectionOptions Value) { Tree.TreeOptions().SetSelectionOptions(Value); }
  TBaseVastTree Tree;
  std::vector<PVastNode> Top, Leaves;
  int Changes = 0;
};

TEST_F(TSelectionTest, SingleSelectionReplacesAndFocuses) {
  Tree.SetSelected(Top[0], true);
  Tree.SetSelected(Top[1], true);
  EXPECT_EQ(Tree.SelectedCount(), 1);
  EXPECT_FALSE(Tree.GetSelected(Top[0]));
  EXPECT_EQ(Tree.FocusedNode(), Top[1]);
  Tree.SelectAll(false);
  EXPECT_EQ(Tree.SelectedCount(), 1);
  EXPECT_TREE_VALID(Tree);
}

TEST_F(TSelectionTest, ClearSelectionFiresOnceOnlyWhenNotEmpty) {
  Tree.ClearSelection();
  EXPECT_EQ(Changes, 0);
  Tree.SetSelected(Top[0], true);
  Changes = 0;
  Tree.ClearSelection();
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Tree.SelectedCount(), 0);
}

TEST_F(TSelectionTest, LevelConstraintKeepsRangeToFirstLevel) {
  Options({toMultiSelect, toLevelSelectConstraint});
  Tree.SetSelected(Leaves[0], true);
  Tree.SelectRange(Top[0], Top[2], true);
  for (PVastNode N : Tree.SelectedNodes()) EXPECT_EQ(Tree.GetNodeLevel(N), 1u);
  EXPECT_EQ(Tree.SelectedCount(), 4);
  Tree.ClearSelection();
  Tree.SetSelected(Top[2], true);
  EXPECT_EQ(Tree.SelectedCount(), 1);
  EXPECT_TREE_VALID(Tree);
}

TEST_F(TSelectionTest, SiblingConstraintRejectsOtherParents) {
  Options({toMultiSelect, toSiblingSelectConstraint});
  Tree.ClickSelect(Leaves[0], false, false, false);
  Tree.ClickSelect(Leaves[2], true, false, false);
  EXPECT_EQ(Tree.SelectedCount(), 1);
  Tree.ClickSelect(Leaves[1], true, false, false);
  EXPECT_EQ(Tree.SelectedCount(), 2);
}

TEST_F(TSelectionTest, RangesSkipDisabledAndInvertFiresOnce) {
  Options({toMultiSelect});
  Tree.SetDisabled(Leaves[1], true);
  Tree.SelectRange(Top[0], Leaves[3], false);
  EXPECT_EQ(Tree.SelectedCount(), 5);  // P0 P0a P1 P1a P1b
  EXPECT_FALSE(Tree.GetSelected(Leaves[1]));
  Changes = 0;
  Tree.InvertSelection(true);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Tree.SelectedCount(), 1);  // P2; the disabled P0b stays out
  EXPECT_FALSE(Tree.GetSelected(Leaves[1]));
  EXPECT_TRUE(Tree.GetSelected(Top[2]));
  EXPECT_TREE_VALID(Tree);
  // Turning multi-selection off clears the selection.
  Options({});
  EXPECT_EQ(Tree.SelectedCount(), 0);
}

TEST_F(TSelectionTest, DeletingSelectedNodesInsideUpdateMarksAndPacks) {
  Options({toMultiSelect});
  Tree.SelectAll(false);
  EXPECT_EQ(Tree.SelectedCount(), 7);
  Tree.BeginUpdate();
  Tree.DeleteNode(Top[1]);
  Tree.DeleteNode(Leaves[0]);
  Tree.EndUpdate();
  EXPECT_EQ(Tree.SelectedCount(), 3);
  EXPECT_TREE_VALID(Tree);
  EXPECT_EQ(Tree.GetSortedSelection(false).size(), 3u);
}

TEST_F(TSelectionTest, AlwaysSelectNodeChoosesASibling) {
  Options({toAlwaysSelectNode});
  Tree.SetSelected(Leaves[2], true);
  Tree.DeleteNode(Leaves[2]);
  EXPECT_TRUE(Tree.GetSelected(Leaves[3]));
  Tree.DeleteNode(Leaves[3]);
  EXPECT_TRUE(Tree.GetSelected(Top[1]));
  EXPECT_TREE_VALID(Tree);
}

TEST_F(TSelectionTest, RefusedFocusChangeKeepsNodeAndColumn) {
  Tree.SetFocusedNode(Top[0]);
  Tree.OnFocusChanging = [](TBaseVastTree*, PVastNode, PVastNode, TColumnIndex, TColumnIndex, bool& Allowed) {
    Allowed = false;
  };
  Tree.SetFocusedNode(Top[1]);
  EXPECT_EQ(Tree.FocusedNode(), Top[0]);
  EXPECT_EQ(Tree.FocusedColumn(), NoColumn);
}

}  // namespace
