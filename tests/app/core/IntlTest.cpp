#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <utility>

#include "CoreFilesTestUtil.h"
#include "app/core/Messages.h"
#include "app/core/uIntl.h"
#include "rtl/Format.h"
#include "rtl/Resources.h"
#include "rtl/StringList.h"
#include "rtl/SysUtils.h"

namespace {

using namespace corefiles;

std::string TableBytes(const char* Langue) {
  TResourceStream Res(HInstance(), Langue, RT_RCDATA);
  std::string Bytes(static_cast<size_t>(Res.Size()), '\0');
  if (!Bytes.empty()) Res.Read(Bytes.data(), static_cast<Integer>(Bytes.size()));
  return Bytes;
}

// The table's lines as key (upper case, for the case-blind lookup) -> value.
std::map<String, String> TableLines(const char* Langue) {
  EXPECT_TRUE(ChargeLangue(UTF8ToUTF16(Langue)));
  std::map<String, String> Lines;
  TStringList& List = ListeTraduction();
  for (Integer I = 0; I < List.Count(); ++I) {
    String Key = UpperCase(List.Names(I));
    EXPECT_FALSE(Key.empty()) << Langue << " line " << I << " has no key";
    EXPECT_TRUE(Lines.emplace(Key, List.ValueFromIndex(I)).second) << Langue << ": key twice: " << UTF16ToUTF8(Key);
  }
  return Lines;
}

std::set<String> ExpectedKeys() {
  std::set<String> Keys;
  for (const String& K : FormKeys()) Keys.insert(UpperCase(K));
  for (const String& K : MessageKeys()) Keys.insert(UpperCase(u"Messages." + K));
  return Keys;
}

// The arguments a Format text consumes: (argument index, conversion type).
std::multiset<std::pair<int, Char>> FormatArguments(const String& Text) {
  std::multiset<std::pair<int, Char>> Args;
  int Next = 0;
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] != u'%') continue;
    if (++I < Text.size() && Text[I] == u'%') continue;
    size_t Start = I;
    while (I < Text.size() && Text[I] >= u'0' && Text[I] <= u'9') ++I;
    if (I < Text.size() && Text[I] == u':') {
      Next = std::stoi(UTF16ToUTF8(Text.substr(Start, I - Start)));
      ++I;
    } else {
      I = Start;
    }
    while (I < Text.size() &&
           (Text[I] == u'-' || Text[I] == u'.' || Text[I] == u'*' || (Text[I] >= u'0' && Text[I] <= u'9'))) {
      if (Text[I] == u'*') Args.insert({Next++, u'*'});
      ++I;
    }
    if (I < Text.size()) Args.insert({Next++, static_cast<Char>(Text[I] | 0x20)});
  }
  return Args;
}

class IntlTables : public ::testing::Test {
protected:
  void TearDown() override {
    ListeTraduction().Clear();
    SetGetMsgFunc(nullptr);
  }
};

TEST_F(IntlTables, BothTablesHoldExactlyTheKeysTheProgramUses) {
  const std::set<String> Expected = ExpectedKeys();
  for (const char* Langue : {"FR", "US"}) {
    std::map<String, String> Lines = TableLines(Langue);
    std::set<String> Keys;
    for (const auto& [Key, Value] : Lines) {
      Keys.insert(Key);
      EXPECT_FALSE(Value.empty()) << Langue << ": empty value for " << UTF16ToUTF8(Key);
    }
    std::vector<String> Missing, Extra;
    std::set_difference(Expected.begin(), Expected.end(), Keys.begin(), Keys.end(), std::back_inserter(Missing));
    std::set_difference(Keys.begin(), Keys.end(), Expected.begin(), Expected.end(), std::back_inserter(Extra));
    for (const String& K : Missing) ADD_FAILURE() << Langue << " lacks " << UTF16ToUTF8(K);
    for (const String& K : Extra) ADD_FAILURE() << Langue << " has unknown key " << UTF16ToUTF8(K);
  }
}

TEST_F(IntlTables, FormatArgumentsMatchBetweenLanguages) {
  std::map<String, String> Fr = TableLines("FR");
  std::map<String, String> Us = TableLines("US");
  for (const auto& [Key, Value] : Fr) {
    auto It = Us.find(Key);
    if (It == Us.end()) continue;  // reported by the key test
    EXPECT_EQ(FormatArguments(Value), FormatArguments(It->second)) << UTF16ToUTF8(Key);
  }
  // The one message whose English text picks its arguments by index.
  EXPECT_EQ(FormatArguments(Fr[u"MESSAGES.SITESDEL"]), (std::multiset<std::pair<int, Char>>{{0, u's'}, {1, u's'}}));
}

// Every message that takes arguments formats in both languages and shows
// each of them.
TEST_F(IntlTables, MessagesFormatWithTheirArguments) {
  for (const char* Langue : {"FR", "US"}) {
    for (const auto& [Key, Value] : TableLines(Langue)) {
      const auto Args = FormatArguments(Value);
      if (Args.empty()) continue;
      std::vector<TVarRec> Values;
      std::vector<String> Texts;
      for (int I = 0; I <= Args.rbegin()->first; ++I) Texts.push_back(u"<arg" + IntToStr(I) + u">");
      for (const String& T : Texts) Values.emplace_back(T);
      String Out;
      ASSERT_NO_THROW(Out = Format(Value, std::span<const TVarRec>(Values))) << Langue << " " << UTF16ToUTF8(Key);
      for (const String& T : Texts) EXPECT_NE(Out.find(T), String::npos) << Langue << " " << UTF16ToUTF8(Key);
    }
  }
}

TEST_F(IntlTables, ResourcesAreWindows1252WithCrLfLines) {
  for (const char* Langue : {"FR", "US"}) {
    const std::string Bytes = TableBytes(Langue);
    ASSERT_GT(Bytes.size(), 3u) << Langue;
    EXPECT_NE(Bytes.substr(0, 3), "\xEF\xBB\xBF") << Langue << " starts with a UTF-8 byte-order mark";
    // A UTF-8 encoded accent (C3 xx) would show as two characters.
    EXPECT_EQ(Bytes.find('\xC3'), std::string::npos) << Langue << " looks UTF-8 encoded";
    for (size_t I = 0; I < Bytes.size(); ++I) {
      if (Bytes[I] == '\n') {
        ASSERT_TRUE(I > 0 && Bytes[I - 1] == '\r') << Langue << ": bare LF at " << I;
      }
    }
    ASSERT_EQ(Bytes.substr(Bytes.size() - 2), "\r\n") << Langue;
  }
  EXPECT_NE(TableBytes("FR").find("Termin\xE9"), std::string::npos);
}

TEST_F(IntlTables, GetMsgReadsTheLoadedLanguage) {
  ASSERT_TRUE(ChargeLangue(u"FR"));
  EXPECT_EQ(GetMsg(u"Termine"), UTF8ToUTF16("Terminé"));
  EXPECT_EQ(GetMsg(u"termine"), UTF8ToUTF16("Terminé")) << "keys ignore case";
  EXPECT_EQ(GetMsg(u"LastCheck"), UTF8ToUTF16("Dernière vérification : ")) << "trailing blank kept";
  EXPECT_EQ(GetMsg(u"NewVersion"),
            UTF8ToUTF16("Une nouvelle version est disponible : %s\r\n\r\nVoulez-vous aller sur le site ?"));
  EXPECT_EQ(GetMsg(u"Absent"), u"** Absent **");
  EXPECT_EQ(AppMsg(u"Deco"), UTF8ToUTF16("Déconnecté")) << "the core's messages go through the table";
  EXPECT_EQ(Traduction(u"BoiteOptions.GroupBox1"), UTF8ToUTF16(" Mises à jour "));
  EXPECT_EQ(Traduction(u"BoiteOPtions.rbPassif"), UTF8ToUTF16("Passif"));
  EXPECT_EQ(Traduction(u"BoiteAPropos.Label7").find(u"\r\n") != String::npos, true) << "two lines";

  ASSERT_TRUE(ChargeLangue(u"US"));
  EXPECT_EQ(GetMsg(u"Termine"), u"Finished");
  EXPECT_EQ(GetMsg(u"FZNotFound"), u"FileZilla 3 client path not found");
  EXPECT_EQ(Traduction(u"Main.Wait"), u"Click here to cancel");
  EXPECT_EQ(Traduction(u"Main.aQuit"), u"Quit~&File");

  EXPECT_FALSE(ChargeLangue(u"DE"));
  EXPECT_EQ(ListeTraduction().Count(), 0);
  EXPECT_EQ(GetMsg(u"Termine"), u"** Termine **");
}

// A text shown before a language switch, composed again in the new
// language: messages alone, with their values, or followed by a detail;
// other texts stay.
TEST_F(IntlTables, TextsOfOneLanguageAreComposedAgainInTheOther) {
  ASSERT_TRUE(ChargeLangue(u"FR"));
  const std::vector<String> Francais = MessagesCharges();
  const struct {
    String Avant, Apres;
  } Cas[] = {
      {UTF8ToUTF16("Connecté"), u"Connected"},
      {UTF8ToUTF16("Déconnecté"), u"Disconnected"},
      {UTF8ToUTF16("Terminé"), u"Finished"},
      {UTF8ToUTF16("Suppression fichier \"a b.txt\"..."), u"Deleting \"a b.txt\" file..."},
      {UTF8ToUTF16("Terminé ; 3 ligne(s) de listes non comprise(s) : les totaux peuvent être incomplets"),
       u"Finished; 3 listing line(s) not understood: the totals may be short"},
      {u"Erreur : 530 Login incorrect.", u"Error : 530 Login incorrect."},
      {UTF8ToUTF16("Libre : 1,50 Gio"), u"Free: 1,50 Gio"},
      {u"/pub/Dossier", u"/pub/Dossier"},
      {u"racine", u"racine"},
      {u"", u""},
  };
  ASSERT_TRUE(ChargeLangue(u"US"));
  for (const auto& C : Cas) EXPECT_EQ(UTF16ToUTF8(RetraduitTexte(C.Avant, Francais)), UTF16ToUTF8(C.Apres));
  // And back.
  const std::vector<String> Anglais = MessagesCharges();
  ASSERT_TRUE(ChargeLangue(u"FR"));
  for (const auto& C : Cas) EXPECT_EQ(UTF16ToUTF8(RetraduitTexte(C.Apres, Anglais)), UTF16ToUTF8(C.Avant));
  EXPECT_EQ(GetMsg(u"LangueAuto"), u"Automatique");
}

// The texts the other windows and the log rely on, in both languages.
TEST_F(IntlTables, KnownTexts) {
  const struct {
    const char* Key;
    const char* French;
    const char* English;
  } Rows[] = {
      {"Main", "Occupation site FTP", "Folder sizes of FTP sites"},
      {"Main.listeDossier", "Dossier~Taille", "Folder~Size"},
      {"Main.listeFichiers", "Fichier~Taille~Modifié", "File~Size~Modified"},
      {"Main.aGestSites", "Gestionnaire de sites~&Fichier", "Site manager~&File"},
      {"Main.aQuit", "Quitter~&Fichier", "Quit~&File"},
      {"Main.Wait", "Cliquer ici pour annuler", "Click here to cancel"},
      {"Main.mClearLog", "Effacer", "Clear"},
      {"BoiteAPropos", "A propos de Quorvel", "About Quorvel"},
      {"BoiteOptions.GroupBox1", " Mises à jour ", " Updates "},
      {"BoiteOptions.radioFZ", "Mode par défaut des sites FileZilla", "Default mode for FileZilla"},
      {"Messages.LastCheck", "Dernière vérification : ", "Last check: "},
      {"Messages.Deco", "Déconnecté", "Disconnected"},
      {"Messages.Connecte", "Connecté", "Connected"},
      {"Messages.Erreur", "Erreur", "Error"},
      {"Messages.Wininet", "Wininet.DLL non trouvée...\r\n\r\nLes fonctions web sont désactivées",
       "Wininet.DLL not found...\r\n\r\nWeb functions unavailable"},
      {"Messages.NetError", "Problème d'accès à Internet", "Error accessing Internet"},
      {"Messages.NewVersion", "Une nouvelle version est disponible : %s\r\n\r\nVoulez-vous aller sur le site ?",
       "A new version is available: %s\r\n\r\nDo you want to open the site?"},
      {"Messages.NoNewVersion", "Pas de nouvelle version disponible sur le site", "No new version available"},
      {"Messages.ConfirmDelFolder",
       "Voulez-vous vraiment supprimer le dossier \"%s\" ainsi que l'ensemble de son contenu ?",
       "Do you really want to delete \"%s\" folder and all its contents?"},
      {"Messages.DelFolder", "Suppression dossier \"%s\"...", "Deleting \"%s\" folder..."},
      {"Messages.ConfirmDelFile", "Voulez-vous vraiment supprimer le fichier \"%s\" ?",
       "Do you really want to delete the \"%s\" file?"},
      {"Messages.ConfirmDelFiles", "Voulez-vous vraiment supprimer ces %s fichiers ?",
       "Do you really want to delete those %s files?"},
      {"Messages.DelFile", "Suppression fichier \"%s\"...", "Deleting \"%s\" file..."},
      {"Messages.Fichiers", "Fichiers", "Files"},
      {"Messages.Dossier", "Dossier", "Folder"},
      {"Messages.FolderOf", "Dossier de", "Folder"},
      {"Messages.Grouped", "Reste (groupés)", "Grouped"},
      {"Messages.HideLegend", "&Cacher la légende", "&Hide legend"},
      {"Messages.ShowLegend", "&Montrer la légende", "&Show legend"},
      {"Messages.Reponse", "Réponse :", "Answer:"},
      {"Messages.Commande", "Commande :", "Command:"},
      {"Messages.WaitDeco", "Attente déco...", "Disconnecting..."},
      {"Messages.Termine", "Terminé", "Finished"},
      {"Messages.Annule", "Annulé", "Cancelled"},
      {"Messages.NonParcouru", "non parcouru", "not scanned"},
      {"Messages.ProtocoleNonFTP", "Site %s : pas de connexion en FTP simple",
       "%s site: cannot be connected to as plain FTP"},
      {"Messages.Free", "Libre : ", "Free: "},
      {"Messages.SitesSite", "site", "site"},
      {"Messages.SitesFolder", "dossier", "folder"},
      {"Messages.SitesDel", "Voulez-vous vraiment supprimer le %s \"%s\" ?",
       "Do you really want to delete \"%1:s\" %0:s?"},
      {"Messages.SitesNewFolder", "Nouveau dossier", "New folder"},
      {"Messages.SitesNewSite", "Nouveau site", "New site"},
      {"Messages.FZNotFound", "Chemin de FileZilla 3 client non trouvé", "FileZilla 3 client path not found"},
      {"Messages.FZSite", "Sites de FileZilla", "FileZilla sites"},
      {"Messages.mySites", "Mes sites", "My sites"},
      {"Messages.Libre", "Libre", "Free"},
  };
  for (const char* Langue : {"FR", "US"}) {
    ASSERT_TRUE(ChargeLangue(UTF8ToUTF16(Langue)));
    for (const auto& Row : Rows)
      EXPECT_EQ(Traduction(UTF8ToUTF16(Row.Key)), UTF8ToUTF16(Langue[0] == 'F' ? Row.French : Row.English))
          << Langue << " " << Row.Key;
  }
  // The two-argument message keeps its order in both languages.
  ASSERT_TRUE(ChargeLangue(u"US"));
  EXPECT_EQ(Format(GetMsg(u"SitesDel"), {String(u"site"), String(u"ftp1")}),
            u"Do you really want to delete \"ftp1\" site?");
  ASSERT_TRUE(ChargeLangue(u"FR"));
  EXPECT_EQ(Format(GetMsg(u"SitesDel"), {String(u"site"), String(u"ftp1")}),
            UTF8ToUTF16("Voulez-vous vraiment supprimer le site \"ftp1\" ?"));
}

// English texts read as English: no French spacing before punctuation, and
// the slips the first translation had are gone.
TEST_F(IntlTables, EnglishTextsHaveNoFrenchSpacingOrKnownSlips) {
  for (const auto& [Key, Value] : TableLines("US")) {
    for (const char* Bad : {" ?", " :", " !", " ;"})
      EXPECT_EQ(Value.find(UTF8ToUTF16(Bad)), String::npos) << UTF16ToUTF8(Key) << ": \"" << Bad << "\"";
    for (const char* Slip : {"cancer", "want do", "&file", "Filezilla", "Sites manager", "Folders size"})
      EXPECT_EQ(Value.find(UTF8ToUTF16(Slip)), String::npos) << UTF16ToUTF8(Key) << ": " << Slip;
    // English texts need no accent.
    for (Char C : Value) EXPECT_LT(C, 0x80) << UTF16ToUTF8(Key);
  }
}

TEST_F(IntlTables, EveryMessageKeyInTheSourcesIsListed) {
  const std::regex Call(R"re((GetMsg|AppMsg|MajWebMsg|FormatMsg)\(\s*u"([A-Za-z]+)")re");
  std::set<String> Listed;
  for (const String& K : MessageKeys()) Listed.insert(UpperCase(K));
  int Files = 0;
  for (const auto& Entry : fs::recursive_directory_iterator(SourcePath("app"))) {
    const std::string Ext = Entry.path().extension().string();
    if (Ext != ".cpp" && Ext != ".h") continue;
    ++Files;
    const std::string Text = ReadAll(Entry.path());
    for (std::sregex_iterator It(Text.begin(), Text.end(), Call), End; It != End; ++It)
      EXPECT_TRUE(Listed.count(UpperCase(UTF8ToUTF16((*It)[2].str()))))
          << Entry.path().filename().string() << " uses " << (*It)[2].str();
  }
  EXPECT_GT(Files, 3);
}

TEST(IntlFields, SplitAtTilde) {
  EXPECT_EQ(ChampsTraduction(u"a~~b"), (std::vector<String>{u"a", u"", u"b"}));
  EXPECT_EQ(ChampsTraduction(u"Quit~&File"), (std::vector<String>{u"Quit", u"&File"}));
  EXPECT_EQ(ChampsTraduction(u""), (std::vector<String>{u""}));
  const std::vector<String> Two = ChampsTraduction(u"x~y");
  EXPECT_EQ(Champ(Two, 1), u"y");
  EXPECT_EQ(Champ(Two, 3), u"");
}

TEST(IntlLanguage, Choice) {
  struct Case {
    std::vector<String> Params;
    String Option;
    Integer UserLanguage;
    String Expected;
  } Cases[] = {
      {{}, u"", LANG_PRIMARY_FRENCH, u"FR"},
      {{}, u"", 9, u"US"},
      {{}, u"", 0, u"US"},
      {{}, u"US", LANG_PRIMARY_FRENCH, u"US"},
      {{}, u"FR", 9, u"FR"},
      {{u"/us"}, u"FR", LANG_PRIMARY_FRENCH, u"US"},
      {{u"-US", u"-fr"}, u"", 9, u"FR"},
      {{u"US"}, u"", LANG_PRIMARY_FRENCH, u"FR"},  // no prefix: not a switch
      {{u"-USA"}, u"", LANG_PRIMARY_FRENCH, u"FR"},
      {{u"xFR"}, u"", 9, u"US"},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(ChoisitLangue(C.Params, C.Option, C.UserLanguage), C.Expected)
        << "option " << UTF16ToUTF8(C.Option) << " language " << C.UserLanguage;
}

}  // namespace
