// Quorvel.exe itself, started as the user starts it: what it leaves on
// disk once closed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "rtl/Win32.h"

namespace {

namespace fs = std::filesystem;

struct Recherche {
  DWORD Pid;
  HWND Fenetre;
};

BOOL CALLBACK FenetreDuProcessus(HWND W, LPARAM P) {
  auto* r = reinterpret_cast<Recherche*>(P);
  DWORD pid = 0;
  GetWindowThreadProcessId(W, &pid);
  if (pid == r->Pid && IsWindowVisible(W) && !GetWindow(W, GW_OWNER)) {
    r->Fenetre = W;
    return FALSE;
  }
  return TRUE;
}

std::string Lit(const fs::path& F) {
  std::ifstream in(F, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The program ends cleanly, and the sites the site manager wrote (in the
// code page it writes) are still there after it was started and closed:
// the settings it writes at its end are merged into that file, not
// written over a file it took for damaged.
TEST(Programme, ClosingKeepsTheSitesOfTheSettingsFile) {
  const fs::path dossier =
      fs::temp_directory_path() / ("quorvel-programme-" + std::to_string(GetCurrentProcessId()));
  fs::remove_all(dossier);
  fs::create_directories(dossier);
  const std::string reglages =
      "<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?>\r\n<Quorvel>\r\n  <MesSites>\r\n"
      "    <Server Nom=\"Maison\">\r\n      <Host>nas.local</Host>\r\n    </Server>\r\n  </MesSites>\r\n"
      "  <FileZilla Nom=\"FileZilla sites\" isFilezilla=\"1\"/>\r\n"
      "  <Options>\r\n    <AutoCheck>0</AutoCheck>\r\n  </Options>\r\n</Quorvel>\r\n";
  std::ofstream(dossier / "Quorvel.xml", std::ios::binary) << reglages;

  std::wstring exe = fs::path(QUORVEL_EXE).wstring();
  std::wstring ligne = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), ligne.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             dossier.wstring().c_str(), &si, &pi))
      << "cannot start " << QUORVEL_EXE;
  Recherche r{pi.dwProcessId, nullptr};
  const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!r.Fenetre && std::chrono::steady_clock::now() < fin) {
    EnumWindows(FenetreDuProcessus, reinterpret_cast<LPARAM>(&r));
    if (!r.Fenetre) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_NE(r.Fenetre, nullptr) << "no main window";
  PostMessageW(r.Fenetre, WM_CLOSE, 0, 0);
  const bool termine = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
  if (!termine) TerminateProcess(pi.hProcess, 1);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_TRUE(termine) << "the program did not end (a box left open?)";
  EXPECT_EQ(code, 0u) << "the program did not end cleanly";

  const std::string apres = Lit(dossier / "Quorvel.xml");
  EXPECT_NE(apres.find("<MesSites>"), std::string::npos) << apres;
  EXPECT_NE(apres.find("nas.local"), std::string::npos) << apres;
  EXPECT_NE(apres.find("<LastCheck>"), std::string::npos) << apres;  // the options were written
  EXPECT_FALSE(fs::exists(dossier / "Quorvel.xml.bak"));
  std::error_code ec;
  fs::remove_all(dossier, ec);
}

}  // namespace
