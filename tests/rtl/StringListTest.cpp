#include "rtl/StringList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::MessageOf;

std::vector<String> Lines(const TStrings& L) { return L.ToStringArray(); }

using testsupport::TCounted;

// ---------------------------------------------------------------- basics

TEST(TStringList, AddInsertDeleteExchangeMove) {
  TStringList L;
  EXPECT_EQ(L.Add(u"b"), 0);
  EXPECT_EQ(L.Add(u"c"), 1);
  L.Insert(0, u"a");
  L.Append(u"d");
  EXPECT_EQ(Lines(L), (std::vector<String>{u"a", u"b", u"c", u"d"}));
  EXPECT_EQ(L.Count(), 4);
  EXPECT_EQ(L[2], u"c");
  EXPECT_EQ(L.Strings(3), u"d");
  L.Delete(1);
  EXPECT_EQ(Lines(L), (std::vector<String>{u"a", u"c", u"d"}));
  L.Exchange(0, 2);
  EXPECT_EQ(Lines(L), (std::vector<String>{u"d", u"c", u"a"}));
  L.Move(0, 2);
  EXPECT_EQ(Lines(L), (std::vector<String>{u"c", u"a", u"d"}));
  L.SetStrings(1, u"x");
  EXPECT_EQ(L[1], u"x");
  L.Clear();
  EXPECT_EQ(L.Count(), 0);
}

TEST(TStringList, IndexErrors) {
  TStringList L;
  L.Add(u"a");
  struct Case {
    const char* name;
    std::function<void()> action;
    const char16_t* message;
  };
  const Case cases[] = {
      {"get", [&] { L.Strings(1); }, u"List index out of bounds (1)"},
      {"get negative", [&] { L[-1]; }, u"List index out of bounds (-1)"},
      {"put", [&] { L.SetStrings(2, u"x"); }, u"List index out of bounds (2)"},
      {"objects", [&] { L.Objects(1); }, u"List index out of bounds (1)"},
      {"insert", [&] { L.Insert(2, u"x"); }, u"List index out of bounds (2)"},
      {"delete", [&] { L.Delete(1); }, u"List index out of bounds (1)"},
      {"exchange", [&] { L.Exchange(0, 1); }, u"List index out of bounds (1)"},
      {"move", [&] { L.Move(0, 1); }, u"List index out of bounds (1)"},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf<EStringListError>(c.action), c.message) << c.name;
  EXPECT_EQ(Lines(L), (std::vector<String>{u"a"}));
}

TEST(TStringList, IndexOfIsCaseInsensitiveByDefault) {
  TStringList L;
  L.Add(u"Alpha");
  L.Add(u"beta");
  L.Add(u"\u00C9t\u00E9");
  EXPECT_FALSE(L.CaseSensitive());
  EXPECT_EQ(L.IndexOf(u"ALPHA"), 0);
  EXPECT_EQ(L.IndexOf(u"Beta"), 1);
  EXPECT_EQ(L.IndexOf(u"\u00E9T\u00C9"), 2);
  EXPECT_EQ(L.IndexOf(u"gamma"), -1);
  L.SetCaseSensitive(true);
  EXPECT_EQ(L.IndexOf(u"ALPHA"), -1);
  EXPECT_EQ(L.IndexOf(u"Alpha"), 0);
  EXPECT_TRUE(L.Contains(u"beta"));
}

TEST(TStringList, ObjectsAndOwnership) {
  int Freed = 0;
  {
    TStringList L(true);
    auto* A = new TCounted(Freed);
    EXPECT_EQ(L.AddObject(u"a", A), 0);
    L.AddObject(u"b", new TCounted(Freed));
    L.AddObject(u"c", new TCounted(Freed));
    L.InsertObject(0, u"z", nullptr);
    EXPECT_EQ(L.Objects(1), A);
    EXPECT_EQ(L.IndexOfObject(A), 1);
    L.Delete(1);
    EXPECT_EQ(Freed, 1);
    // Moving keeps the object alive and with its string.
    TObject* B = L.Objects(1);
    L.Move(1, 0);
    EXPECT_EQ(Freed, 1);
    EXPECT_EQ(L.Objects(0), B);
    // PutObject does not free the previous object.
    auto* Loose = new TCounted(Freed);
    TObject* C = L.Objects(2);
    L.SetObjects(2, Loose);
    EXPECT_EQ(Freed, 1);
    delete C;
    EXPECT_EQ(Freed, 2);
    L.Clear();
    EXPECT_EQ(Freed, 4);
    L.AddObject(u"d", new TCounted(Freed));
  }
  EXPECT_EQ(Freed, 5);
  // Not owning: nothing freed.
  TCounted Kept(Freed);
  {
    TStringList L;
    EXPECT_FALSE(L.OwnsObjects());
    L.AddObject(u"k", &Kept);
    L.Delete(0);
    L.AddObject(u"k", &Kept);
  }
  EXPECT_EQ(Freed, 5);
}

// ---------------------------------------------------------------- names and values

TEST(TStringList, NamesValuesAndValueFromIndex) {
  TStringList L;
  L.SetText(u"Main=Folders size\r\nMain.listeDossier=Folder~Size\r\nno separator\r\nempty=\r\nMain=second\r\n");
  EXPECT_EQ(L.Names(0), u"Main");
  EXPECT_EQ(L.Names(2), u"");
  EXPECT_EQ(L.KeyNames(1), u"Main.listeDossier");
  EXPECT_EQ(L.Values(u"main"), u"Folders size");  // first line wins, case ignored
  EXPECT_EQ(L.Values(u"MAIN.LISTEDOSSIER"), u"Folder~Size");
  EXPECT_EQ(L.Values(u"missing"), u"");
  EXPECT_EQ(L.Values(u"empty"), u"");
  EXPECT_EQ(L.IndexOfName(u"EMPTY"), 3);
  EXPECT_EQ(L.IndexOfName(u"no separator"), -1);
  EXPECT_EQ(L.ValueFromIndex(0), u"Folders size");
  EXPECT_EQ(L.ValueFromIndex(2), u"");
  EXPECT_EQ(L.ValueFromIndex(-1), u"");

  L.SetValues(u"Main.listeDossier", u"a=b");
  EXPECT_EQ(L[1], u"Main.listeDossier=a=b");
  EXPECT_EQ(L.Values(u"Main.listeDossier"), u"a=b");
  L.SetValues(u"New", u"v");
  EXPECT_EQ(L[L.Count() - 1], u"New=v");
  L.SetValues(u"main", u"");  // deletes the first "Main" line
  EXPECT_EQ(L.Values(u"Main"), u"second");
  L.SetValues(u"absent", u"");  // nothing to delete
  L.SetValueFromIndex(0, u"changed");
  EXPECT_EQ(L[0], u"Main.listeDossier=changed");
  L.SetValueFromIndex(0, u"");
  EXPECT_EQ(L.IndexOfName(u"Main.listeDossier"), -1);
  L.AddPair(u"k1", u"v1").AddPair(u"k2", u"v2");
  EXPECT_EQ(L.Values(u"k2"), u"v2");

  TStringList Colon;
  Colon.SetNameValueSeparator(u':');
  Colon.Add(u"a:1");
  Colon.Add(u"b=2");
  EXPECT_EQ(Colon.Values(u"a"), u"1");
  EXPECT_EQ(Colon.Names(1), u"");
}

// ---------------------------------------------------------------- sorted lists

TEST(TStringList, SortedInsertionAndFind) {
  TStringList L;
  L.SetSorted(true);
  for (const char16_t* S : {u"pear", u"Apple", u"fig", u"banana"}) L.Add(S);
  EXPECT_EQ(Lines(L), (std::vector<String>{u"Apple", u"banana", u"fig", u"pear"}));
  Integer Index = -1;
  EXPECT_TRUE(L.Find(u"FIG", Index));
  EXPECT_EQ(Index, 2);
  EXPECT_FALSE(L.Find(u"cherry", Index));
  EXPECT_EQ(Index, 2);
  EXPECT_EQ(L.IndexOf(u"PEAR"), 3);
  EXPECT_EQ(L.IndexOf(u"kiwi"), -1);
  // dupIgnore: the existing index comes back and nothing is added.
  EXPECT_EQ(L.Add(u"apple"), 0);
  EXPECT_EQ(L.Count(), 4);
}

TEST(TStringList, SortedListRefusesPositionalChanges) {
  TStringList L;
  L.Add(u"b");
  L.Add(u"a");
  L.SetSorted(true);
  EXPECT_EQ(Lines(L), (std::vector<String>{u"a", u"b"}));
  const String Expected = u"Operation not allowed on sorted list";
  EXPECT_EQ(MessageOf<EStringListError>([&] { L.Insert(0, u"c"); }), Expected);
  EXPECT_EQ(MessageOf<EStringListError>([&] { L.SetStrings(0, u"c"); }), Expected);
  EXPECT_EQ(MessageOf<EStringListError>([&] { L.Move(0, 1); }), Expected);
  EXPECT_EQ(Lines(L), (std::vector<String>{u"a", u"b"}));
}

TEST(TStringList, DuplicatesPolicies) {
  TStringList Error(dupError, true, false);
  Error.Add(u"x");
  EXPECT_EQ(MessageOf<EStringListError>([&] { Error.Add(u"X"); }), u"String list does not allow duplicates");
  TStringList Accept(dupAccept, true, false);
  Accept.Add(u"x");
  Accept.Add(u"y");
  Accept.Add(u"x");
  EXPECT_EQ(Lines(Accept), (std::vector<String>{u"x", u"x", u"y"}));
  Integer Index = -1;
  EXPECT_TRUE(Accept.Find(u"x", Index));
  EXPECT_EQ(Index, 0);
  // Duplicates applies to sorted lists only.
  TStringList Unsorted;
  Unsorted.SetDuplicates(dupError);
  Unsorted.Add(u"x");
  Unsorted.Add(u"x");
  EXPECT_EQ(Unsorted.Count(), 2);
  // Case-sensitive sorted lists keep both cases.
  TStringList Cased(dupIgnore, true, true);
  Cased.Add(u"a");
  Cased.Add(u"A");
  EXPECT_EQ(Cased.Count(), 2);
  EXPECT_EQ(Cased.IndexOf(u"A") != Cased.IndexOf(u"a"), true);
}

TEST(TStringList, SortAndCustomSort) {
  TStringList L;
  for (const char16_t* S : {u"10", u"9", u"b", u"A", u"100"}) L.Add(S);
  L.Sort();
  EXPECT_EQ(Lines(L), (std::vector<String>{u"10", u"100", u"9", u"A", u"b"}));
  L.CustomSort([](TStringList* List, Integer I1, Integer I2) {
    return static_cast<Integer>(List->Strings(I2).size()) - static_cast<Integer>(List->Strings(I1).size());
  });
  EXPECT_EQ(L[0], u"100");
  EXPECT_EQ(L.Count(), 5);
  // CustomSort on a sorted list does nothing.
  TStringList S;
  S.SetSorted(true);
  S.Add(u"a");
  S.Add(u"b");
  S.CustomSort([](TStringList*, Integer I1, Integer I2) { return I2 - I1; });
  EXPECT_EQ(Lines(S), (std::vector<String>{u"a", u"b"}));
  // Many items through CustomSort: a plain order comes out.
  TStringList Big;
  for (int I = 0; I < 200; ++I) Big.Add(UTF8ToUTF16(std::to_string((I * 7919) % 200)));
  Big.CustomSort([](TStringList* List, Integer I1, Integer I2) {
    return std::stoi(UTF16ToUTF8(List->Strings(I1))) - std::stoi(UTF16ToUTF8(List->Strings(I2)));
  });
  for (int I = 0; I < 200; ++I) ASSERT_EQ(Big[I], UTF8ToUTF16(std::to_string(I)));
}

TEST(TStringList, ChangingCaseSensitivityResorts) {
  TStringList L;
  L.SetSorted(true);
  L.Add(u"b");
  L.Add(u"B");
  L.Add(u"a");
  EXPECT_EQ(L.Count(), 2);  // "B" is a duplicate of "b" without case
  L.SetCaseSensitive(true);
  L.Add(u"B");
  EXPECT_EQ(L.Count(), 3);
  EXPECT_GE(L.IndexOf(u"B"), 0);
  EXPECT_GE(L.IndexOf(u"b"), 0);
}

// ---------------------------------------------------------------- text

TEST(TStringList, TextJoinsAndSplits) {
  TStringList L;
  L.Add(u"a");
  L.Add(u"");
  L.Add(u"c");
  EXPECT_EQ(L.Text(), u"a\r\n\r\nc\r\n");
  L.SetTrailingLineBreak(false);
  EXPECT_EQ(L.Text(), u"a\r\n\r\nc");
  L.SetTrailingLineBreak(true);

  struct Case {
    const char* name;
    String text;
    std::vector<String> lines;
  };
  const Case cases[] = {
      {"crlf", u"a\r\nb", {u"a", u"b"}},
      {"lf", u"a\nb\n", {u"a", u"b"}},
      {"cr", u"a\rb\r", {u"a", u"b"}},
      {"mixed", u"a\r\n\nb\rc", {u"a", u"", u"b", u"c"}},
      {"lf cr is two breaks", u"a\n\rb", {u"a", u"", u"b"}},
      {"trailing blank line", u"a\r\n\r\n", {u"a", u""}},
      {"empty", u"", {}},
      {"only break", u"\r\n", {u""}},
      {"nul kept", String(u"a\0b", 3), {String(u"a\0b", 3)}},
  };
  for (const auto& c : cases) {
    L.SetText(c.text);
    EXPECT_EQ(Lines(L), c.lines) << c.name;
  }

  TStringList Custom;
  Custom.SetLineBreak(u"|");
  Custom.SetText(u"a|b\r\nc|");
  EXPECT_EQ(Lines(Custom), (std::vector<String>{u"a", u"b\r\nc"}));
  EXPECT_EQ(Custom.Text(), u"a|b\r\nc|");
}

// ---------------------------------------------------------------- delimited text

struct DelimitedCase {
  const char* name;
  std::vector<String> items;
  String text;
};

TEST(TStringList, CommaTextQuotesLikeTheClassLibrary) {
  const DelimitedCase cases[] = {
      {"plain", {u"a", u"b", u"c"}, u"a,b,c"},
      {"space", {u"a b", u"c"}, u"\"a b\",c"},
      {"comma", {u"a,b"}, u"\"a,b\""},
      {"quote doubled", {u"say \"hi\""}, u"\"say \"\"hi\"\"\""},
      {"empty middle", {u"a", u"", u"b"}, u"a,,b"},
      {"single empty", {u""}, u"\"\""},
      {"nothing", {}, u""},
      {"tab", {u"a\tb"}, u"\"a\tb\""},
      {"accented", {u"\u00E9t\u00E9"}, u"\u00E9t\u00E9"},
  };
  for (const auto& c : cases) {
    TStringList L;
    L.AddStrings(c.items);
    EXPECT_EQ(L.CommaText(), c.text) << c.name;
  }
}

TEST(TStringList, SetCommaTextParsesLikeTheClassLibrary) {
  const DelimitedCase cases[] = {
      {"plain", {u"a", u"b", u"c"}, u"a,b,c"},
      {"blanks separate", {u"a", u"b", u"c"}, u"a b,c"},
      {"blanks around", {u"a", u"b"}, u"  a ,  b  "},
      {"quoted keeps blanks", {u"a b", u"c"}, u"\"a b\",c"},
      {"doubled quote", {u"say \"hi\""}, u"\"say \"\"hi\"\"\""},
      {"empty items", {u"a", u"", u"b"}, u"a,,b"},
      {"leading comma", {u"", u"a"}, u",a"},
      {"trailing comma", {u"a", u""}, u"a,"},
      {"empty quoted", {u""}, u"\"\""},
      {"unclosed quote", {u"a,b"}, u"\"a,b"},
      {"text after quote", {u"a", u"b", u"c"}, u"\"a\"b,c"},
      {"quote inside word", {u"a\"b"}, u"a\"b"},
      {"only blanks", {}, u"   "},
      {"empty", {}, u""},
  };
  for (const auto& c : cases) {
    TStringList L;
    L.SetCommaText(c.text);
    EXPECT_EQ(Lines(L), c.items) << c.name;
  }
}

TEST(TStringList, DelimitedTextWithStrictDelimiter) {
  TStringList L;
  L.SetDelimiter(u';');
  L.SetStrictDelimiter(true);
  L.SetDelimitedText(u" a b ; c;\"d;e\";");
  EXPECT_EQ(Lines(L), (std::vector<String>{u" a b ", u" c", u"d;e", u""}));
  EXPECT_EQ(L.DelimitedText(), u" a b ; c;\"d;e\";");
  // Not strict: blanks separate too.
  L.SetStrictDelimiter(false);
  L.SetDelimitedText(u"a b;c");
  EXPECT_EQ(Lines(L), (std::vector<String>{u"a", u"b", u"c"}));
  EXPECT_EQ(L.DelimitedText(), u"a;b;c");
  // The CSV form of the chart view: ';' and double quotes.
  TStringList Csv(u'"', u';');
  Csv.SetStrictDelimiter(true);
  Csv.SetDelimitedText(u"0;1;\"1.5\";\"text; with\";");
  EXPECT_EQ(Lines(Csv), (std::vector<String>{u"0", u"1", u"1.5", u"text; with", u""}));
  // The font style form of the settings files: ":0:1".
  TStringList Style;
  Style.SetDelimiter(u':');
  Style.SetDelimitedText(u":0:1");
  EXPECT_EQ(Lines(Style), (std::vector<String>{u"", u"0", u"1"}));
  // Another quote character.
  TStringList Single(u'\'', u',');
  Single.Add(u"it's");
  Single.Add(u"x");
  EXPECT_EQ(Single.DelimitedText(), u"'it''s',x");
  Single.SetDelimitedText(u"'a,b','c''d'");
  EXPECT_EQ(Lines(Single), (std::vector<String>{u"a,b", u"c'd"}));
  // CommaText ignores the list's own settings and leaves them alone.
  EXPECT_EQ(Single.CommaText(), u"\"a,b\",c'd");
  EXPECT_EQ(Single.Delimiter(), u',');
  EXPECT_EQ(Single.QuoteChar(), u'\'');
}

// ---------------------------------------------------------------- events

TEST(TStringList, ChangeEventsAndBeginUpdate) {
  TStringList L;
  std::vector<std::string> Log;
  L.SetOnChanging([&](TObject* Sender) {
    EXPECT_EQ(Sender, &L);
    Log.push_back("changing");
  });
  L.SetOnChange([&](TObject* Sender) {
    EXPECT_EQ(Sender, &L);
    Log.push_back("change");
  });
  L.Add(u"a");
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
  Log.clear();
  L.BeginUpdate();
  L.Add(u"b");
  L.Delete(0);
  L.BeginUpdate();
  L.SetText(u"x\r\ny");
  L.EndUpdate();
  EXPECT_EQ(Log, (std::vector<std::string>{"changing"}));
  L.EndUpdate();
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
  Log.clear();
  L.Clear();
  L.Clear();  // already empty: no events
  EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
}

// ---------------------------------------------------------------- assign

TEST(TStringList, AssignAddStringsEquals) {
  TStringList Source;
  Source.SetDelimiter(u';');
  Source.SetSorted(true);
  Source.SetCaseSensitive(true);
  Source.Add(u"b");
  Source.Add(u"a");
  TStringList Target;
  Target.Add(u"old");
  Target.Assign(Source);
  EXPECT_EQ(Lines(Target), (std::vector<String>{u"a", u"b"}));
  EXPECT_TRUE(Target.Sorted());
  EXPECT_TRUE(Target.CaseSensitive());
  EXPECT_EQ(Target.Delimiter(), u';');
  EXPECT_TRUE(Target.Equals(&Source));
  Target.Assign(Target);
  EXPECT_EQ(Target.Count(), 2);
  TStringList More;
  More.Add(u"z");
  More.AddStrings(Source);
  More.AddStrings(More);
  EXPECT_EQ(Lines(More), (std::vector<String>{u"z", u"a", u"b", u"z", u"a", u"b"}));
  EXPECT_FALSE(More.Equals(&Source));
  String Joined;
  for (const String& S : Source) Joined += S;
  EXPECT_EQ(Joined, u"ab");
}

// ---------------------------------------------------------------- files and streams

class StringListFiles : public ::testing::Test {
protected:
  String PathOf(const String& Name) const { return testsupport::PathText(Temp.Path) + PathDelim + Name; }
  testsupport::TTempDir Temp{"quorvel-stringlist"};
};

TBytes StreamBytes(TMemoryStream& S) {
  auto* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

struct LoadCase {
  const char* name;
  TBytes bytes;
  std::vector<String> lines;
  TEncoding* encoding;  // the one detected
};

TEST(TStringList, LoadFromStreamDetectsTheEncoding) {
  const bool Cp1252 = TEncoding::ANSI()->CodePage() == 1252;
  const LoadCase cases[] = {
      {"utf-8 bom", {0xEF, 0xBB, 0xBF, 'a', '=', 0xC3, 0xA9, '\r', '\n', 'b'}, {u"a=\u00E9", u"b"}, TEncoding::UTF8()},
      {"utf-16le bom", {0xFF, 0xFE, 'x', 0, 0xAC, 0x20, '\n', 0, 'y', 0}, {u"x\u20AC", u"y"}, TEncoding::Unicode()},
      {"utf-16be bom", {0xFE, 0xFF, 0, 'x', 0x20, 0xAC}, {u"x\u20AC"}, TEncoding::BigEndianUnicode()},
      {"no bom: ansi", {'M', '=', 'D', 0xE9, 'c', '\r', '\n'}, {Cp1252 ? u"M=D\u00E9c" : u""}, TEncoding::ANSI()},
      {"empty", {}, {}, TEncoding::ANSI()},
      {"bom only", {0xEF, 0xBB, 0xBF}, {}, TEncoding::UTF8()},
  };
  for (const auto& c : cases) {
    TBytesStream Stream(c.bytes);
    TStringList L;
    L.LoadFromStream(&Stream);
    if (Cp1252 || c.encoding != TEncoding::ANSI() || c.bytes.empty()) {
      EXPECT_EQ(Lines(L), c.lines) << c.name;
    }
    EXPECT_EQ(L.Encoding(), c.encoding) << c.name;
  }
}

TEST(TStringList, LoadWithAGivenEncodingSkipsOnlyItsOwnMark) {
  TBytesStream Marked(TBytes{0xEF, 0xBB, 0xBF, 'o', 'k'});
  TStringList L;
  L.LoadFromStream(Marked, TEncoding::UTF8());
  EXPECT_EQ(Lines(L), (std::vector<String>{u"ok"}));
  TBytesStream Plain(TBytes{0xC3, 0xA9});
  L.LoadFromStream(Plain, TEncoding::UTF8());
  EXPECT_EQ(Lines(L), (std::vector<String>{u"\u00E9"}));
  // Loading reads from the stream's position.
  TBytesStream Offset(TBytes{'x', 'y', '\n', 'z'});
  Offset.SetPosition(1);
  L.LoadFromStream(Offset);
  EXPECT_EQ(Lines(L), (std::vector<String>{u"y", u"z"}));
}

TEST(TStringList, SaveToStreamWritesThePreamble) {
  TStringList L;
  L.Add(u"\u00E9");
  struct Case {
    const char* name;
    TEncoding* encoding;
    TBytes bytes;
  };
  const Case cases[] = {
      {"utf-8", TEncoding::UTF8(), {0xEF, 0xBB, 0xBF, 0xC3, 0xA9, '\r', '\n'}},
      {"utf-16le", TEncoding::Unicode(), {0xFF, 0xFE, 0xE9, 0, '\r', 0, '\n', 0}},
      {"utf-16be", TEncoding::BigEndianUnicode(), {0xFE, 0xFF, 0, 0xE9, 0, '\r', 0, '\n'}},
  };
  for (const auto& c : cases) {
    TMemoryStream S;
    L.SaveToStream(&S, c.encoding);
    EXPECT_EQ(StreamBytes(S), c.bytes) << c.name;
  }
  L.SetWriteBOM(false);
  TMemoryStream NoBom;
  L.SaveToStream(NoBom, TEncoding::UTF8());
  EXPECT_EQ(StreamBytes(NoBom), (TBytes{0xC3, 0xA9, '\r', '\n'}));
  // Default: ANSI, no preamble.
  TStringList Ascii;
  Ascii.Add(u"a");
  TMemoryStream Plain;
  Ascii.SaveToStream(Plain);
  EXPECT_EQ(StreamBytes(Plain), (TBytes{'a', '\r', '\n'}));
}

TEST_F(StringListFiles, SaveAndLoadFilesKeepTheEncoding) {
  const String Name = PathOf(u"lines \u00E9t\u00E9.txt");
  TStringList L;
  L.Add(u"Caf\u00E9");
  L.Add(u"\u20AC \U0001F600");
  L.SaveToFile(Name, TEncoding::UTF8());
  TStringList Back;
  Back.LoadFromFile(Name);
  EXPECT_EQ(Lines(Back), Lines(L));
  EXPECT_EQ(Back.Encoding(), TEncoding::UTF8());
  // Saved again without an encoding: the one loaded (UTF-8, with its mark).
  Back.Add(u"more");
  Back.SaveToFile(Name);
  TMemoryStream Raw;
  Raw.LoadFromFile(Name);
  TBytes Bytes = StreamBytes(Raw);
  ASSERT_GE(Bytes.size(), 3u);
  EXPECT_EQ(TBytes(Bytes.begin(), Bytes.begin() + 3), (TBytes{0xEF, 0xBB, 0xBF}));
  TStringList Third;
  Third.LoadFromFile(Name);
  EXPECT_EQ(Third.Count(), 3);
  EXPECT_EQ(Third[2], u"more");
}

TEST_F(StringListFiles, MissingFileRaisesOpenError) {
  TStringList L;
  EXPECT_THROW(L.LoadFromFile(PathOf(u"missing.txt")), EFOpenError);
  EXPECT_THROW(L.SaveToFile(PathOf(u"no-such-dir") + PathDelim + u"x.txt"), EFCreateError);
}

TEST_F(StringListFiles, DefaultEncodingIsUsedWithoutMark) {
  const String Name = PathOf(u"utf8-no-bom.txt");
  {
    TFileStream F(Name, fmCreate);
    F.WriteBuffer("k=\xC3\xA9\r\n", 6);
  }
  TStringList L;
  L.SetDefaultEncoding(TEncoding::UTF8());
  L.LoadFromFile(Name);
  EXPECT_EQ(L.Values(u"k"), u"\u00E9");
  EXPECT_EQ(L.Encoding(), TEncoding::UTF8());
}

}  // namespace
