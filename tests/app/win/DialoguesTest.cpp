// The About box and the Options dialog.
#include "AppWinTestSupport.h"
#include "rtl/DateUtils.h"

namespace {

using namespace apptest;

class DialoguesTest : public AppFixture {};

TEST(TexteVersion, NumbersFlagsAndUnknown) {
  struct Cas {
    TInfosVersion infos;
    const char16_t* attendu;
  };
  const Cas cas[] = {
      {{true, 0x00000005, 0x0000000F, u"", false, false}, u"0.5.0 #15 du 01/02/2026"},
      {{true, 0x00010002, 0x00030004, u"beta", true, false}, u"1.2.3 #4 beta-DBG du 01/02/2026"},
      {{true, 0x00000005, 0x0000000F, u"", false, true}, u"0.5.0 #15-PRE du 01/02/2026"},
      {{false, 0, 0, u"", false, false}, u"(inconnue) 01/02/2026"},
  };
  for (const Cas& c : cas) EXPECT_EQ(TexteVersion(c.infos, u"01/02/2026"), c.attendu);
}

TEST_F(DialoguesTest, AboutShowsTheVersionResourceAndOpensTheMakersPages) {
  Cree({u"-US"});
  Main->Traduire();
  EXPECT_EQ(BoiteAPropos->Version, u"0.5.0.15");
  EXPECT_EQ(BoiteAPropos->LabelVersion->Caption().rfind(u"0.5.0 #15 du ", 0), 0u)
      << U8(BoiteAPropos->LabelVersion->Caption());
  EXPECT_EQ(BoiteAPropos->LabelSite->Caption(), UrlSiteAuteur);
  EXPECT_NE(BoiteAPropos->reVersion->Text().find(u"0.5.0.15"), String::npos);
  EXPECT_EQ(BoiteAPropos->imgIcon->Picture()->Width(), 32);
  EXPECT_GT(BoiteAPropos->imgPaypal->Picture()->Width(), 0);

  BoiteAPropos->LabelSiteClick(nullptr);
  BoiteAPropos->imgPaypalClick(nullptr);
  Main->aContactExecute(nullptr);
  ASSERT_EQ(Monde.Documents.size(), 3u);
  EXPECT_EQ(Monde.Documents[0], UrlSiteAuteur);
  EXPECT_EQ(Monde.Documents[1], StringReplace(UrlDonation, u"[LANG]", u"US", TReplaceFlags()));
  // The version and the system's service-pack text percent-encoded; the
  // numbers and separators of "os" left as they are.
  const String contact = Monde.Documents[2];
  EXPECT_EQ(contact.rfind(String(UrlContact) + u"?soft=quorvel&version=0.5.0%20%2315%20du%20", 0), 0u) << U8(contact);
  const std::size_t os = contact.find(u"&os=");
  ASSERT_NE(os, String::npos);
  EXPECT_NE(contact.find(u" P2 - ", os), String::npos) << U8(contact);

  BoiteAPropos->Show();
  Capture(BoiteAPropos, DossierCaptures(), "about_us");
  BoiteAPropos->Onglet->SetActivePage(BoiteAPropos->pgHisto);
  Capture(BoiteAPropos, DossierCaptures(), "about_history_us");
  BoiteAPropos->Hide();

  ListeTraduction().Clear();
  Main->Parametres = {u"-FR"};
  Main->Traduire();
  BoiteAPropos->Onglet->SetActivePage(BoiteAPropos->pgAbout);
  BoiteAPropos->Show();
  Capture(BoiteAPropos, DossierCaptures(), "about_fr");
  BoiteAPropos->Hide();
}

TEST_F(DialoguesTest, OptionsShowAndStoreTheMainWindowsValues) {
  Cree({u"-FR"});
  Main->Traduire();
  TBoiteOptions* o = BoiteOptions;
  Main->Options.AutoCheckType = acNone;
  Main->Options.OptionLangue = u"FR";
  Main->Options.FZDefautPassive = true;
  Main->Options.SaveLastConnect = false;
  Main->Options.LastCheck = EncodeDate(2026, 3, 4);
  o->Valeurs = &Main->Options;
  o->OnLangueChangee = [] { Main->Traduire(); };
  o->Show();
  // Automatic checks off: monthly preselected and the choices disabled.
  EXPECT_FALSE(o->cbUseMaj->Checked());
  EXPECT_TRUE(o->rbMounth->Checked());
  EXPECT_FALSE(o->rbDay->Enabled());
  EXPECT_EQ(o->CBLangue->ItemIndex(), 1);
  EXPECT_TRUE(o->rbPassif->Checked());
  EXPECT_FALSE(o->rbActif->Checked());
  EXPECT_EQ(o->GroupBox1->Hint().rfind(u"Dernière vérification : ", 0), 0u);
  Capture(o, DossierCaptures(), "options_fr");

  // Cancel keeps everything.
  o->cbUseMaj->SetChecked(true);
  o->SetModalResult(mrCancel);
  TCloseAction a = caHide;
  o->FormClose(o, a);
  EXPECT_EQ(Main->Options.AutoCheckType, acNone);

  // OK stores the values; a new language translates at once.
  o->cbUseMaj->SetChecked(true);
  EXPECT_TRUE(o->rbDay->Enabled());
  o->rbWeek->SetChecked(true);
  o->rbActif->SetChecked(true);
  o->cbSaveSite->SetChecked(true);
  o->CBLangue->SetItemIndex(2);
  o->SetModalResult(mrOk);
  o->FormClose(o, a);
  EXPECT_EQ(Main->Options.AutoCheckType, acWeekly);
  EXPECT_FALSE(Main->Options.FZDefautPassive);
  EXPECT_TRUE(Main->Options.SaveLastConnect);
  EXPECT_EQ(Main->Options.OptionLangue, u"US");
  EXPECT_EQ(o->SauveLng, u"FR");
  // The command line's -FR still wins, so translate as a user without it.
  Main->Parametres = {};
  Main->Traduire();
  EXPECT_EQ(Main->Caption(), u"Folder sizes of FTP sites");
  o->FormShow(o);
  Capture(o, DossierCaptures(), "options_us");
  o->Hide();
}

}  // namespace
