#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "KelSimpleXmlTestUtil.h"
#include "xml/KelCharsets.h"
#include "xml/KelStringConversions.h"

namespace {

struct ErrorCase {
  const char* Xml;
  const char* Message;
};

// Positions are 1-based code points; at the end of the text, the count read.
const ErrorCase ErrorCases[] = {
    {"  x<a/>", "Invalid Document: Unexpected text in file prolog at position 3"},
    {"<a b=c/>",
     "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' but \"c\"  found at "
     "position 6"},
    {"<a></b>", "Invalid XML Element: Erroneous end of tag, expecting </a> but </b> found at position 7"},
    {"<a><b></a>", "Invalid XML Element: Erroneous end of tag, expecting </b> but </a> found at position 10"},
    {"<a>< b/></a>", "Invalid XML Element: malformed tag found (no valid name) at position 5"},
    {"<a:b:c/>", "Invalid XML Element: malformed tag found (no valid name) at position 5"},
    {"<a x></a>", "Invalid XML Element: Unexpected character in property declaration (\">\" found at position 5)"},
    {"<a b='1' c>", "Invalid XML Element: Unexpected character in property declaration (\">\" found at position 11)"},
    {"<a/ >", "Invalid XML Element: Expected end of tag but \" \" found at position 4"},
    {"<a></a b>", "Invalid XML Element: Expected end of tag but \"b\" found at position 8"},
    {"<!-- a -- b --><a/>", "Invalid Comment: \"--\" not allowed inside comments at position 10"},
    // Truncated documents: never accepted as whole.
    {"<a>text", "Invalid XML Element: Expected end of tag but \"t\" found at position 4"},
    {"<a><b/>", "Invalid XML Element: Unexpected end of data at position 7"},
    {"<a", "Invalid XML Element: Unexpected end of data at position 2"},
    {"<a b=\"1", "Invalid XML Element: Unexpected end of data at position 7"},
    {"<a></a", "Invalid XML Element: Unexpected end of data at position 6"},
    {"<a/", "Invalid XML Element: Unexpected end of data at position 3"},
    {"<!-- abc", "Invalid Comment: Unexpected end of data at position 8"},
    {"<a><![CDATA[x", "Invalid CDATA: Unexpected end of data at position 13"},
    {"<!DOCTYPE a", "Invalid Comment: Unexpected end of data at position 11"},
    {"<?pi x='1'", "Invalid Comment: Unexpected end of data at position 10"},
    // The declaration, read before its encoding is known, is ASCII and comes once.
    {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><?xml version=\"1.0\"?><a/>",
     "Invalid Document: Unexpected text in file prolog at position 44"},
    {"<?xml versi\xC3\xA8n=\"1.0\"?><a/>", "Invalid Document: Unexpected text in file prolog at position 21"},
    {"<?xml version=\"1.\xC3\xA9\"?><a/>", "Invalid Document: Unexpected text in file prolog at position 21"},
    {"<>x</>", "Invalid XML Element: malformed tag found (no valid name) at position 2"},
    {"<a><p:/></a>", "Invalid XML Element: malformed tag found (no valid name) at position 7"},
    {"<a p::q=\"1\"/>",
     "Invalid XML Element: Unexpected character in property declaration (\":\" found at position 6)"},
    {"<a p:=\"1\"/>", "Invalid XML Element: Unexpected character in property declaration (\"=\" found at position 6)"},
};

TEST(KelSimpleXmlParser, ErrorsCarryFixedMessageAndPosition) {
  for (const ErrorCase& C : ErrorCases) {
    TKelSimpleXML Doc;
    EXPECT_EQ(XmlErrorOf([&] { Doc.LoadFromString(UTF8ToUTF16(C.Xml)); }), C.Message) << C.Xml;
  }
}

// The place is also in fields: on one line, the column is the offset the
// message names.
TEST(KelSimpleXmlParser, ErrorsCarryThePositionOfTheirMessageAsFields) {
  for (const ErrorCase& C : ErrorCases) {
    const std::string Message = C.Message;
    const size_t Digits = Message.find_last_of("0123456789");
    const size_t Start = Message.find_last_not_of("0123456789", Digits) + 1;
    const Int64 Offset = std::stoll(Message.substr(Start, Digits + 1 - Start));
    TKelSimpleXML Doc;
    EXPECT_EQ(XmlErrorPlaceOf([&] { Doc.LoadFromString(UTF8ToUTF16(C.Xml)); }), (TXmlErrorPlace{Offset, 1, Offset}))
        << C.Xml;
  }
}

TEST(KelSimpleXmlParser, ErrorLineAndColumnCountLineFeeds) {
  struct TCase {
    const char* Xml;
    TXmlErrorPlace Place;
  };
  const TCase Cases[] = {
      // </a> closes <b>: the > ending it is code point 14, column 4 of line 3.
      {"<a>\n  <b>\n</a>", {14, 3, 4}},
      // CR LF ends a line once; the CR is the last column of its line.
      {"<a>\r\n</a b>", {10, 2, 5}},
      // A line feed belongs to the line it ends.
      {"<a/\n>", {4, 1, 4}},
      // Columns count code points: the emoji is one.
      {"<x>\n\xF0\x9F\x98\x80</y>", {9, 2, 5}},
      // The end of the text is placed after the last code point read.
      {"<a>\n\n<b", {7, 3, 2}},
  };
  for (const TCase& C : Cases) {
    TKelSimpleXML Doc;
    EXPECT_EQ(XmlErrorPlaceOf([&] { Doc.LoadFromString(UTF8ToUTF16(C.Xml)); }), C.Place) << C.Xml;
  }
  // An error that is no fault of a text has no place.
  TKelSimpleXML Doc;
  EXPECT_EQ(XmlErrorPlaceOf([&] { Doc.Root()->Items()->GetNamedElems(u"a")->SetName(u"b"); }),
            (TXmlErrorPlace{0, 0, 0}));
}

TEST(KelSimpleXmlParser, PositionCountsCodePointsNotUnits) {
  TKelSimpleXML Doc;
  // The emoji is one code point (two UTF-16 units).
  EXPECT_EQ(XmlErrorOf([&] { Doc.LoadFromString(UTF8ToUTF16("<a>\xF0\x9F\x98\x80</b>")); }),
            "Invalid XML Element: Erroneous end of tag, expecting </a> but </b> found at position 8");
}

TEST(KelSimpleXmlParser, MisspeltOpenersOfStandaloneNodes) {
  TKelSimpleXMLElemComment Comment;
  EXPECT_EQ(XmlErrorOf([&] { Comment.LoadFromString(u"<!-x"); }),
            "Invalid Comment: expected \"-\" but found \"x\" at position 4");
  TKelSimpleXMLElemCData CData;
  EXPECT_EQ(XmlErrorOf([&] { CData.LoadFromString(u"<![CDATX"); }),
            "Invalid CDATA: expected \"A\" but found \"X\" at position 8");
  TKelSimpleXMLElemDocType DocType;
  EXPECT_EQ(XmlErrorOf([&] { DocType.LoadFromString(u"<!DOCTYPO"); }),
            "Invalid Header: expected \"E\" but found \"O\" at position 9");
}

TEST(KelSimpleXmlParser, UnknownCharsetRaisesCharsetError) {
  TKelSimpleXML Doc;
  EXPECT_THROW(LoadBytes(Doc, "<?xml version=\"1.0\" encoding=\"bogus-42\"?><a/>"), EKelCharsetError);
}

TEST(KelSimpleXmlParser, DeepNestingIsRefusedNotOverflowed) {
  std::string Xml;
  for (int I = 0; I < 100000; ++I) Xml += "<a>";
  TKelSimpleXML Doc;
  // The 257th start tag begins at code point 3 * 256 + 1.
  EXPECT_EQ(XmlErrorOf([&] { LoadBytes(Doc, Xml); }),
            "Invalid XML Element: elements nested too deeply at position 769");
  // The limit itself is accepted.
  std::string Ok;
  for (int I = 0; I < KelSimpleXMLMaxDepth; ++I) Ok += "<a>";
  for (int I = 0; I < KelSimpleXMLMaxDepth; ++I) Ok += "</a>";
  LoadBytes(Doc, Ok);
  EXPECT_EQ(Doc.Root()->ChildsCount(), KelSimpleXMLMaxDepth);
}

TEST(KelSimpleXmlParser, EmptyOrPrologOnlyTextLoadsNothing) {
  TKelSimpleXML Doc;
  Doc.Root()->SetName(u"Before");
  Doc.LoadFromString(u"");
  EXPECT_EQ(Doc.Root()->Name(), u"Before");
  Doc.LoadFromString(u"<?xml version=\"1.0\"?>\r\n  ");
  EXPECT_EQ(Doc.Root()->Name(), u"Before");
  EXPECT_EQ(Doc.Prolog()->Count(), 1);
}

struct ValueCase {
  const char* Xml;
  const char* Value;
};

TEST(KelSimpleXmlParser, EntitiesAndCharacterReferences) {
  const ValueCase Cases[] = {
      {"<a>&amp;lt;</a>", "&lt;"},  // decoded once
      {"<a>&#65;&#x41;&#X41;&AMP;</a>", "AAA&"},
      {"<a>&#x1F600;|&#128512;</a>", "\xF0\x9F\x98\x80|\xF0\x9F\x98\x80"},  // surrogate pairs
      {"<a>&#xD83D;&#xDE00;</a>", "\xF0\x9F\x98\x80"},                      // a pair written as two
      {"<a>&#x110000;&copy;&#;&#x;&#65</a>", "&#x110000;&copy;&#;&#x;&#65"},
      {"<a>&lt;&#;</a>", "<&#;"},
      {"<a>&#xE9;t&#xE9;</a>", "\xC3\xA9t\xC3\xA9"},
  };
  for (const ValueCase& C : Cases) {
    TKelSimpleXML Doc;
    Doc.LoadFromString(UTF8ToUTF16(C.Xml));
    EXPECT_EQ(UTF16ToUTF8(Doc.Root()->Value()), C.Value) << C.Xml;
  }
}

TEST(KelSimpleXmlParser, AttributesKeepLineBreaksAndPrefixes) {
  TKelSimpleXML Doc;
  Doc.LoadFromString(u"<x:r a='1\r\n2' p:b=\"say &quot;hi&quot; &amp; go\"></X:R>");
  EXPECT_EQ(Doc.Root()->Name(), u"r");
  EXPECT_EQ(Doc.Root()->NameSpace(), u"x");  // with a prefix the end tag folds case
  ASSERT_EQ(Doc.Root()->PropertyCount(), 2);
  EXPECT_EQ(Doc.Root()->Properties()->Value(u"a"), u"1\r\n2");
  EXPECT_EQ(Doc.Root()->Properties()->GetItem(1)->NameSpace(), u"p");
  EXPECT_EQ(Doc.Root()->Properties()->Value(u"b"), u"say \"hi\" & go");
}

TEST(KelSimpleXmlParser, WhitespaceAndTextNodes) {
  TKelSimpleXML Doc;
  Doc.LoadFromString(u"<r>\r\n  <a>  </a>\r\n  <b>x<c/>y</b>\r\n</r  >trailing garbage <");
  TKelSimpleXMLElem* R = Doc.Root();
  ASSERT_EQ(R->ItemCount(), 2);  // whitespace between elements is dropped
  EXPECT_EQ(R->Items()->GetItem(0)->Value(), u"");
  EXPECT_EQ(R->Items()->GetItem(0)->ItemCount(), 0);
  TKelSimpleXMLElem* B = R->Items()->GetItem(1);
  ASSERT_EQ(B->ItemCount(), 3);  // text mixed with elements stays as text nodes
  EXPECT_NE(dynamic_cast<TKelSimpleXMLElemText*>(B->Items()->GetItem(0)), nullptr);
  EXPECT_EQ(B->Items()->GetItem(2)->Value(), u"y");

  TKelSimpleXML Keep;
  Keep.SetOptions(sxoDefaultOptions + sxoKeepWhitespace);
  Keep.LoadFromString(u"<r>\n<a>  </a></r>");
  ASSERT_EQ(Keep.Root()->ItemCount(), 2);
  EXPECT_EQ(Keep.Root()->Items()->GetItem(1)->Value(), u"  ");
}

TEST(KelSimpleXmlParser, PrologNodes) {
  TKelSimpleXML Doc;
  Doc.LoadFromString(
      u"<?xml version=\"1.0\"?><!-- c --><?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>"
      u"<!DOCTYPE r [<!ENTITY e \"v\">]><?pi a='1'?><r><![CDATA[a]]]></r>");
  ASSERT_EQ(Doc.Prolog()->Count(), 5);
  EXPECT_NE(dynamic_cast<TKelSimpleXMLElemHeader*>(Doc.Prolog()->GetItem(0)), nullptr);
  EXPECT_EQ(Doc.Prolog()->GetItem(1)->Value(), u" c ");
  auto* Sheet = dynamic_cast<TKelSimpleXMLElemSheet*>(Doc.Prolog()->GetItem(2));
  ASSERT_NE(Sheet, nullptr);
  EXPECT_EQ(Sheet->Properties()->Value(u"href"), u"s.xsl");
  EXPECT_EQ(Doc.Prolog()->GetItem(3)->Value(), u"r [<!ENTITY e \"v\">]");
  EXPECT_EQ(Doc.Prolog()->GetItem(4)->Name(), u"pi");
  ASSERT_EQ(Doc.Root()->ItemCount(), 1);
  EXPECT_EQ(Doc.Root()->Items()->GetItem(0)->Value(), u"a]");
}

// Byte-order mark and declaration combinations, read from bytes.
struct EncodingCase {
  const char* Name;
  std::string Bytes;
  const char* Value;  // UTF-8 of the root's value
  Word CodePage;
};

std::string Utf16Le(const std::string& Utf8) {
  std::string R = "\xFF\xFE";
  for (Char C : UTF8ToUTF16(Utf8)) {
    R.push_back(static_cast<char>(C & 0xFF));
    R.push_back(static_cast<char>(C >> 8));
  }
  return R;
}

TEST(KelSimpleXmlParser, ByteOrderMarkAndDeclaration) {
  const EncodingCase Cases[] = {
      {"bom+utf8 decl", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>", "\xC3\xA9", 65001},
      {"utf8 decl only", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>", "\xC3\xA9", 65001},
      {"bom, decl without encoding", "\xEF\xBB\xBF<?xml version=\"1.0\"?><a>\xC3\xA9</a>", "\xC3\xA9", 65001},
      {"utf16 bom, decl without encoding", Utf16Le("<?xml version=\"1.0\"?><a>\xC3\xA9\xE2\x82\xAC</a>"),
       "\xC3\xA9\xE2\x82\xAC", 1200},
      {"bom beats a contradicting declaration",
       "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC3\xA9</a>", "\xC3\xA9", 65001},
      {"latin-1 decl", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", "\xC3\xA9", 28591},
      {"tab after <?xml: not a declaration", "<?xml\tencoding=\"UTF-8\"?><a>\xC3\xA9</a>", "\xC3\x83\xC2\xA9", 0},
  };
  for (const EncodingCase& C : Cases) {
    TKelSimpleXML Doc;
    LoadBytes(Doc, C.Bytes);
    EXPECT_EQ(UTF16ToUTF8(Doc.Root()->Value()), C.Value) << C.Name;
    EXPECT_EQ(Doc.CodePage(), C.CodePage) << C.Name;
  }
}

TEST(KelSimpleXmlParser, HeaderEncodingReturnsStoredAttribute) {
  TKelSimpleXML Doc;
  LoadBytes(Doc, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>");
  EXPECT_EQ(Doc.Prolog()->Encoding(), u"ISO-8859-1");
  // A document loaded in an explicit code page that has no charset name:
  // the stored attribute is still answered, without raising.
  TKelSimpleXML Odd;
  LoadBytes(Odd, "<?xml version=\"1.0\" encoding=\"utf-8\"?><a/>", seUTF8, 4242);
  EXPECT_EQ(Odd.Prolog()->Encoding(), u"utf-8");
}

TEST(KelSimpleXmlParser, EventsFireWithTheDocument) {
  TKelSimpleXML Doc;
  std::u16string Log;
  Doc.OnTagParsed = [&](TObject* Sender, const String& Name) {
    EXPECT_EQ(Sender, &Doc);
    Log += u"T:" + Name + u";";
  };
  Doc.OnValueParsed = [&](TObject*, const String& Name, const String& Value) {
    Log += u"V:" + Name + u"=" + Value + u";";
  };
  Doc.LoadFromString(u"<r><a>1</a><!--c--></r>");
  EXPECT_EQ(Log, u"V:=1;T:a;V:a=1;V:=c;T:r;V:r=;");
}

TEST(KelSimpleXmlParser, HostileInputsNeverCrash) {
  // A huge attribute value.
  std::string Big = "<a v=\"" + std::string(4 << 20, 'x') + "\"/>";
  TKelSimpleXML Doc;
  LoadBytes(Doc, Big);
  EXPECT_EQ(Doc.Root()->Properties()->Value(u"v").size(), size_t(4 << 20));
  // Binary bytes: either parsed or refused with the library's own errors.
  unsigned Seed = 12345;
  for (int Round = 0; Round < 200; ++Round) {
    std::string Bytes = Round % 2 ? "<a>" : "";
    for (int I = 0; I < 512; ++I) {
      Seed = Seed * 1103515245u + 12345u;
      Bytes.push_back(static_cast<char>(Seed >> 16));
    }
    TKelSimpleXML Junk;
    try {
      LoadBytes(Junk, Bytes);
    } catch (const EKelError&) {
    }
  }
}

// Errors met by a node parsed on its own or inside an element.
TEST(KelSimpleXmlParser, NodeErrorsCarryMessageAndPosition) {
  struct TCase {
    const char* Name;
    std::function<void()> Load;
    const char* Message;
  };
  TKelSimpleXMLElemClassic Element;
  TKelSimpleXMLElemProcessingInstruction Instruction;
  TKelSimpleXML Doc;
  const TCase Cases[] = {
      {"element without <", [&] { Element.LoadFromString(u"  x<a/>"); },
       "Invalid XML Element: Expected beginning of tag but \"x\" found at position 3"},
      {"instruction without <", [&] { Instruction.LoadFromString(u"x"); },
       "Invalid XML Element: Expected beginning of tag but \"x\" found at position 1"},
      {"instruction without ?", [&] { Instruction.LoadFromString(u"<x?>"); },
       "Invalid XML Element: malformed tag found (no valid name) at position 2"},
      {"bad character in the target", [&] { Instruction.LoadFromString(u"<?pi=1?>"); },
       "Invalid XML Element: malformed tag found (no valid name) at position 5"},
      {"no > after ?", [&] { Doc.LoadFromString(u"<?pi ?x><a/>"); },
       "Invalid XML Element: Expected end of tag but \"x\" found at position 7"},
      {"instruction inside an element", [&] { Doc.LoadFromString(u"<a><?pi a='1' ?x></a>"); },
       "Invalid XML Element: Expected end of tag but \"x\" found at position 16"},
      {"DOCTYPE inside an element", [&] { Doc.LoadFromString(u"<a><!DOCTYPE b></a>"); },
       "Invalid XML Element: malformed tag found (no valid name) at position 5"},
      {"> missing after an empty-element /", [&] { Doc.LoadFromString(u"<a/x>"); },
       "Invalid XML Element: Expected end of tag but \"x\" found at position 4"},
      {"text ends inside a prolog comment", [&] { Doc.LoadFromString(u"<?xml version='1.0'?><!-- a"); },
       "Invalid Comment: Unexpected end of data at position 27"},
      {"text ends after the prolog's <", [&] { Doc.LoadFromString(u"<?xml version='1.0'?>\r\n<"); },
       "Invalid XML Element: Unexpected end of data at position 24"},
      {"text ends in an end tag's blanks", [&] { Doc.LoadFromString(u"<a></a  "); },
       "Invalid XML Element: Unexpected end of data at position 8"},
      {"text ends inside a nested element", [&] { Doc.LoadFromString(u"<a><b x='1'>"); },
       "Invalid XML Element: Unexpected end of data at position 12"},
      {"a code point above U+FFFF shows as U+FFFD", [&] { Doc.LoadFromString(u"<a>\U0001F600"); },
       "Invalid XML Element: Expected end of tag but \"\xEF\xBF\xBD\" found at position 4"},
  };
  for (const TCase& C : Cases) EXPECT_EQ(XmlErrorOf(C.Load), C.Message) << C.Name;
}

// A text stream of a class the declaration does not know how to switch.
class TPlainUtf8Stream : public TKelStringStream {
public:
  using TKelStringStream::TKelStringStream;
  ~TPlainUtf8Stream() override { FlushOnDestroy(); }

protected:
  bool ReadCodePoint(TStream& S, Cardinal& Ch) override { return Utf8ReadCodePoint(S, Ch); }
  bool WriteCodePoint(TStream& S, Cardinal Ch) override { return Utf8WriteCodePoint(S, Ch); }
};

TEST(KelSimpleXmlParser, DeclarationOnAnUnknownTextStreamClassRaises) {
  for (const char* Xml : {"<?xml version=\"1.0\"?><a>\xC3\xA9</a>", "<a>\xC3\xA9</a>"}) {
    TMemoryStream Bytes;
    Bytes.Write(Xml, static_cast<Integer>(std::char_traits<char>::length(Xml)));
    Bytes.SetPosition(0);
    TPlainUtf8Stream Text(&Bytes, false);
    TKelSimpleXML Doc;
    if (Xml[1] == '?') {
      EXPECT_EQ(XmlErrorOf([&] { Doc.LoadFromStringStream(&Text); }), "No matching charset");
    } else {
      Doc.LoadFromStringStream(&Text);
      EXPECT_EQ(Doc.Root()->Value(), u"\u00E9");
    }
  }
}

// The mark found by a text stream wins over a declaration without
// "encoding" also when the caller made the stream itself.
TEST(KelSimpleXmlParser, MarkOfACallersAutoStreamWinsOverDeclaration) {
  const struct {
    std::string Bytes;
    Word CodePage;
    const char16_t* Value;
  } Cases[] = {
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?><a>\xC3\xA9</a>", 65001, u"\u00E9"},
      {Utf16Le("<?xml version=\"1.0\"?><a>\xE2\x82\xAC</a>"), 1200, u"\u20AC"},
      {"<?xml version=\"1.0\"?><a>\xE9</a>", 0, u"\u00E9"},  // no mark: the system code page
  };
  for (const auto& C : Cases) {
    TMemoryStream Bytes;
    Bytes.Write(C.Bytes.data(), static_cast<Integer>(C.Bytes.size()));
    Bytes.SetPosition(0);
    TKelAutoStream Text(&Bytes, false);
    Text.SkipBOM();
    TKelSimpleXML Doc;
    Doc.LoadFromStringStream(&Text);
    EXPECT_EQ(Text.CodePage(), C.CodePage);
    EXPECT_EQ(Doc.Root()->Value(), C.Value);
  }
}

}  // namespace
