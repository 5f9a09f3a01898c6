#pragma once
// Helpers of the settings, sites and translation tests: files in a fresh
// temporary folder, the test data folder, and the source tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "rtl/Types.h"
#include "rtl/Unicode.h"

namespace corefiles {

namespace fs = std::filesystem;

// The project's source folder, as this test file's path gives it (through
// Wine's Z: drive in the win32 build).
inline std::string SourcePath(const std::string& Relative) {
  std::string Root = QUORVEL_SOURCE_DIR;
#ifdef _WIN32
  if (!Root.empty() && Root[0] == '/') Root = "Z:" + Root;
#endif
  return Root + Relative;
}

inline std::string DataFile(const std::string& Name) { return SourcePath("tests/app/core/data/" + Name); }

inline std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

inline void WriteAll(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

inline String PathText(const fs::path& Path) {
  const std::u8string Text = Path.u8string();
  return U(std::string(Text.begin(), Text.end()));
}

class TempDir {
public:
  TempDir() {
    // ctest runs the cases as parallel processes: the name must differ
    // between processes, not only within one.
    static const unsigned Process = std::random_device()();
    static int Counter = 0;
    Path = fs::temp_directory_path() / ("quorvel-conf-" + std::to_string(Process) + "-" + std::to_string(++Counter));
    fs::remove_all(Path);
    fs::create_directories(Path);
  }
  ~TempDir() {
    std::error_code Ignored;
    fs::remove_all(Path, Ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  fs::path File(const std::string& Name) const { return Path / Name; }
  String Name(const std::string& Name) const { return PathText(Path / Name); }

  fs::path Path;
};

}  // namespace corefiles
