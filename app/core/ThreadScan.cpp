#include "app/core/ThreadScan.h"

#include <algorithm>
#include <utility>

#include "app/core/Messages.h"
#include "app/core/TriNoms.h"
#include "net/netutil.h"
#include "rtl/Format.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

// ------------------------------------------------------------ helpers

String NomRacineHote(const String& Host, Integer Port) { return Host + u":" + IntToStr(Port); }

String RaisonEchec(const TFTPSend& FTP) {
  // The socket's error first: after a refused connect or a time-out the
  // reply fields still hold an earlier connection's last reply.
  if (const TTCPBlockSocket* sock = FTP.Sock(); sock && sock->LastError() != 0)
    return sock->LastErrorDesc() + u" (" + IntToStr(sock->LastError()) + u")";
  if (FTP.ResultCode() != 0) return FTP.ResultString();
  return u"no reply";
}

AnsiString CheminDepart(const AnsiString& DossierLogin, const AnsiString& Depart) {
  if (Depart.empty() || Depart[0] == '/') return Depart;
  AnsiString base = DossierLogin.empty() ? AnsiString("/") : DossierLogin;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base == "/" ? "/" + Depart : base + "/" + Depart;
}

namespace {

template <class S>
S NormaliseCheminDe(const S& Chemin) {
  using C = typename S::value_type;
  const C slash = C('/');
  const bool absolu = Chemin.empty() || Chemin[0] == slash;
  std::vector<S> parts;
  std::size_t i = 0;
  while (i <= Chemin.size()) {
    std::size_t j = Chemin.find(slash, i);
    if (j == S::npos) j = Chemin.size();
    S part = Chemin.substr(i, j - i);
    const bool point = part.size() == 1 && part[0] == C('.');
    const bool pointPoint = part.size() == 2 && part[0] == C('.') && part[1] == C('.');
    if (part.empty() || point) {
      // nothing
    } else if (pointPoint) {
      const S& last = parts.empty() ? part : parts.back();
      const bool lastUp = last.size() == 2 && last[0] == C('.') && last[1] == C('.');
      if (!parts.empty() && !lastUp) {
        parts.pop_back();
      } else if (!absolu) {
        parts.push_back(part);
      }
    } else {
      parts.push_back(std::move(part));
    }
    i = j + 1;
  }
  S out;
  for (const S& p : parts) {
    if (!out.empty() || absolu) out += slash;
    out += p;
  }
  if (out.empty() && absolu) out += slash;
  return out;
}

}  // namespace

String NormaliseChemin(const String& Chemin) { return NormaliseCheminDe(Chemin); }
AnsiString NormaliseChemin(const AnsiString& Chemin) { return NormaliseCheminDe(Chemin); }

AnsiString CheminCible(const AnsiString& Dossier, const AnsiString& Cible) {
  if (!Cible.empty() && Cible[0] == '/') return NormaliseChemin(Cible);
  return NormaliseChemin((Dossier.empty() ? AnsiString("/") : Dossier) + "/" + Cible);
}

bool CibleDansAncetres(const std::vector<AnsiString>& Reels, const AnsiString& Cible) {
  if (Cible.empty() || Cible[0] != '/') return false;
  for (const AnsiString& reel : Reels) {
    if (reel == Cible || Cible == "/") return true;
    if (reel.size() > Cible.size() && reel.compare(0, Cible.size(), Cible) == 0 && reel[Cible.size()] == '/')
      return true;
  }
  return false;
}

bool LienVersAncetre(const String& Dossier, const String& Cible) {
  if (Cible.empty()) return false;
  const String dossier = NormaliseChemin(Dossier.empty() ? String(u"/") : Dossier);
  const String cible = NormaliseChemin(Cible[0] == u'/' ? Cible : dossier + u"/" + Cible);
  if (cible.empty() || cible[0] != u'/') return false;
  if (cible == u"/" || cible == dossier) return true;
  return dossier.size() > cible.size() && dossier.compare(0, cible.size(), cible) == 0 && dossier[cible.size()] == u'/';
}

namespace {

struct TEntree {
  String Nom;
  AnsiString Octets;
  bool Dossier = false;
  bool Boucle = false;
  bool Lien = false;
  AnsiString Reel;
  AnsiString Retour;  // a link back: the folder above it where it leads
  Int64 Taille = 0;   // bytes
  TDateTime Date = 0;
};

// A translated text with its arguments; a text Format refuses shows the
// text and the arguments after it.
String Message(const String& Cle, std::initializer_list<TVarRec> Args, const String& Repli) {
  try {
    return Format(AppMsg(Cle), Args);
  } catch (const Exception&) {
    return AppMsg(Cle) + u" " + Repli;
  }
}

}  // namespace

// ------------------------------------------------------------ worker

ThreadScan::ThreadScan(TScanSession& Session, IDispatcher& Dispatcher)
    : TThread(true), FSession(Session), FDispatcher(Dispatcher), FFTP(Session.FTP()) {}

void ThreadScan::Send(std::function<void()> Work) { FSession.Remet(FDispatcher, std::move(Work)); }

void ThreadScan::ConnexionPerdue(const String& Commande) {
  String why = Commande;
  if (TTCPBlockSocket* sock = FFTP.Sock(); sock && sock->LastError() != 0)
    why += u": " + sock->LastErrorDesc() + u" (" + IntToStr(sock->LastError()) + u")";
  else
    why += u": no reply";
  throw EScanError(why);
}

void ThreadScan::Execute() {
  try {
    bool racineAtteinte;
    {
      TDelaiCourt delai(FFTP, FDelaiRacineMs);
      racineAtteinte = FFTP.ChangeWorkingDirRaw(FCwdRacine);
    }
    if (!racineAtteinte) {
      // A start folder that cannot be entered (missing, forbidden) is an
      // error, not an empty folder: the root is marked and never listed.
      const String raison = RaisonEchec(FFTP);
      FFin = Terminated() ? TFinScan::Annule : TFinScan::Erreur;
      FMessage = u"CWD " + FCheminRacine + u": " + raison;
      if (!Terminated())
        Send([this, raison] {
          FRacine->Etat = TEtatDossier::AccesRefuse;
          FRacine->Reponse = raison;
          FSession.FSink.FolderMarked(FRacine);
        });
      return;
    }
    Send([this] { FSession.Statut(Panneau::Progression, u"racine"); });
    ScanDossier({FRacine, FCheminRacine, FOctetsRacine, NormaliseChemin(FOctetsRacine), true, false}, true, 0);
    FFin = Terminated() ? TFinScan::Annule : TFinScan::Termine;
  } catch (const Exception& e) {
    FFin = Terminated() ? TFinScan::Annule : TFinScan::Erreur;
    FMessage = e.Message();
  } catch (const std::exception& e) {
    FFin = Terminated() ? TFinScan::Annule : TFinScan::Erreur;
    FMessage = UTF8ToUTF16(e.what());
  } catch (...) {
    // Reported: the completion step shows FMessage as the scan's error.
    FFin = Terminated() ? TFinScan::Annule : TFinScan::Erreur;
    FMessage = u"unknown error";
  }
}

void ThreadScan::DoTerminate() {
  try {
    Send([this] { FSession.ScanTermine(this); });
  } catch (...) {
    // Dispatcher shut down: StopScan (or the session's destructor) runs the
    // completion step itself once it sees the thread finished.
  }
}

void ThreadScan::ScanDossier(const TDossierAParcourir& D, bool Racine, int Profondeur) {
  TDossier* const dossier = D.Dossier;
  auto marque = [this, dossier](TEtatDossier etat, String reponse) {
    Send([this, dossier, etat, &reponse] {
      dossier->Etat = etat;
      dossier->Reponse = std::move(reponse);
      FSession.FSink.FolderMarked(dossier);
    });
  };

  AnsiString reel = D.Reel;
  if (!Racine) {
    // The root's change of folder was made by LanceScan. The path is shown
    // without waiting: a wait costs two thread switches per folder, which
    // on a busy machine is most of the walk's time. It is dropped once the
    // scan has ended, so that it never replaces the end's text.
    FDispatcher.Post(
        [vivant = std::weak_ptr<bool>(FSession.FVivant), session = &FSession, worker = this, chemin = D.Chemin] {
          if (vivant.lock() && session->FThread.get() == worker) session->Statut(Panneau::Progression, chemin);
        });
    if (!FFTP.ChangeWorkingDirRaw(D.Octets)) {
      if (FFTP.ResultCode() == 0) ConnexionPerdue(u"CWD " + D.Chemin);
      marque(TEtatDossier::AccesRefuse, FFTP.ResultString());
      return;
    }
    if (D.Lien) {
      // Where the server says the link took us: a folder being walked, or
      // one above them, would be walked again.
      const AnsiString pwd = FFTP.GetCurrentDirRaw();
      if (FFTP.ResultCode() == 0) ConnexionPerdue(u"PWD " + D.Chemin);
      if (!pwd.empty() && pwd[0] == '/') {
        const AnsiString ici = NormaliseChemin(pwd);
        if (CibleDansAncetres(FReels, ici)) {
          marque(TEtatDossier::Boucle, DecodeWireText(ici));
          return;
        }
        if (reel.empty()) reel = ici;
      }
    }
  }
  if (reel.empty()) reel = NormaliseChemin(D.Octets);
  if (!FFTP.List(String(), false)) {
    if (FFTP.ResultCode() == 0) ConnexionPerdue(u"LIST " + D.Chemin);
    marque(TEtatDossier::ListeEchouee, FFTP.ResultString());
    return;
  }

  // The listing, copied for the hand-over.
  FReels.push_back(reel);
  const TScopeExit depile([this] { FReels.pop_back(); });
  const TFTPList* liste = FFTP.FtpList();
  const Integer n = liste->Count();
  std::vector<TEntree> entrees;
  entrees.reserve(static_cast<std::size_t>(n));
  const bool tropProfond = Profondeur + 1 > FProfondeurMax;
  for (Integer i = 0; i < n; ++i) {
    const TFTPListRec* rec = liste->Items(i);
    TEntree e;
    e.Nom = rec->FileName;
    e.Octets = rec->RawFileName;
    e.Dossier = rec->Directory;
    e.Taille = rec->FileSize;
    e.Date = rec->FileTime;
    if (e.Dossier) {
      e.Lien = !rec->LinkTarget.empty() ||
               (!rec->Permission.empty() && (rec->Permission[0] == u'l' || rec->Permission[0] == u'L'));
      e.Reel = rec->LinkTarget.empty() ? AnsiString() : CheminCible(reel, rec->LinkTarget);
      if (!e.Reel.empty() && CibleDansAncetres(FReels, e.Reel)) e.Retour = e.Reel;
      e.Boucle = tropProfond || !e.Retour.empty();
      if (!e.Lien) e.Reel = reel == "/" ? "/" + e.Octets : reel + "/" + e.Octets;
    }
    entrees.push_back(std::move(e));
  }
  // Folders in the order the system's file manager gives their names
  // (TriNoms.h), each in a slot a folder had in the listing: the tree, the
  // pie and the walk follow it.
  {
    std::vector<std::size_t> places;
    std::vector<TEntree> dossiers;
    for (std::size_t i = 0; i < entrees.size(); ++i)
      if (entrees[i].Dossier) {
        places.push_back(i);
        dossiers.push_back(std::move(entrees[i]));
      }
    std::stable_sort(dossiers.begin(), dossiers.end(),
                     [](const TEntree& a, const TEntree& b) { return CompareNoms(a.Nom, b.Nom) < 0; });
    for (std::size_t k = 0; k < places.size(); ++k) entrees[places[k]] = std::move(dossiers[k]);
  }
  const std::vector<String> nonCompris = liste->NotUnderstoodLines();
  FLignesNonComprises += static_cast<Integer>(nonCompris.size());

  std::vector<TDossierAParcourir> enfants;
  Send([this, dossier, &entrees, &enfants, &nonCompris] {
    TModeleScan& modele = FSession.FModele;
    IScanSink& sink = FSession.FSink;
    dossier->Etat = TEtatDossier::Normal;  // reached and listed
    if (!nonCompris.empty()) {
      dossier->LignesNonComprises = static_cast<Integer>(nonCompris.size());
      sink.LogText(Message(u"LignesNonComprises", {dossier->Chemin, IntToStr(nonCompris.size()), nonCompris.front()},
                           dossier->Chemin + u": " + nonCompris.front()));
    }
    for (TEntree& e : entrees) {
      if (e.Dossier) {
        TDossier* c = modele.AjouteDossier(dossier, e.Nom, e.Octets);
        c->Lien = e.Lien;
        if (e.Boucle) {
          c->Etat = TEtatDossier::Boucle;
          if (!e.Retour.empty()) c->Reponse = DecodeWireText(e.Retour);
        } else {
          c->Etat = TEtatDossier::NonParcouru;  // until its own listing
        }
        enfants.push_back({c, c->Chemin, c->CheminOctets, e.Reel, !e.Boucle, e.Lien});
        sink.FolderAdded(c);
        if (e.Boucle) sink.FolderMarked(c);
      } else {
        TFichier* f = dossier->AjouteFichier(e.Nom, e.Octets, e.Taille, e.Date);
        for (TDossier* a = dossier->Pere; a; a = a->Pere) a->OctetsSousDossier += f->Octets;
        sink.FileAdded(f);
      }
      if (Terminated()) break;
    }
    sink.TotalsChanged(dossier);
  });

  for (const TDossierAParcourir& c : enfants) {
    if (Terminated()) break;
    if (c.Entrer) ScanDossier(c, false, Profondeur + 1);
  }
}

// ------------------------------------------------------------ session

TScanSession::TScanSession(TFTPSend& FTP, IScanSink& Sink, IDispatcher* Dispatcher)
    : FFTP(FTP), FSink(Sink), FDispatcher(Dispatcher ? Dispatcher : MainDispatcher()) {
  if (!FDispatcher) throw EArgumentException(u"TScanSession needs a dispatcher");
}

TScanSession::~TScanSession() {
  try {
    StopScan();
  } catch (...) {
    // A destructor cannot report; Reap below still waits for the thread.
  }
  Reap();
}

void TScanSession::Remet(IDispatcher& Dispatcher, std::function<void()> Work) {
  Dispatcher.Send([this, &Work] {
    // While a worker waits for this hand-over it cannot end: the session
    // must not wait for it (StopScan) nor reuse the client meanwhile.
    ++FDansRemise;
    const TScopeExit fin([this] { --FDansRemise; });
    Work();
  });
}

void TScanSession::Statut(int Panel, const String& Text) { FSink.StatusText(Panel, Text); }

void TScanSession::Reap() {
  // One still in its end step's hand-over (a log-in's end starts the scan)
  // waits for the caller: deleting it would wait for ever.
  if (FFini && FFini->Finished()) FFini.reset();
  if (FTravailFini && FTravailFini->Finished()) FTravailFini.reset();
}

void TScanSession::LitDossierLogin() {
  const AnsiString pwd = FFTP.GetCurrentDirRaw();
  FDossierLogin = !pwd.empty() && pwd[0] == '/' ? pwd : AnsiString("/");
  FSocketLogin = FFTP.Sock() ? FFTP.Sock()->Socket() : INVALID_SOCKET_HANDLE;
}

String TScanSession::DossierLogin() const { return DecodeWireText(FDossierLogin); }

bool TScanSession::ConnexionOuverte() const {
  if (Occupee()) return false;
  const TTCPBlockSocket* sock = FFTP.Sock();
  return sock && sock->Socket() != INVALID_SOCKET_HANDLE;
}

// ------------------------------------------------------------ other workers

TTravailSession::TTravailSession(TScanSession& Session) : TThread(true), FSession(Session) {}

void TTravailSession::Remet(std::function<void()> Work) { FSession.Remet(*FSession.FDispatcher, std::move(Work)); }

void TTravailSession::DoTerminate() {
  try {
    Remet([this] { FSession.TravailTermine(this); });
  } catch (...) {
    // Dispatcher shut down: StopScan runs the end step itself once it sees
    // the thread finished.
  }
}

ThreadLogin::ThreadLogin(TScanSession& Session, const TParamsConnexion& P) : TTravailSession(Session), FParams(P) {}

void ThreadLogin::TerminatedSet() { FAnnule.store(true); }

void ThreadLogin::Execute() {
  TFTPSend& ftp = FSession.FFTP;
  TTCPBlockSocket* sock = ftp.Sock();
  // Lent to the control connection for the log-in: a cancel ends the wait
  // in progress and every later one, also one made before the socket was.
  sock->SetStopSignal(&FAnnule);
  const TScopeExit rend([&ftp] { ftp.Sock()->SetStopSignal(ftp.StopSignal()); });
  try {
    if (sock->Socket() != INVALID_SOCKET_HANDLE) {
      TDelaiCourt delai(ftp, FSession.DelaiLoginMs);
      if (ftp.Logout()) Remet([this] { FSession.Statut(Panneau::Connexion, AppMsg(u"Deco")); });
    }
    if (Terminated()) return;
    ftp.TargetHost = FParams.Host;
    ftp.TargetPort = IntToStr(FParams.Port);
    ftp.UserName = FParams.User;
    ftp.Password = FParams.Pass;
    ftp.PassiveMode = FParams.Passif;
    TDelaiCourt delai(ftp, FSession.DelaiLoginMs);
    FConnecte = ftp.Login() && !Terminated();
    // Read once, right after the log-in: later the connection stands
    // wherever the last scan or deletion left it.
    if (FConnecte) FSession.LitDossierLogin();
    FConnecte = FConnecte && !Terminated();
  } catch (...) {
    FConnecte = false;
  }
  // A refused or cancelled log-on leaves nothing open: no deletion is
  // offered on it, and the next log-in does not QUIT into it.
  if (!FConnecte) {
    if (!Terminated()) FRaison = RaisonEchec(ftp);
    sock->CloseSocket();
  }
}

void ThreadLogin::Termine() {
  TScanSession& s = FSession;
  const bool connecte = FConnecte;
  const bool annule = Terminated() && !connecte;
  const TParamsConnexion p = FParams;
  s.FSink.LoginFinished(connecte);
  s.FSink.ConnectionChanged(connecte);
  if (!connecte) {
    s.Statut(Panneau::Connexion, AppMsg(annule ? u"Deco" : u"Erreur"));
    if (!annule) {
      s.FDerniereErreur = FRaison;
      const String texte = AppMsg(u"Erreur") + u" : " + FRaison;
      s.Statut(Panneau::Progression, texte);
      s.FSink.LogText(texte);
    }
    return;
  }
  s.FReconnexionPermise = true;
  s.Statut(Panneau::Connexion, AppMsg(u"Connecte"));
  s.LanceScan(p.Racine, p.Host, p.Port);
}

void TScanSession::TravailTermine(TTravailSession* Worker) {
  const bool login = Worker && FLogin.get() == Worker;
  if (!Worker || (!login && FSuppression.get() != Worker)) return;
  // The worker waits for this step: it is deleted later (Reap).
  FTravailFini.reset();
  if (login)
    FTravailFini = std::move(FLogin);
  else
    FTravailFini = std::move(FSuppression);
  // The worker's body has returned: it holds nothing the session may wait
  // for, so this step may start the next one (the scan after a log-in).
  const int remise = FDansRemise;
  FDansRemise = 0;
  const TScopeExit rend([this, remise] { FDansRemise = remise; });
  Worker->Termine();
}

bool TScanSession::LanceTravail(std::unique_ptr<TTravailSession> Worker) {
  if (Occupee() || FDansRemise > 0 || !Worker) return false;
  Reap();
  FSuppression = std::move(Worker);
  FSuppression->Start();
  return true;
}

// ------------------------------------------------------------ session

bool TScanSession::Connecte(const TParamsConnexion& P) {
  if (FLogin || FSuppression || FDansRemise > 0) return false;
  StopScan();
  if (Occupee()) return false;
  Reap();
  FDossierLogin.clear();
  FSocketLogin = INVALID_SOCKET_HANDLE;
  FReconnexionPermise = false;
  FDerniereErreur.clear();
  FLogin = std::make_unique<ThreadLogin>(*this, P);
  FSink.LoginStarted();
  FLogin->Start();
  return true;
}

bool TScanSession::LanceScan(const String& StartFolder, const String& Host, Integer Port) {
  if (Occupee() || FDansRemise > 0) return false;
  Reap();
  auto worker = std::make_unique<ThreadScan>(*this, *FDispatcher);
  worker->FProfondeurMax = ProfondeurMax;
  // The views let go of the old model's objects before they are destroyed.
  FSink.ScanStarted();
  // A connection this session did not log in: its folder now is the best
  // guess of its login folder.
  if (FFTP.Sock() && FFTP.Sock()->Socket() != FSocketLogin) LitDossierLogin();
  FFTP.ListHidden = true;
  const AnsiString chemin =
      StartFolder.empty() ? FDossierLogin : CheminDepart(FDossierLogin, FFTP.EncodeText(StartFolder));
  TDossier* racine;
  if (!StartFolder.empty()) {
    // Sub-folder paths are the start folder's plain concatenations.
    racine = FModele.CreeRacine(DecodeWireText(chemin), chemin, chemin);
    FSink.StartFolderShown(racine->Chemin);
  } else {
    AnsiString prefixe = chemin;
    while (!prefixe.empty() && prefixe.back() == '/') prefixe.pop_back();
    racine = FModele.CreeRacine(NomRacineHote(Host, Port), chemin, prefixe);
  }
  // Every scan starts from its root, wherever the connection stands: the
  // worker's first command, so that a silent server holds no window.
  worker->FCwdRacine = chemin;
  worker->FDelaiRacineMs = DelaiLoginMs;
  racine->Etat = TEtatDossier::NonParcouru;
  worker->strRacine = racine->Nom;
  worker->FRacine = racine;
  worker->FCheminRacine = racine->Chemin;
  worker->FOctetsRacine = racine->CheminOctets;
  FSink.FolderAdded(racine);
  FThread = std::move(worker);
  FThread->Start();
  return true;
}

void TScanSession::WaitClick() {
  if (TThread* t = Travailleur()) t->Terminate();
}

TThread* TScanSession::Travailleur() const {
  if (FThread) return FThread.get();
  if (FLogin) return FLogin.get();
  return FSuppression.get();
}

void TScanSession::ScanTermine(ThreadScan* Thread) {
  if (!Thread || FThread.get() != Thread) return;
  FFini.reset();  // an older finished worker, long done
  FFini = std::move(FThread);
  FTailleTotale = FModele.Total();
  Thread->Taille = FTailleTotale;
  TResultatScan r;
  r.Fin = Thread->FFin;
  r.TailleTotale = FTailleTotale;
  r.Message = Thread->FMessage;
  r.Racine = FModele.Racine();
  r.LignesNonComprises = Thread->FLignesNonComprises;
  if (r.Fin == TFinScan::Erreur) {
    const String texte = r.Message.empty() ? AppMsg(u"Erreur") : AppMsg(u"Erreur") + u" : " + r.Message;
    Statut(Panneau::Progression, texte);
    FSink.LogText(texte);
  } else if (r.Fin == TFinScan::Annule) {
    Statut(Panneau::Progression, AppMsg(u"Annule"));
  } else if (r.LignesNonComprises > 0) {
    Statut(Panneau::Progression,
           Message(u"TermineIncomplet", {IntToStr(r.LignesNonComprises)}, IntToStr(r.LignesNonComprises)));
  } else {
    Statut(Panneau::Progression, AppMsg(u"Termine"));
  }
  FSink.ScanFinished(r);
}

void TScanSession::StopScan() {
  if (FDansRemise > 0) {
    // Called from a sink call during a hand-over: the worker waits for us,
    // so waiting for it would never end. Ask it to end; it will.
    if (TThread* t = Travailleur()) t->Terminate();
    return;
  }
  if (!Travailleur()) {
    Reap();
    return;
  }
  FDernierArretForce = false;
  Statut(Panneau::Connexion, AppMsg(u"WaitDeco"));
  // Only one worker runs at a time; the end step of a log-in may start a
  // scan, which is stopped in turn.
  while (TThread* t = Travailleur()) {
    auto fini = [this, t] { return Travailleur() != t || t->Finished(); };
    for (int round = 0; round < ToursArret && !fini(); ++round) {
      t->Terminate();
      FDispatcher->WaitServingSends(fini, DureeTourMs);
    }
    if (!fini()) {
      // Stuck in an FTP command: stop the client's pending wait (the
      // worker then fails at once and ends) and keep serving until it has.
      FDernierArretForce = true;
      while (!fini()) {
        t->Terminate();
        if (TTCPBlockSocket* s = FFTP.Sock()) s->SetStopFlag(true);
        if (TTCPBlockSocket* s = FFTP.DSock()) s->SetStopFlag(true);
        FDispatcher->WaitServingSends(fini, DureeTourMs);
      }
    }
    // Finished without its end step (the dispatcher was shut down).
    if (Travailleur() == t) {
      if (FThread.get() == t)
        ScanTermine(FThread.get());
      else if (FLogin.get() == t)
        TravailTermine(FLogin.get());
      else
        TravailTermine(FSuppression.get());
    }
  }
  Reap();
  if (FDernierArretForce) {
    // The control connection is out of step with the server now.
    if (TTCPBlockSocket* s = FFTP.Sock()) {
      s->CloseSocket();
      s->SetStopFlag(false);
    }
    if (TTCPBlockSocket* s = FFTP.DSock()) {
      s->CloseSocket();
      s->SetStopFlag(false);
    }
  }
}

void TScanSession::Deconnecte() {
  if (FSuppression || FDansRemise > 0) return;
  StopScan();
  FReconnexionPermise = false;
  if (FFTP.Logout()) Statut(Panneau::Connexion, AppMsg(u"Deco"));
}

bool TScanSession::Reconnecte(String& Raison) {
  if (Occupee() || FDansRemise > 0 || !IsUIThread()) {
    Raison.clear();
    return false;
  }
  return ReconnecteAvec(Raison, [](const std::function<void()>& Work) { Work(); });
}

bool TScanSession::ReconnecteAvec(String& Raison, const std::function<void(std::function<void()>)>& Visible) {
  if (!FReconnexionPermise) {
    Raison = AppMsg(u"Deco");
    return false;
  }
  auto echec = [this, &Visible](const String& Why) {
    Visible([this] {
      FSink.ConnectionChanged(false);
      Statut(Panneau::Connexion, AppMsg(u"Erreur"));
    });
    return Why;
  };
  TDelaiCourt delai(FFTP, DelaiLoginMs);
  if (!FFTP.Login()) {
    const String why = RaisonEchec(FFTP);
    // Left open by a refused log-on; the next attempt opens a new one.
    if (TTCPBlockSocket* sock = FFTP.Sock()) sock->CloseSocket();
    Raison = echec(u"Login " + FFTP.UserName + u"@" + FFTP.TargetHost + u": " + why);
    return false;
  }
  // The model's paths were made from the login folder: another one (another
  // account's home, another server behind the address) could give them
  // other meanings.
  const AnsiString pwd = FFTP.GetCurrentDirRaw();
  const AnsiString dossier = !pwd.empty() && pwd[0] == '/' ? pwd : AnsiString("/");
  if (dossier != FDossierLogin) {
    FFTP.Logout();
    Raison = echec(u"PWD \"" + DecodeWireText(dossier) + u"\" \u2260 \"" + DossierLogin() + u"\"");
    return false;
  }
  FSocketLogin = FFTP.Sock() ? FFTP.Sock()->Socket() : INVALID_SOCKET_HANDLE;
  Visible([this] {
    FSink.ConnectionChanged(true);
    Statut(Panneau::Connexion, AppMsg(u"Connecte"));
  });
  return true;
}
