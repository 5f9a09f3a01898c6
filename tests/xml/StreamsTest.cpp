#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rtl/Streams.h"
#include "xml/KelStreams.h"

namespace {

TBytes Bytes(const std::string& S) { return TBytes(S.begin(), S.end()); }

std::string Contents(TMemoryStream& S) {
  const char* P = static_cast<const char*>(S.Memory());
  return std::string(P, P + S.Size());
}

std::vector<Cardinal> ReadAll(TKelStringStream& S) {
  std::vector<Cardinal> Out;
  Cardinal Ch;
  while (S.ReadUCS4(Ch)) Out.push_back(Ch);
  return Out;
}

// Counts reads, to see whether a fill decoded bytes again.
class TCountingStream : public TBytesStream {
public:
  using TBytesStream::TBytesStream;
  using TBytesStream::Read;
  Integer Read(void* Buffer, Integer Count) override {
    ++Reads;
    return TBytesStream::Read(Buffer, Count);
  }
  int Reads = 0;
};

TEST(AutoStream, DetectsTheByteOrderMark) {
  const struct {
    const char* Name;
    std::string Input;
    TKelStringEncoding Encoding;
    Word CodePage;
    std::vector<Cardinal> Text;
  } Cases[] = {
      {"empty", "", seAnsi, 0, {}},
      {"UTF-16 mark only", "\xFF\xFE", seUTF16, 1200, {}},
      {"UTF-8 mark cut", "\xEF\xBB", seAnsi, 0, {0xEF, 0xBB}},
      {"UTF-8", "\xEF\xBB\xBF<\xC3\xA9", seUTF8, 65001, {'<', 0xE9}},
      {"UTF-16", std::string("\xFF\xFE<\0\xAC\x20", 6), seUTF16, 1200, {'<', 0x20AC}},
      {"UTF-8 without mark is ANSI", "<\xC3\xA9", seAnsi, 0, {'<', 0xC3, 0xA9}},
      {"big endian is not recognised", std::string("\xFE\xFF\0<", 4), seAnsi, 0, {0xFE, 0xFF, 0, '<'}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBytesStream Bytes_(Bytes(C.Input));
    TKelAutoStream S(&Bytes_, false);
    EXPECT_EQ(S.Encoding(), C.Encoding);
    EXPECT_EQ(S.CodePage(), C.CodePage);
    EXPECT_EQ(S.SkipBOM(), 0);
    Cardinal Ch;
    if (C.Text.empty()) {
      EXPECT_FALSE(S.PeekUCS4(Ch));
    }
    EXPECT_EQ(ReadAll(S), C.Text);
    EXPECT_EQ(S.Position(), static_cast<Int64>(C.Text.size()));
  }
}

TEST(AutoStream, DeclarationSwitchesTheCodePage) {
  // What the parser does: buffer size 1 through the prolog, then the code
  // page of the "encoding" attribute applies to the bytes not yet decoded.
  const struct {
    const char* Name;
    std::string Input;
    Word CodePage;
    TKelStringEncoding Encoding;
    std::vector<Cardinal> Rest;
  } Cases[] = {
      {"utf-8 declared", "<?\xC3\xA9", 65001, seUTF8, {0xE9}},
      {"windows-1252 declared", "<?\x80\xE9", 1252, seAuto, {0x20AC, 0xE9}},
      {"latin-1 declared", "<?\x80\xE9", 28591, seAuto, {0x80, 0xE9}},
      {"none declared", "<?\x80", 0, seAnsi, {0x20AC}},
      {"utf-16 declared", std::string("<?A\0", 4), 1200, seUTF16, {'A'}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBytesStream Bytes_(Bytes(C.Input));
    TKelAutoStream S(&Bytes_, false);
    S.SkipBOM();
    S.SetBufferSize(1);
    Cardinal Ch;
    ASSERT_TRUE(S.ReadUCS4(Ch));
    EXPECT_EQ(Ch, Cardinal('<'));
    ASSERT_TRUE(S.PeekUCS4(Ch));
    EXPECT_EQ(Ch, Cardinal('?'));
    S.SetCodePage(C.CodePage);
    EXPECT_EQ(S.Encoding(), C.Encoding);
    ASSERT_TRUE(S.ReadUCS4(Ch));
    EXPECT_EQ(Ch, Cardinal('?'));
    S.SetBufferSize(4096);
    EXPECT_EQ(ReadAll(S), C.Rest);
  }
}

TEST(TextStreams, SkipBomOnlyWhenPresent) {
  TBytesStream Plain(Bytes("abc"));
  TKelUTF8Stream A(&Plain, false);
  EXPECT_EQ(A.SkipBOM(), 0);
  EXPECT_EQ(Plain.Position(), 0);
  EXPECT_EQ(ReadAll(A), (std::vector<Cardinal>{'a', 'b', 'c'}));

  TBytesStream Marked(
      Bytes(std::string("\xFF\xFE"
                        "a\0",
                        4)));
  TKelUTF16Stream B(&Marked, false);
  EXPECT_EQ(B.SkipBOM(), 2);
  EXPECT_EQ(ReadAll(B), (std::vector<Cardinal>{'a'}));

  TBytesStream Ansi(Bytes("\xEF\xBB\xBF"));
  TKelAnsiStream C(&Ansi, false);
  EXPECT_EQ(C.SkipBOM(), 0);
  EXPECT_EQ(ReadAll(C).size(), 3u);
}

TEST(TextStreams, PeekWalksAheadAndReadComesBack) {
  TBytesStream Bytes_(Bytes("abcd"));
  TKelUTF8Stream S(&Bytes_, false);
  Cardinal Ch;
  ASSERT_TRUE(S.ReadUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('a'));
  ASSERT_TRUE(S.PeekUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('b'));
  ASSERT_TRUE(S.PeekUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('c'));
  EXPECT_EQ(S.PeekPosition(), 3);
  ASSERT_TRUE(S.ReadUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('b'));
  EXPECT_EQ(S.Position(), 2);
  EXPECT_EQ(S.PeekPosition(), 2);
}

// The line and column follow the peek cursor, and come back with a read.
TEST(TextStreams, PeekLineAndColumnFollowTheCursor) {
  TBytesStream Bytes_(Bytes("a\nbc\n"));
  TKelUTF8Stream S(&Bytes_, false);
  Cardinal Ch;
  EXPECT_EQ(S.PeekLine(), 1);
  EXPECT_EQ(S.PeekColumn(), 0);
  ASSERT_TRUE(S.ReadUCS4(Ch));
  ASSERT_TRUE(S.PeekUCS4(Ch));  // the line feed ends line 1
  EXPECT_EQ(S.PeekLine(), 1);
  EXPECT_EQ(S.PeekColumn(), 2);
  ASSERT_TRUE(S.PeekUCS4(Ch));
  ASSERT_TRUE(S.PeekUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('c'));
  EXPECT_EQ(S.PeekLine(), 2);
  EXPECT_EQ(S.PeekColumn(), 2);
  ASSERT_TRUE(S.ReadUCS4(Ch));  // back to the read cursor: the line feed
  EXPECT_EQ(S.PeekLine(), 1);
  EXPECT_EQ(S.PeekColumn(), 2);
  EXPECT_EQ(ReadAll(S).size(), 3u);
  EXPECT_EQ(S.PeekLine(), 2);
  EXPECT_EQ(S.PeekColumn(), 3);
  S.Seek(0, soBeginning);
  EXPECT_EQ(S.PeekLine(), 1);
  EXPECT_EQ(S.PeekColumn(), 0);
}

TEST(TextStreams, PeekAcrossTheBufferIsTakenOverByTheNextFill) {
  std::string Text(4096, 'x');
  Text += "yz";
  TCountingStream Bytes_(Bytes(Text));
  TKelUTF8Stream S(&Bytes_, false);
  Cardinal Ch;
  for (int I = 0; I < 4096; ++I) ASSERT_TRUE(S.ReadUCS4(Ch));
  ASSERT_TRUE(S.PeekUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('y'));
  ASSERT_TRUE(S.PeekUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('z'));
  EXPECT_FALSE(S.PeekUCS4(Ch));
  const int ReadsBefore = Bytes_.Reads;
  ASSERT_TRUE(S.ReadUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('y'));
  ASSERT_TRUE(S.ReadUCS4(Ch));
  EXPECT_EQ(Ch, Cardinal('z'));
  EXPECT_EQ(Bytes_.Reads, ReadsBefore);
  EXPECT_FALSE(S.ReadUCS4(Ch));
  EXPECT_EQ(S.Position(), 4098);
}

TEST(TextStreams, WritingFlushesFullBuffersAndOnFlush) {
  TMemoryStream Bytes_;
  {
    TKelUTF8Stream S(&Bytes_, false);
    EXPECT_EQ(S.WriteBOM(), 3);
    for (int I = 0; I < 4096; ++I) S.WriteUCS4(0xE9);
    EXPECT_EQ(Bytes_.Size(), 3);
    S.WriteUCS4('!');
    EXPECT_EQ(Bytes_.Size(), 3 + 2 * 4096);
    S.Flush();
    EXPECT_EQ(Bytes_.Size(), 3 + 2 * 4096 + 1);
    S.WriteUCS4('?');
  }  // destruction flushes the rest
  const std::string Out = Contents(Bytes_);
  ASSERT_EQ(Out.size(), 3u + 2 * 4096 + 2);
  EXPECT_EQ(Out.substr(0, 5), "\xEF\xBB\xBF\xC3\xA9");
  EXPECT_EQ(Out.substr(Out.size() - 2), "!?");
}

TEST(TextStreams, WriteStringInEachEncoding) {
  const String Text = {u'a', 0xE9, 0xD83D, 0xDE00, 0xD800, u'z'};  // a lone surrogate too
  const struct {
    const char* Name;
    std::function<std::unique_ptr<TKelStringStream>(TStream*)> Make;
    std::string Expected;
  } Cases[] = {
      {"UTF-8", [](TStream* B) { return std::make_unique<TKelUTF8Stream>(B, false); },
       "\xEF\xBB\xBF"
       "a\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDz"},
      {"UTF-16", [](TStream* B) { return std::make_unique<TKelUTF16Stream>(B, false); },
       std::string("\xFF\xFE"
                   "a\0\xE9\0\x3D\xD8\x00\xDE\xFD\xFFz\0",
                   14)},
      {"ANSI", [](TStream* B) { return std::make_unique<TKelAnsiStream>(B, false); }, "a\xE9??z"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TMemoryStream Bytes_;
    auto S = C.Make(&Bytes_);
    S->WriteBOM();
    EXPECT_EQ(S->WriteString(Text, 1, static_cast<Integer>(Text.size())), 6);
    S->Flush();
    EXPECT_EQ(Contents(Bytes_), C.Expected);
  }
}

TEST(TextStreams, ReadStringKeepsAUnitOfMargin) {
  TBytesStream Bytes_(
      Bytes("\xF0\x9F\x98\x80"
            "ab"));
  TKelUTF8Stream S(&Bytes_, false);
  String Buffer(2, u'-');
  EXPECT_EQ(S.ReadString(Buffer, 1, 2), 2);
  EXPECT_EQ(Buffer, (String{0xD83D, 0xDE00}));
  EXPECT_EQ(S.ReadString(Buffer, 1, 2), 1);
  EXPECT_EQ(Buffer[0], u'a');
  EXPECT_EQ(S.ReadString(1), u"");
  EXPECT_EQ(S.ReadString(16), u"b");
  EXPECT_EQ(S.Position(), 3);
}

TEST(TextStreams, SeekOnlyToTheBeginningOrNowhere) {
  TBytesStream Bytes_(Bytes("abc"));
  TKelAnsiStream S(&Bytes_, false);
  Cardinal Ch;
  S.ReadUCS4(Ch);
  S.ReadUCS4(Ch);
  EXPECT_EQ(S.Seek(0, soCurrent), 2);
  EXPECT_THROW(S.Seek(5, soBeginning), EKelStreamError);
  try {
    S.Seek(0, soEnd);
    ADD_FAILURE();
  } catch (const EKelError& E) {
    EXPECT_EQ(E.Message(), u"Error seeking stream");
  }
  EXPECT_EQ(S.Seek(0, soBeginning), 0);
  EXPECT_EQ(ReadAll(S), (std::vector<Cardinal>{'a', 'b', 'c'}));
}

TEST(TextStreams, AnsiStreamWithCodePageAndInvalidUtf8) {
  TBytesStream Latin(Bytes("\x80\xE9"));
  TKelAnsiStream A(&Latin, false);
  A.SetCodePage(28591);
  EXPECT_EQ(ReadAll(A), (std::vector<Cardinal>{0x80, 0xE9}));

  // Decoding resumes at the byte that interrupted a sequence, across fills.
  TBytesStream Broken(
      Bytes("\xC3"
            "A\xE2\x82\xAC"));
  TKelUTF8Stream U(&Broken, false);
  U.SetBufferSize(1);
  EXPECT_EQ(ReadAll(U), (std::vector<Cardinal>{0xFFFD, 'A', 0x20AC}));
}

TEST(TextStreams, OwnedStreamIsFreed) {
  auto* Bytes_ = new TMemoryStream;
  {
    TKelUTF8Stream S(Bytes_, true);
    S.WriteUCS4('a');
  }
  SUCCEED();  // the sanitizer build reports a leak or a double free
}

// --- Byte streams -------------------------------------------------------------

TEST(EasyStream, TypedValuesRoundTrip) {
  TMemoryStream Mem;
  TKelEasyStream S(&Mem, false);
  S.WriteBoolean(true);
  S.WriteInteger(-5);
  S.WriteInt64(1LL << 40);
  S.WriteDouble(2.5);
  S.WriteExtended(-1234.5);
  S.WriteSizedString(u"abc");
  S.WriteCAnsiString("xy");
  S.WriteShortString("short");
  S.WriteCWideString(u"\u20AC");
  EXPECT_EQ(Mem.Size(), 1 + 4 + 8 + 8 + 10 + (4 + 6) + 3 + 6 + 4);
  S.SetPosition(0);
  EXPECT_TRUE(S.ReadBoolean());
  EXPECT_EQ(S.ReadInteger(), -5);
  EXPECT_EQ(S.ReadInt64(), 1LL << 40);
  EXPECT_EQ(S.ReadDouble(), 2.5);
  EXPECT_EQ(S.ReadExtended(), -1234.5);
  EXPECT_EQ(S.ReadSizedString(), u"abc");
  EXPECT_EQ(S.ReadCAnsiString(), "xy");
  EXPECT_EQ(S.ReadShortString(), u"short");
  EXPECT_EQ(S.ReadCWideString(), u"\u20AC");
  EXPECT_THROW(S.ReadByte(), EReadError);
}

TEST(EasyStream, ExtendedHasTheX87Layout) {
  TMemoryStream Mem;
  TKelEasyStream S(&Mem, false);
  S.WriteExtended(1.0);
  EXPECT_EQ(Contents(Mem), std::string("\0\0\0\0\0\0\0\x80\xFF\x3F", 10));
}

TEST(EasyStream, CStringStopsAtTheZero) {
  TBytesStream Mem(Bytes(std::string("AB\0C", 4)));
  TKelEasyStream S(&Mem, false);
  EXPECT_EQ(S.ReadCAnsiString(), "AB");
  EXPECT_EQ(Mem.Position(), 3);
  EXPECT_THROW(S.ReadCAnsiString(), EReadError);
}

TEST(EasyStream, IsEqualRestoresPositions) {
  const std::string Block(4096, 'q');
  TBytesStream A(Bytes(Block)), B(Bytes(Block)), Longer(Bytes(Block + "!"));
  TKelEasyStream S(&A, false);
  A.SetPosition(10);
  B.SetPosition(20);
  EXPECT_TRUE(S.IsEqual(B));
  EXPECT_EQ(A.Position(), 10);
  EXPECT_EQ(B.Position(), 20);
  EXPECT_FALSE(S.IsEqual(Longer));
}

TEST(ByteStreams, CopyStreamDataReadsUntilAShortRead) {
  TCountingStream Source(Bytes(std::string(8192, 'z')));
  TMemoryStream Dest;
  EXPECT_EQ(CopyStreamData(Source, Dest, 4096), 8192);
  EXPECT_EQ(Source.Reads, 3);
  EXPECT_EQ(Dest.Size(), 8192);
}

TEST(ByteStreams, DecoratorStreamChange) {
  auto* First = new TMemoryStream;
  TKelStreamDecorator D(First, true);
  std::vector<std::string> Events;
  D.BeforeStreamChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &D);
    Events.push_back("before");
  };
  D.AfterStreamChange = [&](TObject*) { Events.push_back("after"); };
  auto* Second = new TMemoryStream;
  D.SetStream(Second);  // frees First (the sanitizer build checks)
  D.SetStream(Second);
  EXPECT_EQ(Events, (std::vector<std::string>{"before", "after"}));
  EXPECT_EQ(D.Stream(), Second);

  TKelStreamDecorator Empty(nullptr, false);
  char Buffer[4];
  EXPECT_EQ(Empty.Read(Buffer, 4), 0);
  EXPECT_EQ(Empty.Write(Buffer, 4), 0);
  EXPECT_EQ(Empty.Seek32(0, 0), -1);
  EXPECT_EQ(Empty.Seek32(0, 7), -1);
}

}  // namespace
