// The settings file: any bytes are read without a crash, as options or as a
// damaged file; the options are saved whatever was read, and damaged bytes
// are kept in one backup at most.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/core/Options.h"
#include "fuzz/common/FuzzCheck.h"
#include "rtl/Unicode.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path Dir = [] {
    std::string Template = (std::filesystem::temp_directory_path() / "quorvel-fuzz-settings-XXXXXX").string();
    if (!mkdtemp(Template.data())) FuzzFail("no temporary folder");
    return std::filesystem::path(Template);
  }();
  return Dir;
}

std::string Read(const std::filesystem::path& File) {
  std::ifstream In(File, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::filesystem::path File = Folder() / "Quorvel.xml";
  const std::filesystem::path Backup = Folder() / "Quorvel.xml.bak";
  std::filesystem::remove(Backup);
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  {
    std::ofstream Out(File, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  }
  const String Name = UTF8ToUTF16(File.string());
  const TFormatSettings Format = TFormatSettings::English();

  TQuorvelOptions Options;
  const TSettingsLoad Load = ChargeOptions(Options, 45000.0, Format, Name);
  FuzzCheck(Load.State != TSettingsFileState::Missing, "an existing file read as missing");
  FuzzCheck(Load.State == TSettingsFileState::Loaded || !Load.Error.empty(), "damaged without a message");
  FuzzCheck(Options.Last.Port >= SpinMin && Options.Last.Port <= SpinMax, "port out of range");

  const TSettingsSave Save = SauveOptions(Options, Format, Name);
  FuzzCheck(Save.Ok, "saving the options failed: " + FuzzText(Save.Error));
  if (Load.State == TSettingsFileState::Damaged) {
    FuzzCheck(Read(Backup) == Bytes, "the damaged bytes were not kept");
  } else {
    FuzzCheck(!std::filesystem::exists(Backup), "a backup of a file that read well");
  }
  TQuorvelOptions Back;
  const TSettingsLoad Again = ChargeOptions(Back, 45000.0, Format, Name);
  const TSettingsSave Second = SauveOptions(Back, Format, Name);
  FuzzCheck(Second.Ok, "saving again failed: " + FuzzText(Second.Error));
  if (Again.State == TSettingsFileState::Loaded)
    FuzzCheck(Second.BackupFile.empty(), "a backup of a file that read well");
  std::size_t Files = 0;
  for (const auto& Entry : std::filesystem::directory_iterator(Folder())) Files += Entry.is_regular_file() ? 1 : 0;
  FuzzCheck(Files <= 2, "more than one backup");
  return 0;
}
