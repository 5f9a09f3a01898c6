// The tree stream: any bytes load or fail with the tree's stream error, and
// whatever was loaded satisfies the tree's invariants, also after deletions;
// a loaded tree saved and loaded again gives the same stream.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/common/FuzzCheck.h"
#include "rtl/Streams.h"
#include "tests/treeview/TreeTestSupport.h"
#include "treeview/VastStringTree.h"

namespace {

// User chunks carry up to four bytes of node data, read as an owner would.
void KeyedStreaming(TBaseVastTree& Tree) {
  Tree.OnSaveNode = [](TBaseVastTree*, PVastNode, TStream*) {};
  Tree.OnLoadNode = [](TBaseVastTree*, PVastNode, TStream* S) {
    Byte Key[4];
    S->Read(Key, 4);
  };
}

TBytes Saved(TBaseVastTree& Tree) {
  TMemoryStream S;
  Tree.SaveToStream(S);
  const Byte* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

// Loads Bytes (under Target, or as the whole tree); false when the stream
// was refused.
bool Load(TBaseVastTree& Tree, const TBytes& Bytes, PVastNode Target = nullptr) {
  TBytesStream S(Bytes);
  try {
    if (Target)
      Tree.AddFromStream(S, Target);
    else
      Tree.LoadFromStream(S);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

void CheckValid(TBaseVastTree& Tree, const char* After) {
  const std::string Broken = TreeInvariantViolation(Tree);
  FuzzCheck(Broken.empty(), std::string("tree invariant broken after ") + After + ": " + Broken);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const TBytes Input = FuzzBytes(Data, Size);
  TFakeTreeHost Host;

  // The string tree, with captions and several selected nodes allowed.
  TCustomVastStringTree Tree(&Host);
  KeyedStreaming(Tree);
  Tree.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
  const bool Loaded = Load(Tree, Input);
  CheckValid(Tree, "a load");

  if (Loaded) {
    // What loaded cleanly saves to a stream that loads to the same stream.
    const TBytes Once = Saved(Tree);
    TCustomVastStringTree Again(&Host);
    KeyedStreaming(Again);
    Again.TreeOptions().SetSelectionOptions(TVTSelectionOptions{toMultiSelect});
    FuzzCheck(Load(Again, Once), "a saved tree does not load again");
    CheckValid(Again, "loading a saved tree");
    FuzzCheck(Saved(Again) == Once, "a saved tree changes when loaded and saved again");
  }

  // The same bytes again, under the first node.
  if (PVastNode First = Tree.GetFirstNoInit()) {
    Load(Tree, Input, First);
    CheckValid(Tree, "a load under a node");
  }
  // Deletions keep the counts true: the first grandchild, then the first node.
  if (PVastNode First = Tree.GetFirstNoInit()) {
    if (First->FirstChild) {
      Tree.DeleteNode(First->FirstChild);
      CheckValid(Tree, "deleting a child");
    }
    Tree.DeleteNode(First);
    CheckValid(Tree, "deleting a node");
  }

  // The plain tree: one selected node at most.
  TBaseVastTree Plain(&Host);
  KeyedStreaming(Plain);
  Load(Plain, Input);
  CheckValid(Plain, "a load without multiple selection");
  Plain.Clear();
  CheckValid(Plain, "clearing");
  return 0;
}
