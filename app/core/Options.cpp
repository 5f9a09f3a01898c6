#include "app/core/Options.h"

#include "app/core/uOutils.h"

#include <filesystem>
#include <system_error>

#include "rtl/DateUtils.h"
#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "xml/KelSysUtils.h"

namespace {

namespace fs = std::filesystem;

constexpr const Char* kOptions = u"Options";
constexpr const Char* kLastKeys[] = {u"LastHost", u"LastPort", u"LastUser",   u"LastPass",
                                     u"LastPassif", u"LastDir", u"LastAlloue", u"LastUnite"};
constexpr int kMaxBackups = 99;

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

// Copies the damaged file to the first free "<file>.bak", "<file>.bak2"...
bool KeepAside(const String& FileName, String& BackupFile, String& Error) {
  std::error_code Ec;
  for (int N = 1; N <= kMaxBackups; ++N) {
    String Candidate = FileName + u".bak" + (N == 1 ? String() : IntToStr(N));
    if (fs::exists(ToPath(Candidate), Ec)) continue;
    if (fs::copy_file(ToPath(FileName), ToPath(Candidate), fs::copy_options::none, Ec)) {
      BackupFile = Candidate;
      return true;
    }
    Error = UTF8ToUTF16(Ec.message());
    return false;
  }
  Error = u"No free backup name beside \"" + FileName + u"\"";
  return false;
}

}  // namespace

String DefaultUrlUpdate() { return MajWebDefaultUrl; }

TSettingsLoad LoadSettingsDocument(TOxSimpleXML& Xml, const String& FileName) {
  TSettingsLoad Result;
  if (!IsExistingFile(FileName)) return Result;
  try {
    Xml.LoadFromFile(FileName);
    Result.State = TSettingsFileState::Loaded;
  } catch (const std::exception& E) {
    Result.State = TSettingsFileState::Damaged;
    Result.Error = ErrorText(E);
  }
  return Result;
}

TSettingsSave SaveSettingsDocument(TOxSimpleXML& Xml, const String& FileName, const TSettingsLoad& Before) {
  TSettingsSave Result;
  if (Before.State == TSettingsFileState::Damaged && IsExistingFile(FileName) &&
      !KeepAside(FileName, Result.BackupFile, Result.Error)) {
    Result.Ok = false;
    return Result;
  }
  try {
    Xml.SaveToFile(FileName);
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
  if (TKelSimpleXMLElem* Item = ChildNamed(Options, Key)) Item->SetValue(Value);
  else Options->Items()->Add(Key, Value);
}

void EcritOptionBool(TKelSimpleXMLElem* Options, const String& Key, bool Flag) {
  EcritOption(Options, Key, Flag ? u"1" : u"0");
}

TSettingsLoad ChargeOptions(TQuorvelOptions& Options, TDateTime Now, const TFormatSettings& Format,
                            const String& FileName) {
  TOxSimpleXML Xml;
  TSettingsLoad Result = LoadSettingsDocument(Xml, FileName);

  Options.AutoCheckType = AutoCheckTypeFromText(LitOption(Xml, u"AutoCheck", u"3"));
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
  if (Options.UrlUpdate != DefaultUrlUpdate() && !Options.UrlUpdate.empty()) EcritOption(Opt, u"UrlUpdate", Options.UrlUpdate);
  else RemoveOption(Opt, u"UrlUpdate");
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
