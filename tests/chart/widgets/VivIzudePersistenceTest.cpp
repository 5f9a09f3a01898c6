#include "chart/widgets/VivIzudePersistence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "JsonTestSupport.h"
#include "rtl/FormatSettings.h"
#include "rtl/SysUtils.h"

namespace {

enum TPetKind { pkCat, pkDog, pkFish };
using TPetKinds = TSet<TPetKind, Byte>;

struct TSpan {
  int A = 0, B = 0;
};

class TPetItem : public TObject {
public:
  TPetItem() { ++Constructed; }
  String Name() const { return FName; }
  void SetName(String V) { FName = std::move(V); }
  inline static int Constructed = 0;

private:
  String FName;
};

class TBigPet : public TPetItem {
public:
  Integer Weight = 0;
};

class TPetList : public TObject {
public:
  ~TPetList() override { Clear(); }
  void Clear() {
    for (TPetItem* P : Items) delete P;
    Items.clear();
  }
  std::vector<TPetItem*> Items;
};

// A picture whose "format" is the bytes 'P' 'X' followed by its data.
class TTestPicture : public TObject {
public:
  TBytes Data;
};

class TBorder : public TObject {
public:
  double Width = 1.5;
  TColor Color = clNone;
};

class TSettings : public TObject {
public:
  TSettings() : Border(new TBorder), Pets(new TPetList), Picture(new TTestPicture) {}
  ~TSettings() override {
    delete Border;
    delete Pets;
    delete Picture;
  }
  Integer Count() const { return FCount; }
  void SetCount(Integer V) {
    FCount = V;
    ++SetCountCalls;
  }
  TColor Fill() const { return FFill; }
  void SetFill(TColor V) { FFill = V; }
  Integer Area() const { return 42; }
  TSpan Span() const { return {}; }
  void SetSpan(TSpan) {}

  Integer FCount = 0;
  TColor FFill = 0;
  bool Visible = false;
  TPetKind Kind = pkCat;
  TPetKinds Style;
  double Ratio = 0;
  float Scale = 0;
  Int64 Big = 0;
  String Caption;
  char16_t Letter = u'a';
  TBorder* Border;
  TPetList* Pets;
  TTestPicture* Picture;
  TObject* Nothing = nullptr;
  int SetCountCalls = 0;
};

// No constructor the reader could call: it is never built from a document.
class TNeedsArgument : public TPetItem {
public:
  explicit TNeedsArgument(int) {}
};

class TColumn : public TObject {
public:
  Integer Width = 0;
  String Title;
};

// Items are added by the collection and copied from a read object.
class TColumns : public TObject {
public:
  std::vector<std::unique_ptr<TColumn>> Items;
};

class TGrid : public TObject {
public:
  TColumns* Columns() const { return FColumns.get(); }
  std::unique_ptr<TColumns> FColumns = std::make_unique<TColumns>();
};

class TWithRecord : public TObject {
public:
  TSpan Span() const { return {}; }
  void SetSpan(TSpan) {}
  Integer Z = 0;
};

// Refuses "Caption" when saving and "Count" when loading.
class TFiltered : public TSettings, public IVivIzudePersistence {
public:
  void SaveSettingsToFile(const String&) override {}
  void LoadSettingsFromFile(const String&) override {}
  void SaveSettingsToStream(TStream*) override {}
  void LoadSettingsFromStream(TStream*) override {}
  bool CanSaveProperty(TObject*, const String& N, TTypeKind) override { return N != u"Caption"; }
  bool CanLoadProperty(TObject*, const String& N, TTypeKind) override { return N != u"Count"; }
};

void RegisterTestClasses() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  VivIzudeRegisterClass<TPetItem>(u"TPetItem").Property(u"Name", &TPetItem::Name, &TPetItem::SetName);
  VivIzudeRegisterClass<TBigPet>(u"TBigPet").Inherits<TPetItem>().Field(u"Weight", &TBigPet::Weight);
  VivIzudeRegisterClass<TPetList>(u"TObjectList<TPetItem>")
      .List({[](TObject* L) { return static_cast<Integer>(static_cast<TPetList*>(L)->Items.size()); },
             [](TObject* L, Integer I) -> TObject* { return static_cast<TPetList*>(L)->Items[I]; },
             [](TObject* L) { static_cast<TPetList*>(L)->Clear(); },
             [](TObject* L, TObject* Item) {
               std::unique_ptr<TObject> Owned(Item);
               auto* Pet = dynamic_cast<TPetItem*>(Item);
               if (!Pet) throw EVivIzudeReaderException(u"not a pet");
               static_cast<TPetList*>(L)->Items.push_back(Pet);
               Owned.release();
             }});
  VivIzudeRegisterClass<TTestPicture>(u"TTestPicture")
      .Picture({[](TObject* P) { return static_cast<TTestPicture*>(P)->Data; },
                [](TObject* P, const TBytes& B) {
                  if (B.size() < 2 || B[0] != 'P' || B[1] != 'X') return false;
                  static_cast<TTestPicture*>(P)->Data = B;
                  return true;
                },
                [](TObject* P) { static_cast<TTestPicture*>(P)->Data.clear(); }});
  VivIzudeRegisterClass<TBorder>(u"TBorder")
      .Field(u"Width", &TBorder::Width)
      .Field(u"Color", &TBorder::Color, u"TColor");
  VivIzudeRegisterClass<TSettings>(u"TSettings")
      .Property(u"Count", &TSettings::Count, &TSettings::SetCount)
      .Color(u"Fill", &TSettings::Fill, &TSettings::SetFill)
      .ReadOnly(u"Area", &TSettings::Area)
      .Event(u"OnChange")
      .Field(u"visible", &TSettings::Visible)
      .Enum(u"Kind", &TSettings::Kind, pkFish)
      .Field(u"Style", &TSettings::Style)
      .Field(u"Ratio", &TSettings::Ratio)
      .Field(u"Scale", &TSettings::Scale)
      .Field(u"Big", &TSettings::Big)
      .Field(u"Caption", &TSettings::Caption)
      .Field(u"Letter", &TSettings::Letter)
      .Object(u"Border", &TSettings::Border)
      .Object(u"Pets", &TSettings::Pets)
      .Object(u"Picture", &TSettings::Picture)
      .Object(u"Nothing", &TSettings::Nothing);
  VivIzudeRegisterClass<TFiltered>(u"TFiltered").Inherits<TSettings>();
  VivIzudeRegisterClass<TNeedsArgument>(u"TNeedsArgument").Inherits<TPetItem>();
  VivIzudeRegisterClass<TColumn>(u"TColumn").Field(u"Width", &TColumn::Width).Field(u"Title", &TColumn::Title);
  VivIzudeRegisterClass<TColumns>(u"TColumns")
      .Collection({[](TObject* C) { return static_cast<Integer>(static_cast<TColumns*>(C)->Items.size()); },
                   [](TObject* C, Integer I) -> TObject* { return static_cast<TColumns*>(C)->Items[I].get(); },
                   [](TObject* C) { static_cast<TColumns*>(C)->Items.clear(); },
                   [](TObject* C, TObject* From) {
                     auto* Source = dynamic_cast<TColumn*>(From);
                     if (!Source) throw EVivIzudeReaderException(u"not a column");
                     static_cast<TColumns*>(C)->Items.push_back(std::make_unique<TColumn>(*Source));
                   }});
  VivIzudeRegisterClass<TGrid>(u"TGrid").Object(u"Columns", &TGrid::Columns);
  VivIzudeRegisterClass<TWithRecord>(u"TWithRecord")
      .Property(u"Span", &TWithRecord::Span, &TWithRecord::SetSpan)
      .Field(u"Z", &TWithRecord::Z);
}

class Persistence : public ::testing::Test {
protected:
  void SetUp() override { RegisterTestClasses(); }

  static std::string Save(TObject* O) {
    TBytesStream S;
    TVivIzudePersistence::SaveSettingsToStream(O, &S);
    return StreamText(S);
  }
  static void Load(TObject* O, const std::string& Json, std::vector<String>* Warnings = nullptr) {
    std::unique_ptr<TBytesStream> S(NewStream(Json));
    TVivIzudePersistence::LoadSettingsFromStream(O, S.get(), Warnings);
  }
  static void Fill(TSettings& S) {
    S.SetCount(-7);
    S.SetFill(0x0000FF);
    S.Visible = true;
    S.Kind = pkFish;
    S.Style = {pkCat, pkFish};
    S.Ratio = 0.1;
    S.Scale = 2.5f;
    S.Big = 1LL << 40;
    S.Caption = u"Sm\u00F8rrebr\u00F8d \"x\"";
    S.Letter = u'\u00E9';
    S.Border->Width = 3.25;
    S.Border->Color = -1;
    auto* A = new TPetItem;
    A->SetName(u"Tom");
    auto* B = new TBigPet;
    B->SetName(u"Rex");
    B->Weight = 30;
    S.Pets->Items = {A, B};
    S.Picture->Data = {'P', 'X', 0, 255};
  }
};

TEST_F(Persistence, DocumentHasTypeFirstAndPropertiesInNameOrder) {
  TSettings S;
  Fill(S);
  EXPECT_EQ(Save(&S),
            "{\"$type\":\"TSettings\",\"Big\":1099511627776,\"Border\":{\"$type\":\"TBorder\",\"Color\":\"gcNull\","
            "\"Width\":3.25},\"Caption\":\"Sm\\u00F8rrebr\\u00F8d \\u0022x\\u0022\",\"Count\":-7,\"Fill\":\"#FF0000\","
            "\"Kind\":2,\"Letter\":\"\\u00E9\",\"Nothing\":null,\"Pets\":[{\"$type\":\"TPetItem\",\"Name\":\"Tom\"},"
            "{\"$type\":\"TBigPet\",\"Name\":\"Rex\",\"Weight\":30}],\"Picture\":\"5058"
            "00FF\",\"Ratio\":0.1,"
            "\"Scale\":2.5,\"Style\":5,\"visible\":true}");
}

TEST_F(Persistence, EveryPropertyTypeRoundTrips) {
  TSettings S;
  Fill(S);
  const std::string Text = Save(&S);
  TSettings T;
  Load(&T, Text);
  EXPECT_EQ(T.Count(), -7);
  EXPECT_EQ(T.Fill(), 0x0000FF);
  EXPECT_TRUE(T.Visible);
  EXPECT_EQ(T.Kind, pkFish);
  EXPECT_TRUE(T.Style == (TPetKinds{pkCat, pkFish}));
  EXPECT_EQ(T.Ratio, 0.1);
  EXPECT_EQ(T.Scale, 2.5f);
  EXPECT_EQ(T.Big, 1LL << 40);
  EXPECT_EQ(T.Caption, S.Caption);
  EXPECT_EQ(T.Letter, u'\u00E9');
  EXPECT_EQ(T.Border->Width, 3.25);
  EXPECT_EQ(T.Border->Color, -1);
  ASSERT_EQ(T.Pets->Items.size(), 2u);
  EXPECT_EQ(T.Pets->Items[0]->Name(), u"Tom");
  auto* Big = dynamic_cast<TBigPet*>(T.Pets->Items[1]);
  ASSERT_NE(Big, nullptr);
  EXPECT_EQ(Big->Weight, 30);
  EXPECT_EQ(T.Picture->Data, (TBytes{'P', 'X', 0, 255}));
  EXPECT_EQ(Save(&T), Text);
}

TEST_F(Persistence, ListItemsAreBuiltThroughTheirConstructors) {
  TSettings T;
  const int Before = TPetItem::Constructed;
  Load(&T, "{\"$type\":\"TSettings\",\"Pets\":[{\"$type\":\"TBigPet\",\"Name\":\"A\"},{\"$type\":\"TPetItem\"}]}");
  EXPECT_EQ(TPetItem::Constructed - Before, 2);
}

TEST_F(Persistence, CollectionsRoundTripAndAnEmptyOneStaysEmpty) {
  TGrid G;
  EXPECT_EQ(Save(&G), "{\"$type\":\"TGrid\",\"Columns\":[]}");
  G.Columns()->Items.push_back(std::make_unique<TColumn>());
  G.Columns()->Items[0]->Width = 80;
  G.Columns()->Items[0]->Title = u"Size";
  G.Columns()->Items.push_back(std::make_unique<TColumn>());
  const std::string Text = Save(&G);
  EXPECT_EQ(Text,
            "{\"$type\":\"TGrid\",\"Columns\":[{\"$type\":\"TColumn\",\"Title\":\"Size\",\"Width\":80},"
            "{\"$type\":\"TColumn\",\"Title\":\"\",\"Width\":0}]}");
  TGrid H;
  H.Columns()->Items.push_back(std::make_unique<TColumn>());
  Load(&H, Text);
  ASSERT_EQ(H.Columns()->Items.size(), 2u);
  EXPECT_EQ(H.Columns()->Items[0]->Title, u"Size");
  Load(&H, "{\"$type\":\"TGrid\",\"Columns\":[]}");
  EXPECT_TRUE(H.Columns()->Items.empty());
}

TEST_F(Persistence, ColoursAsText) {
  struct Case {
    TColor Color;
    const char16_t* Text;
  } Cases[] = {{-1, u"gcNull"}, {0x0000FF, u"#FF0000"}, {0x123456, u"#563412"}, {0, u"#000000"}};
  for (const Case& C : Cases) {
    EXPECT_EQ(TVivIzudePersistence::ColorToHexString(C.Color), C.Text);
    if (C.Color != -1) {
      EXPECT_EQ(TVivIzudePersistence::HexToColor(C.Text), C.Color);
    }
  }
  // A system colour is written as the RGB it stands for at saving time.
  EXPECT_EQ(TVivIzudePersistence::ColorToHexString(clBtnFace, [](TColor) { return 0xF0F0F0 - 0x10; }), u"#E0F0F0");
  EXPECT_EQ(TVivIzudePersistence::HexToColor(u"#FF"), 0xFF);  // missing pairs give 0
  EXPECT_EQ(TVivIzudePersistence::HexToColor(u"#ZZ0000"), 0);
  EXPECT_EQ(TVivIzudePersistence::HexToColor(u""), 0);
}

TEST_F(Persistence, UnknownReadOnlyAndEventMembersAreSkipped) {
  TSettings T;
  Load(&T,
       "{\"$type\":\"TOther\",\"Area\":5,\"Unknown\":{\"a\":[1,2,{}]},\"OnChange\":\"x\",\"COUNT\":3,"
       "\"Caption\":\"kept\"}");
  EXPECT_EQ(T.Count(), 3);
  EXPECT_EQ(T.Caption, u"kept");
}

TEST_F(Persistence, FilterDecidesWhatIsSavedAndLoaded) {
  TFiltered F;
  F.Caption = u"secret";
  F.SetCount(9);
  const std::string Text = Save(&F);
  EXPECT_EQ(Text.find("Caption"), std::string::npos);
  EXPECT_NE(Text.find("\"Count\":9"), std::string::npos);
  TFiltered G;
  Load(&G, "{\"$type\":\"TFiltered\",\"Count\":4,\"Caption\":\"c\"}");
  EXPECT_EQ(G.Count(), 0);
  EXPECT_EQ(G.Caption, u"c");
}

TEST_F(Persistence, UnsupportedKindIsNamedOnSaveAndLoad) {
  TWithRecord R;
  TBytesStream S;
  try {
    TVivIzudePersistence::SaveSettingsToStream(&R, &S);
    FAIL();
  } catch (const EVivIzudeReaderException& E) {
    EXPECT_EQ(E.Message(), u"Cannot write property Span with type tkRecord");
  }
  EXPECT_EQ(S.Size(), 0);  // nothing partial appended
  try {
    Load(&R, "{\"$type\":\"TWithRecord\",\"Span\":1}");
    FAIL();
  } catch (const EVivIzudeReaderException& E) {
    EXPECT_EQ(E.Message(), u"Cannot read property Span with type tkRecord");
  }
}

TEST_F(Persistence, MalformedDocumentsRaiseAndLeaveTheObjectAsItWas) {
  struct Case {
    const char* Json;
    const char16_t* Message;  // nullptr: an error of the JSON layer
  } Cases[] = {
      {"{\"Count\":1}", u"\"$type\" property not found in Object descriptor."},
      {"{}", u"\"$type\" property not found in Object descriptor."},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Pets\":[{\"$type\":\"TNoSuch\"}]}", u"Type \"TNoSuch\" not found"},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Pets\":[{\"$type\":\"TBorder\"}]}", nullptr},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Caption\":\"new\",\"Ratio\":\"x\"}", nullptr},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Border\":{\"$type\":\"TBorder\",\"Width\":2", nullptr},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Nothing\":{}}", nullptr},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Kind\":3}", u"Value out of range for property Kind"},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Kind\":-1}", u"Value out of range for property Kind"},
      {"{\"$type\":\"TSettings\",\"Picture\":\"5058AA\",\"Count\":\"x\"}", nullptr},
      {"{\"$type\":\"TSettings\",\"Count\":5,\"Pets\":[{\"$type\":\"TNeedsArgument\"}]}",
       u"Type \"TNeedsArgument\" not supported"},
      {"[1,2]", nullptr},
      {"", nullptr},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Json);
    TSettings T;
    Fill(T);
    const std::string Before = Save(&T);
    try {
      Load(&T, C.Json);
      ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
      if (C.Message) {
        EXPECT_EQ(E.Message(), C.Message);
      }
    }
    EXPECT_EQ(Save(&T), Before);
  }
}

TEST_F(Persistence, PictureThatIsNotHexIsReportedAndTheRestLoads) {
  TSettings T;
  T.Picture->Data = {'P', 'X', 1};
  std::vector<String> Warnings;
  Load(&T, "{\"$type\":\"TSettings\",\"Picture\":\"50XY\",\"Count\":8}", &Warnings);
  EXPECT_EQ(T.Count(), 8);
  EXPECT_EQ(T.Picture->Data, (TBytes{'P', 'X', 1}));
  ASSERT_EQ(Warnings.size(), 1u);
  // An unknown format and an empty text leave the picture as it is too.
  Load(&T, "{\"$type\":\"TSettings\",\"Picture\":\"0102\"}", &Warnings);
  EXPECT_EQ(Warnings.size(), 1u);
  Load(&T, "{\"$type\":\"TSettings\",\"Picture\":\"\"}", &Warnings);
  EXPECT_TRUE(Warnings.empty());
  EXPECT_EQ(T.Picture->Data, (TBytes{'P', 'X', 1}));
}

TEST_F(Persistence, FailedLoadEmptiesAPictureThatWasEmpty) {
  TSettings T;
  EXPECT_THROW(Load(&T, "{\"$type\":\"TSettings\",\"Picture\":\"5058AA\",\"Count\":\"x\"}"), Exception);
  EXPECT_TRUE(T.Picture->Data.empty());
}

TEST_F(Persistence, PictureAtTopLevelIsRefused) {
  TTestPicture P;
  TBytesStream S;
  EXPECT_THROW(TVivIzudePersistence::SaveSettingsToStream(&P, &S), Exception);
  EXPECT_EQ(S.Size(), 0);
}

TEST_F(Persistence, ProcessDecimalSeparatorIsNeitherUsedNorChanged) {
  const TFormatSettings Saved = FormatSettings;
  FormatSettings.DecimalSeparator = u',';
  TSettings S;
  S.Ratio = 1.25;
  const std::string Text = Save(&S);
  EXPECT_NE(Text.find("\"Ratio\":1.25"), std::string::npos);
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  TSettings T;
  Load(&T, Text);
  EXPECT_EQ(T.Ratio, 1.25);
  EXPECT_THROW(Load(&T, "{\"$type\":\"TSettings\",\"Ratio\":true}"), Exception);
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  FormatSettings = Saved;
}

TEST_F(Persistence, ReadCreatesObjectOfRequiredBase) {
  auto ReadNew = [](const std::string& Json, const TVivIzudeClassInfo* Base) {
    std::unique_ptr<TBytesStream> S(NewStream(Json));
    TVivIzudeReader R(S.get());
    return std::unique_ptr<TObject>(R.Read(Base));
  };
  const auto* PetClass = TVivIzudeClassRegistry::Instance().Find(u"TPetItem");
  auto Obj = ReadNew("{\"$type\":\"TBigPet\",\"Weight\":3}", PetClass);
  ASSERT_NE(dynamic_cast<TBigPet*>(Obj.get()), nullptr);
  EXPECT_EQ(static_cast<TBigPet*>(Obj.get())->Weight, 3);
  try {
    ReadNew("{\"$type\":\"TBorder\"}", PetClass);
    FAIL();
  } catch (const EVivIzudeReaderException& E) {
    EXPECT_EQ(E.Message(), u"Type \"TBorder\" does not inherit from TPetItem");
  }
}

TEST_F(Persistence, FileSaveLeavesFileAloneOnFailure) {
  const std::filesystem::path File = std::filesystem::temp_directory_path() / "quorvel_persist_test.json";
  const String Path = File.u16string();
  TSettings S;
  S.SetCount(12);
  TVivIzudePersistence::SaveSettingsToFile(&S, Path);
  TWithRecord R;
  EXPECT_THROW(TVivIzudePersistence::SaveSettingsToFile(&R, Path), EVivIzudeReaderException);
  TSettings T;
  TVivIzudePersistence::LoadSettingsFromFile(&T, Path);
  EXPECT_EQ(T.Count(), 12);
  std::filesystem::remove(File);
}

// Unsigned 32-bit values and sets with members past the 31st are written
// as 64-bit numbers and read back whole.
class TWideValues : public TObject {
public:
  Cardinal Mask = 0;
  TSet<TPetKind, Cardinal> Kinds;
};

TEST(PersistenceWide, UnsignedAndSetValuesPastInt32RoundTrip) {
  VivIzudeRegisterClass<TWideValues>(u"TWideValues")
      .Field(u"Mask", &TWideValues::Mask)
      .Field(u"Kinds", &TWideValues::Kinds);
  TWideValues W;
  W.Mask = 0xFFFFFFF0u;
  W.Kinds = TSet<TPetKind, Cardinal>::FromBits(0x80000001u);
  TBytesStream S;
  TVivIzudePersistence::SaveSettingsToStream(&W, &S);
  TWideValues Back;
  S.SetPosition(0);
  TVivIzudePersistence::LoadSettingsFromStream(&Back, &S);
  EXPECT_EQ(Back.Mask, 0xFFFFFFF0u);
  EXPECT_EQ(Back.Kinds.Bits(), 0x80000001u);
}

// A position that may be "not set" (-1) and a shape kind behind accessors.
enum TShapeKind { skLine, skBox };
class TPlaced : public TObject {
public:
  float Left() const { return FLeft; }
  void SetLeft(float V) { FLeft = V; }
  bool IsLeftStored() const { return FLeft != -1; }
  TShapeKind Kind() const { return FKind; }
  void SetKind(TShapeKind V) { FKind = V; }
  Integer Count = 0;

private:
  float FLeft = -1;
  TShapeKind FKind = skLine;
};

TEST(PersistenceStored, NotSetValuesStayOutAndAFailedLoadPutsThemBack) {
  VivIzudeRegisterClass<TPlaced>(u"TPlaced")
      .Property(u"Left", &TPlaced::Left, &TPlaced::SetLeft)
      .Stored(&TPlaced::IsLeftStored)
      .EnumProperty(u"Kind", &TPlaced::Kind, &TPlaced::SetKind, skBox)
      .Field(u"Count", &TPlaced::Count);
  auto SaveText = [](TPlaced& P) {
    TBytesStream S;
    TVivIzudePersistence::SaveSettingsToStream(&P, &S);
    return StreamText(S);
  };
  TPlaced P;
  EXPECT_EQ(SaveText(P), R"({"$type":"TPlaced","Count":0,"Kind":0})");
  P.SetLeft(7.5f);
  P.SetKind(skBox);
  EXPECT_EQ(SaveText(P), R"({"$type":"TPlaced","Count":0,"Kind":1,"Left":7.5})");

  // Left is written once set; a load that fails after setting it puts "not set" back.
  struct Case {
    const char* Json;
    const char16_t* Message;
  } Cases[] = {
      {R"({"$type":"TPlaced","Left":3,"Kind":2})", u"Value out of range for property Kind"},
      {R"({"$type":"TPlaced","Left":3,"Kind":-1})", u"Value out of range for property Kind"},
      {R"({"$type":"TPlaced","Left":3,"Count":"x"})", nullptr},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Json);
    TPlaced Q;
    std::unique_ptr<TBytesStream> S(NewStream(C.Json));
    try {
      TVivIzudePersistence::LoadSettingsFromStream(&Q, S.get());
      ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
      if (C.Message) {
        EXPECT_EQ(E.Message(), C.Message);
      }
    }
    EXPECT_EQ(Q.Left(), -1);
    EXPECT_EQ(Q.Kind(), skLine);
  }
}

TEST(PersistenceExcluded, ListIsCaseInsensitive) {
  EXPECT_EQ(PersistenceExcludedProperties.size(), 53u);
  EXPECT_TRUE(IsPersistenceExcludedProperty(u"tabORDER"));
  EXPECT_FALSE(IsPersistenceExcludedProperty(u"Caption"));
}

}  // namespace
