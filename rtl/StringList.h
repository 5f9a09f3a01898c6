#pragma once
// Lists of strings: TStrings (the abstract base that controls' item lists
// derive from) and TStringList (the one that stores its strings).
//
// Semantics:
// - Every string may carry a TObject* (Objects); a TStringList with
//   OwnsObjects deletes them on Delete, Clear and destruction (not on
//   PutObject, nor on Assign, which copies the pointers).
// - Names/Values: a line "name=value" (NameValueSeparator '='); lookups by
//   name follow CaseSensitive (default false); the first line with the name
//   wins; SetValues(name, "") deletes the line.
// - Sorted lists keep their order through a binary search (Find); Insert,
//   Put and Move (so SetStrings and SetValues too) raise EStringListError
//   "Operation not allowed on sorted list"; Duplicates (dupIgnore, dupAccept, dupError "String list does not
//   allow duplicates") applies to sorted lists only.
// - Comparisons use SysUtils' AnsiCompareText / AnsiCompareStr (locale-style
//   collation), or CompareText / CompareStr when UseLocale is false.
// - Text joins the lines with LineBreak (CR LF on every platform), a line
//   break after the last one too unless TrailingLineBreak is false. Setting
//   Text with the default LineBreak splits at CR LF, LF or CR; with another
//   LineBreak at that text only.
// - CommaText / DelimitedText: quoting as settings files hold it (QuoteChar '"', Delimiter
//   ',', StrictDelimiter false: blanks and control characters also separate,
//   and quote an item when writing).
// - Files and streams: loading detects a UTF-8, UTF-16LE or UTF-16BE
//   byte-order mark and otherwise decodes with DefaultEncoding (ANSI),
//   unless an encoding is given; the encoding found is kept in Encoding()
//   and used by a later save that names none. Saving writes the encoding's
//   preamble when WriteBOM (the default).
// - Index errors raise EStringListError "List index out of bounds (%d)".
// - OnChanging/OnChange fire around every change while no BeginUpdate is
//   pending; BeginUpdate fires OnChanging once, the matching EndUpdate
//   OnChange once.
#include <functional>
#include <iterator>
#include <vector>

#include "rtl/Encoding.h"
#include "rtl/Lists.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"

class TStringList;

class TStrings : public TObject {
public:
  TStrings();
  ~TStrings() override;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  // ----- what a descendant stores
  virtual String Get(Integer Index) const = 0;
  virtual Integer GetCount() const = 0;
  virtual void Clear() = 0;
  virtual void Delete(Integer Index) = 0;
  virtual void Insert(Integer Index, const String& S) = 0;
  // The base has no objects (nullptr) and ignores PutObject.
  virtual TObject* GetObject(Integer Index) const;
  virtual void PutObject(Integer Index, TObject* AObject);
  // The base deletes and inserts again, keeping the object.
  virtual void Put(Integer Index, const String& S);
  virtual void InsertObject(Integer Index, const String& S, TObject* AObject);
  virtual Integer GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(Integer) {}

  // ----- operations
  // Returns the index of the new string (a sorted list: where it went, or,
  // with dupIgnore, where the equal string already is).
  virtual Integer Add(const String& S);
  virtual Integer AddObject(const String& S, TObject* AObject);
  void Append(const String& S) { Add(S); }
  // Adds "Name=Value" (with NameValueSeparator); returns this list.
  TStrings& AddPair(const String& Name, const String& Value);
  TStrings& AddPair(const String& Name, const String& Value, TObject* AObject);
  virtual void AddStrings(const TStrings* Strings);
  void AddStrings(const TStrings& Strings) { AddStrings(&Strings); }
  void AddStrings(const std::vector<String>& Strings);
  // Replaces the content and the text settings (separators, line break,
  // encodings, options) by those of Source.
  virtual void Assign(const TStrings* Source);
  void Assign(const TStrings& Source) { Assign(&Source); }
  virtual void Exchange(Integer Index1, Integer Index2);
  virtual void Move(Integer CurIndex, Integer NewIndex);
  virtual Integer IndexOf(const String& S) const;
  virtual Integer IndexOfName(const String& Name) const;
  Integer IndexOfObject(TObject* AObject) const;
  bool Contains(const String& S) const { return IndexOf(S) >= 0; }
  // Same count and ordinally equal strings.
  bool Equals(const TStrings* Strings) const;
  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return FUpdateCount; }
  std::vector<String> ToStringArray() const;

  // ----- properties
  Integer Count() const { return GetCount(); }
  Integer Capacity() const { return GetCapacity(); }
  String Strings(Integer Index) const { return Get(Index); }
  void SetStrings(Integer Index, const String& S) { Put(Index, S); }
  String operator[](Integer Index) const { return Get(Index); }
  TObject* Objects(Integer Index) const { return GetObject(Index); }
  void SetObjects(Integer Index, TObject* AObject) { PutObject(Index, AObject); }
  // The text before the first NameValueSeparator; "" for a line without one.
  String Names(Integer Index) const;
  String KeyNames(Integer Index) const { return Names(Index); }
  // The text after "Name=" of the first line named Name; "" when none.
  String Values(const String& Name) const;
  // Replaces or appends "Name=Value"; an empty Value deletes the line.
  void SetValues(const String& Name, const String& Value);
  // The text after the first separator of line Index; "" without one.
  String ValueFromIndex(Integer Index) const;
  // An empty Value deletes the line; Index -1 appends a line.
  void SetValueFromIndex(Integer Index, const String& Value);

  virtual String Text() const;
  virtual void SetText(const String& Value);
  String CommaText() const;
  void SetCommaText(const String& Value);
  String DelimitedText() const;
  void SetDelimitedText(const String& Value);

  Char Delimiter() const { return FDelimiter; }
  void SetDelimiter(Char Value) { FDelimiter = Value; }
  Char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(Char Value) { FQuoteChar = Value; }
  Char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(Char Value) { FNameValueSeparator = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }
  const String& LineBreak() const { return FLineBreak; }
  void SetLineBreak(const String& Value) { FLineBreak = Value; }
  bool TrailingLineBreak() const { return FTrailingLineBreak; }
  void SetTrailingLineBreak(bool Value) { FTrailingLineBreak = Value; }
  bool WriteBOM() const { return FWriteBOM; }
  void SetWriteBOM(bool Value) { FWriteBOM = Value; }
  bool UseLocale() const { return FUseLocale; }
  void SetUseLocale(bool Value) { FUseLocale = Value; }

  // The encoding of the last load (nullptr before any).
  TEncoding* Encoding() const { return FEncoding.Get(); }
  TEncoding* DefaultEncoding() const { return FDefaultEncoding.Get(); }
  // A non-standard encoding is cloned; nullptr means TEncoding::Default().
  void SetDefaultEncoding(TEncoding* Value);

  // ----- files and streams
  virtual void LoadFromFile(const String& FileName, TEncoding* AEncoding = nullptr);
  // Reads from the stream's position to its end.
  virtual void LoadFromStream(TStream* Stream, TEncoding* AEncoding = nullptr);
  void LoadFromStream(TStream& Stream, TEncoding* AEncoding = nullptr) { LoadFromStream(&Stream, AEncoding); }
  // Creates (or empties) the file.
  virtual void SaveToFile(const String& FileName, TEncoding* AEncoding = nullptr) const;
  // Writes at the stream's position: the preamble (WriteBOM), then Text.
  virtual void SaveToStream(TStream* Stream, TEncoding* AEncoding = nullptr) const;
  void SaveToStream(TStream& Stream, TEncoding* AEncoding = nullptr) const { SaveToStream(&Stream, AEncoding); }

  // ----- range-for over the strings (by value)
  class const_iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = String;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = String;
    const_iterator(const TStrings* AList, Integer AIndex) : FList(AList), FIndex(AIndex) {}
    String operator*() const { return FList->Get(FIndex); }
    const_iterator& operator++() {
      ++FIndex;
      return *this;
    }
    bool operator==(const const_iterator& Other) const { return FIndex == Other.FIndex; }
    bool operator!=(const const_iterator& Other) const { return FIndex != Other.FIndex; }

  private:
    const TStrings* FList;
    Integer FIndex;
  };
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, GetCount()); }

protected:
  // Called with true by the first BeginUpdate, false by the last EndUpdate.
  virtual void SetUpdateState(bool Updating);
  // Negative, zero or positive; the base uses AnsiCompareText.
  virtual Integer CompareStrings(const String& S1, const String& S2) const;
  // Raises EStringListError with Msg, its "%d" replaced by Data.
  [[noreturn]] void Error(const String& Msg, Integer Data) const;
  void SetEncoding(TEncoding* Value);

private:
  String FormatDelimited(Char Delim, Char Quote, bool Strict) const;
  void ParseDelimited(const String& Value, Char Delim, Char Quote, bool Strict);

  Integer FUpdateCount = 0;
  Char FDelimiter = u',';
  Char FQuoteChar = u'"';
  Char FNameValueSeparator = u'=';
  bool FStrictDelimiter = false;
  bool FTrailingLineBreak = true;
  bool FWriteBOM = true;
  bool FUseLocale = true;
  String FLineBreak;
  THeldEncoding FEncoding;
  THeldEncoding FDefaultEncoding;
};

// Index-based comparison for TStringList::CustomSort.
using TStringListSortCompare = std::function<Integer(TStringList* List, Integer Index1, Integer Index2)>;

class TStringList : public TStrings {
public:
  TStringList() = default;
  explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  TStringList(Char AQuoteChar, Char ADelimiter);
  TStringList(TDuplicates ADuplicates, bool ASorted, bool ACaseSensitive);
  ~TStringList() override;

  Integer Add(const String& S) override;
  Integer AddObject(const String& S, TObject* AObject) override;
  // Also takes CaseSensitive, Sorted and Duplicates of a TStringList source.
  void Assign(const TStrings* Source) override;
  using TStrings::Assign;
  void Clear() override;
  void Delete(Integer Index) override;
  void Exchange(Integer Index1, Integer Index2) override;
  void Move(Integer CurIndex, Integer NewIndex) override;
  // Binary search (meaningful on a sorted list): true when found, Index at
  // the string (the first equal one with dupAccept) or where it would go.
  virtual bool Find(const String& S, Integer& Index) const;
  Integer IndexOf(const String& S) const override;
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  // Sorts with CompareStrings (equal strings keep their order); nothing on
  // a list that is already Sorted.
  virtual void Sort();
  // Sorts with Compare (a quicksort: equal strings may change places);
  // nothing on a Sorted list.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool Sorted() const { return FSorted; }
  // Setting true sorts the list.
  void SetSorted(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  // Re-sorts a sorted list.
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
  const TNotifyEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(TNotifyEvent Value) { FOnChanging = std::move(Value); }

  String Get(Integer Index) const override;
  Integer GetCount() const override { return static_cast<Integer>(FList.size()); }
  TObject* GetObject(Integer Index) const override;
  // Sorted lists raise EStringListError.
  void Put(Integer Index, const String& S) override;
  void PutObject(Integer Index, TObject* AObject) override;
  Integer GetCapacity() const override { return static_cast<Integer>(FList.capacity()); }
  void SetCapacity(Integer NewCapacity) override;

protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  Integer CompareStrings(const String& S1, const String& S2) const override;
  virtual void InsertItem(Integer Index, const String& S, TObject* AObject);
  void ExchangeItems(Integer Index1, Integer Index2);

private:
  struct TStringItem {
    String FString;
    TObject* FObject;
  };
  void CheckIndex(Integer Index) const;
  void QuickSort(Integer L, Integer R, const TStringListSortCompare& Compare);

  std::vector<TStringItem> FList;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};
