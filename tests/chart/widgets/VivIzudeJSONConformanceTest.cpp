// The reader against the standard's grammar, with Python's json module as
// the referee: data/JsonCases.expected holds its verdict on every document
// of data/JsonCases.txt (json_verdicts.py; a ctest checks it is current).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "JsonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using R = TVivIzudeJSONReader;

bool IsReaderFailure(const Exception& E) {
  return dynamic_cast<const R::EInvalidStateException*>(&E) || dynamic_cast<const R::EUnterminatedArray*>(&E) ||
         dynamic_cast<const R::EUnterminatedObject*>(&E) || dynamic_cast<const R::ENameExpected*>(&E) ||
         dynamic_cast<const R::EColonExpected*>(&E) || dynamic_cast<const R::EMultipleRootNotAllowed*>(&E) ||
         dynamic_cast<const R::EExpectedValue*>(&E) || dynamic_cast<const R::EObjectOrArrayExpected*>(&E) ||
         dynamic_cast<const R::ETooManyDepthLevels*>(&E) || dynamic_cast<const R::EInvalidText*>(&E) ||
         dynamic_cast<const TVivIzudeJSONStreamReader::EEndOfInputReached*>(&E);
}

std::string Unhex(const std::string& Hex) {
  std::string Out;
  if (Hex == "-") return Out;
  for (std::size_t I = 0; I + 1 < Hex.size(); I += 2)
    Out += static_cast<char>(std::stoi(Hex.substr(I, 2), nullptr, 16));
  return Out;
}

TEST(VivIzudeJSONConformance, PythonJudgesTheSameDocuments) {
  std::ifstream In(testsupport::SourcePath("tests/chart/widgets/data/JsonCases.expected"), std::ios::binary);
  ASSERT_TRUE(In) << "data/JsonCases.expected missing";
  std::string Line;
  int Valid = 0, Invalid = 0;
  while (std::getline(In, Line)) {
    std::istringstream Fields(Line);
    std::string Hex, Verdict, Tokens;
    Fields >> Hex >> Verdict;
    std::getline(Fields >> std::ws, Tokens);
    const std::string Doc = Unhex(Hex);
    if (Verdict == "valid") {
      ++Valid;
      try {
        EXPECT_EQ(DumpDocument(Doc), Tokens) << Doc;
      } catch (const Exception& E) {
        ADD_FAILURE() << Doc << ": " << E.what();
      }
    } else {
      ++Invalid;
      try {
        DumpDocument(Doc);
        ADD_FAILURE() << "read without an error: " << Doc;
      } catch (const Exception& E) {
        EXPECT_TRUE(IsReaderFailure(E)) << Doc << ": " << E.what();
      }
    }
  }
  EXPECT_GT(Valid, 40);
  EXPECT_GT(Invalid, 40);
}

// The valid documents survive a write and a read, compact and indented.
TEST(VivIzudeJSONConformance, ValidDocumentsRoundTrip) {
  std::ifstream In(testsupport::SourcePath("tests/chart/widgets/data/JsonCases.expected"), std::ios::binary);
  ASSERT_TRUE(In);
  std::string Line;
  while (std::getline(In, Line)) {
    std::istringstream Fields(Line);
    std::string Hex, Verdict;
    Fields >> Hex >> Verdict;
    if (Verdict != "valid" || Line.find(" k ") != std::string::npos || Line.find(" k}") != std::string::npos) continue;
    const std::string Doc = Unhex(Hex);
    for (Integer Indent : {0, 2}) {
      std::unique_ptr<TBytesStream> Src(NewStream(Doc));
      TBytesStream Out;
      std::string Expected;
      try {
        TPeekingReader Reader(Src.get());
        TVivIzudeJSONWriter Writer(&Out);
        Writer.SetIndentLength(Indent);
        Expected = CopyDocument(Reader, Writer);
        Writer.Close();
      } catch (const TVivIzudeJSONWriter::EEmptyName&) {
        continue;  // the writer takes no empty names
      }
      EXPECT_EQ(DumpDocument(StreamText(Out)), Expected) << Doc << " -> " << StreamText(Out);
    }
  }
}

}  // namespace
