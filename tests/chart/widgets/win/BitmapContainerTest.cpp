// The bitmap container: naming and look-up, adding from files, folders,
// resources and a loopback web server (a failed add leaves no item), the
// registered controls, change propagation and its JSON settings.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WidgetsTestSupport.h"
#include "chart/widgets/win/VivIzudeBitmapContainer.h"
#include "chart/widgets/win/VivIzudeImage.h"
#include "rtl/FormatSettings.h"
#include "tests/fixture/HttpTestServer.h"

using namespace widgets_test;

namespace {

std::unique_ptr<TVivIzudeBitmapContainer> NewContainer() { return std::make_unique<TVivIzudeBitmapContainer>(); }

std::string PngBytes(Integer W, Integer H, TColor C) {
  TBytesStream S;
  MakePicture(W, H, C)->Graphic()->SaveToStream(S);
  return std::string(reinterpret_cast<const char*>(S.Bytes().data()), static_cast<std::size_t>(S.Size()));
}

TEST(BitmapContainer, ItemsAreNamedAfterTheCountAndFoundByNameIgnoringCase) {
  auto C = NewContainer();
  for (int I = 0; I < 3; ++I) C->Items()->Add();
  EXPECT_EQ(C->GetBitmapName(0), u"Item1");
  EXPECT_EQ(C->GetBitmapName(2), u"Item3");
  C->Items()->Items(1)->SetName(u"X");
  C->Items()->Add();
  EXPECT_EQ(C->GetBitmapName(3), u"Item4");

  C->Items()->Items(0)->SetName(u"Logo");
  C->Items()->Items(2)->SetName(u"logo");
  EXPECT_EQ(C->FindBitmap(u"LOGO"), C->GetBitmap(0));
  EXPECT_EQ(C->FindBitmap(u"nothing"), nullptr);

  EXPECT_EQ(C->GetBitmap(-1), nullptr);
  EXPECT_EQ(C->GetBitmap(C->ItemCount()), nullptr);
  EXPECT_EQ(C->GetBitmapName(C->ItemCount()), u"");
  auto Kept = MakePicture(5, 6, 0x00FF00);
  C->FindBitmap(5, Kept.get());
  EXPECT_EQ(Kept->Width(), 5);
  C->Items()->Items(1)->SetBitmap(MakePicture(7, 8, 0xFF0000).get());
  C->FindBitmap(1, Kept.get());
  EXPECT_EQ(Kept->Width(), 7);
  EXPECT_EQ(Kept->Height(), 8);
}

TEST(BitmapContainer, KeepsItsSizeAndAnswersItsState) {
  auto C = NewContainer();
  C->SetBounds(10, 20, 300, 300);
  EXPECT_EQ(C->Left(), 10);
  EXPECT_EQ(C->Top(), 20);
  EXPECT_EQ(C->Width(), 26);
  EXPECT_EQ(C->Height(), 26);
  EXPECT_FALSE(C->IsReading());
  EXPECT_FALSE(C->IsLoading());
  EXPECT_FALSE(C->IsDesignTime());
  EXPECT_EQ(C->GetVersion(), u"1.0.0.0");

  EXPECT_FALSE(C->CanSaveProperty(C.get(), u"Width", tkInteger));
  EXPECT_FALSE(C->CanLoadProperty(C.get(), u"visible", tkEnumeration));
  EXPECT_TRUE(C->CanSaveProperty(C->Items(), u"Width", tkInteger));
  EXPECT_TRUE(C->CanSaveProperty(C.get(), u"Items", tkClass));
}

TEST(BitmapContainer, HidesItselfWhenLoadedAtRunTime) {
  TFormPtr Form = NewForm(200, 100);
  Form->BeginLoading();
  auto* C = new TVivIzudeBitmapContainer(Form.get());
  C->SetParent(Form.get());
  C->SetVisible(true);
  Form->EndLoading();
  EXPECT_FALSE(C->Visible());
}

TEST(BitmapContainer, AddingFromFilesAndFoldersLeavesNoEmptyItem) {
  const String Dir = ScratchFolder(u"add");
  SavePng(Dir + u"red.png", 10, 12, 0x0000FF);
  SavePng(Dir + u"blue.png", 14, 16, 0xFF0000);
  SaveBytes(Dir + u"broken.png", "not a picture at all");
  ::CreateDirectoryW(reinterpret_cast<const wchar_t*>((Dir + u"sub.png").c_str()), nullptr);

  auto C = NewContainer();
  C->AddFromFile(Dir + u"red.png", u"Red");
  ASSERT_EQ(C->ItemCount(), 1);
  EXPECT_EQ(C->FindBitmap(u"red")->Width(), 10);
  EXPECT_ANY_THROW(C->AddFromFile(Dir + u"broken.png", u"Broken"));
  EXPECT_ANY_THROW(C->AddFromFile(Dir + u"missing.png", u"Missing"));
  EXPECT_EQ(C->ItemCount(), 1);

  auto F = NewContainer();
  F->AddFromFolder(Dir + u"*.png");
  ASSERT_EQ(F->ItemCount(), 2);  // the broken file and the folder are passed over
  ASSERT_NE(F->FindBitmap(u"red.png"), nullptr);
  ASSERT_NE(F->FindBitmap(u"blue.png"), nullptr);
  EXPECT_EQ(F->FindBitmap(u"blue.png")->Height(), 16);
  F->AddFromFolder(Dir + u"*.nothing");
  EXPECT_EQ(F->ItemCount(), 2);

  F->AddFromResource(u"NO_SUCH_PICTURE", u"None");
  EXPECT_EQ(F->ItemCount(), 2);
}

struct AddFromURLTest : ::testing::Test {
  static void Reply(TTCPBlockSocket& Conn, const std::string& Type, const std::string& Body, int Status = 200) {
    Conn.SendString("HTTP/1.1 " + std::to_string(Status) + " X\r\nContent-Type: " + Type +
                    "\r\nContent-Length: " + std::to_string(Body.size()) + "\r\nConnection: close\r\n\r\n" + Body);
  }
  majtest::THttpTestServer Server{
      [](TTCPBlockSocket& Conn, const std::string& Target, const majtest::THttpTestServer&) {
        if (Target == "/logo.png")
          Reply(Conn, "image/png", PngBytes(20, 10, 0x00C000));
        else if (Target == "/broken.png")
          Reply(Conn, "image/png", "PNG? no");
        else if (Target == "/page")
          Reply(Conn, "text/html", "<html></html>");
        else
          Reply(Conn, "text/plain", "not found", 404);
      }};
};

TEST_F(AddFromURLTest, DownloadsAPictureAndReportsEveryFailureWithoutAnItem) {
  ASSERT_TRUE(Server.Ok());
  auto C = NewContainer();
  C->AddFromURL(Server.Url("/logo.png"), u"Logo");
  ASSERT_EQ(C->ItemCount(), 1);
  EXPECT_EQ(C->GetBitmapName(0), u"Logo");
  EXPECT_EQ(C->GetBitmap(0)->Width(), 20);
  EXPECT_EQ(C->GetBitmap(0)->Height(), 10);

  for (const char* Target : {"/broken.png", "/page", "/missing"}) {
    EXPECT_ANY_THROW(C->AddFromURL(Server.Url(Target), u"Bad")) << Target;
    EXPECT_EQ(C->ItemCount(), 1) << Target;
  }
  const std::string Closed = "http://127.0.0.1:" + std::to_string(majtest::FreeLoopbackPort()) + "/logo.png";
  try {
    C->AddFromURL(String(Closed.begin(), Closed.end()), u"Closed");
    ADD_FAILURE() << "a refused connection was reported as success";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message().rfind(u"Cannot open URL ", 0), 0u);
  }
  EXPECT_EQ(C->ItemCount(), 1);
}

TEST(BitmapContainer, RegisteredControlsLeaveTheListWhenFreed) {
  TFormPtr Form = NewForm(200, 100);
  auto* C = new TVivIzudeBitmapContainer(Form.get());
  auto* Image = new TVivIzudeImage(Form.get());
  auto* Other = new TVivIzudeImage(Form.get());
  C->RegisterControl(Image);
  C->RegisterControl(Other);
  C->RegisterControl(Image);
  ASSERT_EQ(C->RegisteredControls().size(), 3u);
  delete Image;
  ASSERT_EQ(C->RegisteredControls().size(), 1u);
  EXPECT_EQ(C->RegisteredControls()[0], Other);
}

TEST(BitmapContainer, AChangedPictureRepaintsTheImagesOfItsForm) {
  TFormPtr Form = NewForm(200, 120);
  auto* C = new TVivIzudeBitmapContainer(Form.get());
  C->SetParent(Form.get());
  auto* Image = new TVivIzudeImage(Form.get());
  Image->SetParent(Form.get());
  Image->Bitmaps()->AddBitmapName(u"pic");
  Image->SetBitmapContainer(C);
  C->AddFromFile(
      [] {
        const String Dir = ScratchFolder(u"change");
        SavePng(Dir + u"a.png", 30, 20, 0x0080FF);
        return Dir + u"a.png";
      }(),
      u"pic");
  Form->Show();
  Application->ProcessMessages();
  int Fired = 0;
  C->OnBitmapChanged = [&](TObject* Sender) {
    EXPECT_EQ(Sender, C);
    ++Fired;
  };
  ::ValidateRect(Image->Handle(), nullptr);
  C->FindBitmap(u"pic")->Assign(MakePicture(40, 30, 0xFF8000).get());
  EXPECT_EQ(Fired, 1);
  RECT Dirty{};
  EXPECT_TRUE(::GetUpdateRect(Image->Handle(), &Dirty, FALSE)) << "the image was not invalidated";
  EXPECT_EQ(Image->GetBitmap(), C->FindBitmap(u"pic"));
  EXPECT_EQ(Image->GetBitmap()->Width(), 40);
}

// ---------------------------------------------------------------- settings

struct BitmapContainerSettings : ::testing::Test {
  void SetUp() override {
    Saved = FormatSettings;
    Source = NewContainer();
    Source->AddFromFile(File(u"one.png", 8, 6, 0x0000FF), u"One");
    Source->AddFromFile(File(u"two.png", 12, 4, 0x00FF00), u"Two");
    Source->Items()->Items(1)->SetTag(42);
  }
  void TearDown() override { FormatSettings = Saved; }
  static String File(const String& Name, Integer W, Integer H, TColor C) {
    const String Path = ScratchFolder(u"settings") + Name;
    SavePng(Path, W, H, C);
    return Path;
  }
  static std::string Text(TBytesStream& S) {
    return std::string(reinterpret_cast<const char*>(S.Bytes().data()), static_cast<std::size_t>(S.Size()));
  }
  static void Load(TVivIzudeBitmapContainer& C, const std::string& Json) {
    TBytesStream S;
    S.WriteBuffer(Json.data(), static_cast<Integer>(Json.size()));
    C.LoadSettingsFromStream(&S);
  }
  TFormatSettings Saved;
  std::unique_ptr<TVivIzudeBitmapContainer> Source;
};

TEST_F(BitmapContainerSettings, RoundTripsItsItemsThroughTheirConstructors) {
  FormatSettings.DecimalSeparator = u',';
  TBytesStream S;
  Source->SaveSettingsToStream(&S);
  const std::string Json = Text(S);
  EXPECT_EQ(Json.rfind("{\"$type\":\"TVivIzudeBitmapContainer\",\"Items\":[{\"$type\":\"TVivIzudeBitmapItem\"", 0), 0u)
      << Json;
  EXPECT_EQ(Json.find("\"Width\""), std::string::npos) << "a framework property was saved";
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');

  auto Target = NewContainer();
  Target->Items()->Add();
  Load(*Target, Json);
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  ASSERT_EQ(Target->ItemCount(), 2);
  EXPECT_EQ(Target->GetBitmapName(0), u"One");
  EXPECT_EQ(Target->GetBitmap(1)->Width(), 12);
  EXPECT_EQ(Target->Items()->Items(1)->Tag(), 42);
  // The loaded items were built by their constructor: their pictures report changes.
  int Fired = 0;
  Target->OnBitmapChanged = [&](TObject*) { ++Fired; };
  Target->GetBitmap(0)->Assign(MakePicture(3, 3, 0).get());
  EXPECT_EQ(Fired, 1);
}

TEST_F(BitmapContainerSettings, APictureThatIsNotHexIsReportedAndTheRestLoads) {
  TBytesStream S;
  Source->SaveSettingsToStream(&S);
  std::string Json = Text(S);
  // The first picture's text made not hexadecimal.
  const std::size_t At = Json.find("\"Bitmap\":\"") + 10;
  Json.replace(At, 4, "ZZ!!");
  auto Target = NewContainer();
  Load(*Target, Json);
  ASSERT_EQ(Target->ItemCount(), 2);
  EXPECT_EQ(Target->GetBitmapName(0), u"One");
  EXPECT_EQ(Target->GetBitmapName(1), u"Two");
  EXPECT_EQ(Target->GetBitmap(1)->Width(), 12);
  ASSERT_EQ(Target->LoadWarnings().size(), 1u);
  EXPECT_NE(Target->LoadWarnings()[0].find(u"not hexadecimal"), String::npos);
}

TEST_F(BitmapContainerSettings, AFailedLoadLeavesTheContainerAsItWas) {
  TBytesStream S;
  Source->SaveSettingsToStream(&S);
  std::string Json = Text(S);
  Json.resize(Json.size() - 40);  // cut inside the second item
  FormatSettings.DecimalSeparator = u',';
  auto Target = NewContainer();
  Target->AddFromFile(File(u"kept.png", 9, 9, 0xFFFFFF), u"Kept");
  EXPECT_ANY_THROW(Load(*Target, Json));
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  ASSERT_EQ(Target->ItemCount(), 1);
  EXPECT_EQ(Target->GetBitmapName(0), u"Kept");
  EXPECT_EQ(Target->GetBitmap(0)->Width(), 9);
}

}  // namespace
