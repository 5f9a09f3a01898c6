#include "app/core/Dossiers.h"

#include <algorithm>

#include "net/netutil.h"
#include "rtl/Unicode.h"

Int64 TailleKio(Int64 Octets) { return Octets > 0 ? Octets / 1024 : 0; }

Int64 TFichier::Taille() const { return TailleKio(Octets); }

TDossier::TDossier(TDossier* Parent) : Pere(Parent) {}

Int64 TDossier::Taille() const { return TailleKio(Octets); }
Int64 TDossier::Total() const { return TailleKio(OctetsTotal()); }

TDossier::~TDossier() {
  // Deep trees: free the children one level at a time instead of recursing
  // through the destructors, so that a very deep model cannot exhaust the
  // stack.
  std::vector<std::unique_ptr<TDossier>> pending = std::move(SousDossiers);
  while (!pending.empty()) {
    std::unique_ptr<TDossier> d = std::move(pending.back());
    pending.pop_back();
    for (auto& c : d->SousDossiers) pending.push_back(std::move(c));
    d->SousDossiers.clear();
  }
}

void TDossier::ChangeContenu(Int64 Octets) {
  for (TDossier* d = this; d; d = d->Pere) d->OctetsSousDossier -= Octets;
}

void TDossier::DelFile(TFichier* Fichier) {
  if (!Fichier) return;
  auto it = std::find_if(Fichiers.begin(), Fichiers.end(),
                         [Fichier](const std::unique_ptr<TFichier>& f) { return f.get() == Fichier; });
  if (it == Fichiers.end()) return;
  Octets -= Fichier->Octets;
  if (Pere) Pere->ChangeContenu(Fichier->Octets);
  Fichiers.erase(it);
}

TFichier* TDossier::AjouteFichier(const String& Nom, Int64 Octets, TDateTime DateModif) {
  return AjouteFichier(Nom, UTF16ToUTF8(Nom), Octets, DateModif);
}

TFichier* TDossier::AjouteFichier(const String& Nom, const AnsiString& NomOctets, Int64 Octets, TDateTime DateModif) {
  auto f = std::make_unique<TFichier>();
  f->Nom = Nom;
  f->NomOctets = NomOctets;
  f->Dossier = this;
  f->Octets = Octets > 0 ? Octets : 0;
  f->DateModif = DateModif;
  this->Octets += f->Octets;
  Fichiers.push_back(std::move(f));
  return Fichiers.back().get();
}

std::ptrdiff_t TDossier::IndexOf(const TDossier* Enfant) const {
  for (std::size_t i = 0; i < SousDossiers.size(); ++i)
    if (SousDossiers[i].get() == Enfant) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

void TModeleScan::Clear() {
  ++FGeneration;
  FRacine.reset();
  FPrefixeRacine.clear();
  FPrefixeRacineOctets.clear();
}

TDossier* TModeleScan::CreeRacine(const String& Nom, const String& Chemin, const String& PrefixeEnfants) {
  TDossier* racine = CreeRacine(Nom, UTF16ToUTF8(Chemin), UTF16ToUTF8(PrefixeEnfants));
  racine->Chemin = Chemin;
  FPrefixeRacine = PrefixeEnfants;
  return racine;
}

TDossier* TModeleScan::CreeRacine(const String& Nom, const AnsiString& CheminOctets, const AnsiString& PrefixeOctets) {
  Clear();
  FRacine = std::make_unique<TDossier>(nullptr);
  FRacine->Nom = Nom;
  FRacine->CheminOctets = CheminOctets;
  FRacine->Chemin = DecodeWireText(CheminOctets);
  FPrefixeRacineOctets = PrefixeOctets;
  FPrefixeRacine = DecodeWireText(PrefixeOctets);
  return FRacine.get();
}

String TModeleScan::CheminEnfant(const TDossier* Pere, const String& Nom) const {
  const String& prefixe = (Pere && Pere->EstRacine()) ? FPrefixeRacine : Pere->Chemin;
  return prefixe + u"/" + Nom;
}

TDossier* TModeleScan::AjouteDossier(TDossier* Pere, const String& Nom) {
  return AjouteDossier(Pere, Nom, UTF16ToUTF8(Nom));
}

TDossier* TModeleScan::AjouteDossier(TDossier* Pere, const String& Nom, const AnsiString& NomOctets) {
  auto d = std::make_unique<TDossier>(Pere);
  d->Nom = Nom;
  d->Chemin = CheminEnfant(Pere, Nom);
  d->CheminOctets = ((Pere && Pere->EstRacine()) ? FPrefixeRacineOctets : Pere->CheminOctets) + "/" + NomOctets;
  Pere->SousDossiers.push_back(std::move(d));
  return Pere->SousDossiers.back().get();
}

bool TModeleScan::SupprimeDossier(TDossier* D) {
  if (!D || !D->Pere) return false;
  // Only folders still hanging from this model's root.
  TDossier* top = D;
  while (top->Pere) top = top->Pere;
  if (top != FRacine.get()) return false;
  TDossier* pere = D->Pere;
  const std::ptrdiff_t i = pere->IndexOf(D);
  if (i < 0) return false;
  pere->ChangeContenu(D->OctetsTotal());
  pere->SousDossiers.erase(pere->SousDossiers.begin() + i);
  return true;
}

std::size_t TModeleScan::NombreDossiers() const {
  if (!FRacine) return 0;
  std::size_t n = 0;
  std::vector<const TDossier*> pile{FRacine.get()};
  while (!pile.empty()) {
    const TDossier* d = pile.back();
    pile.pop_back();
    ++n;
    for (const auto& c : d->SousDossiers) pile.push_back(c.get());
  }
  return n;
}
