#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "chart/drawing/VivIzudeUtils.h"
#include "imaging/JpegCodec.h"
#include "rtl/Exceptions.h"
#include "rtl/Resources.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

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

TCustomForm* TVivIzudeUtils::GetParentForm(TControl* AControl) {
  return AControl ? ::GetParentForm(AControl) : nullptr;
}

String TVivIzudeUtils::GetDocumentsPath() {
  wchar_t Path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, Path)))
    throw Exception(u"The documents folder cannot be found");
  return String(reinterpret_cast<const Char*>(Path));
}

String TVivIzudeUtils::DialogFilter(const String& AFilter) {
  String Result = AFilter;
  for (Char& C : Result)
    if (C == u'|') C = u'\0';
  // Each part ends with a zero and the list with a second one; a filter that
  // already ends with a bar has its first zero.
  if (!Result.empty() && Result.back() != u'\0') Result.push_back(u'\0');
  Result.push_back(u'\0');
  return Result;
}

namespace {
HWND DialogOwner() {
  TCustomForm* Main = Application ? Application->MainForm() : nullptr;
  return Main && Main->HandleAllocated() ? Main->Handle() : nullptr;
}

// The folder part of a path with its backslash ("" when it has none).
String FolderOf(const String& Path) {
  const std::size_t Slash = Path.find_last_of(u"\\/");
  return Slash == String::npos ? String() : Path.substr(0, Slash + 1);
}
String NameOf(const String& Path) {
  const std::size_t Slash = Path.find_last_of(u"\\/");
  return Slash == String::npos ? Path : Path.substr(Slash + 1);
}
// The extension with its dot ("" when the name has none).
String ExtensionOf(const String& Path) {
  const String Name = NameOf(Path);
  const std::size_t Dot = Name.find_last_of(u'.');
  return Dot == String::npos ? String() : Name.substr(Dot);
}

// Room for the chosen file name, the proposed name copied in (cut to fit).
std::vector<wchar_t> FileNameBuffer(const String& Proposed) {
  std::vector<wchar_t> Buffer(32768, L'\0');
  const std::size_t N = std::min(Proposed.size(), Buffer.size() - 1);
  std::copy_n(Proposed.begin(), N, Buffer.begin());
  return Buffer;
}
}  // namespace

bool TVivIzudeUtils::SelectFile(String& AFileName, const String& ADefaultFolder, const String& AFilter) {
  const String Folder = ADefaultFolder.empty() ? GetDocumentsPath() : AddBackslash(ADefaultFolder);
  const String Filter = DialogFilter(AFilter);
  std::vector<wchar_t> Buffer = FileNameBuffer(String());
  OPENFILENAMEW Dialog{};
  Dialog.lStructSize = sizeof(Dialog);
  Dialog.hwndOwner = DialogOwner();
  Dialog.lpstrFilter = WideCStr(Filter);
  Dialog.nFilterIndex = 1;
  Dialog.lpstrFile = Buffer.data();
  Dialog.nMaxFile = static_cast<DWORD>(Buffer.size());
  Dialog.lpstrInitialDir = WideCStr(Folder);
  // The current folder stays: the settings file is found through it.
  Dialog.Flags = OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&Dialog)) return false;
  AFileName = String(reinterpret_cast<const Char*>(Buffer.data()));
  return true;
}

bool TVivIzudeUtils::SaveFile(String& AFileName, const String& AFilter) {
  const String Folder = FolderOf(AFileName).empty() ? AddBackslash(GetDocumentsPath()) : FolderOf(AFileName);
  const String Filter = DialogFilter(AFilter);
  std::vector<wchar_t> Buffer = FileNameBuffer(NameOf(AFileName));
  OPENFILENAMEW Dialog{};
  Dialog.lStructSize = sizeof(Dialog);
  Dialog.hwndOwner = DialogOwner();
  Dialog.lpstrFilter = WideCStr(Filter);
  Dialog.nFilterIndex = 1;
  Dialog.lpstrFile = Buffer.data();
  Dialog.nMaxFile = static_cast<DWORD>(Buffer.size());
  Dialog.lpstrInitialDir = WideCStr(Folder);
  Dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&Dialog)) return false;
  String Chosen(reinterpret_cast<const Char*>(Buffer.data()));
  if (ExtensionOf(Chosen).empty()) Chosen += ExtensionOf(AFileName);
  AFileName = Chosen;
  return true;
}

Integer TVivIzudeUtils::Message(const String& AMessage) { return Message(AMessage, mtInformation, {mbOK}, 0); }

Integer TVivIzudeUtils::Message(const String& AMessage, TMsgDlgType ADialogType, TMsgDlgButtons AButtons,
                                Integer AHelpContext) {
  (void)AHelpContext;
  UINT Flags = MB_OK;
  if (AButtons.Contains(mbAbort) && AButtons.Contains(mbRetry))
    Flags = MB_ABORTRETRYIGNORE;
  else if (AButtons.Contains(mbYes) && AButtons.Contains(mbNo))
    Flags = AButtons.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if (AButtons.Contains(mbRetry))
    Flags = MB_RETRYCANCEL;
  else if (AButtons.Contains(mbOK) && AButtons.Contains(mbCancel))
    Flags = MB_OKCANCEL;
  switch (ADialogType) {
    case mtWarning:
      Flags |= MB_ICONWARNING;
      break;
    case mtError:
      Flags |= MB_ICONERROR;
      break;
    case mtInformation:
      Flags |= MB_ICONINFORMATION;
      break;
    case mtConfirmation:
      Flags |= MB_ICONQUESTION;
      break;
    case mtCustom:
      break;
  }
  // Without an owner the system centres the box on the screen; the box's
  // answers are the modal results' own numbers.
  const String Caption = Application ? Application->Title() : String();
  return ::MessageBoxW(nullptr, WideCStr(AMessage), WideCStr(Caption), Flags | MB_TASKMODAL);
}

namespace {
void ShellExecuteRequest(const TVivShellRequest& R) {
  ::ShellExecuteW(nullptr, WideCStr(R.Verb), WideCStr(R.File), WideCStr(R.Parameters), WideCStr(R.Directory),
                  R.ShowCommand);
}
TVivShellExecutor& ShellExecutor() {
  static TVivShellExecutor Executor = ShellExecuteRequest;
  return Executor;
}
}  // namespace

TVivShellExecutor SetVivShellExecutor(TVivShellExecutor Executor) {
  TVivShellExecutor Previous = std::move(ShellExecutor());
  ShellExecutor() = Executor ? std::move(Executor) : TVivShellExecutor(ShellExecuteRequest);
  return Previous;
}

TVivShellRequest TVivIzudeUtils::ShellOpenRequest(const String& ATarget) {
  return TVivShellRequest{u"open", ATarget, String(), String(), SW_SHOWNORMAL};
}

void TVivIzudeUtils::OpenFile(const String& AFile, TObject* AControlReference) {
  (void)AControlReference;
  ShellExecutor()(ShellOpenRequest(AFile));
}

void TVivIzudeUtils::OpenURL(const String& AURL) { ShellExecutor()(ShellOpenRequest(AURL)); }

namespace {
struct TFontNames {
  TStringList* List;
  String Last;
};
int CALLBACK AddFontFamily(const LOGFONTW* Font, const TEXTMETRICW*, DWORD, LPARAM Data) {
  auto* Names = reinterpret_cast<TFontNames*>(Data);
  const String Name(reinterpret_cast<const Char*>(Font->lfFaceName));
  // A family comes once per character set, one after the other.
  if (!Name.empty() && !SameText(Name, Names->Last) && Names->List->IndexOf(Name) < 0) {
    Names->List->Add(Name);
    Names->Last = Name;
  }
  return 1;
}
}  // namespace

void TVivIzudeUtils::GetFonts(TStringList* FontList) {
  if (!FontList) return;
  FontList->BeginUpdate();
  const TScopeExit End([FontList] { FontList->EndUpdate(); });
  FontList->Clear();
  TFontNames Names{FontList, String()};
  LOGFONTW Wanted{};
  Wanted.lfCharSet = DEFAULT_CHARSET;
  const TWindowDC Screen(nullptr);
  EnumFontFamiliesExW(Screen.Get(), &Wanted, AddFontFamily, reinterpret_cast<LPARAM>(&Names), 0);
  FontList->Sort();
}

void TVivIzudeUtils::SetFontSize(TFont* AFont, float ASize) {
  if (AFont) AFont->SetSize(static_cast<Integer>(std::nearbyint(ASize / 96 * 72)));
}

TPointF TVivIzudeUtils::GetMousePos() {
  POINT P{};
  ::GetCursorPos(&P);
  return {static_cast<float>(P.x), static_cast<float>(P.y)};
}

std::unique_ptr<TPicture> ControlToPicture(TWinControl* AControl) {
  auto Picture = std::make_unique<TPicture>();
  if (!AControl) return Picture;
  TBitmap* Bitmap = Picture->Bitmap();
  Bitmap->SetSize(AControl->Width(), AControl->Height());
  if (AControl->HandleAllocated()) AControl->PaintTo(Bitmap->Canvas()->Handle(), 0, 0);
  return Picture;
}

namespace {
using TInternetHandle = TWinHandle<HINTERNET, &InternetCloseHandle>;

void SetTimeouts(HINTERNET Handle, const TVivDownloadLimits& Limits) {
  DWORD ConnectMs = static_cast<DWORD>(std::max(Limits.ConnectMs, 1));
  DWORD ReceiveMs = static_cast<DWORD>(std::max(Limits.ReceiveMs, 1));
  InternetSetOptionW(Handle, INTERNET_OPTION_CONNECT_TIMEOUT, &ConnectMs, sizeof(ConnectMs));
  InternetSetOptionW(Handle, INTERNET_OPTION_SEND_TIMEOUT, &ReceiveMs, sizeof(ReceiveMs));
  InternetSetOptionW(Handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &ReceiveMs, sizeof(ReceiveMs));
}

// The reply's content type ("" when it has none).
String ContentType(HINTERNET Request) {
  wchar_t Buffer[256] = {};
  DWORD Size = sizeof(Buffer);
  if (!HttpQueryInfoW(Request, HTTP_QUERY_CONTENT_TYPE, Buffer, &Size, nullptr)) return String();
  return String(reinterpret_cast<const Char*>(Buffer), std::min<DWORD>(Size / sizeof(wchar_t), 255));
}
}  // namespace

std::unique_ptr<TMemoryStream> TVivIzudeUtils::DownloadImage(const String& AURL) {
  return DownloadImage(AURL, TVivDownloadLimits());
}

std::unique_ptr<TMemoryStream> TVivIzudeUtils::DownloadImage(const String& AURL, const TVivDownloadLimits& ALimits) {
  auto Result = std::make_unique<TMemoryStream>();
  const UInt64 Started = ::GetTickCount64();
  const String CannotOpen = u"Cannot open URL " + AURL;
  const String CannotRead = u"Cannot read URL " + AURL;

  TInternetHandle Session(InternetOpenW(L"TVivIzudeUtils", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!Session) throw Exception(u"Unable to initialize Wininet");
  SetTimeouts(Session.Get(), ALimits);

  // The address is opened in its steps rather than in one call so that the
  // time-outs sit on the request itself: Wine's WinInet does not hand a
  // session's time-outs on to the requests made under it.
  URL_COMPONENTSW Parts{};
  Parts.dwStructSize = sizeof(Parts);
  wchar_t Host[256];
  wchar_t Path[2100];
  wchar_t Extra[2100];
  Parts.lpszHostName = Host;
  Parts.dwHostNameLength = 256;
  Parts.lpszUrlPath = Path;
  Parts.dwUrlPathLength = 2100;
  Parts.lpszExtraInfo = Extra;
  Parts.dwExtraInfoLength = 2100;
  if (AURL.empty() || !InternetCrackUrlW(WideCStr(AURL), 0, 0, &Parts)) throw Exception(CannotOpen);
  if ((Parts.nScheme != INTERNET_SCHEME_HTTP && Parts.nScheme != INTERNET_SCHEME_HTTPS) || Parts.dwHostNameLength == 0)
    throw Exception(CannotOpen);
  TInternetHandle Connection(
      InternetConnectW(Session.Get(), Host, Parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!Connection) throw Exception(CannotOpen);
  std::wstring Object(Path, Parts.dwUrlPathLength);
  Object.append(Extra, Parts.dwExtraInfoLength);
  if (Object.empty()) Object = L"/";
  DWORD Flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
  if (Parts.nScheme == INTERNET_SCHEME_HTTPS) Flags |= INTERNET_FLAG_SECURE;
  TInternetHandle Request(
      HttpOpenRequestW(Connection.Get(), L"GET", Object.c_str(), nullptr, nullptr, nullptr, Flags, 0));
  if (!Request) throw Exception(CannotOpen);
  SetTimeouts(Request.Get(), ALimits);
  if (!HttpSendRequestW(Request.Get(), nullptr, 0, nullptr, 0)) throw Exception(CannotOpen);

  // Only a picture is read; any other reply (an error page) leaves the
  // stream empty.
  if (Pos(u"IMAGE", UpperCase(ContentType(Request.Get()))) == 0) return Result;
  char Chunk[1025];
  for (;;) {
    if (static_cast<Int64>(::GetTickCount64() - Started) > ALimits.TotalMs) throw Exception(CannotRead);
    DWORD Got = 0;
    if (!InternetReadFile(Request.Get(), Chunk, sizeof(Chunk), &Got)) throw Exception(CannotRead);
    if (Got == 0) break;
    if (Result->Size() + Got > ALimits.MaxBytes) throw Exception(CannotRead);
    Result->WriteBuffer(Chunk, Got);
  }
  return Result;
}
