#include "app/fMain.h"

#include <algorithm>
#include <cmath>

#include "app/APropos.h"
#include "app/GraphiqueDossier.h"
#include "app/ImagesApp.h"
#include "app/Interactions.h"
#include "app/core/LigneCommande.h"
#include "app/core/Messages.h"
#include "app/core/Suppression.h"
#include "app/core/uIntl.h"
#include "app/fOptions.h"
#include "app/fSites.h"
#include "app/uTraduction.h"
#include "rtl/ScopeExit.h"
#include "vcl/WinDispatcher.h"
#include "rtl/DateUtils.h"
#include "rtl/Format.h"
#include "rtl/StringList.h"
#include "rtl/SysUtils.h"
#include "rtl/UpdateGuard.h"

TMain* Main = nullptr;
TformSites* formSites = nullptr;
TBoiteAPropos* BoiteAPropos = nullptr;
TBoiteOptions* BoiteOptions = nullptr;

namespace {

TAction* NouvelleAction(TMain* Form, const String& Name, const String& Caption, const String& Category,
                        TImageIndex Image, bool Enabled, TNotifyEvent Execute) {
  auto* a = new TAction(Form);
  a->SetName(Name);
  a->SetCaption(Caption);
  a->SetCategory(Category);
  a->SetImageIndex(Image);
  a->SetEnabled(Enabled);
  a->OnExecute = std::move(Execute);
  a->SetActionList(Form->Actions);
  return a;
}

// A field's title above it, as wide as the field: a longer translation is
// cut rather than wrapped over the field.
TStaticText* Etiquette(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, Integer X,
                       Integer W) {
  auto* s = new TStaticText(Owner);
  s->SetName(Name);
  s->SetAutoSize(false);
  s->SetCaption(Caption);
  s->SetBounds(X, 5, W, 15);
  s->SetParent(Parent);
  return s;
}

TEdit* Champ(TComponent* Owner, TWinControl* Parent, const String& Name, Integer X, Integer W) {
  auto* e = new TEdit(Owner);
  e->SetName(Name);
  e->SetBounds(X, 21, W, 21);
  e->SetParent(Parent);
  return e;
}

// A spin edit of the connection fields: 1 to 65534, digit grouping.
TOxSpinEdit* ChampNombre(TComponent* Owner, TWinControl* Parent, const String& Name, Integer X, Integer W,
                         Integer Value) {
  auto* e = new TOxSpinEdit(Owner);
  e->SetName(Name);
  e->SetMinValue(SpinMin);
  e->SetMaxValue(SpinMax);
  e->SetValue(Value);
  e->SetThousands(true);
  e->SetDecimal(0);
  e->SetButtonKind(bkClassic);
  e->SetAlignment(taRightJustify);
  e->SetBounds(X, 21, W, 21);
  e->SetParent(Parent);
  return e;
}

Integer Borne(Int64 Value) {
  return static_cast<Integer>(Value < SpinMin ? SpinMin : Value > SpinMax ? SpinMax : Value);
}

// A translated text with its "%s" filled in; a text Format refuses is shown
// with the values after it.
String FormatMsgs(const String& Texte, std::initializer_list<String> Valeurs) {
  std::vector<TVarRec> args;
  for (const String& v : Valeurs) args.emplace_back(v);
  try {
    return Format(Texte, std::span<const TVarRec>(args));
  } catch (...) {
    // A bad translation must not hide the message itself.
    String s = Texte;
    for (const String& v : Valeurs) s += u" " + v;
    return s;
  }
}

// The timer of the scan's screen updates, and its period.
constexpr UINT_PTR TimerScan = 1;
constexpr UINT PeriodeScanMs = 250;

}  // namespace

TMain::TMain(TComponent* AOwner) : TForm(AOwner), FJournal(nullptr) {
  SetName(u"Main");
  SetCaption(u"Occupation site FTP");
  SetPosition(poScreenCenter);
  SetClientSize(692, 620);
  Constraints()->SetMinWidth(700);
  Constraints()->SetMinHeight(500);
  Font()->SetName(u"Tahoma");
  Font()->SetSize(8);
  SetShowHint(true);

  // Built as a form description is read: stored values first, then Loaded.
  BeginLoading();
  CreeActions();
  CreeMenuPrincipal();
  CreeBandeauConnexion();
  CreeBarreEtat();
  CreePanneaux();
  CreeMenusContextuels();
  BrancheEvenements();
  EndLoading();
}

void TMain::CreeActions() {
  Images = new TImageList(this);
  Images->SetName(u"Images");
  RemplitImages(Images);
  Images->Overlay(Image::Supprimer, Image::MarqueRefus);
  Images->Overlay(Image::MiseAJour, Image::MarqueBoucle);

  Actions = new TActionManager(this);
  Actions->SetName(u"Actions");
  Actions->SetImages(Images);
  const String fichier = u"&Fichier", aide = u"&?";
  aGestSites = NouvelleAction(this, u"aGestSites", u"Gestionnaire de sites", fichier, Image::GestSites, true,
                              [this](TObject* s) { aGestSitesExecute(s); });
  aOpenFZ = NouvelleAction(this, u"aOpenFZ", u"Ouvrir avec Filezilla", fichier, Image::FileZilla, false,
                           [this](TObject* s) { aOpenFZExecute(s); });
  aConnect = NouvelleAction(this, u"aConnect", u"Connexion", fichier, Image::Connecter, true,
                            [this](TObject* s) { aConnectExecute(s); });
  aDeco = NouvelleAction(this, u"aDeco", u"&Déconnexion", fichier, Image::Deconnecter, false,
                         [this](TObject* s) { aDecoExecute(s); });
  aMajWeb = NouvelleAction(this, u"aMajWeb", u"Vérifier les mises à jour", aide, Image::MiseAJour, true,
                           [this](TObject* s) { aMajWebExecute(s); });
  aContact = NouvelleAction(this, u"aContact", u"Contacter le support", aide, Image::Contact, true,
                            [this](TObject* s) { aContactExecute(s); });
  aAbout = NouvelleAction(this, u"aAbout", u"A propos...", aide, Image::APropos, true,
                          [this](TObject* s) { aAboutExecute(s); });
  aOptions = NouvelleAction(this, u"aOptions", u"Options", fichier, Image::Options, true,
                            [this](TObject* s) { aOptionsExecute(s); });
  aDel = NouvelleAction(this, u"aDel", u"Supprimer", String(), Image::Supprimer, true, nullptr);
  aQuit = NouvelleAction(this, u"aQuit", u"Quitter", fichier, Image::Quitter, true,
                         [this](TObject* s) { aQuitExecute(s); });
  Actions->OnUpdate = [this](TBasicAction* a, bool& h) { ActionsUpdate(a, h); };
}

void TMain::CreeMenuPrincipal() {
  menuMain = new TActionMainMenuBar(this);
  menuMain->SetName(u"menuMain");
  menuMain->SetActionManager(Actions);
  menuMain->SetParent(this);
  {
    TMenuItem* mFichier = new TMenuItem(this);
    for (TAction* a : {aGestSites, aOpenFZ}) mFichier->Add(NewActionItem(this, a));
    mFichier->Add(NewLine(this));
    for (TAction* a : {aConnect, aDeco}) mFichier->Add(NewActionItem(this, a));
    mFichier->Add(NewLine(this));
    mFichier->Add(NewActionItem(this, aOptions));
    mFichier->Add(NewLine(this));
    mFichier->Add(NewActionItem(this, aQuit));
    menuMain->Items()->Add(mFichier);
    TMenuItem* mAide = new TMenuItem(this);
    for (TAction* a : {aMajWeb, aContact}) mAide->Add(NewActionItem(this, a));
    mAide->Add(NewLine(this));
    mAide->Add(NewActionItem(this, aAbout));
    menuMain->Items()->Add(mAide);
  }
}

// The connection fields along the top.
void TMain::CreeBandeauConnexion() {
  pHaut = new TPanel(this);
  pHaut->SetName(u"pHaut");
  pHaut->SetCaption(String());
  pHaut->SetShowCaption(false);
  pHaut->SetBevelOuter(bvNone);
  pHaut->SetHeight(50);
  pHaut->SetAlign(alTop);
  pHaut->SetParent(this);

  StaticText1 = Etiquette(this, pHaut, u"StaticText1", u"Serveur", 6, 100);
  edHost = Champ(this, pHaut, u"edHost", 6, 100);
  StaticText2 = Etiquette(this, pHaut, u"StaticText2", u"Utilisateur", 110, 78);
  edUser = Champ(this, pHaut, u"edUser", 110, 78);
  StaticText3 = Etiquette(this, pHaut, u"StaticText3", u"Mot de passe", 192, 74);
  edPass = Champ(this, pHaut, u"edPass", 192, 74);
  edPass->SetPasswordChar(u'*');
  // Wide enough for the largest port with its digit grouping ("65,534").
  StaticText4 = Etiquette(this, pHaut, u"StaticText4", u"Port", 270, 64);
  sePort = ChampNombre(this, pHaut, u"sePort", 270, 64, 21);
  cbPassif = new TCheckBox(this);
  cbPassif->SetName(u"cbPassif");
  cbPassif->SetCaption(u"Passif");
  cbPassif->SetHint(u"Utiliser le mode passif");
  cbPassif->SetBounds(338, 23, 60, 17);
  cbPassif->SetChecked(true);
  cbPassif->SetParent(pHaut);
  StaticText5 = Etiquette(this, pHaut, u"StaticText5", u"Dossier de départ", 400, 90);
  edRacine = Champ(this, pHaut, u"edRacine", 400, 90);
  StaticText6 = Etiquette(this, pHaut, u"StaticText6", u"Espace alloué", 494, 106);
  seDispo = ChampNombre(this, pHaut, u"seDispo", 494, 60, 10);
  cbUnite = new TComboBox(this);
  cbUnite->SetName(u"cbUnite");
  cbUnite->SetStyle(csDropDownList);
  cbUnite->SetBounds(556, 21, 46, 21);
  cbUnite->SetParent(pHaut);
  cbUnite->Items()->Add(u"Mio");
  cbUnite->Items()->Add(u"Gio");
  cbUnite->SetItemIndex(1);
  btnConnexion = new TButton(this);
  btnConnexion->SetName(u"btnConnexion");
  btnConnexion->SetBounds(606, 19, 80, 25);
  btnConnexion->SetDefault(true);
  btnConnexion->SetAction(aConnect);
  btnConnexion->SetParent(pHaut);
}

void TMain::CreeBarreEtat() {
  SBar = new TOxStatusBar(this);
  SBar->SetName(u"SBar");
  SBar->SetParent(this);
  for (Integer w : {80, 117, 110, 50}) SBar->AddPanel()->SetWidth(w);
  // The last panel takes what is left, so a long path stays readable.
  SBar->Panels()->Items(3)->SetWidth(-1);

  // Panel 1 holds the usage bar and the busy bar, one at a time.
  pbOccupe = new TVivProgressBar(this);
  pbOccupe->SetName(u"pbOccupe");
  pbOccupe->SetBounds(82, 2, 110, 14);
  pbOccupe->SetLevel1Perc(80);
  pbOccupe->SetLevel2Perc(90);
  pbOccupe->SetStacked(true);
  pbOccupe->SetSteps(20);
  pbOccupe->SetShowBorder(true);
  pbOccupe->SetPosition(0);
  pbOccupe->SetHint(u"Occupation de l'espace FTP");
  pbOccupe->SetShowHint(true);
  pbOccupe->Hide();
  pbOccupe->SetParent(SBar);

  Wait = new TOxWaitingGradient(this);
  Wait->SetName(u"Wait");
  Wait->SetBounds(82, 3, 110, 11);
  Wait->SetGradientWidth(50);
  Wait->SetEndColor(clActiveCaption);
  Wait->SetActive(true);
  Wait->SetHint(u"Cliquer ici pour annuler");
  Wait->SetShowHint(true);
  Wait->SetCursor(crHandPoint);
  Wait->Hide();
  Wait->SetParent(SBar);
  Wait->OnClick = [this](TObject* s) { WaitClick(s); };
}

// The client area: the log along the bottom, the two lists on the left,
// the pie on the right.
void TMain::CreePanneaux() {
  pClient = new TPanel(this);
  pClient->SetName(u"pClient");
  pClient->SetCaption(String());
  pClient->SetShowCaption(false);
  pClient->SetBevelOuter(bvNone);
  pClient->SetAlign(alClient);
  pClient->SetParent(this);

  meLog = new TRichEdit(this);
  meLog->SetName(u"meLog");
  meLog->SetHeight(46);
  meLog->SetAlign(alBottom);
  meLog->SetReadOnly(true);
  meLog->SetScrollBars(ssVertical);
  meLog->SetWordWrap(false);
  meLog->Font()->SetName(u"Tahoma");
  meLog->Font()->SetSize(8);
  meLog->SetParent(pClient);

  splitLog = new TSplitter(this);
  splitLog->SetName(u"splitLog");
  splitLog->SetHeight(4);
  splitLog->SetAlign(alBottom);
  splitLog->SetParent(pClient);

  pGauche = new TPanel(this);
  pGauche->SetName(u"pGauche");
  pGauche->SetCaption(String());
  pGauche->SetShowCaption(false);
  pGauche->SetBevelOuter(bvNone);
  pGauche->SetWidth(426);
  pGauche->SetAlign(alLeft);
  pGauche->SetParent(pClient);

  listeFichiers = new TVastStringTree(this);
  listeFichiers->SetName(u"listeFichiers");
  listeFichiers->SetHeight(100);
  listeFichiers->SetAlign(alBottom);
  listeFichiers->SetParent(pGauche);

  splitListes = new TSplitter(this);
  splitListes->SetName(u"splitListes");
  splitListes->SetHeight(4);
  splitListes->SetAlign(alBottom);
  splitListes->SetParent(pGauche);

  listeDossier = new TVastStringTree(this);
  listeDossier->SetName(u"listeDossier");
  listeDossier->SetAlign(alClient);
  listeDossier->SetParent(pGauche);
  ConfigureListes();

  splitGauche = new TSplitter(this);
  splitGauche->SetName(u"splitGauche");
  splitGauche->SetWidth(4);
  splitGauche->SetAlign(alLeft);
  splitGauche->SetParent(pClient);

  zolChart = CreeGraphiqueDossier(this, pClient, nullptr);
}

void TMain::CreeMenusContextuels() {
  pmChart = new TPopupMenu(this);
  pmChart->SetName(u"pmChart");
  miEspaceLibre = NewItem(this, u"Afficher l'espace libre", 0, [this](TObject* s) { miEspaceLibreClick(s); });
  miEspaceLibre->SetName(u"miEspaceLibre");
  miEspaceLibre->SetChecked(true);
  miGrouper = NewItem(this, u"Grouper les valeurs < 5%", 0, [this](TObject* s) { miGrouperClick(s); });
  miGrouper->SetName(u"miGrouper");
  miGrouper->SetChecked(true);
  miCacherLegende = NewItem(this, u"&Cacher la légende", 0, [this](TObject* s) { miCacherLegendeClick(s); });
  miCacherLegende->SetName(u"miCacherLegende");
  miCacherLegende->Tag = 1;
  for (TMenuItem* m : {miEspaceLibre, miGrouper, miCacherLegende}) pmChart->Items()->Add(m);
  MenuGraphique(zolChart, pmChart);

  pmSuppr = new TPopupMenu(this);
  pmSuppr->SetName(u"pmSuppr");
  pmSuppr->SetImages(Images);
  mcDel = NewActionItem(this, aDel);
  mcDel->SetName(u"mcDel");
  pmSuppr->Items()->Add(mcDel);
  pmSuppr->OnPopup = [this](TObject* s) { pmSupprPopup(s); };
  listeDossier->SetPopupMenu(pmSuppr);
  listeFichiers->SetPopupMenu(pmSuppr);
  aDel->OnExecute = [this](TObject* s) { aDelExecute(s); };

  pmLog = new TPopupMenu(this);
  pmLog->SetName(u"pmLog");
  mStopScroll = NewItem(this, u"Arrêter le défilement", 0, [this](TObject* s) { mStopScrollClick(s); });
  mStopScroll->SetName(u"mStopScroll");
  mClearLog = NewItem(this, u"Supprimer", 0, [this](TObject* s) { mClearLogClick(s); });
  mClearLog->SetName(u"mClearLog");
  pmLog->Items()->Add(mStopScroll);
  pmLog->Items()->Add(mClearLog);
  meLog->SetPopupMenu(pmLog);
}

void TMain::BrancheEvenements() {
  FJournal.SetPane(meLog);
  seDispo->OnChange = [this](TObject* s) { seDispoChange(s); };
  cbUnite->OnChange = [this](TObject* s) { seDispoChange(s); };
  pClient->OnResize = [this](TObject* s) { pClientResize(s); };
  // A splitter the user moved sets the share its pane keeps from then on.
  for (TSplitter* split : {splitLog, splitListes, splitGauche}) split->OnMoved = [this](TObject*) { RetientParts(); };
  pGauche->OnResize = [this](TObject* s) { pClientResize(s); };
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
  OnDestroy = [this](TObject* s) { FormDestroy(s); };
}

TMain::~TMain() {
  // Work posted for later (the site manager's Connect) finds no window.
  if (Main == this) Main = nullptr;
}

void TMain::ConfigureListes() {
  struct TColonne {
    const char16_t* Titre;
    Integer Largeur;
    TAlignment Alignement;
  };
  auto colonnes = [](TVastStringTree* T, std::initializer_list<TColonne> Cols) {
    TVTHeader& h = T->Header();
    for (const TColonne& c : Cols) {
      TVastTreeColumn* col = h.Columns().Add();
      col->SetText(c.Titre);
      col->SetWidth(c.Largeur);
      col->SetAlignment(c.Alignement);
    }
    h.SetMainColumn(0);
    // Shown, columns resized by dragging or fitted by a double click on a
    // splitter, moved by dragging; column 0 takes what the others leave.
    h.SetOptions(TVTHeaderOptions{hoVisible, hoColumnResize, hoAutoResize, hoDblClickResize, hoDrag});
    h.SetAutoSizeIndex(0);
  };
  colonnes(listeDossier, {{u"Dossier", 338, taLeftJustify}, {u"Taille", 80, taRightJustify}});
  colonnes(listeFichiers,
           {{u"Fichier", 230, taLeftJustify}, {u"Taille", 70, taRightJustify}, {u"Modifié", 118, taLeftJustify}});
  listeFichiers->Header().SetOptions(listeFichiers->Header().Options() + TVTHeaderOptions{hoShowSortGlyphs});
  listeFichiers->Header().SetSortColumn(0);
  listeFichiers->Header().SetSortDirection(sdAscending);

  for (TVastStringTree* t : {listeDossier, listeFichiers}) {
    t->SetNodeDataSize(static_cast<Integer>(TailleInfoNoeud));
    t->SetRootNodeCount(0);
    t->SetImages(Images);
    t->SetDefaultText(u"Accès en cours...");
    TCustomVastTreeOptions& o = t->TreeOptions();
    o.SetSelectionOptions(o.SelectionOptions() + TVTSelectionOptions{toFullRowSelect, toRightClickSelect});
    o.SetPaintOptions(o.PaintOptions() + TVTPaintOptions{toShowVertGridLines});
    o.SetAutoOptions(o.AutoOptions() - TVTAutoOptions{toAutoSort});
  }
  {
    TCustomVastTreeOptions& o = listeDossier->TreeOptions();
    o.SetPaintOptions(o.PaintOptions() + TVTPaintOptions{toShowTreeLines, toShowButtons, toShowRoot});
    o.SetSelectionOptions(o.SelectionOptions() - TVTSelectionOptions{toMultiSelect});
  }
  {
    TCustomVastTreeOptions& o = listeFichiers->TreeOptions();
    o.SetSelectionOptions(o.SelectionOptions() + TVTSelectionOptions{toMultiSelect});
    o.SetPaintOptions(o.PaintOptions() - TVTPaintOptions{toShowTreeLines, toShowButtons, toShowRoot});
  }
  // Each file's name as the hint of its row; a cell its column cuts shows
  // its whole text instead.
  listeFichiers->SetHintMode(hmHint);
  listeFichiers->SetShowHint(true);
  listeFichiers->OnGetHint = [this](TBaseVastTree* s, PVastNode n, TColumnIndex c, TVTTooltipLineBreakStyle&,
                                    String& t) { listeFichiersGetHint(s, n, c, t); };

  listeDossier->OnGetText = [this](TBaseVastTree* s, PVastNode n, TColumnIndex c, TVSTTextType, String& t) {
    listeDossierGetText(s, n, c, t);
  };
  listeDossier->OnGetImageIndex = [this](TBaseVastTree* s, PVastNode n, TVTImageKind k, TColumnIndex c, bool&,
                                         TImageIndex& i) { listeDossierGetImageIndex(s, n, k, c, i); };
  listeDossier->OnFreeNode = [this](TBaseVastTree* s, PVastNode n) { listeDossierFreeNode(s, n); };
  // A folder the walk could not list or did not enter is greyed, marked on
  // its image, and tells why in its hint; other rows have no hint.
  listeDossier->SetHintMode(hmHint);
  listeDossier->SetShowHint(true);
  listeDossier->OnGetHint = [this](TBaseVastTree* s, PVastNode n, TColumnIndex c, TVTTooltipLineBreakStyle&,
                                   String& t) { listeDossierGetHint(s, n, c, t); };
  listeDossier->OnPaintText = [this](TBaseVastTree* s, TCanvas* cv, PVastNode n, TColumnIndex c, TVSTTextType) {
    listeDossierPaintText(s, cv, n, c);
  };
  for (TVastStringTree* t : {listeDossier, listeFichiers})
    t->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { listesKeyDown(s, k, sh); };
  listeDossier->OnChange = [this](TBaseVastTree* s, PVastNode n) { listeDossierChange(s, n); };
  listeFichiers->OnGetText = [this](TBaseVastTree* s, PVastNode n, TColumnIndex c, TVSTTextType, String& t) {
    listeFichiersGetText(s, n, c, t);
  };
  listeFichiers->OnGetImageIndex = [](TBaseVastTree*, PVastNode, TVTImageKind k, TColumnIndex c, bool&,
                                      TImageIndex& i) {
    if (c > 0 || k == ikState || k == ikOverlay) return;
    i = Image::Fichier;
  };
  listeFichiers->OnCompareNodes = [this](TBaseVastTree* s, PVastNode a, PVastNode b, TColumnIndex c, Integer& r) {
    listeFichiersCompareNodes(s, a, b, c, r);
  };
  listeFichiers->OnHeaderClick = [this](TVTHeader* s, const TVTHeaderHitInfo& h) { listeFichiersHeaderClick(s, h); };
}

// ------------------------------------------------------------ folder tree and file list

void TMain::listeDossierGetText(TBaseVastTree*, PVastNode Node, TColumnIndex Column, String& CellText) {
  const TInfoNoeud* info = Node ? listeDossier->GetNodeData<TInfoNoeud>(Node) : nullptr;
  if (!info || !info->Dossier || Node->States.Contains(vsDeleting)) return;
  const TDossier* d = info->Dossier;
  if (Column == 0 || Column == NoColumn)
    CellText = d->Nom;
  else if (Column == 1 && d->Etat == TEtatDossier::NonParcouru)
    CellText = GetMsg(u"NonParcouru");  // not an empty folder's "0 Kio"
  else if (Column == 1)
    CellText = FormatOctets(d->OctetsTotal());
}

void TMain::listeDossierGetImageIndex(TBaseVastTree*, PVastNode Node, TVTImageKind Kind, TColumnIndex Column,
                                      TImageIndex& Index) {
  if (Column > 0 || Kind == ikState) return;
  const TInfoNoeud* info = listeDossier->GetNodeData<TInfoNoeud>(Node);
  if (Kind == ikOverlay) {
    if (!info || !info->Dossier || Node->States.Contains(vsDeleting)) return;
    switch (info->Dossier->Etat) {
      case TEtatDossier::AccesRefuse:
      case TEtatDossier::ListeEchouee:
        Index = Image::MarqueRefus;
        break;
      case TEtatDossier::Boucle:
        Index = Image::MarqueBoucle;
        break;
      case TEtatDossier::Normal:
      case TEtatDossier::NonParcouru:
        break;
    }
    return;
  }
  Index = info && info->isDossier ? Image::Dossier : Image::Fichier;
}

namespace {
// The folder of a folder-tree node the walk could not list or did not
// enter (nullptr for any other).
const TDossier* DossierMarque(TVastStringTree* Arbre, PVastNode Node) {
  const TInfoNoeud* info = Node ? Arbre->GetNodeData<TInfoNoeud>(Node) : nullptr;
  if (!info || !info->Dossier || Node->States.Contains(vsDeleting)) return nullptr;
  return info->Dossier->Etat == TEtatDossier::Normal ? nullptr : info->Dossier;
}
}  // namespace

void TMain::listeDossierPaintText(TBaseVastTree*, TCanvas* Canvas, PVastNode Node, TColumnIndex) {
  // A selected row keeps the selection's text colour, which grey would not
  // stand out against.
  if (Canvas && DossierMarque(listeDossier, Node) && !listeDossier->GetSelected(Node))
    Canvas->Font()->SetColor(clGrayText);
}

void TMain::listeDossierGetHint(TBaseVastTree*, PVastNode Node, TColumnIndex, String& HintText) {
  HintText.clear();
  const TDossier* d = DossierMarque(listeDossier, Node);
  if (d && d->Etat == TEtatDossier::NonParcouru) {
    HintText = GetMsg(u"NonParcouru");
    return;
  }
  if (!d || d->Reponse.empty()) return;
  // The server's refusal as it gave it; for a link back, where it leads.
  HintText = d->Etat == TEtatDossier::Boucle ? u"-> " + d->Reponse : d->Reponse;
}

void TMain::listeDossierFreeNode(TBaseVastTree*, PVastNode Node) {
  // The scan model owns the folders (TModeleScan): only the link goes.
  TInfoNoeud* info = listeDossier->GetNodeData<TInfoNoeud>(Node);
  if (!info) return;
  auto it = FNoeuds.find(info->Dossier);
  if (it != FNoeuds.end() && it->second == Node) FNoeuds.erase(it);
  *info = TInfoNoeud();
}

void TMain::listeDossierChange(TBaseVastTree*, PVastNode Node) {
  listeFichiers->Clear();
  // The tree tells a change without a node also when a click re-selects the
  // node already selected: the selection, not the argument, decides.
  if (!Node) Node = listeDossier->GetFirstSelected();
  if (!Node) return;
  const TInfoNoeud* info = listeDossier->GetNodeData<TInfoNoeud>(Node);
  if (!info || !info->Dossier) return;
  TDossier* d = info->Dossier;
  {
    const TUpdateGuard<TBaseVastTree> Update(*listeFichiers);
    for (const auto& f : d->Fichiers) {
      PVastNode n = listeFichiers->AddChild(nullptr);
      *listeFichiers->GetNodeData<TInfoNoeud>(n) = TInfoNoeud{false, nullptr, f.get()};
    }
    listeFichiers->Sort(nullptr, listeFichiers->Header().SortColumn(), listeFichiers->Header().SortDirection(), true);
  }
  RemplitGraphique(d);
}

void TMain::listeFichiersGetText(TBaseVastTree*, PVastNode Node, TColumnIndex Column, String& CellText) {
  const TInfoNoeud* info = Node ? listeFichiers->GetNodeData<TInfoNoeud>(Node) : nullptr;
  if (!info || !info->Fichier) return;
  const TFichier* f = info->Fichier;
  try {
    switch (Column) {
      case NoColumn:
      case 0:
        CellText = f->Nom;
        break;
      case 1:
        CellText = FormatOctets(f->Octets);
        break;
      case 2:
        CellText = FormatDateTime(u"c", f->DateModif);
        break;
      default:
        break;
    }
  } catch (...) {
    // A cell that cannot be formatted shows empty; the tree asks again on the next paint.
    CellText.clear();
  }
}

void TMain::listeFichiersGetHint(TBaseVastTree*, PVastNode Node, TColumnIndex Column, String& HintText) {
  const TInfoNoeud* info = Node ? listeFichiers->GetNodeData<TInfoNoeud>(Node) : nullptr;
  if (!info || !info->Fichier) return;
  HintText = info->Fichier->Nom;
  if (Column < 0 || Column >= listeFichiers->Header().Columns().Count()) return;
  // The text's full extent against its column's: the columns keep their
  // widths, so a longer date (or size) is cut on screen.
  const TRect texte = listeFichiers->GetDisplayRect(Node, Column, true, true);
  Integer gauche = 0, droite = 0;
  listeFichiers->Header().Columns().GetColumnBounds(Column, gauche, droite);
  if (texte.Right > std::min(droite - 1, listeFichiers->ClientWidth()) || texte.Left < std::max(gauche, 0))
    HintText = listeFichiers->TCustomVastStringTree::GetText(Node, Column);
}

void TMain::listeFichiersCompareNodes(TBaseVastTree*, PVastNode Node1, PVastNode Node2, TColumnIndex Column,
                                      Integer& Result) {
  const TInfoNoeud* a = listeFichiers->GetNodeData<TInfoNoeud>(Node1);
  const TInfoNoeud* b = listeFichiers->GetNodeData<TInfoNoeud>(Node2);
  if (!a || !b || !a->Fichier || !b->Fichier) return;
  const TFichier* f1 = a->Fichier;
  const TFichier* f2 = b->Fichier;
  switch (Column) {
    case 0:
      Result = CompareText(f1->Nom, f2->Nom);
      break;
    case 1:
      Result = f1->Octets < f2->Octets ? -1 : f1->Octets == f2->Octets ? 0 : 1;
      break;
    case 2:
      Result = f1->DateModif < f2->DateModif ? -1 : f1->DateModif == f2->DateModif ? 0 : 1;
      break;
    default:
      break;
  }
}

void TMain::listeFichiersHeaderClick(TVTHeader* Sender, const TVTHeaderHitInfo& HitInfo) {
  if (HitInfo.Column < 0) return;
  if (Sender->SortColumn() == HitInfo.Column) {
    Sender->SetSortDirection(Sender->SortDirection() == sdAscending ? sdDescending : sdAscending);
  } else {
    Sender->SetSortColumn(HitInfo.Column);
    Sender->SetSortDirection(sdAscending);
  }
  listeFichiers->Sort(nullptr, Sender->SortColumn(), Sender->SortDirection(), true);
  if (PVastNode n = listeFichiers->GetFirstSelected()) listeFichiers->ScrollIntoView(n, false, false);
}

PVastNode TMain::NoeudDossier(const TDossier* Dossier) const {
  auto it = FNoeuds.find(Dossier);
  return it == FNoeuds.end() ? nullptr : it->second;
}

TDossier* TMain::DossierChoisi() {
  PVastNode n = listeDossier->GetFirstSelected();
  const TInfoNoeud* info = n ? listeDossier->GetNodeData<TInfoNoeud>(n) : nullptr;
  return info ? info->Dossier : nullptr;
}

std::vector<TFichier*> TMain::FichiersChoisis() {
  std::vector<TFichier*> out;
  for (PVastNode n = listeFichiers->GetFirstSelected(); n; n = listeFichiers->GetNextSelected(n))
    if (const TInfoNoeud* info = listeFichiers->GetNodeData<TInfoNoeud>(n); info && info->Fichier)
      out.push_back(info->Fichier);
  return out;
}

void TMain::SelectionneDossier(TDossier* Dossier) {
  listeDossier->ClearSelection();
  PVastNode n = NoeudDossier(Dossier);
  if (!n) return;
  listeDossier->SetFocusedNode(n);
  listeDossier->SetSelected(n, true);
}

bool TMain::SuppressionOfferte(bool Dossiers) {
  // Only on an open connection that no scan, log-in or deletion drives.
  const bool libre = FSession && FSession->ConnexionOuverte() && !ArretEnCours();
  if (Dossiers) {
    TDossier* d = DossierChoisi();
    return libre && d && d->Pere;
  }
  return libre && listeFichiers->GetFirstSelected() != nullptr;
}

void TMain::pmSupprPopup(TObject*) { aDel->SetEnabled(SuppressionOfferte(ActiveControl() == listeDossier)); }

void TMain::listesKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  if (Key != VK_DELETE || !Shift.Empty()) return;
  Key = 0;
  // The list that has the keyboard focus is the active control, which is
  // what aDel goes by.
  auto* liste = dynamic_cast<TWinControl*>(Sender);
  if (!liste) return;
  if (ActiveControl() != liste) SetActiveControl(liste);
  pmSupprPopup(Sender);
  if (aDel->Enabled()) aDel->Execute();
}

void TMain::aDelExecute(TObject*) {
  if (ActiveControl() == listeDossier)
    SupprimeDossierChoisi(DossierChoisi());
  else
    SupprimeFichiersChoisis(FDossierSelectionne, FichiersChoisis());
}

// ------------------------------------------------------------ life cycle

void TMain::FormCreate(TObject*) {
  FStopScroll = false;
  FFTP = std::make_unique<TFTPSend>();
  FFTP->OnStatus = [this](TObject* s, Boolean r, const String& v) { OnStatus(s, r, v); };
  if (Application) Application->Initialize();
  FSession = std::make_unique<TScanSession>(*FFTP, *this, Application ? Application->Dispatcher() : nullptr);
  FMajWeb = std::make_unique<TMajWebCheck>(this, String());
}

void TMain::FormShow(TObject*) {
  if (!FPremierAffichage) return;
  FPremierAffichage = false;
  FJournal.SetFenetre(Handle());
  if (BoiteAPropos) FMajWeb->SetProgramVersion(BoiteAPropos->Version);
  // The form is laid out: its panes' sizes are the shares they keep.
  RetientParts();
  ChargeOptionsFichier();
  Traduire();
  SignaleReglagesEndommages();
  LitLigneDeCommande();
  if (LitLigneCommande(Parametres).Connecter) aConnectExecute(nullptr);
}

void TMain::FormCloseQuery(TObject*, bool& CanClose) {
  // Closing while a stop is under way waits for its end (the close is
  // asked again by the user).
  if (ArretEnCours()) {
    CanClose = false;
    return;
  }
  StopScan();
  CanClose = true;
}

void TMain::FormDestroy(TObject*) {
  if (FMajWeb) FMajWeb->Abandon(MajWebAbandonWaitMs);
  FJournal.SetFenetre(nullptr);
  if (FSession) FSession->StopScan();
  FMinuterie = false;
  FSession.reset();
  // Closes an open control connection without QUIT.
  FFTP.reset();
  SauveOptionsFichier();
  ListeTraduction().Clear();
}

void TMain::WndProc(TMessage& Message) {
  if (Message.Msg == WM_STATUT) {
    MsgStatut(Message);
    return;
  }
  if (Message.Msg == WM_TIMER && Message.WParam == TimerScan) {
    Minuterie();
    Message.Result = 0;
    return;
  }
  TForm::WndProc(Message);
}

void TMain::ActionsUpdate(TBasicAction*, bool&) {
  const bool hote = !edHost->Text().empty();
  const bool arret = ArretEnCours();
  const bool occupee = FSession && (FSession->LoginEnCours() || FSession->SuppressionEnCours());
  aConnect->SetEnabled(hote && !arret && !occupee);
  aOpenFZ->SetEnabled(hote);
  aGestSites->SetEnabled(!arret);
  aQuit->SetEnabled(!arret);
  if (arret) aDeco->SetEnabled(false);
}

// ------------------------------------------------------------ fields

Integer TMain::Port() const { return Borne(sePort->AsInteger()); }
void TMain::SetPort(Integer Value) { sePort->SetAsInteger(Value); }
Integer TMain::Dispo() const { return Borne(seDispo->AsInteger()); }
void TMain::SetDispo(Integer Value) { seDispo->SetAsInteger(Value); }
Int64 TMain::EspaceAutorise() const { return EspaceAutoriseKio(Dispo(), cbUnite->ItemIndex()); }

// ------------------------------------------------------------ scan

void TMain::aConnectExecute(TObject*) {
  if (ArretEnCours() || !FSession) return;
  TParamsConnexion p;
  p.Host = edHost->Text();
  p.Port = Port();
  p.User = edUser->Text();
  p.Pass = edPass->Text();
  p.Passif = cbPassif->Checked();
  p.Racine = edRacine->Text();
  ++FArretEnCours;
  const TScopeExit fin([this] { FinArret(); });
  // Connecte stops a running scan first (the rounds of StopScan).
  FSession->Connecte(p);
}

void TMain::aDecoExecute(TObject*) {
  if (ArretEnCours() || !FSession) return;
  ++FArretEnCours;
  const TScopeExit fin([this] { FinArret(); });
  FSession->Deconnecte();
}

void TMain::StopScan() {
  if (!FSession || !FSession->Occupee()) return;
  ++FArretEnCours;
  const TScopeExit fin([this] { FinArret(); });
  FSession->StopScan();
}

void TMain::FinArret() {
  if (FArretEnCours > 0) --FArretEnCours;
}

void TMain::WaitClick(TObject*) {
  if (FSession) FSession->WaitClick();
}

void TMain::ConnectionChanged(bool Connected) { aDeco->SetEnabled(Connected); }

void TMain::StartFolderShown(const String& Text) { edRacine->SetText(Text); }

void TMain::ScanStarted() {
  pbOccupe->Hide();
  Wait->SetActive(true);
  Wait->Show();
  if (Screen) Screen->SetCursor(crHourGlass);
  // The model was cleared: the nodes' links go without being followed.
  listeFichiers->Clear();
  listeDossier->Clear();
  FNoeuds.clear();
  FDossierSelectionne = nullptr;
  FGraphique = TGraphique();
  RemplitGraphiqueDossier(zolChart, nullptr);
  RedessineGraphique(zolChart);
  // The tree shows the walk a few times a second, not at every folder.
  listeDossier->BeginUpdate();
  FArbreEnAttente = true;
  DemarreMinuterie();
}

void TMain::DemarreMinuterie() {
  if (FMinuterie || !HandleAllocated()) return;
  FMinuterie = ::SetTimer(Handle(), TimerScan, PeriodeScanMs, nullptr) != 0;
  FJournal.SetParLots(FMinuterie);
}

void TMain::ArreteMinuterie() {
  if (FMinuterie && HandleAllocated()) ::KillTimer(Handle(), TimerScan);
  FMinuterie = false;
  FJournal.SetParLots(false);
  Minuterie();
}

void TMain::Minuterie() {
  FJournal.Vide();
  if (FArbreEnAttente) {
    // Shows what the walk added since the last tick, then defers again.
    listeDossier->EndUpdate();
    listeDossier->Invalidate();
    // Painted now: once drawing is deferred again, a pending paint would
    // never come and the tree would stay as it was before the scan.
    listeDossier->Update();
    if (FMinuterie)
      listeDossier->BeginUpdate();
    else
      FArbreEnAttente = false;
  }
  if (FProgressionAFaire) {
    FProgressionAFaire = false;
    SBar->Panels()->Items(Panneau::Progression)->SetText(FProgression);
  }
}

void TMain::FolderAdded(TDossier* Dossier) {
  PVastNode parent = Dossier->Pere ? NoeudDossier(Dossier->Pere) : nullptr;
  if (Dossier->Pere && !parent) return;
  PVastNode n = listeDossier->AddChild(parent);
  *listeDossier->GetNodeData<TInfoNoeud>(n) = TInfoNoeud{true, Dossier, nullptr};
  FNoeuds[Dossier] = n;
}

void TMain::FileAdded(TFichier* Fichier) {
  // The file list shows the selected folder's files as they come.
  if (Fichier->Dossier != FDossierSelectionne || !DossierChoisi()) return;
  PVastNode n = listeFichiers->AddChild(nullptr);
  *listeFichiers->GetNodeData<TInfoNoeud>(n) = TInfoNoeud{false, nullptr, Fichier};
}

void TMain::TotalsChanged(TDossier*) {}
void TMain::FolderMarked(TDossier* Dossier) {
  if (PVastNode n = NoeudDossier(Dossier)) listeDossier->InvalidateNode(n);
}

void TMain::StatusText(int Panel, const String& Text) {
  if (Panel == Panneau::Progression && FMinuterie && FSession && FSession->ScanEnCours()) {
    FProgression = Text;
    FProgressionAFaire = true;
    return;
  }
  if (Panel == Panneau::Progression) FProgressionAFaire = false;
  if (Panel >= 0 && Panel < SBar->Panels()->Count()) SBar->Panels()->Items(Panel)->SetText(Text);
}

void TMain::LogText(const String& Text) { FJournal.AjouteNote(Text); }

void TMain::ScanFinished(const TResultatScan& Result) {
  ArreteMinuterie();
  DernierResultat = Result;
  ++ScansTermines;
  if (PVastNode racine = NoeudDossier(Result.Racine)) {
    listeDossier->SetExpanded(racine, true);
    SelectionneDossier(Result.Racine);
  }
  RemplitGraphique(Result.Racine);
  seDispoChange(nullptr);
  Wait->SetActive(false);
  Wait->Hide();
  pbOccupe->Show();
  if (Screen) Screen->SetCursor(crDefault);
}

bool TMain::Confirme(const String& Question) {
  return Interactions().MessageBox(HandleAllocated() ? Handle() : nullptr, Question, u"Confirmation",
                                   MB_YESNO | MB_ICONQUESTION) == IDYES;
}

TRapportSuppression TMain::SupprimeDossierChoisi(TDossier* Dossier) {
  if (!FSession || ArretEnCours()) return {};
  return LanceSuppressionDossier(
      *FSession, Dossier, [this](const String& q) { return Confirme(q); },
      [this](const TRapportSuppression& r) { SuppressionFinie(r); });
}

TRapportSuppression TMain::SupprimeFichiersChoisis(TDossier* Dossier, const std::vector<TFichier*>& Fichiers) {
  if (!FSession || ArretEnCours()) return {};
  return LanceSuppressionFichiers(
      *FSession, Dossier, Fichiers, [this](const String& q) { return Confirme(q); },
      [this](const TRapportSuppression& r) { SuppressionFinie(r); });
}

void TMain::SuppressionFinie(const TRapportSuppression& Rapport) {
  DerniereSuppression = Rapport;
  ++SuppressionsTerminees;
}

void TMain::MontreAttente(bool Visible) {
  if (Visible) {
    pbOccupe->Hide();
    Wait->SetActive(true);
    Wait->Show();
  } else {
    Wait->SetActive(false);
    Wait->Hide();
    pbOccupe->Show();
  }
}

void TMain::LoginStarted() { MontreAttente(true); }

void TMain::LoginFinished(bool Connected) {
  // Connected: the scan starts at once and keeps the busy bar.
  if (!Connected) MontreAttente(false);
}

void TMain::DeletionStarted() { MontreAttente(true); }

void TMain::FolderRemoving(TDossier* Dossier) {
  // The parent is shown instead of anything at or below the folder; the
  // folder's node (and those below it) go before the model drops them.
  // A sub-folder emptied on the way to its parent's removal leaves the
  // folder shown, and its file list, as they are.
  auto dessous = [Dossier](const TDossier* d) {
    for (; d; d = d->Pere)
      if (d == Dossier) return true;
    return false;
  };
  if (dessous(FDossierSelectionne) || dessous(DossierChoisi())) {
    listeFichiers->Clear();
    FDossierSelectionne = Dossier->Pere;
    SelectionneDossier(Dossier->Pere);
  }
  if (PVastNode n = NoeudDossier(Dossier)) listeDossier->DeleteNode(n, true);
  listeDossier->Invalidate();
}

void TMain::FileRemoving(TFichier* Fichier) {
  for (PVastNode n = listeFichiers->GetFirst(); n; n = listeFichiers->GetNextSibling(n))
    if (const TInfoNoeud* info = listeFichiers->GetNodeData<TInfoNoeud>(n); info && info->Fichier == Fichier) {
      listeFichiers->DeleteNode(n, true);
      break;
    }
  listeDossier->Invalidate();
}

void TMain::DeletionDone() {
  seDispoChange(nullptr);
  RemplitGraphique(nullptr);
  MontreAttente(false);
}

// ------------------------------------------------------------ log

void TMain::OnStatus(TObject*, bool Response, const String& Value) {
  if (FSession && !FSession->IsUIThread()) {
    FJournal.Enfile(Response, Value);
    return;
  }
  if (HandleAllocated()) {
    ::SendMessageW(Handle(), WM_STATUT, Response ? 1 : 0, reinterpret_cast<LPARAM>(&Value));
  } else {
    FJournal.Ajoute(Response, Value);
  }
}

void TMain::MsgStatut(TMessage& M) {
  if (M.WParam == StatutLot) {
    FJournal.Vide();
  } else if (M.LParam) {
    FJournal.Ajoute(M.WParam != 0, *reinterpret_cast<const String*>(M.LParam));
  }
  M.Result = 0;
}

void TMain::mStopScrollClick(TObject*) {
  FStopScroll = !FStopScroll;
  FJournal.StopScroll = FStopScroll;
  mStopScroll->SetChecked(FStopScroll);
}

void TMain::mClearLogClick(TObject*) { meLog->Clear(); }

// ------------------------------------------------------------ pie and usage

void TMain::RemplitGraphique(TDossier* Dossier) {
  RemplitGraphiqueDossier(zolChart, nullptr);
  FGraphique.Parts.clear();
  TDossier* d = Dossier ? Dossier : DossierChoisi() ? DossierChoisi() : FDossierSelectionne;
  if (!d) return;
  FDossierSelectionne = d;
  FGraphique = CalculeGraphique(*d, TailleTotale(), EspaceAutorise(), miEspaceLibre->Checked(), miGrouper->Checked(),
                                FormatSettings);
  RemplitGraphiqueDossier(zolChart, &FGraphique);
}

void TMain::seDispoChange(TObject*) {
  const Int64 autorise = EspaceAutorise();
  // With no total there is nothing to tell: the panel is emptied rather
  // than left showing the free space of an earlier account.
  const std::optional<String> libre = TexteEspaceLibre(TailleTotale(), autorise, FormatSettings);
  SBar->Panels()->Items(Panneau::EspaceLibre)->SetText(libre ? *libre : String());
  const Int64 pourcent = PourcentageOccupation(TailleTotale(), autorise);
  // The bar keeps the value within its range; an Integer must hold it first.
  pbOccupe->SetPosition(static_cast<Integer>(pourcent > 1000 ? 1000 : pourcent < -1000 ? -1000 : pourcent));
  if (miEspaceLibre->Checked()) RemplitGraphique(nullptr);
}

void TMain::pClientResize(TObject*) {
  RepartitPanneaux();
  if (!zolChart) return;
  if (FParts.Connues)
    AdapteTaillePie(zolChart, pClient->ClientWidth() - pGauche->Width() - splitGauche->Width(),
                    pClient->ClientHeight() - meLog->Height() - splitLog->Height());
  else
    AdapteTaillePie(zolChart);
}

// The panes a user reads (the lists on the left, the log below) keep their
// share of the client area as the window grows or shrinks; the pie takes
// what is left. The shares are the form's own (taken at the first show)
// until the user moves a splitter.
void TMain::RepartitPanneaux() {
  if (FRepartitionEnCours || !FParts.Connues) return;
  const Integer largeur = pClient->ClientWidth(), hauteur = pClient->ClientHeight();
  // Only when the client area changed: a pane resized by its splitter keeps
  // the size the user gave it.
  if (largeur <= 0 || hauteur <= 0 || (largeur == FParts.Largeur && hauteur == FParts.Hauteur)) return;
  FParts.Largeur = largeur;
  FParts.Hauteur = hauteur;
  FRepartitionEnCours = true;
  const TScopeExit fin([this] { FRepartitionEnCours = false; });
  auto part = [](double Part, Integer Total) { return static_cast<Integer>(std::nearbyint(Part * Total)); };
  const Integer log = part(FParts.Log, hauteur);
  if (log != meLog->Height()) meLog->SetHeight(log);
  const Integer gauche = part(FParts.Gauche, largeur);
  if (gauche != pGauche->Width()) pGauche->SetWidth(gauche);
  // The left panel's height as the log just given leaves it (its own
  // resize may not have come yet).
  const Integer fichiers = part(FParts.Fichiers, hauteur - log - splitLog->Height());
  if (fichiers != listeFichiers->Height()) listeFichiers->SetHeight(fichiers);
}

void TMain::RetientParts() {
  const Integer largeur = pClient->ClientWidth(), hauteur = pClient->ClientHeight();
  const Integer gauche = hauteur - meLog->Height() - splitLog->Height();
  // Not while the form is still being laid out: a pane of no size, or as
  // large as its container, is no share to keep.
  if (pGauche->Width() <= 0 || pGauche->Width() >= largeur || meLog->Height() <= 0 || meLog->Height() >= hauteur ||
      listeFichiers->Height() <= 0 || listeFichiers->Height() >= gauche)
    return;
  FParts.Gauche = static_cast<double>(pGauche->Width()) / largeur;
  FParts.Log = static_cast<double>(meLog->Height()) / hauteur;
  FParts.Fichiers = static_cast<double>(listeFichiers->Height()) / gauche;
  FParts.Largeur = largeur;
  FParts.Hauteur = hauteur;
  FParts.Connues = true;
}

void TMain::miEspaceLibreClick(TObject*) {
  miEspaceLibre->SetChecked(!miEspaceLibre->Checked());
  RemplitGraphique(nullptr);
}

void TMain::miGrouperClick(TObject*) {
  miGrouper->SetChecked(!miGrouper->Checked());
  RemplitGraphique(nullptr);
}

void TMain::miCacherLegendeClick(TObject*) {
  miCacherLegende->Tag = miCacherLegende->Tag == 1 ? 0 : 1;
  MontreLegendePie(zolChart, miCacherLegende->Tag == 1);
  miCacherLegende->SetCaption(GetMsg(miCacherLegende->Tag == 1 ? u"HideLegend" : u"ShowLegend"));
}

// ------------------------------------------------------------ settings, language, command line

void TMain::ChargeOptionsFichier() {
  const TSettingsLoad lecture = ChargeOptions(Options, Now(), FormatSettings);
  // Kept now: the user hears of it at start, not only at exit.
  FReglagesASignaler = lecture.State == TSettingsFileState::Damaged;
  if (FReglagesASignaler) FReglagesEndommages = KeepSettingsBackup(SettingsFileName);
  AppliqueOptionsAuxChamps();
  FMajWeb->SetUrlUpdate(Options.UrlUpdate);
  FMajWeb->SetLastCheck(Options.LastCheck);
  FMajWeb->SetAutoCheckType(Options.AutoCheckType);
  FMajWeb->StartupCheck(Now());
}

void TMain::AppliqueOptionsAuxChamps() {
  if (!Options.SaveLastConnect) return;
  const TLastConnect& l = Options.Last;
  edHost->SetText(l.Host);
  SetPort(l.Port);
  edUser->SetText(l.User);
  edPass->SetText(l.Pass);
  cbPassif->SetChecked(l.Passif);
  edRacine->SetText(l.Dir);
  SetDispo(l.Alloue);
  cbUnite->SetItemIndex(l.Unite < 0 ? 0 : l.Unite > 1 ? 1 : l.Unite);
}

void TMain::RelitChampsDansOptions() {
  if (FMajWeb) {
    Options.UrlUpdate = FMajWeb->UrlUpdate();
    Options.LastCheck = FMajWeb->LastCheck();
  }
  TLastConnect& l = Options.Last;
  l.Host = edHost->Text();
  l.Port = Port();
  l.User = edUser->Text();
  l.Pass = edPass->Text();
  l.Passif = cbPassif->Checked();
  l.Dir = edRacine->Text();
  l.Alloue = Dispo();
  l.Unite = cbUnite->ItemIndex();
}

void TMain::SauveOptionsFichier() {
  RelitChampsDansOptions();
  const TSettingsSave r = SauveOptions(Options, FormatSettings);
  if (!r.Ok) {
    Interactions().MessageBox(nullptr, FormatMsgs(GetMsg(u"SettingsSaveError"), {SettingsFileName, r.Error}),
                              GetMsg(u"Erreur"), MB_OK | MB_ICONERROR);
  } else if (!r.BackupFile.empty()) {
    Interactions().MessageBox(nullptr, FormatMsgs(GetMsg(u"SettingsDamaged"), {SettingsFileName, r.BackupFile}),
                              u"Information", MB_OK | MB_ICONINFORMATION);
  }
}

// After the translation, so that the box reads in the user's language.
void TMain::SignaleReglagesEndommages() {
  if (!FReglagesASignaler) return;
  FReglagesASignaler = false;
  const TSettingsBackup& b = FReglagesEndommages;
  if (b.Ok) {
    Interactions().MessageBox(nullptr, FormatMsgs(GetMsg(u"SettingsDamaged"), {SettingsFileName, b.BackupFile}),
                              u"Information", MB_OK | MB_ICONINFORMATION);
  } else {
    Interactions().MessageBox(nullptr, FormatMsgs(GetMsg(u"SettingsSaveError"), {b.BackupFile, b.Error}),
                              GetMsg(u"Erreur"), MB_OK | MB_ICONERROR);
  }
}

void TMain::LitLigneDeCommande() {
  if (!ParametresLus) {
    Parametres.clear();
    for (Integer i = 1; i <= ParamCount(); ++i) Parametres.push_back(ParamStr(i));
    ParametresLus = true;
  }
  const TLigneCommande l = LitLigneCommande(Parametres);
  if (l.Host) edHost->SetText(*l.Host);
  if (l.User) edUser->SetText(*l.User);
  if (l.Pass) edPass->SetText(*l.Pass);
  if (l.Port) SetPort(*l.Port);
  if (l.Racine) edRacine->SetText(*l.Racine);
  if (l.Passif) cbPassif->SetChecked(*l.Passif);
}

void TMain::Traduire() {
  if (Screen) Screen->SetCursor(crHourGlass);
  const TScopeExit curseur([] {
    if (Screen) Screen->SetCursor(crDefault);
  });
  if (!ParametresLus) {
    Parametres.clear();
    for (Integer i = 1; i <= ParamCount(); ++i) Parametres.push_back(ParamStr(i));
    ParametresLus = true;
  }
  // The status bar's texts were composed from the table loaded until now.
  const std::vector<String> anciens = MessagesCharges();
  ListeTraduction().Clear();
  const String langue = ChoisitLangue(Parametres, Options.OptionLangue, UserDefaultPrimaryLanguage());
  if (LitLigneCommande(Parametres).Unlocalize) {
    const String dossier = ExtractFilePath(ParamStr(0)) + u"Ressources\\";
    ExportForm(this, dossier + u"Fr_Main.txt");
    if (BoiteOptions) ExportForm(BoiteOptions, dossier + u"Fr_Opt.txt");
    if (BoiteAPropos) ExportForm(BoiteAPropos, dossier + u"Fr_Apropos.txt");
    if (formSites) ExportForm(formSites, dossier + u"Fr_Sites.txt");
  }
  ChargeLangue(langue);
  TraduireForm(this);
  if (formSites) TraduireForm(formSites);
  if (BoiteAPropos) TraduireForm(BoiteAPropos);
  if (BoiteOptions) {
    TraduireForm(BoiteOptions);
    BoiteOptions->TraduitLangues();
  }
  for (Integer i = 0; i < SBar->Panels()->Count(); ++i) {
    TStatusPanel* panneau = SBar->Panels()->Items(i);
    panneau->SetText(RetraduitTexte(panneau->Text(), anciens));
  }
  if (BoiteAPropos) {
    BoiteAPropos->ChargeImagePaypal(langue);
    BoiteAPropos->LinkPaypal = StringReplace(UrlDonation, u"[LANG]", langue, TReplaceFlags());
  }
  // The legend item's caption follows its state, not the table's default.
  miCacherLegende->SetCaption(GetMsg(miCacherLegende->Tag == 1 ? u"HideLegend" : u"ShowLegend"));
  for (Integer i = 0; i < menuMain->Items()->Count(); ++i) {
    TMenuItem* top = menuMain->Items()->Items(i);
    if (top->Count() > 0)
      if (auto* a = dynamic_cast<TContainedAction*>(top->Items(0)->Action())) top->SetCaption(a->Category());
  }
  menuMain->Invalidate();
  RemplitGraphique(nullptr);
  seDispoChange(nullptr);
}

// ------------------------------------------------------------ other actions

void TMain::aGestSitesExecute(TObject*) {
  if (ArretEnCours() || !formSites) return;
  formSites->ShowModal();
}

void TMain::aOpenFZExecute(TObject*) {
  if (LienServerFZ) {
    OpenFileZilla(LienServerFZ.get());
    return;
  }
  TFZServer s;
  s.Host = edHost->Text();
  s.Port = Port();
  s.User = edUser->Text();
  s.Pass = edPass->Text();
  s.PasvMode = cbPassif->Checked() ? PasvModePassive : PasvModeActive;
  s.RemoteDir = edRacine->Text();
  OpenFileZilla(&s);
}

void TMain::ChargeSite() {
  // A site of another protocol is never connected to as plain FTP.
  if (!LienServerFZ || !LienServerFZ->FTPSimple()) return;
  const TFZServer& s = *LienServerFZ;
  edHost->SetText(s.Host);
  SetPort(s.Port);
  edUser->SetText(s.User);
  edPass->SetText(s.Pass);
  edRacine->SetText(s.RemoteDir);
  SetDispo(static_cast<Integer>(s.Place));
  cbUnite->SetItemIndex(s.PlaceUnite < 0 ? 0 : s.PlaceUnite > 1 ? 1 : s.PlaceUnite);
  cbPassif->SetChecked(s.PasvMode == PasvModePassive || (s.PasvMode == PasvModeDefault && Options.FZDefautPassive));
  seDispoChange(nullptr);
}

void TMain::aMajWebExecute(TObject* Sender) {
  if (FMajWeb) FMajWeb->aMajWebExecute(Sender ? Sender : this);
}

void TMain::aContactExecute(TObject*) {
  if (BoiteAPropos) BoiteAPropos->Label5Click(this);
}

void TMain::aAboutExecute(TObject*) {
  if (BoiteAPropos) BoiteAPropos->ShowModal();
}

void TMain::aOptionsExecute(TObject*) {
  if (!BoiteOptions) return;
  if (FMajWeb) Options.LastCheck = FMajWeb->LastCheck();
  BoiteOptions->Valeurs = &Options;
  BoiteOptions->OnLangueChangee = [this] { Traduire(); };
  BoiteOptions->ShowModal();
  if (FMajWeb) FMajWeb->SetAutoCheckType(Options.AutoCheckType);
}

void TMain::aQuitExecute(TObject*) { Close(); }

// ------------------------------------------------------------ update check host

void TMain::MajWebEnable(bool Enabled) { aMajWeb->SetEnabled(Enabled); }
String TMain::MajWebMsg(const String& Key) { return GetMsg(Key); }

bool TMain::MajWebBox(const String& Text, const String& Caption, TMajWebBox Kind) {
  UINT flags = MB_OK | MB_ICONINFORMATION;
  if (Kind == mwbError) flags = MB_OK | MB_ICONERROR;
  if (Kind == mwbAskYesNo) flags = MB_YESNO | MB_ICONINFORMATION;
  return Interactions().MessageBox(HandleAllocated() ? Handle() : nullptr, Text, Caption, flags) == IDYES;
}

void TMain::MajWebOpen(const String& Url) { Interactions().OpenDocument(HandleAllocated() ? Handle() : nullptr, Url); }
