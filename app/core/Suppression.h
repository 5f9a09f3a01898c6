#pragma once
// Remote deletion without windows: the folder flow (one
// RMD of the folder's path) and the file flow (one CWD to the folder, then
// one DELE per file), with the model updates. The confirmation box is a
// seam (TConfirmation); the main window passes one that shows its
// Yes/No box with the caption "Confirmation".
//
// Made safe:
// - The model changes only for what the server removed (a 2xx reply): a
//   refused RMD (a folder that is not empty, no rights) or DELE keeps the
//   entry, and the report carries the server's reply.
// - No deletion runs while a scan runs or another deletion runs, whatever
//   triggers it (also when a scan started while the confirmation box was
//   open), nor from a thread other than the user-interface thread.
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
  Faite,       // everything asked for was removed
  Partielle,   // some files were removed, the server refused the others
  Refusee,     // the server refused everything (RMD, or every DELE)
  EchecCwd,    // the CWD before the files failed: no DELE was sent
  Abandonnee,  // the user answered No: nothing sent
  Impossible,  // a scan or a deletion runs, wrong thread, the root folder,
               // nothing (valid) selected: nothing asked, nothing sent
};

struct TRapportSuppression {
  TIssueSuppression Issue = TIssueSuppression::Impossible;
  int Supprimes = 0;            // entries removed from the server and the model
  std::vector<String> Refus;    // "name: server reply" per refused entry
  String Reponse;               // the last refusal's reply (or the failed CWD's)
};

// pmSupprPopup: whether Delete is offered for the folder tree's selection
// (any folder of the model but the root) or for a file-list selection of
// NbFichiers files; never while a scan or a deletion runs.
bool PeutSupprimerDossier(const TScanSession& Session, const TDossier* Dossier);
bool PeutSupprimerFichiers(const TScanSession& Session, std::size_t NbFichiers);

// The folder branch: asks "ConfirmDelFolder" with the name, shows
// "DelFolder" in panel 3, sends "RMD <CheminOctets>"; on 2xx the sink hears
// FolderRemoving, the parent's and ancestors' totals drop by the folder's
// total, the folder and everything below it leave the model, TailleTotale
// becomes the root's total. Then the common end (DeletionDone; panel 3
// emptied, or the "Erreur" text with what the server refused and its reply).
TRapportSuppression SupprimeDossier(TScanSession& Session, TDossier* Dossier, const TConfirmation& Confirme);

// The file branch for files of Dossier (the folder selected in the tree), in
// the order given: asks "ConfirmDelFile" with the name (one file) or
// "ConfirmDelFiles" with the count, "CWD <Dossier->CheminOctets>" (on failure
// no DELE), then per file "DelFile" in panel 3 and "DELE <NomOctets>"; each 2xx
// removes the file (FileRemoving, DelFile). TailleTotale becomes the root's
// total; then the common end.
TRapportSuppression SupprimeFichiers(TScanSession& Session, TDossier* Dossier,
                                     const std::vector<TFichier*>& Fichiers, const TConfirmation& Confirme);

// A translated text with one "%s" filled in; a text that Format refuses
// gives the text, a blank and the argument.
String FormatMsg(const String& Key, const String& Arg);
