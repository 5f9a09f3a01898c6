#include "rtl/NetEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "rtl/Unicode.h"

namespace {

String Ascii(const std::string& s) { return String(s.begin(), s.end()); }

TBytes Bytes(const std::string& s) { return TBytes(s.begin(), s.end()); }

struct Vector {
  const char* plain;
  const char* encoded;
};

// RFC 4648 section 10, plus the texts the socket helpers encode.
const Vector kVectors[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
    {"abc", "YWJj"},
    {"ab", "YWI="},
};

TEST(Base64, EncodesTheRfc4648Vectors) {
  for (const auto& v : kVectors) {
    EXPECT_EQ(TNetEncoding::Base64().Encode(Ascii(v.plain)), Ascii(v.encoded)) << v.plain;
    EXPECT_EQ(TNetEncoding::Base64().EncodeBytesToString(Bytes(v.plain)), Ascii(v.encoded)) << v.plain;
    EXPECT_EQ(TNetEncoding::Base64().Encode(Bytes(v.plain)), Bytes(v.encoded)) << v.plain;
  }
}

TEST(Base64, DecodesTheRfc4648Vectors) {
  for (const auto& v : kVectors) {
    EXPECT_EQ(TNetEncoding::Base64().Decode(Ascii(v.encoded)), Ascii(v.plain)) << v.encoded;
    EXPECT_EQ(TNetEncoding::Base64().DecodeStringToBytes(Ascii(v.encoded)), Bytes(v.plain)) << v.encoded;
    EXPECT_EQ(TNetEncoding::Base64().Decode(Bytes(v.encoded)), Bytes(v.plain)) << v.encoded;
  }
}

TEST(Base64, TextIsEncodedAsUtf8) {
  // FileZilla writes passwords as the Base64 of their UTF-8 bytes.
  EXPECT_EQ(TNetEncoding::Base64().Encode(u"\u00E9"), u"w6k=");
  EXPECT_EQ(TNetEncoding::Base64().Decode(u"w6k="), u"\u00E9");
  const String password = u"p\u00E4ss \u20AC \U0001F600";
  const String encoded = TNetEncoding::Base64().Encode(password);
  EXPECT_EQ(encoded, Ascii("cMOkc3Mg4oKsIPCfmIA="));
  EXPECT_EQ(TNetEncoding::Base64().Decode(encoded), password);
}

TEST(Base64, DecodedBytesThatAreNotUtf8BecomeReplacementCharacters) {
  EXPECT_EQ(TNetEncoding::Base64().Decode(u"/w=="), u"\uFFFD");  // the byte FF
  EXPECT_EQ(TNetEncoding::Base64().DecodeStringToBytes(u"/w=="), (TBytes{0xFF}));
}

TEST(Base64, AllByteValuesRoundTrip) {
  TBytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<Byte>(i));
  for (const TBase64Encoding* e : {&TNetEncoding::Base64(), &TNetEncoding::Base64String()}) {
    for (std::size_t n = 0; n <= all.size(); n += 37) {
      const TBytes part(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_EQ(e->DecodeStringToBytes(e->EncodeBytesToString(part)), part) << n;
    }
  }
}

TEST(Base64, DefaultBreaksLinesAfter76CharactersWithCrLf) {
  const TBase64Encoding& b64 = TNetEncoding::Base64();
  EXPECT_EQ(b64.CharsPerLine(), 76);
  EXPECT_EQ(b64.LineSeparator(), u"\r\n");
  // 57 bytes make exactly one full line: no separator at the end.
  const String one = b64.EncodeBytesToString(TBytes(57, 0));
  EXPECT_EQ(one, String(76, u'A'));
  // 58 bytes: a full line, CR LF, then the last group.
  EXPECT_EQ(b64.EncodeBytesToString(TBytes(58, 0)), String(76, u'A') + u"\r\n" + u"AA==");
  // 114 bytes: two full lines, one separator between them.
  EXPECT_EQ(b64.EncodeBytesToString(TBytes(114, 0)), String(76, u'A') + u"\r\n" + String(76, u'A'));
  // Every line but the last holds 76 characters.
  const String text = b64.EncodeBytesToString(TBytes(1000, 0xAB));
  std::size_t start = 0;
  std::size_t lines = 0;
  for (;;) {
    const std::size_t end = text.find(u"\r\n", start);
    ++lines;
    if (end == String::npos) {
      EXPECT_LE(text.size() - start, 76u);
      break;
    }
    EXPECT_EQ(end - start, 76u);
    start = end + 2;
  }
  EXPECT_EQ(lines, (1336u + 75u) / 76u);  // 1000 bytes -> 1336 characters
  EXPECT_EQ(b64.DecodeStringToBytes(text), TBytes(1000, 0xAB));
}

TEST(Base64, EncodingWithoutLineBreaks) {
  const TBase64Encoding noBreaks(0, u"\r\n");
  const String text = noBreaks.EncodeBytesToString(TBytes(1000, 7));
  EXPECT_EQ(text.size(), 1336u);
  EXPECT_EQ(text.find(u'\r'), String::npos);
  EXPECT_EQ(TNetEncoding::Base64String().EncodeBytesToString(TBytes(1000, 7)), text);
  EXPECT_EQ(TBase64Encoding(-1).EncodeBytesToString(TBytes(100, 7)).find(u'\n'), String::npos);
}

TEST(Base64, CustomLineLengthAndSeparator) {
  const TBase64Encoding e(8, u"\n");
  EXPECT_EQ(e.Encode(u"foobarfoobar"), u"Zm9vYmFy\nZm9vYmFy");
  EXPECT_EQ(e.Encode(u"foobarfooba"), u"Zm9vYmFy\nZm9vYmE=");
  // A length that is not a multiple of 4 breaks inside a group.
  const TBase64Encoding odd(5, u"|");
  EXPECT_EQ(odd.Encode(u"foobar"), u"Zm9vY|mFy");
  EXPECT_EQ(odd.Decode(u"Zm9vY|mFy"), u"foobar");
}

TEST(Base64, DecodingSkipsLineBreaksBlanksAndInvalidCharacters) {
  const TBase64Encoding& b64 = TNetEncoding::Base64();
  EXPECT_EQ(b64.Decode(u"Zm9v\r\nYmFy"), u"foobar");
  EXPECT_EQ(b64.Decode(u" Zm 9v\tYm\nFy "), u"foobar");
  EXPECT_EQ(b64.Decode(u"Zm9v!!Ym*Fy"), u"foobar");
  EXPECT_EQ(b64.Decode(u"Zm9v\u00E9Ym\u20ACFy"), u"foobar");  // non-ASCII is skipped
  EXPECT_EQ(b64.Decode(u"Zm9vYmFy\r\n"), u"foobar");
}

TEST(Base64, DecodingToleratesMissingOrExtraPadding) {
  const TBase64Encoding& b64 = TNetEncoding::Base64();
  EXPECT_EQ(b64.Decode(u"Zm9vYg"), u"foob");
  EXPECT_EQ(b64.Decode(u"Zm9vYmE"), u"fooba");
  EXPECT_EQ(b64.Decode(u"Zg"), u"f");
  EXPECT_EQ(b64.Decode(u"Zg===="), u"f");
  EXPECT_EQ(b64.Decode(u"YQ==YQ=="), u"aa");  // joined padded pieces
}

TEST(Base64, DecodingGarbageNeverFails) {
  const TBase64Encoding& b64 = TNetEncoding::Base64();
  EXPECT_EQ(b64.Decode(u""), u"");
  EXPECT_EQ(b64.Decode(u"===="), u"");
  EXPECT_EQ(b64.Decode(u"@@@@!!"), u"");
  EXPECT_EQ(b64.Decode(u"Z"), u"");  // 6 bits make no byte
  EXPECT_EQ(b64.DecodeStringToBytes(u"Z"), TBytes{});
  String noise;
  for (Char c = 0; c < 0x400; ++c) noise.push_back(c);
  noise.push_back(u'\xD800');  // lone surrogate
  noise.push_back(u'\xFFFF');
  EXPECT_NO_THROW(b64.Decode(noise));
  TBytes raw;
  for (int i = 0; i < 256; ++i) raw.push_back(static_cast<Byte>(255 - i));
  EXPECT_NO_THROW(b64.Decode(raw));
}

TEST(Base64, EncodeBytesToStringOverloads) {
  const TBase64Encoding& b64 = TNetEncoding::Base64();
  const RawByteString raw(
      "\x00\xFF"
      "a",
      3);
  EXPECT_EQ(b64.EncodeBytesToString(raw), u"AP9h");
  EXPECT_EQ(b64.EncodeBytesToString(raw.data(), raw.size()), u"AP9h");
  EXPECT_EQ(b64.EncodeBytesToString(nullptr, 0), u"");
  // The HTTP tunnel's Basic credentials: user:password.
  EXPECT_EQ(b64.EncodeBytesToString(RawByteString("user:pass")), u"dXNlcjpwYXNz");
}

TEST(Base64, SharedInstancesAreUsableFromManyThreads) {
  EXPECT_EQ(&TNetEncoding::Base64(), &TNetEncoding::Base64());
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 200; ++i) {
        const TBytes data(static_cast<std::size_t>(i), static_cast<Byte>(t * 31 + i));
        if (TNetEncoding::Base64().DecodeStringToBytes(TNetEncoding::Base64().EncodeBytesToString(data)) != data) {
          ++failures[static_cast<std::size_t>(t)];
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures, (std::vector<int>{0, 0, 0, 0}));
}

}  // namespace
