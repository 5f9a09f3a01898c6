// Style colours: which element and which colour each question reads, the
// sampling fallback, and the answers without an enabled style.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "chart/drawing/VivIzudeGraphics.h"
#include "chart/widgets/VivIzudeStyles.h"

namespace {

// A style whose colours come from a table and whose elements paint each row
// in its own colour (red = row, green = the element, blue = its part), so a
// sampled pixel tells where it was read.
class TTableStyle : public TVivIzudeStyleServices {
public:
  explicit TTableStyle(String AName = u"Carbon", bool AEnabled = true) : FName(std::move(AName)), FEnabled(AEnabled) {}
  bool Enabled() const override { return FEnabled; }
  String Name() const override { return FName; }
  bool GetElementColor(const TThemedElementDetails& Details, TElementColor Which, TColor& AColor) const override {
    auto It = Colors.find({Key(Details), Which});
    if (It == Colors.end()) return false;
    AColor = It->second;
    return true;
  }
  void DrawElement(const TThemedElementDetails& Details, TRasterImage& ABitmap, const TRect& R) const override {
    ++Draws;
    for (Integer Y = R.Top; Y < R.Bottom; ++Y)
      for (Integer X = R.Left; X < R.Right; ++X) {
        Byte* P = ABitmap.Row(Y) + X * 4;
        P[0] = static_cast<Byte>(Details.Part);
        P[1] = static_cast<Byte>(Details.Element);
        P[2] = static_cast<Byte>(Y);
        P[3] = 255;
      }
  }
  static int Key(const TThemedElementDetails& D) { return D.Element * 16 + D.Part; }
  static TColor Sampled(const TThemedElementDetails& D, Integer Y) { return Y | (D.Element << 8) | (D.Part << 16); }

  std::map<std::pair<int, TElementColor>, TColor> Colors;
  mutable int Draws = 0;

private:
  String FName;
  bool FEnabled;
};

class StylesTest : public ::testing::Test {
protected:
  void TearDown() override { TVivIzudeStyleManager::SetActiveStyle(nullptr); }
  void Give(TTableStyle& Style, const TThemedElementDetails& D, TElementColor Which, TColor C) {
    Style.Colors[{TTableStyle::Key(D), Which}] = C;
  }
};

using TQuestion = bool (*)(TColor&);

struct TAllQuestions {
  const char* Name;
  TQuestion Ask;
};
const TAllQuestions AllQuestions[] = {
    {"LineFill", &TVivIzudeStyles::GetStyleLineFillColor},
    {"BackgroundFill", &TVivIzudeStyles::GetStyleBackgroundFillColor},
    {"BackgroundFillTo", &TVivIzudeStyles::GetStyleBackgroundFillColorTo},
    {"AlternativeBackgroundFill", &TVivIzudeStyles::GetStyleAlternativeBackgroundFillColor},
    {"AlternativeBackgroundFillTo", &TVivIzudeStyles::GetStyleAlternativeBackgroundFillColorTo},
    {"BackgroundStroke", &TVivIzudeStyles::GetStyleBackgroundStrokeColor},
    {"HeaderFill", &TVivIzudeStyles::GetStyleHeaderFillColor},
    {"HeaderFillTo", &TVivIzudeStyles::GetStyleHeaderFillColorTo},
    {"HeaderStroke", &TVivIzudeStyles::GetStyleHeaderStrokeColor},
    {"SelectionFill", &TVivIzudeStyles::GetStyleSelectionFillColor},
    {"SelectionFillTo", &TVivIzudeStyles::GetStyleSelectionFillColorTo},
    {"TextFont", &TVivIzudeStyles::GetStyleTextFontColor},
    {"AlternativeTextFont", &TVivIzudeStyles::GetStyleAlternativeTextFontColor},
    {"DefaultButtonFill", &TVivIzudeStyles::GetStyleDefaultButtonFillColor},
    {"DefaultButtonStroke", &TVivIzudeStyles::GetStyleDefaultButtonStrokeColor},
};

TEST_F(StylesTest, WithoutAnEnabledStyleEveryQuestionAnswersFalseAndKeepsTheColour) {
  TTableStyle Windows(u"Windows");
  TTableStyle Off(u"Carbon", false);
  for (TTableStyle* Style : {static_cast<TTableStyle*>(nullptr), &Windows, &Off}) {
    if (Style) {
      Give(*Style, GetElementDetails(tgCellNormal), ecFillColor, 0x123456);
      Give(*Style, GetElementDetails(tgCellNormal), ecTextColor, 0x123456);
    }
    TVivIzudeStyleManager::SetActiveStyle(Style);
    EXPECT_FALSE(TVivIzudeStyles::StyleServicesEnabled());
    for (const auto& Q : AllQuestions) {
      TColor C = 0x0ABCDE;
      EXPECT_FALSE(Q.Ask(C)) << Q.Name;
      EXPECT_EQ(C, 0x0ABCDE) << Q.Name;
    }
  }
}

TEST_F(StylesTest, EachQuestionReadsItsElementAndColour) {
  TTableStyle Style;
  // Every element colour a question may read, each distinct.
  const TThemedElementDetails Grid = GetElementDetails(tgCellNormal),
                              Gradient = GetElementDetails(tgGradientCellNormal),
                              Edit = GetElementDetails(teBackgroundNormal),
                              Selected = GetElementDetails(tgCellSelected), Button = GetElementDetails(tcbButtonNormal);
  Give(Style, Grid, ecBorderColor, 0x000001);
  Give(Style, Grid, ecFillColor, 0x000002);
  Give(Style, Grid, ecTextColor, 0x000003);
  Give(Style, Gradient, ecFillColor, 0x000004);
  Give(Style, Edit, ecGradientColor1, 0x000005);
  Give(Style, Selected, ecTextColor, 0x000006);
  Give(Style, Button, ecBorderColor, 0x000007);
  TVivIzudeStyleManager::SetActiveStyle(&Style);
  ASSERT_TRUE(TVivIzudeStyles::StyleServicesEnabled());

  const TThemedElementDetails Fixed = GetElementDetails(tgFixedCellNormal);
  const struct {
    const char* Name;
    TQuestion Ask;
    TColor Expected;
  } Cases[] = {
      {"LineFill", &TVivIzudeStyles::GetStyleLineFillColor, 0x000001},
      {"BackgroundFill", &TVivIzudeStyles::GetStyleBackgroundFillColor, 0x000002},
      {"BackgroundFillTo", &TVivIzudeStyles::GetStyleBackgroundFillColorTo, 0x000004},
      {"AlternativeBackgroundFill", &TVivIzudeStyles::GetStyleAlternativeBackgroundFillColor,
       TTableStyle::Sampled(Edit, 2)},
      {"AlternativeBackgroundFillTo", &TVivIzudeStyles::GetStyleAlternativeBackgroundFillColorTo, 0x000005},
      {"BackgroundStroke", &TVivIzudeStyles::GetStyleBackgroundStrokeColor, 0x000001},
      {"HeaderFill", &TVivIzudeStyles::GetStyleHeaderFillColor, TTableStyle::Sampled(Fixed, 2)},
      {"HeaderFillTo", &TVivIzudeStyles::GetStyleHeaderFillColorTo, TTableStyle::Sampled(Fixed, 198)},
      {"SelectionFill", &TVivIzudeStyles::GetStyleSelectionFillColor, TTableStyle::Sampled(Selected, 2)},
      {"SelectionFillTo", &TVivIzudeStyles::GetStyleSelectionFillColorTo, TTableStyle::Sampled(Selected, 198)},
      {"TextFont", &TVivIzudeStyles::GetStyleTextFontColor, 0x000003},
      {"AlternativeTextFont", &TVivIzudeStyles::GetStyleAlternativeTextFontColor, 0x000006},
      {"DefaultButtonFill", &TVivIzudeStyles::GetStyleDefaultButtonFillColor, TTableStyle::Sampled(Button, 2)},
      {"DefaultButtonStroke", &TVivIzudeStyles::GetStyleDefaultButtonStrokeColor, 0x000007},
  };
  for (const auto& C : Cases) {
    TColor Got = 0x7F7F7F;
    EXPECT_TRUE(C.Ask(Got)) << C.Name;
    EXPECT_EQ(Got, C.Expected) << C.Name;
  }
  TColor Header = 0x7F7F7F;
  EXPECT_FALSE(TVivIzudeStyles::GetStyleHeaderStrokeColor(Header));
  EXPECT_EQ(Header, 0x7F7F7F);
}

TEST_F(StylesTest, AStyleWithoutTheColourFallsBackOrAnswersTheMarker) {
  TTableStyle Style;  // no element colours at all
  TVivIzudeStyleManager::SetActiveStyle(&Style);

  // A cell without a fill colour: the pixel at the top (or bottom) middle of the drawn cell.
  TColor Fill = 0;
  EXPECT_TRUE(TVivIzudeStyles::GetStyleBackgroundFillColor(Fill));
  EXPECT_EQ(Fill, TTableStyle::Sampled(GetElementDetails(tgCellNormal), 2));
  TColor FillTo = 0;
  EXPECT_TRUE(TVivIzudeStyles::GetStyleBackgroundFillColorTo(FillTo));
  EXPECT_EQ(FillTo, TTableStyle::Sampled(GetElementDetails(tgGradientCellNormal), 198));

  // No sampling for the others: the marker is stored and the answer is false.
  for (TQuestion Ask :
       {&TVivIzudeStyles::GetStyleLineFillColor, &TVivIzudeStyles::GetStyleTextFontColor,
        &TVivIzudeStyles::GetStyleAlternativeTextFontColor, &TVivIzudeStyles::GetStyleDefaultButtonStrokeColor}) {
    TColor C = 0x0ABCDE;
    EXPECT_FALSE(Ask(C));
    EXPECT_EQ(C, StyleColorMarker);
  }
}

}  // namespace

namespace {

struct DefaultColorsTest : ::testing::Test {
  void TearDown() override { TVivIzudeStyleManager::SetActiveStyle(nullptr); }
};

TEST_F(DefaultColorsTest, WithoutAStyleTheDefaultsArePlain) {
  DefaultFocusColor = DefaultActiveFillColor = 0x123456;
  InitializeDefaultGraphicColors();
  EXPECT_EQ(DefaultBackgroundColor, 0xFFFFFF);
  EXPECT_EQ(DefaultBackgroundStrokeColor, 0xC0C0C0);
  EXPECT_EQ(DefaultFillColor, MakeColor(225, 225, 225));
  EXPECT_EQ(DefaultStrokeColor, 0xA9A9A9);
  EXPECT_EQ(DefaultTextColor, 0);
  EXPECT_EQ(DefaultFocusColor, 0);
  EXPECT_EQ(DefaultActiveFillColor, MakeColor(229, 241, 251));
  EXPECT_EQ(DefaultActiveStrokeColor, MakeColor(60, 127, 177));
  EXPECT_EQ(DefaultDisabledStrokeColor, 0xA9A9A9);
  EXPECT_EQ(DefaultDisabledFillColor, 0xD3D3D3);
}

TEST_F(DefaultColorsTest, AStyleGivesItsColoursAndTheSelectionBlendsWithThem) {
  TTableStyle Style;
  const TThemedElementDetails Grid = GetElementDetails(tgCellNormal);
  Style.Colors[{TTableStyle::Key(Grid), ecFillColor}] = 0x101010;
  Style.Colors[{TTableStyle::Key(Grid), ecBorderColor}] = 0x202020;
  Style.Colors[{TTableStyle::Key(Grid), ecTextColor}] = 0x303030;
  TVivIzudeStyleManager::SetActiveStyle(&Style);
  InitializeDefaultGraphicColors();
  EXPECT_EQ(DefaultBackgroundColor, 0x101010);
  EXPECT_EQ(DefaultBackgroundStrokeColor, 0x202020);
  EXPECT_EQ(DefaultStrokeColor, 0x202020);
  EXPECT_EQ(DefaultTextColor, 0x303030);
  // Sampled: the button and the selected cell at their top middle.
  const TColor Button = TTableStyle::Sampled(GetElementDetails(tcbButtonNormal), 2);
  const TColor Selection = TTableStyle::Sampled(GetElementDetails(tgCellSelected), 2);
  EXPECT_EQ(DefaultFillColor, Button);
  EXPECT_EQ(DefaultFocusColor, Selection);
  EXPECT_EQ(DefaultActiveFillColor, BlendColor(Selection, Button, 25));
  EXPECT_EQ(DefaultActiveStrokeColor, BlendColor(Selection, 0x202020, 30));
  EXPECT_EQ(DefaultDisabledFillColor, 0xD3D3D3);
}

}  // namespace
