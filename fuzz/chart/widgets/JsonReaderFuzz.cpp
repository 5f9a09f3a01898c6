// JSON documents: any bytes read or fail with one of the reader's errors,
// and what the writer writes from the values of a document that read, the
// reader reads back to the same values (doubles as their written fifteen
// digits read back). Documents with an empty member name are only read:
// the writer takes no empty names.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/chart/widgets/JsonTestSupport.h"
#include "fuzz/common/FuzzCheck.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"

namespace {

bool IsWriterError(const Exception& E) {
  using W = TVivIzudeJSONWriter;
  return dynamic_cast<const W::ECannotWriteName*>(&E) || dynamic_cast<const W::EMultipleRootNotAllowed*>(&E) ||
         dynamic_cast<const W::EObjectOrArrayExpected*>(&E) || dynamic_cast<const W::EInvalidNesting*>(&E) ||
         dynamic_cast<const W::EMissingValue*>(&E) || dynamic_cast<const W::ETooManyDepthLevels*>(&E) ||
         dynamic_cast<const W::EEmptyJson*>(&E);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Doc(reinterpret_cast<const char*>(Data), Size);
  TBytesStream In(FuzzBytes(Data, Size));
  TBytesStream Out;
  std::string Expected;
  try {
    TPeekingReader Reader(&In);
    TVivIzudeJSONWriter Writer(&Out);
    Writer.SetIndentLength(Size % 3);
    Expected = CopyDocument(Reader, Writer);
    Writer.Close();
  } catch (const TVivIzudeJSONWriter::EEmptyName&) {
    return 0;
  } catch (const Exception& E) {
    FuzzCheck(!IsWriterError(E), std::string("the writer refused values the reader gave: ") + E.what());
    return 0;  // the document does not read
  }
  const std::string Written = StreamText(Out);
  std::string Again;
  try {
    Again = DumpDocument(Written);
  } catch (const Exception& E) {
    FuzzFail(std::string("written document does not read (") + E.what() + "):\n" + Written);
  }
  FuzzCheck(Again == Expected, "values differ after a write and a read:\n" + Expected + "\n" + Again + "\n" + Written);
  return 0;
}
