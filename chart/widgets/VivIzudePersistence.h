#pragma once
// Saves the published settings of an object as one JSON document and loads
// such a document back into an existing object.
//
// C++ has no run-time type information of properties, so every persistent
// class describes itself once in a registry: its name, its parent, how it
// is constructed, and its published properties (name, kind, type name,
// getter, setter). The writer and the reader only walk that description.
// A description is written declaratively:
//
//   VivIzudeRegisterClass<TShape>(u"TShape")
//       .Inherits<TBase>()
//       .Property(u"Width", &TShape::Width, &TShape::SetWidth)
//       .Color(u"Fill", &TShape::Fill, &TShape::SetFill)
//       .ReadOnly(u"Area", &TShape::Area);
//
// The kind of each property follows from the accessor types at compile
// time; an accessor of a type the format cannot hold is still accepted (as
// tkRecord and the like) so that saving reports it by name.
//
// Saving and loading never touch the process-wide format settings: the JSON
// layer formats numbers without them. A failed save appends nothing to the
// target; a failed load puts the object back as it was.
#include <functional>
#include <map>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <variant>
#include <vector>

#include "chart/widgets/VivIzudeJSONReader.h"
#include "chart/widgets/VivIzudeJSONWriter.h"
#include "rtl/Exceptions.h"
#include "rtl/Set.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"
#include "rtl/UITypes.h"

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray,
  tkUString,
  tkClassRef,
  tkPointer,
  tkProcedure,
  tkMRecord
};
String TypeKindName(TTypeKind Kind);

QUORVEL_DECLARE_EXCEPTION(EVivIzudeReaderException, Exception);

// A property value as the writer and reader move it.
using TVivIzudeValue = std::variant<std::monostate, Int64, double, bool, String, TObject*>;

struct TVivIzudePropInfo {
  String Name;
  TTypeKind Kind = tkUnknown;
  String TypeName;  // "TColor" marks a colour; "Boolean" a Boolean enumeration
  std::function<TVivIzudeValue(TObject*)> Get;
  std::function<void(TObject*, const TVivIzudeValue&)> Set;  // empty: read-only
  // Empty: always written. Otherwise written only while it answers true (a
  // value that means "not set" or the default stays out of the document).
  std::function<bool(TObject*)> Stored;
  bool Writable() const { return static_cast<bool>(Set); }
  bool IsColor() const;
};

// What a class-typed value is, for the writer's and reader's dispatch.
struct TVivIzudeListAccess {
  std::function<Integer(TObject*)> Count;
  std::function<TObject*(TObject*, Integer)> Item;
  std::function<void(TObject*)> Clear;
  std::function<void(TObject*, TObject*)> Append;  // takes ownership of the item
};
struct TVivIzudeCollectionAccess {
  std::function<Integer(TObject*)> Count;
  std::function<TObject*(TObject*, Integer)> Item;
  std::function<void(TObject*)> Clear;
  std::function<void(TObject*, TObject*)> AddFrom;  // adds an item copied from the source
};
struct TVivIzudePictureAccess {
  std::function<TBytes(TObject*)> Save;               // empty: no graphic
  std::function<bool(TObject*, const TBytes&)> Load;  // false: format not recognised, unchanged
  // Drops the graphic; puts back an empty picture when a failed load is undone.
  std::function<void(TObject*)> Clear;
};

struct TVivIzudeClassInfo {
  String Name;
  const TVivIzudeClassInfo* Parent = nullptr;
  std::function<TObject*()> Create;  // runs the class's own constructor
  std::vector<TVivIzudePropInfo> OwnProperties;
  std::unique_ptr<TVivIzudeListAccess> List;
  std::unique_ptr<TVivIzudeCollectionAccess> Collection;
  std::unique_ptr<TVivIzudePictureAccess> Picture;

  bool InheritsFrom(const TVivIzudeClassInfo* Base) const;
  // The persisted candidates: every published property of the class and its
  // ancestors except events and read-only ones, sorted by ASCII upper-case name.
  std::vector<const TVivIzudePropInfo*> PersistedProperties() const;
  const TVivIzudePropInfo* FindProperty(const String& AName) const;
  const TVivIzudeListAccess* ListAccess() const;
  const TVivIzudeCollectionAccess* CollectionAccess() const;
  const TVivIzudePictureAccess* PictureAccess() const;
};

// The registry of persistent classes: by C++ type and by name. Classes
// register once, from their unit's start-up code or a test's setup.
class TVivIzudeClassRegistry {
public:
  static TVivIzudeClassRegistry& Instance();
  TVivIzudeClassInfo& Add(std::type_index Type, const String& AName);
  const TVivIzudeClassInfo* Find(const String& AName) const;
  const TVivIzudeClassInfo* Find(std::type_index Type) const;
  const TVivIzudeClassInfo* ClassOf(const TObject* AObject) const;

private:
  std::map<std::type_index, std::unique_ptr<TVivIzudeClassInfo>> FByType;
  std::map<String, TVivIzudeClassInfo*> FByName;
};

namespace VivIzudePersistenceDetail {
template <class T>
struct IsSet : std::false_type {};
template <class E, class U>
struct IsSet<TSet<E, U>> : std::true_type {};

template <class V>
constexpr TTypeKind KindOf() {
  using T = std::remove_cvref_t<V>;
  if constexpr (IsSet<T>::value)
    return tkSet;
  else if constexpr (std::is_same_v<T, bool>)
    return tkEnumeration;
  else if constexpr (std::is_same_v<T, Int64>)
    return tkInt64;
  else if constexpr (std::is_integral_v<T> && sizeof(T) <= 4 && !std::is_same_v<T, char16_t>)
    return tkInteger;
  else if constexpr (std::is_same_v<T, char16_t>)
    return tkWChar;
  else if constexpr (std::is_enum_v<T>)
    return tkEnumeration;
  else if constexpr (std::is_floating_point_v<T>)
    return tkFloat;
  else if constexpr (std::is_same_v<T, String>)
    return tkUString;
  else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>)
    return tkClass;
  else if constexpr (std::is_pointer_v<T>)
    return tkPointer;
  else if constexpr (std::is_class_v<T>)
    return tkRecord;
  else
    return tkUnknown;
}

template <class V>
TVivIzudeValue ToValue(const V& Value) {
  constexpr TTypeKind K = KindOf<V>();
  if constexpr (std::is_same_v<std::remove_cvref_t<V>, bool>)
    return Value;
  else if constexpr (K == tkSet)
    return static_cast<Int64>(Value.Bits());
  else if constexpr (K == tkInteger || K == tkInt64 || K == tkWChar || K == tkEnumeration)
    return static_cast<Int64>(Value);
  else if constexpr (K == tkFloat)
    return static_cast<double>(Value);
  else if constexpr (K == tkUString)
    return Value;
  else if constexpr (K == tkClass)
    return static_cast<TObject*>(Value);
  else
    return std::monostate{};
}

template <class V>
V FromValue(const TVivIzudeValue& Value) {
  using T = std::remove_cvref_t<V>;
  constexpr TTypeKind K = KindOf<T>();
  if constexpr (std::is_same_v<T, bool>)
    return std::get<bool>(Value);
  else if constexpr (K == tkSet)
    return T::FromBits(static_cast<decltype(T().Bits())>(std::get<Int64>(Value)));
  else if constexpr (K == tkInteger || K == tkInt64 || K == tkWChar || K == tkEnumeration)
    return static_cast<T>(std::get<Int64>(Value));
  else if constexpr (K == tkFloat)
    return static_cast<T>(std::get<double>(Value));
  else if constexpr (K == tkUString)
    return std::get<String>(Value);
  else
    return T{};
}

// Only an enumeration with a fixed underlying type holds every value of that
// type; any other needs its highest ordinal to be read safely.
template <class V>
concept FixedEnum = std::is_enum_v<V> && requires {
  V{std::underlying_type_t<V>{}};
};
template <class V>
inline constexpr bool SafeToRead = !std::is_enum_v<V> || FixedEnum<V>;

template <class V>
const char16_t* DefaultTypeName() {
  if constexpr (std::is_same_v<std::remove_cvref_t<V>, bool>)
    return u"Boolean";
  else
    return u"";
}
}  // namespace VivIzudePersistenceDetail

// Fills one class's description; every accessor is checked against the
// class at compile time.
template <class T>
class TVivIzudeClassBuilder {
public:
  explicit TVivIzudeClassBuilder(TVivIzudeClassInfo& AInfo) : FInfo(AInfo) {
    static_assert(std::is_base_of_v<TObject, T>, "persistent classes derive from TObject");
    if constexpr (std::is_default_constructible_v<T>) FInfo.Create = [] { return static_cast<TObject*>(new T()); };
  }

  // The ancestor must be registered first.
  template <class P>
  TVivIzudeClassBuilder& Inherits() {
    static_assert(std::is_base_of_v<P, T>, "the ancestor must be a base class");
    FInfo.Parent = TVivIzudeClassRegistry::Instance().Find(std::type_index(typeid(P)));
    return *this;
  }

  // Getter and setter member functions.
  template <class G, class S>
  TVivIzudeClassBuilder& Property(const String& AName, G (T::*Getter)() const, void (T::*Setter)(S),
                                  const String& ATypeName = u"") {
    static_assert(std::is_same_v<std::remove_cvref_t<G>, std::remove_cvref_t<S>>,
                  "getter and setter must agree on the type");
    static_assert(VivIzudePersistenceDetail::SafeToRead<std::remove_cvref_t<G>>,
                  "an enumeration without a fixed underlying type needs its highest ordinal: use Enum()");
    namespace D = VivIzudePersistenceDetail;
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = D::KindOf<G>();
    P.TypeName = ATypeName.empty() ? String(D::DefaultTypeName<G>()) : ATypeName;
    P.Get = [Getter](TObject* O) { return D::ToValue((static_cast<T*>(O)->*Getter)()); };
    P.Set = [Setter](TObject* O, const TVivIzudeValue& V) {
      (static_cast<T*>(O)->*Setter)(D::FromValue<std::remove_cvref_t<S>>(V));
    };
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  // A colour held in an integer: written as "#RRGGBB" or "gcNull".
  TVivIzudeClassBuilder& Color(const String& AName, TColor (T::*Getter)() const, void (T::*Setter)(TColor)) {
    return Property(AName, Getter, Setter, u"TColor");
  }

  // A property stored straight in a field.
  template <class V>
  TVivIzudeClassBuilder& Field(const String& AName, V T::*Member, const String& ATypeName = u"") {
    static_assert(VivIzudePersistenceDetail::SafeToRead<V>,
                  "an enumeration without a fixed underlying type needs its highest ordinal: use Enum()");
    namespace D = VivIzudePersistenceDetail;
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = D::KindOf<V>();
    P.TypeName = ATypeName.empty() ? String(D::DefaultTypeName<V>()) : ATypeName;
    P.Get = [Member](TObject* O) { return D::ToValue(static_cast<T*>(O)->*Member); };
    P.Set = [Member](TObject* O, const TVivIzudeValue& Value) { static_cast<T*>(O)->*Member = D::FromValue<V>(Value); };
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  // An enumeration stored in a field; an ordinal outside 0 .. High is refused.
  template <class E>
  TVivIzudeClassBuilder& Enum(const String& AName, E T::*Member, E High) {
    static_assert(std::is_enum_v<E>, "Enum() is for enumerations");
    namespace D = VivIzudePersistenceDetail;
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = tkEnumeration;
    P.Get = [Member](TObject* O) { return TVivIzudeValue(static_cast<Int64>(static_cast<T*>(O)->*Member)); };
    P.Set = [Member, High, AName](TObject* O, const TVivIzudeValue& Value) {
      const Int64 Ordinal = std::get<Int64>(Value);
      if (Ordinal < 0 || Ordinal > static_cast<Int64>(High))
        throw EVivIzudeReaderException(u"Value out of range for property " + AName);
      static_cast<T*>(O)->*Member = static_cast<E>(Ordinal);
    };
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  // An enumeration through its accessors; an ordinal outside 0 .. High is
  // refused before the setter sees it.
  // The accessors may be the class's own or an ancestor's.
  template <class B, class E, class S>
  TVivIzudeClassBuilder& EnumProperty(const String& AName, E (B::*Getter)() const, void (B::*Setter)(S), E High) {
    static_assert(std::is_enum_v<E> && std::is_same_v<E, std::remove_cvref_t<S>>, "EnumProperty() is for enumerations");
    static_assert(std::is_base_of_v<B, T>, "the accessors must belong to the class or an ancestor");
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = tkEnumeration;
    P.Get = [Getter](TObject* O) { return TVivIzudeValue(static_cast<Int64>((static_cast<T*>(O)->*Getter)())); };
    P.Set = [Setter, High, AName](TObject* O, const TVivIzudeValue& Value) {
      const Int64 Ordinal = std::get<Int64>(Value);
      if (Ordinal < 0 || Ordinal > static_cast<Int64>(High))
        throw EVivIzudeReaderException(u"Value out of range for property " + AName);
      (static_cast<T*>(O)->*Setter)(static_cast<E>(Ordinal));
    };
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  // Makes the property added last conditional: written only while the
  // predicate (a const member function or a callable taking const T*) holds.
  template <class P>
  TVivIzudeClassBuilder& Stored(P Predicate) {
    FInfo.OwnProperties.back().Stored = [Predicate](TObject* O) {
      return static_cast<bool>(std::invoke(Predicate, static_cast<const T*>(O)));
    };
    return *this;
  }

  // A sub-object the class owns: read back into the object it holds.
  template <class C>
  TVivIzudeClassBuilder& Object(const String& AName, C* T::*Member) {
    static_assert(std::is_base_of_v<TObject, C>, "sub-objects derive from TObject");
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = tkClass;
    P.Get = [Member](TObject* O) { return TVivIzudeValue(static_cast<TObject*>(static_cast<T*>(O)->*Member)); };
    // Writable as far as persistence goes: the held object is filled, never replaced.
    P.Set = [](TObject*, const TVivIzudeValue&) {};
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  // The same through a getter.
  template <class C>
  TVivIzudeClassBuilder& Object(const String& AName, C* (T::*Getter)() const) {
    static_assert(std::is_base_of_v<TObject, C>, "sub-objects derive from TObject");
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = tkClass;
    P.Get = [Getter](TObject* O) { return TVivIzudeValue(static_cast<TObject*>((static_cast<T*>(O)->*Getter)())); };
    P.Set = [](TObject*, const TVivIzudeValue&) {};
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  template <class G>
  TVivIzudeClassBuilder& ReadOnly(const String& AName, G (T::*Getter)() const) {
    namespace D = VivIzudePersistenceDetail;
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = D::KindOf<G>();
    P.Get = [Getter](TObject* O) { return D::ToValue((static_cast<T*>(O)->*Getter)()); };
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  // An event: published, but never persisted.
  TVivIzudeClassBuilder& Event(const String& AName) {
    TVivIzudePropInfo P;
    P.Name = AName;
    P.Kind = tkMethod;
    P.Set = [](TObject*, const TVivIzudeValue&) {};
    FInfo.OwnProperties.push_back(std::move(P));
    return *this;
  }

  TVivIzudeClassBuilder& List(TVivIzudeListAccess AAccess) {
    FInfo.List = std::make_unique<TVivIzudeListAccess>(std::move(AAccess));
    return *this;
  }
  TVivIzudeClassBuilder& Collection(TVivIzudeCollectionAccess AAccess) {
    FInfo.Collection = std::make_unique<TVivIzudeCollectionAccess>(std::move(AAccess));
    return *this;
  }
  TVivIzudeClassBuilder& Picture(TVivIzudePictureAccess AAccess) {
    FInfo.Picture = std::make_unique<TVivIzudePictureAccess>(std::move(AAccess));
    return *this;
  }

private:
  TVivIzudeClassInfo& FInfo;
};

// The element of a collection document as the item class the collection
// holds; another class is refused by name.
template <class TItem>
TItem* VivIzudeCollectionItemOf(TObject* ASource, const String& AItemClassName) {
  auto* Item = dynamic_cast<TItem*>(ASource);
  if (!Item) {
    const TVivIzudeClassInfo* Info = TVivIzudeClassRegistry::Instance().ClassOf(ASource);
    throw EVivIzudeReaderException(u"Type \"" + (Info ? Info->Name : String(u"?")) + u"\" does not inherit from " +
                                   AItemClassName);
  }
  return Item;
}

// The settings access of a typed collection (Count, Items, Clear): a loaded
// document replaces the items; AddFrom(collection, reader's item) adds one.
template <class TItems, class TAddFrom>
TVivIzudeCollectionAccess VivIzudeCollectionAccessOf(TAddFrom AddFrom) {
  return {[](TObject* O) { return static_cast<TItems*>(O)->Count(); },
          [](TObject* O, Integer I) -> TObject* { return static_cast<TItems*>(O)->Items(I); },
          [](TObject* O) { static_cast<TItems*>(O)->Clear(); },
          [AddFrom](TObject* O, TObject* Source) { AddFrom(static_cast<TItems*>(O), Source); }};
}

template <class T>
TVivIzudeClassBuilder<T> VivIzudeRegisterClass(const String& AName) {
  return TVivIzudeClassBuilder<T>(TVivIzudeClassRegistry::Instance().Add(std::type_index(typeid(T)), AName));
}

// An object that filters, property by property, what is saved and loaded.
class IVivIzudePersistence {
public:
  virtual ~IVivIzudePersistence() = default;
  virtual void SaveSettingsToFile(const String& AFileName) = 0;
  virtual void LoadSettingsFromFile(const String& AFileName) = 0;
  virtual void SaveSettingsToStream(TStream* AStream) = 0;
  virtual void LoadSettingsFromStream(TStream* AStream) = 0;
  virtual bool CanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) = 0;
  virtual bool CanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) = 0;
};

// The framework properties that component and control bases keep out of
// their own settings (compared without regard to case).
extern const std::vector<String> PersistenceExcludedProperties;
bool IsPersistenceExcludedProperty(const String& AName);

inline constexpr const char16_t* VivIzudeTypeKey = u"$type";

class TVivIzudeWriter : public TObject {
public:
  explicit TVivIzudeWriter(TStream* AStream);
  ~TVivIzudeWriter() override;
  TVivIzudeWriter(const TVivIzudeWriter&) = delete;
  TVivIzudeWriter& operator=(const TVivIzudeWriter&) = delete;

  void Write(TObject* AObject);
  // Without filters and quietly passing over kinds the format cannot hold:
  // the snapshot a load restores after a failure.
  void SetSnapshotMode(bool Value) { FSnapshot = Value; }
  // Turns system colours into plain RGB; without one a system colour keeps
  // its low three bytes.
  void SetColorResolver(std::function<TColor(TColor)> AResolver) { FResolver = std::move(AResolver); }

private:
  TVivIzudeJSONWriter* FWriter;
  bool FSnapshot = false;
  std::function<TColor(TColor)> FResolver;
  IVivIzudePersistence* FFilter = nullptr;  // the root object's filter, if it has one
  void WriteValue(TObject* AObject);
  void WriteObject(TObject* AObject);
  void WriteProperty(TObject* AObject, const TVivIzudePropInfo& Prop);
};

class TVivIzudeReader : public TObject {
public:
  explicit TVivIzudeReader(TStream* AStream);
  ~TVivIzudeReader() override;
  TVivIzudeReader(const TVivIzudeReader&) = delete;
  TVivIzudeReader& operator=(const TVivIzudeReader&) = delete;

  void Read(TObject* AObject);
  // A new object of the class named by "$type", which must inherit from
  // ABase (nullptr: any registered class); the caller owns it.
  TObject* Read(const TVivIzudeClassInfo* ABase);
  void SetSnapshotMode(bool Value) { FSnapshot = Value; }
  // Problems that did not stop the load (a picture whose text is not hex).
  const std::vector<String>& Warnings() const { return FWarnings; }

private:
  TVivIzudeJSONReader* FReader;
  bool FSnapshot = false;
  std::vector<String> FWarnings;
  IVivIzudePersistence* FFilter = nullptr;  // the root object's filter, if it has one
  void ReadTypeMember();
  void ReadInto(TObject* AObject);
  TObject* CreateObject(const TVivIzudeClassInfo* ABase);
  void ReadMembers(TObject* AObject, const TVivIzudeClassInfo& Info);
  void ReadProperty(TObject* AObject, const TVivIzudePropInfo& Prop);
};

class TVivIzudePersistence {
public:
  TVivIzudePersistence() = delete;
  static void SaveSettingsToStream(TObject* AObject, TStream* AStream);
  static void SaveSettingsToFile(TObject* AObject, const String& AFileName);
  // AWarnings, when given, receives the problems that did not stop the load.
  static void LoadSettingsFromStream(TObject* AObject, TStream* AStream, std::vector<String>* AWarnings = nullptr);
  static void LoadSettingsFromFile(TObject* AObject, const String& AFileName, std::vector<String>* AWarnings = nullptr);

  static String ColorToHexString(TColor AColor, const std::function<TColor(TColor)>& AResolver = nullptr);
  static TColor HexToColor(const String& AText);
};
