// The program's scan of a 2,000-folder tree beside the headless scan
// session's, on the same loopback server: prints both times (milliseconds)
// round by round, and at the end the median of each and their ratio (on a
// machine shared with other work single rounds vary a lot; the medians of
// rounds run side by side do not).
// Usage: appwin_vitesse [rounds [x]]  (x: also the program without its log)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "app/APropos.h"
#include "app/core/ThreadScan.h"
#include "app/fMain.h"
#include "app/fOptions.h"
#include "app/fSites.h"
#include "bench/common/BenchTree.h"
#include "rtl/Dispatcher.h"
#include "tests/fixture/FtpFixture.h"
#include "tests/support/MessagePump_win.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "vcl/WinDispatcher.h"

namespace {

using Clock = std::chrono::steady_clock;

class TSinkSilencieux : public IScanSink {
public:
  void ScanFinished(const TResultatScan&) override { Fini = true; }
  bool Fini = false;
};

double Headless(const FtpServer& Server) {
  TSinkSilencieux sink;
  TFTPSend ftp;
  TScanSession session(ftp, sink, Application->Dispatcher());
  TParamsConnexion p{Server.Host(), Server.Port(), Server.User(), Server.Password(), true, String()};
  const auto t0 = Clock::now();
  session.Connecte(p);
  testsupport::PumpMessagesUntil([&] { return sink.Fini; }, std::numeric_limits<int>::max());
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  std::printf("headless: %zu folders\n", session.Modele().NombreDossiers());
  return ms;
}

double Programme(const FtpServer& Server, bool Journal) {
  Main = TCustomForm::Create<TMain>(Application);
  formSites = TCustomForm::Create<TformSites>(Application);
  BoiteAPropos = TCustomForm::Create<TBoiteAPropos>(Application);
  BoiteOptions = TCustomForm::Create<TBoiteOptions>(Application);
  // No parameter: the window must not connect by itself.
  Main->Parametres = {};
  Main->ParametresLus = true;
  Main->Show();
  Main->edHost->SetText(Server.Host());
  Main->SetPort(Server.Port());
  Main->edUser->SetText(Server.User());
  Main->edPass->SetText(Server.Password());
  Main->cbPassif->SetChecked(true);
  if (!Journal) Main->FTP()->OnStatus = nullptr;
  const auto t0 = Clock::now();
  Main->aConnectExecute(nullptr);
  testsupport::PumpMessagesUntil([&] { return Main->ScansTermines != 0 || !Main->Session()->Racine(); },
                                 std::numeric_limits<int>::max());
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  std::printf("program: %zu folders, %zu log lines\n", Main->Session()->Modele().NombreDossiers(),
              Main->Journal().NombreLignes());
  delete BoiteOptions;
  delete BoiteAPropos;
  delete formSites;
  delete Main;
  Main = nullptr;
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  Application->Initialize();
  // No update check from this program.
  if (FILE* f = std::fopen("Quorvel.xml", "wb")) {
    std::fputs("<Quorvel><Options><AutoCheck>0</AutoCheck></Options></Quorvel>", f);
    std::fclose(f);
  }
  FtpServerOptions o;
  o.root = bench_tree::TreeRoot("vitesse");
  FtpServer server(o);
  server.Start();
  std::vector<double> headless, programme;
  for (int i = 0; i < rounds; ++i) {
    const double h = Headless(server);
    std::printf("headless %.0f ms\n", h);
    std::fflush(stdout);
    const double p = Programme(server, true);
    if (argc > 2) std::printf("program without its log: %.0f ms\n", Programme(server, false));
    std::printf("round %d: headless %.0f ms, program %.0f ms, ratio %.2f\n", i + 1, h, p, p / h);
    std::fflush(stdout);
    headless.push_back(h);
    programme.push_back(p);
  }
  if (rounds > 0) {
    auto median = [](std::vector<double> v) {
      std::sort(v.begin(), v.end());
      const std::size_t n = v.size();
      return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    };
    const double h = median(headless), p = median(programme);
    std::printf("median of %d rounds: headless %.0f ms, program %.0f ms, ratio %.2f\n", rounds, h, p, p / h);
  }
  return 0;
}
