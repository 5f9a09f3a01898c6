#pragma once
// The site manager: the user's own sites and FileZilla's sites in one tree,
// a site editor, and opening a site in FileZilla.
#include <memory>

#include "app/core/SitesFZ.h"
#include "controls/win/OxSpin.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/ActnList.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

class TformSites : public TForm {
public:
  explicit TformSites(TComponent* AOwner);
  ~TformSites() override;

  // Components, in creation order.
  TVastStringTree* arboFZ;
  TStaticText* StaticText9;
  TButton* btnAddSite;
  TButton* Button3;
  TButton* Button4;
  TButton* Button5;
  TPageControl* PageControl1;
  TTabSheet* TabSheet1;
  TStaticText* StaticText1;
  TEdit* edHost;
  TStaticText* StaticText2;
  TOxSpinEdit* sePort;
  TStaticText* StaticText3;
  TComboBox* cbServerType;
  TStaticText* StaticText4;
  TComboBox* cbLogonType;
  TStaticText* StaticText5;
  TEdit* edUser;
  TStaticText* StaticText6;
  TEdit* edPass;
  TStaticText* StaticText7;
  TEdit* edAccount;
  TStaticText* StaticText8;
  TMemo* edComment;
  TStaticText* StaticText12;
  TOxSpinEdit* seDispo;
  TComboBox* cbUnite;
  TTabSheet* TabSheet2;
  TStaticText* StaticText10;
  TEdit* edRemoteDir;
  TTabSheet* TabSheet3;
  TStaticText* StaticText11;
  TRadioButton* rbModeDef;
  TRadioButton* rbModeActif;
  TRadioButton* rbModePassif;
  TButton* btnOK;
  TButton* Button2;
  TButton* btnConnect;
  TActionManager* ActionManager1;
  TAction* aOpenFZ;
  TAction* aRename;
  TAction* aDel;
  TAction* aNewFolder;
  TAction* aNewSite;
  // The site tree's pop-up menu: open in FileZilla, rename, delete.
  TPopupMenu* pmArbo;

  // The FileZilla root and the own root, rebuilt at each showing.
  TFZFolder* RacineFZ() const { return FRacineFZ.get(); }
  TFZFolder* Racine() const { return FRacine.get(); }
  // The entry shown in the editor (nullptr: none).
  TFZObject* Selection() const { return FSelection; }

  void FormShow(TObject* Sender);
  // Rebuilds both trees from the settings file and FileZilla's site file.
  void ChargeSites();
  // Adds Dossier's node under Parent and, below it, its contents.
  PVastNode AjouteDossierArbre(TFZFolder* Dossier, PVastNode Parent);
  // The entry of a node of arboFZ (nullptr for none).
  TFZObject* Entree(PVastNode Node) const;
  // The node of an entry (nullptr when it has none).
  PVastNode Noeud(const TFZObject* Entree);
  // Selects Entree's node, which shows it in the editor.
  void Selectionne(const TFZObject* Entree);
  // Starts editing the name of the selected entry in place.
  void aRenameExecute(TObject* Sender);
  // A double click in the tree: a selected site is confirmed and the
  // dialog closes.
  void arboFZDblClick(TObject* Sender);
  void aNewFolderExecute(TObject* Sender);
  void aNewSiteExecute(TObject* Sender);
  void aDelExecute(TObject* Sender);
  // The editor and the actions for Entree (a site, a folder or nullptr);
  // the old entry's fields are taken over first.
  void ChangeSelection(TFZObject* Entree);
  // Shows Entree's site in the editor; returns Entree.
  TFZObject* AfficheServeur(TFZObject* Entree);
  // Takes the editor's fields into Entree's site.
  void SauveServeur(TFZObject* Entree);
  // Action states for the entry shown.
  void EtatsActions(TFZObject* Entree);
  void ActionManager1Update(TBasicAction* Action, bool& Handled);
  // Writes the sites (editor first) to the settings file.
  void SauveSites();
  void btnOKClick(TObject* Sender);
  void btnConnectClick(TObject* Sender);
  void aOpenFZExecute(TObject* Sender);
  // Removes Entree (not FileZilla's, not a root) after the confirmation.
  bool SupprimeEntree(TFZObject* Entree);
  // Result of the last save (for the window to report a failure).
  TSettingsSave DerniereSauvegarde;

private:
  std::unique_ptr<TFZFolder> FRacineFZ;
  std::unique_ptr<TFZFolder> FRacine;
  TFZObject* FSelection = nullptr;  // an entry of the trees above, or nullptr
};

// ---- FileZilla

// Whether Entree is somewhere in Dossier's tree.
bool Contient(const TFZFolder* Dossier, const TFZObject* Entree);
// FileZilla's site path of a site: its folder's path and its name.
String CheminSiteFZ(const TFZServer& Site);

// The command line that opens Site in FileZilla installed in Folder (the
// registry's folder, without "\FileZilla.exe"). A FileZilla site is named
// by its site path (" -c 0/Clients/Shop"). An own site becomes an ftp://
// address with the user, host, port and remote folder percent-encoded; the
// password is never put on the command line, where any other program of
// the session could read it: FileZilla asks for it.
String LigneCommandeFileZilla(const TFZServer& Site, const String& Folder);
// FileZilla's folder from the registry (HKLM "SoftWare\FileZilla Client",
// default value), in the 64-bit view first, then the 32-bit view; false
// when neither holds the key with its value.
bool DossierFileZilla(String& Folder);
// Starts FileZilla for Site (nothing for nil); a missing installation and a
// failed start are reported in message boxes.
void OpenFileZilla(const TFZServer* Site);

extern TformSites* formSites;
