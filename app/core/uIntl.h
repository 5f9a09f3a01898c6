#pragma once
// The translation tables: one language at a time in ListeTraduction, loaded
// from the program's raw-data resource "FR" or "US" (natively: the same bytes
// embedded and registered under those names at start-up).
//
// Table lines are "key=value" in Windows-1252, CR LF separated:
//   Main=...                   a form's caption
//   Main.aQuit=Quit~&File      a component's texts, fields split at "~"
//   Messages.Termine=Finished  a message, read with GetMsg
// In every value "|" stands for a line break (CR LF).
//
// The table is changed and read on the user-interface thread only: workers
// never call GetMsg (they hand raw texts to the window, which composes).
#include <cstddef>
#include <vector>

#include "rtl/Types.h"

// Kept out of this header: rtl/Lists.h and xml/KelSimpleXml.h both declare
// lnAdded..., so a unit that reads XML could not include both.
class TStringList;

// Primary language identifier of French in Windows language identifiers.
inline constexpr Integer LANG_PRIMARY_FRENCH = 12;

// The loaded table; starts empty. Lookups by key ignore case; the first line
// with a key wins.
TStringList& ListeTraduction();

// Empties the table and loads the resource named Langue ("FR" or "US").
// False (and an empty table) when the program has no such resource, so
// ChargeLangue(u"") just empties it. The
// bytes are read as Windows-1252 whatever the system code page is.
// Also routes the core's AppMsg to GetMsg.
bool ChargeLangue(const String& Langue);

// The text of "Messages.<Key>" with "|" turned into CR LF; "** <Key> **"
// when the table has no such line or its value is empty.
String GetMsg(const String& Key);

// The value of any table key ("Main.aQuit", "BoiteAPropos"...) with "|"
// turned into CR LF; empty when absent. For the form translation.
String Traduction(const String& Key);
// A component's value split into its "~" fields; a missing trailing field
// reads as empty through Champ.
std::vector<String> ChampsTraduction(const String& Value);
String Champ(const std::vector<String>& Champs, std::size_t Index);

// The language to load: "FR" with the switch -FR or /FR among Params, else
// "US" with -US or /US, else OptionLangue when not empty, else "FR" when
// UserPrimaryLanguage is French (12), else "US". Switches ignore case.
String ChoisitLangue(const std::vector<String>& Params, const String& OptionLangue, Integer UserPrimaryLanguage);

// The user's interface language as a primary language identifier (Windows:
// GetUserDefaultUILanguage); 0 off Windows, where callers pass their own.
Integer UserDefaultPrimaryLanguage();

// Every "Messages." key the application looks up, and every form key the
// forms translate. Both tables hold exactly these lines.
const std::vector<String>& MessageKeys();
const std::vector<String>& FormKeys();

// The messages of the loaded table, one per key of MessageKeys, in order.
std::vector<String> MessagesCharges();
// Texte composed from the messages Anciens (MessagesCharges of the table
// loaded then), composed again from the table loaded now: a message alone,
// a message whose "%s" hold values (kept as they were), or a message
// followed by a detail (after a message ending in a blank or a colon, or
// after " : "). A text made of no message comes back unchanged.
String RetraduitTexte(const String& Texte, const std::vector<String>& Anciens);
