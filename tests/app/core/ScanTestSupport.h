#pragma once
// Shared pieces of the scan tests: a recording scan sink, a harness with a
// dispatcher on the test thread, and the independent computation of the
// expected totals from the files on disk.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/core/Dossiers.h"
#include "app/core/Messages.h"
#include "app/core/ThreadScan.h"
#include "net/ftpsend.h"
#include "rtl/Dispatcher.h"
#include "rtl/Encoding.h"
#include "rtl/Unicode.h"
#include "tests/fixture/FtpFixture.h"
#include "tests/support/TestSupport.h"

namespace scantest {

namespace fs = std::filesystem;

// A name as the client shows it (the test server lists UTF-8), from its
// UTF-8 text.
inline String Wire(const std::string& utf8) { return UTF8ToUTF16(utf8); }
// The bytes a model name stands for.
inline std::string Bytes(const String& s) { return UTF16ToUTF8(s); }

class RecordingSink : public IScanSink {
public:
  void ConnectionChanged(bool Connected) override { connected = Connected; }
  void StartFolderShown(const String& Text) override { startFolder = Text; }
  void ScanStarted() override {
    ++started;
    result.reset();
    folders.clear();
    files = 0;
  }
  void FolderAdded(TDossier* D) override {
    folders.push_back(D);
    if (onFolder) onFolder(D);
  }
  void FileAdded(TFichier* F) override {
    ++files;
    if (onFile) onFile(F);
  }
  void TotalsChanged(TDossier*) override { ++totalsChanged; }
  void FolderMarked(TDossier* D) override { marked.push_back(D->Chemin); }
  void LogText(const String& Text) override { log.push_back(Text); }
  void StatusText(int Panel, const String& Text) override {
    panel[Panel] = Text;
    if (Panel == Panneau::Connexion) panel0.push_back(Text);
    if (Panel == Panneau::Progression) panel3.push_back(Text);
  }
  void ScanFinished(const TResultatScan& R) override {
    result = R;
    ++finished;
    if (onFinished) onFinished();
  }
  void FolderRemoving(TDossier* D) override { removedFolders.push_back(D->Chemin); }
  void FileRemoving(TFichier* F) override {
    removedFiles.push_back(F->Nom);
    if (onFileRemoving) onFileRemoving(F);
  }
  void DeletionDone() override { ++deletionDone; }
  void LoginStarted() override { ++loginsStarted; }
  void LoginFinished(bool) override { ++loginsFinished; }
  void DeletionStarted() override { ++deletionsStarted; }

  std::optional<bool> connected;
  String startFolder;
  int started = 0;
  int finished = 0;
  int totalsChanged = 0;
  int deletionDone = 0;
  int loginsStarted = 0;
  int loginsFinished = 0;
  int deletionsStarted = 0;
  std::vector<TDossier*> folders;
  std::size_t files = 0;
  std::vector<String> marked;
  std::map<int, String> panel;
  std::vector<String> panel0;
  std::vector<String> panel3;
  std::vector<String> log;
  std::optional<TResultatScan> result;
  std::vector<String> removedFolders;
  std::vector<String> removedFiles;
  std::function<void(TDossier*)> onFolder;
  std::function<void(TFichier*)> onFile;
  std::function<void()> onFinished;
  std::function<void(TFichier*)> onFileRemoving;
};

// The user-interface side of a scan on the test thread.
template <class Client = TFTPSend>
struct Harness {
  TQueueDispatcher dispatcher;
  RecordingSink sink;
  Client ftp;
  TScanSession session{ftp, sink, &dispatcher};

  TParamsConnexion Params(const FtpServer& server, const String& racine = String(), bool passive = true) const {
    TParamsConnexion p;
    p.Host = server.Host();
    p.Port = server.Port();
    p.User = server.User();
    p.Pass = server.Password();
    p.Passif = passive;
    p.Racine = racine;
    return p;
  }
  // Serves the worker's hand-overs until Done or the time-out.
  bool PumpUntil(const std::function<bool()>& Done, int timeoutMs = 60000) {
    return testsupport::PumpUntil(dispatcher, Done, timeoutMs);
  }
  // Connect, then serve the log-in worker's hand-overs until it has ended:
  // whether it logged in (the scan then runs).
  bool Connect(const TParamsConnexion& p, int timeoutMs = 60000) {
    if (!session.Connecte(p)) return false;
    if (!PumpUntil([this] { return !session.LoginEnCours(); }, timeoutMs)) return false;
    return sink.connected.value_or(false);
  }
  bool RunToEnd(int timeoutMs = 120000) {
    return PumpUntil([this] { return sink.result.has_value(); }, timeoutMs);
  }
};

struct Expected {
  Int64 own = 0;    // bytes
  Int64 total = 0;  // bytes
  std::size_t files = 0;
  std::size_t folders = 0;  // direct sub-folders
};
// Key: the folder's path below the scanned base as UTF-8 ("" for the base).
using ExpectedMap = std::map<std::string, Expected>;

inline std::string U8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

// The totals the scan must find, from the files on disk: exact byte sums,
// links not followed, Refused folders (keys) counted as empty.
inline Int64 ExpectedWalk(const fs::path& dir, const std::string& rel, const std::set<std::string>& refused,
                          ExpectedMap& out) {
  Expected e;
  if (refused.count(rel)) {
    out[rel] = e;
    return 0;
  }
  std::vector<fs::directory_entry> entries{fs::directory_iterator(dir), fs::directory_iterator()};
  for (const fs::directory_entry& entry : entries) {
    const std::string name = U8(entry.path().filename());
    if (name == "back to loop" || entry.is_symlink()) continue;
    if (entry.is_directory()) {
      ++e.folders;
      e.total += ExpectedWalk(entry.path(), rel.empty() ? name : rel + "/" + name, refused, out);
    } else if (entry.is_regular_file()) {
      ++e.files;
      e.own += static_cast<Int64>(entry.file_size());
    }
  }
  e.total += e.own;
  out[rel] = e;
  return e.total;
}

inline std::string KeyOf(const TDossier* d) {
  std::string key;
  for (; d && d->Pere; d = d->Pere) key = key.empty() ? Bytes(d->Nom) : Bytes(d->Nom) + "/" + key;
  return key;
}

// Every folder's sizes are the sums of what is below it (bytes, returned).
inline Int64 CheckConsistent(const TDossier* d) {
  Int64 own = 0;
  for (const auto& f : d->Fichiers) {
    EXPECT_EQ(f->Dossier, d);
    own += f->Octets;
  }
  EXPECT_EQ(own, d->Octets) << UTF16ToUTF8(d->Chemin);
  Int64 sub = 0;
  for (const auto& c : d->SousDossiers) {
    EXPECT_EQ(c->Pere, d);
    sub += CheckConsistent(c.get());
  }
  EXPECT_EQ(sub, d->OctetsSousDossier) << UTF16ToUTF8(d->Chemin);
  EXPECT_EQ(d->Total(), (own + sub) / 1024) << UTF16ToUTF8(d->Chemin);
  return own + sub;
}

// The model against the expected map: the same folders (loop-marked ones
// aside, which must have nothing), the same sizes and counts.
inline void CompareWithDisk(const TDossier* root, const ExpectedMap& expected) {
  std::set<std::string> seen;
  std::vector<const TDossier*> stack{root};
  while (!stack.empty()) {
    const TDossier* d = stack.back();
    stack.pop_back();
    for (const auto& c : d->SousDossiers) stack.push_back(c.get());
    if (d->Etat == TEtatDossier::Boucle) {
      EXPECT_EQ(d->Total(), 0);
      EXPECT_TRUE(d->Fichiers.empty());
      EXPECT_TRUE(d->SousDossiers.empty());
      continue;
    }
    const std::string key = KeyOf(d);
    seen.insert(key);
    auto it = expected.find(key);
    if (it == expected.end()) {
      ADD_FAILURE() << "folder not on disk: " << key;
      continue;
    }
    EXPECT_EQ(d->Octets, it->second.own) << key;
    EXPECT_EQ(d->OctetsTotal(), it->second.total) << key;
    EXPECT_EQ(d->Fichiers.size(), it->second.files) << key;
  }
  for (const auto& [key, e] : expected) EXPECT_TRUE(seen.count(key)) << "folder not scanned: " << key;
}

inline TDossier* Child(TDossier* d, const String& nom) {
  if (!d) return nullptr;
  for (auto& c : d->SousDossiers)
    if (c->Nom == nom) return c.get();
  return nullptr;
}

inline TFichier* FileOf(TDossier* d, const String& nom) {
  if (!d) return nullptr;
  for (auto& f : d->Fichiers)
    if (f->Nom == nom) return f.get();
  return nullptr;
}

inline bool HasCommand(const std::vector<String>& commands, const String& c) {
  for (const String& x : commands)
    if (x == c) return true;
  return false;
}

}  // namespace scantest
