// Version resources: the bounded parser on blocks built here byte for byte,
// TOxVersionInfo over them, and (on Windows) the test program's own resource
// from data/version.rc.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "rtl/SysUtils.h"
#include "xml/KelSysUtils.h"
#include "xml/OxVersionInfo.h"

namespace {

struct TNode {
  String Key;
  Word Type = 0;  // 1 text
  TDynByteArray Value;
  Word ValueLength = 0;
  std::vector<TNode> Children;
};

void Put16(TDynByteArray& Out, std::size_t At, Word V) {
  Out[At] = static_cast<Byte>(V);
  Out[At + 1] = static_cast<Byte>(V >> 8);
}

void Pad4(TDynByteArray& Out) {
  while (Out.size() % 4) Out.push_back(0);
}

void Write(TDynByteArray& Out, const TNode& N) {
  Pad4(Out);
  const std::size_t Start = Out.size();
  Out.resize(Start + 6);
  Put16(Out, Start + 2, N.ValueLength);
  Put16(Out, Start + 4, N.Type);
  for (Char C : N.Key + u'\0') {
    Out.push_back(static_cast<Byte>(C));
    Out.push_back(static_cast<Byte>(C >> 8));
  }
  Pad4(Out);
  Out.insert(Out.end(), N.Value.begin(), N.Value.end());
  for (const TNode& Child : N.Children) Write(Out, Child);
  Put16(Out, Start, static_cast<Word>(Out.size() - Start));
}

TNode Text(const String& Key, const String& Value) {
  TNode N{Key, 1, {}, static_cast<Word>(Value.size() + 1), {}};
  for (Char C : Value + u'\0') {
    N.Value.push_back(static_cast<Byte>(C));
    N.Value.push_back(static_cast<Byte>(C >> 8));
  }
  return N;
}

TNode Block(const String& Key, std::vector<TNode> Children) { return TNode{Key, 1, {}, 0, std::move(Children)}; }

template <typename T>
TNode Binary(const String& Key, const T& Value) {
  TNode N{Key, 0, TDynByteArray(sizeof Value), static_cast<Word>(sizeof Value), {}};
  std::memcpy(N.Value.data(), &Value, sizeof Value);
  return N;
}

struct TResourceSpec {
  Cardinal FileMS = 0x00020001, FileLS = 0x00000025;  // 2.1.0.37
  Cardinal ProductMS = 0x00030004, ProductLS = 0x00050006;
  Cardinal Translation = 0x04B00409;  // 0x0409, code page 1200
  String TableName = u"040904B0";
  std::vector<TNode> Strings{Text(u"CompanyName", u"Quorvel test company"), Text(u"FileVersion", u"2.1 beta"),
                             Text(u"ProductName", u"Quorvel"), Text(u"PrivateBuild", u"")};
  bool WithTranslation = true;
};

TDynByteArray BuildResource(const TResourceSpec& S) {
  TVSFixedFileInfo Fixed{};
  Fixed.dwSignature = FixedFileInfoSignature;
  Fixed.dwStrucVersion = 0x00010000;
  Fixed.dwFileVersionMS = S.FileMS;
  Fixed.dwFileVersionLS = S.FileLS;
  Fixed.dwProductVersionMS = S.ProductMS;
  Fixed.dwProductVersionLS = S.ProductLS;
  TNode Root = Binary(u"VS_VERSION_INFO", Fixed);
  Root.Children.push_back(Block(u"StringFileInfo", {Block(S.TableName, S.Strings)}));
  std::vector<TNode> Var;
  if (S.WithTranslation) Var.push_back(Binary(u"Translation", S.Translation));
  Root.Children.push_back(Block(u"VarFileInfo", Var));
  TDynByteArray Out;
  Write(Out, Root);
  return Out;
}

std::unique_ptr<TOxVersionInfo> FromBlock(const TDynByteArray& Bytes) {
  auto Info = std::make_unique<TOxVersionInfo>(u"");
  Info->LoadVersionBlock(Bytes.data(), Bytes.size());
  return Info;
}

}  // namespace

// Every record and value of a well-formed resource.
TEST(VersionInfo, ReadsFixedRecordTranslationAndStrings) {
  const TDynByteArray Bytes = BuildResource({});
  TOxVersionInfo Info(u"");
  Info.LoadVersionBlock(Bytes.data(), Bytes.size());
  ASSERT_TRUE(Info.Valid());

  ASSERT_NE(Info.FixedFileInfo(), nullptr);
  EXPECT_EQ(Info.FixedFileInfo()->dwSignature, FixedFileInfoSignature);
  EXPECT_EQ(FormatLongVersion(Info.FileLongVersion()), u"2.1.0.37");
  EXPECT_EQ(FormatLongVersion(Info.ProductLongVersion()), u"3.4.5.6");
  EXPECT_EQ(Info.VersionNum(), 0x00020001u);
  EXPECT_EQ(Info.FileLongVersion().All(), 0x0000002500020001ull);

  ASSERT_NE(Info.Translation(), nullptr);
  EXPECT_EQ(*Info.Translation(), 0x04B00409u);
  EXPECT_EQ(Info.VersionLanguage(), vlUSEnglish);
  EXPECT_EQ(Info.VersionCharSet(), vcsUnicode);

  EXPECT_EQ(Info.CompanyName(), u"Quorvel test company");
  EXPECT_EQ(Info.ProductName(), u"Quorvel");
  EXPECT_EQ(Info.FileVersion(), u"2.1 beta");    // the text, not the numbers
  EXPECT_EQ(Info.ProductVersion(), u"3.4.5.6");  // no text: the fixed record
  EXPECT_EQ(Info.PrivateBuild(), u"");
  EXPECT_EQ(Info.Comments(), u"");
  EXPECT_EQ(Info.GetVerValue(u"productname"), u"Quorvel");  // keys ignore case
}

TEST(VersionInfo, LanguageAndCharSetFromTranslation) {
  struct {
    Cardinal Translation;
    TVersionLanguage Language;
    TVersionCharSet CharSet;
  } Cases[] = {
      {0x04B00409, vlUSEnglish, vcsUnicode},
      {0xFDE90C09, vlUnknown, vcsUnknown},       // 0x0C09 and 65001 are in no table
      {0x04E40000, vlUnknown, vcsMultilingual},  // language 0 is vlUnknown's own id
      {0x0000100C, vlSwissFrench, vcsASCII},
      {0x04E20421, vlBahasa, vcsEasternEuropean},  // the last of the consecutive ids
      {0x04E30804, vlSimplifiedChinese, vcsCyrillic},
  };
  for (const auto& C : Cases) {
    TResourceSpec S;
    S.Translation = C.Translation;
    const auto Info = FromBlock(BuildResource(S));
    EXPECT_EQ(Info->VersionLanguage(), C.Language) << std::hex << C.Translation;
    EXPECT_EQ(Info->VersionCharSet(), C.CharSet) << std::hex << C.Translation;
  }
  EXPECT_EQ(VersionLanguageId(vlCroatoSerbian), 0x041A);
  EXPECT_EQ(VersionCharSetCodePage(vcsArabic), 1256);
}

// Only the first translation is looked up: a table under another one, or no
// translation at all, gives empty values and the version numbers as text.
TEST(VersionInfo, StringsUnderAnotherTranslationAreNotFound) {
  TResourceSpec Other;
  Other.TableName = u"040704E4";
  TResourceSpec None;
  None.WithTranslation = false;
  for (const TResourceSpec& S : {Other, None}) {
    const auto Info = FromBlock(BuildResource(S));
    ASSERT_TRUE(Info->Valid());
    EXPECT_EQ(Info->ProductName(), u"");
    EXPECT_EQ(Info->FileVersion(), u"2.1.0.37");
  }
  const auto NoTranslation = FromBlock(BuildResource(None));
  EXPECT_EQ(NoTranslation->Translation(), nullptr);
  EXPECT_EQ(NoTranslation->VersionLanguage(), vlUnknown);
  EXPECT_EQ(NoTranslation->VersionCharSet(), vcsUnknown);
}

TEST(VersionInfo, QueryWalksPathsAndReportsLengths) {
  const TDynByteArray Bytes = BuildResource({});
  const void* Value = nullptr;
  Cardinal Length = 0;
  ASSERT_TRUE(VersionBlockQuery(Bytes.data(), Bytes.size(), u"\\", Value, Length));
  EXPECT_EQ(Length, 52u);
  ASSERT_TRUE(VersionBlockQuery(Bytes.data(), Bytes.size(), u"\\VarFileInfo\\Translation", Value, Length));
  EXPECT_EQ(Length, 4u);
  ASSERT_TRUE(
      VersionBlockQuery(Bytes.data(), Bytes.size(), u"\\\\StringFileInfo\\040904b0\\\\ProductName", Value, Length));
  EXPECT_EQ(Length, 8u);  // "Quorvel" and its zero, in units
  EXPECT_FALSE(VersionBlockQuery(Bytes.data(), Bytes.size(), u"\\StringFileInfo\\040904B0\\Missing", Value, Length));
  EXPECT_FALSE(VersionBlockQuery(Bytes.data(), Bytes.size(), u"\\StringFileInfo\\Product", Value, Length));
  EXPECT_FALSE(VersionBlockQuery(nullptr, 0, u"\\", Value, Length));
}

// Every cut of the resource, and every byte replaced, is handled without a
// read outside the buffer (the sanitizer build checks that); a resource cut
// inside its root node is refused outright.
TEST(VersionInfo, TruncatedOrCorruptBlocksFailCleanly) {
  const TDynByteArray Good = BuildResource({});
  for (std::size_t Size = 0; Size < Good.size(); ++Size) {
    // A copy of exactly Size bytes, so that the sanitizer sees any overrun.
    const TDynByteArray Cut(Good.begin(), Good.begin() + static_cast<std::ptrdiff_t>(Size));
    TOxVersionInfo Info(u"");
    Info.LoadVersionBlock(Cut.data(), Cut.size());
    EXPECT_FALSE(Info.Valid()) << Size;
    EXPECT_EQ(Info.FileVersion(), u"");
    EXPECT_EQ(Info.FixedFileInfo(), nullptr);
    const void* Value = nullptr;
    Cardinal Length = 0;
    EXPECT_FALSE(VersionBlockQuery(Cut.data(), Cut.size(), u"\\", Value, Length)) << Size;
  }
  for (std::size_t At = 0; At < Good.size(); ++At) {
    for (Byte Junk : {Byte{0x00}, Byte{0xFF}, Byte{0x07}}) {
      TDynByteArray Bad = Good;
      Bad[At] = Junk;
      const auto Info = FromBlock(Bad);
      (void)Info->ProductName();
      (void)Info->FileVersion();
      (void)Info->VersionLanguage();
    }
  }
  // A child that claims more than its parent holds.
  TDynByteArray Overlong = Good;
  const std::size_t Child = 92;  // first child: after the 40-byte header+key and the 52-byte record
  ASSERT_EQ(Overlong[Child + 6], 'S');
  Overlong[Child] = 0xF0;
  Overlong[Child + 1] = 0x7F;
  EXPECT_EQ(FromBlock(Overlong)->ProductName(), u"");
}

TEST(VersionInfo, FileWithoutResourceIsNotValid) {
  TOxVersionInfo Info(u"no such file.exe");
  EXPECT_FALSE(Info.Valid());
  EXPECT_EQ(Info.FileVersion(), u"");
  EXPECT_EQ(Info.ProductVersion(), u"");
  EXPECT_EQ(Info.VersionNum(), 0u);
  EXPECT_EQ(Info.FileLongVersion().All(), 0u);
  EXPECT_EQ(Info.Translation(), nullptr);
  EXPECT_EQ(Info.VersionLanguage(), vlUnknown);
  EXPECT_EQ(Info.VersionCharSet(), vcsUnknown);
  EXPECT_EQ(Info.VerFileDate(), 0.0);

  // Changing the name drops the resource read before.
  const TDynByteArray Bytes = BuildResource({});
  Info.LoadVersionBlock(Bytes.data(), Bytes.size());
  ASSERT_TRUE(Info.Valid());
  Info.SetFileName(u"still no such file.exe");
  EXPECT_FALSE(Info.Valid());
  EXPECT_EQ(Info.FileName(), u"still no such file.exe");
  EXPECT_EQ(Info.ProductName(), u"");
  EXPECT_EQ(Info.FixedFileInfo(), nullptr);

  TVSFixedFileInfo Fixed{};
  Fixed.dwFileType = 0x1234;
  EXPECT_FALSE(ReadFixedVersionInfo(u"no such file.exe", Fixed));
  EXPECT_EQ(Fixed.dwFileType, 0x1234u);
}

TEST(VersionInfo, ProgramsOwnResource) {
  const auto Info = CreateAppVersionInfo();
  EXPECT_FALSE(Info->FileName().empty());
  EXPECT_GT(Info->VerFileDate(), 36526.0);  // the test program was built after 2000
  TVSFixedFileInfo Fixed{};
#ifdef _WIN32
  ASSERT_TRUE(Info->Valid());
  EXPECT_EQ(Info->FileVersion(), u"2.1 beta");
  EXPECT_EQ(Info->ProductVersion(), u"3.4.5.6");
  EXPECT_EQ(Info->ProductName(), u"Quorvel");
  EXPECT_EQ(Info->PrivateBuild(), u"built for the tests");
  EXPECT_EQ(Info->OriginalFilename(), u"xml_tests.exe");
  EXPECT_EQ(FormatLongVersion(Info->FileLongVersion()), u"2.1.0.37");
  EXPECT_EQ(Info->VersionLanguage(), vlUSEnglish);
  EXPECT_EQ(Info->VersionCharSet(), vcsUnicode);
  ASSERT_TRUE(ReadFixedVersionInfo(Info->FileName(), Fixed));
  EXPECT_EQ(Fixed.dwFileVersionLS, 37u);
  // The portable walk finds what the system finds in the file's resource.
  TDynByteArray Raw;
  ASSERT_TRUE(GetFileVersionResource(Info->FileName(), Raw));
  const void* Value = nullptr;
  Cardinal Length = 0;
  ASSERT_TRUE(VersionBlockQuery(Raw.data(), Raw.size(), u"\\StringFileInfo\\040904B0\\InternalName", Value, Length));
  EXPECT_EQ(String(static_cast<const Char*>(Value)), u"xml_tests");
  // A block in memory goes through the system's lookup as well.
  EXPECT_EQ(FromBlock(BuildResource({}))->CompanyName(), u"Quorvel test company");
#else
  EXPECT_FALSE(Info->Valid());
  EXPECT_EQ(Info->ProductName(), u"");
  EXPECT_FALSE(ReadFixedVersionInfo(Info->FileName(), Fixed));
#endif
}
