#include "rtl/Streams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <fstream>
#include <string>

#include "rtl/Resources.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "tests/support/TestSupport.h"

#ifdef _WIN32
#include "rtl/Win32.h"
#endif

namespace {

using testsupport::MessageOf;

TBytes Content(TCustomMemoryStream& S) {
  auto* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

// ---------------------------------------------------------------- memory streams

TEST(TMemoryStream, WriteReadSeek) {
  TMemoryStream S;
  EXPECT_EQ(S.Size(), 0);
  EXPECT_EQ(S.Write("hello", 5), 5);
  EXPECT_EQ(S.Position(), 5);
  EXPECT_EQ(S.Size(), 5);
  EXPECT_EQ(S.Seek(1, soBeginning), 1);
  char Buf[8] = {};
  EXPECT_EQ(S.Read(Buf, 3), 3);
  EXPECT_EQ(std::string(Buf, 3), "ell");
  EXPECT_EQ(S.Seek(-1, soCurrent), 3);
  EXPECT_EQ(S.Seek(-2, soEnd), 3);
  EXPECT_EQ(S.Read(Buf, 8), 2);
  EXPECT_EQ(S.Read(Buf, 8), 0);
  // Writing past the end fills the gap with zeros.
  S.SetPosition(7);
  S.Write("!", 1);
  EXPECT_EQ(Content(S), (TBytes{'h', 'e', 'l', 'l', 'o', 0, 0, '!'}));
  // Reading from past the end gives nothing.
  S.SetPosition(100);
  EXPECT_EQ(S.Read(Buf, 1), 0);
}

TEST(TMemoryStream, SetSizeClearCapacity) {
  TMemoryStream S;
  S.Write("abcdef", 6);
  S.SetSize(3);
  EXPECT_EQ(S.Size(), 3);
  EXPECT_EQ(S.Position(), 3);
  S.SetPosition(1);
  S.SetSize(10);
  EXPECT_EQ(S.Position(), 1);
  EXPECT_EQ(Content(S), (TBytes{'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0}));
  S.SetCapacity(1000);
  EXPECT_GE(S.Capacity(), 1000);
  EXPECT_EQ(S.Size(), 10);
  S.Clear();
  EXPECT_EQ(S.Size(), 0);
  EXPECT_EQ(S.Position(), 0);
  EXPECT_EQ(S.Memory(), nullptr);
}

TEST(TStream, ReadBufferAndWriteBufferInsistOnTheWholeCount) {
  TMemoryStream S;
  S.WriteBuffer("abc", 3);
  S.SetPosition(0);
  char Buf[4] = {};
  S.ReadBuffer(Buf, 3);
  EXPECT_EQ(std::string(Buf, 3), "abc");
  S.SetPosition(1);
  EXPECT_EQ(MessageOf<EReadError>([&] { S.ReadBuffer(Buf, 3); }), u"Stream read error");
  S.ReadBuffer(Buf, 0);  // nothing to do
  // A stream that takes nothing.
  class TSink : public TStream {
  public:
    Integer Write(const void*, Integer) override { return 0; }
  } Sink;
  EXPECT_EQ(MessageOf<EWriteError>([&] { Sink.WriteBuffer("x", 1); }), u"Stream write error");
  EXPECT_THROW(Sink.Seek(0, soBeginning), EStreamError);
}

TEST(TStream, BytesFormsAndTypedData) {
  TMemoryStream S;
  TBytes Data{1, 2, 3, 4, 5};
  EXPECT_EQ(S.Write(Data, 1, 3), 3);
  EXPECT_THROW(S.Write(Data, 4, 2), EArgumentOutOfRangeException);
  S.WriteBuffer(Data, 2);
  Int64 Big = 0x0102030405060708LL;
  S.WriteBufferData(Big);
  EXPECT_EQ(S.Size(), 5 + 8);
  S.SetPosition(0);
  TBytes Back(5);
  EXPECT_EQ(S.Read(Back, 0, 5), 5);
  EXPECT_EQ(Back, (TBytes{2, 3, 4, 1, 2}));
  Int64 Read = 0;
  S.ReadBufferData(Read);
  EXPECT_EQ(Read, Big);
  Integer Small = 0;
  EXPECT_EQ(S.ReadData(Small), 0);
  EXPECT_THROW(S.ReadBufferData(Small), EReadError);
}

TEST(TStream, CopyFrom) {
  TMemoryStream Source;
  std::string Text;
  for (int I = 0; I < 70000; ++I) Text.push_back(static_cast<char>('a' + I % 26));
  Source.WriteBuffer(Text.data(), static_cast<Int64>(Text.size()));
  // Count 0: the whole source from its beginning, whatever its position.
  TMemoryStream Whole;
  EXPECT_EQ(Whole.CopyFrom(&Source, 0), 70000);
  EXPECT_EQ(std::memcmp(Whole.Memory(), Text.data(), Text.size()), 0);
  // A count: from the source's position.
  Source.SetPosition(10);
  TMemoryStream Part;
  EXPECT_EQ(Part.CopyFrom(Source, 5, 2), 5);
  EXPECT_EQ(Content(Part), (TBytes{'k', 'l', 'm', 'n', 'o'}));
  Source.SetPosition(69998);
  EXPECT_THROW(Part.CopyFrom(&Source, 5), EReadError);
}

TEST(TBytesStream, HoldsExactlyItsBytes) {
  TBytesStream S(TBytes{9, 8, 7});
  EXPECT_EQ(S.Size(), 3);
  EXPECT_EQ(S.Position(), 0);
  S.SetPosition(3);
  S.Write("\x06", 1);
  EXPECT_EQ(S.Bytes(), (TBytes{9, 8, 7, 6}));
  S.SetSize(2);
  EXPECT_EQ(S.Bytes(), (TBytes{9, 8}));
}

TEST(TStringStream, EncodingsAndDataString) {
  TStringStream Utf8(u"\u00E9t\u00E9", TEncoding::UTF8());
  EXPECT_EQ(Utf8.Size(), 5);
  EXPECT_EQ(Utf8.DataString(), u"\u00E9t\u00E9");
  EXPECT_EQ(Utf8.Encoding(), TEncoding::UTF8());
  Utf8.SetPosition(0);
  EXPECT_EQ(Utf8.ReadString(2), u"\u00E9");
  EXPECT_EQ(Utf8.Position(), 2);
  Utf8.Seek(0, soEnd);
  Utf8.WriteString(u"!");
  EXPECT_EQ(Utf8.DataString(), u"\u00E9t\u00E9!");
  EXPECT_EQ(Utf8.ReadString(10), u"");

  TStringStream Wide(u"ab", TEncoding::Unicode());
  EXPECT_EQ(Wide.Bytes(), (TBytes{'a', 0, 'b', 0}));

  // An encoding the stream owns is freed with it (ASan checks).
  TStringStream Owned(u"x", TEncoding::GetEncoding(65001));
  EXPECT_EQ(Owned.DataString(), u"x");

  TStringStream Default(u"plain");
  EXPECT_EQ(Default.Encoding(), TEncoding::Default());
  EXPECT_EQ(Default.DataString(), u"plain");
  TStringStream Raw(RawByteString("raw"));
  EXPECT_EQ(Raw.DataString(), u"raw");
  TStringStream Empty;
  EXPECT_EQ(Empty.Size(), 0);
  Empty.WriteString(u"abc");
  EXPECT_EQ(Empty.DataString(), u"abc");
}

// ---------------------------------------------------------------- files

class FileStreams : public ::testing::Test {
protected:
  String DirName() const { return testsupport::PathText(Temp.Path); }
  String PathOf(const String& Name) const { return DirName() + PathDelim + Name; }
  testsupport::TTempDir Temp{"quorvel-streams"};
};

TEST_F(FileStreams, CreateWriteReopenRead) {
  const String Name = PathOf(u"data \u00E9\u20AC.bin");
  {
    TFileStream F(Name, fmCreate);
    EXPECT_EQ(F.FileName(), Name);
    F.WriteBuffer("0123456789", 10);
    EXPECT_EQ(F.Size(), 10);
    EXPECT_EQ(F.Position(), 10);
  }
  {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(F.Size(), 10);
    char Buf[16] = {};
    EXPECT_EQ(F.Seek(-4, soEnd), 6);
    EXPECT_EQ(F.Read(Buf, 16), 4);
    EXPECT_EQ(std::string(Buf, 4), "6789");
    EXPECT_EQ(F.Read(Buf, 16), 0);
    F.SetPosition(2);
    F.ReadBuffer(Buf, 3);
    EXPECT_EQ(std::string(Buf, 3), "234");
    // Read-only: writes do nothing, WriteBuffer raises.
    EXPECT_EQ(F.Write("x", 1), 0);
    EXPECT_THROW(F.WriteBuffer("x", 1), EWriteError);
  }
  {
    TFileStream F(Name, fmOpenReadWrite);
    F.Seek(0, soEnd);
    F.WriteBuffer("AB", 2);
    F.SetSize(4);
    EXPECT_EQ(F.Size(), 4);
  }
  {
    TFileStream F(Name, fmOpenWrite | fmShareExclusive);
    F.WriteBuffer("z", 1);
  }
  TMemoryStream M;
  M.LoadFromFile(Name);
  EXPECT_EQ(Content(M), (TBytes{'z', '1', '2', '3'}));
  // fmCreate empties an existing file.
  { TFileStream F(Name, fmCreate | fmShareDenyWrite); }
  M.LoadFromFile(Name);
  EXPECT_EQ(M.Size(), 0);
}

TEST_F(FileStreams, OpenErrorsNameTheFullPath) {
  const String Missing = PathOf(u"missing.bin");
  String Message = MessageOf<EFOpenError>([&] { TFileStream F(Missing, fmOpenRead); });
  const String Prefix = u"Cannot open file \"" + Missing + u"\". ";
  ASSERT_GT(Message.size(), Prefix.size()) << UTF16ToUTF8(Message);
  EXPECT_EQ(Message.substr(0, Prefix.size()), Prefix);
  EXPECT_NE(Message.back(), u'.');  // the system text loses its final dot

  const String InMissingDir = PathOf(u"nodir") + PathDelim + u"x.bin";
  Message = MessageOf<EFCreateError>([&] { TFileStream F(InMissingDir, fmCreate); });
  const String CreatePrefix = u"Cannot create file \"" + InMissingDir + u"\". ";
  ASSERT_GT(Message.size(), CreatePrefix.size()) << UTF16ToUTF8(Message);
  EXPECT_EQ(Message.substr(0, CreatePrefix.size()), CreatePrefix);

  // Both are stream errors, and a directory cannot be opened as a file.
  EXPECT_THROW(TFileStream F(DirName(), fmOpenRead), EFileStreamError);
  EXPECT_THROW(TFileStream F(Missing, fmOpenReadWrite), EStreamError);
}

TEST_F(FileStreams, RelativeNamesAreExpandedInMessages) {
  String Message = MessageOf<EFOpenError>([] { TFileStream F(u"quorvel-surely-missing.bin", fmOpenRead); });
  const String Start = u"Cannot open file \"";
  ASSERT_EQ(Message.substr(0, Start.size()), Start);
  // The path in the message is absolute: more than the bare name.
  auto Close = Message.find(u"\". ");
  ASSERT_NE(Close, String::npos);
  String Path = Message.substr(Start.size(), Close - Start.size());
  EXPECT_GT(Path.size(), String(u"quorvel-surely-missing.bin").size());
  EXPECT_EQ(Path.substr(Path.size() - 26), u"quorvel-surely-missing.bin");
}

TEST_F(FileStreams, MemoryStreamSaveToFileAndLoadBack) {
  const String Name = PathOf(u"memory.bin");
  TMemoryStream M;
  for (int I = 0; I < 100000; ++I) {
    Byte B = static_cast<Byte>(I * 31);
    M.WriteBuffer(&B, 1);
  }
  M.SetPosition(500);  // SaveToFile writes everything, whatever the position
  M.SaveToFile(Name);
  EXPECT_EQ(std::filesystem::file_size(Temp.File("memory.bin")), 100000u);
  TMemoryStream Back;
  Back.LoadFromFile(Name);
  EXPECT_EQ(Content(Back), Content(M));
  // CopyFrom a file stream.
  TFileStream F(Name, fmOpenRead);
  TMemoryStream Copy;
  EXPECT_EQ(Copy.CopyFrom(&F, 0), 100000);
  EXPECT_EQ(Content(Copy), Content(M));
}

// ---------------------------------------------------------------- resources

TEST(TResourceStream, MissingResourceRaisesResNotFound) {
  EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream R(HInstance(), u"QUORVEL_NO_SUCH", RT_RCDATA); }),
            u"Resource QUORVEL_NO_SUCH not found");
  EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream R(HInstance(), 4321, RT_RCDATA); }),
            u"Resource 4321 not found");
  EXPECT_FALSE(ResourceExists(HInstance(), u"QUORVEL_NO_SUCH", RT_RCDATA));
}

TEST(TResourceId, NamesNumbersAndKeys) {
  EXPECT_TRUE(TResourceId(10).IsId());
  EXPECT_EQ(TResourceId(10).Id(), 10);
  EXPECT_TRUE(TResourceId(u"#12").IsId());
  EXPECT_EQ(TResourceId(u"#12").Id(), 12);
  EXPECT_FALSE(TResourceId(u"#12a").IsId());
  EXPECT_EQ(TResourceId(u"fr").Key(), u"FR");
  EXPECT_EQ(TResourceId("FR").Name(), u"FR");
  EXPECT_EQ(TResourceId(RT_RCDATA).Key(), u"#10");
  EXPECT_EQ(TResourceId(String(u"Paypal_FR")).ToString(), u"Paypal_FR");
  // A pointer value below 65536 is a number, as MAKEINTRESOURCE makes.
  EXPECT_TRUE(TResourceId(reinterpret_cast<const Char*>(static_cast<std::uintptr_t>(6))).IsId());
}

#ifdef _WIN32
TEST(TResourceStream, ReadsAModuleResource) {
  // The test program has no resources of its own: kernel32's version
  // resource stands in (ID 1, RT_VERSION), a VS_VERSIONINFO block.
  NativeUInt Kernel = reinterpret_cast<NativeUInt>(GetModuleHandleW(L"kernel32.dll"));
  ASSERT_NE(Kernel, 0u);
  ASSERT_TRUE(ResourceExists(Kernel, 1, RT_VERSION));
  TResourceStream R(Kernel, 1, RT_VERSION);
  ASSERT_GT(R.Size(), 40);
  Word Length = 0;
  R.ReadBufferData(Length);
  EXPECT_EQ(Length, R.Size());
  R.SetPosition(6);
  Char Key[15] = {};
  R.ReadBuffer(Key, sizeof Key);
  EXPECT_EQ(String(Key, 15), u"VS_VERSION_INFO");
  EXPECT_THROW(R.WriteBuffer("x", 1), EStreamError);
  // The windows.h macro form of the type is taken too.
  TResourceStream R2(Kernel, u"#1", MAKEINTRESOURCEW(16));
  EXPECT_EQ(R2.Size(), R.Size());
}
#else
const char kTable[] = "Main=Folders size of FTP sites\r\nMessages.Erreur=Error\r\n";
const TResourceRegistration kTableRegistration(u"US_TEST", RT_RCDATA, kTable, sizeof kTable - 1);

TEST(TResourceStream, ReadsARegisteredResource) {
  ASSERT_TRUE(ResourceExists(HInstance(), u"us_test", RT_RCDATA));
  TResourceStream R(HInstance(), u"us_test", RT_RCDATA);
  EXPECT_EQ(R.Size(), static_cast<Int64>(sizeof kTable - 1));
  EXPECT_EQ(R.Memory(), static_cast<const void*>(kTable));
  char Buf[4] = {};
  R.ReadBuffer(Buf, 4);
  EXPECT_EQ(std::string(Buf, 4), "Main");
  EXPECT_EQ(MessageOf<EStreamError>([&] { R.WriteBuffer("x", 1); }), u"Can't write to a read-only resource stream");
  // Another type is another resource.
  EXPECT_THROW(TResourceStream(HInstance(), u"US_TEST", RT_BITMAP), EResNotFound);
  // Numbered names and string types.
  static const Byte Icon[] = {1, 2, 3};
  RegisterResource(7, u"PNG", Icon, sizeof Icon);
  TResourceStream ById(0, u"#7", u"png");
  EXPECT_EQ(ById.Size(), 3);
  // Registering again replaces.
  static const Byte Other[] = {9};
  RegisterResource(7, u"PNG", Other, sizeof Other);
  TResourceStream Again(0, 7, u"PNG");
  EXPECT_EQ(Again.Size(), 1);
}
#endif

}  // namespace
