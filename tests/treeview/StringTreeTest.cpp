// The string tree's text side: texts, the width cache and the caption chunk.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "TreeTestSupport.h"
#include "rtl/SysUtils.h"
#include "treeview/VastStringTree.h"

namespace {

class TTestStringTree : public TCustomVastStringTree {
public:
  using TCustomVastStringTree::TCustomVastStringTree;
  using TCustomVastStringTree::IsCellEmpty;
  using TCustomVastStringTree::SetChildCount;
  using TCustomVastStringTree::DoGetNodeHint;
  using TCustomVastStringTree::DoGetNodeTooltip;
};

// Texts come from a map keyed by node; the fake host measures 7 pixels a
// character and the text margin is 4.
class TStringTreeTest : public ::testing::Test {
protected:
  TFakeTreeHost Host;
  TTestStringTree Tree{&Host};
  std::map<PVastNode, String> Texts;
  int GetTextCalls = 0;

  void SetUp() override {
    // No rows on screen: nothing is measured for the scroll range before a
    // test gives its nodes their texts.
    Host.Height = 0;
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree.OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex, TVSTTextType Type, String& Text) {
      ++GetTextCalls;
      if (Type == ttStatic) {
        Text = u"static";
        return;
      }
      auto It = Texts.find(Node);
      if (It != Texts.end()) Text = It->second;
    };
  }
  PVastNode Add(PVastNode Parent, const String& Text) {
    PVastNode N = Tree.AddChild(Parent);
    Texts[N] = Text;
    return N;
  }
};

TEST_F(TStringTreeTest, DefaultTextUnlessAHandlerAnswers) {
  PVastNode A = Add(nullptr, u"a");
  PVastNode Silent = Tree.AddChild(nullptr);
  EXPECT_EQ(Tree.GetText(A, NoColumn), u"a");
  EXPECT_EQ(Tree.GetText(Silent, NoColumn), u"Node");
  Tree.SetDefaultText(u"Acc\u00e8s en cours...");
  EXPECT_EQ(Tree.GetText(Silent, 0), u"Acc\u00e8s en cours...");
  Tree.OnGetText = nullptr;
  EXPECT_EQ(Tree.GetText(A, 0), u"Acc\u00e8s en cours...");
  EXPECT_TRUE(Tree.GetStaticText(A, 0).empty());
}

TEST_F(TStringTreeTest, HintsAskOnGetHintAndTooltipsFallBackToTheCellText) {
  PVastNode A = Add(nullptr, u"a long name");
  TVTTooltipLineBreakStyle Style = hlbForceMultiLine;
  // Without a handler: the control's hint for a hint, the cell for a tooltip.
  Tree.SetHint(u"tree hint");
  EXPECT_EQ(Tree.DoGetNodeHint(A, 0, Style), u"tree hint");
  EXPECT_EQ(Style, hlbDefault);
  EXPECT_EQ(Tree.DoGetNodeTooltip(A, 0, Style), u"a long name");
  // The handler starts from the control's hint and has the last word.
  std::vector<String> Seen;
  Tree.OnGetHint = [&](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVTTooltipLineBreakStyle& S, String& Text) {
    Seen.push_back(Text);
    S = hlbForceSingleLine;
    Text = Texts[Node] + u" #" + String(1, static_cast<Char>(u'0' + Column));
  };
  EXPECT_EQ(Tree.DoGetNodeHint(A, 1, Style), u"a long name #1");
  EXPECT_EQ(Style, hlbForceSingleLine);
  EXPECT_EQ(Tree.DoGetNodeTooltip(A, 2, Style), u"a long name #2");
  EXPECT_EQ(Seen, (std::vector<String>{u"tree hint", u"tree hint"}));
}

TEST_F(TStringTreeTest, StaticTextOnlyWithItsOption) {
  PVastNode A = Add(nullptr, u"a");
  EXPECT_TRUE(Tree.GetStaticText(A, 0).empty());
  Tree.SetStringOptions(Tree.StringOptions() + TVTStringOptions{toShowStaticText});
  EXPECT_EQ(Tree.GetStaticText(A, 0), u"static");
  EXPECT_EQ(Tree.DoGetNodeExtraWidth(A, 0), 6 * 7 + 4);
  Tree.SetAlignment(taCenter);
  EXPECT_EQ(Tree.DoGetNodeExtraWidth(A, 0), 0);
}

TEST_F(TStringTreeTest, CellTextEventTakesPrecedence) {
  PVastNode A = Add(nullptr, u"a");
  Tree.SetStringOptions(Tree.StringOptions() + TVTStringOptions{toShowStaticText});
  Tree.OnGetCellText = [](TCustomVastStringTree*, TVSTGetCellTextEventArgs& E) {
    E.CellText = u"cell";
    E.StaticText = u"more";
  };
  GetTextCalls = 0;
  EXPECT_EQ(Tree.GetText(A, 0), u"cell");
  EXPECT_EQ(Tree.GetStaticText(A, 0), u"more");
  EXPECT_EQ(GetTextCalls, 0);
}

TEST_F(TStringTreeTest, GettingATextInitialisesTheNode) {
  Tree.SetRootNodeCount(1);
  PVastNode N = Tree.GetFirstNoInit();
  ASSERT_FALSE(N->States.Contains(vsInitialized));
  Tree.GetText(N, 0);
  EXPECT_TRUE(N->States.Contains(vsInitialized));
}

TEST_F(TStringTreeTest, PathEndsWithTheDelimiter) {
  PVastNode A = Add(nullptr, u"a");
  PVastNode B = Add(A, u"b");
  PVastNode C = Add(B, u"c");
  EXPECT_EQ(Tree.Path(C, 0, u'\\'), u"a\\b\\c\\");
  EXPECT_EQ(Tree.Path(nullptr, 0, u'/'), u"/");
}

TEST_F(TStringTreeTest, EmptyCellsAskTheBase) {
  PVastNode A = Add(nullptr, u"");
  PVastNode B = Add(nullptr, u"b");
  EXPECT_TRUE(Tree.IsCellEmpty(A, 0));
  EXPECT_FALSE(Tree.IsCellEmpty(B, 0));
}

// ---------------------------------------------------------------------------
// Width cache

class TWidthCacheTest : public TStringTreeTest {
protected:
  PVastNode A = nullptr, B = nullptr;
  void SetUp() override {
    TStringTreeTest::SetUp();
    A = Add(nullptr, u"abc");
    B = Add(nullptr, u"hello");
    Tree.Header().Columns().Add();
    Tree.Header().Columns().Add();
    ASSERT_EQ(Tree.Header().MainColumn(), 0);
    EXPECT_EQ(Tree.DoGetNodeWidth(A, 0), 3 * 7 + 8);
    EXPECT_EQ(Tree.DoGetNodeWidth(B, 0), 5 * 7 + 8);
    Texts[A] = u"abcdefgh";
    Texts[B] = u"worldwide";
  }
};

TEST_F(TWidthCacheTest, MainColumnWidthIsCachedUntilInvalidated) {
  EXPECT_EQ(Tree.CachedTextWidth(A), 29u);
  EXPECT_EQ(Tree.DoGetNodeWidth(A, 0), 29);         // cached, text change unseen
  EXPECT_EQ(Tree.DoGetNodeWidth(A, 1), 8 * 7 + 8);  // other columns are never cached
  Tree.InvalidateNode(A);
  EXPECT_EQ(Tree.CachedTextWidth(A), 0u);
  EXPECT_EQ(Tree.DoGetNodeWidth(A, 0), 8 * 7 + 8);
  EXPECT_EQ(Tree.DoGetNodeWidth(B, 0), 43);  // the other node keeps its cache
}

TEST_F(TWidthCacheTest, ReinitAndChildCountResetOnlyThatNode) {
  Tree.ReinitNode(A, false);
  EXPECT_EQ(Tree.CachedTextWidth(A), 0u);
  EXPECT_EQ(Tree.CachedTextWidth(B), 43u);
  Tree.DoGetNodeWidth(A, 0);
  Tree.SetChildCount(B, 2);
  EXPECT_EQ(Tree.CachedTextWidth(B), 0u);
  EXPECT_EQ(Tree.CachedTextWidth(A), 64u);
}

TEST_F(TWidthCacheTest, MainColumnChangeAndFontChangeResetEveryNode) {
  PVastNode Child = Add(A, u"child");
  Tree.DoGetNodeWidth(Child, 0);
  ASSERT_NE(Tree.CachedTextWidth(Child), 0u);
  Tree.Header().SetMainColumn(1);
  for (PVastNode N : {A, B, Child}) EXPECT_EQ(Tree.CachedTextWidth(N), 0u);
  EXPECT_EQ(Tree.DoGetNodeWidth(A, 1), 64);
  Tree.FontChanged();
  EXPECT_EQ(Tree.CachedTextWidth(A), 0u);
  EXPECT_EQ(Tree.EllipsisWidth(), 21);
  EXPECT_EQ(Tree.TextHeight(), 13);
}

TEST_F(TWidthCacheTest, MeasureEventsAdjustTheWidth) {
  Tree.OnMeasureTextWidth = [](TBaseVastTree*, TCanvas*, PVastNode, TColumnIndex, const String&, Integer& Extent) {
    Extent += 100;
  };
  Tree.InvalidateNode(A);
  EXPECT_EQ(Tree.DoGetNodeWidth(A, 0), 8 * 7 + 100 + 8);
}

// ---------------------------------------------------------------------------
// Caption chunk

TBytes StreamBytes(TMemoryStream& S) {
  const Byte* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

TEST_F(TStringTreeTest, CaptionChunkRoundTrip) {
  PVastNode A = Add(nullptr, u"alpha \u00e9\U0001F600");
  Add(A, u"child");
  Add(nullptr, u"");  // empty text: no chunk
  Tree.ValidateNode(nullptr, true);
  TMemoryStream S;
  Tree.SaveToStream(S);

  TFakeTreeHost TargetHost;
  TCustomVastStringTree Target{&TargetHost};
  std::vector<String> Received;
  Target.OnNewText = [&](TBaseVastTree*, PVastNode, TColumnIndex, const String& Text) { Received.push_back(Text); };
  S.SetPosition(0);
  Target.LoadFromStream(S);
  EXPECT_EQ(Target.TotalCount(), Tree.TotalCount());
  EXPECT_EQ(Target.RootNodeCount(), 2u);
  EXPECT_EQ(Received, (std::vector<String>{u"child", u"alpha \u00e9\U0001F600"}));
  EXPECT_TREE_VALID(Target);
}

TEST_F(TStringTreeTest, NoCaptionsWithoutTheOption) {
  Add(nullptr, u"alpha");
  Tree.ValidateNode(nullptr, true);
  TMemoryStream With, Without;
  Tree.SaveToStream(With);
  Tree.SetStringOptions(Tree.StringOptions() - TVTStringOptions{toSaveCaptions});
  Tree.SaveToStream(Without);
  EXPECT_EQ(With.Size() - Without.Size(), 8 + 2 * 5);
  TCustomVastStringTree Target;
  int NewTexts = 0;
  Target.OnNewText = [&](TBaseVastTree*, PVastNode, TColumnIndex, const String&) { ++NewTexts; };
  Without.SetPosition(0);
  Target.LoadFromStream(Without);
  EXPECT_EQ(NewTexts, 0);
  EXPECT_EQ(Target.RootNodeCount(), 1u);
}

TEST_F(TStringTreeTest, OddCaptionChunkLoadsItsWholeUnits) {
  Add(nullptr, u"ab");
  Tree.ValidateNode(nullptr, true);
  TMemoryStream S;
  Tree.SaveToStream(S);
  TBytes B = StreamBytes(S);
  // The caption chunk ends the stream: 8 header bytes, then "ab". Make its
  // size odd and append the stray byte, growing the node chunk to match.
  const std::size_t CaptionAt = B.size() - 12;
  ASSERT_EQ(B[CaptionAt], 3);
  B[CaptionAt + 4] = 5;
  B.push_back(0x7F);
  const std::size_t NodeSizeAt = 12 + 4 + 4;
  B[NodeSizeAt] = static_cast<Byte>(B[NodeSizeAt] + 1);
  TCustomVastStringTree Target;
  String Got;
  Target.OnNewText = [&](TBaseVastTree*, PVastNode, TColumnIndex, const String& Text) { Got = Text; };
  TMemoryStream In;
  In.WriteBuffer(B.data(), static_cast<Int64>(B.size()));
  In.SetPosition(0);
  Target.LoadFromStream(In);
  EXPECT_EQ(Got, u"ab");
  EXPECT_TREE_VALID(Target);
}

TEST_F(TStringTreeTest, GetTextInfoGivesTextAndHeight) {
  PVastNode A = Add(nullptr, u"abc");
  int Painted = 0;
  Tree.OnPaintText = [&](TBaseVastTree*, TCanvas*, PVastNode, TColumnIndex, TVSTTextType) { ++Painted; };
  String Text;
  Integer Height = 0;
  Tree.GetTextInfo(A, NoColumn, nullptr, Text, Height);
  EXPECT_EQ(Text, u"abc");
  EXPECT_EQ(Height, 13);
  EXPECT_EQ(Painted, 1);
}

}  // namespace

// toRestoreSelection: the selected nodes' texts are remembered, and nodes
// added later with one of those texts are selected again (a list filled
// anew keeps its selection).
TEST_F(TStringTreeTest, RemembersSelectedTextsAndSelectsThemAgainWhenAdded) {
  // A node's text is known as it is added (as when it comes with its data).
  String Pending;
  Tree.OnGetText = [&](TBaseVastTree*, PVastNode Node, TColumnIndex, TVSTTextType, String& Text) {
    auto It = Texts.find(Node);
    Text = It != Texts.end() ? It->second : Pending;
  };
  auto Add = [&](PVastNode Parent, const String& Text) {
    Pending = Text;
    PVastNode N = Tree.AddChild(Parent);
    Texts[N] = Text;
    return N;
  };
  TCustomVastTreeOptions& O = Tree.TreeOptions();
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toMultiSelect, toRestoreSelection});
  PVastNode A = Add(nullptr, u"alpha");
  PVastNode B = Add(nullptr, u"Beta");
  PVastNode C = Add(nullptr, u"gamma");
  Tree.SetSelected(A, true);
  Tree.SetSelected(B, true);
  // Texts compare without regard to case; one that was not selected stays
  // unselected.
  PVastNode A2 = Add(nullptr, u"ALPHA");
  EXPECT_TRUE(Tree.GetSelected(A2));
  EXPECT_FALSE(Tree.GetSelected(Add(nullptr, u"gamma")));
  EXPECT_EQ(Tree.SelectedCount(), 3);
  // A node taken out of a selection that goes on is forgotten.
  Tree.SetSelected(B, false);
  EXPECT_FALSE(Tree.GetSelected(Add(nullptr, u"beta")));
  // A single new selection starts the list afresh.
  Tree.ClearSelection();
  Tree.SetSelected(C, true);
  EXPECT_TRUE(Tree.GetSelected(Add(nullptr, u"GAMMA")));
  EXPECT_FALSE(Tree.GetSelected(Add(nullptr, u"alpha")));
  // Without the option nothing is remembered.
  Tree.ClearSelection();
  O.SetSelectionOptions(O.SelectionOptions() - TVTSelectionOptions{toRestoreSelection});
  Tree.SetSelected(B, true);
  EXPECT_FALSE(Tree.GetSelected(Add(nullptr, u"Beta")));
}

namespace {

// The remembered selection through every way of selecting. Nodes are added
// with their text known at once (as the application adds them with their
// data); Remembered probes whether a node added with a text is selected
// again, then deletes the probe, which leaves what is remembered as it was.
class TRememberedSelectionTest : public ::testing::Test {
protected:
  TFakeTreeHost Host;
  TTestStringTree Tree{&Host};
  std::vector<String> Texts;  // indexed by node data
  String Pending;
  int GetTextCalls = 0;

  void SetUp() override {
    Host.Height = 0;
    Tree.SetNodeDataSize(sizeof(std::size_t));
    TCustomVastTreeOptions& O = Tree.TreeOptions();
    O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort});
    O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toMultiSelect, toRestoreSelection});
    Tree.OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex, TVSTTextType, String& Text) {
      ++GetTextCalls;
      const std::size_t Index = *static_cast<std::size_t*>(Tree.GetNodeData(Node));
      Text = Index < Texts.size() ? Texts[Index] : Pending;
    };
  }
  PVastNode Add(const String& Text) {
    Pending = Text;
    const std::size_t Index = Texts.size();
    PVastNode Node = Tree.AddChild(nullptr, reinterpret_cast<void*>(Index));
    Texts.push_back(Text);
    return Node;
  }
  bool Remembered(const String& Text) {
    PVastNode Probe = Add(Text);
    const bool Result = Tree.GetSelected(Probe);
    Tree.DeleteNode(Probe);
    return Result;
  }
  std::vector<PVastNode> AddAll(std::initializer_list<const char16_t*> List) {
    std::vector<PVastNode> Nodes;
    for (const char16_t* Text : List) Nodes.push_back(Add(Text));
    return Nodes;
  }
};

}  // namespace

// Each way of changing the selection leaves the texts of the selected nodes
// remembered, and no others.
TEST_F(TRememberedSelectionTest, EveryWayOfSelectingKeepsTheRememberedTexts) {
  const std::vector<PVastNode> N = AddAll({u"a", u"b", u"c", u"d", u"e"});
  struct TCase {
    const char* Name;
    std::function<void()> Act;
    const char16_t* Expected;  // the remembered ones among "abcde"
  };
  const std::vector<TCase> Cases{
      {"select all", [&] { Tree.SelectAll(false); }, u"abcde"},
      {"clear", [&] { Tree.ClearSelection(); }, u""},
      {"range", [&] { Tree.SelectRange(N[1], N[3], false); }, u"bcd"},
      {"range added", [&] { Tree.SelectRange(N[4], N[4], true); }, u"bcde"},
      {"unselect range", [&] { Tree.UnselectRange(N[2], N[3]); }, u"be"},
      {"invert", [&] { Tree.InvertSelection(false); }, u"acd"},
      {"single deselect", [&] { Tree.SetSelected(N[0], false); }, u"cd"},
      {"new single selection",
       [&] {
         Tree.ClearSelection();
         Tree.SetSelected(N[4], true);
       },
       u"e"},
  };
  for (const TCase& Case : Cases) {
    Case.Act();
    String Got;
    for (const char16_t* Text : {u"a", u"b", u"c", u"d", u"e"})
      if (Remembered(String(Text) == u"a" ? u"A" : Text)) Got += Text;
    EXPECT_EQ(Got, String(Case.Expected)) << Case.Name;
  }
}

// Selected nodes that are deleted stay remembered, whether they go one by
// one, inside an update, as the selection or with the whole list: a list
// filled anew keeps its selection.
TEST_F(TRememberedSelectionTest, DeletedSelectedNodesStayRememberedForARefill) {
  struct TCase {
    const char* Name;
    std::function<void(const std::vector<PVastNode>&)> Delete;
  };
  const std::vector<TCase> Cases{
      {"one by one",
       [&](const std::vector<PVastNode>& N) {
         Tree.DeleteNode(N[1]);
         Tree.DeleteNode(N[2]);
       }},
      {"inside an update",
       [&](const std::vector<PVastNode>& N) {
         Tree.BeginUpdate();
         Tree.DeleteNode(N[1]);
         Tree.DeleteNode(N[2]);
         Tree.EndUpdate();
       }},
      {"the selection", [&](const std::vector<PVastNode>&) { Tree.DeleteSelectedNodes(); }},
      {"the whole list", [&](const std::vector<PVastNode>&) { Tree.Clear(); }},
  };
  for (const TCase& Case : Cases) {
    Tree.Clear();
    const std::vector<PVastNode> N = AddAll({u"a", u"b", u"c"});
    // What the case before remembered goes with the selection.
    Tree.ClearSelection();
    Tree.SetSelected(N[1], true);
    Tree.SetSelected(N[2], true);
    Case.Delete(N);
    EXPECT_EQ(Tree.SelectedCount(), 0) << Case.Name;
    Tree.Clear();
    const std::vector<PVastNode> Again = AddAll({u"a", u"b", u"c"});
    EXPECT_FALSE(Tree.GetSelected(Again[0])) << Case.Name;
    EXPECT_TRUE(Tree.GetSelected(Again[1])) << Case.Name;
    EXPECT_TRUE(Tree.GetSelected(Again[2])) << Case.Name;
  }
}

// Two selected nodes with the same text (in any case): deselecting one
// keeps the text while the other is still selected.
TEST_F(TRememberedSelectionTest, ATextStaysWhileAnotherSelectedNodeHoldsIt) {
  const std::vector<PVastNode> N = AddAll({u"x", u"X", u"y"});
  Tree.SetSelected(N[0], true);
  Tree.SetSelected(N[1], true);
  Tree.SetSelected(N[2], true);
  Tree.SetSelected(N[0], false);
  EXPECT_TRUE(Remembered(u"x"));
  Tree.SetSelected(N[1], false);
  EXPECT_FALSE(Remembered(u"x"));
  EXPECT_TRUE(Remembered(u"y"));
}

// 100,000 nodes: selecting them all asks each text once, deselecting asks
// none (the text each was remembered with is kept), and a refill selects
// them all again with two requests a node. Remembering is hashed, so this
// runs in time linear in the number of nodes.
TEST_F(TRememberedSelectionTest, HundredThousandNodesCostOneTextRequestEach) {
  constexpr int Count = 100000;
  const auto Fill = [&] {
    Tree.BeginUpdate();
    for (int I = 0; I < Count; ++I) Add(u"node " + IntToStr(I));
    Tree.EndUpdate();
  };
  Fill();
  GetTextCalls = 0;
  Tree.SelectAll(false);
  EXPECT_EQ(Tree.SelectedCount(), Count);
  EXPECT_EQ(GetTextCalls, Count);
  GetTextCalls = 0;
  Tree.Clear();
  EXPECT_EQ(GetTextCalls, 0);
  Texts.clear();
  Fill();
  EXPECT_EQ(Tree.SelectedCount(), Count);
  EXPECT_EQ(GetTextCalls, 2 * Count);
  GetTextCalls = 0;
  Tree.ClearSelection();
  EXPECT_EQ(GetTextCalls, 0);
  EXPECT_FALSE(Remembered(u"node 7"));
}
