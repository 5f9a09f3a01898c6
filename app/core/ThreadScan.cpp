#include "app/core/ThreadScan.h"

#include <algorithm>
#include <utility>

#include "app/core/Messages.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

// ------------------------------------------------------------ helpers

String NomRacineHote(const String& Host, Integer Port) { return Host + u":" + IntToStr(Port); }

String CorrigeRacine(const String& Racine) {
  if (Racine.empty() || Racine[0] == u'/') return Racine;
  return u"/" + Racine;
}

String CibleLien(const TFTPListRec& Rec) {
  const String& line = Rec.OriginalLine;
  std::size_t at = String::npos;
  if (!Rec.FileName.empty()) {
    const std::size_t p = line.find(Rec.FileName + u" -> ");
    if (p != String::npos) at = p + Rec.FileName.size() + 4;
  }
  if (at == String::npos && !Rec.Permission.empty() && (Rec.Permission[0] == u'l' || Rec.Permission[0] == u'L')) {
    const std::size_t p = line.find(u" -> ");
    if (p != String::npos) at = p + 4;
  }
  if (at == String::npos) return String();
  String target = line.substr(at);
  while (!target.empty() && (target.back() == u'\r' || target.back() == u'\n' || target.back() == u' '))
    target.pop_back();
  return target;
}

String NormaliseChemin(const String& Chemin) {
  const bool absolu = Chemin.empty() || Chemin[0] == u'/';
  std::vector<String> parts;
  std::size_t i = 0;
  while (i <= Chemin.size()) {
    std::size_t j = Chemin.find(u'/', i);
    if (j == String::npos) j = Chemin.size();
    String part = Chemin.substr(i, j - i);
    if (part.empty() || part == u".") {
      // nothing
    } else if (part == u"..") {
      if (!parts.empty() && parts.back() != u"..") {
        parts.pop_back();
      } else if (!absolu) {
        parts.push_back(part);
      }
    } else {
      parts.push_back(std::move(part));
    }
    i = j + 1;
  }
  String out;
  for (const String& p : parts) {
    if (!out.empty() || absolu) out += u'/';
    out += p;
  }
  if (out.empty()) return absolu ? String(u"/") : String();
  return out;
}

bool LienVersAncetre(const String& Dossier, const String& Cible) {
  if (Cible.empty()) return false;
  const String dossier = NormaliseChemin(Dossier.empty() ? String(u"/") : Dossier);
  const String cible = NormaliseChemin(Cible[0] == u'/' ? Cible : dossier + u"/" + Cible);
  if (cible.empty() || cible[0] != u'/') return false;
  if (cible == u"/" || cible == dossier) return true;
  return dossier.size() > cible.size() && dossier.compare(0, cible.size(), cible) == 0 &&
         dossier[cible.size()] == u'/';
}

namespace {

// FNV-1a over the listing's lines.
constexpr UInt64 kFnvOffset = 1469598103934665603ull;
constexpr UInt64 kFnvPrime = 1099511628211ull;

void Empreinte(UInt64& h, const String& s) {
  for (Char c : s) {
    h = (h ^ static_cast<UInt64>(c & 0xFF)) * kFnvPrime;
    h = (h ^ static_cast<UInt64>(c >> 8)) * kFnvPrime;
  }
  h = (h ^ 0x0Au) * kFnvPrime;
}

struct TEntree {
  String Nom;
  bool Dossier = false;
  bool Boucle = false;
  Int64 Octets = 0;
  TDateTime Date = 0;
};

}  // namespace

// ------------------------------------------------------------ worker

ThreadScan::ThreadScan(TScanSession& Session, IDispatcher& Dispatcher)
    : TThread(true), FSession(Session), FDispatcher(Dispatcher), FFTP(Session.FTP()) {}

void ThreadScan::Send(std::function<void()> Work) {
  FDispatcher.Send([this, &Work] {
    // While the worker waits for this hand-over it cannot end: the session
    // must not wait for it (StopScan) nor reuse the client meanwhile.
    ++FSession.FDansRemise;
    struct Fin {
      int& n;
      ~Fin() { --n; }
    } fin{FSession.FDansRemise};
    Work();
  });
}

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
    if (FRacineRefusee) {
      FFin = TFinScan::Erreur;
      FMessage = FReponseRacine;
      return;
    }
    Send([this] { FSession.Statut(Panneau::Progression, u"racine"); });
    ScanDossier({FRacine, FCheminRacine, true}, true, 0);
    FFin = Terminated() ? TFinScan::Annule : TFinScan::Termine;
  } catch (const Exception& e) {
    FFin = Terminated() ? TFinScan::Annule : TFinScan::Erreur;
    FMessage = e.Message();
  } catch (const std::exception& e) {
    FFin = Terminated() ? TFinScan::Annule : TFinScan::Erreur;
    FMessage = UTF8ToUTF16(e.what());
  } catch (...) {
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

  if (!Racine) {
    // The root's path is where the connection already stands.
    Send([this, &D] { FSession.Statut(Panneau::Progression, D.Chemin); });
    if (!FFTP.ChangeWorkingDir(D.Chemin)) {
      if (FFTP.ResultCode() == 0) ConnexionPerdue(u"CWD " + D.Chemin);
      marque(TEtatDossier::AccesRefuse, FFTP.ResultString());
      return;
    }
  }
  if (!FFTP.List(String(), false)) {
    if (FFTP.ResultCode() == 0) ConnexionPerdue(u"LIST " + D.Chemin);
    marque(TEtatDossier::ListeEchouee, FFTP.ResultString());
    return;
  }

  // The listing, copied for the hand-over, and its fingerprint.
  const TFTPList* liste = FFTP.FtpList();
  const Integer n = liste->Count();
  std::vector<TEntree> entrees;
  entrees.reserve(static_cast<std::size_t>(n));
  UInt64 empreinte = kFnvOffset;
  int nbDossiers = 0;
  const bool tropProfond = Profondeur + 1 > FProfondeurMax;
  for (Integer i = 0; i < n; ++i) {
    const TFTPListRec* rec = liste->Items(i);
    TEntree e;
    e.Nom = rec->FileName;
    e.Dossier = rec->Directory;
    e.Octets = rec->FileSize;
    e.Date = rec->FileTime;
    if (e.Dossier) {
      ++nbDossiers;
      e.Boucle = tropProfond || LienVersAncetre(D.Chemin, CibleLien(*rec));
    }
    Empreinte(empreinte, rec->OriginalLine);
    entrees.push_back(std::move(e));
  }
  // The same listing as an ancestor's: that ancestor again, through a link
  // the listing did not show as one. A listing of one entry is left alone:
  // it holds no file to count twice, and such chains are common.
  if (n >= 2 && nbDossiers > 0 && std::find(FEmpreintes.begin(), FEmpreintes.end(), empreinte) != FEmpreintes.end()) {
    marque(TEtatDossier::Boucle, String());
    return;
  }

  std::vector<TDossierAParcourir> enfants;
  Send([this, dossier, &entrees, &enfants] {
    TModeleScan& modele = FSession.FModele;
    IScanSink& sink = FSession.FSink;
    for (TEntree& e : entrees) {
      if (e.Dossier) {
        TDossier* c = modele.AjouteDossier(dossier, e.Nom);
        if (e.Boucle) c->Etat = TEtatDossier::Boucle;
        enfants.push_back({c, c->Chemin, !e.Boucle});
        sink.FolderAdded(c);
        if (e.Boucle) sink.FolderMarked(c);
      } else {
        TFichier* f = dossier->AjouteFichier(e.Nom, e.Octets, e.Date);
        for (TDossier* a = dossier->Pere; a; a = a->Pere) a->TailleSousDossier += f->Taille;
        sink.FileAdded(f);
      }
      if (Terminated()) break;
    }
    sink.TotalsChanged(dossier);
  });

  FEmpreintes.push_back(empreinte);
  for (const TDossierAParcourir& c : enfants) {
    if (Terminated()) break;
    if (c.Entrer) ScanDossier(c, false, Profondeur + 1);
  }
  FEmpreintes.pop_back();
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
  }
  Reap();
}

void TScanSession::Statut(int Panel, const String& Text) { FSink.StatusText(Panel, Text); }

void TScanSession::Reap() { FFini.reset(); }

bool TScanSession::Connecte(const TParamsConnexion& P) {
  if (FSuppressionEnCours || FDansRemise > 0) return false;
  StopScan();
  if (TTCPBlockSocket* sock = FFTP.Sock(); sock && sock->Socket() != INVALID_SOCKET_HANDLE) {
    if (FFTP.Logout()) Statut(Panneau::Connexion, AppMsg(u"Deco"));
  }
  FFTP.TargetHost = P.Host;
  FFTP.TargetPort = IntToStr(P.Port);
  FFTP.UserName = P.User;
  FFTP.Password = P.Pass;
  FFTP.PassiveMode = P.Passif;
  if (!FFTP.Login()) {
    FSink.ConnectionChanged(false);
    Statut(Panneau::Connexion, AppMsg(u"Erreur"));
    return false;
  }
  FSink.ConnectionChanged(true);
  Statut(Panneau::Connexion, AppMsg(u"Connecte"));
  LanceScan(P.Racine, P.Host, P.Port);
  return true;
}

bool TScanSession::LanceScan(const String& StartFolder, const String& Host, Integer Port) {
  if (FThread || FSuppressionEnCours || FDansRemise > 0) return false;
  Reap();
  auto worker = std::make_unique<ThreadScan>(*this, *FDispatcher);
  worker->FProfondeurMax = ProfondeurMax;
  // The views let go of the old model's objects before they are destroyed.
  FSink.ScanStarted();
  TDossier* racine;
  if (!StartFolder.empty()) {
    const String corrige = CorrigeRacine(StartFolder);
    FSink.StartFolderShown(corrige);
    const bool ok = FFTP.ChangeWorkingDir(corrige);
    racine = FModele.CreeRacine(corrige, corrige, corrige);
    if (!ok) {
      worker->FRacineRefusee = true;
      worker->FReponseRacine = u"CWD " + corrige + u": " +
                               (FFTP.ResultCode() ? FFTP.ResultString() : String(u"no reply"));
    }
  } else {
    // Anchor the paths on the folder the server logged us into.
    String pwd = FFTP.GetCurrentDir();
    if (pwd.empty()) pwd = u"/";
    String prefixe = pwd;
    while (!prefixe.empty() && prefixe.back() == u'/') prefixe.pop_back();
    racine = FModele.CreeRacine(NomRacineHote(Host, Port), pwd, prefixe);
  }
  worker->strRacine = racine->Nom;
  worker->FRacine = racine;
  worker->FCheminRacine = racine->Chemin;
  FSink.FolderAdded(racine);
  FThread = std::move(worker);
  FThread->Start();
  return true;
}

void TScanSession::WaitClick() {
  if (FThread) FThread->Terminate();
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
  if (r.Fin == TFinScan::Erreur) {
    Statut(Panneau::Progression, r.Message.empty() ? AppMsg(u"Erreur") : AppMsg(u"Erreur") + u" : " + r.Message);
  } else {
    Statut(Panneau::Progression, AppMsg(u"Termine"));
  }
  FSink.ScanFinished(r);
}

void TScanSession::StopScan() {
  if (FDansRemise > 0) {
    // Called from a sink call during a hand-over: the worker waits for us,
    // so waiting for it would never end. Ask it to end; it will.
    if (FThread) FThread->Terminate();
    return;
  }
  if (!FThread) {
    Reap();
    return;
  }
  FDernierArretForce = false;
  Statut(Panneau::Connexion, AppMsg(u"WaitDeco"));
  auto fini = [this] { return !FThread || FThread->Finished(); };
  for (int round = 0; round < ToursArret && !fini(); ++round) {
    FThread->Terminate();
    FDispatcher->WaitServingSends(fini, DureeTourMs);
  }
  if (!fini()) {
    // Stuck in an FTP command: stop the client's pending wait (the walk
    // then fails at once and ends) and keep serving until it has ended.
    FDernierArretForce = true;
    while (!fini()) {
      FThread->Terminate();
      if (TTCPBlockSocket* s = FFTP.Sock()) s->SetStopFlag(true);
      if (TTCPBlockSocket* s = FFTP.DSock()) s->SetStopFlag(true);
      FDispatcher->WaitServingSends(fini, DureeTourMs);
    }
  }
  // Finished without its completion step (the dispatcher was shut down).
  if (FThread) ScanTermine(FThread.get());
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
  if (FSuppressionEnCours || FDansRemise > 0) return;
  StopScan();
  if (FFTP.Logout()) Statut(Panneau::Connexion, AppMsg(u"Deco"));
}
