#pragma once
// A graphics-painted control showing one picture: its own Bitmap, or when
// that is empty the best picture for the display scale from its Bitmaps
// list or its bitmap container, placed by the aspect-ratio, stretch,
// centre and cropping switches.
#include <memory>

#include "chart/drawing/win/VivIzudeTypes.h"
#include "chart/widgets/win/VivIzudeBitmapContainer.h"
#include "chart/widgets/win/VivIzudeCustomControl.h"

class TVivIzudeCustomImage : public TVivIzudeCustomControl {
public:
  explicit TVivIzudeCustomImage(TComponent* AOwner);
  ~TVivIzudeCustomImage() override;

  TPicture* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TPicture* Value);
  TVivScaledBitmaps* Bitmaps() const { return FBitmaps.get(); }
  void SetBitmaps(TVivScaledBitmaps* Value);
  TVivIzudeBitmapContainer* BitmapContainer() const { return FBitmapContainer; }
  void SetBitmapContainer(TVivIzudeBitmapContainer* Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Cropping() const { return FCropping; }
  void SetCropping(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool AspectRatio() const { return FAspectRatio; }
  void SetAspectRatio(bool Value);
  String GetVersion() const override;

  // Empties the Bitmaps list; Bitmap stays.
  void Clear();
  // Bitmap unless empty, else the list's (or container's) picture for the
  // display scale; nullptr when none.
  TPicture* GetBitmap() const;
  // Where the picture goes, unrounded; all zeros without a picture.
  TRectF GetPaintRectangle() const;

  TNotifyEvent OnBitmapChanged;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) override;
  void BitmapChanged(TObject* Sender);
  void UpdateAutoSize();

private:
  // The picture's size and place before rounding.
  bool PlaceBitmap(TPicture* P, float& X, float& Y, float& W, float& H) const;
  std::unique_ptr<TPicture> FBitmap;
  TVivIzudeBitmapContainer* FBitmapContainer = nullptr;  // not owned; free notification
  bool FStretch = false;
  std::unique_ptr<TVivScaledBitmaps> FBitmaps;
  bool FCropping = false;
  bool FCenter = true;
  bool FAutoSize = false;
  bool FAspectRatio = true;
};

class TVivIzudeImage : public TVivIzudeCustomImage {
public:
  explicit TVivIzudeImage(TComponent* AOwner);
  void RegisterRuntimeClasses() override;
};

void RegisterVivIzudeImageClasses();
