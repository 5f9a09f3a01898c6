// One whole walk of an FTP account, timed, for the side-by-side comparison
// with other clients (bench/ftp_compare.py):
//
//   ftp_walk client|session passive|active HOST PORT USER PASSWORD
//
// "client" is the bare FTP client on one thread (one CWD and one LIST per
// folder, depth first); "session" is the whole scan road: TScanSession logs
// in, the ThreadScan worker walks and hands every folder over to a
// dispatcher served on the main thread, which builds the model. Prints one
// line: "folders=N files=N seconds=S" (log-in to log-out); exits 1 on a
// failure.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchScanSession.h"
#include "bench/common/BenchTree.h"
#include "rtl/Unicode.h"

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: ftp_walk client|session passive|active HOST PORT USER PASSWORD\n");
    return 2;
  }
  const std::string Mode = argv[1];
  const bool Passive = std::string(argv[2]) == "passive";
  const String Host = UTF8ToUTF16(argv[3]);
  const Integer Port = std::atoi(argv[4]);
  const String User = UTF8ToUTF16(argv[5]);
  const String Password = UTF8ToUTF16(argv[6]);
  long Folders = 0;
  long long Files = 0;
  const auto Start = std::chrono::steady_clock::now();
  bool Ok;
  if (Mode == "session") {
    const bench_scan::TSessionCount Count = bench_scan::RunSession(Host, Port, User, Password, Passive);
    Ok = Count.LoggedIn && Count.Finished;
    Folders = Count.Folders;
    Files = Count.Files;
  } else {
    const bench_tree::TWalkCount Count = bench_tree::LoginAndWalk(Host, Port, User, Password, Passive);
    Ok = Count.LoggedIn;
    Folders = Count.Folders;
    Files = Count.Files;
  }
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  std::printf("folders=%ld files=%lld seconds=%.3f\n", Folders, Files, Seconds);
  return Ok ? 0 : 1;
}
