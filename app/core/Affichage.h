#pragma once
// The pure display pieces the main window calls: the FTP log line with the password masked, FormatTaille, the pie
// slices of a folder with their colours, the allowed space, the free-space
// text and the usage percentage. Texts come through AppMsg (Messages.h).
#include <array>
#include <optional>
#include <vector>

#include "app/core/Dossiers.h"
#include "rtl/FormatSettings.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

// --- FTP log pane

// A command as the log shows it: when its first five characters are exactly
// "PASS " the rest becomes as many "*"; anything else unchanged.
String MasqueCommande(const String& Commande);
// One line of the log pane: a line break (CR LF) first unless the pane is
// empty, the "Reponse" or "Commande" label, a tab and the (masked) text.
String LigneLog(bool Reponse, const String& Valeur, bool PaneVide);
// Replies green, commands navy.
TColor CouleurLigneLog(bool Reponse);
// The program's own lines among them (listing lines not understood): maroon.
inline constexpr TColor CouleurNoteLog = 0x000080;

// --- sizes

// A KiB count as text: -1 gives ""; |v| <= 1024: "%.0n Kio"; |v| <= 1048576:
// "%n Mio" of v / 1024; otherwise "%n Gio" of v / 1048576. Separators from
// Settings (the process default in the second form).
String FormatTaille(Int64 Kio, const TFormatSettings& Settings);
String FormatTaille(Int64 Kio);
// A byte count in the same format, its KiB (bytes / 1024, not cut to a
// whole KiB) rounded only by the format: 96,000 bytes give "94 Kio".
String FormatOctets(Int64 Octets, const TFormatSettings& Settings);
String FormatOctets(Int64 Octets);

// --- pie and usage

// The 14 slice colours, used in this order and then again from the first.
extern const std::array<TColor, 14> CouleursGraphique;

struct TPartGraphique {
  double Valeur = 0;  // KiB, from the exact bytes (not whole)
  String Legende;
  TColor Couleur = 0;
};

struct TGraphique {
  // "FolderOf", a blank, FormatOctets(total), a line break (CR LF), Chemin.
  String Titre;
  std::vector<TPartGraphique> Parts;
};

// The nearest whole number to Total x 0.05, halves to the even neighbour.
Int64 SeuilGroupement(Int64 Total);

// RemplitGraphique for folder D: the free space (allowed minus TailleTotale,
// when EspaceLibre and it is above 0, "Libre"), D's own files ("Fichiers"),
// each sub-folder with a total above 0 ("Dossier", a blank, its name), in
// tree order; with Grouper, shares below the threshold go into one
// "Grouped" slice at the end. Colours in CouleursGraphique's order.
TGraphique CalculeGraphique(const TDossier& D, Int64 TailleTotale, Int64 AutoriseKio, bool EspaceLibre, bool Grouper,
                            const TFormatSettings& Settings);

// The allowed space in KiB: Dispo x 1024, x 1024 again when the unit's item
// index is 1 or more ("Gio").
Int64 EspaceAutoriseKio(Int64 Dispo, Integer UniteIndex);
// Panel 2's text: "Free" followed by FormatTaille(allowed - TailleTotale);
// nothing (the panel keeps its text) when TailleTotale is not above 0.
std::optional<String> TexteEspaceLibre(Int64 TailleTotale, Int64 AutoriseKio, const TFormatSettings& Settings);
// The usage bar's position: TailleTotale / allowed x 100 to the nearest
// whole number (halves to even), 0 when nothing is allowed. Not clamped:
// the bar keeps it within its range.
Int64 PourcentageOccupation(Int64 TailleTotale, Int64 AutoriseKio);
// The pie's diameter for a chart of this size: min(width - 20, height - 80).
Integer TaillePie(Integer Largeur, Integer Hauteur);
