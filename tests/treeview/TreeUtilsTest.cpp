// The window-free drawing helpers: text shortening and wrapping through a
// fixed-width measurer (7 pixels a character), the 32-bit line blends, the
// scan-line address and the rectangles of a moving drag image.
#include <gtest/gtest.h>

#include <cstdint>

#include "treeview/VastTreeUtils.h"

namespace {

Integer Width7(const Char*, Integer Count) { return Count * 7; }
Integer Right7(const String& S) { return static_cast<Integer>(S.size()) * 7; }

TEST(TreeUtils, ShortenTextWithEllipsis) {
  struct TCase {
    const char16_t* Text;
    Integer Width;
    const char16_t* Expected;
  } Cases[] = {
      {u"", 100, u""},
      {u"abcdef", 0, u""},
      {u"abcdef", 20, u""},                // not even "..." (21) fits
      {u"abcdef", 21 + 6 * 7, u"abcdef"},  // the whole text and the ellipsis fit
      {u"abcdef", 42, u"abc..."},          // fits alone, not with "...": still cut
      {u"abcdef", 41, u"ab..."},
      {u"abcdef", 28, u"a..."},
  };
  for (const TCase& C : Cases) {
    const String Got = ShortenTextWithEllipsis(Width7, C.Text, C.Width, 0);
    EXPECT_EQ(Got, String(C.Expected)) << C.Width;
  }
}

TEST(TreeUtils, WrapTextToWidth) {
  EXPECT_EQ(WrapTextToWidth(Right7, u"  two words  ", 200, false), u"two words");
  EXPECT_EQ(WrapTextToWidth(Right7, u"alpha beta gamma", 70, false), u"alpha beta\ngamma");
  EXPECT_EQ(WrapTextToWidth(Right7, u"alpha beta gamma", 69, false), u"alpha\nbeta\ngamma");
  // One word wider than the bounds: split, each line as full as fits.
  EXPECT_EQ(WrapTextToWidth(Right7, u"abcdefghij", 28, false), u"abcd\nefgh\nij");
  // Right to left: the first line holds the last words.
  EXPECT_EQ(WrapTextToWidth(Right7, u"alpha beta gamma", 70, true), u"beta gamma\nalpha");
  EXPECT_EQ(WrapTextToWidth(Right7, u"   ", 70, false), u"");
}

TEST(TreeUtils, LineBlends) {
  std::uint32_t Source[2] = {0xFFFFFFFFu, 0x80402010u};
  std::uint32_t Dest[2] = {0x00000000u, 0x10203040u};
  BlendLineConstantAlpha(Source, Dest, 2, 0, 0);
  EXPECT_EQ(Dest[0], 0x00000000u);  // alpha 0 keeps the destination
  EXPECT_EQ(Dest[1], 0x10203040u);
  BlendLineConstantAlpha(Source, Dest, 1, 0, 255);
  EXPECT_EQ(Dest[0], 0xFEFEFEFEu);  // 255 * 255 >> 8 = 254 per channel
  std::uint32_t D2 = 0x00000000u;
  const std::uint32_t S2 = 0x00FFFFFFu;
  BlendLineConstantAlpha(&S2, &D2, 1, 10, 0);
  EXPECT_EQ(D2, 0x0A0A0A0Au);  // the bias lifts every channel
  std::uint32_t D3 = 0x00102030u;
  BlendLineColor(&D3, 1, 0, 0x00FF0000u);
  EXPECT_EQ(D3, 0x00102030u);  // alpha 0: unchanged
  std::uint32_t D4 = 0;
  BlendLineColor(&D4, 1, 256, 0x000000FFu);  // full red (a COLORREF)
  EXPECT_EQ(D4, 0x00FF0000u);                // into the pixel's red byte
  std::uint32_t D5 = 0;
  const std::uint32_t S5 = 0x80FFFFFFu;  // per-pixel alpha 128
  BlendLinePerPixelAlpha(&S5, &D5, 1, 0);
  EXPECT_EQ(D5 & 0xFF, 0x7Fu);
}

TEST(TreeUtils, ScanlineAddressBottomUpAndTopDown) {
  alignas(4) Byte Bits[4 * 3 * 4] = {};
  EXPECT_EQ(ScanlineAddress(Bits, 4, 3, 0), Bits + 2 * 16);  // bottom-up: row 0 last
  EXPECT_EQ(ScanlineAddress(Bits, 4, -3, 0), Bits);          // top-down
  EXPECT_EQ(ScanlineAddress(Bits, 4, -3, 2), Bits + 2 * 16);
}

TEST(TreeUtils, DragRectangles) {
  TRect Clip, Scroll, F1, F2, R1, R2;
  ComputeDragRectangles(100, 50, 0, 0, Clip, Scroll, F1, F2, R1, R2);
  EXPECT_EQ(Scroll.Left, Clip.Left);
  EXPECT_EQ(Scroll.Right, Clip.Right);
  EXPECT_EQ(Scroll.Bottom, Clip.Bottom);
  EXPECT_EQ(F2.Bottom, 0);  // strips of height 0
  EXPECT_EQ(R2.Bottom, 0);
  ComputeDragRectangles(100, 50, 10, 5, Clip, Scroll, F1, F2, R1, R2);
  EXPECT_EQ(Scroll.Right, 90);
  EXPECT_EQ(Scroll.Bottom, 45);
  EXPECT_EQ(F1.Right, 10);  // width of the left strip
  EXPECT_EQ(F1.Bottom, 50);
  EXPECT_EQ(F2.Left, 10);
  EXPECT_EQ(F2.Right, 90);
  EXPECT_EQ(F2.Bottom, 5);
  EXPECT_EQ(R1.Top, 45);
  EXPECT_EQ(R2.Left, 90);
  ComputeDragRectangles(100, 50, -10, -5, Clip, Scroll, F1, F2, R1, R2);
  EXPECT_EQ(Scroll.Left, 10);
  EXPECT_EQ(Scroll.Top, 5);
  EXPECT_EQ(F1.Top, 45);
  EXPECT_EQ(R2.Left, 10);
  EXPECT_EQ(R2.Bottom, 5);
}

TEST(TreeUtils, NormalizeRect) {
  TRect R;
  NormalizeRect(TRect{10, 20, 0, 5}, R);
  EXPECT_EQ(R.Left, 0);
  EXPECT_EQ(R.Top, 5);
  EXPECT_EQ(R.Right, 10);
  EXPECT_EQ(R.Bottom, 20);
}

}  // namespace
