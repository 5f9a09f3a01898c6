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

// Panel 3 is emptied, unless the server refused: then it says what and
// why, as it does when a scan cannot start (the entry stays on screen, and
// the reply alone, in the log pane, is easily missed).
void FinCommune(TScanSession& S, const String& Refus = String()) {
  S.Sink().DeletionDone();
  S.Sink().StatusText(Panneau::Progression, Refus.empty() ? String() : AppMsg(u"Erreur") + u" : " + Refus);
}

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
  TFTPSend& ftp = Session.FTP();
  Session.Sink().StatusText(Panneau::Progression, FormatMsg(u"DelFolder", nom));
  if (ftp.DeleteDirRaw(Dossier->CheminOctets)) {
    Session.Sink().FolderRemoving(Dossier);
    Session.Modele().SupprimeDossier(Dossier);
    Session.SetTailleTotale(Session.Modele().Total());
    r.Issue = TIssueSuppression::Faite;
    r.Supprimes = 1;
  } else {
    r.Issue = TIssueSuppression::Refusee;
    r.Reponse = Reponse(ftp);
    r.Refus.push_back(nom + u": " + r.Reponse);
  }
  FinCommune(Session, r.Refus.empty() ? String() : r.Refus.back());
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
  if (!ftp.ChangeWorkingDirRaw(Dossier->CheminOctets)) {
    r.Issue = TIssueSuppression::EchecCwd;
    r.Reponse = Reponse(ftp);
    FinCommune(Session, u"CWD " + Dossier->Chemin + u": " + r.Reponse);
    return r;
  }
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
    }
  }
  Session.SetTailleTotale(Session.Modele().Total());
  r.Issue = r.Refus.empty() ? TIssueSuppression::Faite
            : r.Supprimes > 0 ? TIssueSuppression::Partielle
                              : TIssueSuppression::Refusee;
  FinCommune(Session, r.Refus.empty() ? String() : r.Refus.back());
  return r;
}
