// Directory listings as servers send them: any bytes give entries and
// unparsed lines, never a crash, and every entry has a name and a date.
// (A size may come out negative from a hostile line; the scan counts such
// a file as 0 KiB.)
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz/common/FuzzCheck.h"
#include "net/ftplist.h"
#include "rtl/DateUtils.h"
#include "rtl/Streams.h"
#include "rtl/StringList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // The listing's bytes become lines as the client reads a LIST reply.
  TBytesStream Input(FuzzBytes(Data, Size));
  TStringList Lines;
  Lines.LoadFromStream(&Input);

  TFTPList List;
  // A fixed "now", so that a year-less date resolves the same every run.
  List.Clock = [] { return EncodeDateTime(2024, 6, 15, 12, 0, 0, 0); };
  List.Lines = Lines.ToStringArray();
  List.ParseLines();

  FuzzCheck(List.List.size() <= List.Lines.size() && List.UnparsedLines.size() <= List.Lines.size(),
            "more entries or unparsed lines than lines");
  for (const auto& Rec : List.List) {
    FuzzCheck(!Rec->FileName.empty(), "an entry without a name from: " + FuzzText(Rec->OriginalLine));
    FuzzCheck(std::isfinite(Rec->FileTime), "a date that is not a number from: " + FuzzText(Rec->OriginalLine));
  }
  // Parsing the same lines again gives the same entries (no state leaks
  // from one listing into the next).
  const std::size_t First = List.List.size();
  List.List.clear();
  List.UnparsedLines.clear();
  List.ParseLines();
  FuzzCheck(List.List.size() == First, "a second parse of the same lines gives another entry count");
  return 0;
}
