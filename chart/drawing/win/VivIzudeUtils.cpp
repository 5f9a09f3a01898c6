#include "chart/drawing/win/VivIzudeUtils.h"

#include <cstdio>
#include <cstring>

#include "rtl/Unicode.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"

namespace {

TVivClipBoardFormats RegisterFormats() {
  TVivClipBoardFormats F;
  F.RichTextStream = RegisterClipboardFormatW(L"RichEditorText");
  F.Stream = RegisterClipboardFormatW(L"TVivClipBoard.StreamFormat");
  F.RTF = RegisterClipboardFormatW(L"Rich Text Format");
  F.HTML = RegisterClipboardFormatW(L"HTML Format");
  return F;
}

// Registered when the program starts.
const TVivClipBoardFormats& StartupFormats = VivClipBoardFormats();

UINT FormatId(TVivClipBoardFormat AFormat) {
  const TVivClipBoardFormats& F = VivClipBoardFormats();
  switch (AFormat) {
    case cfText:
      return CF_TEXT;
    case cfRTF:
      return F.RTF;
    case cfHTML:
      return F.HTML;
    case cfBitmap:
      return F.Bitmap;
    case cfStream:
      return F.Stream;
    case cfRichTextStream:
      return F.RichTextStream;
    default:
      return 0;
  }
}

// The clipboard open for this thread until the end of the scope.
class TClipboardScope {
public:
  TClipboardScope() : FOpen(nullptr) {
    if (!FOpen.Opened()) throw EClipboardError(u"Cannot open clipboard");
  }

private:
  TOpenClipboard FOpen;
};

// Size bytes in a movable, shareable, zero-filled block placed in Format.
// The block belongs to the clipboard once placed; freed here otherwise.
void PlaceBlock(UINT Format, const void* Data, std::size_t Size, std::size_t Extra = 0) {
  HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, Size + Extra);
  if (!Block) return;
  {
    TGlobalLock Lock(Block);
    if (!Lock.Data()) {
      GlobalFree(Block);
      return;
    }
    if (Size) std::memcpy(Lock.Data(), Data, Size);
  }
  if (!SetClipboardData(Format, Block)) GlobalFree(Block);
}

// The whole block of Format, or nothing.
bool ReadBlock(UINT Format, std::string& Out) {
  HANDLE Data = GetClipboardData(Format);
  if (!Data) return false;
  TGlobalLock Lock(Data);
  if (!Lock.Data()) return false;
  Out.assign(static_cast<const char*>(Lock.Data()), GlobalSize(Data));
  return true;
}

void SetStreamAs(UINT Format, TMemoryStream* AStream) {
  if (!AStream) return;
  TClipboardScope Open;
  PlaceBlock(Format, AStream->Memory(), static_cast<std::size_t>(AStream->Size()));
}

std::unique_ptr<TMemoryStream> GetStreamAs(UINT Format) {
  TClipboardScope Open;
  std::string Data;
  if (!Format || !ReadBlock(Format, Data)) return nullptr;
  auto Stream = std::make_unique<TMemoryStream>();
  if (!Data.empty()) Stream->WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
  Stream->SetPosition(0);
  return Stream;
}

// Text up to its first zero.
std::string UpToZero(const std::string& S) { return S.substr(0, S.find('\0')); }

}  // namespace

const TVivClipBoardFormats& VivClipBoardFormats() {
  static const TVivClipBoardFormats Formats = RegisterFormats();
  return Formats;
}

String TVivClipBoard::GetFormat(TVivClipBoardFormat AFormat) {
  switch (AFormat) {
    case cfText:
      return u"text/plain";
    case cfRTF:
      return u"Rich Text Format";
    case cfHTML:
      return u"HTML Format";
    case cfBitmap:
      return u"Bitmap";
    case cfStream:
      return u"TVivClipBoard.StreamFormat";
    case cfRichTextStream:
      return u"RichEditorText";
    default:
      return {};
  }
}

bool TVivClipBoard::HasFormat(TVivClipBoardFormat AFormat) {
  const UINT Id = FormatId(AFormat);
  return Id != 0 && IsClipboardFormatAvailable(Id);
}

bool TVivClipBoard::HasContent() {
  for (TVivClipBoardFormat F : {cfText, cfRTF, cfBitmap, cfBitmapWin, cfRichTextStream, cfStream})
    if (HasFormat(F)) return true;
  return false;
}

void TVivClipBoard::Clear() {
  TClipboardScope Open;
  EmptyClipboard();
}

void TVivClipBoard::SetText(const String& AText) {
  TClipboardScope Open;
  EmptyClipboard();
  PlaceBlock(CF_UNICODETEXT, AText.c_str(), (AText.size() + 1) * sizeof(Char));
}

String TVivClipBoard::GetText() {
  TClipboardScope Open;
  std::string Data;
  if (!ReadBlock(CF_UNICODETEXT, Data)) return {};
  String Text(reinterpret_cast<const Char*>(Data.data()), Data.size() / sizeof(Char));
  return Text.substr(0, Text.find(u'\0'));
}

void TVivClipBoard::SetStream(TMemoryStream* AStream) { SetStreamAs(VivClipBoardFormats().Stream, AStream); }
std::unique_ptr<TMemoryStream> TVivClipBoard::GetStream() { return GetStreamAs(VivClipBoardFormats().Stream); }
void TVivClipBoard::SetRichTextStream(TMemoryStream* AStream) {
  SetStreamAs(VivClipBoardFormats().RichTextStream, AStream);
}
std::unique_ptr<TMemoryStream> TVivClipBoard::GetRichTextStream() {
  return GetStreamAs(VivClipBoardFormats().RichTextStream);
}

void TVivClipBoard::SetBitmap(TPicture* ABitmap) {
  if (!ABitmap || !ABitmap->Graphic() || ABitmap->Graphic()->Empty()) return;
  TBytesStream Data;
  ABitmap->Graphic()->SaveToStream(Data);
  TVivGraphicFormat Format;
  if (!TVivIzudeUtils::FindGraphicClass(Data.Memory(), Data.Size(), Format)) return;
  auto Graphic = TVivIzudeUtils::NewGraphic(Format);
  if (!Graphic) return;
  Data.SetPosition(0);
  Graphic->LoadFromStream(Data);
  // The clipboard takes a device-dependent copy of the picture drawn opaque.
  TBitmap Copy(Graphic->Width(), Graphic->Height());
  Copy.Canvas()->Brush()->SetColor(clWhite);
  Copy.Canvas()->FillRect({0, 0, Graphic->Width(), Graphic->Height()});
  Copy.Canvas()->Draw(0, 0, Graphic.get());
  HBITMAP Handle = static_cast<HBITMAP>(CopyImage(Copy.Handle(), IMAGE_BITMAP, 0, 0, 0));
  if (!Handle) return;
  TClipboardScope Open;
  EmptyClipboard();
  if (!SetClipboardData(CF_BITMAP, Handle)) DeleteObject(Handle);
}

std::unique_ptr<TPicture> TVivClipBoard::GetBitmap() {
  auto Picture = std::make_unique<TPicture>();
  TClipboardScope Open;
  if (auto Handle = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    TBitmap Bitmap;
    Bitmap.LoadFromHBitmap(Handle);
    Picture->Assign(&Bitmap);
  }
  return Picture;
}

void TVivClipBoard::SetRTF(const String& ARTF) {
  const int Size = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWCH>(ARTF.c_str()), static_cast<int>(ARTF.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string Ansi(static_cast<std::size_t>(Size), '\0');
  if (Size > 0)
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWCH>(ARTF.c_str()), static_cast<int>(ARTF.size()), Ansi.data(),
                        Size, nullptr, nullptr);
  TClipboardScope Open;
  PlaceBlock(VivClipBoardFormats().RTF, Ansi.data(), Ansi.size(), 1);
}

String TVivClipBoard::GetRTF() {
  TClipboardScope Open;
  std::string Data;
  if (!ReadBlock(VivClipBoardFormats().RTF, Data)) return {};
  Data = UpToZero(Data);
  const int Size = MultiByteToWideChar(CP_ACP, 0, Data.data(), static_cast<int>(Data.size()), nullptr, 0);
  String Text(static_cast<std::size_t>(Size), u'\0');
  if (Size > 0)
    MultiByteToWideChar(CP_ACP, 0, Data.data(), static_cast<int>(Data.size()), reinterpret_cast<LPWSTR>(Text.data()),
                        Size);
  return Text;
}

std::string TVivClipBoard::HTMLClipboardData(const String& AHTML) {
  const std::string Fragment = UTF16ToUTF8(AHTML);
  const auto Offset = [](std::size_t V) {
    char Buffer[16];
    std::snprintf(Buffer, sizeof(Buffer), "%08zu", V);
    return std::string(Buffer);
  };
  const std::string Before =
      "<!DOCTYPE>\r\n<HTML>\r\n<HEAD>\r\n<TITLE>The HTML Clipboard</TITLE>\r\n<BASE HREF=\"about:blank\">\r\n"
      "</HEAD>\r\n<BODY>\r\n<!--StartFragment -->\r\n";
  const std::string After = "\r\n<!--EndFragment-->\r\n</BODY>\r\n</HTML>\r\n";
  // The description has a fixed length: every offset is written with 8 digits.
  const std::size_t Description = std::string(
                                      "Version:0.9\r\nStartHTML:00000000\r\nEndHTML:00000000\r\n"
                                      "StartFragment:00000000\r\nEndFragment:00000000\r\n")
                                      .size();
  const std::size_t StartFragment = Description + Before.size();
  const std::size_t EndFragment = StartFragment + Fragment.size();
  const std::size_t EndHTML = EndFragment + After.size();
  return "Version:0.9\r\nStartHTML:" + Offset(Description) + "\r\nEndHTML:" + Offset(EndHTML) +
         "\r\nStartFragment:" + Offset(StartFragment) + "\r\nEndFragment:" + Offset(EndFragment) + "\r\n" + Before +
         Fragment + After;
}

void TVivClipBoard::SetHTML(const String& AHTML) {
  const std::string Data = HTMLClipboardData(AHTML);
  TClipboardScope Open;
  PlaceBlock(VivClipBoardFormats().HTML, Data.data(), Data.size(), 1);
}

String TVivClipBoard::GetHTML() {
  TClipboardScope Open;
  std::string Data;
  if (!ReadBlock(VivClipBoardFormats().HTML, Data)) return {};
  return UTF8ToUTF16(UpToZero(Data));
}
