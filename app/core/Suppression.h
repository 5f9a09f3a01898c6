#pragma once
// Remote deletion without windows: the folder flow (its contents first,
// then the folder) and the file flow (one CWD to the folder, then one DELE
// per file), with the model updates. The confirmation box is a seam
// (TConfirmation); the main window passes one that shows its Yes/No box
// with the caption "Confirmation".
//
// Threads. The question is asked on the user-interface thread; the
// commands are then sent by a worker of the session (as a scan's are),
// which hands every model change and panel-3 text over to that thread in
// order and waits for each, so that the window keeps painting and its busy
// bar's click (TScanSession::WaitClick) stops the deletion between two
// commands. A stopped deletion keeps what went (on the server and in the
// model) and says it stopped ("SupprArretee", with the count).
//
// A folder goes with everything the scan found in it, depth-first: CWD to
// the folder, DELE of each of its files, each sub-folder in turn the same
// way, then RMD of the folder once nothing of it is left in the model.
// A sub-folder listed as a symbolic link is not entered: its contents are
// its target's, somewhere else; the link itself goes with one DELE.
//
// Made safe:
// - The model changes only for what the server removed (a 2xx reply): a
//   refused RMD or DELE keeps the entry, and so every folder above it
//   (whose RMD is then not sent), and the report carries the server's
//   reply. Totals stay exact after a partial deletion.
// - A refused CWD deletes nothing in that folder or below it: no DELE is
//   ever sent in a folder other than the file's.
// - A control connection found dropped at the first command (closed, a
//   421, or no reply within TScanSession::DelaiSondeMs) is logged in again
//   once, in the same login folder, or nothing is deleted
//   (TScanSession::Reconnecte). One lost later stops the deletion there.
// - No deletion runs without an open control connection, nor while a scan,
//   a log-in or another deletion runs, whatever triggers it (also when a
//   scan started while the confirmation box was open), nor from a thread
//   other than the user-interface thread.
// - The files of a scan's root folder are deleted after a CWD to the root's
//   path, which is never empty (the start folder, or the login folder the
//   scan anchored itself on, ThreadScan.h).
// - RMD, CWD and DELE send the paths and names as the server listed them
//   (CheminOctets, NomOctets), so a name shown in another encoding still
//   names that folder or file and no other.
#include <functional>
#include <vector>

#include "app/core/Dossiers.h"
#include "app/core/ThreadScan.h"
#include "rtl/Types.h"

// Asks Question (already translated and formatted); true means Yes.
using TConfirmation = std::function<bool(const String& Question)>;

enum class TIssueSuppression {
  Faite,           // everything asked for was removed
  Partielle,       // some files were removed, the server refused the others
  Refusee,         // the server refused everything (RMD, or every DELE)
  EchecCwd,        // the first CWD (into the folder, or to the files' folder)
                   // was refused: nothing else was sent
  EchecConnexion,  // the connection was lost and could not be restored:
                   // what Supprimes counts went, nothing was sent after
  Abandonnee,      // the user answered No: nothing sent
  Impossible,      // no open connection, a scan, log-in or deletion runs, wrong
                   // thread, the root folder, nothing (valid) selected: nothing
                   // asked, nothing sent
  EnCours,         // started on its worker: the end comes later (TFinSuppression)
  Arretee,         // stopped by the user: what Supprimes counts went, nothing
                   // was sent after
};

struct TRapportSuppression {
  TIssueSuppression Issue = TIssueSuppression::Impossible;
  int Supprimes = 0;          // entries (files, folders, links) removed from
                              // the server and the model
  std::vector<String> Refus;  // "name: server reply" per refused entry,
                              // "CWD path: reply" per refused CWD
  String Reponse;             // the last refusal's reply (or the failed CWD's,
                              // or why the connection could not be restored)
};

// The end of a deletion, on the user-interface thread, after the common end.
using TFinSuppression = std::function<void(const TRapportSuppression&)>;

// pmSupprPopup: whether Delete is offered for the folder tree's selection
// (any folder of the model but the root) or for a file-list selection of
// NbFichiers files; only on an open control connection, never while a
// scan, a log-in or a deletion runs.
bool PeutSupprimerDossier(const TScanSession& Session, const TDossier* Dossier);
bool PeutSupprimerFichiers(const TScanSession& Session, std::size_t NbFichiers);

// The folder branch, waiting for its end on the user-interface thread
// (serving the worker's hand-overs only): asks "ConfirmDelFolder" with the
// name, then deletes
// the folder with its contents (see the header comment). Panel 3 shows
// "DelFolder" with each folder's name and "DelFile" with each file's. Each
// 2xx removes its entry at once: the sink hears FileRemoving or
// FolderRemoving, the totals above it drop by its size, and it leaves the
// model. TailleTotale becomes the root's total. Then the common end
// (DeletionDone; panel 3 emptied, or the "Erreur" text with what the
// server refused and its reply, or why the connection was not restored).
TRapportSuppression SupprimeDossier(TScanSession& Session, TDossier* Dossier, const TConfirmation& Confirme);

// The file branch, waiting as above, for files of Dossier (the folder selected in the tree), in
// the order given: asks "ConfirmDelFile" with the name (one file) or
// "ConfirmDelFiles" with the count, "CWD <Dossier->CheminOctets>" (on failure
// no DELE; a dropped connection is restored first, as above), then per file
// "DelFile" in panel 3 and "DELE <NomOctets>"; each 2xx
// removes the file (FileRemoving, DelFile). TailleTotale becomes the root's
// total; then the common end.
TRapportSuppression SupprimeFichiers(TScanSession& Session, TDossier* Dossier, const std::vector<TFichier*>& Fichiers,
                                     const TConfirmation& Confirme);

// The same two, started on the session's worker: they ask, start it and
// return EnCours (or the Issue that ended them before any command). The
// sink hears DeletionStarted, then the removals, then DeletionDone; Fin
// gets the report.
TRapportSuppression LanceSuppressionDossier(TScanSession& Session, TDossier* Dossier, const TConfirmation& Confirme,
                                            TFinSuppression Fin = nullptr);
TRapportSuppression LanceSuppressionFichiers(TScanSession& Session, TDossier* Dossier,
                                             const std::vector<TFichier*>& Fichiers, const TConfirmation& Confirme,
                                             TFinSuppression Fin = nullptr);

// A translated text with one "%s" filled in; a text that Format refuses
// gives the text, a blank and the argument.
String FormatMsg(const String& Key, const String& Arg);
