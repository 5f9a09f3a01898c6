#include "app/core/Options.h"

#include "app/core/uOutils.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#include "net/netutil.h"
#include "rtl/DateUtils.h"
#include "rtl/Encoding.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "xml/KelCharsets.h"
#include "xml/KelSysUtils.h"

namespace {

namespace fs = std::filesystem;

constexpr const Char* kOptions = u"Options";
constexpr const Char* kLastKeys[] = {u"LastHost",   u"LastPort", u"LastUser",   u"LastPass",
                                     u"LastPassif", u"LastDir",  u"LastAlloue", u"LastUnite"};

fs::path ToPath(const String& Name) { return fs::path(Name); }

String ErrorText(const std::exception& E) {
  if (auto* Ex = dynamic_cast<const Exception*>(&E)) return Ex->Message();
  return UTF8ToUTF16(E.what());
}

TKelSimpleXMLElem* ChildNamed(TKelSimpleXMLElem* Parent, const String& Name) {
  if (Parent == nullptr) return nullptr;
  Integer I = Parent->Items()->IndexOf(Name);
  return I < 0 ? nullptr : Parent->Items()->GetItem(I);
}

void RemoveOption(TKelSimpleXMLElem* Options, const String& Key) {
  for (Integer I = Options->Items()->IndexOf(Key); I >= 0; I = Options->Items()->IndexOf(Key))
    Options->Items()->Delete(I);
}

Integer ClampSpin(Integer Value) { return Value < SpinMin ? SpinMin : Value > SpinMax ? SpinMax : Value; }

std::string ReadBytes(const String& FileName) {
  std::ifstream In(ToPath(FileName), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// Replaces the value of the XML declaration's "encoding" attribute; false
// when the text starts with no declaration holding one.
bool ReplaceDeclaredEncoding(String& Text, const String& Name) {
  if (Text.rfind(u"<?xml", 0) != 0) return false;
  const std::size_t End = Text.find(u"?>");
  std::size_t At = Text.find(u"encoding", 5);
  if (End == String::npos || At == String::npos || At > End) return false;
  At += 8;
  while (At < End && (Text[At] == u' ' || Text[At] == u'\t' || Text[At] == u'\r' || Text[At] == u'\n')) ++At;
  if (At >= End || Text[At] != u'=') return false;
  ++At;
  while (At < End && (Text[At] == u' ' || Text[At] == u'\t' || Text[At] == u'\r' || Text[At] == u'\n')) ++At;
  if (At >= End || (Text[At] != u'"' && Text[At] != u'\'')) return false;
  const std::size_t Close = Text.find(Text[At], At + 1);
  if (Close == String::npos || Close > End) return false;
  Text.replace(At + 1, Close - At - 1, Name);
  return true;
}

// A file whose declaration names an encoding the charset table does not
// know (other programs write "utf8"): its bytes read as UTF-8 when they are
// valid UTF-8, else in the ANSI code page, under a declaration of UTF-8, so
// that it is read now and written back in an encoding the table knows.
void LoadUnknownEncoding(TOxSimpleXML& Xml, const String& FileName) {
  std::string Bytes = ReadBytes(FileName);
  String Text;
  if (Bytes.size() >= 2 && static_cast<unsigned char>(Bytes[0]) == 0xFF &&
      static_cast<unsigned char>(Bytes[1]) == 0xFE) {
    Text = TEncoding::Unicode()->GetString(Bytes.data() + 2, Bytes.size() - 2);
  } else {
    if (Bytes.rfind("\xEF\xBB\xBF", 0) == 0) Bytes.erase(0, 3);
    Text = DecodeWireText(Bytes);  // UTF-8 when the bytes are, else ANSI
  }
  if (!ReplaceDeclaredEncoding(Text, u"UTF-8")) throw EKelCharsetError(u"No matching charset");
  Xml.LoadFromString(Text);
}

String BackupName(const String& FileName) { return FileName + u".bak"; }

}  // namespace

TSettingsBackup KeepSettingsBackup(const String& FileName) {
  TSettingsBackup Result;
  Result.BackupFile = BackupName(FileName);
  std::error_code Ec;
  const std::string Damaged = ReadBytes(FileName);
  if (fs::exists(ToPath(Result.BackupFile), Ec) && ReadBytes(Result.BackupFile) == Damaged) return Result;
  // One copy at most: the newest damaged file replaces an older copy.
  // Written out rather than copied: replacing a file through copy_file
  // fails with some standard libraries on Windows.
  std::ofstream Out(ToPath(Result.BackupFile), std::ios::binary | std::ios::trunc);
  Out.write(Damaged.data(), static_cast<std::streamsize>(Damaged.size()));
  Out.close();
  if (!Out) {
    Result.Ok = false;
    Result.Error = u"Cannot write \"" + Result.BackupFile + u"\"";
    return Result;
  }
  Result.New = true;
  return Result;
}

String DefaultUrlUpdate() { return MajWebDefaultUrl; }

TSettingsLoad LoadSettingsDocument(TOxSimpleXML& Xml, const String& FileName) {
  TSettingsLoad Result;
  if (!IsExistingFile(FileName)) return Result;
  try {
    try {
      Xml.LoadFromFile(FileName);
    } catch (const EKelCharsetError&) {
      LoadUnknownEncoding(Xml, FileName);
    }
    Result.State = TSettingsFileState::Loaded;
  } catch (const std::exception& E) {
    Result.State = TSettingsFileState::Damaged;
    Result.Error = ErrorText(E);
  }
  return Result;
}

TSettingsSave SaveSettingsDocument(TOxSimpleXML& Xml, const String& FileName, const TSettingsLoad& Before) {
  TSettingsSave Result;
  if (Before.State == TSettingsFileState::Damaged && IsExistingFile(FileName)) {
    const TSettingsBackup Backup = KeepSettingsBackup(FileName);
    if (!Backup.Ok) {
      Result.Ok = false;
      Result.Error = Backup.Error;
      return Result;
    }
    if (Backup.New) Result.BackupFile = Backup.BackupFile;
  }
  try {
    try {
      Xml.SaveToFile(FileName);
    } catch (const EKelCharsetError&) {
      // The declaration of a file that did not read names a charset the
      // table lacks: the file is written back as UTF-8.
      Xml.Prolog()->SetEncoding(u"UTF-8");
      Xml.SaveToFile(FileName);
    }
  } catch (const std::exception& E) {
    Result.Ok = false;
    Result.Error = ErrorText(E);
  }
  return Result;
}

String LitOption(TOxSimpleXML& Xml, const String& Key, const String& Default) {
  TKelSimpleXMLElem* Item = ChildNamed(ChildNamed(Xml.Root(), kOptions), Key);
  return Item ? Item->Value() : Default;
}

void EcritOption(TKelSimpleXMLElem* Options, const String& Key, const String& Value) {
  if (TKelSimpleXMLElem* Item = ChildNamed(Options, Key))
    Item->SetValue(Value);
  else
    Options->Items()->Add(Key, Value);
}

void EcritOptionBool(TKelSimpleXMLElem* Options, const String& Key, bool Flag) {
  EcritOption(Options, Key, Flag ? u"1" : u"0");
}

TSettingsLoad ChargeOptions(TQuorvelOptions& Options, TDateTime Now, const TFormatSettings& Format,
                            const String& FileName) {
  TOxSimpleXML Xml;
  TSettingsLoad Result = LoadSettingsDocument(Xml, FileName);

  Options.AutoCheckType = AutoCheckTypeFromText(LitOption(Xml, u"AutoCheck", IntToStr(AutoCheckDefaut)));
  Options.LastCheck = LastCheckFromText(LitOption(Xml, u"LastCheck", String()), Now, Format);
  // Only the two tables exist: anything else would load no table at all.
  String Langue = UpperCase(LitOption(Xml, u"Langue", String()));
  Options.OptionLangue = (Langue == u"FR" || Langue == u"US") ? Langue : String();
  Options.FZDefautPassive = LitOption(Xml, u"DefautPassive", u"0") == u"1";
  Options.SaveLastConnect = LitOption(Xml, u"SaveLastConnect", u"0") == u"1";
  Options.UrlUpdate = LitOption(Xml, u"UrlUpdate", DefaultUrlUpdate());
  // An empty address could never be checked.
  if (Options.UrlUpdate.empty()) Options.UrlUpdate = DefaultUrlUpdate();

  if (Options.SaveLastConnect) {
    TLastConnect& L = Options.Last;
    L.Host = LitOption(Xml, u"LastHost", String());
    L.Port = ClampSpin(StrToIntDef(LitOption(Xml, u"LastPort", u"21"), 21));
    L.User = LitOption(Xml, u"LastUser", String());
    L.Pass = LitOption(Xml, u"LastPass", String());
    L.Passif = LitOption(Xml, u"LastPassif", u"0") == u"1";
    L.Dir = LitOption(Xml, u"LastDir", String());
    L.Alloue = ClampSpin(StrToIntDef(LitOption(Xml, u"LastAlloue", u"1"), 1));
    Integer Unite = StrToIntDef(LitOption(Xml, u"LastUnite", u"1"), 1);
    L.Unite = Unite < 0 ? 0 : Unite > 1 ? 1 : Unite;
  }
  return Result;
}

TSettingsSave SauveOptions(const TQuorvelOptions& Options, const TFormatSettings& Format, const String& FileName) {
  TOxSimpleXML Xml;
  TSettingsLoad Before = LoadSettingsDocument(Xml, FileName);
  TKelSimpleXMLElem* Root = Xml.Root();
  Root->SetName(u"Quorvel");
  TKelSimpleXMLElem* Opt = ChildNamed(Root, kOptions);
  if (Opt == nullptr) Opt = Root->Items()->Add(kOptions);

  EcritOption(Opt, u"AutoCheck", IntToStr(Options.AutoCheckType));
  EcritOption(Opt, u"LastCheck", DateTimeToStr(Options.LastCheck, Format));
  EcritOption(Opt, u"Langue", Options.OptionLangue);
  EcritOptionBool(Opt, u"SaveLastConnect", Options.SaveLastConnect);
  if (Options.UrlUpdate != DefaultUrlUpdate() && !Options.UrlUpdate.empty())
    EcritOption(Opt, u"UrlUpdate", Options.UrlUpdate);
  else
    RemoveOption(Opt, u"UrlUpdate");
  if (Options.SaveLastConnect) {
    const TLastConnect& L = Options.Last;
    EcritOption(Opt, u"LastHost", L.Host);
    EcritOption(Opt, u"LastPort", IntToStr(L.Port));
    EcritOption(Opt, u"LastUser", L.User);
    EcritOption(Opt, u"LastPass", L.Pass);
    EcritOptionBool(Opt, u"LastPassif", L.Passif);
    EcritOption(Opt, u"LastDir", L.Dir);
    EcritOption(Opt, u"LastAlloue", IntToStr(L.Alloue));
    EcritOption(Opt, u"LastUnite", IntToStr(L.Unite));
  } else {
    // Nothing of a connection the user asked not to keep stays on disk.
    for (const Char* Key : kLastKeys) RemoveOption(Opt, Key);
  }
  EcritOptionBool(Opt, u"DefautPassive", Options.FZDefautPassive);
  return SaveSettingsDocument(Xml, FileName, Before);
}

bool AutoCheckDue(const TQuorvelOptions& Options, TDateTime Now) {
  return AutoCheckDue(Options.AutoCheckType, Options.LastCheck, Now);
}
