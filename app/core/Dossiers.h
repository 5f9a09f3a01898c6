#pragma once
// The scan model: one TDossier per remote folder, one
// TFichier per remote file, and TInfoNoeud, the per-node record of the main
// window's folder tree and file list.
//
// Sizes are summed in exact bytes (64-bit), per folder and below: cutting
// each file to whole KiB before summing loses up to a KiB per file, so a
// folder of small files showed far less than it holds. The KiB values
// (Taille, TailleSousDossier, Total) are derived from those byte sums;
// displays round (FormatOctets, Affichage.h).
//
// Ownership, as the tree view is not there yet: TModeleScan owns the root
// folder, each TDossier owns its sub-folders (SousDossiers, listing order)
// and its files (Fichiers). Tree nodes refer to these objects; they do not
// free them (the model keeps the hierarchy so that the pie and deletions
// can use it without a tree).
//
// Threads: created, read, changed and destroyed on the user-interface thread
// only (the scan worker hands its results over, ThreadScan.h).
#include <cstddef>
#include <memory>
#include <vector>

#include "rtl/Types.h"

class TDossier;

// One remote file.
class TFichier : public TObject {
public:
  String Nom;
  TDossier* Dossier = nullptr;  // the folder whose Fichiers owns this file
  Int64 Octets = 0;             // bytes; an unknown size (-1) counts 0
  TDateTime DateModif = 0;      // as the listing parser gave it
  // The name's bytes as the server listed them: what DELE sends back, so
  // that a name in another encoding still names this file.
  AnsiString NomOctets;

  // KiB: bytes / 1024, truncated toward zero.
  Int64 Taille() const;
};

// What the walk could do with a folder (such folders would otherwise show as empty
// with size 0).
enum class TEtatDossier {
  Normal,        // listed
  AccesRefuse,   // its CWD failed: not listed, nothing below it walked
  ListeEchouee,  // its CWD worked, its LIST failed: shown empty
  Boucle,        // not entered: a link back to one of its ancestors, or too deep
  // Not listed (yet): the walk has not reached it. Left so when a cancel,
  // a stop or an error ends the walk first, so that it does not pass for
  // an empty folder.
  NonParcouru,
};

// Signed 64-bit KiB; bytes / 1024 truncated toward zero, and a negative
// byte count (-1: size unknown) counts 0.
Int64 TailleKio(Int64 Octets);

// One remote folder.
class TDossier : public TObject {
public:
  // Parent becomes Pere; Nom and Chemin are the caller's to set
  // (TModeleScan does).
  explicit TDossier(TDossier* Parent = nullptr);
  ~TDossier() override;
  TDossier(const TDossier&) = delete;
  TDossier& operator=(const TDossier&) = delete;

  String Nom;
  // The remote path as shown (the parent's Chemin, "/" and Nom).
  String Chemin;
  // Chemin as the server's bytes (the names' own bytes joined with "/"):
  // what the CWD before its listing, the CWD before deleting its files,
  // and RMD send.
  AnsiString CheminOctets;
  TDossier* Pere = nullptr;
  Int64 Octets = 0;  // bytes in its own files
  // Owning, in listing order.
  std::vector<std::unique_ptr<TFichier>> Fichiers;
  Int64 OctetsSousDossier = 0;  // bytes in all folders below

  // The hierarchy and the walk's verdict (see the header comment).
  std::vector<std::unique_ptr<TDossier>> SousDossiers;  // owning, listing order
  TEtatDossier Etat = TEtatDossier::Normal;
  // Listed as a symbolic link: what is below it belongs to its target,
  // which a deletion must not touch (it removes the link itself).
  bool Lien = false;
  // The server's reply when Etat is AccesRefuse/ListeEchouee; for a Boucle
  // that is a link back, the path of the folder it leads to (empty when the
  // walk stopped for depth).
  String Reponse;
  // Lines of its listing that were not understood (their entries, if any,
  // are missing from the totals).
  Integer LignesNonComprises = 0;

  Int64 OctetsTotal() const { return Octets + OctetsSousDossier; }
  // KiB, derived from the byte sums: own files, the whole folder, and the
  // rest (Total() - Taille(), so that the two add up to the total).
  Int64 Taille() const;
  Int64 Total() const;
  Int64 TailleSousDossier() const { return Total() - Taille(); }
  bool EstRacine() const { return Pere == nullptr; }

  // Subtracts Octets (bytes) from OctetsSousDossier of this folder, then of
  // its parent, and so on up to the root.
  void ChangeContenu(Int64 Octets);
  // Nothing for nil (or a file of another folder). Otherwise: own Octets
  // drop by the file's, Pere->ChangeContenu(file's Octets), and the file is
  // removed from Fichiers, which destroys it.
  void DelFile(TFichier* Fichier);

  // Appends a file of Octets bytes: they go to this folder's Octets only
  // (the caller carries them up to the ancestors). Returns the new file.
  // Without bytes of its own, the name is sent as its UTF-8.
  TFichier* AjouteFichier(const String& Nom, Int64 Octets, TDateTime DateModif);
  TFichier* AjouteFichier(const String& Nom, const AnsiString& NomOctets, Int64 Octets, TDateTime DateModif);
  // Index of a sub-folder in SousDossiers, -1 when not a child.
  std::ptrdiff_t IndexOf(const TDossier* Enfant) const;
};

// The per-node record of the folder tree and of the file list; the field
// order is the record's layout behind each node. Folder-tree node: isDossier
// true, Dossier set. File-list node: isDossier false, Fichier set.
struct TInfoNoeud {
  bool isDossier = false;
  TDossier* Dossier = nullptr;
  TFichier* Fichier = nullptr;
};
// The node data size of both trees (12 bytes with 4-byte pointers;
// sizeof keeps the 64-bit build right).
inline constexpr std::size_t TailleInfoNoeud = sizeof(TInfoNoeud);

// One scan result.
class TModeleScan {
public:
  TModeleScan() = default;
  TModeleScan(const TModeleScan&) = delete;
  TModeleScan& operator=(const TModeleScan&) = delete;

  // Destroys every folder and file.
  void Clear();
  TDossier* Racine() const { return FRacine.get(); }

  // Replaces the model by a root folder named Nom with the path Chemin.
  // PrefixeEnfants is what the paths of the root's sub-folders start with
  // (they are PrefixeEnfants + "/" + name): the root's Chemin for a start
  // folder (a plain concatenation, so "/site/" gives "/site//img"), and for
  // a scan anchored on the login folder that folder without its trailing
  // "/" (the login folder "/" gives "/img").
  // Paths given as text are sent as their UTF-8.
  TDossier* CreeRacine(const String& Nom, const String& Chemin, const String& PrefixeEnfants);
  // The same with the paths as the server's bytes (shown as DecodeWireText
  // reads them).
  TDossier* CreeRacine(const String& Nom, const AnsiString& CheminOctets, const AnsiString& PrefixeOctets);
  // Appends a sub-folder to Pere: Chemin is Pere's children prefix, "/" and
  // Nom (and so for the bytes); both sizes 0. Without bytes of its own, the
  // name is sent as its UTF-8.
  TDossier* AjouteDossier(TDossier* Pere, const String& Nom);
  TDossier* AjouteDossier(TDossier* Pere, const String& Nom, const AnsiString& NomOctets);
  // The path a sub-folder named Nom of Pere gets.
  String CheminEnfant(const TDossier* Pere, const String& Nom) const;
  // Removes D with everything below it: Pere->ChangeContenu(D's bytes), then
  // D is destroyed. Not for the root (false); false also for a folder that
  // is not in the model any more.
  bool SupprimeDossier(TDossier* D);
  // Root total (KiB, and bytes), 0 without a root.
  Int64 Total() const { return FRacine ? FRacine->Total() : 0; }
  Int64 OctetsTotal() const { return FRacine ? FRacine->OctetsTotal() : 0; }
  // Folders in the model (a walk; for tests and display).
  std::size_t NombreDossiers() const;
  // Changes each time the model is replaced (Clear, CreeRacine), so that a
  // holder of a folder or file pointer can tell whether it may still be valid.
  UInt64 Generation() const { return FGeneration; }

private:
  std::unique_ptr<TDossier> FRacine;
  UInt64 FGeneration = 0;
  String FPrefixeRacine;
  AnsiString FPrefixeRacineOctets;
};
