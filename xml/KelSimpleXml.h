#pragma once
// XML documents in memory: a document owns a prolog and one root element;
// every element owns its ordered children and attributes. Nodes are handed
// out as raw pointers; the list (or document) that holds a node owns it.
#include <functional>
#include <initializer_list>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Lists.h"
#include "rtl/Set.h"
#include "rtl/Types.h"
#include "xml/KelStreams.h"

class TStream;
class TKelSimpleXML;
class TKelSimpleXMLElem;
class TKelSimpleXMLElems;
class TKelSimpleXMLProps;

// A parse error also carries, as fields, where the text went wrong: the
// 1-based code-point offset its message names, and that code point's line
// (lines end at LF) and column. All three are 0 for an error with no place
// in a text.
class EKelSimpleXMLError : public EKelError {
public:
  using EKelError::EKelError;
  EKelSimpleXMLError(String Message, Int64 AOffset, Int64 ALine, Int64 AColumn)
      : EKelError(std::move(Message)), FOffset(AOffset), FLine(ALine), FColumn(AColumn) {}
  Int64 Offset() const noexcept { return FOffset; }
  Int64 Line() const noexcept { return FLine; }
  Int64 Column() const noexcept { return FColumn; }

private:
  Int64 FOffset = 0;
  Int64 FLine = 0;
  Int64 FColumn = 0;
};

// Document options; each enumerator is its bit number in Bits().
enum TKelSimpleXMLOption : unsigned {
  sxoAutoCreate,
  sxoAutoIndent,
  sxoAutoEncodeValue,
  sxoAutoEncodeEntity,
  sxoDoNotSaveProlog,
  sxoTrimPrecedingTextWhitespace,
  sxoTrimFollowingTextWhitespace,
  sxoKeepWhitespace,
  sxoDoNotSaveBOM,
  sxoCaseSensitive,
};
using TKelSimpleXMLOptions = TSet<TKelSimpleXMLOption, Word>;
constexpr TKelSimpleXMLOptions sxoDefaultOptions{sxoAutoIndent, sxoAutoEncodeValue, sxoAutoEncodeEntity};  // bits 14

// Elements nested deeper than this are refused by the parser, so a hostile
// file cannot exhaust the stack of the recursive descent.
constexpr Integer KelSimpleXMLMaxDepth = 256;

using TKelOnSimpleXMLParsed = std::function<void(TObject* Sender, const String& Name)>;
using TKelOnValueParsed = std::function<void(TObject* Sender, const String& Name, const String& Value)>;
using TKelOnSimpleProgress = std::function<void(TObject* Sender, Integer Position, Integer Total)>;
using TKelSimpleXMLEncodeEvent = std::function<void(TObject* Sender, String& Value)>;
using TKelSimpleXMLEncodeStreamEvent = std::function<void(TObject* Sender, TStream* InStream, TStream* OutStream)>;
using TKelSimpleXMLElemCompare = std::function<Integer(TKelSimpleXMLElems* Elems, Integer Index1, Integer Index2)>;

// Value escaping. Pure functions; texts are handled unit by unit.
String EncodeXmlEntities(const String& Value);
String EncodeXmlCharRefs(const String& Value);
String DecodeXmlEntities(const String& Value);
// A reference to a code point above U+FFFF becomes a surrogate pair; one
// above U+10FFFF is not a reference and stays as written.
String DecodeXmlCharRefs(const String& Value);

class TKelSimpleItem : public TObject {
public:
  TKelSimpleItem() = default;
  explicit TKelSimpleItem(const String& AName) : FName(AName) {}
  TKelSimpleItem(const TKelSimpleItem&) = delete;
  TKelSimpleItem& operator=(const TKelSimpleItem&) = delete;

  const String& Name() const { return FName; }
  virtual void SetName(const String& Value) { FName = Value; }

protected:
  String FName;
};

class TKelSimpleData : public TKelSimpleItem {
public:
  TKelSimpleData() = default;
  explicit TKelSimpleData(const String& AName) : TKelSimpleItem(AName) {}
  TKelSimpleData(const String& AName, const String& AValue) : TKelSimpleItem(AName), FValue(AValue) {}

  const String& Value() const { return FValue; }
  void SetValue(const String& AValue) { FValue = AValue; }
  void* Data() const { return FData; }
  void SetData(void* AData) { FData = AData; }

  AnsiString AnsiValue() const;
  void SetAnsiValue(const AnsiString& AValue);
  Int64 IntValue() const;  // -1 when the value is not a decimal number
  void SetIntValue(Int64 AValue);
  bool BoolValue() const;          // false when the value does not convert
  void SetBoolValue(bool AValue);  // "-1" / "0"
  long double FloatValue() const;  // 0 when the value does not convert
  void SetFloatValue(long double AValue);

protected:
  String FValue;
  void* FData = nullptr;  // the caller's; never touched here
};

class TKelSimpleXMLData : public TKelSimpleData {
public:
  using TKelSimpleData::TKelSimpleData;
  const String& NameSpace() const { return FNameSpace; }
  void SetNameSpace(const String& Value) { FNameSpace = Value; }
  String FullName() const;

protected:
  String FNameSpace;
};

class TKelSimpleXMLProp : public TKelSimpleXMLData {
public:
  TKelSimpleXMLProp(TKelSimpleXMLElem* AParent, const String& AName, const String& AValue);
  TKelSimpleXMLElem* Parent() const { return FParent; }
  TKelSimpleXML* SimpleXML() const;
  void SetName(const String& Value) override;
  void SaveToStringStream(TKelStringStream* StringStream);

private:
  friend class TKelSimpleXMLProps;
  TKelSimpleXMLElem* FParent;  // not owned
};

// An owning list of items with a name index built on demand: the first item
// bearing a name wins. Names fold ASCII letters only, unless case-sensitive.
class TKelSimpleItemHashedList {
public:
  explicit TKelSimpleItemHashedList(bool ACaseSensitive = false) : FCaseSensitive(ACaseSensitive) {}
  ~TKelSimpleItemHashedList();
  TKelSimpleItemHashedList(const TKelSimpleItemHashedList&) = delete;
  TKelSimpleItemHashedList& operator=(const TKelSimpleItemHashedList&) = delete;

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TKelSimpleItem* GetItem(Integer Index) const;  // raises EListError out of range
  Integer Add(TKelSimpleItem* Item);
  void Insert(Integer Index, TKelSimpleItem* Item);
  void Delete(Integer Index);                     // frees the item
  TKelSimpleItem* Extract(TKelSimpleItem* Item);  // removes without freeing
  void Move(Integer CurIndex, Integer NewIndex);
  void Clear();
  Integer IndexOf(const TKelSimpleItem* Item) const;
  Integer IndexOfName(const String& Name);
  void InvalidateHash() { FNameHash.reset(); }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  std::vector<TKelSimpleItem*>& Items() { return FItems; }

private:
  String Key(const String& Name) const;

  std::vector<TKelSimpleItem*> FItems;
  std::unique_ptr<std::unordered_map<String, Integer>> FNameHash;
  bool FCaseSensitive;
};

class TKelSimpleXMLElem : public TKelSimpleXMLData {
public:
  TKelSimpleXMLElem() = default;
  explicit TKelSimpleXMLElem(TKelSimpleXML* ASimpleXML) : FSimpleXML(ASimpleXML) {}
  ~TKelSimpleXMLElem() override;

  TKelSimpleXMLElem* Parent() const { return FParent; }
  TKelSimpleXML* SimpleXML() const { return FSimpleXML; }
  TKelSimpleXMLElems* Items();
  TKelSimpleXMLProps* Properties();
  Integer ItemCount() const;
  Integer PropertyCount() const;
  bool HasItems() const { return ItemCount() > 0; }
  bool HasProperties() const { return PropertyCount() > 0; }
  Integer ChildsCount() const;

  void SetName(const String& Value) override;
  virtual void Assign(TKelSimpleXMLElem* Value);
  virtual void Clear();
  virtual void LoadFromStringStream(TKelStringStream* StringStream) = 0;
  virtual void SaveToStringStream(TKelStringStream* StringStream, const String& Level) = 0;

  Integer GetChildIndex(const TKelSimpleXMLElem* AChild) const;
  Integer GetNamedIndex(const TKelSimpleXMLElem* AChild);
  void LoadFromString(const String& Value);
  String SaveToString();
  void GetBinaryValue(TStream* Stream, Integer BufferSize = 0);

  // A fresh node of the same kind, for Assign.
  virtual TKelSimpleXMLElem* CreateSameKind() const = 0;

protected:
  friend class TKelSimpleXMLElems;
  friend class TKelSimpleXMLElemsProlog;
  friend class TKelSimpleXML;
  TKelSimpleXMLElem* FParent = nullptr;  // not owned
  TKelSimpleXML* FSimpleXML = nullptr;   // not owned
  std::unique_ptr<TKelSimpleXMLElems> FItems;
  std::unique_ptr<TKelSimpleXMLProps> FProps;
};

class TKelSimpleXMLElemClassic : public TKelSimpleXMLElem {
public:
  using TKelSimpleXMLElem::TKelSimpleXMLElem;
  void LoadFromStringStream(TKelStringStream* StringStream) override;
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level) override;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemClassic(); }
};

class TKelSimpleXMLElemComment : public TKelSimpleXMLElem {
public:
  using TKelSimpleXMLElem::TKelSimpleXMLElem;
  void LoadFromStringStream(TKelStringStream* StringStream) override;
  // A comment cannot hold "--" nor end in "-": a blank is written between
  // such dashes (and after a last one), so the file stays well-formed.
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level) override;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemComment(); }
};

class TKelSimpleXMLElemCData : public TKelSimpleXMLElem {
public:
  using TKelSimpleXMLElem::TKelSimpleXMLElem;
  void LoadFromStringStream(TKelStringStream* StringStream) override;
  // A "]]>" in the value splits the section in two, so the file stays well-formed.
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level) override;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemCData(); }
};

class TKelSimpleXMLElemText : public TKelSimpleXMLElem {
public:
  using TKelSimpleXMLElem::TKelSimpleXMLElem;
  void LoadFromStringStream(TKelStringStream* StringStream) override;
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level) override;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemText(); }
};

class TKelSimpleXMLElemProcessingInstruction : public TKelSimpleXMLElem {
public:
  using TKelSimpleXMLElem::TKelSimpleXMLElem;
  void LoadFromStringStream(TKelStringStream* StringStream) override;
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level) override;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemProcessingInstruction(); }
};

class TKelSimpleXMLElemHeader : public TKelSimpleXMLElemProcessingInstruction {
public:
  TKelSimpleXMLElemHeader() { FName = u"xml"; }
  explicit TKelSimpleXMLElemHeader(TKelSimpleXML* ASimpleXML) : TKelSimpleXMLElemHeader() { FSimpleXML = ASimpleXML; }

  String Version();
  void SetVersion(const String& Value);
  // The stored "encoding" attribute when there is one, else the charset name
  // of the document's code page.
  String Encoding();
  void SetEncoding(const String& Value);
  bool Standalone();
  void SetStandalone(bool Value);

  void LoadFromStringStream(TKelStringStream* StringStream) override;
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level) override;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemHeader(); }

private:
  String DefaultEncoding() const;
};

class TKelSimpleXMLElemSheet : public TKelSimpleXMLElemProcessingInstruction {
public:
  using TKelSimpleXMLElemProcessingInstruction::TKelSimpleXMLElemProcessingInstruction;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemSheet(); }
};

class TKelSimpleXMLElemMSOApplication : public TKelSimpleXMLElemProcessingInstruction {
public:
  using TKelSimpleXMLElemProcessingInstruction::TKelSimpleXMLElemProcessingInstruction;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemMSOApplication(); }
};

class TKelSimpleXMLElemDocType : public TKelSimpleXMLElem {
public:
  using TKelSimpleXMLElem::TKelSimpleXMLElem;
  void LoadFromStringStream(TKelStringStream* StringStream) override;
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level) override;
  TKelSimpleXMLElem* CreateSameKind() const override { return new TKelSimpleXMLElemDocType(); }
};

// A live view of the children of one list that bear one name.
class TKelSimpleXMLNamedElems : public TKelSimpleItem {
public:
  TKelSimpleXMLNamedElems(TKelSimpleXMLElems* AElems, const String& AName);
  void SetName(const String& Value) override;  // raises: the view's name is fixed

  TKelSimpleXMLElems* Elems() const { return FElems; }
  TKelSimpleXMLElemClassic* Add();
  TKelSimpleXMLElemClassic* Add(const String& Value);
  TKelSimpleXMLElemClassic* Add(const Char* Value) { return Add(String(Value)); }
  TKelSimpleXMLElemClassic* Add(Int64 Value);
  TKelSimpleXMLElemClassic* Add(Integer Value) { return Add(static_cast<Int64>(Value)); }
  TKelSimpleXMLElemClassic* Add(bool Value);
  TKelSimpleXMLElemClassic* Add(TStream* Value, Integer BufferSize = 0);
  TKelSimpleXMLElemClassic* AddFirst();
  TKelSimpleXMLElemComment* AddComment(const String& Value);
  TKelSimpleXMLElemCData* AddCData(const String& Value);
  TKelSimpleXMLElemText* AddText(const String& Value);
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TKelSimpleXMLElem* GetItem(Integer Index);
  Integer IndexOf(const TKelSimpleXMLElem* Value) const;
  Integer IndexOf(const String& Value);
  void Delete(Integer Index);
  virtual void Clear();
  void Move(Integer CurIndex, Integer NewIndex);

private:
  friend class TKelSimpleXMLElems;
  TKelSimpleXMLElems* FElems;              // not owned: the list this view belongs to
  std::vector<TKelSimpleXMLElem*> FItems;  // members, owned by FElems
};

using TKelListNotification = TListNotification;

class TKelSimpleXMLElems : public TObject {
public:
  explicit TKelSimpleXMLElems(TKelSimpleXMLElem* AParent) : FParent(AParent) {}
  ~TKelSimpleXMLElems() override;

  TKelSimpleXMLElem* Parent() const { return FParent; }
  TKelSimpleXMLElemClassic* Add(const String& Name);
  TKelSimpleXMLElemClassic* Add(const String& Name, const String& Value);
  TKelSimpleXMLElemClassic* Add(const String& Name, const Char* Value) { return Add(Name, String(Value)); }
  TKelSimpleXMLElemClassic* Add(const String& Name, Int64 Value);
  TKelSimpleXMLElemClassic* Add(const String& Name, Integer Value) { return Add(Name, static_cast<Int64>(Value)); }
  TKelSimpleXMLElemClassic* Add(const String& Name, bool Value);
  TKelSimpleXMLElemClassic* Add(const String& Name, TStream* Value, Integer BufferSize = 0);
  TKelSimpleXMLElem* Add(TKelSimpleXMLElem* Value);
  TKelSimpleXMLElemClassic* AddFirst(const String& Name);
  TKelSimpleXMLElem* AddFirst(TKelSimpleXMLElem* Value);
  TKelSimpleXMLElemComment* AddComment(const String& Name, const String& Value);
  TKelSimpleXMLElemCData* AddCData(const String& Name, const String& Value);
  TKelSimpleXMLElemText* AddText(const String& Name, const String& Value);
  TKelSimpleXMLElem* Insert(TKelSimpleXMLElem* Value, Integer Index);
  TKelSimpleXMLElemClassic* Insert(const String& Name, Integer Index);
  void Delete(Integer Index);
  void Delete(const String& Name);
  Integer Remove(TKelSimpleXMLElem* Value);
  void Move(Integer CurIndex, Integer NewIndex);
  Integer IndexOf(const TKelSimpleXMLElem* Value) const;
  Integer IndexOf(const String& Name);
  Integer IndexOf(const Char* Name) { return IndexOf(String(Name)); }
  Integer Count() const;
  TKelSimpleXMLElem* GetItem(Integer Index) const;
  TKelSimpleXMLElem* operator[](Integer Index) const { return GetItem(Index); }
  TKelSimpleXMLElem* GetItemNamed(const String& Name);
  String Value(const String& Name, const String& Default = String());
  Int64 IntValue(const String& Name, Int64 Default = -1);
  bool BoolValue(const String& Name, bool Default = true);
  long double FloatValue(const String& Name, long double Default = 0.0L);
  void BinaryValue(const String& Name, TStream* Stream);
  TKelSimpleXMLNamedElems* GetNamedElems(const String& Name);
  void Sort();
  void CustomSort(const TKelSimpleXMLElemCompare& AFunction);
  virtual void Clear();
  void Notify(TKelSimpleXMLElem* Value, TOperation Operation);
  void LoadFromStringStream(TKelStringStream* StringStream);
  void SaveToStringStream(TKelStringStream* StringStream, const String& Level);

  class Iterator {
  public:
    Iterator(const TKelSimpleXMLElems* AList, Integer AIndex) : FList(AList), FIndex(AIndex) {}
    TKelSimpleXMLElem* operator*() const { return FList->GetItem(FIndex); }
    Iterator& operator++() {
      ++FIndex;
      return *this;
    }
    bool operator!=(const Iterator& Other) const { return FIndex != Other.FIndex; }

  private:
    const TKelSimpleXMLElems* FList;
    Integer FIndex;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, Count()); }

private:
  friend class TKelSimpleXMLElem;
  friend class TKelSimpleXMLNamedElems;
  void CreateElems();
  TKelSimpleXMLElem* FindOrCreate(const String& Name, const String& Default);
  TKelSimpleXMLElem* InsertNode(TKelSimpleXMLElem* Value, Integer Index, bool First);
  void DetachFromOldList(TKelSimpleXMLElem* Value);
  void AddToNamedView(TKelSimpleXMLElem* Value, bool First);
  void RemoveFromNamedView(TKelSimpleXMLElem* Value);
  TKelSimpleXMLNamedElems* FindNamedView(const String& Name);
  void QuickSort(Integer L, Integer R, const TKelSimpleXMLElemCompare& Compare);
  template <class T>
  T* AddNew(const String& Name, const String& Value);

  TKelSimpleXMLElem* FParent;  // not owned: the element whose children these are
  std::unique_ptr<TKelSimpleItemHashedList> FElems;
  std::unique_ptr<TKelSimpleItemHashedList> FNamedElems;
};

class TKelSimpleXMLProps : public TObject {
public:
  explicit TKelSimpleXMLProps(TKelSimpleXMLElem* AParent) : FParent(AParent) {}
  ~TKelSimpleXMLProps() override;

  TKelSimpleXMLElem* Parent() const { return FParent; }
  TKelSimpleXMLProp* Add(const String& Name, const String& Value);
  TKelSimpleXMLProp* Add(const String& Name, const Char* Value) { return Add(Name, String(Value)); }
  TKelSimpleXMLProp* Add(const String& Name, Int64 Value);
  TKelSimpleXMLProp* Add(const String& Name, Integer Value) { return Add(Name, static_cast<Int64>(Value)); }
  TKelSimpleXMLProp* Add(const String& Name, bool Value);
  TKelSimpleXMLProp* Add(const String& Name, const AnsiString& Value);
  TKelSimpleXMLProp* Insert(Integer Index, const String& Name, const String& Value);
  TKelSimpleXMLProp* Insert(Integer Index, const String& Name, Int64 Value);
  TKelSimpleXMLProp* Insert(Integer Index, const String& Name, bool Value);
  void Delete(Integer Index);
  void Delete(const String& Name);
  virtual void Clear();
  Integer Count() const { return static_cast<Integer>(FProperties.size()); }
  TKelSimpleXMLProp* GetItem(Integer Index) const;  // raises EStringListError out of range
  TKelSimpleXMLProp* operator[](Integer Index) const { return GetItem(Index); }
  TKelSimpleXMLProp* GetItemNamed(const String& Name);
  // The first attribute of that name (locale-aware, case-insensitive), never created.
  TKelSimpleXMLProp* Find(const String& Name) const;
  String Value(const String& Name, const String& Default = String());
  Int64 IntValue(const String& Name, Int64 Default = -1);
  bool BoolValue(const String& Name, bool Default = true);
  long double FloatValue(const String& Name, long double Default = 0.0L);
  void SortProperties(std::initializer_list<String> Order);
  void LoadFromStringStream(TKelStringStream* StringStream);
  void SaveToStringStream(TKelStringStream* StringStream);

  std::vector<TKelSimpleXMLProp*>::const_iterator begin() const { return FProperties.begin(); }
  std::vector<TKelSimpleXMLProp*>::const_iterator end() const { return FProperties.end(); }

private:
  friend class TKelSimpleXMLProp;
  Integer IndexOfName(const String& Name) const;
  TKelSimpleXMLProp* FindOrCreate(const String& Name, const String& Default);

  std::vector<TKelSimpleXMLProp*> FProperties;  // owned
  TKelSimpleXMLElem* FParent;                   // not owned
};

class TKelSimpleXMLElemsProlog : public TObject {
public:
  explicit TKelSimpleXMLElemsProlog(TKelSimpleXML* ASimpleXML);
  ~TKelSimpleXMLElemsProlog() override = default;

  void Clear() { FElems->Clear(); }
  Integer Count() const { return FElems->Count(); }
  TKelSimpleXMLElem* GetItem(Integer Index) const;
  TKelSimpleXMLElem* operator[](Integer Index) const { return GetItem(Index); }
  TKelSimpleXMLElem* Add(TKelSimpleXMLElem* Value);  // takes ownership

  String Version() { return FindHeader()->Version(); }
  void SetVersion(const String& Value) { FindHeader()->SetVersion(Value); }
  String Encoding() { return FindHeader()->Encoding(); }
  void SetEncoding(const String& Value) { FindHeader()->SetEncoding(Value); }
  bool Standalone() { return FindHeader()->Standalone(); }
  void SetStandalone(bool Value) { FindHeader()->SetStandalone(Value); }

  TKelSimpleXMLElemComment* AddComment(const String& AValue);
  TKelSimpleXMLElemDocType* AddDocType(const String& AValue);
  TKelSimpleXMLElemSheet* AddStyleSheet(const String& AType, const String& AHRef);
  TKelSimpleXMLElemMSOApplication* AddMSOApplication(const String& AProgId);

  // The first declaration of the prolog, or nil; never creates one.
  TKelSimpleXMLElemHeader* Header() const;
  // The first declaration, created and appended when missing.
  TKelSimpleXMLElemHeader* FindHeader();

  void LoadFromStringStream(TKelStringStream* StringStream);
  void SaveToStringStream(TKelStringStream* StringStream);

  std::vector<TKelSimpleItem*>::const_iterator begin() const { return FElems->Items().begin(); }
  std::vector<TKelSimpleItem*>::const_iterator end() const { return FElems->Items().end(); }

private:
  std::unique_ptr<TKelSimpleItemHashedList> FElems;
  TKelSimpleXML* FSimpleXML;  // not owned
};

class TKelSimpleXML : public TObject {
public:
  TKelSimpleXML();
  ~TKelSimpleXML() override;
  TKelSimpleXML(const TKelSimpleXML&) = delete;
  TKelSimpleXML& operator=(const TKelSimpleXML&) = delete;

  TKelSimpleXMLElemClassic* Root() const { return FRoot; }
  // Replaces the reference only: the old root is neither freed nor re-parented.
  void SetRoot(TKelSimpleXMLElemClassic* Value) { FRoot = Value; }
  TKelSimpleXMLElemsProlog* Prolog() const { return FProlog; }
  void SetProlog(TKelSimpleXMLElemsProlog* Value) { FProlog = Value; }
  TKelSimpleXMLOptions Options() const { return FOptions; }
  void SetOptions(TKelSimpleXMLOptions Value) { FOptions = Value; }
  const String& IndentString() const { return FIndentString; }
  void SetIndentString(const String& Value);
  const String& BaseIndentString() const { return FBaseIndentString; }
  void SetBaseIndentString(const String& Value);
  const String& FileName() const { return FFileName; }
  void SetFileName(const String& Value);
  Word CodePage() const { return FCodePage; }
  TKelStringEncoding Encoding() const { return FEncoding; }
  String XMLData() { return SaveToString(); }
  void SetXMLData(const String& Value) { LoadFromString(Value); }

  TKelOnSimpleXMLParsed OnTagParsed;
  TKelOnValueParsed OnValueParsed;
  TKelOnSimpleProgress OnLoadProgress;
  TKelOnSimpleProgress OnSaveProgress;
  TKelSimpleXMLEncodeEvent OnEncodeValue;
  TKelSimpleXMLEncodeEvent OnDecodeValue;
  TKelSimpleXMLEncodeStreamEvent OnEncodeStream;
  TKelSimpleXMLEncodeStreamEvent OnDecodeStream;

  virtual void EncodeValue(String& Value);
  virtual void DecodeValue(String& Value);

  void LoadFromFile(const String& FileName, TKelStringEncoding Encoding = seAuto, Word CodePage = 0);
  // The raw-data (RT_RCDATA) resource ResName of the module Instance;
  // EResNotFound when the module has none.
  void LoadFromResourceName(NativeUInt Instance, const String& ResName, TKelStringEncoding Encoding = seAuto,
                            Word CodePage = 0);
  void LoadFromStream(TStream* Stream, TKelStringEncoding Encoding = seAuto, Word CodePage = 0);
  void LoadFromStringStream(TKelStringStream* StringStream);
  void LoadFromString(const String& Value);
  // Writes a temporary file beside FileName and renames it over the old one,
  // so a failed save never leaves a truncated file behind.
  void SaveToFile(const String& FileName, TKelStringEncoding Encoding = seAuto, Word CodePage = 0);
  void SaveToStream(TStream* Stream, TKelStringEncoding Encoding = seAuto, Word CodePage = 0);
  void SaveToStringStream(TKelStringStream* StringStream);
  String SaveToString();
  String SaveToStringEncoding(TKelStringEncoding Encoding, Word CodePage);

  // Hooks for the node parsers and writers.
  void DoLoadProgress(TKelStringStream* StringStream);
  void DoSaveProgress();
  void DoTagParsed(const String& Name);
  void DoValueParsed(const String& Name, const String& Value);
  // During LoadFromStream with seAuto: the text began with a byte-order mark.
  bool LoadHasBOM() const { return FLoadHasBOM; }

private:
  void ResolveAutoEncoding(TKelStringEncoding& Encoding, Word& CodePage);

  TKelStringEncoding FEncoding = seAnsi;
  Word FCodePage = 0;
  String FFileName;
  TKelSimpleXMLOptions FOptions = sxoDefaultOptions;
  TKelSimpleXMLElemClassic* FRoot;    // owned (see SetRoot)
  TKelSimpleXMLElemsProlog* FProlog;  // owned (see SetProlog)
  Integer FSaveCount = 0;
  Integer FSaveCurrent = 0;
  String FIndentString = u"  ";
  String FBaseIndentString;
  bool FLoadHasBOM = false;
};
