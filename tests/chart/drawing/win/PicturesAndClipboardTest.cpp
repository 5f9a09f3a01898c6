// The picture helpers, scaled bitmaps, the helper class's picture methods
// and the clipboard class, on the real Win32 clipboard under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "chart/drawing/win/VivIzudeTypes.h"
#include "chart/drawing/win/VivIzudeUtils.h"
#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"
#include "rtl/Unicode.h"

namespace {
// A 4 x 2 PNG picture: the left half opaque red, the right half transparent.
std::unique_ptr<TPicture> HalfRedPng() {
  TRasterImage Img;
  Img.SetSize(4, 2);
  for (Integer y = 0; y < 2; ++y)
    for (Integer x = 0; x < 2; ++x) {
      Byte* P = Img.Row(y) + x * 4;
      P[2] = 255;
      P[3] = 255;
    }
  const TBytes Png = EncodePng(Img);
  TBytesStream Stream(Png);
  auto Picture = std::make_unique<TPicture>();
  Picture->LoadFromStream(Stream);
  return Picture;
}
}  // namespace

TEST(PictureHelpers, StreamsHexAndJpegConversion) {
  auto Picture = HalfRedPng();
  EXPECT_FALSE(IsPictureEmpty(Picture.get()));
  EXPECT_TRUE(IsPictureEmpty(nullptr));
  TPicture Empty;
  EXPECT_TRUE(IsPictureEmpty(&Empty));

  // Unknown bytes leave the picture as it was.
  TMemoryStream Junk;
  Junk.WriteBuffer("not a picture", 13);
  LoadPictureFromStream(Picture.get(), &Junk);
  EXPECT_EQ(Picture->Width(), 4);

  const String Hex = TVivIzudeUtils::SaveBitmapToHexStr(Picture.get());
  EXPECT_EQ(Hex.substr(0, 8), u"89504E47");
  const auto Back = TVivIzudeUtils::CreateBitmapFromHexStr(Hex);
  EXPECT_NE(dynamic_cast<TPngImage*>(Back->Graphic()), nullptr);
  EXPECT_EQ(Back->Height(), 2);
  EXPECT_EQ(TVivIzudeUtils::SaveBitmapToHexStr(&Empty), u"");

  // Transparent pixels come out in the background colour.
  const auto Jpeg = TVivIzudeUtils::ConvertBitmapToJPEGStream(Picture.get(), 1.0f, 0x00FF00);
  ASSERT_NE(Jpeg, nullptr);
  const TRasterImage Decoded =
      DecodeJpeg(static_cast<const Byte*>(Jpeg->Memory()), static_cast<std::size_t>(Jpeg->Size()));
  EXPECT_GT(Decoded.Row(1)[3 * 4 + 1], 200);  // right: green background
  EXPECT_GT(Decoded.Row(0)[0 * 4 + 2], 200);  // left: red
  EXPECT_EQ(TVivIzudeUtils::ConvertBitmapToJPEGStream(&Empty, 1.0f, -1), nullptr);
}

TEST(ScaledBitmaps, ItemByScaleFallsBackToTheLargest) {
  TVivScaledBitmaps Bitmaps;
  EXPECT_EQ(Bitmaps.GetItemByScale(1.5f), nullptr);
  int Changes = 0;
  Bitmaps.OnChange = [&Changes](TObject*) { ++Changes; };
  TVivScaledBitmap* One = Bitmaps.Add(1.0f);
  TVivScaledBitmap* Two = Bitmaps.Add(2.0f);
  EXPECT_EQ(Bitmaps.GetItemByScale(1.5f), Two);
  EXPECT_EQ(Bitmaps.GetItemByScale(1.0f), One);
  TVivScaledBitmap* OneHalf = Bitmaps.Add(1.5f);
  EXPECT_EQ(Bitmaps.GetItemByScale(1.5f), OneHalf);
  EXPECT_GT(Changes, 0);
  auto Picture = HalfRedPng();
  Bitmaps.SetBitmap(3.0f, Picture.get());  // no 3.0 item: a new one, the 2.0 picture kept
  EXPECT_TRUE(IsPictureEmpty(Two->Bitmap()));
  ASSERT_EQ(Bitmaps.Count(), 4);
  EXPECT_EQ(Bitmaps.Items(3)->Scale(), 3.0f);
  EXPECT_EQ(Bitmaps.Items(3)->Bitmap()->Width(), 4);
  Bitmaps.SetBitmap(1.0f, Picture.get());  // the item of that very scale
  EXPECT_EQ(One->Bitmap()->Width(), 4);
  EXPECT_EQ(Bitmaps.Count(), 4);
  TVivScaledBitmap* Named = Bitmaps.AddBitmapName(u"arrow", 1.25f);
  EXPECT_EQ(Named->BitmapName(), u"arrow");
  TVivScaledBitmap* Missing = Bitmaps.AddBitmapFromResource(u"NO_SUCH_PICTURE", 1.0f);
  EXPECT_TRUE(IsPictureEmpty(Missing->Bitmap()));
}

TEST(OwnedCollection, TypedItemsEnumeratedInOrder) {
  TPicture Owner;
  TVivOwnedCollection<TVivScaledBitmap> Items(&Owner);
  EXPECT_EQ(Items.GetOwner(), &Owner);
  auto Empty = Items.GetEnumerator();
  EXPECT_FALSE(Empty.MoveNext());
  for (float Scale : {1.0f, 1.5f, 2.0f}) static_cast<TVivScaledBitmap*>(Items.Add())->SetScale(Scale);
  EXPECT_EQ(Items.GetItem(1)->Scale(), 1.5f);
  std::vector<float> Seen;
  auto E = Items.GetEnumerator();
  while (E.MoveNext()) Seen.push_back(E.GetCurrent()->Scale());
  EXPECT_EQ(Seen, (std::vector<float>{1.0f, 1.5f, 2.0f}));
  EXPECT_FALSE(E.MoveNext());  // stays at the end
  Seen.clear();
  for (TVivScaledBitmap* Item : Items) Seen.push_back(Item->Scale());
  EXPECT_EQ(Seen.size(), 3u);
}

TEST(VivClipBoard, FormatsTextStreamsRtfAndHtml) {
  EXPECT_FALSE(TVivClipBoard::HasFormat(cfBitmapWin));
  EXPECT_EQ(TVivClipBoard::GetFormat(cfBitmapWin), u"");
  EXPECT_EQ(TVivClipBoard::GetFormat(cfStream), u"TVivClipBoard.StreamFormat");
  EXPECT_NE(VivClipBoardFormats().Stream, 0u);

  TVivClipBoard::SetText(u"caf\u00E9 \u4E2D");
  EXPECT_EQ(TVivClipBoard::GetText(), u"caf\u00E9 \u4E2D");
  EXPECT_TRUE(TVivClipBoard::HasContent());

  TMemoryStream Ten;
  Ten.WriteBuffer("0123456789", 10);  // positioned at its end
  TVivClipBoard::SetStream(&Ten);
  const auto Got = TVivClipBoard::GetStream();
  ASSERT_NE(Got, nullptr);
  EXPECT_EQ(Got->Position(), 0);
  ASSERT_GE(Got->Size(), 10);
  EXPECT_EQ(std::string(static_cast<const char*>(Got->Memory()), 10), "0123456789");
  EXPECT_TRUE(TVivClipBoard::HasFormat(cfStream));

  TVivClipBoard::SetRTF(u"{\\rtf1 hello}");
  EXPECT_EQ(TVivClipBoard::GetRTF(), u"{\\rtf1 hello}");

  // HTML alone is no content.
  TVivClipBoard::Clear();
  EXPECT_EQ(TVivClipBoard::GetStream(), nullptr);
  TVivClipBoard::SetHTML(u"<b>\u4E2D\u6587</b>");
  EXPECT_TRUE(TVivClipBoard::HasFormat(cfHTML));
  EXPECT_FALSE(TVivClipBoard::HasContent());
  const String Html = TVivClipBoard::GetHTML();
  EXPECT_NE(Html.find(u"<b>\u4E2D\u6587</b>"), String::npos);
  EXPECT_EQ(Html.rfind(u"Version:0.9", 0), 0u);
}

TEST(VivClipBoard, HtmlOffsetsPointAtTheirParts) {
  for (const String& Fragment : {String(), String(u"<i>x\u00E9</i>")}) {
    const std::string Data = TVivClipBoard::HTMLClipboardData(Fragment);
    const auto Field = [&Data](const char* Name) {
      const std::size_t P = Data.find(Name) + std::strlen(Name);
      return static_cast<std::size_t>(std::stoul(Data.substr(P, 8)));
    };
    EXPECT_EQ(Data.compare(Field("StartHTML:"), 10, "<!DOCTYPE>"), 0);
    EXPECT_EQ(Field("EndHTML:"), Data.size());
    const std::size_t Start = Field("StartFragment:"), End = Field("EndFragment:");
    EXPECT_EQ(Data.substr(Start, End - Start), UTF16ToUTF8(Fragment));
    EXPECT_EQ(Data.compare(Start - 23, 23, "<!--StartFragment -->\r\n"), 0);
  }
}

TEST(VivClipBoard, PicturesRoundTrip) {
  auto Picture = HalfRedPng();
  TVivClipBoard::SetBitmap(Picture.get());
  EXPECT_TRUE(TVivClipBoard::HasFormat(cfBitmap));
  const auto Back = TVivClipBoard::GetBitmap();
  ASSERT_EQ(Back->Width(), 4);
  auto* Bitmap = dynamic_cast<TBitmap*>(Back->Graphic());
  ASSERT_NE(Bitmap, nullptr);
  EXPECT_EQ(Bitmap->Canvas()->Pixel(0, 0), clRed);
  EXPECT_EQ(Bitmap->Canvas()->Pixel(3, 1), clWhite);
  TVivClipBoard::Clear();
  EXPECT_EQ(TVivClipBoard::GetBitmap()->Graphic(), nullptr);
}
