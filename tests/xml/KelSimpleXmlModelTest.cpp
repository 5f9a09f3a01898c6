#include <gtest/gtest.h>

#include "KelSimpleXmlTestUtil.h"

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
  Doc.SetOptions(sxoDefaultOptions | sxoAutoCreate);
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
    if (CaseSensitive) Doc.SetOptions(sxoDefaultOptions | sxoCaseSensitive);
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

}  // namespace
