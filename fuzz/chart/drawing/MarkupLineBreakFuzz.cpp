// Marked-up texts are outside data (settings documents and captions carry
// them): any text is cut at its line-break tags without failing, no line
// keeps a break tag, and the lines with the tags taken out are the text's
// characters in order.
#include <cstddef>
#include <cstdint>

#include "chart/drawing/VivIzudeGraphics.h"
#include "fuzz/common/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // Two bytes a UTF-16 code unit; the first bytes also as Latin-1 text, so
  // that seeds written as plain text reach the tags.
  String Text;
  for (std::size_t I = 0; I + 1 < Size; I += 2) Text += static_cast<Char>(Data[I] | Data[I + 1] << 8);
  String Latin;
  for (std::size_t I = 0; I < Size; ++I) Latin += static_cast<Char>(Data[I]);
  for (const String& T : {Text, Latin}) {
    (void)VivIzudeGraphicsLayout::IsMarkup(T);
    const std::vector<String> Lines = VivIzudeGraphicsLayout::SplitAtLineBreaks(T);
    FuzzCheck(!Lines.empty(), "at least one line");
    std::size_t Pos = 0;
    for (const String& Line : Lines) {
      FuzzCheck(VivIzudeGraphicsLayout::SplitAtLineBreaks(Line).size() == 1, "a line keeps no break tag");
      const std::size_t At = T.find(Line, Pos);
      FuzzCheck(At != String::npos, "the lines are the text's characters in order: " + FuzzText(T));
      Pos = At + Line.size();
    }
  }
  return 0;
}
