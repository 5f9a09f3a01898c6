#include "rtl/StringList.h"

#include <algorithm>

#include "rtl/SysUtils.h"
#include "rtl/UpdateGuard.h"

namespace {

const String kDefaultLineBreak = u"\r\n";

const Char* const kSortedListError = u"Operation not allowed on sorted list";
const Char* const kDuplicateString = u"String list does not allow duplicates";

// DelimitedText scans a zero-terminated text: the end of the text (and an
// embedded U+0000) reads as 0, so an embedded U+0000 ends the scan.
Char At(const String& S, std::size_t I) { return I < S.size() ? S[I] : u'\0'; }

bool IsBlank(Char C) { return C >= 1 && C <= u' '; }

}  // namespace

// ---------------------------------------------------------------------------
// TStrings

TStrings::TStrings() : FLineBreak(kDefaultLineBreak), FDefaultEncoding(TEncoding::Default()) {}

TStrings::~TStrings() = default;

void TStrings::Error(const String& Msg, Integer Data) const {
  String Text = Msg;
  auto P = Text.find(u"%d");
  if (P != String::npos) Text.replace(P, 2, IntToStr(Data));
  throw EStringListError(Text);
}

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::PutObject(Integer, TObject*) {}

void TStrings::Put(Integer Index, const String& S) {
  TObject* TempObject = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, TempObject);
}

void TStrings::InsertObject(Integer Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

Integer TStrings::Add(const String& S) {
  Integer Result = GetCount();
  Insert(Result, S);
  return Result;
}

Integer TStrings::AddObject(const String& S, TObject* AObject) {
  Integer Result = Add(S);
  PutObject(Result, AObject);
  return Result;
}

TStrings& TStrings::AddPair(const String& Name, const String& Value) {
  Add(Name + FNameValueSeparator + Value);
  return *this;
}

TStrings& TStrings::AddPair(const String& Name, const String& Value, TObject* AObject) {
  AddObject(Name + FNameValueSeparator + Value, AObject);
  return *this;
}

void TStrings::AddStrings(const TStrings* Strings) {
  if (Strings == nullptr) return;
  TUpdateGuard Update(*this);
  // Count first: adding a list to itself copies it once.
  Integer N = Strings->GetCount();
  for (Integer I = 0; I < N; ++I) AddObject(Strings->Get(I), Strings->GetObject(I));
}

void TStrings::AddStrings(const std::vector<String>& Strings) {
  TUpdateGuard Update(*this);
  for (const String& S : Strings) Add(S);
}

void TStrings::Assign(const TStrings* Source) {
  if (Source == nullptr || Source == this) return;
  TUpdateGuard Update(*this);
  Clear();
  SetDefaultEncoding(Source->DefaultEncoding());
  SetEncoding(Source->Encoding());
  FNameValueSeparator = Source->FNameValueSeparator;
  FQuoteChar = Source->FQuoteChar;
  FDelimiter = Source->FDelimiter;
  FLineBreak = Source->FLineBreak;
  FStrictDelimiter = Source->FStrictDelimiter;
  FTrailingLineBreak = Source->FTrailingLineBreak;
  FWriteBOM = Source->FWriteBOM;
  FUseLocale = Source->FUseLocale;
  AddStrings(Source);
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  TUpdateGuard Update(*this);
  TObject* TempObject = GetObject(Index1);
  String TempString = Get(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, TempString);
  PutObject(Index2, TempObject);
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  TUpdateGuard Update(*this);
  String TempString = Get(CurIndex);
  TObject* TempObject = GetObject(CurIndex);
  PutObject(CurIndex, nullptr);
  Delete(CurIndex);
  InsertObject(NewIndex, TempString, TempObject);
}

Integer TStrings::IndexOf(const String& S) const {
  Integer N = GetCount();
  for (Integer I = 0; I < N; ++I)
    if (CompareStrings(Get(I), S) == 0) return I;
  return -1;
}

Integer TStrings::IndexOfName(const String& Name) const {
  Integer N = GetCount();
  for (Integer I = 0; I < N; ++I) {
    String S = Get(I);
    auto P = S.find(FNameValueSeparator);
    if (P != String::npos && CompareStrings(S.substr(0, P), Name) == 0) return I;
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* AObject) const {
  Integer N = GetCount();
  for (Integer I = 0; I < N; ++I)
    if (GetObject(I) == AObject) return I;
  return -1;
}

bool TStrings::Equals(const TStrings* Strings) const {
  if (Strings == nullptr) return false;
  Integer N = GetCount();
  if (N != Strings->GetCount()) return false;
  for (Integer I = 0; I < N; ++I)
    if (Get(I) != Strings->Get(I)) return false;
  return true;
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount <= 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

std::vector<String> TStrings::ToStringArray() const {
  std::vector<String> Result;
  Integer N = GetCount();
  Result.reserve(N);
  for (Integer I = 0; I < N; ++I) Result.push_back(Get(I));
  return Result;
}

String TStrings::Names(Integer Index) const {
  String S = Get(Index);
  auto P = S.find(FNameValueSeparator);
  return P == String::npos ? String() : S.substr(0, P);
}

String TStrings::Values(const String& Name) const {
  Integer I = IndexOfName(Name);
  if (I < 0) return String();
  return ValueFromIndex(I);
}

void TStrings::SetValues(const String& Name, const String& Value) {
  Integer I = IndexOfName(Name);
  if (!Value.empty()) {
    if (I < 0) I = Add(String());
    Put(I, Name + FNameValueSeparator + Value);
  } else if (I >= 0) {
    Delete(I);
  }
}

String TStrings::ValueFromIndex(Integer Index) const {
  if (Index < 0) return String();
  String S = Get(Index);
  auto P = S.find(FNameValueSeparator);
  return P == String::npos ? String() : S.substr(P + 1);
}

void TStrings::SetValueFromIndex(Integer Index, const String& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(String());
    Put(Index, Names(Index) + FNameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

String TStrings::Text() const {
  Integer N = GetCount();
  String Result;
  for (Integer I = 0; I < N; ++I) {
    Result += Get(I);
    if (I < N - 1 || FTrailingLineBreak) Result += FLineBreak;
  }
  return Result;
}

void TStrings::SetText(const String& Value) {
  TUpdateGuard Update(*this);
  Clear();
  std::size_t P = 0;
  const std::size_t Len = Value.size();
  if (FLineBreak == kDefaultLineBreak || FLineBreak.empty()) {
    while (P < Len) {
      std::size_t Start = P;
      while (P < Len && Value[P] != u'\r' && Value[P] != u'\n') ++P;
      Add(Value.substr(Start, P - Start));
      if (P < Len && Value[P] == u'\r') ++P;
      if (P < Len && Value[P] == u'\n') ++P;
    }
  } else {
    while (P < Len) {
      std::size_t LB = Value.find(FLineBreak, P);
      if (LB == String::npos) {
        Add(Value.substr(P));
        break;
      }
      Add(Value.substr(P, LB - P));
      P = LB + FLineBreak.size();
    }
  }
}

String TStrings::CommaText() const { return FormatDelimited(u',', u'"', false); }

void TStrings::SetCommaText(const String& Value) { ParseDelimited(Value, u',', u'"', false); }

String TStrings::DelimitedText() const { return FormatDelimited(FDelimiter, FQuoteChar, FStrictDelimiter); }

void TStrings::SetDelimitedText(const String& Value) {
  ParseDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

String TStrings::FormatDelimited(Char Delim, Char Quote, bool Strict) const {
  Integer N = GetCount();
  if (N == 1 && Get(0).empty()) return String(2, Quote);
  String Result;
  for (Integer I = 0; I < N; ++I) {
    String S = Get(I);
    // Quoted when the zero-terminated scan meets the quote character, the
    // delimiter or (unless Strict) a blank or control character.
    std::size_t P = 0;
    for (;; ++P) {
      Char C = At(S, P);
      if (C == 0 || C == Quote || C == Delim || (!Strict && IsBlank(C))) break;
    }
    if (At(S, P) != 0) S = AnsiQuotedStr(S, Quote);
    if (I > 0) Result += Delim;
    Result += S;
  }
  return Result;
}

void TStrings::ParseDelimited(const String& Value, Char Delim, Char Quote, bool Strict) {
  TUpdateGuard Update(*this);
  Clear();
  std::size_t P = 0;
  if (!Strict)
    while (IsBlank(At(Value, P))) ++P;
  while (At(Value, P) != 0) {
    String S;
    if (At(Value, P) == Quote) {
      // A quoted item: doubled quotes stand for one; an unclosed quote runs
      // to the end of the text. What follows the closing quote up to the
      // next separator is an item of its own.
      ++P;
      for (;;) {
        Char C = At(Value, P);
        if (C == 0) break;
        if (C == Quote) {
          if (At(Value, P + 1) == Quote) {
            S += C;
            P += 2;
            continue;
          }
          ++P;
          break;
        }
        S += C;
        ++P;
      }
    } else {
      std::size_t P1 = P;
      for (;;) {
        Char C = At(Value, P);
        bool Part = Strict ? C != 0 : C > u' ';
        if (!Part || C == Delim) break;
        ++P;
      }
      S = Value.substr(P1, P - P1);
    }
    Add(S);
    if (!Strict)
      while (IsBlank(At(Value, P))) ++P;
    if (At(Value, P) == Delim) {
      if (At(Value, P + 1) == 0) Add(String());
      do {
        ++P;
      } while (!Strict && IsBlank(At(Value, P)));
    }
  }
}

void TStrings::SetEncoding(TEncoding* Value) { FEncoding.Set(Value); }

void TStrings::SetDefaultEncoding(TEncoding* Value) {
  FDefaultEncoding.Set(Value != nullptr ? Value : TEncoding::Default());
}

void TStrings::LoadFromFile(const String& FileName, TEncoding* AEncoding) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&Stream, AEncoding);
}

void TStrings::LoadFromStream(TStream* Stream, TEncoding* AEncoding) {
  TUpdateGuard Update(*this);
  // Read to the end, whatever Size said (a stream may not know its size).
  TBytes Buffer;
  Int64 Expected = Stream->Size() - Stream->Position();
  std::size_t Used = 0;
  Buffer.resize(static_cast<std::size_t>(std::max<Int64>(Expected, 0)) + 1);
  for (;;) {
    if (Used == Buffer.size()) Buffer.resize(Buffer.size() + std::max<std::size_t>(Buffer.size() / 2, 65536));
    std::size_t Room = std::min<std::size_t>(Buffer.size() - Used, 0x40000000);
    Integer N = Stream->Read(Buffer.data() + Used, static_cast<Integer>(Room));
    if (N <= 0) break;
    Used += static_cast<std::size_t>(N);
  }
  Buffer.resize(Used);
  Integer Skip = TEncoding::GetBufferEncoding(Buffer, AEncoding, DefaultEncoding());
  SetEncoding(AEncoding);
  SetText(AEncoding->GetString(Buffer, Skip, static_cast<Integer>(Buffer.size()) - Skip));
}

void TStrings::SaveToFile(const String& FileName, TEncoding* AEncoding) const {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(&Stream, AEncoding);
}

void TStrings::SaveToStream(TStream* Stream, TEncoding* AEncoding) const {
  if (AEncoding == nullptr) AEncoding = Encoding() != nullptr ? Encoding() : DefaultEncoding();
  TBytes Buffer = AEncoding->GetBytes(Text());
  if (FWriteBOM) {
    TBytes Preamble = AEncoding->GetPreamble();
    if (!Preamble.empty()) Stream->WriteBuffer(Preamble.data(), static_cast<Int64>(Preamble.size()));
  }
  if (!Buffer.empty()) Stream->WriteBuffer(Buffer.data(), static_cast<Int64>(Buffer.size()));
}

void TStrings::SetUpdateState(bool) {}

Integer TStrings::CompareStrings(const String& S1, const String& S2) const { return AnsiCompareText(S1, S2); }

// ---------------------------------------------------------------------------
// TStringList

TStringList::TStringList(Char AQuoteChar, Char ADelimiter) {
  SetQuoteChar(AQuoteChar);
  SetDelimiter(ADelimiter);
}

TStringList::TStringList(TDuplicates ADuplicates, bool ASorted, bool ACaseSensitive)
    : FDuplicates(ADuplicates), FSorted(ASorted), FCaseSensitive(ACaseSensitive) {}

TStringList::~TStringList() {
  FOnChange = nullptr;
  FOnChanging = nullptr;
  if (FOwnsObjects)
    for (auto& Item : FList) delete Item.FObject;
  FList.clear();
}

void TStringList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(u"List index out of bounds (%d)", Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && FOnChange) FOnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && FOnChanging) FOnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

Integer TStringList::CompareStrings(const String& S1, const String& S2) const {
  if (UseLocale()) return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
  return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

Integer TStringList::Add(const String& S) { return AddObject(S, nullptr); }

Integer TStringList::AddObject(const String& S, TObject* AObject) {
  Integer Result;
  if (!FSorted) {
    Result = GetCount();
  } else if (Find(S, Result)) {
    switch (FDuplicates) {
      case dupIgnore:
        return Result;
      case dupError:
        Error(kDuplicateString, 0);
      case dupAccept:
        break;
    }
  }
  InsertItem(Result, S, AObject);
  return Result;
}

void TStringList::Assign(const TStrings* Source) {
  if (Source == this) return;
  // The sort settings first, so that the strings go in as the source has them.
  if (auto* List = dynamic_cast<const TStringList*>(Source)) {
    TUpdateGuard Update(*this);
    Clear();
    FSorted = false;
    FCaseSensitive = List->FCaseSensitive;
    FDuplicates = List->FDuplicates;
    TStrings::Assign(Source);
    FSorted = List->FSorted;
    return;
  }
  TStrings::Assign(Source);
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem> Old;
  Old.swap(FList);
  if (FOwnsObjects)
    for (auto& Item : Old) delete Item.FObject;
  Changed();
}

void TStringList::Delete(Integer Index) {
  CheckIndex(Index);
  Changing();
  TObject* Obj = FList[Index].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) delete Obj;
  Changed();
}

void TStringList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  ExchangeItems(Index1, Index2);
  Changed();
}

void TStringList::ExchangeItems(Integer Index1, Integer Index2) { std::swap(FList[Index1], FList[Index2]); }

void TStringList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  if (FSorted) Error(kSortedListError, 0);
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  const TUpdateGuard<TStringList> Update(*this);
  TStringItem Item = std::move(FList[CurIndex]);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, std::move(Item));
}

bool TStringList::Find(const String& S, Integer& Index) const {
  bool Result = false;
  Integer L = 0;
  Integer H = GetCount() - 1;
  while (L <= H) {
    Integer I = L + (H - L) / 2;
    Integer C = CompareStrings(FList[I].FString, S);
    if (C < 0) {
      L = I + 1;
    } else {
      H = I - 1;
      if (C == 0) {
        Result = true;
        if (FDuplicates != dupAccept) L = I;
      }
    }
  }
  Index = L;
  return Result;
}

Integer TStringList::IndexOf(const String& S) const {
  if (!FSorted) {
    Integer N = GetCount();
    for (Integer I = 0; I < N; ++I)
      if (CompareStrings(FList[I].FString, S) == 0) return I;
    return -1;
  }
  Integer Result;
  return Find(S, Result) ? Result : -1;
}

void TStringList::Insert(Integer Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(Integer Index, const String& S, TObject* AObject) {
  if (FSorted) Error(kSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(u"List index out of bounds (%d)", Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(Integer Index, const String& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Sort() {
  if (FSorted || FList.size() < 2) return;
  Changing();
  std::stable_sort(FList.begin(), FList.end(), [this](const TStringItem& A, const TStringItem& B) {
    return CompareStrings(A.FString, B.FString) < 0;
  });
  Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || FList.size() < 2 || !Compare) return;
  Changing();
  QuickSort(0, GetCount() - 1, Compare);
  Changed();
}

// A quicksort whose indexes stay within L..R even for a comparison that is
// not a consistent order (a user's comparison may be anything).
void TStringList::QuickSort(Integer L, Integer R, const TStringListSortCompare& Compare) {
  Integer I;
  do {
    I = L;
    Integer J = R;
    Integer P = L + (R - L) / 2;
    do {
      while (I < R && Compare(this, I, P) < 0) ++I;
      while (J > L && Compare(this, J, P) > 0) --J;
      if (I <= J) {
        if (I != J) ExchangeItems(I, J);
        if (P == I)
          P = J;
        else if (P == J)
          P = I;
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J) QuickSort(L, J, Compare);
    L = I;
  } while (I < R);
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) {
    SetSorted(false);
    SetSorted(true);
  }
}

String TStringList::Get(Integer Index) const {
  CheckIndex(Index);
  return FList[Index].FString;
}

TObject* TStringList::GetObject(Integer Index) const {
  CheckIndex(Index);
  return FList[Index].FObject;
}

void TStringList::Put(Integer Index, const String& S) {
  if (FSorted) Error(kSortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList[Index].FString = S;
  Changed();
}

void TStringList::PutObject(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[Index].FObject = AObject;
  Changed();
}

void TStringList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < GetCount()) Error(u"List capacity out of bounds (%d)", NewCapacity);
  if (NewCapacity > GetCapacity()) FList.reserve(NewCapacity);
}
