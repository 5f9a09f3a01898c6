// The whole scan road headless on the local test server: TScanSession logs
// in, the ThreadScan worker walks a tree of about 2,000 folders and 20,000
// files (one CWD and one LIST per folder) and hands every folder over to a
// dispatcher served on the benchmark thread, which builds the model. Reports
// folders per second, next to the same walk done by the bare FTP client on
// one thread (as bench/net/ftp_bench.cpp does), so that the walk's own
// overhead (hand-overs, model, sink) shows as the difference.
//
// The tree is generated once into the build tree (bench-tmp/scan_bench_tree)
// and reused by later runs.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchScanSession.h"
#include "rtl/SysUtils.h"
#include "bench/common/BenchTree.h"
#include "tests/fixture/FtpFixture.h"

namespace fs = std::filesystem;

namespace {

fs::path TreeRoot() { return bench_tree::TreeRoot("scan_bench_tree"); }

// One server for every benchmark; stopped at exit.
FtpServer& Server() {
  static FtpServer server([] {
    FtpServerOptions Options;
    Options.root = TreeRoot();
    Options.maxLifetimeSeconds = 1800;
    return Options;
  }());
  static const bool started = (server.Start(), true);
  (void)started;
  return server;
}

void BM_ScanSession(benchmark::State& State) {
  const bool Passive = State.range(0) != 0;
  FtpServer& Srv = Server();
  long Folders = 0;
  long long Files = 0;
  // Processor time of the whole process (every thread): the client's and
  // the walk's own work, without the server's.
  const std::clock_t Cpu0 = std::clock();
  for (auto _ : State) {
    const bench_scan::TSessionCount Count =
        bench_scan::RunSession(Srv.Host(), Srv.Port(), Srv.User(), Srv.Password(), Passive);
    if (!Count.LoggedIn) {
      State.SkipWithError("login failed");
      break;
    }
    if (!Count.Finished) {
      State.SkipWithError("scan did not finish");
      break;
    }
    Folders = Count.Folders;
    Files = Count.Files;
  }
  const double CpuMs = 1000.0 * static_cast<double>(std::clock() - Cpu0) / CLOCKS_PER_SEC;
  State.counters["cpu_us/folder"] =
      Folders ? 1000.0 * CpuMs / (static_cast<double>(Folders) * static_cast<double>(State.iterations())) : 0.0;
  State.counters["folders"] = static_cast<double>(Folders);
  State.counters["files"] = static_cast<double>(Files);
  State.counters["folders/s"] = benchmark::Counter(
      static_cast<double>(Folders) * static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
}

// The bare client on one thread, for comparison.
void BM_ClientOnly(benchmark::State& State) {
  const bool Passive = State.range(0) != 0;
  FtpServer& Srv = Server();
  long Folders = 0;
  long long Files = 0;
  // Processor time of the whole process (every thread): the client's and
  // the walk's own work, without the server's.
  const std::clock_t Cpu0 = std::clock();
  for (auto _ : State) {
    const bench_tree::TWalkCount Count =
        bench_tree::LoginAndWalk(Srv.Host(), Srv.Port(), Srv.User(), Srv.Password(), Passive);
    if (!Count.LoggedIn) {
      State.SkipWithError("login failed");
      break;
    }
    Folders = Count.Folders;
    Files = Count.Files;
  }
  const double CpuMs = 1000.0 * static_cast<double>(std::clock() - Cpu0) / CLOCKS_PER_SEC;
  State.counters["cpu_us/folder"] =
      Folders ? 1000.0 * CpuMs / (static_cast<double>(Folders) * static_cast<double>(State.iterations())) : 0.0;
  State.counters["folders"] = static_cast<double>(Folders);
  State.counters["files"] = static_cast<double>(Files);
  State.counters["folders/s"] = benchmark::Counter(
      static_cast<double>(Folders) * static_cast<double>(State.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_ScanSession)->ArgName("passive")->Arg(1)->Arg(0)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ClientOnly)->ArgName("passive")->Arg(1)->Arg(0)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
