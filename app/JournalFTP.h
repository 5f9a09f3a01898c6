#pragma once
// The FTP log pane's feed: every command and reply line of the FTP client,
// labelled, masked and coloured, appended to the main window's rich edit.
//
// Lines reach the user-interface thread through window message 1246
// (WM_STATUT). From the user-interface thread a line is sent and shown at
// once. From the scan worker, one synchronous hand-over per line would make
// the walk wait for the screen after every command, so the worker's lines go
// into a queue, in order, and one posted WM_STATUT has the user-interface
// thread append everything queued so far; each later line posts again only
// when the previous batch has been taken. During a scan the main window's
// timer takes the queue a few times a second instead. Every line the user-interface
// thread adds itself is preceded by the queued ones, so the pane always
// shows the dialogue in the order it happened.
#include <deque>
#include <mutex>

#include "rtl/Types.h"
#include "vcl/ComCtrls.h"
#include "rtl/Win32.h"

// WM_USER + 222.
inline constexpr UINT WM_STATUT = WM_USER + 222;
// WParam of a WM_STATUT that carries no line of its own: take the queue.
inline constexpr WPARAM StatutLot = 2;

class TJournalFTP {
public:
  // Pane is the log's rich edit (not owned).
  explicit TJournalFTP(TRichEdit* Pane = nullptr) : FPane(Pane) {}
  void SetPane(TRichEdit* Pane) { FPane = Pane; }
  TJournalFTP(const TJournalFTP&) = delete;
  TJournalFTP& operator=(const TJournalFTP&) = delete;

  // The window that receives WM_STATUT (the main window), set once its
  // handle exists; nullptr stops posting (lines then wait in the queue).
  void SetFenetre(HWND Window);

  // Any thread other than the user-interface thread: queues the line and
  // posts WM_STATUT when no batch is pending.
  void Enfile(bool Reponse, const String& Valeur);
  // User-interface thread: the queued lines, then this one.
  void Ajoute(bool Reponse, const String& Valeur);
  // User-interface thread: the queued lines, then a line of the program's
  // own (what the walk has to say about a listing), without a label and in
  // a colour of its own, so it stands out from the dialogue.
  void AjouteNote(const String& Texte);
  // User-interface thread: appends every queued line.
  void Vide();
  // Lines waiting in the queue.
  std::size_t EnAttente() const;
  // While set, queued lines wait for the next Vide (the window's timer
  // during a scan takes them a few times a second) instead of a post each.
  void SetParLots(bool Value);

  // When set, appending leaves the view and the caret where they were.
  bool StopScroll = false;
  // Lines appended since creation (for tests and the speed figures).
  std::size_t NombreLignes() const { return FLignes; }

private:
  enum TGenre : unsigned char { GenreCommande, GenreReponse, GenreNote };
  struct TLigne {
    TGenre Genre;
    String Valeur;
  };
  void Affiche(const std::deque<TLigne>& Lignes);

  TRichEdit* FPane;  // not owned
  mutable std::mutex FLock;
  std::deque<TLigne> FFile;  // guarded by FLock
  bool FPoste = false;       // a WM_STATUT batch is on its way; guarded by FLock
  bool FParLots = false;     // guarded by FLock
  HWND FFenetre = nullptr;   // guarded by FLock
  std::size_t FLignes = 0;
};
