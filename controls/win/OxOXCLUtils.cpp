#include "controls/win/OxOXCLUtils.h"

#include <cstdint>
#include <vector>

#include "vcl/Controls.h"
#include "vcl/Forms.h"

std::unique_ptr<TBitmap> RenderDisabledGlyph(TBitmap& Bitmap, TColor MonoColor) {
  return RenderDisabledGlyph(Bitmap, MonoColor, clBtnFace, true, clBtnShadow, clBtnHighlight);
}

namespace {
// A 32-bit pixel (0x00RRGGBB) as a colour, and back.
TColor PixelColor(std::uint32_t Pixel) { return RGBToColor((Pixel >> 16) & 0xFF, (Pixel >> 8) & 0xFF, Pixel & 0xFF); }
std::uint32_t ColorPixel(TColor Color) {
  const TColor c = ColorToRGB(Color);
  return static_cast<std::uint32_t>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)) | 0xFF000000u;
}
}  // namespace

std::unique_ptr<TBitmap> RenderDisabledGlyph(TBitmap& Bitmap, TColor MonoColor, TColor BackColor, bool HighlightLayer,
                                             TColor ShadowColor, TColor HighlightColor) {
  const Integer w = Bitmap.Width(), h = Bitmap.Height();
  auto result = std::make_unique<TBitmap>(w, h);
  if (w <= 0 || h <= 0) return result;
  result->SetPixelFormat(pf32bit);

  // A colour copy first, so that a monochrome glyph masks the same way; the
  // mask is every pixel that is not MonoColor.
  TBitmap colour(w, h);
  colour.SetPixelFormat(pf32bit);
  colour.Canvas()->Brush()->SetColor(MonoColor);
  colour.Canvas()->FillRect(Rect(0, 0, w, h));
  colour.Canvas()->Draw(0, 0, &Bitmap);
  const TColor mono = ColorToRGB(MonoColor);
  std::vector<bool> mask(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (Integer y = 0; y < h; ++y) {
    const auto* row = static_cast<const std::uint32_t*>(colour.ScanLine(y));
    for (Integer x = 0; x < w; ++x) mask[static_cast<std::size_t>(y * w + x)] = PixelColor(row[x] & 0xFFFFFF) != mono;
  }

  // The face, the highlight one pixel down and right, the shadow on top.
  const std::uint32_t back = ColorPixel(BackColor), shadow = ColorPixel(ShadowColor),
                      light = ColorPixel(HighlightColor);
  for (Integer y = 0; y < h; ++y) {
    auto* row = static_cast<std::uint32_t*>(result->ScanLine(y));
    for (Integer x = 0; x < w; ++x) {
      std::uint32_t pixel = back;
      if (HighlightLayer && x > 0 && y > 0 && mask[static_cast<std::size_t>((y - 1) * w + x - 1)]) pixel = light;
      if (mask[static_cast<std::size_t>(y * w + x)]) pixel = shadow;
      row[x] = pixel;
    }
  }
  return result;
}

void RegisterOxCursors() {
  static bool done = false;
  if (done || !Screen) return;
  done = true;
  try {
    Screen->SetCursors(crOxMultiDrag, Screen->Cursors(crMultiDrag));
    Screen->SetCursors(crOxDrag, Screen->Cursors(crDrag));
    Screen->SetCursors(crOxMultiDragLink, Screen->Cursors(crMultiDrag));
    Screen->SetCursors(crOxDragLink, Screen->Cursors(crMultiDrag));
  } catch (...) {
    // Extra cursors are a nicety; a failure leaves the default ones.
  }
}

namespace {
// At start-up when the screen object already exists; the controls call it
// again on creation otherwise.
const bool gCursorsRegistered = (RegisterOxCursors(), true);
}  // namespace
