// Document model: items, attributes, child lists with their name index,
// name views, the prolog, the document object, and value escaping.
#include "xml/KelSimpleXml.h"

#include <algorithm>
#include <cstdio>

#include "rtl/FormatSettings.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"
#include "xml/KelCharsets.h"
#include "xml/KelSimpleXmlPrivate.h"
#include "xml/KelStringConversions.h"

// ---------------------------------------------------------------------------
// Small text helpers shared by the parser and writer

namespace KelXml {

Char AsciiUpper(Char C) { return (C >= u'a' && C <= u'z') ? static_cast<Char>(C - 32) : C; }

String AsciiUpperCase(const String& S) {
  String R(S);
  for (Char& C : R) C = AsciiUpper(C);
  return R;
}

bool SameTextAscii(const String& A, const String& B) {
  if (A.size() != B.size()) return false;
  for (size_t I = 0; I < A.size(); ++I)
    if (AsciiUpper(A[I]) != AsciiUpper(B[I])) return false;
  return true;
}

bool IsAsciiSpace(Char C) { return (C >= 9 && C <= 13) || C == 32; }

String TrimLeftAsciiSpace(const String& S) {
  size_t I = 0;
  while (I < S.size() && IsAsciiSpace(S[I])) ++I;
  return S.substr(I);
}

String TrimLeftControl(const String& S) {
  size_t I = 0;
  while (I < S.size() && S[I] <= 0x20) ++I;
  return S.substr(I);
}

String TrimRightControl(const String& S) {
  size_t N = S.size();
  while (N > 0 && S[N - 1] <= 0x20) --N;
  return S.substr(0, N);
}

String IntText(Int64 V) {
  char Buf[32];
  std::snprintf(Buf, sizeof Buf, "%lld", static_cast<long long>(V));
  return String(Buf, Buf + std::char_traits<char>::length(Buf));
}

bool TryTextToInt64(const String& S, Int64& Out) {
  // Decimal with an optional sign, or "$"/"0x" hexadecimal, surrounding blanks refused.
  if (S.empty()) return false;
  size_t I = 0;
  bool Neg = false;
  if (S[I] == u'-' || S[I] == u'+') {
    Neg = S[I] == u'-';
    ++I;
  }
  int Base = 10;
  if (I < S.size() && S[I] == u'$') {
    Base = 16;
    ++I;
  } else if (I + 1 < S.size() && S[I] == u'0' && (S[I + 1] == u'x' || S[I + 1] == u'X')) {
    Base = 16;
    I += 2;
  }
  if (I >= S.size()) return false;
  UInt64 V = 0;
  const UInt64 Limit = Neg ? UInt64(1) << 63 : (UInt64(1) << 63) - 1;
  for (; I < S.size(); ++I) {
    Char C = S[I];
    int D;
    if (C >= u'0' && C <= u'9')
      D = C - u'0';
    else if (Base == 16 && C >= u'a' && C <= u'f')
      D = C - u'a' + 10;
    else if (Base == 16 && C >= u'A' && C <= u'F')
      D = C - u'A' + 10;
    else
      return false;
    if (V > (Limit - static_cast<UInt64>(D)) / static_cast<UInt64>(Base)) return false;
    V = V * static_cast<UInt64>(Base) + static_cast<UInt64>(D);
  }
  Out = Neg ? static_cast<Int64>(0 - V) : static_cast<Int64>(V);
  return true;
}

String Utf16FromAscii(const char* S) { return String(S, S + std::char_traits<char>::length(S)); }

}  // namespace KelXml

using namespace KelXml;

// ---------------------------------------------------------------------------
// Value escaping

namespace {

const Char* EntityFor(Char C) {
  switch (C) {
    case u'"':
      return u"&quot;";
    case u'&':
      return u"&amp;";
    case u'\'':
      return u"&apos;";
    case u'<':
      return u"&lt;";
    case u'>':
      return u"&gt;";
    default:
      return nullptr;
  }
}

void AppendHex(String& Out, unsigned V, int Digits) {
  static const char Hex[] = "0123456789ABCDEF";
  for (int I = Digits - 1; I >= 0; --I) Out.push_back(static_cast<Char>(Hex[(V >> (I * 4)) & 0xF]));
}

// Matches one of the five entities at Pos (case-insensitive); returns its length.
size_t MatchEntity(const String& S, size_t Pos, Char& Out) {
  static const struct {
    const char* Name;
    Char Ch;
  } Table[] = {{"&amp;", u'&'}, {"&lt;", u'<'}, {"&gt;", u'>'}, {"&apos;", u'\''}, {"&quot;", u'"'}};
  for (const auto& E : Table) {
    size_t N = std::char_traits<char>::length(E.Name);
    if (Pos + N > S.size()) continue;
    bool Ok = true;
    for (size_t I = 0; I < N && Ok; ++I) Ok = AsciiUpper(S[Pos + I]) == AsciiUpper(static_cast<Char>(E.Name[I]));
    if (Ok) {
      Out = E.Ch;
      return N;
    }
  }
  return 0;
}

// A character reference at Pos ("&#..."): appends its units and returns its length, or 0.
size_t MatchCharRef(const String& S, size_t Pos, String& Out) {
  size_t I = Pos + 2;
  bool HexRef = I < S.size() && (S[I] == u'x' || S[I] == u'X');
  if (HexRef) ++I;
  size_t Semi = S.find(u';', I);
  if (Semi == String::npos || Semi == I) return 0;
  UInt64 V = 0;
  for (size_t K = I; K < Semi; ++K) {
    Char C = S[K];
    unsigned D;
    if (C >= u'0' && C <= u'9')
      D = C - u'0';
    else if (HexRef && C >= u'a' && C <= u'f')
      D = C - u'a' + 10;
    else if (HexRef && C >= u'A' && C <= u'F')
      D = C - u'A' + 10;
    else
      return 0;
    V = V * (HexRef ? 16 : 10) + D;
    if (V > 0x10FFFF) return 0;
  }
  if (V > 0xFFFF) {
    V -= 0x10000;
    Out.push_back(static_cast<Char>(0xD800 | (V >> 10)));
    Out.push_back(static_cast<Char>(0xDC00 | (V & 0x3FF)));
  } else {
    Out.push_back(static_cast<Char>(V));
  }
  return Semi + 1 - Pos;
}

String DecodeXml(const String& Value, bool CharRefs) {
  String R;
  R.reserve(Value.size());
  size_t I = 0;
  while (I < Value.size()) {
    Char C = Value[I];
    if (C == u'&') {
      if (CharRefs && I + 1 < Value.size() && Value[I + 1] == u'#') {
        if (size_t N = MatchCharRef(Value, I, R)) {
          I += N;
          continue;
        }
      } else {
        Char E;
        if (size_t N = MatchEntity(Value, I, E)) {
          R.push_back(E);
          I += N;
          continue;
        }
      }
    }
    R.push_back(C);
    ++I;
  }
  return R;
}

}  // namespace

String EncodeXmlEntities(const String& Value) {
  String R;
  R.reserve(Value.size());
  for (Char C : Value) {
    if (const Char* E = EntityFor(C))
      R += E;
    else
      R.push_back(C);
  }
  return R;
}

String EncodeXmlCharRefs(const String& Value) {
  String R;
  R.reserve(Value.size());
  for (Char C : Value) {
    if (const Char* E = EntityFor(C)) {
      R += E;
    } else if (C == 9 || C == 10 || C == 13 || (C >= 0x20 && C <= 0x7F)) {
      R.push_back(C);
    } else {
      R += u"&#x";
      AppendHex(R, C, C <= 0xFF ? 2 : 4);
      R.push_back(u';');
    }
  }
  return R;
}

String DecodeXmlEntities(const String& Value) { return DecodeXml(Value, false); }
String DecodeXmlCharRefs(const String& Value) { return DecodeXml(Value, true); }

// ---------------------------------------------------------------------------
// Typed values

AnsiString TKelSimpleData::AnsiValue() const { return UnicodeToCodePage(FValue, 0); }
void TKelSimpleData::SetAnsiValue(const AnsiString& AValue) { FValue = CodePageToUnicode(AValue, 0); }

Int64 TKelSimpleData::IntValue() const {
  Int64 V;
  return TryTextToInt64(FValue, V) ? V : -1;
}

void TKelSimpleData::SetIntValue(Int64 AValue) { FValue = IntText(AValue); }

bool TKelSimpleData::BoolValue() const {
  Int64 V;
  if (TryTextToInt64(FValue, V)) return V != 0;
  if (SameTextAscii(FValue, u"true")) return true;
  return false;
}

void TKelSimpleData::SetBoolValue(bool AValue) { FValue = AValue ? u"-1" : u"0"; }

// Floats use the user's format settings, never the C library's locale,
// which another part of the process may have switched.
long double TKelSimpleData::FloatValue() const {
  double V = 0.0;
  return TryStrToFloat(FValue, V, FormatSettings) ? static_cast<long double>(V) : 0.0L;
}

void TKelSimpleData::SetFloatValue(long double AValue) {
  FValue = FloatToStr(static_cast<double>(AValue), FormatSettings);
}

String TKelSimpleXMLData::FullName() const { return FNameSpace.empty() ? FName : FNameSpace + u":" + FName; }

// ---------------------------------------------------------------------------
// Attributes

TKelSimpleXMLProp::TKelSimpleXMLProp(TKelSimpleXMLElem* AParent, const String& AName, const String& AValue)
    : FParent(AParent) {
  FName = AName;
  FValue = AValue;
}

TKelSimpleXML* TKelSimpleXMLProp::SimpleXML() const { return FParent ? FParent->SimpleXML() : nullptr; }

void TKelSimpleXMLProp::SetName(const String& Value) {
  // The attribute list finds names through the attributes themselves, so a
  // rename needs no bookkeeping beyond refusing an empty name.
  if (Value.empty() || Value == FName) return;
  FName = Value;
}

// ---------------------------------------------------------------------------
// Hashed item list

TKelSimpleItemHashedList::~TKelSimpleItemHashedList() { Clear(); }

String TKelSimpleItemHashedList::Key(const String& Name) const { return FCaseSensitive ? Name : AsciiUpperCase(Name); }

TKelSimpleItem* TKelSimpleItemHashedList::GetItem(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds (" + IntText(Index) + u")");
  return FItems[static_cast<size_t>(Index)];
}

Integer TKelSimpleItemHashedList::Add(TKelSimpleItem* Item) {
  FItems.push_back(Item);
  Integer Index = Count() - 1;
  if (FNameHash) FNameHash->emplace(Key(Item->Name()), Index);  // keeps an earlier entry
  return Index;
}

void TKelSimpleItemHashedList::Insert(Integer Index, TKelSimpleItem* Item) {
  if (Index < 0 || Index > Count()) throw EListError(u"List index out of bounds (" + IntText(Index) + u")");
  FItems.insert(FItems.begin() + Index, Item);
  InvalidateHash();
}

void TKelSimpleItemHashedList::Delete(Integer Index) {
  TKelSimpleItem* Item = GetItem(Index);
  FItems.erase(FItems.begin() + Index);
  InvalidateHash();
  delete Item;
}

TKelSimpleItem* TKelSimpleItemHashedList::Extract(TKelSimpleItem* Item) {
  Integer Index = IndexOf(Item);
  if (Index < 0) return nullptr;
  FItems.erase(FItems.begin() + Index);
  InvalidateHash();
  return Item;
}

void TKelSimpleItemHashedList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  TKelSimpleItem* Item = GetItem(CurIndex);
  GetItem(NewIndex);
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, Item);
  InvalidateHash();
}

void TKelSimpleItemHashedList::Clear() {
  InvalidateHash();
  // Detach first: a destructor that looks back into this list finds it empty.
  std::vector<TKelSimpleItem*> Old;
  Old.swap(FItems);
  for (TKelSimpleItem* Item : Old) delete Item;
}

Integer TKelSimpleItemHashedList::IndexOf(const TKelSimpleItem* Item) const {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : static_cast<Integer>(It - FItems.begin());
}

Integer TKelSimpleItemHashedList::IndexOfName(const String& Name) {
  if (!FNameHash) {
    FNameHash = std::make_unique<std::unordered_map<String, Integer>>();
    FNameHash->reserve(FItems.size());
    for (size_t I = 0; I < FItems.size(); ++I) FNameHash->emplace(Key(FItems[I]->Name()), static_cast<Integer>(I));
  }
  auto It = FNameHash->find(Key(Name));
  return It == FNameHash->end() ? -1 : It->second;
}

void TKelSimpleItemHashedList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  InvalidateHash();
}

// ---------------------------------------------------------------------------
// Elements

TKelSimpleXMLElem::~TKelSimpleXMLElem() {
  FSimpleXML = nullptr;
  FParent = nullptr;
  TKelSimpleXMLElem::Clear();
}

TKelSimpleXMLElems* TKelSimpleXMLElem::Items() {
  if (!FItems) FItems = std::make_unique<TKelSimpleXMLElems>(this);
  return FItems.get();
}

TKelSimpleXMLProps* TKelSimpleXMLElem::Properties() {
  if (!FProps) FProps = std::make_unique<TKelSimpleXMLProps>(this);
  return FProps.get();
}

Integer TKelSimpleXMLElem::ItemCount() const { return FItems ? FItems->Count() : 0; }
Integer TKelSimpleXMLElem::PropertyCount() const { return FProps ? FProps->Count() : 0; }

Integer TKelSimpleXMLElem::ChildsCount() const {
  Integer N = 1;
  if (FItems)
    for (TKelSimpleXMLElem* Child : *FItems) N += Child->ChildsCount();
  return N;
}

void TKelSimpleXMLElem::SetName(const String& Value) {
  if (Value.empty() || Value == FName) return;
  if (FParent && !FName.empty() && FParent->FItems) {
    TKelSimpleXMLElems* Siblings = FParent->FItems.get();
    Siblings->RemoveFromNamedView(this);
    FName = Value;
    Siblings->AddToNamedView(this, false);
    if (Siblings->FElems) Siblings->FElems->InvalidateHash();
    return;
  }
  FName = Value;
}

void TKelSimpleXMLElem::Clear() {
  if (FItems) FItems->Clear();
  if (FProps) FProps->Clear();
}

void TKelSimpleXMLElem::Assign(TKelSimpleXMLElem* Value) {
  Clear();
  if (!Value) return;
  SetName(Value->Name());
  FValue = Value->Value();
  if (Value->FProps)
    for (TKelSimpleXMLProp* P : *Value->FProps) Properties()->Add(P->Name(), P->Value());
  if (Value->FItems)
    for (TKelSimpleXMLElem* Child : *Value->FItems) {
      TKelSimpleXMLElem* Copy = Child->CreateSameKind();
      Copy->FName = Child->Name();
      Copy->FValue = Child->Value();
      Items()->Add(Copy);
      Copy->Assign(Child);
    }
}

Integer TKelSimpleXMLElem::GetChildIndex(const TKelSimpleXMLElem* AChild) const {
  return FItems ? FItems->IndexOf(AChild) : -1;
}

Integer TKelSimpleXMLElem::GetNamedIndex(const TKelSimpleXMLElem* AChild) {
  return Items()->GetNamedElems(AChild->Name())->IndexOf(AChild);
}

void TKelSimpleXMLElem::LoadFromString(const String& Value) {
  TMemoryStream Bytes;
  AnsiString A = UnicodeToCodePage(Value, 0);
  if (!A.empty()) Bytes.Write(A.data(), static_cast<Integer>(A.size()));
  Bytes.SetPosition(0);
  TKelAutoStream Text(&Bytes, false);
  Text.SkipBOM();
  LoadFromStringStream(&Text);
}

String TKelSimpleXMLElem::SaveToString() {
  TMemoryStream Bytes;
  {
    TKelAutoStream Text(&Bytes, false);
    SaveToStringStream(&Text, String());
    Text.Flush();
  }
  std::string Raw(static_cast<size_t>(Bytes.Size()), '\0');
  Bytes.SetPosition(0);
  if (!Raw.empty()) Bytes.Read(Raw.data(), static_cast<Integer>(Raw.size()));
  return CodePageToUnicode(Raw, 0);
}

namespace {

int HexDigitValue(Char C) {
  if (C >= u'0' && C <= u'9') return C - u'0';
  if (C >= u'A' && C <= u'F') return C - u'A' + 10;
  if (C >= u'a' && C <= u'f') return C - u'a' + 10;
  return -1;
}

String StreamToHex(TStream* Stream, Integer BufferSize) {
  if (BufferSize <= 0) BufferSize = 8192;
  static const char Hex[] = "0123456789ABCDEF";
  std::vector<Byte> Buf(static_cast<size_t>(BufferSize));
  String R;
  for (;;) {
    Integer N = Stream->Read(Buf.data(), BufferSize);
    if (N <= 0) break;
    for (Integer I = 0; I < N; ++I) {
      R.push_back(static_cast<Char>(Hex[Buf[static_cast<size_t>(I)] >> 4]));
      R.push_back(static_cast<Char>(Hex[Buf[static_cast<size_t>(I)] & 15]));
    }
  }
  return R;
}

}  // namespace

void TKelSimpleXMLElem::GetBinaryValue(TStream* Stream, Integer BufferSize) {
  if (BufferSize <= 0) BufferSize = 8192;
  Int64 Pos = Stream->Position();
  Int64 Need = Pos + static_cast<Int64>(FValue.size() / 2);
  if (Stream->Size() < Need) {
    Stream->SetSize(Need);
    Stream->SetPosition(Pos);
  }
  std::vector<Byte> Buf;
  Buf.reserve(static_cast<size_t>(BufferSize));
  for (size_t I = 0; I + 1 < FValue.size(); I += 2) {
    int Hi = HexDigitValue(FValue[I]);
    int Lo = HexDigitValue(FValue[I + 1]);
    Buf.push_back((Hi < 0 || Lo < 0) ? Byte(0) : static_cast<Byte>(Hi * 16 + Lo));
    if (Buf.size() == static_cast<size_t>(BufferSize)) {
      Stream->Write(Buf.data(), static_cast<Integer>(Buf.size()));
      Buf.clear();
    }
  }
  if (!Buf.empty()) Stream->Write(Buf.data(), static_cast<Integer>(Buf.size()));
}

// ---------------------------------------------------------------------------
// Declaration

String TKelSimpleXMLElemHeader::DefaultEncoding() const {
  Word CP = FSimpleXML ? FSimpleXML->CodePage() : Word(1200);
  if (CP == 0) CP = SystemAnsiCodePage();
  return CodePageToCharsetName(CP);
}

String TKelSimpleXMLElemHeader::Version() {
  TKelSimpleXMLProp* P = FProps ? FProps->Find(u"version") : nullptr;
  return P ? P->Value() : String(u"1.0");
}

void TKelSimpleXMLElemHeader::SetVersion(const String& Value) {
  if (TKelSimpleXMLProp* P = Properties()->Find(u"version"))
    P->SetValue(Value);
  else
    Properties()->Insert(0, u"version", Value);
}

String TKelSimpleXMLElemHeader::Encoding() {
  TKelSimpleXMLProp* P = FProps ? FProps->Find(u"encoding") : nullptr;
  if (P && !P->Value().empty()) return P->Value();
  return DefaultEncoding();
}

void TKelSimpleXMLElemHeader::SetEncoding(const String& Value) {
  if (TKelSimpleXMLProp* P = Properties()->Find(u"encoding"))
    P->SetValue(Value);
  else
    Properties()->Add(u"encoding", Value);
}

bool TKelSimpleXMLElemHeader::Standalone() {
  TKelSimpleXMLProp* P = FProps ? FProps->Find(u"standalone") : nullptr;
  return P && P->Value() == u"yes";
}

void TKelSimpleXMLElemHeader::SetStandalone(bool Value) {
  const Char* V = Value ? u"yes" : u"no";
  if (TKelSimpleXMLProp* P = Properties()->Find(u"standalone"))
    P->SetValue(V);
  else
    Properties()->Add(u"standalone", V);
}

// ---------------------------------------------------------------------------
// Name views

TKelSimpleXMLNamedElems::TKelSimpleXMLNamedElems(TKelSimpleXMLElems* AElems, const String& AName)
    : TKelSimpleItem(AName), FElems(AElems) {}

void TKelSimpleXMLNamedElems::SetName(const String&) { throw EKelSimpleXMLError(u"Property is read-only"); }

TKelSimpleXMLElemClassic* TKelSimpleXMLNamedElems::Add() { return FElems->Add(FName); }
TKelSimpleXMLElemClassic* TKelSimpleXMLNamedElems::Add(const String& Value) { return FElems->Add(FName, Value); }
TKelSimpleXMLElemClassic* TKelSimpleXMLNamedElems::Add(Int64 Value) { return FElems->Add(FName, Value); }
TKelSimpleXMLElemClassic* TKelSimpleXMLNamedElems::Add(bool Value) { return FElems->Add(FName, Value); }
TKelSimpleXMLElemClassic* TKelSimpleXMLNamedElems::Add(TStream* Value, Integer BufferSize) {
  return FElems->Add(FName, Value, BufferSize);
}
TKelSimpleXMLElemClassic* TKelSimpleXMLNamedElems::AddFirst() { return FElems->AddFirst(FName); }
TKelSimpleXMLElemComment* TKelSimpleXMLNamedElems::AddComment(const String& Value) {
  return FElems->AddComment(FName, Value);
}
TKelSimpleXMLElemCData* TKelSimpleXMLNamedElems::AddCData(const String& Value) {
  return FElems->AddCData(FName, Value);
}
TKelSimpleXMLElemText* TKelSimpleXMLNamedElems::AddText(const String& Value) { return FElems->AddText(FName, Value); }

TKelSimpleXMLElem* TKelSimpleXMLNamedElems::GetItem(Integer Index) {
  if (Index < 0) return nullptr;
  TKelSimpleXML* Doc = FElems->Parent() ? FElems->Parent()->SimpleXML() : nullptr;
  while (Index >= Count() && Doc && Doc->Options().Contains(sxoAutoCreate)) Add();
  return Index < Count() ? FItems[static_cast<size_t>(Index)] : nullptr;
}

Integer TKelSimpleXMLNamedElems::IndexOf(const TKelSimpleXMLElem* Value) const {
  auto It = std::find(FItems.begin(), FItems.end(), Value);
  return It == FItems.end() ? -1 : static_cast<Integer>(It - FItems.begin());
}

Integer TKelSimpleXMLNamedElems::IndexOf(const String& Value) {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I]->Value() == Value) return static_cast<Integer>(I);
  TKelSimpleXML* Doc = FElems->Parent() ? FElems->Parent()->SimpleXML() : nullptr;
  if (Doc && Doc->Options().Contains(sxoAutoCreate)) {
    Add(Value);
    return Count() - 1;
  }
  return -1;
}

void TKelSimpleXMLNamedElems::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) return;
  FElems->Remove(FItems[static_cast<size_t>(Index)]);
}

void TKelSimpleXMLNamedElems::Clear() {
  while (!FItems.empty()) FElems->Remove(FItems.back());
}

void TKelSimpleXMLNamedElems::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count() || CurIndex == NewIndex) return;
  TKelSimpleXMLElem* Item = FItems[static_cast<size_t>(CurIndex)];
  FElems->Move(FElems->IndexOf(Item), FElems->IndexOf(FItems[static_cast<size_t>(NewIndex)]));
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, Item);
}

// ---------------------------------------------------------------------------
// Child lists

TKelSimpleXMLElems::~TKelSimpleXMLElems() {
  // Views first: they point at children that the element list frees.
  FNamedElems.reset();
  FElems.reset();
}

void TKelSimpleXMLElems::CreateElems() {
  if (FElems) return;
  TKelSimpleXML* Doc = FParent ? FParent->SimpleXML() : nullptr;
  FElems = std::make_unique<TKelSimpleItemHashedList>(Doc && Doc->Options().Contains(sxoCaseSensitive));
}

Integer TKelSimpleXMLElems::Count() const { return FElems ? FElems->Count() : 0; }

TKelSimpleXMLElem* TKelSimpleXMLElems::GetItem(Integer Index) const {
  if (Index < 0) throw EListError(u"List index out of bounds (" + IntText(Index) + u")");
  if (!FElems || Index >= FElems->Count()) return nullptr;
  return static_cast<TKelSimpleXMLElem*>(FElems->GetItem(Index));
}

TKelSimpleXMLNamedElems* TKelSimpleXMLElems::FindNamedView(const String& Name) {
  if (!FNamedElems) return nullptr;
  Integer I = FNamedElems->IndexOfName(Name);
  return I < 0 ? nullptr : static_cast<TKelSimpleXMLNamedElems*>(FNamedElems->GetItem(I));
}

void TKelSimpleXMLElems::AddToNamedView(TKelSimpleXMLElem* Value, bool First) {
  if (TKelSimpleXMLNamedElems* View = FindNamedView(Value->Name())) {
    if (First)
      View->FItems.insert(View->FItems.begin(), Value);
    else
      View->FItems.push_back(Value);
  }
}

void TKelSimpleXMLElems::RemoveFromNamedView(TKelSimpleXMLElem* Value) {
  if (TKelSimpleXMLNamedElems* View = FindNamedView(Value->Name())) {
    auto It = std::find(View->FItems.begin(), View->FItems.end(), Value);
    if (It != View->FItems.end()) View->FItems.erase(It);
  }
}

void TKelSimpleXMLElems::DetachFromOldList(TKelSimpleXMLElem* Value) {
  TKelSimpleXMLElem* OldParent = Value->FParent;
  if (!OldParent || !OldParent->FItems) return;
  TKelSimpleXMLElems* Old = OldParent->FItems.get();
  Old->RemoveFromNamedView(Value);
  if (Old->FElems) Old->FElems->Extract(Value);
  Value->FParent = nullptr;
}

TKelSimpleXMLElem* TKelSimpleXMLElems::InsertNode(TKelSimpleXMLElem* Value, Integer Index, bool First) {
  if (!Value) return nullptr;
  CreateElems();
  DetachFromOldList(Value);
  if (Index < 0 || Index >= FElems->Count())
    FElems->Add(Value);
  else
    FElems->Insert(Index, Value);
  AddToNamedView(Value, First);
  Notify(Value, opInsert);
  return Value;
}

template <class T>
T* TKelSimpleXMLElems::AddNew(const String& Name, const String& Value) {
  T* Node = new T(FParent ? FParent->SimpleXML() : nullptr);
  Node->FName = Name;
  Node->FValue = Value;
  InsertNode(Node, -1, false);
  return Node;
}

TKelSimpleXMLElemClassic* TKelSimpleXMLElems::Add(const String& Name) {
  return AddNew<TKelSimpleXMLElemClassic>(Name, String());
}
TKelSimpleXMLElemClassic* TKelSimpleXMLElems::Add(const String& Name, const String& Value) {
  return AddNew<TKelSimpleXMLElemClassic>(Name, Value);
}
TKelSimpleXMLElemClassic* TKelSimpleXMLElems::Add(const String& Name, Int64 Value) {
  return AddNew<TKelSimpleXMLElemClassic>(Name, IntText(Value));
}
TKelSimpleXMLElemClassic* TKelSimpleXMLElems::Add(const String& Name, bool Value) {
  return AddNew<TKelSimpleXMLElemClassic>(Name, Value ? u"-1" : u"0");
}
TKelSimpleXMLElemClassic* TKelSimpleXMLElems::Add(const String& Name, TStream* Value, Integer BufferSize) {
  return AddNew<TKelSimpleXMLElemClassic>(Name, StreamToHex(Value, BufferSize));
}
TKelSimpleXMLElem* TKelSimpleXMLElems::Add(TKelSimpleXMLElem* Value) { return InsertNode(Value, -1, false); }

TKelSimpleXMLElemClassic* TKelSimpleXMLElems::AddFirst(const String& Name) {
  auto* Node = new TKelSimpleXMLElemClassic(FParent ? FParent->SimpleXML() : nullptr);
  Node->FName = Name;
  InsertNode(Node, 0, true);
  return Node;
}
TKelSimpleXMLElem* TKelSimpleXMLElems::AddFirst(TKelSimpleXMLElem* Value) { return InsertNode(Value, 0, true); }

TKelSimpleXMLElemComment* TKelSimpleXMLElems::AddComment(const String& Name, const String& Value) {
  return AddNew<TKelSimpleXMLElemComment>(Name, Value);
}
TKelSimpleXMLElemCData* TKelSimpleXMLElems::AddCData(const String& Name, const String& Value) {
  return AddNew<TKelSimpleXMLElemCData>(Name, Value);
}
TKelSimpleXMLElemText* TKelSimpleXMLElems::AddText(const String& Name, const String& Value) {
  return AddNew<TKelSimpleXMLElemText>(Name, Value);
}

TKelSimpleXMLElem* TKelSimpleXMLElems::Insert(TKelSimpleXMLElem* Value, Integer Index) {
  if (!Value) return nullptr;
  if (Index < 0) Index = 0;
  return InsertNode(Value, Index, false);
}

TKelSimpleXMLElemClassic* TKelSimpleXMLElems::Insert(const String& Name, Integer Index) {
  auto* Node = new TKelSimpleXMLElemClassic(FParent ? FParent->SimpleXML() : nullptr);
  Node->FName = Name;
  Insert(Node, Index);
  return Node;
}

void TKelSimpleXMLElems::Delete(Integer Index) {
  if (!FElems || Index < 0 || Index >= FElems->Count()) return;
  Notify(GetItem(Index), opRemove);
}

void TKelSimpleXMLElems::Delete(const String& Name) { Delete(IndexOf(Name)); }

Integer TKelSimpleXMLElems::Remove(TKelSimpleXMLElem* Value) {
  Integer Index = IndexOf(Value);
  if (Index >= 0) Notify(Value, opRemove);
  return Index;
}

void TKelSimpleXMLElems::Move(Integer CurIndex, Integer NewIndex) {
  if (FElems) FElems->Move(CurIndex, NewIndex);
}

Integer TKelSimpleXMLElems::IndexOf(const TKelSimpleXMLElem* Value) const {
  return FElems ? FElems->IndexOf(Value) : -1;
}

Integer TKelSimpleXMLElems::IndexOf(const String& Name) { return FElems ? FElems->IndexOfName(Name) : -1; }

TKelSimpleXMLElem* TKelSimpleXMLElems::FindOrCreate(const String& Name, const String& Default) {
  Integer I = IndexOf(Name);
  if (I >= 0) return GetItem(I);
  TKelSimpleXML* Doc = FParent ? FParent->SimpleXML() : nullptr;
  if (Doc && Doc->Options().Contains(sxoAutoCreate)) return Add(Name, Default);
  return nullptr;
}

TKelSimpleXMLElem* TKelSimpleXMLElems::GetItemNamed(const String& Name) { return FindOrCreate(Name, String()); }

String TKelSimpleXMLElems::Value(const String& Name, const String& Default) {
  TKelSimpleXMLElem* E = FindOrCreate(Name, Default);
  return E ? E->Value() : Default;
}

Int64 TKelSimpleXMLElems::IntValue(const String& Name, Int64 Default) {
  TKelSimpleXMLElem* E = FindOrCreate(Name, IntText(Default));
  return E ? E->IntValue() : Default;
}

bool TKelSimpleXMLElems::BoolValue(const String& Name, bool Default) {
  TKelSimpleXMLElem* E = FindOrCreate(Name, Default ? u"-1" : u"0");
  return (E && !E->Value().empty()) ? E->BoolValue() : Default;
}

long double TKelSimpleXMLElems::FloatValue(const String& Name, long double Default) {
  TKelSimpleXMLData Probe;
  Probe.SetFloatValue(Default);
  TKelSimpleXMLElem* E = FindOrCreate(Name, Probe.Value());
  return E ? E->FloatValue() : Default;
}

void TKelSimpleXMLElems::BinaryValue(const String& Name, TStream* Stream) {
  if (TKelSimpleXMLElem* E = GetItemNamed(Name)) E->GetBinaryValue(Stream, 0);
}

TKelSimpleXMLNamedElems* TKelSimpleXMLElems::GetNamedElems(const String& Name) {
  if (TKelSimpleXMLNamedElems* View = FindNamedView(Name)) return View;
  if (!FNamedElems) {
    TKelSimpleXML* Doc = FParent ? FParent->SimpleXML() : nullptr;
    FNamedElems = std::make_unique<TKelSimpleItemHashedList>(Doc && Doc->Options().Contains(sxoCaseSensitive));
  }
  auto* View = new TKelSimpleXMLNamedElems(this, Name);
  if (FElems)
    for (TKelSimpleItem* Item : FElems->Items())
      if (Item->Name() == Name) View->FItems.push_back(static_cast<TKelSimpleXMLElem*>(Item));
  FNamedElems->Add(View);
  return View;
}

void TKelSimpleXMLElems::QuickSort(Integer L, Integer R, const TKelSimpleXMLElemCompare& Compare) {
  // Hoare partition on the item vector; the comparer sees indexes, so the
  // pivot is re-located after every swap that moves it.
  std::vector<TKelSimpleItem*>& V = FElems->Items();
  while (L < R) {
    Integer I = L, J = R, P = L + (R - L) / 2;
    do {
      while (Compare(this, I, P) < 0) ++I;
      while (Compare(this, J, P) > 0) --J;
      if (I <= J) {
        if (I != J) {
          std::swap(V[static_cast<size_t>(I)], V[static_cast<size_t>(J)]);
          if (P == I)
            P = J;
          else if (P == J)
            P = I;
        }
        ++I;
        --J;
      }
    } while (I <= J);
    // Recurse into the smaller half to bound the depth.
    if (J - L < R - I) {
      if (L < J) QuickSort(L, J, Compare);
      L = I;
    } else {
      if (I < R) QuickSort(I, R, Compare);
      R = J;
    }
  }
}

void TKelSimpleXMLElems::Sort() {
  CustomSort([](TKelSimpleXMLElems* Elems, Integer A, Integer B) {
    const String& X = Elems->GetItem(A)->Name();
    const String& Y = Elems->GetItem(B)->Name();
    size_t N = std::min(X.size(), Y.size());
    for (size_t I = 0; I < N; ++I) {
      Char CX = AsciiUpper(X[I]), CY = AsciiUpper(Y[I]);
      if (CX != CY) return static_cast<Integer>(CX) - static_cast<Integer>(CY);
    }
    return static_cast<Integer>(X.size()) - static_cast<Integer>(Y.size());
  });
}

void TKelSimpleXMLElems::CustomSort(const TKelSimpleXMLElemCompare& AFunction) {
  if (!FElems || FElems->Count() < 2) return;
  QuickSort(0, FElems->Count() - 1, AFunction);
  FElems->InvalidateHash();
}

void TKelSimpleXMLElems::Clear() {
  if (FNamedElems) FNamedElems->Clear();
  if (FElems) FElems->Clear();
}

void TKelSimpleXMLElems::Notify(TKelSimpleXMLElem* Value, TOperation Operation) {
  if (!Value) return;
  if (Operation == opInsert) {
    Value->FParent = FParent;
    Value->FSimpleXML = FParent ? FParent->SimpleXML() : nullptr;
  } else if (Value->FParent == FParent && FElems) {
    RemoveFromNamedView(Value);
    Integer I = FElems->IndexOf(Value);
    if (I >= 0) FElems->Delete(I);
  }
}

// ---------------------------------------------------------------------------
// Attribute lists

TKelSimpleXMLProps::~TKelSimpleXMLProps() { Clear(); }

TKelSimpleXMLProp* TKelSimpleXMLProps::Add(const String& Name, const String& Value) {
  auto* P = new TKelSimpleXMLProp(FParent, Name, Value);
  FProperties.push_back(P);
  return P;
}
TKelSimpleXMLProp* TKelSimpleXMLProps::Add(const String& Name, Int64 Value) { return Add(Name, IntText(Value)); }
TKelSimpleXMLProp* TKelSimpleXMLProps::Add(const String& Name, bool Value) {
  return Add(Name, String(Value ? u"-1" : u"0"));
}
TKelSimpleXMLProp* TKelSimpleXMLProps::Add(const String& Name, const AnsiString& Value) {
  return Add(Name, CodePageToUnicode(Value, 0));
}

TKelSimpleXMLProp* TKelSimpleXMLProps::Insert(Integer Index, const String& Name, const String& Value) {
  if (Index < 0 || Index > Count()) throw EStringListError(u"List index out of bounds (" + IntText(Index) + u")");
  auto* P = new TKelSimpleXMLProp(FParent, Name, Value);
  FProperties.insert(FProperties.begin() + Index, P);
  return P;
}
TKelSimpleXMLProp* TKelSimpleXMLProps::Insert(Integer Index, const String& Name, Int64 Value) {
  return Insert(Index, Name, IntText(Value));
}
TKelSimpleXMLProp* TKelSimpleXMLProps::Insert(Integer Index, const String& Name, bool Value) {
  return Insert(Index, Name, String(Value ? u"-1" : u"0"));
}

void TKelSimpleXMLProps::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) return;
  TKelSimpleXMLProp* P = FProperties[static_cast<size_t>(Index)];
  FProperties.erase(FProperties.begin() + Index);
  delete P;
}

void TKelSimpleXMLProps::Delete(const String& Name) { Delete(IndexOfName(Name)); }

void TKelSimpleXMLProps::Clear() {
  std::vector<TKelSimpleXMLProp*> Old;
  Old.swap(FProperties);
  for (TKelSimpleXMLProp* P : Old) delete P;
}

TKelSimpleXMLProp* TKelSimpleXMLProps::GetItem(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EStringListError(u"List index out of bounds (" + IntText(Index) + u")");
  return FProperties[static_cast<size_t>(Index)];
}

Integer TKelSimpleXMLProps::IndexOfName(const String& Name) const {
  // Attribute names compare as string-list names do (TStringList.Values):
  // locale-aware and without regard to case, accented letters included, so
  // a hand-edited file whose attribute case differs still reads.
  for (size_t I = 0; I < FProperties.size(); ++I)
    if (AnsiSameText(FProperties[I]->Name(), Name)) return static_cast<Integer>(I);
  return -1;
}

TKelSimpleXMLProp* TKelSimpleXMLProps::FindOrCreate(const String& Name, const String& Default) {
  Integer I = IndexOfName(Name);
  if (I >= 0) return FProperties[static_cast<size_t>(I)];
  TKelSimpleXML* Doc = FParent ? FParent->SimpleXML() : nullptr;
  if (Doc && Doc->Options().Contains(sxoAutoCreate)) return Add(Name, Default);
  return nullptr;
}

TKelSimpleXMLProp* TKelSimpleXMLProps::Find(const String& Name) const {
  Integer I = IndexOfName(Name);
  return I < 0 ? nullptr : FProperties[static_cast<size_t>(I)];
}

TKelSimpleXMLProp* TKelSimpleXMLProps::GetItemNamed(const String& Name) { return FindOrCreate(Name, String()); }

String TKelSimpleXMLProps::Value(const String& Name, const String& Default) {
  TKelSimpleXMLProp* P = FindOrCreate(Name, Default);
  return P ? P->Value() : Default;
}

Int64 TKelSimpleXMLProps::IntValue(const String& Name, Int64 Default) {
  TKelSimpleXMLProp* P = FindOrCreate(Name, IntText(Default));
  return P ? P->IntValue() : Default;
}

bool TKelSimpleXMLProps::BoolValue(const String& Name, bool Default) {
  TKelSimpleXMLProp* P = FindOrCreate(Name, Default ? u"-1" : u"0");
  return (P && !P->Value().empty()) ? P->BoolValue() : Default;
}

long double TKelSimpleXMLProps::FloatValue(const String& Name, long double Default) {
  TKelSimpleXMLData Probe;
  Probe.SetFloatValue(Default);
  TKelSimpleXMLProp* P = FindOrCreate(Name, Probe.Value());
  return P ? P->FloatValue() : Default;
}

void TKelSimpleXMLProps::SortProperties(std::initializer_list<String> Order) {
  size_t Next = 0;
  for (const String& Name : Order) {
    Integer I = -1;
    for (size_t K = Next; K < FProperties.size(); ++K)
      if (AnsiSameText(FProperties[K]->Name(), Name)) {
        I = static_cast<Integer>(K);
        break;
      }
    if (I < 0) continue;
    TKelSimpleXMLProp* P = FProperties[static_cast<size_t>(I)];
    FProperties.erase(FProperties.begin() + I);
    FProperties.insert(FProperties.begin() + static_cast<std::ptrdiff_t>(Next), P);
    ++Next;
  }
}

// ---------------------------------------------------------------------------
// Prolog

TKelSimpleXMLElemsProlog::TKelSimpleXMLElemsProlog(TKelSimpleXML* ASimpleXML)
    : FElems(
          std::make_unique<TKelSimpleItemHashedList>(ASimpleXML && ASimpleXML->Options().Contains(sxoCaseSensitive))),
      FSimpleXML(ASimpleXML) {}

TKelSimpleXMLElem* TKelSimpleXMLElemsProlog::GetItem(Integer Index) const {
  return static_cast<TKelSimpleXMLElem*>(FElems->GetItem(Index));
}

TKelSimpleXMLElem* TKelSimpleXMLElemsProlog::Add(TKelSimpleXMLElem* Value) {
  Value->FSimpleXML = FSimpleXML;
  Value->FParent = nullptr;
  FElems->Add(Value);
  return Value;
}

TKelSimpleXMLElemHeader* TKelSimpleXMLElemsProlog::Header() const {
  for (TKelSimpleItem* Item : FElems->Items())
    if (auto* H = dynamic_cast<TKelSimpleXMLElemHeader*>(Item)) return H;
  return nullptr;
}

TKelSimpleXMLElemHeader* TKelSimpleXMLElemsProlog::FindHeader() {
  if (TKelSimpleXMLElemHeader* H = Header()) return H;
  auto* H = new TKelSimpleXMLElemHeader(FSimpleXML);
  Add(H);
  return H;
}

TKelSimpleXMLElemComment* TKelSimpleXMLElemsProlog::AddComment(const String& AValue) {
  FindHeader();
  auto* E = new TKelSimpleXMLElemComment(FSimpleXML);
  E->SetValue(AValue);
  Add(E);
  return E;
}

TKelSimpleXMLElemDocType* TKelSimpleXMLElemsProlog::AddDocType(const String& AValue) {
  FindHeader();
  auto* E = new TKelSimpleXMLElemDocType(FSimpleXML);
  E->SetValue(AValue);
  Add(E);
  return E;
}

TKelSimpleXMLElemSheet* TKelSimpleXMLElemsProlog::AddStyleSheet(const String& AType, const String& AHRef) {
  FindHeader();
  auto* E = new TKelSimpleXMLElemSheet(FSimpleXML);
  E->SetName(u"xml-stylesheet");
  E->Properties()->Add(u"type", AType);
  E->Properties()->Add(u"href", AHRef);
  Add(E);
  return E;
}

TKelSimpleXMLElemMSOApplication* TKelSimpleXMLElemsProlog::AddMSOApplication(const String& AProgId) {
  FindHeader();
  auto* E = new TKelSimpleXMLElemMSOApplication(FSimpleXML);
  E->SetName(u"mso-application");
  E->Properties()->Add(u"progid", AProgId);
  Add(E);
  return E;
}

// ---------------------------------------------------------------------------
// Document

TKelSimpleXML::TKelSimpleXML() {
  FRoot = new TKelSimpleXMLElemClassic(this);
  FProlog = new TKelSimpleXMLElemsProlog(this);
}

TKelSimpleXML::~TKelSimpleXML() {
  delete FRoot;
  delete FProlog;
}

namespace {
bool IsIndentText(const String& S) {
  if (S.empty()) return false;
  return std::all_of(S.begin(), S.end(), IsAsciiSpace);
}
}  // namespace

void TKelSimpleXML::SetIndentString(const String& Value) {
  if (IsIndentText(Value)) FIndentString = Value;
}

void TKelSimpleXML::SetBaseIndentString(const String& Value) {
  if (IsIndentText(Value)) FBaseIndentString = Value;
}

void TKelSimpleXML::SetFileName(const String& Value) {
  FFileName = Value;
  LoadFromFile(Value, seAuto, 0);
}

void TKelSimpleXML::EncodeValue(String& Value) {
  if (OnEncodeValue) OnEncodeValue(this, Value);
  if (FOptions.Contains(sxoAutoEncodeValue))
    Value = EncodeXmlCharRefs(Value);
  else if (FOptions.Contains(sxoAutoEncodeEntity))
    Value = EncodeXmlEntities(Value);
}

void TKelSimpleXML::DecodeValue(String& Value) {
  if (FOptions.Contains(sxoAutoEncodeValue))
    Value = DecodeXmlCharRefs(Value);
  else if (FOptions.Contains(sxoAutoEncodeEntity))
    Value = DecodeXmlEntities(Value);
  if (OnDecodeValue) OnDecodeValue(this, Value);
}

void TKelSimpleXML::DoLoadProgress(TKelStringStream* StringStream) {
  if (!OnLoadProgress) return;
  TStream* S = StringStream ? StringStream->Stream() : nullptr;
  Integer Pos = S ? static_cast<Integer>(std::min<Int64>(S->Position(), INT32_MAX)) : 0;
  Integer Total = S ? static_cast<Integer>(std::min<Int64>(S->Size(), INT32_MAX)) : 0;
  OnLoadProgress(this, Pos, Total);
}

void TKelSimpleXML::DoSaveProgress() {
  ++FSaveCurrent;
  if (OnSaveProgress) OnSaveProgress(this, FSaveCurrent, FSaveCount);
}

void TKelSimpleXML::DoTagParsed(const String& Name) {
  if (OnTagParsed) OnTagParsed(this, Name);
}

void TKelSimpleXML::DoValueParsed(const String& Name, const String& Value) {
  if (OnValueParsed) OnValueParsed(this, Name, Value);
}
