#include "app/core/uIntl.h"

#include <memory>

#include "app/core/LigneCommande.h"
#include "app/core/Messages.h"
#include "rtl/Encoding.h"
#include "rtl/Format.h"
#include "rtl/Resources.h"
#include "rtl/StringList.h"
#include "rtl/SysUtils.h"

namespace {

// The tables are Windows-1252 text; decoding them with the system code page
// would garble every accent on a machine set to another one.
constexpr Cardinal TableCodePage = 1252;

String BarresEnSautsDeLigne(const String& Value) { return StringReplace(Value, u"|", u"\r\n", rfReplaceAll); }

bool TrouveSwitch(const std::vector<String>& Params, const String& Word) {
  for (const String& P : Params)
    if (EstSwitch(P, Word)) return true;
  return false;
}

// The values that fill the "%s" of Modele to give Texte; false when Texte
// is not made that way (or Modele holds another kind of format).
bool ValeursDuModele(const String& Texte, const String& Modele, std::vector<String>& Valeurs) {
  std::vector<String> morceaux;
  std::size_t debut = 0;
  for (std::size_t p = Modele.find(u'%'); p != String::npos; p = Modele.find(u'%', p + 2)) {
    if (Modele.compare(p, 2, u"%s") != 0) return false;
    morceaux.push_back(Modele.substr(debut, p - debut));
    debut = p + 2;
  }
  if (morceaux.empty()) return false;
  morceaux.push_back(Modele.substr(debut));
  const String& premier = morceaux.front();
  const String& dernier = morceaux.back();
  if (Texte.size() < premier.size() + dernier.size() || Texte.compare(0, premier.size(), premier) != 0 ||
      Texte.compare(Texte.size() - dernier.size(), dernier.size(), dernier) != 0)
    return false;
  Valeurs.clear();
  std::size_t lu = premier.size();
  const std::size_t fin = Texte.size() - dernier.size();
  for (std::size_t i = 1; i + 1 < morceaux.size(); ++i) {
    const std::size_t p = morceaux[i].empty() ? lu : Texte.find(morceaux[i], lu);
    if (p == String::npos || p + morceaux[i].size() > fin) return false;
    Valeurs.push_back(Texte.substr(lu, p - lu));
    lu = p + morceaux[i].size();
  }
  Valeurs.push_back(Texte.substr(lu, fin - lu));
  return true;
}

bool FinitParSeparateur(const String& S) { return !S.empty() && (S.back() == u' ' || S.back() == u':'); }

}  // namespace

TStringList& ListeTraduction() {
  static TStringList List;
  return List;
}

bool ChargeLangue(const String& Langue) {
  TStringList& List = ListeTraduction();
  List.Clear();
  SetGetMsgFunc(GetMsg);
  if (Langue.empty() || !ResourceExists(HInstance(), Langue, RT_RCDATA)) return false;
  TResourceStream Res(HInstance(), Langue, RT_RCDATA);
  std::unique_ptr<TEncoding> Ansi(TEncoding::GetEncoding(TableCodePage));
  List.LoadFromStream(&Res, Ansi.get());
  return true;
}

String Traduction(const String& Key) { return BarresEnSautsDeLigne(ListeTraduction().Values(Key)); }

String GetMsg(const String& Key) {
  String Value = Traduction(u"Messages." + Key);
  if (Value.empty()) return u"** " + Key + u" **";
  return Value;
}

std::vector<String> ChampsTraduction(const String& Value) {
  std::vector<String> Champs;
  std::size_t Start = 0;
  for (;;) {
    std::size_t Sep = Value.find(u'~', Start);
    if (Sep == String::npos) {
      Champs.push_back(Value.substr(Start));
      return Champs;
    }
    Champs.push_back(Value.substr(Start, Sep - Start));
    Start = Sep + 1;
  }
}

String Champ(const std::vector<String>& Champs, std::size_t Index) {
  return Index < Champs.size() ? Champs[Index] : String();
}

String ChoisitLangue(const std::vector<String>& Params, const String& OptionLangue, Integer UserPrimaryLanguage) {
  if (TrouveSwitch(Params, u"FR")) return u"FR";
  if (TrouveSwitch(Params, u"US")) return u"US";
  if (!OptionLangue.empty()) return OptionLangue;
  return UserPrimaryLanguage == LANG_PRIMARY_FRENCH ? u"FR" : u"US";
}

const std::vector<String>& MessageKeys() {
  static const std::vector<String> Keys = {
      u"LastCheck",
      u"Deco",
      u"Connecte",
      u"Erreur",
      u"Wininet",
      u"NetError",
      u"NewVersion",
      u"NoNewVersion",
      u"ConfirmDelFolder",
      u"DelFolder",
      u"ConfirmDelFile",
      u"ConfirmDelFiles",
      u"DelFile",
      u"Fichiers",
      u"Dossier",
      u"FolderOf",
      u"Grouped",
      u"HideLegend",
      u"ShowLegend",
      u"Reponse",
      u"Commande",
      u"WaitDeco",
      u"Termine",
      u"Free",
      u"SitesSite",
      u"SitesFolder",
      u"SitesDel",
      u"SitesNewFolder",
      u"SitesNewSite",
      u"FZNotFound",
      u"FZSite",
      u"mySites",
      u"Libre",
      u"SettingsSaveError",
      u"SettingsDamaged",
      u"LignesNonComprises",
      u"TermineIncomplet",
      u"Annule",
      u"NonParcouru",
      u"ProtocoleNonFTP",
      u"SupprArretee",
      u"LangueAuto",
  };
  return Keys;
}

const std::vector<String>& FormKeys() {
  static const std::vector<String> Keys = {
      u"Main",
      u"Main.StaticText1",
      u"Main.StaticText2",
      u"Main.StaticText3",
      u"Main.StaticText4",
      u"Main.cbPassif",
      u"Main.StaticText5",
      u"Main.StaticText6",
      u"Main.pbOccupe",
      u"Main.Wait",
      u"Main.listeDossier",
      u"Main.listeFichiers",
      u"Main.aGestSites",
      u"Main.aOpenFZ",
      u"Main.aConnect",
      u"Main.aDeco",
      u"Main.aMajWeb",
      u"Main.aContact",
      u"Main.aAbout",
      u"Main.aOptions",
      u"Main.aDel",
      u"Main.aQuit",
      u"Main.miCacherLegende",
      u"Main.miGrouper",
      u"Main.miEspaceLibre",
      u"Main.mStopScroll",
      u"Main.mClearLog",
      u"BoiteAPropos",
      u"BoiteAPropos.OKBtn",
      u"BoiteAPropos.pgAbout",
      u"BoiteAPropos.Label7",
      u"BoiteAPropos.pgHisto",
      u"BoiteOptions",
      u"BoiteOptions.Label1",
      u"BoiteOptions.GroupBox1",
      u"BoiteOptions.GroupBox2",
      u"BoiteOptions.cbSaveSite",
      u"BoiteOptions.cbUseMaj",
      u"BoiteOptions.rbDay",
      u"BoiteOptions.rbWeek",
      u"BoiteOptions.rbMounth",
      u"BoiteOptions.radioFZ",
      u"BoiteOptions.rbActif",
      u"BoiteOptions.rbPassif",
      u"BoiteOptions.OKBtn",
      u"BoiteOptions.AnnulerBtn",
      u"formSites",
      u"formSites.btnOK",
      u"formSites.Button2",
      u"formSites.btnConnect",
      u"formSites.TabSheet1",
      u"formSites.StaticText1",
      u"formSites.StaticText2",
      u"formSites.StaticText3",
      u"formSites.StaticText4",
      u"formSites.StaticText5",
      u"formSites.StaticText6",
      u"formSites.StaticText7",
      u"formSites.StaticText8",
      u"formSites.StaticText12",
      u"formSites.TabSheet2",
      u"formSites.StaticText10",
      u"formSites.TabSheet3",
      u"formSites.StaticText11",
      u"formSites.rbModeDef",
      u"formSites.rbModeActif",
      u"formSites.rbModePassif",
      u"formSites.Button5",
      u"formSites.StaticText9",
      u"formSites.aOpenFZ",
      u"formSites.aRename",
      u"formSites.aDel",
      u"formSites.aNewFolder",
      u"formSites.aNewSite",
  };
  return Keys;
}

std::vector<String> MessagesCharges() {
  std::vector<String> Messages;
  for (const String& Key : MessageKeys()) Messages.push_back(Traduction(u"Messages." + Key));
  return Messages;
}

String RetraduitTexte(const String& Texte, const std::vector<String>& Anciens) {
  const std::vector<String>& Keys = MessageKeys();
  // The message that explains most of the text wins.
  std::size_t Meilleur = Keys.size(), Longueur = 0;
  std::vector<String> Valeurs;
  String Detail;
  for (std::size_t I = 0; I < Keys.size() && I < Anciens.size(); ++I) {
    const String& Ancien = Anciens[I];
    if (Ancien.empty()) continue;
    if (Texte == Ancien) return GetMsg(Keys[I]);
    std::vector<String> V;
    if (ValeursDuModele(Texte, Ancien, V)) {
      const std::size_t L = Ancien.size() - 2 * V.size();
      if (L > Longueur) Meilleur = I, Longueur = L, Valeurs = std::move(V), Detail.clear();
    } else if (Ancien.find(u'%') == String::npos && Texte.size() > Ancien.size() &&
               Texte.compare(0, Ancien.size(), Ancien) == 0) {
      const String Reste = Texte.substr(Ancien.size());
      if ((FinitParSeparateur(Ancien) || Reste.rfind(u" : ", 0) == 0 || Reste.rfind(u": ", 0) == 0) &&
          Ancien.size() > Longueur)
        Meilleur = I, Longueur = Ancien.size(), Valeurs.clear(), Detail = Reste;
    }
  }
  if (Meilleur == Keys.size()) return Texte;
  const String Nouveau = GetMsg(Keys[Meilleur]);
  if (Valeurs.empty()) return Nouveau + Detail;
  std::vector<TVarRec> Args;
  for (const String& V : Valeurs) Args.emplace_back(V);
  try {
    return Format(Nouveau, std::span<const TVarRec>(Args));
  } catch (...) {
    String S = Nouveau;
    for (const String& V : Valeurs) S += u" " + V;
    return S;
  }
}
