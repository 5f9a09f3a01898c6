#include "vcl/Pictures.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>

#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"
#include "rtl/Win32Handles.h"
#include "vcl/GdiPlusApi.h"

namespace {

struct TGdipImageDispose {
  void operator()(GpImage* P) const { GdiPlus().GdipDisposeImage(P); }
};

// A bitmap's pixels locked for reading, unlocked at the end of the scope.
class TLockedBits {
public:
  TLockedBits(GpBitmap* Bitmap, UINT Width, UINT Height) : FBitmap(Bitmap) {
    const GpRect rect{0, 0, static_cast<INT>(Width), static_cast<INT>(Height)};
    FLocked = GdiPlus().GdipBitmapLockBits(Bitmap, &rect, ImageLockModeRead, PixelFormat32bppPARGB, &FData) == Ok;
  }
  ~TLockedBits() {
    if (FLocked) GdiPlus().GdipBitmapUnlockBits(FBitmap, &FData);
  }
  TLockedBits(const TLockedBits&) = delete;
  TLockedBits& operator=(const TLockedBits&) = delete;
  bool Locked() const { return FLocked; }
  const BitmapData& Data() const { return FData; }

private:
  GpBitmap* FBitmap;
  BitmapData FData{};
  bool FLocked = false;
};

}  // namespace

void DecodePicture(const void* Data, std::size_t Size, TBitmap& Dest) {
  const String failure = u"Unsupported or invalid picture";
  if (!Data || Size == 0 || Size > 0x7FFFFFFF || !GdiPlusReady()) throw EInvalidGraphic(failure);
  const TComPtr<IStream> stream(SHCreateMemStream(static_cast<const BYTE*>(Data), static_cast<UINT>(Size)));
  if (!stream) throw EInvalidGraphic(failure);
  const TGdiPlusApi& gdip = GdiPlus();
  GpBitmap* raw = nullptr;
  if (gdip.GdipCreateBitmapFromStream(stream.Get(), &raw) != Ok || !raw) throw EInvalidGraphic(failure);
  const std::unique_ptr<GpImage, TGdipImageDispose> image(raw);
  UINT width = 0, height = 0;
  gdip.GdipGetImageWidth(raw, &width);
  gdip.GdipGetImageHeight(raw, &height);
  if (width == 0 || height == 0) throw EInvalidGraphic(failure);
  const TLockedBits bits(raw, width, height);
  if (!bits.Locked()) throw EInvalidGraphic(failure);
  Dest.LoadFromPixels32(static_cast<Integer>(width), static_cast<Integer>(height), bits.Data().Scan0,
                        bits.Data().Stride, afPremultiplied);
}

TGdiPlusGraphic::TGdiPlusGraphic() : FBitmap(std::make_unique<TBitmap>()) {}

void TGdiPlusGraphic::Assign(TPersistent* Source) {
  if (auto* g = dynamic_cast<TGdiPlusGraphic*>(Source)) {
    FBitmap->Assign(g->FBitmap.get());
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    FBitmap->Assign(b);
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

void TGdiPlusGraphic::Draw(TCanvas& ACanvas, const TRect& Rect) { FBitmap->Draw(ACanvas, Rect); }

void TGdiPlusGraphic::LoadFromStream(TStream& Stream) {
  const TBytes bytes = ReadStreamRest(Stream);
  DecodePicture(bytes.data(), bytes.size(), *FBitmap);
  Changed();
}

void RasterToBitmap(const TRasterImage& Image, TBitmap& Dest) {
  std::vector<Byte> premultiplied(Image.Pixels);
  for (std::size_t i = 0; i + 3 < premultiplied.size(); i += 4) {
    const unsigned a = premultiplied[i + 3];
    if (a == 255) continue;
    for (int c = 0; c < 3; ++c) premultiplied[i + c] = static_cast<Byte>((premultiplied[i + c] * a + 127) / 255);
  }
  Dest.LoadFromPixels32(Image.Width, Image.Height, premultiplied.data(), Image.Width * 4, afPremultiplied);
}

TRasterImage BitmapToRaster(TBitmap& Source) {
  TRasterImage image;
  if (Source.Empty()) return image;
  TBitmap copy;
  copy.Assign(&Source);
  const bool alpha = copy.PixelFormat() == pf32bit && copy.AlphaFormat() != afIgnored;
  const bool premultiplied = copy.AlphaFormat() == afPremultiplied;
  copy.SetPixelFormat(pf32bit);
  GdiFlush();
  image.SetSize(copy.Width(), copy.Height());
  for (Integer y = 0; y < image.Height; ++y) {
    const auto* in = static_cast<const Byte*>(copy.ScanLine(y));
    Byte* out = image.Row(y);
    for (Integer x = 0; x < image.Width; ++x, in += 4, out += 4) {
      const unsigned a = alpha ? in[3] : 255;
      for (int c = 0; c < 3; ++c)
        out[c] = (premultiplied && a != 0 && a != 255) ? static_cast<Byte>(std::min(255u, (in[c] * 255 + a / 2) / a))
                                                       : in[c];
      out[3] = static_cast<Byte>(a);
      if (a != 255) image.HasAlpha = true;
    }
  }
  return image;
}

void TPngImage::LoadFromStream(TStream& Stream) {
  const TBytes bytes = ReadStreamRest(Stream);
  RasterToBitmap(DecodePng(bytes.data(), bytes.size()), *Bitmap());
  Changed();
}

void TPngImage::SaveToStream(TStream& Stream) {
  const TBytes bytes = EncodePng(BitmapToRaster(*Bitmap()));
  Stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
  const TBytes bytes = ReadStreamRest(Stream);
  RasterToBitmap(DecodeJpeg(bytes.data(), bytes.size()), *Bitmap());
  Changed();
}

void TJPEGImage::SaveToStream(TStream& Stream) {
  const TBytes bytes = EncodeJpeg(BitmapToRaster(*Bitmap()), FCompressionQuality, FProgressiveEncoding);
  Stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

void TGdiPlusGraphic::LoadFromResourceName(HINSTANCE Instance, const TResourceId& Name, const TResourceId& Type) {
  TResourceStream stream(reinterpret_cast<NativeUInt>(Instance), Name, Type);
  LoadFromStream(stream);
}

// ---------------------------------------------------------------- TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

namespace {
std::unique_ptr<TGraphic> NewGraphicLike(const TGraphic* Graphic) {
  if (dynamic_cast<const TBitmap*>(Graphic)) return std::make_unique<TBitmap>();
  if (dynamic_cast<const TPngImage*>(Graphic)) return std::make_unique<TPngImage>();
  if (dynamic_cast<const TJPEGImage*>(Graphic)) return std::make_unique<TJPEGImage>();
  if (dynamic_cast<const TGIFImage*>(Graphic)) return std::make_unique<TGIFImage>();
  if (dynamic_cast<const TIconImage*>(Graphic)) return std::make_unique<TIconImage>();
  return std::make_unique<TGdiPlusGraphic>();
}

std::unique_ptr<TGraphic> NewGraphicFor(const TBytes& Head) {
  auto starts = [&Head](std::initializer_list<int> sig) {
    if (Head.size() < sig.size()) return false;
    std::size_t i = 0;
    for (int b : sig)
      if (Head[i++] != static_cast<Byte>(b)) return false;
    return true;
  };
  if (starts({0x89, 'P', 'N', 'G'})) return std::make_unique<TPngImage>();
  if (starts({0xFF, 0xD8})) return std::make_unique<TJPEGImage>();
  if (starts({'G', 'I', 'F', '8'})) return std::make_unique<TGIFImage>();
  if (starts({'B', 'M'})) return std::make_unique<TBitmap>();
  if (starts({0, 0, 1, 0})) return std::make_unique<TIconImage>();
  throw EInvalidGraphic(u"Unknown picture file format");
}
}  // namespace

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get()) return;
  if (!Value) {
    FGraphic.reset();
  } else {
    auto copy = NewGraphicLike(Value);
    copy->Assign(Value);
    FGraphic = std::move(copy);
  }
  Changed();
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(Source);
  }
}

TBitmap* TPicture::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get());
  if (!bitmap) {
    FGraphic = std::make_unique<TBitmap>();
    bitmap = static_cast<TBitmap*>(FGraphic.get());
    Changed();
  }
  return bitmap;
}

void TPicture::LoadFromStream(TStream& Stream) {
  TBytes bytes = ReadStreamRest(Stream);
  auto graphic = NewGraphicFor(bytes);
  TBytesStream memory(bytes);
  graphic->LoadFromStream(memory);
  FGraphic = std::move(graphic);
  Changed();
}

void TPicture::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TPicture::SaveToFile(const String& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}
