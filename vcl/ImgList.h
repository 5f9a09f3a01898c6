#pragma once
// Image lists over comctl32: same-sized pictures by index, 32-bit with a
// mask, shared by actions, menus, buttons and trees. Users hear of changes
// through a change link (or OnChange) and free notification.
#include <vector>

#include "rtl/Types.h"
#include "vcl/Classes.h"
#include "vcl/Graphics.h"
#include "rtl/Win32.h"

class TCustomImageList;

// A client's hook on an image list's changes; unregisters itself when freed.
class TChangeLink {
public:
  TChangeLink() = default;
  ~TChangeLink();
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;
  TCustomImageList* Sender() const { return FSender; }
  TNotifyEvent OnChange;

private:
  friend class TCustomImageList;
  TCustomImageList* FSender = nullptr;  // not owned
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
using TOverlay = Byte;  // 0..14, one of the list's overlay slots

class TCustomImageList : public TComponent {
public:
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(TComponent* AOwner, Integer AWidth, Integer AHeight);
  ~TCustomImageList() override;

  // The comctl32 list, made on demand (32-bit colour with a mask).
  HIMAGELIST Handle();
  bool HandleAllocated() const { return static_cast<bool>(FHandle); }

  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  // Changing the size empties the list.
  void SetWidth(Integer Value) { SetSize(Value, FHeight); }
  void SetHeight(Integer Value) { SetSize(FWidth, Value); }
  void SetSize(Integer AWidth, Integer AHeight);
  Integer Count();

  // Each adds as many images as Image is Width wide (a strip), answering
  // the index of the first, or -1 when nothing could be added. Mask: a
  // monochrome picture whose white pixels are transparent (nullptr: none).
  Integer Add(TBitmap* Image, TBitmap* Mask);
  // Pixels of MaskColor become transparent (clDefault: the bottom-left pixel's).
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  Integer AddIcon(HICON Icon);
  // A BITMAP resource strip, or any picture GDI+ reads from an RCDATA
  // resource (PNG strips keep their alpha). EResNotFound when it is absent.
  Integer AddResourceBitmap(HINSTANCE Instance, const String& Name, TColor MaskColor = clDefault);
  Integer AddResourcePicture(HINSTANCE Instance, const String& Name);
  void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  void Delete(Integer Index);
  void Clear();
  // Copies image Index into Image (resized to the list's size, pf32bit).
  void GetBitmap(Integer Index, TBitmap* Image);
  // Makes image Index usable as overlay Overlay in Draw's OverlayIndex.
  bool Overlay(Integer Index, TOverlay Overlay);

  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value) { FBlendColor = Value; }
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value) { FImageType = Value; }

  // Draws image Index at X, Y in the list's style; a disabled image is
  // drawn greyed. OverlayIndex >= 0 draws that overlay on top.
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  void DrawOverlay(TCanvas* Canvas, Integer X, Integer Y, Integer ImageIndex, TOverlay Overlay, bool Enabled = true);

  void RegisterChanges(TChangeLink* Link);
  void UnRegisterChanges(TChangeLink* Link);
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  TNotifyEvent OnChange;

protected:
  // The drawing every Draw ends in; Style holds ILD_* flags.
  virtual void DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled);
  virtual void Change();
  void BeforeDestruction() override;

private:
  void FreeHandle();
  UINT StyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const;

  TImageListHandle FHandle;
  Integer FWidth = 16;
  Integer FHeight = 16;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  std::vector<TChangeLink*> FLinks;  // not owned
  Integer FUpdateCount = 0;
  bool FChangedWhileUpdating = false;
};

class TImageList : public TCustomImageList {
public:
  using TCustomImageList::TCustomImageList;
};
