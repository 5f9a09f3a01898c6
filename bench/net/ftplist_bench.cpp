// Listing parser throughput on Unix-style LIST output, from the bytes the
// data connection delivered, as the FTP client parses them (SetListing,
// then ParseLines). Run:
//   build/native/bench/net/ftplist_bench
// items_per_second is listing lines per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "net/ftplist.h"
#include "rtl/DateUtils.h"

namespace {

constexpr int kLineCount = 1000000;

// A mix of what Unix servers send: folders and files, times within the last
// year and full years, links, several owners and months.
std::string MakeUnixListing(int first, int count) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string listing;
  for (int i = first; i < first + count; ++i) {
    std::string line;
    switch (i % 4) {
      case 0:
        line = "drwxr-xr-x    2 www-data www-data     4096 ";
        break;
      case 1:
        line = "-rw-r--r--    1 owner    staff    " + std::to_string(1000 + i % 9000000) + " ";
        break;
      case 2:
        line = "-rw-rw-r--    1 ftp      ftp          " + std::to_string(i % 100000) + " ";
        break;
      default:
        line = "lrwxrwxrwx    1 root     root           11 ";
        break;
    }
    line += kMonths[i % 12];
    line += (i % 28 < 9 ? "  " : " ") + std::to_string(i % 28 + 1);
    line += (i % 3 == 0) ? "  2019 " : " 10:30 ";
    line += "file_" + std::to_string(i) + (i % 4 == 3 ? " -> target" : ".txt");
    listing += line + "\r\n";
  }
  return listing;
}

// One listing of a million lines, split once: the parse alone, on a
// working set far beyond the caches (a million entries).
void BM_ParseUnixLines(benchmark::State& state) {
  TFTPList list;
  const TDateTime now = EncodeDate(2024, 6, 15) + EncodeTime(12, 0, 0, 0);
  list.Clock = [now] { return now; };
  list.SetListing(MakeUnixListing(0, kLineCount));
  for (auto _ : state) {
    list.ParseLines();
    benchmark::DoNotOptimize(list.Count());
    // Freeing the entries is the next listing's cost, not this parse's.
    state.PauseTiming();
    if (list.Count() != kLineCount) state.SkipWithError("not every line became an entry");
    list.List.clear();
    list.UnparsedLines.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kLineCount);
}
BENCHMARK(BM_ParseUnixLines)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same lines as a folder scan sees them: one listing of 1,000 lines per
// folder, from its bytes, the list cleared before each, as the client does
// per LIST.
void BM_ParseUnixListings(benchmark::State& state) {
  constexpr int kPerListing = 1000;
  std::vector<std::string> listings;
  for (int first = 0; first < kLineCount; first += kPerListing) listings.push_back(MakeUnixListing(first, kPerListing));
  TFTPList list;
  const TDateTime now = EncodeDate(2024, 6, 15) + EncodeTime(12, 0, 0, 0);
  list.Clock = [now] { return now; };
  for (auto _ : state) {
    for (const std::string& listing : listings) {
      list.Clear();
      list.SetListing(listing);
      list.ParseLines();
      if (list.Count() != kPerListing) state.SkipWithError("not every line became an entry");
    }
  }
  state.SetItemsProcessed(state.iterations() * kLineCount);
}
BENCHMARK(BM_ParseUnixListings)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
