#pragma once
// The tree the FTP benchmarks walk: 10 top folders of 10 folders of 19
// folders (2,010 folders), 10 sparse files each. Generated once into the
// build tree (bench-tmp/<name>) and reused by later runs. Also the bare
// client's walk of it, the yardstick of the scan's own overhead.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "net/ftpsend.h"
#include "rtl/SysUtils.h"

namespace bench_tree {

namespace fs = std::filesystem;

constexpr int kTop = 10;
constexpr int kMiddle = 10;
constexpr int kLeaf = 19;
constexpr int kFilesPerFolder = 10;

inline void FillFolder(const fs::path& Folder, int Seed) {
  fs::create_directories(Folder);
  for (int i = 0; i < kFilesPerFolder; ++i) {
    const fs::path File = Folder / ("file " + std::to_string(i) + ".dat");
    std::ofstream(File).close();
    fs::resize_file(File, static_cast<std::uintmax_t>((Seed * 7919 + i * 104729) % 5000000));
  }
}

inline fs::path TreeRoot(const std::string& Name) {
  const fs::path Root = fs::current_path() / "bench-tmp" / Name;
  const fs::path Done = Root.parent_path() / (Name + ".done");
  if (fs::exists(Done)) return Root;
  fs::remove_all(Root);
  int Seed = 0;
  for (int t = 0; t < kTop; ++t) {
    const fs::path Top = Root / ("top " + std::to_string(t));
    FillFolder(Top, ++Seed);
    for (int m = 0; m < kMiddle; ++m) {
      const fs::path Middle = Top / ("middle " + std::to_string(m));
      FillFolder(Middle, ++Seed);
      for (int l = 0; l < kLeaf; ++l) FillFolder(Middle / ("leaf " + std::to_string(l)), ++Seed);
    }
  }
  std::ofstream(Done) << "ok\n";
  return Root;
}

// Depth first, as the scan walks: one CWD and one LIST per folder. Answers
// the folders listed and counts the files.
inline long Walk(TFTPSend& Client, const String& Folder, long long& Files) {
  if (!Client.ChangeWorkingDir(Folder) || !Client.List(u"", false)) return 0;
  std::vector<String> Children;
  TFTPList* L = Client.FtpList();
  for (Integer i = 0; i < L->Count(); ++i) {
    const TFTPListRec* E = L->Items(i);
    if (E->Directory) {
      Children.push_back((Folder == u"/" ? String() : Folder) + u"/" + E->FileName);
    } else {
      ++Files;
    }
  }
  long Folders = 1;
  for (const String& Child : Children) Folders += Walk(Client, Child, Files);
  return Folders;
}

struct TWalkCount {
  bool LoggedIn = false;
  long Folders = 0;
  long long Files = 0;
};

// A fresh client logs in, walks the whole tree from "/" and logs out.
inline TWalkCount LoginAndWalk(const String& Host, Integer Port, const String& User, const String& Password,
                               bool Passive) {
  TWalkCount Count;
  TFTPSend Client;
  Client.TargetHost = Host;
  Client.TargetPort = IntToStr(Port);
  Client.UserName = User;
  Client.Password = Password;
  Client.Timeout = 15000;
  Client.PassiveMode = Passive;
  if (!Client.Login()) return Count;
  Count.LoggedIn = true;
  Count.Folders = Walk(Client, u"/", Count.Files);
  Client.Logout();
  return Count;
}

}  // namespace bench_tree
