#include "app/fOptions.h"

#include "app/fMain.h"
#include "app/core/uIntl.h"
#include "rtl/DateUtils.h"

namespace {

template <class T>
T* Nouveau(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, Integer X, Integer Y,
           Integer W, Integer H) {
  T* c = new T(Owner);
  c->SetName(Name);
  c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  c->SetParent(Parent);
  return c;
}

}  // namespace

TBoiteOptions::TBoiteOptions(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"BoiteOptions");
  SetCaption(u"Options");
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetPosition(poMainFormCenter);
  SetClientSize(273, 300);
  SetShowHint(true);

  GroupBox2 = Nouveau<TGroupBox>(this, this, u"GroupBox2", u" Général ", 8, 8, 257, 86);
  Label1 = Nouveau<TLabel>(this, GroupBox2, u"Label1", u"Langue :", 10, 24, 60, 13);
  Label1->SetAutoSize(true);
  CBLangue = new TComboBox(this);
  CBLangue->SetName(u"CBLangue");
  CBLangue->SetStyle(csDropDownList);
  CBLangue->SetBounds(90, 20, 155, 21);
  CBLangue->SetParent(GroupBox2);
  CBLangue->Items()->Add(u"Automatique");
  CBLangue->Items()->Add(u"Français");
  CBLangue->Items()->Add(u"English");
  CBLangue->SetItemIndex(0);
  // Two lines high: a caption longer than the group is wide goes on to a
  // second line instead of being cut at the group's edge.
  cbSaveSite = Nouveau<TCheckBox>(this, GroupBox2, u"cbSaveSite", u"Retenir les derniers paramètres de connexion", 10,
                                  48, 240, 30);
  cbSaveSite->SetWordWrap(true);

  radioFZ = Nouveau<TGroupBox>(this, this, u"radioFZ", u" Mode par défaut des sites FileZilla ", 8, 100, 257, 48);
  rbActif = Nouveau<TRadioButton>(this, radioFZ, u"rbActif", u"Actif", 10, 22, 110, 17);
  rbPassif = Nouveau<TRadioButton>(this, radioFZ, u"rbPassif", u"Passif", 130, 22, 110, 17);

  GroupBox1 = Nouveau<TGroupBox>(this, this, u"GroupBox1", u" Mises à jour ", 8, 154, 257, 106);
  cbUseMaj = Nouveau<TCheckBox>(this, GroupBox1, u"cbUseMaj", u"Activer la recherche automatique", 10, 20, 240, 17);
  rbDay = Nouveau<TRadioButton>(this, GroupBox1, u"rbDay", u"Tous les jours", 26, 42, 200, 17);
  rbWeek = Nouveau<TRadioButton>(this, GroupBox1, u"rbWeek", u"Toutes les semaines", 26, 61, 200, 17);
  rbMounth = Nouveau<TRadioButton>(this, GroupBox1, u"rbMounth", u"Tous les mois", 26, 80, 200, 17);

  OKBtn = Nouveau<TButton>(this, this, u"OKBtn", u"OK", 109, 268, 75, 25);
  OKBtn->SetDefault(true);
  OKBtn->SetModalResult(mrOk);
  AnnulerBtn = Nouveau<TButton>(this, this, u"AnnulerBtn", u"Annuler", 190, 268, 75, 25);
  AnnulerBtn->SetCancel(true);
  AnnulerBtn->SetModalResult(mrCancel);

  cbUseMaj->OnClick = [this](TObject* s) { cbUseMajClick(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TBoiteOptions::FormShow(TObject*) {
  if (!Valeurs) return;
  const TQuorvelOptions& v = *Valeurs;
  CBLangue->SetItemIndex(v.OptionLangue.empty() ? 0 : v.OptionLangue == u"FR" ? 1 : 2);
  cbSaveSite->SetChecked(v.SaveLastConnect);
  rbPassif->SetChecked(v.FZDefautPassive);
  rbActif->SetChecked(!v.FZDefautPassive);
  const bool auto_ = v.AutoCheckType >= acDaily && v.AutoCheckType <= acMonthly;
  cbUseMaj->SetChecked(auto_);
  rbDay->SetChecked(v.AutoCheckType == acDaily);
  rbWeek->SetChecked(v.AutoCheckType == acWeekly);
  rbMounth->SetChecked(v.AutoCheckType == acMonthly || !auto_);
  cbUseMajClick(cbUseMaj);
  GroupBox1->SetHint(GetMsg(u"LastCheck") + FormatDateTime(u"c", v.LastCheck));
}

void TBoiteOptions::TraduitLangues() {
  const Integer choix = CBLangue->ItemIndex();
  CBLangue->Items()->Put(0, GetMsg(u"LangueAuto"));
  CBLangue->SetItemIndex(choix);
}

void TBoiteOptions::cbUseMajClick(TObject*) {
  const bool on = cbUseMaj->Checked();
  rbDay->SetEnabled(on);
  rbWeek->SetEnabled(on);
  rbMounth->SetEnabled(on);
}

void TBoiteOptions::FormClose(TObject*, TCloseAction&) {
  if (ModalResult() != mrOk || !Valeurs) return;
  TQuorvelOptions& v = *Valeurs;
  if (!cbUseMaj->Checked())
    v.AutoCheckType = acNone;
  else if (rbDay->Checked())
    v.AutoCheckType = acDaily;
  else if (rbWeek->Checked())
    v.AutoCheckType = acWeekly;
  else if (rbMounth->Checked())
    v.AutoCheckType = acMonthly;
  else
    v.AutoCheckType = acNone;
  v.FZDefautPassive = rbPassif->Checked();
  v.SaveLastConnect = cbSaveSite->Checked();
  SauveLng = v.OptionLangue;
  const Integer i = CBLangue->ItemIndex();
  v.OptionLangue = i == 1 ? u"FR" : i == 2 ? u"US" : String();
  if (v.OptionLangue != SauveLng && OnLangueChangee) OnLangueChangee();
}

TBoiteOptions::~TBoiteOptions() {
  if (BoiteOptions == this) BoiteOptions = nullptr;
}
