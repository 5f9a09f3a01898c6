#include "app/core/uIntl.h"

#include <memory>

#include "app/core/LigneCommande.h"
#include "app/core/Messages.h"
#include "rtl/Encoding.h"
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
      u"LastCheck",      u"Deco",          u"Connecte",        u"Erreur",          u"Wininet",
      u"NetError",       u"NewVersion",    u"NoNewVersion",    u"ConfirmDelFolder", u"DelFolder",
      u"ConfirmDelFile", u"ConfirmDelFiles", u"DelFile",       u"Fichiers",        u"Dossier",
      u"FolderOf",       u"Grouped",       u"HideLegend",      u"ShowLegend",      u"Reponse",
      u"Commande",       u"WaitDeco",      u"Termine",         u"Free",            u"SitesSite",
      u"SitesFolder",    u"SitesDel",      u"SitesNewFolder",  u"SitesNewSite",    u"FZNotFound",
      u"FZSite",         u"mySites",       u"Libre",           u"SettingsSaveError", u"SettingsDamaged",
      u"LignesNonComprises", u"TermineIncomplet", u"Annule",  u"NonParcouru",     u"ProtocoleNonFTP",
      u"SupprArretee",
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
