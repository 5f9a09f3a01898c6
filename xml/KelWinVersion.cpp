#include "xml/KelWinVersion.h"

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

#include "rtl/Format.h"
#include "rtl/SysUtils.h"
#include "xml/KelSysUtils.h"

// Platform part: GetSystemInfo (the emulated view of a 32-bit program).
void KelPlatformSystemInfo(TKelSystemInfo& Info);

namespace {

TKelRegistryBackend* Backend = nullptr;  // not owned; nullptr: the system's

TKelRegistryBackend& CurrentBackend() { return Backend ? *Backend : SystemRegistryBackend(); }

struct TRootName {
  const Char* Name;
  TKelRootKey Key;
};

// In the order in which key prefixes are tried.
constexpr std::array<TRootName, 14> RootNames{{
    {u"HKEY_CLASSES_ROOT", HKCR},
    {u"HKEY_CURRENT_USER", HKCU},
    {u"HKEY_LOCAL_MACHINE", HKLM},
    {u"HKEY_USERS", HKUS},
    {u"HKEY_PERFORMANCE_DATA", HKPD},
    {u"HKEY_CURRENT_CONFIG", HKCC},
    {u"HKEY_DYN_DATA", HKDD},
    {u"HKCR", HKCR},
    {u"HKCU", HKCU},
    {u"HKLM", HKLM},
    {u"HKUS", HKUS},
    {u"HKPD", HKPD},
    {u"HKCC", HKCC},
    {u"HKDD", HKDD},
}};

thread_local Integer ThreadRegistryView = 0;

[[noreturn]] void RaiseOpenForRead(TKelRootKey Root, const String& Key) {
  throw EKelRegistryError(Format(u"Unable to open key \"%s\\%s\" for read", {RootKeyName(Root), Key}));
}

[[noreturn]] void RaiseAccessValue(TKelRootKey Root, const String& Key, const String& Name) {
  throw EKelRegistryError(
      Format(u"Unable to open key \"%s\\%s\" and access value \"%s\"", {RootKeyName(Root), Key, Name}));
}

[[noreturn]] void RaiseWrongKind(TKelRootKey Root, const String& Key, const String& Name) {
  throw EKelRegistryError(Format(u"\"%s\\%s\\%s\" is of wrong kind or size", {RootKeyName(Root), Key, Name}));
}

// Closes the key on every path.
class TOpenKey {
public:
  TOpenKey() = default;
  ~TOpenKey() {
    if (FOpen) CloseRegistryKey(FHandle);
  }
  TOpenKey(const TOpenKey&) = delete;
  TOpenKey& operator=(const TOpenKey&) = delete;
  bool Open(TKelRootKey Root, const String& Key) {
    FOpen = OpenRegistryKey(Root, Key, 0, FHandle, KEY_READ) == KelErrorSuccess;
    return FOpen;
  }
  NativeUInt Handle() const { return FHandle; }

private:
  NativeUInt FHandle = 0;
  bool FOpen = false;
};

constexpr Cardinal TypeBit(Cardinal Type) { return 1u << Type; }

// The steps every read of a value takes. Each answers false when it fails,
// after raising the matching error when RaiseError.
struct TValueRead {
  TKelRootKey RootKey;
  const String& Key;
  const String& Name;
  bool RaiseError;
  TOpenKey K;

  // Opens the key and asks the value's type and size.
  bool OpenAndQuery(Cardinal& Type, Cardinal& Size) {
    if (!K.Open(RootKey, Key)) {
      if (RaiseError) RaiseOpenForRead(RootKey, Key);
      return false;
    }
    Type = REG_NONE;
    Size = 0;
    return Query(Type, nullptr, Size);
  }
  // The value is of a kind (and a size) the caller can take.
  bool Accept(bool Acceptable) {
    if (!Acceptable && RaiseError) RaiseWrongKind(RootKey, Key, Name);
    return Acceptable;
  }
  bool Query(Cardinal& Type, void* Data, Cardinal& Size) {
    if (QueryRegistryValue(K.Handle(), Name, &Type, Data, &Size) == KelErrorSuccess) return true;
    if (RaiseError) RaiseAccessValue(RootKey, Key, Name);
    return false;
  }
};

}  // namespace

TKelRegistryBackend* SetRegistryBackend(TKelRegistryBackend* NewBackend) {
  TKelRegistryBackend* Previous = Backend ? Backend : &SystemRegistryBackend();
  Backend = NewBackend;
  return Previous;
}

String RootKeyName(TKelRootKey RootKey) {
  for (std::size_t I = 0; I < 7; ++I) {
    if (RootNames[I].Key == RootKey) return RootNames[I].Name;
  }
  return u"$" + LowerCase(IntToHex(RootKey, 8));
}

std::u16string_view RelativeKey(TKelRootKey RootKey, const String& Key) {
  std::u16string_view Rest(Key);
  if (!Rest.empty() && Rest.front() == u'\\') Rest.remove_prefix(1);
  for (const TRootName& Root : RootNames) {
    const std::u16string_view Name(Root.Name);
    if (Rest.size() <= Name.size() || Rest[Name.size()] != u'\\') continue;
    if (!SameText(String(Rest.substr(0, Name.size())), String(Name))) continue;
    if (Root.Key != RootKey) throw EKelRegistryError(Format(u"\"%s\" does not match RootKey", {Key}));
    return Rest.substr(Name.size());
  }
  return Rest;
}

Integer OpenRegistryKey(TKelRootKey RootKey, const String& Key, Cardinal Options, NativeUInt& Handle, Cardinal Access) {
  return CurrentBackend().OpenKey(RootKey, RelativeKey(RootKey, Key), Options, RegistryAccessMask(Access), Handle);
}

Integer QueryRegistryValue(NativeUInt Handle, const String& Name, Cardinal* ValueType, void* Data, Cardinal* Size) {
  return CurrentBackend().QueryValue(Handle, Name, ValueType, Data, Size);
}

void CloseRegistryKey(NativeUInt Handle) { CurrentBackend().CloseKey(Handle); }

Integer RegistryView() { return ThreadRegistryView; }
void SetRegistryView(Integer View) { ThreadRegistryView = View; }

Cardinal RegistryAccessMask(Cardinal Access) {
  if (!CurrentBackend().IsNT() || (Access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY)) != 0) return Access;
  if (!IsNative64Bit()) return Access;
  switch (ThreadRegistryView) {
    case 1:
    case 3:
      return Access | KEY_WOW64_64KEY;
    case 2:
      return Access | KEY_WOW64_32KEY;
    default:
      return Access;
  }
}

bool GetRegistryValueType(TKelRootKey RootKey, const String& Key, const String& Name, Cardinal& ValueType) {
  TOpenKey K;
  if (!K.Open(RootKey, Key)) return false;
  Cardinal Type = REG_NONE;
  if (QueryRegistryValue(K.Handle(), Name, &Type, nullptr, nullptr) != KelErrorSuccess) return false;
  ValueType = Type;
  return true;
}

bool ReadRegistryData(TKelRootKey RootKey, const String& Key, const String& Name, bool RaiseError, Cardinal& ValueType,
                      Cardinal& DataSize, void* Buffer, Cardinal BufferSize, Cardinal AcceptedTypes) {
  TValueRead Read{RootKey, Key, Name, RaiseError, {}};
  Cardinal Type, Size;
  if (!Read.OpenAndQuery(Type, Size)) return false;
  ValueType = Type;
  DataSize = Size;
  if (!Read.Accept(Type <= 15 && (AcceptedTypes & TypeBit(Type)) != 0 && Size <= BufferSize)) return false;
  Size = BufferSize;
  if (!Read.Query(Type, Buffer, Size)) return false;
  ValueType = Type;
  DataSize = Size;
  return true;
}

bool ReadRegistryTextEx(TKelRootKey RootKey, const String& Key, const String& Name, bool RaiseError, String& Value) {
  TValueRead Read{RootKey, Key, Name, RaiseError, {}};
  Cardinal Type, Size;
  if (!Read.OpenAndQuery(Type, Size)) return false;
  const Cardinal Accepted =
      CurrentBackend().IsNT() ? TypeBit(REG_SZ) | TypeBit(REG_EXPAND_SZ) | TypeBit(REG_BINARY) : TypeBit(REG_BINARY);
  if (!Read.Accept(Type <= 15 && (Accepted & TypeBit(Type)) != 0)) return false;
  Value.assign(Size / 2, u'\0');
  Cardinal Got = Size;
  if (!Read.Query(Type, Value.data(), Got)) {
    Value.clear();
    return false;
  }
  if (!Value.empty()) Value.pop_back();
  return true;
}

String ReadRegistryText(TKelRootKey RootKey, const String& Key, const String& Name) {
  String Value;
  ReadRegistryTextEx(RootKey, Key, Name, true, Value);
  return Value;
}

String ReadRegistryTextOr(TKelRootKey RootKey, const String& Key, const String& Name, const String& Default) {
  try {
    String Value;
    if (ReadRegistryTextEx(RootKey, Key, Name, false, Value)) return Value;
  } catch (...) {
    // The "Or" reads: any failure to read means the default.
  }
  return Default;
}

bool ReadRegistryInteger(TKelRootKey RootKey, const String& Key, const String& Name, bool RaiseError, Integer& Value) {
  Cardinal Type = REG_NONE;
  if (GetRegistryValueType(RootKey, Key, Name, Type) && (Type == REG_SZ || Type == REG_EXPAND_SZ)) {
    const String Text = ReadRegistryText(RootKey, Key, Name);
    Int64 Number = 0;
    if (RaiseError) {
      Number = StrToInt64(Text);
    } else if (!TryStrToInt64(Text, Number)) {
      return false;
    }
    Value = static_cast<Integer>(static_cast<Cardinal>(static_cast<UInt64>(Number)));
    return true;
  }
  Byte Data[8] = {};
  Cardinal DataSize = 0;
  if (!ReadRegistryData(RootKey, Key, Name, RaiseError, Type, DataSize, Data, sizeof Data,
                        TypeBit(REG_BINARY) | TypeBit(REG_DWORD) | TypeBit(REG_QWORD))) {
    return false;
  }
  Cardinal Low = 0;
  std::memcpy(&Low, Data, sizeof Low);  // registry data is little endian, as every host here
  Value = static_cast<Integer>(Low);
  return true;
}

Integer ReadRegistryIntegerOr(TKelRootKey RootKey, const String& Key, const String& Name, Integer Default) {
  try {
    Integer Value = 0;
    if (ReadRegistryInteger(RootKey, Key, Name, false, Value)) return Value;
  } catch (...) {
    // The "Or" reads: any failure to read means the default.
  }
  return Default;
}

// ---------------------------------------------------------------- system

Integer ProcessorArchitectureClass() {
  static const Integer Class = [] {
    TKelSystemInfo Info;
    ReadNativeSystemInfo(Info);
    switch (Info.ProcessorArchitecture) {
      case 0:
        return 1;
      case 9:
        return 2;
      case 6:
        return 3;
      default:
        return 0;
    }
  }();
  return Class;
}

bool IsNative64Bit() {
  const Integer Class = ProcessorArchitectureClass();
  return Class == 2 || Class == 3;
}

// ---------------------------------------------------------------- version

namespace {

bool StartsWith(const String& Text, const Char* Prefix) { return FindWideText(Text.c_str(), Prefix) == Text.c_str(); }

// "6.2" -> the part before or after the first "."; 2 for what is not a number.
Integer VersionPart(const TWindowsVersionFacts& Facts, bool After) {
  const String Text = ReadRegistryTextOr(HKLM, WindowsCurrentVersionKey, u"CurrentVersion",
                                         IntToStr(Facts.Major) + u"." + IntToStr(Facts.Minor));
  const Integer Dot = Pos(u'.', Text);
  String Part;
  if (After) {
    Part = Dot > 0 ? Copy(Text, Dot + 1) : String();
  } else {
    Part = Dot > 0 ? Copy(Text, 1, Dot - 1) : Text;
  }
  Integer Number = 0;
  return TryStrToInt(Part, Number) ? Number : 2;
}

bool ReportsRegistryVersion(const TWindowsVersionFacts& Facts) {
  return (Facts.Major == 6 && Facts.Minor == 2) || Facts.Major == 10;
}

TWindowsVersion ClassifyNT6(const TWindowsVersionFacts& Facts, bool& Major10) {
  Integer Minor = Facts.Minor;
  if (Minor == 2) {
    const String Name = ReadRegistryTextOr(HKLM, WindowsCurrentVersionKey, u"ProductName", String());
    if (StartsWith(Name, u"Windows 8.1") || StartsWith(Name, u"Windows Server 2012 R2")) {
      Minor = 3;
    } else if (StartsWith(Name, u"Windows 8") || StartsWith(Name, u"Windows Server 2012")) {
      Minor = 2;
    } else {
      const Integer Major = RegistryMajorVersion(Facts);
      if (Major == 6) {
        Minor = 4;
      } else if (Major == 10) {
        Major10 = true;
        return wvUnknown;
      }
    }
  }
  const bool W = Facts.Workstation;
  switch (Minor) {
    case 0:
      return W ? wvWinVista : wvWinServer2008;
    case 1:
      return W ? wvWin7 : wvWinServer2008R2;
    case 2:
      return W ? wvWin8 : wvWinServer2012;
    case 3:
      return W ? wvWin81 : wvWinServer2012R2;
    case 4:
      return W ? wvWin10 : wvWinServer2016;
    default:
      return wvUnknown;
  }
}

}  // namespace

Integer RegistryMajorVersion(const TWindowsVersionFacts& Facts) {
  if (!ReportsRegistryVersion(Facts)) return Facts.Major;
  const Integer Number = ReadRegistryIntegerOr(HKLM, WindowsCurrentVersionKey, u"CurrentMajorVersionNumber", -1);
  return Number != -1 ? Number : VersionPart(Facts, false);
}

Integer RegistryMinorVersion(const TWindowsVersionFacts& Facts) {
  if (!ReportsRegistryVersion(Facts)) return Facts.Minor;
  const Integer Number = ReadRegistryIntegerOr(HKLM, WindowsCurrentVersionKey, u"CurrentMinorVersionNumber", -1);
  return Number != -1 ? Number : VersionPart(Facts, true);
}

TWindowsVersion ClassifyWindowsVersion(const TWindowsVersionFacts& Facts) {
  const String& SP = Facts.ServicePack;
  if (Facts.Platform == 1) {
    if (Facts.Minor < 10) return (SP == u"B" || SP == u"C") ? wvWin95OSR2 : wvWin95;
    if (Facts.Minor <= 89) {
      if (Facts.KernelProductVersion == 0x0004005A) return wvWinME;
      return (SP == u"A" || SP == u"B") ? wvWin98SE : wvWin98;
    }
    return Facts.Minor == 90 ? wvWinME : wvUnknown;
  }
  if (Facts.Platform != 2) return wvUnknown;

  bool Major10 = false;
  bool MinorFromRegistry = false;
  switch (Facts.Major) {
    case 3:
      switch (Facts.Minor) {
        case 1:
          return wvWinNT31;
        case 5:
          return wvWinNT35;
        case 51:
          return wvWinNT351;
        default:
          return wvUnknown;
      }
    case 4:
      return wvWinNT4;
    case 5:
      switch (Facts.Minor) {
        case 0:
          return wvWin2000;
        case 1:
          return wvWinXP;
        case 2:
          if (Facts.ServerR2) return wvWin2003R2;
          return (Facts.NativeNotX86 && Facts.Workstation) ? wvWinXP64 : wvWin2003;
        default:
          return wvUnknown;
      }
    case 6: {
      const TWindowsVersion Class = ClassifyNT6(Facts, Major10);
      if (!Major10) return Class;
      MinorFromRegistry = true;
      break;
    }
    case 10:
      Major10 = true;
      break;
    default:
      return wvUnknown;
  }

  const Integer Minor = MinorFromRegistry ? RegistryMinorVersion(Facts) : Facts.Minor;
  if (Minor != 0) return wvUnknown;
  if (Facts.Workstation) return wvWin10;
  const String Release = ReadRegistryTextOr(HKLM, WindowsCurrentVersionKey, u"ReleaseId", u"0");
  if (Release == u"1607") return wvWinServer2016;
  if (Release == u"1809") return wvWinServer2019;
  return wvWinServer;
}

TWindowsVersion ClassifyWindowsVersion() { return ClassifyWindowsVersion(CurrentWindowsVersionFacts()); }

TKelWindowsInfo BuildWindowsInfo(const TWindowsVersionFacts& Facts, const TKelSystemInfo& System) {
  TKelWindowsInfo I;
  I.ProcessorCount = System.NumberOfProcessors;
  I.AllocationGranularity = System.AllocationGranularity;
  I.PageSize = System.PageSize;
  I.IsWinNT = Facts.Platform == 2;
  I.KernelVersionHi = I.IsWinNT ? 0 : Facts.KernelProductVersion;
  I.Version = ClassifyWindowsVersion(Facts);
  switch (I.Version) {
    case wvWin95:
      I.IsWin95 = true;
      break;
    case wvWin95OSR2:
      I.IsWin95OSR2 = true;
      break;
    case wvWin98:
      I.IsWin98 = true;
      break;
    case wvWin98SE:
      I.IsWin98SE = true;
      break;
    case wvWinME:
      I.IsWinME = true;
      break;
    case wvWinNT31:
      I.IsWinNT3 = I.IsWinNT31 = true;
      break;
    case wvWinNT35:
      I.IsWinNT3 = I.IsWinNT35 = true;
      break;
    case wvWinNT351:
      I.IsWinNT3 = I.IsWinNT35 = I.IsWinNT351 = true;
      break;
    case wvWinNT4:
      I.IsWinNT4 = true;
      break;
    case wvWin2000:
      I.IsWin2K = true;
      break;
    case wvWinXP:
      I.IsWinXP = true;
      break;
    case wvWin2003:
      I.IsWin2003 = true;
      break;
    case wvWinXP64:
      I.IsWinXP64 = true;
      break;
    case wvWin2003R2:
      I.IsWin2003R2 = true;
      break;
    case wvWinVista:
      I.IsWinVista = true;
      break;
    case wvWinServer2008:
      I.IsWinServer2008 = true;
      break;
    case wvWin7:
      I.IsWin7 = true;
      break;
    case wvWinServer2008R2:
      I.IsWinServer2008R2 = true;
      break;
    case wvWin8:
      I.IsWin8 = true;
      break;
    case wvWinServer2012:
      I.IsWinServer2012 = true;
      break;
    case wvWin81:
      I.IsWin81 = true;
      break;
    case wvWinServer2012R2:
      I.IsWinServer2012R2 = true;
      break;
    case wvWin10:
      I.IsWin10 = true;
      break;
    case wvWinServer2016:
      I.IsWinServer2016 = true;
      break;
    case wvWinServer2019:
      I.IsWinServer2019 = true;
      break;
    case wvWinServer:
      I.IsWinServer = true;
      break;
    case wvUnknown:
      break;
  }
  return I;
}

namespace {
TKelWindowsInfo WindowsInfo;
std::once_flag WindowsInfoDetected;
}  // namespace

void DetectWindowsVersion() {
  std::call_once(WindowsInfoDetected, [] {
    TKelSystemInfo System;
    KelPlatformSystemInfo(System);
    WindowsInfo = BuildWindowsInfo(CurrentWindowsVersionFacts(), System);
  });
}

const TKelWindowsInfo& KelWindowsInfo() { return WindowsInfo; }
