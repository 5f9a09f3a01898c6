#include "app/core/Suppression.h"

#include <algorithm>

#include "app/core/Messages.h"
#include "rtl/Format.h"
#include "rtl/SysUtils.h"

String FormatMsg(const String& Key, const String& Arg) {
  const String text = AppMsg(Key);
  try {
    return Format(text, {Arg});
  } catch (const Exception&) {
    return text + u" " + Arg;
  }
}

namespace {

// Delete is offered on an open control connection that no worker drives.
bool Libre(const TScanSession& S) { return S.IsUIThread() && S.ConnexionOuverte(); }

// Whether D (compared as a pointer only, never read) is a folder of the
// session's current model.
bool DansModele(const TScanSession& S, const TDossier* D) {
  const TDossier* racine = S.Racine();
  if (!racine || !D) return false;
  std::vector<const TDossier*> pile{racine};
  while (!pile.empty()) {
    const TDossier* d = pile.back();
    pile.pop_back();
    if (d == D) return true;
    for (const auto& c : d->SousDossiers) pile.push_back(c.get());
  }
  return false;
}

bool FichierDe(const TDossier* D, const TFichier* F) {
  return std::any_of(D->Fichiers.begin(), D->Fichiers.end(),
                     [F](const std::unique_ptr<TFichier>& f) { return f.get() == F; });
}

String Reponse(TFTPSend& FTP) { return FTP.ResultCode() ? FTP.ResultString() : String(u"no reply"); }

// No reply at all, or the server's "closing the connection" (421).
bool ConnexionTombee(const TFTPSend& FTP) { return FTP.ResultCode() == 0 || FTP.ResultCode() == 421; }

// Panel 3 is emptied, unless the server refused: then it says what and
// why, as it does when a scan cannot start (the entry stays on screen, and
// the reply alone, in the log pane, is easily missed). A deletion stopped by
// the user says so, with how many entries went.
void FinCommune(TScanSession& S, const String& Refus = String()) {
  S.Sink().DeletionDone();
  S.Sink().StatusText(Panneau::Progression, Refus.empty() ? String() : AppMsg(u"Erreur") + u" : " + Refus);
}

void FinCommune(TScanSession& S, const TRapportSuppression& R) {
  if (R.Issue == TIssueSuppression::Arretee) {
    S.Sink().DeletionDone();
    S.Sink().StatusText(Panneau::Progression, FormatMsg(u"SupprArretee", IntToStr(R.Supprimes)));
  } else if (R.Issue != TIssueSuppression::EchecConnexion || !R.Refus.empty()) {
    FinCommune(S, R.Refus.empty() ? String() : R.Refus.back());
  } else if (!R.Reponse.empty()) {
    FinCommune(S, R.Reponse);
  } else {
    S.Sink().DeletionDone();
    S.Sink().StatusText(Panneau::Progression, AppMsg(u"Erreur"));
  }
}

// The first command of a deletion, "CWD <Octets>". The control connection
// has lain idle since the scan, and servers close idle sessions (NAT boxes
// forget them without a word): one found closed, answering 421, or silent
// for DelaiSondeMs is logged in again once, and the CWD sent again. False
// when it failed: R says why (EchecCwd or EchecConnexion).
bool PremierCwd(TScanSession& S, const AnsiString& Octets, const String& Chemin, TRapportSuppression& R,
                const std::function<bool(String&)>& Reconnecte) {
  TFTPSend& ftp = S.FTP();
  const TTCPBlockSocket* sock = ftp.Sock();
  if (sock && sock->Socket() != INVALID_SOCKET_HANDLE) {
    bool fait;
    {
      TDelaiCourt delai(ftp, S.DelaiSondeMs);
      fait = ftp.ChangeWorkingDirRaw(Octets);
    }
    if (fait) return true;
    if (!ConnexionTombee(ftp)) {
      R.Issue = TIssueSuppression::EchecCwd;
      R.Reponse = Reponse(ftp);
      R.Refus.push_back(u"CWD " + Chemin + u": " + R.Reponse);
      return false;
    }
  }
  String raison;
  if (!Reconnecte(raison)) {
    R.Issue = TIssueSuppression::EchecConnexion;
    R.Reponse = raison;
    return false;
  }
  if (ftp.ChangeWorkingDirRaw(Octets)) return true;
  R.Issue = ConnexionTombee(ftp) ? TIssueSuppression::EchecConnexion : TIssueSuppression::EchecCwd;
  R.Reponse = Reponse(ftp);
  R.Refus.push_back(u"CWD " + Chemin + u": " + R.Reponse);
  return false;
}

}  // namespace

// ------------------------------------------------------------ worker

// What a deletion removes, copied from the model on the user-interface
// thread before the worker starts: the worker reads nothing of the model
// and hands each removal back (the pointers only go back, never read).
struct TFichierASupprimer {
  TFichier* Fichier = nullptr;
  String Nom;
  AnsiString Octets;
};

struct TDossierASupprimer {
  TDossier* Dossier = nullptr;
  String Nom;
  String Chemin;
  AnsiString Octets;
  bool Lien = false;
  std::vector<TFichierASupprimer> Fichiers;
  std::vector<TDossierASupprimer> Enfants;
};

namespace {

TDossierASupprimer Plan(TDossier* D, bool AvecContenu, const std::vector<TFichier*>& Fichiers = {}) {
  TDossierASupprimer p{D, D->Nom, D->Chemin, D->CheminOctets, D->Lien, {}, {}};
  if (AvecContenu && !D->Lien) {
    for (const auto& f : D->Fichiers) p.Fichiers.push_back({f.get(), f->Nom, f->NomOctets});
    for (const auto& c : D->SousDossiers) p.Enfants.push_back(Plan(c.get(), true));
  } else {
    for (TFichier* f : Fichiers) {
      const bool deja = std::any_of(p.Fichiers.begin(), p.Fichiers.end(),
                                    [f](const TFichierASupprimer& x) { return x.Fichier == f; });
      if (!deja) p.Fichiers.push_back({f, f->Nom, f->NomOctets});  // listed twice: once
    }
  }
  return p;
}

}  // namespace

// One deletion on its worker: the folder branch (its contents first,
// depth-first, then the folder) or the file branch (the files of one
// folder). Every command is sent here; every model change, panel-3 text
// and the end are handed over to the user-interface thread, in order. A
// cancel (Terminate) is taken before each command.
class ThreadSuppression : public TTravailSession {
public:
  ThreadSuppression(TScanSession& Session, TDossierASupprimer Plan, bool Dossier, TFinSuppression Fin)
      : TTravailSession(Session), FPlan(std::move(Plan)), FDossier(Dossier), FFin(std::move(Fin)) {}

protected:
  void Execute() override {
    try {
      TScanSession& s = FSession;
      // A link is removed from its folder: the first CWD goes there.
      const bool lien = FDossier && FPlan.Lien;
      const AnsiString premier = lien ? ParentOctets() : FPlan.Octets;
      const String premierChemin = lien ? ParentChemin() : FPlan.Chemin;
      if (Arret()) return;
      auto reconnecte = [this](String& Raison) {
        return FSession.ReconnecteAvec(Raison, [this](std::function<void()> Work) { Remet(std::move(Work)); });
      };
      if (!PremierCwd(s, premier, premierChemin, FRapport, reconnecte)) {
        FEchecPremier = true;
        return;
      }
      if (FDossier)
        Supprime(FPlan, !lien);
      else
        SupprimeFichiers(FPlan);
    } catch (const Exception& e) {
      FRapport.Reponse = e.Message();
      FPerdue = true;
    } catch (...) {
      FRapport.Reponse = u"unknown error";
      FPerdue = true;
    }
  }

  void Termine() override {
    TScanSession& s = FSession;
    TRapportSuppression& r = FRapport;
    s.SetTailleTotale(s.Modele().Total());
    if (!FEchecPremier || FArretee) {
      r.Issue = FArretee          ? TIssueSuppression::Arretee
                : FPerdue         ? TIssueSuppression::EchecConnexion
                : r.Refus.empty() ? TIssueSuppression::Faite
                : r.Supprimes > 0 ? TIssueSuppression::Partielle
                                  : TIssueSuppression::Refusee;
    }
    FinCommune(s, r);
    if (FFin) FFin(r);
  }

private:
  // Taken before each command; once seen, nothing more is sent.
  bool Arret() {
    if (Terminated()) FArretee = true;
    return FArretee;
  }

  AnsiString ParentOctets() const {
    const AnsiString& o = FPlan.Octets;
    const std::size_t i = o.rfind('/');
    return i == AnsiString::npos || i == 0 ? AnsiString("/") : o.substr(0, i);
  }
  String ParentChemin() const {
    const String& c = FPlan.Chemin;
    const std::size_t i = c.rfind(u'/');
    return i == String::npos || i == 0 ? String(u"/") : c.substr(0, i);
  }

  void Progression(const String& Cle, const String& Nom) {
    String texte = FormatMsg(Cle, Nom);
    Remet([this, &texte] { FSession.Sink().StatusText(Panneau::Progression, texte); });
  }

  // DELE of one file of D (the connection stands in D); true when it went.
  bool SupprimeFichier(TDossier* D, const TFichierASupprimer& F) {
    if (FPerdue || Arret()) return false;
    Progression(u"DelFile", F.Nom);
    if (!FFTP().DeleteFileRaw(F.Octets)) {
      Refuse(F.Nom);
      return false;
    }
    Remet([this, D, f = F.Fichier] {
      FSession.Sink().FileRemoving(f);
      D->DelFile(f);
    });
    ++FRapport.Supprimes;
    return true;
  }

  void SupprimeFichiers(const TDossierASupprimer& D) {
    for (const TFichierASupprimer& f : D.Fichiers) {
      SupprimeFichier(D.Dossier, f);
      if (FPerdue || FArretee) return;
    }
  }

  // Removes what the plan holds of D, then D itself; true when D went. The
  // connection already stands in D when Entre.
  bool Supprime(const TDossierASupprimer& D, bool Entre) {
    if (FPerdue || Arret()) return false;
    if (D.Lien) return SupprimeLien(D);
    Progression(u"DelFolder", D.Nom);
    if (!Entre) {
      if (Arret()) return false;
      if (!FFTP().ChangeWorkingDirRaw(D.Octets)) {
        Refuse(u"CWD " + D.Chemin);
        return false;
      }
    }
    bool vide = true;
    for (const TFichierASupprimer& f : D.Fichiers) {
      vide = SupprimeFichier(D.Dossier, f) && vide;
      if (FPerdue || FArretee) return false;
    }
    for (const TDossierASupprimer& c : D.Enfants) {
      vide = Supprime(c, false) && vide;
      if (FPerdue || FArretee) return false;
    }
    // What stayed would have the RMD refused: it is not sent.
    if (!vide || Arret()) return false;
    Progression(u"DelFolder", D.Nom);
    if (!FFTP().DeleteDirRaw(D.Octets)) {
      Refuse(D.Nom);
      return false;
    }
    Retire(D.Dossier);
    return true;
  }

  // A link goes as an entry of its folder, by its path; it is never entered.
  bool SupprimeLien(const TDossierASupprimer& D) {
    Progression(u"DelFolder", D.Nom);
    if (Arret()) return false;
    if (!FFTP().DeleteFileRaw(D.Octets)) {
      Refuse(D.Nom);
      return false;
    }
    Retire(D.Dossier);
    return true;
  }

  void Retire(TDossier* D) {
    Remet([this, D] {
      FSession.Sink().FolderRemoving(D);
      FSession.Modele().SupprimeDossier(D);
    });
    ++FRapport.Supprimes;
  }

  void Refuse(const String& Quoi) {
    FRapport.Reponse = Reponse(FFTP());
    FRapport.Refus.push_back(Quoi + u": " + FRapport.Reponse);
    if (ConnexionTombee(FFTP())) FPerdue = true;
  }

  TFTPSend& FFTP() { return FSession.FTP(); }

  TDossierASupprimer FPlan;
  bool FDossier;
  TFinSuppression FFin;
  TRapportSuppression FRapport;
  bool FPerdue = false;
  bool FArretee = false;
  bool FEchecPremier = false;
};

// ------------------------------------------------------------ entry points

bool PeutSupprimerDossier(const TScanSession& Session, const TDossier* Dossier) {
  return Libre(Session) && DansModele(Session, Dossier) && Dossier->Pere;
}

bool PeutSupprimerFichiers(const TScanSession& Session, std::size_t NbFichiers) {
  return Libre(Session) && NbFichiers > 0;
}

TRapportSuppression LanceSuppressionDossier(TScanSession& Session, TDossier* Dossier, const TConfirmation& Confirme,
                                            TFinSuppression Fin) {
  TRapportSuppression r;
  if (!PeutSupprimerDossier(Session, Dossier)) return r;
  const String nom = Dossier->Nom;
  const UInt64 generation = Session.Modele().Generation();
  if (!Confirme || !Confirme(FormatMsg(u"ConfirmDelFolder", nom))) {
    r.Issue = TIssueSuppression::Abandonnee;
    return r;
  }
  // The box ran a message loop: a scan may have started (and replaced the
  // model) meanwhile; then Dossier must not even be looked at.
  if (Session.Modele().Generation() != generation || !PeutSupprimerDossier(Session, Dossier)) return r;
  // The worker's hand-overs wait for this thread: the sink hears these two
  // before anything of the worker.
  if (!Session.LanceTravail(std::make_unique<ThreadSuppression>(Session, Plan(Dossier, true), true, std::move(Fin))))
    return r;
  Session.Sink().DeletionStarted();
  Session.Sink().StatusText(Panneau::Progression, FormatMsg(u"DelFolder", nom));
  r.Issue = TIssueSuppression::EnCours;
  return r;
}

TRapportSuppression LanceSuppressionFichiers(TScanSession& Session, TDossier* Dossier,
                                             const std::vector<TFichier*>& Fichiers, const TConfirmation& Confirme,
                                             TFinSuppression Fin) {
  TRapportSuppression r;
  auto valide = [&] {
    if (!PeutSupprimerFichiers(Session, Fichiers.size()) || !DansModele(Session, Dossier)) return false;
    if (Dossier->CheminOctets.empty()) return false;  // never an empty CWD
    return std::all_of(Fichiers.begin(), Fichiers.end(), [&](const TFichier* f) { return FichierDe(Dossier, f); });
  };
  if (!valide()) return r;
  const UInt64 generation = Session.Modele().Generation();
  const String question = Fichiers.size() == 1 ? FormatMsg(u"ConfirmDelFile", Fichiers[0]->Nom)
                                               : FormatMsg(u"ConfirmDelFiles", IntToStr(Fichiers.size()));
  if (!Confirme || !Confirme(question)) {
    r.Issue = TIssueSuppression::Abandonnee;
    return r;
  }
  if (Session.Modele().Generation() != generation || !valide()) return r;
  if (!Session.LanceTravail(
          std::make_unique<ThreadSuppression>(Session, Plan(Dossier, false, Fichiers), false, std::move(Fin))))
    return r;
  Session.Sink().DeletionStarted();
  r.Issue = TIssueSuppression::EnCours;
  return r;
}

namespace {

// Starts a deletion and waits for its end, serving the worker's hand-overs.
template <class Lance>
TRapportSuppression Attend(TScanSession& Session, Lance&& L) {
  bool fini = false;
  TRapportSuppression fin;
  TRapportSuppression r = L([&](const TRapportSuppression& R) {
    fin = R;
    fini = true;
  });
  if (r.Issue != TIssueSuppression::EnCours) return r;
  Session.Dispatcher().WaitServingSends([&] { return fini || !Session.SuppressionEnCours(); });
  return fin;
}

}  // namespace

TRapportSuppression SupprimeDossier(TScanSession& Session, TDossier* Dossier, const TConfirmation& Confirme) {
  return Attend(Session, [&](TFinSuppression Fin) {
    return LanceSuppressionDossier(Session, Dossier, Confirme, std::move(Fin));
  });
}

TRapportSuppression SupprimeFichiers(TScanSession& Session, TDossier* Dossier, const std::vector<TFichier*>& Fichiers,
                                     const TConfirmation& Confirme) {
  return Attend(Session, [&](TFinSuppression Fin) {
    return LanceSuppressionFichiers(Session, Dossier, Fichiers, Confirme, std::move(Fin));
  });
}
