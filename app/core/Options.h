#pragma once
// The settings and sites file "Quorvel.xml": root "Quorvel" with "MesSites"
// and "FileZilla" (the site manager's, SitesFZ.h) and "Options" (here).
//
// The options live in TQuorvelOptions, a plain record: the main window
// copies it into its controls after ChargeOptions and back from them before
// SauveOptions; the Options dialog and the update check change it between.
//
// A file that exists but cannot be read or parsed (a truncated write, a
// foreign file) is never replaced without a copy: its bytes are kept beside
// it as "<file>.bak", one copy at most (the newest damaged file replaces an
// older copy). A file whose declaration names an encoding the charset table
// does not know is no damage: it is read as UTF-8 (or in the ANSI code page
// when its bytes are not UTF-8) and written back declaring UTF-8. Write
// failures come back as results, not exceptions.
#include "app/core/uOutils.h"
#include "rtl/FormatSettings.h"
#include "rtl/Types.h"
#include "xml/OxSimpleXml.h"

inline constexpr const Char* SettingsFileName = u"Quorvel.xml";
// The update check's built-in address (uOutils' MajWebDefaultUrl);
// "UrlUpdate" is written only when the address differs from it.
String DefaultUrlUpdate();

// AutoCheckType values.
inline constexpr Integer acNone = 0;
inline constexpr Integer acDaily = 1;
inline constexpr Integer acWeekly = 2;
inline constexpr Integer acMonthly = 3;

// Limits of the port and allowed-space spin edits.
inline constexpr Integer SpinMin = 1;
inline constexpr Integer SpinMax = 65534;

// The connection fields of the main window, with the form's defaults (what
// the window shows when the last connection is not kept).
struct TLastConnect {
  String Host;          // edHost
  Integer Port = 21;    // sePort
  String User;          // edUser
  String Pass;          // edPass, stored as plain text
  bool Passif = true;   // cbPassif
  String Dir;           // edRacine
  Integer Alloue = 10;  // seDispo
  Integer Unite = 1;    // cbUnite item: 0 MiB, 1 GiB
};

struct TQuorvelOptions {
  Integer AutoCheckType = AutoCheckDefaut;
  TDateTime LastCheck = 0;  // ChargeOptions sets "now - 31 days" when unknown
  String OptionLangue;      // "FR", "US" or empty for the automatic choice
  bool FZDefautPassive = false;
  bool SaveLastConnect = false;
  String UrlUpdate = DefaultUrlUpdate();
  TLastConnect Last;  // read only when SaveLastConnect
};

// How a settings file was found when it was read.
enum class TSettingsFileState {
  Missing,  // no file: a new one will be created
  Loaded,   // read and parsed
  Damaged,  // present but unreadable or not well-formed; kept aside before any write
};

struct TSettingsLoad {
  TSettingsFileState State = TSettingsFileState::Missing;
  String Error;  // the reader's message when Damaged
};

struct TSettingsSave {
  bool Ok = true;
  String Error;       // when !Ok: what failed, for the window to show
  String BackupFile;  // when a damaged file was kept aside now: the copy's name
};

struct TSettingsBackup {
  bool Ok = true;
  bool New = false;   // the copy was made now (an identical one was not there)
  String BackupFile;  // "<file>.bak"
  String Error;       // when !Ok
};
// Keeps the bytes of the damaged FileName as "<file>.bak". Never raises.
TSettingsBackup KeepSettingsBackup(const String& FileName);

// Loads FileName into Xml; never raises. A missing file leaves an empty
// document, a damaged one what the parser read before it stopped.
TSettingsLoad LoadSettingsDocument(TOxSimpleXML& Xml, const String& FileName);
// Writes Xml to FileName, first keeping a copy of the file when Before says
// it was damaged (BackupFile is set only when that copy is new, so a copy
// already reported at start-up is not reported again). Never raises.
TSettingsSave SaveSettingsDocument(TOxSimpleXML& Xml, const String& FileName, const TSettingsLoad& Before);

// The text of Options/<Key> under the document's root, or Default when either
// element is missing. A present empty element gives the empty text.
String LitOption(TOxSimpleXML& Xml, const String& Key, const String& Default);
// Sets the text of Options/<Key>, appending the element when missing.
void EcritOption(TKelSimpleXMLElem* Options, const String& Key, const String& Value);
void EcritOptionBool(TKelSimpleXMLElem* Options, const String& Key, bool Flag);

// Reads the options of FileName into Options. Missing keys take their
// defaults; the "Last" keys are read only when "SaveLastConnect" is "1",
// otherwise Options.Last is left as it is. LastCheck is parsed with Format
// (the user's short-date and long-time formats); Now gives "now - 31 days"
// for a missing or unreadable one.
TSettingsLoad ChargeOptions(TQuorvelOptions& Options, TDateTime Now, const TFormatSettings& Format,
                            const String& FileName = SettingsFileName);

// Merges "Options" into FileName, keeping the site elements, and names the
// root "Quorvel". With SaveLastConnect off the "Last" keys are removed, so no
// password stays behind; "UrlUpdate" is removed when back to the built-in one.
TSettingsSave SauveOptions(const TQuorvelOptions& Options, const TFormatSettings& Format,
                           const String& FileName = SettingsFileName);

// Whether the start-up update check is due (uOutils' AutoCheckDue).
bool AutoCheckDue(const TQuorvelOptions& Options, TDateTime Now);
