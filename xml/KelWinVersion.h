#pragma once
// Windows version detection and read-only registry access.
//
// DetectWindowsVersion (run once by the start-up sequence) classifies the
// running Windows into one of the TWindowsVersion classes and records a few
// system counts. For Windows 8 and later it reads values under
// HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion", because a program
// without a compatibility manifest is told 6.2 by the system.
//
// Off Windows there is no registry: every read reports "not found" (or
// gives its default), and the detection answers "not Windows": platform 0,
// class wvUnknown, every class flag false. The classification itself is a
// pure function of TWindowsVersionFacts and the registry, so tests can feed
// it any version through a replaced registry backend.
#include <string_view>

#include "rtl/Types.h"
#include "xml/KelStringConversions.h"

// ---------------------------------------------------------------- registry

// A root key by its 32-bit handle value (HKEY_CLASSES_ROOT ... HKEY_DYN_DATA).
using TKelRootKey = Cardinal;
inline constexpr TKelRootKey HKCR = 0x80000000u;
inline constexpr TKelRootKey HKCU = 0x80000001u;
inline constexpr TKelRootKey HKLM = 0x80000002u;
inline constexpr TKelRootKey HKUS = 0x80000003u;
inline constexpr TKelRootKey HKPD = 0x80000004u;
inline constexpr TKelRootKey HKCC = 0x80000005u;
inline constexpr TKelRootKey HKDD = 0x80000006u;

// Value types and access rights (the Windows values).
#ifndef REG_SZ
inline constexpr Cardinal REG_NONE = 0;
inline constexpr Cardinal REG_SZ = 1;
inline constexpr Cardinal REG_EXPAND_SZ = 2;
inline constexpr Cardinal REG_BINARY = 3;
inline constexpr Cardinal REG_DWORD = 4;
inline constexpr Cardinal REG_MULTI_SZ = 7;
inline constexpr Cardinal REG_QWORD = 11;
#endif
#ifndef KEY_READ
inline constexpr Cardinal KEY_QUERY_VALUE = 0x0001;
inline constexpr Cardinal KEY_READ = 0x20019;
inline constexpr Cardinal KEY_WOW64_64KEY = 0x0100;
inline constexpr Cardinal KEY_WOW64_32KEY = 0x0200;
#endif

// Windows error codes the readers produce or look at.
inline constexpr Integer KelErrorSuccess = 0;
inline constexpr Integer KelErrorFileNotFound = 2;
inline constexpr Integer KelErrorMoreData = 234;

inline constexpr const Char* WindowsCurrentVersionKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

QUORVEL_DECLARE_EXCEPTION(EKelRegistryError, EKelError);

// Where the readers get their data: the system registry (advapi32) on
// Windows, an empty one elsewhere. Tests install their own.
class TKelRegistryBackend {
public:
  virtual ~TKelRegistryBackend() = default;
  // The Unicode (NT) registry: text values are UTF-16.
  virtual bool IsNT() const = 0;
  // RegOpenKeyExW: SubKey is relative to Root. A Windows error code.
  virtual Integer OpenKey(TKelRootKey Root, std::u16string_view SubKey, Cardinal Options, Cardinal Access,
                          NativeUInt& Handle) = 0;
  // RegQueryValueExW: any of ValueType, Data, Size may be null; with Data,
  // *Size is the buffer's size on entry and the data's size on return
  // (KelErrorMoreData when it does not fit).
  virtual Integer QueryValue(NativeUInt Handle, const String& Name, Cardinal* ValueType, void* Data,
                             Cardinal* Size) = 0;
  virtual void CloseKey(NativeUInt Handle) = 0;
};

// The platform's backend.
TKelRegistryBackend& SystemRegistryBackend();
// Installs Backend (nullptr: the platform's again) and returns the one that
// was in use. Meant for start-up and tests, not while other threads read.
TKelRegistryBackend* SetRegistryBackend(TKelRegistryBackend* Backend);

// "HKEY_LOCAL_MACHINE" and its kind; "$" and 8 hexadecimal digits for a
// handle outside the table.
String RootKeyName(TKelRootKey RootKey);
// Key without one leading "\" and, when it starts with a root name and "\"
// ("HKLM\", "HKEY_CURRENT_USER\"), from the "\" after that name on. A root
// name other than RootKey's raises EKelRegistryError.
std::u16string_view RelativeKey(TKelRootKey RootKey, const String& Key);

Integer OpenRegistryKey(TKelRootKey RootKey, const String& Key, Cardinal Options, NativeUInt& Handle, Cardinal Access);
Integer QueryRegistryValue(NativeUInt Handle, const String& Name, Cardinal* ValueType, void* Data, Cardinal* Size);
void CloseRegistryKey(NativeUInt Handle);

// The calling thread's registry view: 0 default (no flag), 1 the 64-bit
// view, 2 the 32-bit view, 3 the 64-bit view. It only matters on a 64-bit
// processor.
inline constexpr Integer RegistryViewDefault = 0;
inline constexpr Integer RegistryView64 = 1;
inline constexpr Integer RegistryView32 = 2;
Integer RegistryView();
void SetRegistryView(Integer View);
// Access plus the view's flag, unless Access names a view already or the
// registry is not NT's.
Cardinal RegistryAccessMask(Cardinal Access);

bool GetRegistryValueType(TKelRootKey RootKey, const String& Key, const String& Name, Cardinal& ValueType);
// AcceptedTypes: bit n set accepts type n (types 0 to 15).
bool ReadRegistryData(TKelRootKey RootKey, const String& Key, const String& Name, bool RaiseError, Cardinal& ValueType,
                      Cardinal& DataSize, void* Buffer, Cardinal BufferSize, Cardinal AcceptedTypes);
// REG_SZ, REG_EXPAND_SZ (not expanded) or REG_BINARY, as text.
bool ReadRegistryTextEx(TKelRootKey RootKey, const String& Key, const String& Name, bool RaiseError, String& Value);
String ReadRegistryText(TKelRootKey RootKey, const String& Key, const String& Name);
String ReadRegistryTextOr(TKelRootKey RootKey, const String& Key, const String& Name, const String& Default);
// REG_DWORD, REG_QWORD, REG_BINARY (low 32 bits), or a text holding a
// number. With RaiseError a bad number raises EConvertError.
bool ReadRegistryInteger(TKelRootKey RootKey, const String& Key, const String& Name, bool RaiseError, Integer& Value);
Integer ReadRegistryIntegerOr(TKelRootKey RootKey, const String& Key, const String& Name, Integer Default);

// ---------------------------------------------------------------- system

struct TKelSystemInfo {
  Word ProcessorArchitecture = 0;  // 0 x86, 6 Itanium, 9 x64, 0xFFFF unknown
  Cardinal PageSize = 0;
  Cardinal AllocationGranularity = 0;
  Cardinal NumberOfProcessors = 0;
};
// GetNativeSystemInfo when kernel32 has it (true), else GetSystemInfo.
// Off Windows the host's counts (true).
bool ReadNativeSystemInfo(TKelSystemInfo& Info);
// 1 x86, 2 x64, 3 Itanium, 0 other; worked out once.
Integer ProcessorArchitectureClass();
bool IsNative64Bit();

// ---------------------------------------------------------------- version

enum TWindowsVersion : Integer {
  wvUnknown = 0,
  wvWin95 = 1,
  wvWin95OSR2 = 2,
  wvWin98 = 3,
  wvWin98SE = 4,
  wvWinME = 5,
  wvWinNT31 = 6,
  wvWinNT35 = 7,
  wvWinNT351 = 8,
  wvWinNT4 = 9,
  wvWin2000 = 10,
  wvWinXP = 11,
  wvWin2003 = 12,
  wvWinXP64 = 13,
  wvWin2003R2 = 14,
  wvWinVista = 15,
  wvWinServer2008 = 16,
  wvWin7 = 17,
  wvWinServer2008R2 = 18,
  wvWin8 = 19,
  wvWinServer2012 = 21,
  wvWin81 = 22,
  wvWinServer2012R2 = 24,
  wvWin10 = 25,
  wvWinServer2016 = 26,
  wvWinServer2019 = 27,
  wvWinServer = 28,  // a Windows Server later than 2019
};

// What the classification looks at besides the registry.
struct TWindowsVersionFacts {
  Integer Platform = 0;  // 1 Windows 9x, 2 NT, 0 not Windows
  Integer Major = 0;
  Integer Minor = 0;
  String ServicePack;                 // the trimmed service-pack text
  Cardinal KernelProductVersion = 0;  // 9x: kernel32's product version, high 32 bits
  bool ServerR2 = false;              // GetSystemMetrics(SM_SERVERR2) != 0
  bool NativeNotX86 = false;
  bool Workstation = false;  // GetVersionExW reports VER_NT_WORKSTATION (a failure: server)
};
// The running system's facts (see the header comment for off Windows).
TWindowsVersionFacts CurrentWindowsVersionFacts();

TWindowsVersion ClassifyWindowsVersion(const TWindowsVersionFacts& Facts);
TWindowsVersion ClassifyWindowsVersion();
// The version numbers the registry gives for reported 6.2 and 10; the
// reported number for any other version.
Integer RegistryMajorVersion(const TWindowsVersionFacts& Facts);
Integer RegistryMinorVersion(const TWindowsVersionFacts& Facts);

struct TKelWindowsInfo {
  Cardinal ProcessorCount = 0;
  Cardinal AllocationGranularity = 0;
  Cardinal PageSize = 0;
  bool IsWinNT = false;
  Cardinal KernelVersionHi = 0;  // 9x only
  TWindowsVersion Version = wvUnknown;
  // One flag per class; the NT 3 classes also set IsWinNT3, and NT 3.51 also
  // sets IsWinNT35.
  bool IsWin95 = false, IsWin95OSR2 = false, IsWin98 = false, IsWin98SE = false, IsWinME = false;
  bool IsWinNT3 = false, IsWinNT31 = false, IsWinNT35 = false, IsWinNT351 = false, IsWinNT4 = false;
  bool IsWin2K = false, IsWinXP = false, IsWin2003 = false, IsWinXP64 = false, IsWin2003R2 = false;
  bool IsWinVista = false, IsWinServer2008 = false, IsWin7 = false, IsWinServer2008R2 = false;
  bool IsWin8 = false, IsWinServer2012 = false, IsWin81 = false, IsWinServer2012R2 = false;
  bool IsWin10 = false, IsWinServer2016 = false, IsWinServer2019 = false, IsWinServer = false;
};
// The recorded state from the facts and system counts given; registry
// failures are absorbed.
TKelWindowsInfo BuildWindowsInfo(const TWindowsVersionFacts& Facts, const TKelSystemInfo& System);
// Fills the process-wide record once; later calls change nothing.
void DetectWindowsVersion();
// The record DetectWindowsVersion filled (all zero before it ran).
const TKelWindowsInfo& KelWindowsInfo();
