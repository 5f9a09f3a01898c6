#pragma once
// What the test programs of every library share: comparing texts, catching
// an exception's message, serving a dispatcher while waiting, files in a
// fresh temporary folder, and the source tree's data files. (The Windows
// tests' message pump and screen captures are in *_win.h beside this.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "rtl/Dispatcher.h"
#include "rtl/Exceptions.h"
#include "rtl/Types.h"
#include "rtl/Unicode.h"

// Compares two UTF-16 texts, shown as UTF-8 when they differ.
#define EXPECT_TEXT(actual, expected) EXPECT_EQ(UTF16ToUTF8(actual), UTF16ToUTF8(expected))

namespace testsupport {

namespace fs = std::filesystem;

// The message of the E that Action raises; "<no exception>" when none.
template <class E, class F>
String MessageOf(F&& Action) {
  try {
    Action();
  } catch (const E& Error) {
    return Error.Message();
  }
  return u"<no exception>";
}

// The same as UTF-8, for comparing with literal texts.
template <class E, class F>
std::string MessageTextOf(F&& Action) {
  return UTF16ToUTF8(MessageOf<E>(std::forward<F>(Action)));
}

// Serves the work posted to Dispatcher (as the user-interface thread does)
// until Done() holds or TimeoutMs pass; answers Done().
template <class F>
bool PumpUntil(TQueueDispatcher& Dispatcher, F&& Done, int TimeoutMs = 10000) {
  const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (std::chrono::steady_clock::now() >= End) return false;
    Dispatcher.WaitAndProcess(5);
  }
  return true;
}

// An object that counts its own destructions (ownership tests).
class TCounted : public TObject {
public:
  explicit TCounted(int& ACounter) : FCounter(ACounter) {}
  ~TCounted() override { ++FCounter; }

private:
  int& FCounter;
};

// The source tree's folder, with a final "/" (a file the build writes for
// each test program: cmake/Testing.cmake).
extern const char QuorvelSourceDir[];

// A path of the source tree (seen through Wine's Z: drive in the Windows
// build), from the folder the build gave the tests.
inline std::string SourcePath(const std::string& Relative) {
  std::string Root = QuorvelSourceDir;
#ifdef _WIN32
  if (!Root.empty() && Root[0] == '/') Root = "Z:" + Root;
#endif
  return Root + Relative;
}

inline std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

inline void WriteAll(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

// A path as the library's file functions take it.
inline String PathText(const fs::path& Path) {
  const std::u8string Text = Path.u8string();
  return UTF8ToUTF16(std::string(Text.begin(), Text.end()));
}

// A fresh empty folder for one test, removed with everything in it at the
// end. ctest runs the cases as parallel processes: the name differs between
// processes, not only within one.
class TTempDir {
public:
  explicit TTempDir(const std::string& Prefix = "quorvel-test") {
    static const unsigned Process = std::random_device()();
    static int Counter = 0;
    Path = fs::temp_directory_path() / (Prefix + "-" + std::to_string(Process) + "-" + std::to_string(++Counter));
    fs::remove_all(Path);
    fs::create_directories(Path);
  }
  ~TTempDir() {
    std::error_code Ignored;
    fs::remove_all(Path, Ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  fs::path File(const std::string& Leaf) const { return Path / Leaf; }
  // The file's path as the library's file functions take it.
  String Name(const std::string& Leaf) const { return PathText(File(Leaf)); }

  fs::path Path;
};

}  // namespace testsupport
