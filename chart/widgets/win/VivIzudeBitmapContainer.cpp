#include "chart/widgets/win/VivIzudeBitmapContainer.h"

#include <cstdlib>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "chart/drawing/win/VivIzudeTypes.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Forms.h"

#include <wininet.h>

namespace {

using TFindHandle = TWinHandle<HANDLE, &::FindClose>;
using TInternetHandle = TWinHandle<HINTERNET, &::InternetCloseHandle>;

const wchar_t* Wide(const String& S) { return reinterpret_cast<const wchar_t*>(S.c_str()); }

// The body of an image reply; an empty stream when the reply is no image.
// Exception "Unable to initialize Wininet" or "Cannot open URL <url>".
std::unique_ptr<TMemoryStream> DownloadImage(const String& AURL) {
  auto Result = std::make_unique<TMemoryStream>();
  TInternetHandle Session(::InternetOpenW(L"TVivIzudeUtils", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!Session) throw Exception(u"Unable to initialize Wininet");
  TInternetHandle Request(
      ::InternetOpenUrlW(Session.Get(), Wide(AURL), nullptr, 0,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0));
  if (!Request) throw Exception(u"Cannot open URL " + AURL);
  wchar_t ContentType[256] = {};
  DWORD Size = sizeof(ContentType);
  DWORD Index = 0;
  if (!::HttpQueryInfoW(Request.Get(), HTTP_QUERY_CONTENT_TYPE, ContentType, &Size, &Index)) return Result;
  const String Type(reinterpret_cast<const char16_t*>(ContentType));
  if (UpperCase(Type).find(u"IMAGE") == String::npos) return Result;
  Byte Buffer[1025];
  DWORD Read = 0;
  while (::InternetReadFile(Request.Get(), Buffer, sizeof(Buffer), &Read) && Read > 0)
    Result->WriteBuffer(Buffer, static_cast<Integer>(Read));
  return Result;
}

TPicture* FindInContainer(TVivIzudeBitmapContainer* AContainer, const String& AName) {
  return AContainer ? AContainer->FindBitmap(AName) : nullptr;
}

// The drawing layer finds container pictures by name through this unit.
struct TFacadeLookup {
  TFacadeLookup() { TVivIzudeGraphics::FindBitmapInContainer = &FindInContainer; }
} FacadeLookup;

}  // namespace

// ---------------------------------------------------------------- item

TVivIzudeBitmapItem::TVivIzudeBitmapItem(TCollection* Collection)
    : TCollectionItem(Collection), FBitmap(std::make_unique<TPicture>()) {
  FBitmap->OnChange = [this](TObject* Sender) { DoBitmapChanged(Sender); };
  if (Collection) FName = u"Item" + IntToStr(Collection->Count());
}

TVivIzudeBitmapItem::~TVivIzudeBitmapItem() { FBitmap->OnChange = nullptr; }

void TVivIzudeBitmapItem::Assign(TPersistent* Source) {
  if (auto* Item = dynamic_cast<TVivIzudeBitmapItem*>(Source)) {
    FName = Item->FName;
    FTag = Item->FTag;
    FBitmap->Assign(Item->FBitmap.get());
    return;
  }
  TCollectionItem::Assign(Source);
}

void TVivIzudeBitmapItem::DoBitmapChanged(TObject*) {
  if (auto* Items = dynamic_cast<TVivIzudeBitmapCollection*>(Collection()))
    if (Items->Container()) Items->Container()->BitmapChanged();
}

// ---------------------------------------------------------------- collection

TVivIzudeBitmapCollection::TVivIzudeBitmapCollection(TVivIzudeBitmapContainer* AOwner)
    : TOwnedCollection(AOwner, TCollection::ItemClass<TVivIzudeBitmapItem>()), FOwner(AOwner) {}

// ---------------------------------------------------------------- container

TVivIzudeBitmapContainer::TVivIzudeBitmapContainer(TComponent* AOwner) : TVivIzudeCustomComponent(AOwner) {
  FItems = CreateItems();
  if (!IsDesigning()) RegisterRuntimeClasses();
}

TVivIzudeBitmapContainer::~TVivIzudeBitmapContainer() {
  FControls.clear();
  FItems.reset();
}

std::unique_ptr<TVivIzudeBitmapCollection> TVivIzudeBitmapContainer::CreateItems() {
  return std::make_unique<TVivIzudeBitmapCollection>(this);
}

String TVivIzudeBitmapContainer::GetVersion() const { return FormatVersionString(1, 0, 0, 0); }

NativeUInt TVivIzudeBitmapContainer::GetInstance() const { return TVivIzudeUtils::GetHInstance(); }

void TVivIzudeBitmapContainer::RegisterRuntimeClasses() { RegisterVivIzudeBitmapContainerClasses(); }

void TVivIzudeBitmapContainer::Append(TPicture& APicture, const String& BitmapName) {
  TVivIzudeBitmapItem* Item = FItems->Add();
  Item->SetName(BitmapName);
  Item->SetBitmap(&APicture);
}

void TVivIzudeBitmapContainer::AddFromFile(const String& FileName, const String& BitmapName) {
  TPicture Picture;
  Picture.LoadFromFile(FileName);
  Append(Picture, BitmapName);
}

void TVivIzudeBitmapContainer::AddFromFolder(const String& AFolder) {
  WIN32_FIND_DATAW Found{};
  TFindHandle Search(::FindFirstFileW(Wide(AFolder), &Found));
  if (Search.Get() == INVALID_HANDLE_VALUE) {
    Search.Release();
    return;
  }
  const String Folder = ExtractFilePath(AFolder);
  do {
    if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const String Name(reinterpret_cast<const char16_t*>(Found.cFileName));
    TPicture Picture;
    try {
      Picture.LoadFromFile(Folder + Name);
    } catch (const Exception&) {
      continue;
    }
    Append(Picture, Name);
  } while (::FindNextFileW(Search.Get(), &Found));
}

void TVivIzudeBitmapContainer::AddFromResource(const String& ResourceName, const String& BitmapName,
                                               NativeUInt AInstance) {
  TPicture Picture;
  LoadPictureFromResource(&Picture, ResourceName, AInstance);
  if (IsPictureEmpty(&Picture)) return;
  Append(Picture, BitmapName);
}

void TVivIzudeBitmapContainer::AddFromURL(const String& URL, const String& BitmapName) {
  std::unique_ptr<TMemoryStream> Data = DownloadImage(URL);
  TPicture Picture;
  if (Data->Size() > 0) {
    Data->SetPosition(0);
    LoadPictureFromStream(&Picture, Data.get());
  }
  if (IsPictureEmpty(&Picture)) throw Exception(u"No picture at " + URL);
  Append(Picture, BitmapName);
}

TPicture* TVivIzudeBitmapContainer::FindBitmap(const String& s) const {
  const String Key = UpperCase(s);
  for (Integer I = 0; I < FItems->Count(); ++I)
    if (UpperCase(FItems->Items(I)->Name()) == Key) return FItems->Items(I)->Bitmap();
  return nullptr;
}

void TVivIzudeBitmapContainer::FindBitmap(Integer i, TPicture* ABitmap) const {
  if (i >= 0 && i < FItems->Count() && ABitmap) ABitmap->Assign(FItems->Items(i)->Bitmap());
}

TPicture* TVivIzudeBitmapContainer::GetBitmap(Integer AIndex) const {
  return AIndex >= 0 && AIndex < FItems->Count() ? FItems->Items(AIndex)->Bitmap() : nullptr;
}

String TVivIzudeBitmapContainer::GetBitmapName(Integer AIndex) const {
  return AIndex >= 0 && AIndex < FItems->Count() ? FItems->Items(AIndex)->Name() : String();
}

Integer TVivIzudeBitmapContainer::RandomIndex() const {
  return ItemCount() > 0 ? static_cast<Integer>(std::rand() % ItemCount()) : -1;
}

TPicture* TVivIzudeBitmapContainer::RandomBitmap() const { return GetBitmap(RandomIndex()); }

String TVivIzudeBitmapContainer::RandomBitmapName() const { return GetBitmapName(RandomIndex()); }

void TVivIzudeBitmapContainer::RegisterControl(TControl* AControl) {
  // A control freed elsewhere must leave the list before Changed reaches it.
  AControl->FreeNotification(this);
  FControls.push_back(AControl);
}

void TVivIzudeBitmapContainer::Changed() {
  for (TControl* Control : FControls) Control->Invalidate();
}

void TVivIzudeBitmapContainer::Notification(TComponent* AComponent, TOperation Operation) {
  TVivIzudeCustomComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (std::size_t I = FControls.size(); I-- > 0;)
    if (FControls[I] == AComponent) FControls.erase(FControls.begin() + static_cast<std::ptrdiff_t>(I));
}

void TVivIzudeBitmapContainer::NotifyControl(TWinControl* AControl) {
  const TVivIzudeClassInfo* Info = TVivIzudeClassRegistry::Instance().ClassOf(AControl);
  if (Info && Info->FindProperty(u"BitmapContainer")) AControl->Invalidate();
  for (Integer I = 0; I < AControl->ControlCount(); ++I)
    if (auto* Child = dynamic_cast<TWinControl*>(AControl->Controls(I))) NotifyControl(Child);
}

void TVivIzudeBitmapContainer::BitmapChanged() {
  if (IsDestroying()) return;
  if (TCustomForm* Form = GetParentForm(this))
    for (Integer I = 0; I < Form->ControlCount(); ++I)
      if (auto* Child = dynamic_cast<TWinControl*>(Form->Controls(I))) NotifyControl(Child);
  if (OnBitmapChanged) OnBitmapChanged(this);
}

// ---------------------------------------------------------------- settings registry

namespace {

void RegisterPictureClass() {
  if (TVivIzudeClassRegistry::Instance().Find(std::type_index(typeid(TPicture)))) return;
  VivIzudeRegisterClass<TPicture>(u"TPicture")
      .Picture({[](TObject* O) {
                  TBytesStream Data;
                  SavePictureToStream(static_cast<TPicture*>(O), &Data);
                  TBytes Bytes = Data.Bytes();
                  Bytes.resize(static_cast<std::size_t>(Data.Size()));
                  return Bytes;
                },
                [](TObject* O, const TBytes& Bytes) {
                  auto* Picture = static_cast<TPicture*>(O);
                  TMemoryStream Data;
                  if (!Bytes.empty()) Data.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
                  Data.SetPosition(0);
                  TPicture Loaded;
                  try {
                    LoadPictureFromStream(&Loaded, &Data);
                  } catch (const Exception&) {
                    return false;
                  }
                  if (IsPictureEmpty(&Loaded)) return false;
                  Picture->Assign(&Loaded);
                  return true;
                },
                [](TObject* O) { static_cast<TPicture*>(O)->SetGraphic(nullptr); }});
}

}  // namespace

void RegisterVivIzudeBitmapContainerClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeCustomComponentClass();
    RegisterPictureClass();
    using TItem = TVivIzudeBitmapItem;
    TVivIzudeClassInfo& ItemInfo =
        TVivIzudeClassRegistry::Instance().Add(std::type_index(typeid(TItem)), u"TVivIzudeBitmapItem");
    TVivIzudeClassBuilder<TItem>(ItemInfo)
        .Object(u"Bitmap", &TItem::Bitmap)
        .Property(u"Name", &TItem::Name, &TItem::SetName)
        .Property(u"Tag", &TItem::Tag, &TItem::SetTag);
    // An item made for the reader belongs to no collection until it is copied.
    ItemInfo.Create = [] { return static_cast<TObject*>(new TItem(nullptr)); };
    using TItems = TVivIzudeBitmapCollection;
    VivIzudeRegisterClass<TItems>(u"TVivIzudeBitmapCollection")
        .Collection(VivIzudeCollectionAccessOf<TItems>(
            [](TItems* Items, TObject* Source) { Items->Add()->Assign(static_cast<TPersistent*>(Source)); }));
    using TC = TVivIzudeBitmapContainer;
    VivIzudeRegisterClass<TC>(u"TVivIzudeBitmapContainer")
        .Inherits<TVivIzudeCustomComponent>()
        .Object(u"Items", &TC::Items)
        .ReadOnly(u"Version", &TC::GetVersion)
        .Event(u"OnBitmapChanged");
    return true;
  }();
  (void)Registered;
}
