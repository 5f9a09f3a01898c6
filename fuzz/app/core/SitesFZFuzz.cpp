// FileZilla's site file: any bytes read as a site tree or leave it empty
// with the reader's message, and the allowances saved for the sites read come
// back unchanged with the same tree from the settings file.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/core/SitesFZ.h"
#include "fuzz/common/FuzzCheck.h"
#include "rtl/Unicode.h"

namespace {

// The tree as text: folders with their entries, sites with every field a
// scan or the site manager uses.
std::string Describe(const TFZFolder& Folder, int Depth = 0) {
  std::string Out;
  for (const auto& Entry : Folder.Contenu) {
    Out.append(static_cast<std::size_t>(Depth) * 2, ' ');
    if (const auto* F = dynamic_cast<const TFZFolder*>(Entry.get())) {
      Out += "folder " + FuzzText(F->Nom) + "\n" + Describe(*F, Depth + 1);
    } else if (const auto* S = dynamic_cast<const TFZServer*>(Entry.get())) {
      Out += "site " + FuzzText(S->Nom) + " " + FuzzText(S->Host) + ":" + std::to_string(S->Port) + " " +
             FuzzText(S->User) + " " + FuzzText(S->Pass) + " " + FuzzText(S->RemoteDir) + " " +
             std::to_string(S->Place) + "/" + std::to_string(S->PlaceUnite) + "\n";
    }
  }
  return Out;
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path Dir = [] {
    std::string Template = (std::filesystem::temp_directory_path() / "quorvel-fuzz-sites-XXXXXX").string();
    if (!mkdtemp(Template.data())) FuzzFail("no temporary folder");
    return std::filesystem::path(Template);
  }();
  return Dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::filesystem::path FzFile = Folder() / "sitemanager.xml";
  const std::filesystem::path Settings = Folder() / "Quorvel.xml";
  std::filesystem::remove(Settings);
  {
    std::ofstream Out(FzFile, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  }
  const String FzName = UTF8ToUTF16(FzFile.string());
  const String SettingsName = UTF8ToUTF16(Settings.string());

  const TSitesLoad First = ChargeFichiersSites(SettingsName, FzName);
  FuzzCheck(First.Racine && First.RacineFZ, "a load without its two trees");
  if (!First.FileZillaRead) return 0;

  const TSettingsSave Save = SauveFichierSites(*First.Racine, *First.RacineFZ, SettingsName);
  FuzzCheck(Save.Ok, "saving the sites failed: " + FuzzText(Save.Error));
  const TSitesLoad Second = ChargeFichiersSites(SettingsName, FzName);
  FuzzCheck(Second.Settings.State == TSettingsFileState::Loaded,
            "the settings just saved do not read back: " + FuzzText(Second.Settings.Error));
  FuzzCheck(Second.FileZillaRead, "the same site file read once, not twice");
  const std::string Was = Describe(*First.RacineFZ), Is = Describe(*Second.RacineFZ);
  FuzzCheck(Was == Is, "sites changed through a save of the settings:\n" + Was + "---\n" + Is);
  return 0;
}
