// Windows version classification and the registry readers, over a registry
// faked in memory; on Windows also the real registry and version.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <tuple>

#include "rtl/SysUtils.h"
#include "xml/KelSysUtils.h"
#include "xml/KelWinVersion.h"

namespace {

struct TFakeValue {
  Cardinal Type;
  TDynByteArray Data;
};

TFakeValue TextValue(const String& Text, Cardinal Type = REG_SZ) {
  TFakeValue V{Type, {}};
  for (Char C : Text + u'\0') {
    V.Data.push_back(static_cast<Byte>(C));
    V.Data.push_back(static_cast<Byte>(C >> 8));
  }
  return V;
}

TFakeValue DwordValue(Cardinal N) {
  TFakeValue V{REG_DWORD, TDynByteArray(4)};
  std::memcpy(V.Data.data(), &N, 4);
  return V;
}

TFakeValue QwordValue(UInt64 N) {
  TFakeValue V{REG_QWORD, TDynByteArray(8)};
  std::memcpy(V.Data.data(), &N, 8);
  return V;
}

// Keys are "root|subkey" in upper case; handles index the opened keys.
class TFakeRegistry : public TKelRegistryBackend {
public:
  std::map<std::pair<String, String>, TFakeValue> Values;
  std::vector<String> Opened;
  Cardinal LastAccess = 0;
  int OpenCount = 0;

  void Set(const String& Name, TFakeValue V, const String& Key = WindowsCurrentVersionKey, TKelRootKey Root = HKLM) {
    Values[{KeyId(Root, Key), UpperCase(Name)}] = std::move(V);
  }

  bool IsNT() const override { return true; }
  Integer OpenKey(TKelRootKey Root, std::u16string_view SubKey, Cardinal, Cardinal Access,
                  NativeUInt& Handle) override {
    LastAccess = Access;
    const String Id = KeyId(Root, String(SubKey));
    for (const auto& [K, V] : Values) {
      if (K.first == Id) {
        Opened.push_back(Id);
        Handle = Opened.size();
        ++OpenCount;
        return KelErrorSuccess;
      }
    }
    return KelErrorFileNotFound;
  }
  Integer QueryValue(NativeUInt Handle, const String& Name, Cardinal* ValueType, void* Data, Cardinal* Size) override {
    auto It = Values.find({Opened.at(Handle - 1), UpperCase(Name)});
    if (It == Values.end()) return KelErrorFileNotFound;
    if (ValueType) *ValueType = It->second.Type;
    const Cardinal Need = static_cast<Cardinal>(It->second.Data.size());
    if (Data) {
      if (!Size || *Size < Need) return KelErrorMoreData;
      std::memcpy(Data, It->second.Data.data(), Need);
    }
    if (Size) *Size = Need;
    return KelErrorSuccess;
  }
  void CloseKey(NativeUInt) override { --OpenCount; }

private:
  static String KeyId(TKelRootKey Root, String Key) {
    while (!Key.empty() && Key.front() == u'\\') Key.erase(0, 1);
    return IntToStr(Root) + u"|" + UpperCase(Key);
  }
};

class WinVersion : public ::testing::Test {
protected:
  void SetUp() override { FPrevious = SetRegistryBackend(&Registry); }
  void TearDown() override {
    SetRegistryBackend(FPrevious == &SystemRegistryBackend() ? nullptr : FPrevious);
    EXPECT_EQ(Registry.OpenCount, 0) << "a key was left open";
  }
  TFakeRegistry Registry;

private:
  TKelRegistryBackend* FPrevious = nullptr;
};

TWindowsVersionFacts NT(Integer Major, Integer Minor, bool Workstation) {
  TWindowsVersionFacts F;
  F.Platform = 2;
  F.Major = Major;
  F.Minor = Minor;
  F.Workstation = Workstation;
  return F;
}

}  // namespace

TEST_F(WinVersion, ClassifiesWithoutTheRegistry) {
  struct {
    Integer Platform, Major, Minor;
    String ServicePack;
    Cardinal Kernel;
    bool ServerR2, NotX86, Workstation;
    TWindowsVersion Expected;
  } Cases[] = {
      {1, 4, 0, u"", 0, false, false, false, wvWin95},
      {1, 4, 0, u"C", 0, false, false, false, wvWin95OSR2},
      {1, 4, 10, u"", 0, false, false, false, wvWin98},
      {1, 4, 10, u"A", 0, false, false, false, wvWin98SE},
      {1, 4, 10, u"A", 0x0004005A, false, false, false, wvWinME},
      {1, 4, 90, u"", 0, false, false, false, wvWinME},
      {1, 4, 95, u"", 0, false, false, false, wvUnknown},
      {2, 3, 51, u"", 0, false, false, true, wvWinNT351},
      {2, 3, 2, u"", 0, false, false, true, wvUnknown},
      {2, 4, 0, u"", 0, false, false, true, wvWinNT4},
      {2, 5, 1, u"", 0, false, false, true, wvWinXP},
      {2, 5, 2, u"", 0, true, true, true, wvWin2003R2},
      {2, 5, 2, u"", 0, false, true, true, wvWinXP64},
      {2, 5, 2, u"", 0, false, false, true, wvWin2003},
      {2, 6, 0, u"", 0, false, false, true, wvWinVista},
      {2, 6, 0, u"", 0, false, false, false, wvWinServer2008},
      {2, 6, 1, u"", 0, false, false, true, wvWin7},
      {2, 6, 3, u"", 0, false, false, false, wvWinServer2012R2},
      {2, 6, 9, u"", 0, false, false, true, wvUnknown},
      {2, 10, 0, u"", 0, false, false, true, wvWin10},
      {2, 10, 0, u"", 0, false, false, false, wvWinServer},  // no ReleaseId
      {2, 11, 0, u"", 0, false, false, true, wvUnknown},
      {0, 10, 0, u"", 0, false, false, true, wvUnknown},  // not Windows
  };
  for (const auto& C : Cases) {
    TWindowsVersionFacts F;
    F.Platform = C.Platform;
    F.Major = C.Major;
    F.Minor = C.Minor;
    F.ServicePack = C.ServicePack;
    F.KernelProductVersion = C.Kernel;
    F.ServerR2 = C.ServerR2;
    F.NativeNotX86 = C.NotX86;
    F.Workstation = C.Workstation;
    EXPECT_EQ(ClassifyWindowsVersion(F), C.Expected) << C.Platform << " " << C.Major << "." << C.Minor;
  }
}

// A program without a manifest is told 6.2; the registry tells the rest.
TEST_F(WinVersion, ClassifiesReported62ByTheRegistry) {
  Registry.Set(u"ProductName", TextValue(u"Windows 8.1 Pro"));
  EXPECT_EQ(ClassifyWindowsVersion(NT(6, 2, true)), wvWin81);
  Registry.Set(u"ProductName", TextValue(u"Windows Server 2012 Standard"));
  EXPECT_EQ(ClassifyWindowsVersion(NT(6, 2, false)), wvWinServer2012);

  Registry.Set(u"ProductName", TextValue(u"Windows 10 Pro"));
  Registry.Set(u"CurrentMajorVersionNumber", DwordValue(10));
  Registry.Set(u"CurrentMinorVersionNumber", DwordValue(0));
  EXPECT_EQ(ClassifyWindowsVersion(NT(6, 2, true)), wvWin10);
  EXPECT_EQ(RegistryMajorVersion(NT(6, 2, true)), 10);
  EXPECT_EQ(RegistryMajorVersion(NT(6, 1, true)), 6);  // only 6.2 and 10 ask

  Registry.Set(u"ReleaseId", TextValue(u"1809"));
  EXPECT_EQ(ClassifyWindowsVersion(NT(6, 2, false)), wvWinServer2019);
  EXPECT_EQ(ClassifyWindowsVersion(NT(10, 0, false)), wvWinServer2019);
  Registry.Set(u"ReleaseId", TextValue(u"1607"));
  EXPECT_EQ(ClassifyWindowsVersion(NT(10, 0, false)), wvWinServer2016);

  // Without the number values the text "CurrentVersion" decides.
  Registry.Values.clear();
  Registry.Set(u"ProductName", TextValue(u"Something"));
  Registry.Set(u"CurrentVersion", TextValue(u"6.3"));
  EXPECT_EQ(RegistryMajorVersion(NT(6, 2, true)), 6);
  EXPECT_EQ(RegistryMinorVersion(NT(6, 2, true)), 3);
  EXPECT_EQ(ClassifyWindowsVersion(NT(6, 2, true)), wvWin10);  // registry major 6: minor 4
  Registry.Set(u"CurrentVersion", TextValue(u"x.y"));
  EXPECT_EQ(RegistryMajorVersion(NT(6, 2, true)), 2);
  EXPECT_EQ(RegistryMinorVersion(NT(6, 2, true)), 2);
}

TEST_F(WinVersion, FlagsFollowTheClass) {
  TKelSystemInfo System;
  System.NumberOfProcessors = 4;
  System.PageSize = 4096;
  const TKelWindowsInfo NT351 = BuildWindowsInfo(NT(3, 51, true), System);
  EXPECT_EQ(NT351.Version, wvWinNT351);
  EXPECT_TRUE(NT351.IsWinNT3 && NT351.IsWinNT35 && NT351.IsWinNT351);
  EXPECT_FALSE(NT351.IsWinNT31);
  EXPECT_TRUE(NT351.IsWinNT);
  EXPECT_EQ(NT351.ProcessorCount, 4u);
  const TKelWindowsInfo Unknown = BuildWindowsInfo(NT(12, 0, true), System);
  EXPECT_EQ(Unknown.Version, wvUnknown);
  EXPECT_FALSE(Unknown.IsWin10 || Unknown.IsWinServer || Unknown.IsWinNT3);
}

TEST_F(WinVersion, RootKeyNamesAndRelativeKeys) {
  EXPECT_EQ(RootKeyName(HKLM), u"HKEY_LOCAL_MACHINE");
  EXPECT_EQ(RootKeyName(HKDD), u"HKEY_DYN_DATA");
  EXPECT_EQ(RootKeyName(0x12AB), u"$000012ab");

  const String Key = u"\\HKLM\\Software\\X";
  EXPECT_EQ(RelativeKey(HKLM, Key), u"\\Software\\X");
  EXPECT_EQ(RelativeKey(HKCU, u"HKEY_CURRENT_USER\\A"), u"\\A");
  EXPECT_EQ(RelativeKey(HKLM, u"\\Software\\X"), u"Software\\X");
  EXPECT_EQ(RelativeKey(HKLM, u"HKLMX\\Y"), u"HKLMX\\Y");
  try {
    RelativeKey(HKCU, Key);
    FAIL() << "no error";
  } catch (const EKelRegistryError& E) {
    EXPECT_EQ(E.Message(), u"\"\\HKLM\\Software\\X\" does not match RootKey");
  }
}

TEST_F(WinVersion, ReadersAcceptTheirTypesAndReportFailures) {
  const String Key = u"Software\\Quorvel";
  Registry.Set(u"Text", TextValue(u"hello"), Key, HKCU);
  Registry.Set(u"Path", TextValue(u"%WINDIR%\\x", REG_EXPAND_SZ), Key, HKCU);
  Registry.Set(u"Count", DwordValue(42), Key, HKCU);
  Registry.Set(u"Big", QwordValue(0x100000007ull), Key, HKCU);
  Registry.Set(u"Number", TextValue(u"-17"), Key, HKCU);
  Registry.Set(u"Bad", TextValue(u"12a"), Key, HKCU);

  EXPECT_EQ(ReadRegistryText(HKCU, Key, u"Text"), u"hello");
  EXPECT_EQ(ReadRegistryText(HKCU, u"\\HKCU\\" + Key, u"Text"), u"hello");
  EXPECT_EQ(ReadRegistryText(HKCU, Key, u"Path"), u"%WINDIR%\\x");  // not expanded
  EXPECT_EQ(ReadRegistryTextOr(HKCU, Key, u"Missing", u"dflt"), u"dflt");
  EXPECT_EQ(ReadRegistryTextOr(HKCU, Key, u"Count", u"dflt"), u"dflt");
  EXPECT_EQ(ReadRegistryIntegerOr(HKCU, Key, u"Count", -1), 42);
  EXPECT_EQ(ReadRegistryIntegerOr(HKCU, Key, u"Big", -1), 7);  // the low 32 bits
  EXPECT_EQ(ReadRegistryIntegerOr(HKCU, Key, u"Number", 0), -17);
  EXPECT_EQ(ReadRegistryIntegerOr(HKCU, Key, u"Bad", 5), 5);
  EXPECT_EQ(ReadRegistryIntegerOr(HKCU, u"Nowhere", u"Count", 5), 5);
  Integer Value = 0;
  EXPECT_THROW(ReadRegistryInteger(HKCU, Key, u"Bad", true, Value), EConvertError);
  EXPECT_FALSE(ReadRegistryInteger(HKCU, Key, u"Bad", false, Value));

  const struct {
    String Key, Name, Message;
  } Errors[] = {
      {u"Nowhere", u"Text", u"Unable to open key \"HKEY_CURRENT_USER\\Nowhere\" for read"},
      {Key, u"Missing", u"Unable to open key \"HKEY_CURRENT_USER\\Software\\Quorvel\" and access value \"Missing\""},
      {Key, u"Count", u"\"HKEY_CURRENT_USER\\Software\\Quorvel\\Count\" is of wrong kind or size"},
  };
  for (const auto& E : Errors) {
    try {
      ReadRegistryText(HKCU, E.Key, E.Name);
      ADD_FAILURE() << "no error for " << UnicodeToCodePage(E.Name, CP_KEL_UTF8);
    } catch (const EKelRegistryError& X) {
      EXPECT_EQ(X.Message(), E.Message);
    }
  }

  // A buffer too small for the value is the "wrong kind or size" case.
  Cardinal Type = 0, Size = 0;
  Byte Small[2];
  EXPECT_FALSE(ReadRegistryData(HKCU, Key, u"Count", false, Type, Size, Small, sizeof Small, 1u << REG_DWORD));
  EXPECT_EQ(Size, 4u);
  EXPECT_THROW(ReadRegistryData(HKCU, Key, u"Count", true, Type, Size, Small, sizeof Small, 1u << REG_DWORD),
               EKelRegistryError);
  EXPECT_TRUE(GetRegistryValueType(HKCU, Key, u"Big", Type));
  EXPECT_EQ(Type, REG_QWORD);
}

TEST_F(WinVersion, RegistryViewAddsItsFlagOnA64BitProcessor) {
  if (!IsNative64Bit()) GTEST_SKIP() << "32-bit processor: views do not apply";
  const Integer Saved = RegistryView();
  const struct {
    Integer View;
    Cardinal Access, Expected;
  } Cases[] = {
      {0, KEY_READ, KEY_READ},
      {1, KEY_READ, KEY_READ | KEY_WOW64_64KEY},
      {2, KEY_READ, KEY_READ | KEY_WOW64_32KEY},
      {3, KEY_READ, KEY_READ | KEY_WOW64_64KEY},
      {2, KEY_READ | KEY_WOW64_64KEY, KEY_READ | KEY_WOW64_64KEY},
  };
  for (const auto& C : Cases) {
    SetRegistryView(C.View);
    EXPECT_EQ(RegistryAccessMask(C.Access), C.Expected) << C.View;
  }
  SetRegistryView(2);
  Registry.Set(u"ProductName", TextValue(u"x"));
  ReadRegistryTextOr(HKLM, WindowsCurrentVersionKey, u"ProductName", u"");
  EXPECT_EQ(Registry.LastAccess, KEY_READ | KEY_WOW64_32KEY);
  SetRegistryView(Saved);
}

// The running system, through the platform's own registry.
TEST(WinVersionSystem, DetectsTheRunningSystem) {
  DetectWindowsVersion();
  const TKelWindowsInfo& Info = KelWindowsInfo();
  const String Product = ReadRegistryTextOr(HKLM, WindowsCurrentVersionKey, u"ProductName", u"?");
#ifdef _WIN32
  EXPECT_GE(Win32Version().Major, 5);
  EXPECT_TRUE(Info.IsWinNT);
  EXPECT_NE(Info.Version, wvUnknown);
  EXPECT_GT(Info.PageSize, 0u);
  EXPECT_GT(Info.ProcessorCount, 0u);
  EXPECT_NE(Product, u"?");
  EXPECT_FALSE(Product.empty());
  EXPECT_TRUE(IsWindowsVersionAtLeast(5, 0));
  EXPECT_FALSE(IsWindowsVersionAtLeast(99, 0));
  EXPECT_THROW(ReadRegistryText(HKLM, WindowsCurrentVersionKey, u"NoSuchValue"), EKelRegistryError);
#else
  EXPECT_EQ(Win32Version().Major, 0);
  EXPECT_FALSE(Info.IsWinNT);
  EXPECT_EQ(Info.Version, wvUnknown);
  EXPECT_EQ(ClassifyWindowsVersion(), wvUnknown);
  EXPECT_EQ(Product, u"?");
  EXPECT_FALSE(IsWindowsVersionAtLeast(5, 0));
#endif
}
