#pragma once
// The program's four forms in the test process: made in the program's order
// in a private working folder (where Quorvel.xml lives, with no automatic
// update check), a recording stand-in for the shell and the message boxes,
// message pumping, and screenshots saved under the build folder.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/APropos.h"
#include "app/Interactions.h"
#include "app/core/uIntl.h"
#include "app/fMain.h"
#include "app/fOptions.h"
#include "app/fSites.h"
#include "rtl/Unicode.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "vcl/WinDispatcher.h"

namespace apptest {

namespace fs = std::filesystem;

struct TBoite {
  String Text, Caption;
  UINT Flags = 0;
};

// Records what the program asks of the outside world; boxes are answered
// from Reponses (IDNO when it is empty).
class TInteractionsTest : public IInteractions {
public:
  bool OpenDocument(HWND, const String& Target) override {
    Documents.push_back(Target);
    return true;
  }
  bool StartProcess(const String& CommandLine, String& ErrorText) override {
    Processus.push_back(CommandLine);
    if (!ProcessusReussit) ErrorText = u"The system cannot find the file specified.";
    return ProcessusReussit;
  }
  int MessageBox(HWND, const String& Text, const String& Caption, UINT Flags) override {
    Boites.push_back({Text, Caption, Flags});
    if (Reponses.empty()) return IDNO;
    const int r = Reponses.front();
    Reponses.pop_front();
    return r;
  }
  std::vector<String> Documents;
  std::vector<String> Processus;
  std::vector<TBoite> Boites;
  std::deque<int> Reponses;
  bool ProcessusReussit = true;
};

inline std::string U8(const String& s) { return UTF16ToUTF8(s); }

// Text split at CR LF, CR or LF.
inline std::vector<String> Lignes(const String& Text) {
  std::vector<String> out;
  if (Text.empty()) return out;
  String cur;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const Char c = Text[i];
    if (c == u'\r' || c == u'\n') {
      out.push_back(cur);
      cur.clear();
      if (c == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n') ++i;
    } else {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

inline bool Pump(const std::function<bool()>& Done, int TimeoutMs = 60000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    if (!Application->ProcessMessage(msg)) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  return true;
}

inline void PumpFor(int Ms) {
  Pump([] { return false; }, Ms);
}

// Saves what the screen shows of Form (frame included) as a BMP under the
// build folder; returns the path.
inline fs::path Capture(TCustomForm* Form, const fs::path& Dossier, const std::string& Nom) {
  PumpFor(300);
  Form->Update();
  RECT r{};
  ::GetWindowRect(Form->Handle(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap shot;
  shot.SetPixelFormat(pf24bit);
  shot.SetSize(w, h);
  HDC ecran = ::GetDC(nullptr);
  ::BitBlt(shot.Canvas()->Handle(), 0, 0, w, h, ecran, r.left, r.top, SRCCOPY);
  ::ReleaseDC(nullptr, ecran);
  fs::create_directories(Dossier);
  const fs::path file = Dossier / (Nom + ".bmp");
  shot.SaveToFile(String(reinterpret_cast<const Char*>(file.wstring().c_str())));
  return file;
}

// The forms of the program, made as the entry makes them, in a fresh
// working folder holding a settings file without automatic update checks.
class AppFixture : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Dossier_ = fs::current_path();
    Travail = fs::temp_directory_path() /
              ("quorvel-app-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++Compteur()));
    fs::remove_all(Travail);
    fs::create_directories(Travail);
    fs::current_path(Travail);
    EcritReglages("<Quorvel><Options><AutoCheck>0</AutoCheck></Options></Quorvel>");
    Precedent_ = SetInteractions(&Monde);
  }

  void TearDown() override {
    Ferme();
    SetInteractions(Precedent_);
    fs::current_path(Dossier_);
    std::error_code ec;
    fs::remove_all(Travail, ec);
  }

  void EcritReglages(const std::string& Xml) { std::ofstream(Travail / "Quorvel.xml", std::ios::binary) << Xml; }

  // Makes the four forms; Params are the program's parameters.
  void Cree(std::vector<String> Params) {
    Main = TCustomForm::Create<TMain>(Application);
    formSites = TCustomForm::Create<TformSites>(Application);
    BoiteAPropos = TCustomForm::Create<TBoiteAPropos>(Application);
    BoiteOptions = TCustomForm::Create<TBoiteOptions>(Application);
    Main->Parametres = std::move(Params);
    Main->ParametresLus = true;
  }
  // Makes the forms and shows the main window (which may connect at once).
  void Demarre(std::vector<String> Params) {
    Cree(std::move(Params));
    Main->Show();
    PumpFor(100);
  }
  // Closes the program's way: the main window's close query, then the
  // forms freed last made first (the main window writes its settings).
  void Ferme() {
    if (Main) {
      bool canClose = true;
      Main->FormCloseQuery(Main, canClose);
    }
    delete BoiteOptions;
    BoiteOptions = nullptr;
    delete BoiteAPropos;
    BoiteAPropos = nullptr;
    delete formSites;
    formSites = nullptr;
    delete Main;
    Main = nullptr;
  }

  bool AttendScan(int Nombre = 1, int TimeoutMs = 120000) {
    return Pump([&] { return Main->ScansTermines >= Nombre; }, TimeoutMs);
  }

  // The log pane's lines.
  std::vector<String> LignesLog() {
    return Lignes(Main->meLog->Text());
  }

  // Where screenshots go: the test's folder in the build tree.
  fs::path DossierCaptures() const { return Dossier_ / "captures"; }

  static int& Compteur() {
    static int n = 0;
    return n;
  }

  TInteractionsTest Monde;
  fs::path Travail;

private:
  fs::path Dossier_;
  IInteractions* Precedent_ = nullptr;
};

}  // namespace apptest
