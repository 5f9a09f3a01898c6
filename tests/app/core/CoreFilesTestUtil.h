#pragma once
// Helpers of the settings, sites and translation tests: files in a fresh
// temporary folder, the test data folder, and the source tree.
#include "tests/support/TestSupport.h"

namespace corefiles {

namespace fs = std::filesystem;
using testsupport::PathText;
using testsupport::ReadAll;
using testsupport::SourcePath;
using testsupport::WriteAll;

inline std::string DataFile(const std::string& Name) { return SourcePath("tests/app/core/data/" + Name); }

class TempDir : public testsupport::TTempDir {
public:
  TempDir() : TTempDir("quorvel-conf") {}
};

}  // namespace corefiles
