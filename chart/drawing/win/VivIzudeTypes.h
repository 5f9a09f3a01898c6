#pragma once
// The basic toolkit's picture side: emptiness, stream and resource loading
// of the class library's pictures, and TVivScaledBitmaps, one picture per
// display scale.
#include <memory>

#include "chart/drawing/VivIzudeTypes.h"
#include "chart/drawing/VivIzudeUtils.h"
#include "vcl/Classes.h"
#include "vcl/Pictures.h"

// Nil, without a graphic, or with an empty one.
bool IsPictureEmpty(const TPicture* APicture);
TGraphic* GetPictureGraphic(const TPicture* APicture);
// The graphic in its own format; nothing without a stream or a graphic.
void SavePictureToStream(const TPicture* APicture, TStream* AStream);
// A picture of the class the bytes start with; nothing for a nil stream or
// an unknown format.
void LoadPictureFromStream(TPicture* APicture, TMemoryStream* AStream);
// The module's RCDATA resource; the picture is unchanged when there is none.
void LoadPictureFromResource(TPicture* APicture, const String& AResourceName, NativeUInt AInstance);
// A new picture (empty when the resource is missing), owned by the caller.
std::unique_ptr<TPicture> CreatePictureFromResource(const String& AResourceName);
std::unique_ptr<TPicture> CreatePictureFromResource(const String& AResourceName, NativeUInt AInstance);

class TVivScaledBitmap : public TCollectionItem {
public:
  explicit TVivScaledBitmap(TCollection* Collection);
  ~TVivScaledBitmap() override;
  void Assign(TPersistent* Source) override;
  TPicture* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TPicture* Value);
  float Scale() const { return FScale; }
  void SetScale(float Value);
  const String& BitmapName() const { return FBitmapName; }
  void SetBitmapName(const String& Value);

private:
  std::unique_ptr<TPicture> FBitmap;
  float FScale = 1;
  String FBitmapName;
};

class TVivScaledBitmaps : public TCollection {
public:
  // AOwner: the owner for naming (not owned).
  explicit TVivScaledBitmaps(TPersistent* AOwner = nullptr);
  TPersistent* GetOwner() const override { return FOwner; }
  TVivScaledBitmap* Items(Integer Index) const { return static_cast<TVivScaledBitmap*>(TCollection::Items(Index)); }
  TVivScaledBitmap* Add(float Scale = 1);
  TVivScaledBitmap* Insert(Integer Index);
  TVivScaledBitmap* Insert(Integer Index, float Scale);
  TVivScaledBitmap* AddBitmap(TPicture* Bitmap, float Scale = 1);
  TVivScaledBitmap* AddDrawBitmap(TGraphic* Bitmap, float Scale = 1);
  // Loading errors propagate; the item stays.
  TVivScaledBitmap* AddBitmapFromFile(const String& FileName, float Scale = 1);
  TVivScaledBitmap* AddBitmapFromResource(const String& ResourceName, float Scale = 1);
  TVivScaledBitmap* AddBitmapFromResource(const String& ResourceName, NativeUInt AInstance, float Scale);
  TVivScaledBitmap* AddBitmapName(const String& BitmapName, float Scale = 1);
  // The item of exactly Scale; else the one of the largest positive scale
  // (the first of equals); nullptr when none qualifies.
  TVivScaledBitmap* GetItemByScale(float Scale) const;
  TPicture* GetBitmapByScale(float Scale) const;
  TPicture* GetBitmap(float Scale) const { return GetBitmapByScale(Scale); }
  // Into the picture of the item of exactly Scale, or of a new item of
  // that scale: never into an item of another scale.
  void SetBitmap(float Scale, TPicture* Value);
  // OnChange (the collection's) fires on every change of an item.

private:
  TPersistent* FOwner;  // not owned
};

// An owned collection of T (a TCollectionItem) with a typed item accessor;
// enumerable with GetEnumerator (MoveNext, GetCurrent) or a range-for.
template <class T>
class TVivOwnedCollection : public TCollection {
public:
  // AOwner: the owner for naming (not owned).
  explicit TVivOwnedCollection(TPersistent* AOwner) : TCollection(TCollection::ItemClass<T>()), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  T* GetItem(Integer AIndex) const { return static_cast<T*>(TCollection::Items(AIndex)); }

  class TEnumerator {
  public:
    explicit TEnumerator(const TVivOwnedCollection* ACol) : FCol(ACol) {}
    T* GetCurrent() const { return FCol->GetItem(FIndex); }
    bool MoveNext() {
      if (FIndex >= FCol->Count()) return false;
      return ++FIndex < FCol->Count();
    }

  private:
    Integer FIndex = -1;
    const TVivOwnedCollection* FCol;  // not owned
  };
  TEnumerator GetEnumerator() const { return TEnumerator(this); }

  // Range-for over the items in order.
  class TIterator {
  public:
    TIterator(const TVivOwnedCollection* ACol, Integer AIndex) : FCol(ACol), FIndex(AIndex) {}
    T* operator*() const { return FCol->GetItem(FIndex); }
    TIterator& operator++() {
      ++FIndex;
      return *this;
    }
    bool operator!=(const TIterator& Other) const { return FIndex != Other.FIndex; }

  private:
    const TVivOwnedCollection* FCol;  // not owned
    Integer FIndex;
  };
  TIterator begin() const { return TIterator(this, 0); }
  TIterator end() const { return TIterator(this, Count()); }

private:
  TPersistent* FOwner;  // not owned
};
