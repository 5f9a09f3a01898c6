#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

#include "JsonTestSupport.h"

namespace {

using R = TVivIzudeJSONReader;

struct Doc {
  std::unique_ptr<TBytesStream> Stream;
  std::unique_ptr<TPeekingReader> Reader;
  explicit Doc(const std::string& Text) : Stream(NewStream(Text)), Reader(new TPeekingReader(Stream.get())) {}
  TPeekingReader* operator->() { return Reader.get(); }
};

// The message of the exception that reading every token of Text raises, or
// "" when the whole document reads.
std::string FailureOf(const std::string& Text) {
  try {
    DumpDocument(Text);
  } catch (const Exception& E) {
    return E.what();
  }
  return "";
}

TEST(VivIzudeJSONReader, EmptyObjectAndArrayThenEof) {
  for (const char* Text : {"{}", "{}\r\n", " { } "}) {
    Doc D(Text);
    D->ReadBeginObject();
    EXPECT_FALSE(D->HasNext());
    D->ReadEndObject();
    EXPECT_EQ(D->Peek(), jstoEOF) << Text;
    EXPECT_TRUE(D->HasNext());
    EXPECT_TRUE(D->Eof());
  }
  Doc A("[ 1 , 2 ]");
  A->ReadBeginArray();
  EXPECT_EQ(A->ReadInteger(), 1);
  EXPECT_TRUE(A->HasNext());
  EXPECT_EQ(A->ReadInteger(), 2);
  EXPECT_FALSE(A->HasNext());
  A->ReadEndArray();
  EXPECT_TRUE(A->Eof());
}

TEST(VivIzudeJSONReader, MalformedDocumentsRaiseTheirMessages) {
  const std::string Value = "Value expected but invalid character found";
  const std::string Root = "Object or array expected as top-level value";
  struct Case {
    std::string Text, Message;
  } Cases[] = {
      {"[1,]", Value},
      {"[,1]", Value},
      {"{\"a\":1,}", "Name expected"},
      {"{1:2}", "Name expected"},
      {"{\"a\" 1}", "Colon expected"},
      {"{\"a\":1 \"b\":2}", "Unterminated object"},
      {"[1 2]", "Unterminated array"},
      {"[1", "End of JSON input reached."},
      {"[tru", "End of JSON input reached."},
      {"\"abc\"", Root},
      {"12", Root},
      {"", Root},
      {" \r\n\t", Root},
      {"{}{}", "Multiple root values not allowed"},
      {"[] x", "Multiple root values not allowed"},
      {"[01]", Value},
      {"[-]", Value},
      {"[1.]", Value},
      {"[.5]", Value},
      {"[1e]", Value},
      {"[+1]", Value},
      {"[1x]", Value},
      {"[trux]", Value},
      {"[truex]", Value},
      {"[" + std::string(255, '1'), Value},
      {"[\"a\\qb\"]", "Invalid code at position 2"},
      {"[\"\\u12G4\"]", "Invalid code at position 1"},
  };
  for (const Case& C : Cases) EXPECT_EQ(FailureOf(C.Text), C.Message) << C.Text;
  // 254 digits and the closing bracket make the longest number.
  EXPECT_EQ(FailureOf("[" + std::string(254, '1') + "]"), "");
}

TEST(VivIzudeJSONReader, KeywordsInAnyCase) {
  Doc D("[TRUE, False, Null, true]");
  D->ReadBeginArray();
  EXPECT_TRUE(D->ReadBoolean());
  EXPECT_FALSE(D->ReadBoolean());
  EXPECT_TRUE(D->IsNull());
  D->ReadNull();
  EXPECT_TRUE(D->ReadBoolean());
  D->ReadEndArray();
}

TEST(VivIzudeJSONReader, NestingStopsAt255OpenScopesWithoutRecursion) {
  EXPECT_EQ(FailureOf(std::string(255, '[') + std::string(255, ']')), "");
  EXPECT_EQ(FailureOf(std::string(256, '[') + std::string(256, ']')), "Maximum level of nested structured reached.");
  // Far deeper documents fail the same way, never by exhausting the stack.
  std::string Deep;
  for (int I = 0; I < 100000; ++I) Deep += "{\"a\":[";
  EXPECT_EQ(FailureOf(Deep), "Maximum level of nested structured reached.");
  Doc S("[" + std::string(100000, '[') + "]");
  S->ReadBeginArray();
  EXPECT_THROW(S->SkipValue(), R::ETooManyDepthLevels);
}

TEST(VivIzudeJSONReader, InputAboveTheSizeLimitFailsBeforeParsing) {
  const std::string Big(100 * 1024 * 1024, ' ');
  std::unique_ptr<TBytesStream> S(NewStream("[" + Big + "]"));
  EXPECT_THROW(TVivIzudeJSONReader R(S.get()), TVivIzudeJSONStreamReader::EInputTooLarge);
}

TEST(VivIzudeJSONReader, NumbersIntoEachType) {
  {
    Doc D("[4294967296, 3.0, 2.5, \"42\", 9223372036854775807, -9223372036854775808, 9223372036854775808]");
    D->ReadBeginArray();
    try {
      D->ReadInteger();
      ADD_FAILURE();
    } catch (const R::EInvalidStateException& E) {
      EXPECT_STREQ(E.what(), "Invalid Json parser state. Expected state: 11");
    }
    EXPECT_EQ(D->ReadString(), u"4294967296");  // still peeked after the failure
    EXPECT_EQ(D->ReadInteger(), 3);
    EXPECT_THROW(D->ReadInteger(), R::EInvalidStateException);
    EXPECT_EQ(D->ReadDouble(), 2.5);
    EXPECT_EQ(D->ReadInt64(), 42);
    EXPECT_TRUE(D->PeekedInt64());
    EXPECT_EQ(D->ReadInt64(), INT64_MAX);
    EXPECT_TRUE(D->PeekedInt64());
    EXPECT_EQ(D->ReadInt64(), INT64_MIN);
    EXPECT_FALSE(D->PeekedInt64());
    EXPECT_THROW(D->ReadInt64(), R::EInvalidStateException);
    EXPECT_EQ(D->ReadDouble(), 9223372036854775808.0);
    D->ReadEndArray();
  }
  {
    // Digits beyond Int64 at and past its boundary become doubles.
    Doc D("[-9223372036854775809, -92233720368547758080, -2233720360368547758000]");
    D->ReadBeginArray();
    for (double V : {-9223372036854775809.0, -92233720368547758080.0, -2233720360368547758000.0}) {
      EXPECT_FALSE(D->PeekedInt64());
      EXPECT_EQ(D->ReadDouble(), V);
    }
    D->ReadEndArray();
  }
  {
    Doc D("[12, true, -0, 1E2, 1e-400, 1e400]");
    D->ReadBeginArray();
    EXPECT_EQ(D->ReadString(), u"12");
    try {
      D->ReadString();
      ADD_FAILURE();
    } catch (const R::EInvalidStateException& E) {
      EXPECT_STREQ(E.what(), "Invalid Json parser state. Expected state: 8");
    }
    D->ReadBoolean();
    EXPECT_TRUE(D->PeekedInt64());
    EXPECT_EQ(D->ReadInt64(), 0);
    EXPECT_FALSE(D->PeekedInt64());
    EXPECT_EQ(D->ReadInt64(), 100);
    EXPECT_EQ(D->ReadDouble(), 0.0);               // too small: zero
    EXPECT_THROW(D->ReadDouble(), EConvertError);  // too large for a double
    EXPECT_EQ(D->ReadString(), u"1e400");
  }
}

TEST(VivIzudeJSONReader, NumbersIgnoreTheLocale) {
  // A locale whose decimal separator is a comma, where one is installed.
  const char* Was = std::setlocale(LC_ALL, nullptr);
  std::string Saved = Was ? Was : "C";
  bool Switched = false;
  for (const char* Name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "de-DE"})
    if (std::setlocale(LC_ALL, Name)) {
      Switched = true;
      break;
    }
  Doc D("[1.5, \"2.25\", 3e-1]");
  D->ReadBeginArray();
  EXPECT_EQ(D->ReadDouble(), 1.5);
  EXPECT_EQ(D->ReadDouble(), 2.25);
  EXPECT_EQ(D->ReadDouble(), 0.3);
  EXPECT_EQ(TVivIzudeJSONWriter::FormatDouble(1.5), "1.5");
  const char* Now = std::setlocale(LC_ALL, nullptr);
  EXPECT_STRNE(Now, nullptr);
  std::setlocale(LC_ALL, Saved.c_str());
  // Where no such locale is installed the same reads ran in the C locale.
  RecordProperty("CommaLocale", Switched ? "yes" : "no");
}

TEST(VivIzudeJSONReader, StringsAreUnescapedWhileScanned) {
  Doc D(R"({"a\"b": "x\"y", "\u0041\\\/\b\f\n\r\t": "\u00e9\ud83d\ude00", "n": "a\u0022b"})");
  D->ReadBeginObject();
  EXPECT_EQ(D->ReadName(), u"a\"b");  // an escaped quote does not end the name
  EXPECT_EQ(D->ReadString(), u"x\"y");
  EXPECT_EQ(D->ReadName(), u"A\\/\b\f\n\r\t");
  EXPECT_EQ(D->ReadString(), u"\u00e9\U0001F600");
  EXPECT_EQ(D->ReadName(), u"n");
  EXPECT_EQ(D->ReadString(), u"a\"b");
  D->ReadEndObject();
  EXPECT_TRUE(D->Eof());
}

TEST(VivIzudeJSONReader, TextIsUtf8) {
  Doc D("[\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"]");
  D->ReadBeginArray();
  EXPECT_EQ(D->ReadString(), u"\u00e9\u20ac\U0001F600");
  // Bytes that are not UTF-8: a lone continuation, an overlong form, an
  // encoded surrogate, a cut sequence, a raw control character.
  for (const char* Bad : {"[\"\x80\"]", "[\"\xC0\xAF\"]", "[\"\xED\xA0\x80\"]", "[\"\xE2\x82\"]", "[\"a\x01\"]"})
    EXPECT_EQ(FailureOf(Bad).rfind("Invalid code at position", 0), 0u) << Bad;
  EXPECT_EQ(FailureOf("[\"abc"), "End of JSON input reached.");
}

TEST(VivIzudeJSONReader, SkipValueSkipsAWholeMember) {
  Doc D(R"({"a": {"b": [1, {"c": "}"}], "d": null}, "e": 5})");
  D->ReadBeginObject();
  EXPECT_EQ(D->ReadName(), u"a");
  D->SkipValue();
  EXPECT_EQ(D->ReadName(), u"e");
  EXPECT_EQ(D->ReadInteger(), 5);
  D->ReadEndObject();
  EXPECT_TRUE(D->Eof());
}

TEST(VivIzudeJSONReader, ReadOfTheWrongKindNamesTheExpectedState) {
  struct Case {
    void (*Read)(TVivIzudeJSONReader&);
    const char* Expected;
  } Cases[] = {
      {[](TVivIzudeJSONReader& X) { X.ReadBeginObject(); }, "1"},
      {[](TVivIzudeJSONReader& X) { X.ReadEndObject(); }, "2"},
      {[](TVivIzudeJSONReader& X) { X.ReadEndArray(); }, "4"},
      {[](TVivIzudeJSONReader& X) { X.ReadName(); }, "10"},
      {[](TVivIzudeJSONReader& X) { X.ReadNull(); }, "7"},
      {[](TVivIzudeJSONReader& X) { X.ReadBoolean(); }, "5"},
      {[](TVivIzudeJSONReader& X) { X.ReadDouble(); }, "12"},
  };
  for (const Case& C : Cases) {
    Doc D("[[]]");
    D->ReadBeginArray();
    try {
      C.Read(*D.Reader);
      ADD_FAILURE() << C.Expected;
    } catch (const R::EInvalidStateException& E) {
      EXPECT_EQ(std::string(E.what()), std::string("Invalid Json parser state. Expected state: ") + C.Expected);
    }
  }
}

}  // namespace
