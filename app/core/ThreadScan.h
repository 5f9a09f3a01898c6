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
// for each: the whole listing (folders, files, sizes), or the folder's mark
// when its CWD or LIST failed. The path shown before each folder's CWD is
// posted (IDispatcher::Post), not waited for, and dropped once the scan has
// ended.
// The log-in (ThreadLogin) and deletions (Suppression.h) run on workers of
// the same shape, one worker of the three at a time: each drives the client
// alone while it runs, hands its changes over with IDispatcher::Send, and
// ends with a step on the user-interface thread; the busy bar's click
// (WaitClick) asks the running one to end.
// The model (Dossiers.h) and every IScanSink call are on the user-interface
// thread only. The worker keeps its own copies of the folders' paths and
// reads nothing of the model.
//
// Sizes, in bytes: a listing's files are counted in their folder's Octets
// and carried up to every ancestor's OctetsSousDossier in the same
// hand-over (adding a sub-folder's total to its parent only when the
// sub-folder's walk returns would leave the ancestors short after an
// error). At every
// moment, and so after a cancel, a stop or an error, each folder's total is
// the sum of the files counted below it.
//
// Faults handled:
// - The login folder is read once after log-in (PWD) and every scan on the
//   connection starts there, whatever folder earlier scans or deletions
//   left the connection in (each scan changes to its root first). Without
//   a start folder the root is the login folder; a start folder without a
//   leading "/" lies below it (on a server whose login folder is /home/u,
//   "site" is /home/u/site, not /site, which would name another folder,
//   and a later RMD would delete the wrong one); with a "/" it is absolute.
//   The start-folder field then shows the full path scanned. When PWD is
//   refused the login folder counts as "/".
// - Paths are sent as the server's own bytes: each name as it was listed,
//   so a name in another encoding than the one shown is still found.
// - Names beginning with "." are counted where the server lists them for
//   "LIST -a" (TFTPSend::ListHidden).
// - Listing lines the parser did not understand are never silent: the log
//   hears how many of which folder, with the first of them, and the end of
//   the scan says the totals may be short.
// - A refused change to the start folder, a lost control connection and any
//   error raised inside the walk end the scan with TFinScan::Erreur: panel 3
//   shows the "Erreur" text with the reason, never "Termine", and the totals
//   counted so far stay (TailleTotale is the root's partial total).
// - A folder whose CWD is refused is marked (TEtatDossier::AccesRefuse) and
//   not listed, so it never gets the listing of the folder the connection
//   still stands in; so is a root the walk cannot enter (a start folder that
//   does not exist), and the scan ends with Erreur.
// - A folder stays NonParcouru from its parent's listing to its own, so the
//   folders a cancel, a stop or an error left unreached do not pass for
//   empty ones. A cancelled scan says so ("Annule"), not "Termine".
// - A failed log-in tells why (RaisonEchec) in panel 3 and in the log.
// - Only a symbolic link can lead back to a folder being walked, and what
//   the server says about it decides: a link whose target ("name ->
//   target") is one of the folders being walked, or a folder above one of
//   them, is added but not entered; a link entered (its target not shown)
//   whose PWD names such a folder is not listed. Every folder's real path
//   (its target's for a link) is what those checks compare with, so a loop
//   through a chain of links is found too. Two folders whose listings are
//   alike are two folders. Nothing deeper than ProfondeurMax levels is
//   entered, the last guard. Such folders are marked Boucle.
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
  // Listing lines not understood over the whole scan: when not 0, the
  // totals may be short.
  Integer LignesNonComprises = 0;
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
  // The start-folder field is to show the full path scanned.
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
  // A line for the log pane, among the FTP dialogue's (translated).
  virtual void LogText(const String& /*Text*/) {}
  // The scan ended (after a cancel, a stop or an error too): expand and
  // select the root, update the free space and the usage bar, stop the busy
  // bar, show the usage bar, restore the cursor. No scan runs any more.
  virtual void ScanFinished(const TResultatScan& /*Result*/) {}
  // Deletions (Suppression.h): the folder or file is about to be removed from
  // the model (delete its node; for a folder at or above the one shown,
  // select its parent first). A folder's deletion removes its files and
  // sub-folders one by one before the folder itself.
  virtual void FolderRemoving(TDossier* /*Dossier*/) {}
  virtual void FileRemoving(TFichier* /*Fichier*/) {}
  // The common end of a deletion: update free space, usage bar and pie; the
  // deletion's worker has ended (stop the busy bar, show the usage bar).
  virtual void DeletionDone() {}
  // A log-in starts on its worker (Connect): show and activate the busy
  // bar, whose click cancels it.
  virtual void LoginStarted() {}
  // The log-in ended (connected, failed or cancelled): before
  // ConnectionChanged and, when it worked, before the scan starts.
  virtual void LoginFinished(bool /*Connected*/) {}
  // A deletion starts on its worker: show and activate the busy bar, whose
  // click stops the deletion between two commands.
  virtual void DeletionStarted() {}
};

// The client's time-out, shortened while it stands: a silent host must
// fail a log-in, or the first command of a deletion, well before the
// client's own time-out of minutes.
class TDelaiCourt {
public:
  TDelaiCourt(TFTPSend& FTP, Integer Ms) : FFTP(FTP), FAvant(FTP.Timeout) {
    if (Ms > 0 && Ms < FAvant) FFTP.Timeout = Ms;
  }
  ~TDelaiCourt() { FFTP.Timeout = FAvant; }
  TDelaiCourt(const TDelaiCourt&) = delete;
  TDelaiCourt& operator=(const TDelaiCourt&) = delete;

private:
  TFTPSend& FFTP;
  Integer FAvant;
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

// A worker of the session besides the scan (the log-in, a deletion). Its
// end step runs on the user-interface thread once its body has returned:
// handed over by DoTerminate, or run by StopScan when the dispatcher was
// shut down. Made and owned by the session.
class TTravailSession : public TThread {
public:
  explicit TTravailSession(TScanSession& Session);

protected:
  friend class TScanSession;
  // The end step; the session runs it once.
  virtual void Termine() = 0;
  void DoTerminate() override;
  // Runs Work on the user-interface thread and waits for it (a hand-over).
  void Remet(std::function<void()> Work);
  TScanSession& FSession;
};

// The worker of one log-in (Connect): QUIT an open connection, log in,
// read the login folder. A cancel (Terminate) ends every wait of the
// control connection at once.
class ThreadLogin : public TTravailSession {
public:
  ThreadLogin(TScanSession& Session, const TParamsConnexion& P);

protected:
  void Execute() override;
  void Termine() override;
  void TerminatedSet() override;

private:
  TParamsConnexion FParams;
  std::atomic<bool> FAnnule{false};
  bool FConnecte = false;
  String FRaison;  // why the log-in failed: read before the socket closes
};

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
    String Chemin;                // shown
    AnsiString Octets;            // sent (CWD)
    // Where the folder really is, as the server names it: the parent's
    // real path and the name, or for a link its target (or its PWD).
    AnsiString Reel;
    bool Entrer = true;
    bool Lien = false;
  };
  void ScanDossier(const TDossierAParcourir& D, bool Racine, int Profondeur);
  void Send(std::function<void()> Work);
  [[noreturn]] void ConnexionPerdue(const String& Commande);

  TScanSession& FSession;
  IDispatcher& FDispatcher;
  TFTPSend& FFTP;
  TDossier* FRacine = nullptr;
  String FCheminRacine;
  AnsiString FOctetsRacine;
  int FProfondeurMax = 128;
  // The root's change of folder, the body's first command, and how long
  // it may stay silent.
  AnsiString FCwdRacine;
  Integer FDelaiRacineMs = 30000;
  // The real paths of the folders being walked (root first).
  std::vector<AnsiString> FReels;
  // Listing lines not understood so far.
  Integer FLignesNonComprises = 0;
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

  // The Connect action (aConnectExecute): StopScan, copy the parameters
  // into the client, then on a log-in worker (ThreadLogin) QUIT an open
  // connection and log in; the window keeps running meanwhile and the busy
  // bar's click (WaitClick) cancels. The end runs on the user-interface
  // thread: LoginFinished, ConnectionChanged, panel 0 ("Connecte",
  // "Erreur", or "Deco" after a cancel), and on success LanceScan. Returns
  // whether the log-in started (not while a log-in or a deletion runs, nor
  // from a hand-over).
  bool Connecte(const TParamsConnexion& P);
  // Starts a scan on the logged-in client (LanceScan). StartFolder is the
  // start-folder field (see the header comment; the full path scanned goes
  // to StartFolderShown), Host and Port name the root when it is empty.
  // False when a scan or a deletion runs.
  bool LanceScan(const String& StartFolder, const String& Host, Integer Port);
  // The folder the server logged the connection into, as shown ("/" when
  // PWD was refused); empty before a log-in.
  String DossierLogin() const;
  // Busy-bar click: asks the running worker (scan, log-in or deletion) to
  // end; nothing when none runs.
  void WaitClick();
  // Asks the running worker (scan, log-in or deletion) to end and waits for
  // it (ToursArret rounds of
  // DureeTourMs, serving the worker's hand-overs). When it still runs after
  // them (stuck in an FTP command up to the client's time-out), the pending
  // wait of the client is stopped, the walk ends, and the control
  // connection, no longer in step, is closed. Returns when the worker has
  // ended and its completion step has run.
  void StopScan();
  // The Disconnect action: StopScan, then QUIT.
  void Deconnecte();
  // After the server dropped the control connection a Connect opened (an
  // idle session closed, a 421, a NAT box that forgot it): logs in once more
  // with the same parameters and checks that the login folder (PWD) is the
  // one the model's paths were made from. False, with the reason in Raison,
  // when no scan or deletion may drive the client now, when the connection
  // was closed by Disconnect (or never opened by Connect), when the log-in
  // fails, or when the login folder differs: then the connection is closed,
  // so that the next attempt checks again. Panel 0 and ConnectionChanged
  // tell the outcome as Connect does.
  bool Reconnecte(String& Raison);

  bool ScanEnCours() const { return FThread != nullptr; }
  bool LoginEnCours() const { return FLogin != nullptr; }
  bool SuppressionEnCours() const { return FSuppression != nullptr; }
  // Whether a scan, a log-in or a deletion runs.
  bool Occupee() const { return FThread || FLogin || FSuppression; }
  // Whether the control connection is open (and no worker drives it: read
  // only on the user-interface thread while none runs).
  bool ConnexionOuverte() const;
  IDispatcher& Dispatcher() const { return *FDispatcher; }
  bool IsUIThread() const { return FDispatcher->IsUIThread(); }
  TModeleScan& Modele() { return FModele; }
  TDossier* Racine() const { return FModele.Racine(); }
  // The grand total of the last finished scan, kept equal to the root's
  // total after deletions.
  Int64 TailleTotale() const { return FTailleTotale; }
  void SetTailleTotale(Int64 Value) { FTailleTotale = Value; }
  TFTPSend& FTP() { return FFTP; }
  IScanSink& Sink() { return FSink; }
  // Why the last Connect failed to log in (the server's reply or the
  // socket's error); empty after a successful one.
  const String& DerniereErreur() const { return FDerniereErreur; }
  // Whether the last StopScan had to stop a pending FTP command.
  bool DernierArretForce() const { return FDernierArretForce; }

  // Tuning: 26 rounds of 200 ms give a stuck worker about five seconds.
  int ToursArret = 26;
  Cardinal DureeTourMs = 200;
  int ProfondeurMax = 128;
  // How long a deletion waits for the reply to its first command before it
  // takes the connection for lost (Suppression.h); the client's own
  // time-out, minutes long, would freeze the window.
  Integer DelaiSondeMs = 15000;
  // How long a log-in (connect, greeting, each reply) and the root's change
  // of folder may stay silent before they fail.
  Integer DelaiLoginMs = 30000;

  // Starts a deletion's worker (Suppression.cpp); false while another
  // worker runs or from a hand-over.
  bool LanceTravail(std::unique_ptr<TTravailSession> Worker);

private:
  friend class ThreadScan;
  friend class TTravailSession;
  friend class ThreadLogin;
  friend class ThreadSuppression;
  void ScanTermine(ThreadScan* Thread);
  void TravailTermine(TTravailSession* Worker);
  // A worker's hand-over: runs Work on the user-interface thread and waits.
  void Remet(IDispatcher& Dispatcher, std::function<void()> Work);
  // The running worker (at most one), or nullptr.
  TThread* Travailleur() const;
  void Reap();
  void Statut(int Panel, const String& Text);
  // Reconnecte's work; Visible carries out the sink calls (at once on the
  // user-interface thread, as hand-overs from a worker).
  bool ReconnecteAvec(String& Raison, const std::function<void(std::function<void()>)>& Visible);

  TFTPSend& FFTP;
  IScanSink& FSink;
  IDispatcher* FDispatcher;
  TModeleScan FModele;
  Int64 FTailleTotale = 0;
  std::unique_ptr<ThreadScan> FThread;  // the running worker
  // Posted work checks it before touching the session.
  std::shared_ptr<bool> FVivant = std::make_shared<bool>(true);
  std::unique_ptr<ThreadScan> FFini;              // a finished one, deleted later
  std::unique_ptr<ThreadLogin> FLogin;            // the running log-in
  std::unique_ptr<TTravailSession> FSuppression;  // the running deletion
  std::unique_ptr<TTravailSession> FTravailFini;  // ended, deleted later
  bool FDernierArretForce = false;
  String FDerniereErreur;
  int FDansRemise = 0;  // > 0 while a hand-over of the worker runs
  // The login folder's bytes, and the control connection it was read on.
  AnsiString FDossierLogin;
  TSocket FSocketLogin = INVALID_SOCKET_HANDLE;
  // Connect logged in, and Disconnect has not closed the connection since:
  // Reconnecte may log in again.
  bool FReconnexionPermise = false;
  void LitDossierLogin();
};

// --- pure helpers of the walk (exposed for tests)

// "/a//b/./c/../" -> "/a/b"; "" and "/" -> "/". Relative paths keep no
// leading "/" ("a/../b" -> "b").
String NormaliseChemin(const String& Chemin);
AnsiString NormaliseChemin(const AnsiString& Chemin);
// The real path a link listed in the folder Dossier (a real path) leads
// to: Cible itself when absolute, else Cible from Dossier; normalised.
AnsiString CheminCible(const AnsiString& Dossier, const AnsiString& Cible);
// Whether entering the real path Cible would walk a folder being walked
// again: Cible is one of Reels, or a folder above one of them.
bool CibleDansAncetres(const std::vector<AnsiString>& Reels, const AnsiString& Cible);
// Whether a link listed in the folder Dossier (a server path) with the
// target Cible leads to Dossier itself or to one of its ancestors.
bool LienVersAncetre(const String& Dossier, const String& Cible);
// Why the client's last operation failed: the socket's error text and
// code when it has one, else the server's last reply, else "no reply".
String RaisonEchec(const TFTPSend& FTP);
// The root name without a start folder: host, ":" and the port.
String NomRacineHote(const String& Host, Integer Port);
// The path a start folder names: itself with a leading "/", else below the
// login folder (bytes).
AnsiString CheminDepart(const AnsiString& DossierLogin, const AnsiString& Depart);
