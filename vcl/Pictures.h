#pragma once
// Pictures decoded by GDI+ (GIF, BMP, ICO), PNG and JPEG pictures on the
// program's own codecs (imaging/), and TPicture, which picks the class from
// the content's signature. GDI+ itself is reached through the program's
// binding (vcl/GdiPlusApi.h).
#include <cstddef>
#include <memory>

#include "imaging/RasterImage.h"
#include "rtl/Resources.h"
#include "rtl/Streams.h"
#include "vcl/Graphics.h"

// Pictures decoded by GDI+ into a premultiplied 32-bit bitmap; they draw
// with their alpha. Saving writes the decoded pixels as BMP.
class TGdiPlusGraphic : public TGraphic {
public:
  TGdiPlusGraphic();
  void Assign(TPersistent* Source) override;
  Integer Width() const override { return FBitmap->Width(); }
  Integer Height() const override { return FBitmap->Height(); }
  void Draw(TCanvas& ACanvas, const TRect& Rect) override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override { FBitmap->SaveToStream(Stream); }
  // RCDATA (or any typed) resource holding the encoded picture.
  void LoadFromResourceName(HINSTANCE Instance, const TResourceId& Name, const TResourceId& Type = RT_RCDATA);
  TBitmap* Bitmap() const { return FBitmap.get(); }

private:
  std::unique_ptr<TBitmap> FBitmap;
};

// The pixels of a decoded picture into Dest (pf32bit, premultiplied), and
// back: a bitmap's pixels with straight alpha (opaque where the bitmap has
// no alpha).
void RasterToBitmap(const TRasterImage& Image, TBitmap& Dest);
TRasterImage BitmapToRaster(TBitmap& Source);

// PNG pictures read and written with zlib.
class TPngImage : public TGdiPlusGraphic {
public:
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
};

// JPEG pictures read and written with libjpeg.
class TJPEGImage : public TGdiPlusGraphic {
public:
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // 0 to 100 (clamped), used when saving.
  Integer CompressionQuality() const { return FCompressionQuality; }
  void SetCompressionQuality(Integer Value) { FCompressionQuality = Value < 0 ? 0 : (Value > 100 ? 100 : Value); }
  bool ProgressiveEncoding() const { return FProgressiveEncoding; }
  void SetProgressiveEncoding(bool Value) { FProgressiveEncoding = Value; }

private:
  Integer FCompressionQuality = 90;
  bool FProgressiveEncoding = false;
};
class TGIFImage : public TGdiPlusGraphic {};
class TIconImage : public TGdiPlusGraphic {};

// Decodes Size bytes of an encoded picture with GDI+ into Dest (pf32bit,
// premultiplied). EInvalidGraphic "Unsupported or invalid picture" on failure.
void DecodePicture(const void* Data, std::size_t Size, TBitmap& Dest);

class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Takes a copy of Value (nullptr empties the picture).
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap; a picture holding something else is replaced
  // by an empty bitmap, which the caller can then draw on.
  TBitmap* Bitmap();
  Integer Width() const { return FGraphic ? FGraphic->Width() : 0; }
  Integer Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // The class is chosen from the content's signature (PNG, JPEG, GIF, BMP, ICO).
  void LoadFromStream(TStream& Stream);
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  TNotifyEvent OnChange;

private:
  void Changed();
  std::unique_ptr<TGraphic> FGraphic;
};
