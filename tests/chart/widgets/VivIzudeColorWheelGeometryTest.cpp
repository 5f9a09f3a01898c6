// The colour wheel's arithmetic, and its pictures checked against it.
#include "chart/widgets/VivIzudeColorWheelGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>

#include "chart/widgets/VivIzudeColorWheelResources.h"
#include "imaging/PngCodec.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

double DirectionDegrees(double DX, double DY) {
  const double D = std::atan2(DY, DX) * 180 / std::numbers::pi;
  return D < 0 ? D + 360 : D;
}

double AngleBetween(double A, double B) {
  const double D = std::fabs(A - B);
  return std::min(D, 360 - D);
}

TEST(ColorWheelGeometry, HueAndSaturationOfColours) {
  struct Case {
    Integer R, G, B;
    double Hue, Saturation;
  };
  const Case Cases[] = {
      {255, 0, 0, 0, 1},           {255, 255, 0, 60, 1}, {0, 255, 0, 120, 1},
      {0, 255, 255, 180, 1},       {0, 0, 255, 240, 1},  {255, 0, 255, -60, 1},  // not brought into 0..360
      {128, 128, 128, 0, 0},       {0, 0, 0, 0, 0},      {255, 255, 255, 0, 0},
      {255, 128, 128, 0, 0.49804}, {100, 50, 0, 30, 1},  {0, 64, 128, 210, 1},
  };
  for (const Case& C : Cases) {
    const TVivIzudeColorWheelHSColor HS = RGBToHueSaturation(C.R, C.G, C.B);
    EXPECT_NEAR(HS.Hue, C.Hue, 1e-9) << C.R << "," << C.G << "," << C.B;
    EXPECT_NEAR(HS.Saturation, C.Saturation, 1e-5) << C.R << "," << C.G << "," << C.B;
  }
}

TEST(ColorWheelGeometry, TheMarkerSitsAtTheColoursHueAndSaturation) {
  // A 150-pixel picture: centre (75, 75), rim at 74.5.
  const TPointF Centre{75, 75};
  struct Case {
    Integer R, G, B;
    float X, Y;
  };
  const Case Cases[] = {
      {255, 0, 0, 149.5f, 75},          // red: the rim on the right
      {0, 0, 255, 37.75f, 10.481f},     // blue: above and to the left
      {0, 255, 0, 37.75f, 139.519f},    // green: below and to the left
      {255, 0, 255, 112.25f, 10.481f},  // magenta (hue -60): above and to the right
      {128, 128, 128, 75, 75},          // grey: the centre
      {255, 255, 255, 75, 75},          // white: the centre
      {255, 128, 128, 112.104f, 75},    // pale red: half way out
  };
  for (const Case& C : Cases) {
    const TPointF P = ColorWheelMarkerPoint(RGBToHueSaturation(C.R, C.G, C.B), Centre, 75);
    EXPECT_NEAR(P.X, C.X, 0.01) << C.R << "," << C.G << "," << C.B;
    EXPECT_NEAR(P.Y, C.Y, 0.01) << C.R << "," << C.G << "," << C.B;
  }
}

TEST(ColorWheelGeometry, TheDiscHoldsTheCentreAndTheRimButNotBeyond) {
  struct Case {
    float X, Y, Scale;
    bool Inside;
  };
  const Case Cases[] = {
      {75, 75, 1, true},          // centre
      {149, 75, 1, true},         // right rim (74 from the centre)
      {150, 75, 1, false},        // just past it
      {1, 75, 1, true},           // left rim
      {0, 75, 1, false},          // the picture's edge is outside the disc
      {75, 1, 1, true},           // top rim
      {0, 0, 1, false},           // corner
      {149, 149, 1, false},       // corner
      {127.3f, 127.3f, 1, true},  // on the diagonal, 73.96 out
      {127.4f, 127.4f, 1, false},
      {-10, 75, 1, false},  // outside the picture
      {112.5f, 112.5f, 1.5f, true},
      {223.5f, 112.5f, 1.5f, true},  // 111 = 74 * 1.5 out
      {224, 112.5f, 1.5f, false},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(IsInsideColorWheel(C.X, C.Y, C.Scale), C.Inside) << C.X << "," << C.Y << " at " << C.Scale;
}

TEST(ColorWheelGeometry, APointOutsideIsBroughtToTheRimInItsDirection) {
  // Pointers around a 150-pixel picture, near and far, on and off the axes.
  const TPointF Centre{75, 75};
  const TPointF Origin{74.5f, 74.5f};  // the clamp works half a pixel up and left
  const TPointF Pointers[] = {{300, 75},  {-200, 75}, {75, -40},  {75, 400},  {160, 160}, {-5, -5},
                              {160, -10}, {-30, 170}, {200, 100}, {100, -90}, {152, 40},  {10, 150}};
  for (const TPointF& P : Pointers) {
    const TPointF M = ClampToColorWheel(P.X, P.Y, Centre, 75);
    EXPECT_NEAR(std::hypot(M.X - Origin.X, M.Y - Origin.Y), 74, 1e-3) << P.X << "," << P.Y;
    // An axis counts as 1 pixel off it, so a far pointer keeps its direction.
    EXPECT_LT(AngleBetween(DirectionDegrees(M.X - Origin.X, M.Y - Origin.Y),
                           DirectionDegrees(P.X - Centre.X, P.Y - Centre.Y)),
              1.0)
        << P.X << "," << P.Y;
    // The pixel read there lies inside the 150 x 150 picture.
    for (const float V : {M.X, M.Y}) {
      EXPECT_GE(std::nearbyint(V), 0) << P.X << "," << P.Y;
      EXPECT_LE(std::nearbyint(V), 149) << P.X << "," << P.Y;
    }
  }
}

TEST(ColorWheelGeometry, BytesHexTextAndBackAgree) {
  EXPECT_EQ(RGBToGraphicsColor(255, 0, 0), 0x0000FF);
  EXPECT_EQ(RGBToGraphicsColor(256, -1, 0x1AB), 0xABFF00);  // each masked to 8 bits
  EXPECT_EQ(ColorToRValue(0x123456), 0x56);
  EXPECT_EQ(ColorToGValue(0x123456), 0x34);
  EXPECT_EQ(ColorToBValue(0x123456), 0x12);
  EXPECT_EQ(ColorToHEXText(0x0000FF), u"FF0000");
  EXPECT_EQ(ColorToHEXText(0x0A0B0C), u"0C0B0A");
  EXPECT_EQ(HEXTextToColor(u"FF0000"), 0x0000FF);
  EXPECT_EQ(HEXTextToColor(u"00ff80"), 0x80FF00);
  for (const char16_t* Bad : {u"GG0000", u"-10000", u"00 100", u"0000+1"})
    EXPECT_THROW(HEXTextToColor(Bad), EConvertError) << std::string(Bad, Bad + 6);
}

// Every opaque pixel of every picture, read as a colour, puts the marker back
// on that pixel: a click shows the marker where the user clicked.
TEST(ColorWheelGeometry, ThePicturesAgreeWithTheMarkerArithmetic) {
  for (const TVivIzudeColorWheelPicture& Picture : VivIzudeColorWheelPictures) {
    const std::u16string Name16 = Picture.ResourceName;
    const std::string Name(Name16.begin(), Name16.end());
    std::ifstream In(testsupport::SourcePath("chart/widgets/res/" + Name + ".png"), std::ios::binary);
    ASSERT_TRUE(In) << Name;
    const std::string Bytes{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    const TRasterImage Image = DecodePng(reinterpret_cast<const Byte*>(Bytes.data()), Bytes.size());
    const Integer N = static_cast<Integer>(std::nearbyint(150 * Picture.Scale));
    ASSERT_EQ(Image.Width, N) << Name;
    ASSERT_EQ(Image.Height, N) << Name;
    const TPointF Centre{N / 2.0f, N / 2.0f};
    double Worst = 0;
    Integer Opaque = 0;
    for (Integer Y = 0; Y < N; ++Y) {
      for (Integer X = 0; X < N; ++X) {
        const Byte* P = Image.Row(Y) + X * 4;
        // The disc test passes only opaque pixels.
        if (IsInsideColorWheel(static_cast<float>(X), static_cast<float>(Y), Picture.Scale)) {
          ASSERT_EQ(P[3], 255) << Name << " at " << X << "," << Y;
        }
        if (P[3] != 255) continue;
        ++Opaque;
        const TPointF M = ColorWheelMarkerPoint(RGBToHueSaturation(P[2], P[1], P[0]), Centre, N / 2.0f);
        Worst = std::max<double>(Worst, std::hypot(M.X - X, M.Y - Y));
      }
    }
    EXPECT_LT(Worst, 1.5) << Name;
    // A drag past the rim, in any direction, reads a rim colour (the clamp
    // stays within a pixel and a half of the rim).
    for (Integer Tenth = 0; Tenth < 3600; ++Tenth) {
      const double A = Tenth / 10.0 * std::numbers::pi / 180;
      const TPointF M = ClampToColorWheel(static_cast<float>(Centre.X + 1000 * std::cos(A)),
                                          static_cast<float>(Centre.Y + 1000 * std::sin(A)), Centre, N / 2.0f);
      const double X = std::nearbyint(M.X), Y = std::nearbyint(M.Y);
      ASSERT_TRUE(X >= 0 && Y >= 0 && X < N && Y < N) << Name << " at " << Tenth / 10.0;
      const Byte* P = Image.Row(static_cast<Integer>(Y)) + static_cast<Integer>(X) * 4;
      ASSERT_EQ(P[3], 255) << Name << " at " << Tenth / 10.0;
      ASSERT_GT(RGBToHueSaturation(P[2], P[1], P[0]).Saturation, 0.97) << Name << " at " << Tenth / 10.0;
    }
    // The corners are transparent.
    EXPECT_EQ(Image.Row(0)[3], 0) << Name;
    EXPECT_EQ(Image.Row(N - 1)[(N - 1) * 4 + 3], 0) << Name;
    EXPECT_GT(Opaque, N * N * 3 / 4) << Name;  // pi / 4 of the square
  }
}

}  // namespace
