#include "vcl/ImgList.h"

#include <algorithm>
#include <cstring>

#include "vcl/Pictures.h"

namespace {

// A 32-bit top-down DIB section holding Source's pixels, selected in no DC
// (comctl32 selects what it is given, and a TBitmap keeps its own selected).
TGdiObject CopyToDib(TBitmap* Source) {
  TBitmap copy;
  copy.Assign(Source);
  copy.SetPixelFormat(pf32bit);
  return DibSectionCopy(copy);
}

// A monochrome copy of Mask for ImageList_Add.
TGdiObject CopyToMask(TBitmap* Mask) {
  if (!Mask || Mask->Width() <= 0) return {};
  TGdiObject mono(CreateBitmap(Mask->Width(), Mask->Height(), 1, 1, nullptr));
  const TMemoryDC dc;
  const TSelectGuard select(dc.Get(), mono.Get());
  BitBlt(dc.Get(), 0, 0, Mask->Width(), Mask->Height(), Mask->Canvas()->Handle(), 0, 0, SRCCOPY);
  return mono;
}

COLORREF ToColorRef(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(Color));
}

}  // namespace

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, Integer AWidth, Integer AHeight)
    : TComponent(AOwner), FWidth(std::max(1, AWidth)), FHeight(std::max(1, AHeight)) {}

TCustomImageList::~TCustomImageList() { FreeHandle(); }

void TCustomImageList::BeforeDestruction() {
  for (TChangeLink* link : FLinks) link->FSender = nullptr;
  FLinks.clear();
  TComponent::BeforeDestruction();
}

HIMAGELIST TCustomImageList::Handle() {
  if (!FHandle) {
    FHandle.Reset(ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 4, 4));
    if (!FHandle) throw EOutOfResources(u"Failed to create an image list");
    ImageList_SetBkColor(FHandle.Get(), ToColorRef(FBkColor));
  }
  return FHandle.Get();
}

void TCustomImageList::FreeHandle() { FHandle.Reset(); }

void TCustomImageList::SetSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max(1, AWidth);
  AHeight = std::max(1, AHeight);
  if (AWidth == FWidth && AHeight == FHeight) return;
  FWidth = AWidth;
  FHeight = AHeight;
  FreeHandle();
  Change();
}

Integer TCustomImageList::Count() { return FHandle ? ImageList_GetImageCount(FHandle.Get()) : 0; }

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image) return -1;
  TGdiObject image = CopyToDib(Image);
  if (!image) return -1;
  TGdiObject mask = CopyToMask(Mask);
  const int index = ImageList_Add(Handle(), static_cast<HBITMAP>(image.Get()), static_cast<HBITMAP>(mask.Get()));
  if (index >= 0) Change();
  return index;
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  if (MaskColor == clDefault) MaskColor = Image->Canvas()->Pixel(0, Image->Height() - 1);
  TGdiObject image = CopyToDib(Image);
  if (!image) return -1;
  const int index =
      ImageList_AddMasked(Handle(), static_cast<HBITMAP>(image.Get()), static_cast<COLORREF>(ColorToRGB(MaskColor)));
  if (index >= 0) Change();
  return index;
}

Integer TCustomImageList::AddIcon(HICON Icon) {
  if (!Icon) return -1;
  const int index = ImageList_ReplaceIcon(Handle(), -1, Icon);
  if (index >= 0) Change();
  return index;
}

Integer TCustomImageList::AddResourceBitmap(HINSTANCE Instance, const String& Name, TColor MaskColor) {
  TBitmap strip;
  strip.LoadFromResourceName(Instance, Name);
  return AddMasked(&strip, MaskColor);
}

Integer TCustomImageList::AddResourcePicture(HINSTANCE Instance, const String& Name) {
  TGdiPlusGraphic picture;
  picture.LoadFromResourceName(Instance, Name);
  return Add(picture.Bitmap(), nullptr);
}

void TCustomImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(u"Invalid ImageList Index");
  TGdiObject image = CopyToDib(Image);
  TGdiObject mask = CopyToMask(Mask);
  if (ImageList_Replace(Handle(), Index, static_cast<HBITMAP>(image.Get()), static_cast<HBITMAP>(mask.Get()))) Change();
}

void TCustomImageList::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(u"Invalid ImageList Index");
  if (ImageList_Remove(Handle(), Index)) Change();
}

void TCustomImageList::Clear() {
  if (FHandle && ImageList_Remove(FHandle.Get(), -1)) Change();
}

void TCustomImageList::GetBitmap(Integer Index, TBitmap* Image) {
  if (!Image) return;
  Image->SetPixelFormat(pf32bit);
  Image->SetSize(FWidth, FHeight);
  Image->Canvas()->Brush()->SetColor(FBkColor == clNone ? clWhite : FBkColor);
  Image->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
  if (Index >= 0 && Index < Count()) ImageList_Draw(FHandle.Get(), Index, Image->Canvas()->Handle(), 0, 0, ILD_NORMAL);
}

bool TCustomImageList::Overlay(Integer Index, TOverlay AOverlay) {
  if (AOverlay > 14) return false;
  return ImageList_SetOverlayImage(Handle(), Index, AOverlay + 1) != FALSE;
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle.Get(), ToColorRef(Value));
  Change();
}

UINT TCustomImageList::StyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const {
  UINT flags = ILD_NORMAL;
  switch (ADrawingStyle) {
    case dsFocus:
      flags = ILD_FOCUS;
      break;
    case dsSelected:
      flags = ILD_SELECTED;
      break;
    case dsTransparent:
      flags = ILD_TRANSPARENT;
      break;
    case dsNormal:
      break;
  }
  if (AImageType == itMask) flags |= ILD_MASK;
  return flags;
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!Canvas || !FHandle || Index < 0 || Index >= Count()) return;
  DoDraw(Index, Canvas, X, Y, StyleFlags(ADrawingStyle, AImageType), Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, Integer X, Integer Y, Integer ImageIndex, TOverlay AOverlay,
                                   bool Enabled) {
  if (!Canvas || !FHandle || ImageIndex < 0 || ImageIndex >= Count() || AOverlay > 14) return;
  DoDraw(ImageIndex, Canvas, X, Y, StyleFlags(FDrawingStyle, FImageType) | INDEXTOOVERLAYMASK(AOverlay + 1), Enabled);
}

void TCustomImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled) {
  IMAGELISTDRAWPARAMS params{};
  params.cbSize = sizeof(params);
  params.himl = Handle();
  params.i = Index;
  params.hdcDst = Canvas->Handle();
  params.x = X;
  params.y = Y;
  params.rgbBk = CLR_DEFAULT;
  params.rgbFg = ToColorRef(FBlendColor == clNone ? clDefault : FBlendColor);
  params.fStyle = Style;
  params.fState = Enabled ? ILS_NORMAL : ILS_SATURATE;
  ImageList_DrawIndirect(&params);
}

void TCustomImageList::RegisterChanges(TChangeLink* Link) {
  if (!Link || Link->FSender == this) return;
  if (Link->FSender) Link->FSender->UnRegisterChanges(Link);
  Link->FSender = this;
  FLinks.push_back(Link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Link) {
  if (!Link) return;
  FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), Link), FLinks.end());
  if (Link->FSender == this) Link->FSender = nullptr;
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedWhileUpdating) {
    FChangedWhileUpdating = false;
    Change();
  }
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChangedWhileUpdating = true;
    return;
  }
  const std::vector<TChangeLink*> links = FLinks;
  for (TChangeLink* link : links)
    if (link->FSender == this && link->OnChange) link->OnChange(this);
  if (OnChange) OnChange(this);
}
