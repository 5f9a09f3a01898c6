// The GDI+ chart picture: encoded bytes, decoded on first use.
#include <shlwapi.h>

#include "chart/model/ChartImageHeaders.h"
#include "chart/view/VivIzudeGDIP.h"
#include "rtl/ScopeExit.h"
#include "vcl/Pictures.h"
#include "rtl/Resources.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"

namespace {
TBytes ReadAll(TStream& Stream) {
  TBytesStream Copy;
  Copy.CopyFrom(Stream, 0);
  return Copy.Bytes();
}
}  // namespace

TChartGDIPPicture::TChartGDIPPicture() { FTransparent = false; }

TChartGDIPPicture::~TChartGDIPPicture() = default;

bool TChartGDIPPicture::Fail(const String& Why) {
  FLoadError = Why;
  return false;
}

TGPBitmap* TChartGDIPPicture::Image() const {
  if (FDecoded) return FImage.get();
  FDecoded = true;
  if (FIsEmpty || FBytes.empty() || FBytes.size() >= 0x7FFFFFFF || !GdiPlusReady()) return nullptr;
  const TComPtr<IStream> Stream(SHCreateMemStream(FBytes.data(), static_cast<UINT>(FBytes.size())));
  if (!Stream) return nullptr;
  auto Decoded = std::make_unique<TGPBitmap>(Stream.Get());  // the image takes its own reference
  if (Decoded->LastResult() == Ok && Decoded->Native()) FImage = std::move(Decoded);
  return FImage.get();
}

bool TChartGDIPPicture::LoadFromBytes(const TBytes& Bytes) {
  FLoadError.clear();
  FImage.reset();
  FDecoded = false;
  if (Bytes.empty()) return Fail(u"The picture holds no data");
  FBytes = Bytes;
  FIsEmpty = false;
  if (!GetImageSizes()) {
    // Bytes no decoder reads are not kept: the picture stays empty.
    FBytes.clear();
    FIsEmpty = true;
    FWidth = FHeight = 0;
    FImage.reset();
    FDecoded = false;
    Changed();
    return Fail(u"The data is not a picture GDI+ can read");
  }
  Changed();
  return true;
}

void TChartGDIPPicture::LoadFromStream(TStream& Stream) {
  if (!LoadFromBytes(ReadAll(Stream))) throw EInvalidGraphic(FLoadError);
}

void TChartGDIPPicture::SaveToStream(TStream& Stream) {
  if (!FBytes.empty()) Stream.WriteBuffer(FBytes.data(), static_cast<Int64>(FBytes.size()));
}

bool TChartGDIPPicture::LoadFromFile(const String& FileName) {
  FLoadError.clear();
  TBytes Bytes;
  try {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    Bytes = ReadAll(File);
  } catch (const Exception& E) {
    Clear();
    return Fail(E.Message());
  }
  FImage.reset();
  FDecoded = false;
  FBytes = std::move(Bytes);
  FIsEmpty = FBytes.empty();
  Fire(OnClear);
  if (FIsEmpty) {
    FWidth = FHeight = 0;
    Changed();
    return Fail(u"The file \"" + FileName + u"\" is empty");
  }
  // The header gives the size without decoding; a file whose header tells
  // nothing must at least be a picture GDI+ reads.
  if (!GetImageSizesFromFileName(FileName) && !GetImageSizes()) {
    const String Why = u"The file \"" + FileName + u"\" is not a picture GDI+ can read";
    Clear();
    return Fail(Why);
  }
  Changed();
  return true;
}

bool TChartGDIPPicture::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
  if (!FindResourceW(Instance, WideCStr(ResName), MAKEINTRESOURCEW(10)))
    return Fail(u"Resource " + ResName + u" not found");
  TResourceStream Res(reinterpret_cast<NativeUInt>(Instance), ResName, RT_RCDATA);
  return LoadFromBytes(ReadAll(Res));
}

void TChartGDIPPicture::LoadFromResourceID(HINSTANCE Instance, Integer ResID) {
  TResourceStream Res(reinterpret_cast<NativeUInt>(Instance), TResourceId(ResID), RT_RCDATA);
  if (!LoadFromBytes(ReadAll(Res))) throw EInvalidGraphic(FLoadError);
}

bool TChartGDIPPicture::LoadFromURL(const String& Url) {
  if (StartsText(u"RES://", Url) && Url.size() > 6)
    return LoadFromResourceName(reinterpret_cast<HINSTANCE>(HInstance()), Url.substr(6));
  if (StartsText(u"FILE://", Url) && Url.size() > 7) return LoadFromFile(Url.substr(7));
  return Fail(u"Not a picture address: " + Url);
}

void TChartGDIPPicture::Clear() {
  FBytes.clear();
  FImage.reset();
  FDecoded = false;
  FIsEmpty = true;
  FWidth = FHeight = 0;
  Changed();
}

void TChartGDIPPicture::Assign(const TChartGDIPPicture& Source) {
  if (&Source == this) return;
  FIsEmpty = true;
  FImage.reset();
  FDecoded = false;
  FBytes = Source.FBytes;
  FIsEmpty = FBytes.empty();
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  FTransparent = Source.FTransparent;
  FTransparentMode = Source.FTransparentMode;
  FTransparentColor = Source.FTransparentColor;
  Changed();
}

void TChartGDIPPicture::Assign(TPersistent* Source) {
  if (!Source) {
    FBytes.clear();
    FImage.reset();
    FDecoded = false;
    FIsEmpty = true;
    Changed();
    Fire(OnClear);
    return;
  }
  if (auto* P = dynamic_cast<TChartGDIPPicture*>(Source)) {
    Assign(*P);
    return;
  }
  TGraphic* G = dynamic_cast<TGraphic*>(Source);
  if (auto* Pic = dynamic_cast<TPicture*>(Source)) G = Pic->Graphic();
  if (!G) {
    if (dynamic_cast<TPicture*>(Source)) Assign(static_cast<TPersistent*>(nullptr));
    return;
  }
  TBytesStream Data;
  G->SaveToStream(Data);
  LoadFromBytes(Data.Bytes());
}

bool TChartGDIPPicture::GetImageSizes() {
  TGPBitmap* I = Image();
  if (!I) return false;
  FWidth = static_cast<Integer>(I->GetWidth());
  FHeight = static_cast<Integer>(I->GetHeight());
  return true;
}

bool TChartGDIPPicture::GetImageSizesFromFileName(const String& FileName) {
  if (FIsEmpty || FBytes.empty()) return false;
  TImageHeaderSize Size;
  if (GetImageFileSize(FileName, Size) != ihOk) return false;
  // Sizes past the range of an Integer are no real picture's.
  if (Size.Width > 0x7FFFFFFF || Size.Height > 0x7FFFFFFF) return false;
  FWidth = static_cast<Integer>(Size.Width);
  FHeight = static_cast<Integer>(Size.Height);
  return true;
}

void TChartGDIPPicture::Draw(TCanvas& ACanvas, const TRect& Rect) {
  TGPBitmap* I = Image();
  if (!I) return;
  if (I->GetFormat() == ifBMP) {
    TBitmap Bitmap;
    TBytesStream Data(FBytes);
    Bitmap.LoadFromStream(Data);
    Bitmap.SetTransparentMode(tmAuto);
    Bitmap.SetTransparent(true);
    ACanvas.Draw(Rect.Left, Rect.Top, &Bitmap);
    return;
  }
  FWidth = static_cast<Integer>(I->GetWidth());
  FHeight = static_cast<Integer>(I->GetHeight());
  TGPGraphics G(ACanvas.Handle());
  G.DrawImageRect(I, Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
}

TGPBitmap* TChartGDIPPicture::ImageToDraw() {
  TGPBitmap* I = Image();
  if (!I) return nullptr;
  FPixelFormat = static_cast<Integer>(I->GetPixelFormat());
  FPixelDepth = I->GetPixelDepth();
  FHasAlpha = I->HasAlphaChannel();
  FHasPalette = I->HasPalette();
  FWidth = static_cast<Integer>(I->GetWidth());
  FHeight = static_cast<Integer>(I->GetHeight());
  return I;
}

std::optional<ARGB> TChartGDIPPicture::ColorKey(TGPBitmap& I) {
  if (I.GetFormat() != ifBMP || !Transparent()) return std::nullopt;
  ARGB Key = 0;
  if (FTransparentMode == tmFixed)
    Key = MakeGDIPColor(255, FTransparentColor);
  else
    I.GetPixel(0, FHeight - 1, Key);
  return Key;
}

void TChartGDIPPicture::GDIPDraw(TGPGraphics& G, const TRect& R) {
  TGPBitmap* I = ImageToDraw();
  if (!I) return;
  if (const std::optional<ARGB> Key = ColorKey(*I)) {
    TGPImageAttributes Attr;
    Attr.SetColorKey(*Key, *Key, ColorAdjustTypeDefault);
    G.DrawImage(I, TGPRectF{REAL(R.Left), REAL(R.Top), REAL(FWidth), REAL(FHeight)}, 0, 0, REAL(FWidth), REAL(FHeight),
                UnitPixel, &Attr);
    return;
  }
  G.DrawImageRect(I, R.Left, R.Top, R.Width(), R.Height());
}

void TChartGDIPPicture::GDIPDraw(TGPGraphics& G, const TGPRectF& R) {
  if (FDrawing) return;
  FDrawing = true;
  const TScopeExit Drawn([this] { FDrawing = false; });
  TGPBitmap* I = ImageToDraw();
  if (!I) return;
  if (const std::optional<ARGB> Key = ColorKey(*I)) {
    TGPImageAttributes Attr;
    Attr.SetColorKey(*Key, *Key, ColorAdjustTypeDefault);
    G.DrawImage(I, R, 0, 0, REAL(FWidth), REAL(FHeight), UnitPixel, &Attr);
    return;
  }
  G.DrawImageRect(I, R);
}

void TChartGDIPPicture::FillPath(TGPGraphics& G, const TGPGraphicsPath& Path) const {
  TGPBitmap* I = Image();
  if (!I) return;
  TGPTextureBrush Brush(*I, WrapModeTile);
  G.FillPath(&Brush, &Path);
}

void TChartGDIPPicture::FillRect(TGPGraphics& G, const TGPRectF& R) const {
  TGPBitmap* I = Image();
  if (!I) return;
  TGPTextureBrush Brush(*I, WrapModeTile);
  G.FillRectangle(Brush, R);
}
