#include "chart/widgets/VivIzudePersistence.h"

#include <algorithm>
#include <memory>

#include "rtl/SysUtils.h"

namespace {

String Ascii(const char* Text) {
  String Out;
  while (*Text) Out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*Text++)));
  return Out;
}

[[noreturn]] void Raise(const String& Message) { throw EVivIzudeReaderException(Message); }

int HexDigit(char16_t C) {
  if (C >= u'0' && C <= u'9') return C - u'0';
  if (C >= u'A' && C <= u'F') return C - u'A' + 10;
  if (C >= u'a' && C <= u'f') return C - u'a' + 10;
  return -1;
}

bool IsStringKind(TTypeKind Kind) {
  return Kind == tkChar || Kind == tkString || Kind == tkWChar || Kind == tkLString || Kind == tkUString;
}

bool IsWritableKind(TTypeKind Kind) {
  return Kind == tkInteger || Kind == tkEnumeration || Kind == tkSet || Kind == tkFloat || Kind == tkInt64 ||
         Kind == tkClass || IsStringKind(Kind);
}

// Text to bytes two characters at a time; false when a pair is not hex.
bool HexToBytes(const String& Text, TBytes& Bytes) {
  Bytes.clear();
  for (std::size_t I = 0; I + 1 < Text.size(); I += 2) {
    const int Hi = HexDigit(Text[I]);
    const int Lo = HexDigit(Text[I + 1]);
    if (Hi < 0 || Lo < 0) return false;
    Bytes.push_back(static_cast<Byte>(Hi * 16 + Lo));
  }
  return true;
}

String BytesToHex(const TBytes& Bytes) {
  static const char16_t Digits[] = u"0123456789ABCDEF";
  String Out;
  Out.reserve(Bytes.size() * 2);
  for (Byte B : Bytes) {
    Out.push_back(Digits[B >> 4]);
    Out.push_back(Digits[B & 15]);
  }
  return Out;
}

String TypeNotFound(const String& Name) { return u"Type \"" + Name + u"\" not found"; }

}  // namespace

String TypeKindName(TTypeKind Kind) {
  static const char* const Names[] = {
      "tkUnknown", "tkInteger",  "tkChar",    "tkEnumeration", "tkFloat",   "tkString",    "tkSet",    "tkClass",
      "tkMethod",  "tkWChar",    "tkLString", "tkWString",     "tkVariant", "tkArray",     "tkRecord", "tkInterface",
      "tkInt64",   "tkDynArray", "tkUString", "tkClassRef",    "tkPointer", "tkProcedure", "tkMRecord"};
  const auto Index = static_cast<std::size_t>(Kind);
  return Index < std::size(Names) ? Ascii(Names[Index]) : String(u"tkUnknown");
}

bool TVivIzudePropInfo::IsColor() const {
  return Kind == tkInteger && (TypeName == u"TColor" || TypeName == u"TAlphaColor" || TypeName == u"TGraphicsColor");
}

bool TVivIzudeClassInfo::InheritsFrom(const TVivIzudeClassInfo* Base) const {
  for (const TVivIzudeClassInfo* C = this; C; C = C->Parent)
    if (C == Base) return true;
  return false;
}

std::vector<const TVivIzudePropInfo*> TVivIzudeClassInfo::PersistedProperties() const {
  // Ancestors first, so that a redeclared property takes the descendant's accessors.
  std::vector<const TVivIzudeClassInfo*> Chain;
  for (const TVivIzudeClassInfo* C = this; C; C = C->Parent) Chain.insert(Chain.begin(), C);
  std::map<String, const TVivIzudePropInfo*> ByName;
  for (const TVivIzudeClassInfo* C : Chain)
    for (const TVivIzudePropInfo& P : C->OwnProperties) ByName[UpperCase(P.Name)] = &P;
  std::vector<const TVivIzudePropInfo*> Out;
  for (const auto& [Key, P] : ByName)
    if (P->Kind != tkMethod && P->Writable()) Out.push_back(P);
  return Out;  // the map's order is the ASCII upper-case order
}

const TVivIzudePropInfo* TVivIzudeClassInfo::FindProperty(const String& AName) const {
  for (const TVivIzudeClassInfo* C = this; C; C = C->Parent)
    for (const TVivIzudePropInfo& P : C->OwnProperties)
      if (SameText(P.Name, AName)) return &P;
  return nullptr;
}

const TVivIzudeListAccess* TVivIzudeClassInfo::ListAccess() const {
  for (const TVivIzudeClassInfo* C = this; C; C = C->Parent)
    if (C->List) return C->List.get();
  return nullptr;
}

const TVivIzudeCollectionAccess* TVivIzudeClassInfo::CollectionAccess() const {
  for (const TVivIzudeClassInfo* C = this; C; C = C->Parent)
    if (C->Collection) return C->Collection.get();
  return nullptr;
}

const TVivIzudePictureAccess* TVivIzudeClassInfo::PictureAccess() const {
  for (const TVivIzudeClassInfo* C = this; C; C = C->Parent)
    if (C->Picture) return C->Picture.get();
  return nullptr;
}

TVivIzudeClassRegistry& TVivIzudeClassRegistry::Instance() {
  static TVivIzudeClassRegistry Registry;
  return Registry;
}

TVivIzudeClassInfo& TVivIzudeClassRegistry::Add(std::type_index Type, const String& AName) {
  auto& Slot = FByType[Type];
  if (Slot) {
    // Registering again starts the description afresh.
    FByName.erase(UpperCase(Slot->Name));
  }
  Slot = std::make_unique<TVivIzudeClassInfo>();
  Slot->Name = AName;
  FByName[UpperCase(AName)] = Slot.get();
  return *Slot;
}

const TVivIzudeClassInfo* TVivIzudeClassRegistry::Find(const String& AName) const {
  auto It = FByName.find(UpperCase(AName));
  return It == FByName.end() ? nullptr : It->second;
}

const TVivIzudeClassInfo* TVivIzudeClassRegistry::Find(std::type_index Type) const {
  auto It = FByType.find(Type);
  return It == FByType.end() ? nullptr : It->second.get();
}

const TVivIzudeClassInfo* TVivIzudeClassRegistry::ClassOf(const TObject* AObject) const {
  return AObject ? Find(std::type_index(typeid(*AObject))) : nullptr;
}

const std::vector<String> PersistenceExcludedProperties = {u"Align",
                                                           u"AllowFocus",
                                                           u"Anchors",
                                                           u"BevelEdges",
                                                           u"BevelInner",
                                                           u"BevelKind",
                                                           u"BevelOuter",
                                                           u"BevelWidth",
                                                           u"BiDiMode",
                                                           u"BitmapContainer",
                                                           u"BorderSpacing",
                                                           u"CanParentFocus",
                                                           u"ClipChildren",
                                                           u"ClipParent",
                                                           u"Constraints",
                                                           u"Ctl3D",
                                                           u"DisableFocusEffect",
                                                           u"DoubleBuffered",
                                                           u"DragCursor",
                                                           u"DragKind",
                                                           u"DragMode",
                                                           u"Enabled",
                                                           u"EnableDragHighLight",
                                                           u"Height",
                                                           u"Hint",
                                                           u"HitTest",
                                                           u"Locked",
                                                           u"Margins",
                                                           u"Name",
                                                           u"Opacity",
                                                           u"Padding",
                                                           u"ParentBiDiMode",
                                                           u"ParentColor",
                                                           u"ParentCtl3D",
                                                           u"ParentDoubleBuffered",
                                                           u"ParentFont",
                                                           u"ParentShowHint",
                                                           u"PopupMenu",
                                                           u"Position",
                                                           u"RotationAngle",
                                                           u"RotationCenter",
                                                           u"Scale",
                                                           u"ShowHint",
                                                           u"Size",
                                                           u"StyleElements",
                                                           u"StyleName",
                                                           u"TabOrder",
                                                           u"TabStop",
                                                           u"Tag",
                                                           u"Touch",
                                                           u"TouchTargetExpansion",
                                                           u"Visible",
                                                           u"Width"};

bool IsPersistenceExcludedProperty(const String& AName) {
  return std::any_of(PersistenceExcludedProperties.begin(), PersistenceExcludedProperties.end(),
                     [&](const String& N) { return SameText(N, AName); });
}

// ---------------------------------------------------------------- writer

TVivIzudeWriter::TVivIzudeWriter(TStream* AStream) : FWriter(new TVivIzudeJSONWriter(AStream)) {}

TVivIzudeWriter::~TVivIzudeWriter() { delete FWriter; }

void TVivIzudeWriter::Write(TObject* AObject) {
  FFilter = FSnapshot ? nullptr : dynamic_cast<IVivIzudePersistence*>(AObject);
  WriteValue(AObject);
  // Hands the complete text to the target now, so that a failing target is reported.
  FWriter->Close();
}

void TVivIzudeWriter::WriteValue(TObject* AObject) {
  if (!AObject) {
    FWriter->WriteNull();
    return;
  }
  const TVivIzudeClassInfo* Info = TVivIzudeClassRegistry::Instance().ClassOf(AObject);
  if (!Info) Raise(u"Object of an unregistered class cannot be written");
  if (const auto* L = Info->ListAccess()) {
    FWriter->WriteBeginArray();
    for (Integer I = 0, N = L->Count(AObject); I < N; ++I) WriteObject(L->Item(AObject, I));
    FWriter->WriteEndArray();
  } else if (const auto* C = Info->CollectionAccess()) {
    FWriter->WriteBeginArray();
    for (Integer I = 0, N = C->Count(AObject); I < N; ++I) WriteObject(C->Item(AObject, I));
    FWriter->WriteEndArray();
  } else if (const auto* P = Info->PictureAccess()) {
    // At the top level the JSON writer refuses a bare string.
    FWriter->WriteString(BytesToHex(P->Save(AObject)));
  } else {
    WriteObject(AObject);
  }
}

void TVivIzudeWriter::WriteObject(TObject* AObject) {
  const TVivIzudeClassInfo* Info = TVivIzudeClassRegistry::Instance().ClassOf(AObject);
  if (!Info) Raise(u"Object of an unregistered class cannot be written");
  FWriter->WriteBeginObject();
  FWriter->WriteName(VivIzudeTypeKey).WriteString(Info->Name);
  for (const TVivIzudePropInfo* Prop : Info->PersistedProperties()) {
    if (FFilter && !FFilter->CanSaveProperty(AObject, Prop->Name, Prop->Kind)) continue;
    // A snapshot keeps every value, so that putting it back is exact.
    if (!FSnapshot && Prop->Stored && !Prop->Stored(AObject)) continue;
    WriteProperty(AObject, *Prop);
  }
  FWriter->WriteEndObject();
}

void TVivIzudeWriter::WriteProperty(TObject* AObject, const TVivIzudePropInfo& Prop) {
  if (!IsWritableKind(Prop.Kind)) {
    if (FSnapshot) return;
    Raise(u"Cannot write property " + Prop.Name + u" with type " + TypeKindName(Prop.Kind));
  }
  const TVivIzudeValue V = Prop.Get(AObject);
  FWriter->WriteName(Prop.Name);
  if (Prop.Kind == tkClass) {
    WriteValue(std::get<TObject*>(V));
  } else if (Prop.IsColor()) {
    FWriter->WriteString(TVivIzudePersistence::ColorToHexString(static_cast<TColor>(std::get<Int64>(V)), FResolver));
  } else if (const bool* B = std::get_if<bool>(&V)) {
    FWriter->WriteBoolean(*B);
  } else if (const double* D = std::get_if<double>(&V)) {
    FWriter->WriteDouble(*D);
  } else if (const String* S = std::get_if<String>(&V)) {
    FWriter->WriteString(*S);
  } else if (IsStringKind(Prop.Kind)) {
    FWriter->WriteString(String(1, static_cast<char16_t>(std::get<Int64>(V))));
  } else {
    FWriter->WriteInteger(std::get<Int64>(V));
  }
}

// ---------------------------------------------------------------- reader

TVivIzudeReader::TVivIzudeReader(TStream* AStream) : FReader(new TVivIzudeJSONReader(AStream)) {}

TVivIzudeReader::~TVivIzudeReader() { delete FReader; }

void TVivIzudeReader::Read(TObject* AObject) {
  FFilter = FSnapshot ? nullptr : dynamic_cast<IVivIzudePersistence*>(AObject);
  ReadInto(AObject);
}

TObject* TVivIzudeReader::Read(const TVivIzudeClassInfo* ABase) {
  FFilter = nullptr;
  return CreateObject(ABase);
}

void TVivIzudeReader::ReadTypeMember() {
  FReader->ReadBeginObject();
  if (!FReader->HasNext() || FReader->ReadName() != VivIzudeTypeKey)
    throw EVivIzudeReaderException(u"\"" + String(VivIzudeTypeKey) + u"\" property not found in Object descriptor.");
}

void TVivIzudeReader::ReadInto(TObject* AObject) {
  if (!AObject) {
    FReader->ReadNull();
    return;
  }
  const TVivIzudeClassInfo* Info = TVivIzudeClassRegistry::Instance().ClassOf(AObject);
  if (!Info) Raise(u"Object of an unregistered class cannot be read");
  if (const auto* L = Info->ListAccess()) {
    FReader->ReadBeginArray();
    L->Clear(AObject);
    while (FReader->HasNext()) {
      std::unique_ptr<TObject> Item(CreateObject(nullptr));
      L->Append(AObject, Item.release());
    }
    FReader->ReadEndArray();
  } else if (const auto* C = Info->CollectionAccess()) {
    FReader->ReadBeginArray();
    C->Clear(AObject);
    while (FReader->HasNext()) {
      std::unique_ptr<TObject> Temp(CreateObject(nullptr));
      C->AddFrom(AObject, Temp.get());
    }
    FReader->ReadEndArray();
  } else if (const auto* P = Info->PictureAccess()) {
    const String Text = FReader->ReadString();
    if (Text.empty()) {
      // A document leaves a picture alone; a snapshot of an empty one empties it.
      if (FSnapshot && P->Clear) P->Clear(AObject);
      return;
    }
    TBytes Bytes;
    if (!HexToBytes(Text, Bytes)) {
      FWarnings.push_back(u"Picture of class " + Info->Name + u" is not hexadecimal text; left unchanged");
      return;
    }
    if (!P->Load(AObject, Bytes))
      FWarnings.push_back(u"Picture of class " + Info->Name + u" is in no known format; left unchanged");
  } else {
    ReadTypeMember();
    FReader->ReadString();  // the stored class name is not compared
    ReadMembers(AObject, *Info);
    FReader->ReadEndObject();
  }
}

TObject* TVivIzudeReader::CreateObject(const TVivIzudeClassInfo* ABase) {
  ReadTypeMember();
  const String Name = FReader->ReadString();
  const TVivIzudeClassInfo* Info = TVivIzudeClassRegistry::Instance().Find(Name);
  if (!Info) Raise(TypeNotFound(Name));
  if (ABase && !Info->InheritsFrom(ABase)) Raise(u"Type \"" + Name + u"\" does not inherit from " + ABase->Name);
  if (!Info->Create) Raise(u"Type \"" + Name + u"\" not supported");
  std::unique_ptr<TObject> Obj(Info->Create());
  ReadMembers(Obj.get(), *Info);
  FReader->ReadEndObject();
  return Obj.release();
}

void TVivIzudeReader::ReadMembers(TObject* AObject, const TVivIzudeClassInfo& Info) {
  while (FReader->HasNext()) {
    const String Name = FReader->ReadName();
    const TVivIzudePropInfo* Prop = Info.FindProperty(Name);
    if (!Prop || !Prop->Writable() || Prop->Kind == tkMethod ||
        (Prop->Kind != tkClass && FFilter && !FFilter->CanLoadProperty(AObject, Prop->Name, Prop->Kind))) {
      FReader->SkipValue();
      continue;
    }
    if (Prop->Kind == tkClass) {
      TObject* Held = std::get<TObject*>(Prop->Get(AObject));
      ReadInto(Held);
    } else {
      ReadProperty(AObject, *Prop);
    }
  }
}

void TVivIzudeReader::ReadProperty(TObject* AObject, const TVivIzudePropInfo& Prop) {
  TVivIzudeValue V;
  if (Prop.IsColor()) {
    const String Text = FReader->ReadString();
    V = static_cast<Int64>(Text == u"gcNull" ? -1 : TVivIzudePersistence::HexToColor(Text));
  } else if (Prop.Kind == tkEnumeration && Prop.TypeName == u"Boolean") {
    V = FReader->ReadBoolean();
  } else if (Prop.Kind == tkEnumeration) {
    V = static_cast<Int64>(FReader->ReadInteger());
  } else if (Prop.Kind == tkInteger || Prop.Kind == tkSet || Prop.Kind == tkInt64) {
    // Written as 64-bit numbers: an unsigned 32-bit value or a set with a
    // high member does not fit a signed 32-bit read.
    V = FReader->ReadInt64();
  } else if (Prop.Kind == tkFloat) {
    V = FReader->ReadDouble();
  } else if (Prop.Kind == tkWChar || Prop.Kind == tkChar) {
    const String Text = FReader->ReadString();
    V = static_cast<Int64>(Text.empty() ? 0 : Text[0]);
  } else if (IsStringKind(Prop.Kind)) {
    V = FReader->ReadString();
  } else {
    Raise(u"Cannot read property " + Prop.Name + u" with type " + TypeKindName(Prop.Kind));
  }
  Prop.Set(AObject, V);
}

// ---------------------------------------------------------------- class methods

void TVivIzudePersistence::SaveSettingsToStream(TObject* AObject, TStream* AStream) {
  // The JSON writer hands its text to the stream only once the document is
  // complete, so a failure appends nothing.
  TVivIzudeWriter Writer(AStream);
  Writer.Write(AObject);
}

void TVivIzudePersistence::SaveSettingsToFile(TObject* AObject, const String& AFileName) {
  TBytesStream Buffer;
  SaveSettingsToStream(AObject, &Buffer);
  TFileStream File(AFileName, fmCreate);
  const TBytes& Bytes = Buffer.Bytes();
  File.WriteBuffer(Bytes.data(), static_cast<Integer>(Buffer.Size()));
}

void TVivIzudePersistence::LoadSettingsFromStream(TObject* AObject, TStream* AStream, std::vector<String>* AWarnings) {
  // A snapshot of the present state, put back when the load fails half-way.
  TBytesStream Snapshot;
  {
    TVivIzudeWriter Saver(&Snapshot);
    Saver.SetSnapshotMode(true);
    Saver.Write(AObject);
  }
  AStream->SetPosition(0);
  TVivIzudeReader Reader(AStream);
  try {
    Reader.Read(AObject);
  } catch (...) {
    Snapshot.SetPosition(0);
    TVivIzudeReader Restorer(&Snapshot);
    Restorer.SetSnapshotMode(true);
    Restorer.Read(AObject);
    throw;
  }
  if (AWarnings) *AWarnings = Reader.Warnings();
}

void TVivIzudePersistence::LoadSettingsFromFile(TObject* AObject, const String& AFileName,
                                                std::vector<String>* AWarnings) {
  TBytesStream Buffer;
  {
    TFileStream File(AFileName, fmOpenRead | fmShareDenyWrite);
    Buffer.LoadFromStream(&File);
  }
  LoadSettingsFromStream(AObject, &Buffer, AWarnings);
}

String TVivIzudePersistence::ColorToHexString(TColor AColor, const std::function<TColor(TColor)>& AResolver) {
  if (AColor == -1) return u"gcNull";
  TColor Rgb = AColor;
  if (IsSystemColor(AColor)) Rgb = AResolver ? AResolver(AColor) : (AColor & 0xFFFFFF);
  static const char16_t Digits[] = u"0123456789ABCDEF";
  String Out = u"#";
  for (int Shift : {0, 8, 16}) {
    const int B = (Rgb >> Shift) & 0xFF;
    Out.push_back(Digits[B >> 4]);
    Out.push_back(Digits[B & 15]);
  }
  return Out;
}

TColor TVivIzudePersistence::HexToColor(const String& AText) {
  // Characters 2-3, 4-5 and 6-7; a pair that is missing or not hex gives 0.
  TColor Result = 0;
  for (int I = 0; I < 3; ++I) {
    const std::size_t At = 1 + static_cast<std::size_t>(I) * 2;
    if (At + 1 >= AText.size()) continue;
    const int Hi = HexDigit(AText[At]);
    const int Lo = HexDigit(AText[At + 1]);
    if (Hi < 0 || Lo < 0) continue;
    Result |= (Hi * 16 + Lo) << (8 * I);
  }
  return Result;
}
