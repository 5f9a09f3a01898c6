#include "app/fSites.h"

#include "app/Interactions.h"
#include "app/fMain.h"
#include "app/ImagesApp.h"
#include "rtl/Format.h"
#include "rtl/ScopeExit.h"
#include "vcl/WinDispatcher.h"
#include "app/core/uIntl.h"
#include "net/netcode.h"
#include "rtl/SysUtils.h"
#include "rtl/UpdateGuard.h"
#include "xml/KelWinVersion.h"

namespace {

// FileZilla's key under HKEY_LOCAL_MACHINE; its default value is the
// installation folder.
constexpr const Char* CleFileZilla = u"SoftWare\\FileZilla Client";

template <class T>
T* Nouveau(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, Integer X, Integer Y,
           Integer W, Integer H) {
  T* c = new T(Owner);
  c->SetName(Name);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  c->SetParent(Parent);
  return c;
}

TOxSpinEdit* Nombre(TComponent* Owner, TWinControl* Parent, const String& Name, Integer X, Integer Y, Integer W,
                    Integer Value) {
  auto* e = new TOxSpinEdit(Owner);
  e->SetName(Name);
  e->SetMinValue(1);
  e->SetMaxValue(65534);
  e->SetValue(Value);
  e->SetThousands(true);
  e->SetDecimal(0);
  e->SetButtonKind(bkClassic);
  e->SetAlignment(taRightJustify);
  e->SetBounds(X, Y, W, 21);
  e->SetParent(Parent);
  return e;
}

TAction* NouvelleAction(TformSites* F, const String& Name, const String& Caption, TImageIndex Image) {
  auto* a = new TAction(F);
  a->SetName(Name);
  a->SetCaption(Caption);
  a->SetImageIndex(Image);
  a->SetActionList(F->ActionManager1);
  return a;
}

// Percent-encodes a path segment by segment, keeping the "/" between them.
String EncodeChemin(const String& Chemin) {
  String out;
  std::size_t i = 0;
  while (i <= Chemin.size()) {
    std::size_t j = Chemin.find(u'/', i);
    if (j == String::npos) j = Chemin.size();
    out += PercentEncodeUrlPart(Chemin.substr(i, j - i));
    if (j < Chemin.size()) out += u'/';
    i = j + 1;
  }
  return out;
}

String Guillemets(const String& S) { return S.find(u' ') != String::npos ? u"\"" + S + u"\"" : S; }

}  // namespace

TformSites::TformSites(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"formSites");
  SetCaption(u"Gestionnaire de Sites");
  SetPosition(poMainFormCenter);
  SetClientSize(642, 485);
  Constraints()->SetMinWidth(630);
  Constraints()->SetMinHeight(390);
  SetShowHint(true);
  BeginLoading();

  arboFZ = new TVastStringTree(this);
  arboFZ->SetName(u"arboFZ");
  arboFZ->SetBounds(8, 24, 250, 384);
  arboFZ->SetAnchors(TAnchors{akLeft, akTop, akBottom});
  arboFZ->SetNodeDataSize(static_cast<Integer>(sizeof(TFZObject*)));
  {
    TCustomVastTreeOptions& o = arboFZ->TreeOptions();
    o.SetSelectionOptions(o.SelectionOptions() + TVTSelectionOptions{toRightClickSelect});
    o.SetMiscOptions(o.MiscOptions() + TVTMiscOptions{toEditable, toToggleOnDblClick});
    o.SetPaintOptions(o.PaintOptions() + TVTPaintOptions{toShowButtons, toShowRoot, toShowTreeLines});
  }
  if (Main) arboFZ->SetImages(Main->Images);
  arboFZ->SetParent(this);

  StaticText9 = Nouveau<TStaticText>(this, this, u"StaticText9", u"Choisissez un site ou un dossier :", 8, 8, 250, 17);
  btnAddSite = Nouveau<TButton>(this, this, u"btnAddSite", String(), 8, 414, 120, 25);
  Button3 = Nouveau<TButton>(this, this, u"Button3", String(), 134, 414, 120, 25);
  Button4 = Nouveau<TButton>(this, this, u"Button4", String(), 8, 444, 120, 25);
  Button5 = Nouveau<TButton>(this, this, u"Button5", u"Relire de Filezilla", 134, 444, 120, 25);
  Button5->SetEnabled(false);
  for (TButton* b : {btnAddSite, Button3, Button4, Button5}) b->SetAnchors(TAnchors{akLeft, akBottom});

  PageControl1 = Nouveau<TPageControl>(this, this, u"PageControl1", String(), 268, 24, 366, 384);
  PageControl1->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
  TabSheet1 = new TTabSheet(this);
  TabSheet1->SetName(u"TabSheet1");
  TabSheet1->SetCaption(u"Général");
  TabSheet1->SetPageControl(PageControl1);

  StaticText1 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText1", u"Hôte :", 8, 14, 130, 17);
  edHost = Nouveau<TEdit>(this, TabSheet1, u"edHost", String(), 140, 10, 108, 21);
  StaticText2 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText2", u"Port :", 254, 14, 32, 17);
  // Wide enough for the largest port with its digit grouping ("65,534").
  sePort = Nombre(this, TabSheet1, u"sePort", 286, 10, 64, 21);
  StaticText3 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText3", u"Type de serveur :", 8, 44, 130, 17);
  cbServerType = Nouveau<TComboBox>(this, TabSheet1, u"cbServerType", String(), 140, 40, 210, 21);
  cbServerType->SetStyle(csDropDownList);
  cbServerType->Items()->Add(u"FTP - File Transfer Protocol");
  cbServerType->SetItemIndex(0);
  cbServerType->SetEnabled(false);
  StaticText4 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText4", u"Type d'authentification :", 8, 74, 130, 17);
  cbLogonType = Nouveau<TComboBox>(this, TabSheet1, u"cbLogonType", String(), 140, 70, 210, 21);
  cbLogonType->SetStyle(csDropDownList);
  cbLogonType->Items()->Add(u"Normal");
  cbLogonType->SetItemIndex(0);
  cbLogonType->SetEnabled(false);
  StaticText5 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText5", u"Utilisateur :", 8, 104, 130, 17);
  edUser = Nouveau<TEdit>(this, TabSheet1, u"edUser", String(), 140, 100, 210, 21);
  StaticText6 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText6", u"Mot de passe :", 8, 134, 130, 17);
  edPass = Nouveau<TEdit>(this, TabSheet1, u"edPass", String(), 140, 130, 210, 21);
  edPass->SetPasswordChar(u'*');
  StaticText7 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText7", u"Compte :", 8, 164, 130, 17);
  edAccount = Nouveau<TEdit>(this, TabSheet1, u"edAccount", String(), 140, 160, 210, 21);
  edAccount->SetEnabled(false);
  StaticText8 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText8", u"Commentaires :", 8, 192, 130, 17);
  edComment = Nouveau<TMemo>(this, TabSheet1, u"edComment", String(), 8, 210, 342, 96);
  edComment->SetScrollBars(ssVertical);
  StaticText12 = Nouveau<TStaticText>(this, TabSheet1, u"StaticText12", u"Espace alloué :", 8, 320, 130, 17);
  seDispo = Nombre(this, TabSheet1, u"seDispo", 140, 316, 70, 1);
  cbUnite = Nouveau<TComboBox>(this, TabSheet1, u"cbUnite", String(), 216, 316, 60, 21);
  cbUnite->SetStyle(csDropDownList);
  cbUnite->Items()->Add(u"Mio");
  cbUnite->Items()->Add(u"Gio");

  TabSheet2 = new TTabSheet(this);
  TabSheet2->SetName(u"TabSheet2");
  TabSheet2->SetCaption(u"Avancé");
  TabSheet2->SetPageControl(PageControl1);
  StaticText10 =
      Nouveau<TStaticText>(this, TabSheet2, u"StaticText10", u"Dossier distant par défaut :", 8, 14, 300, 17);
  edRemoteDir = Nouveau<TEdit>(this, TabSheet2, u"edRemoteDir", String(), 8, 34, 342, 21);

  TabSheet3 = new TTabSheet(this);
  TabSheet3->SetName(u"TabSheet3");
  TabSheet3->SetCaption(u"Paramètres de transfert");
  TabSheet3->SetPageControl(PageControl1);
  StaticText11 = Nouveau<TStaticText>(this, TabSheet3, u"StaticText11", u"Mode de transfert :", 8, 14, 300, 17);
  rbModeDef = Nouveau<TRadioButton>(this, TabSheet3, u"rbModeDef", u"Par défaut", 16, 36, 200, 17);
  rbModeActif = Nouveau<TRadioButton>(this, TabSheet3, u"rbModeActif", u"Actif", 16, 58, 200, 17);
  rbModePassif = Nouveau<TRadioButton>(this, TabSheet3, u"rbModePassif", u"Passif", 16, 80, 200, 17);
  PageControl1->SetActivePage(TabSheet1);

  btnOK = Nouveau<TButton>(this, this, u"btnOK", u"Ok", 398, 452, 75, 25);
  btnOK->SetDefault(true);
  btnOK->SetModalResult(mrOk);
  Button2 = Nouveau<TButton>(this, this, u"Button2", u"Annuler", 478, 452, 75, 25);
  Button2->SetCancel(true);
  Button2->SetModalResult(mrCancel);
  btnConnect = Nouveau<TButton>(this, this, u"btnConnect", u"Connexion", 558, 452, 75, 25);
  btnConnect->SetModalResult(mrOk);
  for (TButton* b : {btnOK, Button2, btnConnect}) b->SetAnchors(TAnchors{akRight, akBottom});

  ActionManager1 = new TActionManager(this);
  ActionManager1->SetName(u"ActionManager1");
  aOpenFZ = NouvelleAction(this, u"aOpenFZ", u"Ouvrir avec Filezilla", 5);
  aRename = NouvelleAction(this, u"aRename", u"Renommer", 13);
  aDel = NouvelleAction(this, u"aDel", u"Supprimer", 2);
  aNewFolder = NouvelleAction(this, u"aNewFolder", u"Nouveau dossier", -1);
  aNewSite = NouvelleAction(this, u"aNewSite", u"Nouveau site", -1);
  ActionManager1->OnUpdate = [this](TBasicAction* a, bool& h) { ActionManager1Update(a, h); };
  arboFZ->OnGetText = [this](TBaseVastTree*, PVastNode n, TColumnIndex, TVSTTextType, String& t) {
    TFZObject* e = Entree(n);
    if (!e) return;
    t = e->Nom;
    // A site of another protocol says which.
    if (auto* site = dynamic_cast<TFZServer*>(e); site && !site->FTPSimple())
      t += u" (" + NomProtocole(site->Protocol) + u")";
  };
  arboFZ->OnGetImageIndex = [this](TBaseVastTree*, PVastNode n, TVTImageKind k, TColumnIndex, bool&, TImageIndex& i) {
    if (k == ikState || k == ikOverlay) return;
    TFZObject* e = Entree(n);
    if (!e) return;
    i = dynamic_cast<TFZServer*>(e) ? Image::Site : (e == FRacineFZ.get() ? Image::FileZilla : Image::Dossier);
  };
  arboFZ->OnFocusChanging = [this](TBaseVastTree*, PVastNode, PVastNode n, TColumnIndex, TColumnIndex, bool&) {
    ChangeSelection(Entree(n));
  };
  arboFZ->OnEditing = [this](TBaseVastTree*, PVastNode n, TColumnIndex, bool& ok) {
    TFZObject* e = Entree(n);
    ok = e && !e->isFZ && e->Pere;
  };
  arboFZ->OnNewText = [this](TBaseVastTree*, PVastNode n, TColumnIndex, const String& t) {
    if (TFZObject* e = Entree(n)) e->Nom = t;
  };
  arboFZ->OnDblClick = [this](TObject* s) { arboFZDblClick(s); };
  aRename->OnExecute = [this](TObject* s) { aRenameExecute(s); };
  aNewFolder->OnExecute = [this](TObject* s) { aNewFolderExecute(s); };
  aNewSite->OnExecute = [this](TObject* s) { aNewSiteExecute(s); };
  btnOK->OnClick = [this](TObject* s) { btnOKClick(s); };
  btnConnect->OnClick = [this](TObject* s) { btnConnectClick(s); };
  aOpenFZ->OnExecute = [this](TObject* s) { aOpenFZExecute(s); };
  aDel->OnExecute = [this](TObject* s) { aDelExecute(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  pmArbo = new TPopupMenu(this);
  pmArbo->SetName(u"pmArbo");
  if (Main) pmArbo->SetImages(Main->Images);
  pmArbo->Items()->Add(NewActionItem(this, aOpenFZ));
  pmArbo->Items()->Add(NewLine(this));
  pmArbo->Items()->Add(NewActionItem(this, aRename));
  pmArbo->Items()->Add(NewActionItem(this, aDel));
  arboFZ->SetPopupMenu(pmArbo);
  btnAddSite->SetAction(aNewSite);
  Button3->SetAction(aNewFolder);
  Button4->SetAction(aDel);
  EndLoading();
}

TformSites::~TformSites() {
  if (formSites == this) formSites = nullptr;
}

// ------------------------------------------------------------ sites

void TformSites::FormShow(TObject*) { ChargeSites(); }

void TformSites::ChargeSites() {
  // Nothing may point into the trees being replaced: the nodes go first.
  FSelection = nullptr;
  arboFZ->Clear();
  TSitesLoad lu = ChargeFichiersSites(SettingsFileName, FileZillaSiteFile());
  FRacine = std::move(lu.Racine);
  FRacineFZ = std::move(lu.RacineFZ);
  PVastNode propre;
  {
    const TUpdateGuard<TBaseVastTree> Update(*arboFZ);
    propre = AjouteDossierArbre(FRacine.get(), nullptr);
    arboFZ->SetExpanded(propre, true);
    arboFZ->SetExpanded(AjouteDossierArbre(FRacineFZ.get(), nullptr), true);
  }
  arboFZ->ScrollIntoView(propre, false);
  ChangeSelection(FRacine.get());
  arboFZ->SetFocusedNode(propre);
  arboFZ->SetSelected(propre, true);
}

PVastNode TformSites::AjouteDossierArbre(TFZFolder* Dossier, PVastNode Parent) {
  PVastNode n = arboFZ->AddChild(Parent);
  *arboFZ->GetNodeData<TFZObject*>(n) = Dossier;
  for (const auto& e : Dossier->Contenu) {
    if (auto* f = dynamic_cast<TFZFolder*>(e.get())) {
      AjouteDossierArbre(f, n);
    } else {
      PVastNode s = arboFZ->AddChild(n);
      *arboFZ->GetNodeData<TFZObject*>(s) = e.get();
    }
  }
  if (Dossier->Ouvert) arboFZ->SetExpanded(n, true);
  return n;
}

TFZObject* TformSites::Entree(PVastNode Node) const {
  if (!Node) return nullptr;
  TFZObject** e = arboFZ->GetNodeData<TFZObject*>(Node);
  return e ? *e : nullptr;
}

PVastNode TformSites::Noeud(const TFZObject* E) {
  if (!E) return nullptr;
  for (PVastNode n = arboFZ->GetFirst(); n; n = arboFZ->GetNext(n))
    if (Entree(n) == E) return n;
  return nullptr;
}

void TformSites::Selectionne(const TFZObject* E) {
  PVastNode n = Noeud(E);
  if (!n) return;
  arboFZ->ClearSelection();
  arboFZ->SetFocusedNode(n);
  arboFZ->SetSelected(n, true);
  arboFZ->ScrollIntoView(n, false);
}

void TformSites::aRenameExecute(TObject*) {
  if (PVastNode n = arboFZ->FocusedNode()) arboFZ->EditNode(n, NoColumn);
}

void TformSites::arboFZDblClick(TObject*) {
  if (!dynamic_cast<TFZServer*>(FSelection)) return;
  btnOKClick(this);
  SetModalResult(mrOk);
}

void TformSites::aNewFolderExecute(TObject*) {
  PVastNode n = arboFZ->FocusedNode();
  while (n && !dynamic_cast<TFZFolder*>(Entree(n))) n = arboFZ->GetNodeParent(n);
  auto* dossier = n ? dynamic_cast<TFZFolder*>(Entree(n)) : nullptr;
  if (!dossier || dossier->isFZ) return;
  auto nouveau = std::make_unique<TFZFolder>();
  nouveau->Nom = GetMsg(u"SitesNewFolder");
  nouveau->Pere = dossier;
  nouveau->path = dossier->path + nouveau->Nom + u"/";
  TFZObject* e = dossier->Add(std::move(nouveau));
  PVastNode c = arboFZ->AddChild(n);
  *arboFZ->GetNodeData<TFZObject*>(c) = e;
  arboFZ->SetExpanded(n, true);
  Selectionne(e);
  arboFZ->EditNode(c, NoColumn);
}

void TformSites::aNewSiteExecute(TObject*) {
  PVastNode n = arboFZ->FocusedNode();
  TFZObject* choisi = Entree(n);
  if (!choisi || choisi->isFZ) return;
  auto* dossier = dynamic_cast<TFZFolder*>(choisi);
  PVastNode parent = dossier ? n : arboFZ->GetNodeParent(n);
  if (!dossier) dossier = choisi->Pere;
  if (!dossier) return;
  auto site = std::make_unique<TFZServer>();
  site->Nom = GetMsg(u"SitesNewSite");
  site->Pere = dossier;
  site->Port = 21;
  site->PasvMode = PasvModeDefault;
  TFZObject* e = dossier->Add(std::move(site));
  // Under a folder it comes last; after a site, right after it (it is saved
  // at the end of the folder all the same).
  PVastNode c = choisi == dossier ? arboFZ->AddChild(parent) : arboFZ->InsertNode(n, amInsertAfter);
  *arboFZ->GetNodeData<TFZObject*>(c) = e;
  if (parent) arboFZ->SetExpanded(parent, true);
  Selectionne(e);
  arboFZ->EditNode(c, NoColumn);
}

void TformSites::aDelExecute(TObject*) { SupprimeEntree(FSelection); }

void TformSites::ChangeSelection(TFZObject* Entree) {
  if (FSelection && FSelection != Entree) SauveServeur(FSelection);
  FSelection = AfficheServeur(Entree);
  EtatsActions(FSelection);
}

TFZObject* TformSites::AfficheServeur(TFZObject* Entree) {
  auto* site = dynamic_cast<TFZServer*>(Entree);
  const bool propre = site && !site->isFZ;
  for (TWinControl* c : std::initializer_list<TWinControl*>{edHost, sePort, edUser, edPass, edComment, edRemoteDir,
                                                            rbModeDef, rbModeActif, rbModePassif})
    c->SetEnabled(propre);
  for (TWinControl* c : std::initializer_list<TWinControl*>{seDispo, cbUnite}) c->SetEnabled(site != nullptr);
  // The server-type box shows a site's protocol; only a plain FTP site can
  // be connected to from here.
  cbServerType->Items()->Clear();
  cbServerType->Items()->Add(u"FTP - File Transfer Protocol");
  if (site && !site->FTPSimple()) cbServerType->Items()->Add(NomProtocole(site->Protocol));
  cbServerType->SetItemIndex(cbServerType->Items()->Count() - 1);
  btnConnect->SetEnabled(!site || site->FTPSimple());
  if (site) {
    if (site->Port <= 0) site->Port = 21;
    edHost->SetText(site->Host);
    sePort->SetAsInteger(site->Port);
    edUser->SetText(site->User);
    edPass->SetText(site->Pass);
    edComment->SetText(site->Commentaires);
    const Integer place = site->Place < 1 ? 1 : site->Place > 65534 ? 65534 : static_cast<Integer>(site->Place);
    seDispo->SetAsInteger(place);
    cbUnite->SetItemIndex(site->PlaceUnite < 0 ? 0 : site->PlaceUnite > 1 ? 1 : site->PlaceUnite);
    edRemoteDir->SetText(site->RemoteDir);
    rbModeDef->SetChecked(site->PasvMode == PasvModeDefault);
    rbModeActif->SetChecked(site->PasvMode == PasvModeActive);
    rbModePassif->SetChecked(site->PasvMode == PasvModePassive);
  } else {
    for (TEdit* e : {edHost, edUser, edPass, edRemoteDir}) e->SetText(String());
    edComment->SetText(String());
    sePort->SetAsInteger(21);
    // The allowed space at its minimum, the unit none.
    seDispo->SetAsInteger(0);
    cbUnite->SetItemIndex(-1);
    for (TRadioButton* r : {rbModeDef, rbModeActif, rbModePassif}) r->SetChecked(false);
  }
  return Entree;
}

void TformSites::SauveServeur(TFZObject* Entree) {
  auto* site = dynamic_cast<TFZServer*>(Entree);
  if (!site) return;
  auto nombre = [](TOxSpinEdit* e, Integer) {
    const Int64 v = e->AsInteger();
    return static_cast<Integer>(v < 1 ? 1 : v > 65534 ? 65534 : v);
  };
  if (!site->isFZ) {
    site->Host = edHost->Text();
    site->Port = nombre(sePort, 21);
    site->User = edUser->Text();
    site->Pass = edPass->Text();
    site->Commentaires = edComment->Text();
    site->RemoteDir = edRemoteDir->Text();
    site->PasvMode = rbModePassif->Checked()  ? PasvModePassive
                     : rbModeActif->Checked() ? PasvModeActive
                                              : PasvModeDefault;
  }
  site->Place = nombre(seDispo, 1);
  site->PlaceUnite = cbUnite->ItemIndex() < 0 ? 0 : cbUnite->ItemIndex();
}

void TformSites::EtatsActions(TFZObject* E) {
  const bool propre = E && !E->isFZ;
  aRename->SetEnabled(propre && E->Pere);
  aDel->SetEnabled(propre && E->Pere);
  aNewFolder->SetEnabled(propre);
  aNewSite->SetEnabled(propre);
  aOpenFZ->SetEnabled(dynamic_cast<TFZServer*>(E) != nullptr);
}

void TformSites::ActionManager1Update(TBasicAction*, bool&) {
  if (aOpenFZ->Enabled() || dynamic_cast<TFZServer*>(FSelection))
    aOpenFZ->SetEnabled(dynamic_cast<TFZServer*>(FSelection) && !edHost->Text().empty());
}

void TformSites::SauveSites() {
  if (FSelection) SauveServeur(FSelection);
  if (!FRacine || !FRacineFZ) return;
  DerniereSauvegarde = SauveFichierSites(*FRacine, *FRacineFZ);
  if (!DerniereSauvegarde.Ok)
    Interactions().MessageBox(HandleAllocated() ? Handle() : nullptr, DerniereSauvegarde.Error, GetMsg(u"Erreur"),
                              MB_OK | MB_ICONERROR);
}

void TformSites::btnOKClick(TObject*) {
  SauveSites();
  auto* site = dynamic_cast<TFZServer*>(FSelection);
  if (!site || !Main) return;
  if (!site->FTPSimple()) {
    // Not taken into the connection fields: Connect would speak plain FTP
    // to it.
    Interactions().MessageBox(HandleAllocated() ? Handle() : nullptr,
                              FormatMsg(u"ProtocoleNonFTP", NomProtocole(site->Protocol)), GetMsg(u"Erreur"),
                              MB_OK | MB_ICONERROR);
    return;
  }
  if (!Main->LienServerFZ) Main->LienServerFZ = std::make_unique<TFZServer>();
  Main->LienServerFZ->Assign(site);
  // The copy outlives this dialog's trees, which the next showing replaces:
  // it keeps its FileZilla site path instead of a link into them.
  Main->LienServerFZ->path = CheminSiteFZ(*site);
  Main->LienServerFZ->Pere = nullptr;
  Main->ChargeSite();
}

void TformSites::btnConnectClick(TObject* Sender) {
  btnOKClick(Sender);
  if (auto* site = dynamic_cast<TFZServer*>(FSelection); site && !site->FTPSimple()) return;
  // Connects once the dialog has closed, from the main window's loop.
  if (Application && Application->Dispatcher())
    Application->Dispatcher()->Post([] {
      if (Main) Main->aConnectExecute(nullptr);
    });
}

void TformSites::aOpenFZExecute(TObject*) {
  if (auto* site = dynamic_cast<TFZServer*>(FSelection)) {
    SauveServeur(site);
    OpenFileZilla(site);
  }
}

bool TformSites::SupprimeEntree(TFZObject* Entree) {
  if (!Entree || Entree->isFZ || !Entree->Pere) return false;
  const bool dossier = dynamic_cast<TFZFolder*>(Entree) != nullptr;
  String question;
  try {
    question = Format(GetMsg(u"SitesDel"), {GetMsg(dossier ? u"SitesFolder" : u"SitesSite"), Entree->Nom});
  } catch (...) {
    // A translation whose "%s" Format refuses still asks, with the name after it.
    question = GetMsg(u"SitesDel") + u" " + Entree->Nom;
  }
  if (Interactions().MessageBox(HandleAllocated() ? Handle() : nullptr, question, u"Confirmation",
                                MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  // The editor must not write into the entry (or its contents) once gone,
  // and no node may show it: its node (with those below) goes first.
  if (FSelection == Entree || (dossier && Contient(static_cast<TFZFolder*>(Entree), FSelection))) FSelection = nullptr;
  TFZFolder* pere = Entree->Pere;
  if (PVastNode n = Noeud(Entree)) arboFZ->DeleteNode(n, true);
  const bool fait = pere->Remove(Entree);
  if (!FSelection) {
    ChangeSelection(pere);
    Selectionne(pere);
  }
  return fait;
}

bool Contient(const TFZFolder* Dossier, const TFZObject* Entree) {
  if (!Dossier || !Entree) return false;
  for (const auto& e : Dossier->Contenu) {
    if (e.get() == Entree) return true;
    if (auto* f = dynamic_cast<const TFZFolder*>(e.get()); f && Contient(f, Entree)) return true;
  }
  return false;
}

String CheminSiteFZ(const TFZServer& Site) {
  if (!Site.path.empty() && !Site.Pere) return Site.path;
  return Site.Pere ? Site.Pere->path + Site.Nom : Site.Nom;
}

// ------------------------------------------------------------ FileZilla

String LigneCommandeFileZilla(const TFZServer& Site, const String& Folder) {
  String programme = IncludeTrailingPathDelimiter(Folder) + u"FileZilla.exe";
  if (Folder.find(u' ') != String::npos) programme = u"\"" + programme + u"\"";
  String arguments;
  if (Site.isFZ) {
    arguments = u" -c " + Guillemets(CheminSiteFZ(Site));
  } else {
    String adresse = u"ftp://";
    if (!Site.User.empty()) adresse += PercentEncodeUrlPart(Site.User) + u"@";
    String hote = Site.Host;
    // An IPv6 address is written in brackets in an address.
    if (hote.find(u':') != String::npos && (hote.empty() || hote[0] != u'[')) hote = u"[" + hote + u"]";
    adresse += hote + u":" + IntToStr(Site.Port > 0 ? Site.Port : 21);
    if (!Site.RemoteDir.empty()) {
      if (Site.RemoteDir[0] != u'/') adresse += u"/";
      adresse += EncodeChemin(Site.RemoteDir);
    }
    arguments = u" " + Guillemets(adresse);
  }
  return programme + arguments;
}

bool DossierFileZilla(String& Folder) {
  // The 64-bit FileZilla writes its key in the 64-bit view of the registry,
  // which a 32-bit program is not shown unless it asks for it; the 32-bit
  // FileZilla writes the 32-bit view. The view is the thread's setting of
  // the readers, given back as it was.
  const Integer Avant = RegistryView();
  const TScopeExit Retour([Avant] { SetRegistryView(Avant); });
  for (Integer v : {RegistryView64, RegistryView32}) {
    SetRegistryView(v);
    if (ReadRegistryTextEx(HKLM, CleFileZilla, String(), false, Folder)) return true;
  }
  Folder.clear();
  return false;
}

void OpenFileZilla(const TFZServer* Site) {
  if (!Site) return;
  String dossier;
  if (!DossierFileZilla(dossier)) {
    Interactions().MessageBox(nullptr, GetMsg(u"FZNotFound"), GetMsg(u"Erreur"), MB_OK | MB_ICONERROR);
    return;
  }
  const String ligne = LigneCommandeFileZilla(*Site, dossier);
  String erreur;
  if (!Interactions().StartProcess(ligne, erreur))
    Interactions().MessageBox(nullptr, GetMsg(u"FZNotFound") + u"\r\n\r\n" + ligne + u"\r\n" + erreur,
                              GetMsg(u"Erreur"), MB_OK | MB_ICONERROR);
}
