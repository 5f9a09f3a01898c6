// The scan's network road on the local test server: log on, then one CWD and
// one LIST per folder of a tree of about 2,000 folders and 20,000 files, in
// passive and active mode. Reports folders listed per second.
//
// The tree is generated once into the build tree (bench-tmp/ftp_bench_tree)
// and reused by later runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "net/ftpsend.h"
#include "bench/common/BenchTree.h"
#include "tests/fixture/FtpFixture.h"

namespace fs = std::filesystem;

namespace {

fs::path TreeRoot() { return bench_tree::TreeRoot("ftp_bench_tree"); }

void BM_ListEveryFolder(benchmark::State& State) {
  const bool Passive = State.range(0) != 0;
  FtpServerOptions Options;
  Options.root = TreeRoot();
  FtpServer Server(Options);
  Server.Start();
  long Folders = 0;
  long long Files = 0;
  for (auto _ : State) {
    const bench_tree::TWalkCount Count =
        bench_tree::LoginAndWalk(Server.Host(), Server.Port(), Server.User(), Server.Password(), Passive);
    if (!Count.LoggedIn) {
      State.SkipWithError("login failed");
      break;
    }
    Folders = Count.Folders;
    Files = Count.Files;
  }
  State.counters["folders"] = static_cast<double>(Folders);
  State.counters["files"] = static_cast<double>(Files);
  State.counters["folders/s"] = benchmark::Counter(
      static_cast<double>(Folders) * static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_ListEveryFolder)
    ->ArgName("passive")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

BENCHMARK_MAIN();
