#pragma once
// The folder scan without windows: TScanSession is the part
// of the main window that connects, starts the ThreadScan worker, cancels,
// stops and completes a scan, and disconnects; IScanSink is what the main
// window implements to show it (tests implement it too).
//
// Threads. The session lives on the user-interface thread: the thread of the
// dispatcher it is given (rtl/Dispatcher.h). The worker drives the FTP client
// alone while it runs and hands every change over to that thread with
// IDispatcher::Send, one folder at a time, in the order of the walk, waiting
// for each: the path shown before the folder's CWD, then the whole listing
// (folders, files, sizes), or the folder's mark when its CWD or LIST failed.
// The model (Dossiers.h) and every IScanSink call are on the user-interface
// thread only. The worker keeps its own copies of the folders' paths and
// reads nothing of the model.
//
// Sizes: a listing's files are counted in their folder's Taille and carried
// up to every ancestor's TailleSousDossier in the same hand-over (adding
// a sub-folder's total to its parent only when the sub-folder's walk
// returns would leave the ancestors short after an error). At every
// moment, and so after a cancel, a stop or an error, each folder's total is
// the sum of the files counted below it.
//
// Faults handled:
// - Without a start folder the root's path is the folder the server logged
//   us into (one PWD after log-in), and the paths below it start there: a
//   server whose login folder is /home/u gives /home/u/img, not /img (which
//   would name another folder, and a later RMD would delete the wrong one).
//   When PWD is refused the root path is "/".
// - A refused change to the start folder, a lost control connection and any
//   error raised inside the walk end the scan with TFinScan::Erreur: panel 3
//   shows the "Erreur" text with the reason, never "Termine", and the totals
//   counted so far stay (TailleTotale is the root's partial total).
// - A folder whose CWD is refused is marked (TEtatDossier::AccesRefuse) and
//   not listed, so it never gets the listing of the folder the connection
//   still stands in.
// - Links back to an ancestor never make the walk endless: a listed link
//   whose target ("name -> target") resolves to the folder itself or one of
//   its ancestors is added but not entered; a folder whose listing (two
//   entries or more, a folder among them) is the same as an ancestor's is
//   taken for that ancestor again and not counted; and nothing deeper than
//   ProfondeurMax levels is entered. Such folders are marked Boucle.
#include <atomic>
#include <memory>
#include <vector>

#include "app/core/Dossiers.h"
#include "net/ftpsend.h"
#include "rtl/Dispatcher.h"
#include "rtl/Exceptions.h"
#include "rtl/Threads.h"
#include "rtl/Types.h"

QUORVEL_DECLARE_EXCEPTION(EScanError, Exception);

// Status-bar panels of the main window.
namespace Panneau {
constexpr int Connexion = 0;    // "Connecte", "Erreur", "Deco", "WaitDeco"
constexpr int Occupation = 1;   // the usage bar and the busy bar
constexpr int EspaceLibre = 2;  // the free space
constexpr int Progression = 3;  // the folder being walked, "Termine", deletions
}  // namespace Panneau

enum class TFinScan {
  Termine,  // walked to the end
  Annule,   // cancelled (busy bar click) or stopped (StopScan)
  Erreur,   // start folder refused, connection lost, or an error in the walk
};

struct TResultatScan {
  TFinScan Fin = TFinScan::Termine;
  Int64 TailleTotale = 0;  // the root's total (partial after a cancel or an error)
  String Message;          // for Erreur: the reason (server reply or error text)
  TDossier* Racine = nullptr;
};

// What the main window implements. Every call is on the user-interface
// thread; an exception a call raises during a scan ends the scan with Erreur.
// The calls made during a scan (ScanFinished included) run while the worker
// waits for them: from there Connecte, LanceScan and Deconnecte are refused
// and StopScan only asks the worker to end (post such requests instead).
class IScanSink {
public:
  virtual ~IScanSink() = default;
  // Connect succeeded (true: enable Disconnect) or failed (false).
  virtual void ConnectionChanged(bool /*Connected*/) {}
  // The start-folder field is to show this corrected text ("/" put in front).
  virtual void StartFolderShown(const String& /*Text*/) {}
  // A scan starts: the model was cleared (clear both lists and the pie, hide
  // the usage bar, show and activate the busy bar, hourglass cursor).
  virtual void ScanStarted() {}
  // A folder was added to the model (the root first; a sub-folder after its
  // parent); its totals are 0.
  virtual void FolderAdded(TDossier* /*Dossier*/) {}
  // A file was appended to Fichier->Dossier->Fichiers.
  virtual void FileAdded(TFichier* /*Fichier*/) {}
  // Totals of Dossier and of all its ancestors changed.
  virtual void TotalsChanged(TDossier* /*Dossier*/) {}
  // Dossier->Etat changed (CWD refused, LIST failed, loop).
  virtual void FolderMarked(TDossier* /*Dossier*/) {}
  // Panel (Panneau::...) shows Text.
  virtual void StatusText(int /*Panel*/, const String& /*Text*/) {}
  // The scan ended (after a cancel, a stop or an error too): expand and
  // select the root, update the free space and the usage bar, stop the busy
  // bar, show the usage bar, restore the cursor. No scan runs any more.
  virtual void ScanFinished(const TResultatScan& /*Result*/) {}
  // Deletions (Suppression.h): the folder or file is about to be removed from
  // the model (delete its node; for a folder, select its parent first).
  virtual void FolderRemoving(TDossier* /*Dossier*/) {}
  virtual void FileRemoving(TFichier* /*Fichier*/) {}
  // The common end of a deletion: update free space, usage bar and pie.
  virtual void DeletionDone() {}
};

struct TParamsConnexion {
  String Host;
  Integer Port = 21;
  String User;
  String Pass;
  bool Passif = true;
  String Racine;  // the start-folder field; empty: the login folder
};

class TScanSession;

// The worker of one scan. Made by TScanSession::LanceScan.
class ThreadScan : public TThread {
public:
  ThreadScan(TScanSession& Session, IDispatcher& Dispatcher);

  // The root folder's name (start folder, or host:port).
  String strRacine;
  // The scan's result (KiB), the root's total; set by the completion step.
  std::atomic<Int64> Taille{0};

protected:
  void Execute() override;
  // Runs the completion step through the session's dispatcher.
  void DoTerminate() override;

private:
  friend class TScanSession;
  struct TDossierAParcourir {
    TDossier* Dossier = nullptr;  // only handed back to the UI thread
    String Chemin;
    bool Entrer = true;
  };
  void ScanDossier(const TDossierAParcourir& D, bool Racine, int Profondeur);
  void Send(std::function<void()> Work);
  [[noreturn]] void ConnexionPerdue(const String& Commande);

  TScanSession& FSession;
  IDispatcher& FDispatcher;
  TFTPSend& FFTP;
  TDossier* FRacine = nullptr;
  String FCheminRacine;
  int FProfondeurMax = 128;
  // Set by LanceScan when the change to the start folder failed.
  bool FRacineRefusee = false;
  String FReponseRacine;
  // Fingerprints of the ancestors' listings (root first), for loop checks.
  std::vector<UInt64> FEmpreintes;
  // Result of the body, read by the completion step.
  TFinScan FFin = TFinScan::Termine;
  String FMessage;
};

class TScanSession {
public:
  // FTP is the main window's client; Dispatcher's thread is the
  // user-interface thread (nullptr: MainDispatcher(), which must exist).
  TScanSession(TFTPSend& FTP, IScanSink& Sink, IDispatcher* Dispatcher = nullptr);
  // Stops a running scan (StopScan).
  ~TScanSession();
  TScanSession(const TScanSession&) = delete;
  TScanSession& operator=(const TScanSession&) = delete;

  // The Connect action (aConnectExecute): StopScan, QUIT an open
  // connection, copy the parameters into the client, log in, and on success
  // LanceScan. Returns whether the log-in worked.
  bool Connecte(const TParamsConnexion& P);
  // Starts a scan on the logged-in client (LanceScan). StartFolder is the
  // start-folder field (corrected with a leading "/", StartFolderShown),
  // Host and Port name the root when it is empty. False when a scan or a
  // deletion runs.
  bool LanceScan(const String& StartFolder, const String& Host, Integer Port);
  // Busy-bar click: asks the worker to end; nothing when no scan runs.
  void WaitClick();
  // Asks the worker to end and waits for it (ToursArret rounds of
  // DureeTourMs, serving the worker's hand-overs). When it still runs after
  // them (stuck in an FTP command up to the client's time-out), the pending
  // wait of the client is stopped, the walk ends, and the control
  // connection, no longer in step, is closed. Returns when the worker has
  // ended and its completion step has run.
  void StopScan();
  // The Disconnect action: StopScan, then QUIT.
  void Deconnecte();

  bool ScanEnCours() const { return FThread != nullptr; }
  bool SuppressionEnCours() const { return FSuppressionEnCours; }
  bool IsUIThread() const { return FDispatcher->IsUIThread(); }
  TModeleScan& Modele() { return FModele; }
  TDossier* Racine() const { return FModele.Racine(); }
  // The grand total of the last finished scan, kept equal to the root's
  // total after deletions.
  Int64 TailleTotale() const { return FTailleTotale; }
  void SetTailleTotale(Int64 Value) { FTailleTotale = Value; }
  TFTPSend& FTP() { return FFTP; }
  IScanSink& Sink() { return FSink; }
  // Whether the last StopScan had to stop a pending FTP command.
  bool DernierArretForce() const { return FDernierArretForce; }

  // Tuning: 26 rounds of 200 ms give a stuck worker about five seconds.
  int ToursArret = 26;
  Cardinal DureeTourMs = 200;
  int ProfondeurMax = 128;

private:
  friend class ThreadScan;
  friend class TSuppressionGuard;
  void ScanTermine(ThreadScan* Thread);
  void Reap();
  void Statut(int Panel, const String& Text);

  TFTPSend& FFTP;
  IScanSink& FSink;
  IDispatcher* FDispatcher;
  TModeleScan FModele;
  Int64 FTailleTotale = 0;
  std::unique_ptr<ThreadScan> FThread;  // the running worker
  std::unique_ptr<ThreadScan> FFini;    // a finished one, deleted later
  bool FSuppressionEnCours = false;
  bool FDernierArretForce = false;
  int FDansRemise = 0;  // > 0 while a hand-over of the worker runs
};

// --- pure helpers of the walk (exposed for tests)

// The target of a listed link: the text after "name -> " in the entry's
// original line; empty when the line shows none.
String CibleLien(const TFTPListRec& Rec);
// "/a//b/./c/../" -> "/a/b"; "" and "/" -> "/". Relative paths keep no
// leading "/" ("a/../b" -> "b").
String NormaliseChemin(const String& Chemin);
// Whether a link listed in the folder Dossier (a server path) with the
// target Cible leads to Dossier itself or to one of its ancestors.
bool LienVersAncetre(const String& Dossier, const String& Cible);
// The root name without a start folder: host, ":" and the port.
String NomRacineHote(const String& Host, Integer Port);
// The start-folder field corrected: "/" put in front when missing.
String CorrigeRacine(const String& Racine);
