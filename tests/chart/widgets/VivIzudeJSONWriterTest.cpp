#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "JsonTestSupport.h"

namespace {

using W = TVivIzudeJSONWriter;

// The text a writer delivers to an empty stream once Write has run and the
// writer is gone.
std::string Written(const std::function<void(W&)>& Write, Integer Indent = 0) {
  TBytesStream S;
  {
    W Writer(&S);
    Writer.SetIndentLength(Indent);
    Write(Writer);
  }
  return StreamText(S);
}

std::string FailureOf(const std::function<void(W&)>& Write) {
  TBytesStream S;
  try {
    W Writer(&S);
    Write(Writer);
  } catch (const Exception& E) {
    return E.what();
  }
  return "";
}

TEST(VivIzudeJSONWriter, CompactAndIndentedLayouts) {
  EXPECT_EQ(Written([](W& X) {
              X.WriteBeginObject().WriteName(u"a").WriteInteger(1).WriteName(u"b").WriteBoolean(true).WriteEndObject();
            }),
            "{\"a\":1,\"b\":true}");
  EXPECT_EQ(Written(
                [](W& X) {
                  X.WriteBeginObject()
                      .WriteName(u"a")
                      .WriteBeginArray()
                      .WriteInteger(1)
                      .WriteInteger(2)
                      .WriteEndArray()
                      .WriteEndObject();
                },
                2),
            "{\r\n  \"a\": [\r\n    1,\r\n    2\r\n  ]\r\n}");
  EXPECT_EQ(
      Written([](W& X) { X.WriteBeginArray().WriteBeginObject().WriteEndObject().WriteNull().WriteEndArray(); }, 2),
      "[\r\n  {},\r\n  null\r\n]");
  EXPECT_EQ(
      Written([](W& X) { X.WriteBeginArray().WriteInteger(INT64_MIN).WriteRawString(u"a\\u00e9").WriteEndArray(); }),
      "[-9223372036854775808,\"a\\u00e9\"]");
}

TEST(VivIzudeJSONWriter, RefusedSequencesRaiseTheirMessages) {
  const std::string Nesting = "Invalid nesting. Not all arrays/objects were properly closed.";
  struct Case {
    std::function<void(W&)> Write;
    std::string Message;
  } Cases[] = {
      {[](W& X) { X.WriteString(u"a"); }, "Object or array expected as top-level value"},
      {[](W& X) { X.WriteBeginObject().WriteName(u"a").WriteEndObject(); }, "Json value missing"},
      {[](W& X) { X.WriteBeginObject().WriteName(u"a").WriteName(u"b"); }, "Json value missing"},
      {[](W& X) { X.WriteBeginArray().WriteName(u"a").WriteInteger(1); }, "Cannot write name in current Json scope"},
      {[](W& X) { X.WriteBeginObject().WriteInteger(1); }, Nesting},
      {[](W& X) { X.WriteBeginObject().WriteEndArray(); }, Nesting},
      {[](W& X) { X.WriteBeginObject().WriteEndObject().WriteBeginObject(); }, "Multiple root values not allowed"},
      {[](W& X) { X.Close(); }, Nesting},
      {[](W& X) { X.WriteBeginArray().Close(); }, Nesting},
      {[](W& X) { X.WriteBeginObject().WriteName(u""); }, "Cannot write empty name"},
      {[](W& X) {
         for (int I = 0; I < 100000; ++I) X.WriteBeginArray();
       },
       "Maximum level of nested structured reached."},
      {[](W& X) { X.WriteBeginArray().WriteEndArray().Close(); }, ""},
  };
  for (const Case& C : Cases) EXPECT_EQ(FailureOf(C.Write), C.Message) << C.Message;
}

TEST(VivIzudeJSONWriter, AnUnfinishedDocumentNeverReachesTheStream) {
  TBytesStream S;
  S.WriteBuffer("old", 3);
  try {
    W Writer(&S);
    Writer.WriteBeginObject().WriteName(u"a").WriteBeginArray().WriteInteger(1);
    Writer.WriteName(u"b").WriteInteger(2);  // a name inside an array
    ADD_FAILURE();
  } catch (const W::ECannotWriteName&) {
  }
  EXPECT_EQ(StreamText(S), "old");
  {
    W Writer(&S);
    Writer.WriteBeginArray();
  }
  EXPECT_EQ(StreamText(S), "old");
  {
    W Writer(&S);
    Writer.WriteBeginArray().WriteEndArray();
    Writer.Close();
    EXPECT_EQ(StreamText(S), "old[]");  // Close delivers at once, and once
  }
  EXPECT_EQ(StreamText(S), "old[]");
}

TEST(VivIzudeJSONWriter, StringsAreEscapedToSevenBits) {
  EXPECT_EQ(W::EscapeString(u"a\"\u00e9\\\b\f\n\r\t/\x01\U0001F600"),
            "a\\u0022\\u00E9\\u005C\\u0008\\u000C\\u000A\\u000D\\u0009/\\u0001\\uD83D\\uDE00");
  EXPECT_EQ(Written([](W& X) { X.WriteBeginObject().WriteName(u"q\"").WriteString(u"\u00e9").WriteEndObject(); }),
            "{\"q\\u0022\":\"\\u00E9\"}");
}

TEST(VivIzudeJSONWriter, DoublesInTheGeneralFormWithFifteenDigits) {
  struct Case {
    double Value;
    const char* Text;
  } Cases[] = {{0.1, "0.1"},
               {1.5, "1.5"},
               {-2.25, "-2.25"},
               {100, "100"},
               {1e14, "100000000000000"},
               {1e15, "1E15"},
               {1e20, "1E20"},
               {0.0001, "0.0001"},
               {0.00001, "0.00001"},
               {0.000001, "1E-6"},
               {1.5e-7, "1.5E-7"},
               {1.0 / 3, "0.333333333333333"},
               {123456789012345678.0, "1.23456789012346E17"},
               {0.0, "0"},
               {1.7976931348623157e308, "1.7976931348623157E308"},
               {-1.7976931348623157e308, "-1.7976931348623157E308"},
               {2.0 / 3, "0.666666666666667"}};
  for (const Case& C : Cases) EXPECT_EQ(W::FormatDouble(C.Value), C.Text) << C.Text;
}

TEST(VivIzudeJSONWriter, WhatItWritesTheReaderReadsBack) {
  const char* Docs[] = {
      R"({"name": "a\"b\\c\u00e9\ud83d\ude00", "n": [1, -2, 3.25, 1e300, -9223372036854775808, true, false, null],
          "o": {"x": {}, "y": []}, "ctl": "\u0001\t"})",
      "[[[[\"deep\"]]], 0.1, 12345678901234567890]",
  };
  for (const char* Doc : Docs) {
    for (Integer Indent : {0, 3}) {
      std::unique_ptr<TBytesStream> In(NewStream(Doc));
      TBytesStream Out;
      std::string Expected;
      {
        TPeekingReader R(In.get());
        W Writer(&Out);
        Writer.SetIndentLength(Indent);
        Expected = CopyDocument(R, Writer);
        Writer.Close();
      }
      EXPECT_EQ(DumpDocument(StreamText(Out)), Expected) << StreamText(Out);
    }
  }
}

}  // namespace
