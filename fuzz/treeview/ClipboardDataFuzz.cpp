// The tree's clipboard payloads: any bytes as a "Vast Tree Data" block paste
// or fail with the tree's stream error and leave a valid tree; any bytes as
// a "Vast Tree Reference" name nothing but a live tree of this process, and
// only when they are exactly that tree's reference.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/common/FuzzCheck.h"
#include "tests/treeview/TreeTestSupport.h"
#include "treeview/VastStringTree.h"

namespace {

void KeyedStreaming(TBaseVastTree& Tree) {
  Tree.OnSaveNode = [](TBaseVastTree*, PVastNode, TStream*) {};
  Tree.OnLoadNode = [](TBaseVastTree*, PVastNode, TStream* S) {
    Byte Key[4];
    S->Read(Key, 4);
  };
}

void CheckValid(TBaseVastTree& Tree, const char* After) {
  const std::string Broken = TreeInvariantViolation(Tree);
  FuzzCheck(Broken.empty(), std::string("tree invariant broken after ") + After + ": " + Broken);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // One tree for the whole run keeps the shared worker thread from being
  // started and ended for every input.
  static TBaseVastTree KeepsTheWorker;
  const TBytes Input = FuzzBytes(Data, Size);
  TFakeTreeHost Host;
  TCustomVastStringTree Tree(&Host);
  KeyedStreaming(Tree);
  Tree.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
  PVastNode Anchor = Tree.AddChild(nullptr);

  // The bytes as a block pasted under and after a node.
  for (TVTNodeAttachMode Mode : {amAddChildLast, amInsertAfter}) {
    TVTBlockDataSource Block(Input, Input);
    try {
      Tree.ProcessOLEData(nullptr, Block, Anchor, Mode, false);
    } catch (const Exception&) {
    }
    CheckValid(Tree, "pasting a block");
  }
  // What pasted cleanly renders records that paste again.
  Tree.SelectAll(false);
  const TBytes Records = Tree.RenderNativeTreeData(false);
  TCustomVastStringTree Again(&Host);
  KeyedStreaming(Again);
  TVTBlockDataSource Rendered(MakeNativeBlock(Records), {});
  bool Pasted = false;
  try {
    Pasted = Again.ProcessOLEData(nullptr, Rendered, nullptr, amAddChildLast, false);
  } catch (const Exception&) {
  }
  FuzzCheck(Pasted, "the rendered records of a tree do not paste");
  CheckValid(Again, "pasting rendered records");

  // The bytes as a reference: only an exact reference to a live tree names it.
  const Cardinal Pid = CurrentProcessId();
  TBaseVastTree* Named = DecodeTreeReference(Input.data(), Input.size(), Pid);
  if (Named)
    FuzzCheck((Named == &Tree || Named == &Again) && EncodeTreeReference(Named, Pid) == Input,
              "a reference named something other than a live tree");
  // The live trees' own references, with the input's first byte flipped in.
  for (TBaseVastTree* T : {static_cast<TBaseVastTree*>(&Tree), static_cast<TBaseVastTree*>(&Again)}) {
    TBytes Ref = EncodeTreeReference(T, Pid);
    FuzzCheck(DecodeTreeReference(Ref.data(), Ref.size(), Pid) == T, "a live tree's reference does not name it");
    if (!Input.empty()) {
      Ref[Input[0] % Ref.size()] ^= static_cast<Byte>(Input.size() | 1);
      TBaseVastTree* Other = DecodeTreeReference(Ref.data(), Ref.size(), Pid);
      FuzzCheck(!Other || Other == &Tree || Other == &Again, "a changed reference named a dead tree");
    }
  }
  return 0;
}
