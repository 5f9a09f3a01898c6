#pragma once
// The site manager: the user's own sites and FileZilla's sites in one tree,
// a site editor, and opening a site in FileZilla.
#include <memory>

#include "app/core/SitesFZ.h"
#include "vcl/ActnList.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TformSites : public TForm {
public:
  explicit TformSites(TComponent* AOwner);
  ~TformSites() override;

  // Components, in creation order.
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
  TEdit* sePort;
  TUpDown* udPort;
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
  TEdit* seDispo;
  TUpDown* udDispo;
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

  // The FileZilla root and the own root, rebuilt at each showing.
  TFZFolder* RacineFZ() const { return FRacineFZ.get(); }
  TFZFolder* Racine() const { return FRacine.get(); }

private:
  std::unique_ptr<TFZFolder> FRacineFZ;
  std::unique_ptr<TFZFolder> FRacine;
};

// ---- FileZilla

// The command line that opens Site in FileZilla installed in Folder (the
// registry's folder, without "\FileZilla.exe"). A FileZilla site is named
// by its site path (" -c 0/Clients/Shop"). An own site becomes an ftp://
// address with the user, host, port and remote folder percent-encoded; the
// password is never put on the command line, where any other program of
// the session could read it: FileZilla asks for it.
String LigneCommandeFileZilla(const TFZServer& Site, const String& Folder);
// FileZilla's folder from the registry (HKLM "SoftWare\FileZilla Client",
// default value); false when the key cannot be opened.
bool DossierFileZilla(String& Folder);
// Starts FileZilla for Site (nothing for nil); a missing installation and a
// failed start are reported in message boxes.
void OpenFileZilla(const TFZServer* Site);

extern TformSites* formSites;
