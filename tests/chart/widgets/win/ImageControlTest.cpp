// The image control and the control base it stands on: where the picture
// goes, which picture is shown for the display scale, automatic size, the
// draw events, fill and stroke, state pictures, hit testing, style
// adaptation and settings; shown on a form and saved as PNG pictures
// (image-*.png beside the test program) for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "WidgetsTestSupport.h"
#include "chart/widgets/win/VivIzudeBitmapContainer.h"
#include "chart/widgets/win/VivIzudeImage.h"
#include "rtl/FormatSettings.h"
#include "tests/support/ScreenCapture_win.h"

using namespace widgets_test;

namespace {

// The DPI this run's Wine prefix was made with.
Integer ExpectedDPI() {
  const char* Dpi = std::getenv("QUORVEL_WINE_DPI");
  return Dpi ? std::atoi(Dpi) : 96;
}

void SaveShot(TBitmap& Shot, const std::string& Name) {
  testsupport::SavePng(&Shot, Name + "-" + std::to_string(ExpectedDPI()) + "dpi.png");
}

TColor PixelAt(TBitmap& Shot, Integer X, Integer Y) { return ::GetPixel(Shot.Canvas()->Handle(), X, Y); }

// The picture's green, perhaps blended with its black frame by scaling.
bool Greenish(TColor C) { return (C & 0xFF) < 0x30 && ((C >> 8) & 0xFF) > 0x50 && ((C >> 16) & 0xFF) < 0x30; }

struct ImageControlTest : ::testing::Test {
  void SetUp() override {
    Form = NewForm(420, 300);
    Form->SetColor(0xE0E0E0);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TVivIzudeImage* NewImage(Integer X, Integer Y) {
    auto* I = new TVivIzudeImage(Form.get());
    I->SetParent(Form.get());
    I->SetLeft(X);
    I->SetTop(Y);
    return I;
  }
  void ShowForm() {
    Form->Show();
    Form->Update();
    Application->ProcessMessages();
  }
  TFormPtr Form;
};

TEST_F(ImageControlTest, StartsWithItsDefaults) {
  TVivIzudeImage* I = NewImage(0, 0);
  EXPECT_EQ(I->Width(), 100);
  EXPECT_EQ(I->Height(), 100);
  EXPECT_TRUE(I->Center());
  EXPECT_TRUE(I->AspectRatio());
  EXPECT_FALSE(I->Stretch());
  EXPECT_FALSE(I->Cropping());
  EXPECT_FALSE(I->AutoSize());
  EXPECT_EQ(I->GetVersion(), u"1.0.0.0");
  EXPECT_EQ(I->Color(), 0xFFFFFF);
  EXPECT_EQ(I->Fill()->Kind(), gfkSolid);
  EXPECT_EQ(I->Stroke()->Color(), 0xC0C0C0);
  EXPECT_TRUE(I->TabStop());
  EXPECT_TRUE(I->HitTest());
  EXPECT_EQ(I->GetBitmap(), nullptr);
  const TRectF R = I->GetPaintRectangle();
  EXPECT_EQ(R.Left, 0);
  EXPECT_EQ(R.Top, 0);
  EXPECT_EQ(R.Right, 0);
  EXPECT_EQ(R.Bottom, 0);
}

TEST_F(ImageControlTest, PlacesThePictureByItsSwitches) {
  TVivIzudeImage* I = NewImage(0, 0);
  I->SetBitmap(MakePicture(40, 20, 0xFF0000).get());
  const struct {
    bool Center, Cropping, Stretch, AspectRatio;
    TRectF Expected;
  } Cases[] = {
      {true, false, false, true, {30, 40, 70, 60}},   // centred at its own size
      {false, false, false, true, {0, 0, 40, 20}},    // top-left corner
      {false, true, false, true, {30, 40, 70, 60}},   // cropping centres too
      {true, false, true, true, {0, 25, 100, 75}},    // stretched, aspect kept
      {false, false, true, false, {0, 0, 100, 100}},  // stretched to the control
      {true, false, false, false, {30, 40, 70, 60}},  // neither: its own size
  };
  for (const auto& C : Cases) {
    I->SetCenter(C.Center);
    I->SetCropping(C.Cropping);
    I->SetStretch(C.Stretch);
    I->SetAspectRatio(C.AspectRatio);
    const TRectF R = I->GetPaintRectangle();
    EXPECT_EQ(R.Left, C.Expected.Left) << C.Center << C.Cropping << C.Stretch << C.AspectRatio;
    EXPECT_EQ(R.Top, C.Expected.Top);
    EXPECT_EQ(R.Right, C.Expected.Right);
    EXPECT_EQ(R.Bottom, C.Expected.Bottom);
  }
}

TEST_F(ImageControlTest, AutoSizeFollowsThePictureAndClearKeepsTheOwnBitmap) {
  TVivIzudeImage* I = NewImage(0, 0);
  int Changes = 0;
  I->OnBitmapChanged = [&](TObject* Sender) {
    EXPECT_EQ(Sender, I);
    ++Changes;
  };
  I->SetAutoSize(true);
  EXPECT_EQ(I->Width(), 100);  // nothing to size to
  I->SetBitmap(MakePicture(32, 24, 0x00FF00).get());
  EXPECT_GE(Changes, 1);
  EXPECT_EQ(I->Width(), 32);
  EXPECT_EQ(I->Height(), 24);

  I->Bitmaps()->AddBitmap(MakePicture(10, 10, 0).get(), 1);
  I->Clear();
  EXPECT_EQ(I->Bitmaps()->Count(), 0);
  EXPECT_EQ(I->Bitmap()->Width(), 32);

  // From a container, when the own picture is empty.
  TVivIzudeImage* J = NewImage(0, 0);
  auto* C = new TVivIzudeBitmapContainer(Form.get());
  const String Dir = ScratchFolder(u"autosize");
  SavePng(Dir + u"p.png", 50, 30, 0x808000);
  C->AddFromFile(Dir + u"p.png", u"p");
  J->Bitmaps()->AddBitmapName(u"p");
  J->SetAutoSize(true);
  J->SetBitmapContainer(C);
  EXPECT_EQ(J->Width(), 50);
  EXPECT_EQ(J->Height(), 30);
  delete C;
  EXPECT_EQ(J->BitmapContainer(), nullptr);
  EXPECT_EQ(J->GetBitmap(), nullptr);
}

TEST_F(ImageControlTest, ABeforeDrawHandlerCanSuppressAllPainting) {
  TVivIzudeImage* Plain = NewImage(10, 10);
  TVivIzudeImage* Suppressed = NewImage(150, 10);
  for (TVivIzudeImage* I : {Plain, Suppressed}) I->SetBitmap(MakePicture(40, 40, 0x0000FF).get());
  int After = 0;
  Suppressed->OnBeforeDraw = [](TObject*, TVivIzudeGraphics*, const TRectF&, bool& ADefaultDraw) {
    ADefaultDraw = false;
  };
  Suppressed->OnAfterDraw = [&](TObject*, TVivIzudeGraphics*, const TRectF&) { ++After; };
  int PlainAfter = 0;
  Plain->OnAfterDraw = [&](TObject*, TVivIzudeGraphics*, const TRectF&) { ++PlainAfter; };
  ShowForm();
  auto Shot = testsupport::ClientSurfaceImage(Form.get());
  EXPECT_EQ(After, 0);
  EXPECT_GE(PlainAfter, 1);
  EXPECT_EQ(PixelAt(*Shot, 60, 60), 0x0000FF) << "the plain image shows its picture";
  EXPECT_NE(PixelAt(*Shot, 200, 60), 0x0000FF) << "the suppressed image drew its picture";
}

TEST_F(ImageControlTest, FillAndStrokeDriveTheColourAndStylesAreUndone) {
  TVivIzudeImage* I = NewImage(0, 0);
  I->Fill()->SetColor(0x123456);
  EXPECT_EQ(I->Color(), 0x123456);
  I->Fill()->SetKind(gfkNone);
  EXPECT_EQ(I->Color(), clBtnFace);
  I->Fill()->SetKind(gfkSolid);
  I->Fill()->SetColor(clNone);
  EXPECT_EQ(I->Color(), clBtnFace);

  // A style that gives a grid cell fill and border colour.
  struct TGreenStyle : TVivIzudeStyleServices {
    bool Enabled() const override { return true; }
    String Name() const override { return u"Green"; }
    bool GetElementColor(const TThemedElementDetails& D, TElementColor Which, TColor& C) const override {
      if (D != GetElementDetails(tgCellNormal)) return false;
      C = Which == ecFillColor ? 0x00FF00 : 0x008000;
      return true;
    }
    void DrawElement(const TThemedElementDetails&, TRasterImage&, const TRect&) const override {}
  } Green;
  TVivIzudeStyleManager::SetActiveStyle(&Green);
  I->SetAdaptToStyle(true);
  EXPECT_EQ(I->Fill()->Color(), 0x00FF00);
  EXPECT_EQ(I->Stroke()->Color(), 0x008000);
  EXPECT_EQ(DefaultBackgroundColor, 0x00FF00);
  I->SetAdaptToStyle(false);
  TVivIzudeStyleManager::SetActiveStyle(nullptr);
  EXPECT_EQ(I->Fill()->Color(), 0xFFFFFF);
  EXPECT_EQ(I->Stroke()->Color(), 0xC0C0C0);
  I->SetAdaptToStyle(false);  // back to the defaults of the system look
  EXPECT_EQ(DefaultBackgroundColor, 0xFFFFFF);
  EXPECT_EQ(DefaultActiveFillColor, MakeColor(229, 241, 251));
}

TEST_F(ImageControlTest, StatePicturesAreCachedButButtonsAreRebuilt) {
  TVivIzudeImage* I = NewImage(0, 0);
  ShowForm();
  TPicture* Check = I->GetCheckBoxBitmap(true, false, true);
  ASSERT_NE(Check, nullptr);
  EXPECT_EQ(I->GetCheckBoxBitmap(true, false, true), Check);
  EXPECT_EQ(Check->Width(), 16);
  EXPECT_NE(I->GetCheckBoxBitmap(false, false, true), Check);
  EXPECT_NE(I->GetRadioButtonBitmap(true, false, true), nullptr);
  TPicture* Disabled = I->GetButtonBitmap(40, 20, true, true, false);
  ASSERT_NE(Disabled, nullptr);
  EXPECT_EQ(Disabled->Width(), 40);
  EXPECT_EQ(Disabled->Height(), 20);
  TPicture* Smaller = I->GetButtonBitmap(30, 10.5f, false, false, true);
  EXPECT_EQ(Smaller->Width(), 30);
  EXPECT_EQ(Smaller->Height(), 10);  // rounded half to even
  I->SetAdaptToStyle(false);         // a style change drops the cache
  EXPECT_NE(I->GetCheckBoxBitmap(true, false, true), nullptr);
}

TEST_F(ImageControlTest, HitTestOffLetsClicksThrough) {
  TVivIzudeImage* I = NewImage(0, 0);
  ShowForm();
  const TPoint P = I->ClientToScreen({10, 10});
  const LPARAM At = MAKELPARAM(P.X, P.Y);
  EXPECT_NE(::SendMessageW(I->Handle(), WM_NCHITTEST, 0, At), HTTRANSPARENT);
  I->SetHitTest(false);
  EXPECT_EQ(::SendMessageW(I->Handle(), WM_NCHITTEST, 0, At), HTTRANSPARENT);
}

TEST_F(ImageControlTest, ScalingToTheSameDPIChangesNothing) {
  struct TCounting : TVivIzudeImage {
    using TVivIzudeImage::TVivIzudeImage;
    void ChangeDPIScale(Integer M, Integer D) override { Calls.push_back({M, D}); }
    std::vector<std::pair<Integer, Integer>> Calls;
  };
  auto* I = new TCounting(Form.get());
  I->ScaleBy(96, 96);
  EXPECT_TRUE(I->Calls.empty());
  I->ScaleBy(144, 96);
  ASSERT_EQ(I->Calls.size(), 1u);
  EXPECT_EQ(I->Width(), 150);
}

TEST_F(ImageControlTest, SettingsFilterFrameworkPropertiesAndAFailedLoadChangesNothing) {
  TVivIzudeImage* I = NewImage(0, 0);
  EXPECT_FALSE(I->CanSaveProperty(I, u"Width", tkInteger));
  I->OnCanSaveProperty = [](TObject*, TObject*, const String& Name, TTypeKind, bool& ACanSave) {
    if (Name == u"Width") ACanSave = true;
  };
  EXPECT_TRUE(I->CanSaveProperty(I, u"Width", tkInteger));
  I->OnCanSaveProperty = nullptr;

  I->SetBitmap(MakePicture(24, 12, 0x00FFFF).get());
  I->SetStretch(true);
  I->Fill()->SetColor(0x0000FF);
  FormatSettings.DecimalSeparator = u',';
  TBytesStream S;
  I->SaveSettingsToStream(&S);
  const std::string Json(reinterpret_cast<const char*>(S.Bytes().data()), static_cast<std::size_t>(S.Size()));
  EXPECT_EQ(Json.rfind("{\"$type\":\"TVivIzudeImage\"", 0), 0u) << Json;
  EXPECT_EQ(Json.find("BitmapContainer"), std::string::npos);
  EXPECT_NE(Json.find("\"Opacity\":1"), std::string::npos) << "a number was written with the locale's separator";

  TVivIzudeImage* J = NewImage(0, 0);
  J->LoadSettingsFromStream(&S);
  EXPECT_EQ(FormatSettings.DecimalSeparator, u',');
  EXPECT_TRUE(J->Stretch());
  EXPECT_EQ(J->Fill()->Color(), 0x0000FF);
  EXPECT_EQ(J->Bitmap()->Width(), 24);

  // Cut short after the pictures: nothing of it stays.
  TVivIzudeImage* K = NewImage(0, 0);
  std::string Cut = Json.substr(0, Json.find("\"Stretch\"") + 12);
  TBytesStream Broken;
  Broken.WriteBuffer(Cut.data(), static_cast<Integer>(Cut.size()));
  EXPECT_ANY_THROW(K->LoadSettingsFromStream(&Broken));
  EXPECT_FALSE(K->Stretch());
  EXPECT_EQ(K->Fill()->Color(), 0xFFFFFF);
  EXPECT_TRUE(IsPictureEmpty(K->Bitmap()));
  FormatSettings.DecimalSeparator = u'.';
}

TEST_F(ImageControlTest, TheUndoManagerRestoresEarlierSettings) {
  TVivIzudeImage* I = NewImage(0, 0);
  TVivIzudeUndoManager* U = I->UndoManager();
  ASSERT_EQ(U, I->UndoManager());
  U->ClearUndoStack();
  I->SetStretch(true);
  I->Stroke()->SetColor(0x0000FF);
  U->PushState(u"Stretch");
  I->SetCenter(false);
  U->PushState(u"Corner");
  U->Undo();
  EXPECT_TRUE(I->Center());
  EXPECT_TRUE(I->Stretch());
  U->Undo();
  EXPECT_FALSE(I->Stretch());
  EXPECT_EQ(I->Stroke()->Color(), 0xC0C0C0);
  EXPECT_EQ(U->NextRedoAction(), u"Stretch");
  U->Redo();
  EXPECT_EQ(I->Stroke()->Color(), 0x0000FF);
}

// ---------------------------------------------------------------- on screen at this DPI

struct ImageControlScreen : ImageControlTest {};

TEST_F(ImageControlScreen, ShowsEachPlacementAndTheContainerPictureForTheDisplayScale) {
  // The display scale is the main form's.
  Application->SetMainForm(Form.get());
  const Integer Dpi = Screen->PixelsPerInch();
  ASSERT_EQ(Dpi, ExpectedDPI());
  const float Scale = static_cast<float>(Dpi) / 96;

  auto* C = new TVivIzudeBitmapContainer(Form.get());
  const String Dir = ScratchFolder(u"screen");
  SavePng(Dir + u"logo_1.png", 32, 32, 0xFF0000);    // blue at 96 DPI
  SavePng(Dir + u"logo_1.5.png", 48, 48, 0x0080FF);  // orange at 144 DPI
  C->AddFromFile(Dir + u"logo_1.png", u"logo_1");
  C->AddFromFile(Dir + u"logo_1.5.png", u"logo_1.5");

  struct TCase {
    const char* Name;
    bool Center, Stretch, Cropping;
  };
  const TCase Cases[] = {{"centred", true, false, false},
                         {"top-left", false, false, false},
                         {"stretched", true, true, false},
                         {"cropped", false, false, true}};
  std::vector<TVivIzudeImage*> Images;
  for (std::size_t K = 0; K < std::size(Cases); ++K) {
    TVivIzudeImage* I = NewImage(10 + static_cast<Integer>(K) * 100, 10);
    I->SetWidth(90);
    I->SetHeight(90);
    I->SetBitmap(MakePicture(40, 20, 0x00A000).get());
    I->SetCenter(Cases[K].Center);
    I->SetStretch(Cases[K].Stretch);
    I->SetCropping(Cases[K].Cropping);
    Images.push_back(I);
  }
  TVivIzudeImage* Scaled = NewImage(10, 120);
  Scaled->SetWidth(90);
  Scaled->SetHeight(90);
  Scaled->Bitmaps()->AddBitmapName(u"logo", 1);
  Scaled->Bitmaps()->AddBitmapName(u"logo", 1.5f);
  Scaled->SetBitmapContainer(C);
  ShowForm();

  // The container's picture for the display scale, named with the scale.
  const String Wanted = Scale > 1.25f ? u"logo_1.5" : u"logo_1";
  EXPECT_EQ(Scaled->GetBitmap(), C->FindBitmap(Wanted)) << "display scale " << Scale;

  auto Shot = testsupport::ClientSurfaceImage(Form.get());
  SaveShot(*Shot, "image-placements");
  // The picture fills its paint rectangle: green just inside each corner
  // (the frame is one pixel), background just outside.
  for (std::size_t K = 0; K < Images.size(); ++K) {
    const TRectF R = Images[K]->GetPaintRectangle();
    const Integer L = Images[K]->Left() + static_cast<Integer>(R.Left),
                  T = Images[K]->Top() + static_cast<Integer>(R.Top);
    const Integer Rt = Images[K]->Left() + static_cast<Integer>(R.Right),
                  B = Images[K]->Top() + static_cast<Integer>(R.Bottom);
    for (const TPoint& P : {TPoint{L + 5, T + 5}, TPoint{Rt - 6, T + 5}, TPoint{L + 5, B - 6}, TPoint{Rt - 6, B - 6}})
      EXPECT_TRUE(Greenish(PixelAt(*Shot, P.X, P.Y))) << Cases[K].Name << " at " << P.X << "," << P.Y;
    EXPECT_EQ(PixelAt(*Shot, (L + Rt) / 2, (T + B) / 2), 0x00A000) << Cases[K].Name;
    if (T > Images[K]->Top() + 2) {
      EXPECT_NE(PixelAt(*Shot, (L + Rt) / 2, T - 2), 0x00A000) << Cases[K].Name;
    }
  }
  const Integer CX = Scaled->Left() + Scaled->Width() / 2, CY = Scaled->Top() + Scaled->Height() / 2;
  EXPECT_EQ(PixelAt(*Shot, CX, CY), Scale > 1.25f ? 0x0080FF : 0xFF0000);
  // Outside the picture: the control's white background.
  EXPECT_EQ(PixelAt(*Shot, Images[1]->Left() + Images[1]->Width() - 5, Images[1]->Top() + Images[1]->Height() - 5),
            0xFFFFFF);
}

struct BitmapContainerScreen : ImageControlTest {};

// The container's design-time look: a framed 26 by 26 icon.
TEST_F(BitmapContainerScreen, IsAFramedIconWhileDesigned) {
  struct TDesigned : TVivIzudeBitmapContainer {
    using TVivIzudeBitmapContainer::TVivIzudeBitmapContainer;
    void Design() {
      TComponentState S = ComponentState();
      S.Include(csDesigning);
      SetComponentState(S);
    }
  };
  auto* C = new TDesigned(Form.get());
  C->Design();
  C->SetParent(Form.get());
  C->SetBounds(20, 20, 100, 100);
  ShowForm();
  auto Shot = testsupport::ClientSurfaceImage(Form.get());
  SaveShot(*Shot, "container-designed");
  EXPECT_EQ(C->Width(), 26);
  EXPECT_EQ(PixelAt(*Shot, 20, 30), 0x000000) << "the frame";
  EXPECT_EQ(PixelAt(*Shot, 45, 30), 0x000000);
  EXPECT_NE(PixelAt(*Shot, 33, 33), 0x000000) << "the inside";
}

TEST_F(BitmapContainerScreen, ShowsEveryStoredPictureByName) {
  auto* C = new TVivIzudeBitmapContainer(Form.get());
  const String Dir = ScratchFolder(u"gallery");
  const TColor Colors[] = {0x0000FF, 0x00C000, 0xFF0000, 0x00C0FF, 0xC000C0};
  for (int K = 0; K < 5; ++K) {
    const String Name = u"pic" + IntToStr(K) + u".png";
    SavePng(Dir + Name, 16 + K * 12, 40 - K * 4, Colors[K]);
  }
  C->AddFromFolder(Dir + u"pic*.png");
  ASSERT_EQ(C->ItemCount(), 5);
  for (Integer K = 0; K < C->ItemCount(); ++K) {
    TVivIzudeImage* I = NewImage(10 + K * 80, 10);
    I->SetWidth(70);
    I->SetHeight(70);
    I->Bitmaps()->AddBitmapName(C->GetBitmapName(K));
    I->SetBitmapContainer(C);
  }
  ShowForm();
  auto Shot = testsupport::ClientSurfaceImage(Form.get());
  SaveShot(*Shot, "container-gallery");
  for (Integer K = 0; K < C->ItemCount(); ++K) {
    const Integer Index = C->GetBitmapName(K)[3] - u'0';
    const Integer X = 10 + K * 80 + 35, Y = 10 + 35;
    EXPECT_EQ(PixelAt(*Shot, X, Y), Colors[Index]) << K;
  }
}

}  // namespace
