#include "app/APropos.h"

#include "app/fMain.h"
#include "app/Interactions.h"
#include "app/core/Dossiers.h"
#include "net/netcode.h"
#include "rtl/DateUtils.h"
#include "rtl/Encoding.h"
#include "rtl/Resources.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"
#include "xml/OxVersionInfo.h"

const Char* const UrlSiteAuteur = u"https://www.quorvel.example/";
const Char* const UrlContact = u"https://www.quorvel.example/contact.php";
const Char* const UrlDonation = u"https://www.quorvel.example/don.php?lang=[LANG]";

String TexteVersion(const TInfosVersion& Infos, const String& Date) {
  if (!Infos.Lue) return u"(inconnue) " + Date;
  String s = IntToStr(static_cast<Integer>(Infos.MS >> 16)) + u"." + IntToStr(static_cast<Integer>(Infos.MS & 0xFFFF)) +
             u"." + IntToStr(static_cast<Integer>(Infos.LS >> 16)) + u" #" +
             IntToStr(static_cast<Integer>(Infos.LS & 0xFFFF));
  if (!Infos.PrivateBuild.empty()) s += u" " + Infos.PrivateBuild;
  if (Infos.Debug) s += u"-DBG";
  if (Infos.PreRelease) s += u"-PRE";
  return s + u" du " + Date;
}

namespace {

TLabel* NouveauLabel(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, Integer X,
                     Integer Y) {
  auto* l = new TLabel(Owner);
  l->SetName(Name);
  l->SetCaption(Caption);
  l->SetLeft(X);
  l->SetTop(Y);
  l->SetTransparent(true);
  l->SetParent(Parent);
  return l;
}

// The maker's logo, drawn: a pie with one slice pulled out, on white.
void DessineLogo(TBitmap& B) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(64, 64);
  TCanvas* c = B.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 64, 64));
  c->Pen()->SetColor(clWhite);
  c->Pen()->SetWidth(2);
  c->Brush()->SetColor(static_cast<TColor>(0x9C6940));
  c->Pie(4, 8, 56, 60, 56, 34, 30, 8);
  c->Brush()->SetColor(static_cast<TColor>(0x489A7F));
  c->Pie(4, 8, 56, 60, 30, 8, 4, 40);
  c->Brush()->SetColor(static_cast<TColor>(0x387BCC));
  c->Pie(8, 4, 60, 56, 4, 40, 60, 30);
}

// Percent-encoding of the text's bytes in the system code page.
String EncodeAnsi(const String& Texte) {
  const TBytes octets = TEncoding::ANSI()->GetBytes(Texte);
  const AnsiString code = PercentEncodeUrlPart(AnsiString(octets.begin(), octets.end()));
  return String(code.begin(), code.end());
}

}  // namespace

TBoiteAPropos::TBoiteAPropos(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"BoiteAPropos");
  SetCaption(u"A propos de Quorvel");
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetPosition(poOwnerFormCenter);
  SetClientSize(359, 318);
  Constraints()->SetMinWidth(377);
  Constraints()->SetMinHeight(356);

  OKBtn = new TButton(this);
  OKBtn->SetName(u"OKBtn");
  OKBtn->SetCaption(u"OK");
  OKBtn->SetDefault(true);
  OKBtn->SetCancel(true);
  OKBtn->SetModalResult(mrOk);
  OKBtn->SetBounds(276, 286, 75, 25);
  OKBtn->SetAnchors(TAnchors{akRight, akBottom});
  OKBtn->SetParent(this);

  Onglet = new TPageControl(this);
  Onglet->SetName(u"Onglet");
  Onglet->SetBounds(8, 8, 343, 270);
  Onglet->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
  Onglet->SetParent(this);

  pgAbout = new TTabSheet(this);
  pgAbout->SetName(u"pgAbout");
  pgAbout->SetCaption(u"A propos...");
  pgAbout->SetPageControl(Onglet);

  Panel1 = new TPanel(this);
  Panel1->SetName(u"Panel1");
  Panel1->SetCaption(String());
  Panel1->SetShowCaption(false);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetColor(clWhite);
  Panel1->SetAlign(alClient);
  Panel1->SetParent(pgAbout);

  Shape1 = new TShape(this);
  Shape1->SetName(u"Shape1");
  Shape1->SetAlign(alClient);
  Shape1->Pen()->SetColor(clSilver);
  Shape1->Brush()->SetColor(clWhite);
  Shape1->SetParent(Panel1);

  imgLogo = new TImage(this);
  imgLogo->SetName(u"imgLogo");
  imgLogo->SetBounds(12, 12, 64, 64);
  imgLogo->SetCursor(crHandPoint);
  imgLogo->SetParent(Panel1);

  imgIcon = new TImage(this);
  imgIcon->SetName(u"imgIcon");
  imgIcon->SetBounds(290, 12, 32, 32);
  imgIcon->SetParent(Panel1);

  Label2 = NouveauLabel(this, Panel1, u"Label2", u"Quorvel", 88, 14);
  Label2->Font()->SetSize(14);
  Label2->Font()->SetStyle(TFontStyles{fsBold});

  LabelVersion = NouveauLabel(this, Panel1, u"LabelVersion", String(), 88, 42);

  Label7 = NouveauLabel(this, Panel1, u"Label7",
                        u"Quorvel est un logiciel gratuit.\r\nS'il vous est utile, vous pouvez faire un don.", 12, 88);
  Label7->SetAutoSize(false);
  Label7->SetWordWrap(true);
  Label7->SetBounds(12, 88, 310, 30);

  imgPaypal = new TImage(this);
  imgPaypal->SetName(u"imgPaypal");
  imgPaypal->SetBounds(100, 128, 130, 40);
  imgPaypal->SetCenter(true);
  imgPaypal->SetCursor(crHandPoint);
  imgPaypal->SetParent(Panel1);

  LabelSite = NouveauLabel(this, Panel1, u"LabelSite", String(), 12, 180);
  LabelSite->Font()->SetColor(clBlue);
  LabelSite->Font()->SetStyle(TFontStyles{fsUnderline});
  LabelSite->SetCursor(crHandPoint);
  LabelSite->SetAutoSize(false);
  LabelSite->SetBounds(12, 180, 310, 16);

  Shape2 = new TShape(this);
  Shape2->SetName(u"Shape2");
  Shape2->SetBounds(12, 204, 310, 1);
  Shape2->Pen()->SetColor(clSilver);
  Shape2->SetParent(Panel1);

  Label5 = NouveauLabel(this, Panel1, u"Label5", u"Quorvel - mesure de l'espace des sites FTP", 12, 214);
  Label5->Font()->SetColor(clGray);
  Label5->SetCursor(crHandPoint);

  pgHisto = new TTabSheet(this);
  pgHisto->SetName(u"pgHisto");
  pgHisto->SetCaption(u"Historique");
  pgHisto->SetPageControl(Onglet);

  reVersion = new TRichEdit(this);
  reVersion->SetName(u"reVersion");
  reVersion->SetAlign(alClient);
  reVersion->SetReadOnly(true);
  reVersion->SetScrollBars(ssBoth);
  reVersion->SetParent(pgHisto);

  Onglet->SetActivePage(pgAbout);

  LabelSite->OnClick = [this](TObject* s) { LabelSiteClick(s); };
  imgLogo->OnClick = [this](TObject* s) { LabelSiteClick(s); };
  imgPaypal->OnClick = [this](TObject* s) { imgPaypalClick(s); };
  Label5->OnClick = [this](TObject* s) { Label5Click(s); };
}

void TBoiteAPropos::DoCreate() {
  // The program's icon, drawn on the box's white.
  const TIconHandle icone(
      static_cast<HICON>(::LoadImageW(reinterpret_cast<HINSTANCE>(HInstance()), L"MAINICON", IMAGE_ICON, 32, 32, 0)));
  if (icone) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(32, 32);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 32, 32));
    ::DrawIconEx(b.Canvas()->Handle(), 0, 0, icone.Get(), 32, 32, 0, nullptr, DI_NORMAL);
    imgIcon->Picture()->SetGraphic(&b);
  }
  {
    TBitmap logo;
    DessineLogo(logo);
    imgLogo->Picture()->SetGraphic(&logo);
  }

  std::unique_ptr<TOxVersionInfo> infos = CreateAppVersionInfo();
  String date = u"(date inconnue)";
  const TDateTime quand = infos->VerFileDate();
  if (quand != 0) date = FormatDateTime(u"ddddd", quand);
  TInfosVersion v;
  if (infos->Valid() && infos->FixedFileInfo()) {
    const TVSFixedFileInfo* f = infos->FixedFileInfo();
    v.Lue = true;
    v.MS = f->dwFileVersionMS;
    v.LS = f->dwFileVersionLS;
    v.PrivateBuild = infos->PrivateBuild();
    const Cardinal flags = f->dwFileFlags & f->dwFileFlagsMask;
    v.Debug = (flags & VS_FF_DEBUG) != 0;
    v.PreRelease = (flags & VS_FF_PRERELEASE) != 0;
    Version = infos->FileVersion();
  }
  LabelVersion->SetCaption(TexteVersion(v, date));
  LabelSite->SetCaption(UrlSiteAuteur);

  reVersion->SetPlainText(false);
  try {
    reVersion->LoadFromResource(reinterpret_cast<HINSTANCE>(HInstance()), u"VersionFR");
  } catch (...) {
    // A program built without its history shows an empty page.
  }
  TForm::DoCreate();
}

void TBoiteAPropos::ChargeImagePaypal(const String& Langue) {
  TBitmap b;
  try {
    b.LoadFromResourceName(reinterpret_cast<HINSTANCE>(HInstance()), Langue == u"FR" ? u"PAYPAL_FR" : u"PAYPAL_EN");
    imgPaypal->Picture()->SetGraphic(&b);
  } catch (...) {
    // A program built without the picture shows the box without it.
  }
}

void TBoiteAPropos::Shell(const String& ch) { Interactions().OpenDocument(HandleAllocated() ? Handle() : nullptr, ch); }

void TBoiteAPropos::LabelSiteClick(TObject*) { Shell(LabelSite->Caption()); }
void TBoiteAPropos::imgPaypalClick(TObject*) { Shell(LinkPaypal); }
void TBoiteAPropos::Label5Click(TObject*) { Shell(AdresseContact()); }

String TBoiteAPropos::AdresseContact() const {
  OSVERSIONINFOW os{};
  os.dwOSVersionInfoSize = sizeof(os);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExW(&os);
#pragma GCC diagnostic pop
  const String csd(reinterpret_cast<const Char*>(os.szCSDVersion));
  const String systeme = IntToStr(static_cast<Integer>(os.dwMajorVersion)) + u"." +
                         IntToStr(static_cast<Integer>(os.dwMinorVersion)) + u"." +
                         IntToStr(static_cast<Integer>(os.dwBuildNumber)) + u" P" +
                         IntToStr(static_cast<Integer>(os.dwPlatformId)) + u" - " + EncodeAnsi(csd);
  return String(UrlContact) + u"?soft=quorvel&version=" + EncodeAnsi(LabelVersion->Caption()) + u"&os=" + systeme;
}

TBoiteAPropos::~TBoiteAPropos() {
  if (BoiteAPropos == this) BoiteAPropos = nullptr;
}
