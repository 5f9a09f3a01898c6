#pragma once
// The About box: name, version and build date of the program, links to the
// maker's home page, contact page and donation page, and the version
// history. It also holds the program's version text for the update check.
#include "rtl/Types.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

// The maker's pages.
extern const Char* const UrlSiteAuteur;
extern const Char* const UrlContact;  // "soft", "version" and "os" are added
// "[LANG]" stands for the language code ("FR", "US").
extern const Char* const UrlDonation;

class TBoiteAPropos : public TForm {
public:
  explicit TBoiteAPropos(TComponent* AOwner);
  ~TBoiteAPropos() override;

  // Components, in creation order.
  TButton* OKBtn;
  TPageControl* Onglet;
  TTabSheet* pgAbout;
  TPanel* Panel1;
  TShape* Shape1;
  TImage* imgLogo;
  TImage* imgIcon;
  TLabel* Label2;
  TLabel* LabelVersion;
  TLabel* Label7;
  TImage* imgPaypal;
  TLabel* LabelSite;
  TShape* Shape2;
  TLabel* Label5;
  TTabSheet* pgHisto;
  TRichEdit* reVersion;

  // The "FileVersion" text of the program's version resource.
  String Version;
  // The donation page, set with the language (Traduire).
  String LinkPaypal;

  // Opens a document or an address with the shell's "open" verb.
  void Shell(const String& ch);
  // The contact page with the program's version and the system's.
  String AdresseContact() const;
  void LabelSiteClick(TObject* Sender);
  void imgPaypalClick(TObject* Sender);
  void Label5Click(TObject* Sender);
  // Shows the donation picture of the language ("PAYPAL_FR" or "PAYPAL_EN").
  void ChargeImagePaypal(const String& Langue);

protected:
  void DoCreate() override;
};

// The version line: "major.minor.release #build", then " " and PrivateBuild,
// "-DBG", "-PRE", and " du " with the date; "(inconnue) " and the date when
// the version resource cannot be read. Exposed for tests.
struct TInfosVersion {
  bool Lue = false;
  Cardinal MS = 0, LS = 0;
  String PrivateBuild;
  bool Debug = false, PreRelease = false;
};
String TexteVersion(const TInfosVersion& Infos, const String& Date);
