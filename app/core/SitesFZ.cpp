#include "app/core/SitesFZ.h"

#include <algorithm>

#include "app/core/uIntl.h"
#include "rtl/Exceptions.h"
#include "rtl/NetEncoding.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "xml/KelSysUtils.h"
#include "xml/OxSimpleXml.h"

namespace {

constexpr Integer kTableLength = 43;

TKelSimpleXMLElem* ChildNamed(TKelSimpleXMLElem* Parent, const String& Name) {
  if (Parent == nullptr) return nullptr;
  Integer I = Parent->Items()->IndexOf(Name);
  return I < 0 ? nullptr : Parent->Items()->GetItem(I);
}

String Attr(TKelSimpleXMLElem* Elem, const String& Name, const String& Default = String()) {
  TKelSimpleXMLProp* P = Elem->Properties()->Find(Name);
  return P ? P->Value() : Default;
}

bool IsElement(const TKelSimpleXMLElem* Elem) { return dynamic_cast<const TKelSimpleXMLElemClassic*>(Elem) != nullptr; }

// The element's own character data: its value, or, when it also has child
// elements, its first text run (the parser keeps mixed content as nodes).
String OwnText(TKelSimpleXMLElem* Elem) {
  for (TKelSimpleXMLElem* Child : *Elem->Items())
    if (Child->Name().empty() &&
        (dynamic_cast<TKelSimpleXMLElemText*>(Child) || dynamic_cast<TKelSimpleXMLElemCData*>(Child)))
      return Child->Value();
  return Elem->Value();
}

// A name or single-line field ends at its first line break: FileZilla puts
// the folder's name text before indented children, with CR LF or a bare LF.
String CutLine(const String& Text) {
  std::size_t Eol = Text.find_first_of(u"\r\n");
  return Eol == String::npos ? Text : Text.substr(0, Eol);
}

String LitChampDossier(TKelSimpleXMLElem* Elem, const String& Name) {
  String Text;
  if (Name.empty())
    Text = OwnText(Elem);
  else if (TKelSimpleXMLElem* Child = ChildNamed(Elem, Name))
    Text = Child->Value();
  return StringReplace(CutLine(Text), u"1 0 5 ", u"/", rfReplaceAll);
}

String LitChampServeur(TKelSimpleXMLElem* Elem, const String& Name, bool Cut = true) {
  TKelSimpleXMLElem* Child = Name.empty() ? Elem : ChildNamed(Elem, Name);
  if (Child == nullptr) return String();
  String Text = Name.empty() ? OwnText(Elem) : Child->Value();
  if (Cut) Text = CutLine(Text);
  if (!Name.empty() && SameText(Attr(Child, u"encoding"), u"base64")) Text = TNetEncoding::Base64().Decode(Text);
  return Text;
}

Integer PassKey(Integer Position) { return Position == 0 ? 0 : static_cast<Integer>(TableCodePass[Position - 1]); }

bool AllDigits(const String& Text, std::size_t From, std::size_t Count) {
  for (std::size_t I = From; I < From + Count; ++I)
    if (Text[I] < u'0' || Text[I] > u'9') return false;
  return true;
}

String PadDigits(Integer Value, std::size_t Width) {
  String Digits = IntToStr(Value);
  return String(Digits.size() < Width ? Width - Digits.size() : 0, u'0') + Digits;
}

TFZServer* ChercheServeur(TFZFolder* Folder, const String& Nom) {
  for (auto& Entry : Folder->Contenu)
    if (auto* S = dynamic_cast<TFZServer*>(Entry.get()); S && AnsiSameText(S->Nom, Nom)) return S;
  return nullptr;
}

TFZFolder* ChercheDossier(TFZFolder* Folder, const String& Nom) {
  for (auto& Entry : Folder->Contenu)
    if (auto* F = dynamic_cast<TFZFolder*>(Entry.get()); F && AnsiSameText(F->Nom, Nom)) return F;
  return nullptr;
}

void WriteAllowance(TKelSimpleXMLElem* Elem, Int64 Place, Integer PlaceUnite) {
  if (Place == 1 && PlaceUnite == 0) return;
  Elem->Properties()->Add(u"Alloue", IntToStr(Place));
  Elem->Properties()->Add(u"Unit", IntToStr(PlaceUnite));
}

TFZStoredAllowance ReadStored(TKelSimpleXMLElem* Elem, bool Dossier) {
  TFZStoredAllowance Stored;
  Stored.Dossier = Dossier;
  Stored.Nom = Attr(Elem, u"Nom");
  Stored.Place = StrToInt64Def(Attr(Elem, u"Alloue", u"1"), 1);
  Stored.PlaceUnite = StrToIntDef(Attr(Elem, u"Unit", u"0"), 0);
  if (Dossier)
    for (TKelSimpleXMLElem* Child : *Elem->Items()) {
      if (!IsElement(Child)) continue;
      if (SameText(Child->Name(), u"Server"))
        Stored.Contenu.push_back(ReadStored(Child, false));
      else if (SameText(Child->Name(), u"Folder"))
        Stored.Contenu.push_back(ReadStored(Child, true));
    }
  return Stored;
}

void WriteStored(TKelSimpleXMLElem* Parent, const TFZStoredAllowance& Stored) {
  TKelSimpleXMLElem* Elem = Parent->Items()->Add(Stored.Dossier ? u"Folder" : u"Server");
  Elem->Properties()->Add(u"Nom", Stored.Nom);
  if (Stored.Dossier) {
    Elem->Properties()->Add(u"isFilezilla", u"1");
    for (const TFZStoredAllowance& Child : Stored.Contenu) WriteStored(Elem, Child);
  } else {
    WriteAllowance(Elem, Stored.Place, Stored.PlaceUnite);
  }
}

// Options are copied element by element into the new document, so that the
// values are escaped by the document that writes them.
void CopyElement(TKelSimpleXMLElem* From, TKelSimpleXMLElem* To) {
  To->SetValue(From->Value());
  for (TKelSimpleXMLProp* P : *From->Properties()) To->Properties()->Add(P->Name(), P->Value());
  for (TKelSimpleXMLElem* Child : *From->Items())
    if (IsElement(Child)) CopyElement(Child, To->Items()->Add(Child->Name()));
}

String ErrorText(const std::exception& E) {
  if (auto* Ex = dynamic_cast<const Exception*>(&E)) return Ex->Message();
  return UTF8ToUTF16(E.what());
}

}  // namespace

// ---------------------------------------------------------------------------
// Entries

void TFZObject::Assign(const TObject* Source) {
  auto* From = dynamic_cast<const TFZObject*>(Source);
  if (From == nullptr) throw EConvertError(u"Cannot assign to a TFZObject");
  Nom = From->Nom;
  isFZ = From->isFZ;
  Pere = From->Pere;
}

TFZObject* TFZFolder::Add(std::unique_ptr<TFZObject> Entry) {
  Contenu.push_back(std::move(Entry));
  return Contenu.back().get();
}

bool TFZFolder::Remove(const TFZObject* Entry) {
  auto It = std::find_if(Contenu.begin(), Contenu.end(), [Entry](const auto& E) { return E.get() == Entry; });
  if (It == Contenu.end()) return false;
  Contenu.erase(It);
  return true;
}

void TFZFolder::Assign(const TObject* Source) {
  if (auto* From = dynamic_cast<const TFZFolder*>(Source)) Ouvert = From->Ouvert;
  TFZObject::Assign(Source);
}

void TFZServer::Assign(const TObject* Source) {
  if (auto* From = dynamic_cast<const TFZServer*>(Source)) {
    Host = From->Host;
    Port = From->Port;
    Protocol = From->Protocol;
    User = From->User;
    Pass = From->Pass;
    PasvMode = From->PasvMode;
    Commentaires = From->Commentaires;
    LocalDir = From->LocalDir;
    RemoteDir = From->RemoteDir;
    Place = From->Place;
    PlaceUnite = From->PlaceUnite;
  }
  TFZObject::Assign(Source);
}

// ---------------------------------------------------------------------------
// Reading and writing entries

void TFZFolder::LoadXML(TKelSimpleXMLElem* Noeud, TFZFolder* _Pere, bool _isFZ) {
  Contenu.clear();
  AllowancesKept.clear();
  isFZ = _isFZ;
  Pere = _Pere;
  if (Noeud && Attr(Noeud, u"isFilezilla", u"0") == u"1") return;

  if ((Noeud == nullptr && isFZ) || (Noeud && Noeud->Name() == u"Servers")) {
    Nom = GetMsg(u"FZSite");
  } else if (Noeud && (Noeud->Name() != u"MesSites" || isFZ || Pere)) {
    if (isFZ) {
      Nom = LitChampDossier(Noeud, u"Name");
      if (Nom.empty()) Nom = LitChampDossier(Noeud, String());
    } else {
      Nom = Attr(Noeud, u"Nom");
      if (Nom.empty()) Nom = LitChampDossier(Noeud, String());
    }
  } else {
    Nom = GetMsg(u"mySites");
  }
  path = Pere ? Pere->path + Nom + u"/" : String(u"0/");

  if (Noeud == nullptr) return;
  Ouvert = Attr(Noeud, u"expanded", u"0") == u"1";
  for (TKelSimpleXMLElem* Child : *Noeud->Items()) {
    if (!IsElement(Child)) continue;
    if (SameText(Child->Name(), u"Folder")) {
      auto Folder = std::make_unique<TFZFolder>();
      Folder->LoadXML(Child, this, isFZ);
      Add(std::move(Folder));
    } else if (SameText(Child->Name(), u"Server")) {
      auto Server = std::make_unique<TFZServer>();
      Server->LoadXML(Child, this, isFZ);
      Add(std::move(Server));
    }
  }
}

void TFZFolder::SaveXML(TKelSimpleXMLElem* Noeud) const {
  TKelSimpleXMLElem* Elem = Noeud->Items()->Add(Noeud->Parent() == nullptr ? u"FileZilla" : u"Folder");
  Elem->Properties()->Add(u"Nom", Nom);
  if (Ouvert) Elem->Properties()->Add(u"expanded", u"1");
  if (isFZ) Elem->Properties()->Add(u"isFilezilla", u"1");
  for (const auto& Entry : Contenu) {
    if (auto* Folder = dynamic_cast<const TFZFolder*>(Entry.get()))
      Folder->SaveXML(Elem);
    else if (auto* Server = dynamic_cast<const TFZServer*>(Entry.get()))
      Server->SaveXML(Elem);
  }
  for (const TFZStoredAllowance& Stored : AllowancesKept) WriteStored(Elem, Stored);
}

void TFZServer::LoadXML(TKelSimpleXMLElem* Noeud, TFZFolder* _Pere, bool _isFZ) {
  Pere = _Pere;
  isFZ = _isFZ;
  Nom = isFZ ? LitChampServeur(Noeud, u"Name") : Attr(Noeud, u"Nom");
  if (Nom.empty()) Nom = CutLine(OwnText(Noeud));
  Host = LitChampServeur(Noeud, u"Host");
  Port = StrToIntDef(LitChampServeur(Noeud, u"Port"), 21);
  Protocol = StrToIntDef(LitChampServeur(Noeud, u"Protocol"), -1);
  User = LitChampServeur(Noeud, u"User");
  Pass = LitChampServeur(Noeud, u"Pass");
  PasvMode = LitChampServeur(Noeud, u"PasvMode");
  Commentaires = LitChampServeur(Noeud, u"Comments", false);
  RemoteDir = LitChampServeur(Noeud, u"RemoteDir");
  if (!isFZ) Pass = DecodePass(Pass);
  // Only FileZilla writes its own notation; an own site's "/my site" is a path.
  if (isFZ) RemoteDir = DecodeRemoteDir(RemoteDir);
  Place = StrToInt64Def(Attr(Noeud, u"Alloue", u"1"), 1);
  PlaceUnite = StrToIntDef(Attr(Noeud, u"Unit", u"0"), 0);
}

void TFZServer::SaveXML(TKelSimpleXMLElem* Noeud) const {
  TKelSimpleXMLElem* Elem = Noeud->Items()->Add(u"Server");
  Elem->Properties()->Add(u"Nom", Nom);
  if (!isFZ) {
    auto Field = [Elem](const Char* Name, const String& Value) {
      if (!Value.empty()) Elem->Items()->Add(Name, Value);
    };
    Field(u"Host", Host);
    if (Port != 21) Field(u"Port", IntToStr(Port));
    Field(u"User", User);
    Field(u"Pass", CodePass(Pass));
    Field(u"PasvMode", PasvMode);
    Field(u"Comments", Commentaires);
    Field(u"RemoteDir", RemoteDir);
  }
  WriteAllowance(Elem, Place, PlaceUnite);
}

// ---------------------------------------------------------------------------
// Passwords and remote folders

String CodePass(const String& Text) {
  const Integer N = static_cast<Integer>(Text.size());
  const Integer Offset = N % kTableLength;
  std::vector<Integer> Codes;
  bool FitsThree = true;
  for (Integer I = 1; I <= N; ++I) {
    Integer Code = static_cast<Integer>(Text[static_cast<std::size_t>(I - 1)]) ^ PassKey((I + Offset) % kTableLength);
    FitsThree = FitsThree && Code <= 999;
    Codes.push_back(Code);
  }
  // The historical form, kept digit for digit so existing files round-trip;
  // characters beyond it take five-digit groups after a "*" marker.
  String Result = FitsThree ? String() : String(u"*");
  for (Integer Code : Codes) Result += PadDigits(Code, FitsThree ? 3 : 5);
  return Result;
}

String DecodePass(const String& Text) {
  const bool Wide = !Text.empty() && Text[0] == u'*';
  const std::size_t Start = Wide ? 1 : 0;
  const std::size_t Width = Wide ? 5 : 3;
  const Integer Groups = static_cast<Integer>((Text.size() - Start) / Width);
  const Integer Offset = Groups % kTableLength;
  String Result;
  for (Integer I = 1; I <= Groups; ++I) {
    const std::size_t From = Start + static_cast<std::size_t>(I - 1) * Width;
    if (!AllDigits(Text, From, Width)) return String();
    Integer Code = StrToInt(Text.substr(From, Width)) ^ PassKey((I + Offset) % kTableLength);
    if (Code > 0xFFFF) return String();
    Result.push_back(static_cast<Char>(Code));
  }
  return Result;
}

String DecodeRemoteDir(const String& Text) {
  std::size_t Blank = Text.find(u' ');
  if (Blank == String::npos) return Text;
  // Server type, then prefix length.
  String Rest = Text.substr(Blank + 1);
  Blank = Rest.find(u' ');
  if (Blank != String::npos) Rest.erase(0, Blank + 1);
  String Result;
  while ((Blank = Rest.find(u' ')) != String::npos) {
    Integer Length = StrToIntDef(Rest.substr(0, Blank), 1);
    if (Length < 0) Length = 0;  // a negative length would never consume the text
    const std::size_t L = static_cast<std::size_t>(Length);
    Result += u"/" + Rest.substr(Blank + 1, L);
    Rest.erase(0, std::min(Rest.size(), Blank + 1 + L + 1));
  }
  return Result;
}

// ---------------------------------------------------------------------------
// Files

void ChargeAlloueFZ(TKelSimpleXMLElem* Elem, TFZFolder* Folder, bool KeepUnmatched) {
  if (Elem == nullptr || Folder == nullptr) return;
  for (TKelSimpleXMLElem* Child : *Elem->Items()) {
    if (!IsElement(Child)) continue;
    if (SameText(Child->Name(), u"Server")) {
      if (TFZServer* Server = ChercheServeur(Folder, Attr(Child, u"Nom"))) {
        Server->Place = StrToInt64Def(Attr(Child, u"Alloue", u"1"), 1);
        Server->PlaceUnite = StrToIntDef(Attr(Child, u"Unit", u"0"), 0);
      } else if (KeepUnmatched) {
        Folder->AllowancesKept.push_back(ReadStored(Child, false));
      }
    } else if (SameText(Child->Name(), u"Folder")) {
      if (TFZFolder* Sub = ChercheDossier(Folder, Attr(Child, u"Nom")))
        ChargeAlloueFZ(Child, Sub, KeepUnmatched);
      else if (KeepUnmatched)
        Folder->AllowancesKept.push_back(ReadStored(Child, true));
    }
  }
}

String FileZillaSiteFile() {
  String Dir = GetAppDataDir();
  if (Dir.empty()) return String();
  return Dir + u"\\FileZilla\\sitemanager.xml";
}

TSitesLoad ChargeFichiersSites(const String& SettingsFile, const String& FileZillaFile) {
  TSitesLoad Result;
  TOxSimpleXML Settings;
  Result.Settings = LoadSettingsDocument(Settings, SettingsFile);
  Result.Racine = std::make_unique<TFZFolder>();
  Result.Racine->LoadXML(ChildNamed(Settings.Root(), u"MesSites"), nullptr, false);

  TOxSimpleXML FileZilla;
  TKelSimpleXMLElem* Servers = nullptr;
  if (IsExistingFile(FileZillaFile)) {
    try {
      FileZilla.LoadFromFile(FileZillaFile);
      Result.FileZillaRead = true;
    } catch (const std::exception& E) {
      Result.FileZillaError = ErrorText(E);
    }
    Servers = ChildNamed(FileZilla.Root(), u"Servers");
  }
  Result.RacineFZ = std::make_unique<TFZFolder>();
  Result.RacineFZ->LoadXML(Servers, nullptr, true);
  // Without FileZilla's whole list there is no telling a deleted site from
  // one that could not be read: keep what matched nothing.
  ChargeAlloueFZ(ChildNamed(Settings.Root(), u"FileZilla"), Result.RacineFZ.get(), !Result.FileZillaRead);
  return Result;
}

TSettingsSave SauveFichierSites(const TFZFolder& Racine, const TFZFolder& RacineFZ, const String& SettingsFile) {
  TOxSimpleXML Old;
  TSettingsLoad Before = LoadSettingsDocument(Old, SettingsFile);

  TOxSimpleXML Xml;
  TKelSimpleXMLElem* Root = Xml.Root();
  Root->SetName(u"Quorvel");
  TKelSimpleXMLElem* Mine = Root->Items()->Add(u"MesSites");
  for (const auto& Entry : Racine.Contenu) {
    if (auto* Folder = dynamic_cast<const TFZFolder*>(Entry.get()))
      Folder->SaveXML(Mine);
    else if (auto* Server = dynamic_cast<const TFZServer*>(Entry.get()))
      Server->SaveXML(Mine);
  }
  RacineFZ.SaveXML(Root);
  // The options stay until the main window writes them again at exit.
  if (TKelSimpleXMLElem* Options = ChildNamed(Old.Root(), u"Options"))
    CopyElement(Options, Root->Items()->Add(u"Options"));
  return SaveSettingsDocument(Xml, SettingsFile, Before);
}

bool EstProtocoleFTPSimple(Integer Protocol) { return Protocol == -1 || Protocol == 0 || Protocol == 6; }

String NomProtocole(Integer Protocol) {
  switch (Protocol) {
    case -1:
    case 0:
    case 6:
      return u"FTP";
    case 1:
      return u"SFTP";
    case 2:
      return u"HTTP";
    case 3:
      return u"FTPS";
    case 4:
      return u"FTPES";
    case 5:
      return u"HTTPS";
    default:
      return u"protocol " + IntToStr(Protocol);
  }
}

bool TFZServer::FTPSimple() const { return EstProtocoleFTPSimple(Protocol); }
