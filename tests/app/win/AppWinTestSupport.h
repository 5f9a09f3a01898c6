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
#include "tests/fixture/FtpFixture.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
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

// The program's waits are long: a scan of a loopback server, an update check.
inline bool Pump(const std::function<bool()>& Done, int TimeoutMs = 60000) {
  return testsupport::PumpMessagesUntil(Done, TimeoutMs);
}

using testsupport::PumpMessagesFor;

// ---- the mouse and the keyboard, as window messages

// Shift and Ctrl as GetKeyState sees them.
inline void Modificateurs(bool Shift, bool Ctrl) {
  BYTE etat[256];
  ::GetKeyboardState(etat);
  etat[VK_SHIFT] = etat[VK_LSHIFT] = Shift ? 0x80 : 0;
  etat[VK_CONTROL] = etat[VK_LCONTROL] = Ctrl ? 0x80 : 0;
  ::SetKeyboardState(etat);
}

inline LPARAM PointMsg(Integer X, Integer Y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(X)), static_cast<WORD>(static_cast<SHORT>(Y)));
}

// A click (button down and up) at client point X, Y of a window.
inline void Clic(HWND Fenetre, Integer X, Integer Y, bool Droit = false, bool Shift = false, bool Ctrl = false) {
  Modificateurs(Shift, Ctrl);
  const WPARAM touches = (Shift ? MK_SHIFT : 0) | (Ctrl ? MK_CONTROL : 0);
  ::SendMessageW(Fenetre, Droit ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, touches | (Droit ? MK_RBUTTON : MK_LBUTTON),
                 PointMsg(X, Y));
  ::SendMessageW(Fenetre, Droit ? WM_RBUTTONUP : WM_LBUTTONUP, touches, PointMsg(X, Y));
  Modificateurs(false, false);
}

inline void DoubleClic(HWND Fenetre, Integer X, Integer Y) {
  ::SendMessageW(Fenetre, WM_LBUTTONDOWN, MK_LBUTTON, PointMsg(X, Y));
  ::SendMessageW(Fenetre, WM_LBUTTONUP, 0, PointMsg(X, Y));
  ::SendMessageW(Fenetre, WM_LBUTTONDBLCLK, MK_LBUTTON, PointMsg(X, Y));
  ::SendMessageW(Fenetre, WM_LBUTTONUP, 0, PointMsg(X, Y));
}

inline void Touche(HWND Fenetre, Word Code, bool Shift = false, bool Ctrl = false) {
  Modificateurs(Shift, Ctrl);
  ::SendMessageW(Fenetre, WM_KEYDOWN, Code, 1);
  ::SendMessageW(Fenetre, WM_KEYUP, Code, static_cast<LPARAM>(0xC0000001));
  Modificateurs(false, false);
}

// Characters typed into a window (an edit).
inline void Tape(HWND Fenetre, const String& Texte) {
  for (Char c : Texte) ::SendMessageW(Fenetre, WM_CHAR, c, 1);
}

// The middle of a node's row, in the tree's client coordinates.
inline Integer LigneY(TVastStringTree* Arbre, PVastNode Noeud) {
  const TRect r = Arbre->GetDisplayRect(Noeud, NoColumn, false);
  return (r.Top + r.Bottom) / 2;
}

// Where a click on a node's text lands, in the tree's client coordinates.
inline TPoint PointTexte(TVastStringTree* Arbre, PVastNode Noeud) {
  const TColumnIndex c = Arbre->Header().Columns().Count() > 0 ? Arbre->Header().MainColumn() : NoColumn;
  const TRect r = Arbre->GetDisplayRect(Noeud, c, true);
  return TPoint{r.Left + 4, (r.Top + r.Bottom) / 2};
}

// A click on a node's text.
inline void ClicNoeud(TVastStringTree* Arbre, PVastNode Noeud, bool Droit = false, bool Shift = false,
                      bool Ctrl = false) {
  Arbre->ScrollIntoView(Noeud, false, false);
  const TPoint p = PointTexte(Arbre, Noeud);
  Clic(Arbre->Handle(), p.X, p.Y, Droit, Shift, Ctrl);
}

namespace detail {
inline const std::function<void()>*& MenuPendant() {
  static const std::function<void()>* p = nullptr;
  return p;
}
inline bool& MenuOuvert() {
  static bool b = false;
  return b;
}
inline void CALLBACK FermeMenu(HWND, UINT, UINT_PTR Id, DWORD) {
  ::KillTimer(nullptr, Id);
  MenuOuvert() = true;
  if (MenuPendant() && *MenuPendant()) (*MenuPendant())();
  ::EndMenu();
}
}  // namespace detail

// A right click on a node, which opens the tree's pop-up menu: the menu's
// own message loop runs inside the click, so a timer calls Pendant while
// the menu is open and then closes it. Returns whether the menu opened.
inline bool ClicDroitMenu(TVastStringTree* Arbre, PVastNode Noeud, const std::function<void()>& Pendant = nullptr) {
  detail::MenuPendant() = &Pendant;
  detail::MenuOuvert() = false;
  const UINT_PTR id = ::SetTimer(nullptr, 0, 300, &detail::FermeMenu);
  ClicNoeud(Arbre, Noeud, true);
  ::KillTimer(nullptr, id);
  detail::MenuPendant() = nullptr;
  return detail::MenuOuvert();
}

namespace detail {
inline int& EtapeCommande() {
  static int n = 0;
  return n;
}
// First call: the menu is open; Down then Enter choose its first item, as
// the keyboard does. A menu still open at the next call is closed.
inline void CALLBACK ChoisitPremier(HWND, UINT, UINT_PTR Id, DWORD) {
  HWND menu = ::FindWindowW(L"#32768", nullptr);
  if (EtapeCommande()++ == 0 && menu) {
    MenuOuvert() = true;
    ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    ::PostMessageW(menu, WM_KEYUP, VK_DOWN, static_cast<LPARAM>(0xC0000001));
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(menu, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
    return;
  }
  ::KillTimer(nullptr, Id);
  if (menu) ::EndMenu();
}
}  // namespace detail

// A right click on a node whose pop-up menu's first item is then chosen
// with the keys while the menu is open: the command runs inside the
// click's button-up, as when the user picks it. Returns whether the menu
// opened.
inline bool ClicDroitPremiereCommande(TVastStringTree* Arbre, PVastNode Noeud) {
  detail::MenuOuvert() = false;
  detail::EtapeCommande() = 0;
  const UINT_PTR id = ::SetTimer(nullptr, 0, 300, &detail::ChoisitPremier);
  ClicNoeud(Arbre, Noeud, true);
  ::KillTimer(nullptr, id);
  return detail::MenuOuvert();
}

// The node of a tree whose column-0 text is Texte (depth first).
inline PVastNode NoeudDeTexte(TVastStringTree* Arbre, const String& Texte) {
  for (PVastNode n = Arbre->GetFirst(); n; n = Arbre->GetNext(n))
    if (Arbre->TCustomVastStringTree::GetText(n, 0) == Texte) return n;
  return nullptr;
}

// Saves what the screen shows of Form (frame included) as a BMP under the
// build folder; returns the path.
inline fs::path Capture(TCustomForm* Form, const fs::path& Dossier, const std::string& Nom) {
  PumpMessagesFor(300);
  Form->Update();
  fs::create_directories(Dossier);
  const fs::path file = Dossier / (Nom + ".bmp");
  testsupport::ScreenImageOfWindow(Form->Handle())
      ->SaveToFile(String(reinterpret_cast<const Char*>(file.wstring().c_str())));
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
    PumpMessagesFor(100);
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

  // The parameters that log in to server, then extra.
  static std::vector<String> Params(const FtpServer& server, std::vector<String> extra) {
    std::vector<String> p = {u"-host=" + server.Host(), u"-port=" + IntToStr(server.Port()), u"-user=" + server.User(),
                             u"-pass=" + server.Password()};
    p.insert(p.end(), extra.begin(), extra.end());
    return p;
  }
  // The text of the status bar's panel i.
  String Panneau(int i) { return Main->SBar->Panels()->Items(i)->Text(); }

  bool AttendScan(int Nombre = 1, int TimeoutMs = 120000) {
    return Pump([&] { return Main->ScansTermines >= Nombre; }, TimeoutMs);
  }

  // The log pane's lines.
  std::vector<String> LignesLog() { return Lignes(Main->meLog->Text()); }

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
