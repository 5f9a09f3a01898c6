// The string tree's exports: HTML, RTF, separated text, CSV file and the
// event walk. The renderings of awkward texts are read back by real parsers
// (Python's html.parser and csv, and a small reader of the RTF we write).
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TreeTestSupport.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"
#include "treeview/VastTreeExport.h"

namespace fs = std::filesystem;

namespace {

using TRows = std::vector<std::vector<String>>;

// Reads stdin's file (argv[2]) in the format argv[1] and prints one row a
// line, each cell as the hex of its UTF-8 ("-" for an empty cell).
constexpr const char* ReaderScript = R"PY(
import sys, csv, io
from html.parser import HTMLParser

def out(rows):
    for r in rows:
        print(' '.join(c.encode('utf-8').hex() or '-' for c in r))

def read_html(text):
    class P(HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=True)
            self.rows, self.cell, self.tags = [], None, []
        def handle_starttag(self, tag, attrs):
            self.tags.append(tag)
            a = dict(attrs)
            if tag == 'tr':
                self.rows.append([])
            elif tag == 'th' or (tag == 'td' and a.get('class') == 'normalborder'):
                self.cell = ''
        def handle_endtag(self, tag):
            if tag in ('td', 'th') and self.cell is not None:
                self.rows[-1].append(self.cell)
                self.cell = None
        def handle_data(self, data):
            if self.cell is not None:
                self.cell += data
    p = P()
    p.feed(text)
    p.close()
    print('TAGS ' + ','.join(sorted(set(p.tags))))
    # Indentation cells hold only a no-break space.
    out([[c for c in r if c != '\xa0'] for r in p.rows])

def read_rtf(data):
    text = data.decode('ascii')
    i, n = 0, len(text)
    rows, row, units = [], [], []
    stack, dest, skip = [], None, 0
    fonts, font = [], None
    while i < n:
        ch = text[i]
        if ch == '{':
            stack.append(dest); i += 1; continue
        if ch == '}':
            if dest == 'font' and font is not None:
                font = None
            dest = stack.pop(); i += 1; continue
        if ch == '\\':
            nxt = text[i + 1]
            if nxt == "'":
                value = int(text[i + 2:i + 4], 16); i += 4
                if skip: skip -= 1; continue
                (font if dest == 'font' and font is not None else units).append(value); continue
            if nxt in '\\{}':
                i += 2
                (font if dest == 'font' and font is not None else units).append(ord(nxt)); continue
            j = i + 1
            while j < n and text[j].isalpha(): j += 1
            word = text[i + 1:j]
            k = j
            if k < n and (text[k] == '-' or text[k].isdigit()):
                k += 1
                while k < n and text[k].isdigit(): k += 1
            arg = text[j:k]
            if k < n and text[k] == ' ': k += 1
            i = k
            if word in ('fonttbl', 'colortbl'): dest = word if word == 'colortbl' else 'font'
            elif dest == 'font' and word == 'f': font = []; fonts.append(font)
            elif word == 'u':
                v = int(arg)
                (font if dest == 'font' and font is not None else units).append(v + 65536 if v < 0 else v)
                skip = 1
            elif dest: pass
            elif word == 'par': units.append(10)
            elif word == 'tab': units.append(9)
            elif word == 'cell': row.append(units); units = []
            elif word == 'row': rows.append(row); row = []
            continue
        if ch in '\r\n': i += 1; continue
        if dest == 'colortbl': i += 1; continue
        if dest == 'font' and font is not None:
            if ch == ';': font = None
            else: font.append(ord(ch))
            i += 1; continue
        if skip: skip -= 1; i += 1; continue
        units.append(ord(ch)); i += 1
    dec = lambda us: b''.join(u.to_bytes(2, 'little') for u in us).decode('utf-16-le')
    for f in fonts: print('FONT ' + (dec(f).encode('utf-8').hex() or '-'))
    out([[dec(c) for c in r] for r in rows])

kind, path = sys.argv[1], sys.argv[2]
data = open(path, 'rb').read()
if kind == 'html': read_html(data.decode('utf-8'))
elif kind == 'rtf': read_rtf(data)
else:
    delimiter = {'tab': '\t', 'comma': ',', 'semicolon': ';'}[kind]
    out(list(csv.reader(io.StringIO(data.decode('utf-8-sig'), newline=''), delimiter=delimiter)))
)PY";

struct TParsed {
  TRows Rows;
  std::vector<std::string> Extra;  // the reader's other lines (TAGS, FONT)
  bool Ran = false;
};

#ifndef _WIN32
String FromHex(const std::string& Hex) {
  if (Hex == "-") return String();
  std::string Bytes;
  for (std::size_t I = 0; I + 1 < Hex.size(); I += 2)
    Bytes += static_cast<char>(std::stoi(Hex.substr(I, 2), nullptr, 16));
  return UTF8ToUTF16(Bytes);
}
#endif

// Runs the reader on Data; on Windows (no Python to run) Ran stays false.
TParsed ReadBack(const std::string& Kind, const std::string& Data) {
  TParsed R;
#ifndef _WIN32
  const fs::path Dir = fs::temp_directory_path() / ("quorvel-export-" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  std::ofstream(Dir / "reader.py", std::ios::binary) << ReaderScript;
  std::ofstream(Dir / "data", std::ios::binary) << Data;
  const std::string Command = "/usr/bin/python3 -I '" + (Dir / "reader.py").string() + "' " + Kind + " '" +
                              (Dir / "data").string() + "' > '" + (Dir / "out").string() + "'";
  if (std::system(Command.c_str()) != 0) {
    ADD_FAILURE() << "the reader failed on: " << Data;
    return R;
  }
  std::ifstream In(Dir / "out");
  std::string Line;
  while (std::getline(In, Line)) {
    if (Line.rfind("TAGS ", 0) == 0 || Line.rfind("FONT ", 0) == 0) {
      R.Extra.push_back(Line.rfind("FONT ", 0) == 0 ? "FONT " + UTF16ToUTF8(FromHex(Line.substr(5))) : Line);
      continue;
    }
    std::vector<String> Row;
    std::istringstream Cells(Line);
    std::string Cell;
    while (Cells >> Cell) Row.push_back(FromHex(Cell));
    R.Rows.push_back(Row);
  }
  fs::remove_all(Dir);
  R.Ran = true;
#else
  (void)Kind;
  (void)Data;
#endif
  return R;
}

std::string Utf8(const String& S) { return UTF16ToUTF8(S); }

class TTreeExportTest : public ::testing::Test {
protected:
  TFakeTreeHost Host;
  TCustomVastStringTree Tree{&Host};
  std::map<std::pair<PVastNode, TColumnIndex>, String> Texts;

  void SetUp() override {
    Host.Height = 0;
    Tree.TreeOptions().SetAutoOptions(Tree.TreeOptions().AutoOptions() - TVTAutoOptions{toAutoSort});
    Tree.OnGetText = [this](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType Type, String& Text) {
      if (Type == ttStatic) return;
      auto It = Texts.find({Node, Column});
      if (It != Texts.end()) Text = It->second;
    };
  }
  void AddColumns(std::initializer_list<String> Captions) {
    for (const String& C : Captions) {
      TVastTreeColumn* Column = Tree.Header().Columns().Add();
      Column->SetText(C);
      Column->SetWidth(96);
    }
  }
  PVastNode Add(PVastNode Parent, std::vector<String> Cells) {
    PVastNode N = Tree.AddChild(Parent);
    for (std::size_t I = 0; I < Cells.size(); ++I)
      Texts[{N, Tree.Header().Columns().Count() == 0 ? NoColumn : static_cast<TColumnIndex>(I)}] = Cells[I];
    if (Parent) Tree.SetExpanded(Parent, true);
    return N;
  }
};

// Three columns of texts that break naive writers.
class TAwkwardTreeTest : public TTreeExportTest {
protected:
  const std::vector<String> Captions{u"Name <&>", u"Size, \"bytes\"", u"Note\t;"};
  const std::vector<String> Top{u"He said \"hi\", <b>&amp;</b>", u"a\tb,c;d", u"line1\nline2"};
  const std::vector<String> Child{u"\u00dcn\u00efc\u00f8d\u00e9 \u20ac \U0001F600", u"'single' & \"double\"",
                                  u"</td></tr><tr><td>x"};
  const std::vector<String> Last{u"plain", u"<script>alert(1)</script>", u"\"\"\""};
  PVastNode TopNode = nullptr, ChildNode = nullptr, LastNode = nullptr;

  void SetUp() override {
    TTreeExportTest::SetUp();
    AddColumns({Captions[0], Captions[1], Captions[2]});
    TopNode = Add(nullptr, Top);
    ChildNode = Add(TopNode, Child);
    LastNode = Add(nullptr, Last);
  }
};

TEST_F(TAwkwardTreeTest, HtmlEscapesTextsSoAParserRecoversEveryCell) {
  const String Html = Tree.ContentToHTML(tstAll, u"A \"caption\" <here>");
  EXPECT_EQ(Html.find(u"<b>"), String::npos);
  EXPECT_EQ(Html.find(u"<script>"), String::npos);
  TParsed P = ReadBack("html", Utf8(Html));
  if (!P.Ran) return;
  ASSERT_EQ(P.Extra.size(), 1u);
  // Only the table's own tags: nothing a cell held became markup.
  EXPECT_EQ(P.Extra[0], "TAGS meta,style,table,td,th,tr");
  const TRows Expected{Captions, Top, Child, Last};
  EXPECT_EQ(P.Rows, Expected);
}

TEST_F(TAwkwardTreeTest, RtfKeepsEveryUnitAndAReaderRecoversTheCells) {
  const RawByteString Rtf = Tree.ContentToRTF(tstAll);
  EXPECT_EQ(Rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Tahoma;}}", 0), 0u) << Rtf;
  // 96 pixels at 96 per inch is 1440 twips a column.
  EXPECT_NE(Rtf.find("\\uc1\\trowd\\trgaph70\\cellx1440\\cellx2880\\cellx4320\\pard\\intbl"), std::string::npos);
  for (unsigned char C : Rtf) EXPECT_LT(C, 0x80u);
  TParsed P = ReadBack("rtf", Rtf);
  if (!P.Ran) return;
  std::vector<String> IndentedChild = Child;
  IndentedChild[0] = u"\t " + IndentedChild[0];  // one tab and a blank for level 1
  const TRows Expected{Captions, Top, IndentedChild, Last};
  EXPECT_EQ(P.Rows, Expected);
}

TEST_F(TAwkwardTreeTest, RtfEscapesFontNames) {
  TVTHeaderFont Font = Tree.Header().Font();
  Font.Name = u"Evil;}{\\f9 X} \u00e9";
  Tree.Header().SetFont(Font);
  const RawByteString Rtf = Tree.ContentToRTF(tstAll);
  TParsed P = ReadBack("rtf", Rtf);
  if (!P.Ran) return;
  ASSERT_EQ(P.Extra.size(), 1u) << Rtf;
  EXPECT_EQ(P.Extra[0], "FONT " + Utf8(Font.Name));
  EXPECT_EQ(P.Rows.size(), 4u);
}

TEST_F(TAwkwardTreeTest, SeparatedTextQuotesCellsWithTheSeparatorAQuoteOrALineBreak) {
  struct TCase {
    String Separator;
    std::string Kind;
  };
  for (const TCase& C : {TCase{u"\t", "tab"}, TCase{u",", "comma"}, TCase{u";", "semicolon"}}) {
    SCOPED_TRACE(C.Kind);
    const String Text = Tree.ContentToText(tstAll, C.Separator);
    TParsed P = ReadBack(C.Kind, Utf8(Text));
    if (!P.Ran) continue;
    // Deepest level 1: the main column takes one more field, empty before
    // a level-0 text and after a level-1 one.
    const TRows Expected{{Captions[0], u"", Captions[1], Captions[2]},
                         {Top[0], u"", Top[1], Top[2]},
                         {u"", Child[0], Child[1], Child[2]},
                         {Last[0], u"", Last[1], Last[2]}};
    EXPECT_EQ(P.Rows, Expected);
  }
  EXPECT_EQ(Tree.ContentToUnicode(tstAll, u'\t'), Tree.ContentToText(tstAll, u"\t"));
  EXPECT_EQ(Tree.ContentToText(tstAll, u'\t'), Tree.ContentToText(tstAll, u"\t"));
}

TEST_F(TAwkwardTreeTest, CsvFileHoldsTopLevelNodesQuotedAndReadsBack) {
  EXPECT_FALSE(Tree.SaveToCSVFile(u"", true));
  Texts[{LastNode, 1}] = u"";
  const fs::path File =
      fs::temp_directory_path() /
      ("quorvel-export-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".csv");
  ASSERT_TRUE(Tree.SaveToCSVFile(File.u16string(), true));
  std::ifstream In(File, std::ios::binary);
  const std::string Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  In.close();
  fs::remove(File);
  EXPECT_NE(Data.find("\"\"\"\"\"\"\"\""), std::string::npos);  // three quotes, doubled and enclosed
  TParsed P = ReadBack("comma", Data);
  if (!P.Ran) return;
  const TRows Expected{Captions, Top, {Last[0], u" ", Last[2]}};
  EXPECT_EQ(P.Rows, Expected);
}

// ---------------------------------------------------------------------------

TEST(TBufferedStringTest, KeepsEverythingAppended) {
  TBufferedString B;
  EXPECT_EQ(B.AsString(), u"");
  B.Add(u"");
  const String Long(5000, u'x');
  B.Add(u"ab");
  B.Add(Long);
  for (int I = 0; I < 3000; ++I) B.AddNewLine();
  B.Add(u"\u00e9");
  String Expected = u"ab" + Long;
  for (int I = 0; I < 3000; ++I) Expected += u"\r\n";
  EXPECT_EQ(B.AsString(), Expected + u"\u00e9");

  TBufferedRawByteString R;
  R.Add("");
  R.Add(std::string(4095, 'y'));
  R.AddNewLine();
  R.AddNewLine();
  R.Add("z");
  EXPECT_EQ(R.AsString(), std::string(4095, 'y') + "\r\n\r\nz");
}

TEST_F(TTreeExportTest, RtfWritesUnitsAsSignedNumbers) {
  AddColumns({u"c"});
  Add(nullptr, {u"\u00e9\u20ac\ufffd", u""});
  const RawByteString Rtf = Tree.ContentToRTF(tstAll);
  EXPECT_NE(Rtf.find(" \\u233\\'3f\\u8364\\'3f\\u-3\\'3f\\cell\\row\r\n"), std::string::npos) << Rtf;
}

TEST_F(TTreeExportTest, WithoutColumnsTextIsIndentedAndNeverQuoted) {
  PVastNode A = Add(nullptr, {u"a,\"b\""});
  Add(A, {u"child"});
  Add(nullptr, {u"c"});
  EXPECT_EQ(Tree.ContentToText(tstAll, u","), u"a,\"b\"\r\n,child\r\nc\r\n");
}

TEST_F(TTreeExportTest, ExportModeFiltersHtmlAndRtfButNotText) {
  AddColumns({u"h"});
  Add(nullptr, {u"alpha"});
  PVastNode B = Add(nullptr, {u"beta"});
  Tree.SetSelected(B, true);
  Tree.TreeOptions().SetExportMode(emSelected);
  const String Html = Tree.ContentToHTML(tstAll);
  EXPECT_EQ(Html.find(u"alpha"), String::npos);
  EXPECT_NE(Html.find(u">beta</td>"), String::npos);
  const RawByteString Rtf = Tree.ContentToRTF(tstAll);
  EXPECT_EQ(Rtf.find("\\u97\\'3f\\u108"), std::string::npos);  // "al"
  EXPECT_NE(Rtf.find("\\u98\\'3f\\u101"), std::string::npos);  // "be"
  EXPECT_EQ(Tree.ContentToText(tstAll, u"\t"), u"h\r\nalpha\r\nbeta\r\n");
  // The selected source walks only the selection, whatever the mode.
  Tree.TreeOptions().SetExportMode(emAll);
  EXPECT_EQ(Tree.ContentToText(tstSelected, u"\t"), u"h\r\nbeta\r\n");
}

TEST_F(TTreeExportTest, MainColumnSpansTheIndentationLevels) {
  AddColumns({u"first", u"main"});
  Tree.Header().SetMainColumn(1);
  PVastNode L0 = Add(nullptr, {u"f0", u"m0"});
  PVastNode L1 = Add(L0, {u"f1", u"m1"});
  Add(L1, {u"f2", u"m2"});
  const String Html = Tree.ContentToHTML(tstAll);
  EXPECT_NE(Html.find(u"align=left colspan=\"3\" bgcolor=#F0F0F0 width=\"96px\">main</th>"), String::npos)
      << Utf8(Html);
  EXPECT_NE(Html.find(u"align=left colspan=\"3\">m0</td>"), String::npos);
  // The level-2 cell follows two indentation cells and spans nothing.
  const String Height = IntToStr(Tree.GetNodeHeight(L1));
  EXPECT_NE(Html.find(u"<td height=\"" + Height +
                      u"px\" class=\"normalborder\">&nbsp;</td> <td>&nbsp;</td> "
                      u"<td class=\"normalborder\"  height=\"" +
                      Height + u"px\" align=left>m2</td>"),
            String::npos)
      << Utf8(Html);
  // A column with a colour of its own paints the indentation cells in it.
  Tree.Header().Columns()[1].SetOptions(Tree.Header().Columns()[1].Options() - TVTColumnOptions{coParentColor});
  const String Indent = u"<td class=\"noborder\" width=\"" + IntToStr(Tree.Indent()) + u"\" height=\"" + Height +
                        u"px\" bgcolor=#FFFFFF>&nbsp;</td>";
  EXPECT_NE(Tree.ContentToHTML(tstAll).find(Indent + Indent + u" <td class=\"normalborder\"  height=\"" + Height +
                                            u"px\" align=left bgcolor=#FFFFFF>m2</td>"),
            String::npos);
}

TEST_F(TTreeExportTest, CustomExportFiresTheEventsInOrderAndStopsWhenCanceled) {
  AddColumns({u"a", u"b"});
  Tree.Header().SetOptions(Tree.Header().Options() + TVTHeaderOptions{hoVisible});
  PVastNode N1 = Add(nullptr, {u"1", u"x"});
  Add(nullptr, {u"2", u"y"});
  std::vector<std::string> Log;
  auto TreeEvent = [&](const char* Name) {
    return [&, Name](TBaseVastTree* Sender, TVTExportType T) {
      EXPECT_EQ(Sender, &Tree);
      EXPECT_EQ(T, etCustom);
      Log.push_back(Name);
    };
  };
  auto ColumnEvent = [&](const char* Name) {
    return [&, Name](TBaseVastTree*, TVTExportType, TVastTreeColumn* C) {
      Log.push_back(Name + std::to_string(C->Index()));
    };
  };
  auto NodeEvent = [&](const char* Name) {
    return [&, Name](TBaseVastTree*, TVTExportType, PVastNode N) { Log.push_back(Name + Utf8(Tree.GetText(N, 0))); };
  };
  Tree.OnBeforeTreeExport = TreeEvent("BT");
  Tree.OnAfterTreeExport = TreeEvent("AT");
  Tree.OnBeforeHeaderExport = TreeEvent("BH");
  Tree.OnAfterHeaderExport = TreeEvent("AH");
  Tree.OnBeforeColumnExport = ColumnEvent("BC");
  Tree.OnColumnExport = ColumnEvent("C");
  Tree.OnAfterColumnExport = ColumnEvent("AC");
  Tree.OnBeforeNodeExport = NodeEvent("BN");
  Tree.OnNodeExport = NodeEvent("N");
  Tree.OnAfterNodeExport = NodeEvent("AN");
  Tree.ContentToCustom(tstAll);
  const std::vector<std::string> Expected{"BT", "BH",  "BC0", "C0",  "AC0", "BC1", "C1",  "AC1",
                                          "AH", "BN1", "N1",  "AN1", "BN2", "N2",  "AN2", "AT"};
  EXPECT_EQ(Log, Expected);

  // Canceling the operation in a node handler ends the walk after that node.
  Log.clear();
  Tree.OnNodeExport = [&](TBaseVastTree*, TVTExportType, PVastNode N) {
    Log.push_back("N" + Utf8(Tree.GetText(N, 0)));
    if (N == N1) Tree.CancelOperation();
  };
  Tree.ContentToCustom(tstAll);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "N2"), 0) << ::testing::PrintToString(Log);
  EXPECT_EQ(Log.back(), "AT");
}

}  // namespace
