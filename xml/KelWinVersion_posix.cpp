// No registry and no Windows here: an empty registry and "not Windows".
#include <unistd.h>

#include "xml/KelWinVersion.h"

namespace {

class TNoRegistry : public TKelRegistryBackend {
public:
  bool IsNT() const override { return false; }
  Integer OpenKey(TKelRootKey, std::u16string_view, Cardinal, Cardinal, NativeUInt& Handle) override {
    Handle = 0;
    return KelErrorFileNotFound;
  }
  Integer QueryValue(NativeUInt, const String&, Cardinal*, void*, Cardinal*) override { return KelErrorFileNotFound; }
  void CloseKey(NativeUInt) override {}
};

}  // namespace

TKelRegistryBackend& SystemRegistryBackend() {
  static TNoRegistry Registry;
  return Registry;
}

void KelPlatformSystemInfo(TKelSystemInfo& Info) {
  Info = TKelSystemInfo{};
  const long Page = sysconf(_SC_PAGESIZE);
  const long Processors = sysconf(_SC_NPROCESSORS_ONLN);
  Info.PageSize = Page > 0 ? static_cast<Cardinal>(Page) : 0;
  Info.AllocationGranularity = Info.PageSize;
  Info.NumberOfProcessors = Processors > 0 ? static_cast<Cardinal>(Processors) : 0;
#if defined(__x86_64__)
  Info.ProcessorArchitecture = 9;
#elif defined(__i386__)
  Info.ProcessorArchitecture = 0;
#else
  Info.ProcessorArchitecture = 0xFFFF;
#endif
}

bool ReadNativeSystemInfo(TKelSystemInfo& Info) {
  KelPlatformSystemInfo(Info);
  return true;
}

TWindowsVersionFacts CurrentWindowsVersionFacts() { return {}; }
