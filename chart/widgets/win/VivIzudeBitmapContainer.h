#pragma once
// A non-visual component that stores named pictures, so that widgets, the
// drawing facade and marked-up text refer to a picture by name. When a
// stored picture changes, the controls of the container's form that have a
// BitmapContainer property repaint.
//
// Adding never leaves an empty item behind: a picture that cannot be
// loaded (file, folder entry, resource, download) adds nothing.
#include <memory>
#include <vector>

#include "chart/widgets/win/VivIzudeCustomComponent.h"
#include "vcl/Classes.h"
#include "vcl/Pictures.h"

class TVivIzudeBitmapContainer;

class TVivIzudeBitmapItem : public TCollectionItem {
public:
  // Named "Item" and the collection's count after the insertion.
  explicit TVivIzudeBitmapItem(TCollection* Collection);
  ~TVivIzudeBitmapItem() override;
  // From another item: picture, name and tag.
  void Assign(TPersistent* Source) override;

  TPicture* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TPicture* Value) { FBitmap->Assign(Value); }
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }
  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }

private:
  void DoBitmapChanged(TObject* Sender);
  std::unique_ptr<TPicture> FBitmap;
  NativeInt FTag = 0;
  String FName;
};

class TVivIzudeBitmapCollection : public TOwnedCollection {
public:
  explicit TVivIzudeBitmapCollection(TVivIzudeBitmapContainer* AOwner);
  TVivIzudeBitmapItem* Add() { return static_cast<TVivIzudeBitmapItem*>(TCollection::Add()); }
  TVivIzudeBitmapItem* Insert(Integer Index) { return static_cast<TVivIzudeBitmapItem*>(TCollection::Insert(Index)); }
  TVivIzudeBitmapItem* Items(Integer Index) const {
    return static_cast<TVivIzudeBitmapItem*>(TCollection::Items(Index));
  }
  void SetItems(Integer Index, TVivIzudeBitmapItem* Value) { Items(Index)->Assign(Value); }
  TVivIzudeBitmapContainer* Container() const { return FOwner; }

private:
  TVivIzudeBitmapContainer* FOwner;  // not owned
};

class TVivIzudeBitmapContainer : public TVivIzudeCustomComponent {
public:
  explicit TVivIzudeBitmapContainer(TComponent* AOwner = nullptr);
  ~TVivIzudeBitmapContainer() override;

  TVivIzudeBitmapCollection* Items() const { return FItems.get(); }
  void SetItems(TVivIzudeBitmapCollection* Value) { FItems->Assign(Value); }
  String GetVersion() const override;
  NativeUInt GetInstance() const override;
  void RegisterRuntimeClasses() override;

  // Appends the file's picture named BitmapName; a load error propagates
  // and nothing is added.
  void AddFromFile(const String& FileName, const String& BitmapName);
  // Every file AFolder's mask matches (a folder and a wildcard mask), named
  // by its file name, in the order the system lists them; files that fail
  // to load are passed over.
  void AddFromFolder(const String& AFolder);
  // Nothing is added when the module has no such RCDATA resource or it
  // holds no picture.
  void AddFromResource(const String& ResourceName, const String& BitmapName, NativeUInt AInstance);
  void AddFromResource(const String& ResourceName, const String& BitmapName) {
    AddFromResource(ResourceName, BitmapName, GetInstance());
  }
  // Downloads the picture and appends it named BitmapName. A download that
  // fails or brings no picture raises Exception and adds nothing.
  virtual void AddFromURL(const String& URL, const String& BitmapName);

  // The first item whose name equals s in ASCII upper case; nullptr when none.
  virtual TPicture* FindBitmap(const String& s) const;
  // ABitmap takes a copy of item i's picture; unchanged out of range.
  virtual void FindBitmap(Integer i, TPicture* ABitmap) const;
  TPicture* GetBitmap(Integer AIndex) const;
  String GetBitmapName(Integer AIndex) const;
  Integer ItemCount() const { return FItems->Count(); }
  TPicture* RandomBitmap() const;
  String RandomBitmapName() const;

  // Controls repainted by Changed, in registration order (duplicates kept).
  void RegisterControl(TControl* AControl);
  const std::vector<TControl*>& RegisteredControls() const { return FControls; }
  virtual void Changed();

  TNotifyEvent OnBitmapChanged;

protected:
  virtual std::unique_ptr<TVivIzudeBitmapCollection> CreateItems();
  // Repaints AControl when its class has a BitmapContainer property, then
  // its windowed children, depth first.
  virtual void NotifyControl(TWinControl* AControl);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TVivIzudeBitmapItem;
  void BitmapChanged();
  // Appends an item holding APicture named BitmapName.
  void Append(TPicture& APicture, const String& BitmapName);
  Integer RandomIndex() const;

  std::vector<TControl*> FControls;  // not owned; entries leave on removal
  std::unique_ptr<TVivIzudeBitmapCollection> FItems;
};

void RegisterVivIzudeBitmapContainerClasses();
