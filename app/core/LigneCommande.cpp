#include "app/core/LigneCommande.h"

#include "rtl/SysUtils.h"

bool EstSwitch(const String& Param, const String& Word) {
  if (Param.size() != Word.size() + 1) return false;
  if (Param[0] != u'-' && Param[0] != u'/') return false;
  return SameText(Param.substr(1), Word);
}

namespace {

// The value after the first "=" when Key (upper case, with its "=") starts
// at the second character of the upper-cased parameter.
bool Valeur(const String& Param, const String& Upper, const String& Key, String& Out) {
  if (Upper.size() < Key.size() + 1 || Upper.compare(1, Key.size(), Key) != 0) return false;
  Out = Param.substr(Param.find(u'=') + 1);
  return true;
}

}  // namespace

TLigneCommande LitLigneCommande(const std::vector<String>& Params) {
  TLigneCommande r;
  bool passif = false;
  for (const String& p : Params) {
    const String up = UpperCase(p);
    String v;
    if (Valeur(p, up, u"HOST=", v)) {
      r.Host = v;
    } else if (Valeur(p, up, u"USER=", v)) {
      r.User = v;
    } else if (Valeur(p, up, u"PASS=", v)) {
      r.Pass = v;
    } else if (Valeur(p, up, u"PORT=", v)) {
      r.Port = StrToIntDef(v, 21);
    } else if (Valeur(p, up, u"RACINE=", v)) {
      r.Racine = v;
    }
    if (EstSwitch(p, u"passive")) passif = true;
    if (EstSwitch(p, u"FR")) r.FR = true;
    if (EstSwitch(p, u"US")) r.US = true;
    if (EstSwitch(p, u"unlocalize")) r.Unlocalize = true;
  }
  // Only connection parameters connect: a language switch alone must not
  // start a connection, nor clear a remembered site's passive mode.
  r.Connecter = passif || r.Host || r.User || r.Pass || r.Port || r.Racine;
  if (r.Connecter) r.Passif = passif;
  return r;
}
