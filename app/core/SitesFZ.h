#pragma once
// The site manager's model: the user's own sites (settings file, "MesSites")
// and FileZilla's sites (FileZilla's sitemanager.xml, read only), with the
// allowed space of FileZilla's sites kept in the settings file under
// "FileZilla".
//
// Own passwords are stored scrambled (CodePass). FileZilla's remote folders
// are in FileZilla's "type prefix length segment..." notation and are
// decoded on reading; own sites store plain paths and are read as written.
#include <memory>
#include <vector>

#include "app/core/Options.h"
#include "rtl/Types.h"
#include "xml/KelSimpleXml.h"

class TFZFolder;

inline constexpr const Char* PasvModeDefault = u"MODE_DEFAULT";
inline constexpr const Char* PasvModeActive = u"MODE_ACTIVE";
inline constexpr const Char* PasvModePassive = u"MODE_PASSIVE";

// The key of the password scrambling (its 43rd character is never used).
inline constexpr const Char* TableCodePass = u"PLUMBKA5029384716QWERTYUIOPASDFGHJKLZXCVBNM";

// An entry of a site tree.
class TFZObject : public TObject {
public:
  String Nom;
  bool isFZ = false;          // read from FileZilla's site file
  TFZFolder* Pere = nullptr;  // the folder holding the entry; not owned, nil for a root

  // From another entry: Nom, isFZ and Pere. Raises EConvertError for
  // anything else (nil included).
  virtual void Assign(const TObject* Source);
};

// An allowance stored under "FileZilla" that matched no entry of a FileZilla
// file that could not be read: kept so that the next save writes it again.
struct TFZStoredAllowance {
  bool Dossier = false;
  String Nom;
  Int64 Place = 1;
  Integer PlaceUnite = 0;
  std::vector<TFZStoredAllowance> Contenu;
};

class TFZFolder : public TFZObject {
public:
  String path;          // FileZilla site path: "0/" for a root, else parent's path, Nom, "/"
  bool Ouvert = false;  // shown expanded
  // The folder's entries in file order; destroying the folder destroys them.
  std::vector<std::unique_ptr<TFZObject>> Contenu;
  std::vector<TFZStoredAllowance> AllowancesKept;

  // Appends Entry and returns it.
  TFZObject* Add(std::unique_ptr<TFZObject> Entry);
  // Removes and destroys Entry (and, for a folder, its contents); false when
  // Entry is not in Contenu.
  bool Remove(const TFZObject* Entry);

  // From another folder: Ouvert and the entry fields; contents are not copied.
  void Assign(const TObject* Source) override;

  // Builds the folder from Noeud (may be nil: an empty root).
  void LoadXML(TKelSimpleXMLElem* Noeud, TFZFolder* _Pere, bool _isFZ);
  // Appends the folder as a child of Noeud: "FileZilla" directly under the
  // document's root, "Folder" elsewhere.
  void SaveXML(TKelSimpleXMLElem* Noeud) const;
};

class TFZServer : public TFZObject {
public:
  String Host;
  Integer Port = 0;
  Integer Protocol = -1;
  String User;
  String Pass;  // plain in memory
  String PasvMode;
  String Commentaires;
  String LocalDir;
  String RemoteDir;
  String path;
  Int64 Place = 1;
  Integer PlaceUnite = 0;  // 0 MiB, 1 GiB

  // From another site: every field but path, then the entry fields.
  void Assign(const TObject* Source) override;

  // Whether this tool can connect to the site: plain FTP only (see
  // EstProtocoleFTPSimple).
  bool FTPSimple() const;

  void LoadXML(TKelSimpleXMLElem* Noeud, TFZFolder* _Pere, bool _isFZ);
  void SaveXML(TKelSimpleXMLElem* Noeud) const;
};

// FileZilla's protocol numbers this tool can connect to as plain FTP: -1
// (absent: FTP), 0 (FTP, TLS only when the server offers it) and 6 (plain
// FTP). Every other (1 SFTP, 3 FTPS, 4 FTP over explicit TLS required,
// 2/5 HTTP(S), and the rest) would be sent its password in the clear or
// not understood at all.
bool EstProtocoleFTPSimple(Integer Protocol);
// The protocol's short name as shown: "FTP", "SFTP", "FTPS", "FTPES",
// "HTTP", "HTTPS", or "protocol" and the number for others.
String NomProtocole(Integer Protocol);

// Password scrambling of own sites. A password whose every scrambled code
// fits three digits gives the historical all-digit text; any other is written
// as "*" followed by five-digit groups. DecodePass reads both; a text that is
// neither gives the empty password.
String CodePass(const String& Text);
String DecodePass(const String& Text);

// FileZilla's remote-folder notation to a path: "1 0 4 home 3 www" gives
// "/home/www", "1 0" the empty text; a text without blank is returned as is.
String DecodeRemoteDir(const String& Text);

// Copies the allowances stored in Elem (the settings file's "FileZilla")
// onto the sites of Folder, matching "Server" and "Folder" children by name
// without regard to case. With KeepUnmatched, stored entries that match
// nothing are kept in the folders' AllowancesKept.
void ChargeAlloueFZ(TKelSimpleXMLElem* Elem, TFZFolder* Folder, bool KeepUnmatched = false);

// The user's application-data folder; empty when unknown (and off Windows).
String GetAppDataDir();
// FileZilla's site file in that folder; empty when the folder is unknown.
String FileZillaSiteFile();

struct TSitesLoad {
  std::unique_ptr<TFZFolder> Racine;    // own sites
  std::unique_ptr<TFZFolder> RacineFZ;  // FileZilla's sites
  TSettingsLoad Settings;               // how the settings file was found
  bool FileZillaRead = false;           // FileZilla's file was read whole
  String FileZillaError;                // its reader's message, when present but unreadable
};

// Reads both trees: own sites from SettingsFile's "MesSites", FileZilla's
// from FileZillaFile's "Servers", then the stored allowances. When
// FileZilla's file is missing or unreadable, stored allowances that match
// nothing are kept for the next save rather than dropped.
TSitesLoad ChargeFichiersSites(const String& SettingsFile, const String& FileZillaFile);

// Rewrites SettingsFile's site elements: "MesSites" (Racine's contents),
// then "FileZilla" (RacineFZ), then the file's existing "Options" unchanged.
TSettingsSave SauveFichierSites(const TFZFolder& Racine, const TFZFolder& RacineFZ,
                                const String& SettingsFile = SettingsFileName);
