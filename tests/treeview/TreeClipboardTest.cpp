// Data exchange without a window: the format registry, a tree's offered
// formats, the checked payloads of the tree's own formats, the cut and copy
// marks and pasting (moved within the process or copied from the records).
#include <gtest/gtest.h>

#include <memory>

#include "TreeTestSupport.h"
#include "treeview/VastStringTree.h"

namespace {

// The marks a copy or cut leaves (the clipboard side puts them on the
// tree after the system took the data object).
class TMarkingTree : public TBaseVastTree {
public:
  explicit TMarkingTree(IVastTreeHost* Host = nullptr) : TBaseVastTree(Host) {
    TreeOptions().SetAutoOptions(TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
    OnSaveNode = [](TBaseVastTree* T, PVastNode N, TStream* S) { S->WriteBuffer(T->GetNodeData(N), 4); };
    OnLoadNode = [](TBaseVastTree* T, PVastNode N, TStream* S) { S->ReadBuffer(T->GetNodeData(N), 4); };
  }
  using TBaseVastTree::BeginOleDragSource;
  using TBaseVastTree::EndOleDragSource;
  void Mark(bool Cut) {
    MarkCutCopySelection();
    DoStateChange({Cut ? tsCutPending : tsCopyPending});
  }
  PVastNode Add(PVastNode Parent, Integer K) {
    PVastNode Node = AddChild(Parent);
    Key(*this, Node) = K;
    return Node;
  }
  // "1(11 12) 2 3"
  void Fill() {
    PVastNode One = Add(nullptr, 1);
    Add(One, 11);
    Add(One, 12);
    Add(nullptr, 2);
    Add(nullptr, 3);
  }
  PVastNode Top(Integer K) {
    for (PVastNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run))
      if (Key(*this, Run) == K) return Run;
    return nullptr;
  }
};

// What a data object of Tree would carry: its records as a block, and the
// reference to it from this process.
TVTBlockDataSource DataOf(TBaseVastTree& Tree, bool ForClipboard, Cardinal Pid = CurrentProcessId()) {
  return TVTBlockDataSource(MakeNativeBlock(Tree.RenderNativeTreeData(ForClipboard)), EncodeTreeReference(&Tree, Pid));
}

std::vector<Integer> Keys(TBaseVastTree& Tree, const TNodeArray& Nodes) {
  std::vector<Integer> Result;
  for (PVastNode N : Nodes) Result.push_back(Key(Tree, N));
  return Result;
}

TEST(TreeClipboardFormats, TheRegistryKnowsTheTreeFormatsByPriorityAndClass) {
  TBaseVastTree Plain;
  TCustomVastStringTree Strings;
  std::vector<String> PlainNames, StringNames;
  TClipboardFormatList::EnumerateFormats(Plain, PlainNames);
  TClipboardFormatList::EnumerateFormats(Strings, StringNames);
  EXPECT_EQ(PlainNames, (std::vector<String>{u"Vast Tree Data"}));
  EXPECT_EQ(StringNames, (std::vector<String>{u"Vast Tree Data", u"HTML Format", u"Rich Text Format Without Objects",
                                              u"Rich Text Format", u"CSV", u"Unicode text", u"Plain text"}));
  Word Id = 0;
  ASSERT_NE(TClipboardFormatList::FindFormat(u"csv", Id), nullptr);
  EXPECT_EQ(Id, CF_VTCSV);
  String Name;
  EXPECT_NE(TClipboardFormatList::FindFormat(CF_UNICODETEXT_ID, Name), nullptr);
  EXPECT_EQ(Name, u"Unicode text");
  EXPECT_EQ(TClipboardFormatList::FindFormat(u"Vast Tree Reference"), nullptr);  // registered, not listed
  EXPECT_GE(CF_VTREFERENCE, 0xC000);
  EXPECT_EQ(SystemClipboardFormatName(CF_VASTTREE), u"Vast Tree Data");

  // A tree offers only what its class can render, sorted, once each.
  EXPECT_EQ(Strings.ClipboardFormats().Add(u"CSV"), 0);
  EXPECT_EQ(Plain.ClipboardFormats().Add(u"CSV"), -1);
  EXPECT_EQ(Plain.ClipboardFormats().Add(u"No such format"), -1);
  Strings.SetClipboardFormats({u"Vast Tree Data", u"HTML Format", u"CSV", u"csv", u"Unknown"});
  ASSERT_EQ(Strings.ClipboardFormats().Count(), 3);
  EXPECT_EQ(Strings.ClipboardFormats()[0], u"CSV");
  EXPECT_EQ(Strings.ClipboardFormats()[2], u"Vast Tree Data");
  TVTFormatDescriptors Offered;
  TClipboardFormatList::EnumerateFormats(Strings, Offered, &Strings.ClipboardFormats());
  ASSERT_EQ(Offered.size(), 3u);
  EXPECT_EQ(Offered[0].Format, CF_VASTTREE);
  EXPECT_EQ(Offered[1].Format, CF_VTHTML);
  EXPECT_EQ(Offered[2], (TVTFormatDescriptor{CF_VTCSV, DvAspectContent, -1, TymedHGlobal}));
}

// A reference names a tree only when the process is this one and the
// address is a live tree's; nothing else is ever followed.
TEST(TreeClipboardFormats, AReferenceNamesOnlyALiveTreeOfThisProcess) {
  const Cardinal Pid = CurrentProcessId();
  auto Tree = std::make_unique<TBaseVastTree>();
  TBaseVastTree* Raw = Tree.get();
  const TBytes Good = EncodeTreeReference(Raw, Pid);
  ASSERT_EQ(Good.size(), TreeReferenceSize);
  EXPECT_EQ(DecodeTreeReference(Good.data(), Good.size(), Pid), Raw);

  TBytes OtherProcess = EncodeTreeReference(Raw, Pid + 1);
  TBytes Forged = EncodeTreeReference(reinterpret_cast<TBaseVastTree*>(reinterpret_cast<std::uintptr_t>(Raw) + 8), Pid);
  TBytes Null = EncodeTreeReference(nullptr, Pid);
  TBytes Short(Good.begin(), Good.end() - 1);
  TBytes Long = Good;
  Long.push_back(0);
  for (const TBytes* Bad : {&OtherProcess, &Forged, &Null, &Short, &Long})
    EXPECT_EQ(DecodeTreeReference(Bad->data(), Bad->size(), Pid), nullptr);
  EXPECT_EQ(DecodeTreeReference(nullptr, 0, Pid), nullptr);
  // Once the tree is gone its old reference names nothing.
  Tree.reset();
  EXPECT_EQ(DecodeTreeReference(Good.data(), Good.size(), Pid), nullptr);
}

TEST(TreeClipboardFormats, TheBlockCountMustFitTheBytesPresent) {
  const TBytes Records{1, 2, 3, 4, 5};
  const TBytes Block = MakeNativeBlock(Records);
  const Byte* P = nullptr;
  std::size_t N = 0;
  ASSERT_TRUE(NativeBlockRecords(Block.data(), Block.size(), P, N));
  EXPECT_EQ(TBytes(P, P + N), Records);
  // A block rounded up by the system keeps its count.
  TBytes Padded = Block;
  Padded.resize(Block.size() + 11, 0);
  ASSERT_TRUE(NativeBlockRecords(Padded.data(), Padded.size(), P, N));
  EXPECT_EQ(N, Records.size());
  struct TCase {
    const char* Name;
    TBytes Bytes;
  };
  const TCase Bad[] = {{"shorter than the count", TBytes{6, 0, 0, 0, 1, 2, 3, 4, 5}},
                       {"negative count", TBytes{0xFF, 0xFF, 0xFF, 0xFF, 1}},
                       {"huge count", TBytes{0xFF, 0xFF, 0xFF, 0x7F, 1, 2}},
                       {"no count", TBytes{5, 0, 0}}};
  for (const TCase& C : Bad) EXPECT_FALSE(NativeBlockRecords(C.Bytes.data(), C.Bytes.size(), P, N)) << C.Name;
  TOLEMemoryStream Stream(Records.data(), Records.size());
  EXPECT_THROW(Stream.Write(Records.data(), 1), EStreamError);
}

TEST(TreeClipboardMarks, TheCutCopySetResolvesChildrenOfMarkedParents) {
  TMarkingTree Tree;
  Tree.Fill();
  PVastNode One = Tree.Top(1), Twelve = Tree.Top(12), Three = Tree.Top(3);
  EXPECT_TRUE(Tree.GetSortedCutCopySet(false).empty());  // nothing pending
  for (PVastNode N : {One, Twelve, Three}) Tree.SetSelected(N, true);
  Tree.Mark(false);
  EXPECT_EQ(Tree.CutCopyCount(), 3u);
  EXPECT_EQ(Keys(Tree, Tree.GetSortedCutCopySet(false)), (std::vector<Integer>{1, 12, 3}));
  EXPECT_EQ(Keys(Tree, Tree.GetSortedCutCopySet(true)), (std::vector<Integer>{1, 3}));
  Tree.CancelCutOrCopy();
  EXPECT_EQ(Tree.CutCopyCount(), 0u);
  EXPECT_FALSE(Tree.TreeStates().Contains(tsCopyPending));
  EXPECT_FALSE(One->States.Contains(vsCutOrCopy));
  // A finished copy deletes nothing; a finished cut deletes the marked
  // subtrees.
  Tree.Mark(false);
  Tree.FinishCutOrCopy();
  EXPECT_EQ(Shape(Tree), "1(11 12) 2 3");
  Tree.CancelCutOrCopy();
  Tree.Mark(true);
  Tree.FinishCutOrCopy();
  EXPECT_EQ(Shape(Tree), "2");
  EXPECT_FALSE(Tree.TreeStates().Contains(tsCutPending));
  EXPECT_TREE_VALID(Tree);
}

TEST(TreeClipboardPaste, CopiesFromTheRecordsInEveryAttachMode) {
  struct TCase {
    TVTNodeAttachMode Mode;
    const char* Expected;
  };
  // Copies of "1(11 12)" and "3" at node 2, in their order in every mode.
  const TCase Cases[] = {{amAddChildLast, "1(11 12) 2(1(11 12) 3) 3"},
                         {amAddChildFirst, "1(11 12) 2(1(11 12) 3) 3"},
                         {amInsertBefore, "1(11 12) 1(11 12) 3 2 3"},
                         {amInsertAfter, "1(11 12) 2 1(11 12) 3 3"}};
  for (const TCase& C : Cases) {
    TMarkingTree Tree;
    Tree.Fill();
    Tree.SetSelected(Tree.Top(1), true);
    Tree.SetSelected(Tree.Top(3), true);
    Tree.Mark(false);
    TVTBlockDataSource Data = DataOf(Tree, true);
    int Copied = 0;
    Tree.OnNodeCopied = [&](TBaseVastTree*, PVastNode) { ++Copied; };
    EXPECT_TRUE(Tree.ProcessOLEData(&Tree, Data, Tree.Top(2), C.Mode, false));
    EXPECT_EQ(Shape(Tree), C.Expected) << int(C.Mode);
    EXPECT_TREE_VALID(Tree);
    EXPECT_EQ(Copied, 2);
  }
  // Into another tree the copies are new nodes there; a refused copy goes.
  TMarkingTree Source, Target;
  Source.Fill();
  Source.SetSelected(Source.Top(1), true);
  Source.SetSelected(Source.Top(2), true);
  TVTBlockDataSource Data = DataOf(Source, false);
  Target.OnNodeCopying = [](TBaseVastTree* T, PVastNode N, PVastNode, bool& Allowed) { Allowed = Key(*T, N) != 2; };
  EXPECT_TRUE(Target.ProcessOLEData(nullptr, Data, nullptr, amInsertAfter, false));
  EXPECT_EQ(Shape(Target), "1(11 12)");
  EXPECT_EQ(Shape(Source), "1(11 12) 2 3");
  EXPECT_TREE_VALID(Target);
  // A read-only tree takes nothing.
  Target.TreeOptions().SetMiscOptions(Target.TreeOptions().MiscOptions() + TVTMiscOptions{toReadOnly});
  Target.ProcessOLEData(nullptr, Data, nullptr, amAddChildLast, false);
  EXPECT_EQ(Shape(Target), "1(11 12)");
}

// A paste as first children keeps the set's order whether it copies or
// moves, ahead of the children already there.
TEST(TreeClipboardPaste, FirstChildPasteKeepsTheOrderOfCopiesAndMoves) {
  for (const bool Move : {false, true}) {
    TMarkingTree A, B;
    A.Fill();
    PVastNode Seven = B.Add(nullptr, 7);
    B.Add(Seven, 71);
    A.SetSelected(A.Top(1), true);
    A.SetSelected(A.Top(2), true);
    A.SetSelected(A.Top(3), true);
    A.Mark(Move);
    TVTBlockDataSource Data = DataOf(A, true);
    EXPECT_TRUE(B.ProcessOLEData(&A, Data, B.Top(7), amAddChildFirst, Move));
    EXPECT_EQ(Shape(B), "7(1(11 12) 2 3 71)") << (Move ? "move" : "copy");
    EXPECT_TREE_VALID(B);
  }
}

// Within the process the nodes move; a node is never moved into its own
// subtree, and the order of the set survives.
TEST(TreeClipboardPaste, AnOptimizedPasteMovesTheCutNodes) {
  TMarkingTree A, B;
  A.Fill();
  B.Add(nullptr, 7);
  A.SetSelected(A.Top(1), true);
  A.SetSelected(A.Top(3), true);
  A.Mark(true);
  TVTBlockDataSource Data = DataOf(A, true);
  ASSERT_EQ(B.SourceTreeOfDataObject(Data), &A);
  EXPECT_TRUE(B.ProcessOLEData(&A, Data, B.Top(7), amAddChildLast, true));
  EXPECT_EQ(Shape(B), "7(1(11 12) 3)");
  EXPECT_EQ(Shape(A), "2");
  EXPECT_TREE_VALID(A);
  EXPECT_TREE_VALID(B);

  TMarkingTree Same;
  Same.Fill();
  Same.SetSelected(Same.Top(1), true);
  Same.SetSelected(Same.Top(2), true);
  Same.Mark(true);
  TVTBlockDataSource Own = DataOf(Same, true);
  // Target 11 lies inside 1: node 1 stays, node 2 moves.
  EXPECT_TRUE(Same.ProcessOLEData(&Same, Own, Same.Top(11), amInsertAfter, true));
  EXPECT_EQ(Shape(Same), "1(11 2 12) 3");
  EXPECT_TREE_VALID(Same);
}

TEST(TreeClipboardPaste, BadDataIsRefusedOrRaisesTheStreamError) {
  TMarkingTree Tree;
  Tree.Fill();
  // A count larger than the bytes: nothing is read.
  TVTBlockDataSource Lying(TBytes{0x40, 0, 0, 0, 1, 0, 0, 0}, {});
  EXPECT_FALSE(Tree.ProcessOLEData(nullptr, Lying, nullptr, amAddChildLast, false));
  EXPECT_EQ(Shape(Tree), "1(11 12) 2 3");
  // Records that lie about their sizes fail as the stream does, and leave
  // a consistent tree.
  TMarkingTree Other;
  Other.Fill();
  Other.SetSelected(Other.Top(1), true);
  TBytes Records = Other.RenderNativeTreeData(false);
  Records[4] = 0x7F;  // the node chunk's size
  TVTBlockDataSource Corrupt(MakeNativeBlock(Records), {});
  EXPECT_THROW(Tree.ProcessOLEData(nullptr, Corrupt, nullptr, amAddChildLast, false), EVastTreeError);
  EXPECT_TREE_VALID(Tree);
  // A forged reference is no source: the drop copies.
  TBytes Forged = EncodeTreeReference(&Other, CurrentProcessId());
  Forged[4] ^= 0x10;
  TVTBlockDataSource WithForged(MakeNativeBlock(Other.RenderNativeTreeData(false)), Forged);
  EXPECT_EQ(Tree.SourceTreeOfDataObject(WithForged), nullptr);
  Integer Effect = DropEffectMove;
  EXPECT_TRUE(Tree.ProcessDrop(WithForged, nullptr, Effect, amAddChildLast));
  EXPECT_EQ(Shape(Other), "1(11 12) 2 3");
  EXPECT_TREE_VALID(Tree);
  // A drop with nowhere to go changes nothing.
  Effect = DropEffectCopy;
  EXPECT_FALSE(Tree.ProcessDrop(WithForged, nullptr, Effect, amNoWhere));
  EXPECT_EQ(Effect, DropEffectNone);
}

// A move drop from a tree of this process moves and reports no effect;
// with copy allowed as well it copies.
TEST(TreeClipboardPaste, ADropMovesOnlyWhenCopyIsNotAllowedToo) {
  TMarkingTree A, B;
  A.Fill();
  A.SetSelected(A.Top(2), true);
  A.Mark(false);
  {
    TVTBlockDataSource Data = DataOf(A, true);
    Integer Effect = DropEffectMove | DropEffectCopy;
    EXPECT_TRUE(B.ProcessDrop(Data, nullptr, Effect, amAddChildLast));
    EXPECT_EQ(Effect, DropEffectNone);
    EXPECT_EQ(Shape(A), "1(11 12) 2 3");
    EXPECT_EQ(Shape(B), "2");
  }
  TVTBlockDataSource Data = DataOf(A, true);
  Integer Effect = DropEffectMove;
  EXPECT_TRUE(B.ProcessDrop(Data, nullptr, Effect, amAddChildLast));
  EXPECT_EQ(Effect, DropEffectNone);
  EXPECT_EQ(Shape(A), "1(11 12) 3");
  EXPECT_EQ(Shape(B), "2 2");
}

TEST(TreeClipboardDrag, BeginDragWaitsForTheThresholdOnce) {
  TFakeTreeHost Host;
  TMarkingTree Tree(&Host);
  Tree.BeginDrag(false, -1);
  EXPECT_TRUE(Tree.TreeStates().Contains(tsOLEDragPending));
  EXPECT_TRUE(Tree.Dragging());
  EXPECT_EQ(Tree.DragThreshold(), Host.SystemDragThreshold());
  Tree.BeginDrag(false, 30);
  EXPECT_EQ(Tree.DragThreshold(), Host.SystemDragThreshold());  // already pending
  EXPECT_EQ(Tree.DragOperations(), (TDragOperations{doCopy, doMove}));
  EXPECT_EQ(Tree.DragType(), dtOLE);
}

}  // namespace

namespace {

// The drag source's start selects the focused node and keeps the sorted
// selection; a move at its end deletes the dragged nodes only with
// toAutoDeleteMovedNodes.
TEST(TreeClipboardDrag, TheSourceKeepsItsSelectionAndDeletesAfterAMove) {
  for (bool AutoDelete : {true, false}) {
    TMarkingTree Tree;
    Tree.Fill();
    TVTAutoOptions Auto = Tree.TreeOptions().AutoOptions();
    if (AutoDelete)
      Auto.Include(toAutoDeleteMovedNodes);
    else
      Auto.Exclude(toAutoDeleteMovedNodes);
    Tree.TreeOptions().SetAutoOptions(Auto);
    Tree.SetSelected(Tree.Top(12), true);
    Tree.SetSelected(Tree.Top(1), true);
    Tree.SetFocusedNode(Tree.Top(3));
    Tree.SetDragOperations(TDragOperations{doMove});
    EXPECT_EQ(Tree.BeginOleDragSource(), DropEffectMove);
    EXPECT_TRUE(Tree.TreeStates().Contains(tsOLEDragging));
    EXPECT_EQ(Keys(Tree, Tree.DragSelection()), (std::vector<Integer>{1, 3}));
    Tree.EndOleDragSource(DropEffectMove);
    EXPECT_FALSE(Tree.TreeStates().Contains(tsOLEDragging));
    EXPECT_TRUE(Tree.DragSelection().empty());
    EXPECT_EQ(Tree.LastDragEffect(), DropEffectMove);
    EXPECT_EQ(Shape(Tree), AutoDelete ? "2" : "1(11 12) 2 3");
  }
  TMarkingTree Tree;
  Tree.SetDragOperations(TDragOperations{});
  EXPECT_EQ(Tree.BeginOleDragSource(), DropEffectCopy | DropEffectMove | DropEffectLink);
  Tree.EndOleDragSource(DropEffectCopy);
}

}  // namespace
