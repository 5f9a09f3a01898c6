#include <cmath>

#include "chart/drawing/VivIzudeUtils.h"
#include "imaging/JpegCodec.h"
#include "rtl/Resources.h"
#include "rtl/StringList.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32.h"
#include "vcl/Graphics.h"
#include "vcl/Forms.h"
#include "vcl/Pictures.h"
#include "rtl/Win32Handles.h"

std::unique_ptr<TGraphic> TVivIzudeUtils::NewGraphic(TVivGraphicFormat Format) {
  switch (Format) {
    case gfBitmap:
      return std::make_unique<TBitmap>();
    case gfJPEG:
      return std::make_unique<TJPEGImage>();
    case gfPNG:
      return std::make_unique<TPngImage>();
    case gfGIF:
      return std::make_unique<TGIFImage>();
    case gfIcon:
      return std::make_unique<TIcon>();
    case gfTIFF:
      return std::make_unique<TGdiPlusGraphic>();
    default:
      return nullptr;
  }
}

namespace {
TBytes PictureBytes(TPicture* Picture) {
  if (!Picture || !Picture->Graphic() || Picture->Graphic()->Empty()) return {};
  TBytesStream Stream;
  Picture->Graphic()->SaveToStream(Stream);
  return TBytes(Stream.Bytes().begin(), Stream.Bytes().begin() + static_cast<std::ptrdiff_t>(Stream.Size()));
}
}  // namespace

std::unique_ptr<TMemoryStream> TVivIzudeUtils::ConvertBitmapToJPEGStream(TPicture* ABitmap, float AQuality,
                                                                         TColor ABackgroundColor) {
  const TBytes Data = PictureBytes(ABitmap);
  TVivGraphicFormat Format;
  if (!FindGraphicClass(Data.data(), static_cast<Int64>(Data.size()), Format)) return nullptr;
  auto Out = std::make_unique<TMemoryStream>();
  if (Format == gfJPEG) {
    Out->WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
    return Out;
  }
  auto Graphic = NewGraphic(Format);
  if (!Graphic) return nullptr;
  TBytesStream In(Data);
  Graphic->LoadFromStream(In);
  TBitmap Canvas(Graphic->Width(), Graphic->Height());
  Canvas.SetPixelFormat(pf32bit);
  const TColor Back = (ABackgroundColor == -1 || ABackgroundColor == clNone) ? 0xFFFFFF : ABackgroundColor;
  Canvas.Canvas()->Brush()->SetColor(Back);
  Canvas.Canvas()->FillRect({0, 0, Graphic->Width(), Graphic->Height()});
  Canvas.Canvas()->Draw(0, 0, Graphic.get());
  TRasterImage Pixels = BitmapToRaster(Canvas);
  for (std::size_t i = 3; i < Pixels.Pixels.size(); i += 4) Pixels.Pixels[i] = 255;
  const TBytes Jpeg = EncodeJpeg(Pixels, static_cast<int>(std::nearbyint(AQuality * 100)));
  Out->WriteBuffer(Jpeg.data(), static_cast<Int64>(Jpeg.size()));
  return Out;
}

String TVivIzudeUtils::SaveBitmapToHexStr(TPicture* ABitmap) {
  const TBytes Data = PictureBytes(ABitmap);
  if (Data.empty()) return {};
  TBytesStream Stream(Data);
  return SaveStreamToHexStr(Stream);
}

void TVivIzudeUtils::LoadBitmapFromHexStr(const String& AHexStr, TPicture* ABitmap) {
  const TBytes Data = HexStrToBytes(AHexStr);
  TVivGraphicFormat Format;
  if (!ABitmap || !FindGraphicClass(Data.data(), static_cast<Int64>(Data.size()), Format)) return;
  auto Graphic = NewGraphic(Format);
  if (!Graphic) return;
  TBytesStream Stream(Data);
  Graphic->LoadFromStream(Stream);
  ABitmap->Assign(Graphic.get());
}

std::unique_ptr<TPicture> TVivIzudeUtils::CreateBitmapFromHexStr(const String& AHexStr) {
  auto Picture = std::make_unique<TPicture>();
  LoadBitmapFromHexStr(AHexStr, Picture.get());
  return Picture;
}

String TVivIzudeUtils::GetAppPath() {
  wchar_t Buffer[MAX_PATH * 4];
  const DWORD N = GetModuleFileNameW(nullptr, Buffer, static_cast<DWORD>(std::size(Buffer)));
  String Path(reinterpret_cast<const Char*>(Buffer), N);
  return Path.substr(0, Path.find_last_of(u"\\/") + 1);
}

NativeUInt TVivIzudeUtils::GetHInstance() { return HInstance(); }

std::unique_ptr<TResourceStream> TVivIzudeUtils::GetResourceStream(const String& AResourceName, NativeUInt AInstance) {
  if (!FindResourceW(reinterpret_cast<HMODULE>(AInstance), WideCStr(AResourceName), MAKEINTRESOURCEW(10)))
    return nullptr;
  return std::make_unique<TResourceStream>(AInstance, AResourceName, TResourceId(10));
}

std::unique_ptr<TResourceStream> TVivIzudeUtils::GetResourceStream(const String& AResourceName) {
  return GetResourceStream(AResourceName, GetHInstance());
}

void TVivIzudeUtils::Log(const String& AMessage) { OutputDebugStringW(WideCStr(AMessage)); }

TCustomForm* TVivIzudeUtils::GetOwnerForm(TComponent* AComponent) {
  if (!AComponent) return nullptr;
  for (TComponent* C = AComponent->Owner(); C; C = C->Owner())
    if (auto* Form = dynamic_cast<TCustomForm*>(C)) return Form;
  return nullptr;
}

float TVivIzudeUtils::GetDPIScale(TComponent* AOwner) {
  TCustomForm* Form = Application ? Application->MainForm() : nullptr;
  if (!Form) {
    if (!AOwner) return 1.0f;
    Form = GetOwnerForm(AOwner);
    if (!Form) return 1.0f;
  }
  auto* Scaled = dynamic_cast<TForm*>(Form);
  if (!Scaled || !Scaled->Scaled()) return 1.0f;
  // The forms draw on the screen's device context: its DPI is theirs.
  const TWindowDC Screen(nullptr);
  const int Dpi = ::GetDeviceCaps(Screen.Get(), LOGPIXELSX);
  return Dpi > 0 ? static_cast<float>(Dpi) / 96.0f : 1.0f;
}

// ---------------------------------------------------------------- fonts

namespace {

int CALLBACK AddFontFamily(const LOGFONTW* Font, const TEXTMETRICW*, DWORD, LPARAM Data) {
  auto* List = reinterpret_cast<TStringList*>(Data);
  const String Name(reinterpret_cast<const char16_t*>(Font->lfFaceName));
  // The enumeration repeats a family once per script.
  if (List->Count() == 0 || CompareText(List->Strings(List->Count() - 1), Name) != 0) List->Add(Name);
  return 1;
}

}  // namespace

void TVivIzudeUtils::GetFonts(TStringList* FontList) {
  FontList->BeginUpdate();
  FontList->Clear();
  FontList->EndUpdate();
  const TWindowDC Screen(nullptr);
  LOGFONTW Font{};
  Font.lfCharSet = DEFAULT_CHARSET;
  ::EnumFontFamiliesExW(Screen.Get(), &Font, AddFontFamily, reinterpret_cast<LPARAM>(FontList), 0);
  FontList->Sort();
}
