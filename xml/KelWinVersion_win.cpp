// The system registry (advapi32) and the system's version facts.
#include "rtl/Win32.h"

#include <cstring>

#include "rtl/SysUtils.h"
#include "xml/KelSysUtils.h"
#include "xml/KelWinVersion.h"

namespace {

HKEY RootHandle(TKelRootKey Root) {
  // The predefined handles are sign-extended 32-bit values.
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(Root))));
}

class TSystemRegistry : public TKelRegistryBackend {
public:
  bool IsNT() const override { return Win32Version().Platform == VER_PLATFORM_WIN32_NT; }

  Integer OpenKey(TKelRootKey Root, std::u16string_view SubKey, Cardinal Options, Cardinal Access,
                  NativeUInt& Handle) override {
    // The system refuses a key that starts with a delimiter.
    if (!SubKey.empty() && SubKey.front() == u'\\') SubKey.remove_prefix(1);
    const String Name(SubKey);
    HKEY Key = nullptr;
    const LONG Result = RegOpenKeyExW(RootHandle(Root), WideCStr(Name), Options, Access, &Key);
    Handle = Result == ERROR_SUCCESS ? reinterpret_cast<NativeUInt>(Key) : 0;
    return static_cast<Integer>(Result);
  }

  Integer QueryValue(NativeUInt Handle, const String& Name, Cardinal* ValueType, void* Data, Cardinal* Size) override {
    DWORD Type = 0;
    DWORD Bytes = Size ? *Size : 0;
    const LONG Result = RegQueryValueExW(reinterpret_cast<HKEY>(Handle), WideCStr(Name), nullptr, &Type,
                                         static_cast<BYTE*>(Data), Size ? &Bytes : nullptr);
    if (ValueType) *ValueType = Type;
    if (Size) *Size = Bytes;
    return static_cast<Integer>(Result);
  }

  void CloseKey(NativeUInt Handle) override { RegCloseKey(reinterpret_cast<HKEY>(Handle)); }
};

void CopySystemInfo(const SYSTEM_INFO& S, TKelSystemInfo& Info) {
  Info.ProcessorArchitecture = S.wProcessorArchitecture;
  Info.PageSize = S.dwPageSize;
  Info.AllocationGranularity = S.dwAllocationGranularity;
  Info.NumberOfProcessors = S.dwNumberOfProcessors;
}

}  // namespace

TKelRegistryBackend& SystemRegistryBackend() {
  static TSystemRegistry Registry;
  return Registry;
}

void KelPlatformSystemInfo(TKelSystemInfo& Info) {
  SYSTEM_INFO S{};
  GetSystemInfo(&S);
  CopySystemInfo(S, Info);
}

bool ReadNativeSystemInfo(TKelSystemInfo& Info) {
  using TGetNativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO);
  SYSTEM_INFO S{};
  bool Native = false;
  if (HMODULE Kernel = GetModuleHandleW(L"kernel32.dll")) {
    // Looked up by name: systems before XP lack it.
    if (FARPROC Proc = GetProcAddress(Kernel, "GetNativeSystemInfo")) {
      TGetNativeSystemInfo Get;
      static_assert(sizeof Get == sizeof Proc);
      memcpy(&Get, &Proc, sizeof Get);
      Get(&S);
      Native = true;
    }
  }
  if (!Native) GetSystemInfo(&S);
  CopySystemInfo(S, Info);
  return Native;
}

TWindowsVersionFacts CurrentWindowsVersionFacts() {
  const TWin32Version& V = Win32Version();
  TWindowsVersionFacts F;
  F.Platform = V.Platform;
  F.Major = V.Major;
  F.Minor = V.Minor;
  F.ServicePack = Trim(V.CSDVersion);
  if (F.Platform == VER_PLATFORM_WIN32_WINDOWS) {
    TVSFixedFileInfo Fixed{};
    if (ReadFixedVersionInfo(ModuleFileName(reinterpret_cast<NativeUInt>(GetModuleHandleW(L"kernel32.dll"))), Fixed)) {
      F.KernelProductVersion = Fixed.dwProductVersionMS;
    }
  }
  F.ServerR2 = GetSystemMetrics(SM_SERVERR2) != 0;
  F.NativeNotX86 = ProcessorArchitectureClass() != 1;
  OSVERSIONINFOEXW Ex{};
  Ex.dwOSVersionInfoSize = sizeof Ex;
  F.Workstation = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&Ex)) && Ex.wProductType == VER_NT_WORKSTATION;
  return F;
}
