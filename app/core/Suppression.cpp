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

// Marks a deletion as running for the session (friend of TScanSession).
class TSuppressionGuard {
public:
  explicit TSuppressionGuard(TScanSession& S) : FSession(S) { FSession.FSuppressionEnCours = true; }
  ~TSuppressionGuard() { FSession.FSuppressionEnCours = false; }
  TSuppressionGuard(const TSuppressionGuard&) = delete;
  TSuppressionGuard& operator=(const TSuppressionGuard&) = delete;

private:
  TScanSession& FSession;
};

namespace {

bool Libre(const TScanSession& S) { return S.IsUIThread() && !S.ScanEnCours() && !S.SuppressionEnCours(); }

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
// the reply alone, in the log pane, is easily missed).
void FinCommune(TScanSession& S, const String& Refus = String()) {
  S.Sink().DeletionDone();
  S.Sink().StatusText(Panneau::Progression, Refus.empty() ? String() : AppMsg(u"Erreur") + u" : " + Refus);
}

// The same from a report: the last refusal, or why the connection could
// not be restored.
void FinCommune(TScanSession& S, const TRapportSuppression& R) {
  if (R.Issue != TIssueSuppression::EchecConnexion || !R.Refus.empty()) {
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
bool PremierCwd(TScanSession& S, const AnsiString& Octets, const String& Chemin, TRapportSuppression& R) {
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
  if (!S.Reconnecte(raison)) {
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

// One folder deletion's walk.
class TSuppressionArbre {
public:
  TSuppressionArbre(TScanSession& S, TRapportSuppression& R) : FSession(S), FFTP(S.FTP()), FRapport(R) {}

  // Whether the connection was lost on the way (nothing more was sent).
  bool Perdue() const { return FPerdue; }

  // Removes what the model holds of D, then D itself. The connection
  // already stands in D when Entre.
  void Supprime(TDossier* D, bool Entre) {
    if (D->Lien) {
      SupprimeLien(D);
      return;
    }
    Progression(u"DelFolder", D->Nom);
    if (!Entre && !FFTP.ChangeWorkingDirRaw(D->CheminOctets)) {
      Refuse(u"CWD " + D->Chemin);
      return;
    }
    std::vector<TFichier*> fichiers;
    for (const auto& f : D->Fichiers) fichiers.push_back(f.get());
    for (TFichier* f : fichiers) {
      if (FPerdue) return;
      Progression(u"DelFile", f->Nom);
      if (FFTP.DeleteFileRaw(f->NomOctets)) {
        FSession.Sink().FileRemoving(f);
        D->DelFile(f);
        ++FRapport.Supprimes;
      } else {
        Refuse(f->Nom);
      }
    }
    std::vector<TDossier*> enfants;
    for (const auto& c : D->SousDossiers) enfants.push_back(c.get());
    for (TDossier* c : enfants) {
      if (FPerdue) return;
      Supprime(c, false);
    }
    // What stayed would have the RMD refused: it is not sent.
    if (FPerdue || !D->Fichiers.empty() || !D->SousDossiers.empty()) return;
    Progression(u"DelFolder", D->Nom);
    if (FFTP.DeleteDirRaw(D->CheminOctets))
      Retire(D);
    else
      Refuse(D->Nom);
  }

private:
  // A link goes as an entry of its folder, by its path; it is never entered.
  void SupprimeLien(TDossier* D) {
    Progression(u"DelFolder", D->Nom);
    if (FFTP.DeleteFileRaw(D->CheminOctets))
      Retire(D);
    else
      Refuse(D->Nom);
  }

  void Retire(TDossier* D) {
    FSession.Sink().FolderRemoving(D);
    FSession.Modele().SupprimeDossier(D);
    ++FRapport.Supprimes;
  }

  void Refuse(const String& Quoi) {
    FRapport.Reponse = Reponse(FFTP);
    FRapport.Refus.push_back(Quoi + u": " + FRapport.Reponse);
    if (ConnexionTombee(FFTP)) FPerdue = true;
  }

  void Progression(const String& Cle, const String& Nom) {
    FSession.Sink().StatusText(Panneau::Progression, FormatMsg(Cle, Nom));
  }

  TScanSession& FSession;
  TFTPSend& FFTP;
  TRapportSuppression& FRapport;
  bool FPerdue = false;
};

}  // namespace

bool PeutSupprimerDossier(const TScanSession& Session, const TDossier* Dossier) {
  return Libre(Session) && DansModele(Session, Dossier) && Dossier->Pere;
}

bool PeutSupprimerFichiers(const TScanSession& Session, std::size_t NbFichiers) {
  return Libre(Session) && NbFichiers > 0;
}

TRapportSuppression SupprimeDossier(TScanSession& Session, TDossier* Dossier, const TConfirmation& Confirme) {
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
  TSuppressionGuard guard(Session);
  Session.Sink().StatusText(Panneau::Progression, FormatMsg(u"DelFolder", nom));
  // A link is removed from its folder: the first CWD goes there.
  const TDossier* premier = Dossier->Lien ? Dossier->Pere : Dossier;
  if (!PremierCwd(Session, premier->CheminOctets, premier->Chemin, r)) {
    FinCommune(Session, r);
    return r;
  }
  TSuppressionArbre arbre(Session, r);
  arbre.Supprime(Dossier, !Dossier->Lien);
  Session.SetTailleTotale(Session.Modele().Total());
  r.Issue = arbre.Perdue()      ? TIssueSuppression::EchecConnexion
            : r.Refus.empty()   ? TIssueSuppression::Faite
            : r.Supprimes > 0   ? TIssueSuppression::Partielle
                                : TIssueSuppression::Refusee;
  FinCommune(Session, r);
  return r;
}

TRapportSuppression SupprimeFichiers(TScanSession& Session, TDossier* Dossier,
                                     const std::vector<TFichier*>& Fichiers, const TConfirmation& Confirme) {
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
  TSuppressionGuard guard(Session);
  TFTPSend& ftp = Session.FTP();
  if (!PremierCwd(Session, Dossier->CheminOctets, Dossier->Chemin, r)) {
    FinCommune(Session, r);
    return r;
  }
  bool perdue = false;
  for (TFichier* f : Fichiers) {
    if (!FichierDe(Dossier, f)) continue;  // listed twice
    const String nom = f->Nom;
    Session.Sink().StatusText(Panneau::Progression, FormatMsg(u"DelFile", nom));
    if (ftp.DeleteFileRaw(f->NomOctets)) {
      Session.Sink().FileRemoving(f);
      Dossier->DelFile(f);
      ++r.Supprimes;
    } else {
      r.Reponse = Reponse(ftp);
      r.Refus.push_back(nom + u": " + r.Reponse);
      if ((perdue = ConnexionTombee(ftp))) break;
    }
  }
  Session.SetTailleTotale(Session.Modele().Total());
  r.Issue = perdue              ? TIssueSuppression::EchecConnexion
            : r.Refus.empty()   ? TIssueSuppression::Faite
            : r.Supprimes > 0   ? TIssueSuppression::Partielle
                                : TIssueSuppression::Refusee;
  FinCommune(Session, r);
  return r;
}
