#include "rtl/IniFiles.h"

#include <filesystem>
#include <system_error>

#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "rtl/UpdateGuard.h"

namespace {

// Settings files are edited by hand too: a number in C's hexadecimal form
// ("0x1F") reads like its '$' form ("$1F"), the only one StrToIntDef knows.
String IntegerText(const String& S) {
  if (S.size() > 2 && S[0] == u'0' && (S[1] == u'x' || S[1] == u'X')) return u"$" + S.substr(2);
  return S;
}

bool FileExistsHere(const String& FileName) {
  std::error_code Ec;
#ifdef _WIN32
  std::filesystem::path P(std::wstring(FileName.begin(), FileName.end()));
#else
  std::filesystem::path P(UTF16ToUTF8(FileName));
#endif
  return std::filesystem::is_regular_file(P, Ec);
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomIniFile

Integer TCustomIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) const {
  return StrToIntDef(IntegerText(ReadString(Section, Ident, String())), Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

Int64 TCustomIniFile::ReadInt64(const String& Section, const String& Ident, Int64 Default) const {
  return StrToInt64Def(IntegerText(ReadString(Section, Ident, String())), Default);
}

void TCustomIniFile::WriteInt64(const String& Section, const String& Ident, Int64 Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? u"1" : u"0");
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Name, double Default) const {
  return ReadFloat(Section, Name, Default, TFormatSettings::Invariant());
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Name, double Default,
                                 const TFormatSettings& AFormatSettings) const {
  String Text = ReadString(Section, Name, String());
  double Result = Default;
  if (!Text.empty() && !TryStrToFloat(Text, Result, AFormatSettings)) Result = Default;
  return Result;
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Name, double Value) {
  WriteFloat(Section, Name, Value, TFormatSettings::Invariant());
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Name, double Value,
                                const TFormatSettings& AFormatSettings) {
  WriteString(Section, Name, FloatToStr(Value, AFormatSettings));
}

TDateTime TCustomIniFile::ReadDateTime(const String& Section, const String& Name, TDateTime Default) const {
  return ReadDateTime(Section, Name, Default, TFormatSettings::Invariant());
}

TDateTime TCustomIniFile::ReadDateTime(const String& Section, const String& Name, TDateTime Default,
                                       const TFormatSettings& AFormatSettings) const {
  String Text = ReadString(Section, Name, String());
  TDateTime Result = Default;
  if (!Text.empty() && !TryStrToDateTime(Text, Result, AFormatSettings)) Result = Default;
  return Result;
}

void TCustomIniFile::WriteDateTime(const String& Section, const String& Name, TDateTime Value) {
  WriteDateTime(Section, Name, Value, TFormatSettings::Invariant());
}

void TCustomIniFile::WriteDateTime(const String& Section, const String& Name, TDateTime Value,
                                   const TFormatSettings& AFormatSettings) {
  WriteString(Section, Name, DateTimeToStr(Value, AFormatSettings));
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) const {
  TStringList Keys;
  ReadSection(Section, &Keys);
  return Keys.IndexOf(Ident) >= 0;
}

// ---------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const String& AFileName, TEncoding* AEncoding) : TMemIniFile(AFileName, AEncoding, false) {}

TMemIniFile::TMemIniFile(const String& AFileName, TEncoding* AEncoding, bool ACaseSensitive)
    : TCustomIniFile(AFileName), FSections(true), FCaseSensitive(ACaseSensitive) {
  FSections.SetCaseSensitive(ACaseSensitive);
  SetEncoding(AEncoding);
  LoadValues();
}

TMemIniFile::~TMemIniFile() {
  if (FAutoSave && FModified) {
    try {
      UpdateFile();
    } catch (...) {
      // A destructor cannot report it; callers who care call UpdateFile.
    }
  }
}

void TMemIniFile::SetEncoding(TEncoding* Value) { FEncoding.Set(Value); }

void TMemIniFile::LoadValues() {
  if (!FileName().empty() && FileExistsHere(FileName())) {
    TStringList List;
    List.LoadFromFile(FileName(), Encoding());
    if (Encoding() == nullptr) SetEncoding(List.Encoding());
    SetStrings(&List);
  } else {
    Clear();
  }
  FModified = false;
}

TStringList* TMemIniFile::FindSection(const String& Section) const {
  Integer I = FSections.IndexOf(Section);
  return I < 0 ? nullptr : static_cast<TStringList*>(FSections.Objects(I));
}

TStringList* TMemIniFile::AddSection(const String& Section) {
  auto* Lines = new TStringList();
  Lines->SetCaseSensitive(FCaseSensitive);
  try {
    FSections.AddObject(Section, Lines);
  } catch (...) {
    delete Lines;
    throw;
  }
  return Lines;
}

void TMemIniFile::Clear() {
  FSections.Clear();
  FModified = true;
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
  if (TStringList* Lines = FindSection(Section)) {
    Integer I = Lines->IndexOfName(Ident);
    if (I >= 0) return Lines->ValueFromIndex(I);
  }
  return Default;
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  TStringList* Lines = FindSection(Section);
  if (Lines == nullptr) Lines = AddSection(Section);
  String Line = Ident + u"=" + Value;
  Integer I = Lines->IndexOfName(Ident);
  if (I >= 0)
    Lines->SetStrings(I, Line);
  else
    Lines->Add(Line);
  FModified = true;
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings) const {
  TUpdateGuard Update(*Strings);
  Strings->Clear();
  if (TStringList* Lines = FindSection(Section)) {
    for (Integer I = 0; I < Lines->Count(); ++I) {
      String Name = Lines->Names(I);
      if (!Name.empty()) Strings->Add(Name);
    }
  }
}

void TMemIniFile::ReadSections(TStrings* Strings) const {
  TUpdateGuard Update(*Strings);
  Strings->Clear();
  for (Integer I = 0; I < FSections.Count(); ++I) Strings->Add(FSections[I]);
}

void TMemIniFile::ReadSectionValues(const String& Section, TStrings* Strings) const {
  TUpdateGuard Update(*Strings);
  Strings->Clear();
  if (TStringList* Lines = FindSection(Section)) Strings->AddStrings(Lines);
}

bool TMemIniFile::SectionExists(const String& Section) const { return FindSection(Section) != nullptr; }

void TMemIniFile::EraseSection(const String& Section) {
  Integer I = FSections.IndexOf(Section);
  if (I >= 0) {
    FSections.Delete(I);
    FModified = true;
  }
}

void TMemIniFile::DeleteKey(const String& Section, const String& Ident) {
  if (TStringList* Lines = FindSection(Section)) {
    Integer I = Lines->IndexOfName(Ident);
    if (I >= 0) {
      Lines->Delete(I);
      FModified = true;
    }
  }
}

void TMemIniFile::GetStrings(TStrings* List) const {
  TUpdateGuard Update(*List);
  for (Integer I = 0; I < FSections.Count(); ++I) {
    List->Add(u"[" + FSections[I] + u"]");
    auto* Lines = static_cast<TStringList*>(FSections.Objects(I));
    for (Integer J = 0; J < Lines->Count(); ++J) List->Add(Lines->Strings(J));
    List->Add(String());
  }
}

void TMemIniFile::SetStrings(const TStrings* List) {
  Clear();
  TStringList* Lines = nullptr;
  for (Integer I = 0; I < List->Count(); ++I) {
    String S = Trim(List->Strings(I));
    if (S.empty() || S[0] == u';') continue;
    if (S[0] == u'[' && S.back() == u']') {
      String Name = Trim(S.substr(1, S.size() - 2));
      // A section that comes twice goes on where it was.
      Lines = FindSection(Name);
      if (Lines == nullptr) Lines = AddSection(Name);
    } else if (Lines != nullptr) {
      auto J = S.find(u'=');
      if (J != String::npos)
        Lines->Add(Trim(S.substr(0, J)) + u"=" + Trim(S.substr(J + 1)));
      else
        Lines->Add(S);
    }
  }
  FModified = true;
}

void TMemIniFile::UpdateFile() {
  TStringList List;
  GetStrings(&List);
  List.SaveToFile(FileName(), Encoding());
  FModified = false;
}

void TMemIniFile::Rename(const String& AFileName, bool Reload) {
  SetFileName(AFileName);
  if (Reload) LoadValues();
}

void TMemIniFile::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  FSections.SetCaseSensitive(Value);
  for (Integer I = 0; I < FSections.Count(); ++I)
    static_cast<TStringList*>(FSections.Objects(I))->SetCaseSensitive(Value);
}
