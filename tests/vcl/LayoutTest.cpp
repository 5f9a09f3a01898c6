#include <gtest/gtest.h>

#include "vcl/AlignLayout.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"

namespace {

TAlignItem Item(TAlign Align, TRect Bounds, TRect Margins = {}, bool UseMargins = false) {
  TAlignItem item;
  item.Align = Align;
  item.Bounds = Bounds;
  item.Margins = Margins;
  item.UseMargins = UseMargins;
  return item;
}

struct TAlignCase {
  const char* Name;
  TRect Client;
  std::vector<TAlignItem> Items;
  std::vector<TRect> Expected;
};

TEST(AlignLayout, PlacesAlignedItems) {
  const std::vector<TAlignCase> cases = {
      {"top bottom left right client",
       {0, 0, 200, 100},
       {Item(alClient, {0, 0, 5, 5}), Item(alTop, Bounds(0, 0, 10, 20)), Item(alBottom, Bounds(0, 0, 10, 10)),
        Item(alLeft, Bounds(0, 0, 30, 10)), Item(alRight, Bounds(0, 0, 40, 10))},
       {{30, 20, 160, 90}, {0, 0, 200, 20}, {0, 90, 200, 100}, {0, 20, 30, 90}, {160, 20, 200, 90}}},
      {"two tops ordered by position, not by list order",
       {0, 0, 100, 100},
       {Item(alTop, Bounds(0, 50, 10, 10)), Item(alTop, Bounds(0, 0, 10, 20))},
       {{0, 20, 100, 30}, {0, 0, 100, 20}}},
      {"left panel, splitter after it, client",
       {0, 32, 640, 378},
       {Item(alLeft, Bounds(0, 0, 150, 10)), Item(alLeft, Bounds(150, 0, 3, 100)), Item(alClient, {})},
       {{0, 32, 150, 378}, {150, 32, 153, 378}, {153, 32, 640, 378}}},
      {"margins stay outside the item",
       {0, 0, 100, 100},
       {Item(alTop, Bounds(0, 0, 10, 20), {1, 2, 3, 4}, true), Item(alClient, {}, {5, 5, 5, 5}, true)},
       {{1, 2, 97, 22}, {5, 31, 95, 95}}},
      {"sizes never go below zero",
       {0, 0, 50, 30},
       {Item(alTop, Bounds(0, 0, 10, 40)), Item(alClient, {})},
       {{0, 0, 50, 40}, {0, 30, 50, 30}}},
      {"alNone is not moved",
       {0, 0, 50, 50},
       {Item(alNone, Bounds(7, 8, 9, 10)), Item(alClient, {})},
       {Bounds(7, 8, 9, 10), {0, 0, 50, 50}}},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.Name);
    AlignItems(c.Client, c.Items);
    ASSERT_EQ(c.Items.size(), c.Expected.size());
    for (std::size_t i = 0; i < c.Items.size(); ++i) {
      const TRect& got = c.Items[i].Bounds;
      const TRect& want = c.Expected[i];
      EXPECT_EQ(got, want) << "item " << i << ": " << got.Left << "," << got.Top << "," << got.Right << ","
                           << got.Bottom;
    }
  }
}

TEST(AlignLayout, HiddenItemsTakeNoSpace) {
  std::vector<TAlignItem> items = {Item(alTop, Bounds(0, 0, 10, 20)), Item(alClient, {})};
  items[0].Visible = false;
  AlignItems({0, 0, 100, 100}, items);
  EXPECT_EQ(items[1].Bounds, (TRect{0, 0, 100, 100}));
}

TEST(AlignLayout, InsetNeverInvertsTheRect) {
  struct TCase {
    TRect R;
    Integer By;
    TRect Want;
  } const cases[] = {
      {{0, 0, 100, 50}, 0, {0, 0, 100, 50}},    {{0, 0, 100, 50}, 5, {5, 5, 95, 45}},
      {{10, 20, 30, 60}, 10, {20, 30, 20, 50}}, {{0, 0, 100, 50}, 30, {30, 30, 70, 30}},
      {{0, 0, 10, 10}, 8, {8, 8, 8, 8}},
  };
  for (const TCase& c : cases) {
    const TRect got = InsetRect(c.R, c.By);
    EXPECT_EQ(got, c.Want) << "by " << c.By << ": " << got.Left << "," << got.Top << "," << got.Right << ","
                           << got.Bottom;
  }
}

TEST(AlignLayout, AnchorsFollowTheResize) {
  struct TCase {
    TAnchors Anchors;
    TRect Expected;
  };
  const TCase cases[] = {
      {{akLeft, akTop}, Bounds(100, 50, 40, 20)},
      {{akRight, akBottom}, Bounds(200, 100, 40, 20)},
      {{akLeft, akRight, akTop}, Bounds(100, 50, 140, 20)},
      {{akLeft, akTop, akBottom}, Bounds(100, 50, 40, 70)},
      {akTop, Bounds(140, 50, 40, 20)},  // centre kept at the same fraction
  };
  for (const TCase& c : cases) {
    std::vector<TAlignItem> items = {Item(alNone, Bounds(100, 50, 40, 20))};
    items[0].Anchors = c.Anchors;
    AnchorItems({300, 200}, {400, 250}, items);
    EXPECT_EQ(items[0].Bounds, c.Expected)
        << "anchors " << c.Anchors.Bits() << ": " << items[0].Bounds.Left << "," << items[0].Bounds.Top << " "
        << items[0].Bounds.Width() << "x" << items[0].Bounds.Height();
  }
}

TEST(AlignLayout, CentresInsideTheArea) {
  EXPECT_EQ(CenterIn({0, 0, 1000, 800}, {200, 100}, {0, 0, 1000, 800}), (TPoint{400, 350}));
  // Centred on a small owner near the edge, then pushed back inside.
  EXPECT_EQ(CenterIn({900, 0, 1000, 50}, {200, 100}, {0, 0, 1000, 800}), (TPoint{800, 0}));
  EXPECT_EQ(CenterIn({0, 0, 10, 10}, {20, 20}, {}), (TPoint{-5, -5}));
}

// ---------------------------------------------------------------- command line

TEST(AlignLayout, ControlsBuiltWhileLoadingAreAlignedWhenLoaded) {
  auto* form = new TForm(nullptr);
  form->SetClientSize(300, 200);
  form->BeginLoading();
  auto* bottom = new TPanel(form);
  bottom->SetHeight(20);
  bottom->SetAlign(alBottom);
  bottom->SetParent(form);
  EXPECT_EQ(bottom->Width(), 185);  // nothing moves while loading
  form->EndLoading();
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 180, 300, 200));
  delete form;
}

TEST(ParamStr, FollowsTheClassLibraryQuotingRules) {
  struct TCase {
    const char16_t* CommandLine;
    std::vector<String> Params;  // 0 = the program
  };
  const TCase cases[] = {
      {u"prog.exe a b", {u"prog.exe", u"a", u"b"}},
      {u"\"C:\\Program Files\\q.exe\"  -host  ftp.example.com",
       {u"C:\\Program Files\\q.exe", u"-host", u"ftp.example.com"}},
      {u"q \"two words\" x", {u"q", u"two words", u"x"}},
      {u"q a\"b c\"d", {u"q", u"ab cd"}},
      {u"q \"\" next", {u"q", u"next"}},  // an empty pair is skipped
      {u"q \"unterminated rest", {u"q", u"unterminated rest"}},
      {u"q back\\\"slash\"", {u"q", u"back\\slash"}},  // no escapes
      {u"q\ttab", {u"q", u"tab"}},
      {u"q", {u"q"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.CommandLine, c.CommandLine + std::char_traits<char16_t>::length(c.CommandLine)));
    EXPECT_EQ(ParamCountOf(c.CommandLine), static_cast<Integer>(c.Params.size()) - 1);
    for (std::size_t i = 0; i < c.Params.size(); ++i)
      EXPECT_EQ(ParamStrOf(c.CommandLine, static_cast<Integer>(i)), c.Params[i]) << "index " << i;
    EXPECT_EQ(ParamStrOf(c.CommandLine, static_cast<Integer>(c.Params.size())), u"");
  }
}

TEST(ParamStr, ZeroIsTheProgramFile) {
  const String self = ParamStr(0);
  EXPECT_TRUE(self.size() > 4 && self.substr(self.size() - 4) == u".exe");
  EXPECT_GE(ParamCount(), 0);
}

// ---------------------------------------------------------------- colours

TEST(Colors, ConversionToRGB) {
  struct TCase {
    TColor Color;
    TColor Expected;
  };
  const TCase cases[] = {
      {clRed, 0x0000FF},
      {clNavy, 0x800000},
      {RGBToColor(1, 2, 3), 0x030201},
      {clNone, 0x1FFFFFFF},
      {clDefault, 0x20000000},
      {clBtnFace, static_cast<TColor>(GetSysColor(COLOR_BTNFACE))},
      {clWindowText, static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT))},
      {clInfoBk, static_cast<TColor>(GetSysColor(COLOR_INFOBK))},
      {clHighlight, static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT))},
  };
  for (const TCase& c : cases) EXPECT_EQ(ColorToRGB(c.Color), c.Expected) << std::hex << c.Color;
  EXPECT_LT(clBtnFace, 0);
  EXPECT_EQ(clBtnFace & 0xFF, COLOR_BTNFACE);
}

}  // namespace
