#pragma once
// Drawing utilities shared by tree, header and string-cell painting that
// need no window: rectangle normalising, text shortening and word wrapping
// through a measuring callback, the per-line alpha blends of 32-bit pixels,
// the scan-line address of a bottom-up or top-down bitmap, and the
// rectangles a moving drag image needs. The GDI-bound helpers are in
// VastTreeControl_win.h.
#include <cstdint>
#include <functional>

#include "rtl/Geometry.h"
#include "rtl/Types.h"

void NormalizeRect(const TRect& Source, TRect& Dest);

// Width in pixels of the first Count characters of Text.
using TTextWidthFunc = std::function<Integer(const Char* Text, Integer Count)>;

// Text cut so that it plus "..." fits Width (EllipsisWidth 0: measured).
// The whole text when it fits with the ellipsis; empty when not even the
// ellipsis fits.
String ShortenTextWithEllipsis(const TTextWidthFunc& Measure, const String& Text, Integer Width, Integer EllipsisWidth);

// Right edge of Text measured from Left (as drawn in one line).
using TTextRightFunc = std::function<Integer(const String& Text)>;
// Text broken into lines of at most Width pixels, separated by line feeds.
// Right-to-left texts fill their first line with the last words.
String WrapTextToWidth(const TTextRightFunc& MeasureRight, const String& Text, Integer Width, bool RTL);

// Blends of Count 32-bit pixels (blue, green, red, alpha in memory order).
void BlendLineConstantAlpha(const std::uint32_t* Source, std::uint32_t* Destination, Integer Count, Integer Bias,
                            Integer ConstantAlpha);
void BlendLinePerPixelAlpha(const std::uint32_t* Source, std::uint32_t* Destination, Integer Count, Integer Bias);
void BlendLineMasterAlpha(const std::uint32_t* Source, std::uint32_t* Destination, Integer Count, Integer Bias,
                          Integer MasterAlpha);
// Color is a COLORREF (red in the low byte).
void BlendLineColor(std::uint32_t* Destination, Integer Count, Integer ConstantAlpha, std::uint32_t Color);

// Address of a row of a 32-bit bitmap; a positive height means bottom-up.
void* ScanlineAddress(void* Bits, Integer Width, Integer Height, Integer Row);

// Rectangles of a drag-image move; the strips hold x, y, width and height.
void ComputeDragRectangles(Integer DragWidth, Integer DragHeight, Integer DeltaX, Integer DeltaY, TRect& ClipRect,
                           TRect& ScrollRect, TRect& FetchStrip1, TRect& FetchStrip2, TRect& RestoreStrip1,
                           TRect& RestoreStrip2);
