// The tree stream: round trips, and corrupted input that must fail cleanly.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "TreeSmallStack.h"
#include "TreeTestSupport.h"

namespace {

void KeyedStreaming(TBaseVastTree& Tree) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
  Tree.OnSaveNode = [](TBaseVastTree* T, PVastNode N, TStream* S) { S->WriteBuffer(T->GetNodeData(N), 4); };
  Tree.OnLoadNode = [](TBaseVastTree* T, PVastNode N, TStream* S) { S->ReadBuffer(T->GetNodeData(N), 4); };
}

TBytes StreamBytes(TMemoryStream& S) {
  const Byte* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

void Load(TBaseVastTree& Tree, const TBytes& Bytes) {
  TMemoryStream S;
  if (!Bytes.empty()) S.WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
  S.SetPosition(0);
  Tree.LoadFromStream(S);
}

int HelpContextOf(TBaseVastTree& Tree, const TBytes& Bytes) {
  try {
    Load(Tree, Bytes);
  } catch (const EVastTreeError& E) {
    return E.HelpContext();
  } catch (const EReadError&) {
    return -1;
  }
  return 0;
}

class TStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    KeyedStreaming(Source);
    KeyedStreaming(Target);
    Source.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
    Target.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
    for (Integer I = 1; I <= 3; ++I) {
      PVastNode N = Source.AddChild(nullptr);
      Key(Source, N) = I;
      for (Integer J = 1; J <= I; ++J) {
        PVastNode C = Source.AddChild(N);
        Key(Source, C) = I * 10 + J;
      }
    }
    Source.ValidateNode(nullptr, true);
    Source.SetExpanded(Source.GetFirstNoInit(), true);
    Source.SetSelected(Source.GetFirstNoInit()->FirstChild, true);
    Source.GetLastNoInit()->CheckState = csCheckedNormal;
    Source.SaveToStream(Saved);
    Bytes = StreamBytes(Saved);
  }
  TBaseVastTree Source, Target;
  TMemoryStream Saved;
  TBytes Bytes;
};

TEST_F(TStreamTest, RoundTripRestoresStructureStatesAndData) {
  int Copied = 0, Loaded = 0;
  Target.OnNodeCopied = [&](TBaseVastTree*, PVastNode N) { Copied += N == nullptr; };
  Target.OnLoadTree = [&](TBaseVastTree*, TStream*) { ++Loaded; };
  int Inits = 0;
  Target.OnInitNode = [&](TBaseVastTree*, PVastNode, PVastNode, TVastNodeInitStates&) { ++Inits; };
  Load(Target, Bytes);
  EXPECT_EQ(Shape(Target), Shape(Source));
  EXPECT_EQ(Shape(Target), "1(11) 2(21 22) 3(31 32 33)");
  EXPECT_TRUE(Target.GetFirstNoInit()->States.Contains(vsExpanded));
  EXPECT_EQ(Target.GetLastNoInit()->CheckState, csCheckedNormal);
  EXPECT_EQ(Target.SelectedCount(), 1);
  EXPECT_EQ(Target.VisibleCount(), Source.VisibleCount());
  EXPECT_EQ(Inits, 0);
  EXPECT_EQ(Copied, 1);
  EXPECT_EQ(Loaded, 1);
  EXPECT_TREE_VALID(Target);
}

TEST_F(TStreamTest, EmptyTreeIsSixteenBytesAndSubtreeAddsUnderNode) {
  TBaseVastTree Empty;
  TMemoryStream S;
  Empty.SaveToStream(S);
  EXPECT_EQ(S.Size(), 16);
  const Byte Signature[12] = {0x45, 0x20, 0x56, 0, 0x54, 0, 3, 0, 0x20, 0, 0x46, 0x20};
  EXPECT_EQ(std::memcmp(S.Memory(), Signature, 12), 0);

  TMemoryStream One;
  Source.SaveToStream(One, Source.GetLastNoInit(nullptr)->Parent);
  One.SetPosition(0);
  Target.Clear();
  PVastNode Anchor = Target.AddChild(nullptr);
  Key(Target, Anchor) = 7;
  Target.AddFromStream(One, Anchor);
  EXPECT_EQ(Shape(Target), "7(3(31 32 33))");
  EXPECT_TREE_VALID(Target);
}

TEST_F(TStreamTest, HeaderErrors) {
  TBytes Wrong = Bytes;
  Wrong[2] = 'X';
  EXPECT_EQ(HelpContextOf(Target, Wrong), 2002);
  TBytes Future = Bytes;
  Future[6] = 4;
  EXPECT_EQ(HelpContextOf(Target, Future), 2003);
  TBytes Zero = Bytes;
  Zero[6] = 0;
  EXPECT_EQ(HelpContextOf(Target, Zero), 2003);
  EXPECT_EQ(HelpContextOf(Target, TBytes(Bytes.begin(), Bytes.begin() + 11)), 2004);
  TBytes OddSpace = Bytes;
  OddSpace[8] = '_';
  EXPECT_EQ(HelpContextOf(Target, OddSpace), 0);
}

TEST_F(TStreamTest, EveryTruncationFailsCleanly) {
  for (std::size_t Length = 12; Length < Bytes.size(); ++Length) {
    const int Code = HelpContextOf(Target, TBytes(Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(Length)));
    EXPECT_TRUE(Code == -1 || (Code >= 2004 && Code <= 2006) || Code == 0) << Length << " gave " << Code;
    ASSERT_TREE_VALID(Target);
  }
}

TEST_F(TStreamTest, RandomCorruptionNeverBreaksTheTree) {
  std::mt19937 Random(11);
  for (int Round = 0; Round < 3000; ++Round) {
    TBytes Bad = Bytes;
    const int Flips = 1 + static_cast<int>(Random() % 4);
    for (int I = 0; I < Flips; ++I) Bad[12 + Random() % (Bad.size() - 12)] = static_cast<Byte>(Random());
    const int Code = HelpContextOf(Target, Bad);
    EXPECT_TRUE(Code == 0 || Code == -1 || (Code >= 2004 && Code <= 2006)) << Code;
    ASSERT_TREE_VALID(Target);
    EXPECT_LE(Target.RootNode()->TotalCount, 64u);
  }
}

// A stream with one node chunk: Node(Base(ChildCount, states), optional extra).
TBytes OneNodeStream(Integer ChildCount, Cardinal States, Integer DeclaredNodeSize = -1) {
  TBytes B = {0x45, 0x20, 0x56, 0, 0x54, 0, 3, 0, 0x20, 0, 0x46, 0x20};
  auto Int = [&B](Integer V) {
    for (int I = 0; I < 4; ++I) B.push_back(static_cast<Byte>(V >> (8 * I)));
  };
  Int(1);
  Int(1);
  Int(DeclaredNodeSize >= 0 ? DeclaredNodeSize : 8 + 19);
  Int(2);
  Int(19);
  Int(ChildCount);
  Int(18);
  Int(static_cast<Integer>(States));
  B.push_back(50);
  B.push_back(0);
  B.push_back(0);
  Int(0);
  return B;
}

TEST_F(TStreamTest, HugeChildCountAndForeignStatesAreRefused) {
  EXPECT_EQ(HelpContextOf(Target, OneNodeStream(0x7FFFFFFF, 0)), 2004);
  EXPECT_EQ(Target.RootNode()->TotalCount, 2u);
  EXPECT_TREE_VALID(Target);
  const Cardinal Hostile = TVastNodeStates{vsVisible,      vsReleaseCallOnUserDataRequired, vsDeleting, vsToggling,
                                           vsInitializing, vsOnFreeNodeCallRequired}
                               .Bits();
  EXPECT_EQ(HelpContextOf(Target, OneNodeStream(0, Hostile)), 0);
  PVastNode Node = Target.GetFirstNoInit();
  ASSERT_NE(Node, nullptr);
  EXPECT_EQ(Node->States.Bits(), TVastNodeStates{vsVisible}.Bits());
  // Freeing it must not release anything through its user data.
  Target.Clear();
}

// A node chunk holding two base chunks, each with one child.
TBytes TwoBaseChunksStream() {
  TBytes B = {0x45, 0x20, 0x56, 0, 0x54, 0, 3, 0, 0x20, 0, 0x46, 0x20};
  auto Int = [&B](Integer V) {
    for (int I = 0; I < 4; ++I) B.push_back(static_cast<Byte>(V >> (8 * I)));
  };
  auto Base = [&](Integer Children) {
    Int(2);
    Int(19 + Children * (16 + 19));
    Int(Children);
    Int(18);
    Int(static_cast<Integer>(TVastNodeStates{vsVisible, vsInitialized}.Bits()));
    B.push_back(50);
    B.push_back(0);
    B.push_back(0);
    Int(0);
    for (Integer I = 0; I < Children; ++I) {
      Int(1);
      Int(8 + 19);
      Int(2);
      Int(19);
      Int(0);
      Int(18);
      Int(static_cast<Integer>(TVastNodeStates{vsVisible}.Bits()));
      B.push_back(50);
      B.push_back(0);
      B.push_back(0);
      Int(0);
    }
  };
  Int(1);
  Int(1);
  Int(2 * (8 + 19 + 16 + 19));
  Base(1);
  Base(1);
  return B;
}

TEST_F(TStreamTest, ASecondBaseChunkIsAStreamError) {
  EXPECT_EQ(HelpContextOf(Target, TwoBaseChunksStream()), 2006);
  EXPECT_TREE_VALID(Target);
  // What was read before the error stays usable: deleting it keeps the counts.
  PVastNode Node = Target.GetFirstNoInit();
  ASSERT_NE(Node, nullptr);
  EXPECT_EQ(Node->ChildCount, 1u);
  Target.DeleteNode(Node->FirstChild);
  EXPECT_EQ(Node->ChildCount, 0u);
  EXPECT_TREE_VALID(Target);
}

// Deeper than a recursion per level fits in 1 MB.
TEST_F(TStreamTest, DeepTreesSaveLoadAndMoveOnASmallStack) {
  constexpr Integer Levels = 12000;
  TBaseVastTree Deep, Other;
  KeyedStreaming(Deep);
  KeyedStreaming(Other);
  PVastNode Run = nullptr;
  for (Integer I = 0; I < Levels; ++I) {
    Run = Deep.AddChild(Run);
    Key(Deep, Run) = I;
  }
  TMemoryStream S;
  OnSmallStack([&] {
    Deep.ValidateNode(nullptr, true);
    Deep.SaveToStream(S);
    S.SetPosition(0);
    Target.LoadFromStream(S);
    Deep.MoveTo(Deep.GetFirstNoInit(), &Other, amAddChildLast, false);
  });
  for (TBaseVastTree* Tree : {&Target, &Other}) {
    EXPECT_EQ(Tree->RootNode()->TotalCount, static_cast<Cardinal>(Levels) + 1);
    Integer Expected = 0;
    for (PVastNode Node = Tree->GetFirstNoInit(); Node; Node = Node->FirstChild) {
      ASSERT_EQ(Key(*Tree, Node), Expected);
      ++Expected;
    }
    EXPECT_EQ(Expected, Levels);
    ExpectDeepTreeValid(*Tree);
  }
  EXPECT_EQ(Deep.RootNodeCount(), 0u);
  ExpectDeepTreeValid(Deep);
}

// A move whose reading fails in the target tree leaves both trees as they were.
TEST_F(TStreamTest, FailedMoveLeavesBothTrees) {
  Load(Target, Bytes);
  const std::string SourceShape = Shape(Source), TargetShape = Shape(Target);
  Target.OnLoadNode = [](TBaseVastTree* T, PVastNode N, TStream* S) {
    S->ReadBuffer(T->GetNodeData(N), 4);
    if (Key(*T, N) == 22) throw EVastTreeError(u"refused", 0);
  };
  PVastNode Moved = Source.GetFirstNoInit()->NextSibling;
  EXPECT_THROW(Source.MoveTo(Moved, Target.GetFirstNoInit(), amInsertAfter, false), EVastTreeError);
  EXPECT_EQ(Shape(Source), SourceShape);
  EXPECT_EQ(Shape(Target), TargetShape);
  EXPECT_EQ(Source.RootNode()->TotalCount, 10u);
  EXPECT_EQ(Target.RootNode()->TotalCount, 10u);
  EXPECT_TREE_VALID(Source);
  EXPECT_TREE_VALID(Target);
}

TEST_F(TStreamTest, ShortOnLoadNodeReaderDoesNotDisturbFollowingChunks) {
  Target.OnLoadNode = [](TBaseVastTree* T, PVastNode N, TStream* S) { S->ReadBuffer(T->GetNodeData(N), 2); };
  Load(Target, Bytes);
  EXPECT_EQ(Target.RootNodeCount(), 3u);
  EXPECT_EQ(Target.RootNode()->TotalCount, 10u);
  EXPECT_TREE_VALID(Target);
}

TEST_F(TStreamTest, WithoutMultiSelectNothingLoadedIsSelected) {
  Target.TreeOptions().SetSelectionOptions({});
  Load(Target, Bytes);
  EXPECT_EQ(Target.SelectedCount(), 0);
  EXPECT_TREE_VALID(Target);
}

}  // namespace
