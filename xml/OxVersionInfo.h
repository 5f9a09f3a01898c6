#pragma once
// The version resource of a file, read once: the fixed record, the file and
// product versions, the first translation and the string values
// ("FileVersion", "PrivateBuild", ...), plus the file's date.
//
// Nothing here raises for a missing file or a missing or corrupt resource:
// the object is then not Valid and answers empty texts, zero versions and
// the Unknown language and character set. Off Windows no file carries a
// version resource; LoadVersionBlock reads one already in memory.
#include <cstddef>
#include <memory>

#include "rtl/Types.h"
#include "xml/KelStringConversions.h"
#include "xml/KelVersionResource.h"

struct TLongVersion {
  Cardinal MS = 0;  // major in the high word, minor in the low word
  Cardinal LS = 0;  // release in the high word, build in the low word
  // The same 8 bytes as one little-endian number (MS first in memory).
  UInt64 All() const { return (static_cast<UInt64>(LS) << 32) | MS; }
};

enum TVersionLanguage {
  vlArabic,
  vlBulgarian,
  vlCatalan,
  vlTraditionalChinese,
  vlCzech,
  vlDanish,
  vlGerman,
  vlGreek,
  vlUSEnglish,
  vlCastilianSpanish,
  vlFinnish,
  vlFrench,
  vlHebrew,
  vlHungarian,
  vlIcelandic,
  vlItalian,
  vlJapanese,
  vlKorean,
  vlDutch,
  vlNorwegianBokmel,
  vlPolish,
  vlBrazilianPortuguese,
  vlRhaetoRomanic,
  vlRomanian,
  vlRussian,
  vlCroatoSerbian,
  vlSlovak,
  vlAlbanian,
  vlSwedish,
  vlThai,
  vlTurkish,
  vlUrdu,
  vlBahasa,
  vlSimplifiedChinese,
  vlSwissGerman,
  vlUKEnglish,
  vlMexicanSpanish,
  vlBelgianFrench,
  vlSwissItalian,
  vlBelgianDutch,
  vlNorwegianNynorsk,
  vlPortuguese,
  vlSerboCroatian,
  vlCanadianFrench,
  vlSwissFrench,
  vlUnknown
};

enum TVersionCharSet {
  vcsASCII,
  vcsJapan,
  vcsKorea,
  vcsTaiwan,
  vcsUnicode,
  vcsEasternEuropean,
  vcsCyrillic,
  vcsMultilingual,
  vcsGreek,
  vcsTurkish,
  vcsHebrew,
  vcsArabic,
  vcsUnknown
};

// The Windows language identifier of each value (0 for vlUnknown).
Word VersionLanguageId(TVersionLanguage Language);
// The code page of each value (0 for vcsASCII and for vcsUnknown).
Word VersionCharSetCodePage(TVersionCharSet CharSet);

// "major.minor.release.build".
String FormatLongVersion(const TLongVersion& Version);

class TOxVersionInfo : public TObject {
public:
  explicit TOxVersionInfo(const String& AFileName);
  TOxVersionInfo(const TOxVersionInfo&) = delete;
  TOxVersionInfo& operator=(const TOxVersionInfo&) = delete;

  const String& FileName() const { return FFileName; }
  // Drops the resource read before and reads the new file's.
  void SetFileName(const String& Value);
  bool Valid() const { return FValid; }

  // Replaces the resource by a copy of Size bytes at Block (a resource
  // loaded by other means); Valid when they hold a well-formed version
  // resource. FileName is kept.
  void LoadVersionBlock(const void* Block, std::size_t Size);

  // Point into this object (nullptr when absent); valid until the resource
  // is replaced.
  const TVSFixedFileInfo* FixedFileInfo() const;
  // The first translation entry: language in the low 16 bits, code page in
  // the high 16 bits.
  const Cardinal* Translation() const;

  TLongVersion FileLongVersion() const;
  TLongVersion ProductLongVersion() const;
  // Major in the high half, minor in the low half; 0 when not Valid.
  Cardinal VersionNum() const;
  TVersionLanguage VersionLanguage() const;
  TVersionCharSet VersionCharSet() const;

  // The string value under the first translation; empty when absent.
  String GetVerValue(const String& VerName) const;
  String Comments() const { return GetVerValue(u"Comments"); }
  String CompanyName() const { return GetVerValue(u"CompanyName"); }
  String FileDescription() const { return GetVerValue(u"FileDescription"); }
  // Fall back to the fixed record's version as text.
  String FileVersion() const;
  String ProductVersion() const;
  String InternalName() const { return GetVerValue(u"InternalName"); }
  String LegalCopyright() const { return GetVerValue(u"LegalCopyright"); }
  String LegalTrademarks() const { return GetVerValue(u"LegalTrademarks"); }
  String OriginalFilename() const { return GetVerValue(u"OriginalFilename"); }
  String ProductName() const { return GetVerValue(u"ProductName"); }
  String SpecialBuild() const { return GetVerValue(u"SpecialBuild"); }
  String PrivateBuild() const { return GetVerValue(u"PrivateBuild"); }

  // The file's last write time as a local date-time; 0.0 for a missing file,
  // a directory or an unreadable date.
  TDateTime VerFileDate() const;

private:
  void LoadVersionResource();
  void Clear();
  void ReadRecords();
  bool Query(const String& SubBlock, const void*& Value, Cardinal& Length) const;

  String FFileName;
  bool FValid = false;
  TDynByteArray FBuffer;
  // Copies of what the resource holds, so callers get aligned records.
  TVSFixedFileInfo FFixed{};
  bool FHasFixed = false;
  Cardinal FTranslation = 0;
  bool FHasTranslation = false;
};

// The path of the running program.
String RunningModuleName();
// A version reader for the running program's file.
std::unique_ptr<TOxVersionInfo> CreateAppVersionInfo();
