#include "ControlsDemo.h"

#include "rtl/SysUtils.h"

TControlsDemoForm::TControlsDemoForm(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"Main");
  SetCaption(u"Quorvel controls demo");
  SetPosition(poScreenCenter);
  SetClientSize(560, 120);
  Font()->SetName(u"Tahoma");
  Font()->SetSize(8);

  // Built as a form description is read: stored values first, then Loaded.
  BeginLoading();

  lblPort = new TLabel(this);
  lblPort->SetName(u"lblPort");
  lblPort->SetCaption(u"Port");
  lblPort->SetBounds(8, 12, 30, 13);
  lblPort->SetParent(this);
  sePort = new TOxSpinEdit(this);
  SpinEdit(sePort, u"sePort", 8, 21);

  lblDispo = new TLabel(this);
  lblDispo->SetName(u"lblDispo");
  lblDispo->SetCaption(u"Espace");
  lblDispo->SetBounds(100, 12, 40, 13);
  lblDispo->SetParent(this);
  seDispo = new TOxSpinEdit(this);
  SpinEdit(seDispo, u"seDispo", 100, 10);
  seDispo->OnChange = [this](TObject*) { ++AllowanceChanges; };

  cbUnite = new TComboBox(this);
  cbUnite->SetName(u"cbUnite");
  cbUnite->SetStyle(csDropDownList);
  cbUnite->Items()->Add(u"Mio");
  cbUnite->Items()->Add(u"Gio");
  cbUnite->SetItemIndex(1);
  cbUnite->SetBounds(172, 28, 50, 21);
  cbUnite->SetParent(this);

  btnConnexion = new TButton(this);
  btnConnexion->SetName(u"btnConnexion");
  btnConnexion->SetCaption(u"Connexion");
  btnConnexion->SetDefault(true);
  btnConnexion->SetBounds(240, 26, 80, 25);
  btnConnexion->SetParent(this);

  SBar = new TOxStatusBar(this);
  SBar->SetName(u"SBar");
  SBar->SetParent(this);
  const Integer widths[] = {80, 117, 110, 50};
  for (Integer w : widths) SBar->AddPanel()->SetWidth(w);

  pbOccupe = new TVivProgressBar(this);
  pbOccupe->SetName(u"pbOccupe");
  pbOccupe->SetBounds(82, 2, 110, 14);
  pbOccupe->SetLevel1Perc(80);
  pbOccupe->SetLevel2Perc(90);
  pbOccupe->SetStacked(true);
  pbOccupe->SetSteps(20);
  pbOccupe->SetShowBorder(true);
  pbOccupe->SetPosition(0);
  pbOccupe->Font()->SetName(u"Verdana");
  pbOccupe->Font()->SetHeight(-13);
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
  Wait->Hide();
  Wait->SetParent(SBar);
  Wait->OnClick = [this](TObject*) {
    ++Cancelled;
    EndScan(pbOccupe->Position());
  };

  EndLoading();
  SBar->Panel(0)->SetText(u"Déconnecté");
}

void TControlsDemoForm::SpinEdit(TOxSpinEdit* Edit, const String& Name, Integer Left, double Value) {
  Edit->SetName(Name);
  Edit->SetMaxValue(65534);
  Edit->SetMinValue(1);
  Edit->SetValue(Value);
  Edit->SetThousands(true);
  Edit->SetDecimal(0);
  Edit->SetButtonKind(bkClassic);
  Edit->SetAlignment(taRightJustify);
  Edit->SetBounds(Left, 28, 64, 21);
  Edit->SetParent(this);
}

void TControlsDemoForm::StartScan() {
  SBar->Panel(0)->SetText(u"Connecté");
  SBar->Panel(3)->SetText(u"racine");
  pbOccupe->Hide();
  Wait->SetActive(true);
  Wait->Show();
}

void TControlsDemoForm::EndScan(Integer Percent) {
  Wait->SetActive(false);
  Wait->Hide();
  pbOccupe->SetPosition(Percent);
  pbOccupe->Show();
  SBar->Panel(2)->SetText(u"Libre : " + IntToStr(100 - pbOccupe->Position()) + u" %");
  SBar->Panel(3)->SetText(u"Terminé");
}
