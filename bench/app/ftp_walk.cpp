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

#include "app/core/ThreadScan.h"
#include "bench/common/BenchTree.h"
#include "rtl/Dispatcher.h"
#include "rtl/Unicode.h"

namespace {

class CountingSink : public IScanSink {
public:
  void FolderAdded(TDossier*) override { ++Folders; }
  void FileAdded(TFichier*) override { ++Files; }
  void ScanFinished(const TResultatScan& R) override {
    Done = true;
    Result = R.Fin;
  }
  long Folders = 0;
  long long Files = 0;
  bool Done = false;
  TFinScan Result = TFinScan::Termine;
};

bool RunSession(const String& Host, Integer Port, const String& User, const String& Password, bool Passive,
                long& Folders, long long& Files) {
  TQueueDispatcher Dispatcher;
  CountingSink Sink;
  TFTPSend Client;
  Client.Timeout = 15000;
  TScanSession Session(Client, Sink, &Dispatcher);
  TParamsConnexion P;
  P.Host = Host;
  P.Port = Port;
  P.User = User;
  P.Pass = Password;
  P.Passif = Passive;
  if (!Session.Connecte(P)) return false;
  while (!Sink.Done) Dispatcher.WaitAndProcess(100);
  Client.Logout();
  Folders = Sink.Folders;
  Files = Sink.Files;
  return Sink.Result == TFinScan::Termine;
}

}  // namespace

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
    Ok = RunSession(Host, Port, User, Password, Passive, Folders, Files);
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
