#pragma once
// The whole scan road headless, as the scan benchmarks run it: TScanSession
// logs in, the ThreadScan worker walks and hands every folder over to a
// dispatcher served on the calling thread, which builds the model.
#include "app/core/ThreadScan.h"
#include "net/ftpsend.h"
#include "rtl/Dispatcher.h"

namespace bench_scan {

// Counts what the scan hands over.
class TCountingSink : public IScanSink {
public:
  void ScanStarted() override {
    Folders = 0;
    Files = 0;
    Done = false;
  }
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

struct TSessionCount {
  bool LoggedIn = false;
  bool Finished = false;  // the walk ran to its end
  long Folders = 0;
  long long Files = 0;
};

// A fresh session logs in, walks the whole account and logs out.
inline TSessionCount RunSession(const String& Host, Integer Port, const String& User, const String& Password,
                                bool Passive) {
  TSessionCount Count;
  TQueueDispatcher Dispatcher;
  TCountingSink Sink;
  TFTPSend Client;
  Client.Timeout = 15000;
  TScanSession Session(Client, Sink, &Dispatcher);
  TParamsConnexion P;
  P.Host = Host;
  P.Port = Port;
  P.User = User;
  P.Pass = Password;
  P.Passif = Passive;
  if (!Session.Connecte(P)) return Count;
  Count.LoggedIn = true;
  while (!Sink.Done) Dispatcher.WaitAndProcess(100);
  Client.Logout();
  Count.Finished = Sink.Result == TFinScan::Termine;
  Count.Folders = Sink.Folders;
  Count.Files = Sink.Files;
  return Count;
}

}  // namespace bench_scan
