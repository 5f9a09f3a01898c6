#include <gtest/gtest.h>

#include "KelSimpleXmlTestUtil.h"
#include "rtl/FormatSettings.h"

namespace {

struct EscapeCase {
  const char16_t* Text;
  const char16_t* CharRefs;
  const char16_t* Entities;
};

TEST(KelSimpleXmlEscaping, EncodeTables) {
  const EscapeCase Cases[] = {
      {u"\tA\n", u"\tA\n", u"\tA\n"},
      {u"\x01", u"&#x01;", u"\x01"},
      {u"\u20AC", u"&#x20AC;", u"\u20AC"},
      {u"\u00E9", u"&#xE9;", u"\u00E9"},
      {u"\"&'<>", u"&quot;&amp;&apos;&lt;&gt;", u"&quot;&amp;&apos;&lt;&gt;"},
      {u"\U0001F600", u"&#xD83D;&#xDE00;", u"\U0001F600"},
      {u"", u"", u""},
  };
  for (const EscapeCase& C : Cases) {
    EXPECT_EQ(EncodeXmlCharRefs(C.Text), C.CharRefs);
    EXPECT_EQ(EncodeXmlEntities(C.Text), C.Entities);
  }
}

TEST(KelSimpleXmlEscaping, DecodeEntitiesLeavesCharRefs) {
  EXPECT_EQ(DecodeXmlEntities(u"&#65;&Lt;&amp"), u"&#65;<&amp");
  EXPECT_EQ(DecodeXmlCharRefs(u"&#65;&#x41;&#X41;&AMP;&#;&#x;&#65&copy;"), u"AAA&&#;&#x;&#65&copy;");
}

TEST(KelSimpleXmlEscaping, DecodingTheEncodingGivesTheTextBack) {
  const String Texts[] = {u"plain", u"a&b<c>\"d'", u"\x01\x1F\u00FF\u0100\uFFFF", u"\U0001F600 caf\u00E9 & th\u00E9",
                          u"&#65; &amp;"};
  for (const String& T : Texts) {
    EXPECT_EQ(DecodeXmlCharRefs(EncodeXmlCharRefs(T)), T);
    EXPECT_EQ(DecodeXmlEntities(EncodeXmlEntities(T)), T);
  }
}

TEST(KelSimpleXmlModel, LookupByNameAndAutoCreate) {
  TKelSimpleXML Doc;
  TKelSimpleXMLElems* Items = Doc.Root()->Items();
  EXPECT_EQ(Items->GetItemNamed(u"Missing"), nullptr);
  EXPECT_EQ(Items->Value(u"Port", u"21"), u"21");
  EXPECT_EQ(Items->Count(), 0);
  Doc.SetOptions(sxoDefaultOptions + sxoAutoCreate);
  EXPECT_EQ(Items->Value(u"Port", u"21"), u"21");
  ASSERT_EQ(Items->Count(), 1);
  EXPECT_EQ(Items->GetItem(0)->Value(), u"21");
  TKelSimpleXMLElem* Created = Items->GetItemNamed(u"Missing");
  ASSERT_NE(Created, nullptr);
  EXPECT_EQ(Items->Count(), 2);
  EXPECT_EQ(Created->Parent(), Doc.Root());
  EXPECT_EQ(Created->SimpleXML(), &Doc);
  EXPECT_EQ(Items->GetItem(Items->Count()), nullptr);
}

TEST(KelSimpleXmlModel, NameIndexFoldsAsciiOnly) {
  for (bool CaseSensitive : {false, true}) {
    TKelSimpleXML Doc;
    if (CaseSensitive) Doc.SetOptions(sxoDefaultOptions + sxoCaseSensitive);
    TKelSimpleXMLElems* Items = Doc.Root()->Items();
    Items->Add(u"Server");
    Items->Add(u"server");
    Items->Add(u"\u00C9");
    EXPECT_EQ(Items->IndexOf(u"SERVER"), CaseSensitive ? -1 : 0);
    EXPECT_EQ(Items->IndexOf(u"server"), CaseSensitive ? 1 : 0);
    EXPECT_EQ(Items->IndexOf(u"\u00E9"), -1);
    // The index follows appends, renames, deletions and sorting.
    Items->Add(u"Zeta");
    EXPECT_EQ(Items->IndexOf(u"Zeta"), 3);
    Items->GetItem(0)->SetName(u"Alpha");
    EXPECT_EQ(Items->IndexOf(u"Alpha"), 0);
    Items->Delete(0);
    EXPECT_EQ(Items->IndexOf(u"Zeta"), 2);
    Items->Sort();
    EXPECT_EQ(Items->GetItem(0)->Name(), u"server");
    EXPECT_EQ(Items->IndexOf(u"Zeta"), 1);
  }
}

TEST(KelSimpleXmlModel, TypedValues) {
  TKelSimpleXML Doc;
  TKelSimpleXMLElems* Items = Doc.Root()->Items();
  Items->Add(u"Port", u"abc");
  Items->Add(u"Big", Int64(-9000000000));
  Items->Add(u"Flag", true);
  Items->Add(u"Word", u"TRUE");
  EXPECT_EQ(Items->IntValue(u"Port", 21), -1);  // present but not a number
  EXPECT_EQ(Items->IntValue(u"Big", 0), -9000000000LL);
  EXPECT_EQ(Items->GetItemNamed(u"Flag")->Value(), u"-1");
  EXPECT_TRUE(Items->BoolValue(u"Flag", false));
  EXPECT_TRUE(Items->BoolValue(u"Word", false));
  EXPECT_FALSE(Items->BoolValue(u"Nope", false));
  TKelSimpleXMLProps* Props = Doc.Root()->Properties();
  Props->Add(u"Alloue", 5);
  EXPECT_EQ(Props->IntValue(u"alloue", 1), 5);
  EXPECT_EQ(Props->Value(u"Unit", u"0"), u"0");
  TKelSimpleXMLElem* F = Items->Add(u"F");
  F->SetFloatValue(2.5L);
  EXPECT_DOUBLE_EQ(static_cast<double>(F->FloatValue()), 2.5);
}

TEST(KelSimpleXmlModel, RenamesIndentationAndReadOnlyViews) {
  TKelSimpleXML Doc;
  Doc.Root()->SetName(u"R");
  Doc.Root()->SetName(u"");
  EXPECT_EQ(Doc.Root()->Name(), u"R");
  Doc.SetIndentString(u"");
  Doc.SetIndentString(u" x");
  EXPECT_EQ(Doc.IndentString(), u"  ");
  Doc.SetIndentString(u"\t");
  EXPECT_EQ(Doc.IndentString(), u"\t");
  TKelSimpleXMLNamedElems* View = Doc.Root()->Items()->GetNamedElems(u"S");
  EXPECT_THROW(View->SetName(u"T"), EKelSimpleXMLError);
  Doc.Root()->Items()->Add(u"S");
  TKelSimpleXMLElem* T = Doc.Root()->Items()->Add(u"T");
  EXPECT_EQ(View->Count(), 1);
  T->SetName(u"S");
  EXPECT_EQ(View->Count(), 2);
  EXPECT_EQ(Doc.Root()->GetNamedIndex(T), 1);
}

TEST(KelSimpleXmlModel, AddingANodeOfAnotherListMovesIt) {
  TKelSimpleXML Doc;
  TKelSimpleXMLElem* A = Doc.Root()->Items()->Add(u"A");
  TKelSimpleXMLElem* B = Doc.Root()->Items()->Add(u"B");
  TKelSimpleXMLElem* Child = A->Items()->Add(u"C", u"v");
  B->Items()->Add(Child);
  EXPECT_EQ(A->ItemCount(), 0);
  EXPECT_EQ(B->ItemCount(), 1);
  EXPECT_EQ(Child->Parent(), B);
  EXPECT_EQ(Child->Value(), u"v");
  EXPECT_EQ(Doc.Root()->ChildsCount(), 4);
  EXPECT_EQ(Doc.Root()->Items()->Remove(A), 0);
  EXPECT_EQ(Doc.Root()->ItemCount(), 1);
}

TEST(KelSimpleXmlModel, AssignCopiesTree) {
  TKelSimpleXML Doc;
  Doc.LoadFromString(u"<r a='1'><s>x</s><!--c--><t><u/></t></r>");
  TKelSimpleXML Copy;
  Copy.Root()->Assign(Doc.Root());
  // The source was read from UTF-16 text and would be written so; compare in one encoding.
  EXPECT_EQ(SaveBytes(Copy, seUTF8), SaveBytes(Doc, seUTF8));
  EXPECT_NE(dynamic_cast<TKelSimpleXMLElemComment*>(Copy.Root()->Items()->GetItem(1)), nullptr);
}

TEST(KelSimpleXmlModel, StandaloneIsExactlyYes) {
  TKelSimpleXML Doc;
  Doc.LoadFromString(u"<?xml version=\"1.0\" standalone=\"YES\"?><r/>");
  EXPECT_FALSE(Doc.Prolog()->Standalone());
  std::string Out = SaveBytes(Doc, seUTF8);
  EXPECT_NE(Out.find("standalone=\"no\""), std::string::npos);
}

TEST(KelSimpleXmlModel, BinaryValuesAsHex) {
  TMemoryStream In;
  const unsigned char Bytes[] = {0x00, 0x7F, 0xAB, 0xFF};
  In.Write(Bytes, 4);
  In.SetPosition(0);
  TKelSimpleXML Doc;
  TKelSimpleXMLElem* E = Doc.Root()->Items()->Add(u"Bin", &In, 3);
  EXPECT_EQ(E->Value(), u"007FABFF");
  E->SetValue(u"00zz7f1");  // invalid pair gives 0, odd unit ignored
  TMemoryStream Out;
  E->GetBinaryValue(&Out);
  ASSERT_EQ(Out.Size(), 3);
  const auto* P = static_cast<const unsigned char*>(Out.Memory());
  EXPECT_EQ(P[0], 0x00);
  EXPECT_EQ(P[1], 0x00);
  EXPECT_EQ(P[2], 0x7F);
}

// Pins the process format settings for one test.
class TFormatScope {
public:
  explicit TFormatScope(const TFormatSettings& Settings) : FSaved(FormatSettings) {
    SetDefaultFormatSettings(Settings);
  }
  ~TFormatScope() { SetDefaultFormatSettings(FSaved); }
  TFormatScope(const TFormatScope&) = delete;
  TFormatScope& operator=(const TFormatScope&) = delete;

private:
  TFormatSettings FSaved;
};

TEST(KelSimpleXmlModel, FloatValuesFollowTheFormatSettings) {
  struct TCase {
    const char* Locale;
    TFormatSettings Settings;
    const char16_t* Written;  // text of 2.5
    const char16_t* Text;     // a value to read
    double Read;              // 0 when it does not convert
  };
  const TCase Cases[] = {
      {"en", TFormatSettings::English(), u"2.5", u"-0.125", -0.125},
      {"en", TFormatSettings::English(), u"2.5", u"-0,125", 0.0},
      {"en", TFormatSettings::English(), u"2.5", u"1E3", 1000.0},
      {"fr", TFormatSettings::French(), u"2,5", u"-0,125", -0.125},
      {"fr", TFormatSettings::French(), u"2,5", u"-0.125", 0.0},
      {"fr", TFormatSettings::French(), u"2,5", u"abc", 0.0},
      {"fr", TFormatSettings::French(), u"2,5", u"", 0.0},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Locale << " " << UTF16ToUTF8(C.Text));
    TFormatScope Scope(C.Settings);
    TKelSimpleXML Doc;
    TKelSimpleXMLElem* E = Doc.Root()->Items()->Add(u"F");
    E->SetFloatValue(2.5L);
    EXPECT_EQ(E->Value(), C.Written);
    EXPECT_DOUBLE_EQ(static_cast<double>(E->FloatValue()), 2.5);
    E->SetValue(C.Text);
    EXPECT_DOUBLE_EQ(static_cast<double>(E->FloatValue()), C.Read);
    // A default written by a lookup uses the same separator.
    Doc.SetOptions(sxoDefaultOptions + sxoAutoCreate);
    EXPECT_DOUBLE_EQ(static_cast<double>(Doc.Root()->Properties()->FloatValue(u"Ratio", 2.5L)), 2.5);
    EXPECT_EQ(Doc.Root()->Properties()->Value(u"Ratio"), C.Written);
  }
}

// Attribute names compare without regard to case the locale-aware way
// (accented letters too); child names fold ASCII letters only.
TEST(KelSimpleXmlModel, AttributeNamesFoldAccentedLetters) {
  const struct {
    const char16_t* Stored;
    const char16_t* Asked;
    bool Found;
  } Cases[] = {
      {u"Nom", u"NOM", true},
      {u"\u00C9t\u00E9", u"\u00E9T\u00C9", true},
      {u"Ann\u00E9e", u"ANN\u00C9E", true},
      {u"Ann\u00E9e", u"Annee", false},
      {u"\u00C9", u"E", false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(UTF16ToUTF8(C.Asked));
    TKelSimpleXML Doc;
    TKelSimpleXMLProps* Props = Doc.Root()->Properties();
    Props->Add(u"x", u"0");
    Props->Add(C.Stored, u"1");
    EXPECT_EQ(Props->Value(C.Asked, u"-"), C.Found ? u"1" : u"-");
    EXPECT_EQ(Props->GetItemNamed(C.Asked) != nullptr, C.Found);
    Props->SortProperties({String(C.Asked)});
    EXPECT_EQ(Props->GetItem(0)->Name(), C.Found ? String(C.Stored) : String(u"x"));
    Props->Delete(String(C.Asked));
    EXPECT_EQ(Props->Count(), C.Found ? 1 : 2);
    // Child lists keep to ASCII folding.
    Doc.Root()->Items()->Add(C.Stored);
    const bool AsciiOnly = String(C.Stored) == u"Nom";
    EXPECT_EQ(Doc.Root()->Items()->IndexOf(C.Asked), AsciiOnly ? 0 : (String(C.Stored) == C.Asked ? 0 : -1));
  }
}

}  // namespace
