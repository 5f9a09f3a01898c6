#pragma once
// The main window: connection fields, the folder tree and file list, the
// pie, the FTP log, the status bar with the usage and busy bars; the
// Connect/Disconnect actions, the scan's window side (IScanSink), remote
// deletions, the settings at start and exit, the translation of the four
// forms, the command line and the update check.
#include <memory>
#include <unordered_map>
#include <vector>

#include "app/JournalFTP.h"
#include "app/core/Affichage.h"
#include "app/core/Options.h"
#include "app/core/SitesFZ.h"
#include "app/core/Suppression.h"
#include "app/core/ThreadScan.h"
#include "app/core/uOutils.h"
#include "controls/win/OxSpin.h"
#include "controls/win/OxStatusBar.h"
#include "controls/win/OxWaitingGradient.h"
#include "controls/win/VivProgressBar.h"
#include "net/ftpsend.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/ActnList.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

class TformSites;
class TVivGDIPChartView;
class TBoiteAPropos;
class TBoiteOptions;

// Indexes of the shared image list.
namespace Image {
constexpr TImageIndex Dossier = 0, Fichier = 1, Supprimer = 2, GestSites = 3, Site = 4, FileZilla = 5, Quitter = 6,
                      Connecter = 7, Deconnecter = 8, APropos = 9, MiseAJour = 10, Contact = 11, Options = 12,
                      Renommer = 13;
constexpr Integer Nombre = 14;
// Overlay slots of the list: drawn over a folder the walk could not list
// (the delete cross) and over one it did not enter, a link back to a
// folder above it (the circular arrow).
constexpr TOverlay MarqueRefus = 0, MarqueBoucle = 1;
}  // namespace Image

class TMain : public TForm, public IScanSink, public IMajWebHost {
public:
  explicit TMain(TComponent* AOwner);
  ~TMain() override;

  // ---- components, in creation order
  TImageList* Images;
  TActionManager* Actions;
  TAction* aGestSites;
  TAction* aOpenFZ;
  TAction* aConnect;
  TAction* aDeco;
  TAction* aMajWeb;
  TAction* aContact;
  TAction* aAbout;
  TAction* aOptions;
  TAction* aDel;
  TAction* aQuit;
  TActionMainMenuBar* menuMain;
  TPanel* pHaut;
  TStaticText* StaticText1;
  TEdit* edHost;
  TStaticText* StaticText2;
  TEdit* edUser;
  TStaticText* StaticText3;
  TEdit* edPass;
  TStaticText* StaticText4;
  TOxSpinEdit* sePort;
  TCheckBox* cbPassif;
  TStaticText* StaticText5;
  TEdit* edRacine;
  TStaticText* StaticText6;
  TOxSpinEdit* seDispo;
  TComboBox* cbUnite;
  TButton* btnConnexion;
  TOxStatusBar* SBar;
  TVivProgressBar* pbOccupe;
  TOxWaitingGradient* Wait;
  TPanel* pClient;
  TRichEdit* meLog;
  TSplitter* splitLog;
  TPanel* pGauche;
  TVastStringTree* listeFichiers;
  TSplitter* splitListes;
  TVastStringTree* listeDossier;
  TSplitter* splitGauche;
  TVivGDIPChartView* zolChart;
  TPopupMenu* pmChart;
  TMenuItem* miEspaceLibre;
  TMenuItem* miGrouper;
  TMenuItem* miCacherLegende;
  TPopupMenu* pmSuppr;
  TMenuItem* mcDel;
  TPopupMenu* pmLog;
  TMenuItem* mStopScroll;
  TMenuItem* mClearLog;

  // ---- fields
  TDossier* Racine() const { return FSession ? FSession->Racine() : nullptr; }
  Int64 TailleTotale() const { return FSession ? FSession->TailleTotale() : 0; }
  bool FStopScroll = false;
  // The main window's copy of the site last chosen in the site manager.
  std::unique_ptr<TFZServer> LienServerFZ;
  // Options of the settings file (AutoCheckType, LastCheck, OptionLangue,
  // FZDefautPassive, SaveLastConnect, UrlUpdate, the last connection).
  TQuorvelOptions Options;

  TFTPSend* FTP() const { return FFTP.get(); }
  TScanSession* Session() const { return FSession.get(); }
  TMajWebCheck* MajWeb() const { return FMajWeb.get(); }
  TJournalFTP& Journal() { return FJournal; }
  // The pie of the selected folder as last computed (the chart's points).
  const TGraphique& Graphique() const { return FGraphique; }
  // The program's parameters (ParamStr(1)...), read at the first show;
  // tests set them before showing the window.
  std::vector<String> Parametres;
  bool ParametresLus = false;

  // ---- connection fields
  Integer Port() const;
  void SetPort(Integer Value);
  Integer Dispo() const;
  void SetDispo(Integer Value);
  // Allowed space in KiB from seDispo and cbUnite.
  Int64 EspaceAutorise() const;

  // ---- handlers and operations
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormDestroy(TObject* Sender);
  void ActionsUpdate(TBasicAction* Action, bool& Handled);
  void aConnectExecute(TObject* Sender);
  void aDecoExecute(TObject* Sender);
  void aGestSitesExecute(TObject* Sender);
  void aOpenFZExecute(TObject* Sender);
  void aMajWebExecute(TObject* Sender);
  void aContactExecute(TObject* Sender);
  void aAboutExecute(TObject* Sender);
  void aOptionsExecute(TObject* Sender);
  void aQuitExecute(TObject* Sender);
  // Deletions: the folder, or the files of the folder shown, after the
  // "Confirmation" box, on the session's worker (EnCours; the end comes
  // later, DerniereSuppression). Refused (nothing asked, nothing sent)
  // without a connection or while a scan runs or stops, whatever asked.
  TRapportSuppression SupprimeDossierChoisi(TDossier* Dossier);
  TRapportSuppression SupprimeFichiersChoisis(TDossier* Dossier, const std::vector<TFichier*>& Fichiers);
  // The Yes/No question of a deletion.
  bool Confirme(const String& Question);
  void WaitClick(TObject* Sender);
  void StopScan();
  void OnStatus(TObject* Sender, bool Response, const String& Value);
  void MsgStatut(TMessage& M);
  void mStopScrollClick(TObject* Sender);
  void mClearLogClick(TObject* Sender);
  void RemplitGraphique(TDossier* Dossier = nullptr);
  void seDispoChange(TObject* Sender);
  void pClientResize(TObject* Sender);
  // Sizes the lists and the log pane by their shares of the client area.
  void RepartitPanneaux();
  // Takes the panes' present sizes as their shares.
  void RetientParts();
  void miEspaceLibreClick(TObject* Sender);
  void miGrouperClick(TObject* Sender);
  void miCacherLegendeClick(TObject* Sender);
  void Traduire();
  void ChargeSite();
  void ChargeOptionsFichier();
  // The box of a settings file found damaged (and kept aside) when read.
  void SignaleReglagesEndommages();
  void SauveOptionsFichier();
  void LitLigneDeCommande();
  // Whether a scan is being stopped (Connect, Disconnect, Close and the
  // site manager wait meanwhile).
  bool ArretEnCours() const { return FArretEnCours > 0; }
  // The folder whose pie is shown.
  TDossier* DossierSelectionne() const { return FDossierSelectionne; }

  // ---- folder tree and file list
  void listeDossierGetText(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, String& CellText);
  void listeDossierGetImageIndex(TBaseVastTree* Sender, PVastNode Node, TVTImageKind Kind, TColumnIndex Column,
                                 TImageIndex& Index);
  void listeDossierFreeNode(TBaseVastTree* Sender, PVastNode Node);
  void listeDossierPaintText(TBaseVastTree* Sender, TCanvas* Canvas, PVastNode Node, TColumnIndex Column);
  void listeDossierGetHint(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, String& HintText);
  void listeDossierChange(TBaseVastTree* Sender, PVastNode Node);
  void listeFichiersGetText(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, String& CellText);
  void listeFichiersGetHint(TBaseVastTree* Sender, PVastNode Node, TColumnIndex Column, String& HintText);
  void listeFichiersCompareNodes(TBaseVastTree* Sender, PVastNode Node1, PVastNode Node2, TColumnIndex Column,
                                 Integer& Result);
  void listeFichiersHeaderClick(TVTHeader* Sender, const TVTHeaderHitInfo& HitInfo);
  // The folder tree's node of a folder (nullptr when it has none).
  PVastNode NoeudDossier(const TDossier* Dossier) const;
  // The folder of the tree's first selected node (nullptr for none).
  TDossier* DossierChoisi();
  // The files selected in the file list, in list order.
  std::vector<TFichier*> FichiersChoisis();
  // Selects Dossier's node (nullptr: clears the selection), which fills the
  // file list and the pie.
  void SelectionneDossier(TDossier* Dossier);
  void pmSupprPopup(TObject* Sender);
  void aDelExecute(TObject* Sender);
  // Whether aDel may run for the folder tree (Dossiers) or for the file
  // list: the pop-up menu's rule, also that of the Delete key.
  bool SuppressionOfferte(bool Dossiers);
  // The Delete key in either list: aDel, when the menu would offer it.
  void listesKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

  // ---- IScanSink
  void ConnectionChanged(bool Connected) override;
  void StartFolderShown(const String& Text) override;
  void ScanStarted() override;
  void FolderAdded(TDossier* Dossier) override;
  void FileAdded(TFichier* Fichier) override;
  void TotalsChanged(TDossier* Dossier) override;
  void FolderMarked(TDossier* Dossier) override;
  void StatusText(int Panel, const String& Text) override;
  void LogText(const String& Text) override;
  void ScanFinished(const TResultatScan& Result) override;
  void FolderRemoving(TDossier* Dossier) override;
  void FileRemoving(TFichier* Fichier) override;
  void DeletionDone() override;
  void LoginStarted() override;
  void LoginFinished(bool Connected) override;
  void DeletionStarted() override;

  // ---- IMajWebHost
  void MajWebEnable(bool Enabled) override;
  String MajWebMsg(const String& Key) override;
  bool MajWebBox(const String& Text, const String& Caption, TMajWebBox Kind) override;
  void MajWebOpen(const String& Url) override;

  // Counters for tests and the speed figures.
  int ScansTermines = 0;
  TResultatScan DernierResultat;
  int SuppressionsTerminees = 0;
  TRapportSuppression DerniereSuppression;

protected:
  void WndProc(TMessage& Message) override;

private:
  // The constructor's steps, one area of the form each, in creation order.
  void CreeActions();
  void CreeMenuPrincipal();
  void CreeBandeauConnexion();
  void CreeBarreEtat();
  void CreePanneaux();
  void CreeMenusContextuels();
  void BrancheEvenements();
  void ConfigureListes();
  void AppliqueOptionsAuxChamps();
  void RelitChampsDansOptions();
  void FinArret();
  void SuppressionFinie(const TRapportSuppression& Rapport);
  // The busy bar in place of the usage bar (a log-in, a deletion), or back.
  void MontreAttente(bool Visible);

  std::unique_ptr<TFTPSend> FFTP;
  std::unique_ptr<TScanSession> FSession;
  std::unique_ptr<TMajWebCheck> FMajWeb;
  TJournalFTP FJournal;
  TGraphique FGraphique;
  TDossier* FDossierSelectionne = nullptr;
  // The copy of a damaged settings file made when it was read, and whether
  // the user is still to be told.
  TSettingsBackup FReglagesEndommages;
  bool FReglagesASignaler = false;
  // Shares of the client area: the left panel's width, the log's height,
  // and the file list's height within the left panel.
  struct TParts {
    bool Connues = false;
    double Gauche = 0, Log = 0, Fichiers = 0;
    Integer Largeur = 0, Hauteur = 0;  // the client area they were applied to
  } FParts;
  bool FRepartitionEnCours = false;
  std::unordered_map<const TDossier*, PVastNode> FNoeuds;
  bool FArbreEnAttente = false;  // the folder tree holds changes not shown yet
  int FArretEnCours = 0;
  bool FPremierAffichage = true;
  // During a scan the walk's path in panel 3 and the log are brought up to
  // date by a timer, not at every folder: the walk never waits for the
  // screen more than it must.
  bool FMinuterie = false;
  String FProgression;
  bool FProgressionAFaire = false;
  void DemarreMinuterie();
  void ArreteMinuterie();
  void Minuterie();
};

// The four forms of the program (the entry creates them in this order).
extern TMain* Main;
extern TformSites* formSites;
extern TBoiteAPropos* BoiteAPropos;
extern TBoiteOptions* BoiteOptions;
