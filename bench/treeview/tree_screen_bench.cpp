// The window-free part of one screen of a large tree: finding the rows of a
// screen and laying out each of their cells (tree lines, element offsets,
// texts), and scrolling by a page (offsets, ranges, scroll bars). Neither
// may grow with the node count: run for 10,000, 100,000 and 1,000,000 rows.
#include <benchmark/benchmark.h>

#include <vector>

#include "BenchTreeHost.h"
#include "rtl/SysUtils.h"
#include "treeview/VastStringTree.h"

namespace {

// A 1000 x 800 client area whose user-interface thread is this one.
class TScreenHost : public TBenchTreeHost {
public:
  Integer ClientWidth() const override { return 1000; }
  Integer ClientHeight() const override { return 800; }
  Integer SetScrollBar(bool, TScrollBarShow, Integer Max, Integer Page, Integer Pos, bool) override {
    return std::max(0, std::min(Pos, Max - Page + 1));
  }
};

class TScreenTree : public TCustomVastStringTree {
public:
  using TCustomVastStringTree::TCustomVastStringTree;
  using TCustomVastStringTree::DoGetText;
};

// Rows/100 folders of 99 files, all open: Rows visible rows, three columns.
struct TScreenFixture {
  TScreenHost Host;
  TScreenTree Tree{&Host};
  explicit TScreenFixture(Cardinal Rows) {
    TVastTreeColumns& Cols = Tree.Header().Columns();
    for (Integer W : {400, 120, 160}) Cols.Add()->SetWidth(W);
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree.OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
      if (!Parent) States += TVastNodeInitStates{ivsHasChildren, ivsExpanded};
    };
    Tree.OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 99; };
    Tree.OnGetText = [](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType, String& Text) {
      Text = Column <= 0 ? u"report_0000_00.txt" : (Column == 1 ? u"1234 KB" : u"2026-01-01 14:00");
      (void)Node;
    };
    Tree.BeginUpdate();
    Tree.SetRootNodeCount(Rows / 100);
    for (PVastNode F = Tree.GetFirst(); F; F = Tree.GetNextSibling(F)) Tree.ValidateChildren(F, false);
    Tree.EndUpdate();
    while (!Tree.TreeStates().Contains(tsUseCache)) Host.Dispatcher.WaitAndProcess(5);
  }
  ~TScreenFixture() { Host.Dispatcher.ProcessPending(); }
};

void BM_LayOutOneScreen(benchmark::State& State) {
  TScreenFixture F(static_cast<Cardinal>(State.range(0)));
  TScreenTree& Tree = F.Tree;
  // The middle of the tree: the rows there are found through the cache.
  Tree.SetOffsetY(-Tree.RangeY() / 2);
  TLineImage Lines;
  TVTOffsets Offsets;
  Integer Rows = 0;
  for (auto _ : State) {
    Integer Top;
    PVastNode Node = Tree.GetNodeAt(0, 0, true, Top);
    Rows = 0;
    while (Node && Top < Tree.ClientHeight()) {
      Tree.ComputeLineImage(Node, Lines);
      for (TColumnIndex Column = 0; Column < 3; ++Column) {
        Tree.GetOffsets(Node, Offsets, ofsRightOfText, Column);
        TVSTGetCellTextEventArgs E;
        E.Node = Node;
        E.Column = Column;
        Tree.DoGetText(E);
        benchmark::DoNotOptimize(E.CellText.data());
      }
      Top += static_cast<Integer>(Node->NodeHeight);
      Node = Tree.GetNextVisible(Node, true);
      ++Rows;
    }
  }
  State.counters["rows"] = Rows;
  State.counters["nodes"] = static_cast<double>(Tree.TotalCount());
}
BENCHMARK(BM_LayOutOneScreen)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ScrollByAPage(benchmark::State& State) {
  TScreenFixture F(static_cast<Cardinal>(State.range(0)));
  TScreenTree& Tree = F.Tree;
  for (auto _ : State) {
    const Integer Before = Tree.OffsetY();
    Tree.SetOffsetY(Before - Tree.ClientHeight());
    if (Tree.OffsetY() == Before) Tree.SetOffsetY(0);  // at the end: back to the top
    benchmark::DoNotOptimize(Tree.OffsetY());
  }
  State.counters["nodes"] = static_cast<double>(Tree.TotalCount());
}
BENCHMARK(BM_ScrollByAPage)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Selecting every node of a flat list whose selection is remembered by
// text, clearing it, and filling the list anew (each node selected again):
// the cost per node must not grow with the node count.
void BM_RememberedSelectAll(benchmark::State& State) {
  const int Count = static_cast<int>(State.range(0));
  TBenchTreeHost Host;
  TScreenTree Tree{&Host};
  TCustomVastTreeOptions& O = Tree.TreeOptions();
  O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort});
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toMultiSelect, toRestoreSelection});
  Tree.SetNodeDataSize(static_cast<Integer>(sizeof(std::size_t)));
  std::vector<String> Texts;
  for (int I = 0; I < Count; ++I) Texts.push_back(u"file_" + IntToStr(I) + u".txt");
  std::size_t Next = 0;
  Tree.OnGetText = [&](TBaseVastTree*, PVastNode Node, TColumnIndex, TVSTTextType, String& Text) {
    const std::size_t Index = *static_cast<std::size_t*>(Tree.GetNodeData(Node));
    Text = Texts[Index < Texts.size() ? Index : Next];
  };
  const auto Fill = [&] {
    Tree.BeginUpdate();
    for (Next = 0; Next < Texts.size(); ++Next) Tree.AddChild(nullptr, reinterpret_cast<void*>(Next));
    Tree.EndUpdate();
  };
  for (auto _ : State) {
    State.PauseTiming();
    Tree.Clear();
    Tree.ClearSelection();
    Fill();
    State.ResumeTiming();
    Tree.SelectAll(false);
    Tree.Clear();
    Fill();
    Tree.ClearSelection();
    benchmark::DoNotOptimize(Tree.SelectedCount());
  }
  State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_RememberedSelectAll)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
