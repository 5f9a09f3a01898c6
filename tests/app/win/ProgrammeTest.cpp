// Quorvel.exe itself, started as the user starts it: what it does with its
// command line, how it ends when its window is closed, and what it leaves
// on disk once closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "app/core/Options.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "rtl/Win32.h"
#include "tests/app/core/ScanTestSupport.h"
#include "tests/fixture/FtpFixture.h"
#include "xml/OxSimpleXml.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Lit(const fs::path& F) {
  std::ifstream in(F, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::wstring WideText(const String& S) { return std::wstring(WideCStr(S)); }

bool Attend(const std::function<bool()>& Fait, std::chrono::milliseconds Duree) {
  const auto fin = Clock::now() + Duree;
  while (!Fait()) {
    if (Clock::now() > fin) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

struct Recherche {
  DWORD Pid;
  const std::wstring* Titre;  // empty: any caption
  HWND Trouvee;
};

BOOL CALLBACK FenetreDuProcessus(HWND W, LPARAM P) {
  auto* r = reinterpret_cast<Recherche*>(P);
  DWORD pid = 0;
  GetWindowThreadProcessId(W, &pid);
  if (pid != r->Pid || !IsWindowVisible(W) || GetWindow(W, GW_OWNER)) return TRUE;
  if (!r->Titre->empty()) {
    wchar_t texte[256] = {};
    GetWindowTextW(W, texte, 256);
    if (*r->Titre != texte) return TRUE;
  }
  r->Trouvee = W;
  return FALSE;
}

// The program started in a folder of its own holding its settings file.
class Programme : public ::testing::Test {
protected:
  void SetUp() override {
    Dossier = fs::temp_directory_path() / ("quorvel-programme-" + std::to_string(GetCurrentProcessId()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dossier);
    fs::create_directories(Dossier);
  }
  void TearDown() override {
    if (Pi.hProcess) {
      if (WaitForSingleObject(Pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(Pi.hProcess, 1);
      CloseHandle(Pi.hThread);
      CloseHandle(Pi.hProcess);
    }
    std::error_code ec;
    fs::remove_all(Dossier, ec);
  }

  void Reglages(const std::string& Xml) { std::ofstream(Dossier / "Quorvel.xml", std::ios::binary) << Xml; }

  // Starts the program with these parameters, each quoted.
  void Lance(const std::vector<std::wstring>& Parametres) {
    const std::wstring exe = fs::path(QUORVEL_EXE).wstring();
    std::wstring ligne = L"\"" + exe + L"\"";
    for (const std::wstring& p : Parametres) ligne += L" \"" + p + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessW(exe.c_str(), ligne.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               Dossier.wstring().c_str(), &si, &Pi))
        << "cannot start " << QUORVEL_EXE;
  }

  // The program's visible top-level window, with this caption when one is
  // given.
  HWND Fenetre(const std::wstring& Titre = std::wstring()) {
    Recherche r{Pi.dwProcessId, &Titre, nullptr};
    Attend(
        [&] {
          EnumWindows(FenetreDuProcessus, reinterpret_cast<LPARAM>(&r));
          return r.Trouvee != nullptr;
        },
        std::chrono::seconds(60));
    return r.Trouvee;
  }

  // Closes the window as its close button does; whether the program then
  // ended by itself, cleanly, within the time given.
  void Ferme(HWND W, std::chrono::seconds Duree = std::chrono::seconds(60)) {
    PostMessageW(W, WM_CLOSE, 0, 0);
    const bool termine = WaitForSingleObject(Pi.hProcess, static_cast<DWORD>(Duree.count() * 1000)) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(Pi.hProcess, &code);
    EXPECT_TRUE(termine) << "the program did not end (a box left open?)";
    EXPECT_EQ(code, 0u) << "the program did not end cleanly";
  }

  // The parameters that make the program log in to the server and scan.
  static std::vector<std::wstring> Connexion(const FtpServer& Server) {
    return {L"-host=127.0.0.1", L"-port=" + std::to_wstring(Server.Port()), L"-user=" + WideText(Server.User()),
            L"-pass=" + WideText(Server.Password())};
  }

  String Option(const String& Cle) {
    TOxSimpleXML xml;
    xml.LoadFromFile(String(reinterpret_cast<const Char*>((Dossier / "Quorvel.xml").wstring().c_str())));
    return LitOption(xml, Cle, u"(absent)");
  }

  fs::path Dossier;
  PROCESS_INFORMATION Pi{};
};

// The program ends cleanly, and the sites the site manager wrote (in the
// code page it writes) are still there after it was started and closed:
// the settings it writes at its end are merged into that file, not
// written over a file it took for damaged.
TEST_F(Programme, ClosingKeepsTheSitesOfTheSettingsFile) {
  Reglages(
      "<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?>\r\n<Quorvel>\r\n  <MesSites>\r\n"
      "    <Server Nom=\"Maison\">\r\n      <Host>nas.local</Host>\r\n    </Server>\r\n  </MesSites>\r\n"
      "  <FileZilla Nom=\"FileZilla sites\" isFilezilla=\"1\"/>\r\n"
      "  <Options>\r\n    <AutoCheck>0</AutoCheck>\r\n  </Options>\r\n</Quorvel>\r\n");
  Lance({});
  HWND w = Fenetre();
  ASSERT_NE(w, nullptr) << "no main window";
  Ferme(w);

  const std::string apres = Lit(Dossier / "Quorvel.xml");
  EXPECT_NE(apres.find("<MesSites>"), std::string::npos) << apres;
  EXPECT_NE(apres.find("nas.local"), std::string::npos) << apres;
  EXPECT_NE(apres.find("<LastCheck>"), std::string::npos) << apres;  // the options were written
  EXPECT_FALSE(fs::exists(Dossier / "Quorvel.xml.bak"));
}

// Started with a connection on its command line, the program logs in and
// walks the start folder, one CWD and one LIST per folder; closed, it ends
// cleanly and keeps the options of its settings file besides the last
// connection, which the command line gave.
TEST_F(Programme, TheCommandLineScansAndTheOptionsAreKeptAtTheEnd) {
  FtpServer server({.generate = 2});
  server.Start();
  // The start folder: the generated folder with the most folders below it.
  std::string racine;
  scantest::ExpectedMap attendu;
  for (const fs::directory_entry& e : fs::directory_iterator(server.Root())) {
    if (!e.is_directory()) continue;
    scantest::ExpectedMap m;
    scantest::ExpectedWalk(e.path(), "", {}, m);
    if (m.size() > attendu.size()) {
      attendu = std::move(m);
      racine = UTF16ToUTF8(reinterpret_cast<const Char*>(e.path().filename().wstring().c_str()));
    }
  }
  ASSERT_GE(attendu.size(), 3u);
  Reglages(
      "<Quorvel><Options><AutoCheck>0</AutoCheck><Langue>FR</Langue><SaveLastConnect>1</SaveLastConnect>"
      "<DefautPassive>1</DefautPassive><LastAlloue>7</LastAlloue><LastUnite>0</LastUnite></Options></Quorvel>");
  std::vector<std::wstring> p = Connexion(server);
  p.push_back(L"-racine=" + WideText(UTF8ToUTF16(racine)));
  p.push_back(L"-passive");
  p.push_back(L"-US");
  Lance(p);
  // The English title: -US outweighs the language of the settings.
  HWND w = Fenetre(L"Folder sizes of FTP sites");
  ASSERT_NE(w, nullptr) << "no main window in English";

  // The whole walk: every folder entered by its path and listed.
  std::vector<String> cwd;
  for (const auto& [cle, e] : attendu)
    cwd.push_back(u"CWD /" + UTF8ToUTF16(racine) + (cle.empty() ? String() : u"/" + UTF8ToUTF16(cle)));
  std::vector<String> commandes;
  const bool tout = Attend(
      [&] {
        commandes = server.Commands();
        const auto lists = std::count_if(commandes.begin(), commandes.end(),
                                         [](const String& c) { return c == u"LIST" || c.rfind(u"LIST ", 0) == 0; });
        for (const String& c : cwd)
          if (std::find(commandes.begin(), commandes.end(), c) == commandes.end()) return false;
        return static_cast<std::size_t>(lists) >= attendu.size();
      },
      std::chrono::seconds(120));
  std::string journal;
  for (const String& c : commandes) journal += UTF16ToUTF8(c) + "\n";
  ASSERT_TRUE(tout) << journal;
  EXPECT_EQ(std::count(commandes.begin(), commandes.end(), u"USER quorvel"), 1) << journal;

  Ferme(w);
  EXPECT_EQ(Option(u"AutoCheck"), u"0");
  EXPECT_EQ(Option(u"Langue"), u"FR");
  EXPECT_EQ(Option(u"DefautPassive"), u"1");
  EXPECT_EQ(Option(u"SaveLastConnect"), u"1");
  EXPECT_EQ(Option(u"LastHost"), u"127.0.0.1");
  EXPECT_EQ(Option(u"LastPort"), IntToStr(server.Port()));
  EXPECT_EQ(Option(u"LastUser"), server.User());
  EXPECT_EQ(Option(u"LastDir"), u"/" + UTF8ToUTF16(racine));
  EXPECT_EQ(Option(u"LastPassif"), u"1");
  EXPECT_EQ(Option(u"LastAlloue"), u"7");
  EXPECT_EQ(Option(u"LastUnite"), u"0");
  EXPECT_NE(Option(u"LastCheck"), u"(absent)");
  // The connection was left open to the end, and closed without QUIT.
  commandes = server.Commands();
  EXPECT_EQ(std::count(commandes.begin(), commandes.end(), u"QUIT"), 0) << journal;
}

// Closed while a listing is pending, the program stops its walk first: no
// folder is entered or listed after the close, it ends cleanly without
// waiting for the slow reply, and writes its settings.
TEST_F(Programme, ClosingDuringAScanStopsTheWalkAndEndsCleanly) {
  FtpServer server({.generate = 2, .slowListSeconds = 20});
  server.Start();
  Reglages("<Quorvel><Options><AutoCheck>0</AutoCheck><SaveLastConnect>1</SaveLastConnect></Options></Quorvel>");
  std::vector<std::wstring> p = Connexion(server);
  p.push_back(L"-passive");
  Lance(p);
  HWND w = Fenetre();
  ASSERT_NE(w, nullptr) << "no main window";
  auto lists = [&] {
    const std::vector<String> c = server.Commands();
    return std::count_if(c.begin(), c.end(), [](const String& x) { return x.rfind(u"LIST", 0) == 0; });
  };
  // The root's listing came after 20 s; the next one is pending.
  ASSERT_TRUE(Attend([&] { return lists() >= 2; }, std::chrono::seconds(90)));
  const std::size_t avant = server.Commands().size();
  const auto debut = Clock::now();
  Ferme(w);
  EXPECT_LT(Clock::now() - debut, std::chrono::seconds(18)) << "the close waited for the pending reply";
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const std::vector<String> apres = server.Commands();
  for (std::size_t i = avant; i < apres.size(); ++i)
    EXPECT_TRUE(apres[i].rfind(u"CWD", 0) != 0 && apres[i].rfind(u"LIST", 0) != 0) << UTF16ToUTF8(apres[i]);
  EXPECT_EQ(Option(u"LastHost"), u"127.0.0.1");
  EXPECT_EQ(Option(u"LastPort"), IntToStr(server.Port()));
  EXPECT_NE(Option(u"LastCheck"), u"(absent)");
}

}  // namespace
