#include "app/JournalFTP.h"

#include <richedit.h>

#include <cstring>
#include <string>

#include "app/core/Affichage.h"

void TJournalFTP::SetFenetre(HWND Window) {
  std::lock_guard<std::mutex> lock(FLock);
  FFenetre = Window;
  if (FFenetre && !FFile.empty() && !FPoste) FPoste = ::PostMessageW(FFenetre, WM_STATUT, StatutLot, 0) != FALSE;
}

void TJournalFTP::Enfile(bool Reponse, const String& Valeur) {
  std::lock_guard<std::mutex> lock(FLock);
  FFile.push_back({Reponse ? GenreReponse : GenreCommande, Valeur});
  if (!FPoste && !FParLots && FFenetre) FPoste = ::PostMessageW(FFenetre, WM_STATUT, StatutLot, 0) != FALSE;
}

void TJournalFTP::SetParLots(bool Value) {
  std::lock_guard<std::mutex> lock(FLock);
  FParLots = Value;
  if (!FParLots && !FFile.empty() && !FPoste && FFenetre)
    FPoste = ::PostMessageW(FFenetre, WM_STATUT, StatutLot, 0) != FALSE;
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
  lignes.push_back({Reponse ? GenreReponse : GenreCommande, Valeur});
  Affiche(lignes);
}

void TJournalFTP::AjouteNote(const String& Texte) {
  std::deque<TLigne> lignes;
  {
    std::lock_guard<std::mutex> lock(FLock);
    lignes.swap(FFile);
    FPoste = false;
  }
  lignes.push_back({GenreNote, Texte});
  Affiche(lignes);
}

namespace {

// One line of the pane as RTF: the label, the tab and the text.
void AjouteRtf(std::string& Rtf, const String& Texte) {
  for (Char c : Texte) {
    if (c == u'\t') {
      Rtf += "\\tab ";
    } else if (c == u'\\' || c == u'{' || c == u'}') {
      Rtf += '\\';
      Rtf += static_cast<char>(c);
    } else if (c == u'\r' || c == u'\n') {
      // A reply line never holds a line break; one would start a paragraph.
      Rtf += ' ';
    } else if (c < 0x80) {
      Rtf += static_cast<char>(c);
    } else {
      Rtf += "\\u" + std::to_string(static_cast<short>(c)) + "?";
    }
  }
}

struct TLecture {
  const std::string* Texte;
  std::size_t Position;
};

DWORD CALLBACK LitRtf(DWORD_PTR Cookie, LPBYTE Buffer, LONG Taille, LONG* Lu) {
  auto* l = reinterpret_cast<TLecture*>(Cookie);
  const std::size_t reste = l->Texte->size() - l->Position;
  const std::size_t n = reste < static_cast<std::size_t>(Taille) ? reste : static_cast<std::size_t>(Taille);
  std::memcpy(Buffer, l->Texte->data() + l->Position, n);
  l->Position += n;
  *Lu = static_cast<LONG>(n);
  return 0;
}

}  // namespace

void TJournalFTP::Affiche(const std::deque<TLigne>& Lignes) {
  if (!FPane) return;
  try {
    const HWND pane = FPane->Handle();
    CHARRANGE avant{};
    ::SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&avant));
    const LRESULT premiereAvant = ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
    // The whole batch goes in as one piece of RTF: one insertion and one
    // repaint however many lines, where a replacement per line costs a
    // layout of the pane each time.
    const TColor reponse = CouleurLigneLog(true), commande = CouleurLigneLog(false);
    auto couleur = [](std::string& r, TColor c) {
      r += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
           std::to_string((c >> 16) & 0xFF) + ";";
    };
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil ";
    AjouteRtf(rtf, FPane->Font()->Name());
    rtf += ";}}{\\colortbl;";
    couleur(rtf, reponse);
    couleur(rtf, commande);
    couleur(rtf, CouleurNoteLog);
    rtf += "}\\f0\\fs" + std::to_string(FPane->Font()->Size() * 2) + " ";
    bool vide = ::GetWindowTextLengthW(pane) == 0;
    // The labels once per batch, not looked up in the table per line; each
    // line reads as LigneLog makes it.
    std::string etiquetteReponse, etiquetteCommande;
    AjouteRtf(etiquetteReponse, LigneLog(true, String(), true));
    AjouteRtf(etiquetteCommande, LigneLog(false, String(), true));
    rtf.reserve(rtf.size() + Lignes.size() * 64);
    for (const TLigne& l : Lignes) {
      if (!vide) rtf += "\\par ";
      if (l.Genre == GenreNote) {
        rtf += "\\cf3 ";
        AjouteRtf(rtf, l.Valeur);
      } else if (l.Genre == GenreReponse) {
        rtf += "\\cf1 ";
        rtf += etiquetteReponse;
        AjouteRtf(rtf, l.Valeur);
      } else {
        rtf += "\\cf2 ";
        rtf += etiquetteCommande;
        AjouteRtf(rtf, MasqueCommande(l.Valeur));
      }
      vide = false;
      ++FLignes;
    }
    rtf += "}";

    ::SendMessageW(pane, WM_SETREDRAW, FALSE, 0);
    CHARRANGE fin{-1, -1};
    ::SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&fin));
    TLecture lecture{&rtf, 0};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&lecture);
    es.pfnCallback = &LitRtf;
    ::SendMessageW(pane, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&es));
    if (StopScroll) {
      // Put back the caret and the view at once: a request posted for later
      // would be overtaken by the next batch's insertion, which would then
      // remember the end of the text as the place to go back to.
      CHARRANGE caret{avant.cpMin, avant.cpMin};
      ::SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
      const LRESULT premiere = ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
      if (premiere != premiereAvant) ::SendMessageW(pane, EM_LINESCROLL, 0, premiereAvant - premiere);
    }
    ::SendMessageW(pane, WM_SETREDRAW, TRUE, 0);
    if (!StopScroll) {
      // The caret at the start of the last line, once the new text is laid
      // out: left at the end of a line wider than the pane, it would scroll
      // the view sideways and cut the start of every line.
      const LRESULT derniere = ::SendMessageW(pane, EM_GETLINECOUNT, 0, 0) - 1;
      const LRESULT debut = ::SendMessageW(pane, EM_LINEINDEX, derniere < 0 ? 0 : derniere, 0);
      CHARRANGE caret{static_cast<LONG>(debut), static_cast<LONG>(debut)};
      ::SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
      ::SendMessageW(pane, EM_SCROLLCARET, 0, 0);
    }
    ::InvalidateRect(pane, nullptr, TRUE);

  } catch (...) {
    // A line that cannot be shown is lost; the log is no record to defend.
  }
}
