#pragma once
// The Options dialog: language, default transfer mode of FileZilla's sites,
// keeping the last connection, automatic update checks. It edits the main
// window's option values, which reach the settings file at exit.
#include <functional>

#include "app/core/Options.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TBoiteOptions : public TForm {
public:
  explicit TBoiteOptions(TComponent* AOwner);
  ~TBoiteOptions() override;

  // Components, in creation order.
  TGroupBox* GroupBox2;
  TLabel* Label1;
  TComboBox* CBLangue;
  TCheckBox* cbSaveSite;
  TGroupBox* radioFZ;
  TRadioButton* rbActif;
  TRadioButton* rbPassif;
  TGroupBox* GroupBox1;
  TCheckBox* cbUseMaj;
  TRadioButton* rbDay;
  TRadioButton* rbWeek;
  TRadioButton* rbMounth;
  TButton* OKBtn;
  TButton* AnnulerBtn;

  // The language before the dialog's changes.
  String SauveLng;

  // The values edited (the main window's; not owned) and what to run when
  // the language changed on OK (the main window's Traduire).
  TQuorvelOptions* Valeurs = nullptr;
  std::function<void()> OnLangueChangee;

  void FormShow(TObject* Sender);
  // The language list's first item in the loaded language (the languages'
  // own names stay as they are); the choice is kept.
  void TraduitLangues();
  void cbUseMajClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
};
