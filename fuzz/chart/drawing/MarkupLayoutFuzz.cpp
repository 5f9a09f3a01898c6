// Markup texts are outside data (a widget's caption, a settings document):
// any text lays out and paints on fixed metrics with work bounded by its
// length, never reads a file, and leaves the surface's font and colours as
// they were. The first byte chooses the options; the rest is the text, one
// character a byte.
#include <cstddef>
#include <cstdint>

#include "chart/drawing/VivIzudeHTMLEngine.h"
#include "chart/drawing/VivIzudeMarkupRecorder.h"
#include "fuzz/common/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  const std::uint8_t Flags = Data[0];
  String Text;
  for (std::size_t I = 1; I < Size; ++I) Text += static_cast<Char>(Data[I]);

  TVivIzudeMarkupRecorder Surface;
  Surface.AddPicture(u"p", 16, 12);
  Surface.AddFile(u"/x.png", 4, 4);
  Surface.SetImageList(3, {16, 16});
  const TVivIzudeMarkupFont Font = Surface.GetFont();
  TVivIzudeMarkupOptions O;
  O.WordWrapping = Flags & 1;
  O.MeasureOnly = Flags & 2;
  O.HitTestOnly = Flags & 4;
  O.HoverOnly = Flags & 8;
  O.IgnoreColors = Flags & 16;
  O.LineSpacing = Flags >> 6;
  O.X = 20 + (Flags & 0x30);
  O.Y = 5 + (Flags & 0x0C);
  O.HoverIndex = 1;
  O.FocusIndex = 0;
  O.ShadowOffset = 1;
  TVivIzudeMarkupResults R;
  R.ControlID = u"c";
  RenderMarkupOn(Surface, Text, {0, 0, 400, 300}, O, R);

  const std::size_t Budget = Size + 2;
  FuzzCheck(static_cast<std::size_t>(Surface.Measurements()) <= 8 * Budget, "measurements bounded by the length");
  FuzzCheck(Surface.Records().size() <= 1000 * Budget, "drawing bounded by the length");
  FuzzCheck(Surface.FilesAsked().empty(), "no file is read unless allowed");
  FuzzCheck(Surface.GetFont() == Font, "the font comes back");
  FuzzCheck(R.YSize > 0 && R.XSize >= 0, "a block has a height");
  FuzzCheck(static_cast<std::size_t>(R.LineCount) <= Budget, "at most a line a character");
  FuzzCheck(R.PlainText.size() <= 2 * Budget, "the plain text holds each line once");

  const String Marked = HighlightMarkup(Text, Text.substr(0, Flags % 4), u"hi", Flags & 32);
  FuzzCheck(Marked.size() <= 16 * Budget, "highlighting adds a bounded amount");
  return 0;
}
