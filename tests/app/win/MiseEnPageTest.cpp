// What a user reads in the four windows is not cut: every caption of a
// label, static text, check box, radio button and button fits its control
// in French and in English, and the spin edits show the largest value
// they take, with its digit grouping, clear of their buttons.
#include <string>

#include "AppWinTestSupport.h"

namespace {

using namespace apptest;

class MiseEnPageTest : public AppFixture {};

// The size Text takes in Font, on one line or broken into lines of at most
// Largeur pixels.
TSize Mesure(TFont* Font, const String& Text, Integer Largeur, bool Lignes) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ avant = ::SelectObject(dc, Font->Handle());
  RECT r{0, 0, Largeur, 0};
  ::DrawTextW(dc, WideCStr(Text), static_cast<int>(Text.size()), &r,
              DT_CALCRECT | (Lignes ? DT_WORDBREAK : DT_SINGLELINE));
  ::SelectObject(dc, avant);
  ::ReleaseDC(nullptr, dc);
  return TSize{r.right - r.left, r.bottom - r.top};
}

// Room taken beside the text of a check box or radio button: the 13-pixel
// mark, the gap after it and the focus frame around the text.
constexpr Integer Marque = 20;

// Every caption of Form that does not fit its control, as "name: caption".
std::vector<std::string> TextesCoupes(TCustomForm* Form) {
  std::vector<std::string> coupes;
  for (Integer i = 0; i < Form->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TControl*>(Form->Components(i));
    if (!c) continue;
    String texte;
    Integer largeur = 0;
    bool lignes = false;
    TFont* police = nullptr;
    if (auto* s = dynamic_cast<TStaticText*>(c)) {
      texte = s->Caption(), largeur = s->Width(), police = s->Font();
    } else if (auto* l = dynamic_cast<TCustomLabel*>(c)) {
      texte = l->Caption(), largeur = l->Width(), police = l->Font(), lignes = l->WordWrap();
    } else if (auto* b = dynamic_cast<TCustomCheckBox*>(c)) {
      texte = b->Caption(), largeur = b->Width() - Marque, police = b->Font(), lignes = b->WordWrap();
    } else if (auto* r = dynamic_cast<TRadioButton*>(c)) {
      texte = r->Caption(), largeur = r->Width() - Marque, police = r->Font();
    } else if (auto* b = dynamic_cast<TButton*>(c)) {
      texte = b->Caption(), largeur = b->Width() - 8, police = b->Font();
    } else {
      continue;
    }
    String sansEsperluette;
    for (Char ch : texte)
      if (ch != u'&') sansEsperluette += ch;
    if (sansEsperluette.empty()) continue;
    const TSize taille = Mesure(police, sansEsperluette, largeur, lignes);
    if (taille.cx > largeur || taille.cy > c->Height())
      coupes.push_back(U8(c->Name()) + ": " + U8(sansEsperluette) + " (" + std::to_string(taille.cx) + "x" +
                       std::to_string(taille.cy) + " in " + std::to_string(largeur) + "x" +
                       std::to_string(c->Height()) + ")");
  }
  return coupes;
}

// Whether a spin edit shows Value whole between its margins.
bool NombreEntier(TOxSpinEdit* Edit, Integer Value) {
  Edit->SetAsInteger(Value);
  const LRESULT marges = ::SendMessageW(Edit->Handle(), EM_GETMARGINS, 0, 0);
  const Integer place = Edit->ClientWidth() - LOWORD(marges) - HIWORD(marges);
  // One pixel more for the caret after the last digit.
  return Mesure(Edit->Font(), Edit->Text(), 1000, false).cx + 1 <= place;
}

TEST_F(MiseEnPageTest, NoCaptionIsCutAndSpinEditsShowTheirLargestValue) {
  Cree({u"-FR"});
  // The measure sees a cut caption: the Options check box on one line.
  BoiteOptions->cbSaveSite->SetWordWrap(false);
  EXPECT_EQ(TextesCoupes(BoiteOptions).size(), 1u);
  BoiteOptions->cbSaveSite->SetWordWrap(true);
  for (const char16_t* langue : {u"-FR", u"-US"}) {
    SCOPED_TRACE(U8(langue));
    ListeTraduction().Clear();
    Main->Parametres = {langue};
    Main->Traduire();
    for (TCustomForm* f : {static_cast<TCustomForm*>(Main), static_cast<TCustomForm*>(formSites),
                           static_cast<TCustomForm*>(BoiteAPropos), static_cast<TCustomForm*>(BoiteOptions)}) {
      f->HandleNeeded();
      for (const std::string& c : TextesCoupes(f)) ADD_FAILURE() << U8(f->Name()) << "." << c;
    }
  }
  // The lists' first column takes the width the others leave, shown and
  // after the window grows.
  Main->Show();
  for (Integer largeur : {0, 200}) {
    if (largeur) Main->SetClientSize(Main->ClientWidth() + largeur, Main->ClientHeight());
    PumpMessagesFor(100);
    for (TVastStringTree* t : {Main->listeDossier, Main->listeFichiers}) {
      SCOPED_TRACE(U8(t->Name()));
      Integer total = 0;
      for (Integer c = 0; c < t->Header().Columns().Count(); ++c) total += t->Header().Columns()[c].Width();
      EXPECT_EQ(total, t->ClientWidth());
      EXPECT_GT(t->Header().Columns()[0].Width(), 200);
    }
  }
  for (TOxSpinEdit* e : {Main->sePort, Main->seDispo, formSites->sePort, formSites->seDispo}) {
    SCOPED_TRACE(U8(e->Name()));
    e->HandleNeeded();
    EXPECT_TRUE(NombreEntier(e, 65534)) << U8(e->Text());
    EXPECT_EQ(e->Text(), u"65,534");
  }
}

// The usage bar and the busy bar lie over the status bar's second panel,
// inside its border; the last panel takes the width left, so that a long
// path shows.
TEST_F(MiseEnPageTest, TheUsageAndBusyBarsSitInTheSecondPanel) {
  Cree({u"-US"});
  Main->Show();
  PumpMessagesFor(100);
  EXPECT_EQ(Main->pbOccupe->BoundsRect(), (TRect{82, 2, 192, 16}));
  EXPECT_EQ(Main->Wait->BoundsRect(), (TRect{82, 3, 192, 14}));
  const TRect panneau = Main->SBar->PanelRect(1);
  for (TControl* c : {static_cast<TControl*>(Main->pbOccupe), static_cast<TControl*>(Main->Wait)}) {
    SCOPED_TRACE(U8(c->Name()));
    EXPECT_GE(c->Left(), panneau.Left);
    EXPECT_LE(c->Left() + c->Width(), panneau.Right);
    EXPECT_GE(c->Top(), panneau.Top);
    EXPECT_LE(c->Top() + c->Height(), panneau.Bottom);
  }
  Main->Wait->Show();
  Capture(Main, DossierCaptures(), "statusbar_busy");
  Main->Wait->Hide();
  Main->pbOccupe->SetPosition(85);
  Main->pbOccupe->Show();
  Capture(Main, DossierCaptures(), "statusbar_usage");
  for (Integer largeur : {0, 300}) {
    if (largeur) Main->SetClientSize(Main->ClientWidth() + largeur, Main->ClientHeight());
    PumpMessagesFor(100);
    const TRect dernier = Main->SBar->PanelRect(3);
    EXPECT_GT(dernier.Width(), Main->SBar->ClientWidth() - 80 - 117 - 110 - 40);
  }
}

}  // namespace
