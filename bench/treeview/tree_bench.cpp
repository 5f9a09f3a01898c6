// Tree core figures: building, memory per node, position lookups through the
// cache, sorting and full expand/collapse.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

#include "BenchTreeHost.h"
#include "treeview/VastTrees.h"

namespace {

void NoAutoSort(TBaseVastTree& Tree) {
  Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
}

void BM_AddFlat(benchmark::State& State) {
  const int Count = static_cast<int>(State.range(0));
  for (auto _ : State) {
    TBaseVastTree Tree;
    NoAutoSort(Tree);
    Tree.SetNodeDataSize(static_cast<Integer>(sizeof(void*)));
    Tree.BeginUpdate();
    for (int I = 0; I < Count; ++I) Tree.AddChild(nullptr);
    Tree.EndUpdate();
    benchmark::DoNotOptimize(Tree.RootNode()->TotalCount);
    State.PauseTiming();
    Tree.Clear();
    State.ResumeTiming();
  }
  State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_AddFlat)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Deep: 1000 chains of 1000 nested nodes each.
void BM_AddDeep(benchmark::State& State) {
  for (auto _ : State) {
    TBaseVastTree Tree;
    NoAutoSort(Tree);
    Tree.BeginUpdate();
    for (int Chain = 0; Chain < 1000; ++Chain) {
      PVastNode Run = nullptr;
      for (int Depth = 0; Depth < 1000; ++Depth) Run = Tree.AddChild(Run);
    }
    Tree.EndUpdate();
    benchmark::DoNotOptimize(Tree.RootNode()->TotalCount);
    State.PauseTiming();
    Tree.Clear();
    State.ResumeTiming();
  }
  State.SetItemsProcessed(State.iterations() * 1000000);
}
BENCHMARK(BM_AddDeep)->Unit(benchmark::kMillisecond);

void BM_MemoryPerNode(benchmark::State& State) {
  for (auto _ : State) {
    TBaseVastTree Tree;
    NoAutoSort(Tree);
    Tree.SetNodeDataSize(static_cast<Integer>(sizeof(void*)));
    Tree.SetRootNodeCount(1000000);
    State.counters["header_bytes"] = static_cast<double>(sizeof(TVastNode));
    State.counters["block_bytes"] = static_cast<double>(sizeof(TVastNode) + sizeof(void*));
    benchmark::DoNotOptimize(Tree.RootNode());
  }
}
BENCHMARK(BM_MemoryPerNode)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_NodeAtWithCache(benchmark::State& State) {
  TBenchTreeHost Host;
  {
    TBaseVastTree Tree(&Host);
    NoAutoSort(Tree);
    Tree.SetRootNodeCount(1000000);
    while (!Tree.TreeStates().Contains(tsUseCache)) Host.Dispatcher.WaitAndProcess(5);
    std::mt19937 Random(3);
    const Cardinal Range = 1000000u * 18u;
    for (auto _ : State) {
      Integer Top;
      benchmark::DoNotOptimize(Tree.GetNodeAt(0, static_cast<Integer>(Random() % Range), false, Top));
    }
    State.counters["cache_entries"] = static_cast<double>(Tree.PositionCache().size());
  }
  Host.Dispatcher.ProcessPending();
}
BENCHMARK(BM_NodeAtWithCache)->Unit(benchmark::kMicrosecond);

void BM_NodeAtWithoutCache(benchmark::State& State) {
  TBaseVastTree Tree;
  NoAutoSort(Tree);
  Tree.SetRootNodeCount(1000000);
  std::mt19937 Random(3);
  for (auto _ : State) {
    Integer Top;
    benchmark::DoNotOptimize(Tree.GetNodeAt(0, static_cast<Integer>(Random() % (1000000u * 18u)), false, Top));
  }
}
BENCHMARK(BM_NodeAtWithoutCache)->Unit(benchmark::kMicrosecond);

void BM_Sort100k(benchmark::State& State) {
  TBaseVastTree Tree;
  NoAutoSort(Tree);
  Tree.SetNodeDataSize(4);
  Tree.OnCompareNodes = [](TBaseVastTree* T, PVastNode A, PVastNode B, TColumnIndex, Integer& R) {
    const Integer X = *T->GetNodeData<Integer>(A), Y = *T->GetNodeData<Integer>(B);
    R = X < Y ? -1 : X > Y;
  };
  Tree.SetRootNodeCount(100000);
  std::mt19937 Random(5);
  for (auto _ : State) {
    State.PauseTiming();
    for (PVastNode Run = Tree.GetFirstNoInit(); Run; Run = Run->NextSibling)
      *Tree.GetNodeData<Integer>(Run) = static_cast<Integer>(Random());
    State.ResumeTiming();
    Tree.Sort(nullptr, NoColumn, sdAscending);
  }
}
BENCHMARK(BM_Sort100k)->Unit(benchmark::kMillisecond);

// 100,000 nodes: 1000 parents of 99 children each.
void BM_FullExpandCollapse(benchmark::State& State) {
  TBaseVastTree Tree;
  NoAutoSort(Tree);
  Tree.BeginUpdate();
  for (int P = 0; P < 1000; ++P) {
    PVastNode Parent = Tree.AddChild(nullptr);
    for (int C = 0; C < 99; ++C) Tree.AddChild(Parent);
  }
  Tree.EndUpdate();
  for (auto _ : State) {
    Tree.FullExpand();
    Tree.FullCollapse();
  }
  State.counters["nodes"] = static_cast<double>(Tree.RootNode()->TotalCount - 1);
}
BENCHMARK(BM_FullExpandCollapse)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
