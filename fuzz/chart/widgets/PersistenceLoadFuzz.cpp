// Settings documents: any bytes either load into the object or fail with an
// error that leaves the object exactly as it was; whatever loaded saves, and
// the saved text loads back to the same state.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/widgets/VivIzudePersistence.h"
#include "fuzz/common/FuzzCheck.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"

namespace {

enum TMode { mdOne, mdTwo, mdThree };

class TItem : public TObject {
public:
  String Name;
  Int64 Size = 0;
};

class TItems : public TObject {
public:
  std::vector<std::unique_ptr<TItem>> Items;
};

class TPic : public TObject {
public:
  TBytes Data;
};

class TSub : public TObject {
public:
  double Ratio = 0;
  TColor Color = 0;
};

class TRoot : public TObject {
public:
  Integer Count = 0;
  bool Flag = false;
  TMode Mode = mdOne;
  char16_t Letter = u'x';
  TSub Sub;
  TItems List;
  TPic Pic;
  TSub* SubPtr = &Sub;
  TItems* ListPtr = &List;
  TPic* PicPtr = &Pic;
};

void Register() {
  VivIzudeRegisterClass<TItem>(u"TItem").Field(u"Name", &TItem::Name).Field(u"Size", &TItem::Size);
  VivIzudeRegisterClass<TItems>(u"TList<TItem>")
      .List({[](TObject* L) { return static_cast<Integer>(static_cast<TItems*>(L)->Items.size()); },
             [](TObject* L, Integer I) -> TObject* { return static_cast<TItems*>(L)->Items[I].get(); },
             [](TObject* L) { static_cast<TItems*>(L)->Items.clear(); },
             [](TObject* L, TObject* Item) {
               std::unique_ptr<TObject> Owned(Item);
               if (!dynamic_cast<TItem*>(Item)) throw EVivIzudeReaderException(u"not an item");
               static_cast<TItems*>(L)->Items.emplace_back(static_cast<TItem*>(Owned.release()));
             }});
  VivIzudeRegisterClass<TPic>(u"TPic").Picture({[](TObject* P) { return static_cast<TPic*>(P)->Data; },
                                                [](TObject* P, const TBytes& B) {
                                                  if (B.empty() || B[0] != 'P') return false;
                                                  static_cast<TPic*>(P)->Data = B;
                                                  return true;
                                                },
                                                [](TObject* P) { static_cast<TPic*>(P)->Data.clear(); }});
  VivIzudeRegisterClass<TSub>(u"TSub").Field(u"Ratio", &TSub::Ratio).Field(u"Color", &TSub::Color, u"TColor");
  VivIzudeRegisterClass<TRoot>(u"TRoot")
      .Field(u"Count", &TRoot::Count)
      .Field(u"Flag", &TRoot::Flag)
      .Enum(u"Mode", &TRoot::Mode, mdThree)
      .Field(u"Letter", &TRoot::Letter)
      .Object(u"Sub", &TRoot::SubPtr)
      .Object(u"List", &TRoot::ListPtr)
      .Object(u"Pic", &TRoot::PicPtr);
}

std::string SaveText(TObject* O) {
  TBytesStream S;
  TVivIzudePersistence::SaveSettingsToStream(O, &S);
  return std::string(S.Bytes().begin(), S.Bytes().begin() + static_cast<std::ptrdiff_t>(S.Size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const bool Registered = (Register(), true);
  (void)Registered;
  TRoot Root;
  Root.Count = 3;
  Root.List.Items.push_back(std::make_unique<TItem>());
  const std::string Before = SaveText(&Root);
  TBytesStream In(FuzzBytes(Data, Size));
  try {
    TVivIzudePersistence::LoadSettingsFromStream(&Root, &In);
  } catch (const Exception&) {
    FuzzCheck(SaveText(&Root) == Before, "a failed load changed the object");
    return 0;
  }
  const std::string Saved = SaveText(&Root);
  TRoot Again;
  TBytesStream Text(TBytes(Saved.begin(), Saved.end()));
  TVivIzudePersistence::LoadSettingsFromStream(&Again, &Text);
  FuzzCheck(SaveText(&Again) == Saved, "saved settings do not load back to the same state:\n" + Saved);
  return 0;
}
