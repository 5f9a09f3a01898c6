#include "app/core/Affichage.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "app/core/Messages.h"
#include "rtl/Format.h"
#include "rtl/Math.h"

String MasqueCommande(const String& Commande) {
  if (Commande.size() >= 5 && Commande.compare(0, 5, u"PASS ") == 0)
    return u"PASS " + String(Commande.size() - 5, u'*');
  return Commande;
}

String LigneLog(bool Reponse, const String& Valeur, bool PaneVide) {
  String line = PaneVide ? String() : String(u"\r\n");
  line += AppMsg(Reponse ? u"Reponse" : u"Commande");
  line += u'\t';
  line += Reponse ? Valeur : MasqueCommande(Valeur);
  return line;
}

TColor CouleurLigneLog(bool Reponse) { return Reponse ? 0x008000 : 0x800000; }

String FormatTaille(Int64 Kio, const TFormatSettings& Settings) {
  if (Kio == -1) return String();
  const UInt64 a = Kio < 0 ? 0 - static_cast<UInt64>(Kio) : static_cast<UInt64>(Kio);
  const double v = static_cast<double>(Kio);
  if (a <= 1024) return Format(Settings, u"%.0n Kio", {v});
  if (a <= 1048576) return Format(Settings, u"%n Mio", {v / 1024.0});
  return Format(Settings, u"%n Gio", {v / 1048576.0});
}

String FormatTaille(Int64 Kio) { return FormatTaille(Kio, FormatSettings); }

String FormatOctets(Int64 Octets, const TFormatSettings& Settings) {
  if (Octets == -1) return String();
  const UInt64 a = Octets < 0 ? 0 - static_cast<UInt64>(Octets) : static_cast<UInt64>(Octets);
  const double kio = static_cast<double>(Octets) / 1024.0;
  // The unit is chosen as FormatTaille chooses it for the KiB value.
  // Whole KiB rounded halves to even, as every rounding here.
  if (a <= 1024ULL * 1024) return Format(Settings, u"%.0n Kio", {static_cast<double>(Round(kio))});
  if (a <= 1024ULL * 1024 * 1024) return Format(Settings, u"%n Mio", {kio / 1024.0});
  return Format(Settings, u"%n Gio", {kio / 1048576.0});
}

String FormatOctets(Int64 Octets) { return FormatOctets(Octets, FormatSettings); }

const std::array<TColor, 14> CouleursGraphique = {
    0x9C6940, 0x3E419E, 0x489A7F, 0x855169, 0xA38D3C, 0x387BCC, 0xBD814F,
    0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B, 0x4696F7, 0xD7BAAA, 0xA9AAD9,
};

namespace {

// Num / Den to the nearest whole number, halves to the even neighbour, in
// integers: in doubles 23 / 40 * 100 comes out just below 57.5 and rounds
// to 57 instead of 58. Den > 0.
Int64 DivArrondi(Int64 Num, Int64 Den) {
  Int64 q = Num / Den;
  Int64 r = Num % Den;
  if (r < 0) {  // floor division
    --q;
    r += Den;
  }
  const Int64 reste = Den - r;  // distance to q + 1
  if (r > reste || (r == reste && (q & 1) != 0)) ++q;
  return q;
}

}  // namespace

Int64 SeuilGroupement(Int64 Total) { return DivArrondi(Total, 20); }

TGraphique CalculeGraphique(const TDossier& D, Int64 TailleTotale, Int64 AutoriseKio, bool EspaceLibre, bool Grouper,
                            const TFormatSettings& Settings) {
  TGraphique g;
  // Slices in bytes, shown in KiB.
  const Int64 total = D.OctetsTotal();
  // The threshold of the KiB total, in bytes.
  const Int64 seuil = SeuilGroupement(D.Total()) * 1024;
  g.Titre = AppMsg(u"FolderOf") + u" " + FormatOctets(total, Settings) + u"\r\n" + D.Chemin;
  auto ajoute = [&](Int64 octets, const String& legende) {
    g.Parts.push_back({static_cast<double>(octets) / 1024.0, legende, 0});
  };
  Int64 groupe = 0;
  if (EspaceLibre) {
    const Int64 libre = AutoriseKio - TailleTotale;
    if (libre > 0) ajoute(libre * 1024, AppMsg(u"Libre"));
  }
  if (D.Octets > 0) {
    if (Grouper && D.Octets < seuil)
      groupe += D.Octets;
    else
      ajoute(D.Octets, AppMsg(u"Fichiers"));
  }
  for (const auto& c : D.SousDossiers) {
    const Int64 t = c->OctetsTotal();
    if (t <= 0) continue;
    if (Grouper && t < seuil)
      groupe += t;
    else
      ajoute(t, AppMsg(u"Dossier") + u" " + c->Nom);
  }
  if (groupe > 0) ajoute(groupe, AppMsg(u"Grouped"));
  // A share the pie would show as "0.00%" gets no slice and no legend line.
  double somme = 0;
  for (const TPartGraphique& p : g.Parts) somme += p.Valeur;
  std::erase_if(g.Parts, [somme](const TPartGraphique& p) { return p.Valeur * 10000 < somme * 0.5; });
  // Colours in order, starting over after the last; the pie closes on
  // itself, so a last slice that would take the first one's colour takes
  // the next colour instead (it differs from both of its neighbours).
  const std::size_t n = g.Parts.size(), couleurs = CouleursGraphique.size();
  for (std::size_t i = 0; i < n; ++i) g.Parts[i].Couleur = CouleursGraphique[i % couleurs];
  if (n > 2 && (n - 1) % couleurs == 0) g.Parts[n - 1].Couleur = CouleursGraphique[1];
  return g;
}

Int64 EspaceAutoriseKio(Int64 Dispo, Integer UniteIndex) {
  Int64 kio = Dispo * 1024;
  if (UniteIndex >= 1) kio *= 1024;
  return kio;
}

std::optional<String> TexteEspaceLibre(Int64 TailleTotale, Int64 AutoriseKio, const TFormatSettings& Settings) {
  if (TailleTotale <= 0) return std::nullopt;
  return AppMsg(u"Free") + FormatTaille(AutoriseKio - TailleTotale, Settings);
}

Int64 PourcentageOccupation(Int64 TailleTotale, Int64 AutoriseKio) {
  if (AutoriseKio == 0) return 0;
  constexpr Int64 limite = std::numeric_limits<Int64>::max() / 100;
  if (TailleTotale > limite || TailleTotale < -limite || AutoriseKio == std::numeric_limits<Int64>::min())
    return Round(static_cast<double>(TailleTotale) / static_cast<double>(AutoriseKio) * 100.0);
  if (AutoriseKio < 0) return DivArrondi(-TailleTotale * 100, -AutoriseKio);
  return DivArrondi(TailleTotale * 100, AutoriseKio);
}

Integer TaillePie(Integer Largeur, Integer Hauteur) { return std::min(Largeur - 20, Hauteur - 80); }
