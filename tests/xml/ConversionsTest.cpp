#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/Streams.h"
#include "xml/KelStringConversions.h"

namespace {

TBytes Bytes(std::initializer_list<int> Values) {
  TBytes B;
  for (int V : Values) B.push_back(static_cast<Byte>(V));
  return B;
}

TBytes Contents(TMemoryStream& S) {
  const Byte* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

// Decodes the whole stream one code point at a time and, separately, in
// chunks of Chunk code points; both must agree.
template <class TSingle, class TChunked>
std::vector<Cardinal> DecodeBoth(const TBytes& Input, TSingle Single, TChunked Chunked, Integer Chunk = 3) {
  TBytesStream A(Input);
  std::vector<Cardinal> One;
  Cardinal Ch;
  while (Single(A, Ch)) One.push_back(Ch);
  EXPECT_EQ(A.Position(), static_cast<Int64>(Input.size()));

  TBytesStream B(Input);
  std::vector<Cardinal> Many;
  TUCS4Array Buffer(static_cast<size_t>(Chunk));
  for (;;) {
    Integer Start = 0;
    const Integer N = Chunked(B, Buffer, Start, Chunk);
    EXPECT_EQ(Start, N);
    Many.insert(Many.end(), Buffer.begin(), Buffer.begin() + N);
    if (N < Chunk) break;
  }
  EXPECT_EQ(One, Many);
  EXPECT_EQ(B.Position(), static_cast<Int64>(Input.size()));
  return One;
}

struct TDecodeCase {
  const char* Name;
  TBytes Input;
  std::vector<Cardinal> Expected;
};

TEST(Utf8Decoding, InvalidSequencesGiveReplacementWithoutSwallowingBytes) {
  const TDecodeCase Cases[] = {
      {"two-byte", Bytes({0xC3, 0xA9}), {0xE9}},
      {"interrupted by ASCII", Bytes({0xC3, 0x41}), {0xFFFD, 0x41}},
      {"interrupted by a lead", Bytes({0xE2, 0x82, 0xC3, 0xA9}), {0xFFFD, 0xE9}},
      {"lone continuation", Bytes({0x80, 0x41}), {0xFFFD, 0x41}},
      {"FE and FF", Bytes({0xFE, 0xFF, 0x42}), {0xFFFD, 0xFFFD, 0x42}},
      {"four-byte", Bytes({0xF0, 0x9F, 0x98, 0x80}), {0x1F600}},
      {"overlong slash", Bytes({0xC0, 0xAF, 0x41}), {0xFFFD, 0x41}},
      {"overlong three-byte", Bytes({0xE0, 0x80, 0xAF}), {0xFFFD}},
      {"overlong four-byte", Bytes({0xF0, 0x8F, 0xBF, 0xBF}), {0xFFFD}},
      {"surrogate", Bytes({0xED, 0xA0, 0x80, 0x41}), {0xFFFD, 0x41}},
      {"above U+10FFFF", Bytes({0xF4, 0x90, 0x80, 0x80}), {0xFFFD}},
      {"five-byte form", Bytes({0xF8, 0x88, 0x80, 0x80, 0x80}), {0xFFFD}},
      {"largest scalar", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), {0x10FFFF}},
      {"cut at the end", Bytes({0x41, 0xE2, 0x82}), {0x41, 0xFFFD}},
      {"empty", Bytes({}), {}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(DecodeBoth(C.Input, Utf8ReadCodePoint, Utf8ReadCodePoints), C.Expected);
  }
}

TEST(Utf16Decoding, PairsAndLoneSurrogates) {
  const TDecodeCase Cases[] = {
      {"pair", Bytes({0x3D, 0xD8, 0x00, 0xDE}), {0x1F600}},
      {"high then letter", Bytes({0x3D, 0xD8, 0x41, 0x00}), {0xFFFD, 0x41}},
      {"lone low", Bytes({0x00, 0xDE, 0x41, 0x00}), {0xFFFD, 0x41}},
      {"high at the end", Bytes({0x41, 0x00, 0x3D, 0xD8}), {0x41, 0xFFFD}},
      {"odd last byte", Bytes({0x41, 0x00, 0x42}), {0x41, 0xFFFD}},
      {"BMP", Bytes({0xAC, 0x20, 0xE9, 0x00}), {0x20AC, 0xE9}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(DecodeBoth(C.Input, Utf16ReadCodePoint, Utf16ReadCodePoints), C.Expected);
  }
}

TEST(Encoding, BytesOfEachEncoding) {
  struct TCase {
    Cardinal Ch;
    TBytes Utf8, Utf16;
  } Cases[] = {
      {0x41, Bytes({0x41}), Bytes({0x41, 0x00})},
      {0xE9, Bytes({0xC3, 0xA9}), Bytes({0xE9, 0x00})},
      {0x20AC, Bytes({0xE2, 0x82, 0xAC}), Bytes({0xAC, 0x20})},
      {0x1F600, Bytes({0xF0, 0x9F, 0x98, 0x80}), Bytes({0x3D, 0xD8, 0x00, 0xDE})},
      {0x110000, Bytes({0xEF, 0xBF, 0xBD}), Bytes({0xFD, 0xFF})},
      {0x80000000, Bytes({0xEF, 0xBF, 0xBD}), Bytes({0xFD, 0xFF})},
      // A lone surrogate is never written as ill-formed UTF-8.
      {0xD800, Bytes({0xEF, 0xBF, 0xBD}), Bytes({0x00, 0xD8})},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Ch);
    TMemoryStream A, B;
    EXPECT_TRUE(Utf8WriteCodePoint(A, C.Ch));
    EXPECT_TRUE(Utf16WriteCodePoint(B, C.Ch));
    EXPECT_EQ(Contents(A), C.Utf8);
    EXPECT_EQ(Contents(B), C.Utf16);
  }
}

// Takes only the first Limit bytes written to it.
class TLimitedStream : public TMemoryStream {
public:
  explicit TLimitedStream(Int64 ALimit) : Limit(ALimit) {}
  using TMemoryStream::Write;
  Integer Write(const void* Buffer, Integer Count) override {
    const Int64 Room = std::max<Int64>(Limit - Position(), 0);
    return TMemoryStream::Write(Buffer, static_cast<Integer>(std::min<Int64>(Count, Room)));
  }
  Int64 Limit;
};

TEST(Encoding, ShortWriteCountsOnlyWholeCodePoints) {
  TLimitedStream S(4);
  const TUCS4Array Text = {0x41, 0xE9, 0x20AC, 0x42};  // 1 + 2 + 3 + 1 bytes
  Integer Start = 0;
  EXPECT_EQ(Utf8WriteCodePoints(S, Text, Start, 4), 2);
  EXPECT_EQ(Start, 2);
  TLimitedStream T(1);
  EXPECT_FALSE(Utf16WriteCodePoint(T, 0x41));
}

TEST(TextFunctions, NextCodePointAndPositions) {
  const String Text = {u'A', 0xD83D, 0xDE00, 0xDC00, 0xD83D};
  struct TCase {
    Integer Index;
    Cardinal Expected;
    Integer Next;
  } Cases[] = {
      {1, 0x41, 2},   {2, 0x1F600, 4}, {3, 0xFFFD, 4}, {4, 0xFFFD, 5}, {5, 0xFFFD, 6},  // high surrogate as last unit
      {0, 0xFFFD, 0}, {6, 0xFFFD, 6},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Index);
    Integer Index = C.Index;
    EXPECT_EQ(TextNextCodePoint(Text, Index), C.Expected);
    EXPECT_EQ(Index, C.Next);
  }
  TUCS4Array Buffer(10, 0);
  Integer Index = 1, Start = 2;
  EXPECT_EQ(TextNextCodePoints(Text, Index, Buffer, 3, Start), 3);
  EXPECT_EQ(Index, 5);
  EXPECT_EQ(Start, 5);
  EXPECT_EQ(Buffer[2], 0x41u);
  EXPECT_EQ(Buffer[3], 0x1F600u);
  EXPECT_EQ(Buffer[4], 0xFFFDu);
}

TEST(TextFunctions, SetCodePointNeedsRoom) {
  String Text = u"abc";
  Integer Index = 3;
  EXPECT_FALSE(TextSetCodePoint(Text, Index, 0x1F600));
  EXPECT_EQ(Text, u"abc");
  EXPECT_EQ(Index, 3);
  Index = 2;
  EXPECT_TRUE(TextSetCodePoint(Text, Index, 0x1F600));
  EXPECT_EQ(Index, 4);
  EXPECT_EQ(Text, (String{u'a', 0xD83D, 0xDE00}));
  Index = 1;
  EXPECT_TRUE(TextSetCodePoint(Text, Index, 0x110000));
  EXPECT_EQ(Text[0], 0xFFFD);
  Index = 4;
  EXPECT_FALSE(TextSetCodePoint(Text, Index, 0x41));
}

TEST(TextFunctions, CodePointsToTextAndCharacters) {
  EXPECT_EQ(CodePointsToText({0x41, 0x1F600, 0x110000}), (String{0x0041, 0xD83D, 0xDE00, 0xFFFD}));
  EXPECT_EQ(CodePointsToText({}), u"");
  EXPECT_EQ(CodePointToChar(0x1F600), Char(0xFFFD));
  EXPECT_EQ(CodePointToChar(0xE9), Char(0xE9));
  EXPECT_EQ(CharToCodePoint(0xD800), 0xD800u);
}

// The system ANSI code page of the tests is 1252 (pinned under Wine).
TEST(AnsiConversions, CodePagesAndDefaultCharacter) {
  ASSERT_EQ(SystemAnsiCodePage(), 1252);
  EXPECT_EQ(AnsiDefaultChar(), '?');
  struct TCase {
    Word CodePage;
    Cardinal Ch;
    std::string Bytes;
  } Encode[] = {
      {1252, 0x20AC, "\x80"},
      {1252, 0xE9, "\xE9"},
      {1252, 0x0101, "?"},  // no best fit to 'a'
      {1252, 0x1F600, "?"},
      {28591, 0xE9, "\xE9"},
      {28591, 0x20AC, "?"},
      {20127, 0x41, "A"},
      {20127, 0xE9, "?"},
      {65001, 0xE9, "\xC3\xA9"},
      {1200, 0x41, std::string("A\0", 2)},
  };
  for (const auto& C : Encode) {
    SCOPED_TRACE(testing::Message() << C.CodePage << " U+" << std::hex << C.Ch);
    TMemoryStream S;
    EXPECT_TRUE(CodePageWriteCodePoint(S, C.CodePage, C.Ch));
    const TBytes Got = Contents(S);
    EXPECT_EQ(std::string(Got.begin(), Got.end()), C.Bytes);
  }
  EXPECT_EQ(CodePointToAnsiChar(0x20AC), '\x80');
  EXPECT_EQ(CodePointToAnsiChar(0x3042), '?');
  EXPECT_EQ(AnsiCharToCodePoint('\x80'), 0x20ACu);
  EXPECT_EQ(AnsiCharToCodePoint('\xE9'), 0xE9u);
  EXPECT_EQ(CodePageToUnicode("\x80\xE9", 28591), (String{0x80, 0xE9}));
  EXPECT_EQ(CodePageToUnicode("\x80\xE9", 0), (String{0x20AC, 0xE9}));
  EXPECT_EQ(CodePageToUnicode("a\xC3", 65001), (String{u'a', 0xFFFD}));
  EXPECT_EQ(UnicodeToCodePage(u"\u20AC\u3042", 1252), "\x80?");
}

TEST(AnsiConversions, ChunkedReadingMatchesSingleReading) {
  TBytes Input;
  for (int I = 0; I < 700; ++I) Input.push_back(static_cast<Byte>((I * 37) & 0xFF));
  for (Word CodePage : {Word(0), Word(1252), Word(28591)}) {
    SCOPED_TRACE(CodePage);
    auto Single = [CodePage](TStream& S, Cardinal& Ch) {
      return CodePage == 0 ? AnsiReadCodePoint(S, Ch) : CodePageReadCodePoint(S, CodePage, Ch);
    };
    auto Chunked = [CodePage](TStream& S, TUCS4Array& B, Integer& Start, Integer Count) {
      return CodePage == 0 ? AnsiReadCodePoints(S, B, Start, Count)
                           : CodePageReadCodePoints(S, CodePage, B, Start, Count);
    };
    const auto Got = DecodeBoth(Input, Single, Chunked, 64);
    ASSERT_EQ(Got.size(), Input.size());
    EXPECT_EQ(Got[0], 0u);
    EXPECT_EQ(Got[1], 37u);
  }
  // US-ASCII is read as 7 bits, as Windows does.
  TBytesStream S(Bytes({0x41, 0xE9, 0x42}));
  TUCS4Array Buffer(8);
  Integer Start = 0;
  EXPECT_EQ(CodePageReadCodePoints(S, 20127, Buffer, Start, 8), 3);
  EXPECT_EQ(Buffer[1], 0x69u);
  EXPECT_EQ(Buffer[2], 0x42u);
}

TEST(AnsiConversions, AnsiTextFunctions) {
  AnsiString Text = "abc";
  Integer Index = 2;
  EXPECT_TRUE(AnsiTextSetCodePoint(Text, Index, 0x20AC));
  EXPECT_EQ(Text,
            "a\x80"
            "c");
  EXPECT_EQ(Index, 3);
  Index = 4;
  EXPECT_FALSE(AnsiTextSetCodePoint(Text, Index, 0x41));
  Index = 2;
  EXPECT_EQ(AnsiTextNextCodePoint(Text, Index), 0x20ACu);
  EXPECT_EQ(Index, 3);
  Index = 0;
  EXPECT_EQ(AnsiTextNextCodePoint(Text, Index), 0xFFFDu);
  EXPECT_EQ(Index, 0);
}

TEST(ConversionErrors, Vocabulary) {
  EKelUnexpectedEOSequenceError E;
  EXPECT_EQ(E.Message(), u"Unexpected end of sequence");
  const EKelError& Base = E;
  EXPECT_NE(dynamic_cast<const EKelStringConversionError*>(&Base), nullptr);
}

}  // namespace
