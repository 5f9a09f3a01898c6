#include <gtest/gtest.h>

#include "ChartRasterPreview.h"
#include <numbers>

#include "PieTestSupport.h"
#include "rtl/SysUtils.h"

namespace {
const TColor Palette[] = {RGBToColor(66, 133, 244), RGBToColor(219, 68, 55),  RGBToColor(244, 180, 0),
                          RGBToColor(15, 157, 88),  RGBToColor(171, 71, 188), RGBToColor(0, 172, 193),
                          RGBToColor(255, 112, 67), RGBToColor(158, 157, 36), RGBToColor(92, 107, 192),
                          RGBToColor(240, 98, 146), RGBToColor(0, 121, 107),  RGBToColor(194, 24, 91),
                          RGBToColor(121, 85, 72),  RGBToColor(96, 125, 139)};
}  // namespace

// The folder pie for three data sets: saved for a person to look at, and
// probed at each slice's bisector.
TEST(PiePreview, FolderPiesAndBisectorProbes) {
  struct Set {
    const char* Name;
    std::vector<double> Values;
  } Sets[] = {{"pie-one-slice", {42}},
              {"pie-1-3-6", {1, 3, 6}},
              {"pie-14-slices", {130, 110, 90, 80, 70, 70, 60, 60, 50, 50, 45, 40, 35, 60}}};
  for (const Set& D : Sets) {
    TPieFixture F;
    F.FolderPie();
    for (size_t I = 0; I < D.Values.size(); ++I)
      F.Add(D.Values[I], I == 13 ? String(u"Grouped") : u"Folder " + IntToStr(int(I + 1)), Palette[I % 14]);
    const TRect Area{0, 0, 420, 560};
    F.Paint(Area);
    TRasterPreview Preview(Area.Width(), Area.Height());
    Preview.Render(F.Canvas.Records());
    std::string Path = Preview.Save(D.Name);
    RecordProperty(D.Name, Path);
    for (size_t K = 0; K < D.Values.size(); ++K) {
      const TSlicePoint& S = F.Pie.DrawValuesSlice[K];
      double Mid = (S.STA + S.SWA) / 2 * std::numbers::pi / 180;
      Integer R = F.Pie.Pie().GetPieSize() / 2;
      // Between the value text (half the radius) and the rim.
      Integer X = S.CX + RoundI(0.8 * R * std::cos(Mid)), Y = S.CY - RoundI(0.8 * R * std::sin(Mid));
      EXPECT_EQ(Preview.Pixel(X, Y), Palette[K % 14]) << D.Name << " slice " << K;
    }
  }
}
