// Columns and header: position maps, layout, width limits and distribution,
// the auto-size and spring columns, sorting settings and the header stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "TreeTestSupport.h"
#include "treeview/VastStringTree.h"

namespace {

// Counts the sorts the header asks for.
class TSortSpyTree : public TCustomVastStringTree {
public:
  using TCustomVastStringTree::TCustomVastStringTree;
  struct TSortCall {
    TColumnIndex Column;
    TSortDirection Direction;
  };
  std::vector<TSortCall> Sorts;
  void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) override {
    Sorts.push_back({Column, Direction});
    TCustomVastStringTree::SortTree(Column, Direction, DoInit);
  }
};

class THeaderTest : public ::testing::Test {
protected:
  TFakeTreeHost Host;
  TSortSpyTree Tree{&Host};
  TVTHeader& H = Tree.Header();
  TVastTreeColumns& Cols = H.Columns();

  void SetUp() override { H.SetTreeBounds(404, 304, 400, 280); }

  void AddColumns(std::vector<Integer> Widths) {
    for (Integer W : Widths) Cols.Add()->SetWidth(W);
  }
  std::vector<Integer> Widths() const {
    std::vector<Integer> R;
    for (Integer I = 0; I < Cols.Count(); ++I) R.push_back(Cols[I].Width());
    return R;
  }
  std::vector<Integer> Lefts() const {
    std::vector<Integer> R;
    for (Integer I = 0; I < Cols.Count(); ++I) {
      Integer L, Ri;
      Cols[I].UnscrolledBounds(L, Ri);
      R.push_back(L);
    }
    return R;
  }
  // The map is a permutation and every column knows its own place in it.
  ::testing::AssertionResult MapConsistent() const {
    const auto& Map = Cols.PositionToIndex();
    if (static_cast<Integer>(Map.size()) != Cols.Count()) return ::testing::AssertionFailure() << "map size";
    std::vector<bool> Seen(Map.size(), false);
    for (std::size_t P = 0; P < Map.size(); ++P) {
      const TColumnIndex I = Map[P];
      if (I < 0 || I >= Cols.Count() || Seen[I]) return ::testing::AssertionFailure() << "not a permutation";
      Seen[I] = true;
      if (Cols[I].Position() != P) return ::testing::AssertionFailure() << "column " << I << " position";
    }
    return ::testing::AssertionSuccess();
  }
};

// ---------------------------------------------------------------------------
// Position map and layout

struct TMapCase {
  const char* Name;
  std::function<void(TVastTreeColumns&)> Act;
  std::vector<TColumnIndex> Map;
  std::vector<Integer> Lefts;
  Integer TotalWidth;
};

TEST_F(THeaderTest, PositionMapTable) {
  const std::vector<TMapCase> Cases = {
      {"plain", [](TVastTreeColumns&) {}, {0, 1, 2, 3}, {0, 10, 30, 60}, 100},
      {"move last to front", [](TVastTreeColumns& C) { C[3].SetPosition(0); }, {3, 0, 1, 2}, {40, 50, 70, 0}, 100},
      {"move first to back", [](TVastTreeColumns& C) { C[0].SetPosition(3); }, {1, 2, 3, 0}, {90, 0, 20, 50}, 100},
      {"position -1 means last",
       [](TVastTreeColumns& C) { C[1].SetPosition(static_cast<TColumnPosition>(-1)); },
       {0, 2, 3, 1},
       {0, 80, 10, 40},
       100},
      {"position past the end means last",
       [](TVastTreeColumns& C) { C[0].SetPosition(99); },
       {1, 2, 3, 0},
       {90, 0, 20, 50},
       100},
      {"delete keeps the others' order",
       [](TVastTreeColumns& C) {
         C[3].SetPosition(0);
         C.Delete(1);
       },
       {2, 0, 1},
       {40, 50, 0},
       80},
      {"insert keeps the others on screen, new one last",
       [](TVastTreeColumns& C) {
         C[3].SetPosition(0);
         C.Insert(1)->SetWidth(15);
       },
       {4, 0, 2, 3, 1},
       {40, 100, 50, 70, 0},
       115},
      {"hidden column takes the next one's left and no width",
       [](TVastTreeColumns& C) { C[1].SetOptions(C[1].Options() - TVTColumnOptions{coVisible}); },
       {0, 1, 2, 3},
       {0, 10, 10, 40},
       80},
      {"hidden last column",
       [](TVastTreeColumns& C) { C[3].SetOptions(C[3].Options() - TVTColumnOptions{coVisible}); },
       {0, 1, 2, 3},
       {0, 10, 30, 60},
       60},
      {"right to left order",
       [](TVastTreeColumns& C) { C.SetRightToLeftOrder(true); },
       {3, 2, 1, 0},
       {90, 70, 40, 0},
       100},
  };
  for (const TMapCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Cols.Clear();
    AddColumns({10, 20, 30, 40});
    Case.Act(Cols);
    EXPECT_EQ(Cols.PositionToIndex(), Case.Map);
    EXPECT_EQ(Lefts(), Case.Lefts);
    EXPECT_EQ(Cols.TotalWidth(), Case.TotalWidth);
    EXPECT_TRUE(MapConsistent());
  }
}

TEST_F(THeaderTest, LookUpsWalkByPositionAndSkipHiddenColumns) {
  AddColumns({10, 20, 30, 40});
  Cols[3].SetPosition(0);                                               // order 3 0 1 2
  Cols[1].SetOptions(Cols[1].Options() - TVTColumnOptions{coVisible});  // 1 hidden
  Cols[0].SetOptions(Cols[0].Options() - TVTColumnOptions{coAllowFocus});
  EXPECT_EQ(Cols.GetFirstColumn(), 3);
  EXPECT_EQ(Cols.GetNextColumn(0), 1);
  EXPECT_EQ(Cols.GetNextVisibleColumn(0), 2);
  EXPECT_EQ(Cols.GetPreviousVisibleColumn(2), 0);
  EXPECT_EQ(Cols.GetPreviousVisibleColumn(2, true), 3);
  EXPECT_EQ(Cols.GetNextColumn(2), InvalidColumn);
  EXPECT_EQ(Cols.GetPreviousColumn(3), InvalidColumn);
  EXPECT_EQ(Cols.GetLastVisibleColumn(), 2);
  EXPECT_EQ(Cols.ColumnFromPosition(TColumnPosition{1}), 0);
  EXPECT_EQ(Cols.ColumnFromPosition(TColumnPosition{4}), NoColumn);
  // x: 3 is 0..39, 0 is 40..49, 2 is 50..79.
  EXPECT_EQ(Cols.ColumnFromPosition(TPoint{39, 5}), 3);
  EXPECT_EQ(Cols.ColumnFromPosition(TPoint{45, 5}), 0);
  EXPECT_EQ(Cols.ColumnFromPosition(TPoint{50, 5}), 2);
  EXPECT_EQ(Cols.ColumnFromPosition(TPoint{80, 5}), InvalidColumn);
  EXPECT_EQ(Cols.ColumnFromPosition(TPoint{-1, 5}), InvalidColumn);
  EXPECT_EQ(Cols.GetScrollWidth(), 27);  // (10 + 30 + 40) / 3 rounded
  EXPECT_EQ(H.FirstVisibleFocusableColumn(), 3);
}

TEST_F(THeaderTest, TreeWithoutColumns) {
  EXPECT_EQ(Cols.TotalWidth(), 0);
  EXPECT_EQ(Cols.GetFirstVisibleColumn(), InvalidColumn);
  EXPECT_EQ(Cols.GetScrollWidth(), static_cast<Integer>(Tree.Indent()));
  EXPECT_EQ(Cols.ColumnFromPosition(TPoint{5, 5}), InvalidColumn);
  EXPECT_EQ(H.MainColumn(), NoColumn);
  EXPECT_FALSE(H.UseColumns());
  EXPECT_TRUE(H.AllowFocus(NoColumn));
  EXPECT_THROW(Cols.Items(0), EListError);
}

TEST_F(THeaderTest, FixedOptionFollowsTheNeighbourAfterAMove) {
  AddColumns({10, 20, 30, 40});
  Cols[0].SetOptions(Cols[0].Options() + TVTColumnOptions{coFixed});
  Cols[1].SetOptions(Cols[1].Options() + TVTColumnOptions{coFixed});
  // Right after the fixed columns: the neighbour to the right is not fixed.
  Cols[3].SetPosition(2);
  EXPECT_FALSE(Cols[3].Options().Contains(coFixed));
  // Between two fixed columns: the right neighbour is fixed.
  Cols[2].SetPosition(1);
  EXPECT_TRUE(Cols[2].Options().Contains(coFixed));
  EXPECT_TRUE(MapConsistent());
}

struct TRemovalCase {
  TColumnIndex Removed;
  TColumnIndex Sort, Main, AutoSize;
};

TEST_F(THeaderTest, DeletingAColumnKeepsIndexesNamingTheSameColumns) {
  // Before: sort 2, main 2, auto-size 1, of four columns.
  const std::vector<TRemovalCase> Cases = {{0, 1, 1, 0}, {1, 1, 1, NoColumn}, {2, NoColumn, 0, 1}, {3, 2, 2, 1}};
  for (const TRemovalCase& C : Cases) {
    SCOPED_TRACE(C.Removed);
    Cols.Clear();
    AddColumns({10, 20, 30, 40});
    H.SetSortColumn(2);
    H.SetMainColumn(2);
    H.SetAutoSizeIndex(1);
    Cols.Delete(C.Removed);
    EXPECT_EQ(H.SortColumn(), C.Sort);
    EXPECT_EQ(H.MainColumn(), C.Main);
    EXPECT_EQ(H.AutoSizeIndex(), C.AutoSize);
    EXPECT_TRUE(MapConsistent());
  }
  Cols.Clear();
  EXPECT_EQ(H.SortColumn(), NoColumn);
  EXPECT_EQ(H.MainColumn(), NoColumn);
}

TEST_F(THeaderTest, DisplayName) {
  AddColumns({10, 10, 10});
  Cols[1].SetText(u"Taille \u00e9");
  Cols[2].SetText(u"\u0420\u0430\u0437\u043c\u0435\u0440");
  EXPECT_EQ(Cols[1].GetDisplayName(), u"Taille \u00e9");
  EXPECT_EQ(Cols[2].GetDisplayName(), u"Column 2");
}

TEST_F(THeaderTest, VisibilityChangeReachesTheTree) {
  AddColumns({10, 20});
  std::vector<std::pair<TColumnIndex, bool>> Seen;
  Tree.OnColumnVisibilityChanged = [&](TBaseVastTree*, TColumnIndex C, bool V) { Seen.push_back({C, V}); };
  Cols[1].SetOptions(Cols[1].Options() - TVTColumnOptions{coVisible});
  Cols[1].SetOptions(Cols[1].Options() + TVTColumnOptions{coVisible});
  ASSERT_EQ(Seen.size(), 2u);
  EXPECT_EQ(Seen[0], std::make_pair(TColumnIndex{1}, false));
  EXPECT_EQ(Seen[1], std::make_pair(TColumnIndex{1}, true));
}

// ---------------------------------------------------------------------------
// Width limits and distribution

TEST_F(THeaderTest, WidthLimitsHoldOnEveryPath) {
  AddColumns({50});
  TVastTreeColumn& C = Cols[0];
  C.SetMinWidth(20);
  C.SetMaxWidth(80);
  C.SetWidth(5);
  EXPECT_EQ(C.Width(), 20);
  C.SetWidth(500);
  EXPECT_EQ(C.Width(), 80);
  C.SetMinWidth(-3);
  EXPECT_EQ(C.MinWidth(), 0);
  C.SetMaxWidth(30);  // pulls the width down
  EXPECT_EQ(C.Width(), 30);
  C.SetMinWidth(60);  // cannot pass the maximum
  EXPECT_EQ(C.MinWidth(), 30);
  C.SetMaxWidth(10);  // cannot go below the minimum
  EXPECT_EQ(C.MaxWidth(), 30);
  Cols.AnimatedResize(0, 1000);
  EXPECT_EQ(C.Width(), 30);
  EXPECT_EQ(H.ResizeColumns(-100, 0, 0), 0);
  EXPECT_EQ(C.Width(), 30);
}

TEST_F(THeaderTest, FixedAreaPercentagesNeverBreakAColumnsOwnLimits) {
  AddColumns({100, 100});
  Cols[0].SetOptions(Cols[0].Options() + TVTColumnOptions{coFixed});
  Cols[0].SetMinWidth(50);
  H.FixedAreaConstraints().SetMaxWidthPercent(5);  // 20 pixels of 400: below the minimum
  Cols[0].SetWidth(300);
  EXPECT_EQ(Cols[0].Width(), 50);
  H.FixedAreaConstraints().SetMaxWidthPercent(0);
  H.FixedAreaConstraints().SetMinWidthPercent(90);  // 360 pixels: above the maximum
  Cols[0].SetMaxWidth(200);
  Cols[0].SetWidth(60);
  EXPECT_EQ(Cols[0].Width(), 200);
}

TEST_F(THeaderTest, BonusPixelsRotate) {
  AddColumns({50, 50, 50});
  EXPECT_EQ(H.ResizeColumns(7, 0, 2), 7);
  EXPECT_EQ(Widths(), (std::vector<Integer>{53, 52, 52}));
  EXPECT_EQ(H.ResizeColumns(7, 0, 2), 7);
  EXPECT_EQ(Widths(), (std::vector<Integer>{55, 55, 54}));
  // Shrinking starts from the other end.
  EXPECT_EQ(H.ResizeColumns(-4, 0, 2), -4);
  EXPECT_EQ(Widths(), (std::vector<Integer>{54, 53, 53}));
}

struct TResizeCase {
  const char* Name;
  std::vector<Integer> Widths, Mins, Maxs;
  std::vector<bool> Fixed;
  Integer ChangeBy;
  TVTColumnOptions Options;
  Integer Result;
  std::vector<Integer> After;
};

TEST_F(THeaderTest, ResizeColumnsTable) {
  const TVTColumnOptions Vis{coVisible};
  const TVTColumnOptions VisFixed{coVisible, coFixed};
  const std::vector<TResizeCase> Cases = {
      {"limits cut the share, the rest goes to the others",
       {50, 50, 50},
       {10, 10, 10},
       {52, 1000, 1000},
       {false, false, false},
       10,
       Vis,
       10,
       {52, 54, 54}},
      {"more than the room: stops at the limits", {50, 50}, {10, 10}, {55, 60}, {false, false}, 100, Vis, 15, {55, 60}},
      {"shrink to the minimums", {50, 50}, {40, 45}, {100, 100}, {false, false}, -100, Vis, -15, {40, 45}},
      {"zero-width columns grow",
       {0, 0, 0},
       {0, 0, 0},
       {10000, 10000, 10000},
       {false, false, false},
       5,
       Vis,
       5,
       {2, 2, 1}},
      {"zero-width columns cannot shrink", {0, 0}, {0, 0}, {100, 100}, {false, false}, -5, Vis, 0, {0, 0}},
      {"no column matches the options", {50, 50}, {10, 10}, {100, 100}, {false, false}, 20, VisFixed, 0, {50, 50}},
      {"only the matching columns take",
       {50, 50, 50},
       {10, 10, 10},
       {100, 100, 100},
       {true, false, true},
       3,
       VisFixed,
       3,
       {52, 50, 51}},
      {"all at their limits", {30, 30}, {30, 30}, {30, 30}, {false, false}, 9, Vis, 0, {30, 30}},
      {"one pixel", {50, 50, 50}, {10, 10, 10}, {100, 100, 100}, {false, false, false}, 1, Vis, 1, {51, 50, 50}},
  };
  for (const TResizeCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Cols.Clear();
    for (std::size_t I = 0; I < Case.Widths.size(); ++I) {
      TVastTreeColumn* C = Cols.Add();
      C->SetMinWidth(0);
      C->SetMaxWidth(Case.Maxs[I]);
      C->SetMinWidth(Case.Mins[I]);
      C->SetWidth(Case.Widths[I]);
      if (Case.Fixed[I]) C->SetOptions(C->Options() + TVTColumnOptions{coFixed});
    }
    ASSERT_EQ(Widths(), Case.Widths);
    EXPECT_EQ(H.ResizeColumns(Case.ChangeBy, 0, Cols.Count() - 1, Case.Options), Case.Result);
    EXPECT_EQ(Widths(), Case.After);
    for (Integer I = 0; I < Cols.Count(); ++I) {
      EXPECT_GE(Cols[I].Width(), Cols[I].MinWidth());
      EXPECT_LE(Cols[I].Width(), Cols[I].MaxWidth());
    }
  }
}

TEST_F(THeaderTest, ResizeColumnsOddRangesAreHarmless) {
  AddColumns({50, 50});
  EXPECT_EQ(H.ResizeColumns(10, 1, 0), 0);
  EXPECT_EQ(H.ResizeColumns(10, -5, 99), 10);
  EXPECT_EQ(Widths(), (std::vector<Integer>{55, 55}));
  Cols.Clear();
  EXPECT_EQ(H.ResizeColumns(10, 0, 5), 0);
}

TEST_F(THeaderTest, AutoSizeColumnFillsTheClientWidth) {
  AddColumns({100, 50, 70});
  H.SetAutoSizeIndex(0);
  H.SetOptions(H.Options() + TVTHeaderOptions{hoAutoResize});
  EXPECT_EQ(Cols[0].Width(), 400 - 50 - 70);
  Cols[0].SetWidth(10);  // its width is the fit's business only
  EXPECT_EQ(Cols[0].Width(), 280);
  Cols[1].SetWidth(150);
  EXPECT_EQ(Cols[0].Width(), 180);
  Cols[2].SetOptions(Cols[2].Options() - TVTColumnOptions{coVisible});
  EXPECT_EQ(Cols[0].Width(), 250);
  Cols[0].SetMaxWidth(200);
  H.SetTreeBounds(1004, 304, 1000, 280);
  Cols.FitAutoSizeColumn(false);
  EXPECT_EQ(Cols[0].Width(), 200);
  Cols[1].SetWidth(1500);  // leaves less than the minimum
  EXPECT_EQ(Cols[0].Width(), Cols[0].MinWidth());
  EXPECT_EQ(Cols.TotalWidth(), Cols[0].Width() + Cols[1].Width());
}

TEST_F(THeaderTest, AutoSizeIndexOutOfRangeMeansTheLastColumn) {
  AddColumns({100, 50});
  H.SetAutoSizeIndex(7);
  H.SetOptions(H.Options() + TVTHeaderOptions{hoAutoResize});
  EXPECT_EQ(Cols[1].Width(), 300);
}

TEST_F(THeaderTest, SpringColumnsShareWidthChangesWithTheirFractions) {
  AddColumns({100, 100, 100});
  for (Integer I : {0, 2}) Cols[I].SetOptions(Cols[I].Options() + TVTColumnOptions{coAutoSpring});
  H.SetOptions(H.Options() + TVTHeaderOptions{hoAutoSpring});
  H.DistributeSpringWidth();  // the first call only records the width
  EXPECT_EQ(Widths(), (std::vector<Integer>{100, 100, 100}));
  H.SetTreeBounds(409, 304, 405, 280);
  H.DistributeSpringWidth();
  EXPECT_EQ(Widths(), (std::vector<Integer>{102, 100, 102}));
  H.SetTreeBounds(410, 304, 406, 280);
  H.DistributeSpringWidth();  // the halves left over make a pixel each
  EXPECT_EQ(Widths(), (std::vector<Integer>{103, 100, 103}));
  H.SetTreeBounds(398, 304, 394, 280);
  H.DistributeSpringWidth();
  EXPECT_EQ(Widths(), (std::vector<Integer>{97, 100, 97}));
  // Springs respect the limits.
  Cols[0].SetMaxWidth(98);
  H.SetTreeBounds(1004, 304, 1000, 280);
  H.DistributeSpringWidth();
  EXPECT_EQ(Cols[0].Width(), 98);
}

TEST_F(THeaderTest, SpringWithoutSpringColumnsOnlyRecordsTheWidth) {
  AddColumns({100});
  H.SetOptions(H.Options() + TVTHeaderOptions{hoAutoSpring});
  H.DistributeSpringWidth();
  H.SetTreeBounds(504, 304, 500, 280);
  H.DistributeSpringWidth();
  EXPECT_EQ(Cols[0].Width(), 100);
}

// ---------------------------------------------------------------------------
// Sorting

TEST_F(THeaderTest, SortColumnIsClampedAndSortsWithAutoSort) {
  AddColumns({10, 20});
  for (int I = 0; I < 3; ++I) Tree.AddChild(nullptr);
  ASSERT_TRUE(Tree.TreeOptions().AutoOptions().Contains(toAutoSort));
  H.SetSortColumn(5);
  EXPECT_EQ(H.SortColumn(), 1);
  ASSERT_EQ(Tree.Sorts.size(), 1u);
  EXPECT_EQ(Tree.Sorts[0].Column, 1);
  H.SetSortColumn(-7);
  EXPECT_EQ(H.SortColumn(), NoColumn);
  EXPECT_EQ(Tree.Sorts.size(), 2u);
}

struct TSortCase {
  const char* Name;
  bool AutoSort, ClickAutoSort, InUpdate;
  std::size_t Sorts;
};

TEST_F(THeaderTest, SortingFollowsTheOptionsTable) {
  AddColumns({10, 20});
  for (int I = 0; I < 3; ++I) Tree.AddChild(nullptr);
  const std::vector<TSortCase> Cases = {
      {"tree auto sort", true, false, false, 2},
      {"header click auto sort", false, true, false, 2},
      {"neither: repaint only", false, false, false, 0},
      {"inside an update: later", true, false, true, 0},
  };
  for (const TSortCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TVTAutoOptions Auto = Tree.TreeOptions().AutoOptions();
    if (Case.AutoSort)
      Auto.Include(toAutoSort);
    else
      Auto.Exclude(toAutoSort);
    Tree.TreeOptions().SetAutoOptions(Auto);
    TVTHeaderOptions O = H.Options();
    if (Case.ClickAutoSort)
      O.Include(hoHeaderClickAutoSort);
    else
      O.Exclude(hoHeaderClickAutoSort);
    H.SetOptions(O);
    H.SetSortColumn(NoColumn);
    H.SetSortDirection(sdAscending);
    Tree.Sorts.clear();
    if (Case.InUpdate) Tree.BeginUpdate();
    H.SetSortColumn(0);
    H.SetSortDirection(sdDescending);
    EXPECT_EQ(Tree.Sorts.size(), Case.Sorts);
    if (Case.Sorts == 2) {
      EXPECT_EQ(Tree.Sorts[1].Column, 0);
      EXPECT_EQ(Tree.Sorts[1].Direction, sdDescending);
    }
    if (Case.InUpdate) {
      Tree.EndUpdate();  // the tree sorts by the header's settings itself
      ASSERT_EQ(Tree.Sorts.size(), 1u);
      EXPECT_EQ(Tree.Sorts[0].Direction, sdDescending);
    }
  }
}

TEST_F(THeaderTest, SameSortColumnIgnoresTheDirection) {
  AddColumns({10, 20});
  H.SetSortColumn(1);
  Tree.Sorts.clear();
  H.SetSortColumn(1);
  EXPECT_TRUE(Tree.Sorts.empty());
  EXPECT_EQ(H.SortDirection(), sdAscending);
}

TEST_F(THeaderTest, MainColumnClampsAndMovesTheFocusedColumn) {
  EXPECT_EQ(H.MainColumn(), NoColumn);
  AddColumns({10, 20, 30});
  EXPECT_EQ(H.MainColumn(), 0);
  H.SetMainColumn(9);
  EXPECT_EQ(H.MainColumn(), 2);
  EXPECT_EQ(Tree.FocusedColumn(), 2);
  H.SetMainColumn(-4);
  EXPECT_EQ(H.MainColumn(), 0);
}

TEST_F(THeaderTest, HeightLimits) {
  H.SetHeight(5);
  EXPECT_EQ(H.Height(), 10);
  H.SetMaxHeight(30);
  H.SetHeight(100);
  EXPECT_EQ(H.Height(), 30);
  // 3 % of client height plus header (280 + 30) is 9: the percentage limits
  // the height even below MinHeight.
  H.SetMinHeight(15);
  H.FixedAreaConstraints().SetMaxHeightPercent(3);  // 9 pixels
  EXPECT_EQ(H.Height(), 9);
}

// ---------------------------------------------------------------------------
// Header stream

TBytes Bytes(TMemoryStream& S) {
  const Byte* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

void PutInt(TBytes& B, Integer V) {
  for (int I = 0; I < 4; ++I) B.push_back(static_cast<Byte>(static_cast<Cardinal>(V) >> (8 * I)));
}

void PatchInt(TBytes& B, std::size_t At, Integer V) {
  for (int I = 0; I < 4; ++I) B[At + I] = static_cast<Byte>(static_cast<Cardinal>(V) >> (8 * I));
}

void LoadHeader(TVTHeader& Header, const TBytes& B) {
  TMemoryStream S;
  if (!B.empty()) S.WriteBuffer(B.data(), static_cast<Int64>(B.size()));
  S.SetPosition(0);
  Header.LoadFromStream(S);
}

class THeaderStreamTest : public THeaderTest {
protected:
  TFakeTreeHost TargetHost;
  TCustomVastStringTree Target{&TargetHost};

  void SetUp() override {
    THeaderTest::SetUp();
    Target.Header().SetTreeBounds(404, 304, 400, 280);
    AddColumns({60, 70, 80});
    Cols[0].SetText(u"Nom");
    Cols[1].SetText(u"Taille \u00e9\U0001F600");
    Cols[1].SetHint(u"Octets");
    Cols[1].SetAlignment(taRightJustify);
    Cols[1].SetMinWidth(20);
    Cols[1].SetMaxWidth(300);
    Cols[2].SetTag(77);
    Cols[2].SetColor(0x123456);
    Cols[2].SetCaptionAlignment(taCenter);
    Cols[2].SetOptions(Cols[2].Options() - TVTColumnOptions{coVisible});
    Cols[0].SetPosition(2);
    Cols.SetDefaultWidth(66);
    H.SetHeight(24);
    H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible, hoDblClickResize});
    H.SetStyle(hsPlates);
    H.SetBackground(0x00FF00);
    TVTHeaderFont F;
    F.Name = u"Segoe UI \u00e9";
    F.Height = -13;
    F.Style = 3;
    H.SetFont(F);
    H.SetParentFont(false);
    H.SetMainColumn(1);
    H.SetSortColumn(1);
    H.SetSortDirection(sdDescending);
    H.FixedAreaConstraints().SetMaxWidthPercent(40);
    H.SetMaxHeight(40);
    H.SetMinHeight(12);
    TMemoryStream S;
    H.SaveToStream(S);
    Saved = Bytes(S);
  }
  TBytes Saved;
};

TEST_F(THeaderStreamTest, RoundTripRestoresEverySetting) {
  TVTHeader& T = Target.Header();
  LoadHeader(T, Saved);
  EXPECT_TRUE(T.Columns().Equals(Cols));
  EXPECT_EQ(T.Columns().PositionToIndex(), Cols.PositionToIndex());
  EXPECT_EQ(T.Columns()[1].Hint(), u"Octets");
  EXPECT_EQ(T.Columns()[2].CaptionAlignment(), taCenter);
  EXPECT_EQ(T.Columns().DefaultWidth(), 66);
  EXPECT_EQ(T.Height(), 24);
  EXPECT_EQ(T.Options(), H.Options());
  EXPECT_EQ(T.Style(), hsPlates);
  EXPECT_EQ(T.Background(), 0x00FF00);
  EXPECT_EQ(T.Font(), H.Font());
  EXPECT_FALSE(T.ParentFont());
  EXPECT_EQ(T.MainColumn(), 1);
  EXPECT_EQ(T.SortColumn(), 1);
  EXPECT_EQ(T.SortDirection(), sdDescending);
  EXPECT_EQ(T.MaxHeight(), 40);
  EXPECT_EQ(T.MinHeight(), 12);
  EXPECT_EQ(T.FixedAreaConstraints().MaxWidthPercent(), 40);
  EXPECT_FALSE(T.States().Contains(hsLoading));
  // Saving again gives the same bytes.
  TMemoryStream Again;
  T.SaveToStream(Again);
  EXPECT_EQ(Bytes(Again), Saved);
}

TEST_F(THeaderStreamTest, StreamWithoutMarkerIsVersionMinusOne) {
  TBytes B;
  PutInt(B, 1);  // one column
  PutInt(B, 2);
  B.insert(B.end(), {'A', 0, 'b', 0});
  PutInt(B, 0);  // hint
  for (Integer V : {90, 10, 10000, 0, -1, 0, 4, 3, 0}) PutInt(B, V);
  PutInt(B, static_cast<Integer>(DefaultColumnOptions.Bits() & ~(1u << coVisible)));
  PutInt(B, 0);                                            // the position entry
  for (Integer V : {0, 0x0000FF, 30, 0, 1}) PutInt(B, V);  // auto size, background, height, options, style
  PutInt(B, 0);
  PutInt(B, -12);
  PutInt(B, 5);
  B.insert(B.end(), {'A', 'r', 'i', 'a', 'l'});
  PutInt(B, 0);
  PutInt(B, 0);
  TVTHeader& T = Target.Header();
  T.SetSortColumn(NoColumn);
  LoadHeader(T, B);
  ASSERT_EQ(T.Columns().Count(), 1);
  const TVastTreeColumn& C = T.Columns()[0];
  EXPECT_EQ(C.Text(), u"Ab");
  EXPECT_EQ(C.Width(), 90);
  EXPECT_TRUE(C.Options().Contains(coVisible));  // options are not applied before version 3
  EXPECT_EQ(C.Tag(), 0);
  EXPECT_EQ(C.Alignment(), taLeftJustify);
  EXPECT_EQ(C.Color(), vtclWindow);
  EXPECT_EQ(T.Height(), 30);
  EXPECT_EQ(T.Font().Name, u"Arial");
  EXPECT_EQ(T.SortColumn(), NoColumn);
  EXPECT_EQ(T.Columns().DefaultWidth(), 50);
}

struct TCorruptCase {
  const char* Name;
  std::function<void(TBytes&)> Spoil;
};

TEST_F(THeaderStreamTest, CorruptStreamsFailWithTheReadError) {
  // Offsets: marker, version, count at 8, the first caption length at 12.
  const std::size_t CountAt = 8, CaptionAt = 12;
  const std::size_t PositionsAt = [&] {
    TMemoryStream S;
    Cols.SaveToStream(S);
    return 8 + Bytes(S).size() - 12;  // the three position entries end the columns part
  }();
  const std::vector<TCorruptCase> Cases = {
      {"huge column count", [&](TBytes& B) { PatchInt(B, CountAt, 0x7FFFFFFF); }},
      {"negative column count", [&](TBytes& B) { PatchInt(B, CountAt, -2); }},
      {"count beyond the records", [&](TBytes& B) { PatchInt(B, CountAt, 9); }},
      {"huge caption length", [&](TBytes& B) { PatchInt(B, CaptionAt, 0x40000000); }},
      {"negative caption length", [&](TBytes& B) { PatchInt(B, CaptionAt, -1); }},
      {"position out of range", [&](TBytes& B) { PatchInt(B, PositionsAt, 3); }},
      {"negative position", [&](TBytes& B) { PatchInt(B, PositionsAt, -1); }},
      {"duplicate position",
       [&](TBytes& B) {
         PatchInt(B, PositionsAt, 2);
         PatchInt(B, PositionsAt + 4, 2);
       }},
      {"unknown style", [&](TBytes& B) { PatchInt(B, CaptionAt + 4 + 6 + 4 + 12, 9); }},
      {"cut off", [&](TBytes& B) { B.resize(B.size() - 3); }},
  };
  for (const TCorruptCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TBytes B = Saved;
    Case.Spoil(B);
    TVTHeader& T = Target.Header();
    EXPECT_THROW(LoadHeader(T, B), EReadError);
    EXPECT_FALSE(T.States().Contains(hsLoading));
    EXPECT_EQ(T.Columns().UpdateCount(), 0);
    const auto& Map = T.Columns().PositionToIndex();
    ASSERT_EQ(static_cast<Integer>(Map.size()), T.Columns().Count());
    std::vector<TColumnIndex> Sorted(Map.begin(), Map.end());
    std::sort(Sorted.begin(), Sorted.end());
    for (std::size_t I = 0; I < Sorted.size(); ++I) EXPECT_EQ(Sorted[I], static_cast<TColumnIndex>(I));
    EXPECT_LT(T.SortColumn(), T.Columns().Count());
    EXPECT_LT(T.MainColumn(), T.Columns().Count());
  }
}

TEST_F(THeaderStreamTest, ColumnCountTheDataCannotHoldBuildsNothing) {
  // The records of the three saved columns are there; the count claims more.
  for (Integer Count : {1000, 0x7FFFFFFF}) {
    SCOPED_TRACE(Count);
    TBytes B = Saved;
    PatchInt(B, 8, Count);
    TCustomVastStringTree Fresh{&TargetHost};
    EXPECT_THROW(LoadHeader(Fresh.Header(), B), EReadError);
    EXPECT_EQ(Fresh.Header().Columns().Count(), 0);
  }
}

TEST_F(THeaderStreamTest, EveryTruncationFailsCleanly) {
  for (std::size_t Length = 0; Length < Saved.size(); ++Length) {
    SCOPED_TRACE(Length);
    TBytes B(Saved.begin(), Saved.begin() + static_cast<std::ptrdiff_t>(Length));
    TCustomVastStringTree Fresh{&TargetHost};
    EXPECT_THROW(LoadHeader(Fresh.Header(), B), EReadError);
    EXPECT_FALSE(Fresh.Header().States().Contains(hsLoading));
    EXPECT_LT(Fresh.Header().SortColumn(), Fresh.Header().Columns().Count());
  }
}

// A new header font makes the header at least as high as "Q" in that font
// plus the largest column spacing and half of it again (with
// toAutoChangeScale); a rescale does the same after scaling.
TEST_F(THeaderTest, ANewFontGrowsTheHeightToFitItsText) {
  AddColumns({100, 100});
  Cols[0].SetSpacing(3);
  Cols[1].SetSpacing(5);
  H.SetHeight(12);
  ASSERT_EQ(H.Height(), 12);
  TVTHeaderFont Font = H.Font();
  Font.Height = -13;
  H.SetFont(Font);  // the fake host's text is 13 high: 13 + 5 + 2
  EXPECT_EQ(H.Height(), 20);
  H.SetHeight(30);
  H.SetFont(Font);  // never shrinks
  EXPECT_EQ(H.Height(), 30);
  // A parent font reaching a following header counts as a new font too.
  H.SetHeight(12);
  H.SetParentFont(true);
  H.ParentFontChanged(Font);
  EXPECT_EQ(H.Height(), 20);
  // Without the option the height stays as set.
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoChangeScale});
  H.SetHeight(12);
  H.SetFont(Font);
  EXPECT_EQ(H.Height(), 12);
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() + TVTAutoOptions{toAutoChangeScale});
  H.ScaleHeader(1, 2);  // 6, then grown again to fit
  EXPECT_EQ(H.Height(), 20);
}

}  // namespace

namespace {

// A descendant's own kinds of column, header and options.
class TTaggedColumn : public TVastTreeColumn {
public:
  explicit TTaggedColumn(TVastTreeColumns* Owner) : TVastTreeColumn(Owner) {}
};
class TOwnHeader : public TVTHeader {
public:
  using TVTHeader::TVTHeader;
};
class TOwnOptions : public TCustomVastTreeOptions {
public:
  using TCustomVastTreeOptions::TCustomVastTreeOptions;
};

class TOwnClassesTree : public TCustomVastStringTree {
public:
  using TCustomVastStringTree::TCustomVastStringTree;
  TVastTreeColumnClass ColumnClass() const override { return &TVastTreeColumns::Make<TTaggedColumn>; }
  TVTHeaderClass HeaderClass() const override { return &TVTHeader::Make<TOwnHeader>; }
  TVastTreeOptionsClass OptionsClass() const override { return &TCustomVastTreeOptions::Make<TOwnOptions>; }
};

}  // namespace

// Columns are made when added, so they are the descendant's kind at once;
// the header and the options, made while the base was being built, become
// the descendant's kind when the parts are applied, with their settings.
TEST(TVastTreePartClasses, ADescendantsClassesMakeItsColumnsHeaderAndOptions) {
  TFakeTreeHost Host;
  TOwnClassesTree Tree{&Host};
  EXPECT_EQ(dynamic_cast<TOwnHeader*>(&Tree.Header()), nullptr);
  EXPECT_EQ(dynamic_cast<TOwnOptions*>(&Tree.TreeOptions()), nullptr);
  TVTHeader& Before = Tree.Header();
  Before.Columns().Add()->SetWidth(77);
  Before.Columns().Add()->SetText(u"Size");
  EXPECT_NE(dynamic_cast<TTaggedColumn*>(&Before.Columns()[0]), nullptr);
  Before.SetHeight(30);
  Before.SetMainColumn(1);
  Before.SetOptions(Before.Options() + TVTHeaderOptions{hoVisible});
  TCustomVastTreeOptions& O = Tree.TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowHorzGridLines});
  O.SetMiscOptions(O.MiscOptions() + TVTMiscOptions{toGridExtensions});

  Tree.ApplyPartClasses();
  TVTHeader& After = Tree.Header();
  ASSERT_NE(dynamic_cast<TOwnHeader*>(&After), nullptr);
  ASSERT_NE(dynamic_cast<TOwnOptions*>(&Tree.TreeOptions()), nullptr);
  EXPECT_EQ(After.Height(), 30);
  EXPECT_EQ(After.MainColumn(), 1);
  EXPECT_TRUE(After.Options().Contains(hoVisible));
  ASSERT_EQ(After.Columns().Count(), 2);
  EXPECT_EQ(After.Columns()[0].Width(), 77);
  EXPECT_EQ(After.Columns()[1].Text(), u"Size");
  for (Integer I = 0; I < 2; ++I) EXPECT_NE(dynamic_cast<TTaggedColumn*>(&After.Columns()[I]), nullptr);
  EXPECT_TRUE(Tree.TreeOptions().PaintOptions().Contains(toShowHorzGridLines));
  EXPECT_TRUE(Tree.TreeOptions().MiscOptions().Contains(toGridExtensions));
  // Applied again, nothing is remade.
  TCustomVastTreeOptions* Options = &Tree.TreeOptions();
  Tree.ApplyPartClasses();
  EXPECT_EQ(&Tree.Header(), &After);
  EXPECT_EQ(&Tree.TreeOptions(), Options);
}
