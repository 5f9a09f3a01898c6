// The helper class's platform side under Wine: picture downloads from a real
// loopback HTTP server, the file dialogs opened and cancelled by a key, the
// shell requests, fonts, and a control painted into a picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "chart/drawing/VivIzudeUtils.h"
#include "rtl/Exceptions.h"
#include "rtl/StringList.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "tests/fixture/HttpTestServer.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "tests/support/TestSupport.h"
#include "vcl/Forms.h"
#include "vcl/Pictures.h"
#include "vcl/StdCtrls.h"

using majtest::THttpTestServer;

namespace {
namespace fs = std::filesystem;

std::string Head(const std::string& ContentType, std::size_t Length) {
  return "HTTP/1.1 200 OK\r\nContent-Type: " + ContentType + "\r\nContent-Length: " + std::to_string(Length) +
         "\r\nConnection: close\r\n\r\n";
}

// A server that answers every request with one content type and body.
THttpTestServer::Script Serve(const std::string& ContentType, const std::string& Body) {
  return [ContentType, Body](TTCPBlockSocket& Conn, const std::string&, const THttpTestServer&) {
    Conn.SendString(Head(ContentType, Body.size()) + Body);
  };
}

std::string StreamBytes(TMemoryStream& Stream) {
  return std::string(static_cast<const char*>(Stream.Memory()), static_cast<std::size_t>(Stream.Size()));
}

std::string MessageOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const Exception& E) {
    return UTF16ToUTF8(E.Message());
  }
  return "(no exception)";
}

// Where the pictures for people go: beside the test program.
const fs::path& ShotFolder() {
  static const fs::path Folder = [] {
    fs::path F = fs::current_path() / "screenshots";
    fs::create_directories(F);
    return F;
  }();
  return Folder;
}

// A picture's bytes: the PNG signature and some more.
const std::string PngBytes = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(3000, '\x5a');
}  // namespace

TEST(DownloadImage, ReadsAPictureWholeAndLeavesTheStreamAtItsEnd) {
  THttpTestServer Server(Serve("image/png", PngBytes));
  ASSERT_TRUE(Server.Ok());
  auto Stream = TVivIzudeUtils::DownloadImage(Server.Url("/pictures/chart.png?size=2"));
  ASSERT_NE(Stream, nullptr);
  EXPECT_EQ(StreamBytes(*Stream), PngBytes);
  EXPECT_EQ(Stream->Position(), Stream->Size());
  ASSERT_EQ(Server.Targets().size(), 1u);
  EXPECT_EQ(Server.Targets()[0], "/pictures/chart.png?size=2");
}

TEST(DownloadImage, AnythingButAPictureGivesAnEmptyStream) {
  for (const char* Type : {"text/html", "application/octet-stream", ""}) {
    THttpTestServer Server(Serve(Type, "<html>not found</html>"));
    ASSERT_TRUE(Server.Ok());
    auto Stream = TVivIzudeUtils::DownloadImage(Server.Url("/missing.png"));
    ASSERT_NE(Stream, nullptr) << Type;
    EXPECT_EQ(Stream->Size(), 0) << Type;
  }
  // The type is compared without regard to case.
  THttpTestServer Server(Serve("IMAGE/JPEG", "\xFF\xD8\xFF"));
  EXPECT_EQ(TVivIzudeUtils::DownloadImage(Server.Url("/a.jpg"))->Size(), 3);
}

TEST(DownloadImage, BadAddressesAndDeadServersRaiseCannotOpen) {
  const std::string Dead = "http://127.0.0.1:" + std::to_string(majtest::FreeLoopbackPort()) + "/a.png";
  for (const std::string& Url : {std::string(), std::string("not an address"), std::string("ftp://127.0.0.1/a.png"),
                                 std::string("file:///c:/a.png"), Dead}) {
    EXPECT_EQ(MessageOf([&] { TVivIzudeUtils::DownloadImage(UTF8ToUTF16(Url)); }), "Cannot open URL " + Url);
  }
}

TEST(DownloadImage, APictureOverTheSizeLimitIsRefused) {
  THttpTestServer Server(Serve("image/png", PngBytes));
  TVivDownloadLimits Limits;
  Limits.MaxBytes = 1000;
  const String Url = Server.Url("/big.png");
  EXPECT_EQ(MessageOf([&] { TVivIzudeUtils::DownloadImage(Url, Limits); }), "Cannot read URL " + UTF16ToUTF8(Url));
  // Exactly the limit is still read.
  Limits.MaxBytes = static_cast<Int64>(PngBytes.size());
  EXPECT_EQ(TVivIzudeUtils::DownloadImage(Url, Limits)->Size(), Limits.MaxBytes);
}

TEST(DownloadImage, ASilentOrTricklingServerIsGivenUpOnInTime) {
  // Silent after the head: the wait for data runs out.
  THttpTestServer Silent([](TTCPBlockSocket& Conn, const std::string&, const THttpTestServer& S) {
    Conn.SendString(Head("image/png", 100) + "\x89PNG");
    S.Pause(5000);
  });
  TVivDownloadLimits Limits;
  Limits.ReceiveMs = 300;
  Limits.TotalMs = 1500;
  const UInt64 Start = ::GetTickCount64();
  EXPECT_EQ(MessageOf([&] { TVivIzudeUtils::DownloadImage(Silent.Url("/s.png"), Limits); }).rfind("Cannot", 0), 0u);
  EXPECT_LT(::GetTickCount64() - Start, 4000u);

  // Trickling: each piece comes within the wait, the whole does not.
  THttpTestServer Trickle([](TTCPBlockSocket& Conn, const std::string&, const THttpTestServer& S) {
    Conn.SendString(Head("image/png", 100000));
    for (int i = 0; i < 100 && S.Pause(100); ++i) Conn.SendString(std::string(1000, 'x'));
  });
  Limits.ReceiveMs = 2000;
  Limits.TotalMs = 800;
  const UInt64 Start2 = ::GetTickCount64();
  const String Url = Trickle.Url("/t.png");
  EXPECT_EQ(MessageOf([&] { TVivIzudeUtils::DownloadImage(Url, Limits); }), "Cannot read URL " + UTF16ToUTF8(Url));
  EXPECT_LT(::GetTickCount64() - Start2, 5000u);
}

TEST(FileDialogs, FiltersBecomeZeroSeparatedLists) {
  struct TCase {
    String Filter;
    String Expected;
  } Cases[] = {
      {u"Pictures|*.png;*.jpg|All|*.*", String(u"Pictures\0*.png;*.jpg\0All\0*.*\0\0", 30)},
      {u"Text|*.txt|", String(u"Text\0*.txt\0\0", 12)},
      {u"", String(u"\0", 1)},
  };
  for (const TCase& C : Cases) EXPECT_EQ(TVivIzudeUtils::DialogFilter(C.Filter), C.Expected);
}

namespace {
// Finds this thread's visible dialog box, notes its caption, saves a picture
// of it, and sends it the Escape key; waits until the dialog has gone.
struct TDialogCanceller {
  static inline String Caption;
  static inline bool Seen = false;
  static inline std::string ShotName;
  static BOOL CALLBACK FindDialog(HWND Wnd, LPARAM Found) {
    wchar_t Class[32] = {};
    ::GetClassNameW(Wnd, Class, 32);
    if (std::wstring(Class) == L"#32770" && ::IsWindowVisible(Wnd)) {
      *reinterpret_cast<HWND*>(Found) = Wnd;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR Id, DWORD) {
    HWND Dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&Dialog));
    if (!Dialog) return;
    ::KillTimer(nullptr, Id);
    Seen = true;
    wchar_t Text[256] = {};
    ::GetWindowTextW(Dialog, Text, 256);
    Caption = String(reinterpret_cast<const Char*>(Text));
    ::UpdateWindow(Dialog);
    testsupport::ScreenImageOfWindow(Dialog)->SaveToFile(testsupport::PathText(ShotFolder() / (ShotName + ".bmp")));
    HWND Focus = ::GetFocus();
    HWND Target = Focus && ::IsChild(Dialog, Focus) ? Focus : Dialog;
    ::PostMessageW(Target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageW(Target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  }
  explicit TDialogCanceller(const std::string& Name) {
    Caption.clear();
    Seen = false;
    ShotName = Name;
    ShotFolder();
    ::SetTimer(nullptr, 0, 200, Tick);
  }
};
}  // namespace

TEST(FileDialogs, TheOpenDialogShowsAndAnEscapeCancelsIt) {
  testsupport::TTempDir Folder("viv-select");
  String FileName = u"unchanged";
  const fs::path Current = fs::current_path();
  TDialogCanceller Canceller("drawing_opendialog");
  EXPECT_FALSE(TVivIzudeUtils::SelectFile(FileName, testsupport::PathText(Folder.Path), u"Pictures|*.png|All|*.*"));
  EXPECT_TRUE(TDialogCanceller::Seen);
  EXPECT_EQ(FileName, u"unchanged");
  EXPECT_EQ(fs::current_path(), Current);  // the settings file is found through it
}

TEST(FileDialogs, TheSaveDialogShowsAndAnEscapeCancelsIt) {
  testsupport::TTempDir Folder("viv-save");
  String FileName = testsupport::PathText(Folder.Path / "chart.png");
  const String Before = FileName;
  const fs::path Current = fs::current_path();
  TDialogCanceller Canceller("drawing_savedialog");
  EXPECT_FALSE(TVivIzudeUtils::SaveFile(FileName, u"PNG pictures|*.png"));
  EXPECT_TRUE(TDialogCanceller::Seen);
  EXPECT_EQ(FileName, Before);
  EXPECT_EQ(fs::current_path(), Current);
}

TEST(MessageBoxes, AConfirmationShowsItsTextAndEscapeAnswersCancel) {
  TDialogCanceller Canceller("drawing_message");
  EXPECT_EQ(TVivIzudeUtils::Message(u"Save the chart?", mtConfirmation, {mbOK, mbCancel}, 0), mrCancel);
  EXPECT_TRUE(TDialogCanceller::Seen);
}

TEST(ShellRequests, FilesAndAddressesAreOpenedWithTheOpenVerbShownNormally) {
  std::vector<TVivShellRequest> Made;
  const TVivShellExecutor Previous =
      SetVivShellExecutor([&Made](const TVivShellRequest& Request) { Made.push_back(Request); });
  TVivIzudeUtils::OpenFile(u"C:\\charts\\pie chart.png", nullptr);
  TVivIzudeUtils::OpenURL(u"https://example.invalid/a?b=c d");
  SetVivShellExecutor(Previous);
  ASSERT_EQ(Made.size(), 2u);
  EXPECT_EQ(Made[0].File, u"C:\\charts\\pie chart.png");
  EXPECT_EQ(Made[1].File, u"https://example.invalid/a?b=c d");
  for (const TVivShellRequest& R : Made) {
    EXPECT_EQ(R.Verb, u"open");
    EXPECT_EQ(R.Parameters, u"");
    EXPECT_EQ(R.Directory, u"");
    EXPECT_EQ(R.ShowCommand, SW_SHOWNORMAL);
  }
}

TEST(Fonts, TheScreenFamiliesAreListedOnceEachAndSorted) {
  TStringList Fonts;
  Fonts.Add(u"left over");
  TVivIzudeUtils::GetFonts(&Fonts);
  ASSERT_GT(Fonts.Count(), 0);
  EXPECT_LT(Fonts.IndexOf(u"left over"), 0);
  // The test prefix maps Arial, Tahoma and Verdana to installed families.
  EXPECT_GE(Fonts.IndexOf(u"Liberation Sans"), 0);
  for (Integer i = 1; i < Fonts.Count(); ++i) {
    EXPECT_LT(AnsiCompareText(Fonts.Strings(i - 1), Fonts.Strings(i)), 0)
        << UTF16ToUTF8(Fonts.Strings(i - 1)) << " / " << UTF16ToUTF8(Fonts.Strings(i));
  }
  TVivIzudeUtils::GetFonts(nullptr);  // nothing to fill: nothing happens
}

TEST(Fonts, PixelSizesBecomePoints) {
  TFont Font;
  struct TCase {
    float Pixels;
    Integer Points;
  } Cases[] = {{16, 12}, {12, 9}, {14, 10}, {18, 14}, {2, 2}};  // 10.5 and 13.5 round to even
  for (const TCase& C : Cases) {
    TVivIzudeUtils::SetFontSize(&Font, C.Pixels);
    EXPECT_EQ(Font.Size(), C.Points) << C.Pixels;
  }
}

TEST(ControlToPicture, AWindowedControlIsPaintedIntoABitmapOfItsSize) {
  Application->Initialize();
  struct TDeleter {
    void operator()(TCustomForm* F) const { delete F; }
  };
  std::unique_ptr<TForm, TDeleter> Form(TCustomForm::Create<TForm>(Application));
  Form->SetBounds(100, 100, 300, 200);
  TButton* Button = new TButton(Form.get());
  Button->SetBounds(10, 10, 120, 40);
  Button->SetCaption(u"Chart");
  Button->SetParent(Form.get());
  Form->Show();
  testsupport::PumpMessagesFor(200);
  auto Picture = ControlToPicture(Button);
  ASSERT_NE(Picture->Graphic(), nullptr);
  EXPECT_EQ(Picture->Width(), 120);
  EXPECT_EQ(Picture->Height(), 40);
  Picture->Bitmap()->SaveToFile(testsupport::PathText(ShotFolder() / "drawing_controlpicture.bmp"));
  // The button face is drawn: not every pixel is the blank bitmap's white.
  TBitmap* Bitmap = Picture->Bitmap();
  bool Painted = false;
  for (Integer y = 0; y < 40 && !Painted; ++y)
    for (Integer x = 0; x < 120 && !Painted; ++x) Painted = Bitmap->Canvas()->Pixel(x, y) != 0xFFFFFF;
  EXPECT_TRUE(Painted);

  // Without a window the bitmap stays blank.
  TButton* Unparented = new TButton(Form.get());
  Unparented->SetBounds(0, 0, 30, 20);
  ASSERT_FALSE(Unparented->HandleAllocated());
  auto Blank = ControlToPicture(Unparented);
  EXPECT_EQ(Blank->Width(), 30);
  EXPECT_EQ(Blank->Height(), 20);
  EXPECT_EQ(Blank->Bitmap()->Canvas()->Pixel(15, 10), 0xFFFFFF);
  Form->Hide();
}

TEST(DocumentsFolder, ExistsAndEndsWithoutASlash) {
  const String Path = TVivIzudeUtils::GetDocumentsPath();
  ASSERT_FALSE(Path.empty());
  EXPECT_NE(Path.back(), u'\\');
  EXPECT_EQ(::GetFileAttributesW(WideCStr(Path)) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
}
