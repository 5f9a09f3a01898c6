#include "app/JournalFTP.h"

#include <richedit.h>

#include "app/core/Affichage.h"

void TJournalFTP::SetFenetre(HWND Window) {
  std::lock_guard<std::mutex> lock(FLock);
  FFenetre = Window;
  if (FFenetre && !FFile.empty() && !FPoste) FPoste = ::PostMessageW(FFenetre, WM_STATUT, StatutLot, 0) != FALSE;
}

void TJournalFTP::Enfile(bool Reponse, const String& Valeur) {
  std::lock_guard<std::mutex> lock(FLock);
  FFile.push_back({Reponse, Valeur});
  if (!FPoste && FFenetre) FPoste = ::PostMessageW(FFenetre, WM_STATUT, StatutLot, 0) != FALSE;
}

std::size_t TJournalFTP::EnAttente() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FFile.size();
}

void TJournalFTP::Vide() {
  std::deque<TLigne> lignes;
  {
    std::lock_guard<std::mutex> lock(FLock);
    lignes.swap(FFile);
    FPoste = false;
  }
  if (!lignes.empty()) Affiche(lignes);
}

void TJournalFTP::Ajoute(bool Reponse, const String& Valeur) {
  std::deque<TLigne> lignes;
  {
    std::lock_guard<std::mutex> lock(FLock);
    lignes.swap(FFile);
    FPoste = false;
  }
  lignes.push_back({Reponse, Valeur});
  Affiche(lignes);
}

void TJournalFTP::Affiche(const std::deque<TLigne>& Lignes) {
  if (!FPane) return;
  try {
    const HWND pane = FPane->Handle();
    CHARRANGE avant{};
    ::SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&avant));
    const LRESULT premiereAvant = ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
    // One repaint for the whole batch instead of one per line.
    ::SendMessageW(pane, WM_SETREDRAW, FALSE, 0);
    bool vide = ::GetWindowTextLengthW(pane) == 0;
    // Consecutive lines of one colour go in with one replacement.
    String bloc;
    bool blocReponse = false;
    auto insere = [&] {
      if (bloc.empty()) return;
      CHARRANGE fin{-1, -1};
      ::SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&fin));
      CHARFORMAT2W cf{};
      cf.cbSize = sizeof(cf);
      cf.dwMask = CFM_COLOR;
      cf.crTextColor = static_cast<COLORREF>(CouleurLigneLog(blocReponse));
      ::SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      ::SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(bloc.c_str()));
      bloc.clear();
    };
    for (const TLigne& l : Lignes) {
      if (!bloc.empty() && l.Reponse != blocReponse) insere();
      blocReponse = l.Reponse;
      bloc += LigneLog(l.Reponse, l.Valeur, vide);
      vide = false;
      ++FLignes;
    }
    insere();
    if (StopScroll) {
      // Put back the caret and the view at once: a request posted for later
      // would be overtaken by the next line's insertion, which would then
      // remember the end of the text as the place to go back to.
      CHARRANGE caret{avant.cpMin, avant.cpMin};
      ::SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
      const LRESULT premiere = ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
      if (premiere != premiereAvant) ::SendMessageW(pane, EM_LINESCROLL, 0, premiereAvant - premiere);
    }
    ::SendMessageW(pane, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(pane, nullptr, TRUE);
    if (!StopScroll) ::PostMessageW(pane, WM_VSCROLL, SB_BOTTOM, 0);
  } catch (...) {
    // A line that cannot be shown is lost; the log is no record to defend.
  }
}
